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
    // all). No link below those two folders is followed, and a folder, a link or anything but a
    // file in the file's place stays. Returns 0, or 255 when the path is refused or the write
    // failed.
    static int write_file_end(const QString &path, const QByteArray &content);
    // Deletes a file, a link (never what it leads to), or every listed file of a folder, with no
    // link on the way followed; never "/mnt/usb1" itself. Returns 0, or 255 when the path is
    // refused or nothing could be deleted.
    static int delete_file_name(const QString &path);

    // The device path made safe as text: absolute, no "..", no NUL, under "/data/" or
    // "/mnt/usb1/", and not named as the safe writer's temporary files are; empty when refused.
    static QString checked_path(const QString &path);
};
