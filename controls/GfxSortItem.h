#pragma once
// The sort key of a text cell: the text split into a prefix, a number and a suffix, so that
// designators sort naturally (R9 before R10, 12A after 9A).

#include <string>
#include <string_view>

class CGfxSortItem
{
public:
    explicit CGfxSortItem(std::string_view text);

    // Prefixes ignoring case (double-byte aware), then numbers, then suffixes ignoring case.
    // Negative, zero or positive as a sorts before, with or after b in ascending order.
    static int Compare(const CGfxSortItem& a, const CGfxSortItem& b);

    std::string m_strPrefix;
    std::string m_strSuffix;
    int m_nNumber = 0;
};
