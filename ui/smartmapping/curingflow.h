#pragma once
#include "wizardflow.h"

// Parameter curing: OK has the FPGA thread have every receiving card keep its parameters (job 3).
class CuringFlow : public WizardFlow
{
public:
    CuringFlow(SmartMapping &frame, Ui::SmartMapping &form);

    void texts() override;
    void show_first_page() override;
    void enter() override;
    void ok() override;
    void back() override;

private:
    void cure();
};
