// The start before the screens, on a data root that cannot be written, on one where an
// interrupted save left its temporary files, and on one it refuses; the session bus and the
// runtime folder it names before the application.
#include <QDBusConnection>
#include <QProcess>
#include <QtTest>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "config_engine.h"
#include "global.h"
#include "paths.h"
#include "safe_file.h"
#include "startup.h"
#include "testroot.h"
#include "zemrampara.h"

namespace {
// `path` lengthened to exactly `length` bytes by folders below it, each as long as the system takes
// or shorter.
QByteArray lengthened(QByteArray path, int length)
{
    while (path.size() < length) {
        const int left = length - path.size() - 1;
        int name = qMin(left, NAME_MAX);
        // A single byte left over could not hold a slash and a name.
        if (left - name == 1)
            --name;
        path += '/' + QByteArray(name, 'p');
    }
    return path;
}

// The names in `folder`, as the bytes they are, in byte order.
QByteArrayList entries(const QByteArray &folder)
{
    QByteArrayList names;
    if (DIR *d = ::opendir(folder.constData())) {
        while (const dirent *e = ::readdir(d)) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names << QByteArray(e->d_name);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A Unix socket that takes connections and drops them at once, counting them; a bus library that
// reaches it fails at once instead of waiting for a greeting.
class Listener
{
public:
    explicit Listener(const QByteArray &path)
    {
        sockaddr_un addr{};
        if (path.size() >= int(sizeof addr.sun_path))
            return;
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.constData(), sizeof addr.sun_path - 1);
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(m_fd, 8) != 0)
            return;
        m_listening = true;
        m_thread = std::thread([this] {
            for (int fd; (fd = ::accept(m_fd, nullptr, nullptr)) >= 0 || errno == EINTR;) {
                if (fd >= 0) {
                    ++m_connections;
                    ::close(fd);
                }
            }
        });
    }
    ~Listener()
    {
        // Wakes the accept with an error, which ends the thread.
        ::shutdown(m_fd, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_fd);
    }
    bool listening() const { return m_listening; }
    int connections() const { return m_connections; }

private:
    int m_fd = -1;
    bool m_listening = false;
    std::atomic<int> m_connections{0};
    std::thread m_thread;
};
}

class TestStartup : public QObject
{
    Q_OBJECT
    // A start names the runtime folder, and one that cannot have it the temporary folder, for the
    // whole process: each test begins with the test run's own.
    struct Variable
    {
        const char *name;
        bool set;
        QByteArray value;
    };
    std::vector<Variable> m_environment;

private slots:
    void init()
    {
        m_environment.clear();
        for (const char *name : {"TMPDIR", "XDG_RUNTIME_DIR"})
            m_environment.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
    }
    void cleanup()
    {
        for (const Variable &v : m_environment)
            v.set ? qputenv(v.name, v.value) : qunsetenv(v.name);
    }
    void start_data()
    {
        // file: made a file where the start wants a folder; said: warnings naming an unwritable root
        columns<QString, int>({"file", "said"});
        QTest::newRow("the root itself") << "" << 1;
        QTest::newRow("data") << "/data" << 1;
        QTest::newRow("data/modes") << "/data/modes" << 1;
        QTest::newRow("writable, with leftovers") << "/data/notes" << 0;
    }
    void start()
    {
        QFETCH(QString, file);
        const QString root = fresh_test_root(QString(QTest::currentDataTag()).replace('/', '_'));
        QDir(root + "-outside").removeRecursively();
        QDir().mkpath(root + "-outside");
        const QString leftover = Utils::temporary_name();
        QFile outside(root + "-outside/" + leftover);
        QVERIFY(outside.open(QIODevice::WriteOnly));
        const QString config_leftover = "/data/configs/" + Utils::temporary_name();
        const QString mode_leftover = "/data/modes/" + Utils::temporary_name();
        for (const QString &f : {"/data/" + leftover, "/data/rcvrecovery/" + Utils::temporary_name(), config_leftover,
                                 mode_leftover, QString("/data/.keep"), QString("/data/x.tmp"), QString("/data/.x.tmp")})
            write_dev_file(f, "torn");
        QVERIFY(QFile::link(root + "-outside/" + leftover, Paths::dev("/data/" + Utils::temporary_name())));
        QVERIFY(QFile::link(root + "-outside", Paths::dev("/data/linked")));
        QDir(root + file).removeRecursively();
        QVERIFY(QFile(root + file).open(QIODevice::WriteOnly));

        ConfigEngine::destroy_for_test();
        ZemRamPara::destroy_for_test();
        Warnings warnings;
        StartupOptions options;
        options.root = root;
        startup_core(options);
        QTEST(warnings.count("the data root cannot be written"), "said");
        QVERIFY(ZemRamPara::p_zemrampara_config && ConfigEngine::p_config);
        QFile::remove(root);
        if (file != "/data/notes")
            return;
        // The safe writer's leftovers go, links removed and not followed; other files stay, those
        // that only look like leftovers too.
        QCOMPARE(QDir(Paths::dev("/data")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 (QStringList{".keep", ".x.tmp", "configs", "linked", "modes", "notes", "ram_device_info", "rcvrecovery", "x.tmp"}));
        QVERIFY(QDir(Paths::dev("/data/rcvrecovery")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
        for (const QString &f : {config_leftover, mode_leftover})
            QVERIFY2(!QFile::exists(Paths::dev(f)), qPrintable(f));
        QVERIFY(QFile::exists(root + "-outside/" + leftover));
    }
    // The data root named is the one used, or none at all: a name that would lead elsewhere once
    // made text, one the system never takes, or a --root with no name after it stops the start
    // with one line and makes nothing. In the arguments "{}" is a fresh folder; the start is made
    // in its folder `in` (made with those bytes; "gone" is deleted once entered), or in it when
    // none is given, and a relative name or the default root is taken there. The last argument is
    // lengthened to `length` bytes when given; `used` is the folder the start makes.
    void root_as_named_data()
    {
        columns<QByteArrayList, int, QByteArray, QString, QByteArray>({"args", "length", "used", "said", "in"});
        const QByteArray longest(NAME_MAX, 'n'), bad = "{}/bad\xff" "byte", not_utf8_folder = "\xff" "cwd";
        const QString too_long = "refused: the name is longer than the system takes";
        const QString not_utf8 = "/bad\\xffbyte\" refused: the name is not valid UTF-8";
        const QString no_name = "zemK58N: --root is not followed by a data root";
        const QString in_not_utf8 = "/\\xffcwd/%1\" refused: the name is not valid UTF-8; no other folder is used in its place";
        QTest::newRow("UTF-8 beyond ASCII") << QByteArrayList{"--root", "{}/d\xc3\xa4ten"} << 0 << QByteArray("d\xc3\xa4ten") << "" << QByteArray();
        QTest::newRow("--root=") << QByteArrayList{"--root={}/d\xc3\xa4ten"} << 0 << QByteArray("d\xc3\xa4ten") << "" << QByteArray();
        QTest::newRow("a real U+FFFD") << QByteArrayList{"--root", "{}/\xef\xbf\xbd"} << 0 << QByteArray("\xef\xbf\xbd") << "" << QByteArray();
        QTest::newRow("a folder name at the limit") << QByteArrayList{"--root", "{}/" + longest} << 0 << longest << "" << QByteArray();
        QTest::newRow("refused, then a good name") << QByteArrayList{"--root", bad, "--root={}/good"} << 0 << QByteArray("good") << "" << QByteArray();
        QTest::newRow("a byte that is not UTF-8") << QByteArrayList{"--root", bad} << 0 << QByteArray() << not_utf8 << QByteArray();
        QTest::newRow("UTF-8 cut short") << QByteArrayList{"--root", "{}/cut\xc3"} << 0 << QByteArray() << "\" refused: the name is not valid UTF-8" << QByteArray();
        QTest::newRow("a byte-order mark first") << QByteArrayList{"--root", "\xef\xbb\xbf" "bom"} << 0 << QByteArray()
                                                 << "\"\\xef\\xbb\\xbfbom\" refused: the name would not come back unchanged from its text" << QByteArray();
        QTest::newRow("empty") << QByteArrayList{"--root="} << 0 << QByteArray() << "\"\" refused: the name is empty" << QByteArray();
        QTest::newRow("--root with no name") << QByteArrayList{"--root"} << 0 << QByteArray() << no_name << QByteArray();
        QTest::newRow("a good name, then --root") << QByteArrayList{"--root", "{}/good", "--root"} << 0 << QByteArray() << no_name << QByteArray();
        QTest::newRow("a folder name over the limit") << QByteArrayList{"--root", "{}/n" + longest} << 0 << QByteArray() << too_long << QByteArray();
        QTest::newRow("a path at the limit") << QByteArrayList{"--root", "{}"} << PATH_MAX << QByteArray() << too_long << QByteArray();
        QTest::newRow("a path over the limit") << QByteArrayList{"--root", "{}"} << PATH_MAX + NAME_MAX << QByteArray() << too_long << QByteArray();
        QTest::newRow("relative") << QByteArrayList{"--root", "rel"} << 0 << QByteArray("rel") << "" << QByteArray();
        QTest::newRow("no --root") << QByteArrayList{} << 0 << QByteArray("run-data") << "" << QByteArray();
        QTest::newRow("relative, in UTF-8 beyond ASCII") << QByteArrayList{"--root", "rel"} << 0 << QByteArray("rel") << ""
                                                         << QByteArray("d\xc3\xa4");
        QTest::newRow("relative, in a folder not UTF-8") << QByteArrayList{"--root", "rel"} << 0 << QByteArray()
                                                         << in_not_utf8.arg("rel") << not_utf8_folder;
        QTest::newRow("no --root, in a folder not UTF-8") << QByteArrayList{} << 0 << QByteArray() << in_not_utf8.arg("run-data")
                                                          << not_utf8_folder;
        QTest::newRow("no --root, in a deleted folder") << QByteArrayList{} << 0 << QByteArray()
                                                        << "zemK58N: data root \"run-data\" refused: the current folder cannot be named ("
                                                        << QByteArray("gone");
    }
    void root_as_named()
    {
        QFETCH(QByteArrayList, args);
        QFETCH(int, length);
        QFETCH(QByteArray, used);
        QFETCH(QString, said);
        QFETCH(QByteArray, in);
        // Inside the fresh root, which goes byte for byte with what a row left there.
        const QByteArray parent = QFile::encodeName(fresh_test_root("named") + "/parent");
        QVERIFY(QDir().mkpath(QFile::decodeName(parent)));
        const QByteArray here = in.isEmpty() ? parent : parent + '/' + in;
        QVERIFY(in.isEmpty() || ::mkdir(here.constData(), 0755) == 0);
        const int before = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(before >= 0);
        const auto back = qScopeGuard([&] {
            if (::fchdir(before) != 0)
                qWarning("the test's own folder cannot be entered again");
            ::close(before);
        });
        QCOMPARE(::chdir(here.constData()), 0);
        const bool gone = in == "gone";
        QVERIFY(!gone || ::rmdir(here.constData()) == 0);
        for (QByteArray &arg : args)
            arg.replace("{}", parent);
        if (length)
            args.last() = lengthened(args.last(), length);
        args = QByteArrayList{"zemK58N", "-platform", "offscreen", "--no-wait"} + args;
        std::vector<char *> argv;
        for (QByteArray &arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        int argc = int(args.size());
        const StartupOptions options = parse_startup_args(argc, argv.data());
        QCOMPARE(QByteArrayList(argv.begin(), argv.begin() + argc), (QByteArrayList{"zemK58N", "-platform", "offscreen"}));
        QVERIFY(!options.wait);
        ConfigEngine::destroy_for_test();
        ZemRamPara::destroy_for_test();
        Warnings warnings;
        QCOMPARE(startup_core(options), said.isEmpty());
        // Nothing beside the folder the start was made in, such as one named with U+FFFD.
        if (!in.isEmpty())
            QCOMPARE(entries(parent), gone ? QByteArrayList() : QByteArrayList{in});
        if (said.isEmpty()) {
            struct stat st;
            QCOMPARE(::stat(here + '/' + used + "/data/ram_device_info", &st), 0);
            QCOMPARE(entries(here), QByteArrayList{used});
            QCOMPARE(warnings.lines(), QStringList());
        } else {
            QCOMPARE(entries(here), QByteArrayList());
            QCOMPARE(warnings.lines().size(), 1);
            QVERIFY2(warnings.lines().first().contains(said), qPrintable(warnings.lines().first()));
        }
    }
    // The program itself, refused its data root, ends with status 2 and that one line, and makes
    // nothing: neither the root named nor the default one in the folder it was started in. No
    // platform is there to be found, so a start that went past the refusal ends there too. With
    // `in` it is started in that folder through a link of a plain name, as a text path could not
    // name it, and the system gives the program the folder's own name.
    void refused_program_data()
    {
        columns<QStringList, int, QString, QByteArray>({"args", "length", "said", "in"});
        const QString in_not_utf8 = "/\\xffcwd/%1\" refused: the name is not valid UTF-8; no other folder is used in its place";
        QTest::newRow("--root with no name") << QStringList{"--no-wait", "--root"} << 0 << "--root is not followed by a data root"
                                             << QByteArray();
        QTest::newRow("a byte-order mark first") << QStringList{"--root=\ufeffbom"} << 0
                                                 << "refused: the name would not come back unchanged" << QByteArray();
        QTest::newRow("a path at the limit") << QStringList{"--root", "{}"} << PATH_MAX << "refused: the name is longer than the system takes"
                                             << QByteArray();
        QTest::newRow("relative, in a folder not UTF-8") << QStringList{"--no-wait", "--root", "rel"} << 0 << in_not_utf8.arg("rel")
                                                         << QByteArray("\xff" "cwd");
        QTest::newRow("no --root, in a folder not UTF-8") << QStringList{"--no-wait"} << 0 << in_not_utf8.arg("run-data")
                                                          << QByteArray("\xff" "cwd");
    }
    void refused_program()
    {
        QFETCH(QStringList, args);
        QFETCH(int, length);
        QFETCH(QString, said);
        QFETCH(QByteArray, in);
        const QString folder = fresh_test_root("program") + "/started-in";
        QVERIFY(QDir().mkpath(folder));
        args.replaceInStrings("{}", folder);
        if (length)
            args.last() = QFile::decodeName(lengthened(QFile::encodeName(args.last()), length));
        const QByteArray bytes = QFile::encodeName(folder);
        QByteArrayList there;
        if (!in.isEmpty()) {
            QCOMPARE(::mkdir(bytes + '/' + in, 0755), 0);
            QCOMPARE(::symlink(in.constData(), bytes + "/started-here"), 0);
            there = QByteArrayList{"started-here", in};
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "zem-no-such-platform");
        environment.remove("QT_MESSAGE_PATTERN");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(in.isEmpty() ? folder : folder + "/started-here");
        program.start(ZEM_PROGRAM, args);
        QVERIFY(program.waitForFinished(-1));
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 2);
        QCOMPARE(errors.count('\n'), 1);
        QVERIFY2(errors.startsWith("zemK58N: ") && errors.contains(said), qPrintable(errors));
        // The name said is the absolute one the program would have used.
        QVERIFY2(in.isEmpty() || errors.startsWith("zemK58N: data root \"/"), qPrintable(errors));
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
        QCOMPARE(entries(bytes), there);
        QCOMPARE(entries(bytes + '/' + in), QByteArrayList());
    }
    // Whatever bus the host's session names, and whatever the data root holds under the names a
    // bus library looks for, a PC run's session bus reaches nothing: here a listener stands for
    // the host's bus and is linked from the root, and it is never connected to.
    void session_bus_of_its_own()
    {
        const QString root = fresh_test_root("bus"), outside = root + "-outside";
        QDir(outside).removeRecursively();
        QVERIFY(QDir().mkpath(outside) && QDir().mkpath(root + "/runtime"));
        QVERIFY(QFile::setPermissions(root + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        const QByteArray socket = QFile::encodeName(outside + "/bus");
        Listener listener(socket);
        QVERIFY(listener.listening());
        for (const char *name : {"/no-session-bus", "/runtime/bus"})
            QVERIFY(QFile::link(outside + "/bus", root + name));
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + socket);
        ConfigEngine::destroy_for_test();
        ZemRamPara::destroy_for_test();
        StartupOptions options;
        options.root = root;
        startup_core(options);
        // A literal name: Qt's bus thread drops its copy of it, and the thread sanitizer, blind to
        // Qt's counts, would take a copy freed there for a race.
        const QString name = QStringLiteral("probe");
        {
            const QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
            QVERIFY(!bus.isConnected());
        }
        QDBusConnection::disconnectFromBus(name);
        QCOMPARE(listener.connections(), 0);
    }
    // Qt's runtime folder is one of the run's own, in its data root and for its user alone, and Qt
    // takes it as it is. Whatever held its name before is not followed out of the root.
    void runtime_folder_of_its_own_data()
    {
        columns<QString>({"before"});
        QTest::newRow("nothing") << "";
        QTest::newRow("a folder open to all") << "folder";
        QTest::newRow("a link to a folder outside") << "link";
        QTest::newRow("a file") << "file";
    }
    void runtime_folder_of_its_own()
    {
        QFETCH(QString, before);
        const QString root = fresh_test_root(QString(QTest::currentDataTag()).replace(' ', '_'));
        const QString folder = root + "/runtime", outside = root + "-outside";
        QDir(outside).removeRecursively();
        QVERIFY(QDir().mkpath(outside));
        QVERIFY(QFile::setPermissions(outside, QFileDevice::Permissions(0x7755)));
        if (before == "folder")
            QVERIFY(QDir().mkpath(folder) && QFile::setPermissions(folder, QFileDevice::Permissions(0x7755)));
        else if (before == "link")
            QVERIFY(QFile::link(outside, folder));
        else if (before == "file")
            write_dev_file("/runtime", "x");
        qputenv("XDG_RUNTIME_DIR", "/run/user/0");
        ConfigEngine::destroy_for_test();
        ZemRamPara::destroy_for_test();
        StartupOptions options;
        options.root = root;
        {
            Warnings warnings;
            startup_core(options);
            QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation), folder);
            QCOMPARE(warnings.lines(), QStringList());
        }
        QCOMPARE(qgetenv("XDG_RUNTIME_DIR"), QFile::encodeName(folder));
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &st), 0);
        QVERIFY(S_ISDIR(st.st_mode));
        QCOMPARE(st.st_mode & 07777, mode_t(0700));
        QCOMPARE(st.st_uid, ::geteuid());
        QCOMPARE(QFileInfo(outside).permissions(), QFileDevice::Permissions(0x7755));
    }
    // Qt asks for its runtime folder at every start and, when the run's own cannot be had, makes
    // one in the temporary folder (TMPDIR), here one the test watches: nothing is made in it, and
    // Qt's answer is none or a folder of the root, the run's own wherever Qt can name it.
    void no_runtime_folder_outside_data()
    {
        columns<QString, int>({"root", "length"});
        const int runtime = int(sizeof "/runtime") - 1;
        QTest::newRow("a file") << "file" << 0;
        QTest::newRow("of 4,090 bytes") << "long" << 4090;
        QTest::newRow("with a runtime folder named in PATH_MAX bytes") << "long" << PATH_MAX - runtime;
        QTest::newRow("with a runtime folder named in PATH_MAX - 1 bytes") << "long" << PATH_MAX - 1 - runtime;
        // Only root can give a folder to another user; a plain user meets the same refusal through
        // the root it may not write, below.
        if (::geteuid() == 0)
            QTest::newRow("with a runtime folder of another user") << "owned" << 0;
        QTest::newRow("that cannot be written") << "read-only" << 0;
    }
    void no_runtime_folder_outside()
    {
        QFETCH(QString, root);
        QFETCH(int, length);
        const QString fresh = fresh_test_root(QString(QTest::currentDataTag()).replace(' ', '_'));
        const QString watched = fresh + "-tmp";
        QDir(watched).removeRecursively();
        QVERIFY(QDir().mkpath(watched));
        QString named = fresh;
        if (root == "file") {
            named = fresh + "/file";
            write_dev_file("/file", "x");
        } else if (root == "long") {
            named = QFile::decodeName(lengthened(QFile::encodeName(fresh), length));
            QVERIFY(QDir().mkpath(named));
        } else if (root == "owned") {
            QVERIFY(QDir().mkpath(fresh + "/runtime"));
            QCOMPARE(::chown(QFile::encodeName(fresh + "/runtime").constData(), 65534, 65534), 0);
        } else {
            // Root writes where the mode says no: there the folder is made in the root.
            QVERIFY(QFile::setPermissions(fresh, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        const auto writable = qScopeGuard(
            [&] { QFile::setPermissions(fresh, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner); });
        qputenv("TMPDIR", QFile::encodeName(watched));
        ConfigEngine::destroy_for_test();
        ZemRamPara::destroy_for_test();
        StartupOptions options;
        options.root = named;
        Warnings warnings;
        startup_core(options);
        const QString asked = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        QCOMPARE(entries(QFile::encodeName(watched)), QByteArrayList());
        QVERIFY2(asked.isEmpty() || asked.startsWith(named + '/'), qPrintable(asked));
        if (root == "long" && QFile::encodeName(named + "/runtime").size() < PATH_MAX) {
            QCOMPARE(asked, named + "/runtime");
            QCOMPARE(warnings.lines(), QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
