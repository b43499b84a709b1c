#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_machinestate.h"

class QFrame;

// The device-state page (page 2): bar code, links of output ports 1 to 6, signal on the four
// inputs, and the program's and the FPGA's versions. Read-only.
class MachineState : public ScreenOf<QDialog, Ui::MachineState>
{
    Q_OBJECT
public:
    MachineState();

    void initWlan();
    void source_check();
    void version_changed();
    void language_changed() override;
    void syncUpdate(int code) override;

    // The port row, rebuilt whole by initWlan().
    QFrame *port_frame() const { return m_port_frame; }

protected:
    void key_left() override {}
    void key_right() override {}
    void key_ok() override {}

private:
    QFrame *m_port_frame = nullptr;
};

extern MachineState *g_machinestate;
