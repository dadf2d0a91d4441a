// Tidying a layer: degenerate, outside and duplicate items, the duplicate test of new pads, the
// partial selection of texts, and the outline test that marks the lines and arcs closing into
// frames. Duplicates and touching ends are found through a grid of item points, so that the work
// grows with the number of items rather than with its square; the results and their order are
// those of comparing every item with every later one.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/net/RectGrid.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

template <class T> T& As(CItemBase* item)
{
    return *static_cast<T*>(item);
}

// ---------------------------------------------------------------------------------------------
// A grid of points in cells of kCell millimetres. Points that compare equal under the 1e-6
// tolerance lie in the same cell or in neighbouring ones, so only those cells need looking at.
// Coordinates that no cell can hold (infinite, NaN, or too large for the tolerance to mean
// anything) go to one list that every query looks at.

constexpr double kCell = 0.05;
// Cell borders are shifted off the usual placement grids (0.01, 0.025, 0.05 and 0.1 mm, and tenths
// of an inch), so that points on a grid lie well inside one cell and are looked up there alone.
constexpr double kCellShift = 0.0123456;
// Wider than the tolerance, so that rounding at a cell border never hides a neighbour.
constexpr double kReach = 4.0 * GEOM_TOLERANCE;

bool CellOf(double v, std::int64_t& cell)
{
    const double c = std::floor((v + kCellShift) / kCell);
    if (!(std::fabs(c) < 1e15))
        return false;
    cell = static_cast<std::int64_t>(c);
    return true;
}

// The cells that hold the values within kReach of v (one or two).
bool CellRange(double v, std::int64_t& lo, std::int64_t& hi)
{
    return CellOf(v - kReach, lo) && CellOf(v + kReach, hi);
}

// Up to two points make a key (a line by both ends, other items by one point).
struct CellKey
{
    std::array<std::int64_t, 4> c{};
    bool operator==(const CellKey&) const = default;
};

struct CellKeyHash
{
    std::size_t operator()(const CellKey& k) const
    {
        std::uint64_t h = 0x9E3779B97F4A7C15ull;
        for (std::int64_t v : k.c) {
            h ^= static_cast<std::uint64_t>(v) + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
            h *= 0xFF51AFD7ED558CCDull;
        }
        return static_cast<std::size_t>(h ^ (h >> 33));
    }
};

// The key of the cell that holds a (and b); false where a coordinate fits no cell.
bool KeyOf(const CDPoint& a, const CDPoint* b, CellKey& key)
{
    return CellOf(a.x, key.c[0]) && CellOf(a.y, key.c[1]) &&
           (!b || (CellOf(b->x, key.c[2]) && CellOf(b->y, key.c[3])));
}

// Calls visit(key) for every cell that may hold a point within the tolerance of a (and of b); none
// where a coordinate fits no cell.
template <class Visit> void ForNearCells(const CDPoint& a, const CDPoint* b, Visit visit)
{
    std::array<std::int64_t, 4> lo{}, hi{};
    if (!CellRange(a.x, lo[0], hi[0]) || !CellRange(a.y, lo[1], hi[1]))
        return;
    if (b && (!CellRange(b->x, lo[2], hi[2]) || !CellRange(b->y, lo[3], hi[3])))
        return;
    CellKey key;
    for (key.c[0] = lo[0]; key.c[0] <= hi[0]; ++key.c[0])
        for (key.c[1] = lo[1]; key.c[1] <= hi[1]; ++key.c[1])
            for (key.c[2] = lo[2]; key.c[2] <= hi[2]; ++key.c[2])
                for (key.c[3] = lo[3]; key.c[3] <= hi[3]; ++key.c[3])
                    visit(key);
}

class PointGrid
{
public:
    // The entry at one point, or at two (second may be null).
    void Add(const CDPoint& a, const CDPoint* b, int id)
    {
        CellKey key;
        if (KeyOf(a, b, key))
            m_cells[key].push_back(id);
        else
            m_overflow.push_back(id);
    }
    // Takes an entry out again (from the cell it was added to).
    void Remove(const CDPoint& a, const CDPoint* b, int id)
    {
        CellKey key;
        std::vector<int>* list = &m_overflow;
        if (KeyOf(a, b, key)) {
            const auto it = m_cells.find(key);
            if (it == m_cells.end())
                return;
            list = &it->second;
        }
        const auto at = std::find(list->begin(), list->end(), id);
        if (at != list->end())
            list->erase(at);
    }
    // Calls visit(id) for every entry that may lie within the tolerance of a (and of b); an entry
    // can be visited more than once.
    template <class Visit> void ForNear(const CDPoint& a, const CDPoint* b, Visit visit) const
    {
        for (int id : m_overflow)
            visit(id);
        ForNearCells(a, b, [&](const CellKey& key) {
            const auto it = m_cells.find(key);
            if (it == m_cells.end())
                return;
            for (int id : it->second)
                visit(id);
        });
    }

private:
    std::unordered_map<CellKey, std::vector<int>, CellKeyHash> m_cells;
    std::vector<int> m_overflow;
};

// The survivors of a duplicate search, by cell key: an open-addressed table of cells, each the head
// of a chain of entry numbers (the most recent first) kept in one array, so that a large board
// needs no allocation per cell and a look-up touches few places in memory.
class DupIndex
{
public:
    explicit DupIndex(std::size_t items)
    {
        std::size_t capacity = 16;
        while (capacity < 2 * items)
            capacity *= 2;
        m_slots.resize(capacity);
        m_next.assign(items, -1);
    }

    void Add(const CDPoint& a, const CDPoint* b, int id)
    {
        CellKey key;
        if (!KeyOf(a, b, key)) {
            m_overflow.push_back(id);
            return;
        }
        Slot& slot = m_slots[SlotOf(key)];
        if (slot.head >= 0)
            m_next[static_cast<std::size_t>(id)] = slot.head;
        slot.key = key;
        slot.head = id;
    }
    template <class Visit> void ForNear(const CDPoint& a, const CDPoint* b, Visit visit) const
    {
        for (int id : m_overflow)
            visit(id);
        ForNearCells(a, b, [&](const CellKey& key) {
            for (int id = m_slots[SlotOf(key)].head; id >= 0; id = m_next[static_cast<std::size_t>(id)])
                visit(id);
        });
    }

private:
    struct Slot
    {
        CellKey key;
        int head = -1;
    };
    // The slot of the key, or the empty slot where it would go (the table is never more than half
    // full, so there always is one).
    std::size_t SlotOf(const CellKey& key) const
    {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = CellKeyHash()(key) & mask;; i = (i + 1) & mask)
            if (m_slots[i].head < 0 || m_slots[i].key == key)
                return i;
    }

    std::vector<Slot> m_slots;
    std::vector<int> m_next;
    std::vector<int> m_overflow;
};

// The point by which items of a kind are found: an item equal to another has this point within
// the tolerance of the other's.
CDPoint KeyPoint(CItemBase* item)
{
    switch (item->GetKind()) {
    case KIND_ARC:
        return As<CArc>(item).GetCenter();
    case KIND_TEXT:
        return As<CText>(item).GetPoint();
    case KIND_LAND:
        return As<CLand>(item).GetPoint();
    case KIND_HOLE:
        return As<CHole>(item).GetPoint();
    case KIND_TER:
        return As<CTer>(item).GetPoint();
    case KIND_VIA:
        return As<CVia>(item).GetPoint();
    case KIND_PART:
        return As<CPart>(item).GetOrg();
    default:
        return CDPoint();
    }
}

// Whether a later item duplicates an earlier one (the earlier is the left operand, as in the
// comparison of every item with every later one).
bool IsDuplicate(CItemBase* earlier, CItemBase* later)
{
    switch (earlier->GetKind()) {
    case KIND_LINE: {
        CLine& k = As<CLine>(earlier);
        CLine& d = As<CLine>(later);
        if (k == d)
            return true;
        // A line drawn the other way round is the same line.
        CLine swapped(d);
        swapped.SetParent(nullptr);
        swapped.Swap();
        return k == swapped;
    }
    case KIND_ARC:
        return As<CArc>(earlier) == As<CArc>(later);
    case KIND_TEXT:
        return As<CText>(earlier) == As<CText>(later);
    case KIND_LAND:
        return As<CLand>(earlier) == As<CLand>(later);
    case KIND_HOLE:
        return As<CHole>(earlier) == As<CHole>(later);
    case KIND_TER:
        return As<CTer>(earlier) == As<CTer>(later);
    case KIND_VIA:
        return As<CVia>(earlier) == As<CVia>(later);
    case KIND_PART:
        return As<CPart>(earlier).Compare(As<CPart>(later)) != 0;
    default:
        return false;
    }
}

// For every item of the list, whether it is deleted: an item goes when an earlier surviving item
// equals it. That is what deleting, for each item from the head, every later item equal to it
// leaves, since an item is deleted by the first survivor before it that equals it. found(i, j) is
// told which survivor i takes item j.
template <class Found> std::vector<char> FindDuplicates(const std::vector<CItemBase*>& items, Found found)
{
    const int n = static_cast<int>(items.size());
    std::vector<char> dead(static_cast<std::size_t>(n), 0);
    if (n < 2)
        return dead;
    const bool lines = items.front()->GetKind() == KIND_LINE;
    const bool texts = items.front()->GetKind() == KIND_TEXT;
    DupIndex grid(items.size());
    int firstEmptyText = -1;
    for (int j = 0; j < n; ++j) {
        CItemBase* item = items[static_cast<std::size_t>(j)];
        // Texts without a string are all equal to each other, wherever they stand.
        if (texts && As<CText>(item).GetName().empty()) {
            if (firstEmptyText < 0) {
                firstEmptyText = j;
            } else {
                dead[static_cast<std::size_t>(j)] = 1;
                found(firstEmptyText, j);
            }
            continue;
        }
        int first = n;
        auto consider = [&](int i) {
            if (i < first && IsDuplicate(items[static_cast<std::size_t>(i)], item))
                first = i;
        };
        if (lines) {
            const CLine& d = As<CLine>(item);
            grid.ForNear(d.GetStartPoint(), &d.GetEndPoint(), consider);
            grid.ForNear(d.GetEndPoint(), &d.GetStartPoint(), consider);
        } else {
            grid.ForNear(KeyPoint(item), nullptr, consider);
        }
        if (first < n) {
            dead[static_cast<std::size_t>(j)] = 1;
            found(first, j);
            continue;
        }
        if (lines) {
            const CLine& k = As<CLine>(item);
            grid.Add(k.GetStartPoint(), &k.GetEndPoint(), j);
        } else {
            grid.Add(KeyPoint(item), nullptr, j);
        }
    }
    return dead;
}

// ---------------------------------------------------------------------------------------------
// Outline test

// The lines and arcs of a sheet as one numbered list (lines first), with their ends.
struct FrameElements
{
    std::vector<CItemBase*> items;
    std::vector<std::array<CDPoint, 2>> ends;
    std::vector<char> excluded;
    PointGrid grid; // live ends: entry id = element * 2 + end

    static CDPoint EndPoint(const std::array<CDPoint, 2>& e, int end)
    {
        return e[static_cast<std::size_t>(end)];
    }

    void AddEnds(int element)
    {
        for (int end = 0; end < 2; ++end)
            grid.Add(ends[static_cast<std::size_t>(element)][static_cast<std::size_t>(end)], nullptr,
                     element * 2 + end);
    }
    void RemoveEnds(int element)
    {
        for (int end = 0; end < 2; ++end)
            grid.Remove(ends[static_cast<std::size_t>(element)][static_cast<std::size_t>(end)], nullptr,
                        element * 2 + end);
    }
    const CDPoint& Point(int id) const
    {
        return ends[static_cast<std::size_t>(id / 2)][static_cast<std::size_t>(id % 2)];
    }
};

// P lies within the tolerance of q, as the outline test compares an end with the point it
// continues from.
bool Meets(const CDPoint& p, const CDPoint& q)
{
    return p.x >= q.x - GEOM_TOLERANCE && p.x < q.x + GEOM_TOLERANCE && p.y >= q.y - GEOM_TOLERANCE &&
           p.y < q.y + GEOM_TOLERANCE;
}

bool EndFlag(CItemBase* item, int end)
{
    if (item->GetKind() == KIND_LINE)
        return end == 0 ? As<CLine>(item).CheckStartEdge() : As<CLine>(item).CheckEndEdge();
    return end == 0 ? As<CArc>(item).CheckStartEdge() : As<CArc>(item).CheckEndEdge();
}

void SetEndFlag(CItemBase* item, int end, bool on)
{
    if (item->GetKind() == KIND_LINE)
        As<CLine>(item).SetCheck(end + 1, on);
    else
        As<CArc>(item).SetCheck(end + 1, on);
}

bool IsFullCircle(CArc& arc)
{
    return std::fabs(arc.GetStartAngle() - arc.GetEndAngle()) < 0.001;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Text selection

void CSheet::SetTextSel(const CDRect& rect)
{
    if (m_nCount == 0)
        return;
    for (CItemBase* item : *ListOf(KIND_LINE))
        if (item->GetType() & LINE_NAMED)
            As<CLine>(item).GetNameText()->SetTextSel(rect);
    for (CItemBase* item : *ListOf(KIND_ARC))
        if (item->GetType() & ARC_NAMED)
            As<CArc>(item).GetNameText()->SetTextSel(rect);
    for (CItemBase* item : *ListOf(KIND_TEXT))
        As<CText>(item).SetTextSel(rect);
    for (CItemBase* item : *ListOf(KIND_TER))
        As<CTer>(item).GetNoText()->SetTextSel(rect);
    for (CItemBase* item : *ListOf(KIND_PART)) {
        CPart& part = As<CPart>(item);
        part.GetPartNameText()->SetTextSel(rect);
        part.GetRefNameText()->SetTextSel(rect);
        part.GetValNameText()->SetTextSel(rect);
        for (POSITION pos = part.GetFirstTerPos(); pos;)
            part.GetNextTer(pos)->GetNoText()->SetTextSel(rect);
        for (POSITION pos = part.GetFirstLinePos(); pos;) {
            CLine* line = part.GetNextLine(pos);
            if (line->GetType() & LINE_NAMED)
                line->GetNameText()->SetTextSel(rect);
        }
        for (POSITION pos = part.GetFirstArcPos(); pos;) {
            CArc* arc = part.GetNextArc(pos);
            if (arc->GetType() & ARC_NAMED)
                arc->GetNameText()->SetTextSel(rect);
        }
        for (POSITION pos = part.GetFirstTextPos(); pos;)
            part.GetNextText(pos)->SetTextSel(rect);
    }
}

void CSheet::ResetTextSel()
{
    if (m_nCount == 0)
        return;
    // A name text not made yet has no selection to reset.
    for (CItemBase* item : *ListOf(KIND_LINE))
        if (CText* name = As<CLine>(item).HeldNameText())
            name->ResetTextSel();
    for (CItemBase* item : *ListOf(KIND_ARC))
        if (CText* name = As<CArc>(item).HeldNameText())
            name->ResetTextSel();
    for (CItemBase* item : *ListOf(KIND_TEXT))
        As<CText>(item).ResetTextSel();
    for (CItemBase* item : *ListOf(KIND_TER))
        As<CTer>(item).GetNoText()->ResetTextSel();
    for (CItemBase* item : *ListOf(KIND_PART)) {
        CPart& part = As<CPart>(item);
        part.GetPartNameText()->ResetTextSel();
        part.GetRefNameText()->ResetTextSel();
        part.GetValNameText()->ResetTextSel();
        for (POSITION pos = part.GetFirstTerPos(); pos;)
            part.GetNextTer(pos)->GetNoText()->ResetTextSel();
        for (POSITION pos = part.GetFirstLinePos(); pos;)
            if (CText* name = part.GetNextLine(pos)->HeldNameText())
                name->ResetTextSel();
        for (POSITION pos = part.GetFirstArcPos(); pos;)
            if (CText* name = part.GetNextArc(pos)->HeldNameText())
                name->ResetTextSel();
        for (POSITION pos = part.GetFirstTextPos(); pos;)
            part.GetNextText(pos)->ResetTextSel();
    }
}

// ---------------------------------------------------------------------------------------------
// Degenerate and outside items

void CSheet::CleanZeroLine()
{
    CItemList& lines = *ListOf(KIND_LINE);
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        CLine& line = As<CLine>(lines.GetNext(pos));
        if (line.GetStartPoint() == line.GetEndPoint())
            RemoveItemAt(KIND_LINE, here);
    }
}

int CSheet::CleanNullItem()
{
    const int before = m_nCount;

    // A zero-length line with an aperture is a flash of that aperture; it goes only when another
    // line of the same aperture already covers its point. The lines with an aperture are found
    // through a grid of their rectangles (the first look at each rectangle brings it up to date, as
    // it would when the lines are compared one by one).
    CItemList& lines = *ListOf(KIND_LINE);
    std::vector<CLine*> all;
    for (CItemBase* item : lines)
        all.push_back(&As<CLine>(item));
    std::vector<char> alive(all.size(), 1);
    const bool anyFlash = std::any_of(all.begin(), all.end(), [](CLine* l) {
        return l->GetTurretNo() > 0 && l->GetStartPoint() == l->GetEndPoint();
    });
    std::vector<CDRect> rects(all.size());
    std::unique_ptr<RectGrid> grid;
    if (anyFlash) {
        for (std::size_t i = 0; i < all.size(); ++i)
            if (all[i]->GetTurretNo() > 0)
                rects[i] = all[i]->GetBoundingRect();
        grid = std::make_unique<RectGrid>(rects);
        for (std::size_t i = 0; i < all.size(); ++i)
            if (all[i]->GetTurretNo() > 0)
                grid->Insert(static_cast<int>(i), rects[i]);
    }
    std::size_t index = 0;
    for (POSITION pos = lines.GetHeadPosition(); pos; ++index) {
        const POSITION here = pos;
        CLine& line = As<CLine>(lines.GetNext(pos));
        const CDPoint point = line.GetStartPoint();
        if (!(point == line.GetEndPoint()))
            continue;
        const int turret = line.GetTurretNo();
        bool remove = turret == 0;
        auto covers = [&](std::size_t i) {
            CLine& other = *all[i];
            return alive[i] && &other != &line && other.GetTurretNo() == turret &&
                   other.GetBoundingRect().PtInRect(point) && other.CheckPoint(point);
        };
        if (turret > 0) {
            grid->Query(CDRect(point, point), [&](int i) {
                if (!remove && covers(static_cast<std::size_t>(i)))
                    remove = true;
            });
        } else if (turret < 0) {
            for (std::size_t i = 0; i < all.size() && !remove; ++i)
                remove = covers(i);
        }
        if (remove) {
            alive[index] = 0;
            RemoveItemAt(KIND_LINE, here);
        }
    }

    CItemList& arcs = *ListOf(KIND_ARC);
    for (POSITION pos = arcs.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        if (!(As<CArc>(arcs.GetNext(pos)).GetRadius() > 0.0))
            RemoveItemAt(KIND_ARC, here);
    }

    CItemList& texts = *ListOf(KIND_TEXT);
    for (POSITION pos = texts.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        if (As<CText>(texts.GetNext(pos)).GetName().empty())
            RemoveItemAt(KIND_TEXT, here);
    }

    CItemList& surs = *ListOf(KIND_SUR);
    for (POSITION pos = surs.GetHeadPosition(); pos;) {
        const POSITION here = pos;
        CSur& sur = As<CSur>(surs.GetNext(pos));
        sur.CleanNullItem();
        sur.ResetBounding();
        if (sur.GetBoundingRect().IsRectNull())
            RemoveItemAt(KIND_SUR, here);
    }
    return m_nCount != before ? 1 : 0;
}

int CSheet::CleanOutSideItem(const CDPoint& extent)
{
    const int before = m_nCount;
    for (int kind :
         {KIND_LINE, KIND_ARC, KIND_SUR, KIND_LAND, KIND_HOLE, KIND_TEXT, KIND_TER, KIND_VIA, KIND_PART}) {
        CItemList& list = *ListOf(kind);
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            const POSITION here = pos;
            CItemBase* item = list.GetNext(pos);
            if (item->GetBoundingRect().IsRectOutSide(extent))
                RemoveItemAt(kind, here);
        }
    }
    return m_nCount != before ? 1 : 0;
}

int CSheet::CleanLine()
{
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Duplicates

int CSheet::IsDup(CItemBase* item, int kind, bool adopt)
{
    if (!item)
        return 0;
    CSheet* viaParts = m_pDoc ? m_pDoc->GetBoardSheet(LAYER_MAX) : nullptr;
    switch (kind) {
    case ID_INPUT_LAND: {
        const CDPoint p = As<CLand>(item).GetPoint();
        for (CItemBase* stored : *ListOf(KIND_LAND)) {
            if (!As<CLand>(stored).CheckPoint(p))
                continue;
            if (adopt)
                item->SetTurretNo(stored->GetTurretNo(), false);
            return 1;
        }
        return 0;
    }
    case ID_INPUT_VIA: {
        const CDPoint p = As<CVia>(item).GetPoint();
        for (CItemBase* stored : *ListOf(KIND_VIA)) {
            if (!As<CVia>(stored).CheckPoint(p))
                continue;
            if (adopt) {
                // The copy stays where it is: it takes the found via's data, not its owner.
                CVia& via = As<CVia>(item);
                CItemBase* parent = via.GetParent();
                via = As<CVia>(stored);
                via.SetParent(parent);
                via.SetID(0);
                via.ResetLayerID();
            }
            return 1;
        }
        return 0;
    }
    case ID_INPUT_HOLE: {
        const CDPoint p = As<CHole>(item).GetPoint();
        CHole* found = nullptr;
        for (CItemBase* stored : *ListOf(KIND_HOLE))
            if (As<CHole>(stored).CheckPoint(p)) {
                found = &As<CHole>(stored);
                break;
            }
        // The holes of the placed parts count too.
        if (!found && viaParts)
            for (POSITION pos = viaParts->GetFirstPartPos(); pos && !found;) {
                CPart* part = viaParts->GetNextPart(pos);
                for (POSITION h = part->GetFirstHolePos(); h;) {
                    CHole* hole = part->GetNextHole(h);
                    if (hole->CheckPoint(p)) {
                        found = hole;
                        break;
                    }
                }
            }
        if (!found)
            return 0;
        if (adopt) {
            CHole& hole = As<CHole>(item);
            CItemBase* parent = hole.GetParent();
            hole = *found;
            hole.SetParent(parent);
            hole.ResetAllWire();
        }
        return 1;
    }
    case ID_INPUT_TER: {
        CTer& ter = As<CTer>(item);
        const CDPoint p = ter.GetPoint();
        auto at = [&p](CTer* other) {
            const CDPoint& q = other->GetPoint();
            return p.x >= q.x - GEOM_TOLERANCE && p.x < q.x + GEOM_TOLERANCE && p.y >= q.y - GEOM_TOLERANCE &&
                   p.y < q.y + GEOM_TOLERANCE;
        };
        CTer* found = nullptr;
        for (CItemBase* stored : *ListOf(KIND_TER))
            if (at(&As<CTer>(stored))) {
                found = &As<CTer>(stored);
                break;
            }
        if (!found && viaParts)
            for (POSITION pos = viaParts->GetFirstPartPos(); pos && !found;) {
                CPart* part = viaParts->GetNextPart(pos);
                for (POSITION t = part->GetFirstTerPos(); t;) {
                    CTer* other = part->GetNextTer(t);
                    if (at(other)) {
                        found = other;
                        break;
                    }
                }
            }
        if (!found)
            return 0;
        if (adopt) {
            ter.GetNoText()->SetName(found->GetNo());
            ter.GetNoText()->SetParent(&ter);
        }
        return 1;
    }
    default:
        return 0;
    }
}

int CSheet::CleanDupItem()
{
    const int before = m_nCount;
    for (int kind : {KIND_LINE, KIND_ARC, KIND_TEXT, KIND_LAND, KIND_HOLE, KIND_TER, KIND_VIA, KIND_PART}) {
        CItemList& list = *ListOf(kind);
        if (list.GetCount() < 2)
            continue;
        std::vector<CItemBase*> items;
        std::vector<POSITION> nodes;
        items.reserve(static_cast<std::size_t>(list.GetCount()));
        nodes.reserve(static_cast<std::size_t>(list.GetCount()));
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            nodes.push_back(pos);
            items.push_back(list.GetNext(pos));
        }
        const std::vector<char> dead = FindDuplicates(items, [&](int survivor, int duplicate) {
            if (kind != KIND_LINE)
                return;
            // The line that stays takes over a name that only the deleted one had.
            CLine& keep = As<CLine>(items[static_cast<std::size_t>(survivor)]);
            CLine& gone = As<CLine>(items[static_cast<std::size_t>(duplicate)]);
            if (keep.GetName().empty() && !gone.GetName().empty()) {
                *keep.GetNameText() = *gone.GetNameText();
                keep.GetNameText()->SetParent(&keep);
                keep.ResetBounding();
            }
        });
        for (std::size_t i = 0; i < nodes.size(); ++i)
            if (dead[i])
                RemoveItemAt(kind, nodes[i]);
    }
    return m_nCount != before ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Outline test

bool CSheet::FrameCheck(CItemBase* item, int end, CDPoint* point, std::vector<CItemBase*>* excluded)
{
    std::vector<CItemBase*> local;
    if (!excluded)
        excluded = &local;

    FrameElements el;
    for (int kind : {KIND_LINE, KIND_ARC})
        for (CItemBase* it : *ListOf(kind)) {
            el.items.push_back(it);
            if (kind == KIND_LINE)
                el.ends.push_back({As<CLine>(it).GetStartPoint(), As<CLine>(it).GetEndPoint()});
            else
                el.ends.push_back({As<CArc>(it).GetStartPoint(), As<CArc>(it).GetEndPoint()});
        }
    const int n = static_cast<int>(el.items.size());
    el.excluded.assign(static_cast<std::size_t>(n), 0);
    {
        const std::unordered_set<CItemBase*> given(excluded->begin(), excluded->end());
        for (int i = 0; i < n; ++i)
            if (given.count(el.items[static_cast<std::size_t>(i)]))
                el.excluded[static_cast<std::size_t>(i)] = 1;
    }
    for (int i = 0; i < n; ++i)
        if (!el.excluded[static_cast<std::size_t>(i)])
            el.AddEnds(i);

    if (item) {
        // One step of the marking from an item's end: every clear end that meets the point is
        // marked, the item's end with it, and the marking goes on from there, depth first, in the
        // order lines then arcs, start then end.
        int start = -1;
        for (int i = 0; i < n; ++i)
            if (el.items[static_cast<std::size_t>(i)] == item)
                start = i;
        if (start < 0 || !point || (end != 1 && end != 2))
            return false;
        struct Frame
        {
            int element;
            int end;
            std::vector<int> candidates;
            std::size_t next = 0;
        };
        auto candidatesAt = [&el](int element, const CDPoint& p) {
            std::vector<int> found;
            el.grid.ForNear(p, nullptr, [&](int id) {
                if (id / 2 != element && Meets(p, el.Point(id)))
                    found.push_back(id);
            });
            std::sort(found.begin(), found.end());
            found.erase(std::unique(found.begin(), found.end()), found.end());
            return found;
        };
        bool marked = false;
        std::vector<Frame> stack;
        stack.push_back(Frame{start, end - 1, candidatesAt(start, *point)});
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next == top.candidates.size()) {
                stack.pop_back();
                continue;
            }
            const int id = top.candidates[top.next++];
            CItemBase* other = el.items[static_cast<std::size_t>(id / 2)];
            if (EndFlag(other, id % 2))
                continue;
            SetEndFlag(other, id % 2, true);
            SetEndFlag(el.items[static_cast<std::size_t>(top.element)], top.end, true);
            marked = true;
            const int element = id / 2;
            const int otherEnd = id % 2;
            stack.push_back(Frame{element, otherEnd, candidatesAt(element, el.Point(id))});
        }
        return marked;
    }

    // An end is marked exactly when an end of another element still in play meets it (each way
    // round, as the depth-first marking reaches it from either side). Elements with one end marked
    // are open and leave the play; only the neighbours of those that left can change in the next
    // round, so each round looks at those alone.
    auto joined = [&el](int id) {
        const CDPoint& p = el.Point(id);
        bool found = false;
        el.grid.ForNear(p, nullptr, [&](int other) {
            if (!found && other / 2 != id / 2 && (Meets(p, el.Point(other)) || Meets(el.Point(other), p)))
                found = true;
        });
        return found;
    };

    std::vector<int> candidates;
    for (int i = 0; i < n; ++i)
        if (!el.excluded[static_cast<std::size_t>(i)])
            candidates.push_back(i);
    while (!candidates.empty()) {
        std::vector<int> open;
        for (int i : candidates)
            if (joined(i * 2) != joined(i * 2 + 1))
                open.push_back(i);
        if (open.empty())
            break;
        // Lines come before arcs in the numbering, so this is the order of the lists.
        for (int i : open) {
            el.excluded[static_cast<std::size_t>(i)] = 1;
            excluded->push_back(el.items[static_cast<std::size_t>(i)]);
            el.RemoveEnds(i);
        }
        std::vector<int> next;
        for (int i : open)
            for (int e = 0; e < 2; ++e) {
                const CDPoint& p = el.Point(i * 2 + e);
                el.grid.ForNear(p, nullptr, [&](int other) {
                    if (Meets(p, el.Point(other)) || Meets(el.Point(other), p))
                        next.push_back(other / 2);
                });
            }
        std::sort(next.begin(), next.end());
        next.erase(std::unique(next.begin(), next.end()), next.end());
        candidates.swap(next);
    }

    // The marks of the last round: both ends of a closed chain, none on what left the play; a full
    // circle that meets nothing closes on itself.
    for (int i = 0; i < n; ++i) {
        CItemBase* it = el.items[static_cast<std::size_t>(i)];
        bool start = false;
        bool stop = false;
        if (!el.excluded[static_cast<std::size_t>(i)]) {
            start = joined(i * 2);
            stop = joined(i * 2 + 1);
            if (it->GetKind() == KIND_ARC && !start && !stop && IsFullCircle(As<CArc>(it)))
                start = stop = true;
        }
        SetEndFlag(it, 0, start);
        SetEndFlag(it, 1, stop);
    }
    return static_cast<int>(excluded->size()) != GetKindCount(KIND_LINE) + GetKindCount(KIND_ARC);
}
