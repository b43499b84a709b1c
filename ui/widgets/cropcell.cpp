#include "cropcell.h"

#include <QFrame>
#include <QLabel>

#include "language.h"
#include "looks.h"
#include "sourceinfo.h"

namespace {
constexpr QRect kFrame(0, 0, 92, 45);
constexpr QRect kDot(5, 2, 7, 7);
constexpr QRect kIcon(15, 2, 25, 8);
constexpr QRect kName(2, 13, 80, 12);
constexpr QRect kSize(2, 28, 88, 12);
const QString kTextStyle = QStringLiteral("background-color:#212435;color:#FFFFFF");
}

CropCell::CropCell(const QFont &font, QWidget *parent) : QWidget(parent)
{
    resize(kWidth, kHeight);
    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("cell_frame"));
    m_frame->setGeometry(kFrame);
    set_look(m_frame, Look::CropCell, LookState::Normal);

    auto *dot = new QLabel(this);
    dot->setGeometry(kDot);
    dot->setPixmap(png(QStringLiteral(":/png/state_on.png")));
    dot->setScaledContents(true);

    m_icon = new QLabel(this);
    m_icon->setGeometry(kIcon);
    m_icon->setStyleSheet(QStringLiteral("background-color: #212435;"));
    m_icon->setScaledContents(true);

    m_name = new QLabel(this);
    m_name->setObjectName(QStringLiteral("cell_name"));
    m_name->setGeometry(kName);
    m_size = new QLabel(this);
    m_size->setObjectName(QStringLiteral("cell_size"));
    m_size->setGeometry(kSize);
    for (QLabel *l : {m_name, m_size}) {
        l->setFont(font);
        l->setStyleSheet(kTextStyle);
    }
}

void CropCell::set_item(int source, const QString &name, const QString &size)
{
    if (source != m_source) {
        m_source = source;
        sourceinfo::set_source_pixmap(m_icon, static_cast<unsigned char>(source));
    }
    set_plain_text(m_name, name);
    m_size->setText(size);
}

void CropCell::set_focused(bool focused)
{
    if (focused != this->focused())
        set_look(m_frame, Look::CropCell, focused ? LookState::Focus : LookState::Normal);
}

bool CropCell::focused() const
{
    return look_state(m_frame) == LookState::Focus;
}

QString CropCell::name() const
{
    return m_name->text();
}

QString CropCell::size_text() const
{
    return m_size->text();
}
