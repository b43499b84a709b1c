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
    g_page_focus = g_image_current = g_language = g_zem_keys = 0;
    g_lcd_lang_valid = 0x1F;
    ChipRequest::request() = 0;
    UiHooks::refresh_screen = UiHooks::after_sync = nullptr;
    UiHooks::update_key_leds = nullptr;
}

// A parameter or mode file as the device writes it: marker, data, zero fill to 4096 bytes.
inline QByteArray marked_file(const uint8_t *data, int size)
{
    return (QByteArray("\xAA\xAA") + QByteArray(reinterpret_cast<const char *>(data), size)).leftJustified(4096, '\0');
}
inline QByteArray image_file_bytes(const uint8_t *image) { return marked_file(image + 768, 4096 - 768); }
inline QByteArray image_of(const ZemRamPara *r) { return QByteArray(reinterpret_cast<const char *>(r->RAM_PARA), 4096); }

// A u16 of the parameter file by image offset.
inline uint16_t file16(const QByteArray &file, int image_offset)
{
    return uint16_t(uint8_t(file[image_offset - 766]) | uint8_t(file[image_offset - 765]) << 8);
}
