#include "omenu.h"

#include <QRegularExpression>
#include <boost/property_tree/ptree.hpp>

#include "json_file.h"
#include "paths.h"

namespace pt = boost::property_tree;

namespace {

constexpr int kOverlays = 3;

int int_of(const pt::ptree &node, const char *key, int fallback)
{
    return node.get<int>(key, fallback);
}

std::string text_of(const pt::ptree &node, const char *key, const std::string &fallback)
{
    return node.get<std::string>(key, fallback);
}

// A colour reaches the screens' style sheets, so only the "0xRRGGBB" form is taken.
std::string colour_of(const pt::ptree &node, const char *key, const std::string &fallback)
{
    static const QRegularExpression form(QStringLiteral("^0x[0-9A-Fa-f]{6}$"));
    const std::string v = text_of(node, key, fallback);
    return form.match(QString::fromStdString(v)).hasMatch() ? v : fallback;
}

void read_overlay(const pt::ptree &node, OMENU_PARA &m)
{
    m.type = int_of(node, "type", m.type);
    m.status = text_of(node, "status", m.status);
    m.x = int_of(node, "x", m.x);
    m.y = int_of(node, "y", m.y);
    m.w = int_of(node, "w", m.w);
    m.h = int_of(node, "h", m.h);
    m.back_layer = text_of(node, "layer", m.back_layer);
    m.effect = int_of(node, "effect", m.effect);
    m.speed = int_of(node, "speed", m.speed);
    m.staytime = int_of(node, "staytime", m.staytime);
    m.h_align = text_of(node, "h_align", "left");
    m.v_align = text_of(node, "v_align", "top");
    if (const auto back = node.get_child_optional("backpara")) {
        m.back_enable = text_of(*back, "enable", m.back_enable);
        m.back_color = colour_of(*back, "color", m.back_color);
    }
    if (const auto font = node.get_child_optional("fontpara")) {
        m.startx = int_of(*font, "startx", m.startx);
        m.starty = int_of(*font, "starty", m.starty);
        m.fontw = int_of(*font, "fontw", m.fontw);
        m.fonth = int_of(*font, "fonth", m.fonth);
        m.wordspace = int_of(*font, "wordspace", m.wordspace);
        m.verticalspace = int_of(*font, "verticalspace", m.verticalspace);
        m.font_color = colour_of(*font, "color", m.font_color);
    }
    m.texts = text_of(node, "texts", m.texts);
    if (const auto bmp = node.get_child_optional("bmppara")) {
        m.bmp_start = int_of(*bmp, "start", m.bmp_start);
        m.bmp_end = int_of(*bmp, "end", m.bmp_end);
    }
}

}

int get_json_omenu_para(const char *path, OSD_LIST *out)
{
    if (!out)
        return 255;
    pt::ptree root;
    if (!path || !JsonFile::read(Paths::dev(QString::fromUtf8(path)), &root)) {
        out->menu[0].osdcount = 0;
        return 255;
    }
    // Parse into a copy: a file that fails half-way must leave the caller's record as it was.
    OSD_LIST parsed = *out;
    try {
        parsed.menu[0].osdcount = root.get<int>("osdcount", 0);
        parsed.menu[0].oactcount = root.get<int>("oactcount", 0);
        if (const auto menu = root.get_child_optional("menu")) {
            int i = 0;
            for (const auto &item : *menu) {
                if (i >= kOverlays)
                    break;
                read_overlay(item.second, parsed.menu[i++]);
            }
        }
    } catch (const pt::ptree_error &) {
        out->menu[0].osdcount = 0;
        return 255;
    }
    *out = parsed;
    return 0;
}
