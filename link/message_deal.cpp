#include "message_deal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

#include "fpga_manage.h"
#include "global.h"
#include "paths.h"
#include "uihooks.h"
#include "utils.h"
#include "vocabulary.h"
#include "zemrampara.h"

namespace {

bool within(const QString &path, const char *dir)
{
    const QString d = QString::fromLatin1(dir);
    return path == d || path.startsWith(d + QLatin1Char('/'));
}

// Calls a screen hook for the page, when that page is still on display once the GUI thread
// runs it.
void on_page(uint8_t page, void (*const &hook)(uint8_t))
{
    if (g_page_focus.load() != page)
        return;
    UiHooks::on_gui_thread([page, &hook] {
        if (g_page_focus.load() == page && hook)
            hook(page);
    });
}

}

QString message_deal::checked_path(const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return QString();
    if (path.split(QLatin1Char('/')).contains(QStringLiteral("..")))
        return QString();
    const QString clean = QDir::cleanPath(path);
    if (clean == QLatin1String("/mnt/usb1") || clean.startsWith(QLatin1String("/mnt/usb1/"))
        || clean.startsWith(QLatin1String("/data/")))
        return clean;
    return QString();
}

bool message_deal::inside_device_folders(const QString &real)
{
    if (real.isEmpty())
        return false;
    for (const char *dir : {"/data", "/mnt/usb1"}) {
        const QString base = QFileInfo(Paths::dev(QString::fromLatin1(dir))).canonicalFilePath();
        if (!base.isEmpty() && real.startsWith(base + QLatin1Char('/')))
            return true;
    }
    return false;
}

int message_deal::write_file_end(const QString &path, const QByteArray &content)
{
    const QString p = checked_path(path);
    if (p.isEmpty())
        return 255;
    const QString full = Paths::dev(p);
    // By where it really leads: a link on the way must not carry the file out of the folders.
    if (QFileInfo(full).isDir() || !inside_device_folders(Utils::resolved_path(full)))
        return 255;
    {
        QMutexLocker lock(&Utils::_file_deal_mutex);
        if (!Utils::write_file_atomic(full, content))
            return 255;
    }
    if (ZemRamPara::p_zemrampara_config)
        ZemRamPara::p_zemrampara_config->test_signal(CHANGE_FILE_RECEIVED);
    if (within(p, "/data/rcvrecovery") && fpga_manage::p_fpga_manage)
        on_page(PAGE_ADVANCEDOPTION, UiHooks::page_language_changed);
    if (within(p, "/data/smartmapping"))
        on_page(PAGE_SMARTMAPPING, UiHooks::page_back);
    return 0;
}

int message_deal::delete_file_name(const QString &path)
{
    const QString p = checked_path(path);
    if (p.isEmpty())
        return 255;
    const QString full = Paths::dev(p);
    const QFileInfo info(full);
    // The folder is resolved, the named entry itself never: a link is deleted, not followed.
    if (!inside_device_folders(Utils::resolved_path(info.absolutePath()) + QLatin1Char('/') + info.fileName()))
        return 255;
    int removed = 0;
    if (info.isSymLink()) {
        removed = QFile::remove(full) ? 1 : 0;
    } else if (info.isDir()) {
        const QDir dir(full);
        for (const QString &name : dir.entryList(QDir::Files | QDir::NoDotAndDotDot)) {
            if (Utils::is_listed_name(name))
                removed += QFile::remove(dir.filePath(name)) ? 1 : 0;
        }
    } else if (info.exists()) {
        removed = QFile::remove(full) ? 1 : 0;
    }
    if (removed == 0)
        return 255;

    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (within(p, "/data/smartmapping") && fpga)
        on_page(PAGE_OPTION, UiHooks::page_language_changed);
    if (within(p, "/data/rcvrecovery")) {
        if (fpga && fpga->rcv_recovery)
            fpga->rcv_recovery->clear_files();
        on_page(PAGE_ADVANCEDOPTION, UiHooks::page_language_changed);
    }
    on_page(PAGE_SMARTMAPPING, UiHooks::page_back);
    return 0;
}
