#include <QtTest>

#include "omenu.h"
#include "testroot.h"

namespace {
const char *const kLayout = R"json({
  "osdcount": 2, "oactcount": 1,
  "menu": [
    {"type": 1, "status": "on", "x": 10, "y": 20, "w": 300, "h": 40, "layer": "top", "effect": 2,
     "speed": 5, "staytime": 9, "backpara": {"enable": "on", "color": "0x102030"},
     "fontpara": {"startx": 1, "starty": 2, "fontw": 32, "fonth": 32, "wordspace": 3,
                  "verticalspace": 4, "color": "0xFFee00"},
     "texts": "Hello\nWorld", "bmppara": {"start": 7, "end": 8}},
    {"x": 1, "h_align": "center", "backpara": {"color": "red; image: url(x)"}},
    {"x": 2},
    {"x": 3}
  ]})json";
}

class TestOmenu : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_test_root(QString::fromLatin1(QTest::currentTestFunction())); }

    void reads_overlays();
    void bad_file_keeps_record();
};

void TestOmenu::reads_overlays()
{
    write_dev_file(QStringLiteral("/data/modes/MO01.json"), kLayout);
    OSD_LIST list;
    QCOMPARE(get_json_omenu_para("/data/modes/MO01.json", &list), 0);
    const OMENU_PARA &o = list.menu[0];
    QCOMPARE(o.osdcount, 2);
    QCOMPARE(o.oactcount, 1);
    QCOMPARE(o.w, 300);
    QCOMPARE(o.back_layer, std::string("top"));
    QCOMPARE(o.back_color, std::string("0x102030"));
    QCOMPARE(o.font_color, std::string("0xFFee00"));
    QCOMPARE(o.fontw, 32);
    QCOMPARE(o.verticalspace, 4);
    QCOMPARE(o.texts, std::string("Hello\nWorld"));
    QCOMPARE(o.bmp_end, 8);
    QCOMPARE(o.h_align, std::string("left"));
    QCOMPARE(list.menu[1].h_align, std::string("center"));
    QCOMPARE(list.menu[1].v_align, std::string("top"));
    QCOMPARE(list.menu[1].back_color, std::string());   // not a colour: not taken
    QCOMPARE(list.menu[2].x, 2);
}

void TestOmenu::bad_file_keeps_record()
{
    OSD_LIST list;
    list.menu[0].osdcount = 3;
    list.menu[0].x = 44;
    list.menu[1].texts = "kept";
    QCOMPARE(get_json_omenu_para("/data/modes/MO02.json", &list), 255);
    QCOMPARE(list.menu[0].osdcount, 0);
    QCOMPARE(list.menu[0].x, 44);

    list.menu[0].osdcount = 3;
    write_dev_file(QStringLiteral("/data/modes/MO02.json"), R"({"osdcount": 1, "menu": [{"x": 5}, {"x": 6)");
    QCOMPARE(get_json_omenu_para("/data/modes/MO02.json", &list), 255);
    QCOMPARE(list.menu[0].osdcount, 0);
    QCOMPARE(list.menu[0].x, 44);
    QCOMPARE(list.menu[1].texts, std::string("kept"));

    // A value of the wrong kind keeps what the record held.
    write_dev_file(QStringLiteral("/data/modes/MO02.json"), R"({"osdcount": 1, "menu": [{"x": "wide", "w": 9}]})");
    QCOMPARE(get_json_omenu_para("/data/modes/MO02.json", &list), 0);
    QCOMPARE(list.menu[0].x, 44);
    QCOMPARE(list.menu[0].w, 9);
}

QTEST_GUILESS_MAIN(TestOmenu)
#include "tst_omenu.moc"
