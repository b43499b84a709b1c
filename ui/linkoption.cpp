#include "linkoption.h"

#include "firmware_usbgrade.h"
#include "ui_linkoption.h"

LinkOption *g_linkoption = nullptr;

namespace {
const QString kNormal = QStringLiteral(
    "color:rgb(255,255,255);background-color: rgb(33, 36, 53) ; border:2px ;border-radius:10px;padding:2px 4px");
const QString kFocus = QStringLiteral(
    "color:rgb(255,255,255);background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);"
    "border-radius:10px;padding:2px 4px");
}

LinkOption::LinkOption(QWidget *parent)
    : QDialog(parent), Screen(this, PAGE_LINKOPTION, "LinkOption"), ui(new Ui::LinkOption)
{
    ui->setupUi(this);
    // A touch opens an entry as OK does, as on every other menu.
    connect(ui->Button_usb, &QPushButton::clicked, this, &LinkOption::on_Button_firmware_usbgrade_clicked);
    para_init();
    language_changed();
    menulist_init();
}

LinkOption::~LinkOption()
{
    delete ui;
}

void LinkOption::menulist_init()
{
    m_focus.clear();
    m_focus.add(ui->Button_com, kNormal, kFocus);
    m_focus.add(ui->Button_wlan, kNormal, kFocus);
    m_focus.add(ui->Button_usb, kNormal, kFocus);
    m_focus.set_index(0);
}

void LinkOption::language_changed()
{
    ui->label_title->setText(tr5("通讯设置", "Communication", "Подключение", "Cài đặt giao tiếp", "通訊設置"));
    ui->Button_com->setText(tr5("串口连接", "Serial port", "COM-порт", "Cài đặt cổng\n nối tiếp", "串口連接"));
    ui->Button_wlan->setText(tr5("网口设置", "Net connect", "Сетевое по\nдключение", "Cài đặt\ncổng mạng", "網口設置"));
    ui->Button_usb->setText(
        tr5("USB升级", "USB UPDATE", "Обновление\nчерез USB", "Sử dụng ổ USB\nđể cập nhập", "USB昇級"));
}

void LinkOption::syncUpdate(int)
{
    sync_language();
}

void LinkOption::slot_Button_back_clicked()
{
    leave_to(PAGE_OPTION);
}

void LinkOption::on_Button_firmware_usbgrade_clicked()
{
    open_screen(g_firmware_usbgrade, new firmware_usbgrade);
}
