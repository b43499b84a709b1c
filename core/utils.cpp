#include "utils.h"

#include <QStringList>
#include <QTextCodec>

#include <cstdlib>

#include "config_engine.h"
#include "global.h"
#include "paths.h"
#include "safe_file.h"

QMutex Utils::_system_mutex;
QMutex Utils::_file_deal_mutex;
QMutex Utils::_test_signal_mutex;
QMutex Utils::_led_para_init_mutex;

uint32_t Utils::getTimeSpace(uint32_t stamp)
{
    const uint32_t now = G_timeTicks.load();
    if (now >= stamp)
        return now - stamp;
    // The counter passed 0xFFFFFFFF since the stamp.
    return now - stamp - 1;
}

#ifndef ZEM_DEVICE_BUILD
namespace {

// Away from the device a command is only recorded: nothing may touch the host. The runner's
// mutex is held here, and every thread that runs a command or reads the clock waits for it, so
// nothing in here may wait: a record that cannot be written (a link, a hard link, a FIFO, a
// folder in its place) loses the line, said once.
void record_command(const QString &cmd)
{
    const QString name = QStringLiteral("shell.log");
    const Folder root = Folder::open(Paths::data_root(), true);
    const QString path = root.path() + QLatin1Char('/') + name;
    QString problem;
    if (root.append(name, cmd.toUtf8() + '\n', &problem))
        Utils::file_ok(path);
    else
        Utils::report_file_problem(path, QStringLiteral("commands not recorded: ") + problem);
}

}
#endif

int Utils::system_mutex(const QString &cmd, int *status)
{
    QMutexLocker lock(&_system_mutex);
    int st = 0;
#ifdef ZEM_DEVICE_BUILD
    st = ::system(cmd.toLatin1().constData());
#else
    record_command(cmd);
#endif
    if (status)
        *status = st;
    return st == 0 ? 0 : 255;
}

int Utils::octet_value(const QString &text)
{
    if (text.isEmpty() || text.size() > 3)
        return -1;
    int value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value <= 255 ? value : -1;
}

QString Utils::plain_ipv4(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return QString();
    QStringList plain;
    for (const QString &p : parts) {
        const int value = octet_value(p);
        if (value < 0)
            return QString();
        plain << QString::number(value);
    }
    return plain.join(QLatin1Char('.'));
}

bool Utils::is_dotted_ipv4(const QString &text)
{
    return !plain_ipv4(text).isEmpty();
}

int Utils::initIPAddress()
{
    // The device's shell is a POSIX one: "&>" there would run the check in the background and
    // always succeed.
    if (system_mutex(QStringLiteral("ifconfig eth0 >/dev/null 2>&1")) != 0)
        return 255;

    ConfigEngine *cfg = ConfigEngine::pInstance();
    // These go into a shell command line: anything but four octets stays out of it, and the
    // octets go in their plain form whatever the file holds.
    const QString ip = plain_ipv4(cfg->read_config_variant(ConfigItem::IPAddress).toString());
    const QString mask = plain_ipv4(cfg->read_config_variant(ConfigItem::SubNetMask).toString());
    const QString gw = plain_ipv4(cfg->read_config_variant(ConfigItem::GateWay).toString());
    if (ip.isEmpty() || mask.isEmpty() || gw.isEmpty())
        return 255;

    g_str_ip = ip;
    g_srt_mask = mask;
    g_str_gateway = gw;
    g_str_barcode = cfg->read_config_variant(ConfigItem::BarCode).toString();
    g_lcd_lang_valid = cfg->read_config_variant(ConfigItem::LcdLangValid).toUInt();

    system_mutex(QStringLiteral("route del default wlan0"));
    system_mutex(QStringLiteral("ifconfig eth0 %1 netmask %2").arg(g_str_ip, g_srt_mask));
    system_mutex(QStringLiteral("route add -host %1 dev eth0").arg(g_str_gateway));
    system_mutex(QStringLiteral("route add default gw %1 metric 100").arg(g_str_gateway));
    system_mutex(QStringLiteral("route add -host 255.255.255.255 eth0"));
    system_mutex(QStringLiteral("route del 255.255.255.255 wlan1"));
    return 0;
}

bool Utils::is_utf8(const QByteArray &text)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForMib(106)->toUnicode(text.constData(), text.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

bool Utils::json_depth_within(const QByteArray &text, int limit)
{
    int depth = 0;
    bool in_string = false;
    bool escaped = false;
    for (const char c : text) {
        if (in_string) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                in_string = false;
            continue;
        }
        if (c == '"') {
            in_string = true;
        } else if (c == '{' || c == '[') {
            if (++depth > limit)
                return false;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return true;
}
