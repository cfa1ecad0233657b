#include "cli/Dump.h"
#include "cli/Render.h"

#include <iostream>
#include <string>

int runBuild(const std::string& jsonPath, const std::string& outPath);

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "dump" && argc == 3)
        return runDump(argv[2]);
    if (command == "build" && argc == 4)
        return runBuild(argv[2], argv[3]);
    if (command == "render") {
        if (const auto request = parseRender(std::vector<std::string>(argv + 2, argv + argc)))
            return runRender(argc, argv, *request);
    }
    if (command == "calibration") {
        if (const auto request = parseCalibration(std::vector<std::string>(argv + 2, argv + argc)))
            return runRender(argc, argv, *request);
    }
    std::cerr << "usage: lapora-cli dump FILE.bcrd\n"
                 "       lapora-cli build FILE.json OUT.bcrd\n"
                 "       lapora-cli render FILE.bcrd --pdf OUT.pdf | --png OUT.png [--dpi N] [--card]\n"
                 "                  [--copies N] [--start N] [--back BACK.bcrd] [--flip long|short]\n"
                 "                  [--offset X,Y] [--scale X,Y] [--back-offset X,Y]\n"
                 "       lapora-cli render FILE.bcrd --merge DATA.csv|DATA.vcf --pdf OUT.pdf [--copies N]\n"
                 "                  [--start N] [--back BACK.bcrd] [--flip long|short] [...]\n"
                 "       lapora-cli calibration --pdf OUT.pdf | --png OUT.png [--dpi N]\n";
    return 2;
}
