// Texts in photo-plot output and in the aperture usage: stroke texts as strokes of their turret's
// aperture, TrueType texts as glyph surfaces hatched with turret 1's aperture. The layout is the
// drawing's (frame, overlines, character cells and advances).

#include "model/items/GerberSupport.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/text/TrueTypeFont.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <cstdint>
#include <memory>
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

using GlyphSurfaces = std::vector<std::unique_ptr<CSur>>;

// One surface per character that has an outline, laid out upright from corner 3 of the frame
// turned back about corner 0 (the text's bounds must be current). Each surface makes its fill as
// it is built, for the outline it keeps: the fill that storing it in a work sheet would make
// again.
void MakeGlyphSurfaces(CText& text, const CTrueTypeFont& font, const std::string& name, GlyphSurfaces& glyphs,
                       CDPoint upright[4])
{
    const double angle = text.GetAngle();
    for (int i = 0; i < 4; ++i) {
        upright[i] = text.GetCorner(i);
        upright[i].Rotate(text.GetCorner(0), -angle);
    }
    const TEXTMETRICA& tm = font.GetTextMetrics();
    const int cell = tm.tmAscent + tm.tmDescent;
    const double ascentRatio = cell > 0 ? static_cast<double>(tm.tmAscent) / cell : 0.0;
    // Each glyph's edges become its surface's outline, last edge first, as a surface made from the
    // glyph's lines taken in reverse; the surface is stored as made, not copied. One list of
    // edges serves a thread's glyphs, so that it grows only while the largest glyph is new.
    thread_local std::vector<CLine> edges;
    CItemBaseList outline, none;
    CDPoint at = upright[3];
    for (const platform::Cp932Char c : platform::Chars(name)) {
        edges.clear();
        at.x += text.ForEachGlyphEdge(font, c.code, at, 0.01, ascentRatio,
                                      [&](const CDPoint& a, const CDPoint& b) {
                                          edges.emplace_back(a, b, kGlyphTurret, 0);
                                          edges.back().SetID(text.GetID());
                                      });
        if (edges.empty())
            continue;
        outline.RemoveAll();
        for (auto edge = edges.rbegin(); edge != edges.rend(); ++edge)
            outline.AddTail(&*edge);
        glyphs.push_back(std::make_unique<CSur>(outline, none, none, none));
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

    const auto writeLine = [&](const CDPoint& a, const CDPoint& b) {
        gerber::WriteStroke(ar, g, a, b, m_nTurret, gerber::UnboundItem());
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
    GlyphSurfaces glyphs;
    CDPoint upright[4];
    MakeGlyphSurfaces(*this, font, name, glyphs, upright);
    // Turned into place as a work sheet of them would be: fill lines with the outline.
    if (mirror) {
        const CDPoint shift(upright[2].x - upright[3].x, 0.0);
        for (const auto& sur : glyphs) {
            sur->MirrorX(upright[3].x, true);
            if (shift.x != 0.0)
                sur->Offset(shift);
        }
    }
    for (const auto& sur : glyphs) {
        sur->Rotate(m_ptArea[0], m_dAngle, true);
        sur->DataWriteGerbar(ar, g);
    }
}

void CText::MakeStrokeChar(CArchive& ar, tagGERBAR& g, bool mirror, CDPoint origin,
                           const std::string& strokes)
{
    // One list of segments for the characters of a thread.
    thread_local std::vector<Segment> segments;
    segments.clear();
    GetStrokeSegments(strokes, mirror, origin, segments);
    for (const Segment& s : segments)
        gerber::WriteStroke(ar, g, s.first, s.second, m_nTurret, gerber::UnboundItem());
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

    const CTrueTypeFont font = GetMeasureFont();
    GlyphSurfaces glyphs;
    CDPoint upright[4];
    MakeGlyphSurfaces(*this, font, name, glyphs, upright);
    // Each glyph surface made its fill as it was built, just as the surface's own count would
    // make it again.
    for (const auto& sur : glyphs)
        gerber::CountSurfaceAsMade(table, *sur);
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
