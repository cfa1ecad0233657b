#include "print/IniFile.h"

#include "layer/Win1250Text.h"
#include "storage/FileAccess.h"
#include "storage/SafeWrite.h"
#include "storage/TableError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

namespace {

constexpr std::string_view Blanks = " \t";
constexpr auto npos = std::string_view::npos;

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// One line of the file: where it begins, where the next begins, its text
// without the line ending, and whether it ends the file without one.
struct FileLine
{
    std::size_t begin = 0;
    std::size_t next = 0;
    std::string_view raw;
    bool unended = false;
};

// Calls visit(line) for every line of the file in order; a visit that
// answers false stops the walk.
template <class Visit>
void forEachLine(std::string_view file, Visit visit)
{
    for (std::size_t lineBegin = 0; lineBegin < file.size();) {
        const std::size_t newline = file.find('\n', lineBegin);
        const std::size_t next = newline == npos ? file.size() : newline + 1;
        std::size_t contentEnd = newline == npos ? file.size() : newline;
        if (contentEnd > lineBegin && file[contentEnd - 1] == '\r')
            --contentEnd;
        if (!visit(FileLine{lineBegin, next, file.substr(lineBegin, contentEnd - lineBegin), newline == npos}))
            return;
        lineBegin = next;
    }
}

// Where one key's value sits in the file, or where the key would go.
// Offsets are bytes into the file.
struct KeyPlace
{
    bool sectionFound = false;
    bool keyFound = false;
    std::size_t valueBegin = 0; // the value without its surrounding blanks
    std::size_t valueEnd = 0;
    std::size_t insertAt = 0; // just past the section's last key line, or its header
    bool insertNeedsBreak = false; // that line ends the file without a line ending
};

// The first key of that name in a section of that name wins, as it is the
// one a reader sees.
KeyPlace findKey(std::string_view file, std::string_view section, std::string_view key)
{
    KeyPlace place;
    bool inSection = false;
    forEachLine(file, [&](const FileLine& at) {
        const std::string_view raw = at.raw;
        const std::string_view line = trimmed(raw);
        const auto markInsert = [&] {
            place.insertAt = at.next;
            place.insertNeedsBreak = at.unended;
        };

        if (line.starts_with('[')) {
            const std::size_t close = line.find(']');
            const std::string_view name = line.substr(1, close == npos ? npos : close - 1);
            inSection = sameName(trimmed(name), section);
            if (inSection && !place.sectionFound) {
                place.sectionFound = true;
                markInsert();
            }
        } else if (inSection && !line.starts_with(';')) {
            const std::size_t equals = raw.find('=');
            const std::string_view name = equals == npos ? "" : trimmed(raw.substr(0, equals));
            if (!name.empty()) {
                if (sameName(name, key)) {
                    const std::string_view rest = raw.substr(equals + 1);
                    const std::string_view value = trimmed(rest);
                    const std::size_t lead = value.empty() ? 0 : rest.find_first_not_of(Blanks);
                    place.keyFound = true;
                    place.valueBegin = at.begin + equals + 1 + lead;
                    place.valueEnd = place.valueBegin + value.size();
                    return false;
                }
                markInsert();
            }
        }
        return true;
    });
    return place;
}

// Calls visit(lineBegin, name) for every section header of the file: where
// its line begins and its name.
template <class Visit>
void forEachSection(std::string_view file, Visit visit)
{
    forEachLine(file, [&](const FileLine& at) {
        const std::string_view line = trimmed(at.raw);
        if (line.starts_with('[')) {
            const std::size_t close = line.find(']');
            visit(at.begin, trimmed(line.substr(1, close == npos ? npos : close - 1)));
        }
        return true;
    });
}

// New lines follow the file's own convention; a new file gets the platform's.
std::string lineEnding(std::string_view file)
{
    const std::size_t newline = file.find('\n');
    return newline != npos && newline > 0 && file[newline - 1] == '\r' ? "\r\n" : "\n";
}

} // namespace

std::optional<int> parseIniInteger(std::string_view text)
{
    const char* end = text.data() + text.size();
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        // Hexadecimal spells all 32 bits, so 0xFFFFFFFF is -1.
        std::uint32_t value = 0;
        const auto [stop, error] = std::from_chars(text.data() + 2, end, value, 16);
        if (error != std::errc() || stop != end)
            return std::nullopt;
        return static_cast<int>(value);
    }
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-'))
            return std::nullopt;
    }
    int value = 0;
    const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
    if (error != std::errc() || stop != end || text.empty())
        return std::nullopt;
    return value;
}

IniFile::IniFile(QString fileName)
    : mFileName(std::move(fileName))
{
}

std::optional<std::string> IniFile::readText() const
{
    try {
        return readWholeFile(QFile::encodeName(mFileName).toStdString(), MaxIniFileSize);
    } catch (const FileError&) {
        return std::nullopt;
    }
}

std::optional<std::string> IniFile::readRaw(const QString& section, const QString& key) const
{
    const std::optional<std::string> file = readText();
    if (!file)
        return std::nullopt;
    const std::string_view text(*file);
    const KeyPlace place = findKey(text, toWin1250(section), toWin1250(key));
    if (!place.keyFound)
        return std::nullopt;
    const std::size_t length = std::min(place.valueEnd - place.valueBegin, MaxIniValueLength);
    return std::string(text.substr(place.valueBegin, length));
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    const std::optional<std::string> raw = readRaw(section, key);
    return raw ? fromWin1250(*raw) : defaultValue;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    const std::optional<std::string> raw = readRaw(section, key);
    return raw ? parseIniInteger(*raw).value_or(defaultValue) : defaultValue;
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

// An existing file we cannot read must not be replaced by our one key, nor
// a FIFO or device written to at all.
std::string IniFile::currentText() const
{
    if (!QFileInfo(mFileName).exists() && !QFileInfo(mFileName).isSymLink())
        return {};
    const std::optional<std::string> current = readText();
    if (!current)
        throw IniWriteError("Unable to write to " + mFileName.toStdString());
    return *current;
}

// Written as cards are, so a full disk or a crash never leaves the user with
// half a file, and the file keeps its owner, mode and links.
void IniFile::replaceText(const std::string& text) const
{
    try {
        SafeWrite out(QFile::encodeName(mFileName).toStdString());
        out.write(text.data(), text.size());
        out.commit();
    } catch (const TableError&) {
        throw IniWriteError("Unable to write to " + mFileName.toStdString());
    }
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) const
{
    std::string text = currentText();
    const std::string sectionName = toWin1250(section);
    const std::string keyName = toWin1250(key);
    const std::string newValue = toWin1250(value);
    const KeyPlace place = findKey(text, sectionName, keyName);
    if (place.keyFound) {
        text.replace(place.valueBegin, place.valueEnd - place.valueBegin, newValue);
    } else {
        const std::string eol = lineEnding(text);
        const std::string line = keyName + '=' + newValue + eol;
        // A last line that ends in a lone CR only needs its LF.
        const std::string lastBreak = !text.empty() && text.back() == '\r' ? "\n" : eol;
        if (place.sectionFound) {
            text.insert(place.insertAt, (place.insertNeedsBreak ? lastBreak : std::string()) + line);
        } else {
            if (!text.empty() && text.back() != '\n')
                text += lastBreak;
            text += '[' + sectionName + ']' + eol + line;
        }
    }
    replaceText(text);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) const
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) const
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList IniFile::sections() const
{
    QStringList names;
    const std::optional<std::string> file = readText();
    if (!file)
        return names;
    std::vector<std::string> seen;
    forEachSection(*file, [&](std::size_t, std::string_view name) {
        if (std::ranges::none_of(seen, [&](const std::string& known) { return sameName(known, name); })) {
            seen.emplace_back(name);
            names << fromWin1250(std::string(name));
        }
    });
    return names;
}

void IniFile::removeSection(const QString& section) const
{
    const std::string text = currentText();
    const std::string name = toWin1250(section);
    std::string kept;
    std::size_t keptUpTo = 0;
    bool removing = false;
    forEachSection(text, [&](std::size_t lineBegin, std::string_view header) {
        if (!removing)
            kept.append(text, keptUpTo, lineBegin - keptUpTo);
        removing = sameName(header, name);
        keptUpTo = lineBegin;
    });
    if (!removing)
        kept.append(text, keptUpTo);
    if (kept.size() != text.size())
        replaceText(kept);
}
