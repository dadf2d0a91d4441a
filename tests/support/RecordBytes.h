#pragma once
// Helpers for tests of binary records: little-endian expected bytes, writing and reading an item's
// record through a memory archive, and the check that every cut-short record is refused.

#include "platform/Archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Expected record bytes, built field by field as the archive writes them.
struct Bytes
{
    std::vector<std::uint8_t> v;
    Bytes& U8(std::uint8_t x)
    {
        v.push_back(x);
        return *this;
    }
    Bytes& U16(std::uint16_t x)
    {
        v.push_back(static_cast<std::uint8_t>(x));
        v.push_back(static_cast<std::uint8_t>(x >> 8));
        return *this;
    }
    Bytes& U32(std::uint32_t x)
    {
        for (int i = 0; i < 4; ++i)
            v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
        return *this;
    }
    Bytes& I32(std::int32_t x) { return U32(static_cast<std::uint32_t>(x)); }
    Bytes& F64(double d)
    {
        std::uint64_t u;
        std::memcpy(&u, &d, 8);
        for (int i = 0; i < 8; ++i)
            v.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
        return *this;
    }
    Bytes& Point(double x, double y) { return F64(x).F64(y); }
    // The archive's string form (short lengths only: tests of long forms use the archive itself).
    Bytes& Str(const std::string& s)
    {
        v.push_back(static_cast<std::uint8_t>(s.size()));
        v.insert(v.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& Raw(const std::vector<std::uint8_t>& more)
    {
        v.insert(v.end(), more.begin(), more.end());
        return *this;
    }
};

// The record of an item (anything with Serialize(CArchive&, int version)).
template <class Item> std::vector<std::uint8_t> WriteRecord(Item& item, int version)
{
    CArchive ar(CArchive::store);
    item.Serialize(ar, version);
    return ar.Data();
}

// Reads a record into an item; returns the number of bytes left over.
template <class Item> std::size_t ReadRecord(Item& item, const std::vector<std::uint8_t>& bytes, int version)
{
    CArchive ar(CArchive::load, bytes);
    item.Serialize(ar, version);
    return ar.Remaining();
}

// Every proper prefix of a valid record must be refused with an archive error, never a crash or a
// silent partial read; the whole record must read. `read` reads one record from an archive.
inline void ExpectEveryTruncationRefused(const std::vector<std::uint8_t>& bytes,
                                         const std::function<void(CArchive&)>& read)
{
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        CArchive ar(CArchive::load, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + n));
        EXPECT_THROW(read(ar), ArchiveError) << "record cut to " << n << " of " << bytes.size() << " bytes";
    }
    CArchive whole(CArchive::load, bytes);
    EXPECT_NO_THROW(read(whole));
}

// Calls `check` once for every proper prefix of a record, with an archive that reads only that
// prefix, under a trace naming the cut; `check` reads into an item of its own and asserts that the
// read is refused and leaves the item as it was. `doc`, when given, is the archive's document.
inline void ForEveryTruncation(const std::vector<std::uint8_t>& bytes,
                               const std::function<void(CArchive&)>& check, CDocument* doc = nullptr)
{
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(::testing::Message() << "record cut to " << n << " of " << bytes.size() << " bytes");
        CArchive ar(CArchive::load, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + n));
        if (doc)
            ar.SetDocument(doc);
        check(ar);
    }
}

} // namespace testing_support
