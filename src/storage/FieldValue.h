#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

// The bytes of a blob field. Kept apart from text so that a value always
// says which kind of field it belongs to. The bytes are shared, never
// copied, between the values that hold them: a picture in the table, the
// steps of the card's history that replaced or deleted it, a copy of its
// layer, the copy a recovery file is written from.
class Blob
{
public:
    Blob() = default;
    explicit Blob(std::string bytes) : mBytes(std::make_shared<const std::string>(std::move(bytes))) {}

    const std::string& bytes() const
    {
        static const std::string none;
        return mBytes ? *mBytes : none;
    }
    bool empty() const { return bytes().empty(); }
    // Whether both hold the very same bytes, not merely equal ones.
    bool shares(const Blob& other) const { return mBytes == other.mBytes; }

    friend bool operator==(const Blob& a, const Blob& b) { return a.shares(b) || a.bytes() == b.bytes(); }

private:
    std::shared_ptr<const std::string> mBytes;
};

// One slot of a record: null (std::monostate) or a value of the field's type.
// Text is Windows-1250 bytes, as on disk.
using FieldValue = std::variant<std::monostate, std::int32_t, bool, std::string, Blob>;

inline bool isNull(const FieldValue& value)
{
    return std::holds_alternative<std::monostate>(value);
}
