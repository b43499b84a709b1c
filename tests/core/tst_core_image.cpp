#include <QtTest>

#include <cstring>

#include "corefixture.h"
#include "utils.h"

using namespace Ram;

class TestCoreImage : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_core(QTest::currentTestFunction()); }

    void factory_table();
    void missing_file_gives_defaults();
    void save_then_load_round_trip();
    void unusable_file_gives_defaults_data();
    void unusable_file_gives_defaults();
    void start_clears_pattern_and_sets_fades();
    void save_replaces_file_whole();
};

void TestCoreImage::factory_table()
{
    const uint8_t *t = default_para_ramlist;
    QCOMPARE(t[0], uint8_t(0xAA));
    QCOMPARE(t[1], uint8_t(0xAA));
    const QByteArray file(reinterpret_cast<const char *>(t), 4096);
    // The quality record the picture screens restore, at table bytes 1410..1425.
    const uint16_t quality[8] = {100, 50, 10, 50, 2, 64, 64, 64};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(uint16_t(t[1410 + 2 * i] | t[1411 + 2 * i] << 8), quality[i]);
    QCOMPARE(file16(file, kLedWidth), uint16_t(1920));
    QCOMPARE(file16(file, kLedHeight), uint16_t(1080));
    QCOMPARE(file16(file, kOut1W), uint16_t(1920));
    QCOMPARE(file16(file, kOut1H), uint16_t(1080));
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(file16(file, edid(i)), uint16_t(i < 4 ? 1920 : 3840));
        QCOMPARE(file16(file, edid(i) + 2), uint16_t(i < 4 ? 1080 : 2160));
        QCOMPARE(file16(file, edid(i) + 4), uint16_t(60));
    }
    QCOMPARE(file16(file, layer(0) + kLayerEnable) & 1, 1);
    QCOMPARE(file16(file, layer(0) + kLayerSource), uint16_t(1));
    QCOMPARE(file16(file, layer(0) + kLayerAudio), uint16_t(0x80FF));
    QCOMPARE(file16(file, layer(1) + kLayerEnable) & 1, 1);
    QCOMPARE(file16(file, layer(1) + kLayerSource), uint16_t(0));
    for (int i = 0; i < 40; ++i)
        QCOMPARE(file16(file, crop(i)) & 0x8000, 0);
    QCOMPARE(file.mid(3330), QByteArray(4096 - 3330, '\0'));
    QCOMPARE(file16(file, kLanguage) | file16(file, kKeyLock), 0);
    QCOMPARE(file16(file, kCurrentMode), uint16_t(0));
}

void TestCoreImage::missing_file_gives_defaults()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    QCOMPARE(r->rd16(kLedWidth), uint16_t(1920));
    QCOMPARE(r->rd16(kQBrightness), uint16_t(100));
    for (int i = 0; i < 768; ++i)
        QCOMPARE(r->RAM_PARA[i], uint8_t(0));
    QCOMPARE(std::memcmp(r->RAM_PARA, r->RAM_PARA_SHADOW, 4096), 0);
}

void TestCoreImage::save_then_load_round_trip()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    r->wr16(kLedWidth, 3840);
    r->wr16(kQContrast, 77);
    r->RAM_PARA[4095] = 0x5A;
    r->RAM_PARA[100] = 0x33;   // below 768: never stored
    QVERIFY(r->save_image_file());

    const QByteArray file = read_dev_file(QStringLiteral("/data/ram_device_info"));
    QCOMPARE(file.size(), 4096);
    QCOMPARE(file, image_file_bytes(r->RAM_PARA));
    QVERIFY(shell_log().contains(QStringLiteral("sync")));

    uint8_t saved[4096];
    std::memcpy(saved, r->RAM_PARA, 4096);
    ZemRamPara::destroy_for_test();
    r = ZemRamPara::pInstance();
    QCOMPARE(r->rd16(kLedWidth), uint16_t(3840));
    QCOMPARE(r->rd16(kQContrast), uint16_t(77));
    QCOMPARE(r->RAM_PARA[4095], uint8_t(0x5A));
    QCOMPARE(r->RAM_PARA[100], uint8_t(0));
    QCOMPARE(std::memcmp(r->RAM_PARA + 2900, saved + 2900, 4096 - 2900), 0);
}

void TestCoreImage::unusable_file_gives_defaults_data()
{
    QTest::addColumn<QByteArray>("content");
    uint8_t bytes[4096] = {0xAA, 0xAA};
    Ram::wr16(bytes, kLedWidth - 766, 1234);
    const QByteArray good(reinterpret_cast<const char *>(bytes), 4096);

    QTest::newRow("torn after 2000 bytes") << good.left(2000);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte long") << good + QByteArray(1, '\0');
    QByteArray foreign = good;
    foreign[1] = char(0x55);
    QTest::newRow("foreign marker") << foreign;
    QByteArray no_marker = good;
    no_marker[0] = 0;
    no_marker[1] = 0;
    QTest::newRow("zero marker") << no_marker;
}

void TestCoreImage::unusable_file_gives_defaults()
{
    QFETCH(QByteArray, content);
    write_dev_file(QStringLiteral("/data/ram_device_info"), content);
    ZemRamPara *r = ZemRamPara::pInstance();
    QCOMPARE(r->rd16(kLedWidth), uint16_t(1920));
    QCOMPARE(std::memcmp(r->RAM_PARA + 2900, default_para_ramlist + 2900 - 766, 4096 - 2900), 0);

    // The next save puts a whole, valid file in its place.
    r->wr16(kLedHeight, 720);
    QVERIFY(r->save_image_file());
    QCOMPARE(read_dev_file(QStringLiteral("/data/ram_device_info")), image_file_bytes(r->RAM_PARA));
}

void TestCoreImage::start_clears_pattern_and_sets_fades()
{
    uint8_t img[4096] = {};
    std::memcpy(img + 768, default_para_ramlist + 2, 3328);
    img[kTestPattern] = 6;
    Ram::wr16(img, kCurrentMode, 3);
    for (int k = 0; k < 16; ++k) {
        Ram::wr16(img, kFade + 4 * k, 0x0105);
        Ram::wr16(img, kFade + 4 * k + 2, 0x0207);
    }
    write_dev_file(QStringLiteral("/data/ram_device_info"), image_file_bytes(img));

    ZemRamPara *r = ZemRamPara::pInstance();
    for (int i = 864; i < 868; ++i)
        QCOMPARE(r->RAM_PARA[i], uint8_t(0));
    for (int k = 0; k < 16; ++k) {
        QCOMPARE(r->rd16(kFade + 4 * k), uint16_t(0x0100 | 60));
        QCOMPARE(r->rd16(kFade + 4 * k + 2), uint16_t(0x0200 | 60));
    }
    QCOMPARE(std::memcmp(r->RAM_PARA, r->RAM_PARA_SHADOW, 4096), 0);
}

void TestCoreImage::save_replaces_file_whole()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    write_dev_file(QStringLiteral("/data/ram_device_info"), QByteArray(9000, 'x'));
    QVERIFY(r->save_image_file());
    QCOMPARE(read_dev_file(QStringLiteral("/data/ram_device_info")).size(), 4096);
    // Nothing of the write is left lying beside the file.
    const QStringList left = QDir(Paths::dev(QStringLiteral("/data"))).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left, QStringList{QStringLiteral("ram_device_info")});
}

QTEST_GUILESS_MAIN(TestCoreImage)
#include "tst_core_image.moc"
