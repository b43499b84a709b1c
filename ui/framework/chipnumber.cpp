#include "chipnumber.h"

#include <QLineEdit>
#include <algorithm>

#include "chip_request.h"
#include "screen.h"
#include "zemrampara.h"

namespace {
bool chip_busy()
{
    return ChipRequest::request().load() != 0;
}
}

ChipNumberField::ChipNumberField(QLineEdit *field, int offset, int lowest, int highest)
    : m_field(field), m_offset(offset), m_lowest(lowest), m_highest(highest)
{
}

void ChipNumberField::show_stored()
{
    if (const ZemRamPara *para = Screen::para())
        m_field->setText(QString::number(Ram::rds16(para->RAM_PARA, m_offset)));
}

void ChipNumberField::store_current()
{
    m_current = std::clamp(m_current, m_lowest, m_highest);
    if (ZemRamPara *para = Screen::para()) {
        ChipWrite write;
        // The whole word: what is stored is the value shown, whatever the high byte held.
        para->wr16(m_offset, static_cast<uint16_t>(m_current));
    }
    m_field->setText(QString::number(m_current));
}

FocusList::Editor ChipNumberField::editor()
{
    FocusList::Editor e;
    e.begin = [this] {
        // The field shows only what this program wrote there, but a text that is no number
        // still counts as 0 rather than stopping the edit.
        m_current = m_saved = m_field->text().toInt();
        return true;
    };
    e.step = [this](int delta) {
        if (chip_busy())
            return;
        m_current += delta;
        store_current();
    };
    e.commit = [this] {
        if (chip_busy())
            return;
        m_saved = m_current;
        store_current();
    };
    e.revert = [this] {
        if (chip_busy())
            return;
        m_current = m_saved;
        store_current();
    };
    return e;
}
