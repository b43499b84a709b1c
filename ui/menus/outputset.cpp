#include "outputset.h"

#include "ledset.h"
#include "netset.h"
#include "ram_layout.h"
#include "zemrampara.h"

OutputSet *g_outputset = nullptr;

OutputSet::OutputSet() : ScreenOf(PAGE_OUTPUTSET)
{
    ui.setupUi(this);
    set_key_hints(ui.label_note_OK, ui.label_note_back);
    m_focus.set({ui.Button_ledset, ui.Button_lanset}, Look::MenuText);
    language_changed();
}

void OutputSet::language_changed()
{
    ui.label_title->setText(tr5("输出设置", "Output Seeting", "Выход", "Thông số đầu ra", "輸出設置"));
    ui.Button_ledset->setText(tr5("LED设置", "LED Setting", "Настройки\nLED", "Cài đặt\nLED", "LED設置"));
    ui.Button_lanset->setText(tr5("网口输出", "Port output", "Настройка\nLAN", "Cài đặt\ncổng MẠNG", "網口輸出"));

    int width = 0;
    int height = 0;
    if (const ZemRamPara *para = Screen::para()) {
        width = para->rd16(Ram::kLedWidth);
        height = para->rd16(Ram::kLedHeight);
    }
    const QString format = tr5("当前设置LED屏宽高为: %dx%d", "LED Screen can be set:%dx%d",
                               "Текущий размер LED (px): %dx%d",
                               "Gợi ý: Kích thước màn hình LED hiện tại::%dx%d", "當前設置LED屏寬高爲: %dx%d");
    ui.label_info->setText(QString::asprintf(format.toUtf8().constData(), width, height));
}

void OutputSet::on_Button_ledset_clicked()
{
    open_screen(g_ledset, new ledset);
}

void OutputSet::on_Button_lanset_clicked()
{
    open_screen(g_netset, new netset);
}
