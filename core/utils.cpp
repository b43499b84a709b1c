#include "utils.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QTextCodec>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "config_engine.h"
#include "global.h"
#include "paths.h"

QMutex Utils::_system_mutex;
QMutex Utils::_file_deal_mutex;
QMutex Utils::_test_signal_mutex;
QMutex Utils::_led_para_init_mutex;

uint32_t Utils::getTimeSpace(uint32_t stamp)
{
    const uint32_t now = G_timeTicks.load();
    if (now >= stamp)
        return now - stamp;
    // The counter passed 0xFFFFFFFF since the stamp.
    return now - stamp - 1;
}

int Utils::system_mutex(const QString &cmd, int *status)
{
    QMutexLocker lock(&_system_mutex);
    int st = 0;
#ifdef ZEM_DEVICE_BUILD
    st = ::system(cmd.toLatin1().constData());
#else
    // Away from the device a command is only recorded: nothing may touch the host.
    QFile log(Paths::data_root() + QStringLiteral("/shell.log"));
    QDir().mkpath(Paths::data_root());
    if (log.open(QIODevice::WriteOnly | QIODevice::Append)) {
        log.write(cmd.toUtf8());
        log.write("\n");
    }
#endif
    if (status)
        *status = st;
    return st == 0 ? 0 : 255;
}

bool Utils::is_dotted_ipv4(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &p : parts) {
        if (p.isEmpty() || p.size() > 3)
            return false;
        for (QChar c : p) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        if (p.toInt() > 255)
            return false;
    }
    return true;
}

int Utils::initIPAddress()
{
    // The device's shell is a POSIX one: "&>" there would run the check in the background and
    // always succeed.
    if (system_mutex(QStringLiteral("ifconfig eth0 >/dev/null 2>&1")) != 0)
        return 255;

    ConfigEngine *cfg = ConfigEngine::pInstance();
    const QString ip = cfg->read_config_variant(ConfigItem::IPAddress).toString();
    const QString mask = cfg->read_config_variant(ConfigItem::SubNetMask).toString();
    const QString gw = cfg->read_config_variant(ConfigItem::GateWay).toString();
    // These go into a shell command line: anything but four dotted numbers stays out of it.
    if (!is_dotted_ipv4(ip) || !is_dotted_ipv4(mask) || !is_dotted_ipv4(gw))
        return 255;

    g_str_ip = ip;
    g_srt_mask = mask;
    g_str_gateway = gw;
    g_str_barcode = cfg->read_config_variant(ConfigItem::BarCode).toString();
    g_lcd_lang_valid = cfg->read_config_variant(ConfigItem::LcdLangValid).toUInt();

    system_mutex(QStringLiteral("route del default wlan0"));
    system_mutex(QStringLiteral("ifconfig eth0 %1 netmask %2").arg(g_str_ip, g_srt_mask));
    system_mutex(QStringLiteral("route add -host %1 dev eth0").arg(g_str_gateway));
    system_mutex(QStringLiteral("route add default gw %1 metric 100").arg(g_str_gateway));
    system_mutex(QStringLiteral("route add -host 255.255.255.255 eth0"));
    system_mutex(QStringLiteral("route del 255.255.255.255 wlan1"));
    return 0;
}

namespace {

QMutex g_report_mutex;
QHash<QString, QStringList> g_reported;   // path -> the reasons said since it last worked

constexpr char kTemporaryPrefix[] = ".saving-";
constexpr int kTemporaryLetters = 6;
constexpr char kTemporarySuffix[] = ".tmp";
constexpr char kTemporaryAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
// Start-up's sweep for leftovers goes no deeper than this below /data.
constexpr int kSweepDepth = 16;

QString errno_text(int err)
{
    return qt_error_string(err);
}

bool write_all(int fd, const char *data, qint64 len)
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
bool is_entry_name(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

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

// Creates, writes and removes a small file in the folder; the reason when that fails.
QString write_probe(const Folder &dir)
{
    QString name;
    const int fd = create_temporary(dir.fd(), &name);
    if (fd < 0)
        return errno_text(errno);
    bool ok = write_all(fd, "1", 1);
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    ::unlinkat(dir.fd(), QFile::encodeName(name).constData(), 0);
    return ok ? QString() : errno_text(err);
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

// The folder part and the name of a file path.
void split_path(const QString &path, QString *dir, QString *name)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    *dir = slash < 0 ? QString() : path.left(slash);
    *name = path.mid(slash + 1);
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

bool Folder::remove(const QString &name) const
{
    if (m_fd < 0 || !is_entry_name(name))
        return false;
    const QByteArray bytes = Paths::name_bytes(name);
    struct stat st;
    if (::fstatat(m_fd, bytes.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode))
        return false;
    return ::unlinkat(m_fd, bytes.constData(), 0) == 0;
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
    FileRead r;
    QFile f;
    r.status = open_regular_file(path, &f, &r.reason);
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
        report_file_problem(path, QStringLiteral("not used: ") + r.reason);
    return r;
}

bool Utils::remove_file(const QString &path)
{
    QString dir, name;
    split_path(path, &dir, &name);
    return !path.contains(QChar(0)) && Folder::open(dir).remove(name);
}

bool Utils::is_utf8(const QByteArray &text)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForMib(106)->toUnicode(text.constData(), text.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

bool Utils::json_depth_within(const QByteArray &text, int limit)
{
    int depth = 0;
    bool in_string = false;
    bool escaped = false;
    for (const char c : text) {
        if (in_string) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                in_string = false;
            continue;
        }
        if (c == '"') {
            in_string = true;
        } else if (c == '{' || c == '[') {
            if (++depth > limit)
                return false;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return true;
}

bool Utils::is_listed_name(const QString &name)
{
    return !name.startsWith(QLatin1Char('.')) && !name.endsWith(QLatin1String(".tmp"));
}

QStringList Utils::listed_files(const QString &dir)
{
    return Folder::open(dir).listed_files();
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
            report_file_problem(dir.path(), QStringLiteral("the data root cannot be written, nothing will be saved: ") + dir.reason());
            return false;
        }
    }

    // Leftovers of writes a power cut interrupted.
    sweep_temporaries(folders.front().fd(), 0);

    for (const Folder &dir : folders) {
        const QString why = write_probe(dir);
        if (!why.isEmpty()) {
            report_file_problem(dir.path(), QStringLiteral("the data root cannot be written, nothing will be saved: ") + why);
            return false;
        }
    }
    return true;
}
