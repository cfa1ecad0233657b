#pragma once

#include <QString>
#include <QStringList>

// The scalable face that "MS Sans Serif" is drawn with. The free MS Sans
// Serif files are bitmaps in three pixel sizes only: text of any other size,
// and every printed card, would come out at one of those sizes.
inline const QString MsSansSerifStandIn = QStringLiteral("Liberation Sans");

// Registers the free faces that stand in for the cards' usual fonts with
// the application's font database (Tahoma and Wingdings come from the
// system's wine font package; Arial and Courier New need nothing, fontconfig
// maps them to the metric-compatible Liberation faces), sets the MS Sans Serif stand-in, and gives the files that could
// not be loaded (empty when all were). Safe to call more than once.
QStringList registerBundledFonts();

// The font families a card's text may use: the system's and the registered
// ones whose names a card file and the settings file can store
// (Windows-1250), each once ("C059 [urw]" and "C059" are one family), sorted without
// regard to letter case. Built on the first call and kept: asking the font
// database is slow, and fonts installed meanwhile are not looked for.
QStringList installedFontFamilies();
