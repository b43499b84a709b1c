#include <QCoreApplication>
#include <QKeyEvent>

#include "fpga_manage.h"
#include "ledset.h"
#include "my_lineedit.h"
#include "netset.h"
#include "ram_layout.h"
#include "shots.h"
#include "simdevice.h"
#include "test_chart.h"
#include "testimage.h"
#include "zemrampara.h"

// ledset, netset, test_chart and testimage.
namespace {

void keys(QWidget *w, std::initializer_list<int> codes)
{
    for (int code : codes) {
        QKeyEvent e(QEvent::KeyRelease, code, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

QWidget *led(std::initializer_list<int> moves, const char *typed_width)
{
    ZemRamPara::p_zemrampara_config->wr16(Ram::kLedWidth, 1920);
    ZemRamPara::p_zemrampara_config->wr16(Ram::kLedHeight, 1080);
    open_screen(g_ledset, new ledset);
    if (typed_width)
        g_ledset->confirmString(g_ledset->findChild<My_lineEdit *>(QStringLiteral("lineEdit_ledw")),
                                QString::fromLatin1(typed_width));
    keys(g_ledset, moves);
    return g_ledset;
}

// The port screen over an FPGA with the given port areas (x grows by port) and links; the
// simulation is as it was for the shots after it, which read it too.
QWidget *ports(bool staged, std::initializer_list<int> moves)
{
    SimState before;
    {
        SimLock s;
        before = *s;
        if (staged) {
            for (int p = 0; p < 6; ++p) {
                const uint16_t area[4] = {uint16_t(320 * p), uint16_t(p % 2 ? 256 : 0), 320, 256};
                std::copy(area, area + 4, s->areas[p]);
            }
            s->links = 0x0014;
        }
    }
    fpga_manage::create_for_test();
    open_screen(g_netset, new netset);
    keys(g_netset, moves);
    *SimLock() = before;
    fpga_manage::create_for_test();
    return g_netset;
}

}

void add_output_shots(ShotList &shots)
{
    shots.push_back({QStringLiteral("ledset"), [] { return led({}, nullptr); }});
    shots.push_back({QStringLiteral("ledset_clamped_apply"), [] { return led({Qt::Key_F5, Qt::Key_F5}, "9000"); }});
    shots.push_back({QStringLiteral("netset"), [] { return ports(false, {}); }});
    shots.push_back({QStringLiteral("netset_scrolled"), [] {
                         return ports(true, {Qt::Key_F5, Qt::Key_F5, Qt::Key_F5, Qt::Key_F5, Qt::Key_F4});
                     }});
    shots.push_back({QStringLiteral("test_chart"), [] {
                         open_screen(g_test_chart, new test_chart);
                         return static_cast<QWidget *>(g_test_chart);
                     }});
    shots.push_back({QStringLiteral("test_chart_close"), [] {
                         open_screen(g_test_chart, new test_chart);
                         keys(g_test_chart, {Qt::Key_F4});
                         return static_cast<QWidget *>(g_test_chart);
                     }});
    shots.push_back({QStringLiteral("testimage"), [] {
                         open_screen(g_testimage, new testimage);
                         keys(g_testimage, {Qt::Key_F5, Qt::Key_F5, Qt::Key_F5, Qt::Key_F5, Qt::Key_F5});
                         return static_cast<QWidget *>(g_testimage);
                     }});
}
