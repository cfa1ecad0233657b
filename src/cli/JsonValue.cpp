#include "cli/JsonValue.h"

#include "layer/Win1250Text.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <limits>
#include <stdexcept>

namespace {

std::string fieldError(const FieldDef& field, const std::string& what)
{
    return "field '" + field.FieldName + "': " + what;
}

// The characters of text that Windows-1250 cannot hold, as U+ codes.
std::string unmappable(const QString& text)
{
    std::string out;
    for (char32_t c : text.toUcs4()) {
        if (fitsWin1250(QString::fromUcs4(&c, 1)))
            continue;
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
    const QString text = QString::fromStdString(value.get<std::string>());
    if (!fitsWin1250(text))
        throw std::runtime_error(fieldError(field, "characters that Windows-1250 cannot hold: " + unmappable(text)));
    return toWin1250(text);
}

} // namespace

std::string utf8(const std::string& win1250)
{
    return fromWin1250(win1250).toStdString();
}

std::optional<std::string> win1250(const std::string& utf8)
{
    const QString text = QString::fromStdString(utf8);
    if (!fitsWin1250(text))
        return std::nullopt;
    return toWin1250(text);
}

Json toJson(const FieldValue& value)
{
    if (auto* number = std::get_if<std::int32_t>(&value))
        return *number;
    if (auto* flag = std::get_if<bool>(&value))
        return *flag;
    if (auto* text = std::get_if<std::string>(&value))
        return utf8(*text);
    if (auto* blob = std::get_if<Blob>(&value)) {
        QByteArray bytes = QByteArray::fromRawData(blob->bytes().data(), static_cast<qsizetype>(blob->bytes().size()));
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
    json["name"] = utf8(field.FieldName);
    json["type"] = std::string(fieldTypeName(field.Type));
    json["size"] = field.Size;
    json["label"] = utf8(field.displayName());
    json["kind"] = std::string(fieldKindName(field.Kind));
    json["default"] = utf8(field.DefaultExpression);
    json["displayWidth"] = field.DisplayWidth;
    json["editMask"] = utf8(field.EditMask);
    json["required"] = field.Required;
    json["readOnly"] = field.ReadOnly;
    json["visible"] = field.Visible;
    return json;
}
