// The layer sheet's operations on texts, and the text kind's entry in the sheet's kind registry.

#include "model/items/Text.h"
#include "model/sheet/Sheet.h"

namespace {

SheetKindOps TextKindOps()
{
    SheetKindOps ops;
    ops.copy = [](const CItemBase& item) -> std::unique_ptr<CItemBase> {
        return std::make_unique<CText>(static_cast<const CText&>(item));
    };
    ops.equal = [](const CItemBase& stored, const CItemBase& given) {
        return static_cast<const CText&>(stored) == static_cast<const CText&>(given);
    };
    ops.offset = [](CItemBase& item, const CDPoint& delta, int) { static_cast<CText&>(item).Offset(delta); };
    ops.rotate = [](CItemBase& item, const CDPoint& centre, double angle, bool) {
        static_cast<CText&>(item).Rotate(centre, angle);
    };
    // A whole sheet mirrored turns its texts so that they still read the right way round.
    ops.mirrorX = [](CItemBase& item, double x, bool) { static_cast<CText&>(item).MirrorX(x, true); };
    ops.mirrorY = [](CItemBase& item, double y, bool) { static_cast<CText&>(item).MirrorY(y, true); };
    // Only stroke texts use an aperture.
    ops.countSlot = [](const CItemBase& item) {
        return (item.GetType() & TEXT_STROKE) ? item.GetTurretNo() : -1;
    };
    return ops;
}

} // namespace

void RegisterTextSheetKind()
{
    RegisterSheetKind(KIND_TEXT, TextKindOps());
}

CText* CSheet::NewText(const CText& text)
{
    return static_cast<CText*>(StoreCopy(text));
}

int CSheet::DeleteText(const CText& text)
{
    return DeleteEqualItem(text);
}

POSITION CSheet::GetFirstTextPos()
{
    return GetFirstItemPos(KIND_TEXT);
}

CText* CSheet::GetNextText(POSITION& pos)
{
    return static_cast<CText*>(GetNextItem(KIND_TEXT, pos));
}

CText* CSheet::GetHeadText()
{
    return static_cast<CText*>(GetHeadItem(KIND_TEXT));
}
