#include "network.h"

#include <QThread>

#include "config_engine.h"
#include "safe_file.h"
#include "utils.h"

bool store_network(const QString &ip, const QString &mask, const QString &gateway)
{
    ConfigEngine *config = ConfigEngine::p_config;
    if (!config)
        return false;
    // One write of the file for the three: a cut between separate writes would leave a new
    // address beside the old mask, which the next start puts in force.
    if (!config->write_config_variants(
            {{ConfigItem::IPAddress, ip}, {ConfigItem::SubNetMask, mask}, {ConfigItem::GateWay, gateway}})) {
        Utils::report_file_problem(ConfigEngine::file_path(),
                                   QStringLiteral("network address %1, mask %2, gateway %3 not saved, not put in force")
                                       .arg(ip, mask, gateway));
        return false;
    }
    Utils::system_mutex(QStringLiteral("sync"));
    QThread::usleep(100);
    Utils::initIPAddress();
    return true;
}
