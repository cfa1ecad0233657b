#pragma once

#include <optional>
#include <string>
#include <vector>

// lapora-cli render CARD.bcrd --pdf OUT.pdf | --png OUT.png [--dpi N] [--card]
struct RenderRequest
{
    std::string cardFile;
    std::string output;
    bool pdf = false;
    bool card = false;  // the card alone instead of the sheet
    int dpi = 0;        // pictures only; 300 when not given
};

// The request the arguments after "render" make, or nothing when they make
// none.
std::optional<RenderRequest> parseRender(const std::vector<std::string>& arguments);

// Draws the card's sheet (or the card) into the output file; 1 with the
// message on standard error when the card cannot be read or drawn, and then
// no file is written.
int runRender(int argc, char** argv, const RenderRequest& request);
