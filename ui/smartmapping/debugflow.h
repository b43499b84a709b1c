#pragma once
#include "focus.h"
#include "levels.h"
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

    // For the tests: the step the keys are on (0 to 2); the port grid has them.
    int step() const;
    bool in_grid() const { return m_levels.at(Level::Grid); }

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

    // Step 2 holds the port grid, Step 3 the routing page.
    enum class Level { Step1, Step2, Grid, Step3, Routes };
    PortChoice &m_ports;
    FocusList m_step1, m_step2, m_step3, m_routes;
    Levels<Level> m_levels{Level::Step1, &m_step1};
};
