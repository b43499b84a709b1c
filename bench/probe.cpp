#include "probe.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "catalog.h"
#include "frameclock.h"
#include "measure.h"
#include "ram_layout.h"
#include "screen.h"
#include "startup.h"
// The bench also measures commits from before the idle-time warming.
#if __has_include("warmup.h")
#include "warmup.h"
#define ZEM_BENCH_WARMUP 1
#endif
#include "zemrampara.h"

namespace bench {
namespace {

constexpr int64_t kMs = 1000000;
// How long a frame, a warming or a window the probe waits for may take. The bench runs on an idle
// machine, where these come in milliseconds; the tests run it on loaded ones too, where only a
// hang may end such a wait.
constexpr int kAwaitedMs = 60000;
// The focus places of a screen that its walk tries.
constexpr int kWalkPlaces = 4;
// The keys of its closing stream.
constexpr int kWalkStream = 24;

// ---- the event loop, watched ------------------------------------------------------------------

// Runs the GUI thread's event loop until `done` holds or `limit_ms` passed; a 1-ms heartbeat of
// the bench's own (not counted as the program's time) asks. True when `done` held.
bool run_until(const std::function<bool()> &done, int limit_ms)
{
    const int64_t deadline = now_ns() + int64_t(limit_ms) * kMs;
    QEventLoop loop;
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    frame_clock().ignore(&beat);
    bool held = false;
    QObject::connect(&beat, &QTimer::timeout, &loop, [&] {
        held = done();
        if (held || now_ns() >= deadline)
            loop.quit();
    });
    beat.start(1);
    loop.exec();
    frame_clock().ignore(nullptr);
    return held;
}

// Until no frame for `quiet_ms`, counted from `since` or the last frame, whichever is later.
void run_until_quiet(int64_t since, int quiet_ms, int limit_ms)
{
    run_until(
        [&] {
            const int64_t last = std::max(since, frame_clock().last_frame_end_ns());
            return now_ns() - last >= int64_t(quiet_ms) * kMs;
        },
        limit_ms);
}

// `action` in an event of its own, so the clock sees it as a dispatch like any key's.
void post(std::function<void()> action)
{
    QMetaObject::invokeMethod(qApp, std::move(action), Qt::QueuedConnection);
}

void post_key(QWidget *target, int key)
{
    if (!target)
        return;
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Milliseconds; "-1" for a time not taken (nothing drawn).
QByteArray ms_text(int64_t ns)
{
    return ns < 0 ? QByteArray("-1") : QByteArray::number(double(ns) / kMs, 'f', 4);
}

long own_rss_kib()
{
    QFile f(QStringLiteral("/proc/self/status"));
    return f.open(QIODevice::ReadOnly) ? parse_vm_rss_kib(f.readAll()) : -1;
}

// ---- the program and the baselines ------------------------------------------------------------

const ScreenEntry *catalog_entry(uint8_t page)
{
    for (const ScreenEntry &e : screen_catalog())
        if (e.page == page)
            return &e;
    return nullptr;
}

QWidget *page_widget(uint8_t page)
{
    const ScreenEntry *e = catalog_entry(page);
    return e ? qobject_cast<QWidget *>(e->pointer()) : nullptr;
}

// main() as it stands, with the bench's application: the managers' threads run, no wait.
void start_program(int &argc, char **argv, const QString &root, std::unique_ptr<BenchApplication> *app)
{
    StartupOptions options;
    options.root = root;
    options.wait = false;
    if (!startup_core(options))
        std::exit(2);
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    app->reset(new BenchApplication(argc, argv));
    frame_clock().reset();
    startup_gui(options);
    // Nothing is drawn before the event loop runs.
    frame_clock().watch(page_widget(PAGE_LOCKWINDOW));
}

// The three yardsticks: a bare 320 x 240 dialog, the same in the screens' window colour, and
// that with one label of text in the screens' 12-pt font.
class LabelDialog : public QDialog
{
public:
    enum Kind { Bare, Styled, Label };
    explicit LabelDialog(Kind kind)
    {
        resize(320, 240);
        if (kind != Bare)
            setStyleSheet(QStringLiteral("background-color: rgb(16, 16, 28);"));
        if (kind == Label) {
            QFont f = font();
            f.setPointSize(12);
            setFont(f);
            m_label = new QLabel(QStringLiteral("Screen 12:00"), this);
            m_label->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
            m_label->setGeometry(20, 100, 280, 30);
        }
    }

protected:
    // The key a screen answers at its simplest: a text changed.
    void keyReleaseEvent(QKeyEvent *) override
    {
        if (m_label)
            m_label->setText(m_label->text() == QStringLiteral("Screen 12:00") ? QStringLiteral("Screen 12:01")
                                                                                : QStringLiteral("Screen 12:00"));
    }

private:
    QLabel *m_label = nullptr;
};

bool baseline_kind(const QString &name, LabelDialog::Kind *kind)
{
    if (name == QLatin1String("bare"))
        *kind = LabelDialog::Bare;
    else if (name == QLatin1String("styled"))
        *kind = LabelDialog::Styled;
    else if (name == QLatin1String("label"))
        *kind = LabelDialog::Label;
    else
        return false;
    return true;
}

// Every screen above the home screen and the main menu closed, newest first (the mode
// shortcut's road), and the home screen's page current again.
void close_above_home()
{
    const std::vector<Screen *> screens = all_screens();
    for (auto it = screens.rbegin(); it != screens.rend(); ++it)
        if ((*it)->page() != PAGE_LOCKWINDOW && (*it)->page() != PAGE_MAINWINDOW && !(*it)->is_closed())
            (*it)->close_screen();
    set_page_focus(PAGE_LOCKWINDOW);
}

// After start-up: the home screen drawn and the first moments' work done (the managers' first
// passes, the source thread's first look), as when a user reaches for the first key.
void settle_after_start()
{
    run_until([] { return frame_clock().watched_frame_end_ns() != 0; }, kAwaitedMs);
    // A person's first key comes well after the idle-time warming has ended; a bench that opened
    // a screen while it still ran would time the warming, not the screen.
#ifdef ZEM_BENCH_WARMUP
    run_until([] { return Warmup::pending() == 0; }, kAwaitedMs);
#endif
    run_until_quiet(now_ns(), 100, 3000);
}

// The program started as on the device, its screens shown without nested loops, then left until
// the start-up's own work is done.
void start_settled(int &argc, char **argv, const QString &root, std::unique_ptr<BenchApplication> *app)
{
    start_program(argc, argv, root, app);
    set_modal_runner([](QDialog *d) {
        d->show();
        return 0;
    });
    settle_after_start();
}

// ---- probes -----------------------------------------------------------------------------------

int probe_startup(int &argc, char **argv, const QString &root)
{
    std::unique_ptr<BenchApplication> app;
    start_program(argc, argv, root, &app);
    if (!run_until([] { return frame_clock().watched_frame_end_ns() != 0; }, kAwaitedMs))
        return 1;
    say("frame_ns " + QByteArray::number(qlonglong(frame_clock().watched_frame_end_ns())));
    say("rss_kib " + QByteArray::number(qlonglong(own_rss_kib())));
    _exit(0);
}

// The program keeps Qt's GL driver unloaded on X (main()); the yardstick does too.
void without_gl()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

int probe_startup_baseline(int &argc, char **argv)
{
    without_gl();
    BenchApplication app(argc, argv);
    auto *d = new LabelDialog(LabelDialog::Label);
    frame_clock().watch(d);
    d->show();
    if (!run_until([] { return frame_clock().watched_frame_end_ns() != 0; }, kAwaitedMs))
        return 1;
    say("frame_ns " + QByteArray::number(qlonglong(frame_clock().watched_frame_end_ns())));
    say("rss_kib " + QByteArray::number(qlonglong(own_rss_kib())));
    _exit(0);
}

int probe_idle_baseline(int &argc, char **argv)
{
    without_gl();
    BenchApplication app(argc, argv);
    auto *d = new LabelDialog(LabelDialog::Label);
    d->show();
    return app.exec();
}

// One open: from the opener's call to the end of the frame that first draws the new window.
// Returns nanoseconds, or -1 when nothing was drawn.
int64_t open_once(const std::function<QWidget *()> &open, const std::function<void(QWidget *)> &close)
{
    QPointer<QWidget> opened;
    int64_t start = 0;
    post([&] {
        start = now_ns();
        opened = open();
        frame_clock().watch(opened ? opened->window() : nullptr);
    });
    const bool drawn = run_until([&] { return start && frame_clock().watched_frame_end_ns() != 0; }, kAwaitedMs);
    const int64_t ns = drawn ? frame_clock().watched_frame_end_ns() - start : -1;
    post([&] {
        if (opened)
            close(opened);
    });
    // The window beneath is drawn again (on X) and the closed one deleted before the next open.
    run_until_quiet(now_ns(), 15, 2000);
    return ns;
}

struct Opener
{
    std::function<QWidget *()> open;
    std::function<void(QWidget *)> close;
};

// A yardstick's or a catalog screen's open and close; false for a name that is neither.
bool opener(const QString &name, Opener *o)
{
    LabelDialog::Kind kind;
    if (baseline_kind(name, &kind)) {
        o->open = [kind] {
            auto *d = new LabelDialog(kind);
            d->setAttribute(Qt::WA_DeleteOnClose);
            d->show();
            return d;
        };
        o->close = [](QWidget *w) { w->close(); };
        return true;
    }
    const ScreenEntry *entry = nullptr;
    for (const ScreenEntry &e : screen_catalog())
        if (QLatin1String(e.name) == name)
            entry = &e;
    if (!entry)
        return false;
    o->open = [entry] {
        // The screens open from the home screen's page, as their openers leave it.
        entry->open();
        return qobject_cast<QWidget *>(entry->pointer());
    };
    o->close = [](QWidget *) { close_above_home(); };
    return true;
}

int probe_open(int &argc, char **argv, const QString &name, const QString &root, int later, const QString &yardstick)
{
    std::unique_ptr<BenchApplication> app;
    start_settled(argc, argv, root, &app);

    Opener screen, other;
    for (const QString &n : {name, yardstick}) {
        if (!n.isEmpty() && !opener(n, n == name ? &screen : &other)) {
            std::fprintf(stderr, "no screen %s in the catalog\n", qPrintable(n));
            return 2;
        }
    }
    const int64_t first = open_once(screen.open, screen.close);
    if (!yardstick.isEmpty())
        open_once(other.open, other.close);   // its first open is not one of its later ones
    // By turns with the yardstick, so that what slows the machine slows both alike.
    QByteArray line = "later", other_line = "yardstick";
    for (int i = 0; i < later; ++i) {
        line += ' ' + ms_text(open_once(screen.open, screen.close));
        if (!yardstick.isEmpty())
            other_line += ' ' + ms_text(open_once(other.open, other.close));
    }
    say("first " + ms_text(first));
    say(line);
    if (!yardstick.isEmpty())
        say(other_line);
    _exit(0);
}

// Where Qt sends a key: the active window, else the screen on top.
QWidget *key_target()
{
    if (QWidget *w = QApplication::activeModalWidget())
        return w;
    if (QWidget *w = QApplication::activeWindow())
        return w;
    const std::vector<Screen *> screens = all_screens();
    for (auto it = screens.rbegin(); it != screens.rend(); ++it)
        if (!(*it)->is_closed() && (*it)->widget()->isVisible())
            return (*it)->widget();
    return nullptr;
}

// One key: from its post to the last frame it caused (the chip pass and the change refresh
// included, when the key changes the image), and the GUI thread's time in dispatches meanwhile.
struct KeyFigures
{
    int64_t to_last_frame = -1;
    int64_t busy = 0;
    int64_t longest = 0;
};

KeyFigures key_once(QWidget *target, int key)
{
    // Long enough for a chip thread that looks every 10 ms, and for a save retried after 5.
    constexpr int kQuietMs = 40;
    run_until_quiet(now_ns(), 20, 1000);
    frame_clock().reset();
    const int64_t start = now_ns();
    post_key(target, key);
    // Every key timed here draws something; on a loaded machine the chip pass behind it can come
    // later than the quiet span, so the first frame is waited for before the quiet is.
    run_until([&] { return frame_clock().last_frame_end_ns() > start; }, kAwaitedMs);
    run_until_quiet(start, kQuietMs, 2000);
    KeyFigures f;
    if (frame_clock().last_frame_end_ns() > start)
        f.to_last_frame = frame_clock().last_frame_end_ns() - start;
    f.busy = frame_clock().busy_ns();
    f.longest = frame_clock().longest_ns();
    return f;
}

void say_key(const char *scenario, const KeyFigures &f)
{
    say(QByteArray("key ") + scenario + ' ' + ms_text(f.to_last_frame) + ' ' + ms_text(f.busy) + ' '
        + ms_text(f.longest));
}

int probe_keys(int &argc, char **argv, const QString &root, int runs)
{
    std::unique_ptr<BenchApplication> app;
    start_settled(argc, argv, root, &app);

    // The yardstick first, alone on the screen.
    {
        auto *d = new LabelDialog(LabelDialog::Label);
        d->show();
        run_until_quiet(now_ns(), 50, 3000);
        for (int i = 0; i < runs; ++i)
            say_key("label", key_once(d, Qt::Key_F6));
        delete d;
        run_until_quiet(now_ns(), 50, 3000);
    }

    // The main menu, its tool row open on the LED switch: OK from home, left to the tools, OK.
    const ZemRamPara *para = Screen::para();
    post_key(page_widget(PAGE_LOCKWINDOW), Qt::Key_F6);
    run_until_quiet(now_ns(), 50, 3000);
    QWidget *menu = page_widget(PAGE_MAINWINDOW);
    post_key(menu, Qt::Key_F4);
    post_key(menu, Qt::Key_F6);
    run_until_quiet(now_ns(), 50, 3000);
    int unchanged = 0;
    for (int i = 0; i < runs; ++i) {
        say_key("focus", key_once(menu, Qt::Key_F5));
        say_key("focus", key_once(menu, Qt::Key_F4));
        const uint16_t before = para->rd16(Ram::kLedOff);
        say_key("led", key_once(menu, Qt::Key_F6));
        unchanged += para->rd16(Ram::kLedOff) == before;
    }
    if (unchanged)
        say("warning the LED key left the LED word as it was " + QByteArray::number(unchanged) + " times");

    // Home again (back closes the tool row, back leaves), then the key panel's freeze key.
    post_key(menu, Qt::Key_PowerOff);
    run_until_quiet(now_ns(), 50, 3000);
    post_key(menu, Qt::Key_PowerOff);
    run_until_quiet(now_ns(), 50, 3000);
    QWidget *home = page_widget(PAGE_LOCKWINDOW);
    for (int i = 0; i < runs && home; ++i)
        say_key("freeze", key_once(home, Qt::Key_N));
    _exit(0);
}

// A path no file has: its access check is the marker strace shows.
void mark(const QByteArray &name)
{
    const QByteArray path = "/zem-bench-mark/" + name;
    (void)::access(path.constData(), F_OK);
}

int probe_walk(int &argc, char **argv, const QString &root)
{
    std::unique_ptr<BenchApplication> app;
    start_settled(argc, argv, root, &app);
    say("gui_tid " + QByteArray::number(qlonglong(::gettid())));
    // A key, and the frames it causes; the chip pass and the save may come with the next key.
    const auto key = [](int code) {
        post_key(key_target(), code);
        run_until_quiet(now_ns(), 5, 2000);
    };
    const auto open = [](const ScreenEntry &e) {
        post([&e] { e.open(); });
        run_until_quiet(now_ns(), 10, 3000);
    };
    const auto close = [] {
        post(close_above_home);
        // The last chip pass and the change refresh belong to this screen too.
        run_until_quiet(now_ns() + 15 * kMs, 10, 3000);
    };
    for (const ScreenEntry &e : screen_catalog()) {
        if (e.page == PAGE_LOCKWINDOW || e.page == PAGE_MAINWINDOW)
            continue;
        mark(e.name);
        // Each of the first focus places in turn, from a fresh open: right to it, then twice OK
        // (an edit opened, a level entered, a child screen opened), right (a value stepped, the
        // next entry), OK (confirmed, chosen).
        for (int place = 0; place < kWalkPlaces; ++place) {
            open(e);
            for (int i = 0; i < place; ++i)
                key(Qt::Key_F5);
            for (int code : {Qt::Key_F6, Qt::Key_F5, Qt::Key_F6, Qt::Key_F6, Qt::Key_F5, Qt::Key_F6})
                key(code);
            close();
        }
        // Then a stream of left, right and OK in an order fixed per screen, for what lies deeper.
        open(e);
        uint32_t seed = 0;
        for (const char *c = e.name; *c; ++c)
            seed = seed * 31 + uint8_t(*c);
        const int keys[] = {Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_F6};
        for (int i = 0; i < kWalkStream; ++i) {
            seed = seed * 1103515245u + 12345u;
            key(keys[(seed >> 16) % 4]);
        }
        close();
    }
    mark("end");
    say("walked");
    _exit(0);
}

int probe_list()
{
    for (const ScreenEntry &e : screen_catalog())
        if (e.page != PAGE_LOCKWINDOW && e.page != PAGE_MAINWINDOW)
            say(e.name);
    return 0;
}

}
}

int run_probe(int argc, char **argv)
{
    // argv: program --probe KIND ARGS...; Qt sees the program's name alone.
    const QString kind = QString::fromLocal8Bit(argv[2]);
    QStringList args;
    for (int i = 3; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    int qt_argc = 1;
    char *qt_argv[] = {argv[0], nullptr};
    if (kind == QLatin1String("list"))
        return bench::probe_list();
    if (kind == QLatin1String("startup") && args.size() == 1)
        return bench::probe_startup(qt_argc, qt_argv, args[0]);
    if (kind == QLatin1String("startup-baseline"))
        return bench::probe_startup_baseline(qt_argc, qt_argv);
    if (kind == QLatin1String("idle-baseline"))
        return bench::probe_idle_baseline(qt_argc, qt_argv);
    if (kind == QLatin1String("open") && (args.size() == 3 || args.size() == 4))
        return bench::probe_open(qt_argc, qt_argv, args[0], args[1], args[2].toInt(), args.value(3));
    if (kind == QLatin1String("keys") && args.size() == 2)
        return bench::probe_keys(qt_argc, qt_argv, args[0], args[1].toInt());
    if (kind == QLatin1String("walk") && args.size() == 1)
        return bench::probe_walk(qt_argc, qt_argv, args[0]);
    std::fprintf(stderr, "zem_bench: unknown probe %s\n", argv[2]);
    return 2;
}
