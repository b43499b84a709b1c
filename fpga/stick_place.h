#pragma once
#include <functional>

#include "safe_file.h"

// The USB stick's place, "/mnt/usb1", as the stick watcher and a scan-file load from the stick see
// it. A load stops at once when its stick is no longer there; the watcher looks only every half
// second, and a stick moved away and back between two of its looks would leave the pull untold.
// So what a load sees there is handed to the watcher, and each look is taken together with its
// hand-over under one lock: the watcher judges a load's look against the stick it held before
// it, and tells each pull once, whoever saw it first.
namespace StickPlace {
struct WatcherLook
{
    FolderId now;           // what stands there: not valid for nothing, or a link
    bool left_by = false;   // a load found the place without `held` since the last look
};
// The watcher's look; `held` is the stick it held before it.
WatcherLook watch(const FolderId &held);
// A load's look at the place while it sends a file of `stick`: false once another folder, or
// none, stands there, which the watcher is told.
bool holds(const FolderId &stick);
// A load that could not open its file from the stick tells the watcher what stands there.
void tell();
// Woken when a load tells it something; `owner` alone takes its wake away again (nullptr).
void set_watcher(const void *owner, std::function<void()> wake);
}
