// The card self-recovery screen with its jobs on the FPGA thread and the progress bar, and the
// USB upgrade screen following the stick.
#include <QDir>
#include <QPushButton>

#include "QRoundProgressBar.h"
#include "fpga_manage.h"
#include "menutest.h"
#include "paths.h"
#include "simdevice.h"

using namespace menutest;

namespace {

void make_recovery_files(int n)
{
    QDir().mkpath(Paths::dev("/data/rcvrecovery"));
    for (int i = 0; i < n; ++i)
        write_dev_file(QStringLiteral("/data/rcvrecovery/card%1.rcv").arg(i), "recovery data");
}

// Runs the FPGA thread's passes tick by tick until the job ends, with the GUI thread taking the
// queued progress after each pass; returns every value the bar showed.
QList<int> run_job()
{
    QList<int> shown;
    for (int i = 0; i < 5000 && (g_send_para.job() != JOB_IDLE || g_qround_bar); ++i) {
        G_timeTicks += 1;
        fpga_manage::p_fpga_manage->fpga_pass();
        QCoreApplication::processEvents();
        if (g_qround_bar && (shown.isEmpty() || shown.last() != int(g_qround_bar->value())))
            shown << int(g_qround_bar->value());
    }
    return shown;
}

}

class TestRecovery : public QObject
{
    Q_OBJECT

private:
    void open_recovery()
    {
        g_page_focus = PAGE_MAINWINDOW;
        open_screen(g_option, new Option);
        press("lorro");
        QVERIFY(g_rcv_recovery);
    }

private slots:
    void init()
    {
        uitest::fresh_ui();
        g_open_custommode = nullptr;
        fpga_manage::destroy_for_test();
        SimDevice::load_defaults();
        fpga_manage::create_for_test();
        g_send_para.job_word.store(0);
        make_recovery_files(3);
    }
    void cleanup()
    {
        uitest::close_all();
        fpga_manage::destroy_for_test();
        g_send_para.job_word.store(0);
    }

    void jobs_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("job");
        QTest::newRow("query") << "o" << int(JOB_RECOVERY_QUERY);
        QTest::newRow("recovery") << "ro" << int(JOB_RECOVERY_RUN);
        QTest::newRow("recovery by left") << "lO" << int(JOB_RECOVERY_RUN);
    }
    void jobs()
    {
        QFETCH(QString, keys);
        QFETCH(int, job);
        open_recovery();
        QCOMPARE(int(g_page_focus), int(PAGE_RCV_RECOVERY));
        QVERIFY(uitest::text(g_rcv_recovery, "label_info").startsWith("Recovery files: 3\n"));
        press(keys);
        QVERIFY(g_qround_bar);
        QCOMPARE(g_qround_bar->parentWidget(), static_cast<QWidget *>(g_rcv_recovery));
        QCOMPARE(g_qround_bar->value(), 0.0);
        QCOMPARE(int(g_send_para.job()), job);
        const uint8_t focus = g_rcv_recovery->ui_select();

        // While the bar is up the screen cannot be left or moved, nor a second job posted.
        press("lrbBo");
        QCOMPARE(int(g_page_focus), int(PAGE_RCV_RECOVERY));
        QCOMPARE(g_rcv_recovery->ui_select(), focus);
        QCOMPARE(int(g_send_para.job()), job);

        const QList<int> shown = run_job();
        QVERIFY2(shown.size() >= 3, qPrintable(QString::number(shown.size())));
        QCOMPARE(shown.first(), 0);
        for (int i = 1; i < shown.size(); ++i)
            QVERIFY(shown[i] > shown[i - 1] && shown[i] < 100);
        QVERIFY(!g_qround_bar);
        QCOMPARE(int(g_send_para.job()), int(JOB_IDLE));
        if (job == JOB_RECOVERY_RUN) {
            QCOMPARE(SimLock()->replayed_files.size(), 3);
        } else {
            QVERIFY(uitest::text(g_rcv_recovery, "label_info")
                        .endsWith(QStringLiteral("Receiving cards: %1")
                                      .arg(fpga_manage::p_fpga_manage->recovery_cards_found())));
        }

        // Free again: a second job, then back to the advanced menu.
        press("o");
        QVERIFY(g_qround_bar);
        run_job();
        press("b");
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
        QVERIFY(!g_rcv_recovery);
    }

    void no_job_over_a_pending_one()
    {
        open_recovery();
        g_send_para.job_word.store(JOB_SAVE_PARA);
        press("o");
        QVERIFY(!g_qround_bar);
        QCOMPARE(int(g_send_para.job()), int(JOB_SAVE_PARA));
        press("b");
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
    }

    // The bar is the screen's child: leaving by the mode key takes it along and the running job
    // no longer counts as the screens' busy sign.
    void mode_key_while_the_job_runs()
    {
        open_recovery();
        press("o");
        QVERIFY(g_qround_bar);
        press("m");
        QCOMPARE(open_screens(), QString());
        QVERIFY(!g_qround_bar);
        run_job();
        QCOMPARE(int(g_send_para.job()), int(JOB_IDLE));
    }

    void upgrade_screen_follows_the_stick_data()
    {
        QTest::addColumn<QStringList>("files");   // "-": no stick
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("listed");

        QTest::newRow("no stick") << QStringList{"-"} << "No USB drive" << "";
        QTest::newRow("empty stick") << QStringList{} << "No upgrade file on the USB drive" << "";
        QTest::newRow("other files only") << QStringList{"a.zem", "b.ZEM.txt", "c.qyfile"}
                                          << "No upgrade file on the USB drive" << "";
        QTest::newRow("both kinds") << QStringList{"k58.ZEMZK", "app.ZEM", "notes.txt"} << "Upgrade files:"
                                    << "app.ZEM\nk58.ZEMZK";
    }
    void upgrade_screen_follows_the_stick()
    {
        QFETCH(QStringList, files);
        g_page_focus = PAGE_MAINWINDOW;
        open_screen(g_option, new Option);
        press("rrrolo");
        QVERIFY(g_firmware_usbgrade);
        QCOMPARE(uitest::text(g_firmware_usbgrade, "label_state"), QStringLiteral("No USB drive"));
        if (files != QStringList{"-"}) {
            QDir().mkpath(Paths::dev("/mnt/usb1"));
            for (const QString &f : files)
                write_dev_file("/mnt/usb1/" + f, "x");
        }
        // Nothing changes on an ordinary parameter change, the stick's codes refresh the screen.
        uitest::para()->test_signal(1);
        QCOMPARE(uitest::text(g_firmware_usbgrade, "label_state"), QStringLiteral("No USB drive"));
        uitest::para()->test_signal(102);
        QTEST(uitest::text(g_firmware_usbgrade, "label_state"), "state");
        QTEST(uitest::text(g_firmware_usbgrade, "label_info"), "listed");

        QDir(Paths::dev("/mnt/usb1")).removeRecursively();
        uitest::para()->test_signal(101);
        QCOMPARE(uitest::text(g_firmware_usbgrade, "label_state"), QStringLiteral("No USB drive"));
        press("b");
        QCOMPARE(int(g_page_focus), int(PAGE_LINKOPTION));
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
