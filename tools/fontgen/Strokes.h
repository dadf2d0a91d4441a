#pragma once
// Stroke characters on the grid of the stroke-font file and their byte encoding. A character cell
// is 32 steps high; a double-byte character is 32 steps wide (x 0-31), a single-byte character 16.
// Byte commands: 1-63 move to x = b - 32; 64-95 draw to x = b - 64; 96-127 set x = b - 96 for the
// next y command; 128-191 move to y = b - 160; 192-255 draw to y = b - 192.

#include <string>
#include <vector>

namespace fontgen {

struct GridPoint
{
    int x = 0;
    int y = 0;
    bool operator==(const GridPoint&) const = default;
};

struct Point
{
    double x = 0.0;
    double y = 0.0;
};

using GridPolyline = std::vector<GridPoint>;
using Polyline = std::vector<Point>;

constexpr int kCellHeight = 32;
constexpr int kMaxDrawX = 31; // draw and set-x commands reach x 0..31
constexpr int kMaxMoveY = 31; // a pen-up move reaches y -32..31
constexpr int kMaxDrawY = 63;

// Joins polylines that meet end to end. With `straightOnly`, ends that meet at a node of more than
// two ends are paired only where one continues the other nearly straight (a crossing is two strokes);
// a node of exactly two ends always joins.
std::vector<GridPolyline> JoinPolylines(std::vector<GridPolyline> lines, bool straightOnly);

// The stroke bytes of a character drawn as the given polylines (cell coordinates). Points are
// clamped into the cell (x 0..maxX); a polyline that cannot begin with a pen-up move (every point
// above y 31) is split at its lowest point or, if it has none low enough, lowered. A polyline of
// one point is a dot (a draw of length 0).
std::string EncodeStrokes(std::vector<GridPolyline> lines, int maxX);

// Douglas-Peucker simplification with the given tolerance.
Polyline Simplify(const Polyline& line, double tolerance);

} // namespace fontgen
