#pragma once
// What the long runs share (the key storm, the program's threads together): thousands of keys and
// durable writes on a data root in memory where the machine has one, a run the environment can
// lengthen, the widget Qt would send a key to, and the parameter file checked against the image.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#include "mainfixture.h"

namespace longrun {

// Before the first test: the root on /dev/shm, and no diagnostics, which would cost more than
// the keys.
inline void begin(const char *name)
{
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("ZEM_TEST_ROOT", QStringLiteral("/dev/shm/zem-%1-%2")
                                     .arg(QLatin1String(name))
                                     .arg(QCoreApplication::applicationPid())
                                     .toLocal8Bit());
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    g_debugSwitch = 0;
}

inline void end()
{
    uitest::close_all();
    if (qEnvironmentVariable("ZEM_TEST_ROOT").startsWith(QStringLiteral("/dev/shm/")))
        QDir(qEnvironmentVariable("ZEM_TEST_ROOT")).removeRecursively();
}

inline int env(const char *name, int fallback)
{
    bool set = false;
    const int v = qEnvironmentVariableIntValue(name, &set);
    return set ? v : fallback;
}

inline Screen *top_screen()
{
    const std::vector<Screen *> screens = all_screens();
    for (auto it = screens.rbegin(); it != screens.rend(); ++it)
        if (!(*it)->is_closed() && (*it)->widget()->isVisible())
            return *it;
    return nullptr;
}

// Where Qt would send a key: a modal widget, the numeric keyboard while it is up, else the top screen.
inline QWidget *key_target()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (g_numberkeyboard && g_numberkeyboard->isVisible())
        return g_numberkeyboard;
    Screen *top = top_screen();
    return top ? top->widget() : g_mainwindow;
}

// The image offset at which the parameter file stops holding the image behind its marker; -1 when
// it holds all of it.
inline int file_differs_at()
{
    const QByteArray file = read_dev_file(QStringLiteral("/data/ram_device_info"));
    const QByteArray image(reinterpret_cast<const char *>(uitest::para()->RAM_PARA + Ram::kSavedFrom),
                           Ram::kSize - Ram::kSavedFrom);
    if (file.size() != Ram::kSize || !file.startsWith("\xAA\xAA"))
        return 0;
    int at = 0;
    while (at < image.size() && file.at(2 + at) == image.at(at))
        ++at;
    return at == image.size() ? -1 : at + Ram::kSavedFrom;
}

}
