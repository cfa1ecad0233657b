// Feeds arbitrary bytes to the card file reader. Whatever loads must save and
// load again to the same fields and values.
#include "storage/CardFile.h"
#include "storage/LayerTable.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
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
        char pattern[] = "/tmp/card-fuzz-XXXXXX";
        return std::string(::mkdtemp(pattern)) + "/out.bcrd";
    }();
    return path;
}

LayerTable makeTable()
{
    LayerTable table("Tbl");
    auto add = [&](const char* name, FieldType type, int size, const char* label, const char* def,
                   FieldKind kind = FieldKind::Data) {
        FieldDef field;
        field.FieldName = name;
        field.Type = type;
        field.Size = size;
        field.DisplayLabel = label;
        field.DefaultExpression = def;
        field.Kind = kind;
        table.AddField(field);
    };
    add("sorszam", FieldType::Integer, 0, "#", "");
    add("tipus", FieldType::Integer, 0, "", "0");
    add("tipus_nev", FieldType::String, 50, "tipus", "", FieldKind::Calculated);
    add("nev", FieldType::String, 50, "le\xEDr\xE1s", "");
    add("kep", FieldType::Blob, 0, "", "");
    add("strech", FieldType::Boolean, 0, "", "False");
    table.OnCalcFields = [](LayerTable& t) {
        if (!isNull(t.ReadField("tipus")))
            t.WriteField("tipus_nev", std::string("kind"));
    };
    table.OpenTable();
    return table;
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
        for (const auto& seen : names) {
            if (seen == name)
                return false;
        }
        names.push_back(name);
    }
    return true;
}

void requireSame(LayerTable& a, LayerTable& b)
{
    if (a.Fields().size() != b.Fields().size() || a.StoredCount() != b.StoredCount())
        std::abort();
    for (std::size_t f = 0; f < a.Fields().size(); ++f) {
        const FieldDef& x = a.Fields()[f];
        const FieldDef& y = b.Fields()[f];
        if (x.FieldName != y.FieldName || x.Type != y.Type || x.Size != y.Size ||
            x.displayName() != y.displayName() || x.Kind != y.Kind || x.DefaultExpression != y.DefaultExpression)
            std::abort();
        if (!x.isStored())
            continue;
        for (int row = 0; row < a.StoredCount(); ++row) {
            if (a.StoredValue(row, static_cast<int>(f)) != b.StoredValue(row, static_cast<int>(f)))
                std::abort();
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

    LayerTable table = makeTable();
    try {
        table.LoadFile(path);
    } catch (const TableError&) {
        return 0;
    }
    // A file may define no stored field at all; such a table saves as bare
    // markers, which no reader can take back.
    const auto& fields = table.Fields();
    if (std::none_of(fields.begin(), fields.end(), [](const FieldDef& f) { return f.isStored(); }))
        return 0;
    try {
        table.SaveFile(scratchPath());
    } catch (const TableError&) {
        std::abort();
    }
    LayerTable again = makeTable();
    try {
        again.LoadFile(scratchPath());
    } catch (const TableError&) {
        std::abort();
    }
    if (namesAreUnique(table))
        requireSame(table, again);
    return 0;
}
