// The program's windows on a real X server without a window manager, as the PC run has them: an
// Xvfb started here, the screens in their own modal loops, and a user on another thread who types
// and touches through the server (XTEST) and asks the server itself which window is on top at a
// point and which one it sends the keys to. A machine without Xvfb skips the test (exit 77).
#include <QAbstractItemView>
#include <QComboBox>
#include <QStandardPaths>
#include <QTimer>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include "ledset.h"
#include "linkwlan.h"
#include "mainfixture.h"
#include "xserver.h"
#include "zemcontrol.h"

namespace {

constexpr int kExitSkipped = 77;

// ---- the user ---------------------------------------------------------------------------------

// What the user sees and does, through a connection of its own to the X server (user thread only).
class XUser
{
public:
    explicit XUser(const std::string &display)
    {
        m_c = xcb_connect(display.c_str(), nullptr);
        if (xcb_connection_has_error(m_c))
            return;
        const xcb_setup_t *setup = xcb_get_setup(m_c);
        m_root = xcb_setup_roots_iterator(setup).data->root;
        // The keycode of each letter, from the server's own keyboard map.
        const int first = setup->min_keycode, count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t *map =
            xcb_get_keyboard_mapping_reply(m_c, xcb_get_keyboard_mapping(m_c, setup->min_keycode, count), nullptr);
        if (!map)
            return;
        const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map);
        for (int k = 0; k < count; ++k) {
            const xcb_keysym_t sym = syms[k * map->keysyms_per_keycode];
            if (sym >= 'a' && sym <= 'z' && !m_keycode[sym - 'a'])
                m_keycode[sym - 'a'] = static_cast<xcb_keycode_t>(first + k);
        }
        free(map);
    }
    ~XUser() { xcb_disconnect(m_c); }

    bool connected() const { return m_root != XCB_NONE; }
    xcb_window_t root() const { return m_root; }

    // The topmost viewable window of the program that covers the point (XCB_NONE: none does).
    xcb_window_t top_at(QPoint p)
    {
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(m_c, xcb_query_tree(m_c, m_root), nullptr);
        if (!tree)
            return XCB_NONE;
        const xcb_window_t *children = xcb_query_tree_children(tree);
        xcb_window_t found = XCB_NONE;
        // The server lists the children from the bottom of the stack to its top.
        for (int i = xcb_query_tree_children_length(tree) - 1; i >= 0 && found == XCB_NONE; --i) {
            xcb_get_window_attributes_reply_t *attr =
                xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, children[i]), nullptr);
            xcb_get_geometry_reply_t *geo = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, children[i]), nullptr);
            if (attr && geo && attr->map_state == XCB_MAP_STATE_VIEWABLE && p.x() >= geo->x && p.y() >= geo->y
                && p.x() < geo->x + geo->width + 2 * geo->border_width
                && p.y() < geo->y + geo->height + 2 * geo->border_width)
                found = children[i];
            free(attr);
            free(geo);
        }
        free(tree);
        return found;
    }

    xcb_window_t focus()
    {
        xcb_get_input_focus_reply_t *r = xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr);
        const xcb_window_t w = r ? r->focus : XCB_NONE;
        free(r);
        return w;
    }

    // A key of the USB key panel (S left, R right, Q OK, O back, M mode), pressed and released.
    void key(char letter)
    {
        const xcb_keycode_t code = m_keycode[letter - 'A'];
        xcb_test_fake_input(m_c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(m_c, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(m_c);
    }

    void touch(QPoint p)
    {
        xcb_test_fake_input(m_c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root, static_cast<int16_t>(p.x()),
                            static_cast<int16_t>(p.y()), 0);
        xcb_test_fake_input(m_c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(m_c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(m_c);
    }

private:
    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = XCB_NONE;
    xcb_keycode_t m_keycode[26] = {};
};

// Work for the GUI thread, picked up by a timer there: it runs inside whichever modal loop is open,
// as a user's key would. Each job gets a zero timer of its own, so that one that opens a modal
// screen does not hold up the next.
class GuiJobs
{
public:
    GuiJobs()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            std::deque<std::function<void()>> jobs;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                jobs.swap(m_jobs);
            }
            for (auto &job : jobs)
                QTimer::singleShot(0, qApp, std::move(job));
        });
        m_timer.start(2);
    }

    void post(std::function<void()> job)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }

    // The value `f` gives on the GUI thread; none when it did not run in time.
    template <class T>
    std::optional<T> ask(std::function<T()> f)
    {
        struct Reply
        {
            std::mutex m;
            std::condition_variable cv;
            std::optional<T> value;
        };
        auto reply = std::make_shared<Reply>();
        post([reply, f] {
            T value = f();
            std::lock_guard<std::mutex> lock(reply->m);
            reply->value = value;
            reply->cv.notify_all();
        });
        std::unique_lock<std::mutex> lock(reply->m);
        reply->cv.wait_for(lock, std::chrono::milliseconds(zemtest::kCeilingMs), [&] { return reply->value.has_value(); });
        return reply->value;
    }

private:
    QTimer m_timer;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_jobs;
};

// A window of the program by its X id, as a failure names it.
QString window_name(xcb_window_t id)
{
    if (id == XCB_NONE)
        return QStringLiteral("no window");
    if (id == XCB_INPUT_FOCUS_POINTER_ROOT)
        return QStringLiteral("the window under the pointer");
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->internalWinId() == id)
            return QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()), w->objectName());
    }
    return QStringLiteral("window 0x%1").arg(id, 0, 16);
}

WId window_of(const QWidget *w)
{
    return w && w->isVisible() ? w->internalWinId() : 0;
}

QPoint centre_of(const QWidget *w)
{
    return w ? w->mapToGlobal(w->rect().center()) : QPoint(-1, -1);
}

// Closes whatever the scenario left open, deepest first, so that every modal loop unwinds.
void close_everything()
{
    auto screens = all_screens();
    for (auto it = screens.rbegin(); it != screens.rend(); ++it) {
        if ((*it)->page() != PAGE_MAINWINDOW && !(*it)->is_closed())
            (*it)->close_screen();
    }
    if (g_numberkeyboard)
        g_numberkeyboard->hide();
    if (g_tip)
        g_tip->hide();
    g_tip_flag = 0;
}

class User
{
public:
    User(XUser &x, GuiJobs &gui) : x(x), gui(gui) {}

    XUser &x;
    GuiJobs &gui;
    QStringList failures;

    template <class F>
    auto ask(F f) -> decltype(f())
    {
        using T = decltype(f());
        return gui.ask<T>(std::function<T()>(f)).value_or(T());
    }
    void post(std::function<void()> job) { gui.post(std::move(job)); }

    bool wait_for(const std::function<bool()> &condition) { return zemtest::poll_until(condition); }

    // The program has answered what the server told it so far: the GUI thread has run what was
    // queued before a job of ours, the server has taken every request sent meanwhile (a round
    // trip), and the GUI thread has run what that brought.
    void let_the_program_answer()
    {
        ask([] { return true; });
        x.focus();
        ask([] { return true; });
    }

    bool expect(bool ok, const QString &what)
    {
        if (!ok)
            failures << what;
        return ok;
    }

    // The window `which` names is on top at `at` and the server sends it the keys, and still does
    // once the program has answered the focus change (Qt on X hands the focus on from a window it
    // counts as blocked).
    bool in_front(const QString &name, QPoint at, const std::function<WId()> &which)
    {
        const auto holds = [&] {
            const WId id = ask(which);
            return id != 0 && x.top_at(at) == id && x.focus() == id;
        };
        const bool ok = wait_for([&] {
            if (!holds())
                return false;
            let_the_program_answer();
            return holds();
        });
        if (ok)
            return true;
        const xcb_window_t top = x.top_at(at);
        return expect(false, QStringLiteral("%1: on top at (%2,%3) is %4 and the keys go to %5")
                                 .arg(name)
                                 .arg(at.x())
                                 .arg(at.y())
                                 .arg(ask([top] { return window_name(top); }), focus_name()));
    }

    // The server sends the keys to the window `which` names, and still does once the program has
    // answered.
    bool has_keys(const QString &name, const std::function<WId()> &which)
    {
        const auto holds = [&] {
            const WId id = ask(which);
            return id != 0 && x.focus() == id;
        };
        if (wait_for([&] {
                if (!holds())
                    return false;
                let_the_program_answer();
                return holds();
            }))
            return true;
        return expect(false, QStringLiteral("%1: the keys go to %2").arg(name, focus_name()));
    }

    QString focus_name()
    {
        const xcb_window_t focus = x.focus();
        return focus == x.root() ? QStringLiteral("no window (the root)") : ask([focus] { return window_name(focus); });
    }

    bool on_top(const QString &name, QPoint at, const std::function<WId()> &which)
    {
        WId id = 0;
        if (wait_for([&] { return (id = ask(which)) != 0 && x.top_at(at) == id; }))
            return true;
        const xcb_window_t top = x.top_at(at);
        return expect(false, QStringLiteral("%1: on top at (%2,%3) is %4")
                                 .arg(name)
                                 .arg(at.x())
                                 .arg(at.y())
                                 .arg(ask([top] { return window_name(top); })));
    }

    bool until(const QString &what, const std::function<bool()> &on_gui)
    {
        return expect(wait_for([&] { return ask(on_gui); }), what);
    }
};

// Where the program's windows lie on the 320 x 240 screen.
const QPoint kScreen(80, 120);     // left half: a full screen, never the keyboard
const QPoint kKeyboard(240, 120);  // right half: the keyboard while it is open
const QPoint kTip(160, 120);       // the middle: every tip covers it

WId main_window() { return window_of(g_mainwindow); }
WId keyboard() { return window_of(g_numberkeyboard); }
WId tip() { return window_of(g_tip); }

// The tip over the window `beneath` names: on top where it lies, while the keys stay beneath.
bool under_tip(User &u, const QString &name, const std::function<WId()> &beneath)
{
    if (!u.on_top(QStringLiteral("the tip over ") + name, kTip, tip))
        return false;
    return u.has_keys(name + QStringLiteral(" under the tip"), beneath);
}

// The 3 s of the shown tip, run out at once.
void time_out_tip()
{
    while (g_tip_flag)
        g_tip->tip_outtime_deal();
}

// The keyboard asked by a touch on `target`: on top with the keys; the OK key types a 1 into it;
// back closes it and gives the keys back to the screen, whose own back then leaves it for the
// window beneath. A window in the wrong place is noted and the walk goes on, so that one run names
// every fault; it stops where the program did not follow at all.
bool keyboard_over(User &u, const QString &screen_name, const std::function<WId()> &screen,
                   const std::function<QPoint()> &target, const std::function<bool()> &screen_gone,
                   const std::function<WId()> &beneath)
{
    u.in_front(screen_name, kScreen, screen);
    u.x.touch(u.ask(target));
    const QString keys = QStringLiteral("the keyboard opened from ") + screen_name;
    u.in_front(keys, kKeyboard, keyboard);
    u.until(keys + QStringLiteral(" shows its start text unselected, as at its first opening"), [] {
        const auto *edit = g_numberkeyboard->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
        return edit->hasFocus() && !edit->hasSelectedText() && edit->cursorPosition() == edit->text().size();
    });
    u.x.key('Q');
    if (!u.until(keys + QStringLiteral(" takes the typed 1"), [] { return g_numberkeyboard->shown() == QLatin1String("1"); }))
        return false;
    u.x.key('O');
    if (!u.until(keys + QStringLiteral(" closed by the back key"), [] { return !g_numberkeyboard->isVisible(); }))
        return false;
    u.in_front(screen_name + QStringLiteral(" after the keyboard closed"), kKeyboard, screen);
    u.x.key('O');
    if (!u.until(screen_name + QStringLiteral(" left by the back key"), screen_gone))
        return false;
    u.in_front(QStringLiteral("the window under ") + screen_name, kScreen, beneath);
    return true;
}

}

class TestWindows : public QObject
{
    Q_OBJECT
public:
    std::string display;

private:
    // Runs `scenario` as the user on a thread of its own while this thread runs the program, then
    // closes what is left open and reports what the user found wrong.
    void run(const std::function<void(User &)> &scenario)
    {
        XUser x(display);
        QVERIFY2(x.connected(), "no second connection to the test's X server");
        GuiJobs gui;
        User user(x, gui);
        QEventLoop loop;
        std::thread hands([&] {
            scenario(user);
            gui.post([&loop] {
                close_everything();
                loop.quit();
            });
        });
        loop.exec();
        hands.join();
        for (const QString &failure : user.failures)
            qWarning("%s", qPrintable(failure));
        QVERIFY2(user.failures.isEmpty(), "the windows above were not where the user needs them");
    }

private slots:
    void init()
    {
        mainfx::start();
        // The screens run their own loops here, as in the program.
        set_modal_runner({});
        g_numberkeyboard->setGeometry(160, 0, 160, 240);
        QVERIFY(zemtest::wait_exposed(g_mainwindow));
    }

    void cleanup()
    {
        uitest::close_all();
        set_modal_runner({});
    }

    // The keyboard is one window made once: opened from screens made after it, it must still
    // come over them, and the keys must reach it and then the screen again. The user first
    // touches the user-mode list (a window of its own while it is open) and an entry in it.
    void keyboard_over_screens_made_after_it()
    {
        run([](User &u) {
            u.in_front("the main menu", kScreen, main_window);
            u.x.key('M');
            const auto custommode = [] { return window_of(g_custommode); };
            u.in_front("the user modes opened by the mode key", kScreen, custommode);
            const QPoint selector = u.ask([] { return g_custommode ? centre_of(g_custommode->selector()->combobox) : QPoint(); });
            u.x.touch(selector);
            const auto list = [] { return window_of(g_custommode->selector()->combobox->view()->window()); };
            if (!u.on_top("the user-mode list", QPoint(selector.x(), 120), list))
                return;
            u.x.touch(u.ask([] {
                QAbstractItemView *view = g_custommode->selector()->combobox->view();
                return view->viewport()->mapToGlobal(view->visualRect(view->model()->index(2, 0)).center());
            }));
            if (!u.until("the user-mode list closed by a touch on an entry",
                         [] { return !g_custommode->selector()->combobox->view()->window()->isVisible(); }))
                return;
            u.in_front("the user modes after the list closed", kScreen, custommode);
            // Opened by the mode key, the user modes leave for the home screen.
            u.x.key('O');
            if (!u.until("the user modes left by the back key", [] { return g_custommode == nullptr; }))
                return;
            const auto home = [] { return window_of(g_lockwindow); };
            u.in_front("the home screen after the user modes", kScreen, home);

            const auto led_size = [] { return window_of(g_ledset); };
            const auto led_size_gone = [] { return g_ledset == nullptr; };
            const auto field = [](const char *name) {
                return [name] { return centre_of(g_ledset->findChild<QWidget *>(QLatin1String(name))); };
            };
            // The first opening makes the keyboard's window, on top of all there is then.
            u.post([] { open_screen(g_ledset, new ledset); });
            if (!keyboard_over(u, QStringLiteral("LED size"), led_size, field("lineEdit_ledw"), led_size_gone, home))
                return;
            // The same field again, as soon as the user can: the touch may fall within the
            // double-click time, and must open the keyboard all the same.
            u.post([] { open_screen(g_ledset, new ledset); });
            if (!keyboard_over(u, QStringLiteral("LED size opened again"), led_size, field("lineEdit_ledw"),
                               led_size_gone, home))
                return;
            u.post([] { open_screen(g_linkwlan, new linkwlan); });
            if (!keyboard_over(
                    u, QStringLiteral("network address"), [] { return window_of(g_linkwlan); },
                    [] { return centre_of(g_linkwlan->findChild<QWidget *>(QStringLiteral("lineEditIp1"))); },
                    [] { return g_linkwlan == nullptr; }, home))
                return;
            u.post([] { open_screen(g_advancedoption, new AdvancedOption); });
            keyboard_over(
                u, QStringLiteral("advanced settings (the ageing log's access code)"),
                [] { return window_of(g_advancedoption); },
                [] { return centre_of(g_advancedoption->findChild<QWidget *>(QStringLiteral("Button_age"))); },
                [] { return g_advancedoption == nullptr; }, home);
        });
    }

    // The tip is one window made once too: over a screen made after it, it comes on top, but the
    // keys stay with the screen, before it times out and after.
    void tip_over_a_screen()
    {
        run([](User &u) {
            u.post([] { show_tip(TIP_DONE); });
            under_tip(u, "the main menu", main_window);
            u.post(time_out_tip);
            if (!u.until("the check mark timed out", [] { return !g_tip->isVisible(); }))
                return;
            u.in_front("the main menu after the check mark", kTip, main_window);
            u.post([] { open_screen(g_ledset, new ledset); });
            const auto led_size = [] { return window_of(g_ledset); };
            u.in_front("LED size", kTip, led_size);
            u.post([] { show_usb_tip(CHANGE_USB_INSERTED); });
            under_tip(u, "LED size", led_size);
            // Left under the tip, the screen hands the keys to the one beneath, not to the tip.
            u.x.key('O');
            if (!u.until("LED size left by the back key under the USB tip", [] { return g_ledset == nullptr; }))
                return;
            under_tip(u, "the main menu after LED size", main_window);
            u.post(time_out_tip);
            if (u.until("the USB tip timed out", [] { return !g_tip->isVisible(); }))
                u.in_front("the main menu after the USB tip", kTip, main_window);
        });
    }

    // Every refresh of the communication menu shows the check mark over it: the key panel's image
    // key is one. The key pressed at once under it and a touch beside it are the menu's.
    void communication_menu_under_its_check_mark()
    {
        run([](User &u) {
            const auto menu = [] { return window_of(g_linkoption); };
            u.post([] { open_screen(g_linkoption, new LinkOption); });
            u.in_front("the communication menu", kScreen, menu);
            u.x.key('C');
            if (!u.on_top("the check mark of the image key's refresh", kTip, tip))
                return;
            const int shown = u.ask([] { return g_linkoption->focus_index(); });
            u.x.key('R');
            u.until("the right key under the check mark moves the menu's focus",
                    [shown] { return g_tip->isVisible() && g_linkoption->focus_index() == shown + 1; });
            under_tip(u, "the communication menu", menu);
            u.x.touch(u.ask([] { return centre_of(g_linkoption->findChild<QWidget *>(QStringLiteral("Button_com"))); }));
            const auto serial = [] { return window_of(g_linkcom); };
            if (!u.in_front("the serial port opened by a touch beside the check mark", kScreen, serial))
                return;
            u.x.key('O');
            if (u.until("the serial port left by the back key", [] { return g_linkcom == nullptr; }))
                u.in_front("the communication menu after the serial port", kScreen, menu);
        });
    }

    // A new LED size is confirmed by the check mark once it is saved; back at once leaves the
    // screen, with the check mark still up, for the output menu beneath.
    void led_size_left_under_its_check_mark()
    {
        run([](User &u) {
            u.post([] { open_screen(g_option, new Option); });
            u.in_front("the Setting menu", kScreen, [] { return window_of(g_option); });
            u.x.key('Q');
            const auto output = [] { return window_of(g_outputset); };
            u.in_front("the output menu", kScreen, output);
            u.x.key('Q');
            const auto led_size = [] { return window_of(g_ledset); };
            if (!u.in_front("LED size", kScreen, led_size))
                return;
            const QString other = u.ask([] {
                auto *width = g_ledset->findChild<QLineEdit *>(QStringLiteral("lineEdit_ledw"));
                width->setText(QString::number(width->text().toInt() == 1280 ? 1920 : 1280));
                return width->text();
            });
            // Right twice to Apply, OK; then the chip thread's pass and the save of the image.
            for (char k : {'R', 'R', 'Q'})
                u.x.key(k);
            if (!u.until("the new LED size applied", [other] {
                    return QString::number(uitest::rd16(Ram::kLedWidth)) == other;
                }))
                return;
            u.post([] {
                mainfx::chip_pass();
                uitest::para()->ram_para_save();
                SyncUpdate::finish_writes();
            });
            if (!u.until("the check mark once the new size is saved", [] { return g_tip->isVisible(); }))
                return;
            under_tip(u, "LED size", led_size);
            u.x.key('O');
            u.until("LED size left by the back key under the check mark",
                    [] { return g_ledset == nullptr && g_tip->isVisible(); });
            under_tip(u, "the output menu", output);
        });
    }

    // A screen opened by a touch takes the keys: the next key moves its own selection, and
    // leaves the menu under it where it was.
    void screen_opened_by_touch_takes_the_next_key()
    {
        run([](User &u) {
            u.in_front("the main menu", kScreen, main_window);
            const int menu_focus = u.ask([] { return g_mainwindow->focus_index(); });
            u.x.touch(u.ask([] { return centre_of(g_mainwindow->findChild<QWidget *>(QStringLiteral("custommode"))); }));
            const auto custommode = [] { return window_of(g_custommode); };
            u.in_front("the user modes opened by a touch", kScreen, custommode);
            const int shown = u.ask([] { return g_custommode ? g_custommode->selector()->combobox->currentIndex() : -1; });
            u.x.key('R');
            u.until("the right key moves the user modes' selection", [shown] {
                return g_custommode && g_custommode->selector()->combobox->currentIndex() == shown + 1;
            });
            u.expect(u.ask([] { return g_mainwindow->focus_index(); }) == menu_focus,
                     QStringLiteral("the main menu under the user modes moved its focus"));
            if (u.failures.isEmpty()) {
                u.x.key('O');
                if (u.until("the user modes left by the back key", [] { return g_custommode == nullptr; }))
                    u.in_front("the main menu after the user modes", kScreen, main_window);
            }
        });
    }
};

int main(int argc, char **argv)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        std::fprintf(stderr, "ui_test_windows skipped: no Xvfb on this machine (scripts/deps installs it)\n");
        return kExitSkipped;
    }
    // The bench's server: of this test's own, on the first free display, ended with the test.
    bench::Xserver xvfb;
    QString error;
    const QString display = xvfb.start(&error);
    if (display.isEmpty()) {
        std::fprintf(stderr, "ui_test_windows: %s\n", qPrintable(error));
        return 1;
    }
    qputenv("DISPLAY", display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    // As the program itself: a widgets-only program has no use for the GL stack.
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    TestWindows test;
    test.display = display.toStdString();
    return QTest::qExec(&test, argc, argv);
}

#include "test_windows.moc"
