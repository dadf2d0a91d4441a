#pragma once
// Small pieces shared by the two stroke items, lines and arcs: their arrow codes, the stretch
// marks of their two ends and the dimension style their arrows and texts follow.

#include "model/items/Line.h"
#include "model/services/FrameServices.h"
#include "model/services/Records.h"
#include "platform/DrawContext.h"

namespace stroke {

// The arrow bits of a pair of end codes: 1 start arrow, 2 end arrow, 4 start dot, 8 end dot
// (a positive code is an arrow, a negative one a dot).
inline int ArrowBits(int start, int end)
{
    int bits = 0;
    if (start > 0)
        bits |= 1;
    else if (start < 0)
        bits |= 4;
    if (end > 0)
        bits |= 2;
    else if (end < 0)
        bits |= 8;
    return bits;
}

// An end's arrow code switched: off when it had one, else an arrow of the style's length or
// (dot) a dot of its size, stored negative.
inline void ToggleArrow(int& code, const tagDIMS& style, bool dot)
{
    if (code != 0)
        code = 0;
    else
        code = dot ? -style.dotSize : style.arrowLength;
}

// Sets the stretch mark of one end (1 start, 2 end) or of both (3); other values change nothing.
inline void SetEndCheck(bool& start, bool& end, int which, bool check)
{
    switch (which) {
    case 1:
        start = check;
        break;
    case 2:
        end = check;
        break;
    case 3:
        start = check;
        end = check;
        break;
    default:
        break;
    }
}

// Hands the two barbs of each arrow head, the start's first, to use (a CLine& that use may change),
// stopping at the first barb for which use returns true; whether one did. Dots have no barbs.
template <class Item, class Use> bool AnyArrowBarb(const Item& item, Use use)
{
    if (item.GetStartArrow() <= 0 && item.GetEndArrow() <= 0)
        return false; // most items: no barb lines are made at all
    CLine barbs[2];
    if (item.GetStartArrow() > 0) {
        item.GetStartArrowLine(&barbs[0], &barbs[1]);
        for (CLine& barb : barbs)
            if (use(barb))
                return true;
    }
    if (item.GetEndArrow() > 0) {
        item.GetEndArrowLine(&barbs[0], &barbs[1]);
        for (CLine& barb : barbs)
            if (use(barb))
                return true;
    }
    return false;
}

// Hands every barb of the arrow heads, the start's first, to use.
template <class Item, class Use> void ForEachArrowBarb(const Item& item, Use use)
{
    AnyArrowBarb(item, [&](CLine& barb) {
        use(barb);
        return false;
    });
}

// The pen style of a line type; other values give the fallback style.
inline int LineTypePenStyle(int lineType, int fallback)
{
    switch (lineType) {
    case LINE_DOTTED:
        return PS_DOT;
    case LINE_DASHED:
        return PS_DASH;
    case LINE_DASHDOT:
        return PS_DASHDOT;
    case LINE_DASHDOTDOT:
        return PS_DASHDOTDOT;
    default:
        return fallback;
    }
}

} // namespace stroke
