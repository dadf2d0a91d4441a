// Part-number clicks: Ctrl+click takes a part as the reference, each plain click gives the next
// part the reference's next number (elements of one package share one number).

#include "app/BoardInput.h"
#include "app/ViewPort.h"
#include "document/VELTADoc.h"
#include "model/items/Part.h"
#include "platform/Profile.h"

#include <string>

namespace {

bool SameWithoutCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

int ProfileInt(const char* key, int fallback)
{
    return platform::GetProfile().GetInt("CopyIncrement", key, fallback);
}

// Element count and index of a part's package.
int UnitsOf(const CPart& part)
{
    return static_cast<int>(part.GetPackageMax());
}

int UnitOf(const CPart& part)
{
    return UnitsOf(part) >= 2 ? static_cast<int>(part.GetPackage()) : 0;
}

} // namespace

void BoardInput::OnPartNumberClick(const CDPoint& point, int flags)
{
    if (!m_doc)
        return;
    int layer = 0;
    CItemBase* hit = HitTest(point, layer, 0, false);
    if (!hit || hit->GetKind() != KIND_PART)
        return;
    auto* part = static_cast<CPart*>(hit);
    if ((flags & (MK_SHIFT | MK_CONTROL)) == MK_CONTROL) {
        PartReference ref;
        part->GetRefName(ref.prefix, ref.suffix, ref.number);
        ref.units = UnitsOf(*part);
        ref.unit = UnitOf(*part);
        ref.value = part->GetValName();
        ref.name = part->GetPartName();
        m_ref = std::move(ref);
        m_port.ShowStatusText(point);
        return;
    }
    std::string prefix;
    std::string suffix;
    int number = 0;
    part->GetRefName(prefix, suffix, number);
    const bool anyPrefix = ProfileInt("OrderRef", 0) != 0;
    if (!anyPrefix && !SameWithoutCase(prefix, m_ref.prefix))
        return;
    const int units = UnitsOf(*part);
    const int unit = UnitOf(*part);
    const bool nextElement = m_ref.unit != 0 && units == m_ref.units && unit > m_ref.unit &&
                             part->GetValName() == m_ref.value && part->GetPartName() == m_ref.name;
    if (!nextElement)
        m_ref.number += ProfileInt("OrderOff", 1);
    const bool wholeName = ProfileInt("OrderRef2", 0) != 0;
    const bool numbered =
        part->GetRefNo() == m_ref.number && (!wholeName || SameWithoutCase(prefix, m_ref.prefix));
    if (!numbered) {
        m_doc->StoreUndoForItem(part, 3);
        const CDRect before = part->GetBoundingRect();
        m_bShowNets = false;
        if (wholeName)
            part->SetRefName((m_ref.prefix + std::to_string(m_ref.number) + m_ref.suffix).c_str());
        else
            part->SetRefNo(m_ref.number, 1);
        part->ResetBounding();
        CDRect after = part->GetBoundingRect();
        after |= before;
        m_port.InvalidateBoardRect(after);
        m_doc->StoreUndoForItem(part, 5);
        prefix.clear();
        suffix.clear();
        part->GetRefName(prefix, suffix, number);
    }
    // The clicked part is the reference from now on.
    m_ref.prefix = prefix;
    m_ref.suffix = suffix;
    m_ref.units = units;
    m_ref.unit = unit;
    m_ref.value = part->GetValName();
    m_ref.name = part->GetPartName();
    m_port.ShowStatusText(point);
}
