#include "model/items/Hole.h"

#include "model/geometry/Geometry.h"
#include "model/items/RecordSupport.h"
#include "model/services/DocumentServices.h"
#include "model/services/ItemDialogs.h"
#include "platform/Archive.h"
#include "platform/Numbers.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr double kTolerance = 1e-6;

// Type bits that identify a hole; the through bit and the tool number are rewritten by
// connectivity and drill output.
constexpr std::uint32_t kIdentityMask = 0xFF00FFFEu;

// What a text line keeps of a round or long hole's type word besides the shape: the dummy and
// test-coupon bits and the tool number, so that such holes survive copy and paste.
constexpr int kTextKeptBits = HOLE_TEST | HOLE_CHECK | HOLE_TOOL_MASK;

bool Near(double a, double b)
{
    return std::fabs(a - b) <= kTolerance;
}

} // namespace

CHole::CHole() : CItemBase(KIND_HOLE) {}

CHole::CHole(const CDPoint& position, double diameter, bool round, double width, double cornerRadius,
             double angle)
    : CItemBase(KIND_HOLE), m_ptPoint(position), m_dDia(diameter), m_dWidth(width), m_dRadius(cornerRadius)
{
    m_dAngle = angle;
    if (round)
        m_nType = 0;
    else
        m_nType = std::fabs(diameter * 0.5 - cornerRadius) <= kTolerance ? HOLE_LONG : HOLE_RECT;
}

CHole::CHole(const char* line) : CItemBase(KIND_HOLE)
{
    double x = 0.0, y = 0.0, diameter = 0.0, width = 0.0, radius = 0.0, angle = 0.0;
    int type = 0, layer = -1;
    long id = 0;
    // Fields that the line lacks keep these values; a line without a type reads as a round hole.
    platform::Scan(line ? line : "", "%*s %lf %lf %lf %lf %lf %lf %d %d %ld", &x, &y, &diameter, &width,
                   &radius, &angle, &type, &layer, &id);
    m_ptPoint = CDPoint(x, y);
    m_dDia = diameter;
    m_dWidth = width;
    m_dRadius = radius;
    m_dAngle = angle;
    m_nLayer = layer;
    m_nID = static_cast<std::uint32_t>(id);
    switch (type & HOLE_SHAPE_MASK) {
    case 0:
        m_dWidth = 0.0;
        m_dRadius = 0.0;
        m_nType = type & kTextKeptBits;
        break;
    case HOLE_LONG:
        m_nType = HOLE_LONG | (type & kTextKeptBits);
        m_dRadius = m_dDia * 0.5;
        break;
    default:
        m_nType = type;
        break;
    }
    ResetBounding();
}

CHole::CHole(const CHole& other) : CItemBase(KIND_HOLE)
{
    *this = other;
}

CHole::~CHole() = default;

CHole& CHole::operator=(const CHole& other)
{
    if (this == &other)
        return *this;
    CItemBase::operator=(other);
    m_ptPoint = other.m_ptPoint;
    m_dDia = other.m_dDia;
    m_dWidth = other.m_dWidth;
    m_dRadius = other.m_dRadius;
    m_wireID = other.m_wireID;
    return *this;
}

bool CHole::operator==(const CHole& other) const
{
    if (!(m_ptPoint == other.m_ptPoint) || !Near(m_dDia, other.m_dDia))
        return false;
    if (((static_cast<std::uint32_t>(m_nType) ^ static_cast<std::uint32_t>(other.m_nType)) & kIdentityMask) !=
        0)
        return false;
    if (IsHole())
        return true;
    return Near(m_dWidth, other.m_dWidth) && Near(m_dRadius, other.m_dRadius) &&
           Near(m_dAngle, other.m_dAngle);
}

bool CHole::SizesNear(double a, double b)
{
    return Near(a, b);
}

bool CHole::operator<(const CHole& other) const
{
    if (GetHoleShape() != other.GetHoleShape())
        return GetHoleShape() < other.GetHoleShape();
    if (IsThroughHole() != other.IsThroughHole())
        return IsThroughHole();
    if (!Near(m_dDia, other.m_dDia))
        return m_dDia < other.m_dDia;
    if (!IsHole()) {
        if (!Near(m_dWidth, other.m_dWidth))
            return m_dWidth < other.m_dWidth;
        if (!Near(m_dRadius, other.m_dRadius))
            return m_dRadius < other.m_dRadius;
    }
    return m_ptPoint.x + m_ptPoint.y < other.m_ptPoint.x + other.m_ptPoint.y;
}

// ---------------------------------------------------------------------------------------------
// Position, shape and wire ids

void CHole::SetPoint(const CDPoint& p)
{
    m_ptPoint = p;
    ResetBounding();
}

void CHole::SetHoleDia(double diameter)
{
    m_dDia = diameter;
    ResetBounding();
}

void CHole::GetSHoleData(double& diameter, double& width, double& radius, double& angle)
{
    diameter = m_dDia;
    width = m_dWidth;
    radius = m_dRadius;
    angle = GetAngle();
}

void CHole::SetSHoleData(double diameter, double width, double radius, double angle)
{
    m_dDia = diameter;
    m_dWidth = width;
    m_dRadius = radius;
    m_dAngle = angle;
    ResetBounding();
}

void CHole::GetHoleWH(CDRect& rect) const
{
    rect.SetRect(m_ptPoint.x - m_dWidth * 0.5, m_ptPoint.y - m_dDia * 0.5, m_ptPoint.x + m_dWidth * 0.5,
                 m_ptPoint.y + m_dDia * 0.5);
}

std::uint32_t CHole::GetLayerID(int layer) const
{
    if (layer < 1 || layer > HOLE_WIRE_LAYERS)
        return 0;
    return m_wireID[static_cast<std::size_t>(layer - 1)];
}

void CHole::SetLayerID(std::uint32_t id, int layer)
{
    // Only the 32 wiring layers have a slot; anything else would write past them.
    if (layer < 1 || layer > HOLE_WIRE_LAYERS)
        return;
    m_wireID[static_cast<std::size_t>(layer - 1)] = id;
    if (id != 0) {
        m_nType |= HOLE_THROUGH;
        return;
    }
    for (std::uint32_t other : m_wireID)
        if (other != 0)
            return;
    m_nType &= ~HOLE_THROUGH;
}

void CHole::ResetAllWire()
{
    m_wireID.fill(0);
    m_nType &= ~HOLE_THROUGH;
}

// ---------------------------------------------------------------------------------------------
// Transforms

void CHole::Offset(const CDPoint& d)
{
    CItemBase::Offset(d);
    m_ptPoint += d;
}

void CHole::Scale(const CDPoint& center, const CDSize& factor)
{
    // The hole moves; a drill does not grow.
    m_ptPoint.Scale(center, factor);
    ResetBounding();
}

void CHole::Rotate(const CDPoint& center, double angle)
{
    if (!IsHole())
        CItemBase::Rotate(center, angle);
    m_ptPoint.Rotate(center, angle);
    ResetBounding();
}

void CHole::MirrorX(double axis)
{
    CItemBase::MirrorX(axis);
    m_ptPoint.x = 2.0 * axis - m_ptPoint.x;
}

void CHole::MirrorY(double axis)
{
    CItemBase::MirrorY(axis);
    m_ptPoint.y = 2.0 * axis - m_ptPoint.y;
    ResetBounding();
}

void CHole::CalcBoundingRect()
{
    CDRect box;
    if (IsHole())
        box = CDRect(m_ptPoint, m_dDia * 0.5);
    else
        GetHoleWH(box);
    CDPoint area[4] = {CDPoint(box.left, box.bottom), CDPoint(box.right, box.bottom),
                       CDPoint(box.right, box.top), CDPoint(box.left, box.top)};
    if (!IsHole()) {
        for (CDPoint& p : area)
            p.Rotate(m_ptPoint, m_dAngle);
        box.Rotate(m_ptPoint, m_dAngle);
    }
    SetBoundingRect(box);
    SetAreaRect(area);
}

// ---------------------------------------------------------------------------------------------
// Edit

int CHole::InputHole(DocumentServices* doc, bool edit, int multiple)
{
    ItemDialogs* dialogs = GetItemDialogs();
    if (!dialogs)
        return 0;

    HoleDialogData data;
    data.diameter = m_dDia;
    if (!IsHole()) {
        data.shape = IsHoleRect() ? 2 : 1;
        data.width = m_dWidth;
        data.radius = m_dRadius;
        data.angleDeg = GetAngle() * 180.0 / std::numbers::pi;
    }
    CDPoint user = m_ptPoint;
    if (doc)
        doc->ToUserOrigin(user, 0);
    data.x = user.x;
    data.y = user.y;
    data.edit = edit;
    if (multiple) {
        data.multiple = true;
        data.width = 0.0;
        data.radius = 0.0;
        data.angleDeg = 0.0;
    } else {
        // Both check boxes start as the hole has them, whatever its shape, so that OK without a
        // change keeps a dummy or test-coupon mark.
        data.kind = m_nType & (HOLE_TEST | HOLE_CHECK);
    }

    if (!dialogs->RunHoleDialog(data))
        return 0;

    m_dDia = data.diameter;
    if (data.shape == 0) {
        m_nType &= ~HOLE_SHAPE_MASK;
        m_dWidth = 0.0;
        m_dRadius = 0.0;
        m_dAngle = 0.0;
    } else {
        m_dWidth = data.width;
        m_dRadius = data.radius;
        if (multiple && data.angleDeg < 0.0)
            m_dAngle = -1.0;
        else
            m_dAngle = data.angleDeg * std::numbers::pi / 180.0;
        m_nType = (m_nType & ~HOLE_SHAPE_MASK) | (data.shape == 2 ? HOLE_RECT : HOLE_LONG);
    }
    ResetBounding();

    if (multiple) {
        ModifyType(data.kind & HOLE_KIND_MASK, HOLE_KIND_MASK);
        return 1;
    }
    ModifyType(data.kind & (HOLE_TEST | HOLE_CHECK), HOLE_TEST | HOLE_CHECK);
    CDPoint board(data.x, data.y);
    if (doc)
        doc->FromUserOrigin(board, 0);
    if (board == m_ptPoint)
        return 1;
    SetPoint(board);
    return 2;
}

// ---------------------------------------------------------------------------------------------
// Persistent forms

void CHole::Serialize(CArchive& ar, int version)
{
    if (ar.IsLoading())
        DataRead(ar, version);
    else
        DataWrite(ar, version);
}

void CHole::DataWrite(CArchive& ar, int version)
{
    // The type word goes doubled with the round flag in its lowest bit.
    const std::uint32_t typeField = (static_cast<std::uint32_t>(m_nType) << 1) + (IsHole() ? 1u : 0u);
    ar << static_cast<std::uint32_t>(m_nID) << typeField;
    WriteDPoint(ar, m_ptPoint);
    ar << m_dDia << static_cast<std::int32_t>(m_nLayer);
    if (!IsHole())
        ar << m_dWidth << m_dRadius << m_dAngle;
    if (version >= 6) {
        std::uint32_t mask = 0;
        for (int i = 0; i < HOLE_WIRE_LAYERS; ++i)
            if (m_wireID[static_cast<std::size_t>(i)] != 0)
                mask |= 1u << i;
        ar << mask;
        for (std::uint32_t id : m_wireID)
            if (id != 0)
                ar << id;
    }
}

void CHole::DataRead(CArchive& ar, int version)
{
    // Everything is read before anything changes, so a truncated record leaves the hole as it was.
    std::uint32_t id = 0;
    std::int32_t typeField = 0, layer = 0;
    CDPoint point;
    double diameter = 0.0, width = 0.0, radius = 0.0, angle = 0.0;
    ar >> id >> typeField;
    ReadDPoint(ar, point);
    ar >> diameter >> layer;
    const int type = typeField >> 1; // arithmetic: the round flag drops out
    const bool round = (type & HOLE_SHAPE_MASK) == 0;
    if (!round) {
        ar >> width >> radius >> angle;
        NormalizeAngle(angle);
        if (diameter > width)
            std::swap(diameter, width);
    }
    std::array<std::uint32_t, HOLE_WIRE_LAYERS> wires{};
    if (version >= 6) {
        std::uint32_t mask = 0;
        ar >> mask;
        for (int i = 0; i < HOLE_WIRE_LAYERS; ++i)
            if (mask & (1u << i))
                ar >> wires[static_cast<std::size_t>(i)];
    }

    m_nID = version < 6 ? 0 : id;
    m_nType = type;
    m_ptPoint = point;
    m_dDia = diameter;
    m_nLayer = layer;
    m_dWidth = width;
    m_dRadius = radius;
    m_dAngle = angle;
    m_wireID = wires;
    ResetBounding();
}

void CHole::SerializeText(CArchive& ar)
{
    const double angle = GetAngle();
    ar.WriteString(platform::Format("Hole %.8f %.8f %.8f %.8f %.8f %.8f %d %d %ld\n", m_ptPoint.x,
                                    m_ptPoint.y, m_dDia, m_dWidth, m_dRadius, angle, m_nType, m_nLayer,
                                    static_cast<long>(static_cast<std::int32_t>(m_nID))));
}

std::string CHole::GetTextLine()
{
    return record::TextLinesOf(*this);
}

void CHole::SerializeDXF(CArchive&, int, int) {}
