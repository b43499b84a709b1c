#include <QtTest>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <cstring>
#include <thread>
#include <sys/syscall.h>
#include <unistd.h>

#include "../fpga/devicefixture.h"
#include "vocabulary.h"

namespace {
QList<int> row(int source)
{
    const uint8_t *img = ZemRamPara::p_zemrampara_config->RAM_PARA;
    const int off = Ram::source_timing(source);
    return {Ram::rd16(img, off), Ram::rd16(img, off + 2), Ram::rd16(img, off + 4)};
}
// EDID request bytes 12..15 and written bytes 16..19 of the manager.
QByteArray edid_bytes() { return QByteArray(reinterpret_cast<const char *>(tarvosource::p_tarvo_source) + 12, 8); }
// Set by the destructor of a thread's `thread_end`, which runs as that thread ends; static, since a
// thread that outlives its test still ends some time.
std::atomic<bool> g_thread_ended{false};
struct ThreadEnd
{
    bool armed = false;
    ~ThreadEnd()
    {
        if (armed)
            g_thread_ended = true;
    }
};
thread_local ThreadEnd thread_end;
}

class TestSource : public QObject
{
    Q_OBJECT
    tarvosource *src = nullptr;

private slots:
    void init()
    {
        fresh_devices(QTest::currentTestFunction());
        src = tarvosource::create_for_test();
        // A blank EEPROM does not hold the factory EDID: all four inputs are to be written.
        QCOMPARE(edid_bytes(), QByteArray("\1\1\1\1\0\0\0\0", 8));
    }
    void timing_rows_edid_and_replug()
    {
        std::memset(src->edid_request, 0, 8);
        Codes spy;
        src->source_pass();
        src->source_pass();
        QCOMPARE(spy.all(), QList<int>{12});
        QCOMPARE(row(1) + row(2) + row(3), (QList<int>{1920, 1080, 60, 1920, 1080, 60, 0, 0, 0}));
        ZemRamPara::p_zemrampara_config->ZemSetEDIDPara(1, 1280, 720, 50);
        src->edid_request[1] = 1;
        src->source_pass();   // written into the EEPROM, not yet re-plugged
        QCOMPARE(edid_bytes(), QByteArray("\0\1\0\0\0\1\0\0", 8));
        const SimState s = sim();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.eeprom[1]), 256), tarvosource::build_edid(1280, 720, 50));
        src->source_pass();   // re-plugged: the source drops out while the line is low
        QCOMPARE(edid_bytes(), QByteArray("\0\0\0\0\0\1\0\0", 8));
        QCOMPARE(row(1), (QList<int>{0, 0, 0}));
        advance(tarvosource::kReplugTicks - 1);
        src->source_pass();
        QCOMPARE(int(src->hot_plug[1]), 0);
        advance(1);
        src->source_pass();
        src->source_pass();
        QCOMPARE(row(1), (QList<int>{1920, 1080, 60}));
        QCOMPARE(spy.all(), (QList<int>{12, 12, 12}));
        QCOMPARE((QList<int>{sim().eeprom_writes[0], sim().eeprom_writes[1], sim().replugs[1]}), (QList<int>{0, 1, 1}));
    }
    void factory_store_replugs_all_inputs()
    {
        src->source_pass();
        src->source_pass();
        src = tarvosource::create_for_test();   // now the EEPROMs hold what the image asks for
        QCOMPARE(edid_bytes(), QByteArray("\0\0\0\0\1\1\1\1", 8));
        src->request_edid(0x0F, false);   // the factory reset: a re-plug of all four
        src->source_pass();
        const SimState s = sim();
        QCOMPARE((QList<int>{s.eeprom_writes[0], s.eeprom_writes[3], s.replugs[0], s.replugs[3]}),
                 (QList<int>{1, 1, 2, 2}));
    }
    // The chip thread asks for input 1's EDID twice in quick succession, as two changes of its
    // EDID_PARA come, the second while the source thread writes the EEPROM for the first: the input
    // ends up presenting the EDID asked for last, every time. The second change is made to come
    // then, and not by chance: the device is held here until the source thread, its EDID chosen,
    // waits to write it, and until the chip's pass that follows the change waits for the device too.
    void edid_requests_hammered()
    {
        c331_manage *chip = c331_manage::create_for_test();
        ZemRamPara *zp = ZemRamPara::p_zemrampara_config;
        src->source_pass();   // the EEPROMs hold the factory EDIDs
        src->source_pass();
        // The futex word a thread of this process waits on in the kernel; 0 while it waits on none.
        const auto waited_on = [](pid_t tid) -> quintptr {
            QFile f(QStringLiteral("/proc/self/task/%1/syscall").arg(tid));
            const QList<QByteArray> call = f.open(QIODevice::ReadOnly) ? f.read(256).split(' ') : QList<QByteArray>();
            return call.size() > 1 && call[0].toLong() == SYS_futex ? call[1].toULongLong(nullptr, 16) : 0;
        };
        // A thread of the test's, known to the kernel by its id; joined before it goes.
        struct Worker
        {
            std::atomic<pid_t> tid{0};
            std::thread thread;
            void join()
            {
                if (thread.joinable())
                    thread.join();
            }
            ~Worker() { join(); }
        };
        // Runs `work` on the worker while the device is held, until the worker waits for the
        // device (a word of 0: any futex, to learn the device's word); the word it waits on.
        const auto until_it_waits = [&](Worker &worker, quintptr word, std::function<void()> work) {
            worker.thread = std::thread([&worker, work] {
                worker.tid = pid_t(::syscall(SYS_gettid));
                work();
            });
            quintptr seen = 0;
            zemtest::poll_until([&] {
                return worker.tid != 0 && (seen = waited_on(worker.tid)) != 0 && (word == 0 || seen == word);
            });
            return seen;
        };
        quintptr device = 0;
        {
            Worker waiter;
            SimLock held;
            device = until_it_waits(waiter, 0, [] { SimLock wait; });
        }
        QVERIFY(device != 0);
        QList<int> lost;
        for (int round = 0; round < 4; ++round) {
            const uint16_t rate = uint16_t(60 - round % 2);
            zp->ZemSetEDIDPara(1, 1280, 720, 50);
            chip->c331managerdeal();
            Worker source, chip_pass;
            bool both_waited;
            {
                SimLock held;
                both_waited = until_it_waits(source, device, [this] { src->source_pass(); }) == device
                              && until_it_waits(chip_pass, device, [&] {
                                     zp->ZemSetEDIDPara(1, 1920, 1080, rate);
                                     chip->c331managerdeal();
                                 }) == device;
            }
            source.join();
            chip_pass.join();
            QVERIFY2(both_waited, "the source thread and the chip's pass did not both wait for the device");
            for (int pass = 0; pass < 4 && src->edid_pending(1); ++pass)
                src->source_pass();
            QVERIFY(!src->edid_pending(1));
            if (QByteArray(reinterpret_cast<const char *>(sim().eeprom[1]), 256) != tarvosource::build_edid(1920, 1080, rate))
                lost << round;
        }
        QCOMPARE(lost, QList<int>());
    }
    // Asked width, height, rate -> offered; a clock beyond the field or no rate offers 1080p60.
    void edid_block()
    {
        const int rows[][6] = {{1280, 720, 50, 1280, 720, 50}, {3840, 2160, 60, 3840, 2160, 60},
                               {4000, 4000, 240, 1920, 1080, 60}, {1920, 1080, 0, 1920, 1080, 60}};
        for (const auto &row : rows) {
            const QByteArray edid = tarvosource::build_edid(row[0], row[1], row[2]);
            QCOMPARE(edid.size(), 256);
            QCOMPARE(edid.left(8), QByteArray("\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00", 8));
            int sums[2] = {};
            for (int i = 0; i < 256; ++i)
                sums[i / 128] += uint8_t(edid[i]);
            QCOMPARE((QList<int>{sums[0] & 0xFF, sums[1] & 0xFF}), (QList<int>{0, 0}));
            const auto *d = reinterpret_cast<const uint8_t *>(edid.constData()) + 54;
            const int w = d[2] | (d[4] >> 4) << 8, hblank = d[3] | (d[4] & 0x0F) << 8;
            const int h = d[5] | (d[7] >> 4) << 8, vblank = d[6] | (d[7] & 0x0F) << 8;
            const double rate = (d[0] | d[1] << 8) * 10000.0 / ((w + hblank) * (h + vblank));
            QCOMPARE((QList<int>{w, h, int(rate + 0.5)}), (QList<int>{row[3], row[4], row[5]}));
        }
    }
    // The source thread has ended by the time stop_thread returns, so that no pass comes after it
    // to measure again what a test set up.
    void stop_thread_ends_the_thread()
    {
        g_thread_ended = false;
        const std::thread::id test_thread = std::this_thread::get_id();
        QObject measured;
        std::atomic<bool> seen{false};
        // Runs on the thread that measured, and arms that thread's end.
        connect(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para, &measured, [&](int code) {
            if (code == CHANGE_SOURCE_TIMING && std::this_thread::get_id() != test_thread) {
                thread_end.armed = true;
                seen = true;
            }
        }, Qt::DirectConnection);
        // However the test ends, the thread is gone before the objects it reaches are.
        const auto end_thread = qScopeGuard([] { tarvosource::destroy_for_test(); });
        src->start_thread();
        ZEM_TRY_VERIFY(seen);
        tarvosource::stop_thread();
        QVERIFY(g_thread_ended);
    }
};

QTEST_GUILESS_MAIN(TestSource)
#include "tst_source.moc"
