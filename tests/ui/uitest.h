#pragma once
// The fixture of every screen test (init: fresh_ui(), cleanup: close_all()): a fresh data root
// with the parameter store, the configuration and the change refresh, the ui wired in, modal
// screens shown without a nested loop; helpers for keys, the tick and texts.
#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <functional>

#include "config_engine.h"
#include "global.h"
#include "numberkeyboard.h"
#include "screen.h"
#include "syncupdate.h"
#include "testroot.h"
#include "tip.h"
#include "zemrampara.h"

namespace uitest {

// What one tick does. Unset, it counts G_timeTicks and times the tip out, the two parts of the
// 10 ms tick that the framework owns; a fixture with the main window may point it at the real tick.
inline std::function<void()> tick_hook;

inline ZemRamPara *para() { return ZemRamPara::p_zemrampara_config; }
inline uint16_t rd16(int off) { return para()->rd16(off); }
inline void wr16(int off, uint16_t v) { para()->wr16(off, v); }

// The deletions that close() with delete-on-close asked for.
inline void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Deletes every screen still alive but the main menu (which is never deleted; a fixture that
// made one keeps it) and whatever deleteLater() left pending.
inline void close_all()
{
    for (Screen *s : all_screens()) {
        if (s->page() != PAGE_MAINWINDOW)
            delete s->widget();
    }
    flush();
    if (g_tip)
        g_tip->hide();
    g_tip_flag = 0;
    if (g_numberkeyboard)
        g_numberkeyboard->hide();
}

inline void fresh_ui(const QString &name = QString())
{
    close_all();
    ZemRamPara::destroy_for_test();
    ConfigEngine::destroy_for_test();
    fresh_test_root(name);
    ConfigEngine::pInstance();
    QObject::connect(ZemRamPara::pInstance(), &ZemRamPara::sig_update_para, SyncUpdate::pInstance(),
                     &SyncUpdate::para_sync, Qt::UniqueConnection);
    ui_init();
    set_modal_runner([](QDialog *d) {
        d->show();
        return 0;
    });
    TIP::create_shared();
    NumberKeyboard::create_shared()->menulist_init();   // each test starts on the 1 key
    g_lineedit = nullptr;
    g_page_focus = 0;
    g_mode_shortcut_key = 0;
    g_language = 1;
    g_lcd_lang_valid = 0x1F;
    g_image_current = 0;
    g_zem_keys = 0;
}

// One panel key (or USB letter) pressed and released on the widget.
inline void key(QWidget *w, int code)
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

inline void keys(QWidget *w, std::initializer_list<int> codes)
{
    for (int code : codes)
        key(w, code);
}

// A step of a QTestEventList row that QTest cannot type itself: the panel's PowerOff and Stop
// codes, a touch.
struct Step : QTestEvent
{
    explicit Step(std::function<void(QWidget *)> f) : run(std::move(f)) {}
    void simulate(QWidget *w) override { run(w); }
    QTestEvent *clone() const override { return new Step(run); }
    std::function<void(QWidget *)> run;
};

inline QTestEventList key_list(const QList<int> &codes)
{
    QTestEventList events;
    for (int code : codes)
        events.append(new Step([code](QWidget *w) { key(w, code); }));
    return events;
}

inline void tick(int n = 1)
{
    for (int i = 0; i < n; ++i) {
        if (tick_hook) {
            tick_hook();
        } else {
            ++G_timeTicks;
            if (g_tip_flag && g_tip)
                g_tip->tip_outtime_deal();
        }
    }
}

// The text of the named label, button or line edit under root, or root itself ("" when none).
inline QString text(const QWidget *root, const QString &object_name)
{
    const QWidget *w = root->findChild<QWidget *>(object_name);
    if (!w && root->objectName() == object_name)
        w = root;
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    return QString();
}

inline QString style(const QWidget *root, const QString &object_name)
{
    const auto *w = root->findChild<QWidget *>(object_name);
    return w ? w->styleSheet() : QString();
}

}
