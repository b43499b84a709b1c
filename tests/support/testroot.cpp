#include "testroot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "paths.h"

QString fresh_test_root(const QString &name)
{
    QString base = qEnvironmentVariable("ZEM_TEST_ROOT");
    if (base.isEmpty())
        base = QDir::tempPath() + QStringLiteral("/zem-test-") + QString::number(QCoreApplication::applicationPid());
    const QString root = name.isEmpty() ? base : base + QLatin1Char('/') + name;
    QDir(root).removeRecursively();
    QDir().mkpath(root + QStringLiteral("/data/configs"));
    QDir().mkpath(root + QStringLiteral("/data/modes"));
    Paths::set_data_root(root);
    return root;
}

QByteArray read_dev_file(const QString &device_path)
{
    QFile f(Paths::dev(device_path));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void write_dev_file(const QString &device_path, const QByteArray &data)
{
    const QString path = Paths::dev(device_path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(data);
}

QStringList shell_log()
{
    QFile f(Paths::data_root() + QStringLiteral("/shell.log"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringList();
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
