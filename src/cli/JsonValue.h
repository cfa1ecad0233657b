#pragma once

#include "storage/FieldDef.h"
#include "storage/FieldValue.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

using Json = nlohmann::ordered_json;

// The value encoding shared by dump and build: text as UTF-8 strings,
// integers as numbers, Booleans as true/false, blobs as base64, null as null.
Json toJson(const FieldValue& value);

// The value for a field, or throws std::runtime_error saying what is wrong.
FieldValue fromJson(const FieldDef& field, const Json& value);

Json fieldToJson(const FieldDef& field);

// Text between the card's Windows-1250 bytes and JSON's UTF-8; nothing when
// Windows-1250 cannot hold the text.
std::string utf8(const std::string& win1250);
std::optional<std::string> win1250(const std::string& utf8);
