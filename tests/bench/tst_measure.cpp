// The bench's instruments: its statistics, its readers of strace, /proc and the X server's screen
// file, its table, and the clock that tells frames and blocked time of the GUI thread.
#include <QTest>
#include <QThread>
#include <QWidget>
#include <atomic>
#include <cstring>
#include <future>
#include <thread>
#include <unistd.h>

#include "frameclock.h"
#include "measure.h"
#include "waits.h"

using namespace bench;

namespace {

// An XWD header of 25 big-endian fields, a window name, `colours` colour entries, then pixels.
QByteArray xwd(uint32_t width, uint32_t height, uint32_t bpp, uint32_t colours, uint32_t version = 7)
{
    const QByteArray name("Xvfb main window");
    const uint32_t header = 100 + uint32_t(name.size()) + 1;
    const uint32_t fields[25] = {header, version, 2, 24, width, height, 0, 0, 32, 0, 32, bpp, width * 4, 4,
                                 0xff0000, 0xff00, 0xff, 8, 256, colours, width, height, 0, 0, 0};
    QByteArray out;
    for (uint32_t f : fields) {
        const char be[4] = {char(f >> 24), char(f >> 16), char(f >> 8), char(f)};
        out.append(be, 4);
    }
    out += name + '\0';
    out += QByteArray(int(colours * 12), '\x7f');
    out += QByteArray(int(width * height * 4), '\0');
    return out;
}

void put_pixel(QByteArray &image, const XwdImage &h, int x, int y, uint32_t value)
{
    std::memcpy(image.data() + h.data_offset + y * h.bytes_per_line + x * 4, &value, 4);
}

class Blocker : public QObject
{
public:
    int ms = 0;
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        QThread::msleep(ms);
        return true;
    }
};

// Sends an event to itself from inside its own dispatch, so the clock sees a nested one; each
// handler measures its own span on the clock's time base.
class Nester : public QObject
{
public:
    int64_t outer_ns = 0, inner_ns = 0;
    bool event(QEvent *e) override
    {
        const int64_t start = now_ns();
        if (e->type() == QEvent::User) {
            QEvent inner(QEvent::Type(QEvent::User + 1));
            QCoreApplication::sendEvent(this, &inner);
            QThread::msleep(5);
            outer_ns = now_ns() - start;
            return true;
        }
        if (e->type() == QEvent::User + 1) {
            QThread::msleep(30);
            inner_ns = now_ns() - start;
            return true;
        }
        return QObject::event(e);
    }
};

void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
}

}

class TestMeasure : public QObject
{
    Q_OBJECT
private slots:
    void figures()
    {
        QCOMPARE(median({}), 0.0);
        QCOMPARE(median({5, 1, 3}), 3.0);
        QCOMPARE(median({4, 1, 3, 2}), 2.5);
        QCOMPARE(quantile({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0.9), 9.0);
        QCOMPARE(quantile({3, 1, 2}, 0), 1.0);
        QCOMPARE(quantile({3, 1, 2}, 1), 3.0);
        QCOMPARE(ratio(3, 2), 1.5);
        QVERIFY(ratio(3, 0) < 0);
        // Pairs: the median of 2/1, 3/3, 8/2 = 1, 2, 4; a pair without a base is left out.
        QCOMPARE(paired_ratio({2, 3, 8, 5}, {1, 3, 2, 0}), 2.0);
        QVERIFY(paired_ratio({1}, {0}) < 0);
    }

    void strace_lines()
    {
        Syscall c;
        QVERIFY(parse_strace_line("31316 fsync(3)                          = 0", &c));
        QCOMPARE((QList<QByteArray>{QByteArray::number(c.tid), c.name, c.args}), (QList<QByteArray>{"31316", "fsync", "3"}));
        QVERIFY(parse_strace_line("12 01:02:03.456789 renameat(AT_FDCWD, \"a\", 5, \"b\") = 0", &c));
        QVERIFY(c.tid == 12 && c.name == "renameat");
        QVERIFY(parse_strace_line("7 fsync(4 <unfinished ...>", &c) && c.name == "fsync");
        for (const char *no : {"7 <... fsync resumed>) = 0", "7 +++ exited with 0 +++", "7 --- SIGCHLD {si_signo=SIGCHLD} ---",
                               "fsync(3) = 0", ""})
            QVERIFY2(!parse_strace_line(no, &c), no);
    }

    void disk_calls_split_by_marker_and_thread()
    {
        const QByteArray log = "100 renameat(5, \"a\", 5, \"b\") = 0\n"
                               "100 access(\"/etc/ld.so.preload\", R_OK) = -1 ENOENT\n"
                               "100 access(\"/zem-bench-mark/InputChoose\", F_OK) = -1 ENOENT\n"
                               "100 fsync(7) = 0\n"
                               "100 fdatasync(7) = 0\n"
                               "101 fsync(8 <unfinished ...>\n"
                               "100 renameat2(5, \"t\", 5, \"f\", 0) = 0\n"
                               "101 <... fsync resumed>) = 0\n"
                               "101 rename(\"x\", \"y\") = 0\n"
                               "100 faccessat(AT_FDCWD, \"/zem-bench-mark/ledset\", F_OK) = -1 ENOENT\n"
                               "102 sync_file_range(3, 0, 0, 2) = 0\n"
                               "100 access(\"/zem-bench-mark/end\", F_OK) = -1 ENOENT\n";
        auto s = disk_calls_by_section(log, 100, "/zem-bench-mark/");
        QCOMPARE((QList<int>{s[QString()].gui_rename, s[QString()].total()}), (QList<int>{1, 1}));
        const DiskCalls &a = s[QStringLiteral("InputChoose")];
        QCOMPARE((QList<int>{a.gui_fsync, a.gui_rename, a.other_fsync, a.other_rename, a.gui()}), (QList<int>{2, 1, 1, 1, 3}));
        const DiskCalls &b = s[QStringLiteral("ledset")];
        QCOMPARE((QList<int>{b.gui(), b.other_fsync}), (QList<int>{0, 1}));
        QVERIFY(s.count(QStringLiteral("end")));
        QCOMPARE(s[QStringLiteral("end")].total(), 0);
    }

    void proc_readers()
    {
        ThreadCounters c;
        QVERIFY(parse_task_status("Name:\tx\nvoluntary_ctxt_switches:\t120\nnonvoluntary_ctxt_switches:\t7\n", &c));
        QVERIFY(c.voluntary == 120 && c.involuntary == 7);
        QVERIFY(!parse_task_status("voluntary_ctxt_switches:\t120\n", &c));
        long long ns = 0;
        QVERIFY(parse_schedstat("123456789 4000 17\n", &ns));
        QCOMPARE(ns, 123456789LL);
        QVERIFY(!parse_schedstat("", &ns));
        QCOMPARE(parse_vm_rss_kib("VmPeak:\t 9 kB\nVmRSS:\t   30512 kB\n"), 30512L);
        QCOMPARE(parse_vm_rss_kib("VmPeak:\t 9 kB\n"), -1L);

        // Threads in both samples only: 5 born between the samples, 6 gone, count nothing.
        const std::map<int, ThreadCounters> before = {{1, {10, 1, 1000}}, {2, {5, 0, 500}}, {6, {1, 1, 1}}};
        const std::map<int, ThreadCounters> after = {{1, {25, 3, 4000}}, {2, {6, 0, 900}}, {5, {99, 9, 9999}}};
        const ThreadCounters d = counters_between(before, after);
        QCOMPARE((QList<long long>{d.voluntary, d.involuntary, d.cpu_ns}), (QList<long long>{16, 2, 3400}));
    }

    // The sleeper tells when its 50 sleeps are over, however long a loaded machine made them;
    // the test thread waits blocked meanwhile, so the wake-ups counted are the sleeper's.
    void a_sleeping_thread_is_counted_waking()
    {
        std::atomic<bool> go{false}, stop{false};
        std::promise<void> slept;
        std::thread sleeper([&] {
            while (!go)
                usleep(1000);
            for (int i = 0; i < 50; ++i)
                usleep(1000);
            slept.set_value();
            while (!stop)
                usleep(1000);
        });
        const auto before = sample_process(getpid());
        go = true;
        slept.get_future().wait();
        const auto after = sample_process(getpid());
        stop = true;
        sleeper.join();
        QVERIFY(before.size() >= 2);
        const ThreadCounters d = counters_between(before, after);
        QVERIFY2(d.voluntary >= 50, qPrintable(QString::number(d.voluntary)));
        QVERIFY(sample_process(-1).empty());
    }

    void xwd_screen_file()
    {
        const QByteArray file = xwd(8, 6, 32, 2);
        XwdImage h;
        const auto parse = [&h](const QByteArray &f, int size) {
            return parse_xwd_header(reinterpret_cast<const uint8_t *>(f.constData()), size, &h);
        };
        QVERIFY(parse(file, file.size()));
        QCOMPARE((QList<uint32_t>{h.width, h.height, h.bytes_per_line, h.data_offset, uint32_t(file.size())}),
                 (QList<uint32_t>{8, 6, 32, 100 + 17 + 2 * 12, h.data_offset + 8 * 6 * 4}));
        // Not an image the bench can read: another version, 16 bits a pixel, pixels cut off.
        const QByteArray other = xwd(8, 6, 32, 2, 6), narrow = xwd(8, 6, 16, 0);
        QVERIFY(!parse(other, other.size()) && !parse(narrow, narrow.size()));
        QVERIFY(!parse(file, file.size() - 1) && !parse(file, 40));
    }

    void picture_or_fill()
    {
        QByteArray file = xwd(8, 6, 32, 0);
        XwdImage h;
        QVERIFY(parse_xwd_header(reinterpret_cast<const uint8_t *>(file.constData()), file.size(), &h));
        const auto has = [&](int x, int y, int w, int hh) {
            return region_has_picture(reinterpret_cast<const uint8_t *>(file.constData()), file.size(), h, x, y, w, hh, 1);
        };
        QVERIFY(!has(0, 0, 8, 6));                  // the black root
        put_pixel(file, h, 1, 1, 0xff000000u);      // the unused byte alone changes nothing
        QVERIFY(!has(0, 0, 8, 6));
        put_pixel(file, h, 2, 2, 0x00102030u);      // a window's fill over the root: two values
        QVERIFY(!has(0, 0, 8, 6));
        put_pixel(file, h, 7, 5, 0x00ffffffu);      // a third: something was drawn
        QVERIFY(has(0, 0, 8, 6));
        QVERIFY(!has(0, 0, 7, 5));                  // but not in the rectangle that leaves it out
        QVERIFY(!has(4, 4, 8, 6));                  // a rectangle past the screen is none
    }

    void table()
    {
        const Row a{12.5, "key LED off", "7 ms", "label key: 0.4 ms", "<= 2 ms", 0}, b{-1, "walk", "none", "", "0", 1},
                  c{1.234, "open", "", "", "", -1};
        const QStringList lines = format_table({a, b, c}).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[0].startsWith(QStringLiteral(" ratio | what")));
        QVERIFY(lines[2].startsWith(QStringLiteral("12.50x | key LED off")));
        QVERIFY(lines[2].endsWith(QStringLiteral("| <= 2 ms MISSED")));
        QVERIFY(lines[3].startsWith(QStringLiteral("     - | walk")));
        QVERIFY(lines[3].endsWith(QStringLiteral("| 0 ok")));
        QVERIFY(lines[4].startsWith(QStringLiteral(" 1.23x | open ")));
        // Every column starts at the same place on every line.
        for (const QString &l : lines.mid(2))
            QCOMPARE(l.indexOf(QLatin1Char('|')), lines[0].indexOf(QLatin1Char('|')));
        QCOMPARE(lines[2].indexOf(QStringLiteral("7 ms")), lines[0].indexOf(QStringLiteral("figure")));
        QCOMPARE(format_ms(0.5), QStringLiteral("0.50 ms"));
        QCOMPARE(format_ms(12.34), QStringLiteral("12.3 ms"));
        QCOMPARE(format_ms(123.4), QStringLiteral("123 ms"));
        QCOMPARE(format_ms(-1), QStringLiteral("-"));
    }

    // Sent, not posted: the dispatch under test is the only one the clock sees.
    void clock_counts_dispatches_once()
    {
        FrameClock &clock = frame_clock();
        settle();
        Blocker slow;
        slow.ms = 20;
        QEvent user(QEvent::User);
        clock.reset();
        QCoreApplication::sendEvent(&slow, &user);
        QVERIFY(clock.busy_ns() >= 20 * 1000000LL);
        QCOMPARE(clock.longest_ns(), clock.busy_ns());
        QCOMPARE(clock.frames(), 0);
        QCOMPARE(clock.last_frame_end_ns(), int64_t(0));

        // A dispatch inside a dispatch is the same time, not twice it: one outermost dispatch,
        // which holds the outer handler's own span.
        Nester nest;
        clock.reset();
        QCoreApplication::sendEvent(&nest, &user);
        QVERIFY(nest.inner_ns >= 30 * 1000000LL && nest.outer_ns >= nest.inner_ns);
        QCOMPARE(clock.busy_ns(), clock.longest_ns());
        QVERIFY2(clock.busy_ns() >= nest.outer_ns,
                 qPrintable(QStringLiteral("%1 ns of %2").arg(clock.busy_ns()).arg(nest.outer_ns)));

        // The bench's own heartbeat is not the program's time.
        clock.reset();
        clock.ignore(&slow);
        QCoreApplication::sendEvent(&slow, &user);
        clock.ignore(nullptr);
        QCOMPARE(clock.busy_ns(), int64_t(0));
    }

    void clock_sees_frames()
    {
        FrameClock &clock = frame_clock();
        QWidget w;
        w.resize(100, 80);
        clock.reset();
        clock.watch(&w);
        const int64_t shown = now_ns();
        w.show();
        QVERIFY(zemtest::wait_until([&] { return clock.watched_frame_end_ns() != 0; }));
        QVERIFY(clock.watched_frame_end_ns() > shown);
        QVERIFY(clock.frames() >= 1);
        QVERIFY(clock.last_frame_end_ns() >= clock.watched_frame_end_ns());
        const int64_t first = clock.watched_frame_end_ns();

        // A later frame of the same window moves the last frame on, not the first one.
        settle();
        clock.reset();
        w.update();
        QVERIFY(zemtest::wait_until([&] { return clock.frames() != 0; }));
        QCOMPARE(clock.frames(), 1);
        QVERIFY(clock.last_frame_end_ns() > first);
        QCOMPARE(clock.watched_frame_end_ns(), first);

        // Another window's frame is a frame, but not the watched window's first.
        QWidget other;
        other.resize(50, 50);
        clock.watch(&other);
        clock.watch(&w);
        clock.reset();
        other.show();
        QVERIFY(zemtest::wait_until([&] { return clock.frames() != 0; }));
        QCOMPARE(clock.watched_frame_end_ns(), int64_t(0));
    }
};

int main(int argc, char **argv)
{
    BenchApplication app(argc, argv);
    TestMeasure test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_measure.moc"
