#pragma once
// The machinery every screen shares: page numbers and the registry of open screens, key
// classification, the focus list with its two style kinds, opening and leaving, the mode-key
// shortcut, the language choice of texts and images, and the modal seam.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "zem_keyboard.h"

class QDialog;
class QKeyEvent;

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

// ---- modal seam -------------------------------------------------------------------------------
// Every nested exec() goes through here; tests swap in a runner that shows and returns.
using ModalRunner = std::function<int(QDialog *)>;
int run_modal(QDialog *dialog);
void set_modal_runner(ModalRunner runner);   // empty runner = QDialog::exec

// ---- screens ----------------------------------------------------------------------------------
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

protected:
    // The standard keyReleaseEvent: diagnostic line, classification, left/right/OK/back/mode,
    // then the key handed to the key adapter (except the mode key under the key lock).
    void screen_key_release(QKeyEvent *event);
    void screen_key_press(QKeyEvent *event);   // diagnostic only

    virtual void key_left() { m_focus.move(-1); }
    virtual void key_right() { m_focus.move(+1); }
    virtual void key_ok() { m_focus.click_current(); }
    virtual void key_back() = 0;
    virtual void key_other(int /*code*/) {}

    // The back path: delete-on-close, close, pointer null, parent's language_changed(), parent page.
    void leave_to(uint8_t parent_page);

    FocusList m_focus;
    zem_keyboard m_zem_keyboard;

private:
    friend struct ScreenRegistry;
    QWidget *m_self;
    uint8_t m_page;
    const char *m_class_name;
    std::function<void()> m_clear_pointer;
};

// Opens a screen by the opening rule: pointer set, page set, run modally (or shown for the two
// modeless screens). The pointer is cleared by whichever path closes the screen.
template <class T>
void open_screen(T *&global_ptr, T *screen, bool modal = true);

// The screen registered for a page, or null.
Screen *screen_at(uint8_t page);

// The mode-key shortcut: closes every open screen above the main menu, sets g_mode_shortcut_key
// and opens CustomMode on page 4. Does nothing while the key lock is on.
void mode_shortcut();

// Wires the user interface into core: the change refresh, the key panel's lights, the CustomMode
// opener. Called once by main and by every test fixture that shows screens.
void ui_init();
extern void (*g_open_custommode)();   // set by ui_init once CustomMode exists

// ---- implementation of the template ----------------------------------------------------------
void register_opened(Screen *screen, std::function<void()> clear_pointer);

template <class T>
void open_screen(T *&global_ptr, T *screen, bool modal)
{
    global_ptr = screen;
    register_opened(screen, [&global_ptr] { global_ptr = nullptr; });
    extern void set_page_focus(uint8_t);
    set_page_focus(screen->page());
    if (modal)
        run_modal(screen);
    else
        screen->show();
}
