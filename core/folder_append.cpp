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

}

bool Folder::append(const QString &name, const QByteArray &data, QString *reason) const
{
    if (m_fd < 0 || !FolderIo::is_entry_name(name)) {
        *reason = m_fd < 0 ? m_reason : QStringLiteral("not a file name");
        return false;
    }
    const QByteArray bytes = Paths::name_bytes(name);
    // A line appended to a hard link lands in a file that lives elsewhere under another name, and
    // opening a device or a FIFO can act on its own: the name is looked at before it is opened,
    // and the descriptor again after, for what the name held in between. A name that changed
    // between the look and the open is looked at afresh, a few times at most.
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 3; ++attempt) {
        struct stat st;
        const bool absent = ::fstatat(m_fd, bytes.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0;
        if (absent && errno != ENOENT) {
            *reason = errno_text(errno);
            return false;
        }
        const QString why = absent ? QString() : not_a_file_of_its_own(st);
        if (!why.isEmpty()) {
            *reason = why;
            return false;
        }
        // O_EXCL: a name made between the look and the open is not taken unseen. Non-blocking, for
        // a FIFO swapped in since would wait for a reader.
        const int flags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        fd = ::openat(m_fd, bytes.constData(), absent ? flags | O_CREAT | O_EXCL : flags, 0644);
        if (fd < 0 && errno != (absent ? EEXIST : ENOENT)) {
            *reason = errno == ELOOP ? QStringLiteral("a link, not a file") : errno_text(errno);
            return false;
        }
    }
    if (fd < 0) {
        *reason = QStringLiteral("the name keeps changing");
        return false;
    }
    // fstatat for open_file()'s reason.
    struct stat st;
    const QString why = ::fstatat(fd, "", &st, AT_EMPTY_PATH) == 0 ? not_a_file_of_its_own(st) : errno_text(errno);
    const bool ok = why.isEmpty() && FolderIo::write_all(fd, data.constData(), data.size());
    if (!ok)
        *reason = why.isEmpty() ? errno_text(errno) : why;
    ::close(fd);
    return ok;
}
