// The drill-tool and aperture-usage tables of a layer, filled before manufacturing output.

#include "model/items/Arc.h"
#include "model/items/GerberSupport.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int kWiringLayer = 0x1;
constexpr int kSecondList = 0x40;
constexpr int kHoleLayer = 0x10000;
constexpr int kResistLayer = 0x100000;
constexpr int kToolTypeMask = 0xF1;
constexpr int kToolMax = 100; // entries of the document's tool table
constexpr double kSizeTolerance = 1e-6;

bool SameSize(double a, double b)
{
    return std::fabs(a - b) <= kSizeTolerance;
}

} // namespace

CSheet* CSheet::GetViaPartSheet() const
{
    if (!m_pDoc)
        return nullptr;
    return m_nSheetType == SHEET_SELECTION ? m_pDoc->GetSelectionSheet(LAYER_MAX)
                                           : m_pDoc->GetBoardSheet(LAYER_MAX);
}

bool CSheet::CheckHoleSub(tagTCODE* tools, unsigned long hitLimit, CHole* hole)
{
    const int type = hole->GetType() & kToolTypeMask;
    const bool shaped = (type & HOLE_SHAPE_MASK) != 0;
    tagTCODE* entry = tools;
    for (; entry->hitCount != 0; ++entry) {
        if (entry->holeType != type || !SameSize(entry->diameter, hole->GetHoleDia()))
            continue;
        if (shaped && (!SameSize(entry->width, hole->GetHoleWidth()) ||
                       !SameSize(entry->radius, hole->GetHoleRadius())))
            continue;
        if (hitLimit != 0 && static_cast<unsigned long>(entry->hitCount) >= hitLimit)
            continue;
        ++entry->hitCount;
        return false;
    }
    entry->diameter = hole->GetHoleDia();
    entry->width = hole->GetHoleWidth();
    entry->radius = hole->GetHoleRadius();
    entry->holeType = type;
    entry->hitCount = 1;
    return true;
}

void CSheet::CheckHole(tagTCODE* tools, int hitLimit, int* toolCount)
{
    const unsigned long limit = hitLimit > 0 ? static_cast<unsigned long>(hitLimit) : 0;
    // The table has room for kToolMax tools only: once it is full no hole is examined.
    auto assign = [&](CHole* hole) {
        if (*toolCount >= kToolMax)
            return false;
        if (CheckHoleSub(tools, limit, hole))
            ++*toolCount;
        return true;
    };
    for (POSITION pos = GetFirstHolePos(); pos;) {
        if (!assign(GetNextHole(pos)))
            return;
    }
    if (!(m_nType & kHoleLayer))
        return;
    CSheet* viaParts = GetViaPartSheet();
    if (!viaParts)
        return;
    for (POSITION pos = viaParts->GetFirstViaPos(); pos;) {
        CHole drilled = viaParts->GetNextVia(pos)->GetHole();
        if (!assign(&drilled))
            return;
    }
    for (POSITION pos = viaParts->GetFirstPartPos(); pos;) {
        CPart* part = viaParts->GetNextPart(pos);
        for (POSITION hp = part->GetFirstHolePos(); hp;) {
            CHole* hole = part->GetNextHole(hp);
            if (hole->GetLayerNo() == m_nLayer && !assign(hole))
                return;
        }
        for (POSITION vp = part->GetFirstViaPos(); vp;) {
            CHole drilled = part->GetNextVia(vp)->GetHole();
            if (!assign(&drilled))
                return;
        }
    }
}

void CSheet::CheckTurret(tagDCODE* apertures)
{
    if (CSheet* viaParts = GetViaPartSheet()) {
        if ((m_nType & (kWiringLayer | kResistLayer)) && !(m_nType & kSecondList)) {
            for (POSITION pos = viaParts->GetFirstViaPos(); pos;)
                viaParts->GetNextVia(pos)->CheckTurret(apertures, m_nType, m_nWLayer);
        }
        for (POSITION pos = viaParts->GetFirstPartPos(); pos;)
            viaParts->GetNextPart(pos)->CheckTurret(apertures, m_nLayer, m_nType, m_nWLayer);
    }
    for (POSITION pos = GetFirstLandPos(); pos;)
        gerber::CountFlash(apertures, GetNextLand(pos)->GetTurretNo());
    for (POSITION pos = GetFirstLinePos(); pos;) {
        CLine* line = GetNextLine(pos);
        gerber::CountStroke(apertures, line->GetTurretNo(), line->GetLength());
        if (line->GetType() & LINE_NAMED)
            line->GetNameText()->CheckTurret(apertures);
    }
    for (POSITION pos = GetFirstSurPos(); pos;)
        GetNextSur(pos)->CheckTurret(apertures);
    for (POSITION pos = GetFirstArcPos(); pos;) {
        CArc* arc = GetNextArc(pos);
        // Start and end angles closer than 0.001 make a full circle.
        const double length = std::fabs(arc->GetStartAngle() - arc->GetEndAngle()) < 0.001
                                  ? arc->GetRadius() * 2.0 * std::numbers::pi
                                  : arc->GetRadius() * arc->GetAngle();
        gerber::CountStroke(apertures, arc->GetTurretNo(), length);
        if (arc->GetType() & ARC_NAMED)
            arc->GetNameText()->CheckTurret(apertures);
    }
    for (POSITION pos = GetFirstTextPos(); pos;)
        GetNextText(pos)->CheckTurret(apertures);
}
