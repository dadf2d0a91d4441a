#pragma once
// Integer and fixed-point value types that the board model exchanges with drawing and files.
// Windows' LONG, DWORD and BOOL are 32 bits wide in every record, so they are fixed-width here.

#include <cstdint>

using COLORREF = std::uint32_t; // 0x00BBGGRR

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// 16.16 fixed-point value: fract holds the fraction, value the signed integer part.
struct FIXED
{
    std::uint16_t fract = 0;
    std::int16_t value = 0;
    constexpr bool operator==(const FIXED&) const = default;
};

struct tagPOINTFX
{
    FIXED x;
    FIXED y;
    constexpr bool operator==(const tagPOINTFX&) const = default;
};
using POINTFX = tagPOINTFX;

// Integer point, size and rectangle in device or logical units.
struct CPoint
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(std::int32_t px, std::int32_t py) : x(px), y(py) {}
    constexpr bool operator==(const CPoint&) const = default;
};

struct CSize
{
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    constexpr CSize() = default;
    constexpr CSize(std::int32_t w, std::int32_t h) : cx(w), cy(h) {}
    constexpr bool operator==(const CSize&) const = default;
};

struct CRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    constexpr CRect() = default;
    constexpr CRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
        : left(l), top(t), right(r), bottom(b)
    {
    }
    constexpr std::int32_t Width() const { return right - left; }
    constexpr std::int32_t Height() const { return bottom - top; }
    constexpr bool operator==(const CRect&) const = default;
};
