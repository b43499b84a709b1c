#include <QComboBox>

#include "mainfixture.h"
#include "ui_custommode.h"
#include "zemcontrol.h"

using namespace mainfx;

namespace {
// Slot 0 saved without an OSD (a cropped window 0, audio index 7), slot 2 with one; the rest empty.
void two_slots()
{
    save_slot(0, [](uint8_t *img) {
        const int w0 = Ram::layer(0);
        for (auto [off, v] : {std::pair{Ram::kLedWidth, 1024}, {Ram::kLedHeight, 768}, {Ram::kQBrightness, 70},
                              {Ram::kQContrast, 40}, {Ram::kOsdEnable, 0}, {w0 + Ram::kLayerAudio, 0x8000},
                              {w0 + Ram::kLayerEnable, 1}, {w0 + Ram::kLayerSource, 0x8000},
                              {Ram::crop(0), 0x8000 | (4 << 8) | 1},   // crop number 5 of HDMI1, entry 0
                              {w0 + Ram::kLayerX, 0}, {w0 + Ram::kLayerY, 0}, {w0 + Ram::kLayerW, 1920},
                              {w0 + Ram::kLayerH, 1080}, {Ram::layer(1) + Ram::kLayerEnable, 0},
                              {Ram::layer(1) + Ram::kLayerSource, 3}})
            Ram::wr16(img, off, static_cast<uint16_t>(v));
        img[Ram::kAudioWindow] = 7;
    });
    save_slot(2, [](uint8_t *img) { Ram::wr16(img, Ram::kOsdEnable, 1); });
}
CustomMode *open_modes()
{
    open_screen(g_custommode, new CustomMode, false);
    return g_custommode;
}
QStringList summary_texts()
{
    QStringList out;
    if (g_custommode->summary())
        for (QLabel *l : g_custommode->summary()->findChildren<QLabel *>())
            out << l->text();
    return out;
}
bool shown(const char *name) { return g_custommode->findChild<QWidget *>(QLatin1String(name))->isVisibleTo(g_custommode); }
}

class TestCustomMode : public QObject
{
    Q_OBJECT
private slots:
    void init() { start(); two_slots(); }
    void cleanup() { uitest::close_all(); }
    void navigation_data()
    {
        columns<QString, int, int, int>({"keys", "slot", "state", "button"});
        QTest::newRow("left from slot 1 wraps to 16") << "l" << 15 << 0 << 0;
        QTest::newRow("16 right wraps to 1") << "lr" << 0 << 0 << 0;
        QTest::newRow("right, OK on an empty slot stays") << "ro" << 1 << 0 << 0;
        QTest::newRow("OK on a saved slot arms Use") << "o" << 0 << 1 << 0;
        QTest::newRow("More hidden: Use and Delete alternate") << "orr" << 0 << 1 << 0;
        QTest::newRow("More hidden: left wraps to Delete") << "ol" << 0 << 1 << 1;
        QTest::newRow("More shown: three buttons") << "rrorr" << 2 << 1 << 2;
        QTest::newRow("More shown: wraps") << "rrorrr" << 2 << 1 << 0;
        QTest::newRow("back leaves the buttons") << "orb" << 0 << 0 << 1;
        QTest::newRow("mode does nothing here") << "mM" << 0 << 0 << 0;
    }
    void navigation()
    {
        QFETCH(QString, keys);
        QFETCH(int, slot);
        QFETCH(int, state);
        CustomMode *m = open_modes();
        press(keys);
        QVERIFY(g_page_focus == PAGE_CUSTOMMODE && g_custommode == m);
        QCOMPARE((QList<int>{m->highlighted_slot(), g_mode_select, m->selector()->combobox->currentIndex()}),
                 (QList<int>{slot, slot, slot}));
        QCOMPARE(uitest::text(m, "label_ID"), QStringLiteral("ID:%1").arg(slot + 1));
        QCOMPARE(int(m->key_state()), state);
        QTEST(int(m->highlighted_button()), "button");
        // Key state 1: the selector's blue look and exactly one focused button; state 0: none.
        int focused = 0;
        for (const char *name : {"Button_use", "Button_delete", "Button_more"})
            focused += uitest::look(m, name) == LookState::Focus;
        QCOMPARE(focused, state);
        QLabel *arrow = m->selector()->label_left;
        QCOMPARE(arrow->grab().toImage().pixelColor(0, arrow->height() / 2),
                 state == 1 ? QColor(71, 119, 255) : QColor(255, 171, 84));
        QCOMPARE(look_state(m->selector()->combobox), state == 1 ? LookState::Normal : LookState::Focus);
    }
    void summary()
    {
        CustomMode *m = open_modes();
        QCOMPARE(uitest::texts(m, {"label_title", "label_name", "label_LED", "label_brightness"}),
                 (QStringList{"User mode", "Name:Mode1", "LED size:1024x768", "Bri:70 CTRST:40 Volume:ON"}));
        QCOMPARE(m->findChild<QLabel *>("label_LED")->font().pointSize(), 9);
        QVERIFY(!shown("Button_more") && shown("Button_use"));
        const QStringList texts = summary_texts();
        for (const char *line : {"HDMI1_Crop1 ON", "[0,0]1920x1080", "HDMI3 OFF"})
            QVERIFY2(texts.contains(QLatin1String(line)), qPrintable(texts.join('|')));
        QCOMPARE(m->selector()->combobox->itemText(15), QStringLiteral("MODE 16"));
        write_dev_file(QStringLiteral("/data/configs/alias.json"),
                       R"({"namelist":{"usermode":[{"id":0,"valid":"on","name":"Evening show with a very long name"}]}})");
        g_language = 0;
        m->language_changed();
        m->zem_button_mode_clicked();
        QVERIFY(uitest::text(m, "label_name").startsWith(QStringLiteral("名称:Evening")) &&
                uitest::text(m, "label_name").endsWith(QChar(0x2026)));
        QCOMPARE(uitest::text(m, "label_using").toUtf8(), QByteArray("使用中\xC2\xAD"));
        QCOMPARE(uitest::text(m, "label_brightness"), QStringLiteral("亮度:70 对比度:40 音量:开启"));
        uitest::key(m, R);   // an empty slot: no body, no buttons
        QVERIFY(!m->summary());
        QCOMPARE(uitest::text(m, "label_blank"), QStringLiteral("未保存用户模式数据"));
        for (const char *name : {"Button_use", "Button_delete", "label_LED", "Button_more"})
            QVERIFY2(!shown(name), name);
        QVERIFY(shown("label_blank") && shown("label_name"));
    }
    // Slot 3 (reached by keys); slot 10, the current mode, reads MO0a. The other languages' views
    // are the gallery's.
    void osd_view_data()
    {
        columns<int, QString>({"slot", "info"});
        const QString en = "osd [x:10,y:20,w:300,h:40] font size:16*32\nspace [h:1,v:2] char[x:3,y:4] speed:5,effect:";
        QTest::newRow("slot 3") << 2 << en + "static";
        QTest::newRow("slot 10, effect 4") << 9 << en + "move left";
    }
    void osd_view()
    {
        QFETCH(int, slot);
        save_slot(9, [](uint8_t *img) { Ram::wr16(img, Ram::kOsdEnable, 1); });
        write_dev_file(QStringLiteral("/data/modes/MO%1.json").arg(slot + 1, 2, 16, QLatin1Char('0')),
                       QStringLiteral(R"({"osdcount":1,"oactcount":1,"menu":[{
            "type":0,"x":10,"y":20,"w":300,"h":40,"effect":%1,"speed":5,
            "backpara":{"enable":"on","color":"0x102030"},
            "fontpara":{"startx":3,"starty":4,"fontw":16,"fonth":32,"wordspace":1,"verticalspace":2,"color":"0xFFFFFF"},
            "texts":"one\ntwo\nthree\nfour"}]})").arg(slot == 9 ? 4 : 1).toUtf8());
        g_language = LANG_EN;
        if (slot == 9)
            uitest::wr16(Ram::kCurrentMode, 10);
        CustomMode *m = open_modes();
        press(slot == 9 ? "orr" : "rrorr");
        QCOMPARE(int(m->highlighted_button()), 2);
        const QStringList texts = summary_texts();
        QCOMPARE(texts.size(), 2);
        QTEST(texts.at(0), "info");
        QCOMPARE(texts.at(1), QStringLiteral("one\ntwo\nthree"));
        // OK on More goes back to the selector and leaves the OSD view up until the next redraw.
        uitest::key(m, OK);
        QVERIFY(m->key_state() == 0 && summary_texts().size() == 2);
        uitest::key(m, R);
        QCOMPARE(summary_texts().size(), 0);   // the next slot is empty
    }
    // A touch acts on the selected slot without touching the key state; OK, OK on slot 1 uses it too.
    void use_copies_the_slot_into_the_image()
    {
        CustomMode *m = open_modes();
        uitest::press(m, "rr");
        QTest::mouseClick(m->findChild<QPushButton *>("Button_use"), Qt::LeftButton);
        QVERIFY(uitest::rd16(Ram::kCurrentMode) == 3 && m->key_state() == 0);
        QVERIFY(uitest::look(m, "Button_use") != LookState::Focus);
        uitest::press(m, "lloo");
        QCOMPARE((QList<int>{m->key_state(), uitest::rd16(Ram::kCurrentMode), uitest::rd16(Ram::kLedWidth)}),
                 (QList<int>{0, 1, 1024}));
        QVERIFY(!shown("label_using"));   // until the next redraw
        chip_pass();
        QCOMPARE((QList<int>{file_byte(Ram::kLedWidth), file_byte(Ram::kCurrentMode)}), (QList<int>{1024 & 0xFF, 1}));
        uitest::press(m, "rl");
        QVERIFY(shown("label_using"));
    }
    void delete_removes_the_slot()
    {
        uitest::wr16(Ram::kCurrentMode, 3);
        CustomMode *m = open_modes();
        QVERIFY(m->highlighted_slot() == 2 && shown("label_using"));
        uitest::press(m, "oro");
        QVERIFY(read_dev_file(QStringLiteral("/data/modes/custom_mode3")).isEmpty() && !uitest::para()->ZemUserModeSaved(2));
        QCOMPARE(int(uitest::rd16(Ram::kCurrentMode)), 3);
        QVERIFY(!shown("label_using") && shown("label_blank"));
    }
    // A deletion the disk refuses is said; the slot stays on display with its mode and no check
    // mark. Once the disk mends, the writer's retry removes the file and the slot shows empty,
    // its buttons left.
    void a_refused_deletion_keeps_the_slot()
    {
        CustomMode *m = open_modes();
        const QString file = Paths::dev(QStringLiteral("/data/modes/custom_mode1"));
        RetryEvery retry(5);
        Warnings warnings;
        {
            ReadOnlyDisk read_only;
            uitest::press(m, "oro");
            SyncUpdate::finish_writes();
            QVERIFY(QFileInfo::exists(file) && uitest::para()->ZemUserModeSaved(0));
            QVERIFY(!shown("label_blank") && shown("Button_delete") && !g_tip->isVisible());
            QCOMPARE(warnings.count(file + ": not removed: Read-only file system"), 1);
            uitest::press(m, "o");   // the buttons again, which the emptied slot then hides
        }
        ZEM_TRY_VERIFY(!QFileInfo::exists(file) && shown("label_blank"));
        QVERIFY(!uitest::para()->ZemUserModeSaved(0) && !g_tip->isVisible() && m->key_state() == 0);
    }
};

QTEST_MAIN(TestCustomMode)
#include "test_custommode.moc"
