#pragma once

#include <cstdint>
#include <string>
#include <variant>

// The bytes of a blob field. Kept apart from text so that a value always
// says which kind of field it belongs to.
struct Blob
{
    std::string bytes;

    friend bool operator==(const Blob&, const Blob&) = default;
};

// One slot of a record: null (std::monostate) or a value of the field's type.
// Text is Windows-1250 bytes, as on disk.
using FieldValue = std::variant<std::monostate, std::int32_t, bool, std::string, Blob>;

inline bool isNull(const FieldValue& value)
{
    return std::holds_alternative<std::monostate>(value);
}
