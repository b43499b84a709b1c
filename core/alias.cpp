#include "alias.h"

#include <QFile>
#include <QMutex>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sstream>

#include "paths.h"

namespace pt = boost::property_tree;

namespace {

// The home and user-mode screens look names up on every refresh, a few per refresh. Reading the
// small file is cheap; parsing it is not, so the last parse is kept for as long as the bytes match.
struct ParsedNames
{
    QMutex mutex;
    QString path;
    QByteArray bytes;
    bool valid = false;
    pt::ptree root;
};

ParsedNames &parsed_names()
{
    static ParsedNames cache;
    return cache;
}

}

int get_json_alias_para(ALIAS_PARA *out, const QString &category, int id)
{
    if (!out)
        return 0;
    const QString path = Paths::dev(QStringLiteral("/data/configs/alias.json"));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = f.readAll();

    ParsedNames &cache = parsed_names();
    QMutexLocker lock(&cache.mutex);
    if (cache.path != path || cache.bytes != bytes) {
        cache.path = path;
        cache.bytes = bytes;
        cache.root.clear();
        cache.valid = false;
        std::istringstream in(bytes.toStdString());
        try {
            pt::read_json(in, cache.root);
            cache.valid = true;
        } catch (const pt::ptree_error &) {
            cache.root.clear();
        }
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
