#pragma once
#include "wizardflow.h"

// The mapping switch: the page shows it as the FPGA has it, read afresh whenever the page is
// chosen; its button turns it over in the FPGA at once and has the FPGA thread carry it to the
// receiving cards (job 4).
class MappingFlow : public ButtonFlow
{
public:
    MappingFlow(SmartMapping &frame, Ui::SmartMapping &form);
    void texts() override;
    void show_first_page() override;

private:
    void show_state(bool on);
    void turn_over();
};
