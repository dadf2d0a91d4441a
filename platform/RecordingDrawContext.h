#pragma once
// A drawing context that draws nothing and records every call that changes state or draws,
// with its arguments, so tests can assert on what an item drew and that it put back the pen,
// brush and modes it changed. Queries (GetPen, RectVisible, ...) are not recorded.
//
// Text is measured with made-up metrics so that results are stable: a font of height h
// (|lfHeight|, 16 when 0) has descent h / 5, ascent h - descent, and every byte is as wide as
// lfWidth (h / 2 when 0), so a double-byte character is twice as wide as a single-byte one.

#include "platform/DrawContext.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class RecordingDrawContext : public DrawContext
{
public:
    enum class Kind
    {
        SelectPen,       // style, width, color
        SelectBrush,     // style, color
        SelectFont,      // the LogFont numbers in order; text = face name
        SetROP2,         // rop
        SetTextColor,    // color
        SetBkColor,      // color
        SetBkMode,       // mode
        SetTextAlign,    // align
        SetPolyFillMode, // mode
        SetArcDirection, // direction
        MoveTo,          // x, y
        LineTo,          // x, y
        Polyline,        // x, y pairs
        Polygon,         // x, y pairs
        PolyBezierTo,    // x, y pairs
        Rectangle,       // left, top, right, bottom
        Ellipse,         // left, top, right, bottom
        Arc,             // left, top, right, bottom, start x, y, end x, y
        BeginPath,
        EndPath,
        AbortPath,
        CloseFigure,
        StrokePath,
        FillPath,
        StrokeAndFillPath,
        FillRegion,  // brush style, color, then per polygon: count and x, y pairs
        PaintRegion, // per polygon: count and x, y pairs
        TextOut,     // x, y; text = the CP932 text
        SetMapMode,  // mode
        SetWindowExt,
        SetViewportExt,
        SetWindowOrg,
        SetViewportOrg,
    };

    struct Call
    {
        Kind kind;
        std::vector<std::int64_t> args;
        std::string text;
        std::string ToString() const;
        bool operator==(const Call&) const = default;
    };

    // A screen context unless printing is set; everything is visible until a clip box is set.
    explicit RecordingDrawContext(bool printing = false);

    // --- Test set-up.
    void SetPrinting(bool printing) { m_printing = printing; }
    // Limits what counts as visible to a rectangle in logical units (either orientation).
    void SetClipBox(const CRect& logical);
    void ClearClipBox() { m_clip.reset(); }
    // Changes the device resolution (96 dots per inch unless set), which the fixed map modes use.
    void SetResolution(int dpiX, int dpiY) { m_mapping.SetResolution(dpiX, dpiY); }

    // --- What was recorded.
    const std::vector<Call>& Calls() const { return m_calls; }
    std::vector<Call> CallsOf(Kind kind) const;
    std::size_t Count(Kind kind) const;
    void ClearCalls() { m_calls.clear(); }
    // One call per line, as Call::ToString gives it.
    std::string Dump() const;
    // Whether a path has been begun and not yet used up or abandoned.
    bool InPath() const { return m_pathOpen || m_pathClosed; }

    static const char* KindName(Kind kind);

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
    bool IsPrinting() const override { return m_printing; }

    int SetMapMode(int mode) override;
    CSize SetWindowExt(CSize ext) override;
    CSize SetViewportExt(CSize ext) override;
    CPoint SetWindowOrg(CPoint org) override;
    CPoint SetViewportOrg(CPoint org) override;

private:
    void Record(Kind kind, std::vector<std::int64_t> args = {}, std::string text = {});
    static void AddPoints(std::vector<std::int64_t>& args, std::span<const CPoint> points);
    static void AddRegion(std::vector<std::int64_t>& args, const Region& region);
    void UsePath();

    std::vector<Call> m_calls;
    bool m_printing;
    std::optional<CRect> m_clip;

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
    bool m_pathOpen = false;   // between BeginPath and EndPath
    bool m_pathClosed = false; // ended, not yet stroked or filled
};

} // namespace platform
