#include "linkcom.h"

linkcom *g_linkcom = nullptr;

linkcom::linkcom() : ScreenOf(PAGE_LINKCOM)
{
    ui.setupUi(this);
    language_changed();
}

void linkcom::language_changed()
{
    ui.label_com->setText(tr5("串口连接", "Serial port", "COM-порт", "Cài đặt cổng nối tiếp", "串口連接"));
    ui.label_baud->setText(tr5("波特率", "Baud rate", "Скорость передачи", "Tốc độ truyền", "波特率"));
    ui.label_bit->setText(tr5("数据位", "Data bits", "Биты данных", "Bit dữ liệ", "數據位"));
    ui.label_stop->setText(tr5("停止位", "Stop bit", "Бит остановки", "Dừng bit", "停止位"));
}
