#include "test_chart.h"

test_chart *g_test_chart = nullptr;

test_chart::test_chart() : PatternChartOf(PAGE_TEST_CHART, PAGE_OPTION)
{
    ui.setupUi(this);
    build();
}
