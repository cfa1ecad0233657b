#include "storage/CardFile.h"

#include "storage/CsvValue.h"
#include "storage/LayerTable.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view LineEnd = "\r\n";

// Six-bit text is encoded in slices that stay in cache, then copied into the
// line with its double quotes doubled.
constexpr std::size_t EncodeSlice = 48 * 1024;

std::string systemErrorText(int error)
{
    return std::strerror(error);
}

[[noreturn]] void failCreate(const std::string& path, int error)
{
    throw TableError("Cannot create file \"" + path + "\". " + systemErrorText(error));
}

void appendQuotedSixBit(std::string& line, const std::string& bytes)
{
    static thread_local std::string slice;
    slice.resize(csv::sixBitEncodedSize(EncodeSlice));
    line += csv::Quote;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t done = 0; done < bytes.size(); done += EncodeSlice) {
        std::size_t n = std::min(EncodeSlice, bytes.size() - done);
        std::size_t chars = csv::sixBitEncodedSize(n);
        csv::sixBitEncode(in + done, n, slice.data());
        const char* p = slice.data();
        const char* end = p + chars;
        while (p < end) {
            auto* quote = static_cast<const char*>(std::memchr(p, csv::Quote, end - p));
            const char* stop = quote ? quote + 1 : end;
            line.append(p, stop);
            if (quote)
                line += csv::Quote;
            p = stop;
        }
    }
    line += csv::Quote;
}

std::size_t sixBitLineRoom(const FieldValue& value)
{
    if (auto* blob = std::get_if<Blob>(&value))
        return csv::sixBitEncodedSize(blob->bytes.size()) * 2 + 2;
    if (auto* text = std::get_if<std::string>(&value))
        return text->size() * 4 + 2;
    return 16;
}

void appendValue(std::string& line, const FieldDef& field, const FieldValue& value)
{
    if (auto* number = std::get_if<std::int32_t>(&value)) {
        csv::appendQuoted(line, std::to_string(*number));
    } else if (auto* flag = std::get_if<bool>(&value)) {
        csv::appendQuoted(line, *flag ? csv::TrueString : csv::FalseString);
    } else if (auto* blob = std::get_if<Blob>(&value)) {
        appendQuotedSixBit(line, blob->bytes);
    } else if (auto* text = std::get_if<std::string>(&value)) {
        if (field.Type == FieldType::Blob)
            appendQuotedSixBit(line, *text);
        else
            csv::appendQuoted(line, csv::escapePercent(*text));
    }
}

int defaultDisplayWidth(const FieldDef& field)
{
    switch (field.Type) {
    case FieldType::String:
        return field.Size;
    case FieldType::Boolean:
        return static_cast<int>(std::max(csv::TrueString.size(), csv::FalseString.size()));
    default:
        return 10;
    }
}

std::string definitionText(const FieldDef& field)
{
    std::string text = field.FieldName + "=";
    text += fieldTypeName(field.Type);
    text += "," + std::to_string(field.Size) + ",";
    csv::appendQuoted(text, field.displayName());
    text += ",";
    csv::appendQuoted(text, field.EditMask);
    text += ",";
    text += std::to_string(field.DisplayWidth > 0 ? field.DisplayWidth : defaultDisplayWidth(field));
    if (field.Required)
        text += ",REQ";
    if (field.ReadOnly)
        text += ",RO";
    if (!field.Visible)
        text += ",INV";
    text += ",";
    text += fieldKindName(field.Kind);
    text += ",";
    csv::appendQuoted(text, field.DefaultExpression);
    return text;
}

// The new card goes to a temporary file beside the target and replaces it
// only when complete and on disk, so a failed save never costs the user the
// card that was there.
class CardSink
{
public:
    explicit CardSink(const std::string& path)
        : mTarget(fs::absolute(path).lexically_normal())
    {
        std::error_code error;
        if (fs::is_symlink(mTarget, error))
            mTarget = fs::weakly_canonical(mTarget, error);
        std::string pattern = (mTarget.parent_path() / ("." + mTarget.filename().string() + ".XXXXXX")).string();
        mFd = ::mkstemp(pattern.data());
        if (mFd < 0)
            failCreate(mTarget.string(), errno);
        mTemp = pattern;
        ::fchmod(mFd, targetMode());
    }

    ~CardSink()
    {
        if (mFd >= 0)
            ::close(mFd);
        if (!mCommitted)
            ::unlink(mTemp.c_str());
    }

    void writeLine(std::string& line)
    {
        line += LineEnd;
        const char* p = line.data();
        std::size_t left = line.size();
        while (left > 0) {
            ssize_t written = ::write(mFd, p, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                throw TableError("Stream write error");
            p += written;
            left -= static_cast<std::size_t>(written);
        }
        line.clear();
    }

    void commit()
    {
        if (::fdatasync(mFd) != 0)
            throw TableError("Stream write error");
        int fd = mFd;
        mFd = -1;
        if (::close(fd) != 0)
            throw TableError("Stream write error");
        if (::rename(mTemp.c_str(), mTarget.c_str()) != 0)
            failCreate(mTarget.string(), errno);
        mCommitted = true;
    }

private:
    // An existing card keeps its permissions; a new one gets the usual ones.
    mode_t targetMode() const
    {
        struct stat st;
        if (::stat(mTarget.c_str(), &st) == 0)
            return st.st_mode & 07777;
        mode_t mask = ::umask(0);
        ::umask(mask);
        return 0666 & ~mask;
    }

    fs::path mTarget;
    std::string mTemp;
    int mFd = -1;
    bool mCommitted = false;
};

class ControlsPaused
{
public:
    explicit ControlsPaused(LayerTable& table) : mTable(table) { mTable.DisableControls(); }
    ~ControlsPaused() { mTable.EnableControls(); }

private:
    LayerTable& mTable;
};

} // namespace

void WriteCardFile(LayerTable& table, const std::string& path)
{
    if (!table.IsOpen())
        throw TableError(table.Name() + ": Cannot perform this operation on a closed dataset");

    CardSink sink(path);
    ControlsPaused paused(table);

    std::vector<int> stored;
    const auto& fields = table.Fields();
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        if (fields[i].isStored())
            stored.push_back(i);
    }

    std::string line;
    line.reserve(4096);
    auto marker = [&](std::string_view text) {
        csv::appendQuoted(line, text);
        sink.writeLine(line);
    };
    csv::appendQuoted(line, "@@FILE VERSION@@");
    line += csv::FieldDelimiter;
    csv::appendQuoted(line, "251");
    sink.writeLine(line);
    marker("@@TABLEDEF START@@");
    for (int i : stored)
        marker(definitionText(fields[i]));
    marker("@@INDEXDEF START@@");
    marker("@@INDEXDEF END@@");
    marker("@@TABLEDEF END@@");

    for (int i : stored) {
        csv::appendQuoted(line, fields[i].displayName());
        line += csv::FieldDelimiter;
    }
    sink.writeLine(line);

    const bool calculated = table.HasCalculatedFields();
    for (int row = 0; row < table.StoredCount(); ++row) {
        if (calculated)
            table.CalculateRow(row);
        std::size_t room = LineEnd.size();
        for (int i : stored)
            room += sixBitLineRoom(table.StoredValue(row, i)) + 1;
        line.reserve(room);
        for (int i : stored) {
            appendValue(line, fields[i], table.StoredValue(row, i));
            line += csv::RecordDelimiter;
        }
        sink.writeLine(line);
    }
    sink.commit();
}
