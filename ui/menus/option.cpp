#include "option.h"

#include <QPushButton>

#include "advancedoption.h"
#include "imagelayout.h"
#include "imagequality.h"
#include "inputcut.h"
#include "linkoption.h"
#include "outputset.h"
#include "smartmapping.h"
#include "test_chart.h"

Option *g_option = nullptr;

namespace {

// Icon widths per entry and language (zh-Hans, en, ru, vi, zh-Hant); the height is always 60.
struct Entry
{
    const char *name;
    int width[5];
};
const Entry kEntries[8] = {
    {"output_set", {55, 75, 55, 55, 55}},
    {"input_cut", {55, 70, 70, 70, 55}},
    {"image_layout", {55, 70, 55, 55, 55}},
    {"link_set", {55, 70, 70, 70, 55}},
    {"image_quality", {55, 75, 55, 55, 55}},
    {"test_chart", {55, 55, 55, 55, 55}},
    {"smart_mapping", {55, 55, 55, 55, 55}},
    {"AdvanceButton", {55, 54, 70, 54, 54}},
};
constexpr int kSmartMappingEntry = 6;

}

Option::Option() : ScreenOf(PAGE_OPTION)
{
    ui.setupUi(this);
    set_key_hints(ui.label_note_OK, ui.label_note_back);
    menulist_init();
    language_changed();
}

void Option::menulist_init()
{
    m_focus.set({ui.output_set, ui.input_cut, ui.image_layout, ui.link_set, ui.image_quality, ui.test_chart,
                 ui.smart_mapping, ui.AdvanceButton},
                Look::Menu);
    // Before any key has moved the focus: the focus frame without the text colour.
    set_look(ui.output_set, Look::Menu, LookState::Initial);
}

void Option::language_changed()
{
    const int lang = ui_language();
    ui.label_title->setText(tr5("设置", "Setting", "Настройки", "Cài đặt", "設置"));
    for (int i = 0; i < 8; ++i) {
        auto *button = static_cast<QPushButton *>(m_focus.at(i));
        const QString base = QLatin1String(kEntries[i].name);
        // The English advanced entry has a picture of its own name.
        const QString path = (i == 7 && lang == LANG_EN) ? QStringLiteral(":/png/en_advance_option.png")
                                                         : lang_png(base + QStringLiteral(".png"));
        button->setIcon(cached_icon(path));
        button->setIconSize(QSize(kEntries[i].width[lang], 60));
    }
    m_focus.restyle(kSmartMappingEntry);
}

void Option::on_output_set_clicked()
{
    open_screen(g_outputset, new OutputSet);
}

void Option::on_input_cut_clicked()
{
    open_screen(g_inputcut, new InputCut);
}

void Option::on_image_layout_clicked()
{
    open_screen(g_imagelayout, new ImageLayout);
}

void Option::on_link_set_clicked()
{
    open_screen(g_linkoption, new LinkOption);
}

void Option::on_image_quality_clicked()
{
    open_screen(g_imagequality, new ImageQuality);
}

void Option::on_test_chart_clicked()
{
    open_screen(g_test_chart, new test_chart);
}

void Option::on_smart_mapping_clicked()
{
    open_screen(g_smartmapping, new SmartMapping);
}

void Option::on_AdvanceButton_clicked()
{
    open_screen(g_advancedoption, new AdvancedOption);
}
