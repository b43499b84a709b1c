#pragma once
#include <QString>
#include <QStringList>

// The smart-mapping scan files: regular files whose suffix is exactly "qyfile", in the device's
// folder and on the USB stick. A link, a hidden name or a file the safe writer left half-written
// is none; a folder that is not there, or is a link, holds none. A name that is not UTF-8 keeps
// its bytes in the path (Paths::name_text), so the file it names is the one loaded.
namespace ScanFiles {

// At most this many are counted and shown, the device's first.
constexpr int kMaxFiles = 100;

struct List
{
    QStringList paths;   // device paths ("/data/smartmapping/a.qyfile", "/mnt/usb1/b.qyfile")
    int internal = 0;    // how many of them lie in the device's folder
    int total() const { return static_cast<int>(paths.size()); }
    bool on_stick(int i) const { return i >= internal; }
};

// The names of the scan files of one device folder, in name order whatever the letter case.
QStringList names_in(const QString &device_dir);
// The device's files, then the stick's, at most kMaxFiles in all.
List gather();
// The name shown for a path: the file's name, without line breaks, bytes that are not UTF-8
// shown as U+FFFD.
QString display_name(const QString &path);
// The chosen file may be loaded: it is still a readable regular file of its folder, not a link,
// with no link on its way.
bool loadable(const QString &path);

}
