#include "merge/QrCode.h"

#include <QBuffer>
#include <QImage>
#include <QJsonDocument>

#include <qrencode.h>

#include <memory>
#include <new>

namespace {

const QString ContactKey = QStringLiteral("vcard");
const QString TextKey = QStringLiteral("text");
const QString LevelKey = QStringLiteral("ecc");
constexpr unsigned int Utf8Eci = 26;

QRecLevel levelOf(char level)
{
    switch (level) {
    case 'L': return QR_ECLEVEL_L;
    case 'Q': return QR_ECLEVEL_Q;
    case 'H': return QR_ECLEVEL_H;
    default: return QR_ECLEVEL_M;
    }
}

} // namespace

QJsonObject contentsJson(const QrContents& contents)
{
    QJsonObject json;
    if (contents.isContact) {
        QJsonObject fields;
        for (int field = 0; field < Contact::FieldCount; ++field) {
            const QString& value = contents.contact[Contact::Field(field)];
            if (!value.isEmpty())
                fields.insert(QString::fromLatin1(contactKey(Contact::Field(field))), value);
        }
        json.insert(ContactKey, fields);
    } else {
        json.insert(TextKey, contents.text);
    }
    json.insert(LevelKey, QString(QChar::fromLatin1(contents.level)));
    return json;
}

QrContents contentsFromJson(const QJsonObject& json)
{
    QrContents contents;
    const QString level = json.value(LevelKey).toString(QStringLiteral("M"));
    if (level.size() != 1 || !QStringLiteral("LMQH").contains(level))
        throw QrError("a QR-kód hibajavítási szintje L, M, Q vagy H lehet, nem " + level.toStdString());
    contents.level = level.front().toLatin1();
    if (json.contains(ContactKey)) {
        if (!json.value(ContactKey).isObject())
            throw QrError("a QR-kód névjegye (vcard) mezőket tartalmazó objektum legyen");
        const QJsonObject fields = json.value(ContactKey).toObject();
        for (auto it = fields.begin(); it != fields.end(); ++it) {
            int found = -1;
            for (int field = 0; field < Contact::FieldCount; ++field)
                if (it.key() == QLatin1String(contactKey(Contact::Field(field))))
                    found = field;
            if (found < 0)
                throw QrError("a QR-kód névjegyének nincs " + it.key().toStdString() + " mezője");
            if (!it.value().isString())
                throw QrError("a QR-kód névjegyének " + it.key().toStdString() + " mezője szöveg legyen");
            contents.contact[Contact::Field(found)] = it.value().toString();
        }
        contents.isContact = true;
    } else if (json.contains(TextKey)) {
        if (!json.value(TextKey).isString())
            throw QrError("a QR-kód szövege (text) szöveg legyen");
        contents.isContact = false;
        contents.text = json.value(TextKey).toString();
    } else {
        throw QrError("a QR-kód vagy névjegyet (vcard), vagy szöveget (text) tartalmaz");
    }
    return contents;
}

QByteArray contentsText(const QrContents& contents)
{
    return QJsonDocument(contentsJson(contents)).toJson(QJsonDocument::Compact);
}

QrContents contentsFromText(const QByteArray& text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text);
    if (!document.isObject())
        throw QrError("a QR-kód tartalma nem olvasható");
    return contentsFromJson(document.object());
}

QByteArray qrPayload(const QrContents& contents)
{
    if (contents.isContact && contents.contact.empty())
        return {};
    return (contents.isContact ? vCardText(contents.contact) : contents.text).toUtf8();
}

QrMatrix encodeQr(const QByteArray& payload, char level)
{
    if (payload.isEmpty())
        throw QrError("A QR-kód üres: adjon meg legalább egy adatot.");
    // The bytes are UTF-8, and the code says so (ECI 26) before them:
    // without it a reader guesses the character set, and some guess one
    // that turns "Kovács" into other letters.
    const std::unique_ptr<QRinput, void (*)(QRinput*)> input(QRinput_new2(0, levelOf(level)), QRinput_free);
    if (!input || QRinput_appendECIheader(input.get(), Utf8Eci) != 0
        || QRinput_append(input.get(), QR_MODE_8, int(payload.size()),
                          reinterpret_cast<const unsigned char*>(payload.constData()))
            != 0)
        throw std::bad_alloc();
    const std::unique_ptr<QRcode, void (*)(QRcode*)> code(QRcode_encodeInput(input.get()), QRcode_free);
    if (!code)
        throw QrError("A QR-kódba nem fér ennyi adat (" + std::to_string(payload.size())
                      + " bájt); rövidítse a szöveget, vagy válasszon kisebb hibajavítási szintet.");
    QrMatrix matrix;
    matrix.size = code->width;
    matrix.dark.resize(std::size_t(code->width) * code->width);
    for (std::size_t i = 0; i < matrix.dark.size(); ++i)
        matrix.dark[i] = code->data[i] & 1;
    return matrix;
}

std::string qrPng(const QrContents& contents)
{
    return qrPng(contents, encodeQr(qrPayload(contents), contents.level));
}

std::string qrPng(const QrContents& contents, const QrMatrix& modules)
{
    const int side = (modules.size + 2 * QrQuietZone) * QrPixelsPerModule;
    QImage image(side, side, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 0; y < modules.size; ++y)
        for (int x = 0; x < modules.size; ++x)
            if (modules.at(x, y))
                for (int dy = 0; dy < QrPixelsPerModule; ++dy)
                    for (int dx = 0; dx < QrPixelsPerModule; ++dx)
                        image.setPixel((x + QrQuietZone) * QrPixelsPerModule + dx,
                                       (y + QrQuietZone) * QrPixelsPerModule + dy, 1);
    image.setText(QString::fromLatin1(QrTextKey), QString::fromUtf8(contentsText(contents)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

double moduleMillimetres(const QrMatrix& modules, double boxPixels)
{
    return boxPixels * 25.4 / 96 / (modules.size + 2 * QrQuietZone);
}
