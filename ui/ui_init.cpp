#include <QtGlobal>

#include "global.h"
#include "screen.h"
#include "tip.h"
#include "ui_hooks.h"
#include "zem_keyboard.h"

// Q_INIT_RESOURCE must be used outside any namespace; a static library's resources are otherwise
// dropped by the linker.
static void init_resources()
{
    Q_INIT_RESOURCE(resources);
}

void ui_init_resources()
{
    init_resources();
}

namespace {

void refresh_screen(int code)
{
    const uint8_t page = g_page_focus;
    if (Screen *screen = screen_at(page))
        screen->syncUpdate(code);
    if (page == PAGE_LINKOPTION)
        show_tip(1);
    // The USB stick's arrival, removal and reading, told on the two pages that read it.
    if (page == PAGE_SMARTMAPPING || page == PAGE_FIRMWARE_USBGRADE) {
        if (code == 100)
            show_tip(3);
        else if (code == 101)
            show_tip(4);
        else if (code == 102)
            show_tip(5);
    }
}

void after_sync(int)
{
    if (g_page_focus == PAGE_LINKOPTION)
        show_tip(1);
}

void page_language_changed(uint8_t page)
{
    if (Screen *screen = screen_at(page))
        screen->language_changed();
}

void page_back(uint8_t page)
{
    if (Screen *screen = screen_at(page))
        screen->back();
}

}

void ui_init()
{
    ui_init_resources();
    UiHooks::refresh_screen = refresh_screen;
    UiHooks::update_key_leds = zem_keys_update_leds;
    UiHooks::after_sync = after_sync;
    UiHooks::page_language_changed = page_language_changed;
    UiHooks::page_back = page_back;
}
