#pragma once

#include "print/IniFile.h"
#include "print/SheetLayout.h"

#include <QStringList>

#include <vector>

// Card stock layouts of the user's own, kept in the settings file: a section
// "Sheet:" and the layout's name, with Paper (A4 or Letter), Columns, Rows,
// and in whole hundredths of a millimetre, as the printers' calibration,
// Left and Top (the first stock card's corner), DX and DY (the pitch), W
// and H (the stock card, the pitch where they are left out), and Marks (1
// or 0).
QString sheetSection(const QString& name);

// The names of the layouts saved in a file, in its order; one a built-in
// layout's name hides is left out.
QStringList savedSheetNames(const IniFile& ini);
// One saved layout, checked. A SheetError in one line that names the
// section where it is missing, saved wrongly or refused by checkSheet.
SheetLayout savedSheet(const IniFile& ini, const QString& name);
// The saved layouts that can be printed on, in the file's order; a broken
// one is left out.
std::vector<SheetLayout> savedSheets(const IniFile& ini);
// A built-in layout, else one saved in the file, by its name in any case;
// a SheetError where there is none or the saved one is broken.
SheetLayout sheetNamed(const QString& name, const IniFile& ini);

// Whether a name is taken by a layout the program knows.
bool isBuiltInSheet(const QString& name);
// Saves a layout under its name, replacing a saved one of that name, after
// checkSheet; a built-in's name is refused with a SheetError. Throws
// IniWriteError as every settings write does.
void saveSheet(const IniFile& ini, const SheetLayout& layout);
void removeSavedSheet(const IniFile& ini, const QString& name);

// The settings file of the print dialog's saved layouts; none (empty, and
// nothing saved) until the program gives it.
void setSavedSheetsFile(const QString& fileName);
const QString& savedSheetsFile();
