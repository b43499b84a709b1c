#include "zemrampara.h"

#include <QCoreApplication>
#include <QThread>

#include <cstring>

#include "chip_request.h"
#include "global.h"
#include "marked_file.h"
#include "syncupdate.h"
#include "utils.h"
#include "vocabulary.h"

using namespace Ram;

ZemRamPara *ZemRamPara::p_zemrampara_config = nullptr;

namespace {
const char kImageFile[] = "/data/ram_device_info";
constexpr int kSavedSize = kSize - kSavedFrom;   // 3328

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

}

ZemRamPara::ZemRamPara()
{
    std::memset(RAM_PARA, 0, sizeof RAM_PARA);
    std::memset(RAM_PARA_SHADOW, 0, sizeof RAM_PARA_SHADOW);
    for (USER_MODE_SLOT &s : user_mode) {
        s.marker[0] = s.marker[1] = USER_MODE_SLOT::kEmpty;
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
    for (int slot = 0; slot < kUserModes; ++slot)
        p->load_mode_file(slot);
    p->ZemCropSourceInit();
    return p;
}

void ZemRamPara::destroy_for_test()
{
    SyncUpdate::forget_store();
    delete p_zemrampara_config;
    p_zemrampara_config = nullptr;
}

bool ZemRamPara::load_image_file()
{
    if (MarkedFile::read(image_file_path(), RAM_PARA + kSavedFrom, kSavedSize))
        return true;
    // A torn or foreign file is never applied; the next save replaces it.
    std::memcpy(RAM_PARA + kSavedFrom, default_para_ramlist + 2, kSavedSize);
    return false;
}

QString ZemRamPara::image_file_path()
{
    return QString::fromLatin1(kImageFile);
}

bool ZemRamPara::save_image_file()
{
    return MarkedFile::write(image_file_path(), RAM_PARA + kSavedFrom, kSavedSize);
}

int ZemRamPara::ZemLanguageChanged()
{
    if (rd16(kLanguage) == shadow16(kLanguage))
        return 0;
    g_language = offered_language(RAM_PARA[kLanguage]);
    if (g_language != RAM_PARA[kLanguage]) {
        // Refreshes call this, and a refresh does not wait for another thread's hold of the chip
        // mutex: the byte is fixed now when the mutex is had at once (always inside the GUI
        // thread's own hold, the mutex being recursive), else by the change refresh's write-back
        // as soon as it is free.
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
