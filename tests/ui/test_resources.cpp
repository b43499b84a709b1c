#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include "screen.h"

// Every image the screens name must be in the compiled-in resource tree: the sources are read at
// test time, so a screen added later is checked too.
class TestResources : public QObject
{
    Q_OBJECT

    struct Use
    {
        QString file;
        QString path;
    };

    static QList<Use> uses()
    {
        QList<Use> out;
        const QDir ui(QStringLiteral(ZEM_SOURCE_DIR "/ui"));
        const QRegularExpression plain(QStringLiteral("\":/png/([^\"]+)\""));
        // lang_png("name") and lang_png(QStringLiteral("name")): all five language variants
        const QRegularExpression per_language(
            QStringLiteral("lang_png\\(\\s*(?:QStringLiteral\\(|QLatin1String\\()?\\s*\"([^\"]+)\""));
        static const char *const prefixes[5] = {"", "en_", "ru_", "vn_", "tn_"};
        for (const QString &name : ui.entryList({QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.ui")},
                                                QDir::Files)) {
            QFile f(ui.filePath(name));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(f.readAll());
            for (auto it = plain.globalMatch(text); it.hasNext();) {
                const QString path = it.next().captured(1);
                // a name built at run time ("...%1...") is checked where it is built
                if (!path.contains(QLatin1Char('%')))
                    out.push_back({name, QStringLiteral(":/png/") + path});
            }
            for (auto it = per_language.globalMatch(text); it.hasNext();) {
                const QString base = it.next().captured(1);
                for (const char *prefix : prefixes)
                    out.push_back({name, QStringLiteral(":/png/") + QLatin1String(prefix) + base});
            }
        }
        return out;
    }

private slots:
    void initTestCase() { ui_init_resources(); }

    void every_named_image_resolves()
    {
        const QList<Use> all = uses();
        QVERIFY(all.size() >= 9);   // the framework's own images at least
        QStringList missing;
        for (const Use &u : all) {
            if (!QFile::exists(u.path) || QImage(u.path).isNull())
                missing << u.file + QStringLiteral(": ") + u.path;
        }
        missing.removeDuplicates();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }

    // Drawn for the 320 x 240 panel: nothing larger than the panel, nothing empty.
    void images_fit_the_panel()
    {
        const QDir tree(QStringLiteral(":/png"));
        const QStringList files = tree.entryList(QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString &name : files) {
            const QImage img(tree.filePath(name));
            QVERIFY2(!img.isNull(), qPrintable(name));
            QVERIFY2(img.width() <= 320 && img.height() <= 240, qPrintable(name));
        }
    }
};

QTEST_MAIN(TestResources)
#include "test_resources.moc"
