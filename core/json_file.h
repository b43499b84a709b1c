#pragma once
#include <QString>
#include <boost/property_tree/ptree_fwd.hpp>

// The JSON files the program reads (display names, OSD layouts) come from the control link or a
// USB stick as often as from the program itself.
namespace JsonFile {

// Far above any real names or OSD file.
constexpr qint64 kMaxBytes = 256 * 1024;
// Real files nest four levels deep; the parser recurses once per level.
constexpr int kMaxDepth = 32;

// Parses the file at `path` (a full path) into `out`: only a regular file within kMaxBytes,
// nested at most kMaxDepth deep (the parser itself refuses text that is not UTF-8). Otherwise false and `out` empty; an existing file that
// cannot be used is reported.
bool read(const QString &path, boost::property_tree::ptree *out);

}
