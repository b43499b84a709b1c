// The smart-mapping wizard's frame: its main column in every language, the scan files it counts and
// the stick's tips.
#include "smartmappingfx.h"

using namespace smartfx;

class TestSmartMappingFrame : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

    // Left and right pass over Load scan while no scan file is known, and each entry the cursor
    // rests on shows its first page; the column's place in each language is the gallery's.
    void main_column_data()
    {
        columns<int, bool, QString, int, int, QString>({"language", "files", "keys", "index", "page", "looks"});
        QTest::newRow("zh: opened") << 0 << false << "" << 0 << 0 << "F U N N";
        QTest::newRow("zh: right passes over Load scan") << 0 << false << "r" << 2 << 6 << "N U F N";
        QTest::newRow("en: left comes back over it") << 1 << false << "rl" << 0 << 0 << "F U N N";
        QTest::newRow("ru: left wraps to the mapping switch") << 2 << false << "l" << 3 << 7 << "N U N F";
        QTest::newRow("vi: with scan files Load scan is reached") << 3 << true << "r" << 1 << 4 << "N F N N";
        QTest::newRow("tw: right wraps to the first") << 4 << true << "rrrr" << 0 << 0 << "F N N N";
        QTest::newRow("en: OK enters the flow") << 1 << true << "rro" << 2 << 6 << "N N E N";
        QTest::newRow("en: back gives the column back") << 1 << true << "rrob" << 2 << 6 << "N N F N";
    }
    void main_column()
    {
        QFETCH(int, language);
        QFETCH(bool, files);
        QFETCH(QString, keys);
        g_language = uint8_t(language);
        if (files)
            scan_files({"hall"});
        open_wizard(keys);
        QTEST(wizard()->main_index(), "index");
        QTEST(stack_page(), "page");
        QTEST(column_looks(), "looks");
        QCOMPARE(wizard()->focus_level(), keys.endsWith('o') ? 1 : 0);
    }
    // A touch shows the entry's flow but leaves the key cursor where it was.
    void touch_leaves_the_cursor()
    {
        open_wizard("r");
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_mapping"), Qt::LeftButton);
        QCOMPARE((QList<int>{wizard()->main_index(), wizard()->focus_level(), stack_page()}), (QList<int>{2, 0, 7}));
        act("o");
        QCOMPARE((QList<int>{wizard()->main_index(), wizard()->focus_level(), stack_page()}), (QList<int>{2, 1, 6}));
        QCOMPARE(uitest::look(wizard(), "Button_confirm"), LookState::Focus);
        act("b");   // the button the keys leave loses its focus
        QCOMPARE((QList<int>{wizard()->focus_level(), int(uitest::look(wizard(), "Button_confirm"))}),
                 (QList<int>{0, int(LookState::Normal)}));
    }
    // Counted as files of any name in the device's folder, as many as there are; without any
    // there, the stick's scan files.
    void scan_files_counted_data()
    {
        columns<int, int, int, int>({"device", "stick", "count", "right"});
        QTest::newRow("none") << 0 << 0 << 0 << 2;
        QTest::newRow("on the stick only") << 0 << 2 << 2 << 1;
        QTest::newRow("256 in the device's folder") << 256 << 0 << 256 << 1;
    }
    void scan_files_counted()
    {
        QFETCH(int, device);
        QFETCH(int, stick);
        for (int i = 0; i < device; ++i)
            write_dev_file(QStringLiteral("/data/smartmapping/f%1.bin").arg(i), "x");
        for (int i = 0; i < stick; ++i)
            write_dev_file(QStringLiteral("/mnt/usb1/s%1.qyfile").arg(i), "x");
        write_dev_file(QStringLiteral("/mnt/usb1/notes.txt"), "x");
        open_wizard("r");
        QTEST(wizard()->scan_file_count(), "count");
        QTEST(wizard()->main_index(), "right");
    }
    // The stick's codes reach the wizard's own refresh, which shows their tips; an ordinary change
    // shows none.
    void stick_tips_data()
    {
        columns<int, QString>({"code", "tip"});
        QTest::newRow("inserted") << int(CHANGE_USB_INSERTED) << "USB driver is connected,please wait...";
        QTest::newRow("removed") << int(CHANGE_USB_REMOVED) << "USB drive is unplugged.";
        QTest::newRow("mounted") << int(CHANGE_USB_MOUNTED) << "Reading the data,pls wait";
        QTest::newRow("a parameter") << int(CHANGE_PARA) << "";
    }
    void stick_tips()
    {
        QFETCH(int, code);
        open_wizard();
        uitest::para()->test_signal(code);
        QTEST(tip_text(), "tip");
        QCOMPARE(int(g_page_focus), int(PAGE_SMARTMAPPING));
    }
};

QTEST_MAIN(TestSmartMappingFrame)
#include "test_smartmapping_frame.moc"
