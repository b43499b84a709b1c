#include "rcv_recovery.h"

#include "QRoundProgressBar.h"
#include "fpga_manage.h"
#include "ui_rcv_recovery.h"

rcv_recovery *g_rcv_recovery = nullptr;

namespace {
// The file names are listed up to this many; the count says how many there are in all.
constexpr int kListedFiles = 5;
}

rcv_recovery::rcv_recovery(QWidget *parent)
    : MenuPage(parent, PAGE_RCV_RECOVERY, "rcv_recovery", PAGE_ADVANCEDOPTION), ui(new Ui::rcv_recovery)
{
    ui->setupUi(this);
    set_hints(ui->label_note_OK, ui->label_note_back);
    connect(this, &rcv_recovery::sig_qround_bar_update, this, &rcv_recovery::job_progress);
    menulist_init();
    language_changed();
}

rcv_recovery::~rcv_recovery()
{
    delete ui;
}

void rcv_recovery::menulist_init()
{
    set_entries({ui->Button_query, ui->Button_recovery}, MenuStyle::kTextNormal, MenuStyle::kTextFocus);
}

void rcv_recovery::language_changed()
{
    ui->label_title->setText(tr5("接收卡自恢复", "Rcv self-recovery", "Самовосстановление",
                                 "Thẻ nhận tự phục hồi", "接收卡自恢複"));
    ui->Button_query->setText(tr5("查询", "Query", "Запрос", "Truy vấn", "查詢"));
    ui->Button_recovery->setText(tr5("恢复", "Recover", "Восстановить", "Phục hồi", "恢複"));
    show_files();
}

void rcv_recovery::show_files()
{
    QStringList names;
    if (fpga_manage *fpga = fpga_manage::p_fpga_manage; fpga && fpga->rcv_recovery)
        names = fpga->rcv_recovery->file_list();
    names.sort();
    QString text = tr5("恢复文件: %1", "Recovery files: %1", "Файлы восстановления: %1",
                       "Tệp phục hồi: %1", "恢複文件: %1")
                       .arg(names.size());
    for (int i = 0; i < names.size() && i < kListedFiles; ++i)
        text += QLatin1Char('\n') + names.at(i);
    if (names.size() > kListedFiles)
        text += QStringLiteral("\n...");
    if (m_last_job == JOB_RECOVERY_QUERY && m_job_done && fpga_manage::p_fpga_manage) {
        text += QLatin1Char('\n') + tr5("接收卡: %1", "Receiving cards: %1", "Приёмные карты: %1",
                                        "Thẻ nhận: %1", "接收卡: %1")
                                        .arg(fpga_manage::p_fpga_manage->recovery_cards_found());
    }
    ui->label_info->setText(text);
}

bool rcv_recovery::post_job(uint8_t job)
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga || g_qround_bar || g_send_para.job() != JOB_IDLE)
        return false;
    QRoundProgressBar::create_qround_bar(this);
    if (!g_qround_bar)
        return false;
    // The previous job's bar is hidden, not gone: only the new one may hear the progress.
    disconnect(m_bar_connection);
    m_bar_connection = connect(this, &rcv_recovery::sig_qround_bar_update, g_qround_bar,
                               &QRoundProgressBar::para_sync);
    fpga->set_job_listener(this);
    m_last_job = job;
    m_job_done = false;
    g_send_para.job_word.store(job);
    return true;
}

void rcv_recovery::job_progress(int percent)
{
    if (percent > 99) {
        m_job_done = true;
        show_files();
    }
}

void rcv_recovery::on_Button_query_clicked()
{
    post_job(JOB_RECOVERY_QUERY);
}

void rcv_recovery::on_Button_recovery_clicked()
{
    post_job(JOB_RECOVERY_RUN);
}

// While the bar is up the job owns the screen: no moves, no second job, no way out but the mode key.
void rcv_recovery::key_left()
{
    if (!g_qround_bar)
        MenuPage::key_left();
}

void rcv_recovery::key_right()
{
    if (!g_qround_bar)
        MenuPage::key_right();
}

void rcv_recovery::key_ok()
{
    if (!g_qround_bar)
        MenuPage::key_ok();
}

void rcv_recovery::key_back()
{
    if (!g_qround_bar)
        menulist_back_page();
}

void rcv_recovery::menulist_back_page()
{
    slot_Button_back_clicked();
}
