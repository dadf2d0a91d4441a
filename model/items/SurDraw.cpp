// Surface drawing: the outline strokes, the area as a region in the filled class, and the hatch
// lines, thinned out where they would crowd together at the present zoom.

#include "model/items/Sur.h"

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "platform/DrawContext.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Hatch lines whose pitch comes closer than this on the device are thinned out.
constexpr int kMinHatchPitch = 8;
// Fill lines keep their scan line number modulo 256 as their id.
constexpr int kMaxThinning = 256;

template <class T> T* As(CItemBase* item)
{
    return static_cast<T*>(item);
}

bool Meets(CRect a, CRect b)
{
    const auto normal = [](CRect& r) {
        if (r.left > r.right)
            std::swap(r.left, r.right);
        if (r.top > r.bottom)
            std::swap(r.top, r.bottom);
    };
    normal(a);
    normal(b);
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// The step between drawn hatch lines for a line width, as the fill's pitch goes but never below
// 0.08 mm.
double HatchStep(double width)
{
    if (width > 5.0)
        return width - 0.5;
    if (width >= 0.2)
        return 0.9 * width;
    if (width >= 0.1)
        return width - 0.02;
    return 0.08;
}

} // namespace

void CSur::CalcDrawRgn(platform::Region& region, CItemBaseList& list)
{
    std::vector<CPoint> points;
    const auto close = [&] {
        if (!points.empty())
            region.AddPolygon(std::exchange(points, {}));
    };
    for (auto pos = list.GetHeadPosition(); pos;) {
        CItemBase* item = list.GetNext(pos);
        if (item->GetType() & SUR_CHAIN_FIRST)
            close();
        if (item->GetKind() == KIND_LINE) {
            points.push_back(As<CLine>(item)->GetStartPoint().IntPoint());
        } else if (item->GetKind() == KIND_ARC) {
            const CArc* arc = As<CArc>(item);
            const int capacity = arc->MakeIntPoint(nullptr);
            if (capacity <= 0)
                continue;
            const std::size_t at = points.size();
            points.resize(at + static_cast<std::size_t>(capacity));
            const int written = arc->MakeIntPoint(points.data() + at);
            points.resize(at + static_cast<std::size_t>(std::clamp(written, 0, capacity)));
        }
    }
    close();
}

void CSur::DrawSur(platform::DrawContext* dc, int mode)
{
    if (!dc)
        return;
    if (!dc->RectVisible(GetBoundingRect().IntRect()))
        return;

    // The area, windows cut out of it.
    if ((mode & 0x4) && !(m_nType & SUR_NOFILL)) {
        platform::Region region;
        CItemBaseList list;
        CalcLineList(list);
        CalcDrawRgn(region, list);
        if (!region.IsEmpty() && Meets(region.Bounds(), dc->GetClipBox())) {
            for (CItemBase* item : m_Windows) {
                list.RemoveAll();
                As<CSur>(item)->CalcLineList(list);
                CalcDrawRgn(region, list);
            }
            if (dc->IsPrinting())
                dc->PaintRegion(region);
            else
                dc->FillRegion(region, platform::Brush::Halftone(dc->GetPen().color));
        }
        ResetModify();
    }

    // The outline, the windows' outlines one level down.
    const auto drawOutline = [&](CSur& sur) {
        for (CItemBase* item : sur.m_Lines)
            As<CLine>(item)->DrawLine(dc, mode);
        for (CItemBase* item : sur.m_Arcs)
            As<CArc>(item)->DrawArc(dc, mode);
    };
    drawOutline(*this);
    for (CItemBase* item : m_Windows)
        drawOutline(*As<CSur>(item));

    if ((m_nType & (SUR_EDGE | SUR_NOFILL)) || (mode & 0x4) || m_SurLines.IsEmpty())
        return;
    const int fillMode = (mode & 0x2) ? 1 : mode;

    // Thinning: only every step-th scan line when the hatch would be denser than the device shows.
    int step = 1;
    if (!(mode & 0x8)) {
        const double pitch = HatchStep(GetLineWidth());
        for (step = 1; step < kMaxThinning; ++step) {
            const int length = static_cast<int>(CDPoint::GetScale() * step * pitch);
            if (std::abs(dc->LPtoDP(CSize(length, 0)).cx) >= kMinHatchPitch)
                break;
        }
    }
    for (CItemBase* item : m_SurLines) {
        if (step > 1 && item->GetID() % static_cast<std::uint32_t>(step) != 0)
            continue;
        As<CLine>(item)->DrawLine(dc, fillMode);
    }
}
