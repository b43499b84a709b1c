#include "marked_file.h"

#include <QMutex>
#include <cstring>

#include "paths.h"
#include "safe_file.h"
#include "utils.h"

namespace {
constexpr int kFileSize = 4096;
}

bool MarkedFile::read(const QString &device_path, uint8_t *dst, int size)
{
    const QString path = Paths::dev(device_path);
    FileRead file;
    {
        QMutexLocker lock(&Utils::_file_deal_mutex);
        file = Utils::read_file_capped(path, kFileSize);
    }
    if (!file.ok())
        return false;
    const auto *b = reinterpret_cast<const uint8_t *>(file.bytes.constData());
    if (file.bytes.size() != kFileSize || b[0] != kMarker || b[1] != kMarker) {
        Utils::report_file_problem(path, file.bytes.size() != kFileSize
                                             ? QStringLiteral("not used: %1 bytes, not %2").arg(file.bytes.size()).arg(kFileSize)
                                             : QStringLiteral("not used: no valid marker"));
        return false;
    }
    Utils::file_read_ok(path);
    std::memcpy(dst, b + 2, size);
    return true;
}

QByteArray MarkedFile::contents(const uint8_t *src, int size)
{
    QByteArray bytes(kFileSize, '\0');
    bytes[0] = bytes[1] = char(kMarker);
    std::memcpy(bytes.data() + 2, src, size);
    return bytes;
}

bool MarkedFile::write(const QString &device_path, const uint8_t *src, int size)
{
    const QByteArray bytes = contents(src, size);
    QMutexLocker lock(&Utils::_file_deal_mutex);
    return Utils::write_file_atomic(Paths::dev(device_path), bytes);
}
