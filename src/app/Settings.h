#pragma once

#include "document/Dialogs.h"
#include "print/PrintShop.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

// The desktop work area by its far edges. Right and Bottom lie one past the
// last pixel (x + width, y + height), so a window of width Right at Left 0
// exactly fills the area. The near edges are never consulted.
struct WorkAreaRect
{
    int Right = 0;
    int Bottom = 0;
};

// Computed once before any window exists and kept for the whole run.
extern QString ProgramDir;
extern QString DataDir;
extern QString IniFileName;
extern WorkAreaRect WorkArea;

// The settings that live in memory while the program runs; they reach the
// file through SaveSettings at exit, the recent cards also whenever their
// list changes.
struct TBeall
{
    QString LangFile; // kept only to be written back unchanged
    int FontSize = 9; // interface font size, points
    QFont DefaultFont; // the font of new text layers
    int Zoom = 100; // the card surface's zoom, percent: the last one chosen
    QStringList RecentCards; // the cards last opened or saved, the latest first
    bool CutGuides = false; // the print shop's cut lines on the card surface
    // The print shop's file: the bleed (mm), the crop marks and the folder
    // of the last one written.
    double PrintShopBleed = printshop::DefaultBleed;
    bool PrintShopCropMarks = false;
    QString PrintShopFolder;
    // A picture far finer than its box prints: asked about, or the answer
    // the user had remembered.
    LargePictures LargePictureAnswer = LargePictures::Ask;
};

extern TBeall Beall;

// How many cards the File menu lists.
constexpr int MaxRecentCards = 8;

// From the system: the executable's folder, the data folder under the
// user's data location, and the primary screen's work area. Call after the
// application object exists and before any window does.
void initPaths();
// The same from given values. An empty appDataDir stands for a system that
// could not name one; the program folder then serves as the data folder.
void initPaths(const QString& programDir, const QString& appDataDir, WorkAreaRect workArea);

// At main window creation, before the settings are read: an INI file beside
// the executable wins over the data folder (a portable install), and the
// data folder is made if it is missing. A failure here is not reported; the
// reads then give defaults and the first write reports.
void prepareDataDir();

// A font object ignores an empty name (a blank "Name" key leaves the font
// as it was) and keeps at most 31 characters of a name, the most a face
// name may have.
constexpr qsizetype MaxFontNameLength = 31;
void setFontName(QFont& font, const QString& name);

// Gives Beall.DefaultFont its initial face, before LoadSettings fills it in.
void createDefaultFont();

void LoadSettings();
// Throws IniWriteError; the keys written before the failure stay written.
void SaveSettings();
// The [Recent] section alone, as Beall holds it; throws as SaveSettings.
void SaveRecentCards();

// Reads a window's saved bounds (Left and Top default to 10) and fits them
// into the work area.
QRect LoadFormBounds(const QString& section, int defaultWidth, int defaultHeight);
void SaveFormBounds(const QString& section, const QRect& bounds);
// Dialogs keep only their position, used as saved even when off-screen.
QPoint LoadFormPos(const QString& section);
void SaveFormPos(const QString& section, const QPoint& pos);

// Moves a window back inside the work area's right and bottom edges, and
// shrinks it to them when it is larger. Negative Left and Top stay: a
// maximised-looking window sits a few pixels beyond the top-left corner.
QRect fitIntoWorkArea(QRect bounds, int right, int bottom);
