#pragma once
#include <QLineEdit>

// A number field: a touch asks the screen for the numeric keyboard.
class My_lineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit My_lineEdit(QWidget *parent = nullptr);

signals:
    void send_show(QString data);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
