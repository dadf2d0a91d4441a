// Land item: construction, comparison and order, transforms, bounds, the thermal test, the dialog
// edit, both persistent forms and the sheet's land operations.

#include "model/items/Land.h"

#include "model/services/ItemDialogs.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/FakeItemDialogs.h"
#include "tests/support/RecordBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

using testing_support::Bytes;

std::vector<std::uint8_t> Write(CLand& land, int version = 6)
{
    return testing_support::WriteRecord(land, version);
}

void Read(CLand& land, const std::vector<std::uint8_t>& bytes, int version)
{
    testing_support::ReadRecord(land, bytes, version);
}

std::vector<std::uint8_t> Record(std::uint32_t id, std::int32_t turret, std::int32_t layer, double x,
                                 double y, std::uint32_t type)
{
    return Bytes().U32(id).I32(turret).I32(layer).F64(x).F64(y).U32(type).v;
}

class LandTest : public ::testing::Test
{
protected:
    LandTest() : frame(&doc)
    {
        doc.turretTable[0] = tagTURRET{TURRET_ROUND, 0.0, 0.0};
        doc.turretTable[3] = tagTURRET{TURRET_ROUND, 2.0, 0.0};
        doc.turretTable[5] = tagTURRET{TURRET_SQUARE, 1.5, 0.0};
        doc.turretTable[7] = tagTURRET{TURRET_THERMAL, 2.5, 1.5};
        doc.turretTable[20] = tagTURRET{TURRET_ROUND, 1.6, 0.0};
        doc.turretTable[120] = tagTURRET{TURRET_DONUT, 3.0, 1.0};
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

// --- Construction, comparison and order ---

TEST_F(LandTest, ConstructorsSetTheirFields)
{
    CLand blank;
    EXPECT_EQ(blank.GetKind(), KIND_LAND);
    EXPECT_EQ(blank.GetTurretNo(), -1);
    EXPECT_EQ(blank.GetLayerNo(), -1);
    EXPECT_EQ(blank.GetType(), 0);
    EXPECT_EQ(blank.GetID(), 0u);

    CLand land(CDPoint(1, 2), 5);
    EXPECT_EQ(land.GetPoint(), CDPoint(1, 2));
    EXPECT_EQ(land.GetTurretNo(), 5);
    EXPECT_EQ(land.GetTurret().shape, TURRET_SQUARE);
    EXPECT_DOUBLE_EQ(land.GetLineWidth(), 1.5);

    land.SetLayerNo(4);
    land.SetID(0x305);
    CLand copy(land);
    EXPECT_TRUE(copy == land);
    EXPECT_EQ(copy.GetKind(), KIND_LAND);
    EXPECT_EQ(copy.GetLayerNo(), 4);
    EXPECT_EQ(copy.GetID(), 0x305u);
    EXPECT_DOUBLE_EQ(copy.GetLineWidth(), 1.5);
}

TEST_F(LandTest, EqualityIsTurretAndPositionOnly)
{
    CLand a(CDPoint(1, 1), 3);
    CLand b(CDPoint(1 + 5e-7, 1 - 5e-7), 3);
    b.SetLayerNo(9);
    b.SetID(77);
    b.SetType(0x40);
    EXPECT_EQ(a == b, 1);
    EXPECT_EQ(a == CLand(CDPoint(1, 1), 5), 0);
    EXPECT_EQ(a == CLand(CDPoint(1, 1.00001), 3), 0);
}

TEST_F(LandTest, SortOrdersByTurretThenByXPlusY)
{
    std::vector<CLand> lands{CLand(CDPoint(5, 5), 5), CLand(CDPoint(9, 9), 3), CLand(CDPoint(1, 2), 5)};
    std::sort(lands.begin(), lands.end());
    EXPECT_EQ(lands[0].GetTurretNo(), 3);
    EXPECT_EQ(lands[1].GetPoint(), CDPoint(1, 2));
    EXPECT_EQ(lands[2].GetPoint(), CDPoint(5, 5));
    // Equal sums are not less either way.
    const CLand p(CDPoint(1, 3), 5), q(CDPoint(3, 1), 5);
    EXPECT_FALSE(p < q);
    EXPECT_FALSE(q < p);
}

// --- Transforms and bounds ---

TEST_F(LandTest, BoundsAreTheTurretSquareAboutThePosition)
{
    CLand land(CDPoint(1, 1), 3);
    land.SetAngle(0.3);
    EXPECT_EQ(land.GetBoundingRect(), CDRect(0, 0, 2, 2));
    EXPECT_EQ(land.GetAngle(), 0.0);
    land.SetPoint(CDPoint(4, 1));
    EXPECT_EQ(land.GetBoundingRect(), CDRect(3, 0, 5, 2));
    land.SetTurretNo(5);
    EXPECT_EQ(land.GetBoundingRect(), CDRect(3.25, 0.25, 4.75, 1.75));

    // A land without a turret is given turret 0 when it is measured.
    CLand none;
    none.SetPoint(CDPoint(2, 2));
    EXPECT_EQ(none.GetBoundingRect(), CDRect(2, 2, 2, 2));
    EXPECT_EQ(none.GetTurretNo(), 0);
}

TEST_F(LandTest, TransformsMoveOnlyThePosition)
{
    CLand land(CDPoint(10, 0), 5);
    land.GetBoundingRect();
    land.Rotate(CDPoint(0, 0), kPi / 2);
    EXPECT_EQ(land.GetPoint(), CDPoint(0, 10));
    EXPECT_EQ(land.GetAngle(), 0.0);
    EXPECT_EQ(land.GetBoundingRect(), CDRect(-0.75, 9.25, 0.75, 10.75));

    land.Offset(CDPoint(1, -1));
    EXPECT_EQ(land.GetPoint(), CDPoint(1, 9));
    EXPECT_EQ(land.GetBoundingRect(), CDRect(0.25, 8.25, 1.75, 9.75));

    land.MirrorX(2);
    EXPECT_EQ(land.GetPoint(), CDPoint(3, 9));
    EXPECT_EQ(land.GetBoundingRect(), CDRect(2.25, 8.25, 3.75, 9.75));
    land.MirrorY(10);
    EXPECT_EQ(land.GetPoint(), CDPoint(3, 11));
    EXPECT_EQ(land.GetBoundingRect(), CDRect(2.25, 10.25, 3.75, 11.75));

    land.Scale(CDPoint(1, 1), CDSize(2, 3));
    EXPECT_EQ(land.GetPoint(), CDPoint(5, 31));
    EXPECT_DOUBLE_EQ(land.GetLineWidth(), 1.5);
}

TEST_F(LandTest, ThermalIsTurretZeroOrAThermalShape)
{
    doc.turretTable[0] = tagTURRET{TURRET_SQUARE, 1.0, 0.0};
    EXPECT_EQ(CLand(CDPoint(), 0).IsTharmal(), 1);
    EXPECT_EQ(CLand(CDPoint(), 7).IsTharmal(), 1);
    EXPECT_EQ(CLand(CDPoint(), 3).IsTharmal(), 0);
    EXPECT_EQ(CLand(CDPoint(), 120).IsTharmal(), 0);
}

// --- Dialog edit ---

TEST_F(LandTest, EditLandRunsTheDialogOnTheTurret)
{
    FakeItemDialogs dialogs;
    CLand land(CDPoint(1, 1), 3);
    dialogs.onLand = [](LandDialogData& data) { data.turret = 5; };
    EXPECT_TRUE(land.EditLand(false));
    EXPECT_FALSE(dialogs.lastLand.multiple);
    EXPECT_EQ(dialogs.lastLand.turret, 3);
    EXPECT_EQ(land.GetTurretNo(), 5);
    EXPECT_DOUBLE_EQ(land.GetLineWidth(), 1.5);

    // Several lands: the blank starts at 0.
    EXPECT_TRUE(land.EditLand(true));
    EXPECT_TRUE(dialogs.lastLand.multiple);
    EXPECT_EQ(dialogs.lastLand.turret, 0);

    dialogs.answer = false;
    dialogs.onLand = [](LandDialogData& data) { data.turret = 7; };
    EXPECT_FALSE(land.EditLand(false));
    EXPECT_EQ(land.GetTurretNo(), 5);

    SetItemDialogs(nullptr);
    EXPECT_FALSE(land.EditLand(false));
    EXPECT_EQ(land.GetTurretNo(), 5);
}

// --- Text line ---

TEST_F(LandTest, TextLineIsWrittenAsTheFormatGivesItAndReadsBack)
{
    CLand land(CDPoint(1.5, -2.25), 5);
    land.SetLayerNo(3);
    land.SetType(0x12);
    land.SetID(0x80000102u);
    EXPECT_EQ(land.GetTextLine(), "Land 1.50000000 -2.25000000 5 18 3 -2147483390\n");

    CLand back(land.GetTextLine().c_str());
    EXPECT_EQ(back == land, 1);
    EXPECT_EQ(back.GetType(), 0x12);
    EXPECT_EQ(back.GetLayerNo(), 3);
    EXPECT_EQ(back.GetID(), 0x80000102u);
    EXPECT_DOUBLE_EQ(back.GetLineWidth(), 1.5);
    EXPECT_EQ(back.GetTextLine(), land.GetTextLine());
}

TEST_F(LandTest, TextLineTakesTheTurretAsItStands)
{
    // Only the binary reader falls back to turret 20; a line keeps its number.
    CLand high("Land 0 0 150 0 1 0");
    EXPECT_EQ(high.GetTurretNo(), 150);
    EXPECT_DOUBLE_EQ(high.GetLineWidth(), 0.0);
    CLand hairline("Land 0 0 -1 0 1 0");
    EXPECT_EQ(hairline.GetTurretNo(), -1);

    // A short line leaves the rest as the constructor sets it.
    CLand shortLine("Land 1 2");
    EXPECT_EQ(shortLine.GetPoint(), CDPoint(1, 2));
    EXPECT_EQ(shortLine.GetTurretNo(), 0);
    EXPECT_EQ(shortLine.GetLayerNo(), -1);
    EXPECT_EQ(shortLine.GetID(), 0u);
}

// --- Binary record ---

TEST_F(LandTest, BinaryRecordIsByteExact)
{
    CLand land(CDPoint(1, 2), 5);
    land.SetID(0x101);
    land.SetLayerNo(3);
    land.SetType(0x40);
    const auto expected = Record(0x101, 5, 3, 1.0, 2.0, 0x40);
    EXPECT_EQ(Write(land), expected);
    EXPECT_EQ(Write(land, 2), expected);

    CLand back;
    Read(back, expected, 6);
    EXPECT_EQ(back == land, 1);
    EXPECT_EQ(back.GetID(), 0x101u);
    EXPECT_EQ(back.GetLayerNo(), 3);
    EXPECT_EQ(back.GetType(), 0x40);
    EXPECT_DOUBLE_EQ(back.GetLineWidth(), 1.5);
    EXPECT_EQ(Write(back), expected);
}

TEST_F(LandTest, BinaryTurretBeyondTheTableReadsAsTwenty)
{
    struct Case
    {
        std::int32_t stored;
        int read;
    } cases[] = {{150, 20}, {121, 20}, {120, 120}, {0, 0}, {-1, -1}};
    for (const Case& c : cases) {
        CLand land;
        Read(land, Record(1, c.stored, 0, 0, 0, 0), 6);
        EXPECT_EQ(land.GetTurretNo(), c.read) << c.stored;
        if (c.read >= 0) {
            EXPECT_DOUBLE_EQ(land.GetLineWidth(), doc.turretTable[static_cast<std::size_t>(c.read)].size1)
                << c.stored;
        }
    }
}

TEST_F(LandTest, BinaryRecordOfVersionTwoHasNoId)
{
    for (int version : {1, 2, 3, 6}) {
        CLand land;
        Read(land, Record(0x205, 3, 1, 0, 0, 0), version);
        EXPECT_EQ(land.GetID(), version <= 2 ? 0u : 0x205u) << version;
    }
}

TEST_F(LandTest, EveryTruncatedRecordIsRefusedAndLeavesTheLand)
{
    const auto bytes = Record(0x101, 5, 3, 1.0, 2.0, 0x40);
    testing_support::ForEveryTruncation(bytes, [](CArchive& ar) {
        CLand target(CDPoint(9, 9), 3);
        target.SetLayerNo(7);
        EXPECT_THROW(target.Serialize(ar, 6), ArchiveError);
        EXPECT_EQ(target.GetPoint(), CDPoint(9, 9));
        EXPECT_EQ(target.GetTurretNo(), 3);
        EXPECT_EQ(target.GetLayerNo(), 7);
    });
}

// --- Sheet operations ---

TEST_F(LandTest, SheetStoresCopiesOnItsLayerAndDeletesByEquality)
{
    CSheet sheet(1, 0x1, 4, nullptr);
    sheet.SetSheetType(SHEET_BOARD);
    CLand* stored = sheet.NewLand(CDPoint(1, 2), 5);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->GetLayerNo(), 4);
    EXPECT_EQ(stored->GetParent(), &sheet);
    EXPECT_DOUBLE_EQ(stored->GetLineWidth(), 1.5);

    CLand mine(CDPoint(3, 3), 3);
    mine.SetLayerNo(9);
    CLand* copy = sheet.NewLand(mine);
    EXPECT_NE(copy, &mine);
    EXPECT_EQ(copy->GetLayerNo(), 4);
    EXPECT_EQ(mine.GetLayerNo(), 9);
    EXPECT_EQ(sheet.GetHeadLand(), stored);

    std::vector<unsigned> counts(TURRET_MAX + 1, 0);
    sheet.GetCount(ID_INPUT_LAND, counts.data());
    EXPECT_EQ(counts[5], 1u);
    EXPECT_EQ(counts[3], 1u);

    EXPECT_EQ(sheet.DeleteLand(CLand(CDPoint(1, 2), 3)), 0);
    EXPECT_EQ(sheet.DeleteLand(CLand(CDPoint(1, 2), 5)), 1);
    POSITION pos = sheet.GetFirstLandPos();
    EXPECT_EQ(sheet.GetNextLand(pos), copy);
    EXPECT_EQ(pos, nullptr);
}

} // namespace
