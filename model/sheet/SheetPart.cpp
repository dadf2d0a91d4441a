// The layer sheet's operations on parts, and the part kind's entry in the sheet's kind registry.

#include "model/items/Arc.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"

namespace {

SheetKindOps PartKindOps()
{
    SheetKindOps ops = DefaultSheetKindOps<CPart>();
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        const CPart& part = static_cast<const CPart&>(item);
        auto copy = std::make_unique<CPart>(part);
        // The copper-group links of a placed board part belong to the board: the copy is not in
        // those groups, so it must not point at them.
        const CSheet* from = part.GetSheet<CSheet>();
        if (part.IsPlaced() && from && from->GetSheetType() == SHEET_BOARD_VIAPART)
            for (POSITION pos = copy->GetFirstTerPos(); pos;)
                copy->GetNextTer(pos)->RemoveAllNetLine();
        return copy;
    };
    // Parts keep the layers of their items.
    ops.takesSheetLayer = false;
    ops.stored = [](CSheet& sheet, CItemBase& item) {
        CPart& part = static_cast<CPart&>(item);
        // The part's items take their entries from the board the part is stored on, as the part
        // itself does (it may have been made while another board was current).
        const auto refresh = [&part](POSITION pos, auto next) {
            while (pos)
                (part.*next)(pos)->RefreshBoardEntry();
        };
        refresh(part.GetFirstLinePos(), &CPart::GetNextLine);
        refresh(part.GetFirstArcPos(), &CPart::GetNextArc);
        refresh(part.GetFirstLandPos(), &CPart::GetNextLand);
        refresh(part.GetFirstViaPos(), &CPart::GetNextVia);
        refresh(part.GetFirstTextPos(), &CPart::GetNextText);
        refresh(part.GetFirstSurPos(), &CPart::GetNextSur);
        if (sheet.GetSheetType() != SHEET_BOARD_VIAPART)
            return;
        for (POSITION pos = part.GetFirstSurPos(); pos;)
            part.GetNextSur(pos)->MakeSurLine(false);
    };
    return ops;
}

} // namespace

void RegisterPartSheetKind()
{
    RegisterSheetKind(KIND_PART, PartKindOps());
}

CPart* CSheet::NewPart(const CPart& part)
{
    return static_cast<CPart*>(StoreCopy(part));
}

CPart* CSheet::NewPart(CDPoint origin, CDPoint corner1, CDPoint corner2, unsigned packageMax,
                       unsigned packageScale, double angle, unsigned char type)
{
    CDRect area(corner1, corner2);
    area.NormalizeRect();
    const CPart part(origin, area, packageMax, packageScale, angle, type);
    return NewPart(part);
}

int CSheet::DeletePart(const CPart& part)
{
    return DeleteEqualItem(part);
}

POSITION CSheet::GetFirstPartPos()
{
    return GetFirstItemPos(KIND_PART);
}

CPart* CSheet::GetNextPart(POSITION& pos)
{
    return static_cast<CPart*>(GetNextItem(KIND_PART, pos));
}

CPart* CSheet::GetHeadPart()
{
    return static_cast<CPart*>(GetHeadItem(KIND_PART));
}

CPart* CSheet::GetPart(int index)
{
    return static_cast<CPart*>(GetItemAt(KIND_PART, index));
}

int CSheet::GetPartLayerCount(int layer, int commandId)
{
    int flags = 0;
    if (m_pDoc && layer >= 0 && layer < LAYER_MAX)
        if (CSheet* board = m_pDoc->GetBoardSheet(layer))
            flags = board->GetType();
    int count = 0;
    for (POSITION pos = GetFirstPartPos(); pos;)
        count += GetNextPart(pos)->GetLayerCount(layer, flags, commandId);
    const int vias = GetKindCount(KIND_VIA);
    if ((commandId == ID_INPUT_HOLE && (flags & 0x10000)) || (commandId == ID_INPUT_LAND && (flags & 0x1)))
        count += vias;
    else if (commandId == 0 && (flags & 0x10001))
        count += vias;
    return count;
}

void CSheet::ResetPartBoundRect()
{
    for (POSITION pos = GetFirstPartPos(); pos;) {
        CPart* part = GetNextPart(pos);
        part->ResetBounding();
        for (POSITION v = part->GetFirstViaPos(); v;)
            part->GetNextVia(v)->ResetBounding();
    }
}
