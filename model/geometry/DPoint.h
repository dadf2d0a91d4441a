#pragma once
// Board point: two doubles in millimetres; angles are radians, counter-clockwise positive.
// CDPoint adds operations to the plain record and stays layout-compatible with it (no fields, no
// virtuals). A rectangle's corners are handed out as CDPoint references into the rectangle, so the
// point types are declared may_alias: the optimiser must not assume they never overlap a tagDRECT.

#include "model/geometry/DSize.h"
#include "platform/Types.h"

// Library-wide comparison tolerance: millimetres for coordinates, radians for angles.
constexpr double GEOM_TOLERANCE = 1e-6;

struct tagDRECT;
class CDRect;

struct __attribute__((__may_alias__)) tagDPOINT
{
    double x;
    double y;
};

class __attribute__((__may_alias__)) CDPoint : public tagDPOINT
{
public:
    // Coordinates start at zero; callers are expected to set them.
    CDPoint() : tagDPOINT{0.0, 0.0} {}
    CDPoint(double px, double py) : tagDPOINT{px, py} {}
    CDPoint(const tagDPOINT& p) : tagDPOINT(p) {}
    explicit CDPoint(const tagDSIZE& s) : tagDPOINT{s.cx, s.cy} {}

    // Tolerant equality, one-sided on purpose: p - 1e-6 <= this < p + 1e-6 on both axes.
    int EqCheck(const tagDPOINT& p) const
    {
        return p.x - GEOM_TOLERANCE <= x && x < p.x + GEOM_TOLERANCE && p.y - GEOM_TOLERANCE <= y &&
               y < p.y + GEOM_TOLERANCE;
    }
    bool operator==(const tagDPOINT& p) const { return EqCheck(p) != 0; }
    bool operator==(const CDPoint& p) const { return EqCheck(p) != 0; }
    // Exact: any difference at all counts.
    bool operator!=(const tagDPOINT& p) const { return x != p.x || y != p.y; }
    bool operator!=(const CDPoint& p) const { return x != p.x || y != p.y; }

    int NearCheckPoint(const tagDPOINT& p, double r) const
    {
        const double dx = x - p.x;
        const double dy = y - p.y;
        return dx * dx + dy * dy <= r * r;
    }

    void Scale(const tagDPOINT& o, double f)
    {
        x = o.x + (x - o.x) * f;
        y = o.y + (y - o.y) * f;
    }
    void Scale(const tagDPOINT& o, const tagDSIZE& f)
    {
        x = o.x + (x - o.x) * f.cx;
        y = o.y + (y - o.y) * f.cy;
    }

    void Offset(double dx, double dy)
    {
        x += dx;
        y += dy;
    }
    void Offset(const tagDPOINT& d) { Offset(d.x, d.y); }
    void Offset(const tagDSIZE& d) { Offset(d.cx, d.cy); }
    CDPoint& operator+=(const tagDPOINT& d)
    {
        Offset(d.x, d.y);
        return *this;
    }
    CDPoint& operator+=(const tagDSIZE& d)
    {
        Offset(d.cx, d.cy);
        return *this;
    }
    CDPoint& operator-=(const tagDPOINT& d)
    {
        Offset(-d.x, -d.y);
        return *this;
    }
    CDPoint& operator-=(const tagDSIZE& d)
    {
        Offset(-d.cx, -d.cy);
        return *this;
    }
    CDPoint& operator*=(double f)
    {
        x *= f;
        y *= f;
        return *this;
    }
    CDPoint operator*(double f) const { return CDPoint(x * f, y * f); }
    CDPoint operator-() const { return CDPoint(-x, -y); }

    CDPoint operator+(const tagDPOINT& p) const { return CDPoint(x + p.x, y + p.y); }
    CDPoint operator+(const tagDSIZE& s) const { return CDPoint(x + s.cx, y + s.cy); }
    CDPoint operator-(const tagDSIZE& s) const { return CDPoint(x - s.cx, y - s.cy); }
    CDSize operator-(const tagDPOINT& p) const { return CDSize(x - p.x, y - p.y); }
    // The rectangle moved by +this / by -this.
    CDRect operator+(const tagDRECT* r) const;
    CDRect operator-(const tagDRECT* r) const;

    // Integer drawing units at the process-wide scale, truncated toward zero.
    CPoint IntPoint() const;
    // Glyph-outline point: each coordinate as a 16.16 fixed value.
    tagPOINTFX FxPoint() const;
    // The process-wide coordinate scale (board units to drawing units); 0 until the board sets it.
    static void SetScale(int scale);
    static int GetScale();

    CDPoint GetPoint(double angle, double length) const;
    CDPoint GetCenter(const tagDPOINT& p) const { return CDPoint((x + p.x) * 0.5, (y + p.y) * 0.5); }
    double GetAngle(const tagDPOINT& p) const;
    double GetLength(const tagDPOINT& p) const;
    // The distance rounded to 8 significant digits, as it is shown and typed.
    double GetLengthN(const tagDPOINT& p) const;
    double GetMLength(const tagDPOINT& p) const;
    double cross(const tagDPOINT& p) const { return x * p.y - y * p.x; }
    double dot(const tagDPOINT& p) const { return x * p.x + y * p.y; }

    void Rotate(const CDPoint& center, double angle);
    void Rotate(double angle);
    // Side test of this point against the line through pts[1] and pts[2], measured from pts[0];
    // on the line, whether pts[1] or pts[2] lies on the segment from this point to pts[0].
    int CrossCheck(const CDPoint* pts) const;
};

static_assert(sizeof(tagDPOINT) == 16 && sizeof(CDPoint) == 16 && sizeof(CDSize) == 16);
