#include "screen.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <vector>

// ---- windows ----------------------------------------------------------------------------------

namespace {

// Watches every widget's show and hide; acts on the program's own windows only (a combo box's list
// and a tool tip are Qt's business).
class WindowStacking : public QObject
{
public:
    explicit WindowStacking(QObject *parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::Show && type != QEvent::Hide) || event->spontaneous() || !watched->isWidgetType())
            return false;
        auto *window = static_cast<QWidget *>(watched);
        if (!window->isWindow() || (window->windowType() != Qt::Window && window->windowType() != Qt::Dialog))
            return false;
        if (type == QEvent::Show)
            shown(window);
        else
            hidden(window);
        return false;
    }

private:
    void shown(QWidget *window)
    {
        forget(window);
        m_stack.push_back(window);
        // Over a modal screen a window would count as blocked by it, and Qt on X hands the keys
        // straight back to the modal one: while that screen is up, the window belongs to it.
        QWindow *handle = window->windowHandle();
        if (handle && !window->isModal() && !window->parentWidget()) {
            QWindow *modal = QGuiApplication::modalWindow();
            handle->setTransientParent(modal != handle ? modal : nullptr);
        }
        // A window keeps the place in the stack it was made at: the keyboard, made once at start,
        // would open under every screen made after it.
        if (stacking_platform())
            window->raise();
        activate(window);
    }

    void hidden(QWidget *window)
    {
        forget(window);
        // The keys go to the window now on top; on X they would otherwise stay with no window.
        while (!m_stack.empty() && !(m_stack.back() && m_stack.back()->isVisible()))
            m_stack.pop_back();
        if (!m_stack.empty())
            activate(m_stack.back());
    }

    void forget(QWidget *window)
    {
        m_stack.erase(std::remove_if(m_stack.begin(), m_stack.end(),
                                     [window](const QPointer<QWidget> &w) { return !w || w == window; }),
                      m_stack.end());
    }

    // The offscreen and minimal platforms keep no stacking order and say so on every raise.
    static bool stacking_platform()
    {
        static const bool stacks = QGuiApplication::platformName() != QLatin1String("offscreen")
                                   && QGuiApplication::platformName() != QLatin1String("minimal");
        return stacks;
    }

    static void activate(QWidget *window)
    {
        if (window->testAttribute(Qt::WA_ShowWithoutActivating) || (window->windowFlags() & Qt::WindowDoesNotAcceptFocus))
            return;
        // Asked of the platform every time: Qt skips a window it still counts as active, which
        // the X server may no longer do once the window above it is gone.
        if (QWindow *handle = window->windowHandle())
            handle->requestActivate();
    }

    // The shown windows, the topmost last.
    std::vector<QPointer<QWidget>> m_stack;
};

}

void install_window_stacking()
{
    static QPointer<WindowStacking> installed;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || installed)
        return;
    installed = new WindowStacking(app);
    app->installEventFilter(installed);
}
