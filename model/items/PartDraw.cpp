// Part drawing: the part's items on one layer, terminals in their net's colour with numbers that
// do not pile up, vias on the layers that admit them and holes last.

#include "model/items/Part.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "platform/DrawContext.h"

namespace {

// Layer type bits that decide whether a part's vias are drawn on a layer.
constexpr int kNoVias = 0x40;
constexpr int kViaLayers = 0x110001;

CRect Grown(const CRect& r, int d)
{
    return CRect(r.left - d, r.top - d, r.right + d, r.bottom + d);
}

} // namespace

void CPart::DrawPart(platform::DrawContext* dc, int mode, int layer, int layerType, int viaArg)
{
    if (!dc)
        return;
    if (!dc->RectVisible(Grown(GetBoundingRect().IntRect(), 4)))
        return;

    // The named texts, with no brush on the classes that draw no fills.
    const bool hollow = (mode & 0x9) != 0;
    platform::Brush previousBrush;
    if (hollow)
        previousBrush = dc->SelectStockBrush(NULL_BRUSH);
    for (CText* text : {&m_PartName, &m_RefName, &m_ValName}) {
        if (text->GetLayerNo() == layer)
            text->DrawTextA(dc, mode);
    }
    if (hollow)
        dc->SelectBrush(previousBrush);

    // Terminals. A number is left out when it meets the rectangle kept from the numbers before.
    DocumentServices* doc = nullptr;
    if (CSheet* sheet = GetSheet())
        doc = sheet->GetDocument();
    CDRect remembered;
    for (CItemBase* item : m_Ters) {
        CTer* ter = static_cast<CTer*>(item);
        if (ter->GetLayerNo() != layer)
            continue;
        const CDRect number = ter->GetNoText()->GetBoundingRect();
        bool withNumber = true;
        if (!remembered.IsRectEmpty()) {
            CDRect common;
            withNumber = common.IntersectRect(&remembered, &number) == 0;
            remembered = common;
        }
        if (withNumber) {
            remembered = number;
            remembered.DeflateRect(0.0, 0.02);
        }
        const bool coloured = IsPlaced() && !ter->IsNetEmpty() && doc;
        platform::Pen previousPen;
        if (coloured)
            previousPen = dc->SelectPen(
                platform::Pen(PS_SOLID, 0, doc->GetNetColor(static_cast<int>(ter->GetNetID()))));
        ter->DrawTer(dc, withNumber);
        if (coloured)
            dc->SelectPen(previousPen);
    }

    for (CItemBase* item : m_Texts) {
        if (item->GetLayerNo() == layer)
            static_cast<CText*>(item)->DrawTextA(dc, mode);
    }
    for (CItemBase* item : m_Lines) {
        if (item->GetLayerNo() == layer)
            static_cast<CLine*>(item)->DrawLine(dc, mode);
    }
    for (CItemBase* item : m_Arcs) {
        if (item->GetLayerNo() == layer)
            static_cast<CArc*>(item)->DrawArc(dc, mode);
    }
    for (CItemBase* item : m_Surs) {
        if (item->GetLayerNo() == layer)
            static_cast<CSur*>(item)->DrawSur(dc, mode);
    }
    for (CItemBase* item : m_Lands) {
        if (item->GetLayerNo() == layer)
            static_cast<CLand*>(item)->DrawLand(dc, mode);
    }

    // Vias belong to every layer that admits them; a part outside any sheet draws them regardless
    // of their own (document-sized) bounds.
    if (!(layerType & kNoVias) && (layerType & kViaLayers)) {
        const bool force = GetParent() == nullptr;
        for (CItemBase* item : m_Vias)
            static_cast<CVia*>(item)->DrawVia(dc, layerType, viaArg, mode, force);
    }

    if (m_Holes.IsEmpty())
        return;
    const platform::Brush holeBrush = dc->SelectStockBrush(dc->IsPrinting() ? WHITE_BRUSH : BLACK_BRUSH);
    for (CItemBase* item : m_Holes) {
        if (item->GetLayerNo() == layer)
            static_cast<CHole*>(item)->DrawHole(dc, mode);
    }
    dc->SelectBrush(holeBrush);
}
