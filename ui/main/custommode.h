#pragma once
#include <QFont>
#include <QWidget>
#include <cstdint>

#include "screen.h"
#include "ui_custommode.h"

class QLabel;
class QPushButton;
class zemcontrol;

// The user-mode screen (page 4): browse the 16 slots with a summary of each, invoke or delete
// the selected one. Shown without a nested event loop.
class CustomMode : public ScreenOf<QWidget, Ui::CustomMode>
{
    Q_OBJECT
public:
    CustomMode();

    void language_changed() override;
    void menulist_init();
    void init();
    int get_mode_status() const;
    void zem_button_selinfo(char mode, char button);
    void lcd_para_init();
    void image_para_init();
    static void color_fill(QLabel *label, char index);

    // Read by tests and the key storm.
    uint8_t key_state() const { return m_key_state; }
    uint8_t highlighted_slot() const { return m_slot; }
    uint8_t highlighted_button() const { return m_button; }
    QWidget *summary() const { return m_summary; }
    zemcontrol *selector() const { return m_selector; }

public slots:
    void on_Button_delete_clicked();
    void on_Button_use_clicked();
    void zem_button_mode_clicked();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    void key_mode() override {}
    // Left and right name the highlighted slot; the mode key, which does nothing here, no line.
    int key_select() const override { return m_slot; }
    QString key_line(PanelKey key, bool released) const override;

private:
    // g_mode_select is shared with the main menu's popup; never index the slots with more than 15.
    static int selected_slot();
    QPushButton *button_at(int i) const;
    void step(int delta);
    // The selected slot changed under the screen: its summary drawn again.
    void slot_changed();
    void window_view(const uint8_t *slot_data);
    void osd_view(int slot);

    zemcontrol *m_selector = nullptr;
    QWidget *m_summary = nullptr;
    QFont m_summary_font;
    uint8_t m_slot = 0;
    uint8_t m_key_state = 0;
    uint8_t m_button = 0;
    uint8_t m_more_hidden = 0;
};

extern CustomMode *g_custommode;

// The opener the mode-key shortcut calls (g_open_custommode): g_custommode, page 4, show().
void open_custommode();
