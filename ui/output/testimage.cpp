#include "testimage.h"

testimage *g_testimage = nullptr;

testimage::testimage() : PatternChartOf(kPage, PAGE_ADVANCEDOPTION)
{
    ui.setupUi(this);
    build();
}
