#include <QtTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unistd.h>

#include "pass_thread.h"
#include "waits.h"

using namespace std::chrono_literals;

namespace {

// Holds a pass thread inside its pass while the test looks at it.
class PassGate
{
public:
    ~PassGate() { open(); }
    // Called by the pass: returns at once unless the gate is shut.
    void pass_through()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_held = m_shut;
        m_let_go.wait(lock, [this] { return !m_shut; });
    }
    void shut()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_shut = true;
        m_held = false;
    }
    void open()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_shut = false;
        }
        m_let_go.notify_all();
    }
    bool holds_a_pass() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_held;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_let_go;
    bool m_shut = false;
    bool m_held = false;
};

// What the pass thread said of itself as it entered each pause.
const PassThread *g_entering = nullptr;
std::atomic<int> g_entered_asleep{0};
void look_on_entering()
{
    if (g_entering && g_entering->waits_for_work())
        ++g_entered_asleep;
}

// A wake given as the pause blocks: the waking thread is let start only once the pause holds the
// wake's lock, and the pause goes on to block only once that thread sleeps in the kernel, which a
// thread that does nothing but wake does only while it waits for that lock.
std::atomic<bool> g_pause_holds_the_lock{false};
std::atomic<pid_t> g_waker{0};
void hold_the_lock_for_the_waker()
{
    g_pause_holds_the_lock = true;
    zemtest::poll_until([] {
        if (!g_waker)
            return false;
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(g_waker.load()));
        // Without the kernel's word the wake lands whenever it comes.
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray line = stat.readAll();
        // The state follows the thread's name, which is in parentheses and may hold them.
        return line.mid(line.lastIndexOf(')') + 2, 1) == "S";
    });
}

}

class TestPassThread : public QObject
{
    Q_OBJECT

private slots:
    // Something due, however far off, or a pass under way is no wait for work; a pause with
    // nothing due is, until work is handed over.
    void waits_for_work_only_with_nothing_due()
    {
        std::atomic<std::chrono::milliseconds::rep> next{std::chrono::milliseconds(1h).count()};
        PassGate gate;
        PassThread thread;
        thread.start([&] {
            gate.pass_through();
            return std::chrono::milliseconds(next.load());
        });
        // Before the thread is stopped, however the test ends.
        const auto release = qScopeGuard([&] { gate.open(); });

        QVERIFY(zemtest::poll_until([&] { return thread.shortest_pause() == 1h; }));
        QVERIFY(!thread.waits_for_work());

        next = Wakeup::kUntilWoken.count();
        thread.wake();
        ZEM_TRY_VERIFY(thread.waits_for_work());

        gate.shut();
        thread.wake();
        QVERIFY(zemtest::poll_until([&] { return gate.holds_a_pass(); }));
        QVERIFY(!thread.waits_for_work());
    }

    // Work handed over while a pass runs is kept, and the pause after that pass returns at once
    // for one more pass: the thread must not read as waiting for work on its way there. Handed
    // over while the thread sleeps, the work is seen at once, before the thread has even woken.
    void a_kept_wake_is_no_wait_for_work()
    {
        PassGate gate;
        PassThread thread;
        std::atomic<int> passes{0};
        g_entered_asleep = 0;
        g_entering = &thread;
        Wakeup::pausing_hook = look_on_entering;
        const auto unhook = qScopeGuard([&] {
            Wakeup::pausing_hook = nullptr;
            g_entering = nullptr;
            gate.open();
        });
        thread.start([&] {
            // The first pass is handed work of its own while it runs.
            if (++passes == 1)
                thread.wake();
            gate.pass_through();
            return Wakeup::kUntilWoken;
        });

        ZEM_TRY_VERIFY(thread.waits_for_work());
        QCOMPARE(passes.load(), 2);
        QCOMPARE(g_entered_asleep.load(), 0);

        // The next pass is held, so the thread cannot be asleep again when the test looks.
        gate.shut();
        thread.wake();
        QVERIFY(!thread.waits_for_work());
        QVERIFY(zemtest::poll_until([&] { return gate.holds_a_pass(); }));
        QCOMPARE(passes.load(), 3);
        QVERIFY(!thread.waits_for_work());
        gate.open();
        ZEM_TRY_VERIFY(thread.waits_for_work());
        QCOMPARE(passes.load(), 3);
        QCOMPARE(g_entered_asleep.load(), 0);
    }

    // A wake that came before the pause ends it without its ever blocking, however long the pause:
    // work handed over while the thread was busy must not wait out the whole of it. One that comes
    // as the pause blocks ends it too.
    void a_kept_wake_ends_the_next_pause_data()
    {
        QTest::addColumn<qint64>("pause");
        QTest::addColumn<bool>("as_it_blocks");
        const qint64 hour = std::chrono::milliseconds(1h).count(), until_woken = Wakeup::kUntilWoken.count();
        QTest::newRow("an hour") << hour << false;
        QTest::newRow("until woken") << until_woken << false;
        QTest::newRow("an hour, woken as it blocks") << hour << true;
        QTest::newRow("until woken, woken as it blocks") << until_woken << true;
    }
    void a_kept_wake_ends_the_next_pause()
    {
        QFETCH(qint64, pause);
        QFETCH(bool, as_it_blocks);
        Wakeup wakeup;
        std::atomic<bool> returned{false};
        std::thread waker;
        g_pause_holds_the_lock = false;
        g_waker = 0;
        if (as_it_blocks)
            Wakeup::blocking_hook = hold_the_lock_for_the_waker;
        else
            wakeup.wake();
        std::thread sleeper([&] {
            wakeup.pause(std::chrono::milliseconds(pause));
            returned = true;
        });
        // However the test ends, the sleeper is brought back before the wake goes: after the
        // waker's wake has landed, which a wake lost as the pause blocked leaves kept.
        const auto join = qScopeGuard([&] {
            if (waker.joinable())
                waker.join();
            Wakeup::blocking_hook = nullptr;
            wakeup.wake();
            sleeper.join();
        });
        if (as_it_blocks) {
            QVERIFY(zemtest::poll_until([] { return g_pause_holds_the_lock.load(); }));
            waker = std::thread([&] {
                g_waker = pid_t(::gettid());
                wakeup.wake();
            });
            QVERIFY2(zemtest::poll_until([&] { return returned.load(); }), "slept through a wake given as it blocked");
            return;
        }
        // Blocked is looked at first: a pause that blocked may still come back, on the wake the
        // guard gives or a spurious one, but it has already slept on the kept wake.
        bool blocked = false;
        QVERIFY(zemtest::poll_until([&] {
            blocked = blocked || wakeup.blocked_in_pause();
            return blocked || returned;
        }));
        QVERIFY2(!blocked, "blocked in the pause with a wake kept from before it");
        QVERIFY(returned);
    }
};

QTEST_GUILESS_MAIN(TestPassThread)
#include "tst_pass_thread.moc"
