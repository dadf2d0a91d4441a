// The layer sheet's operations on lines, and the line kind's entry in the sheet's kind registry.

#include "model/items/Line.h"
#include "model/sheet/Sheet.h"

namespace {

SheetKindOps LineKindOps()
{
    SheetKindOps ops = DefaultSheetKindOps<CLine>();
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        return std::make_unique<CLine>(static_cast<const CLine&>(item));
    };
    // Lines count by aperture.
    ops.countSlot = [](const CItemBase& item) { return item.GetTurretNo(); };
    return ops;
}

} // namespace

void RegisterLineSheetKind()
{
    RegisterSheetKind(KIND_LINE, LineKindOps());
}

CLine* CSheet::NewLine(const CLine& line)
{
    return static_cast<CLine*>(StoreCopy(line));
}

CLine* CSheet::NewLine(CDPoint start, CDPoint end, int turret, int flags)
{
    const CLine line(start, end, turret, flags);
    return NewLine(line);
}

CLine* CSheet::NewLine(CDPoint point)
{
    // The new segment carries on with the aperture and type of the line drawn last.
    const CLine* last = GetTailLine(0);
    if (!last)
        return nullptr;
    CLine line(point, point, last->GetTurretNo(), 0);
    line.SetType(last->GetType());
    return NewLine(line);
}

int CSheet::DeleteLine(const CLine& line)
{
    return DeleteEqualItem(line);
}

POSITION CSheet::GetFirstLinePos()
{
    return GetFirstItemPos(KIND_LINE);
}

CLine* CSheet::GetNextLine(POSITION& pos)
{
    return static_cast<CLine*>(GetNextItem(KIND_LINE, pos));
}

CLine* CSheet::GetHeadLine()
{
    return static_cast<CLine*>(GetHeadItem(KIND_LINE));
}

CLine* CSheet::GetTailLine(int n)
{
    return static_cast<CLine*>(GetTailItem(KIND_LINE, n));
}
