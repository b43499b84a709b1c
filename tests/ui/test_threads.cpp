// The program's threads together: the chip, FPGA, source, USB and WiFi threads run as on the
// device while the GUI thread ticks, refreshes the screen on display and takes a seeded stream of
// keys; meanwhile the USB stick comes and goes, the inputs change, the FPGA stops and comes up
// again, jobs are posted, and a link thread writes and reads the image as the control protocol
// does. The ThreadSanitizer build fails the run on any unordered access; every build checks that
// the end state holds together. The run ends once it has done all it sets out to do and taken
// ZEM_THREADS_KEYS keys; ZEM_THREADS_SEED seeds it.
// Then the file writer's thread behind a disk that is slow, held or full, and the threads of a
// panel doing nothing.
#include <QElapsedTimer>
#include <QScopeGuard>
#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <random>
#include <thread>

#include "chip_request.h"
#include "file_writer.h"
#include "k58_wifi_config.h"
#include "wakeup.h"
#include "QRoundProgressBar.h"
#include "longrun.h"
#include "message_deal.h"
#include "tarvosource.h"
#include "usbserver.h"

namespace {

const int kKeys[] = {Qt::Key_F4, Qt::Key_F5, Qt::Key_F5, Qt::Key_F6, Qt::Key_F6, Qt::Key_PowerOff, Qt::Key_Stop,
                     Qt::Key_S, Qt::Key_R, Qt::Key_Q, Qt::Key_O, Qt::Key_M, Qt::Key_B, Qt::Key_C, Qt::Key_E,
                     Qt::Key_F, Qt::Key_I, Qt::Key_J, Qt::Key_K, Qt::Key_L, Qt::Key_N, Qt::Key_P, Qt::Key_A};

const QString kImage = QStringLiteral("/data/ram_device_info");

// A disk that does not answer while g_hold is set; a disk that takes 150 ms a file. Each runs on
// the writer's thread before a file is written. A held disk answers once the test lets it go, or
// once the wait's ceiling has passed: then g_disk_gave_up tells that something waited for it.
std::atomic<bool> g_hold{false}, g_disk_gave_up{false};
std::atomic<int> g_files_begun{0}, g_files_let_go{0};
void held_disk(const QString &)
{
    ++g_files_begun;
    if (!zemtest::poll_until([] { return !g_hold.load(); }))
        g_disk_gave_up = true;
    ++g_files_let_go;
}
void slow_disk(const QString &)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
}
void hold_disk()
{
    g_hold = true;
    g_disk_gave_up = false;
    g_files_begun = 0;
    g_files_let_go = 0;
}
struct Disk
{
    explicit Disk(void (*hook)(const QString &)) { FileWriter::before_file_hook = hook; }
    ~Disk()
    {
        g_hold = false;
        FileWriter::finish();
        FileWriter::before_file_hook = nullptr;
    }
};
// A file as the disk holds it now, without waiting for the writer (read_dev_file waits).
QByteArray on_disk(const QString &device_path)
{
    QFile f(Paths::dev(device_path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
uint16_t on_disk16(int image_offset)
{
    const QByteArray file = on_disk(kImage);
    const int at = image_offset - Ram::kSavedFrom + 2;
    return at + 1 < file.size() ? uint16_t(uint8_t(file[at]) | uint8_t(file[at + 1]) << 8) : 0xFFFF;
}
QByteArray shadow()
{
    return QByteArray(reinterpret_cast<const char *>(uitest::para()->RAM_PARA_SHADOW), Ram::kSize);
}
QByteArray image()
{
    ChipLock lock;
    return QByteArray(reinterpret_cast<const char *>(uitest::para()->RAM_PARA), Ram::kSize);
}

// The EDID an input presents, and the one its EDID_PARA asks for.
QByteArray presented(int input)
{
    return QByteArray(reinterpret_cast<const char *>(SimLock()->eeprom[input]), 256);
}
QByteArray asked(int input)
{
    ChipLock lock;
    const uint8_t *img = uitest::para()->RAM_PARA;
    return tarvosource::build_edid(Ram::rds16(img, Ram::edid(input)), Ram::rds16(img, Ram::edid(input) + 2),
                                   Ram::rds16(img, Ram::edid(input) + 4));
}

}

class TestThreads : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { longrun::begin("threads"); }
    void cleanupTestCase() { longrun::end(); }

    void all_threads_together()
    {
        const uint32_t seed = static_cast<uint32_t>(longrun::env("ZEM_THREADS_SEED", 20260112));
        const int least_keys = longrun::env("ZEM_THREADS_KEYS", 2000);
        SimDevice::load_defaults();
        mainfx::start();
        tarvosource::create_for_test();
        g_lcd_lang_valid = 0x1B;   // Russian is not offered: refreshes write the language back
        write_dev_file(QStringLiteral("/mnt/usb1/screen.qyfile"), QByteArray(6000, 'q'));
        write_dev_file(QStringLiteral("/data/rcvrecovery/card.rcv"), QByteArray("recovery"));
        open_screen(g_lockwindow, new LockWindow, false);

        auto usb = std::make_unique<UsbServer>();
        connect(usb.get(), &UsbServer::sig_usb_update, SyncUpdate::p_syncupdate, &SyncUpdate::para_sync);
        // Counted on the GUI thread, where the announcements of the other threads arrive queued.
        QList<int> codes, stick_codes;
        connect(uitest::para(), &ZemRamPara::sig_update_para, this, [&codes](int code) { codes << code; });
        connect(usb.get(), &UsbServer::sig_usb_update, this, [&stick_codes](int code) { stick_codes << code; });
        c331_manage::p_c331_manage->start_thread();
        fpga_manage::p_fpga_manage->start_thread();
        tarvosource::p_tarvo_source->start_thread();
        usb->start();
        K58_WIFI_CONFIG::create_for_test()->start_thread();

        // The link layer: whole-image reads and received files. The image itself is written on
        // the GUI thread (the EDID and other-settings screens, below), as in this program, whose
        // screens read it without the chip mutex.
        std::atomic<bool> stop{false};
        std::atomic<int> link_rounds{0};
        // A round of the link's for each key, so that a slow machine does as much of each.
        Wakeup link_pace;
        std::thread link;
        // Also run when a failed check returns early: no thread may outlive the test's objects.
        const auto stop_threads = [&] {
            stop = true;
            link_pace.wake();
            if (link.joinable())
                link.join();
            K58_WIFI_CONFIG::destroy_for_test();
            usb.reset();
            c331_manage::destroy_for_test();
            tarvosource::destroy_for_test();
            fpga_manage::destroy_for_test();
        };
        const auto stop_on_return = qScopeGuard(stop_threads);
        link = std::thread([&stop, &link_rounds, &link_pace, seed] {
            std::mt19937 rng(seed + 1);
            uint8_t copy[Ram::kSize];
            while (!stop) {
                {
                    ChipLock lock;
                    std::memcpy(copy, uitest::para()->RAM_PARA, sizeof copy);
                }
                if (rng() % 8 == 0)
                    message_deal::write_file_end(QStringLiteral("/data/rcvrecovery/link.rcv"), QByteArray(1 + copy[100] % 64, 'r'));
                ++link_rounds;
                link_pace.pause(Wakeup::kUntilWoken);
            }
        });

        std::mt19937 rng(seed);
        int keys = 0, jobs = 0, fpga_flips = 0;
        uint64_t fpga_passes_at_flip = 0;
        QSet<int> pages;
        const auto summary = [&] {
            const SimState s = *SimLock();
            return QStringLiteral("keys %1, pages %2, stick events %3, jobs %4, FPGA flips %5, link rounds %6, EEPROM writes %7")
                .arg(keys).arg(pages.size()).arg(stick_codes.size()).arg(jobs).arg(fpga_flips).arg(link_rounds.load())
                .arg(s.eeprom_writes[0] + s.eeprom_writes[1] + s.eeprom_writes[2] + s.eeprom_writes[3]);
        };
        // What the run sets out to do: keys on several pages, stick events, jobs, FPGA stops,
        // changes announced by the chip (1), the FPGA (11), the source (12) and the link (103)
        // threads. Each part counts up to its aim; the run has done all of it at the aims' sum.
        const auto done_so_far = [&] {
            int n = std::min(keys, least_keys) + std::min(int(pages.size()), 3) + std::min(int(stick_codes.size()), 2)
                    + std::min(jobs, 1) + std::min(fpga_flips, 2) + std::min(link_rounds.load(), 20);
            for (int code : {1, 11, 12, 103})
                n += codes.contains(code) ? 1 : 0;
            return n;
        };
        const int all_of_it = least_keys + 3 + 2 + 1 + 2 + 20 + 4;
        // However slow the machine, the run goes on for as long as it gets on: it gives up only
        // when nothing more was done for the ceiling and for more keys than any part waits for
        // (a stick event each 200, an FPGA stop each 300).
        constexpr int kKeysWithoutProgress = 1000;
        int progress = -1, keys_at_progress = 0;
        QElapsedTimer since_progress;
        for (int so_far; (so_far = done_so_far()) < all_of_it;) {
            if (so_far > progress) {
                progress = so_far;
                keys_at_progress = keys;
                since_progress.start();
            }
            QVERIFY2(since_progress.elapsed() < zemtest::kCeilingMs || keys - keys_at_progress < kKeysWithoutProgress,
                     qPrintable(QStringLiteral("not done, and no further: ") + summary()));
            uitest::key(longrun::key_target(), kKeys[rng() % std::size(kKeys)]);
            ++keys;
            link_pace.wake();
            uitest::tick(1 + static_cast<int>(rng() % 8));
            switch (rng() % 40) {
            case 0: {   // an input comes, changes or goes
                SimLock s;
                s->inputs[rng() % 4] = rng() % 3 ? SimSignal{uint16_t(rng() % 2 ? 1920 : 3840), 1080, 60} : SimSignal();
                break;
            }
            case 1:
                K58_WIFI_CONFIG::p_wifi_config->set_wifi_reset_flag();
                break;
            case 2: {   // the language, as the factory screen or a PC tool sets it
                ChipWrite write;
                uitest::para()->RAM_PARA[Ram::kLanguage] = uint8_t(rng() % 5);
                break;
            }
            case 3:   // the next tick takes an ageing sample
                G_factoryage_ticks = G_timeTicks - 18000;
                break;
            case 4:   // as the smart-mapping wizard posts its jobs
                if (g_send_para.job() == JOB_IDLE && !g_qround_bar) {
                    set_qyfile_name(QStringLiteral("/mnt/usb1/screen.qyfile"));
                    g_line_type = line_type{64, 32, 0, 0, 0, 1, 2, uint8_t(1 + rng() % 16)};
                    g_send_para.mapping_state = rng() % 2 ? 9 : 0;
                    g_send_para.job_word.store(uint16_t(std::array<int, 3>{1, 2, 4}[rng() % 3]));
                    ++jobs;
                }
                break;
            case 6:
            case 7: {   // an EDID asked for, as the EDID screen does
                const int input = static_cast<int>(rng() % 4);
                uitest::para()->ZemSetEDIDPara(input, rng() % 2 ? 1920 : 1280, rng() % 2 ? 1080 : 720,
                                              static_cast<uint16_t>(50 + rng() % 11));
                break;
            }
            case 8: {   // the access point switched off or on, as the other-settings screen does
                ChipWrite write;
                uitest::para()->RAM_PARA[Ram::kWifiOff] = uint8_t(rng() % 2);
                break;
            }
            case 5:   // a touch on the main menu's lock
                if (auto *lock = g_mainwindow->findChild<QPushButton *>(QStringLiteral("Button_lock")))
                    lock->click();
                break;
            default:
                break;
            }
            // Every few hundred keys the stick is pulled, once the listener has told it in, or put
            // back, once it has told it out; so the FPGA stops or comes up again, once its thread
            // has seen the last state. Counted in keys, so that a slow machine does as much of
            // each between them.
            if (keys % 200 == 0) {
                const QString stick = Paths::dev(QStringLiteral("/mnt/usb1"));
                const bool in = QFileInfo(stick).isDir();
                const int told = stick_codes.isEmpty() ? 0 : stick_codes.last();
                if (in && (told == UsbServer::kInserted || told == UsbServer::kMounted))
                    QDir(stick).removeRecursively();
                else if (!in && told == UsbServer::kRemoved)
                    write_dev_file(QStringLiteral("/mnt/usb1/screen.qyfile"), QByteArray(6000, 'q'));
            }
            if (keys % 300 == 0 && fpga_manage::p_fpga_manage->thread_passes() >= fpga_passes_at_flip + 2) {
                fpga_passes_at_flip = fpga_manage::p_fpga_manage->thread_passes();
                SimLock s;
                s->fpga_running = !s->fpga_running;
                ++fpga_flips;
            }
            QCoreApplication::processEvents();
            uitest::flush();
            const uint8_t page = g_page_focus;
            pages.insert(page);
            const Screen *current = page < PAGE_COUNT ? screen_at(page) : nullptr;
            QVERIFY2(current && current->widget()->isVisible(), qPrintable(QStringLiteral("key %1: page %2 has no screen").arg(keys).arg(page)));
        }

        // Quiet: the link thread ends, the FPGA runs, and every EDID asked for is presented.
        stop = true;
        link_pace.wake();
        link.join();
        // Real threads with real pauses: settling takes wall-clock time, with the tick going on.
        SimLock()->fpga_running = true;
        // The request first: the chip thread asks for the EDIDs before it clears it.
        const auto settled = [] {
            if (ChipRequest::request().load() != 0 || g_send_para.job() != JOB_IDLE)
                return false;
            for (int i = 0; i < 4; ++i)
                if (tarvosource::p_tarvo_source->edid_pending(i))
                    return false;
            return true;
        };
        // What is left to settle moves, or a job still running takes its passes: it waits out
        // ticks, which only the FPGA's passes turn into its steps. However long that is on a slow
        // machine, the wait is given up only once none of it has moved for the ceiling.
        const auto left = [] {
            QList<quint64> l{ChipRequest::request().load(), g_send_para.job_word.load()};
            for (int i = 0; i < 4; ++i)
                l << tarvosource::p_tarvo_source->edid_pending(i);
            if (g_send_para.job() != JOB_IDLE)
                l << fpga_manage::p_fpga_manage->thread_passes();
            return l;
        };
        for (QList<quint64> seen = left(); !settled();) {
            const bool moved = zemtest::wait_until([&] {
                if (settled() || left() != seen)
                    return true;
                uitest::tick(5);
                return false;
            });
            if (!moved)
                break;
            seen = left();
        }
        QVERIFY2(settled(), "the threads did not settle");
        for (int i = 0; i < 4; ++i)
            QVERIFY2(presented(i) == asked(i), qPrintable(QStringLiteral("input %1 presents an EDID it was not last asked for").arg(i)));

        stop_threads();
        QCoreApplication::processEvents();
        uitest::flush();

        // Every change reached the parameter file.
        uitest::para()->ram_para_save();
        ZEM_TRY_COMPARE(longrun::file_differs_at(), -1);

        qInfo().noquote() << summary();
    }

    // The disk stops answering: keys, the chip thread and the refreshes go on; the LED tool's
    // picture follows each key while neither the file nor the shadow moves, and no check mark is
    // shown for a user mode not yet on the disk. When the disk comes back, the latest image is in
    // the file after fewer writes than changes, and the mode is saved, current and shown done.
    // When it comes back full, everything fails: shadow, slot, current mode and check mark stay
    // as they were, and the next announcement after that puts the latest image in the file.
    void keys_go_on_while_the_disk_is_held_data()
    {
        columns<bool>({"full"});
        QTest::newRow("the disk comes back") << false;
        QTest::newRow("the disk comes back full") << true;
    }
    void keys_go_on_while_the_disk_is_held()
    {
        QFETCH(bool, full);
        mainfx::start();
        ZemRamPara *p = uitest::para();
        QVERIFY(p->save_image_file());   // as the first start leaves it
        const QByteArray file_before = on_disk(kImage), shadow_before = shadow();
        QVERIFY(file_before.size() == 4096 && p->rd16(Ram::kLedOff) == 0);
        int announced = 0;
        connect(p, &ZemRamPara::sig_update_para, this, [&announced](int) { ++announced; });
        c331_manage::p_c331_manage->start_thread();
        const auto stop_chip = qScopeGuard([] { c331_manage::destroy_for_test(); });
        FileChanges writes(Paths::dev(kImage));
        Warnings said;

        // What the full disk refused is tried again when the test says (finish_writes), never by
        // the writer's own retry between the checks.
        RetryEvery no_retry(3600 * 1000);
        hold_disk();
        Disk disk(held_disk);
        // The LED screen off, on and off, then the user mode saved in slot 3; each key handled
        // and, when it changed the image, followed by the chip thread's announcement and refresh.
        QStringList pictures;
        for (int code : uitest::key_codes(QStringLiteral("loooolorrro"))) {
            const int before = announced;
            const QByteArray image_before = image();
            uitest::key(screen_at(g_page_focus)->widget(), code);
            if (image() != image_before)
                QVERIFY(zemtest::wait_until([&] { return announced != before; }));
            if (announced != before && pictures.size() < 3)
                pictures << (uitest::shows(g_mainwindow, "toolButton1", QStringLiteral(":/png/en_closeled.png")) ? "off" : "on");
        }
        QCOMPARE(pictures, (QStringList{"off", "on", "off"}));
        // All of it while the disk still held the first file: nothing waited for the disk.
        ZEM_TRY_COMPARE(g_files_begun.load(), 1);
        QCOMPARE((QList<int>{g_files_let_go.load(), int(g_disk_gave_up.load())}), (QList<int>{0, 0}));
        QCOMPARE((QList<int>{g_tip_flag, p->ZemUserModeSaved(3), p->rd16(Ram::kCurrentMode), p->rd16(Ram::kModeSaveRequest)}),
                 (QList<int>{0, 0, 0, 0}));
        QVERIFY(shadow() == shadow_before && on_disk(kImage) == file_before);

        if (full) {
            FullDisk no_room;
            g_hold = false;
            SyncUpdate::finish_writes();
        } else {
            g_hold = false;
            SyncUpdate::finish_writes();
        }
        if (full) {
            QVERIFY(shadow() == shadow_before && on_disk(kImage) == file_before);
            QCOMPARE((QList<int>{g_tip_flag, p->ZemUserModeSaved(3), p->rd16(Ram::kCurrentMode), writes.count()}),
                     (QList<int>{0, 0, 0, 0}));
            QVERIFY(said.count(QStringLiteral(": not saved")) >= 2);
            p->ram_para_save();
            SyncUpdate::finish_writes();
        } else {
            QCOMPARE((QList<int>{g_tip_flag, p->ZemUserModeSaved(3), p->rd16(Ram::kCurrentMode), on_disk16(Ram::kCurrentMode)}),
                     (QList<int>{1, 1, 4, 4}));
            // Six hand-overs of the image (three LED keys, the save request, the mode made
            // current, and none held back) in at most three writes.
            QVERIFY2(writes.count() <= 3, qPrintable(QStringLiteral("%1 writes").arg(writes.count())));
        }
        QCOMPARE(on_disk16(Ram::kLedOff), uint16_t(1));
        QVERIFY(on_disk(kImage).mid(2, Ram::kSize - Ram::kSavedFrom)
                == QByteArray(reinterpret_cast<const char *>(p->RAM_PARA + Ram::kSavedFrom), Ram::kSize - Ram::kSavedFrom));
        QCOMPARE(std::memcmp(p->RAM_PARA, p->RAM_PARA_SHADOW, Ram::kSize), 0);
    }
    // Someone else switches the LED screen off and on again while the disk is held: the refresh
    // of the second change compares with the shadow of the save before and sees nothing to do.
    // Once the first save is reported the screen looks again and shows the screen on; so it does
    // when the copy with the screen off was replaced, waiting behind another file, and never
    // written.
    void refresh_catches_up_with_a_late_save_data()
    {
        columns<bool>({"behind_another_file"});
        QTest::newRow("written late") << false;
        QTest::newRow("replaced unwritten") << true;
    }
    void refresh_catches_up_with_a_late_save()
    {
        QFETCH(bool, behind_another_file);
        mainfx::start();
        QVERIFY(uitest::para()->save_image_file());
        const QString on = QStringLiteral(":/png/en_uncloseled.png"), off = QStringLiteral(":/png/en_closeled.png");
        hold_disk();
        Disk disk(held_disk);
        const auto change = [](int offset, uint16_t value) {
            {
                ChipWrite write;
                uitest::wr16(offset, value);
            }
            c331_manage::p_c331_manage->c331managerdeal();
        };
        if (behind_another_file) {
            change(Ram::kLedWidth, 3000);
            ZEM_TRY_COMPARE(g_files_begun.load(), 1);
        }
        QStringList shown;
        for (uint16_t led_off : {1, 0}) {
            change(Ram::kLedOff, led_off);
            shown << (uitest::shows(g_mainwindow, "toolButton1", off) ? "off" : "on");
            // The writer has taken the copy with the screen off, or waits on the file before.
            ZEM_TRY_COMPARE(g_files_begun.load(), 1);
        }
        QCOMPARE(shown, (QStringList{"off", "off"}));
        g_hold = false;
        SyncUpdate::finish_writes();
        QVERIFY(uitest::shows(g_mainwindow, "toolButton1", on));
        QCOMPARE(on_disk16(Ram::kLedOff), uint16_t(0));
    }
    // The device reboots with the last change on its disk: the reboot command waits for the
    // files, the user mode saved last and the image that makes it current included.
    void reboot_waits_for_the_last_save()
    {
        mainfx::start();
        Disk disk(slow_disk);
        {
            ChipWrite write;
            uitest::wr16(Ram::kLedWidth, 3000);
            uitest::wr16(Ram::kModeSaveRequest, 4);
        }
        c331_manage::p_c331_manage->c331managerdeal();   // announced: the files are handed over
        g_app_reset_flag = 1;
        G_reboot_tickTicks = G_timeTicks - 300;
        uitest::tick();
        g_app_reset_flag = 0;
        // Read before the shell log, which waits for the writer.
        const QList<int> on_disk_at_reboot{on_disk16(Ram::kLedWidth), on_disk16(Ram::kCurrentMode),
                                           int(on_disk(mode_file_path(3)).size())};
        QCOMPARE(shell_log().value(shell_log().size() - 1), QStringLiteral("reboot"));
        QCOMPARE(on_disk_at_reboot, (QList<int>{3000, 4, 4096}));
    }
    // The WiFi thread's pauses are its due times: the access point's steps a second apart, then
    // nothing until a restart is asked for, whose looks come 300 ticks after their stamps.
    void wifi_pauses()
    {
        uitest::fresh_ui();
        K58_WIFI_CONFIG *wifi = K58_WIFI_CONFIG::create_for_test();
        const auto gone = qScopeGuard([] { K58_WIFI_CONFIG::destroy_for_test(); });
        QList<qint64> pauses;
        const auto pass = [&](uint32_t ticks) {
            G_timeTicks += ticks;
            const auto p = wifi->wifi_pass();
            pauses << (p == Wakeup::kUntilWoken ? -1 : p.count());
        };
        for (uint32_t ticks : {0, 40, 60, 100, 100})
            pass(ticks);
        QCOMPARE(pauses, (QList<qint64>{1000, 600, 1000, 1000, -1}));
        pauses.clear();
        wifi->set_wifi_reset_flag();
        for (uint32_t ticks : {0, 299, 1, 300})
            pass(ticks);
        QCOMPARE(pauses, (QList<qint64>{3000, 10, 3000, 1000}));
        // Switched off while coming up: looked at again when its next step would be due.
        uitest::para()->RAM_PARA[Ram::kWifiOff] = 1;
        pauses.clear();
        pass(500);
        QCOMPARE(pauses, (QList<qint64>{1000}));
        QCOMPARE(wifi->ap_step(), 0);
    }
    // A panel doing nothing: the chip thread sleeps until the source thread has measured the
    // inputs, the FPGA thread searches the ports as often, and the WiFi thread, its access point
    // up, sleeps until it is asked for something. Counted against each other, not against a
    // clock: a loaded machine makes every thread slower alike.
    void idle_threads_sleep()
    {
        mainfx::start();
        tarvosource::create_for_test();
        K58_WIFI_CONFIG *wifi = K58_WIFI_CONFIG::create_for_test();
        const auto stop_threads = qScopeGuard([] {
            K58_WIFI_CONFIG::destroy_for_test();
            c331_manage::destroy_for_test();
            tarvosource::destroy_for_test();
            fpga_manage::destroy_for_test();
        });
        for (int i = 0; i < K58_WIFI_CONFIG::kApUp; ++i) {
            G_timeTicks += 100;
            wifi->wifi_pass();
        }
        QCOMPARE(wifi->ap_step(), int(K58_WIFI_CONFIG::kApUp));
        c331_manage *chip = c331_manage::p_c331_manage;
        fpga_manage *fpga = fpga_manage::p_fpga_manage;
        const int checks = SimLock()->source_checks;
        chip->start_thread();
        fpga->start_thread();
        tarvosource::p_tarvo_source->start_thread();
        wifi->start_thread();
        QVERIFY(zemtest::wait_until([] { return tarvosource::thread_passes() >= 10; }));
        // The measurements end; the chip thread's pass for the last one is over once it sleeps.
        tarvosource::stop_thread();
        ZEM_TRY_VERIFY(chip->thread_waits_for_work() && wifi->thread_waits_for_work());
        const QString counts = QStringLiteral("chip %1, FPGA %2, WiFi %3 passes, %4 measurements")
                                   .arg(chip->thread_passes()).arg(fpga->thread_passes()).arg(wifi->thread_passes())
                                   .arg(tarvosource::thread_passes());
        // No pass of the chip's set itself a time to look again: each came from work handed over.
        QVERIFY2(chip->thread_shortest_pause() == Wakeup::kUntilWoken, qPrintable(counts));
        QVERIFY2(fpga->thread_shortest_pause() == std::chrono::milliseconds(50), qPrintable(counts));
        QVERIFY2(wifi->thread_passes() == 1, qPrintable(counts));
        // Every pass of the chip's still checks the inputs.
        QCOMPARE(SimLock()->source_checks - checks, int(chip->thread_passes()));
        // Asked to restart, the WiFi thread looks at once (its pauses after that are wifi_pauses').
        wifi->set_wifi_reset_flag();
        ZEM_TRY_VERIFY(wifi->thread_passes() >= 2);
    }
};

QTEST_MAIN(TestThreads)
#include "test_threads.moc"
