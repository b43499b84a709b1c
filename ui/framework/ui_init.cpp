#include <QtGlobal>

#include "QRoundProgressBar.h"
#include "clock.h"
#include "global.h"
#include "numberkeyboard.h"
#include "screen.h"
#include "tip.h"
#include "uihooks.h"
#include "window_stacking.h"
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
    if (Screen *screen = screen_at(g_page_focus))
        screen->syncUpdate(code);
}

void after_sync(int code)
{
    if (Screen *screen = screen_at(g_page_focus))
        screen->refresh_done(code);
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
    install_window_stacking();
}

void reset_ui_globals()
{
    reset_globals();
    g_tip_flag = 0;
    g_qround_bar = nullptr;
    reset_number_keyboard();
    set_clock_for_test({});
}
