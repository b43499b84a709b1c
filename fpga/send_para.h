#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

// The FPGA thread's job record. A screen posts a job with one 16-bit store at offset 0, which
// sets the job (byte 0) and clears the step (byte 1) together; only the FPGA thread writes the
// word after that, and it stores 0 when the job ends. The store is the screen's last write for the
// job (a release): the FPGA thread loads the word with acquire, so the job's inputs written before
// it (g_line_type, the mapping state, the scan-file name) are there when it copies them at step 0.
enum SendJob : uint8_t {
    JOB_IDLE = 0,
    JOB_MAPPING_SEND = 1,
    JOB_MAPPING_FILE = 2,
    JOB_SAVE_PARA = 3,
    JOB_MAPPING_ENABLE = 4,
    JOB_RECOVERY_QUERY = 5,
    JOB_RECOVERY_RUN = 6,
};

struct SEND_PARA
{
    std::atomic<uint16_t> job_word;   // byte 0 job, byte 1 step
    uint8_t card_index;               // card being served on the current port
    uint8_t port;                     // output port being served
    uint8_t reply_flags;              // bit 0: the current card or port has answered
    uint8_t progress;                 // last percentage sent to the listener
    uint8_t retries;                  // tries of the current card
    uint8_t reserved;
    uint32_t time_stamp;              // start of the current wait (G_timeTicks)
    uint32_t rise_stamp;              // last progress rise while waiting
    uint32_t mapping_state;           // job 4: 9 mapping on, 0 off

    uint8_t job() const { return static_cast<uint8_t>(job_word.load(std::memory_order_acquire) & 0xFF); }
    uint8_t step() const { return static_cast<uint8_t>(job_word.load(std::memory_order_acquire) >> 8); }
};
static_assert(offsetof(SEND_PARA, job_word) == 0, "the job word is the record's first field");
static_assert(offsetof(SEND_PARA, mapping_state) == 16, "the mapping state sits at byte 16");
static_assert(sizeof(std::atomic<uint16_t>) == 2, "the job word is one 16-bit store");

extern SEND_PARA g_send_para;

// The smart-mapping wizard's description of the screen behind one output port, read whole by
// the mapping-send job.
struct line_type
{
    uint16_t cabinet_width;    // pixels
    uint16_t cabinet_height;
    uint16_t h_offset;
    uint16_t v_offset;
    uint8_t port;              // output port, 0-based
    uint8_t rows;              // cabinet rows
    uint8_t cols;              // cabinet columns
    uint8_t route;             // routing pattern 1..16, other values place no card
};
static_assert(sizeof(line_type) == 12, "line_type is a 12-byte record");
static_assert(offsetof(line_type, port) == 8 && offsetof(line_type, route) == 11, "line_type layout");

extern line_type g_line_type;
