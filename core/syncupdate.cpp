#include "syncupdate.h"

#include <cstring>

#include "global.h"
#include "uihooks.h"
#include "vocabulary.h"
#include "zemrampara.h"

using namespace Ram;

SyncUpdate *SyncUpdate::p_syncupdate = nullptr;

SyncUpdate *SyncUpdate::pInstance()
{
    if (!p_syncupdate)
        p_syncupdate = new SyncUpdate;
    // Made on every call so that a store created again (tests) is connected too. Auto type: a
    // direct call on the GUI thread, queued from the chip, FPGA, source and link threads.
    connect(ZemRamPara::pInstance(), &ZemRamPara::sig_update_para, p_syncupdate, &SyncUpdate::para_sync,
            Qt::UniqueConnection);
    return p_syncupdate;
}

void SyncUpdate::para_sync(int code)
{
    ZemRamPara *ram = ZemRamPara::pInstance();

    const uint8_t page = g_page_focus.load();
    const uint8_t current = g_image_current.load();
    if (page != PAGE_IMAGELAYOUT
        && (current >= kWindows || !(ram->rd16(layer(current) + kLayerEnable) & kLayerEnabled)))
        g_image_current = 0;

    if (g_zem_keys && UiHooks::update_key_leds)
        UiHooks::update_key_leds();

    if (code == CHANGE_QUIET_105 || code == CHANGE_QUIET_106)
        return;

    if (page >= PAGE_COUNT)
        ram->ZemLanguageChanged();
    else if (UiHooks::refresh_screen)
        UiHooks::refresh_screen(code);

    const uint16_t save = ram->rd16(kModeSaveRequest);
    if (save != 0 && ram->differs16(kModeSaveRequest)) {
        // A mode whose file could not be written is not made current: 866 would name a slot that
        // has no file after the next start. The request is spent either way.
        const bool saved = save <= 16 && ram->save_user_mode(save - 1);
        if (saved)
            ram->wr16(kCurrentMode, save);
        ram->wr16(kModeSaveRequest, 0);
        if (save <= 16)
            emit sig_mode_saved(save - 1, saved);
    }

    // The shadow is what the file holds: after a failed write it stays behind, so the next
    // announcement tries again.
    if (std::memcmp(ram->RAM_PARA + kSavedFrom, ram->RAM_PARA_SHADOW + kSavedFrom, kSize - kSavedFrom) != 0
        && ram->save_image_file())
        std::memcpy(ram->RAM_PARA_SHADOW, ram->RAM_PARA, kSize);

    if (UiHooks::after_sync)
        UiHooks::after_sync(code);
}
