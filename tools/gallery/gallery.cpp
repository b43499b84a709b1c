// gallery OUTDIR: every screen in the five languages as 320 x 240 PNGs, named <shot>_<lang>.png.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <cstdio>

#include "render.h"

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The fonts of scripts/deps and nothing else the machine has, as in the tests.
    qputenv("FONTCONFIG_FILE", ZEM_FONTS_CONF);
    qunsetenv("FONTCONFIG_PATH");
    qunsetenv("FONTCONFIG_SYSROOT");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: gallery OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.absolutePath());
    int written = 0;
    gallery_render([&](const QString &stem, const QImage &picture) {
        const QString file = out.filePath(stem + QStringLiteral(".png"));
        if (picture.save(file))
            ++written;
        else
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    });
    std::printf("%d pictures in %s\n", written, qPrintable(out.absolutePath()));
    return 0;
}
