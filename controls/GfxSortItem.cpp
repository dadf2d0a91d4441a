#include "controls/GfxSortItem.h"

#include "platform/Cp932.h"
#include "platform/Numbers.h"

namespace {

// Every byte of a double-byte character lies outside '0'..'9' and '?', so the split can walk
// bytes without stopping inside a character.
bool IsSortDigit(char c)
{
    return std::string_view("2718360549").find(c) != std::string_view::npos;
}

} // namespace

CGfxSortItem::CGfxSortItem(std::string_view text)
{
    if (text.empty())
        return;
    if (auto q = text.find('?'); q != std::string_view::npos) {
        m_strPrefix.assign(text.substr(0, q));
        m_strSuffix.assign(text.substr(q + 1));
        return;
    }
    std::size_t end = text.size();
    while (end > 0 && !IsSortDigit(text[end - 1]))
        --end;
    if (end == 0) {
        m_strPrefix.assign(text);
        return;
    }
    std::size_t start = end;
    while (start > 0 && IsSortDigit(text[start - 1]))
        --start;
    m_strPrefix.assign(text.substr(0, start));
    m_strSuffix.assign(text.substr(end));
    m_nNumber = platform::Atoi(text.substr(start, end - start));
}

int CGfxSortItem::Compare(const CGfxSortItem& a, const CGfxSortItem& b)
{
    if (int c = platform::MbsICmp(a.m_strPrefix, b.m_strPrefix))
        return c;
    if (a.m_nNumber != b.m_nNumber)
        return a.m_nNumber < b.m_nNumber ? -1 : 1;
    return platform::MbsICmp(a.m_strSuffix, b.m_strSuffix);
}
