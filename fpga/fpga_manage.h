#pragma once
#include <QMutex>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "pass_thread.h"
#include "rcv_recovery_file.h"
#include "safe_file.h"
#include "scan_file.h"
#include "send_para.h"
#include "stick_place.h"

// The FPGA manager: register and parameter-RAM mirrors of the two FPGAs, the receiving cards on
// the output ports, the jobs posted in g_send_para and the LED set-up hand-shake. Its thread
// runs fpga_pass() every 10 ms while a job or the LED set-up runs, and searches the ports for
// cards every 50 ms while idle.
class fpga_manage
{
public:
    static fpga_manage *p_fpga_manage;
    // Creates the manager (bring-up of the FPGA) and starts its thread.
    static fpga_manage *pInstance();
    // Creates the manager without its thread; tests drive fpga_pass() themselves.
    static fpga_manage *create_for_test();
    static void destroy_for_test();

    // The FPGA thread renews the mirrors: read them through register_value().
    uint8_t MCU_REG_func[2][256];
    uint8_t MCU_RAM_PARA_func[2][1024];
    rcvRecovery *rcv_recovery = nullptr;

    // Registers 64..127 and from 171 on are not registers of the FPGA and are ignored.
    void read_from_register(uint8_t reg, uint8_t fpga);
    void write_to_register(uint8_t reg, uint8_t mask, uint8_t value, uint8_t fpga);
    // A register as the mirror holds it, read under the manager's lock (0 for fpga > 1).
    uint8_t register_value(uint8_t reg, uint8_t fpga) const;

    // One little-endian word of a parameter-RAM mirror at any offset (odd ones too), read under
    // the manager's lock; 0 outside the mirror.
    uint16_t ram_mirror16(uint8_t fpga, int offset) const;

    // 1 while FPGA 0 runs: register 80 read again on every call, and its registers read since it
    // came up (an FPGA that comes up after start is brought up by the thread's next idle pass).
    int get_fpga_status();
    uint16_t get_wlan_state();      // bit n: output port n has its link up
    void check_wlanonline_state();  // change code 11 when the port word changed
    static int get_eth_param_addr(uint8_t port, uint16_t *x, uint16_t *y, uint16_t *w, uint16_t *h);
    void set_led_para_deal();

    // Brightness of the LED screen, handed over by the chip thread.
    void set_led_brightness(int brightness);
    // Screen-on state, bit 2 of register 0. The chip thread sets it from the image's LED-off
    // word; that change is already in the image, so nothing is announced.
    bool screen_on() const { return m_screen_on.load(); }
    void set_screen_on(bool on);

    // Told the job's progress in percent, 100 when it ends; called on the FPGA thread. The
    // screen that posts a job sets it first (the screens hand the call to the GUI thread).
    using JobListener = std::function<void(int percent)>;
    void set_job_listener(JobListener listener);

    // One pass of the FPGA thread; the pause it may take before the next.
    std::chrono::milliseconds fpga_pass();
    void start_thread();
    // Passes its thread has made since it started: how often it woke.
    uint64_t thread_passes() const { return m_thread.passes(); }
    std::chrono::milliseconds thread_shortest_pause() const { return m_thread.shortest_pause(); }

    // Number of receiving cards the last search found on an output port (0..15).
    int card_count(int port) const;
    // Recovery files the last query found, and cards that answered it.
    int recovery_files_found() const { return m_recovery_files.load(); }
    int recovery_cards_found() const { return m_recovery_cards.load(); }
    // The last scan-file load sent its whole file: false when it was cut short (its stick pulled,
    // a read failed, the file shrank), when what it sent is no longer what the file holds (written
    // over meanwhile), or when it could not open the file. Set before the load tells 100.
    bool load_sent_whole() const { return m_load_whole.load(); }

    ~fpga_manage();

private:
    fpga_manage();
    void bring_up();
    void read_registers();
    void update_register(uint8_t reg, uint8_t mask, uint8_t value, uint8_t fpga);
    void search_cards();

    // The jobs, a step per pass (fpga_jobs.cpp).
    void emit_progress(int pct);
    void end_job();
    void job_mapping_send();
    void wait_for_card();
    void next_card();
    void tell_send_share();
    void job_mapping_file();
    void end_load(bool whole);
    void job_port_command(bool save);
    void job_recovery_query();
    void job_recovery_run();
    void set_step(uint8_t step);
    int next_port_with_cards(int from) const;

    mutable QMutex m_mutex;            // the mirrors and the card frames
    QMutex m_listener_mutex;
    JobListener m_listener;
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_screen_on{true};
    uint16_t m_last_wlan = 0;
    int m_cards[16] = {};
    uint32_t m_led_stamp = 0;
    std::atomic<int> m_recovery_files{0};
    std::atomic<int> m_recovery_cards{0};
    std::atomic<bool> m_load_whole{false};
    // A job's inputs, copied when the thread picks the job up: the screen that posted it may
    // change them while it runs.
    line_type m_job_line{};            // jobs 1 and 2: routing and port
    uint32_t m_job_mapping_state = 0;  // job 4
    int m_job_ports = 0;               // jobs 3 and 4: ports with cards, and those served
    int m_ports_done = 0;
    uint32_t m_last_answer = 0;        // job 1: tick of the port's last answer (or of the start)
    double m_send_share = 0;           // job 1: the bar, unrounded
    std::unique_ptr<ScanFile> m_job_file;   // job 2: the scan file, read a chunk a pass
    int m_job_sent = 0;                // job 6: files replayed
    QStringList m_job_files;

    PassThread m_thread;
};

// Where the mapping-send job places card `index` of the port: false when the routing pattern is
// not 1..16 or the card lies outside the rows x columns grid.
bool mapping_card_position(const line_type &lt, int index, uint16_t *x, uint16_t *y);
