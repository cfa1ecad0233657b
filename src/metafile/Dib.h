#pragma once

#include <QImage>

#include <string_view>

class WorkBudget;

// A device-independent bitmap as the metafile records it: its header and
// colour table, and apart from them the pixel rows.
struct DibParts
{
    std::string_view info;
    std::string_view bits;
    bool paletteIndices = false;  // DIB_PAL_COLORS: the table holds palette indexes
    bool keepAlpha = false;       // only alpha blending reads the fourth byte
};

// A null image when the header lies about what the bytes hold: sizes, bit
// counts, colour tables or row data that are not there.
QImage decodeDib(const DibParts& parts, WorkBudget& budget);

// Rows of such a bitmap run from the bottom up, and a source rectangle in
// it counts y from its bottom edge.
bool dibIsBottomUp(std::string_view info);

// Windows metafile records keep header, colour table and rows in one block.
QImage decodePackedDib(std::string_view packed, bool paletteIndices, WorkBudget& budget);
