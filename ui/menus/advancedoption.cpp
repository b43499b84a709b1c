#include "advancedoption.h"

#include <QPointer>

#include "factory.h"
#include "factoryage.h"
#include "fpga_view.h"
#include "lcdshow.h"
#include "numberkeyboard.h"
#include "othersetup.h"
#include "rcv_recovery.h"

AdvancedOption *g_advancedoption = nullptr;

namespace {
constexpr int kRecoveryEntry = 2;
}

AdvancedOption::AdvancedOption() : ScreenOf(PAGE_ADVANCEDOPTION)
{
    ui.setupUi(this);
    set_key_hints(ui.label_note_OK, ui.label_note_back);
    language_changed();
    m_focus.set({ui.Button_LCDshow, ui.Button_other, ui.Button_rcv_recovery, ui.Button_factory, ui.Button_age},
                Look::Menu);
    m_focus.set_available(kRecoveryEntry, m_recovery_count != 0);
}

void AdvancedOption::count_recovery_files()
{
    const int files = FpgaView::look_for_recovery_files();
    if (files < 0)
        return;
    // A byte would wrap at 256 files and hide the entry: the count stops at 255 instead.
    m_recovery_count = static_cast<uint8_t>(files > 255 ? 255 : files);
}

void AdvancedOption::language_changed()
{
    count_recovery_files();
    ui.label_title->setText(tr5("高级设置", "Advanced Settings", "Доп.опции", "Cài đặt nâng cao", "高級設置"));
    ui.Button_LCDshow->setText(tr5("液晶显示", "LCD display", "ЖК\nдисплей", "Màn hình\nLCD", "液晶顯示"));
    ui.Button_rcv_recovery->setText(tr5("接收卡自恢复", "Rcv\nself-recovery", "Самовосст\nановление",
                                        "Thẻ nhận tự\nphục hồi", "接收卡自恢複"));
    ui.Button_other->setText(tr5("其他设置", "Others", "Другие\nнастройки", "Cài đặt khác", "其他設置"));
    ui.Button_factory->setText(
        tr5("工厂设置", "Factory", "Системные\nнастройки", "Khôi phục\ncàiđăt gốc", "工廠設置"));
    ui.Button_age->setText(tr5("工厂老化", "Aging", "Сброс\nнастроек", "Lão hóa\nnhà máy", "工廠老化"));
    // With no files the entry shows grey even while focused, until a key moves onto it again.
    m_focus.set_available(kRecoveryEntry, m_recovery_count != 0);
    if (m_recovery_count == 0)
        set_look(ui.Button_rcv_recovery, Look::Menu, LookState::Unavailable);
}

void AdvancedOption::on_Button_LCDshow_clicked()
{
    open_screen(g_lcdshow, new lcdshow);
}

void AdvancedOption::on_Button_other_clicked()
{
    open_screen(g_othersetup, new othersetup);
}

void AdvancedOption::on_Button_rcv_recovery_clicked()
{
    if (m_recovery_count == 0)
        return;
    open_screen(g_rcv_recovery, new rcv_recovery);
}

void AdvancedOption::on_Button_factory_clicked()
{
    open_screen(g_factory, new factory);
}

void AdvancedOption::on_Button_age_clicked()
{
    if (m_access_granted) {
        open_screen(g_factoryage, new factoryage);
        return;
    }
    if (!g_numberkeyboard)
        return;
    const QString title = ui_language() == LANG_RU ? QString::fromUtf8("Пароль") : QStringLiteral("key");
    g_numberkeyboard->ask(this, title, QStringLiteral("**********"),
                          [this](const QString &text) { confirmString(text); });
}

int AdvancedOption::confirmString(const QString &text)
{
    if (text != QLatin1String(kAccessCode))
        return 0;
    ++m_codes_accepted;
    QPointer<AdvancedOption> self(this);
    m_access_granted = 1;
    on_Button_age_clicked();
    if (self)
        m_access_granted = 0;
    return 1;
}
