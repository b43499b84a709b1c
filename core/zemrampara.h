#pragma once
#include <QMutex>
#include <QObject>
#include <cstdint>

#include "ram_layout.h"

struct CROP_PARA
{
    int word;   // ignored by the crop operations
    int x;
    int y;
    int w;
    int h;
};

// One user-mode slot: marker 0xAA 0xAA when saved (0xFF 0xFF empty), then image offsets 896..4095.
struct USER_MODE_SLOT
{
    static constexpr uint8_t kEmpty = 0xFF;
    uint8_t marker[2];
    uint8_t data[Ram::kModeSize];
};

// The parameter store: the working image, its shadow (the image as last saved) and 16 user modes.
class ZemRamPara : public QObject
{
    Q_OBJECT
public:
    static ZemRamPara *p_zemrampara_config;
    // Creates the store on first use: loads the image (factory defaults when the file is bad),
    // clears the test-pattern bytes 864..867, takes the language from byte 768 by the language
    // rule (the configuration, with the mask of offered languages, is loaded first), renews the
    // shadow, loads the user modes.
    static ZemRamPara *pInstance();
    // Drops the singleton; tests use it to start again from the files.
    static void destroy_for_test();

    uint8_t RAM_PARA[Ram::kSize];
    uint8_t RAM_PARA_SHADOW[Ram::kSize];
    static constexpr int kUserModes = 16;
    USER_MODE_SLOT user_mode[kUserModes];

    uint16_t rd16(int off) const { return Ram::rd16(RAM_PARA, off); }
    void wr16(int off, uint16_t v) { Ram::wr16(RAM_PARA, off, v); }
    uint16_t shadow16(int off) const { return Ram::rd16(RAM_PARA_SHADOW, off); }
    bool differs16(int off) const { return rd16(off) != shadow16(off); }

    // The parameter file: image offsets 768..4095 behind the marker.
    static QString image_file_path();
    // Writes the parameter file, whole and durable, on the caller's thread (start-up; the running
    // program's saves go through SyncUpdate and the FileWriter).
    bool save_image_file();

    // ---- the user modes and their files (user_modes.cpp) ----
    int ZemUserModeSaved(int slot) const;
    int ZemGetCurrentModeIndex() const;
    int ZemUserModeIndex(int index, int operation) const;
    // op 1 deletes the slot's mode (its files go through the FileWriter); any other op reads the
    // slot again from its file. 1 when the slot then holds a mode.
    int mode_file_deal(int slot, int op);
    bool save_mode_file(int slot);
    // The slot holds `data` (offsets 896..4095 of an image) as a saved mode: its file has it.
    void set_user_mode(int slot, const uint8_t *data);

    // ---- the language, the input timing rows, the announcements, the windows ----
    int ZemLanguageChanged();
    // Byte 768 made an offered language (769 then 0) when it is not one; once other threads run,
    // the caller holds the chip mutex.
    void fix_language_byte();

    // The signal timing of one source, as the source thread last wrote it (0 x 0 at 0 Hz without
    // a signal, and for an id beyond the six sources).
    struct TimingRow
    {
        uint16_t width = 0;
        uint16_t height = 0;
        uint16_t rate = 0;
        bool operator==(const TimingRow &o) const { return width == o.width && height == o.height && rate == o.rate; }
        bool operator!=(const TimingRow &o) const { return !(*this == o); }
    };
    static constexpr int kTimingRows = 6;
    TimingRow timing_row(int source) const;
    // The row has a signal: width, height and rate all nonzero.
    bool has_signal(int source) const;
    // The source thread's write of all six rows (image 256 onwards); true when one changed.
    bool write_timing_rows(const TimingRow (&rows)[kTimingRows]);

    int test_signal(int code);
    int ram_para_save();

    void ZemSetImageSource(int crop_n, int source, int window);
    void ZemSetImageFreeze();
    void ZemSetImageBlack();
    void ZemSetEDIDPara(int input, uint16_t width, uint16_t height, uint16_t rate);
    // Source id of the window; copy_flag 1 reads a user-mode slot's data (offsets 896 lower).
    static int ZemGetImageSource(const uint8_t *image, uint8_t window, short *is_crop,
                                 char *crop_index, uint8_t copy_flag);

    // ---- the crop table (crop_table.cpp) ----
    void ZemCropSourceInit();
    int ZemGetSourceNum(int source, int count) const;
    int ZemGetCropID(int source, int n) const;
    int ZemAddCropID(int source) const;
    // Rank (1..) of crop-table entry `index` among its source's crops in crop-number order, 0 when
    // the entry is not in use or missing from g_cut_source_state. The inverse of ZemGetCropPara's n.
    int ZemCropRank(int index) const;
    void ZemGetCropPara(int source, int n, CROP_PARA *out, int *index) const;
    void ZemAddNewCrop(int source, const CROP_PARA *crop);
    void ZemSetCropPara(int source, int n, const CROP_PARA *crop);
    // Deleting a crop also moves every window that shows it to the crop's whole input.
    void ZemDeleteCrop(int source, int n);
    // The crop at table index `index`, while its crop word is still `word` (a crop added or
    // deleted meanwhile renumbers the n of the two above, never this): overwrite its rectangle,
    // or delete it. False, and nothing written, when the entry holds another crop by now.
    bool ZemSetCropAt(int index, uint16_t word, const CROP_PARA *crop);
    bool ZemDeleteCropAt(int index, uint16_t word);

signals:
    void sig_update_para(int code);

private:
    ZemRamPara();
    // Image 768..4095 from the parameter file, or from the factory table when the file is bad.
    bool load_image_file();
    bool load_mode_file(int slot);
    // With the chip mutex held: marks crop-table entry `index` free and moves the windows that
    // show it to the crop's whole input. The user-mode slots keep what they hold.
    void free_crop_entry(int index);

    // The rows are written a byte at a time by the source thread while the screens read them; the
    // writer also holds the chip mutex (taken first), which the screens may not take in a refresh.
    mutable QMutex m_rows_mutex;
};

// The factory table, laid out like the parameter file: marker, then image offsets 768..4095.
extern const uint8_t (&default_para_ramlist)[Ram::kSize];

// Device paths of a slot's files; resolve them through Paths::dev.
QString mode_file_path(int slot);      // "/data/modes/custom_mode<slot+1>"
QString mode_osd_file_path(int slot);  // "/data/modes/MO<slot+1 as %02x>.json"
