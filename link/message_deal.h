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
    // all). Returns 0, or 255 when the path is refused or the write failed.
    static int write_file_end(const QString &path, const QByteArray &content);
    // Deletes a file, or every file of a folder. Returns 0, or 255 when the path is refused or
    // nothing could be deleted.
    static int delete_file_name(const QString &path);

    // The device path made safe: absolute, no "..", under "/data/" or "/mnt/usb1/"; empty when
    // refused.
    static QString checked_path(const QString &path);
};
