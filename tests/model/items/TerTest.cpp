// Terminal item: number split and sort order, hit box and bounds, copying, copper-group links,
// transforms, both persistent forms with the side buffer, and the sheet's terminal operations.

#include "model/items/Ter.h"

#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/RecordBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

constexpr double kEps = 1e-9;

using testing_support::Bytes;

// Stand-in copper groups: the hooks read the id from the object the pointer names.
struct FakeGroup
{
    std::uint32_t id = 0;
    std::vector<const CTer*> members;
};

CNetLine* AsGroup(FakeGroup& g)
{
    return reinterpret_cast<CNetLine*>(&g);
}

const FakeGroup* FromGroup(const CNetLine* g)
{
    return reinterpret_cast<const FakeGroup*>(g);
}

TerNetHooks FakeHooks()
{
    TerNetHooks hooks;
    hooks.groupId = [](const CNetLine* g) { return FromGroup(g)->id; };
    hooks.groupHolds = [](const CNetLine* g, const CTer* t) {
        const auto& m = FromGroup(g)->members;
        return std::find(m.begin(), m.end(), t) != m.end();
    };
    hooks.groupAdd = [](CNetLine* g, CTer* t) {
        reinterpret_cast<FakeGroup*>(g)->members.push_back(t);
        t->AddTailNetLine(g);
    };
    return hooks;
}

LOGFONTA StrokeFont()
{
    LOGFONTA lf;
    lf.lfHeight = 200; // 2 mm cells, 0.5 mm spacing: one character is 1.5 x 2 mm
    lf.lfWidth = 200;
    lf.lfWeight = 50;
    return lf;
}

CText Number(const std::string& s, CDPoint at = CDPoint(0, 0))
{
    CText t(s, at, 1);
    t.SetFontRecord(StrokeFont());
    return t;
}

CTer Ter(const std::string& no, CDPoint at = CDPoint(0, 0), int type = 0)
{
    return CTer(at, CText(no, at, 0), type);
}

std::vector<std::uint8_t> Write(CTer& ter, int version)
{
    return testing_support::WriteRecord(ter, version);
}

std::vector<std::uint8_t> TextRecord(const CText& text, int version)
{
    CText copy(text);
    return testing_support::WriteRecord(copy, version);
}

class ProbeTer : public CTer
{
public:
    using CTer::CTer;
    bool Dirty() const { return m_bDirty; }
};

class TerTest : public ::testing::Test
{
protected:
    TerTest() : frame(&doc) {}

    // The stand-in groups below are not copper groups: the library's group code stays out.
    const ScopedTerNetHooks noGroupCode{TerNetHooks{}};
    FakeDocument doc;
    FakeFrameServices frame;
};

// --- Number split and sort order ---

TEST_F(TerTest, NumberSplitsIntoPrefixAndTrailingNumber)
{
    const struct
    {
        std::string no;
        int result;
        std::string prefix;
        int number;
    } cases[] = {
        {"", 0, "", 0},
        {"A10", 1, "A", 10},
        {"12", 1, "", 12},
        {"AB", 1, "AB", 0},
        {"A1B2", 1, "A1B", 2},
        {"A007", 1, "A", 7},
        {_J("端子3"), 1, _J("端子"), 3},
    };
    for (const auto& c : cases) {
        const CTer t = Ter(c.no);
        std::string prefix = "x";
        int number = -1;
        EXPECT_EQ(t.GetNo(prefix, &number), c.result) << c.no;
        EXPECT_EQ(prefix, c.prefix) << c.no;
        EXPECT_EQ(number, c.number) << c.no;
    }
}

TEST_F(TerTest, SortOrderPutsRealTerminalsByPrefixThenNumberBeforeVirtualOnes)
{
    std::vector<CTer> ters;
    for (const char* no : {"A10", "A9", "a1", "B2"})
        ters.push_back(Ter(no));
    CTer virt = Ter("A1");
    virt.SetVirtualTer();
    ters.insert(ters.begin(), virt);
    std::stable_sort(ters.begin(), ters.end());
    std::vector<std::string> order;
    for (const CTer& t : ters)
        order.push_back(t.GetNo() + (t.IsVirtualTer() ? "*" : ""));
    EXPECT_EQ(order, (std::vector<std::string>{"a1", "A9", "A10", "B2", "A1*"}));

    // Pairs: less, and not the other way round.
    const std::pair<const char*, const char*> less[] = {
        {"a2", "A3"}, {"A", "A1"}, {"A99", "B1"}, {"A9", "A10"}};
    for (const auto& [a, b] : less) {
        EXPECT_TRUE(Ter(a) < Ter(b)) << a << " " << b;
        EXPECT_FALSE(Ter(b) < Ter(a)) << a << " " << b;
    }
    EXPECT_FALSE(Ter("a1") < Ter("A1"));
    EXPECT_FALSE(Ter("A1") < Ter("a1"));
}

// --- Type bits ---

TEST_F(TerTest, NetConditionAndVirtualBits)
{
    CTer t = Ter("1", CDPoint(0, 0), 0x40);
    t.SetNetCondition(1);
    EXPECT_EQ(t.IsNetOn(), 1);
    EXPECT_EQ(t.GetType(), 0x41);
    t.SetNetCondition(0x10);
    EXPECT_EQ(t.IsNetOn(), 0);
    EXPECT_EQ(t.GetType(), 0x50);
    t.SetNetCondition(1);
    t.SetVirtualTer();
    EXPECT_EQ(t.IsVirtualTer(), 1);
    EXPECT_EQ(t.IsNetOn(), 0);
}

// --- Hit box and bounds ---

TEST_F(TerTest, HitBoxIsTheSquareAroundThePointWithLeftAndTopEdgesIn)
{
    CTer t = Ter("", CDPoint(5, 5));
    const struct
    {
        CDPoint p;
        int hit;
    } cases[] = {
        {CDPoint(5, 5), 1},   {CDPoint(4.9, 5), 1},         {CDPoint(5.1, 5), 0},    {CDPoint(5, 4.9), 1},
        {CDPoint(5, 5.1), 0}, {CDPoint(5.0999, 5.0999), 1}, {CDPoint(4.8999, 5), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(t.CheckPoint(c.p), c.hit) << c.p.x << "," << c.p.y;
        CDPoint snap = c.p;
        EXPECT_EQ(t.CheckItemPoint(snap), c.hit);
        EXPECT_EQ(snap == (c.hit ? CDPoint(5, 5) : c.p), true);
    }
    // Rectangles must overlap with some area.
    EXPECT_EQ(t.CheckPoint(CDRect(5.05, 5.05, 6, 6)), 1);
    EXPECT_EQ(t.CheckPoint(CDRect(5.1, 5.0, 6, 6)), 0); // touches the right edge only
    EXPECT_EQ(t.CheckPoint(CDRect(3, 3, 4.9, 4.9)), 0);
}

TEST_F(TerTest, NumberTextIsHitOutsideTheSquare)
{
    // "1" at (10, 20), bottom left: 1.5 x 2 mm.
    CTer t(CDPoint(10, 20), Number("1", CDPoint(10, 20)), 0);
    EXPECT_EQ(t.CheckPoint(CDPoint(11, 21)), 1);
    EXPECT_EQ(t.CheckPoint(CDPoint(12, 21)), 0);
    EXPECT_EQ(t.CheckPoint(CDRect(11, 21, 13, 23)), 1);
    CDPoint p(11, 21);
    EXPECT_EQ(t.CheckItemPoint(p), 0); // the text does not snap
}

TEST_F(TerTest, BoundsUniteTheSquareWithTheNumberButNotThePadExtent)
{
    CTer t(CDPoint(10, 20), Number("1", CDPoint(10, 20)), 0);
    t.SetItemBoundingRect(CDRect(0, 0, 100, 100));
    const CDRect r = t.GetBoundingRect();
    EXPECT_NEAR(r.left, 9.9, kEps);
    EXPECT_NEAR(r.top, 19.9, kEps);
    EXPECT_NEAR(r.right, 11.5, kEps);
    EXPECT_NEAR(r.bottom, 22.0, kEps);

    CTer bare = Ter("", CDPoint(1, 1));
    EXPECT_TRUE(bare.GetBoundingRect() == CDRect(0.9, 0.9, 1.1, 1.1));
}

// --- Construction and copying ---

TEST_F(TerTest, ConstructorsAndCopies)
{
    CTer empty;
    EXPECT_EQ(empty.GetKind(), KIND_TER);
    EXPECT_EQ(empty.GetNetID(), 0u);
    EXPECT_EQ(empty.GetNo(), "");
    EXPECT_EQ(empty.GetNoText()->GetParent(), &empty);

    // The number text belongs to the terminal, not to the owner of the given text.
    CTer owner = Ter("9");
    CTer t(CDPoint(1, 2), *owner.GetNoText(), 0x41);
    EXPECT_EQ(t.GetNoText()->GetParent(), &t);
    EXPECT_EQ(t.GetType(), 0x41);
    EXPECT_EQ(t.GetNo(), "9");

    t.SetNetID(7);
    t.SetDisNetID(8);
    t.SetItemBoundingRect(CDRect(0, 0, 2, 3));
    FakeGroup g;
    t.AddTailNetLine(AsGroup(g));
    const CTer copy(t);
    EXPECT_EQ(copy.GetNoText()->GetParent(), &copy);
    EXPECT_EQ(copy.GetNetID(), 7u);
    EXPECT_EQ(copy.GetDisNetID(), 0u); // not copied
    EXPECT_TRUE(copy.GetItemBoundingRect() == CDRect(0, 0, 2, 3));
    EXPECT_EQ(copy.GetHeadNetLine(), AsGroup(g));
    EXPECT_TRUE(copy == t);

    CTer moved = t;
    moved.SetPoint(CDPoint(1, 2.1));
    EXPECT_FALSE(moved == t);
    CTer renamed = t;
    renamed.GetNoText()->SetName(std::string("10"));
    EXPECT_FALSE(renamed == t);
}

TEST_F(TerTest, IdsLayersAndPointReachTheNumberText)
{
    CTer t = Ter("1", CDPoint(0, 0));
    t.SetID(0x305);
    t.SetLayerNo(4);
    EXPECT_EQ(t.GetNoText()->GetID(), 0x305u);
    EXPECT_EQ(t.GetNoText()->GetLayerNo(), 4);
    t.SetPoint(CDPoint(3, 4));
    EXPECT_TRUE(t.GetNoText()->GetPoint() == CDPoint(3, 4));
    t.SetName("\"A3\" 3 4 64 14 0 0 4 773");
    EXPECT_EQ(t.GetNo(), "A3");
    EXPECT_EQ(t.GetNoText()->GetParent(), &t);
}

// --- Copper groups ---

TEST_F(TerTest, CopperGroupListWithoutTheGroupCodeIsOneWay)
{
    CTer t = Ter("1");
    FakeGroup a, b;
    EXPECT_EQ(t.IsNetEmpty(), 1);
    EXPECT_EQ(t.GetHeadNetLine(), nullptr);
    t.AddTailNetLine(AsGroup(a));
    t.AddTailNetLine(AsGroup(b));
    t.AddTailNetLine(AsGroup(a)); // already there
    EXPECT_EQ(t.GetNetCount(), 2);
    EXPECT_EQ(t.GetHeadNetLine(), AsGroup(a));
    EXPECT_EQ(t.GetTailNetLine(), AsGroup(b));
    EXPECT_TRUE(a.members.empty());

    std::vector<CNetLine*> seen;
    for (auto pos = t.GetFirstNetLinePos(); pos;)
        seen.push_back(t.GetNextNetLine(pos));
    EXPECT_EQ(seen, (std::vector<CNetLine*>{AsGroup(a), AsGroup(b)}));
    EXPECT_TRUE(static_cast<bool>(t.FindNetLine(AsGroup(b))));

    t.RemoveNetLine(AsGroup(a));
    EXPECT_FALSE(static_cast<bool>(t.FindNetLine(AsGroup(a))));
    t.RemoveNetLine(AsGroup(a)); // absent: nothing
    EXPECT_EQ(t.GetNetCount(), 1);
    t.RemoveAllNetLine();
    EXPECT_EQ(t.IsNetEmpty(), 1);
}

TEST_F(TerTest, CopperGroupLinksBothWaysThroughTheGroupCode)
{
    const ScopedTerNetHooks hooks(FakeHooks());
    CTer t = Ter("1");
    FakeGroup g;
    t.AddTailNetLine(AsGroup(g));
    EXPECT_EQ(g.members, (std::vector<const CTer*>{&t}));
    EXPECT_EQ(t.GetNetCount(), 1);
    t.AddTailNetLine(AsGroup(g));
    EXPECT_EQ(g.members.size(), 1u);
    EXPECT_EQ(t.GetNetCount(), 1);
}

// --- Transforms ---

TEST_F(TerTest, TransformsMoveThePointTheNumberAndThePadExtent)
{
    CTer t(CDPoint(1, 1), Number("1", CDPoint(1, 2)), 0);
    t.SetItemBoundingRect(CDRect(0, 0, 2, 2));
    t.Offset(CDPoint(1, 2));
    EXPECT_TRUE(t.GetPoint() == CDPoint(2, 3));
    EXPECT_TRUE(t.GetNoText()->GetPoint() == CDPoint(2, 4));
    EXPECT_TRUE(t.GetItemBoundingRect() == CDRect(1, 2, 3, 4));

    t.Rotate(CDPoint(0, 0), std::numbers::pi / 2);
    EXPECT_NEAR(t.GetPoint().x, -3, kEps);
    EXPECT_NEAR(t.GetPoint().y, 2, kEps);
    EXPECT_NEAR(t.GetNoText()->GetPoint().x, -4, kEps);
    EXPECT_NEAR(t.GetNoText()->GetPoint().y, 2, kEps);
    EXPECT_EQ(t.GetNoText()->GetAngle(), 0.0); // the number moves without turning
    EXPECT_NEAR(t.GetItemBoundingRect().left, -4, kEps);
    EXPECT_NEAR(t.GetItemBoundingRect().bottom, 3, kEps);

    t.MirrorX(1);
    EXPECT_NEAR(t.GetPoint().x, 5, kEps);
    EXPECT_NEAR(t.GetNoText()->GetPoint().x, 6, kEps);
    EXPECT_NEAR(t.GetItemBoundingRect().left, 4, kEps);
    EXPECT_NEAR(t.GetItemBoundingRect().right, 6, kEps);
    EXPECT_EQ(t.GetNoText()->GetOrign(), TEXT_ORG_BOTTOM_LEFT); // no flip
    t.MirrorY(0);
    EXPECT_NEAR(t.GetPoint().y, -2, kEps);
    EXPECT_NEAR(t.GetNoText()->GetPoint().y, -2, kEps);
}

TEST_F(TerTest, ScaleMovesOnlyThePointAndLeavesTheBounds)
{
    ProbeTer t(CDPoint(2, 2), Number("1", CDPoint(2, 2)), 0);
    const CDRect before = t.GetBoundingRect();
    ASSERT_FALSE(t.Dirty());
    t.Scale(CDPoint(1, 1), CDSize(2, 3));
    EXPECT_TRUE(t.GetPoint() == CDPoint(3, 4));
    EXPECT_TRUE(t.GetNoText()->GetPoint() == CDPoint(2, 2));
    EXPECT_FALSE(t.Dirty());
    EXPECT_TRUE(t.GetBoundingRect() == before);
}

// --- Board-file record ---

class TerRecordTest : public TerTest
{
protected:
    TerRecordTest()
    {
        ter.SetID(0x101);
        ter.SetLayerNo(3);
        ter.SetParent(&owner);
        g1.id = 0x201;
        g2.id = 0x302;
        ter.AddTailNetLine(AsGroup(g1));
        ter.AddTailNetLine(AsGroup(g2));
    }

    // Point, type, id and layer of the terminal below.
    static std::vector<std::uint8_t> Head(int type)
    {
        Bytes b;
        b.F64(1.5).F64(-2).I32(type).I32(0x101).I32(3);
        return b.v;
    }

    const ScopedTerNetHooks hooks{FakeHooks()};
    CTer owner;
    CTer ter{CDPoint(1.5, -2), CText("A1", CDPoint(1.5, -1), 0), 0x41};
    FakeGroup g1, g2;
};

TEST_F(TerRecordTest, Version6WritesTheGroupIdsOfAnOwnedTerminal)
{
    const auto bytes = Write(ter, 6);
    Bytes expected;
    expected.Raw(Head(0x43)).I32(2).I32(0x201).I32(0x302).Raw(TextRecord(*ter.GetNoText(), 6));
    EXPECT_EQ(bytes, expected.v);
    EXPECT_EQ(ter.IsNetLineHave(), 1);
}

TEST_F(TerRecordTest, Version5OrNoOwnerClearsTheBitAndWritesNoIds)
{
    Bytes v5;
    v5.Raw(Head(0x41)).Raw(TextRecord(*ter.GetNoText(), 5));
    EXPECT_EQ(Write(ter, 5), v5.v);
    EXPECT_EQ(ter.IsNetLineHave(), 0);

    Write(ter, 6);
    ter.ResetParent();
    Bytes loose;
    loose.Raw(Head(0x41)).Raw(TextRecord(*ter.GetNoText(), 6));
    EXPECT_EQ(Write(ter, 6), loose.v);
}

TEST_F(TerRecordTest, VirtualTerminalIsWrittenNormally)
{
    ter.RemoveAllNetLine();
    ter.SetVirtualTer();
    const auto bytes = Write(ter, 6);
    Bytes expected;
    expected.Raw(Head(0x2040)).Raw(TextRecord(*ter.GetNoText(), 6));
    EXPECT_EQ(bytes, expected.v);
}

TEST_F(TerRecordTest, ReadingAnOwnedTerminalPutsItsGroupIdsInTheSideBuffer)
{
    auto bytes = Write(ter, 6);
    const std::size_t one = bytes.size();
    bytes.insert(bytes.end(), bytes.begin(), bytes.end()); // two records in a row

    CArchive ar(CArchive::load, bytes);
    ar.SideBuffer() = {0xAA};
    CTer a;
    a.SetParent(&owner);
    a.Serialize(ar, 6);
    EXPECT_EQ(ar.GetPosition(), one);
    EXPECT_TRUE(a == ter);
    EXPECT_EQ(a.GetType(), 0x43);
    EXPECT_EQ(a.GetID(), 0x101u);
    EXPECT_EQ(a.GetLayerNo(), 3);
    EXPECT_EQ(a.GetNoText()->GetParent(), &a);
    EXPECT_EQ(a.IsNetEmpty(), 1); // links are made after the load
    Bytes side;
    side.v = {0xAA};
    side.I32(2).I32(0x201).I32(0x302);
    EXPECT_EQ(ar.SideBuffer(), side.v);

    // A loose terminal read without an owner consumes the ids and drops them.
    CTer b;
    b.Serialize(ar, 6);
    EXPECT_EQ(ar.Remaining(), 0u);
    EXPECT_TRUE(b == ter);
    EXPECT_EQ(ar.SideBuffer(), side.v);

    // The side buffer reads back as the same records.
    auto back = ar.OpenSideBuffer();
    std::uint8_t marker = 0;
    std::int32_t count = 0;
    std::uint32_t id1 = 0, id2 = 0;
    *back >> marker >> count >> id1 >> id2;
    EXPECT_EQ(count, 2);
    EXPECT_EQ(id2, 0x302u);
}

TEST_F(TerRecordTest, VersionFiveRecordsHaveNoIdsWhateverTheBit)
{
    // A version-5 record never carries ids, even with the bit set.
    Bytes rec;
    rec.Raw(Head(0x43)).Raw(TextRecord(*ter.GetNoText(), 5));
    CArchive ar(CArchive::load, rec.v);
    CTer t;
    t.SetParent(&owner);
    t.Serialize(ar, 5);
    EXPECT_EQ(ar.Remaining(), 0u);
    EXPECT_TRUE(ar.SideBuffer().empty());
    EXPECT_EQ(t.GetNo(), "A1");
}

TEST_F(TerRecordTest, EveryTruncatedRecordIsRefusedAndChangesNothing)
{
    const auto bytes = Write(ter, 6);
    testing_support::ForEveryTruncation(bytes, [this](CArchive& ar) {
        CTer target = Ter("Z", CDPoint(9, 9));
        target.SetParent(&owner);
        EXPECT_THROW(target.Serialize(ar, 6), ArchiveError);
        EXPECT_TRUE(target.GetPoint() == CDPoint(9, 9));
        EXPECT_EQ(target.GetNo(), "Z");
        EXPECT_TRUE(ar.SideBuffer().empty());
    });
}

TEST_F(TerRecordTest, NegativeGroupCountIsRefused)
{
    Bytes rec;
    rec.Raw(Head(0x43)).I32(-1).Raw(TextRecord(*ter.GetNoText(), 6));
    CArchive ar(CArchive::load, rec.v);
    CTer t;
    t.SetParent(&owner);
    EXPECT_THROW(t.Serialize(ar, 6), ArchiveError);
}

// --- Text form ---

TEST_F(TerTest, TextLinesAndTheirReadBack)
{
    CText number("A10", CDPoint(1.5, -1), 0);
    number.SetTurretNo(0); // as the line reads it back
    CTer t(CDPoint(1.5, -2), number, 0x41);
    t.SetLayerNo(3);
    t.SetID(0x101);
    t.SetNetID(7);
    const std::string lines = t.GetTextLines();
    EXPECT_EQ(lines, "Ter 1.50000000 -2.00000000 65 3 7 257\n"
                     "No \"A10\" 1.500000 -1.000000 50 8 0.000000 0 3 257\n");
    CArchive ar(CArchive::store);
    t.SerializeText(ar);
    EXPECT_EQ(std::string(ar.Data().begin(), ar.Data().end()), lines);

    const std::size_t split = lines.find('\n') + 1;
    CTer back(lines.substr(0, split).c_str());
    EXPECT_EQ(back.GetNo(), "");
    EXPECT_EQ(back.GetNoText()->GetID(), 0x101u);
    EXPECT_EQ(back.GetNetID(), 0u); // the line's net id is not kept
    EXPECT_EQ(back.GetType(), 0x41);
    EXPECT_EQ(back.GetLayerNo(), 3);
    EXPECT_EQ(back.GetID(), 0x101u);
    back.SetName(lines.substr(split + 3).c_str());
    EXPECT_TRUE(back == t);
    back.SetNetID(7);
    EXPECT_EQ(back.GetTextLines(), lines);

    t.SetVirtualTer();
    EXPECT_EQ(t.GetTextLines(), "");
}

TEST_F(TerTest, TextLineWithNegativeIdReadsBack)
{
    CTer t = Ter("1", CDPoint(0, 0));
    t.SetID(0xFFFFFF05u);
    const std::string lines = t.GetTextLines();
    EXPECT_EQ(lines.substr(0, lines.find('\n')), "Ter 0.00000000 0.00000000 0 -1 0 -251");
    EXPECT_EQ(CTer(lines.c_str()).GetID(), 0xFFFFFF05u);
}

// --- Sheet operations ---

TEST_F(TerTest, SheetStoresTerminalsWithTheSheetLayerAndTheNewTerminalStyle)
{
    CSheet sheet(0, 0, 5, nullptr);
    CTer* t = sheet.NewTer(CDPoint(1, 2), CText("7", CDPoint(0, 0), 0), 0x1);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetParent(), &sheet);
    EXPECT_EQ(t->GetNoText()->GetParent(), t);
    EXPECT_EQ(t->GetLayerNo(), 5);
    EXPECT_EQ(t->GetNoText()->GetLayerNo(), 5);
    EXPECT_EQ(t->GetNoText()->GetOrign(), TEXT_ORG_BOTTOM_CENTER);
    EXPECT_EQ(t->GetNoText()->GetSize(), 64);
    EXPECT_EQ(t->GetType(), 0x1);
    EXPECT_EQ(sheet.GetHeadTer(), t);
    EXPECT_EQ(sheet.GetCount(ID_INPUT_TER), 1);

    CTer copy(*t);
    copy.ResetParent();
    EXPECT_EQ(sheet.DeleteTer(copy), 1);
    EXPECT_EQ(sheet.GetHeadTer(), nullptr);

    // The via and part sheet keeps the terminal's own layer.
    CSheet own(0, 0, 128, nullptr);
    own.SetSheetType(SHEET_BOARD_VIAPART);
    CTer loose = Ter("1");
    loose.SetLayerNo(2);
    CTer* kept = own.NewTer(loose);
    EXPECT_EQ(kept->GetLayerNo(), 2);
    EXPECT_EQ(kept->GetNoText()->GetLayerNo(), 2);
    EXPECT_EQ(loose.GetParent(), nullptr);

    int n = 0;
    for (POSITION pos = own.GetFirstTerPos(); pos; ++n)
        EXPECT_EQ(own.GetNextTer(pos), kept);
    EXPECT_EQ(n, 1);
}

} // namespace
