#pragma once
// A most-recent-first list of entered texts kept in the profile under a section and numbered
// keys ("%s%d" of the key prefix and the index), with an optional key for the text shown last.
// The history combo box mirrors `items`, `current` and `text`.

#include <string>
#include <vector>

class CHistoryList
{
public:
    explicit CHistoryList(bool allowSort = false) : m_allowSort(allowSort) {}

    // Reads the list and the remembered text. Null or empty arguments as the combo box takes them:
    // no section or prefix reads nothing. Gives the remembered text when it is kept, else the
    // last numbered item read.
    std::string Load(const char* section, const char* keyPrefix, bool saveLast = true,
                     const char* lastKey = nullptr);
    // Appends the names of a recent-file list; gives the text shown afterwards.
    std::string Load(const std::vector<std::string>* recent, bool selectFirst);
    // Writes the list (with the shown text added first when asked) and the remembered text.
    void Save(bool addCurrent);
    // Empties the list, and its profile keys when asked.
    void Clear(bool deleteFromProfile);
    // Puts a text at the top (an equal older entry, compared without case, goes); without a
    // section or prefix the text is only appended. The index of the added item.
    int Add(const std::string& text);
    void SetMaxItems(int count);
    int GetMaxItems() const { return m_maxItems; }
    // Adds the shown text, unless it is empty and onlyWhenNotEmpty is set.
    void StoreValue(bool onlyWhenNotEmpty);
    // The key of the remembered text.
    std::string RememberedKey() const;
    // Index of the item equal to text without regard to case, -1 when none.
    int FindExact(const std::string& text) const;

    std::vector<std::string> items;
    int current = -1;     // selected item, -1 for none
    std::string text;     // the text the box shows
    bool editable = true; // the box has an edit field

    // Highest numbered key looked at when keys are deleted.
    static constexpr int KeyLimit = 1000;

private:
    int Append(const std::string& item);
    void Select(int index);
    std::string Key(int index) const;

    std::string m_section;
    std::string m_keyPrefix;
    std::string m_lastKey;
    bool m_saveLast = true;
    int m_maxItems = 16;
    bool m_allowSort = false;
};
