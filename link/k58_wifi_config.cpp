#include "k58_wifi_config.h"

#include <QString>

#include "chip_request.h"
#include "global.h"
#include "ram_layout.h"
#include "utils.h"
#include "zemrampara.h"

K58_WIFI_CONFIG *K58_WIFI_CONFIG::p_wifi_config = nullptr;

namespace {

constexpr uint32_t kResetLookTicks = 300;
constexpr uint32_t kApStepTicks = 100;

const char *const kStopHostapd = "kill -9 `pidof /usr/bin/hostapd /etc/rtl_hostapd_2G.conf`";
const char *const kStopUdhcpd = "kill -9 `pidof /usr/sbin/udhcpd  /etc/udhcpd.conf`";
const char *const kApSteps[K58_WIFI_CONFIG::kApUp] = {
    "ifconfig wlan0 192.168.8.1 netmask 255.255.255.0 up",
    "/usr/sbin/udhcpd /etc/udhcpd.conf",
    "/usr/bin/hostapd /etc/rtl_hostapd_2G.conf -B",
};

// Byte 774 is part of the image, whose writers hold the chip mutex.
bool access_point_enabled()
{
    ZemRamPara *zp = ZemRamPara::p_zemrampara_config;
    if (!zp)
        return false;
    ChipLock chip;
    return zp->RAM_PARA[Ram::kWifiOff] == 0;
}

}

K58_WIFI_CONFIG::K58_WIFI_CONFIG() : m_ap_stamp(G_timeTicks.load()) {}

K58_WIFI_CONFIG *K58_WIFI_CONFIG::pInstance()
{
    if (!p_wifi_config)
        create_for_test()->start_thread();
    return p_wifi_config;
}

K58_WIFI_CONFIG *K58_WIFI_CONFIG::create_for_test()
{
    destroy_for_test();
    p_wifi_config = new K58_WIFI_CONFIG;
    return p_wifi_config;
}

void K58_WIFI_CONFIG::destroy_for_test()
{
    delete p_wifi_config;
    p_wifi_config = nullptr;
}

void K58_WIFI_CONFIG::start_thread()
{
    m_thread.start([this] { return wifi_pass(); });
}

void K58_WIFI_CONFIG::set_wifi_reset_flag()
{
    // The stamp is stored before the flag, so the WiFi thread never sees a new flag with an old stamp.
    g_wifi_reset_ticks = G_timeTicks.load();
    g_wifi_reset_flag.store(1);
    m_thread.wake();
}

void K58_WIFI_CONFIG::stop_access_point()
{
    Utils::system_mutex(QString::fromLatin1(kStopHostapd));
    Utils::system_mutex(QString::fromLatin1(kStopUdhcpd));
}

std::chrono::milliseconds K58_WIFI_CONFIG::wifi_pass()
{
    const uint8_t flag = g_wifi_reset_flag.load();
    if (flag != 0) {
        const uint32_t waited = Utils::getTimeSpace(g_wifi_reset_ticks.load());
        if (waited < kResetLookTicks)
            return tick_pause(kResetLookTicks - waited);
        g_wifi_reset_ticks = G_timeTicks.load();
        if (flag == 1) {
            stop_access_point();
            m_ap_step.store(0);
            g_wifi_reset_flag.store(2);
        } else if (access_point_enabled()) {
            g_wifi_reset_flag.store(0);
            m_ap_step.store(0);
            m_ap_stamp = G_timeTicks.load();
            return tick_pause(kApStepTicks);
        }
        return tick_pause(kResetLookTicks);
    }
    return ap_startup_step();
}

std::chrono::milliseconds K58_WIFI_CONFIG::ap_startup_step()
{
    const int step = m_ap_step.load();
    if (step >= kApUp)
        return Wakeup::kUntilWoken;
    // Switched off before it was up: looked at again when the next step would be due.
    if (!access_point_enabled())
        return tick_pause(kApStepTicks);
    const uint32_t waited = Utils::getTimeSpace(m_ap_stamp);
    if (waited < kApStepTicks)
        return tick_pause(kApStepTicks - waited);
    m_ap_stamp = G_timeTicks.load();
    Utils::system_mutex(QString::fromLatin1(kApSteps[step]));
    m_ap_step.store(step + 1);
    return step + 1 < kApUp ? tick_pause(kApStepTicks) : Wakeup::kUntilWoken;
}
