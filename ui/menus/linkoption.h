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
    void on_Button_linkcom_clicked();
    void on_Button_linkwlan_clicked();
    void on_Button_firmware_usbgrade_clicked();
};

extern LinkOption *g_linkoption;
