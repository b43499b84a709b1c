#include <QtTest>
#include <QDir>
#include <QFileInfo>
#include <thread>

#include "../fpga/devicefixture.h"
#include "k58_wifi_config.h"
#include "message_deal.h"
#include "swapfolder.h"
#include "usbserver.h"

namespace {

QStringList g_hook_calls;
// Runs `work` as a link thread would, then lets the GUI thread run what it queued while the
// page is `page_at_run`. -2 when a screen was reached from the link thread itself.
template <class F>
int on_link_thread(int page, int page_at_run, F work)
{
    int result = -1;
    g_page_focus = uint8_t(page);
    std::thread([&] { result = work(); }).join();
    if (!g_hook_calls.isEmpty())
        return -2;
    g_page_focus = uint8_t(page_at_run);
    QCoreApplication::sendPostedEvents();
    return result;
}
// The stick folder appears or vanishes, then the listener looks.
void plug(UsbServer &usb, bool in)
{
    const QString dir = Paths::dev(QStringLiteral("/mnt/usb1"));
    QVERIFY(in ? QDir().mkpath(dir) : QDir(dir).removeRecursively());
    usb.poll();
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
        UiHooks::page_language_changed = [](uint8_t page) { g_hook_calls << QStringLiteral("lang %1").arg(page); };
        UiHooks::page_back = [](uint8_t page) { g_hook_calls << QStringLiteral("back %1").arg(page); };
    }
    void wifi_restart()
    {
        const QString marker = Paths::data_root() + QStringLiteral("/ran");
        QCOMPARE(Utils::system_mutex(QStringLiteral("touch ") + marker), 0);
        uint8_t &ap_off = ZemRamPara::p_zemrampara_config->RAM_PARA[Ram::kWifiOff];
        ap_off = 1;
        K58_WIFI_CONFIG *wifi = K58_WIFI_CONFIG::create_for_test();
        wifi->set_wifi_reset_flag();
        // A look every 300 ticks: the access point is stopped, then waits while it is switched off.
        for (const QList<int> &wait_flag : QList<QList<int>>{{299, 1}, {1, 2}, {300, 2}, {300, 2}}) {
            advance(uint32_t(wait_flag[0]));
            wifi->wifi_pass();
            QCOMPARE(int(g_wifi_reset_flag), wait_flag[1]);
        }
        QCOMPARE(shell_log().mid(1), (QStringList{"kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`",
                                                  "kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`"}));
        ap_off = 0;
        advance(300);
        wifi->wifi_pass();
        QCOMPARE(int(g_wifi_reset_flag), 0);
        for (int step = 0; step < 3; ++step) {   // up again one step a second
            advance(99);
            wifi->wifi_pass();
            QCOMPARE(wifi->ap_step(), step);
            advance(1);
            wifi->wifi_pass();
        }
        const QRegularExpression up(QStringLiteral("^ifconfig wlan0 [^\n]*\n[^\n]*udhcpd[^\n]*\n[^\n]*hostapd[^\n]*$"));
        QVERIFY(up.match(shell_log().mid(3).join(QLatin1Char('\n'))).hasMatch());
        QVERIFY(!QFileInfo::exists(marker));   // recorded, never run
    }
    void file_hooks_data()
    {
        // page: while the link thread works; page_at_run: when the GUI thread gets to it
        columns<bool, QString, int, int, QStringList>({"write", "path", "page", "page_at_run", "calls"});
        const QString rcv = QStringLiteral("/data/rcvrecovery/card1.rcv");
        const QString map = QStringLiteral("/data/smartmapping/screen.qyfile");
        const QString other = QStringLiteral("/data/configs/omenu.json");
        QTest::newRow("recovery file on the advanced menu") << true << rcv << 12 << 12 << QStringList{"lang 12"};
        QTest::newRow("recovery file, menu left meanwhile") << true << rcv << 12 << 5 << QStringList{};
        QTest::newRow("mapping file leaves the wizard") << true << map << 24 << 24 << QStringList{"back 24"};
        QTest::newRow("other file on the wizard") << true << other << 24 << 24 << QStringList{};
        QTest::newRow("mapping deleted on the Setting menu") << false << map << 5 << 5 << QStringList{"lang 5"};
        QTest::newRow("recovery folder emptied on the menu") << false << QStringLiteral("/data/rcvrecovery") << 12
                                                             << 12 << QStringList{"lang 12"};
        QTest::newRow("recovery file deleted elsewhere") << false << rcv << 3 << 3 << QStringList{};
        QTest::newRow("any file deleted on the wizard") << false << other << 24 << 24 << QStringList{"back 24"};
    }
    void file_hooks()
    {
        QFETCH(bool, write);
        QFETCH(QString, path);
        QFETCH(int, page);
        QFETCH(int, page_at_run);
        for (const char *f : {"/data/rcvrecovery/card1.rcv", "/data/rcvrecovery/card2.rcv",
                              "/data/smartmapping/screen.qyfile", "/data/configs/omenu.json"})
            write_dev_file(QString::fromLatin1(f), "old");
        rcvRecovery *reader = fpga_manage::p_fpga_manage->rcv_recovery;
        reader->get_dir_file(QStringLiteral("/data/rcvrecovery"));
        Codes spy;
        QCOMPARE(on_link_thread(page, page_at_run, [&] {
                     return write ? message_deal::write_file_end(path, "new") : message_deal::delete_file_name(path);
                 }),
                 0);
        QTEST(g_hook_calls, "calls");
        QCOMPARE(spy.all(), write ? QList<int>{103} : QList<int>{});
        QCOMPARE(read_dev_file(path), QByteArray(write ? "new" : ""));
        QVERIFY(QDir(Paths::dev(QStringLiteral("/data/rcvrecovery"))).exists());
        QCOMPARE(reader->file_count() == 0, !write && path.startsWith(QLatin1String("/data/rcvrecovery")));
    }
    // Paths as text and as links would lead them: nothing outside "/data" and "/mnt/usb1" is
    // written or deleted, no link below them is followed (a link is deleted rather than followed),
    // the stick's folder stays, and neither a NUL nor the safe writer's temporary names get in.
    void refused_paths_data()
    {
        // result: the handler's; gone: what no longer exists afterwards
        columns<bool, QString, int, QString>({"write", "path", "result", "gone"});
        const auto both = [](const char *tag, const QString &path) {
            QTest::newRow((QByteArray("write ") + tag).constData()) << true << path << 255 << "";
            QTest::newRow((QByteArray("delete ") + tag).constData()) << false << path << 255 << "";
        };
        both("outside", "/etc/x");
        both("traversal", "/data/../etc/x");
        both("traversal on the stick", "/mnt/usb1/../../etc/x");
        both("relative", "etc/x");
        both("empty", "");
        both("through a linked folder", "/data/linked/x");
        both("through a linked folder on the stick", "/mnt/usb1/linked/x");
        both("through a link inside /data", "/data/inner/keep.qyfile");
        both("with a NUL", QString("/data/smartmapping/keep.qyfile") + QChar(0) + "x");
        both("named as a temporary file", "/data/smartmapping/.saving-abc123.tmp");
        QTest::newRow("write through a linked file") << true << "/data/linkfile" << 255 << "";
        QTest::newRow("write through a link that leads nowhere") << true << "/data/dangling" << 255 << "";
        QTest::newRow("write on the stick's folder") << true << "/mnt/usb1" << 255 << "";
        QTest::newRow("delete the stick's folder") << false << "/mnt/usb1/" << 255 << "";
        QTest::newRow("delete a linked folder: the link only") << false << "/data/linked" << 0 << "/data/linked";
        QTest::newRow("delete a linked file: the link only") << false << "/data/linkfile" << 0 << "/data/linkfile";
        QTest::newRow("delete what is not there") << false << "/data/smartmapping/none" << 255 << "";
    }
    void refused_paths()
    {
        QFETCH(bool, write);
        QFETCH(QString, path);
        QFETCH(QString, gone);
        write_dev_file(QStringLiteral("/etc/x"), "keep");
        write_dev_file(QStringLiteral("/mnt/usb1/app.ZEM"), "stick");
        write_dev_file(QStringLiteral("/data/smartmapping/keep.qyfile"), "keep");
        write_dev_file(QStringLiteral("/data/smartmapping/.saving-abc123.tmp"), "torn");
        for (const auto &[link, target] : {std::pair{"/data/linked", "/etc"}, {"/mnt/usb1/linked", "/etc"},
                                           {"/data/linkfile", "/etc/x"}, {"/data/dangling", "/etc/none"},
                                           {"/data/inner", "/data/smartmapping"}})
            QVERIFY(QFile::link(Paths::dev(QLatin1String(target)), Paths::dev(QLatin1String(link))));
        g_page_focus = 24;
        Codes spy;
        QTEST(write ? message_deal::write_file_end(path, "evil") : message_deal::delete_file_name(path), "result");
        QCOMPARE(QDir(Paths::dev(QStringLiteral("/etc"))).entryList(QDir::Files), QStringList{"x"});
        QCOMPARE(read_dev_file(QStringLiteral("/etc/x")), QByteArray("keep"));
        QCOMPARE(read_dev_file(QStringLiteral("/mnt/usb1/app.ZEM")), QByteArray("stick"));
        for (const char *link : {"/data/linked", "/mnt/usb1/linked", "/data/linkfile", "/data/inner"})
            QCOMPARE(QFileInfo(Paths::dev(QLatin1String(link))).isSymLink(), gone != QLatin1String(link));
        const QDir mapping(Paths::dev(QStringLiteral("/data/smartmapping")));
        QCOMPARE(mapping.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 (QStringList{".saving-abc123.tmp", "keep.qyfile"}));
        QCOMPARE(read_dev_file(QStringLiteral("/data/smartmapping/keep.qyfile")) + read_dev_file(QStringLiteral("/data/smartmapping/.saving-abc123.tmp")),
                 QByteArray("keeptorn"));
        // A refused path reaches neither the refresh nor the screens.
        QCOMPARE(spy.size() + g_hook_calls.size(), gone.isEmpty() ? 0 : 1);
    }
    // The folder swapped for a link to "/etc" once the handler has opened it: what the handler
    // writes or deletes stays in the folder it opened, and nothing of "/etc" is touched.
    void folder_swapped_once_opened_data()
    {
        // remain: the folder's files afterwards
        columns<bool, QString, QStringList>({"write", "path", "remain"});
        QTest::newRow("write") << true << "/data/smartmapping/sub/a.qyfile" << QStringList{"a.qyfile", "b.qyfile"};
        QTest::newRow("delete a file") << false << "/data/smartmapping/sub/a.qyfile" << QStringList{"b.qyfile"};
        QTest::newRow("delete the folder's files") << false << "/data/smartmapping/sub" << QStringList{};
    }
    void folder_swapped_once_opened()
    {
        QFETCH(bool, write);
        QFETCH(QString, path);
        for (const char *file : {"/data/smartmapping/sub/a.qyfile", "/data/smartmapping/sub/b.qyfile", "/etc/a.qyfile",
                                 "/etc/b.qyfile"})
            write_dev_file(QLatin1String(file), "keep");
        const QString folder = Paths::dev(QStringLiteral("/data/smartmapping/sub"));
        int result = -1;
        {
            SwapWhenOpened swap(folder, Paths::dev(QStringLiteral("/etc")));
            result = write ? message_deal::write_file_end(path, "new") : message_deal::delete_file_name(path);
            QCOMPARE(SwapWhenOpened::swaps(), 1);
        }
        QCOMPARE(result, 0);
        const QDir opened(folder + QStringLiteral(".opened")), etc(Paths::dev(QStringLiteral("/etc")));
        QTEST(opened.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), "remain");
        QCOMPARE(read_dev_file(QStringLiteral("/data/smartmapping/sub.opened/a.qyfile")), QByteArray(write ? "new" : ""));
        QCOMPARE(etc.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 (QStringList{"a.qyfile", "b.qyfile"}));
        QCOMPARE(read_dev_file(QStringLiteral("/etc/a.qyfile")) + read_dev_file(QStringLiteral("/etc/b.qyfile")),
                 QByteArray("keepkeep"));
    }
    // Any name a folder can hold is received, the longest too; a hidden ".x.tmp" is a file like any
    // other, and the next start leaves it.
    void received_names()
    {
        const QString longest = QStringLiteral("/data/smartmapping/") + QString(255, QLatin1Char('n'));
        QCOMPARE(message_deal::write_file_end(longest, "long"), 0);
        QCOMPARE(message_deal::write_file_end(longest + QLatin1Char('n'), "x"), 255);
        QCOMPARE(message_deal::write_file_end(QStringLiteral("/data/smartmapping/.x.tmp"), "hidden"), 0);
        QVERIFY(Utils::prepare_data_root());
        QCOMPARE(read_dev_file(longest) + read_dev_file(QStringLiteral("/data/smartmapping/.x.tmp")), QByteArray("longhidden"));
        QCOMPARE(QDir(Paths::dev(QStringLiteral("/data/smartmapping"))).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
    // The protocol's delete of a folder counts neither hidden files nor the safe writer's
    // temporary ones; a folder holding only those deletes nothing.
    void folder_delete_skips_hidden_and_temporary()
    {
        for (const char *name : {"card1.rcv", ".card2.rcv.tmp", ".hidden", "card3.tmp"})
            write_dev_file(QStringLiteral("/data/rcvrecovery/") + QLatin1String(name), "x");
        QCOMPARE(message_deal::delete_file_name(QStringLiteral("/data/rcvrecovery")), 0);
        const QDir dir(Paths::dev(QStringLiteral("/data/rcvrecovery")));
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden, QDir::Name), (QStringList{".card2.rcv.tmp", ".hidden", "card3.tmp"}));
        QCOMPARE(message_deal::delete_file_name(QStringLiteral("/data/rcvrecovery")), 255);
    }
    void usb_stick()
    {
        UsbServer usb;
        Codes spy(&usb, &UsbServer::sig_usb_update);
        g_delay_usbserver = 0;   // the listener's hold-off
        // A link in the stick folder's place leads anywhere: it is no stick.
        const QString dir = Paths::dev(QStringLiteral("/mnt/usb1")), elsewhere = Paths::dev(QStringLiteral("/mnt/elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere) && QFile::link(elsewhere, dir));
        usb.poll();
        QCOMPARE(spy.all(), QList<int>{});
        QVERIFY(QFile::remove(dir));
        plug(usb, true);
        advance(300);
        usb.poll();
        QCOMPARE(spy.all(), QList<int>{100});
        g_delay_usbserver = 1;
        QCOMPARE(on_link_thread(5, 16, [&] { return usb.poll(), 0; }), 0);   // the user went on meanwhile
        plug(usb, false);
        plug(usb, true);
        advance(150);   // pulled out before it was mounted
        plug(usb, false);
        plug(usb, true);
        advance(299);
        usb.poll();
        QCOMPARE(spy.all(), (QList<int>{100, 102, 101, 100, 101, 100}));
        advance(1);
        QCOMPARE(on_link_thread(5, 5, [&] { return usb.poll(), 0; }), 0);
        QCOMPARE(spy.all().last(), 102);
        QCOMPARE(g_hook_calls, QStringList{QStringLiteral("back 5")});
        // Nor is a link one when it takes the place of the stick that was there.
        QVERIFY(QDir(dir).removeRecursively() && QFile::link(elsewhere, dir));
        usb.poll();
        usb.poll();
        QCOMPARE(spy.all().mid(7), QList<int>{101});
    }
    // Another folder in the stick's place between two looks is a stick pulled and another put in:
    // the pull is told at once, the new stick at the next look and mounted after a hold of its
    // own. Each stick is told mounted once, however often the listener looks afterwards.
    void stick_swapped_data()
    {
        // held: ticks from the insertion to the swap; before: the codes told until then
        columns<int, QList<int>>({"held", "before"});
        QTest::newRow("once mounted") << 300 << QList<int>{100, 102};
        QTest::newRow("while held") << 150 << QList<int>{100};
    }
    void stick_swapped()
    {
        QFETCH(int, held);
        QFETCH(QList<int>, before);
        UsbServer usb;
        Codes spy(&usb, &UsbServer::sig_usb_update);
        const auto looks = [&usb](int n) {
            for (int i = 0; i < n; ++i)
                usb.poll();
        };
        plug(usb, true);
        advance(uint32_t(held));
        looks(3);
        QCOMPARE(spy.all(), before);
        const QString dir = Paths::dev(QStringLiteral("/mnt/usb1"));
        QVERIFY(QDir().rename(dir, Paths::dev(QStringLiteral("/mnt/old"))) && QDir().mkpath(dir));
        usb.poll();
        QCOMPARE(spy.all().mid(before.size()), QList<int>{101});
        usb.poll();
        advance(299);
        looks(3);
        QCOMPARE(spy.all().mid(before.size()), (QList<int>{101, 100}));
        advance(1);
        looks(3);
        QCOMPARE(spy.all().mid(before.size()), (QList<int>{101, 100, 102}));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
