// Text contact, clearance and outline: the text's frame edges as lines of its pen for copper
// contact and outlines, its strokes (the conversion to lines) for the clearance check.

#include "model/items/Text.h"

#include "model/items/ContactSupport.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"

#include <cstring>
#include <memory>
#include <unordered_map>

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

// Everything a text's strokes are made from, to tell a kept conversion still holds.
struct StrokeKey
{
    const CSheet* sheet = nullptr;
    bool mirror = false;
    std::uint32_t id = 0;
    int type = 0, turret = 0, size = 0;
    double angle = 0.0;
    CDPoint point, area[4];
    std::string text;
    LOGFONTA font{};

    bool operator==(const StrokeKey& o) const
    {
        return sheet == o.sheet && mirror == o.mirror && id == o.id && type == o.type && turret == o.turret &&
               size == o.size && angle == o.angle && point == o.point && std::equal(area, area + 4, o.area) &&
               text == o.text && std::memcmp(&font, &o.font, sizeof font) == 0;
    }
};

struct KeptStrokes
{
    StrokeKey key;
    std::unique_ptr<CSheet> strokes;
};

// The strokes kept by the outermost live scope of this thread, or null when none lives.
thread_local std::unordered_map<const CText*, KeptStrokes>* t_kept = nullptr;

} // namespace

contact::StrokeCacheScope::StrokeCacheScope() : m_outer(t_kept == nullptr)
{
    if (m_outer)
        t_kept = new std::unordered_map<const CText*, KeptStrokes>();
}

contact::StrokeCacheScope::~StrokeCacheScope()
{
    if (!m_outer)
        return;
    delete t_kept;
    t_kept = nullptr;
}

namespace {

// The text's strokes for a clearance test on the layer of the sheet (null: no layer): kept while
// a scope lives, else converted into `own`.
CSheet& ClearanceStrokes(CText& text, const CSheet* layerSheet, std::unique_ptr<CSheet>& own)
{
    StrokeKey key;
    if (t_kept) {
        text.GetBoundingRect();
        key.sheet = layerSheet;
        key.mirror = layerSheet && layerSheet->GetLayer().mirror != 0;
        key.id = text.GetID();
        key.type = text.GetType();
        key.turret = text.GetTurretNo();
        key.size = text.GetSize();
        key.angle = text.GetAngle();
        key.point = text.GetPoint();
        for (int i = 0; i < 4; ++i)
            key.area[i] = text.GetCorner(i);
        key.text = text.GetName();
        key.font = *text.GetFont();
        const auto it = t_kept->find(&text);
        if (it != t_kept->end() && it->second.key == key)
            return *it->second.strokes;
    }
    auto strokes = std::make_unique<CSheet>(SHEET_WORK);
    if (layerSheet)
        strokes->SetLayer(layerSheet->GetLayer());
    text.ConvertLine(*strokes);
    if (!t_kept) {
        own = std::move(strokes);
        return *own;
    }
    KeptStrokes& kept = (*t_kept)[&text];
    kept.key = std::move(key);
    kept.strokes = std::move(strokes);
    return *kept.strokes;
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

    std::unique_ptr<CSheet> own;
    CSheet& strokes = ClearanceStrokes(*this, drc->sheet, own);
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
