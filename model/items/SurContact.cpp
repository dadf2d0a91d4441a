// Surface hit tests and snapping, copper contact and clearance, the outline grown by a distance and
// the conversion into plain lines and arcs. Almost everything is asked of the outline lines and
// arcs, of the windows' outlines one level down and, for contact and hits, of the fill lines.

#include "model/items/Sur.h"

#include "model/items/Arc.h"
#include "model/items/ContactSupport.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"

#include <vector>

namespace {

template <class T> T* As(CItemBase* item)
{
    return static_cast<T*>(item);
}

// The kinds a surface is tested against.
constexpr int kExaminedKinds = KIND_LINE | KIND_LAND | KIND_HOLE | KIND_ARC | KIND_TEXT | KIND_SUR;

// At most this many snap candidates are weighed.
constexpr int kMaxSnapCandidates = 10;

} // namespace

// ---------------------------------------------------------------------------------------------
// Hit tests and snapping

bool CSur::CheckPoint(const CDPoint& p, bool frameOnly)
{
    if (!contact::PtInRectClosed(GetBoundingRect(), p))
        return false;
    if (CheckFramePoint(p) || CheckWindowPoint(p))
        return true;
    if (!frameOnly)
        for (CItemBase* item : m_SurLines)
            if (As<CLine>(item)->CheckPoint(p))
                return true;
    return false;
}

bool CSur::CheckFramePoint(const CDPoint& p)
{
    for (CItemBase* item : m_Lines)
        if (As<CLine>(item)->CheckPoint(p))
            return true;
    for (CItemBase* item : m_Arcs)
        if (As<CArc>(item)->CheckPoint(p))
            return true;
    return false;
}

bool CSur::CheckWindowPoint(const CDPoint& p)
{
    for (CItemBase* item : m_Windows) {
        CSur* window = As<CSur>(item);
        if (window->CheckFramePoint(p))
            return true;
        if (window->CheckPoint(p, false))
            return false;
    }
    return false;
}

int CSur::CheckPoint(const CDRect& r)
{
    if (!GetBoundingRect().IntersectRect(&r))
        return 0;
    MakeSurLine(true);
    int hit = 0;
    for (CItemBase* item : m_SurLines) {
        CLine* line = As<CLine>(item);
        // A hairline fill line has a flat rectangle, which must still count.
        if (line->GetStartPoint().y >= r.top && contact::RectsMeet(line->GetBoundingRect(), r)) {
            hit = 1;
            break;
        }
    }
    if (m_nType & SUR_NOFILL)
        DeleteSurLine();
    return hit;
}

CItemBase* CSur::GetFrameItem(const CDPoint& p)
{
    GetBoundingRect();
    for (CItemBase* item : m_Lines)
        if (As<CLine>(item)->CheckPoint(p))
            return item;
    for (CItemBase* item : m_Arcs)
        if (As<CArc>(item)->CheckPoint(p))
            return item;
    for (CItemBase* item : m_Windows)
        if (CItemBase* found = As<CSur>(item)->GetFrameItem(p))
            return found;
    return nullptr;
}

int CSur::CheckItemPoint(CDPoint& p, double distance)
{
    if (!contact::PtInRectClosed(GetBoundingRect(), p))
        return 0;
    std::vector<CDPoint> candidates;
    const auto tryItem = [&](auto* item) {
        if (static_cast<int>(candidates.size()) >= kMaxSnapCandidates)
            return;
        CDPoint q = p;
        if (item->CheckItemPoint(q, distance))
            candidates.push_back(q);
    };
    for (CItemBase* item : m_Lines)
        tryItem(As<CLine>(item));
    for (CItemBase* item : m_Arcs)
        tryItem(As<CArc>(item));
    for (CItemBase* item : m_Windows)
        tryItem(As<CSur>(item));
    if (candidates.empty())
        return 0;
    const CDPoint* best = &candidates.front();
    for (const CDPoint& q : candidates)
        if (p.GetLength(q) < p.GetLength(*best))
            best = &q;
    p = *best;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Copper contact and clearance

int CSur::CheckShort(CItemBase* item)
{
    if (!item || item == this || !(item->GetKind() & kExaminedKinds))
        return 0;
    if (!contact::RectsMeet(GetBoundingRect(), item->GetBoundingRect()))
        return 0;
    for (CItemBase* line : m_Lines)
        if (As<CLine>(line)->CheckShort(item))
            return 1;
    for (CItemBase* arc : m_Arcs)
        if (As<CArc>(arc)->CheckShort(item))
            return 1;
    for (CItemBase* w : m_Windows) {
        CSur* window = As<CSur>(w);
        for (CItemBase* line : window->m_Lines)
            if (As<CLine>(line)->CheckShort(item))
                return 1;
        for (CItemBase* arc : window->m_Arcs)
            if (As<CArc>(arc)->CheckShort(item))
                return 1;
    }
    for (CItemBase* line : m_SurLines)
        if (As<CLine>(line)->CheckShort(item))
            return 1;
    return 0;
}

int CSur::DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item)
{
    if (!drc || !item || item == this)
        return 0;
    const int kind = item->GetKind();
    if (!(kind & kExaminedKinds))
        return 0;
    double clearance = drc->netClearance;
    if (kind == KIND_LAND)
        clearance = item->GetID() != 0 ? drc->netClearance : drc->plainClearance;
    else if (kind == KIND_HOLE)
        clearance = drc->holeMargin;
    CDRect reach = item->GetBoundingRect();
    reach.InflateRect(clearance);
    if (!GetBoundingRect().IntersectRect(&reach))
        return 0;
    // Touching copper is a connection, not a clearance fault.
    if (CheckShort(item))
        return 0;
    // Every outline item is checked, so each violation leaves its mark.
    int result = 0;
    const auto checkOutline = [&](CSur& sur) {
        for (CItemBase* line : sur.m_Lines)
            result |= As<CLine>(line)->DRC_ShortCheck(drc, item);
        for (CItemBase* arc : sur.m_Arcs)
            result |= As<CArc>(arc)->DRC_ShortCheck(drc, item);
    };
    checkOutline(*this);
    for (CItemBase* w : m_Windows)
        checkOutline(*As<CSur>(w));
    return result != 0 ? 1 : 0;
}

void CSur::GetFrameData(CSheet* sheet, double grow)
{
    if (!sheet)
        return;
    if (IsCircle()) {
        As<CArc>(m_Arcs.GetHead())->GetFrameData(sheet, 1, grow);
        return;
    }
    for (CItemBase* line : m_Lines)
        As<CLine>(line)->GetFrameData(sheet, grow);
    for (CItemBase* arc : m_Arcs)
        As<CArc>(arc)->GetFrameData(sheet, 0, grow);
    for (CItemBase* w : m_Windows)
        As<CSur>(w)->GetFrameData(sheet, grow);
}

// ---------------------------------------------------------------------------------------------
// Conversion

void CSur::BreakItem(CSheet& sheet)
{
    ResetModify();
    for (CItemBase* line : m_Lines)
        sheet.NewLine(*As<CLine>(line));
    for (CItemBase* arc : m_Arcs)
        sheet.NewArc(*As<CArc>(arc));
    for (CItemBase* w : m_Windows)
        As<CSur>(w)->BreakItem(sheet);
    m_nType &= ~SUR_FILLED;
    MarkDirty();
}

namespace {

// The outline of a window (and of its own windows) as lines: a cut-out is not filled.
void ConvertOutline(CSur& sur, CSheet& sheet)
{
    for (POSITION pos = sur.GetFirstLinePos(); pos;)
        sheet.NewLine(*sur.GetNextLine(pos));
    for (POSITION pos = sur.GetFirstArcPos(); pos;)
        sur.GetNextArc(pos)->ConvertLine(sheet);
    for (POSITION pos = sur.GetFirstWndPos(); pos;)
        ConvertOutline(*sur.GetNextWnd(pos), sheet);
}

} // namespace

int CSur::ConvertLine(CSheet& sheet)
{
    ResetModify();
    for (CItemBase* line : m_Lines)
        sheet.NewLine(*As<CLine>(line));
    for (CItemBase* arc : m_Arcs)
        As<CArc>(arc)->ConvertLine(sheet);
    MakeSurLine(false);
    for (CItemBase* line : m_SurLines)
        sheet.NewLine(*As<CLine>(line));
    for (CItemBase* w : m_Windows)
        ConvertOutline(*As<CSur>(w), sheet);
    m_nType &= ~SUR_FILLED;
    MarkDirty();
    return 1;
}
