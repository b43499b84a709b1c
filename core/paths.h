#pragma once
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
}
