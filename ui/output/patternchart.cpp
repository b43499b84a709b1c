#include "patternchart.h"

#include "chip_request.h"
#include "ram_layout.h"
#include "zemrampara.h"

namespace PatternChart {

void set_icons(const Widgets &w)
{
    for (int i = 0; i < kPatterns; ++i)
        w.icons[i]->setPixmap(png(QStringLiteral(":/png/img_test%1.png").arg(i + 1)));
}

void set_focus(FocusList &focus, const Widgets &w)
{
    focus.clear();
    for (QLabel *icon : w.icons)
        focus.add(icon, Look::Swatch);
    focus.add(w.close, Look::ThinDark);
    focus.set_index(0);
}

void set_texts(const Widgets &w)
{
    w.title->setText(tr5("测试图", "Test pattern", "Тестовый образец", "Biểu đồ kiểm tra", "測試圖"));
    // Russian and Vietnamese name the patterns by number.
    const QString captions[kPatterns] = {
        tr5("红色", "Red", "Тест %d", "Kiểm tra %d", "紅色"),
        tr5("绿色", "Green", "Тест %d", "Kiểm tra %d", "綠色"),
        tr5("蓝色", "Blue", "Тест %d", "Kiểm tra %d", "藍色"),
        tr5("白色", "White", "Тест %d", "Kiểm tra %d", "白色"),
        tr5("黑色", "Black", "Тест %d", "Kiểm tra %d", "黑色"),
        tr5("色带", "Colour bar", "Тест %d", "Kiểm tra %d", "色帶"),
        tr5("竖线", "Vertical line", "Тест %d", "Kiểm tra %d", "豎線"),
        tr5("横线", "Horizontal line", "Тест %d", "Kiểm tra %d", "橫線"),
    };
    for (int i = 0; i < kPatterns; ++i)
        w.captions[i]->setText(QString::asprintf(captions[i].toUtf8().constData(), i + 1));
    w.close->setText(tr5("关闭测试图", "Close", "Закрыть", "Đóng", "關閉測試圖"));
}

void set_pattern(uint8_t pattern)
{
    ZemRamPara *para = Screen::para();
    if (!para)
        return;
    ChipWrite chip;
    para->RAM_PARA[Ram::kTestPattern] = pattern;
}

}
