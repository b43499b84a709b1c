#include "rcv_recovery.h"

#include "fpga_view.h"
#include "send_para.h"

rcv_recovery *g_rcv_recovery = nullptr;

namespace {
// The file names are listed up to this many; the count says how many there are in all.
constexpr int kListedFiles = 5;
}

rcv_recovery::rcv_recovery() : ScreenOf(PAGE_RCV_RECOVERY)
{
    ui.setupUi(this);
    set_key_hints(ui.label_note_OK, ui.label_note_back);
    m_focus.set({ui.Button_query, ui.Button_recovery}, Look::MenuText);
    language_changed();
}

void rcv_recovery::language_changed()
{
    ui.label_title->setText(tr5("接收卡自恢复", "Rcv self-recovery", "Самовосстановление",
                                 "Thẻ nhận tự phục hồi", "接收卡自恢複"));
    ui.Button_query->setText(tr5("查询", "Query", "Запрос", "Truy vấn", "查詢"));
    ui.Button_recovery->setText(tr5("恢复", "Recover", "Восстановить", "Phục hồi", "恢複"));
    show_files();
}

void rcv_recovery::show_files()
{
    QStringList names = FpgaView::recovery_files();
    names.sort();
    QString text = tr5("恢复文件: %1", "Recovery files: %1", "Файлы восстановления: %1",
                       "Tệp phục hồi: %1", "恢複文件: %1")
                       .arg(names.size());
    for (int i = 0; i < names.size() && i < kListedFiles; ++i)
        text += QLatin1Char('\n') + names.at(i);
    if (names.size() > kListedFiles)
        text += QStringLiteral("\n...");
    if (m_last_job == JOB_RECOVERY_QUERY && m_job_done && FpgaView::present()) {
        text += QLatin1Char('\n') + tr5("接收卡: %1", "Receiving cards: %1", "Приёмные карты: %1",
                                        "Thẻ nhận: %1", "接收卡: %1")
                                        .arg(FpgaView::recovery_cards());
    }
    ui.label_info->setText(text);
}

void rcv_recovery::post_job(uint8_t job)
{
    start_job(job, [this, job] {
        m_last_job = job;
        m_job_done = false;
    });
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
