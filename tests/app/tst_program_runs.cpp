// The program itself, started as a person would on a fresh data root: its threads start, it runs
// them for a few seconds and is still running when it is stopped. Under the sanitizers this checks
// the running program, not only the tests' pieces of it.
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <cstdio>
#include <cstring>
#include <dirent.h>

#include "testroot.h"

namespace {

// Ends a wait for what never comes; a starved core under the thread sanitizer takes a small part
// of it to start the program.
constexpr int kCeilingMs = 5 * 60 * 1000;
// How long the threads are left running once all of them are under way.
constexpr qint64 kRunningMs = 3000;
// The main thread and the five the start adds: chip, FPGA, source, USB listener, WiFi.
constexpr int kThreads = 6;

// The threads of the process `pid`, as the system counts them.
int threads_of(qint64 pid)
{
    int count = 0;
    if (DIR *d = ::opendir(("/proc/" + QByteArray::number(pid) + "/task").constData())) {
        while (const dirent *e = ::readdir(d))
            count += std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0;
        ::closedir(d);
    }
    return count;
}

}

class TestProgramRuns : public QObject
{
    Q_OBJECT
private slots:
    void program_runs()
    {
        const QString root = fresh_test_root() + "/run";
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(ZEM_PROGRAM, {"--no-wait", "--root", root});
        QVERIFY2(program.waitForStarted(-1), qPrintable(program.errorString()));
        QByteArray errors;
        const auto stopped = qScopeGuard([&] {
            if (program.state() != QProcess::NotRunning) {
                program.kill();
                program.waitForFinished(-1);
            }
        });
        const auto said = [&] {
            errors += program.readAllStandardError();
            return QString::fromLocal8Bit(errors);
        };

        // The WiFi thread, started last, records the access point's last command once the clock
        // has ticked through its steps: by then the event loop runs and every thread has been
        // started, as the count of the program's threads shows.
        const auto started = [&] {
            QFile log(root + "/shell.log");
            return log.open(QIODevice::ReadOnly) && log.readAll().contains("hostapd");
        };
        zemtest::wait_until([&] { return program.state() == QProcess::NotRunning || started(); }, kCeilingMs);
        QVERIFY2(program.state() == QProcess::Running, qPrintable("the program ended at start:\n" + said()));
        QVERIFY2(started(), qPrintable("the WiFi thread never ran its steps:\n" + said()));
        const int threads = threads_of(program.processId());
        QVERIFY2(threads >= kThreads, qPrintable(QString("%1 threads, not %2:\n").arg(threads).arg(kThreads) + said()));

        QElapsedTimer running;
        running.start();
        zemtest::wait_until([&] { return program.state() == QProcess::NotRunning || running.elapsed() >= kRunningMs; },
                            kCeilingMs);
        QVERIFY2(program.state() == QProcess::Running, qPrintable("the program ended while running:\n" + said()));

        program.terminate();
        zemtest::wait_until([&] { return program.state() == QProcess::NotRunning; }, kCeilingMs);
        QVERIFY2(program.state() == QProcess::NotRunning, "the program did not end when asked");
        const QString text = said();
        // Shown where the test runner looks for the sanitizers' reports as well.
        std::fputs(qPrintable(text), stderr);
        QVERIFY2(!text.contains(QRegularExpression("ThreadSanitizer|AddressSanitizer|runtime error")), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestProgramRuns)
#include "tst_program_runs.moc"
