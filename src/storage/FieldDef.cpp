#include "storage/FieldDef.h"

#include <array>
#include <cstddef>

namespace {

// Indexed by the type code, which card files store by name.
constexpr std::array<std::string_view, FieldTypeCount> TypeNames{
    "Unknown", "String", "SmallInt", "Integer", "Word", "Boolean", "Float",
    "Currency", "BCD", "Date", "Time", "DateTime", "Bytes", "VarBytes",
    "AutoInc", "Blob", "Memo", "Graphic", "FmtMemo", "ParadoxOle", "dBaseOle",
    "TypedBinary", "Cursor", "FixedChar", "WideString", "LargeInt", "ADT",
    "Array", "Reference", "DataSet", "HugeBlob", "HugeClob", "Variant",
    "Interface", "Dispatch", "Guid", "SQLTimeStamp", "FMTBcdField"};

constexpr std::array<std::string_view, FieldKindCount> KindNames{
    "Data", "Calculated", "Lookup", "InternalCalc", "Aggregate"};

} // namespace

std::string_view fieldTypeName(FieldType type)
{
    const auto code = static_cast<std::size_t>(type);
    return code < TypeNames.size() ? TypeNames[code] : std::string_view{};
}

std::string_view fieldKindName(FieldKind kind)
{
    const auto code = static_cast<std::size_t>(kind);
    return code < KindNames.size() ? KindNames[code] : std::string_view{};
}
