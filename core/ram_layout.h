#pragma once
#include <cstddef>
#include <cstdint>

// Named offsets of the 4096-byte parameter image (the control protocol's addresses 0x000-0xFFF).
// 16-bit fields are little-endian whatever the host; read and write them through rd16/wr16.
namespace Ram {

constexpr int kSize = 4096;

constexpr int kSourceTiming = 256;      // + 6*s: u16 width, height, refresh of the signal on source s
constexpr int kSourceTimingStride = 6;

constexpr int kSavedFrom = 768;         // the parameter file holds offsets 768..4095
// The parameter file and the factory table begin with a 2-byte marker: their byte file_at(off)
// holds image offset off.
constexpr int kFileMarker = 2;
constexpr int file_at(int off) { return off - kSavedFrom + kFileMarker; }
constexpr int kLanguage = 768;          // u8 (u16 language word, 769 is 0)
constexpr int kKeyLock = 772;           // u16, nonzero = panel keys locked
constexpr int kWifiOff = 774;           // u8, 1 = access point off
constexpr int kTestPattern = 864;       // u8, 0 = off
constexpr int kCurrentMode = 866;       // u16, 0 none, 1..16 = slot + 1
constexpr int kModeSaveRequest = 868;   // u16, 0 none, 1..16 = slot + 1

constexpr int kModeFrom = 896;          // a user mode holds offsets 896..4095
constexpr int kModeSize = kSize - kModeFrom;   // 3200
constexpr int kEdid = 896;              // + 6*i: EDID_PARA of input i (i16 width, height, refresh)
constexpr int kEdidStride = 6;
constexpr int kEdidInputs = 6;
constexpr int kEdidRegionSize = 480;    // 896..1375: the EDID_PARA of the inputs and the rest of their region

constexpr int kSpliceMode = 1376;       // u16, 0 none
constexpr int kLedWidth = 1378;         // u16
constexpr int kLedHeight = 1380;        // u16
constexpr int kOut1X = 1408, kOut1Y = 1410, kOut1W = 1412, kOut1H = 1414;
constexpr int kOut2X = 1416, kOut2Y = 1418, kOut2W = 1420, kOut2H = 1422;

constexpr int kCropTable = 1472;        // + 10*i, i 0..39: CROP_ITEM
constexpr int kCropStride = 10;
constexpr int kCropCount = 40;
// CROP_ITEM fields
constexpr int kCropWord = 0;            // u16: bit 15 in use, bits 8..14 number-1, low byte source id
constexpr int kCropX = 2, kCropY = 4, kCropW = 6, kCropH = 8;
// The crop word: bit 15 in use, bits 8..14 the crop number - 1 (numbers 1..40, unique within a
// source), low byte the source id.
constexpr uint16_t kCropInUse = 0x8000;
constexpr bool crop_in_use(uint16_t word) { return (word & kCropInUse) != 0; }
constexpr int crop_number(uint16_t word) { return ((word >> 8) & 0x7F) + 1; }
constexpr int crop_source(uint16_t word) { return word & 0xFF; }
constexpr uint16_t crop_word(int number, int source)
{
    return static_cast<uint16_t>(kCropInUse | ((number - 1) & 0x7F) << 8 | (source & 0xFF));
}

constexpr int kAudioWindow = 2112;      // u16 (low byte used), window 0..5 whose sound is shown
constexpr int kPixelToPixel = 2114;     // u16 summary, 1 on
constexpr int kLedOff = 2116;           // u16, 1 = LED screen off
constexpr int kSwitchEffect = 2118;     // u16 summary, 1 fade
constexpr int kOsdEnable = 2124;        // u16

constexpr int kQuality = 2176;          // QUALITY_PARA
constexpr int kQBrightness = 2176, kQContrast = 2178, kQSharpness = 2180, kQSaturation = 2182;
constexpr int kQTempType = 2184, kQRed = 2186, kQGreen = 2188, kQBlue = 2190;
constexpr int kQualitySize = 16;

constexpr int kLayers = 2272;           // + 26*w: LAYER_PARA of window w
constexpr int kLayerStride = 26;
constexpr int kWindows = 6;
constexpr int kLayerSlots = 16;
// LAYER_PARA fields
constexpr int kLayerEnable = 0;         // u16, bit 0 = enabled
constexpr int kLayerMirror = 4;
constexpr int kLayerSource = 8;         // u16: bit 15 clear source id, set crop-table index (low byte)
constexpr int kLayerX = 10, kLayerY = 12, kLayerW = 14, kLayerH = 16;
constexpr int kLayerOutput = 18;        // u16: bit 0 black, bit 1 freeze, bit 2 fade; +19 pixel to pixel
constexpr int kLayerPointToPoint = 19;  // byte: bit 0 point to point on
constexpr int kLayerAudio = 20;         // u16: bit 15 sound on
constexpr int kLayerP2PMode = 22;
// Bits of the window fields.
constexpr uint16_t kLayerEnabled = 0x0001;   // enable word
constexpr uint16_t kSourceIsCrop = 0x8000;   // source word: the low byte is a crop-table index
constexpr uint16_t kOutputBlack = 0x0001;    // output word
constexpr uint16_t kOutputFreeze = 0x0002;
constexpr uint16_t kOutputFade = 0x0004;
constexpr uint8_t kPointToPointOn = 0x01;    // point-to-point byte
constexpr uint16_t kSoundOn = 0x8000;        // audio word
constexpr uint16_t kSoundOnWord = 0x80FF;    // what the panel's sound key stores for "on"

constexpr int kFade = 2816;             // + 4*k: u16 fade-in, u16 fade-out of window slot k
constexpr int kFadeStride = 4;
constexpr int kFadeOut = 2;             // within an entry
constexpr uint8_t kFadeStandard = 60;   // low byte of every fade value at start-up and on choosing fade

constexpr int layer(int w) { return kLayers + kLayerStride * w; }
constexpr int crop(int i) { return kCropTable + kCropStride * i; }
constexpr int edid(int i) { return kEdid + kEdidStride * i; }
constexpr int source_timing(int s) { return kSourceTiming + kSourceTimingStride * s; }

inline uint16_t rd16(const uint8_t *img, int off)
{
    return static_cast<uint16_t>(img[off] | (img[off + 1] << 8));
}
inline void wr16(uint8_t *img, int off, uint16_t v)
{
    img[off] = static_cast<uint8_t>(v & 0xFF);
    img[off + 1] = static_cast<uint8_t>(v >> 8);
}
inline int16_t rds16(const uint8_t *img, int off)
{
    return static_cast<int16_t>(rd16(img, off));
}

}
