#pragma once
// Shared by the tests of the setting menus: key sequences written as letters, and a picture of
// which menu screens are open.
#include <QString>

#include "advancedoption.h"
#include "firmware_usbgrade.h"
#include "linkoption.h"
#include "machinestate.h"
#include "option.h"
#include "outputset.h"
#include "rcv_recovery.h"
#include "uitest.h"

namespace menutest {

// l r o b m: the panel's left, right, OK, back and mode keys; L R O B M: the USB key panel's
// letters for the same keys.
inline int code_of(QChar c)
{
    switch (c.unicode()) {
    case 'l': return Qt::Key_F4;
    case 'r': return Qt::Key_F5;
    case 'o': return Qt::Key_F6;
    case 'b': return Qt::Key_PowerOff;
    case 'm': return Qt::Key_Stop;
    case 'L': return 'S';
    case 'R': return 'R';
    case 'O': return 'Q';
    case 'B': return 'O';
    case 'M': return 'M';
    default: return 0;
    }
}

// Each key goes to the screen on display, as Qt hands keys to the topmost modal window.
inline void press(const QString &sequence)
{
    for (QChar c : sequence) {
        Screen *top = screen_at(g_page_focus);
        QVERIFY2(top, qPrintable(QStringLiteral("no screen on page %1").arg(int(g_page_focus))));
        uitest::key(top->widget(), code_of(c));
        uitest::flush();
    }
}

// The open menu screens, in a fixed order, by their pointers.
inline QString open_screens()
{
    QStringList open;
    if (g_option) open << "option";
    if (g_outputset) open << "outputset";
    if (g_linkoption) open << "linkoption";
    if (g_advancedoption) open << "advancedoption";
    if (g_rcv_recovery) open << "rcv_recovery";
    if (g_firmware_usbgrade) open << "firmware_usbgrade";
    if (g_machinestate) open << "machinestate";
    return open.join(QLatin1Char(' '));
}

// The focus index of the screen on display (-1 when there is none).
inline int top_focus()
{
    if (g_option && g_page_focus == PAGE_OPTION) return g_option->ui_select();
    if (g_outputset && g_page_focus == PAGE_OUTPUTSET) return g_outputset->ui_select();
    if (g_linkoption && g_page_focus == PAGE_LINKOPTION) return g_linkoption->ui_select();
    if (g_advancedoption && g_page_focus == PAGE_ADVANCEDOPTION) return g_advancedoption->ui_select();
    if (g_rcv_recovery && g_page_focus == PAGE_RCV_RECOVERY) return g_rcv_recovery->ui_select();
    return -1;
}

}
