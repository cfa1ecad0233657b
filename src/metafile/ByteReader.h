#pragma once

#include "metafile/RecordError.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

// Little-endian fields of one record. Every read is checked against the
// record's own length, so a lying count or offset ends in a RecordError and
// never in a read past the buffer.
class ByteReader
{
public:
    explicit ByteReader(std::string_view bytes) : mBytes(bytes) {}

    std::size_t size() const { return mBytes.size(); }
    std::string_view bytes() const { return mBytes; }

    bool has(std::size_t offset, std::size_t length) const
    {
        return offset <= mBytes.size() && length <= mBytes.size() - offset;
    }

    std::uint8_t u8(std::size_t offset) const { return static_cast<std::uint8_t>(read<1>(offset)); }
    std::uint16_t u16(std::size_t offset) const { return static_cast<std::uint16_t>(read<2>(offset)); }
    std::uint32_t u32(std::size_t offset) const { return static_cast<std::uint32_t>(read<4>(offset)); }
    std::int16_t i16(std::size_t offset) const { return static_cast<std::int16_t>(u16(offset)); }
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
    float f32(std::size_t offset) const { return std::bit_cast<float>(u32(offset)); }

    // A part of the record; an empty view when length is zero.
    std::string_view span(std::size_t offset, std::size_t length) const
    {
        require(offset, length);
        return mBytes.substr(offset, length);
    }

    // Everything from offset to the end of the record.
    std::string_view rest(std::size_t offset) const
    {
        require(offset, 0);
        return mBytes.substr(offset);
    }

    // Throws unless count items of itemSize bytes fit at offset; call it
    // before anything is allocated for the items.
    void requireItems(std::size_t offset, std::uint64_t count, std::size_t itemSize) const
    {
        if (offset > mBytes.size() || count > (mBytes.size() - offset) / itemSize)
            throw RecordError::skip("count larger than the record");
    }

    void require(std::size_t offset, std::size_t length) const
    {
        if (!has(offset, length))
            throw RecordError::skip("record too short");
    }

private:
    template <std::size_t N>
    std::uint32_t read(std::size_t offset) const
    {
        require(offset, N);
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < N; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(mBytes[offset + i])) << (8 * i);
        return value;
    }

    std::string_view mBytes;
};
