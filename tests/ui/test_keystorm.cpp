// A seeded random stream of key releases from the home screen through every screen of the catalog.
// After each key one page is current, its screen on top and its page pointer that screen, no page
// pointer dangles; every screen of the catalog is reached; at the end the parameter file matches
// the image. ZEM_STORM_SEED, ZEM_STORM_KEYS override.
#include <deque>
#include <random>

#include "catalog.h"
#include "imagequality.h"
#include "longrun.h"
#include "testimage.h"
#include "utils.h"

namespace {
// The panel codes and letters, weighted towards navigation; the shortcut letters and a few keys
// that mean nothing to any screen.
const int kKeys[] = {Qt::Key_F4, Qt::Key_F4, Qt::Key_F5, Qt::Key_F5, Qt::Key_F5, Qt::Key_F6, Qt::Key_F6, Qt::Key_F6,
                     Qt::Key_PowerOff, Qt::Key_PowerOff, Qt::Key_Stop, Qt::Key_S, Qt::Key_R, Qt::Key_R, Qt::Key_Q,
                     Qt::Key_Q, Qt::Key_O, Qt::Key_M, Qt::Key_B, Qt::Key_C, Qt::Key_E, Qt::Key_F, Qt::Key_I, Qt::Key_J,
                     Qt::Key_K, Qt::Key_L, Qt::Key_N, Qt::Key_P, Qt::Key_A, Qt::Key_Z, Qt::Key_1, Qt::Key_Space, Qt::Key_F1};

// The advanced menu's code on the numeric keyboard, from wherever its focus stands: cleared, the
// digits, confirmed, each key reached the short way round.
void type_access_code()
{
    g_numberkeyboard->findChild<QPushButton *>(QStringLiteral("ButtonC"))->click();
    for (int target : {7, 2, 5, 1, 13}) {   // 8 3 6 2, then the confirm key
        const int ahead = ((target - g_numberkeyboard->focus_index()) % 14 + 14) % 14;
        for (int i = 0; i < qMin(ahead, 14 - ahead); ++i)
            uitest::key(g_numberkeyboard, ahead <= 7 ? Qt::Key_F5 : Qt::Key_F4);
        uitest::key(g_numberkeyboard, Qt::Key_F6);
    }
}

// What is wrong after a key, or nothing. `alive` holds every screen not yet destroyed.
QString check(const QSet<QObject *> &alive)
{
    const uint8_t page = g_page_focus;
    const Screen *current = screen_at(page);
    const Screen *top = longrun::top_screen();
    if (!current || !current->widget()->isVisible())
        return QStringLiteral("no visible screen for page %1").arg(page);
    if (top && top->page() != page && !g_numberkeyboard->isVisible())
        return QStringLiteral("page %1 current, page %2 on top").arg(page).arg(top->page());
    if (!g_mainwindow)
        return QStringLiteral("no main menu");
    for (const ScreenEntry &e : screen_catalog()) {
        QObject *g = e.pointer();
        if (e.page == page && g != current->widget())
            return QStringLiteral("page %1 current, but the page pointer of %2 is not its screen").arg(page).arg(QLatin1String(e.name));
        if (g && !alive.contains(g))
            return QStringLiteral("the page pointer of %1 dangles").arg(QLatin1String(e.name));
    }
    return QString();
}
}

class TestKeyStorm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        longrun::begin("keystorm");
        mainfx::start();
        // A recovery file, so that the advanced menu's recovery entry leads somewhere.
        write_dev_file(QStringLiteral("/data/rcvrecovery/storm.rcv"), QByteArray("recovery"));
        // Scan files, so that the wizard's Load scan lists some, over more than one page.
        for (const char *name : {"a", "b", "c", "d"})
            write_dev_file(QStringLiteral("/data/smartmapping/%1.qyfile").arg(QLatin1String(name)), QByteArray(2000, 's'));
        open_screen(g_lockwindow, new LockWindow, false);
    }
    void cleanupTestCase() { longrun::end(); }

    // A row storms from the home screen, or stays several menus down, so that screens that deep
    // are reached often: path names the screens it opens under the Setting menu, as their openers
    // do, each time the storm has left the last; each row names the pages it is there to reach.
    void storm_data()
    {
        columns<QList<int>, int, QList<int>>({"path", "keys", "reaches"});
        m_rows = 0;
        const auto row = [this](const char *name, const QList<int> &path, int keys, const QList<int> &reaches) {
            QTest::newRow(name) << path << keys << reaches;
            ++m_rows;
        };
        row("from the home screen", {}, 14000,
            {PAGE_LOCKWINDOW, PAGE_MAINWINDOW, PAGE_MACHINESTATE, PAGE_INPUTCHOOSE, PAGE_CUSTOMMODE, PAGE_OPTION,
             PAGE_INPUTCUT, PAGE_EDIDSET});
        row("in the output menu", {PAGE_OUTPUTSET}, 2000, {PAGE_OUTPUTSET, PAGE_LEDSET, PAGE_NETSET});
        row("in the test patterns", {PAGE_TEST_CHART}, 500, {PAGE_TEST_CHART});
        row("in the image layout", {PAGE_IMAGELAYOUT}, 300, {PAGE_IMAGELAYOUT});
        row("in the image quality menu", {PAGE_IMAGEQUALITY}, 3000, {PAGE_IMAGEQUALITY, PAGE_QUALITY, PAGE_TEMPERATURE});
        row("in the advanced menu", {PAGE_ADVANCEDOPTION}, 4000,
            {PAGE_ADVANCEDOPTION, PAGE_LCDSHOW, PAGE_OTHERSETUP, PAGE_FACTORY, PAGE_FACTORYAGE, PAGE_RCV_RECOVERY});
        // The test patterns' twin: nothing opens it, so the row opens it over the advanced menu.
        row("in the test patterns' twin", {PAGE_ADVANCEDOPTION, testimage::kPage}, 300, {testimage::kPage});
        row("in the communication menu", {PAGE_LINKOPTION}, 3000,
            {PAGE_LINKOPTION, PAGE_LINKCOM, PAGE_LINKWLAN, PAGE_FIRMWARE_USBGRADE});
        row("in the smart-mapping wizard", {PAGE_SMARTMAPPING}, 3000, {PAGE_SMARTMAPPING});
    }
    void storm()
    {
        QFETCH(QList<int>, path);
        QFETCH(int, keys);
        QFETCH(QList<int>, reaches);
        const auto enter = [path] {
            if (path.isEmpty() || screen_at(uint8_t(path.last())))
                return;
            uitest::close_all();
            g_page_focus = PAGE_MAINWINDOW;
            open_screen(g_option, new Option);
            for (int page : path)
                for (const ScreenEntry &e : screen_catalog())
                    if (e.page == page)
                        e.open();
        };
        const uint32_t seed = static_cast<uint32_t>(longrun::env("ZEM_STORM_SEED", 20240607));
        const int count = longrun::env("ZEM_STORM_KEYS", keys);
        std::mt19937 rng(seed);
        std::uniform_int_distribution<int> pick(0, int(std::size(kKeys)) - 1), ticks(0, 40), type_code(0, 3);
        std::deque<QString> last;   // the last keys, for the report
        QSet<QObject *> alive;
        QSet<int> pages;
        QObject watch;              // ends the destroyed() connections with this test

        for (int i = 1; i <= count; ++i) {
            enter();
            QWidget *target = longrun::key_target();
            const QString name = QString::fromLatin1(target->metaObject()->className());   // the key may delete it
            int code = kKeys[pick(rng)];
            // Random keys never type the advanced menu's access code, the only way to the ageing
            // log: now and then, while the menu asks for it, it is typed (shown as key 0).
            if (g_numberkeyboard->isVisible() && g_page_focus == PAGE_ADVANCEDOPTION && type_code(rng) == 0) {
                code = 0;
                type_access_code();
            } else {
                uitest::key(target, code);
            }
            uitest::tick(ticks(rng));
            // The tick redraws the ageing log every 18000 ticks, far longer than random keys
            // leave it open: while it is open the ticks run on to the next redraw.
            if (g_factoryage)
                uitest::tick(int(18000 - qMin(18000u, Utils::getTimeSpace(G_factoryage_ticks))));
            mainfx::chip_pass();
            fpga_manage::p_fpga_manage->fpga_pass();
            QCoreApplication::processEvents();
            uitest::flush();
            for (Screen *s : all_screens())
                if (!alive.contains(s->widget())) {
                    alive.insert(s->widget());
                    connect(s->widget(), &QObject::destroyed, &watch, [&alive](QObject *o) { alive.remove(o); });
                }
            pages.insert(g_page_focus);
            last.push_back(QStringLiteral("0x%1 -> %2, page %3").arg(code, 0, 16).arg(name).arg(g_page_focus));
            if (last.size() > 40)
                last.pop_front();
            const QString failure = check(alive);
            if (!failure.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1, key %2 of %3: %4\n  ").arg(seed).arg(i).arg(count).arg(failure) +
                                 QStringList(last.begin(), last.end()).join(QStringLiteral("\n  "))));
        }
        ++m_rows_run;
        m_reached += pages;
        for (int page : reaches)
            QVERIFY2(pages.contains(page), qPrintable(QStringLiteral("seed %1 did not reach page %2").arg(seed).arg(page)));

        // A new LED size applied last keeps the chip waiting for the FPGA's set-up sequence.
        for (int i = 0; i < 100 && g_set_led_para == 1; ++i) {
            uitest::tick();
            fpga_manage::p_fpga_manage->fpga_pass();
        }
        mainfx::chip_pass();
        const int at = longrun::file_differs_at();
        QVERIFY2(at < 0, qPrintable(QStringLiteral("seed %1: the parameter file differs from the image at offset %2").arg(seed).arg(at)));
    }
    // Every screen of the catalog was stormed: a screen added to it needs a row that reaches it.
    void every_screen_of_the_catalog_reached()
    {
        if (m_rows_run < m_rows)
            QSKIP("only some rows of the storm ran");
        QStringList missed;
        for (const ScreenEntry &e : screen_catalog())
            if (!m_reached.contains(e.page))
                missed << QLatin1String(e.name);
        QVERIFY2(missed.isEmpty(), qPrintable(QStringLiteral("never reached: ") + missed.join(QLatin1Char(' '))));
    }

private:
    int m_rows = 0;
    int m_rows_run = 0;
    QSet<int> m_reached;
};

QTEST_MAIN(TestKeyStorm)
#include "test_keystorm.moc"
