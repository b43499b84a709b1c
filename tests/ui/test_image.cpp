// The image-quality menu, picture quality, colour temperature and the image layout: key sequences
// against the picture record (image 2176..2191) and the window records, with the chip pass run
// after every key and without it (a step while the request is raised changes nothing), the
// display-only fields, the refreshes, and the back paths and mode-key chains.
#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>

#include "chip_request.h"
#include "imagelayout.h"
#include "imagequality.h"
#include "mainfixture.h"
#include "quality.h"
#include "temperature.h"

using namespace mainfx;

namespace {
using Ints = QList<int>;
const char kToLayout[] = "rro", kToQuality[] = "rrrroo", kToTemperature[] = "rrrroro";
const Ints kFactory{100, 50, 10, 50, 2, 64, 64, 64};

// The picture record in field order: brightness, contrast, sharpness, saturation, type, gains.
Ints record()
{
    Ints out;
    for (int off = Ram::kQuality; off < Ram::kQuality + Ram::kQualitySize; off += 2)
        out << Ram::rds16(uitest::para()->RAM_PARA, off);
    return out;
}
void set_record(const Ints &values)
{
    for (int i = 0; i < values.size(); ++i)
        uitest::wr16(Ram::kQuality + 2 * i, uint16_t(values[i]));
}
bool raised() { return ChipRequest::request().load() != 0; }
// Keys to the screen on display with no chip pass between them: the request stays raised.
void press_unpumped(const QString &keys)
{
    for (int code : uitest::key_codes(keys)) {
        if (code == 0) {
            uitest::wr16(Ram::kKeyLock, 1);
            continue;
        }
        uitest::key(screen_at(g_page_focus)->widget(), code);
        uitest::flush();
    }
}
void press_keys(const QString &keys, bool pumped)
{
    if (pumped)
        press(keys);
    else
        press_unpumped(keys);
}
QWidget *top() { return screen_at(g_page_focus)->widget(); }
// The focused row and its look: "2 edit".
QString focus_of(const Screen *s)
{
    const QWidget *w = s->focus().current();
    const char *const names[] = {"normal", "focus", "edit", "unavailable", "unavailable-focus", "initial"};
    return QStringLiteral("%1 %2").arg(s->focus_index()).arg(QLatin1String(names[int(look_state(w))]));
}
// The page pointers of this area and the Setting menu, as "option imagequality quality".
QString image_screens()
{
    const std::pair<const char *, const void *> pointers[] = {{"option", g_option}, {"imagelayout", g_imagelayout},
        {"imagequality", g_imagequality}, {"quality", g_quality}, {"temperature", g_temperature}};
    QStringList open;
    for (const auto &p : pointers)
        if (p.second)
            open << p.first;
    return open.join(' ');
}
// The mirror picture lit (0..3), -1 when none is, -2 when a label shows neither of its pictures.
int lit_mirror()
{
    int lit = -1;
    for (int i = 0; i < 4; ++i) {
        const QImage shown = g_imagelayout->findChild<QLabel *>(QStringLiteral("mirror%1").arg(i + 1))->pixmap(Qt::ReturnByValue).toImage();
        const auto picture = [i](const char *state) { return QPixmap(QStringLiteral(":/png/mirror%1_%2.png").arg(i + 1).arg(QLatin1String(state))).toImage(); };
        if (shown == picture("on"))
            lit = i;
        else if (shown != picture("off"))
            return -2;
    }
    return lit;
}
// Windows 1 to 6, each with another source, state, place, mirror and point-to-point mode; window
// 1 has a display name, window 4 one switched off.
void stage_windows()
{
    struct W { int enable, source, x, y, w, h, mirror, p2p, mode; };
    const W windows[6] = {{1, 1, 0, 0, 1920, 1080, 0, 1, 0}, {2, 0x8003, 960, 0, 960, 1080, 3, 1, 9},
                          {0, 0, 65535, 5, 6, 7, 1, 2, 9}, {1, 7, 100, 200, 300, 400, 2, 1, 8},
                          {1, 2, 1, 1, 1, 1, 0, 0, 0}, {1, 3, 9, 9, 9, 9, 2, 1, 8}};
    for (int i = 0; i < 6; ++i) {
        const int at = Ram::layer(i);
        const W &w = windows[i];
        for (auto [off, v] : {std::pair{Ram::kLayerEnable, w.enable}, {Ram::kLayerSource, w.source}, {Ram::kLayerX, w.x},
                              {Ram::kLayerY, w.y}, {Ram::kLayerW, w.w}, {Ram::kLayerH, w.h}, {Ram::kLayerMirror, w.mirror},
                              {Ram::kLayerP2PMode, w.mode}})
            uitest::wr16(at + off, uint16_t(v));
        uitest::para()->RAM_PARA[at + Ram::kLayerPointToPoint] = uint8_t(w.p2p);
    }
    uitest::wr16(Ram::crop(3) + Ram::kCropWord, Ram::crop_word(2, 2));   // crop 2 of HDMI2
    write_dev_file(QStringLiteral("/data/configs/alias.json"),
                   R"({"namelist":{"win":[{"id":0,"valid":"on","name":"Main"},{"id":3,"valid":"off","name":"Spare"}]}})");
}
QStringList layout_lines()
{
    return uitest::texts(g_imagelayout, {"image_name", "image_source", "image_state", "lineEdit_X", "lineEdit_Y",
                                         "lineEdit_W", "lineEdit_H"});
}
int p2p_shown() { return g_imagelayout->findChild<QComboBox *>("comboBox_P2P")->currentIndex(); }
}

class TestImage : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        start();
        chip_pass();   // no request left raised by an earlier test
        open_screen(g_option, new Option);
    }
    void cleanup() { uitest::close_all(); }

    // Rows step in screen order (brightness, sharpness, contrast, saturation), which is not the
    // record's; values clamp at 0 and 100; OK keeps, back restores the value of the edit's start.
    void quality_keys_data()
    {
        columns<QString, bool, Ints, QString, bool>({"keys", "pumped", "record", "focus", "request"});
        QTest::newRow("right wraps round the rows") << "rrrrr" << true << kFactory << "0 focus" << false;
        QTest::newRow("left wraps to the reset row") << "l" << true << kFactory << "4 focus" << false;
        QTest::newRow("brightness down") << "olll" << true << Ints{97, 50, 10, 50, 2, 64, 64, 64} << "0 edit" << false;
        QTest::newRow("100 stays 100 and is stored again") << "or" << false << kFactory << "0 edit" << true;
        QTest::newRow("row 1 is sharpness") << "roll" << true << Ints{100, 50, 8, 50, 2, 64, 64, 64} << "1 edit" << false;
        QTest::newRow("row 2 is contrast") << "rror" << true << Ints{100, 51, 10, 50, 2, 64, 64, 64} << "2 edit" << false;
        QTest::newRow("row 3 is saturation") << "llol" << true << Ints{100, 50, 10, 49, 2, 64, 64, 64} << "3 edit" << false;
        QTest::newRow("0 stays 0") << "ro" + QString(12, 'l') << true << Ints{100, 50, 0, 50, 2, 64, 64, 64} << "1 edit" << false;
        QTest::newRow("OK keeps the value") << "ollo" << true << Ints{98, 50, 10, 50, 2, 64, 64, 64} << "0 focus" << false;
        QTest::newRow("back restores the start") << "ollb" << true << kFactory << "0 focus" << false;
        QTest::newRow("kept value is the next start") << "olloorb" << true << Ints{98, 50, 10, 50, 2, 64, 64, 64} << "0 focus" << false;
        QTest::newRow("letters step too") << "ROLL" << true << Ints{100, 50, 8, 50, 2, 64, 64, 64} << "1 edit" << false;
        QTest::newRow("pending: a second step does nothing") << "oll" << false << Ints{99, 50, 10, 50, 2, 64, 64, 64} << "0 edit" << true;
        QTest::newRow("pending: OK ends without commit") << "olo" << false << Ints{99, 50, 10, 50, 2, 64, 64, 64} << "0 focus" << true;
        QTest::newRow("pending: back ends without revert") << "olb" << false << Ints{99, 50, 10, 50, 2, 64, 64, 64} << "0 focus" << true;
    }
    void quality_keys()
    {
        QFETCH(QString, keys);
        QFETCH(bool, pumped);
        QFETCH(Ints, record);
        press(kToQuality);
        press_keys(keys, pumped);
        QCOMPARE(int(g_page_focus), int(PAGE_QUALITY));
        QCOMPARE(::record(), record);
        QTEST(focus_of(g_quality), "focus");
        QTEST(raised(), "request");
        // Each field shows what its field of the record holds.
        const Ints shown_order{0, 2, 1, 3};
        for (int row = 0; row < 4; ++row)
            QCOMPARE(qobject_cast<QLineEdit *>(g_quality->focus().at(row))->text(), QString::number(record[shown_order[row]]));
        if (pumped && record != kFactory) {   // the file follows the chip's pass
            for (int off = Ram::kQuality; off < Ram::kQuality + Ram::kQualitySize; ++off)
                QCOMPARE(file_byte(off), int(uitest::para()->RAM_PARA[off]));
        }
    }
    // Values written by a PC tool: shown as they stand, clamped by the first step; the reset
    // brings back the factory record, colour temperature included, even while a change is pending.
    void quality_outside_values_and_reset()
    {
        set_record({150, -5, 0x1234, 0x0141, 9, 0, 100, 7});
        press(kToQuality);
        QCOMPARE(uitest::texts(g_quality, {"lineEdit_bright", "lineEdit_Sharpness", "lineEdit_Contrast", "lineEdit_Saturation"}),
                 (QStringList{"150", "4660", "-5", "321"}));
        press("orrrl");
        QCOMPARE(record(), (Ints{99, -5, 0x1234, 0x0141, 9, 0, 100, 7}));
        press("b");
        QCOMPARE(record(), (Ints{100, -5, 0x1234, 0x0141, 9, 0, 100, 7}));   // back stores the start, clamped
        press("rrorro");
        QCOMPARE(record()[1], 1);   // -5 + 1 clamps to 0, then 1
        ChipRequest::request().store(1);   // a change still pending: the reset does not wait for it
        press_unpumped("rro");
        QVERIFY(raised());
        QCOMPARE(record(), kFactory);
        QCOMPARE(uitest::texts(g_quality, {"lineEdit_bright", "lineEdit_Sharpness", "lineEdit_Contrast", "lineEdit_Saturation"}),
                 (QStringList{"100", "10", "50", "50"}));
        QCOMPARE(focus_of(g_quality), QStringLiteral("4 focus"));
    }
    // The reset is a write the chip thread reads: it waits for a holder of the chip mutex and
    // raises the update request, so the chip's pass takes the factory record and saves it.
    void quality_reset_reaches_the_chip_and_the_file()
    {
        set_record({20, 30, 40, 60, 1, 50, 60, 70});
        ChipRequest::request().store(1);
        chip_pass();
        QCOMPARE(file_byte(Ram::kQBrightness), 20);
        press(kToQuality + QStringLiteral("l"));   // left wraps to the reset row
        QVERIFY(!raised());
        QVERIFY(!uitest::image_changed_under_held_chip_mutex([] { press_unpumped("o"); }));
        QVERIFY(raised());
        QCOMPARE(record(), kFactory);
        chip_pass();
        QVERIFY(!raised());
        for (int off = Ram::kQuality; off < Ram::kQuality + Ram::kQualitySize; ++off)
            QCOMPARE(file_byte(off), int(uitest::para()->RAM_PARA[off]));
    }
    // The type is chosen without effect and stored by OK or back only (back stores the type of
    // the choice's start, even unchanged, even while the request is raised); the gains step as
    // the picture-quality values do.
    void temperature_keys_data()
    {
        columns<int, QString, bool, Ints, int, QString, bool>({"type", "keys", "pumped", "record", "shown", "focus", "request"});
        const auto rec = [](int type, int r, int g, int b) { return Ints{100, 50, 10, 50, type, r, g, b}; };
        QTest::newRow("right on cool shows custom, stores nothing") << 2 << "orr" << false << rec(2, 64, 64, 64) << 0 << "0 edit" << false;
        QTest::newRow("left on custom shows cool") << 2 << "olll" << false << rec(2, 64, 64, 64) << 3 << "0 edit" << false;
        QTest::newRow("OK stores the type") << 2 << "oro" << false << rec(3, 64, 64, 64) << 3 << "0 focus" << true;
        QTest::newRow("back stores the start") << 2 << "orb" << false << rec(2, 64, 64, 64) << 2 << "0 focus" << true;
        QTest::newRow("back stores even unchanged") << 2 << "ob" << false << rec(2, 64, 64, 64) << 2 << "0 focus" << true;
        QTest::newRow("a type above 3 shows custom, OK stores 0") << 9 << "oo" << true << rec(0, 64, 64, 64) << 0 << "0 focus" << false;
        QTest::newRow("a type above 3, back stores 0") << 0x0102 << "orb" << false << rec(0, 64, 64, 64) << 0 << "0 focus" << true;
        QTest::newRow("type stored while a gain is pending") << 2 << "lorororo" << false << rec(3, 64, 64, 65) << 3 << "0 focus" << true;
        QTest::newRow("gain step while pending does nothing") << 2 << "rorr" << false << rec(2, 65, 64, 64) << 2 << "1 edit" << true;
        QTest::newRow("red down") << 2 << "rollll" << true << rec(2, 60, 64, 64) << 2 << "1 edit" << false;
        QTest::newRow("green back restores") << 2 << "rrorrb" << true << rec(2, 64, 64, 64) << 2 << "2 focus" << false;
        QTest::newRow("blue clamps at 100") << 2 << "lo" + QString(40, 'r') + "o" << true << rec(2, 64, 64, 100) << 2 << "3 focus" << false;
        QTest::newRow("left from type to blue") << 2 << "l" << true << rec(2, 64, 64, 64) << 2 << "3 focus" << false;
        QTest::newRow("right from blue to type") << 2 << "lr" << true << rec(2, 64, 64, 64) << 2 << "0 focus" << false;
    }
    void temperature_keys()
    {
        QFETCH(int, type);
        QFETCH(QString, keys);
        QFETCH(bool, pumped);
        QFETCH(Ints, record);
        uitest::wr16(Ram::kQTempType, uint16_t(type));
        press(kToTemperature);
        press_keys(keys, pumped);
        QCOMPARE(int(g_page_focus), int(PAGE_TEMPERATURE));
        QCOMPARE(::record(), record);
        QTEST(g_temperature->findChild<QComboBox *>("comboBox_type")->currentIndex(), "shown");
        QTEST(focus_of(g_temperature), "focus");
        QTEST(raised(), "request");
        QCOMPARE(uitest::texts(g_temperature, {"lineEdit_name_red", "lineEdit_name_green", "lineEdit_name_blue"}),
                 (QStringList{QString::number(record[5]), QString::number(record[6]), QString::number(record[7])}));
    }
    // A language change re-reads the colour temperature: a type choice is dropped without a
    // store, a gain edit goes on. Picture quality re-sets its texts only.
    void language_change_data()
    {
        columns<QString, QString, QString, QString, QString>({"to", "keys", "focus", "title", "combo"});
        QTest::newRow("type choice dropped") << kToTemperature << "or" << "0 focus" << "Температура Оттенок" << "Природный";
        QTest::newRow("gain edit goes on") << kToTemperature << "rrol" << "2 edit" << "Температура Оттенок" << "Природный";
        QTest::newRow("quality edit goes on") << kToQuality << "rrol" << "2 edit" << "Изображение" << "";
    }
    void language_change()
    {
        QFETCH(QString, to);
        QFETCH(QString, keys);
        press(to);
        press_unpumped(keys);
        const Ints before = record();
        ChipRequest::request().store(0);
        uitest::para()->RAM_PARA[Ram::kLanguage] = LANG_RU;
        uitest::para()->test_signal(CHANGE_PARA);
        QTEST(focus_of(screen_at(g_page_focus)), "focus");
        QVERIFY(!raised());
        QCOMPARE(record(), before);
        const QString title = g_temperature ? uitest::text(g_temperature, "label_temperature") : uitest::text(g_quality, "label_quality");
        QTEST(title, "title");
        if (g_temperature)
            QTEST(g_temperature->findChild<QComboBox *>("comboBox_type")->currentText(), "combo");
        press("r");   // an edit still open steps on
        QCOMPARE(record() != before, keys.endsWith('l'));
    }
    // Display-only fields: a touch gives them no focus and opens nothing, typing into them
    // changes nothing, and the value the next step starts from is still the number shown. A touch
    // on a combo box picks no entry.
    void value_fields_are_display_only_data()
    {
        // then: keys after the touches and typing; record: the picture record after them
        columns<QString, QStringList, QString, Ints>({"to", "fields", "then", "record"});
        QTest::newRow("quality") << kToQuality << QStringList{"lineEdit_bright", "lineEdit_Sharpness", "lineEdit_Contrast", "lineEdit_Saturation", "lineEdit_Reset"}
                                 << "ol" << Ints{99, 50, 10, 50, 2, 64, 64, 64};
        QTest::newRow("temperature") << kToTemperature << QStringList{"lineEdit_name_red", "lineEdit_name_green", "lineEdit_name_blue"}
                                     << "rol" << Ints{100, 50, 10, 50, 2, 63, 64, 64};
        QTest::newRow("layout") << kToLayout << QStringList{"lineEdit_X", "lineEdit_Y", "lineEdit_W", "lineEdit_H"} << "" << kFactory;
    }
    void value_fields_are_display_only()
    {
        QFETCH(QString, to);
        QFETCH(QStringList, fields);
        press(to);
        QWidget *screen = top();
        QApplication::setActiveWindow(screen);   // typing reaches a field only in the active window
        QVERIFY(zemtest::wait_active(screen));
        const Ints before = record();
        for (const QString &name : fields) {
            auto *field = screen->findChild<QLineEdit *>(name);
            const QString shown = field->text();
            QTest::mouseClick(field, Qt::LeftButton);
            QVERIFY2(screen->focusWidget() != field, qPrintable(name));
            QTest::keyClicks(field, "7xa");   // keys no screen acts on, should they reach it
            QCOMPARE(field->text(), shown);
            QCOMPARE(look_state(field), screen_at(g_page_focus)->focus().current() == field ? LookState::Focus : LookState::Normal);
        }
        // A touch on a combo box, as the panel delivers it, picks nothing.
        if (auto *box = screen->findChild<QComboBox *>()) {
            const int shown = box->currentIndex();
            const QPoint at = box->mapTo(screen, QPoint(box->width() / 2, box->height() / 2));
            QTest::mouseClick(screen->windowHandle(), Qt::LeftButton, {}, at);
            QVERIFY(!box->view()->isVisible());
            QCOMPARE(box->currentIndex(), shown);
        }
        QVERIFY(!g_numberkeyboard->isVisible());
        QCOMPARE(record(), before);
        QFETCH(QString, then);
        press(then);
        QTEST(record(), "record");   // an edit starts from the number shown
    }
    // Back paths and the mode key from each screen; the key lock stops only the mode key.
    void menu_and_chains_data()
    {
        columns<QString, int, QString, int>({"keys", "page", "open", "focus"});
        QTest::newRow("quality menu right wraps") << "rrrrorr" << 11 << "option imagequality" << 0;
        QTest::newRow("quality menu left wraps") << "rrrrol" << 11 << "option imagequality" << 1;
        QTest::newRow("OK opens quality") << kToQuality << 19 << "option imagequality quality" << 0;
        QTest::newRow("OK opens temperature") << kToTemperature << 20 << "option imagequality temperature" << 0;
        QTest::newRow("back from temperature keeps the menu's focus") << "rrrrorob" << 11 << "option imagequality" << 1;
        QTest::newRow("back from the menu") << "rrrrob" << 5 << "option" << 4;
        QTest::newRow("back from the layout") << "rrob" << 5 << "option" << 2;
        QTest::newRow("mode from the menu") << "rrrrom" << 4 << "" << -1;
        QTest::newRow("mode from quality") << "rrrroom" << 4 << "" << -1;
        QTest::newRow("mode from a temperature edit") << "rrrroroom" << 4 << "" << -1;
        QTest::newRow("mode letter from the layout") << "rroM" << 4 << "" << -1;
        QTest::newRow("locked mode on the menu") << "rrrro!mr" << 11 << "option imagequality" << 1;
        QTest::newRow("locked mode on quality") << "rrrroo!mMr" << 19 << "option imagequality quality" << 1;
        QTest::newRow("locked mode on the layout") << "rro!mr" << 9 << "option imagelayout" << -1;
    }
    void menu_and_chains()
    {
        QFETCH(QString, keys);
        press(keys);
        QTEST(int(g_page_focus), "page");
        QTEST(image_screens(), "open");
        QFETCH(int, focus);
        if (focus >= 0)
            QCOMPARE(screen_at(g_page_focus)->focus_index(), focus);
        QCOMPARE(g_mode_shortcut_key, uint8_t(g_page_focus == PAGE_CUSTOMMODE));
        QCOMPARE(g_custommode != nullptr, g_page_focus == PAGE_CUSTOMMODE);
    }
    // A touch opens as OK does and leaves the key focus; back gives the menu its texts again.
    void menu_touch_and_refresh()
    {
        press("rrrro");
        QTest::mouseClick(g_imagequality->findChild<QPushButton *>("Button_temperature"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), int(PAGE_TEMPERATURE));
        uitest::para()->RAM_PARA[Ram::kLanguage] = LANG_VI;
        g_language = LANG_VI;
        press("b");
        QCOMPARE(int(g_page_focus), int(PAGE_IMAGEQUALITY));
        QCOMPARE(g_imagequality->focus_index(), 0);
        QCOMPARE(uitest::text(g_imagequality, "Button_temperature"), QStringLiteral("Độ màu"));
    }
    // Each window as the layout shows it, from the current image at opening; left and right stay
    // among the four windows shown and make the window shown the current one.
    void layout_view_data()
    {
        columns<int, QString, int, QStringList, int, int>({"current", "keys", "shown", "lines", "mirror", "p2p"});
        const QStringList w1{"Name:Main", "Source:HDMI1", "Image state:ON", "0", "0", "1920", "1080"};
        const QStringList w2{"Name:Image2", "Source:HDMI2", "Image state:ON", "960", "0", "960", "1080"};
        const QStringList w3{"Name:Image3", "Source:DVI", "Image state:OFF", "65535", "5", "6", "7"};
        const QStringList w4{"Name:Image4", "Source:", "Image state:ON", "100", "200", "300", "400"};
        QTest::newRow("window 1, named, whole input") << 0 << "" << 0 << w1 << 0 << 1;
        QTest::newRow("window 2, a crop, state word not 0") << 1 << "" << 1 << w2 << 3 << 3;
        QTest::newRow("window 3, off, point to point bit clear") << 2 << "" << 2 << w3 << 1 << 0;
        QTest::newRow("window 4, no source, name switched off") << 3 << "" << 3 << w4 << 2 << 2;
        QTest::newRow("right") << 0 << "r" << 1 << w2 << 3 << 3;
        QTest::newRow("right wraps from 4 to 1") << 3 << "R" << 0 << w1 << 0 << 1;
        QTest::newRow("left wraps from 1 to 4") << 0 << "l" << 3 << w4 << 2 << 2;
        QTest::newRow("onto the switched-off window 3") << 0 << "rr" << 2 << w3 << 1 << 0;
        QTest::newRow("OK changes nothing") << 1 << "oO" << 1 << w2 << 3 << 3;
        QTest::newRow("current window 5 opens on window 1") << 4 << "" << 0 << w1 << 0 << 1;
        QTest::newRow("from window 6, right goes to 2") << 5 << "r" << 1 << w2 << 3 << 3;
        QTest::newRow("from window 6, left goes to 4") << 5 << "l" << 3 << w4 << 2 << 2;
        QTest::newRow("round the four") << 5 << "rrrrrrrrr" << 1 << w2 << 3 << 3;
    }
    void layout_view()
    {
        QFETCH(int, current);
        QFETCH(QString, keys);
        QFETCH(int, shown);
        stage_windows();
        g_image_current = uint8_t(current);
        uint8_t image[Ram::kSize];
        std::memcpy(image, uitest::para()->RAM_PARA, sizeof image);
        press(kToLayout);
        press(keys);
        QVERIFY(std::memcmp(image, uitest::para()->RAM_PARA, sizeof image) == 0);   // a view only
        QCOMPARE(int(g_page_focus), int(PAGE_IMAGELAYOUT));
        QCOMPARE(g_imagelayout->shown_image(), shown);
        QTEST(layout_lines(), "lines");
        QTEST(lit_mirror(), "mirror");
        QTEST(p2p_shown(), "p2p");
        QCOMPARE(g_imagelayout->findChild<QFrame *>("frame_image")->geometry(), QRect(7 + 51 * shown, 39, 51, 49));
        // Only a left or right key chooses; a switched-off window stays current on this page.
        const bool moved = keys.contains('l', Qt::CaseInsensitive) || keys.contains('r', Qt::CaseInsensitive);
        QCOMPARE(int(g_image_current), moved ? shown : current);
    }
    // What the view does not follow: a mirror setting or point-to-point mode it cannot show
    // leaves the previous window's; outside changes wait for a key; a language change renews the
    // lines and captions, not the point-to-point entries; a long name ends in an ellipsis.
    void layout_refreshes()
    {
        stage_windows();
        uitest::wr16(Ram::layer(2) + Ram::kLayerMirror, 4);
        uitest::para()->RAM_PARA[Ram::layer(2) + Ram::kLayerPointToPoint] = 1;
        uitest::wr16(Ram::layer(2) + Ram::kLayerP2PMode, 5);
        g_image_current = 1;
        press(kToLayout);
        press("r");
        QCOMPARE((Ints{lit_mirror(), p2p_shown()}), (Ints{3, 3}));
        uitest::wr16(Ram::layer(2) + Ram::kLayerX, 77);
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(uitest::text(g_imagelayout, "lineEdit_X"), QStringLiteral("65535"));
        press("lr");
        QCOMPARE(uitest::text(g_imagelayout, "lineEdit_X"), QStringLiteral("77"));

        write_dev_file(QStringLiteral("/data/configs/alias.json"),
                       R"({"namelist":{"win":[{"id":2,"valid":"on","name":"<b>A name far wider than the label</b>"}]}})");
        uitest::para()->RAM_PARA[Ram::kLanguage] = LANG_RU;
        uitest::para()->test_signal(CHANGE_PARA);
        const QString name = uitest::text(g_imagelayout, "image_name");
        QVERIFY2(name.startsWith(QStringLiteral("Название:<b>A name")) && name.endsWith(QChar(0x2026)), qPrintable(name));
        QCOMPARE(g_imagelayout->findChild<QLabel *>("image_name")->textFormat(), Qt::PlainText);
        const QFontMetrics fm(g_imagelayout->findChild<QLabel *>("image_name")->font());
        QVERIFY(fm.horizontalAdvance(name.mid(QStringLiteral("Название:").size())) <= 120);
        QCOMPARE(uitest::texts(g_imagelayout, {"label_title", "image_state", "label_W"}),
                 (QStringList{"Расположение", "Состояние:Откл", "Ширина"}));
        QCOMPARE(g_imagelayout->findChild<QComboBox *>("comboBox_P2P")->itemText(0), QStringLiteral("OFF"));
    }
};

QTEST_MAIN(TestImage)
#include "test_image.moc"
