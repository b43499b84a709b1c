#include "zemcontrol.h"

#include <QLabel>

#include "lazypopupcombobox.h"

zemcontrol::zemcontrol(const QRect &box, const QRect &left, const QRect &right, QWidget *parent)
    : QWidget(parent),
      m_arrow_default(QStringLiteral(
          "color: rgb(255, 255, 255);border:1px solid rgb(255,171,84);background-color:rgb(0, 0, 0)")),
      m_box_default(QStringLiteral("QComboBox{color:rgb(255,255,255);\nborder:1px solid rgb(255,171,84);\n}\n"
                                   "QComboBox:drop-down{\nborder-style:none\n}")),
      m_arrow_modify(QStringLiteral(
          "color: rgb(255, 255, 255);border:1px solid rgb(71,119,255);background-color:rgb(0, 0, 0)")),
      m_box_modify(QStringLiteral("QComboBox{color:rgb(255,255,255);\nborder:1px solid rgb(71,119,255);\n}\n"
                                  "QComboBox:drop-down{\nborder-style:none\n}"))
{
    m_font.setPointSize(9);

    combobox = new LazyPopupComboBox(this);
    combobox->setObjectName(QStringLiteral("zemcontrol"));
    combobox->setGeometry(box);
    combobox->setFont(m_font);
    combobox->setFocusPolicy(Qt::NoFocus);
    combobox->setStyleSheet(m_box_default);

    // The arrows are built after the box so that they lie above its edge columns.
    label_right = new QLabel(this);
    label_right->setGeometry(right);
    label_right->setFont(m_font);
    label_right->setStyleSheet(m_arrow_default);
    label_right->setText(QStringLiteral(">"));

    label_left = new QLabel(this);
    label_left->setGeometry(left);
    label_left->setFont(m_font);
    label_left->setStyleSheet(m_arrow_default);
    label_left->setText(QStringLiteral("<"));
}

zemcontrol::~zemcontrol() = default;

void zemcontrol::set_box_default()
{
    combobox->setStyleSheet(m_box_default);
    label_left->setStyleSheet(m_arrow_default);
    label_right->setStyleSheet(m_arrow_default);
}

void zemcontrol::set_box_modify()
{
    combobox->setStyleSheet(m_box_modify);
    label_left->setStyleSheet(m_arrow_modify);
    label_right->setStyleSheet(m_arrow_modify);
}

void zemcontrol::set_boxindexsel(char index)
{
    combobox->setCurrentIndex(index);
}
