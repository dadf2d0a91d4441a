#pragma once
// Board size: two doubles in millimetres. CDSize adds operations to the plain record and stays
// layout-compatible with it (no fields, no virtuals), so either passes where the other is expected.

#include "platform/Types.h"

struct tagDPOINT;
class CDPoint;

struct tagDSIZE
{
    double cx;
    double cy;
};

class CDSize : public tagDSIZE
{
public:
    // Coordinates start at zero; callers are expected to set them.
    CDSize() : tagDSIZE{0.0, 0.0} {}
    CDSize(double w, double h) : tagDSIZE{w, h} {}
    CDSize(const tagDSIZE& s) : tagDSIZE(s) {}
    explicit CDSize(const tagDPOINT& p);

    // Exact comparison, unlike the tolerant point and rectangle equality.
    bool operator==(const tagDSIZE& s) const { return cx == s.cx && cy == s.cy; }
    bool operator==(const CDSize& s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(const tagDSIZE& s) const { return cx != s.cx || cy != s.cy; }
    bool operator!=(const CDSize& s) const { return cx != s.cx || cy != s.cy; }

    CDSize& operator+=(const tagDSIZE& s)
    {
        cx += s.cx;
        cy += s.cy;
        return *this;
    }
    CDSize& operator-=(const tagDSIZE& s)
    {
        cx -= s.cx;
        cy -= s.cy;
        return *this;
    }
    CDSize operator-() const { return CDSize(-cx, -cy); }
    CDSize operator+(const tagDSIZE& s) const { return CDSize(cx + s.cx, cy + s.cy); }
    CDSize operator-(const tagDSIZE& s) const { return CDSize(cx - s.cx, cy - s.cy); }
    CDPoint operator+(const tagDPOINT& p) const;
    CDPoint operator-(const tagDPOINT& p) const;

    // Integer drawing units at the process-wide coordinate scale (CDPoint::SetScale).
    CSize IntSize() const;
    // Back from drawing units; a size taken before any scale was set stays as it is.
    CDSize DivSize() const;
};
