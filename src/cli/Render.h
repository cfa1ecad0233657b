#pragma once

#include "cli/Sheets.h"

#include <optional>
#include <string>
#include <vector>

// lapora-cli render CARD.bcrd --pdf OUT.pdf | --png OUT.png [--dpi N] [--card]
//     [--copies N] [--start N] [--back BACK.bcrd] [--flip long|short]
//     [--offset X,Y] [--scale X,Y] [--back-offset X,Y]
//     [--sheet NAME | --layout COLSxROWS,LEFT,TOP,DX,DY[,W,H][,a4|letter]] [--marks on|off]
// lapora-cli render CARD.bcrd --merge DATA.csv|DATA.vcf --pdf OUT.pdf
//     [--copies N] [--start N] [--back BACK.bcrd] [--fit shrink|off] [...]:
//     each record's card N times (10 unless given)
// lapora-cli calibration --pdf OUT.pdf | --png OUT.png [--dpi N] [--sheet NAME | --layout ...]
struct RenderRequest
{
    std::string cardFile;
    std::string output;
    bool pdf = false;
    bool card = false;  // the card alone instead of the sheet
    int dpi = 0;        // pictures only; 300 when not given
    bool calibrationSheet = false;
    // Card stock: the options as given, checked when the job is made, so
    // that a bad value gets its own message.
    std::optional<std::string> copies;
    std::optional<std::string> start;
    std::optional<std::string> back;
    std::optional<std::string> flip;
    std::optional<std::string> offset;
    std::optional<std::string> scale;
    std::optional<std::string> backOffset;
    std::optional<std::string> merge;  // the data file of a merge
    std::optional<std::string> fit;    // shrink or off: how a merge fits its texts
    SheetOptions sheet;
    // A print shop's PDF/X of each card instead of sheets.
    bool printShop = false;
    std::optional<std::string> bleed;
    bool cropMarks = false;

    bool cardStock() const
    {
        return copies || start || back || flip || offset || scale || backOffset || merge || sheet.given();
    }
};

// The request the arguments after "render" (or "calibration") make, or
// nothing when they make none.
std::optional<RenderRequest> parseRender(const std::vector<std::string>& arguments);
std::optional<RenderRequest> parseCalibration(const std::vector<std::string>& arguments);

// Draws the card's sheet (or the card) into the output file; 1 with the
// message on standard error when a value is bad or the card cannot be read
// or drawn, and then no file is written.
int runRender(int argc, char** argv, const RenderRequest& request);
