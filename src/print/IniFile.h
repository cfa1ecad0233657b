#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// The user reads what() as it stands, so it carries the full message
// (UTF-8, as the path came from the file system).
class IniWriteError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One INI file of Windows-1250 text: "[section]" lines open sections and
// "key=value" lines hold the values. Names match without regard to ASCII
// letter case; names and values are read without their surrounding blanks.
//
// Nothing is cached: every read opens the file afresh and every write
// rewrites it, so two windows (or two runs) never work from a stale copy.
// A write changes only the bytes of its one value, or adds one line for a
// new key, or two for a new section; comments, blank lines, order and line
// endings stay exactly as the user left them. Nothing is deleted but a
// whole section asked for by name.
class IniFile
{
public:
    explicit IniFile(QString fileName);

    const QString& fileName() const { return mFileName; }

    // A missing file, section or key gives the default; a key present with
    // an empty value gives the empty text.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // Decimal, or hexadecimal after "0x"; anything else gives the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    // Read as an integer: any value but 0 is true.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    // Each write throws IniWriteError when the file cannot be written; the
    // file then stays as the previous write left it.
    void writeString(const QString& section, const QString& key, const QString& value) const;
    void writeInteger(const QString& section, const QString& key, int value) const;
    void writeBool(const QString& section, const QString& key, bool value) const;

    // The names of the sections, in the file's order, each once (as first
    // spelt); none for a missing file.
    QStringList sections() const;
    // Removes every section of that name with its lines, up to the next
    // section; the rest of the file stays byte for byte. Throws as the
    // writes do; a missing section or file is left as it is.
    void removeSection(const QString& section) const;

private:
    // Only a regular file is read, and only up to MaxIniFileSize: a FIFO or
    // an endless device reads as no file at all.
    std::optional<std::string> readText() const;
    std::optional<std::string> readRaw(const QString& section, const QString& key) const;
    std::string currentText() const;
    void replaceText(const std::string& text) const;

    QString mFileName;
};

// Values longer than this are cut when read.
constexpr std::size_t MaxIniValueLength = 2047;
// Far beyond any settings file.
constexpr std::uint64_t MaxIniFileSize = 16u << 20;

// The integer an INI value spells, or nothing when it spells none.
std::optional<int> parseIniInteger(std::string_view text);
