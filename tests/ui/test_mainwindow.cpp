#include <QPushButton>
#include <QThread>
#include <thread>

#include "firmwareupdate.h"
#include "mainfixture.h"
#include "ui_mainwindow.h"
#include "utils.h"

using Keys = QVector<int>;
using Bytes = QVector<QPair<int, int>>;   // image offset, expected u16

namespace {
constexpr int L = Qt::Key_F4, R = Qt::Key_F5, OK = Qt::Key_F6, BACK = Qt::Key_PowerOff, MODE = Qt::Key_Stop;

void press(const Keys &keys)
{
    for (int k : keys) {
        QWidget *target = g_custommode ? static_cast<QWidget *>(g_custommode)
                          : g_lockwindow ? static_cast<QWidget *>(g_lockwindow)
                                         : static_cast<QWidget *>(g_mainwindow);
        uitest::key(target, k);
        mainfx::chip_pass();
        uitest::flush();
    }
}

int reboots()
{
    return shell_log().count(QStringLiteral("reboot"));
}
}

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { mainfx::start(); }
    void cleanup() { mainfx::stop(); }

    void keys_data()
    {
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<Bytes>("bytes");

        QTest::newRow("right six times wraps to the first entry") << Keys{R, R, R, R, R, R} << 1 << "machinestate" << Bytes{};
        QTest::newRow("left from the first entry reaches the tools") << Keys{L} << 1 << "tools" << Bytes{};
        QTest::newRow("lock") << Keys{L, L, OK} << 1 << "Button_lock" << Bytes{{772, 1}};
        QTest::newRow("lock twice") << Keys{L, L, OK, OK} << 1 << "Button_lock" << Bytes{{772, 0}};
        QTest::newRow("mode under the lock does nothing") << Keys{L, L, OK, MODE} << 1 << "Button_lock" << Bytes{{772, 1}};
        QTest::newRow("mode opens the user modes") << Keys{MODE} << 4 << "machinestate" << Bytes{};
        QTest::newRow("user-mode entry") << Keys{R, R, OK} << 4 << "custommode" << Bytes{};
        QTest::newRow("tools row focuses the first tool") << Keys{L, OK} << 1 << "toolButton1" << Bytes{};
        QTest::newRow("tool list wraps left") << Keys{L, OK, L} << 1 << "toolButton4" << Bytes{};
        QTest::newRow("LED off") << Keys{L, OK, OK} << 1 << "toolButton1" << Bytes{{2116, 1}};
        QTest::newRow("LED off twice") << Keys{L, OK, OK, OK} << 1 << "toolButton1" << Bytes{{2116, 0}};
        QTest::newRow("back closes the tool row onto the tools entry") << Keys{L, OK, R, BACK} << 1 << "tools" << Bytes{};
        QTest::newRow("back from the menu shows the home screen") << Keys{BACK} << 0 << "machinestate" << Bytes{};
        QTest::newRow("home screen OK returns") << Keys{BACK, OK} << 1 << "machinestate" << Bytes{};
        QTest::newRow("other keys do nothing") << Keys{Qt::Key_A, Qt::Key_Z, Qt::Key_F1} << 1 << "machinestate" << Bytes{};
    }

    void keys()
    {
        QFETCH(Keys, keys);
        QFETCH(int, page);
        QFETCH(QString, focused);
        QFETCH(Bytes, bytes);
        press(keys);
        QCOMPARE(int(g_page_focus), page);
        QVERIFY(g_mainwindow->focused_control());
        QCOMPARE(g_mainwindow->focused_control()->objectName(), focused);
        QVERIFY(g_mainwindow->focused_control()->styleSheet().contains(QStringLiteral("rgb(255,171,84)")));
        for (const auto &b : bytes) {
            QCOMPARE(int(uitest::rd16(b.first)), b.second);
            QCOMPARE(mainfx::file_byte(b.first), b.second);
        }
        QCOMPARE(g_custommode != nullptr, page == 4);
        QCOMPARE(g_lockwindow != nullptr, page == 0);
    }

    // The lock reaches the file at once: no chip pass, no unrelated change.
    void lock_is_saved_at_once()
    {
        uitest::keys(g_mainwindow, {L, L, OK});
        QCOMPARE(mainfx::file_byte(772), 1);
        QCOMPARE(g_mainwindow->layout()->Button_lock->icon().cacheKey() != 0, true);
    }

    void mute_uses_window_zero_for_a_bad_audio_window()
    {
        uitest::para()->RAM_PARA[2112] = 7;
        const int before = uitest::para()->RAM_PARA[Ram::layer(0) + 21];
        press({L, OK, R, OK});
        QCOMPARE(int(uitest::para()->RAM_PARA[2112]), 0);
        QCOMPARE(int(uitest::para()->RAM_PARA[Ram::layer(0) + 21]), (before & 0x80) ? 0x00 : 0x80);
        QCOMPARE(int(uitest::para()->RAM_PARA[Ram::layer(0) + 20]), (before & 0x80) ? 0x00 : 0xFF);
    }

    void invocation_without_saved_slots()
    {
        press({L, OK, R, R, OK});
        QCOMPARE(int(g_mainwindow->call_state()), 1);
        QVERIFY(g_mainwindow->popup_shown());
        QCOMPARE(int(g_mainwindow->popup_selection()), 0);
        const QByteArray before(reinterpret_cast<const char *>(uitest::para()->RAM_PARA), Ram::kSize);
        press({OK});
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(uitest::para()->RAM_PARA), Ram::kSize), before);
        QCOMPARE(int(g_mainwindow->call_state()), 1);
        QCOMPARE(g_mode[0]->styleSheet(), QStringLiteral("background-color: #00D65B;border-radius:5px;"));
    }

    void save_then_invoke()
    {
        // Save into slot 3: right three times over all slots, then OK.
        press({L, OK, L, OK, R, R, R, OK});
        QCOMPARE(int(g_mode_select), 3);
        QVERIFY(uitest::para()->ZemUserModeSaved(3));
        QCOMPARE(int(uitest::rd16(866)), 4);
        QCOMPARE(int(uitest::rd16(868)), 0);
        QVERIFY(!read_dev_file(QStringLiteral("/data/modes/custom_mode4")).isEmpty());
        QCOMPARE(int(g_tip_flag), 1);     // the page-1 refresh after the save
        QCOMPARE(int(g_mainwindow->save_state()), 1);

        // Invocation brings the slot's stored values back.
        uitest::wr16(Ram::kLedWidth, 1234);
        press({BACK, L, OK});
        QCOMPARE(int(g_mainwindow->call_state()), 1);
        QCOMPARE(int(g_mainwindow->popup_selection()), 3);
        press({OK});
        QVERIFY(uitest::rd16(Ram::kLedWidth) != 1234);
        QCOMPARE(int(uitest::rd16(866)), 4);
        QCOMPARE(mainfx::file_byte(Ram::kLedWidth), int(uitest::rd16(Ram::kLedWidth) & 0xFF));
        QCOMPARE(int(g_mainwindow->call_state()), 1);
        QVERIFY(g_mainwindow->popup_shown());
    }

    void invocation_moves_over_saved_slots_only()
    {
        mainfx::save_slot(2);
        mainfx::save_slot(9);
        press({L, OK, R, R, OK});
        QCOMPARE(int(g_mainwindow->popup_selection()), 2);
        press({R});
        QCOMPARE(int(g_mainwindow->popup_selection()), 9);
        press({R});
        QCOMPARE(int(g_mainwindow->popup_selection()), 2);
        press({L});
        QCOMPARE(int(g_mainwindow->popup_selection()), 9);
    }

    // A touch on a slot rebuilds the popup from inside that slot button's own click handler.
    void touching_a_slot_rebuilds_the_popup_safely()
    {
        mainfx::save_slot(5);
        g_mainwindow->on_tools_clicked();
        g_mainwindow->on_toolButton3_clicked();
        QPointer<QWidget> old_popup = g_mainwindow->mode_popup();
        auto *button = old_popup->findChild<QPushButton *>(QStringLiteral("5"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(int(uitest::rd16(866)), 6);
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
        QVERIFY(g_mainwindow->popup_shown());
        g_mainwindow->on_tools_clicked();
        QVERIFY(!g_mainwindow->mode_popup());
        uitest::flush();
        press({BACK});
        QCOMPARE(int(g_page_focus), 0);
        QVERIFY(g_lockwindow);
        press({OK, OK, L, OK});   // the popup is rebuilt when armed again
        QVERIFY(g_mainwindow->popup_shown());
    }

    void texts_follow_the_language()
    {
        g_str_ip = QStringLiteral("10.1.2.3");
        uitest::para()->RAM_PARA[768] = 2;
        g_lcd_lang_valid = 0x1F;
        g_mainwindow->syncUpdate(1);
        press({L, OK, R, R, OK});
        QCOMPARE(uitest::text(g_mainwindow, QStringLiteral("label_IPaddr")), QStringLiteral("10.1.2.3"));
        const auto labels = g_mainwindow->mode_popup()->findChildren<QLabel *>();
        QVERIFY(std::any_of(labels.begin(), labels.end(),
                            [](QLabel *l) { return l->text() == QStringLiteral("Загрузка настроек"); }));
    }

    // ---- tick ----------------------------------------------------------------------------------

    void reboot_waits_three_seconds_across_the_wrap()
    {
        G_timeTicks = 0xFFFFFF00u;
        G_reboot_tickTicks = 0xFFFFFF00u;
        G_factoryage_ticks = G_timeTicks;
        g_app_reset_flag = 1;
        // Elapsed time counts one tick less across the wrap: never early, at most a tick late.
        uitest::tick(300);
        QCOMPARE(reboots(), 0);
        uitest::tick(1);
        QCOMPARE(reboots(), 1);
        uitest::tick(2);
        QCOMPARE(reboots(), 3);
        QVERIFY(G_timeTicks < 0x100u);
    }

    void usb_hold_off_ends_after_ten_seconds()
    {
        g_delay_usbserver = 0;
        g_delay_usbserver_ticks = G_timeTicks;
        uitest::tick(999);
        QCOMPARE(int(g_delay_usbserver), 0);
        uitest::tick(1);
        QCOMPARE(int(g_delay_usbserver), 1);
    }

    void overlay_is_stepped_only_while_it_exists()
    {
        g_update_flag = 1;
        uitest::tick(30);   // raised before the queued start arrives
        QVERIFY(!g_move_update);

        std::thread link([] { g_mainwindow->update_start(); });
        link.join();
        QVERIFY(!g_move_update);
        QCoreApplication::processEvents();
        QVERIFY(g_move_update);
        QVERIFY(g_move_update->isVisible());
        uitest::tick(25);
        QCOMPARE(g_move_update->step(), 2);

        g_mainwindow->update_over();
        QVERIFY(!g_move_update);
        uitest::tick(5);
        g_update_flag = 0;
    }

    void ageing_sample_every_three_minutes()
    {
        factoryage_log.clear();
        uitest::tick(17999);
        QCOMPARE(factoryage_log.size(), size_t(0));
        uitest::tick(1);
        QCOMPARE(factoryage_log.size(), size_t(1));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d \\d\\d:\\d\\d \\d+ \\d+ \\d+$"))
                    .match(factoryage_log.front())
                    .hasMatch());

        // Skipped, not postponed, while a PC command is active.
        pc_cmd_valid = 1;
        uitest::tick(18000);
        QCOMPARE(factoryage_log.size(), size_t(1));
        pc_cmd_valid = 0;
        uitest::tick(17999);
        QCOMPARE(factoryage_log.size(), size_t(1));
        uitest::tick(1);
        QCOMPARE(factoryage_log.size(), size_t(2));
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
        factoryage_log.assign(1, QStringLiteral("01-01 00:00 %1 0 0").arg((now - advance + 256) % 256));
        factoryage_log_diff3 = factoryage_log_diff5 = factoryage_log_diff10 = factoryage_log_diff20 =
            factoryage_log_diffmore = 0;
        g_mainwindow->getagelog();
        QCOMPARE(QVector<uint32_t>({factoryage_log_diff3, factoryage_log_diff5, factoryage_log_diff10,
                                    factoryage_log_diff20, factoryage_log_diffmore}),
                 counters);
    }

    void ageing_log_keeps_3360_lines()
    {
        factoryage_log.clear();
        for (int i = 0; i < 3360; ++i)
            factoryage_log.push_back(QStringLiteral("line %1 0 0 0").arg(i));
        g_mainwindow->getagelog();
        QCOMPARE(factoryage_log.size(), size_t(3360));
        QCOMPARE(factoryage_log.front(), QStringLiteral("line 1 0 0 0"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
