// Files as an attacker or a power cut leaves them: every reader falls back and says so, nothing
// leads a read or a write out of its folder, and a failed save is said once and retried.
#include <QFileInfo>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSettings>
#include <QtTest>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <optional>
#include <dirent.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "alias.h"
#include "config_engine.h"
#include "file_writer.h"
#include "global.h"
#include "omenu.h"
#include "paths.h"
#include "safe_file.h"
#include "swapfolder.h"
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
// A file by its host path, as a test outside the program makes and reads it.
void write_file(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
}
QByteArray read_file(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
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
// Puts `what` under a host path, made beside it and renamed into place, so that no open of the
// name comes from the test: a FIFO ("read fifo": with a reader, left in `held`), a link to the
// outside file or to nowhere, a hard link to it, a socket, a folder.
bool put_in_place(const QString &what, const QString &path, const QString &outside, int *held)
{
    const QByteArray name = QFile::encodeName(path), made = name + ".new", out = QFile::encodeName(outside);
    bool ok = what.endsWith("fifo")   ? ::mkfifo(made.constData(), 0644) == 0
              : what == "link"        ? ::symlink(out.constData(), made.constData()) == 0
              : what == "dangling"    ? ::symlink((out + "-none").constData(), made.constData()) == 0
              : what == "hard link"   ? ::link(out.constData(), made.constData()) == 0
              : what == "socket"      ? ::mknod(made.constData(), S_IFSOCK | 0644, 0) == 0
              : what == "folder" && ::mkdir(made.constData(), 0755) == 0;
    if (ok && what == "read fifo")
        ok = (*held = ::open(made.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) >= 0;
    return ok && ::rename(made.constData(), name.constData()) == 0;
}
// Root writes whatever a file's mode says: from here on the calling thread does without the
// capability that lets it, as a plain user's thread would, and the change ends with the thread. It
// keeps its identity and the capability to search folders, so it reaches the data root wherever
// the checkout stands, below a folder closed to others included. A test that is not root has
// nothing to give up.
bool write_as_the_mode_says()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, caps) != 0)
        return false;
    caps[CAP_TO_INDEX(CAP_DAC_OVERRIDE)].effective &= ~CAP_TO_MASK(CAP_DAC_OVERRIDE);
    return ::syscall(SYS_capset, &header, caps) == 0;
}
int open_descriptors()
{
    int n = 0;
    DIR *dir = ::opendir("/proc/self/fd");
    while (dir && ::readdir(dir))
        ++n;
    if (dir)
        ::closedir(dir);
    return n;
}
// Once an append has looked at `log`, the first time, the file looked at moves aside to ".looked"
// (or, for "second name", gets that name as well) and `what` takes the name.
struct AfterLook
{
    static inline QString log, outside, what;
    static inline std::atomic<int> held{-1};
    static inline std::atomic<bool> done{false};
    static void swap(const QString &path)
    {
        if (path != log || done.exchange(true))
            return;
        const QByteArray log8 = QFile::encodeName(log), looked8 = log8 + ".looked";
        if (what == "second name") {
            ::link(log8.constData(), looked8.constData());
            return;
        }
        ::rename(log8.constData(), looked8.constData());
        int reader = -1;
        put_in_place(what, log, outside, &reader);
        held = reader;
    }
};
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
    // A configuration file is taken with a UTF-8 mark before it. One that is not taken is said so,
    // and one that holds something is kept aside (an older one replaced) before the defaults take
    // its place, which the next start then reads without a word.
    void configuration_refused_data()
    {
        columns<QByteArray, QString, bool, QStringList>({"content", "said", "kept", "config"});
        const QByteArray good = "[config]\nIPAddress=10.1.2.3\nGateWay=10.1.2.1\nBarCode=K58-7\n";
        const QStringList user{"10.1.2.3", "10.1.2.1", "K58-7", "31"}, defaults{"192.168.1.199", "192.168.1.1", " ", "31"};
        const QString text = QString::fromLatin1(good);
        const QByteArray utf16(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        QByteArray random(4096, '\0');
        QRandomGenerator gen(58);
        for (char &c : random)
            c = char(gen.bounded(256));
        QTest::newRow("UTF-8 mark") << "\xEF\xBB\xBF" + good << "" << false << user;
        QTest::newRow("UTF-16") << "\xFF\xFE" + utf16 << "UTF-16 text, only UTF-8 is read" << true << defaults;
        QTest::newRow("over 64 KiB") << good + ';' + QByteArray(64 * 1024, 'x') + '\n' << "larger than 65536 bytes" << true
                                     << defaults;
        QTest::newRow("all NUL") << QByteArray(4096, '\0') << "not text: it holds NUL bytes" << true << defaults;
        QTest::newRow("random bytes") << random << "not text: it holds NUL bytes" << true << defaults;
        QTest::newRow("random text") << QByteArray("lorem ipsum\nIPAddress=10.1.2.3\n") << "no [config] group" << true
                                     << defaults;
        QTest::newRow("empty") << QByteArray() << "empty" << false << defaults;
    }
    void configuration_refused()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, said);
        QFETCH(bool, kept);
        const QString ini = Paths::dev(kIni), refused = ini + ".refused";
        write_file(ini, content);
        write_file(refused, "older");
        {
            Warnings warnings;
            QTEST(config_values(), "config");
            QStringList lines;
            if (!said.isEmpty())
                lines << "zemK58N: " + ini + ": not used: " + said;
            if (kept)
                lines << "zemK58N: " + ini + ": kept as tcpip.ini.refused, a new one written";
            QCOMPARE(warnings.lines(), lines);
        }
        QCOMPARE(read_file(refused), kept ? content : QByteArray("older"));
        QCOMPARE(read_file(ini).count("[config]"), 1);
        Warnings warnings;
        const QStringList values = config_values();
        ConfigEngine::destroy_for_test();
        QCOMPARE(config_values(), values);
        QCOMPARE(warnings.lines(), QStringList());
    }
    // A refused file that cannot be kept aside is left as it is, at the start and at a save, which
    // then fails; once there is room, the next save keeps it aside first. The folder opened for the
    // read takes the move and the write, wherever its name leads once it is open.
    void configuration_kept_before_replaced()
    {
        const QString ini = Paths::dev(kIni), refused = ini + ".refused";
        const QByteArray big = "[config]\nIPAddress=10.1.2.3\n;" + QByteArray(64 * 1024, 'x') + '\n';
        write_file(ini, big);
        QVERIFY(QDir().mkpath(refused + "/full"));
        Warnings warnings;
        QCOMPARE(config_values()[0], QStringLiteral("192.168.1.199"));
        QVERIFY(!ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, "10.5.5.5"));
        QCOMPARE(read_file(ini), big);
        QCOMPARE(config_values()[0], QStringLiteral("192.168.1.199"));
        QCOMPARE(warnings.count(ini + ": left as it is, for it cannot be kept aside: Is a directory"), 1);
        QVERIFY(QDir(refused).removeRecursively());
        QVERIFY(ConfigEngine::p_config->write_config_variant(ConfigItem::IPAddress, "10.5.5.5"));
        QCOMPARE(read_file(refused), big);
        QCOMPARE(QSettings(ini, QSettings::IniFormat).value("config/IPAddress"), QVariant("10.5.5.5"));
        QCOMPARE(warnings.count(ini + ": kept as tcpip.ini.refused"), 1);

        const QString folder = Paths::dev("/data/configs"), outside = Paths::data_root() + "-outside";
        QVERIFY(QDir().mkpath(outside));
        write_file(ini, big);
        SwapWhenOpened swap(folder, outside);
        ConfigEngine::destroy_for_test();
        QCOMPARE(config_values()[0], QStringLiteral("192.168.1.199"));
        QCOMPARE(SwapWhenOpened::swaps(), 1);
        QCOMPARE(read_file(folder + ".opened/tcpip.ini.refused"), big);
        QCOMPARE(QSettings(folder + ".opened/tcpip.ini", QSettings::IniFormat).value("config/IPAddress"),
                 QVariant("192.168.1.199"));
        QVERIFY(QDir(outside).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
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
        SyncUpdate::finish_writes();
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
            SyncUpdate::finish_writes();
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
        SyncUpdate::finish_writes();
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
    // A save the disk refused is tried again on its own, said once, until the disk mends: then
    // the file holds the change with no key pressed; the save's asker heard only the failure.
    void a_failed_save_is_retried_data()
    {
        columns<QString>({"file"});
        QTest::newRow("image, full disk") << kImage;
        QTest::newRow("user mode, read-only disk") << QStringLiteral("/data/modes/custom_mode3");
    }
    void a_failed_save_is_retried()
    {
        QFETCH(QString, file);
        ZemRamPara *r = (SyncUpdate::pInstance(), ZemRamPara::p_zemrampara_config);
        r->wr16(kCurrentMode, 5);
        r->ram_para_save();
        SyncUpdate::finish_writes();
        const QByteArray before = read_file(Paths::dev(file));
        QList<int> outcomes;
        int images_saved = 0;
        connect(SyncUpdate::p_syncupdate, &SyncUpdate::sig_mode_saved, r, [&](int slot, bool ok) { outcomes << slot << ok; });
        connect(SyncUpdate::p_syncupdate, &SyncUpdate::sig_image_saved, r, [&] { ++images_saved; });
        static std::atomic<int> tries;
        tries = 0;
        FileWriter::before_file_hook = [](const QString &) { ++tries; };
        const auto unhook = qScopeGuard([] { FileWriter::before_file_hook = nullptr; });
        // Asleep with nothing to wake for, the writer keeps no copy to try again: no retry comes.
        const auto nothing_kept = [] {
            const FileWriter::Sleep s = FileWriter::sleep_now();
            return s.sleeping && !s.woken && !s.until;
        };
        RetryEvery retry(5);
        Warnings warnings;
        {
            std::optional<FullDisk> full;
            std::optional<ReadOnlyDisk> read_only;
            file == kImage ? void(full.emplace()) : void(read_only.emplace(file));
            r->wr16(kLedWidth, 777);
            r->wr16(kModeSaveRequest, file == kImage ? 0 : 3);
            r->ram_para_save();
            // The writer's reports come queued: the image's, which renews the shadow, may still be
            // on its way after the mode's has come and its file has been tried four times.
            ZEM_TRY_VERIFY((tries >= 4 || (tries > 0 && nothing_kept()))
                           && (file == kImage || (!outcomes.isEmpty() && images_saved > 0)));
            QVERIFY2(tries >= 4, "the refused file is not tried again");
            QCOMPARE(read_file(Paths::dev(file)), before);
            QCOMPARE(QList<int>({r->differs16(kLedWidth), r->ZemUserModeSaved(2)}), QList<int>({file == kImage, 0}));
        }
        // The retry's report taken: the image saved, or the slot filled, which no one is told of.
        ZEM_TRY_VERIFY((file == kImage ? images_saved > 0 : r->ZemUserModeSaved(2) == 1)
                       && read_file(Paths::dev(file)) != before);
        QCOMPARE(QList<int>({r->differs16(kLedWidth), r->ZemUserModeSaved(2), r->rd16(kCurrentMode)}),
                 QList<int>({0, file != kImage, file == kImage ? 5 : 3}));
        QCOMPARE(outcomes, file == kImage ? QList<int>() : QList<int>({2, 0}));
        QCOMPARE(warnings.count(": not saved"), 1);
    }
    // A newer copy replaces one waiting for its retry: once the disk mends, only the newest is
    // written. finish() tries each copy once more at once and returns on a broken disk.
    void a_newer_copy_replaces_a_retry()
    {
        ZemRamPara *r = (SyncUpdate::pInstance(), ZemRamPara::p_zemrampara_config);
        r->ram_para_save();
        SyncUpdate::finish_writes();
        const QByteArray before = read_file(Paths::dev(kImage));
        RetryEvery retry(3600 * 1000);
        FileChanges changes(Paths::dev(kImage));
        {
            ReadOnlyDisk read_only;
            r->wr16(kLedWidth, 111);
            r->ram_para_save();
            SyncUpdate::finish_writes();
            const int tries = read_only.refused();
            r->wr16(kLedWidth, 222);
            r->ram_para_save();
            ZEM_TRY_COMPARE(read_only.refused(), tries + 1);   // the old copy waits for its retry
            QCOMPARE(read_file(Paths::dev(kImage)), before);
        }
        FileWriter::finish();
        QCOMPARE(changes.count(), 1);
        QCOMPARE(read_file(Paths::dev(kImage)).mid(kLedWidth - 766, 2), QByteArray("\xDE\0", 2));
    }
    // A folder's id is the folder it opened, as the system numbers it: another folder put under
    // its name since has another; a folder not opened has none.
    void folder_id_is_the_opened_folder()
    {
        const QString path = Paths::dev("/data/stick");
        const auto id_on_disk = [](const QString &p) {
            struct stat st;
            const bool there = ::stat(QFile::encodeName(p).constData(), &st) == 0;
            return FolderId{there, there ? uint64_t(st.st_dev) : 0, there ? uint64_t(st.st_ino) : 0};
        };
        QVERIFY(QDir().mkpath(path));
        const Folder opened = Folder::open(path);
        const FolderId first = id_on_disk(path);
        QVERIFY(first.valid && opened.id() == first);
        QVERIFY(QDir(Paths::dev("/data")).rename("stick", "old"));
        QVERIFY(QDir().mkpath(path));
        QVERIFY(opened.id() == first && Folder::open(path).id() == id_on_disk(path) && id_on_disk(path) != first);
        QVERIFY(!Folder::open(Paths::dev("/data/none")).id().valid && !Folder().id().valid);
    }
    // A newer copy of a user mode, or its removal, handed over while a copy the disk refuses is
    // being tried, is what the file ends with: the failed copy is given up, not retried over it.
    void a_copy_handed_over_during_a_failed_attempt_wins_data()
    {
        columns<bool>({"removal"});
        QTest::newRow("a newer copy") << false;
        QTest::newRow("a removal") << true;
    }
    void a_copy_handed_over_during_a_failed_attempt_wins()
    {
        QFETCH(bool, removal);
        const QString mode = QStringLiteral("/data/modes/custom_mode3");
        static QSemaphore trying, handed_over;
        static std::atomic<int> attempts;
        trying.acquire(trying.available());
        handed_over.acquire(handed_over.available());
        attempts = 0;
        // Only the first attempt is held, and refused: the disk takes everything after it.
        FileWriter::before_file_hook = [](const QString &) {
            if (attempts == 0) {
                trying.release();
                handed_over.tryAcquire(1, zemtest::kCeilingMs);
            }
        };
        FileWriter::disk_error_hook = [](const QString &) { return attempts++ == 0 ? EROFS : 0; };
        const auto unhook = qScopeGuard([] {
            FileWriter::before_file_hook = nullptr;
            FileWriter::disk_error_hook = nullptr;
        });
        RetryEvery retry(3600 * 1000);   // a retry comes only through finish()
        QList<int> told;   // 1, 2: the older and the newer job; negative when it failed
        QMutex told_mutex;
        QSemaphore newer_done;
        const auto tell = [&](int job) {
            return [&, job](bool ok) {
                QMutexLocker lock(&told_mutex);
                told << (ok ? job : -job);
                if (job == 2)
                    newer_done.release();
            };
        };
        FileWriter::write(mode, "older", tell(1));
        QVERIFY(trying.tryAcquire(1, zemtest::kCeilingMs));
        removal ? FileWriter::remove({mode}, tell(2)) : FileWriter::write(mode, "newer", tell(2));
        handed_over.release();
        // The newer job made first, then every copy still kept tried once more.
        QVERIFY(newer_done.tryAcquire(1, zemtest::kCeilingMs));
        FileWriter::finish();
        QCOMPARE(QFileInfo::exists(Paths::dev(mode)), !removal);
        if (!removal)
            QCOMPARE(read_file(Paths::dev(mode)), QByteArray("newer"));
        QMutexLocker lock(&told_mutex);
        QCOMPARE(told, (QList<int>{-1, 2}));
    }
    // A linked folder cannot lead a write out of the root; a link in the file's place is replaced,
    // not written through; nothing is left beside.
    void safe_writer_stays_in_the_root()
    {
        QDir().mkpath(Paths::data_root() + "-outside");
        write_dev_file("/keep", "keep");
        QVERIFY(QFile::link(Paths::data_root() + "-outside", Paths::dev("/data/linked")));
        QVERIFY(QFile::link(Paths::dev("/keep"), Paths::dev("/data/file")));
        Warnings warnings;
        QVERIFY(!Utils::write_file_atomic(Paths::dev("/data/linked/sub/x"), "new"));
        QCOMPARE(warnings.count("/data/linked/sub/x: not saved: linked is a link, not a folder"), 1);
        for (const char *file : {"/data/file", "/data/x"})
            QVERIFY(Utils::write_file_atomic(Paths::dev(file), "new") && read_dev_file(file) == "new");
        QVERIFY(QDir(Paths::data_root() + "-outside").isEmpty() && read_dev_file("/keep") == "keep");
        QCOMPARE(QDir(Paths::dev("/data")).entryList(QDir::Files | QDir::Hidden | QDir::System), (QStringList{"file", "x"}));
    }
    // Below the data root's top folders no link is followed by the writer, the reader, the listing
    // or the removal: not when the folder is a link from the start, nor when it is swapped for one
    // once opened, when the work stays in the folder that was opened.
    void no_link_below_the_top_folders_data()
    {
        columns<QString, bool>({"op", "swapped"});
        for (const char *op : {"write", "read", "list", "remove"}) {
            QTest::newRow(qPrintable(QString("%1, a link already").arg(op))) << op << false;
            QTest::newRow(qPrintable(QString("%1, swapped once opened").arg(op))) << op << true;
        }
    }
    void no_link_below_the_top_folders()
    {
        QFETCH(QString, op);
        QFETCH(bool, swapped);
        const QString outside = Paths::data_root() + "-outside", folder = Paths::dev("/data/smartmapping");
        const QString file = folder + "/f", opened = folder + ".opened/f";
        QDir().mkpath(outside);
        write_file(outside + "/f", "outside");
        write_file(outside + "/o", "outside");
        write_file(file, "inside");
        std::optional<SwapWhenOpened> swap;
        if (swapped)
            swap.emplace(folder, outside);
        else
            QVERIFY(QDir().rename(folder, folder + ".opened") && QFile::link(outside, folder));
        Warnings warnings;
        QString result = "refused";
        if (op == "write" && Utils::write_file_atomic(file, "new"))
            result = "new";
        const FileRead read = op == "read" ? Utils::read_file_capped(file, 100) : FileRead();
        if (read.ok())
            result = read.bytes;
        if (op == "list")
            result = Utils::listed_files(folder).join(',');
        if (op == "remove" && Utils::remove_file(file))
            result = "removed";
        const QHash<QString, QString> done{{"write", "new"}, {"read", "inside"}, {"list", "f"}, {"remove", "removed"}};
        QCOMPARE(result, swapped ? done[op] : QString(op == "list" ? "" : "refused"));
        QCOMPARE(swap ? SwapWhenOpened::swaps() : 1, 1);
        // The folder that was opened took the work.
        const QHash<QString, QByteArray> there{{"write", "new"}, {"remove", ""}};
        QCOMPARE(read_file(opened), swapped ? there.value(op, "inside") : "inside");
        QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), (QStringList{"f", "o"}));
        QCOMPARE(read_file(outside + "/f"), QByteArray("outside"));
        QCOMPARE(warnings.count("smartmapping is a link, not a folder"), !swapped && (op == "read" || op == "write") ? 1 : 0);
    }
    // A folder once opened is left by none of its names: "." and ".." name no entry of its own.
    void folder_names_stay_inside()
    {
        write_dev_file("/data/top", "top");
        const Folder dir = Folder::open(Paths::dev("/data/smartmapping"), true);
        QVERIFY(dir.ok());
        for (const char *name : {"..", ".", "a/../..", "../data"}) {
            QVERIFY2(!dir.sub(name).ok(), name);
            QVERIFY2(dir.entry_type(name) == 0, name);
        }
        QFile file;
        QVERIFY(dir.sub("..").open_file("top", &file) != FileRead::Ok);
        QString reason;
        QVERIFY(!dir.write_file("..", "x", &reason) && !dir.remove(".."));
        QCOMPARE(read_dev_file("/data/top"), QByteArray("top"));
    }
    // Any name a folder can hold can be saved, the longest too: the temporary file's name is short
    // and of its own. A NUL, which would cut the name short on its way to the system, is refused.
    void names_the_writer_takes()
    {
        const QString longest(255, 'n');
        QVERIFY(Utils::write_file_atomic(Paths::dev("/data/" + longest), "long"));
        QCOMPARE(read_dev_file("/data/" + longest), QByteArray("long"));
        Warnings warnings;
        QVERIFY(!Utils::write_file_atomic(Paths::dev("/data/" + longest + "n"), "x"));
        QVERIFY(!Utils::write_file_atomic(Paths::dev("/data/a") + QChar(0) + "b", "x"));
        QVERIFY2(warnings.count(": not saved: ") == 2, qPrintable(warnings.lines().join('\n')));
        QCOMPARE(warnings.count(": not saved: a name holds a NUL character"), 1);
        QCOMPARE(QDir(Paths::dev("/data")).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{longest});
        // The temporary names: fresh each time, and none a listing counts.
        const QString a = Utils::temporary_name(), b = Utils::temporary_name();
        QVERIFY(a != b && Utils::is_temporary_name(a) && !Utils::is_listed_name(a) && a.size() < 20);
        for (const char *other : {".x.tmp", ".saving-ABCDEF.tmp", ".saving-abcdef.tm", ".saving-abcdefg.tmp", "saving-abcdef.tmp"})
            QVERIFY2(!Utils::is_temporary_name(other), other);
    }
    // A name read from a folder opens the same file again, also when it is not UTF-8; shown, the
    // bytes that are not become U+FFFD.
    void names_kept_byte_for_byte_data()
    {
        columns<QByteArray, QString>({"bytes", "shown"});
        QTest::newRow("ASCII") << QByteArray("plain.qyfile") << "plain.qyfile";
        QTest::newRow("UTF-8") << QByteArray("Zo\xc3\xab \xe8\xae\xbe \xf0\x9f\x98\x80") << QString::fromUtf8("Zo\xc3\xab \xe8\xae\xbe \xf0\x9f\x98\x80");
        QTest::newRow("Latin-1") << QByteArray("b\xe9.qyfile") << QString::fromUtf8("b\xef\xbf\xbd.qyfile");
        QTest::newRow("cut short") << QByteArray("a\xe8\xae") << QString::fromUtf8("a\xef\xbf\xbd\xef\xbf\xbd");
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << QString(2, QChar(0xFFFD));
        QTest::newRow("overlong slash in three") << QByteArray("\xe0\x80\xaf") << QString(3, QChar(0xFFFD));
        QTest::newRow("overlong euro in four") << QByteArray("\xf0\x82\x82\xac") << QString(4, QChar(0xFFFD));
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xb3\x80") << QString::fromUtf8("\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << QString(4, QChar(0xFFFD));
        QTest::newRow("U+10080, a pair") << QByteArray("\xf0\x90\x82\x80") << QString::fromUtf8("\xf0\x90\x82\x80");
    }
    void names_kept_byte_for_byte()
    {
        QFETCH(QByteArray, bytes);
        const QString text = Paths::name_text(bytes);
        QCOMPARE(Paths::name_bytes(text), bytes);
        QTEST(Paths::shown_name(text), "shown");
    }
    // Start-up takes the data folder where it lies: a link there, made when the machine was set up,
    // is followed this once, and start-up, the writer and the readers all work in its target from
    // then on, whatever the link says later. Only the safe writer's leftovers go, links among them
    // removed and not followed; nothing beside the target is touched. A link that leads nowhere
    // stops the saving, said once.
    void start_takes_the_data_folder_data()
    {
        columns<QString>({"data"});
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a link to a folder") << "link";
        QTest::newRow("a link that leads nowhere") << "dangling";
    }
    void start_takes_the_data_folder()
    {
        QFETCH(QString, data);
        const QString root = Paths::data_root(), outside = root + "-outside", other = outside + "/other";
        const QString target = data == "folder" ? root + "/data" : outside + "/real";
        QVERIFY(QDir(root + "/data").removeRecursively() && QDir().mkpath(target) && QDir().mkpath(other));
        if (data != "folder")
            QVERIFY(QFile::link(data == "link" ? target : outside + "/none", root + "/data"));
        const QString left = Utils::temporary_name();
        for (const QString &file : {target + '/' + left, target + "/rcvrecovery/" + Utils::temporary_name(),
                                    target + "/smartmapping/maps/" + Utils::temporary_name(), other + '/' + left})
            write_file(file, "torn");
        QVERIFY(QFile::link(other + '/' + left, target + '/' + Utils::temporary_name()));
        for (const char *name : {"/.x.tmp", "/.saving-ABCDEF.tmp", "/x.tmp"})
            write_file(target + name, "kept");
        const auto entries = [](const QString &dir) {
            return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        };
        Warnings warnings;
        QCOMPARE(Utils::prepare_data_root(), data != "dangling");
        QCOMPARE(warnings.count("/data: the data root cannot be written, saves wait until it can: data is a link, not a folder"),
                 data == "dangling" ? 1 : 0);
        QCOMPARE(entries(other), QStringList{left});
        if (data == "dangling") {
            QCOMPARE(entries(outside), (QStringList{"other", "real"}));
            QCOMPARE(entries(target).size(), 7);
            return;
        }
        QCOMPARE(entries(target),
                 (QStringList{".saving-ABCDEF.tmp", ".x.tmp", "configs", "modes", "rcvrecovery", "smartmapping", "x.tmp"}));
        QVERIFY(entries(target + "/rcvrecovery").isEmpty() && entries(target + "/smartmapping/maps").isEmpty());
        if (data == "link")
            QVERIFY(QFile::remove(root + "/data") && QFile::link(other, root + "/data"));
        QVERIFY(Utils::write_file_atomic(Paths::dev("/data/configs/a"), "saved"));
        QCOMPARE(Utils::read_file_capped(Paths::dev("/data/configs/a"), 10).bytes, QByteArray("saved"));
        QCOMPARE(read_file(target + "/configs/a"), QByteArray("saved"));
        QCOMPARE(entries(other), QStringList{left});
        QCOMPARE(warnings.lines(), QStringList());
    }
    // A data root that takes no write at start is said so once, full or refusing, and the saves
    // made meanwhile wait: once there is room, or the root can be written, they are on the disk
    // with nothing asked again.
    void an_unwritable_root_keeps_the_saves_data()
    {
        columns<int, QString>({"refused", "said"});
        QTest::newRow("full") << ENOSPC << "the data root is full, saves wait for room: No space left on device";
        QTest::newRow("over quota") << EDQUOT << "the data root is full, saves wait for room: Disk quota exceeded";
        QTest::newRow("read-only")
            << EROFS << "the data root cannot be written, saves wait until it can: Read-only file system";
        QTest::newRow("a link to nowhere as its data")
            << 0 << "the data root cannot be written, saves wait until it can: data is a link, not a folder";
    }
    void an_unwritable_root_keeps_the_saves()
    {
        QFETCH(int, refused);
        QFETCH(QString, said);
        const QString data = Paths::dev("/data"), mode = "/data/modes/custom_mode3";
        if (refused == 0)
            QVERIFY(QDir(data).removeRecursively() && QFile::link(data + "-none", data));
        static std::atomic<int> refusing;
        refusing = refused;
        FileWriter::disk_error_hook = [](const QString &) { return refusing.load(); };
        const auto unhook = qScopeGuard([] { FileWriter::disk_error_hook = nullptr; });
        RetryEvery retry(3600 * 1000);   // a retry comes only through finish()
        Warnings warnings;
        QVERIFY(!Utils::prepare_data_root());
        QCOMPARE(warnings.lines().value(0), "zemK58N: " + data + ": " + said);
        QList<bool> told;
        QMutex told_mutex;
        FileWriter::write(mode, "saved", [&](bool ok) {
            QMutexLocker lock(&told_mutex);
            told << ok;
        });
        FileWriter::finish();
        QVERIFY(!QFileInfo::exists(Paths::dev(mode)));
        refusing = 0;
        if (refused == 0)
            QVERIFY(QFile::remove(data) && QDir().mkpath(data));
        FileWriter::finish();
        QCOMPARE(read_file(Paths::dev(mode)), QByteArray("saved"));
        QMutexLocker lock(&told_mutex);
        QCOMPARE(told, (QList<bool>{false, true}));
        QCOMPARE(warnings.count(said), 1);
    }
    // The commands' record is a regular file of its own in the root or nothing: whatever else
    // holds its name loses the lines, said once, is not even opened, and neither holds the runner
    // nor leads a line out of the root. Whatever takes the name after an append looked at it is
    // not opened either: the line goes to the file looked at (moved aside), or nowhere.
    void shell_log_only_a_file_data()
    {
        // opens: of what the name holds; log: what it holds in the end, "none" when no regular
        // file; looked: what the file looked at holds, moved aside.
        columns<QString, QString, QString, int, QByteArray, QByteArray>({"place", "swap", "said", "opens", "log", "looked"});
        const QByteArray none = "none", sync = "before\nsync\n";
        QTest::newRow("a regular file") << "file" << "" << "" << 2 << QByteArray("before\nsync\nreboot\n") << QByteArray();
        QTest::newRow("a FIFO") << "fifo" << "" << "not a regular file" << 0 << none << QByteArray();
        QTest::newRow("a FIFO with a reader") << "read fifo" << "" << "not a regular file" << 0 << none << QByteArray();
        QTest::newRow("a link to an outside file") << "link" << "" << "a link, not a file" << 0 << none << QByteArray();
        QTest::newRow("a hard link to an outside file")
            << "hard link" << "" << "a hard link, not a file of its own" << 0 << QByteArray("outside\n") << QByteArray();
        QTest::newRow("a link to nowhere") << "dangling" << "" << "a link, not a file" << 0 << none << QByteArray();
        QTest::newRow("a folder") << "folder" << "" << "Is a directory" << 0 << none << QByteArray();
        QTest::newRow("a file under a lease") << "leased file" << ""
            << "Resource temporarily unavailable" << 0 << QByteArray("before\n") << QByteArray();
        QTest::newRow("a file it may not write") << "read-only file" << "" << "Permission denied" << 0
                                                 << QByteArray("before\n") << QByteArray();
        QTest::newRow("a link after the look") << "file" << "link" << "a link, not a file" << 0 << none << sync;
        QTest::newRow("a hard link after the look")
            << "file" << "hard link" << "a hard link, not a file of its own" << 0 << QByteArray("outside\n") << sync;
        QTest::newRow("a FIFO with a reader after the look") << "file" << "read fifo" << "not a regular file" << 0 << none << sync;
        QTest::newRow("a socket after the look") << "file" << "socket" << "not a regular file" << 0 << none << sync;
        QTest::newRow("a second name after the look")
            << "file" << "second name" << "a hard link, not a file of its own" << 1 << QByteArray("before\n") << QByteArray("before\n");
        QTest::newRow("a FIFO with a reader where none was at the look")
            << "" << "read fifo" << "not a regular file" << 0 << none << QByteArray();
    }
    void shell_log_only_a_file()
    {
        QFETCH(QString, place);
        QFETCH(QString, swap);
        QFETCH(QString, said);
        QFETCH(int, opens);
        QFETCH(QByteArray, log);
        QFETCH(QByteArray, looked);
        const QString name = Paths::dev("/shell.log"), outside = Paths::data_root() + "-outside/log";
        const QByteArray name8 = QFile::encodeName(name);
        write_file(outside, "outside\n");
        int reader = -1, leased = -1;
        if (place.endsWith("file"))
            write_file(name, "before\n");
        else if (!place.isEmpty())
            QVERIFY(put_in_place(place, name, outside, &reader));
        if (place == "read-only file")
            QVERIFY(QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        // The holder of a lease is told of an open that breaks it, by a signal that would end it.
        const auto sigio = std::signal(SIGIO, SIG_IGN);
        const auto unhook = qScopeGuard([&] {
            Folder::looked_hook = nullptr;
            std::signal(SIGIO, sigio);
            if (leased >= 0)
                ::close(leased);
        });
        if (place == "leased file")
            QCOMPARE(::fcntl(leased = ::open(name8.constData(), O_RDONLY | O_CLOEXEC), F_SETLEASE, F_RDLCK), 0);
        AfterLook::log = name;
        AfterLook::outside = outside;
        AfterLook::what = swap;
        AfterLook::done = false;
        AfterLook::held = -1;
        if (!swap.isEmpty())
            Folder::looked_hook = &AfterLook::swap;
        FileChanges opened(name, FileChanges::Opens);
        Warnings warnings;
        auto run = std::async(std::launch::async, [read_only = place == "read-only file"] {
            if (read_only && !write_as_the_mode_says())
                return -1;
            return Utils::system_mutex("sync") + Utils::system_mutex("reboot");
        });
        // A bound for a hang, no time the test waits out: a reader, held until the runner is
        // through, lets a stuck open and the ones after it through.
        const bool done = run.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
        if (!done && reader < 0 && AfterLook::held < 0)
            reader = ::open(name8.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        run.wait();
        if (reader < 0)
            reader = AfterLook::held.exchange(-1);
        char got[64];
        const ssize_t in_fifo = reader >= 0 ? ::read(reader, got, sizeof got) : -1;
        if (reader >= 0)
            ::close(reader);
        QVERIFY2(done, "the runner waits on its record");
        QCOMPARE(run.get(), 0);
        QVERIFY2(in_fifo <= 0, "a line went into the FIFO");
        QCOMPARE(opened.count(), opens);
        QCOMPARE(warnings.lines(), said.isEmpty() ? QStringList()
                                                  : QStringList{"zemK58N: " + name + ": commands not recorded: " + said});
        QCOMPARE(read_file(outside), QByteArray("outside\n"));
        QVERIFY(!QFileInfo::exists(outside + "-none"));
        QCOMPARE(QFileInfo(name).isFile() && !QFileInfo(name).isSymLink() ? read_file(name) : QByteArray("none"), log);
        QCOMPARE(read_file(name + ".looked"), looked);
        // Once the name is free the record resumes, and a fault after that is said again.
        QVERIFY(QFile::remove(name) || QDir(name).removeRecursively());
        QCOMPARE(Utils::system_mutex("sync"), 0);
        QCOMPARE(read_file(name), QByteArray("sync\n"));
        QVERIFY(QFile::remove(name) && QDir().mkpath(name));
        QCOMPARE(Utils::system_mutex("sync"), 0);
        QCOMPARE(warnings.count(": commands not recorded: Is a directory"), place == "folder" ? 2 : 1);
    }
    // A refused record leaves no descriptor open: the look at what holds the name is closed
    // whatever it found, so a runner that meets a link or a FIFO there command after command does
    // not run out of them.
    void shell_log_refusals_keep_no_descriptor_data()
    {
        columns<QString>({"place"});
        for (const char *place : {"link", "dangling", "fifo", "read fifo", "socket", "folder", "hard link", "read-only file",
                                  "file"})
            QTest::newRow(place) << QString(place);
    }
    void shell_log_refusals_keep_no_descriptor()
    {
        QFETCH(QString, place);
        const QString name = Paths::dev("/shell.log"), outside = Paths::data_root() + "-outside/log";
        write_file(outside, "outside\n");
        int reader = -1;
        if (place.endsWith("file"))
            write_file(name, "before\n");
        else
            QVERIFY(put_in_place(place, name, outside, &reader));
        const auto unread = qScopeGuard([&] {
            if (reader >= 0)
                ::close(reader);
        });
        if (place == "read-only file")
            QVERIFY(QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        Warnings warnings;
        int before = -1, after = -1;
        std::thread runner([&] {
            if (place == "read-only file" && !write_as_the_mode_says())
                return;
            // The first one says what it refused; the count starts after it.
            Utils::system_mutex("sync");
            before = open_descriptors();
            for (int i = 0; i < 8; ++i)
                Utils::system_mutex("sync");
            after = open_descriptors();
        });
        runner.join();
        QVERIFY(before > 0);
        QCOMPARE(after, before);
        QCOMPARE(warnings.count(": commands not recorded: "), place == "file" ? 0 : 1);
    }
    // What a test leaves in its root goes before the next one, names that are no UTF-8 included
    // (the stick's and the control link's names keep their bytes); links are removed, and what
    // they lead to out of the root stays.
    void fresh_root_removes_every_leftover()
    {
        const QString root = fresh_test_root(QStringLiteral("leftovers"));
        const QByteArray r = QFile::encodeName(root), outside = r + "-outside";
        const auto put = [](const QByteArray &path, const QByteArray &data) {
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            const bool ok = fd >= 0 && ::write(fd, data.constData(), size_t(data.size())) == data.size();
            if (fd >= 0)
                ::close(fd);
            return ok;
        };
        QDir(QFile::decodeName(outside)).removeRecursively();
        for (const QByteArray &dir : {outside, outside + "/kept", r + "/data/odd\xff", r + "/data/odd\xff/deeper\x80\xc0",
                                      r + "/mnt", r + "/mnt/usb1", r + "/mnt/usb1/.hidden\xfe"})
            QCOMPARE(::mkdir(dir.constData(), 0755), 0);
        QVERIFY(put(outside + "/kept/file", "outside"));
        for (const QByteArray &file : {r + "/data/name\xff\xfe", r + "/data/odd\xff/deeper\x80\xc0/file\xe9.rcv",
                                       r + "/mnt/usb1/.hidden\xfe/x"})
            QVERIFY(put(file, "left"));
        QCOMPARE(::symlink(outside.constData(), (r + "/data/odd\xff/out").constData()), 0);
        QCOMPARE(::symlink((outside + "/kept/file").constData(), (r + "/data/file\xff").constData()), 0);
        QCOMPARE(fresh_test_root(QStringLiteral("leftovers")), root);
        const auto entries = [](const QString &dir) {
            return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        };
        QCOMPARE(entries(root), QStringList{"data"});
        QCOMPARE(entries(root + "/data"), (QStringList{"configs", "modes"}));
        QCOMPARE(entries(root + "/data/configs") + entries(root + "/data/modes"), QStringList());
        QCOMPARE(entries(QFile::decodeName(outside)), QStringList{"kept"});
        QFile kept(QFile::decodeName(outside + "/kept/file"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("outside"));
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
