#include "rcv_recovery_file.h"

#include "paths.h"
#include "safe_file.h"

const char *const rcvRecovery::kRecoveryDir = "/data/rcvrecovery";
const char *const rcvRecovery::kMappingDir = "/data/smartmapping";
const char *const rcvRecovery::kUsbDir = "/mnt/usb1/";

int rcvRecovery::get_dir_file(const QString &dir)
{
    // A link in the folder's place, or on its way, is no folder here: what it leads to is not
    // read.
    const Folder d = Folder::open(Paths::dev(dir));
    if (!d.ok())
        return 1;
    if (dir != QLatin1String(kRecoveryDir) && dir != QLatin1String(kMappingDir)
        && dir != QLatin1String(kUsbDir))
        return 0;
    const QStringList files = d.listed_files();
    QMutexLocker lock(&m_mutex);
    m_files = files;
    return 0;
}

QByteArray rcvRecovery::read_file(const QString &dir, const QString &name)
{
    if (name.contains(QLatin1Char('/')) || !Utils::is_listed_name(name))
        return QByteArray();
    return Utils::read_file_capped(Paths::dev(dir + QLatin1Char('/') + name), kMaxFileBytes).bytes;
}

QStringList rcvRecovery::file_list() const
{
    QMutexLocker lock(&m_mutex);
    return m_files;
}

int rcvRecovery::file_count() const
{
    QMutexLocker lock(&m_mutex);
    return m_files.size();
}

void rcvRecovery::clear_files()
{
    QMutexLocker lock(&m_mutex);
    m_files.clear();
}
