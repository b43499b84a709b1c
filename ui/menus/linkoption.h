#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_linkoption.h"

// The communication menu (page 10): serial port, network and the upgrade from a USB stick. Every
// refresh on it shows the check-mark tip.
class LinkOption : public ScreenOf<QDialog, Ui::LinkOption>
{
    Q_OBJECT
public:
    LinkOption();

    void language_changed() override;
    void syncUpdate(int code) override;
    void after_sync(int code) override;

    // The openers of the three entries; reached by OK on the entry and by a touch on it.
    void open_linkcom();
    void open_linkwlan();
    void open_firmware_usbgrade();
};

extern LinkOption *g_linkoption;
