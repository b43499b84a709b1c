#pragma once
#include <atomic>
#include <cstdint>

#include "pass_thread.h"

// The WiFi module's access point: brought up one step a second while image byte 774 is 0, and
// restarted on request (set_wifi_reset_flag). Every command goes through Utils::system_mutex.
// Its thread wakes only when one of those is due or a restart is asked for.
class K58_WIFI_CONFIG
{
public:
    static K58_WIFI_CONFIG *p_wifi_config;
    // Creates the manager and starts the WiFi thread.
    static K58_WIFI_CONFIG *pInstance();
    // Creates the manager without its thread; tests drive wifi_pass() themselves.
    static K58_WIFI_CONFIG *create_for_test();
    static void destroy_for_test();

    void set_wifi_reset_flag();
    // Stops a running access point and its DHCP server at once (the user switched it off).
    static void stop_access_point();
    // One pass of the WiFi thread; the pause until its next look or step is due.
    std::chrono::milliseconds wifi_pass();
    void start_thread();
    // Passes its thread has made since it started: how often it woke.
    uint64_t thread_passes() const { return m_thread.passes(); }
    bool thread_waits_for_work() const { return m_thread.waits_for_work(); }

    // Access-point start-up: 0 address next, 1 DHCP server next, 2 hostapd next, 3 up.
    int ap_step() const { return m_ap_step.load(); }
    static constexpr int kApUp = 3;

private:
    K58_WIFI_CONFIG();
    std::chrono::milliseconds ap_startup_step();

    std::atomic<int> m_ap_step{0};
    uint32_t m_ap_stamp = 0;
    PassThread m_thread;
};
