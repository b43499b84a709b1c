// The advanced menu: the recovery entry following the recovery folder and the control protocol,
// the access code of the ageing page, and the recovery screen's jobs with the progress bar.
#include <thread>

#include "QRoundProgressBar.h"
#include "mainfixture.h"
#include "message_deal.h"

using namespace mainfx;

namespace {
const QString kStars = QStringLiteral("**********");
// The recovery entry's look: "grey" (unavailable) or "blue", with "*" while it has the focus.
QString look()
{
    switch (uitest::look(g_advancedoption, "Button_rcv_recovery")) {
    case LookState::Unavailable: return "grey";
    case LookState::UnavailableFocus: return "grey*";
    case LookState::Focus: return "blue*";
    default: return "blue";
    }
}
// Runs the FPGA thread's passes tick by tick until the job ends, with the GUI thread taking the
// queued progress after each pass; returns every value the bar showed.
QList<int> run_job()
{
    QList<int> shown;
    for (int i = 0; i < 5000 && (g_send_para.job() != JOB_IDLE || g_qround_bar); ++i, ++G_timeTicks) {
        fpga_manage::p_fpga_manage->fpga_pass();
        QCoreApplication::processEvents();
        if (g_qround_bar && (shown.isEmpty() || shown.last() != int(g_qround_bar->value())))
            shown << int(g_qround_bar->value());
    }
    return shown;
}
}

class TestAdvancedOption : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh(); }
    void cleanup() { uitest::close_all(); }
    void recovery_entry_data()
    {
        // files -1: no folder; opened: the page after OK or a touch on the entry; looks: at the
        // start, focused, back on it, left.
        columns<int, bool, int, int, QString>({"files", "withManager", "count", "opened", "looks"});
        QTest::newRow("no folder") << -1 << true << 0 << 12 << "grey grey* grey* grey";
        QTest::newRow("empty folder") << 0 << true << 0 << 12 << "grey grey* grey* grey";
        QTest::newRow("one file") << 1 << true << 1 << 25 << "blue blue* blue* blue";
        QTest::newRow("256 files do not wrap to none") << 256 << true << 255 << 25 << "blue blue* blue* blue";
        QTest::newRow("no FPGA manager") << 3 << false << 0 << 12 << "grey grey* grey* grey";
    }
    void recovery_entry()
    {
        QFETCH(int, files);
        QFETCH(bool, withManager);
        if (files >= 0)
            make_recovery_files(files);
        if (!withManager)
            fpga_manage::destroy_for_test();
        open_option("lo");
        QTEST(int(g_advancedoption->recovery_count()), "count");
        QStringList looks{look()};
        press("rr");
        looks << look();
        press("o");
        QTEST(int(g_page_focus), "opened");
        press(g_rcv_recovery ? "b" : "");
        QTest::mouseClick(g_advancedoption->findChild<QPushButton *>("Button_rcv_recovery"), Qt::LeftButton);
        QTEST(int(g_page_focus), "opened");
        press(g_rcv_recovery ? "b" : "");
        looks << look();
        press("r");
        looks << look();
        QTEST(looks.join(' '), "looks");
    }
    // The control protocol writes or deletes recovery files on a link thread; the menu on display
    // follows at once, and a menu that is not on display when the call runs is left alone.
    void files_through_the_control_protocol_data()
    {
        columns<bool, int, int, bool>({"write", "before", "after", "onDisplay"});
        QTest::newRow("first file arrives") << true << 0 << 1 << true;
        QTest::newRow("files deleted") << false << 2 << 0 << true;
        QTest::newRow("arrives while the recovery screen is up") << true << 1 << 1 << false;
    }
    void files_through_the_control_protocol()
    {
        QFETCH(bool, write);
        QFETCH(int, before);
        QFETCH(bool, onDisplay);
        make_recovery_files(before);
        open_option("lo");
        press(onDisplay ? "" : "rro");
        std::thread([write] {
            if (write)
                message_deal::write_file_end("/data/rcvrecovery/new.rcv", "data");
            else
                message_deal::delete_file_name("/data/rcvrecovery");
        }).join();
        QCoreApplication::processEvents();
        QTEST(int(g_advancedoption->recovery_count()), "after");
        QVERIFY(look().startsWith(g_advancedoption->recovery_count() ? "blue" : "grey"));
    }
    void access_code_data()
    {
        columns<QString, bool>({"typed", "accepted"});   // "" leaves the asterisks
        QTest::newRow("right") << "8362" << true;
        QTest::newRow("untouched") << "" << false;
        QTest::newRow("wrong, 0 key") << "83620" << false;
    }
    // The code counts only when typed on the keyboard this menu asked for, on every visit anew;
    // a cancel or another screen's keyboard gives nothing.
    void access_code()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        open_option("lol");
        press("o");
        QCOMPARE(g_numberkeyboard->shown(), kStars);
        uitest::keyboard_keys(typed + 'K').simulate(g_numberkeyboard);
        QCOMPARE(g_advancedoption->codes_accepted(), accepted ? 1 : 0);
        QCOMPARE(int(g_page_focus), accepted ? int(PAGE_FACTORYAGE) : int(PAGE_ADVANCEDOPTION));
        press(accepted ? "b" : "");
        QCOMPARE(top_focus(), 4);
        press("o");
        uitest::keyboard_keys("8362B").simulate(g_numberkeyboard);   // cancelled
        QObject other;
        g_numberkeyboard->ask(&other, "W", "1", [](const QString &) {});
        uitest::keyboard_keys("8362K").simulate(g_numberkeyboard);   // typed for someone else
        QCOMPARE(g_advancedoption->codes_accepted(), accepted ? 1 : 0);
        press("o");
        QCOMPARE(g_numberkeyboard->isVisible() ? g_numberkeyboard->shown() : QString(), kStars);
    }
    void jobs_data()
    {
        columns<QString, int>({"keys", "job"});
        QTest::newRow("query") << "o" << int(JOB_RECOVERY_QUERY);
        QTest::newRow("recovery by left") << "lO" << int(JOB_RECOVERY_RUN);
    }
    void jobs()
    {
        QFETCH(QString, keys);
        QFETCH(int, job);
        make_recovery_files(3);
        SimLock()->cards[1].resize(2);   // four cards answer the query, three files
        open_option("lorro");
        QVERIFY(uitest::text(g_rcv_recovery, "label_info").startsWith("Recovery files: 3\n"));
        press(keys);
        QVERIFY(g_qround_bar && g_qround_bar->parentWidget() == g_rcv_recovery);
        press("lrbBo");   // while the bar is up: no moves, no way back, no second job
        QCOMPARE(top_focus(), job == JOB_RECOVERY_RUN ? 1 : 0);
        QCOMPARE(int(g_send_para.job()), job);

        const QList<int> shown = run_job();
        QVERIFY(shown.size() >= 3 && shown.first() == 0);
        for (int i = 1; i < shown.size(); ++i)
            QVERIFY(shown[i] > shown[i - 1] && shown[i] < 100);
        QVERIFY(!g_qround_bar);
        if (job == JOB_RECOVERY_RUN)
            QCOMPARE(SimLock()->replayed_files.size(), 3);
        else
            QVERIFY(uitest::text(g_rcv_recovery, "label_info").endsWith("Receiving cards: 4"));
        press("o");   // free again: a second job, then back to the advanced menu
        QVERIFY(g_qround_bar);
        run_job();
        press("b");
        QCOMPARE(open_screens(), QStringLiteral("option advancedoption"));
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
    }
    void job_guards()
    {
        make_recovery_files(1);
        open_option("lorro");
        g_send_para.job_word.store(JOB_SAVE_PARA);   // another screen's job: none is posted over it
        press("o");
        QVERIFY(!g_qround_bar);
        QCOMPARE(int(g_send_para.job()), int(JOB_SAVE_PARA));
        g_send_para.job_word.store(JOB_IDLE);
        // The bar is the screen's child: leaving by the mode key takes it along, and the running
        // job no longer counts as the screens' busy sign.
        press("o");
        QVERIFY(g_qround_bar);
        press("m");
        QVERIFY(!g_qround_bar && open_screens().isEmpty());
        run_job();
        QCOMPARE(int(g_send_para.job()), int(JOB_IDLE));
    }
};

QTEST_MAIN(TestAdvancedOption)
#include "test_advancedoption.moc"
