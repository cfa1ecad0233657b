#pragma once

#include <QString>

#include <string_view>

// Text in Windows metafiles and in the 8-bit text records of enhanced ones
// is in the code page of the font's character set.
QString decodeAnsiText(std::string_view bytes, int charset);
