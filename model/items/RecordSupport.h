#pragma once
// Small pieces shared by the binary and text records of the item classes.

#include "platform/Archive.h"

#include <cstdint>
#include <string>

namespace record {

// The arrow word of a line or arc record: the start's code in the low 16 bits, the end's in the
// high ones, each signed.
inline std::int32_t PackArrows(int start, int end)
{
    const std::uint32_t lo = static_cast<std::uint16_t>(start);
    const std::uint32_t hi = static_cast<std::uint16_t>(end);
    return static_cast<std::int32_t>(lo | (hi << 16));
}

inline int LowArrow(std::int32_t word)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(word) & 0xFFFF));
}

inline int HighArrow(std::int32_t word)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(word) >> 16));
}

// A turret or via number of a record older than version 3, which counted them from 0 one lower.
// The largest stored value stays as it is rather than overflow.
inline std::int32_t OldNumber(std::int32_t stored)
{
    return stored < INT32_MAX ? stored + 1 : stored;
}

// The text lines an item's SerializeText writes, as bytes.
template <class Item> std::string TextLinesOf(Item& item)
{
    CArchive ar(CArchive::store);
    item.SerializeText(ar);
    const auto& bytes = ar.Data();
    return std::string(bytes.begin(), bytes.end());
}

} // namespace record
