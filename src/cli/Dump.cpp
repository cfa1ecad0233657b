#include "cli/JsonValue.h"

#include "layer/LayerRecord.h"

#include <iostream>

namespace {

Json recordsToJson(LayerTable& table)
{
    Json records = Json::array();
    const auto& fields = table.Fields();
    const bool calculated = table.HasCalculatedFields();
    for (int row = 0; row < table.StoredCount(); ++row) {
        if (calculated)
            table.CalculateRow(row);
        Json record = Json::object();
        for (int i = 0; i < static_cast<int>(fields.size()); ++i)
            record[utf8(fields[i].FieldName)] = toJson(table.StoredValue(row, i));
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace

// Prints what the table holds after loading the file, also when the load
// fails part-way: that state is what a user of the designer would be left with.
int runDump(const std::string& path)
{
    LayerTable Tbl = makeLayerTable("Tbl");
    Tbl.OnCalcFields = TblCalcFields;
    Tbl.OpenTable();

    std::string error;
    try {
        Tbl.LoadFile(path);
    } catch (const std::exception& e) {
        error = e.what();
    }

    Json out;
    out["table"] = Tbl.Name();
    out["open"] = Tbl.IsOpen();
    Json fields = Json::array();
    for (const auto& field : Tbl.Fields())
        fields.push_back(fieldToJson(field));
    out["fields"] = std::move(fields);
    out["records"] = recordsToJson(Tbl);
    if (!error.empty())
        out["error"] = error;
    std::cout << out.dump(2) << '\n';
    return error.empty() ? 0 : 1;
}
