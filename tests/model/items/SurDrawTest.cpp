// Surface drawing on the recording context: the area as a region with its windows cut out, the
// outline strokes, the hatch lines in each class and their thinning, visibility.

#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "tests/support/ItemDrawFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Points = std::vector<std::int64_t>;

class SurDrawTest : public ItemDrawFixture
{
protected:
    SurDrawTest() { doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.25, 0.0}; }

    // A square outline from (x, y) with the given side, its fill made.
    static std::unique_ptr<CSur> Square(double x, double y, double side)
    {
        CLine bottom(CDPoint(x, y), CDPoint(x + side, y), 1, 0);
        CLine right(CDPoint(x + side, y), CDPoint(x + side, y + side), 1, 0);
        CLine top(CDPoint(x + side, y + side), CDPoint(x, y + side), 1, 0);
        CLine left(CDPoint(x, y + side), CDPoint(x, y), 1, 0);
        CItemBaseList lines;
        for (CLine* line : {&bottom, &right, &top, &left})
            lines.AddTail(line);
        const CItemBaseList none;
        return std::make_unique<CSur>(lines, none, none, none);
    }

    std::string Draw(CSur& sur, int mode)
    {
        return Record([&] { sur.DrawSur(&dc, mode); });
    }

    // The fill lines' ids.
    static std::vector<std::uint32_t> FillIds(CSur& sur)
    {
        std::vector<std::uint32_t> ids;
        for (auto pos = sur.GetFirstSurLinePos(); pos;)
            ids.push_back(sur.GetNextSurLine(pos)->GetID());
        return ids;
    }
};

TEST_F(SurDrawTest, FilledClassPaintsTheAreaWithItsWindowsCutOut)
{
    auto sur = Square(1, 1, 4);
    ASSERT_GT(sur->GetSurLineCount(), 0);
    Draw(*sur, 4);
    // On screen: the halftone in the pen's colour; the outline strokes filled; no hatch lines.
    auto regions = dc.CallsOf(Kind::FillRegion);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].args,
              (Points{BS_PATTERN, RGB(0, 128, 0), 4, 100, 100, 500, 100, 500, 500, 100, 500}));
    EXPECT_EQ(dc.Count(Kind::StrokeAndFillPath), 4u);
    EXPECT_EQ(dc.Count(Kind::MoveTo), 4u); // one per outline path
    EXPECT_EQ(dc.Calls().front().kind, Kind::FillRegion);

    // A window is a second loop, which the region's exclusive-or rule makes a hole; its outline is
    // drawn too.
    sur->NewWindow(*Square(2, 2, 1));
    dc.SetPrinting(true);
    Draw(*sur, 4);
    EXPECT_EQ(dc.Count(Kind::FillRegion), 0u);
    regions = dc.CallsOf(Kind::PaintRegion);
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0].args, (Points{4, 100, 100, 500, 100, 500, 500, 100, 500, //
                                       4, 200, 200, 300, 200, 300, 300, 200, 300}));
    EXPECT_EQ(dc.Count(Kind::StrokeAndFillPath), 8u);

    // The chaining marks are gone afterwards.
    for (auto pos = sur->GetFirstLinePos(); pos;)
        EXPECT_EQ(sur->GetNextLine(pos)->GetType() & (SUR_CHAIN_FIRST | SUR_CHAIN_REVERSED), 0);

    // No fill: no area.
    sur->ModifyType(SUR_NOFILL, SUR_NOFILL);
    Draw(*sur, 4);
    EXPECT_EQ(dc.Count(Kind::PaintRegion), 0u);
    EXPECT_EQ(dc.Count(Kind::StrokeAndFillPath), 8u);
}

TEST_F(SurDrawTest, HatchLinesInTheOtherClasses)
{
    auto sur = Square(1, 1, 4);
    const std::size_t fill = static_cast<std::size_t>(sur->GetSurLineCount());
    ASSERT_GT(fill, 2u);

    // Outlined: the outline stroked, the hatch as hairlines.
    Draw(*sur, 2);
    EXPECT_EQ(dc.Count(Kind::StrokePath), 4u);
    EXPECT_EQ(dc.Count(Kind::MoveTo), 4u + fill);
    EXPECT_EQ(dc.Count(Kind::FillRegion), 0u);

    // Class 8: the hatch lines outlined as well.
    Draw(*sur, 8);
    EXPECT_EQ(dc.Count(Kind::StrokePath), 4u + fill);

    // Marks: everything hairlines.
    Draw(*sur, 1);
    EXPECT_EQ(dc.Count(Kind::LineTo), 4u + fill);

    // In stretch mode or without fill only the outline.
    sur->ModifyType(SUR_EDGE, SUR_EDGE);
    Draw(*sur, 1);
    EXPECT_EQ(dc.Count(Kind::LineTo), 4u);
    sur->ModifyType(SUR_NOFILL, SUR_EDGE | SUR_NOFILL);
    Draw(*sur, 1);
    EXPECT_EQ(dc.Count(Kind::LineTo), 4u);
}

TEST_F(SurDrawTest, CrowdedHatchIsThinnedOut)
{
    auto sur = Square(1, 1, 4);
    const std::vector<std::uint32_t> ids = FillIds(*sur);
    const auto every = [&](std::uint32_t i) {
        std::size_t n = 0;
        for (const std::uint32_t id : ids)
            n += id % i == 0;
        return n;
    };
    ASSERT_LT(every(3), ids.size());

    // The hatch step of a 0.25 mm line (0.225 mm, 22 units) maps to 3 device units: every third
    // scan line is drawn, so that drawn lines lie 9 units apart.
    dc.SetWindowExt(CSize(22, 22));
    dc.SetViewportExt(CSize(3, -3));
    Draw(*sur, 1);
    EXPECT_EQ(dc.Count(Kind::LineTo), 4u + every(3));

    // Class 8 is never thinned.
    Draw(*sur, 8);
    EXPECT_EQ(dc.Count(Kind::StrokePath), 4u + ids.size());

    // Close enough to show them all.
    dc.SetWindowExt(CSize(1, 1));
    dc.SetViewportExt(CSize(1, -1));
    Draw(*sur, 1);
    EXPECT_EQ(dc.Count(Kind::LineTo), 4u + ids.size());
}

TEST_F(SurDrawTest, NothingOutsideTheVisibleArea)
{
    auto sur = Square(1, 1, 4);
    dc.SetClipBox(CRect(450, 450, 600, 600));
    EXPECT_NE(Draw(*sur, 4), "");
    dc.SetClipBox(CRect(600, 600, 700, 700));
    EXPECT_EQ(Draw(*sur, 4), "");
}

} // namespace
