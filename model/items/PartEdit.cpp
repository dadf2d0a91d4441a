// Part item: the part dialog and how its answer is applied.

#include "model/geometry/Geometry.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/services/ItemDialogs.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr double kRadToDeg = 180.0 / std::numbers::pi;

} // namespace

int CPart::EditPart(DocumentServices* doc, bool multiple, bool partName)
{
    ItemDialogs* dialogs = GetItemDialogs();
    if (!dialogs)
        return 0;
    // Measuring gives items without a turret turret 0: measure before the backup, so that an
    // unchanged part compares equal to it afterwards.
    GetBoundingRect();
    const CPart backup(*this);
    PartLayToID(doc);
    CPart work(*this);

    PartDialogData data;
    data.part = &work;
    if (!multiple) {
        CDPoint origin = m_ptOrg;
        if (doc)
            doc->ToUserOrigin(origin, 0);
        data.x = origin.x;
        data.y = origin.y;
        data.angleDeg = m_dAngle * kRadToDeg;
        work.SortTer();
    } else {
        data.multiple = true;
        data.partNameAllowed = partName;
    }
    // Looking every terminal up by its id repairs ids that only the number texts still carry.
    for (unsigned id = 1; id <= static_cast<unsigned>(work.GetTerCount()); ++id)
        work.GetTer(id);
    const int typeBefore = m_nType;
    data.typeBefore = typeBefore;
    data.doc = doc;
    data.scaleBefore = static_cast<int>(GetScale());

    if (!dialogs->RunPartDialog(data)) {
        *this = backup;
        return 0;
    }

    *this = work;
    if (multiple) {
        // The blank's texts carry the dialog's codes; its items only go back to board layers.
        IDToPartLay(doc, 0);
        return 1;
    }
    for (CItemBase* item : m_Vias)
        item->ResetBounding();
    int result = 1;
    CDPoint origin(data.x, data.y);
    if (doc)
        doc->FromUserOrigin(origin, 0);
    if (!(origin == m_ptOrg)) {
        Offset(CDPoint(origin.x - m_ptOrg.x, origin.y - m_ptOrg.y), true);
        result = 2;
    }
    const double angle = data.angleDeg * kDegToRad;
    if (std::fabs(angle - m_dAngle) > GEOM_TOLERANCE) {
        Rotate(m_ptOrg, angle - m_dAngle, true);
        result = 2;
    }
    if (m_nType & (PART_SCALABLE | PART_SCALED)) {
        const int newScale = m_nPackageScale < 0x10000 ? 100 : static_cast<int>(m_nPackageScale >> 16);
        const int oldScale = data.scaleBefore == 0 ? 100 : data.scaleBefore;
        if (newScale != oldScale) {
            SetScale(newScale);
            Scale(static_cast<double>(newScale) / oldScale);
        }
    }
    const bool wasOther = (typeBefore & PART_OTHER_SIDE) != 0;
    const bool isOther = (m_nType & PART_OTHER_SIDE) != 0;
    if (wasOther == isOther) {
        IDToPartLay(doc, 0);
    } else if (wasOther) {
        // Back to the component side: the codes were made for the other side's layer order.
        m_nType |= PART_OTHER_SIDE;
        IDToPartLay(doc, 1);
        PartLayToID(doc);
        m_nType &= ~PART_OTHER_SIDE;
        IDToPartLay(doc, 0);
    } else {
        IDToPartLay(doc, 1);
    }

    // A part on the other side is seen from below: it is mirrored once about its origin.
    if (!IsPartSide() && !(typeBefore & PART_MIRRORED)) {
        MirrorX(m_ptOrg.x);
        m_nType |= PART_MIRRORED;
    } else if (IsPartSide() && (typeBefore & PART_MIRRORED)) {
        MirrorX(m_ptOrg.x);
        m_nType &= ~PART_MIRRORED;
    }
    MarkDirty();
    SortTer();
    CalcBoundRect(doc);
    return *this == backup ? 0 : result;
}
