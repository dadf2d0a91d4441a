#pragma once
// The positions a clearance check appended to a rule record: four 16.16 values per violation
// (x, y of the first position, x, y of the second), read back as points.

#include "model/geometry/DPoint.h"
#include "model/services/Records.h"

#include <cstdint>
#include <vector>

namespace testing_support {

inline std::vector<CDPoint> ErrorPointsOf(const tagDRCSPEC& drc)
{
    std::vector<CDPoint> points;
    for (std::size_t i = 0; i + 1 < drc.errorPoints.size(); i += 2)
        points.emplace_back(static_cast<std::int32_t>(drc.errorPoints[i]) / 65536.0,
                            static_cast<std::int32_t>(drc.errorPoints[i + 1]) / 65536.0);
    return points;
}

} // namespace testing_support
