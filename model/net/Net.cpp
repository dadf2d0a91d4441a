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
