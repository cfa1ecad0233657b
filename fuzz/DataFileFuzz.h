#pragma once

#include "merge/DataFile.h"
#include "merge/DataText.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

// Reads arbitrary bytes as a data file of the given name, as the merge
// dialog and lapora-cli do. Only a MergeError that names the file may stop
// the reading; every record has one value per column, none past the
// bounds, and counting finds as many records and the same encoding.
namespace datafilefuzz {

[[noreturn]] inline void finding(const std::string& what)
{
    std::fprintf(stderr, "finding: %s\n", what.c_str());
    std::abort();
}

// In memory: writing each input to a disk would slow each run down.
inline QString scratchPath(const char* name)
{
    char pattern[] = "/dev/shm/data-fuzz-XXXXXX";
    return QString::fromLocal8Bit(::mkdtemp(pattern)) + u'/' + QString::fromLatin1(name);
}

inline void requireOwnMessage(const MergeError& error, const char* name)
{
    const std::string text = error.what();
    if (text.rfind(std::string("A(z) \u201E") + name + "\u201D", 0) != 0)
        finding("a refusal does not name the file: " + text);
}

inline int read(const std::uint8_t* data, std::size_t size, const QString& path, const char* name)
{
    FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    // The reading that prints the records, and the one that counts them
    // and tells the encoding in one go, must agree on both, and on a
    // refusal.
    long long count = 0;
    DataFormat format;
    std::string refusal;
    try {
        const std::unique_ptr<RecordReader> reader = openRecords(path, format);
        const QStringList& columns = reader->columns();
        if (columns.isEmpty() || columns.size() > MaxColumns)
            finding("a reader gives " + std::to_string(columns.size()) + " columns");
        QStringList values;
        while (reader->next(values)) {
            ++count;
            if (values.size() != columns.size())
                finding("a record does not have one value per column");
            for (const QString& value : values)
                if (value.size() > MaxFieldBytes)
                    finding("a value is past the bound");
        }
    } catch (const MergeError& error) {
        requireOwnMessage(error, name);
        refusal = error.what();
    } catch (const std::exception& error) {
        finding(error.what());
    }
    try {
        DataFormat counted;
        if (countRecords(path, counted) != count || counted.utf8 != format.utf8 || counted.vCard != format.vCard)
            finding("counting finds other records or another encoding");
        if (!refusal.empty())
            finding("counting reads what reading refused: " + refusal);
    } catch (const MergeError& error) {
        if (error.what() != refusal)
            finding(std::string("counting refuses otherwise: ") + error.what() + " / " + refusal);
    } catch (const std::exception& error) {
        finding(std::string("counting fails: ") + error.what());
    }
    return 0;
}

} // namespace datafilefuzz
