#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

#include "wakeup.h"

// The pause until `ticks` more ticks of G_timeTicks have passed, as the GUI thread counts them
// every 10 ms. A thread that wakes to find the count behind (the GUI thread was busy) pauses
// again for what is left.
inline std::chrono::milliseconds tick_pause(uint32_t ticks)
{
    return std::chrono::milliseconds(10) * ticks;
}

// The loop every manager runs on its own thread: a pass, then a pause until the next pass is due
// or someone hands the thread work. On the device it never ends; stop() exists for the tests,
// which tear managers down between cases.
class PassThread
{
public:
    // A pass says how long the thread may sleep before the next one: until its next due time, or
    // Wakeup::kUntilWoken when only work handed over can bring any.
    using Pass = std::function<std::chrono::milliseconds()>;

    PassThread() = default;
    PassThread(const PassThread &) = delete;
    PassThread &operator=(const PassThread &) = delete;
    ~PassThread() { stop(); }

    // Does nothing while the thread runs. Without `wakeup` the thread pauses on one of its own.
    void start(Pass pass, Wakeup *wakeup = nullptr);
    // The same pause after every pass.
    void start(std::chrono::milliseconds pause, std::function<void()> pass);
    // Ends the pause under way, or the next one, at once.
    void wake() { m_wakeup->wake(); }
    // Waits for the pass under way, if any, and ends the thread.
    void stop();
    // Passes made since the thread started: how often it woke.
    uint64_t passes() const { return m_passes.load(); }
    // True while the thread sleeps with nothing due and no work handed over yet: only work handed
    // over brings its next pass.
    bool waits_for_work() const { return m_wakeup->sleeps_until_woken(); }
    // The shortest pause a pass asked for since the thread started: how often it looks by itself.
    std::chrono::milliseconds shortest_pause() const { return std::chrono::milliseconds(m_shortest_pause.load()); }

private:
    std::thread m_thread;
    Wakeup m_own;
    Wakeup *m_wakeup = &m_own;
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_passes{0};
    std::atomic<std::chrono::milliseconds::rep> m_shortest_pause{Wakeup::kUntilWoken.count()};
};
