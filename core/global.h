#pragma once
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <vector>

// Program-wide state shared by the threads and the screens. Values that other threads change
// while the GUI thread reads them are atomics; the rest belong to the GUI thread.

extern std::atomic<uint32_t> G_timeTicks;       // +1 every 10 ms on the GUI thread
extern std::atomic<uint8_t> g_update_flag;       // firmware transfer or upgrade running
extern std::atomic<uint8_t> g_app_reset_flag;    // reboot requested
extern std::atomic<uint32_t> G_reboot_tickTicks; // stamp of the reboot request
extern uint32_t G_factoryage_ticks;              // stamp of the last ageing sample
extern std::atomic<uint32_t> g_delay_usbserver;  // 0 during the USB listener's hold-off
extern uint32_t g_delay_usbserver_ticks;
extern uint8_t g_zem_keys;                       // the USB key panel is present
extern std::atomic<uint8_t> g_image_current;     // selected window 0..5
extern uint8_t g_language;                       // 0 zh-Hans, 1 en, 2 ru, 3 vi, 4 zh-Hant
extern uint32_t g_lcd_lang_valid;                // bit n = language n offered
extern QString g_str_ip;
extern QString g_srt_mask;
extern QString g_str_gateway;
extern QString g_str_barcode;
extern uint8_t g_debugSwitch;                    // console diagnostics only while 254

extern std::atomic<uint8_t> g_page_focus;        // PageId of the screen on display
extern uint8_t g_mode_shortcut_key;              // CustomMode was opened by the mode key
extern uint8_t g_mode_select;                    // user-mode slot 0..15 of the popup and CustomMode

extern std::atomic<uint8_t> pc_cmd_valid;        // a control-protocol frame was handled recently
extern std::atomic<uint32_t> pc_cmd_time;

// LED set-up hand-shake between screens, the chip thread and the FPGA thread;
// written under Utils::_led_para_init_mutex.
extern std::atomic<uint8_t> g_set_led_para;
extern std::atomic<uint8_t> g_set_led_setup;

extern std::atomic<uint8_t> g_wifi_reset_flag;   // 0 idle, 1 restart requested, 2 access point stopped
extern std::atomic<uint32_t> g_wifi_reset_ticks; // its stamp, renewed by the GUI and the WiFi thread

extern uint8_t g_cut_source_state[30];           // 40 bits per source id 0..5: crop number in use

// The LCD's two delays in ticks, chosen on the LCD timing screen; kept in memory only.
extern int g_back_to_mainwindow_time;            // back to the main interface, 3000 at start
extern int g_auto_lock_time;                     // screen lock, 30000 at start

// The ageing log: oldest first, at most 3360 lines, never saved.
extern std::vector<QString> factoryage_log;
extern uint32_t factoryage_log_diff3;
extern uint32_t factoryage_log_diff5;
extern uint32_t factoryage_log_diff10;
extern uint32_t factoryage_log_diff20;
extern uint32_t factoryage_log_diffmore;

// Absolute device path of the chosen smart-mapping scan file (g_qyfile_name): set by the
// smart-mapping screen, read by the FPGA thread when it picks job 2 up; empty when none is chosen.
QString qyfile_name();
void set_qyfile_name(const QString &path);

// Every global above back to its start value (a test's fresh start; the program never calls it).
void reset_globals();

// Diagnostics: printed only while g_debugSwitch == 254 and the logging category "zem" is on for debug.
void zem_debug(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

enum _LogType { LOG_INFO, LOG_WARNING, LOG_ERROR };
// The logging entry point. The device keeps no log file, so nothing is written; what must be
// logged still passes through here, so that a log has one place to start from.
void writeLogMsg(_LogType type, const QString &text);
