#include "model/items/Arc.h"

#include "model/geometry/Geometry.h"
#include "model/items/Line.h"
#include "model/items/RecordSupport.h"
#include "model/items/StrokeSupport.h"
#include "model/services/ItemDialogs.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "platform/Numbers.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Two angles this close make a full circle.
constexpr double kCircleTolerance = 0.001;
// Keypad key 2: bottom centre.
constexpr int kKeyBottomCentre = 98;

double Normalized(double angle)
{
    NormalizeAngle(angle);
    return angle;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction, copy and comparison

CArc::CArc() : CItemBase(KIND_ARC) {}

CArc::CArc(const CArc& other) : CItemBase(KIND_ARC)
{
    *this = other;
}

CArc::CArc(const CDPoint& centre, double radius, double startAngle, double endAngle, int type, int turret)
    : CItemBase(KIND_ARC), m_ptCenter(centre), m_dRadius(radius), m_dStartAngle(startAngle),
      m_dEndAngle(endAngle)
{
    m_nType = type;
    ResetAngle();
    SetTurretNo(turret, false);
}

CArc::CArc(const char* line) : CItemBase(KIND_ARC)
{
    double cx = 0.0, cy = 0.0, radius = 0.0, startDeg = 0.0, endDeg = 0.0;
    int turret = 0, type = 0, startArrow = 0, endArrow = 0, dimension = 0, layer = -1;
    long id = 0;
    // Fields that the line lacks keep these values.
    platform::Scan(line ? line : "", "%*s %lf %lf %lf %lf %lf %d %d %d %d %d %d %ld", &cx, &cy, &radius,
                   &startDeg, &endDeg, &turret, &type, &startArrow, &endArrow, &dimension, &layer, &id);
    m_ptCenter = CDPoint(cx, cy);
    m_dRadius = radius;
    m_dStartAngle = startDeg * kPi / 180.0;
    m_dEndAngle = endDeg * kPi / 180.0;
    m_nType = type;
    m_nStartArrow = startArrow;
    m_nEndArrow = endArrow;
    m_nDimension = (type & ARC_LINE_TYPE_MASK) ? dimension : 0;
    m_nLayer = layer;
    m_nID = static_cast<std::uint32_t>(id);
    ResetAngle();
    m_bStartCheck = false;
    m_bEndCheck = false;
    MarkDirty();
    SetTurretNo(turret, false);
}

CArc::~CArc() = default;

CArc& CArc::operator=(const CArc& other)
{
    if (this == &other)
        return *this;
    CItemBase::operator=(other);
    m_ptCenter = other.m_ptCenter;
    m_dRadius = other.m_dRadius;
    m_dStartAngle = other.m_dStartAngle;
    m_dEndAngle = other.m_dEndAngle;
    m_nStartArrow = other.m_nStartArrow;
    m_nEndArrow = other.m_nEndArrow;
    m_bStartCheck = other.m_bStartCheck;
    m_bEndCheck = other.m_bEndCheck;
    m_nDimension = other.m_nDimension;
    m_nFxRatio = other.m_nFxRatio;
    // Without a name the other's text means nothing; this arc's own stays (and is ignored).
    if (other.m_nType & ARC_NAMED) {
        m_Name.Assign(other.m_Name.Peek(), this);
    }
    ResetAngle();
    return *this;
}

bool CArc::operator==(const CArc& other) const
{
    if (!(m_ptCenter == other.m_ptCenter) || m_dRadius != other.m_dRadius ||
        m_dStartAngle != other.m_dStartAngle || m_dEndAngle != other.m_dEndAngle ||
        m_nType != other.m_nType || m_nTurret != other.m_nTurret || m_nStartArrow != other.m_nStartArrow ||
        m_nEndArrow != other.m_nEndArrow || m_nDimension != other.m_nDimension)
        return false;
    if ((m_nType & ARC_NAMED) && (other.m_nType & ARC_NAMED))
        return m_Name.Peek() == other.m_Name.Peek();
    return true;
}

bool CArc::CheckEq(const CArc& other) const
{
    return std::fabs(m_ptCenter.x - other.m_ptCenter.x) <= GEOM_TOLERANCE &&
           std::fabs(m_ptCenter.y - other.m_ptCenter.y) <= GEOM_TOLERANCE &&
           std::fabs(m_dRadius - other.m_dRadius) <= GEOM_TOLERANCE &&
           std::fabs(m_dStartAngle - other.m_dStartAngle) <= GEOM_TOLERANCE &&
           std::fabs(m_dEndAngle - other.m_dEndAngle) <= GEOM_TOLERANCE;
}

// ---------------------------------------------------------------------------------------------
// Circle and measures

void CArc::ResetAngle()
{
    NormalizeAngle(m_dStartAngle);
    NormalizeAngle(m_dEndAngle);
}

bool CArc::IsCircle() const
{
    return std::fabs(m_dStartAngle - m_dEndAngle) < kCircleTolerance;
}

double CArc::GetSweep() const
{
    return Normalized(IsCW() ? m_dStartAngle - m_dEndAngle : m_dEndAngle - m_dStartAngle);
}

double CArc::GetLength() const
{
    return (IsCircle() ? kTwoPi : GetSweep()) * m_dRadius;
}

CDPoint CArc::GetPoint(double angle, double radius) const
{
    return CDPoint(m_ptCenter.x + radius * std::cos(angle), m_ptCenter.y + radius * std::sin(angle));
}

// ---------------------------------------------------------------------------------------------
// Name and dimension text

void CArc::SetName(const char* record)
{
    const char* text = record ? record : "";
    if (*text)
        Name().SetName(text);
    if (*text)
        m_nType |= ARC_NAMED;
    else
        m_nType &= ~(ARC_NAMED | ARC_AUTO_SIZE | ARC_AUTO_ANGLE);
    // An empty record leaves a text it does not hold as it was: only its owners become stale.
    if (m_Name.Has())
        Name().ResetBounding();
    else
        ResetBounding();
}

void CArc::SetName(const std::string& text, int size, bool visible)
{
    if (text.empty())
        return;
    m_Name.Assign(CText(text, m_ptCenter, 0), this);
    int type = Name().GetType() & ~TEXT_ORIGIN_MASK;
    if (!visible)
        type |= TEXT_HIDDEN;
    Name().SetType(type);
    Name().SetSize(size);
    m_nType |= ARC_NAMED;
    ChangeDimension();
}

void CArc::SetDimension(const tagDIMS& style)
{
    m_nType |= ARC_NAMED | ARC_AUTO_ANGLE;
    // The style's size always: unlike a line's, an arc's dimension text has no "keep" value.
    Name().SetSize(style.textSize);
    ChangeDimension();
}

void CArc::ChangeDimension()
{
    std::string text;
    if (m_nType & ARC_AUTO_ANGLE) {
        if (IsCircle())
            text = "360";
        else
            text = TrimNumberString(platform::Format("%.8G", GetSweep() * 180.0 / kPi));
        text += _J("°");
    } else if (m_nType & ARC_AUTO_SIZE) {
        text = TrimNumberString(platform::Format("%.8G", GetLength()));
    }
    if (!text.empty())
        Name().SetName(text);

    // Outside the middle of the arc by half its width, reading along it.
    double mid;
    if (IsCircle())
        mid = m_dStartAngle + kPi;
    else if (IsCW())
        mid = m_dEndAngle + GetSweep() / 2.0;
    else
        mid = m_dStartAngle + GetSweep() / 2.0;
    Name().SetPoint(GetPoint(mid, m_dRadius + GetLineWidth() / 2.0));
    Name().SetAngle(Normalized(mid - kPi / 2.0));
    Name().SetOrg(kKeyBottomCentre);
    MarkDirty();
}

// ---------------------------------------------------------------------------------------------
// Arrows

int CArc::IsArrow() const
{
    return stroke::ArrowBits(m_nStartArrow, m_nEndArrow);
}

void CArc::SetArrow(int start, int end)
{
    m_nStartArrow = start;
    m_nEndArrow = end;
    MarkDirty();
}

void CArc::SetArrow(int which, const tagDIMS& style, bool dot)
{
    if (which != 1 && which != 2)
        return;
    stroke::ToggleArrow(which == 1 ? m_nStartArrow : m_nEndArrow, style, dot);
    MarkDirty();
}

tagDIMS CArc::DimensionStyle() const
{
    return GetBoardDimensionStyle();
}

// ---------------------------------------------------------------------------------------------
// Stretch marks and picked position

void CArc::SetCheck(bool check)
{
    m_bStartCheck = check;
    m_bEndCheck = check;
}

void CArc::SetCheck(int which, bool check)
{
    stroke::SetEndCheck(m_bStartCheck, m_bEndCheck, which, check);
}

void CArc::SetCheck(const CDRect& rect)
{
    m_bStartCheck = rect.PtInRect(GetStartPoint());
    m_bEndCheck = rect.PtInRect(GetEndPoint());
}

void CArc::SetCircle()
{
    if (m_bStartCheck && !m_bEndCheck)
        m_dStartAngle = m_dEndAngle;
    else
        m_dEndAngle = m_dStartAngle;
    MarkDirty();
}

void CArc::SetFxRatio(const CDPoint& p)
{
    ResetAngle();
    const double a = m_ptCenter.GetAngle(p);
    const double d = Normalized(IsCW() ? m_dStartAngle - a : a - m_dStartAngle);
    const double whole = IsCircle() ? kTwoPi : GetSweep();
    const double ratio = whole > 0.0 ? d / whole : 0.0;
    m_nFxRatio = platform::TruncateToInt32(ratio * 65536.0);
}

void CArc::ChangeDirection()
{
    std::swap(m_dStartAngle, m_dEndAngle);
    std::swap(m_bStartCheck, m_bEndCheck);
    std::swap(m_nStartArrow, m_nEndArrow);
    MarkDirty();
}

// ---------------------------------------------------------------------------------------------
// Edit

bool CArc::InputText(bool multiple)
{
    ItemDialogs* dialogs = GetItemDialogs();
    if (!dialogs)
        return false;
    // The copy keeps this arc's parent, so that assigning it back keeps the arc in its owner.
    CArc work(*this);
    LineDialogData data;
    data.item = &work;
    data.multiple = multiple;
    data.editKind = ID_INPUT_ARC;
    data.name = m_Name.Peek().GetName();
    if (!dialogs->RunLineDialog(data))
        return false;
    *this = work;
    MarkDirty();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Persistent forms

void CArc::Serialize(CArchive& ar, int version)
{
    if (ar.IsLoading())
        DataRead(ar, version);
    else
        DataWrite(ar);
}

void CArc::DataWrite(CArchive& ar)
{
    ar << static_cast<std::uint32_t>(m_nID);
    WriteDPoint(ar, m_ptCenter);
    ar << m_dRadius << m_dStartAngle << m_dEndAngle;
    ar << static_cast<std::int32_t>(m_nType) << static_cast<std::int32_t>(m_nTurret)
       << static_cast<std::int32_t>(m_nLayer) << record::PackArrows(m_nStartArrow, m_nEndArrow);
    if (m_nType & ARC_LINE_TYPE_MASK)
        ar << static_cast<std::int32_t>(m_nDimension);
    if (m_nType & ARC_NAMED)
        Name().Serialize(ar, 0);
}

void CArc::DataRead(CArchive& ar, int version)
{
    // Everything is read before anything changes, so a truncated record leaves the arc as it was.
    std::uint32_t id = 0;
    CDPoint centre;
    double radius = 0.0, startAngle = 0.0, endAngle = 0.0;
    std::int32_t type = 0, turret = 0, layer = 0, arrows = 0, dimension = 0;
    ar >> id;
    ReadDPoint(ar, centre);
    ar >> radius >> startAngle >> endAngle;
    ar >> type >> turret >> layer >> arrows;
    if (type & ARC_LINE_TYPE_MASK)
        ar >> dimension;
    CText name;
    if (type & ARC_NAMED) {
        name.SetParent(this);
        name.Serialize(ar, version);
    }

    m_nID = id;
    m_ptCenter = centre;
    m_dRadius = radius;
    m_dStartAngle = startAngle;
    m_dEndAngle = endAngle;
    m_nType = type;
    m_nLayer = layer;
    m_nStartArrow = record::LowArrow(arrows);
    m_nEndArrow = record::HighArrow(arrows);
    m_nDimension = dimension;
    if (type & ARC_NAMED)
        m_Name.Assign(name, this);
    m_bStartCheck = false;
    m_bEndCheck = false;
    if (version <= 2) {
        // Older files count turrets from 0 one lower and carry no ids.
        m_nID = 0;
        turret = record::OldNumber(turret);
    }
    ResetAngle();
    MarkDirty();
    SetTurretNo(turret, false);
}

void CArc::SerializeText(CArchive& ar)
{
    ar.WriteString(platform::Format(
        "Arc %.8f %.8f %.8f %.8f %.8f %d %d %d %d %d %d %ld\n", m_ptCenter.x, m_ptCenter.y, m_dRadius,
        m_dStartAngle * 180.0 / kPi, m_dEndAngle * 180.0 / kPi, m_nTurret, m_nType, m_nStartArrow,
        m_nEndArrow, m_nDimension, m_nLayer, static_cast<long>(static_cast<std::int32_t>(m_nID))));
    if (m_nType & ARC_NAMED) {
        ar.WriteString("Name ");
        Name().SerializeText(ar, 0);
    }
}

std::string CArc::GetTextLines()
{
    return record::TextLinesOf(*this);
}
