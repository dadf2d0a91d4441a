// Rubber lines: grouping bound terminals by copper, the tour of unjoined terminals, the lines
// between copper groups (a spanning tree even where taking each group's shortest line would close
// a loop), the bounds, the copper length and the dotted drawing.

#include "model/net/Net.h"

#include "model/items/Line.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/net/NetLine.h"
#include "tests/support/ItemDrawFixture.h"

#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <string>
#include <vector>

namespace {

class NetTourTest : public ItemDrawFixture
{
protected:
    // A loose terminal, owned by the test; its node is appended to the net.
    CTer* AddTer(double x, double y)
    {
        ters.push_back(std::make_unique<CTer>(CDPoint(x, y),
                                              CText(std::to_string(ters.size() + 1), CDPoint(x, y), 0), 0));
        net.AddTailPartTer(ters.back().get());
        return ters.back().get();
    }
    // A copper group holding the terminals.
    CNetLine* Join(std::initializer_list<CTer*> members)
    {
        groups.push_back(
            std::make_unique<CNetLine>(static_cast<std::uint32_t>(0x100 * (groups.size() + 1)), 0, 1));
        for (CTer* ter : members)
            groups.back()->AddItem(ter);
        return groups.back().get();
    }
    std::string Lines() const
    {
        std::string s;
        for (const auto& line : net.GetRubberLines()) {
            s += "(" + Num(line->fromPoint.x) + "," + Num(line->fromPoint.y) + ")-(" + Num(line->toPoint.x) +
                 "," + Num(line->toPoint.y) + ") chosen " + std::to_string(line->chosen) + "\n";
        }
        return s;
    }
    static std::string Num(double v)
    {
        std::string s = std::to_string(v);
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.')
            s.pop_back();
        return s;
    }

    // Groups go before their members: they unlink the terminals from themselves.
    std::vector<std::unique_ptr<CTer>> ters;
    CLine track{CDPoint(0, 0), CDPoint(3, 4), 1, 0};
    std::vector<std::unique_ptr<CNetLine>> groups;
    CNet net{"SIG"};
};

TEST_F(NetTourTest, UnjoinedTerminalsGetANearestNeighbourTourFromTheOrigin)
{
    AddTer(0, 0);
    AddTer(10, 0);
    AddTer(1, 1);
    const CDRect bounds = net.MakeTour(&doc);
    EXPECT_EQ(net.GetType(), 0);
    EXPECT_EQ(Lines(), "(0,0)-(1,1) chosen 0\n(1,1)-(10,0) chosen 0\n");
    EXPECT_EQ(bounds, CDRect(-0.2, -0.2, 10.2, 1.2));
    EXPECT_EQ(net.GetBoundingRect(), bounds);
    // Each terminal is a group of its own.
    EXPECT_EQ(net.GetNode(0)->GetGroup(), 1);
    EXPECT_EQ(net.GetNode(2)->GetGroup(), 3);

    // Drawn as dotted lines in the net's colour, the pen put back.
    net.SetColor(RGB(255, 0, 0));
    EXPECT_EQ(Record([&] { net.DrawNet(&dc); }),
              "SelectPen(style=0x2, width=0, RGB(255,0,0))\nMoveTo(0,0)\nLineTo(100,100)\nMoveTo(100,100)\n"
              "LineTo(1000,0)\nSelectPen(style=0x0, width=0, RGB(0,128,0))\n");
    // Nothing at all when the lines' rectangle, grown by four units, is out of sight.
    dc.SetClipBox(CRect(1005, 125, 2000, 2000));
    EXPECT_EQ(Record([&] { net.DrawNet(&dc); }), "");
}

TEST_F(NetTourTest, TerminalsJoinedThroughSharedGroupsNeedNoLines)
{
    CTer* a = AddTer(0, 0);
    CTer* b = AddTer(5, 5);
    CTer* c = AddTer(9, 0);
    // b lies on both groups, so a and c are joined through it.
    Join({a, b})->AddItem(&track);
    Join({b, c});
    // An unbound node takes no part.
    net.MakeNet(4, "SIG U7,1");
    ASSERT_EQ(net.GetNodeCount(), 4);
    const CDRect bounds = net.MakeTour(&doc);
    EXPECT_EQ(net.GetType(), 1);
    EXPECT_TRUE(net.GetRubberLines().empty());
    EXPECT_EQ(bounds, CDRect(-0.2, -0.2, 0.2, 0.2));
    EXPECT_EQ(net.GetNode(2)->GetGroup(), 1);
    EXPECT_EQ(net.GetNode(3)->GetGroup(), 0);
    EXPECT_EQ(net.GetNode(0)->GetNetLines().size(), 1u);
    // The copper length is that of the first node's groups.
    EXPECT_DOUBLE_EQ(net.GetNetLength(), 5.0);
}

TEST_F(NetTourTest, TwoGroupsGetOneLineBetweenTheirNearestTerminals)
{
    AddTer(0, 0);
    CTer* b = AddTer(20, 0);
    CTer* c = AddTer(5, 1);
    Join({b, c});
    net.MakeTour(&doc);
    // The type stays as it was: neither one group nor all apart.
    EXPECT_EQ(net.GetType(), 0);
    EXPECT_EQ(Lines(), "(0,0)-(5,1) chosen 1\n");
    EXPECT_DOUBLE_EQ(net.GetRubberLines()[0]->length, 6.0);
    EXPECT_EQ(net.GetRubberLines()[0]->to, net.GetNode(2));

    // A second tour replaces the lines.
    net.MakeTour(&doc);
    EXPECT_EQ(net.GetRubberLines().size(), 1u);
}

TEST_F(NetTourTest, EachGroupTakesItsShortestLineWhenThatMakesATree)
{
    // Group 1 is two joined terminals; all three pairs of groups are 2 apart, so ties decide:
    // group 1 takes its first line (to group 2), group 2 the next one not taken (to group 3).
    CTer* a = AddTer(0, 0);
    CTer* b = AddTer(0, -5);
    Join({a, b});
    AddTer(2, 0);
    AddTer(1, 1);
    net.MakeTour(&doc);
    EXPECT_EQ(Lines(), "(0,0)-(2,0) chosen 1\n(2,0)-(1,1) chosen 1\n");
}

TEST_F(NetTourTest, GroupsLeftOutByTheShortestLinesGetASpanningTree)
{
    // Groups 1, 2 and 3 lie close together and group 4 far off. Taking the shortest free line of
    // groups 1, 2 and 3 in turn closes the loop 1-2-3 and leaves group 4 without a line.
    CTer* a = AddTer(0, 0);
    CTer* b = AddTer(0, -0.5);
    Join({a, b});
    AddTer(1, 0);
    AddTer(0, 2);
    AddTer(50, 50);
    const CDRect bounds = net.MakeTour(&doc);
    EXPECT_EQ(Lines(), "(0,0)-(1,0) chosen 1\n(0,0)-(0,2) chosen 1\n(0,2)-(50,50) chosen 1\n");
    ASSERT_EQ(net.GetRubberLines().size(), 3u);
    EXPECT_DOUBLE_EQ(net.GetRubberLines()[2]->length, 98.0);
    EXPECT_EQ(bounds, CDRect(-0.2, -0.2, 50.2, 50.2));
}

TEST_F(NetTourTest, NoBoundTerminalNoLines)
{
    net.MakeNet(4, "SIG U1,1 U2,1");
    net.MakeTour(&doc);
    EXPECT_TRUE(net.GetRubberLines().empty());
    EXPECT_EQ(net.GetType(), 0);
    EXPECT_EQ(net.GetBoundingRect(), CDRect(-0.2, -0.2, 0.2, 0.2));
    EXPECT_DOUBLE_EQ(net.GetNetLength(), 0.0);
    EXPECT_DOUBLE_EQ(CNet().GetNetLength(), 0.0);
}

} // namespace
