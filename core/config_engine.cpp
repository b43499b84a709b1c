#include "config_engine.h"

#include <sys/stat.h>

#include "global.h"
#include "ini_text.h"
#include "paths.h"
#include "safe_file.h"
#include "utils.h"

ConfigEngine *ConfigEngine::p_config = nullptr;

using namespace IniText;

namespace {

const char kIniFolder[] = "/data/configs";
const char kIniName[] = "tcpip.ini";
// Where a file that is not taken is kept, once, before the defaults take its place.
const char kRefusedName[] = "tcpip.ini.refused";
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
    return Paths::dev(QLatin1String(kIniFolder) + QLatin1Char('/') + QLatin1String(kIniName));
}

// Why a file that could be read is no configuration to take, or empty when it is one.
QString refusal_of(const QByteArray &bytes, const QList<QByteArray> &lines)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QStringLiteral("UTF-16 text, only UTF-8 is read");
    if (bytes.contains('\0'))
        return QStringLiteral("not text: it holds NUL bytes");
    for (const QByteArray &line : lines) {
        if (group_of(line) == kGroup)
            return QString();
    }
    return QStringLiteral("no [config] group");
}

// The file as it stands now, read through the folder that the write after it goes to.
struct Current
{
    QList<QByteArray> lines;   // none when it is missing or not taken
    bool taken = true;         // false: a file is there and not taken, said why
    bool replaceable = true;   // false: not taken, and it could not be kept aside (said)
};

// A regular file that is not taken and holds something is moved aside before anything replaces
// it: a file the program cannot read may still hold the addresses and the bar code the user set,
// and the defaults written in its place would otherwise be all that is left of them. A link, a
// FIFO or a device in its place holds nothing of the configuration and is simply replaced.
Current current(const Folder &dir)
{
    Current c;
    const QString name = QLatin1String(kIniName);
    const FileRead file = Utils::read_file_capped(dir, name, kMaxIniBytes);
    if (file.status == FileRead::Missing)
        return c;
    c.lines = lines_of(file.bytes);
    const bool blank = file.ok() && without_mark(file.bytes).trimmed().isEmpty();
    const QString why = !file.ok() ? file.reason : blank ? QStringLiteral("empty") : refusal_of(file.bytes, c.lines);
    if (why.isEmpty())
        return c;
    // The reader has said why it refused the file.
    if (file.ok())
        Utils::report_file_problem(ini_path(), QStringLiteral("not used: ") + why);
    c.lines.clear();
    c.taken = false;
    if (blank || dir.entry_type(name) != S_IFREG)
        return c;
    QString reason;
    c.replaceable = dir.rename(name, QLatin1String(kRefusedName), &reason);
    const QString said = c.replaceable ? QStringLiteral("kept as %1, a new one written").arg(QLatin1String(kRefusedName))
                                       : QStringLiteral("left as it is, for it cannot be kept aside: ") + reason;
    Utils::report_file_problem(ini_path(), said);
    return c;
}

bool store(const Folder &dir, const QList<QByteArray> &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + '\n';
    return Utils::write_file_atomic(dir, QLatin1String(kIniName), bytes);
}

Folder ini_folder()
{
    return Folder::open(Paths::dev(QLatin1String(kIniFolder)), true);
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
    // The file keeps an address as it was written (a later write of another key leaves its line
    // alone); what is in force and shown is the address the commands get.
    g_str_ip = Utils::plain_ipv4(p_config->m_values[ConfigItem::IPAddress].toString());
    g_srt_mask = Utils::plain_ipv4(p_config->m_values[ConfigItem::SubNetMask].toString());
    g_str_gateway = Utils::plain_ipv4(p_config->m_values[ConfigItem::GateWay].toString());
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
    const Folder dir = ini_folder();
    Current file = current(dir);
    QList<QByteArray> &lines = file.lines;
    bool rewrite = !file.taken;
    for (const Item &item : kItems) {
        QVariant v;
        const QList<int> at = key_lines(lines, kGroup, item.ini_key);
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
            set_line(lines, kGroup, item.ini_key, escaped(QString::fromLatin1(item.fallback)));
            rewrite = true;
        }
        m_values[item.key] = v;
    }
    if (rewrite && file.replaceable)
        store(dir, lines);
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
        // not know of, which a file it can read keeps; one it cannot is kept aside first.
        const Folder dir = ini_folder();
        Current file = current(dir);
        if (!file.replaceable)
            return false;
        QList<QByteArray> &lines = file.lines;
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
            if (!given && stores(lines, kGroup, item.ini_key, value.toString()))
                continue;
            set_line(lines, kGroup, item.ini_key, escaped(value.toString()));
        }
        if (!store(dir, lines))
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
