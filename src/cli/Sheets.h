#pragma once

#include "print/SheetLayout.h"

#include <optional>
#include <string>

// The sheet options of render and calibration as given: a known sheet by
// name (--sheet; built in, or saved by the designer), a layout of the
// user's own (--layout COLSxROWS,LEFT,TOP,DX,DY[,W,H][,a4|letter] in
// millimetres, the stock card the pitch when left out, on A4 unless named)
// and the cut marks (--marks on|off).
struct SheetOptions
{
    std::optional<std::string> name;
    std::optional<std::string> layout;
    std::optional<std::string> marks;

    bool given() const { return name || layout || marks; }
};

// The layout the options make, checked; the program's own sheet when none
// is given. A SheetError with its one line where a value is bad.
SheetLayout sheetOf(const SheetOptions& options);

// lapora-cli sheets: the known layouts, then those the designer saved in its
// settings file (read, never written), one a line: name, paper, grid and
// the stock card's size, separated by tabs.
int runSheets(int argc, char** argv);
