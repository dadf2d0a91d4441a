#include "model/items/Text.h"

#include "model/geometry/Geometry.h"
#include "model/items/RecordSupport.h"
#include "model/services/FrameServices.h"
#include "platform/Archive.h"
#include "platform/Numbers.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr double kRadToDeg = 180.0 / std::numbers::pi;

// The text-size table has entries 0..16; any other number is taken as "none".
constexpr int kTextSizeEntries = 17;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

CText::CText() : CItemBase(KIND_TEXT)
{
    m_nType = TEXT_ORG_BOTTOM_LEFT;
}

CText::CText(const CText& other) : CItemBase(other)
{
    m_ptPoint = other.m_ptPoint;
    m_strText = other.m_strText;
    m_nSize = other.m_nSize;
    m_font = other.m_font;
}

CText::CText(const std::string& string, const CDPoint& position, int turret) : CItemBase(KIND_TEXT)
{
    m_nType = TEXT_ORG_BOTTOM_LEFT;
    m_ptPoint = position;
    if (turret != 0) {
        SetTurretNo(turret, false);
        m_nType |= TEXT_STROKE;
    }
    m_nSize = 50;
    SetName(string);
    m_font = LOGFONTA();
}

CText::CText(const char* line) : CItemBase(KIND_TEXT)
{
    m_nType = TEXT_ORG_BOTTOM_LEFT;
    SetName(line);
}

CText::~CText() = default;

CText& CText::operator=(const CText& other)
{
    if (this == &other)
        return *this;
    CItemBase::operator=(other);
    m_ptPoint = other.m_ptPoint;
    m_strText = other.m_strText;
    m_nSize = other.m_nSize;
    m_font = other.m_font;
    return *this;
}

bool CText::operator==(const CText& other) const
{
    if (m_strText.empty() && other.m_strText.empty())
        return true;
    // The turret is the pen of a stroke text. Any other text has none: its text line reads it as
    // 0, its record leaves it as it was and its first bounds make a negative one 0, so it would
    // tell equal texts apart after a copy through the text form or after drawing.
    return m_ptPoint == other.m_ptPoint && m_strText == other.m_strText &&
           ((m_nType ^ other.m_nType) & ~TEXT_SELECTED) == 0 && m_nSize == other.m_nSize &&
           (!(m_nType & TEXT_STROKE) || m_nTurret == other.m_nTurret);
}

bool CText::operator<(const CText& other) const
{
    const double a = m_dAngle;
    const double b = other.m_dAngle;
    if (std::fabs(m_ptPoint.y - other.m_ptPoint.y) > GEOM_TOLERANCE)
        return m_ptPoint.y + a > other.m_ptPoint.y + b;
    return m_ptPoint.x + a < other.m_ptPoint.x + b;
}

void CText::SetName(const std::string& string)
{
    m_strText = string;
    MarkDirty();
}

void CText::SetName(const char* line)
{
    if (!line || !*line)
        return;
    const std::string s(line);
    const std::size_t first = s.find('"');
    if (first == std::string::npos) {
        SetName(s);
        return;
    }
    // A double quote is never the trail byte of a double-byte character, so plain byte searches
    // find the quotes; the string is what stands between the outer ones.
    const std::size_t last = s.rfind('"');
    m_strText = last > first ? s.substr(first + 1, last - first - 1) : std::string();

    // Values that a short line does not carry keep what the text had; angle and turret become 0.
    double x = m_ptPoint.x;
    double y = m_ptPoint.y;
    int size = m_nSize;
    int type = m_nType;
    double angle = 0.0;
    int turret = 0;
    int layer = m_nLayer;
    long id = static_cast<std::int32_t>(m_nID);
    if (last + 2 <= s.size())
        platform::Scan(s.c_str() + last + 2, "%lf %lf %d %d %lf %d %d %ld", &x, &y, &size, &type, &angle,
                       &turret, &layer, &id);
    m_ptPoint = CDPoint(x, y);
    m_nSize = size;
    m_nType = type & ~TEXT_SELECTED;
    m_nLayer = layer;
    m_nID = static_cast<std::uint32_t>(id);
    SetTurretNo((type & TEXT_STROKE) ? turret : 0, false);
    m_dAngle = angle * kDegToRad;
    MarkDirty();
}

void CText::SetFont(const char* line)
{
    if (!(m_nType & TEXT_HAS_FONT_RECORD) || !line)
        return;
    m_font = LOGFONTA();
    const std::string s(line);
    const std::size_t first = s.find('"');
    if (first == std::string::npos) {
        m_font.SetFaceName(s);
        MarkDirty();
        return;
    }
    const std::size_t last = s.rfind('"');
    m_font.SetFaceName(last > first ? s.substr(first + 1, last - first - 1) : std::string());

    std::string rest = last + 2 <= s.size() ? s.substr(last + 2) : std::string();
    rest += ' ';
    // Eleven numbers in the written order; missing ones stay 0.
    std::int32_t values[11] = {};
    int count = 0;
    std::size_t pos = 0;
    while (count < 11 && pos < rest.size()) {
        while (pos < rest.size() && IsBlank(rest[pos]))
            ++pos;
        if (pos >= rest.size())
            break;
        std::size_t end = pos;
        while (end < rest.size() && !IsBlank(rest[end]))
            ++end;
        values[count++] = platform::Atoi(std::string_view(rest).substr(pos, end - pos));
        pos = end;
    }
    m_font.lfHeight = values[0];
    m_font.lfWidth = values[1];
    m_font.lfWeight = values[2];
    m_font.lfEscapement = values[3];
    m_font.lfOrientation = values[4];
    const int style = values[5];
    m_font.lfStrikeOut = (style & 1) ? 1 : 0;
    m_font.lfUnderline = (style & 2) ? 1 : 0;
    m_font.lfItalic = (style & 4) ? 1 : 0;
    m_font.lfCharSet = static_cast<std::uint8_t>(values[6]);
    m_font.lfOutPrecision = static_cast<std::uint8_t>(values[7]);
    m_font.lfClipPrecision = static_cast<std::uint8_t>(values[8]);
    m_font.lfQuality = static_cast<std::uint8_t>(values[9]);
    m_font.lfPitchAndFamily = static_cast<std::uint8_t>(values[10]);
    MarkDirty();
}

void CText::SetFontRecord(const LOGFONTA& font)
{
    m_font = font;
    MarkDirty();
}

std::int32_t CText::TruncScaled(double value, double scale)
{
    const double product = value * scale;
    const double nearest = std::round(product);
    if (std::fabs(product - nearest) <= std::fabs(product) * 1e-9)
        return platform::TruncateToInt32(nearest);
    return platform::TruncateToInt32(product);
}

void CText::SetSize(int size)
{
    m_nSize = size;
    MarkDirty();
}

void CText::SetOrign(int origin)
{
    ModifyType(origin & TEXT_ORIGIN_MASK, TEXT_ORIGIN_MASK);
}

void CText::Disp(int show)
{
    ModifyType(show ? 0 : TEXT_HIDDEN, TEXT_HIDDEN);
}

void CText::Print(int print)
{
    ModifyType(print ? 0 : TEXT_NOT_PRINTABLE, TEXT_NOT_PRINTABLE);
    if (IsSPFont())
        m_font.lfStrikeOut = print ? 0 : 1;
}

void CText::SetPoint(const CDPoint& p)
{
    Offset(CDPoint(p.x - m_ptPoint.x, p.y - m_ptPoint.y));
}

// --- Persistent forms ---

void CText::Serialize(CArchive& ar, int version)
{
    if (ar.IsLoading())
        DataRead(ar, version);
    else
        DataWrite(ar);
}

void CText::DataWrite(CArchive& ar)
{
    m_nType &= ~TEXT_SELECTED;
    ar << static_cast<std::uint32_t>(m_nID);
    ar << static_cast<std::int32_t>(m_nTurret < 0 ? 0 : m_nTurret);
    ar << static_cast<std::int32_t>(m_nLayer);
    ar << static_cast<std::int32_t>(0);
    ar << m_strText;
    WriteDPoint(ar, m_ptPoint);
    ar << static_cast<std::int32_t>(m_nType);
    ar << m_dAngle;
    ar << static_cast<std::int32_t>(m_nSize);
    for (const CDPoint& p : m_ptArea)
        WriteDPoint(ar, p);
    if (m_nType & TEXT_HAS_FONT_RECORD) {
        const LOGFONTA::Bytes bytes = m_font.ToBytes();
        ar.Write(bytes.data(), bytes.size());
    }
}

void CText::DataRead(CArchive& ar, int version)
{
    // Everything is read before anything is taken, so a record cut short (ArchiveError) leaves
    // the text as it was.
    std::uint32_t id = 0;
    std::int32_t turret = 0, layer = 0, reserved = 0, type = 0, size = 0;
    std::string string;
    tagDPOINT position{};
    double angle = 0.0;
    tagDPOINT area[4]{};
    ar >> id >> turret >> layer >> reserved;
    ar >> string;
    ReadDPoint(ar, position);
    ar >> type >> angle >> size;
    for (tagDPOINT& p : area)
        ReadDPoint(ar, p);
    LOGFONTA::Bytes font{};
    const bool hasFont = (type & TEXT_HAS_FONT_RECORD) != 0;
    if (hasFont)
        ar.Read(font.data(), font.size());

    if (version <= 2) {
        id = 0;
        turret = record::OldNumber(turret);
    }
    if (turret < 0 || turret > TURRET_MAX)
        turret = 0;

    m_nID = id;
    m_nLayer = layer;
    m_strText = std::move(string);
    m_ptPoint = position;
    m_nType = type;
    m_nSize = size;
    for (int i = 0; i < 4; ++i)
        m_ptArea[i] = area[i];
    if (hasFont)
        m_font = LOGFONTA::FromBytes(font);

    if (m_nType & TEXT_STROKE) {
        const int table = m_font.lfCharSet;
        if (table > 0 && table < kTextSizeEntries) {
            if (GetBoardDocument() || GetFrameServices()) {
                const tagTEXTSIZE entry = GetBoardTextSize(table);
                m_font.lfHeight = TruncScaled(entry.height, 100.0);
                m_font.lfWidth = TruncScaled(entry.width, 100.0);
                m_font.lfWeight = TruncScaled(entry.space, 100.0);
            }
        }
        SetTurretNo(turret, false);
    }
    m_nType &= ~TEXT_SELECTED;
    if (!m_strText.empty()) {
        NormalizeAngle(angle);
        m_dAngle = angle;
        MarkDirty();
    }
}

std::string CText::GetTextLines(int keyword)
{
    m_nType &= ~TEXT_SELECTED;
    std::string out;
    if (keyword)
        out += "Text ";
    // The string stands between the quotes as it is; nothing is escaped.
    out += '"';
    out += m_strText;
    out += '"';
    out += platform::Format(" %lf %lf %d %d %lf %d %d %ld\n", m_ptPoint.x, m_ptPoint.y, m_nSize, m_nType,
                            m_dAngle * kRadToDeg, m_nTurret, m_nLayer,
                            static_cast<long>(static_cast<std::int32_t>(m_nID)));
    if (m_nType & TEXT_HAS_FONT_RECORD) {
        const int style =
            (m_font.lfItalic ? 4 : 0) + (m_font.lfUnderline ? 2 : 0) + (m_font.lfStrikeOut ? 1 : 0);
        out += "Font \"";
        out += m_font.FaceName();
        out += '"';
        out += platform::Format(" %d %d %d %d %d %d %d %d %d %d %d\n", m_font.lfHeight, m_font.lfWidth,
                                m_font.lfWeight, m_font.lfEscapement, m_font.lfOrientation, style,
                                m_font.lfCharSet, m_font.lfOutPrecision, m_font.lfClipPrecision,
                                m_font.lfQuality, m_font.lfPitchAndFamily);
    }
    return out;
}

void CText::SerializeText(CArchive& ar, int keyword)
{
    ar.WriteString(GetTextLines(keyword));
}
