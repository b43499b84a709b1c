#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

// The INI text in the form Qt's settings class reads and writes, so that either can read the
// other's file. A file is held as its lines, so that a rewrite keeps the ones nobody here knows.
namespace IniText {

// Editors of other systems start a UTF-8 text with it.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
QByteArray without_mark(const QByteArray &bytes);

// The lines of a file, its mark and the carriage returns of its line ends taken off.
QList<QByteArray> lines_of(const QByteArray &bytes);
// The group a "[name]" line opens, or a null array for any other line.
QByteArray group_of(const QByteArray &line);
// Indexes of the lines "key=..." of the group, in file order.
QList<int> key_lines(const QList<QByteArray> &lines, const char *group_name, const char *key);

// A stored value as text: quotes and backslash escapes undone; a comma is part of the text, not
// a list separator. False for text that is not UTF-8, and for "@Type(...)", a serialised object
// of some type, which is refused rather than built.
bool unescaped(const QByteArray &raw, QString *out);
// The value as the settings class writes it.
QByteArray escaped(QString text);

// Sets key=value in the group: the last line of the key is replaced and earlier ones dropped; a
// new key goes to the end of the group, a new group to the end of the file.
void set_line(QList<QByteArray> &lines, const char *group_name, const char *key, const QByteArray &value);
// Whether the last line of `key` in the group is there and reads as `text`.
bool stores(const QList<QByteArray> &lines, const char *group_name, const char *key, const QString &text);

}
