// Copper groups: members and merging, id stamping, the MakeNetID flood fill (and its agreement with
// the plain list-order fill on random boards), contact and clearance between groups, the groups
// reached through vias, copper length and the links with terminals.

#include "model/net/NetLine.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "platform/Archive.h"
#include "tests/support/ContactFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace {

using namespace testing_support;

constexpr int kViaNo = 1;

class NetLineTest : public ContactTest
{
protected:
    NetLineTest()
    {
        // Via 1: drill 0.6; on a plain wiring layer (sheet bits 0x1) the wired land is T_PAD1 and the
        // unwired one T_PAD.
        tagVIA via;
        via.drill = 0.6;
        via.lands[5] = T_PAD1;
        via.lands[6] = T_PAD;
        doc.viaTable[kViaNo] = via;
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.5;
    }

    CLine& Track(CDPoint a, CDPoint b, int turret = T_LINE)
    {
        lines.emplace_back(a, b, turret, 0);
        return lines.back();
    }
    CLand& Pad(CDPoint at, int turret = T_PAD)
    {
        lands.emplace_back(at, turret);
        return lands.back();
    }
    CVia& Via(CDPoint at, int mask = 0)
    {
        vias.emplace_back(at, kViaNo, &doc, mask);
        return vias.back();
    }
    CHole& Hole(CDPoint at, double diameter = 0.6)
    {
        holes.emplace_back(at, diameter, true, 0.0, 0.0, 0.0);
        return holes.back();
    }

    std::deque<CLine> lines;
    std::deque<CLand> lands;
    std::deque<CVia> vias;
    std::deque<CHole> holes;
};

std::vector<CItemBase*> Lines(CNetLine& g)
{
    std::vector<CItemBase*> out;
    for (auto pos = g.GetFirstLinePos(); pos;)
        out.push_back(g.GetNextLine(pos));
    return out;
}

// --- Members ---

TEST_F(NetLineTest, AddItemStampsTheGroupIdByKind)
{
    CNetLine g(0x301, 1, NETLINE_WIRING);
    CLine& line = Track({0, 0}, {10, 0});
    CVia& via = Via({10, 0});
    CHole& hole = Hole({20, 0});
    g.AddItem(&line);
    g.AddItem(&via);
    g.AddItem(&hole);
    EXPECT_EQ(line.GetID(), 0x301u);
    EXPECT_EQ(via.GetLayerID(1), 0x301u);
    EXPECT_EQ(via.GetID(), 0u);
    EXPECT_EQ(hole.GetLayerID(1), 0x301u);
    EXPECT_EQ(hole.GetID(), 0u);

    // Without a W-layer a via takes the id itself only on a wiring group; a hole always does.
    CNetLine plain(0x401, 0, 0), wired(0x501, 0, NETLINE_WIRING);
    CVia& v1 = Via({0, 5});
    CVia& v2 = Via({0, 6});
    CHole& h = Hole({0, 7});
    plain.AddItem(&v1);
    wired.AddItem(&v2);
    plain.AddItem(&h);
    EXPECT_EQ(v1.GetID(), 0u);
    EXPECT_EQ(v2.GetID(), 0x501u);
    EXPECT_EQ(h.GetID(), 0x401u);

    // Vias and holes stand once in their lists; lines as often as they are added.
    g.AddItem(&via);
    g.AddItem(&line);
    EXPECT_EQ(g.GetCount(5), 1u);
    EXPECT_EQ(g.GetCount(1), 2u);
}

TEST_F(NetLineTest, AddingAHoleAgainChangesItsIdButNotTheBounds)
{
    CNetLine g(0x101, 1, 1);
    CHole& hole = Hole({5, 5}, 1.0);
    g.AddItem(&hole);
    const CDRect before = g.GetBoundingRect();
    EXPECT_TRUE(before == CDRect(4.5, 4.5, 5.5, 5.5));
    g.SetID(0x201); // stamps the hole too
    EXPECT_EQ(hole.GetLayerID(1), 0x201u);

    CNetLine other(0x301, 1, 1);
    other.AddItem(&hole);
    hole.SetPoint({50, 50});
    other.AddItem(&hole);
    EXPECT_EQ(hole.GetLayerID(1), 0x301u);
    EXPECT_TRUE(other.GetBoundingRect() == CDRect(4.5, 4.5, 5.5, 5.5));
    EXPECT_EQ(other.GetCount(7), 1u);
}

TEST_F(NetLineTest, HairlineAddsItsCopperWithoutThePickingMargin)
{
    CNetLine g(0x101, 1, 1);
    CLine& hair = Track({0, 0}, {10, 0}, 0);
    const CDRect picked = hair.GetBoundingRect();
    g.AddItem(&hair);
    CDRect copper = picked;
    copper.DeflateRect(0.025);
    EXPECT_TRUE(g.GetBoundingRect() == copper);
}

TEST_F(NetLineTest, CountsHeadItemAndEmptiness)
{
    CTer ter; // outlives the group that links it
    CNetLine g(0x101, 1, 1);
    g.AddItem(&ter);
    EXPECT_TRUE(g.IsEmpty()); // terminals alone do not count
    EXPECT_EQ(g.GetHeadItem(), &ter);
    EXPECT_EQ(g.GetFirstTer(), &ter);

    CLine& line = Track({0, 0}, {1, 0});
    g.AddItem(&line);
    EXPECT_EQ(g.GetHeadItem(), &line);
    CLand& land = Pad({5, 5});
    g.AddItem(&land);
    EXPECT_EQ(g.GetHeadItem(), &land); // a land comes before a line
    g.AddItem(&Via({9, 9}));
    g.AddItem(&Hole({8, 8}));
    EXPECT_FALSE(g.IsEmpty());

    const std::map<int, std::uint32_t> counts = {{1, 1}, {2, 1}, {4, 0}, {5, 1},
                                                 {6, 0}, {7, 1}, {8, 0}, {9, 1}};
    for (const auto& [code, count] : counts)
        EXPECT_EQ(g.GetCount(code), count) << code;
    EXPECT_EQ(g.GetCount(3), 5u); // any other code: the total
    EXPECT_EQ(g.GetCount(0), 5u);

    CNetLine none;
    EXPECT_EQ(none.GetHeadItem(), nullptr);
    EXPECT_EQ(none.GetFirstTer(), nullptr);
    EXPECT_TRUE(none.GetBoundingRect().IsRectNull());
}

TEST_F(NetLineTest, FindAndRemoveWorkForEveryKindAndIgnoreAbsentItems)
{
    CNetLine g(0x101, 1, 1);
    CLine& line = Track({0, 0}, {10, 0});
    CLand& land = Pad({20, 0});
    CVia& via = Via({30, 0});
    g.AddItem(&line);
    g.AddItem(&land);
    g.AddItem(&via);
    EXPECT_TRUE(static_cast<bool>(g.FindItem(&line)));
    EXPECT_TRUE(static_cast<bool>(g.FindItem(&land)));
    EXPECT_TRUE(static_cast<bool>(g.FindItem(&via)));

    CLine& stranger = Track({0, 5}, {1, 5});
    EXPECT_FALSE(static_cast<bool>(g.FindItem(&stranger)));
    g.RemoveItem(&stranger); // absent: nothing
    g.RemoveItem(nullptr);
    EXPECT_EQ(g.GetCount(0), 3u);

    g.RemoveItem(&land);
    EXPECT_FALSE(static_cast<bool>(g.FindItem(&land)));
    EXPECT_EQ(g.GetCount(2), 0u);
    // The bounds follow: the track and the via's wired-or-not land on layer 1.
    EXPECT_DOUBLE_EQ(g.GetBoundingRect().right, 30.25);
    g.RemoveItem(&via);
    EXPECT_DOUBLE_EQ(g.GetBoundingRect().right, 10.125);
}

TEST_F(NetLineTest, BoundsTakeAViaByItsLandOrElseItsDrill)
{
    CNetLine g(0x101, 1, 1);
    CVia& wired = Via({0, 0}, 0x1);
    g.AddItem(&wired);
    CLine& far = Track({100, 0}, {101, 0});
    g.AddItem(&far);
    g.RemoveItem(&far);                                               // recomputes
    EXPECT_TRUE(g.GetBoundingRect() == CDRect(-0.5, -0.5, 0.5, 0.5)); // T_PAD1, round 1.0

    doc.viaTable[kViaNo].lands[5] = 0; // no land where wired: the drill counts
    CVia& bare = Via({10, 0}, 0x1);
    CNetLine h(0x201, 1, 1);
    h.AddItem(&bare);
    h.AddItem(&far);
    h.RemoveItem(&far);
    EXPECT_TRUE(h.GetBoundingRect() == CDRect(9.7, -0.3, 10.3, 0.3));
}

TEST_F(NetLineTest, MergeStampsTheOtherGroupAndTakesItsTerminals)
{
    CTer ter;
    CNetLine a(0x101, 1, 1), b(0x201, 1, 1);
    CLine& l1 = Track({0, 0}, {10, 0});
    CLine& l2 = Track({10, 0}, {20, 0});
    CVia& via = Via({20, 0});
    a.AddItem(&l1);
    b.AddItem(&l2);
    b.AddItem(&via);
    b.AddItem(&ter);

    a += b;
    EXPECT_EQ(l2.GetID(), 0x101u);
    EXPECT_EQ(via.GetLayerID(1), 0x101u);
    EXPECT_EQ(Lines(a), (std::vector<CItemBase*>{&l1, &l2}));
    EXPECT_EQ(a.GetCount(9), 1u);
    EXPECT_TRUE(static_cast<bool>(ter.FindNetLine(&a)));
    EXPECT_DOUBLE_EQ(a.GetBoundingRect().right, 20.25);
    // The other keeps its lists until its owner empties it, which unlinks the terminal.
    EXPECT_EQ(b.GetCount(1), 1u);
    b.DeleteContents();
    EXPECT_FALSE(static_cast<bool>(ter.FindNetLine(&b)));
    EXPECT_TRUE(static_cast<bool>(ter.FindNetLine(&a)));

    // Copying = emptying, then the same fields and a merge.
    CNetLine copy(0x999, 5, 0);
    copy.AddItem(&Track({50, 50}, {51, 50}));
    copy = a;
    EXPECT_EQ(copy.GetID(), 0x101u);
    EXPECT_EQ(copy.GetWLayer(), 1);
    EXPECT_EQ(copy.GetAttr(), 1);
    EXPECT_EQ(Lines(copy), Lines(a));
    EXPECT_TRUE(copy == a);
}

TEST_F(NetLineTest, SetIdZeroClearsViasAndHolesAndUnlinksTerminals)
{
    CTer t1, t2;
    CNetLine g(0x101, 1, 1);
    CLine& line = Track({0, 0}, {10, 0});
    CVia& via = Via({10, 0});
    CHole& hole = Hole({0, 0});
    via.SetID(0x700);
    hole.SetID(0x800);
    for (CItemBase* item : std::vector<CItemBase*>{&line, &via, &hole, &t1, &t2})
        g.AddItem(item);
    EXPECT_EQ(t1.GetHeadNetLine(), &g);

    g.SetID(0x501);
    EXPECT_EQ(line.GetID(), 0x501u);
    EXPECT_EQ(via.GetLayerID(1), 0x501u);
    EXPECT_EQ(via.GetID(), 0x700u); // own ids stay while the id is not 0
    EXPECT_EQ(g.GetCount(9), 2u);

    g.SetID(0);
    EXPECT_EQ(line.GetID(), 0u);
    EXPECT_EQ(via.GetID(), 0u);
    EXPECT_EQ(via.GetLayerID(1), 0u);
    EXPECT_EQ(hole.GetID(), 0u);
    EXPECT_EQ(hole.GetLayerID(1), 0u);
    EXPECT_EQ(g.GetCount(9), 0u);
    EXPECT_TRUE(t1.IsNetEmpty());
    EXPECT_TRUE(t2.IsNetEmpty());
}

TEST_F(NetLineTest, TerminalsLinkBothWaysAndWriteTheGroupId)
{
    CTer owner;
    CTer ter;
    ter.SetParent(&owner);
    {
        CNetLine g(0x203, 3, 1);
        ter.AddTailNetLine(&g); // through the terminal: the group takes it too
        EXPECT_TRUE(static_cast<bool>(g.FindItem(&ter)));
        EXPECT_EQ(ter.GetNetCount(), 1);
        g.AddItem(&ter); // again: nothing doubles
        ter.AddTailNetLine(&g);
        EXPECT_EQ(ter.GetNetCount(), 1);
        EXPECT_EQ(g.GetCount(9), 1u);

        CArchive ar(CArchive::store);
        ter.Serialize(ar, 6);
        CArchive in(CArchive::load, ar.Data());
        CDPoint point;
        std::int32_t type = 0, layer = 0, count = 0;
        std::uint32_t id = 0, groupId = 0;
        in >> point.x >> point.y >> type >> id >> layer >> count >> groupId;
        EXPECT_EQ(type & TER_HAS_NETLINE, TER_HAS_NETLINE);
        EXPECT_EQ(count, 1);
        EXPECT_EQ(groupId, 0x203u);
    }
    // A group that goes away takes itself out of its terminals' lists.
    EXPECT_TRUE(ter.IsNetEmpty());
}

// Terminals are found through their own positions: out-of-order removals, re-adds and emptying
// keep the list and its look-ups the same as a plain list of them.
TEST_F(NetLineTest, TerminalsAreFoundAndRemovedInAnyOrder)
{
    CTer owner;
    std::deque<CTer> ters(40);
    for (CTer& ter : ters)
        ter.SetParent(&owner);
    CNetLine g(0x203, 3, 1);
    std::vector<CTer*> expected;
    std::mt19937 rng(7);
    auto check = [&] {
        std::vector<CTer*> listed;
        for (auto pos = g.GetFirstTerPos(); pos;)
            listed.push_back(g.GetNextTer(pos));
        ASSERT_EQ(listed, expected);
        for (CTer& ter : ters) {
            auto pos = g.FindItem(&ter);
            const bool held = std::find(expected.begin(), expected.end(), &ter) != expected.end();
            ASSERT_EQ(static_cast<bool>(pos), held);
            if (held) {
                EXPECT_EQ(g.GetNextTer(pos), &ter);
            }
        }
    };
    for (int round = 0; round < 3; ++round) {
        for (CTer& ter : ters) {
            g.AddItem(&ter);
            if (std::find(expected.begin(), expected.end(), &ter) == expected.end())
                expected.push_back(&ter);
        }
        check();
        for (int i = 0; i < 25; ++i) {
            CTer* ter = &ters[rng() % ters.size()];
            if (i % 2)
                g.RemoveItem(ter);
            else
                g.RemoveTer(ter);
            expected.erase(std::remove(expected.begin(), expected.end(), ter), expected.end());
            EXPECT_FALSE(ter->FindNetLine(&g));
        }
        check();
    }
    g.DeleteContents();
    expected.clear();
    check();
    g.AddItem(&ters[3]);
    expected.push_back(&ters[3]);
    check();
}

TEST_F(NetLineTest, DeleteAllItemFreesOnlyTheMembersTheGroupOwns)
{
    CNetLine g(0x101, 1, 1);
    auto adopted = std::make_unique<CLine>(CDPoint(0, 0), CDPoint(1, 0), T_LINE, 0);
    CLine* mine = adopted.get();
    g.AdoptItem(std::move(adopted));
    g.AddItem(mine); // twice in the list, freed once
    CLine& owned = Track({0, 1}, {1, 1});
    CLine owner; // stands in for a sheet
    owned.SetParent(&owner);
    g.AddItem(&owned);
    // Without a parent, yet owned by the caller: not the group's to free.
    auto callers = std::make_unique<CLine>(CDPoint(0, 2), CDPoint(1, 2), T_LINE, 0);
    g.AddItem(callers.get());
    g.DeleteAllItem(); // ASan reports a double free or a leak
    EXPECT_EQ(g.GetCount(0), 0u);
    EXPECT_EQ(owned.GetID(), 0x101u);
    EXPECT_EQ(callers->GetID(), 0x101u);
}

TEST_F(NetLineTest, OwnedMembersGoWithTheGroupThatAbsorbsTheirs)
{
    CLine* kept = nullptr;
    CNetLine big(0x201, 1, 1);
    {
        CNetLine small(0x301, 1, 1);
        auto line = std::make_unique<CLine>(CDPoint(0, 0), CDPoint(1, 0), T_LINE, 0);
        kept = line.get();
        small.AdoptItem(std::move(line));
        big += small;
    } // the absorbed group goes; its member stays with the group that took it
    EXPECT_EQ(kept->GetID(), 0x201u);
    EXPECT_EQ(big.GetCount(1), 1u);
    {
        CNetLine owner(0x401, 1, 1);
        owner.AdoptItem(std::make_unique<CLine>(CDPoint(5, 0), CDPoint(6, 0), T_LINE, 0));
    } // a group frees what it owns when it goes (ASan reports a leak otherwise)
}

// --- Flood fill ---

TEST_F(NetLineTest, MakeNetIdGivesSeparateTracksIdsStepping256)
{
    CNetLine g(0, 1, 1);
    CLine& a = Track({0, 0}, {10, 0});
    CLine& b = Track({0, 5}, {10, 5});
    CLine& c = Track({0, 10}, {10, 10});
    for (CLine* l : {&a, &b, &c})
        g.AddItem(l);
    EXPECT_EQ(g.MakeNetID(0x105), 3);
    EXPECT_EQ(a.GetID(), 0x105u);
    EXPECT_EQ(b.GetID(), 0x205u);
    EXPECT_EQ(c.GetID(), 0x305u);
}

TEST_F(NetLineTest, MakeNetIdJoinsTouchingCopperThroughEveryKind)
{
    // Chain: track - land - track - via - hole; a separate track; a via that touches nothing.
    CNetLine g(0, 1, 1);
    CLine& t1 = Track({0, 0}, {10, 0});
    CLand& pad = Pad({10, 0});
    CLine& t2 = Track({10, 0}, {10, 10});
    CVia& via = Via({10, 10});
    CHole& hole = Hole({10.3, 10}, 0.4);
    CLine& apart = Track({30, 0}, {40, 0});
    CVia& alone = Via({50, 50});
    CLine& late = Track({10, 10}, {12, 12}); // reached only through the via
    CText text("X", CDPoint(100, 100), T_LINE);
    for (CItemBase* item : std::vector<CItemBase*>{&t1, &apart, &t2, &late, &pad, &text, &via, &alone, &hole})
        g.AddItem(item);
    text.SetID(0x77); // already has an id: not a seed

    EXPECT_EQ(g.MakeNetID(0x101), 3);
    EXPECT_EQ(t1.GetID(), 0x101u);
    EXPECT_EQ(pad.GetID(), 0x101u);
    EXPECT_EQ(t2.GetID(), 0x101u);
    EXPECT_EQ(late.GetID(), 0x101u);
    EXPECT_EQ(via.GetLayerID(1), 0x101u);
    EXPECT_EQ(hole.GetLayerID(1), 0x101u);
    EXPECT_EQ(apart.GetID(), 0x201u);
    EXPECT_EQ(alone.GetLayerID(1), 0x301u); // vias seed after the other kinds
    EXPECT_EQ(text.GetID(), 0x77u);
}

TEST_F(NetLineTest, HolesAreReachedButNeverSeed)
{
    CNetLine g(0, 1, 1);
    CHole& hole = Hole({0, 0});
    g.AddItem(&hole);
    EXPECT_EQ(g.MakeNetID(0x101), 0);
    EXPECT_EQ(hole.GetLayerID(1), 0u);
}

TEST_F(NetLineTest, SameIdItemsGatherIntoANewGroup)
{
    CNetLine source(0, 1, 1);
    CLine& a = Track({0, 0}, {10, 0});
    CLine& b = Track({0, 5}, {10, 5});
    CVia& via = Via({10, 0});
    for (CItemBase* item : std::vector<CItemBase*>{&a, &b, &via})
        source.AddItem(item);
    ASSERT_EQ(source.MakeNetID(0x101), 2);

    CNetLine first(0x101, 1, 1), second(0x201, 1, 1);
    const CDRect bounds = first.GetSameIDItem(&source);
    EXPECT_EQ(Lines(first), (std::vector<CItemBase*>{&a}));
    EXPECT_EQ(first.GetCount(5), 1u);
    EXPECT_TRUE(bounds == first.GetBoundingRect());
    second.GetSameIDItem(&source);
    EXPECT_EQ(Lines(second), (std::vector<CItemBase*>{&b}));
    EXPECT_EQ(second.GetCount(5), 0u);
}

// The fill as the list order gives it: seeds in list order, each spreading step tests every member
// of the group (after a rectangle test), with no index.
int PlainMakeNetID(CNetLine& g, std::uint32_t first)
{
    const int layer = g.GetWLayer(), attr = g.GetAttr();
    std::vector<CItemBase*> own, vias, holes;
    for (auto pos = g.GetFirstLinePos(); pos;)
        own.push_back(g.GetNextLine(pos));
    for (auto pos = g.GetFirstArcPos(); pos;)
        own.push_back(g.GetNextArc(pos));
    for (auto pos = g.GetFirstLandPos(); pos;)
        own.push_back(g.GetNextLand(pos));
    for (auto pos = g.GetFirstSurPos(); pos;)
        own.push_back(g.GetNextSur(pos));
    for (auto pos = g.GetFirstTextPos(); pos;)
        own.push_back(g.GetNextText(pos));
    for (auto pos = g.GetFirstViaPos(); pos;)
        vias.push_back(g.GetNextVia(pos));
    for (auto pos = g.GetFirstHolePos(); pos;)
        holes.push_back(g.GetNextHole(pos));

    const auto meet = [](const CDRect& a, const CDRect& b) {
        return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
               std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
    };
    std::uint32_t id = first;
    // Each work entry: the item the id spreads from (a via's land is kept alive in lands).
    std::deque<CLand> lands;
    auto spread = [&](CItemBase* seed) {
        std::vector<CItemBase*> work{seed};
        while (!work.empty()) {
            CItemBase* from = work.back();
            work.pop_back();
            const CDRect rect = from->GetBoundingRect();
            for (CItemBase* item : own) {
                if (item->GetID() != 0 || !meet(item->GetBoundingRect(), rect))
                    continue;
                int touch = 0;
                switch (item->GetKind()) {
                case KIND_LINE:
                    touch = static_cast<CLine*>(item)->CheckShort(from);
                    break;
                case KIND_ARC:
                    touch = static_cast<CArc*>(item)->CheckShort(from);
                    break;
                case KIND_LAND:
                    touch = static_cast<CLand*>(item)->CheckShort(from);
                    break;
                case KIND_SUR:
                    touch = static_cast<CSur*>(item)->CheckShort(from);
                    break;
                default:
                    touch = static_cast<CText*>(item)->CheckShort(from);
                }
                if (touch) {
                    item->SetID(id);
                    work.push_back(item);
                }
            }
            for (CItemBase* item : vias) {
                auto* via = static_cast<CVia*>(item);
                if (via->GetLayerID(layer) != 0)
                    continue;
                lands.push_back(via->GetLand(attr, layer, 1));
                if (!meet(lands.back().GetBoundingRect(), rect) || !via->CheckShort(layer, attr, from))
                    continue;
                via->SetLayerID(id, layer);
                work.push_back(&lands.back());
            }
            for (CItemBase* item : holes) {
                auto* hole = static_cast<CHole*>(item);
                if (hole->GetLayerID(layer) != 0 || !meet(hole->GetBoundingRect(), rect) ||
                    !hole->CheckShort(from))
                    continue;
                hole->SetLayerID(id, layer);
                work.push_back(hole);
            }
        }
    };
    int count = 0;
    for (CItemBase* item : own) {
        if (item->GetID() != 0)
            continue;
        item->SetID(id);
        spread(item);
        ++count;
        id += 256;
    }
    for (CItemBase* item : vias) {
        auto* via = static_cast<CVia*>(item);
        if (via->GetLayerID(layer) != 0)
            continue;
        via->SetLayerID(id, layer);
        lands.push_back(via->GetLand(attr, layer, 1));
        spread(&lands.back());
        ++count;
        id += 256;
    }
    return count;
}

// A random board of tracks, arcs, lands, vias and holes, built twice from one seed.
struct RandomBoard
{
    RandomBoard(unsigned seed, int n, FakeDocument& doc)
    {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> pos(0.0, 40.0), step(-4.0, 4.0), unit(0.0, 1.0);
        const int turrets[] = {0, T_LINE, T_FINE, T_PAD};
        for (int i = 0; i < n; ++i) {
            const double r = unit(rng);
            const CDPoint at(pos(rng), pos(rng));
            const int turret = turrets[rng() % 4];
            if (r < 0.55) {
                lines.emplace_back(at, CDPoint(at.x + step(rng), at.y + step(rng)), turret, 0);
                group.AddItem(&lines.back());
            } else if (r < 0.65) {
                arcs.emplace_back(at, 0.5 + 2.0 * unit(rng), 6.0 * unit(rng), 6.0 * unit(rng), 0, turret);
                group.AddItem(&arcs.back());
            } else if (r < 0.8) {
                lands.emplace_back(at, turret == 0 ? T_SQUARE : turret);
                group.AddItem(&lands.back());
            } else if (r < 0.92) {
                vias.emplace_back(at, kViaNo, &doc, (rng() % 2) ? 0x1 : 0);
                group.AddItem(&vias.back());
            } else {
                holes.emplace_back(at, 0.3 + unit(rng), true, 0.0, 0.0, 0.0);
                group.AddItem(&holes.back());
            }
        }
        // A few items already carry an id, and one line stands twice in the list.
        if (!lines.empty()) {
            lines.front().SetID(0x4401);
            group.AddItem(&lines.back());
            lines.back().SetID(0);
        }
    }

    std::vector<std::uint32_t> Ids()
    {
        std::vector<std::uint32_t> ids;
        for (CLine& l : lines)
            ids.push_back(l.GetID());
        for (CArc& a : arcs)
            ids.push_back(a.GetID());
        for (CLand& l : lands)
            ids.push_back(l.GetID());
        for (CVia& v : vias)
            ids.push_back(v.GetLayerID(1));
        for (CHole& h : holes)
            ids.push_back(h.GetLayerID(1));
        return ids;
    }

    CNetLine group{0, 1, 1};
    std::deque<CLine> lines;
    std::deque<CArc> arcs;
    std::deque<CLand> lands;
    std::deque<CVia> vias;
    std::deque<CHole> holes;
};

TEST_F(NetLineTest, CulledFillGivesTheSameIdsAsThePlainListOrderFill)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const int n = 20 + static_cast<int>(seed * 7 % 180);
        RandomBoard culled(seed, n, doc), plain(seed, n, doc);
        const int made = culled.group.MakeNetID(0x101);
        const int expected = PlainMakeNetID(plain.group, 0x101);
        ASSERT_EQ(made, expected) << "seed " << seed;
        ASSERT_EQ(culled.Ids(), plain.Ids()) << "seed " << seed;
    }
}

// --- Contact and clearance ---

TEST_F(NetLineTest, GroupContactOnAPositiveLayer)
{
    CNetLine a(0x101, 1, 1), b(0x201, 1, 1);
    a.AddItem(&Track({0, 0}, {10, 0}));
    CLine& crossing = Track({5, -1}, {5, 1});
    CLine& near = Track({5, 0.3}, {5, 3});
    b.AddItem(&near);
    EXPECT_EQ(a.CheckShortItem(&b), 0); // bounds meet, copper does not
    EXPECT_EQ(a.CheckShortItem(&crossing), Lines(a).front());
    b.AddItem(&crossing);
    EXPECT_EQ(a.CheckShortItem(&b), 1);

    CNetLine far(0x301, 1, 1);
    far.AddItem(&Track({50, 50}, {60, 50}));
    EXPECT_EQ(a.CheckShortItem(&far), 0);

    // A via of the other group touches through its land on this layer.
    CNetLine c(0x401, 1, 1);
    CVia& via = Via({10.3, 0});
    c.AddItem(&via);
    EXPECT_EQ(a.CheckShortItem(&c), 1);
    EXPECT_EQ(a.CheckShortItem(&via), Lines(a).front());
}

TEST_F(NetLineTest, TextTouchesAsSoonAsTheRectanglesMeet)
{
    CNetLine g(0x101, 1, 1);
    CText text("AB", CDPoint(0, 0), T_LINE);
    g.AddItem(&text);
    const CDRect r = text.GetBoundingRect();
    CLand& inside = Pad(r.CenterPoint(), T_FINE);
    EXPECT_EQ(g.CheckShortItem(&inside), &text);
    CLand& outside = Pad({r.right + 5, r.bottom + 5}, T_FINE);
    EXPECT_EQ(g.CheckShortItem(&outside), nullptr);
}

TEST_F(NetLineTest, FirstTouchingMemberIsReturnedInKindOrder)
{
    CNetLine g(0x101, 1, 1);
    CLand& pad = Pad({0, 0}, T_MM);
    CLine& line = Track({0, 0}, {5, 0});
    g.AddItem(&pad);
    g.AddItem(&line);
    CLand& probe = Pad({0.2, 0}, T_FINE);
    EXPECT_EQ(g.CheckShortItem(&probe), &line); // lines are tried before lands
}

TEST_F(NetLineTest, NegativeLayerContactGoesThroughThermalLandsAndWiredVias)
{
    CNetLine plane(0x301, 1, NETLINE_NEGATIVE | 1);
    plane.AddItem(&Pad({0, 0}, T_THERMAL));
    plane.AddItem(&Pad({10, 0}, T_PAD));

    // Only thermal items are tested, and only against the thermal lands: a plain pad on a plain
    // pad of the plane is no contact.
    CLand& onPlain = Pad({10, 0}, T_PAD);
    EXPECT_EQ(plane.CheckShortItem(&onPlain), nullptr);
    CLine& track = Track({0, 0}, {1, 0});
    EXPECT_EQ(plane.CheckShortItem(&track), nullptr);

    // Group against group: a via or hole of the other group wired here with this id.
    CNetLine other(0x401, 2, 1);
    CVia& via = Via({20, 20}, 0x1);
    other.AddItem(&via);
    EXPECT_EQ(plane.CheckShortItem(&other), 0);
    via.SetLayerID(0x301, 1);
    EXPECT_EQ(plane.CheckShortItem(&other), 1);
    via.ResetWire(1);
    EXPECT_EQ(plane.CheckShortItem(&other), 0);
    CHole& hole = Hole({30, 30});
    other.AddItem(&hole);
    hole.SetLayerID(0x301, 1);
    EXPECT_EQ(plane.CheckShortItem(&other), 1);
}

TEST_F(NetLineTest, LargeGroupsTouchTheSameWithTheGrid)
{
    // Two combs of 40 teeth each, interleaved without touching; then one tooth bent onto the other
    // comb.
    CNetLine a(0x101, 1, 1), b(0x201, 1, 1);
    for (int i = 0; i < 40; ++i) {
        a.AddItem(&Track({i * 2.0, 0}, {i * 2.0, 10}));
        b.AddItem(&Track({i * 2.0 + 1.0, 11}, {i * 2.0 + 1.0, 20}));
    }
    CLine& bridge = Track({39.0, 20}, {39.0, 9.0}); // between two teeth of the first comb
    b.AddItem(&bridge);
    EXPECT_EQ(a.CheckShortItem(&b), 0);
    bridge.SetEndPoint(CDPoint(38.0, 9.0));
    EXPECT_EQ(a.CheckShortItem(&b), 1);
}

TEST_F(NetLineTest, ClearanceBetweenGroupsRecordsEachViolationOnce)
{
    CNetLine a(0x101, 1, 1), b(0x201, 1, 1);
    a.AddItem(&Track({0, 0}, {10, 0}));
    b.AddItem(&Track({0, 0.375}, {10, 0.375})); // 0.125 apart, rule 0.25
    b.AddItem(&Track({0, 5}, {10, 5}));         // far away
    a.DRC_ShortCheck(&rule, &b);
    EXPECT_EQ(rule.errorPoints.size(), 4u);

    rule.errorPoints.clear();
    CNetLine c(0x301, 1, 1);
    c.AddItem(&Track({0, 0.625}, {10, 0.625})); // just outside
    a.DRC_ShortCheck(&rule, &c);
    EXPECT_TRUE(rule.errorPoints.empty());

    // A via of another net next to the group: tested as its land with its id on the layer.
    rule.errorPoints.clear();
    CVia& via = Via({10.5, 0});
    via.SetLayerID(0x401, 1);
    CNetLine d(0x401, 1, 1);
    d.AddItem(&via);
    a.DRC_ShortCheck(&rule, &d);
    EXPECT_FALSE(rule.errorPoints.empty());
}

// --- Groups through vias, length ---

TEST_F(NetLineTest, AllGroupsReachedThroughViasEachOnce)
{
    CNetLine top(0x101, 1, 1), bottom(0x202, 2, 1), other(0x302, 2, 1);
    CVia& via = Via({0, 0}, 0x3);
    top.AddItem(&via);
    bottom.AddItem(&via);
    CHole& hole = Hole({5, 5});
    bottom.AddItem(&hole);
    hole.SetLayerID(0x302, 1); // the hole joins a third group (looked up by id)
    std::map<int, CNetLine*> byId = {{0x101, &top}, {0x202, &bottom}, {0x302, &other}};
    doc.findNetLine = [&](int id) -> CNetLine* {
        const auto it = byId.find(id);
        return it == byId.end() ? nullptr : it->second;
    };

    std::vector<CNetLine*> list;
    top.GetAllNetLine(&doc, &list);
    EXPECT_EQ(list, (std::vector<CNetLine*>{&top, &bottom, &other}));
    top.GetAllNetLine(&doc, &list); // already listed: nothing more
    EXPECT_EQ(list.size(), 3u);

    std::vector<CNetLine*> fromBottom;
    bottom.GetAllNetLine(&doc, &fromBottom);
    EXPECT_EQ(fromBottom, (std::vector<CNetLine*>{&bottom, &top, &other}));

    // Ids without a group are skipped.
    byId.erase(0x302);
    std::vector<CNetLine*> missing;
    top.GetAllNetLine(&doc, &missing);
    EXPECT_EQ(missing, (std::vector<CNetLine*>{&top, &bottom}));
}

TEST_F(NetLineTest, LongChainsOfGroupsNeedNoDeepCalls)
{
    // 20000 groups, each joined to the next through a via: the walk keeps its own stack.
    constexpr int n = 20000;
    std::vector<std::unique_ptr<CNetLine>> groups;
    std::deque<CVia> chain;
    for (int i = 0; i < n; ++i)
        groups.push_back(std::make_unique<CNetLine>(static_cast<std::uint32_t>(0x100 * (i + 1) + 1 + (i % 2)),
                                                    1 + (i % 2), 1));
    for (int i = 0; i + 1 < n; ++i) {
        chain.emplace_back(CDPoint(i, 0), kViaNo, &doc, 0x3);
        groups[static_cast<std::size_t>(i)]->AddItem(&chain.back());
        groups[static_cast<std::size_t>(i) + 1]->AddItem(&chain.back());
    }
    doc.findNetLine = [&](int id) -> CNetLine* {
        return groups[static_cast<std::size_t>(id / 0x100 - 1)].get();
    };
    std::vector<CNetLine*> list;
    groups.front()->GetAllNetLine(&doc, &list);
    EXPECT_EQ(list.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(list.back(), groups.back().get());
}

TEST_F(NetLineTest, LengthAddsLinesArcsAndFullCircles)
{
    CNetLine g(0x101, 1, 1);
    g.AddItem(&Track({0, 0}, {3, 4}));
    CArc half(CDPoint(0, 0), 2.0, 0.0, std::numbers::pi, 0, T_LINE);
    CArc circle(CDPoint(10, 10), 1.0, 1.0, 1.0, 0, T_LINE);
    g.AddItem(&half);
    g.AddItem(&circle);
    EXPECT_NEAR(g.GetLength(), 5.0 + 2.0 * std::numbers::pi + 2.0 * std::numbers::pi, 1e-9);
}

} // namespace
