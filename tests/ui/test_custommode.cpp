#include <QComboBox>
#include <QPushButton>

#include "mainfixture.h"
#include "ui_custommode.h"
#include "zemcontrol.h"

namespace {
constexpr int L = Qt::Key_F4, R = Qt::Key_F5, OK = Qt::Key_F6, BACK = Qt::Key_PowerOff, MODE = Qt::Key_Stop;

using Edit = std::function<void(uint8_t *)>;

void set16(uint8_t *img, int off, uint16_t v)
{
    Ram::wr16(img, off, v);
}

// Slot 0 and 2 saved (2 with its OSD view), the rest empty.
void two_slots()
{
    mainfx::save_slot(0, [](uint8_t *img) {
        set16(img, Ram::kLedWidth, 1024);
        set16(img, Ram::kLedHeight, 768);
        set16(img, Ram::kQBrightness, 70);
        set16(img, Ram::kQContrast, 40);
        set16(img, Ram::kOsdEnable, 0);
        img[Ram::kAudioWindow] = 7;
        set16(img, Ram::layer(0) + Ram::kLayerAudio, 0x8000);
        set16(img, Ram::layer(0) + Ram::kLayerEnable, 1);
        set16(img, Ram::layer(0) + Ram::kLayerSource, 0x8000);   // crop-table entry 0
        set16(img, Ram::crop(0), 0x8000 | (4 << 8) | 1);         // crop number 5 of HDMI1
        set16(img, Ram::layer(0) + Ram::kLayerX, 0);
        set16(img, Ram::layer(0) + Ram::kLayerY, 0);
        set16(img, Ram::layer(0) + Ram::kLayerW, 1920);
        set16(img, Ram::layer(0) + Ram::kLayerH, 1080);
        set16(img, Ram::layer(1) + Ram::kLayerEnable, 0);
        set16(img, Ram::layer(1) + Ram::kLayerSource, 3);
    });
    mainfx::save_slot(2, [](uint8_t *img) { set16(img, Ram::kOsdEnable, 1); });
}

CustomMode *open_modes()
{
    open_screen(g_custommode, new CustomMode(nullptr), false);
    return g_custommode;
}

QStringList summary_texts()
{
    QStringList out;
    if (!g_custommode->summary())
        return out;
    for (QObject *o : g_custommode->summary()->children())
        if (auto *l = qobject_cast<QLabel *>(o))
            out << l->text();
    return out;
}
}

class TestCustomMode : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        mainfx::start();
        two_slots();
    }
    void cleanup() { mainfx::stop(); }

    void navigation_data()
    {
        QTest::addColumn<QVector<int>>("keys");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("button");
        QTest::newRow("right from slot 1") << QVector<int>{R} << 1 << 0 << 0;
        QTest::newRow("left from slot 1 wraps to 16") << QVector<int>{L} << 15 << 0 << 0;
        QTest::newRow("16 right wraps to 1") << QVector<int>{L, R} << 0 << 0 << 0;
        QTest::newRow("OK on an empty slot stays") << QVector<int>{R, OK} << 1 << 0 << 0;
        QTest::newRow("OK on a saved slot arms Use") << QVector<int>{OK} << 0 << 1 << 0;
        QTest::newRow("More hidden: Use and Delete alternate") << QVector<int>{OK, R, R} << 0 << 1 << 0;
        QTest::newRow("More hidden: left wraps to Delete") << QVector<int>{OK, L} << 0 << 1 << 1;
        QTest::newRow("More shown: three buttons") << QVector<int>{R, R, OK, R, R} << 2 << 1 << 2;
        QTest::newRow("More shown: wraps") << QVector<int>{R, R, OK, R, R, R} << 2 << 1 << 0;
        QTest::newRow("back leaves the buttons") << QVector<int>{OK, R, BACK} << 0 << 0 << 1;
        QTest::newRow("mode does nothing here") << QVector<int>{MODE, Qt::Key_M} << 0 << 0 << 0;
    }

    void navigation()
    {
        QFETCH(QVector<int>, keys);
        QFETCH(int, slot);
        QFETCH(int, state);
        QFETCH(int, button);
        CustomMode *m = open_modes();
        for (int k : keys)
            uitest::key(m, k);
        QCOMPARE(int(m->highlighted_slot()), slot);
        QCOMPARE(int(g_mode_select), slot);
        QCOMPARE(m->selector()->combobox->currentIndex(), slot);
        QCOMPARE(int(m->key_state()), state);
        QCOMPARE(int(m->highlighted_button()), button);
        QCOMPARE(uitest::text(m, "label_ID"), QStringLiteral("ID:%1").arg(slot + 1));
        QCOMPARE(int(g_page_focus), 4);
        // Key state 1: the selector's blue look and exactly one focused button; state 0: none.
        const QString focus = QStringLiteral("rgb(255, 171, 84)");
        int focused = 0;
        for (const char *name : {"Button_use", "Button_delete", "Button_more"})
            focused += uitest::style(m, name).contains(focus);
        QCOMPARE(focused, state);
        QCOMPARE(m->selector()->combobox->styleSheet().contains(QStringLiteral("71,119,255")), state == 1);
    }

    void summary_of_a_saved_slot()
    {
        CustomMode *m = open_modes();
        QCOMPARE(uitest::text(m, "label_title"), QStringLiteral("User mode"));
        QCOMPARE(uitest::text(m, "label_name"), QStringLiteral("Name:Mode1"));
        QCOMPARE(uitest::text(m, "label_LED"), QStringLiteral("LED size:1024x768"));
        QCOMPARE(uitest::text(m, "label_brightness"), QStringLiteral("Bri:70 CTRST:40 Volume:ON"));
        QVERIFY(!m->layout()->Button_more->isVisibleTo(m));
        QVERIFY(m->layout()->Button_use->isVisibleTo(m));
        const QStringList texts = summary_texts();
        QVERIFY2(texts.contains(QStringLiteral("HDMI1_Crop1 ON")), qPrintable(texts.join('|')));
        QVERIFY(texts.contains(QStringLiteral("[0,0]1920x1080")));
        QVERIFY(texts.contains(QStringLiteral("HDMI3 OFF")));
        QCOMPARE(m->selector()->combobox->itemText(15), QStringLiteral("MODE 16"));
    }

    void summary_of_an_empty_slot()
    {
        CustomMode *m = open_modes();
        uitest::key(m, R);
        QVERIFY(!m->summary());
        QVERIFY(m->layout()->label_blank->isVisibleTo(m));
        QCOMPARE(uitest::text(m, "label_blank"), QStringLiteral("Usermode does not exist"));
        for (QWidget *w : {static_cast<QWidget *>(m->layout()->Button_use), static_cast<QWidget *>(m->layout()->Button_delete),
                           static_cast<QWidget *>(m->layout()->label_LED), static_cast<QWidget *>(m->layout()->Button_more)})
            QVERIFY(!w->isVisibleTo(m));
        QVERIFY(m->layout()->label_name->isVisibleTo(m));
    }

    void display_name_and_chinese_texts()
    {
        write_dev_file(QStringLiteral("/data/configs/alias.json"),
                       R"({"namelist":{"usermode":[{"id":0,"valid":"on","name":"Evening show with a very long name indeed"}]}})");
        g_language = 0;
        CustomMode *m = open_modes();
        QVERIFY(uitest::text(m, "label_name").startsWith(QStringLiteral("名称:Evening")));
        QVERIFY(uitest::text(m, "label_name").endsWith(QChar(0x2026)));
        QCOMPARE(uitest::text(m, "label_using").toUtf8(), QByteArray("使用中\xC2\xAD"));
        QCOMPARE(uitest::text(m, "label_brightness"), QStringLiteral("亮度:70 对比度:40 音量:开启"));
    }

    void osd_view_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("info");
        QTest::newRow("English") << 1
                                 << "osd [x:10,y:20,w:300,h:40] font size:16*32\nspace [h:1,v:2] char[x:3,y:4] speed:5,effect:static";
        QTest::newRow("Russian reads English") << 2
                                 << "osd [x:10,y:20,w:300,h:40] font size:16*32\nspace [h:1,v:2] char[x:3,y:4] speed:5,effect:static";
        QTest::newRow("Traditional Chinese") << 4
                                 << "osd [x:10,y:20,w:300,h:40] 字體大小:16*32\n字-行間距 [h:1,v:2] 字幕坐標[x:3,y:4] 速度:5,特技:靜止";
    }

    void osd_view()
    {
        QFETCH(int, language);
        QFETCH(QString, info);
        write_dev_file(QStringLiteral("/data/modes/MO03.json"), R"({"osdcount":1,"oactcount":1,"menu":[{
            "type":0,"x":10,"y":20,"w":300,"h":40,"effect":1,"speed":5,
            "backpara":{"enable":"on","color":"0x102030"},
            "fontpara":{"startx":3,"starty":4,"fontw":16,"fonth":32,"wordspace":1,"verticalspace":2,"color":"0xFFFFFF"},
            "texts":"one\ntwo\nthree\nfour"}]})");
        g_language = static_cast<uint8_t>(language);
        CustomMode *m = open_modes();
        uitest::keys(m, {R, R, OK, R, R});
        QCOMPARE(int(m->highlighted_button()), 2);
        const QStringList texts = summary_texts();
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts.at(0), info);
        QCOMPARE(texts.at(1), QStringLiteral("one\ntwo\nthree"));
        // OK on More goes back to the selector and leaves the OSD view up until the next redraw.
        uitest::key(m, OK);
        QCOMPARE(int(m->key_state()), 0);
        QCOMPARE(summary_texts().size(), 2);
        uitest::key(m, R);
        QCOMPARE(summary_texts().size(), 0);   // slot 4 is empty
    }

    void slot_ten_reads_its_own_osd_file()
    {
        mainfx::save_slot(9, [](uint8_t *img) { set16(img, Ram::kOsdEnable, 1); });
        write_dev_file(QStringLiteral("/data/modes/MO0a.json"),
                       R"({"osdcount":1,"menu":[{"x":7,"effect":4,"texts":"ten"}]})");
        g_mode_select = 9;
        uitest::wr16(Ram::kCurrentMode, 10);
        CustomMode *m = open_modes();
        QCOMPARE(int(m->highlighted_slot()), 9);
        uitest::keys(m, {OK, R, R});
        const QStringList texts = summary_texts();
        QVERIFY2(texts.value(0).startsWith(QStringLiteral("osd [x:7,")), qPrintable(texts.value(0)));
        QVERIFY(texts.value(0).endsWith(QStringLiteral("effect:move left")));
        QCOMPARE(texts.value(1), QStringLiteral("ten"));
    }

    void use_copies_the_slot_into_the_image()
    {
        CustomMode *m = open_modes();
        uitest::keys(m, {OK, OK});
        QCOMPARE(int(m->key_state()), 0);
        QCOMPARE(int(uitest::rd16(Ram::kCurrentMode)), 1);
        QCOMPARE(int(uitest::rd16(Ram::kLedWidth)), 1024);
        QVERIFY(!m->layout()->label_using->isVisibleTo(m));   // until the next redraw
        mainfx::chip_pass();
        QCOMPARE(mainfx::file_byte(Ram::kLedWidth), 1024 & 0xFF);
        QCOMPARE(mainfx::file_byte(Ram::kCurrentMode), 1);
        uitest::keys(m, {R, L});
        QVERIFY(m->layout()->label_using->isVisibleTo(m));
    }

    void delete_removes_the_slot()
    {
        uitest::wr16(Ram::kCurrentMode, 3);
        CustomMode *m = open_modes();
        QCOMPARE(int(m->highlighted_slot()), 2);
        QVERIFY(m->layout()->label_using->isVisibleTo(m));
        QVERIFY(!read_dev_file(QStringLiteral("/data/modes/custom_mode3")).isEmpty());
        uitest::keys(m, {OK, R, OK});
        QVERIFY(read_dev_file(QStringLiteral("/data/modes/custom_mode3")).isEmpty());
        QVERIFY(!uitest::para()->ZemUserModeSaved(2));
        QCOMPARE(int(uitest::rd16(Ram::kCurrentMode)), 3);
        QVERIFY(!m->layout()->label_using->isVisibleTo(m));
        QVERIFY(m->layout()->label_blank->isVisibleTo(m));
    }

    void touch_acts_without_changing_the_key_state()
    {
        CustomMode *m = open_modes();
        QTest::mouseClick(m->layout()->Button_use, Qt::LeftButton);
        QCOMPARE(int(uitest::rd16(Ram::kCurrentMode)), 1);
        QCOMPARE(int(m->key_state()), 0);
        QVERIFY(!uitest::style(m, "Button_use").contains(QStringLiteral("255, 171, 84")));
    }

    void back_data()
    {
        QTest::addColumn<bool>("shortcut");
        QTest::newRow("to the main menu") << false;
        QTest::newRow("to a new home screen after the mode key") << true;
    }

    void back()
    {
        QFETCH(bool, shortcut);
        if (shortcut)
            uitest::key(g_mainwindow, MODE);
        else
            open_modes();
        QCOMPARE(int(g_mode_shortcut_key), shortcut ? 1 : 0);
        QPointer<CustomMode> m = g_custommode;
        uitest::key(m, BACK);
        uitest::flush();
        QVERIFY(m.isNull());
        QVERIFY(!g_custommode);
        QCOMPARE(int(g_mode_shortcut_key), 0);
        QCOMPARE(int(g_page_focus), shortcut ? 0 : 1);
        QCOMPARE(g_lockwindow != nullptr, shortcut);
    }
};

QTEST_MAIN(TestCustomMode)
#include "test_custommode.moc"
