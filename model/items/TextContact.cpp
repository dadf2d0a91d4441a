// Text contact, clearance and outline: the text's frame edges as lines of its pen for copper
// contact and outlines, its strokes (the conversion to lines) for the clearance check.

#include "model/items/Text.h"

#include "model/items/ContactSupport.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"

namespace {

// The kinds a text is tested against.
constexpr int kContactKinds = KIND_LINE | KIND_ARC | KIND_TEXT | KIND_HOLE | KIND_LAND | KIND_VIA | KIND_SUR;

bool IsContactKind(const CItemBase* item)
{
    return item && (item->GetKind() & kContactKinds) != 0;
}

// A hidden or empty text is neither drawn nor output, so it has no copper.
bool HasCopper(const CText& text)
{
    return text.IsDisp() && text.GetLength() > 0;
}

} // namespace

int CText::CheckShort(CItemBase* item)
{
    if (!HasCopper(*this) || !IsContactKind(item) || item == this)
        return 0;
    const CDRect other = item->GetBoundingRect();
    if (!contact::RectsMeet(GetBoundingRect(), other))
        return 0;
    for (int i = 0; i < 4; ++i) {
        CLine edge(m_ptArea[i], m_ptArea[(i + 1) % 4], m_nTurret, 0);
        if (edge.CheckShort(item))
            return 1;
    }
    return 0;
}

int CText::DRC_ShortCheck(tagDRCSPEC* drc, CItemBase* item)
{
    if (!drc || !HasCopper(*this) || !IsContactKind(item) || item == this)
        return 0;
    const CDRect other = item->GetBoundingRect();
    CDRect reach = GetBoundingRect();
    reach.InflateRect(drc->netClearance);
    if (!reach.IntersectRect(&other))
        return 0;

    CSheet strokes(SHEET_WORK);
    if (drc->sheet)
        strokes.SetLayer(drc->sheet->GetLayer());
    ConvertLine(strokes);
    // Strokes that touch are connected copper, as two touching lines are, so a text with a stroke
    // on a line, arc or surface is no fault. Pads and holes are judged by the line rules, which
    // leave out no pad and only a hole under a stroke's centre line.
    if (item->GetKind() != KIND_HOLE && item->GetKind() != KIND_LAND) {
        POSITION pos = strokes.GetFirstLinePos();
        while (pos)
            if (strokes.GetNextLine(pos)->CheckShort(item))
                return 0;
    }
    POSITION pos = strokes.GetFirstLinePos();
    while (pos)
        if (strokes.GetNextLine(pos)->DRC_ShortCheck(drc, item))
            return 1;
    return 0;
}

void CText::GetFrameData(CSheet* sheet, double grow)
{
    // A hidden or empty text has no frame (all its corners lie at its position).
    if (!sheet || !HasCopper(*this))
        return;
    GetBoundingRect();
    for (int i = 0; i < 4; ++i) {
        CLine edge(m_ptArea[i], m_ptArea[(i + 1) % 4], 0, 0);
        edge.GetFrameData(sheet, grow);
    }
}
