#include <QCoreApplication>
#include <QKeyEvent>
#include <cstring>

#include "custommode.h"
#include "firmwareupdate.h"
#include "global.h"
#include "lockwindow.h"
#include "mainwindow.h"
#include "paths.h"
#include "ram_layout.h"
#include "screen.h"
#include "shots.h"
#include "zemrampara.h"

#include <QDir>
#include <QFile>

// MainWindow, LockWindow, CustomMode and the upgrade overlay.
namespace {

ZemRamPara *para()
{
    return ZemRamPara::p_zemrampara_config;
}

void release(QWidget *w, int key)
{
    QKeyEvent e(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// A stage with two images, one of them a crop, and two saved user modes.
void stage()
{
    ZemRamPara *p = para();
    uint8_t *img = p->RAM_PARA;
    Ram::wr16(img, Ram::kLedWidth, 1920);
    Ram::wr16(img, Ram::kLedHeight, 1080);
    Ram::wr16(img, Ram::source_timing(1), 1920);
    Ram::wr16(img, Ram::source_timing(1) + 2, 1080);
    Ram::wr16(img, Ram::source_timing(1) + 4, 60);
    Ram::wr16(img, Ram::crop(0), 0x8000 | 2);
    Ram::wr16(img, Ram::crop(0) + Ram::kCropW, 960);
    Ram::wr16(img, Ram::crop(0) + Ram::kCropH, 540);
    Ram::wr16(img, Ram::source_timing(2) + 4, 50);
    Ram::wr16(img, Ram::layer(0) + Ram::kLayerEnable, 1);
    Ram::wr16(img, Ram::layer(0) + Ram::kLayerSource, 1);
    Ram::wr16(img, Ram::layer(0) + Ram::kLayerW, 1920);
    Ram::wr16(img, Ram::layer(0) + Ram::kLayerH, 1080);
    Ram::wr16(img, Ram::layer(0) + Ram::kLayerAudio, 0x8000);
    Ram::wr16(img, Ram::layer(1) + Ram::kLayerEnable, 1);
    Ram::wr16(img, Ram::layer(1) + Ram::kLayerSource, 0x8000);
    Ram::wr16(img, Ram::layer(1) + Ram::kLayerOutput, 2);
    Ram::wr16(img, Ram::kOsdEnable, 0);
    for (int s : {0, 5}) {
        p->user_mode[s].marker[0] = p->user_mode[s].marker[1] = 0xAA;
        std::memcpy(p->user_mode[s].data, img + Ram::kModeFrom, Ram::kModeSize);
    }
    Ram::wr16(p->user_mode[5].data, Ram::kOsdEnable - Ram::kModeFrom, 1);
    Ram::wr16(img, Ram::kCurrentMode, 1);
    const QString osd = Paths::dev(QStringLiteral("/data/modes/MO06.json"));
    QDir().mkpath(Paths::dev(QStringLiteral("/data/modes")));
    QFile f(osd);
    if (f.open(QIODevice::WriteOnly))
        f.write(R"({"osdcount":1,"menu":[{"x":0,"y":0,"w":320,"h":64,"effect":4,"speed":3,
            "backpara":{"enable":"on","color":"0x102060"},
            "fontpara":{"startx":8,"starty":8,"fontw":32,"fonth":32,"wordspace":2,"verticalspace":4,"color":"0xFFD000"},
            "texts":"WELCOME\nLED show"}]})");
}

MainWindow *main_window()
{
    stage();
    g_mainwindow = new MainWindow;
    g_page_focus = PAGE_MAINWINDOW;
    return g_mainwindow;
}

}

void add_main_shots(ShotList &shots)
{
    shots.push_back({QStringLiteral("mainwindow"), [] { return main_window(); }});
    shots.push_back({QStringLiteral("mainwindow_tools"), [] {
                         MainWindow *m = main_window();
                         release(m, Qt::Key_F4);
                         release(m, Qt::Key_F6);
                         release(m, Qt::Key_F5);
                         return m;
                     }});
    shots.push_back({QStringLiteral("mainwindow_invoke"), [] {
                         MainWindow *m = main_window();
                         m->on_tools_clicked();
                         m->on_toolButton3_clicked();
                         return m;
                     }});
    shots.push_back({QStringLiteral("mainwindow_save"), [] {
                         MainWindow *m = main_window();
                         m->on_tools_clicked();
                         m->on_toolButton4_clicked();
                         m->step_mode_popup(1);
                         return m;
                     }});
    shots.push_back({QStringLiteral("lockwindow"), []() -> QWidget * {
                         stage();
                         g_image_current = 1;
                         open_screen(g_lockwindow, new LockWindow, false);
                         g_image_current = 0;
                         return g_lockwindow;
                     }});
    shots.push_back({QStringLiteral("custommode"), []() -> QWidget * {
                         stage();
                         open_screen(g_custommode, new CustomMode, false);
                         return g_custommode;
                     }});
    shots.push_back({QStringLiteral("custommode_empty"), []() -> QWidget * {
                         stage();
                         open_screen(g_custommode, new CustomMode, false);
                         release(g_custommode, Qt::Key_F5);
                         return g_custommode;
                     }});
    shots.push_back({QStringLiteral("custommode_osd"), []() -> QWidget * {
                         stage();
                         g_mode_select = 5;
                         Ram::wr16(para()->RAM_PARA, Ram::kCurrentMode, 6);
                         open_screen(g_custommode, new CustomMode, false);
                         for (int k : {Qt::Key_F6, Qt::Key_F5, Qt::Key_F5})
                             release(g_custommode, k);
                         return g_custommode;
                     }});
    shots.push_back({QStringLiteral("upgrade"), []() -> QWidget * {
                         firmware_update_start();
                         for (int i = 0; i < 35; ++i)
                             g_move_update->update_time_deal();
                         FirmwareUpdate *overlay = g_move_update;
                         g_move_update = nullptr;
                         return overlay;
                     }});
}
