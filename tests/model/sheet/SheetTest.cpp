#include "model/sheet/Sheet.h"
#include "model/sheet/SheetKinds.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

// Calls the sheet made through the kind entries, in order: (operation, kind).
struct Call
{
    std::string op;
    int kind;
    bool operator==(const Call&) const = default;
};
std::vector<Call> g_calls;
int g_alive = 0;

// A stand-in for every item class: a point with a tag; bounds are the square of half side 0.5.
class StandIn : public CItemBase
{
public:
    explicit StandIn(int kind = KIND_LINE, CDPoint p = CDPoint(), int t = 0) : CItemBase(kind), pos(p), tag(t)
    {
        ++g_alive;
    }
    StandIn(const StandIn& other) : CItemBase(other), pos(other.pos), tag(other.tag) { ++g_alive; }
    StandIn& operator=(const StandIn& other)
    {
        CItemBase::operator=(other);
        pos = other.pos;
        tag = other.tag;
        return *this;
    }
    ~StandIn() override { --g_alive; }

    bool operator==(const StandIn& o) const { return pos == o.pos && tag == o.tag; }
    void Offset(const CDPoint& d)
    {
        pos += d;
        ResetBounding();
    }
    void MirrorX(double x)
    {
        pos.x = 2 * x - pos.x;
        ResetBounding();
    }
    void MirrorY(double y)
    {
        pos.y = 2 * y - pos.y;
        ResetBounding();
    }
    void Rotate(const CDPoint& c, double a)
    {
        pos.Rotate(c, a);
        ResetBounding();
    }
    bool IsDirty() const { return m_bDirty; }

    CDPoint pos;
    int tag = 0;

protected:
    void CalcBoundingRect() override
    {
        SetBoundingRect(CDRect(pos, 0.5));
        CopyAreaRect();
    }
};

StandIn& As(CItemBase* item)
{
    return *static_cast<StandIn*>(item);
}

// The sheet with its own stale flag visible.
class ProbeSheet : public CSheet
{
public:
    using CSheet::CSheet;
    bool IsDirty() const { return m_bDirty; }
};

constexpr int kAllKinds[] = {KIND_LINE, KIND_LAND, KIND_PART, KIND_ARC, KIND_VIA,
                             KIND_TEXT, KIND_HOLE, KIND_SUR,  KIND_TER};

SheetKindOps StandInOps(int kind)
{
    SheetKindOps ops = DefaultSheetKindOps<StandIn>();
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        g_calls.push_back({"copy", item.GetKind()});
        return std::make_unique<StandIn>(static_cast<const StandIn&>(item));
    };
    ops.offset = [](CItemBase& item, const CDPoint& d, int allArcs) {
        g_calls.push_back({"offset" + std::to_string(allArcs), item.GetKind()});
        As(&item).Offset(d);
    };
    ops.mirrorX = [](CItemBase& item, double x, bool fill) {
        g_calls.push_back({fill ? "mirrorX fill" : "mirrorX", item.GetKind()});
        As(&item).MirrorX(x);
    };
    ops.mirrorY = [](CItemBase& item, double y, bool fill) {
        g_calls.push_back({fill ? "mirrorY fill" : "mirrorY", item.GetKind()});
        As(&item).MirrorY(y);
    };
    ops.rotate = [](CItemBase& item, const CDPoint& c, double a, bool) {
        g_calls.push_back({"rotate", item.GetKind()});
        As(&item).Rotate(c, a);
    };
    ops.merged = [](CSheet&, CItemBase& item) { g_calls.push_back({"merged", item.GetKind()}); };
    // Vias and parts keep their own layers, as the real kinds do.
    ops.takesSheetLayer = kind != KIND_VIA && kind != KIND_PART;
    if (kind == KIND_TER)
        ops.stored = [](CSheet& sheet, CItemBase& item) { As(&item).tag = 1000 + sheet.GetLayerNo(); };
    if (kind == KIND_LINE || kind == KIND_VIA)
        ops.countSlot = [](const CItemBase& item) { return item.GetTurretNo(); };
    return ops;
}

class SheetTest : public ::testing::Test
{
protected:
    SheetTest()
    {
        for (int kind : kAllKinds)
            kinds.push_back(std::make_unique<ScopedSheetKind>(kind, StandInOps(kind)));
        g_calls.clear();
    }
    ~SheetTest() override { g_calls.clear(); }

    static StandIn Item(int kind, double x, double y, int tag = 0, int layer = 7)
    {
        StandIn item(kind, CDPoint(x, y), tag);
        item.SetLayerNo(layer);
        return item;
    }
    // Tags of one kind's items, head to tail.
    static std::vector<int> Tags(CSheet& sheet, int kind)
    {
        std::vector<int> tags;
        for (POSITION pos = sheet.GetFirstItemPos(kind); pos;)
            tags.push_back(As(sheet.GetNextItem(kind, pos)).tag);
        return tags;
    }

    std::vector<std::unique_ptr<ScopedSheetKind>> kinds;
};

TEST_F(SheetTest, ConstructorsAndBitTypes)
{
    CSheet work;
    EXPECT_EQ(work.GetKind(), KIND_SHEET);
    EXPECT_EQ(work.GetSheetType(), 3);
    EXPECT_EQ(work.GetLayerNo(), -1);
    EXPECT_EQ(work.GetWLayer(), 0);
    EXPECT_EQ(work.GetNetIDCounter(), 0u);
    EXPECT_EQ(work.GetDocument(), nullptr);
    EXPECT_TRUE(work.IsEmpty());
    EXPECT_EQ(work.GetLayer().order, 100);
    EXPECT_EQ(work.GetLayer().drawClass, 2);
    EXPECT_FALSE(work.IsDisp());

    CSheet layer(3, 0x9, 12, nullptr);
    EXPECT_EQ(layer.GetWLayer(), 3);
    EXPECT_EQ(layer.GetType(), 0x9);
    EXPECT_EQ(layer.GetLayerNo(), 12);
    EXPECT_EQ(layer.GetSheetType(), 3);
    EXPECT_TRUE(layer.IsNega());

    const std::pair<int, int> bits[] = {{0, 1},  {2, 2},   {3, 0},   {4, 9}, {5, 4}, {6, 10},
                                        {7, 12}, {12, 16}, {13, 16}, {1, 0}, {8, 0}, {-1, 0}};
    for (auto [type, expected] : bits) {
        CSheet sheet(type);
        EXPECT_EQ(sheet.GetSheetBitType(), expected) << "sheet type " << type;
    }
}

TEST_F(SheetTest, StoringTakesTheSheetLayerUnlessItemsKeepTheirOwn)
{
    CSheet board(1, 0x1, 5, nullptr);
    board.SetSheetType(SHEET_BOARD);
    StandIn line = Item(KIND_LINE, 1, 2, 0, 2);
    CItemBase* stored = board.StoreCopy(line);
    ASSERT_NE(stored, nullptr);
    EXPECT_NE(stored, &line);
    EXPECT_EQ(stored->GetLayerNo(), 5);
    EXPECT_EQ(stored->GetParent(), &board);
    EXPECT_EQ(board.GetItemCount(), 1);
    // The caller's item is left as it was and may be stored again.
    EXPECT_EQ(line.GetLayerNo(), 2);
    EXPECT_EQ(line.GetParent(), nullptr);
    EXPECT_NE(board.StoreCopy(line), nullptr);
    EXPECT_EQ(board.GetItemCount(), 2);

    // A via keeps its own layer on any sheet; the terminal's storing rule runs after the layer rule.
    EXPECT_EQ(board.StoreCopy(Item(KIND_VIA, 0, 0, 0, 2))->GetLayerNo(), 2);
    EXPECT_EQ(As(board.StoreCopy(Item(KIND_TER, 0, 0))).tag, 1005);

    CSheet viaPart(SHEET_BOARD_VIAPART);
    viaPart.SetLayerNo(128);
    EXPECT_EQ(viaPart.StoreCopy(line)->GetLayerNo(), 2);
    EXPECT_EQ(viaPart.StoreCopy(Item(KIND_LAND, 0, 0, 0, 3))->GetLayerNo(), 3);
}

TEST_F(SheetTest, UnknownKindsAreNotStored)
{
    CSheet sheet;
    StandIn odd(0x400);
    StandIn none(0);
    EXPECT_EQ(sheet.StoreCopy(odd), nullptr);
    EXPECT_EQ(sheet.AddItem(&none), nullptr);
    EXPECT_EQ(sheet.AddItem(nullptr), nullptr);
    // A kind whose entry cannot make copies.
    ScopedSheetKind bare(KIND_LINE, SheetKindOps());
    StandIn line(KIND_LINE);
    EXPECT_EQ(sheet.AddItem(&line), nullptr);
    EXPECT_TRUE(sheet.IsEmpty());
}

TEST_F(SheetTest, IterationBothWaysWithPositionsKeptAcrossDeletions)
{
    CSheet sheet;
    for (int tag = 0; tag < 4; ++tag)
        sheet.StoreCopy(Item(KIND_LINE, tag, 0, tag));
    EXPECT_EQ(Tags(sheet, KIND_LINE), (std::vector<int>{0, 1, 2, 3}));

    POSITION held = sheet.GetFirstItemPos(KIND_LINE);
    sheet.GetNextItem(KIND_LINE, held);
    sheet.GetNextItem(KIND_LINE, held); // now at tag 2
    EXPECT_EQ(sheet.DeleteEqualItem(Item(KIND_LINE, 1, 0, 1)), 1);
    EXPECT_EQ(sheet.DeleteEqualItem(Item(KIND_LINE, 1, 0, 1)), 0);
    sheet.StoreCopy(Item(KIND_LINE, 4, 0, 4));
    EXPECT_EQ(As(sheet.GetNextItem(KIND_LINE, held)).tag, 2);
    EXPECT_EQ(As(sheet.GetNextItem(KIND_LINE, held)).tag, 3);
    EXPECT_EQ(As(sheet.GetNextItem(KIND_LINE, held)).tag, 4);
    EXPECT_FALSE(held);
    EXPECT_EQ(sheet.GetNextItem(KIND_LINE, held), nullptr);

    std::vector<int> backward;
    for (POSITION pos = sheet.GetLastItemPos(KIND_LINE); pos;)
        backward.push_back(As(sheet.GetPrevItem(KIND_LINE, pos)).tag);
    EXPECT_EQ(backward, (std::vector<int>{4, 3, 2, 0}));
    EXPECT_EQ(sheet.GetItemCount(), 4);

    // Empty lists and non-kinds give no position and no item.
    EXPECT_FALSE(sheet.GetFirstItemPos(KIND_ARC));
    EXPECT_FALSE(sheet.GetLastItemPos(0x3));
    EXPECT_EQ(sheet.GetHeadItem(KIND_ARC), nullptr);
    EXPECT_EQ(As(sheet.GetHeadItem(KIND_LINE)).tag, 0);
}

TEST_F(SheetTest, DeleteTakesTheFirstEqualItem)
{
    CSheet sheet(SHEET_BOARD_VIAPART); // items keep their layers, which equality ignores
    sheet.StoreCopy(Item(KIND_LAND, 1, 1, 0, 1));
    sheet.StoreCopy(Item(KIND_LAND, 1, 1, 0, 2));
    sheet.StoreCopy(Item(KIND_LINE, 1, 1, 0, 3));
    EXPECT_EQ(sheet.CheckItem(&As(sheet.GetHeadItem(KIND_LAND))), 1);
    StandIn land = Item(KIND_LAND, 1, 1);
    EXPECT_EQ(sheet.DeleteItem(&land), 1);
    EXPECT_EQ(sheet.GetHeadItem(KIND_LAND)->GetLayerNo(), 2);
    EXPECT_EQ(sheet.GetItemCount(), 2);
    // Equality is looked up in the item's own kind only.
    StandIn arc = Item(KIND_ARC, 1, 1);
    EXPECT_EQ(sheet.CheckItem(&arc), 0);
    EXPECT_EQ(sheet.DeleteItem(&arc), 0);
    // Deleting the stored item itself, by reference.
    EXPECT_EQ(sheet.DeleteEqualItem(*sheet.GetHeadItem(KIND_LAND)), 1);
    EXPECT_EQ(sheet.CheckItem(&land), 0);
    EXPECT_EQ(sheet.GetItemCount(), 1);
    EXPECT_EQ(sheet.DeleteItem(nullptr), 0);
}

TEST_F(SheetTest, DeleteItemOfASheetEmptiesThatSheet)
{
    CSheet sheet, other;
    sheet.StoreCopy(Item(KIND_LINE, 0, 0));
    other.StoreCopy(Item(KIND_LINE, 0, 0));
    EXPECT_EQ(sheet.DeleteItem(&other), 1);
    EXPECT_TRUE(other.IsEmpty());
    EXPECT_EQ(sheet.GetItemCount(), 1);
}

TEST_F(SheetTest, CountsByCommandIdAndBySlot)
{
    CSheet sheet;
    const std::pair<int, int> perKind[] = {{KIND_LINE, 3}, {KIND_LAND, 1}, {KIND_TEXT, 2},
                                           {KIND_PART, 1}, {KIND_ARC, 4},  {KIND_VIA, 2},
                                           {KIND_HOLE, 1}, {KIND_SUR, 5},  {KIND_TER, 6}};
    int total = 0;
    for (auto [kind, n] : perKind)
        for (int i = 0; i < n; ++i, ++total)
            sheet.StoreCopy(Item(kind, i, 0));
    const std::pair<int, int> byCommand[] = {{32910, 3}, {32911, 1}, {32912, 2},     {32913, 1},
                                             {32914, 4}, {32915, 2}, {32916, 1},     {32917, 5},
                                             {32918, 6}, {0, total}, {32919, total}, {32909, total}};
    for (auto [id, expected] : byCommand)
        EXPECT_EQ(sheet.GetCount(id), expected) << "command " << id;

    // Lines count by turret; numbers outside the table are left out.
    const int turrets[] = {0, 120, -1, 121};
    for (int turret : turrets) {
        StandIn line = Item(KIND_LINE, 9, 9);
        line.SetTurretNo(turret);
        sheet.StoreCopy(line);
    }
    std::vector<unsigned> counts(TURRET_MAX + 1, 0);
    counts[0] = 10;
    sheet.GetCount(ID_INPUT_LINE, counts.data());
    EXPECT_EQ(counts[0], 11u); // added to what the caller had
    EXPECT_EQ(counts[120], 1u);
    // Items without a turret yet (-1) are not counted; kinds without a slot add nothing.
    std::vector<unsigned> none(TURRET_MAX + 1, 0);
    sheet.GetCount(ID_INPUT_LAND, none.data());
    sheet.GetCount(0, none.data());
    EXPECT_EQ(none, std::vector<unsigned>(TURRET_MAX + 1, 0));
}

TEST_F(SheetTest, TailAndIndexAccess)
{
    CSheet sheet;
    EXPECT_EQ(sheet.GetTailItem(KIND_LINE, 0), nullptr);
    for (int tag = 0; tag < 3; ++tag)
        sheet.StoreCopy(Item(KIND_LINE, tag, 0, tag));
    EXPECT_EQ(As(sheet.GetTailItem(KIND_LINE, 0)).tag, 2);
    EXPECT_EQ(As(sheet.GetTailItem(KIND_LINE, 1)).tag, 2);
    EXPECT_EQ(As(sheet.GetTailItem(KIND_LINE, 3)).tag, 0);
    EXPECT_EQ(sheet.GetTailItem(KIND_LINE, 4), nullptr);
    EXPECT_EQ(sheet.GetTailItem(KIND_LINE, -1), nullptr);
    EXPECT_EQ(As(sheet.GetItemAt(KIND_LINE, 1)).tag, 1);
    EXPECT_EQ(sheet.GetItemAt(KIND_LINE, 3), nullptr);
    EXPECT_EQ(sheet.GetItemAt(KIND_LINE, -1), nullptr);
}

TEST_F(SheetTest, AddItemStoresACopyAndMergesSheets)
{
    CSheet sheet(SHEET_SELECTION);
    sheet.SetLayerNo(4);
    StandIn text = Item(KIND_TEXT, 1, 1, 5);
    CItemBase* stored = sheet.AddItem(&text);
    ASSERT_NE(stored, nullptr);
    EXPECT_NE(stored, &text);
    EXPECT_EQ(stored->GetLayerNo(), 4);
    EXPECT_EQ(text.GetLayerNo(), 7);

    CSheet other;
    other.StoreCopy(Item(KIND_LINE, 0, 0, 1));
    other.StoreCopy(Item(KIND_HOLE, 0, 0, 2));
    EXPECT_EQ(sheet.AddItem(&other), &sheet);
    EXPECT_EQ(sheet.GetItemCount(), 3);
    EXPECT_EQ(other.GetItemCount(), 2);
    EXPECT_EQ(sheet.GetHeadItem(KIND_HOLE)->GetLayerNo(), 4);
}

int g_resets = 0;

TEST_F(SheetTest, AddItemResetsNetIdsOnlyOnSheetsThatCarryThem)
{
    SheetNetHooks hooks;
    hooks.resetItemIds = [](CSheet&, CItemBase&) { ++g_resets; };
    ScopedSheetNetHooks scoped(hooks);
    struct Case
    {
        int sheetType;
        int wLayer;
        int resets;
    };
    const Case cases[] = {{SHEET_BOARD, 1, 1},     {SHEET_BOARD, 0, 0}, {SHEET_BOARD_VIAPART, 0, 1},
                          {SHEET_SELECTION, 1, 0}, {SHEET_WORK, 1, 0},  {SHEET_SELECT_VIAPART, 0, 0}};
    for (const Case& c : cases) {
        g_resets = 0;
        CSheet sheet(c.sheetType);
        sheet.SetWLayer(c.wLayer);
        StandIn line = Item(KIND_LINE, 0, 0);
        sheet.AddItem(&line);
        EXPECT_EQ(g_resets, c.resets) << "type " << c.sheetType << " W-layer " << c.wLayer;
    }
}

TEST_F(SheetTest, MergeCopiesKindByKindAndKeepsTheOther)
{
    CSheet other;
    for (int kind : kAllKinds)
        other.StoreCopy(Item(kind, 1, 1));
    CSheet sheet;
    g_calls.clear();
    sheet += other;
    std::vector<int> copied, merged;
    for (const Call& call : g_calls)
        (call.op == "copy" ? copied : merged).push_back(call.kind);
    const std::vector<int> order = {KIND_ARC, KIND_HOLE, KIND_LAND, KIND_LINE, KIND_SUR,
                                    KIND_TER, KIND_TEXT, KIND_PART, KIND_VIA};
    EXPECT_EQ(copied, order);
    EXPECT_EQ(merged, order);
    EXPECT_EQ(sheet.GetItemCount(), 9);
    EXPECT_EQ(other.GetItemCount(), 9);

    // Merging a sheet into itself doubles it once.
    sheet += sheet;
    EXPECT_EQ(sheet.GetItemCount(), 18);
    EXPECT_EQ(sheet.GetKindCount(KIND_LINE), 2);

    // An empty sheet adds nothing.
    CSheet empty;
    g_calls.clear();
    sheet += empty;
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(SheetTest, TakingItemsGivesWhatMergingGivesWithoutCopies)
{
    auto fill = [](CSheet& sheet) {
        int tag = 0;
        for (int round = 0; round < 3; ++round)
            for (int kind : kAllKinds) {
                sheet.StoreCopy(Item(kind, tag, -tag, tag, 3 + round));
                ++tag;
            }
    };
    CSheet copied(SHEET_BOARD), taken(SHEET_BOARD);
    copied.SetLayerNo(9);
    taken.SetLayerNo(9);
    for (CSheet* sheet : {&copied, &taken})
        sheet->StoreCopy(Item(KIND_LINE, 50, 50, 99));
    CSheet a, b;
    fill(a);
    fill(b);
    std::vector<CItemBase*> items;
    for (int kind : kAllKinds)
        for (POSITION pos = b.GetFirstItemPos(kind); pos;)
            items.push_back(b.GetNextItem(kind, pos));

    g_calls.clear();
    copied += a;
    a.DeleteContents();
    std::vector<Call> merging;
    for (const Call& call : g_calls)
        if (call.op != "copy")
            merging.push_back(call);
    g_calls.clear();
    taken.TakeItems(b);
    // The same storing steps, and no copy: the items themselves moved.
    EXPECT_EQ(g_calls, merging);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.GetKindCount(KIND_LINE), 0);
    EXPECT_EQ(taken.GetItemCount(), copied.GetItemCount());
    for (int kind : kAllKinds) {
        EXPECT_EQ(Tags(taken, kind), Tags(copied, kind)) << kind;
        POSITION c = copied.GetFirstItemPos(kind);
        for (POSITION t = taken.GetFirstItemPos(kind); t;) {
            CItemBase* x = taken.GetNextItem(kind, t);
            CItemBase* y = copied.GetNextItem(kind, c);
            EXPECT_EQ(x->GetLayerNo(), y->GetLayerNo());
            EXPECT_EQ(x->GetParent(), &taken);
        }
    }
    for (CItemBase* item : items)
        EXPECT_EQ(item->GetParent(), &taken);
    EXPECT_EQ(taken.GetBoundingRect(), copied.GetBoundingRect());

    // A sheet whose merge prepares connectivity still copies, and the other is emptied.
    CSheet wired(SHEET_BOARD), other;
    wired.SetWLayer(2);
    other.StoreCopy(Item(KIND_LAND, 1, 1));
    g_calls.clear();
    wired.TakeItems(other);
    EXPECT_EQ(g_calls.front(), (Call{"copy", KIND_LAND}));
    EXPECT_EQ(wired.GetKindCount(KIND_LAND), 1);
    EXPECT_TRUE(other.IsEmpty());
    // Taking from itself or from an empty sheet does nothing.
    wired.TakeItems(wired);
    wired.TakeItems(other);
    EXPECT_EQ(wired.GetItemCount(), 1);
}

int g_prepares = 0;

TEST_F(SheetTest, MergePreparesTheOtherSheetOnlyForConnectedSheets)
{
    SheetNetHooks hooks;
    hooks.prepareMerge = [](CSheet& sheet, CSheet& other) {
        ++g_prepares;
        other.SetDocument(sheet.GetDocument());
    };
    ScopedSheetNetHooks scoped(hooks);
    struct Case
    {
        int sheetType;
        int wLayer;
        int prepares;
    };
    const Case cases[] = {
        {SHEET_BOARD, 2, 1}, {SHEET_BOARD, 0, 0}, {SHEET_BOARD_VIAPART, 0, 1}, {SHEET_SELECTION, 2, 0}};
    for (const Case& c : cases) {
        g_prepares = 0;
        CSheet sheet(c.sheetType);
        sheet.SetWLayer(c.wLayer);
        CSheet other;
        other.StoreCopy(Item(KIND_LINE, 0, 0));
        sheet += other;
        EXPECT_EQ(g_prepares, c.prepares) << "type " << c.sheetType;
    }
}

int g_unlinkAll = 0;

TEST_F(SheetTest, DeleteContentsReturnsTheCoveredRectAndResetsTheCounter)
{
    SheetNetHooks hooks;
    hooks.unlinkAll = [](CSheet&) { ++g_unlinkAll; };
    ScopedSheetNetHooks scoped(hooks);
    g_unlinkAll = 0;
    const int before = g_alive;
    {
        CSheet sheet(7, 0x1, 2, nullptr);
        sheet.SetNetIDCounter(7 + 256 * 5);
        sheet.StoreCopy(Item(KIND_LINE, 1, 1));
        sheet.StoreCopy(Item(KIND_PART, 10, 20));
        sheet.StoreCopy(Item(KIND_SUR, -3, 4));
        EXPECT_EQ(g_alive, before + 3);
        EXPECT_EQ(sheet.GetBoundingRect(), CDRect(-3.5, 0.5, 10.5, 20.5));
        EXPECT_EQ(sheet.DeleteContents(), CDRect(-3.5, 0.5, 10.5, 20.5));
        EXPECT_EQ(g_alive, before);
        EXPECT_TRUE(sheet.IsEmpty());
        EXPECT_FALSE(sheet.GetFirstItemPos(KIND_PART));
        EXPECT_EQ(sheet.GetNetIDCounter(), 7u);
        EXPECT_EQ(g_unlinkAll, 1);

        sheet.SetNetIDCounter(999);
        EXPECT_TRUE(sheet.DeleteContents().IsRectNull());
        EXPECT_EQ(sheet.GetNetIDCounter(), 7u);
        sheet.StoreCopy(Item(KIND_TER, 0, 0));
    }
    // The destructor frees what is left.
    EXPECT_EQ(g_alive, before);
}

TEST_F(SheetTest, BoundsAreTheUnionOfAllItems)
{
    CSheet sheet;
    EXPECT_TRUE(sheet.GetBoundingRect().IsRectNull());
    sheet.StoreCopy(Item(KIND_VIA, 0, 0));
    sheet.StoreCopy(Item(KIND_TEXT, 4, -2));
    EXPECT_EQ(sheet.GetBoundingRect(), CDRect(-0.5, -2.5, 4.5, 0.5));
    // The sheet's own rectangle as an item.
    EXPECT_EQ(static_cast<CItemBase&>(sheet).GetBoundingRect(), CDRect(-0.5, -2.5, 4.5, 0.5));
}

TEST_F(SheetTest, OffsetByZeroChangesNothing)
{
    ProbeSheet sheet;
    sheet.StoreCopy(Item(KIND_LINE, 1, 1));
    CItemBase& asItem = sheet;
    asItem.GetBoundingRect();
    auto& line = As(sheet.GetHeadItem(KIND_LINE));
    line.GetBoundingRect();
    ASSERT_FALSE(sheet.IsDirty());
    ASSERT_FALSE(line.IsDirty());
    g_calls.clear();
    sheet.OffsetItem(CDPoint(0.0, 0.0), 1);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_FALSE(sheet.IsDirty());
    EXPECT_FALSE(line.IsDirty());
    EXPECT_EQ(line.pos, CDPoint(1, 1));

    // An empty sheet is not moved either, not even its own area.
    ProbeSheet empty;
    static_cast<CItemBase&>(empty).GetBoundingRect();
    empty.OffsetItem(CDPoint(1.0, 0.0), 0);
    EXPECT_FALSE(empty.IsDirty());
}

TEST_F(SheetTest, WholeSheetTransformsReachEveryItemInOrder)
{
    const std::vector<int> moveOrder = {KIND_LINE, KIND_VIA,  KIND_LAND, KIND_TEXT, KIND_TER,
                                        KIND_ARC,  KIND_HOLE, KIND_SUR,  KIND_PART};
    const std::vector<int> rotateOrder = {KIND_LINE, KIND_VIA,  KIND_LAND, KIND_ARC, KIND_HOLE,
                                          KIND_TER,  KIND_TEXT, KIND_SUR,  KIND_PART};
    CSheet sheet;
    for (auto it = moveOrder.rbegin(); it != moveOrder.rend(); ++it) {
        sheet.StoreCopy(Item(*it, 1, 2));
        sheet.StoreCopy(Item(*it, 3, 4));
    }
    auto run = [&](auto&& transform, const std::string& op, const std::vector<int>& order) {
        g_calls.clear();
        transform();
        std::vector<Call> expected;
        for (int kind : order) {
            expected.push_back({op, kind});
            expected.push_back({op, kind});
        }
        EXPECT_EQ(g_calls, expected) << op;
    };

    run([&] { sheet.OffsetItem(CDPoint(1, -1), 0); }, "offset0", moveOrder);
    run([&] { sheet.OffsetItem(CDPoint(-1, 1), 1); }, "offset1", moveOrder);
    run([&] { sheet.MirrorX(5); }, "mirrorX fill", moveOrder);
    run([&] { sheet.MirrorY(5); }, "mirrorY fill", moveOrder);
    run([&] { sheet.Rotate(CDPoint(0, 0), std::numbers::pi / 2); }, "rotate", rotateOrder);
    // A layer drawn filled mirrors its surfaces without refilling.
    sheet.GetLayerPoint()->drawClass = 4;
    run([&] { sheet.MirrorX(5); }, "mirrorX", moveOrder);

    // (1, 2) moved there and back, mirrored to (9, 8), turned a quarter to (-8, 9), mirrored to (18, 9).
    EXPECT_EQ(As(sheet.GetHeadItem(KIND_SUR)).pos, CDPoint(18, 9));
}

TEST_F(SheetTest, ItemTailMovesTheLastItemsLastFirst)
{
    CSheet undo, dest;
    for (int tag = 0; tag < 5; ++tag)
        undo.StoreCopy(Item(KIND_LINE, tag, 0, tag));
    undo.StoreCopy(Item(KIND_LAND, 0, 0, 10));
    undo.StoreCopy(Item(KIND_LAND, 0, 0, 11));
    dest.StoreCopy(Item(KIND_LAND, 0, 0, 20));

    unsigned counts[10] = {3, 3, 0, 0, 0, 0, 0, 0, 0, 0};
    undo.GetItemTail(counts, dest);
    EXPECT_EQ(Tags(dest, KIND_LINE), (std::vector<int>{4, 3, 2}));
    EXPECT_EQ(Tags(undo, KIND_LINE), (std::vector<int>{0, 1}));
    EXPECT_EQ(undo.GetItemCount(), 4);
    EXPECT_EQ(dest.GetItemCount(), 4);

    // More than a list holds: the list is emptied and the count follows what was moved.
    unsigned more[10] = {9, 0, 5, 0, 0, 0, 0, 0, 0, 0};
    undo.GetItemTail(more, dest);
    EXPECT_EQ(Tags(dest, KIND_LAND), (std::vector<int>{20, 11, 10}));
    EXPECT_EQ(undo.GetItemCount(), 2);
    EXPECT_EQ(undo.GetCount(0), undo.GetKindCount(KIND_LINE) + undo.GetKindCount(KIND_LAND));
}

int g_unlinked = 0;

TEST_F(SheetTest, DeletingUnlinksTheItemFirst)
{
    SheetNetHooks hooks;
    hooks.unlinkItem = [](CSheet& sheet, CItemBase& item) {
        // The item is still in the sheet when it is unlinked.
        if (sheet.CheckItem(&item))
            ++g_unlinked;
    };
    ScopedSheetNetHooks scoped(hooks);
    g_unlinked = 0;
    CSheet sheet;
    sheet.StoreCopy(Item(KIND_ARC, 0, 0));
    StandIn absent = Item(KIND_ARC, 1, 0);
    EXPECT_EQ(sheet.DeleteItem(&absent), 0);
    EXPECT_EQ(g_unlinked, 0);
    StandIn arc = Item(KIND_ARC, 0, 0);
    EXPECT_EQ(sheet.DeleteItem(&arc), 1);
    EXPECT_EQ(g_unlinked, 1);
}

TEST(SheetKindsTest, RegistryIsScopedAndIndexedByKindBit)
{
    EXPECT_EQ(SheetKindIndex(KIND_LINE), 0);
    EXPECT_EQ(SheetKindIndex(KIND_TER), 8);
    EXPECT_EQ(SheetKindIndex(KIND_SHEET), -1);
    EXPECT_EQ(SheetKindIndex(0x3), -1);
    EXPECT_EQ(SheetKindIndex(0), -1);
    EXPECT_EQ(SheetKindIndex(-1), -1);
    EXPECT_EQ(KindOfInputCommand(ID_INPUT_SUR), KIND_SUR);
    EXPECT_EQ(KindOfInputCommand(ID_INPUT_CUTTER), 0);

    const SheetKindOps* before = FindSheetKind(KIND_HOLE);
    const bool had = before != nullptr;
    {
        SheetKindOps ops;
        ops.takesSheetLayer = false;
        ScopedSheetKind outer(KIND_HOLE, ops);
        ASSERT_NE(FindSheetKind(KIND_HOLE), nullptr);
        EXPECT_FALSE(FindSheetKind(KIND_HOLE)->takesSheetLayer);
        {
            ScopedSheetKind inner(KIND_HOLE, SheetKindOps());
            EXPECT_TRUE(FindSheetKind(KIND_HOLE)->takesSheetLayer);
        }
        EXPECT_FALSE(FindSheetKind(KIND_HOLE)->takesSheetLayer);
    }
    EXPECT_EQ(FindSheetKind(KIND_HOLE) != nullptr, had);
    EXPECT_FALSE(RegisterSheetKind(KIND_SHEET, SheetKindOps()));
}

} // namespace
