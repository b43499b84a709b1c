#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <cstring>
#include <memory>

#include "edidset.h"
#include "global.h"
#include "inputchoose.h"
#include "inputcut.h"
#include "paths.h"
#include "ram_layout.h"
#include "screen.h"
#include "shots.h"
#include "zemrampara.h"

// InputChoose, InputCut with its edit frame, EDIDset.
namespace {

constexpr int L = Qt::Key_F4, R = Qt::Key_F5, OK = Qt::Key_F6;

void keys(QWidget *w, std::initializer_list<int> codes)
{
    for (int code : codes) {
        QKeyEvent e(QEvent::KeyRelease, code, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

QString alias_file()
{
    return Paths::dev(QStringLiteral("/data/configs/alias.json"));
}

// Three images, the second on a crop of HDMI2; HDMI1 and HDMI2 with a signal; four crops of HDMI2
// lying in the table out of number order (number 1 with a display name), one of HDMI1. Whatever the stage
// changes goes back when the picture is done: the other areas' shots share the store.
QWidget *staged(const std::function<QWidget *()> &open)
{
    ZemRamPara *p = ZemRamPara::p_zemrampara_config;
    auto saved = std::make_shared<std::pair<QByteArray, QByteArray>>(
        QByteArray(reinterpret_cast<const char *>(p->RAM_PARA), Ram::kSize),
        QByteArray(reinterpret_cast<const char *>(p->RAM_PARA_SHADOW), Ram::kSize));
    const uint8_t image_current = g_image_current;

    for (int s = 1; s <= 2; ++s) {
        p->wr16(Ram::source_timing(s), 1920);
        p->wr16(Ram::source_timing(s) + 2, 1080);
        p->wr16(Ram::source_timing(s) + 4, 60);
    }
    p->wr16(Ram::source_timing(0), 0);
    p->wr16(Ram::source_timing(3), 0);
    std::memset(p->RAM_PARA + Ram::kCropTable, 0, Ram::kCropCount * Ram::kCropStride);
    const int crops[][6] = {{2, 3, 0, 0, 960, 540}, {2, 1, 0, 0, 1920, 540}, {1, 1, 100, 100, 640, 480},
                            {2, 2, 960, 0, 960, 540}, {2, 5, 0, 540, 1280, 540}};
    for (int i = 0; i < 5; ++i) {
        const int at = Ram::crop(i);
        p->wr16(at, Ram::crop_word(crops[i][1], crops[i][0]));
        for (int f = 0; f < 4; ++f)
            p->wr16(at + 2 + 2 * f, static_cast<uint16_t>(crops[i][2 + f]));
    }
    for (int w = 0; w < 4; ++w)
        p->wr16(Ram::layer(w) + Ram::kLayerEnable, w < 3 ? 1 : 0);
    p->wr16(Ram::layer(0) + Ram::kLayerSource, 1);
    p->wr16(Ram::layer(1) + Ram::kLayerSource, Ram::kSourceIsCrop | 3);   // HDMI2, crop number 2
    p->wr16(Ram::layer(2) + Ram::kLayerSource, 0);
    for (int e = 0; e < 4; ++e) {
        p->wr16(Ram::edid(e), 1920);
        p->wr16(Ram::edid(e) + 2, 1080);
        p->wr16(Ram::edid(e) + 4, 60);
    }
    std::memcpy(p->RAM_PARA_SHADOW, p->RAM_PARA, Ram::kSize);
    QFile f(alias_file());
    if (f.open(QIODevice::WriteOnly))
        f.write(R"({"namelist":{"crop":[{"id":1,"valid":"on","name":"Stage left"}]}})");
    f.close();
    g_image_current = 1;

    QWidget *w = open();
    QObject::connect(w, &QObject::destroyed, [saved, image_current] {
        ZemRamPara *store = ZemRamPara::p_zemrampara_config;
        std::memcpy(store->RAM_PARA, saved->first.constData(), Ram::kSize);
        std::memcpy(store->RAM_PARA_SHADOW, saved->second.constData(), Ram::kSize);
        store->ZemCropSourceInit();
        g_image_current = image_current;
        QFile::remove(alias_file());
    });
    return w;
}

QWidget *input_choose(std::initializer_list<int> codes)
{
    return staged([codes] {
        open_screen(g_inputchoose, new InputChoose);
        keys(g_inputchoose, codes);
        return static_cast<QWidget *>(g_inputchoose);
    });
}

QWidget *input_cut(std::initializer_list<int> codes)
{
    return staged([codes] {
        open_screen(g_inputcut, new InputCut);
        keys(g_inputcut, codes);
        return static_cast<QWidget *>(g_inputcut);
    });
}

QWidget *edid(std::initializer_list<int> codes)
{
    return staged([codes] {
        open_screen(g_edidset, new EDIDset);
        keys(g_edidset, codes);
        return static_cast<QWidget *>(g_edidset);
    });
}

}

void add_input_shots(ShotList &shots)
{
    shots.push_back({QStringLiteral("inputchoose"), [] { return input_choose({}); }});
    shots.push_back({QStringLiteral("inputchoose_buttons"), [] { return input_choose({R, R}); }});
    shots.push_back({QStringLiteral("inputchoose_row"), [] { return input_choose({OK}); }});
    // The list of HDMI2 on its second page.
    shots.push_back({QStringLiteral("inputchoose_list"), [] { return input_choose({OK, OK, R}); }});
    shots.push_back({QStringLiteral("inputcut"), [] { return input_cut({}); }});
    shots.push_back({QStringLiteral("inputcut_list"), [] { return input_cut({R, OK, L}); }});
    shots.push_back({QStringLiteral("inputcut_new"), [] { return input_cut({R, OK, OK}); }});
    shots.push_back({QStringLiteral("inputcut_edit"), [] { return input_cut({R, OK, R, R, R, OK, L, L}); }});
    shots.push_back({QStringLiteral("edidset"), [] { return edid({R}); }});
    shots.push_back({QStringLiteral("edidset_frame"), [] { return edid({OK, L}); }});
    shots.push_back({QStringLiteral("edidset_rate"), [] { return edid({OK, R, R, OK, L}); }});
}
