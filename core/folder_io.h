#pragma once
// The small pieces Folder's files share: folder.cpp and folder_append.cpp.
#include <QString>

#include <cerrno>
#include <unistd.h>

namespace FolderIo {

inline QString errno_text(int err)
{
    return qt_error_string(err);
}

inline bool write_all(int fd, const char *data, qint64 len)
{
    while (len > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(len));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        len -= n;
    }
    return true;
}

// One name of a folder: a NUL would cut it short where the system reads it, and "." or ".." is
// no name of its own.
inline bool is_entry_name(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

}
