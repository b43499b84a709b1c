#include "syncupdate.h"

#include <QTimer>
#include <cstring>
#include <mutex>

#include "chip_request.h"
#include "global.h"
#include "uihooks.h"
#include "vocabulary.h"
#include "zemrampara.h"

using namespace Ram;

SyncUpdate *SyncUpdate::p_syncupdate = nullptr;

namespace {
constexpr int kWriteBackRetryMs = 5;
}

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

    write_back();

    if (UiHooks::after_sync)
        UiHooks::after_sync(code);
}

// The user-mode fields, the language byte and the shadow (a copy of the whole image, timing rows
// included) are touched here while other threads use the image under the chip mutex, so this runs
// under it. It is only tried: the GUI thread does not wait in a refresh while the chip, source or
// link thread holds it. The mutex is recursive, so a refresh nested in a GUI-thread writer's own
// hold gets it at once. While another thread holds it nothing is written and the shadow stays as
// it was, so every change is still pending when the event loop tries again.
void SyncUpdate::write_back()
{
    ZemRamPara *ram = ZemRamPara::p_zemrampara_config;
    if (!ram)
        return;
    int mode_slot = -1;
    bool mode_saved = false;
    {
        std::unique_lock<QMutex> chip(ChipRequest::mutex(), std::try_to_lock);
        if (!chip.owns_lock()) {
            write_back_later();
            return;
        }
        if (ram->differs16(kLanguage))
            ram->fix_language_byte();

        const uint16_t save = ram->rd16(kModeSaveRequest);
        if (save != 0 && ram->differs16(kModeSaveRequest)) {
            // A mode whose file could not be written is not made current: 866 would name a slot
            // that has no file after the next start. The request is spent either way.
            mode_saved = save <= 16 && ram->save_user_mode(save - 1);
            if (mode_saved)
                ram->wr16(kCurrentMode, save);
            ram->wr16(kModeSaveRequest, 0);
            if (save <= 16)
                mode_slot = save - 1;
        }

        // The shadow is what the file holds: after a failed write it stays behind, so the next
        // announcement tries again.
        if (std::memcmp(ram->RAM_PARA + kSavedFrom, ram->RAM_PARA_SHADOW + kSavedFrom, kSize - kSavedFrom) != 0
            && ram->save_image_file())
            std::memcpy(ram->RAM_PARA_SHADOW, ram->RAM_PARA, kSize);
    }
    if (mode_slot >= 0)
        emit sig_mode_saved(mode_slot, mode_saved);
}

void SyncUpdate::write_back_later()
{
    SyncUpdate *self = p_syncupdate;
    if (!self || self->m_write_back_queued)
        return;
    self->m_write_back_queued = true;
    QTimer::singleShot(kWriteBackRetryMs, self, [self] {
        self->m_write_back_queued = false;
        self->write_back();
    });
}
