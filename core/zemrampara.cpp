#include "zemrampara.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cstring>

#include "chip_request.h"
#include "global.h"
#include "paths.h"
#include "safe_file.h"
#include "syncupdate.h"
#include "utils.h"
#include "vocabulary.h"

using namespace Ram;

ZemRamPara *ZemRamPara::p_zemrampara_config = nullptr;

namespace {
const char kImageFile[] = "/data/ram_device_info";
constexpr int kFileSize = 4096;
constexpr int kSavedSize = kSize - kSavedFrom;   // 3328
constexpr int kSlots = 16;
constexpr uint8_t kMarker = 0xAA;
constexpr uint8_t kEmpty = 0xFF;

constexpr int kSources = 6;
constexpr int kCropNumbers = 40;

bool cut_bit(int source, int number)
{
    const int bit = kCropNumbers * source + number - 1;
    return (g_cut_source_state[bit / 8] >> (bit % 8)) & 1;
}
void set_cut_bit(int source, int number)
{
    const int bit = kCropNumbers * source + number - 1;
    g_cut_source_state[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
}
bool valid_source(int source) { return source >= 0 && source < kSources; }

// The language rule: the language itself while it is offered, else the lowest one offered; with
// none of the five offered the byte's own value stands.
uint8_t offered_language(uint8_t lang)
{
    if (lang <= 4 && (g_lcd_lang_valid & (1u << lang)))
        return lang;
    for (uint8_t l = 0; l <= 4; ++l) {
        if (g_lcd_lang_valid & (1u << l))
            return l;
    }
    return lang;
}

// The parameter file and the mode files share one shape: 4096 bytes, the marker 0xAA 0xAA, the
// data, zero fill. Anything else (torn, foreign, empty, not a file) is refused, said, and `dst`
// left alone; a missing file is no fault (an empty slot, a first start).
bool read_marked_file(const QString &device_path, uint8_t *dst, int size)
{
    const QString path = Paths::dev(device_path);
    FileRead file;
    {
        QMutexLocker lock(&Utils::_file_deal_mutex);
        file = Utils::read_file_capped(path, kFileSize);
    }
    if (!file.ok())
        return false;
    const auto *b = reinterpret_cast<const uint8_t *>(file.bytes.constData());
    if (file.bytes.size() != kFileSize || b[0] != kMarker || b[1] != kMarker) {
        Utils::report_file_problem(path, file.bytes.size() != kFileSize
                                             ? QStringLiteral("not used: %1 bytes, not %2").arg(file.bytes.size()).arg(kFileSize)
                                             : QStringLiteral("not used: no valid marker"));
        return false;
    }
    Utils::file_ok(path);
    std::memcpy(dst, b + 2, size);
    return true;
}

bool write_marked_file(const QString &device_path, const uint8_t *src, int size)
{
    QByteArray bytes(kFileSize, '\0');
    bytes[0] = bytes[1] = char(kMarker);
    std::memcpy(bytes.data() + 2, src, size);
    QMutexLocker lock(&Utils::_file_deal_mutex);
    return Utils::write_file_atomic(Paths::dev(device_path), bytes);
}
}

QString mode_file_path(int slot)
{
    return QStringLiteral("/data/modes/custom_mode%1").arg(slot + 1);
}

QString mode_osd_file_path(int slot)
{
    return QStringLiteral("/data/modes/MO%1.json").arg(slot + 1, 2, 16, QLatin1Char('0'));
}

ZemRamPara::ZemRamPara()
{
    std::memset(RAM_PARA, 0, sizeof RAM_PARA);
    std::memset(RAM_PARA_SHADOW, 0, sizeof RAM_PARA_SHADOW);
    for (USER_MODE_SLOT &s : user_mode) {
        s.marker[0] = s.marker[1] = kEmpty;
        std::memset(s.data, 0, sizeof s.data);
    }
}

ZemRamPara *ZemRamPara::pInstance()
{
    if (p_zemrampara_config)
        return p_zemrampara_config;
    ZemRamPara *p = new ZemRamPara;
    p_zemrampara_config = p;
    p->load_image_file();
    // Every start begins with the test pattern off and no mode change pending.
    std::memset(p->RAM_PARA + kTestPattern, 0, 4);
    for (int k = 0; k < kLayerSlots; ++k) {
        p->RAM_PARA[kFade + kFadeStride * k] = 60;
        p->RAM_PARA[kFade + kFadeStride * k + 2] = 60;
    }
    // The first screen is built in the language the file was saved in; ZemLanguageChanged only
    // notices a byte that differs from the shadow, which a loaded one never does.
    g_language = offered_language(p->RAM_PARA[kLanguage]);
    p->fix_language_byte();
    std::memcpy(p->RAM_PARA_SHADOW, p->RAM_PARA, kSize);
    for (int slot = 0; slot < kSlots; ++slot)
        p->load_mode_file(slot);
    p->ZemCropSourceInit();
    return p;
}

void ZemRamPara::destroy_for_test()
{
    delete p_zemrampara_config;
    p_zemrampara_config = nullptr;
}

bool ZemRamPara::load_image_file()
{
    if (read_marked_file(QString::fromLatin1(kImageFile), RAM_PARA + kSavedFrom, kSavedSize))
        return true;
    // A torn or foreign file is never applied; the next save replaces it.
    std::memcpy(RAM_PARA + kSavedFrom, default_para_ramlist + 2, kSavedSize);
    return false;
}

bool ZemRamPara::save_image_file()
{
    return write_marked_file(QString::fromLatin1(kImageFile), RAM_PARA + kSavedFrom, kSavedSize);
}

bool ZemRamPara::load_mode_file(int slot)
{
    USER_MODE_SLOT &s = user_mode[slot];
    const bool ok = read_marked_file(mode_file_path(slot), s.data, kModeSize);
    s.marker[0] = s.marker[1] = ok ? kMarker : kEmpty;
    return ok;
}

bool ZemRamPara::save_mode_file(int slot)
{
    if (!ZemUserModeSaved(slot))
        return false;
    return write_marked_file(mode_file_path(slot), user_mode[slot].data, kModeSize);
}

bool ZemRamPara::save_user_mode(int slot)
{
    if (slot < 0 || slot >= kSlots)
        return false;
    // The slot takes the new data only once its file holds it: after a failed write the slot, its
    // marker and its file still agree, on the old mode or on none.
    if (!write_marked_file(mode_file_path(slot), RAM_PARA + kModeFrom, kModeSize))
        return false;
    USER_MODE_SLOT &s = user_mode[slot];
    s.marker[0] = s.marker[1] = kMarker;
    std::memcpy(s.data, RAM_PARA + kModeFrom, kModeSize);
    return true;
}

int ZemRamPara::mode_file_deal(int slot, int op)
{
    if (slot < 0 || slot >= kSlots)
        return 0;
    if (op == 1) {
        const uint8_t *d = user_mode[slot].data;
        const bool had_osd = Ram::rd16(d, kOsdEnable - kModeFrom) == 1;
        {
            QMutexLocker lock(&Utils::_file_deal_mutex);
            Utils::remove_file(Paths::dev(mode_file_path(slot)));
            if (had_osd)
                Utils::remove_file(Paths::dev(mode_osd_file_path(slot)));
        }
        Utils::system_mutex(QStringLiteral("sync"));
    }
    return load_mode_file(slot) ? 1 : 0;
}

int ZemRamPara::ZemUserModeSaved(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return 0;
    return user_mode[slot].marker[0] == kMarker && user_mode[slot].marker[1] == kMarker ? 1 : 0;
}

int ZemRamPara::ZemGetCurrentModeIndex() const
{
    const uint8_t v = RAM_PARA[kCurrentMode];
    return v < 17 ? v : 0;
}

int ZemRamPara::ZemUserModeIndex(int index, int operation) const
{
    if (index < 0)
        index = 0;
    if (index >= kSlots)
        index = kSlots - 1;
    if (operation < 0 || operation > 2)
        return 256;
    if (operation == 2 && ZemUserModeSaved(index))
        return index;
    // Operations 2 and 1 both look upwards from the slot after the index; 0 looks downwards.
    const int step = operation == 0 ? kSlots - 1 : 1;
    for (int i = 1; i <= kSlots; ++i) {
        const int slot = (index + step * i) % kSlots;
        if (ZemUserModeSaved(slot))
            return slot;
    }
    return 256;
}

int ZemRamPara::ZemLanguageChanged()
{
    if (rd16(kLanguage) == shadow16(kLanguage))
        return 0;
    g_language = offered_language(RAM_PARA[kLanguage]);
    if (g_language != RAM_PARA[kLanguage]) {
        // Refreshes call this, and a refresh may run nested in a GUI-thread writer that holds the
        // chip mutex: the byte is fixed now only when the mutex is free at once, else by the
        // change refresh's write-back as soon as it is.
        QMutex &chip = ChipRequest::mutex();
        if (chip.tryLock()) {
            fix_language_byte();
            chip.unlock();
        } else {
            SyncUpdate::write_back_later();
        }
    }
    return 1;
}

void ZemRamPara::fix_language_byte()
{
    const uint8_t lang = offered_language(RAM_PARA[kLanguage]);
    if (lang == RAM_PARA[kLanguage])
        return;
    RAM_PARA[kLanguage] = lang;
    RAM_PARA[kLanguage + 1] = 0;
}

ZemRamPara::TimingRow ZemRamPara::timing_row(int source) const
{
    TimingRow row;
    if (source < 0 || source >= kTimingRows)
        return row;
    const int off = Ram::source_timing(source);
    QMutexLocker lock(&m_rows_mutex);
    row.width = rd16(off);
    row.height = rd16(off + 2);
    row.rate = rd16(off + 4);
    return row;
}

bool ZemRamPara::timing_row_changed(int source) const
{
    if (source < 0 || source >= kTimingRows)
        return false;
    const int off = Ram::source_timing(source);
    const TimingRow row = timing_row(source);
    return row.width != shadow16(off) || row.height != shadow16(off + 2) || row.rate != shadow16(off + 4);
}

bool ZemRamPara::has_signal(int source) const
{
    const TimingRow row = timing_row(source);
    return row.width != 0 && row.height != 0 && row.rate != 0;
}

bool ZemRamPara::write_timing_rows(const TimingRow (&rows)[kTimingRows])
{
    ChipLock chip;
    QMutexLocker lock(&m_rows_mutex);
    bool changed = false;
    for (int s = 0; s < kTimingRows; ++s) {
        const int off = Ram::source_timing(s);
        const uint16_t values[3] = {rows[s].width, rows[s].height, rows[s].rate};
        for (int k = 0; k < 3; ++k) {
            if (rd16(off + 2 * k) != values[k]) {
                wr16(off + 2 * k, values[k]);
                changed = true;
            }
        }
    }
    return changed;
}

int ZemRamPara::test_signal(int code)
{
    // On the GUI thread the emit runs para_sync at once, and para_sync may reach a screen that
    // saves (test_signal again) or takes the chip mutex, which the chip thread holds while it
    // announces: holding our mutex across that direct call could deadlock. Only the queued
    // posting from other threads is serialised.
    QObject *receiver = SyncUpdate::p_syncupdate;
    QThread *gui = receiver ? receiver->thread()
                            : (QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr);
    if (!gui || QThread::currentThread() == gui) {
        emit sig_update_para(code);
    } else {
        QMutexLocker lock(&Utils::_test_signal_mutex);
        emit sig_update_para(code);
    }
    return 1;
}

int ZemRamPara::ram_para_save()
{
    return test_signal(CHANGE_PARA);
}

void ZemRamPara::ZemSetImageSource(int crop_n, int source, int window)
{
    if (window < 0 || window >= kWindows)
        return;
    ChipWrite chip;
    uint16_t word = static_cast<uint8_t>(source);
    if (crop_n >= 1) {
        ZemCropSourceInit();
        int index = kCropCount;
        CROP_PARA unused;
        ZemGetCropPara(source, crop_n, &unused, &index);
        word = index < kCropCount ? static_cast<uint16_t>(kSourceIsCrop | index) : 0;
    }
    wr16(layer(window) + kLayerSource, word);
    // A mode change still pending keeps its value; any other current mode no longer holds.
    if (!differs16(kCurrentMode))
        wr16(kCurrentMode, 0);
}

void ZemRamPara::ZemSetImageFreeze()
{
    const int w = g_image_current.load();
    if (w >= kWindows)
        return;
    ChipWrite chip;
    if (rd16(layer(w) + kLayerEnable) & kLayerEnabled)
        wr16(layer(w) + kLayerOutput, rd16(layer(w) + kLayerOutput) ^ kOutputFreeze);
}

void ZemRamPara::ZemSetImageBlack()
{
    const int w = g_image_current.load();
    if (w >= kWindows)
        return;
    ChipWrite chip;
    wr16(layer(w) + kLayerOutput, rd16(layer(w) + kLayerOutput) ^ kOutputBlack);
}

void ZemRamPara::ZemSetEDIDPara(int input, uint16_t width, uint16_t height, uint16_t rate)
{
    if (input < 0 || input >= kEdidInputs)
        return;
    ChipWrite chip;
    wr16(edid(input), width);
    wr16(edid(input) + 2, height);
    wr16(edid(input) + 4, rate);
}

int ZemRamPara::ZemGetImageSource(const uint8_t *image, uint8_t window, short *is_crop,
                                  char *crop_index, uint8_t copy_flag)
{
    if (!image || window >= kWindows)
        return 0;
    const int base = copy_flag ? kModeFrom : 0;
    const uint16_t word = Ram::rd16(image, layer(window) + kLayerSource - base);
    const int low = word & 0xFF;
    // A crop index beyond the table (a PC tool may write anything) is shown as no crop.
    if (!(word & kSourceIsCrop) || low >= kCropCount) {
        if (is_crop)
            *is_crop = 0;
        return (word & kSourceIsCrop) ? 0 : low;
    }
    if (is_crop)
        *is_crop = 1;
    if (crop_index)
        *crop_index = static_cast<char>(low);
    return image[crop(low) - base];
}

void ZemRamPara::ZemCropSourceInit()
{
    std::memset(g_cut_source_state, 0, sizeof g_cut_source_state);
    for (int i = 0; i < kCropCount; ++i) {
        const uint16_t word = rd16(crop(i) + kCropWord);
        if (!crop_in_use(word) || !valid_source(crop_source(word)) || crop_number(word) > kCropNumbers)
            continue;
        set_cut_bit(crop_source(word), crop_number(word));
    }
}

int ZemRamPara::ZemGetSourceNum(int source, int count) const
{
    if (count < 1)
        return 0;
    if (count > kCropCount)
        count = kCropCount;
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const uint16_t word = rd16(crop(i) + kCropWord);
        if (crop_in_use(word) && crop_source(word) == source)
            ++n;
    }
    return n;
}

int ZemRamPara::ZemGetCropID(int source, int n) const
{
    if (!valid_source(source) || n < 1)
        return 0;
    for (int number = 1; number <= kCropNumbers; ++number) {
        if (cut_bit(source, number) && --n == 0)
            return number;
    }
    return 0;
}

int ZemRamPara::ZemAddCropID(int source) const
{
    if (!valid_source(source))
        return 0;
    for (int number = 1; number <= kCropNumbers; ++number) {
        if (!cut_bit(source, number))
            return number;
    }
    return 0;
}

int ZemRamPara::ZemCropRank(int index) const
{
    if (index < 0 || index >= kCropCount)
        return 0;
    const uint16_t word = rd16(crop(index) + kCropWord);
    const int source = crop_source(word);
    const int number = crop_number(word);
    if (!crop_in_use(word) || !valid_source(source) || number > kCropNumbers || !cut_bit(source, number))
        return 0;
    int rank = 0;
    for (int k = 1; k <= number; ++k)
        rank += cut_bit(source, k);
    return rank;
}

void ZemRamPara::ZemGetCropPara(int source, int n, CROP_PARA *out, int *index) const
{
    if (index)
        *index = kCropCount;
    const int number = ZemGetCropID(source, n);
    if (number == 0)
        return;
    for (int i = 0; i < kCropCount; ++i) {
        const int off = crop(i);
        const uint16_t word = rd16(off + kCropWord);
        if (!crop_in_use(word) || crop_source(word) != source || crop_number(word) != number)
            continue;
        if (out) {
            out->word = word;
            out->x = rd16(off + kCropX);
            out->y = rd16(off + kCropY);
            out->w = rd16(off + kCropW);
            out->h = rd16(off + kCropH);
        }
        if (index)
            *index = i;
        return;
    }
}

void ZemRamPara::ZemAddNewCrop(int source, const CROP_PARA *crop_in)
{
    if (!crop_in || !valid_source(source))
        return;
    ZemCropSourceInit();
    const int number = ZemAddCropID(source);
    if (number == 0)
        return;
    for (int i = 0; i < kCropCount; ++i) {
        const int off = crop(i);
        if (crop_in_use(rd16(off + kCropWord)))
            continue;
        {
            ChipWrite chip;
            wr16(off + kCropWord, crop_word(number, source));
            wr16(off + kCropX, static_cast<uint16_t>(crop_in->x));
            wr16(off + kCropY, static_cast<uint16_t>(crop_in->y));
            wr16(off + kCropW, static_cast<uint16_t>(crop_in->w));
            wr16(off + kCropH, static_cast<uint16_t>(crop_in->h));
        }
        ZemCropSourceInit();
        return;
    }
}

void ZemRamPara::ZemSetCropPara(int source, int n, const CROP_PARA *crop_in)
{
    if (!crop_in)
        return;
    ZemCropSourceInit();
    int index = kCropCount;
    ZemGetCropPara(source, n, nullptr, &index);
    if (index >= kCropCount)
        return;
    const int off = crop(index);
    ChipWrite chip;
    wr16(off + kCropX, static_cast<uint16_t>(crop_in->x));
    wr16(off + kCropY, static_cast<uint16_t>(crop_in->y));
    wr16(off + kCropW, static_cast<uint16_t>(crop_in->w));
    wr16(off + kCropH, static_cast<uint16_t>(crop_in->h));
}

void ZemRamPara::ZemDeleteCrop(int source, int n)
{
    ZemCropSourceInit();
    int index = kCropCount;
    ZemGetCropPara(source, n, nullptr, &index);
    if (index >= kCropCount)
        return;
    {
        ChipWrite chip;
        free_crop_entry(index);
    }
    ZemCropSourceInit();
}

bool ZemRamPara::ZemSetCropAt(int index, uint16_t word, const CROP_PARA *crop_in)
{
    if (!crop_in || index < 0 || index >= kCropCount || !crop_in_use(word))
        return false;
    const int off = crop(index);
    // Checked under the chip mutex, where the control link writes the table too.
    ChipWrite chip;
    if (rd16(off + kCropWord) != word)
        return false;
    wr16(off + kCropX, static_cast<uint16_t>(crop_in->x));
    wr16(off + kCropY, static_cast<uint16_t>(crop_in->y));
    wr16(off + kCropW, static_cast<uint16_t>(crop_in->w));
    wr16(off + kCropH, static_cast<uint16_t>(crop_in->h));
    return true;
}

bool ZemRamPara::ZemDeleteCropAt(int index, uint16_t word)
{
    if (index < 0 || index >= kCropCount || !crop_in_use(word))
        return false;
    {
        ChipWrite chip;
        if (rd16(crop(index) + kCropWord) != word)
            return false;
        free_crop_entry(index);
    }
    ZemCropSourceInit();
    return true;
}

void ZemRamPara::free_crop_entry(int index)
{
    const uint16_t word = rd16(crop(index) + kCropWord);
    wr16(crop(index) + kCropWord, 0);
    // A window left naming the freed entry would show whatever crop is added there next, of any
    // input: it shows the whole input of the crop it had instead.
    for (int w = 0; w < kWindows; ++w) {
        const uint16_t source = rd16(layer(w) + kLayerSource);
        if ((source & kSourceIsCrop) && (source & 0xFF) == index)
            wr16(layer(w) + kLayerSource, static_cast<uint16_t>(crop_source(word)));
    }
}
