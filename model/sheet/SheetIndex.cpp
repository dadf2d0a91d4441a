#include "model/sheet/SheetIndex.h"

#include "model/sheet/Sheet.h"
#include "platform/DrawContext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Items are spread so that a cell holds about this many.
constexpr double kPerCell = 4.0;
// Items covering more cells than this are tested one by one instead of listed in every cell.
constexpr std::int64_t kMaxCellsPerItem = 64;
constexpr int kMaxSide = 4096;

// How far items draw beyond their bounding rectangles, in millimetres: a line tests 4 mm around
// itself before it draws its name and arrows.
constexpr double kDrawMargin = 4.0;
// And in logical units: the few units items grow their rectangles by before testing them.
constexpr int kDrawMarginUnits = 8;

float Down(double v)
{
    auto f = static_cast<float>(v);
    if (static_cast<double>(f) > v)
        f = std::nextafter(f, -std::numeric_limits<float>::infinity());
    return f;
}

float Up(double v)
{
    auto f = static_cast<float>(v);
    if (static_cast<double>(f) < v)
        f = std::nextafter(f, std::numeric_limits<float>::infinity());
    return f;
}

bool Finite(const CDRect& r)
{
    constexpr double limit = 1e30;
    return std::abs(r.left) < limit && std::abs(r.right) < limit && std::abs(r.top) < limit &&
           std::abs(r.bottom) < limit;
}

} // namespace

// --- The sheet's index.

void CSheet::GetItemsIn(int kinds, const CDRect& rect, std::vector<CItemBase*>& out)
{
    // Every change of the sheet's items either leaves the sheet's bounds stale or counts as a
    // change; bringing the bounds up to date counts as one too, so neither can pass unseen.
    if (!m_index || m_bDirty || m_nIndexChanges != m_nChanges) {
        m_index.reset();
        auto index = std::make_shared<CSheetIndex>(*this);
        // The sheet's own bounds brought up to date (as GetBoundingRect of the base does, less
        // its turret step), so that the next change is seen again.
        if (m_bDirty) {
            CalcBoundingRect();
            m_bDirty = false;
        }
        m_index = std::move(index);
        m_nIndexChanges = m_nChanges;
    }
    m_index->Query(kinds, rect, out);
}

// --- Building.

CSheetIndex::CSheetIndex(CSheet& sheet)
{
    for (int k = 0; k < SHEET_KIND_COUNT; ++k) {
        const int kind = 1 << k;
        Grid& grid = m_grids[static_cast<std::size_t>(k)];
        grid.entries.reserve(static_cast<std::size_t>(sheet.GetKindCount(kind)));
        for (POSITION pos = sheet.GetFirstItemPos(kind); pos;) {
            CItemBase* item = sheet.GetNextItem(kind, pos);
            CDRect r = item->GetBoundingRect();
            r.NormalizeRect();
            if (!Finite(r)) {
                grid.always.push_back(static_cast<std::uint32_t>(grid.entries.size()));
                grid.entries.push_back(Entry{item, 0, 0, 0, 0});
                continue;
            }
            grid.entries.push_back(Entry{item, Down(r.left), Down(r.top), Up(r.right), Up(r.bottom)});
        }
        grid.Build();
    }
}

namespace {

// The cell of a coordinate, held to 0..count-1 before it becomes an integer (far or not a number:
// the nearest edge cell).
int CellOf(double v, double origin, double cell, int count)
{
    const double c = std::floor((v - origin) / cell);
    if (!(c > 0))
        return 0;
    return c >= count - 1 ? count - 1 : static_cast<int>(c);
}

} // namespace

int CSheetIndex::Grid::Col(double x) const
{
    return CellOf(x, x0, cell, cols);
}

int CSheetIndex::Grid::Row(double y) const
{
    return CellOf(y, y0, cell, rows);
}

void CSheetIndex::Grid::Build()
{
    const std::size_t n = entries.size() - always.size();
    if (n == 0)
        return;
    bool first = true;
    std::size_t next = 0; // walks always, which is ascending
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (next < always.size() && always[next] == i) {
            ++next;
            continue;
        }
        const Entry& e = entries[i];
        const CDRect r(e.l, e.t, e.r, e.b);
        if (first) {
            extent = r;
            first = false;
        }
        extent.left = std::min(extent.left, r.left);
        extent.top = std::min(extent.top, r.top);
        extent.right = std::max(extent.right, r.right);
        extent.bottom = std::max(extent.bottom, r.bottom);
    }
    const double w = std::max(extent.right - extent.left, 1e-6);
    const double h = std::max(extent.bottom - extent.top, 1e-6);
    cell = std::max(std::sqrt(w * h * kPerCell / static_cast<double>(n)), 1e-6);
    cols = std::clamp(static_cast<int>(std::ceil(w / cell)), 1, kMaxSide);
    rows = std::clamp(static_cast<int>(std::ceil(h / cell)), 1, kMaxSide);
    cell = std::max(w / cols, h / rows);
    x0 = extent.left;
    y0 = extent.top;

    // Two passes: count each cell's entries, then place them; entries stay ascending per cell.
    const std::size_t cellCount = static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows);
    starts.assign(cellCount + 1, 0);
    const auto forCells = [&](auto&& fn) {
        std::size_t skip = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (skip < always.size() && always[skip] == i) {
                ++skip;
                continue;
            }
            const Entry& e = entries[i];
            const int c0 = Col(e.l), c1 = Col(e.r), r0 = Row(e.t), r1 = Row(e.b);
            if (std::int64_t(c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerItem) {
                fn(i, -1, -1, -1, -1);
                continue;
            }
            fn(i, c0, c1, r0, r1);
        }
    };
    forCells([&](std::size_t i, int c0, int c1, int r0, int r1) {
        if (c0 < 0) {
            large.push_back(static_cast<std::uint32_t>(i));
            return;
        }
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                ++starts[static_cast<std::size_t>(r) * cols + c + 1];
    });
    for (std::size_t c = 0; c < cellCount; ++c)
        starts[c + 1] += starts[c];
    cells.resize(starts[cellCount]);
    std::vector<std::uint32_t> fill(starts.begin(), starts.end() - 1);
    forCells([&](std::size_t i, int c0, int c1, int r0, int r1) {
        for (int r = r0; r <= r1 && c0 >= 0; ++r)
            for (int c = c0; c <= c1; ++c)
                cells[fill[static_cast<std::size_t>(r) * cols + c]++] = static_cast<std::uint32_t>(i);
    });
}

// --- Queries.

void CSheetIndex::Query(int kinds, const CDRect& rect, std::vector<CItemBase*>& out) const
{
    CDRect r = rect;
    r.NormalizeRect();
    for (int k = 0; k < SHEET_KIND_COUNT; ++k) {
        if (kinds & (1 << k))
            m_grids[static_cast<std::size_t>(k)].Query(r, out);
    }
}

void CSheetIndex::Grid::Query(const CDRect& r, std::vector<CItemBase*>& out) const
{
    if (entries.empty())
        return;
    // A rectangle holding every item gives them all, in order, without a look at the cells.
    if (cols == 0 || (r.left <= extent.left && r.top <= extent.top && r.right >= extent.right &&
                      r.bottom >= extent.bottom)) {
        if (cols == 0) {
            for (const std::uint32_t i : always)
                out.push_back(entries[i].item);
        } else {
            for (const Entry& e : entries)
                out.push_back(e.item);
        }
        return;
    }
    const auto meets = [&r](const Entry& e) {
        return e.l <= r.right && r.left <= e.r && e.t <= r.bottom && r.top <= e.b;
    };
    std::vector<std::uint32_t> hits(always);
    for (const std::uint32_t i : large) {
        if (meets(entries[i]))
            hits.push_back(i);
    }
    if (r.left <= extent.right && extent.left <= r.right && r.top <= extent.bottom &&
        extent.top <= r.bottom) {
        const int qc0 = Col(r.left), qc1 = Col(r.right), qr0 = Row(r.top), qr1 = Row(r.bottom);
        for (int row = qr0; row <= qr1; ++row) {
            for (int col = qc0; col <= qc1; ++col) {
                const std::size_t c = static_cast<std::size_t>(row) * cols + col;
                for (std::uint32_t k = starts[c]; k < starts[c + 1]; ++k) {
                    const Entry& e = entries[cells[k]];
                    // An item in several cells is taken in the first cell that both cover.
                    if (!meets(e) || std::max(Col(e.l), qc0) != col || std::max(Row(e.t), qr0) != row)
                        continue;
                    hits.push_back(cells[k]);
                }
            }
        }
    }
    std::sort(hits.begin(), hits.end());
    for (const std::uint32_t i : hits)
        out.push_back(entries[i].item);
}

CDRect CSheetIndex::DrawArea(const platform::DrawContext& dc)
{
    const CRect clip = dc.GetClipBox();
    const CSize pixel = dc.DPtoLP(CSize(1, 1));
    const double scale = CDPoint::GetScale() > 0 ? CDPoint::GetScale() : 1;
    const double grow =
        kDrawMargin + (kDrawMarginUnits + 2.0 * (std::abs(pixel.cx) + std::abs(pixel.cy))) / scale;
    CDRect area(std::min(clip.left, clip.right) / scale, std::min(clip.top, clip.bottom) / scale,
                std::max(clip.left, clip.right) / scale, std::max(clip.top, clip.bottom) / scale);
    area.InflateRect(grow);
    return area;
}
