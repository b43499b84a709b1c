#pragma once
#include <QByteArray>
#include <QString>

#include <cstring>

#include "chip_request.h"
#include "config_engine.h"
#include "global.h"
#include "paths.h"
#include "testroot.h"
#include "ui_hooks.h"
#include "zemrampara.h"

// A clean data root and a store that will be created again from its files.
inline void fresh_core(const char *name)
{
    fresh_test_root(QString::fromLatin1(name));
    ZemRamPara::destroy_for_test();
    ConfigEngine::destroy_for_test();
    g_debugSwitch = 0;
    g_page_focus = 0;
    g_image_current = 0;
    g_language = 0;
    g_lcd_lang_valid = 0x1F;
    g_zem_keys = 0;
    ChipRequest::request() = 0;
    UiHooks::refresh_screen = nullptr;
    UiHooks::update_key_leds = nullptr;
    UiHooks::after_sync = nullptr;
}

// A parameter file as the device writes it: marker, image offsets 768..4095, zero fill.
inline QByteArray image_file_bytes(const uint8_t *image)
{
    QByteArray b(4096, '\0');
    b[0] = char(0xAA);
    b[1] = char(0xAA);
    for (int i = 768; i < 4096; ++i)
        b[i - 766] = char(image[i]);
    return b;
}

inline uint16_t file16(const QByteArray &file, int image_offset)
{
    const int k = image_offset - 766;
    return uint16_t(uint8_t(file[k]) | uint8_t(file[k + 1]) << 8);
}
