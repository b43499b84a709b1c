#pragma once
#include "focus.h"

class QLineEdit;

// A 16-bit number of the parameter image that the chip follows, shown in a display-only field and
// changed on its row's value level: left and right step it by one, OK keeps it, back returns to
// the value of when the edit began. Every step, commit and revert stores the clamped value at
// once (the device follows the value as it moves), under the chip mutex with the update request.
// While the chip has not yet taken the previous store, a step, commit or revert does nothing:
// the field and the image keep the last value stored (the row still leaves its value level).
class ChipNumberField
{
public:
    ChipNumberField(QLineEdit *field, int offset, int lowest, int highest);

    QLineEdit *field() const { return m_field; }
    // What the image holds, as a signed number; a value outside the range is shown as it is.
    void show_stored();
    FocusList::Editor editor();

private:
    void store_current();

    QLineEdit *m_field;
    int m_offset;
    int m_lowest;
    int m_highest;
    int m_current = 0;
    int m_saved = 0;
};
