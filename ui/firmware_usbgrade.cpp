#include "firmware_usbgrade.h"

#include <QDir>
#include <QFileInfo>

#include "QRoundProgressBar.h"
#include "paths.h"
#include "ui_firmware_usbgrade.h"

firmware_usbgrade *g_firmware_usbgrade = nullptr;

namespace {
const char *const kUsbDir = "/mnt/usb1/";

bool usb_present()
{
    return QFileInfo(Paths::dev(QString::fromLatin1(kUsbDir))).isDir();
}

// The upgrade files on the stick, sorted; empty without a stick.
QStringList upgrade_files()
{
    QStringList names;
    const QDir dir(Paths::dev(QString::fromLatin1(kUsbDir)));
    for (const QFileInfo &info : dir.entryInfoList(QDir::Files, QDir::Name)) {
        const QString suffix = info.suffix();
        if (suffix == QLatin1String("ZEM") || suffix == QLatin1String("ZEMZK"))
            names << info.fileName();
    }
    return names;
}
}

firmware_usbgrade::firmware_usbgrade(QWidget *parent)
    : QDialog(parent), Screen(this, PAGE_FIRMWARE_USBGRADE, "firmware_usbgrade"), ui(new Ui::firmware_usbgrade)
{
    ui->setupUi(this);
    ui->label_note_back->setPixmap(QPixmap(QStringLiteral(":/png/back_return.png")));
    language_changed();
}

firmware_usbgrade::~firmware_usbgrade()
{
    delete ui;
}

void firmware_usbgrade::language_changed()
{
    ui->label_title->setText(
        tr5("USB升级", "USB UPDATE", "Обновление через USB", "Sử dụng ổ USB để cập nhập", "USB昇級"));
    const QStringList files = upgrade_files();
    if (!usb_present()) {
        ui->label_state->setText(tr5("未检测到U盘", "No USB drive", "USB-накопитель не найден",
                                     "Không có ổ USB", "未檢測到U盤"));
    } else if (files.isEmpty()) {
        ui->label_state->setText(tr5("U盘中没有升级文件", "No upgrade file on the USB drive",
                                     "Нет файла обновления на USB", "Không có tệp cập nhật trên USB",
                                     "U盤中沒有升級文件"));
    } else {
        ui->label_state->setText(
            tr5("升级文件:", "Upgrade files:", "Файлы обновления:", "Tệp cập nhật:", "升級文件:"));
    }
    ui->label_info->setVisible(!files.isEmpty());
    ui->label_info->setText(files.join(QLatin1Char('\n')));
}

void firmware_usbgrade::syncUpdate(int code)
{
    sync_language();
    // The USB listener's codes: stick inserted (100), removed (101), mounted (102).
    if (code >= 100 && code <= 102)
        language_changed();
}

void firmware_usbgrade::key_back()
{
    if (!g_qround_bar)
        menulist_back_page();
}

void firmware_usbgrade::menulist_back_page()
{
    leave_to(PAGE_LINKOPTION);
}
