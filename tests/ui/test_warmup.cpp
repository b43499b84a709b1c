#include "global.h"
#include "uitest.h"
#include "warmup.h"

namespace {
// The glyphs the warming drew, by font.
QMap<QString, QString> &drawn()
{
    static QMap<QString, QString> runs;
    return runs;
}
}

class TestWarmup : public QObject
{
    Q_OBJECT
private slots:
    void init() { uitest::fresh_ui(); }
    void cleanup() { uitest::close_all(); }

    // Each language's own picture in place of the unprefixed one of its name, no other
    // language's, and the pictures every language shares.
    void pictures_of_the_language_shown_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("warmed");
        QTest::addColumn<QStringList>("left_out");
        QTest::newRow("zh") << int(LANG_ZH_HANS) << QStringList{"option.png", "lock.png"}
                            << QStringList{"en_option.png", "tn_option.png"};
        QTest::newRow("en") << int(LANG_EN) << QStringList{"en_option.png", "lock.png"}
                            << QStringList{"option.png", "ru_option.png"};
        QTest::newRow("vi") << int(LANG_VI) << QStringList{"vn_option.png", "lock.png"}
                            << QStringList{"option.png", "en_option.png"};
    }
    void pictures_of_the_language_shown()
    {
        QFETCH(int, language);
        QFETCH(QStringList, warmed);
        QFETCH(QStringList, left_out);
        g_lcd_lang_valid = 0x1F;
        g_language = uint8_t(language);
        const QStringList pictures = Warmup::language_pictures();
        for (const QString &name : warmed)
            QVERIFY2(pictures.contains(":/png/" + name), qPrintable(name));
        for (const QString &name : left_out)
            QVERIFY2(!pictures.contains(":/png/" + name), qPrintable(name));
        for (const QString &path : pictures)
            QVERIFY2(!png(path).isNull(), qPrintable(path));
        g_language = LANG_ZH_HANS;
    }

    // Nothing is warmed before the home screen is painted; a step is short, so that the warming
    // takes many and the ticks run between them; after the paint the event loop warms the rest,
    // every glyph of the sample in every font.
    void warming_follows_the_first_paint_step_by_step()
    {
        drawn().clear();
        Warmup::drawn_hook = [](const QFont &font, const QString &glyphs) { drawn()[font.key()] += glyphs; };
        QWidget home;
        home.resize(320, 240);
        Warmup::after_first_paint(&home);
        const int all = Warmup::pending();
        QVERIFY(all > 0);
        // Shown, not painted yet.
        home.setUpdatesEnabled(false);
        home.show();
        QVERIFY(zemtest::wait_exposed(&home));
        QCoreApplication::processEvents();
        QCOMPARE(Warmup::pending(), all);

        QVERIFY(Warmup::step());
        const int after_one = Warmup::pending();
        QVERIFY2(after_one > 0 && after_one < all, qPrintable(QString::number(after_one)));

        home.setUpdatesEnabled(true);
        ZEM_TRY_COMPARE(Warmup::pending(), 0);
        Warmup::drawn_hook = nullptr;

        // Every font drew the whole sample, each glyph once, wherever the runs were cut.
        QMap<QString, QString> want;
        for (const QFont &f : Warmup::screen_fonts())
            want[f.key()] = Warmup::sample_text();
        QCOMPARE(int(want.size()), int(Warmup::screen_fonts().size()));
        QCOMPARE(drawn(), want);
    }
};

QTEST_MAIN(TestWarmup)
#include "test_warmup.moc"
