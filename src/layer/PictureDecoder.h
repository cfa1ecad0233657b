#pragma once

#include "layer/LayerPicture.h"
#include "metafile/Metafile.h"

#include <QImage>
#include <QSize>

#include <optional>

#include <stdexcept>
#include <string>
#include <string_view>

// A picture that cannot be shown; what() is the message for the user.
class PictureError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Decodes a layer's picture from memory by the format its extension names
// (".png", ".jpg", ".jpeg", ".bmp", ".ico", and the metafiles ".emf" and
// ".wmf", played into pixels here; letter case ignored). An unknown
// extension fails with "Unknown picture file extension (.%s)", a picture
// whose pixels would take more memory than one picture may with "too large"
// and its size. With a display size the picture is decoded straight at that
// size (much faster for large photos shown small); with a shown part, only
// its top-left part of that size; with neither, whole at its own size, as
// the print needs. A photo is drawn upright as its orientation tag says,
// and of an icon file's sizes the one that best fits the display size (the
// largest without one).
QImage decodePicture(std::string_view bytes, std::string_view extension, QSize displaySize = {},
                     QSize shownPart = {});

// The picture's own size as its header tells it, without decoding; invalid
// when the header does not tell. A turned photo's size is its upright one,
// an icon file's that of its largest picture.
QSize pictureHeaderSize(std::string_view bytes, std::string_view extension);

// The picture's own size in pixels, once its data has been found to decode
// (at a small size, which is quick); fails as decodePicture does.
QSize pictureOwnSize(std::string_view bytes, std::string_view extension);

// Decoded pictures are kept by content and display size, so rebuilding a
// card's surface does not decode its photos again.
QImage cachedPicture(std::string_view bytes, std::string_view extension, QSize displaySize = {},
                     QSize shownPart = {});
void clearPictureCache();

// Whether an extension names one of the picture types above.
bool isPictureExtension(std::string_view extension);

// The metafile format an extension names (".emf", ".wmf"), if any.
std::optional<MetafileFormat> metafileFormatFor(std::string_view extension);

// A metafile whose header has been read, kept by content, for the layers
// that draw it as vectors; fails as decodePicture does.
MetafilePicture cachedMetafile(std::string_view bytes, MetafileFormat format, std::string_view extension);
