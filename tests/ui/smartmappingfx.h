#pragma once
// What the smart-mapping tests share: the wizard opened from the Setting menu, its flows and keys in
// the tests' shorthand, the jobs run pass by pass to their end, the file list and tips as a user
// sees them, and the stick watcher.
#include <QStackedWidget>
#include <thread>

#include "QRoundProgressBar.h"
#include "debugflow.h"
#include "filelist.h"
#include "loadscanflow.h"
#include "mainfixture.h"
#include "portchoice.h"
#include "portgrid.h"
#include "syncupdate.h"
#include "usbserver.h"

namespace smartfx {

using namespace mainfx;

// Before each test: the menus on a fresh device, and the wizard's record, file and mapping state
// as a device that never ran it has them.
inline void fresh_wizard()
{
    fresh();
    g_line_type = line_type{};
    set_qyfile_name(QString());
    g_send_para.mapping_state = 0;
}

inline SmartMapping *wizard()
{
    return g_smartmapping;
}

inline const DebugFlow &debugging()
{
    return wizard()->debugging();
}

inline const LoadScanFlow &load_scan()
{
    return wizard()->load_scan();
}

inline const PortGrid *grid()
{
    return wizard()->ports().grid();
}

inline int stack_page()
{
    return wizard()->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->currentIndex();
}

// The main column's looks, "F U N E" (focus, unavailable, normal, edit), top to bottom.
inline QString column_looks()
{
    QStringList out;
    for (const char *name : {"Button_shortcut", "Button_loadscan", "Button_paraweld", "Button_mapping"}) {
        switch (uitest::look(wizard(), name)) {
        case LookState::Focus: out << "F"; break;
        case LookState::Edit: out << "E"; break;
        case LookState::Unavailable: out << "U"; break;
        default: out << "N"; break;
        }
    }
    return out.join(' ');
}

// Runs the FPGA thread's passes a tick apart until the job has ended and its bar is gone; the
// percentages the bar showed, 100 when it closed. `ticks` counts the ticks it took.
inline QList<int> run_job(int *ticks = nullptr, int limit = 20000)
{
    QList<int> shown;
    bool bar = g_qround_bar != nullptr;
    int t = 0;
    for (; t < limit && (g_send_para.job() != JOB_IDLE || g_qround_bar); ++t) {
        fpga_manage::p_fpga_manage->fpga_pass();
        if (bar && !g_qround_bar)
            shown << 100;
        else if (g_qround_bar && (shown.isEmpty() ? 0 : shown.last()) != int(g_qround_bar->value()))
            shown << int(g_qround_bar->value());
        bar = g_qround_bar != nullptr;
        uitest::tick();
    }
    uitest::flush();
    if (ticks)
        *ticks = t;
    return shown;
}

// Confirms `text` on the numeric keyboard the wizard opened: cleared, then typed, then OK.
inline void type_on_keyboard(const QString &text)
{
    QVERIFY(g_numberkeyboard->isVisible());
    const auto click = [](const QString &name) { g_numberkeyboard->findChild<QPushButton *>(name)->click(); };
    for (int i = 0; i < 12; ++i)
        click(QStringLiteral("ButtonX"));
    // The digits answer to the panel keys: the focus the short way round to the digit, then OK.
    for (QChar digit : text) {
        const int target = digit == '0' ? 9 : digit.digitValue() - 1;
        const int ahead = ((target - g_numberkeyboard->focus_index()) % 14 + 14) % 14;
        for (int i = 0; i < qMin(ahead, 14 - ahead); ++i)
            uitest::key(g_numberkeyboard, ahead <= 7 ? Qt::Key_F5 : Qt::Key_F4);
        uitest::key(g_numberkeyboard, Qt::Key_F6);
    }
    click(QStringLiteral("Button_ok"));
}

// Keys in the shorthand, a word at a time; "=123" types 123 on the keyboard the last OK opened,
// "Button_x" touches that button of the wizard.
inline void act(const QString &script)
{
    for (const QString &word : script.split(' ', Qt::SkipEmptyParts)) {
        if (word.startsWith('='))
            type_on_keyboard(word.mid(1));
        else if (word.startsWith(QLatin1String("Button_")))
            QTest::mouseClick(g_smartmapping->findChild<QAbstractButton *>(word), Qt::LeftButton);
        else
            mainfx::press(word);
    }
}

// Opens the wizard from the Setting menu, as its entry does, then the keys.
inline void open_wizard(const QString &keys = QString())
{
    open_option("llo");
    QVERIFY(wizard());
    act(keys);
}

// The receiving cards of a port: x, y of each placed card, "-" for one without a position.
inline QString positions(int port)
{
    QStringList out;
    SimLock s;
    for (const SimCard &card : s->cards[port])
        out << (card.placed ? QStringLiteral("%1,%2").arg(card.x).arg(card.y) : QStringLiteral("-"));
    return out.join(' ');
}

// The rows of the file list on display: names, "*" after the chosen one, "+" after a file of the
// stick (drawn green); the page arrows as "<" and ">".
inline QString list_rows()
{
    const FileList *list = load_scan().file_list();
    if (!list || !list->isVisible())
        return QStringLiteral("(no list)");
    QStringList out;
    if (list->previous_button()->isVisible())
        out << "<";
    for (int r = 0; r < list->row_count(); ++r) {
        QLabel *label = list->row_label(r);
        label->ensurePolished();
        const bool green = label->palette().color(QPalette::WindowText) == QColor(0, 255, 0);
        const LookState look = look_state(label);
        out << label->text() + (green ? "+" : "") + (look == LookState::Focus ? "*" : look == LookState::Edit ? "#" : "");
    }
    if (list->row_count() == 0)
        out << list->no_file_label()->text();
    if (list->next_button()->isVisible())
        out << ">";
    return out.join(' ');
}

// Scan files of the device's folder, by their names without ".qyfile".
inline void scan_files(std::initializer_list<const char *> names)
{
    for (const char *name : names)
        write_dev_file(QStringLiteral("/data/smartmapping/%1.qyfile").arg(QLatin1String(name)), "scan");
}

inline QString tip_text()
{
    const QLabel *label = g_tip->isVisible() && g_tip->content() ? g_tip->content()->findChild<QLabel *>() : nullptr;
    return label ? label->text() : QString();
}

// The stick watcher, its codes reaching the screens; each look is taken on a thread of its own, as
// the watcher's thread takes them, so that the codes arrive queued.
struct StickWatcher
{
    UsbServer usb;
    StickWatcher()
    {
        g_delay_usbserver = 1;
        QObject::connect(&usb, &UsbServer::sig_usb_update, SyncUpdate::p_syncupdate, &SyncUpdate::para_sync);
    }
    void look()
    {
        std::thread([this] { usb.poll(); }).join();
        QCoreApplication::sendPostedEvents();
        uitest::flush();
    }
    // The stick in place now seen and, after the hold, mounted.
    void mount()
    {
        look();
        uitest::tick(UsbServer::kMountHoldTicks);
        look();
    }
};

// Load scan's list on display with a.qyfile of the device's folder, `big` (of either folder) and
// s.qyfile on the stick, which `watcher` has mounted; the codes it tells from then on reach `codes`
// on the thread of `context`.
inline void list_with_big_file(const QString &big, const QByteArray &bytes, StickWatcher *watcher,
                               QList<int> *codes, QObject *context)
{
    scan_files({"a"});
    write_dev_file(big, bytes);
    write_dev_file(QStringLiteral("/mnt/usb1/s.qyfile"), "scan");
    watcher->mount();
    QObject::connect(&watcher->usb, &UsbServer::sig_usb_update, context, [codes](int code) { *codes << code; });
    open_wizard("r o r o");
}

}
