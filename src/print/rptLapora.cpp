#include "print/rptLapora.h"

#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "layer/PictureDecoder.h"
#include "layer/Win1250Text.h"
#include "print/PrintJob.h"
#include "print/SheetLayout.h"

#include "storage/CardFile.h"

#include <QFile>

#include <algorithm>

TqrLapora::TqrLapora()
    : Tbl(makeLayerTable("Tbl"))
    , TblSor("TblSor")
{
    FieldDef number;
    number.FieldName = std::string(Field::sorszam);
    number.Type = FieldType::Integer;
    TblSor.AddField(number);
}

void TqrLapora::BuildReportLayers()
{
    Tbl.MoveFirst();
    while (!Tbl.AtEnd()) {
        switch (ReadInt(Tbl, Field::tipus, -1)) {
        case 0: AddReportText(); break;
        case 1: AddReportImage(); break;
        case 2: AddReportShape(); break;
        default: break;
        }
        Tbl.MoveNext();
    }
}

void TqrLapora::AddReportText()
{
    addPrintable(*readLayerItem(Tbl, PictureScale::Paper));
}

// Pictures for paper are decoded whole, at their own size, and kept out of
// the surface's cache. One that cannot be decoded stops the job.
void TqrLapora::AddReportImage()
{
    LayerItem item = *readLayerItem(Tbl, PictureScale::Paper);
    if (!item.pictureError.empty())
        throw PictureError(item.pictureError);
    addPrintable(std::move(item));
}

void TqrLapora::AddReportShape()
{
    addPrintable(*readLayerItem(Tbl, PictureScale::Paper));
}

void TqrLapora::addPrintable(LayerItem item)
{
    Printables.push_back(std::move(item));
    PrintableNames.push_back(fromWin1250(ReadStr(Tbl, Field::nev)));
}

namespace {

// The row driver's ten rows, the first one current.
void fillRows(TqrLapora& report)
{
    report.TblSor.OpenTable();
    for (int copy = 1; copy <= sheet::Copies; ++copy) {
        report.TblSor.AddNewRecord();
        report.TblSor.WriteField(Field::sorszam, copy);
        report.TblSor.PostRecord();
    }
    report.TblSor.MoveFirst();
}

} // namespace

std::unique_ptr<TqrLapora> loadCardReport(const QString& fileName)
{
    const std::string path = QFile::encodeName(fileName).toStdString();
    RequireCardFile(path);
    auto report = std::make_unique<TqrLapora>();
    report->Tbl.OpenTable();
    report->Tbl.LoadFile(path);
    report->BuildReportLayers();
    report->Tbl.CloseTable();
    fillRows(*report);
    return report;
}

// The card's own fields, as its file would give them to the report's
// table, then its records in their order.
std::unique_ptr<TqrLapora> cardReport(std::vector<FieldDef> fields, std::vector<std::vector<FieldValue>> records)
{
    auto report = std::make_unique<TqrLapora>();
    report->Tbl.ClearFields();
    for (FieldDef& field : fields)
        report->Tbl.AddField(std::move(field));
    report->Tbl.OpenTable();
    for (std::size_t row = 0; row < records.size(); ++row)
        report->Tbl.InsertStored(int(row), std::move(records[row]), LayerTable::RecordId(row + 1));
    report->BuildReportLayers();
    report->Tbl.CloseTable();
    fillRows(*report);
    return report;
}

PrintJob jobOf(const TqrLapora& report)
{
    PrintJob job;
    job.cards = CardSource(report.Printables);
    job.copies = std::min(report.TblSor.IsOpen() ? report.TblSor.RecordTotal() : sheet::Copies, sheet::Copies);
    return job;
}
