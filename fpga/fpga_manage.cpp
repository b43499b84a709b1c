#include "fpga_manage.h"

#include <QFile>
#include <algorithm>
#include <cstring>

#include "fpga_regs.h"
#include "global.h"
#include "simdevice.h"
#include "utils.h"
#include "vocabulary.h"
#include "wakeup.h"
#include "zemrampara.h"

fpga_manage *fpga_manage::p_fpga_manage = nullptr;
SEND_PARA g_send_para;
line_type g_line_type;

namespace {

constexpr uint32_t kPcCmdTicks = 80;
// A job and the LED set-up sequence count ticks: while one runs the thread passes every tick.
constexpr uint32_t kBusyPassTicks = 1;
// While idle the thread searches the ports for cards and links as often as the source thread
// looks at the inputs: a cable plugged in shows within a few frames either way.
constexpr uint32_t kSearchPassTicks = 5;
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
    m_thread.start([this] { return fpga_pass(); }, &Wakeups::fpga());
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
        // The chip holds a new panel back until now.
        Wakeups::chip().wake();
    }
}

void fpga_manage::set_led_brightness(int brightness)
{
    SimLock s;
    s->led_brightness = brightness;
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

std::chrono::milliseconds fpga_manage::fpga_pass()
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

    if (g_send_para.job() != JOB_IDLE || g_set_led_para.load() != 0)
        return tick_pause(kBusyPassTicks);
    uint32_t ticks = kSearchPassTicks;
    if (pc_cmd_valid.load()) {
        // The hold of a PC command ends on its tick, not up to a search pause later.
        const uint32_t held = Utils::getTimeSpace(pc_cmd_time.load());
        ticks = std::min(ticks, held > kPcCmdTicks ? kBusyPassTicks : kPcCmdTicks + 1 - held);
    }
    return tick_pause(ticks);
}
