// The common tail of a net-list read: nets that share a node are merged, the nets are bound to the
// terminals of the placed parts and the rubber lines are built. Nodes and terminals are found
// through indexes keyed by reference and pin folded as the node comparison folds them, so that a
// net list of many thousand nets binds in linear time.

#include "document/DocumentHost.h"
#include "document/VELTADoc.h"
#include "document/WaitCursor.h"
#include "model/items/Hole.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Via.h"
#include "model/net/Net.h"

#include <algorithm>
#include <set>

namespace {

// Lists filed by key in one buffer: the entries of key k are at begin[k] .. begin[k + 1], in the
// order they were added.
struct KeyedLists
{
    // counts: the entries per key; afterwards Put files them.
    explicit KeyedLists(const std::vector<std::uint32_t>& counts) : begin(counts.size() + 1, 0), next(counts.size())
    {
        for (std::size_t k = 0; k < counts.size(); ++k)
            begin[k + 1] = begin[k] + counts[k];
        std::copy(begin.begin(), begin.end() - 1, next.begin());
        entries.resize(begin.back());
    }
    void Put(std::uint32_t key, std::uint32_t entry) { entries[next[key]++] = entry; }
    const std::uint32_t* First(std::uint32_t key) const { return entries.data() + begin[key]; }
    const std::uint32_t* Last(std::uint32_t key) const { return entries.data() + begin[key + 1]; }

    std::vector<std::size_t> begin;
    std::vector<std::size_t> next;
    std::vector<std::uint32_t> entries;
};

// The nodes of a net list in order, each node's key queued a few nodes before it is taken, so that
// the key table's memory is on its way when the key is looked up.
class NodesAhead
{
public:
    NodesAhead(const std::vector<std::unique_ptr<CNet>>& nets, CNetNodeKeys& keys) : m_nets(nets), m_keys(keys)
    {
        for (int n = 0; n < 16; ++n)
            QueueNext();
    }
    // Queues the next node not yet queued, if any.
    void QueueNext()
    {
        while (m_net < m_nets.size() && m_node == m_nets[m_net]->GetNodes().size()) {
            ++m_net;
            m_node = 0;
        }
        if (m_net < m_nets.size()) {
            const auto& node = m_nets[m_net]->GetNodes()[m_node++];
            m_keys.Queue(node->GetRefName(), node->GetPinName());
        }
    }

private:
    const std::vector<std::unique_ptr<CNet>>& m_nets;
    CNetNodeKeys& m_keys;
    std::size_t m_net = 0;
    std::size_t m_node = 0;
};

} // namespace

void CVELTADoc::MergeSharedNets()
{
    // Each net is taken in list order and takes over every later net that shares a node with it,
    // as it grows; a later net is looked at again whenever an earlier one of the pass was taken over
    // (a pass restarts at the net after this one). Nets before this one share no node with any later
    // net, so merges happen exactly as with a restart at the head of the list.
    const std::size_t count = m_nets.size();
    std::size_t nodes = 0;
    for (const auto& net : m_nets)
        nodes += static_cast<std::size_t>(net->GetNodeCount());
    // Each net's distinct keys in node order, one list after another.
    CNetNodeKeys keys(nodes);
    std::vector<std::uint32_t> netKeys;
    std::vector<std::size_t> netBegin(count + 1, 0);
    std::vector<std::uint32_t> holderCount; // per key, the nets holding it
    std::vector<std::size_t> lastHolder;    // per key, 1 + the last net holding it
    netKeys.reserve(nodes);
    std::vector<char> repeated(count, 0);
    NodesAhead ahead(m_nets, keys);
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t n = m_nets[i]->GetNodes().size(); n > 0; --n) {
            ahead.QueueNext();
            const auto [key, added] = keys.AddQueued();
            if (added) {
                holderCount.push_back(0);
                lastHolder.push_back(0);
            }
            if (lastHolder[key] == i + 1) {
                repeated[i] = 1;
                continue;
            }
            lastHolder[key] = i + 1;
            ++holderCount[key];
            netKeys.push_back(key);
        }
        netBegin[i + 1] = netKeys.size();
    }
    // Per key, the nets holding it, ascending.
    KeyedLists holders(holderCount);
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t k = netBegin[i]; k < netBegin[i + 1]; ++k)
            holders.Put(netKeys[k], static_cast<std::uint32_t>(i));

    std::vector<char> gone(count, 0);
    std::vector<std::size_t> expandedBy(keys.Size(), count); // the net whose candidates a key gave
    for (std::size_t i = 0; i < count; ++i) {
        if (gone[i])
            continue;
        CNet* net = m_nets[i].get();
        if (repeated[i])
            net->DupCorrection();
        std::set<std::size_t> candidates;
        auto offerKeysOf = [&](std::size_t from) {
            for (std::size_t k = netBegin[from]; k < netBegin[from + 1]; ++k) {
                const std::uint32_t key = netKeys[k];
                if (expandedBy[key] == i)
                    continue;
                expandedBy[key] = i;
                for (const std::uint32_t* j = holders.First(key); j != holders.Last(key); ++j)
                    if (*j > i && !gone[*j])
                        candidates.insert(*j);
            }
        };
        offerKeysOf(i);
        std::size_t cursor = i;
        while (!candidates.empty()) {
            auto next = candidates.upper_bound(cursor);
            if (next == candidates.end()) {
                cursor = i; // the next pass
                continue;
            }
            const std::size_t j = *next;
            candidates.erase(next);
            cursor = j;
            // Tells the user and takes over the nodes.
            if (!net->DupCorrection(m_nets[j].get()))
                continue;
            gone[j] = 1;
            offerKeysOf(j);
        }
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (!gone[i])
            m_nets[kept++] = std::move(m_nets[i]);
    m_nets.resize(kept);
}

void CVELTADoc::SetNetTerminals()
{
    // The terminals of the part list in list order, filed by part reference and terminal number.
    std::vector<CTer*> ters;
    std::vector<std::uint32_t> terKeys;
    std::vector<std::uint32_t> terCount; // per key
    CNetNodeKeys keys(m_partList.size() * 16);
    for (CPart* part : m_partList) {
        for (POSITION pos = part->GetFirstTerPos(); pos;) {
            CTer* ter = part->GetNextTer(pos);
            ter->SetNetID(0);
            ter->SetNetCondition(0);
            const auto [key, added] = keys.Add(part->GetRefName(), ter->GetNo());
            if (added)
                terCount.push_back(0);
            ++terCount[key];
            ters.push_back(ter);
            terKeys.push_back(key);
        }
    }
    KeyedLists byKey(terCount);
    for (std::size_t t = 0; t < ters.size(); ++t)
        byKey.Put(terKeys[t], static_cast<std::uint32_t>(t));
    std::vector<std::size_t> boundBy(keys.Size(), 0); // 1 + the net that last bound a node of the key
    std::vector<std::uint32_t> offered;
    std::size_t netNumber = 0;
    NodesAhead ahead(m_nets, keys);
    for (const auto& net : m_nets) {
        ++netNumber;
        net->ResetPartTer();
        // The terminals that match a node, offered in the part list's order until every node has
        // one. A node counts once: a second terminal of the same number (a part with two pads of
        // one pin) must not end the search before the other nodes are bound.
        offered.clear();
        for (std::size_t n = net->GetNodes().size(); n > 0; --n) {
            ahead.QueueNext();
            const std::uint32_t key = keys.FindQueued();
            if (key != CNetNodeKeys::npos)
                offered.insert(offered.end(), byKey.First(key), byKey.Last(key));
        }
        std::sort(offered.begin(), offered.end());
        offered.erase(std::unique(offered.begin(), offered.end()), offered.end());
        int left = net->GetNodeCount();
        for (const std::uint32_t t : offered) {
            if (left == 0)
                break;
            if (!net->SetPartTer(ters[t]))
                continue;
            std::size_t& mark = boundBy[terKeys[t]];
            if (mark != netNumber) {
                mark = netNumber;
                --left;
            }
        }
    }
}

void CVELTADoc::MakeRubberLines()
{
    m_rubberRect.SetRectEmpty();
    if (!IsNetsOn() || m_nets.empty())
        return;
    if (m_partList.empty())
        BuildPartList(false);
    if (m_partList.empty())
        return;
    const WaitCursor wait(m_pHost);
    const std::vector<std::uint8_t>& wiring = m_stack.wireLayers;
    for (const std::uint8_t layer : wiring)
        if (CSheet* sheet = GetBoardSheet(layer))
            sheet->MakeRubberGroup();
    for (POSITION pos = m_viaPartSheet.GetFirstViaPos(); pos;) {
        CVia* via = m_viaPartSheet.GetNextVia(pos);
        if (via->GetID() == 0)
            m_viaPartSheet.SetNextNetID(via);
    }
    for (CPart* part : m_partList)
        if (part->GetID() == 0)
            m_viaPartSheet.SetNextNetID(part);
    std::vector<CHole*> holes;
    CollectHoles(holes, false);
    if (CSheet* first = wiring.empty() ? nullptr : GetBoardSheet(wiring.front()))
        for (CHole* hole : holes)
            if (hole->GetID() == 0)
                first->SetNextNetID(hole);
    for (const auto& net : m_nets)
        m_rubberRect |= net->MakeTour(this);
}
