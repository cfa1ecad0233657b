#pragma once

#include "merge/DataFile.h"
#include "merge/DataText.h"

#include <optional>

// Contacts of a vCard file, one record each, in the columns of
// vCardColumns(). A quoted-printable value is bytes read in its CHARSET,
// UTF-8 or Windows-1250. A line the columns take is refused past
// MaxFieldBytes, and a card the file never ends is refused with the line it
// starts on.
class VCardReader : public RecordReader
{
public:
    enum Column { Family, Given, Name, Org, Title, Tel, Mobile, Email, Web, Address, Count };

    // watchUtf8: see DataText.
    VCardReader(const QString& path, bool utf8, bool watchUtf8 = false);

    const QStringList& columns() const override { return mColumns; }
    bool next(QStringList& values) override;

    DataText& text() { return mText; }

private:
    std::optional<QString> logicalLine();

    DataText mText;
    QStringList mColumns;
    bool mUtf8;                // the file's encoding, for the bytes of a quoted-printable value
    long long mLineStart = 0;  // where the last logical line began
};
