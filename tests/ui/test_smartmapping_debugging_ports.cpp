// The smart-mapping wizard's port grid, which the debugging flow owns and Load scan shares: the
// keys and the touches that choose a port.
#include "smartmappingfx.h"

using namespace smartfx;

class TestSmartMappingDebuggingPorts : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

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
};

QTEST_MAIN(TestSmartMappingDebuggingPorts)
#include "test_smartmapping_debugging_ports.moc"
