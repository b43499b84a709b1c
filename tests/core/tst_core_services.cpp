#include <QtTest>

#include <QSettings>

#include "alias.h"
#include "corefixture.h"
#include "utils.h"

namespace {
const QString kIni = QStringLiteral("/data/configs/tcpip.ini");
const QString kAlias = QStringLiteral("/data/configs/alias.json");

QVariant ini_value(const QString &key)
{
    QSettings ini(Paths::dev(kIni), QSettings::IniFormat);
    return ini.value(key);
}
}

class TestCoreServices : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_core(QTest::currentTestFunction()); }

    void time_space_data();
    void time_space();
    void shell_commands_are_only_recorded();
    void init_ip_address_commands();
    void init_ip_address_rejects_bad_address();
    void dotted_ipv4_data();
    void dotted_ipv4();

    void config_defaults_written();
    void config_bad_values_fall_back_data();
    void config_bad_values_fall_back();
    void config_values_reach_globals();
    void config_write_persists();

    void alias_data();
    void alias();
};

void TestCoreServices::time_space_data()
{
    QTest::addColumn<uint>("now");
    QTest::addColumn<uint>("stamp");
    QTest::addColumn<uint>("elapsed");
    QTest::newRow("same tick") << 500u << 500u << 0u;
    QTest::newRow("forward") << 1300u << 300u << 1000u;
    QTest::newRow("wrapped by one") << 0u << 0xFFFFFFFFu << 0u;
    QTest::newRow("wrapped") << 10u << 0xFFFFFFF0u << 25u;
}

void TestCoreServices::time_space()
{
    QFETCH(uint, now);
    QFETCH(uint, stamp);
    QFETCH(uint, elapsed);
    G_timeTicks = now;
    QCOMPARE(Utils::getTimeSpace(stamp), elapsed);
    G_timeTicks = 0;
}

void TestCoreServices::shell_commands_are_only_recorded()
{
    const QString marker = Paths::data_root() + QStringLiteral("/touched");
    int status = -1;
    QCOMPARE(Utils::system_mutex(QStringLiteral("touch ") + marker, &status), 0);
    QCOMPARE(status, 0);
    QCOMPARE(Utils::system_mutex(QStringLiteral("exit 3")), 0);
    QVERIFY(!QFile::exists(marker));
    QCOMPARE(shell_log(), (QStringList{QStringLiteral("touch ") + marker, "exit 3"}));
}

void TestCoreServices::init_ip_address_commands()
{
    write_dev_file(kIni, "[config]\nIPAddress=10.0.0.5\nSubNetMask=255.255.0.0\nGateWay=10.0.0.1\n");
    ConfigEngine::pInstance();
    g_str_ip = QStringLiteral("1.1.1.1");
    QCOMPARE(Utils::initIPAddress(), 0);
    QCOMPARE(g_str_ip, QStringLiteral("10.0.0.5"));
    QCOMPARE(g_srt_mask, QStringLiteral("255.255.0.0"));
    QCOMPARE(g_str_gateway, QStringLiteral("10.0.0.1"));
    const QStringList expected{
        "ifconfig eth0 &>/dev/null",
        "route del default wlan0",
        "ifconfig eth0 10.0.0.5 netmask 255.255.0.0",
        "route add -host 10.0.0.1 dev eth0",
        "route add default gw 10.0.0.1 metric 100",
        "route add -host 255.255.255.255 eth0",
        "route del 255.255.255.255 wlan1",
    };
    QCOMPARE(shell_log(), expected);
}

void TestCoreServices::init_ip_address_rejects_bad_address()
{
    ConfigEngine *cfg = ConfigEngine::pInstance();
    cfg->write_config_variant(ConfigItem::GateWay, QStringLiteral("1.2.3.4; reboot"));
    QCOMPARE(Utils::initIPAddress(), 255);
    QCOMPARE(shell_log(), QStringList{"ifconfig eth0 &>/dev/null"});
    QCOMPARE(g_str_gateway, QStringLiteral("192.168.1.1"));
}

void TestCoreServices::dotted_ipv4_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::newRow("plain") << "192.168.1.199" << true;
    QTest::newRow("top") << "255.255.255.255" << true;
    QTest::newRow("octet 256") << "192.168.1.256" << false;
    QTest::newRow("three parts") << "192.168.1" << false;
    QTest::newRow("empty part") << "1..3.4" << false;
    QTest::newRow("space") << "1.2.3.4 " << false;
    QTest::newRow("shell") << "1.2.3.4;ls" << false;
    QTest::newRow("four digits") << "1.2.3.0004" << false;
}

void TestCoreServices::dotted_ipv4()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QCOMPARE(Utils::is_dotted_ipv4(text), ok);
}

void TestCoreServices::config_defaults_written()
{
    write_dev_file(kIni, "[config]\nIPAddress=10.1.2.3\n");
    factoryage_log.push_back(QStringLiteral("old"));
    ConfigEngine *cfg = ConfigEngine::pInstance();
    QVERIFY(factoryage_log.empty());
    QCOMPARE(cfg->read_config_variant(ConfigItem::IPAddress).toString(), QStringLiteral("10.1.2.3"));
    QCOMPARE(ini_value("config/IPAddress").toString(), QStringLiteral("10.1.2.3"));
    QCOMPARE(ini_value("config/SubNetMask").toString(), QStringLiteral("255.255.255.0"));
    QCOMPARE(ini_value("config/GateWay").toString(), QStringLiteral("192.168.1.1"));
    QCOMPARE(ini_value("config/BarCode").toString(), QStringLiteral(" "));
    QCOMPARE(ini_value("config/LcdLangValid").toInt(), 31);
    QVERIFY(ini_value("config/EDIDCheck").isValid());

    // A second start reads what the first one wrote.
    ConfigEngine::destroy_for_test();
    cfg = ConfigEngine::pInstance();
    QCOMPARE(cfg->read_config_variant(ConfigItem::BarCode).toString(), QStringLiteral(" "));
    QCOMPARE(cfg->read_config_variant(ConfigItem::LcdLangValid).toUInt(), 31u);
}

void TestCoreServices::config_bad_values_fall_back_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("key");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("address with text") << QByteArray("IPAddress=my-host") << int(ConfigItem::IPAddress)
                                       << QVariant(QStringLiteral("192.168.1.199"));
    QTest::newRow("mask out of range") << QByteArray("SubNetMask=255.255.255.300") << int(ConfigItem::SubNetMask)
                                       << QVariant(QStringLiteral("255.255.255.0"));
    QTest::newRow("gateway with command") << QByteArray("GateWay=\"1.1.1.1 && reboot\"") << int(ConfigItem::GateWay)
                                          << QVariant(QStringLiteral("192.168.1.1"));
    QTest::newRow("language mask text") << QByteArray("LcdLangValid=all") << int(ConfigItem::LcdLangValid) << QVariant(31u);
    QTest::newRow("language mask empty") << QByteArray("LcdLangValid=0") << int(ConfigItem::LcdLangValid) << QVariant(31u);
    QTest::newRow("language mask kept") << QByteArray("LcdLangValid=3") << int(ConfigItem::LcdLangValid) << QVariant(3u);
}

void TestCoreServices::config_bad_values_fall_back()
{
    QFETCH(QByteArray, line);
    QFETCH(int, key);
    QFETCH(QVariant, expected);
    write_dev_file(kIni, "[config]\n" + line + "\n");
    const QVariant got = ConfigEngine::pInstance()->read_config_variant(ConfigItem::ConfigName(key));
    QCOMPARE(got.toString(), expected.toString());
    const QString name = QString::fromLatin1(line.left(line.indexOf('=')));
    QCOMPARE(ini_value(QStringLiteral("config/") + name).toString(), expected.toString());
}

void TestCoreServices::config_values_reach_globals()
{
    write_dev_file(kIni, "[config]\nIPAddress=172.16.0.9\nSubNetMask=255.240.0.0\nGateWay=172.16.0.1\n"
                         "BarCode=ZX-0042\nLcdLangValid=6\n");
    g_lcd_lang_valid = 0x1F;
    ConfigEngine::pInstance();
    QCOMPARE(g_str_ip, QStringLiteral("172.16.0.9"));
    QCOMPARE(g_srt_mask, QStringLiteral("255.240.0.0"));
    QCOMPARE(g_str_gateway, QStringLiteral("172.16.0.1"));
    QCOMPARE(g_str_barcode, QStringLiteral("ZX-0042"));
    QCOMPARE(g_lcd_lang_valid, 6u);
    QVERIFY(shell_log().isEmpty());
}

void TestCoreServices::config_write_persists()
{
    ConfigEngine *cfg = ConfigEngine::pInstance();
    g_str_ip = QStringLiteral("192.168.1.199");
    cfg->write_config_variant(ConfigItem::IPAddress, QStringLiteral("192.168.5.5"));
    QCOMPARE(cfg->read_config_variant(ConfigItem::IPAddress).toString(), QStringLiteral("192.168.5.5"));
    QCOMPARE(ini_value("config/IPAddress").toString(), QStringLiteral("192.168.5.5"));
    QCOMPARE(g_str_ip, QStringLiteral("192.168.1.199"));
    QCOMPARE(cfg->read_config_variant(ConfigItem::ConfigName(99)), QVariant());
}

void TestCoreServices::alias_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("name");

    const QByteArray file = R"({"namelist": {
        "source": [ {"id": 0, "valid": "on", "name": "Caméra"},
                    {"id": 1, "valid": "off", "name": "Stage"},
                    {"id": 2, "valid": "on", "name": ""},
                    {"id": "3", "name": "Desk"} ],
        "usermode": [ {"id": 15, "valid": "on", "name": "模式"} ]
    }})";
    QTest::newRow("valid entry, UTF-8 name") << file << "source" << 0 << 1 << QStringLiteral("Caméra");
    QTest::newRow("off") << file << "source" << 1 << 0 << QString();
    QTest::newRow("empty name") << file << "source" << 2 << 0 << QString();
    QTest::newRow("id as text, no valid field") << file << "source" << 3 << 1 << QStringLiteral("Desk");
    QTest::newRow("chinese name") << file << "usermode" << 15 << 1 << QStringLiteral("模式");
    QTest::newRow("no such id") << file << "source" << 7 << 0 << QString();
    QTest::newRow("no such category") << file << "win" << 0 << 0 << QString();
    QTest::newRow("dotted category") << file << "namelist.source" << 0 << 0 << QString();
    QTest::newRow("corrupt file") << file.left(60) << "source" << 0 << 0 << QString();
    QTest::newRow("not json") << QByteArray("\xff\xfe garbage") << "source" << 0 << 0 << QString();
    QTest::newRow("missing file") << QByteArray() << "source" << 0 << 0 << QString();
}

void TestCoreServices::alias()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, category);
    QFETCH(int, id);
    QFETCH(int, result);
    QFETCH(QString, name);
    if (!json.isNull())
        write_dev_file(kAlias, json);
    ALIAS_PARA out;
    out.name = QStringLiteral("untouched");
    QCOMPARE(get_json_alias_para(&out, category, id), result);
    if (result) {
        QCOMPARE(out.name, name);
        QCOMPARE(out.id, id);
    }
}

QTEST_GUILESS_MAIN(TestCoreServices)
#include "tst_core_services.moc"
