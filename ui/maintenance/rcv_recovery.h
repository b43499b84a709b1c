#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_rcv_recovery.h"

// The receiving-card self-recovery screen (page 25): queries the cards or replays the recovery
// files to them on the FPGA thread, with the round progress bar over it while the job runs.
class rcv_recovery : public ScreenOf<QDialog, Ui::rcv_recovery>
{
    Q_OBJECT
public:
    rcv_recovery();

    void language_changed() override;

public slots:
    void on_Button_query_clicked();
    void on_Button_recovery_clicked();

protected:
    void job_progress(int percent) override;

private:
    void post_job(uint8_t job);
    void show_files();

    uint8_t m_last_job = 0;
    bool m_job_done = false;
};

extern rcv_recovery *g_rcv_recovery;
