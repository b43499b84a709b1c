#pragma once
#include <QDialog>
#include <vector>

#include "fields.h"
#include "screen.h"
#include "ui_othersetup.h"

// Other settings (page 17): the sound of a chosen window, the switch effect and pixel to pixel of
// all windows, and the WiFi access point. Every line is a list: OK opens it, left and right step,
// OK applies, back abandons. The hidden projection line never takes the focus.
class othersetup : public ScreenOf<QDialog, Ui::othersetup>
{
    Q_OBJECT
public:
    // The lines, by focus index (`ui_select`).
    enum Line { kChooser, kSound, kSwitch, kProjection, kWifi, kPixel, kLines };

    othersetup();

    void language_changed() override;
    // Only a language change shows here: the texts, the lists refilled, an open edit dropped.
    void syncUpdate(int code) override;
    // Every list refilled in the current language, showing what the image holds.
    void para_init();

protected:
    void key_left() override { step(-1); }
    void key_right() override { step(+1); }

private:
    void step(int delta);
    void apply(int line, int choice);
    void apply_sound(int choice);
    // The windows 0..5 that exist (flag word nonzero), in number order: the chooser's entries.
    std::vector<int> enabled_windows() const;
    // The window whose sound line 1 shows: the stored one, or 0 when that is no enabled window.
    int sound_window(bool *stored_valid = nullptr) const;

    std::vector<ChoiceField> m_fields;   // by Line
};

extern othersetup *g_othersetup;
