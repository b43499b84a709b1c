#pragma once
#include <QDialog>
#include <array>
#include <memory>

#include "chipnumber.h"
#include "fields.h"
#include "screen.h"
#include "ui_temperature.h"

// Colour temperature (page 20): the type (custom, warm, nature, cool), chosen on its row and
// stored by OK or back, and the red, green and blue gains, stepped as the picture-quality values.
class temperature : public ScreenOf<QDialog, Ui::temperature>
{
    Q_OBJECT
public:
    temperature();

    void para_init();
    void menulist_init();
    void language_changed() override;
    // Only a language change reaches this screen: texts, values and entries are read again, and
    // a type choice not yet confirmed is dropped.
    void syncUpdate(int code) override;
    void store_type();

private:
    std::unique_ptr<ChoiceField> m_type;
    std::array<std::unique_ptr<ChipNumberField>, 3> m_gains;
};

extern temperature *g_temperature;
