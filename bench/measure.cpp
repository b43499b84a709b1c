#include "measure.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace bench {

// ---- figures ----------------------------------------------------------------------------------

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double quantile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double f = std::clamp(fraction, 0.0, 1.0);
    const size_t rank = static_cast<size_t>(std::ceil(f * values.size()));
    return values[rank == 0 ? 0 : rank - 1];
}

double ratio(double a, double b)
{
    return b > 0 ? a / b : -1;
}

double paired_ratio(const std::vector<double> &a, const std::vector<double> &b)
{
    std::vector<double> r;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (b[i] > 0)
            r.push_back(a[i] / b[i]);
    }
    return r.empty() ? -1 : median(r);
}

// ---- strace -----------------------------------------------------------------------------------

bool parse_strace_line(const QByteArray &line, Syscall *out)
{
    int i = 0;
    const int n = line.size();
    while (i < n && line[i] == ' ')
        ++i;
    const int tid_from = i;
    while (i < n && line[i] >= '0' && line[i] <= '9')
        ++i;
    if (i == tid_from || i >= n || line[i] != ' ')
        return false;
    const int tid = line.mid(tid_from, i - tid_from).toInt();
    while (i < n && line[i] == ' ')
        ++i;
    // An optional time stamp (-t, -tt, -ttt): digits, colons and a dot, then a space.
    int j = i;
    while (j < n && ((line[j] >= '0' && line[j] <= '9') || line[j] == ':' || line[j] == '.'))
        ++j;
    if (j > i && j < n && line[j] == ' ') {
        i = j;
        while (i < n && line[i] == ' ')
            ++i;
    }
    const int name_from = i;
    while (i < n && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '_'))
        ++i;
    if (i == name_from || i >= n || line[i] != '(')
        return false;
    out->tid = tid;
    out->name = line.mid(name_from, i - name_from);
    const int close = line.lastIndexOf(')');
    out->args = close > i ? line.mid(i + 1, close - i - 1) : line.mid(i + 1);
    return true;
}

namespace {

bool is_fsync(const QByteArray &name)
{
    return name == "fsync" || name == "fdatasync" || name == "sync" || name == "syncfs" || name == "sync_file_range";
}

bool is_rename(const QByteArray &name)
{
    return name == "rename" || name == "renameat" || name == "renameat2";
}

// The marker's name when the call is an access check of a marker path, else empty.
QString marker_of(const Syscall &call, const QByteArray &prefix)
{
    if (call.name != "access" && call.name != "faccessat" && call.name != "faccessat2")
        return {};
    const int at = call.args.indexOf('"' + prefix);
    if (at < 0)
        return {};
    const int from = at + 1 + prefix.size();
    const int to = call.args.indexOf('"', from);
    return to < 0 ? QString() : QString::fromUtf8(call.args.mid(from, to - from));
}

}

std::map<QString, DiskCalls> disk_calls_by_section(const QByteArray &strace_output, int gui_tid,
                                                    const QByteArray &marker_prefix)
{
    std::map<QString, DiskCalls> sections;
    QString section;
    for (const QByteArray &line : strace_output.split('\n')) {
        Syscall call;
        if (!parse_strace_line(line, &call))
            continue;
        const QString marker = marker_of(call, marker_prefix);
        if (!marker.isEmpty()) {
            section = marker;
            sections[section];
            continue;
        }
        const bool fs = is_fsync(call.name);
        const bool rn = is_rename(call.name);
        if (!fs && !rn)
            continue;
        DiskCalls &d = sections[section];
        if (call.tid == gui_tid)
            (fs ? d.gui_fsync : d.gui_rename)++;
        else
            (fs ? d.other_fsync : d.other_rename)++;
    }
    return sections;
}

// ---- /proc ------------------------------------------------------------------------------------

namespace {

bool field_value(const QByteArray &text, const QByteArray &key, long long *value)
{
    for (const QByteArray &line : text.split('\n')) {
        if (!line.startsWith(key))
            continue;
        bool ok = false;
        const long long v = line.mid(key.size()).trimmed().split(' ').value(0).toLongLong(&ok);
        if (ok)
            *value = v;
        return ok;
    }
    return false;
}

QByteArray read_small(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(64 * 1024);
}

}

bool parse_task_status(const QByteArray &status, ThreadCounters *out)
{
    return field_value(status, "voluntary_ctxt_switches:", &out->voluntary)
           && field_value(status, "nonvoluntary_ctxt_switches:", &out->involuntary);
}

bool parse_schedstat(const QByteArray &schedstat, long long *cpu_ns)
{
    bool ok = false;
    const long long v = schedstat.trimmed().split(' ').value(0).toLongLong(&ok);
    if (ok)
        *cpu_ns = v;
    return ok;
}

long parse_vm_rss_kib(const QByteArray &status)
{
    long long v = -1;
    return field_value(status, "VmRSS:", &v) ? static_cast<long>(v) : -1;
}

ThreadCounters counters_between(const std::map<int, ThreadCounters> &before,
                                const std::map<int, ThreadCounters> &after)
{
    ThreadCounters sum;
    for (const auto &[tid, a] : after) {
        const auto b = before.find(tid);
        if (b == before.end())
            continue;
        sum.voluntary += a.voluntary - b->second.voluntary;
        sum.involuntary += a.involuntary - b->second.involuntary;
        sum.cpu_ns += a.cpu_ns - b->second.cpu_ns;
    }
    return sum;
}

std::map<int, ThreadCounters> sample_process(int pid)
{
    std::map<int, ThreadCounters> threads;
    const QString base = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &tid : QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        ThreadCounters c;
        if (parse_task_status(read_small(base + '/' + tid + QStringLiteral("/status")), &c)
            && parse_schedstat(read_small(base + '/' + tid + QStringLiteral("/schedstat")), &c.cpu_ns))
            threads[tid.toInt()] = c;
    }
    return threads;
}

// ---- XWD --------------------------------------------------------------------------------------

namespace {

uint32_t be32(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

constexpr size_t kXwdHeaderFields = 25;
constexpr uint32_t kXwdVersion = 7;
constexpr uint32_t kXwdColorSize = 12;

}

bool parse_xwd_header(const uint8_t *data, size_t size, XwdImage *out)
{
    if (!data || size < kXwdHeaderFields * 4)
        return false;
    const auto field = [data](int i) { return be32(data + 4 * i); };
    const uint32_t header_size = field(0);
    if (field(1) != kXwdVersion || header_size < kXwdHeaderFields * 4 || header_size > size)
        return false;
    XwdImage image;
    image.width = field(4);
    image.height = field(5);
    image.bits_per_pixel = field(11);
    image.bytes_per_line = field(12);
    const uint64_t colours = field(19);
    const uint64_t offset = uint64_t(header_size) + colours * kXwdColorSize;
    if (image.bits_per_pixel != 32 || image.bytes_per_line < image.width * 4
        || offset + uint64_t(image.bytes_per_line) * image.height > size)
        return false;
    image.data_offset = static_cast<uint32_t>(offset);
    *out = image;
    return true;
}

bool region_has_picture(const uint8_t *data, size_t size, const XwdImage &image, int x, int y, int w, int h,
                        int step)
{
    if (step < 1 || x < 0 || y < 0 || w <= 0 || h <= 0 || uint32_t(x + w) > image.width
        || uint32_t(y + h) > image.height
        || image.data_offset + uint64_t(image.bytes_per_line) * image.height > size)
        return false;
    uint32_t seen[3];
    int distinct = 0;
    for (int row = y; row < y + h; row += step) {
        const uint8_t *line = data + image.data_offset + size_t(row) * image.bytes_per_line;
        for (int col = x; col < x + w; col += step) {
            uint32_t pixel;
            std::memcpy(&pixel, line + size_t(col) * 4, 4);
            pixel &= 0x00ffffffu;   // the unused byte of a 24-bit visual says nothing
            if (std::find(seen, seen + distinct, pixel) != seen + distinct)
                continue;
            if (distinct == 2)
                return true;
            seen[distinct++] = pixel;
        }
    }
    return false;
}

// ---- the table --------------------------------------------------------------------------------

QString format_ms(double ms)
{
    if (ms < 0)
        return QStringLiteral("-");
    if (ms < 10)
        return QString::number(ms, 'f', 2) + QStringLiteral(" ms");
    if (ms < 100)
        return QString::number(ms, 'f', 1) + QStringLiteral(" ms");
    return QString::number(ms, 'f', 0) + QStringLiteral(" ms");
}

QString format_table(const std::vector<Row> &rows)
{
    const QStringList heads = {QStringLiteral("ratio"), QStringLiteral("what"), QStringLiteral("figure"),
                               QStringLiteral("baseline (same run)"), QStringLiteral("target")};
    std::vector<QStringList> cells;
    for (const Row &r : rows) {
        QString target = r.target;
        if (r.met >= 0)
            target += r.met ? QStringLiteral(" ok") : QStringLiteral(" MISSED");
        cells.push_back({r.ratio < 0 ? QStringLiteral("-") : QString::number(r.ratio, 'f', 2) + 'x', r.what,
                         r.figure, r.baseline, target.trimmed()});
    }
    std::vector<int> width;
    for (const QString &h : heads)
        width.push_back(h.size());
    for (const QStringList &c : cells) {
        for (int i = 0; i < c.size(); ++i)
            width[i] = std::max(width[i], int(c[i].size()));
    }
    const auto line = [&width](const QStringList &c) {
        QString s;
        for (int i = 0; i < c.size(); ++i) {
            // The ratio column is right-aligned, so the decimal points line up.
            const QString cell = i == 0 ? c[i].rightJustified(width[i]) : c[i].leftJustified(width[i]);
            s += (i ? QStringLiteral(" | ") : QString()) + cell;
        }
        while (s.endsWith(' '))
            s.chop(1);
        return s + '\n';
    };
    QString out = line(heads);
    QString rule;
    for (size_t i = 0; i < width.size(); ++i)
        rule += (i ? QStringLiteral("-+-") : QString()) + QString(width[i], '-');
    out += rule + '\n';
    for (const QStringList &c : cells)
        out += line(c);
    return out;
}

}
