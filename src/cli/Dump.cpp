#include "cli/Dump.h"

#include "cli/JsonValue.h"
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "layer/QrPicture.h"
#include "merge/QrCode.h"
#include "storage/CardFile.h"

#include <QJsonDocument>

#include <iostream>

namespace {

// A picture record whose picture is a QR code the designer made shows its
// contents beside the picture, as build takes them.
std::optional<Json> qrOf(const LayerTable& table, int row)
{
    const int kind = table.FieldIndex(std::string(Field::tipus));
    const int picture = table.FieldIndex(std::string(Field::kep));
    const int extension = table.FieldIndex(std::string(Field::keptip));
    if (kind < 0 || picture < 0 || extension < 0)
        return std::nullopt;
    const auto* code = std::get_if<std::int32_t>(&table.StoredValue(row, kind));
    const auto* bytes = std::get_if<Blob>(&table.StoredValue(row, picture));
    const auto* type = std::get_if<std::string>(&table.StoredValue(row, extension));
    if (!code || *code != 1 || !bytes || !type)
        return std::nullopt;
    const std::optional<QrPicture> qr = readQrPicture(bytes->bytes(), *type);
    if (!qr)
        return std::nullopt;
    try {
        const QByteArray json = QJsonDocument(contentsJson(contentsFromText(qr->contents))).toJson();
        return Json::parse(json.toStdString());
    } catch (const std::exception&) {
        return std::nullopt;  // contents this version cannot read: the picture alone
    }
}

Json recordsToJson(LayerTable& table)
{
    Json records = Json::array();
    const auto& fields = table.Fields();
    const bool calculated = table.HasCalculatedFields();
    for (int row = 0; row < table.StoredCount(); ++row) {
        if (calculated)
            table.CalculateRow(row);
        // Field names are unique, so each value is added at the end without
        // a search: a foreign card's tens of thousands of fields would make
        // the lookup of an ordered object quadratic.
        Json::object_t record;
        auto& entries = static_cast<std::vector<Json::object_t::value_type>&>(record);
        entries.reserve(fields.size());
        for (int i = 0; i < static_cast<int>(fields.size()); ++i)
            entries.emplace_back(utf8(fields[i].FieldName), toJson(table.StoredValue(row, i)));
        if (std::optional<Json> qr = qrOf(table, row))
            entries.emplace_back("qr", std::move(*qr));
        records.push_back(Json(std::move(record)));
    }
    return records;
}

Json describe(LayerTable& table, std::string& error)
{
    Json out;
    out["table"] = table.Name();
    out["open"] = table.IsOpen();
    Json fields = Json::array();
    for (const auto& field : table.Fields())
        fields.push_back(fieldToJson(field));
    out["fields"] = std::move(fields);
    try {
        out["records"] = recordsToJson(table);
    } catch (const std::exception& e) {
        out["records"] = Json::array();
        if (error.empty())
            error = e.what();
    }
    return out;
}

} // namespace

// What the table holds after loading the file, also when the load fails
// part-way: that state is what a user of the designer would be left with.
Json dumpCard(const std::string& path)
{
    std::string error;
    try {
        LayerTable Tbl = makeLayerTable("Tbl");
        Tbl.OnCalcFields = TblCalcFields;
        Tbl.OpenTable();
        try {
            Tbl.LoadFile(path);
        } catch (const std::exception& e) {
            error = e.what();
        }
        Json out = describe(Tbl, error);
        if (!error.empty())
            out["error"] = error;
        return out;
    } catch (const std::exception& e) {
        Json out;
        out["error"] = error.empty() ? std::string(e.what()) : error;
        return out;
    }
}

std::string dumpText(const Json& card)
{
    // Paths and foreign bytes in a message need not be UTF-8.
    return card.dump(2, ' ', false, Json::error_handler_t::replace);
}

int runDump(const std::string& path)
{
    try {
        RequireCardFile(path);
    } catch (const std::exception& error) {
        std::cerr << "lapora-cli: " << error.what() << '\n';
        return 1;
    }
    const Json card = dumpCard(path);
    std::cout << dumpText(card) << '\n';
    return card.contains("error") ? 1 : 0;
}
