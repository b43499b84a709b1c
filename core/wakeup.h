#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

// A pause another thread can cut short. A wake() that comes while the thread is busy is kept and
// ends its next pause at once, so work handed over between two pauses is never slept through.
class Wakeup
{
public:
    // No pause: the thread sleeps until it is woken.
    static constexpr std::chrono::milliseconds kUntilWoken = std::chrono::milliseconds::max();

    void wake()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_woken = true;
        }
        m_cv.notify_all();
    }
    // Returns when woken (or when a wake came since the last pause), or when `pause` is over.
    void pause(std::chrono::milliseconds pause)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto woken = [this] { return m_woken; };
        if (pause == kUntilWoken)
            m_cv.wait(lock, woken);
        else
            m_cv.wait_for(lock, pause, woken);
        m_woken = false;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_woken = false;
};

// The threads that others hand work to without a queue of their own: the chip thread (the update
// request, the inputs measured again, the end of the LED set-up) and the FPGA thread (the LED
// set-up request, the panel the chip has set up). They live as long as the program, so a thread
// may wake them whether or not their manager is there.
namespace Wakeups {
Wakeup &chip();
Wakeup &fpga();
}
