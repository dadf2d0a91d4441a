#include "platform/Mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace platform {

namespace {

std::int32_t ToUnit(double v)
{
    return RoundToUnit(v);
}

// Logical units per inch of the fixed modes.
int UnitsPerInch(int mode)
{
    switch (mode) {
    case MM_LOMETRIC:
        return 254;
    case MM_HIMETRIC:
        return 2540;
    case MM_LOENGLISH:
        return 100;
    case MM_HIENGLISH:
        return 1000;
    case MM_TWIPS:
        return 1440;
    default:
        return 0;
    }
}

double Mag(std::int32_t v)
{
    return std::abs(static_cast<double>(v));
}

} // namespace

Mapping::Mapping(int dpiX, int dpiY) : m_dpiX(dpiX > 0 ? dpiX : 96), m_dpiY(dpiY > 0 ? dpiY : 96) {}

void Mapping::SetResolution(int dpiX, int dpiY)
{
    if (dpiX > 0)
        m_dpiX = dpiX;
    if (dpiY > 0)
        m_dpiY = dpiY;
    SetFixedExtents();
    Rescale();
}

void Mapping::Rescale()
{
    m_scaleX = m_vpExt.cx / static_cast<double>(m_winExt.cx);
    m_scaleY = m_vpExt.cy / static_cast<double>(m_winExt.cy);
}

void Mapping::SetFixedExtents()
{
    if (m_mode == MM_TEXT) {
        m_winExt = CSize(1, 1);
        m_vpExt = CSize(1, 1);
    } else if (const int units = UnitsPerInch(m_mode)) {
        // y grows upward in every fixed mode but the text mode.
        m_winExt = CSize(units, units);
        m_vpExt = CSize(m_dpiX, -m_dpiY);
    }
}

int Mapping::SetMapMode(int mode)
{
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return 0;
    const int previous = m_mode;
    if (mode == MM_ISOTROPIC) {
        m_mode = MM_LOMETRIC;
        SetFixedExtents();
    }
    m_mode = mode;
    SetFixedExtents();
    AdjustIsotropic();
    Rescale();
    return previous;
}

CSize Mapping::SetWindowExt(CSize ext)
{
    const CSize previous = m_winExt;
    if ((m_mode == MM_ISOTROPIC || m_mode == MM_ANISOTROPIC) && ext.cx != 0 && ext.cy != 0) {
        m_winExt = ext;
        AdjustIsotropic();
        Rescale();
    }
    return previous;
}

CSize Mapping::SetViewportExt(CSize ext)
{
    const CSize previous = m_vpExt;
    if ((m_mode == MM_ISOTROPIC || m_mode == MM_ANISOTROPIC) && ext.cx != 0 && ext.cy != 0) {
        m_vpExt = ext;
        AdjustIsotropic();
        Rescale();
    }
    return previous;
}

void Mapping::AdjustIsotropic()
{
    if (m_mode != MM_ISOTROPIC)
        return;
    // Physical length of a logical unit on each axis is |vp| / (|win| * dpi); the longer one is
    // shortened to the other.
    const double wx = Mag(m_winExt.cx);
    const double wy = Mag(m_winExt.cy);
    const double vx = Mag(m_vpExt.cx);
    const double vy = Mag(m_vpExt.cy);
    const double sx = vx / (wx * m_dpiX);
    const double sy = vy / (wy * m_dpiY);
    if (sx > sy) {
        const std::int32_t n = std::max<std::int32_t>(1, ToUnit(wx * sy * m_dpiX));
        m_vpExt.cx = m_vpExt.cx < 0 ? -n : n;
    } else if (sy > sx) {
        const std::int32_t n = std::max<std::int32_t>(1, ToUnit(wy * sx * m_dpiY));
        m_vpExt.cy = m_vpExt.cy < 0 ? -n : n;
    }
}

CPoint Mapping::SetWindowOrg(CPoint org)
{
    const CPoint previous = m_winOrg;
    m_winOrg = org;
    return previous;
}

CPoint Mapping::SetViewportOrg(CPoint org)
{
    const CPoint previous = m_vpOrg;
    m_vpOrg = org;
    return previous;
}

CPoint Mapping::DPtoLP(CPoint p) const
{
    const double x = (static_cast<double>(p.x) - m_vpOrg.x) * m_winExt.cx / m_vpExt.cx + m_winOrg.x;
    const double y = (static_cast<double>(p.y) - m_vpOrg.y) * m_winExt.cy / m_vpExt.cy + m_winOrg.y;
    return CPoint(ToUnit(x), ToUnit(y));
}

CSize Mapping::LPtoDP(CSize s) const
{
    return CSize(ToUnit(s.cx * Mag(m_vpExt.cx) / Mag(m_winExt.cx)),
                 ToUnit(s.cy * Mag(m_vpExt.cy) / Mag(m_winExt.cy)));
}

CSize Mapping::DPtoLP(CSize s) const
{
    return CSize(ToUnit(s.cx * Mag(m_winExt.cx) / Mag(m_vpExt.cx)),
                 ToUnit(s.cy * Mag(m_winExt.cy) / Mag(m_vpExt.cy)));
}

CRect Mapping::LPtoDP(const CRect& r) const
{
    const CPoint a = LPtoDP(CPoint(r.left, r.top));
    const CPoint b = LPtoDP(CPoint(r.right, r.bottom));
    return CRect(a.x, a.y, b.x, b.y);
}

CRect Mapping::DPtoLP(const CRect& r) const
{
    const CPoint a = DPtoLP(CPoint(r.left, r.top));
    const CPoint b = DPtoLP(CPoint(r.right, r.bottom));
    return CRect(a.x, a.y, b.x, b.y);
}

} // namespace platform
