#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>
#include <vector>

// A data file that cannot be read as a list of people; what() is the
// message for the user.
class MergeError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The records of a data file, read one at a time as they are asked for, so
// that a list of any length takes no more memory than its longest record.
class RecordReader
{
public:
    virtual ~RecordReader() = default;
    // The columns' headers.
    virtual const QStringList& columns() const = 0;
    // The next record, one value per column (empty where the row has none);
    // false after the last.
    virtual bool next(QStringList& values) = 0;
};

// A CSV file with a header line (UTF-8 with or without a byte order mark,
// else Windows-1250; the comma, the semicolon or the tab, whichever the
// header line uses; quoted values with doubled quotes and line breaks in
// them), or a vCard file of contacts (versions 2.1, 3.0 and 4.0) whose
// columns are Vezetéknév, Keresztnév, Név, Cég, Beosztás, Telefon, Mobil,
// Email, Web and Cím. Anything else is refused with a MergeError.
std::unique_ptr<RecordReader> openRecords(const QString& path);

// What openRecords found a file to be: a reading from its start again
// need not read it through first to tell its encoding.
struct DataFormat
{
    bool vCard = false;
    bool utf8 = true;
};

// The number of records the file holds, and what it is, told by one
// reading through.
long long countRecords(const QString& path, DataFormat& found);
std::unique_ptr<RecordReader> openRecords(const QString& path, DataFormat& found);
std::unique_ptr<RecordReader> reopenRecords(const QString& path, const DataFormat& format);

// A data file's records read whole, once: the people the merge dialog shows
// are the people its job prints, however the file changes meanwhile.
struct RecordList
{
    QStringList columns;
    std::vector<QStringList> rows;
};
std::shared_ptr<const RecordList> readRecordList(const QString& path);

// The columns a vCard file gives.
QStringList vCardColumns();
