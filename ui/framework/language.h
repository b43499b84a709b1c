#pragma once
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include "vocabulary.h"

class QLabel;

// The language whose texts are shown: g_language when its bit in g_lcd_lang_valid is set, else
// English.
int ui_language();
// One text in the five languages, in the order zh-Hans, en, ru, vi, zh-Hant.
QString tr5(const char *zh, const char *en, const char *ru, const char *vi, const char *tw);
// ":/png/" + language prefix ("", "en_", "ru_", "vn_", "tn_") + name.
QString lang_png(const QString &name);

// A compiled-in picture. Every picture a screen shows goes through these two, so that a name that
// resolves to nothing is noticed (missing_pictures) instead of showing an empty label.
QPixmap png(const QString &path);
// The icon of a compiled-in picture, decoded once per process: QIcon(path) decodes the file on
// every call, and screens are built anew each time they open.
QIcon cached_icon(const QString &path);
// The paths asked for that are not in the resources, in the order first asked; the screen walker
// fails on any.
const QStringList &missing_pictures();

// Shows a name from the names file or from the user exactly as typed: never as rich text.
void set_plain_text(QLabel *label, const QString &text);
