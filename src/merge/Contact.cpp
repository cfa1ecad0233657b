#include "merge/Contact.h"

namespace {

struct FieldNames
{
    const char* key;
    const char* caption;
};

// In the order of Contact::Field.
constexpr FieldNames Names[Contact::FieldCount] = {
    {"family", "Vezetéknév"}, {"given", "Keresztnév"}, {"org", "Cég"},       {"title", "Beosztás"},
    {"tel", "Telefon"},       {"mobile", "Mobil"},     {"email", "E-mail"},  {"url", "Web"},
    {"street", "Utca"},       {"city", "Város"},       {"zip", "Irányítószám"}, {"country", "Ország"},
};

QString escaped(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' || c == u',' || c == u';') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            if (i + 1 < value.size() && value[i + 1] == u'\n')
                ++i;
            out += QStringLiteral("\\n");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

bool Contact::empty() const
{
    for (const QString& field : fields)
        if (!field.trimmed().isEmpty())
            return false;
    return true;
}

const char* contactKey(Contact::Field field)
{
    return Names[field].key;
}

QString contactCaption(Contact::Field field)
{
    return QString::fromUtf8(Names[field].caption);
}

QString vCardText(const Contact& contact)
{
    const auto has = [&](Contact::Field field) { return !contact[field].trimmed().isEmpty(); };
    const auto value = [&](Contact::Field field) { return escaped(contact[field].trimmed()); };
    QString card = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\n");
    auto line = [&card](const QString& text) { card += text + QStringLiteral("\r\n"); };
    if (has(Contact::Family) || has(Contact::Given)) {
        line(QStringLiteral("N:") + value(Contact::Family) + u';' + value(Contact::Given) + QStringLiteral(";;;"));
        QString full = value(Contact::Family);
        if (has(Contact::Family) && has(Contact::Given))
            full += u' ';
        line(QStringLiteral("FN:") + full + value(Contact::Given));
    } else if (has(Contact::Org)) {
        // A card must have a name; a firm's own card goes by the firm's.
        line(QStringLiteral("N:;;;;"));
        line(QStringLiteral("FN:") + value(Contact::Org));
    }
    if (has(Contact::Org))
        line(QStringLiteral("ORG:") + value(Contact::Org));
    if (has(Contact::Title))
        line(QStringLiteral("TITLE:") + value(Contact::Title));
    if (has(Contact::Tel))
        line(QStringLiteral("TEL;TYPE=WORK,VOICE:") + value(Contact::Tel));
    if (has(Contact::Mobile))
        line(QStringLiteral("TEL;TYPE=CELL:") + value(Contact::Mobile));
    if (has(Contact::Email))
        line(QStringLiteral("EMAIL:") + value(Contact::Email));
    if (has(Contact::Url))
        line(QStringLiteral("URL:") + value(Contact::Url));
    if (has(Contact::Street) || has(Contact::City) || has(Contact::Zip) || has(Contact::Country))
        line(QStringLiteral("ADR:;;") + value(Contact::Street) + u';' + value(Contact::City) + u';' + u';'
             + value(Contact::Zip) + u';' + value(Contact::Country));
    card += QStringLiteral("END:VCARD\r\n");
    return card;
}
