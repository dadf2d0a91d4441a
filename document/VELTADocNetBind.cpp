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
#include "platform/Cp932.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>

namespace {

// Equal nodes (CNetNode::operator==: reference and pin without case, CP932 rules) share one key:
// the length of the folded reference, then the folded reference and pin, each character's folded
// code in its own width (folding keeps a code's width, so the key walks as CP932 text and two
// different folded texts never give one key). Most keys fit a short string and allocate nothing.
const std::string& NodeKey(std::string_view ref, std::string_view pin)
{
    // One buffer for all keys: a look-up allocates nothing.
    thread_local std::string key;
    thread_local std::string folded;
    auto fold = [](std::string_view s, std::string& out) {
        for (const platform::Cp932Char c : platform::Chars(s)) {
            const unsigned code = platform::FoldCaseCode(c.code);
            if (c.IsDoubleByte())
                out += static_cast<char>((code >> 8) & 0xFF);
            out += static_cast<char>(code & 0xFF);
        }
    };
    folded.clear();
    fold(ref, folded);
    key.clear();
    for (std::size_t n = folded.size();; n >>= 7) {
        key += static_cast<char>((n & 0x7F) | (n > 0x7F ? 0x80 : 0));
        if (n <= 0x7F)
            break;
    }
    key += folded;
    fold(pin, key);
    return key;
}

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
    std::unordered_map<std::string, int> keyIds;
    keyIds.reserve(nodes);
    std::vector<std::vector<int>> netKeys(count);
    std::vector<std::vector<std::uint32_t>> holders; // per key, the nets holding it, ascending
    std::vector<char> repeated(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        for (const auto& node : m_nets[i]->GetNodes()) {
            const auto [at, added] =
                keyIds.try_emplace(NodeKey(node->GetRefName(), node->GetPinName()), static_cast<int>(holders.size()));
            if (added)
                holders.emplace_back();
            std::vector<std::uint32_t>& held = holders[static_cast<std::size_t>(at->second)];
            if (!held.empty() && held.back() == i) {
                repeated[i] = 1;
                continue;
            }
            held.push_back(static_cast<std::uint32_t>(i));
            netKeys[i].push_back(at->second);
        }
    }

    std::vector<char> gone(count, 0);
    std::vector<std::size_t> expandedBy(holders.size(), count); // the net whose candidates a key gave
    for (std::size_t i = 0; i < count; ++i) {
        if (gone[i])
            continue;
        CNet* net = m_nets[i].get();
        if (repeated[i])
            net->DupCorrection();
        std::set<std::size_t> candidates;
        auto offerKeysOf = [&](std::size_t from) {
            for (const int key : netKeys[from]) {
                if (expandedBy[static_cast<std::size_t>(key)] == i)
                    continue;
                expandedBy[static_cast<std::size_t>(key)] = i;
                for (const std::uint32_t j : holders[static_cast<std::size_t>(key)])
                    if (j > i && !gone[j])
                        candidates.insert(j);
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
    std::vector<int> terKeys;
    std::unordered_map<std::string, int> keyIds;
    std::vector<std::vector<std::uint32_t>> byKey;
    keyIds.reserve(m_partList.size() * 16);
    for (CPart* part : m_partList) {
        for (POSITION pos = part->GetFirstTerPos(); pos;) {
            CTer* ter = part->GetNextTer(pos);
            ter->SetNetID(0);
            ter->SetNetCondition(0);
            const auto [at, added] =
                keyIds.try_emplace(NodeKey(part->GetRefName(), ter->GetNo()), static_cast<int>(byKey.size()));
            if (added)
                byKey.emplace_back();
            byKey[static_cast<std::size_t>(at->second)].push_back(static_cast<std::uint32_t>(ters.size()));
            ters.push_back(ter);
            terKeys.push_back(at->second);
        }
    }
    std::vector<std::size_t> boundBy(byKey.size(), 0); // 1 + the net that last bound a node of the key
    std::vector<std::uint32_t> offered;
    std::size_t netNumber = 0;
    for (const auto& net : m_nets) {
        ++netNumber;
        net->ResetPartTer();
        // The terminals that match a node, offered in the part list's order until every node has
        // one. A node counts once: a second terminal of the same number (a part with two pads of
        // one pin) must not end the search before the other nodes are bound.
        offered.clear();
        for (const auto& node : net->GetNodes()) {
            const auto found = keyIds.find(NodeKey(node->GetRefName(), node->GetPinName()));
            if (found != keyIds.end()) {
                const auto& list = byKey[static_cast<std::size_t>(found->second)];
                offered.insert(offered.end(), list.begin(), list.end());
            }
        }
        std::sort(offered.begin(), offered.end());
        offered.erase(std::unique(offered.begin(), offered.end()), offered.end());
        int left = net->GetNodeCount();
        for (const std::uint32_t t : offered) {
            if (left == 0)
                break;
            if (!net->SetPartTer(ters[t]))
                continue;
            std::size_t& mark = boundBy[static_cast<std::size_t>(terKeys[t])];
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
