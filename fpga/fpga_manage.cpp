#include "fpga_manage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fpga_regs.h"
#include "global.h"
#include "paths.h"
#include "route_pattern.h"
#include "safe_file.h"
#include "simdevice.h"
#include "utils.h"
#include "vocabulary.h"
#include "zemrampara.h"

fpga_manage *fpga_manage::p_fpga_manage = nullptr;
SEND_PARA g_send_para;
line_type g_line_type;

namespace {

constexpr uint32_t kPcCmdTicks = 80;
constexpr uint32_t kReplyTimeout = 1200;
constexpr uint32_t kRiseTicks = 100;
constexpr uint32_t kFinishTicks = 200;
constexpr int kMaxCardTries = 3;
// A port none of whose cards has answered for a minute has stopped answering: the mapping send
// gives up the cards it has left rather than try each of them for another 36 seconds.
constexpr uint32_t kPortSilenceTicks = 6000;
// The mapping send's bar: up to 85 over the cards, 90 after the last, 100 at the end.
constexpr double kCardsShare = 85;
constexpr int kMappingChunk = 1024;
// A scan file of the wizard is a few kilobytes; one on a USB stick can be anything.
constexpr qint64 kMaxScanFile = 4 * 1024 * 1024;
constexpr uint32_t kQueryTicks = 300;
constexpr uint32_t kRecoveryFileTicks = 150;
constexpr int kCommandPorts = 6;       // ports served by the save and mapping-enable jobs
constexpr uint8_t kStatusStart = 0;
constexpr uint8_t kStatusDone = 5;

bool is_register(uint8_t reg, uint8_t fpga)
{
    return fpga < 2 && reg < FpgaReg::kCount && (reg < 64 || reg > 127);
}

void announce(int code)
{
    if (ZemRamPara::p_zemrampara_config)
        ZemRamPara::p_zemrampara_config->test_signal(code);
}

bool port_silent(int port)
{
    SimLock s;
    return (s->silent_ports >> port) & 1;
}

// The scan file of job 2, opened only when it is a regular file of 1 to kMaxScanFile bytes in the
// device's mapping folder or on the stick, reached with no link followed. Opened without
// blocking: a FIFO in its place would otherwise hold the FPGA thread for ever.
std::unique_ptr<QFile> open_scan_file(const QString &device_path, qint64 *size)
{
    const QString path = QDir::cleanPath(device_path);
    if (!path.startsWith(QLatin1String(rcvRecovery::kMappingDir) + QLatin1Char('/'))
        && !path.startsWith(QLatin1String(rcvRecovery::kUsbDir)))
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (Utils::open_regular_file(Paths::dev(path), file.get()) != FileRead::Ok || file->size() < 1
        || file->size() > kMaxScanFile)
        return nullptr;
    *size = file->size();
    return file;
}

// The file has no name left: on the device its stick was pulled and every read fails from then
// on, so the job stops as it does there. (fstatat for the reason Utils::open_regular_file has.)
bool scan_file_gone(const QFile &file)
{
    struct stat st;
    return ::fstatat(file.handle(), "", &st, AT_EMPTY_PATH) != 0 || st.st_nlink == 0;
}

}

bool mapping_card_position(const line_type &lt, int index, uint16_t *x, uint16_t *y)
{
    int row = 0, col = 0;
    if (!RoutePattern::cell(lt.route, lt.rows, lt.cols, index, &row, &col))
        return false;
    *x = static_cast<uint16_t>(lt.h_offset + col * lt.cabinet_width);
    *y = static_cast<uint16_t>(lt.v_offset + row * lt.cabinet_height);
    return true;
}

fpga_manage::fpga_manage()
{
    std::memset(MCU_REG_func, 0, sizeof MCU_REG_func);
    std::memset(MCU_RAM_PARA_func, 0, sizeof MCU_RAM_PARA_func);
    rcv_recovery = new rcvRecovery;
    g_send_para.job_word.store(0);
    bring_up();
}

fpga_manage::~fpga_manage()
{
    m_thread.stop();
    delete rcv_recovery;
}

uint8_t fpga_manage::register_value(uint8_t reg, uint8_t fpga) const
{
    if (fpga > 1)
        return 0;
    QMutexLocker lock(&m_mutex);
    return MCU_REG_func[fpga][reg];
}

fpga_manage *fpga_manage::pInstance()
{
    if (!p_fpga_manage)
        create_for_test()->start_thread();
    return p_fpga_manage;
}

fpga_manage *fpga_manage::create_for_test()
{
    destroy_for_test();
    p_fpga_manage = new fpga_manage;
    return p_fpga_manage;
}

void fpga_manage::destroy_for_test()
{
    delete p_fpga_manage;
    p_fpga_manage = nullptr;
}

void fpga_manage::start_thread()
{
    m_thread.start(std::chrono::milliseconds(10), [this] { fpga_pass(); });
}

void fpga_manage::bring_up()
{
    {
        uint16_t areas[16][4];
        {
            SimLock s;
            std::memcpy(areas, s->areas, sizeof areas);
        }
        QMutexLocker lock(&m_mutex);
        for (int f = 0; f < 2; ++f) {
            for (int p = 0; p < 16; ++p) {
                uint16_t at[4];
                get_eth_param_addr(static_cast<uint8_t>(p), &at[0], &at[1], &at[2], &at[3]);
                for (int i = 0; i < 4; ++i)
                    Ram::wr16(MCU_RAM_PARA_func[f], at[i], areas[p][i]);
            }
        }
    }
    read_registers();
    search_cards();
}

// The bring-up's read of every register, the FPGA's status block 64..127 included.
void fpga_manage::read_registers()
{
    uint8_t regs[2][256];
    for (int f = 0; f < 2; ++f)
        for (int r = 0; r < 256; ++r)
            regs[f][r] = SimDevice::read_reg(f, r);
    QMutexLocker lock(&m_mutex);
    std::memcpy(MCU_REG_func, regs, sizeof MCU_REG_func);
    m_ready.store(MCU_REG_func[0][FpgaReg::kRunning] == 3);
    m_screen_on.store((MCU_REG_func[0][0] & 0x04) != 0);
}

void fpga_manage::read_from_register(uint8_t reg, uint8_t fpga)
{
    if (!is_register(reg, fpga))
        return;
    const uint8_t v = SimDevice::read_reg(fpga, reg);
    QMutexLocker lock(&m_mutex);
    MCU_REG_func[fpga][reg] = v;
}

void fpga_manage::update_register(uint8_t reg, uint8_t mask, uint8_t value, uint8_t fpga)
{
    QMutexLocker lock(&m_mutex);
    const uint8_t now = static_cast<uint8_t>((SimDevice::read_reg(fpga, reg) & ~mask) | (value & mask));
    MCU_REG_func[fpga][reg] = now;
    SimDevice::write_reg(fpga, reg, now);
    if (reg == 0 && fpga == 0)
        m_screen_on.store((now & 0x04) != 0);
}

void fpga_manage::write_to_register(uint8_t reg, uint8_t mask, uint8_t value, uint8_t fpga)
{
    if (!is_register(reg, fpga))
        return;
    update_register(reg, mask, value, fpga);
    if (reg == 0 && fpga == 0 && mask == 0x04)
        announce(CHANGE_PARA);
}

void fpga_manage::set_screen_on(bool on)
{
    update_register(0, 0x04, on ? 0x04 : 0x00, 0);
}

uint16_t fpga_manage::ram_mirror16(uint8_t fpga, int offset) const
{
    if (fpga > 1 || offset < 0 || offset + 1 >= int(sizeof MCU_RAM_PARA_func[0]))
        return 0;
    QMutexLocker lock(&m_mutex);
    return Ram::rd16(MCU_RAM_PARA_func[fpga], offset);
}

int fpga_manage::get_fpga_status()
{
    const uint8_t running = SimDevice::read_reg(0, FpgaReg::kRunning);
    QMutexLocker lock(&m_mutex);
    MCU_REG_func[0][FpgaReg::kRunning] = running;
    return (m_ready.load() && running == 3) ? 1 : 0;
}

uint16_t fpga_manage::get_wlan_state()
{
    {
        QMutexLocker lock(&m_mutex);
        if (MCU_REG_func[0][FpgaReg::kRunning] != 3)
            return 0;
    }
    read_from_register(FpgaReg::kLinksLow, 0);
    read_from_register(FpgaReg::kLinksHigh, 0);
    QMutexLocker lock(&m_mutex);
    return static_cast<uint16_t>((MCU_REG_func[0][FpgaReg::kLinksHigh] << 8) | MCU_REG_func[0][FpgaReg::kLinksLow]);
}

void fpga_manage::check_wlanonline_state()
{
    if (!get_fpga_status())
        return;
    const uint16_t word = get_wlan_state();
    if (word == m_last_wlan)
        return;
    m_last_wlan = word;
    announce(CHANGE_PORT_LINKS);
}

int fpga_manage::get_eth_param_addr(uint8_t port, uint16_t *x, uint16_t *y, uint16_t *w, uint16_t *h)
{
    static const uint16_t kX[16] = {8, 19, 32, 43, 520, 528, 536, 544, 576, 584, 592, 600, 608, 616, 624, 632};
    const uint16_t base = port < 16 ? kX[port] : 0;
    *x = base;
    *y = static_cast<uint16_t>(base + 2);
    *w = static_cast<uint16_t>(base + 4);
    *h = static_cast<uint16_t>(base + 6);
    return 0;
}

void fpga_manage::set_led_para_deal()
{
    // The whole step runs under the set-up mutex, so a new request made meanwhile is never
    // overwritten by the end of the old one.
    QMutexLocker lock(&Utils::_led_para_init_mutex);
    const uint8_t para = g_set_led_para.load();
    if (para == 2) {
        g_set_led_para.store(0);
        g_set_led_setup.store(0);
        SimLock s;
        s->fpga_resets++;
        return;
    }
    if (para != 1)
        return;
    const uint8_t setup = g_set_led_setup.load();
    if (setup == 0) {
        SimLock s;
        s->screen_status = kStatusStart;
        g_set_led_setup.store(1);
        m_led_stamp = G_timeTicks.load();
    } else if (setup == 1 && Utils::getTimeSpace(m_led_stamp) >= 11) {
        SimLock s;
        s->screen_status = kStatusDone;
        g_set_led_setup.store(2);
        m_led_stamp = G_timeTicks.load();
    } else if (setup == 2 && Utils::getTimeSpace(m_led_stamp) >= 31) {
        g_set_led_para.store(0);
        g_set_led_setup.store(0);
    }
}

void fpga_manage::set_led_brightness(int brightness)
{
    SimLock s;
    s->led_brightness = brightness;
}

void fpga_manage::set_job_listener(JobListener listener)
{
    QMutexLocker lock(&m_listener_mutex);
    m_listener = std::move(listener);
}

void fpga_manage::emit_progress(int pct)
{
    g_send_para.progress = static_cast<uint8_t>(pct);
    QMutexLocker lock(&m_listener_mutex);
    if (m_listener)
        m_listener(pct);
}

void fpga_manage::end_job()
{
    emit_progress(100);
    g_send_para.job_word.store(0);
}

void fpga_manage::set_step(uint8_t step)
{
    g_send_para.job_word.store(static_cast<uint16_t>(g_send_para.job() | (step << 8)));
}

int fpga_manage::card_count(int port) const
{
    if (port < 0 || port > 15)
        return 0;
    QMutexLocker lock(&m_mutex);
    return m_cards[port];
}

void fpga_manage::search_cards()
{
    int found[16];
    for (int p = 0; p < 16; ++p)
        found[p] = SimDevice::card_count(p);
    const uint8_t running = SimDevice::read_reg(0, FpgaReg::kRunning);
    // An FPGA that came up since the last look (after start, or again after it stopped) is
    // brought up before it counts as running.
    if (running == 3 && !m_ready.load())
        read_registers();
    QMutexLocker lock(&m_mutex);
    std::memcpy(m_cards, found, sizeof m_cards);
    MCU_REG_func[0][FpgaReg::kRunning] = running;
    if (running != 3)
        m_ready.store(false);
}

int fpga_manage::next_port_with_cards(int from) const
{
    for (int p = from; p < kCommandPorts; ++p)
        if (card_count(p) > 0)
            return p;
    return -1;
}

void fpga_manage::fpga_pass()
{
    if (pc_cmd_valid.load() && Utils::getTimeSpace(pc_cmd_time.load()) > kPcCmdTicks)
        pc_cmd_valid.store(0);

    set_led_para_deal();

    switch (g_send_para.job()) {
    case JOB_IDLE:
        search_cards();
        check_wlanonline_state();
        break;
    case JOB_MAPPING_SEND:
        job_mapping_send();
        break;
    case JOB_MAPPING_FILE:
        job_mapping_file();
        break;
    case JOB_SAVE_PARA:
        job_port_command(true);
        break;
    case JOB_MAPPING_ENABLE:
        job_port_command(false);
        break;
    case JOB_RECOVERY_QUERY:
        job_recovery_query();
        break;
    case JOB_RECOVERY_RUN:
        job_recovery_run();
        break;
    default:
        // A job nobody serves would keep its screen waiting for ever.
        end_job();
        break;
    }
}

void fpga_manage::job_mapping_send()
{
    SEND_PARA &sp = g_send_para;
    if (sp.step() == 0)
        m_job_line = g_line_type;
    const int port = m_job_line.port;
    switch (sp.step()) {
    case 0:
        search_cards();
        sp.port = static_cast<uint8_t>(port);
        sp.card_index = 0;
        sp.retries = 0;
        sp.progress = 0;
        m_send_share = 0;
        m_last_answer = sp.rise_stamp = G_timeTicks.load();
        set_step(1);
        break;
    case 1: {
        if (sp.card_index >= card_count(port)) {
            emit_progress(90);
            set_step(3);
            break;
        }
        uint16_t x = 0, y = 0;
        const bool placed = mapping_card_position(m_job_line, sp.card_index, &x, &y);
        {
            SimLock s;
            if (SimDevice::card_hears(*s, port, sp.card_index)) {
                SimCard &card = s->cards[port][sp.card_index];
                card.placed = placed;
                card.x = placed ? x : 0;
                card.y = placed ? y : 0;
            }
        }
        sp.time_stamp = G_timeTicks.load();
        set_step(2);
        break;
    }
    case 2:
        wait_for_card();
        break;
    default:
        end_job();
        break;
    }
}

// Job 1, step 2: the card's answer, another try, or the port given up; the bar moves meanwhile.
void fpga_manage::wait_for_card()
{
    SEND_PARA &sp = g_send_para;
    const int port = m_job_line.port;
    const uint32_t now = G_timeTicks.load();
    if (SimDevice::card_answered(port, sp.card_index, sp.time_stamp)) {
        m_last_answer = sp.rise_stamp = now;
        next_card();
    } else if (Utils::getTimeSpace(m_last_answer) >= kPortSilenceTicks) {
        sp.card_index = static_cast<uint8_t>(card_count(port));
        set_step(1);
    } else if (Utils::getTimeSpace(sp.time_stamp) >= kReplyTimeout) {
        // Try the card again, but not for ever: a dead card must not hold the screen.
        if (++sp.retries >= kMaxCardTries)
            next_card();
        else
            set_step(1);
    } else if (Utils::getTimeSpace(sp.rise_stamp) >= kRiseTicks) {
        // A port that stays silent is given up kPortSilenceTicks after its last answer: the wait
        // moves the bar at the pace that brings it to the cards' end by then.
        const uint32_t period = now - sp.rise_stamp;
        const uint32_t silent_before = sp.rise_stamp - m_last_answer;
        const double part = silent_before + period < kPortSilenceTicks
                                ? double(period) / double(kPortSilenceTicks - silent_before)
                                : 1.0;
        m_send_share += (kCardsShare - m_send_share) * part;
        sp.rise_stamp = now;
        tell_send_share();
    }
}

// The card is done, answered or given up: it takes its part of what is left of the bar.
void fpga_manage::next_card()
{
    SEND_PARA &sp = g_send_para;
    const int total = card_count(m_job_line.port);
    m_send_share += (kCardsShare - m_send_share) / std::max(1, total - sp.card_index);
    sp.card_index++;
    sp.retries = 0;
    if (sp.card_index < total)
        tell_send_share();
    set_step(1);
}

void fpga_manage::tell_send_share()
{
    const int pct = static_cast<int>(m_send_share);
    if (pct != g_send_para.progress)
        emit_progress(pct);
}

void fpga_manage::job_mapping_file()
{
    SEND_PARA &sp = g_send_para;
    switch (sp.step()) {
    case 0:
        m_job_line = g_line_type;
        sp.port = m_job_line.port;
        m_job_bytes = 0;
        m_job_file = open_scan_file(qyfile_name(), &m_job_size);
        set_step(m_job_file ? 1 : 2);
        break;
    case 1: {
        char chunk[kMappingChunk];
        const qint64 n = scan_file_gone(*m_job_file) ? -1 : m_job_file->read(chunk, sizeof chunk);
        // A read error, or a file that shrank under the job: the cards keep what they got.
        if (n <= 0) {
            m_job_file.reset();
            set_step(2);
            break;
        }
        m_job_bytes += n;
        if (sp.port < 16 && !port_silent(sp.port)) {
            SimLock s;
            for (SimCard &card : s->cards[sp.port])
                card.loaded_bytes += static_cast<int>(n);
        }
        const int pct = static_cast<int>(std::min(m_job_bytes, m_job_size) * 99 / m_job_size);
        if (pct != sp.progress)
            emit_progress(pct);
        if (m_job_bytes >= m_job_size) {
            m_job_file.reset();
            set_step(2);
        }
        break;
    }
    default:
        end_job();
        break;
    }
}

void fpga_manage::job_port_command(bool save)
{
    SEND_PARA &sp = g_send_para;
    if (save && pc_cmd_valid.load())
        return;
    switch (sp.step()) {
    case 0:
        m_job_mapping_state = sp.mapping_state;
        search_cards();
        sp.port = 0;
        sp.progress = 0;
        m_job_ports = 0;
        for (int p = next_port_with_cards(0); p >= 0; p = next_port_with_cards(p + 1))
            m_job_ports++;
        m_ports_done = 0;
        set_step(1);
        break;
    case 1: {
        const int p = next_port_with_cards(sp.port);
        const uint32_t now = G_timeTicks.load();
        if (p < 0) {
            emit_progress(95);
            sp.time_stamp = now;
            set_step(3);
            break;
        }
        {
            SimLock s;
            for (int c = 0; c < static_cast<int>(s->cards[p].size()); ++c) {
                if (!SimDevice::card_hears(*s, p, c))
                    continue;
                SimCard &card = s->cards[p][static_cast<size_t>(c)];
                if (save)
                    card.saves++;
                else
                    card.mapping_state = m_job_mapping_state;
            }
        }
        sp.port = static_cast<uint8_t>(p);
        sp.time_stamp = now;
        sp.rise_stamp = now;
        set_step(2);
        break;
    }
    case 2:
        if (SimDevice::port_answered(sp.port, sp.time_stamp) || Utils::getTimeSpace(sp.time_stamp) >= kReplyTimeout) {
            sp.port++;
            m_ports_done++;
            set_step(1);
        } else if (Utils::getTimeSpace(sp.rise_stamp) >= kRiseTicks) {
            // Each port with cards has an equal part of the bar below 90, filled as its wait runs
            // out: the bar rises all the way, however many ports stay silent.
            sp.rise_stamp = G_timeTicks.load();
            const double waited = double(Utils::getTimeSpace(sp.time_stamp)) / kReplyTimeout;
            const int pct = static_cast<int>(90 * (m_ports_done + std::min(1.0, waited)) / std::max(1, m_job_ports));
            if (pct > sp.progress)
                emit_progress(pct);
        }
        break;
    default:
        if (Utils::getTimeSpace(sp.time_stamp) >= kFinishTicks)
            end_job();
        break;
    }
}

void fpga_manage::job_recovery_query()
{
    SEND_PARA &sp = g_send_para;
    if (sp.step() == 0) {
        rcv_recovery->get_dir_file(QString::fromLatin1(rcvRecovery::kRecoveryDir));
        m_recovery_files.store(rcv_recovery->file_count());
        sp.progress = 0;
        sp.time_stamp = sp.rise_stamp = G_timeTicks.load();
        set_step(1);
        return;
    }
    if (Utils::getTimeSpace(sp.time_stamp) >= kQueryTicks) {
        search_cards();
        int found[16];
        for (int p = 0; p < 16; ++p)
            found[p] = card_count(p);
        int cards = 0;
        {
            SimLock s;
            for (int p = 0; p < 16; ++p)
                for (int c = 0; c < found[p]; ++c)
                    cards += SimDevice::card_hears(*s, p, c);
        }
        m_recovery_cards.store(cards);
        end_job();
    } else if (Utils::getTimeSpace(sp.rise_stamp) >= kQueryTicks / 10) {
        sp.rise_stamp = G_timeTicks.load();
        emit_progress(std::min(90, sp.progress + 10));
    }
}

void fpga_manage::job_recovery_run()
{
    SEND_PARA &sp = g_send_para;
    switch (sp.step()) {
    case 0:
        rcv_recovery->get_dir_file(QString::fromLatin1(rcvRecovery::kRecoveryDir));
        m_job_files = rcv_recovery->file_list();
        m_job_sent = 0;
        sp.progress = 0;
        search_cards();
        set_step(m_job_files.isEmpty() ? 3 : 1);
        break;
    case 1: {
        if (m_job_sent >= m_job_files.size()) {
            set_step(3);
            break;
        }
        const QString name = m_job_files.at(m_job_sent);
        if (!rcvRecovery::read_file(QString::fromLatin1(rcvRecovery::kRecoveryDir), name).isEmpty()) {
            SimLock s;
            s->replayed_files << name;
            for (int p = 0; p < 16; ++p)
                for (int c = 0; c < static_cast<int>(s->cards[p].size()); ++c)
                    s->cards[p][static_cast<size_t>(c)].recoveries += SimDevice::card_hears(*s, p, c);
        }
        sp.time_stamp = G_timeTicks.load();
        set_step(2);
        break;
    }
    case 2: {
        const uint32_t spent = std::min(Utils::getTimeSpace(sp.time_stamp), kRecoveryFileTicks);
        const int n = m_job_files.size();
        const int pct = static_cast<int>((m_job_sent * kRecoveryFileTicks + spent) * 95 / (n * kRecoveryFileTicks));
        if (pct != sp.progress)
            emit_progress(pct);
        if (spent >= kRecoveryFileTicks) {
            m_job_sent++;
            set_step(1);
        }
        break;
    }
    default:
        m_job_files.clear();
        end_job();
        break;
    }
}
