#pragma once
// The tests of the screens: the framework's fixture plus either a fresh main window with the chip
// and FPGA managers (without their threads) and the real tick, or a fresh device behind the menus.
#include <QDir>
#include <cstring>

#include "advancedoption.h"
#include "c331_manage.h"
#include "custommode.h"
#include "factory.h"
#include "factoryage.h"
#include "firmware_usbgrade.h"
#include "fpga_manage.h"
#include "lcdshow.h"
#include "linkcom.h"
#include "linkoption.h"
#include "linkwlan.h"
#include "lockwindow.h"
#include "machinestate.h"
#include "mainwindow.h"
#include "option.h"
#include "othersetup.h"
#include "outputset.h"
#include "paths.h"
#include "rcv_recovery.h"
#include "simdevice.h"
#include "smartmapping.h"
#include "uitest.h"

namespace mainfx {
constexpr int L = Qt::Key_F4, R = Qt::Key_F5, OK = Qt::Key_F6, BACK = Qt::Key_PowerOff, MODE = Qt::Key_Stop;

inline void start()
{
    uitest::fresh_ui();
    delete g_mainwindow;
    c331_manage::create_for_test();
    fpga_manage::create_for_test();
    g_open_custommode = open_custommode;
    g_mainwindow = new MainWindow;
    g_mainwindow->show();
    g_page_focus = PAGE_MAINWINDOW;
    uitest::tick_hook = [] { g_mainwindow->slot_update_timer_ticks(); };
    g_update_flag = g_app_reset_flag = pc_cmd_valid = 0;
    g_delay_usbserver = 1;
    G_factoryage_ticks = G_timeTicks;
}
// The menus alone, on the simulated device's defaults.
inline void fresh()
{
    uitest::fresh_ui();
    g_open_custommode = nullptr;
    fpga_manage::destroy_for_test();
    SimDevice::load_defaults();
    fpga_manage::create_for_test();
    g_send_para.job_word.store(0);
}
// One pass of the chip thread: applies a raised request and announces it (change refresh); then
// the files are written and their outcome taken, as on a device whose disk keeps up.
inline void chip_pass()
{
    c331_manage::p_c331_manage->c331managerdeal();
    SyncUpdate::finish_writes();
}
// Keys in the shorthand of uitest::key_codes, each to the screen of the current page, as Qt hands
// keys to the topmost modal window, then the chip thread (when there is one) makes a pass, as the
// device would run them.
inline void press(const QString &sequence)
{
    for (int code : uitest::key_codes(sequence)) {
        if (code == 0) {
            uitest::wr16(Ram::kKeyLock, 1);
            continue;
        }
        Screen *top = screen_at(g_page_focus);
        QVERIFY2(top, qPrintable(QStringLiteral("no screen on page %1").arg(int(g_page_focus))));
        uitest::key(top->widget(), code);
        if (c331_manage::p_c331_manage)
            chip_pass();
        uitest::flush();
    }
}
// The screens of the menus whose page pointers are set, in a fixed order.
inline QString open_screens()
{
    const std::pair<const char *, const void *> pointers[] = {
        {"option", g_option}, {"outputset", g_outputset}, {"linkoption", g_linkoption},
        {"advancedoption", g_advancedoption}, {"rcv_recovery", g_rcv_recovery},
        {"firmware_usbgrade", g_firmware_usbgrade}, {"machinestate", g_machinestate},
        {"othersetup", g_othersetup}, {"factoryage", g_factoryage}, {"lcdshow", g_lcdshow}, {"factory", g_factory},
        {"linkcom", g_linkcom}, {"linkwlan", g_linkwlan}, {"smartmapping", g_smartmapping}};
    QStringList open;
    for (const auto &p : pointers) {
        if (p.second)
            open << p.first;
    }
    return open.join(QLatin1Char(' '));
}
// The focus index of the menu on display (-1 when no menu is).
inline int top_focus()
{
    static const QList<int> menus{PAGE_OPTION, PAGE_OUTPUTSET, PAGE_LINKOPTION, PAGE_ADVANCEDOPTION, PAGE_RCV_RECOVERY};
    Screen *top = screen_at(g_page_focus);
    return top && menus.contains(top->page()) ? top->focus_index() : -1;
}
inline void open_option(const QString &keys = QString())
{
    open_screen(g_option, new Option);
    press(keys);
}
inline void make_recovery_files(int n)
{
    QDir().mkpath(Paths::dev("/data/rcvrecovery/folder"));   // a folder is no recovery file
    for (int i = 0; i < n; ++i)
        write_dev_file(QStringLiteral("/data/rcvrecovery/card%1.rcv").arg(i), "data");
}
// Stores a saved user mode in slot s: the current image with the given changes, and its file.
inline void save_slot(int s, const std::function<void(uint8_t *image)> &edit = {})
{
    ZemRamPara *p = uitest::para();
    uint8_t image[Ram::kSize];
    std::memcpy(image, p->RAM_PARA, sizeof image);
    if (edit)
        edit(image);
    p->user_mode[s].marker[0] = p->user_mode[s].marker[1] = 0xAA;
    std::memcpy(p->user_mode[s].data, image + Ram::kModeFrom, Ram::kModeSize);
    p->save_mode_file(s);
}
// The parameter file's copy of an image offset (the file holds the marker, then 768..4095).
inline int file_byte(int image_offset)
{
    const QByteArray file = read_dev_file(QStringLiteral("/data/ram_device_info"));
    const int at = image_offset - Ram::kSavedFrom + 2;
    return at < file.size() ? static_cast<uint8_t>(file.at(at)) : -1;
}

}
