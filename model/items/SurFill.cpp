// Surface fill and outline housekeeping: the hatch fill, snapping outline ends together, dropping
// degenerate items, chaining the outline into loops, and numbering the connected regions of a
// negative surface's strips.
//
// The hatch fill runs scan lines across the surface (turned so that the hatch runs along x); the
// scan itself is in SurScan.h.

#include "model/items/Sur.h"

#include "model/items/Arc.h"
#include "model/items/Line.h"
#include "model/items/SurScan.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "platform/Messages.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <limits>
#include <memory>
#include <numbers>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

using surscan::IsFullCircle;
using surscan::kTol;
using surscan::ScanCrossArc;
using surscan::ScanTable;

constexpr double kSnapSquared = 0.0001; // ends within 0.01 are snapped together
constexpr double kRowBand = 0.1;        // fill lines of one band of rows (grouping)

// The notice bit of a refused fill on the archive of a load.
constexpr unsigned kNoticeFillTooLarge = 0x1;

template <class T> T* As(CItemBase* item)
{
    return static_cast<T*>(item);
}

bool Near(const CDPoint& a, const CDPoint& b)
{
    const double dx = a.x - b.x;
    const double dy = a.y - b.y;
    return dx * dx + dy * dy <= kSnapSquared;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Hatch fill

double CSur::FillPitch(double width)
{
    if (width < 0.1)
        return 0.05;
    if (width < 0.2)
        return width - 0.02;
    if (width <= 5.0)
        return 0.9 * width;
    return width - 0.5;
}

void CSur::DeleteSurLine()
{
    m_SurLines.RemoveAll();
    m_nType &= ~SUR_FILLED;
    MarkDirty();
}

CSur::FillWork& CSur::FillWorkDone()
{
    static thread_local FillWork work;
    return work;
}

void CSur::ReportFillTooLarge(CArchive& ar) const
{
    if (m_bFillTooLarge && ar.FirstNotice(kNoticeFillTooLarge))
        ShowFillTooLarge();
}

void CSur::ShowFillTooLarge()
{
    AfxMessageBox(_J("塗り潰しが大きすぎる面があります。その面は塗り潰さずに読み込みました。"),
                  MB_OK | MB_ICONEXCLAMATION);
}

void CSur::MakeSurLine(bool force)
{
    if (!force && (m_nType & (SUR_FILLED | SUR_NOFILL)))
        return;
    DeleteSurLine();
    m_bFillTooLarge = false;

    // The hatch runs along x in a frame turned by minus the surface's angle. The scan works on a
    // turned copy of the outline: turning the outline itself there and back would leave rounding
    // (and the line's snapping to exact axes) in it after every fill.
    if (m_nTurret < 0)
        CItemBase::SetTurretNo(0, false);
    const double angle = m_dAngle;
    const CDPoint origin(0.0, 0.0);
    const bool turned = angle != 0.0 && !(m_nType & SUR_EDGE);
    std::unique_ptr<CSur> turnedCopy;
    CSur* frame = this;
    if (turned) {
        turnedCopy = std::make_unique<CSur>(*this);
        turnedCopy->SetParent(nullptr);
        turnedCopy->Rotate(origin, -angle, true);
        frame = turnedCopy.get();
    }

    const CDRect rect = frame->GetBoundingRect();
    const double pitch = FillPitch(GetLineWidth());

    ScanTable table;
    for (CItemBase* item : frame->m_Lines)
        table.AddLine(*As<CLine>(item));
    for (CItemBase* item : frame->m_Arcs)
        table.AddArc(*As<CArc>(item));
    for (CItemBase* item : frame->m_Windows) {
        CSur* window = As<CSur>(item);
        for (CItemBase* line : window->m_Lines)
            table.AddLine(*As<CLine>(line));
        for (CItemBase* arc : window->m_Arcs)
            table.AddArc(*As<CArc>(arc));
    }
    table.Prepare();

    const bool nega = (m_nType & SUR_NEGA) != 0;
    std::vector<double> xs;
    const surscan::ScanCount count = surscan::ScanFill(
        table, rect, pitch, nega, xs, [&](const CDPoint& a, const CDPoint& b, long long index) {
            auto line = std::make_unique<CLine>(a, b, m_nTurret, 0);
            line->SetID(nega ? 0 : static_cast<std::uint32_t>(index % 256));
            line->SetParent(this);
            m_SurLines.AddTail(std::move(line));
        });
    const bool tooLarge = count.tooLarge;
    FillWork& work = FillWorkDone();
    work.scanLines += count.scanLines;
    work.fillLines += count.fillLines;
    if (tooLarge) {
        m_SurLines.RemoveAll();
        m_bFillTooLarge = true;
    }

    // Back into the surface's own frame; a fill forced on a surface without fill belongs with the
    // outline too.
    if (turned)
        RotateFillLines(origin, angle);

    if (!force) {
        m_nType |= SUR_FILLED;
        MarkDirty();
    }
}

// ---------------------------------------------------------------------------------------------
// Outline housekeeping

namespace {

// The ends of a surface's outline lines in cells of 0.02, so that the ends within 0.01 of a point
// are found among a few neighbours. Entries are line index x 2 + end (0 start, 1 end).
class EndGrid
{
public:
    explicit EndGrid(const std::vector<CLine*>& lines) : m_lines(lines), m_small(lines.size() <= kSmall)
    {
        for (std::size_t i = 0; !m_small && i < lines.size(); ++i) {
            m_cells[Key(lines[i]->GetStartPoint())].push_back(static_cast<int>(2 * i));
            m_cells[Key(lines[i]->GetEndPoint())].push_back(static_cast<int>(2 * i + 1));
        }
    }

    // The lines (index above `after`, ascending, each once) with an end near one of the points;
    // valid until the next search (one list serves every search of a surface).
    const std::vector<int>& Near(std::initializer_list<CDPoint> points, int after)
    {
        std::vector<int>& found = m_found;
        found.clear();
        if (m_small) {
            // Every later line: the callers test each for nearness themselves, so a few lines
            // (a glyph's, a pad's) are quicker tried all than looked up.
            for (int i = std::max(after + 1, 0); i < static_cast<int>(m_lines.size()); ++i)
                found.push_back(i);
            return found;
        }
        const auto take = [&](std::uint64_t key) {
            const auto it = m_cells.find(key);
            if (it == m_cells.end())
                return;
            for (const int entry : it->second)
                if (entry / 2 > after)
                    found.push_back(entry / 2);
        };
        for (const CDPoint& p : points) {
            const std::uint64_t key = Key(p);
            if (key == kFar) {
                take(kFar);
                continue;
            }
            const std::int64_t cx = static_cast<std::int64_t>(key >> 32),
                               cy = static_cast<std::int64_t>(key & 0xFFFFFFFFu);
            for (std::int64_t dx = -1; dx <= 1; ++dx)
                for (std::int64_t dy = -1; dy <= 1; ++dy)
                    take((static_cast<std::uint64_t>(cx + dx) << 32) | static_cast<std::uint64_t>(cy + dy));
            take(kFar);
        }
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        return found;
    }

    // Whether every later line is a candidate.
    bool Small() const { return m_small; }

    // Moves one end of a line to p (the line is changed here too).
    void Move(int line, int end, const CDPoint& p)
    {
        CLine* item = m_lines[static_cast<std::size_t>(line)];
        const std::uint64_t from = Key(end ? item->GetEndPoint() : item->GetStartPoint());
        const std::uint64_t to = Key(p);
        if (end)
            item->SetEndPoint(p);
        else
            item->SetStartPoint(p);
        if (m_small || from == to)
            return;
        std::vector<int>& cell = m_cells[from];
        const int entry = 2 * line + end;
        cell.erase(std::find(cell.begin(), cell.end(), entry));
        m_cells[to].push_back(entry);
    }

private:
    // Up to this many lines no cells are made.
    static constexpr std::size_t kSmall = 96;
    static constexpr double kCell = 0.02;
    // Cell numbers are kept within 31 bits (and away from the edge, so that neighbours exist);
    // ends farther out, or not numbers at all, share one cell that every search looks at.
    static constexpr double kLimit = 1.0e9;
    static constexpr std::uint64_t kFar = ~std::uint64_t{0};

    static std::uint64_t Key(const CDPoint& p)
    {
        const double cx = std::floor(p.x / kCell), cy = std::floor(p.y / kCell);
        if (!(std::fabs(cx) < kLimit && std::fabs(cy) < kLimit))
            return kFar;
        const auto bias = [](double c) {
            return static_cast<std::uint64_t>(static_cast<std::int64_t>(c) + (1LL << 31));
        };
        return (bias(cx) << 32) | bias(cy);
    }

    const std::vector<CLine*>& m_lines;
    bool m_small;
    std::unordered_map<std::uint64_t, std::vector<int>> m_cells;
    std::vector<int> m_found;
};

} // namespace

void CSur::Normalize()
{
    std::vector<CLine*> lines;
    lines.reserve(static_cast<std::size_t>(m_Lines.GetCount()));
    for (CItemBase* item : m_Lines)
        lines.push_back(As<CLine>(item));
    EndGrid grid(lines);
    // One line against a point: its start, or else its end, moves onto the point when near it.
    const auto snap = [&](int index, const CDPoint& p) {
        const CLine* line = lines[static_cast<std::size_t>(index)];
        if (Near(line->GetStartPoint(), p))
            grid.Move(index, 0, p);
        else if (Near(line->GetEndPoint(), p))
            grid.Move(index, 1, p);
    };

    // Lines adapt to arc ends: arcs are never moved. Each line is changed only by its own tests,
    // so the lines near a point can be taken in any order.
    for (CItemBase* item : m_Arcs) {
        const CArc* arc = As<CArc>(item);
        for (const CDPoint& p : {arc->GetStartPoint(), arc->GetEndPoint()})
            for (const int index : grid.Near({p}, -1))
                snap(index, p);
    }
    // Later lines adapt to earlier ones. A few lines are all tried, without a list of them.
    const int count = static_cast<int>(lines.size());
    for (int a = 0; a < count; ++a) {
        const CDPoint s = lines[static_cast<std::size_t>(a)]->GetStartPoint();
        const CDPoint e = lines[static_cast<std::size_t>(a)]->GetEndPoint();
        if (grid.Small()) {
            for (int b = a + 1; b < count; ++b) {
                snap(b, s);
                snap(b, e);
            }
            continue;
        }
        for (const int b : grid.Near({s, e}, a)) {
            snap(b, s);
            snap(b, e);
        }
    }
    for (CItemBase* item : m_Windows)
        As<CSur>(item)->Normalize();
    MarkDirty();
}

int CSur::CleanNullItem()
{
    bool removed = false;
    for (POSITION pos = m_Lines.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        const CLine* line = As<CLine>(m_Lines.GetNext(pos));
        if (line->GetStartPoint() == line->GetEndPoint()) {
            m_Lines.RemoveAt(here);
            removed = true;
        }
    }
    for (POSITION pos = m_Arcs.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        const CArc* arc = As<CArc>(m_Arcs.GetNext(pos));
        if (!(arc->GetRadius() > 0.0)) {
            m_Arcs.RemoveAt(here);
            removed = true;
        }
    }
    for (CItemBase* item : m_Windows) {
        CSur* window = As<CSur>(item);
        if (window->CleanNullItem()) {
            window->Normalize();
            removed = true;
        }
    }
    if (!removed)
        return 0;
    Normalize();
    return 1;
}

int CSur::IsCircle() const
{
    if (m_Arcs.GetCount() != 1 || !m_Lines.IsEmpty() || !m_Windows.IsEmpty())
        return 0;
    return IsFullCircle(*As<CArc>(*m_Arcs.begin())) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Outline chaining

// The outline items with a note of which are in the list already, and an index by x of their ends
// so that each step of a chain finds its successor without walking the whole outline.
struct CSur::ChainState
{
    struct Key
    {
        double x;
        int index;
    };

    std::vector<CLine*> lines;
    std::vector<CArc*> arcs;
    std::vector<CDPoint> arcStart, arcEnd;
    std::vector<char> lineUsed, arcUsed;
    std::vector<Key> lineStartX, lineEndX, arcStartX, arcEndX;

    ChainState(CSur& sur, const CItemBaseList& list)
    {
        std::unordered_set<const CItemBase*> present(list.begin(), list.end());
        for (CItemBase* item : sur.m_Lines) {
            CLine* line = As<CLine>(item);
            const int i = static_cast<int>(lines.size());
            lines.push_back(line);
            lineUsed.push_back(present.count(line) ? 1 : 0);
            lineStartX.push_back({line->GetStartPoint().x, i});
            lineEndX.push_back({line->GetEndPoint().x, i});
        }
        for (CItemBase* item : sur.m_Arcs) {
            CArc* arc = As<CArc>(item);
            const int i = static_cast<int>(arcs.size());
            arcs.push_back(arc);
            arcUsed.push_back(present.count(arc) ? 1 : 0);
            arcStart.push_back(arc->GetStartPoint());
            arcEnd.push_back(arc->GetEndPoint());
            arcStartX.push_back({arcStart.back().x, i});
            arcEndX.push_back({arcEnd.back().x, i});
        }
        for (auto* keys : {&lineStartX, &lineEndX, &arcStartX, &arcEndX})
            std::sort(keys->begin(), keys->end(), [](const Key& a, const Key& b) { return a.x < b.x; });
    }

    // The lowest index among the unused items whose point equals p (the point's one-sided 1e-6
    // equality, with the item's point on the left), or -1.
    template <class PointOf>
    static int First(const std::vector<Key>& keys, const std::vector<char>& used, const CDPoint& p,
                     PointOf pointOf)
    {
        // q == p holds only for p.x - tol <= q.x < p.x + tol.
        auto it = std::lower_bound(keys.begin(), keys.end(), p.x - kTol,
                                   [](const Key& k, double x) { return k.x < x; });
        int best = -1;
        for (; it != keys.end() && it->x < p.x + kTol; ++it) {
            if (used[static_cast<std::size_t>(it->index)] || (best >= 0 && it->index > best))
                continue;
            if (pointOf(it->index) == p)
                best = it->index;
        }
        return best;
    }

    void Continue(CItemBaseList& list, CDPoint point)
    {
        for (;;) {
            int i = First(lineStartX, lineUsed, point, [&](int k) { return lines[k]->GetStartPoint(); });
            if (i >= 0) {
                lineUsed[i] = 1;
                list.AddTail(lines[i]);
                point = lines[i]->GetEndPoint();
                continue;
            }
            i = First(lineEndX, lineUsed, point, [&](int k) { return lines[k]->GetEndPoint(); });
            if (i >= 0) {
                CLine* line = lines[i];
                lineUsed[i] = 1;
                line->ModifyType(SUR_CHAIN_REVERSED, SUR_CHAIN_REVERSED);
                line->Swap();
                list.AddTail(line);
                point = line->GetEndPoint();
                continue;
            }
            i = First(arcStartX, arcUsed, point, [&](int k) { return arcStart[k]; });
            if (i >= 0) {
                arcUsed[i] = 1;
                list.AddTail(arcs[i]);
                point = arcEnd[i];
                continue;
            }
            i = First(arcEndX, arcUsed, point, [&](int k) { return arcEnd[k]; });
            if (i >= 0) {
                arcUsed[i] = 1;
                arcs[i]->ModifyType(SUR_CHAIN_REVERSED, SUR_CHAIN_REVERSED);
                list.AddTail(arcs[i]);
                point = arcStart[i];
                continue;
            }
            return;
        }
    }
};

void CSur::CalcLineList(CItemBaseList& list)
{
    ChainState state(*this, list);
    // Full circles are loops of their own.
    for (std::size_t i = 0; i < state.arcs.size(); ++i) {
        if (state.arcUsed[i] || !IsFullCircle(*state.arcs[i]))
            continue;
        state.arcUsed[i] = 1;
        state.arcs[i]->ModifyType(SUR_CHAIN_FIRST, SUR_CHAIN_FIRST);
        list.AddTail(state.arcs[i]);
    }
    for (std::size_t i = 0; i < state.lines.size(); ++i) {
        if (state.lineUsed[i])
            continue;
        state.lineUsed[i] = 1;
        state.lines[i]->ModifyType(SUR_CHAIN_FIRST, SUR_CHAIN_FIRST);
        list.AddTail(state.lines[i]);
        state.Continue(list, state.lines[i]->GetEndPoint());
    }
    for (std::size_t i = 0; i < state.arcs.size(); ++i) {
        if (state.arcUsed[i])
            continue;
        state.arcUsed[i] = 1;
        state.arcs[i]->ModifyType(SUR_CHAIN_FIRST, SUR_CHAIN_FIRST);
        list.AddTail(state.arcs[i]);
        state.Continue(list, state.arcEnd[i]);
    }
}

void CSur::CalcLineListSub(CItemBaseList& list, const CDPoint& end)
{
    ChainState state(*this, list);
    state.Continue(list, end);
}

void CSur::ResetModify()
{
    constexpr int marks = SUR_CHAIN_REVERSED | SUR_CHAIN_FIRST;
    for (CItemBase* item : m_Lines) {
        CLine* line = As<CLine>(item);
        if (!(line->GetType() & marks))
            continue;
        if (line->GetType() & SUR_CHAIN_REVERSED)
            line->Swap();
        line->ModifyType(0, marks);
    }
    for (CItemBase* item : m_Arcs)
        if (item->GetType() & marks)
            item->ModifyType(0, marks);
    for (CItemBase* item : m_Windows)
        As<CSur>(item)->ResetModify();
}

// ---------------------------------------------------------------------------------------------
// Region numbering of strips

// The outline items that a connector between two strips must not cross (this surface's and its
// windows' lines and arcs), in a grid of cells so that a connector meets only the items near it.
struct CSur::GroupIndex
{
    std::vector<CItemBase*> items;
    std::vector<CDRect> rects;
    double left = 0.0, top = 0.0, cell = 1.0;
    int columns = 1, rows = 1;
    std::vector<std::vector<int>> cells;
    std::vector<unsigned> seen;
    unsigned stamp = 0;

    explicit GroupIndex(CSur& sur)
    {
        const auto add = [&](CItemBase* item) {
            items.push_back(item);
            rects.push_back(item->GetBoundingRect());
        };
        for (CItemBase* item : sur.m_Lines)
            add(item);
        for (CItemBase* item : sur.m_Arcs)
            add(item);
        for (CItemBase* window : sur.m_Windows) {
            for (CItemBase* item : As<CSur>(window)->m_Lines)
                add(item);
            for (CItemBase* item : As<CSur>(window)->m_Arcs)
                add(item);
        }
        seen.assign(items.size(), 0);
        if (items.empty())
            return;
        CDRect all = rects.front();
        for (const CDRect& r : rects) {
            all.left = std::min(all.left, r.left);
            all.top = std::min(all.top, r.top);
            all.right = std::max(all.right, r.right);
            all.bottom = std::max(all.bottom, r.bottom);
        }
        const double width = all.right - all.left;
        const double height = all.bottom - all.top;
        if (!std::isfinite(width) || !std::isfinite(height))
            return; // one cell holds everything
        const double side = std::sqrt(static_cast<double>(items.size()));
        cell = std::max({width, height, 1e-3}) / std::max(1.0, std::ceil(side));
        left = all.left;
        top = all.top;
        columns = std::clamp(static_cast<int>(width / cell) + 1, 1, 4096);
        rows = std::clamp(static_cast<int>(height / cell) + 1, 1, 4096);
        cells.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), {});
        for (std::size_t i = 0; i < items.size(); ++i)
            ForCells(rects[i], [&](std::vector<int>& c) { c.push_back(static_cast<int>(i)); });
    }

    int Column(double x) const
    {
        const double c = std::floor((x - left) / cell);
        return c < 0.0 ? 0 : (c >= columns ? columns - 1 : static_cast<int>(c));
    }
    int Row(double y) const
    {
        const double r = std::floor((y - top) / cell);
        return r < 0.0 ? 0 : (r >= rows ? rows - 1 : static_cast<int>(r));
    }

    template <class F> void ForCells(const CDRect& r, F f)
    {
        if (cells.empty())
            return;
        for (int row = Row(r.top); row <= Row(r.bottom); ++row)
            for (int column = Column(r.left); column <= Column(r.right); ++column)
                f(cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                        static_cast<std::size_t>(column)]);
    }

    // Calls f with every item whose rectangle meets r, each once.
    template <class F> bool AnyMeeting(const CDRect& r, F f)
    {
        const auto meets = [&](int i) {
            const CDRect& q = rects[static_cast<std::size_t>(i)];
            return q.left <= r.right && r.left <= q.right && q.top <= r.bottom && r.top <= q.bottom;
        };
        if (cells.empty()) {
            for (std::size_t i = 0; i < items.size(); ++i)
                if (meets(static_cast<int>(i)) && f(items[i]))
                    return true;
            return false;
        }
        ++stamp;
        bool found = false;
        ForCells(r, [&](std::vector<int>& c) {
            for (const int i : c) {
                if (found || seen[static_cast<std::size_t>(i)] == stamp)
                    continue;
                seen[static_cast<std::size_t>(i)] = stamp;
                if (meets(i) && f(items[static_cast<std::size_t>(i)]))
                    found = true;
            }
        });
        return found;
    }
};

bool CSur::ConnectorCrossesOutline(const CDPoint& from, const CDPoint& to)
{
    // The connector and each item are turned about the connector's start until the connector runs
    // along x; then a crossing is a crossing of that horizontal line.
    CLine connector(from, to, 0, 0);
    const CDRect span = connector.GetBoundingRect();
    const double angle = from.GetAngle(to);
    CLine turned(connector);
    turned.Rotate(from, -angle);
    const CDPoint s = turned.GetStartPoint();
    const CDPoint e = turned.GetEndPoint();
    const double x1 = std::min(s.x, e.x), x2 = std::max(s.x, e.x);

    const auto crosses = [&](CItemBase* item) {
        if (item->GetKind() == KIND_LINE) {
            CLine other(*As<CLine>(item));
            other.Rotate(from, -angle);
            return turned.CrossXPoint(other, nullptr) != 0;
        }
        CArc other(*As<CArc>(item));
        other.Rotate(from, -angle);
        double out[2];
        return ScanCrossArc(other, s.y, x1, x2, out) != 0;
    };

    if (m_pGroupIndex)
        return m_pGroupIndex->AnyMeeting(span, crosses);
    GroupIndex index(*this);
    return index.AnyMeeting(span, crosses);
}

int CSur::MakeSurLineGroupChk(const CDPoint* ends)
{
    const CDPoint& s1 = ends[0];
    const CDPoint& e1 = ends[1];
    const CDPoint& s2 = ends[2];
    const CDPoint& e2 = ends[3];
    if (e2.x >= s1.x && s2.x <= e1.x)
        return 1;
    if (s1.y == s2.y)
        return 0;
    return ConnectorCrossesOutline(s2.GetCenter(e2), s1.GetCenter(e1)) ? 0 : 1;
}

namespace {

// The fill lines in list order, for the flood of one group id.
class GroupFlood
{
public:
    GroupFlood(CSur& sur, std::vector<CLine*>& lines) : m_sur(sur), m_lines(lines)
    {
        // Scan lines are in order, except where vertex shifts moved one below its predecessor:
        // the largest such drop bounds how far a forward walk must look past the band.
        double highest = -std::numeric_limits<double>::infinity();
        for (const CLine* line : m_lines) {
            const double y = line->GetStartPoint().y;
            if (highest - y > m_drop)
                m_drop = highest - y;
            highest = std::max(highest, y);
        }
        // The longest walk of the back pass (from the line before a strip on, within its band).
        const int n = static_cast<int>(m_lines.size());
        for (int d = 1; d < n; ++d) {
            int k = d - 1;
            while (k < n && std::fabs(Y(k) - Y(d)) < kRowBand)
                ++k;
            m_span = std::max(m_span, k - (d - 1));
        }
    }

    void Flood(int seed)
    {
        const std::uint32_t id = m_lines[static_cast<std::size_t>(seed)]->GetID();
        const int n = static_cast<int>(m_lines.size());
        m_group.clear();
        m_group.insert(seed);
        QueuePass(seed, id);
        // The back pass; a strip it joins that reaches further strips starts a nested flood of the
        // same id, after which the enclosing pass goes on below that strip.
        std::vector<int> resume;
        int cur = n - 1;
        for (;;) {
            if (cur < 0 || (cur == 0 && Id(0) == 0)) {
                if (resume.empty())
                    return;
                cur = resume.back();
                resume.pop_back();
                continue;
            }
            if (Id(cur) != 0) {
                --cur;
                continue;
            }
            // A strip joins only through a strip of the group within its walk; strips without one
            // in reach are passed over at once.
            const auto reach = m_group.lower_bound(cur - 1);
            if (reach == m_group.end() || *reach > cur - 1 + m_span - 1) {
                if (reach == m_group.begin()) {
                    cur = -1;
                } else {
                    cur = std::min(cur - 1, *std::prev(reach) + 1);
                }
                continue;
            }
            if (JoinFromBand(cur, id) && HasUnjoinedNeighbour(cur)) {
                QueuePass(cur, id);
                resume.push_back(cur - 1);
                cur = n - 1;
                continue;
            }
            --cur;
        }
    }

private:
    std::uint32_t Id(int i) const { return m_lines[static_cast<std::size_t>(i)]->GetID(); }
    double Y(int i) const { return m_lines[static_cast<std::size_t>(i)]->GetStartPoint().y; }

    bool Connected(int first, int second)
    {
        const CLine* a = m_lines[static_cast<std::size_t>(first)];
        const CLine* b = m_lines[static_cast<std::size_t>(second)];
        const CDPoint ends[4] = {a->GetStartPoint(), a->GetEndPoint(), b->GetStartPoint(), b->GetEndPoint()};
        return m_sur.MakeSurLineGroupChk(ends) != 0;
    }

    void QueuePass(int seed, std::uint32_t id)
    {
        const int n = static_cast<int>(m_lines.size());
        std::deque<int> queue{seed};
        while (!queue.empty()) {
            int ref = queue.front();
            queue.pop_front();
            for (int i = ref + 1; i < n; ++i) {
                const double dy = Y(i) - Y(ref);
                if (dy >= kRowBand + m_drop)
                    break; // nothing later lies in the band of the reference
                if (Id(i) != 0 || std::fabs(dy) >= kRowBand || !Connected(ref, i))
                    continue;
                CLine* e = m_lines[static_cast<std::size_t>(i)];
                e->SetID(id);
                m_group.insert(i);
                const CLine* r = m_lines[static_cast<std::size_t>(ref)];
                const double rowY = e->GetEndPoint().y;
                for (int j = i + 1; j < n; ++j) {
                    CLine* f = m_lines[static_cast<std::size_t>(j)];
                    if (f->GetID() != 0 || f->GetStartPoint().y != rowY)
                        break;
                    if (f->GetEndPoint().x > r->GetStartPoint().x &&
                        f->GetStartPoint().x < r->GetEndPoint().x) {
                        f->SetID(id);
                        m_group.insert(j);
                        queue.push_back(j);
                    }
                }
                ref = i;
            }
        }
    }

    // From the line before d on, within d's band: the first line of the group connected to d
    // gives d the group's id.
    bool JoinFromBand(int d, std::uint32_t id)
    {
        const int n = static_cast<int>(m_lines.size());
        for (int k = d - 1; k < n; ++k) {
            if (std::fabs(Y(k) - Y(d)) >= kRowBand)
                return false;
            if (Id(k) == id && Connected(d, k)) {
                m_lines[static_cast<std::size_t>(d)]->SetID(id);
                m_group.insert(d);
                return true;
            }
        }
        return false;
    }

    bool HasUnjoinedNeighbour(int d)
    {
        const int n = static_cast<int>(m_lines.size());
        for (int k = d - 1; k < n; ++k) {
            if (std::fabs(Y(k) - Y(d)) >= kRowBand)
                return false;
            if (Id(k) == 0 && Connected(d, k))
                return true;
        }
        return false;
    }

    CSur& m_sur;
    std::vector<CLine*>& m_lines;
    double m_drop = 0.0;
    int m_span = 1;
    std::set<int> m_group; // the strips that carry the id being spread
};

} // namespace

namespace {

// Keeps the surface's outline index for the connector tests while a numbering runs.
template <class Index> class ScopedIndex
{
public:
    ScopedIndex(Index*& slot, Index& index) : m_slot(slot), m_previous(slot) { slot = &index; }
    ~ScopedIndex() { m_slot = m_previous; }
    ScopedIndex(const ScopedIndex&) = delete;
    ScopedIndex& operator=(const ScopedIndex&) = delete;

private:
    Index*& m_slot;
    Index* m_previous;
};

} // namespace

int CSur::MakeSurLineGroup(unsigned int counter)
{
    std::vector<CLine*> lines;
    lines.reserve(static_cast<std::size_t>(m_SurLines.GetCount()));
    for (CItemBase* item : m_SurLines)
        lines.push_back(As<CLine>(item));

    GroupIndex index(*this);
    const ScopedIndex<GroupIndex> scope(m_pGroupIndex, index);
    GroupFlood flood(*this, lines);
    int groups = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i]->GetID() != 0)
            continue;
        counter += 256;
        lines[i]->SetID(counter);
        flood.Flood(static_cast<int>(i));
        ++groups;
    }
    return groups;
}

void CSur::MakeSurLineGroupSub(CLine* seed)
{
    std::vector<CLine*> lines;
    int seedIndex = -1;
    for (CItemBase* item : m_SurLines) {
        if (item == seed)
            seedIndex = static_cast<int>(lines.size());
        lines.push_back(As<CLine>(item));
    }
    if (seedIndex < 0)
        return;
    GroupIndex index(*this);
    const ScopedIndex<GroupIndex> scope(m_pGroupIndex, index);
    GroupFlood flood(*this, lines);
    flood.Flood(seedIndex);
}
