#pragma once
#include <cstdint>

// The names every layer shares: the pages of the LCD and their parents, the change codes that
// ZemRamPara::test_signal announces, the tips and the languages. Nothing writes these as bare
// numbers.

// The screen on display, held in g_page_focus.
enum PageId : uint8_t {
    PAGE_LOCKWINDOW = 0,
    PAGE_MAINWINDOW = 1,
    PAGE_MACHINESTATE = 2,
    PAGE_INPUTCHOOSE = 3,
    PAGE_CUSTOMMODE = 4,
    PAGE_OPTION = 5,
    PAGE_OUTPUTSET = 6,
    PAGE_INPUTCUT = 7,
    PAGE_EDIDSET = 8,
    PAGE_IMAGELAYOUT = 9,
    PAGE_LINKOPTION = 10,
    PAGE_IMAGEQUALITY = 11,
    PAGE_ADVANCEDOPTION = 12,
    PAGE_LEDSET = 13,
    PAGE_NETSET = 14,
    PAGE_LCDSHOW = 15,
    PAGE_TEST_CHART = 16,
    PAGE_OTHERSETUP = 17,
    PAGE_FACTORY = 18,
    PAGE_QUALITY = 19,
    PAGE_TEMPERATURE = 20,
    PAGE_LINKCOM = 21,
    PAGE_LINKWLAN = 22,
    PAGE_FACTORYAGE = 23,
    PAGE_SMARTMAPPING = 24,
    PAGE_RCV_RECOVERY = 25,
    PAGE_FIRMWARE_USBGRADE = 26,
    PAGE_COUNT = 27   // this and above: no screen of its own
};

// The page a screen's back path returns to: the screen that opens it. The home screen has none
// (its way out is to the main menu, which it does not return to), the main menu's is the home
// screen. The input-crops screen returns to source choice while that is open (its own rule).
constexpr uint8_t parent_page(uint8_t page)
{
    constexpr uint8_t kParents[PAGE_COUNT] = {
        PAGE_MAINWINDOW,      // 0 home screen: touch or OK
        PAGE_LOCKWINDOW,      // 1 main menu
        PAGE_MAINWINDOW,      // 2 device state
        PAGE_MAINWINDOW,      // 3 source choice
        PAGE_MAINWINDOW,      // 4 user modes
        PAGE_MAINWINDOW,      // 5 Setting
        PAGE_OPTION,          // 6 output
        PAGE_OPTION,          // 7 input crops
        PAGE_INPUTCHOOSE,     // 8 EDID
        PAGE_OPTION,          // 9 image layout
        PAGE_OPTION,          // 10 communication
        PAGE_OPTION,          // 11 image quality
        PAGE_OPTION,          // 12 advanced
        PAGE_OUTPUTSET,       // 13 LED size
        PAGE_OUTPUTSET,       // 14 output ports
        PAGE_ADVANCEDOPTION,  // 15 LCD timing
        PAGE_OPTION,          // 16 test patterns
        PAGE_ADVANCEDOPTION,  // 17 other settings
        PAGE_ADVANCEDOPTION,  // 18 factory
        PAGE_IMAGEQUALITY,    // 19 picture quality
        PAGE_IMAGEQUALITY,    // 20 colour temperature
        PAGE_LINKOPTION,      // 21 serial port
        PAGE_LINKOPTION,      // 22 network address
        PAGE_ADVANCEDOPTION,  // 23 ageing log
        PAGE_OPTION,          // 24 smart mapping
        PAGE_ADVANCEDOPTION,  // 25 card recovery
        PAGE_LINKOPTION,      // 26 USB upgrade
    };
    return page < PAGE_COUNT ? kParents[page] : uint8_t(PAGE_MAINWINDOW);
}

// The codes of ZemRamPara::test_signal and of the USB listener.
enum ChangeCode : int {
    CHANGE_PARA = 1,                // the image or a parameter changed (the chip pass announces it)
    CHANGE_PORT_LINKS = 11,         // the output ports' link word changed
    CHANGE_SOURCE_TIMING = 12,      // an input's timing row changed
    CHANGE_USB_INSERTED = 100,
    CHANGE_USB_REMOVED = 101,
    CHANGE_USB_MOUNTED = 102,
    CHANGE_FILE_RECEIVED = 103,     // a file arrived over the control link
    CHANGE_QUIET_105 = 105,         // announced by the control link for the key panel only:
    CHANGE_QUIET_106 = 106,         // no screen refresh, no save
};

// The notices of the one tip.
enum TipId : int {
    TIP_DONE = 1,            // the check mark
    TIP_USB_INSERTED = 3,
    TIP_USB_REMOVED = 4,
    TIP_USB_READING = 5,
};

// g_language and the bits of g_lcd_lang_valid.
enum Language : uint8_t {
    LANG_ZH_HANS = 0,
    LANG_EN = 1,
    LANG_RU = 2,
    LANG_VI = 3,
    LANG_ZH_HANT = 4,
    LANG_COUNT = 5,
};
