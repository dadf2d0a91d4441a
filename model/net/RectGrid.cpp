#include "model/net/RectGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// A rectangle filed under more cells than this goes to the list every query returns.
constexpr long long kMaxCellsPerEntry = 64;

bool Finite(const CDRect& r)
{
    return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) && std::isfinite(r.bottom);
}

} // namespace

RectGrid::RectGrid(const std::vector<CDRect>& sample)
{
    double sum = 0.0;
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
    std::size_t n = 0;
    for (const CDRect& r : sample) {
        if (!Finite(r))
            continue;
        const double w = std::fabs(r.right - r.left), h = std::fabs(r.bottom - r.top);
        sum += std::max(w, h);
        if (n == 0) {
            minX = std::min(r.left, r.right);
            maxX = std::max(r.left, r.right);
            minY = std::min(r.top, r.bottom);
            maxY = std::max(r.top, r.bottom);
        } else {
            minX = std::min({minX, r.left, r.right});
            maxX = std::max({maxX, r.left, r.right});
            minY = std::min({minY, r.top, r.bottom});
            maxY = std::max({maxY, r.top, r.bottom});
        }
        ++n;
    }
    if (n > 0) {
        // About one entry per cell: the mean entry size, but never so small that the cells outnumber
        // the entries by far over the whole extent.
        const double mean = sum / static_cast<double>(n);
        const double spread = std::sqrt((maxX - minX) * (maxY - minY) / static_cast<double>(n));
        const double span = std::max(maxX - minX, maxY - minY) / kMaxCellNumber;
        m_cell = std::max({mean, spread, span});
    }
    if (!(m_cell > 0.0) || !std::isfinite(m_cell))
        m_cell = 1.0;
    m_seen.assign(sample.size(), 0);
}

void RectGrid::Insert(int index, const CDRect& rect)
{
    if (index < 0)
        return;
    if (static_cast<std::size_t>(index) >= m_seen.size())
        m_seen.resize(static_cast<std::size_t>(index) + 1, 0);
    long long x0, y0, x1, y1;
    if (!CellRange(rect, x0, y0, x1, y1) || (x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCellsPerEntry) {
        FileLarge(index);
        return;
    }
    for (long long cy = y0; cy <= y1; ++cy)
        for (long long cx = x0; cx <= x1; ++cx)
            m_cells[Key(cx, cy)].push_back(index);
}

void RectGrid::FileLarge(int index)
{
    // An entry filed again as it grows is listed once: every query walks this list.
    if (static_cast<std::size_t>(index) >= m_inLarge.size())
        m_inLarge.resize(static_cast<std::size_t>(index) + 1, false);
    if (!m_inLarge[static_cast<std::size_t>(index)]) {
        m_inLarge[static_cast<std::size_t>(index)] = true;
        m_large.push_back(index);
    }
}

void RectGrid::InsertAll(const std::vector<CDRect>& rects)
{
    const std::size_t n = rects.size();
    if (m_seen.size() < n)
        m_seen.resize(n, 0);
    struct Range
    {
        long long x0, y0, x1, y1;
    };
    std::vector<Range> ranges(n);
    std::vector<bool> small(n, false);
    long long ex0 = 0, ey0 = 0, ex1 = -1, ey1 = -1;
    std::size_t filed = 0;
    for (std::size_t i = 0; i < n; ++i) {
        Range& r = ranges[i];
        if (!CellRange(rects[i], r.x0, r.y0, r.x1, r.y1) ||
            (r.x1 - r.x0 + 1) * (r.y1 - r.y0 + 1) > kMaxCellsPerEntry) {
            FileLarge(static_cast<int>(i));
            continue;
        }
        small[i] = true;
        if (ex1 < ex0) {
            ex0 = r.x0;
            ey0 = r.y0;
            ex1 = r.x1;
            ey1 = r.y1;
        } else {
            ex0 = std::min(ex0, r.x0);
            ey0 = std::min(ey0, r.y0);
            ex1 = std::max(ex1, r.x1);
            ey1 = std::max(ey1, r.y1);
        }
        filed += static_cast<std::size_t>((r.x1 - r.x0 + 1) * (r.y1 - r.y0 + 1));
    }
    if (filed == 0)
        return;
    const long long nx = ex1 - ex0 + 1, ny = ey1 - ey0 + 1;
    // Empty cells cost memory and time to walk: a sparse spread is filed cell by cell instead.
    if (!m_start.empty() || nx * ny > 4 * static_cast<long long>(filed) + 1024) {
        for (std::size_t i = 0; i < n; ++i)
            if (small[i])
                Insert(static_cast<int>(i), rects[i]);
        return;
    }
    m_x0 = ex0;
    m_y0 = ey0;
    m_nx = nx;
    m_ny = ny;
    m_start.assign(static_cast<std::size_t>(nx * ny) + 1, 0);
    auto forCells = [&](const Range& r, auto&& f) {
        for (long long cy = r.y0; cy <= r.y1; ++cy)
            for (long long cx = r.x0; cx <= r.x1; ++cx)
                f(static_cast<std::size_t>((cy - ey0) * nx + (cx - ex0)));
    };
    for (std::size_t i = 0; i < n; ++i)
        if (small[i])
            forCells(ranges[i], [&](std::size_t cell) { ++m_start[cell + 1]; });
    for (std::size_t i = 1; i < m_start.size(); ++i)
        m_start[i] += m_start[i - 1];
    m_flat.resize(filed);
    std::vector<std::size_t> next(m_start.begin(), m_start.end() - 1);
    for (std::size_t i = 0; i < n; ++i)
        if (small[i])
            forCells(ranges[i], [&](std::size_t cell) { m_flat[next[cell]++] = static_cast<int>(i); });
}

std::vector<int> RectGrid::SpatialOrder(const std::vector<CDRect>& rects) const
{
    const std::size_t n = rects.size();
    std::vector<long long> cx(n, 0), cy(n, 0);
    std::vector<bool> finite(n, false);
    long long minX = 0, minY = 0, maxX = -1, maxY = -1;
    for (std::size_t i = 0; i < n; ++i) {
        long long x0, y0, x1, y1;
        if (!CellRange(rects[i], x0, y0, x1, y1))
            continue;
        finite[i] = true;
        cx[i] = x0;
        cy[i] = y0;
        if (maxX < minX) {
            minX = maxX = x0;
            minY = maxY = y0;
        } else {
            minX = std::min(minX, x0);
            maxX = std::max(maxX, x0);
            minY = std::min(minY, y0);
            maxY = std::max(maxY, y0);
        }
    }
    std::vector<int> order;
    order.reserve(n);
    if (maxX >= minX) {
        const long long nx = maxX - minX + 1, ny = maxY - minY + 1;
        if (nx * ny <= 4 * static_cast<long long>(n) + 1024) {
            // A counting sort over the cells.
            std::vector<std::size_t> start(static_cast<std::size_t>(nx * ny) + 1, 0);
            auto cell = [&](std::size_t i) {
                return static_cast<std::size_t>((cy[i] - minY) * nx + (cx[i] - minX));
            };
            for (std::size_t i = 0; i < n; ++i)
                if (finite[i])
                    ++start[cell(i) + 1];
            for (std::size_t c = 1; c < start.size(); ++c)
                start[c] += start[c - 1];
            order.resize(start.back());
            for (std::size_t i = 0; i < n; ++i)
                if (finite[i])
                    order[start[cell(i)]++] = static_cast<int>(i);
        } else {
            for (std::size_t i = 0; i < n; ++i)
                if (finite[i])
                    order.push_back(static_cast<int>(i));
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
                const auto i = static_cast<std::size_t>(a), j = static_cast<std::size_t>(b);
                return cy[i] != cy[j] ? cy[i] < cy[j] : cx[i] < cx[j];
            });
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        if (!finite[i])
            order.push_back(static_cast<int>(i));
    return order;
}
