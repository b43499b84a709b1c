#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "QRoundProgressBar.h"
#include "fields.h"
#include "fpga_manage.h"
#include "levels.h"
#include "pagedcursor.h"
#include "ram_layout.h"
#include "uihooks.h"
#include "uitest.h"
#include "zem_keys.h"

Q_DECLARE_METATYPE(Look)

namespace {
// The re-polishes a control goes through.
struct StyleChanges : QObject
{
    explicit StyleChanges(QWidget *w) { w->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *e) override
    {
        count += e->type() == QEvent::StyleChange;
        return false;
    }
    int count = 0;
};

std::vector<int> g_closed_pages;   // close events in the order they happened, by page
int g_custommode_opens = 0;
QList<int> g_progress;                // what the probes' jobs told them, outliving the probes

struct ProbeForm
{
    void setupUi(QWidget *) {}
};

// A screen of the common shape: three large buttons, the back path of the page table.
class Probe : public ScreenOf<QDialog, ProbeForm>
{
    Q_OBJECT
public:
    explicit Probe(uint8_t page) : ScreenOf(page)
    {
        for (int i = 0; i < 3; ++i) {
            auto *b = new QPushButton(this);
            b->setObjectName(QStringLiteral("Button_%1").arg(i));
            connect(b, &QPushButton::clicked, this, [this, i] { clicks << i; });
            m_focus.add(b);
        }
        m_focus.set_index(0);
        language_changed();
    }
    void language_changed() override
    {
        ++language_calls;
        title = tr5("设置", "Setting", "Настройка", "Cài đặt", "設置");
    }
    void syncUpdate(int code) override
    {
        sync_codes.push_back(code);
        sync_language();
    }
    // Row 3: a choice of four whose value level stores through `stored`.
    void add_choice()
    {
        box = new QComboBox(this);
        box->setObjectName(QStringLiteral("choice"));
        choice = std::make_unique<ChoiceField>(box, [](int i) { return i != 2; });   // entry 2 is never offered
        choice->set_entries({"a", "b", "c", "d"}, 1);
        m_focus.add(box, Look::Combo);
        m_focus.set_editor(3, choice->editor([this](int i) { stored << i; }));
    }
    bool editing() const { return m_focus.editing(); }
    void cancel_edit() { m_focus.cancel_edit(); }
    QList<int> clicks, stored;
    // The children that left by their back path, each with the page on display as it was told.
    QList<QPair<int, int>> children_left;
    QComboBox *box = nullptr;
    std::unique_ptr<ChoiceField> choice;
    std::vector<int> sync_codes;
    int language_calls = 0;
    QString title;

protected:
    void child_left(uint8_t child_page) override { children_left << qMakePair(int(child_page), int(g_page_focus)); }
    void job_progress(int percent) override { g_progress << percent; }
    void closeEvent(QCloseEvent *e) override
    {
        g_closed_pages.push_back(page());
        QDialog::closeEvent(e);
    }
};

Probe *g_main, *g_opt, *g_out, *g_led, *g_custom;

enum class Level { Tabs, Row, List };

// Runs the paged cursor's keys: n next, p previous, N next page, P previous page, c<n> a new count,
// s<n> a position; the moves are told as 1 (moved) and 0 (stayed).
QString run_cursor(PagedCursor &cursor, const QString &script)
{
    QString moves;
    for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
        const int n = step.mid(1).toInt();
        switch (step.at(0).toLatin1()) {
        case 'n': moves += cursor.next() ? '1' : '0'; break;
        case 'p': moves += cursor.previous() ? '1' : '0'; break;
        case 'N': moves += cursor.next_page() ? '1' : '0'; break;
        case 'P': moves += cursor.previous_page() ? '1' : '0'; break;
        case 'c': cursor.set_count(n); break;
        case 's': cursor.set_position(n); break;
        case 't': cursor.set_slot(n); break;
        default: break;
        }
    }
    return moves;
}
Probe *open_probe(Probe *&ptr, uint8_t page)
{
    open_screen(ptr, new Probe(page));
    return ptr;
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
        g_open_custommode = [] {
            ++g_custommode_opens;
            open_screen(g_custom, new Probe(PAGE_CUSTOMMODE), false);
        };
        g_main = new Probe(PAGE_MAINWINDOW);
        g_page_focus = PAGE_MAINWINDOW;
    }
    void cleanup()
    {
        uitest::close_all();
        delete g_main;
        g_open_custommode = nullptr;
    }
    // Panel codes and USB letters take the same road: focus wraps both ways, OK clicks. Every key
    // then reaches the panel's shortcuts, which the key lock stops with the mode key. Windows 0,
    // 1 and 3 are in use, window 0 shows source 2.
    void keys_data()
    {
        // image: the current image, refreshes, window 0's source and output
        columns<QTestEventList, bool, int, QList<int>, QList<int>>({"events", "locked", "focus", "clicks", "image"});
        using L = QList<int>;
        const L same{0, 0, 2, 0};
        const auto row = [](const char *name, const QString &keys, int focus, const L &clicks, const L &image, bool locked = false) {
            QTest::newRow(name) << uitest::key_list(keys) << locked << focus << clicks << image;
        };
        row("panel ok clicks focused", "ro", 1, {1}, same);
        row("panel left wraps to the last, right back to the first", "loro", 0, {2, 0}, same);
        row("usb ok clicks focused", "RO", 1, {1}, same);
        row("usb left wraps to the last, right back to the first", "LORO", 0, {2, 0}, same);
        QTestEventList others;   // Escape and Return must not close or click anything either
        for (int code : {int(Qt::Key_F7), int(Qt::Key_A), int(Qt::Key_Escape), int(Qt::Key_Return)})
            others.append(new uitest::Step([code](QWidget *w) { uitest::key(w, code); }));
        QTest::newRow("other keys") << others << false << 0 << L{} << same;
        row("C selects image 1", "^C", 0, {}, {1, 1, 2, 0});
        row("E on unused window", "^E", 0, {}, same);
        row("F selects image 3", "^F", 0, {}, {3, 1, 2, 0});
        row("C then B", "^C^B", 0, {}, {0, 2, 2, 0});
        row("J source 0", "^J", 0, {}, {0, 0, 0, 0});
        row("K source 1", "^K", 0, {}, {0, 0, 1, 0});
        row("L source 2", "^J^L", 0, {}, same);
        row("I source 3", "^I", 0, {}, {0, 0, 3, 0});
        row("N freezes", "^N", 0, {}, {0, 0, 2, 2});
        row("N twice unfreezes", "^N^N", 0, {}, same);
        row("P blacks", "^P", 0, {}, {0, 0, 2, 1});
        row("right then J", "r^J", 1, {}, {0, 0, 0, 0});
        row("locked", "mMr^C^J^N^P", 1, {}, same, true);
    }
    void keys()
    {
        QFETCH(QTestEventList, events);
        QFETCH(bool, locked);
        QFETCH(int, focus);
        for (int w = 0; w < Ram::kWindows; ++w)
            uitest::wr16(Ram::layer(w) + Ram::kLayerEnable, w < 2 || w == 3 ? 1 : 0);
        uitest::wr16(Ram::layer(0) + Ram::kLayerSource, 2);
        uitest::wr16(Ram::kKeyLock, locked ? 1 : 0);
        Probe *probe = open_probe(g_opt, PAGE_OPTION);
        events.simulate(probe);
        QVERIFY(probe->isVisible() && g_page_focus == PAGE_OPTION && g_custommode_opens == 0 && !g_mode_shortcut_key);
        QCOMPARE(probe->focus_index(), focus);
        QTEST(probe->clicks, "clicks");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(uitest::look(probe, QStringLiteral("Button_%1").arg(i)), i == focus ? LookState::Focus : LookState::Normal);
        const int source = uitest::rd16(Ram::layer(0) + Ram::kLayerSource), output = uitest::rd16(Ram::layer(0) + Ram::kLayerOutput);
        QTEST((QList<int>{int(g_image_current), int(probe->sync_codes.size()), source, output}), "image");
    }
    // A key acts when it is released: its press alone changes nothing (it may be held down).
    void keys_act_on_release()
    {
        Probe *probe = open_probe(g_opt, PAGE_OPTION);
        for (int code : {int(Qt::Key_F5), int(Qt::Key_F6), int(Qt::Key_PowerOff), int(Qt::Key_Stop)}) {
            QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
            QCoreApplication::sendEvent(probe, &press);
        }
        QVERIFY(g_opt && probe->focus_index() == 0 && probe->clicks.isEmpty() && g_custommode_opens == 0);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_PowerOff, Qt::NoModifier);
        QCoreApplication::sendEvent(probe, &release);
        QVERIFY(!g_opt);
    }
    // Opening sets pointer and page before the screen runs. Back: pointer null, parent refreshed,
    // parent page; a parent gone by then is skipped. The lower layers' hooks take the same road.
    void back_paths()
    {
        QList<int> runs;
        set_modal_runner([&runs](QDialog *d) {
            runs << (d == g_opt || d == g_out ? int(g_page_focus) : -1);
            return d->show(), 0;
        });
        open_probe(g_opt, PAGE_OPTION);
        open_probe(g_out, PAGE_OUTPUTSET);
        QCOMPARE(runs, (QList<int>{PAGE_OPTION, PAGE_OUTPUTSET}));
        const int before = g_opt->language_calls;
        QPointer<QDialog> child = g_out;
        uitest::key(g_out, Qt::Key_PowerOff);
        QCOMPARE(int(g_page_focus), int(PAGE_OPTION));
        QVERIFY(!g_out && child && !child->isVisible());
        QCOMPARE(g_opt->language_calls, before + 1);
        // The parent hears who left once its own page is on display again.
        QCOMPARE(g_opt->children_left, (QList<QPair<int, int>>{{PAGE_OUTPUTSET, PAGE_OPTION}}));
        uitest::flush();
        QVERIFY(!child);
        QCOMPARE(screen_at(PAGE_OPTION), static_cast<Screen *>(g_opt));
        QCOMPARE(screen_at(PAGE_OUTPUTSET), nullptr);
        UiHooks::page_language_changed(PAGE_OPTION);
        QCOMPARE(g_opt->language_calls, before + 2);
        open_probe(g_led, PAGE_LEDSET);
        UiHooks::page_back(PAGE_LEDSET);
        QVERIFY(!g_led && g_page_focus == PAGE_OUTPUTSET);
        QCOMPARE(g_opt->children_left.size(), 1);   // not its child
        UiHooks::page_back(PAGE_NETSET);   // nothing open there
        QCOMPARE(int(g_page_focus), int(PAGE_OUTPUTSET));
        uitest::key(g_opt, Qt::Key_O);
        QVERIFY(!g_opt && g_page_focus == PAGE_MAINWINDOW);
        QCOMPARE(g_main->children_left, (QList<QPair<int, int>>{{PAGE_OPTION, PAGE_MAINWINDOW}}));
        // the screen left is deleted late: it must not clear the pointer of the one now holding it
        Probe *again = open_probe(g_opt, PAGE_OPTION);
        uitest::flush();
        QCOMPARE(g_opt, again);
        QCOMPARE(screen_at(PAGE_OPTION), static_cast<Screen *>(again));
    }
    void mode_key_closes_chain_deepest_first_data()
    {
        columns<int>({"code"});
        QTest::newRow("panel") << int(Qt::Key_Stop);
        QTest::newRow("usb") << int(Qt::Key_M);
    }
    void mode_key_closes_chain_deepest_first()
    {
        QFETCH(int, code);
        open_probe(g_opt, PAGE_OPTION);
        open_probe(g_out, PAGE_OUTPUTSET);
        open_probe(g_led, PAGE_LEDSET);
        uitest::key(g_led, code);
        QCOMPARE(g_closed_pages, (std::vector<int>{PAGE_LEDSET, PAGE_OUTPUTSET, PAGE_OPTION}));
        QVERIFY(!g_opt && !g_out && !g_led && g_mode_shortcut_key == 1 && g_custommode_opens == 1);
        QVERIFY(g_custom && g_custom->isVisible() && g_page_focus == PAGE_CUSTOMMODE);
        QVERIFY(g_main->children_left.isEmpty());   // the shortcut is no back path
        uitest::flush();
        QCOMPARE(screen_at(PAGE_MAINWINDOW), static_cast<Screen *>(g_main));
        QCOMPARE(screen_at(PAGE_OPTION), nullptr);
    }
    // The refresh reaches the page on display only; a language whose bit is cleared falls back
    // there: byte 768 and the texts.
    void refresh_reaches_page_on_display()
    {
        open_probe(g_opt, PAGE_OPTION);
        open_probe(g_out, PAGE_OUTPUTSET);
        g_lcd_lang_valid = 0x1B;   // Russian not offered
        uitest::para()->RAM_PARA[Ram::kLanguage] = 2;
        uitest::para()->test_signal(7);
        QCOMPARE(int(uitest::para()->RAM_PARA[Ram::kLanguage]), 0);
        QCOMPARE(g_out->title, QStringLiteral("设置"));
        QCOMPARE(g_out->sync_codes, (std::vector<int>{7}));
        QVERIFY(g_opt->sync_codes.empty());
        g_page_focus = 27;
        uitest::para()->test_signal(8);
        QCOMPARE(g_out->sync_codes, (std::vector<int>{7}));
        // A page without a screen of its own still follows the language, and shows no tip.
        g_page_focus = PAGE_SMARTMAPPING;
        uitest::para()->test_signal(CHANGE_USB_INSERTED);
        QVERIFY(!g_tip->isVisible());
    }
    // The value level: OK on the choice row opens it (edit look), left and right step with wrap
    // past the entry never offered, OK stores, back shows the entry of the start again; plain rows
    // still click. A refresh may end an edit as back does.
    void value_level_data()
    {
        // shown: the box's entry; look: the row's look at the end
        columns<QString, int, QList<int>, int, QList<int>, LookState>({"keys", "focus", "clicks", "shown", "stored", "look"});
        using L = QList<int>;
        QTest::newRow("row level walks onto the choice") << "lo" << 3 << L{} << 1 << L{} << LookState::Edit;
        QTest::newRow("step right skips the refused entry") << "lor" << 3 << L{} << 3 << L{} << LookState::Edit;
        QTest::newRow("step wraps to the first") << "lorr" << 3 << L{} << 0 << L{} << LookState::Edit;
        QTest::newRow("OK stores the entry shown") << "loro" << 3 << L{} << 3 << L{3} << LookState::Focus;
        QTest::newRow("back shows the start again") << "lorrb" << 3 << L{} << 1 << L{} << LookState::Focus;
        QTest::newRow("a second back leaves") << "lorbb" << 3 << L{} << 1 << L{} << LookState::Focus;
        QTest::newRow("stepping left wraps") << "loll" << 3 << L{} << 3 << L{} << LookState::Edit;
        QTest::newRow("after the edit the rows move again") << "loorro" << 1 << L{1} << 1 << L{1} << LookState::Normal;
    }
    void value_level()
    {
        QFETCH(QString, keys);
        Probe *probe = open_probe(g_opt, PAGE_OPTION);
        probe->add_choice();
        uitest::press(probe, keys);
        QTEST(probe->focus_index(), "focus");
        QTEST(probe->clicks, "clicks");
        QTEST(probe->box->currentIndex(), "shown");
        QTEST(probe->stored, "stored");
        QTEST(look_state(probe->box), "look");
        QCOMPARE(g_opt != nullptr, !keys.endsWith(QLatin1String("bb")));
        if (g_opt && probe->editing()) {
            probe->cancel_edit();
            QVERIFY(!probe->editing() && look_state(probe->box) == LookState::Focus && probe->box->currentIndex() == 1);
        }
    }
    // A job starts with its bar (the inputs are written with the bar up and before the job word);
    // its progress reaches the screen on the GUI thread, the keys wait while it runs, the finished
    // bar goes. A screen closed while its job runs hears nothing more.
    void jobs()
    {
        fpga_manage::destroy_for_test();
        fpga_manage::create_for_test();
        g_send_para.job_word.store(JOB_IDLE);
        g_progress.clear();
        Probe *probe = open_probe(g_opt, PAGE_OPTION);
        bool bar_first = false, word_last = false;
        QVERIFY(probe->start_job(JOB_RECOVERY_QUERY, [&] {
            bar_first = g_qround_bar && g_qround_bar->parentWidget() == probe;
            word_last = g_send_para.job() == JOB_IDLE;
        }));
        QVERIFY(bar_first && word_last && g_send_para.job() == JOB_RECOVERY_QUERY);
        QVERIFY(!probe->start_job(JOB_RECOVERY_RUN));   // one at a time
        QPointer<QRoundProgressBar> bar = g_qround_bar;
        uitest::press(probe, "rob");
        QVERIFY(probe->clicks.isEmpty() && probe->focus_index() == 0 && g_opt);
        for (int i = 0; i < 5000 && g_send_para.job() != JOB_IDLE; ++i, ++G_timeTicks)
            fpga_manage::p_fpga_manage->fpga_pass();
        QCoreApplication::processEvents();
        QVERIFY(g_progress.size() >= 2 && g_progress.last() == 100);
        uitest::flush();
        QVERIFY(!g_qround_bar && !bar);   // deleted, not only hidden
        uitest::press(probe, "ro");
        QCOMPARE(probe->clicks, QList<int>{1});

        QVERIFY(probe->start_job(JOB_RECOVERY_QUERY));
        const int heard = g_progress.size();
        uitest::press(probe, "m");   // the mode key closes the screen and its bar mid-job
        for (int i = 0; i < 5000 && g_send_para.job() != JOB_IDLE; ++i, ++G_timeTicks)
            fpga_manage::p_fpga_manage->fpga_pass();
        QCoreApplication::processEvents();
        QCOMPARE(g_progress.size(), heard);
        uitest::flush();
        QVERIFY(!g_opt && !g_qround_bar);
        fpga_manage::destroy_for_test();
    }
    // What each colour of the palette paints, read on a control drawn alone in a look: at the
    // middle of its left edge (the frame) or at its centre (the ground).
    void looks_paint_data()
    {
        columns<Look, LookState, bool, QColor>({"kind", "state", "frame", "colour"});
        const QColor white(255, 255, 255), focus(255, 171, 84), ground(33, 36, 53), blue(71, 119, 255);
        QTest::newRow("at rest: white frame") << Look::Thin << LookState::Normal << true << white;
        QTest::newRow("at rest: the controls' ground") << Look::Thin << LookState::Normal << false << ground;
        QTest::newRow("focus frame") << Look::Thin << LookState::Focus << true << focus;
        QTest::newRow("edit frame") << Look::Thin << LookState::Edit << true << QColor(255, 0, 0);
        QTest::newRow("combo box edit frame") << Look::Combo << LookState::Edit << true << QColor(255, 0, 0);
        QTest::newRow("no edit look: the focus shows") << Look::Large << LookState::Edit << true << focus;
        QTest::newRow("unavailable ground") << Look::Menu << LookState::Unavailable << false << QColor(128, 128, 128);
        QTest::newRow("unavailable focus frame") << Look::Menu << LookState::UnavailableFocus << true << focus;
        QTest::newRow("initial: the focus frame alone") << Look::Menu << LookState::Initial << true << focus;
        QTest::newRow("black ground") << Look::ThinDark << LookState::Focus << false << QColor(0, 0, 0);
        QTest::newRow("confirm key") << Look::KeyBlue << LookState::Normal << false << blue;
        QTest::newRow("held choice") << Look::ModeChoice << LookState::Normal << true << blue;
        QTest::newRow("held choice's arrow") << Look::ModeChoiceArrow << LookState::Normal << true << blue;
        QTest::newRow("moving choice") << Look::ModeChoice << LookState::Focus << true << focus;
        QTest::newRow("dialog ground") << Look::OpenTab << LookState::Focus << false << QColor(16, 16, 28);
        QTest::newRow("card frame") << Look::CropCell << LookState::Normal << true << QColor(204, 204, 204);
        QTest::newRow("crop cell's own focus") << Look::CropCell << LookState::Focus << true << QColor(255, 168, 84);
        QTest::newRow("chosen port") << Look::PortCell << LookState::Focus << true << QColor(0, 214, 91);
        QTest::newRow("saved slot") << Look::SlotFrame << LookState::Normal << false << ground;
        QTest::newRow("empty slot") << Look::SlotFrame << LookState::Unavailable << false << QColor(178, 178, 178);
        QTest::newRow("chosen slot") << Look::SlotFrame << LookState::Edit << false << QColor(0, 214, 91);
        QTest::newRow("slot ring") << Look::SlotRing << LookState::Focus << true << focus;
        QTest::newRow("lit dot") << Look::BusyDot << LookState::Focus << false << focus;
        QTest::newRow("summary text's ground") << Look::DialogText << LookState::Normal << false << QColor(16, 16, 28);
        QTest::newRow("panel") << Look::Panel << LookState::Normal << false << ground;
    }
    void looks_paint()
    {
        QFETCH(Look, kind);
        QFETCH(LookState, state);
        QFETCH(bool, frame);
        const bool combo = kind == Look::Combo || kind == Look::ModeChoice;
        std::unique_ptr<QWidget> w(combo ? static_cast<QWidget *>(new QComboBox) : new QLabel);
        w->resize(60, 30);
        set_look(w.get(), kind, state);
        QCOMPARE(look_state(w.get()), state);
        QTEST(w->grab().toImage().pixelColor(frame ? 0 : 30, 15), "colour");
    }
    // A control is re-polished when its look changes, and only then: a focus list walked over
    // again leaves the controls whose look stays as they are.
    void look_repolishes_only_on_a_change()
    {
        QDialog d;
        auto *button = new QPushButton(QStringLiteral("OK"), &d);
        StyleChanges changes(button);
        const int &polished = changes.count;
        d.show();
        set_look(button, Look::Thin, LookState::Focus);
        const int once = polished;
        QVERIFY(once > 0);
        set_look(button, Look::Thin, LookState::Focus);
        QCOMPARE(polished, once);
        // Another kind in the same state, then another state.
        set_look(button, Look::Thin10, LookState::Focus);
        set_look(button, Look::Thin10, LookState::Focus);
        QCOMPARE(polished, once + 1);
        set_look(button, Look::Thin10, LookState::Normal);
        QCOMPARE(polished, once + 2);
        QCOMPARE(button->styleSheet(), look_style(Look::Thin10, LookState::Normal));
        QCOMPARE(look_state(button), LookState::Normal);
    }
    // Every kind has a whole style in every state, its colours filled in; a state a kind lacks
    // borrows the focused look where the focus is on it, else the normal one.
    void looks_table()
    {
        for (int k = 0; k < int(Look::Kinds); ++k) {
            const auto kind = static_cast<Look>(k);
            for (LookState state : {LookState::Normal, LookState::Focus, LookState::Edit, LookState::Unavailable,
                                    LookState::UnavailableFocus, LookState::Initial}) {
                const QString style = look_style(kind, state);
                QVERIFY2(!style.isEmpty() && !style.contains(QLatin1Char('$')), qPrintable(style));
            }
        }
        QCOMPARE(look_style(Look::Large, LookState::Initial), look_style(Look::Large, LookState::Focus));
        QCOMPARE(look_style(Look::Large, LookState::UnavailableFocus), look_style(Look::Large, LookState::Focus));
        QCOMPARE(look_style(Look::Thin, LookState::Unavailable), look_style(Look::Thin, LookState::Normal));
        QCOMPARE(look_style(Look::Panel, LookState::Edit), look_style(Look::Panel, LookState::Normal));
        QVERIFY(look_style(Look::Menu, LookState::Initial) != look_style(Look::Menu, LookState::Focus));
        QLabel label;
        QCOMPARE(look_state(&label), LookState::Normal);
        set_look(&label, Look::Text);
        QCOMPARE(label.styleSheet(), look_style(Look::Text, LookState::Normal));
    }
    // One cursor for every paged list. at: position, page, place on the page, item, last page,
    // places on the page. Source choice's entries (3 a page, both ends wrap), the scan files (3 a
    // page, only the end wraps) and the crops (6 a page after the add button, both ends wrap).
    void paged_cursor_data()
    {
        columns<int, int, int, int, QString, QString, QList<int>>({"per_page", "lead", "wrap", "count", "keys", "moves", "at"});
        using L = QList<int>;
        const int both = int(PagedCursor::Wrap::BothEnds), end = int(PagedCursor::Wrap::LastToFirst);
        const auto row = [](const char *name, int per_page, int lead, int wrap, int count, const QString &keys,
                            const QString &moves, const L &at) {
            QTest::newRow(name) << per_page << lead << wrap << count << keys << moves << at;
        };
        row("entries: over the page", 3, 0, both, 7, "n n n", "111", L{3, 1, 0, 3, 2, 3});
        row("entries: past the last to the first", 3, 0, both, 7, "s6 n", "1", L{0, 0, 0, 0, 2, 3});
        row("entries: before the first to the last", 3, 0, both, 7, "p", "1", L{6, 2, 0, 6, 2, 1});
        row("entries: back over the page", 3, 0, both, 7, "s3 p", "1", L{2, 0, 2, 2, 2, 3});
        row("entries: a lone entry stays", 3, 0, both, 1, "n p", "00", L{0, 0, 0, 0, 0, 1});
        row("entries: the list shrinks, the page stays", 3, 0, both, 7, "s6 c2", "", L{6, 2, 0, 6, 0, 0});
        row("entries: back from the emptied page", 3, 0, both, 7, "s6 c2 p", "1", L{5, 1, 2, 5, 0, 0});
        row("entries: on from the emptied page", 3, 0, both, 7, "s6 c2 n", "1", L{0, 0, 0, 0, 0, 2});
        row("entries: page on keeps the place", 3, 0, both, 5, "s2 N", "1", L{4, 1, 1, 4, 1, 2});
        row("entries: and back", 3, 0, both, 5, "s2 N P", "11", L{1, 0, 1, 1, 1, 3});
        row("entries: page back from the first", 3, 0, both, 7, "s1 P", "1", L{6, 2, 0, 6, 2, 1});
        row("entries: page on from the last", 3, 0, both, 7, "s6 N", "1", L{0, 0, 0, 0, 2, 3});
        row("entries: two full pages", 3, 0, both, 6, "s5 N", "1", L{2, 0, 2, 2, 1, 3});
        row("files: before the first stays", 3, 0, end, 5, "p", "0", L{0, 0, 0, 0, 1, 3});
        row("files: past the last to the first", 3, 0, end, 5, "s4 n", "1", L{0, 0, 0, 0, 1, 3});
        row("files: back over the page", 3, 0, end, 5, "s3 p", "1", L{2, 0, 2, 2, 1, 3});
        row("files: no page before the first", 3, 0, end, 5, "t2 P", "0", L{2, 0, 2, 2, 1, 3});
        row("files: page on from the last", 3, 0, end, 5, "s4 N", "1", L{1, 0, 1, 1, 1, 3});
        row("files: page back", 3, 0, end, 5, "s4 P", "1", L{1, 0, 1, 1, 1, 3});
        row("files: a touch on a row past the page", 3, 0, end, 5, "s3 t2", "", L{4, 1, 1, 4, 1, 2});
        row("files: none", 3, 0, end, 0, "n p N P", "0000", L{0, 0, 0, 0, 0, 0});
        row("crops: the add button first", 6, 1, both, 8, "", "", L{0, 0, 0, -1, 1, 7});
        row("crops: six items beside it", 6, 1, both, 8, "n n n n n n", "111111", L{6, 0, 6, 5, 1, 7});
        row("crops: then the second page", 6, 1, both, 8, "s6 n", "1", L{7, 1, 0, 6, 1, 2});
        row("crops: back to the first page", 6, 1, both, 8, "s7 p", "1", L{6, 0, 6, 5, 1, 7});
        row("crops: before the add button to the last", 6, 1, both, 8, "p", "1", L{8, 1, 1, 7, 1, 2});
        row("crops: past the last to the add button", 6, 1, both, 8, "s8 n", "1", L{0, 0, 0, -1, 1, 7});
        row("crops: one page", 6, 1, both, 6, "s6 n", "1", L{0, 0, 0, -1, 0, 7});
    }
    void paged_cursor()
    {
        QFETCH(int, per_page);
        QFETCH(int, lead);
        QFETCH(int, wrap);
        QFETCH(int, count);
        QFETCH(QString, keys);
        PagedCursor cursor(per_page, PagedCursor::Wrap(wrap), lead);
        cursor.set_count(count);
        QTEST(run_cursor(cursor, keys), "moves");
        QTEST((QList<int>{cursor.position(), cursor.page(), cursor.slot(), cursor.item(), cursor.last_page(),
                          cursor.places_on(cursor.page())}),
              "at");
        QCOMPARE(cursor.items_on(cursor.page()), cursor.places_on(cursor.page()) - (cursor.page() == 0 ? lead : 0));
    }
    // Levels: each keeps its index for the way back, the one beneath may be moved meanwhile; a
    // FocusList's level takes the looks with it.
    void levels()
    {
        QWidget host;
        QList<QPushButton *> buttons;
        FocusList column, frame;
        for (int i = 0; i < 6; ++i) {
            buttons << new QPushButton(&host);
            (i < 3 ? column : frame).add(buttons.last(), Look::Thin);
        }
        QList<int> reverts;
        FocusList::Editor editor;
        editor.step = [](int) {};
        editor.revert = [&reverts] { reverts << 1; };
        frame.set_editor(1, editor);
        const auto looks = [&buttons] {
            QString out;
            for (QPushButton *b : buttons)
                out += QString::number(int(look_state(b)));
            return out;
        };
        column.set_index(1);
        Levels<Level> levels(Level::Tabs, &column);
        QCOMPARE((QList<int>{int(levels.current()), levels.depth(), levels.index()}), (QList<int>{0, 1, 1}));
        QVERIFY(!levels.leave());
        QCOMPARE(levels.depth(), 1);

        levels.enter(Level::Row, 3);
        column.unfocus_current();   // the screen's look for a held choice
        QVERIFY(levels.at(Level::Row) && levels.list() == nullptr);
        QCOMPARE((QList<int>{levels.index(), levels.index_of(Level::Tabs), levels.index_of(Level::List)}),
                 (QList<int>{3, 1, -1}));
        levels.set_index(2);
        levels.enter(Level::List, 2, &frame);
        QCOMPARE(looks(), QStringLiteral("000001"));
        levels.set_index(1);
        frame.ok();   // the value level
        QCOMPARE(looks(), QStringLiteral("000020"));
        levels.set_index_of(Level::Tabs, 2);   // the choice beneath moved: its row stays unfocused
        QCOMPARE((QList<int>{levels.index_of(Level::Tabs), levels.index_of(Level::Row), levels.index()}), (QList<int>{2, 2, 1}));
        QCOMPARE(looks(), QStringLiteral("000020"));

        QVERIFY(levels.leave());   // the edit ends as back ends it
        QCOMPARE(reverts, QList<int>{1});
        QVERIFY(!frame.editing());
        QCOMPARE(looks(), QStringLiteral("000000"));
        QCOMPARE((QList<int>{int(levels.current()), levels.index()}), (QList<int>{int(Level::Row), 2}));
        QVERIFY(levels.leave());
        QCOMPARE((QList<int>{int(levels.current()), levels.index()}), (QList<int>{int(Level::Tabs), 2}));
        QCOMPARE(looks(), QStringLiteral("001000"));   // the keys are back: the focus shows

        levels.enter(Level::Row);
        levels.enter(Level::List, 0, &frame);
        QVERIFY(!levels.back_to(Level::List) || levels.depth() == 3);
        QVERIFY(levels.back_to(Level::Tabs));
        QCOMPARE(levels.depth(), 1);
        QCOMPARE(looks(), QStringLiteral("001000"));
        QVERIFY(!levels.back_to(Level::Row));
        levels.enter(Level::Row, 4);
        levels.enter(Level::Row, 5);   // the nearer one counts
        QCOMPARE(levels.index_of(Level::Row), 5);
        QVERIFY(levels.back_to(Level::Row) && levels.depth() == 3);
    }
    // The key panel's LED report for the current image: HDMI3 frozen, a black crop of HDMI2, an
    // image without a key.
    void led_report()
    {
        const struct { int current, source_word, output; const char *report; } rows[] = {
            {2, 3, 2, "0004080100"}, {1, 0x8000, 1, "0002040001"}, {5, 0, 3, "0000010101"}};
        for (const auto &row : rows) {
            uint8_t image[Ram::kSize] = {};
            Ram::wr16(image, Ram::layer(row.current) + Ram::kLayerSource, uint16_t(row.source_word));
            Ram::wr16(image, Ram::layer(row.current) + Ram::kLayerOutput, uint16_t(row.output));
            Ram::wr16(image, Ram::crop(0) + Ram::kCropWord, 0x8002);   // crop 1 of source 2
            const auto bytes = zem_keys_led_report(image, uint8_t(row.current));
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size())).toHex(), QByteArray(row.report));
        }
    }
};

QTEST_MAIN(TestFramework)
#include "test_framework.moc"
