#include <QtTest>

#include "corefixture.h"

using namespace Ram;

namespace {
const QString kImage = QStringLiteral("/data/ram_device_info");

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

class TestCoreStore : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_core(QTest::currentTestFunction()); }

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
        QCOMPARE(QDir(Paths::dev("/data/modes")).entryList(QDir::Files), (QStringList{"custom_mode6", "MO01.json"}));
        QCOMPARE(shell_log(), (QStringList{"sync", "sync"}));   // files go through Qt, never a shell "rm"
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
            QCOMPARE(r->ZemLanguageChanged(), row.result);
            QCOMPARE(int(g_language), row.language);
            QCOMPARE(int(r->RAM_PARA[kLanguage]), row.after);
            QCOMPARE(r->RAM_PARA[kLanguage + 1], uint8_t(row.after != row.image ? 0 : row.result ? 0x40 : 0));
            QCOMPARE(r->RAM_PARA_SHADOW[kLanguage], row.shadow);
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
            QCOMPARE(ZemRamPara::ZemGetImageSource(row.copy ? slot : image, 3, &is_crop, &index, row.copy), row.result);
            QCOMPARE(int(is_crop), row.is_crop);
            QCOMPARE(int(index), row.index);
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
        QCOMPARE(r->rd16(kCurrentMode), uint16_t(0));
        r->wr16(kCurrentMode, 5);
        r->ZemSetImageSource(0, 2, 0);
        QCOMPARE(r->rd16(kCurrentMode), uint16_t(5));
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
};

QTEST_GUILESS_MAIN(TestCoreStore)
#include "tst_core_store.moc"
