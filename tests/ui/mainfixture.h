#pragma once
// The main-window, home-screen and user-mode tests: the framework's fixture plus a fresh main
// window, the chip and FPGA managers without their threads, and the real tick.
#include <cstring>

#include "c331_manage.h"
#include "custommode.h"
#include "fpga_manage.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "ram_layout.h"
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
    g_mainwindow = new MainWindow(nullptr);
    g_mainwindow->show();
    g_page_focus = PAGE_MAINWINDOW;
    uitest::tick_hook = [] { g_mainwindow->slot_update_timer_ticks(); };
    g_update_flag = g_app_reset_flag = pc_cmd_valid = 0;
    g_delay_usbserver = 1;
    G_factoryage_ticks = G_timeTicks;
}

// One pass of the chip thread: applies a raised request and announces it (change refresh, file).
inline void chip_pass()
{
    c331_manage::p_c331_manage->c331managerdeal();
}

// Each key to the screen on top, then one chip pass, as the device would run them.
inline void press(const QVector<int> &keys)
{
    for (int k : keys) {
        QWidget *top = g_lockwindow ? static_cast<QWidget *>(g_lockwindow) : g_mainwindow;
        uitest::key(g_custommode ? g_custommode : top, k);
        chip_pass();
        uitest::flush();
    }
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
