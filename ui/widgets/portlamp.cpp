#include "portlamp.h"

#include <QLabel>

#include "language.h"

namespace {
constexpr QRect kNumber(4, 0, 12, 14);
constexpr QRect kLamp(0, 14, 16, 14);
}

PortLamp::PortLamp(int port, bool online, QWidget *parent) : QWidget(parent)
{
    resize(kWidth, kHeight);
    auto *number = new QLabel(this);
    number->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);font: 10px"));
    number->setGeometry(kNumber);
    number->setText(QString::number(port + 1));
    m_lamp = new QLabel(this);
    m_lamp->setGeometry(kLamp);
    m_lamp->setScaledContents(true);
    set_online(online);
}

void PortLamp::set_online(bool online)
{
    m_lamp->setPixmap(png(online ? QStringLiteral(":/png/online.png") : QStringLiteral(":/png/offline.png")));
}
