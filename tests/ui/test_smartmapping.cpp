// The smart-mapping wizard: its main column in every language, leaving it, the jobs it posts to the
// FPGA thread (their bar, their progress, what the simulated receiving cards get), the mapping
// switch, the stick's tips and the control link's way out.
#include <QStackedWidget>
#include <thread>

#include "QRoundProgressBar.h"
#include "fpga_regs.h"
#include "mainfixture.h"
#include "message_deal.h"
#include "uihooks.h"

using namespace mainfx;

namespace {

SmartMapping *wizard()
{
    return g_smartmapping;
}

// Opens the wizard from the Setting menu, as its entry does, then the keys.
void open_wizard(const QString &keys = QString())
{
    open_option("llo");
    QVERIFY(wizard());
    press(keys);
}

int stack_page()
{
    return wizard()->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->currentIndex();
}

// The main column's looks, "F U N E" (focus, unavailable, normal, edit), top to bottom.
QString column_looks()
{
    QStringList out;
    for (const char *name : {"Button_shortcut", "Button_loadscan", "Button_paraweld", "Button_mapping"}) {
        switch (uitest::look(wizard(), name)) {
        case LookState::Focus: out << "F"; break;
        case LookState::Edit: out << "E"; break;
        case LookState::Unavailable: out << "U"; break;
        default: out << "N"; break;
        }
    }
    return out.join(' ');
}

// Runs the FPGA thread's passes a tick apart until the job has ended and its bar is gone; the
// percentages the bar showed, 100 when it closed. `ticks` counts the ticks it took.
QList<int> run_job(int *ticks = nullptr, int limit = 20000)
{
    QList<int> shown;
    bool bar = g_qround_bar != nullptr;
    int t = 0;
    for (; t < limit && (g_send_para.job() != JOB_IDLE || g_qround_bar); ++t) {
        fpga_manage::p_fpga_manage->fpga_pass();
        if (bar && !g_qround_bar)
            shown << 100;
        else if (g_qround_bar && (shown.isEmpty() ? 0 : shown.last()) != int(g_qround_bar->value()))
            shown << int(g_qround_bar->value());
        bar = g_qround_bar != nullptr;
        uitest::tick();
    }
    uitest::flush();
    if (ticks)
        *ticks = t;
    return shown;
}

QString tip_text()
{
    const QLabel *label = g_tip->isVisible() && g_tip->content() ? g_tip->content()->findChild<QLabel *>() : nullptr;
    return label ? label->text() : QString();
}

}

class TestSmartMapping : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        fresh();
        g_line_type = line_type{};
        set_qyfile_name(QString());
        g_send_para.mapping_state = 0;
    }
    void cleanup() { uitest::close_all(); }

    // The column's place and sizes follow the language; left and right pass over Load scan while
    // no scan file is known, and each entry the cursor rests on shows its first page.
    void main_column_data()
    {
        columns<int, bool, QString, int, int, QString, QList<int>>(
            {"language", "files", "keys", "index", "page", "looks", "place"});
        // place: the tops of the four entries, their height, then their point sizes
        const QList<int> chinese{42, 77, 111, 145, 20, 9, 9, 9, 9};
        QTest::newRow("zh: opened") << 0 << false << "" << 0 << 0 << "F U N N" << chinese;
        QTest::newRow("zh: right passes over Load scan") << 0 << false << "r" << 2 << 6 << "N U F N" << chinese;
        QTest::newRow("en: left comes back over it") << 1 << false << "rl" << 0 << 0 << "F U N N"
                                                     << QList<int>{42, 87, 132, 177, 30, 7, 7, 7, 7};
        QTest::newRow("ru: left wraps to the mapping switch") << 2 << false << "l" << 3 << 7 << "N U N F"
                                                              << QList<int>{42, 87, 132, 177, 30, 6, 6, 7, 7};
        QTest::newRow("vi: with scan files Load scan is reached") << 3 << true << "r" << 1 << 4 << "N F N N"
                                                                  << QList<int>{42, 87, 132, 177, 30, 6, 7, 7, 7};
        QTest::newRow("tw: right wraps to the first") << 4 << true << "rrrr" << 0 << 0 << "F N N N" << chinese;
        QTest::newRow("en: OK enters the flow") << 1 << true << "rro" << 2 << 6 << "N N E N"
                                                << QList<int>{42, 87, 132, 177, 30, 7, 7, 7, 7};
        QTest::newRow("en: back gives the column back") << 1 << true << "rrob" << 2 << 6 << "N N F N"
                                                        << QList<int>{42, 87, 132, 177, 30, 7, 7, 7, 7};
    }
    void main_column()
    {
        QFETCH(int, language);
        QFETCH(bool, files);
        QFETCH(QString, keys);
        QFETCH(QList<int>, place);
        g_language = uint8_t(language);
        if (files)
            write_dev_file(QStringLiteral("/data/smartmapping/hall.qyfile"), "scan");
        open_wizard(keys);
        QTEST(wizard()->main_index(), "index");
        QTEST(stack_page(), "page");
        QTEST(column_looks(), "looks");
        QCOMPARE(wizard()->focus_level(), keys.endsWith('o') ? 1 : 0);
        QList<int> shown;
        const char *const names[] = {"Button_shortcut", "Button_loadscan", "Button_paraweld", "Button_mapping"};
        for (const char *name : names)
            shown << wizard()->findChild<QWidget *>(name)->y();
        shown << wizard()->findChild<QWidget *>(names[0])->height();
        for (const char *name : names)
            shown << wizard()->findChild<QWidget *>(name)->font().pointSize();
        QCOMPARE(shown, place);
        QCOMPARE(wizard()->findChild<QWidget *>(names[3])->geometry().left(), 5);
    }
    // A touch shows the entry's flow but leaves the key cursor where it was.
    void touch_leaves_the_cursor()
    {
        open_wizard("r");
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_mapping"), Qt::LeftButton);
        QCOMPARE((QList<int>{wizard()->main_index(), wizard()->focus_level(), stack_page()}), (QList<int>{2, 0, 7}));
        press("o");
        QCOMPARE((QList<int>{wizard()->main_index(), wizard()->focus_level(), stack_page()}), (QList<int>{2, 1, 6}));
    }
    // Counted as files of any name in the device's folder, as many as there are; without any
    // there, the stick's scan files.
    void scan_files_counted_data()
    {
        columns<int, int, int, int>({"device", "stick", "count", "right"});
        QTest::newRow("none") << 0 << 0 << 0 << 2;
        QTest::newRow("on the stick only") << 0 << 2 << 2 << 1;
        QTest::newRow("256 in the device's folder") << 256 << 0 << 256 << 1;
    }
    void scan_files_counted()
    {
        QFETCH(int, device);
        QFETCH(int, stick);
        for (int i = 0; i < device; ++i)
            write_dev_file(QStringLiteral("/data/smartmapping/f%1.bin").arg(i), "x");
        for (int i = 0; i < stick; ++i)
            write_dev_file(QStringLiteral("/mnt/usb1/s%1.qyfile").arg(i), "x");
        write_dev_file(QStringLiteral("/mnt/usb1/notes.txt"), "x");
        open_wizard("r");
        QTEST(wizard()->scan_file_count(), "count");
        QTEST(wizard()->main_index(), "right");
    }

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
    }
    void leaving_refused_while_a_job_runs()
    {
        QFETCH(QString, keys);
        open_wizard("roob");   // curing: OK posts job 3, back to the column
        QVERIFY(g_qround_bar && g_send_para.job() == JOB_SAVE_PARA);
        press(keys);
        UiHooks::page_back(PAGE_SMARTMAPPING);
        uitest::flush();
        QCOMPARE(int(g_page_focus), int(PAGE_SMARTMAPPING));
        QCOMPARE(wizard()->focus_level(), 0);
        QTEST(wizard()->main_index(), "index");
        QTEST(stack_page(), "page");
        QCOMPARE(run_job().last(), 100);
        press(keys == "m" ? "m" : "b");
        QVERIFY(!g_smartmapping);
        QCOMPARE(int(g_page_focus), keys == "m" ? int(PAGE_MAINWINDOW) : int(PAGE_OPTION));
    }
    // Jobs 3 and 4, posted by the keys, run against the simulated cards: every port with cards in
    // turn, the bar rising while a port is waited for, 95 after the last and 100 after 200 ticks.
    // A port whose cards do not answer is given up after 1200 ticks. Job 3 waits while a command
    // of the PC tool is active.
    void jobs_end_to_end_data()
    {
        columns<QString, int, bool, QList<int>, QList<int>>({"keys", "silent", "pc", "progress", "ticks"});
        QTest::newRow("curing") << "roo" << 0 << false << QList<int>{5, 10, 95, 100} << QList<int>{500, 520};
        QTest::newRow("curing, port 1 silent") << "roo" << 1 << false
                                               << QList<int>{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 95, 100}
                                               << QList<int>{1550, 1570};
        QTest::newRow("curing after a PC command") << "roo" << 0 << true << QList<int>{5, 10, 95, 100} << QList<int>{581, 601};
        QTest::newRow("mapping switch") << "rroo" << 0 << false << QList<int>{5, 10, 95, 100} << QList<int>{500, 520};
        QTest::newRow("mapping switch after a PC command") << "rroo" << 0 << true << QList<int>{5, 10, 95, 100}
                                                           << QList<int>{500, 520};
    }
    void jobs_end_to_end()
    {
        QFETCH(QString, keys);
        QFETCH(int, silent);
        QFETCH(bool, pc);
        QFETCH(QList<int>, ticks);
        SimLock()->silent_ports = uint16_t(silent);
        pc_cmd_valid = pc;
        pc_cmd_time = G_timeTicks.load();
        open_wizard(keys);
        const bool curing = keys == "roo";
        QCOMPARE(int(g_send_para.job()), curing ? int(JOB_SAVE_PARA) : int(JOB_MAPPING_ENABLE));
        int took = 0;
        QTEST(run_job(&took), "progress");
        QVERIFY2(took >= ticks[0] && took <= ticks[1], qPrintable(QString::number(took)));
        const SimState s = *SimLock();
        const QList<int> saves{s.cards[0][0].saves, s.cards[0][1].saves, s.cards[1][0].saves};
        const QList<int> states{int(s.cards[0][0].mapping_state), int(s.cards[0][1].mapping_state), int(s.cards[1][0].mapping_state)};
        const int answering = silent ? 0 : 1;
        QCOMPARE(saves, curing ? (QList<int>{answering, answering, 1}) : (QList<int>{0, 0, 0}));
        QCOMPARE(states, curing ? (QList<int>{0, 0, 0}) : (QList<int>{9, 9, 9}));
        press("b");   // the flow
        press("b");   // the wizard
        QCOMPARE(int(g_page_focus), int(PAGE_OPTION));
    }
    // The page shows the switch as the FPGA has it; OK turns it over in the FPGA at once (the
    // other bits of the register kept) and job 4 carries it to the cards. A second OK while the
    // bar is up changes nothing.
    void mapping_switch_data()
    {
        columns<int, QString, int, QString, int>({"reg", "before", "after", "icon", "state"});
        QTest::newRow("on, screen on") << 0x84 << "button_on" << 0x04 << "button_off" << 0;
        QTest::newRow("on, other bits") << 0xFF << "button_on" << 0x7F << "button_off" << 0;
        QTest::newRow("off, screen on") << 0x04 << "button_off" << 0x84 << "button_on" << 9;
        QTest::newRow("off") << 0x00 << "button_off" << 0x80 << "button_on" << 9;
    }
    void mapping_switch()
    {
        QFETCH(int, reg);
        QFETCH(QString, before);
        QFETCH(QString, icon);
        SimDevice::write_reg(0, FpgaReg::kControl, uint8_t(reg));
        {
            SimLock s;
            for (auto &port : s->cards)
                for (SimCard &card : port)
                    card.mapping_state = 5;
        }
        open_wizard("rr");   // resting on the entry reads the switch
        const QWidget *button = wizard()->findChild<QWidget *>("Button_mapping_state");
        QCOMPARE(stack_page(), 7);
        QVERIFY(uitest::shows(button, ":/png/" + before + ".png"));
        press("o");
        QCOMPARE(uitest::look(wizard(), "Button_mapping_state"), LookState::Focus);
        press("oo");
        QTEST(int(SimDevice::read_reg(0, FpgaReg::kControl)), "after");
        QTEST(int(fpga_manage::p_fpga_manage->register_value(FpgaReg::kControl, 0)), "after");
        QVERIFY(uitest::shows(button, ":/png/" + icon + ".png"));
        QTEST(int(g_send_para.mapping_state), "state");
        QCOMPARE(int(g_send_para.job()), int(JOB_MAPPING_ENABLE));
        run_job();
        QFETCH(int, state);
        SimLock s;
        QCOMPARE((QList<int>{int(s->cards[0][1].mapping_state), int(s->cards[1][0].mapping_state)}), (QList<int>{state, state}));
    }
    // The stick's codes reach the wizard's own refresh, which shows their tips; an ordinary change
    // shows none.
    void stick_tips_data()
    {
        columns<int, QString>({"code", "tip"});
        QTest::newRow("inserted") << int(CHANGE_USB_INSERTED) << "USB driver is connected,please wait...";
        QTest::newRow("removed") << int(CHANGE_USB_REMOVED) << "USB drive is unplugged.";
        QTest::newRow("mounted") << int(CHANGE_USB_MOUNTED) << "Reading the data,pls wait";
        QTest::newRow("a parameter") << int(CHANGE_PARA) << "";
    }
    void stick_tips()
    {
        QFETCH(int, code);
        open_wizard();
        uitest::para()->test_signal(code);
        QTEST(tip_text(), "tip");
        QCOMPARE(int(g_page_focus), int(PAGE_SMARTMAPPING));
    }
    // The control link's handlers run on their receive threads: their call to leave the wizard
    // reaches it on the GUI thread, and only when page 24 is current both when the file is
    // handled and when the call arrives, and no job runs.
    void control_link_leaves_data()
    {
        columns<QString, QString, QString, QString, QString>({"before", "file", "between", "page", "open"});
        QTest::newRow("a scan file written") << "" << "/data/smartmapping/new.qyfile" << "" << "5" << "option";
        QTest::newRow("a file deleted") << "" << "-/data/rcvrecovery/old.rcv" << "" << "5" << "option";
        QTest::newRow("while a flow holds the keys") << "ro" << "/data/smartmapping/new.qyfile" << "" << "5" << "option";
        QTest::newRow("another file written") << "" << "/data/rcvrecovery/new.rcv" << "" << "24" << "option smartmapping";
        QTest::newRow("left before the call arrives") << "" << "/data/smartmapping/new.qyfile" << "b" << "5" << "option";
        QTest::newRow("opened after the file") << "b" << "/data/smartmapping/new.qyfile" << "o" << "24"
                                               << "option smartmapping";
        QTest::newRow("a job runs") << "roo" << "/data/smartmapping/new.qyfile" << "" << "24" << "option smartmapping";
    }
    void control_link_leaves()
    {
        QFETCH(QString, before);
        QFETCH(QString, file);
        QFETCH(QString, between);
        write_dev_file(QStringLiteral("/data/rcvrecovery/old.rcv"), "x");
        open_wizard(before);
        int handled = -1;
        std::thread([file, &handled] {
            handled = file.startsWith('-') ? message_deal::delete_file_name(file.mid(1))
                                           : message_deal::write_file_end(file, "scan");
        }).join();
        QCOMPARE(handled, 0);
        press(between);
        QCoreApplication::processEvents();
        uitest::flush();
        QTEST(QString::number(g_page_focus), "page");
        QTEST(open_screens(), "open");
    }
};

QTEST_MAIN(TestSmartMapping)
#include "test_smartmapping.moc"
