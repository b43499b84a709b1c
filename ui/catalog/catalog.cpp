#include "catalog.h"

#include "advancedoption.h"
#include "custommode.h"
#include "edidset.h"
#include "factory.h"
#include "factoryage.h"
#include "firmware_usbgrade.h"
#include "imagelayout.h"
#include "imagequality.h"
#include "inputchoose.h"
#include "inputcut.h"
#include "lcdshow.h"
#include "ledset.h"
#include "linkcom.h"
#include "linkoption.h"
#include "linkwlan.h"
#include "lockwindow.h"
#include "machinestate.h"
#include "mainwindow.h"
#include "netset.h"
#include "option.h"
#include "othersetup.h"
#include "outputset.h"
#include "quality.h"
#include "rcv_recovery.h"
#include "smartmapping.h"
#include "temperature.h"
#include "test_chart.h"
#include "testimage.h"

namespace {
template <class T>
ScreenEntry entry(uint8_t page, T *&pointer)
{
    // The home screen and the user modes are shown without a loop of their own.
    const bool modal = page != PAGE_LOCKWINDOW && page != PAGE_CUSTOMMODE;
    return ScreenEntry{page, T::staticMetaObject.className(), [] { return static_cast<Screen *>(new T); },
                       [&pointer, modal] { open_screen(pointer, new T, modal); },
                       [&pointer] { return static_cast<QObject *>(pointer); }};
}
}

const std::vector<ScreenEntry> &screen_catalog()
{
    static const std::vector<ScreenEntry> entries = {
        entry(PAGE_LOCKWINDOW, g_lockwindow),
        entry(PAGE_MAINWINDOW, g_mainwindow),
        entry(PAGE_MACHINESTATE, g_machinestate),
        entry(PAGE_CUSTOMMODE, g_custommode),
        entry(PAGE_OPTION, g_option),
        entry(PAGE_OUTPUTSET, g_outputset),
        entry(PAGE_LINKOPTION, g_linkoption),
        entry(PAGE_ADVANCEDOPTION, g_advancedoption),
        entry(PAGE_OTHERSETUP, g_othersetup),
        entry(PAGE_FACTORYAGE, g_factoryage),
        entry(PAGE_RCV_RECOVERY, g_rcv_recovery),
        entry(PAGE_INPUTCHOOSE, g_inputchoose),
        entry(PAGE_INPUTCUT, g_inputcut),
        entry(PAGE_EDIDSET, g_edidset),
        entry(PAGE_FIRMWARE_USBGRADE, g_firmware_usbgrade),
        entry(PAGE_LEDSET, g_ledset),
        entry(PAGE_NETSET, g_netset),
        entry(PAGE_TEST_CHART, g_test_chart),
        entry(testimage::kPage, g_testimage),
        entry(PAGE_IMAGELAYOUT, g_imagelayout),
        entry(PAGE_IMAGEQUALITY, g_imagequality),
        entry(PAGE_QUALITY, g_quality),
        entry(PAGE_TEMPERATURE, g_temperature),
        entry(PAGE_LCDSHOW, g_lcdshow),
        entry(PAGE_FACTORY, g_factory),
        entry(PAGE_LINKCOM, g_linkcom),
        entry(PAGE_LINKWLAN, g_linkwlan),
        entry(PAGE_SMARTMAPPING, g_smartmapping),
    };
    return entries;
}
