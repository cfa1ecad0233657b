#include "storage/CardFile.h"

#include "storage/CsvValue.h"
#include "storage/FileAccess.h"
#include "storage/LayerTable.h"
#include "storage/LineReader.h"
#include "storage/Win1250.h"

#include <algorithm>
#include <array>
#include <exception>
#include <filesystem>
#include <optional>
#include <unordered_map>

#include <unistd.h>

namespace {

// Types a card file may name but no table can hold.
constexpr std::array UnusableTypes = {
    FieldType::Unknown, FieldType::Cursor, FieldType::Reference, FieldType::DataSet,
    FieldType::Variant, FieldType::Interface, FieldType::Dispatch};

std::string foldAscii(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

std::optional<FieldType> lookUpType(std::string_view name)
{
    for (int code = 0; code < FieldTypeCount; ++code) {
        auto type = static_cast<FieldType>(code);
        if (fieldTypeName(type) == name) {
            if (std::find(UnusableTypes.begin(), UnusableTypes.end(), type) != UnusableTypes.end())
                return std::nullopt;
            return type;
        }
    }
    return std::nullopt;
}

FieldKind lookUpKind(std::string_view name)
{
    for (int code = 0; code < FieldKindCount; ++code) {
        if (fieldKindName(static_cast<FieldKind>(code)) == name)
            return static_cast<FieldKind>(code);
    }
    return FieldKind::Data;
}

int definitionInteger(const std::vector<std::string>& items, std::size_t index)
{
    std::string item = index < items.size() ? items[index] : std::string();
    auto value = csv::parseInteger(item);
    if (!value)
        throw TableError("'" + win1250ForMessage(item) + "' is not a valid integer value");
    return *value;
}

FieldDef parseFieldDefinition(std::string_view line)
{
    const std::string text = csv::unquoteDefinition(line);
    const std::size_t equals = text.find('=');
    FieldDef field;
    field.FieldName = text.substr(0, equals);
    std::vector<std::string> items = csv::commaList(text);

    field.Required = text.find(",REQ") != std::string::npos;
    field.ReadOnly = text.find(",RO") != std::string::npos;
    field.Visible = text.find(",INV") == std::string::npos;
    if (items.size() > 6) {
        field.DefaultExpression = items.back();
        items.pop_back();
    }
    if (items.size() >= 6)
        field.Kind = lookUpKind(items.back());

    const std::string typeName = items.empty() ? std::string() : items[0];
    auto type = lookUpType(typeName);
    if (!type)
        throw TableError("Unknown field type (" + win1250ForMessage(typeName) + ") in CSV file. (" +
                         win1250ForMessage(text) + ")");
    field.Type = *type;
    field.Size = definitionInteger(items, 1);
    if (items.size() > 2)
        field.DisplayLabel = items[2];
    if (items.size() > 3)
        field.EditMask = items[3];
    field.DisplayWidth = definitionInteger(items, 4);

    bool fixedSize = field.Type == FieldType::Integer || field.Type == FieldType::Boolean;
    if ((fixedSize && field.Size != 0) || (field.Type == FieldType::String && field.Size < 0))
        throw TableError("Invalid field size");
    return field;
}

bool isDataKind(FieldKind kind)
{
    return kind == FieldKind::Data || kind == FieldKind::InternalCalc;
}

// What a table may take for a file of a given size: twice the file and a
// few megabytes. A hostile file (a hundred thousand fields, a million
// records of one byte each) is refused before it can take the machine's
// memory; any card the program makes is far below. What is counted is what
// the table really holds (its fields as allocated, one set of slots per
// record and the values' own bytes), not a worst case, so a foreign card
// with many fields of its own still loads.
constexpr std::uint64_t FixedAllowance = 16ull << 20;

// A text's or a picture's bytes, beyond the slot that holds it.
std::uint64_t valueBytes(std::size_t size)
{
    return size > std::string().capacity() ? size + 1 : 0;
}

// Columns in runs: a header of twenty million commas is one run of ignored
// columns, not twenty million entries.
struct ColumnRun
{
    int field;  // -1 when the column is ignored
    std::uint64_t count;
};

class CardReader
{
public:
    CardReader(LayerTable& table, int fd, std::uint64_t fileSize, std::string shownPath)
        : mTable(table)
        , mLines(fd, fileSize)
        , mAllowance(2 * fileSize + FixedAllowance)
        , mShownPath(std::move(shownPath))
    {
    }

    void readDefinitions();
    void mapColumns();
    void readRecords();

private:
    std::string_view firstValue();
    void addField(std::string_view rawLine);
    void addColumn(int field);
    void assign(int fieldIndex, const csv::SplitResult& value);
    void checkAllowance() const;

    LayerTable& mTable;
    LineReader mLines;
    std::uint64_t mAllowance;
    std::uint64_t mRecordBytes = 0;  // the records' slots and values so far
    std::string mShownPath;
    std::string mFirst;  // the start of the current line, split apart
    bool mHasHeader = false;
    std::vector<ColumnRun> mColumns;
};

// The first value of the current line, from a copy of its start: markers
// are short, and the line itself must stay as read for what follows.
std::string_view CardReader::firstValue()
{
    constexpr std::size_t Peek = 64;
    mFirst.assign(mLines.data(), std::min(mLines.size(), Peek));
    csv::LineCursor cursor{mFirst.data(), mFirst.size(), 0};
    return csv::SplitValue(cursor).text;
}

void CardReader::readDefinitions()
{
    bool definitionMode = false;
    bool indexMode = false;
    while (mLines.next()) {
        const std::string_view first = firstValue();
        if (first == "@@FILE VERSION@@") {
            // The version is not checked against anything.
        } else if (first == "@@TABLEDEF START@@") {
            definitionMode = true;
            mTable.CloseTable();
            mTable.ClearFields();
            mRecordBytes = 0;
        } else if (first == "@@TABLEDEF END@@") {
            definitionMode = false;
            mTable.OpenTable();
        } else if (first == "@@INDEXDEF START@@") {
            indexMode = true;
        } else if (first == "@@INDEXDEF END@@") {
            indexMode = false;
        } else if (indexMode) {
            // Layer tables have no indexes; a foreign file's are skipped.
        } else if (definitionMode) {
            addField(std::string_view(mLines.data(), mLines.size()));
        } else {
            mHasHeader = true;
            return;
        }
    }
}

void CardReader::addField(std::string_view rawLine)
{
    FieldDef field = parseFieldDefinition(rawLine);
    if (mTable.FieldIndex(field.FieldName) >= 0)
        throw TableError("Duplicate field name '" + win1250ForMessage(field.FieldName) + "'");
    mTable.AddField(std::move(field));
    checkAllowance();
}

void CardReader::checkAllowance() const
{
    if (mTable.FieldBytes() + mRecordBytes > mAllowance)
        throw TableError("The file \"" + mShownPath + "\" is too large to be loaded as a card");
}

void CardReader::addColumn(int field)
{
    if (!mColumns.empty() && mColumns.back().field == field)
        ++mColumns.back().count;
    else
        mColumns.push_back({field, 1});
}

void CardReader::mapColumns()
{
    const auto& fields = mTable.Fields();
    std::unordered_map<std::string, std::vector<int>> fieldsByName;
    for (int i = 0; i < static_cast<int>(fields.size()); ++i)
        fieldsByName[foldAscii(fields[i].displayName())].push_back(i);

    // The k-th column carrying a name loads into the k-th field carrying it;
    // only names that fields carry are counted.
    std::unordered_map<std::string, std::size_t> seen;
    const bool emptyNamed = fieldsByName.contains(std::string());
    auto column = [&](std::string_view name) {
        if (name.empty() && !emptyNamed) {
            addColumn(-1);
            return;
        }
        const std::string folded = foldAscii(name);
        int field = -1;
        const auto match = fieldsByName.find(folded);
        if (match != fieldsByName.end()) {
            const std::size_t k = seen[folded]++;
            if (k < match->second.size())
                field = match->second[k];
        }
        if (field >= 0 && !isDataKind(fields[field].Kind))
            field = -1;
        addColumn(field);
    };
    if (mHasHeader) {
        csv::LineCursor cursor{mLines.data(), mLines.size(), 0};
        while (!cursor.atEnd())
            column(csv::SplitValue(cursor).text);
    } else {
        for (const auto& field : fields)
            column(field.displayName());
    }
    if (mColumns.empty())
        throw TableError("Couldnt determine field count for load.");
    // Columns after the last one that loads anywhere are never needed.
    while (!mColumns.empty() && mColumns.back().field < 0)
        mColumns.pop_back();
}

void CardReader::assign(int fieldIndex, const csv::SplitResult& value)
{
    if (value.null) {
        mTable.WriteFieldAt(fieldIndex, std::monostate{});
        return;
    }
    const FieldDef& field = mTable.Fields()[fieldIndex];
    switch (field.Type) {
    case FieldType::Integer:
        if (value.text.empty()) {
            mTable.WriteFieldAt(fieldIndex, std::monostate{});
        } else if (auto number = csv::parseInteger(value.text)) {
            mTable.WriteFieldAt(fieldIndex, *number);
        } else {
            throw TableError("'" + win1250ForMessage(value.text) + "' is not a valid integer value for field '" +
                             win1250ForMessage(field.displayName()) + "'");
        }
        break;
    case FieldType::Boolean:
        mTable.WriteFieldAt(fieldIndex, csv::parseBoolean(value.text));
        break;
    case FieldType::Blob: {
        std::string bytes(csv::sixBitDecodedSize(value.text.size()), '\0');
        mRecordBytes += valueBytes(bytes.size());
        csv::sixBitDecode(value.text.data(), value.text.size(), reinterpret_cast<unsigned char*>(bytes.data()));
        mTable.WriteFieldAt(fieldIndex, Blob{std::move(bytes)});
        break;
    }
    default: {
        // A text read from a file ends at an escaped NUL.
        std::string text = csv::unescapePercent(value.text);
        if (const auto nul = text.find('\0'); nul != std::string::npos)
            text.resize(nul);
        mRecordBytes += valueBytes(text.size());
        mTable.WriteFieldAt(fieldIndex, std::move(text));
        break;
    }
    }
}

void CardReader::readRecords()
{
    while (mLines.next()) {
        mRecordBytes += mTable.RecordBytes();
        checkAllowance();
        mTable.AddNewRecord();
        csv::LineCursor cursor{mLines.data(), mLines.size(), 0};
        for (const ColumnRun& run : mColumns) {
            for (std::uint64_t i = 0; i < run.count && !cursor.atEnd(); ++i) {
                csv::SplitResult value = csv::SplitValue(cursor);
                if (run.field >= 0)
                    assign(run.field, value);
            }
            if (cursor.atEnd())
                break;
        }
        mTable.PostRecord();
    }
}

// The finishing steps run whatever happened; the first failure wins.
void finishLoad(LayerTable& table, std::exception_ptr& failure)
{
    auto step = [&](auto&& action) {
        try {
            action();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    };
    step([&] { table.EndLoad(); });
    step([&] {
        if (table.IsOpen())
            table.MoveFirst();
    });
    step([&] { table.EnableControls(); });
}

std::string fullPathOf(const std::string& path)
{
    return std::filesystem::absolute(path).lexically_normal().string();
}

TableError cannotOpen(const std::string& fullPath, const FileError& error)
{
    return TableError("Cannot open file \"" + fullPath + "\". " + error.what());
}

} // namespace

void RequireCardFile(const std::string& path)
{
    const std::string fullPath = fullPathOf(path);
    char start[4096];
    ssize_t got = 0;
    try {
        const ReadableFile file(path);
        got = ::read(file.fd(), start, sizeof start);
    } catch (const FileError&) {
        return;  // the reader says why
    }
    std::string_view head(start, got > 0 ? std::size_t(got) : 0);
    while (!head.empty() && (head.front() == '\r' || head.front() == '\n' || head.front() == '\0'))
        head.remove_prefix(1);
    if (!head.empty() && !head.starts_with("\"@@"))
        throw TableError("A(z) \u201E" + fullPath + "\u201D f\u00E1jl nem Lapora k\u00E1rtyaf\u00E1jl.");
}

void ReadCardFile(LayerTable& table, const std::string& path)
{
    const std::string fullPath = fullPathOf(path);
    std::optional<ReadableFile> file;
    try {
        file.emplace(path);
    } catch (const FileError& error) {
        throw cannotOpen(fullPath, error);
    }

    std::exception_ptr failure;
    table.DisableControls();
    table.BeginLoad();
    try {
        CardReader reader(table, file->fd(), file->size(), fullPath);
        if (file->size() > 0) {
            reader.readDefinitions();
            reader.mapColumns();
            reader.readRecords();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    file.reset();
    finishLoad(table, failure);
    if (failure)
        std::rethrow_exception(failure);
    if (!table.IsOpen())
        throw TableError(table.Name() + ": Cannot perform this operation on a closed dataset");
}
