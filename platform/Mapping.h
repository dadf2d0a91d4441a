#pragma once
// Mapping between logical units (what items draw in) and device units (pixels or printer dots):
// the map mode with its window and viewport extents and origins, as the device context keeps
// them. device = (logical - window origin) * viewport extent / window extent + viewport origin,
// rounded to the nearest unit.

#include "platform/Types.h"

#include <cstdint>
#include <limits>

// Map modes.
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;

namespace platform {

// The nearest whole unit, halves away from zero (as std::llround), held to the 32-bit range. Written
// without a library call: items convert every point they draw.
inline std::int32_t RoundToUnit(double v)
{
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (!(v > lo))
        return std::numeric_limits<std::int32_t>::min();
    if (!(v < hi))
        return std::numeric_limits<std::int32_t>::max();
    const auto whole = static_cast<std::int64_t>(v);    // toward zero
    const double part = v - static_cast<double>(whole); // exact within this range
    return static_cast<std::int32_t>(whole + (part >= 0.5 ? 1 : 0) - (part <= -0.5 ? 1 : 0));
}

class Mapping
{
public:
    // The device's resolution in dots per inch decides the fixed metric and English modes.
    explicit Mapping(int dpiX = 96, int dpiY = 96);

    void SetResolution(int dpiX, int dpiY);
    int DpiX() const { return m_dpiX; }
    int DpiY() const { return m_dpiY; }

    // Returns the previous mode (0 for an unknown mode, which changes nothing). The fixed modes
    // set their extents; MM_ISOTROPIC starts from the extents of MM_LOMETRIC; MM_ANISOTROPIC
    // keeps the current ones.
    int SetMapMode(int mode);
    int GetMapMode() const { return m_mode; }

    // Extents change only in MM_ISOTROPIC and MM_ANISOTROPIC and never to zero; both return the
    // previous extent. In MM_ISOTROPIC the viewport extent is then reduced on one axis so that
    // a logical unit is as long on both axes (keeping its signs).
    CSize SetWindowExt(CSize ext);
    CSize SetViewportExt(CSize ext);
    CSize GetWindowExt() const { return m_winExt; }
    CSize GetViewportExt() const { return m_vpExt; }

    CPoint SetWindowOrg(CPoint org);
    CPoint SetViewportOrg(CPoint org);
    CPoint GetWindowOrg() const { return m_winOrg; }
    CPoint GetViewportOrg() const { return m_vpOrg; }

    CPoint LPtoDP(CPoint p) const
    {
        return CPoint(
            ToDevice(p.x - static_cast<double>(m_winOrg.x), m_vpExt.cx, m_winExt.cx, m_scaleX, m_vpOrg.x),
            ToDevice(p.y - static_cast<double>(m_winOrg.y), m_vpExt.cy, m_winExt.cy, m_scaleY, m_vpOrg.y));
    }
    CPoint DPtoLP(CPoint p) const;
    // Sizes scale by the magnitudes of the extents and keep their own signs.
    CSize LPtoDP(CSize s) const;
    CSize DPtoLP(CSize s) const;
    // Both corners converted (the result is not normalised).
    CRect LPtoDP(const CRect& r) const;
    CRect DPtoLP(const CRect& r) const;

    // Exact (unrounded) conversion of one coordinate, for implementations that draw in
    // device units with sub-unit precision.
    double LPtoDPX(double x) const
    {
        return (x - m_winOrg.x) * m_vpExt.cx / static_cast<double>(m_winExt.cx) + m_vpOrg.x;
    }
    double LPtoDPY(double y) const
    {
        return (y - m_winOrg.y) * m_vpExt.cy / static_cast<double>(m_winExt.cy) + m_vpOrg.y;
    }

    bool operator==(const Mapping&) const = default;

private:
    // RoundToUnit(offset * num / den + to), found by one product with scale (num / den) where that
    // cannot round otherwise: the two lie a few units in the last place apart, which moves the
    // result only across a half.
    static std::int32_t ToDevice(double offset, std::int32_t num, std::int32_t den, double scale,
                                 std::int32_t to)
    {
        constexpr double range = 1 << 26;
        const double product = offset * scale;
        if (product < range && product > -range && to < range && to > -range) {
            const double quick = product + to;
            const auto whole = static_cast<std::int32_t>(quick); // toward zero
            const double part = quick - whole;
            const double fromHalf = (part < 0 ? -part : part) - 0.5;
            // Without branches on which way it rounds: that goes either way from point to point
            // and would be mispredicted half the time.
            if (fromHalf > 1e-5 || fromHalf < -1e-5) {
                const std::int32_t away = fromHalf > 0 ? 1 : 0;
                const std::int32_t negative = part < 0 ? 1 : 0;
                return whole + away - 2 * (away & negative);
            }
        }
        return RoundToUnit(offset * num / static_cast<double>(den) + to);
    }
    void Rescale();
    void SetFixedExtents();
    void AdjustIsotropic();

    int m_dpiX;
    int m_dpiY;
    int m_mode = MM_TEXT;
    CSize m_winExt{1, 1};
    CSize m_vpExt{1, 1};
    CPoint m_winOrg;
    CPoint m_vpOrg;
    double m_scaleX = 1.0; // viewport over window extent
    double m_scaleY = 1.0;
};

} // namespace platform
