#pragma once
#include <QDialog>

#include "screen.h"

namespace Ui {
class LinkOption;
}

// The communication menu (page 10): serial port, network and the upgrade from a USB stick.
class LinkOption : public QDialog, public Screen
{
    Q_OBJECT
public:
    explicit LinkOption(QWidget *parent = nullptr);
    ~LinkOption() override;

    void language_changed() override;
    void syncUpdate(int code) override;
    void menulist_init();
    void para_init() {}

    uint8_t ui_select() const { return static_cast<uint8_t>(m_focus.index()); }

    // Opens the upgrade screen; reached by OK on its entry and by a touch on it.
    void on_Button_firmware_usbgrade_clicked();

public slots:
    void slot_Button_back_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override { screen_key_press(event); }
    void keyReleaseEvent(QKeyEvent *event) override { screen_key_release(event); }
    void key_back() override { slot_Button_back_clicked(); }

private:
    Ui::LinkOption *ui;
};

extern LinkOption *g_linkoption;
