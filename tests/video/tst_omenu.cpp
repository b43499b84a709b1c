#include <QtTest>

#include "omenu.h"
#include "testroot.h"

class TestOmenu : public QObject
{
    Q_OBJECT
private slots:
    void init() { fresh_test_root(QString::fromLatin1(QTest::currentTestFunction())); }

    void reads_overlays()
    {
        write_dev_file(QStringLiteral("/data/modes/MO01.json"), R"j({"osdcount": 2, "oactcount": 1, "menu": [
            {"w": 300, "layer": "top", "backpara": {"enable": "on", "color": "0x102030"},
             "fontpara": {"fontw": 32, "verticalspace": 4, "color": "0xFFee00"}, "texts": "Hi\nthere"},
            {"h_align": "center", "backpara": {"color": "red; image: url(x)"}}, {"x": 2}, {"x": 3}]})j");
        OSD_LIST list;
        QCOMPARE(get_json_omenu_para("/data/modes/MO01.json", &list), 0);
        const OMENU_PARA &o = list.menu[0];
        QCOMPARE((QList<int>{o.osdcount, o.oactcount, o.w, o.fontw, o.verticalspace, list.menu[2].x}),
                 (QList<int>{2, 1, 300, 32, 4, 2}));
        QCOMPARE((QStringList{o.back_layer.c_str(), o.back_color.c_str(), o.font_color.c_str(), o.texts.c_str(),
                              o.h_align.c_str(), list.menu[1].h_align.c_str(), list.menu[1].v_align.c_str()}),
                 (QStringList{"top", "0x102030", "0xFFee00", "Hi\nthere", "left", "center", "top"}));
        QCOMPARE(list.menu[1].back_color, std::string());   // not a colour: not taken
    }

    void bad_file_keeps_record()
    {
        OSD_LIST list;
        list.menu[0].x = 44;
        list.menu[1].texts = "kept";
        for (const QByteArray &content : {QByteArray(), QByteArray(R"({"osdcount": 1, "menu": [{"x": 5}, {"x": 6)")}) {
            if (!content.isNull())
                write_dev_file(QStringLiteral("/data/modes/MO02.json"), content);
            list.menu[0].osdcount = 3;
            QCOMPARE(get_json_omenu_para("/data/modes/MO02.json", &list), 255);
            QCOMPARE((QList<int>{list.menu[0].osdcount, list.menu[0].x}), (QList<int>{0, 44}));
            QCOMPARE(list.menu[1].texts, std::string("kept"));
        }
        // A value of the wrong kind keeps what the record held.
        write_dev_file(QStringLiteral("/data/modes/MO02.json"), R"({"osdcount": 1, "menu": [{"x": "wide", "w": 9}]})");
        QCOMPARE(get_json_omenu_para("/data/modes/MO02.json", &list), 0);
        QCOMPARE((QList<int>{list.menu[0].x, list.menu[0].w}), (QList<int>{44, 9}));
    }
};

QTEST_GUILESS_MAIN(TestOmenu)
#include "tst_omenu.moc"
