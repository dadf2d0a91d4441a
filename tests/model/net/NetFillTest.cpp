// The id fill reaches and takes its pieces in the order of a plain fill over the caller's
// numbering: a take may hand out numbers as it goes (a via's own id), so the order is part of the
// result, and a faster fill must keep it.

#include "model/net/NetFill.h"
#include "model/net/RectGrid.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

bool Overlap(const CDRect& a, const CDRect& b)
{
    return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
           std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
}

// The plain fill: seeds in index order, a last-in-first-out work list, the pieces near the spreading
// one in the order the grid meets them, each taken as soon as it is found touching.
std::vector<int> PlainOrder(const std::vector<CDRect>& rects)
{
    RectGrid grid(rects);
    grid.InsertAll(rects);
    std::vector<bool> done(rects.size(), false);
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

TEST(NetFillTest, PiecesAreTakenInThePlainFillsOrder)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
        const int n = 50 + static_cast<int>(rng() % 400);
        std::vector<CDRect> rects;
        for (int i = 0; i < n; ++i) {
            const double x = uniform(0, 60), y = uniform(0, 60);
            // Mostly short pieces, a few long ones that span many cells.
            const double w = rng() % 20 == 0 ? uniform(10, 50) : uniform(0, 3);
            rects.emplace_back(x, y, x + w, y + uniform(0, 3));
        }
        // Stand-in items: the test's own touch test never reads them.
        std::vector<char> items(static_cast<std::size_t>(n));
        std::vector<NetFill::Node> nodes;
        for (int i = 0; i < n; ++i) {
            auto* item = reinterpret_cast<CItemBase*>(&items[static_cast<std::size_t>(i)]);
            nodes.push_back({item, item, item, rects[static_cast<std::size_t>(i)], rects[static_cast<std::size_t>(i)],
                             false});
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
        ASSERT_EQ(taken, PlainOrder(rects)) << "seed " << seed;
    }
}

} // namespace
