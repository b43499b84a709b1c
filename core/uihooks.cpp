#include "uihooks.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <deque>
#include <mutex>

namespace UiHooks {

void (*refresh_screen)(int code) = nullptr;
void (*update_key_leds)() = nullptr;
void (*after_sync)(int code) = nullptr;
void (*page_language_changed)(uint8_t page) = nullptr;
void (*page_back)(uint8_t page) = nullptr;
void (*firmware_update_start)() = nullptr;
void (*firmware_update_over)() = nullptr;

namespace {

// The work handed to the GUI thread waits in a queue of ours, under a lock of ours, and Qt's queue
// carries only a wake-up that Qt itself makes: a functor or an event allocated here and handed over
// under Qt's internal lock would look unordered to the thread sanitizer, which cannot see that lock.
class GuiQueue : public QObject
{
    Q_OBJECT
public:
    void push(std::function<void()> work)
    {
        bool wake;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            wake = m_work.empty();
            m_work.push_back(std::move(work));
        }
        // A queue that was not empty has a wake-up pending, or a drain that has not seen it empty.
        if (wake)
            QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
    }

private slots:
    void drain()
    {
        for (;;) {
            std::function<void()> work;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_work.empty())
                    return;
                work = std::move(m_work.front());
                m_work.pop_front();
            }
            work();
        }
    }

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_work;
};

// Made once and given to the GUI thread; it lives as long as the process.
GuiQueue *gui_queue(QCoreApplication *app)
{
    static GuiQueue *queue = [app] {
        auto *q = new GuiQueue;
        q->moveToThread(app->thread());
        return q;
    }();
    return queue;
}

// Made by the GUI thread as the application is constructed, so that another thread only finds it.
// Made there by the first thread to hand over work, it would reach the GUI thread through Qt's
// internal lock alone, which the thread sanitizer cannot see.
void make_gui_queue()
{
    gui_queue(QCoreApplication::instance());
}

}

Q_COREAPP_STARTUP_FUNCTION(make_gui_queue)

void on_gui_thread(std::function<void()> work)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        work();
        return;
    }
    gui_queue(app)->push(std::move(work));
}

}

#include "uihooks.moc"
