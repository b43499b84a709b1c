#include "alias.h"

#include <QFile>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sstream>

#include "paths.h"

namespace pt = boost::property_tree;

int get_json_alias_para(ALIAS_PARA *out, const QString &category, int id)
{
    if (!out)
        return 0;
    QFile f(Paths::dev(QStringLiteral("/data/configs/alias.json")));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    std::istringstream in(f.readAll().toStdString());
    try {
        pt::ptree root;
        pt::read_json(in, root);
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
