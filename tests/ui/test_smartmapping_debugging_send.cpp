// The smart-mapping wizard's debugging flow sending its mapping: the places each receiving card of
// the port gets, a port without cards, and the FPGA thread running on its own meanwhile.
#include <QElapsedTimer>
#include <QThread>
#include <QToolButton>

#include "smartmappingfx.h"

using namespace smartfx;

class TestSmartMappingDebuggingSend : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

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
            // A sixth of a card's answer time a round: the clicks cost far more than the passes,
            // and on a starved core the rounds, not the thread's pauses, set how long the send takes.
            uitest::tick(25);
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
};

QTEST_MAIN(TestSmartMappingDebuggingSend)
#include "test_smartmapping_debugging_send.moc"
