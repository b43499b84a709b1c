#pragma once
#include <QDialog>

#include "screen.h"

class QFrame;

namespace Ui {
class MachineState;
}

// The device-state page (page 2): bar code, links of output ports 1 to 6, signal on the four
// inputs, and the program's and the FPGA's versions. Read-only.
class MachineState : public QDialog, public Screen
{
    Q_OBJECT
public:
    explicit MachineState(QWidget *parent = nullptr);
    ~MachineState() override;

    void initWlan();
    void source_check();
    void version_changed();
    void language_changed() override;
    void syncUpdate(int code) override;

    // The port row, rebuilt whole by initWlan().
    QFrame *port_frame() const { return m_port_frame; }

public slots:
    void on_Button_back_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override { screen_key_press(event); }
    void keyReleaseEvent(QKeyEvent *event) override { screen_key_release(event); }
    void key_left() override {}
    void key_right() override {}
    void key_ok() override {}
    void key_back() override { on_Button_back_clicked(); }

private:
    Ui::MachineState *ui;
    QFrame *m_port_frame = nullptr;
};

extern MachineState *g_machinestate;
