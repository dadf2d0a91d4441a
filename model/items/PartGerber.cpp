// Photo-plot output and aperture usage of a part: its items on one layer, and its vias on the
// layers that show them.

#include "model/items/Part.h"

#include "model/items/Arc.h"
#include "model/items/GerberSupport.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"

#include <cmath>
#include <numbers>

namespace {

// Layer type bits that decide whether a part's vias count and are written on a layer.
constexpr int kNoVias = 0x40;
constexpr int kViaCountLayers = 0x100001;
constexpr int kViaLayers = 0x110001;
constexpr int kResistLayer = 0x100000;

// The writer's pending line, once, with the end of block.
void FlushPendingLine(CArchive& ar, tagGERBAR& g)
{
    if (!g.pendingLineFlag)
        return;
    gerber::WriteCode(ar, g, g.pendingLine);
    g.pendingLineFlag = 0;
}

} // namespace

void CPart::CheckTurret(tagDCODE* table, int layer, int layerType, int viaArg)
{
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName}) {
        if (text->GetLayerNo() == layer)
            text->CheckTurret(table);
    }
    for (CItemBase* item : m_Lands) {
        if (item->GetLayerNo() == layer)
            gerber::CountFlash(table, item->GetTurretNo());
    }
    for (CItemBase* item : m_Lines) {
        CLine* line = static_cast<CLine*>(item);
        if (line->GetLayerNo() != layer)
            continue;
        gerber::CountStroke(table, line->GetTurretNo(), line->GetLength());
        if (!line->IsNameEmpty())
            line->GetNameText()->CheckTurret(table);
    }
    for (CItemBase* item : m_Arcs) {
        CArc* arc = static_cast<CArc*>(item);
        if (arc->GetLayerNo() != layer)
            continue;
        // A circle (angles closer than 0.001) counts whole.
        const double length = std::fabs(arc->GetStartAngle() - arc->GetEndAngle()) < 0.001
                                  ? 2.0 * std::numbers::pi * arc->GetRadius()
                                  : arc->GetAngle() * arc->GetRadius();
        gerber::CountStroke(table, arc->GetTurretNo(), length);
        if (!arc->IsNameEmpty())
            arc->GetNameText()->CheckTurret(table);
    }
    for (CItemBase* item : m_Surs) {
        if (item->GetLayerNo() == layer)
            static_cast<CSur*>(item)->CheckTurret(table);
    }
    for (CItemBase* item : m_Texts) {
        if (item->GetLayerNo() == layer)
            static_cast<CText*>(item)->CheckTurret(table);
    }
    if (!(layerType & kNoVias) && (layerType & kViaCountLayers)) {
        for (CItemBase* item : m_Vias)
            static_cast<CVia*>(item)->CheckTurret(table, layerType, viaArg);
    }
}

void CPart::DataWriteGerbar(CArchive& ar, tagGERBAR& g, int layer, int layerType, int viaArg, bool textArg)
{
    for (CItemBase* item : m_Lands) {
        if (item->GetLayerNo() == layer)
            static_cast<CLand*>(item)->DataWriteGerbar(ar, g);
    }
    for (CItemBase* item : m_Lines) {
        if (item->GetLayerNo() == layer)
            static_cast<CLine*>(item)->DataWriteGerbar(ar, g, false);
    }
    // Arcs go out as copies mirrored and turned for the output (the record writer transforms
    // only points).
    for (CItemBase* item : m_Arcs) {
        if (item->GetLayerNo() == layer)
            static_cast<CArc*>(item)->DataWriteGerbarCopy(ar, g, false);
    }
    for (CItemBase* item : m_Surs) {
        if (item->GetLayerNo() == layer)
            static_cast<CSur*>(item)->DataWriteGerbar(ar, g);
    }
    if (!(layerType & kNoVias) && (layerType & kViaLayers) && (viaArg != 0 || (layerType & kResistLayer))) {
        FlushPendingLine(ar, g);
        for (CItemBase* item : m_Vias)
            static_cast<CVia*>(item)->DataWriteGerbar(ar, g, layerType, viaArg);
    }
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName}) {
        if (text->GetLayerNo() == layer)
            text->DataWriteGerbar(ar, g, textArg);
    }
    for (CItemBase* item : m_Texts) {
        if (item->GetLayerNo() == layer)
            static_cast<CText*>(item)->DataWriteGerbar(ar, g, textArg);
    }
    FlushPendingLine(ar, g);
}
