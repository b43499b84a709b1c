// The smart-mapping wizard's Load scan: the scan files listed from the device's folder and the
// stick, three to a page, and walked by keys and touches.
#include <QDir>

#include "smartmappingfx.h"

using namespace smartfx;

class TestSmartMappingLoadingList : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

    // The scan files of the device's folder, then the stick's in green, three to a page in name
    // order; the keys walk the rows across the pages both ways.
    void scan_files_listed_data()
    {
        columns<QString, QString, QString>({"keys", "rows", "chosen"});
        QTest::newRow("first page") << "" << "A.qyfile* b.qyfile g.h.qyfile >" << "/data/smartmapping/A.qyfile";
        QTest::newRow("down a row") << "r" << "A.qyfile b.qyfile* g.h.qyfile >" << "/data/smartmapping/b.qyfile";
        QTest::newRow("onto the second page") << "r r r" << "< w.qyfile+* Y.qyfile+ z.qyfile+" << "/mnt/usb1/w.qyfile";
        QTest::newRow("past the last page to the first") << "r r r r r r" << "A.qyfile* b.qyfile g.h.qyfile >"
                                                         << "/data/smartmapping/A.qyfile";
        QTest::newRow("left back onto the first page's last row") << "r r r l" << "A.qyfile b.qyfile g.h.qyfile* >"
                                                                  << "/data/smartmapping/g.h.qyfile";
        QTest::newRow("left on the very first row stays") << "l" << "A.qyfile* b.qyfile g.h.qyfile >"
                                                          << "/data/smartmapping/A.qyfile";
        QTest::newRow("OK holds the row, the cursor goes to Load") << "r o" << "A.qyfile b.qyfile# g.h.qyfile >"
                                                                   << "/data/smartmapping/b.qyfile";
        QTest::newRow("touch on the next page's arrow") << "next" << "< w.qyfile+* Y.qyfile+ z.qyfile+"
                                                        << "/mnt/usb1/w.qyfile";
        QTest::newRow("and on the previous one") << "next previous" << "A.qyfile* b.qyfile g.h.qyfile >"
                                                 << "/data/smartmapping/A.qyfile";
    }
    void scan_files_listed()
    {
        for (const char *name : {"b.qyfile", "A.qyfile", "c.QYFILE", "d.qyfile.bak", ".e.qyfile", "g.h.qyfile", "qyfile",
                                 ".f.qyfile.tmp"})
            write_dev_file(QStringLiteral("/data/smartmapping/") + name, "scan");
        QDir().mkpath(Paths::dev("/data/smartmapping/dir.qyfile"));
        write_dev_file(QStringLiteral("/data/elsewhere.qyfile"), "scan");
        QFile::link(Paths::dev("/data/elsewhere.qyfile"), Paths::dev("/data/smartmapping/l.qyfile"));
        for (const char *name : {"z.qyfile", "Y.qyfile", "x.txt", "w.qyfile"})
            write_dev_file(QStringLiteral("/mnt/usb1/") + name, "scan");
        open_wizard("r o r o");   // Load scan, Next
        QFETCH(QString, keys);
        for (const QString &word : keys.split(' ', Qt::SkipEmptyParts)) {
            if (word == "next")
                QTest::mouseClick(load_scan().file_list()->next_button(), Qt::LeftButton);
            else if (word == "previous")
                QTest::mouseClick(load_scan().file_list()->previous_button(), Qt::LeftButton);
            else
                act(word);
        }
        QTEST(list_rows(), "rows");
        QTEST(load_scan().chosen_file(), "chosen");
    }
    // No more than a hundred files are listed, the device's first.
    void scan_files_capped()
    {
        for (int i = 0; i < 80; ++i)
            write_dev_file(QStringLiteral("/data/smartmapping/i%1.qyfile").arg(i, 3, 10, QLatin1Char('0')), "s");
        for (int i = 0; i < 40; ++i)
            write_dev_file(QStringLiteral("/mnt/usb1/u%1.qyfile").arg(i, 3, 10, QLatin1Char('0')), "s");
        open_wizard("r o r o");
        act(QStringLiteral("r").repeated(99));
        QCOMPARE(list_rows(), QStringLiteral("< u019.qyfile+*"));
        act("r");
        QCOMPARE(list_rows(), QStringLiteral("i000.qyfile* i001.qyfile i002.qyfile >"));
    }
    // A chosen row beyond the rows of the page turned to is the page's last row.
    void chosen_row_kept_within_the_page()
    {
        scan_files({"a", "b", "c", "d"});
        open_wizard("r o r o r r");
        QTest::mouseClick(load_scan().file_list()->next_button(), Qt::LeftButton);
        QCOMPARE(list_rows(), QStringLiteral("< d.qyfile*"));
        QTest::mouseClick(load_scan().file_list()->row_button(0), Qt::LeftButton);
        act("b");   // from the rows: back to step 1
        QCOMPARE((QList<int>{stack_page(), load_scan().step()}), (QList<int>{4, 0}));
        QCOMPARE(load_scan().chosen_file(), QStringLiteral("/data/smartmapping/d.qyfile"));
    }
    // With no scan file the list says so, the cursor is on Previous, and Load does nothing.
    void no_scan_file()
    {
        write_dev_file(QStringLiteral("/data/smartmapping/notes.txt"), "not a scan file");
        open_wizard("r o r o");
        QCOMPARE(list_rows(), QStringLiteral("No loaded file!"));
        QCOMPARE(uitest::look(wizard(), "Button_front_6"), LookState::Focus);
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_load"), Qt::LeftButton);
        act("r o");
        QVERIFY(!g_qround_bar && g_send_para.job() == JOB_IDLE);
        act("l o");
        QCOMPARE(stack_page(), 4);
    }
};

QTEST_MAIN(TestSmartMappingLoadingList)
#include "test_smartmapping_loading_list.moc"
