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

// Whether every byte of the file is UTF-8; read in chunks, a sequence cut
// by a chunk's end is checked with the next.
bool isUtf8(const ReadableFile& file, const QString& path)
{
    QStringDecoder streaming(QStringDecoder::Utf8);
    for (;;) {
        const QByteArray bytes = readSome(file, path, ChunkBytes);
        if (bytes.isEmpty())
            return true;
        const QString text = streaming.decode(bytes);
        if (streaming.hasError() || text.contains(QChar::ReplacementCharacter))
            return false;
    }
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
    // The first characters tell a vCard file from a CSV one and either
    // from a file that is neither.
    const std::unique_ptr<ReadableFile> file = openDataFile(path);
    QByteArray start = readSome(*file, path, 4096);
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.mid(3);
    const QByteArray trimmed = start.trimmed();
    if (trimmed.isEmpty())
        throw MergeError("A(z) „" + shownName(path) + "” adatfájl üres.");
    if (::lseek(file->fd(), 0, SEEK_SET) != 0)
        throw MergeError("A(z) „" + shownName(path) + "” adatfájl nem olvasható: " + systemReason(errno) + ".");
    found.utf8 = isUtf8(*file, path);
    found.vCard = trimmed.left(11).toUpper() == "BEGIN:VCARD";
    // A CSV file is text: a NUL byte, or a .vcf without its first card,
    // is neither.
    if (!found.vCard
        && (start.contains('\0') || QFileInfo(path).suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0))
        throw MergeError("A(z) „" + shownName(path)
                         + "” nem CSV-táblázat (fejléccel) és nem is névjegyfájl (vCard).");
    return reopenRecords(path, found);
}

std::unique_ptr<RecordReader> reopenRecords(const QString& path, const DataFormat& format)
{
    if (format.vCard)
        return std::make_unique<VCardReader>(path, format.utf8);
    return std::make_unique<CsvReader>(path, format.utf8);
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
