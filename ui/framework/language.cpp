#include "language.h"

#include <QHash>
#include <QLabel>

#include "global.h"

int ui_language()
{
    const int lang = g_language;
    if (lang >= 0 && lang < LANG_COUNT && (g_lcd_lang_valid & (1u << lang)))
        return lang;
    return LANG_EN;
}

QString tr5(const char *zh, const char *en, const char *ru, const char *vi, const char *tw)
{
    const char *texts[LANG_COUNT] = {zh, en, ru, vi, tw};
    return QString::fromUtf8(texts[ui_language()]);
}

QString lang_png(const QString &name)
{
    static const char *const prefixes[LANG_COUNT] = {"", "en_", "ru_", "vn_", "tn_"};
    return QStringLiteral(":/png/") + QLatin1String(prefixes[ui_language()]) + name;
}

static QStringList &missing()
{
    static QStringList list;
    return list;
}

static void note_missing(const QString &path)
{
    if (!missing().contains(path))
        missing() << path;
}

QPixmap png(const QString &path)
{
    // Qt's lookup of a picture by name asks for the file's date, and each date asks the C
    // library for the time zone, which reads /etc/localtime again: a disk access per picture
    // per open. The pictures built into the program never change and all of them decoded come
    // to about a megabyte and a half, so each is kept once decoded; the pixel data is shared
    // with the labels showing it.
    static QHash<QString, QPixmap> built_in;
    const bool resource = path.startsWith(QLatin1Char(':'));
    if (resource) {
        const auto it = built_in.constFind(path);
        if (it != built_in.cend())
            return *it;
    }
    QPixmap pixmap(path);
    if (pixmap.isNull())
        note_missing(path);
    else if (resource)
        built_in.insert(path, pixmap);
    return pixmap;
}

QIcon cached_icon(const QString &path)
{
    static QHash<QString, QIcon> icons;
    auto it = icons.constFind(path);
    if (it == icons.cend()) {
        // Through the pictures' cache: a picture decoded ahead of time is not decoded again.
        it = icons.insert(path, QIcon(png(path)));
    }
    return *it;
}

const QStringList &missing_pictures()
{
    return missing();
}

void set_plain_text(QLabel *label, const QString &text)
{
    if (!label)
        return;
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
}
