#include "temperature.h"

#include "chip_request.h"
#include "zemrampara.h"

temperature *g_temperature = nullptr;

namespace {
constexpr int kTypeRow = 0;
constexpr int kTypes = 4;
}

temperature::temperature() : ScreenOf(PAGE_TEMPERATURE)
{
    ui.setupUi(this);
    // The type is chosen with the keys only: a touch on the box would show an entry not stored.
    ui.comboBox_type->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_type = std::make_unique<ChoiceField>(ui.comboBox_type);
    const std::pair<QLineEdit *, int> rows[] = {
        {ui.lineEdit_name_red, Ram::kQRed}, {ui.lineEdit_name_green, Ram::kQGreen}, {ui.lineEdit_name_blue, Ram::kQBlue}};
    for (size_t i = 0; i < m_gains.size(); ++i)
        m_gains[i] = std::make_unique<ChipNumberField>(rows[i].first, rows[i].second, 0, 100);
    para_init();
    menulist_init();
    language_changed();
}

void temperature::para_init()
{
    for (const auto &gain : m_gains)
        gain->show_stored();
    const ZemRamPara *para = Screen::para();
    const int type = para ? para->rd16(Ram::kQTempType) : 0;
    m_type->set_entries({tr5("自定义", "custom", "Свой", "Tùy chỉnh", "自定義"),
                         tr5("偏暖", "warm", "Теплый", "Màu ấm", "偏暖"),
                         tr5("自然", "nature", "Природный", "Tự nhiên", "自然"),
                         tr5("偏冷", "cool", "Холодный", "Lạnh hơn", "偏冷")},
                        type < kTypes ? type : 0);
}

void temperature::menulist_init()
{
    m_focus.clear();
    m_focus.add(ui.comboBox_type, Look::ComboFilled);
    for (const auto &gain : m_gains)
        m_focus.add(gain->field(), Look::Thin);
    m_focus.set_index(0);

    // Back ends a type choice by storing the type of when it began: the type word is written by
    // back as well, even when nothing was changed.
    FocusList::Editor type = m_type->editor([this](int) { store_type(); });
    type.revert = [this, revert = type.revert] {
        revert();
        store_type();
    };
    m_focus.set_editor(kTypeRow, type);
    for (size_t i = 0; i < m_gains.size(); ++i)
        m_focus.set_editor(int(i) + 1, m_gains[i]->editor());
}

void temperature::language_changed()
{
    ui.label_temperature->setText(tr5("色温", "Temperature", "Температура Оттенок", "Độ màu", "色溫"));
    ui.label_type->setText(tr5("色温类型", "temperature type", "Выбор цвета", "Lựa chọn độ màu", "色溫類型"));
    ui.label_name_red->setText(tr5("红色", "Red", "Красный", "Màu đỏ", "紅色"));
    ui.label_name_green->setText(tr5("绿色", "Green", "Зеленый", "Màu xanh lá cây", "綠色"));
    ui.label_name_blue->setText(tr5("蓝色", "Blue", "Синий", "Màu xanh da trời", "藍色"));
}

void temperature::syncUpdate(int)
{
    ZemRamPara *para = Screen::para();
    if (!para || !para->ZemLanguageChanged())
        return;
    language_changed();
    para_init();
    // The type shown is the image's again; a gain being changed goes on.
    if (m_focus.editing() && m_focus.index() == kTypeRow)
        m_focus.drop_edit();
}

void temperature::store_type()
{
    if (ZemRamPara *para = Screen::para()) {
        ChipWrite write;
        para->wr16(Ram::kQTempType, static_cast<uint16_t>(m_type->current()));
    }
}
