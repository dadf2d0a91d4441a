// Tidying a layer sheet: degenerate and outside items, duplicates (checked against comparing every
// item with every later one), the duplicate test of new pads, partial text selection and the
// outline test (checked against the depth-first marking it replaces).

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "tests/support/PartBoard.h"
#include "tests/support/SheetItems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

using testing_support::Items;
using testing_support::PartBoard;
constexpr double kPi = std::numbers::pi;
constexpr int kPad = PartBoard::kPad;
constexpr int kTrack = PartBoard::kTrack;

class SheetCleanTest : public testing_support::BoardSheetTest
{
};

// ---------------------------------------------------------------------------------------------
// Duplicates

TEST_F(SheetCleanTest, ReversedDuplicateLineMergesAndTheSurvivorKeepsTheDimensionText)
{
    // A dimension line whose text is empty, and the same line drawn the other way with its text.
    CLine forward(CDPoint(0, 0), CDPoint(10, 0), kTrack, 0);
    forward.ModifyType(LINE_NAMED, 0);
    forward.SetArrow(100, -20);
    CLine backward(forward);
    backward.Swap();
    backward.SetName(std::string("10"), 100, true);
    sheet.NewLine(forward);
    sheet.NewLine(CDPoint(0, 1), CDPoint(10, 1), kTrack, 0);
    sheet.NewLine(backward);
    ASSERT_TRUE(sheet.GetHeadLine()->GetName().empty());

    EXPECT_EQ(sheet.CleanDupItem(), 1);
    EXPECT_EQ(sheet.GetItemCount(), 2);
    CLine* survivor = sheet.GetHeadLine();
    EXPECT_EQ(survivor->GetStartPoint(), CDPoint(0, 0));
    EXPECT_EQ(survivor->GetName(), "10");
    EXPECT_EQ(survivor->GetNameText()->GetParent(), survivor);
    EXPECT_EQ(sheet.CleanDupItem(), 0);

    // Arrows belong to the ends: the reversed line with arrows left where they were is another line.
    CLine moved(forward);
    moved.Swap();
    moved.SetArrow(100, -20);
    sheet.NewLine(moved);
    EXPECT_EQ(sheet.CleanDupItem(), 0);
}

// What comparing every item with every later one leaves: for each item from the head, every later
// item equal to it goes (lines also when reversed; a line without a name takes the first name of
// the lines it removes).
template <class T> void ReferenceDedup(std::vector<std::unique_ptr<T>>& items)
{
    for (std::size_t k = 0; k < items.size(); ++k)
        for (std::size_t d = k + 1; d < items.size();) {
            bool equal;
            if constexpr (std::is_same_v<T, CLine>) {
                CLine swapped(*items[d]);
                swapped.Swap();
                equal = *items[k] == *items[d] || *items[k] == swapped;
                if (equal && items[k]->GetName().empty() && !items[d]->GetName().empty())
                    *items[k]->GetNameText() = *items[d]->GetNameText();
            } else {
                equal = *items[k] == *items[d];
            }
            if (equal)
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(d));
            else
                ++d;
        }
}

TEST_F(SheetCleanTest, DuplicatesAreThoseOfComparingEveryItemWithEveryLaterOne)
{
    std::mt19937 rng(12);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    // Points on a small grid, some moved by less than the tolerance, so that many items coincide.
    auto point = [&]() {
        double x = pick(3), y = pick(3);
        if (pick(4) == 0)
            x += 4e-7;
        if (pick(4) == 0)
            y -= 4e-7;
        return CDPoint(x, y);
    };
    for (int round = 0; round < 20; ++round) {
        CSheet work(SHEET_WORK);
        std::vector<std::unique_ptr<CLine>> lines;
        std::vector<std::unique_ptr<CLand>> lands;
        std::vector<std::unique_ptr<CText>> texts;
        std::vector<std::unique_ptr<CTer>> ters;
        std::vector<std::unique_ptr<CArc>> arcs;
        std::vector<std::unique_ptr<CVia>> vias;
        for (int i = 0; i < 60; ++i) {
            auto line = std::make_unique<CLine>(point(), point(), 1 + pick(2), pick(3) == 0 ? LINE_NAMED : 0);
            if (pick(3) == 0)
                line->SetArrow(pick(2) * 100, pick(2) * 100);
            if (pick(3) == 0)
                line->SetName(std::string(1, static_cast<char>('a' + pick(3))), 100, true);
            work.NewLine(*line);
            lines.push_back(std::move(line));

            auto land = std::make_unique<CLand>(point(), 1 + pick(2));
            work.NewLand(*land);
            lands.push_back(std::move(land));

            const char* strings[] = {"", "A", "B"};
            auto text = std::make_unique<CText>(strings[pick(3)], point(), 0);
            work.NewText(*text);
            texts.push_back(std::move(text));

            auto ter = std::make_unique<CTer>(point(), CText(pick(2) ? "1" : "2", CDPoint(0, 0), 0), 0);
            work.NewTer(*ter);
            ters.push_back(std::move(ter));

            auto arc = std::make_unique<CArc>(point(), 1.0 + pick(2), 0.0, pick(2) * kPi, 0, 1);
            work.NewArc(*arc);
            arcs.push_back(std::move(arc));

            auto via = std::make_unique<CVia>(point(), 1, &board.doc, 1 + pick(2));
            work.NewVia(*via);
            vias.push_back(std::move(via));
        }
        ReferenceDedup(lines);
        ReferenceDedup(lands);
        ReferenceDedup(texts);
        ReferenceDedup(ters);
        ReferenceDedup(arcs);
        ReferenceDedup(vias);

        EXPECT_EQ(work.CleanDupItem(), 1);
        auto same = [](auto& expected, auto actual) {
            ASSERT_EQ(expected.size(), actual.size());
            for (std::size_t i = 0; i < expected.size(); ++i)
                EXPECT_TRUE(*expected[i] == *actual[i]) << i;
        };
        const std::vector<CLine*> keptLines = Items<CLine>(work, KIND_LINE);
        same(lines, keptLines);
        for (std::size_t i = 0; i < lines.size() && i < keptLines.size(); ++i)
            EXPECT_EQ(lines[i]->GetName(), keptLines[i]->GetName()) << i;
        same(lands, Items<CLand>(work, KIND_LAND));
        same(texts, Items<CText>(work, KIND_TEXT));
        same(ters, Items<CTer>(work, KIND_TER));
        same(arcs, Items<CArc>(work, KIND_ARC));
        same(vias, Items<CVia>(work, KIND_VIA));
        EXPECT_EQ(work.GetItemCount(), static_cast<int>(lines.size() + lands.size() + texts.size() +
                                                        ters.size() + arcs.size() + vias.size()));
    }
}

TEST_F(SheetCleanTest, DuplicateHolesAndPartsGoToo)
{
    sheet.NewHole(CDPoint(1, 1), 0.8, true, 0, 0, 0);
    sheet.NewHole(CDPoint(1, 1), 1.0, true, 0, 0, 0);
    sheet.NewHole(CDPoint(1, 1 + 5e-7), 0.8, true, 0, 0, 0);
    CPart part(CDPoint(5, 5), CDRect(4, 4, 6, 6), 0, 0, 0.0, 0);
    part.SetRefName("U1");
    sheet.NewPart(part);
    sheet.NewPart(part);
    EXPECT_EQ(sheet.CleanDupItem(), 1);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_HOLE), 2);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_PART), 1);
}

// ---------------------------------------------------------------------------------------------
// Degenerate and outside items

TEST_F(SheetCleanTest, NullItemsAreRemoved)
{
    sheet.NewLine(CDPoint(1, 1), CDPoint(1, 1), 0, 0);           // no aperture: goes
    sheet.NewLine(CDPoint(2, 2), CDPoint(2, 2), kTrack, 0);      // a lone flash: stays
    sheet.NewLine(CDPoint(3, 3), CDPoint(3, 3), kTrack, 0);      // on a line of its aperture: goes
    sheet.NewLine(CDPoint(0, 3), CDPoint(5, 3), kTrack, 0);      //
    sheet.NewLine(CDPoint(4, 4), CDPoint(4, 4), kPad, 0);        // on a line of another aperture: stays
    sheet.NewLine(CDPoint(0, 4), CDPoint(5, 4), kTrack, 0);      //
    sheet.NewArc(CArc(CDPoint(1, 1), 0.0, 0.0, kPi, 0, kTrack)); // no radius: goes
    sheet.NewArc(CArc(CDPoint(1, 1), 1.0, 0.0, kPi, 0, kTrack));
    sheet.NewText(CText("", CDPoint(1, 1), 0));
    sheet.NewText(CText("T", CDPoint(1, 1), 0));
    CSur empty;
    empty.SetTurretNo(kTrack);
    empty.AddLine(std::make_unique<CLine>(CDPoint(6, 6), CDPoint(6, 6), kTrack, 0));
    sheet.NewSur(empty);
    ASSERT_EQ(sheet.GetItemCount(), 11);

    EXPECT_EQ(sheet.CleanNullItem(), 1);
    std::vector<double> points;
    for (CLine* line : Items<CLine>(sheet, KIND_LINE))
        if (line->GetLength() == 0.0)
            points.push_back(line->GetStartPoint().x);
    EXPECT_EQ(points, (std::vector<double>{2, 4}));
    EXPECT_EQ(sheet.GetCount(ID_INPUT_LINE), 4);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_ARC), 1);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_TEXT), 1);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_SUR), 0);
    EXPECT_EQ(sheet.GetItemCount(), 6);
    EXPECT_EQ(sheet.CleanNullItem(), 0);

    sheet.CleanZeroLine();
    EXPECT_EQ(sheet.GetCount(ID_INPUT_LINE), 2);
}

TEST_F(SheetCleanTest, ItemsWhollyOutsideTheBoardGoOnEitherAxis)
{
    const CDPoint extent(100, 50);
    sheet.NewLand(CDPoint(50, 25), kPad);                      // inside
    sheet.NewLine(CDPoint(-5, 10), CDPoint(5, 10), kTrack, 0); // over the left edge: stays
    sheet.NewLine(CDPoint(10, -5), CDPoint(10, 5), kTrack, 0); // over the bottom edge: stays
    sheet.NewLand(CDPoint(-3, 25), kPad);                      // left of the board
    sheet.NewLand(CDPoint(50, -3), kPad);                      // below
    sheet.NewLand(CDPoint(103, 25), kPad);                     // right
    sheet.NewLand(CDPoint(50, 53), kPad);                      // above
    sheet.NewHole(CDPoint(150, 150), 0.8, true, 0, 0, 0);
    EXPECT_EQ(sheet.CleanOutSideItem(extent), 1);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_LAND), 1);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_LINE), 2);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_HOLE), 0);
    EXPECT_EQ(sheet.CleanOutSideItem(extent), 0);
}

// ---------------------------------------------------------------------------------------------
// The duplicate test of new items

TEST_F(SheetCleanTest, NewPadsFindTheItemAlreadyThere)
{
    sheet.NewLand(CDPoint(1, 1), kPad);
    CLand land(CDPoint(1.2, 1), kTrack);
    EXPECT_EQ(sheet.IsDup(&land, ID_INPUT_LAND, false), 1);
    EXPECT_EQ(land.GetTurretNo(), kTrack);
    EXPECT_EQ(sheet.IsDup(&land, ID_INPUT_LAND, true), 1);
    EXPECT_EQ(land.GetTurretNo(), kPad);
    CLand away(CDPoint(3, 3), kPad);
    EXPECT_EQ(sheet.IsDup(&away, ID_INPUT_LAND, true), 0);
    EXPECT_EQ(sheet.IsDup(&away, ID_INPUT_LINE, true), 0);

    // A terminal half the tolerance away is the same terminal and takes its number.
    sheet.NewTer(CDPoint(5, 5), CText("7", CDPoint(5, 5), 0), 0);
    CTer ter(CDPoint(5 + 0.5e-6, 5), CText("", CDPoint(5, 5), 0), 0);
    EXPECT_EQ(sheet.IsDup(&ter, ID_INPUT_TER, true), 1);
    EXPECT_EQ(ter.GetNo(), "7");
    EXPECT_EQ(ter.GetNoText()->GetParent(), &ter);

    // A via takes the found via's data but not its ids or owner.
    CVia* stored = sheet.NewVia(CVia(CDPoint(8, 8), 1, &board.doc, 0x3));
    stored->SetID(0x105);
    stored->SetLayerID(0x205, 1);
    CSheet work(SHEET_WORK);
    CVia* floating = work.NewVia(CVia(CDPoint(8.1, 8), 2, &board.doc, 0x1));
    EXPECT_EQ(sheet.IsDup(floating, ID_INPUT_VIA, true), 1);
    EXPECT_EQ(floating->GetViaNo(), 1);
    EXPECT_EQ(floating->GetID(), 0u);
    EXPECT_EQ(floating->GetLayerID(1), 0u);
    EXPECT_EQ(floating->GetParent(), &work);

    // Holes of the placed parts count as well.
    CSheet viaParts(SHEET_BOARD_VIAPART);
    viaParts.SetLayerNo(LAYER_MAX);
    board.doc.boardSheets[LAYER_MAX] = &viaParts;
    CPart part(CDPoint(20, 20), CDRect(19, 19, 21, 21), 0, 0, 0.0, 0);
    part.NewHole(CDPoint(20, 20), 1.2, true, 0, 0, 0);
    viaParts.NewPart(part);
    CHole hole(CDPoint(20.1, 20), 0.5, true, 0, 0, 0);
    EXPECT_EQ(sheet.IsDup(&hole, ID_INPUT_HOLE, true), 1);
    EXPECT_DOUBLE_EQ(hole.GetHoleDia(), 1.2);
    board.doc.boardSheets[LAYER_MAX] = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Partial text selection

TEST_F(SheetCleanTest, TextSelectionMarksTheTextsTheRectangleTouches)
{
    CLine named(CDPoint(0, 0), CDPoint(10, 0), kTrack, 0);
    named.SetName(std::string("10"), 100, true);
    sheet.NewLine(named);
    sheet.NewText(CText("near", CDPoint(1, 1), 0));
    sheet.NewText(CText("far", CDPoint(50, 50), 0));
    sheet.SetTextSel(CDRect(-1, -1, 6, 3));
    const std::vector<CText*> texts = Items<CText>(sheet, KIND_TEXT);
    EXPECT_TRUE(texts[0]->IsTextSel());
    EXPECT_FALSE(texts[1]->IsTextSel());
    EXPECT_TRUE(sheet.GetHeadLine()->GetNameText()->IsTextSel());
    sheet.ResetTextSel();
    EXPECT_FALSE(texts[0]->IsTextSel());
    EXPECT_FALSE(sheet.GetHeadLine()->GetNameText()->IsTextSel());
}

// ---------------------------------------------------------------------------------------------
// Outline test

std::vector<std::pair<bool, bool>> Marks(CSheet& sheet)
{
    std::vector<std::pair<bool, bool>> out;
    for (CLine* line : Items<CLine>(sheet, KIND_LINE))
        out.emplace_back(line->CheckStartEdge(), line->CheckEndEdge());
    for (CArc* arc : Items<CArc>(sheet, KIND_ARC))
        out.emplace_back(arc->CheckStartEdge(), arc->CheckEndEdge());
    return out;
}

void Polyline(CSheet& sheet, std::vector<CDPoint> points)
{
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        sheet.NewLine(points[i], points[i + 1], 1, 0);
}

TEST_F(SheetCleanTest, ClosedRectangleIsMarkedAndOpenChainsAreTakenOut)
{
    CSheet rect(SHEET_WORK);
    Polyline(rect, {CDPoint(0, 0), CDPoint(4, 0), CDPoint(4, 3), CDPoint(0, 3), CDPoint(0, 0)});
    std::vector<CItemBase*> excluded;
    EXPECT_TRUE(rect.FrameCheck(nullptr, 0, nullptr, &excluded));
    EXPECT_TRUE(excluded.empty());
    EXPECT_EQ(Marks(rect), (std::vector<std::pair<bool, bool>>(4, {true, true})));

    // A dangling line on a corner is taken out; the rectangle stays closed.
    CLine* dangling = rect.NewLine(CDPoint(4, 3), CDPoint(6, 5), 1, 0);
    excluded.clear();
    EXPECT_TRUE(rect.FrameCheck(nullptr, 0, nullptr, &excluded));
    EXPECT_EQ(excluded, std::vector<CItemBase*>{dangling});
    EXPECT_FALSE(dangling->CheckStartEdge());
    EXPECT_FALSE(dangling->CheckEndEdge());

    // An open polyline is taken out from both ends inward, round by round.
    CSheet open(SHEET_WORK);
    Polyline(open, {CDPoint(0, 0), CDPoint(1, 0), CDPoint(2, 0), CDPoint(3, 0), CDPoint(4, 1)});
    const std::vector<CLine*> lines = Items<CLine>(open, KIND_LINE);
    excluded.clear();
    EXPECT_FALSE(open.FrameCheck(nullptr, 0, nullptr, &excluded));
    EXPECT_EQ(excluded, (std::vector<CItemBase*>{lines[0], lines[3], lines[1], lines[2]}));
    EXPECT_EQ(Marks(open), (std::vector<std::pair<bool, bool>>(4, {false, false})));

    // A full circle closes on itself; a half circle alone is neither taken out nor marked.
    CSheet circles(SHEET_WORK);
    circles.NewArc(CArc(CDPoint(0, 0), 1.0, 0.0, 0.0, 0, 1));
    circles.NewArc(CArc(CDPoint(5, 0), 1.0, 0.0, kPi, 0, 1));
    excluded.clear();
    EXPECT_TRUE(circles.FrameCheck(nullptr, 0, nullptr, &excluded));
    EXPECT_TRUE(excluded.empty());
    EXPECT_EQ(Marks(circles), (std::vector<std::pair<bool, bool>>{{true, true}, {false, false}}));
}

// The outline test as first given: depth-first marking from every end, pruning, and again until
// nothing more is taken out.
class ReferenceFrameCheck
{
public:
    explicit ReferenceFrameCheck(CSheet& sheet)
    {
        for (CLine* line : Items<CLine>(sheet, KIND_LINE))
            m_items.push_back(line);
        for (CArc* arc : Items<CArc>(sheet, KIND_ARC))
            m_items.push_back(arc);
    }

    bool Run(std::vector<CItemBase*>& excluded)
    {
        for (;;) {
            for (CItemBase* item : m_items) {
                SetFlag(item, 1, false);
                SetFlag(item, 2, false);
            }
            for (CItemBase* item : m_items) {
                if (Excluded(item, excluded))
                    continue;
                if (!Flag(item, 1))
                    Step(item, 1, End(item, 1), excluded);
                if (!Flag(item, 2))
                    Step(item, 2, End(item, 2), excluded);
            }
            bool any = false;
            for (CItemBase* item : m_items) {
                if (Excluded(item, excluded))
                    continue;
                if (Flag(item, 1) != Flag(item, 2)) {
                    SetFlag(item, 1, false);
                    SetFlag(item, 2, false);
                    excluded.push_back(item);
                    any = true;
                } else if (item->GetKind() == KIND_ARC && !Flag(item, 1)) {
                    CArc* arc = static_cast<CArc*>(item);
                    if (std::fabs(arc->GetStartAngle() - arc->GetEndAngle()) < 0.001) {
                        SetFlag(item, 1, true);
                        SetFlag(item, 2, true);
                    }
                }
            }
            if (!any)
                break;
        }
        return excluded.size() != m_items.size();
    }

private:
    static bool Excluded(CItemBase* item, const std::vector<CItemBase*>& excluded)
    {
        return std::find(excluded.begin(), excluded.end(), item) != excluded.end();
    }
    static bool Flag(CItemBase* item, int end)
    {
        if (item->GetKind() == KIND_LINE)
            return end == 1 ? static_cast<CLine*>(item)->CheckStartEdge()
                            : static_cast<CLine*>(item)->CheckEndEdge();
        return end == 1 ? static_cast<CArc*>(item)->CheckStartEdge()
                        : static_cast<CArc*>(item)->CheckEndEdge();
    }
    static void SetFlag(CItemBase* item, int end, bool on)
    {
        if (item->GetKind() == KIND_LINE)
            static_cast<CLine*>(item)->SetCheck(end, on);
        else
            static_cast<CArc*>(item)->SetCheck(end, on);
    }
    static CDPoint End(CItemBase* item, int end)
    {
        if (item->GetKind() == KIND_LINE)
            return end == 1 ? static_cast<CLine*>(item)->GetStartPoint()
                            : static_cast<CLine*>(item)->GetEndPoint();
        return end == 1 ? static_cast<CArc*>(item)->GetStartPoint() : static_cast<CArc*>(item)->GetEndPoint();
    }
    void Step(CItemBase* from, int end, CDPoint p, const std::vector<CItemBase*>& excluded)
    {
        for (CItemBase* item : m_items) {
            if (item == from || Excluded(item, excluded))
                continue;
            for (int e = 1; e <= 2; ++e) {
                const CDPoint q = End(item, e);
                if (Flag(item, e) ||
                    !(p.x >= q.x - 1e-6 && p.x < q.x + 1e-6 && p.y >= q.y - 1e-6 && p.y < q.y + 1e-6))
                    continue;
                SetFlag(item, e, true);
                SetFlag(from, end, true);
                Step(item, e, q, excluded);
            }
        }
    }

    std::vector<CItemBase*> m_items;
};

TEST_F(SheetCleanTest, OutlineTestGivesTheResultsOfTheDepthFirstMarking)
{
    std::mt19937 rng(7);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 200; ++round) {
        CSheet a(SHEET_WORK);
        CSheet b(SHEET_WORK);
        const int lines = 1 + pick(12);
        for (int i = 0; i < lines; ++i) {
            const CDPoint s(pick(4), pick(4)), e(pick(4), pick(4));
            a.NewLine(s, e, 1, 0);
            b.NewLine(s, e, 1, 0);
        }
        for (int i = pick(4); i > 0; --i) {
            // Quarter, half and full circles of radius 1 about grid points: their ends lie on the grid.
            const CDPoint c(pick(4), pick(4));
            const double start = pick(4) * kPi / 2;
            const double end = pick(3) == 0 ? start : start + (1 + pick(2)) * kPi / 2;
            a.NewArc(CArc(c, 1.0, start, end, 0, 1));
            b.NewArc(CArc(c, 1.0, start, end, 0, 1));
        }
        std::vector<CItemBase*> excludedA, excludedB;
        const bool resultA = a.FrameCheck(nullptr, 0, nullptr, &excludedA);
        const bool resultB = ReferenceFrameCheck(b).Run(excludedB);
        EXPECT_EQ(resultA, resultB) << round;
        EXPECT_EQ(Marks(a), Marks(b)) << round;
        // The same elements taken out in the same order, by their places in the lists.
        auto places = [](CSheet& sheet, const std::vector<CItemBase*>& items) {
            std::vector<CItemBase*> all;
            for (CLine* line : Items<CLine>(sheet, KIND_LINE))
                all.push_back(line);
            for (CArc* arc : Items<CArc>(sheet, KIND_ARC))
                all.push_back(arc);
            std::vector<long> out;
            for (CItemBase* item : items)
                out.push_back(std::find(all.begin(), all.end(), item) - all.begin());
            return out;
        };
        EXPECT_EQ(places(a, excludedA), places(b, excludedB)) << round;
    }
}

TEST_F(SheetCleanTest, OutlineStepFromOneEndMarksWhatItReaches)
{
    CSheet work(SHEET_WORK);
    Polyline(work, {CDPoint(0, 0), CDPoint(1, 0), CDPoint(2, 0)});
    work.NewLine(CDPoint(5, 5), CDPoint(6, 6), 1, 0);
    CLine* first = work.GetHeadLine();
    CDPoint at = first->GetEndPoint();
    std::vector<CItemBase*> excluded;
    EXPECT_TRUE(work.FrameCheck(first, 2, &at, &excluded));
    EXPECT_EQ(Marks(work),
              (std::vector<std::pair<bool, bool>>{{false, true}, {true, false}, {false, false}}));
    CDPoint nowhere(9, 9);
    EXPECT_FALSE(work.FrameCheck(first, 1, &nowhere, &excluded));
}

} // namespace
