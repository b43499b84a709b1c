#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The loop every manager runs on its own thread: one pass, a pause, the next pass. On the device
// it never ends; stop() exists for the tests, which tear managers down between cases.
class PassThread
{
public:
    PassThread() = default;
    PassThread(const PassThread &) = delete;
    PassThread &operator=(const PassThread &) = delete;
    ~PassThread() { stop(); }

    // Does nothing while the thread runs.
    void start(std::chrono::milliseconds pause, std::function<void()> pass);
    // Waits for the pass under way, if any, and ends the thread.
    void stop();

private:
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
};
