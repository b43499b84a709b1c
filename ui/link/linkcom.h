#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_linkcom.h"

// Serial port (page 21): the control link's fixed settings, 115200 baud, 8 data bits, 1 stop bit.
// Display only: no key but back and mode does anything, and a touch changes nothing.
class linkcom : public ScreenOf<QDialog, Ui::linkcom>
{
    Q_OBJECT
public:
    linkcom();

    void language_changed() override;
};

extern linkcom *g_linkcom;
