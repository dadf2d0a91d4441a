// Text editing through the text dialog, numbering, search and property texts.

#include "model/items/Text.h"
#include "model/services/DocumentServices.h"
#include "model/services/FrameServices.h"
#include "model/services/ItemDialogs.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr double kRadToDeg = 180.0 / std::numbers::pi;

// Full-width digits: lead byte 0x82, trail bytes 0x4F ('0') to 0x58 ('9').
constexpr unsigned char kFullWidthLead = 0x82;
constexpr unsigned char kFullWidthZero = 0x4F;
constexpr int kFullWidthOffset = 31; // trail byte - ASCII digit

bool IsFullWidthDigit(const platform::Cp932Char& c)
{
    return c.IsDoubleByte() && (c.code >> 8) == kFullWidthLead && (c.code & 0xFF) >= kFullWidthZero &&
           (c.code & 0xFF) <= kFullWidthZero + 9;
}

std::string ToFullWidth(const std::string& ascii)
{
    std::string out;
    for (const char c : ascii) {
        out += static_cast<char>(kFullWidthLead);
        out += static_cast<char>(c + kFullWidthOffset);
    }
    return out;
}

std::string Trim(const std::string& s)
{
    const char* blanks = " \t\r\n";
    const std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

// Whether pattern stands in s starting at a character boundary.
bool ContainsAtCharacter(const std::string& s, const std::string& pattern)
{
    if (pattern.empty())
        return true;
    for (const platform::Cp932Char c : platform::Chars(s)) {
        if (s.compare(c.pos, pattern.size(), pattern) == 0)
            return true;
    }
    return false;
}

// Origin code -> dialog alignment pair (horizontal 0 left, 1 centre, 2 right; vertical 0 top,
// 1 middle, 2 bottom); unknown codes as bottom left.
void OriginToAlign(int origin, int& h, int& v)
{
    switch (origin) {
    case TEXT_ORG_TOP_LEFT:
        h = 0, v = 0;
        break;
    case TEXT_ORG_MIDDLE_LEFT:
        h = 0, v = 1;
        break;
    case TEXT_ORG_TOP_CENTER:
        h = 1, v = 0;
        break;
    case TEXT_ORG_CENTER:
        h = 1, v = 1;
        break;
    case TEXT_ORG_BOTTOM_CENTER:
        h = 1, v = 2;
        break;
    case TEXT_ORG_TOP_RIGHT:
        h = 2, v = 0;
        break;
    case TEXT_ORG_MIDDLE_RIGHT:
        h = 2, v = 1;
        break;
    case TEXT_ORG_BOTTOM_RIGHT:
        h = 2, v = 2;
        break;
    default:
        h = 0, v = 2;
        break;
    }
}

int AlignToOrigin(int h, int v)
{
    static const int codes[3][3] = {{TEXT_ORG_TOP_LEFT, TEXT_ORG_MIDDLE_LEFT, TEXT_ORG_BOTTOM_LEFT},
                                    {TEXT_ORG_TOP_CENTER, TEXT_ORG_CENTER, TEXT_ORG_BOTTOM_CENTER},
                                    {TEXT_ORG_TOP_RIGHT, TEXT_ORG_MIDDLE_RIGHT, TEXT_ORG_BOTTOM_RIGHT}};
    if (h < 0 || h > 2 || v < 0 || v > 2)
        return TEXT_ORG_BOTTOM_LEFT;
    return codes[h][v];
}

tagTEXTSIZE TextSizeEntry(int index)
{
    FrameServices* frame = GetFrameServices();
    return frame ? frame->GetTextSize(index) : tagTEXTSIZE{};
}

} // namespace

// --- Origin and numbering ---

void CText::SetOrg(int keyOrCode)
{
    if (!IsDisp() || m_strText.empty())
        return;
    // Numeric-keypad keys 1..9 pick the origin at the same place of the keypad.
    static const int keypad[9] = {TEXT_ORG_BOTTOM_LEFT, TEXT_ORG_BOTTOM_CENTER, TEXT_ORG_BOTTOM_RIGHT,
                                  TEXT_ORG_MIDDLE_LEFT, TEXT_ORG_CENTER,        TEXT_ORG_MIDDLE_RIGHT,
                                  TEXT_ORG_TOP_LEFT,    TEXT_ORG_TOP_CENTER,    TEXT_ORG_TOP_RIGHT};
    const int code = (keyOrCode >= 97 && keyOrCode <= 105) ? keypad[keyOrCode - 97] : keyOrCode;
    ModifyType(code & TEXT_ORIGIN_MASK, TEXT_ORIGIN_MASK);
}

void CText::IncName(int step)
{
    if (step == 0 || m_strText.empty() || m_strText.find('?') != std::string::npos)
        return;
    const std::string before = m_strText;
    std::string s = m_strText;

    // A trailing overline marker stays at the end.
    bool tilde = false;
    std::size_t lastPos = platform::LastCharPos(s);
    if (platform::CharAt(s, lastPos).code == '~') {
        s.erase(lastPos);
        tilde = true;
    }

    // The trailing run of digits: full-width when the string ends in a double-byte character.
    bool fullWidth = false;
    if (s.size() > 1) {
        lastPos = platform::LastCharPos(s);
        fullWidth = platform::CharAt(s, lastPos).IsDoubleByte();
    }
    std::size_t runStart = s.size();
    std::string digits; // ASCII form of the run
    bool inRun = false;
    for (const platform::Cp932Char c : platform::Chars(s)) {
        const bool digit =
            fullWidth ? IsFullWidthDigit(c) : (!c.IsDoubleByte() && c.code >= '0' && c.code <= '9');
        if (!digit) {
            inRun = false;
            digits.clear();
            continue;
        }
        if (!inRun) {
            runStart = c.pos;
            inRun = true;
        }
        digits +=
            fullWidth ? static_cast<char>((c.code & 0xFF) - kFullWidthOffset) : static_cast<char>(c.code);
    }
    if (!inRun)
        runStart = s.size();

    std::string number;
    if (!digits.empty()) {
        // The value saturates far beyond any real name rather than overflowing.
        long long value = 0;
        for (const char d : digits)
            value = value < 100000000000000000LL ? value * 10 + (d - '0') : value;
        const long long next = value + step;
        if (next < 0) {
            number.assign(digits.size() - 1, '0');
        } else {
            number = platform::Format("%lld", next);
            if (digits[0] == '0' && number.size() < digits.size())
                number.insert(0, digits.size() - number.size(), '0');
        }
    } else {
        if (step < 0)
            return;
        number = platform::Format("%d", step);
    }
    s.erase(runStart);
    s += fullWidth ? ToFullWidth(number) : number;
    if (tilde)
        s += '~';
    if (s.empty() || s == "~" || s == "~~")
        s = before;
    if (s != m_strText)
        SetName(s);
}

// --- Search ---

int CText::Find(CDPoint& found, const std::string& pattern, int matchCase, int whole, int hidden) const
{
    if (m_strText.empty())
        return 0;
    if (!IsDisp() && !hidden)
        return 0;
    std::string text = m_strText;
    std::string key = pattern;
    if (!matchCase) {
        text = platform::ToUpperAscii(text);
        key = platform::ToUpperAscii(key);
    }
    const bool match = whole ? text == key : ContainsAtCharacter(text, key);
    if (!match)
        return 0;
    found = m_ptPoint;
    return 1;
}

// --- Property texts ("&name&value") ---

bool CText::IsPropaty() const
{
    const std::string& s = m_strText;
    if (s.size() <= 3 || s[0] != '&')
        return false;
    const std::size_t second = s.find('&', 1);
    return second != std::string::npos && second >= 2 && second < s.size() - 1;
}

std::string CText::GetPropatyName() const
{
    if (!IsPropaty())
        return std::string();
    const std::size_t second = m_strText.find('&', 1);
    return Trim(m_strText.substr(1, second - 1));
}

std::string CText::GetPropatyVal() const
{
    if (!IsPropaty())
        return std::string();
    const std::size_t second = m_strText.find('&', 1);
    return Trim(m_strText.substr(second + 1));
}

void CText::SetPropaty(const std::string& name, const std::string& value)
{
    SetName("&" + Trim(name) + "&" + Trim(value));
    Disp(0);
}

// --- Text dialog ---

void CText::FillDialog(TextDialogData& data) const
{
    data.text = m_strText;
    data.displayed = IsDisp() != 0;
    data.printable = IsPrint() != 0;
    double deg = m_dAngle * kRadToDeg;
    if (deg > 180.0)
        deg -= 360.0;
    data.angleDeg = deg;
    data.mirror = IsMirror() != 0;
    data.x = m_ptPoint.x;
    data.y = m_ptPoint.y;
    data.turret = m_nTurret;
    OriginToAlign(GetOrign(), data.hAlign, data.vAlign);
    data.ownFont = IsSPFont();
    data.logFont = m_font.ToBytes();
    data.fontKind = IsStroke() ? 1 : 0;
    data.frame = IsFrame();
    const double dist = GetFrameDist();
    data.frameDistance = dist != 0.0 ? dist : 0.5;
}

void CText::ApplyStrokeChoice(const TextDialogData& data)
{
    m_font.lfHeight = TruncScaled(data.strokeHeight, 100.0);
    m_font.lfWidth = TruncScaled(data.strokeWidth, 100.0);
    m_font.lfWeight = TruncScaled(data.strokeSpace, 100.0);
    m_font.lfCharSet = static_cast<std::uint8_t>(data.sizeTable);
    m_font.lfOutPrecision = 32;
    m_font.lfClipPrecision = 32;
    m_font.lfPitchAndFamily = 0;
    m_font.SetFaceName("");
    SetTurretNo(data.turret, false);
}

int CText::InputText(DocumentServices* doc, bool flag, int multi)
{
    ItemDialogs* dialogs = GetItemDialogs();
    if (!dialogs)
        return 0;

    TextDialogData data;
    FillDialog(data);
    if (doc) {
        CDPoint user = m_ptPoint;
        doc->ToUserOrigin(user, 0);
        data.x = user.x;
        data.y = user.y;
    }
    data.flag = flag ? 1 : 0;
    data.multiEdit = multi != 0;
    for (int i = 0; i < static_cast<int>(data.sizes.size()); ++i)
        data.sizes[i] = TextSizeEntry(i);
    data.ttSize = m_nSize * 0.01;
    if (!IsSPFont()) {
        data.strokeHeight = m_font.lfHeight * 0.01;
        data.strokeWidth = m_font.lfWidth * 0.01;
        data.strokeSpace = m_font.lfWeight * 0.01;
        data.sizeTable = m_font.lfCharSet;
    } else {
        data.strokeHeight = data.sizes[0].height;
        data.strokeWidth = data.sizes[0].width;
        data.strokeSpace = data.sizes[0].space;
        data.sizeTable = 0;
    }
    if (data.strokeSpace <= 0.0)
        data.strokeSpace = data.strokeWidth;
    if (multi)
        data.frameDistance = 0.0;

    if (!dialogs->RunTextDialog(data))
        return 0;

    const int frameBits = (TruncScaled(data.frameDistance, 10.0) & 0x7F) << TEXT_FRAME_DIST_SHIFT;
    if (multi) {
        // A template for the selected texts: the sheet reads the choices from its y coordinate.
        m_strText = data.text;
        m_nType = frameBits;
        if (data.angleChoice != 7)
            m_dAngle = data.angleDeg * kDegToRad;
        const int choices = (data.hAlign & 3) | (data.vAlign & 3) << 2 | (data.angleChoice & 7) << 4 |
                            (data.printableChoice & 3) << 7 | (data.mirrorChoice & 3) << 9 |
                            (data.frame & 3) << 11 | (data.fontKind & 3) << 13 | data.sizeTable << 15;
        m_ptPoint.y = choices;
        if (data.fontKind == 0) {
            m_nSize = TruncScaled(data.ttSize, 100.0);
            if (data.ownFont == 0)
                m_font = LOGFONTA();
            else if (data.ownFont == 2)
                m_font.lfHeight = -1;
            else
                m_font = LOGFONTA::FromBytes(data.logFont);
        } else if (data.fontKind == 1) {
            ApplyStrokeChoice(data);
        }
        MarkDirty();
        return 1;
    }

    m_strText = data.text;
    int type = (m_nType & ~TEXT_ORIGIN_MASK) | AlignToOrigin(data.hAlign, data.vAlign);
    type &= ~(TEXT_HIDDEN | TEXT_FRAME | TEXT_MIRROR);
    if (!data.displayed)
        type |= TEXT_HIDDEN;
    if (data.mirror)
        type |= TEXT_MIRROR;
    if (data.frame)
        type = (type & ~TEXT_FRAME_DIST_MASK) | TEXT_FRAME | frameBits;
    else
        type &= ~TEXT_FRAME_DIST_MASK;
    m_nType = type;
    if (data.fontKind == 1) {
        ApplyStrokeChoice(data);
        m_nType = (m_nType | TEXT_STROKE) & ~TEXT_OWN_FONT;
    } else {
        m_nSize = TruncScaled(data.ttSize, 100.0);
        SetTurretNo(0, false);
        m_nType &= ~TEXT_STROKE;
        if (data.ownFont) {
            m_nType |= TEXT_OWN_FONT;
            m_font = LOGFONTA::FromBytes(data.logFont);
        } else {
            m_nType &= ~TEXT_OWN_FONT;
            m_font = LOGFONTA();
        }
    }
    Print(data.printable ? 1 : 0);

    CDPoint position(data.x, data.y);
    if (doc)
        doc->FromUserOrigin(position, 0);
    m_dAngle = data.angleDeg * kDegToRad;
    MarkDirty();
    if (std::fabs(position.x - m_ptPoint.x) <= GEOM_TOLERANCE &&
        std::fabs(position.y - m_ptPoint.y) <= GEOM_TOLERANCE)
        return 1;
    m_ptPoint = position;
    return 2;
}

void CText::SetAttribute()
{
    ItemDialogs* dialogs = GetItemDialogs();
    if (!dialogs)
        return;
    TextDialogData data;
    FillDialog(data);
    if (IsStroke()) {
        data.strokeHeight = m_font.lfHeight * 0.01;
        data.strokeWidth = m_font.lfWidth * 0.01;
        data.strokeSpace = m_font.lfWeight * 0.01;
        data.sizeTable = m_font.lfCharSet;
        if (data.strokeSpace <= 0.0)
            data.strokeSpace = data.strokeWidth;
    } else {
        data.ttSize = m_nSize * 0.01;
    }
    dialogs->SaveTextAttribute(data);
}
