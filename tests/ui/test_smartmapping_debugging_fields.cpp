// The smart-mapping wizard's debugging flow: its number fields, the routing pattern's page, and
// Send while its bar is up.
#include "smartmappingfx.h"

using namespace smartfx;

class TestSmartMappingDebuggingFields : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_wizard(); }
    void cleanup() { uitest::close_all(); }

    // A number beyond its field stores the largest the field holds, and the field shows it; no
    // number stores 0.
    void fields_saturate_data()
    {
        columns<QString, QString, QString, int>({"field", "typed", "shown", "stored"});
        QTest::newRow("width 70000") << "lineEdit_X" << "70000" << "65535" << 65535;
        QTest::newRow("width 65535") << "lineEdit_X" << "65535" << "65535" << 65535;
        QTest::newRow("height 999999999") << "lineEdit_Y" << "999999999" << "65535" << 65535;
        QTest::newRow("height empty") << "lineEdit_Y" << "" << "" << 0;
        QTest::newRow("rows 300") << "lineEdit_line" << "300" << "255" << 255;
        QTest::newRow("rows 255") << "lineEdit_line" << "255" << "255" << 255;
        QTest::newRow("columns 256") << "lineEdit_column" << "256" << "255" << 255;
        QTest::newRow("columns 0") << "lineEdit_column" << "0" << "0" << 0;
        QTest::newRow("horizontal offset 65536") << "lineEdit_horzion" << "65536" << "65535" << 65535;
        QTest::newRow("vertical offset 42") << "lineEdit_vert" << "42" << "42" << 42;
    }
    void fields_saturate()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        const bool step1 = field == "lineEdit_X" || field == "lineEdit_Y";
        open_wizard(step1 ? "o" : "o r r o r r o");   // the field's step, the cursor on its first item
        auto *edit = wizard()->findChild<My_lineEdit *>(field);
        QTest::mouseClick(edit, Qt::LeftButton);   // a touch opens the keyboard as OK does
        type_on_keyboard(typed);
        QTEST(edit->text(), "shown");
        act("l o");   // left of the first item: Next on Step 1, Send on Step 3
        const line_type l = g_line_type;
        const QMap<QString, int> stored{{"lineEdit_X", l.cabinet_width}, {"lineEdit_Y", l.cabinet_height},
                                        {"lineEdit_line", l.rows}, {"lineEdit_column", l.cols},
                                        {"lineEdit_horzion", l.h_offset}, {"lineEdit_vert", l.v_offset}};
        QTEST(stored.value(field), "stored");
    }
    // The routing page: the cursor starts on the pattern in use; OK on a pattern takes it, Cancel
    // and Back keep the one there was. The language follows onto Step 3's routing button.
    void routing_choice_data()
    {
        columns<QString, int, QString>({"keys", "route", "shown"});
        QTest::newRow("pattern 7") << "r r o r r r r r r o" << 7 << "Routing 7";
        QTest::newRow("cancel keeps it") << "r r o l o" << 1 << "Routing 1";
        QTest::newRow("back keeps it") << "r r o r r b" << 1 << "Routing 1";
        QTest::newRow("pattern 16, then 15 from there") << "r r o l l o o l o" << 15 << "Routing 15";
    }
    void routing_choice()
    {
        QFETCH(QString, keys);
        QFETCH(int, route);
        uitest::para()->RAM_PARA[Ram::kLanguage] = uitest::para()->RAM_PARA_SHADOW[Ram::kLanguage] = LANG_EN;
        open_wizard("o r r o r r o");
        act(keys);
        QCOMPARE(stack_page(), 2);
        QTEST(int(g_line_type.route), "route");
        QTEST(uitest::text(wizard(), "Button_route"), "shown");
        QVERIFY(uitest::shows(wizard(), "Button_route", QStringLiteral(":/png/line%1.png").arg(route)));
        QCOMPARE(uitest::look(wizard(), "Button_route"), LookState::Focus);
        uitest::para()->RAM_PARA[Ram::kLanguage] = LANG_ZH_HANS;
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE(uitest::text(wizard(), "Button_route"), QStringLiteral("走线%1").arg(route));
    }
    // Send while its bar is up changes neither the job nor what it sends.
    void send_twice()
    {
        open_wizard("o r r o r r o l o");
        const line_type first = g_line_type;
        QVERIFY(g_qround_bar);
        QTest::mouseClick(wizard()->findChild<My_lineEdit *>("lineEdit_line"), Qt::LeftButton);
        type_on_keyboard("9");
        act("o");
        QTest::mouseClick(wizard()->findChild<QPushButton *>("Button_send"), Qt::LeftButton);
        QCOMPARE(g_line_type.rows, first.rows);
        act("b l o Button_front_3");   // Previous is refused as well, by back, by OK and by a touch
        QCOMPARE((QList<int>{stack_page(), debugging().step()}), (QList<int>{2, 2}));
        run_job();
        act("r o");   // once the bar is gone
        QCOMPARE(int(g_line_type.rows), 9);
    }
};

QTEST_MAIN(TestSmartMappingDebuggingFields)
#include "test_smartmapping_debugging_fields.moc"
