#include "model/items/Via.h"

#include "model/geometry/Geometry.h"
#include "model/items/RecordSupport.h"
#include "model/services/DocumentServices.h"
#include "model/services/FrameServices.h"
#include "model/services/ItemDialogs.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint32_t Bit(int k)
{
    return 1u << (k - 1);
}

bool IsWirePos(int k)
{
    return k >= 1 && k <= VIA_WIRE_MAX;
}

DocumentServices* CurrentDocument()
{
    FrameServices* frame = GetFrameServices();
    return frame ? frame->GetCurrentDocument() : nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and copying

CVia::CVia() : CItemBase(KIND_VIA)
{
    m_nTurret = -1;
}

CVia::CVia(const CVia& other) : CItemBase(KIND_VIA)
{
    *this = other;
}

CVia::CVia(const CDPoint& point, int number, const tagVIA&, DocumentServices*, int mask) : CItemBase(KIND_VIA)
{
    m_ptPoint = point;
    SetViaNo(number, false);
    m_nWireLay = mask;
}

CVia::CVia(const CDPoint& point, int number, DocumentServices*, int mask) : CItemBase(KIND_VIA)
{
    m_ptPoint = point;
    SetViaNo(number, false);
    m_nWireLay = mask;
}

CVia::CVia(const char* line, DocumentServices*) : CItemBase(KIND_VIA)
{
    double x = 0.0, y = 0.0;
    int number = 0, type = 0, mask = 0, id = 0;
    // Fields that the line lacks keep these values.
    platform::Scan(line ? line : "", "%*s %lf %lf %d %d %d %d", &x, &y, &number, &type, &mask, &id);
    m_ptPoint = CDPoint(x, y);
    m_nType = type;
    m_nWireLay = mask;
    m_nID = static_cast<std::uint32_t>(id);
    MarkDirty();
    SetViaNo(number, false);
}

CVia::~CVia() = default;

CVia& CVia::operator=(const CVia& other)
{
    if (this == &other)
        return *this;
    CItemBase::operator=(other);
    m_ptPoint = other.m_ptPoint;
    m_nWireLay = other.m_nWireLay;
    m_dLandRadius = other.m_dLandRadius;
    m_dBoundsHalf = other.m_dBoundsHalf;
    m_dNetHalf = other.m_dNetHalf;
    m_layerIds = other.m_layerIds;
    return *this;
}

bool CVia::operator==(const CVia& other) const
{
    return m_nTurret == other.m_nTurret && m_ptPoint == other.m_ptPoint && m_nWireLay == other.m_nWireLay &&
           m_nType == other.m_nType;
}

// ---------------------------------------------------------------------------------------------
// Position and wiring

void CVia::SetPoint(const CDPoint& p)
{
    m_ptPoint = p;
    MarkDirty();
}

int CVia::CheckWire(int k) const
{
    return IsWirePos(k) && (static_cast<std::uint32_t>(m_nWireLay) & Bit(k)) ? 1 : 0;
}

void CVia::SetWire(int k, std::uint32_t id)
{
    if (!IsWirePos(k))
        return;
    m_layerIds[k - 1] = id;
    if (!CheckWire(k)) {
        m_nWireLay = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_nWireLay) | Bit(k));
        MarkDirty();
    }
}

void CVia::ResetWire(int k)
{
    if (!IsWirePos(k))
        return;
    m_layerIds[k - 1] = 0;
    if (CheckWire(k)) {
        m_nWireLay = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_nWireLay) & ~Bit(k));
        MarkDirty();
    }
}

void CVia::ResetAllWire()
{
    m_layerIds.fill(0);
    if (m_nWireLay != 0) {
        m_nWireLay = 0;
        MarkDirty();
    }
}

void CVia::InvertWire(int k)
{
    const std::uint32_t bit = 1u << ((k - 1) & 31);
    m_nWireLay = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_nWireLay) ^ bit);
    MarkDirty();
}

std::uint32_t CVia::GetLayerID(int k) const
{
    return IsWirePos(k) ? m_layerIds[k - 1] : 0;
}

void CVia::SetLayerID(std::uint32_t id, int k)
{
    if (IsWirePos(k))
        m_layerIds[k - 1] = id;
}

void CVia::ResetLayerID()
{
    m_layerIds.fill(0);
}

// ---------------------------------------------------------------------------------------------
// Lands

int CVia::GetTurret(int bits, int layer, int photo) const
{
    const bool wired = CheckWire(layer) != 0;
    if (bits & VIA_SHEET_RESIST)
        return LandTurret((bits & VIA_SHEET_GROUP1) ? 2 : (bits & VIA_SHEET_GROUP3) ? 12 : 7);
    if (!photo) {
        if (bits & VIA_SHEET_GROUP1)
            return LandTurret(0);
        if (bits & VIA_SHEET_GROUP3)
            return LandTurret(10);
        if (bits & VIA_SHEET_WIRING)
            return LandTurret(wired ? 8 : 9);
        return 0;
    }
    if (bits & VIA_SHEET_GROUP1)
        return LandTurret(wired ? 0 : 1);
    if (bits & VIA_SHEET_GROUP3)
        return LandTurret(wired ? 10 : 11);
    if (bits & VIA_SHEET_WIRING)
        return LandTurret(wired ? 8 : 9);
    return LandTurret(wired ? 5 : 6);
}

double CVia::SquareSide(int turret) const
{
    if (turret == 0)
        return -1.0;
    const tagTURRET entry = GetBoardTurret(turret);
    return entry.shape == TURRET_SQUARE ? entry.size1 : -1.0;
}

// ---------------------------------------------------------------------------------------------
// Bounds and hit tests

void CVia::CalcBoundingRect()
{
    CDRect bounds;
    // The via's own board answers; the current one only for a via on no board.
    DocumentServices* doc = GetBoardDocument();
    if (!doc)
        doc = CurrentDocument();
    if (doc) {
        m_dLandRadius = doc->CalcViaSize(m_nTurret, m_nWireLay, &m_dBoundsHalf, &m_dNetHalf);
        if (m_dBoundsHalf != 0.0)
            bounds = CDRect(m_ptPoint, m_dBoundsHalf);
    }
    SetBoundingRect(bounds);
    CopyAreaRect();
}

int CVia::CheckPoint(const CDPoint& p)
{
    GetBoundingRect();
    const double r = m_dLandRadius;
    if (r <= 0.0)
        return 0;
    if (!CDRect(m_ptPoint, r).PtInRect(p))
        return 0;
    if (m_ptPoint.NearCheckPoint(p, r))
        return 1;
    // The corners of a square unwired land lie outside the circle.
    const double m = 2.0 * std::max(std::fabs(p.x - m_ptPoint.x), std::fabs(p.y - m_ptPoint.y));
    for (const int i : {1, 11, 6}) {
        const double side = SquareSide(LandTurret(i));
        if (side >= 0.0 && m <= side)
            return 1;
    }
    return 0;
}

int CVia::CheckPoint(const CDRect& q)
{
    GetBoundingRect();
    const double r = m_dLandRadius;
    if (r <= 0.0)
        return 0;
    const CDRect square(m_ptPoint, r);
    if (!square.IntersectRect(&q))
        return 0;
    for (const int i : {1, 6, 11})
        if (SquareSide(LandTurret(i)) >= 0.0)
            return 1;
    CDRect overlap;
    overlap.IntersectRect(&q, &square);
    if (overlap.Width() >= r || overlap.Height() >= r)
        return 1;
    const CDPoint corners[4] = {CDPoint(q.left, q.top), CDPoint(q.right, q.top), CDPoint(q.right, q.bottom),
                                CDPoint(q.left, q.bottom)};
    for (const CDPoint& c : corners)
        if (c.GetLength(m_ptPoint) < r)
            return 1;
    return 0;
}

int CVia::CheckItemPoint(CDPoint& p, double d) const
{
    if (!m_ptPoint.NearCheckPoint(p, d))
        return 0;
    p = m_ptPoint;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Edit

bool CVia::EditVia(bool multiple, int* out)
{
    // A blank via for several vias stands in no sheet: the current board answers then.
    CSheet* sheet = GetSheet();
    DocumentServices* doc = sheet ? sheet->GetDocument() : nullptr;
    if (!doc)
        doc = CurrentDocument();

    ViaDialogData data;
    data.wireCount = doc ? std::max(doc->GetWireLayerCount(), 0) : 0;
    data.layers.assign(static_cast<std::size_t>(data.wireCount), -1);
    data.layerTypes.assign(static_cast<std::size_t>(data.wireCount), 0);
    for (int layer = 0; doc && layer < LAYER_MAX; ++layer) {
        CSheet* board = doc->GetBoardSheet(layer);
        if (!board || !(board->GetType() & 0x1))
            continue;
        const int pos = board->GetWLayer();
        if (pos >= 1 && pos <= data.wireCount && data.layers[pos - 1] < 0) {
            data.layers[pos - 1] = layer;
            data.layerTypes[pos - 1] = board->GetType();
        }
    }
    data.wiringMask = m_nWireLay;
    if (multiple) {
        data.multiple = 1;
    } else {
        data.viaNo = m_nTurret;
        data.holeKind = (m_nType & VIA_CHECK_HOLE) ? 4 : (m_nType & VIA_TEST_HOLE) ? 2 : 0;
    }

    ItemDialogs* dialogs = GetItemDialogs();
    if (!dialogs || !dialogs->RunViaDialog(data))
        return false;

    SetViaNo(data.viaNo, false);
    if (m_nTurret != 0 && data.wiringMask != m_nWireLay)
        MarkDirty();
    m_nWireLay = data.wiringMask;
    if (multiple) {
        // Nibble 15 leaves each via's hole kind; the caller applies it.
        ModifyType(data.holeKind, VIA_HOLE_KIND_MASK);
        if (out)
            *out = data.extra;
    } else {
        ModifyType(data.holeKind, VIA_TEST_HOLE | VIA_CHECK_HOLE);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Transforms

void CVia::Offset(const CDPoint& d)
{
    CItemBase::Offset(d);
    m_ptPoint += d;
}

void CVia::Rotate(const CDPoint& center, double angle)
{
    m_ptPoint.Rotate(center, angle);
    MarkDirty();
}

void CVia::MirrorX(double x)
{
    CItemBase::MirrorX(x);
    m_ptPoint.x = 2.0 * x - m_ptPoint.x;
}

void CVia::MirrorY(double y)
{
    CItemBase::MirrorY(y);
    m_ptPoint.y = 2.0 * y - m_ptPoint.y;
}

void CVia::Scale(const CDPoint& origin, const CDSize& factors)
{
    m_ptPoint.Scale(origin, factors);
}

// ---------------------------------------------------------------------------------------------
// Persistent forms

void CVia::Serialize(CArchive& ar, int version)
{
    if (ar.IsLoading())
        DataRead(ar, version);
    else
        DataWrite(ar, version);
}

void CVia::DataWrite(CArchive& ar, int version)
{
    ar << static_cast<std::uint32_t>(m_nID) << static_cast<std::int32_t>(m_nTurret);
    WriteDPoint(ar, m_ptPoint);
    ar << static_cast<std::int32_t>(m_nType) << static_cast<std::int32_t>(m_nWireLay);
    if (m_nTurret == 0)
        ar.Write(m_entry.data(), m_entry.size());
    if (version >= 6) {
        for (int k = 1; k <= VIA_WIRE_MAX; ++k)
            if (CheckWire(k))
                ar << m_layerIds[k - 1];
    }
}

void CVia::DataRead(CArchive& ar, int version)
{
    // Everything is read before anything is taken, so a record cut short leaves the via as it was.
    std::uint32_t id = 0;
    std::int32_t stored = 0, type = 0, mask = 0;
    tagDPOINT point{};
    ar >> id >> stored;
    ReadDPoint(ar, point);
    ar >> type >> mask;
    // Files before version 3 count via numbers from 0 one lower.
    const int number = version < 3 ? record::OldNumber(stored) : stored;
    std::array<std::uint8_t, 24> entry{};
    if (number == 0)
        ar.Read(entry.data(), entry.size());
    std::array<std::uint32_t, VIA_WIRE_MAX> ids{};
    if (version >= 6) {
        for (int k = 1; k <= VIA_WIRE_MAX; ++k)
            if (static_cast<std::uint32_t>(mask) & Bit(k))
                ar >> ids[k - 1];
    }

    m_nID = version < 6 ? 0 : id;
    m_ptPoint = point;
    m_nType = type;
    m_nWireLay = mask;
    m_layerIds = ids;
    if (auto* doc = dynamic_cast<DocumentServices*>(ar.GetDocument())) {
        if (version <= 5) {
            // Older files do not say where a via is wired: it joins the outer wiring layers.
            std::uint32_t repaired = static_cast<std::uint32_t>(m_nWireLay) | 1u;
            const int count = doc->GetWireLayerCount();
            if (IsWirePos(count))
                repaired |= Bit(count);
            m_nWireLay = static_cast<std::int32_t>(repaired);
        }
        SetViaNo(number, false);
        if (number == 0)
            m_entry = entry;
    } else {
        // Outside a board there is no via table: only a via's own entry means anything.
        SetViaNo(0, false);
        m_entry = entry;
        m_dLandRadius = 0.0;
        m_dBoundsHalf = 0.0;
    }
    MarkDirty();
}

void CVia::SerializeText(CArchive& ar)
{
    ar.WriteString(GetTextLines());
}

std::string CVia::GetTextLines() const
{
    return platform::Format("Via %.8f %.8f %d %d %d %d\n", m_ptPoint.x, m_ptPoint.y, m_nTurret, m_nType,
                            m_nWireLay, static_cast<std::int32_t>(m_nID));
}
