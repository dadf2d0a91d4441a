// Surface item: the list and header-line constructors, copy and comparison, ownership, windows,
// properties, the edit dialog and both persistent forms.

#include "model/items/Sur.h"

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "platform/Archive.h"
#include "platform/Numbers.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/FakeItemDialogs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

class SurTest : public ::testing::Test
{
protected:
    SurTest() : frame(&doc)
    {
        doc.turretTable[2] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 1.0, 0.0};
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

// Closed polygon of lines through the points, as an owning list and a pointer list.
struct Outline
{
    std::vector<std::unique_ptr<CLine>> owned;
    std::vector<std::unique_ptr<CArc>> ownedArcs;
    std::vector<std::unique_ptr<CText>> ownedTexts;
    CItemBaseList lines, arcs, none, texts;

    Outline& Polygon(const std::vector<CDPoint>& pts, int turret)
    {
        for (std::size_t i = 0; i < pts.size(); ++i) {
            owned.push_back(std::make_unique<CLine>(pts[i], pts[(i + 1) % pts.size()], turret, 0));
            lines.AddTail(owned.back().get());
        }
        return *this;
    }
    Outline& Arc(const CDPoint& c, double r, double start, double end, int turret)
    {
        ownedArcs.push_back(std::make_unique<CArc>(c, r, start, end, 0, turret));
        arcs.AddTail(ownedArcs.back().get());
        return *this;
    }
    Outline& Text(const char* name, const char* value, int turret = -1)
    {
        ownedTexts.push_back(std::make_unique<CText>());
        ownedTexts.back()->SetPropaty(name, value);
        ownedTexts.back()->SetTurretNo(turret);
        texts.AddTail(ownedTexts.back().get());
        return *this;
    }
    CSur Make() const { return CSur(lines, arcs, none, texts); }
};

std::vector<CDPoint> Square(double x0, double y0, double x1, double y1)
{
    return {CDPoint(x0, y0), CDPoint(x1, y0), CDPoint(x1, y1), CDPoint(x0, y1)};
}

std::vector<std::uint8_t> Write(CSur& sur)
{
    CArchive ar(CArchive::store);
    sur.Serialize(ar, 6);
    return ar.Data();
}

void Read(CSur& sur, const std::vector<std::uint8_t>& bytes, int version, int keep = 1)
{
    CArchive ar(CArchive::load, bytes);
    sur.Serialize(ar, version, keep);
    EXPECT_EQ(ar.Remaining(), 0u);
}

// A surface with everything the forms carry: outline lines and an arc, a window with a window of
// its own, and two property texts. (A text without a turret reads back from a text line with
// turret 0, from a binary record with none: the texts' turret is chosen to suit the form.)
CSur RichSurface(int textTurret = -1)
{
    Outline o;
    const CDPoint pts[4] = {CDPoint(0, 10), CDPoint(0, 0), CDPoint(20, 0), CDPoint(20, 10)};
    for (int i = 0; i < 3; ++i) {
        o.owned.push_back(std::make_unique<CLine>(pts[i], pts[i + 1], 3, 0));
        o.lines.AddTail(o.owned.back().get());
    }
    o.Arc(CDPoint(10, 10), 10, 0, kPi, 3);
    o.Text("COC", "1.5 0.5", textTurret).Text("NET", "GND", textTurret);
    CSur sur = o.Make();

    Outline w;
    w.Polygon(Square(2, 2, 6, 6), 3);
    CSur window = w.Make();
    Outline ww;
    ww.Polygon(Square(3, 3, 4, 4), 3);
    window.NewWindow(ww.Make());
    sur.NewWindow(window);
    sur.SetID(0x1234);
    sur.SetLayerNo(4);
    sur.SetAngle(kPi / 4);
    sur.ModifyType(SUR_NEGA | SUR_NOFILL, SUR_NEGA | SUR_NOFILL);
    return sur;
}

// The item text form read back the way the layer's text reader does.
CSur ReadText(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    std::vector<CSur*> open;
    std::unique_ptr<CSur> top;
    while (std::getline(in, line)) {
        if (line.rfind("Sur ", 0) == 0) {
            top = std::make_unique<CSur>(line.c_str());
            open.push_back(top.get());
        } else if (line.rfind("Wnd ", 0) == 0) {
            open.push_back(open.back()->NewWindow(CSur(line.c_str())));
        } else if (line.rfind("Line ", 0) == 0) {
            open.back()->AddLine(std::make_unique<CLine>(line.c_str()));
        } else if (line.rfind("Arc ", 0) == 0) {
            open.back()->AddArc(std::make_unique<CArc>(line.c_str()));
        } else if (line.rfind("Text ", 0) == 0) {
            open.back()->NewText(CText(line.c_str()));
        } else if (line == "WndEnd" || line == "SurEnd") {
            open.pop_back();
        }
    }
    EXPECT_TRUE(open.empty());
    return top ? CSur(*top) : CSur();
}

TEST_F(SurTest, ListConstructorCopiesTheOutlineAndMakesTheFill)
{
    Outline o;
    o.Polygon(Square(0, 0, 10, 10), 3);
    o.owned[0]->SetArrow(100, -50);
    o.owned[1]->SetCheck(true);
    o.owned[2]->SetEndPoint(CDPoint(0.005, 10.005)); // snapped onto the next line's start
    o.Text("COC", "1.0 0.0");
    CSur sur = o.Make();

    EXPECT_EQ(sur.GetKind(), KIND_SUR);
    EXPECT_EQ(sur.GetTurretNo(), 3);
    ASSERT_EQ(sur.GetLineCount(), 4);
    EXPECT_EQ(sur.GetTextCount(), 1);
    POSITION pos = sur.GetFirstLinePos();
    for (int i = 0; pos; ++i) {
        CLine* line = sur.GetNextLine(pos);
        EXPECT_NE(line, o.owned[static_cast<std::size_t>(i)].get()); // copies
        EXPECT_EQ(line->GetParent(), &sur);
        EXPECT_EQ(line->GetStartArrow(), 0);
        EXPECT_EQ(line->GetEndArrow(), 0);
        EXPECT_FALSE(line->CheckSelect());
    }
    pos = sur.GetFirstLinePos();
    sur.GetNextLine(pos);
    sur.GetNextLine(pos);
    sur.GetNextLine(pos);
    // The later line's start is snapped onto the earlier line's end.
    EXPECT_EQ(sur.GetNextLine(pos)->GetStartPoint(), CDPoint(0.005, 10.005));
    // A turret of 0 or more ends with a generated fill; the caller's lines are untouched.
    EXPECT_GT(sur.GetSurLineCount(), 0);
    EXPECT_EQ(o.owned[0]->GetStartArrow(), 100);
    EXPECT_EQ(sur.GetPoint(), CDPoint(0, 0));

    // With only arcs the first arc's turret is taken.
    Outline circle;
    circle.Arc(CDPoint(5, 5), 2, 0, 0, 2);
    CSur round = circle.Make();
    EXPECT_EQ(round.GetTurretNo(), 2);
    EXPECT_EQ(round.GetArcCount(), 1);
    EXPECT_EQ(round.GetPoint(), CDPoint(7, 5));
}

TEST_F(SurTest, HeaderLineConstructor)
{
    CSur sur("Sur 3 40962 90.000000 5 -2");
    EXPECT_EQ(sur.GetTurretNo(), 3);
    EXPECT_EQ(sur.GetType(), 0x8002); // the edge bit 0x2000 is dropped
    EXPECT_NEAR(sur.GetAngle(), kPi / 2, 1e-12);
    EXPECT_EQ(sur.GetLayerNo(), 5);
    EXPECT_EQ(sur.GetID(), 0xFFFFFFFEu);

    CSur shortLine("Wnd 2");
    EXPECT_EQ(shortLine.GetTurretNo(), 2);
    EXPECT_EQ(shortLine.GetType(), 0);
    EXPECT_EQ(shortLine.GetLayerNo(), -1);
}

TEST_F(SurTest, AssignmentAppendsCopiesWithoutFill)
{
    Outline a;
    a.Polygon(Square(0, 0, 10, 10), 3).Text("COC", "2.0 1.0");
    CSur source = a.Make();
    source.ModifyType(SUR_EDGE | SUR_FILLED | SUR_NOFILL, SUR_EDGE | SUR_FILLED | SUR_NOFILL);
    ASSERT_GT(source.GetSurLineCount(), 0);

    Outline b;
    b.Polygon(Square(50, 50, 51, 51), 3);
    CSur target = b.Make();
    target.DeleteSurLine();
    target = source;
    EXPECT_EQ(target.GetLineCount(), 8); // the old outline stays in front
    EXPECT_EQ(target.GetSurLineCount(), 0);
    EXPECT_EQ(target.GetType(), SUR_NOFILL);
    POSITION pos = target.GetFirstLinePos();
    EXPECT_EQ(target.GetNextLine(pos)->GetStartPoint(), CDPoint(50, 50));
    EXPECT_EQ(target.GetProperty("COC"), "2.0 1.0");
    for (pos = target.GetFirstLinePos(); pos;)
        EXPECT_EQ(target.GetNextLine(pos)->GetParent(), &target);

    CSur copy(source);
    EXPECT_TRUE(copy == source);
    EXPECT_EQ(copy.GetSurLineCount(), 0);
}

TEST_F(SurTest, EqualityIgnoresLayerAngleIdAndFill)
{
    Outline o;
    o.Polygon(Square(0, 0, 10, 10), 3).Text("COC", "1.0 0.5");
    CSur a = o.Make();
    CSur b = o.Make();
    b.SetLayerNo(7);
    b.SetAngle(1.0);
    b.SetID(99);
    b.DeleteSurLine();
    b.ModifyType(SUR_EDGE | SUR_FILLED, SUR_EDGE | SUR_FILLED);
    EXPECT_TRUE(a == b);

    CSur turret = o.Make();
    turret.SetTurretNo(2);
    EXPECT_FALSE(a == turret);
    CSur nega = o.Make();
    nega.ModifyType(SUR_NEGA, SUR_NEGA);
    EXPECT_FALSE(a == nega);

    // The same outline in another order is another surface.
    Outline r;
    r.Polygon({CDPoint(10, 0), CDPoint(10, 10), CDPoint(0, 10), CDPoint(0, 0)}, 3).Text("COC", "1.0 0.5");
    EXPECT_FALSE(a == r.Make());
    EXPECT_EQ(a.Compare(r.Make()), 0);
}

TEST_F(SurTest, Properties)
{
    CSur sur(3);
    EXPECT_EQ(sur.GetProperty("COC"), "");
    sur.SetProperty("COC", "1.0 0.5");
    sur.SetProperty("Net", "VCC");
    EXPECT_EQ(sur.GetTextCount(), 2);
    EXPECT_EQ(sur.GetProperty("coc"), "1.0 0.5");
    EXPECT_EQ(sur.GetProperty("NET"), "VCC");
    POSITION pos = sur.GetFirstTextPos();
    CText* text = sur.GetNextText(pos);
    EXPECT_EQ(text->GetName(), "&COC&1.0 0.5");
    EXPECT_FALSE(text->IsDisp());
    EXPECT_EQ(text->GetParent(), &sur);

    sur.SetProperty("COC", "2.0 1.0"); // replaced
    EXPECT_EQ(sur.GetTextCount(), 2);
    EXPECT_EQ(sur.GetProperty("COC"), "2.0 1.0");
    sur.SetProperty("COC", ""); // an empty value only deletes
    EXPECT_EQ(sur.GetTextCount(), 1);
    EXPECT_EQ(sur.GetProperty("COC"), "");
    sur.DeleteProperty("missing");
    EXPECT_EQ(sur.GetTextCount(), 1);
}

TEST_F(SurTest, EditOneSurface)
{
    FakeItemDialogs dialogs;
    Outline o;
    o.Polygon(Square(0, 0, 10, 10), 3).Text("COC", "1.5 0.5");
    CSur sur = o.Make();
    dialogs.onSur = [](SurDialogData& d) {
        EXPECT_EQ(d.turret, 3);
        EXPECT_EQ(d.noFill, 0);
        EXPECT_EQ(d.coc, 1);
        EXPECT_DOUBLE_EQ(d.cocTop, 1.5);
        EXPECT_DOUBLE_EQ(d.cocBottom, 0.5);
        EXPECT_FALSE(d.multiple);
        d.turret = 2;
        d.noFill = 1;
        d.cocTop = 3.0;
        d.cocBottom = 1.25;
    };
    EXPECT_TRUE(sur.EditSur(false));
    EXPECT_EQ(sur.GetTurretNo(), 2);
    POSITION pos = sur.GetFirstLinePos();
    EXPECT_EQ(sur.GetNextLine(pos)->GetTurretNo(), 2);
    EXPECT_TRUE(sur.IsNoCont());
    EXPECT_EQ(sur.GetProperty("COC"), "3.0 1.2");

    dialogs.onSur = [](SurDialogData& d) { d.coc = 0; };
    EXPECT_TRUE(sur.EditSur(false));
    EXPECT_EQ(sur.GetProperty("COC"), "");
    EXPECT_EQ(sur.GetTextCount(), 0);

    dialogs.answer = false;
    dialogs.onSur = [](SurDialogData& d) { d.turret = 3; };
    EXPECT_FALSE(sur.EditSur(false));
    EXPECT_EQ(sur.GetTurretNo(), 2);
}

TEST_F(SurTest, EditSeveralSurfacesReturnsTheChoices)
{
    FakeItemDialogs dialogs;
    CSur blank;
    dialogs.onSur = [](SurDialogData& d) {
        EXPECT_TRUE(d.multiple);
        EXPECT_EQ(d.turret, -1);
        EXPECT_EQ(d.noFill, 2);
        EXPECT_EQ(d.coc, 2);
        d.coc = 1;
        d.cocTop = 2.0;
        d.cocBottom = 0.5;
    };
    EXPECT_TRUE(blank.EditSur(true));
    EXPECT_EQ(blank.GetLayerNo(), 6); // COC ticked x 4 + no-fill undetermined
    EXPECT_EQ(blank.GetTurretNo(), -1);
    EXPECT_EQ(blank.GetProperty("COC"), "2.0 0.5");
}

TEST_F(SurTest, BinaryRecordRoundTripWithWindowsAndProperties)
{
    CSur sur = RichSurface();
    sur.ModifyType(SUR_EDGE | SUR_FILLED, SUR_EDGE | SUR_FILLED);
    const std::vector<std::uint8_t> bytes = Write(sur);

    // Header: id, turret, type without the transient bits, layer, angle, then the line count.
    ASSERT_GE(bytes.size(), 32u);
    std::int32_t head[4];
    std::memcpy(head, bytes.data(), sizeof head);
    EXPECT_EQ(head[0], 0x1234);
    EXPECT_EQ(head[1], 3);
    EXPECT_EQ(head[2], SUR_NEGA | SUR_NOFILL);
    EXPECT_EQ(head[3], 4);
    double angle;
    std::memcpy(&angle, bytes.data() + 16, 8);
    EXPECT_DOUBLE_EQ(angle, kPi / 4);
    std::uint32_t lineCount;
    std::memcpy(&lineCount, bytes.data() + 24, 4);
    EXPECT_EQ(lineCount, 3u);

    CSur back;
    Read(back, bytes, 6);
    EXPECT_TRUE(back == sur);
    EXPECT_EQ(back.GetID(), 0x1234u);
    EXPECT_EQ(back.GetLayerNo(), 4);
    EXPECT_DOUBLE_EQ(back.GetAngle(), kPi / 4);
    EXPECT_EQ(back.GetType(), SUR_NEGA | SUR_NOFILL);
    EXPECT_EQ(back.GetArcCount(), 1);
    EXPECT_EQ(back.GetProperty("COC"), "1.5 0.5");
    EXPECT_EQ(back.GetProperty("NET"), "GND");
    ASSERT_EQ(back.GetWndCount(), 1);
    POSITION pos = back.GetFirstWndPos();
    CSur* window = back.GetNextWnd(pos);
    EXPECT_EQ(window->GetParent(), &back);
    EXPECT_EQ(window->GetWndCount(), 1);
    EXPECT_DOUBLE_EQ(window->GetAngle(), kPi / 4); // windows take the surface's angle
    EXPECT_EQ(window->GetSurLineCount(), 0);
    for (pos = back.GetFirstLinePos(); pos;) {
        CLine* line = back.GetNextLine(pos);
        EXPECT_EQ(line->GetLayerNo(), 4);
        EXPECT_EQ(line->GetParent(), &back);
    }
    // The reader leaves the fill out of date: it is made once, where it is asked for (forced
    // here, as the surface has the no-fill bit).
    EXPECT_EQ(back.GetSurLineCount(), 0);
    back.MakeSurLine(true);
    EXPECT_GT(back.GetSurLineCount(), 0);

    // Written again and read once more, the bytes stay the same (the first reading gave the
    // windows, and theirs, the surface's angle).
    POSITION inner = window->GetFirstWndPos();
    EXPECT_DOUBLE_EQ(window->GetNextWnd(inner)->GetAngle(), kPi / 4);
    const auto again = Write(back);
    CSur third;
    Read(third, again, 6);
    EXPECT_EQ(Write(third), again);
}

TEST_F(SurTest, BinaryRecordReadRules)
{
    Outline o;
    o.Polygon(Square(0, 0, 10, 10), 3);
    o.owned.insert(o.owned.begin() + 1,
                   std::make_unique<CLine>(CDPoint(10, 0), CDPoint(10, 0.0000005), 3, 0));
    o.lines.InsertAfter(o.lines.GetHeadPosition(), o.owned[1].get());
    CSur sur = o.Make();
    sur.SetID(77);
    ASSERT_EQ(sur.GetLineCount(), 5);
    const auto bytes = Write(sur);

    CSur v6;
    Read(v6, bytes, 6);
    EXPECT_EQ(v6.GetLineCount(), 4); // the zero-length line is dropped, the others keep their order
    POSITION pos = v6.GetFirstLinePos();
    EXPECT_EQ(v6.GetNextLine(pos)->GetStartPoint(), CDPoint(0, 0));
    EXPECT_EQ(v6.GetNextLine(pos)->GetStartPoint(), CDPoint(10, 0));
    EXPECT_EQ(v6.GetTurretNo(), 3);
    EXPECT_EQ(v6.GetID(), 77u);

    CSur v5;
    Read(v5, bytes, 5);
    EXPECT_EQ(v5.GetID(), 0u);
    EXPECT_EQ(v5.GetTurretNo(), 3);

    CSur v2;
    Read(v2, bytes, 2);
    EXPECT_EQ(v2.GetTurretNo(), 4);
    EXPECT_EQ(v2.GetID(), 0u);

    // Kept 0: the record is consumed and the lists end empty.
    CSur skipped = o.Make();
    CSur rich = RichSurface();
    Read(skipped, Write(rich), 6, 0);
    EXPECT_EQ(skipped.GetLineCount(), 0);
    EXPECT_EQ(skipped.GetWndCount(), 0);
    EXPECT_EQ(skipped.GetTextCount(), 0);
}

TEST_F(SurTest, EveryTruncatedRecordIsRefusedAndChangesNothing)
{
    CSur sur = RichSurface();
    const auto bytes = Write(sur);
    Outline o;
    o.Polygon(Square(0, 0, 1, 1), 2);
    const CSur before = o.Make();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        CSur target(before);
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        CArchive ar(CArchive::load, cut);
        EXPECT_THROW(target.Serialize(ar, 6), ArchiveError) << "length " << n;
        EXPECT_TRUE(target == before) << "length " << n;
    }
}

TEST_F(SurTest, WindowsNestedBeyondReasonAreRefused)
{
    // Headers of surfaces each holding one window, 100 deep, with nothing else.
    std::vector<std::uint8_t> bytes;
    const auto i32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const int depth = 100;
    for (int i = 0; i < depth; ++i) {
        i32(0);
        i32(3);
        i32(0);
        i32(1);
        for (int k = 0; k < 8; ++k)
            bytes.push_back(0);
        i32(0); // lines
        i32(0); // arcs
        i32(i + 1 < depth ? 1 : 0);
    }
    for (int i = 0; i < depth; ++i)
        i32(0); // texts
    CSur sur;
    CArchive ar(CArchive::load, bytes);
    EXPECT_THROW(sur.Serialize(ar, 6), ArchiveError);
}

TEST_F(SurTest, TextFormWithAWindow)
{
    Outline o;
    o.Polygon(Square(0, 0, 10, 10), 3).Text("COC", "1.0 0.5");
    CSur sur = o.Make();
    Outline w;
    w.Polygon({CDPoint(2, 2), CDPoint(4, 2), CDPoint(3, 4)}, 3);
    sur.NewWindow(w.Make());
    sur.SetID(5);
    sur.SetLayerNo(2);
    sur.ModifyType(SUR_FILLED | SUR_NEGA, SUR_FILLED | SUR_NEGA);

    const std::string text = sur.GetTextLines();
    EXPECT_EQ(sur.GetType() & SUR_FILLED, 0); // writing marks the fill for regeneration
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "Sur 3 2 0.000000 2 5");
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(lines[static_cast<std::size_t>(i)].rfind("Line ", 0), 0u)
            << lines[static_cast<std::size_t>(i)];
    EXPECT_EQ(lines[5], "Wnd 3 0 0.000000 2 0");
    EXPECT_EQ(lines[6], "Line 2.00000000 2.00000000 4.00000000 2.00000000 3 0 0 0 0 2 0");
    EXPECT_EQ(lines[9], "WndEnd");
    EXPECT_EQ(lines[10].rfind("Text \"&COC&1.0 0.5\"", 0), 0u) << lines[10];
    EXPECT_EQ(lines[11], "SurEnd");
}

TEST_F(SurTest, TextFormRoundTrip)
{
    CSur sur = RichSurface(0);
    CSur back = ReadText(sur.GetTextLines());
    EXPECT_TRUE(back == sur);
    EXPECT_EQ(back.GetLayerNo(), sur.GetLayerNo());
    EXPECT_EQ(back.GetID(), sur.GetID());
    EXPECT_NEAR(back.GetAngle(), sur.GetAngle(), 1e-9);
    EXPECT_EQ(back.GetProperty("COC"), "1.5 0.5");
    ASSERT_EQ(back.GetWndCount(), 1);
    POSITION pos = back.GetFirstWndPos();
    EXPECT_EQ(back.GetNextWnd(pos)->GetWndCount(), 1);

    // An edge mark is written but not read back.
    sur.ModifyType(SUR_EDGE, SUR_EDGE);
    const std::string text = sur.GetTextLines();
    EXPECT_NE(text.find("Sur 3 40962 "), std::string::npos);
    EXPECT_EQ(ReadText(text).GetType(), SUR_NEGA | SUR_NOFILL);
}

TEST_F(SurTest, SetCheckMarksTheEdgeOnlyForHalfMarkedItems)
{
    Outline o;
    o.Polygon(Square(0, 0, 10, 10), 3);
    CSur sur = o.Make();
    sur.SetCheck(CDRect(-1, -1, 11, 11)); // every end inside
    EXPECT_EQ(sur.CheckEdge(), 0);
    sur.SetCheck(CDRect(-1, -1, 1, 1)); // one corner: the two lines meeting there, one end each
    EXPECT_NE(sur.CheckEdge(), 0);
    sur.SetCheck(CDRect(100, 100, 101, 101)); // never cleared here
    EXPECT_NE(sur.CheckEdge(), 0);

    // A window with one marked end marks the surface.
    CSur outer = o.Make();
    Outline w;
    w.Polygon(Square(2, 2, 4, 4), 3);
    outer.NewWindow(w.Make());
    outer.SetCheck(CDRect(1.5, 1.5, 2.5, 2.5));
    EXPECT_NE(outer.CheckEdge(), 0);
    POSITION pos = outer.GetFirstWndPos();
    EXPECT_NE(outer.GetNextWnd(pos)->CheckEdge(), 0);
}

TEST_F(SurTest, DeleteItemSearchesOutlineAndWindows)
{
    Outline o;
    o.Polygon(Square(0, 0, 10, 10), 3);
    CSur sur = o.Make();
    Outline w;
    w.Polygon(Square(2, 2, 4, 4), 3);
    CSur* window = sur.NewWindow(w.Make());
    POSITION pos = window->GetFirstLinePos();
    CLine* inner = window->GetNextLine(pos);
    EXPECT_EQ(sur.DeleteItem(inner), 1);
    EXPECT_EQ(window->GetLineCount(), 3);
    pos = sur.GetFirstLinePos();
    EXPECT_EQ(sur.DeleteItem(sur.GetNextLine(pos)), 1);
    EXPECT_EQ(sur.GetLineCount(), 3);
    CLine stranger;
    EXPECT_EQ(sur.DeleteItem(&stranger), 0);

    sur.Delete();
    EXPECT_EQ(sur.GetLineCount() + sur.GetWndCount() + sur.GetSurLineCount() + sur.GetTextCount(), 0);
}

TEST_F(SurTest, NewWindowCutsOverlappingCirclesToTheirOuterBoundary)
{
    Outline o;
    o.Polygon(Square(0, 0, 20, 20), 3);
    CSur sur = o.Make();
    ASSERT_GT(sur.GetSurLineCount(), 0);

    // Two overlapping circles, and a duplicate of the first.
    Outline w;
    w.Arc(CDPoint(8, 10), 3, 0, 0, 3).Arc(CDPoint(12, 10), 3, 0, 0, 3).Arc(CDPoint(8, 10), 3, 0, 0, 3);
    CSur* window = sur.NewWindow(w.Make());
    EXPECT_EQ(sur.GetSurLineCount(), 0); // the fill is out of date
    EXPECT_EQ(window->GetParent(), &sur);
    ASSERT_EQ(window->GetArcCount(), 2);
    POSITION pos = window->GetFirstArcPos();
    CArc* left = window->GetNextArc(pos);
    CArc* right = window->GetNextArc(pos);
    // Each keeps the part outside the other circle: the left one from the upper crossing round the
    // left to the lower crossing, the right one the other way.
    const double x = std::acos(2.0 / 3.0);
    EXPECT_NEAR(left->GetStartAngle(), x, 1e-9);
    EXPECT_NEAR(left->GetEndAngle(), 2 * kPi - x, 1e-9);
    EXPECT_NEAR(right->GetStartAngle(), kPi + x, 1e-9);
    EXPECT_NEAR(right->GetEndAngle(), kPi - x, 1e-9);
    EXPECT_EQ(left->GetType() & 0x3, 0x3);
    EXPECT_EQ(right->GetType() & 0x3, 0x3);
}

} // namespace

namespace {

// Outlines of a few lines and of many snap their ends alike: each later line's end that lies
// within 0.01 of an end of an earlier line moves onto it (start tested first), in list order.
class SurSnapTest : public SurTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(SurSnapTest, LaterLinesSnapOntoEarlierEnds)
{
    const int n = GetParam();
    std::vector<std::unique_ptr<CLine>> owned;
    CItemBaseList lines, none;
    // A polygon whose joints are off by up to 0.008, some edges reversed, a few far stray ends.
    std::uint32_t seed = 7;
    const auto jitter = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (static_cast<double>(seed >> 16 & 0x7FFF) / 32767.0 - 0.5) * 0.016;
    };
    for (int i = 0; i < n; ++i) {
        const double a0 = 2.0 * std::numbers::pi * i / n, a1 = 2.0 * std::numbers::pi * (i + 1) / n;
        CDPoint p(10.0 * std::cos(a0) + jitter(), 10.0 * std::sin(a0) + jitter());
        CDPoint q(10.0 * std::cos(a1) + jitter(), 10.0 * std::sin(a1) + jitter());
        if (i % 3 == 1)
            std::swap(p, q);
        if (i % 11 == 5)
            q = CDPoint(q.x + 0.5, q.y);
        owned.push_back(std::make_unique<CLine>(p, q, 1, 0));
        lines.AddTail(owned.back().get());
    }

    // The rule, one line against every later one.
    std::vector<CDPoint> ends;
    for (const auto& line : owned) {
        ends.push_back(line->GetStartPoint());
        ends.push_back(line->GetEndPoint());
    }
    const auto near = [](const CDPoint& a, const CDPoint& b) {
        return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) <= 0.0001;
    };
    for (int a = 0; a < n; ++a) {
        const CDPoint s = ends[2 * a], e = ends[2 * a + 1];
        for (int b = a + 1; b < n; ++b) {
            for (const CDPoint& p : {s, e}) {
                if (near(ends[2 * b], p))
                    ends[2 * b] = p;
                else if (near(ends[2 * b + 1], p))
                    ends[2 * b + 1] = p;
            }
        }
    }

    CSur sur(lines, none, none, none);
    int i = 0;
    for (POSITION pos = sur.GetFirstLinePos(); pos; ++i) {
        CLine* line = sur.GetNextLine(pos);
        ASSERT_LT(i, n);
        EXPECT_TRUE(line->GetStartPoint() == ends[2 * i]) << "line " << i;
        EXPECT_TRUE(line->GetEndPoint() == ends[2 * i + 1]) << "line " << i;
    }
    EXPECT_EQ(i, n);
}

// Below and above the count where the ends are found through a grid.
INSTANTIATE_TEST_SUITE_P(Sizes, SurSnapTest, ::testing::Values(3, 40, 96, 97, 400));

} // namespace
