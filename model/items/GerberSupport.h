#pragma once
// Helpers shared by the items' photo-plot writers: code lines, aperture selection, the end of an
// open stroke, and the aperture usage entry of a turret. Every line goes through the record
// writer's output conversion before it reaches the archive.

#include "model/cam/CamWriter.h"
#include "model/geometry/DPoint.h"
#include "model/items/ItemBase.h"
#include "model/services/Records.h"
#include "platform/Archive.h"
#include "platform/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

class CSur;

namespace gerber {

// Output bytes finished as ConvertOutputCode finishes a line of them. Plain bytes, and bytes
// that only take line breaks, go from the stack to the archive; the rest through a copy.
inline void WriteOutputBytes(CArchive& ar, const tagGERBAR& g, const char* data, std::size_t size)
{
    if (OutputCodeIsPlain(g)) {
        ar.Write(data, size);
        return;
    }
    if (OutputCodeOnlyBreaks(g)) {
        char buffer[96];
        std::size_t used = 0;
        for (std::size_t i = 0; i < size; ++i) {
            if (used + 3 > sizeof buffer) {
                ar.Write(buffer, used);
                used = 0;
            }
            buffer[used++] = data[i];
            if (data[i] == '*') {
                buffer[used++] = '\r';
                buffer[used++] = '\n';
            }
        }
        ar.Write(buffer, used);
        return;
    }
    thread_local std::string line;
    line.assign(data, size);
    ConvertOutputCode(line, g);
    ar.WriteString(line);
}

// A code of the CAM settings followed by the end-of-block character ("%s%c").
inline void WriteCode(CArchive& ar, const tagGERBAR& g, const std::string& code)
{
    if (OutputCodeIsPlain(g) || OutputCodeOnlyBreaks(g)) {
        WriteOutputBytes(ar, g, code.data(), code.size());
        WriteOutputBytes(ar, g, &g.endOfBlock, 1);
        return;
    }
    std::string line = code;
    line += g.endOfBlock;
    ConvertOutputCode(line, g);
    ar.WriteString(line);
}

// A code that shares its block with the next one (the interpolation codes): no end of block.
inline void WritePrefix(CArchive& ar, const tagGERBAR& g, const std::string& code)
{
    WriteOutputBytes(ar, g, code.data(), code.size());
}

// The coordinate block of a board point, with the output's mirror and rotation.
inline void WritePoint(CArchive& ar, tagGERBAR& g, const CDPoint& p)
{
    // Most of a plot file passes through here: the block is built on the stack.
    char block[kGerbarPointBlockSize];
    WriteOutputBytes(ar, g, block, FormatGerbarPointBlock(block, g, p.x, p.y, true));
}

// Closes an open stroke: the move code, and the exposure is no longer pending.
inline void EndStroke(CArchive& ar, tagGERBAR& g)
{
    WriteCode(ar, g, g.moveCode);
    g.pendingExposure = 0;
}

// The aperture select block of a turret ("%s%02d%c" with the turret's D code on the item's own
// board) and the turret becomes the current aperture.
inline void SelectAperture(CArchive& ar, tagGERBAR& g, int turret, const CItemBase& item)
{
    const int dcode = item.GetBoardDCode(turret);
    // "%02d" pads only a single digit.
    std::string line(g.apertureCode.c_str()); // as "%s" prints it: up to a zero byte
    if (dcode >= 0 && dcode < 10)
        line += '0';
    char digits[16];
    line.append(digits, std::to_chars(digits, digits + sizeof digits, dcode).ptr);
    line += g.endOfBlock;
    WriteOutputBytes(ar, g, line.data(), line.size());
    g.currentAperture = turret;
}

// One stroke of a turret's aperture from start to end (a negative turret is turret 0), continued
// from the previous stroke when that ended on one of its ends. The aperture's D code is taken on
// the board of `board`.
void WriteStroke(CArchive& ar, tagGERBAR& g, const CDPoint& start, const CDPoint& end, int turret,
                 const CItemBase& board);

// One flash of a turret's aperture at a point (a negative turret is turret 0); it ends any open
// stroke first. The D code is taken on the board of `board`.
void WriteFlash(CArchive& ar, tagGERBAR& g, const CDPoint& at, int turret, const CItemBase& board);

// An item on no board: strokes written for a text (its segments) take their D codes from the
// program's tables, as lines made on the spot for them would.
const CItemBase& UnboundItem();

// Whether a turret number has an entry in the aperture table.
inline bool InTable(int turret)
{
    return turret >= 0 && turret <= TURRET_MAX;
}

// The usage entry of a turret (a negative turret is turret 0, as it is written), or null for a
// number beyond the table (nothing is counted).
inline tagDCODE* UsageEntry(tagDCODE* table, int turret)
{
    if (turret < 0)
        turret = 0;
    if (!table || !InTable(turret))
        return nullptr;
    return &table[turret];
}

// One stroke of the given length.
inline void CountStroke(tagDCODE* table, int turret, double length)
{
    if (tagDCODE* entry = UsageEntry(table, turret)) {
        ++entry->drawCount;
        entry->drawnLength += length;
    }
}

inline void CountFlash(tagDCODE* table, int turret)
{
    if (tagDCODE* entry = UsageEntry(table, turret))
        ++entry->flashCount;
}

// The usage of a surface whose fill lines are those a fill made now would give (a surface built
// this moment): its outline, its windows' and its fill as it stands.
void CountSurfaceAsMade(tagDCODE* table, CSur& sur);

// Output of an item that its caller has already mirrored and turned (arcs are written as such
// copies): while it lasts, the record writer applies no mirror and no rotation, so nothing the
// item writes, nor anything written on its behalf (segments, arrow strokes, name texts), is
// transformed a second time. The previous point is taken into the copy's frame meanwhile, so that
// a stroke ending where the item starts is continued as in untransformed output, and back into
// board coordinates afterwards.
class PretransformedOutput
{
public:
    explicit PretransformedOutput(tagGERBAR& g)
        : m_g(g), m_mirrorX(g.mirrorX), m_mirrorY(g.mirrorY), m_angle(g.angle), m_prevX(g.prevX),
          m_prevY(g.prevY)
    {
        m_active = m_mirrorX || m_mirrorY || m_angle != 0.0;
        if (!m_active)
            return;
        Forward(g.prevX, g.prevY);
        m_framePrevX = g.prevX;
        m_framePrevY = g.prevY;
        g.mirrorX = 0;
        g.mirrorY = 0;
        g.angle = 0.0;
    }
    ~PretransformedOutput()
    {
        if (!m_active)
            return;
        m_g.mirrorX = m_mirrorX;
        m_g.mirrorY = m_mirrorY;
        m_g.angle = m_angle;
        if (m_g.prevX == m_framePrevX && m_g.prevY == m_framePrevY) {
            m_g.prevX = m_prevX; // nothing was written
            m_g.prevY = m_prevY;
        } else {
            Backward(m_g.prevX, m_g.prevY);
        }
    }
    PretransformedOutput(const PretransformedOutput&) = delete;
    PretransformedOutput& operator=(const PretransformedOutput&) = delete;

private:
    // Board point -> the frame of a copy mirrored about the origin, then turned about it.
    void Forward(double& x, double& y) const
    {
        double dx = x - m_g.originX;
        double dy = y - m_g.originY;
        if (m_mirrorX)
            dx = -dx;
        if (m_mirrorY)
            dy = -dy;
        const double c = std::cos(m_angle);
        const double s = std::sin(m_angle);
        x = m_g.originX + dx * c - dy * s;
        y = m_g.originY + dx * s + dy * c;
    }
    void Backward(double& x, double& y) const
    {
        const double dx = x - m_g.originX;
        const double dy = y - m_g.originY;
        const double c = std::cos(m_angle);
        const double s = std::sin(m_angle);
        double ux = dx * c + dy * s;
        double uy = -dx * s + dy * c;
        if (m_mirrorX)
            ux = -ux;
        if (m_mirrorY)
            uy = -uy;
        x = m_g.originX + ux;
        y = m_g.originY + uy;
    }

    tagGERBAR& m_g;
    std::uint8_t m_mirrorX;
    std::uint8_t m_mirrorY;
    double m_angle;
    double m_prevX, m_prevY;
    double m_framePrevX = 0.0, m_framePrevY = 0.0;
    bool m_active = false;
};

// Whether the output mirrors or turns (then arcs are written as transformed copies).
inline bool OutputTransforms(const tagGERBAR& g)
{
    return g.mirrorX || g.mirrorY || g.angle != 0.0;
}

} // namespace gerber
