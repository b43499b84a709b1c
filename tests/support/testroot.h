#pragma once
#include <QByteArray>
#include <QString>
#include <QtTest>

#include "waits.h"

// A fresh, empty data root for one test, made the process's: every device path resolves inside it.
QString fresh_test_root(const QString &name = QString());
// Contents of a device path under the data root (null when missing), once the file writer has
// written what it was handed.
QByteArray read_dev_file(const QString &device_path);
void write_dev_file(const QString &device_path, const QByteArray &data);
// The commands recorded by the shell runner so far, one per line.
QStringList shell_log();

// Collects the warnings said while it lives, instead of printing them.
struct Warnings
{
    Warnings();
    ~Warnings();
    QStringList lines() const;
    int count(const QString &part) const { return lines().filter(part).size(); }
};

// The program's diagnostic lines on while it lives, for a test that reads them; they go back off
// afterwards unless ZEM_TEST_DEBUG asked for them.
struct DiagnosticLines
{
    DiagnosticLines();
    ~DiagnosticLines();
};

// What the program prints on its console (stderr) while it lives, taken away from the terminal.
class ConsoleLines
{
public:
    ConsoleLines();
    ~ConsoleLines();
    ConsoleLines(const ConsoleLines &) = delete;
    ConsoleLines &operator=(const ConsoleLines &) = delete;
    QString text() const;

private:
    int m_terminal = -1;
    int m_file = -1;
};

// The columns of a data table, declared in order: columns<int, QString>({"page", "title"}).
template <class... T>
void columns(std::initializer_list<const char *> names)
{
    auto name = names.begin();
    (QTest::addColumn<T>(*name++), ...);
}

// While it lives no regular file can grow past `bytes` bytes, as on a data root that is full: a
// write beyond that fails (EFBIG) and files already there stay as they are.
class FullDisk
{
public:
    explicit FullDisk(qint64 bytes = 16);
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

private:
    quint64 m_soft;
    void (*m_sigxfsz)(int);
};

// While it lives the file writer finds the disk read-only for every file whose path holds `part`
// (any file when empty): each write or removal of one fails with EROFS, as the device's disk
// would. `refused()` counts the files it turned away.
class ReadOnlyDisk
{
public:
    explicit ReadOnlyDisk(const QString &part = QString());
    ~ReadOnlyDisk();
    ReadOnlyDisk(const ReadOnlyDisk &) = delete;
    ReadOnlyDisk &operator=(const ReadOnlyDisk &) = delete;
    int refused() const;
};

// While it lives the file writer tries a file that failed again after `ms` milliseconds.
struct RetryEvery
{
    explicit RetryEvery(int ms);
    ~RetryEvery();
};

// Counts the times one file's content changed while it lives: renames onto its name and writes
// to it that were closed. The safe writer changes a file once per write. Given Opens, it counts
// the opens that took what lies under the name (a file, a FIFO, a device) instead.
class FileChanges
{
public:
    enum Watch { Content, Opens };
    explicit FileChanges(const QString &path, Watch watch = Content);
    ~FileChanges();
    FileChanges(const FileChanges &) = delete;
    FileChanges &operator=(const FileChanges &) = delete;
    int count();

private:
    int m_fd = -1;
    QByteArray m_name;
    int m_count = 0;
};
