#pragma once
// Board rectangle: left, top, right, bottom in millimetres; normalised, top is the smaller y and
// left the smaller x. A rectangle whose four coordinates are exactly 0 is the null rectangle, which
// the union operations treat as absent. CDRect adds no fields and no virtuals to the record.

#include "model/geometry/DPoint.h"
#include "model/geometry/DSize.h"
#include "platform/Types.h"

struct tagDRECT
{
    double left;
    double top;
    double right;
    double bottom;
};

class CDRect : public tagDRECT
{
public:
    // Coordinates start at zero (the null rectangle); callers are expected to set them.
    CDRect() : tagDRECT{0.0, 0.0, 0.0, 0.0} {}
    CDRect(double l, double t, double r, double b) : tagDRECT{l, t, r, b} {}
    CDRect(const tagDRECT& r) : tagDRECT(r) {}
    explicit CDRect(const tagDRECT* r) : tagDRECT(*r) {}
    CDRect(const tagDPOINT& p, const tagDSIZE& s) : tagDRECT{p.x, p.y, p.x + s.cx, p.y + s.cy} {}
    // The square of half side h around c.
    CDRect(const tagDPOINT& c, double h) : tagDRECT{c.x - h, c.y - h, c.x + h, c.y + h} {}
    // Corners as given, not normalised.
    CDRect(const tagDPOINT& a, const tagDPOINT& b) : tagDRECT{a.x, a.y, b.x, b.y} {}

    CDRect& operator=(const tagDRECT& r)
    {
        tagDRECT::operator=(r);
        return *this;
    }
    void CopyRect(const tagDRECT* r) { tagDRECT::operator=(*r); }
    void SetRect(double l, double t, double r, double b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void SetRect(const tagDPOINT& a, const tagDPOINT& b) { SetRect(a.x, a.y, b.x, b.y); }
    void SetRectEmpty() { SetRect(0.0, 0.0, 0.0, 0.0); }

    // The corners as points inside the rectangle.
    CDPoint& TopLeft() { return *reinterpret_cast<CDPoint*>(&left); }
    const CDPoint& TopLeft() const { return *reinterpret_cast<const CDPoint*>(&left); }
    CDPoint& BottomRight() { return *reinterpret_cast<CDPoint*>(&right); }
    const CDPoint& BottomRight() const { return *reinterpret_cast<const CDPoint*>(&right); }

    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    CDSize Size() const { return CDSize(Width(), Height()); }
    CDPoint CenterPoint() const { return CDPoint((left + right) * 0.5, (top + bottom) * 0.5); }

    void SwapLeftRight() { SwapLeftRight(this); }
    static void SwapLeftRight(tagDRECT* r);
    void NormalizeRect();

    int IsRectEmpty() const { return !(right - left > 0.0 && bottom - top > 0.0); }
    int IsRectNull() const { return left == 0.0 && top == 0.0 && right == 0.0 && bottom == 0.0; }
    // Left and top edges inside, right and bottom edges outside.
    int PtInRect(const tagDPOINT& p) const
    {
        return left <= p.x && p.x < right && top <= p.y && p.y < bottom;
    }
    // Whether the rectangle lies wholly outside the work area from the origin to e, on x or on y.
    int IsRectOutSide(const tagDPOINT& e) const;

    // Tolerant, one-sided like CDPoint: r.c - 1e-6 <= c < r.c + 1e-6 for every coordinate.
    int EqualRect(const tagDRECT* r) const;
    bool operator==(const tagDRECT& r) const { return EqualRect(&r) != 0; }
    bool operator==(const CDRect& r) const { return EqualRect(&r) != 0; }
    bool operator!=(const tagDRECT& r) const { return EqualRect(&r) == 0; }
    bool operator!=(const CDRect& r) const { return EqualRect(&r) == 0; }

    void InflateRect(double d) { InflateRect(d, d); }
    void InflateRect(double dx, double dy)
    {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
    }
    void InflateRect(const tagDSIZE& s) { InflateRect(s.cx, s.cy); }
    void DeflateRect(double d) { InflateRect(-d, -d); }
    void DeflateRect(double dx, double dy) { InflateRect(-dx, -dy); }
    void DeflateRect(const tagDSIZE& s) { InflateRect(-s.cx, -s.cy); }

    // Coordinate-wise product / quotient with another rectangle (a per-coordinate scale).
    void InflateRect(const tagDRECT* r);
    void DeflateRect(const tagDRECT* r);
    CDRect& operator+=(const tagDRECT* r)
    {
        InflateRect(r);
        return *this;
    }
    CDRect& operator-=(const tagDRECT* r)
    {
        DeflateRect(r);
        return *this;
    }
    CDRect operator+(const tagDRECT* r) const
    {
        CDRect c(*this);
        c.InflateRect(r);
        return c;
    }
    CDRect operator-(const tagDRECT* r) const
    {
        CDRect c(*this);
        c.DeflateRect(r);
        return c;
    }

    void OffsetRect(double dx, double dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void OffsetRect(const tagDPOINT& p) { OffsetRect(p.x, p.y); }
    void OffsetRect(const tagDSIZE& s) { OffsetRect(s.cx, s.cy); }
    CDRect& operator+=(const tagDPOINT& p)
    {
        OffsetRect(p.x, p.y);
        return *this;
    }
    CDRect& operator+=(const tagDSIZE& s)
    {
        OffsetRect(s.cx, s.cy);
        return *this;
    }
    CDRect& operator-=(const tagDPOINT& p)
    {
        OffsetRect(-p.x, -p.y);
        return *this;
    }
    CDRect& operator-=(const tagDSIZE& s)
    {
        OffsetRect(-s.cx, -s.cy);
        return *this;
    }
    CDRect operator+(const tagDPOINT& p) const
    {
        CDRect c(*this);
        c.OffsetRect(p.x, p.y);
        return c;
    }
    CDRect operator+(const tagDSIZE& s) const
    {
        CDRect c(*this);
        c.OffsetRect(s.cx, s.cy);
        return c;
    }
    CDRect operator-(const tagDPOINT& p) const
    {
        CDRect c(*this);
        c.OffsetRect(-p.x, -p.y);
        return c;
    }
    CDRect operator-(const tagDSIZE& s) const
    {
        CDRect c(*this);
        c.OffsetRect(-s.cx, -s.cy);
        return c;
    }

    // Overlap test only; this rectangle is unchanged.
    int IntersectRect(const tagDRECT* r) const;
    // This becomes the overlap of a and b, or the null rectangle (result 0) when they only touch
    // or are apart.
    int IntersectRect(const tagDRECT* a, const tagDRECT* b);
    CDRect& operator&=(const tagDRECT& r)
    {
        IntersectRect(this, &r);
        return *this;
    }
    CDRect operator&(const tagDRECT& r) const
    {
        CDRect c;
        c.IntersectRect(this, &r);
        return c;
    }
    // This becomes the bounding box of a and b; a null rectangle counts as absent.
    int UnionRect(const tagDRECT* a, const tagDRECT* b);
    CDRect& operator|=(const tagDRECT& r)
    {
        UnionRect(this, &r);
        return *this;
    }
    CDRect operator|(const tagDRECT& r) const
    {
        CDRect c;
        c.UnionRect(this, &r);
        return c;
    }

    // Mirror about the vertical line x = a / the horizontal line y = a; the result stays normalised.
    void MirrorX(double a);
    void MirrorY(double a);
    // The bounding box of the four corners rotated about c.
    void Rotate(const CDPoint& center, double angle);
    // The bounding box of the four points pts[0..3].
    void ResetRect(const tagDPOINT* pts);
    // Integer drawing units at the process-wide scale, truncated toward zero.
    CRect IntRect() const;

    // Not supported: they do nothing and answer 0.
    int SubtractRect(const tagDRECT* a, const tagDRECT* b);
    int Check4Point(const tagDPOINT* pts, double d);
};

static_assert(sizeof(tagDRECT) == 32 && sizeof(CDRect) == 32);
