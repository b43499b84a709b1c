#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_ledset.h"

// The LED Setting screen (page 13): the LED screen's width and height, typed on the numeric
// keyboard and clamped to the screen's limits, then applied as the panel size with the splice
// mode off. A new size also gives window 0 the whole screen, switches the other windows off and,
// while the FPGA runs, asks it for its LED set-up sequence. Apply and Cancel act on keys only.
class ledset : public ScreenOf<QDialog, Ui::ledset>
{
    Q_OBJECT
public:
    static constexpr int kMinSize = 64;
    static constexpr int kMaxSize = 8188;

    ledset();

    void language_changed() override;
    void syncUpdate(int code) override;
    // The fields show the image's width and height.
    void para_init();
    void menulist_init();
    // The keyboard's result for `field`, clamped; the other field may give way to the area limit.
    void confirmString(My_lineEdit *field, const QString &text);
    // Apply: OK on its button (a touch does nothing). A new size shows the check mark once the
    // parameter file holds it.
    void apply_size();
};

extern ledset *g_ledset;
