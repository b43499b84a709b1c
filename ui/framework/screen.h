#pragma once
// The machinery every screen shares. A screen class derives from ScreenOf<Qt class, its form>,
// which is the widget: it takes the keys, owns the generated form (`ui`), registers the screen by
// page and leaves it, by default, to the parent page of the page table (vocabulary.h). A screen
// states only its particulars. The smallest one, with one button and a back path (its form is
// example.ui, its header and source example.h and example.cpp):
//
//   class Example : public ScreenOf<QDialog, Ui::Example>
//   {
//       Q_OBJECT
//   public:
//       Example() : ScreenOf(PAGE_EXAMPLE)
//       {
//           ui.setupUi(this);
//           m_focus.set({ui.Button_a}, Look::Thin);
//           language_changed();
//       }
//       void language_changed() override { ui.Button_a->setText(tr5("网络", "Net", "Сеть", "Mạng", "網路")); }
//   };
//   extern Example *g_example;              // in example.cpp: Example *g_example = nullptr;
//
// Beside its class a screen needs four rows elsewhere, or it cannot be reached or left:
// - its page: PAGE_EXAMPLE in PageId (vocabulary.h), and its row in parent_page()'s table there,
//   the page of the screen that opens it, where its back path returns;
// - its opener, in that parent: the action of the entry that leads to it,
//       m_focus.set_action(kExampleRow, [] { open_screen(g_example, new Example); });
//   or, for a button of the parent's form, a slot on_<button>_clicked() that does the same;
// - its catalog row, entry(PAGE_EXAMPLE, g_example) in ui/catalog/catalog.cpp: the walker, the
//   key storm (whose test asks that every catalog screen is reached) and the bench find it there;
// - its shots in tools/gallery, whose pictures are made on purpose into tests/ui/gallery.
//
// Keys (released; a press only logs): left/right walk m_focus with wrap, OK clicks the focused
// control or opens its value (FocusList), back closes an edit or leaves, mode closes the chain to
// the main menu and opens the user modes (not while the key lock is on). keys_blocked() stops
// left/right/OK/back first (by default while the screen's job runs). Every key then reaches the
// USB key panel's shortcuts, but for the mode key under the lock. Override key_left/right/ok/
// back/mode/other for sub-states. A screen reads and writes the image through para() (writes
// under a ChipWrite or ChipLock, chip_request.h) and reads the FPGA through FpgaView (fpga_view.h).
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <vector>

#include "focus.h"
#include "language.h"
#include "looks.h"
#include "vocabulary.h"

class QDialog;
class QKeyEvent;
class QLabel;
class QRoundProgressBar;
class ZemRamPara;

// ---- keys -------------------------------------------------------------------------------------
enum class PanelKey { None, Left, Right, Ok, Back, Mode };
// Panel codes (Qt F4, F5, F6, PowerOff, Stop) and the USB key panel's letters S, R, Q, O, M.
PanelKey panel_key(int code);
bool key_lock_on();   // image u16 772 nonzero

// printf's own formatting for the key lines: C's "%#x" prints zero as a bare 0, where
// QString::asprintf gives 0x0.
QString c_printf(const char *format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(1, 2);

// ---- modal seam -------------------------------------------------------------------------------
// Every nested exec() goes through here; tests swap in a runner that shows and returns.
using ModalRunner = std::function<int(QDialog *)>;
int run_modal(QDialog *dialog);
void set_modal_runner(ModalRunner runner);   // empty runner = QDialog::exec

// ---- screens ----------------------------------------------------------------------------------
// The mode-key shortcut: closes every open screen above the main menu, sets g_mode_shortcut_key
// and opens CustomMode on page 4. Does nothing while the key lock is on.
void mode_shortcut();

// The part of every screen that is not its particulars (the Qt side is ScreenOf's).
class Screen
{
public:
    Screen(QWidget *self, uint8_t page);
    virtual ~Screen();

    virtual void language_changed() = 0;
    // Called by the change refresh while this screen's page is in g_page_focus: by default a
    // changed language re-sets the texts.
    virtual void syncUpdate(int code);
    // Called after the refresh's save, while the screen is still on display.
    virtual void after_sync(int /*code*/) {}
    // The refresh's last step on the screen on display: a check mark waited for, then after_sync.
    void refresh_done(int code);

    // The parameter store, as every screen reaches the image (null only before start-up made it).
    static ZemRamPara *para();

    QWidget *widget() const { return m_self; }
    uint8_t page() const { return m_page; }
    // The class name, as the key diagnostics print it.
    const char *class_name() const;
    // The row level's focus index (`ui_select`) and the list itself, for the screen's readers.
    int focus_index() const { return m_focus.index(); }
    const FocusList &focus() const { return m_focus; }

    // Closes this screen for the mode shortcut: delete-on-close, close, pointer cleared.
    void close_screen();
    // The back path as the back key takes it (UiHooks::page_back); refused while keys are blocked.
    // A screen whose back key works inside it first may leave by another road here.
    virtual void back();
    // Left by its back path or closed by the shortcut (deletion follows from the event loop).
    bool is_closed() const { return m_closed; }

    // Posts FPGA job `job` for this screen: the round bar first (a job that ends at once still
    // finds it), then write_inputs, then the job word. Progress comes back on the GUI thread, to
    // the bar and to job_progress(), only while this screen is open. False when a job or a bar
    // is already there.
    bool start_job(uint8_t job, const std::function<void()> &write_inputs = {});
    // This screen's job bar is up.
    bool job_running() const;

protected:
    // The standard key handlers of ScreenOf.
    void screen_key_release(QKeyEvent *event);
    void screen_key_press(QKeyEvent *event);   // diagnostic only
    // The debug-log line of a panel key, released or pressed ("" for none); numbers print as C's
    // "%#x". A screen whose lines name more of its state than the focus index overrides it.
    virtual QString key_line(PanelKey key, bool released) const;
    // The `ui_select` the left and right lines print: the focus index, unless the screen's own
    // selection is kept elsewhere.
    virtual int key_select() const { return m_focus.index(); }

    // Asked before left, right, OK and back act.
    virtual bool keys_blocked() const { return job_running(); }
    virtual void key_left() { m_focus.left(); }
    virtual void key_right() { m_focus.right(); }
    virtual void key_ok() { m_focus.ok(); }
    virtual void key_back();
    // Runs only while the key lock is off; the main menu and the user-mode screen differ here.
    virtual void key_mode() { mode_shortcut(); }
    virtual void key_other(int /*code*/) {}
    // The screen's own part of a job's progress (the bar is served already); 100 ends the job.
    virtual void job_progress(int /*percent*/) {}

    // The back path to the parent of the page table, or to the page given: delete-on-close,
    // close, pointer null, parent's language_changed(), parent page, parent's child_left().
    void leave();
    // Whether the parent's texts are set again as this screen leaves: always, or only when the
    // language has changed since this screen opened (a redraw may also count afresh what the
    // parent shows, which such a screen leaves as the user last saw it).
    enum class ParentTexts { Always, OnNewLanguage };
    void leave_to(uint8_t parent_page, ParentTexts texts = ParentTexts::Always);
    // A screen this one opened has left by its back path (not by the mode shortcut, which closes
    // this screen too): what it changed may show here. Runs once this page is on display again.
    virtual void child_left(uint8_t /*child_page*/) {}
    // The first step of every syncUpdate: the language in the image may have changed.
    void sync_language();
    // The check mark of a change just made to the image, shown while this screen is on display
    // once the parameter file holds the change (`held` asks it of the store's shadow): when the
    // image is saved, or at the refresh after the change when the file held it already. A save
    // that fails shows none. A later call replaces the change waited for; an empty one waits for
    // none.
    using SavedTest = std::function<bool(const ZemRamPara &)>;
    void check_mark_once_saved(SavedTest held);

    FocusList m_focus;

private:
    friend struct ScreenRegistry;
    friend void register_opened(Screen *screen, std::function<void()> clear_pointer);
    void on_job_progress(int percent);
    void show_check_mark_if_saved();

    QWidget *m_self;
    uint8_t m_page;
    std::function<void()> m_clear_pointer;
    bool m_closed = false;
    QPointer<QRoundProgressBar> m_job_bar;
    SavedTest m_saved_test;
    bool m_watching_saves = false;
    uint8_t m_opened_language;
};

// The widget side of a screen: the Qt class, the key events (once, for every screen) and the
// generated form by value. The screen's constructor runs `ui.setupUi(this)` first, so that its
// slots named on_<object>_<signal> are connected to its own meta-object.
template <class QtBase, class Form>
class ScreenOf : public QtBase, public Screen
{
public:
    explicit ScreenOf(uint8_t page) : QtBase(nullptr), Screen(this, page) {}

protected:
    void keyPressEvent(QKeyEvent *event) final { screen_key_press(event); }
    void keyReleaseEvent(QKeyEvent *event) final { screen_key_release(event); }

    Form ui;
};

void set_page_focus(uint8_t page);

// Opens a screen by the opening rule: pointer set, page set, run modally (or shown for the two
// modeless screens). The pointer is cleared by whichever path closes the screen.
template <class T>
void open_screen(T *&global_ptr, T *screen, bool modal = true);

// The open screen registered for a page, or null (a screen already left does not count).
Screen *screen_at(uint8_t page);
// Every screen alive, in the order they were built.
std::vector<Screen *> all_screens();

// The two hint pictures under a menu: OK and back.
void set_key_hints(QLabel *ok, QLabel *back);
// The USB stick's tips (inserted, removed, mounted) for the pages that read the stick.
void show_usb_tip(int code);

// Wires the user interface into core: the change refresh, the key panel's lights, the CustomMode
// opener, the window stacking. Called once by main and by every test fixture that shows screens.
void ui_init();
// The compiled-in images under the png prefix; ui_init loads them, tools that skip ui_init call this.
void ui_init_resources();
// Creates CustomMode for the shortcut (g_custommode, page 4, show()); set by main and by the
// test fixtures. While null the shortcut still closes the chain and sets g_mode_shortcut_key.
extern void (*g_open_custommode)();
// Every global of the user interface and of core back to its start value (the tests' fixtures).
void reset_ui_globals();

// ---- implementation of the template ----------------------------------------------------------
void register_opened(Screen *screen, std::function<void()> clear_pointer);

template <class T>
void open_screen(T *&global_ptr, T *screen, bool modal)
{
    global_ptr = screen;
    // Only this screen's pointer: a later screen of the same class may hold it by then.
    register_opened(screen, [&global_ptr, screen] {
        if (global_ptr == screen)
            global_ptr = nullptr;
    });
    set_page_focus(screen->page());
    if constexpr (std::is_base_of_v<QDialog, T>) {
        if (modal) {
            run_modal(screen);
            return;
        }
    }
    screen->show();
}
