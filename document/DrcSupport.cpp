#include "document/DrcSupport.h"

#include "document/FrameHelpers.h"
#include "model/items/Via.h"
#include "model/net/Net.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <list>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace drc {

namespace {

using Group = std::vector<std::uint32_t>;

} // namespace

namespace {

// A group while merging: its values in order, each once, with where each sits, so that a small
// group merges into a large one in time of the small one. A group as given keeps its own values
// (repeats too) until it first merges: they are what it yields if it never does.
struct MergeBox
{
    std::vector<std::uint32_t> given;
    bool indexed = false;
    bool alive = true;
    std::size_t stamp = 0;
    std::list<std::uint32_t> values;
    std::unordered_map<std::uint32_t, std::list<std::uint32_t>::iterator> where;

    void Index()
    {
        if (indexed)
            return;
        indexed = true;
        where.reserve(given.size());
        for (std::uint32_t v : given)
            if (!where.count(v))
                where.emplace(v, values.insert(values.end(), v));
    }
    bool Holds(std::uint32_t v) const { return where.count(v) != 0; }
    void Erase(std::uint32_t v)
    {
        const auto it = where.find(v);
        values.erase(it->second);
        where.erase(it);
    }
};

} // namespace

void MergeGroups(std::vector<std::uint32_t>& values)
{
    // Groups live in list order, which is the order of their stamps: a merged group always goes
    // to the end. The plain routine's step takes the first group that shares a value with any
    // other and merges it with the first later one that does; the groups of one overlap set never
    // touch those of another, so taking the groups in stamp order gives the same steps.
    // A merge keeps the larger group's storage and gives it the new stamp, so a group absorbing
    // many others is never copied; the index of holders learns the new stamp only when asked.
    std::vector<Group> split = SplitGroups(values);
    std::vector<MergeBox> boxes(split.size());
    constexpr std::size_t kNone = SIZE_MAX;
    std::vector<std::size_t> owner(split.size()); // stamp -> box, kNone once restamped or gone
    // For every value, the boxes holding it by stamp; an entry whose box died or got a newer
    // stamp since is dropped or moved when met.
    std::unordered_map<std::uint32_t, std::map<std::size_t, std::size_t>> holders;
    holders.reserve(values.size());
    for (std::size_t i = 0; i < split.size(); ++i) {
        boxes[i].given = std::move(split[i]);
        boxes[i].stamp = i;
        owner[i] = i;
        for (std::uint32_t v : boxes[i].given)
            holders[v].emplace(i, i);
    }

    std::vector<std::size_t> survivors;
    for (std::size_t stamp = 0; stamp < owner.size(); ++stamp) {
        const std::size_t id = owner[stamp];
        if (id == kNone)
            continue;
        // The first other live group sharing one of this group's values.
        std::size_t partnerStamp = kNone;
        std::size_t partner = kNone;
        auto probe = [&](std::uint32_t v) {
            std::map<std::size_t, std::size_t>& list = holders[v];
            for (auto it = list.begin(); it != list.end() && it->first < partnerStamp;) {
                const MergeBox& box = boxes[it->second];
                if (!box.alive) {
                    it = list.erase(it);
                } else if (box.stamp != it->first) {
                    const std::size_t key = it->first;
                    const std::size_t other = it->second;
                    list.erase(it);
                    list.emplace(box.stamp, other);
                    it = list.upper_bound(key); // the moved entry is met again if still in reach
                } else if (it->second == id) {
                    ++it;
                } else {
                    partnerStamp = it->first;
                    partner = it->second;
                    break;
                }
            }
        };
        if (boxes[id].indexed)
            for (std::uint32_t v : boxes[id].values)
                probe(v);
        else
            for (std::uint32_t v : boxes[id].given)
                probe(v);
        if (partner == kNone) {
            survivors.push_back(id);
            continue;
        }
        // As the plain routine: the first value of this group that the partner holds goes, the
        // partner's values follow, repeats dropped.
        MergeBox& a = boxes[id];
        MergeBox& b = boxes[partner];
        b.Index();
        const std::size_t newStamp = owner.size();
        std::size_t kept = kNone;
        std::vector<std::uint32_t> added; // values the kept box did not hold before
        if (!a.indexed || a.values.size() <= b.values.size()) {
            // This group's values, less the first shared one, each once, go before the partner's.
            std::vector<std::uint32_t> front;
            if (!a.indexed) {
                front = a.given;
                front.erase(std::find_if(front.begin(), front.end(), [&](std::uint32_t v) { return b.Holds(v); }));
                std::unordered_set<std::uint32_t> seen;
                seen.reserve(front.size() * 2);
                std::size_t out = 0;
                for (std::uint32_t v : front)
                    if (seen.insert(v).second)
                        front[out++] = v;
                front.resize(out);
            } else {
                const auto shared = std::find_if(a.values.begin(), a.values.end(), [&](std::uint32_t v) { return b.Holds(v); });
                for (auto it = a.values.begin(); it != a.values.end(); ++it)
                    if (it != shared)
                        front.push_back(*it);
            }
            for (std::uint32_t v : front) {
                if (b.Holds(v))
                    b.Erase(v);
                else
                    added.push_back(v);
            }
            const auto at = b.values.begin();
            for (std::uint32_t v : front)
                b.where.emplace(v, b.values.insert(at, v));
            kept = partner;
        } else {
            // The partner is the smaller: its new values go to this group's end.
            const auto shared = std::find_if(a.values.begin(), a.values.end(), [&](std::uint32_t v) { return b.Holds(v); });
            const std::uint32_t gone = *shared;
            a.Erase(gone);
            for (std::uint32_t v : b.values)
                if (!a.Holds(v)) {
                    a.where.emplace(v, a.values.insert(a.values.end(), v));
                    if (v != gone)
                        added.push_back(v);
                }
            kept = id;
        }
        MergeBox& merged = boxes[kept];
        MergeBox& spent = boxes[kept == id ? partner : id];
        spent.alive = false;
        spent.given = {};
        spent.values = {};
        spent.where = {};
        owner[a.stamp] = kNone;
        owner[b.stamp] = kNone;
        merged.given = {};
        merged.stamp = newStamp;
        owner.push_back(kept);
        for (std::uint32_t v : added)
            holders[v].emplace(newStamp, kept);
    }
    values.clear();
    for (std::size_t id : survivors) {
        const MergeBox& box = boxes[id];
        if (box.indexed)
            values.insert(values.end(), box.values.begin(), box.values.end());
        else
            values.insert(values.end(), box.given.begin(), box.given.end());
        values.push_back(0);
    }
}

std::vector<std::pair<int, int>> FindNearPairs(const std::vector<CDRect>& rects, double reach)
{
    constexpr double kSlack = 1e-6;
    // Only rectangles with an area can meet anything; sorted by their left edge.
    std::vector<int> order;
    double widest = 0.0;
    for (int i = 0; i < static_cast<int>(rects.size()); ++i) {
        const CDRect& r = rects[static_cast<std::size_t>(i)];
        if (!r.IsRectEmpty()) {
            order.push_back(i);
            widest = std::max(widest, r.right - r.left);
        }
    }
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const double la = rects[static_cast<std::size_t>(a)].left;
        const double lb = rects[static_cast<std::size_t>(b)].left;
        return la < lb || (la == lb && a < b);
    });
    std::vector<double> lefts;
    lefts.reserve(order.size());
    for (int i : order)
        lefts.push_back(rects[static_cast<std::size_t>(i)].left);

    std::vector<std::pair<int, int>> pairs;
    for (int p : order) {
        CDRect around = rects[static_cast<std::size_t>(p)];
        around.InflateRect(reach);
        // A rectangle that meets `around` starts before its right edge and, being at most
        // `widest` wide, after its left edge minus that width (with room for rounding; the exact
        // test below decides).
        const auto first = std::lower_bound(lefts.begin(), lefts.end(), around.left - widest - kSlack);
        const auto last = std::lower_bound(lefts.begin(), lefts.end(), around.right);
        for (auto it = first; it != last; ++it) {
            const int q = order[static_cast<std::size_t>(it - lefts.begin())];
            if (q > p && rects[static_cast<std::size_t>(q)].IntersectRect(&around))
                pairs.emplace_back(p, q);
        }
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

void ViaRuns::Add(const CVia& via, int layers)
{
    m_ids.clear();
    for (int k = 1; k <= layers; ++k) {
        const std::uint32_t id = via.GetLayerID(k);
        if (id != 0 && std::find(m_ids.begin(), m_ids.end(), id) == m_ids.end())
            m_ids.push_back(id);
    }
    auto key = [](std::size_t run, std::uint32_t id) { return static_cast<std::uint64_t>(run) << 32 | id; };
    std::size_t first = SIZE_MAX;
    for (std::uint32_t id : m_ids)
        if (const auto found = m_firstRun.find(id); found != m_firstRun.end())
            first = std::min(first, found->second);
    if (first != SIZE_MAX) {
        for (std::uint32_t id : m_ids) {
            if (!m_held.insert(key(first, id)).second)
                continue;
            m_runs[first].push_back(id);
            const auto [at, added] = m_firstRun.emplace(id, first);
            if (!added)
                at->second = std::min(at->second, first);
        }
        return;
    }
    if (m_ids.size() < 2)
        return;
    const std::size_t run = m_runs.size();
    m_runs.push_back(m_ids);
    for (std::uint32_t id : m_ids) {
        m_held.insert(key(run, id));
        m_firstRun.emplace(id, run);
    }
}

void ViaRuns::AppendTo(std::vector<std::uint32_t>& list) const
{
    for (const auto& run : m_runs) {
        list.insert(list.end(), run.begin(), run.end());
        list.push_back(0);
    }
}

namespace {

// A node's text as CNetNode::operator== compares it: each character's case-folded code in two
// bytes, so that equal keys mean equal texts.
std::string FoldText(const std::string& text)
{
    std::string out;
    out.reserve(text.size() * 2 + 2);
    for (std::size_t i = 0; i < text.size();) {
        const platform::Cp932Char ch = platform::CharAt(text, i);
        const unsigned folded = platform::FoldCaseCode(ch.code);
        out += static_cast<char>((folded >> 8) & 0xFF);
        out += static_cast<char>(folded & 0xFF);
        i += ch.width;
    }
    return out;
}

// The net's nodes as a sorted list of folded keys; false when two nodes are equal.
bool NodeSet(const CNet& net, std::vector<std::string>& keys)
{
    keys.clear();
    for (const auto& node : net.GetNodes())
        keys.push_back(FoldText(node->GetRefName()) + "\xFF\xFF" + FoldText(node->GetPinName()) + "\xFF\xFE");
    std::sort(keys.begin(), keys.end());
    return std::adjacent_find(keys.begin(), keys.end()) == keys.end();
}

std::string Joined(const std::vector<std::string>& keys)
{
    std::string out;
    for (const std::string& k : keys)
        out += k;
    return out;
}

} // namespace

struct NetMatcher::Index
{
    // Listed nets whose nodes are all different, by their node set, in list order.
    std::unordered_map<std::string, std::vector<CNet*>> bySet;
};

NetMatcher::NetMatcher(const std::vector<CNet*>& list) : m_list(list), m_index(std::make_unique<Index>())
{
    std::vector<std::string> keys;
    for (CNet* net : list)
        if (net && NodeSet(*net, keys))
            m_index->bySet[Joined(keys)].push_back(net);
}

NetMatcher::~NetMatcher() = default;

bool NetMatcher::Match(CNet& net)
{
    std::vector<std::string> keys;
    if (net.GetNodes().empty())
        return false;
    // A net that repeats a node may match a listed net it does not equal; the plain test decides.
    if (!NodeSet(net, keys))
        return net.CheckNet(m_list);
    // Every node of a net of n different nodes lies in a listed net of n nodes only when their
    // node sets are equal.
    const auto found = m_index->bySet.find(Joined(keys));
    if (found == m_index->bySet.end())
        return false;
    for (CNet* candidate : found->second) {
        if (!candidate->IsMarked()) {
            candidate->SetMaker();
            net.SetMaker();
            return true;
        }
    }
    return false;
}

} // namespace drc
