#include "screen.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include <QDebug>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>

#include "QRoundProgressBar.h"
#include "fpga_manage.h"
#include "global.h"
#include "ram_layout.h"
#include "syncupdate.h"
#include "tip.h"
#include "uihooks.h"
#include "wakeup.h"
#include "zem_keyboard.h"
#include "zemrampara.h"

// ---- keys -------------------------------------------------------------------------------------

PanelKey panel_key(int code)
{
    switch (code) {
    case Qt::Key_F4:
    case Qt::Key_S:
        return PanelKey::Left;
    case Qt::Key_F5:
    case Qt::Key_R:
        return PanelKey::Right;
    case Qt::Key_F6:
    case Qt::Key_Q:
        return PanelKey::Ok;
    case Qt::Key_PowerOff:
    case Qt::Key_O:
        return PanelKey::Back;
    case Qt::Key_Stop:
    case Qt::Key_M:
        return PanelKey::Mode;
    default:
        return PanelKey::None;
    }
}

bool key_lock_on()
{
    const ZemRamPara *para = Screen::para();
    return para && para->rd16(Ram::kKeyLock) != 0;
}

// ---- modal seam -------------------------------------------------------------------------------

static ModalRunner &modal_runner()
{
    static ModalRunner runner;
    return runner;
}

int run_modal(QDialog *dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    if (modal_runner())
        return modal_runner()(dialog);
    return dialog->exec();
}

void set_modal_runner(ModalRunner runner)
{
    modal_runner() = std::move(runner);
}

// ---- registry ---------------------------------------------------------------------------------

// Screens in the order they were built; the shortcut closes them from the back.
struct ScreenRegistry
{
    static std::vector<Screen *> &screens()
    {
        static std::vector<Screen *> list;
        return list;
    }
};

void set_page_focus(uint8_t page)
{
    g_page_focus = page;
}

void (*g_open_custommode)() = nullptr;

Screen::Screen(QWidget *self, uint8_t page) : m_self(self), m_page(page), m_opened_language(g_language)
{
    ScreenRegistry::screens().push_back(this);
}

Screen::~Screen()
{
    auto &list = ScreenRegistry::screens();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (m_clear_pointer)
        m_clear_pointer();
}

void register_opened(Screen *screen, std::function<void()> clear_pointer)
{
    if (screen)
        screen->m_clear_pointer = std::move(clear_pointer);
}

Screen *screen_at(uint8_t page)
{
    const auto &list = ScreenRegistry::screens();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if ((*it)->page() == page && !(*it)->is_closed())
            return *it;
    }
    return nullptr;
}

std::vector<Screen *> all_screens()
{
    return ScreenRegistry::screens();
}

const char *Screen::class_name() const
{
    return m_self->metaObject()->className();
}

void Screen::syncUpdate(int)
{
    sync_language();
}

void Screen::close_screen()
{
    m_closed = true;
    m_self->setAttribute(Qt::WA_DeleteOnClose);
    m_self->close();
    if (m_clear_pointer)
        m_clear_pointer();
}

void Screen::back()
{
    if (!keys_blocked())
        key_back();
}

void Screen::key_back()
{
    if (!m_focus.back())
        leave();
}

void Screen::leave()
{
    leave_to(parent_page(m_page));
}

void Screen::leave_to(uint8_t parent_page, ParentTexts texts)
{
    close_screen();
    // The parent may be gone already (mode shortcut, USB stick): then there is nothing to refresh.
    Screen *parent = screen_at(parent_page);
    // A language a refresh took in while this screen was up counts too: its file is written by
    // now, and the image no longer differs from the shadow.
    ZemRamPara *p = para();
    const bool redraw = texts == ParentTexts::Always || (p && p->ZemLanguageChanged())
                        || g_language != m_opened_language;
    if (parent && redraw)
        parent->language_changed();
    set_page_focus(parent_page);
    if (parent)
        parent->child_left(m_page);
}

void Screen::refresh_done(int code)
{
    show_check_mark_if_saved();
    after_sync(code);
}

void Screen::check_mark_once_saved(SavedTest held)
{
    m_saved_test = std::move(held);
    if (!m_saved_test || m_watching_saves || !SyncUpdate::p_syncupdate)
        return;
    m_watching_saves = true;
    QObject::connect(SyncUpdate::p_syncupdate, &SyncUpdate::sig_image_saved, m_self,
                     [this] { show_check_mark_if_saved(); });
}

void Screen::show_check_mark_if_saved()
{
    const ZemRamPara *p = para();
    if (!m_saved_test || !p || !m_saved_test(*p))
        return;
    m_saved_test = nullptr;
    // Not over a screen opened from here since.
    if (g_page_focus == m_page)
        show_tip(TIP_DONE);
}

void Screen::sync_language()
{
    ZemRamPara *para = Screen::para();
    if (para && para->ZemLanguageChanged())
        language_changed();
}

void set_key_hints(QLabel *ok, QLabel *back)
{
    ok->setPixmap(png(QStringLiteral(":/png/OK_Enter.png")));
    back->setPixmap(png(QStringLiteral(":/png/back_return.png")));
}

void show_usb_tip(int code)
{
    switch (code) {
    case CHANGE_USB_INSERTED: show_tip(TIP_USB_INSERTED); break;
    case CHANGE_USB_REMOVED: show_tip(TIP_USB_REMOVED); break;
    case CHANGE_USB_MOUNTED: show_tip(TIP_USB_READING); break;
    default: break;
    }
}

// ---- keys -------------------------------------------------------------------------------------

static const char *key_name(PanelKey key)
{
    switch (key) {
    case PanelKey::Left: return "left";
    case PanelKey::Right: return "right";
    case PanelKey::Ok: return "OK";
    case PanelKey::Back: return "back";
    case PanelKey::Mode: return "mode";
    case PanelKey::None: break;
    }
    return "other";
}

QString c_printf(const char *format, ...)
{
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return QString::fromUtf8(line);
}

QString Screen::key_line(PanelKey key, bool released) const
{
    switch (key) {
    case PanelKey::Left:
    case PanelKey::Right:
        return released ? c_printf("this is %s-code [%s][Release] ui_select=%#x", key_name(key), class_name(),
                                   static_cast<unsigned>(key_select()))
                        : QString();
    case PanelKey::Mode:
        return released ? c_printf("this is mode-code [%s][Release]", class_name()) : QString();
    case PanelKey::Ok:
    case PanelKey::Back:
        return c_printf("this is %s button(%s)[%s]\n", key_name(key), class_name(), released ? "Release" : "Press");
    case PanelKey::None:
        break;
    }
    return QString();
}

void Screen::screen_key_press(QKeyEvent *event)
{
    const QString line = key_line(panel_key(event->key()), false);
    if (!line.isEmpty())
        qDebug().noquote() << line;
}

void Screen::screen_key_release(QKeyEvent *event)
{
    const int code = event->key();
    const PanelKey key = panel_key(code);
    const QString line = key == PanelKey::None
                             ? c_printf("key %#x [%s][Release]", static_cast<unsigned>(code), class_name())
                             : key_line(key, true);
    if (!line.isEmpty())
        qDebug().noquote() << line;

    // The action may close this screen (deleted later): nothing after it reaches through `this`.
    const bool blocked = keys_blocked();
    switch (key) {
    case PanelKey::Left:
        if (!blocked)
            key_left();
        break;
    case PanelKey::Right:
        if (!blocked)
            key_right();
        break;
    case PanelKey::Ok:
        if (!blocked)
            key_ok();
        break;
    case PanelKey::Back:
        if (!blocked)
            key_back();
        break;
    case PanelKey::Mode:
        if (key_lock_on())
            return;
        key_mode();
        break;
    case PanelKey::None:
        key_other(code);
        break;
    }
    zem_keyboard::update_usb_keyEvent(code);
}

// ---- jobs -------------------------------------------------------------------------------------

bool Screen::start_job(uint8_t job, const std::function<void()> &write_inputs)
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    auto *dialog = qobject_cast<QDialog *>(m_self);
    if (!fpga || !dialog || g_qround_bar || g_send_para.job() != JOB_IDLE)
        return false;
    QRoundProgressBar::create_qround_bar(dialog);
    m_job_bar = g_qround_bar;
    // The FPGA thread tells the progress; the GUI thread decides whether anyone is still there.
    const QPointer<QWidget> alive(m_self);
    fpga->set_job_listener([alive, this](int percent) {
        UiHooks::on_gui_thread([alive, this, percent] {
            if (alive && !is_closed())
                on_job_progress(percent);
        });
    });
    if (write_inputs)
        write_inputs();
    g_send_para.job_word.store(job, std::memory_order_release);
    Wakeups::fpga().wake();
    return true;
}

bool Screen::job_running() const
{
    return m_job_bar && m_job_bar == g_qround_bar;
}

void Screen::on_job_progress(int percent)
{
    if (m_job_bar)
        m_job_bar->para_sync(percent);
    job_progress(percent);
}

// ---- the mode shortcut ------------------------------------------------------------------------

void mode_shortcut()
{
    if (key_lock_on())
        return;
    // Deepest first, so every nested exec() unwinds in the order it was entered.
    std::vector<Screen *> chain;
    const auto &list = ScreenRegistry::screens();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if ((*it)->page() != PAGE_MAINWINDOW && !(*it)->is_closed())
            chain.push_back(*it);
    }
    for (Screen *s : chain)
        s->close_screen();
    g_mode_shortcut_key = 1;
    if (g_open_custommode)
        g_open_custommode();
    else
        set_page_focus(PAGE_MAINWINDOW);   // what is left on display
}

ZemRamPara *Screen::para()
{
    return ZemRamPara::p_zemrampara_config;
}
