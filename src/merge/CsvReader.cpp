#include "merge/CsvReader.h"

namespace {

const std::string FieldLimit = std::to_string(MaxFieldBytes / 1024) + " KB";
const std::string RecordLimit = std::to_string(MaxRecordBytes / (1024 * 1024)) + " MB";

// The header line once read, as a source of characters like the file.
struct StringSource
{
    const QString& text;
    const DataText& file;
    long long lineNow;
    qsizetype pos = 0;

    QChar get()
    {
        if (pos >= text.size())
            return QChar();
        const QChar c = text[pos++];
        if (c == u'\n' || (c == u'\r' && peek() != u'\n'))
            ++lineNow;
        return c;
    }
    QChar peek() const { return pos < text.size() ? text[pos] : QChar(); }
    long long line() const { return lineNow; }
    int bytesOf(QChar c) const { return file.bytesOf(c); }
};

// One record of RFC 4180 from a source of characters: quoted values keep
// separators, line breaks and doubled quotes; the record ends at a line
// break outside quotes or at the end. False when the source had nothing.
// What passes the bounds is refused as soon as it does, so a broken file
// is never read further into memory.
template <class Source>
bool readCsvRecord(Source& source, QChar separator, QStringList& record, const QString& path)
{
    const long long recordLine = source.line();
    long long valueLine = recordLine;
    long long quoteLine = recordLine;
    QString value;
    qsizetype valueBytes = 0;
    qsizetype recordBytes = 0;
    bool quoted = false;
    bool wasQuoted = false;
    bool any = false;
    auto endValue = [&] {
        record << value;
        if (record.size() > MaxColumns)
            refuseAtLine(path, recordLine, "több mint " + std::to_string(MaxColumns) + " oszlop van");
        value.clear();
        valueBytes = 0;
        wasQuoted = false;
        valueLine = source.line();
    };
    auto append = [&](QChar c) {
        value += c;
        valueBytes += source.bytesOf(c);
        if (valueBytes <= MaxFieldBytes)
            return;
        if (wasQuoted)
            refuseAtLine(path, quoteLine, "kezdődő idézőjeles érték hosszabb " + FieldLimit
                                              + "-nál: talán nincs lezárva az idézőjele");
        refuseAtLine(path, valueLine, "egy érték hosszabb " + FieldLimit + "-nál");
    };
    for (;;) {
        const long long at = source.line();
        const QChar c = source.get();
        if (c.isNull())
            break;
        any = true;
        recordBytes += source.bytesOf(c);
        if (recordBytes > MaxRecordBytes)
            refuseAtLine(path, recordLine, "kezdődő adatsor hosszabb " + RecordLimit + "-nál");
        if (quoted) {
            if (c == u'"' && source.peek() == u'"') {
                append(u'"');
                source.get();
            } else if (c == u'"') {
                quoted = false;
            } else {
                append(c);
            }
        } else if (c == u'"') {
            quoted = wasQuoted = true;
            quoteLine = at;
        } else if (c == separator) {
            endValue();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && source.peek() == u'\n')
                source.get();
            endValue();
            return true;
        } else {
            append(c);
        }
    }
    // Taking the rest of the file as one value would lose every person
    // after the quote without a word.
    if (quoted)
        refuseAtLine(path, quoteLine, "kezdődő idézőjel nincs lezárva");
    endValue();
    return any;
}

QChar separatorOf(const QString& header)
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

} // namespace

CsvReader::CsvReader(const QString& path, bool utf8, bool watchUtf8)
    : mText(path, utf8, watchUtf8)
{
    QString header;
    long long headerStart = mText.line();
    while (!mText.atEnd() && asciiTrimmed(header).isEmpty()) {
        headerStart = mText.line();
        header = headerLine();
    }
    if (asciiTrimmed(header).isEmpty())
        throw MergeError("A(z) „" + shownName(path) + "” adatfájl üres: nincs fejléce.");
    mSeparator = separatorOf(header);
    StringSource source{header, mText, headerStart};
    readCsvRecord(source, mSeparator, mColumns, path);
    for (QString& name : mColumns)
        name = name.trimmed();
}

bool CsvReader::next(QStringList& values)
{
    for (;;) {
        if (mText.atEnd())
            return false;
        QStringList record;
        if (!readCsvRecord(mText, mSeparator, record, mText.path()))
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

// The header line as written, quotes included, to find its separator.
QString CsvReader::headerLine()
{
    const long long start = mText.line();
    long long quoteLine = start;
    QString line;
    qsizetype bytes = 0;
    bool quoted = false;
    for (;;) {
        const long long at = mText.line();
        const QChar c = mText.get();
        if (c.isNull())
            break;
        if (c == u'"') {
            quoted = !quoted;
            quoteLine = at;
        }
        if (!quoted && (c == u'\n' || c == u'\r')) {
            if (c == u'\r' && mText.peek() == u'\n')
                mText.get();
            return line;
        }
        bytes += mText.bytesOf(c);
        if (bytes > MaxRecordBytes)
            refuseAtLine(mText.path(), start, "kezdődő fejléc hosszabb " + RecordLimit + "-nál");
        line += c;
    }
    if (quoted)
        refuseAtLine(mText.path(), quoteLine, "kezdődő idézőjel nincs lezárva");
    return line;
}
