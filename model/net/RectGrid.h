#pragma once
// A uniform grid over rectangles, for finding the rectangles near a given one without comparing
// every pair. Each rectangle is filed under the cells it covers; a rectangle that would cover very
// many cells (or that is not finite) is kept in a short list that every query returns. A query
// returns every entry whose rectangle comes within the query rectangle (edges touching included),
// each once, plus possibly some that do not: callers apply their own exact test.

#include "model/geometry/DRect.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

class RectGrid
{
public:
    // A grid whose cell size suits the given rectangles (the entries are added separately).
    explicit RectGrid(const std::vector<CDRect>& sample);

    // Files entry `index` (0-based, dense) under its rectangle.
    void Insert(int index, const CDRect& rect);

    // Calls visit(index) for every entry that may come within the rectangle, each once.
    template <class Visit> void Query(const CDRect& rect, Visit&& visit)
    {
        NextStamp();
        auto once = [&](int index) {
            if (m_seen[static_cast<std::size_t>(index)] != m_stamp) {
                m_seen[static_cast<std::size_t>(index)] = m_stamp;
                visit(index);
            }
        };
        for (int index : m_large)
            once(index);
        long long x0, y0, x1, y1;
        if (!CellRange(rect, x0, y0, x1, y1)) {
            // Not finite, or so wide that walking its cells costs more than walking the filed ones.
            for (auto& [key, list] : m_cells)
                for (int index : list)
                    once(index);
            return;
        }
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > static_cast<long long>(m_cells.size())) {
            for (auto& [key, list] : m_cells) {
                const long long cx = KeyX(key), cy = KeyY(key);
                if (cx < x0 || cx > x1 || cy < y0 || cy > y1)
                    continue;
                for (int index : list)
                    once(index);
            }
            return;
        }
        for (long long cy = y0; cy <= y1; ++cy)
            for (long long cx = x0; cx <= x1; ++cx) {
                const auto it = m_cells.find(Key(cx, cy));
                if (it != m_cells.end())
                    for (int index : it->second)
                        once(index);
            }
    }

private:
    void NextStamp()
    {
        if (++m_stamp == 0) {
            std::fill(m_seen.begin(), m_seen.end(), 0u);
            m_stamp = 1;
        }
    }
    // The cells a rectangle covers; false when it is not finite or covers too many.
    bool CellRange(const CDRect& rect, long long& x0, long long& y0, long long& x1, long long& y1) const;
    static std::uint64_t Key(long long cx, long long cy)
    {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) |
               static_cast<std::uint32_t>(cy);
    }
    static long long KeyX(std::uint64_t key) { return static_cast<std::int32_t>(key >> 32); }
    static long long KeyY(std::uint64_t key) { return static_cast<std::int32_t>(key & 0xFFFFFFFFu); }

    double m_cell = 1.0;
    std::unordered_map<std::uint64_t, std::vector<int>> m_cells;
    std::vector<int> m_large;
    std::vector<std::uint32_t> m_seen;
    std::uint32_t m_stamp = 0;
};
