#include "cli/JsonValue.h"

#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "merge/QrCode.h"

#include <QJsonDocument>

#include <fstream>
#include <iostream>
#include <stdexcept>

namespace {

Json readJsonFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    try {
        return Json::parse(in);
    } catch (const Json::parse_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

// A picture record's "qr": the code as its picture, in place of "kep" and
// "keptip" (which, as dump prints them beside it, it also replaces).
void writeQr(LayerTable& table, const Json& record, std::size_t number)
{
    const std::string where = "record " + std::to_string(number) + ": ";
    if (!record.contains("tipus") || record["tipus"] != 1)
        throw std::runtime_error(where + "\"qr\" belongs to a picture record (\"tipus\": 1)");
    if (!record["qr"].is_object())
        throw std::runtime_error(where + "\"qr\" must be an object");
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(record["qr"].dump()));
    try {
        table.WriteField(Field::kep, Blob(qrPng(contentsFromJson(json.object()))));
    } catch (const std::exception& e) {
        throw std::runtime_error(where + e.what());
    }
    table.WriteField(Field::keptip, std::string(".png"));
}

void appendRecord(LayerTable& table, const Json& record, std::size_t number)
{
    if (!record.is_object())
        throw std::runtime_error("record " + std::to_string(number) + " is not an object");
    table.AddNewRecord();
    for (const auto& [name, value] : record.items()) {
        if (name == "qr")
            continue;
        const std::optional<std::string> fieldName = win1250(name);
        int index = fieldName ? table.FieldIndex(*fieldName) : -1;
        if (index < 0)
            throw std::runtime_error("record " + std::to_string(number) + ": unknown field '" + name + "'");
        const FieldDef& field = table.Fields()[index];
        if (!field.isStored())
            throw std::runtime_error("record " + std::to_string(number) + ": field '" + name + "' is calculated");
        try {
            table.WriteFieldAt(index, fromJson(field, value));
        } catch (const std::runtime_error& e) {
            throw std::runtime_error("record " + std::to_string(number) + ": " + e.what());
        }
    }
    if (record.contains("qr"))
        writeQr(table, record, number);
    table.PostRecord();
}

} // namespace

// Everything is checked before the file is written, so a bad input leaves
// no file behind.
int runBuild(const std::string& jsonPath, const std::string& outPath)
{
    try {
        Json input = readJsonFile(jsonPath);
        if (!input.is_object() || !input.contains("records") || !input["records"].is_array())
            throw std::runtime_error(jsonPath + ": expected an object with a \"records\" array");

        LayerTable Tbl = makeLayerTable("Tbl");
        Tbl.OpenTable();
        std::size_t number = 1;
        for (const auto& record : input["records"])
            appendRecord(Tbl, record, number++);
        Tbl.SaveFile(outPath);
    } catch (const std::exception& e) {
        std::cerr << "lapora-cli: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
