#pragma once

#include <QString>

#include <array>

// A person's contact as a QR code carries it, field by field.
struct Contact
{
    enum Field { Family, Given, Org, Title, Tel, Mobile, Email, Url, Street, City, Zip, Country, FieldCount };

    std::array<QString, FieldCount> fields;

    QString& operator[](Field field) { return fields[field]; }
    const QString& operator[](Field field) const { return fields[field]; }
    bool empty() const;

    friend bool operator==(const Contact&, const Contact&) = default;
};

// The field's key in the card's QR contents and in lapora-cli's JSON
// ("family", "given", …), and its caption in the QR dialog ("Vezetéknév",
// "Keresztnév", …).
const char* contactKey(Contact::Field field);
QString contactCaption(Contact::Field field);

// The contact as vCard 3.0, lines ending in CR LF: N with the family name
// first, FN in Hungarian order ("Vezetéknév Keresztnév"), ORG, TITLE, the
// work and the mobile telephone, EMAIL, URL and ADR, each only when it has
// something to say; commas, semicolons, backslashes and line breaks
// escaped.
QString vCardText(const Contact& contact);
