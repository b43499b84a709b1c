#include <QtTest>

#include <cstring>

#include "../fpga/devicefixture.h"

using namespace Ram;

namespace {
QList<int> row(int source)
{
    const uint8_t *img = ZemRamPara::p_zemrampara_config->RAM_PARA;
    const int off = source_timing(source);
    return {rd16(img, off), rd16(img, off + 2), rd16(img, off + 4)};
}

const uint8_t *block(const QByteArray &edid, int n)
{
    return reinterpret_cast<const uint8_t *>(edid.constData()) + 128 * n;
}

bool checksum_ok(const uint8_t *b)
{
    unsigned sum = 0;
    for (int i = 0; i < 128; ++i)
        sum += b[i];
    return (sum & 0xFF) == 0;
}

// Active width, height and refresh rate of the first detailed timing.
QList<int> preferred_timing(const QByteArray &edid)
{
    const uint8_t *d = block(edid, 0) + 54;
    const int clock = d[0] | d[1] << 8;
    const int w = d[2] | (d[4] >> 4) << 8;
    const int hblank = d[3] | (d[4] & 0x0F) << 8;
    const int h = d[5] | (d[7] >> 4) << 8;
    const int vblank = d[6] | (d[7] & 0x0F) << 8;
    const double rate = clock * 10000.0 / ((w + hblank) * (h + vblank));
    return {w, h, int(rate + 0.5)};
}

void set_edid_para(int input, int16_t w, int16_t h, int16_t rate)
{
    ZemRamPara *r = ZemRamPara::p_zemrampara_config;
    r->wr16(edid(input), uint16_t(w));
    r->wr16(edid(input) + 2, uint16_t(h));
    r->wr16(edid(input) + 4, uint16_t(rate));
}
}

class TestSource : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_devices(QTest::currentTestFunction()); }
    void cleanup() { tarvosource::destroy_for_test(); }

    void timing_rows_and_code_12();
    void edid_request_written_protocol();
    void factory_store_replugs_all_inputs();
    void eeprom_checked_at_start();
    void edid_block_data();
    void edid_block();
};

void TestSource::timing_rows_and_code_12()
{
    tarvosource *src = tarvosource::create_for_test();
    std::memset(src->edid_request, 0, 4);
    QSignalSpy spy(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para);
    src->source_pass();
    QCOMPARE(codes(spy), (QList<int>{12}));
    QCOMPARE(row(1), (QList<int>{1920, 1080, 60}));
    QCOMPARE(row(2), (QList<int>{1920, 1080, 60}));
    QCOMPARE(row(0), (QList<int>{0, 0, 0}));
    QCOMPARE(row(3), (QList<int>{0, 0, 0}));
    QCOMPARE(int(src->input_signal[1]), 1);
    QCOMPARE(int(src->input_signal[0]), 0);

    src->source_pass();
    QCOMPARE(codes(spy), (QList<int>{12}));
    QCOMPARE(int(src->input_stable[1]), 1);

    {
        SimLock s;
        s->inputs[3] = {3840, 2160, 30};
        s->inputs[1] = SimSignal();
    }
    src->source_pass();
    QCOMPARE(codes(spy), (QList<int>{12, 12}));
    QCOMPARE(row(3), (QList<int>{3840, 2160, 30}));
    QCOMPARE(row(1), (QList<int>{0, 0, 0}));
    QCOMPARE(int(src->input_stable[3]), 0);
}

void TestSource::edid_request_written_protocol()
{
    tarvosource *src = tarvosource::create_for_test();
    std::memset(src->edid_request, 0, 4);
    std::memset(src->edid_written, 1, 4);
    src->source_pass();
    QSignalSpy spy(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para);

    set_edid_para(1, 1280, 720, 50);
    src->edid_request[1] = 1;
    src->edid_written[1] = 0;

    src->source_pass();   // written into the EEPROM, not yet re-plugged
    QCOMPARE(int(src->edid_written[1]), 1);
    QCOMPARE(int(src->edid_request[1]), 1);
    QCOMPARE(int(src->hot_plug[1]), 1);
    {
        SimLock s;
        QCOMPARE(s->eeprom_writes[1], 1);
        QCOMPARE(s->eeprom_writes[2], 0);
        const QByteArray in_eeprom(reinterpret_cast<const char *>(s->eeprom[1]), 256);
        QCOMPARE(in_eeprom, tarvosource::build_edid(1280, 720, 50));
    }
    QVERIFY(spy.isEmpty());

    src->source_pass();   // re-plugged: the source drops out while the line is low
    QCOMPARE(int(src->edid_request[1]), 0);
    QCOMPARE(int(src->hot_plug[1]), 0);
    QCOMPARE(row(1), (QList<int>{0, 0, 0}));
    QCOMPARE(codes(spy), (QList<int>{12}));

    advance(tarvosource::kReplugTicks - 1);
    src->source_pass();
    QCOMPARE(int(src->hot_plug[1]), 0);
    advance(1);
    src->source_pass();
    QCOMPARE(int(src->hot_plug[1]), 1);
    QCOMPARE(row(1), (QList<int>{1920, 1080, 60}));
    QCOMPARE(codes(spy), (QList<int>{12, 12}));

    src->source_pass();
    SimLock s;
    QCOMPARE(s->eeprom_writes[1], 1);
    QCOMPARE(s->replugs[1], 1);
}

void TestSource::factory_store_replugs_all_inputs()
{
    tarvosource *src = tarvosource::create_for_test();
    for (int i = 0; i < 4; ++i)
        src->source_pass();
    const uint32_t all = 0x01010101;
    std::memcpy(reinterpret_cast<char *>(src) + 12, &all, sizeof all);
    src->source_pass();
    SimLock s;
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(s->eeprom_writes[i], 1);   // only the start-up write
        QCOMPARE(s->replugs[i], 2);
        QCOMPARE(int(src->hot_plug[i]), 0);
    }
}

void TestSource::eeprom_checked_at_start()
{
    tarvosource *src = tarvosource::create_for_test();
    // Factory EDID requests are 1920x1080 at 60 Hz; a blank EEPROM needs writing.
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(src->edid_request), 4), QByteArray("\1\1\1\1", 4));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(src->edid_written), 4), QByteArray("\0\0\0\0", 4));
    src->source_pass();
    src->source_pass();

    src = tarvosource::create_for_test();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(src->edid_request), 4), QByteArray("\0\0\0\0", 4));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(src->edid_written), 4), QByteArray("\1\1\1\1", 4));
}

void TestSource::edid_block_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QList<int>>("offered");
    QTest::newRow("1080p60") << 1920 << 1080 << 60 << QList<int>{1920, 1080, 60};
    QTest::newRow("720p50") << 1280 << 720 << 50 << QList<int>{1280, 720, 50};
    QTest::newRow("2160p60") << 3840 << 2160 << 60 << QList<int>{3840, 2160, 60};
    QTest::newRow("zero size") << 0 << 0 << 60 << QList<int>{1920, 1080, 60};
    QTest::newRow("negative width") << -5 << 1080 << 60 << QList<int>{1920, 1080, 60};
    QTest::newRow("too wide for the block") << 5000 << 1080 << 60 << QList<int>{1920, 1080, 60};
    QTest::newRow("clock beyond the field") << 4000 << 4000 << 240 << QList<int>{1920, 1080, 60};
    QTest::newRow("zero rate") << 1920 << 1080 << 0 << QList<int>{1920, 1080, 60};
}

void TestSource::edid_block()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, rate);
    QFETCH(QList<int>, offered);
    const QByteArray edid = tarvosource::build_edid(w, h, rate);
    QCOMPARE(edid.size(), 256);
    QCOMPARE(edid.left(8), QByteArray("\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00", 8));
    QVERIFY(checksum_ok(block(edid, 0)));
    QVERIFY(checksum_ok(block(edid, 1)));
    QCOMPARE(int(block(edid, 0)[126]), 1);
    QCOMPARE(int(block(edid, 1)[0]), 0x02);
    QCOMPARE(preferred_timing(edid), offered);
}

QTEST_GUILESS_MAIN(TestSource)
#include "tst_source.moc"
