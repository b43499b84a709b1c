#include <QPushButton>
#include <thread>

#include "firmwareupdate.h"
#include "mainfixture.h"
#include "ui_mainwindow.h"
#include "utils.h"

using namespace mainfx;
using Keys = QVector<int>;
using Bytes = QVector<QPair<int, int>>;   // image offset, expected u16

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { uitest::close_all(); }

    // Bytes are checked in the image and the file; a chip pass without a request writes no file.
    void keys_data()
    {
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<Bytes>("bytes");
        QTest::newRow("right six times wraps to the first entry") << Keys{R, R, R, R, R, R} << 1 << "machinestate" << Bytes{};
        QTest::newRow("left from the first entry reaches the tools") << Keys{L} << 1 << "tools" << Bytes{};
        QTest::newRow("lock, saved at once") << Keys{L, L, OK} << 1 << "Button_lock" << Bytes{{772, 1}};
        QTest::newRow("lock twice") << Keys{L, L, OK, OK} << 1 << "Button_lock" << Bytes{{772, 0}};
        QTest::newRow("mode under the lock does nothing") << Keys{L, L, OK, MODE} << 1 << "Button_lock" << Bytes{{772, 1}};
        QTest::newRow("mode opens the user modes") << Keys{MODE} << 4 << "machinestate" << Bytes{};
        QTest::newRow("user-mode entry") << Keys{R, R, OK} << 4 << "custommode" << Bytes{};
        QTest::newRow("back after the mode key leads home") << Keys{MODE, BACK} << 0 << "machinestate" << Bytes{};
        // The flag of the shortcut is spent: the next user-mode screen goes back to the menu.
        QTest::newRow("back after the entry leads to the menu")
            << Keys{MODE, BACK, OK, R, R, OK, BACK} << 1 << "custommode" << Bytes{};
        QTest::newRow("tools row focuses the first tool") << Keys{L, OK} << 1 << "toolButton1" << Bytes{};
        QTest::newRow("tool list wraps left") << Keys{L, OK, L} << 1 << "toolButton4" << Bytes{};
        QTest::newRow("LED off") << Keys{L, OK, OK} << 1 << "toolButton1" << Bytes{{2116, 1}};
        QTest::newRow("mute: a bad audio window means window 0") << Keys{L, OK, R, OK} << 1 << "toolButton2"
                                                                << Bytes{{2112, 0}, {Ram::layer(0) + 20, 0}};
        QTest::newRow("LED off twice") << Keys{L, OK, OK, OK} << 1 << "toolButton1" << Bytes{{2116, 0}};
        QTest::newRow("back closes the tool row onto the tools entry") << Keys{L, OK, R, BACK} << 1 << "tools" << Bytes{};
        QTest::newRow("back from the menu shows the home screen") << Keys{BACK} << 0 << "machinestate" << Bytes{};
        QTest::newRow("home: left, right and back stay") << Keys{BACK, L, R, BACK, Qt::Key_A} << 0 << "machinestate" << Bytes{};
        QTest::newRow("home: OK returns") << Keys{BACK, OK} << 1 << "machinestate" << Bytes{};
        QTest::newRow("home: panel letter Q returns") << Keys{BACK, Qt::Key_Q} << 1 << "machinestate" << Bytes{};
        QTest::newRow("home: mode opens the user modes") << Keys{BACK, MODE} << 4 << "machinestate" << Bytes{};
        QTest::newRow("home: mode under the lock stays")
            << Keys{L, L, OK, BACK, MODE, Qt::Key_M} << 0 << "Button_lock" << Bytes{{772, 1}};
        QTest::newRow("other keys do nothing") << Keys{Qt::Key_A, Qt::Key_Z, Qt::Key_F1} << 1 << "machinestate" << Bytes{};
    }

    void keys()
    {
        QFETCH(Keys, keys);
        QFETCH(int, page);
        QFETCH(QString, focused);
        QFETCH(Bytes, bytes);
        uitest::para()->RAM_PARA[2112] = 7;   // out of range; the factory's window 0 has its sound on
        press(keys);
        QCOMPARE(int(g_page_focus), page);
        QCOMPARE(g_mainwindow->focused_control()->objectName(), focused);
        QVERIFY(g_mainwindow->focused_control()->styleSheet().contains(QStringLiteral("rgb(255,171,84)")));
        int looks = 0;   // and no other control of the menu
        for (QPushButton *b : g_mainwindow->centralWidget()->findChildren<QPushButton *>())
            looks += b->styleSheet().contains(QStringLiteral("rgb(255,171,84)"));
        QCOMPARE(looks, 1);
        for (const auto &b : bytes) {
            QCOMPARE(int(uitest::rd16(b.first)), b.second);
            QCOMPARE(file_byte(b.first), b.second);
        }
        QCOMPARE(g_custommode != nullptr, page == 4);
        QCOMPARE(g_lockwindow != nullptr, page == 0);
    }

    void invocation_without_saved_slots_in_russian()
    {
        g_str_ip = QStringLiteral("10.1.2.3");
        uitest::para()->RAM_PARA[768] = 2;
        g_mainwindow->syncUpdate(1);
        press({L, OK, R, R, OK});
        QCOMPARE(uitest::text(g_mainwindow, QStringLiteral("label_IPaddr")), QStringLiteral("10.1.2.3"));
        QCOMPARE(g_mainwindow->mode_popup()->findChild<QLabel *>()->text(), QStringLiteral("Загрузка настроек"));
        QCOMPARE(int(g_mainwindow->call_state()), 1);
        QCOMPARE(int(g_mainwindow->popup_selection()), 0);
        const auto image = [] { return QByteArray(reinterpret_cast<const char *>(uitest::para()->RAM_PARA), Ram::kSize); };
        const QByteArray before = image();
        press({OK});   // an empty slot: nothing changes, the invocation stays armed
        QCOMPARE(image(), before);
        QCOMPARE(int(g_mainwindow->call_state()), 1);
        QVERIFY(g_mainwindow->popup_shown());
        QCOMPARE(g_mode[0]->styleSheet(), QStringLiteral("background-color: #00D65B;border-radius:5px;"));
    }

    void save_then_invoke()
    {
        press({L, OK, L, OK, R, R, R, OK});   // save armed, right over all slots to slot 3
        QCOMPARE(int(g_mode_select), 3);
        QVERIFY(uitest::para()->ZemUserModeSaved(3));
        QCOMPARE(int(uitest::rd16(866)), 4);
        QCOMPARE(int(uitest::rd16(868)), 0);
        QVERIFY(!read_dev_file(QStringLiteral("/data/modes/custom_mode4")).isEmpty());
        QCOMPARE(int(g_tip_flag), 1);   // the page-1 refresh after the save
        QCOMPARE(int(g_mainwindow->save_state()), 1);
        uitest::wr16(Ram::kLedWidth, 1234);
        press({BACK, L, OK});
        QCOMPARE(int(g_mainwindow->popup_selection()), 3);
        press({OK});
        QVERIFY(uitest::rd16(Ram::kLedWidth) != 1234);
        QCOMPARE(file_byte(Ram::kLedWidth), int(uitest::rd16(Ram::kLedWidth) & 0xFF));
        QCOMPARE(int(g_mainwindow->call_state()), 1);
        QVERIFY(g_mainwindow->popup_shown());
    }

    // Invocation moves over saved slots only; a touch on a slot then rebuilds the popup from inside
    // that slot button's own click handler.
    void invocation_moves_over_saved_slots_and_touch()
    {
        save_slot(2);
        save_slot(9);
        press({L, OK, R, R, OK});
        QList<int> seen{g_mainwindow->popup_selection()};
        for (int k : {R, R, L}) {
            press({k});
            seen << g_mainwindow->popup_selection();
        }
        QCOMPARE(seen, (QList<int>{2, 9, 2, 9}));
        QPointer<QWidget> old_popup = g_mainwindow->mode_popup();
        QTest::mouseClick(old_popup->findChild<QPushButton *>(QStringLiteral("2")), Qt::LeftButton);
        QCOMPARE(int(uitest::rd16(866)), 3);
        QCOMPARE(int(g_mainwindow->popup_selection()), 2);
        QVERIFY(g_mainwindow->mode_popup() != old_popup);
        uitest::flush();
        QVERIFY(old_popup.isNull());
        QVERIFY(g_mainwindow->popup_shown());
    }

    // Closing the tool row deletes the popup; the back key afterwards must not reach it.
    void back_after_the_popup_was_deleted()
    {
        g_mainwindow->on_tools_clicked();
        g_mainwindow->on_toolButton4_clicked();
        g_mainwindow->on_tools_clicked();
        QVERIFY(!g_mainwindow->mode_popup());
        uitest::flush();
        press({BACK});
        QCOMPARE(int(g_page_focus), 0);
        press({OK, OK, L, OK});   // rebuilt when armed again
        QVERIFY(g_mainwindow->popup_shown());
    }

    void reboot_and_usb_hold_off_time_out()
    {
        G_timeTicks = G_reboot_tickTicks = G_factoryage_ticks = g_delay_usbserver_ticks = 0xFFFFFF00u;
        g_app_reset_flag = 1;
        g_delay_usbserver = 0;
        // Elapsed time counts one tick less across the wrap: never early, at most a tick late.
        uitest::tick(300);
        QCOMPARE(shell_log().count(QStringLiteral("reboot")), 0);
        uitest::tick(3);
        QCOMPARE(shell_log().count(QStringLiteral("reboot")), 3);   // on every tick from then on
        uitest::tick(697);
        QCOMPARE(int(g_delay_usbserver), 0);
        uitest::tick(1);
        QCOMPARE(int(g_delay_usbserver), 1);
    }

    void overlay_is_stepped_only_while_it_exists()
    {
        g_update_flag = 1;
        uitest::tick(30);   // raised before the queued start arrives
        std::thread link([] { g_mainwindow->update_start(); });
        link.join();
        QVERIFY(!g_move_update);
        QCoreApplication::processEvents();
        QVERIFY(g_move_update && g_move_update->isVisible());
        uitest::tick(25);
        QCOMPARE(g_move_update->step(), 2);
        g_mainwindow->update_over();
        QVERIFY(!g_move_update);
        uitest::tick(5);
    }

    void ageing_sample_every_three_minutes()
    {
        factoryage_log.clear();
        // Ticks, PC command active, lines after: a sample is skipped, not postponed, during a command.
        for (auto [ticks, pc, lines] : {std::tuple{17999, 0, 0}, {1, 0, 1}, {18000, 1, 1}, {17999, 0, 1}, {1, 0, 2}}) {
            pc_cmd_valid = static_cast<uint8_t>(pc);
            uitest::tick(ticks);
            QCOMPARE(factoryage_log.size(), size_t(lines));
        }
        const QRegularExpression line(QStringLiteral("^\\d\\d-\\d\\d \\d\\d:\\d\\d \\d+ \\d+ \\d+$"));
        QVERIFY(line.match(factoryage_log.front()).hasMatch());
    }

    void ageing_counts_the_advance_data()
    {
        QTest::addColumn<int>("advance");
        QTest::addColumn<QVector<uint32_t>>("counters");
        QTest::newRow("unchanged") << 0 << QVector<uint32_t>{0, 0, 0, 0, 0};
        QTest::newRow("2") << 2 << QVector<uint32_t>{1, 0, 0, 0, 0};
        QTest::newRow("4") << 4 << QVector<uint32_t>{0, 1, 0, 0, 0};
        QTest::newRow("9") << 9 << QVector<uint32_t>{0, 0, 1, 0, 0};
        QTest::newRow("19") << 19 << QVector<uint32_t>{0, 0, 0, 1, 0};
        QTest::newRow("200, the counter wrapped") << 200 << QVector<uint32_t>{0, 0, 0, 0, 1};
    }

    void ageing_counts_the_advance()
    {
        QFETCH(int, advance);
        QFETCH(QVector<uint32_t>, counters);
        fpga_manage *fpga = fpga_manage::p_fpga_manage;
        fpga->read_from_register(42, 0);
        const int now = fpga->MCU_REG_func[0][42];
        factoryage_log.assign(3360, QStringLiteral("01-01 00:00 %1 0 0").arg((now - advance + 256) % 256));
        factoryage_log.front() = QStringLiteral("oldest");
        factoryage_log_diff3 = factoryage_log_diff5 = factoryage_log_diff10 = factoryage_log_diff20 =
            factoryage_log_diffmore = 0;
        g_mainwindow->getagelog();
        QCOMPARE(QVector<uint32_t>({factoryage_log_diff3, factoryage_log_diff5, factoryage_log_diff10,
                                    factoryage_log_diff20, factoryage_log_diffmore}),
                 counters);
        QCOMPARE(factoryage_log.size(), size_t(3360));   // the oldest line made room
        QVERIFY(factoryage_log.front() != QStringLiteral("oldest"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
