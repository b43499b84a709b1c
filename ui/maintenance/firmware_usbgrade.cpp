#include "firmware_usbgrade.h"

#include <QFileInfo>
#include <algorithm>

#include "paths.h"
#include "safe_file.h"

firmware_usbgrade *g_firmware_usbgrade = nullptr;

namespace {
const char *const kUsbDir = "/mnt/usb1/";

// A link in the stick's place is no stick.
bool usb_present()
{
    return Folder::open(Paths::dev(QString::fromLatin1(kUsbDir))).ok();
}

// The upgrade files on the stick, sorted, as shown; empty without a stick. Links are none.
QStringList upgrade_files()
{
    QStringList names;
    for (const QString &name : Utils::listed_files(Paths::dev(QString::fromLatin1(kUsbDir)))) {
        const QString suffix = QFileInfo(name).suffix();
        if (suffix == QLatin1String("ZEM") || suffix == QLatin1String("ZEMZK"))
            names << Paths::shown_name(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}
}

firmware_usbgrade::firmware_usbgrade() : ScreenOf(PAGE_FIRMWARE_USBGRADE)
{
    ui.setupUi(this);
    ui.label_note_back->setPixmap(png(QStringLiteral(":/png/back_return.png")));
    language_changed();
}

void firmware_usbgrade::language_changed()
{
    ui.label_title->setText(
        tr5("USB升级", "USB UPDATE", "Обновление через USB", "Sử dụng ổ USB để cập nhập", "USB昇級"));
    const QStringList files = upgrade_files();
    if (!usb_present()) {
        ui.label_state->setText(tr5("未检测到U盘", "No USB drive", "USB-накопитель не найден",
                                     "Không có ổ USB", "未檢測到U盤"));
    } else if (files.isEmpty()) {
        ui.label_state->setText(tr5("U盘中没有升级文件", "No upgrade file on the USB drive",
                                     "Нет файла обновления на USB", "Không có tệp cập nhật trên USB",
                                     "U盤中沒有升級文件"));
    } else {
        ui.label_state->setText(
            tr5("升级文件:", "Upgrade files:", "Файлы обновления:", "Tệp cập nhật:", "升級文件:"));
    }
    ui.label_info->setVisible(!files.isEmpty());
    // The names come from the stick.
    set_plain_text(ui.label_info, files.join(QLatin1Char('\n')));
}

void firmware_usbgrade::syncUpdate(int code)
{
    sync_language();
    if (code >= CHANGE_USB_INSERTED && code <= CHANGE_USB_MOUNTED) {
        language_changed();
        show_usb_tip(code);
    }
}
