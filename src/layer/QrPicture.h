#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QPainter;

// A QR code's modules, dark or light, row by row; the quiet zone of four
// light modules around them is not among them.
struct QrMatrix
{
    int size = 0;
    std::vector<bool> dark;

    bool at(int x, int y) const { return dark[std::size_t(y) * size + x]; }
    // The code with its quiet zone, a pixel per module, black on white;
    // made on first use and kept.
    const QImage& picture() const;

private:
    mutable QImage mPicture;
};

// Where a QR code's contents ride in its PNG: a text chunk under this key
// holds them (what the code says and how it was made, as JSON), and the
// picture itself holds the modules at a whole number of pixels each with a
// quiet zone of four modules, so that any program shows it as it is.
inline constexpr const char* QrTextKey = "Lapora-QR";
inline constexpr int QrQuietZone = 4;
inline constexpr int QrPixelsPerModule = 8;
// The side of the largest code we make (version 40, 177 modules): a PNG
// that says it is larger is no code of ours and is not decoded to find out.
inline constexpr int QrLargestSide = (177 + 2 * QrQuietZone) * QrPixelsPerModule;

// A picture layer that is a QR code: its contents' JSON and its modules.
struct QrPicture
{
    QByteArray contents;  // the JSON text of the chunk
    std::shared_ptr<const QrMatrix> modules;
};

// The QR code a PNG carries, read back from its pixels; nothing for any
// other picture (a PNG without the chunk, one larger than QrLargestSide a
// side, or one whose pixels are no grid of modules).
std::optional<QrPicture> readQrPicture(std::string_view pngBytes, std::string_view extension);

// The code as a square centred in the box, quiet zone included, every
// module a sharp square: no smoothing, edges within a dot of the grid.
void paintQr(QPainter& painter, const QrMatrix& modules, const QRectF& box);
// The square the code takes in a box.
QRectF qrSquare(const QRectF& box);
