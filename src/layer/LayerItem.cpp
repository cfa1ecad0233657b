#include "layer/LayerItem.h"

#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "layer/PictureDecoder.h"

#include <algorithm>
#include <list>

namespace {

std::optional<LayerKind> drawnKind(LayerRef table)
{
    switch (ReadInt(table, Field::tipus, -1)) {
    case 0: return LayerKind::Text;
    case 1: return LayerKind::Picture;
    case 2: return LayerKind::Shape;
    default: return std::nullopt;
    }
}

// The QR codes of the last cards read, by their bytes, so that rebuilding
// a surface or printing a sheet does not read the pixels again.
std::optional<QrPicture> cachedQrPicture(const std::string& bytes, const std::string& extension)
{
    // Known by hash and length: a photo's megabytes are not kept for it.
    struct Entry
    {
        std::size_t hash;
        std::size_t length;
        std::string extension;
        std::optional<QrPicture> qr;
    };
    static std::list<Entry> kept;
    constexpr std::size_t Kept = 64;
    if (bytes.size() < 8 || bytes.compare(1, 3, "PNG") != 0)
        return std::nullopt;
    const std::size_t hash = std::hash<std::string>()(bytes);
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->hash == hash && it->length == bytes.size() && it->extension == extension) {
            kept.splice(kept.begin(), kept, it);
            return kept.front().qr;
        }
    }
    kept.push_front({hash, bytes.size(), extension, readQrPicture(bytes, extension)});
    if (kept.size() > Kept)
        kept.pop_back();
    return kept.front().qr;
}

// A header that does not tell the size leaves the size the picture was
// decoded at, which is its own unless it was made smaller.
QSize pictureSource(LayerRef table, const LayerPicture& picture)
{
    if (picture.isNull() || picture.isVector())
        return {};
    const QSize own = pictureHeaderSize(table.blob(Field::kep), ReadStr(table, Field::keptip));
    return own.isValid() && !own.isEmpty() ? own : picture.size();
}

} // namespace

QRect readLayerBox(LayerRef table)
{
    return QRect(ReadInt(table, Field::left), ReadInt(table, Field::top), std::max(0, ReadInt(table, Field::width)),
                 std::max(0, ReadInt(table, Field::height)));
}

LayerPicture readLayerPicture(LayerRef table, PictureScale scale, QSize box, bool stretch)
{
    const std::string& bytes = table.blob(Field::kep);
    if (bytes.empty())
        return {};
    const std::string extension = ReadStr(table, Field::keptip);
    if (box.isEmpty())
        return {};
    // Drawing commands, on every surface: sharp at any size.
    if (const std::optional<MetafileFormat> metafile = metafileFormatFor(extension))
        return LayerPicture(cachedMetafile(bytes, *metafile, extension));
    if (scale == PictureScale::Paper) {
        if (!stretch)
            return LayerPicture(decodePicture(bytes, extension, QSize(), box));
        const QSize own = pictureHeaderSize(bytes, extension);
        const QSize finest(int(box.width() * PaperDotsPerPixel), int(box.height() * PaperDotsPerPixel));
        return LayerPicture(decodePicture(bytes, extension, own.isValid() ? own.boundedTo(finest) : QSize()));
    }
    return surfacePicture(bytes, extension, box, stretch, 1.0);
}

// No more of a layer can be seen than the card box holds, whatever its
// box: a stretched picture is decoded at its box's size up to that, one
// shown at its own size only as far as its box reaches.
LayerPicture surfacePicture(const std::string& bytes, const std::string& extension, QSize box, bool stretch,
                            double density)
{
    if (bytes.empty() || box.isEmpty())
        return {};
    if (const std::optional<MetafileFormat> metafile = metafileFormatFor(extension))
        return LayerPicture(cachedMetafile(bytes, *metafile, extension));
    if (stretch)
        return LayerPicture(cachedPicture(bytes, extension, (QSizeF(box) * density).toSize().boundedTo(SurfaceSize * density)));
    return LayerPicture(cachedPicture(bytes, extension, QSize(), box));
}

std::optional<LayerItem> readLayerItem(LayerRef table, PictureScale scale)
{
    const std::optional<LayerKind> kind = drawnKind(table);
    if (!kind)
        return std::nullopt;
    LayerItem item;
    item.kind = *kind;
    switch (*kind) {
    case LayerKind::Text:
        item.text = readTextLook(table);
        item.box = QRect(QPoint(ReadInt(table, Field::left), ReadInt(table, Field::top)), textExtent(item.text));
        break;
    case LayerKind::Picture:
        item.box = readLayerBox(table);
        item.stretch = ReadBool(table, Field::strech);
        if ((item.qr = cachedQrPicture(table.blob(Field::kep), ReadStr(table, Field::keptip))))
            break;
        try {
            item.picture = readLayerPicture(table, scale, item.box.size(), item.stretch);
            item.pictureSource = pictureSource(table, item.picture);
        } catch (const PictureError& error) {
            item.pictureError = error.what();
        }
        break;
    case LayerKind::Shape:
        item.box = readLayerBox(table);
        item.shape = readShapeLook(table);
        break;
    }
    return item;
}

void paintLayer(QPainter& painter, const LayerItem& item, const QRect& box)
{
    switch (item.kind) {
    case LayerKind::Text:
        paintText(painter, box, item.text);
        break;
    case LayerKind::Picture:
        if (item.qr)
            paintQr(painter, *item.qr->modules, box);
        else
            item.picture.paint(painter, box, item.stretch);
        break;
    case LayerKind::Shape:
        paintShape(painter, box, item.shape);
        break;
    }
}
