#pragma once

#include "layer/LayerItem.h"
#include "storage/LayerTable.h"

#include <QString>

#include <memory>
#include <vector>

struct PrintJob;

// The print report of one job: the card, from its file or from the card
// window's table, in a table of its own, the printables made from it, and
// the row driver whose rows are the copies on the sheet.
class TqrLapora
{
public:
    TqrLapora();

    // What the report prints: one printable per layer, in the table's order.
    void BuildReportLayers();
    void AddReportText();
    void AddReportImage();
    void AddReportShape();

    LayerTable Tbl;
    LayerTable TblSor;
    std::vector<LayerItem> Printables;
    // Each printable's name as the layer list shows it: its description,
    // which for a text is the text itself.
    std::vector<QString> PrintableNames;
    // The job's name, the preview's caption, the PDF's title.
    static inline const QString Title = QStringLiteral("Lapora nyomtatás");

private:
    void addPrintable(LayerItem item);
};

// Loads the card file into a new report, ready to print: the printables
// keep copies of what they need, so the table is closed again, and the row
// driver has its ten rows.
std::unique_ptr<TqrLapora> loadCardReport(const QString& fileName);
// The same from a card in memory: the fields and the stored records its
// card file would hold, in their order, pictures shared (a card document's
// snapshot).
std::unique_ptr<TqrLapora> cardReport(std::vector<FieldDef> fields, std::vector<std::vector<FieldValue>> records);

// The report's job: one sheet of its copies.
PrintJob jobOf(const TqrLapora& report);
