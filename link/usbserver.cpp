#include "usbserver.h"

#include <QFileInfo>

#include "global.h"
#include "paths.h"
#include "safe_file.h"
#include "stick_place.h"
#include "uihooks.h"
#include "utils.h"
#include "vocabulary.h"

#ifdef ZEM_DEVICE_BUILD
#include <cstring>
#include <linux/netlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

UsbServer::UsbServer(QObject *parent) : QObject(parent) {}

UsbServer::~UsbServer()
{
    StickPlace::set_watcher(this, nullptr);
    m_thread.stop();
#ifdef ZEM_DEVICE_BUILD
    if (m_socket >= 0)
        ::close(m_socket);
#endif
}

void UsbServer::inserted()
{
    m_present = true;
    m_mounted = false;
    m_stamp = G_timeTicks.load();
#ifdef ZEM_DEVICE_BUILD
    m_storage_seen = false;
#endif
    emit sig_usb_update(kInserted);
}

void UsbServer::removed()
{
    m_present = false;
    m_mounted = false;
    emit sig_usb_update(kRemoved);
}

void UsbServer::mounted()
{
    m_mounted = true;
    emit sig_usb_update(kMounted);
    // A stick leaves the Setting menu; the page is checked again when the GUI thread gets to it.
    if (g_page_focus.load() == PAGE_OPTION) {
        UiHooks::on_gui_thread([] {
            if (g_page_focus.load() == PAGE_OPTION && UiHooks::page_back)
                UiHooks::page_back(PAGE_OPTION);
        });
    }
}

void UsbServer::poll()
{
    // Opened by the data root's rule: a link in the stick folder's place could lead anywhere, and
    // is no stick. A load that found the place without the stick held is a pull too, though the
    // same folder stands there again: it was moved away and back since the last look.
    const StickPlace::WatcherLook look = StickPlace::watch(m_present ? m_stick : FolderId());
    // Another folder in the place of the one that came in is a stick pulled and another put in
    // between two looks: the pull is told now and the new stick at the next look, as when the
    // two came a look apart, so that the screens show the pull and read the new stick afresh.
    if (m_present && (look.now != m_stick || look.left_by)) {
        removed();
        return;
    }
    if (look.now.valid && !m_present) {
        m_stick = look.now;
        inserted();
    }
    if (m_present && !m_mounted && g_delay_usbserver.load() != 0
        && Utils::getTimeSpace(m_stamp) >= kMountHoldTicks)
        mounted();
}

#ifndef ZEM_DEVICE_BUILD
void UsbServer::start()
{
    // A load that finds its stick gone has the pull told now, not at the next look.
    StickPlace::set_watcher(this, [this] { m_thread.wake(); });
    m_thread.start(std::chrono::milliseconds(500), [this] { poll(); });
}
#else
void UsbServer::start()
{
    if (m_socket < 0) {
        m_socket = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
        sockaddr_nl addr;
        std::memset(&addr, 0, sizeof addr);
        addr.nl_family = AF_NETLINK;
        addr.nl_groups = 1;
        if (m_socket >= 0 && ::bind(m_socket, reinterpret_cast<sockaddr *>(&addr), sizeof addr) < 0) {
            ::close(m_socket);
            m_socket = -1;
        }
    }
    if (m_socket >= 0)
        m_thread.start(std::chrono::milliseconds(0), [this] { recvData(); });
}

// One look at the kernel's uevents (a USB disk added or removed), 100 ms at most. The stick counts
// as mounted once the USB storage driver is up and the hold-off has passed.
void UsbServer::recvData()
{
    char buf[4096];
    pollfd pfd;
    pfd.fd = m_socket;
    pfd.events = POLLIN;
    pfd.revents = 0;
    if (::poll(&pfd, 1, 100) > 0) {
        const ssize_t n = ::recv(m_socket, buf, sizeof buf - 1, 0);
        if (n > 0) {
            buf[n] = '\0';
            bool add = false, remove = false, block = false, disk = false, usb = false;
            for (ssize_t i = 0; i < n; i += static_cast<ssize_t>(std::strlen(buf + i)) + 1) {
                const char *field = buf + i;
                if (!std::strcmp(field, "ACTION=add"))
                    add = true;
                else if (!std::strcmp(field, "ACTION=remove"))
                    remove = true;
                else if (!std::strcmp(field, "SUBSYSTEM=block"))
                    block = true;
                else if (!std::strcmp(field, "DEVTYPE=disk"))
                    disk = true;
                else if (!std::strncmp(field, "DEVPATH=", 8) && std::strstr(field, "/usb"))
                    usb = true;
            }
            if (block && disk && usb && add && !m_present)
                inserted();
            else if (block && disk && usb && remove && m_present)
                removed();
        }
    }
    if (!m_present || m_mounted || g_delay_usbserver.load() == 0)
        return;
    if (!m_storage_seen) {
        if (QFileInfo::exists(Paths::dev(QStringLiteral("/proc/scsi/usb-storage")))) {
            m_storage_seen = true;
            m_stamp = G_timeTicks.load();
        }
    } else if (Utils::getTimeSpace(m_stamp) >= kMountHoldTicks) {
        mounted();
    }
}
#endif
