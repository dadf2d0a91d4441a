#pragma once
// Groups the rows of a grid under caption rows that the user expands and collapses. The manager
// keeps the group table (filled by the owner's callback) and rebuilds the grid's rows from it.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// One row of a grid: the owner's data word, or a group caption row.
struct GfxListRow
{
    std::intptr_t data = 0;
    int group = -1; // index of the group of a caption row, -1 for an item row
    // Texts stored into cells by accepted edits (column id, CP932 text); empty = the owner's text.
    std::vector<std::pair<int, std::string>> texts;
};

struct GfxCategoryGroup
{
    std::string name; // CP932
    std::vector<std::intptr_t> items;
    bool expanded = true;
};

class CGfxCategoryManager
{
public:
    // Files the item with this data word into a group of m_groups (creating the group when needed).
    using FillFn = std::function<void(CGfxCategoryManager& manager, std::intptr_t& data)>;
    // Files every item 0 .. count-1 at once.
    using FillAllFn = std::function<void(CGfxCategoryManager& manager)>;

    virtual ~CGfxCategoryManager() = default;

    // "Categoria: <name> (<n> elemento|elementi)".
    static std::string Caption(const GfxCategoryGroup& group);

    // Collects the item rows, has the owner file them, then Rebuild.
    void Build(std::vector<GfxListRow>& rows);
    // The group rows, each followed by its items while expanded.
    void Rebuild(std::vector<GfxListRow>& rows) const;
    // The plain item rows back; every group's count becomes 0.
    void RemoveGroups(std::vector<GfxListRow>& rows);
    // The group of a caption row, -1 for an item row or a row out of range.
    int FindGroup(const std::vector<GfxListRow>& rows, int row) const;
    // Inserts the group's items after its caption row / removes them up to the next caption row.
    void Expand(int group, int row, std::vector<GfxListRow>& rows) const;
    void Collapse(int group, int row, std::vector<GfxListRow>& rows) const;
    // Expands or collapses the group of a caption row and flips its flag; false for an item row.
    bool Toggle(int row, std::vector<GfxListRow>& rows);
    // Files a new item and shows it; returns the row of the item inserted, -1 when none was.
    int InsertItem(std::vector<GfxListRow>& rows, std::intptr_t data);

    FillFn m_pfnFill;
    FillAllFn m_pfnFillRecordset;
    std::vector<GfxCategoryGroup> m_groups;
    std::vector<std::intptr_t> m_items;
};
