// The LED size, output port and test pattern screens: the size entry's clamp and Apply into the
// image, the FPGA's LED set-up with the chip following it, the port strip over the simulated FPGA
// and its sim.json, the pattern byte and the chip's pattern generator, keys, looks and refreshes.
#include <QSignalSpy>

#include "chip_request.h"
#include "ledset.h"
#include "mainfixture.h"
#include "my_lineedit.h"
#include "netset.h"
#include "test_chart.h"
#include "testimage.h"

using namespace mainfx;

namespace {
QString field(const char *name)
{
    return uitest::text(g_ledset, QLatin1String(name));
}
void set_field(const char *name, const QString &text)
{
    g_ledset->findChild<My_lineEdit *>(QLatin1String(name))->setText(text);
}
// The keyboard, opened by OK on a field, confirms `text`.
void confirm(const QString &text)
{
    QVERIFY(g_numberkeyboard->isVisible());
    g_numberkeyboard->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(text);
    g_numberkeyboard->on_Button_ok_clicked();
}
// The image's u16 words at the offsets.
QString words(std::initializer_list<int> offsets)
{
    QStringList out;
    for (int off : offsets)
        out << QString::number(uitest::rd16(off));
    return out.join(' ');
}
// The LED size in the image and the shadow, as after a save.
void saved_size(uint16_t w, uint16_t h)
{
    uitest::wr16(Ram::kLedWidth, w);
    uitest::wr16(Ram::kLedHeight, h);
    std::memcpy(uitest::para()->RAM_PARA_SHADOW, uitest::para()->RAM_PARA, Ram::kSize);
}
void open_ledset()
{
    open_option("oo");
    QVERIFY(g_ledset);
}
// The simulated device from sim.json, with or without the FPGA manager.
void device(const QByteArray &json, bool manager = true)
{
    fpga_manage::destroy_for_test();
    if (!json.isNull())
        write_dev_file(QStringLiteral("/sim.json"), json);
    SimDevice::load();
    if (manager)
        fpga_manage::create_for_test();
}
// X, Y, W and H as the port screen shows them.
QString port_fields()
{
    return uitest::texts(g_netset, {"x_lineEdit", "y_lineEdit", "w_lineEdit", "h_lineEdit"}).join(' ');
}
// The four slots' link icons: 1 up, 0 down, ? neither.
QString port_icons()
{
    const QImage up = QPixmap(QStringLiteral(":/png/online_up.png")).toImage();
    const QImage down = QPixmap(QStringLiteral(":/png/offline_up.png")).toImage();
    QString out;
    for (const char *name : {"L1label", "L2label", "L3label", "L4label"}) {
        const QImage shown = g_netset->findChild<QLabel *>(QLatin1String(name))->pixmap(Qt::ReturnByValue).toImage();
        out += shown == up ? '1' : shown == down ? '0' : '?';
    }
    return out;
}
// Ports 1 to 6 at the odd and even offsets of FPGA 0's parameter RAM; the cards give ports 3 and 5
// their links.
const QByteArray kPortsJson = R"({"areas": {"1": [0, 0, 1280, 512], "2": [1280, 1, 640, 513], "3": [258, 259, 260, 261],
    "4": [4660, 291, 17, 4097], "5": [65535, 0, 1, 2], "6": [100, 200, 300, 400]}, "cards": {"3": 1, "5": 2}})";
const char *const kPorts[6] = {"0 0 1280 512", "1280 1 640 513", "258 259 260 261", "4660 291 17 4097", "65535 0 1 2",
                               "100 200 300 400"};
}

class TestOutput : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        fresh();
        c331_manage::create_for_test();
        ChipRequest::request() = 0;
    }
    void cleanup() { uitest::close_all(); }

    // ---- LED size ------------------------------------------------------------------------------
    void size_entry_clamped_data()
    {
        // keys: to the field and OK on it; other: what the other field shows first.
        columns<QString, QString, QString, QString, QString>({"keys", "other", "typed", "w", "h"});
        QTest::newRow("width above the maximum, height gives way") << "o" << "1080" << "9000" << "8188" << "480";
        QTest::newRow("width above the maximum, small height stays") << "o" << "400" << "9000" << "8188" << "400";
        QTest::newRow("width in range, height to the area") << "o" << "1000" << "5000" << "5000" << "786";
        QTest::newRow("width in range, area kept") << "o" << "786" << "5000" << "5000" << "786";
        QTest::newRow("height in range, under the larger area") << "ro" << "1000" << "5000" << "1000" << "5000";
        QTest::newRow("height in range, width to the larger area") << "ro" << "8000" << "2000" << "6500" << "2000";
        QTest::newRow("height above the maximum, width gives way") << "ro" << "1000" << "9000" << "480" << "8188";
        QTest::newRow("the maximum stays") << "o" << "400" << "8188" << "8188" << "400";
        QTest::newRow("one above the maximum") << "o" << "400" << "8189" << "8188" << "400";
        QTest::newRow("the minimum stays") << "o" << "1080" << "64" << "64" << "1080";
        QTest::newRow("below the minimum") << "ro" << "1920" << "63" << "1920" << "64";
        QTest::newRow("zero") << "o" << "1080" << "0" << "64" << "1080";
        QTest::newRow("empty") << "o" << "1080" << "" << "64" << "1080";
        QTest::newRow("leading zeros stay as typed") << "o" << "1080" << "0100" << "0100" << "1080";
        QTest::newRow("a number too long for an int is above the maximum") << "o" << "1080" << "99999999999"
                                                                            << "8188" << "480";
        QTest::newRow("the other field above 16 bits counts as the maximum") << "o" << "40000" << "5000" << "5000"
                                                                              << "786";
    }
    void size_entry_clamped()
    {
        QFETCH(QString, keys);
        QFETCH(QString, other);
        QFETCH(QString, typed);
        open_ledset();
        set_field(keys == "o" ? "lineEdit_ledh" : "lineEdit_ledw", other);
        press(keys);
        confirm(typed);
        QTEST(field("lineEdit_ledw"), "w");
        QTEST(field("lineEdit_ledh"), "h");
        QCOMPARE(words({Ram::kLedWidth, Ram::kLedHeight}), QStringLiteral("1920 1080"));   // nothing applied
    }
    void apply_data()
    {
        // size: the LED size applied, as 1376 1378 1380 and 1408 to 1422 hold it; a new one also
        // resets window 0 to the whole screen and clears the flag words of windows 1 to 5. setup:
        // g_set_led_para, g_set_led_setup.
        columns<bool, bool, QString, QString, QString, QString, bool>({"manager", "running", "w", "h", "size", "setup", "tip"});
        QTest::newRow("same size, FPGA running") << true << true << "1920" << "1080" << "1920 1080" << "0 0" << false;
        QTest::newRow("new size, FPGA running") << true << true << "3840" << "2160" << "3840 2160" << "1 0" << true;
        QTest::newRow("new height only, FPGA not running") << true << false << "1920" << "1200" << "1920 1200" << "0 0" << true;
        QTest::newRow("new size, no FPGA manager") << false << true << "1280" << "1080" << "1280 1080" << "0 0" << true;
        QTest::newRow("above 16 bits applies as the maximum") << true << true << "40000" << "1080" << "8188 1080" << "1 0" << true;
        QTest::newRow("too long for an int applies as the maximum") << true << true << "1920" << "123456789012" << "1920 8188"
                                                                    << "1 0" << true;
        QTest::newRow("above the maximum applies as it") << true << true << "10000" << "1080" << "8188 1080" << "1 0" << true;
        QTest::newRow("leading zeros apply as the number") << true << true << "0640" << "0480" << "640 480" << "1 0" << true;
    }
    void apply()
    {
        QFETCH(bool, manager);
        QFETCH(bool, running);
        QFETCH(QString, size);
        fpga_manage::destroy_for_test();
        SimLock()->fpga_running = running;
        if (manager)
            fpga_manage::create_for_test();
        for (int off = Ram::kSpliceMode; off < Ram::kOut2H + 2; off += 2)
            uitest::wr16(off, 0x5A5A);
        const int w0 = Ram::layer(0);
        const int window0[4][2] = {{Ram::kLayerX, 10}, {Ram::kLayerY, 20}, {Ram::kLayerW, 640}, {Ram::kLayerH, 360}};
        for (const auto &field : window0)
            uitest::wr16(w0 + field[0], uint16_t(field[1]));
        for (int k = 1; k < Ram::kWindows; ++k)
            uitest::wr16(Ram::layer(k) + Ram::kLayerEnable, 0x0101);
        saved_size(1920, 1080);
        open_ledset();
        QFETCH(QString, w);
        QFETCH(QString, h);
        set_field("lineEdit_ledw", w);
        set_field("lineEdit_ledh", h);
        uitest::press(g_ledset, "rro");   // without the chip's pass: the request is still up

        QCOMPARE(int(ChipRequest::request()), 1);
        QCOMPARE(words({1376, 1378, 1380, 1408, 1410, 1412, 1414, 1416, 1418, 1420, 1422}),
                 QStringLiteral("0 %1 0 0 %1 0 0 %1").arg(size));
        // The words between the LED size and the output areas are not the screen's.
        QCOMPARE(words({1382, 1384, 1396, 1406}), QStringLiteral("23130 23130 23130 23130"));
        QCOMPARE(words({w0 + Ram::kLayerX, w0 + Ram::kLayerY, w0 + Ram::kLayerW, w0 + Ram::kLayerH}) + " | " +
                     words({Ram::layer(1), Ram::layer(2), Ram::layer(3), Ram::layer(4), Ram::layer(5)}),
                 size == "1920 1080" ? QStringLiteral("10 20 640 360 | 257 257 257 257 257") : "0 0 " + size + " | 0 0 0 0 0");
        QTEST(QStringLiteral("%1 %2").arg(g_set_led_para.load()).arg(g_set_led_setup.load()), "setup");
        QCOMPARE(int(g_page_focus), int(PAGE_LEDSET));
        // A new size's check mark waits until the parameter file holds it.
        QVERIFY(!g_tip->isVisible());
        uitest::para()->ram_para_save();
        SyncUpdate::finish_writes();
        QTEST(g_tip->isVisible(), "tip");
    }
    // The chip re-initialises the panel only once the FPGA has run its LED set-up sequence; then
    // the FPGA is reset and the parameter file holds the new size.
    void chip_follows_the_led_setup_data()
    {
        columns<bool, int>({"running", "passes"});   // passes: chip passes before the panel follows
        QTest::newRow("FPGA running") << true << 43;   // 11 ticks, then 31, after the first
        QTest::newRow("FPGA not running") << false << 0;
    }
    void chip_follows_the_led_setup()
    {
        QFETCH(bool, running);
        fpga_manage::destroy_for_test();
        SimLock()->fpga_running = running;
        fpga_manage::create_for_test();
        saved_size(1920, 1080);
        const SimState before = *SimLock();
        open_ledset();
        set_field("lineEdit_ledw", "1280");
        press("rro");   // Apply, then the chip's pass
        // Saved at once when the chip follows at once; else with the next announcement.
        QCOMPARE(g_tip->isVisible(), !running);
        int passes = 0;
        for (; passes < 200 && SimLock()->panel_inits == before.panel_inits; ++passes) {
            uitest::tick();
            fpga_manage::p_fpga_manage->fpga_pass();
            QCOMPARE(int(SimLock()->panel_width), 1920);
            const bool setup_over = g_set_led_para == 0;
            chip_pass();
            QVERIFY(SimLock()->panel_inits == before.panel_inits || setup_over);
        }
        QTEST(passes, "passes");
        QCOMPARE(SimLock()->panel_inits, before.panel_inits + 1);
        QCOMPARE(int(SimLock()->panel_width), 1280);
        QCOMPARE(int(SimLock()->out1_width), 1280);
        if (running)
            QCOMPARE(int(SimLock()->screen_status), 5);
        // A panel re-initialised is always followed by the FPGA's reset.
        fpga_manage::p_fpga_manage->fpga_pass();
        QCOMPARE(SimLock()->fpga_resets, before.fpga_resets + 1);
        QCOMPARE(int(g_set_led_para), 0);
        QCOMPARE(file_byte(Ram::kLedWidth) | file_byte(Ram::kLedWidth + 1) << 8, 1280);
        QCOMPARE(field("lineEdit_ledw"), QStringLiteral("1280"));
        QVERIFY(g_tip->isVisible());
    }
    // The check mark says the new size is saved: a save that fails shows none, is said as every
    // failed save is, and leaves the shadow as it was; the next save that takes shows it.
    void check_mark_follows_the_save()
    {
        fpga_manage::destroy_for_test();
        saved_size(1920, 1080);
        open_ledset();
        set_field("lineEdit_ledw", "1280");
        Warnings said;
        RetryEvery no_retry(3600 * 1000);   // the refused save waits for the next announcement
        {
            FullDisk full;
            press("rro");   // Apply, the chip's pass, the save
        }
        QVERIFY(!g_tip->isVisible());
        QCOMPARE(said.count(QStringLiteral("ram_device_info: not saved")), 1);
        QCOMPARE((QList<int>{uitest::rd16(Ram::kLedWidth), uitest::para()->shadow16(Ram::kLedWidth)}),
                 (QList<int>{1280, 1920}));
        uitest::para()->ram_para_save();   // the next announcement
        SyncUpdate::finish_writes();
        QVERIFY(g_tip->isVisible());
        QCOMPARE(file_byte(Ram::kLedWidth) | file_byte(Ram::kLedWidth + 1) << 8, 1280);
    }
    void led_keys_data()
    {
        columns<QString, int, int>({"keys", "page", "focus"});
        QTest::newRow("left from the width goes to Cancel") << "l" << 13 << 3;
        QTest::newRow("right from Cancel to the width") << "lr" << 13 << 0;
        QTest::newRow("letters move as keys") << "RRL" << 13 << 1;
        QTest::newRow("OK on Cancel leaves") << "lo" << 6 << -1;
        QTest::newRow("back leaves") << "rb" << 6 << -1;
        QTest::newRow("mode closes the chain") << "rm" << 1 << -1;
        QTest::newRow("mode under the key lock does nothing") << "r!mM" << 13 << 1;
    }
    void led_keys()
    {
        QFETCH(QString, keys);
        open_ledset();
        press(keys);
        QTEST(int(g_page_focus), "page");
        QFETCH(int, focus);
        QCOMPARE(g_ledset ? g_ledset->focus_index() : -1, focus);
        if (g_ledset) {
            const char *rows[4] = {"lineEdit_ledw", "lineEdit_ledh", "Button_apply", "Button_cancle"};
            QCOMPARE(uitest::look(g_ledset, rows[focus]), LookState::Focus);
            QCOMPARE(uitest::look(g_ledset, rows[(focus + 1) % 4]), LookState::Normal);
        }
        QCOMPARE(open_screens(), QString(g_page_focus == PAGE_MAINWINDOW ? "" : "option outputset"));
    }
    // Touching Apply or Cancel does nothing; touching a field opens its keyboard, the key focus
    // staying where it is.
    void led_touches()
    {
        saved_size(1920, 1080);
        open_ledset();
        set_field("lineEdit_ledw", "1280");
        for (const char *button : {"Button_apply", "Button_cancle"})
            QTest::mouseClick(g_ledset->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        QCOMPARE(int(ChipRequest::request()), 0);
        QCOMPARE(int(g_page_focus), int(PAGE_LEDSET));
        QTest::mouseClick(g_ledset->findChild<My_lineEdit *>(QStringLiteral("lineEdit_ledh")), Qt::LeftButton);
        QCOMPARE(uitest::text(g_numberkeyboard, "label"), QStringLiteral("H"));
        confirm("720");
        QCOMPARE(field("lineEdit_ledh") + ' ' + QString::number(g_ledset->focus_index()), QStringLiteral("720 0"));
    }
    // A refresh replaces the fields only when the image's size differs from the saved one; a
    // changed language re-sets the texts (the keyboard titles have no Russian form).
    void led_refresh()
    {
        saved_size(1920, 1080);
        open_ledset();
        press("o");
        confirm("3000");
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(field("lineEdit_ledw"), QStringLiteral("3000"));
        uitest::wr16(Ram::kLedHeight, 40000);   // as a control link may write it
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(field("lineEdit_ledw") + ' ' + field("lineEdit_ledh"), QStringLiteral("1920 40000"));
        uitest::para()->RAM_PARA[Ram::kLanguage] = LANG_RU;
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(uitest::texts(g_ledset, {"label_ledset", "label_ledw", "label_tip", "Button_apply"}).join('|'),
                 QStringLiteral("Настройка LED|Ширина|Ширина:8188(px)Высота:8188(px)|OK"));
        press("o");
        QCOMPARE(uitest::text(g_numberkeyboard, "label"), QStringLiteral("W"));
        g_numberkeyboard->on_Button_close_clicked();
        press("b");
        QCOMPARE(uitest::text(g_outputset, "label_info"), QStringLiteral("Текущий размер LED (px): 1920x40000"));
    }

    // ---- test patterns -------------------------------------------------------------------------
    void patterns_data()
    {
        // twin: testimage over the advanced page instead of test_chart; announced: the chip
        // passes that served a request.
        columns<bool, QString, int, int, int, QString>({"twin", "keys", "pattern", "page", "announced", "open"});
        QTest::newRow("OK on red") << false << "o" << 1 << 16 << 1 << "option";
        QTest::newRow("the sixth") << false << "rrrrro" << 6 << 16 << 1 << "option";
        QTest::newRow("OK twice asks the chip twice") << false << "oo" << 1 << 16 << 2 << "option";
        QTest::newRow("Close wraps to red") << false << "lro" << 1 << 16 << 1 << "option";
        QTest::newRow("letters") << false << "RO" << 2 << 16 << 1 << "option";
        QTest::newRow("left wraps to Close, OK turns off and leaves") << false << "lo" << 0 << 5 << 1 << "option";
        QTest::newRow("a pattern, then Close") << false << "rrolllo" << 0 << 5 << 2 << "option";
        QTest::newRow("back turns it off") << false << "rrob" << 0 << 5 << 2 << "option";
        QTest::newRow("back with none on still asks the chip") << false << "b" << 0 << 5 << 1 << "option";
        QTest::newRow("mode leaves it on") << false << "rrom" << 3 << 1 << 1 << "";
        QTest::newRow("mode under the key lock does nothing") << false << "rro!mM" << 3 << 16 << 1 << "option";
        QTest::newRow("twin: a pattern") << true << "rrrro" << 5 << 27 << 1 << "option advancedoption";
        QTest::newRow("twin: back to the advanced page") << true << "rrob" << 0 << 12 << 2 << "option advancedoption";
        QTest::newRow("twin: Close") << true << "lo" << 0 << 12 << 1 << "option advancedoption";
        QTest::newRow("twin: mode closes the advanced page too") << true << "rrrom" << 4 << 1 << 1 << "";
    }
    void patterns()
    {
        QFETCH(bool, twin);
        QFETCH(QString, keys);
        QFETCH(int, pattern);
        if (twin) {
            open_option("lo");
            open_screen(g_testimage, new testimage);
        } else {
            open_option("rrrrro");
        }
        QSignalSpy announced(uitest::para(), &ZemRamPara::sig_update_para);
        press(keys);
        QCOMPARE(int(uitest::para()->RAM_PARA[Ram::kTestPattern]), pattern);
        QCOMPARE(SimLock()->pattern, pattern);
        QTEST(int(g_page_focus), "page");
        QTEST(int(announced.count()), "announced");
        QTEST(open_screens(), "open");
        QCOMPARE(bool(g_test_chart || g_testimage), g_page_focus == PAGE_TEST_CHART || g_page_focus == testimage::kPage);
        // While the generator is on the chip leaves the inputs alone.
        const int checks = SimLock()->source_checks;
        chip_pass();
        QCOMPARE(SimLock()->source_checks, checks + (pattern ? 0 : 1));
    }
    // The focus frame marks the focus only; a new opening starts on pattern 1 whatever is on.
    void pattern_focus()
    {
        open_option("rrrrro");
        press("l");
        QCOMPARE(uitest::look(g_test_chart, "Button_closetest"), LookState::Focus);
        QCOMPARE(uitest::look(g_test_chart, "label_test1"), LookState::Normal);
        press("rrrrro");   // pattern 5
        QCOMPARE(uitest::look(g_test_chart, "label_test5"), LookState::Focus);
        QCOMPARE(uitest::look(g_test_chart, "Button_closetest"), LookState::Normal);
        press("m");
        open_option("rrrrro");
        QCOMPARE(g_test_chart->focus_index(), 0);
        QCOMPARE(uitest::look(g_test_chart, "label_test1"), LookState::Focus);
        QCOMPARE(SimLock()->pattern, 5);
        QSignalSpy announced(uitest::para(), &ZemRamPara::sig_update_para);
        for (const char *name : {"Button_closetest", "label_test3"})
            QTest::mouseClick(g_test_chart->findChild<QWidget *>(QLatin1String(name)), Qt::LeftButton);
        chip_pass();
        QCOMPARE(announced.count(), 0);
        QCOMPARE(int(g_page_focus), int(PAGE_TEST_CHART));
    }
    // A language change reaches test_chart through the change refresh; its twin, which the refresh
    // never selects, re-sets its own texts when its refresh is called. Both then show what a
    // pattern screen built in that language shows; the gallery holds the texts themselves.
    void pattern_texts_follow_the_language()
    {
        const auto shown = [](const QWidget *w) {
            return uitest::texts(w, {"label_testimage", "label_red", "label_green", "label_blue", "label_white", "label_black",
                                     "label_color", "label_hline", "label_wline", "Button_closetest"});
        };
        open_option("rrrrro");
        auto *twin = new testimage;
        QStringList before = shown(g_test_chart);
        for (int language : {LANG_RU, LANG_ZH_HANT, LANG_EN}) {
            uitest::para()->RAM_PARA_SHADOW[Ram::kLanguage] = 0xFF;   // whatever the language, it changed
            uitest::para()->RAM_PARA[Ram::kLanguage] = uint8_t(language);
            twin->syncUpdate(CHANGE_PARA);
            uitest::para()->test_signal(CHANGE_PARA);
            const test_chart built;
            QVERIFY(shown(&built) != before);
            QCOMPARE(shown(g_test_chart), shown(&built));
            QCOMPARE(shown(twin), shown(&built));
            before = shown(&built);
        }
    }

    // ---- output ports --------------------------------------------------------------------------
    void port_strip_data()
    {
        // port: the selected one (1..6); first: the first in the strip; slot: the selected slot.
        columns<QString, int, int, int, int, QString>({"keys", "page", "port", "first", "slot", "icons"});
        QTest::newRow("opening") << "" << 14 << 1 << 1 << 0 << "0010";
        QTest::newRow("right thrice: port 4 in the last slot") << "rrr" << 14 << 4 << 1 << 3 << "0010";
        QTest::newRow("right again scrolls") << "rrrr" << 14 << 5 << 2 << 3 << "0101";
        QTest::newRow("to port 6") << "rrrrr" << 14 << 6 << 3 << 3 << "1010";
        QTest::newRow("no wrap after port 6") << "rrrrrr" << 14 << 6 << 3 << 3 << "1010";
        QTest::newRow("left thrice from port 6") << "rrrrrlll" << 14 << 3 << 3 << 0 << "1010";
        QTest::newRow("left again scrolls back") << "rrrrrllll" << 14 << 2 << 2 << 0 << "0101";
        QTest::newRow("back to port 1, no wrap") << "rrrrrllllll" << 14 << 1 << 1 << 0 << "0010";
        QTest::newRow("OK does nothing; letters move") << "ROR" << 14 << 3 << 1 << 2 << "0010";
        QTest::newRow("back") << "rb" << 6 << 0 << 0 << 0 << "";
        QTest::newRow("mode") << "rm" << 1 << 0 << 0 << 0 << "";
        QTest::newRow("mode under the key lock") << "r!mM" << 14 << 2 << 1 << 1 << "0010";
    }
    void port_strip()
    {
        QFETCH(QString, keys);
        QFETCH(int, port);
        QFETCH(int, slot);
        device(kPortsJson);
        open_option("oro");
        press(keys);
        QTEST(int(g_page_focus), "page");
        QCOMPARE(g_netset != nullptr, g_page_focus == PAGE_NETSET);
        if (!g_netset)
            return;
        QCOMPARE(g_netset->selected_port() + 1, port);
        QTEST(g_netset->first_port() + 1, "first");
        QCOMPARE(g_netset->selected_slot(), slot);
        QCOMPARE(port_fields(), QLatin1String(kPorts[port - 1]));
        QTEST(port_icons(), "icons");
        QCOMPARE(g_netset->findChild<QFrame *>("net_frame")->geometry(), QRect(24 + 68 * slot, 40, 58, 41));
        for (int k = 0; k < netset::kSlots; ++k)
            QCOMPARE(uitest::look(g_netset, QStringLiteral("LED%1Button").arg(k + 1)),
                     k == slot ? LookState::Focus : LookState::Normal);
        const QString first = QString::number(g_netset->first_port() + 1);
        QCOMPARE(uitest::text(g_netset, "LED1label"), "LED" + first);
    }
    void port_device_data()
    {
        // fields and icons of port 1 and ports 1 to 4.
        columns<QByteArray, bool, QString, QString>({"json", "manager", "fields", "icons"});
        QTest::newRow("no sim.json: today's area and links") << QByteArray() << true << "0 0 1280 512" << "1100";
        QTest::newRow("an area") << QByteArray(R"({"areas": {"1": [5, 6, 7, 8]}})") << true << "5 6 7 8" << "1100";
        QTest::newRow("bad areas are left out")
            << QByteArray(R"({"areas": {"1": [5, 6, 7], "x": [1, 2, 3, 4], "17": [1, 2, 3, 4]}})") << true
            << "0 0 1280 512" << "1100";
        QTest::newRow("a value beyond 16 bits") << QByteArray(R"({"areas": {"1": [70000, 0, 0, 0]}})") << true
                                                << "0 0 1280 512" << "1100";
        QTest::newRow("links follow the cards") << QByteArray(R"({"cards": {"2": 1, "4": 3}})") << true
                                                << "0 0 1280 512" << "0101";
        QTest::newRow("links given win") << QByteArray(R"({"cards": {"2": 1}, "links": [1]})") << true
                                         << "0 0 1280 512" << "1000";
        QTest::newRow("FPGA not running: no links") << QByteArray(R"({"fpga": {"running": false}})") << true
                                                    << "0 0 1280 512" << "0000";
        QTest::newRow("no FPGA manager") << QByteArray("{}") << false << "0 0 0 0" << "0000";
    }
    void port_device()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, manager);
        device(json, manager);
        open_option("oro");
        QTEST(port_fields(), "fields");
        QTEST(port_icons(), "icons");
    }
    // Links are read at opening and on left and right, not on a refresh; a language change renames
    // the ports, the title and the W and H captions, not X and Y.
    void port_refresh()
    {
        device(kPortsJson);
        g_language = LANG_ZH_HANS;
        open_option("oro");
        QCOMPARE(uitest::texts(g_netset, {"label_netset", "LED1label", "LED4label", "w_label", "x_label"}).join('|'),
                 QStringLiteral("网口输出|网口LED1|网口LED4|宽|X"));
        SimLock()->links = 0x0001;
        uitest::para()->test_signal(CHANGE_PORT_LINKS);
        QCOMPARE(port_icons(), QStringLiteral("0010"));
        press("r");
        QCOMPARE(port_icons(), QStringLiteral("1000"));
        uitest::para()->RAM_PARA[Ram::kLanguage] = LANG_RU;
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(uitest::texts(g_netset, {"label_netset", "LED1label", "LED4label", "w_label", "x_label"}).join('|'),
                 QStringLiteral("Настройка LAN|LED1|LED4|Ширина|X"));
        QCOMPARE(port_fields(), QLatin1String(kPorts[1]));
    }
};

QTEST_MAIN(TestOutput)
#include "test_output.moc"
