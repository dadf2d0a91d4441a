// Snapping to the grid and to items, and the grid in phase form.

#include "document/VELTADoc.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "platform/Profile.h"

#include <cmath>
#include <vector>

namespace {

constexpr std::size_t kMaxSnapCandidates = 10;

// One coordinate on a lattice of the pitch through the origin, rounded half up and truncated
// toward zero. A pitch of 0 or less leaves the coordinate as it is.
double SnapCoordinate(double value, double origin, double pitch)
{
    if (!(pitch > 0.0))
        return value;
    return origin + pitch * std::trunc((value - origin + pitch * 0.5) / pitch);
}

// The attribute grid's rounding: a remainder of exactly half a pitch stays on the lower point.
double SnapAttrCoordinate(double value, double origin, double pitch)
{
    if (!(pitch > 0.0))
        return value;
    const double d = value - origin;
    double r = std::trunc(d / pitch) * pitch;
    if (d - r > pitch * 0.5)
        r += pitch;
    return origin + r;
}

// The phase of one grid origin: reduced by the pitch when above it or not positive; a value
// within 1e-6 of the pitch is 0. Without a usable pitch the phase is 0.
double GridPhase(double origin, double pitch)
{
    if (!(pitch > 0.0))
        return 0.0;
    if (origin > pitch || origin <= 0.0)
        origin = std::fmod(origin, pitch);
    if (std::fabs(origin - pitch) < 1e-6)
        origin = 0.0;
    return origin;
}

// Collects item snap points in the order they are offered, up to the limit.
class SnapCandidates
{
public:
    explicit SnapCandidates(const CDPoint& point) : m_point(point) {}
    bool Full() const { return m_points.size() >= kMaxSnapCandidates; }
    // Runs one test on a copy of the point; a hit adds the point it produced.
    template <class Test> void Offer(Test test)
    {
        if (Full())
            return;
        CDPoint p = m_point;
        if (test(p))
            m_points.push_back(p);
    }
    // The nearest candidate; the first of equally near ones.
    bool Nearest(CDPoint& out) const
    {
        if (m_points.empty())
            return false;
        std::size_t best = 0;
        double bestLength = m_point.GetLength(m_points[0]);
        for (std::size_t i = 1; i < m_points.size(); ++i) {
            const double length = m_point.GetLength(m_points[i]);
            if (length < bestLength) {
                bestLength = length;
                best = i;
            }
        }
        out = m_points[best];
        return true;
    }

private:
    CDPoint m_point;
    std::vector<CDPoint> m_points;
};

// Every item of a kind of the sheet, in list order, while the candidates are not full.
template <class T, class Test> void OfferKind(CSheet& sheet, int kind, SnapCandidates& found, Test test)
{
    for (POSITION pos = sheet.GetFirstItemPos(kind); pos && !found.Full();) {
        T* item = static_cast<T*>(sheet.GetNextItem(kind, pos));
        found.Offer([&](CDPoint& p) { return test(*item, p) != 0; });
    }
}

// The same for the items of a kind whose bounds meet the square of the tolerance around the point.
template <class T, class Test>
void OfferNear(CSheet& sheet, int kind, const CDPoint& point, double tolerance, SnapCandidates& found,
               Test test)
{
    if (!(tolerance >= 0.0) || found.Full())
        return;
    std::vector<CItemBase*> near;
    sheet.GetItemsIn(kind, CDRect(point, tolerance), near);
    for (CItemBase* item : near) {
        if (found.Full())
            return;
        found.Offer([&](CDPoint& p) { return test(*static_cast<T*>(item), p) != 0; });
    }
}

} // namespace

tagGRID CVELTADoc::GetGridPhase(int index) const
{
    tagGRID grid = GetGrid(index);
    grid.xOffset = GridPhase(grid.xOffset + m_userOrigin.x, grid.xPitch);
    grid.yOffset = GridPhase(grid.yOffset + m_userOrigin.y, grid.yPitch);
    return grid;
}

CDPoint CVELTADoc::SnapToGrid(CDPoint point, bool toItem)
{
    if (toItem) {
        CDPoint snapped = point;
        if (SnapToItem(snapped))
            return snapped;
    }
    const tagGRID grid = GetGridPhase(-1);
    return CDPoint(SnapCoordinate(point.x, grid.xOffset, grid.xPitch),
                   SnapCoordinate(point.y, grid.yOffset, grid.yPitch));
}

CDPoint CVELTADoc::SnapAttrPoint(CDPoint point, bool toItem)
{
    switch (platform::GetProfile().GetInt("Sheet", "AttrMove", 0)) {
    case 0:
        return SnapToGrid(point, toItem);
    case 1: {
        const tagGRID grid = GetGridPhase(m_nAttrGrid);
        CDPoint result(SnapAttrCoordinate(point.x, grid.xOffset, grid.xPitch),
                       SnapAttrCoordinate(point.y, grid.yOffset, grid.yPitch));
        if (toItem) {
            CDPoint snapped = point;
            if (SnapToItem(snapped))
                result = snapped;
        }
        return result;
    }
    default:
        return point;
    }
}

bool CVELTADoc::SnapToItem(CDPoint& point)
{
    const double tolerance = m_hitTolerance;
    SnapCandidates found(point);

    // Vias of a via and part sheet, then the vias of the parts under the point.
    auto offerViaParts = [&](CSheet& viaParts) {
        if (m_bViaOnEnabled)
            OfferKind<CVia>(viaParts, KIND_VIA, found,
                            [&](CVia& via, CDPoint& p) { return via.CheckItemPoint(p, tolerance); });
        if (m_bPartOnEnabled) {
            for (POSITION pos = viaParts.GetFirstPartPos(); pos && !found.Full();) {
                CPart* part = viaParts.GetNextPart(pos);
                if (!part->GetBoundingRect().PtInRect(point))
                    continue;
                for (POSITION v = part->GetFirstViaPos(); v && !found.Full();) {
                    CVia* via = part->GetNextVia(v);
                    found.Offer([&](CDPoint& p) { return via->CheckItemPoint(p, tolerance) != 0; });
                }
            }
        }
    };
    // The enabled layers' sheets of one set, each with the parts of the set's via and part sheet.
    auto offerLayers = [&](bool selection, CSheet& viaParts) {
        for (const auto& entry : m_enableList) {
            if (found.Full())
                return;
            const auto layer = static_cast<std::size_t>(entry.second);
            CSheet& sheet = selection ? m_selSheets[layer] : m_boardSheets[layer];
            OfferKind<CTer>(sheet, KIND_TER, found,
                            [](CTer& ter, CDPoint& p) { return ter.CheckItemPoint(p); });
            OfferKind<CHole>(sheet, KIND_HOLE, found,
                             [&](CHole& hole, CDPoint& p) { return hole.CheckItemPoint(p, tolerance); });
            OfferKind<CLand>(sheet, KIND_LAND, found,
                             [&](CLand& land, CDPoint& p) { return land.CheckItemPoint(p, tolerance); });
            OfferKind<CSur>(sheet, KIND_SUR, found,
                            [&](CSur& sur, CDPoint& p) { return sur.CheckItemPoint(p, tolerance); });
            // Lines and arcs snap to their ends, which lie inside their bounds: only those whose
            // bounds meet the reach of the point can answer, and the sheet's index finds them in
            // list order.
            OfferNear<CArc>(sheet, KIND_ARC, point, tolerance, found,
                            [&](CArc& arc, CDPoint& p) { return arc.CheckItemPoint(p, tolerance); });
            OfferNear<CLine>(sheet, KIND_LINE, point, tolerance, found,
                             [&](CLine& line, CDPoint& p) { return line.CheckItemPoint(p, tolerance); });
            OfferKind<CText>(sheet, KIND_TEXT, found,
                             [&](CText& text, CDPoint& p) { return text.CheckItemPoint(p, tolerance); });
            const int layerNo = entry.second;
            OfferKind<CPart>(viaParts, KIND_PART, found, [&](CPart& part, CDPoint& p) {
                return part.CheckItemPoint(p, layerNo, tolerance);
            });
        }
    };

    offerViaParts(m_viaPartSheet);
    offerLayers(false, m_viaPartSheet);
    offerViaParts(m_selViaPartSheet);
    offerLayers(true, m_selViaPartSheet);
    return found.Nearest(point);
}
