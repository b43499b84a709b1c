#include "tick.h"

#include <QDateTime>

#include "clock.h"
#include "factoryage.h"
#include "firmwareupdate.h"
#include "fpga_regs.h"
#include "fpga_view.h"
#include "global.h"
#include "syncupdate.h"
#include "tip.h"
#include "utils.h"

namespace {
constexpr size_t kAgeLogMax = 3360;
constexpr uint32_t kRebootDelayTicks = 300;
constexpr uint32_t kAgeSampleTicks = 18000;
constexpr uint32_t kUsbHoldOffTicks = 1000;
}

void ui_tick()
{
    ++G_timeTicks;
    // The overlay is made by a queued call after the flag is raised: step it only once it exists.
    if (g_update_flag && g_move_update)
        g_move_update->update_time_deal();
    if (g_tip_flag && g_tip)
        g_tip->tip_outtime_deal();
    if (g_app_reset_flag && Utils::getTimeSpace(G_reboot_tickTicks) >= kRebootDelayTicks) {
        // The device goes down with the command: what was changed last is on its disk first.
        SyncUpdate::finish_writes();
        Utils::system_mutex(QStringLiteral("reboot"));
    }
    if (Utils::getTimeSpace(G_factoryage_ticks) >= kAgeSampleTicks) {
        G_factoryage_ticks = G_timeTicks;
        if (pc_cmd_valid == 0 && FpgaView::brought_up())
            sample_agelog();
        // Told whether or not a sample was taken: an empty log's page shows the time it was drawn.
        if (g_factoryage)
            g_factoryage->update_agelog();
        G_factoryage_ticks = G_timeTicks;
    }
    if (g_delay_usbserver == 0 && Utils::getTimeSpace(g_delay_usbserver_ticks) >= kUsbHoldOffTicks)
        g_delay_usbserver = 1;
}

void sample_agelog()
{
    const QDateTime now = clock_now();
    if (!FpgaView::present())
        return;
    const int ageing40 = FpgaView::read_reg(FpgaReg::kAgeing40);
    const int age_counter = FpgaView::read_reg(FpgaReg::kAgeCounter);
    const int ageing43 = FpgaView::read_reg(FpgaReg::kAgeing43);
    factoryage_log.push_back(now.toString(QStringLiteral("MM-dd hh:mm")) +
                             QStringLiteral(" %1 %2 %3").arg(age_counter).arg(ageing40).arg(ageing43));
    if (factoryage_log.size() > kAgeLogMax)
        factoryage_log.erase(factoryage_log.begin());
    if (factoryage_log.size() < 2)
        return;
    // Field 2 is register 42, an 8-bit counter that may have wrapped since the previous sample.
    const int p = factoryage_log[factoryage_log.size() - 2].split(QLatin1Char(' ')).value(2).toInt();
    int n = factoryage_log.back().split(QLatin1Char(' ')).value(2).toInt();
    if (p > n)
        n += 256;
    const int d = n - p;
    if (d <= 0)
        return;
    uint32_t &counter = d <= 2    ? factoryage_log_diff3
                        : d <= 4  ? factoryage_log_diff5
                        : d <= 9  ? factoryage_log_diff10
                        : d <= 19 ? factoryage_log_diff20
                                  : factoryage_log_diffmore;
    ++counter;
}
