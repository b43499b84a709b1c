#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_outputset.h"

// The output menu (page 6): LED screen settings, output ports, and the stored LED screen size.
class OutputSet : public ScreenOf<QDialog, Ui::OutputSet>
{
    Q_OBJECT
public:
    OutputSet();

    void language_changed() override;

public slots:
    void on_Button_ledset_clicked();
    void on_Button_lanset_clicked();
};

extern OutputSet *g_outputset;
