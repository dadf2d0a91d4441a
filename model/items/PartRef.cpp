// Part item: the part name, reference and value texts, reference numbering and ordering, text
// search and properties.

#include "model/items/Line.h"
#include "model/items/Part.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"

#include <cstring>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool HasDigit(const std::string& s)
{
    for (char c : s)
        if (IsDigit(c))
            return true;
    return false;
}

// The split of a reference, with an empty reference counting as number 0 and no prefix or suffix
// (so that parts without a reference still have a place in the order).
struct RefSplit
{
    std::string prefix;
    std::string suffix;
    int number = 0;
};

RefSplit SplitOf(const CPart& part)
{
    RefSplit split;
    part.GetRefName(split.prefix, split.suffix, split.number);
    return split;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Setters

void CPart::SetPartName(const CText& text)
{
    m_PartName = text;
    m_PartName.SetParent(this);
    MarkDirty();
}

void CPart::SetRefName(const CText& text)
{
    m_RefName = text;
    m_RefName.SetParent(this);
    MarkDirty();
}

void CPart::SetValue(const CText& text)
{
    m_ValName = text;
    m_ValName.SetParent(this);
    MarkDirty();
}

void CPart::SetPartName(const char* name)
{
    m_PartName.SetParent(this);
    m_PartName.SetName(name ? name : "");
    m_PartName.ModifyType(0, TEXT_NOT_PRINTABLE);
    MarkDirty();
}

void CPart::SetRefName(const char* name)
{
    m_RefName.SetParent(this);
    m_RefName.SetName(name ? name : "");
    m_RefName.ModifyType(0, TEXT_NOT_PRINTABLE);
    // A part without a number cannot stay placed.
    if (m_RefName.GetName().find('?') != std::string::npos)
        m_nType &= ~PART_PLACED;
    MarkDirty();
}

void CPart::SetValue(const char* name)
{
    m_ValName.SetParent(this);
    m_ValName.SetName(name ? name : "");
    m_ValName.ModifyType(0, TEXT_NOT_PRINTABLE);
    MarkDirty();
}

// ---------------------------------------------------------------------------------------------
// Reference numbers

std::string CPart::GetRefNameA() const
{
    const std::string& ref = GetRefName();
    for (std::size_t i = ref.size(); i > 0; --i)
        if (IsDigit(ref[i - 1]))
            return ref.substr(0, i);
    return ref;
}

int CPart::GetRefName(std::string& prefix, std::string& suffix, int& number) const
{
    const std::string& ref = GetRefName();
    if (ref.empty())
        return 0;
    const std::size_t mark = ref.find('?');
    if (mark != std::string::npos) {
        prefix = ref.substr(0, mark);
        suffix = ref.substr(mark + 1);
        number = 0;
        return 1;
    }
    if (!HasDigit(ref)) {
        prefix = ref;
        suffix.clear();
        number = 0;
        return 1;
    }
    // Digits are single bytes that never occur inside a double-byte character, so the runs can be
    // found byte by byte from the end.
    std::size_t end = ref.size();
    while (end > 0 && !IsDigit(ref[end - 1]))
        --end;
    std::size_t begin = end;
    while (begin > 0 && IsDigit(ref[begin - 1]))
        --begin;
    prefix = ref.substr(0, begin);
    suffix = ref.substr(end);
    number = platform::Atoi(ref.substr(begin, end - begin));
    return 1;
}

int CPart::GetRefNo() const
{
    const std::string& ref = GetRefName();
    if (ref.empty() || ref.find('?') != std::string::npos)
        return -1;
    std::string prefix, suffix;
    int number = 0;
    GetRefName(prefix, suffix, number);
    return number;
}

bool CPart::RefCheck() const
{
    const std::string& ref = GetRefName();
    if (ref.find('?') != std::string::npos || !HasDigit(ref))
        return false;
    std::string prefix, suffix;
    int number = 0;
    GetRefName(prefix, suffix, number);
    return !prefix.empty() || !suffix.empty();
}

void CPart::SetRefNo(int number, int force)
{
    const std::string& ref = GetRefName();
    if (ref.empty())
        return;
    std::string prefix, suffix;
    int current = 0;
    GetRefName(prefix, suffix, current);
    if (number == 0) {
        SetRefName((prefix + "?" + suffix).c_str());
        m_nType &= ~PART_PLACED;
        return;
    }
    if (ref.find('?') != std::string::npos || force)
        SetRefName((prefix + platform::Format("%d", number) + suffix).c_str());
}

void CPart::IncRefName(int step)
{
    int n = GetRefNo();
    n = n < 0 ? step : n + step;
    if (n > 0)
        SetRefNo(n, 1);
    else
        SetRefNo(0, 0);
    MarkDirty();
}

int CPart::SetPlaced(int placed)
{
    if (placed) {
        if (GetRefNo() < 0)
            return 0;
        m_nType |= PART_PLACED;
    } else {
        m_nType &= ~PART_PLACED;
    }
    MarkDirty();
    return 1;
}

int CPart::CompareRef(const CPart* other) const
{
    const RefSplit mine = SplitOf(*this);
    const RefSplit theirs = SplitOf(*other);
    if (int c = platform::MbsICmp(mine.prefix, theirs.prefix))
        return c;
    if (mine.number != theirs.number)
        return mine.number < theirs.number ? -1 : 1;
    return platform::MbsICmp(mine.suffix, theirs.suffix);
}

int CPart::CompareRef(const std::string& prefix, const std::string& suffix, int number) const
{
    const RefSplit mine = SplitOf(*this);
    if (int c = platform::MbsICmp(prefix, mine.prefix))
        return c;
    if (number != mine.number)
        return number < mine.number ? -1 : 1;
    return platform::MbsICmp(suffix, mine.suffix);
}

// ---------------------------------------------------------------------------------------------
// Search and properties

std::string CPart::FindString(const char* key) const
{
    const std::string k = key ? key : "";
    for (const CItemBase* item : m_Texts) {
        const std::string& s = static_cast<const CText*>(item)->GetName();
        if (s.find(k) != std::string::npos)
            return s.substr(k.size());
    }
    return std::string();
}

std::string CPart::GetProperty(const char* name) const
{
    if (!name || !*name)
        return std::string();
    for (const CItemBase* item : m_Texts) {
        const CText* text = static_cast<const CText*>(item);
        if (text->IsPropaty() && platform::MbsICmp(text->GetPropatyName(), name) == 0)
            return text->GetPropatyVal();
    }
    return std::string();
}

bool CPart::Find(CDPoint& point, const std::string& text, int matchCase, int whole, int hidden, int mask)
{
    bool found = false;
    if ((mask & 1) && m_PartName.Find(point, text, matchCase, whole, hidden))
        found = true;
    if ((mask & 2) && m_RefName.Find(point, text, matchCase, whole, hidden))
        found = true;
    if ((mask & 4) && m_ValName.Find(point, text, matchCase, whole, hidden))
        found = true;
    if (found)
        return true;
    if (mask & 0x20)
        for (CItemBase* item : m_Texts)
            if (static_cast<CText*>(item)->Find(point, text, matchCase, whole, hidden))
                return true;
    if (mask & 0x100)
        for (CItemBase* item : m_Lines)
            if (static_cast<CLine*>(item)->GetNameText()->Find(point, text, matchCase, whole, hidden))
                return true;
    return false;
}

void CPart::SetDisp(int name, int ref, int value)
{
    auto apply = [](CText& text, int show) {
        if (text.GetName().empty())
            text.Disp(1);
        else if (show != 2)
            text.Disp(show);
    };
    apply(m_PartName, name);
    apply(m_RefName, ref);
    apply(m_ValName, value);
    if (m_PartName.IsDisp())
        return;
    // A part must keep something to be seen and picked by: with nothing else left, its name.
    MarkDirty();
    if (!GetBoundingRect().IsRectNull())
        return;
    m_PartName.Disp(1);
    SetBoundingRect(m_PartName.GetBoundingRect());
    CopyAreaRect();
    m_bDirty = false;
}
