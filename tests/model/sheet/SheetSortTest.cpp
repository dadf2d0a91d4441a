// Sheet sorts: the land sort's order, its treatment of equal lands and of held positions.

#include "model/items/Land.h"
#include "model/sheet/Sheet.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace {

class SheetSortTest : public ::testing::Test
{
protected:
    FakeDocument doc;
    FakeFrameServices frame{&doc};
    CSheet sheet{SHEET_WORK};

    std::vector<CLand*> Lands()
    {
        std::vector<CLand*> out;
        for (POSITION pos = sheet.GetFirstLandPos(); pos;)
            out.push_back(sheet.GetNextLand(pos));
        return out;
    }
};

TEST_F(SheetSortTest, EmptyLandListAnswersZero)
{
    EXPECT_EQ(sheet.SortLand(), 0);
}

TEST_F(SheetSortTest, LandsGoByTurretThenByXPlusY)
{
    sheet.NewLand(CDPoint(5, 5), 2);
    sheet.NewLand(CDPoint(3, 0), 1);
    sheet.NewLand(CDPoint(0, 1), 2);
    sheet.NewLand(CDPoint(1, 1), 1);
    POSITION held = sheet.GetFirstLandPos();
    EXPECT_EQ(sheet.SortLand(), 1);
    const std::vector<CLand*> lands = Lands();
    ASSERT_EQ(lands.size(), 4u);
    EXPECT_EQ(lands[0]->GetPoint(), CDPoint(1, 1));
    EXPECT_EQ(lands[1]->GetPoint(), CDPoint(3, 0));
    EXPECT_EQ(lands[2]->GetPoint(), CDPoint(0, 1));
    EXPECT_EQ(lands[3]->GetPoint(), CDPoint(5, 5));
    // Nodes stay: a position taken before the sort still names the head node.
    EXPECT_EQ(sheet.GetNextLand(held), lands[0]);
}

TEST_F(SheetSortTest, EqualLandsEndWhereTheSelectionSortPutsThem)
{
    // Many lands share turret and x + y; the id tells them apart. The reference is the same
    // selection sort (first of equals, exchange) over copies of the lands.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> turret(1, 3), coord(0, 4);
    std::vector<CLand> reference;
    for (int i = 0; i < 60; ++i) {
        CLand land(CDPoint(coord(random), coord(random)), turret(random));
        land.SetID(static_cast<std::uint32_t>(i));
        sheet.NewLand(land);
        reference.push_back(land);
    }
    for (std::size_t i = 0; i < reference.size(); ++i) {
        std::size_t min = i;
        for (std::size_t j = i + 1; j < reference.size(); ++j)
            if (reference[j] < reference[min])
                min = j;
        std::swap(reference[i], reference[min]);
    }
    sheet.SortLand();
    const std::vector<CLand*> lands = Lands();
    ASSERT_EQ(lands.size(), reference.size());
    for (std::size_t i = 0; i < lands.size(); ++i)
        EXPECT_EQ(lands[i]->GetID(), reference[i].GetID()) << i;
}

} // namespace
