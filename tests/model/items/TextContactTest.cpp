// Text contact (by the frame's edges), clearance (by the strokes) and outline (of the frame).

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "model/startup/Startup.h"
#include "tests/support/ErrorPoints.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/TempStrokeFont.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing_support::ErrorPointsOf;

constexpr double kFx = 1e-4;
constexpr int kPen = 1; // round, 0.25 wide
constexpr int kPad = 2; // round, 0.5

class TextContactTest : public ::testing::Test
{
protected:
    TextContactTest() : frame(&doc)
    {
        doc.SetWireLayers({0, 1});
        doc.turretTable[0] = tagTURRET{TURRET_ROUND, 0.0, 0.0};
        doc.turretTable[kPen] = tagTURRET{TURRET_ROUND, 0.25, 0.0};
        doc.turretTable[kPad] = tagTURRET{TURRET_ROUND, 0.5, 0.0};
        drc.netClearance = 0.25;
        drc.plainClearance = 0.25;
        drc.holeMargin = 0.25;
    }

    void SetUp() override
    {
        // "-": one stroke across the middle of its cell, from x 1 to x 15 at y 16 (of 16 by 32).
        ASSERT_TRUE(strokeFont.Open("textcontact", "2D   !\xB0O\r\n"));
    }
    void TearDown() override { strokeFont.Close(); }

    // "-" at the origin, bottom left: a 1.5 by 2 frame (a 1 mm cell and 0.5 mm spacing) whose
    // one stroke runs from (0.3125, 1) to (1.1875, 1) with the 0.25 pen.
    static CText Dash()
    {
        CText t("-", CDPoint(0, 0), kPen);
        LOGFONTA lf;
        lf.lfHeight = 200;
        lf.lfWidth = 200;
        lf.lfWeight = 50;
        t.SetFontRecord(lf);
        t.SetLayerNo(0);
        return t;
    }

    FakeDocument doc;
    FakeFrameServices frame;
    tagDRCSPEC drc;
    testing_support::TempStrokeFont strokeFont;
};

TEST_F(TextContactTest, TheFixtureTextIsOneStroke)
{
    CText t = Dash();
    CSheet sheet;
    ASSERT_EQ(t.ConvertLine(sheet), 1);
    ASSERT_EQ(sheet.GetKindCount(KIND_LINE), 1);
    const CLine* stroke = sheet.GetHeadLine();
    EXPECT_EQ(stroke->GetStartPoint(), CDPoint(0.3125, 1.0));
    EXPECT_EQ(stroke->GetEndPoint(), CDPoint(1.1875, 1.0));
    EXPECT_EQ(t.GetCorner(2), CDPoint(1.5, 2.0));
}

TEST_F(TextContactTest, TextAgainstLine)
{
    struct Case
    {
        const char* name;
        CDPoint from, to;
        int lineLayer;
        int contact;   // the frame's edges touch the line
        int violation; // a stroke comes too close without any stroke touching
        std::vector<CDPoint> points;
    };
    // Above the stroke, 0.25 wide like it: the strokes touch up to 0.25 apart, and the clearance of
    // 0.25 is kept from 0.5 on. The line lies inside the frame, so the frame does not touch it.
    const Case cases[] = {
        {"across the stroke and the frame", CDPoint(-1, 1), CDPoint(2.5, 1), 0, 1, 0, {}},
        {"on the stroke, inside the frame", CDPoint(0.5, 1.2), CDPoint(1, 1.2), 0, 0, 0, {}},
        {"just inside the clearance",
         CDPoint(0.5, 1.49),
         CDPoint(1, 1.49),
         0,
         0,
         1,
         {CDPoint(0.5, 1.49), CDPoint(0.5, 1.0)}},
        {"exactly at the clearance", CDPoint(0.5, 1.5), CDPoint(1, 1.5), 0, 0, 0, {}},
        {"just outside the clearance", CDPoint(0.5, 1.51), CDPoint(1, 1.51), 0, 0, 0, {}},
        {"along the frame's top edge, far from the stroke", CDPoint(0.5, 2.2), CDPoint(1, 2.2), 0, 1, 0, {}},
        // The layer sheet pairs only items of one layer; the text's own tests are geometric.
        {"across, on another wiring layer", CDPoint(-1, 1), CDPoint(2.5, 1), 1, 1, 0, {}},
        {"just inside, on another wiring layer",
         CDPoint(0.5, 1.49),
         CDPoint(1, 1.49),
         1,
         0,
         1,
         {CDPoint(0.5, 1.49), CDPoint(0.5, 1.0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CText text = Dash();
        CLine line(c.from, c.to, kPen, 0);
        line.SetLayerNo(c.lineLayer);
        EXPECT_EQ(text.CheckShort(&line), c.contact);

        tagDRCSPEC rule = drc;
        EXPECT_EQ(text.DRC_ShortCheck(&rule, &line), c.violation);
        const std::vector<CDPoint> got = ErrorPointsOf(rule);
        ASSERT_EQ(got.size(), c.points.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].x, c.points[i].x, kFx);
            EXPECT_NEAR(got[i].y, c.points[i].y, kFx);
        }
        // The line hands the pairing to the text.
        tagDRCSPEC fromLine = drc;
        EXPECT_EQ(line.DRC_ShortCheck(&fromLine, &text), c.violation);
    }
}

TEST_F(TextContactTest, TextAgainstPadsAndHoles)
{
    struct Case
    {
        const char* name;
        bool hole; // a hole of diameter 0.5, else a round pad of 0.5
        CDPoint at;
        int violation;
    };
    // Above the middle of the stroke: a pad touches it from 0.375 off the centre line, and the
    // clearance (or hole margin) of 0.25 is kept from 0.625 on. Pads and holes are judged by the
    // line rules: a pad on a stroke breaks the rule, a hole only when no stroke covers its centre.
    const Case cases[] = {
        {"pad on the stroke", false, CDPoint(0.75, 1.0), 1},
        {"pad touching the stroke", false, CDPoint(0.75, 1.375), 1},
        {"pad just inside the clearance", false, CDPoint(0.75, 1.5), 1},
        {"pad exactly at the clearance", false, CDPoint(0.75, 1.625), 0},
        {"pad just outside", false, CDPoint(0.75, 1.75), 0},
        {"hole under the stroke's centre line", true, CDPoint(0.75, 1.0), 0},
        {"hole over the stroke's edge", true, CDPoint(0.75, 1.25), 1},
        {"hole exactly at the margin", true, CDPoint(0.75, 1.625), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CText text = Dash();
        CLand pad(c.at, kPad);
        CHole drill(c.at, 0.5, true, 0.0, 0.0, 0.0);
        CItemBase* item = c.hole ? static_cast<CItemBase*>(&drill) : &pad;
        tagDRCSPEC rule = drc;
        EXPECT_EQ(text.DRC_ShortCheck(&rule, item), c.violation);
        const std::vector<CDPoint> got = ErrorPointsOf(rule);
        ASSERT_EQ(got.size(), c.violation ? 2u : 0u);
        if (c.violation) {
            // The pad's position and its foot on the stroke; the foot and the hole's centre.
            const CDPoint foot(c.at.x, 1.0);
            const CDPoint first = c.hole ? foot : c.at, second = c.hole ? c.at : foot;
            EXPECT_NEAR(got[0].x, first.x, kFx);
            EXPECT_NEAR(got[0].y, first.y, kFx);
            EXPECT_NEAR(got[1].x, second.x, kFx);
            EXPECT_NEAR(got[1].y, second.y, kFx);
        }
    }
}

TEST_F(TextContactTest, HiddenOrEmptyTextHasNoCopper)
{
    CLine across(CDPoint(-1, 1), CDPoint(2.5, 1), kPen, 0);
    CLine near(CDPoint(0.5, 1.49), CDPoint(1, 1.49), kPen, 0);
    CText hidden = Dash();
    hidden.Disp(0);
    CText empty = Dash();
    empty.SetName(std::string());
    for (CText* t : {&hidden, &empty}) {
        tagDRCSPEC rule = drc;
        EXPECT_EQ(t->CheckShort(&across), 0);
        EXPECT_EQ(t->DRC_ShortCheck(&rule, &near), 0);
        CSheet sheet;
        t->GetFrameData(&sheet, 0.1);
        EXPECT_EQ(sheet.GetItemCount(), 0);
    }
}

TEST_F(TextContactTest, KindsOutsideTheTextsTestsGiveNothing)
{
    CText text = Dash();
    CSheet sheet;
    tagDRCSPEC rule = drc;
    EXPECT_EQ(text.CheckShort(nullptr), 0);
    EXPECT_EQ(text.CheckShort(&sheet), 0);
    EXPECT_EQ(text.DRC_ShortCheck(&rule, &sheet), 0);
    EXPECT_EQ(text.DRC_ShortCheck(nullptr, &sheet), 0);
}

TEST_F(TextContactTest, OutlineOfTheFrame)
{
    CText text = Dash();
    // Without growth the hairline edges themselves, corner to corner.
    CSheet bare;
    text.GetFrameData(&bare, 0.0);
    std::vector<std::pair<CDPoint, CDPoint>> edges;
    for (POSITION pos = bare.GetFirstLinePos(); pos;) {
        const CLine* l = bare.GetNextLine(pos);
        edges.emplace_back(l->GetStartPoint(), l->GetEndPoint());
    }
    const std::vector<std::pair<CDPoint, CDPoint>> frameEdges = {
        {CDPoint(0, 0), CDPoint(1.5, 0)},
        {CDPoint(1.5, 0), CDPoint(1.5, 2)},
        {CDPoint(1.5, 2), CDPoint(0, 2)},
        {CDPoint(0, 2), CDPoint(0, 0)},
    };
    EXPECT_EQ(edges, frameEdges);
    EXPECT_EQ(bare.GetKindCount(KIND_ARC), 0);

    // Grown: each edge becomes two sides and two half circles of the growth's radius.
    CSheet grown;
    text.GetFrameData(&grown, 0.1);
    EXPECT_EQ(grown.GetKindCount(KIND_LINE), 8);
    ASSERT_EQ(grown.GetKindCount(KIND_ARC), 8);
    for (POSITION pos = grown.GetFirstArcPos(); pos;)
        EXPECT_NEAR(grown.GetNextArc(pos)->GetRadius(), 0.1, 1e-12);
}

} // namespace
