// The run command, copied into a checkout of its own where what it would install, build and start
// are stand-ins that record what they were asked, from where, and when they were stopped; with a
// DISPLAY so that it starts a nested X server, here a stand-in that gives a display number and
// stays until stopped. Nothing is installed or built, and no X server runs.
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testroot.h"

namespace {

// Each stand-in writes its name to the events when it starts and says how it ended; the program
// and the X server wait on the hold (a FIFO the test keeps open) until stopped, or until the test
// lets go of it, so that none outlives a failed test.
const char kRecorder[] = R"(#!/usr/bin/env bash
echo "${0##*/}" >>"$ZEM_STANDIN_RECORDS/events"
)";
// For what would install something or start the other X server: seen, and failing.
const char kRefuser[] = R"(#!/usr/bin/env bash
echo "${0##*/}" >>"$ZEM_STANDIN_RECORDS/events"
exit 1
)";
const char kXServer[] = R"(#!/usr/bin/env bash
r=$ZEM_STANDIN_RECORDS
trap 'echo "Xephyr stopped" >>"$r/events"; exit 0' TERM
echo Xephyr >>"$r/events"
fd=""
while [ $# -gt 0 ]; do [ "$1" = -displayfd ] && fd=$2; shift; done
readlink "/proc/$$/fd/$fd" >"$r/display-file"
readlink "/proc/$$/fd/1" >"$r/log-file"
echo 37 >&"$fd"
read -r _ <"$ZEM_STANDIN_HOLD"
echo "Xephyr let go" >>"$r/events"
)";
const char kProgram[] = R"(#!/usr/bin/env bash
r=$ZEM_STANDIN_RECORDS
trap 'echo "zemK58N stopped" >>"$r/events"; exit 143' TERM
pwd -P >"$r/program-cwd"
printf '%s\0' "$@" >"$r/program-args"
printf '%s' "$DISPLAY" >"$r/program-display"
echo zemK58N >>"$r/events"
if [ -n "$ZEM_STANDIN_END" ]; then echo "zemK58N ends" >>"$r/events"; exit "$ZEM_STANDIN_END"; fi
read -r _ <"$ZEM_STANDIN_HOLD"
echo "zemK58N let go" >>"$r/events"
)";

// A file that its owner alone may read, write and run.
bool put(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size()
           && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The words of a file each ended by a zero byte, as the stand-in program lists its arguments.
QStringList words(const QByteArray &bytes)
{
    QStringList list;
    for (const QByteArray &word : bytes.split('\0'))
        list << QString::fromUtf8(word);
    list.removeLast();
    return list;
}

// Everything below `folder`, named from it, sorted.
QStringList entries(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

QString folder_of(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

}

class TestRunScript : public QObject
{
    Q_OBJECT

    QString m_work;
    int m_hold = -1;

    QString at(const QString &name) const { return m_work + '/' + name; }
    QString expand(QString text) const
    {
        for (const char *name : {"checkout", "caller", "root", "other"})
            text.replace(QStringLiteral("{%1}").arg(name), at(name));
        return text;
    }
    QStringList expand(QStringList list) const
    {
        for (QString &text : list)
            text = expand(text);
        return list;
    }
    QStringList events() const { return QString::fromUtf8(contents(at("records/events"))).split('\n', Qt::SkipEmptyParts); }

    // The script started from the folder `from` of the work folder; the stand-in program ends by
    // itself with `end` as its status, or waits to be stopped when it is empty.
    void start(QProcess &script, const QString &from, const QStringList &args, const QString &end)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", at("bin") + ':' + environment.value("PATH"));
        environment.insert("TMPDIR", at("tmp"));
        environment.insert("DISPLAY", ":zem-stand-in");
        environment.insert("ZEM_STANDIN_RECORDS", at("records"));
        environment.insert("ZEM_STANDIN_HOLD", at("hold"));
        environment.insert("ZEM_STANDIN_END", end);
        script.setProcessEnvironment(environment);
        script.setWorkingDirectory(at(from));
        script.start(at("checkout/scripts/run"), expand(args));
    }
    static bool ended(QProcess &script)
    {
        return zemtest::wait_until([&] { return script.state() == QProcess::NotRunning; });
    }

private slots:
    void initTestCase()
    {
        // Started in the background by a shell, this test may have these ignored, and the script
        // would inherit that and could not trap them.
        for (const int sig : {SIGINT, SIGTERM}) {
            struct sigaction action;
            if (::sigaction(sig, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
                ::signal(sig, SIG_DFL);
        }
    }
    void init()
    {
        const QString base = qEnvironmentVariable("ZEM_TEST_ROOT", QDir::tempPath() + "/zem-test-" + QString::number(QCoreApplication::applicationPid()));
        QDir(base).removeRecursively();
        for (const char *folder : {"caller", "tmp", "records", "bin", "checkout/build/app"})
            QVERIFY(QDir().mkpath(base + '/' + folder));
        // The script names folders as the system resolves them.
        m_work = QFileInfo(base).canonicalFilePath();
        QVERIFY(put(at("checkout/scripts/run"), contents(ZEM_RUN_SCRIPT)));
        QVERIFY(put(at("checkout/scripts/deps"), kRecorder));
        QVERIFY(put(at("checkout/build/app/zemK58N"), kProgram));
        QVERIFY(put(at("bin/cmake"), kRecorder));
        QVERIFY(put(at("bin/Xephyr"), kXServer));
        for (const char *refused : {"apt-get", "sudo", "Xvnc"})
            QVERIFY(put(at("bin/") + refused, kRefuser));
        QVERIFY(::mkfifo(QFile::encodeName(at("hold")).constData(), 0600) == 0);
        m_hold = ::open(QFile::encodeName(at("hold")).constData(), O_RDWR | O_CLOEXEC);
        QVERIFY(m_hold >= 0);
    }
    // A stand-in still waiting ends at once; one not yet waiting finds no hold.
    void cleanup()
    {
        ::unlink(QFile::encodeName(at("hold")).constData());
        ::close(m_hold);
        m_hold = -1;
    }

    // A root the program would refuse stops the run before anything is installed, built or started.
    void refused_before_anything_runs_data()
    {
        columns<QStringList, QString>({"args", "said"});
        const QString bare = "zemK58N: --root is not followed by a data root\n";
        const QString empty = "zemK58N: data root \"\" refused: the name is empty\n";
        QTest::newRow("bare --root") << QStringList{"--no-wait", "--root"} << bare;
        QTest::newRow("bare --root after a good one") << QStringList{"--root", "{root}", "--root"} << bare;
        QTest::newRow("--root=") << QStringList{"--root="} << empty;
        QTest::newRow("--root ''") << QStringList{"--root", ""} << empty;
        QTest::newRow("--root= after a good one") << QStringList{"--root={root}", "--root="} << empty;
    }
    void refused_before_anything_runs()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        QProcess script;
        start(script, "caller", args, "0");
        QVERIFY(ended(script));
        QCOMPARE(QString::fromUtf8(script.readAllStandardError()), said);
        QCOMPARE(script.exitCode(), 2);
        QCOMPARE(script.readAllStandardOutput(), QByteArray());
        QCOMPARE(events(), QStringList());
        QCOMPARE(entries(at("tmp")), QStringList());
        QVERIFY(!QFileInfo::exists(at("checkout/run-data")));
    }

    // The program runs from the caller's folder on the root it was given, which the line names;
    // the X server's files are in a temporary folder of their own, gone at the end, and the roots
    // keep what they held.
    void runs_on_its_root_data()
    {
        columns<QString, QStringList, QString, QStringList>({"from", "args", "root", "program"});
        QTest::newRow("--root=DIR") << "caller" << QStringList{"--root={root}", "--no-wait"} << "{root}"
                                    << QStringList{"--root={root}", "--no-wait"};
        QTest::newRow("--root DIR") << "caller" << QStringList{"--no-wait", "--root", "{root}"} << "{root}"
                                    << QStringList{"--no-wait", "--root", "{root}"};
        QTest::newRow("relative, from another folder") << "caller" << QStringList{"--root", "rel"} << "{caller}/rel"
                                                       << QStringList{"--root", "rel"};
        QTest::newRow("two roots, the last wins") << "caller" << QStringList{"--root", "{other}", "--root={root}"} << "{root}"
                                                  << QStringList{"--root", "{other}", "--root={root}"};
        QTest::newRow("an empty root, then a good one") << "caller" << QStringList{"--root=", "--root", "{root}"} << "{root}"
                                                        << QStringList{"--root=", "--root", "{root}"};
        QTest::newRow("a root named --root") << "caller" << QStringList{"--root", "--root"} << "{caller}/--root"
                                             << QStringList{"--root", "--root"};
        QTest::newRow("default, from the checkout") << "checkout" << QStringList{"--no-wait"} << "{checkout}/run-data"
                                                    << QStringList{"--root", "{checkout}/run-data", "--no-wait"};
        QTest::newRow("default, from another folder") << "caller" << QStringList{} << "{checkout}/run-data"
                                                      << QStringList{"--root", "{checkout}/run-data"};
    }
    void runs_on_its_root()
    {
        QFETCH(QString, from);
        QFETCH(QStringList, args);
        QFETCH(QString, root);
        QFETCH(QStringList, program);
        root = expand(root);
        const bool default_root = root == at("checkout/run-data");
        for (const QString &folder : {root, at("other")})
            QVERIFY(QDir().mkpath(folder) && put(folder + "/keep", "kept"));
        QProcess script;
        start(script, from, args, "5");
        QVERIFY(ended(script));
        QCOMPARE(QString::fromUtf8(script.readAllStandardError()), QString());
        QCOMPARE(script.exitCode(), 5);
        QCOMPARE(QString::fromUtf8(script.readAllStandardOutput()),
                 "zemK58N: a 320x240 window on :zem-stand-in (data root " + root + ")\n");
        QCOMPARE(events(), (QStringList{"deps", "cmake", "cmake", "Xephyr", "zemK58N", "zemK58N ends", "Xephyr stopped"}));
        QCOMPARE(words(contents(at("records/program-args"))),
                 QStringList({"-platform", "xcb"}) + expand(program));
        QCOMPARE(QString::fromUtf8(contents(at("records/program-cwd"))), at(from) + '\n');
        QCOMPARE(contents(at("records/program-display")), QByteArray(":37"));
        const QString display_file = QString::fromUtf8(contents(at("records/display-file"))).trimmed();
        QCOMPARE(folder_of(folder_of(display_file)), at("tmp"));
        QCOMPARE(folder_of(QString::fromUtf8(contents(at("records/log-file"))).trimmed()), folder_of(display_file));
        QCOMPARE(entries(at("tmp")), QStringList());
        QCOMPARE(entries(root), (default_root ? QStringList{"data", "data/configs", "data/modes", "keep"} : QStringList{"keep"}));
        QCOMPARE(entries(at("other")), QStringList{"keep"});
        QCOMPARE(QFileInfo::exists(at("checkout/run-data")), default_root);
    }

    // A signal to the script, while the program runs on, stops the program, then the X server, and
    // the script ends with its files gone; Ctrl-C too, which the program started by it ignores.
    void signal_stops_everything_data()
    {
        columns<int, int>({"signal", "status"});
        QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
        QTest::newRow("SIGINT") << int(SIGINT) << 130;
    }
    void signal_stops_everything()
    {
        QFETCH(int, signal);
        QFETCH(int, status);
        QVERIFY(QDir().mkpath(at("root")) && put(at("root/keep"), "kept"));
        QProcess script;
        start(script, "caller", {"--root={root}"}, QString());
        zemtest::wait_until([&] { return events().contains("zemK58N") || script.state() == QProcess::NotRunning; });
        QVERIFY2(events().contains("zemK58N"), script.readAllStandardError().constData());
        QCOMPARE(::kill(pid_t(script.processId()), signal), 0);
        QVERIFY2(ended(script), "the script did not end");
        QCOMPARE(script.exitStatus(), QProcess::NormalExit);
        QCOMPARE(script.exitCode(), status);
        QCOMPARE(events(), (QStringList{"deps", "cmake", "cmake", "Xephyr", "zemK58N", "zemK58N stopped", "Xephyr stopped"}));
        QCOMPARE(entries(at("tmp")), QStringList());
        QCOMPARE(entries(at("root")), QStringList{"keep"});
    }
};

QTEST_GUILESS_MAIN(TestRunScript)
#include "tst_run_script.moc"
