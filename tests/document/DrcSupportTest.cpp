// The fast forms of the design rule check's all-against-all steps give what the plain routines
// give, on random input: merged id groups (values and order), near part pairs, net matches.

#include "document/DrcSupport.h"
#include "document/FrameHelpers.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/net/Net.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

TEST(DrcSupportTest, MergedGroupsEqualThePlainRoutine)
{
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        const int groups = static_cast<int>(random() % 40);
        const std::uint32_t values = 1 + random() % (round % 2 ? 30 : 120);
        std::vector<std::uint32_t> table;
        for (int g = 0; g < groups; ++g) {
            const int size = static_cast<int>(random() % 5); // empty groups and repeats too
            for (int i = 0; i < size; ++i)
                table.push_back(1 + random() % values);
            table.push_back(0);
        }
        if (random() % 4 == 0)
            table.push_back(1 + random() % values); // after the last 0: no group
        std::vector<std::uint32_t> plain = table;
        std::vector<std::uint32_t> fast = table;
        MergeOverlappingGroups(plain);
        drc::MergeGroups(fast);
        ASSERT_EQ(fast, plain) << "round " << round;
    }
}

// The merge as it was before groups kept their storage across merges, word for word: the fast
// form must give its groups and order on inputs too large for the plain routine.
void OldKeepFirst(std::vector<std::uint32_t>& values)
{
    std::unordered_set<std::uint32_t> seen;
    seen.reserve(values.size() * 2);
    std::size_t out = 0;
    for (std::uint32_t v : values)
        if (seen.insert(v).second)
            values[out++] = v;
    values.resize(out);
}

void OldMergeGroups(std::vector<std::uint32_t>& values)
{
    // Groups live in list order, which is the order of their stamps: a merged group always goes
    // to the end. The plain routine's step takes the first group that shares a value with any
    // other and merges it with the first later one that does; the groups of one overlap set never
    // touch those of another, so taking the groups in stamp order gives the same steps.
    std::vector<std::vector<std::uint32_t>> groups = SplitGroups(values);
    std::vector<bool> alive(groups.size(), true);
    // For every value, the stamps of the groups holding it, ascending (dead ones pruned lazily).
    std::unordered_map<std::uint32_t, std::deque<std::size_t>> holders;
    holders.reserve(values.size());
    auto enter = [&](std::size_t stamp) {
        for (std::uint32_t v : groups[stamp]) {
            std::deque<std::size_t>& list = holders[v];
            if (list.empty() || list.back() != stamp)
                list.push_back(stamp);
        }
    };
    for (std::size_t stamp = 0; stamp < groups.size(); ++stamp)
        enter(stamp);

    std::vector<std::size_t> survivors;
    for (std::size_t stamp = 0; stamp < groups.size(); ++stamp) {
        if (!alive[stamp])
            continue;
        // The first other live group sharing one of this group's values.
        std::size_t partner = SIZE_MAX;
        for (std::uint32_t v : groups[stamp]) {
            std::deque<std::size_t>& list = holders[v];
            while (!list.empty() && !alive[list.front()])
                list.pop_front();
            for (std::size_t other : list) {
                if (other >= partner)
                    break;
                if (other != stamp && alive[other]) {
                    partner = other;
                    break;
                }
            }
        }
        if (partner == SIZE_MAX) {
            survivors.push_back(stamp);
            continue;
        }
        // As the plain routine: the first value of this group that the partner holds goes, the
        // partner's values follow, repeats dropped.
        const std::vector<std::uint32_t>& a = groups[stamp];
        const std::vector<std::uint32_t>& b = groups[partner];
        const std::unordered_set<std::uint32_t> inB(b.begin(), b.end());
        std::vector<std::uint32_t> merged = a;
        const auto shared = std::find_if(merged.begin(), merged.end(), [&](std::uint32_t v) { return inB.count(v); });
        merged.erase(shared);
        merged.insert(merged.end(), b.begin(), b.end());
        OldKeepFirst(merged);
        alive[stamp] = false;
        alive[partner] = false;
        groups[stamp].clear();
        groups[stamp].shrink_to_fit();
        groups[partner].clear();
        groups[partner].shrink_to_fit();
        groups.push_back(std::move(merged));
        alive.push_back(true);
        enter(groups.size() - 1);
    }
    values.clear();
    for (std::size_t stamp : survivors) {
        values.insert(values.end(), groups[stamp].begin(), groups[stamp].end());
        values.push_back(0);
    }
}

// Shapes of group tables: many small groups over few values, and one large group that the others
// join one after another, before or after it in the table, sharing its values or each other's.
struct MergeShape
{
    const char* name;
    unsigned seed;
    int groups;
    std::uint32_t values;
    int size;       // largest small group
    int hubSize;    // 0: no large group
    int hubAt;      // index of the large group among the others (-1: last)
    int hubs;       // copies of the large group, the later ones a quarter into the table
};

const MergeShape kMergeShapes[] = {
    {"small groups, few values", 1, 300, 80, 5, 0, 0, 0},
    {"small groups, many values", 2, 2000, 3000, 4, 0, 0, 0},
    {"large group first", 3, 1500, 4000, 3, 1200, 0, 1},
    {"large group last", 4, 1500, 4000, 3, 1200, -1, 1},
    {"large group in the middle", 5, 1500, 2000, 4, 600, 700, 1},
    {"two large groups", 6, 1000, 1500, 3, 800, 500, 2},
};

void PrintTo(const MergeShape& shape, std::ostream* out)
{
    *out << shape.name;
}

class MergeGroupsShapes : public ::testing::TestWithParam<MergeShape>
{};

TEST_P(MergeGroupsShapes, EqualTheFormerMerge)
{
    const MergeShape& shape = GetParam();
    std::mt19937 random(shape.seed);
    for (int round = 0; round < 6; ++round) {
        std::vector<std::vector<std::uint32_t>> groups;
        for (int g = 0; g < shape.groups; ++g) {
            std::vector<std::uint32_t> group;
            const int size = static_cast<int>(random() % static_cast<unsigned>(shape.size + 1)); // empty too
            for (int i = 0; i < size; ++i)
                group.push_back(1 + random() % shape.values);
            if (random() % 5 == 0 && !group.empty())
                group.push_back(group.front()); // a repeat
            groups.push_back(group);
        }
        if (shape.hubSize > 0) {
            std::vector<std::uint32_t> hub;
            for (int i = 0; i < shape.hubSize; ++i)
                hub.push_back(1 + random() % shape.values);
            const std::size_t at = shape.hubAt < 0 ? groups.size() : static_cast<std::size_t>(shape.hubAt);
            groups.insert(groups.begin() + static_cast<std::ptrdiff_t>(at), hub);
            for (int copy = 1; copy < shape.hubs; ++copy)
                groups.insert(groups.begin() + static_cast<std::ptrdiff_t>(groups.size() / 4), hub);
        }
        std::vector<std::uint32_t> table;
        for (const auto& group : groups) {
            table.insert(table.end(), group.begin(), group.end());
            table.push_back(0);
        }
        std::vector<std::uint32_t> before = table;
        std::vector<std::uint32_t> fast = table;
        OldMergeGroups(before);
        drc::MergeGroups(fast);
        ASSERT_EQ(fast, before) << shape.name << ", round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(DrcSupportTest, MergeGroupsShapes, ::testing::ValuesIn(kMergeShapes));

TEST(DrcSupportTest, ViaRunsEqualEachViaCheckedAgainstTheTable)
{
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        const int layers = 1 + static_cast<int>(random() % 5);
        // Few ids: vias meet the same groups again and again and join runs made apart.
        const std::uint32_t values = 1 + random() % (round % 3 == 0 ? 8 : 60);
        std::vector<CVia> vias(random() % 120);
        for (CVia& via : vias)
            for (int k = 1; k <= layers + 1; ++k) // one position past the count: not read
                if (random() % 4 != 0)
                    via.SetLayerID(random() % 3 == 0 ? 0 : 1 + random() % values, k);
        std::vector<std::uint32_t> plain;
        drc::ViaRuns runs;
        for (const CVia& via : vias) {
            via.CheckNet(layers, &plain);
            runs.Add(via, layers);
        }
        std::vector<std::uint32_t> fast;
        runs.AppendTo(fast);
        ASSERT_EQ(fast, plain) << "round " << round;
    }
}

TEST(DrcSupportTest, NearPairsEqualATestOfEveryPair)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> place(0.0, 40.0);
    std::uniform_real_distribution<double> size(0.0, 6.0);
    for (int round = 0; round < 200; ++round) {
        std::vector<CDRect> rects;
        const int count = static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            const double x = place(random), y = place(random);
            if (random() % 8 == 0)
                rects.emplace_back(); // an empty rectangle meets nothing
            else
                rects.emplace_back(x, y, x + size(random) * (random() % 6 ? 1 : 0), y + size(random));
        }
        const double reach = (random() % 4) * 0.5;
        std::vector<std::pair<int, int>> plain;
        for (int p = 0; p < count; ++p) {
            if (rects[static_cast<std::size_t>(p)].IsRectEmpty())
                continue;
            CDRect around = rects[static_cast<std::size_t>(p)];
            around.InflateRect(reach);
            for (int q = p + 1; q < count; ++q)
                if (rects[static_cast<std::size_t>(q)].IntersectRect(&around))
                    plain.emplace_back(p, q);
        }
        ASSERT_EQ(drc::FindNearPairs(rects, reach), plain) << "round " << round;
    }
}

TEST(DrcSupportTest, NetMatchesEqualThePlainCompare)
{
    std::mt19937 random(3);
    // Nodes from terminals of parts whose references and pins differ only in case, repeats too.
    const char* refs[] = {"U1", "u1", "R2"};
    const char* pins[] = {"1", "A", "a"};
    std::vector<std::unique_ptr<CPart>> parts;
    std::vector<CTer*> terminals;
    for (const char* ref : refs) {
        parts.push_back(std::make_unique<CPart>());
        parts.back()->SetRefName(ref);
        for (const char* pin : pins)
            terminals.push_back(parts.back()->NewTer(CDPoint(0, 0), CText(pin, CDPoint(0, 0), 0)));
    }
    auto randomNet = [&](int id) {
        auto net = std::make_unique<CNet>("N" + std::to_string(id));
        const int size = 1 + static_cast<int>(random() % 3);
        for (int i = 0; i < size; ++i)
            net->AddTailPartTer(terminals[random() % terminals.size()]);
        return net;
    };
    for (int round = 0; round < 200; ++round) {
        std::vector<std::unique_ptr<CNet>> listed, checked;
        for (int i = 0; i < 12; ++i)
            listed.push_back(randomNet(i));
        for (int i = 0; i < 12; ++i)
            checked.push_back(randomNet(100 + i));
        std::vector<CNet*> list;
        for (const auto& net : listed)
            list.push_back(net.get());
        // The plain compare first, its marks noted, then the same with the index.
        std::vector<int> plain, fast;
        for (const auto& net : checked)
            plain.push_back(net->CheckNet(list));
        std::vector<int> plainMarks;
        for (CNet* net : list) {
            plainMarks.push_back(net->IsMarked());
            net->ResetMaker();
        }
        for (const auto& net : checked)
            net->ResetMaker();
        drc::NetMatcher matcher(list);
        for (const auto& net : checked)
            fast.push_back(matcher.Match(*net));
        std::vector<int> fastMarks;
        for (CNet* net : list)
            fastMarks.push_back(net->IsMarked());
        ASSERT_EQ(fast, plain) << "round " << round;
        ASSERT_EQ(fastMarks, plainMarks) << "round " << round;
    }
}

} // namespace
