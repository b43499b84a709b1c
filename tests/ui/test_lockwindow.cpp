#include <QFrame>

#include "chip_request.h"
#include "mainfixture.h"

using namespace mainfx;
using Setup = std::function<void()>;
Q_DECLARE_METATYPE(Setup)

namespace {
void set_layer(int w, int off, uint16_t v) { uitest::wr16(Ram::layer(w) + off, v); }
void set_crop(int index, int source, int number, uint16_t w, uint16_t h)
{
    uitest::wr16(Ram::crop(index), number ? Ram::crop_word(number, source) : 0);
    uitest::wr16(Ram::crop(index) + Ram::kCropW, w);
    uitest::wr16(Ram::crop(index) + Ram::kCropH, h);
}
// Card i (0..3) as the user reads it: badge|name|status, then the badge's marks.
QString card(int i)
{
    const QList<QWidget *> cards = g_lockwindow->card_frame()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    const QList<QLabel *> labels = cards.value(i)->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    QString text = labels.value(0)->text() + '|' + labels.value(1)->text() + '|' + labels.value(2)->text();
    for (QLabel *mark : labels.value(0)->findChildren<QLabel *>())
        text += mark->geometry() == QRect(0, 0, 16, 16) ? " freeze" : mark->geometry() == QRect(28, 0, 12, 12) ? " current" : " ?";
    return text;
}
void show_home() { open_screen(g_lockwindow, new LockWindow, false); }
}

class TestLockWindow : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        start();
        for (auto [s, w, h, f] : {std::tuple{0, 0, 0, 0}, {1, 1920, 1080, 60}, {2, 1280, 720, 50}, {3, 3840, 2160, 30}})
            uitest::set_timing(s, w, h, f);
        for (int w = 0; w < 4; ++w) {
            set_layer(w, Ram::kLayerEnable, w < 2 ? 1 : 0);
            set_layer(w, Ram::kLayerSource, 1);
            set_layer(w, Ram::kLayerOutput, 0);
        }
        uitest::wr16(Ram::kLedOff, 0);
        std::memset(uitest::para()->RAM_PARA + Ram::kCropTable, 0, Ram::kCropCount * Ram::kCropStride);
    }
    void cleanup() { uitest::close_all(); }
    void header()
    {
        // The contrast is signed; audio window 7 stands for window 0.
        for (auto [off, v] : {std::pair{Ram::kLedWidth, 1920}, {Ram::kLedHeight, 1080}, {Ram::kQBrightness, 80},
                              {Ram::kQContrast, 0xFFFF}, {Ram::layer(0) + Ram::kLayerAudio, 0x8000}})
            uitest::wr16(off, uint16_t(v));
        uitest::para()->RAM_PARA[Ram::kAudioWindow] = 7;
        g_str_ip = QStringLiteral("192.168.7.9");
        show_home();
        QCOMPARE(uitest::texts(g_lockwindow, {"label_input", "label_bright", "label_contrast", "label_IPaddr"}),
                 (QStringList{"LED size:1920 x 1080", "80", "-1", "192.168.7.9"}));
        QVERIFY(!g_lockwindow->findChild<QPushButton *>("main_Button")->isVisible() && g_lockwindow->volume_check());
        QVERIFY(uitest::shows(g_lockwindow, "label_volume_icon", ":/png/volume_open.png"));
        // A refresh redraws only what differs from the file's copy: the LED line is left alone
        // while the size stays; brightness, contrast and the sound follow.
        uitest::para()->save_image_file();
        std::memcpy(uitest::para()->RAM_PARA_SHADOW, uitest::para()->RAM_PARA, Ram::kSize);
        g_lockwindow->findChild<QLabel *>("label_input")->setText(QStringLiteral("unchanged"));
        set_layer(0, Ram::kLayerAudio, 0);
        uitest::wr16(Ram::kQBrightness, 55);
        uitest::wr16(Ram::kQContrast, 66);
        g_lockwindow->syncUpdate();
        QCOMPARE(uitest::texts(g_lockwindow, {"label_input", "label_bright", "label_contrast"}),
                 (QStringList{"unchanged", "55", "66"}));
        QVERIFY(!g_lockwindow->volume_check() && uitest::shows(g_lockwindow, "label_volume_icon", ":/png/volume_close.png"));
        // The size and the language.
        uitest::wr16(Ram::kLedWidth, 640);
        uitest::para()->RAM_PARA[768] = 3;
        g_lockwindow->syncUpdate();
        QCOMPARE(int(g_language), 3);
        QCOMPARE(uitest::text(g_lockwindow, "label_input"), QStringLiteral("Led:640 x 1080"));
    }
    void cards_data()
    {
        columns<Setup, int, QString>({"setup", "window", "card"});
        const auto row = [](const char *name, const Setup &setup, int window, const char *card) {
            QTest::newRow(name) << setup << window << card;
        };
        row("window 0 shows its source even when not enabled", [] { set_layer(0, Ram::kLayerEnable, 0); }, 0,
            "1|HDMI1|1920x1080@60Hz");
        row("enable word 3 is not enabled", [] { set_layer(1, Ram::kLayerEnable, 3); }, 1, "2||Close");
        row("no height is no signal", [] { uitest::set_timing(1, 1920, 0, 60); }, 0, "1|HDMI1|No signal");
        row("DVI without signal", [] { set_layer(1, Ram::kLayerSource, 0); }, 1, "2|DVI|No signal");
        row("black window", [] { set_layer(0, Ram::kLayerOutput, 1); }, 0, "1|HDMI1|Black");
        row("frozen window", [] { set_layer(0, Ram::kLayerOutput, 2); }, 0, "1|HDMI1|1920x1080@60Hz freeze");
        row("LED off shows black", [] { uitest::wr16(Ram::kLedOff, 1); }, 1, "2|HDMI1|Black");
        row("LED off keeps a window's freeze mark", [] { uitest::wr16(Ram::kLedOff, 1), set_layer(1, Ram::kLayerOutput, 2); }, 1,
            "2|HDMI1|Black freeze");
        row("LED-off word 2 freezes every enabled card", [] { uitest::wr16(Ram::kLedOff, 2); }, 1,
            "2|HDMI1|1920x1080@60Hz freeze");
        row("crop shows its number and size with the source's rate",
            [] { set_crop(0, 2, 2, 640, 360), set_layer(0, Ram::kLayerSource, 0x8000); }, 0, "1|HDMI2_Crop2|640x360@50Hz");
        // After deletions table entry 5 holds crop 1 of HDMI3: first by number, last in the table.
        row("crop after deletions names the entry's own crop", [] {
            set_crop(2, 3, 3, 300, 300), set_crop(4, 3, 2, 200, 200), set_crop(5, 3, 1, 100, 100);
            set_layer(0, Ram::kLayerSource, 0x8005);
        }, 0, "1|HDMI3_Crop1|100x100@30Hz");
        row("a deleted crop shows its whole source",   // not in use, its source byte still 1
            [] { uitest::wr16(Ram::crop(3), 0x0001), set_layer(0, Ram::kLayerSource, 0x8003); }, 0, "1|HDMI1|1920x1080@60Hz");
        row("a crop index past the table counts as DVI", [] { set_layer(0, Ram::kLayerSource, 0x80FF); }, 0, "1|DVI|No signal");
    }
    // The row's window is the selected image: only its card carries the current mark.
    void cards()
    {
        QFETCH(Setup, setup);
        QFETCH(int, window);
        setup();
        g_image_current = static_cast<uint8_t>(window);
        show_home();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(card(i).contains(QStringLiteral(" current")), i == window);
        QTEST(card(window).remove(QStringLiteral(" current")), "card");
    }
    // A signal that drops and comes back to the row the shadow holds: the card follows the image.
    void signal_back_to_the_saved_row()
    {
        std::memcpy(uitest::para()->RAM_PARA_SHADOW, uitest::para()->RAM_PARA, Ram::kSize);
        g_image_current = 1;
        show_home();
        QStringList seen{card(0)};
        for (uint16_t w : {0, 1920}) {
            uitest::set_timing(1, w, 1080, 60);
            uitest::para()->test_signal(CHANGE_SOURCE_TIMING);
            seen << card(0);
        }
        QCOMPARE(seen, (QStringList{"1|HDMI1|1920x1080@60Hz", "1|HDMI1|No signal", "1|HDMI1|1920x1080@60Hz"}));
    }
    // Display names (elided; one switched off), a change reaching the screen by the refresh, a touch.
    void names_refresh_and_touch()
    {
        write_dev_file(QStringLiteral("/data/configs/alias.json"),
                       R"({"namelist":{"source":[{"id":1,"valid":"on","name":"Studio camera number one on the far left of the stage"},
                          {"id":2,"valid":"off","name":"Hidden"}]}})");
        set_layer(1, Ram::kLayerSource, 2);
        show_home();
        QVERIFY(card(0).startsWith(QStringLiteral("1|Studio")) && card(0).contains(QStringLiteral("\u2026|1920x1080@60Hz")));
        QCOMPARE(card(1), QStringLiteral("2|HDMI2|1280x720@50Hz"));
        {
            ChipWrite write;
            set_layer(1, Ram::kLayerOutput, 1);
        }
        chip_pass();
        QCOMPARE(card(1), QStringLiteral("2|HDMI2|Black"));
        QCOMPARE(file_byte(Ram::layer(1) + Ram::kLayerOutput), 1);
        // The filter takes mouse events only: a deferred delete of a watched widget still happens.
        QPointer<QWidget> frame = g_lockwindow->card_frame();
        frame->deleteLater();
        uitest::flush();
        QVERIFY(frame.isNull());
        QPointer<LockWindow> home = g_lockwindow;
        QTest::mouseClick(home->findChild<QWidget *>("widget"), Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
        uitest::flush();
        QVERIFY(home.isNull());
        QCOMPARE(int(g_page_focus), 1);
    }
    // The program starts in the language its parameter file was saved in, through the language
    // rule with the offered languages of the configuration.
    void language_from_the_file_at_start_data()
    {
        // byte 768 in the file, offered languages -> the language shown
        columns<int, int, int>({"saved", "offered", "shown"});
        const char *names[] = {"Simplified Chinese", "English", "Russian", "Vietnamese", "Traditional Chinese"};
        for (int lang = 0; lang < 5; ++lang)
            QTest::newRow(names[lang]) << lang << 0x1F << lang;
        QTest::newRow("Russian not offered") << 2 << 0x1B << 0;
        QTest::newRow("no such language") << 9 << 0x1E << 1;
    }
    void language_from_the_file_at_start()
    {
        QFETCH(int, saved);
        QFETCH(int, offered);
        QFETCH(int, shown);
        const char *closed[] = {"未开启", "Close", "Откл", "Đóng", "未開啟"};
        const char *led[] = {"LED屏:1920 x 1080", "LED size:1920 x 1080", "Размер LED:1920 x 1080", "Led:1920 x 1080",
                             "LED屏:1920 x 1080"};
        uitest::wr16(Ram::kLedWidth, 1920);
        uitest::wr16(Ram::kLedHeight, 1080);
        uitest::para()->RAM_PARA[Ram::kLanguage] = uint8_t(saved);
        QVERIFY(uitest::para()->save_image_file());
        ConfigEngine::pInstance()->write_config_variant(ConfigItem::LcdLangValid, QString::number(offered));
        // Restarted as start-up does it: the configuration, then the store, then the home screen.
        g_language = uint8_t((shown + 1) % 5);
        ZemRamPara::destroy_for_test();
        ConfigEngine::destroy_for_test();
        ConfigEngine::pInstance();
        ZemRamPara::pInstance();
        SyncUpdate::pInstance();
        show_home();
        QCOMPARE((QStringList{uitest::text(g_lockwindow, "label_input"), card(2)}),
                 (QStringList{QString::fromUtf8(led[shown]), QStringLiteral("3||") + QString::fromUtf8(closed[shown])}));
        QCOMPARE((QList<int>{g_language, uitest::para()->RAM_PARA[Ram::kLanguage]}), (QList<int>{shown, shown}));
    }
};

QTEST_MAIN(TestLockWindow)
#include "test_lockwindow.moc"
