#include "factory.h"

#include <cstring>

#include "c331_manage.h"
#include "chip_request.h"
#include "fpga_view.h"
#include "global.h"
#include "network.h"
#include "ram_layout.h"
#include "tarvosource.h"
#include "zemrampara.h"

factory *g_factory = nullptr;

namespace {

constexpr uint8_t kAllInputs = 0x0F;   // inputs 0 to 3 have an EDID of their own

bool offered(int language)
{
    return language >= 0 && language < LANG_COUNT && (g_lcd_lang_valid & (1u << language));
}

// A font line: the prefix and the separators in white, each size in green when the chip holds
// its font, in red when it lacks it.
ColouredLine::Run white(const QString &text)
{
    return {text, QColor(0xffffff), 12};
}
ColouredLine::Run present(const QString &text, bool yes)
{
    return {text, QColor(yes ? 0x00ff00 : 0xff0000), 13};
}
// The three sizes of a font line; 128 is drawn from the 64-pixel font, so it follows that bit.
std::vector<ColouredLine::Run> font_line(const QString &prefix, bool has32, bool has64)
{
    const ColouredLine::Run bar = white(QStringLiteral("|"));
    return {white(prefix), present(tr5("32宽", "32", "32", "32", "32寬"), has32), bar,
            present(tr5("64宽", "64", "64", "64", "64寬"), has64), bar,
            present(tr5("128宽", "128", "128", "128", "128寬"), has64)};
}

}

factory::factory() : ScreenOf(PAGE_FACTORY)
{
    ui.setupUi(this);
    m_language = ChoiceField(ui.Box_lang_2, offered);
    for (QWidget *row : {static_cast<QWidget *>(ui.Box_lang_2), static_cast<QWidget *>(ui.Button_rst1),
                         static_cast<QWidget *>(ui.Button_rst2), static_cast<QWidget *>(ui.Button_rst3)})
        m_focus.add(row, row == ui.Box_lang_2 ? Look::Combo : Look::Outline);
    m_focus.set_editor(kLanguageRow, m_language.editor([this](int) { apply_language(); }));
    m_focus.set_action(kReset1Row, [this] { reset(1); });
    m_focus.set_action(kReset2Row, [this] { reset(2); });
    m_focus.set_action(kReset3Row, [this] { reset(3); });
    menulist_init();
    language_changed();
}

void factory::menulist_init()
{
    m_focus.set_index(kLanguageRow);
    // English stands in for a language that is not offered, offered or not itself.
    ui.Box_lang_2->setCurrentIndex(ui_language());
}

void factory::language_changed()
{
    ui.label_factory->setText(tr5("工厂设置", "Factory setup", "Системные настройки", "Khôi phục cài đăt gốc", "工廠設置"));
    ui.label_lang->setText(tr5("语言", "language", "Язык", "Ngôn ngữ", "語言"));
    ui.label_rst->setText(tr5("工厂复位", "Factory reset", "Сброс настроек", "Khôi phục cài đặt gốc", "工廠複位"));
    ui.label_ip->setText(tr5("保持IP不变", "Keep IP", "Сохранить IP", "Giữ nguyên IP", "保持IP不變"));
    ui.label_edid->setText(
        tr5("IP和EDID保持不变", "Keep IP,EDIP", "Сохранить IP и EDID", "IP và EDID vẫn giữ nguyên", "IP和EDID保持不變"));
    ui.label_all->setText(
        tr5("全部恢复出厂设置", "Reset ALL", "Сбросить все", "Khôi phục cài đặt gốc tất cả", "全部恢複出廠設置"));
    const QString press_ok = tr5("点击OK应用", "Press Ok", "Нажмите ОК", "Đồng ý", "點擊OK應用");
    for (QPushButton *button : {ui.Button_rst1, ui.Button_rst2, ui.Button_rst3})
        button->setText(press_ok);
    show_fonts();
}

void factory::show_fonts()
{
    const c331_manage *chip = c331_manage::p_c331_manage;
    const uint32_t fonts = chip ? chip->font_bits.load() : 0;
    ui.FontCN->set_runs(font_line(tr5("中文:", "CN:", "CN:", "CN:", "CN:"), fonts & 0x1, fonts & 0x4));
    ui.FontEN->set_runs(font_line(tr5("英文:", "EN:", "EN:", "EN:", "EN:"), fonts & 0x2, fonts & 0x8));
}

void factory::syncUpdate(int)
{
    ZemRamPara *para = Screen::para();
    if (!para || !para->ZemLanguageChanged())
        return;
    // With no language offered the image's own value stands, which the list may not hold.
    if (g_language < LANG_COUNT) {
        m_focus.drop_edit();
        ui.Box_lang_2->setCurrentIndex(g_language);
    }
    language_changed();
}

void factory::apply_language()
{
    ZemRamPara *para = Screen::para();
    const int choice = m_language.current();
    if (!para || choice < 0 || choice >= LANG_COUNT)
        return;
    {
        // The control link writes the byte too: it is compared and written in one hold of the
        // chip mutex, and the request is raised only when it was written.
        ChipLock lock;
        if (choice == para->RAM_PARA[Ram::kLanguage])
            return;
        g_language = static_cast<uint8_t>(choice);
        para->RAM_PARA[Ram::kLanguage] = static_cast<uint8_t>(choice);
        lock.raise_request();
    }
    language_changed();
}

void factory::reset(int depth)
{
    ZemRamPara *para = Screen::para();
    if (!para)
        return;
    // Only the address decides: a device on the default address keeps its mask and gateway. The
    // shell commands run before the chip mutex is taken, so the chip thread does not wait on them.
    if (depth == 3 && g_str_ip != QLatin1String(kDefaultIp))
        store_network(QString::fromLatin1(kDefaultIp), QStringLiteral("255.255.255.0"), QStringLiteral("192.168.1.1"));

    // From the first byte to the raised request under the chip mutex: the chip thread never
    // applies an image half factory, half as it was.
    ChipWrite chip;
    uint8_t *img = para->RAM_PARA;
    const uint8_t *table = default_para_ramlist;
    if (depth == 2) {
        const int kept_end = Ram::kEdid + Ram::kEdidRegionSize;
        std::memcpy(img + Ram::kSavedFrom, table + Ram::file_at(Ram::kSavedFrom), Ram::kEdid - Ram::kSavedFrom);
        std::memcpy(img + kept_end, table + Ram::file_at(kept_end), Ram::kSize - kept_end);
    } else {
        std::memcpy(img + Ram::kSavedFrom, table + Ram::file_at(Ram::kSavedFrom), Ram::kSize - Ram::kSavedFrom);
    }
    // The fade values start from the standard low byte, as at every start.
    for (int k = 0; k < Ram::kLayerSlots; ++k) {
        img[Ram::kFade + Ram::kFadeStride * k] = Ram::kFadeStandard;
        img[Ram::kFade + Ram::kFadeStride * k + Ram::kFadeOut] = Ram::kFadeStandard;
    }
    const bool panel_changed =
        para->differs16(Ram::kLedWidth) || para->differs16(Ram::kLedHeight) || para->differs16(Ram::kSpliceMode);
    if (panel_changed && FpgaView::running())
        chip.request_led_setup();
    if (depth != 2 && tarvosource::p_tarvo_source)
        tarvosource::p_tarvo_source->request_edid(kAllInputs, false);
}
