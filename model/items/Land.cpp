#include "model/items/Land.h"

#include "model/geometry/Geometry.h"
#include "model/items/RecordSupport.h"
#include "model/services/ItemDialogs.h"
#include "platform/Archive.h"
#include "platform/Numbers.h"

#include <cstdint>

namespace {

// A stored turret number beyond the aperture table falls back to this ordinary pad.
constexpr int kFallbackTurret = 20;

} // namespace

// A land's area points are never read (it turns only its position): a board has thousands of lands
// and a clearance check may place a million marker lands.
CLand::CLand() : CItemBase(KIND_LAND, false) {}

CLand::CLand(const CDPoint& position, int turret) : CItemBase(KIND_LAND, false), m_ptPoint(position)
{
    SetTurretNo(turret, false);
}

CLand::CLand(const char* line) : CItemBase(KIND_LAND, false)
{
    double x = 0.0, y = 0.0;
    int turret = 0, type = 0, layer = -1;
    long id = 0;
    // Fields that the line lacks keep these values.
    platform::Scan(line ? line : "", "%*s %lf %lf %d %d %d %ld", &x, &y, &turret, &type, &layer, &id);
    m_ptPoint = CDPoint(x, y);
    m_nType = type;
    m_nLayer = layer;
    m_nID = static_cast<std::uint32_t>(id);
    ResetBounding();
    SetTurretNo(turret, false);
}

CLand::CLand(const CLand& other) : CItemBase(KIND_LAND, false)
{
    *this = other;
}

CLand::~CLand() = default;

CLand& CLand::operator=(const CLand& other)
{
    if (this == &other)
        return *this;
    CItemBase::operator=(other);
    m_ptPoint = other.m_ptPoint;
    return *this;
}

int CLand::operator==(const CLand& other) const
{
    return (m_nTurret == other.m_nTurret && m_ptPoint == other.m_ptPoint) ? 1 : 0;
}

bool CLand::operator<(const CLand& other) const
{
    if (m_nTurret != other.m_nTurret)
        return m_nTurret < other.m_nTurret;
    return m_ptPoint.x + m_ptPoint.y < other.m_ptPoint.x + other.m_ptPoint.y;
}

void CLand::SetPoint(const CDPoint& p)
{
    m_ptPoint = p;
    ResetBounding();
}

int CLand::IsTharmal() const
{
    return (m_nTurret == 0 || GetTurret().shape == TURRET_THERMAL) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Transforms

void CLand::Offset(const CDPoint& d)
{
    CItemBase::Offset(d);
    m_ptPoint += d;
}

void CLand::Rotate(const CDPoint& center, double angle)
{
    // Only the position turns: the pad keeps its orientation.
    m_ptPoint.Rotate(center, angle);
    ResetBounding();
}

void CLand::Scale(const CDPoint& center, const CDSize& factor)
{
    m_ptPoint.Scale(center, factor);
}

void CLand::MirrorX(double axis)
{
    CItemBase::MirrorX(axis);
    m_ptPoint.x = 2.0 * axis - m_ptPoint.x;
}

void CLand::MirrorY(double axis)
{
    CItemBase::MirrorY(axis);
    m_ptPoint.y = 2.0 * axis - m_ptPoint.y;
}

void CLand::CalcBoundingRect()
{
    SetBoundingRect(CDRect(m_ptPoint, GetLineWidth() * 0.5));
    CopyAreaRect();
    m_dAngle = 0.0;
}

// ---------------------------------------------------------------------------------------------
// Edit

bool CLand::EditLand(bool multiple)
{
    ItemDialogs* dialogs = GetItemDialogs();
    if (!dialogs)
        return false;
    LandDialogData data;
    data.multiple = multiple;
    data.turret = multiple ? 0 : m_nTurret;
    if (!dialogs->RunLandDialog(data))
        return false;
    SetTurretNo(data.turret, false);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Persistent forms

void CLand::Serialize(CArchive& ar, int version)
{
    if (ar.IsLoading())
        DataRead(ar, version);
    else
        DataWrite(ar);
}

void CLand::DataWrite(CArchive& ar)
{
    ar << static_cast<std::uint32_t>(m_nID) << static_cast<std::int32_t>(m_nTurret)
       << static_cast<std::int32_t>(m_nLayer);
    WriteDPoint(ar, m_ptPoint);
    ar << static_cast<std::uint32_t>(m_nType);
}

void CLand::DataRead(CArchive& ar, int version)
{
    // Everything is read before anything changes, so a truncated record leaves the land as it was.
    std::uint32_t id = 0, type = 0;
    std::int32_t turret = 0, layer = 0;
    CDPoint point;
    ar >> id >> turret >> layer;
    ReadDPoint(ar, point);
    ar >> type;

    m_nID = version <= 2 ? 0 : id;
    m_nLayer = layer;
    m_ptPoint = point;
    m_nType = static_cast<int>(type);
    ResetBounding();
    SetTurretNo(turret > TURRET_MAX ? kFallbackTurret : turret, false);
}

void CLand::SerializeText(CArchive& ar)
{
    ar.WriteString(platform::Format("Land %.8f %.8f %d %d %d %ld\n", m_ptPoint.x, m_ptPoint.y, m_nTurret,
                                    m_nType, m_nLayer, static_cast<long>(static_cast<std::int32_t>(m_nID))));
}

std::string CLand::GetTextLine()
{
    return record::TextLinesOf(*this);
}

void CLand::SerializeDXF(CArchive&, int, int) {}
