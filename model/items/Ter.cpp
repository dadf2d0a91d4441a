#include "model/items/Ter.h"

#include "model/geometry/Geometry.h"
#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <vector>

namespace {

TerNetHooks& NetHooks()
{
    static TerNetHooks hooks;
    return hooks;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

const TerNetHooks& GetTerNetHooks()
{
    return NetHooks();
}

void SetTerNetHooks(const TerNetHooks& hooks)
{
    NetHooks() = hooks;
}

ScopedTerNetHooks::ScopedTerNetHooks(const TerNetHooks& hooks) : m_previous(NetHooks())
{
    NetHooks() = hooks;
}

ScopedTerNetHooks::~ScopedTerNetHooks()
{
    NetHooks() = m_previous;
}

// ---------------------------------------------------------------------------------------------
// Construction and copying

CTer::CTer() : CItemBase(KIND_TER)
{
    m_NoText.SetParent(this);
}

CTer::CTer(const CTer& other) : CItemBase(KIND_TER)
{
    *this = other;
}

CTer::CTer(const CDPoint& point, const CText& number, int type) : CItemBase(KIND_TER)
{
    m_ptPoint = point;
    m_NoText = number;
    // The copied text would keep the given text's owner, which may not outlive this terminal.
    m_NoText.SetParent(this);
    m_nType = type;
    m_nNetID = 0;
    MarkDirty();
}

CTer::CTer(const char* line) : CItemBase(KIND_TER)
{
    double x = 0.0, y = 0.0;
    int type = 0, layer = -1;
    long netId = 0, id = 0;
    // Fields that the line lacks keep these values.
    platform::Scan(line ? line : "", "%*s %lf %lf %d %d %ld %ld", &x, &y, &type, &layer, &netId, &id);
    m_ptPoint = CDPoint(x, y);
    m_nType = type;
    m_nLayer = layer;
    m_nID = static_cast<std::uint32_t>(id);
    m_NoText.SetParent(this);
    m_NoText.SetName(std::string());
    m_NoText.SetID(m_nID);
    // The net id of a line is not kept: nets are bound again by the net list.
    m_nNetID = 0;
    MarkDirty();
}

CTer::~CTer()
{
    LeaveNetLines();
}

CTer& CTer::operator=(const CTer& other)
{
    if (this == &other)
        return *this;
    CItemBase::operator=(other);
    m_ptPoint = other.m_ptPoint;
    m_NoText = other.m_NoText;
    m_NoText.SetParent(this);
    m_nNetID = other.m_nNetID;
    m_rcItem = other.m_rcItem;
    if (m_netLines != other.m_netLines) {
        LeaveNetLines();
        for (CNetLine* group : other.m_netLines)
            AddTailNetLine(group);
    }
    return *this;
}

bool CTer::operator==(const CTer& other) const
{
    return m_ptPoint == other.m_ptPoint && m_NoText == other.m_NoText;
}

bool CTer::operator<(const CTer& other) const
{
    if (IsVirtualTer() != other.IsVirtualTer())
        return !IsVirtualTer();
    std::string prefix, otherPrefix;
    int number = 0, otherNumber = 0;
    GetNo(prefix, &number);
    other.GetNo(otherPrefix, &otherNumber);
    const int c = platform::MbsICmp(prefix, otherPrefix);
    if (c != 0)
        return c < 0;
    return number < otherNumber;
}

// ---------------------------------------------------------------------------------------------
// Point, number and ids

void CTer::SetPoint(const CDPoint& p)
{
    m_ptPoint = p;
    m_NoText.SetPoint(p);
    MarkDirty();
}

void CTer::SetID(std::uint32_t id)
{
    CItemBase::SetID(id);
    m_NoText.SetID(id);
}

void CTer::SetLayerNo(int layer)
{
    CItemBase::SetLayerNo(layer);
    m_NoText.SetLayerNo(layer);
}

int CTer::GetNo(std::string& prefix, int* number) const
{
    const std::string& no = m_NoText.GetName();
    prefix.clear();
    if (number)
        *number = 0;
    if (no.empty())
        return 0;
    // Digits are never the second byte of a double-byte character, so the run can be found
    // from the end byte by byte.
    std::size_t start = no.size();
    while (start > 0 && IsDigit(no[start - 1]))
        --start;
    prefix = no.substr(0, start);
    if (start < no.size() && number)
        *number = platform::Atoi(std::string_view(no).substr(start));
    return 1;
}

void CTer::SetNo(const CText& number)
{
    m_NoText = number;
    m_NoText.SetParent(this);
    MarkDirty();
}

void CTer::SetName(const char* line)
{
    m_NoText.SetName(line);
    m_NoText.SetParent(this);
    MarkDirty();
}

// ---------------------------------------------------------------------------------------------
// Copper groups

CNetLine* CTer::GetNextNetLine(NetLinePos& pos)
{
    CNetLine* group = *pos.m_it;
    ++pos.m_it;
    if (pos.m_it == m_netLines.end())
        pos = NetLinePos();
    return group;
}

CTer::NetLinePos CTer::FindNetLine(const CNetLine* group)
{
    const auto it = std::find(m_netLines.begin(), m_netLines.end(), group);
    return it == m_netLines.end() ? NetLinePos() : NetLinePos(it);
}

void CTer::AddTailNetLine(CNetLine* group)
{
    if (!group)
        return;
    const TerNetHooks& hooks = NetHooks();
    if (hooks.groupHolds && hooks.groupAdd && !hooks.groupHolds(group, this)) {
        hooks.groupAdd(group, this);
        return;
    }
    if (!FindNetLine(group))
        m_netLines.push_back(group);
}

void CTer::RemoveNetLine(const CNetLine* group)
{
    const auto it = std::find(m_netLines.begin(), m_netLines.end(), group);
    if (it != m_netLines.end())
        m_netLines.erase(it);
}

void CTer::LeaveNetLines()
{
    // Emptied first: a group letting the terminal go may call back into RemoveNetLine.
    NetLines groups;
    groups.swap(m_netLines);
    if (const auto remove = NetHooks().groupRemove)
        for (CNetLine* group : groups)
            remove(group, this);
}

// ---------------------------------------------------------------------------------------------
// Bounds and hit tests

void CTer::CalcBoundingRect()
{
    // The pad extent that a part sets does not take part.
    SetBoundingRect(HitSquare() | m_NoText.GetBoundingRect());
    CopyAreaRect();
}

int CTer::CheckPoint(const CDPoint& p)
{
    if (HitSquare().PtInRect(p))
        return 1;
    return m_NoText.CheckPoint(p);
}

int CTer::CheckPoint(const CDRect& r)
{
    if (HitSquare().IntersectRect(&r))
        return 1;
    return m_NoText.CheckPoint(r);
}

int CTer::CheckItemPoint(CDPoint& p) const
{
    if (!HitSquare().PtInRect(p))
        return 0;
    p = m_ptPoint;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Transforms

void CTer::Offset(const CDPoint& d)
{
    CItemBase::Offset(d);
    m_ptPoint += d;
    m_NoText.Offset(d);
    m_rcItem += d;
}

void CTer::Rotate(const CDPoint& center, double angle)
{
    m_ptPoint.Rotate(center, angle);
    CDPoint textPoint = m_NoText.GetPoint();
    textPoint.Rotate(center, angle);
    m_NoText.SetPoint(textPoint);
    m_rcItem.Rotate(center, angle);
    MarkDirty();
}

void CTer::MirrorX(double x)
{
    CItemBase::MirrorX(x);
    m_ptPoint.x = 2.0 * x - m_ptPoint.x;
    m_rcItem.MirrorX(x);
    m_NoText.MirrorX(x, false);
}

void CTer::MirrorY(double y)
{
    CItemBase::MirrorY(y);
    m_ptPoint.y = 2.0 * y - m_ptPoint.y;
    m_rcItem.MirrorY(y);
    m_NoText.MirrorY(y, false);
}

void CTer::Scale(const CDPoint& origin, const CDSize& factors)
{
    m_ptPoint.Scale(origin, factors);
}

// ---------------------------------------------------------------------------------------------
// Persistent forms

void CTer::Serialize(CArchive& ar, int version)
{
    if (ar.IsLoading()) {
        DataRead(ar, version);
    } else {
        DataWrite(ar, version);
        m_NoText.Serialize(ar, version);
    }
    m_NoText.SetParent(this);
}

void CTer::DataWrite(CArchive& ar, int version)
{
    // Group ids are written only where a loader can link them again: a board file of version 6
    // and a terminal that belongs somewhere. Without the group code no id can be known.
    const auto idOf = NetHooks().groupId;
    const bool links = version > 5 && !m_netLines.empty() && m_pParent && idOf;
    ModifyType(links ? TER_HAS_NETLINE : 0, TER_HAS_NETLINE);

    WriteDPoint(ar, m_ptPoint);
    ar << static_cast<std::int32_t>(m_nType) << static_cast<std::uint32_t>(m_nID)
       << static_cast<std::int32_t>(m_nLayer);
    if (version > 5 && (m_nType & TER_HAS_NETLINE)) {
        ar << static_cast<std::int32_t>(m_netLines.size());
        for (const CNetLine* group : m_netLines)
            ar << idOf(group);
    }
}

void CTer::DataRead(CArchive& ar, int version)
{
    // The terminal's fields, its group ids and its number text are all read before anything is
    // taken, so a record cut short leaves the terminal and the side buffer as they were.
    tagDPOINT point{};
    std::int32_t type = 0, layer = 0;
    std::uint32_t id = 0;
    ReadDPoint(ar, point);
    ar >> type >> id >> layer;

    const bool hasLinks = version > 5 && (type & TER_HAS_NETLINE);
    std::vector<std::uint32_t> groupIds;
    if (hasLinks) {
        std::int32_t count = 0;
        ar >> count;
        if (count < 0)
            throw ArchiveError(ArchiveError::BadFormat, "terminal: negative copper-group count");
        if (static_cast<std::size_t>(count) > ar.Remaining() / 4)
            throw ArchiveError(ArchiveError::EndOfFile, "terminal: copper-group ids cut short");
        groupIds.resize(static_cast<std::size_t>(count));
        for (std::uint32_t& g : groupIds)
            ar >> g;
    }

    CText number;
    number.Serialize(ar, version);

    // A terminal that belongs to a sheet or a part hands its group ids on, in reading order, for
    // the links to be made once the whole board is loaded. A terminal without an owner drops
    // them: nobody would link it.
    if (hasLinks && m_pParent) {
        CArchive side(CArchive::store);
        side << static_cast<std::int32_t>(groupIds.size());
        for (const std::uint32_t g : groupIds)
            side << g;
        const std::vector<std::uint8_t>& bytes = side.Data();
        std::vector<std::uint8_t>& buffer = ar.SideBuffer();
        buffer.insert(buffer.end(), bytes.begin(), bytes.end());
    }

    m_ptPoint = point;
    m_nType = type;
    m_nID = id;
    m_nLayer = layer;
    m_NoText = number;
    m_NoText.SetParent(this);
    MarkDirty();
}

void CTer::SerializeText(CArchive& ar)
{
    ar.WriteString(GetTextLines());
}

std::string CTer::GetTextLines()
{
    if (IsVirtualTer())
        return std::string();
    std::string out =
        platform::Format("Ter %.8f %.8f %d %d %d %d\n", m_ptPoint.x, m_ptPoint.y, m_nType, m_nLayer,
                         static_cast<std::int32_t>(m_nNetID), static_cast<std::int32_t>(m_nID));
    out += "No ";
    out += m_NoText.GetTextLines(0);
    return out;
}
