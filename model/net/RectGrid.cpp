#include "model/net/RectGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// A rectangle filed under more cells than this goes to the list every query returns.
constexpr long long kMaxCellsPerEntry = 64;
// Cell numbers stay well inside 32 bits.
constexpr double kMaxCellNumber = 1.0e9;

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

bool RectGrid::CellRange(const CDRect& rect, long long& x0, long long& y0, long long& x1, long long& y1) const
{
    if (!Finite(rect))
        return false;
    const double l = std::min(rect.left, rect.right) / m_cell, r = std::max(rect.left, rect.right) / m_cell;
    const double t = std::min(rect.top, rect.bottom) / m_cell, b = std::max(rect.top, rect.bottom) / m_cell;
    if (l < -kMaxCellNumber || r > kMaxCellNumber || t < -kMaxCellNumber || b > kMaxCellNumber)
        return false;
    x0 = static_cast<long long>(std::floor(l));
    x1 = static_cast<long long>(std::floor(r));
    y0 = static_cast<long long>(std::floor(t));
    y1 = static_cast<long long>(std::floor(b));
    return true;
}

void RectGrid::Insert(int index, const CDRect& rect)
{
    if (index < 0)
        return;
    if (m_packed)
        Unpack();
    if (static_cast<std::size_t>(index) >= m_seen.size())
        m_seen.resize(static_cast<std::size_t>(index) + 1, 0);
    long long x0, y0, x1, y1;
    if (!CellRange(rect, x0, y0, x1, y1) || (x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCellsPerEntry) {
        // An entry filed again as it grows is listed once: every query walks this list.
        if (static_cast<std::size_t>(index) >= m_inLarge.size())
            m_inLarge.resize(static_cast<std::size_t>(index) + 1, false);
        if (!m_inLarge[static_cast<std::size_t>(index)]) {
            m_inLarge[static_cast<std::size_t>(index)] = true;
            m_large.push_back(index);
        }
        return;
    }
    for (long long cy = y0; cy <= y1; ++cy)
        for (long long cx = x0; cx <= x1; ++cx)
            m_cells[Key(cx, cy)].push_back(index);
}

std::uint64_t RectGrid::OrderKey(const CDRect& rect) const
{
    const CDRect centre(CDPoint((rect.left + rect.right) / 2.0, (rect.top + rect.bottom) / 2.0), 0.0);
    long long x0, y0, x1, y1;
    if (!CellRange(centre, x0, y0, x1, y1))
        return ~std::uint64_t{0};
    // Cell numbers lie within +-1e9: offset them into 31 bits each.
    const auto bias = [](long long v) { return static_cast<std::uint64_t>(v + 1073741824LL); };
    return (bias(y0) << 31) | bias(x0);
}

void RectGrid::Pack()
{
    if (m_packed || m_cells.empty())
        return;
    long long x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::size_t filed = 0;
    bool first = true;
    for (const auto& [key, list] : m_cells) {
        const long long cx = KeyX(key), cy = KeyY(key);
        x0 = first ? cx : std::min(x0, cx);
        x1 = first ? cx : std::max(x1, cx);
        y0 = first ? cy : std::min(y0, cy);
        y1 = first ? cy : std::max(y1, cy);
        first = false;
        filed += list.size();
    }
    const long long nx = x1 - x0 + 1, ny = y1 - y0 + 1;
    // Empty cells cost memory and time to walk: a sparse spread stays in the map.
    if (nx * ny > 4 * static_cast<long long>(filed) + 1024)
        return;
    m_x0 = x0;
    m_y0 = y0;
    m_nx = nx;
    m_ny = ny;
    m_start.assign(static_cast<std::size_t>(nx * ny) + 1, 0);
    auto cellOf = [&](std::uint64_t key) {
        return static_cast<std::size_t>((KeyY(key) - y0) * nx + (KeyX(key) - x0));
    };
    for (const auto& [key, list] : m_cells)
        m_start[cellOf(key) + 1] = list.size();
    for (std::size_t i = 1; i < m_start.size(); ++i)
        m_start[i] += m_start[i - 1];
    m_flat.resize(filed);
    for (const auto& [key, list] : m_cells)
        std::copy(list.begin(), list.end(),
                  m_flat.begin() + static_cast<std::ptrdiff_t>(m_start[cellOf(key)]));
    m_cells.clear();
    m_packed = true;
}

void RectGrid::Unpack()
{
    for (long long cy = 0; cy < m_ny; ++cy)
        for (long long cx = 0; cx < m_nx; ++cx) {
            const std::size_t cell = static_cast<std::size_t>(cy * m_nx + cx);
            if (m_start[cell] == m_start[cell + 1])
                continue;
            m_cells[Key(m_x0 + cx, m_y0 + cy)].assign(
                m_flat.begin() + static_cast<std::ptrdiff_t>(m_start[cell]),
                m_flat.begin() + static_cast<std::ptrdiff_t>(m_start[cell + 1]));
        }
    m_start.clear();
    m_flat.clear();
    m_packed = false;
}
