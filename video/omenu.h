#pragma once
#include <string>

// One OSD overlay of an OSD layout file. osdcount and oactcount are meaningful in the first
// record of a list only.
struct OMENU_PARA
{
    int osdcount = 0;
    int oactcount = 0;
    int type = 0;
    std::string status;
    int x = 0, y = 0, w = 0, h = 0;
    int effect = 0, speed = 0, staytime = 0;
    std::string h_align = "left";
    std::string v_align = "top";
    std::string back_enable;
    std::string back_color;         // "0x" and six hexadecimal digits
    std::string back_layer;
    int startx = 0, starty = 0, fontw = 0, fonth = 0, wordspace = 0, verticalspace = 0;
    std::string font_color;         // "0x" and six hexadecimal digits
    std::string texts;
    int bmp_start = 0, bmp_end = 0;
};

struct OSD_LIST
{
    OMENU_PARA menu[3];
};

// Reads an OSD layout file (a device path). When the file cannot be opened or parsed, the first
// overlay's osdcount becomes 0 and the rest of `out` stays as it was. Returns 0, or 255 then.
int get_json_omenu_para(const char *path, OSD_LIST *out);
