// Via item: land choice, wiring mask and ids, bounds and hit tests, the dialog edit, transforms,
// both persistent forms with their version rules, and the sheet's via operations.

#include "model/items/Via.h"

#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/services/ItemDialogs.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/FakeItemDialogs.h"
#include "tests/support/RecordBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr double kEps = 1e-9;

using testing_support::Bytes;

class ProbeVia : public CVia
{
public:
    using CVia::CVia;
    bool Dirty() const { return m_bDirty; }
};

// Land turrets t0..t14 are 10..24, so a result names the byte it came from.
tagVIA Entry(double drill)
{
    tagVIA v;
    v.drill = drill;
    for (int i = 0; i < 15; ++i)
        v.lands[i] = static_cast<std::uint8_t>(10 + i);
    return v;
}

bool SameEntry(const tagVIA& a, const tagVIA& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The raw bytes of an own via-table entry, as a record carries it.
std::vector<std::uint8_t> EntryBytes(const tagVIA& e)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(&e);
    return std::vector<std::uint8_t>(p, p + sizeof e);
}

std::vector<std::uint8_t> Write(CVia& via, int version)
{
    return testing_support::WriteRecord(via, version);
}

void Read(CVia& via, const std::vector<std::uint8_t>& bytes, int version, CDocument* doc)
{
    CArchive ar(CArchive::load, bytes);
    ar.SetDocument(doc);
    via.Serialize(ar, version);
    EXPECT_EQ(ar.Remaining(), 0u);
}

class ViaTest : public ::testing::Test
{
protected:
    ViaTest() : frame(&doc)
    {
        doc.viaTable[3] = Entry(0.4);
        doc.viaTable[5] = Entry(0.6);
        doc.SetWireLayers({0, 1, 2, 3});
        doc.viaLand = 0.5;
        doc.viaDisplay = 0.6;
        doc.viaOuter = 0.3;
    }

    FakeDocument doc;
    FakeFrameServices frame;
};

// --- Construction, copy and comparison ---

TEST_F(ViaTest, ConstructorsTakeTheEntryOfTheirNumberFromTheFrame)
{
    const CVia blank;
    EXPECT_EQ(blank.GetKind(), KIND_VIA);
    EXPECT_EQ(blank.GetViaNo(), -1);
    EXPECT_EQ(blank.GetWireLay(), 0);

    tagVIA ignored = Entry(9.0);
    const CVia a(CDPoint(1, 2), 3, ignored, nullptr, 0b11);
    EXPECT_EQ(a.GetViaNo(), 3);
    EXPECT_DOUBLE_EQ(a.GetVia().drill, 0.4);
    EXPECT_EQ(a.GetWireLay(), 0b11);
    EXPECT_EQ(a.GetLayerID(1), 0u);
    const CVia b(CDPoint(1, 2), 3, &doc, 0b11);
    EXPECT_TRUE(a == b);
    EXPECT_EQ(a.IsHole(), 1);
    EXPECT_EQ(a.IsLand(), 1);
}

TEST_F(ViaTest, CopyAndComparison)
{
    CVia a(CDPoint(1, 2), 3, &doc, 0b101);
    a.SetWire(1, 0x201);
    a.SetID(0x110);
    a.SetType(0x2);
    a.GetBoundingRect();
    const CVia copy(a);
    EXPECT_EQ(copy.GetLayerID(1), 0x201u);
    EXPECT_EQ(copy.GetID(), 0x110u);
    EXPECT_DOUBLE_EQ(copy.GetLandRadius(), 0.5);
    EXPECT_TRUE(SameEntry(copy.GetVia(), a.GetVia()));
    EXPECT_TRUE(copy == a);
    EXPECT_EQ(copy.Compare(a), 1);

    // Equality: number, position, mask and type; ids and per-layer ids do not count.
    CVia other = a;
    other.SetID(1);
    other.SetLayerID(5, 1);
    EXPECT_TRUE(other == a);
    EXPECT_EQ(other.Compare(a), 0);
    other = a;
    other.SetViaNo(5);
    EXPECT_FALSE(other == a);
    other = a;
    other.InvertWire(2);
    EXPECT_FALSE(other == a);
    other = a;
    other.SetType(0x4);
    EXPECT_FALSE(other == a);
    other = a;
    other.SetPoint(CDPoint(1, 2 + 2e-6));
    EXPECT_FALSE(other == a);
}

// --- Land choice ---

TEST_F(ViaTest, LandTurretByLayerKindWiringAndPhoto)
{
    CVia via(CDPoint(0, 0), 3, &doc, 0b1); // wired on position 1 only
    const struct
    {
        int bits, layer, photo, turret;
    } cases[] = {
        {0x100000 | 0x2, 2, 0, 12},
        {0x100000 | 0x4, 1, 1, 22},
        {0x100000, 1, 0, 17},
        {0x100000 | 0x6, 1, 0, 12},
        {0x2, 2, 0, 10},
        {0x4, 2, 0, 20},
        {0x8, 1, 0, 18},
        {0x8, 2, 0, 19},
        {0x1, 1, 0, 0},
        {0x2, 1, 1, 10},
        {0x2, 2, 1, 11},
        {0x4, 1, 1, 20},
        {0x4, 2, 1, 21},
        {0x8, 1, 1, 18},
        {0x8, 2, 1, 19},
        {0x1, 1, 1, 15},
        {0x1, 2, 1, 16},
        {0x1, 0, 1, 16},
        {0x1, 33, 1, 16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(via.GetTurret(c.bits, c.layer, c.photo), c.turret)
            << c.bits << " " << c.layer << " " << c.photo;
}

TEST_F(ViaTest, LandAndHoleOfTheVia)
{
    CVia via(CDPoint(3, 4), 3, &doc, 0b1);
    via.SetType(0x2 | (7 << 16));
    const CLand land = via.GetLand(0x8, 1, 0);
    EXPECT_EQ(land.GetTurretNo(), 18);
    EXPECT_TRUE(land.GetPoint() == CDPoint(3, 4));

    const CHole hole = via.GetHole();
    EXPECT_TRUE(hole.GetPoint() == CDPoint(3, 4));
    EXPECT_DOUBLE_EQ(hole.GetHoleDia(), 0.4);
    EXPECT_EQ(hole.GetHoleShape(), 0);
    EXPECT_EQ(hole.GetType(), 0x3 | (7 << 16));
}

// --- Wiring ---

TEST_F(ViaTest, WiringMaskAndIds)
{
    ProbeVia via(CDPoint(0, 0), 3, &doc, 0);
    via.GetBoundingRect();
    via.SetWire(3, 77);
    EXPECT_EQ(via.GetWireLay(), 0b100);
    EXPECT_EQ(via.CheckWire(3), 1);
    EXPECT_EQ(via.GetLayerID(3), 77u);
    EXPECT_TRUE(via.Dirty());

    // The bit is already set: the id changes, the bounds stay.
    via.GetBoundingRect();
    via.SetWire(3, 78);
    EXPECT_EQ(via.GetLayerID(3), 78u);
    EXPECT_FALSE(via.Dirty());

    via.SetLayerID(9, 1); // mask untouched
    EXPECT_EQ(via.GetWireLay(), 0b100);
    EXPECT_EQ(via.GetLayerID(1), 9u);

    via.ResetWire(3);
    EXPECT_EQ(via.GetWireLay(), 0);
    EXPECT_EQ(via.GetLayerID(3), 0u);
    EXPECT_TRUE(via.Dirty());
    via.GetBoundingRect();
    via.ResetWire(3);
    EXPECT_FALSE(via.Dirty());
    via.ResetAllWire(); // mask already 0
    EXPECT_FALSE(via.Dirty());
    EXPECT_EQ(via.GetLayerID(1), 0u);

    via.SetLayerID(4, 2);
    via.InvertWire(2);
    EXPECT_EQ(via.GetWireLay(), 0b10);
    EXPECT_EQ(via.GetLayerID(2), 4u);
    EXPECT_TRUE(via.Dirty());
    via.InvertWire(33); // counted modulo 32: position 1
    EXPECT_EQ(via.GetWireLay(), 0b11);
    via.ResetLayerID();
    EXPECT_EQ(via.GetLayerID(2), 0u);
    EXPECT_EQ(via.GetWireLay(), 0b11);
    via.ResetAllWire();
    EXPECT_EQ(via.GetWireLay(), 0);

    // Positions outside 1..32 change nothing.
    via.SetWire(0, 5);
    via.SetWire(33, 5);
    via.SetLayerID(5, 40);
    EXPECT_EQ(via.GetWireLay(), 0);
    EXPECT_EQ(via.GetLayerID(33), 0u);
    EXPECT_EQ(via.CheckWire(0), 0);

    via.SetWire(32, 1);
    EXPECT_EQ(static_cast<std::uint32_t>(via.GetWireLay()), 0x80000000u);
    EXPECT_EQ(via.CheckWire(32), 1);
}

TEST_F(ViaTest, HoleKindAndToolNumber)
{
    CVia via;
    via.SetType(0x6);
    EXPECT_EQ(via.GetHoleType(), 6);
    EXPECT_EQ(via.IsTestHole(), 1);
    EXPECT_EQ(via.IsCheckHole(), 1);
    via.SetToolNo(12);
    EXPECT_EQ(via.GetToolNo(), 12);
    EXPECT_EQ(via.GetType(), 0x6 | (12 << 16));
}

// --- Bounds and hit tests ---

TEST_F(ViaTest, BoundsComeFromTheCurrentBoard)
{
    CVia via(CDPoint(10, 10), 3, &doc, 0b1);
    EXPECT_TRUE(via.GetBoundingRect() == CDRect(9.4, 9.4, 10.6, 10.6));
    EXPECT_DOUBLE_EQ(via.GetLandRadius(), 0.5);
    EXPECT_TRUE(via.GetNetBoundingRect() == CDRect(9.7, 9.7, 10.3, 10.3));

    doc.viaDisplay = 0.0;
    via.SetPoint(CDPoint(1, 1));
    EXPECT_TRUE(via.GetBoundingRect().IsRectNull());

    FakeFrameServices noBoard; // a frame without a board
    via.SetPoint(CDPoint(2, 2));
    EXPECT_TRUE(via.GetBoundingRect().IsRectNull());
    EXPECT_DOUBLE_EQ(via.GetLandRadius(), 0.5); // sizes keep their values
}

TEST_F(ViaTest, PointHitTest)
{
    CVia via(CDPoint(10, 10), 3, &doc, 0);
    const struct
    {
        CDPoint p;
        int hit;
    } cases[] = {
        {CDPoint(10.3, 10.3), 1},   // inside the circle
        {CDPoint(9.5, 10), 1},      // on the circle at the left edge
        {CDPoint(10.5, 10), 0},     // right edge of the square is out
        {CDPoint(10.45, 10.45), 0}, // corner of the square, outside the circle
        {CDPoint(12, 10), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(via.CheckPoint(c.p), c.hit) << c.p.x << "," << c.p.y;

    // A square unwired land covers the corner up to its side.
    doc.turretTable[16] = tagTURRET{TURRET_SQUARE, 0.8, 0.0}; // t6
    EXPECT_EQ(via.CheckPoint(CDPoint(10.45, 10.45)), 0);      // 0.9 > 0.8
    doc.turretTable[16] = tagTURRET{TURRET_SQUARE, 1.0, 0.0};
    EXPECT_EQ(via.CheckPoint(CDPoint(10.45, 10.45)), 1);

    // A turret byte of 0 is no land, whatever aperture 0 is.
    doc.turretTable[16] = tagTURRET{};
    doc.turretTable[0] = tagTURRET{TURRET_SQUARE, 5.0, 0.0};
    doc.viaTable[3].lands[1] = 0;
    CVia noLand(CDPoint(10, 10), 3, &doc, 0);
    EXPECT_EQ(noLand.CheckPoint(CDPoint(10.45, 10.45)), 0);

    doc.viaLand = 0.0;
    CVia none(CDPoint(10, 10), 3, &doc, 0);
    EXPECT_EQ(none.CheckPoint(CDPoint(10, 10)), 0);
}

TEST_F(ViaTest, RectangleHitTest)
{
    CVia via(CDPoint(10, 10), 3, &doc, 0);
    EXPECT_EQ(via.CheckPoint(CDRect(11, 11, 12, 12)), 0);
    EXPECT_EQ(via.CheckPoint(CDRect(10.5, 9, 11, 11)), 0);    // touches the square's edge only
    EXPECT_EQ(via.CheckPoint(CDRect(9, 9.9, 11, 10.1)), 1);   // overlap as wide as the radius
    EXPECT_EQ(via.CheckPoint(CDRect(10.2, 10.2, 11, 11)), 1); // a corner inside the circle
    EXPECT_EQ(via.CheckPoint(CDRect(10.4, 10.4, 11, 11)), 0); // only the square's corner
    doc.turretTable[21] = tagTURRET{TURRET_SQUARE, 0.1, 0.0}; // t11
    EXPECT_EQ(via.CheckPoint(CDRect(10.4, 10.4, 11, 11)), 1);

    doc.viaLand = -1.0;
    CVia none(CDPoint(10, 10), 3, &doc, 0);
    EXPECT_EQ(none.CheckPoint(CDRect(0, 0, 20, 20)), 0);
}

TEST_F(ViaTest, SnapWithinDistance)
{
    const CVia via(CDPoint(1, 1), 3, &doc, 0);
    CDPoint p(1.3, 1.4);
    EXPECT_EQ(via.CheckItemPoint(p, 0.49), 0);
    EXPECT_TRUE(p == CDPoint(1.3, 1.4));
    EXPECT_EQ(via.CheckItemPoint(p, 0.5), 1);
    EXPECT_TRUE(p == CDPoint(1, 1));
}

// --- Transforms ---

TEST_F(ViaTest, Transforms)
{
    ProbeVia via(CDPoint(1, 2), 3, &doc, 0);
    via.Offset(CDPoint(1, 1));
    EXPECT_TRUE(via.GetPoint() == CDPoint(2, 3));
    EXPECT_TRUE(via.GetBoundingRect() == CDRect(1.4, 2.4, 2.6, 3.6));

    via.Rotate(CDPoint(0, 0), std::numbers::pi / 2);
    EXPECT_NEAR(via.GetPoint().x, -3, kEps);
    EXPECT_NEAR(via.GetPoint().y, 2, kEps);
    EXPECT_TRUE(via.Dirty());
    EXPECT_NEAR(via.GetBoundingRect().left, -3.6, kEps);

    via.MirrorX(1);
    EXPECT_NEAR(via.GetPoint().x, 5, kEps);
    via.MirrorY(0);
    EXPECT_NEAR(via.GetPoint().y, -2, kEps);

    via.GetBoundingRect();
    via.Scale(CDPoint(1, 0), CDSize(2, 3));
    EXPECT_NEAR(via.GetPoint().x, 9, kEps);
    EXPECT_NEAR(via.GetPoint().y, -6, kEps);
    EXPECT_FALSE(via.Dirty());
}

// --- Edit ---

class ViaEditTest : public ViaTest
{
protected:
    ViaEditTest()
    {
        // Wiring positions 1..4 on layers 0..3; layer 5 is not a wiring layer.
        const int types[4] = {0x1 | 0x2, 0x1 | 0x8, 0x1, 0x1 | 0x4};
        for (int i = 0; i < 4; ++i) {
            sheets.push_back(std::make_unique<CSheet>(i + 1, types[i], i, &doc));
            doc.boardSheets[i] = sheets.back().get();
        }
        sheets.push_back(std::make_unique<CSheet>(0, 0x2, 5, &doc));
        doc.boardSheets[5] = sheets.back().get();
        viaSheet.SetSheetType(SHEET_BOARD_VIAPART);
    }

    std::vector<std::unique_ptr<CSheet>> sheets;
    CSheet viaSheet{0, 0, 128, &doc};
    FakeItemDialogs dialogs;
};

TEST_F(ViaEditTest, SingleEditFillsTheDialogAndAppliesIt)
{
    CVia* via = viaSheet.NewVia(CDPoint(0, 0), 3, 0b0001);
    via->SetType(0x2 | 0x10);
    dialogs.onVia = [](ViaDialogData& d) {
        d.viaNo = 5;
        d.wiringMask = 0b1001;
        d.holeKind = 4;
    };
    int out = -7;
    EXPECT_TRUE(via->EditVia(false, &out));
    const ViaDialogData& seen = dialogs.lastVia;
    EXPECT_EQ(seen.wireCount, 4);
    EXPECT_EQ(seen.layers, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(seen.layerTypes, (std::vector<int>{0x3, 0x9, 0x1, 0x5}));
    EXPECT_EQ(seen.multiple, 0);
    EXPECT_EQ(out, -7);

    EXPECT_EQ(via->GetViaNo(), 5);
    EXPECT_DOUBLE_EQ(via->GetVia().drill, 0.6);
    EXPECT_EQ(via->GetWireLay(), 0b1001);
    EXPECT_EQ(via->GetType(), 0x4 | 0x10);
}

TEST_F(ViaEditTest, DialogStartsFromTheViaAndCancelChangesNothing)
{
    const struct
    {
        int type, kind;
    } cases[] = {{0, 0}, {0x2, 2}, {0x4, 4}, {0x6, 4}};
    for (const auto& c : cases) {
        CVia via(CDPoint(0, 0), 3, &doc, 0b10);
        via.SetType(c.type);
        dialogs.answer = false;
        dialogs.onVia = [](ViaDialogData& d) {
            d.viaNo = 5;
            d.wiringMask = 0;
        };
        EXPECT_FALSE(via.EditVia(false, nullptr));
        EXPECT_EQ(dialogs.lastVia.viaNo, 3);
        EXPECT_EQ(dialogs.lastVia.wiringMask, 0b10);
        EXPECT_EQ(dialogs.lastVia.holeKind, c.kind) << c.type;
        EXPECT_EQ(via.GetViaNo(), 3);
        EXPECT_EQ(via.GetWireLay(), 0b10);
        EXPECT_EQ(via.GetType(), c.type);
    }
}

TEST_F(ViaEditTest, MultipleEditHandsBackTheKeptPositions)
{
    CVia blank; // stands in no sheet: the current board answers
    blank.ResetAllWire();
    blank.SetViaNo(0);
    dialogs.onVia = [](ViaDialogData& d) {
        d.viaNo = 0;
        d.holeKind = 15;
        d.wiringMask = 0b0110;
        d.extra = 0b1001;
    };
    int keep = 0;
    EXPECT_TRUE(blank.EditVia(true, &keep));
    EXPECT_EQ(dialogs.lastVia.multiple, 1);
    EXPECT_EQ(dialogs.lastVia.wireCount, 4);
    EXPECT_EQ(keep, 0b1001);
    EXPECT_EQ(blank.GetType() & 0xF, 15);
    EXPECT_EQ(blank.GetWireLay(), 0b0110);
    EXPECT_EQ(blank.GetViaNo(), 0);
}

// --- Board-file record ---

class ViaRecordTest : public ViaTest
{
protected:
    ViaRecordTest()
    {
        via.SetID(0x110);
        via.SetType(0x2);
        via.SetWire(1, 0x201);
        via.SetWire(3, 0x403);
    }

    static Bytes Head(std::int32_t id, std::int32_t number, std::int32_t mask)
    {
        Bytes b;
        b.I32(id).I32(number).F64(1).F64(2).I32(0x2).I32(mask);
        return b;
    }

    CVia via{CDPoint(1, 2), 3, &doc, 0};
};

TEST_F(ViaRecordTest, MaskBitsDecideTheIdsFromVersion6)
{
    EXPECT_EQ(Write(via, 6), Head(0x110, 3, 0b101).I32(0x201).I32(0x403).v);
    EXPECT_EQ(Write(via, 5), Head(0x110, 3, 0b101).v);

    // A via with its own entry carries it.
    doc.viaTable[0] = Entry(0.9);
    CVia own(CDPoint(1, 2), 0, &doc, 0);
    own.SetID(0x110);
    own.SetType(0x2);
    EXPECT_EQ(Write(own, 6), Head(0x110, 0, 0).Raw(EntryBytes(Entry(0.9))).v);
}

TEST_F(ViaRecordTest, Version6ReadsBackWithABoard)
{
    CVia back;
    Read(back, Write(via, 6), 6, &doc);
    EXPECT_TRUE(back == via);
    EXPECT_EQ(back.GetID(), 0x110u);
    EXPECT_EQ(back.GetLayerID(1), 0x201u);
    EXPECT_EQ(back.GetLayerID(3), 0x403u);
    EXPECT_EQ(back.GetWireLay(), 0b101); // no repair from version 6 on
    EXPECT_TRUE(SameEntry(back.GetVia(), doc.viaTable[3]));

    // A via's own entry comes from its record, not from the table.
    doc.viaTable[0] = Entry(0.9);
    CVia own(CDPoint(1, 2), 0, &doc, 0);
    const auto bytes = Write(own, 6);
    doc.viaTable[0] = Entry(0.1);
    CVia ownBack;
    Read(ownBack, bytes, 6, &doc);
    EXPECT_EQ(ownBack.GetViaNo(), 0);
    EXPECT_DOUBLE_EQ(ownBack.GetVia().drill, 0.9);
}

TEST_F(ViaRecordTest, OlderVersionsDropIdsAndJoinTheOuterWiringLayers)
{
    // Version 5 with a board: id 0, mask gains position 1 and the last position (4).
    CVia back;
    Read(back, Head(0x110, 3, 0b010).v, 5, &doc);
    EXPECT_EQ(back.GetID(), 0u);
    EXPECT_EQ(back.GetWireLay(), 0b1011);
    EXPECT_EQ(back.GetLayerID(2), 0u);

    // Without a board the mask stays as stored.
    CVia loose;
    Read(loose, Head(0x110, 0, 0b010).Raw(EntryBytes(Entry(0.9))).v, 5, nullptr);
    EXPECT_EQ(loose.GetWireLay(), 0b010);
}

TEST_F(ViaRecordTest, Version2CountsViaNumbersFromZero)
{
    // Stored 0 is via 1 (no entry follows); stored -1 is via 0 with its entry.
    doc.viaTable[1] = Entry(0.3);
    CVia one;
    Read(one, Head(0x110, 0, 0).v, 2, &doc);
    EXPECT_EQ(one.GetViaNo(), 1);
    EXPECT_DOUBLE_EQ(one.GetVia().drill, 0.3);

    CVia own;
    Read(own, Head(0x110, -1, 0).Raw(EntryBytes(Entry(0.9))).v, 2, &doc);
    EXPECT_EQ(own.GetViaNo(), 0);
    EXPECT_DOUBLE_EQ(own.GetVia().drill, 0.9);
    EXPECT_EQ(own.GetID(), 0u);
}

TEST_F(ViaRecordTest, WithoutABoardOnlyAnOwnEntryIsKept)
{
    CVia numbered;
    Read(numbered, Write(via, 6), 6, nullptr);
    EXPECT_EQ(numbered.GetViaNo(), 0);
    EXPECT_TRUE(SameEntry(numbered.GetVia(), tagVIA{}));
    EXPECT_EQ(numbered.GetLayerID(3), 0x403u);
    EXPECT_DOUBLE_EQ(numbered.GetLandRadius(), 0.0);

    CVia own;
    Read(own, Head(0x110, 0, 0).Raw(EntryBytes(Entry(0.9))).v, 6, nullptr);
    EXPECT_EQ(own.GetViaNo(), 0);
    EXPECT_TRUE(SameEntry(own.GetVia(), Entry(0.9)));
}

TEST_F(ViaRecordTest, EveryTruncatedRecordIsRefusedAndLeavesTheVia)
{
    doc.viaTable[0] = Entry(0.9);
    CVia own(CDPoint(1, 2), 0, &doc, 0b101);
    own.SetWire(1, 7);
    own.SetWire(3, 9);
    for (CVia* source : {&via, &own}) {
        const auto bytes = Write(*source, 6);
        testing_support::ForEveryTruncation(
            bytes,
            [this](CArchive& ar) {
                CVia target(CDPoint(9, 9), 5, &doc, 0b10);
                target.SetWire(2, 4);
                EXPECT_THROW(target.Serialize(ar, 6), ArchiveError);
                EXPECT_TRUE(target.GetPoint() == CDPoint(9, 9));
                EXPECT_EQ(target.GetViaNo(), 5);
                EXPECT_EQ(target.GetWireLay(), 0b10);
                EXPECT_EQ(target.GetLayerID(2), 4u);
            },
            &doc);
    }
}

// --- Text form ---

TEST_F(ViaTest, TextLineAndItsReadBack)
{
    CVia via(CDPoint(1, -2.5), 3, &doc, 0b101);
    via.SetType(0x4);
    via.SetID(0xFFFFFF10u);
    const std::string line = via.GetTextLines();
    EXPECT_EQ(line, "Via 1.00000000 -2.50000000 3 4 5 -240\n");
    CArchive ar(CArchive::store);
    via.SerializeText(ar);
    EXPECT_EQ(std::string(ar.Data().begin(), ar.Data().end()), line);

    const CVia back(line.c_str(), &doc);
    EXPECT_TRUE(back == via);
    EXPECT_EQ(back.GetID(), 0xFFFFFF10u);
    EXPECT_DOUBLE_EQ(back.GetVia().drill, 0.4);
    EXPECT_EQ(back.GetLayerID(1), 0u);
}

// --- Sheet operations ---

TEST_F(ViaTest, SheetStoresViasWithTheirOwnLayer)
{
    CSheet board(1, 0x1, 0, &doc);
    board.SetSheetType(SHEET_BOARD);
    CVia via(CDPoint(1, 1), 3, &doc, 0b1);
    via.SetWire(1, 0x201);
    CVia* stored = board.NewVia(via);
    EXPECT_EQ(stored->GetParent(), &board);
    EXPECT_EQ(stored->GetLayerNo(), -1);
    EXPECT_EQ(stored->GetLayerID(1), 0x201u);

    // The via and part sheet makes the copper-group ids again.
    CSheet viaSheet(0, 0, 128, &doc);
    viaSheet.SetSheetType(SHEET_BOARD_VIAPART);
    CVia* kept = viaSheet.NewVia(via);
    EXPECT_EQ(kept->GetLayerID(1), 0u);
    EXPECT_EQ(kept->GetWireLay(), 0b1);
    EXPECT_EQ(via.GetLayerID(1), 0x201u);

    CVia* made = viaSheet.NewVia(CDPoint(2, 2), 5, 0b11);
    EXPECT_EQ(made->GetViaNo(), 5);
    EXPECT_DOUBLE_EQ(made->GetVia().drill, 0.6);
    EXPECT_EQ(made->GetWireLay(), 0b11);

    unsigned counts[VIA_MAX + 1] = {};
    viaSheet.GetCount(ID_INPUT_VIA, counts, VIA_MAX + 1);
    EXPECT_EQ(counts[3], 1u);
    EXPECT_EQ(counts[5], 1u);

    EXPECT_EQ(viaSheet.GetHeadVia(), kept);
    EXPECT_EQ(viaSheet.DeleteVia(via), 1);
    EXPECT_EQ(viaSheet.GetHeadVia(), made);
    POSITION pos = viaSheet.GetFirstViaPos();
    EXPECT_EQ(viaSheet.GetNextVia(pos), made);
    EXPECT_FALSE(static_cast<bool>(pos));
}

} // namespace
