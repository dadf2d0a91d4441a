#pragma once
// Colour helpers of the menu painter and the application shell.

#include "platform/Types.h"

// Each channel moved toward 255 by the factor when it lies in (0, 1]; else the colour unchanged.
COLORREF BlendColorToWhite(COLORREF colour, double factor);
