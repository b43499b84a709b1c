#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include "screen.h"

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ui_init_resources(); }

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
        for (const QString &name : ui.entryList({QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.ui")})) {
            QFile f(ui.filePath(name));
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
        for (const QString &use : named) {
            if (QImage(use.section(QStringLiteral(": "), 1)).isNull())
                missing << use;
        }
        missing.removeDuplicates();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));

        const QDir tree(QStringLiteral(":/png"));
        for (const QString &name : tree.entryList(QDir::Files)) {
            const QImage img(tree.filePath(name));
            QVERIFY2(!img.isNull() && img.width() <= 320 && img.height() <= 240, qPrintable(name));
        }
    }
};

QTEST_MAIN(TestResources)
#include "test_resources.moc"
