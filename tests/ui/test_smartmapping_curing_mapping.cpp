// The smart-mapping wizard's curing and mapping switch: the jobs they post to the FPGA thread,
// their bar, and what the simulated receiving cards get; the switch as the FPGA holds it.
#include "fpga_regs.h"
#include "smartmappingfx.h"

using namespace smartfx;

class TestSmartMappingCuringMapping : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

    // Jobs 3 and 4, posted by the keys, run against the simulated cards (their timing is the FPGA
    // thread's test's): the bar rises while a port is waited for, 95 after the last, then 100.
    void jobs_end_to_end_data()
    {
        columns<QString>({"keys"});
        QTest::newRow("curing") << "roo";
        QTest::newRow("mapping switch") << "rroo";
    }
    void jobs_end_to_end()
    {
        QFETCH(QString, keys);
        open_wizard(keys);
        const bool curing = keys == "roo";
        QCOMPARE(int(g_send_para.job()), curing ? int(JOB_SAVE_PARA) : int(JOB_MAPPING_ENABLE));
        QCOMPARE(run_job(), (QList<int>{3, 48, 95, 100}));
        const SimState s = *SimLock();
        const QList<int> saves{s.cards[0][0].saves, s.cards[0][1].saves, s.cards[1][0].saves};
        const QList<int> states{int(s.cards[0][0].mapping_state), int(s.cards[0][1].mapping_state), int(s.cards[1][0].mapping_state)};
        QCOMPARE(saves, curing ? (QList<int>{1, 1, 1}) : (QList<int>{0, 0, 0}));
        QCOMPARE(states, curing ? (QList<int>{0, 0, 0}) : (QList<int>{9, 9, 9}));
        act("b");   // the flow
        act("b");   // the wizard
        QCOMPARE(int(g_page_focus), int(PAGE_OPTION));
    }
    // The page shows the switch as the FPGA has it; OK turns it over in the FPGA at once (the
    // other bits of the register kept) and job 4 carries it to the cards. A second OK while the
    // bar is up changes nothing.
    void mapping_switch_data()
    {
        columns<int, QString, int, QString, int>({"reg", "before", "after", "icon", "state"});
        QTest::newRow("on, screen on") << 0x84 << "button_on" << 0x04 << "button_off" << 0;
        QTest::newRow("on, other bits") << 0xFF << "button_on" << 0x7F << "button_off" << 0;
        QTest::newRow("off, screen on") << 0x04 << "button_off" << 0x84 << "button_on" << 9;
        QTest::newRow("off") << 0x00 << "button_off" << 0x80 << "button_on" << 9;
    }
    void mapping_switch()
    {
        QFETCH(int, reg);
        QFETCH(QString, before);
        QFETCH(QString, icon);
        SimDevice::write_reg(0, FpgaReg::kControl, uint8_t(reg));
        {
            SimLock s;
            for (auto &port : s->cards)
                for (SimCard &card : port)
                    card.mapping_state = 5;
        }
        open_wizard("rr");   // resting on the entry reads the switch
        const QWidget *button = wizard()->findChild<QWidget *>("Button_mapping_state");
        QCOMPARE(stack_page(), 7);
        QVERIFY(uitest::shows(button, ":/png/" + before + ".png"));
        act("o");
        QCOMPARE(uitest::look(wizard(), "Button_mapping_state"), LookState::Focus);
        act("oo");
        QTEST(int(SimDevice::read_reg(0, FpgaReg::kControl)), "after");
        QTEST(int(fpga_manage::p_fpga_manage->register_value(FpgaReg::kControl, 0)), "after");
        QVERIFY(uitest::shows(button, ":/png/" + icon + ".png"));
        QTEST(int(g_send_para.mapping_state), "state");
        QCOMPARE(int(g_send_para.job()), int(JOB_MAPPING_ENABLE));
        run_job();
        QFETCH(int, state);
        SimLock s;
        QCOMPARE((QList<int>{int(s->cards[0][1].mapping_state), int(s->cards[1][0].mapping_state)}), (QList<int>{state, state}));
    }
};

QTEST_MAIN(TestSmartMappingCuringMapping)
#include "test_smartmapping_curing_mapping.moc"
