#include "startup.h"

#include <QApplication>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "c331_manage.h"
#include "config_engine.h"
#include "custommode.h"
#include "fpga_manage.h"
#include "global.h"
#include "k58_wifi_config.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "numberkeyboard.h"
#include "paths.h"
#include "safe_file.h"
#include "screen.h"
#include "syncupdate.h"
#include "tarvosource.h"
#include "usbserver.h"
#include "utils.h"
#include "warmup.h"
#include "zem_keyboard.h"
#include "zemrampara.h"

namespace {

UsbServer *g_usbserver = nullptr;

bool env_flag(const char *name)
{
    const QByteArray value = qgetenv(name);
    return !value.isEmpty() && value != "0";
}

// Qt asks libdbus for the session bus. With no bus address libdbus tries $XDG_RUNTIME_DIR/bus,
// a name in the data root, and with an X display it runs dbus-launch to start a bus. A PC run
// starts no program of the host's and uses none of its services: its address names a transport
// that no bus library knows, so the one attempt fails before a socket is made. A socket's path
// would not do: whatever lies under that name in the root, a link to a listener included, is
// where the connection would go. It must be in the environment before the application exists.
void keep_off_host_session_bus()
{
#ifndef ZEM_DEVICE_BUILD
    qputenv("DBUS_SESSION_BUS_ADDRESS", "zemk58n-no-bus:");
#endif
}

#ifndef ZEM_DEVICE_BUILD
// Why Qt would not take the run's own runtime folder, empty when it would: a folder of the data root
// that only its user may enter, as Qt requires (0700, owned by the user). Qt makes and checks it
// by its whole name, which it cannot do once that name reaches PATH_MAX, even where mkdirat from
// the root's descriptor still could.
QString runtime_folder_problem(const QByteArray &path, const char *name)
{
    if (path.size() >= PATH_MAX)
        return QStringLiteral("the name is longer than the system takes");
    const int root = ::open(QFile::encodeName(Paths::data_root()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat st;
    // Whatever else holds the name (a link, a file) goes: Qt would follow a link to its target.
    if (::fstatat(root, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
        ::unlinkat(root, name, 0);
    QString problem;
    if (::mkdirat(root, name, 0700) != 0 && errno != EEXIST) {
        problem = QString::fromLocal8Bit(std::strerror(errno));
    } else {
        const int dir = ::openat(root, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (dir < 0)
            problem = QString::fromLocal8Bit(std::strerror(errno));
        else if (::fstat(dir, &st) != 0 || st.st_uid != ::geteuid())
            problem = QStringLiteral("not owned by this user");
        else if ((st.st_mode & 07777) != 0700 && ::fchmod(dir, 0700) != 0)
            problem = QString::fromLocal8Bit(std::strerror(errno));
        if (dir >= 0)
            ::close(dir);
    }
    ::close(root);
    return problem;
}
#endif

// Qt asks for its runtime folder at every start (the platform integration looks there for a
// sandbox's marker file). When the folder named cannot be had (the root is a file or read-only,
// another user owns the folder, the name is too long) Qt does not go without: it makes
// runtime-<user> in the host's temporary folder (TMPDIR, else /tmp), which outlives the run. So
// TMPDIR, for this process alone, then names /dev/null, below which a mkdir fails (ENOTDIR) and
// touches nothing: Qt goes without a runtime folder. Nothing of a PC run uses the host's temporary
// folder otherwise, and it runs no other program that would inherit the variable.
void runtime_folder_of_its_own()
{
#ifndef ZEM_DEVICE_BUILD
    static const char kName[] = "runtime";
    const QString path = Paths::data_root() + QLatin1Char('/') + QLatin1String(kName);
    const QByteArray encoded = QFile::encodeName(path);
    qputenv("XDG_RUNTIME_DIR", encoded);
    const QString problem = runtime_folder_problem(encoded, kName);
    if (problem.isEmpty())
        return;
    qputenv("TMPDIR", "/dev/null");
    Utils::report_file_problem(path, QStringLiteral("no runtime folder: ") + problem);
#endif
}

// The name as it was given, with what a terminal would not show as it is written as \xNN.
QByteArray printable(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const uchar u = uchar(c);
        if (u < 0x20 || u >= 0x7F)
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

QString refusal(const QByteArray &named, const QString &why)
{
    return QStringLiteral("data root \"%1\" refused: %2").arg(QString::fromLatin1(printable(named)), why);
}

// Empty when the name comes back from its text byte for byte, else the refusal. Every path below
// the root is made from its text: a name that does not come back would lead to another folder.
// Valid UTF-8 can fail so too (a leading byte-order mark is dropped from the text), and the line
// must not blame the encoding then.
QString round_trip_refusal(const QByteArray &bytes)
{
    if (QFile::encodeName(QFile::decodeName(bytes)) == bytes)
        return QString();
    return refusal(bytes, Utils::is_utf8(bytes) ? QStringLiteral("the name would not come back unchanged from its text; "
                                                                 "no other folder is used in its place")
                                                : QStringLiteral("the name is not valid UTF-8; no other folder is used in its place"));
}

// The data root as named, made absolute from the current folder's own name when it is relative:
// Qt's current path is text, and a folder whose name is not UTF-8 would lose its bytes there, the
// root then landing in a sibling folder with U+FFFD in their place. So the whole name is checked
// as the program will use it. A name refused as given is named as given. A later --root replaces
// an earlier one, its refusal included.
void take_root(const QByteArray &bytes, StartupOptions *options)
{
    options->root = QFile::decodeName(bytes);
    options->refused.clear();
    if (bytes.isEmpty()) {
        options->refused = refusal(bytes, QStringLiteral("the name is empty"));
        return;
    }
    options->refused = round_trip_refusal(bytes);
    if (!options->refused.isEmpty() || bytes.startsWith('/'))
        return;
    char *current = ::getcwd(nullptr, 0);
    if (!current) {
        // A folder deleted while the program was started in it has no name to put first.
        options->refused = refusal(bytes, QStringLiteral("the current folder cannot be named (%1); no other folder is used in its place")
                                              .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    QByteArray absolute(current);
    std::free(current);
    if (!absolute.endsWith('/'))
        absolute += '/';
    absolute += bytes;
    options->root = QFile::decodeName(absolute);
    options->refused = round_trip_refusal(absolute);
}

// Why the data root can never be used, empty when it can: a name longer than the system takes
// stays so, however long the program waits to write there. Looked at before anything is made.
QString root_never_usable()
{
    const QByteArray root = QFile::encodeName(Paths::data_root());
    // PATH_MAX counts the zero byte that ends the name.
    bool too_long = root.size() >= PATH_MAX;
    for (const QByteArray &name : root.split('/'))
        too_long = too_long || name.size() > NAME_MAX;
    return too_long ? refusal(root, QStringLiteral("the name is longer than the system takes")) : QString();
}

}

StartupOptions parse_startup_args(int &argc, char **argv)
{
    StartupOptions options;
    options.wait = !env_flag("ZEM_NO_WAIT");
    bool named = false;
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--root") == 0) {
            named = true;
            // Without its folder the option would leave the default root in use, which the
            // person who typed it did not ask for.
            if (i + 1 < argc)
                take_root(argv[++i], &options);
            else
                options.refused = QStringLiteral("--root is not followed by a data root");
        } else if (std::strncmp(argv[i], "--root=", 7) == 0) {
            named = true;
            take_root(argv[i] + 7, &options);
        } else if (std::strcmp(argv[i], "--no-wait") == 0) {
            options.wait = false;
        } else {
            argv[out++] = argv[i];
        }
    }
    argv[out] = nullptr;
    argc = out;
#ifdef ZEM_DEVICE_BUILD
    // The device's root stays "/".
    Q_UNUSED(named)
#else
    // The default root, run-data in the folder the program was started in, is taken as that
    // name given would be.
    if (!named)
        take_root("run-data", &options);
#endif
    return options;
}

bool startup_core(const StartupOptions &options)
{
    if (!options.refused.isEmpty()) {
        qWarning("zemK58N: %s", qUtf8Printable(options.refused));
        return false;
    }
    if (!options.root.isEmpty())
        Paths::set_data_root(options.root);
    const QString refused = root_never_usable();
    if (!refused.isEmpty()) {
        qWarning("zemK58N: %s", qUtf8Printable(refused));
        return false;
    }
    keep_off_host_session_bus();
    Utils::prepare_data_root();
    runtime_folder_of_its_own();

    g_zem_keys = static_cast<uint8_t>(check_hiddev());
    ConfigEngine::pInstance();
    ZemRamPara *para = ZemRamPara::pInstance();
    // A fresh data root gets the factory parameter file, so it is there before the first change.
    QFile image;
    if (Utils::open_regular_file(Paths::dev(QStringLiteral("/data/ram_device_info")), &image) == FileRead::Missing)
        para->save_image_file();
    SyncUpdate::pInstance();
    return true;
}

void startup_gui(const StartupOptions &options)
{
    // The screens' pictures and the change refresh must be there before the first screen.
    ui_init();
    g_open_custommode = open_custommode;

    g_mainwindow = new MainWindow;
    g_timer = new QTimer(g_mainwindow);
    QObject::connect(g_timer, &QTimer::timeout, g_mainwindow, &MainWindow::slot_update_timer_ticks);
    g_timer->start(10);

    // The FPGA manager before the chip manager: every SPI transfer to the chip first sets GPIO
    // registers that the FPGA manager maps. Then the chip thread, the FPGA thread, the source thread.
    tarvosource::create_for_test();
    fpga_manage::create_for_test();
    c331_manage::create_for_test();
    if (options.threads) {
        c331_manage::p_c331_manage->start_thread();
        fpga_manage::p_fpga_manage->start_thread();
        tarvosource::p_tarvo_source->start_thread();
    }

    if (options.wait)
        QThread::sleep(4);

    g_mainwindow->show();
    open_screen(g_lockwindow, new LockWindow, false);
    Warmup::after_first_paint(g_lockwindow);
    QObject::connect(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para, SyncUpdate::p_syncupdate,
                     &SyncUpdate::para_sync, Qt::UniqueConnection);
    if (g_zem_keys)
        zem_keys_update_leds();

    g_usbserver = new UsbServer(qApp);
    QObject::connect(g_usbserver, &UsbServer::sig_usb_update, SyncUpdate::p_syncupdate, &SyncUpdate::para_sync);
    if (options.threads) {
        g_usbserver->start();
        K58_WIFI_CONFIG::pInstance();
    }

    NumberKeyboard::create_shared()->setGeometry(g_mainwindow->x() + 160, g_mainwindow->y(), 160, 240);
}
