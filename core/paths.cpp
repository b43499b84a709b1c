#include "paths.h"

#include <QDir>

namespace {
QString &root_storage()
{
#ifdef ZEM_DEVICE_BUILD
    // The device's loader starts the program without --root: its files are the real ones.
    static QString root = QStringLiteral("/");
#else
    static QString root = QDir::currentPath() + QStringLiteral("/run-data");
#endif
    return root;
}
}

namespace Paths {

void set_data_root(const QString &root)
{
    QString r = QDir(root).absolutePath();
    while (r.size() > 1 && r.endsWith(QLatin1Char('/')))
        r.chop(1);
    root_storage() = r;
}

const QString &data_root()
{
    return root_storage();
}

QString dev(const QString &device_path)
{
    if (!device_path.startsWith(QLatin1Char('/')) || root_storage() == QLatin1String("/"))
        return device_path;
    return root_storage() + device_path;
}

QByteArray dev_local8(const QString &device_path)
{
    return dev(device_path).toLocal8Bit();
}

}
