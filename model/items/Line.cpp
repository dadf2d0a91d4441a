#include "model/items/Line.h"

#include "model/geometry/Geometry.h"
#include "model/items/RecordSupport.h"
#include "model/items/StrokeSupport.h"
#include "model/services/ItemDialogs.h"
#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/Fixed.h"
#include "platform/J.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Origin code of a name text: bottom centre.
constexpr int kNameOrigin = 14;
// Keypad key 2: bottom centre.
constexpr int kKeyBottomCentre = 98;

} // namespace

// ---------------------------------------------------------------------------------------------
// Number texts

std::string TrimNumberString(const std::string& text)
{
    std::string s = text;
    // Exponent forms ("1.5E-07", "1.2345678E+09") are printed again in fixed point.
    const std::size_t e = s.find_first_of("Ee");
    if (e != std::string::npos && e > 0 && e + 1 < s.size() &&
        (s[e + 1] == '-' || s[e + 1] == '+' || std::isdigit(static_cast<unsigned char>(s[e + 1]))))
        s = platform::Format("%.8f", platform::Atof(s));
    return platform::TrimNumberText(s);
}

// ---------------------------------------------------------------------------------------------
// Construction, copy and comparison

CLine::CLine() : CItemBase(KIND_LINE, false)
{
    SetTurretNo(0, false);
}

CLine::CLine(const CDPoint& start, const CDPoint& end, int turret, int type)
    : CItemBase(KIND_LINE, false), m_ptStart(start), m_ptEnd(end)
{
    m_nType = type & ~0x7F000;
    SetTurretNo(turret, false);
}

CLine::CLine(const char* line) : CItemBase(KIND_LINE, false)
{
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    int turret = 0, type = 0, startArrow = 0, endArrow = 0, dimension = 0, layer = -1;
    long id = 0;
    // Fields that the line lacks keep these values.
    platform::Scan(line ? line : "", "%*s %lf %lf %lf %lf %d %d %d %d %d %d %ld", &x1, &y1, &x2, &y2, &turret,
                   &type, &startArrow, &endArrow, &dimension, &layer, &id);
    m_ptStart = CDPoint(x1, y1);
    m_ptEnd = CDPoint(x2, y2);
    m_nType = type & ~LINE_NAMED;
    m_nStartArrow = startArrow;
    m_nEndArrow = endArrow;
    m_nDimension = (type & LINE_TYPE_MASK) ? dimension : 0;
    m_nLayer = layer;
    m_nID = static_cast<std::uint32_t>(id);
    MarkDirty();
    SetTurretNo(turret, false);
}

CLine::CLine(const CLine& other) : CItemBase(KIND_LINE, false)
{
    *this = other;
}

CLine::~CLine() = default;

CLine& CLine::operator=(const CLine& other)
{
    if (this == &other)
        return *this;
    CItemBase::operator=(other);
    m_ptStart = other.m_ptStart;
    m_ptEnd = other.m_ptEnd;
    m_bStartCheck = other.m_bStartCheck;
    m_bEndCheck = other.m_bEndCheck;
    m_nStartArrow = other.m_nStartArrow;
    m_nEndArrow = other.m_nEndArrow;
    m_nDimension = other.m_nDimension;
    m_nFxRatio = other.m_nFxRatio;
    // Without a name the other's text means nothing; this line's own stays (and is ignored, as
    // the copied type word has no name bit).
    if (other.m_nType & LINE_NAMED) {
        m_Name.Assign(other.m_Name.Peek(), this);
    }
    return *this;
}

bool CLine::operator==(const CLine& other) const
{
    return m_ptStart == other.m_ptStart && m_ptEnd == other.m_ptEnd && m_nType == other.m_nType &&
           m_nTurret == other.m_nTurret && m_nStartArrow == other.m_nStartArrow &&
           m_nEndArrow == other.m_nEndArrow && m_nDimension == other.m_nDimension;
}

bool CLine::operator<(CLine& other)
{
    const CDPoint c = GetCenterPoint();
    const CDPoint oc = other.GetCenterPoint();
    const double key = GetAngle() + c.x - c.y;
    const double otherKey = other.GetAngle() + oc.x - oc.y;
    return key < otherKey;
}

// ---------------------------------------------------------------------------------------------
// Ends and measures

void CLine::SetStartPoint(const CDPoint& p)
{
    m_ptStart = p;
    MarkDirty();
}

void CLine::SetEndPoint(const CDPoint& p)
{
    m_ptEnd = p;
    MarkDirty();
}

void CLine::SetPoint(const CDPoint* points)
{
    m_ptStart = points[0];
    m_ptEnd = points[1];
    MarkDirty();
}

CDPoint CLine::GetCenterPoint() const
{
    return CDPoint((m_ptStart.x + m_ptEnd.x) * 0.5, (m_ptStart.y + m_ptEnd.y) * 0.5);
}

double CLine::GetLength() const
{
    return std::hypot(m_ptStart.x - m_ptEnd.x, m_ptStart.y - m_ptEnd.y);
}

double CLine::GetGerbarLength() const
{
    double length = GetLength();
    if (m_nStartArrow > 0)
        length += m_nStartArrow * 0.02;
    if (m_nEndArrow > 0)
        length += m_nEndArrow * 0.02;
    return length;
}

bool CLine::IsHVLine(int vertical) const
{
    if (vertical == 0)
        return m_ptStart.y == m_ptEnd.y && m_ptStart.x != m_ptEnd.x;
    return m_ptStart.x == m_ptEnd.x && m_ptStart.y != m_ptEnd.y;
}

void CLine::Swap()
{
    std::swap(m_ptStart, m_ptEnd);
    std::swap(m_bStartCheck, m_bEndCheck);
    std::swap(m_nStartArrow, m_nEndArrow);
    MarkDirty();
}

void CLine::NormalizeX()
{
    if (m_ptStart.x > m_ptEnd.x)
        Swap();
    else if (m_ptStart.y > m_ptEnd.y)
        Swap();
}

// ---------------------------------------------------------------------------------------------
// Name and dimension text

void CLine::SetName(const char* record)
{
    const char* text = record ? record : "";
    if (*text)
        Name().SetName(text);
    if (*text)
        m_nType |= LINE_NAMED;
    else
        m_nType &= ~(LINE_NAMED | LINE_AUTO_SIZE | LINE_AUTO_ANGLE);
    MarkDirty();
}

void CLine::SetName(const std::string& text, int size, bool visible)
{
    if (text.empty())
        return;
    const double angle = GetAngle();
    m_Name.Assign(CText(text, GetCenterPoint(), 0), this);
    Name().SetAngle(angle);
    int type = (Name().GetType() & ~TEXT_ORIGIN_MASK) | kNameOrigin;
    if (!visible)
        type |= TEXT_HIDDEN;
    Name().SetType(type);
    Name().SetSize(size);
    m_nType |= LINE_NAMED;
    MarkDirty();
}

void CLine::SetDimension(const tagDIMS& style)
{
    std::string text;
    if (m_nType & LINE_AUTO_SIZE) {
        text = TrimNumberString(platform::Format("%.8G", GetLength()));
    } else if (m_nType & LINE_AUTO_ANGLE) {
        const double degrees = m_ptStart.GetAngle(m_ptEnd) * 180.0 * 0.3183098861837907;
        text = TrimNumberString(platform::Format("%.8G", degrees)) + _J("°");
    } else {
        return;
    }
    if (text.empty())
        return;
    Name().SetName(text);

    // Beside the line by half its width: below a line that runs right to left (or straight down),
    // above any other; an angle text always on the left-hand side.
    double a = m_ptStart.GetAngle(m_ptEnd);
    if (a < 0.0)
        a += kTwoPi;
    const double h = GetLineWidth() * 0.5;
    const bool autoAngle = IsAutoAng();
    CDPoint pos = GetCenterPoint();
    const double x1 = m_ptStart.x, y1 = m_ptStart.y, x2 = m_ptEnd.x, y2 = m_ptEnd.y;
    if (!autoAngle && x1 >= x2 && (std::fabs(x1 - x2) > GEOM_TOLERANCE || y1 >= y2)) {
        pos.x += h * std::sin(a);
        pos.y -= h * std::cos(a);
    } else {
        pos.x -= h * std::sin(a);
        pos.y += h * std::cos(a);
    }
    Name().SetPoint(pos);
    if (style.textSize != 0)
        Name().SetSize(style.textSize);

    // A length text never reads upside down.
    double textAngle = a;
    // In whole thousandths of a radian, kept in double: the ends of a damaged record may make the
    // angle no number at all.
    const double milli = std::trunc(a * 1000.0);
    if (!autoAngle && milli > 1570.0 && milli <= 4712.0)
        textAngle = a - kPi;
    Name().SetAngle(textAngle);
    Name().SetOrg(kKeyBottomCentre);
    MarkDirty();
}

// ---------------------------------------------------------------------------------------------
// Arrows

int CLine::IsArrow() const
{
    return stroke::ArrowBits(m_nStartArrow, m_nEndArrow);
}

void CLine::SetArrow(int start, int end)
{
    m_nStartArrow = start;
    m_nEndArrow = end;
    MarkDirty();
}

void CLine::SetArrow(int which, const tagDIMS& style, bool dot)
{
    stroke::ToggleArrow(which == 1 ? m_nStartArrow : m_nEndArrow, style, dot);
    MarkDirty();
}

tagDIMS CLine::DimensionStyle() const
{
    return GetBoardDimensionStyle();
}

void CLine::CalcArrowPoint(CDPoint* points, int code)
{
    FrameServices* frame = GetFrameServices();
    CalcArrowPoint(points, code, frame ? frame->GetDimensionStyle().arrowAngle : 0.0);
}

void CLine::CalcArrowPoint(CDPoint* points, int code, double arrowAngle)
{
    const double a = points[0].GetAngle(points[1]);
    const double length = code * 0.01;
    const double theta = arrowAngle;
    const CDPoint tip = points[0];
    points[1] = tip.GetPoint(a + theta, length);
    points[2] = tip.GetPoint(a - theta, length);
}

void CLine::GetStartArrowLine(CLine* first, CLine* second) const
{
    CDPoint pts[3] = {m_ptStart, m_ptEnd, CDPoint()};
    CalcArrowPoint(pts, m_nStartArrow, DimensionStyle().arrowAngle);
    *first = CLine(m_ptStart, pts[1], m_nTurret, 0);
    *second = CLine(m_ptStart, pts[2], m_nTurret, 0);
}

void CLine::GetEndArrowLine(CLine* first, CLine* second) const
{
    CDPoint pts[3] = {m_ptEnd, m_ptStart, CDPoint()};
    CalcArrowPoint(pts, m_nEndArrow, DimensionStyle().arrowAngle);
    *first = CLine(m_ptEnd, pts[1], m_nTurret, 0);
    *second = CLine(m_ptEnd, pts[2], m_nTurret, 0);
}

// ---------------------------------------------------------------------------------------------
// Stretch marks and picked position

void CLine::SetCheck(bool check)
{
    m_bStartCheck = check;
    m_bEndCheck = check;
}

void CLine::SetCheck(int which, bool check)
{
    stroke::SetEndCheck(m_bStartCheck, m_bEndCheck, which, check);
}

void CLine::SetCheck(const CDPoint& p, bool check)
{
    if (m_ptEnd == p)
        m_bEndCheck = check;
    else
        m_bStartCheck = check;
}

void CLine::SetCheck(const CDRect& rect)
{
    m_bStartCheck = rect.PtInRect(m_ptStart);
    m_bEndCheck = rect.PtInRect(m_ptEnd);
}

void CLine::SetFxRatio(const CDPoint& p)
{
    const double ratio = m_ptStart.GetLength(p) / GetLength() * 65536.0;
    m_nFxRatio = static_cast<std::uint32_t>(platform::TruncateToInt32(ratio));
}

FIXED CLine::GetFxRatioX() const
{
    const double ratio = (m_nFxRatio >> 16) + (m_nFxRatio & 0xFFFF) / 65536.0;
    return platform::DoubleToFixed(m_ptStart.x + ratio * (m_ptEnd.x - m_ptStart.x));
}

CDPoint CLine::LockPoint(const CDPoint& p)
{
    if (m_ptEnd == m_ptStart)
        return p;
    const double x0 = m_ptStart.x, y0 = m_ptStart.y;

    // The eighth of the turn the line points into: 0 east, 1 north-east, ... 7 south-east.
    double w = GetAngle() + 0.39269908169872414;
    if (w < 0.0)
        w += kTwoPi;
    int k = 0;
    for (int i = 1; i <= 7; ++i)
        if (w > i * (kPi / 4.0))
            k = i;

    // Corrected by where p lies around the start.
    if (k & 1) {
        if (p.x > x0 && p.y > y0)
            k = 1;
        else if (p.x < x0 && p.y > y0)
            k = 3;
        else if (p.x < x0 && p.y < y0)
            k = 5;
        else if (p.x > x0 && p.y < y0)
            k = 7;
    } else if (k == 0 || k == 4) {
        if (std::fabs(p.x - x0) > GEOM_TOLERANCE)
            k = p.x > x0 ? 0 : 4;
        else
            k = p.y >= y0 ? 2 : 6;
    } else {
        if (std::fabs(p.y - y0) > GEOM_TOLERANCE)
            k = p.y > y0 ? 2 : 6;
        else
            k = p.x >= x0 ? 0 : 4;
    }

    const double dx = std::fabs(p.x - x0);
    const double dy = std::fabs(p.y - y0);
    const double m = std::min(dx, dy);
    CDPoint bend(x0, y0);
    switch (k) {
    case 0:
        bend.x = std::max(p.x - dy, x0);
        break;
    case 1:
        bend = CDPoint(x0 + m, y0 + m);
        break;
    case 2:
        bend.y = std::max(p.y - dx, y0);
        break;
    case 3:
        bend = CDPoint(x0 - m, y0 + m);
        break;
    case 4:
        bend.x = std::min(p.x + dy, x0);
        break;
    case 5:
        bend = CDPoint(x0 - m, y0 - m);
        break;
    case 6:
        bend.y = std::min(p.y + dx, y0);
        break;
    default:
        bend = CDPoint(x0 + m, y0 - m);
        break;
    }
    if (bend == m_ptStart)
        return p;
    return bend;
}

// ---------------------------------------------------------------------------------------------
// Edit

bool CLine::InputText(bool multiple)
{
    ItemDialogs* dialogs = GetItemDialogs();
    if (!dialogs)
        return false;
    // The copy keeps this line's parent, so that assigning it back keeps the line in its owner.
    CLine work(*this);
    LineDialogData data;
    data.item = &work;
    data.multiple = multiple;
    data.editKind = ID_INPUT_LINE;
    if (!dialogs->RunLineDialog(data))
        return false;
    const bool wasNamed = !IsNameEmpty();
    *this = work;
    // A blank of several lines carries codes, not geometry: nothing is measured on it.
    if (multiple)
        return true;
    if (!IsNameEmpty() || wasNamed)
        SetDimension(DimensionStyle());
    MarkDirty();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Persistent forms

void CLine::Serialize(CArchive& ar, int version)
{
    if (ar.IsLoading())
        DataRead(ar, version);
    else
        DataWrite(ar);
}

void CLine::DataWrite(CArchive& ar)
{
    ar << static_cast<std::uint32_t>(m_nID) << static_cast<std::int32_t>(m_nTurret)
       << static_cast<std::int32_t>(m_nLayer) << static_cast<std::int32_t>(m_nType);
    WriteDPoint(ar, m_ptStart);
    WriteDPoint(ar, m_ptEnd);
    ar << record::PackArrows(m_nStartArrow, m_nEndArrow);
    if (m_nType & LINE_TYPE_MASK)
        ar << static_cast<std::int32_t>(m_nDimension);
    if (m_nType & LINE_NAMED)
        Name().Serialize(ar, 0);
}

void CLine::DataRead(CArchive& ar, int version)
{
    // Everything is read before anything changes, so a truncated record leaves the line as it was.
    std::uint32_t id = 0;
    std::int32_t turret = 0, layer = 0, type = 0, arrows = 0, dimension = 0;
    CDPoint start, end;
    ar >> id >> turret >> layer >> type;
    ReadDPoint(ar, start);
    ReadDPoint(ar, end);
    ar >> arrows;
    if (type & LINE_TYPE_MASK)
        ar >> dimension;
    if (type & LINE_NAMED)
        Name().Serialize(ar, version); // all or nothing

    m_nID = id;
    m_nLayer = layer;
    m_nType = type;
    m_ptStart = start;
    m_ptEnd = end;
    m_nStartArrow = record::LowArrow(arrows);
    m_nEndArrow = record::HighArrow(arrows);
    m_nDimension = dimension;
    m_bStartCheck = false;
    m_bEndCheck = false;
    if (version <= 2) {
        // Older files count turrets from 0 one lower and carry no ids.
        m_nID = 0;
        turret = record::OldNumber(turret);
    }
    MarkDirty();
    SetTurretNo(turret, false);
}

void CLine::SerializeText(CArchive& ar)
{
    ar.WriteString(platform::Format("Line %.8f %.8f %.8f %.8f %d %d %d %d %d %d %ld\n", m_ptStart.x,
                                    m_ptStart.y, m_ptEnd.x, m_ptEnd.y, m_nTurret, m_nType, m_nStartArrow,
                                    m_nEndArrow, m_nDimension, m_nLayer,
                                    static_cast<long>(static_cast<std::int32_t>(m_nID))));
    if (m_nType & LINE_NAMED) {
        ar.WriteString("Name ");
        Name().SerializeText(ar, 0);
    }
}

std::string CLine::GetTextLines()
{
    return record::TextLinesOf(*this);
}
