#include "imagetab.h"

#include "language.h"

namespace {
constexpr QRect kSource(0, 1, 30, 12);
constexpr QRect kDot(33, 1, 7, 7);

const char *const kTabStyle[4] = {
    "background-color: #867AE9;font: 9px",
    "background-color: #005A8D;font: 9px",
    "background-color: #39A9CB;font: 9px",
    "background-color: #EBA83A;font: 9px",
};
}

ImageTab::ImageTab(int image, QWidget *parent) : QLabel(parent), m_image(image)
{
    resize(kWidth, kHeight);
    setStyleSheet(QLatin1String(kTabStyle[image % 4]));
    setAlignment(Qt::AlignCenter);
    setText(QString::number(image + 1));

    m_source = new QLabel(this);
    m_source->setGeometry(kSource);
    m_source->setObjectName(QStringLiteral("tab_source"));

    auto *dot = new QLabel(this);
    dot->setGeometry(kDot);
    dot->setPixmap(png(QStringLiteral(":/png/state_on.png")));
    dot->setScaledContents(true);
}

void ImageTab::set_source_text(const QString &text)
{
    set_plain_text(m_source, text);
}

QString ImageTab::source_text() const
{
    return m_source->text();
}
