#include <QtTest>

#include "devicefixture.h"

namespace {

struct JobRun
{
    QList<int> progress;
    uint32_t ticks = 0;
    bool ended = false;
};

// Posts a job as a screen does (one 16-bit store) and runs the thread's passes, one tick apart,
// until the job word is back at 0.
JobRun run_job(fpga_manage *f, uint16_t job, JobListener *listener, uint32_t max_ticks = 20000)
{
    JobRun run;
    QSignalSpy spy(listener, &JobListener::sig_qround_bar_update);
    f->set_job_listener(listener);
    g_send_para.job_word = job;
    const uint32_t start = G_timeTicks;
    while (G_timeTicks - start < max_ticks) {
        f->fpga_pass();
        if (g_send_para.job_word.load() == 0) {
            run.ended = true;
            break;
        }
        advance(1);
    }
    run.ticks = G_timeTicks - start;
    QCoreApplication::sendPostedEvents();
    for (const QList<QVariant> &args : spy)
        run.progress << args.at(0).toInt();
    return run;
}

bool rising(const QList<int> &p)
{
    for (int i = 1; i < p.size(); ++i)
        if (p[i] < p[i - 1])
            return false;
    return true;
}

}

class TestFpgaJobs : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_devices(QTest::currentTestFunction()); }

    void job_progress_data();
    void job_progress();
    void save_waits_for_pc_command();
    void silent_port_times_out();
    void mapping_send_places_cards();
    void mapping_send_gives_up_on_dead_card();
    void card_position_data();
    void card_position();
    void mapping_file_load();
    void recovery_run_replays_files();
    void unknown_job_ends();
    void deleted_listener_is_harmless();
};

void TestFpgaJobs::job_progress_data()
{
    QTest::addColumn<int>("job");
    QTest::addColumn<int>("min_ticks");
    QTest::addColumn<int>("max_ticks");
    QTest::addColumn<int>("min_updates");
    // Two ports with cards answering after 150 ticks, then 200 ticks after 95.
    QTest::newRow("save parameters") << 3 << 500 << 520 << 4;
    QTest::newRow("mapping on/off") << 4 << 500 << 520 << 4;
    QTest::newRow("recovery query") << 5 << 300 << 310 << 9;
    QTest::newRow("recovery run, two files") << 6 << 300 << 310 << 20;
}

void TestFpgaJobs::job_progress()
{
    QFETCH(int, job);
    QFETCH(int, min_ticks);
    QFETCH(int, max_ticks);
    QFETCH(int, min_updates);
    write_dev_file(QStringLiteral("/data/rcvrecovery/port1.rcv"), QByteArray(600, 'a'));
    write_dev_file(QStringLiteral("/data/rcvrecovery/port2.rcv"), QByteArray(300, 'b'));
    fpga_manage *f = fpga_manage::create_for_test();
    JobListener listener;
    g_send_para.mapping_state = 9;

    const JobRun run = run_job(f, static_cast<uint16_t>(job), &listener);

    QVERIFY(run.ended);
    QCOMPARE(g_send_para.job_word.load(), uint16_t(0));
    QVERIFY2(int(run.ticks) >= min_ticks && int(run.ticks) <= max_ticks, qPrintable(QString::number(run.ticks)));
    QVERIFY(run.progress.size() >= min_updates);
    QCOMPARE(run.progress.last(), 100);
    QVERIFY(rising(run.progress));
    QCOMPARE(run.progress.count(100), 1);

    SimLock s;
    if (job == 3) {
        QCOMPARE(s->cards[0][0].saves, 1);
        QCOMPARE(s->cards[0][1].saves, 1);
        QCOMPARE(s->cards[1][0].saves, 1);
        QVERIFY(run.progress.contains(95));
    } else if (job == 4) {
        QCOMPARE(s->cards[0][1].mapping_state, 9u);
        QCOMPARE(s->cards[1][0].mapping_state, 9u);
    } else if (job == 5) {
        QCOMPARE(f->recovery_files_found(), 2);
        QCOMPARE(f->recovery_cards_found(), 3);
    } else {
        QCOMPARE(s->replayed_files.size(), 2);
        QCOMPARE(s->cards[1][0].recoveries, 2);
    }
}

void TestFpgaJobs::save_waits_for_pc_command()
{
    fpga_manage *f = fpga_manage::create_for_test();
    pc_cmd_valid = 1;
    pc_cmd_time = G_timeTicks.load();
    g_send_para.job_word = 3;
    advance(80);
    f->fpga_pass();
    QCOMPARE(pc_cmd_valid.load(), uint8_t(1));
    QCOMPARE(g_send_para.step(), uint8_t(0));
    advance(1);
    f->fpga_pass();   // 81 ticks: the command counts as over and the job starts in the same pass
    QCOMPARE(pc_cmd_valid.load(), uint8_t(0));
    QCOMPARE(g_send_para.step(), uint8_t(1));
}

void TestFpgaJobs::silent_port_times_out()
{
    fpga_manage *f = fpga_manage::create_for_test();
    {
        SimLock s;
        s->silent_ports = 0x0002;
    }
    JobListener listener;
    const JobRun run = run_job(f, 3, &listener);
    QVERIFY(run.ended);
    // Port 0 answers after 150 ticks, port 1 is given up after 1200, then 200 more.
    QVERIFY2(run.ticks >= 1550 && run.ticks <= 1570, qPrintable(QString::number(run.ticks)));
    QVERIFY(run.progress.size() >= 12);   // a rise every 100 ticks while waiting
    QCOMPARE(run.progress.last(), 100);
    SimLock s;
    QCOMPARE(s->cards[1][0].saves, 0);
}

void TestFpgaJobs::mapping_send_places_cards()
{
    fpga_manage *f = fpga_manage::create_for_test();
    g_line_type = line_type{100, 50, 10, 20, 0, 1, 2, 1};
    JobListener listener;
    const JobRun run = run_job(f, 1, &listener);
    QVERIFY(run.ended);
    QCOMPARE(run.progress, (QList<int>{42, 90, 100}));
    SimLock s;
    QVERIFY(s->cards[0][0].placed);
    QCOMPARE(s->cards[0][0].x, uint16_t(10));
    QCOMPARE(s->cards[0][0].y, uint16_t(20));
    QCOMPARE(s->cards[0][1].x, uint16_t(110));
    QCOMPARE(s->cards[0][1].y, uint16_t(20));
    QVERIFY(!s->cards[1][0].placed);
}

void TestFpgaJobs::mapping_send_gives_up_on_dead_card()
{
    fpga_manage *f = fpga_manage::create_for_test();
    {
        SimLock s;
        s->silent_ports = 0x0002;
    }
    g_line_type = line_type{100, 50, 0, 0, 1, 1, 1, 1};
    JobListener listener;
    const JobRun run = run_job(f, 1, &listener);
    QVERIFY(run.ended);
    QVERIFY2(run.ticks >= 3600 && run.ticks <= 3620, qPrintable(QString::number(run.ticks)));
    QCOMPARE(run.progress.last(), 100);
}

void TestFpgaJobs::card_position_data()
{
    QTest::addColumn<int>("route");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("placed");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    // 2 rows x 3 columns.
    QTest::newRow("1: first card top left") << 1 << 0 << true << 0 << 0;
    QTest::newRow("1: second row runs back") << 1 << 3 << true << 2 << 1;
    QTest::newRow("2: starts top right") << 2 << 0 << true << 2 << 0;
    QTest::newRow("3: starts bottom left") << 3 << 1 << true << 1 << 1;
    QTest::newRow("5: rows restart on the left") << 5 << 3 << true << 0 << 1;
    QTest::newRow("9: columns first") << 9 << 1 << true << 0 << 1;
    QTest::newRow("9: second column runs back") << 9 << 2 << true << 1 << 1;
    QTest::newRow("16: bottom right, columns") << 16 << 0 << true << 2 << 1;
    QTest::newRow("last card of the grid") << 1 << 5 << true << 0 << 1;
    QTest::newRow("beyond the grid") << 1 << 6 << false << 0 << 0;
    QTest::newRow("pattern 0") << 0 << 0 << false << 0 << 0;
    QTest::newRow("pattern 17") << 17 << 0 << false << 0 << 0;
}

void TestFpgaJobs::card_position()
{
    QFETCH(int, route);
    QFETCH(int, index);
    QFETCH(bool, placed);
    QFETCH(int, col);
    QFETCH(int, row);
    const line_type lt{64, 32, 5, 7, 0, 2, 3, static_cast<uint8_t>(route)};
    uint16_t x = 0xFFFF, y = 0xFFFF;
    QCOMPARE(mapping_card_position(lt, index, &x, &y), placed);
    if (placed) {
        QCOMPARE(int(x), 5 + 64 * col);
        QCOMPARE(int(y), 7 + 32 * row);
    }
    const line_type empty{64, 32, 0, 0, 0, 0, 3, 1};
    QVERIFY(!mapping_card_position(empty, 0, &x, &y));
}

void TestFpgaJobs::mapping_file_load()
{
    fpga_manage *f = fpga_manage::create_for_test();
    write_dev_file(QStringLiteral("/mnt/usb1/screen.qyfile"), QByteArray(3000, 'q'));
    g_qyfile_name = QStringLiteral("/mnt/usb1/screen.qyfile");
    g_line_type.port = 1;
    JobListener listener;
    JobRun run = run_job(f, 2, &listener);
    QVERIFY(run.ended);
    QCOMPARE(run.progress, (QList<int>{33, 67, 99, 100}));
    {
        SimLock s;
        QCOMPARE(s->cards[1][0].loaded_bytes, 3000);
        QCOMPARE(s->cards[0][0].loaded_bytes, 0);
    }

    g_qyfile_name = QStringLiteral("/mnt/usb1/missing.qyfile");
    run = run_job(f, 2, &listener);
    QVERIFY(run.ended);
    QCOMPARE(run.progress, (QList<int>{100}));
}

void TestFpgaJobs::recovery_run_replays_files()
{
    fpga_manage *f = fpga_manage::create_for_test();
    JobListener listener;
    // No folder, no files: the job still ends for the waiting screen.
    JobRun run = run_job(f, 6, &listener);
    QVERIFY(run.ended);
    QCOMPARE(run.progress, (QList<int>{100}));

    write_dev_file(QStringLiteral("/data/rcvrecovery/a.rcv"), QByteArray(10, 'a'));
    write_dev_file(QStringLiteral("/data/rcvrecovery/empty.rcv"), QByteArray());
    run = run_job(f, 6, &listener);
    QVERIFY(run.ended);
    SimLock s;
    QCOMPARE(s->replayed_files, QStringList{QStringLiteral("a.rcv")});
    QCOMPARE(s->cards[0][1].recoveries, 1);
}

void TestFpgaJobs::unknown_job_ends()
{
    fpga_manage *f = fpga_manage::create_for_test();
    JobListener listener;
    const JobRun run = run_job(f, 9, &listener);
    QVERIFY(run.ended);
    QCOMPARE(run.ticks, 0u);
    QCOMPARE(run.progress, (QList<int>{100}));
}

void TestFpgaJobs::deleted_listener_is_harmless()
{
    fpga_manage *f = fpga_manage::create_for_test();
    auto *listener = new JobListener;
    f->set_job_listener(listener);
    delete listener;
    g_send_para.job_word = 5;
    for (int i = 0; i < 400 && g_send_para.job_word.load(); ++i) {
        f->fpga_pass();
        advance(1);
    }
    QCoreApplication::sendPostedEvents();
    QCOMPARE(g_send_para.job_word.load(), uint16_t(0));
}

QTEST_GUILESS_MAIN(TestFpgaJobs)
#include "tst_fpga_jobs.moc"
