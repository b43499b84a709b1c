#include "imagequality.h"

#include "quality.h"
#include "temperature.h"

ImageQuality *g_imagequality = nullptr;

ImageQuality::ImageQuality() : ScreenOf(PAGE_IMAGEQUALITY)
{
    ui.setupUi(this);
    language_changed();
    menulist_init();
}

void ImageQuality::menulist_init()
{
    m_focus.set({ui.Button_quality, ui.Button_temperature}, Look::MenuText);
}

void ImageQuality::language_changed()
{
    ui.label_title->setText(tr5("图像效果", "Image quality", "Изображение", "Chất lượng hình ảnh", "圖像效果"));
    ui.Button_quality->setText(tr5("画质", "Quality", "Качество", "Chất lượng", "畫質"));
    ui.Button_temperature->setText(tr5("色温", "Temperature", "Оттенок", "Độ màu", "色溫"));
}

void ImageQuality::on_Button_quality_clicked()
{
    open_screen(g_quality, new quality);
}

void ImageQuality::on_Button_temperature_clicked()
{
    open_screen(g_temperature, new temperature);
}
