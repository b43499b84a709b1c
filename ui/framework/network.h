#pragma once
#include <QString>

// The wired address as the screens change it: address, mask and gateway stored under the
// configuration's keys 2, 3 and 4, flushed, then put in force on eth0 (Utils::initIPAddress, which
// also renews the globals). The three go into the file in one write. An address the file did not
// take is not put in force: the device would run on it until the next start and then forget it.
// False then, with no command run and the failure said on the error output and in the log.
bool store_network(const QString &ip, const QString &mask, const QString &gateway);
