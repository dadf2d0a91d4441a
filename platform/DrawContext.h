#pragma once
// The drawing context that items draw on: our stand-in for the device context. Coordinates are
// integer logical units mapped to the device by the context's Mapping. Pens, brushes and fonts
// are small values: selecting one returns the one selected before, which the caller selects
// again when done. Implementations: the Qt painter context (screen, printer, image, SVG) and
// RecordingDrawContext (tests).

#include "platform/Mapping.h"
#include "platform/FontRecord.h"
#include "platform/Types.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Pen styles (low four bits), end caps, joins and the geometric type bit.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;
constexpr int PS_STYLE_MASK = 0x0000000F;
constexpr int PS_ENDCAP_ROUND = 0x00000000;
constexpr int PS_ENDCAP_SQUARE = 0x00000100;
constexpr int PS_ENDCAP_FLAT = 0x00000200;
constexpr int PS_ENDCAP_MASK = 0x00000F00;
constexpr int PS_JOIN_ROUND = 0x00000000;
constexpr int PS_JOIN_BEVEL = 0x00001000;
constexpr int PS_JOIN_MITER = 0x00002000;
constexpr int PS_JOIN_MASK = 0x0000F000;
constexpr int PS_COSMETIC = 0x00000000;
constexpr int PS_GEOMETRIC = 0x00010000;
constexpr int PS_TYPE_MASK = 0x000F0000;

// Brush styles. The only pattern brush is the halftone brush (every other pixel).
constexpr int BS_SOLID = 0;
constexpr int BS_NULL = 1;
constexpr int BS_HOLLOW = BS_NULL;
constexpr int BS_PATTERN = 3;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;

// Raster operations of pens (what a pen does with the pixels under it).
constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

// Background modes of text and styled lines.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Polygon fill modes.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

// Arc directions.
constexpr int AD_COUNTERCLOCKWISE = 1;
constexpr int AD_CLOCKWISE = 2;

// Text alignment.
constexpr unsigned TA_NOUPDATECP = 0;
constexpr unsigned TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

namespace platform {

struct Brush
{
    int style = BS_SOLID; // BS_SOLID, BS_NULL or BS_PATTERN (halftone)
    COLORREF color = RGB(255, 255, 255);

    static constexpr Brush Solid(COLORREF c) { return Brush{BS_SOLID, c}; }
    static constexpr Brush Null() { return Brush{BS_NULL, 0}; }
    // The halftone brush: every other pixel in the given colour.
    static constexpr Brush Halftone(COLORREF c = 0) { return Brush{BS_PATTERN, c}; }
    constexpr bool operator==(const Brush&) const = default;
};

struct Pen
{
    int style = PS_SOLID; // PS_ style, with end cap, join and PS_GEOMETRIC bits for geometric pens
    int width = 0;        // logical units; 0 draws one device unit wide
    COLORREF color = 0;

    constexpr Pen() = default;
    constexpr Pen(int s, int w, COLORREF c) : style(s), width(w), color(c) {}
    // A geometric pen coloured by a brush (style may carry end cap and join bits); a null brush
    // gives a pen that draws nothing.
    static constexpr Pen FromBrush(int s, int w, const Brush& brush)
    {
        if (brush.style == BS_NULL)
            return Pen(PS_NULL | PS_GEOMETRIC, w, 0);
        return Pen(s | PS_GEOMETRIC, w, brush.color);
    }
    constexpr int Style() const { return style & PS_STYLE_MASK; }
    constexpr int EndCap() const { return style & PS_ENDCAP_MASK; }
    constexpr int Join() const { return style & PS_JOIN_MASK; }
    constexpr bool IsGeometric() const { return (style & PS_TYPE_MASK) == PS_GEOMETRIC; }
    constexpr bool operator==(const Pen&) const = default;
};

constexpr Pen StockPen(int id)
{
    switch (id) {
    case WHITE_PEN:
        return Pen(PS_SOLID, 0, RGB(255, 255, 255));
    case NULL_PEN:
        return Pen(PS_NULL, 0, 0);
    default:
        return Pen(PS_SOLID, 0, RGB(0, 0, 0));
    }
}

constexpr Brush StockBrush(int id)
{
    switch (id) {
    case LTGRAY_BRUSH:
        return Brush::Solid(RGB(192, 192, 192));
    case GRAY_BRUSH:
        return Brush::Solid(RGB(128, 128, 128));
    case DKGRAY_BRUSH:
        return Brush::Solid(RGB(64, 64, 64));
    case BLACK_BRUSH:
        return Brush::Solid(RGB(0, 0, 0));
    case NULL_BRUSH:
        return Brush::Null();
    default:
        return Brush::Solid(RGB(255, 255, 255));
    }
}

// Fonts are selected with the text records' own 60-byte record (LOGFONTA).
using LogFont = LOGFONTA;

// Metrics of the selected font, in logical units.
struct TextMetrics
{
    std::int32_t tmHeight = 0; // ascent + descent
    std::int32_t tmAscent = 0;
    std::int32_t tmDescent = 0;
    std::int32_t tmInternalLeading = 0;
    std::int32_t tmExternalLeading = 0;
    std::int32_t tmAveCharWidth = 0;
    std::int32_t tmMaxCharWidth = 0;
    bool operator==(const TextMetrics&) const = default;
};

// An area made of polygons, each filled by the winding rule, combined by exclusive or (a
// polygon inside another cuts a hole in it).
struct Region
{
    std::vector<std::vector<CPoint>> polygons;

    void AddPolygon(std::vector<CPoint> points) { polygons.push_back(std::move(points)); }
    bool IsEmpty() const
    {
        for (const auto& p : polygons) {
            if (p.size() >= 3)
                return false;
        }
        return true;
    }
    // The smallest rectangle holding every point (left <= right, top <= bottom).
    CRect Bounds() const
    {
        bool first = true;
        CRect r;
        for (const auto& poly : polygons) {
            for (const CPoint& p : poly) {
                if (first) {
                    r = CRect(p.x, p.y, p.x, p.y);
                    first = false;
                    continue;
                }
                r.left = p.x < r.left ? p.x : r.left;
                r.top = p.y < r.top ? p.y : r.top;
                r.right = p.x > r.right ? p.x : r.right;
                r.bottom = p.y > r.bottom ? p.y : r.bottom;
            }
        }
        return r;
    }
};

class DrawContext
{
public:
    DrawContext() = default;
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;
    virtual ~DrawContext() = default;

    // --- Selected objects and modes. Each setter returns the previous value.
    virtual Pen SelectPen(const Pen& pen) = 0;
    virtual Pen GetPen() const = 0;
    virtual Brush SelectBrush(const Brush& brush) = 0;
    virtual Brush GetBrush() const = 0;
    virtual LogFont SelectFont(const LogFont& font) = 0;
    virtual LogFont GetFont() const = 0;
    Pen SelectStockPen(int id) { return SelectPen(StockPen(id)); }
    Brush SelectStockBrush(int id) { return SelectBrush(StockBrush(id)); }

    virtual int SetROP2(int rop) = 0; // R2_ codes; R2_COPYPEN initially
    virtual int GetROP2() const = 0;
    virtual COLORREF SetTextColor(COLORREF color) = 0;
    virtual COLORREF GetTextColor() const = 0;
    virtual COLORREF SetBkColor(COLORREF color) = 0;
    virtual COLORREF GetBkColor() const = 0;
    virtual int SetBkMode(int mode) = 0; // TRANSPARENT or OPAQUE (initially)
    virtual int GetBkMode() const = 0;
    virtual unsigned SetTextAlign(unsigned align) = 0; // TA_ flags; TA_LEFT | TA_TOP initially
    virtual unsigned GetTextAlign() const = 0;
    virtual int SetPolyFillMode(int mode) = 0; // ALTERNATE (initially) or WINDING
    virtual int GetPolyFillMode() const = 0;
    // Direction in which Arc runs from its start ray to its end ray, as seen on the device
    // (y downward). Under a mapping with y upward, counter-clockwise is the direction of
    // increasing angle in logical units.
    virtual int SetArcDirection(int direction) = 0; // AD_COUNTERCLOCKWISE initially
    virtual int GetArcDirection() const = 0;

    // --- Lines and figures. Lines and outlines use the pen; closed figures are filled with the
    // brush. Between BeginPath and EndPath they add to the path instead of drawing.
    virtual CPoint MoveTo(CPoint p) = 0; // returns the previous current position
    virtual void LineTo(CPoint p) = 0;   // draws to p, which becomes the current position
    virtual CPoint GetCurrentPosition() const = 0;
    virtual void Polyline(std::span<const CPoint> points) = 0; // does not use or move the position
    virtual void Polygon(std::span<const CPoint> points) = 0;  // closed and filled (poly fill mode)
    // Cubic Bezier segments from the current position: three points each (two control points
    // and an end point); points past the last whole three are ignored; the last end point becomes
    // the current position.
    virtual void PolyBezierTo(std::span<const CPoint> points) = 0;
    // Rectangle and ellipse fill the box from its left and top edges up to, not including, its
    // right and bottom edges (either orientation), and outline it with the pen.
    virtual void Rectangle(const CRect& r) = 0;
    virtual void Ellipse(const CRect& r) = 0;
    // Part of the ellipse inscribed in box, from where the ray from its centre through start
    // meets it to where the ray through end meets it, in the arc direction; start == end draws
    // the whole ellipse.
    virtual void Arc(const CRect& box, CPoint start, CPoint end) = 0;

    // Integer-pair and pointer-and-count forms.
    CPoint MoveTo(int x, int y) { return MoveTo(CPoint(x, y)); }
    void LineTo(int x, int y) { LineTo(CPoint(x, y)); }
    void Polyline(const CPoint* points, int count)
    {
        Polyline(std::span<const CPoint>(points, Count(count)));
    }
    void Polygon(const CPoint* points, int count) { Polygon(std::span<const CPoint>(points, Count(count))); }
    void PolyBezierTo(const CPoint* points, int count)
    {
        PolyBezierTo(std::span<const CPoint>(points, Count(count)));
    }

    // --- Paths.
    virtual void BeginPath() = 0;
    virtual void EndPath() = 0;
    virtual void AbortPath() = 0;
    virtual void CloseFigure() = 0;
    // The three below use up the path.
    virtual void StrokePath() = 0;
    virtual void FillPath() = 0;
    virtual void StrokeAndFillPath() = 0;

    // --- Regions.
    virtual void FillRegion(const Region& region, const Brush& brush) = 0;
    virtual void PaintRegion(const Region& region) = 0; // with the selected brush

    // --- Text, with the selected font, text colour, alignment and background mode.
    virtual void TextOut(CPoint p, const std::string& text) = 0; // text is CP932
    virtual CSize GetTextExtent(const std::string& text) const = 0;
    virtual TextMetrics GetTextMetrics() const = 0;

    // --- Visibility and device.
    // The smallest rectangle around what may be drawn, in logical units.
    virtual CRect GetClipBox() const = 0;
    // Whether any part of r (logical units, either orientation) may be drawn.
    virtual bool RectVisible(const CRect& r) const = 0;
    virtual bool IsPrinting() const = 0;

    // --- Mapping between logical and device units.
    virtual int SetMapMode(int mode) { return m_mapping.SetMapMode(mode); }
    virtual CSize SetWindowExt(CSize ext) { return m_mapping.SetWindowExt(ext); }
    virtual CSize SetViewportExt(CSize ext) { return m_mapping.SetViewportExt(ext); }
    virtual CPoint SetWindowOrg(CPoint org) { return m_mapping.SetWindowOrg(org); }
    virtual CPoint SetViewportOrg(CPoint org) { return m_mapping.SetViewportOrg(org); }
    int GetMapMode() const { return m_mapping.GetMapMode(); }
    CSize GetWindowExt() const { return m_mapping.GetWindowExt(); }
    CSize GetViewportExt() const { return m_mapping.GetViewportExt(); }
    CPoint GetWindowOrg() const { return m_mapping.GetWindowOrg(); }
    CPoint GetViewportOrg() const { return m_mapping.GetViewportOrg(); }
    CPoint LPtoDP(CPoint p) const { return m_mapping.LPtoDP(p); }
    CPoint DPtoLP(CPoint p) const { return m_mapping.DPtoLP(p); }
    CSize LPtoDP(CSize s) const { return m_mapping.LPtoDP(s); }
    CSize DPtoLP(CSize s) const { return m_mapping.DPtoLP(s); }
    CRect LPtoDP(const CRect& r) const { return m_mapping.LPtoDP(r); }
    CRect DPtoLP(const CRect& r) const { return m_mapping.DPtoLP(r); }
    const Mapping& GetMapping() const { return m_mapping; }

protected:
    static std::size_t Count(int count) { return count > 0 ? static_cast<std::size_t>(count) : 0; }

    Mapping m_mapping;
};

} // namespace platform
