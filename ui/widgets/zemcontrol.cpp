#include "zemcontrol.h"

#include <QLabel>

#include "lazypopupcombobox.h"
#include "looks.h"

zemcontrol::zemcontrol(const QRect &box, const QRect &left, const QRect &right, QWidget *parent) : QWidget(parent)
{
    m_font.setPointSize(9);

    combobox = new LazyPopupComboBox(this);
    combobox->setObjectName(QStringLiteral("zemcontrol"));
    combobox->setGeometry(box);
    combobox->setFont(m_font);
    combobox->setFocusPolicy(Qt::NoFocus);

    // The arrows are built after the box so that they lie above its edge columns.
    label_right = new QLabel(this);
    label_right->setGeometry(right);
    label_right->setFont(m_font);
    label_right->setText(QStringLiteral(">"));

    label_left = new QLabel(this);
    label_left->setGeometry(left);
    label_left->setFont(m_font);
    label_left->setText(QStringLiteral("<"));
    set_box_default();
}

zemcontrol::~zemcontrol() = default;

void zemcontrol::set_box_default()
{
    show_state(LookState::Focus);
}

void zemcontrol::set_box_modify()
{
    show_state(LookState::Normal);
}

void zemcontrol::show_state(LookState state)
{
    set_look(combobox, Look::ModeChoice, state);
    set_look(label_left, Look::ModeChoiceArrow, state);
    set_look(label_right, Look::ModeChoiceArrow, state);
}

void zemcontrol::set_boxindexsel(char index)
{
    combobox->setCurrentIndex(index);
}
