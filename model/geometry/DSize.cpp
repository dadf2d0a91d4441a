#include "model/geometry/DSize.h"

#include "model/geometry/DPoint.h"
#include "platform/Numbers.h"

CDSize::CDSize(const tagDPOINT& p) : tagDSIZE{p.x, p.y} {}

CDPoint CDSize::operator+(const tagDPOINT& p) const
{
    return CDPoint(cx + p.x, cy + p.y);
}

CDPoint CDSize::operator-(const tagDPOINT& p) const
{
    return CDPoint(cx - p.x, cy - p.y);
}

CSize CDSize::IntSize() const
{
    const double scale = CDPoint::GetScale();
    return CSize(platform::TruncateToInt32(scale * cx), platform::TruncateToInt32(scale * cy));
}

CDSize CDSize::DivSize() const
{
    const int scale = CDPoint::GetScale();
    if (scale == 0)
        return *this;
    return CDSize(cx / scale, cy / scale);
}
