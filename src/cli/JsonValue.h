#pragma once

#include "storage/FieldDef.h"
#include "storage/FieldValue.h"

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

// The value encoding shared by dump and build: text as UTF-8 strings,
// integers as numbers, Booleans as true/false, blobs as base64, null as null.
Json toJson(const FieldValue& value);

// The value for a field, or throws std::runtime_error saying what is wrong.
FieldValue fromJson(const FieldDef& field, const Json& value);

Json fieldToJson(const FieldDef& field);
