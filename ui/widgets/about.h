#pragma once
#include <QDialog>

namespace Ui {
class About;
}

// A spare dialog that nothing opens; its one button accepts it.
class About : public QDialog
{
    Q_OBJECT
public:
    explicit About(QWidget *parent = nullptr);
    ~About() override;

private:
    Ui::About *ui;
};
