#pragma once
// The drawing context over a QPainter: a widget, an image, a printer or an SVG generator.
//
// Logical coordinates are mapped to whole device units by the context's Mapping, as the device
// context does, and drawn aliased on the painter's own coordinate system, which is taken as the
// device. Fills cover the pixels whose centres lie inside a figure, so a rectangle's or
// ellipse's right and bottom edges stay outside it; one-unit lines leave out their last pixel.
// Raster operations other than copying work where the paint engine supports them (the raster
// engine: images and widget backing stores); elsewhere they draw as copies. Text is never
// combined by a raster operation. Text is drawn with the face files the installed face resolver
// names (platform/FaceResolver.h), hinted and advanced in whole pixels without kerning, so that it
// is as wide as the glyphs the model measures and outlines.
//
// Pens, brushes and the font are turned into their Qt forms only when something is drawn with
// them, and a few of each are kept, so that items which select and restore a pen around every
// track pay no allocation per call.
//
// On a raster image, a figure copied with solid pen and brush that is drawn a second time in the
// same device shape (the same whole-unit outline relative to a whole-unit origin, pen and brush)
// is drawn from a stamp: the runs of pixels the painter made for it once, written at the new place.
// Moving a shape by whole pixels moves the painter's pixels with it, so the image is the same; a
// stamp across the clip's edge is cut there as the painter cuts its pixels. A figure near the
// image's edge, or under another raster operation, goes through the painter.

#include "platform/DrawContext.h"

#include <QBrush>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

class QPainter;

namespace platform {

class QPainterDrawContext : public DrawContext
{
public:
    enum Flags : unsigned
    {
        None = 0,
        Printing = 1, // the painter draws on a printer (IsPrinting)
        NoStamps = 2, // every figure goes through the painter (for comparing stamped drawing)
    };

    // The painter is not owned and must stay active while the context lives. Its state is
    // saved here and restored when the context goes. The mapping starts in MM_TEXT with the
    // device's resolution.
    explicit QPainterDrawContext(QPainter* painter, unsigned flags = None);
    ~QPainterDrawContext() override;

    QPainter* Painter() const { return m_painter; }

    // Logical points to device units as the mapping rounds them, held to +-2^27 (what a device
    // context can address, leaving room for widths and margins without overflow). Both axes take
    // one test for the common case: both products well inside the range and neither near a
    // half; the rest goes through the mapping.
    class DeviceMapping
    {
    public:
        void Take(const Mapping& mapping);
        [[gnu::always_inline]] CPoint ToDevice(CPoint p, const Mapping& mapping) const
        {
            constexpr double range = 1 << 26;
#ifdef __SSE2__
            // Both axes at once, with the very operations of the form below: the same doubles.
            const __m128d l = _mm_cvtepi32_pd(_mm_setr_epi32(p.x, p.y, 0, 0));
            const __m128d pxy = _mm_mul_pd(_mm_sub_pd(l, m_win2), m_scale2);
            const __m128d q = _mm_add_pd(pxy, m_to2);
            // Held where a conversion to int is defined; the tests below reject what this changed.
            const __m128d limit = _mm_set1_pd(range * 4);
            const __m128i w =
                _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(q, _mm_sub_pd(_mm_setzero_pd(), limit)), limit));
            const __m128d f = _mm_sub_pd(q, _mm_cvtepi32_pd(w));
            const __m128d h = _mm_sub_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), f), _mm_set1_pd(0.5));
            const __m128d near = _mm_set1_pd(1e-5);
            const __m128d r = _mm_set1_pd(range);
            const __m128d ok = _mm_and_pd(
                _mm_and_pd(_mm_cmplt_pd(pxy, r), _mm_cmpgt_pd(pxy, _mm_sub_pd(_mm_setzero_pd(), r))),
                _mm_or_pd(_mm_cmpgt_pd(h, near), _mm_cmplt_pd(h, _mm_sub_pd(_mm_setzero_pd(), near))));
            if (m_toInRange & (_mm_movemask_pd(ok) == 3)) [[likely]] {
                // Within 2^27 by the range tests: no clamp is needed. Past a half, away from zero.
                const int up = _mm_movemask_pd(_mm_cmpgt_pd(h, _mm_setzero_pd()));
                const int down = _mm_movemask_pd(_mm_cmplt_pd(f, _mm_setzero_pd()));
                const int ax = up & 1, ay = up >> 1;
                const int wx = _mm_cvtsi128_si32(w), wy = _mm_cvtsi128_si32(_mm_srli_si128(w, 4));
                return CPoint(wx + ax - 2 * (ax & down), wy + ay - 2 * (ay & (down >> 1)));
            }
#else
            const double px = (p.x - m_winX) * m_scaleX;
            const double py = (p.y - m_winY) * m_scaleY;
            const double qx = px + m_toX;
            const double qy = py + m_toY;
            // Held where a conversion to int is defined; the tests below reject what this changed.
            const auto wx = static_cast<std::int32_t>(std::clamp(qx, -range * 4, range * 4));
            const auto wy = static_cast<std::int32_t>(std::clamp(qy, -range * 4, range * 4));
            const double fx = qx - wx;
            const double fy = qy - wy;
            const double hx = (fx < 0 ? -fx : fx) - 0.5;
            const double hy = (fy < 0 ? -fy : fy) - 0.5;
            const bool quick = m_toInRange & (px < range) & (px > -range) & (py < range) & (py > -range) &
                               ((hx > 1e-5) | (hx < -1e-5)) & ((hy > 1e-5) | (hy < -1e-5));
            if (quick) [[likely]] {
                // Within 2^27 by the range tests: no clamp is needed.
                const std::int32_t ax = hx > 0 ? 1 : 0;
                const std::int32_t ay = hy > 0 ? 1 : 0;
                return CPoint(wx + ax - 2 * (ax & (fx < 0 ? 1 : 0)), wy + ay - 2 * (ay & (fy < 0 ? 1 : 0)));
            }
#endif
            constexpr std::int32_t limit27 = 1 << 27;
            const CPoint d = mapping.LPtoDP(p);
            return CPoint(std::clamp(d.x, -limit27, limit27), std::clamp(d.y, -limit27, limit27));
        }

        // Whether a rectangle's device box (normalised, right and bottom excluded, at least one
        // unit wide and high) meets the clip, where the unrounded box decides it: each rounded
        // edge lies within half a unit (and the mapping's last places) of the unrounded one, so
        // an edge a unit or more clear of the clip's decides as its rounded form would.
        // 1 or 0 when decided, -1 when the rounded box must be asked.
        int Visible(const CRect& r, const CRect& clip) const
        {
            constexpr double range = 1 << 26;
            const double ax = (r.left - m_winX) * m_scaleX;
            const double bx = (r.right - m_winX) * m_scaleX;
            const double ay = (r.top - m_winY) * m_scaleY;
            const double by = (r.bottom - m_winY) * m_scaleY;
            const bool inRange = m_toInRange & (ax < range) & (ax > -range) & (bx < range) & (bx > -range) &
                                 (ay < range) & (ay > -range) & (by < range) & (by > -range);
            if (!inRange)
                return -1;
            const int x = Axis(std::min(ax, bx) + m_toX, std::max(ax, bx) + m_toX, clip.left, clip.right);
            const int y = Axis(std::min(ay, by) + m_toY, std::max(ay, by) + m_toY, clip.top, clip.bottom);
            if (x == 0 || y == 0)
                return 0;
            return x == 1 && y == 1 ? 1 : -1;
        }

    private:
        // One axis of Visible: lo and hi unrounded, from and to the clip's edges (to excluded).
        static int Axis(double lo, double hi, std::int32_t from, std::int32_t to)
        {
            if (lo > to + 1.0 || hi < from - 2.0)
                return 0;
            if (lo < to - 1.0 && hi > from + 1.0)
                return 1;
            return -1;
        }

        double m_winX = 0, m_winY = 0;
        double m_toX = 0, m_toY = 0;
        double m_scaleX = 1, m_scaleY = 1;
#ifdef __SSE2__
        __m128d m_win2 = _mm_setzero_pd(), m_to2 = _mm_setzero_pd(), m_scale2 = _mm_set1_pd(1);
#endif
        bool m_toInRange = true;
    };

    // Takes the painter's clip again, for callers that change it while the context lives.
    void UpdateClip();

    // --- DrawContext.
    Pen SelectPen(const Pen& pen) override;
    Pen GetPen() const override { return m_pen; }
    Brush SelectBrush(const Brush& brush) override;
    Brush GetBrush() const override { return m_brush; }
    LogFont SelectFont(const LogFont& font) override;
    LogFont GetFont() const override { return m_font; }
    int SetROP2(int rop) override;
    int GetROP2() const override { return m_rop; }
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF GetTextColor() const override { return m_textColor; }
    COLORREF SetBkColor(COLORREF color) override;
    COLORREF GetBkColor() const override { return m_bkColor; }
    int SetBkMode(int mode) override;
    int GetBkMode() const override { return m_bkMode; }
    unsigned SetTextAlign(unsigned align) override;
    unsigned GetTextAlign() const override { return m_textAlign; }
    int SetPolyFillMode(int mode) override;
    int GetPolyFillMode() const override { return m_fillMode; }
    int SetArcDirection(int direction) override;
    int GetArcDirection() const override { return m_arcDirection; }

    using DrawContext::LineTo;
    using DrawContext::MoveTo;
    using DrawContext::PolyBezierTo;
    using DrawContext::Polygon;
    using DrawContext::Polyline;
    CPoint MoveTo(CPoint p) override;
    void LineTo(CPoint p) override;
    CPoint GetCurrentPosition() const override { return m_position; }
    void Polyline(std::span<const CPoint> points) override;
    void Polygon(std::span<const CPoint> points) override;
    void PolyBezierTo(std::span<const CPoint> points) override;
    void Rectangle(const CRect& r) override;
    void Ellipse(const CRect& r) override;
    void Arc(const CRect& box, CPoint start, CPoint end) override;

    void BeginPath() override;
    void EndPath() override;
    void AbortPath() override;
    void CloseFigure() override;
    void StrokePath() override;
    void FillPath() override;
    void StrokeAndFillPath() override;

    void FillRegion(const Region& region, const Brush& brush) override;
    void PaintRegion(const Region& region) override;

    void TextOut(CPoint p, const std::string& text) override;
    CSize GetTextExtent(const std::string& text) const override;
    TextMetrics GetTextMetrics() const override;

    CRect GetClipBox() const override;
    bool RectVisible(const CRect& r) const override;
    bool IsPrinting() const override { return (m_flags & Printing) != 0; }

    int SetMapMode(int mode) override;
    CSize SetWindowExt(CSize ext) override;
    CSize SetViewportExt(CSize ext) override;
    CPoint SetWindowOrg(CPoint org) override;
    CPoint SetViewportOrg(CPoint org) override;

private:
    void BoxFigure(const CRect& r, bool ellipse);
    // LineTo outside a path: the line from the current position to p with the pen.
    [[gnu::noinline]] void DrawLineTo(CPoint p);
    struct PenEntry
    {
        Pen key;
        std::uint32_t generation = 0; // mapping generation the width was taken in; 0 = unused
        QPen pen;
        bool dashed = false; // gaps that an opaque background fills
        int width = 1;       // device units
    };
    struct BrushEntry
    {
        Brush key;
        bool used = false;
        QBrush brush;
    };

    // Inline: every point an item draws comes through here.
    [[gnu::always_inline]] CPoint DevPoint(CPoint p) const { return m_fast.ToDevice(p, m_mapping); }
    [[gnu::always_inline]] QPoint Dev(CPoint p) const
    {
        const CPoint d = DevPoint(p);
        return QPoint(d.x, d.y);
    }
    CRect DevBox(const CRect& r) const; // normalised; right and bottom excluded
    QRectF OutlineBox(const CRect& deviceBox);
    double ScaleX() const;
    double ScaleY() const;

    bool PenVisible() const { return m_pen.Style() != PS_NULL; }
    static bool BrushVisible(const Brush& brush) { return brush.style != BS_NULL; }
    const PenEntry& RealPen();
    const BrushEntry& RealBrush(const Brush& brush);
    // Puts the selected pen (or none) and the given brush (or none) on the painter, with the
    // raster operation and the background mode that go with them.
    // Returns false when nothing is to be drawn (R2_NOP). A null fill leaves the brush as it is
    // when noBrush is false, for lines, which do not fill.
    bool Prepare(bool stroke, const Brush* fill, bool noBrush = true);
    void PrepareOn(QPainter& painter, const Brush& fill);
    void SetPainterRop(int rop);
    void MappingChanged();
    void TakeMapping() { m_fast.Take(m_mapping); }
    void UpdateStampTarget();

    // Draws a closed figure: fills it with the brush and outlines it with the pen. Under a raster
    // operation the figure is made on a layer first, so that no pixel is combined twice where
    // the outline lies over the fill. draw(painter, stroked) draws it on the painter given.
    // bounds() gives the device rectangle the figure lies in, asked for only when it is layered.
    // With keyed, m_key holds the figure's shape relative to bounds()' top left, for stamps.
    template <class BoundsFn, class DrawFn>
    void Figure(const BoundsFn& bounds, bool fill, bool stroke, const Brush& brush, DrawFn&& draw,
                bool keyed = false);
    template <class DrawFn> void Layered(const QRect& bounds, const Brush& brush, DrawFn&& draw);

    void PathFigureStart()
    {
        if (!m_figureOpen) {
            PathAdd(QPainterPath::MoveToElement, Dev(m_position));
            m_figureOpen = true;
        }
    }
    void UsePath(bool fill, bool stroke);
    // keyed: the path is drawn from a stamp where it can.
    void DrawPath(const QPainterPath& path, bool fill, bool stroke, const Brush& brush, bool keyed = false);
    void AddArc(QPainterPath& path, const CRect& box, CPoint start, CPoint end) const;

    // Draws a figure from its stamp when it can (see above); m_key holds the figure's shape
    // relative to bounds' top left. False: the figure is to be drawn through the painter.
    template <class DrawFn>
    bool Stamped(const QRect& bounds, bool fill, bool stroke, const Brush& brush, DrawFn&& draw);
    // Appends a path's elements to m_key relative to origin; false if one is not on whole units.
    bool PathKey(const QPainterPath& path, QPoint origin);

    void RealiseFont() const;
    // The selected font's escapement as an angle counter-clockwise on the device, in degrees.
    double EscapementOnDevice() const;

    DeviceMapping m_fast;

    QPainter* m_painter;
    unsigned m_flags;
    QTransform m_base;
    bool m_ropSupported = false;
    CRect m_clip; // device units; right and bottom excluded

    Pen m_pen = StockPen(BLACK_PEN);
    Brush m_brush = StockBrush(WHITE_BRUSH);
    LogFont m_font;
    int m_rop = R2_COPYPEN;
    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_bkColor = RGB(255, 255, 255);
    int m_bkMode = OPAQUE;
    unsigned m_textAlign = TA_LEFT | TA_TOP;
    int m_fillMode = ALTERNATE;
    int m_arcDirection = AD_COUNTERCLOCKWISE;
    CPoint m_position;

    // Realised objects, and what the painter currently holds (null: not known).
    std::uint32_t m_generation = 1;
    std::array<PenEntry, 8> m_pens;
    std::size_t m_penNext = 0;
    const PenEntry* m_penReal = nullptr;
    std::array<BrushEntry, 8> m_brushes;
    std::size_t m_brushNext = 0;
    const PenEntry* m_painterPen = nullptr;
    bool m_painterNoPen = false;
    const BrushEntry* m_painterBrush = nullptr;
    bool m_painterNoBrush = false;
    int m_painterRop = -1;
    int m_painterOpaque = -1;
    QPen m_textPen;
    mutable bool m_painterFont = false;

    mutable bool m_fontReal = false;
    mutable QFont m_qfont;
    mutable QFontMetricsF m_metrics;
    mutable int m_fontPixels = 0;

    // The path under construction (device units) and scratch storage reused between calls.
    bool m_pathOpen = false;
    bool m_pathEnded = false;
    bool m_figureOpen = false;
    // Steps of the open path kept as whole device units (elements of a QPainterPath, or a close),
    // so that a path drawn from a stamp is never made; m_path takes over (m_pathReal) when a
    // figure that is not made of such steps joins the path, or the painter is to draw it.
    static constexpr int PathCloseOp = 16;
    struct PathOp
    {
        int type;
        QPoint p;
    };
    // Inline for the usual case, a step recorded; a realised path takes it in PathAddReal.
    void PathAdd(int type, QPoint p)
    {
        if (m_pathReal) [[unlikely]]
            PathAddReal(type, p);
        else
            m_record.push_back(PathOp{type, p});
    }
    void PathAddReal(int type, QPoint p);
    void PathClose();
    void RealisePath();
    // Puts the recorded path in m_key relative to the top left of bounds; false when it cannot be.
    bool RecordKey(Qt::FillRule rule, QRect& bounds);
    std::vector<PathOp> m_record;
    bool m_pathReal = false;
    int m_pendingCurve = 0;
    std::array<QPoint, 3> m_curve;
    QPainterPath m_path;
    QPainterPath m_scratch;
    std::vector<QPoint> m_points;
    QImage m_layer;

    // The image stamps are written into (null: none), the offset from device units to its pixels
    // and the pixels that may be written (inside the clip).
    uchar* m_stampBits = nullptr;
    qsizetype m_stampStride = 0;
    QPoint m_stampOffset;
    QRect m_stampClip;  // the clip on the image
    QRect m_stampImage; // the image a pixel inside its edges: what a stamp may cover
    QRect m_stampArea;  // the clip a pixel inside its edges: a stamp written without cutting
    std::vector<std::int32_t> m_key;
};

} // namespace platform
