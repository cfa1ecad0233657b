#pragma once

#include <QString>

#include <string>

// The one conversion between the Windows-1250 bytes of the table, the card
// files and the settings file, and the interface's text.
QString fromWin1250(const std::string& bytes);
// A character Windows-1250 cannot hold is never dropped silently: the
// conversion fails with a message that quotes the text. The editors never
// let such characters in.
std::string toWin1250(const QString& text);
// True when every character of text has a Windows-1250 byte.
bool fitsWin1250(const QString& text);
