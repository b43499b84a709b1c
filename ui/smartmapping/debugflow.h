#pragma once
#include "focus.h"
#include "wizardflow.h"

class PortChoice;

// The debugging flow of the smart-mapping wizard: cabinet size (Step 1), output port (Step 2),
// rows, columns, routing pattern and offsets (Step 3, with the routing page), and Send, which has
// the FPGA thread give every receiving card of the port its position (job 1).
class DebugFlow : public WizardFlow
{
public:
    DebugFlow(SmartMapping &frame, Ui::SmartMapping &form, PortChoice &ports);

    void texts() override;
    void show_first_page() override;
    void enter() override;
    void move(int delta) override;
    void ok() override;
    void back() override;

    // For the tests: the step the keys are on (0 to 2); the port grid or the routing page has them.
    int step() const { return m_step; }
    bool in_grid() const { return m_in_grid; }
    bool routing() const { return m_route_mode; }

private:
    void setup_number_fields();
    // Shows routing pattern n on Step 3's routing button and makes it the pattern sent.
    void line_select(int n);
    void route_chosen(int n);
    // What the pages' buttons do, touched or by the keys.
    void step1_next();
    void show_ports();
    void step2_previous();
    void step2_next();
    void show_routes();
    void step3_previous();
    void routes_cancelled();
    void send();
    void enter_step2();
    void enter_step3();

    PortChoice &m_ports;
    int m_step = 0;
    bool m_in_grid = false;
    bool m_route_mode = false;
    FocusList m_step1, m_step2, m_step3, m_routes;
};
