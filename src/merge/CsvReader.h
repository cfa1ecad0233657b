#pragma once

#include "merge/DataFile.h"
#include "merge/DataText.h"

// The CSV reader of RFC 4180, its separator found on the header line. A
// value over MaxFieldBytes, a record over MaxRecordBytes or MaxColumns and
// a quote never closed are refused with the line they start on.
class CsvReader : public RecordReader
{
public:
    // watchUtf8: see DataText.
    CsvReader(const QString& path, bool utf8, bool watchUtf8 = false);

    const QStringList& columns() const override { return mColumns; }
    bool next(QStringList& values) override;

    DataText& text() { return mText; }

private:
    QString headerLine();

    DataText mText;
    QChar mSeparator;
    QStringList mColumns;
};
