// Text extent, frame, bounds, hit tests, overline markers and transforms.

#include "model/geometry/Geometry.h"
#include "model/items/Text.h"
#include "model/text/TrueTypeFont.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr unsigned kDegreeSign = 0x818B; // the double-byte degree sign

// Overline pieces: the string split at the '~' characters (a '~' that is the trail byte of a
// double-byte character is part of that character, not a marker).
std::vector<std::string> SplitAtTildes(const std::string& s)
{
    return platform::Split(s, '~');
}

bool HasTilde(const std::string& s)
{
    return platform::FindByte(s, '~') != std::string::npos;
}

// Moves the origin code's frame point onto the position: the shift of the unaligned corners.
CDPoint OriginShift(int origin, double w, double h)
{
    switch (origin) {
    case TEXT_ORG_TOP_LEFT:
        return CDPoint(0.0, -h);
    case TEXT_ORG_TOP_RIGHT:
        return CDPoint(-w, -h);
    case TEXT_ORG_TOP_CENTER:
        return CDPoint(-w / 2, -h);
    case TEXT_ORG_BOTTOM_LEFT:
        return CDPoint(0.0, 0.0);
    case TEXT_ORG_BOTTOM_RIGHT:
        return CDPoint(-w, 0.0);
    case TEXT_ORG_BOTTOM_CENTER:
        return CDPoint(-w / 2, 0.0);
    case TEXT_ORG_MIDDLE_LEFT:
        return CDPoint(0.0, -h / 2);
    case TEXT_ORG_MIDDLE_RIGHT:
        return CDPoint(-w, -h / 2);
    case TEXT_ORG_CENTER:
        return CDPoint(-w / 2, -h / 2);
    default:
        return CDPoint(0.0, 0.0);
    }
}

// The box of two corners, normalised.
CDRect BoxOf(const CDPoint& a, const CDPoint& b)
{
    return CDRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

} // namespace

// --- Overline markers ---

std::string CText::GetTrueName(std::vector<std::uint16_t>& runs) const
{
    if (!HasTilde(m_strText))
        return m_strText;
    const std::vector<std::string> pieces = SplitAtTildes(m_strText);
    const std::size_t tildes = pieces.size() - 1;
    std::string out;
    for (const std::string& piece : pieces)
        out += piece;
    // The run before the first tilde and every run between two tildes; an unmatched tilde lets the
    // last overline run to the end.
    for (std::size_t i = 0; i < tildes; ++i)
        runs.push_back(static_cast<std::uint16_t>(pieces[i].size()));
    if (tildes % 2 != 0)
        runs.push_back(static_cast<std::uint16_t>(pieces.back().size()));
    return out;
}

std::string CText::SetRevBlock() const
{
    if (!HasTilde(m_strText))
        return m_strText;
    std::string s = m_strText;
    std::size_t tildes = SplitAtTildes(s).size() - 1;
    if (tildes % 2 != 0) {
        s += '~';
        ++tildes;
    }
    std::size_t counter = s[0] == '~' ? tildes + 1 : 0;
    std::string out;
    for (const std::string& piece : SplitAtTildes(s)) {
        if (piece.empty())
            continue;
        if (counter % 2 == 0)
            out += '~' + piece + '~';
        else
            out += piece;
        ++counter;
    }
    return out;
}

// --- Measuring ---

CDSize CText::GetRect() const
{
    std::vector<std::uint16_t> runs;
    std::string name = GetTrueName(runs);
    if (name.empty())
        return CDSize(0.0, 0.0);
    // A trailing degree sign is as wide as a single-byte character.
    const std::size_t last = platform::LastCharPos(name);
    if (platform::CharAt(name, last).code == kDegreeSign)
        name.replace(last, 2, ".");
    return IsStroke() ? MeasureStroke(name) : MeasureTrueType(name);
}

CDSize CText::MeasureStroke(const std::string& name) const
{
    int singles = 0;
    int doubles = 0;
    for (const platform::Cp932Char c : platform::Chars(name)) {
        if (c.IsDoubleByte())
            ++doubles;
        else
            ++singles;
    }
    // The spacing follows every character, the last included.
    // In double: a long string of a wide font would overflow int.
    const double cells = static_cast<double>(singles) + 2.0 * doubles;
    const double chars = static_cast<double>(singles) + doubles;
    const double width = cells * m_font.lfWidth * 0.005 + chars * m_font.lfWeight * 0.01;
    return CDSize(width, m_font.lfHeight * 0.01);
}

CDSize CText::MeasureTrueType(const std::string& name) const
{
    // Measured as on a screen context: one logical unit per pixel, the font's em height = size, so
    // one unit stands for a hundredth of a millimetre.
    LOGFONTA lf;
    if (IsSPFont()) {
        lf = m_font;
        lf.lfHeight = EmHeight(m_nSize);
        lf.lfStrikeOut = IsPrint() ? 0 : 1;
        lf.lfOrientation = 0;
    } else {
        lf = MakeTrueTypeFont(m_nSize, 0, FW_NORMAL, DEFAULT_QUALITY);
    }
    const CTrueTypeFont font(lf);
    long long sum = 0;
    std::int32_t lastAdvance = 0;
    for (const platform::Cp932Char c : platform::Chars(name)) {
        lastAdvance = font.GetCharAdvance(c.code);
        sum += lastAdvance;
    }
    if (IsSPFont() && m_font.lfItalic)
        sum += lastAdvance / 2;
    return CDSize(static_cast<double>(sum) * 0.01, m_nSize * 0.01);
}

// --- Frame and bounds ---

void CText::CalcBoundingRect()
{
    if (!IsDisp() || m_strText.empty()) {
        SetBoundingRect(CDRect(0.0, 0.0, 0.0, 0.0));
        for (CDPoint& p : m_ptArea)
            p = m_ptPoint;
        return;
    }
    if (IsSPFont() && !IsStroke()) {
        // The own font is kept at the text's size and printability, as it is measured and drawn.
        m_font.lfHeight = EmHeight(m_nSize);
        m_font.lfStrikeOut = IsPrint() ? 0 : 1;
    }
    const CDSize size = GetRect();
    const double w = size.cx;
    const double h = size.cy;
    const CDPoint shift = OriginShift(GetOrign(), w, h);
    const double x = m_ptPoint.x + shift.x;
    const double y = m_ptPoint.y + shift.y;
    // Corners 0 (left, bottom), 1 (right, bottom), 2 (right, top), 3 (left, top); y grows upward.
    CDPoint corners[4] = {CDPoint(x, y), CDPoint(x + w, y), CDPoint(x + w, y + h), CDPoint(x, y + h)};

    CDRect bounds;
    if (m_nType & (TEXT_FRAME | TEXT_STROKE)) {
        double grow;
        if (!IsStroke())
            grow = GetFrameDist();
        else if (IsFrame())
            grow = GetFrameDist() + GetLineWidth();
        else
            grow = GetLineWidth() / 2;
        CDPoint grown[4] = {CDPoint(x - grow, y - grow), CDPoint(x + w + grow, y - grow),
                            CDPoint(x + w + grow, y + h + grow), CDPoint(x - grow, y + h + grow)};
        for (CDPoint& p : grown)
            p.Rotate(m_ptPoint, m_dAngle);
        bounds.ResetRect(grown);
    }
    for (CDPoint& p : corners)
        p.Rotate(m_ptPoint, m_dAngle);
    if (!(m_nType & (TEXT_FRAME | TEXT_STROKE)))
        bounds.ResetRect(corners);
    SetAreaRect(corners);
    SetBoundingRect(bounds);
}

// --- Hit tests ---

int CText::CheckPoint(const CDPoint& p)
{
    if (!IsDisp())
        return 0;
    if (!GetBoundingRect().PtInRect(p))
        return 0;
    CDPoint q = p;
    CDPoint c0 = m_ptArea[0];
    CDPoint c2 = m_ptArea[2];
    if (m_dAngle != 0.0) {
        q.Rotate(m_ptPoint, -m_dAngle);
        c0.Rotate(m_ptPoint, -m_dAngle);
        c2.Rotate(m_ptPoint, -m_dAngle);
    }
    return c0.x <= q.x && q.x <= c2.x && c0.y <= q.y && q.y <= c2.y;
}

int CText::CheckPoint(const CDRect& r)
{
    if (!IsDisp())
        return 0;
    const CDRect bounds = GetBoundingRect();
    if (!r.IntersectRect(&bounds))
        return 0;
    if (m_dAngle == 0.0)
        return 1;
    CDRect turned = r;
    turned.Rotate(m_ptPoint, -m_dAngle);
    CDPoint c0 = m_ptArea[0];
    CDPoint c2 = m_ptArea[2];
    c0.Rotate(m_ptPoint, -m_dAngle);
    c2.Rotate(m_ptPoint, -m_dAngle);
    const CDRect frame = BoxOf(c0, c2);
    return turned.IntersectRect(&frame) ? 1 : 0;
}

int CText::CheckItemPoint(CDPoint& p, double dist)
{
    if (!IsDisp())
        return 0;
    if (!GetBoundingRect().PtInRect(p))
        return 0;
    const CDPoint* c = m_ptArea;
    // Corners first, then the centre, then the edge midpoints: the first within reach wins.
    const CDPoint candidates[9] = {c[0],
                                   c[1],
                                   c[2],
                                   c[3],
                                   c[2].GetCenter(c[0]),
                                   c[0].GetCenter(c[1]),
                                   c[1].GetCenter(c[2]),
                                   c[2].GetCenter(c[3]),
                                   c[3].GetCenter(c[0])};
    for (const CDPoint& candidate : candidates) {
        if (candidate.NearCheckPoint(p, dist)) {
            p = candidate;
            return 1;
        }
    }
    return 0;
}

int CText::SetTextSel(const CDRect& r)
{
    if (!IsDisp() || m_strText.empty())
        return 0;
    const CDRect bounds = GetBoundingRect();
    if (!bounds.IntersectRect(&r))
        return 0;
    // A selection mark only: the geometry does not change.
    m_nType |= TEXT_SELECTED;
    return 1;
}

void CText::ResetTextSel()
{
    m_nType &= ~TEXT_SELECTED;
}

// --- Transforms ---

void CText::Offset(const CDPoint& d)
{
    m_ptPoint += d;
    if (IsDisp()) {
        // Pending bounds are measured anew at the moved position; only current ones move along.
        if (!m_bDirty)
            CItemBase::Offset(d);
        if (m_pParent && m_pParent->GetKind() != KIND_SHEET)
            m_pParent->ResetBounding();
    }
}

void CText::OffsetAttr(const CDPoint& d)
{
    if (IsTextSel())
        Offset(d);
}

void CText::MirrorX(double x, bool flip)
{
    m_ptPoint.x = 2.0 * x - m_ptPoint.x;
    if (flip) {
        // Left and right exchange; the centre codes stay.
        const int origin = GetOrign();
        const int horizontal = origin & 6;
        int mirrored = horizontal;
        if (horizontal == 0)
            mirrored = 2;
        else if (horizontal == 2)
            mirrored = 0;
        m_nType = (m_nType & ~TEXT_ORIGIN_MASK) | ((origin & ~6) | mirrored);
        m_dAngle = 2.0 * std::numbers::pi - m_dAngle;
    }
    MarkDirty();
}

void CText::MirrorY(double y, bool flip)
{
    m_ptPoint.y = 2.0 * y - m_ptPoint.y;
    if (flip) {
        // Top and bottom exchange; the middle codes stay.
        const int origin = GetOrign();
        const int vertical = origin & 24;
        int mirrored = vertical;
        if (vertical == 0)
            mirrored = 8;
        else if (vertical == 8)
            mirrored = 0;
        m_nType = (m_nType & ~TEXT_ORIGIN_MASK) | ((origin & ~24) | mirrored);
        m_dAngle = 2.0 * std::numbers::pi - m_dAngle;
    }
    MarkDirty();
}

void CText::MirrorXText(double x)
{
    if (IsTextSel())
        MirrorX(x, true);
}

void CText::MirrorYText(double y)
{
    if (IsTextSel())
        MirrorY(y, true);
}

void CText::Rotate(const CDPoint& center, double angle)
{
    double a = m_dAngle + angle;
    NormalizeAngle(a);
    m_dAngle = a;
    m_ptPoint.Rotate(center, angle);
    if (IsSPFont())
        m_font.lfEscapement = TruncScaled(m_dAngle * 180.0 / std::numbers::pi, 10.0);
    MarkDirty();
}
