#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cerrno>
#include <cstdint>

class QFile;
class Folder;

// What reading one file gave: its bytes, or why there are none.
struct FileRead
{
    enum Status { Ok, Missing, Refused };
    Status status = Missing;
    QByteArray bytes;
    QString reason;
    bool ok() const { return status == Ok; }
};

// Every file the program reads or writes goes through here: the safe writer, the capped readers,
// the folder listings and the reports of what could not be read or written. The work on
// descriptors is Folder's (folder.cpp, folder_append.cpp).
namespace Utils
{
// Writes a whole file so that a power cut leaves the old or the new content, never a torn one.
// The path lies under the data root and no link is followed below its top folders: a linked
// folder on the way refuses the write, and a link in the file's own place is replaced, never
// written through. Missing folders below the top folder are made. A failure is reported (once
// for the same path and reason) and false returned.
bool write_file_atomic(const QString &path, const QByteArray &data);
// The same, into a folder already open.
bool write_file_atomic(const Folder &dir, const QString &name, const QByteArray &data);

// Opens a file for reading only when it is a regular file in its folder, reached with no link
// followed below the data root's top folders: a link, a FIFO or a device in its place is
// refused (a FIFO would block the caller, a device could be read for ever). Missing when the
// file or a folder on its way is not there.
FileRead::Status open_regular_file(const QString &path, QFile *file, QString *reason = nullptr);
// The whole of a regular file of at most `cap` bytes. A refused file is reported; a missing
// one is not (most files are optional).
FileRead read_file_capped(const QString &path, qint64 cap);
// The same, of a file in a folder already open.
FileRead read_file_capped(const Folder &dir, const QString &name, qint64 cap);
// Removes a file, or a link in its place (never what it leads to); true when it is gone.
// `reason` says why not.
bool remove_file(const QString &path, QString *reason = nullptr);

// Names a folder listing counts: neither hidden nor a temporary file of the safe writer.
bool is_listed_name(const QString &name);
// The regular files of a folder that is_listed_name() admits, reached as open_regular_file()
// reaches a file; links are not listed. Unsorted; none when the folder cannot be opened.
QStringList listed_files(const QString &dir);

// The safe writer's temporary files: ".saving-" and six letters or digits, then ".tmp". One
// such name fits beside any file name, and start-up removes what a power cut left under it,
// so a received file may not take it.
QString temporary_name();
bool is_temporary_name(const QString &name);

// Says on the error output and in the log that a file could not be read or written, once:
// the same path with the same reason stays quiet until file_ok() for that path. A failure
// retried on every announcement is thus said once, and again once it has worked in between.
void report_file_problem(const QString &path, const QString &reason);
void file_ok(const QString &path);
// A read of the path worked: what was said of reading it may be said again, while a write or a
// removal of it that keeps failing stays quiet.
void file_read_ok(const QString &path);

// Start-up: takes where the data root's top folders lie (Paths::settle_top_folders), creates
// the folders the program writes, removes the temporary files that a power cut left behind
// the safe writer, and reports a data root that cannot be written now: full, or refusing
// writes. Returns false then.
bool prepare_data_root();
}

// A folder as the file system knows it, whatever its name: device and inode.
struct FolderId
{
    bool valid = false;
    uint64_t dev = 0;
    uint64_t ino = 0;
    bool operator==(const FolderId &o) const { return valid == o.valid && dev == o.dev && ino == o.ino; }
    bool operator!=(const FolderId &o) const { return !(*this == o); }
};

// A folder held open. Whatever is done in it afterwards (list, open, remove, the temporary file
// and its rename) is done relative to it, so a link swapped in for it, or for a folder above it,
// once it is open redirects nothing.
class Folder
{
public:
    // A folder under the data root, opened with no link followed below the root's top folders.
    // With `create`, missing folders below the top folder are made.
    static Folder open(const QString &path, bool create = false);
    // A folder below this one by its relative path, by the same rule.
    Folder sub(const QString &relative, bool create = false) const;

    Folder() = default;
    Folder(Folder &&other) noexcept;
    Folder &operator=(Folder &&other) noexcept;
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;
    ~Folder();

    bool ok() const { return m_fd >= 0; }
    // It, or a folder on its way, is not there.
    bool missing() const { return m_error == ENOENT; }
    int fd() const { return m_fd; }
    const QString &path() const { return m_path; }
    // Why it could not be opened, and the error behind it.
    const QString &reason() const { return m_reason; }
    int error() const { return m_error; }
    // The folder that was opened, taken from its descriptor: what stands under its name now may
    // be another. Not valid when it could not be opened.
    FolderId id() const;

    // The type bits (S_IFMT) of the entry `name`, a link not followed; 0 when there is none.
    unsigned entry_type(const QString &name) const;
    // The regular files that Utils::is_listed_name() admits, unsorted; links are not listed.
    QStringList listed_files() const;
    FileRead::Status open_file(const QString &name, QFile *file, QString *reason = nullptr) const;
    // The safe writer's work, without its report: a temporary file of this folder, written,
    // flushed, renamed over `name`, then the folder flushed.
    bool write_file(const QString &name, const QByteArray &data, QString *reason) const;
    // Removes an entry that is no folder: a link itself, never what it leads to. `reason` says
    // why not.
    bool remove(const QString &name, QString *reason = nullptr) const;
    // Appends to a regular file that has this one name, made when missing; anything else in its
    // place (a link, a hard link, a FIFO, a device, a socket, a folder) is refused before it is
    // opened, and never waited for. What is opened is the file that was looked at, never whatever
    // took its name since.
    bool append(const QString &name, const QByteArray &data, QString *reason) const;
    // Renames an entry of this folder within it, over whatever `to` names that can be replaced;
    // a link is moved itself.
    bool rename(const QString &from, const QString &to, QString *reason) const;

    // Start-up's two looks at a data folder: the safe writer's leftovers removed here and in the
    // folders below (links removed, never followed), and a small file created, written and
    // removed; the second gives the error when that fails, 0 when it worked.
    void remove_temporaries() const;
    int write_probe() const;

    // Tests: called with the folder's path whenever one has been opened, before anything is done
    // in it, so a test can swap the folder for a link at the moment that matters.
    static std::atomic<void (*)(const QString &)> opened_hook;
    // Tests: called with the file's path whenever append() has looked at the name and found a file
    // to append to, or none, before it opens it, so a test can put something else there then.
    static std::atomic<void (*)(const QString &)> looked_hook;

private:
    Folder(int fd, const QString &path) : m_fd(fd), m_path(path) {}
    static Folder failed(const QString &path, int error, const QString &reason);

    int m_fd = -1;
    int m_error = 0;
    QString m_path;
    QString m_reason;
};
