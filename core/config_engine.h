#pragma once
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariant>

namespace ConfigItem {
// Keys of "/data/configs/tcpip.ini", group "config". Each has its type and default in one table
// (config_engine.cpp). 0..17 are the file's own keys; the program's additions come after them.
enum ConfigName {
    IPAddress = 2,
    SubNetMask = 3,
    GateWay = 4,
    BarCode = 6,
    LcdLangValid = 18,
    ConfigCount
};
}

class ConfigEngine : public QObject
{
    Q_OBJECT
public:
    static ConfigEngine *p_config;
    // Loads the INI (a missing or malformed key is written with its default), copies the values
    // into the globals and empties the ageing log. Values are plain text, converted here: nothing
    // in the file can make the reader build another type.
    static ConfigEngine *pInstance();
    static void destroy_for_test();

    QVariant read_config_variant(ConfigItem::ConfigName key) const;
    // Caches the value and, for a key of the file, writes the file again through the safe writer.
    // False when the file did not take it (the writer has said why).
    bool write_config_variant(ConfigItem::ConfigName key, const QVariant &value);

private:
    ConfigEngine();
    void load();
    mutable QMutex m_mutex;   // the values and the file: screens and link threads both write
    QVariant m_values[ConfigItem::ConfigCount];
};
