#pragma once

#include "storage/LayerTable.h"

#include <cstdint>
#include <string>
#include <string_view>

// A card window's standard layer table: the 28 layer fields in order, with
// their labels, sizes and defaults, and the calculated kind name.
LayerTable makeLayerTable(std::string name = "Tbl");

// Adds the 28 layer fields to a closed table without fields.
void defineLayerFields(LayerTable& table);

// Sets `tipus_nev` from `tipus`; other codes leave it empty.
void TblCalcFields(LayerTable& DataSet);

// One layer's record, to read: the table's current record (a table given
// alone), or a stored row, read without moving the table's cursor.
class LayerRef
{
public:
    LayerRef(const LayerTable& table) : mTable(&table) {}  // NOLINT: a table stands for its current record
    LayerRef(const LayerTable& table, int row) : mTable(&table), mRow(row) {}

    // Null for a field the table does not have.
    const FieldValue& field(std::string_view name) const;
    // A picture's bytes; empty when null.
    const std::string& blob(std::string_view name) const;

private:
    const LayerTable* mTable;
    int mRow = -1;  // the current record
};

// Field readers for the surface and the print: a null field reads as the
// default given, and so does a field the card does not have (a card saved
// by an older version lacks the last fields).
const FieldValue& ReadLayerField(LayerRef table, std::string_view field);
std::int32_t ReadInt(LayerRef table, std::string_view field, std::int32_t defaultValue = 0);
std::string ReadStr(LayerRef table, std::string_view field, const std::string& defaultValue = {});
bool ReadBool(LayerRef table, std::string_view field, bool defaultValue = false);

// An integer layer field with the default its readers use: white for an
// empty `brushcolor`, 1 for an empty `penwidth`, 0 for any other field.
std::int32_t ReadLayerInt(LayerRef table, std::string_view field);
