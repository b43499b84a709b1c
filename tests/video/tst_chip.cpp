#include <QtTest>
#include <cstring>

#include "../fpga/devicefixture.h"
#include "omenu.h"
#include "wakeup.h"

using namespace Ram;

static ZemRamPara *img() { return ZemRamPara::p_zemrampara_config; }

class TestVideo : public QObject
{
    Q_OBJECT
    c331_manage *chip = nullptr;

private slots:
    void init()
    {
        fresh_devices(QTest::currentTestFunction());
        fpga_manage::create_for_test();
        tarvosource::create_for_test();
        chip = c331_manage::create_for_test();
    }
    void pattern_flag_data()
    {
        // patterns: stored at 864, one request each; flags: zemApi_IsPatternGen after each pass
        columns<int, QList<int>, QList<int>>({"window_sets", "patterns", "flags"});
        QTest::newRow("on then off") << 1 << QList<int>{3, 0} << QList<int>{1, 0};
        QTest::newRow("pattern to pattern") << 1 << QList<int>{6, 8, 0} << QList<int>{1, 1, 0};
        QTest::newRow("unknown pattern switches off") << 1 << QList<int>{2, 40} << QList<int>{1, 0};
        QTest::newRow("refused with two window sets") << 2 << QList<int>{4} << QList<int>{0};
    }
    void pattern_flag()
    {
        QFETCH(int, window_sets);
        QFETCH(QList<int>, patterns);
        QFETCH(QList<int>, flags);
        SimLock()->window_sets = window_sets;
        chip = c331_manage::create_for_test();
        QCOMPARE(chip->c331_SetPattern(patterns[0]), window_sets > 1 ? -1 : 0);
        chip->c331_SetPattern(0);
        for (int i = 0; i < patterns.size(); ++i) {
            const int p = patterns[i];
            chip_write([p] { img()->RAM_PARA[kTestPattern] = uint8_t(p); });
            const int before = sim().source_checks;
            chip->c331managerdeal();
            chip->c331managerdeal();
            // While the generator is on, the pass ends before the inputs are checked.
            QCOMPARE((QList<int>{chip->zemApi_IsPatternGen(), sim().pattern, sim().source_checks - before}),
                     (QList<int>{flags[i], flags[i] ? p : 0, flags[i] ? 0 : 2}));
        }
    }
    void changed_fields_applied_in_one_pass()
    {
        Codes spy;
        chip->c331managerdeal();
        QVERIFY(spy.isEmpty());
        std::memset(tarvosource::p_tarvo_source->edid_request, 0, 4);
        std::memset(tarvosource::p_tarvo_source->edid_written, 1, 4);
        chip_write([] {
            img()->wr16(kQBrightness, 42);
            img()->wr16(kQSaturation, 12);
            img()->wr16(layer(2) + kLayerSource, 2);
            img()->wr16(kFade + kFadeStride * 2 + 2, 33);
            img()->wr16(kLedOff, 1);
        });
        img()->ZemSetEDIDPara(2, 1280, 720, 50);   // a second request before the pass
        {
            QMutexLocker lock(&chip->mutex());   // the request value is the code announced
            chip->update_request() = 7;
        }
        // Saved at once, as the other-settings screen does: the shadow already holds every change.
        std::memcpy(img()->RAM_PARA_SHADOW, img()->RAM_PARA, sizeof img()->RAM_PARA);
        chip->c331managerdeal();
        chip->c331managerdeal();
        QVERIFY(spy.all() == QList<int>{7} && chip->update_request() == 0);
        // Window, fade, brightness, saturation, the LED screen's on bit.
        QCOMPARE((QList<int>{sim().windows[2].source, sim().windows[2].fade_out, sim().led_brightness, sim().quality[3],
                             SimDevice::read_reg(0, 0) & 0x04}), (QList<int>{2, 33, 42, 12, 0}));
        const char *src = reinterpret_cast<const char *>(tarvosource::p_tarvo_source->edid_request);
        QCOMPARE(QByteArray(src, 8), QByteArray("\0\0\1\0\1\1\0\1", 8));
    }
    void crop_taken_when_window_switches_to_it()
    {
        chip_write([] {
            img()->wr16(crop(3) + kCropWord, 0x8001);
            img()->wr16(crop(3) + kCropX, 10);
            img()->wr16(crop(3) + kCropW, 300);
            img()->wr16(crop(200) + kCropW, 999);   // beyond the table
            img()->wr16(layer(0) + kLayerSource, 0x8003);
        });
        chip->c331managerdeal();
        QCOMPARE((QList<int>{sim().windows[0].crop_x, sim().windows[0].crop_w}), (QList<int>{10, 300}));
        // Editing the crop alone leaves the window as it is; an index beyond the table is not read.
        chip_write([] { img()->wr16(crop(3) + kCropW, 640); });
        chip->c331managerdeal();
        QCOMPARE(sim().windows[0].crop_w, uint16_t(300));
        chip_write([] { img()->wr16(layer(0) + kLayerSource, 0x80C8); });
        chip->c331managerdeal();
        QCOMPARE((QList<int>{sim().windows[0].source, sim().windows[0].crop_w}), (QList<int>{0x80C8, 0}));
    }
    void panel_waits_for_led_setup()
    {
        fpga_manage *fpga = fpga_manage::p_fpga_manage;
        Codes spy;
        g_set_led_para = 1;
        chip_write([] { img()->wr16(kLedWidth, 2560); });
        int passes = 0;
        while (g_set_led_para == 1 && passes++ < 100) {
            // Both threads keep the 10 ms beat while the sequence runs (it counts ticks, and the
            // request held back is looked at again on each), the FPGA's until it ends it.
            QCOMPARE(chip->c331managerdeal().count(), 10);
            QCOMPARE(int(chip->update_request()), 1);
            const auto pause = fpga->fpga_pass();
            QCOMPARE(pause.count(), g_set_led_para == 0 ? 50 : 10);
            advance(1);
        }
        QVERIFY(passes >= 42 && !spy.all().contains(1));   // the FPGA side announces its ports meanwhile
        QVERIFY(chip->c331managerdeal() == Wakeup::kUntilWoken);
        QCOMPARE((QList<int>{int(spy.all().count(1)), g_set_led_para, sim().panel_inits, sim().panel_width}),
                 (QList<int>{1, 2, 1, 2560}));
        QCOMPARE(fpga->fpga_pass().count(), 50);   // idle again: the card search's pace
        QVERIFY(g_set_led_para == 0 && sim().fpga_resets == 1);
    }
    // Idle, the FPGA thread searches every 50 ms, but a PC command's hold ends on its tick; a job
    // is stepped every 10 ms.
    void fpga_pauses()
    {
        fpga_manage *fpga = fpga_manage::p_fpga_manage;
        QCOMPARE(fpga->fpga_pass().count(), 50);
        pc_cmd_valid = 1;
        pc_cmd_time = G_timeTicks - 78;
        QCOMPARE(fpga->fpga_pass().count(), 30);   // the hold ends once 81 ticks have passed
        advance(3);
        QCOMPARE(fpga->fpga_pass().count(), 50);
        QCOMPARE(int(pc_cmd_valid), 0);
        g_send_para.job_word = JOB_RECOVERY_QUERY;
        QCOMPARE(fpga->fpga_pass().count(), 10);
    }
    // The chip thread sleeps until it is handed work: a raised request is served at once, with no
    // pass before it, and the source thread's measurement brings a pass that checks the inputs.
    void chip_thread_woken_for_its_work()
    {
        chip->start_thread();
        ZEM_TRY_VERIFY(chip->thread_waits_for_work());
        const uint64_t idle = chip->thread_passes();
        const int checks = sim().source_checks;
        chip_write([] { img()->wr16(kQBrightness, 17); });
        ZEM_TRY_VERIFY(sim().led_brightness == 17 && chip->thread_waits_for_work());
        QCOMPARE(chip->thread_passes(), idle + 1);
        tarvosource::p_tarvo_source->source_pass();
        ZEM_TRY_VERIFY(sim().source_checks == checks + 2 && chip->thread_waits_for_work());
        QCOMPARE(chip->thread_passes(), idle + 2);
        c331_manage::destroy_for_test();
        chip = nullptr;
    }
    // The OSD overlay files of the user modes.
    void reads_overlays()
    {
        write_dev_file(QStringLiteral("/data/modes/MO01.json"), R"j({"osdcount": 2, "oactcount": 1, "menu": [
            {"w": 300, "layer": "top", "backpara": {"enable": "on", "color": "0x102030"},
             "fontpara": {"fontw": 32, "verticalspace": 4, "color": "0xFFee00"}, "texts": "Hi\nthere"},
            {"h_align": "center", "backpara": {"color": "red; image: url(x)"}}, {"x": 2}, {"x": 3}]})j");
        OSD_LIST list;
        QCOMPARE(get_json_omenu_para("/data/modes/MO01.json", &list), 0);
        const OMENU_PARA &o = list.menu[0];
        QCOMPARE((QList<int>{o.osdcount, o.oactcount, o.w, o.fontw, o.verticalspace, list.menu[2].x}),
                 (QList<int>{2, 1, 300, 32, 4, 2}));
        QCOMPARE((QStringList{o.back_layer.c_str(), o.back_color.c_str(), o.font_color.c_str(), o.texts.c_str(),
                              o.h_align.c_str(), list.menu[1].h_align.c_str(), list.menu[1].v_align.c_str()}),
                 (QStringList{"top", "0x102030", "0xFFee00", "Hi\nthere", "left", "center", "top"}));
        QCOMPARE(list.menu[1].back_color, std::string());   // not a colour: not taken
    }
    void bad_file_keeps_record()
    {
        OSD_LIST list;
        list.menu[0].x = 44;
        list.menu[1].texts = "kept";
        for (const QByteArray &content : {QByteArray(), QByteArray(R"({"osdcount": 1, "menu": [{"x": 5}, {"x": 6)")}) {
            if (!content.isNull())
                write_dev_file(QStringLiteral("/data/modes/MO02.json"), content);
            list.menu[0].osdcount = 3;
            QCOMPARE(get_json_omenu_para("/data/modes/MO02.json", &list), 255);
            QCOMPARE((QList<int>{list.menu[0].osdcount, list.menu[0].x}), (QList<int>{0, 44}));
            QCOMPARE(list.menu[1].texts, std::string("kept"));
        }
        // A value of the wrong kind keeps what the record held.
        write_dev_file(QStringLiteral("/data/modes/MO02.json"), R"({"osdcount": 1, "menu": [{"x": "wide", "w": 9}]})");
        QCOMPARE(get_json_omenu_para("/data/modes/MO02.json", &list), 0);
        QCOMPARE((QList<int>{list.menu[0].x, list.menu[0].w}), (QList<int>{44, 9}));
    }
};

QTEST_GUILESS_MAIN(TestVideo)
#include "tst_chip.moc"
