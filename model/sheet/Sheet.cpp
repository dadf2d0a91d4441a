#include "model/sheet/Sheet.h"

#include "model/items/Part.h"

#include <array>

namespace {

using KindOrder = std::array<int, SHEET_KIND_COUNT>;

// The orders in which the whole-sheet operations visit the kinds.
constexpr KindOrder kBoundsOrder = {KIND_LINE, KIND_VIA, KIND_LAND, KIND_TEXT, KIND_ARC,
                                    KIND_HOLE, KIND_SUR, KIND_TER,  KIND_PART};
constexpr KindOrder kFreeOrder = {KIND_LINE, KIND_VIA, KIND_ARC, KIND_HOLE, KIND_TEXT,
                                  KIND_LAND, KIND_TER, KIND_SUR, KIND_PART};
constexpr KindOrder kMergeOrder = {KIND_ARC, KIND_HOLE, KIND_LAND, KIND_LINE, KIND_SUR,
                                   KIND_TER, KIND_TEXT, KIND_PART, KIND_VIA};
constexpr KindOrder kMoveOrder = {KIND_LINE, KIND_VIA,  KIND_LAND, KIND_TEXT, KIND_TER,
                                  KIND_ARC,  KIND_HOLE, KIND_SUR,  KIND_PART};
constexpr KindOrder kRotateOrder = {KIND_LINE, KIND_VIA,  KIND_LAND, KIND_ARC, KIND_HOLE,
                                    KIND_TER,  KIND_TEXT, KIND_SUR,  KIND_PART};
constexpr KindOrder kTailOrder = {KIND_TEXT, KIND_VIA,  KIND_ARC,  KIND_HOLE, KIND_TER,
                                  KIND_SUR,  KIND_PART, KIND_LAND, KIND_LINE};
constexpr KindOrder kCompareOrder = {KIND_LINE, KIND_ARC, KIND_LAND, KIND_HOLE, KIND_TER,
                                     KIND_TEXT, KIND_SUR, KIND_PART, KIND_VIA};

// Applies the kinds' operation op, in the order given, to every item of the sheet; kinds without
// the operation are passed over.
template <class Op, class... Args>
void ApplyToKinds(CSheet& sheet, const KindOrder& order, Op SheetKindOps::*op, const Args&... args)
{
    for (int kind : order) {
        const SheetKindOps* ops = FindSheetKind(kind);
        if (!ops || !(ops->*op))
            continue;
        for (POSITION pos = sheet.GetFirstItemPos(kind); pos;)
            (ops->*op)(*sheet.GetNextItem(kind, pos), args...);
    }
}

} // namespace

CSheet::CSheet(int sheetType) : CItemBase(KIND_SHEET), m_nSheetType(sheetType)
{
    m_layer.order = 100;
    m_layer.drawClass = 2;
}

CSheet::CSheet(int wLayer, int typeFlags, int layer, DocumentServices* doc)
    : CItemBase(KIND_SHEET), m_pDoc(doc), m_nWLayer(wLayer)
{
    m_nType = typeFlags;
    m_nLayer = layer;
    m_layer.order = 100;
    m_layer.drawClass = 2;
}

CSheet::~CSheet()
{
    FreeContents(nullptr);
}

CSheet& CSheet::operator=(CSheet& other)
{
    if (&other == this)
        return *this;
    // Emptied while it is still the sheet it was, so that its items leave the copper groups of
    // its own document and layer.
    DeleteContents();
    CItemBase::operator=(other);
    m_pDoc = other.m_pDoc;
    m_strCrossLayer = other.m_strCrossLayer;
    m_nSheetType = other.m_nSheetType;
    m_nWLayer = other.m_nWLayer;
    m_layer = other.m_layer;
    m_nNetID = static_cast<std::uint32_t>(m_nWLayer);
    ResetBounding();
    *this += other;
    return *this;
}

int CSheet::operator==(CSheet& other)
{
    if (m_nCount == 0 && other.m_nCount == 0)
        return 1;
    if (m_nCount != other.m_nCount)
        return 0;
    if (GetBoundingRect() != other.GetBoundingRect())
        return 0;
    for (int id = ID_INPUT_LINE; id <= ID_INPUT_TER; ++id)
        if (GetCount(id) != other.GetCount(id))
            return 0;
    for (int kind : kCompareOrder) {
        const SheetKindOps* ops = FindSheetKind(kind);
        CItemList& mine = *ListOf(kind);
        CItemList& theirs = *other.ListOf(kind);
        POSITION a = mine.GetHeadPosition();
        POSITION b = theirs.GetHeadPosition();
        while (a && b) {
            CItemBase* x = mine.GetNext(a);
            CItemBase* y = theirs.GetNext(b);
            // Parts compare with their contents.
            const bool equal = kind == KIND_PART
                                   ? static_cast<CPart*>(x)->Compare(*static_cast<CPart*>(y)) != 0
                                   : ops && ops->equal && ops->equal(*x, *y);
            if (!equal)
                return 0;
        }
    }
    return 1;
}

void CSheet::RemoveItemAt(int kind, POSITION pos)
{
    CItemList* list = ListOf(kind);
    if (!list || !pos)
        return;
    if (const auto unlink = GetSheetNetHooks().unlinkItem)
        unlink(*this, *list->GetAt(pos));
    list->RemoveAt(pos);
    --m_nCount;
    ResetBounding();
}

int CSheet::GetSheetBitType() const
{
    switch (m_nSheetType) {
    case SHEET_BOARD:
        return SHEETBIT_BOARD;
    case SHEET_SELECTION:
        return SHEETBIT_SELECTION;
    case SHEET_BOARD_VIAPART:
        return SHEETBIT_BOARD | SHEETBIT_OWN_LAYERS;
    case SHEET_REPLACED:
        return SHEETBIT_REPLACED;
    case SHEET_SELECT_VIAPART:
        return SHEETBIT_SELECTION | SHEETBIT_OWN_LAYERS;
    case SHEET_REPLACED_VIAPART:
        return SHEETBIT_REPLACED | SHEETBIT_OWN_LAYERS;
    case SHEET_UNDO:
    case SHEET_REDO:
        return SHEETBIT_DOCWORK;
    default:
        return 0;
    }
}

CItemList* CSheet::ListOf(int kind)
{
    const int index = SheetKindIndex(kind);
    return index < 0 ? nullptr : &m_lists[static_cast<std::size_t>(index)];
}

const CItemList* CSheet::ListOf(int kind) const
{
    const int index = SheetKindIndex(kind);
    return index < 0 ? nullptr : &m_lists[static_cast<std::size_t>(index)];
}

CItemBase* CSheet::StoreCopy(const CItemBase& item)
{
    const SheetKindOps* ops = FindSheetKind(item.GetKind());
    CItemList* list = ListOf(item.GetKind());
    if (!ops || !ops->copy || !list)
        return nullptr;
    return StoreItem(ops->copy(item));
}

CItemBase* CSheet::StoreItem(std::unique_ptr<CItemBase> item)
{
    if (!item)
        return nullptr;
    const SheetKindOps* ops = FindSheetKind(item->GetKind());
    CItemList* list = ListOf(item->GetKind());
    if (!ops || !list)
        return nullptr;
    CItemBase* stored = item.get();
    stored->SetParent(this);
    stored->RefreshBoardEntry();
    list->AddTail(std::move(item));
    ++m_nCount;
    if (ops->takesSheetLayer && !(GetSheetBitType() & SHEETBIT_OWN_LAYERS))
        stored->SetLayerNo(GetLayerNo());
    if (ops->stored)
        ops->stored(*this, *stored);
    ResetBounding();
    return stored;
}

int CSheet::DeleteEqualItem(const CItemBase& item)
{
    const SheetKindOps* ops = FindSheetKind(item.GetKind());
    CItemList* list = ListOf(item.GetKind());
    if (!ops || !ops->equal || !list)
        return 0;
    for (POSITION pos = list->GetHeadPosition(); pos;) {
        const POSITION here = pos;
        CItemBase* stored = list->GetNext(pos);
        if (!ops->equal(*stored, item))
            continue;
        if (const auto unlink = GetSheetNetHooks().unlinkItem)
            unlink(*this, *stored);
        // The given item may be the stored one itself: it is not touched after this.
        list->RemoveAt(here);
        --m_nCount;
        ResetBounding();
        return 1;
    }
    return 0;
}

POSITION CSheet::GetFirstItemPos(int kind)
{
    CItemList* list = ListOf(kind);
    return list ? list->GetHeadPosition() : POSITION();
}

CItemBase* CSheet::GetNextItem(int kind, POSITION& pos)
{
    CItemList* list = ListOf(kind);
    return list && pos ? list->GetNext(pos) : nullptr;
}

POSITION CSheet::GetLastItemPos(int kind)
{
    CItemList* list = ListOf(kind);
    return list ? list->GetTailPosition() : POSITION();
}

CItemBase* CSheet::GetPrevItem(int kind, POSITION& pos)
{
    CItemList* list = ListOf(kind);
    return list && pos ? list->GetPrev(pos) : nullptr;
}

CItemBase* CSheet::GetHeadItem(int kind)
{
    CItemList* list = ListOf(kind);
    return list ? list->GetHead() : nullptr;
}

CItemBase* CSheet::GetTailItem(int kind, int n)
{
    CItemList* list = ListOf(kind);
    if (!list)
        return nullptr;
    if (n == 0)
        return list->GetTail();
    const POSITION pos = list->FindIndex(list->GetCount() - n);
    return pos ? list->GetAt(pos) : nullptr;
}

CItemBase* CSheet::GetItemAt(int kind, int index)
{
    CItemList* list = ListOf(kind);
    if (!list)
        return nullptr;
    const POSITION pos = list->FindIndex(index);
    return pos ? list->GetAt(pos) : nullptr;
}

int CSheet::GetKindCount(int kind) const
{
    const CItemList* list = ListOf(kind);
    return list ? list->GetCount() : 0;
}

int CSheet::GetCount(int commandId) const
{
    const int kind = KindOfInputCommand(commandId);
    return kind ? GetKindCount(kind) : m_nCount;
}

void CSheet::GetCount(int commandId, unsigned* counts, int slots)
{
    const int kind = KindOfInputCommand(commandId);
    const SheetKindOps* ops = FindSheetKind(kind);
    CItemList* list = ListOf(kind);
    if (!counts || !ops || !ops->countSlot || !list)
        return;
    for (CItemBase* item : *list) {
        const int slot = ops->countSlot(*item);
        if (slot >= 0 && slot < slots)
            ++counts[slot];
    }
}

CDRect CSheet::GetBoundingRect()
{
    CDRect rect;
    for (int kind : kBoundsOrder)
        for (CItemBase* item : m_lists[static_cast<std::size_t>(SheetKindIndex(kind))])
            rect |= item->GetBoundingRect();
    return rect;
}

void CSheet::CalcBoundingRect()
{
    // Stale bounds mean changed items: the spatial index is built again.
    InvalidateIndex();
    SetBoundingRect(GetBoundingRect());
    CopyAreaRect();
}

CSheet& CSheet::operator+=(CSheet& other)
{
    if (other.m_nCount == 0)
        return *this;
    if ((m_nSheetType == SHEET_BOARD && m_nWLayer != 0) || m_nSheetType == SHEET_BOARD_VIAPART) {
        if (const auto prepare = GetSheetNetHooks().prepareMerge)
            prepare(*this, other);
    }
    for (int kind : kMergeOrder) {
        const SheetKindOps* ops = FindSheetKind(kind);
        CItemList& list = *other.ListOf(kind);
        // Only the items present now: merging a sheet into itself must not walk its own copies.
        int remaining = list.GetCount();
        for (POSITION pos = list.GetHeadPosition(); pos && remaining > 0; --remaining) {
            CItemBase* stored = StoreCopy(*list.GetNext(pos));
            if (stored && ops && ops->merged)
                ops->merged(*this, *stored);
        }
    }
    return *this;
}

void CSheet::TakeItems(CSheet& other)
{
    if (&other == this || other.m_nCount == 0)
        return;
    // Items in copper groups, or a sheet whose merge has connectivity steps, take the copying way.
    const bool hooked =
        (m_nSheetType == SHEET_BOARD && m_nWLayer != 0) || m_nSheetType == SHEET_BOARD_VIAPART;
    if (hooked || !other.m_netLines.IsEmpty()) {
        *this += other;
        other.DeleteContents();
        return;
    }
    for (int kind : kMergeOrder) {
        const SheetKindOps* ops = FindSheetKind(kind);
        CItemList& list = *other.ListOf(kind);
        while (!list.IsEmpty()) {
            CItemBase* stored = StoreItem(list.Detach(list.GetHeadPosition()));
            if (stored && ops && ops->merged)
                ops->merged(*this, *stored);
        }
    }
    other.DeleteContents();
}

CItemBase* CSheet::AddItem(CItemBase* item)
{
    if (!item)
        return nullptr;
    if (item->GetKind() == KIND_SHEET) {
        *this += static_cast<CSheet&>(*item);
        return this;
    }
    CItemBase* stored = StoreCopy(*item);
    const int bits = GetSheetBitType();
    if (stored && (bits & SHEETBIT_BOARD) && (m_nWLayer != 0 || (bits & SHEETBIT_OWN_LAYERS))) {
        if (const auto reset = GetSheetNetHooks().resetItemIds)
            reset(*this, *stored);
    }
    return stored;
}

int CSheet::DeleteItem(CItemBase* item)
{
    if (!item)
        return 0;
    if (item->GetKind() == KIND_SHEET) {
        static_cast<CSheet*>(item)->DeleteContents();
        return 1;
    }
    return DeleteEqualItem(*item);
}

int CSheet::CheckItem(CItemBase* item)
{
    if (!item)
        return 0;
    const SheetKindOps* ops = FindSheetKind(item->GetKind());
    const CItemList* list = ListOf(item->GetKind());
    if (!ops || !ops->equal || !list)
        return 0;
    for (const CItemBase* stored : *list)
        if (ops->equal(*stored, *item))
            return 1;
    return 0;
}

CDRect CSheet::DeleteContents()
{
    CDRect rect;
    FreeContents(&rect);
    return rect;
}

void CSheet::FreeContents(CDRect* covered)
{
    if (const auto unlink = GetSheetNetHooks().unlinkAll)
        unlink(*this);
    m_netLines.RemoveAll();
    if (covered && m_nCount != 0)
        *covered = GetBoundingRect();
    // Every list is emptied even if the count went wrong, so nothing is left behind.
    for (int kind : kFreeOrder)
        m_lists[static_cast<std::size_t>(SheetKindIndex(kind))].RemoveAll();
    m_nCount = 0;
    m_nNetID = static_cast<std::uint32_t>(m_nWLayer);
    if (covered)
        ResetBounding();
}

void CSheet::GetItemTail(const unsigned* counts, CSheet& dest)
{
    if (!counts || &dest == this)
        return;
    for (int kind : kTailOrder) {
        CItemList& list = *ListOf(kind);
        const unsigned wanted = counts[SheetKindIndex(kind) + 1];
        for (unsigned moved = 0; moved < wanted && !list.IsEmpty(); ++moved) {
            const POSITION tail = list.GetTailPosition();
            dest.StoreCopy(*list.GetAt(tail));
            // Freed as a deletion frees it, out of the copper groups first. The count follows what
            // was really moved, so it stays the sum of the lists even when the caller's total
            // disagrees.
            RemoveItemAt(kind, tail);
        }
    }
    ResetBounding();
}

void CSheet::OffsetItem(const CDPoint& delta, int allArcs)
{
    if (m_nCount == 0 || (delta.x == 0.0 && delta.y == 0.0))
        return;
    CItemBase::Offset(delta);
    ApplyToKinds(*this, kMoveOrder, &SheetKindOps::offset, delta, allArcs);
}

void CSheet::MirrorX(double x)
{
    const bool fill = m_layer.drawClass != 4;
    CItemBase::MirrorX(x);
    ApplyToKinds(*this, kMoveOrder, &SheetKindOps::mirrorX, x, fill);
}

void CSheet::MirrorY(double y)
{
    const bool fill = m_layer.drawClass != 4;
    CItemBase::MirrorY(y);
    ApplyToKinds(*this, kMoveOrder, &SheetKindOps::mirrorY, y, fill);
}

void CSheet::Rotate(const CDPoint& centre, double angle)
{
    const bool fill = m_layer.drawClass != 4;
    ApplyToKinds(*this, kRotateOrder, &SheetKindOps::rotate, centre, angle, fill);
}
