#include "stick_place.h"

#include <QMutex>
#include <optional>

#include "paths.h"
#include "rcv_recovery_file.h"

namespace {

// The look a load handed over, until the watcher takes it. A load hands over once, as it ends,
// and wakes the watcher, which looks long before another load can be posted and end.
QMutex g_place_mutex;
std::optional<FolderId> g_handed;
const void *g_watcher = nullptr;
std::function<void()> g_watcher_wake;

// The place as the watcher sees it: opened by the data root's rule, so a link there is no stick
// (the device's bare mount point, left when the stick is pulled, is another folder).
FolderId stick_place_now()
{
    return Folder::open(Paths::dev(QLatin1String(rcvRecovery::kUsbDir))).id();
}

// Under g_place_mutex.
void hand_over(const FolderId &seen)
{
    g_handed = seen;
    if (g_watcher_wake)
        g_watcher_wake();
}

}

StickPlace::WatcherLook StickPlace::watch(const FolderId &held)
{
    QMutexLocker lock(&g_place_mutex);
    WatcherLook look;
    look.now = stick_place_now();
    look.left_by = g_handed && *g_handed != held;
    g_handed.reset();
    return look;
}

bool StickPlace::holds(const FolderId &stick)
{
    QMutexLocker lock(&g_place_mutex);
    const FolderId now = stick_place_now();
    if (now == stick)
        return true;
    hand_over(now);
    return false;
}

void StickPlace::tell()
{
    QMutexLocker lock(&g_place_mutex);
    hand_over(stick_place_now());
}

void StickPlace::set_watcher(const void *owner, std::function<void()> wake)
{
    QMutexLocker lock(&g_place_mutex);
    if (wake) {
        g_watcher = owner;
        g_watcher_wake = std::move(wake);
    } else if (g_watcher == owner) {
        g_watcher = nullptr;
        g_watcher_wake = nullptr;
    }
}
