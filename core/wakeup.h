#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

// A pause another thread can cut short. A wake() that comes while the thread is busy is kept and
// ends its next pause at once, so work handed over between two pauses is never slept through.
// One thread pauses on a Wakeup; any thread may wake it.
class Wakeup
{
public:
    // No pause: the thread sleeps until it is woken.
    static constexpr std::chrono::milliseconds kUntilWoken = std::chrono::milliseconds::max();

    void wake();
    // Returns when woken (or when a wake came since the last pause), or when `pause` is over.
    void pause(std::chrono::milliseconds pause);
    // True only while the thread is blocked in a pause with nothing due and no wake kept for it:
    // nothing but a wake can bring it back. Decided under the lock a wake takes, so a thread
    // about to return on a kept wake never reads as asleep.
    bool sleeps_until_woken() const;

    // Tests: called as a thread enters a pause, before the pause looks at anything.
    static std::atomic<void (*)()> pausing_hook;
    // Tests: called under the wake's lock as a pause is about to look for a kept wake and block.
    static std::atomic<void (*)()> blocking_hook;
    // Tests: the thread is blocked in a pause, timed or not. Decided under the wake's lock, which
    // a pause lets go of only while it blocks: a pause that a kept wake ends never reads as one.
    bool blocked_in_pause() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_woken = false;
    bool m_blocked = false;
    bool m_blocked_untimed = false;
};

// The threads that others hand work to without a queue of their own: the chip thread (the update
// request, the inputs measured again, the end of the LED set-up) and the FPGA thread (the LED
// set-up request, the panel the chip has set up). They live as long as the program, so a thread
// may wake them whether or not their manager is there.
namespace Wakeups {
Wakeup &chip();
Wakeup &fpga();
}
