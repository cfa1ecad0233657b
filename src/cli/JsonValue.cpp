#include "cli/JsonValue.h"

#include "storage/Win1250.h"

#include <QByteArray>

#include <limits>
#include <stdexcept>

namespace {

std::string fieldError(const FieldDef& field, const std::string& what)
{
    return "field '" + field.FieldName + "': " + what;
}

std::string toUtf8Name(std::u32string_view chars)
{
    std::string out;
    for (char32_t c : chars) {
        if (!out.empty())
            out += ", ";
        char buf[16];
        std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
        out += buf;
    }
    return out;
}

std::string textFromJson(const FieldDef& field, const Json& value)
{
    if (!value.is_string())
        throw std::runtime_error(fieldError(field, "expected a string, got " + std::string(value.type_name())));
    Win1250Result converted = utf8ToWin1250(value.get<std::string>());
    if (!converted.ok()) {
        throw std::runtime_error(fieldError(field, "characters that Windows-1250 cannot hold: " +
                                                       toUtf8Name(converted.unmappable)));
    }
    if (field.Size > 0 && converted.bytes.size() > static_cast<std::size_t>(field.Size)) {
        throw std::runtime_error(fieldError(field, "text of " + std::to_string(converted.bytes.size()) +
                                                       " characters is longer than the field's " +
                                                       std::to_string(field.Size)));
    }
    return converted.bytes;
}

} // namespace

Json toJson(const FieldValue& value)
{
    if (auto* number = std::get_if<std::int32_t>(&value))
        return *number;
    if (auto* flag = std::get_if<bool>(&value))
        return *flag;
    if (auto* text = std::get_if<std::string>(&value))
        return win1250ToUtf8(*text);
    if (auto* blob = std::get_if<Blob>(&value)) {
        QByteArray bytes = QByteArray::fromRawData(blob->bytes.data(), static_cast<qsizetype>(blob->bytes.size()));
        return bytes.toBase64().toStdString();
    }
    return nullptr;
}

FieldValue fromJson(const FieldDef& field, const Json& value)
{
    if (value.is_null())
        return std::monostate{};
    switch (field.Type) {
    case FieldType::Integer:
        if (value.is_number_integer()) {
            auto n = value.get<std::int64_t>();
            if (value.is_number_unsigned() && value.get<std::uint64_t>() > std::numeric_limits<std::int32_t>::max())
                n = std::numeric_limits<std::int64_t>::max();
            if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
                throw std::runtime_error(fieldError(field, "integer out of the 32-bit range"));
            return static_cast<std::int32_t>(n);
        }
        throw std::runtime_error(fieldError(field, "expected an integer, got " + std::string(value.type_name())));
    case FieldType::Boolean:
        if (value.is_boolean())
            return value.get<bool>();
        throw std::runtime_error(fieldError(field, "expected true or false, got " + std::string(value.type_name())));
    case FieldType::Blob: {
        if (!value.is_string())
            throw std::runtime_error(fieldError(field, "expected a base64 string, got " + std::string(value.type_name())));
        auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(value.get<std::string>()),
                                                      QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            throw std::runtime_error(fieldError(field, "not valid base64"));
        return Blob{decoded.decoded.toStdString()};
    }
    default:
        return textFromJson(field, value);
    }
}

Json fieldToJson(const FieldDef& field)
{
    Json json;
    json["name"] = win1250ToUtf8(field.FieldName);
    json["type"] = std::string(fieldTypeName(field.Type));
    json["size"] = field.Size;
    json["label"] = win1250ToUtf8(field.displayName());
    json["kind"] = std::string(fieldKindName(field.Kind));
    json["default"] = win1250ToUtf8(field.DefaultExpression);
    json["displayWidth"] = field.DisplayWidth;
    json["editMask"] = win1250ToUtf8(field.EditMask);
    json["required"] = field.Required;
    json["readOnly"] = field.ReadOnly;
    json["visible"] = field.Visible;
    return json;
}
