#pragma once
#include <QByteArray>
#include <QString>

// Every device path ("/data/...", "/mnt/usb1/", "/etc/...", "/proc/...", "/dev/...") is resolved
// under one data root, so a PC run or a test never touches the host's own folders.
namespace Paths {
void set_data_root(const QString &root);
// Until set: "/" in the device build, so device paths are the real ones; "<cwd>/run-data" elsewhere.
const QString &data_root();
// "/data/ram_device_info" -> "<root>/data/ram_device_info"; relative paths are returned unchanged.
QString dev(const QString &device_path);
QByteArray dev_local8(const QString &device_path);

// Start-up: where the data root's top folders ("data", "mnt") lie is taken once. A link there,
// made by whoever set the machine up, is followed this once and its target used from then on,
// whatever the link comes to say later; below the top folders no link is ever followed.
// set_data_root() forgets what was taken.
void settle_top_folders();
// The real path of a top folder that was a link at start; empty when it was none (the folder of
// that name in the root is then used as it is, and must be no link).
QByteArray settled_top_folder(const QString &name);

// File names as text and back: UTF-8, except that a byte which is no part of valid UTF-8 is kept
// as one of U+DC80..U+DCFF, so a name read from a folder opens the same file again.
QString name_text(const QByteArray &bytes);
QByteArray name_bytes(const QString &name);
// A name for display: the kept bytes become U+FFFD.
QString shown_name(const QString &name);
}
