#pragma once
#include <QDialog>

namespace Ui {
class Dialog;
}

// A spare dialog that nothing opens; its one button accepts it.
class Dialog : public QDialog
{
    Q_OBJECT
public:
    explicit Dialog(QWidget *parent = nullptr);
    ~Dialog() override;

private:
    Ui::Dialog *ui;
};
