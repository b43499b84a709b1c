#include "homecard.h"

#include <QLabel>

#include "language.h"
#include "looks.h"

namespace {
constexpr QRect kBadge(10, 10, 40, 40);
constexpr QRect kName(55, 13, 100, 15);
constexpr QRect kStatus(55, 28, 100, 12);
constexpr QRect kStatusClosed(55, 20, 40, 15);
constexpr QRect kCurrentMark(28, 0, 12, 12);
constexpr QRect kFrozenMark(0, 0, 16, 16);

const char *const kBadgeStyle[4] = {
    "background-color: #867AE9;font: 20px",
    "background-color: #EBA83A;font: 20px",
    "background-color: #005A8D;font: 20px",
    "background-color: #FF96AD;font: 20px",
};

// A badge's mark exists only while shown; one made after the card is up must be shown by hand.
void set_mark(QPointer<QLabel> &mark, QLabel *badge, bool on, const QRect &geometry, const char *picture)
{
    if (!on) {
        delete mark.data();
        return;
    }
    if (mark)
        return;
    mark = new QLabel(badge);
    mark->setGeometry(geometry);
    mark->setPixmap(png(QLatin1String(picture)));
    mark->setScaledContents(true);
    mark->show();
}
}

HomeCard::HomeCard(int image, const QFont &font, QWidget *parent) : QWidget(parent)
{
    resize(kWidth, kHeight);
    m_badge = new QLabel(this);
    m_badge->setGeometry(kBadge);
    m_badge->setAlignment(Qt::AlignCenter);
    m_badge->setText(QString::number(image + 1));
    m_badge->setStyleSheet(QLatin1String(kBadgeStyle[image % 4]));

    m_name = new QLabel(this);
    m_name->setGeometry(kName);
    set_look(m_name, Look::Text);
    m_name->setFont(font);

    m_status = new QLabel(this);
    m_status->setFont(font);
    set_look(m_status, Look::Text);
}

QFont HomeCard::name_font() const
{
    return m_name->font();
}

void HomeCard::set_current(bool current)
{
    set_mark(m_current, m_badge, current, kCurrentMark, ":/png/osd_yes.png");
}

void HomeCard::show_closed(const QString &status)
{
    m_name->clear();
    m_status->setGeometry(kStatusClosed);
    m_status->setText(status);
    set_mark(m_frozen, m_badge, false, QRect(), nullptr);
}

void HomeCard::show_source(const QString &name, const QString &status, bool frozen)
{
    set_plain_text(m_name, name);
    m_status->setGeometry(kStatus);
    m_status->setText(status);
    set_mark(m_frozen, m_badge, frozen, kFrozenMark, ":/png/freeze.png");
}
