#include "metafile/Metafile.h"

#include "metafile/ByteReader.h"
#include "metafile/EmfPlayer.h"
#include "metafile/WmfPlayer.h"

#include <QPainter>

MetafileInfo readMetafileInfo(std::string_view bytes, MetafileFormat format)
{
    if (format == MetafileFormat::Emf)
        return EmfPlayer(bytes).info();
    return WmfPlayer(bytes).info();
}

void playMetafile(QPainter& painter, const QRectF& target, std::string_view bytes, MetafileFormat format,
                  WorkBudget* spent)
{
    const WorkBudget cost =
        format == MetafileFormat::Emf ? EmfPlayer(bytes).play(painter, target) : WmfPlayer(bytes).play(painter, target);
    if (spent)
        *spent = cost;
}

RecordedMetafile recordMetafile(std::string_view bytes, MetafileFormat format)
{
    RecordedMetafile recorded;
    recorded.info = readMetafileInfo(bytes, format);
    const QRect box(QPoint(0, 0), recorded.info.pixels);
    {
        QPainter painter(&recorded.picture);
        playMetafile(painter, box, bytes, format);
    }
    // The picture's own box, not the extent of what happened to be drawn,
    // so that a caller scales the whole picture into its frame.
    recorded.picture.setBoundingRect(box);
    return recorded;
}

void drawRecordedMetafile(QPainter& painter, const QRectF& target, const RecordedMetafile& recorded)
{
    const QSize pixels = recorded.info.pixels;
    QPaintDevice* device = painter.device();
    if (!device || pixels.isEmpty())
        return;
    // QPicture::play scales by the device's dpi over the picture's own.
    const double undoX = double(recorded.picture.logicalDpiX()) / device->logicalDpiX();
    const double undoY = double(recorded.picture.logicalDpiY()) / device->logicalDpiY();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / pixels.width() * undoX, target.height() / pixels.height() * undoY);
    painter.drawPicture(0, 0, recorded.picture);
    painter.restore();
}

std::optional<MetafileFormat> detectMetafileFormat(std::string_view bytes)
{
    const ByteReader r(bytes);
    if (r.has(0, 44) && r.u32(0) == 1 && r.u32(40) == 0x464D4520)
        return MetafileFormat::Emf;
    if (r.has(0, 4) && r.u32(0) == 0x9AC6CDD7)
        return MetafileFormat::Wmf;
    if (r.has(0, 6) && (r.u16(0) == 1 || r.u16(0) == 2) && r.u16(2) == 9 &&
        (r.u16(4) == 0x0100 || r.u16(4) == 0x0300))
        return MetafileFormat::Wmf;
    return std::nullopt;
}
