// Arc item: construction, accessors, marks and arrows, copy and comparison, name and dimension
// texts, the dialog edit and both persistent forms.

#include "model/items/Arc.h"

#include "model/services/ItemDialogs.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/FakeItemDialogs.h"
#include "tests/support/RecordBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

using testing_support::Bytes;

std::vector<std::uint8_t> Write(CArc& arc, int version = 6)
{
    return testing_support::WriteRecord(arc, version);
}

void Read(CArc& arc, const std::vector<std::uint8_t>& bytes, int version)
{
    EXPECT_EQ(testing_support::ReadRecord(arc, bytes, version), 0u);
}

class ArcTest : public ::testing::Test
{
protected:
    ArcTest() : frame(&doc)
    {
        doc.turretTable[0] = tagTURRET{TURRET_ROUND, 0.0, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[4] = tagTURRET{TURRET_ROUND, 0.4, 0.0};
        frame.dims = tagDIMS{200, 15.0 * kPi / 180.0, 0, 100, 250};
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

// --- Construction and accessors ---

TEST_F(ArcTest, ConstructorsSetTheirFields)
{
    const CArc blank;
    EXPECT_EQ(blank.GetKind(), KIND_ARC);
    EXPECT_EQ(blank.GetRadius(), 0.0);
    EXPECT_EQ(blank.GetStartArrow(), 0);
    EXPECT_EQ(blank.GetDimension(), 0);
    EXPECT_TRUE(blank.GetName().empty());
    EXPECT_EQ(blank.GetNameText()->GetParent(), &blank);

    // Angles are normalised, the type is kept as given, the turret entry is copied.
    const CArc arc(CDPoint(1, 2), 5.0, -kPi / 2, 5 * kPi, 0x1100, 3);
    EXPECT_EQ(arc.GetCenter(), CDPoint(1, 2));
    EXPECT_EQ(arc.GetRadius(), 5.0);
    EXPECT_NEAR(arc.GetStartAngle(), 1.5 * kPi, 1e-12);
    EXPECT_EQ(arc.GetEndAngle(), kPi);
    EXPECT_EQ(arc.GetType(), 0x1100);
    EXPECT_EQ(arc.GetTurretNo(), 3);
    EXPECT_EQ(arc.GetLineWidth(), 0.2);
    EXPECT_TRUE(arc.IsCW());
    EXPECT_FALSE(arc.CheckSelect());
}

TEST_F(ArcTest, FullCircleNeedsAnglesCloserThanOneThousandth)
{
    EXPECT_TRUE(CArc(CDPoint(), 1.0, 0.0, 0.0009, 0, 0).IsCircle());
    EXPECT_FALSE(CArc(CDPoint(), 1.0, 0.0, 0.001, 0, 0).IsCircle());
}

TEST_F(ArcTest, SweepLengthAndAngleFollowTheDirection)
{
    CArc ccw(CDPoint(), 2.0, 0.0, kPi / 2, 0, 0);
    EXPECT_NEAR(ccw.GetSweep(), kPi / 2, 1e-12);
    EXPECT_NEAR(ccw.GetLength(), kPi, 1e-12);
    EXPECT_NEAR(ccw.GetAngle(), kPi / 2, 1e-12);

    CArc cw(CDPoint(), 2.0, 0.0, kPi / 2, ARC_CW, 0);
    EXPECT_NEAR(cw.GetSweep(), 1.5 * kPi, 1e-12);
    EXPECT_NEAR(cw.GetLength(), 3 * kPi, 1e-12);

    // A full circle's angle field holds its start angle.
    CArc circle(CDPoint(), 2.0, 1.0, 1.0, 0, 0);
    EXPECT_NEAR(circle.GetLength(), 4 * kPi, 1e-12);
    EXPECT_EQ(circle.GetAngle(), 1.0);
}

TEST_F(ArcTest, RawSettersStoreUnchanged)
{
    CArc arc(CDPoint(), 1.0, 0.0, 1.0, 0, 0);
    arc.SetStartAngle(-1.0);
    arc.SetEndAngle(10.0);
    arc.SetRadius(-2.0);
    EXPECT_EQ(arc.GetStartAngle(), -1.0);
    EXPECT_EQ(arc.GetEndAngle(), 10.0);
    EXPECT_EQ(arc.GetRadius(), -2.0);
}

TEST_F(ArcTest, ArrowToggleAndBits)
{
    const tagDIMS style = frame.GetDimensionStyle();
    CArc arc(CDPoint(), 1.0, 0.0, 1.0, 0, 0);
    arc.SetArrow(-100, 0);
    EXPECT_EQ(arc.IsArrow(), 4);
    // A dot goes away, then an arrow head of the style's length comes.
    arc.SetArrow(1, style, false);
    EXPECT_EQ(arc.GetStartArrow(), 0);
    arc.SetArrow(1, style, false);
    EXPECT_EQ(arc.GetStartArrow(), 200);
    arc.SetArrow(2, style, true);
    EXPECT_EQ(arc.GetEndArrow(), -100);
    EXPECT_EQ(arc.IsArrow(), 1 | 8);
    // Other ends change nothing.
    arc.SetArrow(3, style, false);
    arc.SetArrow(0, style, true);
    EXPECT_EQ(arc.GetStartArrow(), 200);
    EXPECT_EQ(arc.GetEndArrow(), -100);
    arc.SetArrow(0, 50);
    EXPECT_EQ(arc.IsArrow(), 2);
}

TEST_F(ArcTest, MarksAndCircle)
{
    CArc arc(CDPoint(), 10.0, 0.0, kPi / 2, 0, 0);
    arc.SetCheck(CDRect(9, -1, 11, 1)); // holds the start (10, 0) only
    EXPECT_TRUE(arc.CheckStartEdge());
    EXPECT_FALSE(arc.CheckEndEdge());
    EXPECT_TRUE(arc.CheckEdge());
    arc.SetCheck(7, true); // not an end
    EXPECT_FALSE(arc.CheckEndEdge());
    arc.SetCheck(3, true);
    EXPECT_FALSE(arc.CheckEdge());
    EXPECT_TRUE(arc.CheckSelect());

    // Only the start marked: the start takes the end angle, the end stays.
    CArc start(CDPoint(), 10.0, 0.5, 2.0, 0, 0);
    start.SetCheck(1, true);
    start.SetCircle();
    EXPECT_EQ(start.GetStartAngle(), 2.0);
    EXPECT_EQ(start.GetEndAngle(), 2.0);
    // Otherwise the end takes the start angle.
    CArc both(CDPoint(), 10.0, 0.5, 2.0, 0, 0);
    both.SetCheck(true);
    both.SetCircle();
    EXPECT_EQ(both.GetEndAngle(), 0.5);
    EXPECT_TRUE(both.IsCircle());
}

TEST_F(ArcTest, FxRatioIsThePositionWithinTheSweep)
{
    CArc arc(CDPoint(), 10.0, 0.0, kPi, 0, 0);
    arc.SetFxRatio(CDPoint(0, 10)); // half way
    EXPECT_EQ(arc.GetFxRatio(), 32768);
    CArc cw(CDPoint(), 10.0, 0.0, kPi, ARC_CW, 0);
    cw.SetFxRatio(CDPoint(0, -10)); // half way down the clockwise half
    EXPECT_EQ(cw.GetFxRatio(), 32768);
    CArc circle(CDPoint(), 10.0, 0.0, 0.0, 0, 0);
    circle.SetFxRatio(CDPoint(0, -10));
    EXPECT_EQ(circle.GetFxRatio(), 3 * 16384);
}

// --- Copy and comparison ---

TEST_F(ArcTest, CopyTakesTheNameOnlyFromANamedArc)
{
    CArc named(CDPoint(1, 1), 5.0, 0.0, 1.0, 0x400, 3);
    named.SetArrow(100, -50);
    named.SetDimensionValue(9);
    named.SetCheck(1, true);
    named.SetFxRatioValue(1234);
    named.SetName("N", 100, true);

    CArc copy;
    copy = named;
    EXPECT_TRUE(copy == named);
    EXPECT_EQ(copy.GetName(), "N");
    EXPECT_EQ(copy.GetNameText()->GetParent(), &copy);
    EXPECT_TRUE(copy.CheckStartEdge());
    EXPECT_EQ(copy.GetFxRatio(), 1234);
    EXPECT_EQ(copy.GetDimension(), 9);

    CArc plain(CDPoint(1, 1), 5.0, 0.0, 1.0, 0, 3);
    CArc target = named;
    target = plain;
    EXPECT_EQ(target.GetName(), "N"); // left as it was, and not valid
    EXPECT_TRUE(target.IsNameEmpty());
}

TEST_F(ArcTest, EqualityComparesFieldsAndNames)
{
    const CArc base(CDPoint(1, 1), 5.0, 0.0, 1.0, 0, 3);
    CArc same = base;
    same.SetCheck(true);
    same.SetLayerNo(7);
    same.SetID(42);
    EXPECT_TRUE(same == base); // marks, layer and id are not compared

    CArc near(CDPoint(1 + 5e-7, 1), 5.0, 0.0, 1.0, 0, 3);
    EXPECT_TRUE(near == base);
    CArc radius(CDPoint(1, 1), 5.0 + 1e-12, 0.0, 1.0, 0, 3);
    EXPECT_FALSE(radius == base);
    EXPECT_TRUE(radius.CheckEq(base));
    CArc turret(CDPoint(1, 1), 5.0, 0.0, 1.0, 0, 4);
    EXPECT_FALSE(turret == base);
    EXPECT_TRUE(turret.CheckEq(base));
    CArc arrow = base;
    arrow.SetArrow(0, 1);
    EXPECT_FALSE(arrow == base);
    CArc moved(CDPoint(1, 1.00001), 5.0, 0.0, 1.0, 0, 3);
    EXPECT_FALSE(moved.CheckEq(base));

    CArc a = base, b = base;
    a.SetName("A", 100, true);
    b.SetName("B", 100, true);
    EXPECT_FALSE(a == b);
    b.SetName("A", 100, true);
    EXPECT_TRUE(a == b);
}

// --- Name and dimension texts ---

TEST_F(ArcTest, AngleDimensionOfAQuarterCircle)
{
    CArc arc(CDPoint(0, 0), 10.0, 0.0, kPi / 2, 0, 4);
    arc.SetDimension(frame.GetDimensionStyle());
    EXPECT_EQ(arc.GetType() & 0x7000, 0x5000);
    EXPECT_TRUE(arc.IsAutoAng());
    EXPECT_EQ(arc.GetName(), std::string("90") + _J("°"));
    const CText* text = arc.GetNameText();
    EXPECT_EQ(text->GetSize(), 250);
    EXPECT_EQ(text->GetParent(), &arc);
    // Outside the middle of the arc by half the width, reading along it, bottom centre.
    const double r = 10.0 + 0.2;
    EXPECT_NEAR(text->GetPoint().x, r * std::cos(kPi / 4), 1e-9);
    EXPECT_NEAR(text->GetPoint().y, r * std::sin(kPi / 4), 1e-9);
    EXPECT_NEAR(const_cast<CText*>(text)->GetAngle(), 7 * kPi / 4, 1e-9);
    EXPECT_EQ(text->GetOrign(), TEXT_ORG_BOTTOM_CENTER);

    // Clockwise: the middle is counted from the end.
    CArc cw(CDPoint(0, 0), 10.0, kPi / 2, 0.0, ARC_CW, 0);
    cw.SetDimension(frame.GetDimensionStyle());
    EXPECT_EQ(cw.GetName(), std::string("90") + _J("°"));
    EXPECT_NEAR(cw.GetNameText()->GetPoint().x, 10 * std::cos(kPi / 4), 1e-9);
}

TEST_F(ArcTest, DimensionTakesTheStyleTextSizeEvenWhenZero)
{
    // Unlike a line's, the arc's dimension text always takes the style's size.
    for (const int size : {180, 0}) {
        SCOPED_TRACE(size);
        tagDIMS style = frame.GetDimensionStyle();
        style.textSize = size;
        CArc arc(CDPoint(0, 0), 10.0, 0.0, kPi / 2, 0, 4);
        arc.SetName("x", 123, true);
        arc.SetDimension(style);
        EXPECT_EQ(arc.GetNameText()->GetSize(), size);
        EXPECT_EQ(arc.GetName(), std::string("90") + _J("°"));
    }
}

TEST_F(ArcTest, FullCircleAndLengthDimensions)
{
    CArc circle(CDPoint(0, 0), 10.0, 1.0, 1.0, 0, 0);
    circle.SetDimension(frame.GetDimensionStyle());
    EXPECT_EQ(circle.GetName(), std::string("360") + _J("°"));
    // Placed opposite the start.
    EXPECT_NEAR(circle.GetNameText()->GetPoint().x, 10 * std::cos(1.0 + kPi), 1e-9);

    CArc length(CDPoint(0, 0), 2.0, 0.0, kPi, 0, 0);
    length.SetName("x", 100, true);
    length.ModifyType(ARC_AUTO_SIZE, ARC_AUTO_SIZE);
    length.ChangeDimension();
    EXPECT_EQ(length.GetName(), "6.2831853");

    // Neither bit: the string stays, the text is placed.
    CArc plain(CDPoint(0, 0), 2.0, 0.0, kPi, 0, 0);
    plain.SetName("Label", 100, false);
    EXPECT_EQ(plain.GetName(), "Label");
    EXPECT_FALSE(plain.GetNameText()->IsDisp());
    EXPECT_NEAR(plain.GetNameText()->GetPoint().y, 2.0, 1e-9);
    EXPECT_EQ(plain.GetNameText()->GetSize(), 100);
}

TEST_F(ArcTest, SetNameFromARecordSetsTheArcsBits)
{
    CArc arc(CDPoint(), 1.0, 0.0, 1.0, 0x6000, 0);
    arc.SetName("\"AB\" 1.0 2.0 100 8 0.0 0 1 0");
    EXPECT_EQ(arc.GetName(), "AB");
    EXPECT_EQ(arc.GetType() & ARC_NAMED, ARC_NAMED);
    // The bit belongs to the arc, not to the text.
    EXPECT_EQ(arc.GetNameText()->GetType() & 0x1000, 0);
    arc.SetName("");
    EXPECT_EQ(arc.GetType() & 0x7000, 0);
    EXPECT_TRUE(arc.IsNameEmpty());

    // An empty string for the name changes nothing.
    CArc other(CDPoint(), 1.0, 0.0, 1.0, 0, 0);
    other.SetName(std::string(), 100, true);
    EXPECT_TRUE(other.IsNameEmpty());
}

// --- Dialog ---

TEST_F(ArcTest, InputTextEditsACopyAndTakesItBackOnOk)
{
    FakeItemDialogs dialogs;
    CArc arc(CDPoint(), 5.0, 0.0, 1.0, 0, 3);
    arc.SetName("Old", 100, true);
    dialogs.onLine = [](LineDialogData& data) {
        CArc* work = static_cast<CArc*>(data.item);
        work->SetTurretNo(4, false);
        work->SetArrow(100, 0);
    };
    EXPECT_TRUE(arc.InputText(true));
    EXPECT_EQ(dialogs.lastLine.editKind, ID_INPUT_ARC);
    EXPECT_EQ(dialogs.lastLine.name, "Old");
    EXPECT_TRUE(dialogs.lastLine.multiple);
    EXPECT_EQ(arc.GetTurretNo(), 4);
    EXPECT_EQ(arc.GetStartArrow(), 100);

    dialogs.answer = false;
    dialogs.onLine = [](LineDialogData& data) { static_cast<CArc*>(data.item)->SetTurretNo(3, false); };
    EXPECT_FALSE(arc.InputText(false));
    EXPECT_FALSE(dialogs.lastLine.multiple);
    EXPECT_EQ(arc.GetTurretNo(), 4);
    EXPECT_EQ(arc.GetStartArrow(), 100);
}

// --- Binary record ---

TEST_F(ArcTest, BinaryRecordLayout)
{
    CArc arc(CDPoint(1.5, -2.0), 10.0, kPi / 2, kPi, 0, 3);
    arc.SetID(0x12345);
    arc.SetLayerNo(4);
    arc.SetArrow(100, -100);
    const std::vector<std::uint8_t> expected = Bytes()
                                                   .I32(0x12345)
                                                   .F64(1.5)
                                                   .F64(-2.0)
                                                   .F64(10.0)
                                                   .F64(kPi / 2)
                                                   .F64(kPi)
                                                   .I32(0)
                                                   .I32(3)
                                                   .I32(4)
                                                   .I32(static_cast<std::int32_t>(0xFF9C0064u))
                                                   .v;
    EXPECT_EQ(Write(arc), expected);

    // A line type adds the dimension value, a name adds the text's own record.
    arc.SetLineType(0x400);
    arc.SetDimensionValue(7);
    arc.SetName("N", 100, true);
    Bytes withName;
    withName.I32(0x12345).F64(1.5).F64(-2.0).F64(10.0).F64(kPi / 2).F64(kPi);
    withName.I32(0x1400).I32(3).I32(4).I32(static_cast<std::int32_t>(0xFF9C0064u)).I32(7);
    withName.Raw(testing_support::WriteRecord(*arc.GetNameText(), 6));
    EXPECT_EQ(Write(arc), withName.v);
}

TEST_F(ArcTest, BinaryRoundTripKeepsEverythingButTheMarks)
{
    CArc arc(CDPoint(3, 4), 2.5, 0.25, 4.0, ARC_CW | 0x600 | ARC_NAMED | ARC_AUTO_ANGLE, 4);
    arc.SetID(77);
    arc.SetLayerNo(12);
    arc.SetArrow(-32768, 32767);
    arc.SetDimensionValue(-5);
    arc.SetDimension(frame.GetDimensionStyle());
    arc.SetCheck(true);

    CArc back(CDPoint(9, 9), 1.0, 1.0, 2.0, 0, 3);
    back.SetCheck(true);
    Read(back, Write(arc), 6);
    EXPECT_TRUE(back == arc);
    EXPECT_EQ(back.GetID(), 77u);
    EXPECT_EQ(back.GetLayerNo(), 12);
    EXPECT_EQ(back.GetLineWidth(), 0.4);
    EXPECT_EQ(back.GetName(), arc.GetName());
    EXPECT_EQ(back.GetNameText()->GetParent(), &back);
    EXPECT_FALSE(back.CheckSelect());
}

TEST_F(ArcTest, ArrowCodesBeyondSixteenBitsDoNotSurviveTheRecord)
{
    CArc arc(CDPoint(), 1.0, 0.0, 1.0, 0, 0);
    arc.SetArrow(40000, -40000);
    CArc back;
    Read(back, Write(arc), 6);
    EXPECT_EQ(back.GetStartArrow(), 40000 - 65536);
    EXPECT_EQ(back.GetEndArrow(), -40000 + 65536);
    // The text line keeps them whole.
    CArc line(arc.GetTextLines().c_str());
    EXPECT_EQ(line.GetStartArrow(), 40000);
    EXPECT_EQ(line.GetEndArrow(), -40000);
}

TEST_F(ArcTest, OlderRecordsAndReadRules)
{
    // Version 2: no id, turrets counted one lower. Angles are normalised; the dimension value is 0
    // when not stored.
    const std::vector<std::uint8_t> record =
        Bytes().I32(55).F64(0).F64(0).F64(1.0).F64(-kPi / 2).F64(7 * kPi).I32(0).I32(2).I32(1).I32(0).v;
    CArc old;
    Read(old, record, 2);
    EXPECT_EQ(old.GetID(), 0u);
    EXPECT_EQ(old.GetTurretNo(), 3);
    EXPECT_EQ(old.GetLineWidth(), 0.2);
    EXPECT_NEAR(old.GetStartAngle(), 1.5 * kPi, 1e-12);
    EXPECT_EQ(old.GetEndAngle(), kPi);
    EXPECT_EQ(old.GetDimension(), 0);

    CArc current;
    Read(current, record, 3);
    EXPECT_EQ(current.GetID(), 55u);
    EXPECT_EQ(current.GetTurretNo(), 2);
}

TEST_F(ArcTest, EveryTruncatedRecordIsRefusedAndLeavesTheArc)
{
    CArc arc(CDPoint(1, 2), 3.0, 0.5, 1.5, 0x200, 3);
    arc.SetName("T", 200, true);
    arc.SetDimensionValue(3);
    const auto bytes = Write(arc);
    testing_support::ForEveryTruncation(bytes, [](CArchive& ar) {
        CArc target(CDPoint(9, 9), 8.0, 1.0, 2.0, 0, 4);
        EXPECT_THROW(target.Serialize(ar, 6), ArchiveError);
        EXPECT_EQ(target.GetCenter(), CDPoint(9, 9));
        EXPECT_EQ(target.GetRadius(), 8.0);
        EXPECT_EQ(target.GetTurretNo(), 4);
        EXPECT_TRUE(target.IsNameEmpty());
    });
    CArc whole;
    EXPECT_NO_THROW(Read(whole, bytes, 6));
    EXPECT_TRUE(whole == arc);
}

// --- Text line ---

TEST_F(ArcTest, TextLineFormat)
{
    CArc arc(CDPoint(1.5, -2.0), 10.0, kPi / 2, kPi, 0x200, 3);
    arc.SetArrow(100, -100);
    arc.SetDimensionValue(7);
    arc.SetLayerNo(4);
    arc.SetID(0x12345);
    EXPECT_EQ(arc.GetTextLines(),
              "Arc 1.50000000 -2.00000000 10.00000000 90.00000000 180.00000000 3 512 100 -100 7 4 74565\n");

    arc.SetName("N", 100, true);
    const std::string lines = arc.GetTextLines();
    const std::string first =
        "Arc 1.50000000 -2.00000000 10.00000000 90.00000000 180.00000000 3 4608 100 -100 7 4 74565\n";
    EXPECT_EQ(lines, first + "Name " + arc.GetNameText()->GetTextLines(0));
}

TEST_F(ArcTest, TextLineRoundTripWithName)
{
    CArc arc(CDPoint(-3.25, 4.5), 2.0, kPi / 4, 1.5 * kPi, ARC_CW | 0x800, 4);
    arc.SetArrow(150, -80);
    arc.SetDimensionValue(12);
    arc.SetLayerNo(9);
    arc.SetID(31);
    arc.SetDimension(frame.GetDimensionStyle());
    const std::string lines = arc.GetTextLines();
    const std::size_t cut = lines.find('\n');
    ASSERT_NE(cut, std::string::npos);
    const std::string arcLine = lines.substr(0, cut);
    std::string nameLine = lines.substr(cut + 1);
    ASSERT_EQ(nameLine.rfind("Name ", 0), 0u);
    nameLine = nameLine.substr(5);
    nameLine = nameLine.substr(0, nameLine.find('\n'));

    CArc back(arcLine.c_str());
    back.SetName(nameLine.c_str());
    EXPECT_TRUE(back.CheckEq(arc));
    EXPECT_EQ(back.GetType(), arc.GetType());
    EXPECT_EQ(back.GetTurretNo(), 4);
    EXPECT_EQ(back.GetStartArrow(), 150);
    EXPECT_EQ(back.GetEndArrow(), -80);
    EXPECT_EQ(back.GetDimension(), 12);
    EXPECT_EQ(back.GetLayerNo(), 9);
    EXPECT_EQ(back.GetID(), 31u);
    EXPECT_EQ(back.GetName(), arc.GetName());
    EXPECT_EQ(back.GetNameText()->GetPoint(), arc.GetNameText()->GetPoint());
}

TEST_F(ArcTest, TextLineReadRules)
{
    // No line type: the dimension value is dropped; angles normalised; a named type without a
    // following name line leaves the name text empty.
    CArc arc("Arc 1 2 3 -90 450 3 4096 0 0 9 5 6");
    EXPECT_EQ(arc.GetDimension(), 0);
    EXPECT_NEAR(arc.GetStartAngle(), 1.5 * kPi, 1e-12);
    EXPECT_NEAR(arc.GetEndAngle(), kPi / 2, 1e-12);
    EXPECT_EQ(arc.GetLineWidth(), 0.2);
    EXPECT_TRUE(arc.GetName().empty());
    EXPECT_FALSE(arc.CheckSelect());

    // A short line: what it lacks stays at the defaults.
    CArc shortLine("Arc 1 2 3");
    EXPECT_EQ(shortLine.GetRadius(), 3.0);
    EXPECT_EQ(shortLine.GetStartAngle(), 0.0);
    EXPECT_EQ(shortLine.GetType(), 0);
    EXPECT_EQ(shortLine.GetLayerNo(), -1);
    EXPECT_EQ(shortLine.GetID(), 0u);
    EXPECT_EQ(shortLine.GetTurretNo(), 0);
}

} // namespace
