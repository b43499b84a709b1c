#include <QAbstractItemView>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTextDocumentFragment>

#include "QRoundProgressBar.h"
#include "about.h"
#include "dialog.h"
#include "lcd_touch.h"
#include "fields.h"
#include "lazypopupcombobox.h"
#include "my_lineedit.h"
#include "sourceinfo.h"
#include "uitest.h"

namespace {
struct NoForm
{
    void setupUi(QWidget *) {}
};

// A screen with a number field: the keyboard's text goes to the field only when it asked for it.
class Form : public ScreenOf<QDialog, NoForm>
{
public:
    explicit Form(uint8_t page) : ScreenOf(page)
    {
        field = new My_lineEdit(this);
        field->setText(QStringLiteral("1920"));
        new NumberField(field, [] { return QStringLiteral("W"); });
        m_focus.add(field, Look::Thin);
        m_focus.set_index(0);
    }
    void language_changed() override {}
    My_lineEdit *field;
};

Form *g_form_parent, *g_form_child;
bool bluish(const QImage &img, double fx, double fy)
{
    const QColor c = img.pixelColor(int(img.width() * fx), int(img.height() * fy));
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
    // The time runs from the first tip: a second one does not restart it, the next one after the
    // time-out gets its full 300 ticks. An id without content empties the tip but leaves it up.
    void tip_times_out_after_300_ticks()
    {
        g_tip->tip_create(1);
        QCOMPARE(g_tip->geometry(), QRect(100, 60, 120, 120));
        uitest::tick(200);
        g_tip->tip_create(1);
        uitest::tick(99);
        QVERIFY(g_tip->isVisible() && g_tip_flag);
        uitest::tick(1);
        QVERIFY(!g_tip->isVisible() && !g_tip_flag);
        QCOMPARE(g_tip->findChildren<QLabel *>().size(), 1);   // one check mark, not two
        g_tip->tip_create(3);
        uitest::tick(299);
        g_tip->tip_create(7);
        QVERIFY(g_tip->findChildren<QLabel *>().isEmpty() && g_tip->isVisible());
        uitest::tick(1);
        QVERIFY(!g_tip->isVisible());
    }
    // The language rule, with the English fallback, on texts and images: a USB tip, the
    // keyboard's two wide keys and a per-language image name.
    void language_fallback_data()
    {
        columns<int, uint, int, QString, QString, QString, QString>({"language", "valid", "tip", "text", "cancel", "ok", "png"});
        const QString unplugged = QStringLiteral("USB drive is unplugged.");
        QTest::newRow("zh on") << 0 << 0x1Fu << 3 << "U盘已接入\n请稍候…" << "取消" << "确定" << "";
        QTest::newRow("zh off") << 0 << 0x1Eu << 3 << "USB driver is connected,please wait..." << "Cancle" << "OK" << "en_";
        QTest::newRow("en never tested") << 1 << 0x00u << 5 << "Reading the data,pls wait" << "Cancle" << "OK" << "en_";
        QTest::newRow("ru on") << 2 << 0x1Fu << 4 << "USB-накопитель отключен \nот сети." << "Отмена" << "OK" << "ru_";
        QTest::newRow("ru off") << 2 << 0x1Bu << 4 << unplugged << "Cancle" << "OK" << "en_";
        QTest::newRow("vi on") << 3 << 0x08u << 3 << "Usb đã truy cập\nxin vui lòng chờ …" << "Hủy bỏ" << "Đồng ý" << "vn_";
        QTest::newRow("vi off") << 3 << 0x17u << 4 << unplugged << "Cancle" << "OK" << "en_";
        QTest::newRow("tw on") << 4 << 0x10u << 5 << "正在讀取中，請稍候…" << "取消" << "確定" << "tn_";
        QTest::newRow("tw off") << 4 << 0x0Fu << 4 << unplugged << "Cancle" << "OK" << "en_";
        QTest::newRow("beyond the five") << 5 << 0xFFu << 4 << unplugged << "Cancle" << "OK" << "en_";
    }
    void language_fallback()
    {
        QFETCH(int, language);
        QFETCH(uint, valid);
        QFETCH(int, tip);
        QFETCH(QString, png);
        g_language = static_cast<uint8_t>(language);
        g_lcd_lang_valid = valid;
        g_tip->tip_create(tip);
        QCOMPARE(g_tip->geometry(), QRect(50, 60, 220, 120));
        QTEST(g_tip->content()->findChild<QLabel *>()->text(), "text");
        g_numberkeyboard->label_show(QStringLiteral("宽"), QStringLiteral("1"));
        QTEST(uitest::text(g_numberkeyboard, QStringLiteral("Button_close")), "cancel");
        QTEST(uitest::text(g_numberkeyboard, QStringLiteral("Button_ok")), "ok");
        QCOMPARE(lang_png(QStringLiteral("closeled.png")), QStringLiteral(":/png/") + png + QStringLiteral("closeled.png"));
    }
    // The buffer and the focus: nothing is highlighted at first, yet OK enters 1; the focus wraps
    // over the 14 keys both ways, the confirm key in its own blue; the mode key does nothing here.
    void keyboard_data()
    {
        columns<QString, QString, QString, QString, int>({"start", "keys", "shown", "typed", "focus"});
        QTest::newRow("first digit replaces") << "1920" << "5" << "5" << "5" << 4;
        QTest::newRow("backspace keeps the start, then a digit") << "1920" << "X5" << "1925" << "1925" << 4;
        QTest::newRow("zero on empty") << "1920" << "0" << "0" << "" << 9;
        QTest::newRow("zero then seven") << "1920" << "07" << "7" << "7" << 6;
        QTest::newRow("one two zero") << "" << "120" << "120" << "120" << 9;
        QTest::newRow("clear") << "1920" << "12C" << "0" << "" << 10;
        QTest::newRow("backspace on empty") << "" << "X" << "" << "" << 11;
        QTest::newRow("backspace to empty then zero") << "7" << "X0" << "0" << "" << 9;
        QTest::newRow("bounded length") << "" << "12345678912" << "123456789" << "123456789" << 1;
        // the stars an access code starts with are not the user's digits
        QTest::newRow("digits after the stars") << "**********" << "X8362" << "*********8362" << "*********8362" << 1;
        // more digits than an int holds: the zero key must not read them as 0 and start over
        QTest::newRow("zero after a long start") << "99999999999" << "X0" << "9999999999" << "9999999999" << 9;
        QTest::newRow("zero after masked start") << "**12" << "X0" << "0" << "" << 9;
        QTest::newRow("touched digit does nothing") << "64" << "d" << "64" << "" << 0;
        QTest::newRow("touched backspace, digit") << "64" << "x5" << "65" << "65" << 4;
        QTest::newRow("touched clear") << "64" << "3c" << "0" << "" << 2;
        QTest::newRow("ok before any move") << "1920" << "=" << "1" << "1" << 0;
        QTest::newRow("left from 1 to confirm") << "1920" << "<" << "1920" << "" << 13;
        QTest::newRow("right all the way round") << "1920" << QString(14, QLatin1Char('>')) << "1920" << "" << 0;
        QTest::newRow("usb letters") << "1920" << "SSR" << "1920" << "" << 13;
        QTest::newRow("mode key does nothing") << "1920" << "M" << "1920" << "" << 0;
    }
    void keyboard()
    {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(int, focus);
        NumberKeyboard kb;
        for (QPushButton *b : kb.findChildren<QPushButton *>())
            QVERIFY2(look_state(b) == LookState::Normal, qPrintable(b->objectName()));
        kb.label_show(QStringLiteral("W"), start);
        uitest::keyboard_keys(keys).simulate(&kb);
        QTEST(kb.shown(), "shown");
        QTEST(kb.typed(), "typed");
        QCOMPARE(kb.focus_index(), focus);
        if (focus == 13)   // the confirm key keeps its own blue under the focus frame
            QCOMPARE(uitest::style(&kb, "Button_ok"), look_style(Look::KeyBlue, LookState::Focus));
    }
    // The entry field takes digits and the access code's stars only, whatever the key panel types.
    void keyboard_entry_takes_digits_and_stars()
    {
        NumberKeyboard kb;
        kb.show();
        auto *edit = kb.findChild<QLineEdit *>(QStringLiteral("lineEdit"));
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("12a*-3 x"));
        QCOMPARE(edit->text(), QStringLiteral("12*3"));
    }
    // Both screens hear the keyboard; only the one whose field asked takes the text, only on
    // confirm, and not at all once its screen is gone.
    void keyboard_protocol_data()
    {
        columns<bool, QString, bool, QString>({"touch", "keys", "child_left", "child"});   // touch: else OK on the field
        QTest::newRow("touch, confirm") << true << "42K" << false << "42";
        QTest::newRow("ok key, confirm touched") << false << "C0k" << false << "0";
        QTest::newRow("cancel key") << false << "7N" << false << "1920";
        QTest::newRow("cancel touched") << true << "7n" << false << "1920";
        QTest::newRow("back key") << true << "7B" << false << "1920";
        QTest::newRow("screen left first") << false << "7K" << true << QString();
    }
    void keyboard_protocol()
    {
        QFETCH(bool, touch);
        QFETCH(QString, keys);
        QFETCH(bool, child_left);
        open_screen(g_form_parent, new Form(PAGE_OPTION));
        open_screen(g_form_child, new Form(PAGE_EDIDSET));
        g_form_parent->field->setText(QStringLiteral("100"));
        if (touch)
            QTest::mouseClick(g_form_child->field, Qt::LeftButton);
        else
            uitest::key(g_form_child, Qt::Key_F6);
        QVERIFY(g_numberkeyboard->isVisible());
        QCOMPARE(g_numberkeyboard->shown(), QStringLiteral("1920"));
        if (child_left) {
            uitest::key(g_form_child, Qt::Key_PowerOff);
            uitest::flush();
            QVERIFY(!g_form_child);
        }
        uitest::keyboard_keys(keys).simulate(g_numberkeyboard);
        QVERIFY(!g_numberkeyboard->isVisible());
        if (g_form_child)
            QTEST(g_form_child->field->text(), "child");
        QCOMPARE(g_form_parent->field->text(), QStringLiteral("100"));
    }
    // Every opening looks like the first: the start text with the cursor after it, nothing
    // selected (a selection would read as "typing replaces it", which it does not). Touched again
    // within the double-click time, the field still opens the keyboard rather than selecting a word.
    void keyboard_opens_alike_every_time_data()
    {
        columns<bool>({"soon"});
        QTest::newRow("touched again later") << false;
        QTest::newRow("touched again within the double-click time") << true;
    }
    void keyboard_opens_alike_every_time()
    {
        QFETCH(bool, soon);
        open_screen(g_form_parent, new Form(PAGE_OPTION));
        g_form_parent->setGeometry(0, 0, 320, 240);
        g_form_parent->field->setGeometry(20, 20, 80, 30);
        QWindow *window = g_form_parent->windowHandle();
        QVERIFY(zemtest::wait_active(window));
        const QPoint at = g_form_parent->field->geometry().center();
        auto *edit = g_numberkeyboard->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
        for (int opening = 1; opening <= 3; ++opening) {
            const QByteArray which = "opening " + QByteArray::number(opening);
            if (opening > 1 && soon)   // the last touch's release was a moment ago
                QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;
            QTest::mouseClick(window, Qt::LeftButton, {}, at);
            QVERIFY2(g_numberkeyboard->isVisible(), which);
            QVERIFY2(zemtest::wait_active(g_numberkeyboard), which);
            QCOMPARE(edit->text(), QStringLiteral("1920"));
            QVERIFY2(!edit->hasSelectedText(), which + " shows its text selected");
            QCOMPARE(edit->cursorPosition(), 4);
            uitest::key(g_numberkeyboard, Qt::Key_PowerOff);
            QVERIFY2(!g_numberkeyboard->isVisible(), which);
            QVERIFY(zemtest::wait_active(window));
        }
    }
    // The tip is a notice over the screen, not a place for the keys: its window is of no type the
    // frame buffer activates, and shown over a screen or timed out it leaves that screen active.
    void tip_leaves_the_keys_to_the_screen()
    {
        QVERIFY2(g_tip->windowType() != Qt::Window && g_tip->windowType() != Qt::Dialog,
                 "the frame buffer would hand the tip the keys");
        open_screen(g_form_parent, new Form(PAGE_OPTION));
        QVERIFY(zemtest::wait_active(g_form_parent));
        show_tip(TIP_DONE);
        QCoreApplication::processEvents();
        QVERIFY(g_tip->isVisible());
        QCOMPARE(QApplication::activeWindow(), g_form_parent);
        uitest::tick(300);
        QCoreApplication::processEvents();
        QVERIFY(!g_tip->isVisible());
        QCOMPARE(QApplication::activeWindow(), g_form_parent);
    }
    void progress_bar_lifecycle()
    {
        QDialog host;
        QRoundProgressBar::create_qround_bar(&host);
        QRoundProgressBar *bar = g_qround_bar;
        QVERIFY(bar && !bar->isHidden() && bar->parentWidget() == &host);
        QCOMPARE(bar->geometry(), QRect(120, 70, 100, 100));
        auto *other = new QDialog;
        QRoundProgressBar::create_qround_bar(other);
        QCOMPARE(g_qround_bar, bar);
        QVERIFY(other->findChildren<QRoundProgressBar *>().isEmpty());
        bar->para_sync(-5);
        QCOMPARE(bar->valueText(), QStringLiteral("0%"));
        bar->para_sync(99);
        QCOMPARE(bar->valueText(), QStringLiteral("99%"));
        bar->para_sync(100);
        QVERIFY(!g_qround_bar && bar->isHidden());
        bar->para_sync(30);   // no bar: nothing
        QCOMPARE(bar->valueText(), QStringLiteral("99%"));
        QRoundProgressBar::create_qround_bar(other);
        QVERIFY(g_qround_bar && g_qround_bar != bar);
        g_qround_bar->para_sync(250);
        QVERIFY(!g_qround_bar);
        QRoundProgressBar::create_qround_bar(other);
        delete other;   // a bar gone with its screen is no running job
        QVERIFY(!g_qround_bar);
        // Half full: blue from twelve o'clock clockwise to six, grey on the other side.
        QRoundProgressBar ring(nullptr, QRoundProgressBar::Ring);
        ring.resize(100, 100);
        ring.setValue(50);
        const QImage half = ring.grab().toImage();
        QVERIFY(bluish(half, 0.95, 0.5) && !bluish(half, 0.05, 0.5));   // three o'clock, nine o'clock
        ring.setValue(0);
        const QImage empty = ring.grab().toImage();
        QVERIFY(!bluish(empty, 0.95, 0.5) && !bluish(empty, 0.5, 0.05));
    }
    // One value read as a list position and as a source id by every function.
    void source_info_data()
    {
        // icons: plain, online, offline of the id
        columns<int, int, int, QString, QString, QStringList>({"value", "id_of_pos", "pos_of_id", "name_of_id", "name_of_pos", "icons"});
        const auto icons = [](const char *a, const char *b, const char *c) { return QStringList{a, b, c}; };
        QTest::newRow("0") << 0 << 1 << 3 << "DVI" << "HDMI1" << icons("DVI", "dvilv", "DVI");
        QTest::newRow("1") << 1 << 2 << 0 << "HDMI1" << "HDMI2" << icons("HDMI13", "HDMI13_lv", "HDMI13_1");
        QTest::newRow("2") << 2 << 3 << 1 << "HDMI2" << "HDMI3" << icons("HDMI13", "HDMI13_lv", "HDMI13_1");
        QTest::newRow("3") << 3 << 0 << 2 << "HDMI3" << "DVI" << icons("HDMI20", "HDMI20_lv", "HDMI20");
        QTest::newRow("4") << 4 << 0 << 0 << "" << "" << QStringList();
        QTest::newRow("200") << 200 << 0 << 0 << "" << "" << QStringList();
    }
    void source_info()
    {
        QFETCH(int, value);
        QFETCH(QStringList, icons);
        const auto v = static_cast<unsigned char>(value);
        QTEST(int(sourceinfo::get_source_id_by_listseq(v)), "id_of_pos");
        QTEST(int(sourceinfo::get_listseq_by_source_id(v)), "pos_of_id");
        QTEST(sourceinfo::get_source_name_by_sourceid(v), "name_of_id");
        QTEST(sourceinfo::get_source_name_by_listseq(v), "name_of_pos");
        QLabel labels[3];
        for (QLabel &l : labels)
            l.setText(QStringLiteral("kept"));
        sourceinfo::set_source_pixmap(&labels[0], v);
        sourceinfo::set_sourceonline_pixmap(&labels[1], v, 7);
        sourceinfo::set_sourceonline_pixmap(&labels[2], v, 0);
        for (int i = 0; i < 3; ++i) {
            const QImage got = labels[i].pixmap(Qt::ReturnByValue).toImage();
            QVERIFY(icons.isEmpty() != !got.isNull());
            QCOMPARE(labels[i].text(), icons.isEmpty() ? QStringLiteral("kept") : QString());
            if (!icons.isEmpty())
                QCOMPARE(got, QImage(QStringLiteral(":/png/%1.png").arg(icons[i])).convertToFormat(got.format()));
        }
    }
    // The inputs' names: the name in its input's colour, a count after it in blue, all at 9 px;
    // a display name from the names file is shown as typed.
    void source_name_runs()
    {
        const auto runs = [](const std::vector<ColouredLine::Run> &rs) {
            QStringList out;
            for (const ColouredLine::Run &r : rs)
                out << QStringLiteral("%1 %2 %3").arg(r.colour.name()).arg(r.pixel_size).arg(r.text);
            return out;
        };
        QCOMPARE(runs(sourceinfo::name_runs(3, "HDMI3")), QStringList{"#51bb28 9 HDMI3"});
        QCOMPARE(runs(sourceinfo::name_runs(0, "DVI")), QStringList{"#ffffff 9 DVI"});
        QCOMPARE(runs(sourceinfo::name_count_runs(3, "X", 2)), (QStringList{"#12bb32 9 X", "#4777ff 9 (2)"}));
        QCOMPARE(runs(sourceinfo::name_count_runs(0, "DVI", 40)), (QStringList{"#ffffff 9 DVI", "#4777ff 9 (40)"}));
        QCOMPARE(runs(sourceinfo::name_count_runs(9, "X", 1)), QStringList{});
        QCOMPARE(runs(sourceinfo::name_count_runs(1, "<b>cam</b>", 2)), (QStringList{"#ffffff 9 <b>cam</b>", "#4777ff 9 (2)"}));
    }
    // A coloured line draws, pixel for pixel, what a rich-text label draws for the same runs on
    // the same ground: centred, left and right, in two fonts (the line as high as its highest
    // run, wherever that stands), and wider than its box.
    void coloured_line_draws_as_a_label_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("align");
        QTest::addColumn<QString>("runs");   // "<colour>,<pixels>,<text>" apart by '/'
        const int centre = Qt::AlignCenter, left = Qt::AlignLeft | Qt::AlignVCenter,
                  right = Qt::AlignRight | Qt::AlignVCenter;
        QTest::newRow("a name") << QSize(51, 14) << 7 << centre << "#ffffff,9,HDMI1";
        QTest::newRow("a name, count") << QSize(51, 14) << 7 << centre << "#12bb32,9,HDMI3/#4777ff,9,(12)";
        QTest::newRow("a short row") << QSize(40, 12) << 6 << centre << "#51bb28,9,HDMI3";
        QTest::newRow("font line") << QSize(130, 17) << 9 << left
                                   << "#ffffff,12,EN:/#00ff00,13,32/#ffffff,12,|/#ff0000,13,64/#ffffff,12,|/#ff0000,13,128";
        QTest::newRow("right") << QSize(130, 17) << 9 << right << "#ffffff,12,CN:/#00ff00,13,32";
        QTest::newRow("larger first") << QSize(130, 17) << 9 << left << "#ff0000,13,64/#ffffff,12,|";
        QTest::newRow("much smaller last") << QSize(130, 30) << 9 << left << "#ff0000,20,64/#ffffff,9,|";
        QTest::newRow("wider, right") << QSize(130, 17) << 9 << right
                                      << "#ffffff,12,英文:/#00ff00,13,32宽/#ffffff,12,|/#00ff00,13,64宽/#ffffff,12,|/#00ff00,13,128宽";
        QTest::newRow("wider, centred") << QSize(30, 14) << 7 << centre << "#ffffff,9,Camera/#4777ff,9,(3)";
        QTest::newRow("nothing") << QSize(51, 14) << 7 << centre << "";
    }
    void coloured_line_draws_as_a_label()
    {
        QFETCH(QSize, size);
        QFETCH(int, points);
        QFETCH(int, align);
        QFETCH(QString, runs);
        std::vector<ColouredLine::Run> line;
        QString html;
        for (const QString &run : runs.split('/', Qt::SkipEmptyParts)) {
            const QStringList p = run.split(',');
            line.push_back({p[2], QColor(p[0]), p[1].toInt()});
            html += QStringLiteral("<font style = 'font-size:%1px' color = %2 >%3</font>").arg(p[1], p[0], p[2].toHtmlEscaped());
        }
        // Each on a window of another colour: the ground is the widget's own drawing.
        const auto drawn = [&](QWidget *w) {
            QFont f = w->font();
            f.setPointSize(points);
            w->setFont(f);
            w->setStyleSheet(QStringLiteral("background-color: rgb(16, 16, 28); color: rgb(255, 255, 255);"));
            w->setGeometry(QRect(QPoint(3, 2), size));
            QImage out(size + QSize(6, 4), QImage::Format_ARGB32);
            out.fill(Qt::magenta);
            w->parentWidget()->render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
            return out;
        };
        QWidget label_window, line_window;
        auto *label = new QLabel(&label_window);
        label->setTextFormat(Qt::RichText);
        label->setAlignment(Qt::Alignment(align));
        label->setText(html);
        auto *coloured = new ColouredLine(&line_window);
        coloured->setAlignment(Qt::Alignment(align));
        coloured->set_runs(line);
        const QImage want = drawn(label), got = drawn(coloured);
        QCOMPARE(got, want);
        // The room it asks for is the label's, which the walker's overflow check relies on.
        if (!line.empty())
            QCOMPARE(coloured->natural_size(), label->sizeHint());
        QCOMPARE(coloured->text(), QTextDocumentFragment::fromHtml(html).toPlainText());
    }
    // No encoder device on a PC; the idle count stops short of wrapping; the spare dialogs close.
    void encoder_and_spare_dialogs()
    {
        lcd_touch *t = lcd_touch::pInstance();
        QCOMPARE(ecll_fd, -1);
        g_untouched_time = 0;
        for (int i = 0; i < 200000; ++i)
            t->auto_timeout_back();
        QCOMPARE(g_untouched_time, 100001u);
        About about;
        Dialog dialog;
        for (QDialog *d : {static_cast<QDialog *>(&about), static_cast<QDialog *>(&dialog)}) {
            d->show();
            d->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
            QVERIFY(d->result() == QDialog::Accepted && !d->isVisible());
        }
    }
    // A combo box with a font and a style of its own, whose look changes, builds no list until it
    // is opened; then the list takes the box's font.
    void combo_list_built_when_opened()
    {
        QWidget owner;
        owner.setStyleSheet(QStringLiteral("background-color: rgb(16, 16, 28);"));
        auto *box = new LazyPopupComboBox(&owner);
        QFont font = box->font();
        font.setPointSize(7);
        box->setFont(font);
        box->setStyleSheet(QStringLiteral("QComboBox{color:rgb(255,255,255);border:1px solid rgb(255,171,84);}"));
        box->addItems({QStringLiteral("OFF"), QStringLiteral("ON")});
        owner.show();
        QCoreApplication::processEvents();
        box->setStyleSheet(QStringLiteral("QComboBox{color:rgb(255,255,255);border:1px solid rgb(255,0,0);}"));
        QCoreApplication::processEvents();
        QVERIFY(box->findChildren<QAbstractItemView *>().isEmpty());
        box->showPopup();
        QCOMPARE(box->view()->window()->font().pointSize(), 7);
        box->hidePopup();
    }
    // Every image a screen names is in the compiled-in tree (the sources are read at test time,
    // so a screen added later is checked too), and every image there is drawn for the 320 x 240
    // panel: not empty, not larger.
    void images()
    {
        const QDir ui(QStringLiteral(ZEM_SOURCE_DIR "/ui"));
        const QRegularExpression plain(QStringLiteral("\":/png/([^\"%]+)\""));   // "%1" names are built at run time
        // lang_png("name") and lang_png(QStringLiteral("name")): all five language variants
        const QRegularExpression per_language(QStringLiteral("lang_png\\(\\s*(?:QStringLiteral\\(|QLatin1String\\()?\\s*\"([^\"]+)\""));
        QStringList named, missing;
        QDirIterator files(ui.path(), {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.ui")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            const QString name = ui.relativeFilePath(path);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            for (auto it = plain.globalMatch(text); it.hasNext();)
                named << name + QStringLiteral(": :/png/") + it.next().captured(1);
            for (auto it = per_language.globalMatch(text); it.hasNext();) {
                const QString base = it.next().captured(1);
                for (const char *prefix : {"", "en_", "ru_", "vn_", "tn_"})
                    named << name + QStringLiteral(": :/png/") + QLatin1String(prefix) + base;
            }
        }
        QVERIFY(named.size() >= 9);   // the framework's own images at least
        for (const QString &use : named)
            if (QImage(use.section(QStringLiteral(": "), 1)).isNull() && !missing.contains(use))
                missing << use;
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
        const QDir tree(QStringLiteral(":/png"));
        for (const QString &name : tree.entryList(QDir::Files)) {
            const QImage img(tree.filePath(name));
            QVERIFY2(!img.isNull() && img.width() <= 320 && img.height() <= 240, qPrintable(name));
        }
    }
};

QTEST_MAIN(TestWidgets)
#include "test_widgets.moc"
