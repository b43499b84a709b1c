#include <QtTest>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "devicefixture.h"
#include "fpga_regs.h"

using Change = std::function<void()>;
Q_DECLARE_METATYPE(Change)

class TestFpga : public QObject
{
    Q_OBJECT
    fpga_manage *f = nullptr;
    int wakes = 0;   // the stick watcher woken by a load

    // A scan file's load under way (3 MiB unless told), 100 KiB of it sent, its percentages told
    // to `spy`; the caller takes the watcher's wake away again.
    void start_load(const QString &file, Progress *spy, int size = 3 * 1024 * 1024)
    {
        write_dev_file(file, QByteArray(size, 'q'));
        load_as_it_stands(file, spy);
    }
    void load_as_it_stands(const QString &file, Progress *spy)
    {
        QDir().mkpath(Paths::dev("/mnt/usb1"));
        set_qyfile_name(file);
        f->set_job_listener(spy->listener());
        wakes = 0;
        StickPlace::set_watcher(this, [this] { ++wakes; });
        g_send_para.job_word = JOB_MAPPING_FILE;
        for (int i = 0; i < 101; ++i)
            f->fpga_pass();
    }
    // The load run to its end; what it told, less a 0 the bar starts at (told only after an
    // earlier job left another value).
    QList<int> finish_load(Progress *spy)
    {
        for (int i = 0; i < 10000 && g_send_para.job_word.load(); ++i)
            f->fpga_pass();
        f->set_job_listener({});
        QList<int> told = spy->told;
        told.removeAll(0);
        return told;
    }
    // What a load left alone tells: every percent, then 100.
    static QList<int> every_percent()
    {
        QList<int> whole;
        for (int pct = 1; pct <= 100; ++pct)
            whole << pct;
        return whole;
    }

private slots:
    void init()
    {
        fresh_devices(QTest::currentTestFunction());
        f = fpga_manage::create_for_test();
    }
    void simulation()
    {
        fresh_devices("simulation", R"({"cards": {"3": 4}, "links": [3, 9], "ageing": {"r40": 7, "r43": 9},
                                        "fpga": {"version": 18, "day": 1, "month": 2, "year": 27}})");
        f = fpga_manage::create_for_test();
        const uint8_t *r = f->MCU_REG_func[0];
        QCOMPARE((QList<int>{r[28], r[29], r[30], r[31], r[40], r[43]}), (QList<int>{0x18, 1, 2, 0x27, 7, 9}));
        QCOMPARE((QList<int>{f->card_count(0), f->card_count(2), f->get_wlan_state()}), (QList<int>{0, 4, 0x104}));
        fresh_devices("torn", R"({"cards": {"3": 4}, "fonts":)");   // the defaults stay
        f = fpga_manage::create_for_test();
        QCOMPARE((QList<int>{f->card_count(0), f->card_count(1), f->card_count(2), f->get_fpga_status()}),
                 (QList<int>{2, 1, 0, 1}));
        uint16_t x, y, w, h;   // the manager's default area of a port
        fpga_manage::get_eth_param_addr(5, &x, &y, &w, &h);
        const uint8_t *ram = f->MCU_RAM_PARA_func[0];
        QCOMPARE((QList<int>{x, Ram::rd16(ram, x), Ram::rd16(ram, y), Ram::rd16(ram, w), Ram::rd16(ram, h)}),
                 (QList<int>{528, 0, 0, 1280, 512}));
        // Silent and slow ports and cards: "port" or "port.card", counted from 1, of cards there are.
        fresh_devices("replies", R"({"cards": {"2": 3}, "silent": [2, "2.3", "1.1", 0, 17, "2.4", "2.0", "x", 2.5],
                                     "slow": {"2": 900, "2.1": 40, "3": -1, "4": 70000, "2.9": 5, "5.": 7}})");
        {
            SimLock s;
            const std::vector<SimCard> &port2 = s->cards[1];
            QCOMPARE((QList<int>{s->silent_ports, port2[0].silent, port2[1].silent, port2[2].silent}),
                     (QList<int>{2, 0, 0, 1}));
            QCOMPARE((QList<int>{int(s->reply_ticks[0]), int(s->reply_ticks[1]), int(s->reply_ticks[2]),
                                 int(s->reply_ticks[3]), int(s->reply_ticks[4]), port2[0].reply_ticks,
                                 port2[1].reply_ticks}),
                     (QList<int>{150, 900, 150, 150, 150, 40, -1}));
        }
    }
    // Registers 128 to 170 of FPGAs 0 and 1 are served; a read fills the mirror, a write masks.
    void register_access()
    {
        for (auto [reg, fpga, served] : {std::tuple{64, 0, false}, {127, 0, false}, {128, 1, true}, {170, 0, true},
                                         {171, 0, false}, {10, 2, false}}) {
            SimDevice::write_reg(fpga & 1, reg, 0x5A);
            f->read_from_register(uint8_t(reg), uint8_t(fpga));
            QCOMPARE(f->MCU_REG_func[fpga & 1][reg] == 0x5A, served);
            f->write_to_register(uint8_t(reg), 0x0F, 0x03, uint8_t(fpga));
            QCOMPARE(int(SimDevice::read_reg(fpga & 1, reg)), served ? 0x53 : 0x5A);
            QCOMPARE(f->MCU_REG_func[fpga & 1][reg] == 0x53, served);
        }
    }
    void masked_write_of_register_0()
    {
        Codes spy;
        f->write_to_register(0, 0x80, 0x80, 0);   // mapping on
        QVERIFY(f->MCU_REG_func[0][0] == 0x84 && f->screen_on() && spy.isEmpty());
        f->write_to_register(0, 0x04, 0x00, 0);   // screen off, announced
        QVERIFY(f->MCU_REG_func[0][0] == 0x80 && !f->screen_on());
        f->write_to_register(0, 0x84, 0x04, 0);
        QVERIFY(SimDevice::read_reg(0, 0) == 0x04 && spy.all() == QList<int>{1});
    }
    void wlan_state_announced_once_per_change()
    {
        Codes spy;
        f->check_wlanonline_state();
        f->fpga_pass();
        SimLock()->links = 0x8001;
        f->fpga_pass();
        f->fpga_pass();
        QCOMPARE(spy.all(), (QList<int>{11, 11}));
        SimLock()->fpga_running = false;
        f->fpga_pass();   // the card search sees the FPGA stopped: nothing more to announce
        f->fpga_pass();
        QVERIFY(spy.all() == (QList<int>{11, 11}) && f->get_wlan_state() == 0);
    }
    void led_setup_handshake()
    {
        // Each step: ticks waited before the pass, then g_set_led_setup, g_set_led_para and the
        // screen-control status; every wait is one tick short of its minimum first.
        const QList<QList<int>> steps{{0, 1, 1, 0}, {10, 1, 1, 0}, {1, 2, 1, 5}, {30, 2, 1, 5}, {1, 0, 0, 5}};
        g_set_led_para = 1;
        for (const QList<int> &step : steps) {
            advance(uint32_t(step[0]));
            f->fpga_pass();
            QCOMPARE((QList<int>{g_set_led_setup, g_set_led_para, sim().screen_status}), step.mid(1));
        }
        QCOMPARE(sim().fpga_resets, 0);
    }
    void recovery_dir_file()
    {
        rcvRecovery r;
        QCOMPARE(r.get_dir_file(QStringLiteral("/data/rcvrecovery")), 1);
        // Only a.rcv is a recovery file: not a folder, a hidden file, a temporary file of the safe
        // writer that a power cut left, a link or a FIFO.
        for (const char *name : {"/data/rcvrecovery/a.rcv", "/data/rcvrecovery/sub/c", "/data/rcvrecovery/.b.rcv.tmp",
                                 "/data/rcvrecovery/.hidden", "/data/rcvrecovery/c.tmp", "/elsewhere"})
            write_dev_file(QString::fromLatin1(name), "1");
        QVERIFY(QFile::link(Paths::dev("/elsewhere"), Paths::dev("/data/rcvrecovery/d.rcv")));
        QCOMPARE(::mkfifo(Paths::dev_local8("/data/rcvrecovery/e.rcv").constData(), 0644), 0);
        QCOMPARE(r.get_dir_file(QStringLiteral("/data/rcvrecovery")), 0);
        // Another existing folder answers 0 but leaves the list alone; a missing one answers 1.
        QCOMPARE((QList<int>{r.get_dir_file(QStringLiteral("/data/configs")),
                             r.get_dir_file(QStringLiteral("/data/smartmapping"))}), (QList<int>{0, 1}));
        QCOMPARE(r.file_list(), QStringList{QStringLiteral("a.rcv")});
        // Swapped for a link to a folder of recovery files (the host's root, say), the folder is
        // none: its files are neither counted nor read.
        QVERIFY(QDir().rename(Paths::dev("/data/rcvrecovery"), Paths::dev("/real")));
        QVERIFY(QFile::link(Paths::dev("/real"), Paths::dev("/data/rcvrecovery")));
        QCOMPARE(r.get_dir_file(QStringLiteral("/data/rcvrecovery")), 1);
        QCOMPARE(r.file_list(), QStringList{QStringLiteral("a.rcv")});
        QCOMPARE(rcvRecovery::read_file(QStringLiteral("/data/rcvrecovery"), QStringLiteral("a.rcv")), QByteArray());
        QCOMPARE(rcvRecovery::read_file(QStringLiteral("/real"), QStringLiteral("a.rcv")), QByteArray("1"));
    }
    void job_progress_data()
    {
        // silent: ports whose cards never answer; pc_command: a PC tool's command was handled just
        // before; ticks: at least, at most; exact: the whole progress, when it is known.
        columns<int, int, bool, QList<int>, QList<int>>({"job", "silent", "pc_command", "ticks", "exact"});
        // Cards on ports 1 and 2 answer after 150 ticks; then 200 ticks after 95.
        QTest::newRow("save parameters") << 3 << 0 << false << QList<int>{500, 520} << QList<int>{};
        QTest::newRow("save, after the PC command") << 3 << 0 << true << QList<int>{581, 601} << QList<int>{};
        QTest::newRow("save, port 2 silent") << 3 << 2 << false << QList<int>{1550, 1570} << QList<int>{};
        QTest::newRow("mapping on/off") << 4 << 0 << false << QList<int>{500, 520} << QList<int>{};
        QTest::newRow("mapping on/off, after the PC command") << 4 << 0 << true << QList<int>{500, 520} << QList<int>{};
        QTest::newRow("recovery query") << 5 << 0 << false << QList<int>{300, 310} << QList<int>{};
        QTest::newRow("recovery run, three files") << 6 << 0 << false << QList<int>{450, 460} << QList<int>{};
        QTest::newRow("mapping send") << 1 << 0 << false << QList<int>{300, 310} << QList<int>{1, 43, 90, 100};
        QTest::newRow("mapping send, dead card") << 1 << 2 << false << QList<int>{3600, 3620} << QList<int>{};
        QTest::newRow("mapping file") << 2 << 0 << false << QList<int>{2, 6} << QList<int>{33, 67, 99, 100};
        QTest::newRow("unknown job") << 9 << 0 << false << QList<int>{0, 0} << QList<int>{100};
    }
    void job_progress()
    {
        QFETCH(int, job);
        QFETCH(int, silent);
        QFETCH(bool, pc_command);
        QFETCH(QList<int>, ticks);
        QFETCH(QList<int>, exact);
        write_dev_file(QStringLiteral("/data/rcvrecovery/port1.rcv"), QByteArray(600, 'a'));
        write_dev_file(QStringLiteral("/data/rcvrecovery/port2.rcv"), QByteArray(300, 'b'));
        write_dev_file(QStringLiteral("/data/rcvrecovery/empty.rcv"), QByteArray());
        write_dev_file(QStringLiteral("/data/rcvrecovery/.port3.rcv.tmp"), QByteArray(100, 'c'));   // a torn receive
        write_dev_file(QStringLiteral("/mnt/usb1/screen.qyfile"), QByteArray(3000, 'q'));
        set_qyfile_name(QStringLiteral("/mnt/usb1/screen.qyfile"));
        SimLock()->silent_ports = uint16_t(silent);
        g_send_para.mapping_state = 9;
        pc_cmd_valid = pc_command;
        pc_cmd_time = G_timeTicks.load();
        g_line_type = line_type{100, 50, 10, 20, uint8_t(silent ? 1 : 0), 1, 2, 1};

        Progress spy;
        f->set_job_listener(spy.listener());
        g_send_para.job_word = uint16_t(job);   // one 16-bit store, as a screen posts it
        int t = 0;
        for (f->fpga_pass(); g_send_para.job_word.load() && t < 20000; f->fpga_pass())
            advance(1), ++t;
        QVERIFY2(t >= ticks[0] && t <= ticks[1], qPrintable(QString::number(t)));
        f->set_job_listener({});
        const QList<int> progress = spy.told;
        QVERIFY(progress.count(100) == 1 && progress.last() == 100 && std::is_sorted(progress.begin(), progress.end()));
        QVERIFY(exact.isEmpty() ? progress.size() >= 4 : progress == exact);
        SimLock s;
        const std::vector<SimCard> &port1 = s->cards[0];
        const SimCard &port2 = s->cards[1][0];
        if (job == 1 && !silent)
            QCOMPARE((QList<int>{port1[0].x, port1[0].y, port1[1].x, port1[1].placed}), (QList<int>{10, 20, 110, 1}));
        if (job == 2)
            QCOMPARE((QList<int>{port1[0].loaded_bytes, port2.loaded_bytes}), (QList<int>{3000, 0}));
        if (job == 5)
            QCOMPARE((QList<int>{f->recovery_files_found(), f->recovery_cards_found()}), (QList<int>{3, 3}));
        if (job == 6)   // the empty file is skipped
            QCOMPARE((QList<int>{int(s->replayed_files.size()), port2.recoveries}), (QList<int>{2, 2}));
    }
    // A scan file that is no file ends the job with nothing sent: a FIFO would hold the FPGA
    // thread for ever, a link would send whatever it leads to.
    void mapping_file_that_is_no_file()
    {
        write_dev_file(QStringLiteral("/elsewhere"), QByteArray(3000, 'q'));
        QVERIFY(QDir().mkpath(Paths::dev("/mnt/usb1")));
        QCOMPARE(::mkfifo(Paths::dev_local8("/mnt/usb1/fifo.qyfile").constData(), 0644), 0);
        QVERIFY(QFile::link(Paths::dev("/elsewhere"), Paths::dev("/mnt/usb1/link.qyfile")));
        for (const char *name : {"/mnt/usb1/fifo.qyfile", "/mnt/usb1/link.qyfile"}) {
            set_qyfile_name(QLatin1String(name));
            g_send_para.job_word = 2;
            for (int i = 0; i < 10 && g_send_para.job_word.load(); ++i)
                f->fpga_pass();
            QCOMPARE(g_send_para.job_word.load(), uint16_t(0));
            QCOMPARE(sim().cards[0][0].loaded_bytes, 0);
        }
    }
    // Saving and the mapping switch while ports stay silent (the others answer after 150 ticks):
    // the bar rises every 100 ticks of waiting on a port, all the way up however many ports are
    // silent, and 100 follows 95 after exactly 200 ticks.
    void job_progress_timing_data()
    {
        columns<int, int, QVector<int>>({"job", "silent", "gaps"});
        // gaps: ticks between the rises; a port's first rise comes 100 ticks into its wait
        const QVector<int> ten(10, 100);
        QTest::newRow("save parameters, port 2 silent") << 3 << 2 << (QVector<int>{151} + ten);
        QTest::newRow("mapping on/off, port 2 silent") << 4 << 2 << (QVector<int>{151} + ten);
        QTest::newRow("save parameters, ports 1 and 2 silent") << 3 << 3 << (ten + QVector<int>{201} + ten);
    }
    void job_progress_timing()
    {
        QFETCH(int, job);
        QFETCH(int, silent);
        SimLock()->silent_ports = uint16_t(silent);
        QList<QPair<uint32_t, int>> told;   // tick, percent
        f->set_job_listener([&told](int pct) { told << qMakePair(G_timeTicks.load(), pct); });
        g_send_para.job_word = uint16_t(job);
        for (int t = 0; g_send_para.job_word.load() && t < 20000; ++t, advance(1))
            f->fpga_pass();
        f->set_job_listener({});
        QVERIFY(told.size() >= 4 && told.last().second == 100);
        const auto ticks_between = [&told](int i) { return int(told[i].first - told[i - 1].first); };
        QCOMPARE(told[told.size() - 2].second, 95);
        QCOMPARE(ticks_between(told.size() - 1), 200);
        QVector<int> gaps;
        for (int i = 1; i < told.size() - 1; ++i) {
            QVERIFY(told[i].second > told[i - 1].second);
            if (i < told.size() - 2)
                gaps << ticks_between(i);
        }
        QVERIFY2(told[told.size() - 3].second >= 85, qPrintable(QString::number(told[told.size() - 3].second)));
        QTEST(gaps, "gaps");
    }
    // The mapping send over ports that stop answering, as sim.json describes them (port 1, the
    // job's, answering after 150 ticks unless told otherwise): a card is tried three times 1200
    // ticks, a port none of whose cards has answered for 6000 ticks is given up, and the bar
    // never stands still longer than `still` ticks before its 90.
    void mapping_send_to_a_silent_port_data()
    {
        columns<QByteArray, QList<int>, int, QString>({"json", "ticks", "still", "placed"});
        QTest::newRow("16 cards, the port silent") << QByteArray(R"({"cards": {"1": 16}, "silent": [1]})")
                                                   << QList<int>{6000, 6010} << 101 << QString(16, '-');
        QTest::newRow("64 cards, the port silent") << QByteArray(R"({"cards": {"1": 64}, "silent": ["1"]})")
                                                   << QList<int>{6000, 6010} << 101 << QString(64, '-');
        QTest::newRow("a dead card among answering ones") << QByteArray(R"({"cards": {"1": 5}, "silent": ["1.3"]})")
                                                          << QList<int>{4200, 4220} << 200 << "++-++";
        QTest::newRow("two dead cards in a row: the rest given up")
            << QByteArray(R"({"cards": {"1": 5}, "silent": ["1.2", "1.3"]})") << QList<int>{6150, 6170} << 200
            << "+----";
        QTest::newRow("a slow port is waited for") << QByteArray(R"({"cards": {"1": 8}, "slow": {"1": 1100}})")
                                                   << QList<int>{8800, 8830} << 1110 << "++++++++";
        QTest::newRow("a card slower than a try is given up")
            << QByteArray(R"({"cards": {"1": 2}, "slow": {"1.1": 1300}})") << QList<int>{3750, 3770} << 200 << "++";
    }
    void mapping_send_to_a_silent_port()
    {
        QFETCH(QByteArray, json);
        QFETCH(QList<int>, ticks);
        QFETCH(int, still);
        fresh_devices(QTest::currentDataTag(), json);
        f = fpga_manage::create_for_test();
        g_line_type = line_type{10, 10, 0, 0, 0, 1, 64, 1};
        QList<QPair<uint32_t, int>> told{{G_timeTicks.load(), 0}};   // tick, percent
        f->set_job_listener([&told](int pct) { told << qMakePair(G_timeTicks.load(), pct); });
        g_send_para.job_word = JOB_MAPPING_SEND;
        int t = 0;
        for (; g_send_para.job_word.load() && t < 20000; ++t, advance(1))
            f->fpga_pass();
        f->set_job_listener({});
        QVERIFY2(t >= ticks[0] && t <= ticks[1], qPrintable(QString::number(t)));
        QVERIFY(told.size() > 3);
        QCOMPARE((QList<int>{told[told.size() - 2].second, told.last().second}), (QList<int>{90, 100}));
        int longest = 0;
        for (int i = 1; i < told.size() - 1; ++i) {
            QVERIFY(told[i].second > told[i - 1].second);
            longest = std::max(longest, int(told[i].first - told[i - 1].first));
        }
        QVERIFY2(longest <= still, qPrintable(QString::number(longest)));
        QString placed;
        for (const SimCard &card : sim().cards[0])
            placed += card.placed ? '+' : '-';
        QTEST(placed, "placed");
    }
    // Saving and the mapping switch reach every card of ports 1 to 6 that hears, and no further;
    // the recovery query counts the cards that hear on any port, and its run reaches them.
    void commands_reach_the_cards_that_hear_data()
    {
        columns<int, QStringList, int>({"job", "cards", "found"});
        // cards: what each card of ports 1 to 7 got, card by card (the first of port 6 is silent)
        QTest::newRow("save parameters") << 3 << QStringList{"1", "1", "1", "1", "1", "01", "0"} << 0;
        QTest::newRow("mapping on/off") << 4 << QStringList{"9", "9", "9", "9", "9", "09", "0"} << 0;
        QTest::newRow("recovery query") << 5 << QStringList{"0", "0", "0", "0", "0", "00", "0"} << 7;
        QTest::newRow("recovery run") << 6 << QStringList{"1", "1", "1", "1", "1", "01", "1"} << 0;
    }
    void commands_reach_the_cards_that_hear()
    {
        QFETCH(int, job);
        fresh_devices(QTest::currentDataTag(), R"({"cards": {"1": 1, "2": 1, "3": 1, "4": 1, "5": 1, "6": 2, "7": 1},
                                                   "silent": ["6.1"]})");
        f = fpga_manage::create_for_test();
        write_dev_file(QStringLiteral("/data/rcvrecovery/port1.rcv"), QByteArray(600, 'a'));
        g_send_para.mapping_state = 9;
        g_send_para.job_word = uint16_t(job);
        for (int t = 0; g_send_para.job_word.load() && t < 20000; ++t, advance(1))
            f->fpga_pass();
        QStringList got;
        for (const std::vector<SimCard> &port : sim().cards) {
            QString cards;
            for (const SimCard &card : port)
                cards += QString::number(job == 3 ? card.saves : job == 4 ? int(card.mapping_state) : card.recoveries);
            got << cards;
        }
        QTEST(QStringList(got.mid(0, 7)), "cards");
        QTEST(f->recovery_cards_found(), "found");
    }
    void card_position()
    {
        uint16_t x = 0, y = 0;   // 2 rows x 3 columns: routing patterns 1..16 only, within the grid
        for (const QList<int> &c : QList<QList<int>>{{0, 0}, {17, 0}, {1, 6}})
            QVERIFY(!mapping_card_position(line_type{64, 32, 5, 7, 0, 2, 3, uint8_t(c[0])}, c[1], &x, &y));
        QVERIFY(mapping_card_position(line_type{64, 32, 5, 7, 0, 2, 3, 16}, 1, &x, &y));
        QCOMPARE((QList<int>{x, y}), (QList<int>{5 + 64 * 2, 7}));
    }
    // An FPGA that comes up after start is seen, registers and all, once the thread has looked;
    // one that stops is seen at the next call.
    void fpga_that_comes_up_later()
    {
        fresh_devices("late", R"({"fpga": {"running": false, "version": 18}})");
        f = fpga_manage::create_for_test();
        const auto state = [this] { return QList<int>{f->get_fpga_status(), f->register_value(FpgaReg::kVersion, 0)}; };
        QCOMPARE(state(), (QList<int>{0, 0}));
        SimLock()->fpga_running = true;
        f->fpga_pass();
        QCOMPARE(state(), (QList<int>{1, 0x18}));
        SimLock()->fpga_running = false;
        QCOMPARE(state(), (QList<int>{0, 0x18}));
    }
    // The screens read the register mirrors while the FPGA thread renews them, here bringing up an
    // FPGA that keeps stopping and coming up again. (A read outside the manager's lock fails this
    // in the ThreadSanitizer build.)
    void register_mirrors_read_while_renewed()
    {
        std::atomic<bool> stop{false};
        std::thread fpga_thread([&] {
            for (int i = 0; !stop; ++i) {
                SimLock()->fpga_running = i % 2;
                f->fpga_pass();
            }
        });
        int wrong = 0;
        for (int i = 0; i < 20000; ++i)
            wrong += f->register_value(FpgaReg::kVersion, 0) != 0x12 || f->register_value(FpgaReg::kDay, 0) != 0x20;
        stop = true;
        fpga_thread.join();
        QCOMPARE(wrong, 0);
    }
    // What a screen changes after posting a job does not reach the job once the FPGA thread has
    // picked it up: the routing and port (job 1), the scan file (job 2), the mapping state (job 4).
    void job_inputs_copied_when_picked_up_data()
    {
        columns<int, Change>({"job", "meanwhile"});
        QTest::newRow("mapping send") << 1 << Change([] { g_line_type = line_type{1, 1, 0, 0, 1, 1, 1, 16}; });
        QTest::newRow("mapping file") << 2 << Change([] {
            set_qyfile_name(QStringLiteral("/mnt/usb1/other.qyfile"));
            g_line_type.port = 1;
        });
        QTest::newRow("mapping on/off") << 4 << Change([] { g_send_para.mapping_state = 0; });
    }
    void job_inputs_copied_when_picked_up()
    {
        QFETCH(int, job);
        QFETCH(Change, meanwhile);
        write_dev_file(QStringLiteral("/mnt/usb1/screen.qyfile"), QByteArray(3000, 'q'));
        write_dev_file(QStringLiteral("/mnt/usb1/other.qyfile"), QByteArray(5000, 'o'));
        set_qyfile_name(QStringLiteral("/mnt/usb1/screen.qyfile"));
        g_line_type = line_type{100, 50, 10, 20, 0, 1, 2, 1};
        g_send_para.mapping_state = 9;
        g_send_para.job_word = uint16_t(job);
        f->fpga_pass();
        meanwhile();
        for (int t = 0; g_send_para.job_word.load() && t < 20000; ++t, advance(1))
            f->fpga_pass();
        SimLock s;
        const std::vector<SimCard> &port1 = s->cards[0];
        const QList<int> seen{port1[1].x, port1[1].y, port1[1].placed, port1[0].loaded_bytes, s->cards[1][0].loaded_bytes,
                              int(port1[0].mapping_state)};
        const QList<QList<int>> expected{{}, {110, 20, 1, 0, 0, 0}, {0, 0, 0, 3000, 0, 0}, {}, {0, 0, 0, 0, 0, 9}};
        QCOMPARE(seen, expected[job]);
    }
    // A scan file job 2 cannot read ends the job at once with 100, and the cards get nothing.
    void unreadable_scan_file_data()
    {
        columns<QString>({"path"});
        QTest::newRow("none chosen") << QString();
        QTest::newRow("missing") << QStringLiteral("/mnt/usb1/gone.qyfile");
        QTest::newRow("empty") << QStringLiteral("/mnt/usb1/empty.qyfile");
        QTest::newRow("a folder") << QStringLiteral("/mnt/usb1/folder.qyfile");
        QTest::newRow("a FIFO") << QStringLiteral("/mnt/usb1/fifo.qyfile");
        QTest::newRow("beyond 4 MiB") << QStringLiteral("/data/smartmapping/huge.qyfile");
        QTest::newRow("a link to a device") << QStringLiteral("/mnt/usb1/zero.qyfile");
        QTest::newRow("a link out of the folders") << QStringLiteral("/mnt/usb1/config.qyfile");
        QTest::newRow("outside the folders") << QStringLiteral("/data/configs/plain.qyfile");
        QTest::newRow("in a linked mapping folder") << QStringLiteral("/data/smartmapping/plain.qyfile");
        QTest::newRow("on a linked stick") << QStringLiteral("/mnt/usb1/plain.qyfile");
    }
    void unreadable_scan_file()
    {
        QFETCH(QString, path);
        write_dev_file(QStringLiteral("/mnt/usb1/empty.qyfile"), QByteArray());
        QDir().mkpath(Paths::dev(QStringLiteral("/mnt/usb1/folder.qyfile")));
        QCOMPARE(::mkfifo(Paths::dev_local8(QStringLiteral("/mnt/usb1/fifo.qyfile")).constData(), 0600), 0);
        write_dev_file(QStringLiteral("/data/smartmapping/huge.qyfile"), QByteArray(4 * 1024 * 1024 + 1, 'h'));
        QFile::link(QStringLiteral("/dev/zero"), Paths::dev(QStringLiteral("/mnt/usb1/zero.qyfile")));
        write_dev_file(QStringLiteral("/data/configs/plain.qyfile"), QByteArray(100, 'p'));
        QFile::link(Paths::dev(QStringLiteral("/data/configs/plain.qyfile")), Paths::dev(QStringLiteral("/mnt/usb1/config.qyfile")));
        // The folder itself a link to one that holds the file (the host's root, say).
        const QString folder = Paths::dev(path.section('/', 0, -2));
        if (path.endsWith("/plain.qyfile") && !path.startsWith("/data/configs"))
            QVERIFY(QDir().rename(folder, folder + "-real") && QFile::link(Paths::dev("/data/configs"), folder));
        set_qyfile_name(path);
        Progress spy;
        f->set_job_listener(spy.listener());
        g_send_para.job_word = JOB_MAPPING_FILE;
        int passes = 0;
        for (; g_send_para.job_word.load() && passes < 10; ++passes)
            f->fpga_pass();
        f->set_job_listener({});
        QCOMPARE((QList<int>{passes, sim().cards[0][0].loaded_bytes}), (QList<int>{2, 0}));
        QCOMPARE(spy.told, QList<int>{100});
    }
    // A scan file whose name is not UTF-8 is loaded by the bytes of its name, as listed.
    void scan_file_named_in_other_bytes()
    {
        QVERIFY(QDir().mkpath(Paths::dev("/data/smartmapping")));
        const QByteArray content(1500, 'b'), raw = QFile::encodeName(Paths::dev("/data/smartmapping/")) + "b\xe9.qyfile";
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size() && ::close(fd) == 0);
        write_dev_file(QString::fromUtf8("/data/smartmapping/b\xef\xbf\xbd.qyfile"), "another file");
        rcvRecovery r;
        QCOMPARE(r.get_dir_file(QString::fromLatin1(rcvRecovery::kMappingDir)), 0);
        QString name;
        for (const QString &listed : r.file_list())
            if (listed != QString::fromUtf8("b\xef\xbf\xbd.qyfile"))
                name = listed;
        QCOMPARE(Paths::name_bytes(name), QByteArray("b\xe9.qyfile"));
        set_qyfile_name(QStringLiteral("/data/smartmapping/") + name);
        g_send_para.job_word = JOB_MAPPING_FILE;
        for (int i = 0; i < 10 && g_send_para.job_word.load(); ++i)
            f->fpga_pass();
        QCOMPARE(sim().cards[0][0].loaded_bytes, 1500);
        ::unlink(raw.constData());   // a name Qt could not remove with the root
    }
    // The stick pulled out while its scan file is being loaded: the job ends there with 100, as
    // the device's failing reads end it, and the cards keep what they got.
    // However the stick went, the load ends at the next pass with what the cards have, and the
    // stick watcher is told what stands in its place; a stick put back meanwhile is another
    // folder, a link to the stick is no stick, and a file the device's folder holds is not the
    // stick's. The file's name deleted, or given to another file, is no pull: the file the load
    // opened is sent whole, none of the other file's bytes with it, and nothing is told.
    void stick_pulled_during_load_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<std::function<void()>>("pull");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<bool>("told");
        const auto stick = [] { return Paths::dev("/mnt/usb1"); };
        const auto moved = [stick] { QVERIFY(QDir().rename(stick(), Paths::dev("/mnt/gone"))); };
        QTest::newRow("deleted") << "/mnt/usb1/screen.qyfile" << std::function<void()>([stick] {
            QVERIFY(QDir(stick()).removeRecursively());
        }) << true << true;
        QTest::newRow("moved away") << "/mnt/usb1/screen.qyfile" << std::function<void()>(moved) << true << true;
        QTest::newRow("moved away from a folder of the stick") << "/mnt/usb1/maps/screen.qyfile"
                                                               << std::function<void()>(moved) << true << true;
        QTest::newRow("another stick in its place") << "/mnt/usb1/screen.qyfile" << std::function<void()>([=] {
            moved();
            write_dev_file(QStringLiteral("/mnt/usb1/screen.qyfile"), QByteArray(3 * 1024 * 1024, 'q'));
        }) << true << true;
        QTest::newRow("a link to the stick in its place") << "/mnt/usb1/screen.qyfile" << std::function<void()>([=] {
            moved();
            QVERIFY(QFile::link(Paths::dev("/mnt/gone"), stick()));
        }) << true << true;
        QTest::newRow("the device's file, the stick moved") << "/data/smartmapping/screen.qyfile"
                                                           << std::function<void()>(moved) << false << false;
        for (auto [whose, file] : {std::pair{"the stick's", "/mnt/usb1/screen.qyfile"},
                                   {"the device's", "/data/smartmapping/screen.qyfile"}}) {
            const QString path = QLatin1String(file);
            QTest::newRow(qPrintable(QStringLiteral("%1 file deleted").arg(QLatin1String(whose))))
                << path << std::function<void()>([path] { QVERIFY(QFile::remove(Paths::dev(path))); }) << false << false;
            // Smaller than what was sent: a load that went by the name again would end short.
            QTest::newRow(qPrintable(QStringLiteral("%1 file replaced by another renamed over its name").arg(QLatin1String(whose))))
                << path << std::function<void()>([path] {
                       write_dev_file(path + ".new", QByteArray(50 * 1024, 'n'));
                       QCOMPARE(std::rename(Paths::dev_local8(path + ".new").constData(), Paths::dev_local8(path).constData()), 0);
                   }) << false << false;
        }
    }
    void stick_pulled_during_load()
    {
        QFETCH(QString, file);
        QFETCH(std::function<void()>, pull);
        Progress spy;
        const auto unwatch = qScopeGuard([this] { StickPlace::set_watcher(this, nullptr); });
        start_load(file, &spy);
        QCOMPARE(wakes, 0);
        pull();
        QFETCH(bool, ends);
        if (!ends) {
            for (int i = 0; i < 10; ++i)
                f->fpga_pass();
            QCOMPARE(sim().cards[0][0].loaded_bytes, 110 * 1024);
            QVERIFY(g_send_para.job_word.load() != 0);
            // On to its end, as a load left alone goes.
            const QList<int> told = finish_load(&spy);
            QCOMPARE(g_send_para.job_word.load(), uint16_t(0));
            QCOMPARE(sim().cards[0][0].loaded_bytes, 3 * 1024 * 1024);
            QCOMPARE(told, every_percent());
            QVERIFY(f->load_sent_whole());
            QTEST(wakes == 1, "told");
            return;
        }
        int passes = 0;
        for (; g_send_para.job_word.load() && passes < 10; ++passes)
            f->fpga_pass();
        f->set_job_listener({});
        QCOMPARE((QList<int>{passes, sim().cards[0][0].loaded_bytes}), (QList<int>{2, 100 * 1024}));
        QCOMPARE(spy.told.mid(spy.told.size() - 2), (QList<int>{3, 100}));
        QVERIFY(!f->load_sent_whole());
        QTEST(wakes == 1, "told");
    }
    // Another writer at the scan file while it loads. Appended to, or written over with the bytes
    // it holds: the cards get the file as large as it was opened, none of what was appended, and
    // the bar rises and closes as for a file left alone. Written over with other bytes, in place
    // or emptied first as cp does, to any size: the cards get what stood where the load read,
    // and the load does not pass for a whole one, its bar closing short of 99. The size leaves the
    // last read short of a chunk, where a whole chunk would take in appended bytes.
    void scan_file_written_during_load_data()
    {
        columns<QString, int, QByteArray, int, bool>({"file", "mode", "written", "loaded", "whole"});
        const int size = 3 * 1024 * 1024 + 500, sent = 100 * 1024, mib = 1024 * 1024;
        const int append = QIODevice::Append, over = QIODevice::ReadWrite, emptied = QIODevice::WriteOnly | QIODevice::Truncate;
        for (auto [whose, file] : {std::pair{"the stick's", "/mnt/usb1/screen.qyfile"},
                                   {"the device's", "/data/smartmapping/screen.qyfile"}}) {
            const auto row = [whose = QLatin1String(whose)](const char *what) -> QTestData & {
                return QTest::newRow(qPrintable(QStringLiteral("%1 file %2").arg(whose, QLatin1String(what))));
            };
            const QString path = QLatin1String(file);
            row("left alone") << path << append << QByteArray() << size << true;
            row("grown") << path << append << QByteArray(sent, 'g') << size << true;
            row("written over with its own bytes") << path << over << QByteArray(mib, 'q') << size << true;
            row("written over in place") << path << over << QByteArray(mib, 'n') << size << false;
            row("emptied and written larger") << path << emptied << QByteArray(size + sent, 'n') << size << false;
            row("emptied and written as large") << path << emptied << QByteArray(size, 'n') << size << false;
            row("emptied and written smaller") << path << emptied << QByteArray(sent / 2, 'n') << sent << false;
        }
    }
    void scan_file_written_during_load()
    {
        QFETCH(QString, file);
        QFETCH(int, mode);
        QFETCH(QByteArray, written);
        const int size = 3 * 1024 * 1024 + 500;
        Progress spy;
        const auto unwatch = qScopeGuard([this] { StickPlace::set_watcher(this, nullptr); });
        start_load(file, &spy, size);
        {
            QFile writer(Paths::dev(file));
            QVERIFY(writer.open(QIODevice::OpenMode(mode)));
            QCOMPARE(writer.write(written), qint64(written.size()));
        }
        const QList<int> told = finish_load(&spy);
        QCOMPARE(g_send_para.job_word.load(), uint16_t(0));
        QFETCH(int, loaded);
        QFETCH(bool, whole);
        QCOMPARE(sim().cards[0][0].loaded_bytes, loaded);
        QList<int> rising;
        for (int pct = 1; pct <= (whole ? 99 : std::min<qint64>(98, qint64(loaded) * 99 / size)); ++pct)
            rising << pct;
        QCOMPARE(told, rising << 100);
        QCOMPARE(f->load_sent_whole(), whole);
        QCOMPARE(wakes, 0);
    }
    // A file whose times lie well behind the load's start is judged by them alone: left alone, its
    // load ends in the pass of its last read, where a file just written is read back; written over
    // with its modification time put back, as a copy keeping times does, the inode's change time
    // still tells, and the load does not pass for a whole one.
    void settled_scan_file_judged_by_its_times()
    {
        const int size = 300 * 1024;
        const QStringList files = {"/mnt/usb1/alone.qyfile", "/data/smartmapping/alone.qyfile",
                                   "/mnt/usb1/restored.qyfile", "/data/smartmapping/restored.qyfile"};
        for (const QString &file : files)
            write_dev_file(file, QByteArray(size, 'q'));
        const auto changed_at = [](const QString &file) {
            struct stat st;
            return ::stat(Paths::dev_local8(file).constData(), &st) == 0 ? std::max(st.st_mtime, st.st_ctime) : time_t(-1);
        };
        time_t newest = 0;
        for (const QString &file : files)
            newest = std::max(newest, changed_at(file));
        QVERIFY(zemtest::poll_until([&] { return ::time(nullptr) > newest + 3; }));
        const auto unwatch = qScopeGuard([this] { StickPlace::set_watcher(this, nullptr); });
        const auto passes_to_end = [this] {
            int passes = 0;
            for (; g_send_para.job_word.load() && passes < 10000; ++passes)
                f->fpga_pass();
            f->set_job_listener({});
            return passes;
        };
        for (int i = 0; i < 2; ++i) {
            const QString alone = files[i], restored = files[i + 2];
            Progress settled, fresh, rewritten;
            load_as_it_stands(alone, &settled);
            const int settled_passes = passes_to_end();
            QVERIFY(f->load_sent_whole());
            start_load(alone, &fresh, size);
            QVERIFY(passes_to_end() > settled_passes);
            QVERIFY(f->load_sent_whole());

            const int loaded_before = sim().cards[0][0].loaded_bytes;
            struct stat before;
            QCOMPARE(::stat(Paths::dev_local8(restored).constData(), &before), 0);
            load_as_it_stands(restored, &rewritten);
            {
                QFile writer(Paths::dev(restored));
                QVERIFY(writer.open(QIODevice::ReadWrite));
                QCOMPARE(writer.write(QByteArray(size, 'n')), qint64(size));
                QVERIFY(writer.flush());
                const timespec times[2] = {before.st_atim, before.st_mtim};
                QCOMPARE(::futimens(writer.handle(), times), 0);
            }
            passes_to_end();
            QCOMPARE(sim().cards[0][0].loaded_bytes - loaded_before, size);
            QVERIFY(!f->load_sent_whole());
            QVERIFY(rewritten.told.size() >= 2 && rewritten.told.last() == 100 && rewritten.told[rewritten.told.size() - 2] < 99);
        }
    }
    // The largest scan file a load takes is sent whole; a byte more and nothing is.
    void scan_file_at_the_size_limit_data()
    {
        columns<int, int, QList<int>>({"size", "loaded", "told"});
        const int limit = 4 * 1024 * 1024;
        QTest::newRow("4 MiB") << limit << limit << every_percent();
        QTest::newRow("a byte beyond 4 MiB") << limit + 1 << 0 << QList<int>{100};
    }
    void scan_file_at_the_size_limit()
    {
        QFETCH(int, size);
        const QString file = QStringLiteral("/data/smartmapping/limit.qyfile");
        write_dev_file(file, QByteArray(size, 'l'));
        set_qyfile_name(file);
        Progress spy;
        f->set_job_listener(spy.listener());
        g_send_para.job_word = JOB_MAPPING_FILE;
        const QList<int> told = finish_load(&spy);
        QCOMPARE(g_send_para.job_word.load(), uint16_t(0));
        QTEST(sim().cards[0][0].loaded_bytes, "loaded");
        QTEST(told, "told");
        QCOMPARE(f->load_sent_whole(), size <= 4 * 1024 * 1024);
    }
    // What the load reads failing under it (the device's pulled stick), or the file shrinking,
    // ends the load with what the cards got, though the stick and the name stay: the bar closes
    // short of 99, nothing is told, and the load does not pass for a whole one.
    void scan_file_failing_during_load_data()
    {
        columns<QString, QString, int, int>({"file", "change", "least", "most"});
        const QString stick = "/mnt/usb1/screen.qyfile", device = "/data/smartmapping/screen.qyfile";
        const int sent = 100 * 1024, whole = 3 * 1024 * 1024;
        QTest::newRow("the stick's reads failing") << stick << "fail" << sent << whole - 1;
        QTest::newRow("the device's reads failing") << device << "fail" << sent << whole - 1;
        QTest::newRow("shrunk below what was sent") << stick << "50" << sent << sent;
        QTest::newRow("shrunk beyond what was sent") << device << "200" << 200 * 1024 << 200 * 1024;
    }
    void scan_file_failing_during_load()
    {
        QFETCH(QString, file);
        QFETCH(QString, change);
        Progress spy;
        const auto unwatch = qScopeGuard([this] { StickPlace::set_watcher(this, nullptr); });
        start_load(file, &spy);
        if (change == "fail") {
            // A folder in place of the file the load holds open: every read of it fails.
            struct stat target;
            QCOMPARE(::stat(Paths::dev_local8(file).constData(), &target), 0);
            const int dir = ::open(Paths::dev_local8("/data").constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            QVERIFY(dir >= 0);
            int replaced = 0;
            for (int fd = 0; fd < 1024; ++fd) {
                struct stat st;
                if (fd != dir && ::fstatat(fd, "", &st, AT_EMPTY_PATH) == 0 && st.st_dev == target.st_dev
                    && st.st_ino == target.st_ino)
                    replaced += ::dup2(dir, fd) == fd;
            }
            ::close(dir);
            QCOMPARE(replaced, 1);
        } else {
            QVERIFY(QFile::resize(Paths::dev(file), change.toInt() * 1024));
        }
        int passes = 0;
        for (; g_send_para.job_word.load() && passes < 4000; ++passes)
            f->fpga_pass();
        f->set_job_listener({});
        QFETCH(int, least);
        QFETCH(int, most);
        const int loaded = sim().cards[0][0].loaded_bytes;
        QVERIFY2(loaded >= least && loaded <= most, qPrintable(QString::number(loaded)));
        QCOMPARE(g_send_para.job_word.load(), uint16_t(0));
        QVERIFY(spy.told.size() >= 2 && spy.told.last() == 100 && spy.told[spy.told.size() - 2] < 99);
        QVERIFY(!f->load_sent_whole());
        QCOMPARE(wakes, 0);
    }
    void job_without_listener_ends()
    {
        f->set_job_listener({});
        g_send_para.job_word = 5;
        for (int i = 0; i < 400 && g_send_para.job_word.load(); ++i, advance(1))
            f->fpga_pass();
        QCOMPARE(g_send_para.job_word.load(), uint16_t(0));
    }
};

QTEST_GUILESS_MAIN(TestFpga)
#include "tst_fpga.moc"
