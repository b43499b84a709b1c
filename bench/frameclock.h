#pragma once
// The GUI thread as a user meets it: every outermost event dispatch is time the thread answers
// nothing else, and a dispatch in which a widget painted is a frame (Qt paints and hands the
// picture to the platform inside the dispatch that asked for it: an update request, an expose, a
// show). Times are CLOCK_MONOTONIC nanoseconds, comparable across processes.
#include <QApplication>
#include <QPointer>
#include <cstdint>
#include <functional>

namespace bench {

int64_t now_ns();

class FrameClock
{
public:
    // Counts from here: busy time, the longest dispatch, frames.
    void reset();
    // The window whose first frame is wanted (its first paint ends a dispatch: that end).
    void watch(QWidget *window);
    // Dispatches to this object are the bench's own (its heartbeat) and are not counted.
    void ignore(QObject *object) { m_ignored = object; }

    int64_t busy_ns() const { return m_busy_ns; }
    int64_t longest_ns() const { return m_longest_ns; }
    int frames() const { return m_frames; }
    int64_t last_frame_end_ns() const { return m_last_frame_end; }   // 0: none since reset
    int64_t watched_frame_end_ns() const { return m_watched_end; }   // 0: not yet drawn

    // For the application's notify, GUI thread only.
    bool dispatch(QObject *receiver, QEvent *event, const std::function<bool()> &deliver);

private:
    int m_depth = 0;
    bool m_painted = false;
    bool m_watched_painted = false;
    QPointer<QWidget> m_watched;
    QObject *m_ignored = nullptr;
    int64_t m_busy_ns = 0;
    int64_t m_longest_ns = 0;
    int m_frames = 0;
    int64_t m_last_frame_end = 0;
    int64_t m_watched_end = 0;
};

class BenchApplication : public QApplication
{
public:
    BenchApplication(int &argc, char **argv) : QApplication(argc, argv) {}
    bool notify(QObject *receiver, QEvent *event) override;
    FrameClock clock;
};

// The application's clock (the application must be a BenchApplication).
FrameClock &frame_clock();

}
