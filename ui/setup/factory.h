#pragma once
#include <QDialog>

#include "fields.h"
#include "screen.h"
#include "ui_factory.h"

// Factory setup (page 18): the UI language among the offered ones, and the reset of the
// parameters to the factory table in three depths, with the OSD fonts the chip holds shown below.
// Keys only: OK on the list opens it (left and right step over the offered languages, OK applies,
// back leaves the screen unapplied); OK on a reset row resets at once.
class factory : public ScreenOf<QDialog, Ui::factory>
{
    Q_OBJECT
public:
    // The rows, by focus index (`ui_select`).
    enum Row { kLanguageRow, kReset1Row, kReset2Row, kReset3Row };
    // The address whose presence spares the network a reset to its defaults.
    static constexpr const char *kDefaultIp = "192.168.1.199";

    factory();

    void language_changed() override;
    // Only a language change shows here: an open list closed, the list on the language now in
    // force, the texts and font lines renewed.
    void syncUpdate(int code) override;
    void menulist_init();
    // The language shown in the list becomes the UI language, unless the image holds it already.
    void apply_language();

protected:
    void key_back() override { leave(); }
    // Like the Setting menu, the factory screen logs only the keys released, never a pressed one.
    QString key_line(PanelKey key, bool released) const override
    {
        return released ? Screen::key_line(key, released) : QString();
    }

private:
    // Depth 1 keeps the address, depth 2 the address and the inputs' EDIDs, depth 3 nothing.
    void reset(int depth);
    void show_fonts();

    ChoiceField m_language{nullptr};
};

extern factory *g_factory;
