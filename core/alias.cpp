#include "alias.h"

#include <QFile>
#include <QMutex>

#include <boost/property_tree/ptree.hpp>

#include <sys/stat.h>

#include "json_file.h"
#include "paths.h"

namespace pt = boost::property_tree;

namespace {

// The home and user-mode screens look names up on every refresh, a few per refresh: the file is
// parsed once and again only when its size or time changes.
struct ParsedNames
{
    QMutex mutex;
    QString path;
    bool seen = false;
    struct stat stamp = {};
    bool valid = false;
    pt::ptree root;
};

ParsedNames &parsed_names()
{
    static ParsedNames cache;
    return cache;
}

bool same_file(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
        && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}

int get_json_alias_para(ALIAS_PARA *out, const QString &category, int id)
{
    if (!out)
        return 0;
    const QString path = Paths::dev(QStringLiteral("/data/configs/alias.json"));
    struct stat now = {};
    const bool exists = ::lstat(QFile::encodeName(path).constData(), &now) == 0;

    ParsedNames &cache = parsed_names();
    QMutexLocker lock(&cache.mutex);
    if (!exists) {
        cache.seen = false;
        cache.valid = false;
        cache.root.clear();
        return 0;
    }
    if (!cache.seen || cache.path != path || !same_file(cache.stamp, now)) {
        cache.path = path;
        cache.seen = true;
        cache.stamp = now;
        cache.valid = JsonFile::read(path, &cache.root);
    }
    if (!cache.valid)
        return 0;
    const pt::ptree &root = cache.root;
    try {
        const auto names = root.get_child_optional(pt::ptree::path_type("namelist", '\0'));
        if (!names)
            return 0;
        // The category is one member name, never a dotted path into the tree.
        const auto list = names->get_child_optional(pt::ptree::path_type(category.toStdString(), '\0'));
        if (!list)
            return 0;
        for (const auto &entry : *list) {
            const auto entry_id = entry.second.get_optional<int>("id");
            if (!entry_id || *entry_id != id)
                continue;
            const QString valid = QString::fromStdString(entry.second.get<std::string>("valid", ""));
            const QString name = QString::fromUtf8(entry.second.get<std::string>("name", "").c_str());
            if (valid == QLatin1String("off") || name.isEmpty())
                return 0;
            out->id = id;
            out->valid = valid;
            out->name = name;
            return 1;
        }
    } catch (const pt::ptree_error &) {
        return 0;
    }
    return 0;
}
