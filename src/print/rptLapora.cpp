#include "print/rptLapora.h"

#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "layer/PictureDecoder.h"
#include "print/PrintOutput.h"
#include "print/SheetLayout.h"
#include "print/SheetPainter.h"

#include "storage/CardFile.h"

#include <QFile>

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
    Printables.push_back(*readLayerItem(Tbl, PictureScale::Paper));
}

// Pictures for paper are decoded whole, at their own size, and kept out of
// the surface's cache. One that cannot be decoded stops the job.
void TqrLapora::AddReportImage()
{
    LayerItem item = *readLayerItem(Tbl, PictureScale::Paper);
    if (!item.pictureError.empty())
        throw PictureError(item.pictureError);
    Printables.push_back(std::move(item));
}

void TqrLapora::AddReportShape()
{
    Printables.push_back(*readLayerItem(Tbl, PictureScale::Paper));
}

void TqrLapora::paint(QPainter& painter) const
{
    paintSheet(painter, Printables, TblSor.RecordTotal());
}

std::unique_ptr<TqrLapora> loadCardReport(const QString& fileName)
{
    const std::string path = QFile::encodeName(fileName).toStdString();
    RequireCardFile(path);
    auto report = std::make_unique<TqrLapora>();
    report->Tbl.OpenTable();
    report->Tbl.LoadFile(path);
    report->BuildReportLayers();
    report->Tbl.CloseTable();
    report->TblSor.OpenTable();
    for (int copy = 1; copy <= sheet::Copies; ++copy) {
        report->TblSor.AddNewRecord();
        report->TblSor.WriteField(Field::sorszam, copy);
        report->TblSor.PostRecord();
    }
    report->TblSor.MoveFirst();
    return report;
}

void RunCardReport(const QString& fileName, bool print)
{
    std::unique_ptr<TqrLapora> report = loadCardReport(fileName);
    if (print)
        printOnDefaultPrinter(*report);
    else
        showPreview(std::move(report));
}
