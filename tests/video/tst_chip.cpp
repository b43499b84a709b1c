#include <QtTest>

#include <cstring>

#include "../fpga/devicefixture.h"

using namespace Ram;

namespace {
// A screen's write: the field under the chip mutex, then the update request.
template <class F>
void screen_write(F store)
{
    ChipWrite chip;
    store(ZemRamPara::p_zemrampara_config);
}
}

class TestChip : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        fresh_devices(QTest::currentTestFunction());
        fpga_manage::create_for_test();
        tarvosource::create_for_test();
        c331_manage::create_for_test();
    }
    void cleanup()
    {
        c331_manage::destroy_for_test();
        tarvosource::destroy_for_test();
        fpga_manage::destroy_for_test();
    }

    void request_announced();
    void pattern_flag_data();
    void pattern_flag();
    void pattern_refused_with_several_window_sets();
    void changes_served_together();
    void change_saved_right_after_request_is_applied();
    void crop_taken_when_window_switches_to_it();
    void panel_waits_for_led_setup();
    void edid_change_raises_source_request();
    void led_off_reaches_fpga();
    void font_bits_from_simulation();
};

void TestChip::request_announced()
{
    c331_manage *chip = c331_manage::p_c331_manage;
    QSignalSpy spy(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para);
    chip->c331managerdeal();
    QVERIFY(spy.isEmpty());

    screen_write([](ZemRamPara *r) { r->wr16(kQContrast, 77); });
    QCOMPARE(int(chip->update_request()), 1);
    chip->c331managerdeal();
    QCOMPARE(codes(spy), (QList<int>{1}));
    QCOMPARE(int(chip->update_request()), 0);
    {
        SimLock s;
        QCOMPARE(int(s->quality[1]), 77);
    }

    // The request value is the change code announced.
    {
        QMutexLocker lock(&chip->mutex());
        chip->update_request() = 7;
    }
    chip->c331managerdeal();
    QCOMPARE(codes(spy), (QList<int>{1, 7}));
}

void TestChip::pattern_flag_data()
{
    QTest::addColumn<QList<int>>("patterns");   // values stored at 864, one request each
    QTest::addColumn<QList<int>>("flags");      // zemApi_IsPatternGen after each pass
    QTest::newRow("on then off") << QList<int>{3, 0} << QList<int>{1, 0};
    QTest::newRow("pattern to pattern") << QList<int>{6, 8, 0} << QList<int>{1, 1, 0};
    QTest::newRow("unknown pattern switches off") << QList<int>{2, 40} << QList<int>{1, 0};
}

void TestChip::pattern_flag()
{
    QFETCH(QList<int>, patterns);
    QFETCH(QList<int>, flags);
    c331_manage *chip = c331_manage::p_c331_manage;
    for (int i = 0; i < patterns.size(); ++i) {
        const int p = patterns[i];
        screen_write([p](ZemRamPara *r) { r->RAM_PARA[kTestPattern] = uint8_t(p); });
        int before;
        {
            SimLock s;
            before = s->source_checks;
        }
        chip->c331managerdeal();
        chip->c331managerdeal();
        QCOMPARE(chip->zemApi_IsPatternGen(), flags[i]);
        SimLock s;
        QCOMPARE(s->pattern, flags[i] ? p : 0);
        // While the generator is on, the pass ends before the inputs are checked.
        QCOMPARE(s->source_checks - before, flags[i] ? 0 : 2);
    }
}

void TestChip::pattern_refused_with_several_window_sets()
{
    {
        SimLock s;
        s->window_sets = 2;
    }
    c331_manage *chip = c331_manage::create_for_test();
    QCOMPARE(chip->c331_SetPattern(4), -1);
    QCOMPARE(chip->zemApi_IsPatternGen(), 0);
    SimLock s;
    QCOMPARE(s->pattern, 0);
}

void TestChip::changes_served_together()
{
    c331_manage *chip = c331_manage::p_c331_manage;
    QSignalSpy spy(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para);
    screen_write([](ZemRamPara *r) { r->wr16(kQBrightness, 42); });
    screen_write([](ZemRamPara *r) { r->wr16(layer(2) + kLayerSource, 2); });
    screen_write([](ZemRamPara *r) { r->wr16(kFade + kFadeStride * 2 + 2, 33); });
    chip->c331managerdeal();
    chip->c331managerdeal();
    QCOMPARE(codes(spy), (QList<int>{1}));
    SimLock s;
    QCOMPARE(s->led_brightness, 42);
    QCOMPARE(int(s->windows[2].source), 2);
    QCOMPARE(int(s->windows[2].fade_out), 33);
}

void TestChip::change_saved_right_after_request_is_applied()
{
    c331_manage *chip = c331_manage::p_c331_manage;
    ZemRamPara *r = ZemRamPara::p_zemrampara_config;
    screen_write([](ZemRamPara *z) { z->wr16(kQSaturation, 12); });
    // The screen saves at once: the shadow copy already holds the new value.
    std::memcpy(r->RAM_PARA_SHADOW, r->RAM_PARA, sizeof r->RAM_PARA);
    chip->c331managerdeal();
    SimLock s;
    QCOMPARE(int(s->quality[3]), 12);
}

void TestChip::crop_taken_when_window_switches_to_it()
{
    c331_manage *chip = c331_manage::p_c331_manage;
    screen_write([](ZemRamPara *r) {
        r->wr16(crop(3) + kCropWord, 0x8001);
        r->wr16(crop(3) + kCropX, 10);
        r->wr16(crop(3) + kCropY, 20);
        r->wr16(crop(3) + kCropW, 300);
        r->wr16(crop(3) + kCropH, 200);
        r->wr16(layer(0) + kLayerSource, 0x8003);
    });
    chip->c331managerdeal();
    {
        SimLock s;
        QCOMPARE(int(s->windows[0].crop_w), 300);
        QCOMPARE(int(s->windows[0].crop_x), 10);
    }
    // Editing the crop alone leaves the window as it is.
    screen_write([](ZemRamPara *r) { r->wr16(crop(3) + kCropW, 640); });
    chip->c331managerdeal();
    {
        SimLock s;
        QCOMPARE(int(s->windows[0].crop_w), 300);
    }
    // A crop index beyond the table is not read.
    screen_write([](ZemRamPara *r) { r->wr16(layer(0) + kLayerSource, 0x80C8); });
    chip->c331managerdeal();
    SimLock s;
    QCOMPARE(int(s->windows[0].source), 0x80C8);
    QCOMPARE(int(s->windows[0].crop_w), 0);
}

void TestChip::panel_waits_for_led_setup()
{
    c331_manage *chip = c331_manage::p_c331_manage;
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    QSignalSpy spy(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para);
    {
        QMutexLocker lock(&Utils::_led_para_init_mutex);
        g_set_led_para = 1;
        g_set_led_setup = 0;
    }
    screen_write([](ZemRamPara *r) { r->wr16(kLedWidth, 2560); });
    chip->c331managerdeal();
    QCOMPARE(int(chip->update_request()), 1);
    QVERIFY(spy.isEmpty());
    {
        SimLock s;
        QCOMPARE(s->panel_inits, 0);
    }
    int passes = 0;
    while (g_set_led_para == 1 && passes++ < 100) {
        chip->c331managerdeal();
        fpga->fpga_pass();
        advance(1);
    }
    QVERIFY(passes >= 42);
    QVERIFY(!codes(spy).contains(1));
    QCOMPARE(int(g_set_led_para), 0);
    chip->c331managerdeal();
    QCOMPARE(codes(spy).count(1), 1);
    QCOMPARE(int(g_set_led_para), 2);
    {
        SimLock s;
        QCOMPARE(s->panel_inits, 1);
        QCOMPARE(int(s->panel_width), 2560);
    }
    fpga->fpga_pass();
    QCOMPARE(int(g_set_led_para), 0);
    QCOMPARE(int(g_set_led_setup), 0);
    SimLock s;
    QCOMPARE(s->fpga_resets, 1);
}

void TestChip::edid_change_raises_source_request()
{
    c331_manage *chip = c331_manage::p_c331_manage;
    tarvosource *src = tarvosource::p_tarvo_source;
    std::memset(src->edid_request, 0, 4);
    std::memset(src->edid_written, 1, 4);
    screen_write([](ZemRamPara *r) { r->ZemSetEDIDPara(2, 1280, 720, 50); });
    chip->c331managerdeal();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(src->edid_request), 4), QByteArray("\0\0\1\0", 4));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(src->edid_written), 4), QByteArray("\1\1\0\1", 4));
}

void TestChip::led_off_reaches_fpga()
{
    c331_manage *chip = c331_manage::p_c331_manage;
    QVERIFY(fpga_manage::p_fpga_manage->screen_on());
    screen_write([](ZemRamPara *r) { r->wr16(kLedOff, 1); });
    chip->c331managerdeal();
    QVERIFY(!fpga_manage::p_fpga_manage->screen_on());
    QCOMPARE(SimDevice::read_reg(0, 0) & 0x04, 0);
    screen_write([](ZemRamPara *r) { r->wr16(kLedOff, 0); });
    chip->c331managerdeal();
    QVERIFY(fpga_manage::p_fpga_manage->screen_on());
}

void TestChip::font_bits_from_simulation()
{
    QCOMPARE(c331_manage::p_c331_manage->font_bits.load(), 15u);
    fresh_devices("fonts_from_json", "{\"fonts\":6}");
    c331_manage *chip = c331_manage::create_for_test();
    QCOMPARE(chip->font_bits.load(), 6u);
    {
        SimLock s;
        s->fonts = 1;
    }
    chip->read_c331_font();
    QCOMPARE(chip->font_bits.load(), 1u);
}

QTEST_GUILESS_MAIN(TestChip)
#include "tst_chip.moc"
