#pragma once
#include <QByteArray>
#include <QMutex>
#include <QStringList>
#include <cstdint>
#include <vector>

// The hardware behind the managers on a PC: the inputs, the EDID EEPROMs, the chip, the two
// FPGAs with their receiving cards. Defaults come first, then "<data root>/sim.json" may change
// them; a file that does not parse leaves the defaults.

struct SimSignal
{
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t rate = 0;
    bool present() const { return width && height && rate; }
};

struct SimCard
{
    bool placed = false;        // a mapping send gave it a position
    uint16_t x = 0;
    uint16_t y = 0;
    uint32_t mapping_state = 0;
    int saves = 0;              // save-parameters commands received
    int loaded_bytes = 0;       // mapping-file bytes received
    int recoveries = 0;         // recovery files replayed to it
    bool silent = false;        // hears nothing and never answers
    int reply_ticks = -1;       // its answer takes this long; -1: as the port's
};

struct SimWindow
{
    uint16_t enable = 0;
    uint16_t source = 0;
    uint16_t x = 0, y = 0, w = 0, h = 0;
    uint16_t output = 0;
    uint16_t crop_x = 0, crop_y = 0, crop_w = 0, crop_h = 0;   // input rectangle taken from a crop
    uint16_t fade_in = 0, fade_out = 0;
};

struct SimState
{
    // Inputs by source id; EEPROM and hot-plug line by input 0..3.
    SimSignal inputs[6];
    uint8_t eeprom[4][256] = {};
    int eeprom_writes[4] = {};
    int replugs[4] = {};

    // FPGAs
    bool fpga_running = true;
    uint8_t reg[2][256] = {};
    std::vector<SimCard> cards[16];
    uint16_t links = 0;             // bit n: output port n has its link up
    uint16_t areas[16][4] = {};     // x, y, width, height of output port n in FPGA 0's parameter RAM
    uint16_t silent_ports = 0;      // bit n: the cards of port n never answer
    uint32_t reply_ticks[16] = {};  // ticks a card of port n takes to answer
    uint8_t r42_base = 0;
    int fpga_resets = 0;
    uint8_t screen_status = 0;      // screen-control status of the LED set-up
    int led_brightness = -1;
    QStringList replayed_files;

    // Chip
    uint32_t fonts = 0x0F;
    int window_sets = 1;
    int pattern = 0;
    uint16_t splice = 0, panel_width = 0, panel_height = 0, out1_width = 0, out1_height = 0;
    int panel_inits = 0;
    int16_t quality[8] = {};
    SimWindow windows[6];
    int source_checks = 0;

    // USB key panel: plugged in or not, and the LED reports it was sent (the last one kept)
    bool key_panel = false;
    int key_led_reports = 0;
    uint8_t key_leds[5] = {};
};

class SimDevice
{
public:
    // Defaults, then sim.json at the current data root.
    static void load();
    static void load_defaults();
    // The FPGA register as the device would return it (the ageing counter follows the tick).
    static uint8_t read_reg(int fpga, int reg);
    static void write_reg(int fpga, int reg, uint8_t value);
    static int card_count(int port);
    // A frame sent to the port (or to one of its cards) at `stamp`: whether the answer is back.
    static bool port_answered(int port, uint32_t stamp);
    static bool card_answered(int port, int card, uint32_t stamp);
    // Whether the card takes the frames sent to it: its port and itself are not silent.
    static bool card_hears(const SimState &s, int port, int card);

    static constexpr uint32_t kReplyTicks = 150;

    static constexpr uint32_t kAgeingSampleTicks = 18000;
};

// Holds the simulation's lock for as long as it lives.
class SimLock
{
public:
    SimLock();
    SimState *operator->() { return m_state; }
    SimState &operator*() { return *m_state; }

private:
    QMutexLocker m_lock;
    SimState *m_state;
};

uint8_t to_bcd(int value);
