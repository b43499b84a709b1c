#include "testroot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringList>

#include "paths.h"

QString fresh_test_root(const QString &name)
{
    const QString base = qEnvironmentVariable(
        "ZEM_TEST_ROOT", QDir::tempPath() + QStringLiteral("/zem-test-") + QString::number(QCoreApplication::applicationPid()));
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
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
    const QString log = QString::fromUtf8(read_dev_file(QStringLiteral("/shell.log")));
    return log.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

namespace {
QMutex g_warnings_mutex;
QStringList g_warnings;
QtMessageHandler g_previous = nullptr;
}

Warnings::Warnings()
{
    g_warnings.clear();
    g_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        QMutexLocker lock(&g_warnings_mutex);
        if (type == QtWarningMsg)
            g_warnings << text;
    });
}

Warnings::~Warnings()
{
    qInstallMessageHandler(g_previous);
}

QStringList Warnings::lines() const
{
    QMutexLocker lock(&g_warnings_mutex);
    return g_warnings;
}
