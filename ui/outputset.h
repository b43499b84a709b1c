#pragma once
#include "option.h"

namespace Ui {
class OutputSet;
}

// The output menu (page 6): LED screen settings, output ports, and the stored LED screen size.
class OutputSet : public MenuPage
{
    Q_OBJECT
public:
    explicit OutputSet(QWidget *parent = nullptr);
    ~OutputSet() override;

    void language_changed() override;
    void menulist_init();

private:
    Ui::OutputSet *ui;
};

extern OutputSet *g_outputset;
