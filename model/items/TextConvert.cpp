// Texts converted into line items: stroke texts into strokes of their turret, TrueType texts into
// hairline glyph outlines (closed polygons that a surface can be made from).

#include "model/items/GlyphSupport.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "model/text/TrueTypeFont.h"
#include "platform/Cp932.h"
#include "platform/Fixed.h"

#include <cstdint>

namespace {

// A 16.16 outline point as a double pair in glyph units.
CDPoint FxToPoint(const POINTFX& p)
{
    return CDPoint(platform::FixedToDouble(p.x), platform::FixedToDouble(p.y));
}

// The two polygon points of one quadratic piece: the curve at three quarters (midpoint subdivision
// two levels deep) and the piece's end.
void AddQuadraticPiece(std::vector<CDPoint>& polygon, const CDPoint& a, const CDPoint& b, const CDPoint& c)
{
    const CDPoint half = a.GetCenter(b).GetCenter(b.GetCenter(c));
    const CDPoint bc = b.GetCenter(c);
    const CDPoint threeQuarters = half.GetCenter(bc).GetCenter(bc.GetCenter(c));
    polygon.push_back(threeQuarters);
    polygon.push_back(c);
}

} // namespace

void CText::MakeLineData(CSheet& sheet, bool mirror, CDPoint origin, const std::string& strokes)
{
    std::vector<Segment> segments;
    GetStrokeSegments(strokes, mirror, origin, segments);
    for (const Segment& s : segments) {
        CLine line(s.first, s.second, m_nTurret, 0);
        line.SetID(m_nID);
        sheet.NewLine(line);
    }
}

double CText::MakeSurChar(CSheet* sheet, const CTrueTypeFont& font, unsigned code, CDPoint corner,
                          double scale, double ascentRatio, int turret)
{
    if (!sheet)
        return ForEachGlyphEdge(font, code, corner, scale, ascentRatio, nullptr);
    return ForEachGlyphEdge(font, code, corner, scale, ascentRatio, [&](const CDPoint& a, const CDPoint& b) {
        CLine line(a, b, turret, 0);
        line.SetID(m_nID);
        sheet->NewLine(line);
    });
}

double CText::ForEachGlyphEdge(const CTrueTypeFont& font, unsigned code, CDPoint corner, double scale,
                               double ascentRatio,
                               const std::function<void(const CDPoint&, const CDPoint&)>& edge) const
{
    GLYPHMETRICS gm;
    TrueTypeOutline outline;
    const bool ok = font.GetGlyphOutline(code, IdentityMat2(), gm, &outline);
    const double advance = gm.gmCellIncX * scale;
    if (!ok || !edge)
        return advance;

    // The glyph origin lies on the baseline, that far below the frame's top edge.
    const double baseline = m_nSize * 0.01 * ascentRatio;
    const auto place = [&](const CDPoint& g) {
        return CDPoint(corner.x + g.x * scale, corner.y + g.y * scale - baseline);
    };

    // Contours are kept whole however many points they have.
    std::vector<CDPoint> polygon;
    for (const TrueTypeContour& contour : outline.contours) {
        polygon.clear();
        polygon.push_back(FxToPoint(contour.pfxStart));
        glyph::WalkContour(
            contour, [&](const POINTFX& p) { polygon.push_back(FxToPoint(p)); },
            [&](const POINTFX& from, const POINTFX& control, const POINTFX& to) {
                AddQuadraticPiece(polygon, FxToPoint(from), FxToPoint(control), FxToPoint(to));
            });
        polygon.push_back(polygon.front()); // closed back to the start
        for (std::size_t i = 0; i + 1 < polygon.size(); ++i) {
            // A point repeated in the outline (a contour that already ends at its start) makes
            // no edge.
            if (polygon[i].x == polygon[i + 1].x && polygon[i].y == polygon[i + 1].y)
                continue;
            edge(place(polygon[i]), place(polygon[i + 1]));
        }
    }
    return advance;
}

int CText::ConvertLine(CSheet& sheet)
{
    if (!IsDisp() || m_strText.empty())
        return 0;
    GetBoundingRect();
    const bool mirror = IsMirror() != (sheet.GetLayer().mirror != 0);
    const auto addLine = [&](const CDPoint& a, const CDPoint& b) {
        CLine line(a, b, m_nTurret, 0);
        line.SetID(m_nID);
        sheet.NewLine(line);
    };

    if (IsFrame()) {
        CDPoint c[4];
        GetGrownFrame(GetLineWidth() / 2 + GetFrameDist(), c);
        for (int i = 0; i < 4; ++i)
            addLine(c[i], c[(i + 1) % 4]);
    }

    std::vector<std::uint16_t> runs;
    const std::string name = GetTrueName(runs);

    if (IsStroke()) {
        for (const Segment& s : GetOverlines(GetStrokeRunWidths(name, runs), mirror))
            addLine(s.first, s.second);
        ForEachStrokeChar(name, mirror, [&](const CDPoint& origin, const std::string& strokes) {
            MakeLineData(sheet, mirror, origin, strokes);
        });
        return 1;
    }

    // TrueType: glyph units of the measuring font are hundredths of a millimetre.
    const CTrueTypeFont font = GetMeasureFont();
    std::vector<double> widths;
    std::size_t pos = 0;
    for (const std::uint16_t run : runs) {
        widths.push_back(font.GetTextExtent(name.substr(std::min(pos, name.size()), run)).cx * 0.01);
        pos += run;
    }
    for (const Segment& s : GetOverlines(widths, mirror))
        addLine(s.first, s.second);

    const TEXTMETRICA& tm = font.GetTextMetrics();
    const int cell = tm.tmAscent + tm.tmDescent;
    const double ascentRatio = cell > 0 ? static_cast<double>(tm.tmAscent) / cell : 0.0;
    // The glyphs are laid out upright along the frame turned back about corner 0.
    CDPoint upright[4];
    for (int i = 0; i < 4; ++i) {
        upright[i] = m_ptArea[i];
        upright[i].Rotate(m_ptArea[0], -m_dAngle);
    }
    CSheet work(SHEET_WORK);
    CDPoint at = upright[3];
    for (const platform::Cp932Char c : platform::Chars(name)) {
        CSheet glyph(SHEET_WORK);
        at.x += MakeSurChar(&glyph, font, c.code, at, 0.01, ascentRatio, 0);
        work += glyph;
    }
    if (mirror) {
        work.MirrorX(upright[3].x);
        work.OffsetItem(CDPoint(upright[2].x - upright[3].x, 0.0), 1);
    }
    work.Rotate(m_ptArea[0], m_dAngle);
    sheet += work;
    return 1;
}
