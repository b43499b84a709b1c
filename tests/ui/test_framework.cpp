#include <QPushButton>
#include <QSignalSpy>

#include "ram_layout.h"
#include "ui_hooks.h"
#include "tip.h"
#include "uitest.h"
#include "zem_keyboard.h"
#include "zem_keys.h"

namespace {

// Close events in the order they happened, by page.
std::vector<int> g_closed_pages;
int g_custommode_opens = 0;

// A screen as the screen Parts describe one: three large buttons, a back path to its parent.
class Probe : public QDialog, public Screen
{
    Q_OBJECT
public:
    Probe(uint8_t page, uint8_t parent_page) : Screen(this, page, "Probe"), m_parent(parent_page)
    {
        setGeometry(0, 0, 320, 240);
        for (int i = 0; i < 3; ++i) {
            auto *b = new QPushButton(this);
            b->setObjectName(QStringLiteral("Button_%1").arg(i));
            b->setGeometry(10 + 100 * i, 100, 90, 40);
            b->setStyleSheet(Style::kLarge);   // as a layout file gives it
            connect(b, &QPushButton::clicked, this, [this, i] { clicks.push_back(i); });
            m_focus.add(b);
        }
        title = new QLabel(this);
        title->setObjectName(QStringLiteral("title"));
        m_focus.set_index(0);
        language_changed();
    }

    void language_changed() override
    {
        ++language_calls;
        title->setText(tr5("设置", "Setting", "Настройка", "Cài đặt", "設置"));
    }
    void syncUpdate(int code) override
    {
        sync_codes.push_back(code);
        sync_language();
    }
    int focus_index() const { return m_focus.index(); }
    void leave() { leave_to(m_parent); }

    std::vector<int> clicks;
    std::vector<int> sync_codes;
    int language_calls = 0;
    QLabel *title = nullptr;

protected:
    void keyPressEvent(QKeyEvent *e) override { screen_key_press(e); }
    void keyReleaseEvent(QKeyEvent *e) override { screen_key_release(e); }
    void key_back() override { leave(); }
    void closeEvent(QCloseEvent *e) override
    {
        g_closed_pages.push_back(page());
        QDialog::closeEvent(e);
    }

private:
    uint8_t m_parent;
};

Probe *g_probe_main = nullptr;
Probe *g_probe_option = nullptr;
Probe *g_probe_outputset = nullptr;
Probe *g_probe_ledset = nullptr;
Probe *g_probe_custom = nullptr;

void open_probe_custommode()
{
    ++g_custommode_opens;
    open_screen(g_probe_custom, new Probe(PAGE_CUSTOMMODE, PAGE_MAINWINDOW), false);
}

uint16_t layer_word(int window, int field)
{
    return uitest::rd16(Ram::layer(window) + field);
}

void enable_windows(std::initializer_list<int> windows)
{
    for (int w = 0; w < Ram::kWindows; ++w)
        uitest::wr16(Ram::layer(w) + Ram::kLayerEnable, 0);
    for (int w : windows)
        uitest::wr16(Ram::layer(w) + Ram::kLayerEnable, 1);
}

}

class TestFramework : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        uitest::fresh_ui();
        g_closed_pages.clear();
        g_custommode_opens = 0;
        g_open_custommode = open_probe_custommode;
        g_probe_main = new Probe(PAGE_MAINWINDOW, PAGE_LOCKWINDOW);
        g_page_focus = PAGE_MAINWINDOW;
    }
    void cleanup()
    {
        uitest::close_all();
        delete g_probe_main;
        g_open_custommode = nullptr;
    }

    void classifies_keys_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("key");
        QTest::newRow("F4 left") << int(Qt::Key_F4) << int(PanelKey::Left);
        QTest::newRow("S left") << 0x53 << int(PanelKey::Left);
        QTest::newRow("F5 right") << int(Qt::Key_F5) << int(PanelKey::Right);
        QTest::newRow("R right") << 0x52 << int(PanelKey::Right);
        QTest::newRow("F6 ok") << int(Qt::Key_F6) << int(PanelKey::Ok);
        QTest::newRow("Q ok") << 0x51 << int(PanelKey::Ok);
        QTest::newRow("PowerOff back") << 0x010000B7 << int(PanelKey::Back);
        QTest::newRow("O back") << 0x4F << int(PanelKey::Back);
        QTest::newRow("Stop mode") << 0x01000063 << int(PanelKey::Mode);
        QTest::newRow("M mode") << 0x4D << int(PanelKey::Mode);
        QTest::newRow("lower-case s") << int('s') << int(PanelKey::None);
        QTest::newRow("F7") << int(Qt::Key_F7) << int(PanelKey::None);
        QTest::newRow("J shortcut") << int(Qt::Key_J) << int(PanelKey::None);
        QTest::newRow("Return") << int(Qt::Key_Return) << int(PanelKey::None);
    }
    void classifies_keys()
    {
        QFETCH(int, code);
        QFETCH(int, key);
        QCOMPARE(int(panel_key(code)), key);
    }

    // Panel codes and USB letters take the same road: focus wraps both ways, OK clicks.
    void navigates_focus_data()
    {
        QTest::addColumn<QTestEventList>("events");
        QTest::addColumn<int>("focus");
        QTest::addColumn<QList<int>>("clicks");
        const int panel[3] = {Qt::Key_F4, Qt::Key_F5, Qt::Key_F6};
        const int usb[3] = {Qt::Key_S, Qt::Key_R, Qt::Key_Q};
        for (int kind = 0; kind < 2; ++kind) {
            const int *k = kind == 0 ? panel : usb;
            const char *tag = kind == 0 ? "panel" : "usb";
            auto row = [&](const char *name, std::initializer_list<int> keys, int focus, QList<int> clicks) {
                QTestEventList events;
                for (int key : keys) {
                    events.addKeyPress(Qt::Key(key));
                    events.addKeyRelease(Qt::Key(key));
                }
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(tag), QLatin1String(name))))
                    << events << focus << clicks;
            };
            row("right once", {k[1]}, 1, {});
            row("right wraps last to first", {k[1], k[1], k[1]}, 0, {});
            row("left wraps first to last", {k[0]}, 2, {});
            row("left then right", {k[0], k[1]}, 0, {});
            row("ok clicks focused", {k[1], k[2]}, 1, {1});
            row("ok after wrap", {k[0], k[2], k[1], k[2]}, 0, {2, 0});
            row("unknown keys change nothing", {Qt::Key_F7, Qt::Key_A}, 0, {});
        }
    }
    void navigates_focus()
    {
        QFETCH(QTestEventList, events);
        QFETCH(int, focus);
        QFETCH(QList<int>, clicks);
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        Probe *probe = g_probe_option;
        events.simulate(probe);
        QCOMPARE(probe->focus_index(), focus);
        QCOMPARE(QList<int>(probe->clicks.begin(), probe->clicks.end()), clicks);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(uitest::style(probe, QStringLiteral("Button_%1").arg(i)),
                     i == focus ? Style::kLargeFocus : Style::kLarge);
    }

    // Every released key reaches the panel shortcuts after the screen's own action.
    void hands_every_key_to_shortcuts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("black");
        QTest::newRow("J") << int(Qt::Key_J) << 0 << false;
        QTest::newRow("K") << int(Qt::Key_K) << 1 << false;
        QTest::newRow("L") << int(Qt::Key_L) << 2 << false;
        QTest::newRow("I") << int(Qt::Key_I) << 3 << false;
        QTest::newRow("P") << int(Qt::Key_P) << 2 << true;
        QTest::newRow("right") << int(Qt::Key_F5) << 2 << false;
        QTest::newRow("R") << int(Qt::Key_R) << 2 << false;
    }
    void hands_every_key_to_shortcuts()
    {
        QFETCH(int, code);
        QFETCH(int, source);
        QFETCH(bool, black);
        enable_windows({0});
        uitest::wr16(Ram::layer(0) + Ram::kLayerSource, 2);
        uitest::wr16(Ram::layer(0) + Ram::kLayerOutput, 0);
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        uitest::key(g_probe_option, code);
        QCOMPARE(int(layer_word(0, Ram::kLayerSource)), source);
        QCOMPARE(bool(layer_word(0, Ram::kLayerOutput) & 1), black);
        QVERIFY(g_probe_option);
    }

    void back_leaves_to_parent()
    {
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        open_screen(g_probe_outputset, new Probe(PAGE_OUTPUTSET, PAGE_OPTION));
        QCOMPARE(int(g_page_focus), int(PAGE_OUTPUTSET));
        const int before = g_probe_option->language_calls;
        QPointer<QDialog> child = g_probe_outputset;
        uitest::key(g_probe_outputset, Qt::Key_PowerOff);
        QCOMPARE(int(g_page_focus), int(PAGE_OPTION));
        QVERIFY(!g_probe_outputset);
        QCOMPARE(g_probe_option->language_calls, before + 1);
        QVERIFY(child && !child->isVisible());
        uitest::flush();
        QVERIFY(!child);
        QCOMPARE(screen_at(PAGE_OPTION), static_cast<Screen *>(g_probe_option));
        QCOMPARE(screen_at(PAGE_OUTPUTSET), nullptr);
    }

    void back_with_parent_gone()
    {
        open_screen(g_probe_outputset, new Probe(PAGE_OUTPUTSET, PAGE_OPTION));
        uitest::key(g_probe_outputset, Qt::Key_O);
        QCOMPARE(int(g_page_focus), int(PAGE_OPTION));
        QVERIFY(!g_probe_outputset);
    }

    void mode_key_closes_chain_deepest_first_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("panel") << 0x01000063;
        QTest::newRow("usb") << int(Qt::Key_M);
    }
    void mode_key_closes_chain_deepest_first()
    {
        QFETCH(int, code);
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        open_screen(g_probe_outputset, new Probe(PAGE_OUTPUTSET, PAGE_OPTION));
        open_screen(g_probe_ledset, new Probe(PAGE_LEDSET, PAGE_OUTPUTSET));
        uitest::key(g_probe_ledset, code);
        QCOMPARE(g_closed_pages, (std::vector<int>{PAGE_LEDSET, PAGE_OUTPUTSET, PAGE_OPTION}));
        QVERIFY(!g_probe_option && !g_probe_outputset && !g_probe_ledset);
        QCOMPARE(int(g_mode_shortcut_key), 1);
        QCOMPARE(g_custommode_opens, 1);
        QVERIFY(g_probe_custom && g_probe_custom->isVisible());
        QCOMPARE(int(g_page_focus), int(PAGE_CUSTOMMODE));
        uitest::flush();
        QCOMPARE(screen_at(PAGE_MAINWINDOW), static_cast<Screen *>(g_probe_main));
        QCOMPARE(screen_at(PAGE_OPTION), nullptr);
    }

    // The shortcut from CustomMode itself replaces it with a fresh one.
    void mode_key_on_custommode_reopens_it()
    {
        g_open_custommode();
        QPointer<Probe> first = g_probe_custom;
        uitest::key(first, Qt::Key_M);
        uitest::flush();
        QVERIFY(!first);
        QVERIFY(g_probe_custom);
        QCOMPARE(g_custommode_opens, 2);
    }

    void mode_key_dropped_under_key_lock()
    {
        uitest::wr16(Ram::kKeyLock, 1);
        enable_windows({0, 1});
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        uitest::keys(g_probe_option, {Qt::Key_Stop, Qt::Key_M});
        QVERIFY(g_probe_option && g_probe_option->isVisible());
        QCOMPARE(int(g_mode_shortcut_key), 0);
        QCOMPARE(g_custommode_opens, 0);
        QCOMPARE(int(g_page_focus), int(PAGE_OPTION));
        // navigation still works under the lock, shortcuts do not
        uitest::keys(g_probe_option, {Qt::Key_F5, Qt::Key_C});
        QCOMPARE(g_probe_option->focus_index(), 1);
        QCOMPARE(int(g_image_current), 0);
    }

    void shortcut_without_custommode_still_closes()
    {
        g_open_custommode = nullptr;
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        uitest::key(g_probe_option, Qt::Key_Stop);
        QVERIFY(!g_probe_option);
        QCOMPARE(int(g_mode_shortcut_key), 1);
        QCOMPARE(int(g_page_focus), int(PAGE_MAINWINDOW));
    }

    // A screen deleted late (deleteLater) must not clear the pointer of the screen now holding it.
    void late_deletion_keeps_new_pointer()
    {
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        Probe *first = g_probe_option;
        uitest::key(first, Qt::Key_PowerOff);
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        Probe *second = g_probe_option;
        QVERIFY(first != second);
        uitest::flush();
        QCOMPARE(g_probe_option, second);
        QCOMPARE(screen_at(PAGE_OPTION), static_cast<Screen *>(second));
    }

    void open_screen_runs_modal_seam()
    {
        QList<QDialog *> ran;
        int page_seen = -1;
        bool pointer_set = false;
        set_modal_runner([&](QDialog *d) {
            ran << d;
            page_seen = g_page_focus;   // page and pointer are set before the screen runs
            pointer_set = g_probe_option == d;
            return 0;
        });
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        QCOMPARE(ran.size(), 1);
        QCOMPARE(page_seen, int(PAGE_OPTION));
        QVERIFY(pointer_set);
        // a modeless screen is only shown
        open_screen(g_probe_custom, new Probe(PAGE_CUSTOMMODE, PAGE_MAINWINDOW), false);
        QCOMPARE(ran.size(), 1);
        QVERIFY(g_probe_custom->isVisible());
    }

    void language_fallback_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<uint>("valid");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("png");
        const QString zh = QStringLiteral("设置"), en = QStringLiteral("Setting"), ru = QStringLiteral("Настройка"),
                      vi = QStringLiteral("Cài đặt"), tw = QStringLiteral("設置");
        QTest::newRow("zh on") << 0 << 0x1Fu << zh << ":/png/closeled.png";
        QTest::newRow("zh off") << 0 << 0x1Eu << en << ":/png/en_closeled.png";
        QTest::newRow("en on") << 1 << 0x1Fu << en << ":/png/en_closeled.png";
        QTest::newRow("en never tested") << 1 << 0x00u << en << ":/png/en_closeled.png";
        QTest::newRow("ru on") << 2 << 0x1Fu << ru << ":/png/ru_closeled.png";
        QTest::newRow("ru off") << 2 << 0x1Bu << en << ":/png/en_closeled.png";
        QTest::newRow("vi on") << 3 << 0x08u << vi << ":/png/vn_closeled.png";
        QTest::newRow("vi off") << 3 << 0x17u << en << ":/png/en_closeled.png";
        QTest::newRow("tw on") << 4 << 0x10u << tw << ":/png/tn_closeled.png";
        QTest::newRow("tw off") << 4 << 0x0Fu << en << ":/png/en_closeled.png";
        QTest::newRow("beyond the five") << 5 << 0xFFu << en << ":/png/en_closeled.png";
    }
    void language_fallback()
    {
        QFETCH(int, language);
        QFETCH(uint, valid);
        QFETCH(QString, text);
        QFETCH(QString, png);
        g_language = static_cast<uint8_t>(language);
        g_lcd_lang_valid = valid;
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        QCOMPARE(g_probe_option->title->text(), text);
        QCOMPARE(lang_png(QStringLiteral("closeled.png")), png);
    }

    // A language whose bit is cleared falls back through the refresh: byte 768 and the texts.
    void refresh_applies_language_fallback()
    {
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        g_lcd_lang_valid = 0x1B;   // Russian not offered
        uitest::para()->RAM_PARA[Ram::kLanguage] = 2;
        uitest::para()->test_signal(1);
        QCOMPARE(int(uitest::para()->RAM_PARA[Ram::kLanguage]), 0);
        QCOMPARE(g_probe_option->title->text(), QStringLiteral("设置"));
        QCOMPARE(g_probe_option->sync_codes, (std::vector<int>{1}));
    }

    void refresh_reaches_only_page_on_display()
    {
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        open_screen(g_probe_outputset, new Probe(PAGE_OUTPUTSET, PAGE_OPTION));
        uitest::para()->test_signal(7);
        QCOMPARE(g_probe_outputset->sync_codes, (std::vector<int>{7}));
        QVERIFY(g_probe_option->sync_codes.empty());
        g_page_focus = 27;
        uitest::para()->test_signal(8);
        QCOMPARE(g_probe_outputset->sync_codes, (std::vector<int>{7}));
    }

    void refresh_shows_page_tips_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("text");
        QTest::newRow("link menu") << int(PAGE_LINKOPTION) << 1 << true << QString();
        QTest::newRow("mapping arrival") << int(PAGE_SMARTMAPPING) << 100 << true
                                         << "USB driver is connected,please wait...";
        QTest::newRow("upgrade removal") << int(PAGE_FIRMWARE_USBGRADE) << 101 << true << "USB drive is unplugged.";
        QTest::newRow("upgrade reading") << int(PAGE_FIRMWARE_USBGRADE) << 102 << true << "Reading the data,pls wait";
        QTest::newRow("mapping other code") << int(PAGE_SMARTMAPPING) << 1 << false << QString();
        QTest::newRow("usb code elsewhere") << int(PAGE_OPTION) << 100 << false << QString();
    }
    void refresh_shows_page_tips()
    {
        QFETCH(int, page);
        QFETCH(int, code);
        QFETCH(bool, shown);
        QFETCH(QString, text);
        g_page_focus = static_cast<uint8_t>(page);
        uitest::para()->test_signal(code);
        QCOMPARE(bool(g_tip_flag), shown);
        QCOMPARE(g_tip->isVisible(), shown);
        if (!text.isEmpty()) {
            auto *label = g_tip->findChild<QLabel *>();
            QVERIFY(label);
            QCOMPARE(label->text(), text);
        }
    }

    void hooks_reach_screen_by_page()
    {
        open_screen(g_probe_option, new Probe(PAGE_OPTION, PAGE_MAINWINDOW));
        open_screen(g_probe_outputset, new Probe(PAGE_OUTPUTSET, PAGE_OPTION));
        const int before = g_probe_option->language_calls;
        UiHooks::page_language_changed(PAGE_OPTION);
        QCOMPARE(g_probe_option->language_calls, before + 1);
        UiHooks::page_back(PAGE_OUTPUTSET);
        QVERIFY(!g_probe_outputset);
        QCOMPARE(int(g_page_focus), int(PAGE_OPTION));
        UiHooks::page_back(PAGE_LEDSET);   // nothing open there
        QCOMPARE(int(g_page_focus), int(PAGE_OPTION));
    }

    // The panel's shortcuts directly: image selection, sources, freeze, black, key lock.
    void usb_shortcuts_data()
    {
        QTest::addColumn<QList<int>>("enabled");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("expect_current");
        QTest::addColumn<int>("expect_signals");
        QTest::addColumn<int>("expect_source");   // window 0's source word
        QTest::addColumn<int>("expect_output");   // window 0's output word
        using L = QList<int>;
        QTest::newRow("B keeps image 0") << L{0, 1} << 0 << false << L{Qt::Key_B} << 0 << 0 << 2 << 0;
        QTest::newRow("C selects image 1") << L{0, 1} << 0 << false << L{Qt::Key_C} << 1 << 1 << 2 << 0;
        QTest::newRow("E on unused window") << L{0, 1} << 0 << false << L{Qt::Key_E} << 0 << 0 << 2 << 0;
        QTest::newRow("F then B") << L{0, 3} << 0 << false << L{Qt::Key_F, Qt::Key_B} << 0 << 2 << 2 << 0;
        QTest::newRow("J source 0") << L{0} << 0 << false << L{Qt::Key_J} << 0 << 0 << 0 << 0;
        QTest::newRow("I source 3") << L{0} << 0 << false << L{Qt::Key_I} << 0 << 0 << 3 << 0;
        QTest::newRow("K source 1") << L{0} << 0 << false << L{Qt::Key_K} << 0 << 0 << 1 << 0;
        QTest::newRow("N freezes") << L{0} << 0 << false << L{Qt::Key_N} << 0 << 0 << 2 << 2;
        QTest::newRow("N twice unfreezes") << L{0} << 0 << false << L{Qt::Key_N, Qt::Key_N} << 0 << 0 << 2 << 0;
        QTest::newRow("P blacks") << L{0} << 0 << false << L{Qt::Key_P} << 0 << 0 << 2 << 1;
        QTest::newRow("N on unused window") << L{} << 0 << false << L{Qt::Key_N} << 0 << 0 << 2 << 0;
        QTest::newRow("navigation letters") << L{0, 1} << 0 << false << L{Qt::Key_S, Qt::Key_R, Qt::Key_Q, Qt::Key_O}
                                            << 0 << 0 << 2 << 0;
        QTest::newRow("locked select") << L{0, 1} << 0 << true << L{Qt::Key_C} << 0 << 0 << 2 << 0;
        QTest::newRow("locked source") << L{0} << 0 << true << L{Qt::Key_J, Qt::Key_I} << 0 << 0 << 2 << 0;
        QTest::newRow("locked freeze black") << L{0} << 0 << true << L{Qt::Key_N, Qt::Key_P} << 0 << 0 << 2 << 0;
    }
    void usb_shortcuts()
    {
        QFETCH(QList<int>, enabled);
        QFETCH(int, current);
        QFETCH(bool, locked);
        QFETCH(QList<int>, keys);
        QFETCH(int, expect_current);
        QFETCH(int, expect_signals);
        QFETCH(int, expect_source);
        QFETCH(int, expect_output);
        for (int w = 0; w < Ram::kWindows; ++w)
            uitest::wr16(Ram::layer(w) + Ram::kLayerEnable, enabled.contains(w) ? 1 : 0);
        uitest::wr16(Ram::layer(0) + Ram::kLayerSource, 2);
        uitest::wr16(Ram::layer(0) + Ram::kLayerOutput, 0);
        uitest::wr16(Ram::kKeyLock, locked ? 1 : 0);
        g_image_current = static_cast<uint8_t>(current);
        QSignalSpy spy(uitest::para(), &ZemRamPara::sig_update_para);
        zem_keyboard adapter;
        for (int k : keys)
            adapter.update_usb_keyEvent(k);
        QCOMPARE(int(g_image_current), expect_current);
        QCOMPARE(spy.count(), expect_signals);
        QCOMPARE(int(layer_word(0, Ram::kLayerSource)), expect_source);
        QCOMPARE(int(layer_word(0, Ram::kLayerOutput)), expect_output);
    }

    void led_report_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("source_word");
        QTest::addColumn<int>("output");
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("image 0 DVI") << 0 << 0 << 0 << QByteArray::fromHex("0001010000");
        QTest::newRow("image 2 HDMI3 frozen") << 2 << 3 << 2 << QByteArray::fromHex("0004080100");
        QTest::newRow("image 1 black") << 1 << 1 << 1 << QByteArray::fromHex("0002020001");
        QTest::newRow("image 5 has no key") << 5 << 2 << 3 << QByteArray::fromHex("0000040101");
        QTest::newRow("crop of HDMI2") << 0 << 0x8000 << 0 << QByteArray::fromHex("0001040000");
    }
    void led_report()
    {
        QFETCH(int, current);
        QFETCH(int, source_word);
        QFETCH(int, output);
        QFETCH(QByteArray, report);
        uint8_t image[Ram::kSize] = {};
        Ram::wr16(image, Ram::layer(current) + Ram::kLayerSource, static_cast<uint16_t>(source_word));
        Ram::wr16(image, Ram::layer(current) + Ram::kLayerOutput, static_cast<uint16_t>(output));
        Ram::wr16(image, Ram::crop(0) + Ram::kCropWord, 0x8002);   // crop 1 of source 2
        const auto bytes = zem_keys_led_report(image, static_cast<uint8_t>(current));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size())), report);
    }
};

QTEST_MAIN(TestFramework)
#include "test_framework.moc"
