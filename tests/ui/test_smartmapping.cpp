// The smart-mapping wizard: its main column in every language, leaving it, the jobs it posts to the
// FPGA thread (their bar, their progress, what the simulated receiving cards get), the mapping
// switch, the stick's tips and the control link's way out.
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QStackedWidget>
#include <QToolButton>
#include <thread>

#include "QRoundProgressBar.h"
#include "debugflow.h"
#include "filelist.h"
#include "loadscanflow.h"
#include "portchoice.h"
#include "portgrid.h"
#include "fpga_regs.h"
#include "mainfixture.h"
#include "message_deal.h"
#include "syncupdate.h"
#include "uihooks.h"
#include "usbserver.h"

using namespace mainfx;

namespace {

SmartMapping *wizard()
{
    return g_smartmapping;
}

const DebugFlow &debugging()
{
    return wizard()->debugging();
}

const LoadScanFlow &load_scan()
{
    return wizard()->load_scan();
}

const PortGrid *grid()
{
    return wizard()->ports().grid();
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

// Confirms `text` on the numeric keyboard the wizard opened: cleared, then typed, then OK.
void type_on_keyboard(const QString &text)
{
    QVERIFY(g_numberkeyboard->isVisible());
    const auto click = [](const QString &name) { g_numberkeyboard->findChild<QPushButton *>(name)->click(); };
    for (int i = 0; i < 12; ++i)
        click(QStringLiteral("ButtonX"));
    // The digits answer to the panel keys: the focus the short way round to the digit, then OK.
    for (QChar digit : text) {
        const int target = digit == '0' ? 9 : digit.digitValue() - 1;
        const int ahead = ((target - g_numberkeyboard->focus_index()) % 14 + 14) % 14;
        for (int i = 0; i < qMin(ahead, 14 - ahead); ++i)
            uitest::key(g_numberkeyboard, ahead <= 7 ? Qt::Key_F5 : Qt::Key_F4);
        uitest::key(g_numberkeyboard, Qt::Key_F6);
    }
    click(QStringLiteral("Button_ok"));
}

// Keys in the shorthand, a word at a time; "=123" types 123 on the keyboard the last OK opened,
// "Button_x" touches that button of the wizard.
void act(const QString &script)
{
    for (const QString &word : script.split(' ', Qt::SkipEmptyParts)) {
        if (word.startsWith('='))
            type_on_keyboard(word.mid(1));
        else if (word.startsWith(QLatin1String("Button_")))
            QTest::mouseClick(g_smartmapping->findChild<QAbstractButton *>(word), Qt::LeftButton);
        else
            mainfx::press(word);
    }
}

// Opens the wizard from the Setting menu, as its entry does, then the keys.
void open_wizard(const QString &keys = QString())
{
    open_option("llo");
    QVERIFY(wizard());
    act(keys);
}

// The receiving cards of a port: x, y of each placed card, "-" for one without a position.
QString positions(int port)
{
    QStringList out;
    SimLock s;
    for (const SimCard &card : s->cards[port])
        out << (card.placed ? QStringLiteral("%1,%2").arg(card.x).arg(card.y) : QStringLiteral("-"));
    return out.join(' ');
}

// The rows of the file list on display: names, "*" after the chosen one, "+" after a file of the
// stick (drawn green); the page arrows as "<" and ">".
QString list_rows()
{
    const FileList *list = load_scan().file_list();
    if (!list || !list->isVisible())
        return QStringLiteral("(no list)");
    QStringList out;
    if (list->previous_button()->isVisible())
        out << "<";
    for (int r = 0; r < list->row_count(); ++r) {
        QLabel *label = list->row_label(r);
        label->ensurePolished();
        const bool green = label->palette().color(QPalette::WindowText) == QColor(0, 255, 0);
        const LookState look = look_state(label);
        out << label->text() + (green ? "+" : "") + (look == LookState::Focus ? "*" : look == LookState::Edit ? "#" : "");
    }
    if (list->row_count() == 0)
        out << list->no_file_label()->text();
    if (list->next_button()->isVisible())
        out << ">";
    return out.join(' ');
}

// Scan files of the device's folder, by their names without ".qyfile".
void scan_files(std::initializer_list<const char *> names)
{
    for (const char *name : names)
        write_dev_file(QStringLiteral("/data/smartmapping/%1.qyfile").arg(QLatin1String(name)), "scan");
}

QString tip_text()
{
    const QLabel *label = g_tip->isVisible() && g_tip->content() ? g_tip->content()->findChild<QLabel *>() : nullptr;
    return label ? label->text() : QString();
}

// The stick watcher, its codes reaching the screens; each look is taken on a thread of its own, as
// the watcher's thread takes them, so that the codes arrive queued.
struct StickWatcher
{
    UsbServer usb;
    StickWatcher()
    {
        g_delay_usbserver = 1;
        QObject::connect(&usb, &UsbServer::sig_usb_update, SyncUpdate::p_syncupdate, &SyncUpdate::para_sync);
    }
    void look()
    {
        std::thread([this] { usb.poll(); }).join();
        QCoreApplication::sendPostedEvents();
        uitest::flush();
    }
    // The stick in place now seen and, after the hold, mounted.
    void mount()
    {
        look();
        uitest::tick(UsbServer::kMountHoldTicks);
        look();
    }
};

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

    // Left and right pass over Load scan while no scan file is known, and each entry the cursor
    // rests on shows its first page; the column's place in each language is the gallery's.
    void main_column_data()
    {
        columns<int, bool, QString, int, int, QString>({"language", "files", "keys", "index", "page", "looks"});
        QTest::newRow("zh: opened") << 0 << false << "" << 0 << 0 << "F U N N";
        QTest::newRow("zh: right passes over Load scan") << 0 << false << "r" << 2 << 6 << "N U F N";
        QTest::newRow("en: left comes back over it") << 1 << false << "rl" << 0 << 0 << "F U N N";
        QTest::newRow("ru: left wraps to the mapping switch") << 2 << false << "l" << 3 << 7 << "N U N F";
        QTest::newRow("vi: with scan files Load scan is reached") << 3 << true << "r" << 1 << 4 << "N F N N";
        QTest::newRow("tw: right wraps to the first") << 4 << true << "rrrr" << 0 << 0 << "F N N N";
        QTest::newRow("en: OK enters the flow") << 1 << true << "rro" << 2 << 6 << "N N E N";
        QTest::newRow("en: back gives the column back") << 1 << true << "rrob" << 2 << 6 << "N N F N";
    }
    void main_column()
    {
        QFETCH(int, language);
        QFETCH(bool, files);
        QFETCH(QString, keys);
        g_language = uint8_t(language);
        if (files)
            scan_files({"hall"});
        open_wizard(keys);
        QTEST(wizard()->main_index(), "index");
        QTEST(stack_page(), "page");
        QTEST(column_looks(), "looks");
        QCOMPARE(wizard()->focus_level(), keys.endsWith('o') ? 1 : 0);
    }
    // A touch shows the entry's flow but leaves the key cursor where it was.
    void touch_leaves_the_cursor()
    {
        open_wizard("r");
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_mapping"), Qt::LeftButton);
        QCOMPARE((QList<int>{wizard()->main_index(), wizard()->focus_level(), stack_page()}), (QList<int>{2, 0, 7}));
        act("o");
        QCOMPARE((QList<int>{wizard()->main_index(), wizard()->focus_level(), stack_page()}), (QList<int>{2, 1, 6}));
        QCOMPARE(uitest::look(wizard(), "Button_confirm"), LookState::Focus);
        act("b");   // the button the keys leave loses its focus
        QCOMPARE((QList<int>{wizard()->focus_level(), int(uitest::look(wizard(), "Button_confirm"))}),
                 (QList<int>{0, int(LookState::Normal)}));
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
    // Jobs 3 and 4, posted by the keys, run against the simulated cards (their timing is the FPGA
    // thread's test's): the bar rises while a port is waited for, 95 after the last, then 100.
    void jobs_end_to_end_data()
    {
        columns<QString>({"keys"});
        QTest::newRow("curing") << "roo";
        QTest::newRow("mapping switch") << "rroo";
    }
    void jobs_end_to_end()
    {
        QFETCH(QString, keys);
        open_wizard(keys);
        const bool curing = keys == "roo";
        QCOMPARE(int(g_send_para.job()), curing ? int(JOB_SAVE_PARA) : int(JOB_MAPPING_ENABLE));
        QCOMPARE(run_job(), (QList<int>{3, 48, 95, 100}));
        const SimState s = *SimLock();
        const QList<int> saves{s.cards[0][0].saves, s.cards[0][1].saves, s.cards[1][0].saves};
        const QList<int> states{int(s.cards[0][0].mapping_state), int(s.cards[0][1].mapping_state), int(s.cards[1][0].mapping_state)};
        QCOMPARE(saves, curing ? (QList<int>{1, 1, 1}) : (QList<int>{0, 0, 0}));
        QCOMPARE(states, curing ? (QList<int>{0, 0, 0}) : (QList<int>{9, 9, 9}));
        act("b");   // the flow
        act("b");   // the wizard
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
        act("o");
        QCOMPARE(uitest::look(wizard(), "Button_mapping_state"), LookState::Focus);
        act("oo");
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

    // ---- the debugging flow --------------------------------------------------------------------

    // The whole flow by keys: cabinet size, a port from the grid, rows, columns, a routing pattern
    // and the offsets, then Send; each card of the port gets the place its pattern gives it (an
    // extra card beyond the cabinets none).
    void mapping_sent_card_by_card_data()
    {
        columns<QString, int, int, QString>({"settings", "port", "cards", "placed"});
        // settings: width height rows columns pattern x-offset y-offset
        QTest::newRow("pattern 1, rows back and forth") << "64 32 2 3 1 5 7" << 0 << 7
                                                        << "5,7 69,7 133,7 133,39 69,39 5,39 -";
        QTest::newRow("pattern 6, rows from the right") << "64 32 2 3 6 5 7" << 1 << 6
                                                        << "133,7 69,7 5,7 133,39 69,39 5,39";
        QTest::newRow("pattern 11, columns from the bottom") << "64 32 2 3 11 5 7" << 2 << 6
                                                             << "5,39 5,7 69,7 69,39 133,39 133,7";
        QTest::newRow("pattern 16, columns from the bottom right") << "128 96 2 3 16 0 0" << 5 << 6
                                                                   << "256,96 256,0 128,96 128,0 0,96 0,0";
        QTest::newRow("pattern 4, one column") << "100 50 3 1 4 1000 0" << 3 << 3 << "1000,100 1000,50 1000,0";
        QTest::newRow("no rows: no card placed") << "64 32 0 3 1 0 0" << 0 << 2 << "- -";
        QTest::newRow("no columns: no card placed") << "64 32 2 0 1 0 0" << 0 << 2 << "- -";
    }
    void mapping_sent_card_by_card()
    {
        QFETCH(QString, settings);
        QFETCH(int, port);
        QFETCH(int, cards);
        const QStringList v = settings.split(' ');
        SimLock()->cards[port].resize(size_t(cards));
        QString script = QStringLiteral("o o =%1 r o =%2 r o").arg(v[0], v[1]);     // Step 1, Next
        script += QStringLiteral(" o") + QStringLiteral(" r").repeated(port) + " o";  // the port from the grid
        script += QStringLiteral(" r r o o =%1 r o =%2 r o").arg(v[2], v[3]);         // Step 3: rows, columns
        script += QStringLiteral(" r").repeated(v[4].toInt() - 1) + " o";             // the routing pattern
        script += QStringLiteral(" r o =%1 r o =%2 r r o").arg(v[5], v[6]);           // offsets, Send
        open_wizard();
        act(script);
        QCOMPARE(int(g_send_para.job()), int(JOB_MAPPING_SEND));
        const line_type sent = g_line_type;
        QCOMPARE((QList<int>{sent.cabinet_width, sent.cabinet_height, sent.rows, sent.cols, sent.route, sent.h_offset,
                             sent.v_offset, sent.port}),
                 (QList<int>{v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt(), v[4].toInt(), v[5].toInt(),
                             v[6].toInt(), port}));
        const QList<int> progress = run_job();
        QCOMPARE(progress.mid(progress.size() - 2), (QList<int>{90, 100}));
        QTEST(positions(port), "placed");
        QVERIFY(!positions(port == 0 ? 1 : 0).contains(','));   // another port's cards are left alone
    }
    // A send to a port without cards ends at once: its bar closes and the wizard can be left.
    void send_to_a_port_without_cards()
    {
        open_wizard("o l o o l o r r o l o");   // port 5 (LED6), which has no cards, then Send
        QCOMPARE(int(g_line_type.port), 5);
        QVERIFY(g_qround_bar);
        QCOMPARE(run_job(), (QList<int>{90, 100}));
        act("b b b b");   // Step 3, Step 2, Step 1, the column
        QCOMPARE(int(g_page_focus), int(PAGE_OPTION));
        // Opened again: the cabinet size as sent, port 0 and routing pattern 1 again.
        uitest::flush();
        g_line_type.route = 9;
        act("o");
        QVERIFY(wizard());
        QCOMPARE((QList<int>{g_line_type.cabinet_width, g_line_type.cabinet_height, g_line_type.port, g_line_type.route}),
                 (QList<int>{128, 96, 0, 1}));
    }
    // With the FPGA thread running on its own: patterns chosen over and over while job 1 runs
    // never reach it, and its progress comes back to the bar until the bar closes.
    void send_with_the_fpga_thread_running()
    {
        SimLock()->cards[0].resize(6);
        open_wizard("o o =64 r o =32 r o r r o o =2 r o =3 l l o");   // pattern 1, Send
        fpga_manage::p_fpga_manage->start_thread();
        // The job's step and the bar move while the job gets on, however slowly; only a job that
        // stopped moving is given up, once the ceiling has passed since it last moved.
        const auto moved = [] {
            return QList<int>{g_send_para.job_word.load(), g_qround_bar ? int(g_qround_bar->value()) : -1};
        };
        QList<int> last = moved();
        QElapsedTimer still;
        still.start();
        for (int n = 2; (g_qround_bar || g_send_para.job() != JOB_IDLE) && still.elapsed() < zemtest::kCeilingMs; ++n) {
            QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_route"), Qt::LeftButton);
            QTest::mouseClick(wizard()->findChild<QToolButton *>(QStringLiteral("Button_route%1").arg(n % 16 + 1)),
                              Qt::LeftButton);
            uitest::tick(5);
            QCoreApplication::processEvents();
            QThread::msleep(1);
            if (moved() != last) {
                last = moved();
                still.restart();
            }
        }
        fpga_manage::destroy_for_test();   // the thread ends with its manager
        QVERIFY2(!g_qround_bar, qPrintable(QStringLiteral("the job stopped moving at step %1").arg(g_send_para.step())));
        QCOMPARE(positions(0), QStringLiteral("0,0 64,0 128,0 128,32 64,32 0,32"));
    }
    // A number beyond its field stores the largest the field holds, and the field shows it; no
    // number stores 0.
    void fields_saturate_data()
    {
        columns<QString, QString, QString, int>({"field", "typed", "shown", "stored"});
        QTest::newRow("width 70000") << "lineEdit_X" << "70000" << "65535" << 65535;
        QTest::newRow("width 65535") << "lineEdit_X" << "65535" << "65535" << 65535;
        QTest::newRow("height 999999999") << "lineEdit_Y" << "999999999" << "65535" << 65535;
        QTest::newRow("height empty") << "lineEdit_Y" << "" << "" << 0;
        QTest::newRow("rows 300") << "lineEdit_line" << "300" << "255" << 255;
        QTest::newRow("rows 255") << "lineEdit_line" << "255" << "255" << 255;
        QTest::newRow("columns 256") << "lineEdit_column" << "256" << "255" << 255;
        QTest::newRow("columns 0") << "lineEdit_column" << "0" << "0" << 0;
        QTest::newRow("horizontal offset 65536") << "lineEdit_horzion" << "65536" << "65535" << 65535;
        QTest::newRow("vertical offset 42") << "lineEdit_vert" << "42" << "42" << 42;
    }
    void fields_saturate()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        const bool step1 = field == "lineEdit_X" || field == "lineEdit_Y";
        open_wizard(step1 ? "o" : "o r r o r r o");   // the field's step, the cursor on its first item
        auto *edit = wizard()->findChild<My_lineEdit *>(field);
        QTest::mouseClick(edit, Qt::LeftButton);   // a touch opens the keyboard as OK does
        type_on_keyboard(typed);
        QTEST(edit->text(), "shown");
        act("l o");   // left of the first item: Next on Step 1, Send on Step 3
        const line_type l = g_line_type;
        const QMap<QString, int> stored{{"lineEdit_X", l.cabinet_width}, {"lineEdit_Y", l.cabinet_height},
                                        {"lineEdit_line", l.rows}, {"lineEdit_column", l.cols},
                                        {"lineEdit_horzion", l.h_offset}, {"lineEdit_vert", l.v_offset}};
        QTEST(stored.value(field), "stored");
    }
    // The port grid on both flows' pages: the green cell is the port the record holds; the keys
    // move it at once, OK confirms it, Back restores what the flow's rules keep.
    void port_grid_data()
    {
        columns<QString, int, int, bool>({"keys", "port", "green", "grid"});
        // Step 2 of the debugging flow: entering the grid starts on port 0.
        QTest::newRow("debug: into the grid") << "o r r o o" << 0 << 0 << true;
        QTest::newRow("debug: left wraps to the sixth") << "o r r o o l" << 5 << 5 << true;
        QTest::newRow("debug: and right back to the first") << "o r r o o l r" << 0 << 0 << true;
        QTest::newRow("debug: OK keeps the port") << "o r r o o r r o" << 2 << 2 << false;
        QTest::newRow("debug: back restores the port of before") << "o r r o o r r o o r b" << 2 << 2 << false;
        QTest::newRow("debug: the grid starts on the first port again") << "o r r o o r r o o" << 0 << 0 << true;
        // Load scan's step 1: the grid starts on the chosen port; Back keeps the port moved to
        // until one has been confirmed, then restores the one held when the grid was entered.
        QTest::newRow("scan: into the grid") << "r o o" << 0 << 0 << true;
        QTest::newRow("scan: back keeps the port moved to") << "r o o r r b" << 2 << 2 << false;
        QTest::newRow("scan: the grid starts on the chosen port") << "r o o r o o r" << 2 << 2 << true;
        QTest::newRow("scan: back after a confirmation restores") << "r o o r o o r b" << 1 << 1 << false;
    }
    void port_grid()
    {
        QFETCH(QString, keys);
        scan_files({"hall"});
        open_wizard(keys);
        QTEST(int(g_line_type.port), "port");
        QTEST(grid()->chosen(), "green");
        // The grid holds the keys of the flow the row is in, never of the other one.
        const bool debug_flow = keys.startsWith('o');
        QTEST(debug_flow ? debugging().in_grid() : load_scan().in_grid(), "grid");
        QVERIFY(!(debug_flow ? load_scan().in_grid() : debugging().in_grid()));
        QCOMPARE(grid()->parentWidget(), wizard()->findChild<QStackedWidget *>()->currentWidget());
    }
    // A touch on a cell chooses its port at once, without the key cursor, and the green mark
    // leaves the cell it was on.
    void port_cell_touched()
    {
        scan_files({"hall"});
        open_wizard("r o o r o");   // Load scan: port 1 confirmed
        QTest::mouseClick(grid()->cell(3)->button(), Qt::LeftButton);
        QCOMPARE((QList<int>{g_line_type.port, grid()->chosen()}), (QList<int>{3, 3}));
        QVERIFY(!grid()->cell(1)->chosen());
        act("o r");   // the keys' grid starts on the touched port
        QCOMPARE((QList<int>{g_line_type.port, grid()->chosen()}), (QList<int>{4, 4}));
        // Touched while the keys are in the grid: Back comes back to the touched port.
        QTest::mouseClick(grid()->cell(2)->button(), Qt::LeftButton);
        act("r b");
        QCOMPARE((QList<int>{g_line_type.port, grid()->chosen()}), (QList<int>{2, 2}));
    }
    // The routing page: the cursor starts on the pattern in use; OK on a pattern takes it, Cancel
    // and Back keep the one there was. The language follows onto Step 3's routing button.
    void routing_choice_data()
    {
        columns<QString, int, QString>({"keys", "route", "shown"});
        QTest::newRow("pattern 7") << "r r o r r r r r r o" << 7 << "Routing 7";
        QTest::newRow("cancel keeps it") << "r r o l o" << 1 << "Routing 1";
        QTest::newRow("back keeps it") << "r r o r r b" << 1 << "Routing 1";
        QTest::newRow("pattern 16, then 15 from there") << "r r o l l o o l o" << 15 << "Routing 15";
    }
    void routing_choice()
    {
        QFETCH(QString, keys);
        QFETCH(int, route);
        uitest::para()->RAM_PARA[Ram::kLanguage] = uitest::para()->RAM_PARA_SHADOW[Ram::kLanguage] = LANG_EN;
        open_wizard("o r r o r r o");
        act(keys);
        QCOMPARE(stack_page(), 2);
        QTEST(int(g_line_type.route), "route");
        QTEST(uitest::text(wizard(), "Button_route"), "shown");
        QVERIFY(uitest::shows(wizard(), "Button_route", QStringLiteral(":/png/line%1.png").arg(route)));
        QCOMPARE(uitest::look(wizard(), "Button_route"), LookState::Focus);
        uitest::para()->RAM_PARA[Ram::kLanguage] = LANG_ZH_HANS;
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(uitest::text(wizard(), "Button_route"), QStringLiteral("走线%1").arg(route));
    }
    // Send while its bar is up changes neither the job nor what it sends.
    void send_twice()
    {
        open_wizard("o r r o r r o l o");
        const line_type first = g_line_type;
        QVERIFY(g_qround_bar);
        QTest::mouseClick(wizard()->findChild<My_lineEdit *>("lineEdit_line"), Qt::LeftButton);
        type_on_keyboard("9");
        act("o");
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_send"), Qt::LeftButton);
        QCOMPARE(g_line_type.rows, first.rows);
        act("b l o Button_front_3");   // Previous is refused as well, by back, by OK and by a touch
        QCOMPARE((QList<int>{stack_page(), debugging().step()}), (QList<int>{2, 2}));
        run_job();
        act("r o");   // once the bar is gone
        QCOMPARE(int(g_line_type.rows), 9);
    }
    // ---- Load scan -----------------------------------------------------------------------------

    // The scan files of the device's folder, then the stick's in green, three to a page in name
    // order; the keys walk the rows across the pages both ways.
    void scan_files_listed_data()
    {
        columns<QString, QString, QString>({"keys", "rows", "chosen"});
        QTest::newRow("first page") << "" << "A.qyfile* b.qyfile g.h.qyfile >" << "/data/smartmapping/A.qyfile";
        QTest::newRow("down a row") << "r" << "A.qyfile b.qyfile* g.h.qyfile >" << "/data/smartmapping/b.qyfile";
        QTest::newRow("onto the second page") << "r r r" << "< w.qyfile+* Y.qyfile+ z.qyfile+" << "/mnt/usb1/w.qyfile";
        QTest::newRow("past the last page to the first") << "r r r r r r" << "A.qyfile* b.qyfile g.h.qyfile >"
                                                         << "/data/smartmapping/A.qyfile";
        QTest::newRow("left back onto the first page's last row") << "r r r l" << "A.qyfile b.qyfile g.h.qyfile* >"
                                                                  << "/data/smartmapping/g.h.qyfile";
        QTest::newRow("left on the very first row stays") << "l" << "A.qyfile* b.qyfile g.h.qyfile >"
                                                          << "/data/smartmapping/A.qyfile";
        QTest::newRow("OK holds the row, the cursor goes to Load") << "r o" << "A.qyfile b.qyfile# g.h.qyfile >"
                                                                   << "/data/smartmapping/b.qyfile";
        QTest::newRow("touch on the next page's arrow") << "next" << "< w.qyfile+* Y.qyfile+ z.qyfile+"
                                                        << "/mnt/usb1/w.qyfile";
        QTest::newRow("and on the previous one") << "next previous" << "A.qyfile* b.qyfile g.h.qyfile >"
                                                 << "/data/smartmapping/A.qyfile";
    }
    void scan_files_listed()
    {
        for (const char *name : {"b.qyfile", "A.qyfile", "c.QYFILE", "d.qyfile.bak", ".e.qyfile", "g.h.qyfile", "qyfile",
                                 ".f.qyfile.tmp"})
            write_dev_file(QStringLiteral("/data/smartmapping/") + name, "scan");
        QDir().mkpath(Paths::dev("/data/smartmapping/dir.qyfile"));
        write_dev_file(QStringLiteral("/data/elsewhere.qyfile"), "scan");
        QFile::link(Paths::dev("/data/elsewhere.qyfile"), Paths::dev("/data/smartmapping/l.qyfile"));
        for (const char *name : {"z.qyfile", "Y.qyfile", "x.txt", "w.qyfile"})
            write_dev_file(QStringLiteral("/mnt/usb1/") + name, "scan");
        open_wizard("r o r o");   // Load scan, Next
        QFETCH(QString, keys);
        for (const QString &word : keys.split(' ', Qt::SkipEmptyParts)) {
            if (word == "next")
                QTest::mouseClick(load_scan().file_list()->next_button(), Qt::LeftButton);
            else if (word == "previous")
                QTest::mouseClick(load_scan().file_list()->previous_button(), Qt::LeftButton);
            else
                act(word);
        }
        QTEST(list_rows(), "rows");
        QTEST(load_scan().chosen_file(), "chosen");
    }
    // While the file chosen is being loaded, the keys that would leave step 2, turn its page or
    // post again are refused and leave the cursor where it was; moving within the page still works.
    void scan_keys_refused_while_loading_data()
    {
        // before: keys before Load is touched (the cursor then rests on Load); during: keys while
        // the job runs; then the step, the page of files, the row chosen and the cursor's place.
        columns<QString, QString, QList<int>, QString>({"before", "during", "state", "rows"});
        // state: stacked page, step, file page, chosen row, cursor on the buttons
        QTest::newRow("Load again") << "r r o" << "o" << QList<int>{5, 1, 0, 2, 1} << "a b c# >";
        QTest::newRow("Previous") << "r r o" << "l o" << QList<int>{5, 1, 0, 2, 1} << "a b c# >";
        QTest::newRow("back to the rows, not to step 1") << "r r o" << "b b" << QList<int>{5, 1, 0, 2, 0} << "a b c* >";
        QTest::newRow("a row is not taken") << "r r o" << "b o" << QList<int>{5, 1, 0, 2, 0} << "a b c* >";
        QTest::newRow("no paging off the last row") << "r r o" << "b r" << QList<int>{5, 1, 0, 2, 0} << "a b c* >";
        QTest::newRow("no paging off the first row") << "r r r o" << "b l" << QList<int>{5, 1, 1, 0, 0} << "< d*";
        QTest::newRow("the rows of the page still move") << "r r o" << "b l" << QList<int>{5, 1, 0, 1, 0} << "a b* c >";
        // touches: the page arrows "<" and ">", "row0" the first row
        QTest::newRow("touch on Previous") << "r r o" << "Button_front_6" << QList<int>{5, 1, 0, 2, 1} << "a b c# >";
        QTest::newRow("touch on a row") << "r r o" << "row0" << QList<int>{5, 1, 0, 2, 1} << "a b c# >";
        QTest::newRow("touch on the next page's arrow") << "r r o" << ">" << QList<int>{5, 1, 0, 2, 1} << "a b c# >";
        QTest::newRow("touch on the previous page's arrow") << "r r r o" << "<" << QList<int>{5, 1, 1, 0, 1} << "< d#";
    }
    void scan_keys_refused_while_loading()
    {
        QFETCH(QString, before);
        QFETCH(QString, during);
        QFETCH(QList<int>, state);
        scan_files({"a", "b", "c", "d"});
        open_wizard("r o r o");   // Load scan, Next: the list
        act(before);
        const QString chosen = load_scan().chosen_file();
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_load"), Qt::LeftButton);
        QVERIFY(g_qround_bar && qyfile_name() == chosen);
        const FileList *list = load_scan().file_list();
        const QMap<QString, QWidget *> touched{
            {"row0", list->row_button(0)}, {"<", list->previous_button()}, {">", list->next_button()}};
        if (touched.contains(during))
            QTest::mouseClick(touched.value(during), Qt::LeftButton);
        else
            act(during);
        QCOMPARE((QList<int>{stack_page(), load_scan().step(), load_scan().current_page(), load_scan().file_select(),
                             load_scan().cursor_on_buttons()}), state);
        QTEST(list_rows().remove(QStringLiteral(".qyfile")), "rows");
        QCOMPARE(qyfile_name(), chosen);
        QCOMPARE(run_job().last(), 100);
    }
    // No more than a hundred files are listed, the device's first.
    void scan_files_capped()
    {
        for (int i = 0; i < 80; ++i)
            write_dev_file(QStringLiteral("/data/smartmapping/i%1.qyfile").arg(i, 3, 10, QLatin1Char('0')), "s");
        for (int i = 0; i < 40; ++i)
            write_dev_file(QStringLiteral("/mnt/usb1/u%1.qyfile").arg(i, 3, 10, QLatin1Char('0')), "s");
        open_wizard("r o r o");
        act(QStringLiteral("r").repeated(99));
        QCOMPARE(list_rows(), QStringLiteral("< u019.qyfile+*"));
        act("r");
        QCOMPARE(list_rows(), QStringLiteral("i000.qyfile* i001.qyfile i002.qyfile >"));
    }
    // A chosen row beyond the rows of the page turned to is the page's last row.
    void chosen_row_kept_within_the_page()
    {
        scan_files({"a", "b", "c", "d"});
        open_wizard("r o r o r r");
        QTest::mouseClick(load_scan().file_list()->next_button(), Qt::LeftButton);
        QCOMPARE(list_rows(), QStringLiteral("< d.qyfile*"));
        QTest::mouseClick(load_scan().file_list()->row_button(0), Qt::LeftButton);
        act("b");   // from the rows: back to step 1
        QCOMPARE((QList<int>{stack_page(), load_scan().step()}), (QList<int>{4, 0}));
        QCOMPARE(load_scan().chosen_file(), QStringLiteral("/data/smartmapping/d.qyfile"));
    }
    // The stick plugged in (mounted) and pulled out while the list is shown: the list is built
    // again from both folders on its first page, its first row chosen; before the list has been
    // shown, the stick changes nothing on the page.
    void stick_while_listed()
    {
        scan_files({"a", "b"});
        open_wizard("r o");
        write_dev_file(QStringLiteral("/mnt/usb1/s.qyfile"), "scan");
        uitest::para()->test_signal(CHANGE_USB_MOUNTED);
        QCOMPARE(stack_page(), 4);
        act("r o");   // the list
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile* b.qyfile s.qyfile+"));
        act("b");     // back to step 1
        write_dev_file(QStringLiteral("/mnt/usb1/t.qyfile"), "scan");
        uitest::para()->test_signal(CHANGE_USB_MOUNTED);
        QCOMPARE((QList<int>{stack_page(), load_scan().step()}), (QList<int>{5, 1}));
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile* b.qyfile s.qyfile+ >"));
        QCOMPARE(tip_text(), QStringLiteral("Reading the data,pls wait"));
        act("r r r");
        QCOMPARE(list_rows(), QStringLiteral("< t.qyfile+*"));
        QDir(Paths::dev("/mnt/usb1")).removeRecursively();
        uitest::para()->test_signal(CHANGE_USB_REMOVED);
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile* b.qyfile"));
        QCOMPARE(load_scan().chosen_file(), QStringLiteral("/data/smartmapping/a.qyfile"));
        QCOMPARE(tip_text(), QStringLiteral("USB drive is unplugged."));
        // Another entry chosen: the stick leaves its page alone.
        act("b b l o");
        write_dev_file(QStringLiteral("/mnt/usb1/u.qyfile"), "scan");
        uitest::para()->test_signal(CHANGE_USB_MOUNTED);
        QCOMPARE((QList<int>{stack_page(), wizard()->main_index(), debugging().step()}), (QList<int>{0, 0, 0}));
    }
    // Another stick in the place of the one whose file is being loaded: the load ends with what
    // the cards had, the pull is told, and once the new stick is read the list holds its files,
    // not the old stick's.
    void stick_swapped_during_load()
    {
        StickWatcher watcher;
        const QByteArray big(3 * 1024 * 1024, 'q');
        write_dev_file(QStringLiteral("/mnt/usb1/big.qyfile"), big);
        write_dev_file(QStringLiteral("/mnt/usb1/old.qyfile"), "scan");
        watcher.mount();
        open_wizard("r o r o o o");   // Load scan, Next, the first file held, Load
        QCOMPARE(qyfile_name(), QStringLiteral("/mnt/usb1/big.qyfile"));
        for (int i = 0; i < 100; ++i)
            fpga_manage::p_fpga_manage->fpga_pass();
        const int loaded = SimLock()->cards[0][0].loaded_bytes;
        QVERIFY(loaded > 0);
        QVERIFY(QDir().rename(Paths::dev("/mnt/usb1"), Paths::dev("/mnt/old")));
        write_dev_file(QStringLiteral("/mnt/usb1/big.qyfile"), big);
        write_dev_file(QStringLiteral("/mnt/usb1/new.qyfile"), "scan");
        QCOMPARE(run_job().last(), 100);
        QCOMPARE(SimLock()->cards[0][0].loaded_bytes, loaded);
        watcher.look();
        QCOMPARE(tip_text(), QStringLiteral("USB drive is unplugged."));
        watcher.mount();
        QCOMPARE(tip_text(), QStringLiteral("Reading the data,pls wait"));
        QCOMPARE(list_rows(), QStringLiteral("big.qyfile+* new.qyfile+"));
    }
    // A load cut short closes its bar, but the list is read again rather than left as after a
    // whole load. A stick that went is told pulled once, whoever saw it go, and the folder in its
    // place afterwards is a stick plugged in; a file deleted with the stick left is no pull.
    void load_cut_short_data()
    {
        // steps: most of the file sent, the stick moved away and back, another put in, a look of
        // the watcher, the job run to its end, the big file deleted
        columns<QString, QString, QList<int>, QString, QString>({"big", "steps", "codes", "listed", "last"});
        const QString stick = "/mnt/usb1/big.qyfile", device = "/data/smartmapping/big.qyfile";
        const QList<int> pull{101, 100, 102};
        const QString back = "a.qyfile* big.qyfile+ s.qyfile+", left = "a.qyfile* s.qyfile+";
        QTest::newRow("moved away and back") << stick << "send away job back" << pull << "a.qyfile*" << back;
        QTest::newRow("moved away before the load began") << stick << "away job back" << pull << "a.qyfile*" << back;
        QTest::newRow("moved away, seen by the watcher") << stick << "send away look job back" << pull << "a.qyfile*" << back;
        QTest::newRow("another stick, seen by the watcher") << stick << "send away new look look job" << pull
                                                            << "a.qyfile* big.qyfile+ n.qyfile+" << "a.qyfile* big.qyfile+ n.qyfile+";
        QTest::newRow("the stick's file deleted") << stick << "send delete job" << QList<int>() << left << left;
        QTest::newRow("the device's file deleted") << device << "send delete job" << QList<int>() << left << left;
    }
    void load_cut_short()
    {
        QFETCH(QString, big);
        const QByteArray bytes(200 * 1024, 'q');
        scan_files({"a"});
        write_dev_file(big, bytes);
        write_dev_file(QStringLiteral("/mnt/usb1/s.qyfile"), "scan");
        StickWatcher watcher;
        watcher.mount();
        QList<int> codes;
        connect(&watcher.usb, &UsbServer::sig_usb_update, this, [&codes](int code) { codes << code; });
        open_wizard("r o r o");
        const auto load_row = [](int row) {
            QTest::mouseClick(load_scan().file_list()->row_button(row), Qt::LeftButton);
            QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_load"), Qt::LeftButton);
        };
        load_row(2);   // a whole load leaves the list as it was
        run_job();
        QCOMPARE(qyfile_name(), load_scan().chosen_file());
        load_row(1);
        QCOMPARE(qyfile_name(), big);
        const QString place = Paths::dev("/mnt/usb1"), away = Paths::dev("/mnt/away");
        QFETCH(QString, steps);
        for (const QString &step : steps.split(' ')) {
            if (step == "send") {
                for (int i = 0; i < 100; ++i)
                    fpga_manage::p_fpga_manage->fpga_pass();
            } else if (step == "away" || step == "back") {
                QVERIFY(step == "away" ? QDir().rename(place, away) : QDir().rename(away, place));
            } else if (step == "new") {
                write_dev_file(QStringLiteral("/mnt/usb1/big.qyfile"), bytes);
                write_dev_file(QStringLiteral("/mnt/usb1/n.qyfile"), "scan");
            } else if (step == "look") {
                watcher.look();
            } else if (step == "delete") {
                QVERIFY(QFile::remove(Paths::dev(big)));
            } else {
                run_job();
                QTEST(list_rows(), "listed");
            }
        }
        QVERIFY(SimLock()->cards[0][0].loaded_bytes < bytes.size());
        watcher.look();
        watcher.mount();
        watcher.look();
        QTEST(codes, "codes");
        QTEST(list_rows(), "last");
    }
    // Load sends the chosen file, as it was when Load was pressed, to the receiving cards of the
    // port chosen; the list changing during the job does not change what is sent.
    void scan_file_loaded_into_the_cards()
    {
        write_dev_file(QStringLiteral("/data/smartmapping/a.qyfile"), QByteArray(1000, 'a'));
        write_dev_file(QStringLiteral("/mnt/usb1/b.qyfile"), QByteArray(2500, 'b'));
        open_wizard("r o o r o r o");   // port 1 (LED2), Next
        act("r o o");                   // the second file, Load
        QCOMPARE(int(g_send_para.job()), int(JOB_MAPPING_FILE));
        // The keys are back on the rows while the file is sent.
        QCOMPARE(load_scan().cursor_on_buttons(), false);
        QCOMPARE(uitest::look(wizard(), "Button_load"), LookState::Normal);
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile b.qyfile+*"));
        write_dev_file(QStringLiteral("/mnt/usb1/0.qyfile"), QByteArray(700, '0'));
        uitest::para()->test_signal(CHANGE_USB_MOUNTED);
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile* 0.qyfile+ b.qyfile+"));
        QCOMPARE(qyfile_name(), QStringLiteral("/mnt/usb1/b.qyfile"));
        QCOMPARE(run_job().last(), 100);
        SimLock s;
        QCOMPARE((QList<int>{s->cards[0][0].loaded_bytes, s->cards[1][0].loaded_bytes}), (QList<int>{0, 2500}));
    }
    // A chosen file that is no longer a readable file of its own is not loaded; the list is shown
    // anew without it.
    void vanished_file_not_loaded_data()
    {
        columns<QString>({"becomes"});
        QTest::newRow("pulled out") << "gone";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a link") << "link";
    }
    void vanished_file_not_loaded()
    {
        QFETCH(QString, becomes);
        scan_files({"a"});
        write_dev_file(QStringLiteral("/mnt/usb1/b.qyfile"), "scan");
        open_wizard("r o r o");
        QTest::mouseClick(load_scan().file_list()->row_button(1), Qt::LeftButton);
        const QString b = Paths::dev("/mnt/usb1/b.qyfile");
        QFile::remove(b);
        if (becomes == "folder")
            QDir().mkpath(b);
        else if (becomes == "link")
            QFile::link(Paths::dev("/data/smartmapping/a.qyfile"), b);
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_load"), Qt::LeftButton);
        QVERIFY(!g_qround_bar);
        QCOMPARE(int(g_send_para.job()), int(JOB_IDLE));
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile*"));
        act("o o");   // the keys load what is there now
        QCOMPARE(int(g_send_para.job()), int(JOB_MAPPING_FILE));
        QCOMPARE(qyfile_name(), QStringLiteral("/data/smartmapping/a.qyfile"));
    }
    // Back from Previous and Load to the rows and OK again: the cursor is where it was.
    void buttons_keep_their_place()
    {
        scan_files({"a", "b"});
        open_wizard("r o r o o l b o");
        QCOMPARE((QList<int>{int(uitest::look(wizard(), "Button_front_6")), int(uitest::look(wizard(), "Button_load"))}),
                 (QList<int>{int(LookState::Focus), int(LookState::Normal)}));
        act("o");
        QCOMPARE((QList<int>{stack_page(), load_scan().step()}), (QList<int>{4, 0}));
    }
    // With no scan file the list says so, the cursor is on Previous, and Load does nothing.
    void no_scan_file()
    {
        write_dev_file(QStringLiteral("/data/smartmapping/notes.txt"), "not a scan file");
        open_wizard("r o r o");
        QCOMPARE(list_rows(), QStringLiteral("No loaded file!"));
        QCOMPARE(uitest::look(wizard(), "Button_front_6"), LookState::Focus);
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_load"), Qt::LeftButton);
        act("r o");
        QVERIFY(!g_qround_bar && g_send_para.job() == JOB_IDLE);
        act("l o");
        QCOMPARE(stack_page(), 4);
    }
};

QTEST_MAIN(TestSmartMapping)
#include "test_smartmapping.moc"
