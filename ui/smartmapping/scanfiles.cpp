#include "scanfiles.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "paths.h"
#include "rcv_recovery_file.h"
#include "safe_file.h"

namespace ScanFiles {

QStringList names_in(const QString &device_dir)
{
    QStringList names;
    for (const QString &name : Utils::listed_files(Paths::dev(device_dir))) {
        if (QFileInfo(name).suffix() == QLatin1String("qyfile"))
            names << name;
    }
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

List gather()
{
    List list;
    const QString device = QString::fromLatin1(rcvRecovery::kMappingDir) + QLatin1Char('/');
    const QString stick = QString::fromLatin1(rcvRecovery::kUsbDir);
    for (const QString &name : names_in(device)) {
        if (list.total() == kMaxFiles)
            break;
        list.paths << device + name;
    }
    list.internal = list.total();
    for (const QString &name : names_in(stick)) {
        if (list.total() == kMaxFiles)
            break;
        list.paths << stick + name;
    }
    return list;
}

QString display_name(const QString &path)
{
    QString name = Paths::shown_name(path.section(QLatin1Char('/'), -1));
    name.remove(QLatin1Char('\n'));
    return name;
}

bool loadable(const QString &path)
{
    QFile file;
    return !path.isEmpty() && Utils::open_regular_file(Paths::dev(path), &file) == FileRead::Ok;
}

}
