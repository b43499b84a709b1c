#include "global.h"

#include <algorithm>
#include <QLoggingCategory>
#include <QMutex>
#include <cstdarg>
#include <cstdio>

#include "vocabulary.h"

std::atomic<uint32_t> G_timeTicks{0};
std::atomic<uint8_t> g_update_flag{0};
std::atomic<uint8_t> g_app_reset_flag{0};
std::atomic<uint32_t> G_reboot_tickTicks{0};
uint32_t G_factoryage_ticks = 0;
std::atomic<uint32_t> g_delay_usbserver{0};
uint32_t g_delay_usbserver_ticks = 0;
uint8_t g_zem_keys = 0;
std::atomic<uint8_t> g_image_current{0};
uint8_t g_language = 0;
uint32_t g_lcd_lang_valid = 0x1F;
QString g_str_ip = QStringLiteral("192.168.1.199");
QString g_srt_mask = QStringLiteral("255.255.255.0");
QString g_str_gateway = QStringLiteral("192.168.1.1");
QString g_str_barcode = QStringLiteral(" ");
uint8_t g_debugSwitch = 254;

std::atomic<uint8_t> g_page_focus{0};
uint8_t g_mode_shortcut_key = 0;
uint8_t g_mode_select = 0;

std::atomic<uint8_t> pc_cmd_valid{0};
std::atomic<uint32_t> pc_cmd_time{0};

std::atomic<uint8_t> g_set_led_para{0};
std::atomic<uint8_t> g_set_led_setup{0};

std::atomic<uint8_t> g_wifi_reset_flag{0};
std::atomic<uint32_t> g_wifi_reset_ticks{0};

uint8_t g_cut_source_state[30] = {};

int g_back_to_mainwindow_time = 3000;
int g_auto_lock_time = 30000;

std::vector<QString> factoryage_log;
uint32_t factoryage_log_diff3 = 0;
uint32_t factoryage_log_diff5 = 0;
uint32_t factoryage_log_diff10 = 0;
uint32_t factoryage_log_diff20 = 0;
uint32_t factoryage_log_diffmore = 0;

namespace {
// The diagnostics follow Qt's logging rules too ("zem.debug=false" silences them): the tests keep
// them quiet that way, so that a failure's own lines are what they show.
Q_LOGGING_CATEGORY(lcDiagnostics, "zem")
QMutex g_qyfile_mutex;
QString g_qyfile_name;
}

QString qyfile_name()
{
    QMutexLocker lock(&g_qyfile_mutex);
    return g_qyfile_name;
}

void set_qyfile_name(const QString &path)
{
    QMutexLocker lock(&g_qyfile_mutex);
    g_qyfile_name = path;
}

void reset_globals()
{
    G_timeTicks = 0;
    g_update_flag = 0;
    g_app_reset_flag = 0;
    G_reboot_tickTicks = 0;
    G_factoryage_ticks = 0;
    g_delay_usbserver = 0;
    g_delay_usbserver_ticks = 0;
    g_zem_keys = 0;
    g_image_current = 0;
    g_language = 0;
    g_lcd_lang_valid = 0x1F;
    g_str_ip = QStringLiteral("192.168.1.199");
    g_srt_mask = QStringLiteral("255.255.255.0");
    g_str_gateway = QStringLiteral("192.168.1.1");
    g_str_barcode = QStringLiteral(" ");
    g_debugSwitch = 254;
    g_page_focus = PAGE_LOCKWINDOW;
    g_mode_shortcut_key = 0;
    g_mode_select = 0;
    pc_cmd_valid = 0;
    pc_cmd_time = 0;
    g_set_led_para = 0;
    g_set_led_setup = 0;
    g_wifi_reset_flag = 0;
    g_wifi_reset_ticks = 0;
    std::fill(std::begin(g_cut_source_state), std::end(g_cut_source_state), uint8_t(0));
    g_back_to_mainwindow_time = 3000;
    g_auto_lock_time = 30000;
    factoryage_log.clear();
    factoryage_log_diff3 = factoryage_log_diff5 = factoryage_log_diff10 = factoryage_log_diff20 = 0;
    factoryage_log_diffmore = 0;
    set_qyfile_name(QString());
}

void zem_debug(const char *fmt, ...)
{
    if (g_debugSwitch != 254 || !lcDiagnostics().isDebugEnabled())
        return;
    va_list args;
    va_start(args, fmt);
    std::vfprintf(stderr, fmt, args);
    va_end(args);
}

void writeLogMsg(_LogType, const QString &)
{
}
