#include <QtTest>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <cstring>
#include <thread>

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
    // EDID_PARA come, while the source thread works through the first request: the input ends up
    // presenting the EDID asked for last, every time.
    void edid_requests_hammered()
    {
        c331_manage *chip = c331_manage::create_for_test();
        ZemRamPara *zp = ZemRamPara::p_zemrampara_config;
        src->source_pass();   // the EEPROMs hold the factory EDIDs
        src->source_pass();
        // Each pass told, so that the hammer sleeps while the source thread works: they may share
        // the one core there is.
        std::atomic<bool> stop{false};
        std::mutex passed_mutex;
        std::condition_variable passed;
        std::thread source([&] {
            while (!stop) {
                src->source_pass();
                std::lock_guard<std::mutex> lock(passed_mutex);
                passed.notify_all();
            }
        });
        int lost = 0, stuck = 0;
        for (int round = 0; round < 4000 && !stuck; ++round) {
            const uint16_t rate = uint16_t(60 - round % 2);
            zp->ZemSetEDIDPara(1, 1280, 720, 50);
            chip->c331managerdeal();
            zp->ZemSetEDIDPara(1, 1920, 1080, rate);
            chip->c331managerdeal();
            {
                std::unique_lock<std::mutex> lock(passed_mutex);
                passed.wait_for(lock, std::chrono::milliseconds(zemtest::kCeilingMs), [&] { return !src->edid_pending(1); });
            }
            stuck += src->edid_pending(1);
            const SimState s = sim();
            lost += QByteArray(reinterpret_cast<const char *>(s.eeprom[1]), 256) != tarvosource::build_edid(1920, 1080, rate);
        }
        stop = true;
        source.join();
        QCOMPARE((QList<int>{lost, stuck}), (QList<int>{0, 0}));
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
