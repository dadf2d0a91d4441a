// Counting pointers in an open-addressed table: adds, removals (which leave markers that probing
// must pass) and growth, against a plain map.

#include "model/net/PointerCounts.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace {

TEST(PointerCountsTest, AgreesWithAPlainMapThroughAddsRemovalsAndGrowth)
{
    std::vector<int> storage(500);
    std::mt19937 rng(7);
    PointerCounts counts;
    std::map<const void*, int> plain;
    for (int step = 0; step < 20000; ++step) {
        const void* key = &storage[rng() % storage.size()];
        if (rng() % 3 == 0) {
            counts.Remove(key);
            if (auto it = plain.find(key); it != plain.end() && --it->second == 0)
                plain.erase(it);
        } else {
            counts.Add(key);
            ++plain[key];
        }
        if (step % 997 == 0) {
            ASSERT_EQ(counts.Size(), plain.size());
            for (const int& item : storage) {
                const auto it = plain.find(&item);
                ASSERT_EQ(counts.Count(&item), it == plain.end() ? 0 : it->second);
            }
        }
    }
    counts.Clear();
    EXPECT_EQ(counts.Size(), 0u);
    EXPECT_EQ(counts.Count(&storage[0]), 0);
    counts.Remove(&storage[0]); // nothing to remove
    counts.Add(&storage[0]);
    EXPECT_EQ(counts.Count(&storage[0]), 1);
}

TEST(PointerCountsTest, ReservingRoomKeepsTheCountsAndTheRemovedKeysOut)
{
    std::vector<int> storage(300);
    PointerCounts counts;
    counts.Reserve(0); // nothing yet: stays empty
    EXPECT_EQ(counts.Count(&storage[0]), 0);
    for (int& item : storage)
        counts.Add(&item);
    for (std::size_t i = 0; i < storage.size(); i += 2)
        counts.Remove(&storage[i]); // markers that the reserve drops
    counts.Add(&storage[1]);
    counts.Reserve(1000);
    EXPECT_EQ(counts.Size(), 150u);
    for (std::size_t i = 0; i < storage.size(); ++i)
        ASSERT_EQ(counts.Count(&storage[i]), i % 2 == 0 ? 0 : (i == 1 ? 2 : 1)) << i;
    for (int& item : storage)
        counts.Add(&item);
    EXPECT_EQ(counts.Size(), 300u);
    EXPECT_EQ(counts.Count(&storage[0]), 1);
    EXPECT_EQ(counts.Count(&storage[1]), 3);
}

} // namespace
