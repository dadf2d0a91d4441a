#pragma once
// Glyph records of the TrueType font layer: glyph metrics, text metrics, the 2x2 transform of a
// glyph fetch and the native glyph outline.
//
// Outline form: a glyph is a list of closed contours. A contour has a start point (on the curve)
// and records that continue from the previous record's last point (the start point for the first):
// a line record draws a straight line to each of its points in turn; a quadratic-spline record
// holds control points where every point but the last is off the curve and the last is on it;
// between two consecutive off-curve points lies an implied on-curve point, their midpoint. Every
// contour is closed: when the last record does not end at the start point, a straight line leads
// back to it (there is no record for that line); a spline that leads back ends at the start point.
// Points are 16.16 fixed values in device pixels relative to the glyph origin (the pen position on
// the baseline), y growing upward.

#include "platform/Types.h"

#include <cstdint>
#include <vector>

// Record kinds of an outline.
constexpr int TT_PRIM_LINE = 1;
constexpr int TT_PRIM_QSPLINE = 2;

struct TrueTypeCurve
{
    int wType = TT_PRIM_LINE;
    std::vector<POINTFX> apfx;
    bool operator==(const TrueTypeCurve&) const = default;
};

struct TrueTypeContour
{
    POINTFX pfxStart;
    std::vector<TrueTypeCurve> curves;
    bool operator==(const TrueTypeContour&) const = default;
};

struct TrueTypeOutline
{
    std::vector<TrueTypeContour> contours;
    bool operator==(const TrueTypeOutline&) const = default;
};

// Metrics of one glyph in whole device pixels. The black box is the smallest pixel-aligned box
// holding the outline's points (1 x 1 at the origin for a glyph without outline, such as a space);
// gmptGlyphOrigin is its upper-left corner relative to the glyph origin, y growing upward; the
// cell increment is the advance to the next glyph's origin.
struct GLYPHMETRICS
{
    std::uint32_t gmBlackBoxX = 0;
    std::uint32_t gmBlackBoxY = 0;
    CPoint gmptGlyphOrigin;
    std::int32_t gmCellIncX = 0;
    std::int32_t gmCellIncY = 0;
    bool operator==(const GLYPHMETRICS&) const = default;
};

// Transform of a glyph fetch, 16.16 fixed: a point (x, y) becomes
// (eM11 x + eM21 y, eM12 x + eM22 y). A counter-clockwise rotation by a is
// eM11 = cos a, eM12 = sin a, eM21 = -sin a, eM22 = cos a.
struct MAT2
{
    FIXED eM11;
    FIXED eM12;
    FIXED eM21;
    FIXED eM22;
    bool operator==(const MAT2&) const = default;
};

MAT2 IdentityMat2();
MAT2 RotationMat2(double radians);
bool IsIdentity(const MAT2& m);

// Applies the transform to a 16.16 point (rounded to the nearest 1/65536).
POINTFX TransformPoint(const MAT2& m, POINTFX p);

// The metrics of a font at one size, in whole device pixels: the fields the model reads.
struct TEXTMETRICA
{
    std::int32_t tmHeight = 0; // tmAscent + tmDescent
    std::int32_t tmAscent = 0;
    std::int32_t tmDescent = 0;
    std::int32_t tmInternalLeading = 0; // tmHeight minus the em height
    std::int32_t tmExternalLeading = 0;
    std::int32_t tmAveCharWidth = 0;
    std::int32_t tmMaxCharWidth = 0;
    std::int32_t tmWeight = 0;
    std::uint8_t tmItalic = 0;
    bool operator==(const TEXTMETRICA&) const = default;
};
