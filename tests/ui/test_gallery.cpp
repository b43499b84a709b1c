// The gallery against its committed pictures: every screen in every language looks as it did when
// the pictures were last made on purpose (./scripts/gallery). A picture that differs is written to
// gallery-actual/ beside the test, for a look.
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QtTest>

#include "render.h"

namespace {
// Anti-aliasing may move a channel a little; anything more is a changed picture.
constexpr int kChannelTolerance = 24;

// The pixels that differ by more than the tolerance, or -1 when the sizes differ.
int differing_pixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32), y = b.convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            if (qAbs(qRed(p[col]) - qRed(q[col])) > kChannelTolerance || qAbs(qGreen(p[col]) - qGreen(q[col])) > kChannelTolerance
                || qAbs(qBlue(p[col]) - qBlue(q[col])) > kChannelTolerance)
                ++n;
        }
    }
    return n;
}
}

class TestGallery : public QObject
{
    Q_OBJECT
private slots:
    // The pictures hold only while the tests draw with the fonts scripts/deps installs, whatever
    // else the machine has: the families Qt sees, and where a family the screens ask for lands.
    void fonts_are_the_projects()
    {
        const QFontDatabase fonts;
        // Qt's own three generic names besides the families of the files.
        QCOMPARE(fonts.families(), (QStringList{"DejaVu Math TeX Gyre", "DejaVu Sans", "DejaVu Sans Condensed",
                                                "DejaVu Sans Mono", "DejaVu Serif", "DejaVu Serif Condensed", "Monospace",
                                                "Sans Serif", "Serif", "WenQuanYi Micro Hei", "WenQuanYi Micro Hei Mono"}));
        QCOMPARE(fonts.families(QFontDatabase::SimplifiedChinese), (QStringList{"WenQuanYi Micro Hei", "WenQuanYi Micro Hei Mono"}));
        for (const char *asked : {"Arial", "Ubuntu", "Sans Serif"})
            QCOMPARE(QFontInfo(QFont(QLatin1String(asked))).family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("DejaVu Sans"));
    }
    void pictures_as_committed()
    {
        const QDir committed(QStringLiteral(ZEM_SOURCE_DIR "/tests/ui/gallery"));
        const QDir actual(QDir::current().filePath(QStringLiteral("gallery-actual")));
        QDir(actual).removeRecursively();
        QStringList rendered, faults;
        gallery_render([&](const QString &stem, const QImage &picture) {
            rendered << stem + QStringLiteral(".png");
            const QImage expected(committed.filePath(stem + QStringLiteral(".png")));
            const int n = expected.isNull() ? -2 : differing_pixels(picture, expected);
            if (n == 0)
                return;
            faults << (n == -2 ? stem + QStringLiteral(": no committed picture")
                               : QStringLiteral("%1: %2 pixels differ").arg(stem).arg(n));
            QDir().mkpath(actual.path());
            picture.save(actual.filePath(stem + QStringLiteral(".png")));
        });
        for (const QString &name : committed.entryList({QStringLiteral("*.png")}))
            if (!rendered.contains(name))
                faults << name + QStringLiteral(": committed, but no shot makes it");
        QVERIFY(rendered.size() >= 170);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestGallery)
#include "test_gallery.moc"
