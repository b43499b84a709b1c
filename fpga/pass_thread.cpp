#include "pass_thread.h"

void PassThread::start(Pass pass, Wakeup *wakeup)
{
    if (m_thread.joinable())
        return;
    m_stop = false;
    m_passes = 0;
    m_shortest_pause = Wakeup::kUntilWoken.count();
    m_wakeup = wakeup ? wakeup : &m_own;
    m_thread = std::thread([this, pass = std::move(pass)] {
        while (!m_stop) {
            ++m_passes;
            const std::chrono::milliseconds pause = pass();
            if (m_stop)
                break;
            if (pause.count() < m_shortest_pause.load())
                m_shortest_pause = pause.count();
            m_wakeup->pause(pause);
        }
    });
}

void PassThread::start(std::chrono::milliseconds pause, std::function<void()> pass)
{
    start([pause, pass = std::move(pass)] {
        pass();
        return pause;
    });
}

void PassThread::stop()
{
    m_stop = true;
    // Woken, so tearing a manager down never waits out a pause.
    m_wakeup->wake();
    if (m_thread.joinable())
        m_thread.join();
}
