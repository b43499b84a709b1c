// The core, without widgets: the parameter image and its file, the user modes, the crops, the
// change refresh, the configuration, the shell runner and the names file.
#include <QSettings>
#include <QThread>
#include <QtTest>
#include <QDir>
#include <QScopeGuard>
#include <atomic>
#include <memory>
#include <cstring>
#include <sys/stat.h>
#include <thread>

#include "alias.h"
#include "chip_request.h"
#include "config_engine.h"
#include "file_writer.h"
#include "global.h"
#include "json_file.h"
#include "paths.h"
#include "syncupdate.h"
#include "testroot.h"
#include "uihooks.h"
#include "utils.h"
#include "zemrampara.h"

using namespace Ram;
using Clock = std::chrono::steady_clock;

namespace {
const QString kImage = QStringLiteral("/data/ram_device_info"), kIni = QStringLiteral("/data/configs/tcpip.ini");
QStringList g_calls;   // what the change refresh called in the screens, in order
QString ini_value(const QString &key) { return QSettings(Paths::dev(kIni), QSettings::IniFormat).value("config/" + key).toString(); }
// The store with the change refresh connected, as the program runs them.
ZemRamPara *synced_store() { return SyncUpdate::pInstance(), ZemRamPara::p_zemrampara_config; }
void record_refresh(int code) { g_calls << QStringLiteral("refresh %1").arg(code); }
// A parameter or mode file as the device writes it: marker, data, zero fill to 4096 bytes.
QByteArray marked_file(const uint8_t *data, int size)
{
    return (QByteArray("\xAA\xAA") + QByteArray(reinterpret_cast<const char *>(data), size)).leftJustified(4096, '\0');
}
QByteArray image_file_bytes(const uint8_t *image) { return marked_file(image + 768, 4096 - 768); }
QByteArray image_of(const ZemRamPara *r) { return QByteArray(reinterpret_cast<const char *>(r->RAM_PARA), 4096); }
// A u16 of the parameter file by image offset.
uint16_t file16(const QByteArray &file, int image_offset)
{
    return uint16_t(uint8_t(file[image_offset - 766]) | uint8_t(file[image_offset - 765]) << 8);
}
// A user-mode file filled with one byte, with its OSD word.
QByteArray mode_file(uint8_t fill, uint16_t osd_enable)
{
    uint8_t d[kModeSize];
    std::memset(d, fill, sizeof d);
    Ram::wr16(d, kOsdEnable - kModeFrom, osd_enable);
    return marked_file(d, kModeSize);
}
// Crop numbers of a source in list order (n = 1, 2, ...).
QList<int> numbers(ZemRamPara *r, int source)
{
    QList<int> out;
    while (const int id = r->ZemGetCropID(source, out.size() + 1))
        out << id;
    return out;
}
// Crop word, x, y, width, height of a crop-table entry.
QList<int> entry(ZemRamPara *r, int i)
{
    return {r->rd16(crop(i)), r->rd16(crop(i) + kCropX), r->rd16(crop(i) + kCropY), r->rd16(crop(i) + kCropW),
            r->rd16(crop(i) + kCropH)};
}
}

class TestCore : public QObject
{
    Q_OBJECT
private slots:
    // A clean data root and a store that will be created again from its files; the change
    // refresh's calls into the screens recorded.
    void init()
    {
        fresh_test_root(QString::fromLatin1(QTest::currentTestFunction()));
        ZemRamPara::destroy_for_test();
        ConfigEngine::destroy_for_test();
        reset_globals();
        g_debugSwitch = 0;
        ChipRequest::request() = 0;
        g_calls.clear();
        UiHooks::refresh_screen = record_refresh;
        UiHooks::update_key_leds = [] { g_calls << QStringLiteral("leds"); };
        UiHooks::after_sync = [](int code) { g_calls << QStringLiteral("after %1").arg(code); };
    }
    void image_round_trip()
    {
        // A bigger file of another kind is replaced whole, and nothing of the write is left beside it.
        write_dev_file(kImage, QByteArray(9000, 'x'));
        ZemRamPara *r = ZemRamPara::pInstance();
        r->wr16(kLedWidth, 3840);
        r->RAM_PARA[4095] = 0x5A;
        r->RAM_PARA[100] = 0x33;   // below 768: never stored
        r->RAM_PARA[kTestPattern] = 6;
        r->wr16(kCurrentMode, 3);
        for (int k = 0; k < 32; ++k)
            r->wr16(kFade + 2 * k, uint16_t(0x0100 + k));
        QVERIFY(r->save_image_file());
        QCOMPARE(read_dev_file(kImage), image_file_bytes(r->RAM_PARA));
        QCOMPARE(QDir(Paths::dev("/data")).entryList(QDir::Files | QDir::Hidden), QStringList{"ram_device_info"});
        // A start clears the test pattern and current mode and sets the fades' low bytes to 60.
        QByteArray expected = image_of(r).replace(kTestPattern, 4, QByteArray(4, '\0'));
        expected[100] = 0;
        for (int k = 0; k < 32; ++k)
            expected[kFade + 2 * k] = char(60);
        ZemRamPara::destroy_for_test();
        r = ZemRamPara::pInstance();
        QCOMPARE(image_of(r), expected);
        QCOMPARE(std::memcmp(r->RAM_PARA, r->RAM_PARA_SHADOW, 4096), 0);
    }
    void unusable_files()
    {
        uint8_t img[4096] = {};
        Ram::wr16(img, kLedWidth, 1234);
        const QByteArray good = image_file_bytes(img);
        // Torn, empty, one byte long, a foreign marker, the empty marker.
        for (const QByteArray &content : {good.left(2000), QByteArray(""), good + '\0', QByteArray(good).replace(1, 1, "\x55"),
                                          QByteArray(good).replace(0, 2, "\xFF\xFF")}) {
            write_dev_file(kImage, content);
            write_dev_file(mode_file_path(4), content);
            write_dev_file(mode_file_path(15), mode_file(0x22, 0));
            ZemRamPara::destroy_for_test();
            ZemRamPara *r = ZemRamPara::pInstance();
            // The factory image: LED screen, quality record, EDID requests of inputs 3 and 4.
            QCOMPARE(image_of(r).mid(kLedWidth, 4), QByteArray("\x80\x07\x38\x04", 4));
            QCOMPARE(image_of(r).mid(kQuality, 16), QByteArray("\x64\0\x32\0\x0A\0\x32\0\x02\0\x40\0\x40\0\x40\0", 16));
            QCOMPARE(image_of(r).mid(edid(3), 12), QByteArray("\x80\x07\x38\x04\x3C\0\0\x0F\x70\x08\x3C\0", 12));
            QCOMPARE(std::memcmp(r->RAM_PARA + 768, default_para_ramlist + 2, kTestPattern - 768), 0);
            QCOMPARE(r->ZemUserModeSaved(4) + r->mode_file_deal(4, 0), 0);
            QCOMPARE(r->ZemUserModeSaved(15) + r->mode_file_deal(15, 0), 2);
        }
    }
    void delete_mode()
    {
        // Slot 10 with the OSD on (its copy has a hexadecimal name), slot 0 with an OSD word of 2.
        write_dev_file("/data/modes/custom_mode11", mode_file(0x33, 1));
        write_dev_file("/data/modes/custom_mode1", mode_file(0x33, 2));
        write_dev_file("/data/modes/custom_mode6", mode_file(0x44, 1));
        write_dev_file("/data/modes/MO0b.json", "{}");
        write_dev_file("/data/modes/MO01.json", "{}");
        ZemRamPara *r = ZemRamPara::pInstance();
        QCOMPARE(r->mode_file_deal(10, 1) + r->mode_file_deal(0, 1), 0);
        QCOMPARE(r->ZemUserModeSaved(10) + r->ZemUserModeSaved(0) + r->ZemUserModeSaved(5), 1);
        SyncUpdate::finish_writes();
        QCOMPARE(QDir(Paths::dev("/data/modes")).entryList(QDir::Files), (QStringList{"custom_mode6", "MO01.json"}));
        QCOMPARE(shell_log(), (QStringList{"sync", "sync"}));   // files go through Qt, never a shell "rm"
    }
    // A mode deleted while a new save of it is on its way to the disk stays deleted: the file of
    // the save is removed once written, and what the writer says of the save fills no slot.
    void deleting_a_mode_while_it_is_saved()
    {
        ZemRamPara *r = synced_store();
        g_page_focus = 27;
        r->wr16(kModeSaveRequest, 3);
        r->ram_para_save();
        SyncUpdate::finish_writes();
        QVERIFY(r->ZemUserModeSaved(2) && r->rd16(kCurrentMode) == 3);
        static std::atomic<bool> hold;
        hold = true;
        FileWriter::before_file_hook = [](const QString &) { zemtest::poll_until([] { return !hold.load(); }); };
        r->RAM_PARA[4000] ^= 0xFF;
        r->wr16(kModeSaveRequest, 3);
        r->ram_para_save();   // the writer holds the mode's file
        QCOMPARE(r->mode_file_deal(2, 1), 0);
        hold = false;
        SyncUpdate::finish_writes();
        FileWriter::before_file_hook = nullptr;
        QVERIFY(!QFileInfo::exists(Paths::dev(mode_file_path(2))));
        QCOMPARE(r->ZemUserModeSaved(2) + r->mode_file_deal(2, 0), 0);
    }
    // A copy the disk refused waits out the retry interval: the writer goes on to what was handed
    // over after it, and tries it again when the interval has passed or finish() asks. Its own
    // clock wakes it for the retry, a new interval rouses it at once, and with nothing left it
    // sleeps until something comes.
    void a_failed_copy_waits_for_its_retry()
    {
        using std::chrono::hours;
        const auto asleep = [] {
            const FileWriter::Sleep s = FileWriter::sleep_now();
            return s.sleeping && !s.woken;
        };
        // Set when the writer sleeps for a retry that failed between `before` and `after`.
        const auto wakes_for_retry = [](const FileWriter::Sleep &s, Clock::time_point before, Clock::time_point after,
                                        hours interval) {
            return s.until && *s.until >= before + interval && *s.until <= after + interval;
        };
        static QMutex tried_mutex;
        static QStringList tried;
        const auto tries = [] {
            QMutexLocker lock(&tried_mutex);
            return tried;
        };
        tried.clear();
        FileWriter::before_file_hook = [](const QString &path) {
            QMutexLocker lock(&tried_mutex);
            tried << QFileInfo(path).fileName();
        };
        const auto unhook = qScopeGuard([] { FileWriter::before_file_hook = nullptr; });
        RetryEvery retry(3600 * 1000);
        {
            ReadOnlyDisk read_only(QStringLiteral("/refused"));
            const Clock::time_point before = Clock::now();
            // Handed over while the refused copy is told, before the writer chooses what comes next.
            FileWriter::write(QStringLiteral("/data/refused"), "1",
                              [](bool ok) { ok ? void() : FileWriter::write(QStringLiteral("/data/taken"), "2"); });
            QVERIFY(zemtest::poll_until([&] { return tries().size() >= 2 && asleep(); }));
            const Clock::time_point after = Clock::now();
            QCOMPARE(tries(), (QStringList{"refused", "taken"}));
            QVERIFY2(wakes_for_retry(FileWriter::sleep_now(), before, after, hours(1)), "no clock wakes the writer for its retry");
            FileWriter::set_retry_interval(hours(2));
            const FileWriter::Sleep told = FileWriter::sleep_now();
            QVERIFY2(told.woken || wakes_for_retry(told, before, after, hours(2)), "the writer sleeps on the old interval");
            QVERIFY(zemtest::poll_until(asleep));
            QVERIFY(wakes_for_retry(FileWriter::sleep_now(), before, after, hours(2)));
        }
        FileWriter::finish();
        QCOMPARE(tries(), (QStringList{"refused", "taken", "refused"}));
        QCOMPARE(read_dev_file("/data/refused") + read_dev_file("/data/taken"), QByteArray("12"));
        QVERIFY(zemtest::poll_until(asleep));
        QVERIFY(!FileWriter::sleep_now().until);
    }
    // A deletion the disk refused half (the OSD copy stayed) waits for its retry while a save of
    // the slot is written: the retry takes the OSD copy, never the mode file saved since.
    void a_retried_deletion_spares_a_later_save()
    {
        ZemRamPara *r = synced_store();
        g_page_focus = 27;
        r->wr16(kOsdEnable, 1);
        r->wr16(kModeSaveRequest, 3);
        r->ram_para_save();
        SyncUpdate::finish_writes();
        write_dev_file(mode_osd_file_path(2), "{}");
        RetryEvery retry(3600 * 1000);
        {
            ReadOnlyDisk read_only(mode_osd_file_path(2));
            r->mode_file_deal(2, 1);
            SyncUpdate::finish_writes();
            QCOMPARE(r->ZemUserModeSaved(2), 0);
            r->wr16(kModeSaveRequest, 3);
            r->ram_para_save();
            ZEM_TRY_VERIFY(r->ZemUserModeSaved(2));
        }
        FileWriter::set_retry_interval(std::chrono::milliseconds(5));
        ZEM_TRY_VERIFY(!QFileInfo::exists(Paths::dev(mode_osd_file_path(2))));
        QVERIFY(QFileInfo::exists(Paths::dev(mode_file_path(2))) && r->ZemUserModeSaved(2));
    }
    // A deleted mode is gone once its file is: a folder in its place, which no unlink takes, is a
    // removal that failed, said once and tried again; a file already gone is a removal done, at
    // once and for good.
    void a_removal_is_done_when_the_file_is_gone_data()
    {
        columns<QString, bool, int, QString>({"place", "removed", "slot", "said"});
        QTest::newRow("a folder in its place") << "folder" << false << 0 << "not removed: a folder, not a file";
        QTest::newRow("a file already gone") << "gone" << true << 0 << "";
    }
    void a_removal_is_done_when_the_file_is_gone()
    {
        QFETCH(QString, place);
        QFETCH(bool, removed);
        QFETCH(QString, said);
        ZemRamPara *r = synced_store();
        g_page_focus = 27;
        r->wr16(kModeSaveRequest, 3);
        r->ram_para_save();
        SyncUpdate::finish_writes();
        QVERIFY(r->ZemUserModeSaved(2));
        const QString file = Paths::dev(mode_file_path(2));
        QVERIFY(QFile::remove(file));
        if (place == "folder")
            write_dev_file(mode_file_path(2) + "/inside", "kept");
        static std::atomic<int> tries;
        tries = 0;
        FileWriter::before_file_hook = [](const QString &) { ++tries; };
        const auto unhook = qScopeGuard([] { FileWriter::before_file_hook = nullptr; });
        RetryEvery retry(3600 * 1000);   // a retry comes only through finish()
        QList<int> told;
        const QMetaObject::Connection listening = connect(SyncUpdate::p_syncupdate, &SyncUpdate::sig_mode_removed, r,
                                                          [&](int slot, bool ok) { told << slot << ok; });
        const auto unlisten = qScopeGuard([listening] { disconnect(listening); });
        Warnings warnings;
        r->mode_file_deal(2, 1);
        SyncUpdate::finish_writes();
        QCOMPARE(told, (QList<int>{2, removed}));
        QTEST(r->ZemUserModeSaved(2), "slot");
        QCOMPARE(warnings.count(": not removed: "), said.isEmpty() ? 0 : 1);
        QCOMPARE(warnings.count(file + ": " + said), said.isEmpty() ? 0 : 1);
        // Tried again until it is made, and no more then.
        QVERIFY(place != "folder" || QDir(file).removeRecursively());
        SyncUpdate::finish_writes();
        const int made_at = tries;
        SyncUpdate::finish_writes();
        QCOMPARE(tries.load(), made_at);
        QCOMPARE(made_at == 1, removed);
        QCOMPARE(told, (removed ? QList<int>{2, 1} : QList<int>{2, 0, 2, 1}));
        QVERIFY(!QFileInfo::exists(file) && !r->ZemUserModeSaved(2));
    }
    void mode_index()
    {
        ZemRamPara *r = ZemRamPara::pInstance();
        // Saved slots as a bit mask; operation 2 from the index itself, 1 upwards, 0 downwards.
        const struct { uint16_t saved; int index, op, expected; } rows[] = {
            {0x1084, 7, 2, 7},  {0x1084, 8, 2, 12}, {0x1084, 13, 2, 2}, {0x1084, 7, 1, 12}, {0x1084, 12, 1, 2},
            {0x1084, 7, 0, 2},  {0x1084, 15, 0, 12}, {0x1084, 2, 0, 12}, {0x0020, 5, 1, 5},  {0x8001, 15, 1, 0},
            {0x1084, 40, 2, 2}, {0, 4, 2, 256},      {0, 4, 1, 256},     {0, 4, 0, 256},
        };
        for (const auto &row : rows) {
            for (int s = 0; s < 16; ++s)
                r->user_mode[s].marker[0] = r->user_mode[s].marker[1] = (row.saved >> s & 1) ? 0xAA : 0xFF;
            QCOMPARE(r->ZemUserModeIndex(row.index, row.op), row.expected);
        }
    }
    void language_changed()
    {
        ZemRamPara *r = ZemRamPara::pInstance();
        // Enabled languages, shadow and image byte 768 -> result, g_language, byte 768 after.
        const struct { uint32_t valid; uint8_t shadow, image; int result, language, after; } rows[] = {
            {0x1F, 2, 2, 0, 9, 2}, {0x1F, 0, 3, 1, 3, 3}, {0x13, 0, 2, 1, 0, 0},
            {0x1A, 0, 2, 1, 1, 1}, {0x1F, 0, 7, 1, 0, 0}, {0x00, 0, 3, 1, 3, 3},
        };
        for (const auto &row : rows) {
            g_lcd_lang_valid = row.valid;
            g_language = 9;
            r->RAM_PARA_SHADOW[kLanguage] = row.shadow;
            r->RAM_PARA[kLanguage] = row.image;
            r->RAM_PARA[kLanguage + 1] = row.result ? 0x40 : 0;   // a stray high byte is cleared on a fix
            const int result = r->ZemLanguageChanged();
            const int high = row.after != row.image ? 0 : row.result ? 0x40 : 0;
            QCOMPARE((QList<int>{result, g_language, r->RAM_PARA[kLanguage], r->RAM_PARA[kLanguage + 1], r->RAM_PARA_SHADOW[kLanguage]}),
                     (QList<int>{row.result, row.language, row.after, high, row.shadow}));
        }
    }
    void add_delete_add_on_two_sources()
    {
        ZemRamPara *r = ZemRamPara::pInstance();
        const CROP_PARA a{0, 10, 20, 300, 400}, b{0, 2, 2, 2, 2}, d{0, 4, 4, 4, 4};
        r->ZemAddNewCrop(1, &a);   // HDMI1 number 1 -> entry 0
        r->ZemAddNewCrop(2, &b);   // HDMI2 number 1 -> entry 1
        r->ZemAddNewCrop(1, &b);   // HDMI1 number 2 -> entry 2
        r->ZemAddNewCrop(1, &b);   // HDMI1 number 3 -> entry 3
        QCOMPARE(ChipRequest::request().load(), uint8_t(1));
        QCOMPARE(entry(r, 0), (QList<int>{0x8001, 10, 20, 300, 400}));
        QCOMPARE(numbers(r, 1) + numbers(r, 2), (QList<int>{1, 2, 3, 1}));
        QCOMPARE(QList<int>({r->ZemGetSourceNum(1, 40), r->ZemGetSourceNum(1, 3), r->ZemGetSourceNum(1, 0)}),
                 QList<int>({3, 2, 0}));
        r->ZemDeleteCrop(1, 1);   // only the word is cleared
        QCOMPARE(entry(r, 0), (QList<int>{0, 10, 20, 300, 400}));
        QCOMPARE(numbers(r, 1), (QList<int>{2, 3}));
        // The next HDMI1 crop takes number 1 again, in the free entry 0.
        r->ZemAddNewCrop(1, &d);
        QCOMPARE(entry(r, 0), (QList<int>{0x8001, 4, 4, 4, 4}));
        QCOMPARE(numbers(r, 1), (QList<int>{1, 2, 3}));
        QCOMPARE(QList<int>({r->ZemAddCropID(1), r->ZemAddCropID(2)}), QList<int>({4, 2}));
        // List position n follows crop numbers, not table indexes; the rank goes back.
        const int sources[] = {1, 1, 1, 2}, ns[] = {1, 2, 3, 1}, indexes[] = {0, 2, 3, 1};
        for (int k = 0; k < 4; ++k) {
            CROP_PARA out{};
            int index = -1;
            r->ZemGetCropPara(sources[k], ns[k], &out, &index);
            QCOMPARE(index, indexes[k]);
            QCOMPARE((QList<int>{out.word, out.x, out.y, out.w, out.h}), entry(r, index));
            QCOMPARE(r->ZemCropRank(index), ns[k]);
        }
        CROP_PARA out{-5, -5, -5, -5, -5};
        int index = -1;
        r->ZemGetCropPara(1, 4, &out, &index);
        QCOMPARE(QList<int>({index, out.x, r->ZemCropRank(4)}), QList<int>({40, -5, 0}));
        const CROP_PARA e{0, 70000, 8, 9, 10};
        r->ZemSetCropPara(1, 2, &e);
        QCOMPARE(entry(r, 2), (QList<int>{0x8101, 70000 & 0xFFFF, 8, 9, 10}));
        // A window given a crop by list position shows that entry's table index.
        const int crop_n[] = {2, 1, 4, 0}, source[] = {1, 2, 1, 3}, word[] = {0x8002, 0x8001, 0, 3};
        for (int k = 0; k < 4; ++k) {
            r->ZemSetImageSource(crop_n[k], source[k], 4);
            QCOMPARE(int(r->rd16(layer(4) + kLayerSource)), word[k]);
        }
    }
    // The windows that show a deleted crop move to its whole input in the same locked write; the
    // windows on other crops, on whole inputs and in the saved user modes stay as they are.
    void deleting_a_crop_moves_its_windows_data()
    {
        QTest::addColumn<bool>("by_entry");
        QTest::newRow("by entry and word") << true;
        QTest::newRow("by list position") << false;
    }
    void deleting_a_crop_moves_its_windows()
    {
        QFETCH(bool, by_entry);
        ZemRamPara *r = ZemRamPara::pInstance();
        for (int i = 0; i < 3; ++i)
            r->wr16(crop(i), crop_word(i + 1, 1));   // HDMI1 numbers 1 to 3
        r->wr16(crop(3), crop_word(2, 2));   // HDMI2 number 2, entry 3
        r->wr16(crop(5), crop_word(1, 2));   // HDMI2 number 1, entry 5
        r->wr16(crop(6), crop_word(1, 3));   // HDMI3 number 1, entry 6
        r->ZemCropSourceInit();
        const uint16_t before[kWindows] = {0x8003, 0x8005, 3, 0x8003, 0x0003, 0x8003};
        for (int w = 0; w < kWindows; ++w)
            r->wr16(layer(w) + kLayerSource, before[w]);
        std::memcpy(r->user_mode[0].data, r->RAM_PARA + kModeFrom, kModeSize);
        const QByteArray mode(reinterpret_cast<const char *>(r->user_mode[0].data), kModeSize);
        ChipRequest::request() = 0;
        // A word that no longer matches deletes and moves nothing.
        QVERIFY(!r->ZemDeleteCropAt(3, crop_word(2, 3)));
        QCOMPARE(r->rd16(layer(0) + kLayerSource), uint16_t(0x8003));
        if (by_entry)
            QVERIFY(r->ZemDeleteCropAt(3, crop_word(2, 2)));
        else
            r->ZemDeleteCrop(2, 2);
        QCOMPARE(ChipRequest::request().load(), uint8_t(1));
        QList<int> windows;
        for (int w = 0; w < kWindows; ++w)
            windows << r->rd16(layer(w) + kLayerSource);
        QCOMPARE(windows, (QList<int>{2, 0x8005, 3, 2, 3, 2}));
        QCOMPARE(QList<int>({r->rd16(crop(3)), r->rd16(crop(5)), r->rd16(crop(6))}),
                 QList<int>({0, crop_word(1, 2), crop_word(1, 3)}));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(r->user_mode[0].data), kModeSize), mode);
        // The next crop of any input takes the freed entry; no window shows it unasked.
        const CROP_PARA c{0, 1, 1, 1, 1};
        r->ZemAddNewCrop(1, &c);
        QCOMPARE(r->rd16(crop(3)), crop_word(4, 1));
        for (int w = 0; w < kWindows; ++w)
            QVERIFY(r->rd16(layer(w) + kLayerSource) != 0x8003);
    }
    void refused_changes_write_nothing()
    {
        ZemRamPara *r = ZemRamPara::pInstance();
        const CROP_PARA a{0, 1, 1, 1, 1};
        for (int i = 0; i < 40; ++i)
            r->ZemAddNewCrop(i % 2, &a);
        QCOMPARE(numbers(r, 0).size(), 20);
        ChipRequest::request() = 0;
        const QByteArray before = image_of(r);
        r->ZemAddNewCrop(2, &a);   // table full
        r->ZemAddNewCrop(6, &a);   // no such source
        r->ZemSetCropPara(0, 21, &a);
        r->ZemDeleteCrop(0, 21);
        r->ZemDeleteCrop(2, 1);
        r->ZemDeleteCrop(0, 0);
        r->ZemSetImageSource(0, 1, 6);
        r->ZemSetImageSource(0, 1, -1);
        r->ZemSetEDIDPara(6, 1, 1, 1);
        r->ZemSetEDIDPara(-1, 1, 1, 1);
        QCOMPARE(image_of(r), before);
        QCOMPARE(ChipRequest::request().load(), uint8_t(0));
    }
    void foreign_crop_words_are_bounded()
    {
        ZemRamPara *r = ZemRamPara::pInstance();
        // As a PC tool might leave them: a source id beyond the six, a number beyond forty.
        r->wr16(crop(0), 0x8000 | 0 << 8 | 9);
        r->wr16(crop(1), 0x8000 | 50 << 8 | 1);
        r->wr16(crop(2), 0x8000 | 39 << 8 | 5);
        std::memset(g_cut_source_state, 0xEE, sizeof g_cut_source_state);
        r->ZemCropSourceInit();
        QByteArray expected(30, '\0');
        expected[(40 * 5 + 39) / 8] = char(1 << ((40 * 5 + 39) % 8));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(g_cut_source_state), 30), expected);
        QCOMPARE(numbers(r, 5), QList<int>{40});
        QCOMPARE(r->ZemGetCropID(6, 1) + r->ZemGetCropID(-1, 1) + r->ZemAddCropID(6), 0);
        QCOMPARE(QList<int>({r->ZemCropRank(0), r->ZemCropRank(1), r->ZemCropRank(2), r->ZemCropRank(40)}),
                 QList<int>({0, 0, 1, 0}));
    }
    void image_source()
    {
        uint8_t image[4096] = {}, slot[3200] = {};
        Ram::wr16(image, crop(7), 0x8000 | 2);
        Ram::wr16(slot, crop(7) - 896, 0x8000 | 4);
        // Source word of window 3, copy flag -> result, is-crop, crop index (99: left alone).
        const struct { uint16_t word; uint8_t copy; int result, is_crop, index; } rows[] = {
            {3, 0, 3, 0, 99}, {0x8007, 0, 2, 1, 7}, {1, 1, 1, 0, 99}, {0x8007, 1, 4, 1, 7}, {0x80C8, 0, 0, 0, 99},
        };
        for (const auto &row : rows) {
            Ram::wr16(image, layer(3) + kLayerSource, row.word);
            Ram::wr16(slot, layer(3) + kLayerSource - 896, row.word);
            short is_crop = -1;
            char index = 99;
            const int result = ZemRamPara::ZemGetImageSource(row.copy ? slot : image, 3, &is_crop, &index, row.copy);
            QCOMPARE((QList<int>{result, is_crop, index}), (QList<int>{row.result, row.is_crop, row.index}));
        }
        QCOMPARE(ZemRamPara::ZemGetImageSource(image, 6, nullptr, nullptr, 0), 0);
    }
    void window_services()
    {
        ZemRamPara *r = ZemRamPara::pInstance();
        // Choosing a source drops the current mode, unless a mode change is still pending.
        r->wr16(kCurrentMode, 4);
        std::memcpy(r->RAM_PARA_SHADOW, r->RAM_PARA, 4096);
        r->ZemSetImageSource(0, 1, 0);
        const int dropped = r->rd16(kCurrentMode);
        r->wr16(kCurrentMode, 5);
        r->ZemSetImageSource(0, 2, 0);
        QCOMPARE((QList<int>{dropped, r->rd16(kCurrentMode)}), (QList<int>{0, 5}));
        // Enable word, freeze or black -> output word: both toggle; a disabled window does not freeze.
        const struct { uint16_t enable; bool freeze; uint16_t output; } steps[] = {
            {0, true, 0x0100}, {0, false, 0x0101}, {1, true, 0x0103}, {1, true, 0x0101}, {1, false, 0x0100}};
        r->wr16(layer(2) + kLayerOutput, 0x0100);
        g_image_current = 2;
        for (const auto &step : steps) {
            r->wr16(layer(2) + kLayerEnable, step.enable);
            step.freeze ? r->ZemSetImageFreeze() : r->ZemSetImageBlack();
            QCOMPARE(r->rd16(layer(2) + kLayerOutput), step.output);
        }
        ChipRequest::request() = 0;
        r->ZemSetEDIDPara(5, 1280, 720, 50);
        QCOMPARE(image_of(r).mid(edid(5), 6), QByteArray("\x00\x05\xD0\x02\x32\x00", 6));
        QCOMPARE(ChipRequest::request().load(), uint8_t(1));
    }
    void steps_data()
    {
        columns<int, int, int, QStringList>({"code", "keys", "page", "calls"});
        QTest::newRow("key panel") << 7 << 1 << 0 << QStringList{"leds", "refresh 7", "after 7"};
        QTest::newRow("no key panel") << 1 << 0 << 26 << QStringList{"refresh 1", "after 1"};
        QTest::newRow("no screen: language only") << 1 << 0 << 27 << QStringList{"after 1"};
        QTest::newRow("105 stops") << 105 << 1 << 0 << QStringList{"leds"};
        QTest::newRow("106 stops") << 106 << 0 << 27 << QStringList{};
    }
    void steps()
    {
        QFETCH(int, code);
        QFETCH(int, keys);
        QFETCH(int, page);
        QFETCH(QStringList, calls);
        ZemRamPara *r = synced_store();
        g_zem_keys = uint8_t(keys);
        g_page_focus = uint8_t(page);
        r->RAM_PARA[kLanguage] = 3;
        r->wr16(kModeSaveRequest, 2);
        r->test_signal(code);
        QCOMPARE(g_calls, calls);
        QCOMPARE(int(g_language), calls == QStringList{"after 1"} ? 3 : 0);
        SyncUpdate::finish_writes();
        QCOMPARE(read_dev_file(kImage).isNull(), code >= 105);
        QCOMPARE(r->ZemUserModeSaved(1), code >= 105 ? 0 : 1);
    }
    void save_and_shadow_rule()
    {
        ZemRamPara *r = synced_store();
        // A change below 768 is not saved and keeps differing from the shadow.
        r->wr16(source_timing(1), 1920);
        r->ram_para_save();
        QVERIFY(read_dev_file(kImage).isNull());
        QVERIFY(r->differs16(source_timing(1)));
        // The next write renews the whole shadow, the part below 768 included.
        r->RAM_PARA[4095] ^= 1;
        r->ram_para_save();
        SyncUpdate::finish_writes();
        QCOMPARE(read_dev_file(kImage), image_file_bytes(r->RAM_PARA));
        QCOMPARE(std::memcmp(r->RAM_PARA, r->RAM_PARA_SHADOW, 4096), 0);
        QVERIFY(shell_log().isEmpty());
    }
    void pending_mode_save()
    {
        ZemRamPara *r = synced_store();
        r->wr16(kModeSaveRequest, 16);
        // The refresh runs before the save: it still sees the request and the old mode.
        UiHooks::refresh_screen = [](int) {
            ZemRamPara *p = ZemRamPara::p_zemrampara_config;
            g_calls << QStringLiteral("refresh %1 %2").arg(p->rd16(kModeSaveRequest)).arg(p->rd16(kCurrentMode));
        };
        r->ram_para_save();
        SyncUpdate::finish_writes();
        QCOMPARE(g_calls, (QStringList{"refresh 16 0", "after 1"}));
        QCOMPARE(r->rd16(kModeSaveRequest), uint16_t(0));
        QCOMPARE(r->ZemGetCurrentModeIndex(), 16);
        QCOMPARE(read_dev_file("/data/modes/custom_mode16"), marked_file(r->RAM_PARA + 896, 3200));
        QCOMPARE(file16(read_dev_file(kImage), kCurrentMode), uint16_t(16));
        // A request equal to its shadow is no new request; one beyond the 16 slots is dropped.
        r->wr16(kModeSaveRequest, 3);
        std::memcpy(r->RAM_PARA_SHADOW, r->RAM_PARA, 4096);
        r->ram_para_save();
        QCOMPARE(r->ZemUserModeSaved(2) + r->rd16(kModeSaveRequest), 3);
        r->wr16(kModeSaveRequest, 17);
        r->ram_para_save();
        SyncUpdate::finish_writes();
        QCOMPARE(r->rd16(kModeSaveRequest), uint16_t(0));
        QCOMPARE(QDir(Paths::dev("/data/modes")).entryList(QDir::Files), QStringList{"custom_mode16"});
    }
    void current_image_falls_back()
    {
        ZemRamPara *r = synced_store();
        // Page, enable word of window 3, g_image_current -> g_image_current after.
        const struct { uint8_t page; uint16_t enable; uint8_t current, expected; } rows[] = {
            {0, 0, 3, 0}, {0, 1, 3, 3}, {5, 2, 3, 0}, {9, 0, 3, 3}, {0, 1, 6, 0},
        };
        for (const auto &row : rows) {
            r->wr16(layer(3) + kLayerEnable, row.enable);
            g_page_focus = row.page;
            g_image_current = row.current;
            r->test_signal(106);
            QCOMPARE(g_image_current.load(), row.expected);
        }
    }
    // A hold raises the update request only when the chip is to follow it, and only as it ends:
    // the chip thread, which serves the request under the mutex, never sees it half written.
    void guards_raise_the_request_as_the_hold_ends()
    {
        std::atomic<uint8_t> &request = ChipRequest::request();
        request = 0;
        {
            ChipLock lock;
        }
        QCOMPARE(int(request), 0);
        {
            ChipLock lock;
            lock.raise_request();
            QCOMPARE(int(request), 0);
        }
        QCOMPARE(int(request), 1);
        request = 0;
        {
            ChipWrite write;
            QCOMPARE(int(request), 0);
        }
        QCOMPARE(int(request), 1);
    }
    void reentrant_save_from_refresh()
    {
        // A screen's refresh that saves again must neither deadlock nor lose its change.
        UiHooks::refresh_screen = [](int code) {
            record_refresh(code);
            if (g_calls.size() == 1) {
                ChipWrite chip;
                ZemRamPara::p_zemrampara_config->wr16(kQBrightness, 42);
                ZemRamPara::p_zemrampara_config->ram_para_save();
            }
        };
        synced_store()->ram_para_save();
        QCOMPARE(g_calls.count("refresh 1"), 2);
        QCOMPARE(file16(read_dev_file(kImage), kQBrightness), uint16_t(42));
        QVERIFY(ChipRequest::mutex().tryLock());
        ChipRequest::mutex().unlock();
    }
    void chip_thread_announcing_while_gui_refreshes()
    {
        // The GUI is inside para_sync when the chip thread announces under the chip mutex: the
        // announcement must get through, and the GUI must then get the chip mutex back. The
        // announcement runs nothing on the chip thread: it waits for the GUI loop.
        static QThread *chip;
        static bool announced;
        QScopedPointer<QThread> thread(chip = QThread::create([] {
            QMutexLocker lock(&ChipRequest::mutex());
            ZemRamPara::p_zemrampara_config->test_signal(1);
        }));
        announced = false;
        UiHooks::refresh_screen = [](int code) {
            if (code != 5)
                return;
            chip->start();
            if ((announced = chip->wait(zemtest::kCeilingMs)))
                ChipWrite write;
        };
        synced_store()->test_signal(5);
        QVERIFY(announced);
        ZemRamPara::p_zemrampara_config->wr16(kLedHeight, 600);
        QCOMPARE(g_calls, QStringList{"after 5"});
        QCoreApplication::processEvents();
        QCOMPARE(g_calls, (QStringList{"after 5", "after 1"}));
        QCOMPARE(file16(read_dev_file(kImage), kLedHeight), uint16_t(600));
    }
    // The write-back runs in the change refresh, which may come while another thread (or a writer
    // further down the GUI thread) holds the chip mutex: it waits for no one, loses nothing, and
    // is done from the event loop once the mutex is free.
    void write_back_waits_for_no_one()
    {
        ZemRamPara *r = synced_store();
        g_page_focus = 27;
        g_lcd_lang_valid = 0x1B;   // Russian not offered
        r->RAM_PARA[kLanguage] = 2;
        r->wr16(kModeSaveRequest, 3);
        // The holder lets go when the refresh has returned, or when the wait's ceiling has passed:
        // then the refresh waited for it.
        std::atomic<bool> held{false}, release{false}, gave_up{false};
        std::thread chip([&] {
            QMutexLocker lock(&ChipRequest::mutex());
            held = true;
            gave_up = !zemtest::poll_until([&] { return release.load(); });
        });
        while (!held)
            QThread::yieldCurrentThread();
        r->ram_para_save();
        // g_language, byte 768, the save request, slot 2 saved, the file written.
        const QList<int> meanwhile{g_language, r->RAM_PARA[kLanguage], r->rd16(kModeSaveRequest),
                                   r->ZemUserModeSaved(2), int(!read_dev_file(kImage).isNull())};
        release = true;
        chip.join();
        QVERIFY2(!gave_up, "the refresh waited for the chip mutex");
        QCOMPARE(meanwhile, (QList<int>{0, 2, 3, 0, 0}));
        ZEM_TRY_VERIFY(!read_dev_file(kImage).isNull());
        SyncUpdate::finish_writes();
        const QByteArray file = read_dev_file(kImage);
        QCOMPARE((QList<int>{file16(file, kLanguage), file16(file, kCurrentMode), file16(file, kModeSaveRequest),
                             r->ZemUserModeSaved(2)}),
                 (QList<int>{0, 3, 0, 1}));
    }
    // The source thread rewrites the timing rows a byte at a time while the screens read them:
    // a reader gets a whole row, never part of the old one and part of the new.
    void timing_rows_read_whole()
    {
        ZemRamPara *r = ZemRamPara::pInstance();
        ZemRamPara::TimingRow rows[2][ZemRamPara::kTimingRows];
        for (int s = 0; s < ZemRamPara::kTimingRows; ++s) {
            rows[0][s] = {1920, 1080, 60};
            rows[1][s] = {1280, 720, 50};
        }
        r->write_timing_rows(rows[0]);
        std::atomic<bool> stop{false};
        std::atomic<int> writes{0};
        std::thread source([&] {
            for (int i = 1; !stop; writes = ++i)
                r->write_timing_rows(rows[i % 2]);
        });
        int torn = 0;
        for (int i = 0; writes < 1000000; ++i) {
            const ZemRamPara::TimingRow row = r->timing_row(i % ZemRamPara::kTimingRows);
            const int kind = row.width == 1920 ? 0 : row.width == 1280 ? 1 : -1;
            torn += kind < 0 || row.height != rows[kind][0].height || row.rate != rows[kind][0].rate;
        }
        stop = true;
        source.join();
        QCOMPARE(torn, 0);
        QCOMPARE(r->timing_row(ZemRamPara::kTimingRows).width + r->timing_row(-1).width, 0);
        // The rows are part of the image the chip thread copies under the chip mutex: the writer
        // waits for a thread that holds it.
        const int before = r->timing_row(2).width;
        std::atomic<bool> held{false};
        int seen = -1;
        std::thread chip([&] {
            QMutexLocker lock(&ChipRequest::mutex());
            held = true;
            QThread::msleep(100);
            seen = r->rd16(source_timing(2));
        });
        while (!held)
            QThread::yieldCurrentThread();
        ZemRamPara::TimingRow vga[ZemRamPara::kTimingRows];
        for (ZemRamPara::TimingRow &row : vga)
            row = {640, 480, 75};
        r->write_timing_rows(vga);
        chip.join();
        QCOMPARE((QList<int>{seen, r->timing_row(2).width}), (QList<int>{before, 640}));
    }
    void time_space()
    {
        // Now, stamp -> ticks elapsed; one less across the counter's wrap.
        const uint32_t rows[][3] = {{1300, 300, 1000}, {0, 0xFFFFFFFF, 0}, {10, 0xFFFFFFF0, 25}};
        for (const auto &row : rows) {
            G_timeTicks = row[0];
            QCOMPARE(Utils::getTimeSpace(row[1]), row[2]);
        }
    }
    // Recorded, never run; an address that is no dotted quad reaches no command. The device's
    // shell is a POSIX one: the Ethernet check redirects without "&>". Octets a file written
    // elsewhere holds with leading zeros are in force and reach the commands as the decimal
    // numbers they show ("010" is ten, not eight); the file keeps them as written.
    void init_ip_address_commands_are_only_recorded()
    {
        write_dev_file(kIni, "[config]\nIPAddress=010.0.0.5\nSubNetMask=255.255.000.0\nGateWay=10.0.0.01\n"
                             "BarCode=K\nLcdLangValid=31\n");
        const QByteArray file = read_dev_file(kIni);
        ConfigEngine::pInstance();
        QCOMPARE(QStringList({g_str_ip, g_srt_mask, g_str_gateway}), QStringList({"10.0.0.5", "255.255.0.0", "10.0.0.1"}));
        const QString marker = Paths::data_root() + QStringLiteral("/touched");
        int status = -1;
        QCOMPARE(Utils::system_mutex(QStringLiteral("touch ") + marker, &status), 0);
        QCOMPARE(status, 0);
        g_str_ip.clear();
        QCOMPARE(Utils::initIPAddress(), 0);
        QCOMPARE(QStringList({g_str_ip, g_srt_mask, g_str_gateway}), QStringList({"10.0.0.5", "255.255.0.0", "10.0.0.1"}));
        QCOMPARE(shell_log(), (QStringList{"touch " + marker, "ifconfig eth0 >/dev/null 2>&1", "route del default wlan0",
                                           "ifconfig eth0 10.0.0.5 netmask 255.255.0.0",
                                           "route add -host 10.0.0.1 dev eth0",
                                           "route add default gw 10.0.0.1 metric 100",
                                           "route add -host 255.255.255.255 eth0", "route del 255.255.255.255 wlan1"}));
        QVERIFY(!QFile::exists(marker));
        QCOMPARE(read_dev_file(kIni), file);
        ConfigEngine::pInstance()->write_config_variant(ConfigItem::GateWay, QStringLiteral("1.2.3.4; reboot"));
        QCOMPARE(ini_value("IPAddress") + ' ' + ini_value("SubNetMask"), QStringLiteral("010.0.0.5 255.255.000.0"));
        QCOMPARE(Utils::initIPAddress(), 255);
        QCOMPARE(shell_log().mid(8), QStringList{"ifconfig eth0 >/dev/null 2>&1"});
        QCOMPARE(g_str_gateway, QStringLiteral("10.0.0.1"));
    }
    void config_load_and_write()
    {
        write_dev_file(kIni, "[config]\nIPAddress=172.16.0.9\nBarCode=ZX-0042\nLcdLangValid=6\n");
        factoryage_log.push_back(QStringLiteral("old"));
        ConfigEngine *cfg = ConfigEngine::pInstance();
        QVERIFY(factoryage_log.empty());
        QCOMPARE(QStringList({g_str_ip, g_srt_mask, g_str_gateway, g_str_barcode, QString::number(g_lcd_lang_valid)}),
                 QStringList({"172.16.0.9", "255.255.255.0", "192.168.1.1", "ZX-0042", "6"}));
        // Missing keys are written with their defaults.
        QCOMPARE(QStringList({ini_value("SubNetMask"), ini_value("GateWay"), ini_value("LcdLangValid")}),
                 QStringList({"255.255.255.0", "192.168.1.1", "6"}));
        cfg->write_config_variant(ConfigItem::IPAddress, QStringLiteral("192.168.5.5"));
        QCOMPARE(cfg->read_config_variant(ConfigItem::IPAddress).toString(), QStringLiteral("192.168.5.5"));
        QCOMPARE(ini_value("IPAddress"), QStringLiteral("192.168.5.5"));
        QCOMPARE(g_str_ip, QStringLiteral("172.16.0.9"));
    }
    // Whatever became of the file since the start, a write leaves it holding the whole
    // configuration: the values held for the keys not written, so that the next start finds
    // them all; what the program does not know of in a file it could read stays.
    void config_write_holds_every_key_data()
    {
        columns<QString>({"file"});
        QTest::newRow("readable") << "readable";
        QTest::newRow("edited since") << "edited";
        QTest::newRow("gone") << "gone";
        QTest::newRow("too big") << "too big";
        QTest::newRow("a FIFO") << "fifo";
    }
    void config_write_holds_every_key()
    {
        QFETCH(QString, file);
        write_dev_file(kIni, "; by hand\n[config]\nIPAddress=172.16.0.9\nBarCode=ZX-0042\nLcdLangValid=6\nEDIDCheck=1\n"
                             "\n[other]\nx=2\n");
        ConfigEngine *cfg = ConfigEngine::pInstance();
        const QString path = Paths::dev(kIni);
        if (file == "edited")
            write_dev_file(kIni, "; by hand\n[config]\nBarCode=other\nEDIDCheck=1\n\n[other]\nx=2\n");
        else if (file != "readable")
            QVERIFY(QFile::remove(path));
        if (file == "too big")
            write_dev_file(kIni, "[config]\nBarCode=big\n" + QByteArray(100 * 1024, ';'));
        if (file == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        QVERIFY(cfg->write_config_variant(ConfigItem::GateWay, QStringLiteral("172.16.0.1")));
        QVERIFY(QFileInfo(path).isFile());
        const QStringList held{"172.16.0.9", "255.255.255.0", "172.16.0.1", "ZX-0042", "6"};
        QCOMPARE(QStringList({ini_value("IPAddress"), ini_value("SubNetMask"), ini_value("GateWay"),
                              ini_value("BarCode"), ini_value("LcdLangValid")}),
                 held);
        ConfigEngine::destroy_for_test();
        ConfigEngine::pInstance();
        QCOMPARE(QStringList({g_str_ip, g_srt_mask, g_str_gateway, g_str_barcode, QString::number(g_lcd_lang_valid)}),
                 held);
        const QByteArray bytes = read_dev_file(kIni);
        const bool kept = file == "readable" || file == "edited";
        QCOMPARE(bytes.startsWith("; by hand\n"), kept);
        QCOMPARE(ini_value("EDIDCheck") == QLatin1String("1"), kept);
        QCOMPARE(QSettings(path, QSettings::IniFormat).value("other/x").toString() == QLatin1String("2"), kept);
        QVERIFY(!bytes.contains("big") && !bytes.contains("other\n"));
    }
    // An address is four octets and nothing else: what goes to a shell is their plain form, and
    // anything more, less or beside them is no address.
    void plain_ipv4_data()
    {
        columns<QString, QString>({"text", "plain"});
        QTest::newRow("four octets") << "192.168.1.199" << "192.168.1.199";
        QTest::newRow("leading zeros dropped") << "010.000.0.05" << "10.0.0.5";
        QTest::newRow("the ends of the range") << "0.255.0.255" << "0.255.0.255";
        QTest::newRow("five parts") << "1.2.3.4.5" << "";
        QTest::newRow("three parts") << "1.2.3" << "";
        QTest::newRow("a dot after") << "1.2.3.4." << "";
        QTest::newRow("a dot before") << ".1.2.3.4" << "";
        QTest::newRow("an empty octet") << "1..3.4" << "";
        QTest::newRow("past 255") << "1.2.3.256" << "";
        QTest::newRow("four digits") << "1.2.3.0001" << "";
        QTest::newRow("a sign") << "1.2.-3.4" << "";
        QTest::newRow("a space") << "1.2.3.4 " << "";
        QTest::newRow("digits of another script") << QStringLiteral("1.2.3.\u0664") << "";
        QTest::newRow("nothing") << "" << "";
    }
    void plain_ipv4()
    {
        QFETCH(QString, text);
        QFETCH(QString, plain);
        QCOMPARE(Utils::plain_ipv4(text), plain);
        QCOMPARE(Utils::is_dotted_ipv4(text), !plain.isEmpty());
    }
    void config_bad_values_fall_back()
    {
        // Key, stored value -> the default put in force and written back.
        const char *rows[][3] = {
            {"IPAddress", "my-host", "192.168.1.199"},      {"SubNetMask", "255.255.255.300", "255.255.255.0"},
            {"GateWay", "\"1.1.1.1 && reboot\"", "192.168.1.1"}, {"GateWay", "1..1.1", "192.168.1.1"},
            {"GateWay", "192.168.1.0001", "192.168.1.1"},   {"IPAddress", "+10.0.0.5", "192.168.1.199"},
            {"IPAddress", "10.0.0.5.6", "192.168.1.199"},
            {"LcdLangValid", "0", "31"},
        };
        for (const auto &row : rows) {
            write_dev_file(kIni, QByteArray("[config]\n") + row[0] + "=" + row[1] + "\n");
            ConfigEngine::destroy_for_test();
            ConfigEngine::pInstance();
            QCOMPARE(ini_value(row[0]), QString(row[2]));
            QCOMPARE(QStringList({g_str_ip, g_srt_mask, g_str_gateway, QString::number(g_lcd_lang_valid)}).count(row[2]), 1);
        }
    }
    // Several keys go into the file in one write: all of them or, when the file does not take
    // them, none, and the values read back follow the file. One key alone likewise.
    void config_writes_all_or_nothing_data()
    {
        columns<QString>({"failure"});
        QTest::newRow("written") << "";
        QTest::newRow("full data root") << "full";
        QTest::newRow("a folder in the file's place") << "folder";
    }
    void config_writes_all_or_nothing()
    {
        QFETCH(QString, failure);
        write_dev_file(kIni, "[config]\nIPAddress=10.0.0.5\nSubNetMask=255.0.0.0\nGateWay=10.0.0.1\nBarCode=K58\n");
        ConfigEngine *cfg = ConfigEngine::pInstance();
        const auto values = [cfg] {
            QStringList v;
            for (auto key : {ConfigItem::IPAddress, ConfigItem::SubNetMask, ConfigItem::GateWay, ConfigItem::BarCode})
                v << cfg->read_config_variant(key).toString();
            return v.join(' ');
        };
        const QString old_values = values();
        if (failure == "folder") {
            QFile::remove(Paths::dev(kIni));
            QVERIFY(QDir().mkpath(Paths::dev(kIni)));
        }
        const QByteArray old_file = read_dev_file(kIni);
        FileChanges changes(Paths::dev(kIni));
        Warnings warnings;
        bool network = false, one = false;
        {
            std::unique_ptr<FullDisk> full(failure == "full" ? new FullDisk : nullptr);
            network = cfg->write_config_variants({{ConfigItem::IPAddress, QStringLiteral("172.16.0.9")},
                                                  {ConfigItem::SubNetMask, QStringLiteral("255.255.0.0")},
                                                  {ConfigItem::GateWay, QStringLiteral("172.16.0.1")}});
            one = cfg->write_config_variant(ConfigItem::BarCode, QStringLiteral("ZX-1"));
        }
        if (!failure.isEmpty()) {
            QVERIFY(!network && !one);
            QCOMPARE(values(), old_values);
            QCOMPARE(read_dev_file(kIni), old_file);
            QCOMPARE(changes.count(), 0);
            QCOMPARE(warnings.count(Paths::dev(kIni) + ": not saved: "), 1);
            return;
        }
        QVERIFY(network && one);
        QCOMPARE(values(), QStringLiteral("172.16.0.9 255.255.0.0 172.16.0.1 ZX-1"));
        QCOMPARE(QStringList({ini_value("IPAddress"), ini_value("SubNetMask"), ini_value("GateWay"), ini_value("BarCode")}).join(' '),
                 values());
        QCOMPARE(changes.count(), 2);
        // A key the file does not hold is kept in memory alone, and changes no file.
        QVERIFY(cfg->write_config_variants({{ConfigItem::ConfigName(0), 5}}));
        QCOMPARE(cfg->read_config_variant(ConfigItem::ConfigName(0)).toInt(), 5);
        QCOMPARE(changes.count(), 2);
        // A key out of range spoils the whole write.
        QVERIFY(!cfg->write_config_variants({{ConfigItem::IPAddress, QStringLiteral("1.1.1.1")}, {ConfigItem::ConfigCount, 1}}));
        QCOMPARE(ini_value("IPAddress"), QStringLiteral("172.16.0.9"));
    }
    void alias()
    {
        const QString path = QStringLiteral("/data/configs/alias.json");
        const QByteArray file = R"({"namelist": {"source": [ {"id": 0, "valid": "on", "name": "Caméra"},
            {"id": 1, "valid": "off", "name": "Stage"}, {"id": 2, "valid": "on", "name": ""}, {"id": "3", "name": "Desk"} ]}})";
        write_dev_file(path, file);
        // Category, id -> the name shown, none when empty.
        const struct { const char *category; int id; QString name; } rows[] = {
            {"source", 0, "Caméra"}, {"source", 1, ""}, {"source", 2, ""}, {"source", 3, "Desk"},
            {"source", 7, ""}, {"usermode", 0, ""}, {"namelist.source", 0, ""},
        };
        for (const auto &row : rows) {
            ALIAS_PARA out;
            QCOMPARE(get_json_alias_para(&out, row.category, row.id), row.name.isEmpty() ? 0 : 1);
            QCOMPARE(out.name, row.name);
        }
        ALIAS_PARA out;
        write_dev_file(path, file.left(60));
        QCOMPARE(get_json_alias_para(&out, "source", 0), 0);
        // Nested too deep behind a quote that a backslash keeps in its string: refused unread.
        Warnings warnings;
        const QByteArray deep = QByteArray(JsonFile::kMaxDepth, '[') + QByteArray(JsonFile::kMaxDepth, ']');
        write_dev_file(path, "{\"namelist\": {\"source\": [{\"id\": 0, \"name\": \"\\\"\", \"x\": " + deep + "}]}}");
        QCOMPARE(get_json_alias_para(&out, "source", 0), 0);
        QCOMPARE(warnings.count(": not used: nested deeper than"), 1);
        QFile::remove(Paths::dev(path));
        QCOMPARE(get_json_alias_para(&out, "source", 0), 0);
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
