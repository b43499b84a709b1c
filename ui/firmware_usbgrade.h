#pragma once
#include <QDialog>

#include "screen.h"

namespace Ui {
class firmware_usbgrade;
}

// The USB upgrade screen (page 26): shows whether a USB stick is there and which upgrade files
// ("ZEM", "ZEMZK") it carries, following the stick as it comes and goes.
class firmware_usbgrade : public QDialog, public Screen
{
    Q_OBJECT
public:
    explicit firmware_usbgrade(QWidget *parent = nullptr);
    ~firmware_usbgrade() override;

    void language_changed() override;
    void syncUpdate(int code) override;

public slots:
    void menulist_back_page();

protected:
    void keyPressEvent(QKeyEvent *event) override { screen_key_press(event); }
    void keyReleaseEvent(QKeyEvent *event) override { screen_key_release(event); }
    void key_left() override {}
    void key_right() override {}
    void key_ok() override {}
    void key_back() override;

private:
    Ui::firmware_usbgrade *ui;
};

extern firmware_usbgrade *g_firmware_usbgrade;
