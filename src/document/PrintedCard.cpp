#include "document/PrintedCard.h"

#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "layer/Win1250Text.h"
#include "print/rptLapora.h"

namespace {

constexpr int LongestName = 60;

} // namespace

// Each layer goes through a report of its own, so that which layers print
// and how stays the report's decision alone.
PrintedCard printedCard(const CardDocument& card)
{
    PrintedCard printed;
    const LayerTable& table = card.table();
    for (int row = 0; row < table.StoredCount(); ++row) {
        const CardDocument::LayerId id = table.StoredId(row);
        CardDocument::Snapshot layer = card.snapshot({id});
        const std::unique_ptr<TqrLapora> report = cardReport(std::move(layer.fields), std::move(layer.records));
        for (LayerItem& item : report->Printables) {
            printed.layers.push_back(std::move(item));
            printed.ids.push_back(id);
            printed.names << layerName(table, id);
        }
    }
    return printed;
}

QString layerName(const LayerTable& table, CardDocument::LayerId id)
{
    const LayerRef record(table, table.RowOf(id));
    const QString name = fromWin1250(ReadStr(record, Field::nev)).left(LongestName);
    if (!name.isEmpty())
        return name;
    return QStringLiteral("#%1").arg(ReadInt(record, Field::sorszam, 0));
}
