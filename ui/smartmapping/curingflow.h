#pragma once
#include "wizardflow.h"

// Parameter curing: its button has the FPGA thread have every receiving card keep its parameters
// (job 3).
class CuringFlow : public ButtonFlow
{
public:
    CuringFlow(SmartMapping &frame, Ui::SmartMapping &form);
    void texts() override;

private:
    void cure();
};
