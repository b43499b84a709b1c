// The Setting, communication and output menus and the USB upgrade screen: keys and touches through
// them and back, texts per language, the parent's refresh, and the USB stick as they see it.
#include <QPushButton>
#include <thread>

#include "menutest.h"
#include "usbserver.h"

using namespace menutest;

class TestMenus : public QObject
{
    Q_OBJECT

    static void touch(QWidget *screen, const char *button)
    {
        QTest::mouseClick(screen->findChild<QPushButton *>(button), Qt::LeftButton);
        uitest::flush();
    }

private slots:
    void init() { fresh(); }
    void cleanup() { uitest::close_all(); }

    void keys_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("focus");
        QTest::addColumn<QString>("open");
        QTest::newRow("left wraps to the last") << "l" << 5 << 7 << "option";
        QTest::newRow("right wraps to the first") << "rrrrrrrr" << 5 << 0 << "option";
        QTest::newRow("letters move as keys") << "RRL" << 5 << 1 << "option";
        QTest::newRow("unbuilt entry opens nothing") << "ro" << 5 << 1 << "option";
        QTest::newRow("back to the main menu") << "b" << 1 << -1 << "";
        QTest::newRow("output menu left wraps") << "ol" << 6 << 1 << "option outputset";
        QTest::newRow("output entries open nothing yet") << "oorol" << 6 << 0 << "option outputset";
        QTest::newRow("communication right wraps") << "rrrorrr" << 10 << 0 << "option linkoption";
        QTest::newRow("communication left wraps") << "rrrol" << 10 << 2 << "option linkoption";
        QTest::newRow("serial and network open nothing yet") << "rrrooro" << 10 << 1 << "option linkoption";
        QTest::newRow("upgrade ignores moves") << "rrrolorlo" << 26 << -1 << "option linkoption firmware_usbgrade";
        QTest::newRow("upgrade back") << "rrrolob" << 10 << 2 << "option linkoption";
        QTest::newRow("back keeps the focus") << "rrrob" << 5 << 3 << "option";
        QTest::newRow("advanced menu") << "lo" << 12 << 0 << "option advancedoption";
        QTest::newRow("all the way out") << "rrrolobbB" << 1 << -1 << "";
        QTest::newRow("mode from the upgrade closes the chain") << "rrrolom" << 1 << -1 << "";
        QTest::newRow("mode letter from the output menu") << "oM" << 1 << -1 << "";
        QTest::newRow("key lock drops only the mode key") << "!rrromrm" << 10 << 1 << "option linkoption";
    }
    void keys()
    {
        QFETCH(QString, sequence);
        open_option(sequence);
        QTEST(int(g_page_focus), "page");
        QTEST(top_focus(), "focus");
        QTEST(open_screens(), "open");
        const bool shortcut = !sequence.contains('!') && sequence.contains(QLatin1Char('m'), Qt::CaseInsensitive);
        QCOMPARE(g_mode_shortcut_key, uint8_t(shortcut));
    }

    void touches_open_as_ok_does()
    {
        open_option();
        touch(g_option, "link_set");
        touch(g_linkoption, "Button_usb");
        QCOMPARE(int(g_page_focus), int(PAGE_FIRMWARE_USBGRADE));
        press("bb");
        touch(g_option, "AdvanceButton");
        QVERIFY(g_advancedoption);
        press("b");
        touch(g_option, "output_set");
        QCOMPARE(open_screens(), QStringLiteral("option outputset"));
        QCOMPARE(g_option->ui_select(), uint8_t(0));   // a touch does not move the key focus
    }

    void focus_look_follows_the_keys()
    {
        auto focused = [](const char *name) { return uitest::style(g_option, name).contains("rgb(255,171,84)"); };
        open_option();
        // Before any key the first entry's look has no text colour; afterwards the looks carry it.
        QVERIFY(focused("output_set") && !uitest::style(g_option, "output_set").contains("color:rgb"));
        press("rrrrrr");
        g_option->language_changed();   // keeps the smart-mapping entry's look in step with the focus
        QVERIFY(focused("smart_mapping") && !focused("output_set"));
        press("r");
        g_option->language_changed();
        QVERIFY(!focused("smart_mapping") && focused("AdvanceButton"));
    }

    void texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<uint>("valid");
        QTest::addColumn<QString>("titles");   // Option OutputSet LinkOption AdvancedOption MachineState
        QTest::addColumn<QString>("sizeLine");
        QTest::addColumn<int>("iconWidth");   // of the advanced entry
        QTest::addColumn<QString>("keyTitle");   // of the access-code keyboard
        QTest::newRow("zh-Hans") << 0 << 0x1Fu << "设置|输出设置|通讯设置|高级设置|设备信息"
                                 << "当前设置LED屏宽高为: 1920x40000" << 55 << "key";
        QTest::newRow("ru") << 2 << 0x1Fu << "Настройки|Выход|Подключение|Доп.опции|Устройство"
                            << "Текущий размер LED (px): 1920x40000" << 70 << "Пароль";
        QTest::newRow("vi") << 3 << 0x1Fu << "Cài đặt|Thông số đầu ra|Cài đặt giao tiếp|Cài đặt nâng cao|Thiết bị"
                            << "Gợi ý: Kích thước màn hình LED hiện tại::1920x40000" << 54 << "key";
        QTest::newRow("zh-Hant") << 4 << 0x1Fu << "設置|輸出設置|通訊設置|高級設置|設備信息"
                                 << "當前設置LED屏寬高爲: 1920x40000" << 54 << "key";
        QTest::newRow("ru not offered") << 2 << 0x1Bu
                                        << "Setting|Output Seeting|Communication|Advanced Settings|Devices"
                                        << "LED Screen can be set:1920x40000" << 54 << "key";
    }
    void texts()
    {
        QFETCH(int, language);
        QFETCH(uint, valid);
        g_language = uint8_t(language);
        g_lcd_lang_valid = valid;
        open_option("o");
        QStringList shown{uitest::text(g_option, "label_title"), uitest::text(g_outputset, "label_title")};
        uitest::wr16(Ram::kLedWidth, 1920);
        uitest::wr16(Ram::kLedHeight, 40000);   // shown unsigned
        g_outputset->language_changed();   // read afresh, as when a screen comes back
        QTEST(uitest::text(g_outputset, "label_info"), "sizeLine");
        press("blllllo");
        shown << uitest::text(g_linkoption, "label_title");
        press("bllllo");
        shown << uitest::text(g_advancedoption, "label_title");
        QTEST(g_option->findChild<QPushButton *>("AdvanceButton")->iconSize().width(), "iconWidth");
        g_advancedoption->on_Button_age_clicked();
        QTEST(uitest::text(g_numberkeyboard, "label"), "keyTitle");
        open_screen(g_machinestate, new MachineState);
        shown << uitest::text(g_machinestate, "label_title");
        QTEST(shown.join('|'), "titles");
    }

    // A language change in the image refreshes the screen on display; the one beneath catches up
    // when the screen above it goes back.
    void language_change_reaches_screen_and_parent_data()
    {
        QTest::addColumn<QString>("to_child");
        QTest::addColumn<QString>("titles");   // child | parent
        QTest::newRow("output menu") << "o" << "Выход|Настройки";
        QTest::newRow("communication") << "rrro" << "Подключение|Настройки";
        QTest::newRow("advanced") << "lo" << "Доп.опции|Настройки";
        QTest::newRow("upgrade") << "rrrolo" << "Обновление через USB|Подключение";
        QTest::newRow("recovery") << "lorro" << "Самовосстановление|Доп.опции";
    }
    void language_change_reaches_screen_and_parent()
    {
        QFETCH(QString, to_child);
        make_recovery_files(1);
        open_option(to_child);
        uitest::para()->RAM_PARA[Ram::kLanguage] = 2;
        uitest::para()->test_signal(1);
        QString titles = uitest::text(screen_at(g_page_focus)->widget(), "label_title");
        press("b");
        QTEST(titles + '|' + uitest::text(screen_at(g_page_focus)->widget(), "label_title"), "titles");
    }

    // The listener decides on its own thread that the Setting menu is on display; by the time its
    // call reaches the GUI thread a sub-menu may have opened above it, which must then stay.
    void usb_stick_leaves_the_menu_only_while_on_display_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("between");
        QTest::addColumn<QString>("open");
        QTest::newRow("on display") << "" << "" << "";
        QTest::newRow("sub-menu opened meanwhile") << "" << "o" << "option outputset";
        QTest::newRow("sub-menu open all along") << "rrro" << "" << "option linkoption";
    }
    void usb_stick_leaves_the_menu_only_while_on_display()
    {
        QFETCH(QString, before);
        QFETCH(QString, between);
        open_option(before);
        g_delay_usbserver = 1;
        UsbServer usb;
        QDir().mkpath(Paths::dev("/mnt/usb1"));
        std::thread([&usb] {
            usb.poll();
            G_timeTicks += UsbServer::kMountHoldTicks + 1;
            usb.poll();
        }).join();
        press(between);
        QCoreApplication::processEvents();
        uitest::flush();
        QTEST(open_screens(), "open");
    }

    // Without a stick, then with one mounted (code 102) and unplugged again (101).
    void upgrade_screen_follows_the_stick()
    {
        auto shown = [] { return uitest::text(g_firmware_usbgrade, "label_state") + '|' +
                                 uitest::text(g_firmware_usbgrade, "label_info"); };
        open_option("rrrolo");
        for (const char *f : {"k58.ZEMZK", "app.ZEM", "notes.txt", "a.zem"})
            write_dev_file(QStringLiteral("/mnt/usb1/") + f, "x");
        uitest::para()->test_signal(1);   // an ordinary change: nothing to see
        QCOMPARE(shown(), QStringLiteral("No USB drive|"));
        uitest::para()->test_signal(102);
        QCOMPARE(shown(), QStringLiteral("Upgrade files:|app.ZEM\nk58.ZEMZK"));
        QDir(Paths::dev("/mnt/usb1")).removeRecursively();
        uitest::para()->test_signal(101);
        QCOMPARE(shown(), QStringLiteral("No USB drive|"));
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
