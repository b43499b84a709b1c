#pragma once
#include <cstdint>
#include <functional>

// The user interface's entry points for the layers below it, which know no screen. ui_init()
// (and MainWindow for the upgrade overlay) fills them in; each is called on the GUI thread only,
// and does nothing while unset.
namespace UiHooks {

// SyncUpdate step (4): the screen whose page is in g_page_focus refreshes (tips included).
extern void (*refresh_screen)(int code);
// SyncUpdate step (2): the USB key panel's lights follow the image.
extern void (*update_key_leds)();
// The last step of SyncUpdate, after the save (page 10 shows tip 1 again).
extern void (*after_sync)(int code);
// language_changed() of the screen open on `page`, when one is.
extern void (*page_language_changed)(uint8_t page);
// The back path of the screen open on `page`, when one is (the USB stick leaving the Setting
// menu, a received file leaving the smart-mapping screen).
extern void (*page_back)(uint8_t page);
// The upgrade overlay (MainWindow::update_start / update_over).
extern void (*firmware_update_start)();
extern void (*firmware_update_over)();

// Runs `work` on the GUI thread: at once when called there, otherwise queued. Work posted from
// another thread must re-check its conditions (page, pointer) when it runs.
void on_gui_thread(std::function<void()> work);

}
