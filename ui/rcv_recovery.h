#pragma once
#include "option.h"

namespace Ui {
class rcv_recovery;
}

// The receiving-card self-recovery screen (page 25): queries the cards or replays the recovery
// files to them on the FPGA thread, with the round progress bar over it while the job runs.
class rcv_recovery : public MenuPage
{
    Q_OBJECT
public:
    explicit rcv_recovery(QWidget *parent = nullptr);
    ~rcv_recovery() override;

    void language_changed() override;
    void menulist_init();

public slots:
    void menulist_back_page();
    void on_Button_query_clicked();
    void on_Button_recovery_clicked();

signals:
    // Emitted by the FPGA thread (queued) with the job's progress in percent; 100 ends it.
    void sig_qround_bar_update(int percent);

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;

private:
    // Posts `job` unless a job or a bar is already running; false when it was not posted.
    bool post_job(uint8_t job);
    void show_files();
    void job_progress(int percent);

    Ui::rcv_recovery *ui;
    QMetaObject::Connection m_bar_connection;
    uint8_t m_last_job = 0;
    bool m_job_done = false;
};

extern rcv_recovery *g_rcv_recovery;
