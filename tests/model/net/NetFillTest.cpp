// The id fill reaches and takes its pieces in the order of a plain fill over the caller's
// numbering: a take may hand out numbers as it goes (a via's own id), so the order is part of the
// result, and a faster fill must keep it. Piles of copies on one spot and pieces that had an id
// before the fill are among the pieces.

#include "model/net/NetFill.h"
#include "model/net/RectGrid.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

bool Overlap(const CDRect& a, const CDRect& b)
{
    return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
           std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
}

// The plain fill: seeds in index order, a last-in-first-out work list, the pieces near the spreading
// one in the order the grid meets them, each taken as soon as it is found touching.
std::vector<int> PlainOrder(const std::vector<CDRect>& rects, std::vector<bool> done)
{
    RectGrid grid(rects);
    grid.InsertAll(rects);
    std::vector<int> taken;
    for (std::size_t seed = 0; seed < rects.size(); ++seed) {
        if (done[seed])
            continue;
        done[seed] = true;
        taken.push_back(static_cast<int>(seed));
        std::vector<int> work{static_cast<int>(seed)};
        while (!work.empty()) {
            const CDRect from = rects[static_cast<std::size_t>(work.back())];
            work.pop_back();
            grid.Query(from, [&](int index) {
                const std::size_t i = static_cast<std::size_t>(index);
                if (done[i] || !Overlap(rects[i], from))
                    return;
                done[i] = true;
                taken.push_back(index);
                work.push_back(index);
            });
        }
    }
    return taken;
}

struct FillCase
{
    const char* name;
    unsigned firstSeed, lastSeed;
    int pileEvery; // every this many pieces is a copy of piece 0 (0: none)
    int doneEvery; // every this many pieces has an id before the fill (0: none)
};

class NetFillTest : public ::testing::TestWithParam<FillCase>
{
};

TEST_P(NetFillTest, PiecesAreTakenInThePlainFillsOrder)
{
    const FillCase c = GetParam();
    for (unsigned seed = c.firstSeed; seed <= c.lastSeed; ++seed) {
        std::mt19937 rng(seed);
        auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
        const int n = 50 + static_cast<int>(rng() % 400);
        std::vector<CDRect> rects;
        for (int i = 0; i < n; ++i) {
            const double x = uniform(0, 60), y = uniform(0, 60);
            // Mostly short pieces, a few long ones that span many cells.
            const double w = rng() % 20 == 0 ? uniform(10, 50) : uniform(0, 3);
            rects.emplace_back(x, y, x + w, y + uniform(0, 3));
            if (c.pileEvery && i % c.pileEvery == c.pileEvery - 1)
                rects.back() = rects.front();
        }
        auto doneBefore = [&](int i) { return c.doneEvery && i % c.doneEvery == c.doneEvery - 1; };
        // Stand-in items: the test's own touch test never reads them.
        std::vector<char> items(static_cast<std::size_t>(n));
        std::vector<NetFill::Node> nodes;
        for (int i = 0; i < n; ++i) {
            auto* item = reinterpret_cast<CItemBase*>(&items[static_cast<std::size_t>(i)]);
            nodes.push_back({item, item, item, rects[static_cast<std::size_t>(i)], rects[static_cast<std::size_t>(i)],
                             doneBefore(i)});
        }
        NetFill fill(std::move(nodes));
        std::vector<int> taken;
        auto indexOf = [&](const NetFill::Node& node) {
            return static_cast<int>(reinterpret_cast<const char*>(node.item) - items.data());
        };
        auto touches = [](const NetFill::Node& piece, const NetFill::Node& from) {
            return Overlap(piece.rect, from.spreadRect);
        };
        auto take = [&](NetFill::Node& piece) { taken.push_back(indexOf(piece)); };
        for (int i = 0; i < fill.GetCount(); ++i) {
            if (fill[i].done)
                continue;
            ASSERT_EQ(indexOf(fill[i]), i);
            taken.push_back(i);
            fill.Spread(i, touches, take);
        }
        std::vector<bool> done(rects.size());
        for (int i = 0; i < n; ++i)
            done[static_cast<std::size_t>(i)] = doneBefore(i);
        ASSERT_EQ(taken, PlainOrder(rects, done)) << c.name << " seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(Boards, NetFillTest,
                         ::testing::Values(FillCase{"scattered", 1, 20, 0, 0},
                                           FillCase{"piles_of_copies", 21, 60, 7, 0},
                                           FillCase{"a_pile_and_pieces_done_before", 61, 80, 5, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
