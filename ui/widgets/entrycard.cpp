#include "entrycard.h"

#include <QLabel>

#include "language.h"
#include "looks.h"
#include "sourceinfo.h"

namespace {
constexpr QRect kDot(3, 5, 7, 7);
constexpr QRect kIcon(12, 5, 25, 8);
constexpr QRect kName(3, 15, 80, 12);
constexpr QRect kInfo(3, 30, 88, 12);
constexpr QRect kBadge(60, 0, 30, 12);
const QString kWhite = QStringLiteral("color: rgb(255, 255, 255)");
const QString kBadgeStyle = QStringLiteral("background-color: #00D65B;color: rgb(255, 255, 255);font: 7px;border-radius:5px;");
}

EntryCard::EntryCard(const QFont &font, QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("source_frame"));
    resize(kWidth, kHeight);
    m_dot = new QLabel(this);
    m_dot->setGeometry(kDot);
    m_dot->setScaledContents(true);
    m_icon = new QLabel(this);
    m_icon->setGeometry(kIcon);
    m_icon->setScaledContents(true);
    m_name = new QLabel(this);
    m_name->setObjectName(QStringLiteral("card_name"));
    m_name->setGeometry(kName);
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("card_info"));
    m_info->setGeometry(kInfo);
    for (QLabel *l : {m_name, m_info}) {
        l->setStyleSheet(kWhite);
        l->setFont(font);
    }
}

void EntryCard::set_entry(int source, const QString &name, const QString &info)
{
    if (source != m_source) {
        m_source = source;
        sourceinfo::set_source_pixmap(m_icon, static_cast<unsigned char>(source));
    }
    set_plain_text(m_name, name);
    m_info->setText(info);
}

void EntryCard::set_state(bool in_use, bool focused, const QString &badge_text)
{
    set_look(this, in_use ? Look::EntryCardInUse : Look::EntryCard, focused ? LookState::Focus : LookState::Normal);
    if (int(in_use) != m_dot_on) {
        m_dot_on = in_use;
        m_dot->setPixmap(png(in_use ? QStringLiteral(":/png/state_on.png") : QStringLiteral(":/png/state_off.png")));
    }
    if (!in_use) {
        delete m_badge.data();
        return;
    }
    if (!m_badge) {
        m_badge = new QLabel(this);
        m_badge->setObjectName(QStringLiteral("badge"));
        m_badge->setGeometry(kBadge);
        m_badge->setAlignment(Qt::AlignCenter);
        m_badge->setStyleSheet(kBadgeStyle);
        m_badge->show();
    }
    m_badge->setText(badge_text);
}

QString EntryCard::name() const
{
    return m_name->text();
}

QString EntryCard::info() const
{
    return m_info->text();
}

QString EntryCard::badge_text() const
{
    return m_badge ? m_badge->text() : QString();
}
