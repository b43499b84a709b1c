#include "zem_keys.h"

#include <cstring>

#include <hidapi.h>

#include "global.h"
#include "ram_layout.h"
#include "simdevice.h"
#include "zem_keyboard.h"
#include "zemrampara.h"

namespace {

using LedReport = std::array<uint8_t, 5>;

// The panel on the device's USB port, through hidapi's hidraw backend.
struct HidPanel
{
    static bool attached()
    {
        if (hid_init() != 0) {
            zem_debug("\t hid init error ");
            return false;
        }
        bool found = false;
        hid_device_info *list = hid_enumerate(0, 0);
        for (hid_device_info *dev = list; dev; dev = dev->next) {
            zem_debug("\t VendorID = %02x , ProductID = %02x \n", dev->vendor_id, dev->product_id);
            if (dev->vendor_id == kZemKeysVendor && dev->product_id == kZemKeysProduct) {
                found = true;
                break;
            }
        }
        hid_free_enumeration(list);
        zem_debug("\t check_hiddev over");
        return found;
    }

    static void send(const LedReport &report)
    {
        if (hid_init() != 0)
            return;
        hid_device *dev = hid_open(kZemKeysVendor, kZemKeysProduct, nullptr);
        if (!dev)
            return;
        hid_write(dev, report.data(), report.size());
        hid_close(dev);
    }
};

// Away from the device the simulation holds the panel: the host's own HID devices are never
// enumerated nor written, not even one that carries the panel's ids.
struct SimPanel
{
    static bool attached()
    {
        SimLock sim;
        return sim->key_panel;
    }

    static void send(const LedReport &report)
    {
        SimLock sim;
        if (!sim->key_panel)
            return;
        std::memcpy(sim->key_leds, report.data(), report.size());
        ++sim->key_led_reports;
    }
};

#ifdef ZEM_DEVICE_BUILD
using Panel = HidPanel;
#else
using Panel = SimPanel;
#endif

}

std::array<uint8_t, 5> zem_keys_led_report(const uint8_t *image, uint8_t current_image)
{
    std::array<uint8_t, 5> report{};
    if (!image)
        return report;
    const uint8_t window = current_image < Ram::kWindows ? current_image : 0;
    if (window < 4)
        report[1] = static_cast<uint8_t>(1u << window);
    short is_crop = 0;
    char crop_index = 0;
    const int source = ZemRamPara::ZemGetImageSource(image, window, &is_crop, &crop_index, 0);
    if (source >= 0 && source <= 3)
        report[2] = static_cast<uint8_t>(1u << source);
    const uint16_t output = Ram::rd16(image, Ram::layer(window) + Ram::kLayerOutput);
    report[3] = (output & Ram::kOutputFreeze) ? 1 : 0;
    report[4] = (output & Ram::kOutputBlack) ? 1 : 0;
    return report;
}

int check_hiddev()
{
    return Panel::attached() ? 1 : 0;
}

void zem_keys_update_leds()
{
    const ZemRamPara *para = ZemRamPara::p_zemrampara_config;
    if (!para || !g_zem_keys)
        return;
    Panel::send(zem_keys_led_report(para->RAM_PARA, g_image_current));
}
