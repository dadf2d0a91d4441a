#pragma once
// A uniform grid over rectangles, for finding the rectangles near a given one without comparing
// every pair. Each rectangle is filed under the cells it covers; a rectangle that would cover very
// many cells (or that is not finite) is kept in a short list that every query returns. A query
// returns every entry whose rectangle comes within the query rectangle (edges touching included),
// each once, plus possibly some that do not: callers apply their own exact test.

#include "model/geometry/DRect.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

class RectGrid
{
public:
    // A grid whose cell size suits the given rectangles (the entries are added separately).
    explicit RectGrid(const std::vector<CDRect>& sample);

    // The side of a cell.
    double CellSize() const { return m_cell; }

    // floor(v) for a finite v within the cell number limit, exactly; cells are numbered by it.
    static long long Floor(double v)
    {
        const long long whole = static_cast<long long>(v);
        return static_cast<double>(whole) > v ? whole - 1 : whole;
    }

    // Files entry `index` (0-based, dense) under its rectangle. An entry may be filed again under a
    // larger rectangle; queries still return it once.
    void Insert(int index, const CDRect& rect);

    // Files entries 0 .. n - 1 under the rectangles at once, packed into one array of cells when
    // the cells they span are not too many for them (much faster to query than cells filed one by
    // one). Meant for an empty grid; entries inserted later are filed as usual.
    void InsertAll(const std::vector<CDRect>& rects);

    // The indices of the rectangles ordered by the cell of their lower corner, row by row (ties and
    // the rectangles without a finite cell, which come last, in index order). Entries numbered so
    // lie near their neighbours in memory: a walk from piece to piece over a large set then stays
    // in the cache.
    std::vector<int> SpatialOrder(const std::vector<CDRect>& rects) const;

    // Calls visit(index) for every entry that may come within the rectangle, each once.
    template <class Visit> void Query(const CDRect& rect, Visit&& visit)
    {
        NextStamp();
        QueryFilings(rect, [&](int index) {
            if (m_seen[static_cast<std::size_t>(index)] != m_stamp) {
                m_seen[static_cast<std::size_t>(index)] = m_stamp;
                visit(index);
            }
        });
    }

    // Calls visit(index) for every filing of an entry that may come within the rectangle, in the
    // order Query meets them but without passing over the entries already met: an entry filed in
    // several cells may come more than once. For callers that pass over most entries by a cheaper
    // test of their own before they need each once.
    template <class Visit> void QueryFilings(const CDRect& rect, Visit&& visit)
    {
        for (int index : m_large)
            visit(index);
        long long x0, y0, x1, y1;
        const bool finite = CellRange(rect, x0, y0, x1, y1);
        if (!m_start.empty()) {
            if (!m_end.empty()) {
                // Some cells were cut short by QueryLive: each cell on its own.
                auto cell = [&](std::size_t c) {
                    for (std::size_t i = m_start[c]; i < m_end[c]; ++i)
                        visit(m_flat[i]);
                };
                ForPackedCells(finite, x0, y0, x1, y1, cell);
            } else if (!finite) {
                for (int index : m_flat)
                    visit(index);
            } else {
                const long long cx0 = std::max(x0, m_x0), cy0 = std::max(y0, m_y0);
                const long long cx1 = std::min(x1, m_x0 + m_nx - 1), cy1 = std::min(y1, m_y0 + m_ny - 1);
                for (long long cy = cy0; cx0 <= cx1 && cy <= cy1; ++cy) {
                    const long long row = (cy - m_y0) * m_nx - m_x0;
                    const std::size_t from = m_start[static_cast<std::size_t>(row + cx0)];
                    const std::size_t to = m_start[static_cast<std::size_t>(row + cx1 + 1)];
                    for (std::size_t i = from; i < to; ++i)
                        visit(m_flat[i]);
                }
            }
        }
        if (m_cells.empty())
            return;
        if (!finite) {
            for (auto& [key, list] : m_cells)
                for (int index : list)
                    visit(index);
            return;
        }
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > static_cast<long long>(m_cells.size())) {
            for (auto& [key, list] : m_cells) {
                const long long cx = KeyX(key), cy = KeyY(key);
                if (cx < x0 || cx > x1 || cy < y0 || cy > y1)
                    continue;
                for (int index : list)
                    visit(index);
            }
            return;
        }
        for (long long cy = y0; cy <= y1; ++cy)
            for (long long cx = x0; cx <= x1; ++cx) {
                const auto it = m_cells.find(Key(cx, cy));
                if (it != m_cells.end())
                    for (int index : it->second)
                        visit(index);
            }
    }

    // Query for a caller whose entries, once done with, are never wanted again (a flood fill):
    // the filings of the entries for which dead(index) holds are dropped from the grid for good as
    // they are met, so that a crowd of finished entries (a stack of copies of one piece) is walked
    // once, not by every query near it. The live entries are met in the order Query meets them.
    template <class Dead, class Visit> void QueryLive(const CDRect& rect, Dead&& dead, Visit&& visit)
    {
        NextStamp();
        auto live = [&](int index) {
            if (m_seen[static_cast<std::size_t>(index)] != m_stamp) {
                m_seen[static_cast<std::size_t>(index)] = m_stamp;
                visit(index);
            }
        };
        // Keeps the live filings of list[from, to) at its front, in order; returns the new end.
        auto sweep = [&](auto& list, std::size_t from, std::size_t to) {
            std::size_t kept = from;
            for (std::size_t i = from; i < to; ++i) {
                const int index = list[i];
                if (dead(index))
                    continue;
                list[kept++] = index;
                live(index);
            }
            return kept;
        };
        if (!m_large.empty())
            m_large.resize(sweep(m_large, 0, m_large.size()));
        long long x0, y0, x1, y1;
        const bool finite = CellRange(rect, x0, y0, x1, y1);
        if (!m_start.empty()) {
            if (m_end.empty())
                m_end.assign(m_start.begin() + 1, m_start.end());
            ForPackedCells(finite, x0, y0, x1, y1,
                           [&](std::size_t c) { m_end[c] = sweep(m_flat, m_start[c], m_end[c]); });
        }
        if (m_cells.empty())
            return;
        auto sweepList = [&](std::vector<int>& list) { list.resize(sweep(list, 0, list.size())); };
        if (!finite) {
            for (auto& [key, list] : m_cells)
                sweepList(list);
            return;
        }
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > static_cast<long long>(m_cells.size())) {
            for (auto& [key, list] : m_cells) {
                const long long cx = KeyX(key), cy = KeyY(key);
                if (cx >= x0 && cx <= x1 && cy >= y0 && cy <= y1)
                    sweepList(list);
            }
            return;
        }
        for (long long cy = y0; cy <= y1; ++cy)
            for (long long cx = x0; cx <= x1; ++cx) {
                const auto it = m_cells.find(Key(cx, cy));
                if (it != m_cells.end())
                    sweepList(it->second);
            }
    }

private:
    // Calls f(cell) for the packed cells the cell range covers (all of them when not finite), row
    // by row.
    template <class F>
    void ForPackedCells(bool finite, long long x0, long long y0, long long x1, long long y1, F&& f) const
    {
        if (!finite) {
            for (std::size_t c = 0; c + 1 < m_start.size(); ++c)
                f(c);
            return;
        }
        const long long cx0 = std::max(x0, m_x0), cy0 = std::max(y0, m_y0);
        const long long cx1 = std::min(x1, m_x0 + m_nx - 1), cy1 = std::min(y1, m_y0 + m_ny - 1);
        for (long long cy = cy0; cx0 <= cx1 && cy <= cy1; ++cy) {
            const long long row = (cy - m_y0) * m_nx - m_x0;
            for (long long cx = cx0; cx <= cx1; ++cx)
                f(static_cast<std::size_t>(row + cx));
        }
    }
    void NextStamp()
    {
        if (++m_stamp == 0) {
            std::fill(m_seen.begin(), m_seen.end(), 0u);
            m_stamp = 1;
        }
    }
    // The cells a rectangle covers; false when it is not finite or lies too far out. Inline and
    // without the library's floor: every query and filing starts here.
    bool CellRange(const CDRect& rect, long long& x0, long long& y0, long long& x1, long long& y1) const
    {
        if (!std::isfinite(rect.left) || !std::isfinite(rect.top) || !std::isfinite(rect.right) ||
            !std::isfinite(rect.bottom))
            return false;
        const double l = std::min(rect.left, rect.right) / m_cell,
                     r = std::max(rect.left, rect.right) / m_cell;
        const double t = std::min(rect.top, rect.bottom) / m_cell,
                     b = std::max(rect.top, rect.bottom) / m_cell;
        if (l < -kMaxCellNumber || r > kMaxCellNumber || t < -kMaxCellNumber || b > kMaxCellNumber)
            return false;
        x0 = Floor(l);
        x1 = Floor(r);
        y0 = Floor(t);
        y1 = Floor(b);
        return true;
    }
    // Cell numbers stay well inside 32 bits.
    static constexpr double kMaxCellNumber = 1.0e9;
    static std::uint64_t Key(long long cx, long long cy)
    {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) |
               static_cast<std::uint32_t>(cy);
    }
    static long long KeyX(std::uint64_t key) { return static_cast<std::int32_t>(key >> 32); }
    static long long KeyY(std::uint64_t key) { return static_cast<std::int32_t>(key & 0xFFFFFFFFu); }

    void FileLarge(int index);

    double m_cell = 1.0;
    std::unordered_map<std::uint64_t, std::vector<int>> m_cells;
    // Packed entries: the cells of columns m_x0.. (m_nx of them) and rows m_y0.. (m_ny) row by row,
    // cell i holding m_flat[m_start[i] .. m_start[i + 1]); no cells when m_start is empty.
    long long m_x0 = 0, m_y0 = 0, m_nx = 0, m_ny = 0;
    std::vector<std::size_t> m_start;
    std::vector<int> m_flat;
    // The end of each packed cell's live filings once QueryLive has cut cells short (empty before).
    std::vector<std::size_t> m_end;
    std::vector<int> m_large;
    std::vector<bool> m_inLarge;
    std::vector<std::uint32_t> m_seen;
    std::uint32_t m_stamp = 0;
};

// Rectangles in list order filed in a grid: the indices of those that meet a rectangle, in
// order, optionally only after a given index.
class RectsInOrder
{
public:
    explicit RectsInOrder(std::vector<CDRect> rects) : m_rects(std::move(rects)), m_grid(m_rects)
    {
        m_grid.InsertAll(m_rects);
    }
    template <class Test> const std::vector<int>& Find(const CDRect& query, int after, Test&& test)
    {
        m_found.clear();
        m_grid.Query(query, [&](int index) {
            if (index > after && test(m_rects[static_cast<std::size_t>(index)]))
                m_found.push_back(index);
        });
        std::sort(m_found.begin(), m_found.end());
        return m_found;
    }
    const CDRect& operator[](int index) const { return m_rects[static_cast<std::size_t>(index)]; }

private:
    std::vector<CDRect> m_rects;
    RectGrid m_grid;
    std::vector<int> m_found;
};
