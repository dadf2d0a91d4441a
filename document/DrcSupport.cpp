#include "document/DrcSupport.h"

#include "document/FrameHelpers.h"
#include "model/items/Via.h"
#include "model/net/Net.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <deque>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace drc {

namespace {

using Group = std::vector<std::uint32_t>;

// Keeps the first occurrence of every value.
void KeepFirst(Group& values)
{
    std::unordered_set<std::uint32_t> seen;
    seen.reserve(values.size() * 2);
    std::size_t out = 0;
    for (std::uint32_t v : values)
        if (seen.insert(v).second)
            values[out++] = v;
    values.resize(out);
}

} // namespace

void MergeGroups(std::vector<std::uint32_t>& values)
{
    // Groups live in list order, which is the order of their stamps: a merged group always goes
    // to the end. The plain routine's step takes the first group that shares a value with any
    // other and merges it with the first later one that does; the groups of one overlap set never
    // touch those of another, so taking the groups in stamp order gives the same steps.
    std::vector<Group> groups = SplitGroups(values);
    std::vector<bool> alive(groups.size(), true);
    // For every value, the stamps of the groups holding it, ascending (dead ones pruned lazily).
    std::unordered_map<std::uint32_t, std::deque<std::size_t>> holders;
    holders.reserve(values.size());
    auto enter = [&](std::size_t stamp) {
        for (std::uint32_t v : groups[stamp]) {
            std::deque<std::size_t>& list = holders[v];
            if (list.empty() || list.back() != stamp)
                list.push_back(stamp);
        }
    };
    for (std::size_t stamp = 0; stamp < groups.size(); ++stamp)
        enter(stamp);

    std::vector<std::size_t> survivors;
    for (std::size_t stamp = 0; stamp < groups.size(); ++stamp) {
        if (!alive[stamp])
            continue;
        // The first other live group sharing one of this group's values.
        std::size_t partner = SIZE_MAX;
        for (std::uint32_t v : groups[stamp]) {
            std::deque<std::size_t>& list = holders[v];
            while (!list.empty() && !alive[list.front()])
                list.pop_front();
            for (std::size_t other : list) {
                if (other >= partner)
                    break;
                if (other != stamp && alive[other]) {
                    partner = other;
                    break;
                }
            }
        }
        if (partner == SIZE_MAX) {
            survivors.push_back(stamp);
            continue;
        }
        // As the plain routine: the first value of this group that the partner holds goes, the
        // partner's values follow, repeats dropped.
        const Group& a = groups[stamp];
        const Group& b = groups[partner];
        const std::unordered_set<std::uint32_t> inB(b.begin(), b.end());
        Group merged = a;
        const auto shared = std::find_if(merged.begin(), merged.end(), [&](std::uint32_t v) { return inB.count(v); });
        merged.erase(shared);
        merged.insert(merged.end(), b.begin(), b.end());
        KeepFirst(merged);
        alive[stamp] = false;
        alive[partner] = false;
        groups[stamp].clear();
        groups[stamp].shrink_to_fit();
        groups[partner].clear();
        groups[partner].shrink_to_fit();
        groups.push_back(std::move(merged));
        alive.push_back(true);
        enter(groups.size() - 1);
    }
    values.clear();
    for (std::size_t stamp : survivors) {
        values.insert(values.end(), groups[stamp].begin(), groups[stamp].end());
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
