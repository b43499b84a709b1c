// The smart-mapping wizard's Load scan: what the simulated receiving cards get of the file chosen.
#include <cstdio>

#include "smartmappingfx.h"

using namespace smartfx;

class TestSmartMappingLoadingSent : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

    // Load sends the chosen file, as it was when Load was pressed, to the receiving cards of the
    // port chosen; the list changing during the job does not change what is sent.
    void scan_file_loaded_into_the_cards()
    {
        write_dev_file(QStringLiteral("/data/smartmapping/a.qyfile"), QByteArray(1000, 'a'));
        write_dev_file(QStringLiteral("/mnt/usb1/b.qyfile"), QByteArray(2500, 'b'));
        open_wizard("r o o r o r o");   // port 1 (LED2), Next
        act("r o o");                   // the second file, Load
        QCOMPARE(int(g_send_para.job()), int(JOB_MAPPING_FILE));
        // The keys are back on the rows while the file is sent.
        QCOMPARE(load_scan().cursor_on_buttons(), false);
        QCOMPARE(uitest::look(wizard(), "Button_load"), LookState::Normal);
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile b.qyfile+*"));
        write_dev_file(QStringLiteral("/mnt/usb1/0.qyfile"), QByteArray(700, '0'));
        uitest::para()->test_signal(CHANGE_USB_MOUNTED);
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile* 0.qyfile+ b.qyfile+"));
        QCOMPARE(qyfile_name(), QStringLiteral("/mnt/usb1/b.qyfile"));
        QCOMPARE(run_job().last(), 100);
        SimLock s;
        QCOMPARE((QList<int>{s->cards[0][0].loaded_bytes, s->cards[1][0].loaded_bytes}), (QList<int>{0, 2500}));
    }
    // The file's name deleted, or given to another file, or the file grown by another writer,
    // while it loads, with the stick left in place: the file as opened reaches the cards whole,
    // none of the other file's bytes or the appended ones with it, the bar rises and closes as it
    // does for the same file left alone, the list stays as a whole load leaves it, and no pull is
    // told. The file written over, in place or emptied first as cp does: the cards get what stood
    // where the load read, and the load ends as one cut short, its bar closing short of 99 and the
    // list read again.
    void load_outlives_the_name_data()
    {
        // sent: what the second load gives the cards
        columns<QString, QString, int, bool>({"big", "change", "sent", "whole"});
        const QString stick = "/mnt/usb1/big.qyfile", device = "/data/smartmapping/big.qyfile";
        QTest::newRow("the stick's file deleted") << stick << "delete" << kBig << true;
        QTest::newRow("the device's file deleted") << device << "delete" << kBig << true;
        QTest::newRow("the stick's file replaced by another renamed over its name") << stick << "replace" << kBig << true;
        QTest::newRow("the device's file replaced by another renamed over its name") << device << "replace" << kBig << true;
        QTest::newRow("the stick's file grown") << stick << "grow" << kBig << true;
        QTest::newRow("the device's file grown") << device << "grow" << kBig << true;
        QTest::newRow("the stick's file written over in place") << stick << "over" << kBig << false;
        QTest::newRow("the device's file written over in place") << device << "over" << kBig << false;
        QTest::newRow("the stick's file emptied and written larger") << stick << "larger" << kBig << false;
        QTest::newRow("the device's file emptied and written larger") << device << "larger" << kBig << false;
        // Below what was sent: the next read finds the end.
        QTest::newRow("the stick's file emptied and written smaller") << stick << "smaller" << 99 * 1024 << false;
        QTest::newRow("the device's file emptied and written smaller") << device << "smaller" << 99 * 1024 << false;
    }
    void load_outlives_the_name()
    {
        QFETCH(QString, big);
        QFETCH(QString, change);
        const QByteArray bytes(kBig, 'q');
        StickWatcher watcher;
        QList<int> codes;
        list_with_big_file(big, bytes, &watcher, &codes, this);
        // The same file loaded twice, most of it sent before the job is run to its end: first
        // left alone, then with its name or its bytes changed in between.
        const auto load = [] {
            QTest::mouseClick(load_scan().file_list()->row_button(1), Qt::LeftButton);
            QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_load"), Qt::LeftButton);
            for (int i = 0; i < 100; ++i)
                fpga_manage::p_fpga_manage->fpga_pass();
        };
        load();
        QCOMPARE(qyfile_name(), big);
        const QList<int> alone = run_job();
        const QString rows = list_rows();
        QCOMPARE(SimLock()->cards[0][0].loaded_bytes, bytes.size());
        load();
        if (change == "delete") {
            QVERIFY(QFile::remove(Paths::dev(big)));
        } else if (change == "replace") {
            // Smaller than what was sent: a load that went by the name again would end short.
            write_dev_file(big + ".new", QByteArray(50 * 1024, 'n'));
            QCOMPARE(std::rename(Paths::dev_local8(big + ".new").constData(), Paths::dev_local8(big).constData()), 0);
        } else {
            const int length = change == "over" ? kBig : change == "larger" ? kBig + 50 * 1024 : 50 * 1024;
            const QByteArray written(length, change == "grow" ? 'g' : 'n');
            QFile writer(Paths::dev(big));
            QVERIFY(writer.open(change == "grow" ? QIODevice::Append
                                : change == "over" ? QIODevice::ReadWrite : QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(writer.write(written), qint64(written.size()));
        }
        const QList<int> shown = run_job();
        QCOMPARE(alone.last(), 100);
        QFETCH(int, sent);
        QFETCH(bool, whole);
        QCOMPARE(SimLock()->cards[0][0].loaded_bytes, bytes.size() + sent);
        // Cut short, the bar rises as far as what was sent, short of 99, and closes; the list is
        // read again, its first row chosen.
        QList<int> cut;
        const int top = std::min<qint64>(98, qint64(sent) * 99 / kBig);
        for (int pct = std::min(alone.first(), top); pct <= top; ++pct)
            cut << pct;
        QCOMPARE(shown, whole ? alone : cut << 100);
        QCOMPARE(list_rows(), whole ? rows : QString(rows).remove('#').replace("a.qyfile ", "a.qyfile* "));
        watcher.look();
        QCOMPARE(codes, QList<int>());
    }

private:
    // Short of a whole last chunk, which would take in bytes appended meanwhile.
    static constexpr int kBig = 200 * 1024 + 300;
};

QTEST_MAIN(TestSmartMappingLoadingSent)
#include "test_smartmapping_loading_sent.moc"
