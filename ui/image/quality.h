#pragma once
#include <QDialog>
#include <array>
#include <memory>

#include "chipnumber.h"
#include "screen.h"
#include "ui_quality.h"

// Picture quality (page 19): brightness, sharpness, contrast and saturation stepped within 0 to
// 100, and the reset of the whole picture record, colour temperature included.
class quality : public ScreenOf<QDialog, Ui::quality>
{
    Q_OBJECT
public:
    quality();

    void para_init();
    void menulist_init();
    void language_changed() override;
    void reset_quality();

private:
    // Rows 0 to 3, in screen order (not the record's).
    std::array<std::unique_ptr<ChipNumberField>, 4> m_values;
};

extern quality *g_quality;
