// The smart-mapping wizard's Load scan and the stick: plugged in or pulled while the list is shown,
// swapped or pulled while its file loads.
#include <QDir>

#include "smartmappingfx.h"

using namespace smartfx;

class TestSmartMappingLoadingStick : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

    // The stick plugged in (mounted) and pulled out while the list is shown: the list is built
    // again from both folders on its first page, its first row chosen; before the list has been
    // shown, the stick changes nothing on the page.
    void stick_while_listed()
    {
        scan_files({"a", "b"});
        open_wizard("r o");
        write_dev_file(QStringLiteral("/mnt/usb1/s.qyfile"), "scan");
        uitest::para()->test_signal(CHANGE_USB_MOUNTED);
        QCOMPARE(stack_page(), 4);
        act("r o");   // the list
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile* b.qyfile s.qyfile+"));
        act("b");     // back to step 1
        write_dev_file(QStringLiteral("/mnt/usb1/t.qyfile"), "scan");
        uitest::para()->test_signal(CHANGE_USB_MOUNTED);
        QCOMPARE((QList<int>{stack_page(), load_scan().step()}), (QList<int>{5, 1}));
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile* b.qyfile s.qyfile+ >"));
        QCOMPARE(tip_text(), QStringLiteral("Reading the data,pls wait"));
        act("r r r");
        QCOMPARE(list_rows(), QStringLiteral("< t.qyfile+*"));
        QDir(Paths::dev("/mnt/usb1")).removeRecursively();
        uitest::para()->test_signal(CHANGE_USB_REMOVED);
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile* b.qyfile"));
        QCOMPARE(load_scan().chosen_file(), QStringLiteral("/data/smartmapping/a.qyfile"));
        QCOMPARE(tip_text(), QStringLiteral("USB drive is unplugged."));
        // Another entry chosen: the stick leaves its page alone.
        act("b b l o");
        write_dev_file(QStringLiteral("/mnt/usb1/u.qyfile"), "scan");
        uitest::para()->test_signal(CHANGE_USB_MOUNTED);
        QCOMPARE((QList<int>{stack_page(), wizard()->main_index(), debugging().step()}), (QList<int>{0, 0, 0}));
    }
    // Another stick in the place of the one whose file is being loaded: the load ends with what
    // the cards had, the pull is told, and once the new stick is read the list holds its files,
    // not the old stick's.
    void stick_swapped_during_load()
    {
        StickWatcher watcher;
        const QByteArray big(3 * 1024 * 1024, 'q');
        write_dev_file(QStringLiteral("/mnt/usb1/big.qyfile"), big);
        write_dev_file(QStringLiteral("/mnt/usb1/old.qyfile"), "scan");
        watcher.mount();
        open_wizard("r o r o o o");   // Load scan, Next, the first file held, Load
        QCOMPARE(qyfile_name(), QStringLiteral("/mnt/usb1/big.qyfile"));
        for (int i = 0; i < 100; ++i)
            fpga_manage::p_fpga_manage->fpga_pass();
        const int loaded = SimLock()->cards[0][0].loaded_bytes;
        QVERIFY(loaded > 0);
        QVERIFY(QDir().rename(Paths::dev("/mnt/usb1"), Paths::dev("/mnt/old")));
        write_dev_file(QStringLiteral("/mnt/usb1/big.qyfile"), big);
        write_dev_file(QStringLiteral("/mnt/usb1/new.qyfile"), "scan");
        QCOMPARE(run_job().last(), 100);
        QCOMPARE(SimLock()->cards[0][0].loaded_bytes, loaded);
        watcher.look();
        QCOMPARE(tip_text(), QStringLiteral("USB drive is unplugged."));
        watcher.mount();
        QCOMPARE(tip_text(), QStringLiteral("Reading the data,pls wait"));
        QCOMPARE(list_rows(), QStringLiteral("big.qyfile+* new.qyfile+"));
    }
    // A load cut short closes its bar, but the list is read again rather than left as after a
    // whole load. A stick that went is told pulled once, whoever saw it go, and the folder in its
    // place afterwards is a stick plugged in.
    void load_cut_short_data()
    {
        // steps: most of the file sent, the stick moved away and back, another put in, a look of
        // the watcher, the job run to its end
        columns<QString, QString, QList<int>, QString, QString>({"big", "steps", "codes", "listed", "last"});
        const QString stick = "/mnt/usb1/big.qyfile";
        const QList<int> pull{101, 100, 102};
        const QString back = "a.qyfile* big.qyfile+ s.qyfile+";
        QTest::newRow("moved away and back") << stick << "send away job back" << pull << "a.qyfile*" << back;
        QTest::newRow("moved away before the load began") << stick << "away job back" << pull << "a.qyfile*" << back;
        QTest::newRow("moved away, seen by the watcher") << stick << "send away look job back" << pull << "a.qyfile*" << back;
        QTest::newRow("another stick, seen by the watcher") << stick << "send away new look look job" << pull
                                                            << "a.qyfile* big.qyfile+ n.qyfile+" << "a.qyfile* big.qyfile+ n.qyfile+";
    }
    void load_cut_short()
    {
        QFETCH(QString, big);
        const QByteArray bytes(200 * 1024, 'q');
        StickWatcher watcher;
        QList<int> codes;
        list_with_big_file(big, bytes, &watcher, &codes, this);
        const auto load_row = [](int row) {
            QTest::mouseClick(load_scan().file_list()->row_button(row), Qt::LeftButton);
            QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_load"), Qt::LeftButton);
        };
        load_row(2);   // a whole load leaves the list as it was
        run_job();
        QCOMPARE(qyfile_name(), load_scan().chosen_file());
        load_row(1);
        QCOMPARE(qyfile_name(), big);
        const QString place = Paths::dev("/mnt/usb1"), away = Paths::dev("/mnt/away");
        QFETCH(QString, steps);
        for (const QString &step : steps.split(' ')) {
            if (step == "send") {
                for (int i = 0; i < 100; ++i)
                    fpga_manage::p_fpga_manage->fpga_pass();
            } else if (step == "away" || step == "back") {
                QVERIFY(step == "away" ? QDir().rename(place, away) : QDir().rename(away, place));
            } else if (step == "new") {
                write_dev_file(QStringLiteral("/mnt/usb1/big.qyfile"), bytes);
                write_dev_file(QStringLiteral("/mnt/usb1/n.qyfile"), "scan");
            } else if (step == "look") {
                watcher.look();
            } else {
                run_job();
                QTEST(list_rows(), "listed");
            }
        }
        QVERIFY(SimLock()->cards[0][0].loaded_bytes < bytes.size());
        watcher.look();
        watcher.mount();
        watcher.look();
        QTEST(codes, "codes");
        QTEST(list_rows(), "last");
    }
};

QTEST_MAIN(TestSmartMappingLoadingStick)
#include "test_smartmapping_loading_stick.moc"
