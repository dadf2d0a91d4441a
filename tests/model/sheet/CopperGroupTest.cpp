// Copper groups against their plain definition on random boards: every pair of pieces tested for
// contact, the touching pairs joined (union-find). The sheet's groups follow the group contact rule
// (a text touches whatever its rectangle meets); a group's own id fill follows the pieces' contact
// tests, a text's being the test of its frame.

#include "model/items/Arc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/net/NetLine.h"
#include "model/net/NetMemberIndex.h"
#include "model/sheet/Sheet.h"
#include "tests/support/ContactFixture.h"
#include "tests/support/TempStrokeFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

constexpr int kViaNo = 1;
constexpr int W = 1;       // W-layer of the top sheet
constexpr int kBits = 0x3; // its type word: wiring, first layer
constexpr int kBoards = 300;

// A piece as the contact tests see it: the item, or a via's land on the top layer.
struct Piece
{
    CItemBase* item;
    CItemBase* seen;
};

class UnionFind
{
public:
    explicit UnionFind(std::size_t n) : m_parent(n) { std::iota(m_parent.begin(), m_parent.end(), 0); }
    std::size_t Find(std::size_t i)
    {
        while (m_parent[i] != i)
            i = m_parent[i] = m_parent[m_parent[i]];
        return i;
    }
    void Join(std::size_t a, std::size_t b) { m_parent[Find(a)] = Find(b); }

private:
    std::vector<std::size_t> m_parent;
};

bool Meet(const CDRect& a, const CDRect& b)
{
    return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
           std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
}

// The piece's own contact test with another piece (a via through its land).
bool Touches(CItemBase* piece, CItemBase* other)
{
    switch (piece->GetKind()) {
    case KIND_LINE:
        return static_cast<CLine*>(piece)->CheckShort(other) != 0;
    case KIND_ARC:
        return static_cast<CArc*>(piece)->CheckShort(other) != 0;
    case KIND_LAND:
        return static_cast<CLand*>(piece)->CheckShort(other) != 0;
    case KIND_SUR:
        return static_cast<CSur*>(piece)->CheckShort(other) != 0;
    case KIND_TEXT:
        return static_cast<CText*>(piece)->CheckShort(other) != 0;
    default:
        return false;
    }
}

bool IsText(const Piece& p)
{
    return p.item->GetKind() == KIND_TEXT;
}

// Contact in a group's id fill: a text by its frame, every other pair by either piece's test.
bool FillContact(const Piece& a, const Piece& b)
{
    if (IsText(a))
        return Touches(a.seen, b.seen);
    if (IsText(b))
        return Touches(b.seen, a.seen);
    return Touches(a.seen, b.seen) || Touches(b.seen, a.seen);
}

// Contact when groups are merged: a text counts on its rectangle alone.
bool GroupContact(const Piece& a, const Piece& b)
{
    const bool meet = Meet(a.seen->GetBoundingRect(), b.seen->GetBoundingRect());
    if (IsText(a) || IsText(b))
        return meet;
    return meet && (Touches(a.seen, b.seen) || Touches(b.seen, a.seen));
}

class CopperGroupTest : public ContactTest
{
protected:
    CopperGroupTest()
    {
        tagVIA via;
        via.drill = 0.6;
        via.lands[0] = via.lands[10] = T_PAD1;
        via.lands[1] = via.lands[11] = T_PAD;
        doc.viaTable[kViaNo] = via;
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.5;
        top.SetSheetType(SHEET_BOARD);
        viaPart.SetSheetType(SHEET_BOARD_VIAPART);
        doc.boardSheets[0] = &top;
        doc.boardSheets[LAYER_MAX] = &viaPart;
        doc.currentLayer = 5; // no hole sheet
    }
    void SetUp() override
    {
        // "-": one stroke across the middle of its cell.
        ASSERT_TRUE(strokeFont.Open("coppergroup", "2D   !\xB0O\r\n"));
    }
    void TearDown() override { strokeFont.Close(); }

    // About forty pieces of every kind on a 10 mm square times `scale` (the square grows with it),
    // on a 0.25 mm grid so that many touch exactly, end to end or edge to edge; and a part whose
    // four pads are its terminals (unless told otherwise).
    void RandomBoard(unsigned seed, int scale = 1, bool withPart = true)
    {
        std::mt19937 rng(seed);
        const double side = 10.0 * std::sqrt(static_cast<double>(scale));
        auto grid = [&](double lo, double hi) {
            const int steps = static_cast<int>((hi - lo) / 0.25);
            return lo + 0.25 * static_cast<double>(rng() % static_cast<unsigned>(steps + 1));
        };
        auto point = [&] { return CDPoint(grid(0, side), grid(0, side)); };
        auto count = [&](unsigned below) { return static_cast<int>(rng() % below) * scale; };
        auto pick = [&](std::initializer_list<int> values) {
            return *(values.begin() + rng() % values.size());
        };
        const int lines = (8 + static_cast<int>(rng() % 12)) * scale;
        for (int i = 0; i < lines; ++i) {
            const CDPoint a = point();
            const CDPoint b(a.x + grid(-3, 3), a.y + grid(-3, 3));
            if (a == b)
                continue;
            top.NewLine(a, b, pick({T_LINE, T_FINE, T_SQLINE}), 0);
        }
        for (int i = count(7); i > 0; --i)
            top.NewLand(point(), pick({T_PAD, T_SQUARE, T_MM, T_DONUT}));
        for (int i = count(5); i > 0; --i) {
            const double start = static_cast<double>(rng() % 8) * 0.785398163397448;
            const double sweep = static_cast<double>(1 + rng() % 6) * 0.785398163397448;
            top.NewArc(point(), grid(0.5, 2), start, start + sweep, 0, pick({T_LINE, T_FINE}));
        }
        for (int i = count(3); i > 0; --i) {
            const CDPoint a = point();
            const double w = grid(0.5, 2), h = grid(0.5, 2);
            const CDPoint pts[4] = {a, CDPoint(a.x + w, a.y), CDPoint(a.x + w, a.y + h),
                                    CDPoint(a.x, a.y + h)};
            CSur sur;
            for (int k = 0; k < 4; ++k)
                sur.AddLine(std::make_unique<CLine>(pts[k], pts[(k + 1) % 4], T_FINE, 0));
            sur.SetTurretNo(T_FINE, true);
            sur.SetLayerNo(0);
            top.NewSur(sur);
        }
        for (int i = count(5); i > 0; --i) {
            CText text(rng() % 2 ? "-" : "--", point(), T_LINE);
            LOGFONTA lf{};
            lf.lfHeight = 100 + 50 * static_cast<int>(rng() % 3);
            lf.lfWidth = lf.lfHeight;
            lf.lfWeight = 50;
            text.SetFontRecord(lf);
            text.SetLayerNo(0);
            top.NewText(text);
        }
        for (int i = count(8); i > 0; --i)
            viaPart.NewVia(point(), kViaNo, 0x1);
        if (!withPart)
            return;
        CPart* part = viaPart.NewPart(CPart());
        for (std::uint32_t id = 1; id <= 4; ++id) {
            const CDPoint at = point();
            CLand* pad = part->NewLand(at, pick({T_PAD, T_PAD1, T_SQUARE}));
            pad->SetLayerNo(0);
            pad->SetID(id);
            part->NewTer(at, CText(std::to_string(id), at, 0))->SetID(id);
        }
        part->CalcNetBoundRect(&doc);
    }

    // The parts' terminals are linked to the groups they are linked to when each finished group
    // checks them afresh: merging links every terminal that the copper joining a group touches.
    void ExpectTerminalLinks()
    {
        std::vector<CPart*> parts;
        std::vector<CTer*> ters;
        for (POSITION partPos = viaPart.GetFirstPartPos(); partPos;) {
            parts.push_back(viaPart.GetNextPart(partPos));
            for (POSITION pos = parts.back()->GetFirstTerPos(); pos;)
                ters.push_back(parts.back()->GetNextTer(pos));
        }
        auto links = [&] {
            std::vector<std::set<std::uint32_t>> out;
            for (CTer* ter : ters) {
                std::set<std::uint32_t> ids;
                for (auto g = top.GetFirstNetLinePos(); g;) {
                    CNetLine* group = top.GetNextNetLine(g);
                    if (ter->FindNetLine(group))
                        ids.insert(group->GetID());
                }
                out.push_back(ids);
            }
            return out;
        };
        const auto made = links();
        for (CTer* ter : ters)
            for (auto g = top.GetFirstNetLinePos(); g;)
                top.GetNextNetLine(g)->RemoveTer(ter);
        for (CPart* part : parts)
            for (auto g = top.GetFirstNetLinePos(); g;)
                part->CheckTerNetLine(top.GetNextNetLine(g), 0);
        EXPECT_EQ(made, links());
    }

    // The copper of the top layer: its pieces in list order, then the vias seen as their lands.
    std::vector<Piece> Pieces()
    {
        std::vector<Piece> pieces;
        for (int kind : {KIND_LINE, KIND_ARC, KIND_LAND, KIND_SUR, KIND_TEXT})
            for (POSITION pos = top.GetFirstItemPos(kind); pos;) {
                CItemBase* item = top.GetNextItem(kind, pos);
                if (kind == KIND_SUR)
                    static_cast<CSur*>(item)->MakeSurLine(false);
                pieces.push_back({item, item});
            }
        for (POSITION pos = viaPart.GetFirstItemPos(KIND_VIA); pos;) {
            auto* via = static_cast<CVia*>(viaPart.GetNextItem(KIND_VIA, pos));
            lands.push_back(via->GetLand(kBits, W, 1));
            pieces.push_back({via, &lands.back()});
        }
        return pieces;
    }

    // The plain groups: the roots of a union-find over every touching pair.
    template <class Contact>
    static std::vector<std::size_t> Plain(const std::vector<Piece>& pieces, Contact contact)
    {
        UnionFind sets(pieces.size());
        for (std::size_t i = 0; i < pieces.size(); ++i)
            for (std::size_t j = i + 1; j < pieces.size(); ++j)
                if (contact(pieces[i], pieces[j]))
                    sets.Join(i, j);
        std::vector<std::size_t> roots;
        for (std::size_t i = 0; i < pieces.size(); ++i)
            roots.push_back(sets.Find(i));
        return roots;
    }

    // Whether two labellings split the pieces the same way.
    template <class A, class B> static bool SamePartition(const std::vector<A>& a, const std::vector<B>& b)
    {
        std::map<A, B> ab;
        std::map<B, A> ba;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (ab.emplace(a[i], b[i]).first->second != b[i] || ba.emplace(b[i], a[i]).first->second != a[i])
                return false;
        }
        return true;
    }

    std::uint32_t IdOf(const Piece& p) const
    {
        return p.item->GetKind() == KIND_VIA ? static_cast<CVia*>(p.item)->GetLayerID(W) : p.item->GetID();
    }

    CSheet top{W, kBits, 0, &doc};
    CSheet viaPart{0, 0, LAYER_MAX, &doc};
    std::deque<CLand> lands;
    TempStrokeFont strokeFont;
};

TEST_F(CopperGroupTest, SheetGroupsAreThePlainGroupsOfTheGroupContactRule)
{
    // Most boards are small; the large ones make groups big enough to be filed in grids.
    for (unsigned seed = 1; seed <= kBoards; ++seed) {
        SCOPED_TRACE(seed);
        top.DeleteContents();
        viaPart.DeleteContents();
        lands.clear();
        RandomBoard(seed, seed % 15 == 0 ? 12 : 1);
        top.ResetNetID();
        viaPart.ResetNetID();
        // A part with an id of its own (given after the reset, which clears it) has its terminals
        // linked only as groups form, not again at the end of the pass.
        if (seed % 2)
            for (POSITION pos = viaPart.GetFirstPartPos(); pos;)
                viaPart.GetNextPart(pos)->SetID(0x1234);
        top.MakeRubberGroup();
        // More copper drawn on the board joins the groups it touches.
        for (unsigned more = 1; more <= 3; ++more)
            RandomBoard(seed + 1000 * more, seed % 15 == 0 ? 12 : 1, false);
        top.MakeRubberGroup();

        const std::vector<Piece> pieces = Pieces();
        std::vector<const CNetLine*> groupOf(pieces.size(), nullptr);
        std::map<const CItemBase*, std::size_t> index;
        for (std::size_t i = 0; i < pieces.size(); ++i)
            index[pieces[i].item] = i;
        for (auto pos = top.GetFirstNetLinePos(); pos;) {
            CNetLine* group = top.GetNextNetLine(pos);
            auto mark = [&](CItemBase* item) { groupOf[index.at(item)] = group; };
            for (auto p = group->GetFirstLinePos(); p;)
                mark(group->GetNextLine(p));
            for (auto p = group->GetFirstArcPos(); p;)
                mark(group->GetNextArc(p));
            for (auto p = group->GetFirstLandPos(); p;)
                mark(group->GetNextLand(p));
            for (auto p = group->GetFirstSurPos(); p;)
                mark(group->GetNextSur(p));
            for (auto p = group->GetFirstTextPos(); p;)
                mark(group->GetNextText(p));
            for (auto p = group->GetFirstViaPos(); p;)
                mark(group->GetNextVia(p));
        }
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            ASSERT_NE(groupOf[i], nullptr) << "piece " << i << " in no group";
            EXPECT_EQ(IdOf(pieces[i]), groupOf[i]->GetID());
        }
        ASSERT_TRUE(SamePartition(groupOf, Plain(pieces, GroupContact)));
        ExpectTerminalLinks();
    }
}

TEST_F(CopperGroupTest, AGroupsIdFillGivesThePlainGroupsOfThePiecesContactTests)
{
    for (unsigned seed = 1; seed <= kBoards; ++seed) {
        SCOPED_TRACE(seed);
        top.DeleteContents();
        viaPart.DeleteContents();
        lands.clear();
        RandomBoard(seed, seed % 15 == 0 ? 12 : 1);
        top.ResetNetID();
        viaPart.ResetNetID();
        const std::vector<Piece> pieces = Pieces();
        CNetLine work(0, W, kBits);
        for (const Piece& p : pieces)
            work.AddItem(p.item);
        const int made = work.MakeNetID(W + 256);
        work.DeleteContents();

        std::vector<std::uint32_t> ids;
        for (const Piece& p : pieces)
            ids.push_back(IdOf(p));
        const std::vector<std::size_t> plain = Plain(pieces, FillContact);
        EXPECT_EQ(static_cast<std::size_t>(made), std::set<std::size_t>(plain.begin(), plain.end()).size());
        ASSERT_TRUE(SamePartition(ids, plain));
    }
}

} // namespace

namespace {

TEST_F(CopperGroupTest, AKeptMemberIndexListsTheMembersAWalkOfTheGroupFinds)
{
    // Members filed at once when the index is kept, then more joining one by one; the lookups
    // must name the members a walk of the lists in their order finds, each once.
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        top.DeleteContents();
        viaPart.DeleteContents();
        lands.clear();
        RandomBoard(seed, seed % 5 == 0 ? 12 : 1, false);
        top.ResetNetID();
        viaPart.ResetNetID();
        std::vector<Piece> pieces = Pieces();
        const std::size_t first = pieces.size() / 2 + (seed % 3);
        CNetLine group(W + 256, W, kBits);
        for (std::size_t i = 0; i < std::min(first, pieces.size()); ++i)
            group.AddItem(pieces[i].item);
        NetMemberIndex& index = group.KeepMemberIndex();
        for (std::size_t i = first; i < pieces.size(); ++i)
            group.AddItem(pieces[i].item);

        // The walk: lines, arcs, lands, surfaces, texts, vias (as their lands), in list order.
        std::vector<Piece> walk;
        for (auto p = group.GetFirstLinePos(); p;)
            walk.push_back({group.GetNextLine(p), nullptr});
        for (auto p = group.GetFirstArcPos(); p;)
            walk.push_back({group.GetNextArc(p), nullptr});
        for (auto p = group.GetFirstLandPos(); p;)
            walk.push_back({group.GetNextLand(p), nullptr});
        for (auto p = group.GetFirstSurPos(); p;)
            walk.push_back({group.GetNextSur(p), nullptr});
        for (auto p = group.GetFirstTextPos(); p;)
            walk.push_back({group.GetNextText(p), nullptr});
        std::deque<CLand> viaLands;
        for (auto p = group.GetFirstViaPos(); p;) {
            CVia* via = group.GetNextVia(p);
            viaLands.push_back(via->GetLand(kBits, W, 1));
            walk.push_back({via, &viaLands.back()});
        }
        ASSERT_EQ(static_cast<std::size_t>(index.GetCount()), walk.size());

        std::mt19937 rng(seed);
        const double side = 10.0 * std::sqrt(seed % 5 == 0 ? 12.0 : 1.0);
        for (int q = 0; q < 60; ++q) {
            const double x = std::uniform_real_distribution<double>(-1, side)(rng);
            const double y = std::uniform_real_distribution<double>(-1, side)(rng);
            const double w = std::uniform_real_distribution<double>(0, q % 10 == 0 ? side : 2)(rng);
            const CDRect rect(x, y, x + w, y + std::uniform_real_distribution<double>(0, 2)(rng));
            std::vector<CItemBase*> near, nearVias, plainNear, plainVias;
            std::vector<int> found;
            index.Near(rect, found);
            for (int i : found)
                near.push_back(index[i].item);
            index.NearVias(rect, found);
            for (int i : found)
                nearVias.push_back(index[i].item);
            for (const Piece& p : walk) {
                const CItemBase* seen = p.seen ? p.seen : p.item;
                if (Meet(const_cast<CItemBase*>(seen)->GetBoundingRect(), rect))
                    plainNear.push_back(p.item);
                if (p.item->GetKind() == KIND_VIA &&
                    Meet(static_cast<CVia*>(p.item)->GetNetBoundingRect(), rect))
                    plainVias.push_back(p.item);
            }
            ASSERT_EQ(near, plainNear) << "query " << q;
            ASSERT_EQ(nearVias, plainVias) << "query " << q;
        }
        group.ReleaseMemberIndex();
        group.DeleteContents();
    }
}

TEST_F(CopperGroupTest, ATextJoinsTheTracksOnEitherSideOfItsFrameWhicheverComesFirst)
{
    // "-" at the origin: a 1.5 by 2 frame drawn with the 0.25 pen; a track ends on its left edge
    // and another on its right edge, apart from each other.
    CText text("-", CDPoint(0, 0), T_LINE);
    LOGFONTA lf{};
    lf.lfHeight = 200;
    lf.lfWidth = 200;
    lf.lfWeight = 50;
    text.SetFontRecord(lf);
    text.SetLayerNo(0);
    top.NewLine({-3, 1}, {0, 1}, T_LINE, 0);
    top.NewText(text);
    top.NewLine({1.5, 1}, {4, 1}, T_LINE, 0);
    top.MakeGroup();
    std::set<std::uint32_t> ids;
    for (int kind : {KIND_LINE, KIND_TEXT})
        for (POSITION pos = top.GetFirstItemPos(kind); pos;)
            ids.insert(top.GetNextItem(kind, pos)->GetID());
    EXPECT_EQ(ids, (std::set<std::uint32_t>{W + 256}));
}

} // namespace

namespace {

TEST_F(CopperGroupTest, ATerminalIsLinkedWhenItsGroupsRectangleGrowsOverItInALaterMerge)
{
    // A square pad whose right edge a track's square end touches: the track's rectangle only
    // shares an edge with the terminal's, so the terminal is not linked yet.
    CPart* part = viaPart.NewPart(CPart());
    CLand* pad = part->NewLand({0, 0}, T_SQUARE);
    pad->SetLayerNo(0);
    pad->SetID(1);
    CTer* ter = part->NewTer({0, 0}, CText("1", {0, 0}, 0));
    ter->SetID(1);
    part->CalcNetBoundRect(&doc);
    top.NewLine({0.625, 0}, {3, 0}, T_SQLINE, 0);
    top.NewLine({3, 0}, {3, 2}, T_SQLINE, 0);
    top.ResetNetID();
    viaPart.ResetNetID();
    part->SetID(0x1234); // linked only as groups form
    top.MakeRubberGroup();
    ASSERT_EQ(top.GetNetLineCount(), 1);
    CNetLine* group = top.GetHeadNetLine();
    EXPECT_FALSE(ter->FindNetLine(group));

    // Two new pieces join the group one after the other: the first leaves its rectangle where it
    // was on the left, the second, far from the pad, stretches it over the pad.
    top.NewLine({3, 0}, {4, 0}, T_SQLINE, 0);
    top.NewLine({3, 2}, {-2, 2}, T_SQLINE, 0);
    top.MakeRubberGroup();
    ASSERT_EQ(top.GetNetLineCount(), 1);
    EXPECT_EQ(top.GetHeadNetLine(), group);
    EXPECT_TRUE(ter->FindNetLine(group));
}

} // namespace
