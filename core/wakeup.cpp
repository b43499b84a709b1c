#include "wakeup.h"

std::atomic<void (*)()> Wakeup::pausing_hook{nullptr};
std::atomic<void (*)()> Wakeup::blocking_hook{nullptr};

void Wakeup::wake()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_woken = true;
    }
    m_cv.notify_all();
}

void Wakeup::pause(std::chrono::milliseconds pause)
{
    if (auto hook = pausing_hook.load())
        hook();
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto woken = [this] { return m_woken; };
    m_blocked = true;
    if (auto hook = blocking_hook.load())
        hook();
    if (pause == kUntilWoken) {
        // Set and cleared under the lock, which the wait lets go of only while it blocks: with a
        // wake kept, the wait returns without ever letting go, and no one sees the thread asleep.
        m_blocked_untimed = true;
        m_cv.wait(lock, woken);
        m_blocked_untimed = false;
    } else {
        m_cv.wait_for(lock, pause, woken);
    }
    m_blocked = false;
    m_woken = false;
}

bool Wakeup::sleeps_until_woken() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_blocked_untimed && !m_woken;
}

bool Wakeup::blocked_in_pause() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_blocked;
}

namespace Wakeups {

// Never destroyed: the threads that pause on them run until the process is gone, past the
// destruction of the program's statics.
Wakeup &chip()
{
    static Wakeup *w = new Wakeup;
    return *w;
}

Wakeup &fpga()
{
    static Wakeup *w = new Wakeup;
    return *w;
}

}
