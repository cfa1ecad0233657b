#pragma once

#include "layer/QrPicture.h"
#include "merge/Contact.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <stdexcept>
#include <string>

// A QR code that cannot be made; what() is the message for the user.
class QrError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What a QR layer says: a contact (a vCard) or a text, and how much of the
// code may be damaged and still read (error correction L, M, Q or H).
struct QrContents
{
    bool isContact = true;
    Contact contact;
    QString text;
    char level = 'M';

    friend bool operator==(const QrContents&, const QrContents&) = default;
};

// As the card keeps them in the picture, and as lapora-cli shows them:
// {"vcard": {"family": …, …}, "ecc": "M"} or {"text": "…", "ecc": "M"},
// empty fields left out. Reading fails with a QrError naming what is wrong.
QJsonObject contentsJson(const QrContents& contents);
QrContents contentsFromJson(const QJsonObject& json);
QByteArray contentsText(const QrContents& contents);
QrContents contentsFromText(const QByteArray& text);

// The bytes the code holds: the vCard or the text, UTF-8; nothing for a
// contact without any field.
QByteArray qrPayload(const QrContents& contents);

// The modules of the smallest code that holds the payload at the level:
// the UTF-8 marker (ECI 26), then the payload as one byte segment. The
// marker takes room too, so what fits is found here and nowhere else.
QrMatrix encodeQr(const QByteArray& payload, char level);

// A QR layer's picture: a PNG of the code, a whole number of pixels to the
// module (QrPixelsPerModule) with its quiet zone, its contents in a text
// chunk.
std::string qrPng(const QrContents& contents);
std::string qrPng(const QrContents& contents, const QrMatrix& modules);

// The size of one module when the code fills a square box of that many
// card pixels, in millimetres on paper; below MinimumModuleMm a phone may
// not read it.
double moduleMillimetres(const QrMatrix& modules, double boxPixels);
inline constexpr double MinimumModuleMm = 0.4;
