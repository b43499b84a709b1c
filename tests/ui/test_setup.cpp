// Other settings and the ageing log: each line of other settings by keys against the image and the
// parameter file, the WiFi commands and restart request, the writes under the chip mutex; the
// ageing log filled directly and by the tick's sampler, its pages, rows, colours and counters.
#include <QComboBox>
#include <atomic>
#include <cstring>
#include <thread>

#include "chip_request.h"
#include "clock.h"
#include "k58_wifi_config.h"
#include "mainfixture.h"

using namespace mainfx;
using Setup = std::function<void()>;
Q_DECLARE_METATYPE(Setup)

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
        uint8_t before[Ram::kSize];
        std::memcpy(before, img(), sizeof before);
        std::atomic<bool> held{false}, seen{false};
        std::thread holder([&] {
            QMutexLocker lock(&ChipRequest::mutex());
            held = true;
            // Long enough for the key below to reach its writes; a correct screen waits here.
            for (int i = 0; i < 200 && !seen; ++i) {
                seen = std::memcmp(before, img(), sizeof before) != 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        while (!held)
            std::this_thread::yield();
        press(commit);
        holder.join();
        QVERIFY2(!seen, "the image changed while another thread held the chip mutex");
        QVERIFY(Ram::rd16(before, offset) != uitest::rd16(offset));
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
        press("b");
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
        QVERIFY(!g_factoryage);
        QCOMPARE(uitest::text(g_advancedoption, "label_title"), QString::fromUtf8("Доп.опции"));
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
};

QTEST_MAIN(TestSetup)
#include "test_setup.moc"
