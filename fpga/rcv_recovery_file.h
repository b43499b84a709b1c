#pragma once
#include <QMutex>
#include <QString>
#include <QStringList>

// The recovery-file reader. Its list is read and emptied from the GUI, link and FPGA threads,
// so every access goes through its mutex.
class rcvRecovery
{
public:
    static const char *const kRecoveryDir;     // "/data/rcvrecovery"
    static const char *const kMappingDir;      // "/data/smartmapping"
    static const char *const kUsbDir;          // "/mnt/usb1/"

    // Recovery and scan files go to the receiving cards whole; a real one is far smaller.
    static constexpr qint64 kMaxFileBytes = 8 * 1024 * 1024;

    // 1 when the folder does not exist (a link in its place, or on its way below the data root's
    // top folders, is none); otherwise 0, after replacing the list with the folder's file names
    // when the folder is one of the three above. Hidden names and the safe writer's temporary
    // files are no recovery or scan files.
    int get_dir_file(const QString &dir);
    // The content of a file of a device folder, when it is a regular file within kMaxFileBytes
    // reached with no link followed; empty otherwise.
    static QByteArray read_file(const QString &dir, const QString &name);

    QStringList file_list() const;
    int file_count() const;
    void clear_files();

private:
    mutable QMutex m_mutex;
    QStringList m_files;
};
