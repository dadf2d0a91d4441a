// Outline crossing of two sheets that hold outlines (lines and arcs): the part clearance check and
// the plane contact of lands. The order of the pairs decides which crossing is reported.

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"

#include <cmath>

namespace {

// A point where two arcs cross or touch within both sweeps.
bool ArcCrossing(CArc& a, CArc& b, CDPoint* out)
{
    if (!a.CrossAPoint(b))
        return false;
    CDPoint pts[2];
    const int n = a.CrossPoint(&b, pts);
    for (int i = 0; i < n; ++i) {
        if (a.CheckAngle(a.GetCenter().GetAngle(pts[i])) && b.CheckAngle(b.GetCenter().GetAngle(pts[i]))) {
            *out = pts[i];
            return true;
        }
    }
    if (n > 0) {
        // A touching point that the sweep tests place a rounding step apart.
        *out = pts[0];
        return true;
    }
    // Circles touching from inside, which the crossing of whole circles can miss by rounding: the
    // point of this circle toward (or away from) the other's centre that lies on the other.
    const double toward = a.GetCenter().GetAngle(b.GetCenter());
    const CDPoint& c = a.GetCenter();
    const double r = a.GetRadius();
    const CDPoint near(c.x + r * std::cos(toward), c.y + r * std::sin(toward));
    const CDPoint away(c.x - r * std::cos(toward), c.y - r * std::sin(toward));
    const double dn = std::fabs(near.GetLength(b.GetCenter()) - b.GetRadius());
    const double da = std::fabs(away.GetLength(b.GetCenter()) - b.GetRadius());
    *out = dn <= da ? near : away;
    return true;
}

} // namespace

int CSheet::CheckFrameShort(CSheet* other, tagPOINTFX* at)
{
    if (!other)
        return 0;
    CDPoint hit;
    bool found = false;
    for (POSITION pos = GetFirstLinePos(); pos && !found;) {
        CLine* line = GetNextLine(pos);
        for (POSITION opos = other->GetFirstLinePos(); opos && !found;)
            found = line->CrossAPoint(*other->GetNextLine(opos), &hit) != 0;
        for (POSITION opos = other->GetFirstArcPos(); opos && !found;) {
            CDPoint pts[2];
            const int bits = line->CrossAPoint(*other->GetNextArc(opos), pts);
            if (bits) {
                hit = (bits & 1) ? pts[0] : pts[1];
                found = true;
            }
        }
    }
    for (POSITION pos = GetFirstArcPos(); pos && !found;) {
        CArc* arc = GetNextArc(pos);
        for (POSITION opos = other->GetFirstLinePos(); opos && !found;) {
            CDPoint pts[2];
            const int bits = other->GetNextLine(opos)->CrossAPoint(*arc, pts);
            if (bits) {
                hit = (bits & 1) ? pts[0] : pts[1];
                found = true;
            }
        }
        for (POSITION opos = other->GetFirstArcPos(); opos && !found;)
            found = ArcCrossing(*arc, *other->GetNextArc(opos), &hit);
    }
    if (!found)
        return 0;
    if (at)
        *at = hit.FxPoint();
    return 1;
}
