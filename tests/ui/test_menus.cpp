// The Setting menu and its communication and output menus: key and touch sequences through them
// and back, their texts per language, the parent's refresh on return, the mode key and the key
// lock, and the USB stick leaving the Setting menu only while it is on display.
#include <QDir>
#include <QPushButton>
#include <thread>

#include "menutest.h"
#include "fpga_manage.h"
#include "paths.h"
#include "ram_layout.h"
#include "usbserver.h"

using namespace menutest;

class TestMenus : public QObject
{
    Q_OBJECT

private:
    void open_option()
    {
        g_page_focus = PAGE_MAINWINDOW;
        open_screen(g_option, new Option);
    }

private slots:
    void init()
    {
        uitest::fresh_ui();
        g_open_custommode = nullptr;
    }
    void cleanup() { uitest::close_all(); }

    void keys_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("focus");
        QTest::addColumn<QString>("open");

        QTest::newRow("fresh") << "" << 5 << 0 << "option";
        QTest::newRow("right") << "r" << 5 << 1 << "option";
        QTest::newRow("left wraps to the last") << "l" << 5 << 7 << "option";
        QTest::newRow("right wraps to the first") << "rrrrrrrr" << 5 << 0 << "option";
        QTest::newRow("letters move as keys") << "RRL" << 5 << 1 << "option";
        QTest::newRow("unbuilt entry opens nothing") << "ro" << 5 << 1 << "option";
        QTest::newRow("back to the main menu") << "b" << 1 << -1 << "";
        QTest::newRow("USB back letter") << "B" << 1 << -1 << "";

        QTest::newRow("output menu") << "o" << 6 << 0 << "option outputset";
        QTest::newRow("output menu toggles right") << "or" << 6 << 1 << "option outputset";
        QTest::newRow("output menu toggles left") << "orl" << 6 << 0 << "option outputset";
        QTest::newRow("output menu left wraps") << "ol" << 6 << 1 << "option outputset";
        QTest::newRow("output entries open nothing yet") << "oorol" << 6 << 0 << "option outputset";
        QTest::newRow("output menu back") << "ob" << 5 << 0 << "option";

        QTest::newRow("communication menu") << "rrro" << 10 << 0 << "option linkoption";
        QTest::newRow("communication right wraps") << "rrrorrr" << 10 << 0 << "option linkoption";
        QTest::newRow("communication left wraps") << "rrrol" << 10 << 2 << "option linkoption";
        QTest::newRow("serial and network open nothing yet") << "rrrooro" << 10 << 1 << "option linkoption";
        QTest::newRow("USB upgrade") << "rrrolo" << 26 << -1 << "option linkoption firmware_usbgrade";
        QTest::newRow("USB upgrade ignores moves") << "rrrolorlo" << 26 << -1
                                                   << "option linkoption firmware_usbgrade";
        QTest::newRow("USB upgrade back") << "rrrolob" << 10 << 2 << "option linkoption";
        QTest::newRow("communication back keeps focus") << "rrrob" << 5 << 3 << "option";

        QTest::newRow("advanced menu") << "lo" << 12 << 0 << "option advancedoption";
        QTest::newRow("advanced back") << "lob" << 5 << 7 << "option";
        QTest::newRow("all the way out") << "rrrolobbb" << 1 << -1 << "";

        QTest::newRow("mode closes the menu") << "m" << 1 << -1 << "";
        QTest::newRow("mode from a sub-menu closes both") << "rrrom" << 1 << -1 << "";
        QTest::newRow("mode from the upgrade closes the chain") << "rrrolom" << 1 << -1 << "";
        QTest::newRow("mode from the output menu") << "oM" << 1 << -1 << "";
    }
    void keys()
    {
        QFETCH(QString, sequence);
        QFETCH(int, page);
        QFETCH(int, focus);
        QFETCH(QString, open);

        open_option();
        press(sequence);
        QCOMPARE(int(g_page_focus), page);
        QCOMPARE(top_focus(), focus);
        QCOMPARE(open_screens(), open);
        QCOMPARE(g_mode_shortcut_key, uint8_t(sequence.contains(QLatin1Char('m'), Qt::CaseInsensitive)));
    }

    void touches_open_as_ok_does()
    {
        open_option();
        QTest::mouseClick(g_option->findChild<QPushButton *>("link_set"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), int(PAGE_LINKOPTION));
        QTest::mouseClick(g_linkoption->findChild<QPushButton *>("Button_usb"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), int(PAGE_FIRMWARE_USBGRADE));
        press("bb");
        QTest::mouseClick(g_option->findChild<QPushButton *>("AdvanceButton"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), int(PAGE_ADVANCEDOPTION));
        press("b");
        QTest::mouseClick(g_option->findChild<QPushButton *>("output_set"), Qt::LeftButton);
        QCOMPARE(int(g_page_focus), int(PAGE_OUTPUTSET));
        // A touch does not move the key focus.
        press("b");
        QCOMPARE(g_option->ui_select(), uint8_t(0));
    }

    void key_lock_drops_only_the_mode_key()
    {
        uitest::wr16(Ram::kKeyLock, 1);
        open_option();
        press("rrromrm");
        QCOMPARE(int(g_page_focus), int(PAGE_LINKOPTION));
        QCOMPARE(open_screens(), QStringLiteral("option linkoption"));
        QCOMPARE(g_linkoption->ui_select(), uint8_t(1));
        QCOMPARE(g_mode_shortcut_key, uint8_t(0));
    }

    void focus_look_follows_the_keys()
    {
        open_option();
        const char *const orange = "solid rgb(255,171,84)";
        const char *const white_text = "color:rgb(255,255,255)";
        // The first entry's look before any key has no text colour; afterwards the looks carry it.
        QVERIFY(uitest::style(g_option, "output_set").contains(orange));
        QVERIFY(!uitest::style(g_option, "output_set").contains(white_text));
        press("r");
        QVERIFY(!uitest::style(g_option, "output_set").contains(orange));
        QVERIFY(uitest::style(g_option, "output_set").contains(white_text));
        QVERIFY(uitest::style(g_option, "input_cut").contains(orange));
        // A refresh keeps the smart-mapping entry's look in step with the focus.
        press("rrrrr");
        g_option->language_changed();
        QVERIFY(uitest::style(g_option, "smart_mapping").contains(orange));
        press("r");
        g_option->language_changed();
        QVERIFY(!uitest::style(g_option, "smart_mapping").contains(orange));
        QVERIFY(uitest::style(g_option, "AdvanceButton").contains(orange));
    }

    // The title of every screen of the menus, and the size line, in each language.
    void texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<uint>("valid");
        QTest::addColumn<QStringList>("titles");   // Option OutputSet LinkOption AdvancedOption
                                                   // MachineState rcv_recovery firmware_usbgrade
        QTest::addColumn<QString>("sizeLine");
        QTest::addColumn<int>("advancedIconWidth");

        const QStringList en{"Setting", "Output Seeting", "Communication", "Advanced Settings", "Devices",
                             "Rcv self-recovery", "USB UPDATE"};
        const QString en_size = "LED Screen can be set:1920x40000";
        QTest::newRow("zh-Hans") << 0 << 0x1Fu
                                 << QStringList{"设置", "输出设置", "通讯设置", "高级设置", "设备信息",
                                                "接收卡自恢复", "USB升级"}
                                 << "当前设置LED屏宽高为: 1920x40000" << 55;
        QTest::newRow("en") << 1 << 0x1Fu << en << en_size << 54;
        QTest::newRow("ru") << 2 << 0x1Fu
                            << QStringList{"Настройки", "Выход", "Подключение", "Доп.опции", "Устройство",
                                           "Самовосстановление", "Обновление через USB"}
                            << "Текущий размер LED (px): 1920x40000" << 70;
        QTest::newRow("vi") << 3 << 0x1Fu
                            << QStringList{"Cài đặt", "Thông số đầu ra", "Cài đặt giao tiếp", "Cài đặt nâng cao",
                                           "Thiết bị", "Thẻ nhận tự phục hồi", "Sử dụng ổ USB để cập nhập"}
                            << "Gợi ý: Kích thước màn hình LED hiện tại::1920x40000" << 54;
        QTest::newRow("zh-Hant") << 4 << 0x1Fu
                                 << QStringList{"設置", "輸出設置", "通訊設置", "高級設置", "設備信息",
                                                "接收卡自恢複", "USB昇級"}
                                 << "當前設置LED屏寬高爲: 1920x40000" << 54;
        QTest::newRow("ru not offered") << 2 << 0x1Bu << en << en_size << 54;
        QTest::newRow("zh-Hant not offered") << 4 << 0x0Fu << en << en_size << 54;
    }
    void texts()
    {
        QFETCH(int, language);
        QFETCH(uint, valid);
        QFETCH(QStringList, titles);
        QFETCH(int, advancedIconWidth);
        g_language = uint8_t(language);
        g_lcd_lang_valid = valid;
        uitest::wr16(Ram::kLedWidth, 1920);
        uitest::wr16(Ram::kLedHeight, 40000);   // shown unsigned
        QDir().mkpath(Paths::dev("/data/rcvrecovery"));
        write_dev_file("/data/rcvrecovery/a.rcv", "x");
        fpga_manage::create_for_test();
        open_option();
        QStringList shown{uitest::text(g_option, "label_title")};
        press("o");
        shown << uitest::text(g_outputset, "label_title");
        QTEST(uitest::text(g_outputset, "label_info"), "sizeLine");
        press("blllllo");
        shown << uitest::text(g_linkoption, "label_title");
        press("bllllo");
        shown << uitest::text(g_advancedoption, "label_title");
        QCOMPARE(g_option->findChild<QPushButton *>("AdvanceButton")->iconSize(), QSize(advancedIconWidth, 60));
        open_screen(g_machinestate, new MachineState);
        shown << uitest::text(g_machinestate, "label_title");
        open_screen(g_rcv_recovery, new rcv_recovery);
        shown << uitest::text(g_rcv_recovery, "label_title");
        open_screen(g_firmware_usbgrade, new firmware_usbgrade);
        shown << uitest::text(g_firmware_usbgrade, "label_title");
        QCOMPARE(shown, titles);
        fpga_manage::destroy_for_test();
    }

    // Every child's back path refreshes its parent, which then shows the language of the moment.
    void back_refreshes_the_parent_data()
    {
        QTest::addColumn<QString>("to_child");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("english");

        QTest::newRow("output menu to Setting") << "o" << "option/label_title" << "Setting";
        QTest::newRow("communication to Setting") << "rrro" << "option/label_title" << "Setting";
        QTest::newRow("advanced to Setting") << "lo" << "option/label_title" << "Setting";
        QTest::newRow("upgrade to communication") << "rrrolo" << "linkoption/label_title" << "Communication";
    }
    void back_refreshes_the_parent()
    {
        QFETCH(QString, to_child);
        QFETCH(QString, widget);
        QFETCH(QString, english);
        g_language = 0;
        open_option();
        press(to_child);
        const int page = g_page_focus;
        g_language = 1;   // changed behind the screens' backs: only a refresh shows it
        press("b");
        QVERIFY(int(g_page_focus) != page);
        QWidget *parent = widget.startsWith("option") ? static_cast<QWidget *>(g_option) : g_linkoption;
        QCOMPARE(uitest::text(parent, widget.section('/', 1)), english);
    }

    void size_line_is_read_afresh_on_return()
    {
        open_option();
        press("o");
        uitest::wr16(Ram::kLedWidth, 3840);
        uitest::wr16(Ram::kLedHeight, 65535);
        // An ordinary parameter change leaves the line alone ...
        g_outputset->syncUpdate(1);
        QVERIFY(!uitest::text(g_outputset, "label_info").contains("3840"));
        // ... a screen coming back to the menu renews it.
        g_outputset->language_changed();
        QCOMPARE(uitest::text(g_outputset, "label_info"), QStringLiteral("LED Screen can be set:3840x65535"));
    }

    void language_change_in_the_image_reaches_the_menu()
    {
        open_option();
        press("rrro");
        uitest::para()->RAM_PARA[Ram::kLanguage] = 2;
        uitest::para()->test_signal(1);
        QCOMPARE(uitest::text(g_linkoption, "label_title"), QStringLiteral("Подключение"));
        // The menu below is not on display; it catches up when the sub-menu leaves.
        QCOMPARE(uitest::text(g_option, "label_title"), QStringLiteral("Setting"));
        press("b");
        QCOMPARE(uitest::text(g_option, "label_title"), QStringLiteral("Настройки"));
    }

    // The listener decides on its own thread that the Setting menu is on display; by the time its
    // call reaches the GUI thread a sub-menu may have opened above it, which must then stay.
    void usb_stick_leaves_the_menu_only_while_on_display_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("between");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("open");

        QTest::newRow("on display") << "" << "" << 1 << "";
        QTest::newRow("sub-menu opened meanwhile") << "" << "o" << 6 << "option outputset";
        QTest::newRow("sub-menu open all along") << "rrro" << "" << 10 << "option linkoption";
    }
    void usb_stick_leaves_the_menu_only_while_on_display()
    {
        QFETCH(QString, before);
        QFETCH(QString, between);
        open_option();
        press(before);
        g_delay_usbserver = 1;
        UsbServer usb;
        QDir().mkpath(Paths::dev("/mnt/usb1"));
        std::thread([&usb] { usb.poll(); }).join();
        G_timeTicks += UsbServer::kMountHoldTicks + 1;
        std::thread([&usb] { usb.poll(); }).join();
        press(between);
        QCoreApplication::processEvents();
        uitest::flush();
        QTEST(int(g_page_focus), "page");
        QTEST(open_screens(), "open");
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
