#pragma once
// A recent-file list kept in the profile ("File1", "File2", ... of a section), newest first.

#include <string>
#include <vector>

constexpr int RECENT_LIST_MAX = 16;

class CRecentFileList
{
public:
    // `size` above 16 counts as 16; below 0 as 0.
    CRecentFileList(std::string section, std::string entryFormat, int size, int displayLength);

    void ReadList();
    void WriteList() const;
    // Puts the path first; an entry naming the same file (letter case aside) goes.
    void Add(const std::string& path);
    void Remove(int index);
    void Clear() { m_entries.clear(); }

    int GetSize() const { return m_nSize; }
    void SetSize(int size);
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const std::string& GetEntry(int index) const { return m_entries.at(static_cast<std::size_t>(index)); }
    // The entry shortened to the display length (folders in the middle become "...").
    std::string GetDisplayName(int index) const;

    static std::string ShortenPath(const std::string& path, int maxLength);

private:
    std::string m_section;
    std::string m_format;
    int m_nSize;
    int m_nDisplayLength;
    std::vector<std::string> m_entries;
};

// The text of recent project item `index` (0-based): "&%d " with (index + 1) modulo 10, then the
// path relative to `workFolder` when it lies inside it, every "&" doubled, ".vpj" dropped.
std::string RecentProjectMenuText(int index, const std::string& path, const std::string& workFolder);
