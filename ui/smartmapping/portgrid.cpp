#include "portgrid.h"

#include <QLabel>
#include <QPushButton>

#include "language.h"
#include "looks.h"

namespace {
constexpr QRect kGrid(1, 59, 230, 88);
constexpr int kColumns = 4;
constexpr int kPitchX = 55, kPitchY = 45;
constexpr QPoint kFirstCell(10, 2);
// Within a cell.
constexpr QRect kIcon(15, 3, 22, 15);
constexpr QRect kName(4, 18, 45, 20);
constexpr QRect kButton(1, 1, 48, 38);
}

PortCell::PortCell(int port, QWidget *parent) : QWidget(parent)
{
    resize(kWidth, kHeight);
    m_frame = new QFrame(this);
    m_frame->setGeometry(0, 0, kWidth, kHeight);
    set_look(m_frame, Look::PortCell, LookState::Normal);

    auto *icon = new QLabel(this);
    icon->setGeometry(kIcon);
    icon->setScaledContents(true);
    icon->setPixmap(png(QStringLiteral(":/png/offline.png")));

    auto *name = new QLabel(this);
    name->setGeometry(kName);
    QFont f = name->font();
    f.setPixelSize(8);
    name->setFont(f);
    name->setAlignment(Qt::AlignCenter);
    name->setStyleSheet(QStringLiteral("background-color: #212435;color: #FFFFFF"));
    name->setText(QStringLiteral("LED%1").arg(port + 1));

    m_button = new QPushButton(this);
    m_button->setObjectName(QString::number(port));
    m_button->setGeometry(kButton);
    m_button->setFlat(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setStyleSheet(QStringLiteral("background-color: transparent;"));
}

void PortCell::set_chosen(bool chosen)
{
    if (chosen != this->chosen())
        set_look(m_frame, Look::PortCell, chosen ? LookState::Focus : LookState::Normal);
}

bool PortCell::chosen() const
{
    return look_state(m_frame) == LookState::Focus;
}

PortGrid::PortGrid(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("port_frame"));
    setGeometry(kGrid);
    for (int i = 0; i < kCells; ++i) {
        m_cells[i] = new PortCell(i, this);
        m_cells[i]->move(kFirstCell + QPoint(kPitchX * (i % kColumns), kPitchY * (i / kColumns)));
        connect(m_cells[i]->button(), &QPushButton::clicked, this, [this, i] { emit cell_clicked(i); });
    }
}

void PortGrid::show_on(QWidget *page, int port)
{
    if (parentWidget() != page) {
        setParent(page);
        move(kGrid.topLeft());
    }
    for (int i = 0; i < kCells; ++i)
        m_cells[i]->set_chosen(i == port);
    show();
}

int PortGrid::chosen() const
{
    for (int i = 0; i < kCells; ++i)
        if (m_cells[i]->chosen())
            return i;
    return -1;
}
