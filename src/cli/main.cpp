#include "cli/Dump.h"

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
    std::cerr << "usage: lapora-cli dump FILE.bcrd | lapora-cli build FILE.json OUT.bcrd\n";
    return 2;
}
