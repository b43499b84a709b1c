#pragma once
#include "patternchart.h"
#include "ui_testimage.h"

// The test pattern screen's twin that belongs under the advanced page. Nothing opens it and no
// page id names it: it stands beyond the page table, where the change refresh does not reach. Its
// Close and back return to the advanced page; the mode key closes the whole chain, as from the
// other screens under that page.
class testimage : public PatternChartOf<Ui::testimage>
{
    Q_OBJECT
public:
    static constexpr uint8_t kPage = PAGE_COUNT;

    testimage();
};

extern testimage *g_testimage;
