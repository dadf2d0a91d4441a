// Surface hit tests and snapping, contact and clearance, outlines, fill cutting and conversion.

#include "model/items/Sur.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "tests/support/ErrorPoints.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

using testing_support::ErrorPointsOf;

constexpr double kPi = std::numbers::pi;
constexpr double kFx = 1e-4;

constexpr int kTrack = 1;    // round, 0.25 wide
constexpr int kRoundPad = 2; // round, 1.0

class SurContactTest : public ::testing::Test
{
protected:
    SurContactTest() : frame(&doc)
    {
        doc.SetWireLayers({0, 1});
        doc.turretTable[0] = tagTURRET{TURRET_ROUND, 0.0, 0.0};
        doc.turretTable[kTrack] = tagTURRET{TURRET_ROUND, 0.25, 0.0};
        doc.turretTable[kRoundPad] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
        drc.netClearance = 0.25;
        drc.plainClearance = 0.25;
        drc.holeMargin = 0.25;
    }

    FakeDocument doc;
    FakeFrameServices frame;
    tagDRCSPEC drc;
};

void AddSquare(CSur& sur, double x0, double y0, double x1, double y1, int turret)
{
    const CDPoint pts[4] = {CDPoint(x0, y0), CDPoint(x1, y0), CDPoint(x1, y1), CDPoint(x0, y1)};
    for (int i = 0; i < 4; ++i)
        sur.AddLine(std::make_unique<CLine>(pts[i], pts[(i + 1) % 4], turret, 0));
}

// The 10 x 10 square at the origin, 0.25 wide, with a 2 x 2 window in its middle, filled: the
// fill rows lie 0.225 apart from y = 0.1 and overlap, so they cover the inside.
CSur Plate()
{
    CSur sur;
    AddSquare(sur, 0, 0, 10, 10, kTrack);
    CSur window;
    AddSquare(window, 4, 4, 6, 6, kTrack);
    sur.NewWindow(window);
    sur.SetTurretNo(kTrack, true);
    sur.SetLayerNo(0);
    return sur;
}

CSur* FirstWindow(CSur& sur)
{
    POSITION pos = sur.GetFirstWndPos();
    return sur.GetNextWnd(pos);
}

void ExpectPoints(const tagDRCSPEC& rule, const std::vector<CDPoint>& want)
{
    const std::vector<CDPoint> got = ErrorPointsOf(rule);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, kFx) << "point " << i;
        EXPECT_NEAR(got[i].y, want[i].y, kFx) << "point " << i;
    }
}

// --- Hit tests and snapping ---

TEST_F(SurContactTest, PointOnOutlineWindowOrFill)
{
    struct Case
    {
        const char* name;
        CDPoint p;
        bool hit;     // frame only false
        bool onFrame; // frame only true
    };
    const Case cases[] = {
        {"inside, under a fill row", CDPoint(2, 2.1), true, false},
        {"on the outline", CDPoint(10, 5), true, true},
        {"on the outer edge of the outline's stroke", CDPoint(5, -0.125), true, true},
        {"on a window's outline", CDPoint(4, 5), true, true},
        {"inside the window", CDPoint(5, 5), false, false},
        {"outside", CDPoint(10.2, 5), false, false},
    };
    CSur sur = Plate();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sur.CheckPoint(c.p, false), c.hit);
        EXPECT_EQ(sur.CheckPoint(c.p, true), c.onFrame);
    }
    // Without fill the inside is not hit.
    CSur hollow = Plate();
    hollow.DeleteSurLine();
    EXPECT_FALSE(hollow.CheckPoint(CDPoint(2, 2.1), false));
}

TEST_F(SurContactTest, RectangleMeetsTheFillMadeForTheTest)
{
    CSur sur = Plate();
    sur.ModifyType(SUR_NOFILL, SUR_NOFILL);
    sur.DeleteSurLine();
    EXPECT_EQ(sur.CheckPoint(CDRect(2, 2, 3, 3)), 1);
    EXPECT_EQ(sur.GetSurLineCount(), 0) << "a surface without fill is left without fill lines";
    EXPECT_EQ(sur.CheckPoint(CDRect(4.5, 4.5, 5.5, 5.5)), 0) << "inside the window";
    EXPECT_EQ(sur.CheckPoint(CDRect(11, 11, 12, 12)), 0) << "outside";

    CSur filled = Plate();
    EXPECT_EQ(filled.CheckPoint(CDRect(2, 2, 3, 3)), 1);
    EXPECT_GT(filled.GetSurLineCount(), 0);
}

TEST_F(SurContactTest, FrameItemUnderAPoint)
{
    CSur sur = Plate();
    CItemBase* right = sur.GetFrameItem(CDPoint(10, 5));
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(static_cast<CLine*>(right)->GetStartPoint(), CDPoint(10, 0));
    CItemBase* windowLeft = sur.GetFrameItem(CDPoint(4, 5));
    ASSERT_NE(windowLeft, nullptr);
    EXPECT_EQ(windowLeft->GetParent(), FirstWindow(sur));
    EXPECT_EQ(sur.GetFrameItem(CDPoint(2, 2.1)), nullptr);
}

TEST_F(SurContactTest, SnapsToTheNearestOutlineEnd)
{
    // A D shape whose bottom line stops 0.1 short of the arc's start at (10, 0).
    CSur sur;
    sur.AddLine(std::make_unique<CLine>(CDPoint(0, 0), CDPoint(9.9, 0), kTrack, 0));
    sur.AddArc(std::make_unique<CArc>(CDPoint(10, 5), 5.0, -kPi / 2, kPi / 2, 0, kTrack));
    sur.AddLine(std::make_unique<CLine>(CDPoint(10, 10), CDPoint(0, 10), kTrack, 0));
    sur.AddLine(std::make_unique<CLine>(CDPoint(0, 10), CDPoint(0, 0), kTrack, 0));
    struct Case
    {
        CDPoint query;
        int result;
        CDPoint snapped;
    };
    const Case cases[] = {
        {CDPoint(9.97, 0), 1, CDPoint(10, 0)},
        {CDPoint(9.93, 0), 1, CDPoint(9.9, 0)},
        {CDPoint(5, 5), 0, CDPoint(5, 5)},
        {CDPoint(20, 20), 0, CDPoint(20, 20)},
    };
    for (const Case& c : cases) {
        CDPoint p = c.query;
        EXPECT_EQ(sur.CheckItemPoint(p, 0.2), c.result);
        EXPECT_NEAR(p.x, c.snapped.x, 1e-9);
        EXPECT_NEAR(p.y, c.snapped.y, 1e-9);
    }
}

// --- Contact and clearance ---

TEST_F(SurContactTest, SurfaceAgainstLine)
{
    struct Case
    {
        const char* name;
        CDPoint from, to;
        int layer;
        int contact;
        int violation;
        std::vector<CDPoint> points;
    };
    // A 0.25 line below the bottom edge (y = 0) touches up to 0.25 off it; the clearance of 0.25
    // is kept from 0.5 on. The window's edges count like the outline's.
    const Case cases[] = {
        {"overlapping the outline", CDPoint(2, -0.2), CDPoint(8, -0.2), 0, 1, 0, {}},
        {"touching edge to edge", CDPoint(2, -0.25), CDPoint(8, -0.25), 0, 1, 0, {}},
        {"just inside the clearance",
         CDPoint(2, -0.49),
         CDPoint(8, -0.49),
         0,
         0,
         1,
         {CDPoint(2, -0.49), CDPoint(2, 0)}},
        {"exactly at the clearance", CDPoint(2, -0.5), CDPoint(8, -0.5), 0, 0, 0, {}},
        {"just outside the clearance", CDPoint(2, -0.51), CDPoint(8, -0.51), 0, 0, 0, {}},
        {"across the fill", CDPoint(2, 2), CDPoint(3, 3), 0, 1, 0, {}},
        {"in the window, too near its edge",
         CDPoint(4.4, 4.8),
         CDPoint(4.4, 5.2),
         0,
         0,
         1,
         {CDPoint(4.4, 4.8), CDPoint(4, 4.8)}},
        // The layer sheet pairs only items of one layer; the surface's own tests are geometric.
        {"overlapping, on another wiring layer", CDPoint(2, -0.2), CDPoint(8, -0.2), 1, 1, 0, {}},
        {"just inside, on another wiring layer",
         CDPoint(2, -0.49),
         CDPoint(8, -0.49),
         1,
         0,
         1,
         {CDPoint(2, -0.49), CDPoint(2, 0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSur sur = Plate();
        CLine line(c.from, c.to, kTrack, 0);
        line.SetLayerNo(c.layer);
        EXPECT_EQ(sur.CheckShort(&line), c.contact);
        EXPECT_EQ(line.CheckShort(&sur), c.contact);

        tagDRCSPEC rule = drc;
        EXPECT_EQ(sur.DRC_ShortCheck(&rule, &line), c.violation);
        ExpectPoints(rule, c.points);
        // The line hands the pairing to the surface.
        tagDRCSPEC fromLine = drc;
        EXPECT_EQ(line.DRC_ShortCheck(&fromLine, &sur), c.violation);
    }
}

TEST_F(SurContactTest, SurfaceAgainstLand)
{
    struct Case
    {
        const char* name;
        CDPoint at;
        std::uint32_t id;
        int layer;
        int contact;
        int violation;
    };
    // A round pad of 1.0 below the bottom edge touches up to 0.625 off it; the clearance of 0.25
    // is kept from 0.875 on (the plain clearance without a net id, the netted one with).
    const Case cases[] = {
        {"overlapping the outline", CDPoint(5, -0.6), 0, 0, 1, 0},
        {"touching edge to edge", CDPoint(5, -0.625), 0, 0, 1, 0},
        {"just inside the clearance", CDPoint(5, -0.87), 0, 0, 0, 1},
        {"just inside, netted", CDPoint(5, -0.87), 7, 0, 0, 1},
        {"exactly at the clearance", CDPoint(5, -0.875), 0, 0, 0, 0},
        {"just outside the clearance", CDPoint(5, -0.88), 0, 0, 0, 0},
        {"on the fill", CDPoint(2, 2), 0, 0, 1, 0},
        {"overlapping, on another wiring layer", CDPoint(5, -0.6), 0, 1, 1, 0},
        {"just inside, on another wiring layer", CDPoint(5, -0.87), 0, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSur sur = Plate();
        CLand land(c.at, kRoundPad);
        land.SetID(c.id);
        land.SetLayerNo(c.layer);
        EXPECT_EQ(sur.CheckShort(&land), c.contact);
        EXPECT_EQ(land.CheckShort(static_cast<CItemBase*>(&sur)), c.contact);

        tagDRCSPEC rule = drc;
        EXPECT_EQ(sur.DRC_ShortCheck(&rule, &land), c.violation);
        if (c.violation)
            ExpectPoints(rule, {c.at, CDPoint(c.at.x, 0)});
        else
            EXPECT_TRUE(rule.errorPoints.empty());
        tagDRCSPEC fromLand = drc;
        EXPECT_EQ(land.DRC_ShortCheck(&fromLand, &sur), c.violation);
    }
}

TEST_F(SurContactTest, ClearanceOfALandFollowsItsNetId)
{
    // 0.8 off the edge: too near for a plain clearance of 0.3, clear of a netted one of 0.1.
    CSur sur = Plate();
    tagDRCSPEC rule;
    rule.plainClearance = 0.3;
    rule.netClearance = 0.1;
    CLand plain(CDPoint(5, -0.8), kRoundPad);
    EXPECT_EQ(sur.DRC_ShortCheck(&rule, &plain), 1);
    CLand netted(CDPoint(5, -0.8), kRoundPad);
    netted.SetID(7);
    EXPECT_EQ(sur.DRC_ShortCheck(&rule, &netted), 0);
}

TEST_F(SurContactTest, KindsOutsideTheSurfacesTests)
{
    CSur sur = Plate();
    CVia via(CDPoint(2, 2), 1, &doc, 1);
    tagDRCSPEC rule = drc;
    EXPECT_EQ(sur.CheckShort(&via), 0);
    EXPECT_EQ(sur.DRC_ShortCheck(&rule, &via), 0);
    EXPECT_EQ(sur.CheckShort(nullptr), 0);
    EXPECT_EQ(sur.CheckShort(&sur), 0);
    EXPECT_EQ(sur.DRC_ShortCheck(nullptr, &via), 0);
}

// --- Outline ---

TEST_F(SurContactTest, OutlineGrownByADistance)
{
    // Every outline line of the plate and of its window: two sides and two half circles.
    CSur sur = Plate();
    CSheet sheet;
    sur.GetFrameData(&sheet, 0.1);
    EXPECT_EQ(sheet.GetKindCount(KIND_LINE), 8 * 2);
    EXPECT_EQ(sheet.GetKindCount(KIND_ARC), 8 * 2);
    for (POSITION pos = sheet.GetFirstArcPos(); pos;)
        EXPECT_NEAR(sheet.GetNextArc(pos)->GetRadius(), 0.225, 1e-12);

    // A round surface is one circle: only its outer circle is the outline.
    CSur disc;
    disc.AddArc(std::make_unique<CArc>(CDPoint(1, 2), 5.0, 0.0, 0.0, 0, kTrack));
    ASSERT_EQ(disc.IsCircle(), 1);
    CSheet round;
    disc.GetFrameData(&round, 0.1);
    ASSERT_EQ(round.GetKindCount(KIND_ARC), 1);
    EXPECT_EQ(round.GetKindCount(KIND_LINE), 0);
    EXPECT_NEAR(round.GetHeadArc()->GetRadius(), 5.225, 1e-12);
    EXPECT_EQ(round.GetHeadArc()->GetCenter(), CDPoint(1, 2));
}

// --- Fill cutting ---

// A negative square of 0..10 with a loop 4..6 in its outline: rows through the loop have the
// strips 0-4, 4-6 and 6-10, the others one strip 0-10.
CSur NegativePlate()
{
    CSur sur;
    sur.ModifyType(SUR_NEGA, SUR_NEGA);
    AddSquare(sur, 0, 0, 10, 10, kTrack);
    AddSquare(sur, 4, 4, 6, 6, kTrack);
    sur.SetTurretNo(kTrack, true);
    return sur;
}

struct Strip
{
    double x1, x2, y;
};

std::vector<Strip> StripsOf(CSur& sur)
{
    std::vector<Strip> out;
    for (POSITION pos = sur.GetFirstSurLinePos(); pos;) {
        const CLine* l = sur.GetNextSurLine(pos);
        out.push_back({l->GetStartPoint().x, l->GetEndPoint().x, l->GetStartPoint().y});
    }
    return out;
}

TEST_F(SurContactTest, CutWithoutAnItemLeavesTheInnerStrips)
{
    CSur sur = NegativePlate();
    const std::vector<Strip> before = StripsOf(sur);
    int inner = 0;
    for (const Strip& s : before)
        inner += s.x1 == 4 && s.x2 == 6;
    ASSERT_GT(inner, 0);
    ASSERT_GT(before.size(), static_cast<std::size_t>(inner));

    sur.CutSurLine(nullptr);
    const std::vector<Strip> after = StripsOf(sur);
    EXPECT_EQ(after.size(), static_cast<std::size_t>(inner));
    for (const Strip& s : after) {
        EXPECT_EQ(s.x1, 4);
        EXPECT_EQ(s.x2, 6);
    }
}

TEST_F(SurContactTest, CutByAnItemRemovesTheStripsWhoseMiddleItCovers)
{
    struct Case
    {
        const char* name;
        std::unique_ptr<CItemBase> item;
        double reach; // the item covers the strip middles (5, y) with |y - 5.05| below this
    };
    std::vector<Case> cases;
    cases.push_back({"land", std::make_unique<CLand>(CDPoint(5, 5.05), kRoundPad), 0.5});
    cases.push_back({"hole", std::make_unique<CHole>(CDPoint(5, 5.05), 1.0, true, 0.0, 0.0, 0.0), 0.5});
    cases.push_back(
        {"line", std::make_unique<CLine>(CDPoint(4.8, 5.05), CDPoint(5.2, 5.05), kRoundPad, 0), 0.5});
    cases.push_back({"via (not cut)", std::make_unique<CVia>(CDPoint(5, 5.05), 1, &doc, 1), 0.0});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSur sur = NegativePlate();
        sur.CutSurLine(nullptr);
        const std::vector<Strip> before = StripsOf(sur);
        sur.CutSurLine(c.item.get());
        const std::vector<Strip> after = StripsOf(sur);
        std::size_t covered = 0;
        for (const Strip& s : before)
            covered += std::fabs(s.y - 5.05) < c.reach;
        if (c.reach > 0.0) {
            ASSERT_GT(covered, 0u);
        }
        EXPECT_EQ(after.size(), before.size() - covered);
        for (const Strip& s : after)
            EXPECT_GE(std::fabs(s.y - 5.05), c.reach);
    }
}

TEST_F(SurContactTest, CutByAnArcTakesOnlyTheStripsUnderItsStroke)
{
    CSur sur = NegativePlate();
    sur.CutSurLine(nullptr);
    const std::size_t before = StripsOf(sur).size();
    // A ring of radius 0.6 about (5, 5.05): the middles (5, y) lie on its 0.25 stroke where
    // |y - 5.05| is within 0.475 .. 0.725.
    CArc ring(CDPoint(5, 5.05), 0.6, 0.0, 0.0, 0, kTrack);
    sur.CutSurLine(&ring);
    std::size_t kept = 0;
    for (const Strip& s : StripsOf(sur)) {
        const double dy = std::fabs(s.y - 5.05);
        EXPECT_FALSE(dy >= 0.475 && dy <= 0.725) << s.y;
        ++kept;
    }
    EXPECT_LT(kept, before);
    EXPECT_GT(kept, 0u);
}

// --- Conversion ---

TEST_F(SurContactTest, BreakIntoOutlineItems)
{
    CSur sur = Plate();
    CSheet sheet;
    sur.BreakItem(sheet);
    EXPECT_EQ(sheet.GetKindCount(KIND_LINE), 8);
    EXPECT_EQ(sheet.GetKindCount(KIND_ARC), 0);
    EXPECT_EQ(sur.GetType() & SUR_FILLED, 0);
    EXPECT_EQ(sur.GetLineCount(), 4) << "the surface itself stays";
}

TEST_F(SurContactTest, ConvertIntoLinesLeavesTheWindowOpen)
{
    CSur sur = Plate();
    CSheet sheet;
    EXPECT_EQ(sur.ConvertLine(sheet), 1);
    int fill = 0;
    for (POSITION pos = sheet.GetFirstLinePos(); pos;) {
        const CLine* l = sheet.GetNextLine(pos);
        const CDPoint a = l->GetStartPoint(), b = l->GetEndPoint();
        if (a.y == b.y && a.x != b.x && a.y > 0.0 && a.y < 10.0 && !(a.y == 4.0 || a.y == 6.0)) {
            ++fill;
            // No fill line runs through the window's inside.
            if (a.y > 4.0 && a.y < 6.0) {
                EXPECT_TRUE(std::max(a.x, b.x) <= 4.0 || std::min(a.x, b.x) >= 6.0) << a.y;
            }
        }
    }
    EXPECT_EQ(fill, sur.GetSurLineCount());
    EXPECT_EQ(sheet.GetKindCount(KIND_LINE), 8 + sur.GetSurLineCount());
    EXPECT_EQ(sur.GetType() & SUR_FILLED, 0);

    // Outline arcs become segments.
    CSur disc;
    disc.AddArc(std::make_unique<CArc>(CDPoint(0, 0), 5.0, 0.0, 0.0, 0, kTrack));
    disc.SetTurretNo(kTrack, true);
    CSheet discSheet;
    disc.ConvertLine(discSheet);
    EXPECT_EQ(discSheet.GetKindCount(KIND_ARC), 0);
    EXPECT_GT(discSheet.GetKindCount(KIND_LINE), disc.GetSurLineCount() + 8);
}

} // namespace
