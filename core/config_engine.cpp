#include "config_engine.h"

#include <QRegularExpression>

#include "global.h"
#include "paths.h"
#include "safe_file.h"
#include "utils.h"

ConfigEngine *ConfigEngine::p_config = nullptr;

namespace {

const char kIniFile[] = "/data/configs/tcpip.ini";
const char kGroup[] = "config";
// The real file holds eighteen short lines.
constexpr qint64 kMaxIniBytes = 64 * 1024;

enum class Kind { Text, Address, LanguageMask };

struct Item
{
    ConfigItem::ConfigName key;
    const char *ini_key;
    Kind kind;
    const char *fallback;
};

// Every setting once: its INI key (in the group "config"), what a valid value looks like and its
// default.
const Item kItems[] = {
    {ConfigItem::IPAddress, "IPAddress", Kind::Address, "192.168.1.199"},
    {ConfigItem::SubNetMask, "SubNetMask", Kind::Address, "255.255.255.0"},
    {ConfigItem::GateWay, "GateWay", Kind::Address, "192.168.1.1"},
    {ConfigItem::BarCode, "BarCode", Kind::Text, " "},
    {ConfigItem::LcdLangValid, "LcdLangValid", Kind::LanguageMask, "31"},
};

// The file's entry of a key; nullptr for a number without one (kept in memory only).
const Item *item_of(ConfigItem::ConfigName key)
{
    for (const Item &item : kItems) {
        if (item.key == key)
            return &item;
    }
    return nullptr;
}

bool valid_item(ConfigItem::ConfigName key)
{
    return key >= 0 && key < ConfigItem::ConfigCount;
}

// The stored text in its proper type, or an invalid QVariant when it cannot be used.
QVariant checked(const Item &item, const QString &text)
{
    switch (item.kind) {
    case Kind::LanguageMask: {
        bool ok = false;
        const uint v = text.trimmed().toUInt(&ok, 0);
        // A mask offering none of the five languages would leave the screens without one.
        return ok && (v & 0x1F) ? QVariant(v) : QVariant();
    }
    case Kind::Address:
        return Utils::is_dotted_ipv4(text) ? QVariant(text) : QVariant();
    case Kind::Text:
        return QVariant(text);
    }
    return QVariant();
}

QString ini_path()
{
    return Paths::dev(QString::fromLatin1(kIniFile));
}

// ---- the INI text, in the form Qt's settings class reads and writes --------------------------

QList<QByteArray> lines_of(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// The group a "[name]" line opens, or a null array for any other line.
QByteArray group_of(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    return t.size() >= 2 && t.startsWith('[') && t.endsWith(']') ? t.mid(1, t.size() - 2).trimmed() : QByteArray();
}

// Indexes of the lines "key=..." of the group "config", in file order.
QList<int> key_lines(const QList<QByteArray> &lines, const char *key)
{
    QList<int> found;
    bool in_group = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray group = group_of(lines[i]);
        if (!group.isNull()) {
            in_group = group == kGroup;
            continue;
        }
        const int eq = lines[i].indexOf('=');
        if (in_group && eq > 0 && lines[i].left(eq).trimmed() == key)
            found << i;
    }
    return found;
}

// A stored value as text: quotes and backslash escapes undone; a comma is part of the text, not
// a list separator. False for text that is not UTF-8.
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

// The value as the settings class writes it, so that either can read the other's file.
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

// Sets key=value in the group "config": the last line of the key is replaced and earlier ones
// dropped; a new key goes to the end of the group, a new group to the end of the file.
void set_line(QList<QByteArray> &lines, const char *key, const QByteArray &value)
{
    const QByteArray line = QByteArray(key) + '=' + value;
    QList<int> at = key_lines(lines, key);
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
            in_group = group == kGroup;
        if (in_group && (!group.isNull() || !lines[i].trimmed().isEmpty()))
            end = i;
    }
    if (end >= 0) {
        lines.insert(end + 1, line);
        return;
    }
    if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
        lines << QByteArray();
    lines << QByteArray("[") + kGroup + ']' << line;
}

// Whether the last line of `key` is there and reads as `text`.
bool stores(const QList<QByteArray> &lines, const char *key, const QString &text)
{
    const QList<int> at = key_lines(lines, key);
    if (at.isEmpty())
        return false;
    const QByteArray &line = lines[at.last()];
    QString stored;
    return unescaped(line.mid(line.indexOf('=') + 1), &stored) && stored == text;
}

// The file's lines as they stand now; none when it is missing or unusable.
QList<QByteArray> current_lines(FileRead::Status *status = nullptr)
{
    const FileRead file = Utils::read_file_capped(ini_path(), kMaxIniBytes);
    if (status)
        *status = file.status;
    return file.ok() ? lines_of(file.bytes) : QList<QByteArray>();
}

bool store(const QList<QByteArray> &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + '\n';
    return Utils::write_file_atomic(ini_path(), bytes);
}

}

ConfigEngine::ConfigEngine() = default;

ConfigEngine *ConfigEngine::pInstance()
{
    if (p_config)
        return p_config;
    p_config = new ConfigEngine;
    p_config->load();
    factoryage_log.clear();
    g_str_ip = p_config->m_values[ConfigItem::IPAddress].toString();
    g_srt_mask = p_config->m_values[ConfigItem::SubNetMask].toString();
    g_str_gateway = p_config->m_values[ConfigItem::GateWay].toString();
    g_str_barcode = p_config->m_values[ConfigItem::BarCode].toString();
    g_lcd_lang_valid = p_config->m_values[ConfigItem::LcdLangValid].toUInt();
    return p_config;
}

void ConfigEngine::destroy_for_test()
{
    delete p_config;
    p_config = nullptr;
}

void ConfigEngine::load()
{
    QMutexLocker lock(&m_mutex);
    FileRead::Status status = FileRead::Missing;
    QList<QByteArray> lines = current_lines(&status);
    // A file that is no file (a link, a FIFO, too big) is replaced by a proper one.
    bool rewrite = status == FileRead::Refused;
    for (const Item &item : kItems) {
        QVariant v;
        const QList<int> at = key_lines(lines, item.ini_key);
        if (!at.isEmpty()) {
            const QByteArray &line = lines[at.last()];
            QString text;
            if (unescaped(line.mid(line.indexOf('=') + 1), &text))
                v = checked(item, text);
            if (!v.isValid())
                Utils::report_file_problem(ini_path(), QStringLiteral("%1/%2 not usable, default \"%3\" written")
                                                            .arg(QLatin1String(kGroup), QLatin1String(item.ini_key),
                                                                 QLatin1String(item.fallback)));
        }
        if (!v.isValid()) {
            v = checked(item, QString::fromLatin1(item.fallback));
            set_line(lines, item.ini_key, escaped(QString::fromLatin1(item.fallback)));
            rewrite = true;
        }
        m_values[item.key] = v;
    }
    if (rewrite)
        store(lines);
}

QVariant ConfigEngine::read_config_variant(ConfigItem::ConfigName key) const
{
    QMutexLocker lock(&m_mutex);
    return valid_item(key) ? m_values[key] : QVariant();
}

bool ConfigEngine::write_config_variant(ConfigItem::ConfigName key, const QVariant &value)
{
    return write_config_variants({{key, value}});
}

bool ConfigEngine::write_config_variants(const Values &values)
{
    for (const auto &v : values) {
        if (!valid_item(v.first))
            return false;
    }
    bool in_file = false;
    for (const auto &v : values)
        in_file = in_file || item_of(v.first);
    QMutexLocker lock(&m_mutex);
    if (in_file) {
        // The file gets every key, the held value where none is given: a file gone or refused
        // since the start would otherwise come back with the given keys alone, and the next start
        // would put defaults in place of the others. Read again for the lines this program does
        // not know of, which a file it can read keeps.
        QList<QByteArray> lines = current_lines();
        for (const Item &item : kItems) {
            QVariant value = m_values[item.key];
            bool given = false;
            for (const auto &v : values) {
                if (v.first == item.key) {
                    value = v.second;
                    given = true;
                }
            }
            // A line that already reads as the held value stays as it is, its comment with it.
            if (!given && stores(lines, item.ini_key, value.toString()))
                continue;
            set_line(lines, item.ini_key, escaped(value.toString()));
        }
        if (!store(lines))
            return false;
    }
    for (const auto &v : values)
        m_values[v.first] = v.second;
    return true;
}

QString ConfigEngine::file_path()
{
    return ini_path();
}
