#include "network.h"

#include <QThread>

#include "config_engine.h"
#include "utils.h"

bool store_network(const QString &ip, const QString &mask, const QString &gateway)
{
    ConfigEngine *config = ConfigEngine::p_config;
    if (!config)
        return false;
    bool stored = config->write_config_variant(ConfigItem::IPAddress, ip);
    stored = config->write_config_variant(ConfigItem::SubNetMask, mask) && stored;
    stored = config->write_config_variant(ConfigItem::GateWay, gateway) && stored;
    if (!stored)
        return false;
    Utils::system_mutex(QStringLiteral("sync"));
    QThread::usleep(100);
    Utils::initIPAddress();
    return true;
}
