#pragma once
// The machinery every screen shares: page numbers and the registry of open screens, key
// classification, the focus list with its two style kinds, opening and leaving, the mode-key
// shortcut, the language choice of texts and images, and the modal seam.
//
// A minimal screen:
//
//   class Example : public QDialog, public Screen
//   {
//       Q_OBJECT
//   public:
//       explicit Example(QWidget *parent = nullptr)
//           : QDialog(parent), Screen(this, PAGE_NETSET, "Example")
//       {
//           ui->setupUi(this);
//           menulist_init();
//           language_changed();
//       }
//       void language_changed() override
//       {
//           ui->title->setText(tr5("网络", "Network", "Сеть", "Mạng", "網路"));
//           ui->icon->setPixmap(QPixmap(lang_png("closeled.png")));
//       }
//       void syncUpdate(int) override { sync_language(); }
//   protected:
//       void keyPressEvent(QKeyEvent *e) override { screen_key_press(e); }
//       void keyReleaseEvent(QKeyEvent *e) override { screen_key_release(e); }
//       void key_back() override { slot_Button_back_clicked(); }
//   private slots:
//       void slot_Button_back_clicked() { leave_to(PAGE_OUTPUTSET); }
//   private:
//       void menulist_init()
//       {
//           m_focus.add(ui->Button_a);                                  // large buttons
//           m_focus.add(ui->Button_b, Style::kSmall, Style::kSmallFocus);
//           m_focus.set_index(0);
//       }
//   };
//
//   // the opener (OutputSet::on_Button_lanset_clicked):
//   open_screen(g_netset, new Example);   // touch nothing of `this` afterwards
//
// Keys: left/right move m_focus with wrap, OK clicks the focused control (a My_lineEdit emits
// send_show), back calls key_back(), mode calls key_mode() (mode_shortcut()) unless the key lock
// is on; every key then reaches m_zem_keyboard, but for the mode key under the lock. Override
// key_left/right/ok/mode/other for sub-states.
#include <QIcon>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <vector>

#include "zem_keyboard.h"

class QDialog;
class QKeyEvent;
class QLabel;

enum PageId : uint8_t {
    PAGE_LOCKWINDOW = 0,
    PAGE_MAINWINDOW = 1,
    PAGE_MACHINESTATE = 2,
    PAGE_INPUTCHOOSE = 3,
    PAGE_CUSTOMMODE = 4,
    PAGE_OPTION = 5,
    PAGE_OUTPUTSET = 6,
    PAGE_INPUTCUT = 7,
    PAGE_EDIDSET = 8,
    PAGE_IMAGELAYOUT = 9,
    PAGE_LINKOPTION = 10,
    PAGE_IMAGEQUALITY = 11,
    PAGE_ADVANCEDOPTION = 12,
    PAGE_LEDSET = 13,
    PAGE_NETSET = 14,
    PAGE_LCDSHOW = 15,
    PAGE_TEST_CHART = 16,
    PAGE_OTHERSETUP = 17,
    PAGE_FACTORY = 18,
    PAGE_QUALITY = 19,
    PAGE_TEMPERATURE = 20,
    PAGE_LINKCOM = 21,
    PAGE_LINKWLAN = 22,
    PAGE_FACTORYAGE = 23,
    PAGE_SMARTMAPPING = 24,
    PAGE_RCV_RECOVERY = 25,
    PAGE_FIRMWARE_USBGRADE = 26,
    PAGE_COUNT = 27
};

// ---- keys -------------------------------------------------------------------------------------
enum class PanelKey { None, Left, Right, Ok, Back, Mode };
// Panel codes (Qt F4, F5, F6, PowerOff, Stop) and the USB key panel's letters S, R, Q, O, M.
PanelKey panel_key(int code);
bool key_lock_on();   // image u16 772 nonzero

// ---- look -------------------------------------------------------------------------------------
namespace Style {
extern const QString kLarge;        // large button, unfocused
extern const QString kLargeFocus;
extern const QString kSmall;        // small button, unfocused
extern const QString kSmallFocus;
// The one-pixel kinds of the output and setup screens: white frame, focus frame, and the red
// frame of a list whose choice is being changed.
extern const QString kThin;
extern const QString kThinFocus;
extern const QString kThinEdit;
// Combo boxes in the same three kinds.
extern const QString kCombo;
extern const QString kComboFocus;
extern const QString kComboEdit;
}

// A screen's focusable controls in focus order, each with its normal and focused style.
class FocusList
{
public:
    void add(QWidget *w, const QString &normal = Style::kLarge, const QString &focused = Style::kLargeFocus);
    void clear();
    int size() const { return static_cast<int>(m_items.size()); }
    int index() const { return m_index; }
    QWidget *current() const;
    QWidget *at(int i) const;
    // Gives the old control its normal style and the new one its focused style.
    void set_index(int i);
    void move(int delta);            // with wrap-around
    void restyle();                  // every control its style for the current index
    void unfocus_current();          // the focused control gets its normal style; the index stays
    void click_current();            // a button is clicked, exactly as a touch would

private:
    struct Item { QPointer<QWidget> w; QString normal; QString focused; };
    std::vector<Item> m_items;
    int m_index = 0;
};

// ---- languages --------------------------------------------------------------------------------
// The language whose texts are shown: g_language when its bit in g_lcd_lang_valid is set, else
// English (1).
int ui_language();
// One text in the five languages, in the order zh-Hans, en, ru, vi, zh-Hant.
QString tr5(const char *zh, const char *en, const char *ru, const char *vi, const char *tw);
// ":/png/" + language prefix ("", "en_", "ru_", "vn_", "tn_") + name.
QString lang_png(const QString &name);
// The icon of a compiled-in image, decoded once per process: QIcon(path) decodes the file on
// every call, and screens are built anew each time they open.
QIcon cached_icon(const QString &path);
// Shows a name from the names file or from the user exactly as typed: never as rich text.
void set_plain_text(QLabel *label, const QString &text);

// ---- modal seam -------------------------------------------------------------------------------
// Every nested exec() goes through here; tests swap in a runner that shows and returns.
using ModalRunner = std::function<int(QDialog *)>;
int run_modal(QDialog *dialog);
void set_modal_runner(ModalRunner runner);   // empty runner = QDialog::exec

// ---- screens ----------------------------------------------------------------------------------
// The mode-key shortcut: closes every open screen above the main menu, sets g_mode_shortcut_key
// and opens CustomMode on page 4. Does nothing while the key lock is on.
void mode_shortcut();

// The part of every screen that is not its particulars. A screen class derives from its Qt class
// first and from Screen second; the constructor names the screen's page and class.
class Screen
{
public:
    Screen(QWidget *self, uint8_t page, const char *class_name);
    virtual ~Screen();

    virtual void language_changed() = 0;
    // Called by the change refresh while this screen's page is in g_page_focus.
    virtual void syncUpdate(int code) = 0;

    QWidget *widget() const { return m_self; }
    uint8_t page() const { return m_page; }

    // Closes this screen for the mode shortcut: delete-on-close, close, pointer cleared.
    void close_screen();
    // The screen's back path as the back key takes it (UiHooks::page_back).
    void back() { key_back(); }
    // Left by its back path or closed by the shortcut (deletion follows from the event loop).
    bool is_closed() const { return m_closed; }

protected:
    // The standard keyReleaseEvent: diagnostic line, classification, left/right/OK/back/mode,
    // then the key handed to the key adapter (except the mode key under the key lock).
    void screen_key_release(QKeyEvent *event);
    void screen_key_press(QKeyEvent *event);   // diagnostic only

    virtual void key_left() { m_focus.move(-1); }
    virtual void key_right() { m_focus.move(+1); }
    virtual void key_ok() { m_focus.click_current(); }
    virtual void key_back() = 0;
    // Runs only while the key lock is off; the main menu and the user-mode screen differ here.
    virtual void key_mode() { mode_shortcut(); }
    virtual void key_other(int /*code*/) {}

    // The back path: delete-on-close, close, pointer null, parent's language_changed(), parent page.
    void leave_to(uint8_t parent_page);
    // The first step of every syncUpdate: the language in the image may have changed.
    void sync_language();

    FocusList m_focus;
    zem_keyboard m_zem_keyboard;

private:
    friend struct ScreenRegistry;
    friend void register_opened(Screen *screen, std::function<void()> clear_pointer);
    QWidget *m_self;
    uint8_t m_page;
    const char *m_class_name;
    std::function<void()> m_clear_pointer;
    bool m_closed = false;
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

// Wires the user interface into core: the change refresh, the key panel's lights, the CustomMode
// opener. Called once by main and by every test fixture that shows screens.
void ui_init();
// The compiled-in images under the png prefix; ui_init loads them, tools that skip ui_init call this.
void ui_init_resources();
// Creates CustomMode for the shortcut (g_custommode, page 4, show()); set by main and by the
// test fixtures. While null the shortcut still closes the chain and sets g_mode_shortcut_key.
extern void (*g_open_custommode)();

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
