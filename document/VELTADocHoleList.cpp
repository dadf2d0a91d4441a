// The hole list of the drill output and the hole chart, and the drill tool table made from it.
//
// Gathering decides for every hole whether it is plated through: copper of a wiring layer on the
// hole, or else a placed part that wires it. The board's own holes keep the plating found, so a
// change of it is recorded as one undo step (the holes, or the parts that hold them, before and
// after).

#include "document/VELTADoc.h"

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Via.h"
#include "model/net/RectGrid.h"

#include <map>
#include <set>
#include <vector>

namespace {

constexpr int SET_BOARD = 0;
constexpr int SET_SELECTION = 2;
constexpr int kHoleLayer = 0x10000;
constexpr int kAllKinds = 240;
constexpr int kCopperKinds = KIND_LINE | KIND_LAND | KIND_SUR | KIND_ARC;
// Slack on the look-ups that only decide whether an exact test is worth making.
constexpr double kCullSlack = 0.01;

bool KindMatches(const CHole* hole, int kind)
{
    return kind == kAllKinds || (hole->GetType() & HOLE_SHAPE_MASK) == kind;
}

CDRect SearchRect(CItemBase* item)
{
    CDRect rect = item->GetBoundingRect();
    rect.NormalizeRect();
    rect.InflateRect(kCullSlack);
    return rect;
}

// Items of one kind of a sheet found by their bounds, taken once. Asking a part whether it wires a
// hole brings its bounds up to date, which the sheet counts as a change: its own index would be
// built again for every hole. Nothing moves while holes are gathered, so the bounds stay true.
class BoundsIndex
{
public:
    BoundsIndex(CSheet* sheet, int kind) : m_grid(Collect(sheet, kind)) { m_grid.InsertAll(m_rects); }

    // Calls visit(item) for every item whose bounds may come within the rectangle.
    template <class Visit> void Query(const CDRect& rect, Visit&& visit)
    {
        m_grid.Query(rect, [&](int index) { visit(m_items[static_cast<std::size_t>(index)]); });
    }

private:
    const std::vector<CDRect>& Collect(CSheet* sheet, int kind)
    {
        if (sheet)
            for (POSITION pos = sheet->GetFirstItemPos(kind); pos;) {
                CItemBase* item = sheet->GetNextItem(kind, pos);
                CDRect rect = item->GetBoundingRect();
                rect.NormalizeRect();
                m_items.push_back(item);
                m_rects.push_back(rect);
            }
        return m_rects;
    }

    std::vector<CItemBase*> m_items;
    std::vector<CDRect> m_rects;
    RectGrid m_grid;
};

// Whether copper of a wiring layer (not a plane) meets the hole, as CSheet::CheckHoleOnItem
// decides it: a line or an arc whose box the hole meets and that passes through its centre, a land
// whose box the hole meets, a surface holding the centre. Only items near the hole can do so.
bool CopperMeetsHole(CSheet& sheet, CHole* hole, const CDRect& rect, std::vector<CItemBase*>& near)
{
    const CDPoint at = hole->GetPoint();
    near.clear();
    sheet.GetItemsIn(kCopperKinds, rect, near);
    for (CItemBase* item : near) {
        switch (item->GetKind()) {
        case KIND_LINE:
            if (hole->CheckPoint(item->GetBoundingRect()) && static_cast<CLine*>(item)->CheckPoint(at))
                return true;
            break;
        case KIND_LAND:
            if (hole->CheckPoint(item->GetBoundingRect()))
                return true;
            break;
        case KIND_SUR:
            if (static_cast<CSur*>(item)->CheckPoint(at, false))
                return true;
            break;
        case KIND_ARC:
            if (hole->CheckPoint(item->GetBoundingRect()) && static_cast<CArc*>(item)->CheckPoint(at))
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

// One wiring layer's copper as the plating test sees it: the layer's sheet, the placed parts'
// items on it gathered once, and the board's vias. A plane layer is copper everywhere: there the
// sheet's own test decides. Elsewhere the test is CSheet::CheckHoleOnItem's (the layer's copper,
// the vias' lands on the layer, the parts' copper) asked of the items near the hole only.
struct CopperLayer
{
    CSheet* sheet = nullptr;
    BoundsIndex* vias = nullptr; // the board's vias
    std::unique_ptr<CSheet> partItems;
    std::vector<CItemBase*> near;

    bool Touches(CHole* hole)
    {
        if (sheet->IsNega())
            return sheet->CheckHoleOnItem(hole, true, partItems.get());
        if (sheet->GetWLayer() == 0)
            return false;
        const CDRect rect = SearchRect(hole);
        if (CopperMeetsHole(*sheet, hole, rect, near))
            return true;
        bool touch = false;
        vias->Query(rect, [&](CItemBase* item) {
            touch = touch || sheet->GetLandImage(static_cast<CVia*>(item), false).CheckShort(hole) != 0;
        });
        return touch || CopperMeetsHole(*partItems, hole, rect, near);
    }
};

// What the plating test looks at: the board's vias and the set's parts by their bounds, and each
// wiring layer's copper. Made once for the gatherings of one step (the kinds of a tool table):
// nothing on the board moves while its holes are gathered, and only the holes' plating changes,
// which none of this looks at.
struct PlatingTest
{
    PlatingTest(CSheet* boardVias, CSheet* setParts, const std::vector<CPart*>& parts)
        : vias(boardVias, KIND_VIA), partBounds(setParts, KIND_PART), listed(parts.begin(), parts.end())
    {
    }

    BoundsIndex vias;
    BoundsIndex partBounds;
    std::set<CPart*> listed;
    std::vector<CopperLayer> copper;
};

} // namespace

// Holes whose plating a gathering changed, kept until the gathering ends so that one undo step
// holds them all: per layer the holes as they were and the holes themselves; per part the part as
// it was.
struct CVELTADoc::PlatingChanges
{
    std::map<int, std::unique_ptr<CSheet>> before; // layer -> copies as they were
    std::map<int, std::vector<CHole*>> changed;    // layer -> the board's holes, changed
    std::vector<CPart*> parts;                     // parts holding a changed hole, in order met
    std::set<CPart*> partSeen;
    std::unique_ptr<PlatingTest> test; // made by the step's first gathering that tests a hole
};

int CVELTADoc::GatherHoles(const int* layers, CSheet* out, int kind, PlatingChanges* found)
{
    const int set = IsSelectionEmpty() ? SET_BOARD : SET_SELECTION;
    CSheet* viaParts = GetSetSheet(set, LAYER_MAX);
    const bool oneSided = m_stack.wireCount < 2;

    // The parts whose holes and vias count: the document's part list for the board, the placed
    // parts of the selection when something is selected.
    std::vector<CPart*> parts;
    if (set == SET_BOARD) {
        parts = m_partList;
    } else {
        for (POSITION pos = viaParts->GetFirstPartPos(); pos;) {
            CPart* part = viaParts->GetNextPart(pos);
            if (part->GetType() & PART_PLACED)
                parts.push_back(part);
        }
    }

    struct Collected
    {
        CHole* hole;
        int layer;
        CPart* part; // null for a hole of the layer's sheet
    };
    std::vector<Collected> collected;
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        if (!layers[layer])
            continue;
        CSheet* sheet = GetSetSheet(set, layer);
        if (!sheet)
            continue;
        if (out && (GetBoardSheet(layer)->GetType() & kHoleLayer) && (kind == 0 || kind == kAllKinds)) {
            auto copyVia = [&](CVia* via) {
                CHole drilled = via->GetHole();
                if (oneSided)
                    drilled.ModifyType(0, HOLE_THROUGH);
                out->NewHole(drilled);
            };
            for (POSITION pos = viaParts->GetFirstViaPos(); pos;)
                copyVia(viaParts->GetNextVia(pos));
            for (CPart* part : parts)
                for (POSITION pos = part->GetFirstViaPos(); pos;)
                    copyVia(part->GetNextVia(pos));
        }
        for (POSITION pos = sheet->GetFirstHolePos(); pos;) {
            CHole* hole = sheet->GetNextHole(pos);
            if (KindMatches(hole, kind))
                collected.push_back({hole, layer, nullptr});
        }
        for (CPart* part : parts)
            for (POSITION pos = part->GetFirstHolePos(); pos;) {
                CHole* hole = part->GetNextHole(pos);
                if (hole->GetLayerNo() == layer && KindMatches(hole, kind))
                    collected.push_back({hole, layer, part});
            }
    }

    // The plating of each collected hole: copper of a wiring layer in the list's order, else a part.
    // Without changes to keep, the plating is known and the holes are only copied.
    if (!found) {
        if (!out)
            return static_cast<int>(collected.size());
        for (const Collected& entry : collected)
            out->NewHole(*entry.hole);
        out->SortHole();
        return out->GetKindCount(KIND_HOLE);
    }
    PlatingChanges& changes = *found;
    std::vector<bool> plated(collected.size(), false);
    if (!oneSided && !collected.empty()) {
        if (!changes.test) {
            changes.test = std::make_unique<PlatingTest>(GetBoardSheet(LAYER_MAX), viaParts, parts);
            for (std::uint8_t wire : m_stack.wireLayers) {
                CSheet* sheet = GetBoardSheet(wire);
                if (!sheet)
                    continue;
                CopperLayer layer;
                layer.sheet = sheet;
                layer.vias = &changes.test->vias;
                layer.partItems =
                    std::make_unique<CSheet>(sheet->GetWLayer(), sheet->GetType(), sheet->GetLayerNo(), this);
                sheet->GetPartItems(*layer.partItems, 0);
                changes.test->copper.push_back(std::move(layer));
            }
        }
        std::vector<CopperLayer>& copper = changes.test->copper;
        BoundsIndex& setParts = changes.test->partBounds;
        const std::set<CPart*>& listed = changes.test->listed;
        for (std::size_t i = 0; i < collected.size(); ++i) {
            CHole* hole = collected[i].hole;
            for (CopperLayer& layer : copper) {
                if (layer.Touches(hole)) {
                    plated[i] = true;
                    break;
                }
            }
            if (plated[i])
                continue;
            // Only parts whose bounds reach the hole can wire it; which of them answers first
            // does not matter, the bit is the same.
            setParts.Query(SearchRect(hole), [&](CItemBase* item) {
                CPart* part = static_cast<CPart*>(item);
                plated[i] = plated[i] || (listed.count(part) && part->CheckTH(hole, this));
            });
        }
    }

    // The board's holes take the plating found; what changes is kept for the undo step.
    for (std::size_t i = 0; i < collected.size(); ++i) {
        const Collected& entry = collected[i];
        const bool was = entry.hole->IsThroughHole();
        if (was == plated[i])
            continue;
        if (entry.part) {
            if (changes.partSeen.insert(entry.part).second) {
                changes.parts.push_back(entry.part);
                auto& before = changes.before[LAYER_MAX];
                if (!before)
                    before = std::make_unique<CSheet>(SHEET_WORK);
                before->NewPart(*entry.part);
            }
        } else {
            auto& before = changes.before[entry.layer];
            if (!before)
                before = std::make_unique<CSheet>(SHEET_WORK);
            before->NewHole(*entry.hole);
            changes.changed[entry.layer].push_back(entry.hole);
        }
        entry.hole->ModifyType(plated[i] ? HOLE_THROUGH : 0, HOLE_THROUGH);
    }
    if (!out)
        return static_cast<int>(collected.size()); // the plating was all that was asked for
    for (const Collected& entry : collected)
        out->NewHole(*entry.hole);

    out->SortHole();
    return out->GetKindCount(KIND_HOLE);
}

void CVELTADoc::RecordPlatingChanges(PlatingChanges& changes)
{
    if (changes.before.empty())
        return;
    // The holes as they were, layer by layer, then as they are now: one step.
    int group = 0;
    for (auto& [layer, before] : changes.before)
        StoreUndoItem(before.get(), layer, group++, 3);
    group = 0;
    for (auto& [layer, before] : changes.before) {
        CSheet after(SHEET_WORK);
        if (layer == LAYER_MAX) {
            for (CPart* part : changes.parts)
                after.NewPart(*part);
        } else {
            for (CHole* hole : changes.changed[layer])
                after.NewHole(*hole);
        }
        StoreUndoItem(&after, layer, group++, 5);
    }
    changes = PlatingChanges{};
}

int CVELTADoc::MakeHoleList(const int* layers, CSheet* out, int kind)
{
    PlatingChanges changes;
    const int count = GatherHoles(layers, out, kind, &changes);
    RecordPlatingChanges(changes);
    return count;
}

int CVELTADoc::CopyHoleList(const int* layers, CSheet* out, int kind)
{
    return GatherHoles(layers, out, kind, nullptr);
}

int CVELTADoc::MakeTCodeTable(const int* layers, int kind)
{
    m_tools.fill(tagTCODE{});
    m_nToolCount = 0;
    PlatingChanges changes;
    CSheet scratch(SHEET_WORK);
    // Round tools first, then slots, then rectangular holes, each group in the sorted holes' order.
    const std::vector<int> kinds = kind == kAllKinds ? std::vector<int>{0, 16, 32} : std::vector<int>{kind};
    for (int pass : kinds) {
        scratch.DeleteContents();
        if (GatherHoles(layers, &scratch, pass, &changes) > 0)
            scratch.CheckHole(m_tools.data(), 0, &m_nToolCount);
    }
    RecordPlatingChanges(changes);
    return m_nToolCount;
}

void CVELTADoc::UpdateHolePlating(const int* layers)
{
    // The kinds in the table's order, so that the changes are met, and undone, in its order.
    PlatingChanges changes;
    for (int pass : {0, 16, 32})
        GatherHoles(layers, nullptr, pass, &changes);
    RecordPlatingChanges(changes);
}
