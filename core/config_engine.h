#pragma once
#include <QObject>
#include <QString>
#include <QVariant>

namespace ConfigItem {
// Keys of "/data/configs/tcpip.ini", group "config". Each has its type and default in one table
// (config_engine.cpp).
enum ConfigName {
    IPAddress = 2,
    SubNetMask = 3,
    GateWay = 4,
    BarCode = 6,
    LcdLangValid = 7,
    ConfigCount
};
}

class ConfigEngine : public QObject
{
    Q_OBJECT
public:
    static ConfigEngine *p_config;
    // Loads the INI (a missing or malformed key is written with its default), copies the values
    // into the globals and empties the ageing log.
    static ConfigEngine *pInstance();
    static void destroy_for_test();

    QVariant read_config_variant(ConfigItem::ConfigName key) const;
    void write_config_variant(ConfigItem::ConfigName key, const QVariant &value);

private:
    ConfigEngine();
    void load();
    QVariant m_values[ConfigItem::ConfigCount];
};
