#pragma once

#include <QChar>
#include <QString>
#include <QStringDecoder>

#include <memory>
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

// The file's characters, a chunk at a time: UTF-8 where the file is UTF-8
// (its byte order mark dropped), else Windows-1250. It counts the lines,
// so that a message can name where a fault is.
class DataText
{
public:
    DataText(const QString& path, bool utf8);
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

private:
    bool refill();

    QString mPath;
    std::unique_ptr<ReadableFile> mFile;
    bool mUtf8;
    bool mEnded = false;
    QStringDecoder mDecoder{QStringDecoder::Utf8};
    QString mBuffer;
    qsizetype mPos = 0;
    long long mLine = 1;
};
