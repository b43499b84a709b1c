#include "modeslot.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "language.h"
#include "looks.h"

namespace {
constexpr QRect kNumber(0, 0, 12, 12);
constexpr QRect kPicture(17, 12, 16, 16);
constexpr QPoint kPictureOverTag(17, 7);
constexpr QRect kTag(7, 23, 36, 17);
}

ModeSlot::ModeSlot(int slot, bool saved, bool in_use, const QString &using_text, QWidget *parent) : QWidget(parent)
{
    resize(kWidth, kHeight);
    m_frame = new QFrame(this);
    m_frame->setGeometry(0, 0, kWidth, kHeight);
    show_saved(saved);

    auto *number = new QLabel(this);
    number->setGeometry(kNumber);
    number->setStyleSheet(QStringLiteral("background-color: #4777FF;color: #FFFFFF;border-radius:3px;font: 7px;"));
    number->setAlignment(Qt::AlignCenter);
    number->setText(QString::number(slot + 1));

    auto *picture = new QLabel(m_frame);
    picture->setGeometry(kPicture);
    picture->setPixmap(png(saved ? QStringLiteral(":/png/mode_exist.png") : QStringLiteral(":/png/mode_blank.png")));
    picture->setScaledContents(true);
    if (in_use) {
        auto *tag = new QLabel(m_frame);
        tag->setGeometry(kTag);
        tag->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255); font: 7px;"));
        tag->setAlignment(Qt::AlignCenter);
        tag->setText(using_text);
        picture->move(kPictureOverTag);
    }

    m_button = new QPushButton(this);
    m_button->setObjectName(QString::number(slot));
    m_button->setGeometry(0, 0, kWidth, kHeight);
    m_button->setFocusPolicy(Qt::NoFocus);
    // Flat, or the style draws a solid bevel under the transparent background.
    m_button->setFlat(true);
    set_ringed(false);
}

void ModeSlot::set_ringed(bool ringed)
{
    set_look(m_button, Look::SlotRing, ringed ? LookState::Focus : LookState::Normal);
}

void ModeSlot::show_saved(bool saved)
{
    set_look(m_frame, Look::SlotFrame, saved ? LookState::Normal : LookState::Unavailable);
}

void ModeSlot::show_chosen()
{
    set_look(m_frame, Look::SlotFrame, LookState::Edit);
}
