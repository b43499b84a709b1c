#include "xserver.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef ZEM_BENCH_XCB
#include <xcb/xcb.h>
#endif

#include "frameclock.h"

namespace bench {

Xserver::~Xserver()
{
#ifdef ZEM_BENCH_XCB
    if (m_connection)
        xcb_disconnect(static_cast<xcb_connection_t *>(m_connection));
#endif
    if (m_fb)
        munmap(const_cast<uint8_t *>(m_fb), m_fb_size);
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        for (int i = 0; i < 200 && waitpid(m_pid, nullptr, WNOHANG) != m_pid; ++i)
            usleep(10000);
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, WNOHANG);
    }
    if (!m_fbdir.isEmpty())
        QDir(m_fbdir).removeRecursively();
}

QString Xserver::start(QString *error)
{
    const QString binary = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (binary.isEmpty()) {
        *error = QStringLiteral("no Xvfb (apt-get install xvfb)");
        return {};
    }
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/zem-bench-fb-XXXXXX"));
    dir.setAutoRemove(false);
    m_fbdir = dir.path();
    int fds[2];
    if (pipe(fds) != 0) {
        *error = QStringLiteral("no pipe");
        return {};
    }
    const QByteArray bin = binary.toLocal8Bit(), fd = QByteArray::number(fds[1]), fb = m_fbdir.toLocal8Bit();
    // A black root and no pointer (the server draws its pointer into the screen, in many greys,
    // as soon as a window is mapped): only a client's drawing makes a picture.
    const char *argv[] = {bin.constData(), "-displayfd", fd.constData(), "-screen", "0", "320x240x24", "-fbdir",
                          fb.constData(), "-br", "-nocursor", "-nolisten", "tcp", nullptr};
    m_pid = fork();
    if (m_pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execv(argv[0], const_cast<char *const *>(argv));
        _exit(127);
    }
    close(fds[1]);
    QByteArray number;
    for (int waited = 0; waited < 60000 && m_pid > 0;) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) {
            waited += 100;
            continue;
        }
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (m_pid < 0 || number.isEmpty()) {
        *error = QStringLiteral("Xvfb did not start");
        return {};
    }
    m_display = QStringLiteral(":") + QString::fromLatin1(number);

    const QByteArray screen = (m_fbdir + QStringLiteral("/Xvfb_screen0")).toLocal8Bit();
    const int f = open(screen.constData(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (f >= 0 && fstat(f, &st) == 0) {
        m_fb_size = size_t(st.st_size);
        void *map = mmap(nullptr, m_fb_size, PROT_READ, MAP_SHARED, f, 0);
        m_fb = map == MAP_FAILED ? nullptr : static_cast<const uint8_t *>(map);
    }
    if (f >= 0)
        close(f);
    if (!m_fb || !parse_xwd_header(m_fb, m_fb_size, &m_image)) {
        *error = QStringLiteral("Xvfb's screen file is not readable as an image");
        return {};
    }
    return m_display;
}

bool Xserver::screen_has_picture() const
{
    return m_fb && region_has_picture(m_fb, m_fb_size, m_image, 0, 0, int(m_image.width), int(m_image.height));
}

bool Xserver::wait_blank(int limit_ms) const
{
    const int64_t deadline = now_ns() + int64_t(limit_ms) * 1000000;
    while (screen_has_picture()) {
        if (now_ns() > deadline)
            return false;
        usleep(2000);
    }
    return true;
}

void Xserver::watch_maps()
{
    m_maps = 0;
#ifdef ZEM_BENCH_XCB
    if (!m_connection) {
        xcb_connection_t *c = xcb_connect(m_display.toLocal8Bit().constData(), nullptr);
        if (xcb_connection_has_error(c)) {
            xcb_disconnect(c);
            return;
        }
        m_connection = c;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }
    while (xcb_generic_event_t *e = xcb_poll_for_event(static_cast<xcb_connection_t *>(m_connection)))
        free(e);
#endif
}

int Xserver::maps_seen()
{
#ifdef ZEM_BENCH_XCB
    if (m_connection) {
        while (xcb_generic_event_t *e = xcb_poll_for_event(static_cast<xcb_connection_t *>(m_connection))) {
            if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY)
                ++m_maps;
            free(e);
        }
    }
#endif
    return m_maps;
}

}
