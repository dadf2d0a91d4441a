#pragma once
// The scan of the hatch fill: scan lines across a surface's outline (turned so that the hatch runs
// along x). Every outline item takes part on every scan line it spans, so the items are kept in an
// edge table sorted by their lowest y, and each scan line looks only at the items active at its
// height. Surfaces fill through it, and so do the glyphs a text plots without surface items, so
// that both give the same fill lines.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/items/Arc.h"
#include "model/items/Line.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <vector>

namespace surscan {

constexpr double kTol = GEOM_TOLERANCE;
constexpr double kVertexShift = 0.02; // a scan line that meets a vertex moves down by this
constexpr double kFullCircle = 0.001;

// A fill beyond any of these is a damaged or hostile record, not a board: the surface is kept
// without fill rather than run for minutes and take gigabytes (a fill line takes over half a
// kilobyte). 100,000 scan lines hatch 5 m at the finest pitch; the fill lines and the crossing
// tests bound what an outline of many items makes of fewer scan lines.
constexpr long long kMaxScanLines = 100'000;
constexpr long long kMaxFillLines = 500'000;
constexpr long long kMaxEdgeVisits = 50'000'000;

inline bool IsFullCircle(const CArc& arc)
{
    return std::fabs(arc.GetStartAngle() - arc.GetEndAngle()) < kFullCircle;
}

// Crossings of the horizontal line at y from x1 to x2 (x1 <= x2) with an arc: bit 1 for out[0],
// bit 2 for out[1]. For a full circle the candidates are the left and the right crossing; for an
// arc the right one when its angle lies within the sweep, then the left one likewise.
inline int ScanCrossArc(const CArc& arc, double y, double x1, double x2, double* out)
{
    const double r = arc.GetRadius();
    const CDPoint& c = arc.GetCenter();
    if (!(r > 0.0) || std::fabs(c.y - y) > r)
        return 0;
    const double d = y - c.y;
    const double s = std::sqrt(r * r - d * d);
    double candidates[2];
    bool valid[2];
    if (IsFullCircle(arc)) {
        candidates[0] = c.x - s;
        candidates[1] = c.x + s;
        valid[0] = valid[1] = true;
    } else {
        const double a = std::asin(d / r);
        candidates[0] = c.x + s;
        candidates[1] = c.x - s;
        valid[0] = arc.CheckAngle(a);
        valid[1] = arc.CheckAngle(std::numbers::pi - a);
    }
    int result = 0;
    for (int i = 0; i < 2; ++i) {
        if (valid[i] && x1 <= candidates[i] && candidates[i] <= x2) {
            out[i] = candidates[i];
            result |= 1 << i;
        }
    }
    return result;
}

// The crossing of a segment with the horizontal scan line from (left, y) to (right, y), measured
// from the scan line's start as the line crossing does; false when there is none.
inline bool ScanCrossLine(double x1, double y1, double x2, double y2, double left, double right, double y,
                          double& out)
{
    const double sx = x1 - left, sy = y1 - y;
    const double ex = x2 - left, ey = y2 - y;
    if (sy * ey > 0.0)
        return false;
    double x = 0.0;
    if (std::fabs(sy) > kTol || std::fabs(ey) > kTol)
        x = sx - sy * (ex - sx) / (ey - sy);
    if (x < 0.0 || x > right - left)
        return false;
    out = x + left;
    return true;
}

// One outline item of the scan: a line by its ends, or an arc.
struct ScanEdge
{
    double ymin = 0.0;
    double ymax = 0.0;
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    const CArc* arc = nullptr;
};

// The outline items of a surface and of its windows (one level), with their vertex heights, and
// the items active at a scan height.
class ScanTable
{
public:
    void AddLine(const CLine& line) { AddSegment(line.GetStartPoint(), line.GetEndPoint()); }

    void AddSegment(const CDPoint& s, const CDPoint& e)
    {
        ScanEdge edge;
        edge.x1 = s.x;
        edge.y1 = s.y;
        edge.x2 = e.x;
        edge.y2 = e.y;
        edge.ymin = std::min(s.y, e.y);
        edge.ymax = std::max(s.y, e.y);
        m_edges.push_back(edge);
        m_vertices.push_back(s.y);
        m_vertices.push_back(e.y);
    }

    void AddArc(const CArc& arc)
    {
        ScanEdge edge;
        edge.arc = &arc;
        const double r = std::fabs(arc.GetRadius());
        edge.ymin = arc.GetCenter().y - r;
        edge.ymax = arc.GetCenter().y + r;
        m_edges.push_back(edge);
        m_vertices.push_back(arc.GetStartPoint().y);
        m_vertices.push_back(arc.GetEndPoint().y);
    }

    // Empties the table for another outline, keeping its room.
    void Clear()
    {
        m_edges.clear();
        m_vertices.clear();
        m_active.clear();
        m_next = 0;
        m_floor = -std::numeric_limits<double>::infinity();
    }

    void Prepare()
    {
        std::sort(m_edges.begin(), m_edges.end(),
                  [](const ScanEdge& a, const ScanEdge& b) { return a.ymin < b.ymin; });
        std::sort(m_vertices.begin(), m_vertices.end());
    }

    // Whether some item ends within the tolerance of y.
    bool HitsVertex(double y) const
    {
        const auto it = std::lower_bound(m_vertices.begin(), m_vertices.end(), y - kTol);
        return it != m_vertices.end() && *it <= y + kTol;
    }

    // Appends the x of every crossing of the scan line at y with the outline items; returns the
    // number of items looked at.
    std::size_t Cross(double y, double left, double right, std::vector<double>& xs)
    {
        Activate(y);
        for (const std::size_t index : m_active) {
            const ScanEdge& edge = m_edges[index];
            if (edge.arc) {
                double out[2];
                const int bits = ScanCrossArc(*edge.arc, y, left, right, out);
                if (bits & 1)
                    xs.push_back(out[0]);
                if (bits & 2)
                    xs.push_back(out[1]);
            } else {
                double x;
                if (ScanCrossLine(edge.x1, edge.y1, edge.x2, edge.y2, left, right, y, x))
                    xs.push_back(x);
            }
        }
        return m_active.size();
    }

private:
    // Edges that end this far below the scan line stay active, so that the few scan lines that a
    // vertex moves down do not rebuild the set.
    static constexpr double kKeepBelow = 0.1;

    // After this, m_active holds every edge with ymin <= y + tolerance and ymax >= y - tolerance
    // (and maybe a few that end lower, which cross nothing).
    void Activate(double y)
    {
        if (y - kTol < m_floor) {
            m_active.clear();
            m_next = 0;
            m_floor = -std::numeric_limits<double>::infinity();
        }
        while (m_next < m_edges.size() && m_edges[m_next].ymin <= y + kTol)
            m_active.push_back(m_next++);
        const double keep = y - kKeepBelow;
        std::erase_if(m_active, [&](std::size_t index) { return m_edges[index].ymax < keep; });
        m_floor = std::max(m_floor, keep);
    }

    std::vector<ScanEdge> m_edges;
    std::vector<double> m_vertices;
    std::vector<std::size_t> m_active;
    std::size_t m_next = 0;
    double m_floor = -std::numeric_limits<double>::infinity();
};

// What one fill's scan did.
struct ScanCount
{
    long long scanLines = 0;
    long long fillLines = 0;
    bool tooLarge = false; // the fill went beyond the limits: its lines are to be dropped
};

// Runs the scan lines over the rectangle of the outline in `table` (prepared) at the pitch and
// hands every fill line to emit(start, end, scan line index): even-odd pairs of crossings, or for
// a negative surface every gap between neighbouring crossings. `xs` is working room.
template <class Emit>
ScanCount ScanFill(ScanTable& table, const CDRect& rect, double pitch, bool nega, std::vector<double>& xs,
                   Emit emit)
{
    ScanCount count;
    const bool finite = std::isfinite(rect.left) && std::isfinite(rect.right) && std::isfinite(rect.top) &&
                        std::isfinite(rect.bottom);
    double y = rect.top + pitch;
    const double limit = rect.bottom - 0.5 * pitch;
    // The scan lines the extent takes at this pitch (vertex shifts add a few), known before any
    // is run.
    const double expected = finite ? (limit - y) / pitch : 0.0;
    bool tooLarge = !(expected < static_cast<double>(kMaxScanLines));
    long long visits = 0, made = 0;
    for (long long index = 0; finite && !tooLarge && y < limit; ++index) {
        if (index >= kMaxScanLines || made > kMaxFillLines || visits > kMaxEdgeVisits) {
            tooLarge = true;
            break;
        }
        ++count.scanLines;
        // A scan line through a vertex would count the two items meeting there twice (or once
        // for a corner): it moves down, and the move carries into the following scan lines.
        while (table.HitsVertex(y)) {
            const double lower = y - kVertexShift;
            if (lower == y)
                break;
            y = lower;
        }
        xs.clear();
        visits += static_cast<long long>(table.Cross(y, rect.left, rect.right, xs));
        std::stable_sort(xs.begin(), xs.end());
        const int n = static_cast<int>(xs.size());
        if (!nega) {
            // Even-odd pairs; a double crossing counts once.
            for (int i = 0; i < n - 1;) {
                if (xs[i + 1] - xs[i] <= kTol) {
                    ++i;
                    continue;
                }
                emit(CDPoint(xs[i], y), CDPoint(xs[i + 1], y), index);
                ++made;
                i += 2;
            }
        } else {
            // Every gap between neighbouring crossings is a strip, inside windows too.
            for (int i = 1; i < n; ++i) {
                if (xs[i] - xs[i - 1] <= kTol)
                    continue;
                emit(CDPoint(xs[i - 1], y), CDPoint(xs[i], y), index);
                ++made;
            }
        }
        const double next = y + pitch;
        if (next == y)
            break;
        y = next;
    }
    count.fillLines = made;
    count.tooLarge = tooLarge;
    return count;
}

} // namespace surscan
