// The Setting, communication and output menus, the USB upgrade screen and the device-state page:
// keys and touches through them and back, texts per language, the parent's refresh, the USB stick
// as they see it, and what the device-state page shows.
#include <QApplication>
#include <QFrame>
#include <QTimer>
#include <thread>

#include "mainfixture.h"
#include "sourceinfo.h"
#include "usbserver.h"

using namespace mainfx;

namespace {
// "1", "0" or "?" as the label shows the online picture, the offline one or neither.
QString state(const QLabel *label, const QString &online, const QString &offline)
{
    const QImage shown = label->pixmap(Qt::ReturnByValue).toImage();
    return shown == QPixmap(online).toImage() ? "1" : shown == QPixmap(offline).toImage() ? "0" : "?";
}
// Ports 1 to 6, then source ids 0 to 3, as "1 0 1 0 0 0 | 1 0 0 1", read from their pictures.
QString device_state()
{
    QStringList ports;
    for (const QLabel *label : g_machinestate->port_frame()->findChildren<QLabel *>()) {
        if (label->text().isEmpty())   // not a port number
            ports << state(label, ":/png/online.png", ":/png/offline.png");
    }
    const char *const labels[4] = {"sourceid4pixmap", "sourceid1pixmap", "sourceid2pixmap", "sourceid3pixmap"};
    QStringList inputs;
    for (unsigned char id = 0; id < 4; ++id) {
        inputs << state(g_machinestate->findChild<QLabel *>(labels[id]), sourceinfo::source_online_icon(id, 1),
                        sourceinfo::source_online_icon(id, 0));
    }
    return ports.join(' ') + " | " + inputs.join(' ');
}
}

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
        columns<QString, int, int, QString>({"sequence", "page", "focus", "open"});
        QTest::newRow("left wraps to the last") << "l" << 5 << 7 << "option";
        QTest::newRow("right wraps to the first") << "rrrrrrrr" << 5 << 0 << "option";
        QTest::newRow("letters move as keys") << "RRL" << 5 << 1 << "option";
        QTest::newRow("smart-mapping entry opens the wizard") << "llo" << 24 << -1 << "option smartmapping";
        QTest::newRow("the wizard's back comes back") << "llob" << 5 << 6 << "option";
        QTest::newRow("back to the main menu") << "b" << 1 << -1 << "";
        QTest::newRow("output menu left wraps") << "ol" << 6 << 1 << "option outputset";
        QTest::newRow("output entries open and come back") << "oobrob" << 6 << 1 << "option outputset";
        QTest::newRow("communication right wraps") << "rrrorrr" << 10 << 0 << "option linkoption";
        QTest::newRow("communication left wraps") << "rrrol" << 10 << 2 << "option linkoption";
        QTest::newRow("serial and network open and come back") << "rrroobrob" << 10 << 1 << "option linkoption";
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
    // The focus look follows the keys; a touch opens as OK does, without moving the key focus.
    void focus_look_and_touches()
    {
        auto focused = [](const char *name) { return uitest::look(g_option, name) != LookState::Normal; };
        open_option();
        // Before any key the first entry's look has no text colour; afterwards the looks carry it.
        QCOMPARE(uitest::look(g_option, "output_set"), LookState::Initial);
        press("rrrrrr");
        g_option->language_changed();   // keeps the smart-mapping entry's look in step with the focus
        QVERIFY(focused("smart_mapping") && !focused("output_set"));
        press("r");
        g_option->language_changed();
        QVERIFY(!focused("smart_mapping") && focused("AdvanceButton"));
        touch(g_option, "link_set");
        touch(g_linkoption, "Button_usb");
        QCOMPARE(int(g_page_focus), int(PAGE_FIRMWARE_USBGRADE));
        press("bb");
        touch(g_option, "AdvanceButton");
        QVERIFY(g_advancedoption);
        press("b");
        touch(g_option, "output_set");
        QCOMPARE(open_screens(), QStringLiteral("option outputset"));
        QCOMPARE(g_option->focus_index(), 7);
    }
    void texts_data()
    {
        // titles: Option OutputSet LinkOption AdvancedOption MachineState; the icon of the advanced
        // entry, the title of the access-code keyboard, the device-state page's three pictures.
        // The other languages' looks are the gallery's; here the one whose keyboard title is its
        // own, and the same language where it is not offered.
        columns<int, uint, QString, QString, int, QString, QString>(
            {"language", "valid", "titles", "sizeLine", "iconWidth", "keyTitle", "pictures"});
        QTest::newRow("ru") << 2 << 0x1Fu << "Настройки|Выход|Подключение|Доп.опции|Устройство"
                            << "Текущий размер LED (px): 1920x40000" << 70 << "Пароль"
                            << "ru_output_state ru_input_state ru_version_state";
        QTest::newRow("ru not offered") << 2 << 0x1Bu
                                        << "Setting|Output Seeting|Communication|Advanced Settings|Devices"
                                        << "LED Screen can be set:1920x40000" << 54 << "key"
                                        << "output_state input_state en_version_state";
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
        QStringList pictures;
        for (const char *label : {"label_state1", "label_state2", "label_state3"})
            for (const char *png : {"output_state", "ru_output_state", "input_state", "ru_input_state", "version_state",
                                    "en_version_state", "ru_version_state"})
                if (uitest::shows(g_machinestate, label, QStringLiteral(":/png/%1.png").arg(QLatin1String(png))))
                    pictures << QLatin1String(png);
        QTEST(pictures.join(' '), "pictures");
    }
    // A language change in the image refreshes the screen on display; the one beneath catches up
    // when the screen above it goes back.
    void language_change_reaches_screen_and_parent_data()
    {
        columns<QString, QString>({"to_child", "titles"});   // child | parent
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
        columns<QString, QString, QString>({"before", "between", "open"});
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
    // A stick leaves the menu when it is mounted, once: the menu opened again stays open while the
    // listener goes on looking at the same stick.
    void usb_stick_leaves_the_menu_once()
    {
        open_option();
        g_delay_usbserver = 1;
        UsbServer usb;
        QDir().mkpath(Paths::dev("/mnt/usb1"));
        const auto looks = [&usb](uint32_t ticks) {
            std::thread([&usb, ticks] {
                for (int i = 0; i < 3; ++i) {
                    usb.poll();
                    G_timeTicks += ticks;
                }
            }).join();
            QCoreApplication::processEvents();
            uitest::flush();
        };
        looks(UsbServer::kMountHoldTicks);
        QCOMPARE(open_screens(), QString());
        open_option();
        looks(50);
        QCOMPARE(open_screens(), QStringLiteral("option"));
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
    // Through real nested event loops, as on the device: the Setting menu's exec() runs the output
    // menu's exec(), and the mode key there closes both; each loop unwinds and the user modes are
    // shown on page 4.
    void mode_key_unwinds_nested_loops()
    {
        g_open_custommode = open_custommode;
        set_modal_runner({});   // QDialog::exec
        QStringList seen;
        QTimer::singleShot(0, [&seen] {
            seen << QStringLiteral("option %1").arg(int(g_page_focus));
            QTimer::singleShot(0, [&seen] {
                seen << QStringLiteral("outputset %1").arg(int(g_page_focus));
                press("m");
            });
            press("o");   // runs the output menu's loop until the mode key above ends it
            seen << QStringLiteral("back in option's loop %1").arg(g_option ? 1 : 0);
        });
        // Should a loop not unwind, this ends the test instead of hanging it.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<QDialog *>(w))
                    d->reject();
        });
        watchdog.start(zemtest::kCeilingMs);
        open_screen(g_option, new Option);
        QVERIFY2(watchdog.isActive(), "a nested loop did not unwind");
        QCOMPARE(seen, (QStringList{"option 5", "outputset 6", "back in option's loop 0"}));
        QVERIFY(!g_option && !g_outputset && g_custommode && g_custommode->isVisible());
        QCOMPARE(int(g_page_focus), int(PAGE_CUSTOMMODE));
        QCOMPARE(g_mode_shortcut_key, uint8_t(1));
        uitest::flush();
        QCOMPARE(open_screens(), QString());
    }
    // The pages that own a tip show it on their refresh: the communication menu its check mark on
    // every one, the upgrade screen the stick's three states; other pages and codes none.
    void tips_data()
    {
        columns<QString, int, QString>({"keys", "code", "tip"});   // "-": no tip, "": the check mark
        QTest::newRow("communication, any change") << "rrro" << 1 << "";
        QTest::newRow("upgrade, stick in") << "rrrolo" << int(CHANGE_USB_INSERTED) << "USB driver is connected,please wait...";
        QTest::newRow("upgrade, stick out") << "rrrolo" << int(CHANGE_USB_REMOVED) << "USB drive is unplugged.";
        QTest::newRow("upgrade, stick read") << "rrrolo" << int(CHANGE_USB_MOUNTED) << "Reading the data,pls wait";
        QTest::newRow("upgrade, other change") << "rrrolo" << 1 << "-";
        QTest::newRow("Setting menu, stick in") << "" << int(CHANGE_USB_INSERTED) << "-";
    }
    void tips()
    {
        QFETCH(QString, keys);
        QFETCH(int, code);
        QFETCH(QString, tip);
        open_option(keys);
        uitest::para()->test_signal(code);
        QCOMPARE(g_tip->isVisible(), tip != QLatin1String("-"));
        QCOMPARE(bool(g_tip_flag), g_tip->isVisible());
        const QLabel *label = g_tip->isVisible() ? g_tip->content()->findChild<QLabel *>() : nullptr;
        if (label)
            QCOMPARE(label->text(), tip);
    }
    // Each row also walks the keys ("!": the key lock goes on) to the page they lead to.
    void device_state_and_keys_data()
    {
        // The source given 1920 wide, h high, at rate; shown: ports 1 to 6 | source ids 0 to 3.
        columns<bool, bool, uint, int, int, int, QString, QString, int>(
            {"running", "manager", "links", "source", "h", "rate", "shown", "keys", "page"});
        QTest::newRow("ports 1 and 3, DVI; moves and OK do nothing")
            << true << true << 0x0005u << 0 << 1080 << 60 << "1 0 1 0 0 0 | 1 0 0 0" << "lrolRO" << 2;
        QTest::newRow("ports above 6, HDMI3; back") << true << true << 0xFFE0u << 3 << 2160 << 30
                                                    << "0 0 0 0 0 1 | 0 0 0 1" << "b" << 1;
        QTest::newRow("FPGA not running, rate 0; mode") << false << true << 0x3Fu << 1 << 1080 << 0
                                                        << "0 0 0 0 0 0 | 0 0 0 0" << "m" << 1;
        QTest::newRow("no FPGA manager, height 0; locked mode") << true << false << 0x3Fu << 2 << 0 << 60
                                                                << "0 0 0 0 0 0 | 0 0 0 0" << "!mM" << 2;
        QTest::newRow("source 4 is not shown; locked back") << true << true << 0u << 4 << 1080 << 60
                                                            << "0 0 0 0 0 0 | 0 0 0 0" << "!mB" << 1;
    }
    void device_state_and_keys()
    {
        QFETCH(bool, running);
        QFETCH(bool, manager);
        QFETCH(uint, links);
        QFETCH(int, source);
        QFETCH(int, h);
        QFETCH(int, rate);
        QFETCH(QString, keys);
        fpga_manage::destroy_for_test();
        SimLock()->fpga_running = running;
        SimLock()->links = uint16_t(links);
        if (manager)
            fpga_manage::create_for_test();
        uitest::set_timing(source, 1920, uint16_t(h), uint16_t(rate));
        open_screen(g_machinestate, new MachineState);
        QTEST(device_state(), "shown");
        press(keys);
        QTEST(int(g_page_focus), "page");
        QCOMPARE(g_machinestate != nullptr, g_page_focus == PAGE_MACHINESTATE);
        QCOMPARE(g_mode_shortcut_key, uint8_t(keys == "m"));
    }
    void port_row_rebuilt_on_code_11_only()
    {
        SimLock()->links = 0x0001;
        uitest::set_timing(1, 1920, 1080, 60);
        open_screen(g_machinestate, new MachineState);
        QCOMPARE(device_state(), QStringLiteral("1 0 0 0 0 0 | 0 1 0 0"));
        SimLock()->links = 0x0006;
        uitest::set_timing(3, 1920, 720, 50);
        uitest::para()->test_signal(12);
        QCOMPARE(device_state(), QStringLiteral("1 0 0 0 0 0 | 0 1 0 1"));
        uitest::para()->test_signal(11);
        QCOMPARE(device_state(), QStringLiteral("0 1 1 0 0 0 | 0 1 0 1"));
        // Lost, and back to the row the shadow holds.
        std::memcpy(uitest::para()->RAM_PARA_SHADOW, uitest::para()->RAM_PARA, Ram::kSize);
        QStringList inputs;
        for (uint16_t w : {0, 1920}) {
            uitest::set_timing(3, w, 720, 50);
            uitest::para()->test_signal(12);
            inputs << device_state().section(QLatin1Char('|'), 1).trimmed();
        }
        QCOMPARE(inputs, (QStringList{"0 1 0 0", "0 1 0 1"}));
        // The old row is gone whole, not left beneath the new one.
        const auto kids = g_machinestate->findChild<QFrame *>("frame")->findChildren<QWidget *>(
            QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(std::count_if(kids.begin(), kids.end(), [](QWidget *w) { return w->objectName().isEmpty(); }), 1);
    }
    void device_versions_and_bar_code_data()
    {
        columns<QByteArray, QString, QString, QString>({"registers", "fpga", "barcode", "sn"});   // registers 28 to 31
        QTest::newRow("unread, default") << QByteArray(4, 0) << "FPGA:V11.00.00 2000-00-00" << " " << "SN:QY9999";
        QTest::newRow("BCD, empty") << QByteArray("\x05\x14\x08\x25") << "FPGA:V11.00.05 2025-08-14" << "" << "SN:";
        QTest::newRow("set") << QByteArray("\x12\x31\x12\x99") << "FPGA:V11.00.12 2099-12-31" << " 7" << "SN: 7";
        // From a file anyone may write: shown as it stands, never as markup.
        QTest::newRow("markup") << QByteArray(4, 0) << "FPGA:V11.00.00 2000-00-00" << "<img src='x.png'><b>K58</b>, 7"
                                << "SN:<img src='x.png'><b>K58</b>, 7";
    }
    void device_versions_and_bar_code()
    {
        QFETCH(QByteArray, registers);
        QFETCH(QString, barcode);
        uint8_t *reg = fpga_manage::p_fpga_manage->MCU_REG_func[0];
        std::copy(registers.begin(), registers.end(), reg + 28);
        g_str_barcode = barcode;
        open_screen(g_machinestate, new MachineState);
        QTEST(uitest::text(g_machinestate, "label_2"), "sn");
        if (barcode != QLatin1String(" "))
            QCOMPARE(g_machinestate->findChild<QLabel *>("label_2")->textFormat(), Qt::PlainText);
        QCOMPARE(uitest::text(g_machinestate, "label_MCU"), QStringLiteral("MCU:V11.02.00 2025-09-26"));
        reg[28] = 0x77;   // built once: later register values do not reach the page
        uitest::para()->test_signal(11);
        QTEST(uitest::text(g_machinestate, "label_FPGA1"), "fpga");
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
