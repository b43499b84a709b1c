#pragma once
// Shared by the tests of the menus, the device-state page and the recovery screens: key sequences
// written as letters, which of the screens are open, and a fresh device behind them.
#include <QDir>

#include "advancedoption.h"
#include "firmware_usbgrade.h"
#include "fpga_manage.h"
#include "linkoption.h"
#include "machinestate.h"
#include "outputset.h"
#include "paths.h"
#include "ram_layout.h"
#include "rcv_recovery.h"
#include "simdevice.h"
#include "uitest.h"

namespace menutest {

// l r o b m: the panel's left, right, OK, back and mode keys; L R O B M: the USB key panel's
// letters for them; !: the key lock goes on. Each key goes to the screen on display, as Qt hands
// keys to the topmost modal window.
inline void press(const QString &sequence)
{
    static const int codes[] = {Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_PowerOff, Qt::Key_Stop,
                                'S', 'R', 'Q', 'O', 'M'};
    for (QChar c : sequence) {
        if (c == QLatin1Char('!')) {
            uitest::wr16(Ram::kKeyLock, 1);
            continue;
        }
        Screen *top = screen_at(g_page_focus);
        QVERIFY2(top, qPrintable(QStringLiteral("no screen on page %1").arg(int(g_page_focus))));
        uitest::key(top->widget(), codes[QStringLiteral("lrobmLROBM").indexOf(c)]);
        uitest::flush();
    }
}

// The screens whose page pointers are set, in a fixed order.
inline QString open_screens()
{
    const std::pair<const char *, const void *> pointers[] = {
        {"option", g_option}, {"outputset", g_outputset}, {"linkoption", g_linkoption},
        {"advancedoption", g_advancedoption}, {"rcv_recovery", g_rcv_recovery},
        {"firmware_usbgrade", g_firmware_usbgrade}, {"machinestate", g_machinestate}};
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
    auto *menu = dynamic_cast<MenuPage *>(screen_at(g_page_focus));
    return menu ? menu->ui_select() : -1;
}

inline void fresh()
{
    uitest::fresh_ui();
    g_open_custommode = nullptr;
    fpga_manage::destroy_for_test();
    SimDevice::load_defaults();
    fpga_manage::create_for_test();
    g_send_para.job_word.store(0);
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

}
