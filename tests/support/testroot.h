#pragma once
#include <QByteArray>
#include <QString>
#include <QtTest>

// A fresh, empty data root for one test, made the process's: every device path resolves inside it.
QString fresh_test_root(const QString &name = QString());
// Contents of a device path under the data root (null when missing).
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

// The columns of a data table, declared in order: columns<int, QString>({"page", "title"}).
template <class... T>
void columns(std::initializer_list<const char *> names)
{
    auto name = names.begin();
    (QTest::addColumn<T>(*name++), ...);
}
