// The advanced menu: the recovery entry following the recovery folder (none, empty, files, more
// than a byte counts, files arriving and deleted through the control protocol), its looks, and
// the access code of the ageing page.
#include <QDir>
#include <QPushButton>
#include <thread>

#include "fpga_manage.h"
#include "menutest.h"
#include "message_deal.h"
#include "numberkeyboard.h"
#include "paths.h"

using namespace menutest;

namespace {
const char *const kGrey = "background-color: gray;";
const char *const kOrange = "solid rgb(255,171,84)";

void make_recovery_files(int n)
{
    QDir().mkpath(Paths::dev("/data/rcvrecovery"));
    for (int i = 0; i < n; ++i)
        write_dev_file(QStringLiteral("/data/rcvrecovery/card%1.rcv").arg(i), "data");
}
}

class TestAdvancedOption : public QObject
{
    Q_OBJECT

private:
    void open_advanced()
    {
        g_page_focus = PAGE_MAINWINDOW;
        open_screen(g_option, new Option);
        press("lo");
        QVERIFY(g_advancedoption);
    }
    QString recovery_style() const { return uitest::style(g_advancedoption, "Button_rcv_recovery"); }

    // Types on the shared keyboard with its own keys: digits by moving the focus onto them.
    static void type_on_keyboard(const QString &digits)
    {
        for (QChar c : digits) {
            const int target = c == QLatin1Char('0') ? 9 : c.digitValue() - 1;
            while (g_numberkeyboard->focus_index() != target)
                uitest::key(g_numberkeyboard, Qt::Key_F5);
            uitest::key(g_numberkeyboard, Qt::Key_F6);
        }
    }
    static void keyboard_ok()
    {
        while (g_numberkeyboard->focus_index() != 13)
            uitest::key(g_numberkeyboard, Qt::Key_F5);
        uitest::key(g_numberkeyboard, Qt::Key_F6);
    }

private slots:
    void init()
    {
        uitest::fresh_ui();
        g_open_custommode = nullptr;
        fpga_manage::destroy_for_test();
        fpga_manage::create_for_test();
    }
    void cleanup()
    {
        uitest::close_all();
        fpga_manage::destroy_for_test();
    }

    void recovery_entry_data()
    {
        QTest::addColumn<int>("files");   // -1: no folder
        QTest::addColumn<bool>("withManager");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("page");    // after OK on the entry

        QTest::newRow("no folder") << -1 << true << 0 << 12;
        QTest::newRow("empty folder") << 0 << true << 0 << 12;
        QTest::newRow("one file") << 1 << true << 1 << 25;
        QTest::newRow("three files") << 3 << true << 3 << 25;
        QTest::newRow("256 files do not wrap to none") << 256 << true << 255 << 25;
        QTest::newRow("300 files") << 300 << true << 255 << 25;
        QTest::newRow("no FPGA manager") << 3 << false << 0 << 12;
    }
    void recovery_entry()
    {
        QFETCH(int, files);
        QFETCH(bool, withManager);
        if (files >= 0)
            make_recovery_files(files);
        QDir().mkpath(Paths::dev("/data/rcvrecovery/folder"));   // folders are not files
        if (!withManager)
            fpga_manage::destroy_for_test();
        open_advanced();
        QTEST(int(g_advancedoption->recovery_count()), "count");
        const bool available = g_advancedoption->recovery_count() != 0;
        QCOMPARE(recovery_style().contains(kGrey), !available);
        press("rr");
        QVERIFY(recovery_style().contains(kOrange));
        QCOMPARE(recovery_style().contains(kGrey), !available);
        press("o");
        QTEST(int(g_page_focus), "page");
        if (g_rcv_recovery)
            press("b");
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
        QCOMPARE(g_advancedoption->ui_select(), uint8_t(2));
        press("r");
        QVERIFY(!recovery_style().contains(kOrange));
        QCOMPARE(recovery_style().contains(kGrey), !available);
    }

    void touch_on_unavailable_entry_does_nothing()
    {
        open_advanced();
        QTest::mouseClick(g_advancedoption->findChild<QPushButton *>("Button_rcv_recovery"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
        QVERIFY(!g_rcv_recovery);
    }

    // The control protocol writes or deletes recovery files on a link thread; the menu on display
    // follows at once, and a menu that is not on display when the call runs is left alone.
    void files_through_the_control_protocol_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("onDisplay");

        QTest::newRow("first file arrives") << true << 0 << 1 << true;
        QTest::newRow("another file arrives") << true << 2 << 3 << true;
        QTest::newRow("files deleted") << false << 2 << 0 << true;
        QTest::newRow("arrives while the recovery screen is up") << true << 1 << 1 << false;
    }
    void files_through_the_control_protocol()
    {
        QFETCH(bool, write);
        QFETCH(int, before);
        QFETCH(bool, onDisplay);
        make_recovery_files(before);
        open_advanced();
        QCOMPARE(int(g_advancedoption->recovery_count()), before);
        if (!onDisplay)
            press("rro");
        std::thread link([write] {
            if (write)
                message_deal::write_file_end("/data/rcvrecovery/new.rcv", "data");
            else
                message_deal::delete_file_name("/data/rcvrecovery");
        });
        link.join();
        QCoreApplication::processEvents();
        QTEST(int(g_advancedoption->recovery_count()), "after");
        QCOMPARE(recovery_style().contains(kGrey), g_advancedoption->recovery_count() == 0);
    }

    void access_code_data()
    {
        QTest::addColumn<QString>("typed");   // "" leaves the asterisks
        QTest::addColumn<bool>("accepted");

        QTest::newRow("right") << "8362" << true;
        QTest::newRow("untouched") << "" << false;
        QTest::newRow("wrong") << "8361" << false;
        QTest::newRow("right with more digits") << "83620" << false;
        QTest::newRow("prefix") << "836" << false;
    }
    void access_code()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        open_advanced();
        QSignalSpy results(g_numberkeyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit);
        press("l");   // the ageing entry, last of the five
        press("o");
        QVERIFY(g_numberkeyboard->isVisible());
        QCOMPARE(g_numberkeyboard->shown(), QStringLiteral("**********"));
        type_on_keyboard(typed);
        keyboard_ok();
        QCOMPARE(results.count(), 1);
        QCOMPARE(results.at(0).at(0).toString(), typed.isEmpty() ? QStringLiteral("**********") : typed);
        QVERIFY(!g_numberkeyboard->isVisible());
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
        QCOMPARE(g_advancedoption->ui_select(), uint8_t(4));
        // The code is asked again on the next visit, whatever happened on this one.
        press("o");
        QVERIFY(g_numberkeyboard->isVisible());
        QCOMPARE(g_numberkeyboard->shown(), QStringLiteral("**********"));
        QCOMPARE(g_advancedoption->confirmString(typed.isEmpty() ? QStringLiteral("**********") : typed),
                 int(accepted));
    }

    void keyboard_title_by_language_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<uint>("valid");
        QTest::addColumn<QString>("title");
        QTest::newRow("zh-Hans") << 0 << 0x1Fu << "key";
        QTest::newRow("en") << 1 << 0x1Fu << "key";
        QTest::newRow("ru") << 2 << 0x1Fu << "Пароль";
        QTest::newRow("ru not offered") << 2 << 0x1Bu << "key";
        QTest::newRow("vi") << 3 << 0x1Fu << "key";
        QTest::newRow("zh-Hant") << 4 << 0x1Fu << "key";
    }
    void keyboard_title_by_language()
    {
        QFETCH(int, language);
        QFETCH(uint, valid);
        g_language = uint8_t(language);
        g_lcd_lang_valid = valid;
        open_advanced();
        press("lo");
        QTEST(uitest::text(g_numberkeyboard, "label"), "title");
    }

    // The keyboard's result reaches every screen connected to it; the menu takes it only when it
    // asked for the code itself.
    void code_typed_for_someone_else_is_ignored()
    {
        open_advanced();
        QCOMPARE(g_advancedoption->confirmString(QString::fromLatin1(AdvancedOption::kAccessCode)), 0);
        emit g_numberkeyboard->sendKeyBoardUIDataToLineEdit(QStringLiteral("8362"));
        // Asked, then cancelled: the request is over.
        press("lo");
        QVERIFY(g_numberkeyboard->isVisible());
        uitest::key(g_numberkeyboard, Qt::Key_PowerOff);
        QVERIFY(!g_numberkeyboard->isVisible());
        QCOMPARE(g_advancedoption->confirmString(QString::fromLatin1(AdvancedOption::kAccessCode)), 0);
        // Asked and not yet answered: taken.
        press("o");
        QCOMPARE(g_advancedoption->confirmString(QString::fromLatin1(AdvancedOption::kAccessCode)), 1);
    }
};

QTEST_MAIN(TestAdvancedOption)
#include "test_advancedoption.moc"
