#pragma once

#include <QChar>
#include <QString>
#include <QStringDecoder>

#include <memory>
#include <optional>
#include <string>

class ReadableFile;

// What one record of a data file may hold. Far beyond any list of people,
// they keep a broken file (an unclosed quote, a line of hundreds of
// megabytes) from taking the machine's memory: reading never holds more
// than one record of this size.
inline constexpr qsizetype MaxFieldBytes = 64 * 1024;
inline constexpr qsizetype MaxRecordBytes = 1024 * 1024;
inline constexpr qsizetype MaxColumns = 1000;

// The data file opened for reading; a folder, a FIFO, a device or a file
// that cannot be read is refused with a MergeError that says which.
std::unique_ptr<ReadableFile> openDataFile(const QString& path);

// The name of the data file as its messages show it.
std::string shownName(const QString& path);

// The MergeError of a data file that breaks a rule at a line:
// "A(z) „lista.csv” adatfájl 12. sorában <what>."
[[noreturn]] void refuseAtLine(const QString& path, long long line, const std::string& what);

// Whether bytes given a chunk at a time are UTF-8 throughout. A sequence
// cut by a chunk's end is checked with the next; one cut by the end of the
// bytes fails, for read as UTF-8 its character would be lost. A U+FFFD in
// the bytes fails too: it is what a reading that went wrong leaves behind.
class Utf8Check
{
public:
    void add(const QByteArray& bytes);
    // Whether everything given so far, taken as the whole, is UTF-8.
    bool passed() const;

private:
    QStringDecoder mDecoder{QStringDecoder::Utf8};
    bool mFailed = false;
    QByteArray mTail;  // the last three bytes given
};

// Where a QString ends once the ASCII blanks on either side are left off:
// the readers decide where records begin and end on ASCII alone, so that
// the file read in either encoding holds the same records.
QString asciiTrimmed(const QString& text);

// The file's characters, a chunk at a time: UTF-8 where the file is UTF-8,
// else Windows-1250; a byte order mark at its start is dropped either way.
// It counts the lines, so that a message can name where a fault is.
class DataText
{
public:
    // watchUtf8: the bytes read are checked for UTF-8 along the way, so that
    // one reading both counts a file's records (their boundaries are ASCII,
    // the same in either encoding) and tells its encoding.
    DataText(const QString& path, bool utf8, bool watchUtf8 = false);
    ~DataText();

    // The next character, or a null one at the end.
    QChar get();
    QChar peek();
    bool atEnd();

    // The line the next character is on, from 1.
    long long line() const { return mLine; }
    // The bytes a character takes in the file, to hold records to sizes
    // the user can check against the file.
    int bytesOf(QChar c) const;

    const QString& path() const { return mPath; }

    // Reads the file to its end and says whether all of it is UTF-8; only
    // when it was watched.
    bool restIsUtf8();

private:
    bool refill();
    QByteArray readChunk();

    QString mPath;
    std::unique_ptr<ReadableFile> mFile;
    bool mUtf8;
    bool mEnded = false;
    bool mStarted = false;
    std::optional<Utf8Check> mWatch;
    // The byte order mark is dropped from the bytes; a second one is text.
    QStringDecoder mDecoder{QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom};
    QString mBuffer;
    qsizetype mPos = 0;
    long long mLine = 1;
};
