#include "option.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "advancedoption.h"
#include "linkoption.h"
#include "outputset.h"
#include "paths.h"
#include "ui_option.h"

Option *g_option = nullptr;

namespace MenuStyle {
const QString kNormal = QStringLiteral(
    "background-color: rgb(33, 36, 53);border:2px;border-radius:10px;padding:2px 4px;color:rgb(255,255,255)");
const QString kFocus = QStringLiteral(
    "background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);border-radius:10px;padding:2px 4px;"
    "color:rgb(255,255,255)");
const QString kTextNormal = QStringLiteral(
    "color:rgb(255,255,255);background-color: rgb(33, 36, 53) ; border:2px ;border-radius:10px;padding:2px 4px");
const QString kTextFocus = QStringLiteral(
    "color:rgb(255,255,255);background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);"
    "border-radius:10px;padding:2px 4px");
}

MenuPage::MenuPage(QWidget *parent, uint8_t page, const char *class_name, uint8_t parent_page)
    : QDialog(parent), Screen(this, page, class_name), m_parent_page(parent_page)
{
}

void MenuPage::set_entries(std::initializer_list<QWidget *> entries, const QString &normal, const QString &focus)
{
    m_focus.clear();
    for (QWidget *w : entries)
        m_focus.add(w, normal, focus);
    m_focus.set_index(0);
}

void MenuPage::set_hints(QLabel *ok, QLabel *back)
{
    ok->setPixmap(QPixmap(QStringLiteral(":/png/OK_Enter.png")));
    back->setPixmap(QPixmap(QStringLiteral(":/png/back_return.png")));
}

namespace {

// The look of the first entry before any key has moved the focus: the same frame, no text colour.
const QString kFirstFocus = QStringLiteral(
    "background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);border-radius:10px;padding:2px 4px");

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

}

Option::Option(QWidget *parent)
    : MenuPage(parent, PAGE_OPTION, "Option", PAGE_MAINWINDOW), ui(new Ui::Option)
{
    ui->setupUi(this);
    set_hints(ui->label_note_OK, ui->label_note_back);
    menulist_init();
    language_changed();
}

Option::~Option()
{
    delete ui;
}

void Option::menulist_init()
{
    set_entries({ui->output_set, ui->input_cut, ui->image_layout, ui->link_set, ui->image_quality, ui->test_chart,
                 ui->smart_mapping, ui->AdvanceButton},
                MenuStyle::kNormal, MenuStyle::kFocus);
    ui->output_set->setStyleSheet(kFirstFocus);
}

void Option::language_changed()
{
    const int lang = ui_language();
    ui->label_title->setText(tr5("设置", "Setting", "Настройки", "Cài đặt", "設置"));
    for (int i = 0; i < 8; ++i) {
        auto *button = static_cast<QPushButton *>(m_focus.at(i));
        const QString base = QLatin1String(kEntries[i].name);
        // The English advanced entry has a picture of its own name.
        const QString path = (i == 7 && lang == 1) ? QStringLiteral(":/png/en_advance_option.png")
                                                   : lang_png(base + QStringLiteral(".png"));
        button->setIcon(cached_icon(path));
        button->setIconSize(QSize(kEntries[i].width[lang], 60));
    }
    ui->smart_mapping->setStyleSheet(m_focus.current() == ui->smart_mapping ? MenuStyle::kFocus
                                                                             : MenuStyle::kNormal);
}

void Option::on_output_set_clicked()
{
    open_screen(g_outputset, new OutputSet);
}

void Option::on_link_set_clicked()
{
    open_screen(g_linkoption, new LinkOption);
}

void Option::on_AdvanceButton_clicked()
{
    open_screen(g_advancedoption, new AdvancedOption);
}

int Option::get_file_list_usbpath()
{
    const QDir dir(Paths::dev(QStringLiteral("/mnt/usb1/")));
    int count = 0;
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::NoSymLinks);
    for (const QFileInfo &info : files) {
        if (info.suffix() == QLatin1String("qyfile"))
            ++count;
    }
    return count;
}

QImage Option::converToGrayscale(const QImage &image)
{
    return image.convertToFormat(QImage::Format_Grayscale8);
}
