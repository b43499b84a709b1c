#pragma once
// How a test waits: for the event it needs, never for a time. A loaded machine makes a wait longer,
// never a failure; the ceiling only ends a wait for something that will not come, and lies far
// beyond anything a machine under load takes. A test source waits through these alone (the build
// refuses Qt's own waits, whose five seconds a starved core outlasts).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <chrono>
#include <functional>
#include <thread>

namespace zemtest {

constexpr int kCeilingMs = 30000;

// Until `condition` holds, doing `between` between two looks; false once the ceiling has passed.
inline bool until(const std::function<bool()> &condition, int ceiling_ms, const std::function<void()> &between)
{
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > ceiling_ms)
            return condition();
        between();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs the events of this thread until `condition` holds; false once the ceiling has passed.
inline bool wait_until(const std::function<bool()> &condition, int ceiling_ms = kCeilingMs)
{
    return until(condition, ceiling_ms, [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
}

// The same for a thread whose condition other threads make true: it runs no events.
inline bool poll_until(const std::function<bool()> &condition, int ceiling_ms = kCeilingMs)
{
    return until(condition, ceiling_ms, [] {});
}

#ifdef QT_GUI_LIB
// A window or a widget shown, and made the active one.
template <class Window>
bool wait_exposed(Window *window)
{
    return QTest::qWaitForWindowExposed(window, kCeilingMs);
}

template <class Window>
bool wait_active(Window *window)
{
    return QTest::qWaitForWindowActive(window, kCeilingMs);
}
#endif

}

// QTRY_VERIFY and QTRY_COMPARE with the ceiling, and without Qt's second wait after a failure.
#define ZEM_TRY_VERIFY(expr)                                                                         \
    do {                                                                                             \
        if (!zemtest::wait_until([&] { return bool(expr); }))                                        \
            QVERIFY2(expr, "still false when the wait's ceiling passed");                            \
    } while (false)

#define ZEM_TRY_COMPARE(actual, expected)                                                            \
    do {                                                                                             \
        zemtest::wait_until([&] { return (actual) == (expected); });                                 \
        QCOMPARE(actual, expected);                                                                  \
    } while (false)
