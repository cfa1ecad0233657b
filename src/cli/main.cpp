#include "Version.h"
#include "cli/Dump.h"
#include "cli/Render.h"
#include "cli/Sheets.h"

#include <iostream>
#include <string>

int runBuild(const std::string& jsonPath, const std::string& outPath);

namespace {

// The same commands and options as the manual page.
const char* const Usage =
    "usage: lapora-cli dump FILE.bcrd\n"
    "       lapora-cli build FILE.json OUT.bcrd\n"
    "       lapora-cli render FILE.bcrd --pdf OUT.pdf | --png OUT.png [--dpi N] [--card]\n"
    "                  [--copies N] [--start N] [--back BACK.bcrd] [--flip long|short]\n"
    "                  [--offset X,Y] [--scale X,Y] [--back-offset X,Y]\n"
    "                  [--sheet NAME | --layout GRID] [--marks on|off]\n"
    "       lapora-cli render FILE.bcrd --merge DATA.csv|DATA.vcf --pdf OUT.pdf [--copies N]\n"
    "                  [--start N] [--back BACK.bcrd] [--flip long|short]\n"
    "                  [--offset X,Y] [--scale X,Y] [--back-offset X,Y]\n"
    "                  [--sheet NAME | --layout GRID] [--marks on|off] [--fit shrink|off]\n"
    "       lapora-cli render FILE.bcrd --print-shop OUT.pdf [--bleed MM] [--crop-marks]\n"
    "                  [--back BACK.bcrd] [--merge DATA.csv|DATA.vcf [--fit shrink|off]]\n"
    "       lapora-cli calibration --pdf OUT.pdf | --png OUT.png [--dpi N]\n"
    "                  [--sheet NAME | --layout GRID]\n"
    "       lapora-cli sheets\n"
    "       lapora-cli --help | --version\n"
    "\n"
    "  dump         print a card file's records as JSON\n"
    "  build        write a card file from JSON records (as dump prints them)\n"
    "  render       draw the printed sheet of ten cards (or the card alone, --card)\n"
    "  calibration  draw the calibration sheet of the printer calibration\n"
    "  sheets       list the card stock layouts, built in and saved: name, paper, grid, card size\n"
    "\n"
    "  --pdf OUT.pdf        write a PDF, one page per sheet\n"
    "  --png OUT.png        write a PNG picture; several pages as OUT-1.png, OUT-2.png, ...\n"
    "  --dpi N              resolution of a PNG, 300 unless given\n"
    "  --card               the card alone instead of the sheet\n"
    "  --copies N           number of cards, 1 to 1000 (per person with --merge; 10 unless given)\n"
    "  --start N            first position to use on the first sheet, 1 to the sheet's card count\n"
    "  --back BACK.bcrd     back side: each sheet is followed by its back page\n"
    "  --flip long|short    edge the sheet is turned over for the back, long unless given\n"
    "  --offset X,Y         calibration offset in mm, -20 to 20\n"
    "  --scale X,Y          calibration scale in percent, 90 to 110\n"
    "  --back-offset X,Y    the back page's own offset in mm\n"
    "  --sheet NAME         a card stock layout by the name lapora-cli sheets lists: built in,\n"
    "                       or saved by the designer in its settings file\n"
    "  --layout GRID        a layout of your own, COLSxROWS,LEFT,TOP,DX,DY[,W,H][,a4|letter]\n"
    "                       in mm: the grid, the first card's corner, the pitch, the stock card\n"
    "                       (the pitch unless given) and the paper (a4 unless given)\n"
    "  --marks on|off       cut marks at each card's corners (off on perforated stock)\n"
    "  --merge DATA         a card per record of a CSV or vCard file, placeholders filled (PDF only)\n"
    "  --fit shrink|off     a filled text too wide for the card drawn smaller, down to 6 pt, for\n"
    "                       that person alone (shrink unless given); the people are listed on stderr\n"
    "  --print-shop OUT.pdf a print shop's PDF/X-3 in CMYK: one card a page at a 90 x 50 mm trim,\n"
    "                       its back after it; what a shop would object to is said on stderr\n"
    "  --bleed MM           bleed around the trim, 0 to 5 in steps of 0.5, 3 unless given\n"
    "  --crop-marks         crop marks outside the bleed\n"
    "  --help               print this help and exit\n"
    "  --version            print the version and exit\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written or a value is wrong\n"
    "(nothing is written then), 2 the command line is not understood.\n";

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" && argc == 2) {
        std::cout << Usage;
        return 0;
    }
    if (command == "--version" && argc == 2) {
        std::cout << "lapora-cli " LAPORA_VERSION "\n";
        return 0;
    }
    if (command == "dump" && argc == 3)
        return runDump(argv[2]);
    if (command == "build" && argc == 4)
        return runBuild(argv[2], argv[3]);
    if (command == "sheets" && argc == 2)
        return runSheets(argc, argv);
    if (command == "render") {
        if (const auto request = parseRender(std::vector<std::string>(argv + 2, argv + argc)))
            return runRender(argc, argv, *request);
    }
    if (command == "calibration") {
        if (const auto request = parseCalibration(std::vector<std::string>(argv + 2, argv + argc)))
            return runRender(argc, argv, *request);
    }
    std::cerr << Usage;
    return 2;
}
