// The device-state page: the port row from the FPGA's link word (rebuilt on change code 11 only),
// the inputs' signal state, the versions and the bar code, and its keys.
#include <QFrame>

#include "menutest.h"
#include "ram_layout.h"
#include "sourceinfo.h"

using namespace menutest;

namespace {

// "1", "0" or "?" as the label shows the online picture, the offline one or neither.
QString state(const QLabel *label, const QString &online, const QString &offline)
{
    const QImage shown = label->pixmap(Qt::ReturnByValue).toImage();
    return shown == QPixmap(online).toImage() ? "1" : shown == QPixmap(offline).toImage() ? "0" : "?";
}

// Ports 1 to 6, then source ids 0 to 3, as "1 0 1 0 0 0 | 1 0 0 1", read from their pictures.
QString shown()
{
    QStringList ports;
    for (const QLabel *label : g_machinestate->port_frame()->findChildren<QLabel *>()) {
        if (label->text().isEmpty())   // not a port number
            ports << state(label, ":/png/online.png", ":/png/offline.png");
    }
    const char *const labels[4] = {"sourceid4pixmap", "sourceid1pixmap", "sourceid2pixmap", "sourceid3pixmap"};
    QStringList inputs;
    for (unsigned char id = 0; id < 4; ++id) {
        inputs << state(g_machinestate->findChild<QLabel *>(labels[id]), sourceinfo::source_online_icon(id, 1),
                        sourceinfo::source_online_icon(id, 0));
    }
    return ports.join(' ') + " | " + inputs.join(' ');
}

void set_signal(int source, uint16_t h, uint16_t rate)
{
    uitest::wr16(Ram::source_timing(source), 1920);
    uitest::wr16(Ram::source_timing(source) + 2, h);
    uitest::wr16(Ram::source_timing(source) + 4, rate);
}

}

class TestMachineState : public QObject
{
    Q_OBJECT

private slots:
    void init() { fresh(); }
    void cleanup() { uitest::close_all(); }

    // Each row also walks the keys ("!": the key lock goes on) to the page they lead to.
    void rows_and_keys_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("manager");
        QTest::addColumn<uint>("links");
        QTest::addColumn<int>("source");   // given 1920 wide, h high, at rate
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QString>("shown");   // ports 1 to 6 | source ids 0 to 3
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("page");
        QTest::newRow("ports 1 and 3, DVI; moves and OK do nothing")
            << true << true << 0x0005u << 0 << 1080 << 60 << "1 0 1 0 0 0 | 1 0 0 0" << "lrolRO" << 2;
        QTest::newRow("ports above 6, HDMI3; back") << true << true << 0xFFE0u << 3 << 2160 << 30
                                                    << "0 0 0 0 0 1 | 0 0 0 1" << "b" << 1;
        QTest::newRow("FPGA not running, rate 0; mode") << false << true << 0x3Fu << 1 << 1080 << 0
                                                        << "0 0 0 0 0 0 | 0 0 0 0" << "m" << 1;
        QTest::newRow("no FPGA manager, height 0; locked mode") << true << false << 0x3Fu << 2 << 0 << 60
                                                                << "0 0 0 0 0 0 | 0 0 0 0" << "!mM" << 2;
        QTest::newRow("source 4 is not shown; locked back") << true << true << 0u << 4 << 1080 << 60
                                                            << "0 0 0 0 0 0 | 0 0 0 0" << "!mB" << 1;
    }
    void rows_and_keys()
    {
        QFETCH(bool, running);
        QFETCH(bool, manager);
        QFETCH(uint, links);
        QFETCH(int, source);
        QFETCH(int, h);
        QFETCH(int, rate);
        QFETCH(QString, keys);
        fpga_manage::destroy_for_test();
        SimLock()->fpga_running = running;
        SimLock()->links = uint16_t(links);
        if (manager)
            fpga_manage::create_for_test();
        set_signal(source, uint16_t(h), uint16_t(rate));
        open_screen(g_machinestate, new MachineState);
        QTEST(shown(), "shown");
        press(keys);
        QTEST(int(g_page_focus), "page");
        QCOMPARE(g_machinestate != nullptr, g_page_focus == PAGE_MACHINESTATE);
        QCOMPARE(g_mode_shortcut_key, uint8_t(keys == "m"));
    }

    void port_row_rebuilt_on_code_11_only()
    {
        SimLock()->links = 0x0001;
        set_signal(1, 1080, 60);
        open_screen(g_machinestate, new MachineState);
        QCOMPARE(shown(), QStringLiteral("1 0 0 0 0 0 | 0 1 0 0"));
        SimLock()->links = 0x0006;
        set_signal(3, 720, 50);
        uitest::para()->test_signal(12);
        QCOMPARE(shown(), QStringLiteral("1 0 0 0 0 0 | 0 1 0 1"));
        uitest::para()->test_signal(11);
        QCOMPARE(shown(), QStringLiteral("0 1 1 0 0 0 | 0 1 0 1"));
        // The old row is gone whole, not left beneath the new one.
        const auto kids = g_machinestate->findChild<QFrame *>("frame")->findChildren<QWidget *>(
            QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(std::count_if(kids.begin(), kids.end(), [](QWidget *w) { return w->objectName().isEmpty(); }), 1);
    }

    void versions_and_bar_code_data()
    {
        QTest::addColumn<QByteArray>("registers");   // 28 to 31
        QTest::addColumn<QString>("fpga");
        QTest::addColumn<QString>("barcode");
        QTest::addColumn<QString>("sn");
        QTest::newRow("unread, default") << QByteArray(4, 0) << "FPGA:V11.00.00 2000-00-00" << " " << "SN:QY9999";
        QTest::newRow("BCD, empty") << QByteArray("\x05\x14\x08\x25") << "FPGA:V11.00.05 2025-08-14" << "" << "SN:";
        QTest::newRow("set") << QByteArray("\x12\x31\x12\x99") << "FPGA:V11.00.12 2099-12-31" << " 7" << "SN: 7";
    }
    void versions_and_bar_code()
    {
        QFETCH(QByteArray, registers);
        QFETCH(QString, barcode);
        uint8_t *reg = fpga_manage::p_fpga_manage->MCU_REG_func[0];
        std::copy(registers.begin(), registers.end(), reg + 28);
        g_str_barcode = barcode;
        open_screen(g_machinestate, new MachineState);
        QTEST(uitest::text(g_machinestate, "label_2"), "sn");
        QCOMPARE(uitest::text(g_machinestate, "label_MCU"), QStringLiteral("MCU:V11.02.00 2025-09-26"));
        reg[28] = 0x77;   // built once: later register values do not reach the page
        uitest::para()->test_signal(11);
        QTEST(uitest::text(g_machinestate, "label_FPGA1"), "fpga");
    }
};

QTEST_MAIN(TestMachineState)
#include "test_machinestate.moc"
