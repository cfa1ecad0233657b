#pragma once

#include <QString>

// The print shop's CMYK profile (coated offset, FOGRA39), built with the
// program: the folder holding it as PrintShopProfileName, and beside it gs/,
// the profile folder for Ghostscript, whose default_cmyk.icc is the same
// profile. Ghostscript takes that folder as -sICCProfilesDir=DIR/gs/ and
// stops with a rangecheck when the trailing slash is missing.
inline constexpr char PrintShopProfileName[] = "lapora-fogra39.icc";

// The folder of the running program's profile: the build's color folder
// for a program in the build folder, else the installed one relative to
// the program. Fails with a PrintError when the profile is not there.
QString printShopProfileDir();
// The same for a program in programDir.
QString printShopProfileDir(const QString& programDir);
