#include "json_file.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sstream>

#include "safe_file.h"
#include "utils.h"

namespace JsonFile {

bool read(const QString &path, boost::property_tree::ptree *out)
{
    out->clear();
    const FileRead file = Utils::read_file_capped(path, kMaxBytes);
    if (!file.ok())
        return false;
    QString problem;
    if (!Utils::json_depth_within(file.bytes, kMaxDepth)) {
        problem = QStringLiteral("nested deeper than %1 levels").arg(kMaxDepth);
    } else {
        std::istringstream in(file.bytes.toStdString());
        try {
            boost::property_tree::read_json(in, *out);
            Utils::file_read_ok(path);
            return true;
        } catch (const boost::property_tree::ptree_error &e) {
            problem = QString::fromLocal8Bit(e.what());
        }
    }
    out->clear();
    Utils::report_file_problem(path, QStringLiteral("not used: ") + problem);
    return false;
}

}
