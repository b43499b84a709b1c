#include "file_writer.h"

#include <QFileInfo>
#include <QMutex>

#include <algorithm>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

#include "paths.h"
#include "safe_file.h"
#include "utils.h"

std::atomic<void (*)(const QString &path)> FileWriter::before_file_hook{nullptr};
std::atomic<int (*)(const QString &path)> FileWriter::disk_error_hook{nullptr};

namespace {

using Clock = std::chrono::steady_clock;

struct Job
{
    QStringList paths;   // resolved under the data root; the first one names the job
    QByteArray bytes;
    bool removal = false;
    FileWriter::Done done;
    uint64_t order = 0;         // when it was handed over
    uint64_t attempt = 0;       // the number of its last attempt; 0 before the first
    bool failed = false;        // its first attempt failed and was told
    Clock::time_point failed_at;
};

bool carry_out(const Job &job)
{
    if (auto hook = FileWriter::before_file_hook.load())
        hook(job.paths.first());
    const auto refused = [&job](const QString &path) {
        auto hook = FileWriter::disk_error_hook.load();
        const int err = hook ? hook(path) : 0;
        if (err != 0)
            Utils::report_file_problem(path, (job.removal ? QStringLiteral("not removed: ") : QStringLiteral("not saved: "))
                                                 + qt_error_string(err));
        return err != 0;
    };
    if (!job.removal) {
        QMutexLocker lock(&Utils::_file_deal_mutex);
        return !refused(job.paths.first()) && Utils::write_file_atomic(job.paths.first(), job.bytes);
    }
    bool gone = true;
    {
        QMutexLocker lock(&Utils::_file_deal_mutex);
        for (const QString &path : job.paths) {
            if (refused(path)) {
                gone = false;
                continue;
            }
            QString why;
            if (Utils::remove_file(path, &why) || !QFileInfo::exists(path)) {
                Utils::file_ok(path);
                continue;
            }
            // Said once, as a save that fails is: the retries that fail alike stay quiet.
            Utils::report_file_problem(path, QStringLiteral("not removed: ") + why);
            gone = false;
        }
    }
    Utils::system_mutex(QStringLiteral("sync"));
    return gone;
}

// The writer's wake-up, with what it sleeps for kept beside it under the writer's lock: a retry
// that no clock would bring, or a new interval the writer was not told of, shows there at once.
// Every call with the writer's lock held.
class Wake
{
public:
    void wait(std::unique_lock<std::mutex> &lock)
    {
        m_sleep = {true, false, std::nullopt};
        m_cv.wait(lock);
        m_sleep = {};
    }
    void wait_until(std::unique_lock<std::mutex> &lock, Clock::time_point until)
    {
        m_sleep = {true, false, until};
        m_cv.wait_until(lock, until);
        m_sleep = {};
    }
    void notify_one()
    {
        m_sleep.woken = m_sleep.sleeping;
        m_cv.notify_one();
    }
    FileWriter::Sleep sleep() const { return m_sleep; }

private:
    std::condition_variable m_cv;
    FileWriter::Sleep m_sleep;
};

// `newer` handed over after `older`: the older is not to be written any more.
bool replaces(const Job &newer, const Job &older)
{
    return newer.paths.first() == older.paths.first() && (newer.removal || !older.removal);
}

class Writer
{
public:
    void hand_over(Job job)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            job.order = ++m_orders;
            // What the new job replaces goes; the new job joins the end, behind everything handed
            // over before it. A write leaves a removal of its file in place: the removal takes the
            // other files of a user mode too. A removal that already failed would, on its retry,
            // remove the file written since: it lets go of that file.
            for (auto it = m_queue.begin(); it != m_queue.end();) {
                if (replaces(job, *it) || (it->failed && let_go(*it, job)))
                    it = m_queue.erase(it);
                else
                    ++it;
            }
            m_queue.push_back(std::move(job));
            if (!m_started) {
                m_started = true;
                std::thread thread([this] { run(); });
                m_thread = thread.get_id();
                // The writer lives as long as the process: the program ends after finish().
                thread.detach();
            }
            m_work.notify_one();
        }
    }

    // Each copy is tried once after `since`, the ones waiting for a retry at once; what fails
    // then waits for its next retry, so a broken disk does not keep this waiting.
    void finish()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (std::this_thread::get_id() == m_thread)
            return;
        const uint64_t since = m_attempts;
        m_forced = std::max(m_forced, since);
        m_work.notify_one();
        m_idle.wait(lock, [this, since] {
            return !m_busy && std::all_of(m_queue.begin(), m_queue.end(), [since](const Job &j) { return j.attempt > since; });
        });
    }

    void set_retry_interval(std::chrono::milliseconds interval)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_interval = interval;
        m_work.notify_one();
    }

    FileWriter::Sleep sleep_now()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_work.sleep();
    }

    void forget_retries()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (std::this_thread::get_id() == m_thread)
            return;
        // A retry under way would come back to the queue after it.
        m_idle.wait(lock, [this] { return !m_busy; });
        m_queue.remove_if([](const Job &j) { return j.failed; });
    }

private:
    // A removal waiting for its retry gives up the file `write` puts on the disk; true when it
    // has none left to remove.
    static bool let_go(Job &removal, const Job &write)
    {
        if (!removal.removal || write.removal)
            return false;
        removal.paths.removeAll(write.paths.first());
        return removal.paths.isEmpty();
    }

    bool due(const Job &job, Clock::time_point now) const
    {
        return job.attempt == 0 || job.attempt <= m_forced || now >= job.failed_at + m_interval;
    }

    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            const Clock::time_point now = Clock::now();
            // The first due job in the order of handing over; the others wait for their retries.
            auto next = std::find_if(m_queue.begin(), m_queue.end(), [&](const Job &j) { return due(j, now); });
            if (next == m_queue.end()) {
                if (m_queue.empty()) {
                    m_work.wait(lock);
                } else {
                    Clock::time_point wake = Clock::time_point::max();
                    for (const Job &j : m_queue)
                        wake = std::min(wake, j.failed_at + m_interval);
                    m_work.wait_until(lock, wake);
                }
                continue;
            }
            Job job = std::move(*next);
            m_queue.erase(next);
            job.attempt = ++m_attempts;
            m_busy = true;
            lock.unlock();
            const bool ok = carry_out(job);
            if (job.done && (ok || !job.failed))
                job.done(ok);
            lock.lock();
            if (!ok)
                keep_for_retry(std::move(job));
            m_busy = false;
            m_idle.notify_all();
        }
    }

    // A copy that failed goes back among the others in its order of handing over, unless what was
    // handed over after it while it was tried replaces it.
    void keep_for_retry(Job job)
    {
        job.failed = true;
        job.failed_at = Clock::now();
        for (const Job &later : m_queue) {
            if (later.order > job.order && (replaces(later, job) || let_go(job, later)))
                return;
        }
        const auto at = std::find_if(m_queue.begin(), m_queue.end(), [&job](const Job &j) { return j.order > job.order; });
        m_queue.insert(at, std::move(job));
    }

    std::mutex m_mutex;
    Wake m_work;
    std::condition_variable m_idle;
    std::list<Job> m_queue;
    uint64_t m_orders = 0;
    uint64_t m_attempts = 0;
    // Copies whose last attempt is numbered up to this are due at once (finish).
    uint64_t m_forced = 0;
    std::chrono::milliseconds m_interval = FileWriter::kRetryInterval;
    bool m_busy = false;
    bool m_started = false;
    std::thread::id m_thread;
};

Writer &writer()
{
    // Never destroyed: its thread waits for work for as long as the process lives.
    static Writer *w = new Writer;
    // Made after the statics the writer uses, so gone before them: what is still on its way is
    // written while they are there.
    static const struct Last
    {
        ~Last() { w->finish(); }
    } last;
    return *w;
}

}

void FileWriter::write(const QString &device_path, const QByteArray &bytes, Done done)
{
    Job job;
    job.paths << Paths::dev(device_path);
    job.bytes = bytes;
    job.done = std::move(done);
    writer().hand_over(std::move(job));
}

void FileWriter::remove(const QStringList &device_paths, Done done)
{
    if (device_paths.isEmpty())
        return;
    Job job;
    for (const QString &p : device_paths)
        job.paths << Paths::dev(p);
    job.removal = true;
    job.done = std::move(done);
    writer().hand_over(std::move(job));
}

void FileWriter::finish()
{
    writer().finish();
}

void FileWriter::set_retry_interval(std::chrono::milliseconds interval)
{
    writer().set_retry_interval(interval);
}

FileWriter::Sleep FileWriter::sleep_now()
{
    return writer().sleep_now();
}

void FileWriter::forget_retries()
{
    writer().forget_retries();
}
