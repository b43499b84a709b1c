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

    // 1 when the folder does not exist; otherwise 0, after replacing the list with the folder's
    // file names when the folder is one of the three above.
    int get_dir_file(const QString &dir);

    QStringList file_list() const;
    int file_count() const;
    void clear_files();

private:
    mutable QMutex m_mutex;
    QStringList m_files;
};
