#pragma once
// The fixture of every screen test: a fresh data root with the parameter store, the configuration
// and the change refresh, the ui wired in, modal screens shown without a nested loop, and helpers
// for keys, the tick and texts.
//
//   void init() { uitest::fresh_ui(); }
//   void cleanup() { uitest::close_all(); }
//   ...
//   open_screen(g_option, new Option);
//   uitest::key(g_option, Qt::Key_F5);
//   QCOMPARE(uitest::text(g_option, "label_title"), QStringLiteral("Setting"));
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
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

inline ZemRamPara *para()
{
    return ZemRamPara::p_zemrampara_config;
}

// Deletes every screen still alive but the main menu (which is never deleted; a fixture that
// made one keeps it) and whatever deleteLater() left pending.
inline void close_all()
{
    for (Screen *s : all_screens()) {
        if (s->page() != PAGE_MAINWINDOW)
            delete s->widget();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (g_tip) {
        g_tip->hide();
        g_tip_flag = 0;
    }
    if (g_numberkeyboard)
        g_numberkeyboard->hide();
}

// The deletions that close() with delete-on-close asked for.
inline void flush()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void fresh_ui(const QString &name = QString())
{
    close_all();
    ZemRamPara::destroy_for_test();
    ConfigEngine::destroy_for_test();
    fresh_test_root(name);
    ConfigEngine::pInstance();
    ZemRamPara *p = ZemRamPara::pInstance();
    QObject::connect(p, &ZemRamPara::sig_update_para, SyncUpdate::pInstance(), &SyncUpdate::para_sync,
                     Qt::UniqueConnection);
    ui_init();
    set_modal_runner([](QDialog *d) {
        d->show();
        return 0;
    });
    TIP::create_shared();
    NumberKeyboard::create_shared();
    g_tip->hide();
    g_tip_flag = 0;
    g_numberkeyboard->hide();
    g_numberkeyboard->menulist_init();   // each test starts on the 1 key
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

inline void tick(int n = 1)
{
    for (int i = 0; i < n; ++i) {
        if (tick_hook) {
            tick_hook();
            continue;
        }
        ++G_timeTicks;
        if (g_tip_flag && g_tip)
            g_tip->tip_outtime_deal();
    }
}

// The text of the named label, button or line edit under root ("" when there is none).
inline QString text(const QWidget *root, const QString &object_name)
{
    const auto *w = root->findChild<QWidget *>(object_name);
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

// Every visible label and button text under root, by object name.
inline QMap<QString, QString> texts(const QWidget *root)
{
    QMap<QString, QString> out;
    for (const QWidget *w : root->findChildren<QWidget *>()) {
        if (w->objectName().isEmpty())
            continue;
        if (auto *l = qobject_cast<const QLabel *>(w))
            out.insert(w->objectName(), l->text());
        else if (auto *b = qobject_cast<const QAbstractButton *>(w))
            out.insert(w->objectName(), b->text());
    }
    return out;
}

inline QString style(const QWidget *root, const QString &object_name)
{
    const auto *w = root->findChild<QWidget *>(object_name);
    return w ? w->styleSheet() : QString();
}

inline uint16_t rd16(int off)
{
    return para()->rd16(off);
}

inline void wr16(int off, uint16_t v)
{
    para()->wr16(off, v);
}

}
