#include "merge/DataFile.h"

#include "merge/CsvReader.h"
#include "merge/DataText.h"
#include "merge/VCardReader.h"
#include "storage/FileAccess.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <unistd.h>

namespace {

constexpr qsizetype ChunkBytes = 64 * 1024;

// Up to size bytes from the file, fewer only at its end.
QByteArray readSome(const ReadableFile& file, const QString& path, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < size) {
        const ssize_t got = ::read(file.fd(), bytes.data() + filled, std::size_t(size - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw MergeError("A(z) „" + shownName(path) + "” adatfájl nem olvasható: " + systemReason(errno) + ".");
        if (got == 0)
            break;
        filled += got;
    }
    bytes.resize(filled);
    return bytes;
}

// Whether every byte of the file is UTF-8.
bool isUtf8(const ReadableFile& file, const QString& path)
{
    Utf8Check check;
    for (;;) {
        const QByteArray bytes = readSome(file, path, ChunkBytes);
        if (bytes.isEmpty())
            return check.passed();
        check.add(bytes);
    }
}

// What the first characters tell: a vCard file from a CSV one, and either
// from a file that is neither. The encoding is left to a reading through.
DataFormat formatOf(const ReadableFile& file, const QString& path)
{
    QByteArray start = readSome(file, path, 4096);
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.mid(3);
    const QByteArray trimmed = start.trimmed();
    if (trimmed.isEmpty())
        throw MergeError("A(z) „" + shownName(path) + "” adatfájl üres.");
    DataFormat found;
    found.vCard = trimmed.left(11).toUpper() == "BEGIN:VCARD";
    // A CSV file is text: a NUL byte, or a .vcf without its first card,
    // is neither.
    if (!found.vCard
        && (start.contains('\0') || QFileInfo(path).suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0))
        throw MergeError("A(z) „" + shownName(path)
                         + "” nem CSV-táblázat (fejléccel) és nem is névjegyfájl (vCard).");
    return found;
}

// The records of a file counted in Windows-1250, one character a byte, its
// bytes checked for UTF-8 on the way.
template <class Reader>
long long countWatching(const QString& path, bool& utf8)
{
    Reader reader(path, false, true);
    QStringList values;
    long long count = 0;
    while (reader.next(values))
        ++count;
    utf8 = reader.text().restIsUtf8();
    return count;
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
    DataFormat found;
    return openRecords(path, found);
}

std::unique_ptr<RecordReader> openRecords(const QString& path, DataFormat& found)
{
    const std::unique_ptr<ReadableFile> file = openDataFile(path);
    found = formatOf(*file, path);
    if (::lseek(file->fd(), 0, SEEK_SET) != 0)
        throw MergeError("A(z) „" + shownName(path) + "” adatfájl nem olvasható: " + systemReason(errno) + ".");
    found.utf8 = isUtf8(*file, path);
    return reopenRecords(path, found);
}

std::unique_ptr<RecordReader> reopenRecords(const QString& path, const DataFormat& format)
{
    if (format.vCard)
        return std::make_unique<VCardReader>(path, format.utf8);
    return std::make_unique<CsvReader>(path, format.utf8);
}

long long countRecords(const QString& path, DataFormat& found)
{
    found = formatOf(*openDataFile(path), path);
    return found.vCard ? countWatching<VCardReader>(path, found.utf8) : countWatching<CsvReader>(path, found.utf8);
}

std::shared_ptr<const RecordList> readRecordList(const QString& path)
{
    const std::unique_ptr<RecordReader> reader = openRecords(path);
    auto list = std::make_shared<RecordList>();
    QStringList values;
    while (reader->next(values))
        list->rows.push_back(values);
    list->columns = reader->columns();
    return list;
}
