#pragma once
#include <QSignalSpy>

#include "c331_manage.h"
#include "chip_request.h"
#include "fpga_manage.h"
#include "global.h"
#include "paths.h"
#include "simdevice.h"
#include "tarvosource.h"
#include "testroot.h"
#include "uihooks.h"
#include "utils.h"
#include "zemrampara.h"

// A clean data root, a parameter store from factory defaults, the simulation from its defaults
// (or from the sim.json given) and no manager yet.
inline ZemRamPara *fresh_devices(const char *name, const QByteArray &sim_json = QByteArray())
{
    c331_manage::destroy_for_test();
    tarvosource::destroy_for_test();
    fpga_manage::destroy_for_test();
    ZemRamPara::destroy_for_test();
    fresh_test_root(QString::fromLatin1(name));
    if (!sim_json.isNull())
        write_dev_file(QStringLiteral("/sim.json"), sim_json);
    SimDevice::load();
    reset_globals();
    G_timeTicks = 1000;
    g_debugSwitch = 0;
    g_send_para.job_word = g_send_para.mapping_state = 0;
    g_line_type = line_type{};
    set_qyfile_name(QString());
    ChipRequest::request() = 0;
    g_delay_usbserver = 1;
    UiHooks::page_language_changed = UiHooks::page_back = nullptr;
    return ZemRamPara::pInstance();
}
// A copy of the simulated device, taken under its lock.
inline SimState sim() { return *SimLock(); }
// A screen's write: under the chip mutex, with the update request.
template <class F>
void chip_write(F store)
{
    ChipWrite w;
    store();
}
inline void advance(uint32_t ticks) { G_timeTicks += ticks; }
// The ints a signal carried, in order; by default the parameter store's change codes.
struct Codes : QSignalSpy
{
    using QSignalSpy::QSignalSpy;
    Codes() : QSignalSpy(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para) {}
    QList<int> all() const
    {
        QList<int> out;
        for (const QList<QVariant> &args : *this)
            out << args.at(0).toInt();
        return out;
    }
};
// Stands in for a screen that shows the round progress bar: the percentages in the order told.
struct Progress
{
    QList<int> told;
    fpga_manage::JobListener listener() { return [this](int pct) { told << pct; }; }
};
