#pragma once
#include "option.h"

namespace Ui {
class LinkOption;
}

// The communication menu (page 10): serial port, network and the upgrade from a USB stick.
class LinkOption : public MenuPage
{
    Q_OBJECT
public:
    explicit LinkOption(QWidget *parent = nullptr);
    ~LinkOption() override;

    void language_changed() override;
    void menulist_init();

    // Opens the upgrade screen; reached by OK on its entry and by a touch on it.
    void on_Button_firmware_usbgrade_clicked();

private:
    Ui::LinkOption *ui;
};

extern LinkOption *g_linkoption;
