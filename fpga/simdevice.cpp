#include "simdevice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <iterator>

#include "fpga_regs.h"
#include "global.h"
#include "paths.h"
#include "safe_file.h"
#include "utils.h"

namespace {

QMutex g_sim_mutex;
SimState g_sim;
bool g_sim_loaded = false;

// The area the FPGA gives each of the first six output ports until told otherwise.
constexpr int kAreaPorts = 6;
constexpr uint16_t kAreaWidth = 1280;
constexpr uint16_t kAreaHeight = 512;
constexpr int kMostCards = 64;               // on one output port
constexpr int kMostReplyTicks = 60000;       // ten minutes

void set_defaults(SimState &s)
{
    s = SimState();
    s.inputs[1] = {1920, 1080, 60};
    s.inputs[2] = {1920, 1080, 60};
    for (int f = 0; f < 2; ++f) {
        s.reg[f][0] = 0x04;   // screen on, mapping off
        s.reg[f][FpgaReg::kVersion] = to_bcd(12);
        s.reg[f][FpgaReg::kDay] = to_bcd(20);
        s.reg[f][FpgaReg::kMonth] = to_bcd(11);
        s.reg[f][FpgaReg::kYear] = to_bcd(26);
    }
    s.reg[0][FpgaReg::kAgeing40] = 5;
    s.r42_base = 17;
    s.reg[0][FpgaReg::kAgeing43] = 0;
    std::fill(std::begin(s.reply_ticks), std::end(s.reply_ticks), SimDevice::kReplyTicks);
    s.cards[0].resize(2);
    s.cards[1].resize(1);
    s.links = 0x0003;
    for (int p = 0; p < kAreaPorts; ++p) {
        s.areas[p][2] = kAreaWidth;
        s.areas[p][3] = kAreaHeight;
    }
}

// Bit n set for each output port n with receiving cards: a port's link is up where cards answer.
uint16_t links_of_cards(const SimState &s)
{
    uint16_t links = 0;
    for (int p = 0; p < 16; ++p)
        if (!s.cards[p].empty())
            links |= static_cast<uint16_t>(1u << p);
    return links;
}

int int_in(const QJsonObject &o, const char *key, int lo, int hi, int fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble())
        return fallback;
    const double d = v.toDouble();
    if (d < lo || d > hi)
        return fallback;
    return static_cast<int>(d);
}

// "3" names output port 3 and "3.4" card 4 of that port, both counted from 1, as the screens
// number them; *card is -1 for a whole port. A card the port does not have is no target.
bool parse_target(const SimState &s, const QString &text, int *port, int *card)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    bool ok = false;
    const int p = parts.at(0).toInt(&ok);
    if (!ok || p < 1 || p > 16 || parts.size() > 2)
        return false;
    int c = 0;
    if (parts.size() == 2) {
        c = parts.at(1).toInt(&ok);
        if (!ok || c < 1 || c > static_cast<int>(s.cards[p - 1].size()))
            return false;
    }
    *port = p - 1;
    *card = c - 1;
    return true;
}

// Ports and cards that never answer ("silent": [2, "3.4"]) or answer late ("slow": {"3": 900}).
void apply_replies(SimState &s, const QJsonObject &root)
{
    int port = 0, card = 0;
    for (const QJsonValue &v : root.value(QLatin1String("silent")).toArray()) {
        const QString text = v.isDouble() ? QString::number(v.toInt(0)) : v.toString();
        if (!parse_target(s, text, &port, &card))
            continue;
        if (card < 0)
            s.silent_ports |= static_cast<uint16_t>(1u << port);
        else
            s.cards[port][static_cast<size_t>(card)].silent = true;
    }
    const QJsonObject slow = root.value(QLatin1String("slow")).toObject();
    for (auto it = slow.begin(); it != slow.end(); ++it) {
        const double ticks = it.value().toDouble(-1);
        if (!it.value().isDouble() || ticks < 0 || ticks > kMostReplyTicks || !parse_target(s, it.key(), &port, &card))
            continue;
        if (card < 0)
            s.reply_ticks[port] = static_cast<uint32_t>(ticks);
        else
            s.cards[port][static_cast<size_t>(card)].reply_ticks = static_cast<int>(ticks);
    }
}

// Applies what the file names; anything out of range keeps its default.
void apply_json(SimState &s, const QJsonObject &root)
{
    if (root.value(QLatin1String("inputs")).isArray()) {
        for (SimSignal &in : s.inputs)
            in = SimSignal();
        for (const QJsonValue &v : root.value(QLatin1String("inputs")).toArray()) {
            const QJsonObject o = v.toObject();
            const int src = int_in(o, "source", 0, 5, -1);
            if (src < 0)
                continue;
            s.inputs[src].width = static_cast<uint16_t>(int_in(o, "width", 0, 65535, 0));
            s.inputs[src].height = static_cast<uint16_t>(int_in(o, "height", 0, 65535, 0));
            s.inputs[src].rate = static_cast<uint16_t>(int_in(o, "rate", 0, 65535, 0));
        }
    }
    if (root.value(QLatin1String("cards")).isObject()) {
        for (auto &port : s.cards)
            port.clear();
        const QJsonObject cards = root.value(QLatin1String("cards")).toObject();
        for (auto it = cards.begin(); it != cards.end(); ++it) {
            bool ok = false;
            const int port = it.key().toInt(&ok);
            if (!ok || port < 1 || port > 16 || !it.value().isDouble())
                continue;
            const int n = it.value().toInt(-1);
            if (n >= 0 && n <= kMostCards)
                s.cards[port - 1].resize(static_cast<size_t>(n));
        }
    }
    if (root.value(QLatin1String("areas")).isObject()) {
        const QJsonObject areas = root.value(QLatin1String("areas")).toObject();
        for (auto it = areas.begin(); it != areas.end(); ++it) {
            bool ok = false;
            const int port = it.key().toInt(&ok);
            const QJsonArray a = it.value().toArray();
            if (!ok || port < 1 || port > 16 || a.size() != 4)
                continue;
            uint16_t area[4];
            bool valid = true;
            for (int i = 0; i < 4; ++i) {
                const double v = a.at(i).toDouble(-1);
                valid = valid && a.at(i).isDouble() && v >= 0 && v <= 65535;
                area[i] = static_cast<uint16_t>(valid ? v : 0);
            }
            if (valid)
                std::copy(area, area + 4, s.areas[port - 1]);
        }
    }
    if (root.value(QLatin1String("cards")).isObject() && !root.value(QLatin1String("links")).isArray())
        s.links = links_of_cards(s);
    if (root.value(QLatin1String("links")).isArray()) {
        s.links = 0;
        for (const QJsonValue &v : root.value(QLatin1String("links")).toArray()) {
            const int port = v.toInt(0);
            if (port >= 1 && port <= 16)
                s.links |= static_cast<uint16_t>(1u << (port - 1));
        }
    }
    if (root.value(QLatin1String("fpga")).isObject()) {
        const QJsonObject f = root.value(QLatin1String("fpga")).toObject();
        if (f.value(QLatin1String("running")).isBool())
            s.fpga_running = f.value(QLatin1String("running")).toBool();
        const int regs[4] = {FpgaReg::kVersion, FpgaReg::kDay, FpgaReg::kMonth, FpgaReg::kYear};
        const char *keys[4] = {"version", "day", "month", "year"};
        for (int i = 0; i < 4; ++i) {
            const int v = int_in(f, keys[i], 0, 99, -1);
            if (v >= 0)
                s.reg[0][regs[i]] = s.reg[1][regs[i]] = to_bcd(v);
        }
    }
    if (root.value(QLatin1String("ageing")).isObject()) {
        const QJsonObject a = root.value(QLatin1String("ageing")).toObject();
        s.reg[0][FpgaReg::kAgeing40] = static_cast<uint8_t>(int_in(a, "r40", 0, 255, s.reg[0][FpgaReg::kAgeing40]));
        s.r42_base = static_cast<uint8_t>(int_in(a, "r42", 0, 255, s.r42_base));
        s.reg[0][FpgaReg::kAgeing43] = static_cast<uint8_t>(int_in(a, "r43", 0, 255, s.reg[0][FpgaReg::kAgeing43]));
    }
    s.fonts = static_cast<uint32_t>(int_in(root, "fonts", 0, 15, static_cast<int>(s.fonts)));
    if (root.value(QLatin1String("key_panel")).isBool())
        s.key_panel = root.value(QLatin1String("key_panel")).toBool();
    apply_replies(s, root);   // after the cards, which it names
}

// Register 42 rises by 1 to 3 in every ageing period: 2, 1, 3, 2, 1, 3, ...
uint8_t ageing42(uint8_t base, uint32_t ticks)
{
    static const int rise[3] = {2, 1, 3};
    const uint32_t n = ticks / SimDevice::kAgeingSampleTicks;
    uint32_t v = base + 6u * (n / 3);
    for (uint32_t k = 0; k < n % 3; ++k)
        v += static_cast<uint32_t>(rise[k]);
    return static_cast<uint8_t>(v & 0xFF);
}

}

uint8_t to_bcd(int value)
{
    value %= 100;
    return static_cast<uint8_t>(((value / 10) << 4) | (value % 10));
}

namespace {
SimState configured_state()
{
    SimState fresh;
    set_defaults(fresh);
    const FileRead file = Utils::read_file_capped(Paths::data_root() + QStringLiteral("/sim.json"), 256 * 1024);
    if (file.ok()) {
        QJsonParseError err;
        const QJsonDocument doc = QJsonDocument::fromJson(file.bytes, &err);
        if (err.error == QJsonParseError::NoError && doc.isObject())
            apply_json(fresh, doc.object());
        else
            zem_debug("sim.json: %s, defaults kept\n", qPrintable(err.errorString()));
    }
    return fresh;
}
}

// The first user of the simulation loads it from the data root in force.
SimLock::SimLock() : m_lock(&g_sim_mutex), m_state(&g_sim)
{
    if (!g_sim_loaded) {
        g_sim = configured_state();
        g_sim_loaded = true;
    }
}

void SimDevice::load_defaults()
{
    SimState fresh;
    set_defaults(fresh);
    QMutexLocker lock(&g_sim_mutex);
    g_sim = fresh;
    g_sim_loaded = true;
}

void SimDevice::load()
{
    const SimState fresh = configured_state();
    QMutexLocker lock(&g_sim_mutex);
    g_sim = fresh;
    g_sim_loaded = true;
}

uint8_t SimDevice::read_reg(int fpga, int reg)
{
    if (fpga < 0 || fpga > 1 || reg < 0 || reg > 255)
        return 0;
    SimLock s;
    if (reg == FpgaReg::kRunning)
        return s->fpga_running ? 3 : 0;
    if (!s->fpga_running)
        return 0;
    if (fpga == 0 && reg == FpgaReg::kLinksLow)
        return static_cast<uint8_t>(s->links & 0xFF);
    if (fpga == 0 && reg == FpgaReg::kLinksHigh)
        return static_cast<uint8_t>(s->links >> 8);
    if (fpga == 0 && reg == FpgaReg::kAgeCounter)
        return ageing42(s->r42_base, G_timeTicks.load());
    return s->reg[fpga][reg];
}

void SimDevice::write_reg(int fpga, int reg, uint8_t value)
{
    if (fpga < 0 || fpga > 1 || reg < 0 || reg > 255)
        return;
    SimLock s;
    s->reg[fpga][reg] = value;
}

int SimDevice::card_count(int port)
{
    if (port < 0 || port > 15)
        return 0;
    SimLock s;
    if (!s->fpga_running)
        return 0;
    return static_cast<int>(s->cards[port].size());
}

bool SimDevice::card_hears(const SimState &s, int port, int card)
{
    return port >= 0 && port < 16 && card >= 0 && card < static_cast<int>(s.cards[port].size())
           && !((s.silent_ports >> port) & 1) && !s.cards[port][static_cast<size_t>(card)].silent;
}

bool SimDevice::port_answered(int port, uint32_t stamp)
{
    if (port < 0 || port > 15)
        return false;
    SimLock s;
    return !((s->silent_ports >> port) & 1) && Utils::getTimeSpace(stamp) >= s->reply_ticks[port];
}

bool SimDevice::card_answered(int port, int card, uint32_t stamp)
{
    SimLock s;
    if (!card_hears(*s, port, card))
        return false;
    const int own = s->cards[port][static_cast<size_t>(card)].reply_ticks;
    return Utils::getTimeSpace(stamp) >= (own >= 0 ? static_cast<uint32_t>(own) : s->reply_ticks[port]);
}
