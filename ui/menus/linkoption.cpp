#include "linkoption.h"

#include "firmware_usbgrade.h"
#include "linkcom.h"
#include "linkwlan.h"
#include "tip.h"

LinkOption *g_linkoption = nullptr;

LinkOption::LinkOption() : ScreenOf(PAGE_LINKOPTION)
{
    ui.setupUi(this);
    // A touch opens an entry as OK does, as on every other menu.
    connect(ui.Button_com, &QPushButton::clicked, this, &LinkOption::open_linkcom);
    connect(ui.Button_wlan, &QPushButton::clicked, this, &LinkOption::open_linkwlan);
    connect(ui.Button_usb, &QPushButton::clicked, this, &LinkOption::open_firmware_usbgrade);
    language_changed();
    m_focus.set({ui.Button_com, ui.Button_wlan, ui.Button_usb}, Look::MenuText);
}

void LinkOption::language_changed()
{
    ui.label_title->setText(tr5("通讯设置", "Communication", "Подключение", "Cài đặt giao tiếp", "通訊設置"));
    ui.Button_com->setText(tr5("串口连接", "Serial port", "COM-порт", "Cài đặt cổng\n nối tiếp", "串口連接"));
    ui.Button_wlan->setText(tr5("网口设置", "Net connect", "Сетевое по\nдключение", "Cài đặt\ncổng mạng", "網口設置"));
    ui.Button_usb->setText(
        tr5("USB升级", "USB UPDATE", "Обновление\nчерез USB", "Sử dụng ổ USB\nđể cập nhập", "USB昇級"));
}

void LinkOption::syncUpdate(int code)
{
    Screen::syncUpdate(code);
    show_tip(TIP_DONE);
}

void LinkOption::after_sync(int)
{
    show_tip(TIP_DONE);
}

void LinkOption::open_linkcom()
{
    open_screen(g_linkcom, new linkcom);
}

void LinkOption::open_linkwlan()
{
    open_screen(g_linkwlan, new linkwlan);
}

void LinkOption::open_firmware_usbgrade()
{
    open_screen(g_firmware_usbgrade, new firmware_usbgrade);
}
