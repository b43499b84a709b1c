// Files as an attacker or a power cut leaves them: every reader falls back and says so, nothing
// leads a read or a write out of its folder, and a failed save is said once and retried.
#include <QFileInfo>
#include <QSettings>
#include <QtTest>
#include <cstring>
#include <sys/stat.h>

#include "alias.h"
#include "config_engine.h"
#include "global.h"
#include "omenu.h"
#include "paths.h"
#include "syncupdate.h"
#include "testroot.h"
#include "utils.h"
#include "zemrampara.h"

using namespace Ram;

namespace {
const QString kImage = "/data/ram_device_info", kIni = "/data/configs/tcpip.ini", kAlias = "/data/configs/alias.json",
              kOsd = "/data/modes/MO01.json", kFiles[] = {kImage, "/data/modes/custom_mode1", kIni, kAlias, kOsd};
enum Kind { Content, Fifo, LinkOut, Sparse };   // what a row puts in place of every file

QByteArray marked(uint16_t led_width)
{
    QByteArray file(4096, '\0');
    file[0] = file[1] = char(0xAA);
    file[kLedWidth - 766] = char(led_width & 0xFF);
    file[kLedWidth - 765] = char(led_width >> 8);
    return file;
}
QByteArray names(const QByteArray &name)
{
    return R"({"namelist": {"source": [{"id": 0, "valid": "on", "name": ")" + name + "\"}]}}";
}
// Good files outside the data root, for the links to lead to.
QByteArray outside_content(const QString &file)
{
    return file == kIni ? "[config]\nIPAddress=10.9.9.9\n" : file == kAlias ? names("Outside")
                        : file == kOsd ? R"({"osdcount": 2})" : marked(1234);
}
QString outside_path(const QString &file) { return Paths::data_root() + "-outside" + file; }
void place(Kind kind, const QByteArray &content)
{
    for (const QString &file : kFiles) {
        const QString path = Paths::dev(file);
        if (kind == Fifo)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else if (kind == Sparse)
            QVERIFY(QFile(path).open(QIODevice::WriteOnly) && QFile::resize(path, qint64(3) << 30));
        else if (kind == Content)
            write_dev_file(file, content);
        if (kind == LinkOut) {
            QDir().mkpath(QFileInfo(outside_path(file)).absolutePath());
            QFile t(outside_path(file));
            QVERIFY(t.open(QIODevice::WriteOnly) && t.write(outside_content(file)) > 0);
            QVERIFY(QFile::link(outside_path(file), path));
        }
    }
}
QStringList config_values()
{
    QStringList out;
    for (auto key : {ConfigItem::IPAddress, ConfigItem::GateWay, ConfigItem::BarCode, ConfigItem::LcdLangValid})
        out << ConfigEngine::pInstance()->read_config_variant(key).toString();
    return out;
}
}

class TestFiles : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        const QString tag = QString(QTest::currentDataTag()).replace(QRegularExpression("[ /]"), "_");
        fresh_test_root(QString(QTest::currentTestFunction()) + '-' + tag);
        QDir(Paths::data_root() + "-outside").removeRecursively();
        ZemRamPara::destroy_for_test();
        ConfigEngine::destroy_for_test();
        g_debugSwitch = 0;
        g_page_focus = 27;   // no screen to refresh
    }
    void hostile_files_data()
    {
        // Every file read at start replaced by the variant. config: address, gateway, bar code,
        // languages; name: of source 0; said: why the parameter image was not used.
        columns<int, QByteArray, QString, QStringList, QString>({"kind", "content", "said", "config", "name"});
        const QStringList defaults{"192.168.1.199", "192.168.1.1", " ", "31"};
        const auto row = [&](const char *tag, Kind kind, const QByteArray &content, const char *said,
                             const QStringList &config = {}, const QString &name = {}) {
            QTest::newRow(tag) << int(kind) << content << QString(said) << (config.isEmpty() ? defaults : config)
                               << name;
        };
        const char *size = "bytes, not 4096", *large = "larger than 4096 bytes", *marker = "no valid marker";
        QByteArray random(4096, '\x11');
        QRandomGenerator gen(58);
        for (int i = 1; i < random.size(); ++i)
            random[i] = char(gen.bounded(256));
        row("empty", Content, "", size);
        row("short", Content, "\xAA\xAA\x01", size);
        row("long", Content, marked(1234) + 'x', large);
        row("random bytes", Content, random, marker);
        row("wrong marker", Content, marked(1234).replace(0, 1, "\x55"), marker);
        row("broken JSON", Content, names("Stage").left(50), size);
        row("wrong JSON types", Content, R"({"namelist": {"source": [{"id": [0], "name": {}}]}, "osdcount": "x"})", size);
        row("deep nesting", Content, QByteArray(100000, '['), large);
        row("padded past the cap", Content, names("Stage") + QByteArray(300000, ' '), large);
        row("huge, sparse", Sparse, {}, large);
        row("non-UTF-8 name", Content, names("St\xff\xfe"), size);
        row("non-UTF-8 bar code", Content, "[config]\nBarCode=K58\xff\nGateWay=10.0.0.1\n", size,
            {"192.168.1.199", "10.0.0.1", " ", "31"});
        row("markup in names", Content, names("<img src='x.png'><b>A</b>"), size, {}, "<img src='x.png'><b>A</b>");
        // Whole, comma included, and the good address beside it kept.
        row("markup and comma in the bar code", Content, "[config]\nBarCode=<b>K58</b>, 7\nIPAddress=10.1.1.1\n", size,
            {"10.1.1.1", "192.168.1.1", "<b>K58</b>, 7", "31"});
        row("traversal strings", Content, "[config]\nBarCode=../../etc/shadow\nGateWay=../../dev/zero\n", size,
            {"192.168.1.199", "192.168.1.1", "../../etc/shadow", "31"});
        row("@Variant", Content, "[config]\nIPAddress=@Variant(\\0\\0\\0\\x41\\0\\0\\0\\0\\0)\n"
                                 "BarCode=@Variant(\\0\\0\\0\\n\\0\\0\\0\\0\\x6\\0x\\0y\\0z)\n", size);
        row("FIFO", Fifo, {}, "not a regular file");
        row("link out of the root", LinkOut, {}, "a link, not a file");
    }
    void hostile_files()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, content);
        QFETCH(QString, said);
        place(Kind(kind), content);
        Warnings warnings;
        QTEST(config_values(), "config");
        ZemRamPara *r = ZemRamPara::pInstance();
        ALIAS_PARA alias;
        get_json_alias_para(&alias, "source", 0);
        QTEST(alias.name, "name");
        OSD_LIST osd;
        get_json_omenu_para(kOsd.toUtf8().constData(), &osd);
        QCOMPARE(osd.menu[0].osdcount, 0);
        // The factory image and no saved mode; the image's fault said once.
        QCOMPARE(std::memcmp(r->RAM_PARA + kSavedFrom, default_para_ramlist + 2, kTestPattern - kSavedFrom), 0);
        QCOMPARE(r->ZemUserModeSaved(0), 0);
        const QStringList image = warnings.lines().filter("ram_device_info: not used: ");
        QVERIFY2(image.size() == 1 && image[0].endsWith(said), qPrintable(warnings.lines().join('\n')));
        // The configuration is a file now, the next start reads back what this one kept, and no
        // write leaves the root.
        QVERIFY(!QFileInfo(Paths::dev(kIni)).isSymLink());
        const QStringList kept = config_values();
        ConfigEngine::destroy_for_test();
        QCOMPARE(config_values(), kept);
        ConfigEngine::pInstance()->write_config_variant(ConfigItem::IPAddress, "10.3.3.3");
        for (const QString &file : kFiles) {
            QFile t(outside_path(file));
            QCOMPARE(t.open(QIODevice::ReadOnly) ? t.readAll() : "none", kind == LinkOut ? outside_content(file) : "none");
        }
    }
    // Written by the program and read back by it and by Qt's settings class alike; lines it does
    // not know stay; the numbers 0 to 17 (file keys, some still to come) are not the language mask.
    void configuration_text()
    {
        for (const QString &code : QStringList{"a, b; c = d", " padded ", "@home", "quote \" \\ \\x41", "tab\tline\n",
                                               "Zoë 设备 1a"}) {
            ConfigEngine::pInstance()->write_config_variant(ConfigItem::BarCode, code);
            ConfigEngine::destroy_for_test();
            QCOMPARE(config_values()[2], code);
            QCOMPARE(QSettings(Paths::dev(kIni), QSettings::IniFormat).value("config/BarCode").toString(), code);
        }
        const QByteArray head = "; note\n[General]\nx=1\n[config]\nEDIDCheck=1\nBarCode=\"K58,\" ; lot\n";
        write_dev_file(kIni, QByteArray(head).replace("\n[config]\n", "\n[config]\r\n") + "\n[later]\ny=2\n");
        ConfigEngine::destroy_for_test();
        QCOMPARE(config_values()[2], QStringLiteral("K58,"));
        ConfigEngine *cfg = ConfigEngine::pInstance();
        cfg->write_config_variant(ConfigItem::LcdLangValid, 6u);
        for (int key = 0; key < 18; ++key)
            if (!QList<int>{ConfigItem::IPAddress, ConfigItem::SubNetMask, ConfigItem::GateWay, ConfigItem::BarCode}
                     .contains(key))
                cfg->write_config_variant(ConfigItem::ConfigName(key), "x");
        QCOMPARE(read_dev_file(kIni), head + "IPAddress=192.168.1.199\nSubNetMask=255.255.255.0\nGateWay=192.168.1.1\n"
                                             "LcdLangValid=6\n\n[later]\ny=2\n");
        QVERIFY(!QFileInfo::exists(Paths::dev(kIni) + ".lock"));
    }
    // Parsed once, and again only when the file's size or time changes.
    void names_read_once()
    {
        const auto name = [] { ALIAS_PARA a; return get_json_alias_para(&a, "source", 0), a.name; };
        const auto stamp = [](int s) {
            QFile f(Paths::dev(kAlias));
            return f.open(QIODevice::ReadWrite)
                && f.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + s), QFileDevice::FileModificationTime);
        };
        write_dev_file(kAlias, names("Stage"));
        QVERIFY(stamp(0) && name() == "Stage");
        write_dev_file(kAlias, names("Lobby"));
        QVERIFY(stamp(0) && name() == "Stage");
        QVERIFY(stamp(1) && name() == "Lobby");
        write_dev_file(kAlias, names("Hall 2"));
        QCOMPARE(name(), QStringLiteral("Hall 2"));
    }
    // A folder where the file goes: the save fails, is said once however often it is tried, and
    // succeeds at the next try once the folder has gone.
    void save_failures_data()
    {
        columns<QString>({"file"});
        for (const QString &file : {kImage, QStringLiteral("/data/modes/custom_mode3"), kIni})
            QTest::newRow(qPrintable(file)) << file;
    }
    void save_failures()
    {
        QFETCH(QString, file);
        ZemRamPara *r = (ConfigEngine::pInstance(), SyncUpdate::pInstance(), ZemRamPara::p_zemrampara_config);
        r->wr16(kCurrentMode, 5);
        r->ram_para_save();
        QFile::remove(Paths::dev(file));
        QVERIFY(QDir().mkpath(Paths::dev(file)));
        QList<int> outcomes;
        connect(SyncUpdate::p_syncupdate, &SyncUpdate::sig_mode_saved, r,
                [&](int slot, bool ok) { outcomes << slot << ok; });
        Warnings warnings;
        QList<bool> written;   // what the configuration's writer said of each attempt
        const auto attempt = [&](int n) {
            if (file == kIni) {
                written << ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, QString("10.0.0.%1").arg(n));
                return;
            }
            r->wr16(kLedWidth, uint16_t(n));
            r->wr16(kModeSaveRequest, file == kImage ? 0 : 3);
            r->ram_para_save();
        };
        attempt(1);
        attempt(2);
        QCOMPARE(warnings.count(Paths::dev(file) + ": not saved: Is a directory"), 1);
        // The shadow still holds what the file holds; the slot stays empty, the current mode 5.
        QCOMPARE(r->differs16(kLedWidth), file == kImage);
        const int in_file = file == kImage ? 5 : read_dev_file(kImage).at(kCurrentMode - 766);
        QCOMPARE(QList<int>({r->ZemUserModeSaved(2), r->rd16(kCurrentMode), in_file, r->rd16(kModeSaveRequest)}),
                 QList<int>({0, 5, 5, 0}));
        QCOMPARE(outcomes, file.contains("mode") ? QList<int>({2, 0, 2, 0}) : QList<int>());
        QVERIFY(QDir(Paths::dev(file)).removeRecursively());
        file == kImage ? void(r->ram_para_save()) : attempt(3);
        QCOMPARE(warnings.count(": not saved"), 1);
        QVERIFY(!r->differs16(kLedWidth) && QFileInfo(Paths::dev(file)).isFile());
        if (file.contains("mode"))
            QCOMPARE(QList<int>({r->ZemUserModeSaved(2), r->rd16(kCurrentMode), outcomes.last()}),
                     QList<int>({1, 3, 1}));
        if (file == kIni) {
            QCOMPARE(QSettings(Paths::dev(kIni), QSettings::IniFormat).value("config/IPAddress"), QVariant("10.0.0.3"));
            QCOMPARE(written, QList<bool>({false, false, true}));
        }
    }
    // A linked folder cannot lead a write out of the root; a link in the file's place, or in
    // that of its temporary file, is replaced, not written through; nothing is left beside.
    void safe_writer_stays_in_the_root()
    {
        QDir().mkpath(Paths::data_root() + "-outside");
        write_dev_file("/keep", "keep");
        QVERIFY(QFile::link(Paths::data_root() + "-outside", Paths::dev("/data/linked")));
        for (const char *link : {"/data/file", "/data/.x.tmp"})
            QVERIFY(QFile::link(Paths::dev("/keep"), Paths::dev(link)));
        QVERIFY(!Utils::write_file_atomic(Paths::dev("/data/linked/sub/x"), "new"));
        for (const char *file : {"/data/file", "/data/x"})
            QVERIFY(Utils::write_file_atomic(Paths::dev(file), "new") && read_dev_file(file) == "new");
        QVERIFY(QDir(Paths::data_root() + "-outside").isEmpty() && read_dev_file("/keep") == "keep");
        QCOMPARE(QDir(Paths::dev("/data")).entryList(QDir::Files | QDir::Hidden | QDir::System), (QStringList{"file", "x"}));
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
