#include "merge/VCardReader.h"

#include "layer/Win1250Text.h"

namespace {

const std::string LineLimit = std::to_string(MaxFieldBytes / 1024) + " KB";

// The property a line's name gives: "item1.EMAIL;TYPE=work" is EMAIL.
QString propertyOf(const QString& name)
{
    QString property = name.left(name.indexOf(u';')).toUpper();
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

// Quoted-printable bytes in the value's own character set (UTF-8
// unless it says otherwise).
QString decoded(const QString& value, const QStringList& parameters)
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

VCardReader::VCardReader(const QString& path, bool utf8)
    : mText(path, utf8), mColumns(vCardColumns())
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
            && rawValue.trimmed().compare(QLatin1String("VCARD"), Qt::CaseInsensitive) == 0) {
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
        take(record, property, parameters, decoded(rawValue, parameters));
    }
}

// A line with its folded continuations, and a quoted-printable value's soft
// breaks, joined. A line of a property the columns take is refused past
// MaxFieldBytes; any other keeps only its name once it gets that long, and
// the rest is read past.
std::optional<QString> VCardReader::logicalLine()
{
    if (mText.atEnd())
        return std::nullopt;
    mLineStart = mText.line();
    QString line;
    qsizetype colon = -1;
    bool quoted = false;  // in a quoted parameter, where a colon ends nothing
    bool passingOver = false;
    qsizetype bytes = 0;
    for (QChar c = mText.get(); !c.isNull(); c = mText.get()) {
        if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && mText.peek() == u'\n')
                mText.get();
            const QChar following = mText.peek();
            if (following == u' ' || following == u'\t') {
                mText.get();
                continue;
            }
            if (!passingOver && colon >= 0 && line.endsWith(u'=')
                && line.left(colon).contains(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive)) {
                line.chop(1);
                continue;
            }
            break;
        }
        if (passingOver)
            continue;
        if (colon < 0 && c == u'"')
            quoted = !quoted;
        else if (colon < 0 && c == u':' && !quoted)
            colon = line.size();
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
