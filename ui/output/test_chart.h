#pragma once
#include "patternchart.h"
#include "ui_test_chart.h"

// The test pattern screen of the Setting menu (page 16).
class test_chart : public PatternChartOf<Ui::test_chart>
{
    Q_OBJECT
public:
    test_chart();
};

extern test_chart *g_test_chart;
