#include "utils.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextCodec>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool inside(const QString &path, const QString &dir)
{
    return !dir.isEmpty() && (path == dir || path.startsWith(dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/')));
}

// The safe writer's temporary file, ".<name>.tmp": hidden and ending in ".tmp", so no listing
// counts it and start-up knows it for a leftover.
bool is_temporary_name(const QString &name)
{
    return name.size() > 5 && name.startsWith(QLatin1Char('.')) && name.endsWith(QLatin1String(".tmp"));
}

// Creates, writes and removes a small file in `dir`; the reason when that fails.
QString write_probe(const QString &dir)
{
    const QByteArray probe = QFile::encodeName(dir + QStringLiteral("/.write-check.tmp"));
    ::unlink(probe.constData());
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno_text(errno);
    bool ok = write_all(fd, "1", 1);
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    ::unlink(probe.constData());
    return ok ? QString() : errno_text(err);
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
    const QString line = path + QStringLiteral(": ") + reason;
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
    // One write at a time: two writers of one file would share its temporary file.
    static QMutex writing;
    QMutexLocker lock(&writing);

    const QFileInfo info(path);
    const QString dir = info.absolutePath();
    const auto fail = [&path](const QString &reason) {
        report_file_problem(path, QStringLiteral("not saved: ") + reason);
        return false;
    };
    // A linked folder must not carry the write, or the folders made for it, out of the data root.
    if (!inside(resolved_path(dir), QFileInfo(Paths::data_root()).canonicalFilePath()))
        return fail(QStringLiteral("its folder lies outside the data root"));
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("its folder cannot be made"));

    const QString tmp = dir + QStringLiteral("/.") + info.fileName() + QStringLiteral(".tmp");
    const QByteArray tmp8 = QFile::encodeName(tmp);
    // Whatever a power cut left under the temporary name goes first, a planted link included:
    // O_CREAT alone would follow it.
    ::unlink(tmp8.constData());
    const int fd = ::open(tmp8.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(errno_text(errno));
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
    // rename() replaces a link in the file's place; it never writes through it.
    if (ok && ::rename(tmp8.constData(), QFile::encodeName(path).constData()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tmp8.constData());
        return fail(errno_text(err));
    }
    // The rename is durable only once the folder entry itself reaches the disk.
    const int dfd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    file_ok(path);
    return true;
}

QString Utils::resolved_path(const QString &path)
{
    // The deepest part that exists is resolved; what follows it does not exist yet, so holds no link.
    QString head = QDir::cleanPath(path);
    QString tail;
    for (;;) {
        const QFileInfo info(head);
        if (info.exists() || info.isSymLink()) {
            const QString real = info.canonicalFilePath();   // empty for a link that leads nowhere
            return real.isEmpty() ? QString() : real + tail;
        }
        const int slash = head.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            return QString();
        tail.prepend(head.mid(slash));
        head.truncate(slash);
    }
}

FileRead::Status Utils::open_regular_file(const QString &path, QFile *file, QString *reason)
{
    // Non-blocking only for the open: a FIFO would otherwise wait here for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT)
            return FileRead::Missing;
        if (reason)
            *reason = err == ELOOP ? QStringLiteral("a link, not a file") : errno_text(err);
        return FileRead::Refused;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (reason)
            *reason = QStringLiteral("not a regular file");
        return FileRead::Refused;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (reason)
            *reason = file->errorString();
        return FileRead::Refused;
    }
    return FileRead::Ok;
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
    QStringList names;
    const QDir d(dir);
    for (const QString &name : d.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Unsorted)) {
        if (is_listed_name(name))
            names << name;
    }
    return names;
}

bool Utils::prepare_data_root()
{
    const QString data = Paths::dev(QStringLiteral("/data"));
    const QString folders[] = {data, Paths::dev(QStringLiteral("/data/configs")), Paths::dev(QStringLiteral("/data/modes"))};
    for (const QString &dir : folders)
        QDir().mkpath(dir);

    // Leftovers of writes a power cut interrupted; links are removed, never followed.
    QDirIterator it(data, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (is_temporary_name(it.fileName()))
            QFile::remove(path);
    }

    for (const QString &dir : folders) {
        const QString why = QFileInfo(dir).isDir() ? write_probe(dir) : QStringLiteral("not a folder");
        if (!why.isEmpty()) {
            report_file_problem(dir, QStringLiteral("the data root cannot be written, nothing will be saved: ") + why);
            return false;
        }
    }
    return true;
}
