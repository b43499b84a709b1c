#pragma once
#include <QByteArray>
#include <QString>

// A fresh data root for one test: removed and created again, and made the process's data root.
// Every device path ("/data/...") then resolves inside it.
QString fresh_test_root(const QString &name = QString());
// Contents of a device path under the data root ("" when missing).
QByteArray read_dev_file(const QString &device_path);
void write_dev_file(const QString &device_path, const QByteArray &data);
// The commands recorded by the shell runner so far, one per line.
QStringList shell_log();
