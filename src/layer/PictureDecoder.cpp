#include "layer/PictureDecoder.h"

#include "layer/Win1250Text.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <functional>
#include <list>
#include <unordered_map>

namespace {

// Decoded pixels the cache may hold: a card's photos at display size fit
// many times over, while a few full-size photos for the print do not
// crowd everything else out for long.
constexpr qsizetype CacheBytes = 128 * 1024 * 1024;

std::string lowered(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::string_view withoutDot(std::string_view extension)
{
    return extension.starts_with('.') ? extension.substr(1) : extension;
}

std::string shownExtension(std::string_view extension)
{
    return fromWin1250(std::string(withoutDot(extension))).toStdString();
}

// The reader's format for an extension; what we cannot read fails here,
// before any byte is looked at.
QByteArray formatFor(std::string_view extension)
{
    const std::string_view written = withoutDot(extension);
    const std::string name = lowered(written);
    if (name == "png" || name == "bmp" || name == "ico")
        return QByteArray::fromStdString(name);
    if (name == "jpg" || name == "jpeg")
        return "jpeg";
    throw PictureError("Unknown picture file extension (." + shownExtension(extension) + ")");
}

} // namespace

bool isPictureExtension(std::string_view extension)
{
    if (metafileFormatFor(extension))
        return true;
    const std::string name = lowered(withoutDot(extension));
    return name == "png" || name == "bmp" || name == "ico" || name == "jpg" || name == "jpeg";
}

namespace {

// The bytes stay where they are: the reader only looks at them.
struct Source
{
    explicit Source(std::string_view bytes)
        : data(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())))
        , buffer(&data)
    {
        buffer.open(QIODevice::ReadOnly);
    }

    QByteArray data;
    QBuffer buffer;
};

// Our own words: Qt's reason would come in the interface's language, in the
// middle of an English sentence.
[[noreturn]] void failToRead(std::string_view extension)
{
    const std::string shown = shownExtension(extension);
    throw PictureError("The ." + shown + " picture cannot be read: its data is damaged or is not a ." + shown
                       + " picture");
}

// Refuses, before decoding, a picture whose pixels would not fit in the
// memory the reader allows for one picture (a few kilobytes of file can
// describe gigabytes of pixels).
void requireAllocatable(std::string_view extension, QSize own, QSize allocated)
{
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    if (limit > 0 && qint64(allocated.width()) * allocated.height() * 4 > limit) {
        throw PictureError("The ." + shownExtension(extension) + " picture is too large: "
                           + std::to_string(own.width()) + " \u00D7 " + std::to_string(own.height()) + " pixels");
    }
}

void requireDecodable(std::string_view extension, const QImageReader& reader, QSize decoded)
{
    const QSize own = reader.size();
    if (own.isValid())
        requireAllocatable(extension, own, decoded.isEmpty() ? own : decoded);
}

// A photo whose orientation tag says it was taken turned is stored on its
// side; it is drawn and sized as the tag says, while its bytes stay as they
// were chosen.
bool turned(const QImageReader& reader)
{
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
}

// The picture's size as it is drawn: the stored size, turned as its tag says.
QSize shownSize(const QImageReader& reader)
{
    const QSize stored = reader.size();
    return turned(reader) ? stored.transposed() : stored;
}

// An icon file holds the same picture at several sizes. The one drawn is
// the one that best fits where it is drawn: the smallest that is not
// smaller than that, else the largest; without a size, the largest.
void chooseIconEntry(QImageReader& reader, QSize wanted)
{
    const int count = reader.imageCount();
    int best = -1;
    QSize bestSize;
    int largest = 0;
    QSize largestSize;
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i))
            continue;
        const QSize size = reader.size();
        if (!size.isValid())
            continue;
        const qint64 area = qint64(size.width()) * size.height();
        if (!largestSize.isValid() || area > qint64(largestSize.width()) * largestSize.height()) {
            largest = i;
            largestSize = size;
        }
        const bool covers = wanted.isValid() && !wanted.isEmpty() && size.width() >= wanted.width()
            && size.height() >= wanted.height();
        if (covers && (!bestSize.isValid() || area < qint64(bestSize.width()) * bestSize.height())) {
            best = i;
            bestSize = size;
        }
    }
    if (count > 0)
        reader.jumpToImage(best >= 0 ? best : largest);
}

// Only PNG and icons carry transparency on the card; bitmaps and photos are
// drawn opaque. Both end in the formats that paint fastest.
QImage forDrawing(QImage image, const QByteArray& format)
{
    const bool transparent = (format == "png" || format == "ico") && image.hasAlphaChannel();
    return image.convertToFormat(transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}
// A metafile's own size and its check: a file that is no metafile of its
// kind fails as a damaged picture does.
MetafileInfo metafileInfo(std::string_view bytes, MetafileFormat format, std::string_view extension)
{
    try {
        return readMetafileInfo(bytes, format);
    } catch (const MetafileError&) {
        failToRead(extension);
    }
}

// A metafile as pixels, for the callers that want pixels: played straight
// at the size asked for, or its own, cut to the shown part.
QImage metafilePixels(std::string_view bytes, MetafileFormat format, std::string_view extension, QSize displaySize,
                      QSize shownPart)
{
    const MetafileInfo info = metafileInfo(bytes, format, extension);
    const bool scaled = displaySize.isValid() && !displaySize.isEmpty();
    const QSize drawn = scaled ? displaySize : info.pixels;
    const QSize kept = !scaled && shownPart.isValid() && !shownPart.isEmpty() ? drawn.boundedTo(shownPart) : drawn;
    requireAllocatable(extension, info.pixels, kept);
    QImage image(kept, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    try {
        playMetafile(painter, QRectF(QPointF(0, 0), drawn), bytes, format);
    } catch (const MetafileError&) {
        failToRead(extension);
    }
    return image;
}

struct CacheKey
{
    std::size_t hash;
    std::size_t length;
    std::string extension;
    int width;
    int height;
    int partWidth;
    int partHeight;

    bool operator==(const CacheKey&) const = default;
};

struct CacheKeyHash
{
    std::size_t operator()(const CacheKey& key) const
    {
        std::size_t h = key.hash ^ (key.length * 0x9E3779B97F4A7C15ULL);
        h ^= std::hash<std::string>()(key.extension) + (h << 6) + (h >> 2);
        h ^= std::hash<long long>()((static_cast<long long>(key.width) << 32) ^ key.height) + (h << 6) + (h >> 2);
        h ^= std::hash<long long>()((static_cast<long long>(key.partWidth) << 32) ^ key.partHeight) + (h << 6)
            + (h >> 2);
        return h;
    }
};

// Least recently used first. Everything runs on the GUI thread.
class PictureCache
{
public:
    const QImage* find(const CacheKey& key)
    {
        const auto found = mIndex.find(key);
        if (found == mIndex.end())
            return nullptr;
        mEntries.splice(mEntries.end(), mEntries, found->second);
        return &found->second->second;
    }

    void add(const CacheKey& key, const QImage& image)
    {
        const qsizetype bytes = image.sizeInBytes();
        if (bytes > CacheBytes)
            return;
        while (mBytes + bytes > CacheBytes && !mEntries.empty())
            dropOldest();
        mEntries.emplace_back(key, image);
        mIndex.emplace(key, std::prev(mEntries.end()));
        mBytes += bytes;
    }

    void clear()
    {
        mIndex.clear();
        mEntries.clear();
        mBytes = 0;
    }

private:
    using Entry = std::pair<CacheKey, QImage>;

    void dropOldest()
    {
        mBytes -= mEntries.front().second.sizeInBytes();
        mIndex.erase(mEntries.front().first);
        mEntries.pop_front();
    }

    std::list<Entry> mEntries;
    std::unordered_map<CacheKey, std::list<Entry>::iterator, CacheKeyHash> mIndex;
    qsizetype mBytes = 0;
};

PictureCache& cache()
{
    static PictureCache pictures;
    return pictures;
}

} // namespace

std::optional<MetafileFormat> metafileFormatFor(std::string_view extension)
{
    const std::string name = lowered(withoutDot(extension));
    if (name == "emf")
        return MetafileFormat::Emf;
    if (name == "wmf")
        return MetafileFormat::Wmf;
    return std::nullopt;
}

QImage decodePicture(std::string_view bytes, std::string_view extension, QSize displaySize, QSize shownPart)
{
    if (const std::optional<MetafileFormat> metafile = metafileFormatFor(extension))
        return metafilePixels(bytes, *metafile, extension, displaySize, shownPart);
    const QByteArray format = formatFor(extension);
    Source source(bytes);
    QImageReader reader(&source.buffer, format);
    // The extension alone chooses the decoder, so a card that shows here
    // shows the same wherever it is opened: a PNG named .jpg fails.
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    const bool scaled = displaySize.isValid() && !displaySize.isEmpty();
    const bool part = !scaled && shownPart.isValid() && !shownPart.isEmpty();
    if (format == "ico")
        chooseIconEntry(reader, scaled ? displaySize : QSize());
    // Only a photo decoder makes a smaller picture straight away; the others
    // decode the whole and cut or scale it. A photo stored turned or
    // mirrored is decoded as stored and made upright afterwards: the size
    // asked of the decoder is turned with it, and its top-left part is cut
    // only once it is upright.
    const bool upright = reader.transformation() == QImageIOHandler::TransformationNone;
    const bool direct = format == "jpeg" && (scaled || (part && upright));
    requireDecodable(extension, reader, direct ? (scaled ? displaySize : shownPart) : QSize());
    if (scaled)
        reader.setScaledSize(turned(reader) ? displaySize.transposed() : displaySize);
    if (part && upright) {
        const QSize own = reader.size();
        if (own.isValid())
            reader.setClipRect(QRect(QPoint(0, 0), own.boundedTo(shownPart)));
    }
    QImage image;
    if (!reader.read(&image))
        failToRead(extension);
    if (scaled && image.size() != displaySize)
        image = image.scaled(displaySize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (part && (image.width() > shownPart.width() || image.height() > shownPart.height()))
        image = image.copy(QRect(QPoint(0, 0), image.size().boundedTo(shownPart)));
    return forDrawing(std::move(image), format);
}

QSize pictureHeaderSize(std::string_view bytes, std::string_view extension)
{
    if (const std::optional<MetafileFormat> metafile = metafileFormatFor(extension)) {
        try {
            return readMetafileInfo(bytes, *metafile).pixels;
        } catch (const MetafileError&) {
            return {};
        }
    }
    const QByteArray format = formatFor(extension);
    Source source(bytes);
    QImageReader reader(&source.buffer, format);
    reader.setAutoDetectImageFormat(false);
    if (format == "ico")
        chooseIconEntry(reader, QSize());
    return shownSize(reader);
}

QSize pictureOwnSize(std::string_view bytes, std::string_view extension)
{
    if (const std::optional<MetafileFormat> metafile = metafileFormatFor(extension))
        return metafileInfo(bytes, *metafile, extension).pixels;
    const QSize own = pictureHeaderSize(bytes, extension);
    if (!own.isValid() || own.isEmpty())
        return decodePicture(bytes, extension).size();
    decodePicture(bytes, extension, own.scaled(64, 64, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    return own;
}

QImage cachedPicture(std::string_view bytes, std::string_view extension, QSize displaySize, QSize shownPart)
{
    const CacheKey key{std::hash<std::string_view>()(bytes), bytes.size(), lowered(withoutDot(extension)),
                       displaySize.width(), displaySize.height(), shownPart.width(), shownPart.height()};
    if (const QImage* image = cache().find(key))
        return *image;
    QImage image = decodePicture(bytes, extension, displaySize, shownPart);
    cache().add(key, image);
    return image;
}

namespace {

// Metafiles by content, so that a card's items share one copy of each.
struct MetafileCache
{
    static constexpr std::size_t Kept = 32;
    std::list<std::pair<std::pair<std::size_t, std::size_t>, MetafilePicture>> entries;
};

MetafileCache& metafiles()
{
    static MetafileCache kept;
    return kept;
}

} // namespace

MetafilePicture cachedMetafile(std::string_view bytes, MetafileFormat format, std::string_view extension)
{
    const std::pair key{std::hash<std::string_view>()(bytes) ^ std::size_t(format), bytes.size()};
    auto& entries = metafiles().entries;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->first == key && *it->second.bytes == bytes && it->second.format == format) {
            entries.splice(entries.end(), entries, it);
            return entries.back().second;
        }
    }
    MetafilePicture made{std::make_shared<const std::string>(bytes), format, metafileInfo(bytes, format, extension)};
    entries.emplace_back(key, made);
    if (entries.size() > MetafileCache::Kept)
        entries.pop_front();
    return made;
}

void clearPictureCache()
{
    cache().clear();
    metafiles().entries.clear();
}
