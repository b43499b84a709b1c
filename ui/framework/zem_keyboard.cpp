#include "zem_keyboard.h"

#include <QtGlobal>

#include "global.h"
#include "ram_layout.h"
#include "screen.h"
#include "zemrampara.h"

namespace {

void select_image(ZemRamPara *para, uint8_t window)
{
    const bool in_use = para->rd16(Ram::layer(window) + Ram::kLayerEnable) & Ram::kLayerEnabled;
    if (!in_use || g_image_current == window)
        return;
    g_image_current = window;
    para->test_signal(CHANGE_PARA);
}

void set_source(ZemRamPara *para, int source)
{
    para->ZemSetImageSource(0, source, g_image_current);
}

}

void zem_keyboard::update_usb_keyEvent(int key)
{
    zem_debug("\n======update_usb_keyEvent===== key = %#x\n", key);
    ZemRamPara *para = Screen::para();
    if (!para || key_lock_on())
        return;
    switch (key) {
    case Qt::Key_B: select_image(para, 0); break;
    case Qt::Key_C: select_image(para, 1); break;
    case Qt::Key_E: select_image(para, 2); break;
    case Qt::Key_F: select_image(para, 3); break;
    case Qt::Key_I: set_source(para, 3); break;
    case Qt::Key_J: set_source(para, 0); break;
    case Qt::Key_K: set_source(para, 1); break;
    case Qt::Key_L: set_source(para, 2); break;
    case Qt::Key_N: para->ZemSetImageFreeze(); break;
    case Qt::Key_P: para->ZemSetImageBlack(); break;
    default: break;
    }
}
