#include "screen.h"

#include <algorithm>

#include <QAbstractButton>
#include <QDebug>
#include <QDialog>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>

#include "global.h"
#include "my_lineedit.h"
#include "ram_layout.h"
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
    const ZemRamPara *para = ZemRamPara::p_zemrampara_config;
    return para && para->rd16(Ram::kKeyLock) != 0;
}

// ---- look -------------------------------------------------------------------------------------

namespace Style {
const QString kLarge = QStringLiteral("background-color: rgb(33, 36, 53);border:2px;border-radius:10px;padding:2px 4px");
const QString kLargeFocus = QStringLiteral(
    "background-color: rgb(33, 36, 53);border:2px solid rgb(255,171,84);border-radius:10px;padding:2px 4px;");
const QString kSmall = QStringLiteral("background-color: rgb(33, 36, 53);border:1px;border-radius:1px;padding:1px 1px");
const QString kSmallFocus = QStringLiteral(
    "background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);border-radius:1px;padding:1px 1px");
const QString kThin = QStringLiteral(
    "background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);");
const QString kThinFocus = QStringLiteral(
    "background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);border:1px solid rgb(255,171,84);");
const QString kThinEdit = QStringLiteral(
    "background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);border:1px solid rgb(255,0,0);");
const QString kCombo = QStringLiteral(
    "QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid rgb(255,255,255);\n}\nQComboBox:drop-down{\nborder-style:none\n}");
const QString kComboFocus = QStringLiteral(
    "QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid rgb(255,171,84);\n}\nQComboBox:drop-down{\nborder-style:none\n}");
const QString kComboEdit = QStringLiteral(
    "QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid rgb(255,0,0);\n}\nQComboBox:drop-down{\nborder-style:none\n}");
}

void FocusList::add(QWidget *w, const QString &normal, const QString &focused)
{
    m_items.push_back(Item{w, normal, focused});
}

void FocusList::clear()
{
    m_items.clear();
    m_index = 0;
}

QWidget *FocusList::current() const
{
    return at(m_index);
}

QWidget *FocusList::at(int i) const
{
    if (i < 0 || i >= size())
        return nullptr;
    return m_items[static_cast<size_t>(i)].w;
}

void FocusList::set_index(int i)
{
    if (m_items.empty())
        return;
    unfocus_current();
    m_index = ((i % size()) + size()) % size();
    const Item &item = m_items[static_cast<size_t>(m_index)];
    if (item.w)
        item.w->setStyleSheet(item.focused);
}

void FocusList::move(int delta)
{
    set_index(m_index + delta);
}

void FocusList::restyle()
{
    for (int i = 0; i < size(); ++i) {
        const Item &item = m_items[static_cast<size_t>(i)];
        if (item.w)
            item.w->setStyleSheet(i == m_index ? item.focused : item.normal);
    }
}

void FocusList::unfocus_current()
{
    if (m_index < 0 || m_index >= size())
        return;
    const Item &item = m_items[static_cast<size_t>(m_index)];
    if (item.w)
        item.w->setStyleSheet(item.normal);
}

void FocusList::click_current()
{
    QWidget *w = current();
    if (!w || !w->isEnabled())
        return;
    // A number field opens the keyboard by the same road as a touch on it.
    if (auto *edit = qobject_cast<My_lineEdit *>(w)) {
        emit edit->send_show(edit->text());
        return;
    }
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        button->click();
}

// ---- languages --------------------------------------------------------------------------------

int ui_language()
{
    const int lang = g_language;
    if (lang >= 0 && lang <= 4 && (g_lcd_lang_valid & (1u << lang)))
        return lang;
    return 1;
}

QString tr5(const char *zh, const char *en, const char *ru, const char *vi, const char *tw)
{
    const char *texts[5] = {zh, en, ru, vi, tw};
    return QString::fromUtf8(texts[ui_language()]);
}

QString lang_png(const QString &name)
{
    static const char *const prefixes[5] = {"", "en_", "ru_", "vn_", "tn_"};
    return QStringLiteral(":/png/") + QLatin1String(prefixes[ui_language()]) + name;
}

QIcon cached_icon(const QString &path)
{
    static QHash<QString, QIcon> icons;
    auto it = icons.constFind(path);
    if (it == icons.cend())
        it = icons.insert(path, QIcon(path));
    return *it;
}

void set_plain_text(QLabel *label, const QString &text)
{
    if (!label)
        return;
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
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

Screen::Screen(QWidget *self, uint8_t page, const char *class_name)
    : m_self(self), m_page(page), m_class_name(class_name)
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

void Screen::close_screen()
{
    m_closed = true;
    m_self->setAttribute(Qt::WA_DeleteOnClose);
    m_self->close();
    if (m_clear_pointer)
        m_clear_pointer();
}

void Screen::leave_to(uint8_t parent_page)
{
    close_screen();
    // The parent may be gone already (mode shortcut, USB stick): then there is nothing to refresh.
    if (Screen *parent = screen_at(parent_page))
        parent->language_changed();
    set_page_focus(parent_page);
}

void Screen::sync_language()
{
    ZemRamPara *para = ZemRamPara::p_zemrampara_config;
    if (para && para->ZemLanguageChanged())
        language_changed();
}

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

void Screen::screen_key_press(QKeyEvent *event)
{
    const PanelKey key = panel_key(event->key());
    if (key == PanelKey::Ok || key == PanelKey::Back)
        qDebug().noquote() << QStringLiteral("this is %1 button(%2)[Press]\n")
                                  .arg(QLatin1String(key_name(key)), QLatin1String(m_class_name));
}

void Screen::screen_key_release(QKeyEvent *event)
{
    const int code = event->key();
    const PanelKey key = panel_key(code);
    switch (key) {
    case PanelKey::Left:
    case PanelKey::Right:
        qDebug().noquote() << QStringLiteral("this is %1-code [%2][Release] ui_select=%3")
                                  .arg(QLatin1String(key_name(key)), QLatin1String(m_class_name),
                                       QStringLiteral("0x") + QString::number(m_focus.index(), 16));
        break;
    case PanelKey::None:
        qDebug().noquote() << QStringLiteral("key %1 [%2][Release]")
                                  .arg(QStringLiteral("0x") + QString::number(code, 16), QLatin1String(m_class_name));
        break;
    default:
        qDebug().noquote() << QStringLiteral("this is %1 button(%2)[Release]\n")
                                  .arg(QLatin1String(key_name(key)), QLatin1String(m_class_name));
        break;
    }

    // The adapter is kept aside: the action may close this screen, whose deletion is deferred, but
    // nothing after the action reaches through `this`.
    zem_keyboard adapter = m_zem_keyboard;
    switch (key) {
    case PanelKey::Left:
        key_left();
        break;
    case PanelKey::Right:
        key_right();
        break;
    case PanelKey::Ok:
        key_ok();
        break;
    case PanelKey::Back:
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
    adapter.update_usb_keyEvent(code);
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
