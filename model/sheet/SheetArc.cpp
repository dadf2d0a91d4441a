// The layer sheet's operations on arcs, and the arc kind's entry in the sheet's kind registry.

#include "model/geometry/Geometry.h"
#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/sheet/Sheet.h"

namespace {

SheetKindOps ArcKindOps()
{
    SheetKindOps ops;
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        return std::make_unique<CArc>(static_cast<const CArc&>(item));
    };
    // An arc with one end marked is being stretched and stays unless every arc is to move; then
    // its marked end follows the move like a line's.
    ops.offset = [](CItemBase& item, const CDPoint& delta, int allArcs) {
        CArc& arc = static_cast<CArc&>(item);
        if (allArcs != 0 || arc.CheckStartEdge() == arc.CheckEndEdge())
            arc.OffsetInc(delta);
    };
    ops.equal = [](const CItemBase& stored, const CItemBase& given) {
        return static_cast<const CArc&>(stored) == static_cast<const CArc&>(given);
    };
    ops.mirrorX = [](CItemBase& item, double x, bool) { static_cast<CArc&>(item).MirrorX(x); };
    ops.mirrorY = [](CItemBase& item, double y, bool) { static_cast<CArc&>(item).MirrorY(y); };
    ops.rotate = [](CItemBase& item, const CDPoint& centre, double angle, bool) {
        static_cast<CArc&>(item).Rotate(centre, angle);
    };
    // Arcs count by aperture.
    ops.countSlot = [](const CItemBase& item) { return item.GetTurretNo(); };
    return ops;
}

} // namespace

void RegisterArcSheetKind()
{
    RegisterSheetKind(KIND_ARC, ArcKindOps());
}

CArc* CSheet::NewArc(const CArc& arc)
{
    return static_cast<CArc*>(StoreCopy(arc));
}

CArc* CSheet::NewArc(CDPoint centre, double radius, double start, double end, int flags, int turret)
{
    const CArc arc(centre, radius, start, end, flags, turret);
    return NewArc(arc);
}

CArc* CSheet::NewArc(const CLine& line, bool atStart)
{
    const CDPoint& centre = atStart ? line.GetStartPoint() : line.GetEndPoint();
    const CDPoint& through = atStart ? line.GetEndPoint() : line.GetStartPoint();
    double angle = centre.GetAngle(through);
    NormalizeAngle(angle);
    const CArc arc(centre, centre.GetLength(through), angle, angle, line.GetType(), line.GetTurretNo());
    return NewArc(arc);
}

int CSheet::DeleteArc(const CArc& arc)
{
    return DeleteEqualItem(arc);
}

POSITION CSheet::GetFirstArcPos()
{
    return GetFirstItemPos(KIND_ARC);
}

CArc* CSheet::GetNextArc(POSITION& pos)
{
    return static_cast<CArc*>(GetNextItem(KIND_ARC, pos));
}

CArc* CSheet::GetHeadArc()
{
    return static_cast<CArc*>(GetHeadItem(KIND_ARC));
}
