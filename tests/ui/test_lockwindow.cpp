#include <QFrame>

#include "chip_request.h"
#include "mainfixture.h"
#include "ui_lockwindow.h"

using Setup = std::function<void()>;
Q_DECLARE_METATYPE(Setup)

namespace {
constexpr int L = Qt::Key_F4, R = Qt::Key_F5, OK = Qt::Key_F6, BACK = Qt::Key_PowerOff, MODE = Qt::Key_Stop;

void set_layer(int w, int off, uint16_t v)
{
    uitest::wr16(Ram::layer(w) + off, v);
}

void set_timing(int s, uint16_t w, uint16_t h, uint16_t f)
{
    uitest::wr16(Ram::source_timing(s), w);
    uitest::wr16(Ram::source_timing(s) + 2, h);
    uitest::wr16(Ram::source_timing(s) + 4, f);
}

void set_crop(int index, int source, int number, uint16_t w, uint16_t h)
{
    const uint16_t word = number ? static_cast<uint16_t>(0x8000 | ((number - 1) << 8) | source) : 0;
    uitest::wr16(Ram::crop(index), word);
    uitest::wr16(Ram::crop(index) + Ram::kCropW, w);
    uitest::wr16(Ram::crop(index) + Ram::kCropH, h);
}

// The labels of card i (0..3) in the card frame: badge, name, status, in building order.
struct Card
{
    QLabel *badge = nullptr;
    QString name;
    QString status;
    bool freeze = false;
    bool current = false;
};

Card card(int i)
{
    Card c;
    QList<QLabel *> labels;
    for (QObject *o : g_lockwindow->card_frame()->children())
        if (auto *l = qobject_cast<QLabel *>(o))
            labels << l;
    c.badge = labels.value(3 * i);
    c.name = labels.value(3 * i + 1)->text();
    c.status = labels.value(3 * i + 2)->text();
    for (QLabel *mark : c.badge->findChildren<QLabel *>()) {
        if (mark->geometry() == QRect(0, 0, 16, 16))
            c.freeze = true;
        if (mark->geometry() == QRect(28, 0, 12, 12))
            c.current = true;
    }
    return c;
}

void show_home()
{
    open_screen(g_lockwindow, new LockWindow(nullptr), false);
}
}

class TestLockWindow : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        mainfx::start();
        set_timing(0, 0, 0, 0);
        set_timing(1, 1920, 1080, 60);
        set_timing(2, 1280, 720, 50);
        set_timing(3, 3840, 2160, 30);
        for (int w = 0; w < 4; ++w) {
            set_layer(w, Ram::kLayerEnable, w < 2 ? 1 : 0);
            set_layer(w, Ram::kLayerSource, 1);
            set_layer(w, Ram::kLayerOutput, 0);
        }
        uitest::wr16(Ram::kLedOff, 0);
        for (int i = 0; i < Ram::kCropCount; ++i)
            set_crop(i, 0, 0, 0, 0);
    }
    void cleanup() { mainfx::stop(); }

    void header()
    {
        uitest::wr16(Ram::kLedWidth, 1920);
        uitest::wr16(Ram::kLedHeight, 1080);
        uitest::wr16(Ram::kQBrightness, 80);
        uitest::wr16(Ram::kQContrast, 0xFFFF);   // signed
        g_str_ip = QStringLiteral("192.168.7.9");
        show_home();
        QCOMPARE(uitest::text(g_lockwindow, "label_input"), QStringLiteral("LED size:1920 x 1080"));
        QCOMPARE(uitest::text(g_lockwindow, "label_bright"), QStringLiteral("80"));
        QCOMPARE(uitest::text(g_lockwindow, "label_contrast"), QStringLiteral("-1"));
        QCOMPARE(uitest::text(g_lockwindow, "label_IPaddr"), QStringLiteral("192.168.7.9"));
        QVERIFY(!g_lockwindow->layout()->main_Button->isVisible());

        // A refresh renews only what differs from the file's copy.
        uitest::wr16(Ram::kLedWidth, 640);
        uitest::para()->RAM_PARA[768] = 3;
        g_lockwindow->syncUpdate();
        QCOMPARE(int(g_language), 3);
        QCOMPARE(uitest::text(g_lockwindow, "label_input"), QStringLiteral("Led:640 x 1080"));
    }

    void audio_window_out_of_range_means_window_zero()
    {
        uitest::para()->RAM_PARA[Ram::kAudioWindow] = 7;
        set_layer(0, Ram::kLayerAudio, 0x8000);
        show_home();
        QVERIFY(g_lockwindow->volume_check());
        set_layer(0, Ram::kLayerAudio, 0);
        QVERIFY(!g_lockwindow->volume_check());
    }

    void cards_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("freeze");

        QTest::newRow("window 0 shows its source even when not enabled")
            << Setup([] { set_layer(0, Ram::kLayerEnable, 0); }) << 0 << "HDMI1"
            << "1920x1080@60Hz" << false;
        QTest::newRow("enable word 3 is not enabled")
            << Setup([] { set_layer(1, Ram::kLayerEnable, 3); }) << 1 << "" << "Close" << false;
        QTest::newRow("no height is no signal")
            << Setup([] { set_timing(1, 1920, 0, 60); }) << 0 << "HDMI1" << "No signal" << false;
        QTest::newRow("DVI without signal")
            << Setup([] { set_layer(1, Ram::kLayerSource, 0); }) << 1 << "DVI" << "No signal" << false;
        QTest::newRow("black window") << Setup([] { set_layer(0, Ram::kLayerOutput, 1); }) << 0
                                      << "HDMI1" << "Black" << false;
        QTest::newRow("frozen window") << Setup([] { set_layer(0, Ram::kLayerOutput, 2); }) << 0
                                       << "HDMI1" << "1920x1080@60Hz" << true;
        QTest::newRow("LED off shows black")
            << Setup([] { uitest::wr16(Ram::kLedOff, 1); }) << 1 << "HDMI1" << "Black" << false;
        QTest::newRow("LED off keeps a window's freeze mark") << Setup([] {
            uitest::wr16(Ram::kLedOff, 1);
            set_layer(1, Ram::kLayerOutput, 2);
        }) << 1 << "HDMI1" << "Black" << true;
        QTest::newRow("LED-off word 2 freezes every enabled card")
            << Setup([] { uitest::wr16(Ram::kLedOff, 2); }) << 1 << "HDMI1" << "1920x1080@60Hz" << true;
        QTest::newRow("crop shows its number and size with the source's rate") << Setup([] {
            set_crop(0, 2, 2, 640, 360);
            set_layer(0, Ram::kLayerSource, 0x8000);
        }) << 0 << "HDMI2_Crop2" << "640x360@50Hz" << false;
        // Crop 1 was deleted and re-added behind crop 3: table entry 5 is crop 1 of HDMI3, the
        // first in number order though it is the last in the table.
        QTest::newRow("crop after deletions names the entry's own crop") << Setup([] {
            set_crop(2, 3, 3, 300, 300);
            set_crop(4, 3, 2, 200, 200);
            set_crop(5, 3, 1, 100, 100);
            set_layer(0, Ram::kLayerSource, 0x8005);
        }) << 0 << "HDMI3_Crop1" << "100x100@30Hz" << false;
        QTest::newRow("crop entry 2 of the same table") << Setup([] {
            set_crop(2, 3, 3, 300, 300);
            set_crop(4, 3, 2, 200, 200);
            set_crop(5, 3, 1, 100, 100);
            set_layer(0, Ram::kLayerSource, 0x8002);
        }) << 0 << "HDMI3_Crop3" << "300x300@30Hz" << false;
        QTest::newRow("a deleted crop shows its whole source") << Setup([] {
            set_crop(3, 1, 0, 0, 0);
            uitest::wr16(Ram::crop(3), 0x0001);   // not in use, source byte still 1
            set_layer(0, Ram::kLayerSource, 0x8003);
        }) << 0 << "HDMI1" << "1920x1080@60Hz" << false;
        QTest::newRow("a crop index past the table counts as DVI") << Setup([] {
            set_layer(0, Ram::kLayerSource, 0x80FF);
        }) << 0 << "DVI" << "No signal" << false;
    }

    void cards()
    {
        QFETCH(Setup, setup);
        QFETCH(int, window);
        QFETCH(QString, name);
        QFETCH(QString, status);
        QFETCH(bool, freeze);
        setup();
        show_home();
        const Card c = card(window);
        QCOMPARE(c.name, name);
        QCOMPARE(c.status, status);
        QCOMPARE(c.freeze, freeze);
        QCOMPARE(c.badge->text(), QString::number(window + 1));
    }

    void current_image_mark()
    {
        g_image_current = 1;
        show_home();
        QVERIFY(!card(0).current);
        QVERIFY(card(1).current);
        g_image_current = 4;
        g_lockwindow->image_init();
        for (int i = 0; i < 4; ++i)
            QVERIFY(!card(i).current);
    }

    void display_name_is_elided()
    {
        write_dev_file(QStringLiteral("/data/configs/alias.json"),
                       R"({"namelist":{"source":[{"id":1,"valid":"on","name":"Studio camera number one on the far left of the stage"},
                          {"id":2,"valid":"off","name":"Hidden"}]}})");
        set_layer(1, Ram::kLayerSource, 2);
        show_home();
        QVERIFY(card(0).name.startsWith(QStringLiteral("Studio")));
        QVERIFY(card(0).name.endsWith(QChar(0x2026)));
        QCOMPARE(card(1).name, QStringLiteral("HDMI2"));
    }

    void keys_data()
    {
        QTest::addColumn<QVector<int>>("keys");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("locked");
        QTest::newRow("left, right and back stay") << QVector<int>{L, R, BACK, Qt::Key_A} << 0 << false;
        QTest::newRow("OK leaves for the main menu") << QVector<int>{OK} << 1 << false;
        QTest::newRow("panel letter Q too") << QVector<int>{Qt::Key_Q} << 1 << false;
        QTest::newRow("mode opens the user modes") << QVector<int>{MODE} << 4 << false;
        QTest::newRow("mode under the key lock stays") << QVector<int>{MODE, Qt::Key_M} << 0 << true;
    }

    void keys()
    {
        QFETCH(QVector<int>, keys);
        QFETCH(int, page);
        QFETCH(bool, locked);
        uitest::wr16(Ram::kKeyLock, locked ? 1 : 0);
        show_home();
        QPointer<LockWindow> home = g_lockwindow;
        for (int k : keys)
            uitest::key(home, k);
        uitest::flush();
        QCOMPARE(int(g_page_focus), page);
        QCOMPARE(home.isNull(), page != 0);
        QCOMPARE(g_lockwindow == nullptr, page != 0);
        QCOMPARE(g_custommode != nullptr, page == 4);
        QCOMPARE(int(g_mode_shortcut_key), page == 4 ? 1 : 0);
    }

    void touch_leaves_for_the_main_menu()
    {
        show_home();
        QPointer<LockWindow> home = g_lockwindow;
        QTest::mouseClick(home->card_frame(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
        uitest::flush();
        QVERIFY(home.isNull());
        QCOMPARE(int(g_page_focus), 1);
    }

    // The filter takes mouse events only: a deferred delete of a watched widget still happens.
    void filter_lets_other_events_pass()
    {
        show_home();
        QPointer<QFrame> frame = g_lockwindow->card_frame();
        frame->deleteLater();
        uitest::flush();
        QVERIFY(frame.isNull());
        QVERIFY(g_lockwindow);
        QCOMPARE(int(g_page_focus), 0);
    }

    void refresh_reaches_the_home_screen()
    {
        show_home();
        QCOMPARE(card(1).status, QStringLiteral("1920x1080@60Hz"));
        {
            ChipWrite write;
            set_layer(1, Ram::kLayerOutput, 1);
        }
        mainfx::chip_pass();
        QCOMPARE(card(1).status, QStringLiteral("Black"));
        QCOMPARE(mainfx::file_byte(Ram::layer(1) + Ram::kLayerOutput), 1);
    }
};

QTEST_MAIN(TestLockWindow)
#include "test_lockwindow.moc"
