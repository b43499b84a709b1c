#pragma once
#include <QDialog>

#include "fields.h"
#include "screen.h"
#include "ui_lcdshow.h"

// LCD display (page 15): the two delays of the front-panel LCD, back to the main interface and
// the screen lock, each a list of three choices. OK opens a list, left and right step it, OK
// keeps the choice; back leaves the screen from either level and keeps nothing.
class lcdshow : public ScreenOf<QDialog, Ui::lcdshow>
{
    Q_OBJECT
public:
    // The rows, by focus index (`ui_select`).
    enum Row { kBackRow, kLockRow };

    lcdshow();

    void language_changed() override;
    // Only a language change shows here: the texts, the lists refilled with the stored choices,
    // an open list closed unstored.
    void syncUpdate(int code) override;
    // Both lists filled in the current language, each on the entry of its stored delay.
    void para_init();
    void menulist_init();
    // The entry shown in row 0 or 1 becomes its delay.
    void store_back_delay();
    void store_lock_delay();

protected:
    void key_back() override { leave(); }

private:
    ChoiceField m_back{nullptr};
    ChoiceField m_lock{nullptr};
};

extern lcdshow *g_lcdshow;
