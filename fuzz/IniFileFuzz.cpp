// Feeds arbitrary bytes to the settings file reader and writer. Reads never
// fail; a write gives back what was written and leaves the other settings
// as they read before.
#include "print/IniFile.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

QString scratchPath()
{
    static QString path = [] {
        // In memory: flushing each write to a disk would slow each run down.
        char pattern[] = "/dev/shm/ini-fuzz-XXXXXX";
        return QString::fromLocal8Bit(::mkdtemp(pattern)) + "/Lapora2.ini";
    }();
    return path;
}

[[noreturn]] void finding(const char* what)
{
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = scratchPath();
    FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    try {
        const IniFile ini(path);
        const QString lang = ini.readString("Lang", "File", "none");
        const int fontSize = ini.readInteger("Screen", "FontSize", 9);
        const bool bold = ini.readBool("Font", "Bold", false);
        const int left = ini.readInteger("frm_Main", "Left", 10);

        ini.writeString("Font", "Name", "Tahoma");
        if (ini.readString("Font", "Name", "") != "Tahoma")
            finding("the written name does not read back");
        if (ini.readString("Lang", "File", "none") != lang || ini.readInteger("Screen", "FontSize", 9) != fontSize
            || ini.readBool("Font", "Bold", false) != bold || ini.readInteger("frm_Main", "Left", 10) != left)
            finding("a write changed another setting");
    } catch (const IniWriteError&) {
        // A file that cannot be written is reported to the user.
    } catch (const std::exception& error) {
        finding(error.what());
    }
    return 0;
}
