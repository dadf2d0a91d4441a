// Line item: construction, copy and comparison, arrows, names and dimension texts, the number
// text routine, the angle lock, the dialog edit and both persistent forms.

#include "model/items/Line.h"

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
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

using testing_support::Bytes;

std::vector<std::uint8_t> Write(CLine& line)
{
    return testing_support::WriteRecord(line, 6);
}

void Read(CLine& line, const std::vector<std::uint8_t>& bytes, int version)
{
    testing_support::ReadRecord(line, bytes, version);
}

class LineTest : public ::testing::Test
{
protected:
    LineTest() : frame(&doc)
    {
        doc.turretTable[0] = tagTURRET{TURRET_ROUND, 0.0, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[4] = tagTURRET{TURRET_ROUND, 0.4, 0.0};
        doc.turretTable[5] = tagTURRET{TURRET_SQUARE, 0.5, 0.0};
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

// --- Construction, copy and comparison ---

TEST_F(LineTest, ConstructorsSetTheirFields)
{
    CLine empty;
    EXPECT_EQ(empty.GetKind(), KIND_LINE);
    EXPECT_EQ(empty.GetLayerNo(), -1);
    EXPECT_EQ(empty.GetTurretNo(), 0);
    EXPECT_EQ(empty.IsArrow(), 0);
    EXPECT_TRUE(empty.IsNameEmpty());

    // The two-point constructor drops the name, auto and swapped bits.
    CLine line(CDPoint(1, 2), CDPoint(3, 4), 3, 0x7F000 | 0x200 | 0x80);
    EXPECT_EQ(line.GetType(), 0x280);
    EXPECT_EQ(line.GetTurretNo(), 3);
    EXPECT_DOUBLE_EQ(line.GetLineWidth(), 0.2);
    EXPECT_EQ(line.GetLineType(), LINE_DOTTED);
}

TEST_F(LineTest, EqualityComparesEndsTypeTurretArrowsAndDimension)
{
    CLine a(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    CLine b(a);
    b.SetLayerNo(7);
    b.SetID(99);
    b.SetCheck(true);
    b.SetFxRatioValue(0x8000);
    EXPECT_TRUE(a == b); // layer, id, marks and picked position do not count

    CLine swapped(CDPoint(10, 0), CDPoint(0, 0), 3, 0);
    EXPECT_FALSE(a == swapped);

    CLine nearly(CDPoint(0, 5e-7), CDPoint(10, 0), 3, 0);
    EXPECT_TRUE(a == nearly);

    CLine other(a);
    other.SetArrow(0, 200);
    EXPECT_FALSE(a == other);
    other = a;
    other.SetTurretNo(4);
    EXPECT_FALSE(a == other);
}

TEST_F(LineTest, AssignmentCopiesTheNameOnlyFromANamedLine)
{
    CLine named(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    named.SetName("first", 200, true);
    CLine target(named);
    EXPECT_EQ(target.GetName(), "first");
    EXPECT_EQ(target.GetNameText()->GetParent(), &target);

    CLine plain(CDPoint(1, 1), CDPoint(2, 2), 3, 0);
    target = plain;
    EXPECT_TRUE(target.IsNameEmpty());
    EXPECT_EQ(target.GetName(), "first"); // left as it was, ignored
    EXPECT_EQ(target.GetStartPoint(), CDPoint(1, 1));
}

TEST_F(LineTest, SortKeyIsAnglePlusMidpointXMinusY)
{
    CLine low(CDPoint(0, 0), CDPoint(2, 0), 0, 0);    // 0 + 1 - 0
    CLine high(CDPoint(0, 0), CDPoint(0, 2), 0, 0);   // pi/2 + 0 - 1
    CLine higher(CDPoint(2, 0), CDPoint(4, 0), 0, 0); // 0 + 3 - 0
    EXPECT_TRUE(high < low);
    EXPECT_TRUE(low < higher);
    EXPECT_FALSE(low < low);
}

TEST_F(LineTest, SmallOperations)
{
    CLine line(CDPoint(0, 5), CDPoint(3, 0), 0, 0);
    line.SetCheck(1, true);
    line.SetArrow(100, -50);
    line.NormalizeX(); // y1 > y2 swaps although x1 < x2
    EXPECT_EQ(line.GetStartPoint(), CDPoint(3, 0));
    EXPECT_EQ(line.GetEndPoint(), CDPoint(0, 5));
    EXPECT_TRUE(line.CheckEndEdge());
    EXPECT_FALSE(line.CheckStartEdge());
    EXPECT_EQ(line.GetStartArrow(), -50);
    EXPECT_EQ(line.GetEndArrow(), 100);
    EXPECT_TRUE(line.CheckEdge());
    EXPECT_TRUE(line.CheckSelect());

    CLine flat(CDPoint(3, 1), CDPoint(0, 1), 0, 0);
    flat.NormalizeX();
    EXPECT_EQ(flat.GetStartPoint(), CDPoint(0, 1));
    EXPECT_TRUE(flat.IsHVLine(0));
    EXPECT_FALSE(flat.IsHVLine(1));
    CLine point(CDPoint(1, 1), CDPoint(1, 1), 0, 0);
    EXPECT_FALSE(point.IsHVLine(0));
    EXPECT_FALSE(point.IsHVLine(1));

    line.SetCheck(7, false); // no such end: nothing changes
    EXPECT_TRUE(line.CheckEndEdge());
    line.SetCheck(CDPoint(0, 5), false);
    EXPECT_FALSE(line.CheckEndEdge());
    line.SetCheck(CDPoint(50, 50), true); // not the end: the start
    EXPECT_TRUE(line.CheckStartEdge());
    line.SetCheck(CDRect(-1, -1, 1, 6));
    EXPECT_FALSE(line.CheckStartEdge());
    EXPECT_TRUE(line.CheckEndEdge());
}

TEST_F(LineTest, PickedPositionAsFixedPoint)
{
    CLine line(CDPoint(2, 0), CDPoint(10, 0), 0, 0);
    line.SetFxRatio(CDPoint(4, 0));
    EXPECT_EQ(line.GetFxRatio(), 0x4000u);
    const FIXED x = line.GetFxRatioX();
    EXPECT_EQ(x.value, 4);
    EXPECT_EQ(x.fract, 0);
    line.SetFxRatio(CDPoint(10, 0));
    EXPECT_EQ(line.GetFxRatio(), 0x10000u);
}

// --- Arrows ---

TEST_F(LineTest, ArrowBitsAndToggles)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    const tagDIMS style = frame.GetDimensionStyle();
    line.SetArrow(1, style, false);
    EXPECT_EQ(line.GetStartArrow(), 200);
    line.SetArrow(1, style, false);
    EXPECT_EQ(line.GetStartArrow(), 0);
    line.SetArrow(2, style, true);
    EXPECT_EQ(line.GetEndArrow(), -100);
    line.SetArrow(1, style, false);
    EXPECT_EQ(line.IsArrow(), 1 | 8);
    line.SetArrow(-30, 40);
    EXPECT_EQ(line.IsArrow(), 4 | 2);
}

TEST_F(LineTest, ArrowPointsAndStrokesFollowTheStyleAngle)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    line.SetArrow(200, 150);
    CDPoint pts[3] = {CDPoint(0, 0), CDPoint(10, 0), CDPoint()};
    CLine::CalcArrowPoint(pts, 200);
    const double a = 15.0 * kPi / 180.0;
    EXPECT_NEAR(pts[1].x, 2 * std::cos(a), 1e-12);
    EXPECT_NEAR(pts[1].y, 2 * std::sin(a), 1e-12);
    EXPECT_NEAR(pts[2].x, 2 * std::cos(a), 1e-12);
    EXPECT_NEAR(pts[2].y, -2 * std::sin(a), 1e-12);

    CLine first, second;
    line.GetStartArrowLine(&first, &second);
    EXPECT_EQ(first.GetStartPoint(), CDPoint(0, 0));
    EXPECT_EQ(first.GetEndPoint(), pts[1]);
    EXPECT_EQ(second.GetEndPoint(), pts[2]);
    EXPECT_EQ(first.GetTurretNo(), 3);
    EXPECT_EQ(first.GetType(), 0);

    line.GetEndArrowLine(&first, &second);
    EXPECT_EQ(first.GetStartPoint(), CDPoint(10, 0));
    EXPECT_NEAR(first.GetEndPoint().x, 10 - 1.5 * std::cos(a), 1e-12);
    EXPECT_NEAR(std::fabs(first.GetEndPoint().y), 1.5 * std::sin(a), 1e-12);
    EXPECT_NEAR(first.GetEndPoint().y, -second.GetEndPoint().y, 1e-12);
}

TEST_F(LineTest, GerbarLengthAddsTwoBarbsPerArrowHead)
{
    CLine line(CDPoint(0, 0), CDPoint(6, 8), 3, 0);
    EXPECT_DOUBLE_EQ(line.GetGerbarLength(), 10.0);
    line.SetArrow(200, -100); // a dot draws no stroke
    EXPECT_DOUBLE_EQ(line.GetGerbarLength(), 14.0);
    line.SetArrow(200, 50);
    EXPECT_DOUBLE_EQ(line.GetGerbarLength(), 15.0);
}

// --- Number texts ---

TEST(TrimNumberString, Cases)
{
    const struct
    {
        const char* in;
        const char* out;
    } cases[] = {
        {"1.500", "1.5"},
        {"2.000", "2"},
        {"-0.000", "0"},
        {"1.5E-07", "0.00000015"},
        {"100", "100"},
        {"3.14000", "3.14"},
        {"12.", "12"},
        {"0.0", "0"},
        {"-0.00", "0"},
        {"42", "42"},
        {"-2.5E-05", "-0.000025"},
        {"1E-09", "0"},
        {"1.2345678E+09", "1234567800"},
        {"2.5E+15", "2500000000000000"},
        {".000", "0"},
        {"-12.50", "-12.5"},
        {"", ""},
        {"1000.", "1000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrimNumberString(c.in), c.out) << c.in;
}

// --- Names and dimension texts ---

TEST_F(LineTest, NameRecordSetsAndClearsTheNameBits)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    line.SetType(0x6000);
    line.SetName("\"N1\" 5 0.1 200 14 0 0 0 0");
    EXPECT_FALSE(line.IsNameEmpty());
    EXPECT_EQ(line.GetName(), "N1");
    EXPECT_EQ(line.GetNameText()->GetParent(), &line);
    line.SetName("");
    EXPECT_TRUE(line.IsNameEmpty());
    EXPECT_EQ(line.GetType() & 0x7000, 0);
}

TEST_F(LineTest, NewNameLiesAlongTheLineAtItsMidpoint)
{
    CLine line(CDPoint(0, 0), CDPoint(0, 10), 3, 0);
    line.SetName(std::string(), 100, true);
    EXPECT_TRUE(line.IsNameEmpty()); // an empty text changes nothing

    line.SetName("R1", 150, false);
    const CText* name = line.GetNameText();
    EXPECT_FALSE(line.IsNameEmpty());
    EXPECT_EQ(name->GetName(), "R1");
    EXPECT_EQ(name->GetPoint(), CDPoint(0, 5));
    EXPECT_EQ(name->GetOrign(), 14);
    EXPECT_FALSE(name->IsDisp());
    EXPECT_EQ(name->GetSize(), 150);
    EXPECT_DOUBLE_EQ(const_cast<CText*>(name)->GetAngle(), kPi / 2);
    EXPECT_EQ(name->GetParent(), &line);
}

TEST_F(LineTest, DimensionTextMeasuresLengthOrAngle)
{
    const tagDIMS style = frame.GetDimensionStyle();
    // Length, left to right: above the line, reading along it.
    CLine line(CDPoint(0, 0), CDPoint(12.5, 0), 3, 0);
    line.SetType(0x3000); // names are given after construction
    line.SetDimension(style);
    EXPECT_EQ(line.GetName(), "12.5");
    CText* name = line.GetNameText();
    EXPECT_NEAR(name->GetPoint().x, 6.25, 1e-12);
    EXPECT_NEAR(name->GetPoint().y, 0.1, 1e-12);
    EXPECT_EQ(name->GetSize(), 250);
    EXPECT_DOUBLE_EQ(name->GetAngle(), 0.0);
    EXPECT_EQ(name->GetOrign(), 14);

    // Right to left: the text stays readable and stays above.
    CLine back(CDPoint(12.5, 0), CDPoint(0, 0), 3, 0);
    back.SetType(0x3000); // names are given after construction
    back.SetDimension(style);
    EXPECT_EQ(back.GetName(), "12.5");
    EXPECT_NEAR(back.GetNameText()->GetPoint().y, 0.1, 1e-12);
    EXPECT_NEAR(back.GetNameText()->GetAngle(), 0.0, 1e-12);

    // Angle texts carry a degree sign and keep the line's direction.
    CLine up(CDPoint(0, 0), CDPoint(0, 5), 3, 0);
    up.SetType(0x5000); // names are given after construction
    up.SetDimension(style);
    EXPECT_EQ(up.GetName(), "90" + _J("°"));
    EXPECT_NEAR(up.GetNameText()->GetPoint().x, -0.1, 1e-12);
    CLine down(CDPoint(0, 0), CDPoint(-1, -1), 3, 0);
    down.SetType(0x5000); // names are given after construction
    down.SetDimension(style);
    EXPECT_EQ(down.GetName(), "-135" + _J("°"));
    EXPECT_NEAR(down.GetNameText()->GetAngle(), 1.25 * kPi, 1e-12);

    // A plain name is not measured.
    CLine plain(CDPoint(0, 0), CDPoint(3, 0), 3, 0);
    plain.SetName("X", 100, true);
    plain.SetDimension(style);
    EXPECT_EQ(plain.GetName(), "X");

    // A zero text size in the style leaves the size.
    tagDIMS noSize = style;
    noSize.textSize = 0;
    CLine sized(CDPoint(0, 0), CDPoint(1, 0), 3, 0);
    sized.SetName("1", 123, true);
    sized.ModifyType(0x2000, 0x2000);
    sized.SetDimension(noSize);
    EXPECT_EQ(sized.GetNameText()->GetSize(), 123);
}

// --- Angle lock ---

TEST_F(LineTest, LockPointCases)
{
    const struct
    {
        CDPoint start, end, p, bend;
    } cases[] = {
        {{0, 0}, {10, 0}, {7, 3}, {4, 0}},         {{0, 0}, {10, 0}, {-7, 3}, {-4, 0}},
        {{0, 0}, {5, 5}, {6, 2}, {2, 2}},          {{0, 0}, {0, 0}, {3, 4}, {3, 4}}, // zero length: p
        {{0, 0}, {0, 10}, {3, 7}, {0, 4}},                                           // north
        {{0, 0}, {0, 10}, {3, -7}, {0, -4}},                                         // turned to south by p
        {{0, 0}, {5, 5}, {-6, 2}, {-2, 2}}, // diagonal moved to the north-west by p
        {{0, 0}, {10, 0}, {2, 5}, {2, 5}},  // bend at the start: p
        {{0, 0}, {5, 5}, {6, 0}, {6, 0}},   // p on an axis keeps the diagonal, which bends at the start
        {{1, 1}, {1, 5}, {1, 0}, {1, 0}},   // straight below: turned south, bends at p
        {{0, 0}, {-3, -3.1}, {-10, -2}, {-2, -2}},
    };
    for (const auto& c : cases) {
        CLine line(c.start, c.end, 0, 0);
        const CDPoint got = line.LockPoint(c.p);
        EXPECT_NEAR(got.x, c.bend.x, 1e-12) << c.end.x << "," << c.end.y << " p " << c.p.x << "," << c.p.y;
        EXPECT_NEAR(got.y, c.bend.y, 1e-12) << c.end.x << "," << c.end.y << " p " << c.p.x << "," << c.p.y;
    }
}

// --- Dialog edit ---

TEST_F(LineTest, InputTextAppliesTheEditedCopyAndMeasures)
{
    FakeItemDialogs dialogs;
    CLine line(CDPoint(0, 0), CDPoint(12.5, 0), 3, 0);
    dialogs.onLine = [](LineDialogData& data) {
        auto* work = static_cast<CLine*>(data.item);
        work->SetTurretNo(4);
        work->SetName("?", 100, true);
        work->ModifyType(0x2000, 0x6000);
    };
    EXPECT_TRUE(line.InputText(false));
    EXPECT_FALSE(dialogs.lastLine.multiple);
    EXPECT_EQ(dialogs.lastLine.editKind, ID_INPUT_LINE);
    EXPECT_EQ(line.GetTurretNo(), 4);
    EXPECT_EQ(line.GetName(), "12.5");
    EXPECT_EQ(line.GetNameText()->GetParent(), &line);

    dialogs.answer = false;
    dialogs.onLine = [](LineDialogData& data) { static_cast<CLine*>(data.item)->SetTurretNo(3); };
    EXPECT_FALSE(line.InputText(false));
    EXPECT_EQ(line.GetTurretNo(), 4);
}

TEST_F(LineTest, InputTextOnABlankKeepsTheDialogCodes)
{
    FakeItemDialogs dialogs;
    CLine blank(CDPoint(0, 0), CDPoint(0, 0), 0, 0);
    dialogs.onLine = [](LineDialogData& data) {
        auto* work = static_cast<CLine*>(data.item);
        work->SetStartPoint(CDPoint(0x2AA, 0));
        work->SetName("R1", 100, true);
    };
    EXPECT_TRUE(blank.InputText(true));
    EXPECT_TRUE(dialogs.lastLine.multiple);
    EXPECT_EQ(blank.GetStartPoint().x, 0x2AA);
    EXPECT_EQ(blank.GetName(), "R1"); // not replaced by a measure
}

TEST_F(LineTest, InputTextWithoutDialogsIsCancelled)
{
    ItemDialogs* previous = GetItemDialogs();
    SetItemDialogs(nullptr);
    CLine line(CDPoint(0, 0), CDPoint(1, 0), 3, 0);
    EXPECT_FALSE(line.InputText(false));
    SetItemDialogs(previous);
}

// --- Text line ---

TEST_F(LineTest, TextLineIsWrittenAsTheFormatGivesIt)
{
    CLine line(CDPoint(1.5, -2), CDPoint(10, 4.25), 3, 0x200);
    line.SetArrow(-100, 300);
    line.SetDimensionValue(7);
    line.SetLayerNo(2);
    line.SetID(0x80000001u);
    EXPECT_EQ(line.GetTextLines(),
              "Line 1.50000000 -2.00000000 10.00000000 4.25000000 3 512 -100 300 7 2 -2147483647\n");

    CLine back(line.GetTextLines().c_str());
    EXPECT_TRUE(back == line);
    EXPECT_EQ(back.GetLayerNo(), 2);
    EXPECT_EQ(back.GetID(), 0x80000001u);
    EXPECT_EQ(back.GetDimension(), 7);
    EXPECT_DOUBLE_EQ(back.GetLineWidth(), 0.2);
}

TEST_F(LineTest, NamedLineWritesANameLineThatReadsBack)
{
    CLine line(CDPoint(0, 0), CDPoint(10, 0), 3, 0);
    line.SetName(_J("線名\"A"), 200, true);
    line.SetLayerNo(1);
    const std::string lines = line.GetTextLines();
    const std::string first = "Line 0.00000000 0.00000000 10.00000000 0.00000000 3 4096 0 0 0 1 0\n";
    ASSERT_EQ(lines.substr(0, first.size()), first);
    const std::string second = lines.substr(first.size());
    ASSERT_EQ(second.substr(0, 5), "Name ");
    EXPECT_EQ(second.substr(5), line.GetNameText()->GetTextLines(0));

    // As the layer reader does it: the line, then the rest of the "Name " line.
    CLine back(first.c_str());
    EXPECT_TRUE(back.IsNameEmpty());
    std::string record = second.substr(5);
    record.pop_back(); // the line end
    back.SetName(record.c_str());
    EXPECT_TRUE(back == line);
    EXPECT_EQ(back.GetName(), _J("線名\"A"));
    EXPECT_EQ(back.GetNameText()->GetPoint(), CDPoint(5, 0));
}

TEST_F(LineTest, TextLineReadRules)
{
    // A line type keeps the dimension; without one it is dropped. The name bit waits for its line.
    CLine typed("Line 0 0 1 0 3 4608 0 0 7 0 0");
    EXPECT_EQ(typed.GetDimension(), 7);
    EXPECT_EQ(typed.GetType(), 0x200);
    CLine untyped("Line 0 0 1 0 3 4096 0 0 7 0 0");
    EXPECT_EQ(untyped.GetDimension(), 0);
    EXPECT_TRUE(untyped.IsNameEmpty());
    CLine autoSize("Line 0 0 1 0 3 12288 0 0 0 0 0");
    EXPECT_EQ(autoSize.GetType(), 0x2000);
    EXPECT_FALSE(autoSize.CheckSelect());

    // A short line leaves the rest as the constructor sets it.
    CLine shortLine("Line 1 2 3");
    EXPECT_EQ(shortLine.GetStartPoint(), CDPoint(1, 2));
    EXPECT_EQ(shortLine.GetEndPoint(), CDPoint(3, 0));
    EXPECT_EQ(shortLine.GetTurretNo(), 0);
    EXPECT_EQ(shortLine.GetLayerNo(), -1);
    CLine nothing("");
    EXPECT_EQ(nothing.GetEndPoint(), CDPoint(0, 0));
}

// --- Binary record ---

TEST_F(LineTest, BinaryRecordWithDimensionIsByteExact)
{
    CLine line(CDPoint(1.5, -2), CDPoint(10, 4.25), 3, 0x200);
    line.SetArrow(-100, 300);
    line.SetDimensionValue(7);
    line.SetLayerNo(2);
    line.SetID(0x0102);
    const auto expected = Bytes()
                              .I32(0x0102)
                              .I32(3)
                              .I32(2)
                              .I32(0x200)
                              .F64(1.5)
                              .F64(-2)
                              .F64(10)
                              .F64(4.25)
                              .I32(0x012CFF9C)
                              .I32(7)
                              .v;
    EXPECT_EQ(Write(line), expected);

    CLine back;
    back.SetCheck(true);
    Read(back, expected, 6);
    EXPECT_TRUE(back == line);
    EXPECT_EQ(back.GetStartArrow(), -100);
    EXPECT_EQ(back.GetEndArrow(), 300);
    EXPECT_EQ(back.GetID(), 0x0102u);
    EXPECT_EQ(back.GetLayerNo(), 2);
    EXPECT_FALSE(back.CheckSelect());
    EXPECT_DOUBLE_EQ(back.GetLineWidth(), 0.2);
}

TEST_F(LineTest, BinaryRecordWithoutLineTypeHasNoDimensionField)
{
    CLine line(CDPoint(0, 0), CDPoint(1, 1), 4, 0);
    line.SetDimensionValue(9); // not persistent without a line type
    line.SetArrow(200, 0);
    const auto expected = Bytes().I32(0).I32(4).I32(-1).I32(0).F64(0).F64(0).F64(1).F64(1).I32(200).v;
    EXPECT_EQ(Write(line), expected);
    CLine back;
    back.SetDimensionValue(5);
    Read(back, expected, 6);
    EXPECT_EQ(back.GetDimension(), 0);
    EXPECT_EQ(back.GetStartArrow(), 200);
    EXPECT_EQ(back.GetEndArrow(), 0);
}

TEST_F(LineTest, BinaryRecordOfOldVersionsCountsTurretsFromZeroAndHasNoIds)
{
    const auto record = Bytes().I32(55).I32(2).I32(1).I32(0).F64(0).F64(0).F64(5).F64(0).I32(0).v;
    for (int version : {1, 2}) {
        CLine line;
        Read(line, record, version);
        EXPECT_EQ(line.GetID(), 0u) << version;
        EXPECT_EQ(line.GetTurretNo(), 3) << version;
        EXPECT_DOUBLE_EQ(line.GetLineWidth(), 0.2) << version;
    }
    CLine current;
    Read(current, record, 3);
    EXPECT_EQ(current.GetID(), 55u);
    EXPECT_EQ(current.GetTurretNo(), 2);
}

TEST_F(LineTest, BinaryRecordWithNameCarriesTheTextRecord)
{
    CLine line(CDPoint(0, 0), CDPoint(20, 0), 3, 0x400);
    line.SetName("L1", 200, true);
    line.SetDimensionValue(-4);
    const auto bytes = Write(line);

    CArchive textAr(CArchive::store);
    CText name(*line.GetNameText());
    name.Serialize(textAr, 0);
    const auto expected = Bytes()
                              .I32(0)
                              .I32(3)
                              .I32(-1)
                              .I32(0x1400)
                              .F64(0)
                              .F64(0)
                              .F64(20)
                              .F64(0)
                              .I32(0)
                              .I32(-4)
                              .Raw(textAr.Data())
                              .v;
    EXPECT_EQ(bytes, expected);

    CLine back;
    Read(back, bytes, 6);
    EXPECT_TRUE(back == line);
    EXPECT_EQ(back.GetName(), "L1");
    EXPECT_EQ(back.GetDimension(), -4);
    EXPECT_EQ(back.GetNameText()->GetParent(), &back);
    EXPECT_EQ(back.GetNameText()->GetPoint(), CDPoint(10, 0));
    EXPECT_EQ(Write(back), bytes);
}

TEST_F(LineTest, EveryTruncatedRecordIsRefusedAndLeavesTheLine)
{
    CLine line(CDPoint(1, 2), CDPoint(3, 4), 3, 0x200);
    line.SetName("T", 200, true);
    line.SetDimensionValue(3);
    const auto bytes = Write(line);
    testing_support::ForEveryTruncation(bytes, [](CArchive& ar) {
        CLine target(CDPoint(9, 9), CDPoint(8, 8), 4, 0);
        EXPECT_THROW(target.Serialize(ar, 6), ArchiveError);
        EXPECT_EQ(target.GetStartPoint(), CDPoint(9, 9));
        EXPECT_EQ(target.GetTurretNo(), 4);
        EXPECT_TRUE(target.IsNameEmpty());
    });
    CLine whole;
    EXPECT_NO_THROW(Read(whole, bytes, 6));
}

} // namespace
