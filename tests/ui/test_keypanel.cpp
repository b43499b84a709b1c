// The USB key panel away from the device: the simulation says whether one is plugged in and takes
// its LED reports, while a panel plugged into the host itself is never looked for nor written.
#include <hidapi.h>

#include "simdevice.h"
#include "uitest.h"
#include "zem_keyboard.h"
#include "zem_keys.h"

// The host's hidapi, as this program would meet it on a PC with the panel plugged in: every call
// is counted, the enumeration lists a device with the panel's ids and opening it succeeds.
namespace {
QStringList g_hid_calls;
hid_device_info g_host_panel{};
unsigned char g_host_handle;
}

int hid_init(void)
{
    g_hid_calls << QStringLiteral("init");
    return 0;
}
hid_device_info *hid_enumerate(unsigned short, unsigned short)
{
    g_hid_calls << QStringLiteral("enumerate");
    g_host_panel.vendor_id = kZemKeysVendor;
    g_host_panel.product_id = kZemKeysProduct;
    return &g_host_panel;
}
void hid_free_enumeration(hid_device_info *)
{
    g_hid_calls << QStringLiteral("free");
}
hid_device *hid_open(unsigned short, unsigned short, const wchar_t *)
{
    g_hid_calls << QStringLiteral("open");
    return reinterpret_cast<hid_device *>(&g_host_handle);
}
int hid_write(hid_device *, const unsigned char *, size_t length)
{
    g_hid_calls << QStringLiteral("write");
    return int(length);
}
void hid_close(hid_device *)
{
    g_hid_calls << QStringLiteral("close");
}

class TestKeyPanel : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        uitest::fresh_ui();
        g_hid_calls.clear();
    }
    void cleanup()
    {
        uitest::close_all();
        g_zem_keys = 0;
    }
    // Found or not by what the simulation says; once found, the panel's own key C selects image 1
    // and the change refresh lights key C's LED on the simulated panel, frozen as image 1 is.
    void simulated_panel_data()
    {
        columns<QByteArray, int>({"sim", "attached"});
        QTest::newRow("plugged in") << QByteArray(R"({"key_panel": true})") << 1;
        QTest::newRow("unplugged") << QByteArray(R"({"key_panel": false})") << 0;
        QTest::newRow("not named") << QByteArray("{}") << 0;
    }
    void simulated_panel()
    {
        QFETCH(QByteArray, sim);
        QFETCH(int, attached);
        write_dev_file("/sim.json", sim);
        SimDevice::load();
        ZemRamPara *para = ZemRamPara::p_zemrampara_config;
        para->wr16(Ram::layer(1) + Ram::kLayerEnable, Ram::kLayerEnabled);
        para->wr16(Ram::layer(1) + Ram::kLayerOutput, Ram::kOutputFreeze);

        g_zem_keys = uint8_t(check_hiddev());
        QCOMPARE(int(g_zem_keys), attached);
        zem_keyboard::update_usb_keyEvent(Qt::Key_C);
        QCOMPARE(int(g_image_current), 1);
        SimLock s;
        QCOMPARE(s->key_led_reports, attached);
        const QByteArray lit(reinterpret_cast<const char *>(s->key_leds), 5);
        QCOMPARE(lit.toHex(), QByteArray(attached ? "0002010100" : "0000000000"));
        QCOMPARE(g_hid_calls, QStringList());
    }
    // Told that a panel is there while the simulation has none (as a stale flag would), the LED
    // update still goes nowhere near the host's device.
    void host_device_never_written()
    {
        write_dev_file("/sim.json", "{}");
        SimDevice::load();
        g_zem_keys = 1;
        zem_keys_update_leds();
        ZemRamPara::p_zemrampara_config->test_signal(CHANGE_PARA);
        SimLock s;
        QCOMPARE(s->key_led_reports, 0);
        QCOMPARE(g_hid_calls, QStringList());
    }
};

QTEST_MAIN(TestKeyPanel)
#include "test_keypanel.moc"
