// Text drawing: stroke characters with the pen of the text's turret, TrueType texts as text output
// or glyph-outline paths; and the layout that drawing, conversion to lines and photo-plot output
// share (grown frame, overline runs, stroke character origins and strokes).

#include "model/items/GlyphSupport.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "model/startup/Startup.h"
#include "model/text/TrueTypeFont.h"
#include "platform/Cp932.h"
#include "platform/DrawContext.h"
#include "platform/Fixed.h"
#include "platform/J.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// Whether the default Japanese face is needed: a double-byte lead byte, or a half-width katakana
// or punctuation byte, anywhere in the string.
bool NeedsJapaneseFace(const std::string& s)
{
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return platform::IsLeadByte(c) || platform::IsHalfWidthKana(c); });
}

CPoint Dev(const CDPoint& p)
{
    return p.IntPoint();
}

double Ratio(std::int32_t num, std::int32_t den)
{
    return den == 0 ? 1.0 : std::abs(static_cast<double>(num)) / std::abs(static_cast<double>(den));
}

// The font a logical font selected into dc stands for on the device: glyphs and metrics come in
// device pixels, as the device measures them.
CTrueTypeFont DeviceFont(const platform::DrawContext& dc, LOGFONTA lf)
{
    const double pixels =
        std::abs(static_cast<double>(lf.lfHeight)) * Ratio(dc.GetViewportExt().cy, dc.GetWindowExt().cy);
    const auto height = static_cast<std::int32_t>(std::clamp(std::round(pixels), 1.0, 2147483647.0));
    lf.lfHeight = lf.lfHeight > 0 ? height : -height;
    return CTrueTypeFont(lf);
}

// Device pixels to logical units.
double DeviceToLogicalX(const platform::DrawContext& dc)
{
    return Ratio(dc.GetWindowExt().cx, dc.GetViewportExt().cx);
}

double DeviceToLogicalY(const platform::DrawContext& dc)
{
    return Ratio(dc.GetWindowExt().cy, dc.GetViewportExt().cy);
}

// Whether a turn toward increasing logical angles looks counter-clockwise on the device (the
// mapping flips one axis, as a y-up mapping does).
bool LogicalTurnIsDeviceCounterClockwise(const platform::DrawContext& dc)
{
    const CSize w = dc.GetWindowExt();
    const CSize v = dc.GetViewportExt();
    const bool flipX = (w.cx < 0) != (v.cx < 0);
    const bool flipY = (w.cy < 0) != (v.cy < 0);
    return flipX != flipY;
}

// The part of a circle from a to b, turning toward increasing logical angles.
void ArcThrough(platform::DrawContext& dc, const CDPoint& centre, double r, const CDPoint& a,
                const CDPoint& b)
{
    const CRect box = CDRect(centre, r).IntRect();
    const bool ccw = dc.GetArcDirection() == AD_COUNTERCLOCKWISE;
    if (ccw == LogicalTurnIsDeviceCounterClockwise(dc))
        dc.Arc(box, Dev(a), Dev(b));
    else
        dc.Arc(box, Dev(b), Dev(a));
}

// A quadratic piece subdivided at its midpoints depth times, each piece drawn as the two segments
// of its control polygon.
void DrawQuadraticPiece(platform::DrawContext& dc, const CDPoint& a, const CDPoint& b, const CDPoint& c,
                        int depth)
{
    if (depth == 0) {
        dc.LineTo(Dev(b));
        dc.LineTo(Dev(c));
        return;
    }
    const CDPoint ab = a.GetCenter(b);
    const CDPoint bc = b.GetCenter(c);
    const CDPoint m = ab.GetCenter(bc);
    DrawQuadraticPiece(dc, a, ab, m, depth - 1);
    DrawQuadraticPiece(dc, m, bc, c, depth - 1);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Shared layout

void CText::GetGrownFrame(double grow, CDPoint corners[4]) const
{
    for (int i = 0; i < 4; ++i) {
        corners[i] = m_ptArea[i];
        corners[i].Rotate(m_ptPoint, -m_dAngle);
    }
    corners[0].Offset(-grow, -grow);
    corners[1].Offset(grow, -grow);
    corners[2].Offset(grow, grow);
    corners[3].Offset(-grow, grow);
    for (int i = 0; i < 4; ++i)
        corners[i].Rotate(m_ptPoint, m_dAngle);
}

double CText::GetStrokeAdvance(bool doubleByte) const
{
    if (doubleByte)
        return (m_font.lfWidth + m_font.lfWeight) * 0.01;
    return (m_font.lfWeight + m_font.lfWidth / 2) * 0.01;
}

std::vector<double> CText::GetStrokeRunWidths(const std::string& name,
                                              const std::vector<std::uint16_t>& runs) const
{
    std::vector<double> widths;
    platform::Chars chars(name);
    auto it = chars.begin();
    std::size_t end = 0;
    for (const std::uint16_t run : runs) {
        end += run;
        double width = 0.0;
        for (; it != chars.end() && it->pos < end; ++it)
            width += GetStrokeAdvance(it->IsDoubleByte());
        widths.push_back(width);
    }
    return widths;
}

std::vector<CText::Segment> CText::GetOverlines(const std::vector<double>& runWidths, bool mirror) const
{
    std::vector<Segment> segments;
    const CDPoint& pivot = m_ptArea[0];
    CDPoint p = m_ptArea[mirror ? 2 : 3];
    p.Rotate(pivot, -m_dAngle);
    for (std::size_t i = 0; i < runWidths.size(); ++i) {
        const CDPoint start = p;
        p.x += mirror ? -runWidths[i] : runWidths[i];
        if (i % 2 == 1) {
            CDPoint a = start;
            CDPoint b = p;
            a.Rotate(pivot, m_dAngle);
            b.Rotate(pivot, m_dAngle);
            segments.emplace_back(a, b);
        }
    }
    return segments;
}

void CText::ForEachStrokeChar(const std::string& name, bool mirror,
                              const std::function<void(const CDPoint&, const std::string&)>& fn) const
{
    // Characters start half a spacing inside the frame; mirrored texts run from the right.
    const double halfSpace = m_font.lfWeight * 0.005;
    const double direction = mirror ? m_dAngle + kPi : m_dAngle;
    CDPoint origin = mirror ? m_ptArea[1] : m_ptArea[0];
    origin = origin.GetPoint(direction, halfSpace);

    StrokeFontFile& file = GetStrokeFontFile();
    file.ClearLastCode();
    std::string strokes;
    for (const platform::Cp932Char c : platform::Chars(name)) {
        bool found;
        if (file.LastCode() && *file.LastCode() == c.code)
            found = true; // the strokes read last are this character's
        else
            found = file.GetStrokeData(c.code, strokes);
        if (found)
            fn(origin, strokes);
        origin = origin.GetPoint(direction, GetStrokeAdvance(c.IsDoubleByte()));
    }
}

void CText::GetStrokeSegments(const std::string& strokes, bool mirror, const CDPoint& origin,
                              std::vector<Segment>& segments) const
{
    const double w = (mirror ? -m_font.lfWidth : m_font.lfWidth) * 0.01 / 32.0;
    const double h = m_font.lfHeight * 0.01 / 32.0;
    const auto place = [&](int ix, int iy) {
        CDPoint p(ix * w, iy * h);
        p.Rotate(m_dAngle);
        return p + origin;
    };
    int x = 0;
    int y = 0;
    int penX = 0;
    int penY = 0;
    for (const char ch : strokes) {
        const int b = static_cast<unsigned char>(ch);
        if (b == 0)
            break;
        if (b < 64) { // move along x with the pen up
            x = b - 32;
            penX = x;
            penY = y;
        } else if (b < 96) { // draw along x
            x = b - 64;
            segments.emplace_back(place(penX, penY), place(x, y));
            penX = x;
            penY = y;
        } else if (b < 128) { // x for the next y command
            x = b - 96;
        } else if (b < 192) { // move to y with the pen up
            y = b - 160;
            penX = x;
            penY = y;
        } else { // draw to y
            y = b - 192;
            segments.emplace_back(place(penX, penY), place(x, y));
            penX = x;
            penY = y;
        }
    }
}

LOGFONTA CText::MakeTrueTypeFont(int height, int escapement, int weight, int quality) const
{
    LOGFONTA lf;
    if (IsSPFont()) {
        lf = m_font;
        lf.lfHeight = EmHeight(height);
        lf.lfClipPrecision |= CLIP_LH_ANGLES;
        lf.lfEscapement = escapement;
        return lf;
    }
    platform::Profile& profile = platform::GetProfile();
    if (NeedsJapaneseFace(m_strText)) {
        lf.SetFaceName(profile.GetString("Default", "FontJ", _J("ＭＳ ゴシック")));
        lf.lfCharSet = SHIFTJIS_CHARSET;
    } else {
        lf.SetFaceName(profile.GetString("Default", "FontE", "Arial"));
    }
    lf.lfHeight = EmHeight(height);
    lf.lfEscapement = escapement;
    lf.lfWeight = weight;
    lf.lfStrikeOut = IsPrint() ? 0 : 1;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfClipPrecision = CLIP_LH_ANGLES;
    lf.lfQuality = static_cast<std::uint8_t>(quality);
    lf.lfPitchAndFamily = FF_SWISS;
    return lf;
}

CTrueTypeFont CText::GetMeasureFont() const
{
    LOGFONTA lf = MakeTrueTypeFont(m_nSize, 0, FW_NORMAL, DEFAULT_QUALITY);
    if (!IsSPFont())
        lf.lfStrikeOut = 0;
    return CTrueTypeFont(lf);
}

// ---------------------------------------------------------------------------------------------
// Stroke drawing

void CText::DrawStrokeCharSub(platform::DrawContext* dc, int mode, CDPoint from, CDPoint to)
{
    const double h = GetLineWidth() / 2;
    const int shape = GetTurret().shape;
    switch (mode) {
    case 1:
        dc->MoveTo(Dev(from));
        dc->LineTo(Dev(to));
        break;
    case 2:
    case 8: {
        const double a = from.GetAngle(to);
        const CDPoint along(h * std::cos(a), h * std::sin(a));
        const CDPoint side(-along.y, along.x);
        if (shape == TURRET_ROUND) {
            dc->MoveTo(Dev(from + side));
            dc->LineTo(Dev(to + side));
            dc->MoveTo(Dev(to - CDSize(side)));
            dc->LineTo(Dev(from - CDSize(side)));
            ArcThrough(*dc, to, h, to - CDSize(side), to + side);
            ArcThrough(*dc, from, h, from + side, from - CDSize(side));
        } else {
            const CDPoint back = from - CDSize(along);
            const CDPoint ahead = to + along;
            const CPoint pts[5] = {Dev(back + side), Dev(ahead + side), Dev(ahead - CDSize(side)),
                                   Dev(back - CDSize(side)), Dev(back + side)};
            dc->Polyline(pts, 5);
        }
        break;
    }
    case 4: {
        const double scale = CDPoint::GetScale();
        const int width = 2 * static_cast<int>(std::trunc(h * scale));
        const int cap = shape == TURRET_SQUARE ? PS_ENDCAP_SQUARE : PS_ENDCAP_ROUND;
        const platform::Pen pen(PS_GEOMETRIC | PS_INSIDEFRAME | cap, width, dc->GetPen().color);
        const platform::Pen previous = dc->SelectPen(pen);
        dc->BeginPath();
        dc->MoveTo(Dev(from));
        dc->LineTo(Dev(to));
        dc->EndPath();
        dc->StrokePath();
        dc->SelectPen(previous);
        break;
    }
    default:
        break;
    }
}

void CText::DrawStrokeChar(platform::DrawContext* dc, CDPoint origin, int mode, const std::string& strokes)
{
    std::vector<Segment> segments;
    GetStrokeSegments(strokes, (mode & 0x80) != 0, origin, segments);
    for (const Segment& s : segments)
        DrawStrokeCharSub(dc, mode & ~0x80, s.first, s.second);
}

// ---------------------------------------------------------------------------------------------
// TrueType glyph outlines

void CText::FromGGOPoint(CDPoint* out, const tagPOINTFX& point, const GLYPHMETRICS& metrics, bool mirror)
{
    const double x = platform::FixedToDouble(point.x);
    const double y = platform::FixedToDouble(point.y);
    out->x = mirror ? metrics.gmptGlyphOrigin.x - x + metrics.gmBlackBoxX : x - metrics.gmptGlyphOrigin.x;
    out->y = y - metrics.gmptGlyphOrigin.y;
}

double CText::DrawChar(platform::DrawContext* dc, unsigned code, CDPoint corner, bool mirror, double scale,
                       double ascentRatio)
{
    const CTrueTypeFont font = DeviceFont(*dc, dc->GetFont());
    GLYPHMETRICS gm;
    TrueTypeOutline outline;
    if (!font.GetGlyphOutline(code, IdentityMat2(), gm, &outline))
        return gm.gmCellIncX * scale;
    const double advance = gm.gmCellIncX * scale;
    if (outline.contours.empty())
        return advance;

    // The character's baseline lies that far below the frame's top edge.
    const double baseline = m_nSize * 0.01 * ascentRatio;
    const auto unrotated = [&](const POINTFX& p) {
        CDPoint q;
        FromGGOPoint(&q, p, gm, mirror);
        return CDPoint(corner.x + (gm.gmptGlyphOrigin.x + q.x) * scale,
                       corner.y + (gm.gmptGlyphOrigin.y + q.y) * scale - baseline);
    };
    std::function<CDPoint(const POINTFX&)> place = unrotated;

    TrueTypeOutline turned;
    GLYPHMETRICS tm;
    if (m_dAngle != 0.0) {
        // The turned outline, placed so that its first point falls where the first point of the
        // upright outline lands when turned about the character position.
        if (font.GetGlyphOutline(code, RotationMat2(mirror ? -m_dAngle : m_dAngle), tm, &turned) &&
            !turned.contours.empty()) {
            CDPoint first = unrotated(outline.contours.front().pfxStart);
            first.Rotate(corner, m_dAngle);
            CDPoint firstBox;
            FromGGOPoint(&firstBox, turned.contours.front().pfxStart, tm, mirror);
            place = [&, first, firstBox](const POINTFX& p) {
                CDPoint q;
                FromGGOPoint(&q, p, tm, mirror);
                return CDPoint(first.x + (q.x - firstBox.x) * scale, first.y + (q.y - firstBox.y) * scale);
            };
            outline = std::move(turned);
        }
    }

    for (const TrueTypeContour& contour : outline.contours) {
        const CDPoint start = place(contour.pfxStart);
        dc->MoveTo(Dev(start));
        glyph::WalkContour(
            contour, [&](const POINTFX& p) { dc->LineTo(Dev(place(p))); },
            [&](const POINTFX& from, const POINTFX& control, const POINTFX& to) {
                DrawQuadraticPiece(*dc, place(from), place(control), place(to), 2);
            });
        dc->LineTo(Dev(start));
    }
    return advance;
}

// ---------------------------------------------------------------------------------------------
// The text

void CText::DrawTextA(platform::DrawContext* dc, int mode)
{
    if (!dc || !IsDisp() || m_strText.empty() || (!IsPrint() && dc->IsPrinting()))
        return;
    if (!dc->RectVisible(GetBoundingRect().IntRect()))
        return;

    std::vector<std::uint16_t> runs;
    std::string name = GetTrueName(runs);
    const bool mirror = IsMirror() != ((mode & 0x80) != 0);

    // Pens narrower than 4 device units draw hairlines.
    const double penWidth = IsStroke() ? GetLineWidth() : 0.0;
    if (!(mode & 1)) {
        const CSize device = dc->LPtoDP(CDSize(penWidth, penWidth).IntSize());
        if (std::abs(device.cx) < 4)
            mode = 1;
    }

    if (IsFrame()) {
        CDPoint c[4];
        GetGrownFrame(GetFrameDist() + (IsStroke() ? penWidth / 2 : 0.0), c);
        for (int i = 0; i < 4; ++i)
            DrawStrokeCharSub(dc, mode & ~0x80, c[i], c[(i + 1) % 4]);
    }
    if (!IsPrint()) {
        // A line through the middle marks a text that is not printed.
        DrawStrokeCharSub(dc, mode & ~0x80, m_ptArea[0].GetCenter(m_ptArea[3]),
                          m_ptArea[1].GetCenter(m_ptArea[2]));
    }

    if (IsStroke()) {
        for (const Segment& s : GetOverlines(GetStrokeRunWidths(name, runs), mirror)) {
            CLine line(s.first, s.second, m_nTurret, 0);
            line.DrawLine(dc, mode);
        }
        const int charMode = mirror ? (mode | 0x80) : (mode & ~0x80);
        ForEachStrokeChar(name, mirror, [&](const CDPoint& origin, const std::string& strokes) {
            DrawStrokeChar(dc, origin, charMode, strokes);
        });
        return;
    }

    // TrueType: the height in logical units, and the escapement, which turns the other way in a
    // metafile of the fixed English mapping unless the profile says that bug is gone.
    const double scale = CDPoint::GetScale();
    int height = m_nSize;
    int escapement = 0;
    const bool scaled = !mirror && (mode & (1 | 8));
    if (scaled) {
        height =
            static_cast<int>(std::clamp(std::trunc(m_nSize * scale * 0.01), -2147483647.0, 2147483647.0));
        // An angle of a damaged record may be huge or no number: such a text is drawn unturned.
        const double degrees = std::trunc(360.0 - m_dAngle * 180.0 / kPi);
        escapement = std::fabs(degrees) < 1.0e6 ? static_cast<int>(degrees) * 10 : 0;
        if (!dc->IsPrinting() && dc->GetMapMode() == MM_HIENGLISH &&
            platform::GetProfile().GetInt("FileSave", "EMFTextBUG", 0) == 0)
            escapement = 3600 - escapement;
        if (escapement == 3600)
            escapement = 0;
    }
    // Drawing works on a copy: the stored record must not take the zoom of the last drawing.
    const LOGFONTA lf = MakeTrueTypeFont(height, escapement, (mode & 1) ? FW_THIN : FW_NORMAL, PROOF_QUALITY);
    const LOGFONTA previousFont = dc->SelectFont(lf);
    const CTrueTypeFont font = DeviceFont(*dc, lf);
    const double toLogicalX = DeviceToLogicalX(*dc);

    // Overline runs measured in the selected font: logical units per millimetre are the coordinate
    // scale at the scaled height, and a hundred at the size itself.
    const double unitsPerMm = scaled ? scale : 100.0;
    if (!runs.empty() && unitsPerMm > 0.0) {
        std::vector<double> widths;
        std::size_t pos = 0;
        for (const std::uint16_t run : runs) {
            const std::string piece = name.substr(std::min(pos, name.size()), run);
            widths.push_back(font.GetTextExtent(piece).cx * toLogicalX / unitsPerMm);
            pos += run;
        }
        for (const Segment& s : GetOverlines(widths, mirror)) {
            dc->MoveTo(Dev(s.first));
            dc->LineTo(Dev(s.second));
        }
    }

    if (mirror) {
        std::string reversed;
        for (const platform::Cp932Char c : platform::Chars(name))
            reversed.insert(0, name, c.pos, c.width);
        name = reversed;
    }

    if (mirror || (mode & (2 | 4))) {
        const CSize vp = dc->GetViewportExt();
        const double s = vp.cy == 0 ? 0.0 : static_cast<double>(dc->GetWindowExt().cy) / -vp.cy * 0.01;
        const TEXTMETRICA& tm = font.GetTextMetrics();
        const int cell = tm.tmAscent + tm.tmDescent;
        const double ascentRatio = cell > 0 ? static_cast<double>(tm.tmAscent) / cell : 0.0;
        const platform::Brush previousBrush = dc->SelectBrush(platform::Brush::Solid(dc->GetPen().color));
        dc->BeginPath();
        CDPoint at = m_ptArea[3];
        for (const platform::Cp932Char c : platform::Chars(name))
            at = at.GetPoint(m_dAngle, DrawChar(dc, c.code, at, mirror, s, ascentRatio));
        dc->EndPath();
        if (mode & 2)
            dc->StrokePath();
        else if (mirror)
            dc->StrokeAndFillPath();
        else
            dc->FillPath();
        dc->SelectBrush(previousBrush);
    } else {
        // Text output on the baseline: corner 0 raised by the descent of the upright font.
        LOGFONTA upright = lf;
        upright.lfEscapement = 0;
        upright.lfOrientation = 0;
        const double descent = DeviceFont(*dc, upright).GetTextMetrics().tmDescent * DeviceToLogicalY(*dc);
        const CDPoint start = m_ptArea[0].GetPoint(m_dAngle + kPi / 2, scale > 0.0 ? descent / scale : 0.0);
        const unsigned previousAlign = dc->SetTextAlign(TA_BASELINE);
        dc->TextOut(Dev(start), name);
        dc->SetTextAlign(previousAlign);
    }
    dc->SelectFont(previousFont);
}
