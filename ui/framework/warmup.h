#pragma once
#include <QFont>
#include <QStringList>
#include <atomic>
#include <vector>

class QWidget;

// A screen's first open would pay for matching its fonts, rasterising their glyphs, decoding its
// pictures and the first drawing of a panel-sized screen: several times what its later opens
// cost. Once the home screen has been painted, these are done in idle time, a few at a time, so
// that no step holds a tick and the first open of a screen finds them done.
namespace Warmup {

// Starts warming after `home`'s first paint, once per process; returns at once.
void after_first_paint(QWidget *home);

// The fonts the screens draw their texts in, on the application's font.
std::vector<QFont> screen_fonts();

// What each font is drawn with: the figures, Latin letters and signs every language shows, and a
// word of the script of the language shown now.
QString sample_text();

// The pictures of the language shown now: those of every language and the language's own.
QStringList language_pictures();

// The things not warmed yet.
int pending();
// Warms the next few things, for about a millisecond here; false once nothing is left.
bool step();

// Tests: told of every run of glyphs as it is drawn, with the font it is drawn in.
extern std::atomic<void (*)(const QFont &font, const QString &glyphs)> drawn_hook;

}
