#include "safe_file.h"

#include <QFile>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <vector>

#include "file_writer.h"
#include "global.h"
#include "paths.h"

namespace {

QMutex g_report_mutex;
// What every report of a file that could not be read begins with.
const QString kNotUsed = QStringLiteral("not used: ");
QHash<QString, QStringList> g_reported;   // path -> the reasons said since it last worked

// The file writer keeps a save the disk refused and tries it again every few seconds for as long
// as the program runs: what start-up finds is said as a wait, not as a loss.
void report_unwritable_root(const QString &path, int err, const QString &why)
{
    const bool full = err == ENOSPC || err == EDQUOT;
    Utils::report_file_problem(path, (full ? QStringLiteral("the data root is full, saves wait for room: ")
                                           : QStringLiteral("the data root cannot be written, saves wait until it can: "))
                                         + why);
}

// The folder part and the name of a file path.
void split_path(const QString &path, QString *dir, QString *name)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    *dir = slash < 0 ? QString() : path.left(slash);
    *name = path.mid(slash + 1);
}

}

void Utils::report_file_problem(const QString &path, const QString &reason)
{
    {
        QMutexLocker lock(&g_report_mutex);
        QStringList &said = g_reported[path];
        if (said.contains(reason))
            return;
        said << reason;
    }
    // A NUL in a received name would end the line where it stands.
    const QString line = QString(path).replace(QChar(0), QLatin1String("\\0")) + QStringLiteral(": ") + reason;
    qWarning("zemK58N: %s", qUtf8Printable(line));
    writeLogMsg(LOG_ERROR, line);
}

void Utils::file_ok(const QString &path)
{
    QMutexLocker lock(&g_report_mutex);
    g_reported.remove(path);
}

void Utils::file_read_ok(const QString &path)
{
    QMutexLocker lock(&g_report_mutex);
    const auto it = g_reported.find(path);
    if (it == g_reported.end())
        return;
    it->erase(std::remove_if(it->begin(), it->end(), [](const QString &r) { return r.startsWith(kNotUsed); }), it->end());
    if (it->isEmpty())
        g_reported.erase(it);
}

bool Utils::write_file_atomic(const QString &path, const QByteArray &data)
{
    QString dir, name;
    split_path(path, &dir, &name);
    if (path.contains(QChar(0))) {
        report_file_problem(path, QStringLiteral("not saved: a name holds a NUL character"));
        return false;
    }
    return write_file_atomic(Folder::open(dir, true), name, data);
}

bool Utils::write_file_atomic(const Folder &dir, const QString &name, const QByteArray &data)
{
    const QString path = dir.path() + QLatin1Char('/') + name;
    QString reason;
    if (!dir.write_file(name, data, &reason)) {
        report_file_problem(path, QStringLiteral("not saved: ") + reason);
        return false;
    }
    file_ok(path);
    return true;
}

FileRead::Status Utils::open_regular_file(const QString &path, QFile *file, QString *reason)
{
    QString dir, name;
    split_path(path, &dir, &name);
    if (path.contains(QChar(0))) {
        if (reason)
            *reason = QStringLiteral("a name holds a NUL character");
        return FileRead::Refused;
    }
    return Folder::open(dir).open_file(name, file, reason);
}

FileRead Utils::read_file_capped(const QString &path, qint64 cap)
{
    QString dir, name;
    split_path(path, &dir, &name);
    if (path.contains(QChar(0))) {
        FileRead r;
        r.status = FileRead::Refused;
        r.reason = QStringLiteral("a name holds a NUL character");
        report_file_problem(path, kNotUsed + r.reason);
        return r;
    }
    return read_file_capped(Folder::open(dir), name, cap);
}

FileRead Utils::read_file_capped(const Folder &dir, const QString &name, qint64 cap)
{
    FileRead r;
    QFile f;
    r.status = dir.open_file(name, &f, &r.reason);
    if (r.status == FileRead::Ok) {
        if (f.size() <= cap)
            r.bytes = f.read(cap + 1);
        // A file still growing is caught by the read itself.
        if (f.size() > cap || r.bytes.size() > cap) {
            r.status = FileRead::Refused;
            r.reason = QStringLiteral("larger than %1 bytes").arg(cap);
            r.bytes.clear();
        } else if (f.error() != QFileDevice::NoError) {
            r.status = FileRead::Refused;
            r.reason = f.errorString();
            r.bytes.clear();
        }
    }
    if (r.status == FileRead::Refused)
        report_file_problem(dir.path() + QLatin1Char('/') + name, kNotUsed + r.reason);
    return r;
}

bool Utils::remove_file(const QString &path, QString *reason)
{
    QString dir, name;
    split_path(path, &dir, &name);
    if (path.contains(QChar(0))) {
        if (reason)
            *reason = QStringLiteral("a name holds a NUL character");
        return false;
    }
    return Folder::open(dir).remove(name, reason);
}

bool Utils::is_listed_name(const QString &name)
{
    return !name.startsWith(QLatin1Char('.')) && !name.endsWith(QLatin1String(".tmp"));
}

QStringList Utils::listed_files(const QString &dir)
{
    return Folder::open(dir).listed_files();
}

bool Utils::prepare_data_root()
{
    Paths::settle_top_folders();
    std::vector<Folder> folders;
    folders.reserve(3);
    folders.push_back(Folder::open(Paths::dev(QStringLiteral("/data")), true));
    folders.push_back(folders.front().sub(QStringLiteral("configs"), true));
    folders.push_back(folders.front().sub(QStringLiteral("modes"), true));
    for (const Folder &dir : folders) {
        if (!dir.ok()) {
            report_unwritable_root(dir.path(), dir.error(), dir.reason());
            return false;
        }
    }

    // Leftovers of writes a power cut interrupted.
    folders.front().remove_temporaries();

    for (const Folder &dir : folders) {
        // A test's refusing disk answers for the probe as it does for the writer.
        const auto refusing = FileWriter::disk_error_hook.load();
        int err = refusing ? refusing(dir.path()) : 0;
        if (err == 0)
            err = dir.write_probe();
        if (err != 0) {
            report_unwritable_root(dir.path(), err, qt_error_string(err));
            return false;
        }
    }
    return true;
}
