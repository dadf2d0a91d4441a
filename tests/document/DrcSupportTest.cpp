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

#include <memory>
#include <random>

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
