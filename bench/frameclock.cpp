#include "frameclock.h"

#include <QThread>
#include <QWidget>
#include <ctime>

namespace bench {

int64_t now_ns()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void FrameClock::reset()
{
    m_busy_ns = 0;
    m_longest_ns = 0;
    m_frames = 0;
    m_last_frame_end = 0;
}

void FrameClock::watch(QWidget *window)
{
    m_watched = window;
    m_watched_end = 0;
    m_watched_painted = false;
}

bool FrameClock::dispatch(QObject *receiver, QEvent *event, const std::function<bool()> &deliver)
{
    const bool outermost = m_depth == 0 && receiver != m_ignored;
    if (outermost) {
        m_painted = false;
        m_watched_painted = false;
    }
    if (event->type() == QEvent::Paint && receiver->isWidgetType()) {
        m_painted = true;
        if (m_watched && static_cast<QWidget *>(receiver)->window() == m_watched)
            m_watched_painted = true;
    }
    const int64_t start = outermost ? now_ns() : 0;
    ++m_depth;
    const bool result = deliver();
    --m_depth;
    if (!outermost)
        return result;
    const int64_t end = now_ns();
    m_busy_ns += end - start;
    m_longest_ns = std::max(m_longest_ns, end - start);
    if (m_painted) {
        ++m_frames;
        m_last_frame_end = end;
    }
    if (m_watched_painted && m_watched_end == 0)
        m_watched_end = end;
    return result;
}

bool BenchApplication::notify(QObject *receiver, QEvent *event)
{
    if (QThread::currentThread() != thread())
        return QApplication::notify(receiver, event);
    return clock.dispatch(receiver, event, [&] { return QApplication::notify(receiver, event); });
}

FrameClock &frame_clock()
{
    return static_cast<BenchApplication *>(QCoreApplication::instance())->clock;
}

}
