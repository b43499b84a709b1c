// Core's path code as the device build compiles it: the loader starts the program without --root,
// and the files it then reads and writes are the device's own.
#include <QtTest>

#include "paths.h"

class TestDevicePaths : public QObject
{
    Q_OBJECT
private slots:
    void default_root_is_the_device_root()
    {
        QCOMPARE(Paths::data_root(), QStringLiteral("/"));
        QCOMPARE(Paths::dev(QStringLiteral("/data/ram_device_info")), QStringLiteral("/data/ram_device_info"));
        QCOMPARE(Paths::dev(QStringLiteral("/mnt/usb1/")), QStringLiteral("/mnt/usb1/"));
        QCOMPARE(Paths::dev(QStringLiteral("relative")), QStringLiteral("relative"));
        // --root still moves everything, as it does on a PC.
        Paths::set_data_root(QStringLiteral("/tmp/zem-root/"));
        QCOMPARE(Paths::dev(QStringLiteral("/data/ram_device_info")), QStringLiteral("/tmp/zem-root/data/ram_device_info"));
    }
};

QTEST_GUILESS_MAIN(TestDevicePaths)
#include "tst_device_paths.moc"
