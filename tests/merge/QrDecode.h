#pragma once

#include <QByteArray>
#include <QImage>

#include <ZXing/ReadBarcode.h>

// What a phone's decoder reads from a picture: the bytes of the first QR
// code in it, or nothing.
inline QByteArray decodeQr(const QImage& picture)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                int(grey.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return {};
    const ZXing::ByteArray& bytes = result.bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}
