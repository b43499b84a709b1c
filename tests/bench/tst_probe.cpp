// The bench's measuring processes as the driver runs them: what each prints for the program
// built here, and the bench's own X server telling a drawn window from a blank screen.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

#include "frameclock.h"
#include "waits.h"
#include "xserver.h"

namespace {

struct Run
{
    int exit = -1;
    QList<QByteArray> lines;
};

Run probe(const QStringList &args, int limit_ms = 120000)
{
    QProcess p;
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(QStringLiteral(ZEM_BENCH_BINARY), QStringList{QStringLiteral("--probe")} + args);
    Run r;
    if (!p.waitForFinished(limit_ms)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exit = p.exitCode();
    r.lines = p.readAllStandardOutput().split('\n');
    return r;
}

// The numbers after "key " on the line that starts with it.
QList<double> values(const Run &r, const QByteArray &key)
{
    QList<double> v;
    for (const QByteArray &l : r.lines) {
        if (!l.startsWith(key + ' '))
            continue;
        for (const QByteArray &t : l.mid(key.size() + 1).split(' '))
            v << t.toDouble();
        break;
    }
    return v;
}

}

class TestProbe : public QObject
{
    Q_OBJECT
private slots:
    void lists_the_screens_to_open()
    {
        const Run r = probe({QStringLiteral("list")});
        QCOMPARE(r.exit, 0);
        for (const char *name : {"InputChoose", "InputCut", "EDIDset", "MachineState", "factory", "SmartMapping"})
            QVERIFY2(r.lines.contains(name), name);
        // Both are up from the start: neither has a first open of its own.
        QVERIFY(!r.lines.contains("LockWindow"));
        QVERIFY(!r.lines.contains("MainWindow"));
    }

    // The screen and the yardstick open by turns in one process, so that a load that slows one
    // slows the other alike: a screen with pictures, rich text and a form is slower to draw than
    // one label, over the median of their opens.
    void opens_a_screen_and_a_yardstick()
    {
        QTemporaryDir a;
        const Run r = probe({QStringLiteral("open"), QStringLiteral("InputChoose"), a.path(), QStringLiteral("7"),
                             QStringLiteral("label")});
        QCOMPARE(r.exit, 0);
        QCOMPARE(values(r, "first").size(), 1);
        QVERIFY(values(r, "first")[0] > 0);
        const QList<double> screen = values(r, "later"), label = values(r, "yardstick");
        QCOMPARE(screen.size(), 7);
        QCOMPARE(label.size(), 7);
        for (double ms : screen + label)
            QVERIFY(ms > 0);
        const auto median = [](QList<double> v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        QVERIFY2(median(screen) > median(label), qPrintable(QStringLiteral("%1 ms, the label %2 ms")
                                                                .arg(median(screen)).arg(median(label))));
        QTemporaryDir b, c;
        const Run alone = probe({QStringLiteral("open"), QStringLiteral("label"), b.path(), QStringLiteral("2")});
        QCOMPARE((QList<int>{alone.exit, int(values(alone, "later").size()), int(values(alone, "yardstick").size())}),
                 (QList<int>{0, 2, 0}));
        QCOMPARE(probe({QStringLiteral("open"), QStringLiteral("NoSuchScreen"), c.path(), QStringLiteral("1")}).exit, 2);
    }

    void keys_reach_their_last_frame()
    {
        QTemporaryDir root;
        const Run r = probe({QStringLiteral("keys"), root.path(), QStringLiteral("3")});
        QCOMPARE(r.exit, 0);
        QMap<QByteArray, int> seen;
        for (const QByteArray &l : r.lines) {
            // The LED key must have switched the LED each time: the road to it held.
            QVERIFY2(!l.startsWith("warning"), l.constData());
            const QList<QByteArray> f = l.split(' ');
            if (f.value(0) != "key")
                continue;
            QCOMPARE(f.size(), 5);
            ++seen[f[1]];
            QVERIFY2(f[2].toDouble() > 0, l.constData());   // a frame came
            QVERIFY(f[3].toDouble() >= f[4].toDouble());      // blocked in all >= the longest block
            QVERIFY(f[4].toDouble() > 0);
        }
        QCOMPARE(seen.value("label"), 3);
        QCOMPARE(seen.value("focus"), 6);
        QCOMPARE(seen.value("led"), 3);
        QCOMPARE(seen.value("freeze"), 3);
    }

    void startup_tells_its_first_frame()
    {
        QTemporaryDir root;
        const int64_t before = bench::now_ns();
        const Run r = probe({QStringLiteral("startup"), root.path()});
        const int64_t after = bench::now_ns();
        QCOMPARE(r.exit, 0);
        const QList<double> frame = values(r, "frame_ns");
        QCOMPARE(frame.size(), 1);
        QVERIFY(frame[0] > before && frame[0] < after);
        QVERIFY(values(r, "rss_kib").value(0) > 1000);
    }

    void x_server_sees_a_window_drawn()
    {
        bench::Xserver x;
        QString error;
        if (x.start(&error).isEmpty())
            QSKIP(qPrintable(error));
        QVERIFY(!x.screen_has_picture());
        x.watch_maps();
        QProcess dialog;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), x.display());
        dialog.setProcessEnvironment(env);
        dialog.start(QStringLiteral(ZEM_BENCH_BINARY), {QStringLiteral("--probe"), QStringLiteral("idle-baseline")});
        QVERIFY(zemtest::poll_until([&] { return x.screen_has_picture(); }));
        QVERIFY(x.maps_seen() >= 1);
        dialog.kill();
        dialog.waitForFinished();
        QVERIFY(x.wait_blank(zemtest::kCeilingMs));
    }
};

QTEST_GUILESS_MAIN(TestProbe)
#include "tst_probe.moc"
