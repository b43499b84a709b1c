// The smart-mapping wizard left: refused while a job's bar is up, whatever the key or the control
// link asks, and the control link's way out.
#include "message_deal.h"
#include "smartmappingfx.h"
#include "uihooks.h"

using namespace smartfx;

class TestSmartMappingFrameLeaving : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

    // While a job's bar is up the wizard stays, whatever the key or the control link asks; once
    // the bar has closed at 100 it can be left.
    void leaving_refused_while_a_job_runs_data()
    {
        // index, page: where the key cursor and the stack stand afterwards
        columns<QString, int, int>({"keys", "index", "page"});
        QTest::newRow("back") << "b" << 2 << 6;
        QTest::newRow("back letter") << "B" << 2 << 6;
        QTest::newRow("mode") << "m" << 2 << 6;
        QTest::newRow("the preview still moves, OK does not enter") << "lo" << 0 << 0;
        QTest::newRow("the mapping switch is not previewed") << "rr" << 2 << 6;
        QTest::newRow("touch on the debugging entry") << "Button_shortcut" << 2 << 6;
        QTest::newRow("touch on Load scan") << "Button_loadscan" << 2 << 6;
        QTest::newRow("touch on the curing entry") << "l Button_paraweld" << 0 << 0;
        QTest::newRow("touch on the mapping entry") << "Button_mapping" << 2 << 6;
    }
    void leaving_refused_while_a_job_runs()
    {
        QFETCH(QString, keys);
        open_wizard("roob");   // curing: OK posts job 3, back to the column
        QVERIFY(g_qround_bar && g_send_para.job() == JOB_SAVE_PARA);
        act(keys);
        UiHooks::page_back(PAGE_SMARTMAPPING);
        uitest::flush();
        QCOMPARE(int(g_page_focus), int(PAGE_SMARTMAPPING));
        QCOMPARE(wizard()->focus_level(), 0);
        QTEST(wizard()->main_index(), "index");
        QTEST(stack_page(), "page");
        QCOMPARE(run_job().last(), 100);
        act(keys == "m" ? "m" : "b");
        QVERIFY(!g_smartmapping);
        QCOMPARE(int(g_page_focus), keys == "m" ? int(PAGE_MAINWINDOW) : int(PAGE_OPTION));
    }
    // The control link's handlers run on their receive threads: their call to leave the wizard
    // reaches it on the GUI thread, and only when page 24 is current both when the file is
    // handled and when the call arrives, and no job runs.
    void control_link_leaves_data()
    {
        // Which files lead there is the link layer's test's; here a scan file written.
        columns<QString, QString, QString, QString>({"before", "between", "page", "open"});
        QTest::newRow("a scan file written") << "" << "" << "5" << "option";
        QTest::newRow("while a flow holds the keys") << "ro" << "" << "5" << "option";
        QTest::newRow("left before the call arrives") << "" << "b" << "5" << "option";
        QTest::newRow("opened after the file") << "b" << "o" << "24" << "option smartmapping";
        QTest::newRow("a job runs") << "roo" << "" << "24" << "option smartmapping";
    }
    void control_link_leaves()
    {
        QFETCH(QString, before);
        QFETCH(QString, between);
        open_wizard(before);
        int handled = -1;
        std::thread([&handled] { handled = message_deal::write_file_end("/data/smartmapping/new.qyfile", "scan"); }).join();
        QCOMPARE(handled, 0);
        act(between);
        QCoreApplication::processEvents();
        uitest::flush();
        QTEST(QString::number(g_page_focus), "page");
        QTEST(open_screens(), "open");
    }
};

QTEST_MAIN(TestSmartMappingFrameLeaving)
#include "test_smartmapping_frame_leaving.moc"
