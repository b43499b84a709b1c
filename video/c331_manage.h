#pragma once
#include <QMutex>
#include <atomic>
#include <chrono>
#include <cstdint>

#include "pass_thread.h"

// The video-processor chip manager. Screens hand it changes of the parameter image by raising
// the update request under its mutex; its thread applies what differs from the copy it applied
// last and announces the request value as a change code.
class c331_manage
{
public:
    static c331_manage *p_c331_manage;
    // Creates the manager (chip bring-up) and starts its thread.
    static c331_manage *pInstance();
    // Creates the manager without its thread; tests drive c331managerdeal() themselves.
    static c331_manage *create_for_test();
    static void destroy_for_test();

    QMutex &mutex();
    std::atomic<uint8_t> &update_request();

    // One pass of the chip thread; the pause it may take before the next. The thread is woken
    // for a pass when the update request is raised and when the source thread has measured the
    // inputs again, which every pass without the pattern generator loads and checks.
    std::chrono::milliseconds c331managerdeal();

    // 0, or -1 with nothing changed when more than one window set is in use.
    int c331_SetPattern(int pattern);
    int zemApi_IsPatternGen() const { return m_pattern_gen.load() ? 1 : 0; }

    // Bit 0 32-pixel Chinese, bit 1 32-pixel English, bit 2 64-pixel Chinese, bit 3 64-pixel
    // English font present in the chip's serial flash.
    std::atomic<uint32_t> font_bits{0};
    void read_c331_font();

    void start_thread();
    // Passes its thread has made since it started: how often it woke.
    uint64_t thread_passes() const { return m_thread.passes(); }
    bool thread_waits_for_work() const { return m_thread.waits_for_work(); }
    std::chrono::milliseconds thread_shortest_pause() const { return m_thread.shortest_pause(); }

    ~c331_manage();

private:
    c331_manage();
    void apply_changes(const uint8_t *img);
    bool panel_changed(const uint8_t *img) const;
    void apply_window(const uint8_t *img, int w, bool take_crop);

    uint8_t m_applied[4096];            // the image as last applied to the chip
    std::atomic<bool> m_pattern_gen{false};
    int m_window_count = 1;

    PassThread m_thread;
};
