#include "my_lineedit.h"

My_lineEdit::My_lineEdit(QWidget *parent) : QLineEdit(parent)
{
    setText(QString());
}

void My_lineEdit::mousePressEvent(QMouseEvent *event)
{
    emit send_show(text());
    QLineEdit::mousePressEvent(event);
}

// A second touch within the double-click time reaches the field as this event in place of its
// press; a line edit would select a word on it, yet to the user it is a touch like any other.
void My_lineEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}
