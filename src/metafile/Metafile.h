#pragma once

#include "metafile/WorkBudget.h"

#include <QPicture>
#include <QRectF>
#include <QSize>

#include <optional>
#include <stdexcept>
#include <string_view>

class QPainter;

// The user reads what() as it stands, so it carries the full message.
class MetafileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

enum class MetafileFormat { Emf, Wmf };

struct MetafileInfo
{
    QSize pixels;   // the picture's own size at 96 pixels per inch, at least 1x1
    QRectF bounds;  // the rectangle, in the picture's device units, that maps onto 0,0..pixels
};

// Reads the header only; throws MetafileError when the bytes are not a
// metafile of that format.
MetafileInfo readMetafileInfo(std::string_view bytes, MetafileFormat format);

// Plays every record it understands onto the painter so that the picture
// fills target (painter units). Records it does not understand are skipped
// one by one; a damaged tail stops playing there and what was drawn stays.
// Throws MetafileError only when the bytes are not a metafile at all. The
// painter's state is restored afterwards. What the playing cost goes to
// spent when one is given.
void playMetafile(QPainter& painter, const QRectF& target, std::string_view bytes, MetafileFormat format,
                  WorkBudget* spent = nullptr);

// The whole picture recorded once at its own pixel size (0,0 .. info.pixels),
// for callers that replay it scaled onto screens, PDF files and printers.
// Text is recorded as outlines, so it keeps its size and place on every
// device. A QPicture scales itself by the device's logical dpi over the
// screen's when it is played; drawRecordedMetafile takes that out again.
struct RecordedMetafile
{
    QPicture picture;
    MetafileInfo info;
};
RecordedMetafile recordMetafile(std::string_view bytes, MetafileFormat format);

// Replays a recorded picture so that it fills target (painter units) on
// any device.
void drawRecordedMetafile(QPainter& painter, const QRectF& target, const RecordedMetafile& recorded);

// The format the first bytes announce, if any.
std::optional<MetafileFormat> detectMetafileFormat(std::string_view bytes);
