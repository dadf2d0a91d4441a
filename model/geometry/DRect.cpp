#include "model/geometry/DRect.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <utility>

void CDRect::SwapLeftRight(tagDRECT* r)
{
    std::swap(r->left, r->right);
}

void CDRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

int CDRect::IsRectOutSide(const tagDPOINT& e) const
{
    // Wholly beyond one side of the work area, judged alike on both axes: an item that only
    // reaches over an edge stays.
    const double minX = std::min(left, right);
    const double maxX = std::max(left, right);
    const double minY = std::min(top, bottom);
    const double maxY = std::max(top, bottom);
    return maxX < 0.0 || maxY < 0.0 || minX > e.x || minY > e.y;
}

int CDRect::EqualRect(const tagDRECT* r) const
{
    auto near = [](double c, double rc) { return rc - GEOM_TOLERANCE <= c && c < rc + GEOM_TOLERANCE; };
    return near(left, r->left) && near(top, r->top) && near(right, r->right) && near(bottom, r->bottom);
}

void CDRect::InflateRect(const tagDRECT* r)
{
    left *= r->left;
    top *= r->top;
    right *= r->right;
    bottom *= r->bottom;
}

void CDRect::DeflateRect(const tagDRECT* r)
{
    left /= r->left;
    top /= r->top;
    right /= r->right;
    bottom /= r->bottom;
}

int CDRect::IntersectRect(const tagDRECT* r) const
{
    return std::max(left, r->left) < std::min(right, r->right) &&
           std::max(top, r->top) < std::min(bottom, r->bottom);
}

int CDRect::IntersectRect(const tagDRECT* a, const tagDRECT* b)
{
    // a or b may be this rectangle: read both before writing.
    const double l = std::max(a->left, b->left);
    const double t = std::max(a->top, b->top);
    const double r = std::min(a->right, b->right);
    const double btm = std::min(a->bottom, b->bottom);
    if (l >= r || t >= btm) {
        SetRectEmpty();
        return 0;
    }
    SetRect(l, t, r, btm);
    return 1;
}

int CDRect::UnionRect(const tagDRECT* a, const tagDRECT* b)
{
    const CDRect ra(*a);
    const CDRect rb(*b);
    if (ra.IsRectNull())
        *this = rb;
    else if (rb.IsRectNull())
        *this = ra;
    else
        SetRect(std::min(ra.left, rb.left), std::min(ra.top, rb.top), std::max(ra.right, rb.right),
                std::max(ra.bottom, rb.bottom));
    return left < right && top < bottom;
}

void CDRect::MirrorX(double a)
{
    const double l = 2.0 * a - right;
    const double r = 2.0 * a - left;
    left = l;
    right = r;
    if (left > right)
        std::swap(left, right);
}

void CDRect::MirrorY(double a)
{
    const double t = 2.0 * a - bottom;
    const double b = 2.0 * a - top;
    top = t;
    bottom = b;
    if (bottom < top)
        std::swap(top, bottom);
}

void CDRect::Rotate(const CDPoint& center, double angle)
{
    CDPoint pts[4] = {CDPoint(left, top), CDPoint(right, top), CDPoint(left, bottom), CDPoint(right, bottom)};
    for (CDPoint& p : pts)
        p.Rotate(center, angle);
    ResetRect(pts);
}

void CDRect::ResetRect(const tagDPOINT* pts)
{
    double l = pts[0].x;
    double t = pts[0].y;
    double r = pts[0].x;
    double b = pts[0].y;
    for (int i = 1; i < 4; ++i) {
        l = std::min(l, pts[i].x);
        r = std::max(r, pts[i].x);
        t = std::min(t, pts[i].y);
        b = std::max(b, pts[i].y);
    }
    SetRect(l, t, r, b);
}

CRect CDRect::IntRect() const
{
    const double scale = CDPoint::GetScale();
    return CRect(platform::TruncateToInt32(scale * left), platform::TruncateToInt32(scale * top),
                 platform::TruncateToInt32(scale * right), platform::TruncateToInt32(scale * bottom));
}

int CDRect::SubtractRect(const tagDRECT*, const tagDRECT*)
{
    return 0;
}

int CDRect::Check4Point(const tagDPOINT*, double)
{
    return 0;
}
