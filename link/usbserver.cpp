#include "usbserver.h"

#include <QFileInfo>
#include <chrono>

#include "global.h"
#include "paths.h"
#include "ui_hooks.h"
#include "utils.h"

#ifdef ZEM_DEVICE_BUILD
#include <cstring>
#include <linux/netlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {
constexpr uint8_t kSettingPage = 5;
const char *const kStickFolder = "/mnt/usb1";
}

UsbServer::UsbServer(QObject *parent) : QObject(parent) {}

UsbServer::~UsbServer()
{
    m_stop.store(true);
    if (m_thread.joinable())
        m_thread.join();
#ifdef ZEM_DEVICE_BUILD
    if (m_socket >= 0)
        ::close(m_socket);
#endif
}

void UsbServer::start()
{
    if (m_thread.joinable())
        return;
    m_stop.store(false);
#ifdef ZEM_DEVICE_BUILD
    m_thread = std::thread([this] { recvData(); });
#else
    m_thread = std::thread([this] {
        while (!m_stop.load()) {
            poll();
            for (int i = 0; i < 10 && !m_stop.load(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
#endif
}

void UsbServer::mounted()
{
    m_mounted = true;
    emit sig_usb_update(kMounted);
    // A stick leaves the Setting menu; the page is checked again when the GUI thread gets to it.
    if (g_page_focus.load() == kSettingPage) {
        UiHooks::on_gui_thread([] {
            if (g_page_focus.load() == kSettingPage && UiHooks::page_back)
                UiHooks::page_back(kSettingPage);
        });
    }
}

void UsbServer::poll()
{
    const bool present = QFileInfo(Paths::dev(QString::fromLatin1(kStickFolder))).isDir();
    if (present && !m_present) {
        m_present = true;
        m_mounted = false;
        m_insert_stamp = G_timeTicks.load();
        emit sig_usb_update(kInserted);
    } else if (!present && m_present) {
        m_present = false;
        m_mounted = false;
        emit sig_usb_update(kRemoved);
        return;
    }
    if (m_present && !m_mounted && g_delay_usbserver.load() != 0
        && Utils::getTimeSpace(m_insert_stamp) >= kMountHoldTicks)
        mounted();
}

#ifdef ZEM_DEVICE_BUILD
// Kernel uevents: a USB disk added or removed. The stick counts as mounted once the USB storage
// driver is up and the hold-off has passed.
void UsbServer::recvData()
{
    m_socket = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    if (m_socket < 0)
        return;
    sockaddr_nl addr;
    std::memset(&addr, 0, sizeof addr);
    addr.nl_family = AF_NETLINK;
    addr.nl_groups = 1;
    if (::bind(m_socket, reinterpret_cast<sockaddr *>(&addr), sizeof addr) < 0)
        return;
    bool storage_seen = false;
    uint32_t storage_stamp = 0;
    char buf[4096];
    while (!m_stop.load()) {
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
                if (block && disk && usb && add && !m_present) {
                    m_present = true;
                    m_mounted = false;
                    storage_seen = false;
                    emit sig_usb_update(kInserted);
                } else if (block && disk && usb && remove && m_present) {
                    m_present = false;
                    m_mounted = false;
                    emit sig_usb_update(kRemoved);
                }
            }
        }
        if (!m_present || m_mounted || g_delay_usbserver.load() == 0)
            continue;
        if (!storage_seen) {
            if (QFileInfo::exists(Paths::dev(QStringLiteral("/proc/scsi/usb-storage")))) {
                storage_seen = true;
                storage_stamp = G_timeTicks.load();
            }
        } else if (Utils::getTimeSpace(storage_stamp) >= kMountHoldTicks) {
            mounted();
        }
    }
}
#endif
