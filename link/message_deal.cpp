#include "message_deal.h"

#include <QDir>
#include <QMutexLocker>
#include <sys/stat.h>

#include "fpga_manage.h"
#include "global.h"
#include "paths.h"
#include "safe_file.h"
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

// Where a checked path lies: its folder, opened from "/data" or "/mnt/usb1" with no link followed
// (the folders on the way made when `create`), and its name there. Everything after is done in
// that open folder, so a folder swapped for a link meanwhile cannot lead anything out.
struct Place
{
    Folder folder;
    QString name;
};

bool place_of(const QString &checked, bool create, Place *at)
{
    const QString base = QLatin1String(within(checked, "/mnt/usb1") ? "/mnt/usb1" : "/data");
    const QString rel = checked.mid(base.size() + 1);
    // Neither folder itself is written or emptied: the stick's is its mount point.
    if (rel.isEmpty())
        return false;
    const int slash = rel.lastIndexOf(QLatin1Char('/'));
    Folder top = Folder::open(Paths::dev(base));
    at->folder = slash < 0 ? std::move(top) : top.sub(rel.left(slash), create);
    at->name = rel.mid(slash + 1);
    return at->folder.ok();
}

}

QString message_deal::checked_path(const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        return QString();
    if (path.split(QLatin1Char('/')).contains(QStringLiteral("..")))
        return QString();
    const QString clean = QDir::cleanPath(path);
    // Start-up removes whatever lies under the safe writer's temporary names.
    if (Utils::is_temporary_name(clean.section(QLatin1Char('/'), -1)))
        return QString();
    if (clean == QLatin1String("/mnt/usb1") || clean.startsWith(QLatin1String("/mnt/usb1/"))
        || clean.startsWith(QLatin1String("/data/")))
        return clean;
    return QString();
}

int message_deal::write_file_end(const QString &path, const QByteArray &content)
{
    const QString p = checked_path(path);
    Place at;
    if (p.isEmpty() || !place_of(p, true, &at))
        return 255;
    const unsigned kind = at.folder.entry_type(at.name);
    if (kind != 0 && kind != S_IFREG)
        return 255;
    {
        QMutexLocker lock(&Utils::_file_deal_mutex);
        if (!Utils::write_file_atomic(at.folder, at.name, content))
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
    Place at;
    if (p.isEmpty() || !place_of(p, false, &at))
        return 255;
    int removed = 0;
    const unsigned kind = at.folder.entry_type(at.name);
    if (kind == S_IFDIR) {
        const Folder dir = at.folder.sub(at.name);
        for (const QString &name : dir.listed_files())
            removed += dir.remove(name) ? 1 : 0;
    } else if (kind != 0) {
        removed = at.folder.remove(at.name) ? 1 : 0;
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
