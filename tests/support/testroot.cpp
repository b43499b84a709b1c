#include "testroot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QStringList>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_writer.h"
#include "paths.h"

namespace {

// Removes the entry `name` of the folder `dir` and, for a folder, all it holds. Names are taken as
// the bytes they are (a test leaves names that are not UTF-8, which Qt's own removal cannot name);
// a link is removed itself, never followed.
void remove_entry(int dir, const char *name)
{
    struct stat st;
    if (::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (!S_ISDIR(st.st_mode)) {
        ::unlinkat(dir, name, 0);
        return;
    }
    const int fd = ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    // Listed whole first: a folder's listing is not to be relied on while entries go.
    QList<QByteArray> names;
    if (DIR *d = ::fdopendir(::dup(fd))) {
        while (const dirent *e = ::readdir(d)) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names << QByteArray(e->d_name);
        }
        ::closedir(d);
    }
    for (const QByteArray &entry : names)
        remove_entry(fd, entry.constData());
    ::close(fd);
    ::unlinkat(dir, name, AT_REMOVEDIR);
}

}

QString fresh_test_root(const QString &name)
{
    const QString base = qEnvironmentVariable(
        "ZEM_TEST_ROOT", QDir::tempPath() + QStringLiteral("/zem-test-") + QString::number(QCoreApplication::applicationPid()));
    const QString root = name.isEmpty() ? base : base + QLatin1Char('/') + name;
    // A file still on its way belongs to the root before; one the disk keeps refusing is given
    // up, or a retry would write it into this root.
    FileWriter::finish();
    FileWriter::forget_retries();
    remove_entry(AT_FDCWD, QFile::encodeName(root).constData());
    QDir().mkpath(root + QStringLiteral("/data/configs"));
    QDir().mkpath(root + QStringLiteral("/data/modes"));
    Paths::set_data_root(root);
    return root;
}

QByteArray read_dev_file(const QString &device_path)
{
    FileWriter::finish();
    QFile f(Paths::dev(device_path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write_dev_file(const QString &device_path, const QByteArray &data)
{
    const QString path = Paths::dev(device_path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(data);
}

QStringList shell_log()
{
    const QString log = QString::fromUtf8(read_dev_file(QStringLiteral("/shell.log")));
    return log.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

namespace {
QMutex g_warnings_mutex;
QStringList g_warnings;
QtMessageHandler g_previous = nullptr;
}

DiagnosticLines::DiagnosticLines()
{
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\ndefault.debug=true\nzem.debug=true"));
}

DiagnosticLines::~DiagnosticLines()
{
    const QByteArray asked = qgetenv("ZEM_TEST_DEBUG");
    if (asked.isEmpty() || asked == "0")
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
}

ConsoleLines::ConsoleLines()
{
    std::fflush(stderr);
    m_file = memfd_create("zem-console", 0);
    if (m_file < 0)
        return;
    m_terminal = dup(STDERR_FILENO);
    dup2(m_file, STDERR_FILENO);
}

ConsoleLines::~ConsoleLines()
{
    std::fflush(stderr);
    if (m_terminal >= 0) {
        dup2(m_terminal, STDERR_FILENO);
        close(m_terminal);
    }
    if (m_file >= 0)
        close(m_file);
}

QString ConsoleLines::text() const
{
    std::fflush(stderr);
    QByteArray out;
    char chunk[4096];
    for (off_t at = 0;;) {
        const ssize_t n = pread(m_file, chunk, sizeof chunk, at);
        if (n <= 0)
            break;
        out.append(chunk, static_cast<int>(n));
        at += n;
    }
    return QString::fromUtf8(out);
}

Warnings::Warnings()
{
    g_warnings.clear();
    g_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        QMutexLocker lock(&g_warnings_mutex);
        if (type == QtWarningMsg)
            g_warnings << text;
    });
}

Warnings::~Warnings()
{
    qInstallMessageHandler(g_previous);
}

QStringList Warnings::lines() const
{
    QMutexLocker lock(&g_warnings_mutex);
    return g_warnings;
}

FullDisk::FullDisk(qint64 bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_soft = limit.rlim_cur;
    // Past the limit the kernel sends SIGXFSZ, which would end the test; ignored, write() fails.
    m_sigxfsz = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        qFatal("FullDisk: the file size limit cannot be set");
}

FullDisk::~FullDisk()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_soft);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_sigxfsz);
}

namespace {
QMutex g_read_only_mutex;
QString g_read_only_part;
std::atomic<int> g_refused{0};
}

ReadOnlyDisk::ReadOnlyDisk(const QString &part)
{
    {
        QMutexLocker lock(&g_read_only_mutex);
        g_read_only_part = part;
    }
    g_refused = 0;
    FileWriter::disk_error_hook = [](const QString &path) {
        QMutexLocker lock(&g_read_only_mutex);
        if (!path.contains(g_read_only_part))
            return 0;
        ++g_refused;
        return EROFS;
    };
}

ReadOnlyDisk::~ReadOnlyDisk()
{
    FileWriter::disk_error_hook = nullptr;
}

int ReadOnlyDisk::refused() const
{
    return g_refused;
}

RetryEvery::RetryEvery(int ms)
{
    FileWriter::set_retry_interval(std::chrono::milliseconds(ms));
}

RetryEvery::~RetryEvery()
{
    FileWriter::set_retry_interval(FileWriter::kRetryInterval);
}

FileChanges::FileChanges(const QString &path, Watch watch) : m_name(QFile::encodeName(QFileInfo(path).fileName()))
{
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0 || inotify_add_watch(m_fd, QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                                      watch == Opens ? IN_OPEN : IN_MOVED_TO | IN_CLOSE_WRITE) < 0)
        qFatal("FileChanges: the folder of %s cannot be watched", qPrintable(path));
}

FileChanges::~FileChanges()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int FileChanges::count()
{
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            return m_count;
        for (ssize_t at = 0; at < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            if (event->len && QByteArray(event->name) == m_name)
                ++m_count;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
}
