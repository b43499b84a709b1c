#include "c331_manage.h"

#include <cstring>

#include "chip_request.h"
#include "fpga_manage.h"
#include "global.h"
#include "ram_layout.h"
#include "simdevice.h"
#include "tarvosource.h"
#include "utils.h"
#include "wakeup.h"
#include "zemrampara.h"

c331_manage *c331_manage::p_c331_manage = nullptr;

namespace {

constexpr int kPanelWords[] = {Ram::kSpliceMode, Ram::kLedWidth, Ram::kLedHeight, Ram::kOut1W, Ram::kOut1H};
constexpr int kEdidInputs = 4;      // inputs with an EEPROM
constexpr int kLastPattern = 8;
// A request held back while the FPGA sets the LED screen up is looked at again this often.
constexpr std::chrono::milliseconds kHeldRequestPause{10};

bool differs(const uint8_t *a, const uint8_t *b, int off, int len)
{
    return std::memcmp(a + off, b + off, static_cast<size_t>(len)) != 0;
}

void load_panel(SimState &s, const uint8_t *img)
{
    s.splice = Ram::rd16(img, Ram::kSpliceMode);
    s.panel_width = Ram::rd16(img, Ram::kLedWidth);
    s.panel_height = Ram::rd16(img, Ram::kLedHeight);
    s.out1_width = Ram::rd16(img, Ram::kOut1W);
    s.out1_height = Ram::rd16(img, Ram::kOut1H);
}

// Contrast to blue gain; the brightness belongs to the LED screen, not to the chip.
void load_quality(SimState &s, const uint8_t *img)
{
    for (int i = 1; i < 8; ++i)
        s.quality[i] = Ram::rds16(img, Ram::kQuality + 2 * i);
}

}

// Chip bring-up: the chip follows the whole image once.
c331_manage::c331_manage()
{
    ZemRamPara *zp = ZemRamPara::p_zemrampara_config;
    if (zp)
        std::memcpy(m_applied, zp->RAM_PARA, sizeof m_applied);
    else
        std::memset(m_applied, 0, sizeof m_applied);
    {
        SimLock s;
        m_window_count = s->window_sets;
        load_panel(*s, m_applied);
        load_quality(*s, m_applied);
    }
    read_c331_font();
    for (int w = 0; w < Ram::kWindows; ++w)
        apply_window(m_applied, w, true);
    c331_SetPattern(m_applied[Ram::kTestPattern]);
}

c331_manage::~c331_manage() = default;

c331_manage *c331_manage::pInstance()
{
    if (!p_c331_manage)
        create_for_test()->start_thread();
    return p_c331_manage;
}

c331_manage *c331_manage::create_for_test()
{
    destroy_for_test();
    p_c331_manage = new c331_manage;
    return p_c331_manage;
}

void c331_manage::destroy_for_test()
{
    delete p_c331_manage;
    p_c331_manage = nullptr;
}

QMutex &c331_manage::mutex()
{
    return ChipRequest::mutex();
}

std::atomic<uint8_t> &c331_manage::update_request()
{
    return ChipRequest::request();
}

void c331_manage::start_thread()
{
    m_thread.start([this] { return c331managerdeal(); }, &Wakeups::chip());
}

void c331_manage::read_c331_font()
{
    SimLock s;
    font_bits.store(s->fonts & 0x0F);
}

int c331_manage::c331_SetPattern(int pattern)
{
    if (m_window_count > 1)
        return -1;
    if (pattern < 0 || pattern > kLastPattern)
        pattern = 0;
    SimLock s;
    s->pattern = pattern;
    m_pattern_gen.store(pattern != 0);
    return 0;
}

bool c331_manage::panel_changed(const uint8_t *img) const
{
    for (int off : kPanelWords)
        if (Ram::rd16(img, off) != Ram::rd16(m_applied, off))
            return true;
    return false;
}

void c331_manage::apply_window(const uint8_t *img, int w, bool take_crop)
{
    const int base = Ram::layer(w);
    const uint16_t source = Ram::rd16(img, base + Ram::kLayerSource);
    SimLock s;
    SimWindow &win = s->windows[w];
    win.enable = Ram::rd16(img, base + Ram::kLayerEnable);
    win.source = source;
    win.x = Ram::rd16(img, base + Ram::kLayerX);
    win.y = Ram::rd16(img, base + Ram::kLayerY);
    win.w = Ram::rd16(img, base + Ram::kLayerW);
    win.h = Ram::rd16(img, base + Ram::kLayerH);
    win.output = Ram::rd16(img, base + Ram::kLayerOutput);
    win.fade_in = Ram::rd16(img, Ram::kFade + Ram::kFadeStride * w);
    win.fade_out = Ram::rd16(img, Ram::kFade + Ram::kFadeStride * w + 2);
    if (!take_crop)
        return;
    const int index = source & 0xFF;
    if ((source & 0x8000) && index < Ram::kCropCount) {
        const int c = Ram::crop(index);
        win.crop_x = Ram::rd16(img, c + Ram::kCropX);
        win.crop_y = Ram::rd16(img, c + Ram::kCropY);
        win.crop_w = Ram::rd16(img, c + Ram::kCropW);
        win.crop_h = Ram::rd16(img, c + Ram::kCropH);
    } else {
        win.crop_x = win.crop_y = win.crop_w = win.crop_h = 0;
    }
}

void c331_manage::apply_changes(const uint8_t *img)
{
    if (panel_changed(img)) {
        {
            SimLock s;
            load_panel(*s, img);
            s->panel_inits++;
        }
        QMutexLocker lock(&Utils::_led_para_init_mutex);
        g_set_led_para.store(2);
        Wakeups::fpga().wake();
    }

    if (img[Ram::kTestPattern] != m_applied[Ram::kTestPattern])
        c331_SetPattern(img[Ram::kTestPattern]);

    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (fpga && Ram::rd16(img, Ram::kQBrightness) != Ram::rd16(m_applied, Ram::kQBrightness))
        fpga->set_led_brightness(Ram::rds16(img, Ram::kQBrightness));
    if (fpga && Ram::rd16(img, Ram::kLedOff) != Ram::rd16(m_applied, Ram::kLedOff))
        fpga->set_screen_on(Ram::rd16(img, Ram::kLedOff) != 1);

    if (differs(img, m_applied, Ram::kQContrast, Ram::kQBlue + 2 - Ram::kQContrast)) {
        SimLock s;
        load_quality(*s, img);
    }

    for (int w = 0; w < Ram::kWindows; ++w) {
        const int source = Ram::layer(w) + Ram::kLayerSource;
        // A crop's rectangle is taken when the window switches to it; editing the crop table
        // alone leaves a window that already shows the crop as it is.
        if (differs(img, m_applied, Ram::layer(w), Ram::kLayerStride)
            || differs(img, m_applied, Ram::kFade + Ram::kFadeStride * w, Ram::kFadeStride))
            apply_window(img, w, differs(img, m_applied, source, 2));
    }

    uint8_t edid_changed = 0;
    for (int i = 0; i < kEdidInputs; ++i) {
        if (differs(img, m_applied, Ram::edid(i), Ram::kEdidStride))
            edid_changed |= static_cast<uint8_t>(1u << i);
    }
    if (edid_changed && tarvosource::p_tarvo_source)
        tarvosource::p_tarvo_source->request_edid(edid_changed, true);
}

std::chrono::milliseconds c331_manage::c331managerdeal()
{
    bool held = false;
    if (update_request().load() != 0) {
        ZemRamPara *zp = ZemRamPara::p_zemrampara_config;
        uint8_t served = 0;
        {
            QMutexLocker lock(&mutex());
            const uint8_t value = update_request().load();
            const uint8_t *img = zp ? zp->RAM_PARA : nullptr;
            // While the FPGA is still setting the LED screen up, the panel (and the rest of the
            // request with it) waits for a later pass instead of holding the mutex.
            const bool panel_waits = img && panel_changed(img) && g_set_led_para.load() == 1;
            if (value != 0 && !panel_waits) {
                if (img) {
                    apply_changes(img);
                    std::memcpy(m_applied, img, sizeof m_applied);
                }
                update_request().store(0);
                served = value;
            }
            held = value != 0 && !served;
        }
        // Announced outside the chip mutex: on the GUI thread the refresh runs at once, and a
        // screen refreshing there may raise a new request.
        if (served && zp)
            zp->test_signal(served);
    }
    const std::chrono::milliseconds pause = held ? kHeldRequestPause : Wakeup::kUntilWoken;
    if (zemApi_IsPatternGen())
        return pause;
    // The pattern generator off: the inputs are loaded and checked.
    SimLock s;
    s->source_checks++;
    return pause;
}
