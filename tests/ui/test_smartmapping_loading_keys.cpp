// The smart-mapping wizard's Load scan while a file loads and around Load: the keys refused
// meanwhile, the cursor's place, and a chosen file that is no longer one.
#include "smartmappingfx.h"

using namespace smartfx;

class TestSmartMappingLoadingKeys : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

    // While the file chosen is being loaded, the keys that would leave step 2, turn its page or
    // post again are refused and leave the cursor where it was; moving within the page still works.
    void scan_keys_refused_while_loading_data()
    {
        // before: keys before Load is touched (the cursor then rests on Load); during: keys while
        // the job runs; then the step, the page of files, the row chosen and the cursor's place.
        columns<QString, QString, QList<int>, QString>({"before", "during", "state", "rows"});
        // state: stacked page, step, file page, chosen row, cursor on the buttons
        QTest::newRow("Load again") << "r r o" << "o" << QList<int>{5, 1, 0, 2, 1} << "a b c# >";
        QTest::newRow("Previous") << "r r o" << "l o" << QList<int>{5, 1, 0, 2, 1} << "a b c# >";
        QTest::newRow("back to the rows, not to step 1") << "r r o" << "b b" << QList<int>{5, 1, 0, 2, 0} << "a b c* >";
        QTest::newRow("a row is not taken") << "r r o" << "b o" << QList<int>{5, 1, 0, 2, 0} << "a b c* >";
        QTest::newRow("no paging off the last row") << "r r o" << "b r" << QList<int>{5, 1, 0, 2, 0} << "a b c* >";
        QTest::newRow("no paging off the first row") << "r r r o" << "b l" << QList<int>{5, 1, 1, 0, 0} << "< d*";
        QTest::newRow("the rows of the page still move") << "r r o" << "b l" << QList<int>{5, 1, 0, 1, 0} << "a b* c >";
        // touches: the page arrows "<" and ">", "row0" the first row
        QTest::newRow("touch on Previous") << "r r o" << "Button_front_6" << QList<int>{5, 1, 0, 2, 1} << "a b c# >";
        QTest::newRow("touch on a row") << "r r o" << "row0" << QList<int>{5, 1, 0, 2, 1} << "a b c# >";
        QTest::newRow("touch on the next page's arrow") << "r r o" << ">" << QList<int>{5, 1, 0, 2, 1} << "a b c# >";
        QTest::newRow("touch on the previous page's arrow") << "r r r o" << "<" << QList<int>{5, 1, 1, 0, 1} << "< d#";
    }
    void scan_keys_refused_while_loading()
    {
        QFETCH(QString, before);
        QFETCH(QString, during);
        QFETCH(QList<int>, state);
        scan_files({"a", "b", "c", "d"});
        open_wizard("r o r o");   // Load scan, Next: the list
        act(before);
        const QString chosen = load_scan().chosen_file();
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_load"), Qt::LeftButton);
        QVERIFY(g_qround_bar && qyfile_name() == chosen);
        const FileList *list = load_scan().file_list();
        const QMap<QString, QWidget *> touched{
            {"row0", list->row_button(0)}, {"<", list->previous_button()}, {">", list->next_button()}};
        if (touched.contains(during))
            QTest::mouseClick(touched.value(during), Qt::LeftButton);
        else
            act(during);
        QCOMPARE((QList<int>{stack_page(), load_scan().step(), load_scan().current_page(), load_scan().file_select(),
                             load_scan().cursor_on_buttons()}), state);
        QTEST(list_rows().remove(QStringLiteral(".qyfile")), "rows");
        QCOMPARE(qyfile_name(), chosen);
        QCOMPARE(run_job().last(), 100);
    }
    // Back from Previous and Load to the rows and OK again: the cursor is where it was.
    void buttons_keep_their_place()
    {
        scan_files({"a", "b"});
        open_wizard("r o r o o l b o");
        QCOMPARE((QList<int>{int(uitest::look(wizard(), "Button_front_6")), int(uitest::look(wizard(), "Button_load"))}),
                 (QList<int>{int(LookState::Focus), int(LookState::Normal)}));
        act("o");
        QCOMPARE((QList<int>{stack_page(), load_scan().step()}), (QList<int>{4, 0}));
    }
    // A chosen file that is no longer a readable file of its own is not loaded; the list is shown
    // anew without it.
    void vanished_file_not_loaded_data()
    {
        columns<QString>({"becomes"});
        QTest::newRow("pulled out") << "gone";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a link") << "link";
    }
    void vanished_file_not_loaded()
    {
        QFETCH(QString, becomes);
        scan_files({"a"});
        write_dev_file(QStringLiteral("/mnt/usb1/b.qyfile"), "scan");
        open_wizard("r o r o");
        QTest::mouseClick(load_scan().file_list()->row_button(1), Qt::LeftButton);
        const QString b = Paths::dev("/mnt/usb1/b.qyfile");
        QFile::remove(b);
        if (becomes == "folder")
            QDir().mkpath(b);
        else if (becomes == "link")
            QFile::link(Paths::dev("/data/smartmapping/a.qyfile"), b);
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_load"), Qt::LeftButton);
        QVERIFY(!g_qround_bar);
        QCOMPARE(int(g_send_para.job()), int(JOB_IDLE));
        QCOMPARE(list_rows(), QStringLiteral("a.qyfile*"));
        act("o o");   // the keys load what is there now
        QCOMPARE(int(g_send_para.job()), int(JOB_MAPPING_FILE));
        QCOMPARE(qyfile_name(), QStringLiteral("/data/smartmapping/a.qyfile"));
    }
};

QTEST_MAIN(TestSmartMappingLoadingKeys)
#include "test_smartmapping_loading_keys.moc"
