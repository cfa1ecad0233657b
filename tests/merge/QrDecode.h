#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <ZXing/ReadBarcode.h>

// The first QR code in a picture as ZXing reads it, or an invalid result.
inline ZXing::Result readQr(const QImage& picture)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                int(grey.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    return ZXing::ReadBarcode(view, hints);
}

// What a phone's decoder reads from a picture: the bytes of the first QR
// code in it, or nothing.
inline QByteArray decodeQr(const QImage& picture)
{
    const ZXing::Result result = readQr(picture);
    if (!result.isValid())
        return {};
    const ZXing::ByteArray& bytes = result.bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

inline QString qtString(const std::string& utf8) { return QString::fromStdString(utf8); }
inline QString qtString(const std::wstring& text) { return QString::fromStdWString(text); }

// The text a reader shows: the bytes in the character set the code names,
// or the one the reader guesses.
inline QString decodeQrText(const QImage& picture)
{
    const ZXing::Result result = readQr(picture);
    return result.isValid() ? qtString(result.text()) : QString();
}
