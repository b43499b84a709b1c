#include "file_writer.h"

#include <QFileInfo>
#include <QMutex>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "paths.h"
#include "safe_file.h"
#include "utils.h"

std::atomic<void (*)(const QString &path)> FileWriter::before_file_hook{nullptr};

namespace {

struct Job
{
    QStringList paths;   // resolved under the data root; the first one names the job
    QByteArray bytes;
    bool removal = false;
    FileWriter::Done done;
};

bool carry_out(const Job &job)
{
    if (auto hook = FileWriter::before_file_hook.load())
        hook(job.paths.first());
    if (!job.removal) {
        QMutexLocker lock(&Utils::_file_deal_mutex);
        return Utils::write_file_atomic(job.paths.first(), job.bytes);
    }
    bool gone = true;
    {
        QMutexLocker lock(&Utils::_file_deal_mutex);
        for (const QString &path : job.paths)
            gone = (Utils::remove_file(path) || !QFileInfo(path).exists()) && gone;
    }
    Utils::system_mutex(QStringLiteral("sync"));
    return gone;
}

class Writer
{
public:
    void hand_over(Job job)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            // What the new job replaces goes; the new job joins the end, behind everything handed
            // over before it. A write leaves a removal of its file in place: the removal takes the
            // other files of a user mode too.
            for (auto it = m_queue.begin(); it != m_queue.end();) {
                if (it->paths.first() == job.paths.first() && (job.removal || !it->removal))
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
        }
        m_work.notify_one();
    }

    void finish()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (std::this_thread::get_id() == m_thread)
            return;
        m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_work.wait(lock, [this] { return !m_queue.empty(); });
            const Job job = std::move(m_queue.front());
            m_queue.pop_front();
            m_busy = true;
            lock.unlock();
            const bool ok = carry_out(job);
            if (job.done)
                job.done(ok);
            lock.lock();
            m_busy = false;
            m_idle.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_idle;
    std::deque<Job> m_queue;
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
