#include "model/input/HistoryList.h"

#include "platform/Cp932.h"
#include "platform/Profile.h"

#include <algorithm>

namespace {

std::string Trim(const std::string& text)
{
    const char* blanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace

std::string CHistoryList::Key(int index) const
{
    return m_keyPrefix + std::to_string(index);
}

std::string CHistoryList::RememberedKey() const
{
    if (!m_lastKey.empty())
        return m_lastKey;
    if (!m_keyPrefix.empty())
        return m_keyPrefix;
    return "Last";
}

int CHistoryList::FindExact(const std::string& value) const
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (platform::MbsICmp(items[i], value) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int CHistoryList::Append(const std::string& item)
{
    std::size_t at = items.size();
    if (m_allowSort) {
        at = 0;
        while (at < items.size() && platform::MbsICmp(items[at], item) <= 0)
            ++at;
    }
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), item);
    if (current >= static_cast<int>(at))
        ++current;
    return static_cast<int>(at);
}

void CHistoryList::Select(int index)
{
    current = index;
    if (index >= 0 && index < static_cast<int>(items.size()))
        text = items[static_cast<std::size_t>(index)];
}

std::string CHistoryList::Load(const char* section, const char* keyPrefix, bool saveLast, const char* lastKey)
{
    if (!section || !keyPrefix || !*section)
        return std::string();
    m_section = section;
    m_keyPrefix = keyPrefix;
    m_lastKey = lastKey ? lastKey : "";
    m_saveLast = saveLast;

    const platform::Profile& profile = platform::GetProfile();
    std::string last;
    for (int i = 0; i < m_maxItems; ++i) {
        const std::string item = profile.GetString(m_section, Key(i));
        if (item.empty())
            break;
        Append(item);
        last = item;
    }
    if (!m_saveLast)
        return last;
    const std::string remembered = profile.GetString(m_section, RememberedKey());
    if (!remembered.empty()) {
        const int found = FindExact(remembered);
        if (found >= 0)
            Select(found);
        else if (editable)
            text = remembered;
    }
    return remembered;
}

std::string CHistoryList::Load(const std::vector<std::string>* recent, bool selectFirst)
{
    if (!recent)
        return std::string();
    for (const std::string& name : *recent)
        Append(name);
    if (selectFirst && !items.empty())
        Select(0);
    return text;
}

int CHistoryList::Add(const std::string& value)
{
    if (m_section.empty() || m_keyPrefix.empty())
        return Append(value);
    const std::string trimmed = Trim(value);
    items.insert(items.begin(), trimmed);
    // The older equal entry, searched after the new one and then round from the start.
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (platform::MbsICmp(items[i], trimmed) == 0) {
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    SetMaxItems(m_maxItems);
    Select(0);
    return 0;
}

void CHistoryList::SetMaxItems(int count)
{
    m_maxItems = count < 0 ? 0 : count;
    if (items.size() > static_cast<std::size_t>(m_maxItems))
        items.resize(static_cast<std::size_t>(m_maxItems));
    if (current >= static_cast<int>(items.size()))
        current = -1;
}

void CHistoryList::StoreValue(bool onlyWhenNotEmpty)
{
    if (onlyWhenNotEmpty && text.empty())
        return;
    Add(text);
}

void CHistoryList::Save(bool addCurrent)
{
    if (m_section.empty())
        return;
    if (addCurrent) {
        const std::string trimmed = Trim(text);
        if (!trimmed.empty())
            Add(trimmed);
    }
    platform::Profile& profile = platform::GetProfile();
    const int n = std::min(static_cast<int>(items.size()), m_maxItems + 1);
    for (int i = 0; i < n; ++i)
        profile.SetString(m_section, Key(i), items[static_cast<std::size_t>(i)]);
    // Keys left from a longer list, up to the first gap.
    for (int i = n; i < KeyLimit; ++i) {
        if (profile.GetString(m_section, Key(i)).empty())
            break;
        profile.DeleteKey(m_section, Key(i));
    }
    if (m_saveLast)
        profile.SetString(m_section, RememberedKey(), text);
}

void CHistoryList::Clear(bool deleteFromProfile)
{
    items.clear();
    current = -1;
    if (m_section.empty() || !deleteFromProfile)
        return;
    platform::Profile& profile = platform::GetProfile();
    for (int i = 0; i < KeyLimit; ++i) {
        if (profile.GetString(m_section, Key(i)).empty())
            break;
        profile.DeleteKey(m_section, Key(i));
    }
    profile.DeleteKey(m_section, RememberedKey());
}
