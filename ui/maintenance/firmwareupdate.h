#pragma once
#include <QWidget>

class QLabel;

// The notice shown over every screen while a firmware transfer or upgrade runs; the tick moves
// its marker so the user sees the device is still busy.
class FirmwareUpdate : public QWidget
{
    Q_OBJECT
public:
    explicit FirmwareUpdate(QWidget *parent = nullptr);

    // One animation step; called by the 10 ms tick while g_update_flag is set.
    void update_time_deal();

    int step() const { return m_step; }

private:
    QLabel *m_text;
    QLabel *m_dots[8];
    int m_ticks = 0;
    int m_step = 0;
};

extern FirmwareUpdate *g_move_update;

// Both run on the GUI thread (MainWindow::update_start / update_over hand them over).
void firmware_update_start();
void firmware_update_over();
