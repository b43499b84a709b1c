// Other settings and the ageing log: each line of other settings by keys against the image and the
// parameter file, the WiFi commands and restart request, the writes under the chip mutex; the
// ageing log filled directly and by the tick's sampler, its pages, rows, colours and counters.
// Factory setup: the language stepped and applied under several language masks, each reset depth
// against the factory table, the network keys, the commands and the EDID requests, the font lines.
// LCD display: the two delays by keys. The lists of all three screens: an entry picked by touch
// is neither shown nor stored.
#include <QAbstractItemView>
#include <QComboBox>
#include <QSettings>
#include <atomic>
#include <memory>
#include <cstring>
#include <thread>

#include "chip_request.h"
#include "clock.h"
#include "k58_wifi_config.h"
#include "mainfixture.h"
#include "simdevice.h"
#include "tarvosource.h"

using namespace mainfx;
using Setup = std::function<void()>;
using Probe = std::function<QString()>;
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Probe)

namespace {

const QString kHostapdStop = QStringLiteral("kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`");
const QString kUdhcpdStop = QStringLiteral("kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`");

uint8_t *img() { return uitest::para()->RAM_PARA; }
int audio(int w) { return Ram::layer(w) + Ram::kLayerAudio; }
int output(int k) { return Ram::layer(k) + Ram::kLayerOutput; }
int pixel(int k) { return Ram::layer(k) + Ram::kLayerPointToPoint; }
int fade_in(int k) { return Ram::kFade + Ram::kFadeStride * k; }
void set_windows(std::initializer_list<int> enabled)
{
    for (int w = 0; w < Ram::kWindows; ++w)
        uitest::wr16(Ram::layer(w) + Ram::kLayerEnable, 0);
    for (int w : enabled)
        uitest::wr16(Ram::layer(w) + Ram::kLayerEnable, 1);
}

// Expected fields after the keys, as triples of offset, width in bytes and value.
QList<int> W(int off, int v) { return {off, 2, v}; }
QList<int> B(int off, int v) { return {off, 1, v}; }
int field(const uint8_t *bytes, int off, int width)
{
    return width == 2 ? Ram::rd16(bytes, off) : bytes[off];
}

// What the lists show: the chooser's entries and its choice, then sound, switch effect, WiFi and
// pixel to pixel.
QString lists()
{
    const auto box = [](const char *name) { return g_othersetup->findChild<QComboBox *>(name); };
    QStringList entries;
    for (int i = 0; i < box("ImageVolume")->count(); ++i)
        entries << box("ImageVolume")->itemText(i);
    QStringList shown{entries.join('/') + ':' + box("ImageVolume")->currentText()};
    for (const char *name : {"volume_state", "switch_state", "wifi_state", "dbd_state"})
        shown << box(name)->currentText();
    return shown.join('|');
}
// The focused list, "*" while it is open; its look must say the same.
QString focused()
{
    const FocusList &f = g_othersetup->focus();
    const LookState look = look_state(f.current());
    if (look != (f.editing() ? LookState::Edit : LookState::Focus))
        return QStringLiteral("wrong look");
    return f.current()->objectName() + (f.editing() ? "*" : "");
}
void open_othersetup()
{
    open_option("lo");
    press("ro");
    QVERIFY(g_othersetup && g_page_focus == PAGE_OTHERSETUP);
}

// Ageing entries: r42 counting up from `from`, every status bit set.
void fill_log(int n, int from = 0)
{
    factoryage_log.clear();
    for (int i = 0; i < n; ++i)
        factoryage_log.push_back(QStringLiteral("01-02 03:04 %1 31 5").arg((from + i) % 256));
}
QStringList rows() { return g_factoryage->page_text().isEmpty() ? QStringList() : g_factoryage->page_text().split("<br>"); }
QStringList side_labels()
{
    return uitest::texts(g_factoryage, {"page_info", "label_page", "label_3", "label_5", "label_10", "label_20", "label_more"});
}
QString log_label()
{
    for (QLabel *l : g_factoryage->findChild<QFrame *>("frame")->findChildren<QLabel *>())
        return l->text();
    return QString();
}
void open_factoryage()
{
    open_option("lol");
    press("o");
    uitest::keyboard_keys("8362K").simulate(g_numberkeyboard);
    QVERIFY(g_factoryage && g_page_focus == PAGE_FACTORYAGE);
}
QString green(const char *name) { return QStringLiteral("<font color = #00FF00 >%1</font>").arg(name); }
QString red(const char *name) { return QStringLiteral("<font color = #FF0000 >%1</font>").arg(name); }

QDateTime g_now;

// ---- factory and LCD display ----------------------------------------------------------------

// The language as the device holds it after a start: image, shadow and g_language agree.
void set_language(int lang)
{
    g_language = uint8_t(lang);
    img()[Ram::kLanguage] = uint8_t(lang);
    uitest::para()->RAM_PARA_SHADOW[Ram::kLanguage] = uint8_t(lang);
}
void open_factory()
{
    open_option("lo");
    press("llo");
    QVERIFY(g_factory && g_page_focus == PAGE_FACTORY);
}
void open_lcdshow()
{
    open_option("lo");
    press("o");
    QVERIFY(g_lcdshow && g_page_focus == PAGE_LCDSHOW);
}
QString combo(QWidget *screen, const char *name) { return screen->findChild<QComboBox *>(name)->currentText(); }
// The focused row of a screen, "*" while its value is open; its look must say the same.
QString focused_row(const Screen *screen)
{
    const FocusList &f = screen->focus();
    for (int i = 0; i < f.size(); ++i) {
        const LookState want = i != f.index() ? LookState::Normal : f.editing() ? LookState::Edit : LookState::Focus;
        if (look_state(f.at(i)) != want)
            return QStringLiteral("wrong look on ") + f.at(i)->objectName();
    }
    return f.current()->objectName() + (f.editing() ? "*" : "");
}
QString ini(const char *key)
{
    return QSettings(Paths::dev("/data/configs/tcpip.ini"), QSettings::IniFormat).value(QStringLiteral("config/") + key).toString();
}
QStringList setup_commands(const QString &ip, const QString &mask, const QString &gateway)
{
    return {"sync", "ifconfig eth0 >/dev/null 2>&1", "route del default wlan0",
            QStringLiteral("ifconfig eth0 %1 netmask %2").arg(ip, mask), QStringLiteral("route add -host %1 dev eth0").arg(gateway),
            QStringLiteral("route add default gw %1 metric 100").arg(gateway), "route add -host 255.255.255.255 eth0",
            "route del 255.255.255.255 wlan1"};
}
// A font line from pieces "<colour><text>" apart by blanks (w white, g green, r red), as
// uitest::runs gives it.
QStringList font_line(const QString &pieces)
{
    QStringList line;
    for (const QString &piece : pieces.split(' ')) {
        const QString text = piece.mid(1);
        switch (piece.at(0).unicode()) {
        case 'w': line << QStringLiteral("#ffffff 12 ") + text; break;
        case 'g': line << QStringLiteral("#00ff00 13 ") + text; break;
        default: line << QStringLiteral("#ff0000 13 ") + text; break;
        }
    }
    return line;
}
// A touch on the list as the panel delivers it, then, should its popup have opened, a touch on
// the entry.
void touch_pick(QWidget *screen, QComboBox *box, int entry)
{
    QTest::mouseClick(screen->windowHandle(), Qt::LeftButton, {}, box->mapTo(screen, box->rect().center()));
    QAbstractItemView *view = box->view();
    if (!view->isVisible())
        return;
    const QPoint at(view->viewport()->width() / 2, view->visualRect(box->model()->index(entry, 0)).center().y());
    // The finger slides onto the entry first, as the popup expects of a pick.
    QMouseEvent slide(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &slide);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
}
QString edid_bytes(const uint8_t (&bytes)[4])
{
    return QStringLiteral("%1 %2 %3 %4").arg(bytes[0]).arg(bytes[1]).arg(bytes[2]).arg(bytes[3]);
}

}

class TestSetup : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        start();
        set_windows({0});
        uitest::wr16(Ram::kAudioWindow, 0);
        for (int k = 0; k < Ram::kLayerSlots; ++k) {
            uitest::wr16(Ram::layer(k) + Ram::kLayerAudio, 0);
            uitest::wr16(output(k), 0);
        }
        for (int off : {Ram::kSwitchEffect, Ram::kPixelToPixel, Ram::kWifiOff})
            uitest::wr16(off, 0);
        g_now = QDateTime(QDate(2024, 3, 14), QTime(9, 27));
        set_clock_for_test([] { return g_now; });
    }
    void cleanup()
    {
        uitest::close_all();
        K58_WIFI_CONFIG::destroy_for_test();
        tarvosource::destroy_for_test();
    }

    // ---- other settings ---------------------------------------------------------------------

    void lines_data()
    {
        // fields: what the image (and, when saved, the parameter file) holds afterwards; none
        // means the image is byte for byte as it was once the screen had opened.
        columns<Setup, QString, QString, QList<int>, bool>({"setup", "keys", "lists", "fields", "saved"});
        const auto row = [](const char *name, const Setup &setup, const char *keys, const char *lists,
                            const QList<int> &fields, bool saved) {
            QTest::newRow(name) << setup << keys << lists << fields << saved;
        };
        const Setup none = [] {};
        row("sound on for window 0", none, "roro", "image1:image1|ON|Seamless|ON|OFF", W(audio(0), 0x80FF) + W(Ram::kAudioWindow, 0), true);
        row("sound off for the window chosen on the first line",
            [] { set_windows({0, 2}), uitest::wr16(audio(0), 0x80FF), uitest::wr16(audio(2), 0x80FF); }, "orororo",
            "image1/image3:image3|OFF|Seamless|ON|OFF", W(audio(2), 0) + W(audio(0), 0x80FF) + W(Ram::kAudioWindow, 2), true);
        row("the shown choice may still change the newly chosen window",
            [] { set_windows({0, 1}), uitest::wr16(audio(1), 0x80FF); }, "ororoo",
            "image1/image2:image2|OFF|Seamless|ON|OFF", W(audio(1), 0) + W(Ram::kAudioWindow, 1), true);
        row("sound already on: nothing written, the request still raised",
            [] { set_windows({0, 2}), uitest::wr16(audio(0), 0x80FF), uitest::wr16(audio(2), 0x80FF); }, "ororoo",
            "image1/image3:image3|ON|Seamless|ON|OFF", {}, true);
        row("stored window 2 of windows 0 and 2 is the second entry",
            [] { set_windows({0, 2}), uitest::wr16(Ram::kAudioWindow, 2), uitest::wr16(audio(2), 0x80FF); }, "roro",
            "image1/image3:image3|OFF|Seamless|ON|OFF", W(audio(2), 0) + W(Ram::kAudioWindow, 2), true);
        row("windows 1 and 2 with window 0 stored: window 0's sound, shown under image2",
            [] { set_windows({1, 2}), uitest::wr16(audio(0), 0x80FF); }, "", "image2/image3:image2|ON|Seamless|ON|OFF", {}, false);
        row("stored window past 5 is put right on opening", [] { uitest::wr16(Ram::kAudioWindow, 9), uitest::wr16(audio(0), 0x80FF); }, "",
            "image1:image1|ON|Seamless|ON|OFF", W(Ram::kAudioWindow, 0), false);
        row("stored window -1 is put right on opening", [] { uitest::wr16(Ram::kAudioWindow, 0xFFFF); }, "", "image1:image1|OFF|Seamless|ON|OFF",
            W(Ram::kAudioWindow, 0), false);
        row("no enabled window: the sound line does nothing", [] { set_windows({}); }, "oroo",
            ":|OFF|Seamless|ON|OFF", {}, false);
        row("chooser wraps over its entries", [] { set_windows({0, 1, 2}); }, "orrro", "image1/image2/image3:image1|OFF|Seamless|ON|OFF", {}, false);
        row("fade", none, "rroro", "image1:image1|OFF|Fade|ON|OFF", W(Ram::kSwitchEffect, 1) + B(output(0), 4) + B(fade_in(0), 60), true);
        row("seamless over a stray high byte", [] { uitest::wr16(Ram::kSwitchEffect, 0x0100); }, "rroro", "image1:image1|OFF|Seamless|ON|OFF",
            W(Ram::kSwitchEffect, 0), true);
        row("WiFi off leaves 775 alone", [] { img()[Ram::kWifiOff + 1] = 0x5A; }, "rrrolo", "image1:image1|OFF|Seamless|OFF|OFF",
            B(Ram::kWifiOff, 1) + B(Ram::kWifiOff + 1, 0x5A), true);
        row("WiFi shows on while only 775 is set", [] { img()[Ram::kWifiOff + 1] = 1; }, "", "image1:image1|OFF|Seamless|ON|OFF", {}, false);
        row("WiFi on", [] { img()[Ram::kWifiOff] = 1; }, "rrroro", "image1:image1|OFF|Seamless|ON|OFF", B(Ram::kWifiOff, 0), true);
        row("pixel to pixel on, reached by left", none, "lolo", "image1:image1|OFF|Seamless|ON|ON",
            W(Ram::kPixelToPixel, 1) + B(pixel(0), 1) + B(pixel(15), 1), true);
        row("pixel to pixel off over a stray high byte", [] { uitest::wr16(Ram::kPixelToPixel, 0x0100); }, "loro",
            "image1:image1|OFF|Seamless|ON|OFF", W(Ram::kPixelToPixel, 0) + B(pixel(6), 0), true);
        row("an enabled slot past the six windows shows pixel to pixel on",
            [] { img()[Ram::layer(9)] = 1, img()[pixel(9)] = 1; }, "", "image1:image1|OFF|Seamless|ON|ON", {}, false);
        row("a disabled slot's pixel byte does not count", [] { img()[pixel(4)] = 1; }, "", "image1:image1|OFF|Seamless|ON|OFF", {}, false);
        row("back while editing applies nothing", none, "rorb", "image1:image1|OFF|Seamless|ON|OFF", {}, false);
        row("left while editing steps the list, not the focus", none, "rrrol", "image1:image1|OFF|Seamless|OFF|OFF", {}, false);
    }
    void lines()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, keys);
        QFETCH(QList<int>, fields);
        QFETCH(bool, saved);
        setup();
        QFile::remove(Paths::dev("/data/ram_device_info"));
        open_othersetup();
        uint8_t opened[Ram::kSize];
        std::memcpy(opened, img(), sizeof opened);
        press(keys);
        QTEST(lists(), "lists");
        if (fields.isEmpty())
            QVERIFY(std::memcmp(opened, img(), sizeof opened) == 0);
        const QByteArray file = read_dev_file("/data/ram_device_info");
        QCOMPARE(!file.isEmpty(), saved);
        for (int i = 0; i + 2 < fields.size(); i += 3) {
            const int off = fields[i], width = fields[i + 1];
            QCOMPARE(field(img(), off, width), fields[i + 2]);
            if (saved)
                QCOMPARE(field(reinterpret_cast<const uint8_t *>(file.constData()) + 2 - Ram::kSavedFrom, off, width), fields[i + 2]);
        }
    }
    void focus_moves_data()
    {
        columns<QString, QString>({"keys", "focus"});   // the focus after each key
        QTest::newRow("right skips the hidden line and wraps") << "rrrrr" << "volume_state switch_state wifi_state dbd_state ImageVolume";
        QTest::newRow("left the other way") << "lllll" << "dbd_state wifi_state switch_state volume_state ImageVolume";
        QTest::newRow("USB letters") << "RRLO" << "volume_state switch_state volume_state volume_state*";
        QTest::newRow("open, step, commit, leave") << "rorrob" << "volume_state volume_state* volume_state* volume_state* volume_state left";
        QTest::newRow("a key no screen knows") << "?r" << "ImageVolume volume_state";
    }
    void focus_moves()
    {
        QFETCH(QString, keys);
        open_othersetup();
        QStringList seen;
        for (QChar k : keys) {
            press(k);
            seen << (g_othersetup ? focused() : QStringLiteral("left"));
        }
        QTEST(seen.join(' '), "focus");
        if (!g_othersetup) {
            QCOMPARE(open_screens(), QStringLiteral("option advancedoption"));
            QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
        }
    }
    // Without an enabled window the chooser is empty and neither it nor the sound line opens.
    void no_enabled_window()
    {
        set_windows({});
        open_othersetup();
        QStringList seen;
        for (QChar k : QStringLiteral("oro")) {
            press(k);
            seen << focused();
        }
        QCOMPARE(seen.join(' '), QStringLiteral("ImageVolume volume_state volume_state"));
    }
    // Fade and seamless over all sixteen slots: the fade bit of each output word, the low bytes of
    // its fade-in and fade-out words; nothing else of those words.
    void switch_effect_all_slots()
    {
        for (int k = 0; k < Ram::kLayerSlots; ++k) {
            uitest::wr16(output(k), uint16_t(0x0103));
            uitest::wr16(fade_in(k), 0x1200);
            uitest::wr16(fade_in(k) + 2, 0x3400);
        }
        open_othersetup();
        for (auto [keys, effect, out, in, outfade] :
             {std::tuple{"rroro", 1, 0x0107, 0x123C, 0x343C}, {"oroo", 0, 0x0103, 0x123C, 0x343C}}) {
            press(keys);
            const QByteArray file = read_dev_file("/data/ram_device_info");
            const auto *saved = reinterpret_cast<const uint8_t *>(file.constData()) + 2 - Ram::kSavedFrom;
            for (const uint8_t *bytes : {const_cast<const uint8_t *>(img()), saved}) {
                QCOMPARE(int(Ram::rd16(bytes, Ram::kSwitchEffect)), effect);
                for (int k = 0; k < Ram::kLayerSlots; ++k) {
                    QCOMPARE(int(Ram::rd16(bytes, output(k))), out);
                    QCOMPARE(int(Ram::rd16(bytes, fade_in(k))), in);
                    QCOMPARE(int(Ram::rd16(bytes, fade_in(k) + 2)), outfade);
                }
            }
        }
    }
    void pixel_to_pixel_all_slots()
    {
        for (int k = 0; k < Ram::kLayerSlots; ++k)
            uitest::wr16(output(k), 0x0005);
        open_othersetup();
        for (auto [keys, on] : {std::pair{"lolo", 1}, {"oro", 0}}) {
            press(keys);
            for (int k = 0; k < Ram::kLayerSlots; ++k)
                QCOMPARE(int(uitest::rd16(output(k))), on << 8 | 0x05);
        }
    }
    // Off stops the access point at once; on asks the WiFi thread to restart it, which it does
    // on its own looks, the stop first.
    void wifi_commands_and_restart()
    {
        K58_WIFI_CONFIG *wifi = K58_WIFI_CONFIG::create_for_test();
        open_othersetup();
        press("rrroro");
        QCOMPARE(shell_log(), (QStringList{kHostapdStop, kUdhcpdStop}));
        QCOMPARE(int(g_wifi_reset_flag), 0);
        press("oro");
        QCOMPARE(int(img()[Ram::kWifiOff]), 0);
        QCOMPARE(shell_log().size(), 2);
        QCOMPARE(int(g_wifi_reset_flag), 1);
        QCOMPARE(g_wifi_reset_ticks, G_timeTicks.load());
        QStringList flags;
        for (int look = 0; look < 2; ++look) {
            uitest::tick(300);
            wifi->wifi_pass();
            flags << QString::number(g_wifi_reset_flag);
        }
        QCOMPARE(flags, (QStringList{"2", "0"}));
        QCOMPARE(shell_log().mid(2), (QStringList{kHostapdStop, kUdhcpdStop}));
    }
    // Another thread holding the chip mutex sees no part of an applied line until it lets go, and
    // the line is applied afterwards.
    void writes_under_the_chip_mutex_data()
    {
        columns<QString, QString, int>({"open", "commit", "offset"});
        QTest::newRow("sound") << "ror" << "o" << audio(0);
        QTest::newRow("switch effect") << "rror" << "o" << int(Ram::kSwitchEffect);
        QTest::newRow("WiFi") << "rrror" << "o" << int(Ram::kWifiOff);
        QTest::newRow("pixel to pixel") << "lor" << "o" << int(Ram::kPixelToPixel);
    }
    void writes_under_the_chip_mutex()
    {
        QFETCH(QString, open);
        QFETCH(QString, commit);
        QFETCH(int, offset);
        open_othersetup();
        press(open);
        const uint16_t before = uitest::rd16(offset);
        QVERIFY2(!uitest::image_changed_under_held_chip_mutex([&] { press(commit); }),
                 "the image changed while another thread held the chip mutex");
        QVERIFY(before != uitest::rd16(offset));
    }
    // A language change while a line is open closes it unapplied and refills every list; any
    // other change leaves the screen as it is.
    void language_change_refills()
    {
        set_windows({0, 1});
        open_othersetup();
        press("or");
        uint8_t opened[Ram::kSize];
        std::memcpy(opened, img(), sizeof opened);
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(focused(), QStringLiteral("ImageVolume*"));
        img()[Ram::kLanguage] = LANG_RU;
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(focused(), QStringLiteral("ImageVolume"));
        QCOMPARE(lists(), QString::fromUtf8("Канал1/Канал2:Канал1|Откл|Быстро|Вкл|Откл"));
        QCOMPARE(uitest::text(g_othersetup, "label_other"), QString::fromUtf8("Другие настройки"));
        opened[Ram::kLanguage] = LANG_RU;
        QVERIFY(std::memcmp(opened, img(), sizeof opened) == 0);
    }

    // ---- ageing log -------------------------------------------------------------------------

    void log_pages_data()
    {
        columns<int, QString, QString, int>({"entries", "keys", "page", "rows"});
        QTest::newRow("16 entries, one page") << 16 << "" << "1/1" << 16;
        QTest::newRow("17 entries, the second page") << 17 << "o" << "2/2" << 1;
        QTest::newRow("Nex on the last page shows the first") << 17 << "oo" << "1/2" << 16;
        QTest::newRow("Priv on the first page shows the last") << 40 << "ro" << "3/3" << 8;
        QTest::newRow("Priv by its USB letter and back round") << 40 << "ROOO" << "1/3" << 16;
        QTest::newRow("left wraps to Priv") << 40 << "lo" << "3/3" << 8;
        QTest::newRow("a week of samples") << 3360 << "ro" << "210/210" << 16;
        QTest::newRow("empty log: the page keys do nothing") << 0 << "oro" << "0/0" << 0;
    }
    void log_pages()
    {
        QFETCH(int, entries);
        QFETCH(QString, keys);
        fill_log(entries);
        open_factoryage();
        press(keys);
        QTEST(uitest::text(g_factoryage, "label_page"), "page");
        QTEST(int(rows().size()), "rows");
        QCOMPARE(uitest::text(g_factoryage, "page_info"), QString::number(entries));
        if (entries) {
            // The page's first row is entry 16 x page: its r42 counts the entries from 0.
            const int first = (uitest::text(g_factoryage, "label_page").section('/', 0, 0).toInt() - 1) * 16;
            QVERIFY(rows().first().startsWith(QStringLiteral("01-02 03:04 %1 ").arg(first % 256, 3, 10, QChar('0'))));
        }
        QCOMPARE(look_state(g_factoryage->focus().current()), LookState::Focus);
        QCOMPARE(look_state(g_factoryage->focus().at(1 - g_factoryage->focus().index())), LookState::Normal);
    }
    void log_rows_data()
    {
        columns<QString, QString>({"entry", "row"});
        QTest::newRow("every status bit set") << "09-26 14:03 17 31 5"
            << "09-26 14:03 017 " + green("DDR0") + ' ' + green("DDR1") + ' ' + green("DE") + ' ' + green("HS") + ' ' + green("VS") + " 005";
        QTest::newRow("a red VS runs into the last number") << "01-01 00:00 255 15 123"
            << "01-01 00:00 255 " + green("DDR0") + ' ' + green("DDR1") + ' ' + green("DE") + ' ' + green("HS") + ' ' + red("VS") + "123";
        QTest::newRow("no bit set, bits 5 to 7 not shown") << "12-31 23:59 9 224 10"
            << "12-31 23:59 009 " + red("DDR0") + ' ' + red("DDR1") + ' ' + red("DE") + ' ' + red("HS") + ' ' + red("VS") + "010";
        QTest::newRow("alternate bits") << "01-01 00:00 99 10 0"
            << "01-01 00:00 099 " + red("DDR0") + ' ' + green("DDR1") + ' ' + red("DE") + ' ' + green("HS") + ' ' + red("VS") + "000";
        QTest::newRow("no number reads 0") << "01-01 00:00 x 16 y"
            << "01-01 00:00 000 " + red("DDR0") + ' ' + red("DDR1") + ' ' + red("DE") + ' ' + red("HS") + ' ' + green("VS") + " 000";
        QTest::newRow("markup in an entry stays text") << "<b>x</b> 00:00 1 31 1"
            << "&lt;b&gt;x&lt;/b&gt; 00:00 001 " + green("DDR0") + ' ' + green("DDR1") + ' ' + green("DE") + ' ' + green("HS") + ' ' + green("VS") + " 001";
        QTest::newRow("four fields: no row") << "01-01 00:00 1 2" << "";
        QTest::newRow("a double blank makes six fields: no row") << "01-01  00:00 1 2 3" << "";
    }
    void log_rows()
    {
        QFETCH(QString, entry);
        QTEST(agelog_row(entry), "row");
    }
    // Skipped entries leave their rows out; the break before a row belongs to its entry's place.
    void log_page_with_bad_entries()
    {
        factoryage_log = {"bad", "01-01 00:00 1 0 1", "01-01 00:00 2 0 2", "bad too", "01-01 00:00 3 0 3"};
        open_factoryage();
        const QString row1 = agelog_row(factoryage_log[1]), row2 = agelog_row(factoryage_log[2]), row3 = agelog_row(factoryage_log[4]);
        QCOMPARE(g_factoryage->page_text(), "<br>" + row1 + "<br>" + row2 + "<br>" + row3);
        QCOMPARE(log_label(), g_factoryage->page_text());
        QCOMPARE(uitest::text(g_factoryage, "page_info"), QStringLiteral("5"));
    }
    // An empty log shows the time and zero counters; the tick's redraw every 18000 ticks comes
    // whether or not it sampled, and then shows the counters as they are.
    void empty_log_and_the_tick_without_a_sample()
    {
        factoryage_log_diff3 = 12, factoryage_log_diff5 = 3, factoryage_log_diff10 = 4, factoryage_log_diff20 = 5;
        factoryage_log_diffmore = 6;
        open_factoryage();
        QCOMPARE(log_label(), QString::fromUtf8("03-14 09:27  正在老化中..."));
        QCOMPARE(side_labels(), (QStringList{"0", "0/0", "0<3", "0<5", "0<10", "0<20", "0>20"}));
        pc_cmd_valid = 1;
        g_now = g_now.addSecs(180);
        uitest::tick(17999);
        QCOMPARE(log_label(), QString::fromUtf8("03-14 09:27  正在老化中..."));
        uitest::tick(1);
        QVERIFY(factoryage_log.empty());
        QCOMPARE(log_label(), QString::fromUtf8("03-14 09:30  正在老化中..."));
        QCOMPARE(side_labels(), (QStringList{"0", "1/0", "12<3", "3<5", "4<10", "5<20", "6>20"}));
    }
    // The sampler appends through the tick while the page is open; the page follows, and once the
    // log holds a week the oldest entry gives way.
    void follows_the_sampler()
    {
        fill_log(3358);
        factoryage_log.push_back(QStringLiteral("01-02 03:04 0 31 5"));   // the rise counts from 0
        open_factoryage();
        press("ro");
        QCOMPARE(uitest::text(g_factoryage, "label_page"), QStringLiteral("210/210"));
        QCOMPARE(rows().size(), 15);
        uitest::tick(18000);
        QCOMPARE(factoryage_log.size(), size_t(3360));
        QCOMPARE(rows().size(), 16);
        QCOMPARE(rows().last(), agelog_row(factoryage_log.back()));
        QVERIFY(rows().last().endsWith(green("DDR0") + ' ' + red("DDR1") + ' ' + green("DE") + ' ' + red("HS") + ' ' + red("VS") + "000"));
        const int rise = factoryage_log.back().section(' ', 2, 2).toInt();
        QVERIFY(rise >= 1 && rise <= 255);
        const uint32_t counters[] = {factoryage_log_diff3, factoryage_log_diff5, factoryage_log_diff10, factoryage_log_diff20,
                                     factoryage_log_diffmore};
        const QStringList suffixes{"<3", "<5", "<10", "<20", ">20"};
        QStringList expected{"3360", "210/210"};
        for (int i = 0; i < 5; ++i)
            expected << QString::number(counters[i]) + suffixes[i];
        QCOMPARE(side_labels(), expected);
        QCOMPARE(counters[0] + counters[1] + counters[2] + counters[3] + counters[4], 1u);

        const QString oldest = factoryage_log.front();
        uitest::tick(18000);
        QCOMPARE(factoryage_log.size(), size_t(3360));
        QVERIFY(factoryage_log.front() != oldest);
        QCOMPARE(rows().last(), agelog_row(factoryage_log.back()));
        QCOMPARE(uitest::text(g_factoryage, "page_info"), QStringLiteral("3360"));
    }
    // A language changed while the log is open reaches the program, and the advanced menu shows
    // it when the log is left.
    void language_change_reaches_the_advanced_menu()
    {
        open_factoryage();
        img()[Ram::kLanguage] = LANG_RU;
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(int(g_language), int(LANG_RU));
        SyncUpdate::finish_writes();   // the shadow holds the new language by the time back comes
        press("b");
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
        QVERIFY(!g_factoryage);
        QCOMPARE(uitest::text(g_advancedoption, "label_title"), QString::fromUtf8("Доп.опции"));
    }
    // With the language unchanged the advanced menu is not drawn again: a recovery file that came
    // meanwhile leaves its entry grey until the menu is opened anew.
    void back_leaves_the_advanced_menu_as_drawn()
    {
        open_factoryage();
        QCOMPARE(int(g_advancedoption->recovery_count()), 0);
        make_recovery_files(1);
        uitest::para()->test_signal(CHANGE_PARA);
        press("b");
        QVERIFY(!g_factoryage);
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
        QCOMPARE(int(g_advancedoption->recovery_count()), 0);
        QCOMPARE(uitest::look(g_advancedoption, "Button_rcv_recovery"), LookState::Unavailable);
    }
    void mode_key_closes_both_screens()
    {
        open_factoryage();
        press("!m");
        QVERIFY(g_factoryage);
        uitest::wr16(Ram::kKeyLock, 0);
        press("m");
        QCOMPARE(open_screens(), QString());
        QCOMPARE(int(g_page_focus), int(PAGE_CUSTOMMODE));
        open_othersetup();
        press("m");
        QCOMPARE(open_screens(), QString());
    }

    // ---- factory setup ----------------------------------------------------------------------

    void language_data()
    {
        // list: the list's entry after the keys; byte: image byte 768 and g_language right after
        // them, before the chip's pass; raised: the update request; title: the texts by then.
        columns<uint, int, QString, QString, int, bool, QString>({"mask", "language", "keys", "list", "byte", "raised", "title"});
        const auto row = [](const char *name, uint mask, int language, const char *keys, const char *list, int byte, bool raised,
                            const char *title) {
            QTest::newRow(name) << mask << language << keys << QString::fromUtf8(list) << byte << raised << QString::fromUtf8(title);
        };
        row("all offered: right to Russian", 0x1F, 1, "oro", "Русский", 2, true, "Системные настройки");
        row("right from 繁體中文 wraps to 中文", 0x1F, 4, "oro", "中文", 0, true, "工厂设置");
        row("left from 中文 wraps to 繁體中文", 0x1F, 0, "olo", "繁體中文", 4, true, "工廠設置");
        row("by the USB letters", 0x1F, 3, "ORO", "繁體中文", 4, true, "工廠設置");
        row("OK twice: the stored language, nothing written", 0x1F, 3, "oo", "Tiếng việt", 3, false, "Khôi phục cài đăt gốc");
        row("stepped back to the stored one: nothing written", 0x1F, 2, "orlo", "Русский", 2, false, "Системные настройки");
        row("English and Russian only: right alternates", 0x06, 1, "orrro", "Русский", 2, true, "Системные настройки");
        row("English and Russian only: left from Russian", 0x06, 2, "olo", "English", 1, true, "Factory setup");
        row("Vietnamese not offered: opens on English", 0x17, 3, "", "English", 3, false, "Factory setup");
        row("English not offered: right goes on to the next offered", 0x14, 1, "oro", "Русский", 2, true, "Системные настройки");
        row("English not offered: left goes back to the previous offered", 0x14, 1, "olo", "繁體中文", 4, true, "工廠設置");
        row("one language offered: the steps stay on it", 0x08, 3, "orrllo", "Tiếng việt", 3, false, "Khôi phục cài đăt gốc");
        row("none offered: the steps stay, English is applied, nothing above 4", 0x20, 7, "orrlo", "English", 1, true, "Factory setup");
    }
    void language()
    {
        QFETCH(uint, mask);
        QFETCH(int, language);
        QFETCH(QString, keys);
        QFETCH(int, byte);
        QFETCH(bool, raised);
        g_lcd_lang_valid = mask;
        set_language(language);
        open_factory();
        uitest::press(g_factory, keys);
        QTEST(combo(g_factory, "Box_lang_2"), "list");
        QCOMPARE(int(img()[Ram::kLanguage]), byte);
        QCOMPARE(int(g_language), byte);
        QCOMPARE(int(ChipRequest::request()), int(raised));
        QTEST(uitest::text(g_factory, "label_factory"), "title");
        QCOMPARE(focused_row(g_factory), QStringLiteral("Box_lang_2"));
        // The chip's pass and the refresh after it save the language and keep the texts.
        chip_pass();
        QCOMPARE(file_byte(Ram::kLanguage), raised ? byte : -1);
        QTEST(uitest::text(g_factory, "label_factory"), "title");
        QTEST(combo(g_factory, "Box_lang_2"), "list");
    }
    void factory_keys_data()
    {
        columns<QString, QString, int, QString>({"keys", "focus", "page", "open"});
        const QString here = "option advancedoption factory";
        QTest::newRow("left from the list to Reset ALL") << "l" << "Button_rst3" << 18 << here;
        QTest::newRow("right from Reset ALL to the list") << "lr" << "Box_lang_2" << 18 << here;
        QTest::newRow("right down the rows") << "rrr" << "Button_rst3" << 18 << here;
        QTest::newRow("OK opens the list") << "o" << "Box_lang_2*" << 18 << here;
        QTest::newRow("left and right in the open list keep the focus") << "olrl" << "Box_lang_2*" << 18 << here;
        QTest::newRow("a reset keeps the focus on its row") << "rro" << "Button_rst2" << 18 << here;
        QTest::newRow("back while the list is open leaves unapplied") << "orb" << "" << 12 << "option advancedoption";
        QTest::newRow("back leaves") << "rb" << "" << 12 << "option advancedoption";
        QTest::newRow("mode closes the chain") << "rm" << "" << 4 << "";
        QTest::newRow("mode under the key lock does nothing") << "!mM" << "Box_lang_2" << 18 << here;
    }
    void factory_keys()
    {
        QFETCH(QString, keys);
        set_language(LANG_EN);
        open_factory();
        press(keys);
        QTEST(g_factory ? focused_row(g_factory) : QString(), "focus");
        QTEST(int(g_page_focus), "page");
        QTEST(open_screens(), "open");
        if (!keys.contains('o'))
            QCOMPARE(int(img()[Ram::kLanguage]), int(LANG_EN));
    }
    // A language changed elsewhere (control link, start-up rule) closes an open list and shows it;
    // a language the list cannot show leaves the list as it was.
    void language_changed_elsewhere_data()
    {
        columns<uint, int, QString, QString>({"mask", "byte", "list", "texts"});
        QTest::newRow("Russian") << 0x1Fu << 2 << QString::fromUtf8("Русский")
                                 << QString::fromUtf8("Системные настройки|Сохранить IP|Нажмите ОК");
        QTest::newRow("Simplified Chinese not offered: the first offered") << 0x1Cu << 0 << QString::fromUtf8("Русский")
                                                                << QString::fromUtf8("Системные настройки|Сохранить IP|Нажмите ОК");
        QTest::newRow("none offered, a byte above 4: the list stays") << 0x20u << 7 << "English" << "Factory setup|Keep IP|Press Ok";
    }
    void language_changed_elsewhere()
    {
        QFETCH(uint, mask);
        QFETCH(int, byte);
        g_lcd_lang_valid = mask;
        set_language(LANG_EN);
        open_factory();
        press("or");
        img()[Ram::kLanguage] = uint8_t(byte);
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(focused_row(g_factory), QString(mask & 0x1F ? "Box_lang_2" : "Box_lang_2*"));
        QTEST(combo(g_factory, "Box_lang_2"), "list");
        QTEST(uitest::texts(g_factory, {"label_factory", "label_ip", "Button_rst3"}).join('|'), "texts");
        press("b");
        QCOMPARE(uitest::text(g_advancedoption, "label_title"),
                 mask & 0x1F ? QString::fromUtf8("Доп.опции") : QStringLiteral("Advanced Settings"));
    }
    void reset_data()
    {
        // depth: the row (1 Keep IP, 2 Keep IP,EDIP, 3 Reset ALL); ip, mask: in force and stored
        // before; saved: the LED width, height and splice mode as last saved; running: FPGA 0 runs;
        // source: the source manager exists. Then the INI's address, mask and gateway, the
        // commands run, the EDID requests of inputs 0..3 and the LED set-up flags.
        columns<int, QString, QString, QList<int>, bool, bool, QString, QStringList, QString, QString>(
            {"depth", "ip", "mask", "saved", "running", "source", "ini", "commands", "edid", "setup"});
        const QList<int> same{1920, 1080, 0};
        const QString kept = "10.0.0.5 255.0.0.0 10.0.0.1";
        QTest::newRow("Keep IP: EDIDs restored and asked again, LED set up")
            << 1 << "10.0.0.5" << "255.0.0.0" << QList<int>{1280, 720, 0} << true << true << kept << QStringList() << "1 1 1 1" << "1 0";
        QTest::newRow("Keep IP,EDIP: EDIDs kept, none asked") << 2 << "10.0.0.5" << "255.0.0.0" << same << true << true << kept
                                                              << QStringList() << "0 0 0 0" << "0 0";
        QTest::newRow("Reset ALL away from the default address")
            << 3 << "10.0.0.5" << "255.0.0.0" << same << true << true << "192.168.1.199 255.255.255.0 192.168.1.1"
            << setup_commands("192.168.1.199", "255.255.255.0", "192.168.1.1") << "1 1 1 1" << "0 0";
        QTest::newRow("Reset ALL on the default address: mask and gateway kept, nothing run")
            << 3 << "192.168.1.199" << "255.255.0.0" << same << true << true << "192.168.1.199 255.255.0.0 10.0.0.1"
            << QStringList() << "1 1 1 1" << "0 0";
        QTest::newRow("the splice mode alone differs") << 2 << "10.0.0.5" << "255.0.0.0" << QList<int>{1920, 1080, 2} << true << true
                                                       << kept << QStringList() << "0 0 0 0" << "1 0";
        QTest::newRow("a new height, FPGA not running") << 1 << "10.0.0.5" << "255.0.0.0" << QList<int>{1920, 1200, 0} << false
                                                        << true << kept << QStringList() << "1 1 1 1" << "0 0";
        QTest::newRow("no source manager: the image alone") << 1 << "10.0.0.5" << "255.0.0.0" << same << true << false << kept
                                                            << QStringList() << "" << "0 0";
    }
    void reset()
    {
        QFETCH(int, depth);
        QFETCH(QString, ip);
        QFETCH(QString, mask);
        QFETCH(QList<int>, saved);
        QFETCH(bool, running);
        QFETCH(bool, source);
        fpga_manage::destroy_for_test();
        SimLock()->fpga_running = running;
        fpga_manage::create_for_test();
        g_str_ip = ip, g_srt_mask = mask, g_str_gateway = "10.0.0.1";
        ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, ip);
        ConfigEngine::p_config->write_config_variant(ConfigItem::SubNetMask, mask);
        ConfigEngine::p_config->write_config_variant(ConfigItem::GateWay, g_str_gateway);
        tarvosource *src = source ? tarvosource::create_for_test() : nullptr;
        const uint8_t written[4] = {1, 0, 1, 0};
        if (src) {
            std::memcpy(src->edid_written, written, 4);
            std::memset(src->edid_request, 0, 4);
        }
        set_language(LANG_EN);
        open_factory();
        // Every byte of the image away from the factory table; the saved LED words as given.
        for (int i = 0; i < Ram::kSize; ++i)
            img()[i] = uint8_t(i * 7 + 3);
        uint8_t *shadow = uitest::para()->RAM_PARA_SHADOW;
        Ram::wr16(shadow, Ram::kLedWidth, uint16_t(saved[0]));
        Ram::wr16(shadow, Ram::kLedHeight, uint16_t(saved[1]));
        Ram::wr16(shadow, Ram::kSpliceMode, uint16_t(saved[2]));
        uint8_t expected[Ram::kSize];
        std::memcpy(expected, img(), sizeof expected);
        for (int off = Ram::kSavedFrom; off < Ram::kSize; ++off) {
            if (depth != 2 || off < Ram::kEdid || off >= Ram::kEdid + Ram::kEdidRegionSize)
                expected[off] = default_para_ramlist[Ram::file_at(off)];
        }
        for (int k = 0; k < Ram::kLayerSlots; ++k)
            expected[Ram::kFade + 4 * k] = expected[Ram::kFade + 4 * k + 2] = 60;
        QFile::remove(Paths::dev("/shell.log"));
        FileChanges changes(Paths::dev("/data/configs/tcpip.ini"));

        uitest::press(g_factory, QStringLiteral("%1o").arg(depth == 3 ? "l" : depth == 2 ? "rr" : "r"));
        QCOMPARE(int(ChipRequest::request()), 1);
        // The network defaults reach the file in one write.
        QFETCH(QStringList, commands);
        QCOMPARE(changes.count(), commands.isEmpty() ? 0 : 1);
        int at = 0;
        while (at < Ram::kSize && img()[at] == expected[at])
            ++at;
        QVERIFY2(at == Ram::kSize, qPrintable(QStringLiteral("the image differs from the expected at offset %1").arg(at)));
        QTEST(ini("IPAddress") + ' ' + ini("SubNetMask") + ' ' + ini("GateWay"), "ini");
        QTEST(shell_log(), "commands");
        QTEST(src ? edid_bytes(src->edid_request) : QString(), "edid");
        if (src)
            QCOMPARE(edid_bytes(src->edid_written), edid_bytes(written));
        QTEST(QStringLiteral("%1 %2").arg(g_set_led_para.load()).arg(g_set_led_setup.load()), "setup");

        // The chip's pass announces the change: the image saved, the texts in the table's language.
        chip_pass();
        const QByteArray file = read_dev_file("/data/ram_device_info");
        QCOMPARE(file.mid(2, Ram::kSize - Ram::kSavedFrom),
                 QByteArray(reinterpret_cast<const char *>(img()) + Ram::kSavedFrom, Ram::kSize - Ram::kSavedFrom));
        QCOMPARE(int(g_language), 0);
        QCOMPARE(uitest::text(g_factory, "label_factory"), QString::fromUtf8("工厂设置"));
        QCOMPARE(combo(g_factory, "Box_lang_2"), QString::fromUtf8("中文"));
        QCOMPARE(focused_row(g_factory), QStringLiteral("Button_rst%1").arg(depth));
    }
    // Reset ALL on a full data root: the network defaults are neither saved nor put in force and
    // the configuration stays wholly old; the failure is said, and no check mark shows. The image
    // is reset in memory all the same and its save said to fail; once there is room again, the
    // writer's retry saves it with no further announcement.
    void reset_on_a_full_data_root()
    {
        g_str_ip = "10.0.0.5", g_srt_mask = "255.0.0.0", g_str_gateway = "10.0.0.1";
        QVERIFY(ConfigEngine::p_config->write_config_variants({{ConfigItem::IPAddress, g_str_ip},
                                                               {ConfigItem::SubNetMask, g_srt_mask},
                                                               {ConfigItem::GateWay, g_str_gateway}}));
        set_language(LANG_EN);
        uitest::wr16(Ram::kLedWidth, 1280);
        uitest::para()->ram_para_save();
        const QByteArray old_ini = read_dev_file("/data/configs/tcpip.ini");
        const QByteArray old_image = read_dev_file("/data/ram_device_info");
        QVERIFY(!old_image.isEmpty());
        open_factory();
        QFile::remove(Paths::dev("/shell.log"));
        QStringList said;
        {
            Warnings warnings;
            FullDisk full;
            press("lo");
            chip_pass();
            said = warnings.lines();
            QCOMPARE(read_dev_file("/data/ram_device_info"), old_image);
        }
        QCOMPARE(read_dev_file("/data/configs/tcpip.ini"), old_ini);
        QStringList configured;
        for (auto key : {ConfigItem::IPAddress, ConfigItem::SubNetMask, ConfigItem::GateWay})
            configured << ConfigEngine::p_config->read_config_variant(key).toString();
        QCOMPARE(configured.join(' '), QStringLiteral("10.0.0.5 255.0.0.0 10.0.0.1"));
        QCOMPARE(g_str_ip + ' ' + g_srt_mask + ' ' + g_str_gateway, configured.join(' '));
        QVERIFY(shell_log().isEmpty());
        QCOMPARE(said.filter("network address 192.168.1.199, mask 255.255.255.0, gateway 192.168.1.1 not saved").size(), 1);
        QCOMPARE(said.filter("ram_device_info: not saved").size(), 1);
        QVERIFY(!g_tip->isVisible());
        QCOMPARE(int(uitest::rd16(Ram::kLedWidth)), 1920);
        QCOMPARE(file_byte(Ram::kLedWidth) | file_byte(Ram::kLedWidth + 1) << 8, 1920);
    }
    // Another thread holding the chip mutex sees no byte of a language apply or a reset until it
    // lets go; the write is made afterwards.
    void factory_writes_under_the_chip_mutex_data()
    {
        columns<QString, int>({"open", "offset"});
        QTest::newRow("language") << "or" << int(Ram::kLanguage);
        QTest::newRow("Keep IP") << "r" << int(Ram::kLedWidth);
        QTest::newRow("Keep IP,EDIP") << "rr" << int(Ram::kLedWidth);
        QTest::newRow("Reset ALL") << "l" << int(Ram::kLedWidth);
    }
    void factory_writes_under_the_chip_mutex()
    {
        QFETCH(QString, open);
        QFETCH(int, offset);
        set_language(LANG_EN);
        open_factory();
        press(open);
        uitest::wr16(Ram::kLedWidth, 640);
        const uint16_t before = uitest::rd16(offset);
        QVERIFY2(!uitest::image_changed_under_held_chip_mutex([] { press("o"); }),
                 "the image changed while another thread held the chip mutex");
        QVERIFY(before != uitest::rd16(offset));
    }
    void font_lines_data()
    {
        // fonts: the chip manager's font bits, -1 without a manager
        columns<int, uint, int, QString, QString>({"language", "valid", "fonts", "cn", "en"});
        QTest::newRow("English, every font") << 1 << 0x1Fu << 0x0F << "wCN: g32 w| g64 w| g128" << "wEN: g32 w| g64 w| g128";
        QTest::newRow("no 64-pixel Chinese: 64 and 128 red") << 1 << 0x1Fu << 0x0B << "wCN: g32 w| r64 w| r128"
                                                            << "wEN: g32 w| g64 w| g128";
        QTest::newRow("no 32-pixel English") << 2 << 0x1Fu << 0x0D << "wCN: g32 w| g64 w| g128" << "wEN: r32 w| g64 w| g128";
        QTest::newRow("no 64-pixel English") << 3 << 0x1Fu << 0x07 << "wCN: g32 w| g64 w| g128" << "wEN: g32 w| r64 w| r128";
        QTest::newRow("Simplified Chinese") << 0 << 0x1Fu << 0x06 << "w中文: r32宽 w| g64宽 w| g128宽" << "w英文: g32宽 w| r64宽 w| r128宽";
        QTest::newRow("Traditional Chinese keeps the Latin prefixes") << 4 << 0x1Fu << 0x0F << "wCN: g32寬 w| g64寬 w| g128寬"
                                                                     << "wEN: g32寬 w| g64寬 w| g128寬";
        QTest::newRow("Simplified Chinese not offered") << 0 << 0x1Eu << 0x0F << "wCN: g32 w| g64 w| g128" << "wEN: g32 w| g64 w| g128";
        QTest::newRow("no chip manager: every size red") << 1 << 0x1Fu << -1 << "wCN: r32 w| r64 w| r128" << "wEN: r32 w| r64 w| r128";
    }
    void font_lines()
    {
        QFETCH(int, language);
        QFETCH(uint, valid);
        QFETCH(int, fonts);
        QFETCH(QString, cn);
        QFETCH(QString, en);
        g_lcd_lang_valid = valid;
        set_language(language);
        if (fonts < 0)
            c331_manage::destroy_for_test();
        else
            c331_manage::p_c331_manage->font_bits = uint32_t(fonts);
        open_factory();
        QCOMPARE(uitest::runs(g_factory, "FontCN"), font_line(cn));
        QCOMPARE(uitest::runs(g_factory, "FontEN"), font_line(en));
    }
    // The lines are drawn with the texts: bits that change while the screen is open show at the
    // next language change.
    void font_lines_follow_the_texts()
    {
        set_language(LANG_EN);
        open_factory();
        c331_manage::p_c331_manage->font_bits = 0x0E;
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(uitest::runs(g_factory, "FontCN"), font_line("wCN: g32 w| g64 w| g128"));
        img()[Ram::kLanguage] = LANG_RU;
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(uitest::runs(g_factory, "FontCN"), font_line("wCN: r32 w| g64 w| g128"));
    }
    // A touch on a reset row does nothing.
    void factory_buttons_ignore_touches()
    {
        set_language(LANG_EN);
        open_factory();
        uint8_t before[Ram::kSize];
        std::memcpy(before, img(), sizeof before);
        for (const char *name : {"Button_rst1", "Button_rst2", "Button_rst3"})
            QTest::mouseClick(g_factory->findChild<QPushButton *>(name), Qt::LeftButton);
        QCOMPARE(int(ChipRequest::request()), 0);
        QVERIFY(std::memcmp(before, img(), sizeof before) == 0);
        QCOMPARE(focused_row(g_factory), QStringLiteral("Box_lang_2"));
    }

    // ---- lists of the three screens ----------------------------------------------------------

    // A touch on a list and then on an entry of its popup, should one open, picks nothing: the
    // list still shows the stored value, and OK on its row later keeps that value.
    void lists_ignore_touches_data()
    {
        // stored: what is in force after the touch and after the keys
        columns<Setup, QString, int, QString, QString, Probe, QString>({"open", "list", "entry", "keys", "shown", "stored", "in_force"});
        QTest::newRow("LCD: 60 picked over a stored 30")
            << Setup(open_lcdshow) << "comboBox_back" << 1 << "oo" << "30" << Probe([] { return QString::number(g_back_to_mainwindow_time); })
            << "3000";
        QTest::newRow("LCD: Never picked for the lock")
            << Setup(open_lcdshow) << "comboBox_lock" << 2 << "roo" << "5min" << Probe([] { return QString::number(g_auto_lock_time); })
            << "30000";
        QTest::newRow("other settings: WiFi off picked while the access point runs")
            << Setup(open_othersetup) << "wifi_state" << 1 << "rrroo" << "ON" << Probe([] { return QString::number(img()[Ram::kWifiOff]); })
            << "0";
        QTest::newRow("other settings: fade picked")
            << Setup(open_othersetup) << "switch_state" << 1 << "rroo" << "Seamless"
            << Probe([] { return QString::number(uitest::rd16(Ram::kSwitchEffect)); }) << "0";
        QTest::newRow("factory: English picked under a Chinese panel")
            << Setup([] { set_language(0), open_factory(); }) << "Box_lang_2" << 1 << "oo" << "中文"
            << Probe([] { return QStringLiteral("%1 %2").arg(img()[Ram::kLanguage]).arg(g_language); }) << "0 0";
    }
    void lists_ignore_touches()
    {
        QFETCH(Setup, open);
        QFETCH(QString, list);
        QFETCH(int, entry);
        QFETCH(QString, keys);
        open();
        QWidget *screen = screen_at(g_page_focus)->widget();
        auto *box = screen->findChild<QComboBox *>(list);
        uint8_t before[Ram::kSize];
        std::memcpy(before, img(), sizeof before);
        touch_pick(screen, box, entry);
        QTEST(box->currentText(), "shown");
        QVERIFY(std::memcmp(before, img(), sizeof before) == 0);
        QCOMPARE(focused_row(screen_at(g_page_focus)), screen_at(g_page_focus)->focus().at(0)->objectName());
        press(keys);
        QTEST(box->currentText(), "shown");
        QFETCH(Probe, stored);
        QTEST(stored(), "in_force");
    }

    // ---- LCD display ------------------------------------------------------------------------

    void lcd_keys_data()
    {
        // shown: both lists; back and lock: the two delays afterwards
        columns<QString, QString, int, int, QString, int>({"keys", "shown", "back", "lock", "focus", "page"});
        QTest::newRow("first opening after a start") << "" << "30|5min" << 3000 << 30000 << "comboBox_back" << 15;
        QTest::newRow("Never for the main interface") << "orro" << "Never|5min" << 120000 << 30000 << "comboBox_back" << 15;
        QTest::newRow("60 s") << "oro" << "60|5min" << 6000 << 30000 << "comboBox_back" << 15;
        QTest::newRow("right three times comes back round") << "orrro" << "30|5min" << 3000 << 30000 << "comboBox_back" << 15;
        QTest::newRow("left from the first entry is Never") << "olo" << "Never|5min" << 120000 << 30000 << "comboBox_back" << 15;
        QTest::newRow("Never for the lock") << "rolo" << "30|Never" << 3000 << 120000 << "comboBox_lock" << 15;
        QTest::newRow("10 min for the lock by the letters") << "ROLLO" << "30|10min" << 3000 << 60000 << "comboBox_lock" << 15;
        QTest::newRow("an open list, not yet stored") << "orr" << "Never|5min" << 3000 << 30000 << "comboBox_back*" << 15;
        QTest::newRow("the rows wrap into each other") << "ll" << "30|5min" << 3000 << 30000 << "comboBox_back" << 15;
        QTest::newRow("back while editing leaves unstored") << "orb" << "" << 3000 << 30000 << "" << 12;
        QTest::newRow("mode closes the chain") << "m" << "" << 3000 << 30000 << "" << 4;
        QTest::newRow("mode under the key lock does nothing") << "r!m" << "30|5min" << 3000 << 30000 << "comboBox_lock" << 15;
    }
    void lcd_keys()
    {
        QFETCH(QString, keys);
        open_lcdshow();
        press(keys);
        QTEST(g_lcdshow ? combo(g_lcdshow, "comboBox_back") + '|' + combo(g_lcdshow, "comboBox_lock") : QString(), "shown");
        QTEST(g_back_to_mainwindow_time, "back");
        QTEST(g_auto_lock_time, "lock");
        QTEST(g_lcdshow ? focused_row(g_lcdshow) : QString(), "focus");
        QTEST(int(g_page_focus), "page");
    }
    // Row 1's OK twice stores what it shows; the next opening shows the stored delays.
    void lcd_reopened()
    {
        g_auto_lock_time = 60000;
        open_lcdshow();
        press("roo");
        QCOMPARE(g_auto_lock_time, 60000);
        press("lolob");
        QCOMPARE(g_back_to_mainwindow_time, 120000);
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
        press("o");
        QCOMPARE(combo(g_lcdshow, "comboBox_back") + '|' + combo(g_lcdshow, "comboBox_lock"), QStringLiteral("Never|10min"));
    }
    // A language change closes an open list unstored and refills both in the new language.
    void lcd_language_change()
    {
        open_lcdshow();
        press("orr");
        img()[Ram::kLanguage] = LANG_RU;
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(focused_row(g_lcdshow), QStringLiteral("comboBox_back"));
        QCOMPARE(combo(g_lcdshow, "comboBox_back") + '|' + combo(g_lcdshow, "comboBox_lock"), QString::fromUtf8("30|5 мин"));
        QCOMPARE(uitest::texts(g_lcdshow, {"label_LCDshow", "label_backmainwindow", "label_autolock"}).join('|'),
                 QString::fromUtf8("ЖК дисплей|Возврат к главному|Автоблокировка"));
        QCOMPARE(g_back_to_mainwindow_time, 3000);
        press("orro");
        QCOMPARE(combo(g_lcdshow, "comboBox_back"), QString::fromUtf8("Отключить"));
        QCOMPARE(g_back_to_mainwindow_time, 120000);
    }
};

QTEST_MAIN(TestSetup)
#include "test_setup.moc"
