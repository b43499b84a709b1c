#include <QComboBox>
#include <QFrame>
#include <QPushButton>
#include <QSignalSpy>
#include <memory>

#include "QRoundProgressBar.h"
#include "about.h"
#include "dialog.h"
#include "lcd_touch.h"
#include "my_lineedit.h"
#include "sourceinfo.h"
#include "uitest.h"
#include "zemcontrol.h"

namespace {

// A screen with number fields that follows the keyboard protocol.
class Form : public QDialog, public Screen
{
    Q_OBJECT
public:
    explicit Form(uint8_t page) : Screen(this, page, "Form")
    {
        field = new My_lineEdit(this);
        field->setObjectName(QStringLiteral("lineEdit_w"));
        field->setText(QStringLiteral("1920"));
        connect(field, &My_lineEdit::send_show, this, &Form::show_numberkeyboard_ui);
        connect(g_numberkeyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit, this, &Form::confirmString);
        m_focus.add(field, Style::kThin, Style::kThinFocus);
        m_focus.set_index(0);
    }
    void language_changed() override {}
    void syncUpdate(int) override {}

    My_lineEdit *field;
    QStringList received;

public slots:
    void show_numberkeyboard_ui(QString) { open_number_keyboard(qobject_cast<QLineEdit *>(sender()), QStringLiteral("W")); }
    void confirmString(QString text)
    {
        if (QLineEdit *target = number_keyboard_field(this)) {
            received << text;
            target->setText(text);
        }
    }

protected:
    void keyReleaseEvent(QKeyEvent *e) override { screen_key_release(e); }
    void key_back() override { leave_to(PAGE_MAINWINDOW); }
};

Form *g_form_parent = nullptr;
Form *g_form_child = nullptr;

// The shortest way round the 14 keys from `from` to `index`, then OK. (QTestEventList owns its
// events, so the steps go straight into the one list.)
void to_key(QTestEventList &events, int index, int from)
{
    const int ahead = ((index - from) % 14 + 14) % 14;
    const Qt::Key step = ahead <= 7 ? Qt::Key_F5 : Qt::Key_F4;
    for (int i = 0; i < (ahead <= 7 ? ahead : 14 - ahead); ++i)
        events.addKeyRelease(step);
    events.addKeyRelease(Qt::Key_F6);
}

// Digit keys by their focus index: 1..9 at 0..8, 0 at 9; clear 10, backspace 11, cancel 12, ok 13.
int index_of(QChar key)
{
    if (key == QLatin1Char('0'))
        return 9;
    if (key.isDigit())
        return key.digitValue() - 1;
    if (key == QLatin1Char('C'))
        return 10;
    if (key == QLatin1Char('X'))
        return 11;
    if (key == QLatin1Char('N'))
        return 12;
    return 13;   // 'K'
}

// "5X0" pressed on the keyboard with the panel keys, moving from key to key.
QTestEventList presses(const QString &keys)
{
    QTestEventList all;
    int at = 0;
    for (QChar k : keys) {
        const int target = index_of(k);
        to_key(all, target, at);
        at = target;
    }
    return all;
}

QColor pixel(const QImage &img, double fx, double fy)
{
    return img.pixelColor(int(img.width() * fx), int(img.height() * fy));
}

bool bluish(const QColor &c)
{
    return c.blue() > 200 && c.red() < 120;
}

}

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void init() { uitest::fresh_ui(); }
    void cleanup()
    {
        uitest::close_all();
        g_qround_bar = nullptr;
    }

    // ---- tips ---------------------------------------------------------------------------------

    void tip_times_out_after_300_ticks()
    {
        g_tip->tip_create(1);
        QVERIFY(g_tip->isVisible());
        QCOMPARE(g_tip->geometry(), QRect(100, 60, 120, 120));
        uitest::tick(200);
        g_tip->tip_create(1);   // a second tip does not restart the time
        uitest::tick(99);
        QVERIFY(g_tip->isVisible());
        QCOMPARE(int(g_tip_flag), 1);
        uitest::tick(1);
        QVERIFY(!g_tip->isVisible());
        QCOMPARE(int(g_tip_flag), 0);
        QCOMPARE(g_tip->findChildren<QLabel *>().size(), 1);   // one check mark, not two
        // the next tip gets its full 300 ticks again
        g_tip->tip_create(4);
        uitest::tick(299);
        QVERIFY(g_tip->isVisible());
        uitest::tick(1);
        QVERIFY(!g_tip->isVisible());
    }

    void tip_other_id_empties_content()
    {
        g_tip->tip_create(3);
        QVERIFY(g_tip->content());
        uitest::tick(100);
        g_tip->tip_create(7);
        QVERIFY(!g_tip->content());
        QVERIFY(g_tip->findChildren<QLabel *>().isEmpty());
        QVERIFY(g_tip->isVisible());
        uitest::tick(200);
        QVERIFY(!g_tip->isVisible());
    }

    void tip_texts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("language");
        QTest::addColumn<uint>("valid");
        QTest::addColumn<QString>("text");
        QTest::newRow("4 ru off") << 4 << 2 << 0x1Bu << "USB drive is unplugged.";
        QTest::newRow("4 ru on") << 4 << 2 << 0x1Fu << "USB-накопитель отключен \nот сети.";
        QTest::newRow("3 zh") << 3 << 0 << 0x1Fu << "U盘已接入\n请稍候…";
        QTest::newRow("3 vi") << 3 << 3 << 0x1Fu << "Usb đã truy cập\nxin vui lòng chờ …";
        QTest::newRow("5 tw") << 5 << 4 << 0x1Fu << "正在讀取中，請稍候…";
        QTest::newRow("5 tw off") << 5 << 4 << 0x0Fu << "Reading the data,pls wait";
    }
    void tip_texts()
    {
        QFETCH(int, id);
        QFETCH(int, language);
        QFETCH(uint, valid);
        QFETCH(QString, text);
        g_language = static_cast<uint8_t>(language);
        g_lcd_lang_valid = valid;
        g_tip->tip_create(id);
        QCOMPARE(g_tip->geometry(), QRect(50, 60, 220, 120));
        auto *label = g_tip->content()->findChild<QLabel *>();
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->geometry(), QRect(5, 5, 200, 100));
    }

    // ---- numeric keyboard ---------------------------------------------------------------------

    void keyboard_buffer_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");
        QTest::newRow("first digit replaces") << "1920" << "5" << "5" << "5";
        QTest::newRow("backspace keeps start") << "1920" << "X" << "192" << "192";
        QTest::newRow("backspace then digit") << "1920" << "X5" << "1925" << "1925";
        QTest::newRow("zero on empty") << "1920" << "0" << "0" << "";
        QTest::newRow("zero then seven") << "1920" << "07" << "7" << "7";
        QTest::newRow("one two zero") << "" << "120" << "120" << "120";
        QTest::newRow("double zero") << "" << "00" << "0" << "";
        QTest::newRow("clear") << "1920" << "12C" << "0" << "";
        QTest::newRow("backspace on empty") << "" << "X" << "" << "";
        QTest::newRow("backspace to empty then zero") << "7" << "X0" << "0" << "";
        QTest::newRow("bounded length") << "" << "12345678912" << "123456789" << "123456789";
        // ten digits do not fit an int: the zero key must not read them as 0 and start over
        QTest::newRow("zero after many digits") << "" << "11111111110" << "111111111" << "111111111";
        QTest::newRow("zero after nine digits") << "" << "9999999990" << "999999999" << "999999999";
        QTest::newRow("zero after masked start") << "**12" << "X0" << "0" << "";
    }
    void keyboard_buffer()
    {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        NumberKeyboard kb;
        kb.label_show(QStringLiteral("W"), start);
        presses(keys).simulate(&kb);
        QCOMPARE(kb.shown(), shown);
        QCOMPARE(kb.typed(), typed);
    }

    void keyboard_focus_wraps_data()
    {
        QTest::addColumn<QTestEventList>("events");
        QTest::addColumn<int>("focus");
        QTestEventList left, right14, left_right;
        left.addKeyRelease(Qt::Key_F4);
        for (int i = 0; i < 14; ++i)
            right14.addKeyRelease(Qt::Key_F5);
        left_right.addKeyRelease(Qt::Key_S);
        left_right.addKeyRelease(Qt::Key_R);
        QTestEventList mode;
        mode.addKeyRelease(Qt::Key_Stop);
        mode.addKeyRelease(Qt::Key_M);
        QTest::newRow("left from 1 to confirm") << left << 13;
        QTest::newRow("right all the way round") << right14 << 0;
        QTest::newRow("usb letters") << left_right << 0;
        QTest::newRow("mode key does nothing") << mode << 0;
    }
    void keyboard_focus_wraps()
    {
        QFETCH(QTestEventList, events);
        QFETCH(int, focus);
        NumberKeyboard kb;
        events.simulate(&kb);
        QCOMPARE(int(kb.focus_index()), focus);
        auto *ok = kb.findChild<QPushButton *>(QStringLiteral("Button_ok"));
        auto *one = kb.findChild<QPushButton *>(QStringLiteral("Button1"));
        if (focus == 13) {
            QCOMPARE(ok->styleSheet(), QStringLiteral("background-color: rgb(71, 119, 255);border:1px solid rgb(255,171,84);"));
            QCOMPARE(one->styleSheet(), QStringLiteral("background-color: rgb(255, 255, 255);border:1px ;"));
        }
    }

    void keyboard_starts_unhighlighted_and_ok_enters_one()
    {
        NumberKeyboard kb;
        const auto keys = kb.findChildren<QPushButton *>();
        for (QPushButton *b : keys)
            QVERIFY2(!b->styleSheet().contains(QLatin1String("255,171,84")), qPrintable(b->objectName()));
        kb.label_show(QStringLiteral("W"), QStringLiteral("1920"));
        uitest::key(&kb, Qt::Key_F6);
        QCOMPARE(kb.shown(), QStringLiteral("1"));
    }

    void keyboard_texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QString>("ok");
        QTest::newRow("zh") << 0 << "取消" << "确定";
        QTest::newRow("en") << 1 << "Cancle" << "OK";
        QTest::newRow("ru") << 2 << "Отмена" << "OK";
        QTest::newRow("vi") << 3 << "Hủy bỏ" << "Đồng ý";
        QTest::newRow("tw") << 4 << "取消" << "確定";
    }
    void keyboard_texts()
    {
        QFETCH(int, language);
        QFETCH(QString, cancel);
        QFETCH(QString, ok);
        g_language = static_cast<uint8_t>(language);
        g_numberkeyboard->label_show(QStringLiteral("宽"), QStringLiteral("1"));
        QCOMPARE(uitest::text(g_numberkeyboard, QStringLiteral("Button_close")), cancel);
        QCOMPARE(uitest::text(g_numberkeyboard, QStringLiteral("Button_ok")), ok);
        QCOMPARE(uitest::text(g_numberkeyboard, QStringLiteral("label")), QStringLiteral("宽"));
    }

    void keyboard_touch()
    {
        NumberKeyboard kb;
        QSignalSpy spy(&kb, &NumberKeyboard::sendKeyBoardUIDataToLineEdit);
        kb.label_show(QStringLiteral("W"), QStringLiteral("64"));
        kb.findChild<QPushButton *>(QStringLiteral("Button5"))->click();
        QCOMPARE(kb.shown(), QStringLiteral("64"));   // digit keys answer only the panel keys
        kb.findChild<QPushButton *>(QStringLiteral("ButtonX"))->click();
        QCOMPARE(kb.shown(), QStringLiteral("6"));
        kb.findChild<QPushButton *>(QStringLiteral("ButtonC"))->click();
        QCOMPARE(kb.shown(), QStringLiteral("0"));
        kb.show();
        kb.findChild<QPushButton *>(QStringLiteral("Button_ok"))->click();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("0"));
        QVERIFY(!kb.isVisible());
    }

    void keyboard_cancel_keeps_field_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("back key") << 0x010000B7;
        QTest::newRow("usb back") << int(Qt::Key_O);
    }
    void keyboard_cancel_keeps_field()
    {
        QFETCH(int, code);
        open_screen(g_form_parent, new Form(PAGE_OPTION));
        QSignalSpy spy(g_numberkeyboard, &NumberKeyboard::sendKeyBoardUIDataToLineEdit);
        uitest::key(g_form_parent, Qt::Key_F6);   // OK on the field opens the keyboard
        QVERIFY(g_numberkeyboard->isVisible());
        QCOMPARE(g_lineedit.data(), static_cast<QLineEdit *>(g_form_parent->field));
        QCOMPARE(g_numberkeyboard->shown(), QStringLiteral("1920"));
        presses(QStringLiteral("7")).simulate(g_numberkeyboard);
        uitest::key(g_numberkeyboard, code);
        QVERIFY(!g_numberkeyboard->isVisible());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(g_form_parent->field->text(), QStringLiteral("1920"));
    }

    // Both screens hear the keyboard; only the one whose field asked takes the text.
    void keyboard_confirm_reaches_only_its_field()
    {
        open_screen(g_form_parent, new Form(PAGE_OPTION));
        open_screen(g_form_child, new Form(PAGE_EDIDSET));
        g_form_parent->field->setText(QStringLiteral("100"));
        QTest::mouseClick(g_form_child->field, Qt::LeftButton);
        QVERIFY(g_numberkeyboard->isVisible());
        presses(QStringLiteral("42K")).simulate(g_numberkeyboard);
        QCOMPARE(g_form_child->field->text(), QStringLiteral("42"));
        QCOMPARE(g_form_child->received, QStringList{QStringLiteral("42")});
        QCOMPARE(g_form_parent->field->text(), QStringLiteral("100"));
        QVERIFY(g_form_parent->received.isEmpty());
    }

    // The field's screen goes while the keyboard still names it: the result goes nowhere.
    void keyboard_target_gone()
    {
        open_screen(g_form_parent, new Form(PAGE_OPTION));
        open_screen(g_form_child, new Form(PAGE_EDIDSET));
        uitest::key(g_form_child, Qt::Key_F6);
        uitest::key(g_form_child, Qt::Key_PowerOff);
        uitest::flush();
        QVERIFY(!g_lineedit);
        presses(QStringLiteral("K")).simulate(g_numberkeyboard);
        QVERIFY(g_form_parent->received.isEmpty());
        QCOMPARE(g_form_parent->field->text(), QStringLiteral("1920"));
    }

    // ---- round progress bar -------------------------------------------------------------------

    void progress_bar_lifecycle()
    {
        QDialog host;
        host.setGeometry(0, 0, 320, 240);
        QRoundProgressBar::create_qround_bar(&host);
        QRoundProgressBar *bar = g_qround_bar;
        QVERIFY(bar);
        QCOMPARE(bar->parentWidget(), &host);
        QCOMPARE(bar->geometry(), QRect(120, 70, 100, 100));
        QCOMPARE(bar->valueText(), QStringLiteral("0%"));
        QDialog other;
        QRoundProgressBar::create_qround_bar(&other);
        QCOMPARE(g_qround_bar, bar);
        QVERIFY(other.findChildren<QRoundProgressBar *>().isEmpty());

        bar->para_sync(-5);
        QCOMPARE(bar->valueText(), QStringLiteral("0%"));
        bar->para_sync(99);
        QCOMPARE(bar->valueText(), QStringLiteral("99%"));
        bar->para_sync(100);
        QVERIFY(!g_qround_bar);
        QVERIFY(bar->isHidden());
        bar->para_sync(30);   // no bar: nothing
        QCOMPARE(bar->valueText(), QStringLiteral("99%"));
    }

    void progress_bar_closes_above_99_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<bool>("open");
        QTest::newRow("99") << 99 << true;
        QTest::newRow("100") << 100 << false;
        QTest::newRow("250") << 250 << false;
        QTest::newRow("0") << 0 << true;
    }
    void progress_bar_closes_above_99()
    {
        QFETCH(int, percent);
        QFETCH(bool, open);
        QDialog host;
        QRoundProgressBar::create_qround_bar(&host);
        g_qround_bar->para_sync(percent);
        QCOMPARE(g_qround_bar != nullptr, open);
    }

    void progress_bar_dies_with_its_screen()
    {
        auto *host = new QDialog;
        QRoundProgressBar::create_qround_bar(host);
        QVERIFY(g_qround_bar);
        delete host;
        QVERIFY(!g_qround_bar);
    }

    void progress_bar_range()
    {
        QRoundProgressBar bar(nullptr, QRoundProgressBar::Ring);
        bar.setValue(80);
        bar.setRange(100, 0);
        QCOMPARE(bar.minimum(), 0.0);
        QCOMPARE(bar.maximum(), 100.0);
        bar.setMaximum(50);
        QCOMPARE(bar.value(), 50.0);
        bar.setMinimum(60);
        QCOMPARE(bar.minimum(), 50.0);
        QCOMPARE(bar.maximum(), 60.0);
        QCOMPARE(bar.value(), 50.0);
        bar.setDecimals(-1);
        QCOMPARE(bar.decimals(), 0);
    }

    // Half full: blue from twelve o'clock clockwise to six, grey on the other side.
    void progress_bar_paints_clockwise()
    {
        QRoundProgressBar bar(nullptr, QRoundProgressBar::Ring);
        bar.resize(100, 100);
        bar.setValue(50);
        const QImage half = bar.grab().toImage();
        QVERIFY(bluish(pixel(half, 0.95, 0.5)));    // three o'clock
        QVERIFY(!bluish(pixel(half, 0.05, 0.5)));   // nine o'clock
        bar.setValue(0);
        const QImage empty = bar.grab().toImage();
        QVERIFY(!bluish(pixel(empty, 0.95, 0.5)));
        QVERIFY(!bluish(pixel(empty, 0.5, 0.05)));
    }

    // ---- source names -------------------------------------------------------------------------

    void source_conversions_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("id_of_listseq");
        QTest::addColumn<int>("listseq_of_id");
        QTest::addColumn<QString>("name_of_id");
        QTest::addColumn<QString>("name_of_listseq");
        QTest::newRow("0") << 0 << 1 << 3 << "DVI" << "HDMI1";
        QTest::newRow("1") << 1 << 2 << 0 << "HDMI1" << "HDMI2";
        QTest::newRow("2") << 2 << 3 << 1 << "HDMI2" << "HDMI3";
        QTest::newRow("3") << 3 << 0 << 2 << "HDMI3" << "DVI";
        QTest::newRow("4") << 4 << 0 << 0 << "" << "";
        QTest::newRow("9") << 9 << 0 << 0 << "" << "";
        QTest::newRow("200") << 200 << 0 << 0 << "" << "";
        QTest::newRow("255") << 255 << 0 << 0 << "" << "";
    }
    void source_conversions()
    {
        QFETCH(int, value);
        QFETCH(int, id_of_listseq);
        QFETCH(int, listseq_of_id);
        QFETCH(QString, name_of_id);
        QFETCH(QString, name_of_listseq);
        const auto v = static_cast<unsigned char>(value);
        QCOMPARE(int(sourceinfo::get_source_id_by_listseq(v)), id_of_listseq);
        QCOMPARE(int(sourceinfo::get_listseq_by_source_id(v)), listseq_of_id);
        QCOMPARE(sourceinfo::get_source_name_by_sourceid(v), name_of_id);
        QCOMPARE(sourceinfo::get_source_name_by_listseq(v), name_of_listseq);
    }

    void source_rich_text()
    {
        const QString white = QStringLiteral("<font style = 'font-size:9px' color = #ffffff >%1</font>");
        const QString blue = QStringLiteral("<font style = 'font-size:9px' color = #4777ff >%1</font>");
        QCOMPARE(sourceinfo::get_source_specialstyle0_by_sourceid(3),
                 QStringLiteral("<font style = 'font-size:9px' color = #51BB28 >%1</font>"));
        QCOMPARE(sourceinfo::get_source_specialstyle0_by_sourceid(0), white);
        QCOMPARE(sourceinfo::get_source_specialstyle0_by_sourceid(9), white);
        QCOMPARE(sourceinfo::get_source_specialstyle1_by_sourceid(2, QStringLiteral("HDMI2"), 2),
                 white.arg(QStringLiteral("HDMI2")) + blue.arg(QStringLiteral("(")) + blue.arg(QStringLiteral("2")) +
                     blue.arg(QStringLiteral(")")));
        QCOMPARE(sourceinfo::get_source_specialstyle1_by_sourceid(3, QStringLiteral("X"), 0),
                 QStringLiteral("<font style = 'font-size:9px' color = #12BB32 >X</font>") + blue.arg(QStringLiteral("(")) +
                     blue.arg(QStringLiteral("0")) + blue.arg(QStringLiteral(")")));
        QCOMPARE(sourceinfo::get_source_specialstyle1_by_sourceid(9, QStringLiteral("X"), 1), QString());
        // a display name is shown as typed, never obeyed as markup
        const QString shown = sourceinfo::get_source_specialstyle1_by_sourceid(1, QStringLiteral("<b>cam</b>"), 1);
        QVERIFY(!shown.contains(QLatin1String("<b>")));
        QVERIFY(shown.contains(QLatin1String("&lt;b&gt;cam&lt;/b&gt;")));
    }

    void source_pixmaps_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("online");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("state");
        QTest::newRow("DVI on") << 0 << 1 << ":/png/DVI.png" << ":/png/dvilv.png";
        QTest::newRow("DVI off") << 0 << 0 << ":/png/DVI.png" << ":/png/DVI.png";
        QTest::newRow("HDMI1 off") << 1 << 0 << ":/png/HDMI13.png" << ":/png/HDMI13_1.png";
        QTest::newRow("HDMI2 on") << 2 << 7 << ":/png/HDMI13.png" << ":/png/HDMI13_lv.png";
        QTest::newRow("HDMI3 off") << 3 << 0 << ":/png/HDMI20.png" << ":/png/HDMI20.png";
        QTest::newRow("HDMI3 on") << 3 << 1 << ":/png/HDMI20.png" << ":/png/HDMI20_lv.png";
    }
    void source_pixmaps()
    {
        QFETCH(int, id);
        QFETCH(int, online);
        QFETCH(QString, plain);
        QFETCH(QString, state);
        QLabel a, b;
        sourceinfo::set_source_pixmap(&a, static_cast<unsigned char>(id));
        sourceinfo::set_sourceonline_pixmap(&b, static_cast<unsigned char>(id), static_cast<unsigned char>(online));
        const QImage got_a = a.pixmap(Qt::ReturnByValue).toImage();
        const QImage got_b = b.pixmap(Qt::ReturnByValue).toImage();
        QVERIFY(!got_a.isNull());
        QCOMPARE(got_a, QImage(plain).convertToFormat(got_a.format()));
        QCOMPARE(got_b, QImage(state).convertToFormat(got_b.format()));
    }

    void source_pixmap_out_of_range_leaves_label()
    {
        QLabel label;
        label.setText(QStringLiteral("kept"));
        sourceinfo::set_source_pixmap(&label, 9);
        sourceinfo::set_sourceonline_pixmap(&label, 4, 1);
        QCOMPARE(label.text(), QStringLiteral("kept"));
        QVERIFY(label.pixmap(Qt::ReturnByValue).isNull());
    }

    // ---- mode selector ------------------------------------------------------------------------

    void selector_looks_keep_entry()
    {
        QWidget host;
        zemcontrol z(QRect(19, 0, 100, 22), QRect(0, 0, 20, 22), QRect(118, 0, 20, 22), &host);
        for (int i = 0; i < 5; ++i)
            z.combobox->addItem(QString::number(i));
        z.set_boxindexsel(3);
        QCOMPARE(z.combobox->objectName(), QStringLiteral("zemcontrol"));
        QCOMPARE(z.combobox->geometry(), QRect(19, 0, 100, 22));
        QCOMPARE(z.label_left->geometry(), QRect(0, 0, 20, 22));
        QCOMPARE(z.label_right->text(), QStringLiteral(">"));
        QCOMPARE(z.combobox->focusPolicy(), Qt::NoFocus);
        z.set_box_modify();
        QVERIFY(z.combobox->styleSheet().contains(QLatin1String("rgb(71,119,255)")));
        QCOMPARE(z.label_left->styleSheet(),
                 QStringLiteral("color: rgb(255, 255, 255);border:1px solid rgb(71,119,255);background-color:rgb(0, 0, 0)"));
        QCOMPARE(z.combobox->currentIndex(), 3);
        z.set_box_default();
        QCOMPARE(z.combobox->styleSheet(), QStringLiteral("QComboBox{color:rgb(255,255,255);\nborder:1px solid "
                                                          "rgb(255,171,84);\n}\nQComboBox:drop-down{\nborder-style:none\n}"));
        QCOMPARE(z.combobox->currentIndex(), 3);
        QCOMPARE(z.combobox->count(), 5);
    }

    // ---- spare pieces -------------------------------------------------------------------------

    void encoder_without_device()
    {
        lcd_touch *t = lcd_touch::pInstance();
        QCOMPARE(ecll_fd, -1);
        QCOMPARE(t->lcd_touch_detect(), -1);
        g_untouched_time = 0;
        for (int i = 0; i < 200000; ++i)
            t->auto_timeout_back();
        QCOMPARE(g_untouched_time, 100001u);
        QCOMPARE(lcd_touch::lcdmanageThread(nullptr), nullptr);
    }

    void spare_dialogs_accept()
    {
        About about;
        about.show();
        about.findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
        QCOMPARE(about.result(), int(QDialog::Accepted));
        QCOMPARE(about.size(), QSize(800, 480));
        Dialog dialog;
        dialog.show();
        QCOMPARE(uitest::text(&dialog, QStringLiteral("pushButton")), QStringLiteral("退出"));
        dialog.findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestWidgets)
#include "test_widgets.moc"
