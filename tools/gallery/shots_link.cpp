#include <QCoreApplication>
#include <QKeyEvent>

#include "global.h"
#include "linkcom.h"
#include "linkwlan.h"
#include "shots.h"

// linkcom and linkwlan.
namespace {

void keys(QWidget *w, std::initializer_list<int> codes)
{
    for (int code : codes) {
        QKeyEvent e(QEvent::KeyRelease, code, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

// The address, mask and gateway in force are the ones given while the screen is built.
QWidget *network(const char *ip, const char *gateway, std::initializer_list<int> moves)
{
    const QString old_ip = g_str_ip, old_gateway = g_str_gateway;
    g_str_ip = QString::fromLatin1(ip);
    g_str_gateway = QString::fromLatin1(gateway);
    open_screen(g_linkwlan, new linkwlan);
    keys(g_linkwlan, moves);
    g_str_ip = old_ip;
    g_str_gateway = old_gateway;
    return g_linkwlan;
}

}

void add_link_shots(ShotList &shots)
{
    shots.push_back({QStringLiteral("linkcom"), [] {
                         open_screen(g_linkcom, new linkcom);
                         return static_cast<QWidget *>(g_linkcom);
                     }});
    shots.push_back({QStringLiteral("linkwlan"), [] { return network("192.168.1.199", "192.168.1.1", {}); }});
    shots.push_back({QStringLiteral("linkwlan_gateway"),
                     [] { return network("10.20.130.255", "10.20.130.1", {Qt::Key_F4, Qt::Key_F4, Qt::Key_F4}); }});
    shots.push_back({QStringLiteral("linkwlan_apply"), [] { return network("192.168.1.199", "192.168.1.1", {Qt::Key_F4, Qt::Key_F4}); }});
    // A stored gateway of three parts: its last octet shows empty.
    shots.push_back({QStringLiteral("linkwlan_short_gateway"), [] { return network("192.168.1.199", "192.168.1", {}); }});
}
