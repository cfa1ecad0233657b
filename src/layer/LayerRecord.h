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

// Field readers for the surface and the print: a null field reads as the
// default given, and so does a field the card does not have (a card saved
// by an older version lacks the last fields).
const FieldValue& ReadLayerField(const LayerTable& table, std::string_view field);
std::int32_t ReadInt(const LayerTable& table, std::string_view field, std::int32_t defaultValue = 0);
std::string ReadStr(const LayerTable& table, std::string_view field, const std::string& defaultValue = {});
bool ReadBool(const LayerTable& table, std::string_view field, bool defaultValue = false);

// An integer layer field with the default its readers use: white for an
// empty `brushcolor`, 1 for an empty `penwidth`, 0 for any other field.
std::int32_t ReadLayerInt(const LayerTable& table, std::string_view field);
