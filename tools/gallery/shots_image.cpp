#include <QCoreApplication>
#include <QKeyEvent>
#include <cstring>
#include <functional>

#include "chip_request.h"
#include "global.h"
#include "imagelayout.h"
#include "imagequality.h"
#include "paths.h"
#include "quality.h"
#include "ram_layout.h"
#include "screen.h"
#include "shots.h"
#include "temperature.h"
#include "zemrampara.h"

#include <QDir>
#include <QFile>

// ImageQuality, quality, temperature and ImageLayout.
namespace {

void keys(QWidget *w, std::initializer_list<int> codes)
{
    for (int code : codes) {
        QKeyEvent e(QEvent::KeyRelease, code, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

// Builds the screen on an image changed by `edit`, then puts the image, the current image, the
// chip request and the names file back: these screens read the image once, and the shots after
// this one must not see the changes.
QWidget *on_image(const std::function<void(uint8_t *img)> &edit, const std::function<QWidget *()> &make)
{
    ZemRamPara *para = ZemRamPara::p_zemrampara_config;
    uint8_t saved[Ram::kSize];
    std::memcpy(saved, para->RAM_PARA, sizeof saved);
    if (edit)
        edit(para->RAM_PARA);
    QWidget *w = make();
    std::memcpy(para->RAM_PARA, saved, sizeof saved);
    g_image_current = 0;
    ChipRequest::request().store(0);
    QFile::remove(Paths::dev(QStringLiteral("/data/configs/alias.json")));
    return w;
}

QWidget *quality_screen(std::initializer_list<int> moves)
{
    return on_image({}, [moves] {
        open_screen(g_quality, new quality);
        keys(g_quality, moves);
        return g_quality;
    });
}

QWidget *temperature_screen(std::initializer_list<int> moves)
{
    return on_image(
        [](uint8_t *img) {
            Ram::wr16(img, Ram::kQTempType, 0);
            Ram::wr16(img, Ram::kQRed, 80);
            Ram::wr16(img, Ram::kQBlue, 45);
        },
        [moves] {
            open_screen(g_temperature, new temperature);
            keys(g_temperature, moves);
            return g_temperature;
        });
}

// Window 2 shows crop 1 of HDMI2 at 960,0, 960 x 1080, mirrored left to right, point to point
// with HDMI3 and HDMI4 side by side, under a name from the names file; window 3 is off.
QWidget *layout_screen(int image)
{
    return on_image(
        [](uint8_t *img) {
            const int w1 = Ram::layer(0), w2 = Ram::layer(1);
            Ram::wr16(img, w1 + Ram::kLayerEnable, 1);
            Ram::wr16(img, w1 + Ram::kLayerSource, 1);
            Ram::wr16(img, w1 + Ram::kLayerW, 1920);
            Ram::wr16(img, w1 + Ram::kLayerH, 1080);
            Ram::wr16(img, Ram::crop(3) + Ram::kCropWord, Ram::crop_word(1, 2));
            Ram::wr16(img, w2 + Ram::kLayerEnable, 1);
            Ram::wr16(img, w2 + Ram::kLayerSource, Ram::kSourceIsCrop | 3);
            Ram::wr16(img, w2 + Ram::kLayerX, 960);
            Ram::wr16(img, w2 + Ram::kLayerW, 960);
            Ram::wr16(img, w2 + Ram::kLayerH, 1080);
            Ram::wr16(img, w2 + Ram::kLayerMirror, 1);
            img[w2 + Ram::kLayerPointToPoint] = Ram::kPointToPointOn;
            Ram::wr16(img, w2 + Ram::kLayerP2PMode, 8);
            Ram::wr16(img, Ram::layer(2) + Ram::kLayerEnable, 0);
            QFile names(Paths::dev(QStringLiteral("/data/configs/alias.json")));
            if (names.open(QIODevice::WriteOnly))
                names.write(R"({"namelist":{"win":[{"id":1,"valid":"on","name":"Stage left"}]}})");
        },
        [image] {
            g_image_current = static_cast<uint8_t>(image);
            open_screen(g_imagelayout, new ImageLayout);
            return g_imagelayout;
        });
}

}

void add_image_shots(ShotList &shots)
{
    shots.push_back({QStringLiteral("imagequality"), [] {
                         open_screen(g_imagequality, new ImageQuality);
                         return static_cast<QWidget *>(g_imagequality);
                     }});
    shots.push_back({QStringLiteral("imagequality_temperature"), [] {
                         open_screen(g_imagequality, new ImageQuality);
                         keys(g_imagequality, {Qt::Key_F5});
                         return static_cast<QWidget *>(g_imagequality);
                     }});
    shots.push_back({QStringLiteral("quality"), [] { return quality_screen({}); }});
    // Contrast being changed: one step down from 50, the field in its edit look.
    shots.push_back({QStringLiteral("quality_edit"),
                     [] { return quality_screen({Qt::Key_F5, Qt::Key_F5, Qt::Key_F6, Qt::Key_F4}); }});
    shots.push_back({QStringLiteral("quality_reset"), [] { return quality_screen({Qt::Key_F4}); }});
    shots.push_back({QStringLiteral("temperature"), [] { return temperature_screen({}); }});
    // A type being chosen: custom, then one to the right.
    shots.push_back({QStringLiteral("temperature_type"),
                     [] { return temperature_screen({Qt::Key_F6, Qt::Key_F5}); }});
    shots.push_back({QStringLiteral("temperature_gain"),
                     [] { return temperature_screen({Qt::Key_F4, Qt::Key_F6, Qt::Key_F5}); }});
    shots.push_back({QStringLiteral("imagelayout"), [] { return layout_screen(0); }});
    shots.push_back({QStringLiteral("imagelayout_crop"), [] { return layout_screen(1); }});
    shots.push_back({QStringLiteral("imagelayout_off"), [] { return layout_screen(2); }});
}
