#include "syncupdate.h"

#include <QTimer>
#include <cstring>
#include <vector>

#include "chip_request.h"
#include "file_writer.h"
#include "global.h"
#include "marked_file.h"
#include "uihooks.h"
#include "vocabulary.h"
#include "zemrampara.h"

using namespace Ram;

SyncUpdate *SyncUpdate::p_syncupdate = nullptr;

namespace {
constexpr int kRetryMs = 5;
}

SyncUpdate::SyncUpdate()
{
    connect(this, &SyncUpdate::reports_waiting, this, &SyncUpdate::take_reports, Qt::QueuedConnection);
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
    if (!refresh(code))
        return;
    write_back();
    if (UiHooks::after_sync)
        UiHooks::after_sync(code);
}

bool SyncUpdate::refresh(int code)
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
        return false;

    if (page >= PAGE_COUNT)
        ram->ZemLanguageChanged();
    else if (UiHooks::refresh_screen)
        UiHooks::refresh_screen(code);
    return true;
}

// The user-mode fields, the language byte and the copies handed to the writer are read and
// written here while other threads use the image under the chip mutex, so this runs under it. It
// is only tried: the GUI thread does not wait in a refresh while the chip, source or link thread
// holds it. The mutex is recursive, so a refresh nested in a GUI-thread writer's own hold gets it
// at once. While another thread holds it nothing is handed over, so every change is still pending
// when the event loop tries again. The hold lasts a copy of the image: the disk is the writer's.
void SyncUpdate::write_back()
{
    ZemRamPara *ram = ZemRamPara::p_zemrampara_config;
    if (!ram)
        return;
    std::unique_lock<QMutex> chip = chip_lock();
    if (!chip.owns_lock()) {
        write_back_later();
        return;
    }
    if (ram->differs16(kLanguage))
        ram->fix_language_byte();

    const uint16_t save = ram->rd16(kModeSaveRequest);
    if (save != 0 && ram->differs16(kModeSaveRequest)) {
        // The request is spent either way. The mode becomes current only once its file is
        // written (take_reports): no image on the disk names a slot that has no file.
        if (save <= 16)
            hand_over_mode(save - 1, save);
        ram->wr16(kModeSaveRequest, 0);
    }

    // Compared with what the file holds once the writer is through: an image already on its way
    // is not handed over again.
    const uint8_t *saved = m_images_out.empty() ? ram->RAM_PARA_SHADOW
                                                : reinterpret_cast<const uint8_t *>(m_images_out.back().data.constData());
    if (std::memcmp(ram->RAM_PARA + kSavedFrom, saved + kSavedFrom, kSize - kSavedFrom) != 0)
        hand_over_image();
}

void SyncUpdate::write_back_later()
{
    SyncUpdate *self = p_syncupdate;
    if (!self || self->m_write_back_queued)
        return;
    self->m_write_back_queued = true;
    QTimer::singleShot(kRetryMs, self, [self] {
        self->m_write_back_queued = false;
        self->write_back();
    });
}

void SyncUpdate::hand_over_image()
{
    const ZemRamPara *ram = ZemRamPara::p_zemrampara_config;
    const QByteArray whole(reinterpret_cast<const char *>(ram->RAM_PARA), kSize);
    const uint64_t ticket = m_next_ticket++;
    m_images_out.push_back({ticket, whole});
    FileWriter::write(ZemRamPara::image_file_path(), MarkedFile::contents(ram->RAM_PARA + kSavedFrom, kSize - kSavedFrom),
                      [this, ticket, whole](bool ok) { report({FileKind::Image, ticket, -1, ok, whole}); });
}

void SyncUpdate::hand_over_mode(int slot, uint16_t value)
{
    const ZemRamPara *ram = ZemRamPara::p_zemrampara_config;
    const QByteArray data(reinterpret_cast<const char *>(ram->RAM_PARA + kModeFrom), kModeSize);
    const uint64_t ticket = m_next_ticket++;
    m_slots[slot] = {ticket, value, ram->rd16(kCurrentMode)};
    FileWriter::write(mode_file_path(slot), MarkedFile::contents(ram->RAM_PARA + kModeFrom, kModeSize),
                      [this, ticket, slot, data](bool ok) { report({FileKind::Mode, ticket, slot, ok, data}); });
}

void SyncUpdate::remove_user_mode(int slot)
{
    ZemRamPara *ram = ZemRamPara::p_zemrampara_config;
    if (!ram || slot < 0 || slot >= ZemRamPara::kUserModes)
        return;
    QStringList files{mode_file_path(slot)};
    if (Ram::rd16(ram->user_mode[slot].data, kOsdEnable - kModeFrom) == 1)
        files << mode_osd_file_path(slot);
    ram->user_mode[slot].marker[0] = ram->user_mode[slot].marker[1] = USER_MODE_SLOT::kEmpty;
    // A save of the slot still on its way no longer counts once it is reported.
    const uint64_t ticket = m_next_ticket++;
    m_slots[slot] = {ticket, 0, 0};
    FileWriter::remove(files, [this, ticket, slot](bool ok) { report({FileKind::Removal, ticket, slot, ok, {}}); });
}

// On the writer's thread. The reports travel under a mutex of their own; the queued signal only
// tells the GUI thread that there are some.
void SyncUpdate::report(Report r)
{
    {
        std::lock_guard<std::mutex> lock(m_reports_mutex);
        m_reports.push_back(std::move(r));
        if (m_reports_posted)
            return;
        m_reports_posted = true;
    }
    emit reports_waiting();
}

// The shadow and image 866 are written under the chip mutex, which is only tried, as in
// write_back(). Reports are taken one at a time in the order the writer made them, each followed
// by what it brings on the GUI thread, so that a screen looks again at the shadow of one save
// before the next replaces it.
void SyncUpdate::take_reports()
{
    for (;;) {
        std::unique_lock<QMutex> chip = chip_lock();
        if (!chip.owns_lock()) {
            take_reports_later();
            return;
        }
        Report r;
        {
            std::lock_guard<std::mutex> lock(m_reports_mutex);
            if (m_reports.empty()) {
                m_reports_posted = false;
                return;
            }
            r = std::move(m_reports.front());
            m_reports.pop_front();
        }
        ZemRamPara *ram = ZemRamPara::p_zemrampara_config;
        if (!ram || r.ticket < m_first_ticket)
            continue;
        if (r.kind == FileKind::Image) {
            // Images handed over before this one and never reported were replaced by a newer
            // copy before the writer came to them. A copy that failed stays out: the writer tries
            // it again until it is written or replaced, so it is not handed over again meanwhile.
            std::vector<QByteArray> replaced;
            while (!m_images_out.empty() && m_images_out.front().ticket <= r.ticket) {
                if (m_images_out.front().ticket == r.ticket && !r.ok)
                    break;
                if (m_images_out.front().ticket < r.ticket)
                    replaced.push_back(m_images_out.front().data);
                m_images_out.pop_front();
            }
            std::vector<QByteArray> look_again;
            for (const QByteArray &image : replaced)
                if (changed_back(ram, image))
                    look_again.push_back(image);
            // The shadow is what the file holds: after a failed write it stays behind until a
            // retry of the copy, or a newer copy, is written.
            const bool behind = r.ok && changed_back(ram, r.data);
            if (r.ok)
                std::memcpy(ram->RAM_PARA_SHADOW, r.data.constData(), kSize);
            chip.unlock();
            for (const QByteArray &image : look_again)
                refresh_against(image);
            if (behind)
                refresh(CHANGE_PARA);
            if (r.ok)
                emit sig_image_saved();
            continue;
        }
        SlotWork &work = m_slots[r.slot];
        // A later save or a deletion of the slot speaks for it now.
        if (r.ticket != work.ticket)
            continue;
        // A failure leaves the work outstanding: the writer tries it again, and a retry that
        // makes it is reported too.
        const bool retried = work.failed;
        work.failed = !r.ok;
        if (r.ok)
            work.ticket = 0;
        if (r.kind == FileKind::Removal) {
            chip.unlock();
            // The slot shows what its files hold: the mode again while they are still there, and
            // empty once a retry has removed them.
            if (!r.ok || retried)
                ram->mode_file_deal(r.slot, 0);
            emit sig_mode_removed(r.slot, r.ok);
            continue;
        }
        bool made_current = false;
        if (r.ok) {
            ram->set_user_mode(r.slot, reinterpret_cast<const uint8_t *>(r.data.constData()));
            // A mode invoked, or a source changed, since the save was asked for stays as it is.
            if (ram->rd16(kCurrentMode) == work.current) {
                ram->wr16(kCurrentMode, work.value);
                made_current = true;
            }
        }
        chip.unlock();
        // The screen that asked for the save took the failure for its answer: a retry that
        // makes it later is the store's alone.
        if (!retried)
            emit sig_mode_saved(r.slot, r.ok);
        // The image that names the new current mode follows its file.
        if (made_current)
            write_back();
    }
}

// The screens take a field that differs from the shadow for one changed since the last save. A
// field changed and changed back while its file was being written looked unchanged to the refresh
// in between, against the shadow of the save before, though the screen still shows the change:
// once the shadow holds the change, the screen on display is to look again.
bool SyncUpdate::changed_back(const ZemRamPara *ram, const QByteArray &saved)
{
    const auto *now = reinterpret_cast<const uint8_t *>(saved.constData());
    for (int i = 0; i < kSize; ++i) {
        if (now[i] != ram->RAM_PARA_SHADOW[i] && ram->RAM_PARA[i] == ram->RAM_PARA_SHADOW[i])
            return true;
    }
    return false;
}

// A field changed and changed back while the copy that held the change waited behind another file
// was never in a file: no shadow will ever hold the change, yet the screen still shows it. It is
// shown the shadow it would have had, had that copy been written, for one refresh. The shadow is
// the GUI thread's own; no other thread reads it.
void SyncUpdate::refresh_against(const QByteArray &image)
{
    ZemRamPara *ram = ZemRamPara::p_zemrampara_config;
    const QByteArray shadow(reinterpret_cast<const char *>(ram->RAM_PARA_SHADOW), kSize);
    std::memcpy(ram->RAM_PARA_SHADOW, image.constData(), kSize);
    refresh(CHANGE_PARA);
    std::memcpy(ram->RAM_PARA_SHADOW, shadow.constData(), kSize);
}

void SyncUpdate::take_reports_later()
{
    if (m_take_queued)
        return;
    m_take_queued = true;
    QTimer::singleShot(kRetryMs, this, [this] {
        m_take_queued = false;
        take_reports();
    });
}

// In the event loop the GUI thread only tries the chip mutex and comes back for what it could not
// do. When the writes are to be finished there may be no event loop left to come back in: it
// waits for the mutex, which another thread holds only for one pass.
std::unique_lock<QMutex> SyncUpdate::chip_lock() const
{
    if (m_finishing)
        return std::unique_lock<QMutex>(ChipRequest::mutex());
    return std::unique_lock<QMutex>(ChipRequest::mutex(), std::try_to_lock);
}

void SyncUpdate::finish_writes()
{
    SyncUpdate *self = p_syncupdate;
    if (!self) {
        FileWriter::finish();
        return;
    }
    self->m_finishing = true;
    // A hand-over put off while another thread held the chip mutex is made now.
    if (self->m_write_back_queued)
        self->write_back();
    // A report may hand the image over again (a mode made current): a second round sees it
    // through, a third would only find a writer with nothing to do.
    for (int round = 0; round < 3; ++round) {
        FileWriter::finish();
        self->take_reports();
        bool outstanding = !self->m_images_out.empty();
        for (const SlotWork &w : self->m_slots)
            outstanding = outstanding || w.ticket != 0;
        if (!outstanding)
            break;
    }
    self->m_finishing = false;
}

void SyncUpdate::forget_store()
{
    FileWriter::finish();
    // A copy still failing would be written over the next store's files once the disk mends.
    FileWriter::forget_retries();
    SyncUpdate *self = p_syncupdate;
    if (!self)
        return;
    {
        std::lock_guard<std::mutex> lock(self->m_reports_mutex);
        self->m_reports.clear();
        self->m_reports_posted = false;
    }
    self->m_first_ticket = self->m_next_ticket;
    self->m_images_out.clear();
    for (SlotWork &w : self->m_slots)
        w = SlotWork();
}
