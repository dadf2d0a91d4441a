#include "app/RecentFileList.h"

#include "platform/Cp932.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

#include <algorithm>

CRecentFileList::CRecentFileList(std::string section, std::string entryFormat, int size, int displayLength)
    : m_section(std::move(section)), m_format(std::move(entryFormat)),
      m_nSize(std::clamp(size, 0, RECENT_LIST_MAX)), m_nDisplayLength(displayLength)
{
}

void CRecentFileList::ReadList()
{
    m_entries.clear();
    const platform::Profile& profile = platform::GetProfile();
    for (int i = 0; i < m_nSize; ++i) {
        std::string entry = profile.GetString(m_section, platform::Format(m_format.c_str(), i + 1));
        if (!entry.empty())
            m_entries.push_back(std::move(entry));
    }
}

void CRecentFileList::WriteList() const
{
    platform::Profile& profile = platform::GetProfile();
    for (int i = 0; i < RECENT_LIST_MAX; ++i) {
        const std::string key = platform::Format(m_format.c_str(), i + 1);
        if (i < GetCount() && i < m_nSize)
            profile.SetString(m_section, key, m_entries[static_cast<std::size_t>(i)]);
        else
            profile.DeleteKey(m_section, key);
    }
    profile.Flush();
}

void CRecentFileList::Add(const std::string& path)
{
    if (path.empty() || m_nSize == 0)
        return;
    std::erase_if(m_entries, [&](const std::string& e) { return platform::MbsICmp(e, path) == 0; });
    m_entries.insert(m_entries.begin(), path);
    if (GetCount() > m_nSize)
        m_entries.resize(static_cast<std::size_t>(m_nSize));
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < GetCount())
        m_entries.erase(m_entries.begin() + index);
}

void CRecentFileList::SetSize(int size)
{
    m_nSize = std::clamp(size, 0, RECENT_LIST_MAX);
    if (GetCount() > m_nSize)
        m_entries.resize(static_cast<std::size_t>(m_nSize));
}

std::string CRecentFileList::GetDisplayName(int index) const
{
    return ShortenPath(GetEntry(index), m_nDisplayLength);
}

std::string CRecentFileList::ShortenPath(const std::string& path, int maxLength)
{
    if (maxLength <= 0 || static_cast<int>(path.size()) <= maxLength)
        return path;
    // Keep the file name whole and as much of the path's start as fits: "/home/...\name.vbd".
    const std::size_t slash = platform::FindLastByte(path, '/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash);
    const std::string dots = "...";
    if (static_cast<int>(name.size() + dots.size()) >= maxLength)
        return name.substr(name.front() == '/' ? 1 : 0);
    std::string head;
    const std::size_t room = static_cast<std::size_t>(maxLength) - name.size() - dots.size();
    for (std::size_t pos = 0; pos < path.size();) {
        const std::size_t width = platform::CharAt(path, pos).width;
        if (head.size() + width > room)
            break;
        head.append(path, pos, width);
        pos += width;
    }
    return head + dots + name;
}

std::string RecentProjectMenuText(int index, const std::string& path, const std::string& workFolder)
{
    std::string name = path;
    std::string folder = workFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    if (!folder.empty() && name.size() > folder.size() &&
        platform::MbsICmp(name.substr(0, folder.size()), folder) == 0)
        name.erase(0, folder.size());
    if (name.size() >= 4 && platform::ToLowerAscii(name.substr(name.size() - 4)) == ".vpj")
        name.erase(name.size() - 4);
    std::string doubled;
    for (std::size_t pos = 0; pos < name.size();) {
        const std::size_t width = platform::CharAt(name, pos).width;
        if (width == 1 && name[pos] == '&')
            doubled += '&';
        doubled.append(name, pos, width);
        pos += width;
    }
    return platform::Format("&%d ", (index + 1) % 10) + doubled;
}
