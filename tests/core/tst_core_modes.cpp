#include <QtTest>

#include <cstring>

#include "corefixture.h"
#include "syncupdate.h"

using namespace Ram;

namespace {
QByteArray mode_file(uint8_t fill, uint16_t osd_enable)
{
    uint8_t b[4096] = {0xAA, 0xAA};
    std::memset(b + 2, fill, 3200);
    Ram::wr16(b + 2, kOsdEnable - kModeFrom, osd_enable);
    return QByteArray(reinterpret_cast<const char *>(b), 4096);
}

QString mode_dev(int slot)
{
    return QStringLiteral("/data/modes/custom_mode%1").arg(slot + 1);
}

// A list of saved slots written as files before the store starts.
void save_slots(const QList<int> &saved)
{
    for (int s : saved)
        write_dev_file(mode_dev(s), mode_file(uint8_t(s), 0));
}
}

class TestCoreModes : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_core(QTest::currentTestFunction()); }

    void slots_load_from_files();
    void unusable_mode_file_is_empty_slot_data();
    void unusable_mode_file_is_empty_slot();
    void save_through_para_sync();
    void out_of_range_save_request_is_dropped();
    void delete_slot_data();
    void delete_slot();
    void mode_index_data();
    void mode_index();
    void current_mode_index();
    void language_changed_data();
    void language_changed();
};

void TestCoreModes::slots_load_from_files()
{
    write_dev_file(mode_dev(0), mode_file(0x11, 0));
    write_dev_file(mode_dev(15), mode_file(0x22, 0));
    ZemRamPara *r = ZemRamPara::pInstance();
    QCOMPARE(r->ZemUserModeSaved(0), 1);
    QCOMPARE(r->ZemUserModeSaved(15), 1);
    QCOMPARE(r->ZemUserModeSaved(1), 0);
    QCOMPARE(r->ZemUserModeSaved(16), 0);
    QCOMPARE(r->ZemUserModeSaved(-1), 0);
    QCOMPARE(r->user_mode[0].data[0], uint8_t(0x11));
    QCOMPARE(r->user_mode[15].data[3199], uint8_t(0x22));
    QCOMPARE(r->user_mode[1].marker[0], uint8_t(0xFF));
    QCOMPARE(r->user_mode[1].marker[1], uint8_t(0xFF));
}

void TestCoreModes::unusable_mode_file_is_empty_slot_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray good = mode_file(0x11, 0);
    QTest::newRow("short") << good.left(3202);
    QTest::newRow("long") << good + QByteArray(4, '\0');
    QByteArray foreign = good;
    foreign[0] = char(0xFF);
    QTest::newRow("empty marker") << foreign;
}

void TestCoreModes::unusable_mode_file_is_empty_slot()
{
    QFETCH(QByteArray, content);
    write_dev_file(mode_dev(4), content);
    ZemRamPara *r = ZemRamPara::pInstance();
    QCOMPARE(r->ZemUserModeSaved(4), 0);
    QCOMPARE(r->mode_file_deal(4, 0), 0);
}

void TestCoreModes::save_through_para_sync()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    SyncUpdate::pInstance();
    r->wr16(kLedWidth, 2560);
    r->RAM_PARA[4095] = 0x77;
    r->wr16(kModeSaveRequest, 6);
    r->ram_para_save();

    QCOMPARE(r->ZemUserModeSaved(5), 1);
    QCOMPARE(r->rd16(kCurrentMode), uint16_t(6));
    QCOMPARE(r->rd16(kModeSaveRequest), uint16_t(0));
    QCOMPARE(r->ZemGetCurrentModeIndex(), 6);

    const QByteArray file = read_dev_file(mode_dev(5));
    QCOMPARE(file.size(), 4096);
    QCOMPARE(uint8_t(file[0]), uint8_t(0xAA));
    QCOMPARE(uint8_t(file[1]), uint8_t(0xAA));
    QCOMPARE(QByteArray(file.constData() + 2, 3200),
             QByteArray(reinterpret_cast<const char *>(r->RAM_PARA + 896), 3200));
    QCOMPARE(file.mid(3202), QByteArray(4096 - 3202, '\0'));

    // The new current mode reaches the parameter file in the same pass.
    const QByteArray image = read_dev_file(QStringLiteral("/data/ram_device_info"));
    QCOMPARE(file16(image, kCurrentMode), uint16_t(6));
    QCOMPARE(file16(image, kModeSaveRequest), uint16_t(0));

    // And the slot comes back after a restart.
    ZemRamPara::destroy_for_test();
    r = ZemRamPara::pInstance();
    QCOMPARE(r->ZemUserModeSaved(5), 1);
    QCOMPARE(Ram::rd16(r->user_mode[5].data, kLedWidth - 896), uint16_t(2560));
    QCOMPARE(r->user_mode[5].data[3199], uint8_t(0x77));
}

void TestCoreModes::out_of_range_save_request_is_dropped()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    SyncUpdate::pInstance();
    r->wr16(kModeSaveRequest, 17);
    r->ram_para_save();
    QCOMPARE(r->rd16(kModeSaveRequest), uint16_t(0));
    QCOMPARE(r->rd16(kCurrentMode), uint16_t(0));
    for (int s = 0; s < 16; ++s)
        QCOMPARE(r->ZemUserModeSaved(s), 0);
    QVERIFY(QDir(Paths::dev(QStringLiteral("/data/modes"))).entryList(QDir::Files).isEmpty());
}

void TestCoreModes::delete_slot_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("osd_enable");
    QTest::addColumn<bool>("osd_file_removed");
    QTest::newRow("slot 0, OSD on") << 0 << 1 << true;
    QTest::newRow("slot 10, OSD on: hex name") << 10 << 1 << true;
    QTest::newRow("slot 15, OSD off") << 15 << 0 << false;
    QTest::newRow("slot 3, OSD word 2") << 3 << 2 << false;
}

void TestCoreModes::delete_slot()
{
    QFETCH(int, slot);
    QFETCH(int, osd_enable);
    QFETCH(bool, osd_file_removed);
    const QString osd = QStringLiteral("/data/modes/MO%1.json").arg(slot + 1, 2, 16, QLatin1Char('0'));
    write_dev_file(mode_dev(slot), mode_file(0x33, uint16_t(osd_enable)));
    write_dev_file(osd, "{}");
    write_dev_file(mode_dev(slot == 0 ? 1 : 0), mode_file(0x44, 1));
    ZemRamPara *r = ZemRamPara::pInstance();
    QCOMPARE(r->ZemUserModeSaved(slot), 1);

    QCOMPARE(r->mode_file_deal(slot, 1), 0);
    QCOMPARE(r->ZemUserModeSaved(slot), 0);
    QVERIFY(!QFile::exists(Paths::dev(mode_dev(slot))));
    QCOMPARE(!QFile::exists(Paths::dev(osd)), osd_file_removed);
    QVERIFY(QFile::exists(Paths::dev(mode_dev(slot == 0 ? 1 : 0))));
    QCOMPARE(r->ZemUserModeSaved(slot == 0 ? 1 : 0), 1);
    // Files go through Qt, never through a shell "rm".
    const QStringList log = shell_log();
    QCOMPARE(log, QStringList{QStringLiteral("sync")});
}

void TestCoreModes::mode_index_data()
{
    QTest::addColumn<QList<int>>("saved");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("expected");

    const QList<int> some{2, 7, 12};
    QTest::newRow("2: saved index itself") << some << 7 << 2 << 7;
    QTest::newRow("2: next above") << some << 8 << 2 << 12;
    QTest::newRow("2: wraps to the first") << some << 13 << 2 << 2;
    QTest::newRow("1: next after saved index") << some << 7 << 1 << 12;
    QTest::newRow("1: wraps") << some << 12 << 1 << 2;
    QTest::newRow("1: from unsaved") << some << 0 << 1 << 2;
    QTest::newRow("0: previous") << some << 7 << 0 << 2;
    QTest::newRow("0: wraps") << some << 2 << 0 << 12;
    QTest::newRow("0: from unsaved") << some << 15 << 0 << 12;
    QTest::newRow("1: only one saved comes back to it") << QList<int>{5} << 5 << 1 << 5;
    QTest::newRow("0: only one saved comes back to it") << QList<int>{5} << 5 << 0 << 5;
    QTest::newRow("2: slot 15 then 0") << QList<int>{0, 15} << 15 << 1 << 0;
    QTest::newRow("0: slot 0 then 15") << QList<int>{0, 15} << 0 << 0 << 15;
    QTest::newRow("index above 15 bounded") << some << 40 << 2 << 2;
    QTest::newRow("negative index bounded") << some << -3 << 2 << 2;
    QTest::newRow("none saved, 2") << QList<int>{} << 4 << 2 << 256;
    QTest::newRow("none saved, 1") << QList<int>{} << 4 << 1 << 256;
    QTest::newRow("none saved, 0") << QList<int>{} << 4 << 0 << 256;
}

void TestCoreModes::mode_index()
{
    QFETCH(QList<int>, saved);
    QFETCH(int, index);
    QFETCH(int, operation);
    QFETCH(int, expected);
    save_slots(saved);
    QCOMPARE(ZemRamPara::pInstance()->ZemUserModeIndex(index, operation), expected);
}

void TestCoreModes::current_mode_index()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    r->wr16(kCurrentMode, 16);
    QCOMPARE(r->ZemGetCurrentModeIndex(), 16);
    r->wr16(kCurrentMode, 17);
    QCOMPARE(r->ZemGetCurrentModeIndex(), 0);
}

void TestCoreModes::language_changed_data()
{
    QTest::addColumn<uint>("valid");
    QTest::addColumn<int>("shadow");
    QTest::addColumn<int>("image");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("image_after");

    QTest::newRow("unchanged") << 0x1Fu << 2 << 2 << 0 << 9 << 2;
    QTest::newRow("enabled language taken") << 0x1Fu << 0 << 3 << 1 << 3 << 3;
    QTest::newRow("disabled: lowest enabled") << 0x13u << 0 << 2 << 1 << 0 << 0;
    QTest::newRow("disabled, 0 off: English") << 0x1Au << 0 << 2 << 1 << 1 << 1;
    QTest::newRow("only Traditional Chinese") << 0x10u << 1 << 0 << 1 << 4 << 4;
    QTest::newRow("beyond the five") << 0x1Fu << 0 << 7 << 1 << 0 << 0;
    QTest::newRow("no language enabled keeps image") << 0x00u << 0 << 3 << 1 << 3 << 3;
}

void TestCoreModes::language_changed()
{
    QFETCH(uint, valid);
    QFETCH(int, shadow);
    QFETCH(int, image);
    QFETCH(int, result);
    QFETCH(int, language);
    QFETCH(int, image_after);

    ZemRamPara *r = ZemRamPara::pInstance();
    g_lcd_lang_valid = valid;
    g_language = 9;
    r->RAM_PARA_SHADOW[kLanguage] = uint8_t(shadow);
    r->RAM_PARA[kLanguage] = uint8_t(image);
    r->RAM_PARA[kLanguage + 1] = result ? 0x40 : 0;
    r->RAM_PARA_SHADOW[kLanguage + 1] = 0;

    QCOMPARE(r->ZemLanguageChanged(), result);
    QCOMPARE(int(g_language), language);
    QCOMPARE(int(r->RAM_PARA[kLanguage]), image_after);
    if (image_after != image)
        QCOMPARE(r->RAM_PARA[kLanguage + 1], uint8_t(0));
    QCOMPARE(int(r->RAM_PARA_SHADOW[kLanguage]), shadow);
}

QTEST_GUILESS_MAIN(TestCoreModes)
#include "tst_core_modes.moc"
