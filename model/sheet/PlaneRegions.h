#pragma once
// The copper regions of a plane's frame sheet (CSheet::CalcNegaFrame) looked up by point: the
// fill strips of the frame's surface in fill order, with the highest row reached so far, so that
// the strip a walk of the fill would find is found by a binary search and a walk of one row.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"

#include <cstdint>
#include <vector>

class CSheet;

class PlaneRegions
{
public:
    // A snapshot of the frame sheet's first surface; the frame's W-layer goes into the ids.
    explicit PlaneRegions(CSheet& frame);

    // The id of the region under the point: the first strip whose row is not below the point's,
    // then along that row the first strip whose x range holds the point's x. 0 outside the
    // surface's rectangle or where no strip covers the point.
    std::uint32_t At(const CDPoint& point) const;

private:
    struct Strip
    {
        double y, x1, x2;
        std::uint32_t id;
    };
    std::uint32_t m_wLayer;
    bool m_have = false;
    CDRect m_rect;
    std::vector<Strip> m_strips;
    std::vector<double> m_highest; // the highest row among the strips up to each one
};
