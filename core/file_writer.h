#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

// The thread that puts the parameter store's files on the disk, so that whoever changes the image
// never waits for the flash. It is handed a copy of what a file is to hold and writes it with the
// safe writer. A newer copy of a file replaces one not yet written, and the files are written in
// the order in which they were last handed over: a user mode handed over before an image that
// names it is on the disk first.
// A copy the disk did not take (full, read-only, broken) is kept and tried again every retry
// interval until it is made or a newer copy replaces it: a change is not lost to a disk that
// mends while nobody touches the device.
namespace FileWriter {

// Told on the writer's thread whether the file is whole on the disk (or, for a removal, gone)
// after the first attempt. A copy that failed is told nothing more while its retries fail, and
// told once more, true, when one of them makes it. Not told for a copy that a newer one replaced
// before it was written, nor for one given up (forget_retries).
using Done = std::function<void(bool ok)>;

// `device_path` is resolved under the data root now, where it is handed over.
void write(const QString &device_path, const QByteArray &bytes, Done done = {});
// The files removed (missing ones count as removed), then the disk flushed, in turn with the
// writes: a removal replaces a write of its first file not yet made, and a later write of that
// file comes after it. A removal waiting for its retry no longer takes a file written after it.
void remove(const QStringList &device_paths, Done done = {});

// Returns once everything handed over until now has been tried, a copy waiting for its retry
// once more at once: before the device reboots or the program ends, and in tests. A disk that
// stays broken does not hold it up: what fails again waits for its next retry. On the writer's
// own thread it returns at once.
void finish();

// How long a copy that failed waits before it is tried again: long enough that a disk which
// stays broken costs little, short enough that a SIGTERM soon after the mend finds it written.
constexpr std::chrono::milliseconds kRetryInterval{3000};
// Tests: another interval, kRetryInterval again to undo it.
void set_retry_interval(std::chrono::milliseconds interval);

// Tests: what the writer's thread sleeps for, as its lock shows it. `until` is when its own clock
// wakes it, none when only something handed over (or finish(), or a new interval) can; `woken` once
// one of those has roused it and it has not looked at its queue since.
struct Sleep
{
    bool sleeping = false;
    bool woken = false;
    std::optional<std::chrono::steady_clock::time_point> until;
};
Sleep sleep_now();

// Tests: the copies waiting for a retry are given up, told nothing; they belong to a data root or
// a store that is gone.
void forget_retries();

// Tests: run on the writer's thread before each file is written or removed, given its path. A
// test that sleeps or waits in it stands for a slow disk.
extern std::atomic<void (*)(const QString &path)> before_file_hook;
// Tests: asked on the writer's thread before each file is written or removed, and by start-up's
// write probe of each data folder (given the folder's path); an errno value it gives fails that
// file or probe with that error, as a disk that refuses it would; 0 lets it through.
extern std::atomic<int (*)(const QString &path)> disk_error_hook;

}
