// Texts in photo-plot output and in the aperture usage: stroke texts as strokes of their turret's
// aperture, TrueType texts as glyph surfaces hatched with turret 1's aperture. The layout is the
// drawing's (frame, overlines, character cells and advances).

#include "model/items/GerberSupport.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/SurScan.h"
#include "model/items/Text.h"
#include "model/text/TrueTypeFont.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// The turret whose aperture hatches TrueType glyphs.
constexpr int kGlyphTurret = 1;

// Widths of the overline runs of a TrueType text, measured in the font it is converted with.
std::vector<double> TrueTypeRunWidths(const CTrueTypeFont& font, const std::string& name,
                                      const std::vector<std::uint16_t>& runs)
{
    std::vector<double> widths;
    std::size_t pos = 0;
    for (const std::uint16_t run : runs) {
        widths.push_back(font.GetTextExtent(name.substr(std::min(pos, name.size()), run)).cx * 0.01);
        pos += run;
    }
    return widths;
}

// The frame corners turned back upright about corner 0 (the text's bounds must be current), and
// the share of the font's cell above the baseline.
double UprightFrame(CText& text, const CTrueTypeFont& font, CDPoint upright[4])
{
    const double angle = text.GetAngle();
    for (int i = 0; i < 4; ++i) {
        upright[i] = text.GetCorner(i);
        upright[i].Rotate(text.GetCorner(0), -angle);
    }
    const TEXTMETRICA& tm = font.GetTextMetrics();
    const int cell = tm.tmAscent + tm.tmDescent;
    return cell > 0 ? static_cast<double>(tm.tmAscent) / cell : 0.0;
}

// A surface of one glyph's edges: its outline is the edges, last edge first, as a surface made
// from the glyph's lines taken in reverse. It makes its fill as it is built.
std::unique_ptr<CSur> GlyphSurface(const CText& text, const std::vector<CText::Segment>& edges)
{
    // One list of lines serves a thread's glyphs, so that it grows only while the largest glyph
    // is new.
    thread_local std::vector<CLine> lines;
    lines.clear();
    for (const CText::Segment& edge : edges) {
        lines.emplace_back(edge.first, edge.second, kGlyphTurret, 0);
        lines.back().SetID(text.GetID());
    }
    CItemBaseList outline, none;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        outline.AddTail(&*line);
    auto sur = std::make_unique<CSur>(outline, none, none, none);
    lines.clear();
    return sur;
}

// Up to this many edges a glyph is plotted from plain segments; a glyph of more goes through a
// surface item, whose snapping of many ends is indexed.
constexpr std::size_t kPlainGlyphEdges = 96;

// The lines of one glyph's surface as plain segments: its outline and its fill lines, each made
// as the surface item makes them, without the items.
class GlyphLines
{
public:
    // The glyph turret's line width and the half width its lines are measured with (a probe line
    // of the turret, as the glyph's own lines would be).
    GlyphLines()
    {
        const CLine probe(CDPoint(0.0, 0.0), CDPoint(0.0, 0.0), kGlyphTurret, 0);
        m_width = probe.GetLineWidth();
        m_halfWidth = CLine(probe).GetBoundingRect().right; // a point line reaches its half width
    }

    // The outline from the glyph's edges (last edge first) with its ends snapped together, and
    // the hatch fill of that outline.
    void Make(const std::vector<CText::Segment>& edges)
    {
        outline.assign(edges.rbegin(), edges.rend());
        SnapEnds();
        Fill();
    }

    std::vector<CText::Segment> outline;
    std::vector<CText::Segment> fill;

private:
    // Later lines adapt to earlier ones: an end within 0.01 of one of an earlier line's (current)
    // ends takes that end, the start tried first. (Tried all, as a surface of few lines does: for
    // a glyph's few edges that is quicker than an index of their ends.)
    //
    // An end only ever takes the value of another end, so every end keeps one of the outline's
    // first values. An end whose value has no different value near it is never moved, and
    // snapping to it moves nothing (an end already at a value is left as it is); an end that
    // takes a value takes one that has a different value near it. So only the lines with such
    // an end can change, and only the ends of such a value can move them: the rest is skipped.
    void SnapEnds()
    {
        const std::size_t count = outline.size();
        FindLooseEnds();
        m_loose.clear();
        for (std::size_t b = 0; b < count; ++b)
            if (m_endLoose[2 * b] || m_endLoose[2 * b + 1])
                m_loose.push_back(b);
        if (m_loose.empty())
            return;
        for (std::size_t a = 0; a < count; ++a) {
            if (!m_endLoose[2 * a] && !m_endLoose[2 * a + 1])
                continue;
            const CDPoint s = outline[a].first;
            const CDPoint e = outline[a].second;
            for (const std::size_t b : m_loose) {
                if (b <= a)
                    continue;
                Snap(outline[b], s);
                Snap(outline[b], e);
            }
        }
    }

    // Marks each end (start 2i, end 2i + 1 of line i) whose first value has a different value
    // near it among the ends.
    void FindLooseEnds()
    {
        const std::size_t ends = 2 * outline.size();
        m_endLoose.assign(ends, 0);
        const auto at = [this](std::size_t k) -> const CDPoint& {
            return k % 2 == 0 ? outline[k / 2].first : outline[k / 2].second;
        };
        m_order.resize(ends);
        for (std::size_t k = 0; k < ends; ++k) {
            m_order[k] = {at(k).x, k};
            if (!std::isfinite(at(k).x) || !std::isfinite(at(k).y)) {
                m_endLoose.assign(ends, 1); // no order to search by: every end may move
                return;
            }
        }
        std::sort(m_order.begin(), m_order.end(),
                  [](const EndByX& a, const EndByX& b) { return a.x < b.x; });
        // Near ends lie within 0.01 on x; the window is wider by a margin for rounding.
        constexpr double kWindow = 0.0101;
        for (std::size_t i = 0; i < ends; ++i) {
            const CDPoint& p = at(m_order[i].end);
            for (std::size_t j = i + 1; j < ends && m_order[j].x - m_order[i].x <= kWindow; ++j) {
                const CDPoint& q = at(m_order[j].end);
                if (!SameBits(p, q) && Near(p, q)) {
                    m_endLoose[m_order[i].end] = 1;
                    m_endLoose[m_order[j].end] = 1;
                }
            }
        }
    }

    // Equal to the bit (a zero's sign counts), as an assignment would leave it.
    static bool SameBits(const CDPoint& a, const CDPoint& b)
    {
        return std::bit_cast<std::uint64_t>(a.x) == std::bit_cast<std::uint64_t>(b.x) &&
               std::bit_cast<std::uint64_t>(a.y) == std::bit_cast<std::uint64_t>(b.y);
    }

    static bool Near(const CDPoint& a, const CDPoint& b)
    {
        const double dx = a.x - b.x;
        const double dy = a.y - b.y;
        return dx * dx + dy * dy <= 0.0001;
    }

    static void Snap(CText::Segment& line, const CDPoint& p)
    {
        if (Near(line.first, p))
            line.first = p;
        else if (Near(line.second, p))
            line.second = p;
    }

    // The hatch of an upright surface: over the union of the outline lines' bounds, at the
    // turret's pitch. A fill beyond the limits is left out, as the surface leaves it out.
    void Fill()
    {
        fill.clear();
        m_table.Clear();
        CDRect rect;
        for (const CText::Segment& line : outline) {
            CDRect bounds(line.first, line.second);
            bounds.NormalizeRect();
            bounds.InflateRect(m_halfWidth);
            rect |= bounds;
            m_table.AddSegment(line.first, line.second);
        }
        m_table.Prepare();
        const surscan::ScanCount count = surscan::ScanFill(
            m_table, rect, CSur::FillPitch(m_width), false, m_xs,
            [&](const CDPoint& a, const CDPoint& b, long long) { fill.emplace_back(a, b); });
        CSur::FillWork& work = CSur::FillWorkDone();
        work.scanLines += count.scanLines;
        work.fillLines += count.fillLines;
        if (count.tooLarge)
            fill.clear();
    }

    double m_width = 0.0;
    double m_halfWidth = 0.0;
    surscan::ScanTable m_table;
    std::vector<double> m_xs;
    struct EndByX
    {
        double x;
        std::size_t end;
    };
    std::vector<EndByX> m_order;
    std::vector<unsigned char> m_endLoose;
    std::vector<std::size_t> m_loose;
};

// The glyphs of a text's characters in turn, laid out upright from corner 3 of the frame turned
// back about corner 0: lines(glyph) with the outline and fill of each (as GlyphLines), or
// surface(sur) with the surface item of a glyph of many edges.
template <class Lines, class Surface>
void ForEachGlyph(const CText& text, const CTrueTypeFont& font, const std::string& name,
                  const CDPoint& corner3, double ascentRatio, Lines lines, Surface surface)
{
    thread_local std::vector<CText::Segment> edges;
    GlyphLines glyph;
    CDPoint at = corner3;
    for (const platform::Cp932Char c : platform::Chars(name)) {
        edges.clear();
        at.x += text.ForEachGlyphEdge(font, c.code, at, 0.01, ascentRatio,
                                      [&](const CDPoint& a, const CDPoint& b) { edges.emplace_back(a, b); });
        if (edges.empty())
            continue;
        if (edges.size() > kPlainGlyphEdges) {
            surface(*GlyphSurface(text, edges));
            continue;
        }
        glyph.Make(edges);
        lines(glyph);
    }
    edges.clear();
}

// The name a text puts on the plot with its overline runs (its bounds brought up to date), or
// nothing for a hidden or unprintable text.
std::string PlottedName(CText& text, std::vector<std::uint16_t>& runs)
{
    if (!text.IsDisp() || !text.IsPrint())
        return std::string();
    text.GetBoundingRect();
    return text.GetTrueName(runs);
}

} // namespace

void CText::DataWriteGerbar(CArchive& ar, tagGERBAR& g, bool mirror)
{
    std::vector<std::uint16_t> runs;
    const std::string name = PlottedName(*this, runs);
    if (name.empty())
        return;
    if (IsMirror())
        mirror = !mirror;

    // The strokes take their D codes from the program's tables (looked up once per text).
    const CItemBase& unbound = gerber::UnboundItem();
    const auto writeLine = [&](const CDPoint& a, const CDPoint& b) {
        gerber::WriteStroke(ar, g, a, b, m_nTurret, unbound);
    };

    if (IsFrame()) {
        CDPoint c[4];
        GetGrownFrame(GetLineWidth() / 2 + GetFrameDist(), c);
        for (int i = 0; i < 4; ++i)
            writeLine(c[i], c[(i + 1) % 4]);
    }

    if (IsStroke()) {
        for (const Segment& s : GetOverlines(GetStrokeRunWidths(name, runs), mirror))
            writeLine(s.first, s.second);
        ForEachStrokeChar(name, mirror, [&](const CDPoint& origin, const std::string& strokes) {
            MakeStrokeChar(ar, g, mirror, origin, strokes);
        });
        return;
    }

    const CTrueTypeFont font = GetMeasureFont();
    for (const Segment& s : GetOverlines(TrueTypeRunWidths(font, name, runs), mirror))
        writeLine(s.first, s.second);
    // Each glyph is turned into place as a work sheet of its surface would be (fill lines with the
    // outline) and written: its outline, then its fill.
    CDPoint upright[4];
    const double ascentRatio = UprightFrame(*this, font, upright);
    const CDPoint shift(upright[2].x - upright[3].x, 0.0);
    const CDPoint centre = m_ptArea[0];
    const double angle = m_dAngle;
    // A line that turns as the glyph's lines turn (ends within a hair of an axis put on it).
    std::optional<CLine> turner;
    if (angle != 0.0)
        turner.emplace();
    const auto place = [&](CText::Segment& line) {
        if (mirror) {
            line.first.x = 2.0 * upright[3].x - line.first.x;
            line.second.x = 2.0 * upright[3].x - line.second.x;
            if (shift.x != 0.0) {
                line.first += shift;
                line.second += shift;
            }
        }
        if (turner) {
            const CDPoint ends[2] = {line.first, line.second};
            turner->SetPoint(ends);
            turner->Rotate(centre, angle);
            line.first = turner->GetStartPoint();
            line.second = turner->GetEndPoint();
        }
    };
    const auto writeGlyphLine = [&](CText::Segment& line) {
        place(line);
        gerber::WriteStroke(ar, g, line.first, line.second, kGlyphTurret, unbound);
    };
    ForEachGlyph(
        *this, font, name, upright[3], ascentRatio,
        [&](GlyphLines& glyph) {
            for (Segment& line : glyph.outline)
                writeGlyphLine(line);
            for (Segment& line : glyph.fill)
                writeGlyphLine(line);
        },
        [&](CSur& sur) {
            if (mirror) {
                sur.MirrorX(upright[3].x, true);
                if (shift.x != 0.0)
                    sur.Offset(shift);
            }
            sur.Rotate(centre, angle, true);
            sur.DataWriteGerbar(ar, g);
        });
}

void CText::MakeStrokeChar(CArchive& ar, tagGERBAR& g, bool mirror, CDPoint origin,
                           const std::string& strokes)
{
    // One list of segments for the characters of a thread.
    thread_local std::vector<Segment> segments;
    segments.clear();
    GetStrokeSegments(strokes, mirror, origin, segments);
    const CItemBase& unbound = gerber::UnboundItem();
    for (const Segment& s : segments)
        gerber::WriteStroke(ar, g, s.first, s.second, m_nTurret, unbound);
}

void CText::CheckTurret(tagDCODE* table)
{
    std::vector<std::uint16_t> runs;
    const std::string name = PlottedName(*this, runs);
    if (name.empty())
        return;

    if (IsFrame()) {
        if (tagDCODE* entry = gerber::UsageEntry(table, m_nTurret))
            entry->drawCount += 4;
    }

    if (IsStroke()) {
        ForEachStrokeChar(
            name, false, [&](const CDPoint&, const std::string& strokes) { CheckTurretSub(table, strokes); });
        return;
    }

    // Each glyph's outline and fill as its surface makes them when it is built, just as the
    // surface's own count would make the fill again; lengths do not depend on the placing.
    const CTrueTypeFont font = GetMeasureFont();
    CDPoint upright[4];
    const double ascentRatio = UprightFrame(*this, font, upright);
    const auto count = [&](const std::vector<Segment>& lines) {
        for (const Segment& line : lines)
            gerber::CountStroke(table, kGlyphTurret,
                                std::hypot(line.first.x - line.second.x, line.first.y - line.second.y));
    };
    ForEachGlyph(
        *this, font, name, upright[3], ascentRatio,
        [&](const GlyphLines& glyph) {
            count(glyph.outline);
            count(glyph.fill);
        },
        [&](CSur& sur) { gerber::CountSurfaceAsMade(table, sur); });
}

void CText::CheckTurretSub(tagDCODE* table, const std::string& strokes)
{
    // The usage count measures a cell of the full advance: x steps of (width + spacing) / 32.
    // Lengths do not depend on the angle or the mirroring, so the strokes are taken upright.
    CText cell;
    LOGFONTA font = m_font;
    font.lfWidth = m_font.lfWidth + m_font.lfWeight;
    cell.SetFontRecord(font);
    std::vector<Segment> segments;
    cell.GetStrokeSegments(strokes, false, CDPoint(0.0, 0.0), segments);
    for (const Segment& s : segments)
        gerber::CountStroke(table, m_nTurret, s.first.GetLength(s.second));
}
