// Photo-plot output of an arc: a circular interpolation record (or records split at quarter or
// half turns, or line segments, as the arc mode says), its arrow strokes and its name text.
//
// Arcs reach the writer already mirrored and turned by their callers, so everything written here,
// the segments, arrows and name text included, is written without the output's own mirror and
// rotation.

#include "model/items/Arc.h"
#include "model/items/GerberSupport.h"
#include "model/items/Line.h"
#include "model/items/StrokeSupport.h"
#include "model/items/Text.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Nudge off a split point that the previous record ended on: 0.005 degrees.
constexpr double kSplitNudge = 0.00008726646259971648;

bool Near(const CDPoint& a, double x, double y)
{
    return std::fabs(a.x - x) <= 1e-6 && std::fabs(a.y - y) <= 1e-6;
}

// One buffer for the arc blocks of a thread.
std::string& ArcBlock()
{
    thread_local std::string block;
    return block;
}

double Normalized(double a)
{
    a = std::fmod(a, kTwoPi);
    return a < 0.0 ? a + kTwoPi : a;
}

} // namespace

void CArc::DataWriteGerbar(CArchive& ar, tagGERBAR& g, bool flag)
{
    gerber::PretransformedOutput plain(g);
    const CDPoint start = GetStartPoint();
    const CDPoint end = GetEndPoint();
    if (std::trunc(m_dRadius * g.scale * g.outputFactor) == 0.0)
        return;

    const int turret = m_nTurret < 0 ? 0 : m_nTurret;
    const bool segments = g.arcMode == 4;
    if (g.currentAperture != turret) {
        gerber::EndStroke(ar, g);
        gerber::SelectAperture(ar, g, turret, *this);
    }
    const bool offStart = !Near(start, g.prevX, g.prevY);
    if (g.pendingExposure && (offStart || segments))
        gerber::EndStroke(ar, g);
    if (!g.pendingExposure && !segments) {
        if (offStart) {
            if (g.interpolation != 1) {
                gerber::WritePrefix(ar, g, g.linearCode);
                g.interpolation = 1;
            }
            gerber::WritePoint(ar, g, start);
        }
        gerber::WriteCode(ar, g, g.drawCode);
        g.pendingExposure = 1;
    }
    if (!segments) {
        const int direction = IsCW() ? 2 : 3;
        if (g.interpolation != direction) {
            gerber::WritePrefix(ar, g, IsCW() ? g.cwCode : g.ccwCode);
            g.interpolation = direction;
        }
    }

    switch (g.arcMode) {
    case 2:
        DataWriteGerbarQuater(ar, g, true);
        break;
    case 3:
        DataWriteGerbarHalf(ar, g, true);
        break;
    case 4: {
        const std::vector<CDPoint> points = GetSegmentPoints();
        CLine line;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            line = CLine(points[i], points[i + 1], turret, 0);
            line.DataWriteGerbar(ar, g, false);
        }
        if (!points.empty() && points.back().GetLength(end) > 0.01) {
            line = CLine(points.back(), end, turret, 0);
            line.DataWriteGerbar(ar, g, false);
        }
        break;
    }
    default:
        ar.WriteString(FormatGerbarArc(ArcBlock(), g, end.x, end.y, m_ptCenter.x, m_ptCenter.y));
        break;
    }

    stroke::ForEachArrowBarb(*this, [&](CLine& barb) { barb.DataWriteGerbar(ar, g, false); });

    if (m_nType & ARC_NAMED)
        Name().DataWriteGerbar(ar, g, flag);
}

void CArc::DataWriteGerbarCopy(CArchive& ar, tagGERBAR& g, bool flag)
{
    if (!gerber::OutputTransforms(g)) {
        DataWriteGerbar(ar, g, flag);
        return;
    }
    CArc copy(*this);
    copy.SetParent(nullptr);
    if (g.mirrorX)
        copy.MirrorX(g.originX);
    if (g.mirrorY)
        copy.MirrorY(g.originY);
    if (g.angle != 0.0)
        copy.Rotate(CDPoint(g.originX, g.originY), g.angle);
    copy.DataWriteGerbar(ar, g, flag);
}

// Writes the records from the previous point to the end, each ending at the next split point (a
// multiple of step) along the arc's direction or at the end when that comes first.
// With first set the records start from the arc's start: a whole circle then runs once round.
void CArc::DataWriteGerbarSplit(CArchive& ar, tagGERBAR& g, double step, bool half, bool first)
{
    const CDPoint end = GetEndPoint();
    const bool cw = IsCW() != 0;
    const double endAngle = Normalized(m_dEndAngle);
    // Every record ends at a split point or at the end; a whole turn has at most five of them.
    for (int guard = 0; guard < 16; ++guard, first = false) {
        if (!first && Near(end, g.prevX, g.prevY))
            return;
        double theta = Normalized(std::atan2(g.prevY - m_ptCenter.y, g.prevX - m_ptCenter.x));
        CDPoint target;
        for (int tries = 0; tries < 4; ++tries) {
            const double split = cw ? std::floor(theta / step) * step : std::ceil(theta / step) * step;
            const double toSplit = cw ? theta - split : split - theta;
            const double toEnd = Normalized(cw ? theta - endAngle : endAngle - theta);
            const bool wholeTurn = first && IsCircle();
            if (!wholeTurn && toEnd <= toSplit)
                target = end;
            else
                target = GetPoint(split);
            if (!Near(target, g.prevX, g.prevY))
                break;
            theta += cw ? -kSplitNudge : kSplitNudge;
        }
        std::string& block = ArcBlock();
        if (half)
            FormatGerbarArc(block, g, target.x, target.y, m_dRadius, 0.0);
        else
            FormatGerbarArc(block, g, target.x, target.y, m_ptCenter.x, m_ptCenter.y);
        ar.WriteString(block);
    }
}

void CArc::DataWriteGerbarQuater(CArchive& ar, tagGERBAR& g, bool first)
{
    DataWriteGerbarSplit(ar, g, kPi / 2.0, false, first);
}

void CArc::DataWriteGerbarHalf(CArchive& ar, tagGERBAR& g, bool first)
{
    DataWriteGerbarSplit(ar, g, kPi, true, first);
}
