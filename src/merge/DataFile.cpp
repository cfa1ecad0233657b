#include "merge/DataFile.h"

#include "layer/Win1250Text.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;

std::string shownPath(const QString& path)
{
    return QFileInfo(path).fileName().toStdString();
}

// The file's characters, a chunk at a time: UTF-8 where the file is
// UTF-8 (its byte order mark dropped), else Windows-1250.
class TextStream
{
public:
    TextStream(const QString& path, bool utf8)
        : mFile(path), mUtf8(utf8)
    {
        if (!mFile.open(QIODevice::ReadOnly))
            throw MergeError("A(z) „" + shownPath(path) + "” adatfájl nem nyitható meg: "
                             + mFile.errorString().toStdString());
        if (mUtf8 && mFile.peek(3) == QByteArray("\xEF\xBB\xBF"))
            mFile.read(3);
    }

    // The next character, or a null one at the end.
    QChar get()
    {
        if (mPos >= mBuffer.size() && !refill())
            return QChar();
        return mBuffer[mPos++];
    }
    QChar peek()
    {
        if (mPos >= mBuffer.size() && !refill())
            return QChar();
        return mBuffer[mPos];
    }
    bool atEnd() { return peek().isNull() && mFile.atEnd(); }

private:
    bool refill()
    {
        mBuffer.clear();
        mPos = 0;
        while (mBuffer.isEmpty()) {
            const QByteArray bytes = mFile.read(ChunkBytes);
            if (bytes.isEmpty())
                return false;
            mBuffer = mUtf8 ? QString(mDecoder.decode(bytes)) : fromWin1250(bytes.toStdString());
        }
        return true;
    }

    QFile mFile;
    bool mUtf8;
    QStringDecoder mDecoder{QStringDecoder::Utf8};
    QString mBuffer;
    qsizetype mPos = 0;
};

// Whether every byte of the file is UTF-8; read in chunks, a sequence cut
// by a chunk's end is checked with the next.
bool isUtf8(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    QStringDecoder streaming(QStringDecoder::Utf8);
    while (!file.atEnd()) {
        const QString text = streaming.decode(file.read(ChunkBytes));
        if (streaming.hasError() || text.contains(QChar::ReplacementCharacter))
            return false;
    }
    return true;
}

// The characters of a text already read, as a TextStream gives a file's.
struct StringSource
{
    const QString& text;
    qsizetype pos = 0;

    QChar get() { return pos < text.size() ? text[pos++] : QChar(); }
    QChar peek() const { return pos < text.size() ? text[pos] : QChar(); }
};

// One record of RFC 4180 from a source of characters: quoted values keep
// separators, line breaks and doubled quotes; the record ends at a line
// break outside quotes or at the end. False when the source had nothing.
template <class Source>
bool readCsvRecord(Source& source, QChar separator, QStringList& record)
{
    QString value;
    bool quoted = false;
    bool any = false;
    for (QChar c = source.get(); !c.isNull(); c = source.get()) {
        any = true;
        if (quoted) {
            if (c == u'"' && source.peek() == u'"') {
                value += u'"';
                source.get();
            } else if (c == u'"') {
                quoted = false;
            } else {
                value += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            record << value;
            value.clear();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && source.peek() == u'\n')
                source.get();
            record << value;
            return true;
        } else {
            value += c;
        }
    }
    record << value;
    return any;
}

// The CSV reader of RFC 4180, its separator found on the header line.
class CsvReader : public RecordReader
{
public:
    CsvReader(const QString& path, bool utf8)
        : mText(path, utf8)
    {
        QString header;
        while (!mText.atEnd() && header.trimmed().isEmpty())
            header = rawLineForHeader();
        if (header.trimmed().isEmpty())
            throw MergeError("A(z) „" + shownPath(path) + "” adatfájl üres: nincs fejléce.");
        mSeparator = separatorOf(header);
        mColumns = split(header);
        for (QString& name : mColumns)
            name = name.trimmed();
    }

    const QStringList& columns() const override { return mColumns; }

    bool next(QStringList& values) override
    {
        for (;;) {
            if (mText.atEnd())
                return false;
            QStringList record;
            if (!readRecord(record))
                return false;
            if (record.size() == 1 && record.front().isEmpty())
                continue;  // a blank line
            while (record.size() < mColumns.size())
                record << QString();
            record.resize(mColumns.size());
            values = std::move(record);
            return true;
        }
    }

private:
    // The header line as written, quotes included, to find its separator.
    QString rawLineForHeader()
    {
        QString line;
        bool quoted = false;
        for (QChar c = mText.get(); !c.isNull(); c = mText.get()) {
            if (c == u'"')
                quoted = !quoted;
            if (!quoted && (c == u'\n' || c == u'\r')) {
                if (c == u'\r' && mText.peek() == u'\n')
                    mText.get();
                break;
            }
            line += c;
        }
        return line;
    }

    static QChar separatorOf(const QString& header)
    {
        int counts[3] = {0, 0, 0};
        const QChar candidates[3] = {u';', u',', u'\t'};
        bool quoted = false;
        for (QChar c : header) {
            if (c == u'"')
                quoted = !quoted;
            for (int i = 0; !quoted && i < 3; ++i)
                counts[i] += c == candidates[i];
        }
        int best = 1;
        for (int i = 0; i < 3; ++i)
            if (counts[i] > counts[best])
                best = i;
        return candidates[best];
    }

    QStringList split(const QString& line) const
    {
        StringSource source{line};
        QStringList values;
        readCsvRecord(source, mSeparator, values);
        return values;
    }

    bool readRecord(QStringList& record) { return readCsvRecord(mText, mSeparator, record); }

    TextStream mText;
    QChar mSeparator;
    QStringList mColumns;
};

// Contacts of a vCard file, one record each.
class VCardReader : public RecordReader
{
public:
    enum Column { Family, Given, Name, Org, Title, Tel, Mobile, Email, Web, Address, Count };

    VCardReader(const QString& path, bool utf8)
        : mText(path, utf8), mPath(path)
    {
        mColumns = vCardColumns();
    }

    const QStringList& columns() const override { return mColumns; }

    bool next(QStringList& values) override
    {
        QStringList record(Count);
        bool inCard = false;
        for (;;) {
            const std::optional<QString> line = unfoldedLine();
            if (!line)
                return false;
            const qsizetype colon = colonOf(*line);
            if (colon < 0)
                continue;
            QString name = line->left(colon);
            const QString rawValue = line->mid(colon + 1);
            QStringList parameters = name.split(u';');
            QString property = parameters.takeFirst().toUpper();
            if (const qsizetype dot = property.lastIndexOf(u'.'); dot >= 0)
                property = property.mid(dot + 1);  // item1.EMAIL
            if (property == QLatin1String("BEGIN") && rawValue.trimmed().compare(QLatin1String("VCARD"), Qt::CaseInsensitive) == 0) {
                inCard = true;
                record = QStringList(Count);
                continue;
            }
            if (!inCard)
                continue;
            if (property == QLatin1String("END")) {
                if (record[Name].isEmpty())
                    record[Name] = (record[Family] + u' ' + record[Given]).trimmed();
                values = record;
                return true;
            }
            take(record, property, parameters, decoded(rawValue, parameters));
        }
    }

private:
    // A line with its folded continuations, and a quoted-printable value's
    // soft breaks, joined.
    std::optional<QString> unfoldedLine()
    {
        QString line;
        bool any = false;
        for (;;) {
            if (mPending) {
                line = *mPending;
                mPending.reset();
                any = true;
            } else {
                std::optional<QString> raw = rawLine();
                if (!raw)
                    return any ? std::optional<QString>(line) : std::nullopt;
                line = *raw;
                any = true;
            }
            for (;;) {
                std::optional<QString> following = rawLine();
                if (!following)
                    return line;
                const bool softBreak = line.endsWith(u'=') && line.contains(QLatin1String("QUOTED-PRINTABLE"),
                                                                                Qt::CaseInsensitive);
                if (!following->isEmpty() && (following->front() == u' ' || following->front() == u'\t')) {
                    line += following->mid(1);
                } else if (softBreak) {
                    line.chop(1);
                    line += *following;
                } else {
                    mPending = following;
                    return line;
                }
            }
        }
    }

    std::optional<QString> rawLine()
    {
        if (mText.atEnd())
            return std::nullopt;
        QString line;
        for (QChar c = mText.get(); !c.isNull(); c = mText.get()) {
            if (c == u'\n')
                break;
            if (c == u'\r') {
                if (mText.peek() == u'\n')
                    mText.get();
                break;
            }
            line += c;
        }
        return line;
    }

    // The name ends at the first colon not inside a quoted parameter.
    static qsizetype colonOf(const QString& line)
    {
        bool quoted = false;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] == u'"')
                quoted = !quoted;
            else if (line[i] == u':' && !quoted)
                return i;
        }
        return -1;
    }

    static bool hasParameter(const QStringList& parameters, const QString& wanted)
    {
        for (const QString& parameter : parameters) {
            QString value = parameter;
            if (const qsizetype equals = value.indexOf(u'='); equals >= 0)
                value = value.mid(equals + 1);
            value.remove(u'"');
            for (const QString& part : value.split(u','))
                if (part.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
                    return true;
        }
        return false;
    }

    // Quoted-printable bytes in the value's own character set (UTF-8
    // unless it says otherwise).
    QString decoded(const QString& value, const QStringList& parameters) const
    {
        if (!hasParameter(parameters, QStringLiteral("QUOTED-PRINTABLE")))
            return value;
        QByteArray bytes;
        const QByteArray latin = value.toLatin1();
        for (qsizetype i = 0; i < latin.size(); ++i) {
            if (latin[i] == '=' && i + 2 < latin.size()) {
                bool ok = false;
                const int byte = latin.mid(i + 1, 2).toInt(&ok, 16);
                if (ok) {
                    bytes += char(byte);
                    i += 2;
                    continue;
                }
            }
            bytes += latin[i];
        }
        for (const QString& parameter : parameters) {
            if (parameter.startsWith(QLatin1String("CHARSET="), Qt::CaseInsensitive)) {
                const QString charset = parameter.mid(8).toLower();
                if (charset == QLatin1String("windows-1250") || charset == QLatin1String("cp1250"))
                    return fromWin1250(bytes.toStdString());
                if (charset == QLatin1String("iso-8859-1"))
                    return QString::fromLatin1(bytes);
            }
        }
        return QString::fromUtf8(bytes);
    }

    // A structured value's parts, the escapes undone.
    static QStringList parts(const QString& value)
    {
        QStringList found;
        QString part;
        for (qsizetype i = 0; i < value.size(); ++i) {
            const QChar c = value[i];
            if (c == u'\\' && i + 1 < value.size()) {
                const QChar escaped = value[++i];
                part += (escaped == u'n' || escaped == u'N') ? QChar(u'\n') : escaped;
            } else if (c == u';') {
                found << part;
                part.clear();
            } else {
                part += c;
            }
        }
        found << part;
        return found;
    }

    static QString text(const QString& value)
    {
        return parts(value).join(u';').trimmed();
    }

    static void first(QStringList& record, Column column, const QString& value)
    {
        if (record[column].isEmpty())
            record[column] = value;
    }

    void take(QStringList& record, const QString& property, const QStringList& parameters, const QString& value)
    {
        if (property == QLatin1String("N")) {
            const QStringList name = parts(value);
            first(record, Family, name.value(0).trimmed());
            first(record, Given, name.value(1).trimmed());
        } else if (property == QLatin1String("FN")) {
            first(record, Name, text(value));
        } else if (property == QLatin1String("ORG")) {
            first(record, Org, parts(value).value(0).trimmed());
        } else if (property == QLatin1String("TITLE")) {
            first(record, Title, text(value));
        } else if (property == QLatin1String("TEL")) {
            QString number = text(value);
            if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                number = number.mid(4);
            const bool mobile = hasParameter(parameters, QStringLiteral("CELL"))
                || hasParameter(parameters, QStringLiteral("MOBILE"));
            first(record, mobile ? Mobile : Tel, number);
        } else if (property == QLatin1String("EMAIL")) {
            first(record, Email, text(value));
        } else if (property == QLatin1String("URL")) {
            first(record, Web, text(value));
        } else if (property == QLatin1String("ADR")) {
            const QStringList address = parts(value);
            // Hungarian order: postcode and city, street, country.
            QStringList shown;
            const QString town = (address.value(5).trimmed() + u' ' + address.value(3).trimmed()).trimmed();
            for (const QString& piece : {town, address.value(2).trimmed(), address.value(6).trimmed()})
                if (!piece.isEmpty())
                    shown << piece;
            first(record, Address, shown.join(QStringLiteral(", ")));
        }
    }

    TextStream mText;
    QString mPath;
    QStringList mColumns;
    std::optional<QString> mPending;
};

// The first characters of the file, to tell a vCard file from a CSV one
// and either from a file that is neither.
QByteArray startOf(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw MergeError("A(z) „" + shownPath(path) + "” adatfájl nem nyitható meg"
                         + (file.errorString().isEmpty() ? std::string() : ": " + file.errorString().toStdString())
                         + ".");
    return file.read(4096);
}

} // namespace

QStringList vCardColumns()
{
    return {QStringLiteral("Vezetéknév"), QStringLiteral("Keresztnév"), QStringLiteral("Név"),
            QStringLiteral("Cég"),        QStringLiteral("Beosztás"),   QStringLiteral("Telefon"),
            QStringLiteral("Mobil"),      QStringLiteral("Email"),      QStringLiteral("Web"),
            QStringLiteral("Cím")};
}

std::unique_ptr<RecordReader> openRecords(const QString& path)
{
    QByteArray start = startOf(path);
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.mid(3);
    const QByteArray trimmed = start.trimmed();
    if (trimmed.isEmpty())
        throw MergeError("A(z) „" + shownPath(path) + "” adatfájl üres.");
    const bool utf8 = isUtf8(path);
    if (trimmed.left(11).toUpper() == "BEGIN:VCARD")
        return std::make_unique<VCardReader>(path, utf8);
    // A CSV file is text: a NUL byte, or a .vcf without its first card,
    // is neither.
    if (start.contains('\0') || QFileInfo(path).suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0)
        throw MergeError("A(z) „" + shownPath(path)
                         + "” nem CSV-táblázat (fejléccel) és nem is névjegyfájl (vCard).");
    return std::make_unique<CsvReader>(path, utf8);
}

long long countRecords(const QString& path)
{
    const std::unique_ptr<RecordReader> reader = openRecords(path);
    QStringList values;
    long long count = 0;
    while (reader->next(values))
        ++count;
    return count;
}
