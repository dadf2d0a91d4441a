#pragma once
// Sorts the rows of a grid by one column. Every row's text is asked for once and turned into a key
// (natural text order, integer or real value); the comparison never asks for texts again.

#include <functional>
#include <string>
#include <vector>

class CGfxListSorter
{
public:
    enum class KeyKind
    {
        Text,
        Integer,
        Real
    };

    // textOf(row) gives the row's text in the sort column. real wins over integer.
    CGfxListSorter(int rowCount, const std::function<std::string(int)>& textOf, bool integer, bool real);
    ~CGfxListSorter();

    // The rows in their new order (old row indexes). Rows with equal keys keep their order.
    std::vector<int> Sort(bool ascending);

    KeyKind GetKeyKind() const { return m_kind; }

private:
    struct TextKey;
    struct NumberKey
    {
        double value;
        int row;
    };
    KeyKind m_kind;
    // The key records themselves are sorted, so the comparisons read memory in order.
    std::vector<TextKey> m_textKeys;
    std::vector<NumberKey> m_numberKeys;
};
