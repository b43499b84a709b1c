#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_linkwlan.h"

class My_lineEdit;

// Net connect (page 22): the wired address, mask and gateway, four octets each, typed on the
// numeric keyboard (OK on an octet, or a touch on it). Apply stores the three in the configuration
// and puts them in force on eth0 at once; Cancel and back leave without storing.
class linkwlan : public ScreenOf<QDialog, Ui::linkwlan>
{
    Q_OBJECT
public:
    // Focus indexes (`ui_select`): the twelve octets row by row, then the two buttons.
    enum Row { kOctets = 12, kApplyRow = 12, kCancelRow = 13 };

    linkwlan();

    void language_changed() override;
    void menulist_init();
    // The octets of the address, mask and gateway in force, each in its plain form; a part missing
    // from a stored value shows as an empty octet.
    void show_stored();
    // The keyboard's text for an octet edit, taken in its plain form when it is an octet
    // (Utils::octet_value); else the edit shows empty until an octet is typed.
    void confirmString(My_lineEdit *edit, const QString &text);
    // Apply (OK on its button; a touch does nothing). Nothing is stored or run while an octet is
    // empty or no octet, nor when the three are those in force already.
    void apply_network();

private:
    My_lineEdit *m_octets[kOctets] = {};
};

extern linkwlan *g_linkwlan;
