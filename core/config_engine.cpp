#include "config_engine.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "global.h"
#include "paths.h"
#include "utils.h"

ConfigEngine *ConfigEngine::p_config = nullptr;

namespace {

const char kIniFile[] = "/data/configs/tcpip.ini";

enum class Kind { Text, Address, LanguageMask };

struct Item
{
    ConfigItem::ConfigName key;
    const char *ini_key;
    Kind kind;
    const char *fallback;
};

// Every setting once: its INI key, what a valid value looks like and its default.
const Item kItems[] = {
    {ConfigItem::IPAddress, "config/IPAddress", Kind::Address, "192.168.1.199"},
    {ConfigItem::SubNetMask, "config/SubNetMask", Kind::Address, "255.255.255.0"},
    {ConfigItem::GateWay, "config/GateWay", Kind::Address, "192.168.1.1"},
    {ConfigItem::BarCode, "config/BarCode", Kind::Text, " "},
    {ConfigItem::LcdLangValid, "config/LcdLangValid", Kind::LanguageMask, "31"},
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

// The stored value in its proper type, or an invalid QVariant when it cannot be used.
QVariant checked(const Item &item, const QVariant &raw)
{
    switch (item.kind) {
    case Kind::LanguageMask: {
        bool ok = false;
        const uint v = raw.toString().trimmed().toUInt(&ok, 0);
        // A mask offering none of the five languages would leave the screens without one.
        return ok && (v & 0x1F) ? QVariant(v) : QVariant();
    }
    case Kind::Address: {
        const QString s = raw.toString();
        return Utils::is_dotted_ipv4(s) ? QVariant(s) : QVariant();
    }
    case Kind::Text:
        return QVariant(raw.toString());
    }
    return QVariant();
}

QString ini_path()
{
    return Paths::dev(QString::fromLatin1(kIniFile));
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
    QDir().mkpath(QFileInfo(ini_path()).absolutePath());
    QSettings ini(ini_path(), QSettings::IniFormat);
    bool rewrite = false;
    for (const Item &item : kItems) {
        const QString key = QString::fromLatin1(item.ini_key);
        QVariant v;
        if (ini.contains(key))
            v = checked(item, ini.value(key));
        if (!v.isValid()) {
            v = checked(item, QString::fromLatin1(item.fallback));
            ini.setValue(key, v);
            rewrite = true;
        }
        m_values[item.key] = v;
    }
    if (rewrite)
        ini.sync();
}

QVariant ConfigEngine::read_config_variant(ConfigItem::ConfigName key) const
{
    return valid_item(key) ? m_values[key] : QVariant();
}

void ConfigEngine::write_config_variant(ConfigItem::ConfigName key, const QVariant &value)
{
    if (!valid_item(key))
        return;
    m_values[key] = value;
    const Item *item = item_of(key);
    if (!item)
        return;
    QSettings ini(ini_path(), QSettings::IniFormat);
    ini.setValue(QString::fromLatin1(item->ini_key), value);
    ini.sync();
}
