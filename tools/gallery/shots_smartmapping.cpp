#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>

#include "fpga_manage.h"
#include "fpga_regs.h"
#include "paths.h"
#include "shots.h"
#include "simdevice.h"
#include "smartmapping.h"

// The smart-mapping wizard. Each shot stages what it shows (scan files, the mapping switch) and
// takes it away once the wizard is built, so the shots after it see what they saw before.
namespace {

enum : int { L = Qt::Key_F4, R = Qt::Key_F5, OK = Qt::Key_F6, BACK = Qt::Key_PowerOff };

void keys(QWidget *w, std::initializer_list<int> codes)
{
    for (int code : codes) {
        QKeyEvent e(QEvent::KeyRelease, code, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

// The wizard over an FPGA whose mapping switch is as given, after the keys.
QWidget *wizard(std::initializer_list<int> moves, bool mapping_on = false, int progress = -1)
{
    const uint8_t control = SimDevice::read_reg(0, FpgaReg::kControl);
    SimDevice::write_reg(0, FpgaReg::kControl, mapping_on ? uint8_t(control | FpgaReg::kMappingOn)
                                                          : uint8_t(control & ~FpgaReg::kMappingOn));
    if (!fpga_manage::p_fpga_manage)
        fpga_manage::create_for_test();
    g_line_type = line_type{};
    open_screen(g_smartmapping, new SmartMapping);
    keys(g_smartmapping, moves);
    if (progress >= 0)
        show_progress(g_smartmapping, progress);
    SimDevice::write_reg(0, FpgaReg::kControl, control);
    return g_smartmapping;
}

}

void add_smartmapping_shots(ShotList &shots)
{
    shots.push_back({QStringLiteral("smartmapping"), [] { return wizard({}); }});
    shots.push_back({QStringLiteral("smartmapping_curing"), [] { return wizard({R, OK}); }});
    shots.push_back({QStringLiteral("smartmapping_curing_job"), [] { return wizard({R, OK}, false, 45); }});
    shots.push_back({QStringLiteral("smartmapping_mapping_on"), [] { return wizard({R, R, OK}, true); }});
    shots.push_back({QStringLiteral("smartmapping_mapping_off"), [] { return wizard({L}, false); }});
}
