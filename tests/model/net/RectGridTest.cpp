// The rectangle grid answers every query with at least the entries whose rectangles meet it, each
// once, whether the entries were filed one by one, all at once (packed), or both; with far-flung
// and unbounded rectangles among them. A query that drops finished entries meets the others as a
// plain query does.

#include "model/net/RectGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

bool Meet(const CDRect& a, const CDRect& b)
{
    return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
           std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
}

// Rectangles up to 4 units wide and high over a 100 by 100 square.
std::vector<CDRect> RandomRects(std::mt19937& rng, int n)
{
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::vector<CDRect> rects;
    for (int i = 0; i < n; ++i) {
        const double x = uniform(0, 100), y = uniform(0, 100);
        rects.emplace_back(x, y, x + uniform(0, 4), y + uniform(0, 4));
    }
    return rects;
}

struct GridCase
{
    const char* name;
    int packed;    // entries filed at once, first
    int oneByOne;  // entries filed one by one afterwards
    bool farFlung; // a few rectangles thousands of cells away
};

class RectGridTest : public ::testing::TestWithParam<GridCase>
{
};

TEST_P(RectGridTest, QueriesReturnEveryMeetingEntryOnce)
{
    const GridCase c = GetParam();
    std::mt19937 rng(11);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::vector<CDRect> rects = RandomRects(rng, c.packed + c.oneByOne);
    if (c.farFlung) {
        rects[3] = CDRect(1e6, 1e6, 1e6 + 1, 1e6 + 1);
        rects[5] = CDRect(-5e5, 20, -5e5 + 2, 22);
        rects[7] = CDRect(0, 0, std::numeric_limits<double>::infinity(), 1); // every query returns it
        rects[9] = CDRect(-10, -10, 200, 200);                               // many cells
    }
    RectGrid grid(rects);
    grid.InsertAll(std::vector<CDRect>(rects.begin(), rects.begin() + c.packed));
    for (int i = c.packed; i < c.packed + c.oneByOne; ++i)
        grid.Insert(i, rects[static_cast<std::size_t>(i)]);

    for (int q = 0; q < 300; ++q) {
        const double x = uniform(-5, 105), y = uniform(-5, 105);
        CDRect query(x, y, x + uniform(0, q % 50 == 0 ? 200 : 6), y + uniform(0, 6));
        if (q == 17)
            query = CDRect(1e6 - 1, 1e6 - 1, 1e6, 1e6); // touches the far one at a corner
        std::multiset<int> got;
        std::vector<int> inOrder;
        grid.Query(query, [&](int index) {
            got.insert(index);
            inOrder.push_back(index);
        });
        // The raw filings, each entry taken at its first one, are what Query gives, in its order.
        std::vector<int> firsts;
        std::set<int> filed;
        grid.QueryFilings(query, [&](int index) {
            if (filed.insert(index).second)
                firsts.push_back(index);
        });
        ASSERT_EQ(firsts, inOrder) << c.name << " query " << q;
        for (int index : got)
            ASSERT_EQ(got.count(index), 1u) << index;
        for (std::size_t i = 0; i < rects.size(); ++i) {
            if (Meet(rects[i], query)) {
                ASSERT_EQ(got.count(static_cast<int>(i)), 1u) << c.name << " entry " << i << " query " << q;
            }
        }
    }
}

TEST_P(RectGridTest, QueryLiveMeetsTheLiveEntriesAsQueryDoesAndForgetsTheDeadOnes)
{
    // Two grids filed alike: one asked plainly, its dead entries passed over by the caller; the
    // other asked through QueryLive, which drops them. Entries die between queries and while met.
    const GridCase c = GetParam();
    std::mt19937 rng(23);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::vector<CDRect> rects = RandomRects(rng, c.packed + c.oneByOne);
    // A pile of copies of one rectangle, as pasting over itself leaves.
    for (std::size_t i = 10; i < rects.size(); i += 9)
        rects[i] = rects[1];
    if (c.farFlung) {
        rects[3] = CDRect(1e6, 1e6, 1e6 + 1, 1e6 + 1);
        rects[7] = CDRect(0, 0, std::numeric_limits<double>::infinity(), 1);
        rects[9] = CDRect(-10, -10, 200, 200);
    }
    auto file = [&](RectGrid& grid) {
        grid.InsertAll(std::vector<CDRect>(rects.begin(), rects.begin() + c.packed));
        for (int i = c.packed; i < c.packed + c.oneByOne; ++i)
            grid.Insert(i, rects[static_cast<std::size_t>(i)]);
    };
    RectGrid plain(rects), live(rects);
    file(plain);
    file(live);
    std::vector<char> dead(rects.size(), 0);
    auto isDead = [&](int index) { return dead[static_cast<std::size_t>(index)] != 0; };
    // Whether an entry met by query q dies there (as a fill takes a piece it meets).
    auto diesWhenMet = [](int index, int q) { return (index * 7 + q) % 5 == 0; };

    for (int q = 0; q < 400; ++q) {
        for (int k = 0; k < 3; ++k)
            dead[rng() % rects.size()] = 1;
        const double x = uniform(-5, 105), y = uniform(-5, 105);
        CDRect query(x, y, x + uniform(0, q % 50 == 0 ? 200 : 6), y + uniform(0, 6));
        if (q % 97 == 0)
            query = CDRect(0, 0, std::numeric_limits<double>::infinity(), 50); // every cell
        if (q % 31 == 0)
            query = rects[1]; // the pile
        std::vector<char> before = dead;
        std::vector<int> expected;
        plain.Query(query, [&](int index) {
            if (isDead(index))
                return;
            expected.push_back(index);
            if (diesWhenMet(index, q))
                dead[static_cast<std::size_t>(index)] = 1;
        });
        std::vector<char> after = dead;
        dead = before;
        std::vector<int> got;
        live.QueryLive(query, isDead, [&](int index) {
            ASSERT_FALSE(isDead(index)) << index;
            got.push_back(index);
            if (diesWhenMet(index, q))
                dead[static_cast<std::size_t>(index)] = 1;
        });
        ASSERT_EQ(got, expected) << c.name << " query " << q;
        ASSERT_EQ(dead, after);
        // A plain query of the pruned grid still meets every live entry, once, in the same order.
        std::vector<int> plainAfter, liveAfter;
        plain.Query(query, [&](int index) {
            if (!isDead(index))
                plainAfter.push_back(index);
        });
        live.Query(query, [&](int index) {
            if (!isDead(index))
                liveAfter.push_back(index);
        });
        ASSERT_EQ(liveAfter, plainAfter) << c.name << " query " << q;
    }
}

TEST_P(RectGridTest, SpatialOrderIsAPermutationWithTheUnboundedLast)
{
    const GridCase c = GetParam();
    std::mt19937 rng(5);
    std::vector<CDRect> rects = RandomRects(rng, c.packed + c.oneByOne);
    if (c.farFlung) {
        rects[3] = CDRect(1e6, 1e6, 1e6 + 1, 1e6 + 1); // far apart: the cells are sorted, not counted
        rects[7] = CDRect(0, 0, std::numeric_limits<double>::infinity(), 1);
        rects[8] = CDRect(std::numeric_limits<double>::quiet_NaN(), 0, 1, 1);
    }
    const RectGrid grid(rects);
    const std::vector<int> order = grid.SpatialOrder(rects);
    ASSERT_EQ(order.size(), rects.size());
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i)
        ASSERT_EQ(sorted[i], static_cast<int>(i));
    if (c.farFlung) {
        // The two without a finite cell, in index order, after the rest; the far one last of the rest.
        ASSERT_EQ(order[order.size() - 2], 7);
        ASSERT_EQ(order[order.size() - 1], 8);
        ASSERT_EQ(order[order.size() - 3], 3);
    }
    // Row by row of cells (here about 6 units high, near the mean spacing of the entries): the
    // lower corners never go back up by two rows.
    for (std::size_t k = 1; !c.farFlung && k < order.size(); ++k) {
        ASSERT_LT(rects[static_cast<std::size_t>(order[k - 1])].top,
                  rects[static_cast<std::size_t>(order[k])].top + 12.0);
    }
}

TEST(RectGridFloorTest, CellNumbersAreTheLibraryFloorOfTheScaledCoordinates)
{
    // Whole numbers, just off them either way, halves, signed zeros and the ends of the range.
    std::vector<double> values{0.0, -0.0, 0.5, -0.5, 1.0,          -1.0,
                               2.5, -2.5, 1e9, -1e9, 123456789.75, -987654321.25};
    for (double whole : {0.0, 1.0, -1.0, 7.0, -7.0, 4096.0, -4096.0, 1e9 - 1.0, -1e9 + 1.0}) {
        values.push_back(std::nextafter(whole, 2e9));
        values.push_back(std::nextafter(whole, -2e9));
    }
    std::mt19937 rng(3);
    for (int i = 0; i < 2000; ++i)
        values.push_back(std::uniform_real_distribution<double>(-1e9, 1e9)(rng) / (i % 2 ? 1.0 : 1e6));
    for (double v : values)
        ASSERT_EQ(RectGrid::Floor(v), static_cast<long long>(std::floor(v))) << v;
}

INSTANTIATE_TEST_SUITE_P(Filing, RectGridTest,
                         ::testing::Values(GridCase{"one by one", 0, 400, true},
                                           GridCase{"packed", 400, 0, false},
                                           GridCase{"packed with far-flung", 400, 0, true},
                                           GridCase{"packed then more", 300, 100, true}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (ch == ' ' || ch == '-')
                                     ch = '_';
                             return name;
                         });

} // namespace
