#include "scan_file.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "paths.h"
#include "rcv_recovery_file.h"
#include "stick_place.h"

namespace {

// A scan file of the wizard is a few kilobytes; one on a USB stick can be anything.
constexpr qint64 kMaxScanFile = 4 * 1024 * 1024;
// The device's core hashes some tens of megabytes a second: a read back of 4 MiB in one step
// would hold the FPGA thread a large part of a second, 64 steps of 64 KiB a few milliseconds each.
constexpr qint64 kReadBackChunk = 64 * 1024;
// FAT keeps a file's times to two seconds: a file changed that shortly before the look could be
// changed again with nothing to show for it in its times.
constexpr time_t kCoarsestTimeGrain = 2;

}

std::unique_ptr<ScanFile> ScanFile::open(const QString &device_path)
{
    const QString path = QDir::cleanPath(device_path);
    const QString stick_dir = QLatin1String(rcvRecovery::kUsbDir);
    std::unique_ptr<ScanFile> scan(new ScanFile);
    QFile file;
    FileRead::Status status = FileRead::Missing;
    if (path.startsWith(QLatin1String(rcvRecovery::kMappingDir) + QLatin1Char('/'))) {
        status = Utils::open_regular_file(Paths::dev(path), &file);
    } else if (path.startsWith(stick_dir)) {
        const Folder top = Folder::open(Paths::dev(stick_dir));
        const QString relative = path.mid(stick_dir.size());
        const int slash = relative.lastIndexOf(QLatin1Char('/'));
        const Folder dir = slash < 0 ? Folder() : top.sub(relative.left(slash));
        scan->m_stick = top.id();
        if (scan->m_stick.valid)
            status = (slash < 0 ? top : dir).open_file(relative.mid(slash + 1), &file);
    }
    if (status != FileRead::Ok)
        return nullptr;
    // A descriptor of its own, closed by this code rather than inside Qt: the thread sanitizer
    // sees the reads below but not Qt's close, and would take the number's next user on another
    // thread for a race.
    scan->m_fd = ::fcntl(file.handle(), F_DUPFD_CLOEXEC, 0);
    file.close();
    if (scan->m_fd < 0)
        return nullptr;
    scan->m_opened = scan->stamp();
    if (!scan->m_opened.valid || scan->m_opened.size < 1 || scan->m_opened.size > kMaxScanFile)
        return nullptr;
    return scan;
}

ScanFile::~ScanFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

// By the descriptor rather than through a buffer, so that every byte counted sent was read before
// the look that ends the load.
qint64 ScanFile::read_at(char *into, qint64 most, qint64 offset) const
{
    if (m_stick.valid && !StickPlace::holds(m_stick))
        return -1;
    return ::pread(m_fd, into, size_t(most), offset);
}

qint64 ScanFile::read(char *into, qint64 most)
{
    const qint64 n = read_at(into, std::min(most, m_opened.size - m_sent), m_sent);
    if (n > 0) {
        m_sent += n;
        m_digest.addData(into, static_cast<int>(n));
    }
    return n;
}

ScanFile::Verdict ScanFile::check()
{
    if (m_sent_digest.isEmpty()) {
        // The file's times, settled when it was opened and the same now, say it was left alone
        // while it was read. Otherwise it was appended to, written over, renamed or deleted, or
        // changed just before the load: what it holds now over the span sent tells. A file written
        // over after the last read cannot be told from one written over during it, and ends short
        // too.
        if (m_opened.settled && stamp() == m_opened)
            return Verdict::Whole;
        m_sent_digest = m_digest.result();
        m_digest.reset();
    }
    QByteArray back(static_cast<int>(std::min(kReadBackChunk, m_opened.size - m_read_back)), Qt::Uninitialized);
    const qint64 n = read_at(back.data(), back.size(), m_read_back);
    if (n <= 0)
        return Verdict::Short;
    m_digest.addData(back.constData(), static_cast<int>(n));
    m_read_back += n;
    if (m_read_back < m_opened.size)
        return Verdict::Undecided;
    return m_digest.result() == m_sent_digest ? Verdict::Whole : Verdict::Short;
}

ScanFile::Stamp ScanFile::stamp() const
{
    struct stat st;
    Stamp s;
    if (::fstat(m_fd, &st) != 0)
        return s;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    s.valid = true;
    s.settled = std::max(st.st_mtim.tv_sec, st.st_ctim.tv_sec) + kCoarsestTimeGrain < now.tv_sec;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime_s = st.st_mtim.tv_sec;
    s.mtime_ns = st.st_mtim.tv_nsec;
    s.ctime_s = st.st_ctim.tv_sec;
    s.ctime_ns = st.st_ctim.tv_nsec;
    return s;
}

bool ScanFile::Stamp::operator==(const Stamp &o) const
{
    return valid && o.valid && dev == o.dev && ino == o.ino && size == o.size && mtime_s == o.mtime_s
        && mtime_ns == o.mtime_ns && ctime_s == o.ctime_s && ctime_ns == o.ctime_ns;
}
