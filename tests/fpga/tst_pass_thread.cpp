#include <QtTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "pass_thread.h"
#include "waits.h"

using namespace std::chrono_literals;

class TestPassThread : public QObject
{
    Q_OBJECT

private slots:
    // Something due, however far off, or a pass under way is no wait for work; a pause with
    // nothing due is, until work is handed over.
    void waits_for_work_only_with_nothing_due()
    {
        std::atomic<std::chrono::milliseconds::rep> next{std::chrono::milliseconds(1h).count()};
        std::mutex hold_mutex;
        std::condition_variable let_go;
        bool hold = false;
        std::atomic<bool> held{false};
        PassThread thread;
        thread.start([&] {
            std::unique_lock<std::mutex> lock(hold_mutex);
            held = hold;
            let_go.wait(lock, [&] { return !hold; });
            return std::chrono::milliseconds(next.load());
        });
        // Before the thread is stopped, however the test ends.
        const auto release = qScopeGuard([&] {
            {
                std::lock_guard<std::mutex> lock(hold_mutex);
                hold = false;
            }
            let_go.notify_all();
        });

        QVERIFY(zemtest::poll_until([&] { return thread.shortest_pause() == 1h; }));
        QVERIFY(!thread.waits_for_work());

        next = Wakeup::kUntilWoken.count();
        thread.wake();
        ZEM_TRY_VERIFY(thread.waits_for_work());

        {
            std::lock_guard<std::mutex> lock(hold_mutex);
            hold = true;
        }
        thread.wake();
        QVERIFY(zemtest::poll_until([&] { return held.load(); }));
        QVERIFY(!thread.waits_for_work());
    }
};

QTEST_GUILESS_MAIN(TestPassThread)
#include "tst_pass_thread.moc"
