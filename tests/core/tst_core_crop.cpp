#include <QtTest>

#include "corefixture.h"

using namespace Ram;

namespace {
CROP_PARA rect(int x, int y, int w, int h)
{
    return CROP_PARA{0, x, y, w, h};
}

bool cut_bit(int source, int number)
{
    const int bit = 40 * source + number - 1;
    return (g_cut_source_state[bit / 8] >> (bit % 8)) & 1;
}

// Crop numbers of a source in list order (n = 1, 2, ...).
QList<int> numbers(ZemRamPara *r, int source)
{
    QList<int> out;
    for (int n = 1; n <= 40; ++n) {
        const int id = r->ZemGetCropID(source, n);
        if (!id)
            break;
        out << id;
    }
    return out;
}
}

class TestCoreCrop : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_core(QTest::currentTestFunction()); }

    void add_delete_add_on_two_sources();
    void add_writes_word_and_raises_request();
    void table_full_writes_nothing();
    void set_and_delete_missing_entry_write_nothing();
    void foreign_crop_words_are_bounded();
    void image_source_data();
    void image_source();
    void set_image_source_to_crop();
    void freeze_black_and_edid();
};

void TestCoreCrop::add_delete_add_on_two_sources()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    const CROP_PARA a = rect(10, 20, 300, 400), h2 = rect(1, 1, 1, 1);
    const CROP_PARA b = rect(2, 2, 2, 2), c = rect(3, 3, 3, 3), d = rect(4, 4, 4, 4);
    r->ZemAddNewCrop(1, &a);   // HDMI1 #1 -> entry 0
    r->ZemAddNewCrop(2, &h2);  // HDMI2 #1 -> entry 1
    r->ZemAddNewCrop(1, &b);   // HDMI1 #2 -> entry 2
    r->ZemAddNewCrop(1, &c);   // HDMI1 #3 -> entry 3
    QCOMPARE(numbers(r, 1), (QList<int>{1, 2, 3}));
    QCOMPARE(numbers(r, 2), (QList<int>{1}));
    QCOMPARE(r->ZemGetSourceNum(1, 40), 3);
    QCOMPARE(r->ZemGetSourceNum(2, 40), 1);
    QCOMPARE(r->ZemGetSourceNum(1, 3), 2);
    QCOMPARE(r->ZemGetSourceNum(1, 0), 0);

    // Delete HDMI1's first crop: entry 0 and number 1 become free.
    r->ZemDeleteCrop(1, 1);
    QVERIFY(!cut_bit(1, 1));
    QCOMPARE(numbers(r, 1), (QList<int>{2, 3}));
    QCOMPARE(r->rd16(crop(0)) & 0x8000, 0);
    QCOMPARE(r->rd16(crop(0) + kCropW), uint16_t(300));   // only the word is cleared

    // The next HDMI1 crop takes number 1 again, in the free entry 0.
    r->ZemAddNewCrop(1, &d);
    QCOMPARE(r->rd16(crop(0)), uint16_t(0x8000 | 0 << 8 | 1));
    QCOMPARE(numbers(r, 1), (QList<int>{1, 2, 3}));
    QCOMPARE(r->ZemAddCropID(1), 4);
    QCOMPARE(r->ZemAddCropID(2), 2);
    QCOMPARE(r->ZemAddCropID(0), 1);

    // List position n follows crop numbers; the table index does not.
    CROP_PARA out{};
    int index = -1;
    r->ZemGetCropPara(1, 1, &out, &index);
    QCOMPARE(index, 0);
    QCOMPARE(out.x, 4);
    r->ZemGetCropPara(1, 2, &out, &index);
    QCOMPARE(index, 2);
    QCOMPARE(out.x, 2);
    QCOMPARE(out.word, 0x8000 | 1 << 8 | 1);
    r->ZemGetCropPara(1, 3, &out, &index);
    QCOMPARE(index, 3);
    r->ZemGetCropPara(2, 1, &out, &index);
    QCOMPARE(index, 1);
    out.x = -5;
    r->ZemGetCropPara(1, 4, &out, &index);
    QCOMPARE(index, 40);
    QCOMPARE(out.x, -5);

    QCOMPARE(r->ZemCropRank(0), 1);
    QCOMPARE(r->ZemCropRank(2), 2);
    QCOMPARE(r->ZemCropRank(3), 3);
    QCOMPARE(r->ZemCropRank(1), 1);
    QCOMPARE(r->ZemCropRank(4), 0);
    QCOMPARE(r->ZemCropRank(40), 0);
    QCOMPARE(r->ZemCropRank(-1), 0);

    // Editing by list position reaches the entry with that crop number.
    const CROP_PARA e = rect(70000, 8, 9, 10);
    r->ZemSetCropPara(1, 2, &e);
    QCOMPARE(r->rd16(crop(2) + kCropX), uint16_t(70000 & 0xFFFF));
    QCOMPARE(r->rd16(crop(2) + kCropH), uint16_t(10));
    QCOMPARE(r->rd16(crop(2)), uint16_t(0x8000 | 1 << 8 | 1));
}

void TestCoreCrop::add_writes_word_and_raises_request()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    const CROP_PARA a = rect(1, 2, 3, 4);
    r->ZemAddNewCrop(5, &a);
    QCOMPARE(ChipRequest::request().load(), uint8_t(1));
    QCOMPARE(r->rd16(crop(0)), uint16_t(0x8005));
    QCOMPARE(r->rd16(crop(0) + kCropX), uint16_t(1));
    QCOMPARE(r->rd16(crop(0) + kCropY), uint16_t(2));
    QCOMPARE(r->rd16(crop(0) + kCropW), uint16_t(3));
    QCOMPARE(r->rd16(crop(0) + kCropH), uint16_t(4));
    ChipRequest::request() = 0;
    r->ZemAddNewCrop(6, &a);
    QCOMPARE(ChipRequest::request().load(), uint8_t(0));
    QCOMPARE(r->rd16(crop(1)), uint16_t(0));
}

void TestCoreCrop::table_full_writes_nothing()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    const CROP_PARA a = rect(1, 1, 1, 1);
    for (int i = 0; i < 40; ++i)
        r->ZemAddNewCrop(i % 2, &a);
    QCOMPARE(r->ZemGetSourceNum(0, 40) + r->ZemGetSourceNum(1, 40), 40);
    QCOMPARE(numbers(r, 0).size(), 20);
    uint8_t before[400];
    std::memcpy(before, r->RAM_PARA + kCropTable, 400);
    ChipRequest::request() = 0;
    r->ZemAddNewCrop(2, &a);
    QCOMPARE(std::memcmp(before, r->RAM_PARA + kCropTable, 400), 0);
    QCOMPARE(ChipRequest::request().load(), uint8_t(0));
}

void TestCoreCrop::set_and_delete_missing_entry_write_nothing()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    const CROP_PARA a = rect(1, 1, 1, 1);
    r->ZemAddNewCrop(3, &a);
    ChipRequest::request() = 0;
    uint8_t before[400];
    std::memcpy(before, r->RAM_PARA + kCropTable, 400);
    r->ZemSetCropPara(3, 2, &a);
    r->ZemDeleteCrop(3, 2);
    r->ZemDeleteCrop(2, 1);
    r->ZemDeleteCrop(3, 0);
    QCOMPARE(std::memcmp(before, r->RAM_PARA + kCropTable, 400), 0);
    QCOMPARE(ChipRequest::request().load(), uint8_t(0));
}

void TestCoreCrop::foreign_crop_words_are_bounded()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    // As a PC tool might leave them: a source id beyond the six and a number beyond forty.
    r->wr16(crop(0), 0x8000 | 0 << 8 | 9);
    r->wr16(crop(1), 0x8000 | 50 << 8 | 1);
    r->wr16(crop(2), 0x8000 | 39 << 8 | 5);
    std::memset(g_cut_source_state, 0xEE, sizeof g_cut_source_state);
    r->ZemCropSourceInit();
    for (int i = 0; i < 30; ++i) {
        const uint8_t expect = i == (40 * 5 + 39) / 8 ? uint8_t(1u << ((40 * 5 + 39) % 8)) : 0;
        QCOMPARE(g_cut_source_state[i], expect);
    }
    QCOMPARE(numbers(r, 5), (QList<int>{40}));
    QCOMPARE(r->ZemGetCropID(6, 1), 0);
    QCOMPARE(r->ZemGetCropID(-1, 1), 0);
    QCOMPARE(r->ZemAddCropID(6), 0);
    QCOMPARE(r->ZemCropRank(0), 0);
    QCOMPARE(r->ZemCropRank(1), 0);
    QCOMPARE(r->ZemCropRank(2), 1);
}

void TestCoreCrop::image_source_data()
{
    QTest::addColumn<int>("source_word");
    QTest::addColumn<int>("copy_flag");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("is_crop");
    QTest::addColumn<int>("crop_index");
    QTest::newRow("plain source") << 3 << 0 << 3 << 0 << 99;
    QTest::newRow("crop entry 7") << (0x8000 | 7) << 0 << 2 << 1 << 7;
    QTest::newRow("slot data, plain") << 1 << 1 << 1 << 0 << 99;
    QTest::newRow("slot data, crop") << (0x8000 | 7) << 1 << 4 << 1 << 7;
    QTest::newRow("crop index out of table") << (0x8000 | 200) << 0 << 0 << 0 << 99;
}

void TestCoreCrop::image_source()
{
    QFETCH(int, source_word);
    QFETCH(int, copy_flag);
    QFETCH(int, result);
    QFETCH(int, is_crop);
    QFETCH(int, crop_index);
    uint8_t image[4096] = {};
    Ram::wr16(image, crop(7), 0x8000 | 2);
    Ram::wr16(image, layer(3) + kLayerSource, uint16_t(source_word));
    uint8_t slot[3200] = {};
    Ram::wr16(slot, crop(7) - 896, 0x8000 | 4);
    Ram::wr16(slot, layer(3) + kLayerSource - 896, uint16_t(source_word));

    short crop_flag = -1;
    char index = 99;   // untouched unless the window shows a crop
    const int got = ZemRamPara::ZemGetImageSource(copy_flag ? slot : image, 3, &crop_flag, &index,
                                                  uint8_t(copy_flag));
    QCOMPARE(got, result);
    QCOMPARE(int(crop_flag), is_crop);
    QCOMPARE(int(index), crop_index);
    QCOMPARE(ZemRamPara::ZemGetImageSource(image, 6, &crop_flag, &index, 0), 0);
}

void TestCoreCrop::set_image_source_to_crop()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    const CROP_PARA a = rect(1, 1, 1, 1);
    r->ZemAddNewCrop(2, &a);   // entry 0, number 1
    r->ZemAddNewCrop(2, &a);   // entry 1, number 2
    r->ZemDeleteCrop(2, 1);
    r->ZemAddNewCrop(3, &a);   // entry 0 for HDMI3
    r->ZemAddNewCrop(2, &a);   // entry 2, number 1 again
    ChipRequest::request() = 0;

    r->ZemSetImageSource(1, 2, 4);
    QCOMPARE(r->rd16(layer(4) + kLayerSource), uint16_t(0x8000 | 2));
    QCOMPARE(ChipRequest::request().load(), uint8_t(1));
    r->ZemSetImageSource(2, 2, 4);
    QCOMPARE(r->rd16(layer(4) + kLayerSource), uint16_t(0x8000 | 1));
    r->ZemSetImageSource(3, 2, 4);
    QCOMPARE(r->rd16(layer(4) + kLayerSource), uint16_t(0));
    r->ZemSetImageSource(0, 3, 4);
    QCOMPARE(r->rd16(layer(4) + kLayerSource), uint16_t(3));

    // The current mode is dropped unless a mode change is still pending.
    r->wr16(kCurrentMode, 4);
    std::memcpy(r->RAM_PARA_SHADOW, r->RAM_PARA, 4096);
    r->ZemSetImageSource(0, 1, 0);
    QCOMPARE(r->rd16(kCurrentMode), uint16_t(0));
    r->wr16(kCurrentMode, 5);
    r->ZemSetImageSource(0, 2, 0);
    QCOMPARE(r->rd16(kCurrentMode), uint16_t(5));

    uint8_t before[4096];
    std::memcpy(before, r->RAM_PARA, 4096);
    r->ZemSetImageSource(0, 1, 6);
    r->ZemSetImageSource(0, 1, -1);
    QCOMPARE(std::memcmp(before, r->RAM_PARA, 4096), 0);
}

void TestCoreCrop::freeze_black_and_edid()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    r->wr16(layer(2) + kLayerEnable, 0);
    r->wr16(layer(2) + kLayerOutput, 0x0100);
    g_image_current = 2;
    r->ZemSetImageFreeze();
    QCOMPARE(r->rd16(layer(2) + kLayerOutput), uint16_t(0x0100));   // disabled window: no freeze
    r->ZemSetImageBlack();
    QCOMPARE(r->rd16(layer(2) + kLayerOutput), uint16_t(0x0101));
    r->wr16(layer(2) + kLayerEnable, 1);
    r->ZemSetImageFreeze();
    QCOMPARE(r->rd16(layer(2) + kLayerOutput), uint16_t(0x0103));
    r->ZemSetImageFreeze();
    r->ZemSetImageBlack();
    QCOMPARE(r->rd16(layer(2) + kLayerOutput), uint16_t(0x0100));

    ChipRequest::request() = 0;
    r->ZemSetEDIDPara(5, 1280, 720, 50);
    QCOMPARE(ChipRequest::request().load(), uint8_t(1));
    QCOMPARE(r->rd16(edid(5)), uint16_t(1280));
    QCOMPARE(r->rd16(edid(5) + 2), uint16_t(720));
    QCOMPARE(r->rd16(edid(5) + 4), uint16_t(50));
    uint8_t before[4096];
    std::memcpy(before, r->RAM_PARA, 4096);
    r->ZemSetEDIDPara(6, 1, 1, 1);
    r->ZemSetEDIDPara(-1, 1, 1, 1);
    QCOMPARE(std::memcmp(before, r->RAM_PARA, 4096), 0);
}

QTEST_GUILESS_MAIN(TestCoreCrop)
#include "tst_core_crop.moc"
