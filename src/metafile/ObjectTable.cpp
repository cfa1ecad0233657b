#include "metafile/ObjectTable.h"

void ObjectTable::put(std::uint32_t index, GdiObject object)
{
    if (index >= MaxSlots)
        return;
    mObjects[index] = std::move(object);
}

std::optional<std::uint32_t> ObjectTable::putLowest(GdiObject object)
{
    std::uint32_t slot = 0;
    if (!mFreed.empty()) {
        slot = *mFreed.begin();
        mFreed.erase(mFreed.begin());
    } else {
        if (mNextFresh >= MaxSlots)
            return std::nullopt;
        slot = mNextFresh++;
    }
    mObjects[slot] = std::move(object);
    return slot;
}

const GdiObject* ObjectTable::find(std::uint32_t index) const
{
    auto it = mObjects.find(index);
    return it == mObjects.end() ? nullptr : &it->second;
}

void ObjectTable::remove(std::uint32_t index)
{
    if (mObjects.erase(index) == 0)
        return;
    // Only slots handed out in lowest-free order return to that pool.
    if (index < mNextFresh)
        mFreed.insert(index);
}
