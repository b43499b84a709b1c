#pragma once
#include <QByteArray>
#include <QCryptographicHash>
#include <memory>

#include "safe_file.h"

// The scan file a mapping-file load (job 2) sends, held open from the start of the load to its
// end. What the user chose is the file as it was opened: it is sent whole whatever becomes of its
// name meanwhile (deleted, or given to another file), and only as long as it was then, though
// another writer appends to it. Written over meanwhile, its bytes are no longer what was sent,
// and the load did not send it whole.
class ScanFile
{
public:
    // Opened only when it is a regular file of 1 to 4 MiB in the device's mapping folder or on
    // the stick, reached with no link followed; null otherwise. Opened without blocking: a FIFO
    // in its place would otherwise hold the FPGA thread for ever.
    static std::unique_ptr<ScanFile> open(const QString &device_path);
    ~ScanFile();
    ScanFile(const ScanFile &) = delete;
    ScanFile &operator=(const ScanFile &) = delete;

    qint64 size() const { return m_opened.size; }
    qint64 sent() const { return m_sent; }
    // The next bytes to send, at most `most`: 0 at the end of a file that shrank, -1 when the read
    // failed or another folder, or none, stands where the stick stood when the file was opened
    // from it (the device's reads fail then; the pull is the watcher's to tell).
    qint64 read(char *into, qint64 most);

    enum class Verdict { Whole, Short, Undecided };
    // Once every byte is sent, a step of telling whether they are what the file holds: a file
    // left alone is told at once; one that changed, or whose times cannot tell, is read back a
    // chunk a step.
    Verdict check();

private:
    ScanFile() = default;

    // The file as fstat saw it on the descriptor: which file, how long, when its bytes and its
    // inode last changed. `settled` when both times lie further back than a file system's
    // coarsest grain, so that a change after the look shows in a later time.
    struct Stamp
    {
        bool valid = false;
        bool settled = false;
        uint64_t dev = 0;
        uint64_t ino = 0;
        int64_t size = 0;
        int64_t mtime_s = 0, mtime_ns = 0, ctime_s = 0, ctime_ns = 0;
        bool operator==(const Stamp &o) const;
    };
    Stamp stamp() const;
    qint64 read_at(char *into, qint64 most, qint64 offset) const;

    int m_fd = -1;
    Stamp m_opened;
    FolderId m_stick;                  // the stick's folder it was opened from
    qint64 m_sent = 0;
    QByteArray m_sent_digest;          // taken once the file is found changed
    qint64 m_read_back = 0;
    QCryptographicHash m_digest{QCryptographicHash::Sha256};   // of the bytes sent, then read back
};
