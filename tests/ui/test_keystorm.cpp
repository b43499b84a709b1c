// A seeded random stream of key releases from the home screen, reaching every screen the menus
// open. After each key: the screen on top carries the current page, every page pointer is null or
// alive. At the end the parameter file matches the image.
//
// ZEM_STORM_SEED and ZEM_STORM_KEYS override the seed and the number of keys.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSet>
#include <deque>
#include <random>

#include "mainfixture.h"

namespace {

struct Sent
{
    int code;
    QString target;
    int page_after;
};

// The panel codes and letters, weighted towards navigation; the shortcut letters and a few keys
// that mean nothing to any screen.
const int kKeys[] = {
    Qt::Key_F4, Qt::Key_F4, Qt::Key_F5, Qt::Key_F5, Qt::Key_F5, Qt::Key_F6, Qt::Key_F6, Qt::Key_F6,
    Qt::Key_PowerOff, Qt::Key_PowerOff, Qt::Key_Stop,
    Qt::Key_S, Qt::Key_R, Qt::Key_R, Qt::Key_Q, Qt::Key_Q, Qt::Key_O, Qt::Key_M,
    Qt::Key_B, Qt::Key_C, Qt::Key_E, Qt::Key_F, Qt::Key_I, Qt::Key_J, Qt::Key_K, Qt::Key_L, Qt::Key_N, Qt::Key_P,
    Qt::Key_A, Qt::Key_Z, Qt::Key_1, Qt::Key_Space, Qt::Key_F1,
};

// Where a key goes: a modal widget if Qt has one, the numeric keyboard while it is up, else the
// newest visible screen.
QWidget *key_target()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (g_numberkeyboard && g_numberkeyboard->isVisible())
        return g_numberkeyboard;
    const std::vector<Screen *> screens = all_screens();
    for (auto it = screens.rbegin(); it != screens.rend(); ++it) {
        if (!(*it)->is_closed() && (*it)->widget()->isVisible())
            return (*it)->widget();
    }
    return g_mainwindow;
}

Screen *top_screen()
{
    const std::vector<Screen *> screens = all_screens();
    for (auto it = screens.rbegin(); it != screens.rend(); ++it) {
        if (!(*it)->is_closed() && (*it)->widget()->isVisible())
            return *it;
    }
    return nullptr;
}

int env_int(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

}

class TestKeyStorm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Thousands of durable file writes: on a memory file system where there is one.
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            qputenv("ZEM_TEST_ROOT", QStringLiteral("/dev/shm/zem-keystorm-%1")
                                         .arg(QCoreApplication::applicationPid())
                                         .toLocal8Bit());
    }
    void cleanupTestCase()
    {
        if (qEnvironmentVariable("ZEM_TEST_ROOT").startsWith(QStringLiteral("/dev/shm/")))
            QDir(qEnvironmentVariable("ZEM_TEST_ROOT")).removeRecursively();
    }
    void init()
    {
        // Twenty thousand keys' worth of diagnostics would cost more than the keys.
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
        g_debugSwitch = 0;
        mainfx::start();
        // A recovery file, so that the advanced menu's recovery entry leads somewhere.
        write_dev_file(QStringLiteral("/data/rcvrecovery/storm.rcv"), QByteArray("recovery"));
        open_screen(g_lockwindow, new LockWindow(nullptr), false);
    }
    void cleanup() { mainfx::stop(); }

    void storm()
    {
        const uint32_t seed = static_cast<uint32_t>(env_int("ZEM_STORM_SEED", 20240607));
        const int count = env_int("ZEM_STORM_KEYS", 20000);
        std::mt19937 rng(seed);
        std::uniform_int_distribution<int> pick(0, int(sizeof kKeys / sizeof kKeys[0]) - 1);
        std::uniform_int_distribution<int> ticks(0, 40);

        std::deque<Sent> last;
        QList<QPointer<QWidget>> seen;
        QSet<uint8_t> pages;
        QString failure;
        int sent = 0;

        auto report = [&](const QString &what) {
            QStringList lines;
            lines << QStringLiteral("seed %1, key %2 of %3: %4").arg(seed).arg(sent).arg(count).arg(what);
            for (const Sent &s : last)
                lines << QStringLiteral("  0x%1 -> %2 (page %3)").arg(s.code, 0, 16).arg(s.target).arg(s.page_after);
            return lines.join(QLatin1Char('\n'));
        };

        for (int i = 0; i < count && failure.isEmpty(); ++i) {
            QWidget *target = key_target();
            const int code = kKeys[pick(rng)];
            const QString name = QString::fromLatin1(target->metaObject()->className());
            uitest::key(target, code);
            ++sent;
            uitest::tick(ticks(rng));
            mainfx::chip_pass();
            fpga_manage::p_fpga_manage->fpga_pass();
            QCoreApplication::processEvents();
            uitest::flush();

            last.push_back({code, name, int(g_page_focus)});
            if (last.size() > 40)
                last.pop_front();

            for (Screen *s : all_screens()) {
                QPointer<QWidget> w = s->widget();
                if (!seen.contains(w))
                    seen << w;
            }
            const uint8_t page = g_page_focus;
            pages.insert(page);
            Screen *current = screen_at(page);
            Screen *top = top_screen();
            if (page >= PAGE_COUNT)
                failure = report(QStringLiteral("page %1 out of range").arg(page));
            else if (!current || !current->widget()->isVisible())
                failure = report(QStringLiteral("no visible screen for page %1").arg(page));
            else if (top && top->page() != page && !(g_numberkeyboard && g_numberkeyboard->isVisible()))
                failure = report(QStringLiteral("page %1 current, page %2 on top").arg(page).arg(top->page()));
            else if (!g_mainwindow)
                failure = report(QStringLiteral("main window gone"));

            const QList<QWidget *> globals = {g_lockwindow, g_custommode};
            for (QWidget *g : globals) {
                if (!g)
                    continue;
                bool alive = false;
                for (const QPointer<QWidget> &p : seen)
                    alive = alive || (p && p.data() == g);
                if (!alive)
                    failure = report(QStringLiteral("a page pointer dangles"));
            }
            if ((page == PAGE_LOCKWINDOW && !g_lockwindow) || (page == PAGE_CUSTOMMODE && !g_custommode))
                failure = report(QStringLiteral("page %1 without its pointer").arg(page));
        }
        if (!failure.isEmpty())
            QFAIL(qPrintable(failure));

        // Most of the storm is spent below the main menu: it must have gone places.
        QVERIFY2(pages.contains(PAGE_LOCKWINDOW) && pages.contains(PAGE_MAINWINDOW) && pages.contains(PAGE_CUSTOMMODE),
                 qPrintable(QStringLiteral("seed %1 reached too few pages").arg(seed)));

        mainfx::chip_pass();
        const QByteArray file = read_dev_file(QStringLiteral("/data/ram_device_info"));
        QCOMPARE(file.size(), Ram::kSize);
        QCOMPARE(uint8_t(file.at(0)), uint8_t(0xAA));
        QCOMPARE(uint8_t(file.at(1)), uint8_t(0xAA));
        const QByteArray image(reinterpret_cast<const char *>(uitest::para()->RAM_PARA + Ram::kSavedFrom),
                               Ram::kSize - Ram::kSavedFrom);
        if (file.mid(2, image.size()) != image) {
            int at = 0;
            while (at < image.size() && file.at(2 + at) == image.at(at))
                ++at;
            QFAIL(qPrintable(QStringLiteral("seed %1: parameter file differs from the image at offset %2")
                                 .arg(seed)
                                 .arg(at + Ram::kSavedFrom)));
        }
        QList<uint8_t> reached = pages.values();
        std::sort(reached.begin(), reached.end());
        QStringList names;
        for (uint8_t pg : reached)
            names << QString::number(pg);
        qInfo("seed %u, %d keys, pages reached: %s", seed, count, qPrintable(names.join(QLatin1Char(' '))));
    }
};

QTEST_MAIN(TestKeyStorm)
#include "test_keystorm.moc"
