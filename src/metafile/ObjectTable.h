#pragma once

#include "metafile/GdiObjects.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>

// The handle table of a metafile. An enhanced metafile names the slot of
// each new object; a Windows metafile puts it in the lowest free slot, and a
// later select or delete counts on that numbering, so every created object
// takes a slot, also those this player cannot draw with.
class ObjectTable
{
public:
    // A file's own table size is only a hint; slots past this are refused.
    static constexpr std::uint32_t MaxSlots = 65535;

    void put(std::uint32_t index, GdiObject object);
    // The slot the object went to, or nothing when the table is full.
    std::optional<std::uint32_t> putLowest(GdiObject object);
    const GdiObject* find(std::uint32_t index) const;
    void remove(std::uint32_t index);

private:
    std::map<std::uint32_t, GdiObject> mObjects;
    std::set<std::uint32_t> mFreed;
    std::uint32_t mNextFresh = 0;
};
