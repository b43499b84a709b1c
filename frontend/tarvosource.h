#pragma once
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// The input-source manager. A plain record with a fixed, standard layout (the EDID bytes at 12..19
// are the ones a PC tool reads by offset); its thread and its EDID lock live beside it in
// tarvosource.cpp.
class tarvosource
{
public:
    static tarvosource *p_tarvo_source;
    // Creates the manager and starts the source thread.
    static tarvosource *pInstance();
    // Creates the manager without its thread; tests drive source_pass() themselves.
    static tarvosource *create_for_test();
    static void destroy_for_test();

    uint8_t input_signal[4];    // 0: the input has a signal, by input 0..3
    uint8_t input_stable[4];    // 4: the signal has kept its timing for a pass
    uint8_t hot_plug[4];        // 8: hot-plug line, 1 high, 0 low while the input is re-plugged
    uint8_t edid_request[4];    // 12: EDID to be presented again on input i
    uint8_t edid_written[4];    // 16: the requested EDID is in input i's EEPROM
    uint16_t timing[6][3];      // last rows written to the image, by source id
    uint32_t replug_stamp[4];   // when the hot-plug line went low
    uint32_t edid_generation[4];   // requests made on input i so far

    // The one way to ask for an input's EDID again (bit i: input i): with `rewrite` (the chip
    // thread, when an EDID_PARA changed) the EEPROM is written before the re-plug; without (the
    // factory reset, for all four) the input is re-plugged, after a write only if one is still due.
    // The request and written bytes, and the generation, change only under the EDID lock.
    void request_edid(uint8_t inputs, bool rewrite);
    // True while input i's latest request has not yet been written and re-plugged.
    bool edid_pending(int input) const;

    // One pass of the source thread: EDID requests, re-plug, timing rows (change code 12); then
    // the chip thread is woken to take the inputs as measured.
    void source_pass();
    void start_thread();
    // Ends the thread after the pass under way (tests); the measurements stay as they are.
    static void stop_thread();
    static uint64_t thread_passes();

    // The EDID presented for a width, height and refresh rate: a 128-byte base block and a
    // 128-byte CEA extension. Values the block cannot carry give the 1920x1080 at 60 Hz EDID.
    static QByteArray build_edid(int width, int height, int rate);

    static constexpr uint32_t kReplugTicks = 50;   // hot-plug held low

private:
    void serve_edid(int input);
    void write_timing_rows();
};

static_assert(std::is_standard_layout<tarvosource>::value, "tarvosource is addressed by byte offset");
static_assert(offsetof(tarvosource, edid_request) == 12, "EDID requests at bytes 12..15");
static_assert(offsetof(tarvosource, edid_written) == 16, "EDID written bytes at bytes 16..19");
