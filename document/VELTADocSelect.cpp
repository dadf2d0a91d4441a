// Selection by rectangle, the moves of items between the board, selection and replaced-items
// sets, chain selection, counts and transforms of the selection, and the cutter targets.

#include "document/VELTADoc.h"

#include "document/DocumentHost.h"
#include "document/ItemFinder.h"
#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"

#include <unordered_set>

namespace {

constexpr int SET_BOARD = 0;
constexpr int SET_SELECTION = 2;
constexpr int SET_REPLACED = 5;

bool IsLayerSet(int set)
{
    return set == SET_BOARD || set == SET_SELECTION || set == SET_REPLACED;
}

bool Touches(const CDRect& a, const CDRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// Whether an item of the kind lies in or touches the rectangle (terminals by their bounds).
bool InRect(CItemBase* item, const CDRect& rect)
{
    switch (item->GetKind()) {
    case KIND_TER:
        return Touches(item->GetBoundingRect(), rect);
    case KIND_LAND:
        return static_cast<CLand*>(item)->CheckPoint(rect) != 0;
    case KIND_LINE:
        return static_cast<CLine*>(item)->CheckPoint(rect);
    case KIND_ARC:
        return static_cast<CArc*>(item)->CheckPoint(rect);
    case KIND_SUR:
        return static_cast<CSur*>(item)->CheckPoint(rect) != 0;
    case KIND_HOLE:
        return static_cast<CHole*>(item)->CheckPoint(rect) != 0;
    case KIND_TEXT:
        return static_cast<CText*>(item)->CheckPoint(rect) != 0;
    case KIND_VIA:
        return static_cast<CVia*>(item)->CheckPoint(rect) != 0;
    default:
        return false;
    }
}

// Moves the items of a kind that the test picks from one sheet to another, in list order: a copy
// goes into the target (prepare runs on the source item first), the item itself leaves the
// source. The moved copies are handed to stored.
template <class Pick, class Prepare, class Stored>
void MoveWhere(CSheet& from, CSheet& to, int kind, Pick pick, Prepare prepare, Stored stored)
{
    for (POSITION pos = from.GetFirstItemPos(kind); pos;) {
        const POSITION here = pos;
        CItemBase* item = from.GetNextItem(kind, pos);
        if (!pick(item))
            continue;
        prepare(item);
        if (CItemBase* copy = to.StoreCopy(*item))
            stored(copy);
        from.DeleteItemAt(kind, here);
    }
}

template <class Pick> void MoveWhere(CSheet& from, CSheet& to, int kind, Pick pick)
{
    MoveWhere(
        from, to, kind, pick, [](CItemBase*) {}, [](CItemBase*) {});
}

// The sheet's items made a copy of another's, the sheet keeping its own role.
void CopyItems(CSheet& target, CSheet& source)
{
    target.DeleteContents();
    target += source;
}

// Brings stale bounds up to date (an aperture of -1 becomes 0 on the way) and gives the bounds.
CDRect FreshBounds(CItemBase* item)
{
    return item->GetBoundingRect();
}

} // namespace

CSheet* CVELTADoc::GetSetSheet(int set, int layer)
{
    if (layer == LAYER_MAX) {
        switch (set) {
        case SET_BOARD:
            return &m_viaPartSheet;
        case SET_SELECTION:
            return &m_selViaPartSheet;
        case SET_REPLACED:
            return &m_repViaPartSheet;
        default:
            return nullptr;
        }
    }
    if (layer < 0 || layer >= LAYER_MAX)
        return nullptr;
    const auto index = static_cast<std::size_t>(layer);
    switch (set) {
    case SET_BOARD:
        return &m_boardSheets[index];
    case SET_SELECTION:
        return &m_selSheets[index];
    case SET_REPLACED:
        return &m_repSheets[index];
    default:
        return nullptr;
    }
}

bool CVELTADoc::IsPartLayer(int layer) const
{
    for (const tagPARTLAYER& record : m_stack.partLayers)
        if (record.layerA == layer || record.layerB == layer)
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Selection by rectangle

int CVELTADoc::SelectInRect(CDRect rect)
{
    rect.NormalizeRect();
    m_repaintRect.SetRectEmpty();
    for (const auto& entry : m_enableList)
        ToggleLayerInRect(rect, entry.second);
    return static_cast<int>(m_enableList.size());
}

void CVELTADoc::ToggleLayerInRect(CDRect rect, int layer)
{
    CSheet* board = GetSetSheet(SET_BOARD, layer);
    if (!board || layer == LAYER_MAX)
        return;
    rect.NormalizeRect();
    CSheet& b = *board;
    CSheet& s = *GetSetSheet(SET_SELECTION, layer);
    CSheet& r = *GetSetSheet(SET_REPLACED, layer);
    // What leaves the selection: layer items, and vias and parts (which keep their own layers).
    CSheet t(SHEET_WORK);
    CSheet v(SHEET_REPLACED_VIAPART);
    v.SetDocument(this);
    v.SetLayerNo(LAYER_MAX);

    const bool current = layer == m_nCurrentLayer;
    const bool vias = current && m_bViaOnEnabled;
    auto inRect = [&rect](CItemBase* item) { return InRect(item, rect); };

    if (vias) {
        MoveWhere(m_selViaPartSheet, v, KIND_VIA, inRect);
        MoveWhere(m_viaPartSheet, m_selViaPartSheet, KIND_VIA, inRect);
    }
    for (int kind : {KIND_TER, KIND_LAND, KIND_LINE, KIND_ARC, KIND_SUR, KIND_HOLE, KIND_TEXT}) {
        MoveWhere(s, t, kind, inRect);
        auto prepare = [&rect, kind](CItemBase* item) {
            if (kind == KIND_LINE)
                static_cast<CLine*>(item)->SetCheck(rect);
            else if (kind == KIND_ARC)
                static_cast<CArc*>(item)->SetCheck(rect);
        };
        auto stored = [&rect, kind](CItemBase* copy) {
            if (kind == KIND_SUR)
                static_cast<CSur*>(copy)->SetCheck(rect);
        };
        MoveWhere(b, s, kind, inRect, prepare, stored);
    }
    const bool parts = current && m_bPartOnEnabled && IsPartLayer(layer);
    if (parts) {
        auto partIn = [&rect, layer](CItemBase* item) {
            return static_cast<CPart*>(item)->CheckPoint(rect, layer) != 0;
        };
        MoveWhere(m_selViaPartSheet, v, KIND_PART, partIn);
        MoveWhere(m_viaPartSheet, m_selViaPartSheet, KIND_PART, partIn);
        m_partList.clear();
    }

    b += t;
    CopyItems(r, s);
    if (current && (m_bViaOnEnabled || m_bPartOnEnabled)) {
        m_viaPartSheet += v;
        CopyItems(m_repViaPartSheet, m_selViaPartSheet);
    }

    // Repaint what left the selection, then what is selected now where that differs.
    m_repaintRect |= v.GetBoundingRect();
    m_repaintRect |= t.GetBoundingRect();
    if (!m_repaintRect.IsRectNull() && m_pHost)
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    CDRect selected = s.GetBoundingRect();
    if (current)
        selected |= m_selViaPartSheet.GetBoundingRect();
    if (selected != m_repaintRect) {
        m_repaintRect |= selected;
        if (m_pHost)
            m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    }
}

void CVELTADoc::SelectTextsInRect(CDRect rect)
{
    rect.NormalizeRect();
    m_repaintRect.SetRectEmpty();
    for (const auto& entry : m_enableList) {
        const int layer = entry.second;
        CSheet& b = *GetSetSheet(SET_BOARD, layer);
        CSheet& s = *GetSetSheet(SET_SELECTION, layer);
        CSheet& r = *GetSetSheet(SET_REPLACED, layer);
        if (layer == m_nCurrentLayer) {
            MoveWhere(m_viaPartSheet, m_selViaPartSheet, KIND_PART, [&](CItemBase* item) {
                std::vector<CText*> texts;
                static_cast<CPart*>(item)->GetTextList(&texts, layer);
                for (CText* text : texts)
                    if (text->CheckPoint(rect))
                        return true;
                return false;
            });
            CopyItems(m_repViaPartSheet, m_selViaPartSheet);
            m_repaintRect |= m_selViaPartSheet.GetBoundingRect();
        }
        MoveWhere(b, s, KIND_LINE, [&](CItemBase* item) {
            CLine* line = static_cast<CLine*>(item);
            return !line->IsNameEmpty() && line->GetNameText()->CheckPoint(rect);
        });
        MoveWhere(b, s, KIND_ARC, [&](CItemBase* item) {
            CArc* arc = static_cast<CArc*>(item);
            return !arc->IsNameEmpty() && arc->GetNameText()->CheckPoint(rect);
        });
        MoveWhere(b, s, KIND_TEXT,
                  [&](CItemBase* item) { return static_cast<CText*>(item)->CheckPoint(rect) != 0; });
        CopyItems(r, s);
        m_repaintRect |= s.GetBoundingRect();
    }
    if (!m_repaintRect.IsRectNull() && m_pHost)
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
}

namespace {

// Moves the item equal to the given one from a selection sheet back to its board sheet.
int DeselectEqual(CSheet& selection, CSheet& board, CItemBase& item, DocumentHost* host)
{
    CItemBase* stored = nullptr;
    const int kind = item.GetKind();
    for (POSITION pos = selection.GetFirstItemPos(kind); pos && !stored;) {
        CItemBase* candidate = selection.GetNextItem(kind, pos);
        const SheetKindOps* ops = FindSheetKind(kind);
        if (ops && ops->equal && ops->equal(*candidate, item))
            stored = candidate;
    }
    if (!stored)
        return 0;
    CItemBase* copy = board.StoreCopy(*stored);
    if (host && copy)
        host->UpdateAllViews(0, nullptr, copy);
    return selection.DeleteEqualItem(item);
}

} // namespace

int CVELTADoc::DeselectLine(CLine line)
{
    return DeselectEqual(*m_pCurrentSelSheet, *m_pCurrentSheet, line, m_pHost);
}

void CVELTADoc::DeselectArc(CArc arc)
{
    DeselectEqual(*m_pCurrentSelSheet, *m_pCurrentSheet, arc, m_pHost);
}

void CVELTADoc::DeselectText(CText text)
{
    DeselectEqual(*m_pCurrentSelSheet, *m_pCurrentSheet, text, m_pHost);
}

void CVELTADoc::DeselectSur(CSur sur)
{
    DeselectEqual(*m_pCurrentSelSheet, *m_pCurrentSheet, sur, m_pHost);
}

void CVELTADoc::DeselectPart(CPart part)
{
    if (DeselectEqual(m_selViaPartSheet, m_viaPartSheet, part, m_pHost))
        m_partList.clear();
}

// ---------------------------------------------------------------------------------------------
// Moves between the sets

void CVELTADoc::MoveAllSheets(int from, int to)
{
    if (!IsLayerSet(from) || !IsLayerSet(to) || from == to)
        return;
    for (int layer = 0; layer <= LAYER_MAX; ++layer) {
        CSheet& source = *GetSetSheet(from, layer);
        CSheet& target = *GetSetSheet(to, layer);
        if (source.IsEmpty())
            continue;
        target += source;
        if (m_pHost)
            m_pHost->UpdateAllViews(0, nullptr, &source);
        source.DeleteContents();
    }
    m_viaPartSheet.ResetPartBoundRect();
    m_selViaPartSheet.ResetPartBoundRect();
    m_repViaPartSheet.ResetPartBoundRect();
    m_partList.clear();
}

void CVELTADoc::MoveViaPartItems(CSheet& from, CSheet& to, bool remove, bool all)
{
    if (&from == &to)
        return;
    if (m_bPartOnEnabled) {
        from.ResetPartBoundRect();
        bool moved = false;
        for (POSITION pos = from.GetFirstPartPos(); pos;) {
            const POSITION here = pos;
            CPart* part = from.GetNextPart(pos);
            const CDRect bounds = part->GetBoundingRect();
            if (!all && bounds.IsRectNull())
                continue;
            m_repaintRect |= bounds;
            to.NewPart(*part);
            moved = true;
            if (remove)
                from.DeleteItemAt(KIND_PART, here);
        }
        if (moved)
            m_partList.clear();
    }
    if (m_bViaOnEnabled) {
        for (POSITION pos = from.GetFirstViaPos(); pos;) {
            const POSITION here = pos;
            CVia* via = from.GetNextVia(pos);
            m_repaintRect |= FreshBounds(via);
            to.NewVia(*via);
            if (remove)
                from.DeleteItemAt(KIND_VIA, here);
        }
    }
}

bool CVELTADoc::MoveSetItems(int from, int to, bool remove, bool all)
{
    if (IsLayerSet(from) && IsLayerSet(to) && from != to) {
        for (const auto& entry : m_enableList) {
            CSheet& source = *GetSetSheet(from, entry.second);
            if (source.IsEmpty())
                continue;
            m_repaintRect = source.GetBoundingRect();
            *GetSetSheet(to, entry.second) += source;
            if (remove)
                source.DeleteContents();
            if (m_pHost)
                m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
        }
    }
    m_repaintRect.SetRectEmpty();
    CSheet* source = from == 6          ? &m_selViaPartSheet
                     : IsLayerSet(from) ? GetSetSheet(from, LAYER_MAX)
                                        : nullptr;
    CSheet* target = to == 4 ? &m_viaPartSheet : IsLayerSet(to) ? GetSetSheet(to, LAYER_MAX) : nullptr;
    if (source && target)
        MoveViaPartItems(*source, *target, remove, all);
    const bool unchanged = m_repaintRect.IsRectNull() != 0;
    if (!unchanged && m_pHost)
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    return unchanged;
}

void CVELTADoc::MoveSetItemsOtherLayers(int from, int to, bool remove)
{
    if (!IsLayerSet(from) || !IsLayerSet(to) || from == to)
        return;
    for (const auto& entry : m_enableList) {
        if (entry.second == m_nCurrentLayer)
            continue;
        CSheet& source = *GetSetSheet(from, entry.second);
        if (source.IsEmpty())
            continue;
        *GetSetSheet(to, entry.second) += source;
        if (m_pHost)
            m_pHost->UpdateAllViews(0, nullptr, &source);
        if (remove)
            source.DeleteContents();
    }
    CSheet& source = *GetSetSheet(from, LAYER_MAX);
    *GetSetSheet(to, LAYER_MAX) += source;
    if (m_pHost)
        m_pHost->UpdateAllViews(0, nullptr, &source);
    if (remove)
        source.DeleteContents();
    m_viaPartSheet.ResetPartBoundRect();
    m_selViaPartSheet.ResetPartBoundRect();
    m_partList.clear();
}

void CVELTADoc::MoveItemsOfKind(CSheet& from, CSheet* to, int kind, bool remove, CDRect& covered)
{
    for (POSITION pos = from.GetFirstItemPos(kind); pos;) {
        const POSITION here = pos;
        CItemBase* item = from.GetNextItem(kind, pos);
        covered |= FreshBounds(item);
        if (to)
            to->StoreCopy(*item);
        if (remove)
            from.DeleteItemAt(kind, here);
    }
}

void CVELTADoc::MoveLayerItems(int skipMask, int from, int to, bool remove)
{
    CSheet* source = GetSetSheet(from, m_nCurrentLayer);
    CSheet* sourceViaParts = GetSetSheet(from, LAYER_MAX);
    CSheet* target = to == 3 ? nullptr : GetSetSheet(to, m_nCurrentLayer);
    CSheet* targetViaParts = to == 3 ? nullptr : GetSetSheet(to, LAYER_MAX);
    if (!source || (to != 3 && !target) || source == target)
        return;
    CDRect covered;
    for (int kind : {KIND_LINE, KIND_LAND, KIND_ARC, KIND_TEXT, KIND_HOLE, KIND_SUR, KIND_TER})
        if (!(skipMask & kind))
            MoveItemsOfKind(*source, target, kind, remove, covered);
    for (int kind : {KIND_PART, KIND_VIA})
        if (!(skipMask & kind))
            MoveItemsOfKind(*sourceViaParts, targetViaParts, kind, remove, covered);
    if (!(skipMask & KIND_PART))
        m_partList.clear();
    m_repaintRect = covered;
    if (!m_repaintRect.IsRectNull() && m_pHost)
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
}

void CVELTADoc::MoveLayerItemsInFrame(int from, int to, bool remove)
{
    MoveLayerItems(KIND_LINE | KIND_ARC, from, to, remove);
    CSheet* source = GetSetSheet(from, m_nCurrentLayer);
    CSheet* target = to == 3 ? nullptr : GetSetSheet(to, m_nCurrentLayer);
    if (!source || (to != 3 && !target) || source == target)
        return;
    source->FrameCheck(nullptr, 0, nullptr, nullptr);
    CDRect covered = m_repaintRect;
    for (int kind : {KIND_LINE, KIND_ARC}) {
        for (POSITION pos = source->GetFirstItemPos(kind); pos;) {
            const POSITION here = pos;
            CItemBase* item = source->GetNextItem(kind, pos);
            const bool marked = kind == KIND_LINE ? static_cast<CLine*>(item)->CheckSelect()
                                                  : static_cast<CArc*>(item)->CheckSelect();
            if (marked)
                continue;
            covered |= FreshBounds(item);
            if (target) {
                CItemBase* copy = target->StoreCopy(*item);
                if (copy && kind == KIND_LINE)
                    static_cast<CLine*>(copy)->SetCheck(false);
                else if (copy)
                    static_cast<CArc*>(copy)->SetCheck(false);
            }
            if (remove)
                source->DeleteItemAt(kind, here);
        }
    }
    m_repaintRect = covered;
    if (!m_repaintRect.IsRectNull() && m_pHost)
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Transforms, tests and counts of the selection

void CVELTADoc::OffsetSelection(const CDPoint& offset, int mode, bool allLayers)
{
    if (allLayers) {
        for (CSheet& sheet : m_selSheets)
            sheet.OffsetItem(offset, mode);
    } else {
        for (const auto& entry : m_displayList)
            m_selSheets[static_cast<std::size_t>(entry.second)].OffsetItem(offset, mode);
    }
    m_selViaPartSheet.OffsetItem(offset, 1);
}

void CVELTADoc::OffsetSelectionAttr(const CDPoint& offset)
{
    for (const auto& entry : m_enableList)
        m_selSheets[static_cast<std::size_t>(entry.second)].OffsetAttr(offset);
    m_selViaPartSheet.OffsetAttr(offset);
}

void CVELTADoc::ScaleSelection(const CDPoint& base, const CDSize& factors)
{
    if (m_repaintRect.IsRectNull())
        m_repaintRect = GetItemsRect(SET_SELECTION);
    if (m_pHost)
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    for (const auto& entry : m_enableList)
        m_selSheets[static_cast<std::size_t>(entry.second)].ScaleItem(base, factors);
    m_selViaPartSheet.ScaleItem(base, factors);
}

bool CVELTADoc::IsSelectionMarked(bool checkMarks)
{
    for (const auto& entry : m_enableList) {
        CSheet& sheet = m_selSheets[static_cast<std::size_t>(entry.second)];
        for (POSITION pos = sheet.GetFirstSurPos(); pos;)
            if (sheet.GetNextSur(pos)->GetType() & 0x2000)
                return true;
        if (!checkMarks)
            continue;
        for (POSITION pos = sheet.GetFirstLinePos(); pos;)
            if (sheet.GetNextLine(pos)->CheckEdge())
                return true;
        for (POSITION pos = sheet.GetFirstArcPos(); pos;)
            if (sheet.GetNextArc(pos)->CheckEdge())
                return true;
    }
    return false;
}

int CVELTADoc::CountItems(int set, int commandId)
{
    const int which = set == SET_SELECTION ? SET_SELECTION : SET_BOARD;
    int count = 0;
    for (int layer = 0; layer <= LAYER_MAX; ++layer)
        count += GetSetSheet(which, layer)->GetCount(commandId);
    return count;
}

int CVELTADoc::CountLayerItems(int layer, int commandId)
{
    if (layer < 0 || layer >= LAYER_MAX)
        return 0;
    const auto index = static_cast<std::size_t>(layer);
    return m_boardSheets[index].GetCount(commandId) + m_selSheets[index].GetCount(commandId) +
           m_viaPartSheet.GetPartLayerCount(layer, commandId) +
           m_selViaPartSheet.GetPartLayerCount(layer, commandId);
}

// The selection tests look at every layer, shown or not: an item selected on a layer that was
// hidden afterwards is still off the board.
bool CVELTADoc::IsSelectionEmpty()
{
    for (const CSheet& sheet : m_selSheets)
        if (!sheet.IsEmpty())
            return false;
    return m_selViaPartSheet.IsEmpty();
}

bool CVELTADoc::IsSelectionUnchanged()
{
    for (std::size_t index = 0; index < m_selSheets.size(); ++index)
        if (!(m_selSheets[index] == m_repSheets[index]))
            return false;
    return (m_selViaPartSheet == m_repViaPartSheet) != 0;
}

CDRect CVELTADoc::GetItemsRect(int set)
{
    const int which = set == SET_SELECTION ? SET_SELECTION : SET_BOARD;
    CDRect rect;
    for (const auto& entry : m_displayList) {
        CSheet& sheet = *GetSetSheet(which, entry.second);
        if (!sheet.IsEmpty())
            rect |= sheet.GetBoundingRect();
    }
    CSheet& viaParts = *GetSetSheet(which, LAYER_MAX);
    if (!viaParts.IsEmpty())
        rect |= viaParts.GetBoundingRect();
    return rect;
}

template <class Op>
static void ForDisplayedSelection(CVELTADoc& doc, const std::vector<std::pair<int, int>>& list, Op op)
{
    for (const auto& entry : list)
        op(*doc.GetSelectionSheet(entry.second));
    op(*doc.GetSelectionSheet(LAYER_MAX));
}

void CVELTADoc::RotateSelection(const CDPoint& centre, double angle)
{
    ForDisplayedSelection(*this, m_displayList, [&](CSheet& sheet) { sheet.Rotate(centre, angle); });
}

void CVELTADoc::RotateSelectionText(const CDPoint& centre, double angle)
{
    ForDisplayedSelection(*this, m_displayList, [&](CSheet& sheet) { sheet.RotateText(centre, angle); });
}

void CVELTADoc::MirrorSelectionX(double axis)
{
    ForDisplayedSelection(*this, m_displayList, [&](CSheet& sheet) { sheet.MirrorX(axis); });
}

void CVELTADoc::MirrorSelectionY(double axis)
{
    ForDisplayedSelection(*this, m_displayList, [&](CSheet& sheet) { sheet.MirrorY(axis); });
}

void CVELTADoc::MirrorSelectionXText(double axis)
{
    ForDisplayedSelection(*this, m_displayList, [&](CSheet& sheet) { sheet.MirrorXText(axis); });
}

void CVELTADoc::MirrorSelectionYText(double axis)
{
    ForDisplayedSelection(*this, m_displayList, [&](CSheet& sheet) { sheet.MirrorYText(axis); });
}

void CVELTADoc::MirrorPrintSheet(CSheet* sheet)
{
    if (!sheet || m_print.b[2] == 0)
        return;
    tagLAYER* record = sheet->GetLayerPoint();
    record->mirror = record->mirror ? 0 : 1;
    sheet->SetCheck(false);
    sheet->MirrorX(0.0);
}

void CVELTADoc::SetSelectionCheck()
{
    for (const auto& entry : m_displayList)
        m_selSheets[static_cast<std::size_t>(entry.second)].SetCheck(true);
}

// ---------------------------------------------------------------------------------------------
// Single items and chains

CItemBase* CVELTADoc::SelectItem(CItemBase* item, int layer)
{
    return SelectItemWith(item, layer, nullptr);
}

CItemBase* CVELTADoc::SelectItemWith(CItemBase* item, int layer, ItemFinder* boardFinder)
{
    if (!item)
        return nullptr;
    if (layer == -1)
        layer = m_nCurrentLayer;
    CSheet* board = GetSetSheet(SET_BOARD, layer);
    if (!board)
        return nullptr;
    if (IsSelectionEmpty()) {
        for (CSheet& sheet : m_repSheets)
            sheet.DeleteContents();
        m_repViaPartSheet.DeleteContents();
    }
    CItemBase* copy = GetSetSheet(SET_SELECTION, layer)->StoreCopy(*item);
    GetSetSheet(SET_REPLACED, layer)->StoreCopy(*item);
    if (m_pHost)
        m_pHost->UpdateAllViews(0, nullptr, copy);
    // The item handed in is usually the board's own: it is freed here and not touched after.
    if (boardFinder)
        boardFinder->Delete(item);
    else
        board->DeleteEqualItem(*item);
    if (layer == LAYER_MAX)
        m_partList.clear();
    return copy;
}

void CVELTADoc::DeselectItem(CItemBase* item, int layer)
{
    DeselectItemWith(item, layer, nullptr, nullptr);
}

void CVELTADoc::DeselectItemWith(CItemBase* item, int layer, ItemFinder* selFinder, ItemFinder* repFinder)
{
    if (!item)
        return;
    if (layer == -1)
        layer = m_nCurrentLayer;
    CSheet* board = GetSetSheet(SET_BOARD, layer);
    if (!board)
        return;
    board->AddItem(item);
    CSheet& replaced = *GetSetSheet(SET_REPLACED, layer);
    if (repFinder) {
        if (CItemBase* old = repFinder->FindEqual(*item))
            repFinder->Delete(old);
    } else {
        replaced.DeleteItem(item);
    }
    if (m_pHost)
        m_pHost->UpdateAllViews(0, nullptr, item);
    if (selFinder)
        selFinder->Delete(item);
    else
        GetSetSheet(SET_SELECTION, layer)->DeleteItem(item);
    if (layer == LAYER_MAX)
        m_partList.clear();
}

void CVELTADoc::DeleteSelectedItem(CItemBase* item)
{
    if (!item)
        return;
    if (m_pHost)
        m_pHost->UpdateAllViews(0, nullptr, item);
    const int kind = item->GetKind();
    if (kind == KIND_VIA || kind == KIND_PART) {
        m_selViaPartSheet.DeleteItem(item);
        m_partList.clear();
    } else {
        m_pCurrentSelSheet->DeleteItem(item);
    }
}

void CVELTADoc::ClearSheets(int set, bool allLayers)
{
    const int which = (set == SET_BOARD || set == SET_REPLACED) ? set : SET_SELECTION;
    CDRect cleared = GetSetSheet(which, LAYER_MAX)->DeleteContents();
    if (allLayers) {
        for (int layer = 0; layer < LAYER_MAX; ++layer)
            cleared |= GetSetSheet(which, layer)->DeleteContents();
    } else {
        for (const auto& entry : m_enableList) {
            CSheet& sheet = *GetSetSheet(which, entry.second);
            if (!sheet.IsEmpty())
                cleared |= sheet.DeleteContents();
        }
    }
    m_partList.clear();
    if (which == SET_SELECTION) {
        m_repaintRect = cleared;
        if (m_pHost)
            m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
    }
}

namespace {

// One pending visit of a chain walk: a point on a layer.
struct ChainVisit
{
    CDPoint point;
    int layer;
};

} // namespace

// The walks visit in the order of a depth-first recursion (from the found item's start, then its
// end, then the cross layer) but keep their pending visits in a list, so a chain of any length
// takes no stack. Each sheet a walk searches gets one finder, built when first needed.
bool CVELTADoc::WalkChain(const CDPoint& point, int layer, bool followCross, bool select)
{
    if (layer < 0 || layer >= LAYER_MAX)
        return false;
    const int searched = select ? SET_BOARD : SET_SELECTION;
    std::vector<std::unique_ptr<ItemFinder>> finders(LAYER_MAX);
    std::vector<std::unique_ptr<ItemFinder>> replacedFinders(LAYER_MAX);
    auto finderOf = [this](std::vector<std::unique_ptr<ItemFinder>>& list, int set, int l,
                           ItemFinder::Mode mode) -> ItemFinder& {
        auto& finder = list[static_cast<std::size_t>(l)];
        if (!finder)
            finder = std::make_unique<ItemFinder>(
                *GetSetSheet(set, l), mode == ItemFinder::ENDS ? KIND_LINE | KIND_ARC : 0x1FF, mode);
        return *finder;
    };
    bool found = false;
    bool first = true;
    std::vector<ChainVisit> work{{point, layer}};
    while (!work.empty()) {
        const ChainVisit visit = work.back();
        work.pop_back();
        ItemFinder& finder = finderOf(finders, searched, visit.layer, ItemFinder::ENDS);
        CItemBase* item = finder.FindEnd(visit.point);
        if (first)
            found = item != nullptr;
        first = false;
        if (!item)
            continue;
        CDPoint start, end;
        if (item->GetKind() == KIND_LINE) {
            CLine* line = static_cast<CLine*>(item);
            if (select)
                line->SetCheck(3, true);
            start = line->GetStartPoint();
            end = line->GetEndPoint();
        } else {
            CArc* arc = static_cast<CArc*>(item);
            if (select)
                arc->SetCheck(3, true);
            start = arc->GetStartPoint();
            end = arc->GetEndPoint();
        }
        if (select)
            SelectItemWith(item, visit.layer, &finder);
        else
            DeselectItemWith(item, visit.layer, &finder,
                             &finderOf(replacedFinders, SET_REPLACED, visit.layer, ItemFinder::EQUALITY));
        const int cross = m_boardSheets[static_cast<std::size_t>(visit.layer)].GetCrossLayerNo();
        const bool crossToo = followCross && cross != visit.layer && cross >= 0 && cross < LAYER_MAX &&
                              m_boardSheets[static_cast<std::size_t>(cross)].IsEnable();
        if (crossToo && !select)
            work.push_back({end, cross});
        if (crossToo)
            work.push_back({start, cross});
        work.push_back({end, visit.layer});
        work.push_back({start, visit.layer});
    }
    return found;
}

bool CVELTADoc::SelectChain(const CDPoint& point, int layer, bool followCross)
{
    return WalkChain(point, layer, followCross, true);
}

bool CVELTADoc::DeselectChain(const CDPoint& point, int layer, bool followCross)
{
    return WalkChain(point, layer, followCross, false);
}

// ---------------------------------------------------------------------------------------------
// Cutter targets

void CVELTADoc::SelectCutterTargets(int flags)
{
    const auto current = static_cast<std::size_t>(m_nCurrentLayer);
    CSheet& board = m_boardSheets[current];
    CSheet& selection = m_selSheets[current];
    std::unordered_set<const CItemBase*> taken;
    for (POSITION p = m_viaPartSheet.GetFirstLinePos(); p;) {
        CLine* path = m_viaPartSheet.GetNextLine(p);
        if (flags & 0x1) {
            CSheet scratch(SHEET_WORK);
            for (POSITION pos = board.GetFirstLinePos(); pos;) {
                CLine* line = board.GetNextLine(pos);
                if (taken.count(line))
                    continue;
                CDPoint at;
                if (!line->CrossAPoint(*path, &at))
                    continue;
                taken.insert(line);
                CLine* copy = scratch.NewLine(*line);
                if (copy && copy->GetStartPoint() != copy->GetEndPoint())
                    copy->SetFxRatio(at);
            }
            scratch.SortLinebyFxPoint(*path);
            selection += scratch;
        }
        if (flags & 0x8) {
            CSheet scratch(SHEET_WORK);
            for (POSITION pos = board.GetFirstArcPos(); pos;) {
                CArc* arc = board.GetNextArc(pos);
                if (taken.count(arc))
                    continue;
                CDPoint at[2];
                const int crossings = path->CrossAPoint(*arc, at);
                if (!(crossings & 0x3))
                    continue;
                taken.insert(arc);
                // Of two crossings, the one nearer the path line's start.
                CDPoint chosen = (crossings & 0x1) ? at[0] : at[1];
                if ((crossings & 0x3) == 0x3 &&
                    path->GetStartPoint().GetLength(at[1]) < path->GetStartPoint().GetLength(at[0]))
                    chosen = at[1];
                if (CArc* copy = scratch.NewArc(*arc))
                    copy->SetFxRatio(chosen);
            }
            selection += scratch;
        }
    }
    m_repaintRect = selection.GetBoundingRect();
    if (!m_repaintRect.IsRectNull() && m_pHost)
        m_pHost->UpdateAllViews(1, &m_repaintRect, nullptr);
}
