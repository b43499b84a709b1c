// zem_bench: start-up to the home screen's first paint, opening and first paint of each screen,
// a key to the end of the refresh it causes, the cost of an idle tick, and the resident memory
// after start-up. A benchmark that prints figures, not a test: it passes or fails nothing.
//
//   zem_bench [--runs N]        (the offscreen platform unless QT_QPA_PLATFORM says otherwise)
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include "c331_manage.h"
#include "catalog.h"
#include "global.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "paths.h"
#include "ram_layout.h"
#include "screen.h"
#include "startup.h"
#include "tip.h"
#include "zemrampara.h"

namespace {

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Counts paint events of one widget, so "first paint" is the moment the widget was drawn.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *w) { w->installEventFilter(this); }
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void wait_first_paint(QWidget *w)
{
    PaintWatch watch(w);
    for (int i = 0; i < 1000 && watch.paints == 0; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void release(QWidget *w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent e(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

long rss_kib()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Instructions retired by this thread in user space, through perf_event_open; -1 when refused.
class InstructionCounter
{
public:
    InstructionCounter()
    {
        perf_event_attr attr;
        std::memset(&attr, 0, sizeof attr);
        attr.type = PERF_TYPE_HARDWARE;
        attr.size = sizeof attr;
        attr.config = PERF_COUNT_HW_INSTRUCTIONS;
        attr.disabled = 1;
        attr.exclude_kernel = 1;
        attr.exclude_hv = 1;
        m_fd = static_cast<int>(syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0));
    }
    ~InstructionCounter()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }
    void start()
    {
        ioctl(m_fd, PERF_EVENT_IOC_RESET, 0);
        ioctl(m_fd, PERF_EVENT_IOC_ENABLE, 0);
    }
    long long stop()
    {
        ioctl(m_fd, PERF_EVENT_IOC_DISABLE, 0);
        long long count = 0;
        if (read(m_fd, &count, sizeof count) != sizeof count)
            return -1;
        return count;
    }

private:
    int m_fd = -1;
};

// One start-up in this process, up to the home screen's first paint; prints nanoseconds.
int startup_once(int argc, char **argv, const QString &root)
{
    QElapsedTimer clock;
    clock.start();
    StartupOptions options;
    options.root = root;
    options.wait = false;
    startup_core(options);
    QApplication app(argc, argv);
    startup_gui(options);
    wait_first_paint(g_lockwindow);
    std::printf("%lld %ld\n", static_cast<long long>(clock.nsecsElapsed()), rss_kib());
    std::fflush(stdout);
    // The managers' threads never end in the program; here the process just leaves.
    _exit(0);
}

// Opens one screen and waits for its first paint; returns the milliseconds and deletes it.
double open_once(const std::function<QWidget *()> &open)
{
    QElapsedTimer t;
    t.start();
    QPointer<QWidget> w = open();
    wait_first_paint(w);
    const double ms = t.nsecsElapsed() / 1e6;
    delete w.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g_page_focus = PAGE_MAINWINDOW;
    return ms;
}

double median_open(int runs, const std::function<QWidget *()> &open)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i)
        ms.push_back(open_once(open));
    return median(ms);
}

// A bare 320 x 240 dialog, with or without the screens' window style: the yardstick of the
// screens' figures, so that they hold on a machine of any speed or load.
QWidget *bare_dialog(bool styled)
{
    auto *d = new QDialog;
    d->resize(320, 240);
    if (styled)
        d->setStyleSheet(QStringLiteral("background-color: rgb(16, 16, 28);"));
    d->show();
    return d;
}
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    int runs = 200;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(5, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--startup-once") == 0)
            return startup_once(argc, argv, QString::fromLocal8Bit(argv[i + 1]));
    }
    g_debugSwitch = 0;

    // ---- start-up, in fresh processes ---------------------------------------------------------
    std::vector<double> startup_ms;
    long startup_rss = -1;
    {
        QCoreApplication probe(argc, argv);
        const QString self = QCoreApplication::applicationFilePath();
        for (int i = 0; i < 11; ++i) {
            QTemporaryDir root;
            QProcess child;
            child.start(self, {QStringLiteral("--startup-once"), root.path()});
            child.waitForFinished(60000);
            const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
            if (fields.size() == 2) {
                startup_ms.push_back(fields[0].toLongLong() / 1e6);
                startup_rss = fields[1].toLong();
            }
        }
    }

    // ---- the rest in this process, without the managers' threads ------------------------------
    QTemporaryDir root;
    StartupOptions options;
    options.root = root.path();
    options.wait = false;
    options.threads = false;
    startup_core(options);
    QApplication app(argc, argv);
    startup_gui(options);
    set_modal_runner([](QDialog *d) {
        d->show();
        return 0;
    });
    wait_first_paint(g_lockwindow);
    release(g_lockwindow, Qt::Key_F6);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();

    // A saved mode, so the user-mode screen draws its full summary.
    ZemRamPara *para = ZemRamPara::p_zemrampara_config;
    para->user_mode[0].marker[0] = para->user_mode[0].marker[1] = 0xAA;
    std::memcpy(para->user_mode[0].data, para->RAM_PARA + Ram::kModeFrom, Ram::kModeSize);

    const double bare = median_open(runs, [] { return bare_dialog(false); });
    const double styled = median_open(runs, [] { return bare_dialog(true); });
    std::printf("screen open + first paint, median of %d (x: times a styled bare dialog):\n", runs);
    std::printf("  %-20s %8.3f ms\n  %-20s %8.3f ms\n", "bare dialog", bare, "bare dialog, styled", styled);
    for (const ScreenEntry &e : screen_catalog()) {
        if (e.page == PAGE_MAINWINDOW)   // built once at start-up, never opened
            continue;
        const double ms = median_open(runs, [&e] {
            QWidget *w = e.make()->widget();
            g_page_focus = e.page;
            w->show();
            return w;
        });
        std::printf("  %-20s %8.3f ms %6.1f x\n", e.name, ms, ms / styled);
    }

    // ---- a key to the end of its refresh ---------------------------------------------------------
    // Freeze on the home screen: key, chip pass, change refresh (cards redrawn), file written.
    open_screen(g_lockwindow, new LockWindow, false);
    wait_first_paint(g_lockwindow);
    std::vector<double> key_ms, write_ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        release(g_lockwindow, Qt::Key_N);
        c331_manage::p_c331_manage->c331managerdeal();
        key_ms.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        para->save_image_file();
        write_ms.push_back(t.nsecsElapsed() / 1e6);
    }
    const double write = median(write_ms);
    std::printf("key to end of refresh (home screen, freeze key): %.3f ms, of which the file write ~%.3f ms\n",
                median(key_ms), write);
    g_lockwindow->close_screen();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g_page_focus = PAGE_MAINWINDOW;

    // LED off on the main menu: the same road with the main menu's own refresh.
    release(g_mainwindow, Qt::Key_F4);
    release(g_mainwindow, Qt::Key_F6);
    key_ms.clear();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        release(g_mainwindow, Qt::Key_F6);
        c331_manage::p_c331_manage->c331managerdeal();
        key_ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("key to end of refresh (main menu, LED off):      %.3f ms, file write included\n", median(key_ms));

    // ---- the idle tick ---------------------------------------------------------------------------
    g_tip_flag = 0;
    g_update_flag = 0;
    g_app_reset_flag = 0;
    g_delay_usbserver = 1;
    constexpr int kTicks = 100000;
    G_factoryage_ticks = G_timeTicks;   // no ageing sample inside the measured ticks
    InstructionCounter counter;
    QElapsedTimer t;
    if (counter.ok())
        counter.start();
    t.start();
    for (int i = 0; i < kTicks; ++i)
        g_mainwindow->slot_update_timer_ticks();
    const double tick_ns = double(t.nsecsElapsed()) / kTicks;
    const long long instructions = counter.ok() ? counter.stop() : -1;
    if (instructions >= 0)
        std::printf("idle tick: %.0f instructions, %.1f ns\n", double(instructions) / kTicks, tick_ns);
    else
        std::printf("idle tick: %.1f ns (instruction counter not available here; ~%.0f instructions at 3 per ns)\n",
                    tick_ns, tick_ns * 3);

    std::printf("start-up to the home screen's first paint (no 4 s wait, median of %zu): %.1f ms\n",
                startup_ms.size(), median(startup_ms));
    std::printf("resident memory after start-up: %.1f MB\n", startup_rss / 1024.0);
    std::fflush(stdout);
    _exit(0);
}
