// zem_bench: what a user of the panel waits for, each figure beside its baseline from the same
// run (a bare dialog, the same in the screens' colour, a dialog with one label), in one table,
// ratios first. A bench prints figures; it passes or fails nothing (it marks targets met or not).
//
//   zem_bench [--quick] [--rounds N] [--no-xcb] [--only opens,keys,idle,startup,walk]
//             [--screens NAME,...]  open only these screens (catalog class names; "sources" for
//                             the four that show the inputs' two-coloured names)
//             [--base DIR]    also measure the build in DIR (its bench/zem_bench and app/zemK58N),
//                             run by turns with this one, and print this/base per figure
//
// Each screen's first open is measured in a process of its own (font matching and picture
// decoding are real), on the offscreen platform and on X (an Xvfb of the bench's own); keys to
// their last frame with the managers' threads running; the real binary's start-up to its first
// frame on the X server, its idle wake-ups, processor time and resident memory; the disk calls
// of the GUI thread during a walk of every screen (strace).
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <unistd.h>

#include "frameclock.h"
#include "measure.h"
#include "probe.h"
#include "xserver.h"

using namespace bench;

namespace {

constexpr int64_t kMs = 1000000;

struct Options
{
    bool quick = false;
    int rounds = 2;            // processes per screen and platform
    int later = 6;             // later opens per process
    int key_rounds = 1;        // key processes per platform
    int key_runs = 20;         // keys per scenario and process
    int idle_rounds = 1;
    int idle_ms = 2500;        // idle sampling time
    int startups = 8;
    bool xcb = true;
    QStringList only = {QStringLiteral("opens"), QStringLiteral("keys"), QStringLiteral("idle"),
                        QStringLiteral("startup"), QStringLiteral("walk")};
    QString base;
    QStringList screens;       // empty: every screen of the catalog
};

struct Build
{
    QString name;    // "this", "base"
    QString bench;   // zem_bench
    QString app;     // zemK58N
};

// The screens that show the inputs' two-coloured names.
const QStringList kSourceScreens = {QStringLiteral("InputChoose"), QStringLiteral("InputCut"),
                                    QStringLiteral("EDIDset"), QStringLiteral("MachineState")};
const QStringList kBaselines = {QStringLiteral("bare"), QStringLiteral("styled"), QStringLiteral("label")};

void progress(const QString &text)
{
    std::fprintf(stderr, "zem_bench: %s\n", qPrintable(text));
}

QString ms(double v)
{
    return format_ms(v);
}

// ---- processes ------------------------------------------------------------------------------------

class Bench
{
public:
    Bench(const Options &o, const Build &self, std::optional<Build> base) : m_o(o), m_self(self), m_base(base) {}
    int run();

private:
    QProcessEnvironment environment(const QString &platform) const;
    // A probe of `build`; its stdout lines, empty on failure.
    QList<QByteArray> probe(const Build &build, const QString &platform, const QStringList &args, int limit_ms = 60000);
    QString fresh_root();
    std::vector<Build> builds() const;
    std::vector<Build> builds_in_turn(int round) const;
    QStringList platforms() const;

    void opens();
    void keys();
    void idle();
    void startup();
    void walk();

    Options m_o;
    Build m_self;
    std::optional<Build> m_base;
    Xserver m_x;
    bool m_have_x = false;
    QTemporaryDir m_roots{QDir::tempPath() + QStringLiteral("/zem-bench-XXXXXX")};
    int m_root_count = 0;
    std::vector<Row> m_rows;
    std::vector<Row> m_compare;
    QStringList m_notes;
};

QProcessEnvironment Bench::environment(const QString &platform) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (platform == QLatin1String("xcb"))
        env.insert(QStringLiteral("DISPLAY"), m_x.display());
    else
        env.remove(QStringLiteral("DISPLAY"));
    return env;
}

QList<QByteArray> Bench::probe(const Build &build, const QString &platform, const QStringList &args, int limit_ms)
{
    QProcess p;
    p.setProcessEnvironment(environment(platform));
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(build.bench, QStringList{QStringLiteral("--probe")} + args);
    if (!p.waitForFinished(limit_ms)) {
        p.kill();
        p.waitForFinished(5000);
        progress(QStringLiteral("%1 probe %2 on %3 did not finish").arg(build.name, args.join(' '), platform));
        return {};
    }
    QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    lines.removeAll(QByteArray());
    for (const QByteArray &l : lines)
        if (l.startsWith("warning "))
            progress(build.name + QStringLiteral(": ") + QString::fromUtf8(l.mid(8)));
    return lines;
}

QString Bench::fresh_root()
{
    const QString root = m_roots.path() + QStringLiteral("/root%1").arg(++m_root_count);
    QDir().mkpath(root);
    return root;
}

std::vector<Build> Bench::builds() const
{
    std::vector<Build> b{m_self};
    if (m_base)
        b.push_back(*m_base);
    return b;
}

// Both builds each round, the one that goes first changing round by round.
std::vector<Build> Bench::builds_in_turn(int round) const
{
    std::vector<Build> b = builds();
    if (round % 2)
        std::reverse(b.begin(), b.end());
    return b;
}

QStringList Bench::platforms() const
{
    QStringList p{QStringLiteral("offscreen")};
    if (m_have_x)
        p << QStringLiteral("xcb");
    return p;
}

QByteArray field(const QList<QByteArray> &lines, const QByteArray &key)
{
    for (const QByteArray &l : lines)
        if (l.startsWith(key + ' '))
            return l.mid(key.size() + 1);
    return {};
}

std::vector<double> numbers(const QByteArray &text)
{
    std::vector<double> v;
    for (const QByteArray &t : text.split(' ')) {
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (ok && d >= 0)
            v.push_back(d);
    }
    return v;
}

// ---- screens opened ---------------------------------------------------------------------------

struct OpenSamples
{
    std::vector<double> first;        // one per process
    std::vector<double> later;        // every later open
    std::vector<double> later_round;  // the median of each process's later opens
};

void Bench::opens()
{
    QStringList screens;
    for (const QByteArray &l : probe(m_self, QStringLiteral("offscreen"), {QStringLiteral("list")}))
        screens << QString::fromUtf8(l);
    if (m_base) {
        QStringList theirs;
        for (const QByteArray &l : probe(*m_base, QStringLiteral("offscreen"), {QStringLiteral("list")}))
            theirs << QString::fromUtf8(l);
        for (const QString &s : screens)
            if (!theirs.contains(s))
                progress(QStringLiteral("%1 is not in the base build's catalog").arg(s));
        screens.erase(std::remove_if(screens.begin(), screens.end(), [&](const QString &s) { return !theirs.contains(s); }),
                      screens.end());
    }
    if (!m_o.screens.isEmpty()) {
        for (const QString &s : m_o.screens)
            if (!screens.contains(s))
                progress(QStringLiteral("no screen %1 to open").arg(s));
        screens.erase(std::remove_if(screens.begin(), screens.end(), [&](const QString &s) { return !m_o.screens.contains(s); }),
                      screens.end());
    }
    // The label dialog is the yardstick of every figure; the other two only of a whole run.
    const QStringList items = (m_o.screens.isEmpty() ? kBaselines : QStringList{QStringLiteral("label")}) + screens;
    // build -> platform -> item
    std::map<QString, std::map<QString, std::map<QString, OpenSamples>>> s;
    std::mt19937 shuffle(12345);
    for (const QString &platform : platforms()) {
        for (int round = 0; round < m_o.rounds; ++round) {
            progress(QStringLiteral("opens on %1, round %2 of %3").arg(platform).arg(round + 1).arg(m_o.rounds));
            QStringList order = items;
            std::shuffle(order.begin(), order.end(), shuffle);
            for (const QString &item : order) {
                for (const Build &b : builds_in_turn(round)) {
                    const QList<QByteArray> out =
                        probe(b, platform, {QStringLiteral("open"), item, fresh_root(), QString::number(m_o.later)});
                    const std::vector<double> first = numbers(field(out, "first"));
                    const std::vector<double> later = numbers(field(out, "later"));
                    if (first.empty() || later.empty()) {
                        progress(QStringLiteral("%1: %2 did not open on %3").arg(b.name, item, platform));
                        continue;
                    }
                    OpenSamples &o = s[b.name][platform][item];
                    o.first.push_back(first[0]);
                    o.later.insert(o.later.end(), later.begin(), later.end());
                    o.later_round.push_back(median(later));
                }
            }
        }
    }

    for (const QString &platform : platforms()) {
        auto &mine = s[m_self.name][platform];
        const double label_first = median(mine[QStringLiteral("label")].first);
        const double label_later = median(mine[QStringLiteral("label")].later);
        const QString base_text =
            QStringLiteral("label: first %1, later %2").arg(ms(label_first), ms(label_later));
        for (const QString &item : items) {
            const OpenSamples &o = mine[item];
            if (o.first.empty())
                continue;
            const double first = median(o.first), later = median(o.later);
            Row r;
            r.ratio = ratio(first, later);
            r.what = QStringLiteral("open %1, %2: first/later").arg(item, platform);
            r.figure = QStringLiteral("first %1 (%2x label), later %3 (%4x)")
                           .arg(ms(first))
                           .arg(ratio(first, label_first), 0, 'f', 1)
                           .arg(ms(later))
                           .arg(ratio(later, label_later), 0, 'f', 1);
            r.baseline = item == QLatin1String("label") ? QStringLiteral("-") : base_text;
            if (!kBaselines.contains(item)) {
                r.target = QStringLiteral("<= 1.5x");
                r.met = r.ratio >= 0 && r.ratio <= 1.5;
            }
            m_rows.push_back(r);
        }
        if (!m_base)
            continue;
        auto &theirs = s[m_base->name][platform];
        std::vector<double> source_ratios;
        for (const QString &item : items) {
            const OpenSamples &a = mine[item], &b = theirs[item];
            if (a.later_round.empty() || b.later_round.empty())
                continue;
            // All later opens of each side, taken by turns: the ratio of their medians. The spread
            // of the rounds' own ratios shows how far the load of the machine moved it.
            std::vector<double> rounds;
            for (size_t i = 0; i < std::min(a.later_round.size(), b.later_round.size()); ++i)
                rounds.push_back(ratio(a.later_round[i], b.later_round[i]));
            Row r;
            r.ratio = ratio(median(a.later), median(b.later));
            r.what = QStringLiteral("open %1 later, %2: this/base").arg(item, platform);
            r.figure = QStringLiteral("this %1, first %2; rounds %3x..%4x")
                           .arg(ms(median(a.later)), ms(median(a.first)))
                           .arg(quantile(rounds, 0), 0, 'f', 2)
                           .arg(quantile(rounds, 1), 0, 'f', 2);
            r.baseline = QStringLiteral("base %1, first %2").arg(ms(median(b.later)), ms(median(b.first)));
            if (kSourceScreens.contains(item)) {
                r.target = QStringLiteral("<= 0.80x");
                r.met = r.ratio >= 0 && r.ratio <= 0.8;
                source_ratios.push_back(r.ratio);
            }
            m_compare.push_back(r);
        }
        if (source_ratios.size() == size_t(kSourceScreens.size())) {
            Row r;
            r.ratio = median(source_ratios);
            r.what = QStringLiteral("open the four source screens later, %1: this/base").arg(platform);
            r.figure = QStringLiteral("median of their ratios; the worst %1x")
                           .arg(*std::max_element(source_ratios.begin(), source_ratios.end()), 0, 'f', 2);
            r.baseline = kSourceScreens.join(' ');
            r.target = QStringLiteral("each <= 0.80x");
            r.met = *std::max_element(source_ratios.begin(), source_ratios.end()) <= 0.8;
            m_compare.insert(m_compare.begin(), r);
        }
    }
}

// ---- keys -------------------------------------------------------------------------------------

struct KeySamples
{
    std::vector<double> to_frame, busy, longest;
};

void Bench::keys()
{
    // build -> platform -> scenario
    std::map<QString, std::map<QString, std::map<QString, KeySamples>>> s;
    for (const QString &platform : platforms()) {
        for (int round = 0; round < m_o.key_rounds; ++round) {
            progress(QStringLiteral("keys on %1, round %2 of %3").arg(platform).arg(round + 1).arg(m_o.key_rounds));
            for (const Build &b : builds_in_turn(round)) {
                for (const QByteArray &l :
                     probe(b, platform, {QStringLiteral("keys"), fresh_root(), QString::number(m_o.key_runs)}, 120000)) {
                    const QList<QByteArray> f = l.split(' ');
                    if (f.size() != 5 || f[0] != "key")
                        continue;
                    KeySamples &k = s[b.name][platform][QString::fromUtf8(f[1])];
                    const double to = f[2].toDouble();
                    if (to >= 0)
                        k.to_frame.push_back(to);
                    k.busy.push_back(f[3].toDouble());
                    k.longest.push_back(f[4].toDouble());
                }
            }
        }
    }
    const std::vector<std::pair<QString, QString>> scenarios = {
        {QStringLiteral("led"), QStringLiteral("LED off (main menu)")},
        {QStringLiteral("freeze"), QStringLiteral("freeze (home)")},
        {QStringLiteral("focus"), QStringLiteral("focus move (main menu)")},
    };
    for (const QString &platform : platforms()) {
        auto &mine = s[m_self.name][platform];
        const KeySamples &label = mine[QStringLiteral("label")];
        const double label_frame = median(label.to_frame), label_busy = median(label.busy);
        for (const auto &[key, title] : scenarios) {
            const KeySamples &k = mine[key];
            if (k.busy.empty())
                continue;
            Row r;
            r.ratio = ratio(median(k.to_frame), label_frame);
            r.what = QStringLiteral("key %1 to last frame, %2").arg(title, platform);
            r.figure = QStringLiteral("median %1, p90 %2 (%3 keys)")
                           .arg(ms(median(k.to_frame)), ms(quantile(k.to_frame, 0.9)))
                           .arg(k.to_frame.size());
            r.baseline = QStringLiteral("label key: %1").arg(ms(label_frame));
            if (key == QLatin1String("led")) {
                r.target = QStringLiteral("<= 2 ms median");
                r.met = median(k.to_frame) <= 2.0;
            }
            m_rows.push_back(r);
            Row b;
            b.ratio = ratio(median(k.busy), label_busy);
            b.what = QStringLiteral("key %1: GUI thread blocked, %2").arg(title, platform);
            b.figure = QStringLiteral("median %1, p90 %2; longest block median %3, max %4")
                           .arg(ms(median(k.busy)), ms(quantile(k.busy, 0.9)), ms(median(k.longest)),
                                ms(quantile(k.longest, 1.0)));
            b.baseline = QStringLiteral("label key: %1").arg(ms(label_busy));
            m_rows.push_back(b);
            if (!m_base)
                continue;
            const KeySamples &t = s[m_base->name][platform][key];
            Row c;
            c.ratio = ratio(median(k.to_frame), median(t.to_frame));
            c.what = QStringLiteral("key %1 to last frame, %2: this/base").arg(title, platform);
            c.figure = QStringLiteral("this %1, blocked %2").arg(ms(median(k.to_frame)), ms(median(k.busy)));
            c.baseline = QStringLiteral("base %1, blocked %2").arg(ms(median(t.to_frame)), ms(median(t.busy)));
            m_compare.push_back(c);
        }
    }
}

// ---- the real binary --------------------------------------------------------------------------

// A process of the bench's own, ended by its id when done.
class Child
{
public:
    ~Child()
    {
        if (m_p.state() != QProcess::NotRunning) {
            m_p.kill();
            m_p.waitForFinished(5000);
        }
    }
    void start(const QString &program, const QStringList &args, const QProcessEnvironment &env)
    {
        m_p.setProcessEnvironment(env);
        m_p.setStandardOutputFile(QProcess::nullDevice());
        m_p.setStandardErrorFile(QProcess::nullDevice());
        m_p.start(program, args);
        m_p.waitForStarted(10000);
    }
    int pid() const { return int(m_p.processId()); }
    bool running() const { return m_p.state() == QProcess::Running; }

private:
    QProcess m_p;
};

struct IdleFigures
{
    double wakeups = -1;       // voluntary switches per second
    double preempted = -1;     // involuntary ones per second
    double cpu_ms = -1;        // processor time per second, milliseconds
    double rss_mib = -1;
};

IdleFigures measure_idle(int pid, int settle_ms, int sample_ms)
{
    IdleFigures f;
    usleep(useconds_t(settle_ms) * 1000);
    const auto before = sample_process(pid);
    const int64_t t0 = now_ns();
    usleep(useconds_t(sample_ms) * 1000);
    const auto after = sample_process(pid);
    const double seconds = double(now_ns() - t0) / 1e9;
    if (before.empty() || after.empty())
        return f;
    const ThreadCounters d = counters_between(before, after);
    f.wakeups = d.voluntary / seconds;
    f.preempted = d.involuntary / seconds;
    f.cpu_ms = d.cpu_ns / 1e6 / seconds;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        f.rss_mib = parse_vm_rss_kib(status.readAll()) / 1024.0;
    return f;
}

void Bench::idle()
{
    // build ("baseline" for the dialog) -> platform -> samples
    std::map<QString, std::map<QString, std::vector<IdleFigures>>> s;
    const int settle = 1000;
    for (const QString &platform : platforms()) {
        for (int round = 0; round < m_o.idle_rounds; ++round) {
            progress(QStringLiteral("idle on %1, round %2").arg(platform).arg(round + 1));
            std::vector<Build> order = builds_in_turn(round);
            order.push_back(Build{QStringLiteral("baseline"), m_self.bench, QString()});
            for (const Build &b : order) {
                Child c;
                if (b.app.isEmpty())
                    c.start(b.bench, {QStringLiteral("--probe"), QStringLiteral("idle-baseline")}, environment(platform));
                else
                    c.start(b.app, {QStringLiteral("--root"), fresh_root(), QStringLiteral("--no-wait")},
                            environment(platform));
                if (!c.running())
                    continue;
                s[b.name][platform].push_back(measure_idle(c.pid(), settle, m_o.idle_ms));
            }
            if (platform == QLatin1String("xcb"))
                m_x.wait_blank(3000);
        }
    }
    const auto med = [](const std::vector<IdleFigures> &v, double IdleFigures::*m) {
        std::vector<double> x;
        for (const IdleFigures &f : v)
            if (f.*m >= 0)
                x.push_back(f.*m);
        return x.empty() ? -1.0 : median(x);
    };
    for (const QString &platform : platforms()) {
        const auto &mine = s[m_self.name][platform];
        const auto &dialog = s[QStringLiteral("baseline")][platform];
        if (mine.empty())
            continue;
        const double w = med(mine, &IdleFigures::wakeups), bw = med(dialog, &IdleFigures::wakeups);
        Row r;
        r.ratio = ratio(w, bw);
        r.what = QStringLiteral("zemK58N idle wake-ups per second, %1").arg(platform);
        r.figure = QStringLiteral("%1/s (+%2/s preempted)").arg(w, 0, 'f', 0).arg(med(mine, &IdleFigures::preempted), 0, 'f', 0);
        r.baseline = QStringLiteral("label process: %1/s").arg(bw, 0, 'f', 1);
        m_rows.push_back(r);
        const double c = med(mine, &IdleFigures::cpu_ms), bc = med(dialog, &IdleFigures::cpu_ms);
        Row u;
        u.ratio = ratio(c, bc);
        u.what = QStringLiteral("zemK58N idle processor time, %1").arg(platform);
        u.figure = QStringLiteral("%1 ms/s").arg(c, 0, 'f', 2);
        u.baseline = QStringLiteral("label process: %1 ms/s").arg(bc, 0, 'f', 2);
        m_rows.push_back(u);
        const double m = med(mine, &IdleFigures::rss_mib), bm = med(dialog, &IdleFigures::rss_mib);
        Row v;
        v.ratio = ratio(m, bm);
        v.what = QStringLiteral("zemK58N resident memory, idle, %1").arg(platform);
        v.figure = QStringLiteral("%1 MiB").arg(m, 0, 'f', 1);
        v.baseline = QStringLiteral("label process: %1 MiB").arg(bm, 0, 'f', 1);
        m_rows.push_back(v);
        if (!m_base)
            continue;
        const auto &theirs = s[m_base->name][platform];
        const double tw = med(theirs, &IdleFigures::wakeups);
        Row cw;
        cw.ratio = ratio(w, tw);
        cw.what = QStringLiteral("zemK58N idle wake-ups, %1: this/base").arg(platform);
        cw.figure = QStringLiteral("this %1/s, %2 ms/s").arg(w, 0, 'f', 0).arg(c, 0, 'f', 2);
        cw.baseline = QStringLiteral("base %1/s, %2 ms/s").arg(tw, 0, 'f', 0).arg(med(theirs, &IdleFigures::cpu_ms), 0, 'f', 2);
        cw.target = QStringLiteral("<= 0.50x");
        cw.met = cw.ratio >= 0 && cw.ratio <= 0.5;
        m_compare.push_back(cw);
    }
}

// ---- start-up ---------------------------------------------------------------------------------

// From just before the exec to the first drawn picture on the X server, and to the first map.
bool startup_on_x(Xserver &x, const QString &program, const QStringList &args, const QProcessEnvironment &env,
                  double *frame_ms, double *map_ms)
{
    if (!x.wait_blank(5000))
        return false;
    x.watch_maps();
    Child c;
    const int64_t start = now_ns();
    c.start(program, args, env);
    *map_ms = -1;
    const int64_t deadline = start + 30000 * kMs;
    while (now_ns() < deadline) {
        if (*map_ms < 0 && x.maps_seen() > 0)
            *map_ms = double(now_ns() - start) / kMs;
        if (x.screen_has_picture()) {
            *frame_ms = double(now_ns() - start) / kMs;
            return true;
        }
        usleep(250);
    }
    return false;
}

void Bench::startup()
{
    // name -> samples; names: "<build> real xcb", "<build> main <platform>", "baseline ..."
    std::map<QString, std::vector<double>> frame, map;
    for (int round = 0; round < m_o.startups; ++round) {
        progress(QStringLiteral("start-up, round %1 of %2").arg(round + 1).arg(m_o.startups));
        for (const Build &b : builds_in_turn(round)) {
            if (m_have_x) {
                double f = -1, m = -1;
                if (startup_on_x(m_x, b.app, {QStringLiteral("--root"), fresh_root(), QStringLiteral("--no-wait")},
                                 environment(QStringLiteral("xcb")), &f, &m)) {
                    frame[b.name + QStringLiteral(" real")].push_back(f);
                    if (m >= 0)
                        map[b.name + QStringLiteral(" real")].push_back(m);
                }
            }
            for (const QString &platform : platforms()) {
                const int64_t start = now_ns();
                const QByteArray ns = field(probe(b, platform, {QStringLiteral("startup"), fresh_root()}), "frame_ns");
                if (!ns.isEmpty())
                    frame[b.name + QStringLiteral(" main ") + platform].push_back(double(ns.toLongLong() - start) / kMs);
                if (platform == QLatin1String("xcb"))
                    m_x.wait_blank(3000);
            }
        }
        if (m_have_x) {
            double f = -1, m = -1;
            if (startup_on_x(m_x, m_self.bench, {QStringLiteral("--probe"), QStringLiteral("idle-baseline")},
                             environment(QStringLiteral("xcb")), &f, &m))
                frame[QStringLiteral("baseline real")].push_back(f);
        }
        for (const QString &platform : platforms()) {
            const int64_t start = now_ns();
            const QByteArray ns = field(probe(m_self, platform, {QStringLiteral("startup-baseline")}), "frame_ns");
            if (!ns.isEmpty())
                frame[QStringLiteral("baseline main ") + platform].push_back(double(ns.toLongLong() - start) / kMs);
            if (platform == QLatin1String("xcb"))
                m_x.wait_blank(3000);
        }
    }
    const auto add = [&](const QString &key, const QString &what, const QString &extra) {
        const std::vector<double> &v = frame[m_self.name + ' ' + key];
        if (v.empty())
            return;
        const double b = median(frame[QStringLiteral("baseline ") + key]);
        Row r;
        r.ratio = ratio(median(v), b);
        r.what = what;
        r.figure = QStringLiteral("median %1, min %2%3").arg(ms(median(v)), ms(quantile(v, 0)), extra);
        r.baseline = QStringLiteral("label process: %1").arg(ms(b));
        m_rows.push_back(r);
        if (!m_base)
            return;
        const std::vector<double> &t = frame[m_base->name + ' ' + key];
        Row c;
        c.ratio = paired_ratio(v, t);
        c.what = what + QStringLiteral(": this/base");
        c.figure = QStringLiteral("this %1").arg(ms(median(v)));
        c.baseline = QStringLiteral("base %1").arg(ms(median(t)));
        m_compare.push_back(c);
    };
    const std::vector<double> &mapped = map[m_self.name + QStringLiteral(" real")];
    add(QStringLiteral("real"), QStringLiteral("zemK58N start-up, exec to first frame on the X server"),
        mapped.empty() ? QString() : QStringLiteral("; window mapped %1").arg(ms(median(mapped))));
    for (const QString &platform : platforms())
        add(QStringLiteral("main ") + platform,
            QStringLiteral("start-up, exec to home's first frame (in-process clock), %1").arg(platform), {});
}

// ---- the disk calls of a walk -----------------------------------------------------------------

void Bench::walk()
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty()) {
        progress(QStringLiteral("no strace (apt-get install strace): the walk is left out"));
        return;
    }
    for (const Build &b : builds()) {
        progress(QStringLiteral("walk of every screen under strace (%1)").arg(b.name));
        const QString log = m_roots.path() + QStringLiteral("/strace-%1.txt").arg(b.name);
        QProcess p;
        p.setProcessEnvironment(environment(QStringLiteral("offscreen")));
        p.setStandardErrorFile(QProcess::nullDevice());
        // Only the calls traced stop the program (--seccomp-bpf): its own pace is kept.
        p.start(strace, {QStringLiteral("-f"), QStringLiteral("--seccomp-bpf"), QStringLiteral("-o"), log,
                         QStringLiteral("-e"),
                         QStringLiteral("trace=fsync,fdatasync,sync,syncfs,sync_file_range,rename,renameat,renameat2,"
                                        "access,faccessat,faccessat2"),
                         b.bench, QStringLiteral("--probe"), QStringLiteral("walk"), fresh_root()});
        if (!p.waitForFinished(300000)) {
            p.kill();
            p.waitForFinished(5000);
            progress(QStringLiteral("the walk did not finish"));
            continue;
        }
        const QList<QByteArray> out = p.readAllStandardOutput().split('\n');
        const int tid = field(out, "gui_tid").toInt();
        QFile f(log);
        if (tid <= 0 || !f.open(QIODevice::ReadOnly)) {
            progress(QStringLiteral("the walk did not start"));
            continue;
        }
        if (!out.contains("walked"))
            progress(QStringLiteral("the walk ended early: its figures are of the screens it reached"));
        const auto sections = disk_calls_by_section(f.readAll(), tid, "/zem-bench-mark/");
        DiskCalls all;
        QStringList saved, on_gui;
        int screens = 0;
        for (const auto &[name, d] : sections) {
            if (name.isEmpty() || name == QLatin1String("end"))
                continue;
            ++screens;
            all.gui_fsync += d.gui_fsync;
            all.gui_rename += d.gui_rename;
            all.other_fsync += d.other_fsync;
            all.other_rename += d.other_rename;
            if (d.gui_rename + d.other_rename > 0)
                saved << name;
            if (d.gui() > 0)
                on_gui << name;
        }
        Row r;
        r.what = QStringLiteral("fsync, rename on GUI thread, walk of every screen (%1)").arg(b.name);
        r.figure = QStringLiteral("GUI %1 fsync, %2 rename; others %3 fsync, %4 rename; %5 of %6 screens saved")
                       .arg(all.gui_fsync)
                       .arg(all.gui_rename)
                       .arg(all.other_fsync)
                       .arg(all.other_rename)
                       .arg(saved.size())
                       .arg(screens);
        r.baseline = QStringLiteral("-");
        m_notes << QStringLiteral("walk (%1): saved in %2").arg(b.name, saved.join(' '));
        if (!on_gui.isEmpty())
            m_notes << QStringLiteral("walk (%1): fsync or rename on the GUI thread in %2").arg(b.name, on_gui.join(' '));
        r.target = QStringLiteral("0 on GUI thread");
        r.met = all.gui() == 0 && !saved.isEmpty();
        (b.name == m_self.name ? m_rows : m_compare).push_back(r);
    }
}

int Bench::run()
{
    if (m_o.xcb) {
        QString error;
        m_have_x = !m_x.start(&error).isEmpty();
        if (!m_have_x)
            progress(QStringLiteral("no X figures: ") + error);
    }
    const int64_t start = now_ns();
    if (m_o.only.contains(QLatin1String("startup")))
        startup();
    if (m_o.only.contains(QLatin1String("opens")))
        opens();
    if (m_o.only.contains(QLatin1String("keys")))
        keys();
    if (m_o.only.contains(QLatin1String("idle")))
        idle();
    if (m_o.only.contains(QLatin1String("walk")))
        walk();
    std::vector<Row> all = m_compare;
    all.insert(all.end(), m_rows.begin(), m_rows.end());
    std::printf("%s", qPrintable(format_table(all)));
    for (const QString &n : m_notes)
        std::printf("%s\n", qPrintable(n));
    std::printf("(%s in %.0f s; ratios: first/later for opens, figure/baseline otherwise, this/base in a "
                "comparison; a target's verdict follows it)\n",
                m_o.quick ? "quick run" : "run", double(now_ns() - start) / 1e9);
    return 0;
}

QString sibling(const QString &bench_dir, const QString &relative)
{
    return QDir::cleanPath(bench_dir + QStringLiteral("/../") + relative);
}

}

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--probe") == 0)
        return run_probe(argc, argv);

    QCoreApplication app(argc, argv);
    Options o;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const QString next = i + 1 < args.size() ? args[i + 1] : QString();
        if (a == QLatin1String("--quick")) {
            o.quick = true;
            o.rounds = 1;
            o.later = 5;
            o.key_runs = 10;
            o.idle_ms = 1500;
            o.startups = 3;
        } else if (a == QLatin1String("--rounds") && !next.isEmpty()) {
            o.rounds = o.key_rounds = o.idle_rounds = std::max(1, next.toInt());
            ++i;
        } else if (a == QLatin1String("--no-xcb")) {
            o.xcb = false;
        } else if (a == QLatin1String("--only") && !next.isEmpty()) {
            o.only = next.split(',');
            ++i;
        } else if (a == QLatin1String("--screens") && !next.isEmpty()) {
            for (const QString &name : next.split(',', Qt::SkipEmptyParts))
                o.screens += name == QLatin1String("sources") ? kSourceScreens : QStringList{name};
            ++i;
        } else if (a == QLatin1String("--base") && !next.isEmpty()) {
            o.base = next;
            ++i;
        } else {
            std::fprintf(stderr,
                         "usage: zem_bench [--quick] [--rounds N] [--no-xcb] [--only opens,keys,idle,startup,walk] "
                         "[--screens NAME,...|sources] [--base BUILD_DIR]\n");
            return 2;
        }
    }
    const QString here = QCoreApplication::applicationDirPath();
    const Build self{QStringLiteral("this"), QCoreApplication::applicationFilePath(),
                     sibling(here, QStringLiteral("app/zemK58N"))};
    std::optional<Build> base;
    if (!o.base.isEmpty()) {
        base = Build{QStringLiteral("base"), o.base + QStringLiteral("/bench/zem_bench"),
                     o.base + QStringLiteral("/app/zemK58N")};
        for (const QString &f : {base->bench, base->app}) {
            if (!QFileInfo(f).isExecutable()) {
                std::fprintf(stderr, "zem_bench: %s is not there; build the base first\n", qPrintable(f));
                return 2;
            }
        }
    }
    // A side-by-side run is read for differences of a fifth: more opens per process steady it.
    if (base && !o.quick)
        o.later = 12;
    if (!QFileInfo(self.app).isExecutable()) {
        std::fprintf(stderr, "zem_bench: %s is not there; build it first\n", qPrintable(self.app));
        return 2;
    }
    Bench bench(o, self, base);
    return bench.run();
}
