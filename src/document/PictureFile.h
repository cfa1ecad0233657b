#pragma once

#include <QSize>
#include <QString>

#include <string>

// The filter of the picture dialogs, as the user reads it.
const QString& pictureFilter();

// A picture file the user chose: its bytes, its extension with the dot as
// the name writes it (Windows-1250), and the picture's own size in pixels.
struct ChosenPicture
{
    std::string bytes;
    std::string extension;
    QSize size;
};

// Reads and decodes the file before anything changes: a file that is not a
// regular file, or no picture of its type, is refused with its message.
ChosenPicture readChosenPicture(const QString& path);
