#pragma once
// The bench's arithmetic and its readers of what the kernel, strace and the X server leave
// behind: no Qt widgets here, so that each piece can be checked on made-up input.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <vector>

namespace bench {

// ---- figures ----------------------------------------------------------------------------------

// The median (the mean of the two middle values for an even count); 0 for none.
double median(std::vector<double> values);
// The value below which `fraction` (0..1) of the values lie, nearest rank; 0 for none.
double quantile(std::vector<double> values, double fraction);
// a / b, or a negative number when b is not above zero (no ratio can be given).
double ratio(double a, double b);
// Paired runs of two programs, taken alternately: the median of the per-pair ratios a[i] / b[i],
// which a load that comes and goes touches both sides of alike.
double paired_ratio(const std::vector<double> &a, const std::vector<double> &b);

// ---- strace -o FILE -f ------------------------------------------------------------------------

// One system call as strace -f writes it to its file: "1234 12:00:00.123456 fsync(7) = 0".
// A resumed line ("<... fsync resumed>") is not a new call.
struct Syscall
{
    int tid = 0;
    QByteArray name;
    QByteArray args;   // the text between the parentheses, as far as the line holds it
};
// False for a line that starts no call (resumed, signals, exits, garbage).
bool parse_strace_line(const QByteArray &line, Syscall *out);

// The calls of a walk that make data durable or move a file into place, per thread class.
struct DiskCalls
{
    int gui_fsync = 0;     // fsync, fdatasync, sync, syncfs, sync_file_range on the GUI thread
    int gui_rename = 0;    // rename, renameat, renameat2 on the GUI thread
    int other_fsync = 0;
    int other_rename = 0;
    int total() const { return gui_fsync + gui_rename + other_fsync + other_rename; }
    int gui() const { return gui_fsync + gui_rename; }
};
// Splits a whole strace file into sections at the marker calls: an access or faccessat of a path
// "<marker_prefix><name>" starts section <name>. Calls before the first marker go to "".
// The GUI thread is the process's first thread, `gui_tid`.
std::map<QString, DiskCalls> disk_calls_by_section(const QByteArray &strace_output, int gui_tid,
                                                    const QByteArray &marker_prefix);

// ---- /proc ------------------------------------------------------------------------------------

// What a thread has done so far: context switches it asked for (a wait: each is a wake-up later),
// those the scheduler made, and its time on a processor.
struct ThreadCounters
{
    long long voluntary = 0;
    long long involuntary = 0;
    long long cpu_ns = 0;
};
// From /proc/<pid>/task/<tid>/status and .../schedstat; false when a field is missing.
bool parse_task_status(const QByteArray &status, ThreadCounters *out);
bool parse_schedstat(const QByteArray &schedstat, long long *cpu_ns);
// VmRSS of /proc/<pid>/status in KiB, -1 when absent.
long parse_vm_rss_kib(const QByteArray &status);

// Two samples of a process's threads (tid -> counters): what happened between them, summed over
// the threads that were there both times (a thread born or gone between counts only its share
// seen in both samples: none).
ThreadCounters counters_between(const std::map<int, ThreadCounters> &before,
                                const std::map<int, ThreadCounters> &after);
// Reads every thread of a live process; an empty map when it is gone.
std::map<int, ThreadCounters> sample_process(int pid);

// ---- the X server's frame buffer (Xvfb -fbdir) ------------------------------------------------

// The image header of an XWD file, as Xvfb keeps its screen in one.
struct XwdImage
{
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bits_per_pixel = 0;
    uint32_t bytes_per_line = 0;
    uint32_t data_offset = 0;   // header, window name and colour map skipped
};
// False for a file too short or not an XWD image of 32 bits per pixel.
bool parse_xwd_header(const uint8_t *data, size_t size, XwdImage *out);
// Whether the rectangle holds a drawn picture rather than a fill: more than two distinct pixel
// values among those sampled every `step` pixels. The root's background and a window's
// background fill are one value; a frame of text and pictures has many.
bool region_has_picture(const uint8_t *data, size_t size, const XwdImage &image, int x, int y, int w, int h,
                        int step = 3);

// ---- the table --------------------------------------------------------------------------------

// One line of the closing table: the ratio leads, then what it is, the figure, its baseline
// from the same run and, where the figure has one, its target and whether it was met.
struct Row
{
    double ratio = -1;        // negative: no ratio
    QString what;
    QString figure;
    QString baseline;
    QString target;           // empty: none
    int met = -1;             // -1 no target, 0 missed, 1 met
};
// Fixed-width columns, ratios first; a ratio prints as "1.23x", none as "-".
QString format_table(const std::vector<Row> &rows);
QString format_ms(double ms);

}
