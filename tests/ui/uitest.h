#pragma once
// The fixture of every screen test (init: fresh_ui(), cleanup: close_all()): a fresh data root
// with the parameter store, the configuration and the change refresh, the ui wired in, modal
// screens shown without a nested loop; helpers for keys, the tick and texts.
#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <atomic>
#include <cstring>
#include <functional>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

#include "chip_request.h"
#include "colouredline.h"
#include "config_engine.h"
#include "global.h"
#include "numberkeyboard.h"
#include "ram_layout.h"
#include "screen.h"
#include "syncupdate.h"
#include "testroot.h"
#include "tip.h"
#include "zemrampara.h"

Q_DECLARE_METATYPE(LookState)

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
    for (Screen *s : all_screens())
        if (s->page() != PAGE_MAINWINDOW)
            delete s->widget();
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
    reset_ui_globals();
    fresh_test_root(name);
    ConfigEngine::pInstance();
    QObject::connect(ZemRamPara::pInstance(), &ZemRamPara::sig_update_para, SyncUpdate::pInstance(),
                     &SyncUpdate::para_sync, Qt::UniqueConnection);
    ui_init();
    set_modal_runner([](QDialog *d) { return d->show(), 0; });
    TIP::create_shared();
    NumberKeyboard::create_shared()->menulist_init();   // each test starts on the 1 key
    g_language = LANG_EN;
}
// One key pressed and released on the widget.
inline void key(QWidget *w, int code)
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}
// The key shorthand of every screen test. l r o b m: the panel's left, right, OK, back and mode
// keys; L R O B M: the USB key panel's letters for them (S R Q O M); ^X: the letter key X itself
// (the key panel's shortcuts); ?: a key no screen knows; !: the key lock goes on (no key: 0).
inline QList<int> key_codes(const QString &keys)
{
    static const int panel[] = {Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_PowerOff, Qt::Key_Stop,
                                Qt::Key_S, Qt::Key_R, Qt::Key_Q, Qt::Key_O, Qt::Key_M, Qt::Key_A, 0};
    QList<int> codes;
    for (int i = 0; i < keys.size(); ++i) {
        if (keys[i] == QLatin1Char('^') && i + 1 < keys.size()) {
            codes << Qt::Key_A + (keys[++i].toUpper().unicode() - 'A');
            continue;
        }
        const int at = QStringLiteral("lrobmLROBM?!").indexOf(keys[i]);
        if (at < 0)
            qFatal("key shorthand: %s", qPrintable(keys));
        codes << panel[at];
    }
    return codes;
}
// Keys to one widget.
inline void press(QWidget *w, const QString &keys)
{
    for (int code : key_codes(keys)) {
        if (code == 0)
            wr16(Ram::kKeyLock, 1);
        else
            key(w, code);
    }
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

inline QTestEventList key_list(const QString &keys)
{
    QTestEventList events;
    events.append(new Step([keys](QWidget *w) { press(w, keys); }));
    return events;
}
// Keys on the numeric keyboard, from its first opening. Digits, C clear, X backspace, N cancel and
// K confirm: the focus moves the short way round to the key, then OK. < > = the left, right and OK
// keys, S R their USB letters, B the back key, M the mode key and its letter; in lower case the key
// touched (d: the 5 key).
inline QTestEventList keyboard_keys(const QString &keys)
{
    QTestEventList events;
    const auto add = [&events](std::function<void(QWidget *)> step) { events.append(new Step(std::move(step))); };
    const char *touch[] = {"ButtonC", "ButtonX", "Button_close", "Button_ok", "Button5"};
    const int codes[] = {Qt::Key_F4, Qt::Key_F5, Qt::Key_S, Qt::Key_R, Qt::Key_F6, Qt::Key_PowerOff, Qt::Key_Stop};
    int at = 0;
    for (QChar k : keys) {
        const int touched = QStringLiteral("cxnkd").indexOf(k), raw = QStringLiteral("<>SR=BM").indexOf(k);
        if (touched >= 0) {
            add([name = QLatin1String(touch[touched])](QWidget *w) { w->findChild<QPushButton *>(name)->click(); });
        } else if (raw >= 0) {
            add([code = codes[raw], letter = k == QLatin1Char('M')](QWidget *w) { key(w, code); if (letter) key(w, Qt::Key_M); });
            at = raw < 4 ? (at + (raw % 2 ? 1 : 13)) % 14 : at;
        } else {
            const int target = k == QLatin1Char('0') ? 9 : k.isDigit() ? k.digitValue() - 1 : 10 + QStringLiteral("CXNK").indexOf(k);
            const int ahead = ((target - at) % 14 + 14) % 14;
            add([ahead](QWidget *w) {
                for (int i = 0; i < qMin(ahead, 14 - ahead); ++i)
                    key(w, ahead <= 7 ? Qt::Key_F5 : Qt::Key_F4);
                key(w, Qt::Key_F6);
            });
            at = target;
        }
    }
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
    if (auto *c = qobject_cast<const ColouredLine *>(w))
        return c->text();
    return QString();
}
// The runs of the named coloured line under root, each as "<#colour> <pixels> <text>".
inline QStringList runs(const QWidget *root, const QString &object_name)
{
    QStringList out;
    if (auto *c = root->findChild<const ColouredLine *>(object_name)) {
        for (const ColouredLine::Run &r : c->runs())
            out << QStringLiteral("%1 %2 %3").arg(r.colour.name()).arg(r.pixel_size).arg(r.text);
    }
    return out;
}
// The texts of the named widgets under root, in order.
inline QStringList texts(const QWidget *root, std::initializer_list<const char *> names)
{
    QStringList out;
    for (const char *name : names)
        out << text(root, QLatin1String(name));
    return out;
}
inline QString style(const QWidget *root, const QString &object_name)
{
    const auto *w = root->findChild<QWidget *>(object_name);
    return w ? w->styleSheet() : QString();
}
// The look the focus machinery last gave the named control.
inline LookState look(const QWidget *root, const QString &object_name)
{
    const auto *w = root->findChild<QWidget *>(object_name);
    if (!w && root->objectName() == object_name)
        w = root;
    return look_state(w);
}
// The picture a button or label shows is the named compiled-in one (compared as drawn).
inline bool shows(const QWidget *w, const QString &png)
{
    if (auto *b = qobject_cast<const QAbstractButton *>(w)) {
        const QSize size = b->iconSize();
        return b->icon().pixmap(size).toImage() == QIcon(png).pixmap(size).toImage();
    }
    if (auto *l = qobject_cast<const QLabel *>(w)) {
        const QImage shown = l->pixmap(Qt::ReturnByValue).toImage();
        return !shown.isNull() && shown == QImage(png).convertToFormat(shown.format());
    }
    return false;
}
inline bool shows(const QWidget *root, const char *object_name, const QString &png)
{
    const auto *w = root->findChild<QWidget *>(QLatin1String(object_name));
    return shows(w ? w : root, png);
}
// The futex word thread `tid` of this process waits on in the kernel; 0 when it waits on none.
inline quintptr futex_waited_on(pid_t tid)
{
    QFile f(QStringLiteral("/proc/self/task/%1/syscall").arg(tid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> call = f.read(256).split(' ');
    return call.size() > 1 && call[0].toLong() == SYS_futex ? call[1].toULongLong(nullptr, 16) : 0;
}
inline pid_t thread_id()
{
    return pid_t(::syscall(SYS_gettid));
}
// The word a thread waiting for the chip mutex waits on (the recursive mutex keeps it inside), as
// a thread found waiting for it shows.
inline quintptr chip_mutex_word()
{
    static const quintptr word = [] {
        std::atomic<pid_t> waiter{0};
        quintptr seen = 0;
        QMutexLocker lock(&ChipRequest::mutex());
        std::thread t([&] {
            waiter = thread_id();
            QMutexLocker wait(&ChipRequest::mutex());
        });
        zemtest::poll_until([&] { return waiter != 0 && (seen = futex_waited_on(waiter)) != 0; });
        lock.unlock();
        t.join();
        return seen;
    }();
    return word;
}
// Runs `action` on the GUI thread while another thread holds the chip mutex, as the chip thread
// does; true when the image changed under that thread. The mutex is let go once the action is
// done or waits for it: a screen that writes under the mutex writes only afterwards.
inline bool image_changed_under_held_chip_mutex(const std::function<void()> &action)
{
    uint8_t before[Ram::kSize];
    std::memcpy(before, para()->RAM_PARA, sizeof before);
    const pid_t gui = thread_id();
    const quintptr word = chip_mutex_word();
    std::atomic<bool> held{false}, acted{false}, seen{false};
    std::thread holder([&] {
        QMutexLocker lock(&ChipRequest::mutex());
        held = true;
        zemtest::poll_until([&] { return acted.load() || (word != 0 && futex_waited_on(gui) == word); });
        seen = std::memcmp(before, para()->RAM_PARA, sizeof before) != 0;
    });
    while (!held)
        std::this_thread::yield();
    action();
    acted = true;
    holder.join();
    return seen;
}
// The timing row of input s: width, height, frame rate.
inline void set_timing(int s, uint16_t w, uint16_t h, uint16_t f)
{
    wr16(Ram::source_timing(s), w);
    wr16(Ram::source_timing(s) + 2, h);
    wr16(Ram::source_timing(s) + 4, f);
}

}
