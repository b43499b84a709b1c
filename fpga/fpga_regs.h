#pragma once
#include <cstdint>

// Register numbers of the FPGAs that the managers and the screens read from the register mirror.
namespace FpgaReg {
constexpr int kControl = 0;       // bit 7 smart mapping on, bit 2 screen on
constexpr uint8_t kMappingOn = 0x80;   // in kControl
constexpr int kVersion = 28;      // FPGA 0: version (third field), then build day, month, year; BCD
constexpr int kDay = 29;
constexpr int kMonth = 30;
constexpr int kYear = 31;
constexpr int kAgeing40 = 40;     // FPGA 0: the ageing log's three values
constexpr int kAgeCounter = 42;   // an 8-bit counter; the log counts how far it advances
constexpr int kAgeing43 = 43;
constexpr int kRunning = 80;      // FPGA 0: 3 while it runs
constexpr int kLinksLow = 128;    // FPGA 0: link bits of output ports 1-8
constexpr int kLinksHigh = 144;   // FPGA 0: link bits of output ports 9-16
constexpr int kCount = 171;       // registers 171..255 do not exist
}
