// TEMPORARY stand-in for the print shop's page painter, preflight and
// writer, so that the designer's dialog builds and its tests run until the
// real ones are merged. Drop this file (and its line in CMakeLists.txt)
// then.
#include "print/PrintShop.h"

#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/SheetPainter.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace printshop {

bool validBleed(double millimetres)
{
    if (!(millimetres >= 0 && millimetres <= MaxBleed))
        return false;
    const double steps = millimetres / BleedStep;
    return std::abs(steps - std::round(steps)) < 1e-9;
}

Geometry geometry(const Options& options)
{
    const double margin = options.cropMarks
        ? std::max(options.bleed, CropMarkOffset) + CropMarkLength
        : options.bleed;
    Geometry page;
    page.media = QSizeF(TrimWidth + 2 * margin, TrimHeight + 2 * margin);
    page.trim = QRectF(margin, margin, TrimWidth, TrimHeight);
    page.bleed = page.trim.adjusted(-options.bleed, -options.bleed, options.bleed, options.bleed);
    page.mmPerPixel = TrimWidth / 340.0;
    page.cardOrigin = QPointF(page.trim.left(), page.trim.top() + (TrimHeight - 190 * page.mmPerPixel) / 2);
    return page;
}

QRectF bleedInCard(const Options& options)
{
    const Geometry page = geometry(options);
    const QPointF topLeft = (page.bleed.topLeft() - page.cardOrigin) / page.mmPerPixel;
    return QRectF(topLeft, page.bleed.size() / page.mmPerPixel);
}

void paintPage(QPainter& painter, const std::vector<LayerItem>& layers, const Options& options)
{
    const Geometry page = geometry(options);
    painter.save();
    painter.fillRect(page.bleed, Qt::white);
    painter.setClipRect(page.bleed);
    painter.translate(page.cardOrigin);
    painter.scale(page.mmPerPixel, page.mmPerPixel);
    paintCard(painter, layers);
    painter.restore();
    if (!options.cropMarks)
        return;
    painter.save();
    painter.setPen(QPen(Qt::black, CropMarkWidthPt * 25.4 / 72));
    const double start = std::max(options.bleed, CropMarkOffset);
    for (double x : {page.trim.left(), page.trim.right()}) {
        painter.drawLine(QPointF(x, page.trim.top() - start), QPointF(x, page.trim.top() - start - CropMarkLength));
        painter.drawLine(QPointF(x, page.trim.bottom() + start),
                         QPointF(x, page.trim.bottom() + start + CropMarkLength));
    }
    for (double y : {page.trim.top(), page.trim.bottom()}) {
        painter.drawLine(QPointF(page.trim.left() - start, y), QPointF(page.trim.left() - start - CropMarkLength, y));
        painter.drawLine(QPointF(page.trim.right() + start, y),
                         QPointF(page.trim.right() + start + CropMarkLength, y));
    }
    painter.restore();
}

std::vector<Finding> preflight(const std::vector<LayerItem>& layers, const Options&)
{
    std::vector<Finding> found;
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const LayerItem& layer = layers[i];
        if (layer.kind == LayerKind::Text && layer.text.points < MinTextPoints)
            found.push_back({int(i), QStringLiteral("A szöveg %1 pontos, a nyomda legalább %2 pontot kér.")
                                         .arg(layer.text.points)
                                         .arg(MinTextPoints)});
    }
    return found;
}

bool writePdf(const PrintJob& job, const Options& options, const QString& title, const std::string& path,
              Progress& progress)
{
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        throw PrintError("A(z) „" + path + "” fájl nem írható.");
    const Geometry page = geometry(options);
    const int sides = job.cards.hasBack() ? 2 : 1;
    const int pages = job.copies * sides;
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setPageSize(QPageSize(page.media, QPageSize::Millimeter));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        useMillimetres(painter, writer);
        for (int at = 0; at < pages; ++at) {
            if (at > 0)
                writer.newPage();
            paintPage(painter, job.cards.copy(at / sides, at % sides == 1), options);
            if (!progress.pageDone(at, pages)) {
                painter.end();
                file.cancelWriting();
                return false;
            }
        }
    }
    if (!file.commit())
        throw PrintError("A(z) „" + path + "” fájl nem írható.");
    return true;
}

} // namespace printshop
