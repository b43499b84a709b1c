#include <QtTest>

#include <QSettings>
#include <QThread>

#include "alias.h"
#include "corefixture.h"
#include "syncupdate.h"
#include "utils.h"

using namespace Ram;

namespace {
QStringList g_calls;
const QString kImage = QStringLiteral("/data/ram_device_info");
const QString kIni = QStringLiteral("/data/configs/tcpip.ini");

QString ini_value(const QString &key)
{
    return QSettings(Paths::dev(kIni), QSettings::IniFormat).value(QStringLiteral("config/") + key).toString();
}

void record_refresh(int code) { g_calls << QStringLiteral("refresh %1").arg(code); }
}

class TestCoreServices : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        fresh_core(QTest::currentTestFunction());
        g_calls.clear();
        UiHooks::refresh_screen = record_refresh;
        UiHooks::update_key_leds = [] { g_calls << QStringLiteral("leds"); };
        UiHooks::after_sync = [](int code) { g_calls << QStringLiteral("after %1").arg(code); };
        SyncUpdate::pInstance();
    }

    void steps_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("keys");
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("calls");
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
        ZemRamPara *r = ZemRamPara::pInstance();
        g_zem_keys = uint8_t(keys);
        g_page_focus = uint8_t(page);
        r->RAM_PARA[kLanguage] = 3;
        r->wr16(kModeSaveRequest, 2);
        r->test_signal(code);
        QCOMPARE(g_calls, calls);
        QCOMPARE(int(g_language), calls == QStringList{"after 1"} ? 3 : 0);
        QCOMPARE(read_dev_file(kImage).isNull(), code >= 105);
        QCOMPARE(r->ZemUserModeSaved(1), code >= 105 ? 0 : 1);
    }

    void save_and_shadow_rule()
    {
        ZemRamPara *r = ZemRamPara::pInstance();
        // A change below 768 is not saved and keeps differing from the shadow.
        r->wr16(source_timing(1), 1920);
        r->ram_para_save();
        QVERIFY(read_dev_file(kImage).isNull());
        QVERIFY(r->differs16(source_timing(1)));
        // The next write renews the whole shadow, the part below 768 included.
        r->RAM_PARA[4095] ^= 1;
        r->ram_para_save();
        QCOMPARE(read_dev_file(kImage), image_file_bytes(r->RAM_PARA));
        QCOMPARE(std::memcmp(r->RAM_PARA, r->RAM_PARA_SHADOW, 4096), 0);
        QVERIFY(shell_log().isEmpty());
    }

    void pending_mode_save()
    {
        ZemRamPara *r = ZemRamPara::pInstance();
        r->wr16(kModeSaveRequest, 16);
        // The refresh runs before the save: it still sees the request and the old mode.
        UiHooks::refresh_screen = [](int) {
            ZemRamPara *p = ZemRamPara::p_zemrampara_config;
            g_calls << QStringLiteral("refresh %1 %2").arg(p->rd16(kModeSaveRequest)).arg(p->rd16(kCurrentMode));
        };
        r->ram_para_save();
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
        QCOMPARE(r->rd16(kModeSaveRequest), uint16_t(0));
        QCOMPARE(QDir(Paths::dev("/data/modes")).entryList(QDir::Files), QStringList{"custom_mode16"});
    }

    void current_image_falls_back()
    {
        ZemRamPara *r = ZemRamPara::pInstance();
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
        ZemRamPara::pInstance()->ram_para_save();
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
            if ((announced = chip->wait(5000)))
                ChipWrite write;
        };
        ZemRamPara::pInstance()->test_signal(5);
        QVERIFY(announced);
        ZemRamPara::p_zemrampara_config->wr16(kLedHeight, 600);
        QCOMPARE(g_calls, QStringList{"after 5"});
        QCoreApplication::processEvents();
        QCOMPARE(g_calls, (QStringList{"after 5", "after 1"}));
        QCOMPARE(file16(read_dev_file(kImage), kLedHeight), uint16_t(600));
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

    void init_ip_address_commands_are_only_recorded()
    {
        write_dev_file(kIni, "[config]\nIPAddress=10.0.0.5\nSubNetMask=255.255.0.0\nGateWay=10.0.0.1\n");
        ConfigEngine::pInstance();
        const QString marker = Paths::data_root() + QStringLiteral("/touched");
        int status = -1;
        QCOMPARE(Utils::system_mutex(QStringLiteral("touch ") + marker, &status), 0);
        QCOMPARE(status, 0);
        g_str_ip.clear();
        QCOMPARE(Utils::initIPAddress(), 0);
        QCOMPARE(QStringList({g_str_ip, g_srt_mask, g_str_gateway}), QStringList({"10.0.0.5", "255.255.0.0", "10.0.0.1"}));
        QCOMPARE(shell_log(), (QStringList{"touch " + marker, "ifconfig eth0 &>/dev/null", "route del default wlan0",
                                           "ifconfig eth0 10.0.0.5 netmask 255.255.0.0",
                                           "route add -host 10.0.0.1 dev eth0",
                                           "route add default gw 10.0.0.1 metric 100",
                                           "route add -host 255.255.255.255 eth0", "route del 255.255.255.255 wlan1"}));
        QVERIFY(!QFile::exists(marker));
    }

    void init_ip_address_rejects_bad_address()
    {
        ConfigEngine::pInstance()->write_config_variant(ConfigItem::GateWay, QStringLiteral("1.2.3.4; reboot"));
        QCOMPARE(Utils::initIPAddress(), 255);
        QCOMPARE(shell_log(), QStringList{"ifconfig eth0 &>/dev/null"});
        QCOMPARE(g_str_gateway, QStringLiteral("192.168.1.1"));
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

    void config_bad_values_fall_back()
    {
        // Key, stored value -> the default put in force and written back.
        const char *rows[][3] = {
            {"IPAddress", "my-host", "192.168.1.199"},      {"SubNetMask", "255.255.255.300", "255.255.255.0"},
            {"GateWay", "\"1.1.1.1 && reboot\"", "192.168.1.1"}, {"GateWay", "1..1.1", "192.168.1.1"},
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
        QFile::remove(Paths::dev(path));
        QCOMPARE(get_json_alias_para(&out, "source", 0), 0);
    }
};

QTEST_GUILESS_MAIN(TestCoreServices)
#include "tst_core_services.moc"
