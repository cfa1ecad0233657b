#include "storage/CardFile.h"

#include "storage/CsvValue.h"
#include "storage/LayerTable.h"
#include "storage/LineReader.h"
#include "storage/Win1250.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

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
        throw TableError("'" + win1250ToUtf8(item) + "' is not a valid integer value");
    return *value;
}

FieldDef parseFieldDefinition(const std::string& line)
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
        throw TableError("Unknown field type (" + win1250ToUtf8(typeName) + ") in CSV file. (" +
                         win1250ToUtf8(text) + ")");
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

class CardReader
{
public:
    CardReader(LayerTable& table, int fd, std::size_t fileSize)
        : mTable(table), mLines(fd, fileSize)
    {
    }

    void readDefinitions();
    void mapColumns();
    void readRecords();

private:
    void addField(const std::string& rawLine);
    void assign(int fieldIndex, const csv::SplitResult& value);

    LayerTable& mTable;
    LineReader mLines;
    std::string mRawLine;
    bool mHasHeader = false;
    std::vector<int> mColumns;  // field index per column, -1 when ignored
};

void CardReader::readDefinitions()
{
    bool definitionMode = false;
    bool indexMode = false;
    while (mLines.next()) {
        mRawLine.assign(mLines.data(), mLines.size());
        csv::LineCursor cursor{mLines.data(), mLines.size(), 0};
        const std::string_view first = csv::SplitValue(cursor).text;
        if (first == "@@FILE VERSION@@") {
            // The version is not checked against anything.
        } else if (first == "@@TABLEDEF START@@") {
            definitionMode = true;
            mTable.CloseTable();
            mTable.ClearFields();
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
            addField(mRawLine);
        } else {
            mHasHeader = true;
            return;
        }
    }
}

void CardReader::addField(const std::string& rawLine)
{
    FieldDef field = parseFieldDefinition(rawLine);
    if (mTable.FieldIndex(field.FieldName) >= 0)
        throw TableError("Duplicate field name '" + win1250ToUtf8(field.FieldName) + "'");
    mTable.AddField(std::move(field));
}

void CardReader::mapColumns()
{
    const auto& fields = mTable.Fields();
    std::unordered_map<std::string, std::vector<int>> fieldsByName;
    for (int i = 0; i < static_cast<int>(fields.size()); ++i)
        fieldsByName[foldAscii(fields[i].displayName())].push_back(i);

    std::vector<std::string> names;
    if (mHasHeader) {
        csv::LineCursor cursor{mRawLine.data(), mRawLine.size(), 0};
        while (!cursor.atEnd())
            names.push_back(foldAscii(csv::SplitValue(cursor).text));
    } else {
        for (const auto& field : fields)
            names.push_back(foldAscii(field.displayName()));
    }

    // The k-th column carrying a name loads into the k-th field carrying it.
    std::unordered_map<std::string, std::size_t> seen;
    for (const auto& name : names) {
        std::size_t k = seen[name]++;
        int field = -1;
        auto match = fieldsByName.find(name);
        if (match != fieldsByName.end() && k < match->second.size())
            field = match->second[k];
        if (field >= 0 && !isDataKind(fields[field].Kind))
            field = -1;
        mColumns.push_back(field);
    }
    if (mColumns.empty())
        throw TableError("Couldnt determine field count for load.");
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
            throw TableError("'" + win1250ToUtf8(value.text) + "' is not a valid integer value for field '" +
                             win1250ToUtf8(field.displayName()) + "'");
        }
        break;
    case FieldType::Boolean:
        mTable.WriteFieldAt(fieldIndex, csv::parseBoolean(value.text));
        break;
    case FieldType::Blob: {
        std::string bytes(csv::sixBitDecodedSize(value.text.size()), '\0');
        csv::sixBitDecode(value.text.data(), value.text.size(), reinterpret_cast<unsigned char*>(bytes.data()));
        mTable.WriteFieldAt(fieldIndex, Blob{std::move(bytes)});
        break;
    }
    default: {
        // A text read from a file ends at an escaped NUL.
        std::string text = csv::unescapePercent(value.text);
        if (const auto nul = text.find('\0'); nul != std::string::npos)
            text.resize(nul);
        mTable.WriteFieldAt(fieldIndex, std::move(text));
        break;
    }
    }
}

void CardReader::readRecords()
{
    while (mLines.next()) {
        mTable.AddNewRecord();
        csv::LineCursor cursor{mLines.data(), mLines.size(), 0};
        for (int field : mColumns) {
            if (cursor.atEnd())
                break;
            csv::SplitResult value = csv::SplitValue(cursor);
            if (field >= 0)
                assign(field, value);
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

} // namespace

void ReadCardFile(LayerTable& table, const std::string& path)
{
    const std::string fullPath = std::filesystem::absolute(path).lexically_normal().string();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
        ::close(fd);
        fd = -1;
        errno = EISDIR;
    }
    if (fd < 0)
        throw TableError("Cannot open file \"" + fullPath + "\". " + std::strerror(errno));

    std::exception_ptr failure;
    table.DisableControls();
    table.BeginLoad();
    try {
        CardReader reader(table, fd, static_cast<std::size_t>(st.st_size));
        if (st.st_size > 0) {
            reader.readDefinitions();
            reader.mapColumns();
            reader.readRecords();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    ::close(fd);
    finishLoad(table, failure);
    if (failure)
        std::rethrow_exception(failure);
    if (!table.IsOpen())
        throw TableError(table.Name() + ": Cannot perform this operation on a closed dataset");
}
