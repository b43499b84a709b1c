#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>

#include "advancedoption.h"
#include "firmware_usbgrade.h"
#include "fpga_manage.h"
#include "global.h"
#include "linkoption.h"
#include "machinestate.h"
#include "option.h"
#include "outputset.h"
#include "paths.h"
#include "ram_layout.h"
#include "rcv_recovery.h"
#include "shots.h"
#include "zemrampara.h"

namespace {

void keys(QWidget *w, std::initializer_list<int> codes)
{
    for (int code : codes) {
        QKeyEvent e(QEvent::KeyRelease, code, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

// The simulated device behind the pages that show it: the FPGA with its ports, two inputs with a
// signal, a bar code.
void device()
{
    if (!fpga_manage::p_fpga_manage)
        fpga_manage::create_for_test();
    ZemRamPara *para = ZemRamPara::p_zemrampara_config;
    for (int s = 1; s <= 2; ++s) {
        para->wr16(Ram::source_timing(s), 1920);
        para->wr16(Ram::source_timing(s) + 2, 1080);
        para->wr16(Ram::source_timing(s) + 4, 60);
    }
    g_str_barcode = QStringLiteral("K58N2409001");
}

// The folder holds exactly the named files afterwards (none: the folder is gone).
void put_files(const QString &dir, std::initializer_list<const char *> names)
{
    QDir(Paths::dev(dir)).removeRecursively();
    for (const char *name : names) {
        QDir().mkpath(Paths::dev(dir));
        QFile f(Paths::dev(dir + QLatin1String(name)));
        if (f.open(QIODevice::WriteOnly))
            f.write("data");
    }
}

void recovery_files(bool present)
{
    if (present)
        put_files(QStringLiteral("/data/rcvrecovery/"), {"port1_cards.rcv", "port2_cards.rcv"});
    else
        put_files(QStringLiteral("/data/rcvrecovery/"), {});
}

QWidget *option(std::initializer_list<int> moves)
{
    open_screen(g_option, new Option);
    keys(g_option, moves);
    return g_option;
}

QWidget *advanced(bool files, std::initializer_list<int> moves)
{
    device();
    recovery_files(files);
    open_screen(g_advancedoption, new AdvancedOption);
    keys(g_advancedoption, moves);
    return g_advancedoption;
}

QWidget *recovery(int percent)
{
    device();
    recovery_files(true);
    fpga_manage::p_fpga_manage->rcv_recovery->get_dir_file(QString::fromLatin1(rcvRecovery::kRecoveryDir));
    open_screen(g_rcv_recovery, new rcv_recovery);
    if (percent >= 0)
        show_progress(g_rcv_recovery, percent);
    return g_rcv_recovery;
}

QWidget *upgrade(bool stick)
{
    if (stick)
        put_files(QStringLiteral("/mnt/usb1/"), {"K58N_V11.02.ZEM", "K58N_FPGA.ZEMZK"});
    else
        put_files(QStringLiteral("/mnt/usb1/"), {});
    open_screen(g_firmware_usbgrade, new firmware_usbgrade);
    return g_firmware_usbgrade;
}

}

// MachineState, the setting menus, rcv_recovery and firmware_usbgrade.
void add_menus_shots(ShotList &shots)
{
    shots.push_back({QStringLiteral("machinestate"), [] {
                         device();
                         open_screen(g_machinestate, new MachineState);
                         return static_cast<QWidget *>(g_machinestate);
                     }});
    shots.push_back({QStringLiteral("option"), [] { return option({}); }});
    shots.push_back({QStringLiteral("option_smart_mapping"),
                     [] { return option({Qt::Key_F4, Qt::Key_F4}); }});
    shots.push_back({QStringLiteral("outputset"), [] {
                         ZemRamPara::p_zemrampara_config->wr16(Ram::kLedWidth, 1920);
                         ZemRamPara::p_zemrampara_config->wr16(Ram::kLedHeight, 1080);
                         open_screen(g_outputset, new OutputSet);
                         return static_cast<QWidget *>(g_outputset);
                     }});
    shots.push_back({QStringLiteral("linkoption"), [] {
                         open_screen(g_linkoption, new LinkOption);
                         keys(g_linkoption, {Qt::Key_F4});
                         return static_cast<QWidget *>(g_linkoption);
                     }});
    shots.push_back({QStringLiteral("advancedoption_no_files"),
                     [] { return advanced(false, {Qt::Key_F5, Qt::Key_F5}); }});
    shots.push_back({QStringLiteral("advancedoption_files"), [] { return advanced(true, {Qt::Key_F5}); }});
    shots.push_back({QStringLiteral("rcv_recovery"), [] { return recovery(-1); }});
    shots.push_back({QStringLiteral("rcv_recovery_progress"), [] { return recovery(40); }});
    shots.push_back({QStringLiteral("firmware_usbgrade_no_stick"), [] { return upgrade(false); }});
    shots.push_back({QStringLiteral("firmware_usbgrade_files"), [] { return upgrade(true); }});
}
