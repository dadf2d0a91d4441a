#pragma once
// Centre lines of a rendered glyph: the glyph is thinned to a one-pixel skeleton, which is
// followed into polylines between its ends and junctions. Short spurs that thinning leaves at
// stroke corners and ends are dropped, and ends that meet at a junction share one point.

#include "Strokes.h"

#include <cstdint>
#include <vector>

namespace fontgen {

struct Bitmap
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // 1 = ink, row by row from the top

    Bitmap(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 0) {}
    std::uint8_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Polylines through pixel centres (x to the right, y downward). Branches ending freely that are
// shorter than `spurLength` pixels where they leave a junction are dropped. Solid areas (ink far
// thicker than a stroke, as in a filled circle or square) are filled with horizontal lines
// `hatchStep` pixels apart instead.
std::vector<Polyline> TraceCentreLines(const Bitmap& glyph, double spurLength, double hatchStep);

} // namespace fontgen
