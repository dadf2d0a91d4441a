// Items by place: the sheet's spatial index answers as a walk of every list does (kinds in bit
// order, each in list order), also after items are stored, deleted, moved in place or sorted.

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kKinds = KIND_LINE | KIND_LAND | KIND_HOLE;

class SheetIndexTest : public ::testing::Test
{
protected:
    SheetIndexTest()
    {
        doc.turretTable[1] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        doc.turretTable[2] = tagTURRET{TURRET_SQUARE, 1.5, 0.0};
        std::mt19937 rng(7);
        const auto at = [&] { return std::uniform_real_distribution<double>(0.0, 100.0)(rng); };
        const auto len = [&] { return std::uniform_real_distribution<double>(-5.0, 5.0)(rng); };
        for (int i = 0; i < 600; ++i) {
            const CDPoint p(at(), at());
            sheet.NewLine(p, CDPoint(p.x + len(), p.y + len()), 1, 0);
            if (i % 3 == 0)
                sheet.NewLand(CDPoint(at(), at()), 2);
            if (i % 5 == 0)
                sheet.NewHole(CDPoint(at(), at()), 0.8, true, 0.0, 0.0, 0.0);
        }
        // One line across the whole sheet, which the grid holds apart.
        sheet.NewLine(CDPoint(-10, 50), CDPoint(110, 52), 1, 0);
    }

    // What a walk of every list finds.
    std::vector<CItemBase*> Walk(int kinds, const CDRect& rect)
    {
        std::vector<CItemBase*> out;
        for (int k = 0; k < SHEET_KIND_COUNT; ++k) {
            const int kind = 1 << k;
            if (!(kinds & kind))
                continue;
            for (POSITION pos = sheet.GetFirstItemPos(kind); pos;) {
                CItemBase* item = sheet.GetNextItem(kind, pos);
                const CDRect& r = item->GetBoundingRect();
                if (r.left <= rect.right && rect.left <= r.right && r.top <= rect.bottom &&
                    rect.top <= r.bottom)
                    out.push_back(item);
            }
        }
        return out;
    }
    std::vector<CItemBase*> Indexed(int kinds, const CDRect& rect)
    {
        std::vector<CItemBase*> out;
        sheet.GetItemsIn(kinds, rect, out);
        return out;
    }
    void ExpectSameAsWalk(const char* when)
    {
        const CDRect rects[] = {
            CDRect(-1000, -1000, 1000, 1000), // everything
            CDRect(40, 40, 60, 60),           // a middle part
            CDRect(0, 0, 3, 3),               // a corner
            CDRect(200, 200, 300, 300),       // outside
            CDRect(50, 10, 50, 90),           // a line of no width
            CDRect(-5, 49, 2, 53),            // only the long line's end
            CDRect(-1e300, -1e300, 1e300, 1e300),
            CDRect(std::nan(""), 0, 10, 10),
        };
        for (const CDRect& rect : rects) {
            for (int kinds : {kKinds, int(KIND_LINE), KIND_LAND | KIND_HOLE, int(KIND_TEXT)}) {
                SCOPED_TRACE(::testing::Message()
                             << when << ": kinds " << kinds << " rect " << rect.left << "," << rect.top << ","
                             << rect.right << "," << rect.bottom);
                const std::vector<CItemBase*> walk = Walk(kinds, rect);
                EXPECT_EQ(Indexed(kinds, rect), walk);
            }
        }
    }

    FakeDocument doc;
    FakeFrameServices frame{&doc};
    CSheet sheet{SHEET_WORK};
};

TEST_F(SheetIndexTest, FindsWhatAWalkFindsInListOrder)
{
    ExpectSameAsWalk("built");
    EXPECT_EQ(Indexed(KIND_LINE, CDRect(-1000, -1000, 1000, 1000)).size(), 601u);
    EXPECT_TRUE(Indexed(kKinds, CDRect(200, 200, 300, 300)).empty());
}

TEST_F(SheetIndexTest, FollowsEveryChange)
{
    ExpectSameAsWalk("built");

    // Stored and deleted through the sheet.
    CLine* added = sheet.NewLine(CDPoint(41, 41), CDPoint(42, 42), 1, 0);
    ExpectSameAsWalk("stored");
    EXPECT_EQ(Indexed(KIND_LINE, CDRect(41.4, 41.4, 41.6, 41.6)).back(), added);
    sheet.DeleteLine(CLine(*sheet.GetHeadLine()));
    ExpectSameAsWalk("deleted");

    // Moved in place by the item's own operations, and the whole sheet moved.
    CLine* moved = sheet.GetTailLine(3);
    moved->Offset(CDPoint(150, 150));
    ExpectSameAsWalk("moved in place");
    // Far out of the others' way: found alone where it went.
    EXPECT_EQ(Indexed(KIND_LINE, moved->GetBoundingRect()), std::vector<CItemBase*>{moved});
    sheet.GetHeadLand()->SetPoint(CDPoint(-50, -50));
    ExpectSameAsWalk("land moved");
    sheet.OffsetItem(CDPoint(3, -2), 1);
    ExpectSameAsWalk("sheet moved");

    // Reordered.
    sheet.SortLine();
    sheet.SortLand();
    ExpectSameAsWalk("sorted");

    // The sheet's own bounds asked for in between.
    sheet.GetTailLine(5)->Offset(CDPoint(-20, 0));
    static_cast<CItemBase&>(sheet).GetBoundingRect();
    ExpectSameAsWalk("bounds taken first");

    sheet.DeleteContents();
    EXPECT_TRUE(Indexed(kKinds, CDRect(-1000, -1000, 1000, 1000)).empty());
}

} // namespace
