#include "model/items/ItemBase.h"
#include "model/items/ItemBaseList.h"

#include "model/services/FrameServices.h"

#include <gtest/gtest.h>

#include <numbers>
#include <thread>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

// The smallest item: its bounds are a stored rectangle; it counts how often it is measured.
class TestItem : public CItemBase
{
public:
    explicit TestItem(int kind = KIND_LINE, CDRect rect = CDRect(1.0, 2.0, 3.0, 4.0), bool keepArea = true)
        : CItemBase(kind, keepArea), rect(rect)
    {
    }
    TestItem(const TestItem& other) : CItemBase(other), rect(other.rect), calcCount(other.calcCount) {}
    TestItem& operator=(const TestItem& other)
    {
        CItemBase::operator=(other);
        rect = other.rect;
        return *this;
    }

    CDRect rect;
    int calcCount = 0;

    bool IsDirty() const { return m_bDirty; }
    const CDPoint* Area() const { return m_ptArea; }
    bool AreaHeld() const { return m_ptArea.Held(); }
    double RawAngle() const { return m_dAngle; }

protected:
    void CalcBoundingRect() override
    {
        ++calcCount;
        SetBoundingRect(rect);
        CopyAreaRect();
    }
};

// A frame whose current board has the tables below; it counts the table look-ups. Installed
// while it lives.
class CountingFrame : public FrameServices
{
public:
    CountingFrame() : m_previous(GetFrameServices()) { SetFrameServices(this); }
    ~CountingFrame() override { SetFrameServices(m_previous); }

    tagTURRET GetTurret(int number) override
    {
        ++turretCalls;
        return number >= 0 && number <= TURRET_MAX ? turretTable[number] : tagTURRET{};
    }
    tagVIA GetVia(int number) override
    {
        ++viaCalls;
        return number >= 0 && number <= VIA_MAX ? viaTable[number] : tagVIA{};
    }
    tagLAYER GetLayer(int) override { return tagLAYER{}; }
    void GetLayerFlags(std::array<std::uint32_t, LAYER_MAX>&, int) override {}
    void SetDrawMode(int) override {}
    int GetDrawMode() override { return 0; }
    int GetWireLayerCount() override { return 0; }
    int GetTurretDCode(int) override { return 0; }
    tagTEXTSIZE GetTextSize(int) override { return tagTEXTSIZE{}; }
    tagDIMS GetDimensionStyle() override { return tagDIMS{}; }
    int GetCoordScale() override { return 0; }
    bool IsLayerDisplayed(int) override { return false; }
    DocumentServices* GetCurrentDocument() override { return nullptr; }

    std::array<tagTURRET, TURRET_MAX + 1> turretTable{};
    std::array<tagVIA, VIA_MAX + 1> viaTable{};
    int turretCalls = 0;
    int viaCalls = 0;

private:
    FrameServices* m_previous;
};

class ItemBaseTest : public ::testing::Test
{
protected:
    ItemBaseTest()
    {
        frame.turretTable[0] = tagTURRET{TURRET_ROUND, 0.2, 0.0};
        frame.turretTable[3] = tagTURRET{TURRET_SQUARE, 0.3, 0.0};
        frame.turretTable[5] = tagTURRET{TURRET_DONUT, 0.5, 0.25};
        frame.viaTable[2].drill = 0.4;
        frame.viaTable[2].lands[0] = 7;
    }

    CountingFrame frame;
};

TEST_F(ItemBaseTest, NewItemTakesTurretZeroOnFirstMeasure)
{
    TestItem item;
    EXPECT_EQ(item.GetTurretNo(), -1);
    EXPECT_TRUE(item.IsDirty());
    EXPECT_EQ(item.GetLayerNo(), -1);
    EXPECT_EQ(item.GetKind(), KIND_LINE);

    EXPECT_TRUE(item.GetBoundingRect() == CDRect(1.0, 2.0, 3.0, 4.0));
    EXPECT_EQ(item.GetTurretNo(), 0);
    EXPECT_EQ(item.GetLineWidth(), 0.2);
    EXPECT_FALSE(item.IsDirty());
    EXPECT_EQ(item.calcCount, 1);
    // Cached until something changes.
    item.GetBoundingRect();
    item.GetAngle();
    EXPECT_EQ(item.calcCount, 1);
    EXPECT_EQ(frame.turretCalls, 1);

    // A via's number is a via-table number: it stays -1.
    TestItem via(KIND_VIA);
    via.GetBoundingRect();
    EXPECT_EQ(via.GetViaNo(), -1);
    EXPECT_EQ(frame.turretCalls, 1);

    // GetAngle runs the same step.
    TestItem angled;
    angled.GetAngle();
    EXPECT_EQ(angled.GetTurretNo(), 0);
    EXPECT_EQ(angled.calcCount, 1);
}

TEST_F(ItemBaseTest, WithoutFrameTheTurretEntryIsZero)
{
    SetFrameServices(nullptr);
    TestItem item;
    item.GetBoundingRect();
    EXPECT_EQ(item.GetTurretNo(), 0);
    EXPECT_EQ(item.GetTurret().shape, 0);
    EXPECT_EQ(item.GetLineWidth(), 0.0);
    item.SetViaNo(2);
    EXPECT_EQ(item.GetVia().drill, 0.0);
    SetFrameServices(&frame);
}

TEST_F(ItemBaseTest, SetTurretNoRefreshRules)
{
    TestItem item;
    item.SetTurretNo(3, false);
    EXPECT_EQ(frame.turretCalls, 1);
    EXPECT_EQ(item.GetTurret().shape, TURRET_SQUARE);
    EXPECT_EQ(item.GetLineWidth(), 0.3);
    item.GetBoundingRect();
    EXPECT_EQ(item.calcCount, 1);

    frame.turretTable[3].size1 = 0.35; // the table changes behind the item's back

    item.SetTurretNo(3, false); // already 3: nothing
    item.SetTurretNo(5, true);  // refresh of another number: nothing
    EXPECT_EQ(frame.turretCalls, 1);
    EXPECT_EQ(item.GetTurretNo(), 3);
    EXPECT_EQ(item.GetLineWidth(), 0.3);
    EXPECT_FALSE(item.IsDirty());

    item.SetTurretNo(3, true); // re-reads its own entry and marks the item stale
    EXPECT_EQ(frame.turretCalls, 2);
    EXPECT_EQ(item.GetLineWidth(), 0.35);
    EXPECT_TRUE(item.IsDirty());

    item.SetTurretNo(5, false);
    EXPECT_EQ(item.GetTurretNo(), 5);
    EXPECT_EQ(item.GetTurret().size2, 0.25);
    EXPECT_EQ(frame.turretCalls, 3);
}

TEST_F(ItemBaseTest, NegativeTurretIsStoredWithoutLookUpOrMarking)
{
    TestItem item;
    item.SetTurretNo(3);
    item.GetBoundingRect();
    item.SetTurretNo(-2, false);
    EXPECT_EQ(item.GetTurretNo(), -2);
    EXPECT_FALSE(item.IsDirty());
    EXPECT_EQ(item.GetLineWidth(), 0.3); // the old entry stays
    EXPECT_EQ(frame.turretCalls, 1);
    item.SetTurretNo(-2, true);
    EXPECT_EQ(frame.turretCalls, 1);
}

TEST_F(ItemBaseTest, SetViaNoCopiesTheViaEntry)
{
    TestItem via(KIND_VIA);
    via.SetViaNo(2);
    EXPECT_EQ(via.GetViaNo(), 2);
    EXPECT_EQ(via.GetVia().drill, 0.4);
    EXPECT_EQ(via.GetVia().lands[0], 7);
    EXPECT_EQ(frame.viaCalls, 1);
    via.SetViaNo(2);
    via.SetViaNo(3, true);
    EXPECT_EQ(frame.viaCalls, 1);
    frame.viaTable[2].drill = 0.6;
    via.SetViaNo(2, true);
    EXPECT_EQ(via.GetVia().drill, 0.6);

    tagVIA own{};
    own.drill = 0.8;
    via.GetBoundingRect();
    via.SetVia(own);
    EXPECT_EQ(via.GetVia().drill, 0.8);
    EXPECT_TRUE(via.IsDirty());
}

TEST_F(ItemBaseTest, IdTypeAndLayer)
{
    TestItem item;
    item.SetID(0x12345678);
    EXPECT_EQ(item.GetWLayer(), 0x78);
    item.SetWLayer(7);
    EXPECT_EQ(item.GetID(), 0x12345607u);
    item.SetWLayer(0x1FF); // only the low byte is the work layer
    EXPECT_EQ(item.GetID(), 0x123456FFu);

    item.GetBoundingRect();
    item.SetID(1);
    item.SetLayerNo(4);
    EXPECT_EQ(item.GetLayerNo(), 4);
    EXPECT_FALSE(item.IsDirty());

    item.SetType(0x13);
    EXPECT_TRUE(item.IsDirty());
    item.GetBoundingRect();
    item.ModifyType(0x2000, 1);
    EXPECT_EQ(item.GetType(), 0x2012);
    EXPECT_TRUE(item.IsDirty());
}

TEST_F(ItemBaseTest, ChangesMarkTheWholeParentChain)
{
    TestItem sheet(KIND_SHEET, CDRect(0, 0, 100, 100));
    TestItem part(KIND_PART, CDRect(0, 0, 10, 10));
    TestItem ter(KIND_TER, CDRect(1, 1, 2, 2));
    part.SetParent(&sheet);
    ter.SetParent(&part);
    sheet.GetBoundingRect();
    part.GetBoundingRect();
    ter.GetBoundingRect();

    ter.SetAngle(1.0);
    EXPECT_TRUE(ter.IsDirty());
    EXPECT_TRUE(part.IsDirty());
    EXPECT_TRUE(sheet.IsDirty());
    part.GetBoundingRect();
    EXPECT_EQ(part.calcCount, 2);
    EXPECT_TRUE(sheet.IsDirty()); // each level is measured on its own request

    // A change in the middle does not reach below.
    ter.GetBoundingRect();
    part.SetAngle(0.5);
    EXPECT_FALSE(ter.IsDirty());

    // A turret change marks the chain as well.
    sheet.GetBoundingRect();
    part.GetBoundingRect();
    ter.SetTurretNo(3);
    EXPECT_TRUE(part.IsDirty());
    EXPECT_TRUE(sheet.IsDirty());
}

TEST_F(ItemBaseTest, GetSheetAndGetTopSheet)
{
    TestItem sheet(KIND_SHEET);
    TestItem part(KIND_PART);
    TestItem ter(KIND_TER);
    part.SetParent(&sheet);
    ter.SetParent(&part);
    EXPECT_EQ(ter.GetSheetItem(), &sheet);
    EXPECT_EQ(ter.GetTopSheetItem(), &sheet);
    EXPECT_EQ(ter.GetSheet<CItemBase>(), &sheet);
    EXPECT_EQ(sheet.GetSheetItem(), nullptr); // the item itself is not tested
    EXPECT_EQ(sheet.GetTopSheetItem(), nullptr);

    // A sheet held by another item: the nearest sheet is found, but it is not a top sheet.
    TestItem holder(KIND_PART);
    sheet.SetParent(&holder);
    EXPECT_EQ(ter.GetSheetItem(), &sheet);
    EXPECT_EQ(ter.GetTopSheetItem(), nullptr);

    // Nested sheets: the nearest and the one without a parent.
    TestItem top(KIND_SHEET);
    holder.SetParent(&top);
    EXPECT_EQ(ter.GetSheetItem(), &sheet);
    EXPECT_EQ(ter.GetTopSheetItem(), &top);

    ter.ResetParent();
    EXPECT_EQ(ter.GetParent(), nullptr);
    EXPECT_EQ(ter.GetSheetItem(), nullptr);
}

TEST_F(ItemBaseTest, TransformsLeaveANullBoundsItemUnchanged)
{
    TestItem item(KIND_LINE, CDRect(0, 0, 0, 0));
    item.SetAngle(0.7);
    item.GetBoundingRect();
    const CDPoint before[4] = {item.Area()[0], item.Area()[1], item.Area()[2], item.Area()[3]};
    CDPoint d(5.0, 5.0);
    item.Offset(d);
    item.Rotate(CDPoint(1.0, 1.0), kPi / 2);
    item.MirrorX(3.0);
    item.MirrorY(3.0);
    EXPECT_TRUE(item.GetBoundingRect().IsRectNull());
    EXPECT_EQ(item.GetAngle(), 0.7);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(item.Area()[i] == before[i]);
}

TEST_F(ItemBaseTest, TransformsMoveAreaBoundsAndAngle)
{
    TestItem item(KIND_LINE, CDRect(1.0, 2.0, 3.0, 4.0));
    item.GetBoundingRect();
    item.Offset(CDPoint(10.0, 20.0));
    EXPECT_TRUE(item.GetBoundingRect() == CDRect(11.0, 22.0, 13.0, 24.0));
    EXPECT_TRUE(item.Area()[0] == CDPoint(11.0, 24.0)); // (left, bottom) first

    TestItem turned(KIND_LINE, CDRect(1.0, 2.0, 3.0, 4.0));
    turned.SetAngle(3 * kPi / 2);
    turned.GetBoundingRect();
    turned.Rotate(CDPoint(0.0, 0.0), kPi / 2);
    EXPECT_TRUE(turned.GetBoundingRect() == CDRect(-4.0, 1.0, -2.0, 3.0));
    EXPECT_EQ(turned.GetAngle(), 0.0); // 3pi/2 + pi/2 normalised

    struct Case
    {
        double angle;
        bool mirrorX;
        double expected;
    };
    const Case cases[] = {
        {0.0, true, kPi},
        {kPi / 2, false, 3 * kPi / 2},
        {0.0, false, 0.0},
        {kPi, true, 0.0},
    };
    for (const Case& c : cases) {
        TestItem m(KIND_LINE, CDRect(1.0, 2.0, 3.0, 4.0));
        m.SetAngle(c.angle);
        m.GetBoundingRect();
        if (c.mirrorX)
            m.MirrorX(0.0);
        else
            m.MirrorY(0.0);
        EXPECT_EQ(m.GetAngle(), c.expected) << c.angle;
        EXPECT_TRUE(m.GetBoundingRect() ==
                    (c.mirrorX ? CDRect(-3.0, 2.0, -1.0, 4.0) : CDRect(1.0, -4.0, 3.0, -2.0)));
    }
}

TEST_F(ItemBaseTest, AnItemKeepingNoAreaTransformsItsBoundsTheSame)
{
    // Tracks keep no area points: the transforms move their bounds and angle as they move those
    // of an item that does, and neither the item nor its copies hold points.
    const auto transform = [](TestItem& item) {
        item.SetAngle(kPi / 4);
        item.GetBoundingRect();
        item.Offset(CDPoint(10.0, 20.0));
        item.Rotate(CDPoint(0.0, 0.0), kPi / 2);
        item.MirrorX(1.0);
        item.MirrorY(-2.0);
    };
    TestItem kept(KIND_LINE, CDRect(1.0, 2.0, 3.0, 4.0));
    TestItem bare(KIND_LINE, CDRect(1.0, 2.0, 3.0, 4.0), false);
    transform(kept);
    transform(bare);
    EXPECT_TRUE(bare.GetBoundingRect() == kept.GetBoundingRect());
    EXPECT_EQ(bare.GetAngle(), kept.GetAngle());
    EXPECT_TRUE(kept.AreaHeld());
    EXPECT_FALSE(bare.AreaHeld());
    EXPECT_TRUE(bare.Area()[2] == CDPoint()); // reads as zero points
    const TestItem copy(bare);
    EXPECT_FALSE(copy.AreaHeld());
    TestItem assigned(KIND_LINE, CDRect(1.0, 2.0, 3.0, 4.0), false);
    assigned = kept; // a class without area points takes none
    EXPECT_FALSE(assigned.AreaHeld());
    EXPECT_TRUE(assigned.GetBoundingRect() == kept.GetBoundingRect());
}

TEST_F(ItemBaseTest, TransformOfAStaleItemMeasuresWithoutTheTurretStep)
{
    TestItem item(KIND_LINE, CDRect(1.0, 2.0, 3.0, 4.0));
    item.Offset(CDPoint(1.0, 0.0));
    EXPECT_EQ(item.calcCount, 1);
    EXPECT_EQ(item.GetTurretNo(), -1);
    EXPECT_TRUE(item.Area()[0] == CDPoint(2.0, 4.0));
    // Still stale: the next request measures the item (which has moved its own points by now).
    EXPECT_TRUE(item.IsDirty());
    item.GetBoundingRect();
    EXPECT_EQ(item.calcCount, 2);
    EXPECT_EQ(item.GetTurretNo(), 0);
}

TEST_F(ItemBaseTest, CopyTakesEveryFieldButTheLock)
{
    TestItem parent(KIND_SHEET);
    TestItem item(KIND_ARC);
    item.SetID(0x305);
    item.SetType(0x44);
    item.SetLayerNo(9);
    item.SetAngle(1.25);
    item.SetTurretNo(5);
    item.SetParent(&parent);
    item.GetBoundingRect();
    item.Lock();

    TestItem copy(item);
    EXPECT_EQ(copy.GetID(), 0x305u);
    EXPECT_EQ(copy.GetKind(), KIND_ARC);
    EXPECT_EQ(copy.GetType(), 0x44);
    EXPECT_EQ(copy.GetLayerNo(), 9);
    EXPECT_EQ(copy.RawAngle(), 1.25);
    EXPECT_EQ(copy.GetTurretNo(), 5);
    EXPECT_EQ(copy.GetTurret().size2, 0.25);
    EXPECT_EQ(copy.GetParent(), &parent);
    EXPECT_FALSE(copy.IsDirty());
    EXPECT_TRUE(copy.GetBoundingRect() == CDRect(1.0, 2.0, 3.0, 4.0));
    EXPECT_TRUE(copy.Area()[2] == CDPoint(3.0, 2.0));

    // The copy's lock is its own: another thread can take it while the original is held.
    int taken = 0;
    std::thread other([&] {
        taken = copy.Lock();
        copy.Unlock();
    });
    other.join();
    EXPECT_EQ(taken, 1);
    item.Unlock();

    TestItem assigned(KIND_LINE);
    assigned = item;
    EXPECT_EQ(assigned.GetKind(), KIND_ARC);
    EXPECT_EQ(assigned.GetParent(), &parent);
}

TEST_F(ItemBaseTest, LockIsRecursiveAndOnlyItsHolderUnlocks)
{
    TestItem item;
    EXPECT_EQ(item.Lock(), 1);
    EXPECT_EQ(item.Lock(), 1);
    int fromOtherThread = -1;
    std::thread other([&] { fromOtherThread = item.Unlock(); });
    other.join();
    EXPECT_EQ(fromOtherThread, 0);
    EXPECT_EQ(item.Unlock(), 1);
    EXPECT_EQ(item.Unlock(), 1);
    EXPECT_EQ(item.Unlock(), 0); // not held any more
}

TEST_F(ItemBaseTest, LockIsMadeOnFirstUseByWhicheverThreadComesFirst)
{
    TestItem never;
    EXPECT_EQ(never.Unlock(), 0); // an item never locked holds nothing to release

    // Threads racing for a fresh item's lock all share the one that is made: the count they
    // raise under it loses no step.
    for (int round = 0; round < 20; ++round) {
        TestItem item;
        int count = 0;
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 200; ++i) {
                    item.Lock();
                    const int seen = count;
                    std::this_thread::yield();
                    count = seen + 1;
                    item.Unlock();
                }
            });
        }
        for (std::thread& t : threads)
            t.join();
        EXPECT_EQ(count, 800);
    }
}

TEST(ItemBaseListTest, PositionsIterateAndStayValid)
{
    TestItem a, b, c, d;
    CItemBaseList list;
    EXPECT_FALSE(list.GetHeadPosition());
    EXPECT_TRUE(list.IsEmpty());

    list.AddTail(&a);
    const auto posC = list.AddTail(&c);
    list.AddHead(&d);
    list.InsertBefore(posC, &b); // d a b c
    EXPECT_EQ(list.GetCount(), 4);

    std::vector<CItemBase*> forward;
    for (auto pos = list.GetHeadPosition(); pos;)
        forward.push_back(list.GetNext(pos));
    EXPECT_EQ(forward, (std::vector<CItemBase*>{&d, &a, &b, &c}));

    std::vector<CItemBase*> backward;
    for (auto pos = list.GetTailPosition(); pos != nullptr;)
        backward.push_back(list.GetPrev(pos));
    EXPECT_EQ(backward, (std::vector<CItemBase*>{&c, &b, &a, &d}));

    // Removing one element leaves the other positions usable.
    list.RemoveAt(list.Find(&a));
    EXPECT_EQ(list.GetAt(posC), &c);
    list.InsertAfter(posC, &a); // d b c a
    EXPECT_EQ(list.GetTail(), &a);
    EXPECT_EQ(list.GetAt(list.FindIndex(1)), &b);
    EXPECT_FALSE(list.FindIndex(4));
    EXPECT_FALSE(list.FindIndex(-1));
    EXPECT_FALSE(list.Find(&a, list.Find(&a)));

    // Null positions insert at the ends.
    TestItem e;
    list.InsertBefore(nullptr, &e);
    EXPECT_EQ(list.GetHead(), &e);
    EXPECT_EQ(list.RemoveHead(), &e);
    EXPECT_EQ(list.RemoveTail(), &a);

    std::vector<CItemBase*> ranged(list.begin(), list.end());
    EXPECT_EQ(ranged, (std::vector<CItemBase*>{&d, &b, &c}));
    list.RemoveAll(); // the items are not the list's: nothing is deleted
    EXPECT_EQ(list.GetCount(), 0);
}

} // namespace
