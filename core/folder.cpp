#include "safe_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "folder_io.h"
#include "paths.h"

using FolderIo::errno_text;
using FolderIo::is_entry_name;
using FolderIo::write_all;

namespace {

constexpr char kTemporaryPrefix[] = ".saving-";
constexpr int kTemporaryLetters = 6;
constexpr char kTemporarySuffix[] = ".tmp";
constexpr char kTemporaryAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
// Start-up's sweep for leftovers goes no deeper than this below /data.
constexpr int kSweepDepth = 16;

// The folder `name` in the open folder `dir`, no link followed, made when missing and `create`.
// Takes `dir` over (closes it); the new descriptor, or -1 with errno and the reason.
int open_step(int dir, const QString &name, bool create, QString *reason)
{
    const QByteArray bytes = Paths::name_bytes(name);
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(dir, bytes.constData(), flags);
    if (fd < 0 && errno == ENOENT && create && (::mkdirat(dir, bytes.constData(), 0755) == 0 || errno == EEXIST))
        fd = ::openat(dir, bytes.constData(), flags);
    int err = errno;
    if (fd < 0) {
        struct stat st;
        if (err == ENOTDIR && ::fstatat(dir, bytes.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            *reason = name + (S_ISLNK(st.st_mode) ? QStringLiteral(" is a link, not a folder") : QStringLiteral(" is not a folder"));
        else
            *reason = errno_text(err);
    }
    ::close(dir);
    errno = err;
    return fd;
}

// A new temporary file in the folder, made where nothing was: O_EXCL with O_NOFOLLOW neither
// follows nor reuses whatever might lie under the name.
int create_temporary(int dir, QString *name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = Utils::temporary_name();
        const int fd = ::openat(dir, QFile::encodeName(*name).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The names in an open folder, read through a descriptor of its own so that the folder's
// position is not shared.
QList<QByteArray> entry_names(int dir)
{
    QList<QByteArray> names;
    const int fd = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return names;
    DIR *d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return names;
    }
    while (const dirent *e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names << QByteArray(e->d_name);
    }
    ::closedir(d);
    return names;
}

// Removes the safe writer's leftovers in a folder and the folders below it; links are removed,
// never followed.
void sweep_temporaries(int dir, int depth)
{
    for (const QByteArray &name : entry_names(dir)) {
        struct stat st;
        if (::fstatat(dir, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (depth >= kSweepDepth)
                continue;
            const int sub = ::openat(dir, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) {
                sweep_temporaries(sub, depth + 1);
                ::close(sub);
            }
        } else if (Utils::is_temporary_name(Paths::name_text(name))) {
            ::unlinkat(dir, name.constData(), 0);
        }
    }
}

}

std::atomic<void (*)(const QString &)> Folder::opened_hook{nullptr};

Folder::Folder(Folder &&other) noexcept
    : m_fd(other.m_fd), m_error(other.m_error), m_path(std::move(other.m_path)), m_reason(std::move(other.m_reason))
{
    other.m_fd = -1;
}

Folder &Folder::operator=(Folder &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        m_error = other.m_error;
        m_path = std::move(other.m_path);
        m_reason = std::move(other.m_reason);
        other.m_fd = -1;
    }
    return *this;
}

Folder::~Folder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Folder Folder::failed(const QString &path, int error, const QString &reason)
{
    Folder f;
    f.m_path = path;
    f.m_error = error;
    f.m_reason = reason;
    return f;
}

Folder Folder::open(const QString &path, bool create)
{
    const QString root = Paths::data_root();
    const QString clean = QDir::cleanPath(path);
    if (clean.contains(QChar(0)))
        return failed(clean, EINVAL, QStringLiteral("a name holds a NUL character"));
    QString rel;
    if (root == QLatin1String("/") && clean.startsWith(QLatin1Char('/')))
        rel = clean.mid(1);
    else if (clean == root || clean.startsWith(root + QLatin1Char('/')))
        rel = clean.mid(root.size() + 1);
    else
        return failed(clean, EACCES, QStringLiteral("outside the data root"));
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.contains(QStringLiteral("..")))
        return failed(clean, EACCES, QStringLiteral("outside the data root"));

    int fd = -1;
    QString reason;
    const QByteArray settled = parts.isEmpty() ? QByteArray() : Paths::settled_top_folder(parts.first());
    if (!settled.isEmpty()) {
        // Where the top folder's link led at start, and nowhere else.
        fd = ::open(settled.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            const int err = errno;
            reason = QFile::decodeName(settled) + QStringLiteral(": ") + errno_text(err);
            return failed(clean, err, reason);
        }
    } else {
        // The root itself is whoever started the program's choice, links and all.
        const QByteArray root8 = QFile::encodeName(root);
        fd = ::open(root8.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT && create && QDir().mkpath(root))
            fd = ::open(root8.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            const int err = errno;
            return failed(clean, err, QStringLiteral("the data root: ") + errno_text(err));
        }
        if (!parts.isEmpty())
            fd = open_step(fd, parts.first(), create, &reason);
    }
    for (int i = 1; fd >= 0 && i < parts.size(); ++i)
        fd = open_step(fd, parts.at(i), create, &reason);
    if (fd < 0)
        return failed(clean, errno, reason);
    Folder folder(fd, clean);
    if (auto hook = opened_hook.load())
        hook(folder.m_path);
    return folder;
}

Folder Folder::sub(const QString &relative, bool create) const
{
    const QString path = m_path + QLatin1Char('/') + relative;
    if (m_fd < 0)
        return failed(path, m_error, m_reason);
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (!is_entry_name(part))
            return failed(path, EINVAL, QStringLiteral("not a folder name: ") + part);
    }
    int fd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        const int err = errno;
        return failed(path, err, errno_text(err));
    }
    QString reason;
    for (int i = 0; fd >= 0 && i < parts.size(); ++i)
        fd = open_step(fd, parts.at(i), create, &reason);
    if (fd < 0)
        return failed(path, errno, reason);
    Folder folder(fd, QDir::cleanPath(path));
    if (auto hook = opened_hook.load())
        hook(folder.m_path);
    return folder;
}

FolderId Folder::id() const
{
    // fstatat for the reason open_file() gives.
    struct stat st;
    if (m_fd < 0 || ::fstatat(m_fd, "", &st, AT_EMPTY_PATH) != 0)
        return {};
    return {true, uint64_t(st.st_dev), uint64_t(st.st_ino)};
}

unsigned Folder::entry_type(const QString &name) const
{
    struct stat st;
    if (m_fd < 0 || !is_entry_name(name)
        || ::fstatat(m_fd, Paths::name_bytes(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    return st.st_mode & S_IFMT;
}

QStringList Folder::listed_files() const
{
    QStringList files;
    if (m_fd < 0)
        return files;
    for (const QByteArray &bytes : entry_names(m_fd)) {
        const QString name = Paths::name_text(bytes);
        struct stat st;
        if (Utils::is_listed_name(name) && ::fstatat(m_fd, bytes.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(st.st_mode))
            files << name;
    }
    return files;
}

FileRead::Status Folder::open_file(const QString &name, QFile *file, QString *reason) const
{
    const auto refuse = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return FileRead::Refused;
    };
    if (m_fd < 0)
        return missing() ? FileRead::Missing : refuse(m_reason);
    if (!is_entry_name(name))
        return refuse(QStringLiteral("not a file name"));
    // Non-blocking only for the open: a FIFO would otherwise wait here for a writer.
    const int fd = ::openat(m_fd, Paths::name_bytes(name).constData(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT)
            return FileRead::Missing;
        return refuse(err == ELOOP ? QStringLiteral("a link, not a file") : errno_text(err));
    }
    // fstatat rather than fstat: the thread sanitizer sees fstat, but neither the openat that made
    // the descriptor nor Qt's close of it, and would take a later reuse of the number elsewhere
    // for a race.
    struct stat st;
    if (::fstatat(fd, "", &st, AT_EMPTY_PATH) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse(QStringLiteral("not a regular file"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(file->errorString());
    }
    return FileRead::Ok;
}

bool Folder::write_file(const QString &name, const QByteArray &data, QString *reason) const
{
    if (m_fd < 0) {
        *reason = m_reason;
        return false;
    }
    if (!is_entry_name(name)) {
        *reason = name.contains(QChar(0)) ? QStringLiteral("a name holds a NUL character") : QStringLiteral("not a file name");
        return false;
    }
    QString tmp;
    const int fd = create_temporary(m_fd, &tmp);
    if (fd < 0) {
        *reason = errno_text(errno);
        return false;
    }
    const QByteArray tmp8 = QFile::encodeName(tmp);
    bool ok = write_all(fd, data.constData(), data.size());
    int err = ok ? 0 : errno;
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    // The rename replaces a link in the file's place; it never writes through it.
    if (ok && ::renameat(m_fd, tmp8.constData(), m_fd, Paths::name_bytes(name).constData()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlinkat(m_fd, tmp8.constData(), 0);
        *reason = errno_text(err);
        return false;
    }
    // The rename is durable only once the folder entry itself reaches the disk.
    ::fsync(m_fd);
    return true;
}

bool Folder::remove(const QString &name, QString *reason) const
{
    const auto refuse = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (m_fd < 0)
        return refuse(m_reason);
    if (!is_entry_name(name))
        return refuse(QStringLiteral("not a file name"));
    const QByteArray bytes = Paths::name_bytes(name);
    struct stat st;
    if (::fstatat(m_fd, bytes.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return refuse(errno_text(errno));
    if (S_ISDIR(st.st_mode))
        return refuse(QStringLiteral("a folder, not a file"));
    return ::unlinkat(m_fd, bytes.constData(), 0) == 0 || refuse(errno_text(errno));
}

bool Folder::rename(const QString &from, const QString &to, QString *reason) const
{
    if (m_fd < 0 || !is_entry_name(from) || !is_entry_name(to)) {
        *reason = m_fd < 0 ? m_reason : QStringLiteral("not a file name");
        return false;
    }
    if (::renameat(m_fd, Paths::name_bytes(from).constData(), m_fd, Paths::name_bytes(to).constData()) != 0) {
        *reason = errno_text(errno);
        return false;
    }
    return true;
}

void Folder::remove_temporaries() const
{
    if (m_fd >= 0)
        sweep_temporaries(m_fd, 0);
}

int Folder::write_probe() const
{
    QString name;
    const int fd = create_temporary(m_fd, &name);
    if (fd < 0)
        return errno;
    int err = write_all(fd, "1", 1) ? 0 : errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    ::unlinkat(m_fd, QFile::encodeName(name).constData(), 0);
    return err;
}

QString Utils::temporary_name()
{
    QString name = QLatin1String(kTemporaryPrefix);
    for (int i = 0; i < kTemporaryLetters; ++i)
        name += QLatin1Char(kTemporaryAlphabet[QRandomGenerator::global()->bounded(int(sizeof kTemporaryAlphabet) - 1)]);
    return name + QLatin1String(kTemporarySuffix);
}

bool Utils::is_temporary_name(const QString &name)
{
    const int prefix = int(sizeof kTemporaryPrefix) - 1;
    if (name.size() != prefix + kTemporaryLetters + int(sizeof kTemporarySuffix) - 1
        || !name.startsWith(QLatin1String(kTemporaryPrefix)) || !name.endsWith(QLatin1String(kTemporarySuffix)))
        return false;
    for (int i = prefix; i < prefix + kTemporaryLetters; ++i) {
        if (!QLatin1String(kTemporaryAlphabet).contains(name.at(i)))
            return false;
    }
    return true;
}
