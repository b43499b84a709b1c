#include "quality.h"

#include <cstring>

#include "chip_request.h"
#include "zemrampara.h"

quality *g_quality = nullptr;

namespace {
constexpr int kResetRow = 4;
}

quality::quality() : ScreenOf(PAGE_QUALITY)
{
    ui.setupUi(this);
    const std::pair<QLineEdit *, int> rows[] = {{ui.lineEdit_bright, Ram::kQBrightness},
                                                {ui.lineEdit_Sharpness, Ram::kQSharpness},
                                                {ui.lineEdit_Contrast, Ram::kQContrast},
                                                {ui.lineEdit_Saturation, Ram::kQSaturation}};
    for (size_t i = 0; i < m_values.size(); ++i)
        m_values[i] = std::make_unique<ChipNumberField>(rows[i].first, rows[i].second, 0, 100);
    para_init();
    menulist_init();
    language_changed();
}

void quality::para_init()
{
    for (const auto &value : m_values)
        value->show_stored();
}

void quality::menulist_init()
{
    m_focus.set({ui.lineEdit_bright, ui.lineEdit_Sharpness, ui.lineEdit_Contrast, ui.lineEdit_Saturation,
                 ui.lineEdit_Reset},
                Look::Thin);
    for (int row = 0; row < int(m_values.size()); ++row)
        m_focus.set_editor(row, m_values[size_t(row)]->editor());
    // The reset row has no value level: OK runs the reset, whatever the chip is doing.
    m_focus.set_action(kResetRow, [this] { reset_quality(); });
}

void quality::language_changed()
{
    ui.label_quality->setText(tr5("图像效果", "Image quality", "Изображение", "Chất lượng hình ảnh", "圖像效果"));
    ui.label_bright->setText(tr5("亮度", "Brightness", "Яркость", "Độ cao", "亮度"));
    ui.label_Sharpness->setText(tr5("锐度", "Sharpness", "Резкость", "Độ sắc nét", "銳度"));
    ui.label_Contrast->setText(tr5("对比度", "Contrast", "Контраст", "Độ tương phản", "對比度"));
    ui.label_Saturation->setText(tr5("饱和度", "Saturation", "Насыщенность", "Độ bão hòa", "飽和度"));
    ui.label_reset->setText(tr5("画质复位", "Reset", "Сбросить", "Đặt lại chất lượng hình ảnh", "畫質複位"));
    ui.lineEdit_Reset->setText(tr5("点击OK应用", "Press Ok", "Нажмите ОК", "Đồng ý", "點擊OK應用"));
}

void quality::reset_quality()
{
    if (ZemRamPara *para = Screen::para()) {
        ChipWrite write;
        std::memcpy(para->RAM_PARA + Ram::kQuality, default_para_ramlist + Ram::file_at(Ram::kQuality),
                    Ram::kQualitySize);
    }
    para_init();
}
