#include "merge/VCardReader.h"

#include "layer/Win1250Text.h"
#include "storage/Win1250.h"

#include <QStringDecoder>

namespace {

const std::string LineLimit = std::to_string(MaxFieldBytes / 1024) + " KB";

// The property a line's name gives: "item1.EMAIL;TYPE=work" is EMAIL.
// Upper case in ASCII alone: "begın" is no BEGIN, in either encoding.
QString propertyOf(const QString& name)
{
    QString property = name.left(name.indexOf(u';'));
    for (QChar& c : property)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    if (const qsizetype dot = property.lastIndexOf(u'.'); dot >= 0)
        property = property.mid(dot + 1);
    return property;
}

// The properties the columns are made of; any other may be as long as it
// likes (a phone puts its photos in them) and is passed over unread.
bool isTaken(const QString& property)
{
    static const QStringList taken = {"BEGIN", "END", "N", "FN", "ORG", "TITLE", "TEL", "EMAIL", "URL", "ADR"};
    return taken.contains(property);
}

bool hasParameter(const QStringList& parameters, const QString& wanted)
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

// A parameter's value by its name, quotes dropped: UTF-8 for CHARSET in
// "CHARSET=UTF-8".
QString parameterValue(const QStringList& parameters, QLatin1String name)
{
    for (const QString& parameter : parameters) {
        const qsizetype equals = parameter.indexOf(u'=');
        if (equals >= 0 && parameter.left(equals).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return parameter.mid(equals + 1).remove(u'"').trimmed();
    }
    return QString();
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The bytes a quoted-printable value stands for: "=XX" is the byte it
// names, any other character the bytes it had in the file.
QByteArray quotedPrintableBytes(const QString& value, bool fileIsUtf8)
{
    QByteArray bytes;
    QString literal;
    const auto flush = [&] {
        bytes += fileIsUtf8 ? literal.toUtf8() : QByteArray::fromStdString(utf8ToWin1250(literal.toStdString()).bytes);
        literal.clear();
    };
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'=' && i + 2 < value.size()) {
            const int high = hexDigit(value[i + 1]);
            const int low = hexDigit(value[i + 2]);
            if (high >= 0 && low >= 0) {
                flush();
                bytes += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        literal += value[i];
    }
    flush();
    return bytes;
}

// Quoted-printable bytes read in their CHARSET: UTF-8 or Windows-1250 by
// name. With no CHARSET, or one of another name, they are UTF-8 when they
// are valid UTF-8, else Windows-1250: Hungarian letters have the same bytes
// in ISO-8859-2, and a phone that names ISO-8859-1 for ő and ű has written
// them as Windows-1250 does, which Latin-1 would show as õ and û.
QString decoded(const QString& value, const QStringList& parameters, bool fileIsUtf8)
{
    if (!hasParameter(parameters, QStringLiteral("QUOTED-PRINTABLE")))
        return value;
    const QByteArray bytes = quotedPrintableBytes(value, fileIsUtf8);
    const QString charset = parameterValue(parameters, QLatin1String("CHARSET")).toLower();
    if (charset == QLatin1String("utf-8") || charset == QLatin1String("utf8"))
        return QString::fromUtf8(bytes);
    if (charset == QLatin1String("windows-1250") || charset == QLatin1String("cp1250")
        || charset == QLatin1String("x-cp1250"))
        return fromWin1250(bytes.toStdString());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromWin1250(bytes.toStdString());
}

// A structured value's parts, the escapes undone.
QStringList parts(const QString& value)
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

QString text(const QString& value)
{
    return parts(value).join(u';').trimmed();
}

void first(QStringList& record, VCardReader::Column column, const QString& value)
{
    if (record[column].isEmpty())
        record[column] = value;
}

void take(QStringList& record, const QString& property, const QStringList& parameters, const QString& value)
{
    if (property == QLatin1String("N")) {
        const QStringList name = parts(value);
        first(record, VCardReader::Family, name.value(0).trimmed());
        first(record, VCardReader::Given, name.value(1).trimmed());
    } else if (property == QLatin1String("FN")) {
        first(record, VCardReader::Name, text(value));
    } else if (property == QLatin1String("ORG")) {
        first(record, VCardReader::Org, parts(value).value(0).trimmed());
    } else if (property == QLatin1String("TITLE")) {
        first(record, VCardReader::Title, text(value));
    } else if (property == QLatin1String("TEL")) {
        QString number = text(value);
        if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
            number = number.mid(4);
        const bool mobile = hasParameter(parameters, QStringLiteral("CELL"))
            || hasParameter(parameters, QStringLiteral("MOBILE"));
        first(record, mobile ? VCardReader::Mobile : VCardReader::Tel, number);
    } else if (property == QLatin1String("EMAIL")) {
        first(record, VCardReader::Email, text(value));
    } else if (property == QLatin1String("URL")) {
        first(record, VCardReader::Web, text(value));
    } else if (property == QLatin1String("ADR")) {
        const QStringList address = parts(value);
        // Hungarian order: postcode and city, street, country.
        QStringList shown;
        const QString town = (address.value(5).trimmed() + u' ' + address.value(3).trimmed()).trimmed();
        for (const QString& piece : {town, address.value(2).trimmed(), address.value(6).trimmed()})
            if (!piece.isEmpty())
                shown << piece;
        first(record, VCardReader::Address, shown.join(QStringLiteral(", ")));
    }
}

} // namespace

VCardReader::VCardReader(const QString& path, bool utf8, bool watchUtf8)
    : mText(path, utf8, watchUtf8), mColumns(vCardColumns()), mUtf8(utf8)
{
}

bool VCardReader::next(QStringList& values)
{
    QStringList record(Count);
    bool inCard = false;
    long long cardLine = 0;
    for (;;) {
        const std::optional<QString> line = logicalLine();
        if (!line) {
            // A file cut short would lose its last contact without a word.
            if (inCard)
                refuseAtLine(mText.path(), cardLine, "kezdődő névjegynek nincs vége (hiányzik az END:VCARD sor)");
            return false;
        }
        qsizetype colon = -1;
        bool quoted = false;
        for (qsizetype i = 0; colon < 0 && i < line->size(); ++i) {
            if ((*line)[i] == u'"')
                quoted = !quoted;
            else if ((*line)[i] == u':' && !quoted)
                colon = i;
        }
        if (colon < 0)
            continue;
        const QString name = line->left(colon);
        const QString rawValue = line->mid(colon + 1);
        QStringList parameters = name.split(u';');
        parameters.removeFirst();
        const QString property = propertyOf(name);
        if (property == QLatin1String("BEGIN")
            && asciiTrimmed(rawValue).compare(QLatin1String("VCARD"), Qt::CaseInsensitive) == 0) {
            inCard = true;
            cardLine = mLineStart;
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
        take(record, property, parameters, decoded(rawValue, parameters, mUtf8));
    }
}

// A line with its folded continuations, and a quoted-printable value's soft
// breaks, joined. A line of a property the columns take is refused past
// MaxFieldBytes; any other keeps only its name once it gets that long, and
// the rest is read past, soft breaks and folds still followed, so that no
// line of it is taken for a property of its own.
std::optional<QString> VCardReader::logicalLine()
{
    if (mText.atEnd())
        return std::nullopt;
    mLineStart = mText.line();
    QString line;
    qsizetype colon = -1;
    bool quoted = false;  // in a quoted parameter, where a colon ends nothing
    bool softBreaks = false;  // a quoted-printable value, whose lines end in "=" where it goes on
    bool passingOver = false;
    QChar last;
    qsizetype bytes = 0;
    for (QChar c = mText.get(); !c.isNull(); c = mText.get()) {
        if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && mText.peek() == u'\n')
                mText.get();
            // A soft break first: a space that starts the next line of a
            // quoted-printable value is part of the value, not a fold.
            if (softBreaks && last == u'=') {
                if (!passingOver)
                    line.chop(1);
                last = QChar();
                continue;
            }
            const QChar following = mText.peek();
            if (following == u' ' || following == u'\t') {
                mText.get();
                continue;
            }
            break;
        }
        last = c;
        if (passingOver)
            continue;
        if (colon < 0 && c == u'"') {
            quoted = !quoted;
        } else if (colon < 0 && c == u':' && !quoted) {
            colon = line.size();
            softBreaks = line.contains(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive);
        }
        line += c;
        bytes += mText.bytesOf(c);
        if (bytes > MaxFieldBytes) {
            if (colon < 0 || isTaken(propertyOf(line.left(colon))))
                refuseAtLine(mText.path(), mLineStart,
                             "kezdődő sor a folytatásaival együtt hosszabb " + LineLimit + "-nál");
            line.truncate(colon + 1);
            passingOver = true;
        }
    }
    return line;
}
