#pragma once
#include <QCoreApplication>
#include <QObject>
#include <QSignalSpy>
#include <QString>

#include "c331_manage.h"
#include "chip_request.h"
#include "fpga_manage.h"
#include "global.h"
#include "paths.h"
#include "ram_layout.h"
#include "simdevice.h"
#include "tarvosource.h"
#include "testroot.h"
#include "ui_hooks.h"
#include "utils.h"
#include "zemrampara.h"

// A clean data root, a parameter store from factory defaults, the simulation from its defaults
// (or from a sim.json written beforehand) and no manager yet.
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
    G_timeTicks = 1000;
    g_set_led_para = 0;
    g_set_led_setup = 0;
    pc_cmd_valid = 0;
    pc_cmd_time = 0;
    g_send_para.job_word = 0;
    g_send_para.mapping_state = 0;
    g_line_type = line_type{};
    g_qyfile_name.clear();
    g_page_focus = 0;
    g_delay_usbserver = 1;
    g_debugSwitch = 0;
    ChipRequest::request() = 0;
    UiHooks::refresh_screen = nullptr;
    UiHooks::update_key_leds = nullptr;
    UiHooks::after_sync = nullptr;
    UiHooks::page_language_changed = nullptr;
    UiHooks::page_back = nullptr;
    return ZemRamPara::pInstance();
}

inline void advance(uint32_t ticks)
{
    G_timeTicks += ticks;
}

// Codes announced through ZemRamPara::test_signal.
inline QList<int> codes(const QSignalSpy &spy)
{
    QList<int> out;
    for (const QList<QVariant> &args : spy)
        out << args.at(0).toInt();
    return out;
}

// Stands in for a screen that shows the round progress bar.
class JobListener : public QObject
{
    Q_OBJECT
signals:
    void sig_qround_bar_update(int pct);
};
