#include <atomic>
#include <thread>

#include "chip_request.h"
#include "firmwareupdate.h"
#include "mainfixture.h"
#include "chip_request.h"
#include "utils.h"

using namespace mainfx;
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
        columns<QString, int, QString, Bytes>({"keys", "page", "focused", "bytes"});
        QTest::newRow("right six times wraps to the first entry") << "rrrrrr" << 1 << "machinestate" << Bytes{};
        QTest::newRow("left from the first entry reaches the tools") << "l" << 1 << "tools" << Bytes{};
        QTest::newRow("lock, saved at once") << "llo" << 1 << "Button_lock" << Bytes{{772, 1}};
        QTest::newRow("lock twice") << "lloo" << 1 << "Button_lock" << Bytes{{772, 0}};
        QTest::newRow("mode under the lock does nothing") << "llom" << 1 << "Button_lock" << Bytes{{772, 1}};
        QTest::newRow("mode opens the user modes") << "m" << 4 << "machinestate" << Bytes{};
        QTest::newRow("user-mode entry") << "rro" << 4 << "custommode" << Bytes{};
        QTest::newRow("back after the mode key leads home") << "mb" << 0 << "machinestate" << Bytes{};
        // The flag of the shortcut is spent: the next user-mode screen goes back to the menu.
        QTest::newRow("back after the entry leads to the menu") << "mborrob" << 1 << "custommode" << Bytes{};
        QTest::newRow("tool list wraps left") << "lol" << 1 << "toolButton4" << Bytes{};
        QTest::newRow("tool row on its first tool: LED off") << "loo" << 1 << "toolButton1" << Bytes{{2116, 1}};
        QTest::newRow("mute: a bad audio window means window 0") << "loro" << 1 << "toolButton2"
                                                                << Bytes{{2112, 0}, {Ram::layer(0) + 20, 0}};
        QTest::newRow("LED off twice") << "looo" << 1 << "toolButton1" << Bytes{{2116, 0}};
        QTest::newRow("mute twice: sound on again") << "loroo" << 1 << "toolButton2"
                                                    << Bytes{{2112, 0}, {Ram::layer(0) + 20, 0x80FF}};
        QTest::newRow("back closes the tool row onto the tools entry") << "lorb" << 1 << "tools" << Bytes{};
        QTest::newRow("back from the menu shows the home screen") << "b" << 0 << "machinestate" << Bytes{};
        QTest::newRow("home: left, right and back stay") << "blrb?" << 0 << "machinestate" << Bytes{};
        QTest::newRow("home: OK returns") << "bo" << 1 << "machinestate" << Bytes{};
        QTest::newRow("home: USB letter returns") << "bO" << 1 << "machinestate" << Bytes{};
        QTest::newRow("home: mode opens the user modes") << "bm" << 4 << "machinestate" << Bytes{};
        QTest::newRow("home: mode under the lock stays") << "llobmM" << 0 << "Button_lock" << Bytes{{772, 1}};
        QTest::newRow("other keys do nothing") << "?" << 1 << "machinestate" << Bytes{};
    }
    void keys()
    {
        QFETCH(QString, keys);
        QFETCH(int, page);
        QFETCH(Bytes, bytes);
        uitest::para()->RAM_PARA[2112] = 7;   // out of range; the factory's window 0 has its sound on
        press(keys);
        QCOMPARE(int(g_page_focus), page);
        QTEST(g_mainwindow->focused_control()->objectName(), "focused");
        int looks = 0;   // the focus look on that control and no other of the menu
        for (QPushButton *b : g_mainwindow->centralWidget()->findChildren<QPushButton *>())
            looks += look_state(b) == LookState::Focus;
        QVERIFY(looks == 1 && look_state(g_mainwindow->focused_control()) == LookState::Focus);
        for (const auto &b : bytes) {
            QCOMPARE(int(uitest::rd16(b.first)), b.second);
            QCOMPARE(file_byte(b.first) | file_byte(b.first + 1) << 8, b.second);
        }
        QVERIFY((g_custommode != nullptr) == (page == 4) && (g_lockwindow != nullptr) == (page == 0));
    }
    // The tool row's and the lock's pictures follow the image: at the start, after the keys, and
    // after a refresh brings a change made elsewhere.
    void state_pictures_data()
    {
        columns<QString, QStringList>({"keys", "pictures"});   // LED tool, sound tool, lock
        QTest::newRow("start") << "" << QStringList{"en_uncloseled", "en_unslience", "unlock"};
        QTest::newRow("LED off") << "loo" << QStringList{"en_closeled", "en_unslience", "unlock"};
        QTest::newRow("muted") << "loro" << QStringList{"en_uncloseled", "en_slience", "unlock"};
        QTest::newRow("muted and back") << "loroo" << QStringList{"en_uncloseled", "en_unslience", "unlock"};
        QTest::newRow("locked") << "llo" << QStringList{"en_uncloseled", "en_unslience", "lock"};
    }
    void state_pictures()
    {
        QFETCH(QString, keys);
        QFETCH(QStringList, pictures);
        press(keys);
        QStringList shown;
        for (const char *name : {"toolButton1", "toolButton2", "Button_lock"})
            for (const char *png : {"en_uncloseled", "en_closeled", "en_unslience", "en_slience", "unlock", "lock"})
                if (uitest::shows(g_mainwindow, name, QStringLiteral(":/png/%1.png").arg(QLatin1String(png))))
                    shown << QLatin1String(png);
        QCOMPARE(shown, pictures);
        // The opposite state written by someone else reaches the pictures with the next refresh.
        {
            ChipWrite write;
            uitest::wr16(Ram::kLedOff, uitest::rd16(Ram::kLedOff) ^ 1);
        }
        chip_pass();
        const bool off = uitest::rd16(Ram::kLedOff) == 1;
        QVERIFY(uitest::shows(g_mainwindow, "toolButton1", off ? ":/png/en_closeled.png" : ":/png/en_uncloseled.png"));
    }
    // Every picture the main menu names at run time resolves, in every language and tool state.
    void run_time_picture_names()
    {
        for (int lang = 0; lang < 5; ++lang) {
            uitest::close_all();
            start();
            g_language = uint8_t(lang);
            g_mainwindow->language_changed();
            press("looro");    // LED off, muted
            press("ro");       // invocation armed
            press("bro");      // save armed
            press("bbloo");    // locked and back
        }
        QVERIFY2(missing_pictures().isEmpty(), qPrintable(missing_pictures().join(' ')));
    }
    // The popup marks the slot in use with its tag and rings the chosen slot in the focus colour.
    void popup_tag_and_ring()
    {
        save_slot(0);
        save_slot(5);
        uitest::wr16(Ram::kCurrentMode, 6);
        press("lorro");
        QStringList tags;
        for (QLabel *l : g_mainwindow->mode_popup()->findChildren<QLabel *>())
            if (l->text() == QLatin1String("Using"))
                tags << l->parentWidget()->parentWidget()->findChild<QPushButton *>()->objectName();
        QCOMPARE(tags, QStringList{"5"});
        const auto ringed = [](int slot) {   // the popup is rebuilt on every move
            QPushButton *b = g_mainwindow->mode_popup()->findChild<QPushButton *>(QString::number(slot));
            return b->grab().toImage().pixelColor(1, b->height() / 2) == QColor(255, 171, 84);
        };
        QVERIFY(ringed(0) && !ringed(5));
        press("r");
        QVERIFY(!ringed(0) && ringed(5));
    }
    // The tip goes by the real 10 ms tick, 300 ticks after it came.
    void tip_times_out_by_the_tick()
    {
        show_tip(TIP_DONE);
        uitest::tick(299);
        QVERIFY(g_tip->isVisible());
        uitest::tick(1);
        QVERIFY(!g_tip->isVisible() && !g_tip_flag);
    }
    void invocation_without_saved_slots_and_back_after_the_popup_went()
    {
        g_str_ip = QStringLiteral("10.1.2.3");
        uitest::para()->RAM_PARA[768] = 2;
        g_mainwindow->syncUpdate(1);
        press("lorro");
        QCOMPARE(uitest::text(g_mainwindow, QStringLiteral("label_IPaddr")), QStringLiteral("10.1.2.3"));
        QCOMPARE(g_mainwindow->mode_popup()->findChild<QLabel *>()->text(), QStringLiteral("Загрузка настроек"));
        QCOMPARE(int(g_mainwindow->popup_selection()), 0);
        const auto image = [] { return QByteArray(reinterpret_cast<const char *>(uitest::para()->RAM_PARA), Ram::kSize); };
        const QByteArray before = image();
        press("o");   // an empty slot: nothing changes, the invocation stays armed
        QVERIFY(image() == before && g_mainwindow->call_state() == 1 && g_mainwindow->popup_shown());
        QCOMPARE(g_mode[0]->styleSheet(), QStringLiteral("background-color: #00D65B;border-radius:5px;"));
        // Closing the tool row deletes the popup; the back key afterwards must not reach it.
        g_mainwindow->on_tools_clicked();
        QVERIFY(!g_mainwindow->mode_popup());
        uitest::flush();
        press("b");
        QCOMPARE(int(g_page_focus), 0);
        press("oolo");   // rebuilt when armed again
        QVERIFY(g_mainwindow->popup_shown());
    }
    void save_then_invoke()
    {
        press("lolorrro");   // save armed, right over all slots to slot 3
        // Saved, current mode 4, no request left, the page-1 refresh's tip, the save still armed.
        QCOMPARE((QList<int>{g_mode_select, uitest::rd16(866), uitest::rd16(868), g_tip_flag, g_mainwindow->save_state()}),
                 (QList<int>{3, 4, 0, 1, 1}));
        QVERIFY(uitest::para()->ZemUserModeSaved(3) && !read_dev_file(QStringLiteral("/data/modes/custom_mode4")).isEmpty());
        uitest::wr16(Ram::kLedWidth, 1234);
        press("blo");
        QCOMPARE(int(g_mainwindow->popup_selection()), 3);
        press("o");
        QVERIFY(uitest::rd16(Ram::kLedWidth) != 1234);
        QCOMPARE(file_byte(Ram::kLedWidth), int(uitest::rd16(Ram::kLedWidth) & 0xFF));
        QVERIFY(g_mainwindow->call_state() == 1 && g_mainwindow->popup_shown());
    }
    // A save whose file cannot be written shows no check mark and makes no mode current; the same
    // save once the file can be written shows it.
    void failed_save_shows_no_check_mark()
    {
        const QString slot4 = Paths::dev(QStringLiteral("/data/modes/custom_mode4"));
        QVERIFY(QDir().mkpath(slot4));
        Warnings said;
        press("lolorrro");
        QCOMPARE((QList<int>{uitest::rd16(866), uitest::rd16(868), g_tip_flag, uitest::para()->ZemUserModeSaved(3)}),
                 (QList<int>{0, 0, 0, 0}));
        QVERIFY(file_byte(866) <= 0);   // no file, or one that names no mode
        QCOMPARE(said.count(slot4 + QStringLiteral(": not saved")), 1);
        QVERIFY(QDir(slot4).removeRecursively());
        press("rrro");
        QCOMPARE((QList<int>{uitest::rd16(866), g_tip_flag, uitest::para()->ZemUserModeSaved(3), file_byte(866)}),
                 (QList<int>{4, 1, 1, 4}));
    }
    // An invocation's check mark says the parameter file holds the invoked mode: it waits for the
    // save; a file that cannot be written shows none, the failure said, until a save takes. The
    // mode the file holds already needs no write: the refresh shows the mark.
    void invocation_check_mark_follows_the_save_data()
    {
        // current: the file names slot 2's mode current already; changed: the slot holds another
        // LED width than the image.
        columns<bool, bool, bool>({"full", "current", "changed"});
        QTest::newRow("good disk") << false << false << true;
        QTest::newRow("full disk") << true << false << true;
        QTest::newRow("the mode the file holds, full disk") << true << true << false;
        QTest::newRow("the current mode, changed since, full disk") << true << true << true;
    }
    void invocation_check_mark_follows_the_save()
    {
        QFETCH(bool, full);
        QFETCH(bool, current);
        QFETCH(bool, changed);
        const uint16_t width = uitest::rd16(Ram::kLedWidth);
        save_slot(2, [changed, width](uint8_t *image) { Ram::wr16(image, Ram::kLedWidth, changed ? 1234 : width); });
        if (current) {
            uitest::wr16(Ram::kCurrentMode, 3);
            uitest::para()->ram_para_save();
            SyncUpdate::finish_writes();
        }
        const bool written = !current || changed;
        press("lorro");                     // the invocation armed, on slot 2
        uitest::press(g_mainwindow, "o");   // invoked, without the chip's pass
        Warnings said;
        RetryEvery no_retry(3600 * 1000);   // a refused save waits for the next announcement
        {
            std::unique_ptr<FullDisk> disk(full ? new FullDisk : nullptr);
            c331_manage::p_c331_manage->c331managerdeal();   // the refresh, the image handed over
            QCOMPARE(g_tip->isVisible(), !written);
            SyncUpdate::finish_writes();
        }
        QCOMPARE(g_tip->isVisible(), !full || !written);
        QCOMPARE(said.count(QStringLiteral("ram_device_info: not saved")), full && written ? 1 : 0);
        uitest::para()->ram_para_save();   // the next announcement
        SyncUpdate::finish_writes();
        QVERIFY(g_tip->isVisible());
        QCOMPARE(file_byte(Ram::kCurrentMode), 3);
        QCOMPARE(file_byte(Ram::kLedWidth), (changed ? 1234 : width) & 0xFF);
    }
    // Invocation moves over saved slots only; a touch on a slot then rebuilds the popup from inside
    // that slot button's own click handler.
    void invocation_moves_over_saved_slots_and_touch()
    {
        save_slot(2);
        save_slot(9);
        press("lorro");
        QList<int> seen{g_mainwindow->popup_selection()};
        for (QString k : {"r", "r", "l"}) {
            press(k);
            seen << g_mainwindow->popup_selection();
        }
        QCOMPARE(seen, (QList<int>{2, 9, 2, 9}));
        QPointer<QWidget> old_popup = g_mainwindow->mode_popup();
        QTest::mouseClick(old_popup->findChild<QPushButton *>(QStringLiteral("2")), Qt::LeftButton);
        QCOMPARE((QList<int>{uitest::rd16(866), g_mainwindow->popup_selection()}), (QList<int>{3, 2}));
        QVERIFY(g_mainwindow->mode_popup() != old_popup);
        uitest::flush();
        QVERIFY(old_popup.isNull() && g_mainwindow->popup_shown());
    }
    void tick_times_reboot_hold_off_and_overlay()
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
        // The upgrade overlay is stepped only while it exists.
        g_update_flag = 1;
        uitest::tick(30);   // raised before the queued start arrives
        std::thread([] { g_mainwindow->update_start(); }).join();
        QVERIFY(!g_move_update);
        QCoreApplication::processEvents();
        QVERIFY(g_move_update && g_move_update->isVisible());
        uitest::tick(25);
        QCOMPARE(g_move_update->step(), 2);
        g_mainwindow->update_over();
        QVERIFY(!g_move_update);
        uitest::tick(5);
    }
    void ageing_log()
    {
        factoryage_log.clear();
        size_t taken = 0;
        // Ticks, PC command active, FPGA running, lines after: a sample is skipped, not postponed,
        // during a command, and none is taken from an FPGA that does not run.
        for (auto [ticks, pc, running, lines] :
             {std::tuple{17999, 0, true, 0}, {1, 0, true, 1}, {18000, 1, true, 1}, {17999, 0, true, 1}, {1, 0, true, 2},
              {18000, 0, false, 2}}) {
            pc_cmd_valid = static_cast<uint8_t>(pc);
            SimLock()->fpga_running = running;
            uitest::tick(ticks);
            QCOMPARE(factoryage_log.size(), size_t(lines));
            // A sample reads the ageing register from the FPGA, not the copy the manager had.
            if (factoryage_log.size() != taken)
                QCOMPARE(factoryage_log.back().section(' ', 2, 2).toInt(), int(SimDevice::read_reg(0, 42)));
            taken = factoryage_log.size();
        }
        SimLock()->fpga_running = true;
        const QRegularExpression line(QStringLiteral("^\\d\\d-\\d\\d \\d\\d:\\d\\d \\d+ \\d+ \\d+$"));
        QVERIFY(line.match(factoryage_log.front()).hasMatch());
        // How far the ageing register moved since the oldest line picks the counter; the full log
        // drops its oldest line.
        fpga_manage *fpga = fpga_manage::p_fpga_manage;
        fpga->read_from_register(42, 0);
        const int now = fpga->MCU_REG_func[0][42];
        uint32_t *counters[] = {&factoryage_log_diff3, &factoryage_log_diff5, &factoryage_log_diff10,
                                &factoryage_log_diff20, &factoryage_log_diffmore};
        // Advance -> the counter that counts it (-1: none), each band at both its edges; 200
        // means the register wrapped.
        for (auto [advance, counter] : {std::pair{0, -1}, {1, 0}, {2, 0}, {3, 1}, {4, 1}, {5, 2}, {9, 2}, {10, 3}, {19, 3},
                                        {20, 4}, {200, 4}}) {
            factoryage_log.assign(3360, QStringLiteral("01-01 00:00 %1 0 0").arg((now - advance + 256) % 256));
            factoryage_log.front() = QStringLiteral("oldest");
            for (uint32_t *c : counters)
                *c = 0;
            g_mainwindow->getagelog();
            for (int i = 0; i < 5; ++i)
                QVERIFY2(*counters[i] == (i == counter ? 1u : 0u), qPrintable(QString::number(advance)));
            QVERIFY(factoryage_log.size() == 3360 && factoryage_log.front() != QStringLiteral("oldest"));
        }
    }
    // The key lock is part of the image that the chip thread copies, and the link threads read,
    // under the chip mutex: a touch on the lock waits for a thread holding it and never changes
    // the image under it.
    void lock_waits_for_the_chip_mutex()
    {
        QVERIFY(!uitest::image_changed_under_held_chip_mutex(
            [] { g_mainwindow->findChild<QPushButton *>(QStringLiteral("Button_lock"))->click(); }));
        QCOMPARE((QList<int>{uitest::rd16(Ram::kKeyLock), file_byte(Ram::kKeyLock)}), (QList<int>{1, 1}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
