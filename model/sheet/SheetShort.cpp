// The copper clearance check of a layer sheet, after its copper groups are built: the groups
// pairwise, the placed parts alone and in pairs, the parts' terminal groups against the sheet's
// groups, and on a plane the connection lands and vias against what is drawn on the plane. The
// pairs are compared in the order a walk of the lists would compare them, but only those whose
// rectangles meet are found, through grids of rectangles.

#include "model/items/Arc.h"
#include "model/items/ContactSupport.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/net/NetLine.h"
#include "model/net/RectGrid.h"
#include "model/services/DocumentServices.h"
#include "model/sheet/Sheet.h"
#include "model/sheet/SheetItems.h"
#include "model/sheet/TerminalLinks.h"
#include "platform/Fixed.h"

#include <algorithm>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

constexpr std::uint32_t kHeader = 0xFFFFFFFFu; // -1: a run of one part's internal connection

bool Meet(const CDRect& a, const CDRect& b)
{
    return std::max(a.left, b.left) <= std::min(a.right, b.right) &&
           std::max(a.top, b.top) <= std::min(a.bottom, b.bottom);
}

CDRect Grown(CDRect rect, double d)
{
    rect.InflateRect(d);
    return rect;
}

// The runs of a group array (ids ended by 0, a run may start -1, part, index): for an id, the
// ids of the first run that holds it. A cut-short array ends its last run where it ends.
class GroupRuns
{
public:
    explicit GroupRuns(const std::vector<std::uint32_t>* groups)
    {
        if (!groups)
            return;
        const std::vector<std::uint32_t>& g = *groups;
        std::size_t i = 0;
        while (i < g.size()) {
            std::size_t j = g[i] == kHeader ? std::min(i + 3, g.size()) : i;
            std::unordered_set<std::uint32_t> run;
            const std::size_t index = m_runs.size();
            for (; j < g.size() && g[j] != 0; ++j) {
                run.insert(g[j]);
                m_first.emplace(g[j], index);
            }
            m_runs.push_back(std::move(run));
            i = j + 1;
        }
    }
    // The first run holding the id, or null.
    const std::unordered_set<std::uint32_t>* FirstHolding(std::uint32_t id) const
    {
        const auto it = m_first.find(id);
        return it == m_first.end() ? nullptr : &m_runs[it->second];
    }

private:
    std::vector<std::unordered_set<std::uint32_t>> m_runs;
    std::unordered_map<std::uint32_t, std::size_t> m_first;
};

// The sheet's groups in list order with their rectangles.
struct SheetGroups
{
    explicit SheetGroups(CSheet& sheet) : rects(Collect(sheet, lines)) {}
    static std::vector<CDRect> Collect(CSheet& sheet, std::vector<CNetLine*>& lines)
    {
        std::vector<CDRect> rects;
        for (auto pos = sheet.GetFirstNetLinePos(); pos;) {
            lines.push_back(sheet.GetNextNetLine(pos));
            rects.push_back(lines.back()->GetBoundingRect());
        }
        return rects;
    }
    std::vector<CNetLine*> lines;
    RectsInOrder rects;
};

// Groups of this many members and more are checked through an index of their members.
constexpr std::uint32_t kIndexFrom = 32;

// The member indexes of the large groups, kept while a check runs (nothing moves meanwhile).
class KeptIndexes
{
public:
    explicit KeptIndexes(const std::vector<CNetLine*>& lines) : m_lines(lines)
    {
        for (CNetLine* line : m_lines)
            if (Large(line))
                line->KeepMemberIndex();
    }
    // Only the large groups that meet one of the rectangles: the others are never looked into.
    KeptIndexes(const std::vector<CNetLine*>& lines, const std::vector<CDRect>& near) : m_lines(lines)
    {
        if (near.empty())
            return;
        RectsInOrder reach(near);
        for (CNetLine* line : m_lines) {
            if (!Large(line))
                continue;
            const CDRect& rect = line->GetBoundingRect();
            if (!reach.Find(rect, -1, [&](const CDRect& r) { return Meet(r, rect); }).empty())
                line->KeepMemberIndex();
        }
    }
    ~KeptIndexes()
    {
        for (CNetLine* line : m_lines)
            line->ReleaseMemberIndex();
    }
    KeptIndexes(const KeptIndexes&) = delete;
    KeptIndexes& operator=(const KeptIndexes&) = delete;

private:
    static bool Large(CNetLine* line) { return line->GetCount(0) - line->GetCount(9) >= kIndexFrom; }

    const std::vector<CNetLine*>& m_lines;
};

// A terminal group against the sheet's groups near it, except those linked to the terminal.
void CheckTerGroup(tagDRCSPEC* rules, CTer* ter, CNetLine* group, SheetGroups& groups)
{
    const CDRect grown = Grown(group->GetBoundingRect(), rules->partClearance);
    for (int index : groups.rects.Find(grown, -1, [&](const CDRect& rect) { return Meet(rect, grown); })) {
        CNetLine* line = groups.lines[static_cast<std::size_t>(index)];
        if (ter && ter->FindNetLine(line))
            continue;
        group->DRC_ShortCheck(rules, line);
    }
}

// A work group of a part's items of one id on the sheet's layer. Gathering stamps the id on the
// vias' and holes' ids of the sheet's W-layer; they get their own ids back afterwards.
class PartIdGroup
{
public:
    PartIdGroup(CPart* part, std::uint32_t id, CSheet& sheet)
        : m_group(id, sheet.GetWLayer(), sheet.GetType()), m_wLayer(sheet.GetWLayer())
    {
        for (POSITION pos = part->GetFirstViaPos(); pos;) {
            CVia* via = part->GetNextVia(pos);
            m_vias.emplace_back(via, via->GetLayerID(m_wLayer));
        }
        for (POSITION pos = part->GetFirstHolePos(); pos;) {
            CHole* hole = part->GetNextHole(pos);
            m_holes.emplace_back(hole, hole->GetLayerID(m_wLayer), hole->GetType());
        }
        part->GetTerItem(sheet.GetLayerNo(), &m_group);
    }
    ~PartIdGroup()
    {
        m_group.DeleteContents();
        for (auto& [via, id] : m_vias)
            via->SetLayerID(id, m_wLayer);
        for (auto& [hole, id, type] : m_holes) {
            hole->SetLayerID(id, m_wLayer);
            hole->SetType(type);
        }
    }
    PartIdGroup(const PartIdGroup&) = delete;
    PartIdGroup& operator=(const PartIdGroup&) = delete;
    CNetLine* Group() { return &m_group; }

private:
    CNetLine m_group;
    int m_wLayer;
    std::vector<std::pair<CVia*, std::uint32_t>> m_vias;
    std::vector<std::tuple<CHole*, std::uint32_t, int>> m_holes;
};

// The checks of one part's work groups against the sheet's groups. Terminals that share an id
// (unnumbered ones, or pins tied inside the part) share their work group, so a group is checked
// against a sheet group once and the points that check gave are given again for every later
// terminal of its id; only the groups a terminal is linked to differ. Nothing moves between the
// terminals of one part, so a check made again would give the same points.
class PartGroupChecks
{
public:
    PartGroupChecks(CPart* part, CSheet& sheet, SheetGroups& groups)
        : m_part(part), m_sheet(sheet), m_groups(groups)
    {
    }
    PartGroupChecks(const PartGroupChecks&) = delete;
    PartGroupChecks& operator=(const PartGroupChecks&) = delete;

    void Check(tagDRCSPEC* rules, CTer* ter, std::uint32_t id)
    {
        auto [it, first] = m_ids.try_emplace(id);
        IdChecks& checks = it->second;
        if (first) {
            CNetLine* group = Group(id);
            checks.empty = group->IsEmpty();
            if (!checks.empty)
                checks.grown = Grown(group->GetBoundingRect(), rules->partClearance);
        }
        if (checks.empty)
            return;
        const CDRect grown = checks.grown;
        std::vector<std::uint32_t>& points = rules->errorPoints;
        for (int index :
             m_groups.rects.Find(grown, -1, [&](const CDRect& rect) { return Meet(rect, grown); })) {
            CNetLine* line = m_groups.lines[static_cast<std::size_t>(index)];
            if (ter && ter->FindNetLine(line))
                continue;
            const auto done = checks.found.find(index);
            if (done != checks.found.end()) {
                const auto [from, count] = done->second;
                const std::size_t end = points.size();
                points.resize(end + count);
                std::copy_n(points.begin() + static_cast<std::ptrdiff_t>(from), count,
                            points.begin() + static_cast<std::ptrdiff_t>(end));
                continue;
            }
            const std::size_t from = points.size();
            Group(id)->DRC_ShortCheck(rules, line);
            checks.found.emplace(index, std::pair<std::size_t, std::size_t>(from, points.size() - from));
        }
    }

private:
    struct IdChecks
    {
        bool empty = true;
        CDRect grown;
        // By sheet group: where in the error points the check against it put its points, and how many.
        std::unordered_map<int, std::pair<std::size_t, std::size_t>> found;
    };

    // The work group of the id; one lives at a time, as each stamps its id on the part's drills.
    CNetLine* Group(std::uint32_t id)
    {
        if (!m_work || m_workId != id) {
            m_work.reset();
            m_work = std::make_unique<PartIdGroup>(m_part, id, m_sheet);
            m_workId = id;
        }
        return m_work->Group();
    }

    CPart* m_part;
    CSheet& m_sheet;
    SheetGroups& m_groups;
    std::unordered_map<std::uint32_t, IdChecks> m_ids;
    std::unique_ptr<PartIdGroup> m_work;
    std::uint32_t m_workId = 0;
};

// The kinds a pad on a plane is checked against, in order: every surface counts, the others
// only with an aperture.
constexpr int kPlaneKinds[] = {KIND_LINE, KIND_ARC, KIND_SUR, KIND_LAND, KIND_TEXT};

bool PlaneCounts(const CItemBase* item)
{
    return item->GetKind() == KIND_SUR || item->GetTurretNo() > 0;
}

// The plane check of one pad against the items of one sheet, except one of them.
void CheckPadOnSheet(tagDRCSPEC* rules, CSheet& sheet, CLand& pad, const CItemBase* except,
                     std::vector<CItemBase*>& found)
{
    const CDRect rect = pad.GetBoundingRect();
    const CDPoint at = pad.GetPoint();
    for (int kind : kPlaneKinds) {
        found.clear();
        sheet.GetItemsIn(kind, rect, found);
        for (CItemBase* other : found) {
            if (other == except || !PlaneCounts(other))
                continue;
            tagPOINTFX crossing{};
            if (pad.CheckTHShort(other, &crossing, rules->planeMode)) {
                rules->errorPoints.push_back(static_cast<std::uint32_t>(platform::FixedToLong(crossing.x)));
                rules->errorPoints.push_back(static_cast<std::uint32_t>(platform::FixedToLong(crossing.y)));
                rules->errorPoints.push_back(contact::FixedWord(at.x));
                rules->errorPoints.push_back(contact::FixedWord(at.y));
            }
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The plane check

namespace {

// What the plane check of a sheet gathers once: the vias' lands on the plane and the parts'
// items on its layer, with the copy standing for each part pad and via.
class PlaneCheck
{
public:
    explicit PlaneCheck(CSheet& sheet)
        : m_sheet(sheet), m_parts(sheet.GetWLayer(), sheet.GetType(), sheet.GetLayerNo(), sheet.GetDocument())
    {
        const int bits = sheet.GetType(), layer = sheet.GetWLayer();
        if (CSheet* viaPart = ViaPartSheet(sheet))
            ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
                CLand land = via->GetLand(bits, layer, 1);
                if (land.GetTurretNo() != 0)
                    m_viaLands.push_back({via, land});
            });
        std::vector<CDRect> rects;
        for (auto& entry : m_viaLands)
            rects.push_back(entry.land.GetBoundingRect());
        m_viaGrid = std::make_unique<RectsInOrder>(std::move(rects));

        // The parts' items as a part's own copy would give them (CPart::GetItem), each pad and
        // via land remembered by what it stands for.
        for (CPart* part : PlacedParts(sheet)) {
            for (POSITION pos = part->GetFirstLandPos(); pos;) {
                CLand* land = part->GetNextLand(pos);
                if (land->GetLayerNo() == sheet.GetLayerNo())
                    m_copies[land] = m_parts.AddItem(land);
            }
            auto add = [&](CItemBase* item) {
                if (item->GetLayerNo() == sheet.GetLayerNo())
                    m_parts.AddItem(item);
            };
            for (POSITION pos = part->GetFirstLinePos(); pos;)
                add(part->GetNextLine(pos));
            for (POSITION pos = part->GetFirstArcPos(); pos;)
                add(part->GetNextArc(pos));
            for (POSITION pos = part->GetFirstSurPos(); pos;)
                add(part->GetNextSur(pos));
            for (POSITION pos = part->GetFirstTextPos(); pos;)
                add(part->GetNextText(pos));
            if (layer != 0)
                for (POSITION pos = part->GetFirstViaPos(); pos;) {
                    CVia* via = part->GetNextVia(pos);
                    CLand land = via->GetLand(bits, layer, 0);
                    if (land.GetTurretNo() != 0)
                        m_copies[via] = m_parts.AddItem(&land);
                }
        }
    }

    void Check(tagDRCSPEC* rules, CItemBase* item)
    {
        CLand pad;
        if (item->GetKind() == KIND_VIA)
            pad = static_cast<CVia*>(item)->GetLand(m_sheet.GetType(), m_sheet.GetWLayer(), 1);
        else if (item->GetKind() == KIND_LAND)
            pad = *static_cast<CLand*>(item);
        else
            return;
        const CDRect rect = pad.GetBoundingRect();
        if (rect.IsRectEmpty())
            return;
        CheckPadOnSheet(rules, m_sheet, pad, item, m_found);
        const CDPoint at = pad.GetPoint();
        for (int index : m_viaGrid->Find(rect, -1, [&](const CDRect& r) { return Meet(r, rect); })) {
            ViaLand& other = m_viaLands[static_cast<std::size_t>(index)];
            if (other.via == item)
                continue;
            tagPOINTFX crossing{};
            if (pad.CheckTHShort(&other.land, &crossing, rules->planeMode)) {
                rules->errorPoints.push_back(static_cast<std::uint32_t>(platform::FixedToLong(crossing.x)));
                rules->errorPoints.push_back(static_cast<std::uint32_t>(platform::FixedToLong(crossing.y)));
                rules->errorPoints.push_back(contact::FixedWord(at.x));
                rules->errorPoints.push_back(contact::FixedWord(at.y));
            }
        }
        if (m_parts.IsEmpty())
            return;
        const auto copy = m_copies.find(item);
        CheckPadOnSheet(rules, m_parts, pad, copy == m_copies.end() ? nullptr : copy->second, m_found);
    }

private:
    struct ViaLand
    {
        CVia* via;
        CLand land;
    };
    CSheet& m_sheet;
    CSheet m_parts;
    std::unordered_map<const CItemBase*, const CItemBase*> m_copies;
    std::vector<ViaLand> m_viaLands;
    std::unique_ptr<RectsInOrder> m_viaGrid;
    std::vector<CItemBase*> m_found;
};

} // namespace

void CSheet::DRC_ShortCheckNega(tagDRCSPEC* rules, CItemBase* item)
{
    if (!rules || !item)
        return;
    PlaneCheck(*this).Check(rules, item);
}

// ---------------------------------------------------------------------------------------------
// The sheet check

void CSheet::DRC_ShortCheck(tagDRCSPEC* rules, std::vector<std::uint32_t>* groups)
{
    if (!rules)
        return;
    rules->counter = 0;
    rules->sheet = this;
    const int layer = m_nWLayer;
    const contact::StrokeCacheScope keepStrokes;

    if (IsNega()) {
        if (rules->planeMode == 0)
            return;
        PlaneCheck plane(*this);
        ForEach<CLand>(*this, KIND_LAND, [&](CLand* land) {
            if (land->IsTharmal())
                plane.Check(rules, land);
        });
        if (CSheet* viaPart = ViaPartSheet(*this))
            ForEach<CVia>(*viaPart, KIND_VIA, [&](CVia* via) {
                if (via->CheckWire(layer))
                    plane.Check(rules, via);
            });
        for (CPart* part : PlacedParts(*this)) {
            for (POSITION pos = part->GetFirstLandPos(); pos;) {
                CLand* land = part->GetNextLand(pos);
                if (land->GetLayerNo() == m_nLayer && land->IsTharmal())
                    plane.Check(rules, land);
            }
            for (POSITION pos = part->GetFirstViaPos(); pos;) {
                CVia* via = part->GetNextVia(pos);
                if (via->CheckWire(layer))
                    plane.Check(rules, via);
            }
        }
        return;
    }

    // Groups pairwise: each with the later ones whose rectangles meet its grown one, except the
    // ids of the first run of groups that holds its id.
    const double clearance = rules->partClearance;
    const GroupRuns runs(groups);
    SheetGroups sheetGroups(*this);
    const std::vector<CNetLine*>& lines = sheetGroups.lines;
    const KeptIndexes kept(lines);
    for (int m = 0; m < static_cast<int>(lines.size()); ++m) {
        CNetLine* first = lines[static_cast<std::size_t>(m)];
        const CDRect grown = Grown(sheetGroups.rects[m], clearance);
        const std::unordered_set<std::uint32_t>* run = runs.FirstHolding(first->GetID());
        for (int t :
             sheetGroups.rects.Find(grown, m, [&](const CDRect& rect) { return Meet(rect, grown); })) {
            CNetLine* second = lines[static_cast<std::size_t>(t)];
            if (run && run->count(second->GetID()))
                continue;
            first->DRC_ShortCheck(rules, second);
        }
    }

    // Parts alone (each making its net rectangle again), then in pairs whose net rectangles, the
    // first grown, overlap: the test the pair check starts with.
    const std::vector<CPart*> parts = PlacedParts(*this);
    for (CPart* part : parts)
        part->DRC_ShortCheck(rules, nullptr);
    std::vector<CDRect> netRects;
    for (CPart* part : parts)
        netRects.push_back(part->GetNetBoundingRect());
    RectsInOrder partRects(netRects);
    for (int i = 0; i < static_cast<int>(parts.size()); ++i) {
        const CDRect grown = Grown(netRects[static_cast<std::size_t>(i)], clearance);
        for (int j :
             partRects.Find(grown, i, [&](const CDRect& rect) { return grown.IntersectRect(&rect) != 0; }))
            parts[static_cast<std::size_t>(i)]->DRC_ShortCheck(rules, parts[static_cast<std::size_t>(j)]);
    }

    // Terminal groups, then internal connections, against the sheet's groups.
    for (CPart* part : parts) {
        PartGroupChecks checks(part, *this, sheetGroups);
        for (POSITION pos = part->GetFirstTerPos(); pos;) {
            CTer* ter = part->GetNextTer(pos);
            checks.Check(rules, ter, ter->GetID());
        }
        const std::uint32_t from = static_cast<std::uint32_t>(part->GetTerCount()) + 1;
        for (std::uint32_t index = from; index <= part->GetNetCount(); ++index)
            checks.Check(rules, nullptr, index);
    }
}

void LinkPartTerminals(CSheet& sheet, const std::vector<CPart*>& parts, std::vector<std::uint32_t>* groups)
{
    if (sheet.IsNega()) {
        for (CPart* part : parts)
            sheet.SetTerNetIDNega(part, groups);
        return;
    }
    std::vector<CNetLine*> lines;
    for (auto pos = sheet.GetFirstNetLinePos(); pos;)
        lines.push_back(sheet.GetNextNetLine(pos));
    // Linking terminals adds no member and moves no item: the indexes stay true for the run. A
    // terminal is linked through the groups that meet its work group (terminals without an id
    // are not linked), so only those are indexed.
    std::vector<CDRect> reach;
    for (CPart* part : parts) {
        auto add = [&](std::uint32_t id) {
            // A work group without a layer leaves the items' ids as they are.
            CNetLine work(id, 0, 0);
            if (part->GetTerItem(sheet.GetLayerNo(), &work))
                reach.push_back(work.GetBoundingRect());
            work.DeleteContents();
        };
        for (POSITION pos = part->GetFirstTerPos(); pos;)
            if (const std::uint32_t id = part->GetNextTer(pos)->GetID(); id != 0)
                add(id);
        for (std::uint32_t index = static_cast<std::uint32_t>(part->GetTerCount()) + 1;
             index <= part->GetNetCount(); ++index)
            add(index);
    }
    const KeptIndexes kept(lines, reach);
    const NearGroupsScope near(sheet);
    for (CPart* part : parts)
        sheet.SetTerNetID(part, groups);
}

void CSheet::DRC_ShortCheck(tagDRCSPEC* rules, CTer* ter, CNetLine* group)
{
    if (!rules || !group)
        return;
    const contact::StrokeCacheScope keepStrokes;
    SheetGroups sheetGroups(*this);
    CheckTerGroup(rules, ter, group, sheetGroups);
}

// ---------------------------------------------------------------------------------------------
// Markers

CDRect CSheet::SetMark(tagDRCSPEC* rules, int turret)
{
    CDRect marked;
    marked.SetRectEmpty();
    if (!rules)
        return marked;
    const std::vector<std::uint32_t>& words = rules->errorPoints;
    // One land moved from point to point and copied in: a check may leave a million points.
    CLand marker(CDPoint(0.0, 0.0), turret);
    for (std::size_t i = 0; i + 1 < words.size(); i += 2) {
        const double x = platform::FixedToDouble(platform::LongToFixed(static_cast<std::int32_t>(words[i])));
        const double y =
            platform::FixedToDouble(platform::LongToFixed(static_cast<std::int32_t>(words[i + 1])));
        marker.SetPoint(CDPoint(x, y));
        // Stored as NewLand stores its copy, without looking the kind up twice.
        CItemBase* land = StoreItem(std::make_unique<CLand>(marker));
        if (land)
            marked |= land->GetBoundingRect();
    }
    return marked;
}
