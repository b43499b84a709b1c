#include <QtTest>

#include <QDir>
#include <QFileInfo>
#include <thread>

#include "../fpga/devicefixture.h"
#include "k58_wifi_config.h"
#include "message_deal.h"
#include "usbserver.h"

namespace {

QStringList g_hook_calls;

void record_language(uint8_t page)
{
    g_hook_calls << QStringLiteral("lang %1").arg(page);
}

void record_back(uint8_t page)
{
    g_hook_calls << QStringLiteral("back %1").arg(page);
}

const QString kHostapdStop = QStringLiteral("kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`");
const QString kUdhcpdStop = QStringLiteral("kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`");

// Runs `work` on a thread of its own, as a link thread would, and returns its result.
template <class F>
int on_link_thread(F work)
{
    int result = -1;
    std::thread t([&] { result = work(); });
    t.join();
    return result;
}

}

class TestLink : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        fresh_devices(QTest::currentTestFunction());
        fpga_manage::create_for_test();
        g_hook_calls.clear();
        UiHooks::page_language_changed = record_language;
        UiHooks::page_back = record_back;
        g_wifi_reset_flag = 0;
    }
    void cleanup()
    {
        K58_WIFI_CONFIG::destroy_for_test();
        fpga_manage::destroy_for_test();
    }

    void wifi_restart_sequence();
    void wifi_restart_waits_while_access_point_off();
    void shell_commands_are_only_recorded();
    void file_hooks_data();
    void file_hooks();
    void refused_paths_data();
    void refused_paths();
    void usb_stick_codes();
    void usb_mounted_page_rechecked();
};

void TestLink::wifi_restart_sequence()
{
    ZemRamPara::p_zemrampara_config->RAM_PARA[Ram::kWifiOff] = 0;
    K58_WIFI_CONFIG *wifi = K58_WIFI_CONFIG::create_for_test();
    for (int i = 0; i < 4; ++i) {
        advance(100);
        wifi->wifi_pass();
    }
    QCOMPARE(wifi->ap_step(), K58_WIFI_CONFIG::kApUp);
    const QStringList startup = shell_log();
    QCOMPARE(startup.size(), 3);
    QVERIFY(startup[0].startsWith(QLatin1String("ifconfig wlan0 ")));
    QVERIFY(startup[1].contains(QLatin1String("udhcpd")));
    QVERIFY(startup[2].contains(QLatin1String("hostapd")));

    wifi->set_wifi_reset_flag();
    QCOMPARE(int(g_wifi_reset_flag), 1);
    advance(299);
    wifi->wifi_pass();
    QCOMPARE(shell_log().size(), 3);
    advance(1);
    wifi->wifi_pass();
    QCOMPARE(shell_log().mid(3), (QStringList{kHostapdStop, kUdhcpdStop}));
    QCOMPARE(int(g_wifi_reset_flag), 2);

    advance(299);
    wifi->wifi_pass();
    QCOMPARE(int(g_wifi_reset_flag), 2);
    advance(1);
    wifi->wifi_pass();
    QCOMPARE(int(g_wifi_reset_flag), 0);
    QCOMPARE(wifi->ap_step(), 0);

    // Up again one step a second.
    for (int i = 0; i < 3; ++i) {
        advance(99);
        wifi->wifi_pass();
        QCOMPARE(wifi->ap_step(), i);
        advance(1);
        wifi->wifi_pass();
        QCOMPARE(wifi->ap_step(), i + 1);
    }
    QCOMPARE(shell_log().mid(5), startup);
}

void TestLink::wifi_restart_waits_while_access_point_off()
{
    ZemRamPara::p_zemrampara_config->RAM_PARA[Ram::kWifiOff] = 1;
    K58_WIFI_CONFIG *wifi = K58_WIFI_CONFIG::create_for_test();
    advance(500);
    wifi->wifi_pass();
    QVERIFY(shell_log().isEmpty());

    wifi->set_wifi_reset_flag();
    for (int i = 0; i < 3; ++i) {
        advance(300);
        wifi->wifi_pass();
    }
    QCOMPARE(shell_log(), (QStringList{kHostapdStop, kUdhcpdStop}));
    QCOMPARE(int(g_wifi_reset_flag), 2);

    ZemRamPara::p_zemrampara_config->RAM_PARA[Ram::kWifiOff] = 0;
    advance(300);
    wifi->wifi_pass();
    QCOMPARE(int(g_wifi_reset_flag), 0);
}

void TestLink::shell_commands_are_only_recorded()
{
    const QString marker = Paths::data_root() + QStringLiteral("/ran");
    QCOMPARE(Utils::system_mutex(QStringLiteral("touch ") + marker), 0);
    ZemRamPara::p_zemrampara_config->RAM_PARA[Ram::kWifiOff] = 0;
    K58_WIFI_CONFIG *wifi = K58_WIFI_CONFIG::create_for_test();
    wifi->set_wifi_reset_flag();
    advance(300);
    wifi->wifi_pass();
    QVERIFY(!QFileInfo::exists(marker));
    QCOMPARE(shell_log().size(), 3);
    QCOMPARE(shell_log().first(), QStringLiteral("touch ") + marker);
}

void TestLink::file_hooks_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("page");          // page while the link thread works
    QTest::addColumn<int>("page_at_run");   // page when the GUI thread gets to it
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("list_emptied");
    const QString rcv = QStringLiteral("/data/rcvrecovery/card1.rcv");
    const QString map = QStringLiteral("/data/smartmapping/screen.qyfile");
    QTest::newRow("recovery file on the advanced menu") << true << rcv << 12 << 12 << QStringList{"lang 12"} << false;
    QTest::newRow("recovery file, menu left meanwhile") << true << rcv << 12 << 5 << QStringList{} << false;
    QTest::newRow("recovery file elsewhere") << true << rcv << 24 << 24 << QStringList{} << false;
    QTest::newRow("mapping file leaves the wizard") << true << map << 24 << 24 << QStringList{"back 24"} << false;
    QTest::newRow("mapping file, wizard left meanwhile") << true << map << 24 << 5 << QStringList{} << false;
    QTest::newRow("other file on the wizard") << true << QStringLiteral("/data/configs/omenu.json") << 24 << 24
                                              << QStringList{} << false;
    QTest::newRow("mapping deleted on the Setting menu") << false << map << 5 << 5 << QStringList{"lang 5"} << false;
    QTest::newRow("mapping deleted on the wizard") << false << map << 24 << 24 << QStringList{"back 24"} << false;
    QTest::newRow("recovery folder emptied on the menu") << false << QStringLiteral("/data/rcvrecovery") << 12 << 12
                                                         << QStringList{"lang 12"} << true;
    QTest::newRow("recovery file deleted elsewhere") << false << rcv << 3 << 3 << QStringList{} << true;
    QTest::newRow("any file deleted on the wizard") << false << QStringLiteral("/data/configs/omenu.json") << 24 << 24
                                                    << QStringList{"back 24"} << false;
}

void TestLink::file_hooks()
{
    QFETCH(bool, write);
    QFETCH(QString, path);
    QFETCH(int, page);
    QFETCH(int, page_at_run);
    QFETCH(QStringList, calls);
    QFETCH(bool, list_emptied);
    write_dev_file(QStringLiteral("/data/rcvrecovery/card1.rcv"), "old");
    write_dev_file(QStringLiteral("/data/rcvrecovery/card2.rcv"), "old");
    write_dev_file(QStringLiteral("/data/smartmapping/screen.qyfile"), "old");
    write_dev_file(QStringLiteral("/data/configs/omenu.json"), "old");
    rcvRecovery *reader = fpga_manage::p_fpga_manage->rcv_recovery;
    reader->get_dir_file(QStringLiteral("/data/rcvrecovery"));
    QSignalSpy spy(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para);

    g_page_focus = uint8_t(page);
    const int result = on_link_thread([&] {
        return write ? message_deal::write_file_end(path, QByteArray("new content"))
                     : message_deal::delete_file_name(path);
    });
    QCOMPARE(result, 0);
    QVERIFY(g_hook_calls.isEmpty());   // nothing reached a screen from the link thread
    g_page_focus = uint8_t(page_at_run);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(g_hook_calls, calls);

    if (write) {
        QCOMPARE(read_dev_file(path), QByteArray("new content"));
        QCOMPARE(codes(spy), (QList<int>{103}));
    } else {
        QVERIFY(!QFileInfo::exists(Paths::dev(path)) || QFileInfo(Paths::dev(path)).isDir());
        QVERIFY(spy.isEmpty());
    }
    if (path == QLatin1String("/data/rcvrecovery")) {
        QVERIFY(QFileInfo(Paths::dev(path)).isDir());
        QVERIFY(QDir(Paths::dev(path)).entryList(QDir::Files).isEmpty());
    }
    QCOMPARE(reader->file_count() == 0, list_emptied);
}

void TestLink::refused_paths_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("outside the data folders") << QStringLiteral("/etc/passwd");
    QTest::newRow("climbing out") << QStringLiteral("/data/../etc/x");
    QTest::newRow("relative") << QStringLiteral("data/x");
    QTest::newRow("empty") << QString();
}

void TestLink::refused_paths()
{
    QFETCH(QString, path);
    write_dev_file(QStringLiteral("/etc/x"), "keep");
    write_dev_file(QStringLiteral("/etc/passwd"), "keep");
    g_page_focus = 24;
    QCOMPARE(message_deal::write_file_end(path, "evil"), 255);
    QCOMPARE(message_deal::delete_file_name(path), 255);
    QCOMPARE(read_dev_file(QStringLiteral("/etc/x")), QByteArray("keep"));
    QCOMPARE(read_dev_file(QStringLiteral("/etc/passwd")), QByteArray("keep"));
    QVERIFY(g_hook_calls.isEmpty());
    // Deleting what is not there reports the failure and leaves the screens alone.
    QCOMPARE(message_deal::delete_file_name(QStringLiteral("/data/smartmapping/none")), 255);
    QVERIFY(g_hook_calls.isEmpty());
}

void TestLink::usb_stick_codes()
{
    UsbServer usb;
    QSignalSpy spy(&usb, &UsbServer::sig_usb_update);
    g_delay_usbserver = 0;
    usb.poll();
    QVERIFY(spy.isEmpty());

    QDir().mkpath(Paths::dev(QStringLiteral("/mnt/usb1")));
    usb.poll();
    QCOMPARE(codes(spy), (QList<int>{100}));
    advance(299);
    usb.poll();
    advance(1);
    usb.poll();   // still in the listener's hold-off
    QCOMPARE(codes(spy), (QList<int>{100}));
    g_delay_usbserver = 1;
    usb.poll();
    usb.poll();
    QCOMPARE(codes(spy), (QList<int>{100, 102}));

    QDir(Paths::dev(QStringLiteral("/mnt/usb1"))).removeRecursively();
    usb.poll();
    usb.poll();
    QCOMPARE(codes(spy), (QList<int>{100, 102, 101}));

    QDir().mkpath(Paths::dev(QStringLiteral("/mnt/usb1")));
    usb.poll();
    advance(150);
    QDir(Paths::dev(QStringLiteral("/mnt/usb1"))).removeRecursively();
    usb.poll();
    advance(300);
    usb.poll();
    QCOMPARE(codes(spy), (QList<int>{100, 102, 101, 100, 101}));
    QVERIFY(g_hook_calls.isEmpty());
}

void TestLink::usb_mounted_page_rechecked()
{
    UsbServer usb;
    QSignalSpy spy(&usb, &UsbServer::sig_usb_update);
    QDir().mkpath(Paths::dev(QStringLiteral("/mnt/usb1")));
    usb.poll();
    advance(300);
    g_page_focus = 5;
    on_link_thread([&] {
        usb.poll();
        return 0;
    });
    g_page_focus = 16;   // the user went on before the GUI thread got to it
    QCoreApplication::sendPostedEvents();
    QVERIFY(g_hook_calls.isEmpty());
    QCOMPARE(codes(spy), (QList<int>{100, 102}));

    QDir(Paths::dev(QStringLiteral("/mnt/usb1"))).removeRecursively();
    usb.poll();
    QDir().mkpath(Paths::dev(QStringLiteral("/mnt/usb1")));
    usb.poll();
    advance(300);
    g_page_focus = 5;
    on_link_thread([&] {
        usb.poll();
        return 0;
    });
    QCoreApplication::sendPostedEvents();
    QCOMPARE(g_hook_calls, QStringList{QStringLiteral("back 5")});
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
