#include "paths.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutex>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace {
// Never destroyed: the file writer's thread resolves paths until the process ends, after the
// statics made once it ran.
QString &root_storage()
{
#ifdef ZEM_DEVICE_BUILD
    // The device's loader starts the program without --root: its files are the real ones.
    static QString *root = new QString(QStringLiteral("/"));
#else
    static QString *root = new QString(QDir::currentPath() + QStringLiteral("/run-data"));
#endif
    return *root;
}

// The top folders the program reads and writes below.
const char *const kTopFolders[] = {"data", "mnt"};

QMutex g_settled_mutex;
QHash<QString, QByteArray> g_settled;   // top folder -> real path of the link's target

// Bytes 0x80..0xFF that are not valid UTF-8 are kept in the low half of the surrogates, which
// valid UTF-8 never decodes to.
constexpr ushort kKeptByte = 0xDC00;

// The length of the well-formed UTF-8 sequence at `p` (at most `left` bytes), 0 when there is none.
int utf8_sequence(const uchar *p, int left, uint *code)
{
    const uchar c = p[0];
    int len = 0;
    uint min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2, min = 0x80, *code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3, min = 0x800, *code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4, min = 0x10000, *code = c & 0x07;
    } else {
        return 0;
    }
    if (len > left)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        *code = (*code << 6) | (p[i] & 0x3F);
    }
    if (*code < min || *code > 0x10FFFF || (*code >= 0xD800 && *code <= 0xDFFF))
        return 0;
    return len;
}

void append_utf8(QByteArray *out, uint code)
{
    if (code < 0x80) {
        out->append(char(code));
    } else if (code < 0x800) {
        out->append(char(0xC0 | (code >> 6)));
        out->append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->append(char(0xE0 | (code >> 12)));
        out->append(char(0x80 | ((code >> 6) & 0x3F)));
        out->append(char(0x80 | (code & 0x3F)));
    } else {
        out->append(char(0xF0 | (code >> 18)));
        out->append(char(0x80 | ((code >> 12) & 0x3F)));
        out->append(char(0x80 | ((code >> 6) & 0x3F)));
        out->append(char(0x80 | (code & 0x3F)));
    }
}
}

namespace Paths {

void set_data_root(const QString &root)
{
    QString r = QDir(root).absolutePath();
    while (r.size() > 1 && r.endsWith(QLatin1Char('/')))
        r.chop(1);
    root_storage() = r;
    QMutexLocker lock(&g_settled_mutex);
    g_settled.clear();
}

const QString &data_root()
{
    return root_storage();
}

QString dev(const QString &device_path)
{
    if (!device_path.startsWith(QLatin1Char('/')) || root_storage() == QLatin1String("/"))
        return device_path;
    return root_storage() + device_path;
}

QByteArray dev_local8(const QString &device_path)
{
    return dev(device_path).toLocal8Bit();
}

void settle_top_folders()
{
    QHash<QString, QByteArray> settled;
    for (const char *name : kTopFolders) {
        const QByteArray path = QFile::encodeName(dev(QLatin1Char('/') + QLatin1String(name)));
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            continue;
        // A link that leads to no folder is not taken: the folder then cannot be opened, and the
        // start says so.
        char real[PATH_MAX];
        if (::realpath(path.constData(), real) && ::stat(real, &st) == 0 && S_ISDIR(st.st_mode))
            settled.insert(QLatin1String(name), QByteArray(real));
    }
    QMutexLocker lock(&g_settled_mutex);
    g_settled = settled;
}

QByteArray settled_top_folder(const QString &name)
{
    QMutexLocker lock(&g_settled_mutex);
    return g_settled.value(name);
}

QString name_text(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData());
    const int n = bytes.size();
    for (int i = 0; i < n;) {
        uint code = p[i];
        if (code < 0x80) {
            out.append(QChar(ushort(code)));
            ++i;
            continue;
        }
        const int len = utf8_sequence(p + i, n - i, &code);
        if (len == 0) {
            out.append(QChar(ushort(kKeptByte + p[i])));
            ++i;
        } else {
            out.append(QString::fromUcs4(&code, 1));
            i += len;
        }
    }
    return out;
}

QByteArray name_bytes(const QString &name)
{
    QByteArray out;
    out.reserve(name.size());
    for (int i = 0; i < name.size(); ++i) {
        const ushort u = name.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            append_utf8(&out, QChar::surrogateToUcs4(u, name.at(i + 1).unicode()));
            ++i;
        } else if (u >= kKeptByte + 0x80 && u <= kKeptByte + 0xFF) {
            out.append(char(u - kKeptByte));
        } else if (QChar::isSurrogate(u)) {
            append_utf8(&out, QChar::ReplacementCharacter);
        } else {
            append_utf8(&out, u);
        }
    }
    return out;
}

QString shown_name(const QString &name)
{
    QString out = name;
    for (int i = 0; i < out.size(); ++i) {
        const ushort u = out.at(i).unicode();
        const bool paired = i > 0 && out.at(i - 1).isHighSurrogate();
        if (!paired && u >= kKeptByte + 0x80 && u <= kKeptByte + 0xFF)
            out[i] = QChar(QChar::ReplacementCharacter);
    }
    return out;
}

}
