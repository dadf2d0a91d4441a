// Drawing a layer sheet, and the strings that texts print with their print keys replaced.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/services/DocumentServices.h"
#include "model/services/FrameServices.h"
#include "model/sheet/Sheet.h"
#include "model/sheet/SheetIndex.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/DrawContext.h"
#include "platform/Numbers.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kFilledClass = 4;
constexpr int kMirroredText = 0x80;
constexpr int kSecondList = 0x40;
constexpr int kViaLayers = 0x1 | 0x10000 | 0x100000;

// Drawing modes of the frame.
constexpr int kModeColourCopy = -3;
constexpr int kModeMonoCopy = -2;
constexpr int kModeGreyPrint = 8;

void ReplaceAll(std::string& s, const std::string& key, const std::string& value)
{
    if (key.empty())
        return;
    for (std::size_t at = s.find(key); at != std::string::npos; at = s.find(key, at + value.size()))
        s.replace(at, key.size(), value);
}

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    return platform::ToUpperAscii(a) == b;
}

// Converts text of the given code set to CP932, dropping what CP932 cannot hold.
std::string ToCp932(const std::string& text, const char* codeset)
{
    if (text.empty())
        return text;
    iconv_t cd = iconv_open("CP932", codeset && *codeset ? codeset : "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return platform::Utf8ToCp932(text).value_or(std::string());
    std::string out(text.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1))
            break;
        // A character CP932 cannot hold (or a broken sequence) is dropped a byte at a time.
        if ((errno != EILSEQ && errno != EINVAL) || inLeft == 0)
            break;
        ++in;
        --inLeft;
    }
    out.resize(out.size() - outLeft);
    iconv_close(cd);
    return out;
}

// The user's time locale (LC_ALL, LC_TIME, LANG in that order), with the matching code set.
locale_t UserTimeLocale()
{
    const char* name = nullptr;
    for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value) {
            name = value;
            break;
        }
    }
    locale_t loc = name ? newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name, static_cast<locale_t>(0)) : nullptr;
    if (!loc)
        loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

bool PassedConversion(char c)
{
    return c != '\0' && std::strchr("aAbBcdHIjmMpSUwWxXyYZ%", c) != nullptr;
}

bool NumericConversion(char c)
{
    return std::strchr("dHIjmMSUwWy", c) != nullptr;
}

} // namespace

// A time formatted by a pattern typed on the board: only the listed conversions pass ('#' drops
// leading zeros); anything else is copied as it stands. The result is CP932.
static std::string FormatBoardTime(const std::tm& time, const std::string& pattern)
{
    locale_t loc = UserTimeLocale();
    const char* codeset = loc ? nl_langinfo_l(CODESET, loc) : "UTF-8";
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const platform::Cp932Char ch = platform::CharAt(pattern, i);
        if (ch.IsDoubleByte() || pattern[i] != '%') {
            out.append(pattern, i, ch.width);
            i += ch.width;
            continue;
        }
        const bool dropZeros = i + 1 < pattern.size() && pattern[i + 1] == '#';
        const std::size_t at = i + (dropZeros ? 2 : 1);
        const char conversion = at < pattern.size() ? pattern[at] : '\0';
        if (!PassedConversion(conversion)) {
            // Copied as it stands: the '%' (and '#') now, what follows as ordinary text.
            out.append(pattern, i, at - i);
            i = at;
            continue;
        }
        const char directive[3] = {'%', conversion, '\0'};
        std::array<char, 256> buffer{};
        const std::size_t n = loc ? strftime_l(buffer.data(), buffer.size(), directive, &time, loc)
                                  : std::strftime(buffer.data(), buffer.size(), directive, &time);
        std::string piece(buffer.data(), n);
        if (dropZeros && NumericConversion(conversion)) {
            while (piece.size() > 1 && piece.front() == '0')
                piece.erase(0, 1);
        }
        out += ToCp932(piece, codeset);
        i = at + 1;
    }
    if (loc)
        freelocale(loc);
    return out;
}

// The program user's full name from the password database (its comment field up to the first
// comma), else the login name; in CP932 without the characters it cannot hold.
static std::string AuthorName()
{
    std::string name;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        if (found->pw_gecos)
            name = std::string(found->pw_gecos).substr(0, std::string(found->pw_gecos).find(','));
        if (name.empty() && found->pw_name)
            name = found->pw_name;
    }
    if (name.empty()) {
        if (const char* login = getlogin())
            name = login;
        else if (const char* user = std::getenv("USER"))
            name = user;
    }
    return ToCp932(name, "UTF-8");
}

COLORREF CSheet::GetColor()
{
    FrameServices* frame = GetFrameServices();
    const int mode = frame ? frame->GetDrawMode() : 0;
    switch (mode) {
    case 0:
    case kModeColourCopy:
        return m_layer.color;
    case kModeGreyPrint:
        if (m_pDoc && m_pDoc->IsGreyPrint()) {
            if ((m_layer.color & 0xFFFFFF) != kWhite)
                return m_layer.color;
            const int level = m_pDoc->GetGreyLevel() & 0xFF;
            return RGB(level, level, level);
        }
        return kBlack;
    case kModeMonoCopy:
        return kBlack;
    default:
        return kWhite;
    }
}

void CSheet::DrawSheet(platform::DrawContext* dc)
{
    if (!dc || !m_pDoc)
        return;
    CSheet* boardViaParts = m_pDoc->GetBoardSheet(LAYER_MAX);
    CSheet* selectionViaParts = m_pDoc->GetSelectionSheet(LAYER_MAX);
    if (IsEmpty() && (!boardViaParts || boardViaParts->IsEmpty()) &&
        (!selectionViaParts || selectionViaParts->IsEmpty()))
        return;

    const bool printing = dc->IsPrinting();
    if (FrameServices* frame = GetFrameServices(); frame && frame->GetDrawMode() >= 0) {
        if (printing)
            frame->SetDrawMode(m_pDoc->IsGreyPrint() ? kModeGreyPrint : kModeMonoCopy);
        else
            frame->SetDrawMode(m_nSheetType);
    }
    const COLORREF colour = GetColor();
    const int drawClass = m_layer.drawClass;
    const int textFlag = drawClass | (m_layer.mirror ? kMirroredText : 0);
    const bool filled = drawClass == kFilledClass;

    // One pen and at most two brushes per sheet, never one per item.
    const platform::Pen oldPen = dc->SelectPen(platform::Pen(PS_SOLID, 0, colour));
    dc->SetTextColor(colour);
    platform::Brush oldBrush;
    COLORREF oldBackground = 0;
    if (filled) {
        oldBrush = dc->SelectBrush(platform::Brush::Solid(colour));
        oldBackground = dc->SetBkColor(kBlack);
    }
    // Only the items that can reach the context's clip, found through the sheet's index, in the
    // order of the lists (items out of view draw nothing). A printed text may print another
    // string than its own, bigger than its bounds: texts are all visited when printing.
    const CDRect area = CSheetIndex::DrawArea(*dc);
    std::vector<CItemBase*> items;
    const auto inView = [&](CSheet& sheet, int kind) -> const std::vector<CItemBase*>& {
        items.clear();
        sheet.GetItemsIn(kind, area, items);
        return items;
    };
    for (CItemBase* item : inView(*this, KIND_SUR))
        static_cast<CSur*>(item)->DrawSur(dc, drawClass);
    for (CItemBase* item : inView(*this, KIND_LINE))
        static_cast<CLine*>(item)->DrawLine(dc, drawClass);
    for (CItemBase* item : inView(*this, KIND_ARC))
        static_cast<CArc*>(item)->DrawArc(dc, drawClass);
    for (CItemBase* item : inView(*this, KIND_LAND))
        static_cast<CLand*>(item)->DrawLand(dc, drawClass);
    if (filled) {
        dc->SelectBrush(oldBrush);
        dc->SetBkColor(oldBackground);
    }

    if (!printing) {
        for (CItemBase* item : inView(*this, KIND_TEXT))
            static_cast<CText*>(item)->DrawTextA(dc, textFlag);
    }
    for (POSITION pos = GetFirstTextPos(); printing && pos;) {
        CText* text = GetNextText(pos);
        const std::string printed = GetPrintProperty(text);
        if (printed.empty())
            continue;
        if (printed == text->GetName()) {
            text->DrawTextA(dc, textFlag);
            continue;
        }
        CText copy(*text);
        copy.SetName(printed);
        copy.DrawTextA(dc, textFlag);
    }
    for (CItemBase* item : inView(*this, KIND_TER))
        static_cast<CTer*>(item)->DrawTer(dc, 1);

    if (!(m_nType & kSecondList) && (m_nType & kViaLayers)) {
        if (CSheet* viaParts = GetViaPartSheet(); viaParts && viaParts->GetFirstViaPos()) {
            const platform::Brush previous = dc->SelectBrush(platform::Brush::Solid(colour));
            for (CItemBase* item : inView(*viaParts, KIND_VIA))
                static_cast<CVia*>(item)->DrawVia(dc, m_nType, m_nWLayer, textFlag, false);
            dc->SelectBrush(previous);
        }
    }

    if (GetFirstHolePos()) {
        const platform::Brush previous =
            filled ? dc->GetBrush() : dc->SelectStockBrush(printing ? WHITE_BRUSH : BLACK_BRUSH);
        for (CItemBase* item : inView(*this, KIND_HOLE))
            static_cast<CHole*>(item)->DrawHole(dc, drawClass);
        if (!filled)
            dc->SelectBrush(previous);
    }
    dc->SelectPen(oldPen);
}

std::string CSheet::GetPrintProperty(CText* text)
{
    std::string s = text->GetName();
    const std::size_t firstAmp = s.find('&');
    if (firstAmp == std::string::npos || s.find('&', firstAmp + 1) == std::string::npos)
        return s;

    const std::string title = m_pDoc ? m_pDoc->GetDocTitle() : std::string();
    std::string path = m_pDoc ? m_pDoc->GetDocPathName() : std::string();
    if (path.empty())
        path = title;
    // '/' never occurs as the second byte of a double-byte character.
    const std::size_t slash = path.rfind('/');
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    double width = 0.0, height = 0.0, originX = 0.0, originY = 0.0;
    if (m_pDoc) {
        m_pDoc->GetBoardSize(width, height);
        m_pDoc->GetUserOrigin(originX, originY);
    }
    ReplaceAll(s, "&TITLE&", title);
    ReplaceAll(s, "&PATH&", path);
    ReplaceAll(s, "&FILE&", file);
    if (s.find("&AUTHOR&") != std::string::npos)
        ReplaceAll(s, "&AUTHOR&", AuthorName());
    ReplaceAll(s, "&SIZE&", platform::Format("%6.2f-%6.2f", width, height));
    ReplaceAll(s, "&ORG&", platform::Format("%6.2f,%6.2f", originX, originY));

    struct DateKey
    {
        const char* key;
        int fileTime; // -1 now, else the document's time code
    };
    static constexpr DateKey kKeys[] = {{"DATE", -1}, {"TIME", -1}, {"FDATE", 0}, {"FTIME", 0}, {"WDATE", 0},
                                        {"WTIME", 0}, {"ADATE", 1}, {"ATIME", 1}, {"CDATE", 2}, {"CTIME", 2}};
    std::size_t from = 0;
    // Each replacement removes the two '&' of its key, so the scan ends; the bound is a guard.
    for (std::size_t guard = 0; guard < 4 * s.size() + 16; ++guard) {
        const std::size_t l = s.find('&', from);
        if (l == std::string::npos)
            break;
        const std::size_t m = s.find('&', l + 1);
        if (m == std::string::npos)
            break;
        const std::string key = s.substr(l + 1, m - l - 1);
        const DateKey* match = nullptr;
        for (const DateKey& k : kKeys) {
            if (EqualsIgnoringCase(key, k.key))
                match = &k;
        }
        if (!match) {
            from = m + 1;
            continue;
        }
        const std::size_t end = s.find('&', m + 1);
        const std::size_t runEnd = end == std::string::npos ? s.size() : end;
        const std::string run = s.substr(l, runEnd - l);
        const std::string format = s.substr(m + 1, runEnd - m - 1);
        std::time_t when = 0;
        if (match->fileTime < 0)
            when = platform::GetClock().Now();
        else if (m_pDoc)
            m_pDoc->GetFileTime(match->fileTime, &when);
        std::string formatted =
            format.empty() ? std::string() : FormatBoardTime(platform::GetClock().LocalTime(when), format);
        // A "&" in the formatted time (only an unusual locale gives one) would start a key: a blank.
        for (char& c : formatted) {
            if (c == '&')
                c = ' ';
        }
        ReplaceAll(s, run, formatted);
        from = 0;
    }
    return s;
}
