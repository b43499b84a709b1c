#pragma once
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "screen.h"
#include "ui_netset.h"

// The output port screen (page 14), display only: a strip of four of the six ports with their
// link icons, scrolled by left and right without wrap-around, and the selected port's area on the
// LED screen as FPGA 0's parameter RAM holds it. Values and links are read at opening and on every
// left or right key; OK does nothing.
class netset : public ScreenOf<QDialog, Ui::netset>
{
    Q_OBJECT
public:
    static constexpr int kPorts = 6;
    static constexpr int kSlots = 4;

    netset();

    void language_changed() override;
    void syncUpdate(int code) override;
    void menulist_init();
    // Shows port `index`'s X, Y, W and H (an index above the last as port 1) and names the slots.
    void wlan_para_get(int index);
    // The slots' link icons.
    void initWlan();

    // The selected port (`ui_select`), its slot (`ui_sel`) and the port in slot 0 (`ui_min_select`).
    int selected_port() const { return m_select; }
    int selected_slot() const { return m_sel; }
    int first_port() const { return m_min_select; }

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override {}
    int key_select() const override { return m_select; }

private:
    QPushButton *slot_button(int k) const;
    void select_slot(int k);
    void after_move();

    int m_select = 0;
    int m_sel = 0;
    int m_min_select = 0;
};

extern netset *g_netset;
