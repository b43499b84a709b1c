// The device-state page: the port row from the FPGA's link word (rebuilt on change code 11 only),
// the inputs' signal state, the versions and the bar code, and its keys.
#include <QFrame>
#include <QLabel>

#include "fpga_manage.h"
#include "menutest.h"
#include "ram_layout.h"
#include "simdevice.h"
#include "sourceinfo.h"

using namespace menutest;

namespace {

bool same_picture(const QLabel *label, const QString &path)
{
    const QPixmap shown = label->pixmap(Qt::ReturnByValue);
    return !shown.isNull() && shown.toImage() == QPixmap(path).toImage();
}

// "1 0 1 ..." for ports 1 to 6, read from the pictures of the port row.
QString port_row(const MachineState *screen)
{
    QStringList states;
    const QList<QLabel *> labels = screen->port_frame()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    for (const QLabel *label : labels) {
        if (!label->text().isEmpty())
            continue;   // the port numbers
        if (same_picture(label, ":/png/online.png"))
            states << "1";
        else if (same_picture(label, ":/png/offline.png"))
            states << "0";
        else
            states << "?";
    }
    return states.join(' ');
}

// "1 0 0 1" for source ids 0 to 3, read from their online pictures.
QString input_row(const MachineState *screen)
{
    const char *const labels[4] = {"sourceid4pixmap", "sourceid1pixmap", "sourceid2pixmap", "sourceid3pixmap"};
    QStringList states;
    for (unsigned char id = 0; id < 4; ++id) {
        const auto *label = screen->findChild<QLabel *>(labels[id]);
        if (same_picture(label, sourceinfo::source_online_icon(id, 1)))
            states << "1";
        else if (same_picture(label, sourceinfo::source_online_icon(id, 0)))
            states << "0";
        else
            states << "?";
    }
    return states.join(' ');
}

void set_links(uint16_t links)
{
    SimLock()->links = links;
}

void set_signal(int source, uint16_t w, uint16_t h, uint16_t rate)
{
    uitest::wr16(Ram::source_timing(source), w);
    uitest::wr16(Ram::source_timing(source) + 2, h);
    uitest::wr16(Ram::source_timing(source) + 4, rate);
}

}

class TestMachineState : public QObject
{
    Q_OBJECT

private:
    void open_state()
    {
        g_page_focus = PAGE_MAINWINDOW;
        open_screen(g_machinestate, new MachineState);
    }

private slots:
    void initTestCase()
    {
        uitest::fresh_ui();
        // The pictures the page tells apart must differ, or nothing below could fail.
        QVERIFY(QPixmap(":/png/online.png").toImage() != QPixmap(":/png/offline.png").toImage());
    }
    void init()
    {
        uitest::fresh_ui();
        g_open_custommode = nullptr;
        fpga_manage::destroy_for_test();
        SimDevice::load_defaults();
        fpga_manage::create_for_test();
        for (int s = 0; s < 6; ++s)
            set_signal(s, 0, 0, 0);
    }
    void cleanup()
    {
        uitest::close_all();
        fpga_manage::destroy_for_test();
    }

    void ports_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("manager");
        QTest::addColumn<uint>("links");
        QTest::addColumn<QString>("row");

        QTest::newRow("ports 1 and 3") << true << true << 0x0005u << "1 0 1 0 0 0";
        QTest::newRow("all six") << true << true << 0x003Fu << "1 1 1 1 1 1";
        QTest::newRow("ports above 6 are not shown") << true << true << 0xFFC0u << "0 0 0 0 0 0";
        QTest::newRow("port 6 and beyond") << true << true << 0x00E0u << "0 0 0 0 0 1";
        QTest::newRow("FPGA not running") << false << true << 0x003Fu << "0 0 0 0 0 0";
        QTest::newRow("no FPGA manager") << true << false << 0x003Fu << "0 0 0 0 0 0";
    }
    void ports()
    {
        QFETCH(bool, running);
        QFETCH(bool, manager);
        QFETCH(uint, links);
        fpga_manage::destroy_for_test();
        SimLock()->fpga_running = running;
        set_links(uint16_t(links));
        if (manager)
            fpga_manage::create_for_test();
        open_state();
        QTEST(port_row(g_machinestate), "row");
    }

    void port_row_rebuilt_on_code_11_only()
    {
        set_links(0x0001);
        set_signal(1, 1920, 1080, 60);
        open_state();
        QCOMPARE(port_row(g_machinestate), QStringLiteral("1 0 0 0 0 0"));
        QCOMPARE(input_row(g_machinestate), QStringLiteral("0 1 0 0"));

        set_links(0x0006);
        set_signal(3, 1280, 720, 50);
        uitest::para()->test_signal(12);
        QCOMPARE(port_row(g_machinestate), QStringLiteral("1 0 0 0 0 0"));
        QCOMPARE(input_row(g_machinestate), QStringLiteral("0 1 0 1"));

        uitest::para()->test_signal(11);
        QCOMPARE(port_row(g_machinestate), QStringLiteral("0 1 1 0 0 0"));
        // The old row is gone whole, not left beneath the new one.
        int rows = 0;
        for (QObject *child : g_machinestate->findChild<QFrame *>("frame")->children())
            rows += child->inherits("QFrame") && !child->inherits("QLabel") && child->objectName().isEmpty();
        QCOMPARE(rows, 1);
    }

    void code_11_from_the_FPGA_thread()
    {
        open_state();
        QCOMPARE(port_row(g_machinestate), QStringLiteral("1 1 0 0 0 0"));   // the simulation's default
        set_links(0x0010);
        fpga_manage::p_fpga_manage->check_wlanonline_state();
        QCOMPARE(port_row(g_machinestate), QStringLiteral("0 0 0 0 1 0"));
    }

    void inputs_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QString>("shown");

        QTest::newRow("DVI with signal") << 0 << 1920 << 1080 << 60 << "1 0 0 0";
        QTest::newRow("HDMI3 with signal") << 3 << 3840 << 2160 << 30 << "0 0 0 1";
        QTest::newRow("rate 0 is no signal") << 1 << 1920 << 1080 << 0 << "0 0 0 0";
        QTest::newRow("height 0 is no signal") << 2 << 1920 << 0 << 60 << "0 0 0 0";
        QTest::newRow("source 4 is not shown") << 4 << 1920 << 1080 << 60 << "0 0 0 0";
    }
    void inputs()
    {
        QFETCH(int, source);
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, rate);
        set_signal(source, uint16_t(w), uint16_t(h), uint16_t(rate));
        open_state();
        QTEST(input_row(g_machinestate), "shown");
    }

    void versions_data()
    {
        QTest::addColumn<int>("r28");
        QTest::addColumn<int>("r29");
        QTest::addColumn<int>("r30");
        QTest::addColumn<int>("r31");
        QTest::addColumn<QString>("fpga");

        QTest::newRow("registers unread") << 0 << 0 << 0 << 0 << "FPGA:V11.00.00 2000-00-00";
        QTest::newRow("BCD date") << 0x05 << 0x14 << 0x08 << 0x25 << "FPGA:V11.00.05 2025-08-14";
        QTest::newRow("two-digit version") << 0x12 << 0x31 << 0x12 << 0x99 << "FPGA:V11.00.12 2099-12-31";
    }
    void versions()
    {
        QFETCH(int, r28);
        QFETCH(int, r29);
        QFETCH(int, r30);
        QFETCH(int, r31);
        uint8_t *reg = fpga_manage::p_fpga_manage->MCU_REG_func[0];
        reg[28] = uint8_t(r28);
        reg[29] = uint8_t(r29);
        reg[30] = uint8_t(r30);
        reg[31] = uint8_t(r31);
        open_state();
        QTEST(uitest::text(g_machinestate, "label_FPGA1"), "fpga");
        QCOMPARE(uitest::text(g_machinestate, "label_MCU"), QStringLiteral("MCU:V11.02.00 2025-09-26"));
        // Built once: later register values do not reach the page.
        reg[28] = 0x77;
        uitest::para()->test_signal(11);
        QTEST(uitest::text(g_machinestate, "label_FPGA1"), "fpga");
    }

    void bar_code_data()
    {
        QTest::addColumn<QString>("barcode");
        QTest::addColumn<QString>("shown");
        QTest::newRow("configuration default") << " " << "SN:QY9999";
        QTest::newRow("empty") << "" << "SN:";
        QTest::newRow("set") << "K58N2409001" << "SN:K58N2409001";
        QTest::newRow("blank in a code") << " 7" << "SN: 7";
    }
    void bar_code()
    {
        QFETCH(QString, barcode);
        g_str_barcode = barcode;
        open_state();
        QTEST(uitest::text(g_machinestate, "label_2"), "shown");
    }

    void keys_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("open");

        QTest::newRow("moves and OK do nothing") << "lrolRO" << 2 << false << true;
        QTest::newRow("back") << "b" << 1 << false << false;
        QTest::newRow("USB back") << "B" << 1 << false << false;
        QTest::newRow("mode") << "m" << 1 << false << false;
        QTest::newRow("mode under the key lock") << "mM" << 2 << true << true;
        QTest::newRow("back under the key lock") << "mb" << 1 << true << false;
    }
    void keys()
    {
        QFETCH(QString, sequence);
        QFETCH(bool, locked);
        QFETCH(bool, open);
        uitest::wr16(Ram::kKeyLock, locked ? 1 : 0);
        open_state();
        press(sequence);
        QTEST(int(g_page_focus), "page");
        QCOMPARE(g_machinestate != nullptr, open);
        QCOMPARE(g_mode_shortcut_key, uint8_t(!locked && sequence.contains('m')));
    }
};

QTEST_MAIN(TestMachineState)
#include "test_machinestate.moc"
