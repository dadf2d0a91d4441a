#include "platform/RecordingDrawContext.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform {

namespace {

std::string Num(std::int64_t v)
{
    return std::to_string(v);
}

std::string Hex(std::int64_t v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(v));
    return buf;
}

std::string Color(std::int64_t v)
{
    const auto c = static_cast<COLORREF>(v);
    return "RGB(" + Num(GetRValue(c)) + "," + Num(GetGValue(c)) + "," + Num(GetBValue(c)) + ")";
}

std::string Points(const std::vector<std::int64_t>& a, std::size_t from, std::size_t count)
{
    std::string s;
    for (std::size_t i = 0; i < count && from + 2 * i + 1 < a.size(); ++i) {
        if (i)
            s += ' ';
        s += "(" + Num(a[from + 2 * i]) + "," + Num(a[from + 2 * i + 1]) + ")";
    }
    return s;
}

std::string Polygons(const std::vector<std::int64_t>& a, std::size_t from)
{
    std::string s;
    std::size_t i = from;
    while (i < a.size()) {
        const auto n = static_cast<std::size_t>(a[i]);
        if (!s.empty())
            s += ' ';
        s += "[" + Points(a, i + 1, n) + "]";
        i += 1 + 2 * n;
    }
    return s;
}

CRect Normal(const CRect& r)
{
    return CRect(std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                 std::max(r.top, r.bottom));
}

} // namespace

const char* RecordingDrawContext::KindName(Kind kind)
{
    switch (kind) {
    case Kind::SelectPen:
        return "SelectPen";
    case Kind::SelectBrush:
        return "SelectBrush";
    case Kind::SelectFont:
        return "SelectFont";
    case Kind::SetROP2:
        return "SetROP2";
    case Kind::SetTextColor:
        return "SetTextColor";
    case Kind::SetBkColor:
        return "SetBkColor";
    case Kind::SetBkMode:
        return "SetBkMode";
    case Kind::SetTextAlign:
        return "SetTextAlign";
    case Kind::SetPolyFillMode:
        return "SetPolyFillMode";
    case Kind::SetArcDirection:
        return "SetArcDirection";
    case Kind::MoveTo:
        return "MoveTo";
    case Kind::LineTo:
        return "LineTo";
    case Kind::Polyline:
        return "Polyline";
    case Kind::Polygon:
        return "Polygon";
    case Kind::PolyBezierTo:
        return "PolyBezierTo";
    case Kind::Rectangle:
        return "Rectangle";
    case Kind::Ellipse:
        return "Ellipse";
    case Kind::Arc:
        return "Arc";
    case Kind::BeginPath:
        return "BeginPath";
    case Kind::EndPath:
        return "EndPath";
    case Kind::AbortPath:
        return "AbortPath";
    case Kind::CloseFigure:
        return "CloseFigure";
    case Kind::StrokePath:
        return "StrokePath";
    case Kind::FillPath:
        return "FillPath";
    case Kind::StrokeAndFillPath:
        return "StrokeAndFillPath";
    case Kind::FillRegion:
        return "FillRegion";
    case Kind::PaintRegion:
        return "PaintRegion";
    case Kind::TextOut:
        return "TextOut";
    case Kind::SetMapMode:
        return "SetMapMode";
    case Kind::SetWindowExt:
        return "SetWindowExt";
    case Kind::SetViewportExt:
        return "SetViewportExt";
    case Kind::SetWindowOrg:
        return "SetWindowOrg";
    case Kind::SetViewportOrg:
        return "SetViewportOrg";
    }
    return "?";
}

std::string RecordingDrawContext::Call::ToString() const
{
    const auto& a = args;
    const auto arg = [&](std::size_t i) -> std::int64_t { return i < a.size() ? a[i] : 0; };
    std::string body;
    switch (kind) {
    case Kind::SelectPen:
        body = "style=" + Hex(arg(0)) + ", width=" + Num(arg(1)) + ", " + Color(arg(2));
        break;
    case Kind::SelectBrush:
        body = "style=" + Num(arg(0)) + ", " + Color(arg(1));
        break;
    case Kind::SelectFont:
        body = "\"" + text + "\", height=" + Num(arg(0)) + ", width=" + Num(arg(1)) +
               ", escapement=" + Num(arg(2)) + ", orientation=" + Num(arg(3)) + ", weight=" + Num(arg(4)) +
               ", italic=" + Num(arg(5)) + ", underline=" + Num(arg(6)) + ", strikeout=" + Num(arg(7)) +
               ", charset=" + Num(arg(8)) + ", out=" + Num(arg(9)) + ", clip=" + Hex(arg(10)) +
               ", quality=" + Num(arg(11)) + ", pitch=" + Hex(arg(12));
        break;
    case Kind::SetTextColor:
    case Kind::SetBkColor:
        body = Color(arg(0));
        break;
    case Kind::Polyline:
    case Kind::Polygon:
    case Kind::PolyBezierTo:
        body = Points(a, 0, a.size() / 2);
        break;
    case Kind::Arc:
        body =
            Num(arg(0)) + "," + Num(arg(1)) + "," + Num(arg(2)) + "," + Num(arg(3)) + "; " + Points(a, 4, 2);
        break;
    case Kind::FillRegion:
        body = "style=" + Num(arg(0)) + ", " + Color(arg(1)) + "; " + Polygons(a, 2);
        break;
    case Kind::PaintRegion:
        body = Polygons(a, 0);
        break;
    case Kind::TextOut:
        body = Num(arg(0)) + "," + Num(arg(1)) + ", \"" + text + "\"";
        break;
    default:
        for (std::size_t i = 0; i < a.size(); ++i)
            body += (i ? "," : "") + Num(a[i]);
        break;
    }
    return std::string(KindName(kind)) + "(" + body + ")";
}

RecordingDrawContext::RecordingDrawContext(bool printing) : m_printing(printing) {}

void RecordingDrawContext::Record(Kind kind, std::vector<std::int64_t> args, std::string text)
{
    m_calls.push_back(Call{kind, std::move(args), std::move(text)});
}

void RecordingDrawContext::AddPoints(std::vector<std::int64_t>& args, std::span<const CPoint> points)
{
    for (const CPoint& p : points) {
        args.push_back(p.x);
        args.push_back(p.y);
    }
}

void RecordingDrawContext::AddRegion(std::vector<std::int64_t>& args, const Region& region)
{
    for (const auto& poly : region.polygons) {
        args.push_back(static_cast<std::int64_t>(poly.size()));
        AddPoints(args, poly);
    }
}

std::vector<RecordingDrawContext::Call> RecordingDrawContext::CallsOf(Kind kind) const
{
    std::vector<Call> out;
    for (const Call& c : m_calls) {
        if (c.kind == kind)
            out.push_back(c);
    }
    return out;
}

std::size_t RecordingDrawContext::Count(Kind kind) const
{
    return static_cast<std::size_t>(
        std::count_if(m_calls.begin(), m_calls.end(), [kind](const Call& c) { return c.kind == kind; }));
}

std::string RecordingDrawContext::Dump() const
{
    std::string s;
    for (const Call& c : m_calls)
        s += c.ToString() + "\n";
    return s;
}

void RecordingDrawContext::SetClipBox(const CRect& logical)
{
    m_clip = Normal(logical);
}

Pen RecordingDrawContext::SelectPen(const Pen& pen)
{
    Record(Kind::SelectPen, {pen.style, pen.width, pen.color});
    return std::exchange(m_pen, pen);
}

Brush RecordingDrawContext::SelectBrush(const Brush& brush)
{
    Record(Kind::SelectBrush, {brush.style, brush.color});
    return std::exchange(m_brush, brush);
}

LogFont RecordingDrawContext::SelectFont(const LogFont& f)
{
    Record(Kind::SelectFont,
           {f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight, f.lfItalic, f.lfUnderline,
            f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision, f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily},
           f.FaceName());
    return std::exchange(m_font, f);
}

int RecordingDrawContext::SetROP2(int rop)
{
    Record(Kind::SetROP2, {rop});
    return std::exchange(m_rop, rop);
}

COLORREF RecordingDrawContext::SetTextColor(COLORREF color)
{
    Record(Kind::SetTextColor, {color});
    return std::exchange(m_textColor, color);
}

COLORREF RecordingDrawContext::SetBkColor(COLORREF color)
{
    Record(Kind::SetBkColor, {color});
    return std::exchange(m_bkColor, color);
}

int RecordingDrawContext::SetBkMode(int mode)
{
    Record(Kind::SetBkMode, {mode});
    return std::exchange(m_bkMode, mode);
}

unsigned RecordingDrawContext::SetTextAlign(unsigned align)
{
    Record(Kind::SetTextAlign, {align});
    return std::exchange(m_textAlign, align);
}

int RecordingDrawContext::SetPolyFillMode(int mode)
{
    Record(Kind::SetPolyFillMode, {mode});
    return std::exchange(m_fillMode, mode);
}

int RecordingDrawContext::SetArcDirection(int direction)
{
    Record(Kind::SetArcDirection, {direction});
    return std::exchange(m_arcDirection, direction);
}

CPoint RecordingDrawContext::MoveTo(CPoint p)
{
    Record(Kind::MoveTo, {p.x, p.y});
    return std::exchange(m_position, p);
}

void RecordingDrawContext::LineTo(CPoint p)
{
    Record(Kind::LineTo, {p.x, p.y});
    m_position = p;
}

void RecordingDrawContext::Polyline(std::span<const CPoint> points)
{
    std::vector<std::int64_t> args;
    AddPoints(args, points);
    Record(Kind::Polyline, std::move(args));
}

void RecordingDrawContext::Polygon(std::span<const CPoint> points)
{
    std::vector<std::int64_t> args;
    AddPoints(args, points);
    Record(Kind::Polygon, std::move(args));
}

void RecordingDrawContext::PolyBezierTo(std::span<const CPoint> points)
{
    std::vector<std::int64_t> args;
    AddPoints(args, points);
    Record(Kind::PolyBezierTo, std::move(args));
    if (points.size() >= 3)
        m_position = points[points.size() / 3 * 3 - 1];
}

void RecordingDrawContext::Rectangle(const CRect& r)
{
    Record(Kind::Rectangle, {r.left, r.top, r.right, r.bottom});
}

void RecordingDrawContext::Ellipse(const CRect& r)
{
    Record(Kind::Ellipse, {r.left, r.top, r.right, r.bottom});
}

void RecordingDrawContext::Arc(const CRect& box, CPoint start, CPoint end)
{
    Record(Kind::Arc, {box.left, box.top, box.right, box.bottom, start.x, start.y, end.x, end.y});
}

void RecordingDrawContext::BeginPath()
{
    Record(Kind::BeginPath);
    m_pathOpen = true;
    m_pathClosed = false;
}

void RecordingDrawContext::EndPath()
{
    Record(Kind::EndPath);
    if (m_pathOpen) {
        m_pathOpen = false;
        m_pathClosed = true;
    }
}

void RecordingDrawContext::AbortPath()
{
    Record(Kind::AbortPath);
    m_pathOpen = m_pathClosed = false;
}

void RecordingDrawContext::CloseFigure()
{
    Record(Kind::CloseFigure);
}

void RecordingDrawContext::UsePath()
{
    m_pathOpen = m_pathClosed = false;
}

void RecordingDrawContext::StrokePath()
{
    Record(Kind::StrokePath);
    UsePath();
}

void RecordingDrawContext::FillPath()
{
    Record(Kind::FillPath);
    UsePath();
}

void RecordingDrawContext::StrokeAndFillPath()
{
    Record(Kind::StrokeAndFillPath);
    UsePath();
}

void RecordingDrawContext::FillRegion(const Region& region, const Brush& brush)
{
    std::vector<std::int64_t> args{brush.style, brush.color};
    AddRegion(args, region);
    Record(Kind::FillRegion, std::move(args));
}

void RecordingDrawContext::PaintRegion(const Region& region)
{
    std::vector<std::int64_t> args;
    AddRegion(args, region);
    Record(Kind::PaintRegion, std::move(args));
}

void RecordingDrawContext::TextOut(CPoint p, const std::string& text)
{
    Record(Kind::TextOut, {p.x, p.y}, text);
}

TextMetrics RecordingDrawContext::GetTextMetrics() const
{
    const std::int32_t h = m_font.lfHeight == 0 ? 16 : std::abs(m_font.lfHeight);
    const std::int32_t w = m_font.lfWidth == 0 ? h / 2 : std::abs(m_font.lfWidth);
    TextMetrics tm;
    tm.tmHeight = h;
    tm.tmDescent = h / 5;
    tm.tmAscent = h - tm.tmDescent;
    tm.tmAveCharWidth = w;
    tm.tmMaxCharWidth = 2 * w;
    return tm;
}

CSize RecordingDrawContext::GetTextExtent(const std::string& text) const
{
    const TextMetrics tm = GetTextMetrics();
    return CSize(static_cast<std::int32_t>(text.size()) * tm.tmAveCharWidth, tm.tmHeight);
}

CRect RecordingDrawContext::GetClipBox() const
{
    if (m_clip)
        return *m_clip;
    constexpr std::int32_t big = 1 << 30;
    return CRect(-big, -big, big, big);
}

bool RecordingDrawContext::RectVisible(const CRect& r) const
{
    if (!m_clip)
        return true;
    // A rectangle covers its left and top edges but not its right and bottom ones; a rectangle
    // of no width or height is taken as one unit wide so that a bare line can still be seen.
    const CRect a = Normal(r);
    const CRect& c = *m_clip;
    const std::int64_t ar = std::max<std::int64_t>(a.right, std::int64_t(a.left) + 1);
    const std::int64_t ab = std::max<std::int64_t>(a.bottom, std::int64_t(a.top) + 1);
    return a.left < c.right && c.left < ar && a.top < c.bottom && c.top < ab;
}

int RecordingDrawContext::SetMapMode(int mode)
{
    Record(Kind::SetMapMode, {mode});
    return DrawContext::SetMapMode(mode);
}

CSize RecordingDrawContext::SetWindowExt(CSize ext)
{
    Record(Kind::SetWindowExt, {ext.cx, ext.cy});
    return DrawContext::SetWindowExt(ext);
}

CSize RecordingDrawContext::SetViewportExt(CSize ext)
{
    Record(Kind::SetViewportExt, {ext.cx, ext.cy});
    return DrawContext::SetViewportExt(ext);
}

CPoint RecordingDrawContext::SetWindowOrg(CPoint org)
{
    Record(Kind::SetWindowOrg, {org.x, org.y});
    return DrawContext::SetWindowOrg(org);
}

CPoint RecordingDrawContext::SetViewportOrg(CPoint org)
{
    Record(Kind::SetViewportOrg, {org.x, org.y});
    return DrawContext::SetViewportOrg(org);
}

} // namespace platform
