// Net: nodes, binding to terminals, the net compare, repeated-node clean-up and the board-file
// record. Rubber lines are in NetTour.cpp, drawing in NetDraw.cpp, the dialect texts in
// NetDialect.cpp.

#include "model/net/Net.h"

#include "model/items/Ter.h"
#include "model/net/NetDialect.h"
#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>

// --- Nodes ---

CNet::CNetNode::CNetNode(std::string reference, std::string pin)
    : m_strRef(std::move(reference)), m_strPin(std::move(pin))
{
}

CNet::CNetNode::CNetNode(CTer* ter) : m_strRef(PartRefOf(ter)), m_strPin(ter->GetNo()), m_pTer(ter) {}

bool CNet::CNetNode::operator==(const CNetNode& other) const
{
    return platform::MbsICmp(m_strRef, other.m_strRef) == 0 &&
           platform::MbsICmp(m_strPin, other.m_strPin) == 0;
}

// --- Construction ---

CNet::CNet() = default;

CNet::CNet(const std::string& name) : m_strName(name) {}

CNet::CNet(const CNet& other) : m_nID(other.m_nID), m_strName(other.m_strName), m_nType(other.m_nType)
{
    CopyNodes(other);
}

CNet& CNet::operator=(const CNet& other)
{
    if (this == &other)
        return *this;
    m_nID = other.m_nID;
    m_strName = other.m_strName;
    m_nType = other.m_nType;
    DeleteContents();
    CopyNodes(other);
    return *this;
}

CNet::~CNet() = default;

void CNet::CopyNodes(const CNet& other)
{
    m_Nodes.reserve(other.m_Nodes.size());
    for (const auto& node : other.m_Nodes)
        m_Nodes.push_back(std::make_unique<CNetNode>(*node));
}

void CNet::DeleteContents()
{
    // Rubber lines name nodes: they go first.
    m_RubberLines.clear();
    m_Nodes.clear();
}

CNet::CNetNode* CNet::GetNode(int index) const
{
    if (index < 0 || index >= GetNodeCount())
        return nullptr;
    return m_Nodes[static_cast<std::size_t>(index)].get();
}

void CNet::GetNetNode(int index, std::string& ref, std::string& pin) const
{
    if (const CNetNode* node = GetNode(index)) {
        ref = node->GetRefName();
        pin = node->GetPinName();
    }
}

CNet::CNetNode* CNet::SetRefPin(const std::string& ref, const std::string& pin)
{
    auto node = std::make_unique<CNetNode>(TrimNetText(ref), TrimNetText(pin));
    for (const auto& n : m_Nodes) {
        if (*n == *node)
            return n.get();
    }
    m_Nodes.push_back(std::move(node));
    return m_Nodes.back().get();
}

void CNet::AddNode(const CNet* other)
{
    if (other == this)
        return;
    for (const auto& n : other->m_Nodes)
        SetRefPin(n->GetRefName(), n->GetPinName())->SetTer(n->GetTer());
}

// --- Terminals ---

bool CNet::SetPartTer(CTer* ter)
{
    if (!ter)
        return false;
    const CNetNode probe(ter);
    for (const auto& n : m_Nodes) {
        if (*n == probe) {
            n->SetTer(ter);
            ter->SetNetID(m_nID);
            return true;
        }
    }
    return false;
}

void CNet::ResetPartTer()
{
    for (const auto& n : m_Nodes)
        n->SetTer(nullptr);
}

void CNet::AddTailPartTer(CTer* ter)
{
    if (ter)
        m_Nodes.push_back(std::make_unique<CNetNode>(ter));
}

// --- Net compare ---

bool CNet::CheckNet() const
{
    return m_Nodes.size() > 1;
}

namespace {

bool HoldsEqualNode(const CNet::NodeList& nodes, const CNet::CNetNode& node)
{
    return std::any_of(nodes.begin(), nodes.end(), [&](const auto& n) { return *n == node; });
}

} // namespace

bool CNet::CheckNet(const std::vector<CNet*>& nets)
{
    if (m_Nodes.empty())
        return false;
    for (CNet* net : nets) {
        if (!net || net->IsMarked() || net->GetNodeCount() != GetNodeCount())
            continue;
        const bool all = std::all_of(m_Nodes.begin(), m_Nodes.end(),
                                     [&](const auto& n) { return HoldsEqualNode(net->m_Nodes, *n); });
        if (all) {
            net->SetMaker();
            SetMaker();
            return true;
        }
    }
    return false;
}

void CNet::GetSameNet(const std::vector<CNet*>& nets, std::vector<std::string>& report) const
{
    // Scratch lists only borrow the nodes.
    std::vector<const CNetNode*> open;
    std::vector<const CNet*> noted;
    for (const auto& node : m_Nodes) {
        bool found = false;
        for (const CNet* net : nets) {
            if (!net || !HoldsEqualNode(net->m_Nodes, *node))
                continue;
            found = true;
            if (std::find(noted.begin(), noted.end(), net) == noted.end())
                noted.push_back(net);
        }
        if (!found)
            open.push_back(node.get());
    }
    if (!open.empty())
        report.push_back("=== " + FormatNet(-1, 0, "OPEN_NET", open));
    for (const CNet* net : noted) {
        std::vector<const CNetNode*> shared;
        std::vector<const CNetNode*> others;
        for (const auto& n : net->m_Nodes)
            (HoldsEqualNode(m_Nodes, *n) ? shared : others).push_back(n.get());
        if (!shared.empty())
            report.push_back("!!! " + FormatNet(-1, 0, net->GetNetName(), shared));
        if (!others.empty())
            report.push_back("### " + FormatNet(-1, 0, net->GetNetName(), others));
    }
}

bool CNet::DupCorrection()
{
    bool removed = false;
    for (std::size_t i = 0; i < m_Nodes.size(); ++i) {
        for (std::size_t j = i + 1; j < m_Nodes.size();) {
            if (!(*m_Nodes[j] == *m_Nodes[i])) {
                ++j;
                continue;
            }
            // A rubber line must never name a node that is gone.
            const CNetNode* gone = m_Nodes[j].get();
            std::erase_if(m_RubberLines, [&](const auto& r) { return r->from == gone || r->to == gone; });
            m_Nodes.erase(m_Nodes.begin() + static_cast<std::ptrdiff_t>(j));
            removed = true;
        }
    }
    return removed;
}

bool CNet::DupCorrection(CNet* other)
{
    if (!other || other == this)
        return false;
    for (const auto& node : m_Nodes) {
        if (!HoldsEqualNode(other->m_Nodes, *node))
            continue;
        AfxMessageBox(platform::Format(_J("%sと%sが%s(%s)で同じネットになりました").c_str(),
                                       m_strName.c_str(), other->m_strName.c_str(),
                                       node->GetRefName().c_str(), node->GetPinName().c_str()),
                      MB_OK);
        AddNode(other);
        return true;
    }
    return false;
}

// --- Record ---

void CNet::Serialize(CArchive& ar, int version)
{
    if (ar.IsLoading())
        DataRead(ar, version);
    else
        DataWrite(ar);
}

void CNet::DataWrite(CArchive& ar) const
{
    ar << static_cast<std::int32_t>(m_nID) << m_nType << m_strName;
}

void CNet::DataRead(CArchive& ar, int /*version*/)
{
    std::int32_t id = 0;
    std::int32_t type = 0;
    std::string name;
    ar >> id >> type >> name;
    m_nID = static_cast<std::uint32_t>(id);
    m_nType = type;
    m_strName = std::move(name);
}

// --- Node keys ---

void CNetNodeKeys::MakeKey(std::string_view ref, std::string_view pin, std::string& out)
{
    // Single-byte codes fold through a table made from the one folding rule.
    static const std::array<char, 256> single = [] {
        std::array<char, 256> table{};
        for (unsigned code = 0; code < 256; ++code)
            table[code] = static_cast<char>(platform::FoldCaseCode(code) & 0xFF);
        return table;
    }();
    auto fold = [&out](std::string_view s) {
        for (const platform::Cp932Char c : platform::Chars(s)) {
            if (!c.IsDoubleByte()) {
                out += single[c.code & 0xFF];
                continue;
            }
            const unsigned code = platform::FoldCaseCode(c.code);
            out += static_cast<char>((code >> 8) & 0xFF);
            out += static_cast<char>(code & 0xFF);
        }
    };
    out.clear();
    // The folded reference has the reference's length.
    for (std::size_t n = ref.size();; n >>= 7) {
        out += static_cast<char>((n & 0x7F) | (n > 0x7F ? 0x80 : 0));
        if (n <= 0x7F)
            break;
    }
    fold(ref);
    fold(pin);
}

void CNetNodeKeys::Clear(std::size_t expected)
{
    m_text.clear();
    m_begin.assign(1, 0);
    m_queue.clear();
    m_queued.clear();
    m_nextQueued = 0;
    const std::size_t slots = std::bit_ceil(std::max<std::size_t>(16, 2 * expected));
    if (m_slots.size() == slots)
        std::fill(m_slots.begin(), m_slots.end(), Slot{0, npos});
    else
        m_slots.assign(slots, Slot{0, npos});
}

std::size_t CNetNodeKeys::Probe(std::string_view key, std::size_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = m_slots[at];
        if (slot.id == npos)
            return at;
        if (slot.tag == tag &&
            std::string_view(m_text).substr(m_begin[slot.id], m_begin[slot.id + 1] - m_begin[slot.id]) == key)
            return at;
    }
}

void CNetNodeKeys::Grow()
{
    m_slots.assign(m_slots.size() * 2, Slot{0, npos});
    const std::size_t mask = m_slots.size() - 1;
    for (std::uint32_t id = 0; id < Size(); ++id) {
        const std::size_t hash =
            std::hash<std::string_view>{}(std::string_view(m_text).substr(m_begin[id], m_begin[id + 1] - m_begin[id]));
        std::size_t at = hash & mask;
        while (m_slots[at].id != npos)
            at = (at + 1) & mask;
        m_slots[at] = {static_cast<std::uint32_t>(hash >> 32), id};
    }
}

std::pair<std::uint32_t, bool> CNetNodeKeys::Add(std::string_view key, std::size_t hash)
{
    Slot& slot = m_slots[Probe(key, hash)];
    if (slot.id != npos)
        return {slot.id, false};
    const auto id = static_cast<std::uint32_t>(Size());
    slot = {static_cast<std::uint32_t>(hash >> 32), id};
    m_text += key;
    m_begin.push_back(m_text.size());
    if (2 * Size() > m_slots.size())
        Grow();
    return {id, true};
}

std::pair<std::uint32_t, bool> CNetNodeKeys::Add(std::string_view ref, std::string_view pin)
{
    MakeKey(ref, pin, m_key);
    return Add(m_key, std::hash<std::string_view>{}(m_key));
}

void CNetNodeKeys::Queue(std::string_view ref, std::string_view pin)
{
    // The keys already taken go now and then, so that the queue holds about the keys ahead.
    if (m_nextQueued >= 1024 || m_nextQueued == m_queued.size()) {
        const std::size_t cut = m_nextQueued == m_queued.size() ? m_queue.size() : m_queued[m_nextQueued].begin;
        m_queue.erase(0, cut);
        m_queued.erase(m_queued.begin(), m_queued.begin() + static_cast<std::ptrdiff_t>(m_nextQueued));
        for (Queued& q : m_queued)
            q.begin -= cut;
        m_nextQueued = 0;
    }
    MakeKey(ref, pin, m_key);
    const std::size_t hash = std::hash<std::string_view>{}(m_key);
    __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]);
    m_queued.push_back({m_queue.size(), m_key.size(), hash});
    m_queue += m_key;
}

std::pair<std::uint32_t, bool> CNetNodeKeys::AddQueued()
{
    const Queued q = m_queued[m_nextQueued++];
    return Add(KeyOf(q), q.hash);
}

std::uint32_t CNetNodeKeys::FindQueued()
{
    const Queued q = m_queued[m_nextQueued++];
    return m_slots[Probe(KeyOf(q), q.hash)].id;
}

std::uint32_t CNetNodeKeys::Find(std::string_view ref, std::string_view pin)
{
    MakeKey(ref, pin, m_key);
    return m_slots[Probe(m_key, std::hash<std::string_view>{}(m_key))].id;
}

