#pragma once

#include "layer/LayerItem.h"
#include "storage/LayerTable.h"

#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QWidget;

// The print report of one job: the card read back from its temporary file
// into a table of its own, the printables made from it, and the row driver
// whose rows are the copies on the sheet.
class TqrLapora
{
public:
    TqrLapora();

    // What the report prints: one printable per layer, in the table's order.
    void BuildReportLayers();
    void AddReportText();
    void AddReportImage();
    void AddReportShape();

    // The sheet, on a painter set to millimetres.
    void paint(QPainter& painter) const;

    LayerTable Tbl;
    LayerTable TblSor;
    std::vector<LayerItem> Printables;
    // The job's name, the preview's caption, the PDF's title.
    static inline const QString Title = QStringLiteral("Lapora nyomtatás");
};

// Loads the card file into a new report, ready to print: the printables
// keep copies of what they need, so the table is closed again, and the row
// driver has its ten rows.
std::unique_ptr<TqrLapora> loadCardReport(const QString& fileName);

// Loads the card file into a new report and prints it on the default
// printer (print true) or shows it in a preview window of its own (false),
// which keeps the report while it is open and does not hold up the other
// windows. Returns once the sheet has gone to the printer or the preview is
// shown.
void RunCardReport(const QString& fileName, bool print);
