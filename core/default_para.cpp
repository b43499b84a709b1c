#include "zemrampara.h"

using namespace Ram;

namespace {

struct Table
{
    uint8_t b[kSize];
};

// Table byte k holds image offset 766 + k, behind the file's two marker bytes.
constexpr int at(int image_offset) { return image_offset - kSavedFrom + 2; }

constexpr void put16(Table &t, int image_offset, uint16_t v)
{
    t.b[at(image_offset)] = static_cast<uint8_t>(v & 0xFF);
    t.b[at(image_offset) + 1] = static_cast<uint8_t>(v >> 8);
}

constexpr void put_window(Table &t, int w, uint16_t source, uint16_t x, uint16_t y, uint16_t width,
                          uint16_t height)
{
    put16(t, layer(w) + kLayerEnable, 1);
    put16(t, layer(w) + kLayerSource, source);
    put16(t, layer(w) + kLayerX, x);
    put16(t, layer(w) + kLayerY, y);
    put16(t, layer(w) + kLayerW, width);
    put16(t, layer(w) + kLayerH, height);
}

constexpr Table make_table()
{
    Table t{};
    t.b[0] = 0xAA;
    t.b[1] = 0xAA;

    // Language, key lock, WiFi access point, current mode and save request all start at zero.

    for (int i = 0; i < kEdidInputs; ++i) {
        const bool uhd = i >= 4;
        put16(t, edid(i), uhd ? 3840 : 1920);
        put16(t, edid(i) + 2, uhd ? 2160 : 1080);
        put16(t, edid(i) + 4, 60);
    }

    put16(t, kSpliceMode, 0);
    put16(t, kLedWidth, 1920);
    put16(t, kLedHeight, 1080);
    put16(t, kOut1X, 0);
    put16(t, kOut1Y, 0);
    put16(t, kOut1W, 1920);
    put16(t, kOut1H, 1080);

    put16(t, kQBrightness, 100);
    put16(t, kQContrast, 50);
    put16(t, kQSharpness, 10);
    put16(t, kQSaturation, 50);
    put16(t, kQTempType, 2);
    put16(t, kQRed, 64);
    put16(t, kQGreen, 64);
    put16(t, kQBlue, 64);

    // HDMI1 on the whole screen; DVI in the lower right quarter above it.
    put_window(t, 0, 1, 0, 0, 1920, 1080);
    put16(t, layer(0) + kLayerAudio, 0x80FF);
    put_window(t, 1, 0, 960, 540, 960, 540);
    return t;
}

constexpr Table kTable = make_table();

static_assert(kTable.b[0] == 0xAA && kTable.b[1] == 0xAA, "marker");
static_assert(kTable.b[1410] == 100 && kTable.b[1418] == 2 && kTable.b[1424] == 64, "quality record");
static_assert(kTable.b[at(kLedWidth)] == (1920 & 0xFF) && kTable.b[at(kLedWidth) + 1] == (1920 >> 8), "LED width");

}

// Constant data bound at compile time: no start-up code fills it.
const uint8_t (&default_para_ramlist)[kSize] = kTable.b;
