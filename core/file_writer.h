#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

// The thread that puts the parameter store's files on the disk, so that whoever changes the image
// never waits for the flash. It is handed a copy of what a file is to hold and writes it with the
// safe writer. A newer copy of a file replaces one not yet written, and the files are written in
// the order in which they were last handed over: a user mode handed over before an image that
// names it is on the disk first.
namespace FileWriter {

// Told on the writer's thread whether the file is whole on the disk (or, for a removal, gone).
// Not told for a copy that a newer one replaced before it was written.
using Done = std::function<void(bool ok)>;

// `device_path` is resolved under the data root now, where it is handed over.
void write(const QString &device_path, const QByteArray &bytes, Done done = {});
// The files removed (missing ones count as removed), then the disk flushed, in turn with the
// writes: a removal replaces a write of its first file not yet made, and a later write of that
// file comes after it.
void remove(const QStringList &device_paths, Done done = {});

// Returns once everything handed over until now is written or has failed: before the device
// reboots or the program ends, and in tests. On the writer's own thread it returns at once.
void finish();

// Tests: run on the writer's thread before each file is written or removed, given its path. A
// test that sleeps or waits in it stands for a slow disk.
extern std::atomic<void (*)(const QString &path)> before_file_hook;

}
