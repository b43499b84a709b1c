#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>

#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "fpga_manage.h"
#include "fpga_regs.h"
#include "paths.h"
#include "shots.h"
#include "numberkeyboard.h"
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

// Scan files for the shots that list them, removed when the shot's wizard has been built.
class ScanFilesShown
{
public:
    ScanFilesShown(std::initializer_list<const char *> device, std::initializer_list<const char *> stick)
    {
        for (const char *name : device)
            write(QStringLiteral("/data/smartmapping/") + QLatin1String(name));
        for (const char *name : stick)
            write(QStringLiteral("/mnt/usb1/") + QLatin1String(name));
    }
    ~ScanFilesShown()
    {
        QDir(Paths::dev(QStringLiteral("/data/smartmapping"))).removeRecursively();
        QDir(Paths::dev(QStringLiteral("/mnt/usb1"))).removeRecursively();
    }

private:
    static void write(const QString &device_path)
    {
        const QString path = Paths::dev(device_path);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write("scan");
    }
};

// Types `text` on the keyboard a field has just opened.
void type(const QString &text)
{
    g_numberkeyboard->label_show(QString(), text);
    g_numberkeyboard->findChild<QPushButton *>(QStringLiteral("Button_ok"))->click();
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
    // The debugging flow: Step 1 with a height typed, Step 2 in the grid on LED4,
    // Step 3 with pattern 7, the routing page, and a send under way.
    shots.push_back({QStringLiteral("smartmapping_step1"), [] {
                         QWidget *w = wizard({OK, R, OK});
                         type(QStringLiteral("64"));
                         return w;
                     }});
    shots.push_back({QStringLiteral("smartmapping_step2_grid"), [] { return wizard({OK, L, OK, OK, R, R, R}); }});
    shots.push_back({QStringLiteral("smartmapping_step3"), [] {
                         return wizard({OK, L, OK, R, R, OK, R, R, OK, R, R, R, R, R, R, OK, R});
                     }});
    shots.push_back({QStringLiteral("smartmapping_routing"), [] { return wizard({OK, L, OK, R, R, OK, R, R, OK, L}); }});
    shots.push_back({QStringLiteral("smartmapping_send"), [] {
                         return wizard({OK, L, OK, R, R, OK, L}, false, 60);
                     }});
    // Load scan: the port, the files of the device and of the stick over two pages, none.
    shots.push_back({QStringLiteral("smartmapping_scan_port"), [] {
                         ScanFilesShown files({"hall.qyfile"}, {});
                         return wizard({R, OK, OK, R});
                     }});
    shots.push_back({QStringLiteral("smartmapping_scan_files"), [] {
                         ScanFilesShown files({"hall-left.qyfile", "Hall-right.qyfile"}, {"stage.qyfile", "tower.qyfile"});
                         return wizard({R, OK, R, OK, R});
                     }});
    shots.push_back({QStringLiteral("smartmapping_scan_files_page2"), [] {
                         ScanFilesShown files({"hall-left.qyfile", "Hall-right.qyfile"}, {"stage.qyfile", "tower.qyfile"});
                         return wizard({R, OK, R, OK, R, R, R, OK});
                     }});
    shots.push_back({QStringLiteral("smartmapping_scan_none"), [] {
                         ScanFilesShown files({"notes.txt"}, {});
                         return wizard({R, OK, R, OK});
                     }});
}
