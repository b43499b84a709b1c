// The run command, copied into a checkout of its own where what it would install, build and start
// are stand-ins that record what they were asked, from where, and when they were stopped; with a
// DISPLAY so that it starts a nested X server, here a stand-in that gives a display number and
// stays until stopped. Nothing is installed or built, and no X server runs. The script runs in a
// process group of its own, as a terminal starts a command.
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testroot.h"

namespace {

// Each stand-in writes its name to the events when it starts, its process id to the pids, and how
// it ended; the program, the X server and what ZEM_STANDIN_HOLDS names wait on the hold (a FIFO
// the test keeps open) until stopped, or until the test lets go of it, so that none outlives a
// failed test. The install, let go, takes a moment to end, in which it could be stopped.
const char kDeps[] = R"(#!/usr/bin/env bash
r=$ZEM_STANDIN_RECORDS
echo deps >>"$r/events"
echo $$ >>"$r/pids"
[ "$ZEM_STANDIN_HOLDS" = deps ] || exit 0
read -r _ <"$ZEM_STANDIN_HOLD"
sleep 0.5
echo "deps done" >>"$r/events"
)";
// As cmake does, it waits for the build tool it started to end, even when stopped.
const char kCMake[] = R"(#!/usr/bin/env bash
r=$ZEM_STANDIN_RECORDS
echo cmake >>"$r/events"
echo $$ >>"$r/pids"
[ "$1 $ZEM_STANDIN_HOLDS" = "--build ninja" ] || exit 0
trap 'echo "cmake stopped" >>"$r/events"; exit 143' TERM
ninja
)";
const char kNinja[] = R"(#!/usr/bin/env bash
r=$ZEM_STANDIN_RECORDS
trap 'echo "ninja stopped" >>"$r/events"; exit 143' TERM
echo ninja >>"$r/events"
echo $$ >>"$r/pids"
read -r _ <"$ZEM_STANDIN_HOLD"
)";
// For what would install something or start the other X server: seen, and failing.
const char kRefuser[] = R"(#!/usr/bin/env bash
echo "${0##*/}" >>"$ZEM_STANDIN_RECORDS/events"
exit 1
)";
// Started with Ctrl-C ignored, it takes it all the same, as an X server does, and quits at once.
// With ZEM_STANDIN_NO_SCREEN it gives no number, logs that text instead, and fails in the script's
// first pause between two looks at the number.
const char kXServer[] = R"(#!/usr/bin/env bash
[ -n "$ZEM_STANDIN_RESET" ] || ZEM_STANDIN_RESET=1 exec env --default-signal=INT "$0" "$@"
r=$ZEM_STANDIN_RECORDS
trap 'echo "Xephyr stopped" >>"$r/events"; exit 0' TERM
trap 'echo "Xephyr interrupted" >>"$r/events"; exit 130' INT
echo Xephyr >>"$r/events"
echo $$ >>"$r/pids"
fd=""
while [ $# -gt 0 ]; do [ "$1" = -displayfd ] && fd=$2; shift; done
readlink "/proc/$$/fd/$fd" >"$r/display-file"
readlink "/proc/$$/fd/1" >"$r/log-file"
if [ -n "$ZEM_STANDIN_NO_SCREEN" ]; then
  printf '%s' "$ZEM_STANDIN_NO_SCREEN"
  echo $$ >"$r/xserver-pid"
  read -r _ <"$ZEM_STANDIN_HOLD"
  echo "Xephyr ends" >>"$r/events"
  exit 1
fi
echo 37 >&"$fd"
read -r _ <"$ZEM_STANDIN_HOLD"
echo "Xephyr let go" >>"$r/events"
)";
// It takes a moment to stop, in which ZEM_STANDIN_AGAIN has the script signalled a second time.
const char kProgram[] = R"(#!/usr/bin/env bash
r=$ZEM_STANDIN_RECORDS
stopping() {
  echo "zemK58N stopping" >>"$r/events"
  [ -z "$ZEM_STANDIN_AGAIN" ] || kill -s "$ZEM_STANDIN_AGAIN" "$PPID"
  sleep 0.5
  echo "zemK58N stopped" >>"$r/events"
  exit 143
}
trap stopping TERM
echo $$ >>"$r/pids"
pwd -P >"$r/program-cwd"
printf '%s\0' "$@" >"$r/program-args"
printf '%s' "$DISPLAY" >"$r/program-display"
echo zemK58N >>"$r/events"
if [ -n "$ZEM_STANDIN_END" ]; then echo "zemK58N ends" >>"$r/events"; exit "$ZEM_STANDIN_END"; fi
read -r _ <"$ZEM_STANDIN_HOLD"
echo "zemK58N let go" >>"$r/events"
)";
// The script's pause between two looks at the X server's number, for the X server that does not
// start: it lets that fail and lasts until the script has taken its end.
const char kLook[] = R"(#!/usr/bin/env bash
r=$ZEM_STANDIN_RECORDS
until [ -s "$r/xserver-pid" ]; do command -p sleep 0.01; done
echo >"$ZEM_STANDIN_HOLD"
read -r xserver <"$r/xserver-pid"
tail -s 0.01 --pid="$xserver" -f /dev/null
echo look >>"$r/events"
)";
const QString kNoScreen = "Fatal server error:\nno screen\n";

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

// Those of the processes listed that still run: there, and not ended awaiting their parent.
QStringList running(const QByteArray &pids)
{
    QStringList left;
    for (const QByteArray &pid : pids.split('\n')) {
        const QByteArray stat = contents("/proc/" + QString::fromLatin1(pid) + "/stat");
        if (!pid.isEmpty() && !stat.isEmpty() && stat.at(stat.lastIndexOf(')') + 2) != 'Z')
            left << QString::fromLatin1(pid);
    }
    return left;
}

// As a terminal starts a command: in a process group of its own, which Ctrl-C reaches whole.
class Command : public QProcess
{
protected:
    void setupChildProcess() override { ::setpgid(0, 0); }
};

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
    // itself with `end` as its status, or waits to be stopped when it is empty. `standins` sets
    // what the stand-ins read besides.
    void start(QProcess &script, const QString &from, const QStringList &args, const QString &end,
               const QList<QPair<QString, QString>> &standins = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", at("bin") + ':' + environment.value("PATH"));
        environment.insert("TMPDIR", at("tmp"));
        environment.insert("DISPLAY", ":zem-stand-in");
        environment.insert("ZEM_STANDIN_RECORDS", at("records"));
        environment.insert("ZEM_STANDIN_HOLD", at("hold"));
        environment.insert("ZEM_STANDIN_END", end);
        for (const auto &[name, value] : standins)
            environment.insert(name, value);
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
        QVERIFY(put(at("checkout/scripts/deps"), kDeps));
        QVERIFY(put(at("checkout/build/app/zemK58N"), kProgram));
        QVERIFY(put(at("bin/cmake"), kCMake));
        QVERIFY(put(at("bin/ninja"), kNinja));
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

    // A run that cannot go on says why and stops: on a root the program would refuse, before
    // anything is installed, built or started; on an X server that does not start, as soon as it has
    // ended, naming its log, which is kept.
    void stops_with_its_reason_data()
    {
        columns<QStringList, QString, QStringList>({"args", "said", "expected"});
        const QString bare = "zemK58N: --root is not followed by a data root\n";
        const QString empty = "zemK58N: data root \"\" refused: the name is empty\n";
        QTest::newRow("bare --root") << QStringList{"--no-wait", "--root"} << bare << QStringList();
        QTest::newRow("bare --root after a good one") << QStringList{"--root", "{root}", "--root"} << bare << QStringList();
        QTest::newRow("--root=") << QStringList{"--root="} << empty << QStringList();
        QTest::newRow("--root ''") << QStringList{"--root", ""} << empty << QStringList();
        QTest::newRow("--root= after a good one") << QStringList{"--root={root}", "--root="} << empty << QStringList();
        QTest::newRow("an X server that does not start")
            << QStringList{"--root={root}"} << "zemK58N: the X server did not start; its log: {log}\n" + kNoScreen
            << QStringList{"deps", "cmake", "cmake", "Xephyr", "Xephyr ends", "look"};
    }
    void stops_with_its_reason()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        QFETCH(QStringList, expected);
        const bool xserver = !expected.isEmpty();
        if (xserver)
            QVERIFY(put(at("bin/sleep"), kLook));
        Command script;
        start(script, "caller", args, "0", {{"ZEM_STANDIN_NO_SCREEN", xserver ? kNoScreen : QString()}});
        QVERIFY(ended(script));
        const QString log = QString::fromUtf8(contents(at("records/log-file"))).trimmed();
        QCOMPARE(QString::fromUtf8(script.readAllStandardError()), said.replace("{log}", log));
        QCOMPARE(script.exitCode(), xserver ? 1 : 2);
        QCOMPARE(script.readAllStandardOutput(), QByteArray());
        QCOMPARE(events(), expected);
        if (xserver) {
            const QString kept = QFileInfo(folder_of(log)).fileName();
            QCOMPARE(entries(at("tmp")), (QStringList{kept, kept + "/xserver.display", kept + "/xserver.log"}));
            QCOMPARE(QString::fromUtf8(contents(log)), kNoScreen);
        } else {
            QCOMPARE(entries(at("tmp")), QStringList());
        }
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
        Command script;
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

    // A signal to the script stops what it has started, and the script ends with its files gone:
    // during the build, the build tool too; while the program runs, the program, then the X
    // server, a second signal while the program stops included; during an install, nothing, once
    // the install has run to its end. Ctrl-C reaches the script's process group, as a terminal's.
    void signal_stops_everything_data()
    {
        columns<QString, int, QString, QStringList>({"during", "signal", "again", "expected"});
        const QStringList install{"deps", "deps done"};
        const QStringList build{"deps", "cmake", "cmake", "ninja", "ninja stopped", "cmake stopped"};
        const QStringList program{"deps", "cmake", "cmake", "Xephyr", "zemK58N", "zemK58N stopping", "zemK58N stopped", "Xephyr stopped"};
        QTest::newRow("SIGTERM while the program runs") << "zemK58N" << int(SIGTERM) << "" << program;
        QTest::newRow("Ctrl-C while the program runs") << "zemK58N" << int(SIGINT) << "" << program;
        QTest::newRow("SIGTERM twice") << "zemK58N" << int(SIGTERM) << "TERM" << program;
        QTest::newRow("Ctrl-C twice") << "zemK58N" << int(SIGINT) << "INT" << program;
        QTest::newRow("SIGTERM during the build") << "ninja" << int(SIGTERM) << "" << build;
        QTest::newRow("Ctrl-C during the build") << "ninja" << int(SIGINT) << "" << build;
        QTest::newRow("SIGTERM during the install") << "deps" << int(SIGTERM) << "" << install;
        QTest::newRow("Ctrl-C during the install") << "deps" << int(SIGINT) << "" << install;
        // The terminal gone: its hang-up reaches the script and the program, which ends at once.
        QTest::newRow("the terminal closed while the program runs")
            << "zemK58N" << int(SIGHUP) << "" << QStringList{"deps", "cmake", "cmake", "Xephyr", "zemK58N", "Xephyr stopped"};
    }
    void signal_stops_everything()
    {
        QFETCH(QString, during);
        QFETCH(int, signal);
        QFETCH(QString, again);
        QFETCH(QStringList, expected);
        QVERIFY(QDir().mkpath(at("root")) && put(at("root/keep"), "kept"));
        Command script;
        start(script, "caller", {"--root={root}"}, QString(), {{"ZEM_STANDIN_HOLDS", during}, {"ZEM_STANDIN_AGAIN", again}});
        zemtest::wait_until([&] { return events().contains(during) || script.state() == QProcess::NotRunning; });
        QVERIFY2(events().contains(during), script.readAllStandardError().constData());
        const pid_t pid = pid_t(script.processId());
        // What a terminal sends reaches its whole foreground group.
        QCOMPARE(::kill(signal == SIGTERM ? pid : -pid, signal), 0);
        // The install is let go only once the script has the signal.
        if (during == "deps")
            QCOMPARE(::write(m_hold, "\n", 1), ssize_t(1));
        QVERIFY2(ended(script), "the script did not end");
        QCOMPARE(running(contents(at("records/pids"))), QStringList());
        QCOMPARE(script.exitStatus(), QProcess::NormalExit);
        QCOMPARE(script.exitCode(), 128 + signal);
        QCOMPARE(events(), expected);
        QCOMPARE(entries(at("tmp")), QStringList());
        QCOMPARE(entries(at("root")), QStringList{"keep"});
    }
};

QTEST_GUILESS_MAIN(TestRunScript)
#include "tst_run_script.moc"
