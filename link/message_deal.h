#pragma once
#include <QByteArray>
#include <QString>

// The control protocol's file handlers: the end of a file transfer and the deletion of files,
// with what they do to the screens on display. They run on link threads; every call into a
// screen is queued to the GUI thread and checks its page again there.
class message_deal
{
public:
    // Stores a received file at a device path under "/data/" or "/mnt/usb1/" (whole, or not at
    // all), where it really leads once links are followed. Returns 0, or 255 when the path is
    // refused or the write failed.
    static int write_file_end(const QString &path, const QByteArray &content);
    // Deletes a file, a link (never what it leads to), or every listed file of a folder; never
    // "/mnt/usb1" itself. Returns 0, or 255 when the path is refused or nothing could be deleted.
    static int delete_file_name(const QString &path);

    // The device path made safe as text: absolute, no "..", under "/data/" or "/mnt/usb1/"; empty
    // when refused.
    static QString checked_path(const QString &path);
    // True for a resolved path strictly inside "/data" or "/mnt/usb1" of the data root: neither
    // folder itself (the stick's is its mount point) is ever written or emptied.
    static bool inside_device_folders(const QString &real);
};
