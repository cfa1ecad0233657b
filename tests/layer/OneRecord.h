#pragma once

#include "layer/LayerRecord.h"

#include <utility>
#include <vector>

// A layer table standing on one posted record whose fields are written by
// the caller; the rest keep the layer defaults.
inline LayerTable oneRecord(const std::vector<std::pair<const char*, FieldValue>>& fields)
{
    LayerTable Tbl = makeLayerTable();
    Tbl.OpenTable();
    Tbl.AddNewRecord();
    for (const auto& [name, value] : fields)
        Tbl.WriteField(name, value);
    Tbl.PostRecord();
    return Tbl;
}
