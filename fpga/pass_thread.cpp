#include "pass_thread.h"

void PassThread::start(std::chrono::milliseconds pause, std::function<void()> pass)
{
    if (m_thread.joinable())
        return;
    m_stop = false;
    m_thread = std::thread([this, pause, pass = std::move(pass)] {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            lock.unlock();
            pass();
            lock.lock();
            // Woken early by stop(), so tearing a manager down never waits out a pause.
            m_wake.wait_for(lock, pause, [this] { return m_stop; });
        }
    });
}

void PassThread::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}
