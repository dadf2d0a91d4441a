#include "controls/ColorBlend.h"

COLORREF BlendColorToWhite(COLORREF colour, double factor)
{
    if (!(factor > 0.0 && factor <= 1.0))
        return colour;
    auto blend = [factor](int c) { return static_cast<int>(c + factor * (255 - c)); };
    return RGB(blend(GetRValue(colour)), blend(GetGValue(colour)), blend(GetBValue(colour)));
}
