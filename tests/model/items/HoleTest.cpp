// Hole item: construction and shape bits, wire ids, comparison and order, transforms, bounds, the
// dialog edit, both persistent forms and the sheet's hole operations.

#include "model/items/Hole.h"

#include "model/services/ItemDialogs.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/FakeItemDialogs.h"
#include "tests/support/RecordBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

using testing_support::Bytes;

std::vector<std::uint8_t> Write(CHole& hole, int version)
{
    return testing_support::WriteRecord(hole, version);
}

void Read(CHole& hole, const std::vector<std::uint8_t>& bytes, int version)
{
    testing_support::ReadRecord(hole, bytes, version);
}

CHole RoundHole(double x, double y, double diameter)
{
    return CHole(CDPoint(x, y), diameter, true, 0, 0, 0);
}

CHole LongHole(double x, double y, double diameter, double width, double angle)
{
    return CHole(CDPoint(x, y), diameter, false, width, diameter * 0.5, angle);
}

class HoleTest : public ::testing::Test
{
protected:
    HoleTest() : frame(&doc) {}

    FakeDocument doc;
    FakeFrameServices frame;
};

// --- Construction, bits and wire ids ---

TEST_F(HoleTest, ConstructorsChooseTheShapeFromTheCornerRadius)
{
    CHole blank;
    EXPECT_EQ(blank.GetKind(), KIND_HOLE);
    EXPECT_EQ(blank.GetType(), 0);
    EXPECT_EQ(blank.GetLayerNo(), -1);

    struct Case
    {
        bool round;
        double radius;
        int type;
    } cases[] = {
        {true, 0.5, 0}, {false, 0.5, HOLE_LONG}, {false, 0.5 + 1e-7, HOLE_LONG}, {false, 0.2, HOLE_RECT}};
    for (const Case& c : cases) {
        CHole hole(CDPoint(1, 2), 1.0, c.round, 3.0, c.radius, 0.25);
        EXPECT_EQ(hole.GetType(), c.type) << c.radius;
        // The values are kept as given, also for a round hole.
        double d, w, r, a;
        hole.GetSHoleData(d, w, r, a);
        EXPECT_EQ(d, 1.0);
        EXPECT_EQ(w, 3.0);
        EXPECT_EQ(r, c.radius);
        EXPECT_EQ(a, 0.25);
        EXPECT_EQ(hole.GetPoint(), CDPoint(1, 2));
    }
}

TEST_F(HoleTest, TypeBitsAndToolNumber)
{
    CHole hole = LongHole(0, 0, 1, 3, 0);
    hole.SetType(HOLE_LONG | HOLE_TEST | HOLE_CHECK);
    hole.SetToolNo(7);
    EXPECT_EQ(hole.GetType(), 0x70016);
    EXPECT_EQ(hole.GetToolNo(), 7);
    EXPECT_EQ(hole.GetHoleType(), 0x6);
    EXPECT_EQ(hole.GetHoleShape(), HOLE_LONG);
    EXPECT_TRUE(hole.IsTestHole());
    EXPECT_TRUE(hole.IsCheckHole());
    EXPECT_FALSE(hole.IsHole());
    EXPECT_FALSE(hole.IsHoleRect());
    hole.SetToolNo(0x1FF); // only eight bits of tool
    EXPECT_EQ(hole.GetType(), 0xFF0016);
    hole.SetToolNo(0);
    EXPECT_EQ(hole.GetType(), 0x16);
}

TEST_F(HoleTest, WireIdsKeepTheThroughBit)
{
    CHole hole = RoundHole(0, 0, 0.8);
    hole.SetLayerID(0x501, 1);
    hole.SetLayerID(0x703, 32);
    EXPECT_TRUE(hole.IsThroughHole());
    EXPECT_EQ(hole.GetLayerID(1), 0x501u);
    EXPECT_EQ(hole.CheckWire(32), 0x703u);
    EXPECT_EQ(hole.GetLayerID(2), 0u);
    hole.SetLayerID(0, 1);
    EXPECT_TRUE(hole.IsThroughHole()); // layer 32 still wired
    hole.SetLayerID(0, 32);
    EXPECT_FALSE(hole.IsThroughHole());

    // Layers outside 1..32 have no slot.
    hole.SetLayerID(9, 0);
    hole.SetLayerID(9, 33);
    EXPECT_FALSE(hole.IsThroughHole());
    EXPECT_EQ(hole.GetLayerID(0), 0u);
    EXPECT_EQ(hole.GetLayerID(33), 0u);

    hole.SetLayerID(0x101, 5);
    hole.ResetAllWire();
    EXPECT_FALSE(hole.IsThroughHole());
    EXPECT_EQ(hole.GetLayerID(5), 0u);
}

// --- Comparison and order ---

TEST_F(HoleTest, EqualityIgnoresTheThroughBitToolAndWires)
{
    CHole a = LongHole(1, 1, 1, 3, 0.5);
    CHole b = a;
    b.SetLayerID(0x101, 2);
    b.SetToolNo(4);
    b.SetLayerNo(7);
    EXPECT_TRUE(a == b);
    b.SetPoint(CDPoint(1 + 5e-7, 1));
    EXPECT_TRUE(a == b);

    CHole c = a;
    c.SetType(a.GetType() | HOLE_CHECK);
    EXPECT_FALSE(a == c);
    CHole d = a;
    d.SetSHoleData(1, 3, 0.5, 0.6);
    EXPECT_FALSE(a == d);
    CHole e = a;
    e.SetSHoleData(1, 3.1, 0.5, 0.5);
    EXPECT_FALSE(a == e);
    EXPECT_FALSE(a == RoundHole(1, 1, 1));

    // Round holes compare no width, radius or angle.
    CHole r1(CDPoint(0, 0), 0.8, true, 0, 0, 0);
    CHole r2(CDPoint(0, 0), 0.8, true, 2, 0.3, 1.0);
    EXPECT_TRUE(r1 == r2);
}

TEST_F(HoleTest, OrderFollowsShapeThroughDiameterWidthRadiusAndPosition)
{
    CHole round = RoundHole(9, 9, 2.0);
    CHole slot = LongHole(0, 0, 0.5, 2, 0);
    EXPECT_TRUE(round < slot);
    EXPECT_FALSE(slot < round);

    CHole plated = RoundHole(9, 9, 3.0);
    plated.SetLayerID(1, 1);
    EXPECT_TRUE(plated < round);
    EXPECT_FALSE(round < plated);

    EXPECT_TRUE(RoundHole(9, 9, 0.8) < RoundHole(0, 0, 1.0));
    EXPECT_TRUE(LongHole(9, 9, 1, 2, 0) < LongHole(0, 0, 1, 3, 0));
    EXPECT_TRUE(CHole(CDPoint(9, 9), 1, false, 3, 0.2, 0) < CHole(CDPoint(0, 0), 1, false, 3, 0.3, 0));
    EXPECT_TRUE(RoundHole(0, 1, 1) < RoundHole(1, 1, 1));
    EXPECT_FALSE(RoundHole(1, 0, 1) < RoundHole(0, 1, 1));
    EXPECT_FALSE(RoundHole(0, 1, 1) < RoundHole(1, 0, 1));
    // Sizes within 1e-6 count as equal and fall through to the position.
    EXPECT_TRUE(RoundHole(0, 0, 1 + 5e-7) < RoundHole(1, 1, 1));
}

// --- Bounds and transforms ---

TEST_F(HoleTest, BoundsOfRoundAndTurnedHoles)
{
    CHole round = RoundHole(1, 2, 0.8);
    EXPECT_EQ(round.GetBoundingRect(), CDRect(0.6, 1.6, 1.4, 2.4));

    CHole slot = LongHole(0, 0, 1, 3, 0);
    CDRect box;
    slot.GetHoleWH(box);
    EXPECT_EQ(box, CDRect(-1.5, -0.5, 1.5, 0.5));
    EXPECT_EQ(slot.GetBoundingRect(), CDRect(-1.5, -0.5, 1.5, 0.5));
    slot.SetSHoleData(1, 3, 0.5, kPi / 2);
    const CDRect turned = slot.GetBoundingRect();
    EXPECT_NEAR(turned.Width(), 1.0, 1e-9);
    EXPECT_NEAR(turned.Height(), 3.0, 1e-9);
    EXPECT_EQ(turned, CDRect(-0.5, -1.5, 0.5, 1.5));
}

TEST_F(HoleTest, RotateTurnsSlotsAndMovesRoundHoles)
{
    CHole slot = LongHole(10, 0, 1, 3, 0);
    slot.Rotate(CDPoint(0, 0), kPi / 2);
    EXPECT_EQ(slot.GetPoint(), CDPoint(0, 10));
    EXPECT_NEAR(slot.GetAngle(), kPi / 2, 1e-12);
    EXPECT_EQ(slot.GetBoundingRect(), CDRect(-0.5, 8.5, 0.5, 11.5));

    CHole round = RoundHole(10, 0, 1);
    round.Rotate(CDPoint(0, 0), kPi / 2);
    EXPECT_EQ(round.GetPoint(), CDPoint(0, 10));
    EXPECT_EQ(round.GetAngle(), 0.0);
    EXPECT_EQ(round.GetBoundingRect(), CDRect(-0.5, 9.5, 0.5, 10.5));
}

TEST_F(HoleTest, OffsetMirrorAndScale)
{
    CHole slot = LongHole(1, 1, 1, 3, kPi / 6);
    slot.Offset(CDPoint(2, 3));
    EXPECT_EQ(slot.GetPoint(), CDPoint(3, 4));
    CHole fresh = LongHole(3, 4, 1, 3, kPi / 6);
    EXPECT_EQ(slot.GetBoundingRect(), fresh.GetBoundingRect());

    slot.MirrorX(0);
    EXPECT_EQ(slot.GetPoint(), CDPoint(-3, 4));
    EXPECT_NEAR(slot.GetAngle(), kPi - kPi / 6, 1e-12);
    EXPECT_EQ(slot.GetBoundingRect(), LongHole(-3, 4, 1, 3, 5 * kPi / 6).GetBoundingRect());

    slot.MirrorY(1);
    EXPECT_EQ(slot.GetPoint(), CDPoint(-3, -2));
    EXPECT_NEAR(slot.GetAngle(), 7 * kPi / 6, 1e-12);
    EXPECT_EQ(slot.GetBoundingRect(), LongHole(-3, -2, 1, 3, kPi / 6).GetBoundingRect());

    slot.Scale(CDPoint(1, 1), CDSize(2, 0.5));
    EXPECT_EQ(slot.GetPoint(), CDPoint(-7, -0.5));
    EXPECT_EQ(slot.GetHoleDia(), 1.0);
    EXPECT_EQ(slot.GetHoleWidth(), 3.0);
    EXPECT_EQ(slot.GetBoundingRect(), LongHole(-7, -0.5, 1, 3, kPi / 6).GetBoundingRect());
}

// --- Dialog edit ---

class HoleEditTest : public HoleTest
{
protected:
    HoleEditTest()
    {
        doc.userOriginX = 10;
        doc.userOriginY = 20;
    }
    FakeItemDialogs dialogs;
};

TEST_F(HoleEditTest, CancelLeavesTheHoleUnchanged)
{
    CHole hole = RoundHole(11, 22, 0.8);
    dialogs.answer = false;
    dialogs.onHole = [](HoleDialogData& d) {
        d.diameter = 2;
        d.shape = 1;
    };
    EXPECT_EQ(hole.InputHole(&doc, true, 0), 0);
    EXPECT_EQ(hole.GetHoleDia(), 0.8);
    EXPECT_TRUE(hole.IsHole());

    SetItemDialogs(nullptr);
    EXPECT_EQ(hole.InputHole(&doc, true, 0), 0);
}

TEST_F(HoleEditTest, AcceptedInPlaceOrMoved)
{
    CHole hole = RoundHole(11, 22, 0.8);
    hole.SetType(HOLE_CHECK);
    dialogs.onHole = [](HoleDialogData& d) { d.diameter = 1.2; };
    EXPECT_EQ(hole.InputHole(&doc, false, 0), 1);
    const HoleDialogData& shown = dialogs.lastHole;
    EXPECT_EQ(shown.diameter, 0.8);
    EXPECT_EQ(shown.shape, 0);
    EXPECT_DOUBLE_EQ(shown.x, 1);
    EXPECT_DOUBLE_EQ(shown.y, 2);
    EXPECT_FALSE(shown.edit);
    EXPECT_FALSE(shown.multiple);
    EXPECT_EQ(shown.kind, 4);
    EXPECT_EQ(hole.GetHoleDia(), 1.2);
    EXPECT_TRUE(hole.IsCheckHole());
    EXPECT_EQ(hole.GetPoint(), CDPoint(11, 22));

    // Moved in user coordinates, and turned into a test coupon.
    dialogs.onHole = [](HoleDialogData& d) {
        d.x = 5;
        d.kind = 2;
    };
    EXPECT_EQ(hole.InputHole(&doc, true, 0), 2);
    EXPECT_TRUE(dialogs.lastHole.edit);
    EXPECT_EQ(hole.GetPoint(), CDPoint(15, 22));
    EXPECT_EQ(hole.GetHoleType(), HOLE_TEST);
    EXPECT_EQ(hole.GetBoundingRect(), CDRect(14.4, 21.4, 15.6, 22.6));
}

TEST_F(HoleEditTest, ShapeChangesTakeTheDialogSizes)
{
    CHole hole = RoundHole(0, 0, 0.8);
    hole.SetLayerID(0x101, 1);
    dialogs.onHole = [](HoleDialogData& d) {
        d.shape = 2;
        d.diameter = 1;
        d.width = 3;
        d.radius = 0.2;
        d.angleDeg = 90;
    };
    EXPECT_EQ(hole.InputHole(&doc, true, 0), 1);
    EXPECT_TRUE(hole.IsHoleRect());
    EXPECT_TRUE(hole.IsThroughHole());
    double d, w, r, a;
    hole.GetSHoleData(d, w, r, a);
    EXPECT_EQ(w, 3.0);
    EXPECT_EQ(r, 0.2);
    EXPECT_NEAR(a, kPi / 2, 1e-12);

    // The slot's values are shown; back to round clears them.
    dialogs.onHole = [](HoleDialogData& data) { data.shape = 0; };
    EXPECT_EQ(hole.InputHole(&doc, true, 0), 1);
    EXPECT_EQ(dialogs.lastHole.shape, 2);
    EXPECT_EQ(dialogs.lastHole.width, 3.0);
    EXPECT_EQ(dialogs.lastHole.radius, 0.2);
    EXPECT_NEAR(dialogs.lastHole.angleDeg, 90, 1e-9);
    EXPECT_TRUE(hole.IsHole());
    hole.GetSHoleData(d, w, r, a);
    EXPECT_EQ(w, 0.0);
    EXPECT_EQ(r, 0.0);
    EXPECT_EQ(a, 0.0);
}

TEST_F(HoleEditTest, MarksOfASlotSurviveAnUnchangedDialog)
{
    CHole slot = LongHole(10, 20, 1, 3, 0);
    slot.SetType(HOLE_LONG | HOLE_TEST | HOLE_CHECK);
    EXPECT_EQ(slot.InputHole(&doc, true, 0), 1);
    EXPECT_EQ(dialogs.lastHole.kind, 6);
    EXPECT_EQ(slot.GetType(), HOLE_LONG | HOLE_TEST | HOLE_CHECK);
}

TEST_F(HoleEditTest, MultipleEditCarriesChoiceStatesAndKeepAngle)
{
    CHole blank = LongHole(0, 0, 1, 3, 0.7);
    dialogs.onHole = [](HoleDialogData& d) {
        d.kind = 1 + 4 * 2; // dummy on, test coupon unchanged
        d.angleDeg = -1.0;  // angle field left empty
        d.width = 4;
        d.radius = 0.5;
    };
    EXPECT_EQ(blank.InputHole(&doc, true, 1), 1);
    EXPECT_TRUE(dialogs.lastHole.multiple);
    EXPECT_EQ(dialogs.lastHole.shape, 1);
    EXPECT_EQ(dialogs.lastHole.width, 0.0);
    EXPECT_EQ(dialogs.lastHole.radius, 0.0);
    EXPECT_EQ(dialogs.lastHole.angleDeg, 0.0);
    EXPECT_EQ(blank.GetHoleType(), 9);
    EXPECT_EQ(blank.GetHoleShape(), HOLE_LONG);
    EXPECT_EQ(blank.GetHoleWidth(), 4.0);
    double d, w, r, a;
    blank.GetSHoleData(d, w, r, a);
    EXPECT_EQ(a, -1.0);
    EXPECT_EQ(blank.GetPoint(), CDPoint(0, 0));

    dialogs.onHole = [](HoleDialogData& data) { data.angleDeg = 45; };
    EXPECT_EQ(blank.InputHole(&doc, true, 1), 1);
    blank.GetSHoleData(d, w, r, a);
    EXPECT_NEAR(a, kPi / 4, 1e-12);
}

// --- Text line ---

TEST_F(HoleTest, TextLineIsWrittenAsTheFormatGivesItAndReadsBack)
{
    CHole slot(CDPoint(1.5, -2), 1.0, false, 3.0, 0.25, kPi / 2);
    slot.SetToolNo(2);
    slot.SetLayerNo(3);
    slot.SetID(0x80000101u);
    EXPECT_EQ(
        slot.GetTextLine(),
        "Hole 1.50000000 -2.00000000 1.00000000 3.00000000 0.25000000 1.57079633 131104 3 -2147483391\n");
    CHole back(slot.GetTextLine().c_str());
    EXPECT_TRUE(back == slot);
    EXPECT_EQ(back.GetType(), slot.GetType());
    EXPECT_EQ(back.GetLayerNo(), 3);
    EXPECT_EQ(back.GetID(), 0x80000101u);

    CHole round = RoundHole(1, 2, 0.8);
    round.SetLayerNo(0);
    EXPECT_EQ(round.GetTextLine(),
              "Hole 1.00000000 2.00000000 0.80000000 0.00000000 0.00000000 0.00000000 0 0 0\n");
    EXPECT_TRUE(CHole(round.GetTextLine().c_str()) == round);
}

TEST_F(HoleTest, TextLineReadRulesByShape)
{
    struct Case
    {
        const char* line;
        int type;
        double width, radius;
    } cases[] = {
        // Round: width and radius dropped; the dummy, test-coupon and tool bits stay, the through
        // bit (no wire ids come with a line) and other bits go.
        {"Hole 0 0 0.8 2 0.3 0 327687 1 0", 0x50006, 0, 0},
        {"Hole 0 0 0.8 2 0.3 0 8 1 0", 0, 0, 0},
        // Long: the radius is half the diameter whatever was written.
        {"Hole 0 0 1 3 0.2 0 327703 1 0", 0x50016, 3, 0.5},
        // Rectangular: the whole type word as read.
        {"Hole 0 0 1 3 0.2 0 327721 1 0", 0x50029, 3, 0.2},
    };
    for (const Case& c : cases) {
        CHole hole(c.line);
        EXPECT_EQ(hole.GetType(), c.type) << c.line;
        EXPECT_EQ(hole.GetHoleWidth(), c.width) << c.line;
        EXPECT_EQ(hole.GetHoleRadius(), c.radius) << c.line;
        EXPECT_EQ(hole.GetLayerID(1), 0u) << c.line;
    }

    // A line without a type is a round hole with the item base's layer and id.
    CHole shortLine("Hole 1 2 0.8 3 0.5");
    EXPECT_TRUE(shortLine.IsHole());
    EXPECT_EQ(shortLine.GetPoint(), CDPoint(1, 2));
    EXPECT_EQ(shortLine.GetHoleWidth(), 0.0);
    EXPECT_EQ(shortLine.GetLayerNo(), -1);
    EXPECT_EQ(shortLine.GetID(), 0u);
}

TEST_F(HoleTest, DummyHoleSurvivesATextRoundTrip)
{
    for (CHole hole : {RoundHole(1, 2, 0.8), LongHole(1, 2, 1, 3, 0.5)}) {
        hole.ModifyType(HOLE_CHECK, HOLE_CHECK);
        hole.SetToolNo(3);
        CHole back(hole.GetTextLine().c_str());
        EXPECT_TRUE(back.IsCheckHole());
        EXPECT_EQ(back.GetToolNo(), 3);
        EXPECT_TRUE(back == hole);
    }
}

// --- Binary record ---

TEST_F(HoleTest, RoundHoleRecordIsByteExactInBothVersions)
{
    CHole hole = RoundHole(1, 2, 0.8);
    hole.SetID(0x101);
    hole.SetLayerNo(3);
    const auto v5 = Bytes().U32(0x101).U32(1).F64(1).F64(2).F64(0.8).I32(3).v;
    const auto v6 = Bytes().Raw(v5).U32(0).v;
    EXPECT_EQ(Write(hole, 6), v6);
    EXPECT_EQ(Write(hole, 5), v5);

    CHole back;
    Read(back, v6, 6);
    EXPECT_TRUE(back == hole);
    EXPECT_EQ(back.GetID(), 0x101u);
    EXPECT_EQ(back.GetLayerNo(), 3);
    EXPECT_EQ(back.GetType(), 0);
    EXPECT_EQ(Write(back, 6), v6);

    // An old board file carries no ids.
    CHole old;
    Read(old, v5, 5);
    EXPECT_TRUE(old == hole);
    EXPECT_EQ(old.GetID(), 0u);
}

TEST_F(HoleTest, WireIdsFollowTheMaskFromVersionSix)
{
    CHole hole = LongHole(1, 2, 1, 3, kPi / 4);
    hole.SetToolNo(3);
    hole.SetID(0x202);
    hole.SetLayerNo(5);
    hole.SetLayerID(0x501, 1);
    hole.SetLayerID(0x703, 3);
    // Type 0x30011: through, long, tool 3.
    const auto v5 =
        Bytes().U32(0x202).U32(0x60022).F64(1).F64(2).F64(1).I32(5).F64(3).F64(0.5).F64(kPi / 4).v;
    const auto v6 = Bytes().Raw(v5).U32(0b101).U32(0x501).U32(0x703).v;
    EXPECT_EQ(Write(hole, 6), v6);
    EXPECT_EQ(Write(hole, 5), v5);

    CHole back;
    Read(back, v6, 6);
    EXPECT_TRUE(back == hole);
    EXPECT_EQ(back.GetType(), 0x30011);
    EXPECT_EQ(back.GetLayerID(1), 0x501u);
    EXPECT_EQ(back.GetLayerID(2), 0u);
    EXPECT_EQ(back.GetLayerID(3), 0x703u);
    EXPECT_EQ(Write(back, 6), v6);

    // A version-5 read clears the ids that a hole had before.
    Read(back, v5, 5);
    EXPECT_EQ(back.GetLayerID(1), 0u);
    EXPECT_EQ(back.GetID(), 0u);
}

TEST_F(HoleTest, TypeFieldIsTheDoubledTypeWithTheRoundFlag)
{
    struct Case
    {
        int type;
        std::uint32_t field;
    } cases[] = {{0, 0x1}, {0x5, 0xB}, {0x30010, 0x60020}, {0x20, 0x40}, {0x26, 0x4C}};
    for (const Case& c : cases) {
        CHole hole(CDPoint(0, 0), 1, (c.type & HOLE_SHAPE_MASK) == 0, 3, 0.5, 0);
        hole.SetType(c.type);
        const auto bytes = Write(hole, 5);
        std::uint32_t field = 0;
        std::memcpy(&field, bytes.data() + 4, 4);
        EXPECT_EQ(field, c.field) << c.type;
        CHole back;
        Read(back, bytes, 5);
        EXPECT_EQ(back.GetType(), c.type) << c.type;
    }
}

TEST_F(HoleTest, SlotReadSwapsAnOversizeDiameterAndNormalisesTheAngle)
{
    const auto bytes =
        Bytes().U32(0).U32(0x20).F64(0).F64(0).F64(3).I32(1).F64(1).F64(0.5).F64(-kPi / 2).U32(0).v;
    CHole hole;
    Read(hole, bytes, 6);
    EXPECT_EQ(hole.GetHoleDia(), 1.0);
    EXPECT_EQ(hole.GetHoleWidth(), 3.0);
    double d, w, r, a;
    hole.GetSHoleData(d, w, r, a);
    EXPECT_NEAR(a, 3 * kPi / 2, 1e-12);

    // A round hole gets width, radius and angle 0.
    CHole round = LongHole(0, 0, 1, 3, 1);
    Read(round, Bytes().U32(0).U32(1).F64(0).F64(0).F64(0.8).I32(1).U32(0).v, 6);
    round.GetSHoleData(d, w, r, a);
    EXPECT_EQ(w, 0.0);
    EXPECT_EQ(r, 0.0);
    EXPECT_EQ(a, 0.0);
    EXPECT_TRUE(round.IsHole());
}

TEST_F(HoleTest, EveryTruncatedRecordIsRefusedAndLeavesTheHole)
{
    CHole slot = LongHole(1, 2, 1, 3, 0.5);
    slot.SetLayerID(0x501, 1);
    slot.SetLayerID(0x703, 3);
    CHole round = RoundHole(1, 2, 0.8);
    round.SetLayerID(0x901, 2);
    for (CHole* source : {&slot, &round}) {
        for (int version : {5, 6}) {
            const auto bytes = Write(*source, version);
            SCOPED_TRACE(version);
            testing_support::ForEveryTruncation(bytes, [version](CArchive& ar) {
                CHole target = RoundHole(9, 9, 2);
                target.SetLayerID(0x404, 4);
                EXPECT_THROW(target.Serialize(ar, version), ArchiveError);
                EXPECT_EQ(target.GetPoint(), CDPoint(9, 9));
                EXPECT_EQ(target.GetHoleDia(), 2.0);
                EXPECT_TRUE(target.IsHole());
                EXPECT_EQ(target.GetLayerID(4), 0x404u);
            });
            CHole whole;
            EXPECT_NO_THROW(Read(whole, bytes, version));
            EXPECT_TRUE(whole == *source);
        }
    }
}

// --- Sheet operations ---

TEST_F(HoleTest, SheetBuildsStoresAndDeletesHoles)
{
    CSheet sheet(1, 0x1, 6, nullptr);
    sheet.SetSheetType(SHEET_BOARD);
    CHole* slot = sheet.NewHole(CDPoint(1, 2), 1.0, false, 3.0, 0.5, kPi / 2);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->GetLayerNo(), 6);
    EXPECT_EQ(slot->GetParent(), &sheet);
    EXPECT_EQ(slot->GetHoleShape(), HOLE_LONG);
    CHole* round = sheet.NewHole(CDPoint(4, 4), 0.8, true, 0, 0, 0);
    EXPECT_TRUE(round->IsHole());

    CHole mine = RoundHole(7, 7, 0.6);
    mine.SetLayerID(0x101, 1);
    CHole* copy = sheet.NewHole(mine);
    EXPECT_NE(copy, &mine);
    EXPECT_EQ(copy->GetLayerID(1), 0x101u);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_HOLE), 3);

    // Holes use no aperture: nothing is counted by slot.
    std::vector<unsigned> counts(TURRET_MAX + 1, 0);
    sheet.GetCount(ID_INPUT_HOLE, counts.data());
    for (unsigned n : counts)
        EXPECT_EQ(n, 0u);

    EXPECT_EQ(sheet.GetHeadHole(), slot);
    EXPECT_EQ(sheet.DeleteHole(RoundHole(4, 4, 0.9)), 0);
    EXPECT_EQ(sheet.DeleteHole(RoundHole(4, 4, 0.8)), 1);
    POSITION pos = sheet.GetFirstHolePos();
    EXPECT_EQ(sheet.GetNextHole(pos), slot);
    EXPECT_EQ(sheet.GetNextHole(pos), copy);
    EXPECT_EQ(pos, nullptr);
}

} // namespace
