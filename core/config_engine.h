#pragma once
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>
#include <utility>

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
    // into the globals (an address in its plain form, Utils::plain_ipv4) and empties the ageing
    // log. Values are plain text, converted here: nothing in the file can make the reader build
    // another type. A file not taken (too big, not UTF-8 text, no group "config") is said so and
    // kept as "tcpip.ini.refused" before any write replaces it; one that cannot be kept there is
    // never replaced.
    static ConfigEngine *pInstance();
    static void destroy_for_test();

    using Values = QVector<std::pair<ConfigItem::ConfigName, QVariant>>;

    QVariant read_config_variant(ConfigItem::ConfigName key) const;
    // For a key of the file, writes the file again through the safe writer, then caches the
    // value. The file written holds every key of the file (the held values beside the given one)
    // and keeps the other lines of the file as it stood. False when the file did not take it
    // (the writer has said why): the cache keeps the old value then, so nothing reads back a value
    // the next start would not find.
    bool write_config_variant(ConfigItem::ConfigName key, const QVariant &value);
    // Several keys in one write of the file: a power cut or a failed write leaves all of them
    // old, in the file and in the cache, never some new beside others old.
    bool write_config_variants(const Values &values);
    // The file's path under the data root, for the reports of those who write through here.
    static QString file_path();

private:
    ConfigEngine();
    void load();
    mutable QMutex m_mutex;   // the values and the file: screens and link threads both write
    QVariant m_values[ConfigItem::ConfigCount];
};
