#pragma once
#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <cstdint>

#include "screen.h"
#include "ui_mainwindow.h"

class ModeSlot;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;

// The main menu (page 1): four entries, the key lock, the tool row with the user-mode popup, and
// the 10 ms tick. Created once by main and never deleted.
class MainWindow : public ScreenOf<QMainWindow, Ui::MainWindow>
{
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    void language_changed() override;
    void syncUpdate(int code) override;

    void para_init();
    void menulist_init();
    void ip_changed();
    void mode_init();
    void mode_window_close();

    // Moves the popup selection: 1 right, 0 left.
    void step_mode_popup(char direction);
    // Leaves the armed state: neither a save nor a call pending, the popup closed.
    void close_mode_popup();

    // Safe from any thread: the overlay is made and removed on the GUI thread.
    void update_start();
    void update_over();

    void getagelog();

    // Read by tests and the key storm.
    bool tool_row_shown() const;
    bool popup_shown() const;
    uint8_t call_state() const { return l_call_state; }
    uint8_t save_state() const { return m_save_state; }
    uint8_t popup_selection() const { return m_popup_select; }
    QWidget *mode_popup() const { return m_popup; }
    QWidget *focused_control() const;

public slots:
    void slot_update_timer_ticks();

    void on_machinestate_clicked();
    void on_inputchoose_clicked();
    void on_custommode_clicked();
    void on_option_clicked();
    void on_Button_lock_clicked();
    void on_tools_clicked();
    void on_toolButton1_clicked();
    void on_toolButton2_clicked();
    void on_toolButton3_clicked();
    void on_toolButton4_clicked();
    void zem_button_mode_clicked();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    void key_mode() override;
    // The focus of the list on display: the menu, or the tool row while it is shown.
    int key_select() const override;

private:
    // The menu list (m_focus) while the tool row is hidden, the tool list while it is shown.
    FocusList &active_list() { return tool_row_shown() ? m_tools : m_focus; }
    void show_lock(bool locked);
    void show_armed_icons();
    void arm_popup(bool save);
    void show_popup();
    void hide_popup();
    void drop_popup();
    bool armed() const { return l_call_state || m_save_state; }

    FocusList m_tools;
    QPointer<QWidget> m_popup;
    ModeSlot *m_slots[16] = {};
    QLabel *m_popup_title = nullptr;
    QLabel *m_pointer = nullptr;
    QFont m_popup_font;

    uint8_t l_call_state = 0;
    uint8_t m_save_state = 0;
    uint8_t l_lock_state = 0;
    uint8_t m_popup_select = 0;
    // A user-mode save asked from the popup, whose check mark waits for the mode's own file.
    bool m_save_asked = false;
};

// The window whose sound the main menu, the home screen and the user-mode summary show: byte 2112,
// a value above 5 standing for window 0. `base` is the image offset of img[0] (896 for the data
// of a user mode).
int audio_window(const uint8_t *img, int base = 0);
// Bit 15 of the window's audio word.
bool sound_on(const uint8_t *img, int window, int base = 0);

extern MainWindow *g_mainwindow;
extern QTimer *g_timer;
// The frame of each popup slot, rebuilt with the popup.
extern QFrame *g_mode[16];
