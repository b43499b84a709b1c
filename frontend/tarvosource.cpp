#include "tarvosource.h"

#include <QMutex>
#include <cstring>

#include "chip_request.h"
#include "global.h"
#include "pass_thread.h"
#include "ram_layout.h"
#include "simdevice.h"
#include "utils.h"
#include "vocabulary.h"
#include "wakeup.h"
#include "zemrampara.h"

tarvosource *tarvosource::p_tarvo_source = nullptr;

namespace {

// On the heap like the manager itself: it runs until the process ends, and is never joined
// while static objects are being destroyed.
PassThread *g_source_thread = nullptr;

// Guards the EDID request and written bytes and the generations. Never held while the EEPROM is
// written, so the chip thread, which takes it under the chip mutex, never waits for an EEPROM.
QMutex g_edid_mutex;

constexpr int kInputs = 4;
constexpr int kSources = 6;
static_assert(kSources == ZemRamPara::kTimingRows, "one timing row per source");
constexpr int kEdidSize = 256;

// Blanking of the detailed timing the EDID offers: the CEA 1080p porches and syncs.
constexpr int kHFront = 88, kHSync = 44, kHBack = 148;
constexpr int kVFront = 4, kVSync = 5, kVBack = 36;
constexpr int kHBlank = kHFront + kHSync + kHBack;
constexpr int kVBlank = kVFront + kVSync + kVBack;

uint8_t checksum(const uint8_t *block)
{
    unsigned sum = 0;
    for (int i = 0; i < 127; ++i)
        sum += block[i];
    return static_cast<uint8_t>((256 - (sum & 0xFF)) & 0xFF);
}

// In units of 10 kHz, as the detailed timing carries it.
int64_t pixel_clock(int width, int height, int rate)
{
    return static_cast<int64_t>(width + kHBlank) * (height + kVBlank) * rate / 10000;
}

bool timing_fits(int width, int height, int rate)
{
    if (width < 64 || width > 4095 || height < 64 || height > 4095 || rate < 1 || rate > 240)
        return false;
    const int64_t clock = pixel_clock(width, height, rate);
    return clock >= 1 && clock <= 65535;
}

void put_detailed_timing(uint8_t *d, int width, int height, int rate)
{
    const int64_t clock = pixel_clock(width, height, rate);
    const int mm_w = 1600, mm_h = 900;
    d[0] = static_cast<uint8_t>(clock & 0xFF);
    d[1] = static_cast<uint8_t>(clock >> 8);
    d[2] = static_cast<uint8_t>(width & 0xFF);
    d[3] = static_cast<uint8_t>(kHBlank & 0xFF);
    d[4] = static_cast<uint8_t>(((width >> 8) << 4) | (kHBlank >> 8));
    d[5] = static_cast<uint8_t>(height & 0xFF);
    d[6] = static_cast<uint8_t>(kVBlank & 0xFF);
    d[7] = static_cast<uint8_t>(((height >> 8) << 4) | (kVBlank >> 8));
    d[8] = static_cast<uint8_t>(kHFront & 0xFF);
    d[9] = static_cast<uint8_t>(kHSync & 0xFF);
    d[10] = static_cast<uint8_t>(((kVFront & 0x0F) << 4) | (kVSync & 0x0F));
    d[11] = static_cast<uint8_t>(((kHFront >> 8) << 6) | ((kHSync >> 8) << 4) | ((kVFront >> 4) << 2) | (kVSync >> 4));
    d[12] = static_cast<uint8_t>(mm_w & 0xFF);
    d[13] = static_cast<uint8_t>(mm_h & 0xFF);
    d[14] = static_cast<uint8_t>(((mm_w >> 8) << 4) | (mm_h >> 8));
    d[17] = 0x1E;   // digital separate sync, both polarities positive
}

// The EDID the image asks for on an input. The EDID_PARA is copied under the chip mutex, under
// which the screens and the link threads write it.
QByteArray edid_of(const ZemRamPara *zp, int input)
{
    const int off = Ram::edid(input);
    int16_t para[3];
    {
        ChipLock chip;
        for (int k = 0; k < 3; ++k)
            para[k] = Ram::rds16(zp->RAM_PARA, off + 2 * k);
    }
    return tarvosource::build_edid(para[0], para[1], para[2]);
}

}

tarvosource *tarvosource::create_for_test()
{
    destroy_for_test();
    p_tarvo_source = new tarvosource();
    ZemRamPara *zp = ZemRamPara::p_zemrampara_config;
    QByteArray wanted[kInputs];
    for (int i = 0; zp && i < kInputs; ++i)
        wanted[i] = edid_of(zp, i);   // before the simulation's lock: the chip mutex comes first
    SimLock s;
    for (int i = 0; i < kInputs; ++i) {
        p_tarvo_source->hot_plug[i] = 1;
        // An EEPROM that does not hold the EDID the image asks for is written again.
        const bool current = zp && std::memcmp(wanted[i].constData(), s->eeprom[i], kEdidSize) == 0;
        p_tarvo_source->edid_written[i] = current ? 1 : 0;
        p_tarvo_source->edid_request[i] = current ? 0 : 1;
        p_tarvo_source->edid_generation[i] = 0;
    }
    return p_tarvo_source;
}

void tarvosource::request_edid(uint8_t inputs, bool rewrite)
{
    QMutexLocker lock(&g_edid_mutex);
    for (int i = 0; i < kInputs; ++i) {
        if (!((inputs >> i) & 1))
            continue;
        edid_request[i] = 1;
        if (rewrite) {
            edid_written[i] = 0;
            ++edid_generation[i];
        }
    }
}

bool tarvosource::edid_pending(int input) const
{
    if (input < 0 || input >= kInputs)
        return false;
    QMutexLocker lock(&g_edid_mutex);
    return edid_request[input] != 0;
}

tarvosource *tarvosource::pInstance()
{
    if (!p_tarvo_source)
        create_for_test()->start_thread();
    return p_tarvo_source;
}

void tarvosource::destroy_for_test()
{
    delete g_source_thread;
    g_source_thread = nullptr;
    delete p_tarvo_source;
    p_tarvo_source = nullptr;
}

void tarvosource::start_thread()
{
    if (!g_source_thread)
        g_source_thread = new PassThread;
    g_source_thread->start(std::chrono::milliseconds(50), [this] { source_pass(); });
}

void tarvosource::stop_thread()
{
    if (g_source_thread)
        g_source_thread->stop();
}

uint64_t tarvosource::thread_passes()
{
    return g_source_thread ? g_source_thread->passes() : 0;
}

QByteArray tarvosource::build_edid(int width, int height, int rate)
{
    if (!timing_fits(width, height, rate)) {
        width = 1920;
        height = 1080;
        rate = 60;
    }
    uint8_t b[kEdidSize] = {};
    static const uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::memcpy(b, header, sizeof header);
    b[8] = 0x68;                 // maker "ZEM"
    b[9] = 0xAD;
    b[10] = 0x58;                // product
    b[11] = 0x00;
    b[16] = 1;                   // week
    b[17] = 2026 - 1990;         // year
    b[18] = 1;                   // EDID 1.3
    b[19] = 3;
    b[20] = 0x80;                // digital input
    b[21] = 160;                 // cm
    b[22] = 90;
    b[23] = 0x78;                // gamma 2.2
    b[24] = 0x0A;                // RGB, preferred timing in the first descriptor
    static const uint8_t chroma[10] = {0xEE, 0x91, 0xA3, 0x54, 0x4C, 0x99, 0x26, 0x0F, 0x50, 0x54};
    std::memcpy(b + 25, chroma, sizeof chroma);
    for (int i = 38; i < 54; ++i)
        b[i] = 0x01;             // no standard timings
    put_detailed_timing(b + 54, width, height, rate);

    uint8_t *name = b + 72;      // monitor name
    name[3] = 0xFC;
    static const char text[13] = {'Z', 'E', 'M', ' ', 'K', '5', '8', 'N', '\n', ' ', ' ', ' ', ' '};
    std::memcpy(name + 5, text, sizeof text);

    uint8_t *range = b + 90;     // range limits
    range[3] = 0xFD;
    range[5] = 24;
    range[6] = 240;
    range[7] = 15;
    range[8] = 255;
    range[9] = 60;               // 600 MHz
    range[11] = 0x0A;
    for (int i = 12; i < 18; ++i)
        range[i] = 0x20;

    b[108 + 3] = 0x10;           // dummy descriptor
    b[126] = 1;                  // one extension
    b[127] = checksum(b);

    uint8_t *ext = b + 128;      // CEA extension with the HDMI vendor block, no timings of its own
    static const uint8_t cea[10] = {0x02, 0x03, 10, 0x00, 0x65, 0x03, 0x0C, 0x00, 0x10, 0x00};
    std::memcpy(ext, cea, sizeof cea);
    ext[127] = checksum(ext);
    return QByteArray(reinterpret_cast<const char *>(b), kEdidSize);
}

// A request made while the EEPROM is being written must not be taken for served: the EEPROM is
// counted as written only when no request came in since its contents were chosen.
void tarvosource::serve_edid(int input)
{
    uint32_t generation;
    bool replug;
    {
        QMutexLocker lock(&g_edid_mutex);
        if (edid_request[input] != 1)
            return;
        generation = edid_generation[input];
        replug = edid_written[input] != 0;
        if (replug)
            edid_request[input] = 0;
    }
    if (replug) {
        hot_plug[input] = 0;
        replug_stamp[input] = G_timeTicks.load();
        SimLock s;
        s->replugs[input]++;
        return;
    }
    ZemRamPara *zp = ZemRamPara::p_zemrampara_config;
    if (!zp)
        return;
    const QByteArray edid = edid_of(zp, input);
    bool verified;
    {
        SimLock s;
        std::memcpy(s->eeprom[input], edid.constData(), kEdidSize);
        s->eeprom_writes[input]++;
        // Only an EEPROM that reads back what was written counts as written.
        verified = std::memcmp(s->eeprom[input], edid.constData(), kEdidSize) == 0;
    }
    QMutexLocker lock(&g_edid_mutex);
    if (verified && edid_generation[input] == generation)
        edid_written[input] = 1;
}

void tarvosource::write_timing_rows()
{
    ZemRamPara *zp = ZemRamPara::p_zemrampara_config;
    ZemRamPara::TimingRow rows[ZemRamPara::kTimingRows];
    for (int src = 0; src < kSources; ++src) {
        SimSignal sig = SimLock()->inputs[src];
        // While its hot-plug line is low the source is re-reading the EDID and sends nothing.
        if (!sig.present() || (src < kInputs && !hot_plug[src]))
            sig = SimSignal();
        const uint16_t row[3] = {sig.width, sig.height, sig.rate};
        const bool live = sig.present();
        if (src < kInputs) {
            input_stable[src] = (live && std::memcmp(row, timing[src], sizeof row) == 0) ? 1 : 0;
            input_signal[src] = live ? 1 : 0;
        }
        std::memcpy(timing[src], row, sizeof row);
        rows[src] = {sig.width, sig.height, sig.rate};
    }
    if (zp && zp->write_timing_rows(rows))
        zp->test_signal(CHANGE_SOURCE_TIMING);
}

void tarvosource::source_pass()
{
    for (int i = 0; i < kInputs; ++i) {
        serve_edid(i);
        if (!hot_plug[i] && Utils::getTimeSpace(replug_stamp[i]) >= kReplugTicks)
            hot_plug[i] = 1;
    }
    write_timing_rows();
    // The chip loads and checks its inputs after every measurement, not in between.
    Wakeups::chip().wake();
}
