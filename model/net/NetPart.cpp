// What a net's nodes take from the part that holds their terminal.

#include "model/net/Net.h"

#include "model/items/Part.h"
#include "model/items/Ter.h"

const CPart* CNet::CNetNode::PartOf(const CTer* ter)
{
    const CItemBase* parent = ter ? ter->GetParent() : nullptr;
    return parent && parent->GetKind() == KIND_PART ? static_cast<const CPart*>(parent) : nullptr;
}

std::string CNet::CNetNode::PartRefOf(const CTer* ter)
{
    const CPart* part = PartOf(ter);
    return part ? part->GetRefName() : std::string();
}

std::string CNet::CNetNode::GetTerRefName() const
{
    if (PartOf(m_pTer))
        return PartRefOf(m_pTer);
    return m_strRef;
}

std::string CNet::CNetNode::GetTerPinName() const
{
    if (PartOf(m_pTer))
        return m_pTer->GetNo();
    return m_strPin;
}
