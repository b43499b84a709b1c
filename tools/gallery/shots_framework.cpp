#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QDialog>
#include <QLabel>

#include "QRoundProgressBar.h"
#include "about.h"
#include "dialog.h"
#include "numberkeyboard.h"
#include "screen.h"
#include "shots.h"
#include "sourceinfo.h"
#include "tip.h"
#include "zemcontrol.h"

namespace {

QDialog *lcd_dialog()
{
    auto *d = new QDialog;
    d->setGeometry(0, 0, 320, 240);
    d->setStyleSheet(QStringLiteral("background-color:rgb(16, 16, 28);"));
    return d;
}

QWidget *tip(int id)
{
    auto *t = new TIP;
    t->setWindowFlags(Qt::FramelessWindowHint);
    t->tip_create(id);
    return t;
}

QWidget *keyboard(int focus_moves)
{
    auto *k = new NumberKeyboard;
    k->setWindowFlags(Qt::FramelessWindowHint);
    k->setGeometry(160, 0, 160, 240);
    k->label_show(tr5("宽", "W", "Ш", "R", "寬"), QStringLiteral("1920"));
    for (int i = 0; i < focus_moves; ++i) {
        QKeyEvent e(QEvent::KeyRelease, Qt::Key_F5, Qt::NoModifier);
        QCoreApplication::sendEvent(k, &e);
    }
    return k;
}

QWidget *progress(int percent)
{
    QDialog *d = lcd_dialog();
    show_progress(d, percent);
    return d;
}

QWidget *sources(bool online)
{
    QDialog *d = lcd_dialog();
    for (unsigned char pos = 0; pos < 4; ++pos) {
        const unsigned char id = sourceinfo::get_source_id_by_listseq(pos);
        auto *icon = new QLabel(d);
        icon->setGeometry(20, 20 + 50 * pos, 50, 16);
        icon->setScaledContents(true);
        sourceinfo::set_sourceonline_pixmap(icon, id, online ? 1 : 0);
        auto *plain = new QLabel(d);
        plain->setGeometry(80, 20 + 50 * pos, 25, 8);
        plain->setScaledContents(true);
        sourceinfo::set_source_pixmap(plain, id);
        auto *name = new ColouredLine(d);
        name->setGeometry(120, 16 + 50 * pos, 90, 16);
        name->set_runs(sourceinfo::name_runs(id, sourceinfo::get_source_name_by_listseq(pos)));
        auto *count = new ColouredLine(d);
        count->setGeometry(210, 16 + 50 * pos, 100, 16);
        count->set_runs(sourceinfo::name_count_runs(id, sourceinfo::get_source_name_by_sourceid(id), pos));
    }
    return d;
}

QWidget *selector(bool modify)
{
    QDialog *d = lcd_dialog();
    auto *z = new zemcontrol(QRect(19, 0, 100, 22), QRect(0, 0, 20, 22), QRect(118, 0, 20, 22), d);
    z->setGeometry(3, 28, 320, 24);
    for (int i = 1; i <= 16; ++i)
        z->combobox->addItem(tr5("模式", "Mode", "Режим", "Chế độ", "模式") + QString::number(i));
    z->set_boxindexsel(2);
    if (modify)
        z->set_box_modify();
    return d;
}

}

void show_progress(QDialog *owner, int percent)
{
    QRoundProgressBar::create_qround_bar(owner);
    if (g_qround_bar)
        g_qround_bar->para_sync(percent);
    g_qround_bar = nullptr;
}

void add_framework_shots(ShotList &shots)
{
    shots.push_back({QStringLiteral("tip1"), [] { return tip(1); }});
    shots.push_back({QStringLiteral("tip3"), [] { return tip(3); }});
    shots.push_back({QStringLiteral("tip4"), [] { return tip(4); }});
    shots.push_back({QStringLiteral("tip5"), [] { return tip(5); }});
    shots.push_back({QStringLiteral("numberkeyboard"), [] { return keyboard(0); }});
    shots.push_back({QStringLiteral("numberkeyboard_ok"), [] { return keyboard(13); }});
    shots.push_back({QStringLiteral("roundprogress_0"), [] { return progress(0); }});
    shots.push_back({QStringLiteral("roundprogress_50"), [] { return progress(50); }});
    shots.push_back({QStringLiteral("sourceinfo_online"), [] { return sources(true); }});
    shots.push_back({QStringLiteral("sourceinfo_offline"), [] { return sources(false); }});
    shots.push_back({QStringLiteral("zemcontrol_default"), [] { return selector(false); }});
    shots.push_back({QStringLiteral("zemcontrol_modify"), [] { return selector(true); }});
    shots.push_back({QStringLiteral("about"), [] { return static_cast<QWidget *>(new About); }});
    shots.push_back({QStringLiteral("dialog"), [] { return static_cast<QWidget *>(new Dialog); }});
}
