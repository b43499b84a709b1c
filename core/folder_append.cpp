#include "safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "folder_io.h"
#include "paths.h"

using FolderIo::errno_text;

namespace {

// Why an entry is no file of its own to append to, empty when it is one: a regular file by this
// one name.
QString not_a_file_of_its_own(const struct stat &st)
{
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("a link, not a file");
    if (S_ISDIR(st.st_mode))
        return errno_text(EISDIR);
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("not a regular file");
    if (st.st_nlink > 1)
        return QStringLiteral("a hard link, not a file of its own");
    if (st.st_nlink == 0)
        return QStringLiteral("removed as it was opened");
    return QString();
}

// fstatat for the reason Folder::open_file() gives.
QString why_not_appended_to(int fd, struct stat *st)
{
    return ::fstatat(fd, "", st, AT_EMPTY_PATH) == 0 ? not_a_file_of_its_own(*st) : errno_text(errno);
}

// The file that a look (an O_PATH descriptor) holds, opened for appending through the process's
// own descriptor table, whatever its name holds by now. The kernel's /proc is meant, not the data
// root's device path; a system without it opens nothing, and the line is lost. Non-blocking, for a
// lease on the file would hold the open, and the runner with it, until the lease is broken.
int reopen_for_append(int looked, QString *reason)
{
    const QByteArray own = "/proc/self/fd/" + QByteArray::number(looked);
    const int fd = ::open(own.constData(), O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0)
        return fd;
    // Only a /proc that is missing, or not the kernel's, fails to lead to the file; any other
    // refusal is the file's own (its mode, a flag on it, its file system, a lease), and that is
    // what the one who mends it has to know.
    const int err = errno;
    const bool through_proc = err == ENOENT || err == ENOTDIR || err == ELOOP;
    *reason = (through_proc ? QStringLiteral("not opened through /proc/self/fd: ") : QString()) + errno_text(err);
    return fd;
}

}

std::atomic<void (*)(const QString &)> Folder::looked_hook{nullptr};

bool Folder::append(const QString &name, const QByteArray &data, QString *reason) const
{
    if (m_fd < 0 || !FolderIo::is_entry_name(name)) {
        *reason = m_fd < 0 ? m_reason : QStringLiteral("not a file name");
        return false;
    }
    const QByteArray bytes = Paths::name_bytes(name);
    // A line appended to a hard link lands in a file that lives elsewhere under another name, and
    // opening a device or a FIFO can act on its own. So the name is only looked at (O_PATH takes
    // what it holds, a link itself, and opens nothing for reading or writing), and what is opened
    // is the regular file that look holds, never the name again. A free name is made with O_EXCL,
    // which takes nothing made there since the look; that is looked at afresh, a few times at most.
    int fd = -1;
    bool made = false;
    struct stat looked_at {};
    for (int attempt = 0; fd < 0 && attempt < 3; ++attempt) {
        const int looked = ::openat(m_fd, bytes.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (looked < 0 && errno != ENOENT) {
            *reason = errno_text(errno);
            return false;
        }
        const QString why = looked < 0 ? QString() : why_not_appended_to(looked, &looked_at);
        if (!why.isEmpty()) {
            ::close(looked);
            *reason = why;
            return false;
        }
        if (auto hook = looked_hook.load())
            hook(m_path + QLatin1Char('/') + name);
        if (looked >= 0) {
            fd = reopen_for_append(looked, reason);
            ::close(looked);
            if (fd < 0)
                return false;
        } else {
            const int flags = O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;
            fd = ::openat(m_fd, bytes.constData(), flags, 0644);
            made = fd >= 0;
            if (fd < 0 && errno != EEXIST) {
                *reason = errno_text(errno);
                return false;
            }
        }
    }
    if (fd < 0) {
        *reason = QStringLiteral("the name keeps changing");
        return false;
    }
    // Looked at again: a second name given to the file since the look shows only now. A /proc that
    // is not the kernel's could have led to another file.
    struct stat st;
    QString why = why_not_appended_to(fd, &st);
    if (why.isEmpty() && !made && (st.st_dev != looked_at.st_dev || st.st_ino != looked_at.st_ino))
        why = QStringLiteral("not the file looked at");
    const bool ok = why.isEmpty() && FolderIo::write_all(fd, data.constData(), data.size());
    if (!ok)
        *reason = why.isEmpty() ? errno_text(errno) : why;
    ::close(fd);
    return ok;
}
