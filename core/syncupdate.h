#pragma once
#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <cstdint>
#include <deque>
#include <mutex>

class ZemRamPara;

// The screens are reached through UiHooks (uihooks.h); core includes no screen.
// The parameter-change slot on the GUI thread: refreshes the key panel's lights and the screen on
// display, hands a pending user-mode save and the changed image to the file writer
// (file_writer.h), and takes what the writer reports: only a file that is on the disk renews the
// shadow, or makes a user mode saved and current. A file that failed is the writer's to try
// again; its later success is taken as any other.
class SyncUpdate : public QObject
{
    Q_OBJECT
public:
    static SyncUpdate *p_syncupdate;
    static SyncUpdate *pInstance();

    // Steps (5) and (6) of para_sync: the pending user-mode save, the language fix and the
    // parameter file, each handed to the file writer as a copy. Done only while the chip mutex
    // is free at once, else tried again later.
    void write_back();
    // Has write_back() tried again from the GUI thread's event loop shortly.
    static void write_back_later();

    // A user mode deleted: the slot is empty at once, and its files are removed behind whatever
    // the writer still has of the slot.
    void remove_user_mode(int slot);

    // Everything changed until now is handed to the file writer and on the disk (or failed), and
    // what the writer reported is taken, on the GUI thread: before the device reboots, before the
    // program ends, and in tests.
    static void finish_writes();
    // The store is about to be made again (tests): its files are finished, those that failed are
    // given up, and what the writer says of them afterwards is no longer taken.
    static void forget_store();

signals:
    // A pending user-mode save was carried out: `saved` false when its file could not be written.
    // Told once per save; a retry that writes the file later changes the slot without a word.
    void sig_mode_saved(int slot, bool saved);
    // A deleted user mode's files are gone (`removed`), or could not be removed and the slot
    // holds the mode again until a retry removes them (told then with `removed` true).
    void sig_mode_removed(int slot, bool removed);
    // The parameter file holds the image the shadow now holds.
    void sig_image_saved();
    // Emitted on the file writer's thread: what it says of the files waits to be taken.
    void reports_waiting();

public slots:
    void para_sync(int code);

private:
    SyncUpdate();

    // Steps (1) to (4) of para_sync; false when the code ends the call there.
    bool refresh(int code);

    enum class FileKind { Image, Mode, Removal };
    // What the writer said of one file it was handed.
    struct Report
    {
        FileKind kind = FileKind::Image;
        uint64_t ticket = 0;
        int slot = -1;
        bool ok = false;
        QByteArray data;   // the whole image, or the user mode's data, as handed over
    };
    // The save or removal of a slot the writer has not reported yet.
    struct SlotWork
    {
        uint64_t ticket = 0;        // 0: none outstanding
        uint16_t value = 0;         // the request value (slot + 1) that the mode becomes current as
        uint16_t current = 0;       // image 866 when the save was taken
        bool failed = false;        // its failure was taken; the writer tries it again
    };

    void hand_over_image();
    void hand_over_mode(int slot, uint16_t value);
    // The writer's report, queued to the GUI thread; takes every report in order.
    void report(Report r);
    void take_reports();
    void take_reports_later();
    // The image now differs from the shadow no more where `saved`, about to become the shadow,
    // differs from it.
    static bool changed_back(const ZemRamPara *ram, const QByteArray &saved);
    // A refresh of the screen on display against `image` in place of the shadow.
    void refresh_against(const QByteArray &image);

    std::unique_lock<QMutex> chip_lock() const;

    bool m_write_back_queued = false;
    bool m_finishing = false;
    bool m_take_queued = false;
    uint64_t m_next_ticket = 1;
    // Reports of files handed over before this belong to a store that is gone.
    uint64_t m_first_ticket = 1;
    // The images handed over that the writer has not reported, oldest first: the last is what
    // the file is about to hold.
    struct ImageOut
    {
        uint64_t ticket;
        QByteArray data;
    };
    std::deque<ImageOut> m_images_out;
    SlotWork m_slots[16];

    std::mutex m_reports_mutex;         // the writer's thread adds, the GUI thread takes
    std::deque<Report> m_reports;
    bool m_reports_posted = false;
};
