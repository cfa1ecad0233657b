#pragma once

#include <QSize>

#include <optional>
#include <string>
#include <string_view>

// A photo of a camera's size in a card-sized box holds many times the
// pixels any printer shows, and the card file keeps every byte of it. These
// find the size such a picture needs and make it anew at that size, in its
// own format.

// The pixels a stretched picture needs for 600 dots per inch of a box of
// card pixels, each axis on its own, rounded up.
QSize paperPixels(QSize box);

// The size to store a picture at in its box: 600 dots per inch of the box,
// never more than its own on either axis; nothing when it is not worth it.
// Only a stretched photo, PNG or bitmap qualifies, and only when it holds
// more than twice the pixels it needs. Metafiles are drawn as vectors and
// icons are small files of several sizes: they are never reduced.
std::optional<QSize> reducedSize(QSize own, QSize box, bool stretch, std::string_view extension);

// The picture's bytes at that size in the format its extension names, drawn
// as it was: a JPEG at quality 90, upright as its orientation tag had it
// drawn; a PNG with its transparency; a bitmap. Throws PictureError when it
// cannot be decoded or written.
std::string reducedPicture(std::string_view bytes, std::string_view extension, QSize size);

// The JPEG quality of a reduced photo.
inline constexpr int ReducedJpegQuality = 90;
