#include "layer/LayerRecord.h"

#include "layer/LayerCodes.h"
#include "layer/LayerFields.h"

namespace {

struct LayerField
{
    std::string_view name;
    FieldType type;
    int size;
    const char* label;  // Windows-1250
    const char* defaultText;
    FieldKind kind = FieldKind::Data;
};

// Labels hold Windows-1250 bytes: 0xED is í, 0xE1 á, 0xF5 ő.
const LayerField LayerFields[] = {
    {Field::sorszam, FieldType::Integer, 0, "#", ""},
    {Field::tipus, FieldType::Integer, 0, "", "0"},
    {Field::tipus_nev, FieldType::String, 50, "t\xEDpus", "", FieldKind::Calculated},
    {Field::nev, FieldType::String, 50, "le\xEDr\xE1s", ""},
    {Field::left, FieldType::Integer, 0, "", "10"},
    {Field::top, FieldType::Integer, 0, "", "10"},
    {Field::width, FieldType::Integer, 0, "", "100"},
    {Field::height, FieldType::Integer, 0, "", "100"},
    {Field::betutipus, FieldType::String, 50, "", ""},
    {Field::betumeret, FieldType::Integer, 0, "", "8"},
    {Field::felkover, FieldType::Boolean, 0, "", "False"},
    {Field::dolt, FieldType::Boolean, 0, "", "False"},
    {Field::alahuzott, FieldType::Boolean, 0, "", "False"},
    {Field::igazitas, FieldType::Integer, 0, "", "0"},
    {Field::hatterszin, FieldType::Integer, 0, "", "0"},
    {Field::szin, FieldType::Integer, 0, "", "0"},
    {Field::kep, FieldType::Blob, 0, "", ""},
    {Field::keptip, FieldType::String, 10, "", ""},
    {Field::alakzat, FieldType::Integer, 0, "", "0"},
    {Field::vastag, FieldType::Integer, 0, "", "0"},
    {Field::compnev, FieldType::String, 25, "", ""},
    {Field::brushcolor, FieldType::Integer, 0, "fest\xF5sz\xEDn", "0"},
    {Field::brushstyle, FieldType::Integer, 0, "est\xEDlus", "0"},
    {Field::shape, FieldType::Integer, 0, "alakzat", "0"},
    {Field::pencolor, FieldType::Integer, 0, "ceruzasz\xEDn", "0"},
    {Field::penstyle, FieldType::Integer, 0, "cst\xEDlus", "0"},
    {Field::penwidth, FieldType::Integer, 0, "vastags\xE1g", "0"},
    {Field::strech, FieldType::Boolean, 0, "", "False"},
};

// Kind names, Windows-1250: "szöveg", "kép", "alakzat".
const char* const KindNames[] = {"sz\xF6veg", "k\xE9p", "alakzat"};

} // namespace

void defineLayerFields(LayerTable& table)
{
    for (const auto& f : LayerFields) {
        FieldDef def;
        def.FieldName = std::string(f.name);
        def.Type = f.type;
        def.Size = f.size;
        def.DisplayLabel = f.label;
        def.Kind = f.kind;
        def.DefaultExpression = f.defaultText;
        table.AddField(std::move(def));
    }
}

LayerTable makeLayerTable(std::string name)
{
    LayerTable table(std::move(name));
    defineLayerFields(table);
    return table;
}

// A foreign table may lack either field.
void TblCalcFields(LayerTable& DataSet)
{
    if (DataSet.FieldIndex(Field::tipus_nev) < 0)
        return;
    const FieldValue& kind = ReadLayerField(DataSet, Field::tipus);
    if (auto* code = std::get_if<std::int32_t>(&kind); code && *code >= 0 && *code <= 2)
        DataSet.WriteField(Field::tipus_nev, std::string(KindNames[*code]));
}

const FieldValue& LayerRef::field(std::string_view name) const
{
    static const FieldValue missing;
    const int index = mTable->FieldIndex(name);
    if (index < 0)
        return missing;
    return mRow < 0 ? mTable->ReadField(name) : mTable->StoredValue(mRow, index);
}

const std::string& LayerRef::blob(std::string_view name) const
{
    static const std::string none;
    const FieldValue& value = field(name);
    if (const auto* bytes = std::get_if<Blob>(&value))
        return bytes->bytes();
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    return none;
}

const FieldValue& ReadLayerField(LayerRef table, std::string_view field)
{
    return table.field(field);
}

std::int32_t ReadInt(LayerRef table, std::string_view field, std::int32_t defaultValue)
{
    const FieldValue& value = ReadLayerField(table, field);
    if (auto* number = std::get_if<std::int32_t>(&value))
        return *number;
    return defaultValue;
}

std::string ReadStr(LayerRef table, std::string_view field, const std::string& defaultValue)
{
    const FieldValue& value = ReadLayerField(table, field);
    if (auto* text = std::get_if<std::string>(&value))
        return *text;
    return defaultValue;
}

bool ReadBool(LayerRef table, std::string_view field, bool defaultValue)
{
    const FieldValue& value = ReadLayerField(table, field);
    if (auto* flag = std::get_if<bool>(&value))
        return *flag;
    return defaultValue;
}

std::int32_t ReadLayerInt(LayerRef table, std::string_view field)
{
    if (field == Field::brushcolor)
        return ReadInt(table, field, WhiteColor);
    if (field == Field::penwidth)
        return ReadInt(table, field, 1);
    return ReadInt(table, field, 0);
}
