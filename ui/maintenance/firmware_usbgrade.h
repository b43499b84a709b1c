#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_firmware_usbgrade.h"

// The USB upgrade screen (page 26): shows whether a USB stick is there and which upgrade files
// ("ZEM", "ZEMZK") it carries, following the stick as it comes and goes.
class firmware_usbgrade : public ScreenOf<QDialog, Ui::firmware_usbgrade>
{
    Q_OBJECT
public:
    firmware_usbgrade();

    void language_changed() override;
    void syncUpdate(int code) override;

protected:
    void key_left() override {}
    void key_right() override {}
    void key_ok() override {}
};

extern firmware_usbgrade *g_firmware_usbgrade;
