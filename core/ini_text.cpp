#include "ini_text.h"

#include <QRegularExpression>

#include "utils.h"

namespace IniText {

QByteArray without_mark(const QByteArray &bytes)
{
    return bytes.startsWith(kUtf8Mark) ? bytes.mid(int(sizeof kUtf8Mark) - 1) : bytes;
}

QList<QByteArray> lines_of(const QByteArray &bytes)
{
    QList<QByteArray> lines = without_mark(bytes).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

QByteArray group_of(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    return t.size() >= 2 && t.startsWith('[') && t.endsWith(']') ? t.mid(1, t.size() - 2).trimmed() : QByteArray();
}

QList<int> key_lines(const QList<QByteArray> &lines, const char *group_name, const char *key)
{
    QList<int> found;
    bool in_group = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray group = group_of(lines[i]);
        if (!group.isNull()) {
            in_group = group == group_name;
            continue;
        }
        const int eq = lines[i].indexOf('=');
        if (in_group && eq > 0 && lines[i].left(eq).trimmed() == key)
            found << i;
    }
    return found;
}

bool unescaped(const QByteArray &raw, QString *out)
{
    if (!Utils::is_utf8(raw))
        return false;
    const QString s = QString::fromUtf8(raw);
    static const char kCodes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'},
                                     {'v', '\v'}, {'"', '"'},   {'?', '?'},   {'\'', '\''}, {'\\', '\\'}};
    const auto digit = [](QChar c, int base) {
        const int v = c.isDigit() ? c.digitValue() : (c.toLower().unicode() >= 'a' ? c.toLower().unicode() - 'a' + 10 : 99);
        return c.unicode() < 128 && v < base ? v : -1;
    };
    QString text;
    bool quoted = false;
    int keep = 0;   // blanks after this length trail the value and are dropped
    int i = 0;
    const int n = s.size();
    while (i < n && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t')))
        ++i;
    while (i < n) {
        const QChar c = s[i++];
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (c == QLatin1Char(';') && !quoted) {
            break;   // the rest of the line is a comment
        } else if (c == QLatin1Char('\\') && i < n) {
            const QChar e = s[i++];
            bool done = false;
            for (const auto &code : kCodes) {
                if (e == QLatin1Char(code[0])) {
                    text += QLatin1Char(code[1]);
                    done = true;
                    break;
                }
            }
            const int base = e == QLatin1Char('x') ? 16 : digit(e, 8) >= 0 ? 8 : 0;
            if (!done && base) {
                uint v = base == 8 ? static_cast<uint>(digit(e, 8)) : 0;
                int digits = base == 8 ? 1 : 0;
                for (; digits < 6 && i < n && digit(s[i], base) >= 0; ++digits)
                    v = v * static_cast<uint>(base) + static_cast<uint>(digit(s[i++], base));
                if (digits)
                    text += QChar(static_cast<ushort>(v & 0xFFFF));
            }
        } else {
            text += c;
            if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t')))
                continue;
        }
        keep = text.size();
    }
    text.truncate(keep);
    // "@@" stands for a text beginning with "@"; "@Type(...)" is a serialised object of some type
    // and no text: it is refused here rather than built.
    if (text.startsWith(QLatin1String("@@"))) {
        text.remove(0, 1);
    } else {
        static const QRegularExpression typed(QStringLiteral("^@[A-Za-z]+\\(.*\\)$"),
                                              QRegularExpression::DotMatchesEverythingOption);
        if (typed.match(text).hasMatch())
            return false;
    }
    *out = text;
    return true;
}

QByteArray escaped(QString text)
{
    if (text.startsWith(QLatin1Char('@')))
        text.prepend(QLatin1Char('@'));
    QByteArray out;
    bool quote = false;
    bool hex_before = false;   // a digit right after a "\x.." escape would join it
    for (const QChar qc : text) {
        const ushort c = qc.unicode();
        if (c == ';' || c == ',' || c == '=')
            quote = true;
        const bool hex_digit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (hex_before && hex_digit) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        hex_before = false;
        switch (c) {
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += static_cast<char>(c);
            break;
        default:
            if (c <= 0x1F || c >= 0x7F) {
                out += "\\x" + QByteArray::number(c, 16);
                hex_before = true;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    if (quote || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}

void set_line(QList<QByteArray> &lines, const char *group_name, const char *key, const QByteArray &value)
{
    const QByteArray line = QByteArray(key) + '=' + value;
    QList<int> at = key_lines(lines, group_name, key);
    if (!at.isEmpty()) {
        lines[at.last()] = line;
        for (int k = at.size() - 2; k >= 0; --k)
            lines.removeAt(at[k]);
        return;
    }
    int end = -1;
    bool in_group = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray group = group_of(lines[i]);
        if (!group.isNull())
            in_group = group == group_name;
        if (in_group && (!group.isNull() || !lines[i].trimmed().isEmpty()))
            end = i;
    }
    if (end >= 0) {
        lines.insert(end + 1, line);
        return;
    }
    if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
        lines << QByteArray();
    lines << QByteArray("[") + group_name + ']' << line;
}

bool stores(const QList<QByteArray> &lines, const char *group_name, const char *key, const QString &text)
{
    const QList<int> at = key_lines(lines, group_name, key);
    if (at.isEmpty())
        return false;
    const QByteArray &line = lines[at.last()];
    QString stored;
    return unescaped(line.mid(line.indexOf('=') + 1), &stored) && stored == text;
}

}
