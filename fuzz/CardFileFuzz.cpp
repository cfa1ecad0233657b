// Feeds arbitrary bytes to the card file reader with the card window's own
// table, and to lapora-cli dump. Any input must load or fail with its
// message, never crash, hang or throw anything else; whatever loads must
// save and load again to the same fields and values; dump must always give
// its JSON object.
#include "cli/Dump.h"
#include "layer/LayerRecord.h"
#include "storage/TableError.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

int inputFd()
{
    static int fd = ::memfd_create("card", 0);
    return fd;
}

std::string scratchPath()
{
    static std::string path = [] {
        // In memory: flushing the saved card to a disk would slow each run down.
        char pattern[] = "/dev/shm/card-fuzz-XXXXXX";
        return std::string(::mkdtemp(pattern)) + "/out.bcrd";
    }();
    return path;
}

LayerTable makeTable()
{
    LayerTable table = makeLayerTable("Tbl");
    table.OnCalcFields = TblCalcFields;
    table.OpenTable();
    return table;
}

[[noreturn]] void finding(const char* what)
{
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

// Loads path; false when the file was refused with the reader's message.
bool load(LayerTable& table, const std::string& path)
{
    try {
        table.LoadFile(path);
        return true;
    } catch (const TableError&) {
        return false;
    } catch (const std::exception& error) {
        finding(error.what());
    } catch (...) {
        finding("an exception of unknown type");
    }
}

// Columns map to fields by case-folded display name, so values only come back
// unchanged when those names are unique.
bool namesAreUnique(const LayerTable& table)
{
    std::vector<std::string> names;
    for (const auto& field : table.Fields()) {
        std::string name = field.displayName();
        for (char& c : name)
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        if (std::find(names.begin(), names.end(), name) != names.end())
            return false;
        names.push_back(name);
    }
    return true;
}

void requireSame(LayerTable& a, LayerTable& b)
{
    if (a.Fields().size() != b.Fields().size() || a.StoredCount() != b.StoredCount())
        finding("the saved card reads back with other fields or records");
    for (std::size_t f = 0; f < a.Fields().size(); ++f) {
        const FieldDef& x = a.Fields()[f];
        const FieldDef& y = b.Fields()[f];
        if (x.FieldName != y.FieldName || x.Type != y.Type || x.Size != y.Size ||
            x.displayName() != y.displayName() || x.Kind != y.Kind || x.DefaultExpression != y.DefaultExpression)
            finding("a field reads back changed");
        if (!x.isStored())
            continue;
        for (int row = 0; row < a.StoredCount(); ++row) {
            if (a.StoredValue(row, static_cast<int>(f)) != b.StoredValue(row, static_cast<int>(f)))
                finding("a value reads back changed");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    int fd = inputFd();
    ::ftruncate(fd, 0);
    ::pwrite(fd, data, size, 0);
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    try {
        const std::string text = dumpText(dumpCard(path));
        if (text.empty())
            finding("dump gave nothing");
    } catch (const std::exception& error) {
        finding(error.what());
    }

    LayerTable table = makeTable();
    if (!load(table, path))
        return 0;
    // A file may define no stored field at all; such a table saves as bare
    // markers, which no reader can take back.
    const auto& fields = table.Fields();
    if (std::none_of(fields.begin(), fields.end(), [](const FieldDef& f) { return f.isStored(); }))
        return 0;
    try {
        table.SaveFile(scratchPath());
    } catch (const std::exception& error) {
        finding(error.what());
    }
    LayerTable again = makeTable();
    if (!load(again, scratchPath()))
        finding("the saved card cannot be read back");
    if (namesAreUnique(table))
        requireSame(table, again);
    return 0;
}
