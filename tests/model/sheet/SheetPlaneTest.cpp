// Plane layers: the copper regions that drawn items leave, the ids that vias and holes on a plane
// take from them, and the windows a surface leaves around pads.

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "tests/support/ContactFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace testing_support;

constexpr int kViaNo = 1;
constexpr int W = 2;                  // the plane's W-layer
constexpr int kPlaneBits = 0x9;       // wiring, negative
constexpr std::uint32_t kWired = 0x3; // wired on both wiring positions

class SheetPlaneTest : public ContactTest
{
protected:
    SheetPlaneTest()
    {
        tagVIA via;
        via.drill = 0.6;
        via.lands[0] = via.lands[5] = T_PAD1;
        via.lands[1] = via.lands[6] = T_PAD;
        via.lands[8] = T_THERMAL;
        via.lands[9] = T_MM;
        doc.viaTable[kViaNo] = via;
        doc.viaLand = doc.viaDisplay = doc.viaOuter = 0.5;
        plane.SetSheetType(SHEET_BOARD);
        viaPart.SetSheetType(SHEET_BOARD_VIAPART);
        doc.boardSheets[1] = &plane;
        doc.boardSheets[LAYER_MAX] = &viaPart;
        doc.currentLayer = 5; // no hole sheet
    }

    // A closed ring of four tracks.
    void Ring(CSheet& sheet, double lo, double hi)
    {
        const CDPoint c[4] = {CDPoint(lo, lo), CDPoint(hi, lo), CDPoint(hi, hi), CDPoint(lo, hi)};
        for (int i = 0; i < 4; ++i)
            sheet.NewLine(c[i], c[(i + 1) % 4], T_LINE, 0);
    }

    CVia* Via(const CDPoint& at) { return viaPart.NewVia(at, kViaNo, kWired); }

    CSheet plane{W, kPlaneBits, 1, &doc};
    CSheet viaPart{0, 0, LAYER_MAX, &doc};
};

TEST_F(SheetPlaneTest, AThermalLandAloneGivesNoIds)
{
    Ring(plane, 0, 20);
    CLand* thermal = plane.NewLand({5, 5}, T_THERMAL);
    EXPECT_EQ(plane.MakeGroup(), 1u);
    EXPECT_EQ(thermal->GetID(), 0u);
}

TEST_F(SheetPlaneTest, OneRegionGivesEveryViaAndHoleOnItTheFirstId)
{
    Ring(plane, 0, 20);
    CVia* a = Via({5, 5});
    CVia* b = Via({15, 15});
    CHole hole({10, 4}, 0.8, true, 0.0, 0.0, 0.0);
    doc.holes.push_back(&hole);
    plane.MakeGroup();
    EXPECT_EQ(a->GetLayerID(W), W + 256u);
    EXPECT_EQ(b->GetLayerID(W), W + 256u);
    EXPECT_EQ(hole.GetLayerID(W), W + 256u);
    EXPECT_NE(a->GetID(), 0u);
    EXPECT_NE(a->GetID(), b->GetID());

    // An empty plane has no region at all and does the same.
    plane.DeleteContents();
    viaPart.ResetNetID();
    hole.ResetAllWire();
    plane.MakeGroup();
    EXPECT_EQ(a->GetLayerID(W), W + 256u);
    EXPECT_EQ(hole.GetLayerID(W), W + 256u);
}

TEST_F(SheetPlaneTest, AClosedRingPartsThePlaneAndTheViasOnEitherSide)
{
    Ring(plane, 0, 20);
    Ring(plane, 6, 14);
    CVia* inside = Via({10, 10});
    CVia* inside2 = Via({8, 12});
    CVia* outside = Via({3, 3});
    CVia* outside2 = Via({17, 10});
    plane.MakeGroup();
    for (CVia* via : {inside, inside2, outside, outside2}) {
        EXPECT_NE(via->GetLayerID(W), 0u);
        EXPECT_EQ(via->GetLayerID(W) & 0xFF, static_cast<std::uint32_t>(W));
    }
    EXPECT_EQ(inside->GetLayerID(W), inside2->GetLayerID(W));
    EXPECT_EQ(outside->GetLayerID(W), outside2->GetLayerID(W));
    EXPECT_NE(inside->GetLayerID(W), outside->GetLayerID(W));

    CSheet frame(W, kPlaneBits, 1, &doc);
    plane.CalcNegaFrame2(&frame);
    EXPECT_EQ(frame.GetNegaTharmal({10, 10}), inside->GetLayerID(W));
    EXPECT_EQ(frame.GetNegaTharmal({3, 3}), outside->GetLayerID(W));
    // On the ring's track (a clearance) and outside the board: no region.
    EXPECT_EQ(frame.GetNegaTharmal({6, 10}), 0u);
    EXPECT_EQ(frame.GetNegaTharmal({10, 14}), 0u);
    EXPECT_EQ(frame.GetNegaTharmal({30, 30}), 0u);
}

TEST_F(SheetPlaneTest, ALoneClearanceCannotPartThePlane)
{
    // One track that touches nothing, and a land: neither encloses anything, so the vias on
    // either side of them share the one region.
    Ring(plane, 0, 20);
    plane.NewLine({10, 2}, {10, 18}, T_LINE, 0);
    CVia* left = Via({5, 10});
    CVia* right = Via({15, 10});
    plane.MakeGroup();
    EXPECT_EQ(left->GetLayerID(W), right->GetLayerID(W));
    EXPECT_EQ(left->GetLayerID(W), W + 256u);
}

TEST_F(SheetPlaneTest, OddItemsOnAPlaneDoNoHarm)
{
    // A land of a turret beyond the table, one of a turret without size, a surface without area.
    Ring(plane, 0, 20);
    plane.NewLand({4, 4}, 200);
    plane.NewLand({6, 6}, 13);
    CSur flat;
    flat.AddLine(std::make_unique<CLine>(CDPoint(8, 8), CDPoint(12, 8), T_FINE, 0));
    flat.AddLine(std::make_unique<CLine>(CDPoint(12, 8), CDPoint(8, 8), T_FINE, 0));
    plane.NewSur(flat);
    CVia* a = Via({3, 15});
    CVia* b = Via({15, 3});
    plane.MakeGroup();
    EXPECT_EQ(a->GetLayerID(W), b->GetLayerID(W));
    tagDRCSPEC check = rule;
    check.planeMode = 2;
    std::vector<std::uint32_t> groups{0xFFFFFFFFu, 1};
    plane.DRC_ShortCheck(&check, &groups);
    EXPECT_EQ(check.errorPoints.size() % 4, 0u);
}

TEST_F(SheetPlaneTest, MakeWindowCutsAWindowPerPadInsideTheSurface)
{
    CSheet top(1, 0x3, 0, &doc);
    top.SetSheetType(SHEET_BOARD);
    doc.boardSheets[0] = &top;
    CSur sur;
    const CDPoint c[4] = {CDPoint(0, 0), CDPoint(10, 0), CDPoint(10, 10), CDPoint(0, 10)};
    for (int i = 0; i < 4; ++i)
        sur.AddLine(std::make_unique<CLine>(c[i], c[(i + 1) % 4], T_LINE, 0));
    sur.SetTurretNo(T_LINE, true);
    top.NewLand({3, 3}, T_PAD);
    top.NewLand({20, 20}, T_PAD);
    viaPart.NewVia({7, 7}, kViaNo, kWired);
    CPart* part = viaPart.NewPart(CPart());
    part->NewLand({5, 8}, T_SQUARE)->SetLayerNo(0);
    part->NewLand({5, 8}, T_SQUARE)->SetLayerNo(1); // another layer's pad
    CSur result;
    top.MakeWindow(&sur, result);
    ASSERT_EQ(result.GetWndCount(), 3);
    // The window of the 0.5 pad: its outline grown by half the 0.25 line and 0.2.
    POSITION pos = result.GetFirstWndPos();
    CSur* window = result.GetNextWnd(pos);
    const CDRect rect = window->GetBoundingRect();
    EXPECT_NEAR(rect.Width(), 0.5 + 2 * (0.125 + 0.2), 1e-6);
    EXPECT_NEAR(rect.CenterPoint().x, 3.0, 1e-6);

    // Not on a layer that is neither wiring nor contour.
    CSheet silk(0, 0, 10, &doc);
    silk.NewLand({3, 3}, T_PAD);
    CSur none;
    silk.MakeWindow(&sur, none);
    EXPECT_EQ(none.GetWndCount(), 0);
}

} // namespace
