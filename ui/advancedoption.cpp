#include "advancedoption.h"

#include <QEvent>
#include <QPointer>

#include "fpga_manage.h"
#include "numberkeyboard.h"
#include "rcv_recovery.h"
#include "ui_advancedoption.h"

AdvancedOption *g_advancedoption = nullptr;

namespace {
const QString kUnavailable = QStringLiteral(
    "background-color: gray;border:2px;border-radius:10px;padding:2px 4px;color:rgb(255,255,255)");
const QString kUnavailableFocus = QStringLiteral(
    "background-color: gray; border:2px solid rgb(255,171,84);border-radius:10px;padding:2px 4px;"
    "color:rgb(255,255,255)");
constexpr int kRecoveryEntry = 2;
}

AdvancedOption::AdvancedOption(QWidget *parent)
    : MenuPage(parent, PAGE_ADVANCEDOPTION, "AdvancedOption", PAGE_OPTION), ui(new Ui::AdvancedOption)
{
    ui->setupUi(this);
    set_hints(ui->label_note_OK, ui->label_note_back);
    language_changed();
    menulist_init();
    if (g_numberkeyboard) {
        connect(g_numberkeyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit, this,
                &AdvancedOption::confirmString);
        g_numberkeyboard->installEventFilter(this);
    }
}

AdvancedOption::~AdvancedOption()
{
    if (g_numberkeyboard)
        g_numberkeyboard->removeEventFilter(this);
    delete ui;
}

void AdvancedOption::menulist_init()
{
    set_entries({ui->Button_LCDshow, ui->Button_other, ui->Button_rcv_recovery, ui->Button_factory, ui->Button_age},
                MenuStyle::kNormal, MenuStyle::kFocus);
    restyle_recovery_entry();
}

void AdvancedOption::count_recovery_files()
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga || !fpga->rcv_recovery)
        return;
    if (fpga->rcv_recovery->get_dir_file(QString::fromLatin1(rcvRecovery::kRecoveryDir)) != 0)
        return;
    // A byte would wrap at 256 files and hide the entry: the count stops at 255 instead.
    const int files = fpga->rcv_recovery->file_count();
    m_recovery_count = static_cast<uint8_t>(files > 255 ? 255 : files);
}

void AdvancedOption::restyle_recovery_entry()
{
    QWidget *entry = ui->Button_rcv_recovery;
    const bool focused = m_focus.index() == kRecoveryEntry;
    if (m_recovery_count == 0)
        entry->setStyleSheet(focused ? kUnavailableFocus : kUnavailable);
    else
        entry->setStyleSheet(focused ? MenuStyle::kFocus : MenuStyle::kNormal);
}

void AdvancedOption::language_changed()
{
    count_recovery_files();
    ui->label_title->setText(
        tr5("高级设置", "Advanced Settings", "Доп.опции", "Cài đặt nâng cao", "高級設置"));
    ui->Button_LCDshow->setText(tr5("液晶显示", "LCD display", "ЖК\nдисплей", "Màn hình\nLCD", "液晶顯示"));
    ui->Button_rcv_recovery->setText(tr5("接收卡自恢复", "Rcv\nself-recovery", "Самовосст\nановление",
                                         "Thẻ nhận tự\nphục hồi", "接收卡自恢複"));
    ui->Button_other->setText(tr5("其他设置", "Others", "Другие\nнастройки", "Cài đặt khác", "其他設置"));
    ui->Button_factory->setText(
        tr5("工厂设置", "Factory", "Системные\nнастройки", "Khôi phục\ncàiđăt gốc", "工廠設置"));
    ui->Button_age->setText(tr5("工厂老化", "Aging", "Сброс\nнастроек", "Lão hóa\nnhà máy", "工廠老化"));
    if (m_recovery_count == 0)
        ui->Button_rcv_recovery->setStyleSheet(kUnavailable);
    else
        restyle_recovery_entry();
}

void AdvancedOption::key_left()
{
    m_focus.move(-1);
    restyle_recovery_entry();
}

void AdvancedOption::key_right()
{
    m_focus.move(+1);
    restyle_recovery_entry();
}

void AdvancedOption::on_Button_rcv_recovery_clicked()
{
    if (m_recovery_count == 0)
        return;
    open_screen(g_rcv_recovery, new rcv_recovery);
}

void AdvancedOption::on_Button_age_clicked()
{
    if (m_access_granted) {
        // The ageing page's opener goes here.
        return;
    }
    if (!g_numberkeyboard)
        return;
    const QString title =
        (ui_language() == 2) ? QString::fromUtf8("Пароль") : QStringLiteral("key");
    g_numberkeyboard->label_show(title, QStringLiteral("**********"));
    m_code_asked = true;
    run_modal(g_numberkeyboard);
}

int AdvancedOption::confirmString(QString text)
{
    if (!m_code_asked)
        return 0;
    m_code_asked = false;
    if (text != QLatin1String(kAccessCode))
        return 0;
    QPointer<AdvancedOption> self(this);
    m_access_granted = 1;
    on_Button_age_clicked();
    if (self)
        m_access_granted = 0;
    return 1;
}

bool AdvancedOption::eventFilter(QObject *watched, QEvent *event)
{
    // Cancel hides the keyboard without a result: the request ends there.
    if (watched == g_numberkeyboard && event->type() == QEvent::Hide)
        m_code_asked = false;
    return QDialog::eventFilter(watched, event);
}
