// The layer sheet's copper groups and net ids: giving ids to touching copper, building the groups
// from the ids, linking part terminals to them, keeping ids and groups consistent after loading and
// editing, and the connectivity steps of the sheet's generic operations (installed as its hooks).

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/net/NetFill.h"
#include "model/net/NetLine.h"
#include "model/net/NetMemberIndex.h"
#include "model/net/RectGrid.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "model/sheet/SheetItems.h"
#include "model/sheet/TerminalLinks.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr std::uint32_t kHeader = 0xFFFFFFFFu; // -1: a run of ids of one part's internal connection
constexpr int kOwnIdKinds[] = {KIND_LINE, KIND_ARC, KIND_LAND, KIND_SUR, KIND_TEXT};
// Pieces of a sheet whose rectangles come this close are tested for contact when ids spread.
constexpr double kSpreadMargin = 1e-3;
// Copper groups of this many members and more are filed in a grid while groups are merged.
constexpr std::uint32_t kIndexFrom = 24;

bool Meet(const CDRect& a, const CDRect& b)
{
    return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
           std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
}

bool IsOwnIdKind(int kind)
{
    return kind == KIND_LINE || kind == KIND_ARC || kind == KIND_LAND || kind == KIND_SUR ||
           kind == KIND_TEXT;
}

// The document's hole sheets, each once.
std::vector<CSheet*> HoleSheets(CSheet& sheet)
{
    std::vector<CSheet*> sheets;
    DocumentServices* doc = sheet.GetDocument();
    if (!doc)
        return sheets;
    for (int i = 0; i <= 2 * LAYER_MAX; ++i) {
        CSheet* holes = doc->GetHoleSheet(i);
        if (!holes)
            break;
        if (std::find(sheets.begin(), sheets.end(), holes) == sheets.end())
            sheets.push_back(holes);
    }
    return sheets;
}

// The holes of every hole sheet, each once.
std::vector<CHole*> DocumentHoles(CSheet& sheet)
{
    std::vector<CHole*> holes;
    std::unordered_set<const CHole*> seen;
    for (CSheet* holeSheet : HoleSheets(sheet))
        ForEach<CHole>(*holeSheet, KIND_HOLE, [&](CHole* hole) {
            if (seen.insert(hole).second)
                holes.push_back(hole);
        });
    return holes;
}

// Takes the terminal out of every group it is linked to, both ways.
void UnlinkTer(CTer* ter)
{
    std::vector<CNetLine*> groups;
    for (CTer::NetLinePos pos = ter->GetFirstNetLinePos(); pos;)
        groups.push_back(ter->GetNextNetLine(pos));
    for (CNetLine* group : groups)
        group->RemoveItem(ter);
    ter->RemoveAllNetLine();
}

void UnlinkPartTers(CPart* part)
{
    for (POSITION pos = part->GetFirstTerPos(); pos;)
        UnlinkTer(part->GetNextTer(pos));
}

// Takes a via or hole out of the groups of every wiring layer on which it carries an id.
template <class T> void UnlinkFromWiringLayers(CSheet& sheet, T* item)
{
    DocumentServices* doc = sheet.GetDocument();
    if (!doc)
        return;
    const int count = doc->GetWireLayerCount();
    for (int k = 1; k <= count; ++k) {
        const std::uint32_t id = item->GetLayerID(k);
        if (id == 0)
            continue;
        if (CSheet* layer = doc->GetBoardSheet(doc->GetWireLayer(k)))
            layer->RemoveNetLineItem(id, item);
    }
}

// The connectivity steps of the sheet's generic operations.
void UnlinkItem(CSheet& sheet, CItemBase& item)
{
    const int kind = item.GetKind();
    const int type = sheet.GetSheetType();
    if (IsOwnIdKind(kind)) {
        // The whole group that carried the item's id goes: it may have fallen apart.
        if (type == SHEET_BOARD && sheet.GetWLayer() != 0 && item.GetID() != 0)
            sheet.DeleteNetLineItem(item.GetID());
    } else if (kind == KIND_HOLE) {
        if (type == SHEET_BOARD && (sheet.GetType() & 0x10000))
            UnlinkFromWiringLayers(sheet, static_cast<CHole*>(&item));
    } else if (kind == KIND_VIA) {
        if (type == SHEET_BOARD_VIAPART)
            UnlinkFromWiringLayers(sheet, static_cast<CVia*>(&item));
    } else if (kind == KIND_PART) {
        if (type == SHEET_BOARD_VIAPART)
            UnlinkPartTers(static_cast<CPart*>(&item));
    }
}

void UnlinkAll(CSheet& sheet)
{
    const int type = sheet.GetSheetType();
    if (type == SHEET_BOARD && sheet.GetWLayer() != 0)
        for (auto pos = sheet.GetFirstNetLinePos(); pos;)
            sheet.GetNextNetLine(pos)->SetID(0);
    if (type == SHEET_BOARD && (sheet.GetType() & 0x10000))
        ForEach<CHole>(sheet, KIND_HOLE, [&](CHole* hole) { UnlinkFromWiringLayers(sheet, hole); });
    if (type == SHEET_BOARD_VIAPART && sheet.GetDocument()) {
        ForEach<CVia>(sheet, KIND_VIA, [&](CVia* via) { UnlinkFromWiringLayers(sheet, via); });
        ForEach<CPart>(sheet, KIND_PART, [](CPart* part) { UnlinkPartTers(part); });
    }
}

void PrepareMerge(CSheet& sheet, CSheet& other)
{
    other.SetDocument(sheet.GetDocument());
    other.ResetNetID();
}

void ResetItemIds(CSheet& sheet, CItemBase& item)
{
    sheet.ResetNetID(&item, item.GetKind());
}

} // namespace

void InstallSheetNetHooks()
{
    SheetNetHooks hooks;
    hooks.unlinkItem = UnlinkItem;
    hooks.unlinkAll = UnlinkAll;
    hooks.prepareMerge = PrepareMerge;
    hooks.resetItemIds = ResetItemIds;
    SetSheetNetHooks(hooks);
}

namespace {

// The sheet's groups with their rectangles in grids, in list order, for the group merging of
// MakeRubberGroup. Groups added later come after; absorbed ones are marked gone. The grids' cells
// grow eightfold from one level to the next and a group is filed in the finest level where it
// covers few cells: with one cell size, every group that grew large would sit in a list that each
// query walks, and a large board has thousands of them.
class GroupIndex
{
public:
    explicit GroupIndex(CSheet& sheet)
    {
        std::vector<CDRect> rects;
        for (auto pos = sheet.GetFirstNetLinePos(); pos;)
            rects.push_back(sheet.GetNextNetLine(pos)->GetBoundingRect());
        m_levels.emplace_back(rects);
        double cell = m_levels.front().CellSize();
        for (int level = 1; level < kLevels; ++level) {
            cell *= 8.0;
            m_levels.emplace_back(std::vector<CDRect>{CDRect(0.0, 0.0, cell, cell)});
        }
        for (auto pos = sheet.GetFirstNetLinePos(); pos;) {
            const auto here = pos;
            Add(sheet.GetNextNetLine(pos), here);
        }
    }
    void Add(CNetLine* group, CNetLineList::POSITION pos)
    {
        const int index = static_cast<int>(m_groups.size());
        m_groups.push_back({group, pos, true});
        m_stamp.push_back(0);
        m_index[group] = index;
        File(index, group->GetBoundingRect());
    }
    // After a group grew.
    void Grew(CNetLine* group) { File(m_index[group], group->GetBoundingRect()); }
    void Gone(CNetLine* group) { m_groups[static_cast<std::size_t>(m_index[group])].alive = false; }
    CNetLineList::POSITION PositionOf(CNetLine* group)
    {
        return m_groups[static_cast<std::size_t>(m_index[group])].pos;
    }
    // The live groups whose rectangles meet the rectangle, in list order.
    std::vector<CNetLine*> Near(const CDRect& rect)
    {
        // A group filed again in a coarser level is still filed in the finer ones: each is taken once.
        ++m_pass;
        std::vector<int> found;
        for (RectGrid& grid : m_levels)
            grid.Query(rect, [&](int index) {
                const std::size_t i = static_cast<std::size_t>(index);
                if (m_stamp[i] == m_pass)
                    return;
                m_stamp[i] = m_pass;
                const Entry& entry = m_groups[i];
                if (entry.alive && Meet(entry.group->GetBoundingRect(), rect))
                    found.push_back(index);
            });
        std::sort(found.begin(), found.end());
        std::vector<CNetLine*> groups;
        for (int index : found)
            groups.push_back(m_groups[static_cast<std::size_t>(index)].group);
        return groups;
    }

private:
    static constexpr int kLevels = 8;
    void File(int index, const CDRect& rect)
    {
        const double size = std::max(std::fabs(rect.right - rect.left), std::fabs(rect.bottom - rect.top));
        std::size_t level = 0;
        // Six cells across at most; a rectangle that is not finite stays in the finest level.
        while (level + 1 < m_levels.size() && std::isfinite(size) && size > 6.0 * m_levels[level].CellSize())
            ++level;
        m_levels[level].Insert(index, rect);
    }
    struct Entry
    {
        CNetLine* group;
        CNetLineList::POSITION pos;
        bool alive;
    };
    std::vector<RectGrid> m_levels;
    std::vector<Entry> m_groups;
    std::vector<std::uint64_t> m_stamp;
    std::uint64_t m_pass = 0;
    std::unordered_map<const CNetLine*, int> m_index;
};

// The placed parts with their net rectangles in a grid.
class PartIndex
{
public:
    explicit PartIndex(std::vector<CPart*> parts) : m_parts(std::move(parts)), m_grid(Rects(m_parts))
    {
        for (std::size_t i = 0; i < m_parts.size(); ++i)
            m_grid.Insert(static_cast<int>(i), m_parts[i]->GetNetBoundingRect());
    }
    // The parts whose net rectangle meets the rectangle, in list order.
    template <class F> void ForEachNear(const CDRect& rect, F&& f)
    {
        std::vector<int> found;
        m_grid.Query(rect, [&](int index) {
            if (Meet(m_parts[static_cast<std::size_t>(index)]->GetNetBoundingRect(), rect))
                found.push_back(index);
        });
        std::sort(found.begin(), found.end());
        for (int index : found)
            f(m_parts[static_cast<std::size_t>(index)]);
    }

private:
    static std::vector<CDRect> Rects(const std::vector<CPart*>& parts)
    {
        std::vector<CDRect> rects;
        for (CPart* part : parts)
            rects.push_back(part->GetNetBoundingRect());
        return rects;
    }
    std::vector<CPart*> m_parts;
    RectGrid m_grid;
};

// Which parts a grown or new group must check its terminals against (CPart::CheckTerNetLine).
// A terminal's link to a group follows from tests that only become true as the group grows: its
// part's net rectangle meeting the group's, its own rectangle and its copper's meeting the group's,
// and its copper touching a member. A part whose rectangles take in all of these (net rectangle,
// terminal rectangles, terminal copper as the touch tests see it) can change its links only where
// the group gained members or where the group's rectangle grew; every other part was checked
// against the group before, with the same outcome, so checking it again changes nothing.
class TerminalScan
{
public:
    TerminalScan(const std::vector<CPart*>& parts, int layer, int wLayer, int attr)
        : m_parts(parts), m_grid(Cover(parts, layer, wLayer, attr, m_rects)), m_stamp(parts.size(), 0)
    {
        m_grid.InsertAll(m_rects);
    }

    // The parts to check after the step in which `group` took the members within `gained` (the
    // rectangles of the groups it took in), in list order. A group not met before in this pass is
    // checked wherever it lies: links made before the pass prove nothing.
    const std::vector<CPart*>& After(CNetLine* group, const std::vector<CDRect>& gained)
    {
        ++m_pass;
        m_found.clear();
        m_out.clear();
        const CDRect now = group->GetBoundingRect();
        const auto before = m_seen.find(group);
        if (before == m_seen.end()) {
            Find(now);
        } else {
            const CDRect& was = before->second;
            // What the rectangle gained: the strips of `now` outside `was`.
            if (now.left < was.left)
                Find(CDRect(now.left, now.top, std::min(was.left, now.right), now.bottom));
            if (now.right > was.right)
                Find(CDRect(std::max(was.right, now.left), now.top, now.right, now.bottom));
            if (now.top < was.top)
                Find(CDRect(now.left, now.top, now.right, std::min(was.top, now.bottom)));
            if (now.bottom > was.bottom)
                Find(CDRect(now.left, std::max(was.bottom, now.top), now.right, now.bottom));
            for (const CDRect& rect : gained)
                Find(rect);
        }
        m_seen[group] = now;
        std::sort(m_found.begin(), m_found.end());
        // Only parts whose net rectangle meets the group's are checked at all.
        for (int index : m_found)
            if (Meet(m_parts[static_cast<std::size_t>(index)]->GetNetBoundingRect(), now))
                m_out.push_back(m_parts[static_cast<std::size_t>(index)]);
        return m_out;
    }

private:
    static void Extend(CDRect& into, bool& any, const CDRect& rect)
    {
        // Plain bounds: a rectangle of zero size counts too.
        if (!any) {
            into = rect;
            any = true;
            return;
        }
        into.left = std::min({into.left, rect.left, rect.right});
        into.right = std::max({into.right, rect.left, rect.right});
        into.top = std::min({into.top, rect.top, rect.bottom});
        into.bottom = std::max({into.bottom, rect.top, rect.bottom});
    }
    static std::vector<CDRect>& Cover(const std::vector<CPart*>& parts, int layer, int wLayer, int attr,
                                      std::vector<CDRect>& rects)
    {
        for (CPart* part : parts) {
            CDRect cover;
            bool any = false;
            Extend(cover, any, part->GetNetBoundingRect());
            for (POSITION pos = part->GetFirstTerPos(); pos;) {
                CTer* ter = part->GetNextTer(pos);
                Extend(cover, any, ter->GetItemBoundingRect());
                CNetLine group(ter->GetID(), wLayer, attr);
                if (!part->GetTerItem(layer, &group))
                    continue;
                Extend(cover, any, group.GetBoundingRect());
                for (auto p = group.GetFirstLinePos(); p;)
                    Extend(cover, any, group.GetNextLine(p)->GetBoundingRect());
                for (auto p = group.GetFirstArcPos(); p;)
                    Extend(cover, any, group.GetNextArc(p)->GetBoundingRect());
                for (auto p = group.GetFirstLandPos(); p;)
                    Extend(cover, any, group.GetNextLand(p)->GetBoundingRect());
                for (auto p = group.GetFirstSurPos(); p;)
                    Extend(cover, any, group.GetNextSur(p)->GetBoundingRect());
                for (auto p = group.GetFirstTextPos(); p;)
                    Extend(cover, any, group.GetNextText(p)->GetBoundingRect());
                for (auto p = group.GetFirstHolePos(); p;)
                    Extend(cover, any, group.GetNextHole(p)->GetBoundingRect());
                for (auto p = group.GetFirstViaPos(); p;) {
                    CVia* via = group.GetNextVia(p);
                    Extend(cover, any, via->GetBoundingRect());
                    Extend(cover, any, NetMemberIndex::ViaLand(via, attr, wLayer).GetBoundingRect());
                }
                group.DeleteContents();
            }
            rects.push_back(cover);
        }
        return rects;
    }
    void Find(const CDRect& rect)
    {
        m_grid.Query(rect, [&](int index) {
            const std::size_t i = static_cast<std::size_t>(index);
            if (m_stamp[i] != m_pass && Meet(m_rects[i], rect)) {
                m_stamp[i] = m_pass;
                m_found.push_back(index);
            }
        });
    }

    const std::vector<CPart*>& m_parts;
    std::vector<CDRect> m_rects;
    RectGrid m_grid;
    std::vector<std::uint64_t> m_stamp;
    std::uint64_t m_pass = 0;
    std::unordered_map<const CNetLine*, CDRect> m_seen;
    std::vector<int> m_found;
    std::vector<CPart*> m_out;
};

// The runs of a group array: [begin, end) of each run's ids (after any header), the header's
// start (or npos), and the index of its terminating 0.
struct Run
{
    std::size_t start; // first value of the run (the header's -1 when it has one)
    std::size_t first; // first id
    std::size_t end;   // index of the terminating 0 (or the array's size when it is missing)
    bool header;
};

std::vector<Run> Runs(const std::vector<std::uint32_t>& groups)
{
    std::vector<Run> runs;
    std::size_t i = 0;
    while (i < groups.size()) {
        Run run{i, i, i, false};
        if (groups[i] == kHeader) {
            run.header = true;
            run.first = std::min(i + 3, groups.size());
        }
        std::size_t j = run.first;
        while (j < groups.size() && groups[j] != 0)
            ++j;
        run.end = j;
        runs.push_back(run);
        i = j + 1;
    }
    return runs;
}

bool RunHolds(const std::vector<std::uint32_t>& groups, const Run& run, std::uint32_t id)
{
    return std::find(groups.begin() + static_cast<std::ptrdiff_t>(run.first),
                     groups.begin() + static_cast<std::ptrdiff_t>(run.end),
                     id) != groups.begin() + static_cast<std::ptrdiff_t>(run.end);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Groups of the sheet

CNetLine* CSheet::NewNetLine(const CNetLine& group)
{
    // The copy takes the group's members under the same id, as a group's assignment does; the
    // given group is re-stamped with its own id only.
    auto copy = std::make_unique<CNetLine>();
    *copy = const_cast<CNetLine&>(group);
    CNetLine* stored = copy.get();
    m_netLines.AddTail(std::move(copy));
    return stored;
}

void CSheet::RemoveNetLineItem(std::uint32_t id, CItemBase* item)
{
    for (auto pos = m_netLines.GetHeadPosition(); pos;) {
        CNetLine* group = m_netLines.GetNext(pos);
        if (group->GetID() == id && group->FindItem(item))
            group->RemoveItem(item);
    }
}

void CSheet::DeleteNetLineItem(std::uint32_t id)
{
    for (auto pos = m_netLines.GetHeadPosition(); pos;) {
        const auto here = pos;
        CNetLine* group = m_netLines.GetNext(pos);
        if (group->GetID() != id)
            continue;
        group->SetID(0);
        if (id == m_nNetID)
            m_nNetID -= 256;
        group->DeleteContents();
        m_netLines.RemoveAt(here);
        return;
    }
}

int CSheet::SortNetLine()
{
    const int n = m_netLines.GetCount();
    if (n == 0)
        return 0;
    // The selection sort (the first strictly smallest of the rest comes forward by an exchange)
    // with the smallest of the rest found in a tree of minima instead of a scan.
    std::vector<CNetLineList::POSITION> positions;
    std::vector<std::uint32_t> keys;
    for (auto pos = m_netLines.GetHeadPosition(); pos;) {
        positions.push_back(pos);
        keys.push_back(m_netLines.GetNext(pos)->GetID());
    }
    std::size_t size = 1;
    while (size < keys.size())
        size <<= 1;
    const int none = -1;
    std::vector<int> tree(2 * size, none);
    auto better = [&](int a, int b) {
        if (a == none)
            return b;
        if (b == none)
            return a;
        // Ties keep the earlier node, as the scan does.
        return keys[static_cast<std::size_t>(b)] < keys[static_cast<std::size_t>(a)] ? b : a;
    };
    auto update = [&](std::size_t i) {
        std::size_t node = size + i;
        tree[node] = static_cast<int>(i);
        for (node >>= 1; node >= 1; node >>= 1)
            tree[node] = better(tree[2 * node], tree[2 * node + 1]);
    };
    for (std::size_t i = 0; i < keys.size(); ++i)
        tree[size + i] = static_cast<int>(i);
    for (std::size_t node = size - 1; node >= 1; --node)
        tree[node] = better(tree[2 * node], tree[2 * node + 1]);
    // The smallest over [from, end).
    auto smallest = [&](std::size_t from) {
        int result = none;
        std::size_t lo = from + size, hi = keys.size() + size;
        std::vector<int> right;
        while (lo < hi) {
            if (lo & 1)
                result = better(result, tree[lo++]);
            if (hi & 1)
                right.push_back(tree[--hi]);
            lo >>= 1;
            hi >>= 1;
        }
        for (auto it = right.rbegin(); it != right.rend(); ++it)
            result = better(result, *it);
        return result;
    };
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        const int j = smallest(i);
        if (j == none || static_cast<std::size_t>(j) == i)
            continue;
        m_netLines.SwapAt(positions[i], positions[static_cast<std::size_t>(j)]);
        std::swap(keys[i], keys[static_cast<std::size_t>(j)]);
        update(i);
        update(static_cast<std::size_t>(j));
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Ids

void CSheet::SetNextNetID(CItemBase* item)
{
    if (!item)
        return;
    if (item->GetKind() == KIND_SHEET) {
        m_nNetID = 0;
        return;
    }
    m_nNetID += 256;
    item->SetID(m_nNetID);
}

void CSheet::ChangeID(std::uint32_t oldId, std::uint32_t newId, int vias)
{
    if (oldId == newId)
        return;
    if (vias) {
        if (CSheet* viaPart = ViaPartSheet(*this))
            ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
                if (via->GetID() == oldId)
                    via->SetID(newId);
            });
        return;
    }
    for (int kind : kOwnIdKinds)
        ForEach<CItemBase>(*this, kind, [&](CItemBase* item) {
            if (item->GetID() == oldId)
                item->SetID(newId);
        });
}

std::uint32_t CSheet::GetWLayerFromID()
{
    bool any = false;
    for (int kind : kOwnIdKinds) {
        for (POSITION pos = GetFirstItemPos(kind); pos;) {
            any = true;
            const std::uint32_t low = GetNextItem(kind, pos)->GetID() & 0xFF;
            if (low != 0)
                return low;
        }
    }
    return any ? 0 : static_cast<std::uint32_t>(m_nWLayer);
}

void CSheet::SetWLayerToID()
{
    for (int kind : kOwnIdKinds)
        ForEach<CItemBase>(*this, kind, [&](CItemBase* item) { item->SetWLayer(m_nWLayer); });
}

void CSheet::ResetNetID()
{
    for (int kind : kOwnIdKinds)
        ForEach<CItemBase>(*this, kind, [](CItemBase* item) { item->SetID(0); });
    ForEach<CHole>(*this, KIND_HOLE, [](CHole* hole) {
        hole->SetID(0);
        hole->ResetAllWire();
    });
    ForEach<CVia>(*this, KIND_VIA, [](CVia* via) {
        via->SetID(0);
        via->ResetLayerID();
    });
    ForEach<CPart>(*this, KIND_PART, [](CPart* part) {
        UnlinkPartTers(part);
        part->ResetID();
    });
    for (auto pos = m_netLines.GetHeadPosition(); pos;)
        m_netLines.GetNext(pos)->DeleteContents();
    m_netLines.RemoveAll();
    m_nNetID = static_cast<std::uint32_t>(m_nWLayer);
}

void CSheet::ResetNetID(CItemBase* item, int kind)
{
    if (!item)
        return;
    switch (kind) {
    case KIND_PART:
        UnlinkPartTers(static_cast<CPart*>(item));
        static_cast<CPart*>(item)->ResetID();
        break;
    case KIND_VIA:
        item->SetID(0);
        static_cast<CVia*>(item)->ResetLayerID();
        break;
    case KIND_HOLE:
        item->SetID(0);
        static_cast<CHole*>(item)->ResetAllWire();
        break;
    case KIND_SHEET:
        static_cast<CSheet*>(item)->ResetNetID();
        break;
    default:
        item->SetID(0);
        break;
    }
}

std::uint32_t CSheet::MakeGroup()
{
    const int layer = m_nWLayer;
    const bool wiring = (m_nType & 0x1) != 0;
    CSheet* viaPart = ViaPartSheet(*this);

    if (IsNega()) {
        // The plane's copper is everything not drawn: ids come from its regions, which need at
        // least two connection candidates.
        int candidates = 0;
        ForEach<CLand>(*this, KIND_LAND, [&](CLand* land) {
            if (land->IsTharmal())
                ++candidates;
        });
        if (viaPart && candidates < 2)
            ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
                if (via->CheckWire(layer))
                    ++candidates;
            });
        // The parts' items on this layer, gathered once for the count and the holes.
        CSheet partItems(m_nWLayer, m_nType, m_nLayer, m_pDoc);
        if (candidates < 2)
            GetPartItems(partItems, 0);
        if (candidates < 2)
            ForEach<CLand>(partItems, KIND_LAND, [&](CLand* land) {
                if (land->IsTharmal())
                    ++candidates;
            });
        if (candidates < 2 && m_pDoc) {
            std::vector<CHole*> holes;
            m_pDoc->CollectHoles(holes, true);
            for (CHole* hole : holes) {
                if (CheckHoleOnItem(hole, true, &partItems) && ++candidates >= 2)
                    break;
            }
        }
        if (candidates < 2)
            return static_cast<std::uint32_t>(std::min(candidates, 2));
        return MakeGroupNega();
    }

    ForEach<CSur>(*this, KIND_SUR, [](CSur* sur) { sur->MakeSurLine(false); });
    m_nNetID = static_cast<std::uint32_t>(layer);

    std::vector<NetFill::Node> nodes;
    // Room for this sheet's items and the vias: growing the array by copies costs more than the fill.
    nodes.reserve(static_cast<std::size_t>(std::max(GetItemCount(), 0)) +
                  (wiring && viaPart ? static_cast<std::size_t>(std::max(viaPart->GetItemCount(), 0)) : 0u));
    std::deque<CLand> viaLands;
    for (int kind : kOwnIdKinds)
        ForEach<CItemBase>(*this, kind, [&](CItemBase* item) {
            const CDRect rect = item->GetBoundingRect();
            nodes.push_back({item, item, item, rect, rect, item->GetID() != 0});
        });
    const std::size_t firstVia = nodes.size();
    if (wiring) {
        if (viaPart)
            ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
                // Reached through its contact land; spreads from its land image on this sheet.
                viaLands.push_back(via->GetLand(m_nType, layer, 1));
                CLand& contact = viaLands.back();
                viaLands.push_back(GetLandImage(via, false));
                CLand& image = viaLands.back();
                nodes.push_back({via, &contact, &image, contact.GetBoundingRect(), image.GetBoundingRect(),
                                 via->GetLayerID(layer) != 0});
            });
    }
    const std::size_t endVia = nodes.size();
    if (wiring)
        for (CHole* hole : DocumentHoles(*this)) {
            const CDRect rect = hole->GetBoundingRect();
            nodes.push_back({hole, hole, hole, rect, rect, hole->GetLayerID(layer) != 0});
        }

    NetFill fill(std::move(nodes), kSpreadMargin);
    auto touches = [](const NetFill::Node& piece, const NetFill::Node& from) {
        return NetFill::Touches(piece, from);
    };
    auto take = [&](NetFill::Node& piece) {
        switch (piece.item->GetKind()) {
        case KIND_VIA: {
            auto* via = static_cast<CVia*>(piece.item);
            via->SetLayerID(m_nNetID, layer);
            if (via->GetID() == 0 && viaPart)
                viaPart->SetNextNetID(via);
            break;
        }
        case KIND_HOLE: {
            auto* hole = static_cast<CHole*>(piece.item);
            hole->SetLayerID(m_nNetID, layer);
            if (hole->GetID() == 0)
                hole->SetID(m_nNetID);
            break;
        }
        default:
            piece.item->SetID(m_nNetID);
            break;
        }
    };

    for (int i = 0; i < static_cast<int>(firstVia); ++i) {
        if (fill[i].done)
            continue;
        m_nNetID += 256;
        fill[i].item->SetID(m_nNetID);
        fill.Spread(i, touches, take);
    }
    for (int i = static_cast<int>(firstVia); i < static_cast<int>(endVia); ++i) {
        if (fill[i].done)
            continue;
        m_nNetID += 256;
        static_cast<CVia*>(fill[i].item)->SetLayerID(m_nNetID, layer);
        fill.Spread(i, touches, take);
    }
    return m_nNetID;
}

// ---------------------------------------------------------------------------------------------
// Groups from ids

void CSheet::MakeRubberGroup()
{
    const int layer = m_nWLayer;
    CSheet* viaPart = ViaPartSheet(*this);
    const std::vector<CPart*> parts = PlacedParts(*this);

    // The pieces without an id: on a plane, the vias and holes that join its copper (gathered into
    // a work group); on a positive sheet, its own pieces in kind order, the vias, the holes.
    CNetLine work(0, layer, m_nType);
    std::vector<CItemBase*> pieces, vias, holes;
    if (IsNega()) {
        if (viaPart)
            ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
                if (via->CheckWire(layer) && via->GetLayerID(layer) == 0)
                    work.AddItem(via);
            });
        for (CHole* hole : DocumentHoles(*this))
            if (CheckHoleOnItem(hole, true))
                work.AddItem(hole);
    } else {
        for (int kind : kOwnIdKinds)
            ForEach<CItemBase>(*this, kind, [&](CItemBase* item) {
                if (item->GetID() == 0)
                    pieces.push_back(item);
            });
        if (viaPart)
            ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
                if (via->GetLayerID(layer) == 0)
                    vias.push_back(via);
            });
        for (CHole* hole : DocumentHoles(*this))
            if (hole->GetID() == 0 && hole->GetLayerID(layer) == 0)
                holes.push_back(hole);
    }

    if (!work.IsEmpty()) {
        CNetLine* target = nullptr;
        if (m_nNetID > 255)
            for (auto pos = m_netLines.GetHeadPosition(); pos && !target;) {
                CNetLine* group = m_netLines.GetNext(pos);
                if (group->GetID() == m_nNetID)
                    target = group;
            }
        if (target) {
            *target += work;
        } else {
            if (m_nNetID <= 255)
                m_nNetID += 256;
            auto group = std::make_unique<CNetLine>(m_nNetID, layer, m_nType);
            *group += work;
            m_netLines.AddTail(std::move(group));
        }
        work.DeleteContents();
    } else if (!pieces.empty() || !vias.empty() || !holes.empty()) {
        for (CItemBase* item : pieces)
            if (item->GetKind() == KIND_SUR)
                static_cast<CSur*>(item)->MakeSurLine(false);
        const std::uint32_t base = m_nNetID;
        const int made = CNetLine::MakeNetID(base + 256, pieces, vias, holes, m_nType, layer);

        // The pieces by id, in the order GetSameIDItem takes them: the new ids are base + 256,
        // base + 512, ...
        std::vector<std::vector<CItemBase*>> byId(static_cast<std::size_t>(std::max(made, 0)));
        auto file = [&](CItemBase* item, std::uint32_t id) {
            // Ids wrap as the counter does.
            const std::uint32_t step = id - base;
            if (step == 0 || step % 256u != 0)
                return;
            const std::uint32_t k = step / 256u - 1u;
            if (k < byId.size())
                byId[k].push_back(item);
        };
        for (CItemBase* item : pieces)
            file(item, item->GetID());
        for (CItemBase* via : vias)
            file(via, static_cast<CVia*>(via)->GetLayerID(layer));
        for (CItemBase* hole : holes)
            file(hole, static_cast<CHole*>(hole)->GetLayerID(layer));

        GroupIndex groups(*this);
        PartIndex partIndex(parts);
        TerminalScan terminals(parts, m_nLayer, layer, m_nType);
        std::vector<CDRect> gained;
        for (int k = 0; k < made; ++k) {
            const std::uint32_t id = base + 256u * static_cast<std::uint32_t>(k + 1);
            auto group = std::make_unique<CNetLine>(id, layer, m_nType);
            const std::vector<CItemBase*>& members = byId[static_cast<std::size_t>(k)];
            group->ReserveMembers(members.size());
            for (std::size_t i = 0; i < members.size(); ++i) {
                // A group's pieces lie far apart on a large board: each is fetched from memory
                // while earlier ones are added.
                if (i + 8 < members.size())
                    __builtin_prefetch(members[i + 8]);
                group->AddItem(members[i]);
            }
            // The members of large groups are filed once for the pass and kept up to date
            // through the merges, so that a touch test looks only at the members near each
            // item; a small group is walked.
            auto keepIndex = [](CNetLine* line) {
                if (line->GetCount(1) + line->GetCount(2) + line->GetCount(4) + line->GetCount(5) +
                        line->GetCount(6) + line->GetCount(7) + line->GetCount(8) >=
                    kIndexFrom)
                    line->KeepMemberIndex();
            };
            keepIndex(group.get());

            std::vector<CNetLine*> touching;
            for (CNetLine* near : groups.Near(group->GetBoundingRect())) {
                keepIndex(near);
                if (near->CheckShortItem(group.get()))
                    touching.push_back(near);
            }

            CNetLine* result;
            gained.assign(1, group->GetBoundingRect());
            for (std::size_t i = 1; i < touching.size(); ++i)
                gained.push_back(touching[i]->GetBoundingRect());
            if (!touching.empty()) {
                result = touching.front();
                for (std::size_t i = 1; i < touching.size(); ++i) {
                    if (touching[i]->GetID() == m_nNetID)
                        m_nNetID -= 256;
                    *result += *touching[i];
                }
                *result += *group;
                group->DeleteContents();
                groups.Grew(result);
                if (touching.size() > 1) {
                    partIndex.ForEachNear(result->GetBoundingRect(),
                                          [&](CPart* part) { part->ChangeTerNetLine(&touching); });
                    for (std::size_t i = 1; i < touching.size(); ++i) {
                        groups.Gone(touching[i]);
                        touching[i]->DeleteContents();
                        m_netLines.RemoveAt(groups.PositionOf(touching[i]));
                    }
                }
            } else {
                m_nNetID = id;
                result = group.get();
                groups.Add(result, m_netLines.AddTail(std::move(group)));
            }
            for (CPart* part : terminals.After(result, gained))
                part->CheckTerNetLine(result, m_nLayer);
        }
    }

    if (IsNega() && m_netLines.GetCount() > 0) {
        CNetLine* first = m_netLines.GetHead();
        for (CPart* part : parts) {
            if (part->GetID() != 0)
                continue;
            for (POSITION pos = part->GetFirstViaPos(); pos;) {
                CVia* via = part->GetNextVia(pos);
                if (!via->CheckWire(layer) || via->GetLayerID(layer) != 0)
                    continue;
                via->SetLayerID(m_nNetID, layer);
                if (CTer* ter = part->GetTer(via->GetID()))
                    ter->AddTailNetLine(first);
            }
            for (POSITION pos = part->GetFirstHolePos(); pos;) {
                CHole* hole = part->GetNextHole(pos);
                if (hole->GetLayerID(layer) != 0 || !CheckHoleOnItem(hole, true))
                    continue;
                hole->SetLayerID(m_nNetID, layer);
                if (CTer* ter = part->GetTer(hole->GetID()))
                    ter->AddTailNetLine(first);
            }
        }
    }
    if (m_nType & 0x6) {
        // The groups near each part through a grid, in list order as a walk of the list meets them.
        std::vector<CNetLine*> lines;
        std::vector<CDRect> rects;
        for (auto pos = m_netLines.GetHeadPosition(); pos;) {
            lines.push_back(m_netLines.GetNext(pos));
            rects.push_back(lines.back()->GetBoundingRect());
        }
        RectGrid grid(rects);
        grid.InsertAll(rects);
        std::vector<int> near;
        for (CPart* part : parts) {
            if (part->GetID() != 0)
                continue;
            const CDRect rect = part->GetNetBoundingRect();
            near.clear();
            grid.Query(rect, [&](int index) {
                if (Meet(rects[static_cast<std::size_t>(index)], rect))
                    near.push_back(index);
            });
            std::sort(near.begin(), near.end());
            for (int index : near)
                part->CheckTerNetLine(lines[static_cast<std::size_t>(index)], m_nLayer);
        }
    }
    // The items may move once the pass is over.
    for (auto pos = m_netLines.GetHeadPosition(); pos;)
        m_netLines.GetNext(pos)->ReleaseMemberIndex();
}

namespace {

// A new group of the id at the end of the list; the counter rises to the id.
CNetLine* AppendGroup(CNetLineList& lines, std::uint32_t id, int wLayer, int type, std::uint32_t& counter)
{
    auto group = std::make_unique<CNetLine>(id, wLayer, type);
    CNetLine* made = group.get();
    lines.AddTail(std::move(group));
    if (counter < id)
        counter = id;
    return made;
}

} // namespace

void CSheet::CorrectID2NetLineSub(CItemBase* item, std::uint32_t id)
{
    CNetLine* target = nullptr;
    for (auto pos = m_netLines.GetHeadPosition(); pos && !target;) {
        CNetLine* group = m_netLines.GetNext(pos);
        if (group->GetID() == id)
            target = group;
    }
    if (!target)
        target = AppendGroup(m_netLines, id, m_nWLayer, m_nType, m_nNetID);
    target->AddItem(item);
}

void CSheet::CorrectID2NetLine()
{
    const int layer = m_nWLayer;
    const bool layerRight = GetWLayerFromID() == static_cast<std::uint32_t>(layer);
    if (!layerRight)
        SetWLayerToID();
    m_nNetID = static_cast<std::uint32_t>(layer);

    // The groups by id, so that each item finds its group without a walk of the list.
    std::unordered_map<std::uint32_t, CNetLine*> byId;
    for (auto pos = m_netLines.GetHeadPosition(); pos;) {
        CNetLine* group = m_netLines.GetNext(pos);
        byId.emplace(group->GetID(), group);
    }
    auto join = [&](CItemBase* item, std::uint32_t id) {
        const auto it = byId.find(id);
        if (it != byId.end()) {
            it->second->AddItem(item);
            return;
        }
        // Every group's id is in the map: a missing one needs a new group, no walk of the list.
        CNetLine* made = AppendGroup(m_netLines, id, m_nWLayer, m_nType, m_nNetID);
        made->AddItem(item);
        byId.emplace(id, made);
    };

    for (int kind : {KIND_LINE, KIND_LAND, KIND_ARC, KIND_SUR, KIND_TEXT})
        ForEach<CItemBase>(*this, kind, [&](CItemBase* item) {
            if (item->GetID() <= 256)
                item->SetID(0);
            else
                join(item, item->GetID());
        });
    CSheet* viaPart = ViaPartSheet(*this);
    if (layerRight && (m_nType & 0x1)) {
        auto perLayer = [&](auto* item) {
            const std::uint32_t id = item->GetLayerID(layer);
            if (id == 0)
                return;
            if (id <= 256)
                item->SetLayerID(0, layer);
            else
                join(item, id);
        };
        if (viaPart)
            ForEach<CVia>(*viaPart, KIND_VIA, perLayer);
        for (CHole* hole : DocumentHoles(*this))
            perLayer(hole);
    }
    if (IsNega() && viaPart)
        ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
            if (via->CheckWire(layer) && via->GetLayerID(layer) != 0)
                join(via, via->GetLayerID(layer));
        });
}

void CSheet::GerbageNetLine()
{
    const int count = m_netLines.GetCount();
    if (count <= 10)
        return;
    SortNetLine();
    const std::uint32_t last = m_netLines.GetTail()->GetID();
    if (m_nNetID < last) {
        m_nNetID = last;
        return;
    }
    const std::uint32_t top =
        static_cast<std::uint32_t>(m_nWLayer) + static_cast<std::uint32_t>(count) * 256u;
    if (m_nNetID == top)
        return;
    m_nNetID = top;
    std::uint32_t id = top;
    for (auto pos = m_netLines.GetTailPosition(); pos; id -= 256) {
        CNetLine* group = m_netLines.GetPrev(pos);
        if (group->GetID() == id)
            break;
        group->SetID(id);
    }
}

// ---------------------------------------------------------------------------------------------
// Terminals

class NearGroupsScope::Groups
{
public:
    explicit Groups(CSheet& sheet) : m_sheet(&sheet), m_rects(Collect(sheet, m_lines, m_always)) {}
    const CSheet* Sheet() const { return m_sheet; }
    // The groups that may touch a group of that rectangle, in list order: those whose rectangles
    // meet it (a positive group's touch test starts with that) and every negative group.
    const std::vector<CNetLine*>& Near(const CDRect& rect)
    {
        const std::vector<int>& found =
            m_rects.Find(rect, -1, [&](const CDRect& other) { return Meet(other, rect); });
        std::vector<int> indexes(found.begin(), found.end());
        if (!m_always.empty()) {
            indexes.insert(indexes.end(), m_always.begin(), m_always.end());
            std::sort(indexes.begin(), indexes.end());
            indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
        }
        m_near.clear();
        for (int index : indexes)
            m_near.push_back(m_lines[static_cast<std::size_t>(index)]);
        return m_near;
    }

private:
    static std::vector<CDRect> Collect(CSheet& sheet, std::vector<CNetLine*>& lines, std::vector<int>& always)
    {
        std::vector<CDRect> rects;
        for (auto pos = sheet.GetFirstNetLinePos(); pos;) {
            CNetLine* line = sheet.GetNextNetLine(pos);
            if (line->GetAttr() & NETLINE_NEGATIVE)
                always.push_back(static_cast<int>(lines.size()));
            lines.push_back(line);
            rects.push_back(line->GetBoundingRect());
        }
        return rects;
    }

    const CSheet* m_sheet;
    std::vector<CNetLine*> m_lines;
    std::vector<int> m_always;
    RectsInOrder m_rects;
    std::vector<CNetLine*> m_near;
};

namespace {
thread_local NearGroupsScope::Groups* t_nearGroups = nullptr;
} // namespace

NearGroupsScope::NearGroupsScope(CSheet& sheet)
    : m_groups(std::make_unique<Groups>(sheet)), m_outer(t_nearGroups)
{
    t_nearGroups = m_groups.get();
}

NearGroupsScope::~NearGroupsScope()
{
    t_nearGroups = m_outer;
}

int CSheet::GetShortItemID(CNetLine* group, std::vector<CNetLine*>* found)
{
    if (!group || !found)
        return 0;
    int added = 0;
    auto test = [&](CNetLine* line) {
        if (std::find(found->begin(), found->end(), line) != found->end())
            return;
        if (line->CheckShortItem(group)) {
            found->push_back(line);
            ++added;
        }
    };
    if (t_nearGroups && t_nearGroups->Sheet() == this) {
        for (CNetLine* line : t_nearGroups->Near(group->GetBoundingRect()))
            test(line);
        return added;
    }
    for (auto pos = m_netLines.GetHeadPosition(); pos;)
        test(m_netLines.GetNext(pos));
    return added;
}

int CSheet::CheckID(const std::vector<std::uint32_t>* ids, std::uint32_t id)
{
    if (!ids)
        return 0;
    for (std::size_t i = 0; i < ids->size();) {
        if ((*ids)[i] == kHeader) {
            i += 3;
            continue;
        }
        if ((*ids)[i] == id)
            return 1;
        ++i;
    }
    return 0;
}

int CSheet::CheckAndSetID(std::vector<std::uint32_t>* groups, std::uint32_t a, std::uint32_t b, int add)
{
    if (!groups)
        return 0;
    if (a == b)
        return CheckID(groups, a) ? 0 : 1;
    const std::size_t before = groups->size();
    for (const Run& run : Runs(*groups)) {
        const bool hasA = RunHolds(*groups, run, a), hasB = RunHolds(*groups, run, b);
        if (!hasA && !hasB)
            continue;
        if (hasA && hasB)
            return 0;
        // The run moves to the end with the other id added.
        std::vector<std::uint32_t> moved(groups->begin() + static_cast<std::ptrdiff_t>(run.start),
                                         groups->begin() + static_cast<std::ptrdiff_t>(run.end));
        moved.push_back(hasA ? b : a);
        moved.push_back(0);
        const std::size_t stop = std::min(run.end + 1, groups->size());
        groups->erase(groups->begin() + static_cast<std::ptrdiff_t>(run.start),
                      groups->begin() + static_cast<std::ptrdiff_t>(stop));
        groups->insert(groups->end(), moved.begin(), moved.end());
        return groups->size() != before ? 1 : 0;
    }
    if (add) {
        groups->push_back(a);
        groups->push_back(b);
        groups->push_back(0);
    }
    return groups->size() != before ? 1 : 0;
}

void CSheet::CheckAndSetID(std::vector<std::uint32_t>* groups, std::uint32_t part, std::uint32_t index,
                           std::uint32_t id)
{
    if (!groups)
        return;
    for (const Run& run : Runs(*groups)) {
        if (!run.header || run.start + 2 >= groups->size() || (*groups)[run.start + 1] != part ||
            (*groups)[run.start + 2] != index)
            continue;
        if (!RunHolds(*groups, run, id))
            groups->insert(groups->begin() + static_cast<std::ptrdiff_t>(run.end), id);
        return;
    }
    groups->insert(groups->end(), {kHeader, part, index, id, 0u});
}

void CSheet::SetTerNetID(CPart* part, std::vector<std::uint32_t>* groups)
{
    if (!part || !groups)
        return;
    for (POSITION pos = part->GetFirstTerPos(); pos;) {
        CTer* ter = part->GetNextTer(pos);
        if (ter->GetID() == 0)
            continue;
        // A scratch group without a layer leaves the part's items' ids as they are.
        CNetLine work(ter->GetID(), 0, 0);
        std::vector<CNetLine*> touching;
        if (part->GetTerItem(m_nLayer, &work))
            GetShortItemID(&work, &touching);
        std::vector<std::uint32_t> ids;
        for (CNetLine* line : touching) {
            ter->AddTailNetLine(line);
            ids.push_back(line->GetID());
        }
        work.DeleteContents();

        if (ter->GetDisNetID() != 0) {
            std::vector<std::uint32_t> candidate = ids;
            candidate.push_back(ter->GetDisNetID());
            bool placed = false;
            for (std::size_t i = 0; i < groups->size() && !placed;) {
                if ((*groups)[i] == kHeader) {
                    i += 3;
                    continue;
                }
                const std::uint32_t value = (*groups)[i];
                if (value != 0 && std::find(candidate.begin(), candidate.end(), value) != candidate.end()) {
                    groups->erase(groups->begin() + static_cast<std::ptrdiff_t>(i));
                    groups->insert(groups->begin() + static_cast<std::ptrdiff_t>(i), candidate.begin(),
                                   candidate.end());
                    placed = true;
                }
                ++i;
            }
            if (!placed) {
                groups->insert(groups->end(), candidate.begin(), candidate.end());
                groups->push_back(0);
            }
        } else if (!ids.empty()) {
            ter->SetDisNetID(ids.front());
            if (ids.size() >= 2) {
                groups->insert(groups->end(), ids.begin(), ids.end());
                groups->push_back(0);
            }
        }
    }

    const std::uint32_t partId = part->GetID();
    const std::uint32_t from = static_cast<std::uint32_t>(part->GetTerCount()) + 1;
    for (std::uint32_t index = from; index <= part->GetNetCount(); ++index) {
        CNetLine work(index, 0, 0);
        std::vector<CNetLine*> touching;
        if (part->GetTerItem(m_nLayer, &work))
            GetShortItemID(&work, &touching);
        work.DeleteContents();
        if (touching.empty())
            continue;
        std::vector<std::uint32_t> ids;
        for (CNetLine* line : touching)
            ids.push_back(line->GetID());
        bool placed = false;
        for (std::size_t i = 0; i < groups->size() && !placed;) {
            if ((*groups)[i] == kHeader) {
                if (i + 2 < groups->size() && (*groups)[i + 1] == partId && (*groups)[i + 2] == index) {
                    groups->insert(groups->begin() + static_cast<std::ptrdiff_t>(i + 3), ids.begin(),
                                   ids.end());
                    placed = true;
                }
                i += 3;
                continue;
            }
            const std::uint32_t value = (*groups)[i];
            if (value != 0 && std::find(ids.begin(), ids.end(), value) != ids.end()) {
                groups->erase(groups->begin() + static_cast<std::ptrdiff_t>(i));
                groups->insert(groups->begin() + static_cast<std::ptrdiff_t>(i), ids.begin(), ids.end());
                placed = true;
            }
            ++i;
        }
        if (!placed) {
            groups->insert(groups->end(), {kHeader, partId, index});
            groups->insert(groups->end(), ids.begin(), ids.end());
            groups->push_back(0);
        }
    }
}

void CSheet::SetTerNetIDNega(CPart* part, std::vector<std::uint32_t>* groups)
{
    if (!part || !groups)
        return;
    const int layer = m_nWLayer;
    for (POSITION pos = part->GetFirstTerPos(); pos;) {
        CTer* ter = part->GetNextTer(pos);
        if (ter->GetID() == 0)
            continue;
        CNetLine work(ter->GetID(), 0, 0);
        part->GetTerItem(m_nLayer, &work);
        auto join = [&](std::uint32_t id) {
            if (id == 0)
                return;
            if (ter->GetDisNetID() == 0)
                ter->SetDisNetID(id);
            else if (ter->GetDisNetID() != id)
                CheckAndSetID(groups, ter->GetDisNetID(), id, 1);
        };
        for (auto it = work.GetFirstViaPos(); it;)
            join(work.GetNextVia(it)->GetLayerID(layer));
        for (auto it = work.GetFirstHolePos(); it;)
            join(work.GetNextHole(it)->GetLayerID(layer));
        work.DeleteContents();
    }
    const std::uint32_t partId = part->GetID();
    const std::uint32_t from = static_cast<std::uint32_t>(part->GetTerCount()) + 1;
    for (std::uint32_t index = from; index <= part->GetNetCount(); ++index) {
        CNetLine work(index, 0, 0);
        part->GetTerItem(m_nLayer, &work);
        for (auto it = work.GetFirstViaPos(); it;)
            if (const std::uint32_t id = work.GetNextVia(it)->GetLayerID(layer))
                CheckAndSetID(groups, partId, index, id);
        for (auto it = work.GetFirstHolePos(); it;)
            if (const std::uint32_t id = work.GetNextHole(it)->GetLayerID(layer))
                CheckAndSetID(groups, partId, index, id);
        work.DeleteContents();
    }
}

void CSheet::CalcNetCondition(CTer* ter)
{
    if (!ter || ter->GetDisNetID() == 0)
        return;
    bool any = false;
    for (CPart* part : PlacedParts(*this))
        for (POSITION pos = part->GetFirstTerPos(); pos;) {
            CTer* other = part->GetNextTer(pos);
            if (other != ter && other->GetDisNetID() == ter->GetDisNetID()) {
                other->SetNetCondition(1);
                any = true;
            }
        }
    if (any)
        ter->SetNetCondition(1);
}

// ---------------------------------------------------------------------------------------------
// Holes and points

CLand CSheet::GetLandImage(CVia* via, bool photo)
{
    return via->GetLand(m_nType, m_nWLayer, photo ? 1 : 0);
}

bool CSheet::CheckPoint(CDPoint point)
{
    bool hit = false;
    ForEach<CSur>(*this, KIND_SUR, [&](CSur* sur) { hit = hit || sur->CheckPoint(point, false); });
    ForEach<CLine>(*this, KIND_LINE, [&](CLine* line) { hit = hit || line->CheckPoint(point) != 0; });
    ForEach<CArc>(*this, KIND_ARC, [&](CArc* arc) { hit = hit || arc->CheckPoint(point); });
    ForEach<CLand>(*this, KIND_LAND, [&](CLand* land) { hit = hit || land->CheckPoint(point) != 0; });
    return hit;
}

void CSheet::GetPartItems(CSheet& target, int padsOnly)
{
    for (CPart* part : PlacedParts(*this))
        part->CorrectItem(&target, 0, padsOnly);
}

bool CSheet::CheckHoleOnItem(CHole* hole, bool withVias)
{
    return CheckHoleOnItem(hole, withVias, nullptr);
}

bool CSheet::CheckHoleOnItem(CHole* hole, bool withVias, CSheet* partItems)
{
    if (!hole || m_nWLayer == 0)
        return false;
    const CDRect holeRect = hole->GetBoundingRect();
    const CDPoint at = hole->GetPoint();
    CSheet* viaPart = withVias ? ViaPartSheet(*this) : nullptr;

    // The document's parts' items on this layer, for a second look without vias.
    auto partsSay = [&]() -> bool {
        if (partItems)
            return partItems->CheckHoleOnItem(hole, false, nullptr);
        CSheet work(m_nWLayer, m_nType, m_nLayer, m_pDoc);
        GetPartItems(work, 0);
        return work.CheckHoleOnItem(hole, false, nullptr);
    };

    if (IsNega()) {
        // A thermal by the document's turret table (the land's own copy without a document).
        auto thermal = [&](CLand* land) {
            const int number = land->GetTurretNo();
            const tagTURRET turret = m_pDoc && number >= 0 && number <= TURRET_MAX
                                         ? m_pDoc->GetTurretEntry(number)
                                         : land->GetTurret();
            return turret.shape == TURRET_THERMAL;
        };
        bool result = false, decided = false;
        ForEach<CLand>(*this, KIND_LAND, [&](CLand* land) {
            if (!decided && thermal(land) && hole->CheckPoint(land->GetBoundingRect())) {
                result = true;
                decided = true;
            }
        });
        if (decided)
            return result;
        double size = hole->GetHoleDia();
        if (!hole->IsHole())
            size = std::min(size, hole->GetHoleWidth());
        bool isolated = false;
        ForEach<CLine>(*this, KIND_LINE, [&](CLine* line) {
            isolated = isolated || (line->GetLineWidth() >= size && hole->CheckShort(line) &&
                                    Meet(line->GetBoundingRect(), holeRect));
        });
        ForEach<CLand>(*this, KIND_LAND, [&](CLand* land) {
            isolated = isolated || (!thermal(land) && hole->CheckPoint(land->GetBoundingRect()) &&
                                    Meet(land->GetBoundingRect(), holeRect));
        });
        ForEach<CSur>(*this, KIND_SUR, [&](CSur* sur) {
            isolated = isolated || (sur->CheckPoint(at, false) && Meet(sur->GetBoundingRect(), holeRect));
        });
        if (isolated)
            return false;
        if (withVias) {
            if (viaPart)
                ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
                    if (isolated)
                        return;
                    CLand image = GetLandImage(via, false);
                    isolated = image.GetTurretNo() != 0 && !thermal(&image) && image.CheckShort(hole);
                });
            if (isolated || !partsSay())
                return false;
        }
        return true;
    }

    bool touch = false;
    ForEach<CLine>(*this, KIND_LINE, [&](CLine* line) {
        touch = touch || (hole->CheckPoint(line->GetBoundingRect()) && line->CheckPoint(at));
    });
    ForEach<CLand>(*this, KIND_LAND,
                   [&](CLand* land) { touch = touch || hole->CheckPoint(land->GetBoundingRect()); });
    ForEach<CSur>(*this, KIND_SUR, [&](CSur* sur) { touch = touch || sur->CheckPoint(at, false); });
    ForEach<CArc>(*this, KIND_ARC, [&](CArc* arc) {
        touch = touch || (hole->CheckPoint(arc->GetBoundingRect()) && arc->CheckPoint(at));
    });
    if (touch)
        return true;
    if (withVias) {
        if (viaPart)
            ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
                if (!touch) {
                    CLand image = GetLandImage(via, false);
                    touch = image.CheckShort(hole) != 0;
                }
            });
        if (touch)
            return true;
        return partsSay();
    }
    return false;
}
