// The files the screens list from the device's folders and the stick: a link in a folder's place
// is no folder to any of them, and a scan file named in bytes that are not UTF-8 is listed, shown
// with U+FFFD, and chosen by the bytes of its name.
#include <fcntl.h>
#include <unistd.h>

#include "mainfixture.h"
#include "scanfiles.h"

using namespace mainfx;

namespace {
// Removed by the test itself, where made or moved aside: Qt cannot name them to remove the root.
QList<QByteArray> g_raw;
// A file named in raw bytes below the data root.
bool make_raw(const char *device_dir, const QByteArray &name, const QByteArray &content)
{
    QDir().mkpath(Paths::dev(QLatin1String(device_dir)));
    const QByteArray dir = QFile::encodeName(Paths::dev(QLatin1String(device_dir))), path = dir + '/' + name;
    g_raw << path << dir + "-real/" + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool ok = fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && ok;
}
// The folder moves aside and a link to `to` takes its place.
bool link_instead(const char *device_dir, const char *to)
{
    const QString dir = Paths::dev(QLatin1String(device_dir));
    return QDir().rename(dir, dir + "-real") && QFile::link(Paths::dev(QLatin1String(to)), dir);
}
}

class TestStickFiles : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh(); }
    void cleanup()
    {
        uitest::close_all();
        for (const QByteArray &path : g_raw)
            ::unlink(path.constData());
        g_raw.clear();
    }
    // shown: the names listed, "+" after the stick's; none is refused by the load's own check.
    void scan_files_data()
    {
        columns<QString, QByteArray, QString>({"linked", "raw", "shown"});
        const QString unknown = QString::fromUtf8("\xef\xbf\xbd");
        QTest::newRow("folders as they are") << "" << QByteArray("b\xe9") << "a.qyfile b" + unknown + ".qyfile s.qyfile+";
        QTest::newRow("mapping folder a link") << "/data/smartmapping" << QByteArray("b\xe9") << "s.qyfile+";
        QTest::newRow("stick a link") << "/mnt/usb1" << QByteArray("b\xe9") << "a.qyfile b" + unknown + ".qyfile";
        // The euro sign in four bytes, as UTF-8 never writes it: four bytes kept, none a character.
        QTest::newRow("an overlong four-byte form") << "" << QByteArray("b\xf0\x82\x82\xac")
                                                   << "a.qyfile b" + unknown.repeated(4) + ".qyfile s.qyfile+";
    }
    void scan_files()
    {
        QFETCH(QString, linked);
        QFETCH(QByteArray, raw);
        write_dev_file("/data/smartmapping/a.qyfile", "a");
        QVERIFY(make_raw("/data/smartmapping", raw + ".qyfile", "b"));
        write_dev_file("/mnt/usb1/s.qyfile", "s");
        write_dev_file("/etc/e.qyfile", "from elsewhere");
        if (!linked.isEmpty())
            QVERIFY(link_instead(qPrintable(linked), "/etc"));
        const ScanFiles::List list = ScanFiles::gather();
        QStringList shown;
        for (int i = 0; i < list.total(); ++i) {
            QVERIFY2(ScanFiles::loadable(list.paths[i]), qPrintable(list.paths[i]));
            shown << ScanFiles::display_name(list.paths[i]) + (list.on_stick(i) ? "+" : "");
        }
        QTEST(shown.join(' '), "shown");
        QVERIFY(!ScanFiles::loadable("/data/smartmapping/e.qyfile") && !ScanFiles::loadable("/mnt/usb1/e.qyfile"));
    }
    // The upgrade screen: a link in the stick's place is no stick, a link on the stick no upgrade
    // file, and a name is shown as it is.
    void upgrade_files_on_the_stick()
    {
        const auto shown = [] {
            return uitest::text(g_firmware_usbgrade, "label_state") + '|' + uitest::text(g_firmware_usbgrade, "label_info");
        };
        write_dev_file("/etc/app.ZEM", "x");
        write_dev_file("/mnt/usb1/<b>k58.ZEMZK", "x");
        QVERIFY(make_raw("/mnt/usb1", "\xff.ZEM", "x"));
        QVERIFY(QFile::link(Paths::dev("/etc/app.ZEM"), Paths::dev("/mnt/usb1/linked.ZEM")));
        open_option("rrrolo");
        QCOMPARE(shown(), QString::fromUtf8("Upgrade files:|<b>k58.ZEMZK\n\xef\xbf\xbd.ZEM"));
        QCOMPARE(g_firmware_usbgrade->findChild<QLabel *>("label_info")->textFormat(), Qt::PlainText);
        QVERIFY(link_instead("/mnt/usb1", "/etc"));
        uitest::para()->test_signal(CHANGE_USB_MOUNTED);
        QCOMPARE(shown(), QStringLiteral("No USB drive|"));
    }
};

QTEST_MAIN(TestStickFiles)
#include "test_stickfiles.moc"
