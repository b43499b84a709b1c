#include <QtTest>

#include "devicefixture.h"

class TestFpgaDevice : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_devices(QTest::currentTestFunction()); }

    void defaults_of_the_simulation();
    void sim_json_overrides();
    void corrupt_sim_json_gives_defaults();
    void ageing_register_advances();
    void eth_param_addr_data();
    void eth_param_addr();
    void register_access_data();
    void register_access();
    void masked_write_of_register_0();
    void wlan_state_announced_once_per_change();
    void led_setup_handshake_data();
    void led_setup_handshake();
    void chip_done_clears_handshake();
    void recovery_dir_file();
};

void TestFpgaDevice::defaults_of_the_simulation()
{
    fpga_manage *f = fpga_manage::create_for_test();
    QCOMPARE(f->get_fpga_status(), 1);
    QCOMPARE(int(f->MCU_REG_func[0][80]), 3);
    QCOMPARE(int(f->MCU_REG_func[0][28]), 0x12);
    QCOMPARE(int(f->MCU_REG_func[0][29]), 0x20);
    QCOMPARE(int(f->MCU_REG_func[0][30]), 0x11);
    QCOMPARE(int(f->MCU_REG_func[0][31]), 0x26);
    QCOMPARE(f->get_wlan_state(), uint16_t(0x0003));
    QCOMPARE(f->card_count(0), 2);
    QCOMPARE(f->card_count(1), 1);
    QCOMPARE(f->card_count(2), 0);
    for (int port = 0; port < 6; ++port) {
        uint16_t x, y, w, h;
        fpga_manage::get_eth_param_addr(uint8_t(port), &x, &y, &w, &h);
        QCOMPARE(Ram::rd16(f->MCU_RAM_PARA_func[0], x), uint16_t(0));
        QCOMPARE(Ram::rd16(f->MCU_RAM_PARA_func[0], y), uint16_t(0));
        QCOMPARE(Ram::rd16(f->MCU_RAM_PARA_func[0], w), uint16_t(1280));
        QCOMPARE(Ram::rd16(f->MCU_RAM_PARA_func[0], h), uint16_t(512));
    }
}

void TestFpgaDevice::sim_json_overrides()
{
    fresh_devices("sim_json_overrides",
                  "{\"inputs\":[{\"source\":3,\"width\":1280,\"height\":720,\"rate\":50}],"
                  "\"cards\":{\"3\":4},\"links\":[3,9],"
                  "\"fpga\":{\"running\":true,\"version\":18,\"day\":1,\"month\":2,\"year\":27},"
                  "\"ageing\":{\"r40\":7,\"r42\":200,\"r43\":9},\"fonts\":5}");
    fpga_manage *f = fpga_manage::create_for_test();
    QCOMPARE(int(f->MCU_REG_func[0][28]), 0x18);
    QCOMPARE(int(f->MCU_REG_func[0][29]), 0x01);
    QCOMPARE(int(f->MCU_REG_func[0][30]), 0x02);
    QCOMPARE(int(f->MCU_REG_func[0][31]), 0x27);
    QCOMPARE(int(f->MCU_REG_func[0][40]), 7);
    QCOMPARE(int(f->MCU_REG_func[0][43]), 9);
    QCOMPARE(f->get_wlan_state(), uint16_t(0x0104));
    QCOMPARE(f->card_count(0), 0);
    QCOMPARE(f->card_count(2), 4);
    SimLock s;
    QVERIFY(!s->inputs[1].present());
    QCOMPARE(s->inputs[3].rate, uint16_t(50));
    QCOMPARE(s->fonts, 5u);
}

void TestFpgaDevice::corrupt_sim_json_gives_defaults()
{
    fresh_devices("corrupt_sim_json", "{\"cards\":{\"3\":4},\"fonts\":");
    fpga_manage *f = fpga_manage::create_for_test();
    QCOMPARE(f->card_count(0), 2);
    QCOMPARE(f->card_count(2), 0);
    QCOMPARE(int(f->MCU_REG_func[0][28]), 0x12);

    fresh_devices("stopped_fpga", "{\"fpga\":{\"running\":false}}");
    f = fpga_manage::create_for_test();
    QCOMPARE(f->get_fpga_status(), 0);
    QCOMPARE(f->get_wlan_state(), uint16_t(0));
    QCOMPARE(f->card_count(0), 0);
}

void TestFpgaDevice::ageing_register_advances()
{
    fpga_manage *f = fpga_manage::create_for_test();
    G_timeTicks = 0;
    QList<int> values;
    for (int sample = 0; sample < 7; ++sample) {
        f->read_from_register(42, 0);
        values << f->MCU_REG_func[0][42];
        advance(SimDevice::kAgeingSampleTicks);
    }
    QCOMPARE(values.first(), 17);
    for (int i = 1; i < values.size(); ++i) {
        const int rise = values[i] - values[i - 1];
        QVERIFY2(rise >= 1 && rise <= 3, qPrintable(QString::number(rise)));
    }
}

void TestFpgaDevice::eth_param_addr_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("x");
    const int xs[16] = {8, 19, 32, 43, 520, 528, 536, 544, 576, 584, 592, 600, 608, 616, 624, 632};
    for (int p = 0; p < 16; ++p)
        QTest::addRow("port %d", p) << p << xs[p];
    QTest::newRow("port 16") << 16 << 0;
    QTest::newRow("port 255") << 255 << 0;
}

void TestFpgaDevice::eth_param_addr()
{
    QFETCH(int, port);
    QFETCH(int, x);
    uint16_t ox = 1, oy = 1, ow = 1, oh = 1;
    QCOMPARE(fpga_manage::get_eth_param_addr(uint8_t(port), &ox, &oy, &ow, &oh), 0);
    QCOMPARE(int(ox), x);
    QCOMPARE(int(oy), x + 2);
    QCOMPARE(int(ow), x + 4);
    QCOMPARE(int(oh), x + 6);
}

void TestFpgaDevice::register_access_data()
{
    QTest::addColumn<int>("reg");
    QTest::addColumn<int>("fpga");
    QTest::addColumn<bool>("served");
    QTest::newRow("63") << 63 << 0 << true;
    QTest::newRow("64") << 64 << 0 << false;
    QTest::newRow("127") << 127 << 0 << false;
    QTest::newRow("128 of FPGA 1") << 128 << 1 << true;
    QTest::newRow("170") << 170 << 0 << true;
    QTest::newRow("171") << 171 << 0 << false;
    QTest::newRow("255") << 255 << 1 << false;
    QTest::newRow("FPGA 2") << 10 << 2 << false;
}

void TestFpgaDevice::register_access()
{
    QFETCH(int, reg);
    QFETCH(int, fpga);
    QFETCH(bool, served);
    fpga_manage *f = fpga_manage::create_for_test();
    const int fi = fpga & 1;
    SimDevice::write_reg(fi, reg, 0x5A);
    f->read_from_register(uint8_t(reg), uint8_t(fpga));
    if (fpga < 2)
        QCOMPARE(f->MCU_REG_func[fi][reg] == 0x5A, served);

    f->write_to_register(uint8_t(reg), 0x0F, 0x03, uint8_t(fpga));
    const uint8_t expect = served ? 0x53 : 0x5A;
    QCOMPARE(SimDevice::read_reg(fi, reg), expect);
    if (fpga < 2 && served)
        QCOMPARE(f->MCU_REG_func[fi][reg], expect);
}

void TestFpgaDevice::masked_write_of_register_0()
{
    fpga_manage *f = fpga_manage::create_for_test();
    QSignalSpy spy(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para);
    f->write_to_register(0, 0x80, 0x80, 0);   // mapping on
    QCOMPARE(int(f->MCU_REG_func[0][0]), 0x84);
    QVERIFY(f->screen_on());
    QVERIFY(spy.isEmpty());
    f->write_to_register(0, 0x04, 0x00, 0);   // screen off
    QCOMPARE(int(f->MCU_REG_func[0][0]), 0x80);
    QVERIFY(!f->screen_on());
    QCOMPARE(codes(spy), (QList<int>{1}));
    f->write_to_register(0, 0x84, 0x04, 0);
    QCOMPARE(int(SimDevice::read_reg(0, 0)), 0x04);
    QCOMPARE(codes(spy), (QList<int>{1}));
}

void TestFpgaDevice::wlan_state_announced_once_per_change()
{
    fpga_manage *f = fpga_manage::create_for_test();
    QSignalSpy spy(ZemRamPara::p_zemrampara_config, &ZemRamPara::sig_update_para);
    f->check_wlanonline_state();
    f->check_wlanonline_state();
    f->fpga_pass();
    QCOMPARE(codes(spy), (QList<int>{11}));
    {
        SimLock s;
        s->links = 0x8001;
    }
    f->fpga_pass();
    f->fpga_pass();
    QCOMPARE(codes(spy), (QList<int>{11, 11}));
    QCOMPARE(f->get_wlan_state(), uint16_t(0x8001));
    {
        SimLock s;
        s->fpga_running = false;
        s->links = 0;
    }
    f->read_from_register(80, 0);   // not a register the screens may read
    QCOMPARE(int(f->MCU_REG_func[0][80]), 3);
    f->fpga_pass();                  // the card search sees the FPGA stopped
    QCOMPARE(int(f->MCU_REG_func[0][80]), 0);
    f->fpga_pass();
    QCOMPARE(codes(spy), (QList<int>{11, 11}));
    QCOMPARE(f->get_wlan_state(), uint16_t(0));
}

void TestFpgaDevice::led_setup_handshake_data()
{
    QTest::addColumn<QList<int>>("waits");      // ticks before each pass
    QTest::addColumn<QList<int>>("setups");     // g_set_led_setup after it
    QTest::addColumn<QList<int>>("paras");      // g_set_led_para after it
    QTest::newRow("exact timings") << QList<int>{0, 11, 31} << QList<int>{1, 2, 0} << QList<int>{1, 1, 0};
    QTest::newRow("one tick early") << QList<int>{0, 10, 1, 30, 1} << QList<int>{1, 1, 2, 2, 0}
                                    << QList<int>{1, 1, 1, 1, 0};
    QTest::newRow("late passes") << QList<int>{0, 500, 500} << QList<int>{1, 2, 0} << QList<int>{1, 1, 0};
}

void TestFpgaDevice::led_setup_handshake()
{
    QFETCH(QList<int>, waits);
    QFETCH(QList<int>, setups);
    QFETCH(QList<int>, paras);
    fpga_manage *f = fpga_manage::create_for_test();
    {
        QMutexLocker lock(&Utils::_led_para_init_mutex);
        g_set_led_para = 1;
        g_set_led_setup = 0;
    }
    for (int i = 0; i < waits.size(); ++i) {
        advance(uint32_t(waits[i]));
        f->fpga_pass();
        QCOMPARE(int(g_set_led_setup), setups[i]);
        QCOMPARE(int(g_set_led_para), paras[i]);
        if (setups[i] == 1) {
            SimLock s;
            QCOMPARE(int(s->screen_status), 0);
        }
        if (setups[i] == 2) {
            SimLock s;
            QCOMPARE(int(s->screen_status), 5);
        }
    }
    SimLock s;
    QCOMPARE(s->fpga_resets, 0);
}

void TestFpgaDevice::chip_done_clears_handshake()
{
    fpga_manage *f = fpga_manage::create_for_test();
    g_set_led_para = 2;
    g_set_led_setup = 1;
    f->fpga_pass();
    QCOMPARE(int(g_set_led_para), 0);
    QCOMPARE(int(g_set_led_setup), 0);
    f->fpga_pass();
    SimLock s;
    QCOMPARE(s->fpga_resets, 1);
}

void TestFpgaDevice::recovery_dir_file()
{
    rcvRecovery r;
    QCOMPARE(r.get_dir_file(QStringLiteral("/data/rcvrecovery")), 1);
    QCOMPARE(r.file_count(), 0);

    write_dev_file(QStringLiteral("/data/rcvrecovery/a.rcv"), "1");
    write_dev_file(QStringLiteral("/data/rcvrecovery/b.rcv"), "2");
    write_dev_file(QStringLiteral("/data/rcvrecovery/sub/c.rcv"), "3");
    QCOMPARE(r.get_dir_file(QStringLiteral("/data/rcvrecovery")), 0);
    QStringList files = r.file_list();
    files.sort();
    QCOMPARE(files, (QStringList{QStringLiteral("a.rcv"), QStringLiteral("b.rcv")}));

    // Another existing folder answers 0 but leaves the list alone; a missing one answers 1.
    QCOMPARE(r.get_dir_file(QStringLiteral("/data/configs")), 0);
    QCOMPARE(r.file_count(), 2);
    QCOMPARE(r.get_dir_file(QStringLiteral("/data/smartmapping")), 1);
    QCOMPARE(r.file_count(), 2);

    write_dev_file(QStringLiteral("/mnt/usb1/x.qyfile"), "4");
    QCOMPARE(r.get_dir_file(QStringLiteral("/mnt/usb1/")), 0);
    QCOMPARE(r.file_list(), QStringList{QStringLiteral("x.qyfile")});
    r.clear_files();
    QCOMPARE(r.file_count(), 0);
}

QTEST_GUILESS_MAIN(TestFpgaDevice)
#include "tst_fpga_device.moc"
