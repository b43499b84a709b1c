// Source choice, input crops with the crop edit frame, and EDID: keys, switches, crops added,
// edited and deleted, EDID values typed, refreshes, back paths.
#include <QPixmap>
#include <thread>

#include "chip_request.h"
#include "edidset.h"
#include "file_writer.h"
#include "imagelayout.h"
#include "imagetab.h"
#include "inputchoose.h"
#include "inputcut.h"
#include "mainfixture.h"
#include "message_deal.h"
#include "netset.h"
#include "sourcecard.h"
#include "sourceinfo.h"
#include "tarvosource.h"

using namespace mainfx;
using Words = QList<int>;

namespace {
void set_crop(int i, int source, int number, int w = 400, int h = 300)
{
    uitest::wr16(Ram::crop(i), Ram::crop_word(number, source));
    uitest::wr16(Ram::crop(i) + Ram::kCropX, 10);
    uitest::wr16(Ram::crop(i) + Ram::kCropY, 20);
    uitest::wr16(Ram::crop(i) + Ram::kCropW, static_cast<uint16_t>(w));
    uitest::wr16(Ram::crop(i) + Ram::kCropH, static_cast<uint16_t>(h));
}
void set_window(int w, int enable, int source)
{
    uitest::wr16(Ram::layer(w) + Ram::kLayerEnable, static_cast<uint16_t>(enable));
    uitest::wr16(Ram::layer(w) + Ram::kLayerSource, static_cast<uint16_t>(source));
}
// The image as the file holds it, so that a refresh sees only what a test changes afterwards.
void settle()
{
    ZemRamPara *p = uitest::para();
    std::memcpy(p->RAM_PARA_SHADOW, p->RAM_PARA, Ram::kSize);
    p->ZemCropSourceInit();
    QVERIFY(p->save_image_file());
}
// Crops of HDMI2 (1, 2, 3, 5) and HDMI1 (1, 2) lying in the table out of number order; images 1
// to 3 on HDMI1, HDMI2's crop number 2 (entry 4) and DVI; HDMI1 and HDMI2 with a signal.
void stage()
{
    std::memset(uitest::para()->RAM_PARA + Ram::kCropTable, 0, Ram::kCropCount * Ram::kCropStride);
    const int crops[][4] = {{2, 3, 960, 540}, {1, 2, 640, 480}, {2, 1, 1920, 540},
                            {1, 1, 320, 240}, {2, 2, 1280, 720}, {2, 5, 800, 600}};
    for (int i = 0; i < 6; ++i)
        set_crop(i, crops[i][0], crops[i][1], crops[i][2], crops[i][3]);
    set_window(0, 1, 1);
    set_window(1, 1, Ram::kSourceIsCrop | 4);
    set_window(2, 1, 0);
    for (int w = 3; w < Ram::kWindows; ++w)
        set_window(w, 0, 0);
    uitest::set_timing(0, 0, 0, 0);
    uitest::set_timing(1, 1920, 1080, 60);
    uitest::set_timing(2, 1280, 720, 50);
    uitest::set_timing(3, 0, 0, 0);
    for (int i = 0; i < 4; ++i) {
        uitest::wr16(Ram::edid(i), 1920);
        uitest::wr16(Ram::edid(i) + 2, 1080);
        uitest::wr16(Ram::edid(i) + 4, i == 3 ? 50 : 60);
    }
    settle();
}
InputChoose *open_choose(int current = 1)
{
    g_image_current = static_cast<uint8_t>(current);
    open_screen(g_inputchoose, new InputChoose);
    return g_inputchoose;
}
QString card_names(const InputChoose *c)
{
    QStringList names;
    for (int k = 0; k < c->card_count(); ++k)
        names << c->card(k)->name();
    return names.join('|');
}
int badge(const InputChoose *c)
{
    for (int k = 0; k < c->card_count(); ++k)
        if (c->card(k)->in_use())
            return k;
    return -1;
}
QString cell_names(const InputCut *c)
{
    QStringList names;
    for (int k = 0; k < c->cell_count(); ++k)
        names << c->cell(k)->name();
    return names.join('|');
}
Words crop_words(int n)
{
    Words out;
    for (int i = 0; i < n; ++i)
        out << uitest::rd16(Ram::crop(i));
    return out;
}
// Digits, X (backspace), C (clear), then K (confirm) or N (cancel) on the numeric keyboard, the
// focus walked there from wherever the last use left it.
void type(const QString &keys)
{
    QVERIFY(g_numberkeyboard->isVisible());
    for (QChar k : keys) {
        const int target = k == '0' ? 9 : k.isDigit() ? k.digitValue() - 1 : 10 + QStringLiteral("CXNK").indexOf(k);
        while (g_numberkeyboard->focus_index() != target)
            uitest::key(g_numberkeyboard, R);
        uitest::key(g_numberkeyboard, OK);
    }
    if (c331_manage::p_c331_manage)
        chip_pass();
}
// Panel keys to the screen on display, with "#...#" typed on the keyboard between them.
void steps(const QString &script)
{
    const QStringList parts = script.split('#');
    for (int i = 0; i < parts.size(); ++i)
        i % 2 ? type(parts[i]) : press(parts[i]);
}
LookState look_of(const QWidget *w) { return look_state(w); }
// What the control link does to the crop table while the edit frame is open.
enum LinkChange { LinkAdds, LinkDeletes, LinkReplaces };
// The key lines of the debug log while a test runs keys.
QStringList g_key_lines;
void record_key_line(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg && text.startsWith(QLatin1String("this is")))
        g_key_lines << text;
}
}

class TestInput : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        start();
        stage();
    }
    void cleanup() { uitest::close_all(); }

    // ---- source choice ----------------------------------------------------------------------

    void choose_keys_data()
    {
        columns<int, QString, int, int, int, int, int, QString, int>(
            {"current", "keys", "level", "select", "page", "image", "row", "cards", "badge"});
        const QString hdmi1 = "HDMI1|HDMI1_crop1|HDMI1_crop2", hdmi2 = "HDMI2|HDMI2_crop1|HDMI2_crop2";
        const QString hdmi2_p1 = "HDMI2_crop3|HDMI2_crop5";
        QTest::newRow("opens on the current image's crop") << 1 << "" << 0 << 1 << 0 << 1 << 1 << hdmi2 << 2;
        QTest::newRow("image 5 has no tab: the first") << 4 << "" << 0 << 0 << 0 << 0 << 0 << hdmi1 << 0;
        QTest::newRow("OK and back stay on the tab") << 2 << "ob" << 0 << 2 << 0 << 2 << 3 << "DVI" << 0;
        QTest::newRow("past the last tab: crop button") << 2 << "r" << 0 << 4 << 0 << 2 << 3 << "DVI" << 0;
        QTest::newRow("EDID button, then the first tab") << 2 << "rrr" << 0 << 0 << 0 << 0 << 0 << hdmi1 << 0;
        QTest::newRow("left: EDID, crop, last tab") << 0 << "lll" << 0 << 2 << 0 << 2 << 3 << "DVI" << 0;
        QTest::newRow("row wraps left") << 0 << "ol" << 1 << 3 << 0 << 0 << 3 << "DVI" << -1;
        QTest::newRow("row wraps right") << 0 << "orrrr" << 1 << 0 << 0 << 0 << 0 << hdmi1 << 0;
        QTest::newRow("list opens on the crop in use") << 1 << "oo" << 2 << 2 << 0 << 1 << 1 << hdmi2 << 2;
        QTest::newRow("list pages right") << 1 << "oor" << 2 << 0 << 1 << 1 << 1 << hdmi2_p1 << -1;
        QTest::newRow("last entry wraps right") << 1 << "oorrr" << 2 << 0 << 0 << 1 << 1 << hdmi2 << 2;
        QTest::newRow("first entry wraps left") << 1 << "oolll" << 2 << 1 << 1 << 1 << 1 << hdmi2_p1 << -1;
        QTest::newRow("list back to the row") << 1 << "oob" << 1 << 1 << 0 << 1 << 1 << hdmi2 << 2;
        QTest::newRow("row back: the image's input") << 0 << "orrb" << 0 << 0 << 0 << 0 << 0 << hdmi1 << 0;
    }
    void choose_keys()
    {
        QFETCH(int, current);
        QFETCH(QString, keys);
        QFETCH(int, level);
        QFETCH(int, select);
        set_window(4, 1, 3);
        settle();
        InputChoose *c = open_choose(current);
        press(keys);
        QCOMPARE(int(g_page_focus), int(PAGE_INPUTCHOOSE));
        QCOMPARE((QList<int>{c->level(), c->select()}), (QList<int>{level, select}));
        QTEST(c->current_page(), "page");
        QTEST(c->selected_image(), "image");
        if (current < 4)
            QTEST(int(g_image_current), "image");
        QTEST((c->findChild<QFrame *>("frame1")->x() - 1) / 53, "row");
        QTEST(card_names(c), "cards");
        QTEST(badge(c), "badge");
        // One focus at a time: the tab (or a button), the source row, or a card.
        QCOMPARE(c->tab_frame()->isVisibleTo(c), !(level == 0 && select >= 4));
        QCOMPARE(look_of(c->tab_frame()), level == 0 ? LookState::Focus : LookState::Normal);
        QCOMPARE(look_of(c->findChild<QFrame *>("frame1")), level == 1 ? LookState::Focus : LookState::Normal);
        QCOMPARE(look_of(c->list_frame()), level == 1 ? LookState::Focus : LookState::Normal);
        QCOMPARE(uitest::look(c, "button_inputcut"), level == 0 && select == 4 ? LookState::Focus : LookState::Normal);
        QCOMPARE(uitest::look(c, "button_EDID"), level == 0 && select == 5 ? LookState::Focus : LookState::Normal);
        for (int k = 0; k < c->card_count(); ++k)
            QCOMPARE(look_of(c->card(k)->ground()), level == 2 && select == k ? LookState::Focus : LookState::Normal);
        QCOMPARE(c->tab(0)->source_text(), QStringLiteral("HDMI1"));
        QCOMPARE(c->tab(1)->source_text(), QStringLiteral("HDMI2_Crop2"));   // number 2, whatever its entry
        QCOMPARE(c->tab_count(), 3);
    }

    void switching_data()
    {
        columns<QString, int, QString, QString, int>({"keys", "word", "tab", "cards", "badge"});
        QTest::newRow("whole input") << "oollo" << 0x0002 << "HDMI2" << "HDMI2|HDMI2_crop1|HDMI2_crop2" << 0;
        QTest::newRow("first crop by number") << "oolo" << 0x8002 << "HDMI2_Crop1" << "HDMI2|HDMI2_crop1|HDMI2_crop2" << 1;
        QTest::newRow("crop on the next page") << "oorro" << 0x8005 << "HDMI2_Crop5" << "HDMI2_crop3|HDMI2_crop5" << 1;
        QTest::newRow("another input's crop") << "oobloro" << 0x8003 << "HDMI1_Crop1" << "HDMI1|HDMI1_crop1|HDMI1_crop2" << 1;
    }
    void switching()
    {
        QFETCH(QString, keys);
        QFETCH(int, word);
        InputChoose *c = open_choose(1);
        press(keys);
        QTEST(int(uitest::rd16(Ram::layer(1) + Ram::kLayerSource)), "word");
        QCOMPARE(file_byte(Ram::layer(1) + Ram::kLayerSource), word & 0xFF);
        QCOMPARE((Words{uitest::rd16(Ram::layer(0) + Ram::kLayerSource), uitest::rd16(Ram::layer(2) + Ram::kLayerSource)}),
                 (Words{1, 0}));
        QTEST(c->tab(1)->source_text(), "tab");
        QTEST(card_names(c), "cards");
        QTEST(badge(c), "badge");
        QCOMPARE(c->level(), 2);
        QCOMPARE(look_of(c->card(c->select())->ground()), LookState::Focus);
        QVERIFY(g_tip->isVisible());
        QCOMPARE(c->card(badge(c))->badge_text(), QStringLiteral("Using"));
    }
    // The switch's check mark says the file holds it: it waits for the save, and a data root that
    // takes no write shows none, the failure being said, until a retry saves it. A switch to the
    // word the file holds already needs no write, and shows it with the refresh.
    void switch_check_mark_follows_the_save_data()
    {
        // Image 2 shows HDMI2's crop number 2 (word 0x8004), as the file holds it.
        columns<QString, bool, bool, bool, int>({"keys", "full", "at_refresh", "tip", "file_byte"});
        QTest::newRow("good disk") << "oollo" << false << false << true << 2;
        QTest::newRow("full disk") << "oollo" << true << false << false << 4;
        QTest::newRow("the saved word, full disk") << "oorro" << true << true << true << 4;
    }
    void switch_check_mark_follows_the_save()
    {
        QFETCH(QString, keys);
        QFETCH(bool, full);
        QFETCH(bool, at_refresh);
        InputChoose *c = open_choose(1);
        const int word_at = Ram::layer(1) + Ram::kLayerSource;
        if (at_refresh) {   // the image shows the whole input since, unsaved
            uitest::wr16(word_at, 2);
            c->image_select();
        }
        uitest::press(c, keys);   // without the chip's pass
        QVERIFY(!g_tip->isVisible());
        Warnings said;
        {
            std::unique_ptr<FullDisk> disk(full ? new FullDisk : nullptr);
            c331_manage::p_c331_manage->c331managerdeal();   // the refresh, the image handed over
            QCOMPARE(g_tip->isVisible(), at_refresh);
            SyncUpdate::finish_writes();
            QTEST(g_tip->isVisible(), "tip");
            QTEST(file_byte(word_at), "file_byte");
        }
        QCOMPARE(said.count(QStringLiteral("ram_device_info: not saved")), full && !at_refresh ? 1 : 0);
        // Once the disk takes writes again, the writer's retry saves the switch, and the check
        // mark comes with it.
        SyncUpdate::finish_writes();
        QCOMPARE(file_byte(word_at), uitest::rd16(word_at) & 0xFF);
        QVERIFY(g_tip->isVisible());
    }
    // A switch the disk refused is saved by the writer's own retry, later: its check mark shows
    // while source choice is still on display, and not over the crops screen the user opened
    // from it meanwhile.
    void late_check_mark_only_where_the_switch_was_made_data()
    {
        columns<QString, int>({"keys", "page"});
        QTest::newRow("stayed") << "" << int(PAGE_INPUTCHOOSE);
        QTest::newRow("crops opened since") << "bbrro" << int(PAGE_INPUTCUT);
    }
    void late_check_mark_only_where_the_switch_was_made()
    {
        QFETCH(QString, keys);
        QFETCH(int, page);
        InputChoose *c = open_choose(1);
        const int word_at = Ram::layer(1) + Ram::kLayerSource;
        RetryEvery retry(3600 * 1000);
        {
            ReadOnlyDisk read_only(QStringLiteral("ram_device_info"));
            uitest::press(c, "oollo");   // HDMI2 whole, without the chip's pass
            chip_pass();
            QVERIFY(read_only.refused() > 0);
            QVERIFY(uitest::para()->differs16(word_at) && !g_tip->isVisible());
            uitest::press(c, keys);
            QCOMPARE(int(g_page_focus), page);
        }
        FileWriter::set_retry_interval(std::chrono::milliseconds(5));
        ZEM_TRY_VERIFY(!uitest::para()->differs16(word_at));
        QCOMPARE(g_tip->isVisible(), page == PAGE_INPUTCHOOSE);
        if (g_tip->isVisible())
            QCOMPARE(int(g_tip_flag), int(TIP_DONE));
        QCOMPARE(uitest::rd16(word_at), uint16_t(2));
    }
    // The list shrinks under its second page (crops deleted over the link): OK on the card that
    // is gone switches nothing.
    void switch_on_a_vanished_card()
    {
        InputChoose *c = open_choose(1);
        press("oor");
        uitest::para()->ZemDeleteCrop(2, 4);
        uitest::para()->ZemDeleteCrop(2, 3);
        chip_pass();
        QCOMPARE((QList<int>{c->current_page(), c->card_count()}), (QList<int>{1, 0}));
        press("o");
        QCOMPARE(uitest::rd16(Ram::layer(1) + Ram::kLayerSource), uint16_t(Ram::kSourceIsCrop | 4));
        QVERIFY(!g_tip->isVisible());
    }
    // A crop deleted by the store moves the image that showed it to its whole input; one whose
    // word the link clears leaves the image naming an entry that is gone: it shows the source the
    // zeroed word gives, without a crop, and no card is in use.
    void deleted_crop_data()
    {
        columns<bool, bool, int, QString, QString, int, QString>(
            {"by_link", "while_open", "word", "tab", "cards", "badge", "row"});
        const QString hdmi2 = "HDMI2|HDMI2_crop1|HDMI2_crop3";
        QTest::newRow("store, before opening") << false << false << 0x0002 << "HDMI2" << hdmi2 << 0 << "o";
        QTest::newRow("store, while open") << false << true << 0x0002 << "HDMI2" << hdmi2 << 0 << "o";
        QTest::newRow("link, while open") << true << true << 0x8004 << "DVI" << "DVI" << -1 << "oll";
    }
    void deleted_crop()
    {
        QFETCH(bool, by_link);
        QFETCH(bool, while_open);
        const auto remove = [by_link] {
            if (!by_link) {
                uitest::para()->ZemDeleteCrop(2, 2);
                return;
            }
            ChipWrite link;
            uitest::wr16(Ram::crop(4), 0);
        };
        if (!while_open)
            remove();
        InputChoose *c = open_choose(1);
        if (while_open) {
            remove();
            chip_pass();
        }
        QCOMPARE(uitest::rd16(Ram::crop(4)), uint16_t(0));
        QTEST(int(uitest::rd16(Ram::layer(1) + Ram::kLayerSource)), "word");
        QTEST(c->tab(1)->source_text(), "tab");
        QTEST(card_names(c), "cards");
        QTEST(badge(c), "badge");
        QFETCH(QString, row);
        press(row);   // the row on HDMI2: its crops 1, 3, 5
        QCOMPARE(card_names(c), QStringLiteral("HDMI2|HDMI2_crop1|HDMI2_crop3"));
        QCOMPARE(badge(c), by_link ? -1 : 0);
    }
    // Deleting in the crops screen the crop that images 2 and 5 show: both move to its whole input
    // in the locked write the chip and the file follow, source choice names it so on the way
    // back, and the next crop added, of another input, into the freed entry reaches no image.
    void crop_deleted_in_the_crops_screen()
    {
        set_window(2, 1, Ram::kSourceIsCrop | 2);   // HDMI2's crop number 1: stays
        set_window(4, 1, Ram::kSourceIsCrop | 4);
        settle();
        InputChoose *c = open_choose(1);
        press("rro");   // the crop button
        QCOMPARE(int(g_page_focus), int(PAGE_INPUTCUT));
        press("rorrro");   // HDMI2's crop number 2
        QCOMPARE(uitest::text(g_inputcut, "label_change_source"), QStringLiteral("Name:HDMI2-Crop-2"));
        press("lll");
        QVERIFY(!uitest::image_changed_under_held_chip_mutex([] { press("o"); }));
        QCOMPARE(uitest::rd16(Ram::crop(4)), uint16_t(0));
        QCOMPARE((Words{uitest::rd16(Ram::layer(1) + Ram::kLayerSource), uitest::rd16(Ram::layer(2) + Ram::kLayerSource),
                        uitest::rd16(Ram::layer(4) + Ram::kLayerSource)}),
                 (Words{2, Ram::kSourceIsCrop | 2, 2}));
        QCOMPARE((Words{file_byte(Ram::layer(1) + Ram::kLayerSource), file_byte(Ram::layer(1) + Ram::kLayerSource + 1)}),
                 (Words{2, 0}));
        press("bb");
        QCOMPARE(int(g_page_focus), int(PAGE_INPUTCHOOSE));
        QCOMPARE(c->tab(1)->source_text(), QStringLiteral("HDMI2"));
        QCOMPARE(c->tab(2)->source_text(), QStringLiteral("HDMI2_Crop1"));
        // The list is the selected image's, the third (its tab was passed on the way to the button).
        QCOMPARE(card_names(c), QStringLiteral("HDMI2|HDMI2_crop1|HDMI2_crop3"));
        QCOMPARE(badge(c), 1);
        press("ooolobb");   // HDMI1's new crop, number 3, into entry 4
        QCOMPARE(uitest::rd16(Ram::crop(4)), Ram::crop_word(3, 1));
        QCOMPARE((Words{uitest::rd16(Ram::layer(1) + Ram::kLayerSource), uitest::rd16(Ram::layer(4) + Ram::kLayerSource)}),
                 (Words{2, 2}));
        QCOMPARE(c->tab(1)->source_text(), QStringLiteral("HDMI2"));
    }
    // An image set over the link to a source id beyond the four inputs: nothing to list for it,
    // no card of any kind; the row still starts on the first input.
    void source_beyond_the_inputs()
    {
        set_window(1, 1, 4);
        settle();
        InputChoose *c = open_choose(1);
        QCOMPARE((QList<int>{c->card_count(), c->listed_source()}), (QList<int>{0, 4}));
        QCOMPARE(c->tab(1)->source_text(), QString());
        press("o");
        QCOMPARE(card_names(c), QStringLiteral("HDMI1|HDMI1_crop1|HDMI1_crop2"));
        press("b");
        QCOMPARE(c->card_count(), 0);
        QCOMPARE(c->source_row().count(4), 0);
    }
    // Images 2 and 3 switched off while the third tab had the focus: the focus starts again on
    // image 1, and a switch reaches image 1, never the image without a tab.
    void layout_change_data()
    {
        columns<QString, QString>({"before", "back"});
        QTest::newRow("at the tabs") << "" << "ob";
        QTest::newRow("in the row") << "o" << "b";
    }
    void layout_change()
    {
        QFETCH(QString, before);
        QFETCH(QString, back);
        InputChoose *c = open_choose(2);
        press(before);
        set_window(1, 0, Ram::kSourceIsCrop | 4);
        set_window(2, 0, 0);
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE((QList<int>{c->tab_count(), c->selected_image(), c->tab_frame()->x()}), (QList<int>{1, 0, 7}));
        press(back);
        QCOMPARE((QList<int>{c->level(), c->select(), c->tab_frame()->x()}), (QList<int>{0, 0, 7}));
        press("oroo");
        QCOMPARE((Words{uitest::rd16(Ram::layer(0) + Ram::kLayerSource), uitest::rd16(Ram::layer(2) + Ram::kLayerSource)}),
                 (Words{2, 0}));
        QCOMPARE(int(g_image_current), 0);
    }
    // Image 2 (the third image) chosen when image 1 goes off or comes on: it keeps the choice at
    // every level, at its new tab, and the next switch is its own.
    void layout_change_keeps_the_chosen_image_data()
    {
        columns<QString, bool, QString, int>({"before", "image1_on", "after", "position"});
        QTest::newRow("at the tabs, an image goes") << "" << true << "oloo" << 1;
        QTest::newRow("in the row, an image goes") << "o" << true << "loo" << 1;
        QTest::newRow("in the list, an image goes") << "oo" << true << "bloo" << 1;
        QTest::newRow("in the list, an image comes") << "oo" << false << "bloo" << 2;
        QTest::newRow("in the list on HDMI2's second entry, an image goes") << "ollor" << true << "broo" << 1;
        QTest::newRow("on the crop button") << "r" << true << "loloo" << 1;
    }
    void layout_change_keeps_the_chosen_image()
    {
        QFETCH(QString, before);
        QFETCH(bool, image1_on);
        QFETCH(QString, after);
        QFETCH(int, position);
        set_window(1, image1_on ? 1 : 0, 0);
        settle();
        InputChoose *c = open_choose(2);
        press(before);
        const int level = c->level(), select = c->select();
        set_window(1, image1_on ? 0 : 1, 0);
        uitest::para()->test_signal(CHANGE_PARA);
        QCOMPARE((QList<int>{c->tab_count(), c->selected_image(), c->level()}), (QList<int>{image1_on ? 2 : 3, 2, level}));
        if (level > 0 || select < 4) {
            QCOMPARE(c->tab_frame()->x(), 50 * position + 7);
            QCOMPARE(c->select(), level == 0 ? position : select);
        } else {
            QCOMPARE(c->select(), select);   // the button keeps the focus
            QVERIFY(!c->tab_frame()->isVisibleTo(c));
        }
        press(after);
        QCOMPARE((Words{uitest::rd16(Ram::layer(0) + Ram::kLayerSource), uitest::rd16(Ram::layer(2) + Ram::kLayerSource)}),
                 (Words{1, 3}));
        QCOMPARE(int(g_image_current), 2);
        press("bb");
        QCOMPARE((QList<int>{c->level(), c->select(), c->tab_frame()->x()}), (QList<int>{0, position, 50 * position + 7}));
    }
    void status_rows_data()
    {
        columns<int, int, int, QString, bool>({"w", "h", "f", "info", "online"});
        QTest::newRow("signal") << 1920 << 1080 << 60 << "1920x1080@60Hz" << true;
        QTest::newRow("no height") << 1920 << 0 << 60 << "No signal" << false;
        QTest::newRow("no rate") << 1280 << 720 << 0 << "No signal" << false;
    }
    void status_rows()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, f);
        QFETCH(bool, online);
        InputChoose *c = open_choose(1);
        uitest::set_timing(2, uint16_t(w), uint16_t(h), uint16_t(f));
        uitest::para()->test_signal(CHANGE_SOURCE_TIMING);
        QTEST(c->card(0)->info(), "info");
        InputCut *cut = (open_screen(g_inputcut, new InputCut), g_inputcut);
        press("r");
        QTEST(cut->cell(0)->info(), "info");
        // The row's icons are read when the screen opens.
        delete g_inputchoose;
        c = open_choose(1);
        const QImage icon = c->findChild<QLabel *>("sourcelistseq1pixmap")->pixmap(Qt::ReturnByValue).toImage();
        QCOMPARE(icon.convertToFormat(QImage::Format_ARGB32),
                 QImage(sourceinfo::source_online_icon(2, online)).convertToFormat(QImage::Format_ARGB32));
    }
    // An EDID saved re-plugs its input: the source drops out for half a second and comes back
    // with the timing the last save saw. Back on source choice at once, the input's card and icon
    // show the drop and then the signal again, with no key pressed.
    void signal_back_after_an_edid_save()
    {
        SimDevice::load_defaults();
        SimLock()->inputs[1] = SimSignal{1920, 1080, 60};
        tarvosource *src = tarvosource::create_for_test();
        const auto shutdown = qScopeGuard([] { tarvosource::destroy_for_test(); });
        QStringList seen;
        const auto run = [&](int ticks) {
            for (int i = 0; i < ticks; ++i) {
                uitest::tick();
                src->source_pass();
                chip_pass();
                if (g_inputchoose && g_page_focus == PAGE_INPUTCHOOSE) {
                    const bool online = g_inputchoose->source_row().online(1);
                    const QString now = g_inputchoose->card(0)->info() + (online ? " on" : " off");
                    if (seen.isEmpty() || seen.last() != now)
                        seen << now;
                }
            }
        };
        run(tarvosource::kReplugTicks + 2);   // the blank EEPROMs written, the inputs plugged
        set_window(1, 0, 0);
        settle();
        g_image_current = 0;
        press("ro");       // source choice, image 1 on HDMI1
        press("lo");       // EDID, HDMI1
        press("orrororrro");   // the rate from 60 to 30, SAVE
        QCOMPARE(uitest::rd16(Ram::edid(1) + 4), uint16_t(30));
        press("b");
        QCOMPARE(int(g_page_focus), int(PAGE_INPUTCHOOSE));
        run(100);
        QCOMPARE(seen, (QStringList{"1920x1080@60Hz on", "No signal off", "1920x1080@60Hz on"}));
    }
    // A signal that drops and comes back to the row of the last save, with the shadow holding
    // that row all along: what the input screens show of it follows the image.
    void signal_back_to_the_saved_row_data()
    {
        columns<QString, QString>({"screen", "keys"});
        QTest::newRow("source choice, tabs") << "choose" << "";
        QTest::newRow("source choice, list") << "choose" << "oo";
        QTest::newRow("crops, tabs") << "cut" << "";
        QTest::newRow("crops, list") << "cut" << "o";
    }
    void signal_back_to_the_saved_row()
    {
        QFETCH(QString, screen);
        QFETCH(QString, keys);
        const bool choose = screen == "choose";
        if (choose)
            open_choose(0);
        else
            open_screen(g_inputcut, new InputCut);
        press(keys);
        const auto shown = [choose] {
            if (!choose)
                return g_inputcut->cell(0)->info();
            return g_inputchoose->card(0)->info() + (g_inputchoose->source_row().online(1) ? " on" : " off");
        };
        QStringList seen{shown()};
        for (uint16_t w : {0, 1920}) {
            uitest::set_timing(1, w, 1080, 60);
            uitest::para()->test_signal(CHANGE_SOURCE_TIMING);
            seen << shown();
        }
        const QString on = choose ? " on" : "", off = choose ? " off" : "";
        QCOMPARE(seen, (QStringList{"1920x1080@60Hz" + on, "No signal" + off, "1920x1080@60Hz" + on}));
    }
    // The signal lost while the EDID screen is on display: back on source choice, the card and
    // the icon say so.
    void signal_lost_under_the_edid_screen()
    {
        open_choose(0);
        press("lo");
        uitest::set_timing(1, 0, 0, 0);
        uitest::para()->test_signal(CHANGE_SOURCE_TIMING);
        press("b");
        QCOMPARE(g_inputchoose->card(0)->info(), QStringLiteral("No signal"));
        QVERIFY(!g_inputchoose->source_row().online(1));
    }
    // Display names, refreshed when a file arrives over the link (code 103) with nothing else
    // changed: the source row's name elided and shown as text, a crop's by its table entry.
    void names_file()
    {
        InputChoose *c = open_choose(1);
        open_screen(g_inputcut, new InputCut);
        press("r");
        std::thread([] {
            message_deal::write_file_end("/data/configs/alias.json",
                                         R"({"namelist":{"source":[{"id":2,"valid":"on","name":"<b>Camera</b> two"}],
                                         "crop":[{"id":2,"valid":"on","name":"Wide"},{"id":0,"valid":"off","name":"Off"}]}})");
        }).join();
        QCoreApplication::processEvents();
        QCOMPARE(cell_names(g_inputcut), QStringLiteral("HDMI2|Wide|HDMI2_crop2|HDMI2_crop3|HDMI2_crop5"));
        QCOMPARE(uitest::runs(g_inputcut, "sourcelistseq1name"),
                 (QStringList{QStringLiteral("#ffffff 9 <b>\u2026"), QStringLiteral("#4777ff 9 (5)")}));
        press("b");   // back to source choice: its list and row are read again
        QCOMPARE(card_names(c), QStringLiteral("HDMI2|Wide|HDMI2_crop2"));
        QCOMPARE(uitest::text(c, "sourcelistseq1name"), QStringLiteral("<b>\u2026(5)"));
        QCOMPARE(c->card(1)->findChild<QLabel *>("card_name")->textFormat(), Qt::PlainText);
    }

    // The link changes the crop table past its first entries while either screen shows HDMI2's
    // crops: a crop resized in entry 5, or one added in the last entry.
    void crop_table_changed_over_the_link_data()
    {
        columns<bool, QString, QString, QString, QString>({"add", "choose_cards", "info", "cut_cells", "count"});
        QTest::newRow("entry 5 resized") << false << "HDMI2_crop3|HDMI2_crop5" << "1024x600"
                                         << "HDMI2|HDMI2_crop1|HDMI2_crop2|HDMI2_crop3|HDMI2_crop5" << "(5)";
        QTest::newRow("entry 39 added") << true << "HDMI2_crop3|HDMI2_crop4|HDMI2_crop5" << "720x576"
                                        << "HDMI2|HDMI2_crop1|HDMI2_crop2|HDMI2_crop3|HDMI2_crop4|HDMI2_crop5" << "(6)";
    }
    void crop_table_changed_over_the_link()
    {
        QFETCH(bool, add);
        QFETCH(QString, count);
        const auto change = [add] {
            {
                ChipWrite link;
                if (add)
                    set_crop(39, 2, 4, 720, 576);
                else
                    uitest::wr16(Ram::crop(5) + Ram::kCropW, 1024);
            }
            chip_pass();
        };
        InputChoose *c = open_choose(1);
        press("oor");   // HDMI2's second page
        change();
        QTEST(card_names(c), "choose_cards");
        QTEST(c->card(1)->info(), "info");
        QVERIFY(uitest::text(c, "sourcelistseq1name").endsWith(count));
        stage();
        open_screen(g_inputcut, new InputCut);
        press("ro");
        change();
        QTEST(cell_names(g_inputcut), "cut_cells");
        QTEST(g_inputcut->cell(4)->info(), "info");
        QVERIFY(uitest::text(g_inputcut, "sourcelistseq1name").endsWith(count));
    }
    // The same file arriving while source choice itself is on display, in the list of another
    // input than the image's: the cards and the row follow without a key.
    void names_file_on_source_choice()
    {
        InputChoose *c = open_choose(0);
        press("oro");   // HDMI2's list
        QCOMPARE(card_names(c), QStringLiteral("HDMI2|HDMI2_crop1|HDMI2_crop2"));
        std::thread([] {
            message_deal::write_file_end("/data/configs/alias.json",
                                         R"({"namelist":{"source":[{"id":2,"valid":"on","name":"Cam"}],
                                         "crop":[{"id":4,"valid":"on","name":"Tele"}]}})");
        }).join();
        QCoreApplication::processEvents();
        QCOMPARE(card_names(c), QStringLiteral("HDMI2|HDMI2_crop1|Tele"));
        QVERIFY(uitest::text(c, "sourcelistseq1name").startsWith(QStringLiteral("Cam(")));
        QCOMPARE((QList<int>{c->level(), c->select()}), (QList<int>{2, 0}));
    }

    // ---- EDID -------------------------------------------------------------------------------

    void edid_data()
    {
        columns<QString, int, Words, QString>({"steps", "input", "stored", "card"});
        QTest::newRow("HDMI2 1280x720 at 30") << "roo#1280K#ro#720K#rororrro" << 2 << Words{1280, 720, 30} << "1280x720@30Hz";
        QTest::newRow("DVI at 896") << "loo#800K#lo" << 0 << Words{800, 1080, 60} << "800x1080@60Hz";
        QTest::newRow("50 left by back shows 30") << "rrorrorbrrro" << 3 << Words{1920, 1080, 30} << "1920x1080@30Hz";
        QTest::newRow("rate toggled by left") << "rorrolorrro" << 2 << Words{1920, 1080, 30} << "1920x1080@30Hz";
        QTest::newRow("Cancel stores nothing") << "roo#1280K#llo" << 2 << Words{1920, 1080, 60} << "1920x1080@60Hz";
        QTest::newRow("Delete acts as Cancel") << "roo#1280K#lllo" << 2 << Words{1920, 1080, 60} << "1920x1080@60Hz";
        QTest::newRow("back stores nothing") << "roo#1280K#b" << 2 << Words{1920, 1080, 60} << "1920x1080@60Hz";
        QTest::newRow("keyboard cancel keeps the field") << "roo#1280N#lo" << 2 << Words{1920, 1080, 60} << "1920x1080@60Hz";
        QTest::newRow("40000 stores 0") << "roo#40000K#lo" << 2 << Words{0, 1080, 60} << "0x1080@60Hz";
        QTest::newRow("emptied width stores 0") << "roo#XXXXK#lo" << 2 << Words{0, 1080, 60} << "0x1080@60Hz";
    }
    void edid()
    {
        QFETCH(QString, steps);
        QFETCH(int, input);
        QFETCH(Words, stored);
        open_choose(0);
        press("rrrro");
        QCOMPARE(int(g_page_focus), int(PAGE_EDIDSET));
        EDIDset *e = g_edidset;
        QByteArray before(reinterpret_cast<const char *>(uitest::para()->RAM_PARA), Ram::kSize);
        ::steps(steps);
        QCOMPARE(e->chosen_input(), input);
        QCOMPARE(e->level(), 0);
        // Nothing but the chosen input's record is written.
        QByteArray after(reinterpret_cast<const char *>(uitest::para()->RAM_PARA), Ram::kSize);
        before.remove(Ram::edid(input), Ram::kEdidStride);
        after.remove(Ram::edid(input), Ram::kEdidStride);
        QVERIFY(after == before);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(int(Ram::rds16(uitest::para()->RAM_PARA, Ram::edid(input) + 2 * k)), stored[k]);
            QCOMPARE(file_byte(Ram::edid(input) + 2 * k), stored[k] & 0xFF);
        }
        QTEST(e->card_text(), "card");
        QVERIFY(!e->findChild<QWidget *>("frame_add")->isVisibleTo(e));
        QCOMPARE(look_of(e->card_frame()), LookState::Focus);
        for (int i = 0; i < 4; ++i)   // no other input's record moved
            if (i != input)
                QCOMPARE((Words{uitest::rd16(Ram::edid(i)), uitest::rd16(Ram::edid(i) + 4)}), (Words{1920, i == 3 ? 50 : 60}));
        press("b");
        QCOMPARE(int(g_page_focus), int(PAGE_INPUTCHOOSE));
        QVERIFY(!g_edidset);
    }
    // The chosen input's record changed over the link: the card follows its width and height;
    // the rate alone waits for them, and an open frame keeps what is being typed.
    void edid_card_follows_the_link()
    {
        open_screen(g_edidset, new EDIDset);
        EDIDset *e = g_edidset;
        const auto link = [](int field, uint16_t value) {
            {
                ChipWrite chip;
                uitest::wr16(Ram::edid(1) + field, value);
            }
            chip_pass();
        };
        link(4, 30);
        QCOMPARE(e->card_text(), QStringLiteral("1920x1080@60Hz"));
        link(2, 720);
        QCOMPARE(e->card_text(), QStringLiteral("1920x720@30Hz"));
        link(0, 1280);
        QCOMPARE(e->card_text(), QStringLiteral("1280x720@30Hz"));
        press("o");
        link(2, 480);
        QCOMPARE(e->card_text(), QStringLiteral("1280x720@30Hz"));
        QCOMPARE(uitest::texts(e, {"lineEdit_W", "lineEdit_H"}), (QStringList{"1280", "720"}));
        press("b");
        link(2, 576);
        QCOMPARE(e->card_text(), QStringLiteral("1280x576@30Hz"));
    }
    void edid_frame_focus_and_titles()
    {
        g_language = LANG_RU;
        g_lcd_lang_valid = 0x1F;
        open_screen(g_edidset, new EDIDset);
        EDIDset *e = g_edidset;
        press("ol");
        QCOMPARE(uitest::look(e, "Button_save"), LookState::Focus);
        press("r");
        QCOMPARE(uitest::look(e, "Button_save"), LookState::Normal);
        QCOMPARE(uitest::look(e, "lineEdit_W"), LookState::Focus);
        press("rro");
        QCOMPARE(uitest::look(e, "label_rate"), LookState::Edit);
        press("o");
        QCOMPARE(uitest::look(e, "label_rate"), LookState::Focus);
        QTest::mouseClick(e->findChild<QWidget *>("lineEdit_H"), Qt::LeftButton);
        QVERIFY(g_numberkeyboard->isVisible());
        QCOMPARE(uitest::text(g_numberkeyboard, "label"), QStringLiteral("H"));
        QCOMPARE(g_numberkeyboard->shown(), QStringLiteral("1080"));
        type("N");
        QCOMPARE(uitest::text(e, "label_W"), QStringLiteral("Ширина"));
        QCOMPARE(uitest::text(e, "label_edid_source"), QStringLiteral("Источник EDID:HDMI1"));
    }

    // ---- input crops ------------------------------------------------------------------------

    void cut_keys_data()
    {
        columns<int, QString, int, int, int, int>({"crops", "keys", "state", "select", "page", "source"});
        QTest::newRow("no crops: the input") << 0 << "or" << 1 << 1 << 0 << 1;
        QTest::newRow("no crops: back to add") << 0 << "orr" << 1 << 0 << 0 << 1;
        QTest::newRow("6 crops: item 5") << 6 << "orrrrrr" << 1 << 6 << 0 << 1;
        QTest::newRow("6 crops: item 6 on page 1") << 6 << "orrrrrrr" << 1 << 0 << 1 << 1;
        QTest::newRow("6 crops: wraps to add") << 6 << "orrrrrrrr" << 1 << 0 << 0 << 1;
        QTest::newRow("6 crops: left from add") << 6 << "ol" << 1 << 0 << 1 << 1;
        QTest::newRow("6 crops: left to page 0") << 6 << "oll" << 1 << 6 << 0 << 1;
        QTest::newRow("5 crops: item 5 to add") << 5 << "orrrrrrr" << 1 << 0 << 0 << 1;
        QTest::newRow("OK on the input does nothing") << 0 << "oro" << 1 << 1 << 0 << 1;
        QTest::newRow("left on the first tab: DVI") << 0 << "l" << 0 << 3 << 0 << 0;
        QTest::newRow("then right: HDMI1") << 0 << "lr" << 0 << 0 << 0 << 1;
        QTest::newRow("back keeps the tab") << 0 << "rrorrb" << 0 << 2 << 0 << 3;
    }
    void cut_keys()
    {
        QFETCH(int, crops);
        QFETCH(QString, keys);
        QFETCH(int, state);
        QFETCH(int, select);
        QFETCH(int, page);
        std::memset(uitest::para()->RAM_PARA + Ram::kCropTable, 0, Ram::kCropCount * Ram::kCropStride);
        for (int i = 0; i < crops; ++i)
            set_crop(i, 1, i + 1);
        set_crop(crops, 2, 1);
        settle();
        open_screen(g_inputcut, new InputCut);
        InputCut *c = g_inputcut;
        press(keys);
        QCOMPARE((QList<int>{c->state(), c->select(), c->current_page()}), (QList<int>{state, select, page}));
        QTEST(c->current_source(), "source");
        QCOMPARE(look_of(c->tab_frame()), state == 0 ? LookState::Focus : LookState::Normal);
        QCOMPARE(look_of(c->list_frame()), state == 0 ? LookState::Focus : LookState::Normal);
        QCOMPARE(look_of(c->add_button()), state == 1 && select == 0 && page == 0 ? LookState::Focus : LookState::Normal);
        for (int k = 0; k < c->cell_count(); ++k)
            QCOMPARE(c->cell(k)->focused(), state == 1 && select == (page == 0 ? k + 1 : k));
        QCOMPARE(c->tab_frame()->x(), 1 + 53 * (state == 0 ? select : 0));
    }
    // One run of adds, edits and deletes on HDMI1 and HDMI2, each row going one step further:
    // entries and crop numbers come apart, and every change hits the crop picked by its number.
    void crops_data()
    {
        columns<QString, Words, QString, Words>({"steps", "words", "names", "rect4"});
        const QString del = "orrrolllo", add2 = "broolo", add1 = "bloolo", edit = "rrrorro#640K#rrrro", del2 = "olllo";
        QTest::newRow("HDMI1's second crop deleted") << del << Words{0x8001, 0x8002, 0, 0x8201, 0}
                                                     << "HDMI1|HDMI1_crop1|HDMI1_crop3" << Words{0, 0, 0, 0};
        QTest::newRow("HDMI2 adds into the freed entry") << del + add2 << Words{0x8001, 0x8002, 0x8102, 0x8201, 0}
                                                         << "HDMI2|HDMI2_crop1|HDMI2_crop2" << Words{0, 0, 0, 0};
        QTest::newRow("HDMI1 adds number 2 last") << del + add2 + add1 << Words{0x8001, 0x8002, 0x8102, 0x8201, 0x8101}
                                                  << "HDMI1|HDMI1_crop1|HDMI1_crop2|HDMI1_crop3" << Words{0, 0, 1920, 1080};
        QTest::newRow("its second crop is number 2") << del + add2 + add1 + edit
                                                     << Words{0x8001, 0x8002, 0x8102, 0x8201, 0x8101}
                                                     << "HDMI1|HDMI1_crop1|HDMI1_crop2|HDMI1_crop3" << Words{0, 0, 640, 1080};
        QTest::newRow("and is deleted by number") << del + add2 + add1 + edit + del2
                                                  << Words{0x8001, 0x8002, 0x8102, 0x8201, 0}
                                                  << "HDMI1|HDMI1_crop1|HDMI1_crop3" << Words{0, 0, 640, 1080};
    }
    void crops()
    {
        QFETCH(QString, steps);
        QFETCH(Words, rect4);
        std::memset(uitest::para()->RAM_PARA + Ram::kCropTable, 0, Ram::kCropCount * Ram::kCropStride);
        set_crop(0, 1, 1);
        set_crop(1, 2, 1);
        set_crop(2, 1, 2);
        set_crop(3, 1, 3);
        settle();
        open_option("ro");
        QCOMPARE(int(g_page_focus), int(PAGE_INPUTCUT));
        ::steps(steps);
        QTEST(crop_words(5), "words");
        QTEST(cell_names(g_inputcut), "names");
        QCOMPARE(g_inputcut->state(), 1);
        QCOMPARE((Words{uitest::rd16(Ram::crop(4) + 2), uitest::rd16(Ram::crop(4) + 4), uitest::rd16(Ram::crop(4) + 6),
                        uitest::rd16(Ram::crop(4) + 8)}),
                 rect4);
        QCOMPARE(uitest::rd16(Ram::crop(3) + Ram::kCropW), uint16_t(400));   // crop 3 of HDMI1 untouched
        QCOMPARE(file_byte(Ram::crop(2) + 1), crop_words(5)[2] >> 8);
    }
    void frame_focus_data()
    {
        columns<bool, QString, QString>({"existing", "keys", "focused"});
        QTest::newRow("edit: left from X to OK") << true << "l" << "Button_ok";
        QTest::newRow("edit: right from OK to X") << true << "lr" << "lineEdit_X";
        QTest::newRow("edit: Delete after H") << true << "rrrr" << "Button_delete";
        QTest::newRow("new: right from H to Cancel") << false << "rrrr" << "Button_cancel";
        QTest::newRow("new: left from Cancel to H") << false << "rrrrl" << "lineEdit_H";
        QTest::newRow("new: wraps right") << false << "rrrrrr" << "lineEdit_X";
    }
    void frame_focus()
    {
        QFETCH(bool, existing);
        QFETCH(QString, keys);
        QFETCH(QString, focused);
        open_screen(g_inputcut, new InputCut);
        press(existing ? "orro" : "oo");
        QCOMPARE(g_inputcut->state(), existing ? 3 : 2);
        QCOMPARE(uitest::text(g_inputcut, "label_change_source"),
                 existing ? QStringLiteral("Name:HDMI1-Crop-1") : QStringLiteral("Name:HDMI1-Crop-3"));
        press(keys);
        for (const char *name : {"lineEdit_X", "lineEdit_Y", "lineEdit_W", "lineEdit_H", "Button_delete", "Button_cancel",
                                 "Button_ok"})
            QCOMPARE(uitest::look(g_inputcut, name), name == focused ? LookState::Focus : LookState::Normal);
        QCOMPARE(g_inputcut->findChild<QWidget *>("Button_delete")->isVisibleTo(g_inputcut), existing);
        press("b");   // back discards and gives the list its focus again
        QCOMPARE((QList<int>{g_inputcut->state(), g_inputcut->select()}), (QList<int>{1, existing ? 2 : 0}));
        QVERIFY(!g_inputcut->findChild<QWidget *>("frame_add")->isVisibleTo(g_inputcut));
    }
    // While the frame edits HDMI1's crop number 3 (second in the list, entry 1), the control link
    // adds number 2 (then second), deletes the edited crop (number 4 moves up to second) or puts
    // HDMI2's crop into its entry: OK and Delete still mean crop 3, or nothing once it is gone.
    void crop_changed_over_the_link_data()
    {
        columns<int, QString, Words, Words>({"link", "keys", "words", "widths"});
        const int c1 = Ram::crop_word(1, 1), c2 = Ram::crop_word(2, 1), c3 = Ram::crop_word(3, 1), c4 = Ram::crop_word(4, 1);
        const int other = Ram::crop_word(1, 2);
        QTest::newRow("added, then OK") << int(LinkAdds) << "rro#640K#rrrro" << Words{c1, c3, c4, c2} << Words{400, 640, 400, 400};
        QTest::newRow("added, then Delete") << int(LinkAdds) << "lllo" << Words{c1, 0, c4, c2} << Words{400, 400, 400, 400};
        QTest::newRow("deleted, then OK") << int(LinkDeletes) << "rro#640K#rrrro" << Words{c1, 0, c4, 0} << Words{400, 400, 400, 0};
        QTest::newRow("deleted, then Delete") << int(LinkDeletes) << "lllo" << Words{c1, 0, c4, 0} << Words{400, 400, 400, 0};
        QTest::newRow("replaced, then OK") << int(LinkReplaces) << "rro#640K#rrrro" << Words{c1, other, c4, 0}
                                           << Words{400, 400, 400, 0};
        QTest::newRow("replaced, then Delete") << int(LinkReplaces) << "lllo" << Words{c1, other, c4, 0} << Words{400, 400, 400, 0};
    }
    void crop_changed_over_the_link()
    {
        QFETCH(int, link);
        QFETCH(QString, keys);
        std::memset(uitest::para()->RAM_PARA + Ram::kCropTable, 0, Ram::kCropCount * Ram::kCropStride);
        set_crop(0, 1, 1);
        set_crop(1, 1, 3);
        set_crop(2, 1, 4);
        settle();
        open_screen(g_inputcut, new InputCut);
        press("orrro");
        QCOMPARE(uitest::text(g_inputcut, "label_change_source"), QStringLiteral("Name:HDMI1-Crop-2"));
        {
            ChipWrite chip;
            if (link == LinkAdds)
                set_crop(3, 1, 2);
            else if (link == LinkDeletes)
                uitest::wr16(Ram::crop(1), 0);
            else
                set_crop(1, 2, 1);
        }
        chip_pass();
        QCOMPARE(g_inputcut->state(), 3);
        QCOMPARE(uitest::look(g_inputcut, "lineEdit_X"), LookState::Focus);
        ::steps(keys);
        QCOMPARE(g_inputcut->state(), 1);
        QTEST(crop_words(4), "words");
        QFETCH(Words, widths);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(int(uitest::rd16(Ram::crop(i) + Ram::kCropW)), widths[i]);
    }
    // OK on a later page of the list opens the crop highlighted there, which Delete then removes.
    void edit_on_a_later_page_data()
    {
        columns<QString, int>({"keys", "number"});
        QTest::newRow("last item") << "ol" << 8;
        QTest::newRow("middle item") << "oll" << 7;
        QTest::newRow("first item") << "olll" << 6;
    }
    void edit_on_a_later_page()
    {
        QFETCH(QString, keys);
        QFETCH(int, number);
        std::memset(uitest::para()->RAM_PARA + Ram::kCropTable, 0, Ram::kCropCount * Ram::kCropStride);
        for (int n = 1; n <= 8; ++n)
            set_crop(8 - n, 1, n, 100 + n, 200 + n);   // entries in reverse number order
        settle();
        open_screen(g_inputcut, new InputCut);
        press(keys);
        QCOMPARE(g_inputcut->current_page(), 1);
        press("o");
        QCOMPARE(g_inputcut->state(), 3);
        QCOMPARE(uitest::text(g_inputcut, "label_change_source"), QStringLiteral("Name:HDMI1-Crop-%1").arg(number));
        QCOMPARE(uitest::texts(g_inputcut, {"lineEdit_X", "lineEdit_Y", "lineEdit_W", "lineEdit_H"}),
                 (QStringList{"10", "20", QString::number(100 + number), QString::number(200 + number)}));
        press("lllo");
        Words expected;
        for (int n = 1; n <= 8; ++n)
            expected.prepend(n == number ? 0 : Ram::crop_word(n, 1));
        QCOMPARE(crop_words(8), expected);
        QCOMPARE(g_inputcut->current_page(), 1);
    }
    void full_table()
    {
        for (int i = 0; i < Ram::kCropCount; ++i)
            set_crop(i, 2, i + 1);
        settle();
        const QByteArray before(reinterpret_cast<const char *>(uitest::para()->RAM_PARA), Ram::kSize);
        open_screen(g_inputcut, new InputCut);
        press("oolo");
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(uitest::para()->RAM_PARA), Ram::kSize), before);
        QCOMPARE(g_inputcut->state(), 1);
        QCOMPARE(cell_names(g_inputcut), QStringLiteral("HDMI1"));
        QVERIFY(uitest::text(g_inputcut, "sourcelistseq1name").endsWith("(41)"));
    }
    // The ways in and out: main menu, Setting menu and source choice; back, and the mode key.
    // The debug log's line of each key names the state of the screen it reached, as it was
    // before the key acted; numbers print as C's "%#x", so that zero is a bare 0.
    void key_lines_data()
    {
        columns<QString, QString, QStringList, QString>({"screen", "keys", "lines", "console"});
        const QString choose = "this is %1 [InputChoose][Release] [ui_seltype=%2] [ui_select=%3] [current_page=%4] "
                               "[source_type=%5] [crop_id=%6]";
        QTest::newRow("source choice") << "choose" << "rlooro"
            << QStringList{choose.arg("right-code", "0", "0x1", "0", "0x1", "0x4"),
                           choose.arg("left-code", "0", "0x2", "0", "0", "0"),
                           choose.arg("OK", "0", "0x1", "0", "0x1", "0x4"),
                           choose.arg("OK", "0x1", "0x1", "0", "0x1", "0x4"),
                           choose.arg("right-code", "0x2", "0x2", "0", "0x1", "0x4"),
                           choose.arg("OK", "0x2", "0", "0x1", "0x1", "0x4")} << "";
        // In the edit frame the controls count on after the items (HDMI1: 3): X 3, H 6, Delete 7,
        // Cancel 8, OK 9, a new crop's frame having no Delete.
        const QString cut = "this is %1 [InputCut][Release] [ui_select=%2] [current_pag=%3] [max_source_info=%4]";
        QTest::newRow("crops") << "cut" << "rolb"
            << QStringList{cut.arg("right-code", "0", "0", "0x3"), cut.arg("OK", "0x1", "0", "0x5"),
                           cut.arg("left-code", "0", "0", "0x5"), "this is back button(InputCut)[Release]\n"} << "";
        QTest::newRow("crop added") << "cut" << "oolllrro"
            << QStringList{cut.arg("OK", "0", "0", "0x3"), cut.arg("OK", "0", "0", "0x3"),
                           cut.arg("left-code", "0x3", "0", "0x3"), cut.arg("left-code", "0x9", "0", "0x3"),
                           cut.arg("left-code", "0x8", "0", "0x3"), cut.arg("right-code", "0x6", "0", "0x3"),
                           cut.arg("right-code", "0x8", "0", "0x3"), cut.arg("OK", "0x9", "0", "0x3"),
                           "this is back button(InputCut)[zem_button_ok_clicked]\n"}
            << "\n zem_button_ok_clicked add [source_number = 1] \n";
        QTest::newRow("crop edited") << "cut" << "orrolo"
            << QStringList{cut.arg("OK", "0", "0", "0x3"), cut.arg("right-code", "0", "0", "0x3"),
                           cut.arg("right-code", "0x1", "0", "0x3"), cut.arg("OK", "0x2", "0", "0x3"),
                           cut.arg("left-code", "0x3", "0", "0x3"), cut.arg("OK", "0x9", "0", "0x3"),
                           "this is back button(InputCut)[zem_button_ok_clicked]\n"}
            << "\n zem_button_ok_clicked soureinfo [source_number = 1] [crop_number=1]\n";
        QTest::newRow("crop deleted") << "cut" << "orrrolllo"
            << QStringList{cut.arg("OK", "0", "0", "0x3"), cut.arg("right-code", "0", "0", "0x3"),
                           cut.arg("right-code", "0x1", "0", "0x3"), cut.arg("right-code", "0x2", "0", "0x3"),
                           cut.arg("OK", "0x3", "0", "0x3"), cut.arg("left-code", "0x3", "0", "0x3"),
                           cut.arg("left-code", "0x9", "0", "0x3"), cut.arg("left-code", "0x8", "0", "0x3"),
                           cut.arg("OK", "0x7", "0", "0x3"), "this is back button(InputCut)[zem_button_delete_clicked]\n"}
            << "";
        QTest::newRow("layout view") << "layout" << "rlo"
            << QStringList{"this is right-code [ImageLayout][Release] ui_select=0",
                           "this is left-code [ImageLayout][Release] ui_select=0x1", "this is OK ImageLayout(Option)[Press]\n",
                           "this is OK button(ImageLayout)[Release]\n"} << "";
        // The input chosen, in the edit frame too.
        QTest::newRow("EDID") << "edid" << "rrorm"
            << QStringList{"this is right-code [EDIDset][Release] ui_select=0",
                           "this is right-code [EDIDset][Release] ui_select=0x1", "this is OK button(EDIDset)[Release]\n",
                           "this is right-code [EDIDset][Release] ui_select=0x2", "this is mode-code [EDIDset][Release]"}
            << "";
        // The highlighted slot; the mode key, which does nothing here, says nothing.
        QTest::newRow("user modes") << "modes" << "rrlm"
            << QStringList{"this is right-code [CustomMode][Release] ui_select=0",
                           "this is right-code [CustomMode][Release] ui_select=0x1",
                           "this is left-code [CustomMode][Release] ui_select=0x2"} << "";
        // The port selected, as the strip scrolls.
        const QString port = "this is %1-code [netset][Release] ui_select=%2";
        QTest::newRow("output ports") << "ports" << "rrrrl"
            << QStringList{port.arg("right", "0"), port.arg("right", "0x1"), port.arg("right", "0x2"),
                           port.arg("right", "0x3"), port.arg("left", "0x4")} << "";
        // The tool row's focus while it is shown, the menu's again once it is hidden.
        const QString menu = "this is %1-code [MainWindow][Release] ui_select=%2";
        QTest::newRow("main menu and tools") << "main" << "lorrbr"
            << QStringList{menu.arg("left", "0"), "this is OK button(MainWindow)[Release]\n", menu.arg("right", "0"),
                           menu.arg("right", "0x1"), "this is back button(MainWindow)[Release]\n", menu.arg("right", "0x5")}
            << "";
        // The Setting menu and the factory screen log no pressed key.
        QTest::newRow("Setting menu") << "option" << "rb"
            << QStringList{"this is right-code [Option][Release] ui_select=0", "this is back button(Option)[Release]\n"}
            << "";
        QTest::newRow("factory screen") << "factory" << "ob"
            << QStringList{"this is OK button(factory)[Release]\n", "this is back button(factory)[Release]\n"} << "";
    }
    void key_lines()
    {
        QFETCH(QString, screen);
        QFETCH(QString, keys);
        if (screen == "choose")
            open_choose(1);
        else if (screen == "cut")
            open_screen(g_inputcut, new InputCut);
        else if (screen == "edid")
            open_screen(g_edidset, new EDIDset);
        else if (screen == "modes")
            open_screen(g_custommode, new CustomMode, false);
        else if (screen == "ports")
            open_screen(g_netset, new netset);
        else if (screen == "option")
            open_screen(g_option, new Option);
        else if (screen == "factory")
            open_screen(g_factory, new factory);
        else if (screen == "layout")
            (g_image_current = 0, open_screen(g_imagelayout, new ImageLayout));
        g_key_lines.clear();
        const DiagnosticLines diagnostics;
        QString console;
        {
            const ConsoleLines taken;
            const QtMessageHandler previous = qInstallMessageHandler(record_key_line);
            press(keys);
            qInstallMessageHandler(previous);
            console = taken.text();
        }
        // Of the presses, only the layout view's, the Setting menu's and the factory screen's are
        // asked for.
        QStringList lines;
        for (const QString &line : qAsConst(g_key_lines))
            if (!line.contains("[Press]") || line.contains("ImageLayout(") || screen == "option" || screen == "factory")
                lines << line;
        QTEST(lines, "lines");
        // The key panel's own console line comes with every key; the screens' lines are asked for.
        console.remove(QRegularExpression("\n======update_usb_keyEvent===== key = 0x[0-9a-f]+\n"));
        QTEST(console, "console");
    }
    void paths_data()
    {
        columns<QString, int, QString>({"keys", "page", "open"});
        QTest::newRow("main menu to source choice") << "ro" << 3 << "inputchoose";
        QTest::newRow("and back") << "rob" << 1 << "";
        QTest::newRow("crops from source choice") << "rorrro" << 7 << "inputchoose inputcut";
        QTest::newRow("crops back to source choice") << "rorrrob" << 3 << "inputchoose";
        QTest::newRow("EDID back to source choice") << "rorrrrob" << 3 << "inputchoose";
        QTest::newRow("mode from crops closes both") << "rorrrom" << 4 << "";
        QTest::newRow("mode from EDID closes both") << "rorrrrom" << 4 << "";
        QTest::newRow("crops from Setting, back") << "rrrorob" << 5 << "option";
        QTest::newRow("mode from crops closes Setting") << "rrrorom" << 4 << "";
    }
    void paths()
    {
        QFETCH(QString, keys);
        press(keys);
        QTEST(int(g_page_focus), "page");
        QStringList open;
        for (auto [name, pointer] : {std::pair<const char *, QObject *>{"option", g_option}, {"inputchoose", g_inputchoose},
                                     {"inputcut", g_inputcut}, {"edidset", g_edidset}})
            if (pointer)
                open << name;
        QTEST(open.join(' '), "open");
    }
    // A crop added in the crops screen shows in source choice's counts on the way back.
    void counts_on_return()
    {
        InputChoose *c = open_choose(0);
        press("rrro");
        press("oolo");
        press("bb");
        QCOMPARE(int(g_page_focus), int(PAGE_INPUTCHOOSE));
        QVERIFY(uitest::text(c, "sourcelistseq0name").endsWith("(4)"));
        QCOMPARE(card_names(c), QStringLiteral("DVI"));   // image 3's, where the crop button was reached
    }
};

QTEST_MAIN(TestInput)
#include "test_input.moc"
