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
};

extern OutputSet *g_outputset;
