#include "controls/GfxCategoryManager.h"
#include "controls/GfxColumnManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CGfxColumnManager TypicalColumns()
{
    CGfxColumnManager m;
    m.AddColumn(0, "", "", LVCFMT_LEFT, 0, 0x180);
    m.AddColumn(1, "No", "", LVCFMT_RIGHT, 40, 0x0A8);
    m.AddColumn(2, "Name", "", LVCFMT_LEFT, 80, 0x004);
    m.AddColumn(3, "Kind", "", LVCFMT_LEFT, 60, 0x001);
    m.AddColumn(4, "", "", LVCFMT_CENTER, 16, 0x350, 7);
    m.AddColumn(37, "Size", "", LVCFMT_RIGHT, 50, 0x0B0 | 0x002);
    return m;
}

TEST(GfxColumnManager, DerivesMasksFromFlags)
{
    CGfxColumnManager m = TypicalColumns();
    const int order[] = {0, 1, 2, 3, 4, 37};
    ASSERT_TRUE(m.SetColumnOrder(6, order));
    const GfxColumnLayout layout = m.BuildLayout();
    ASSERT_EQ(layout.columns.size(), 6u);
    const GfxColumnMasks& k = layout.masks;
    EXPECT_EQ(k.textEdit, 1u << 2);
    EXPECT_EQ(k.dropList, 1u << 3);
    EXPECT_EQ(k.dropEdit, 1u << 5); // id 37 shares bit 5
    EXPECT_EQ(k.intSort, 1u << 1);
    EXPECT_EQ(k.realSort, (1u << 4) | (1u << 5));
    EXPECT_EQ(k.image, 1u << 4);
    EXPECT_EQ(k.sortState, (1u << 1) | (1u << 5));
    EXPECT_EQ(k.noMark, (1u << 0) | (1u << 1) | (1u << 5));
    EXPECT_EQ(k.fixedWidth, (1u << 0) | (1u << 4));
    EXPECT_EQ(layout.columns[4].caption, "7__");
    EXPECT_EQ(layout.columns[5].id, 37);
}

TEST(GfxColumnManager, OrderSkipsUndefinedIdsAndEmptyOrderGivesNoColumns)
{
    CGfxColumnManager m = TypicalColumns();
    const int order[] = {3, 99, 1};
    m.SetColumnOrder(3, order);
    const GfxColumnLayout layout = m.BuildLayout();
    ASSERT_EQ(layout.columns.size(), 2u);
    EXPECT_EQ(layout.columns[0].id, 3);
    EXPECT_EQ(layout.columns[1].id, 1);

    EXPECT_FALSE(m.SetColumnOrder(0, order));
    EXPECT_TRUE(m.GetOrder().empty());
    EXPECT_TRUE(m.BuildLayout().columns.empty());
    EXPECT_EQ(m.FindColumn(99), -1);
    EXPECT_EQ(m.FindColumn(37), 5);
}

TEST(GfxColumnManager, ReadsLayoutBack)
{
    CGfxColumnManager m = TypicalColumns();
    const int order[] = {0, 1, 2};
    m.SetColumnOrder(3, order);
    m.ReadLayout({{0, 0}, {2, 120}, {1, 33}, {55, 10}});
    EXPECT_EQ(m.GetOrder(), (std::vector<int>{0, 2, 1, 55}));
    EXPECT_EQ(m.GetColumns()[2].width, 120);
    EXPECT_EQ(m.GetColumns()[1].width, 33);
}

// Files every item into group "even" or "odd" by its data word.
void FileByParity(CGfxCategoryManager& m, std::intptr_t& data)
{
    const std::string name = data % 2 ? "odd" : "even";
    auto it = std::find_if(m.m_groups.begin(), m.m_groups.end(),
                           [&](const GfxCategoryGroup& g) { return g.name == name; });
    if (it == m.m_groups.end()) {
        m.m_groups.push_back(GfxCategoryGroup{name, {}, true});
        it = m.m_groups.end() - 1;
    }
    it->items.push_back(data);
}

std::vector<GfxListRow> PlainRows(int n)
{
    std::vector<GfxListRow> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(GfxListRow{i, -1, {}});
    return rows;
}

// Rows as "G<group>" and item data words.
std::string Describe(const std::vector<GfxListRow>& rows)
{
    std::string s;
    for (const GfxListRow& r : rows)
        s += (r.group >= 0 ? "G" + std::to_string(r.group) : std::to_string(r.data)) + " ";
    return s;
}

TEST(GfxCategoryManager, CaptionCountsElements)
{
    const struct
    {
        int count;
        const char* caption;
    } cases[] = {
        {0, "Categoria: X (0 elementi)"}, {1, "Categoria: X (1 elemento)"}, {2, "Categoria: X (2 elementi)"}};
    for (const auto& c : cases) {
        GfxCategoryGroup g{"X", std::vector<std::intptr_t>(static_cast<std::size_t>(c.count)), true};
        EXPECT_EQ(CGfxCategoryManager::Caption(g), c.caption);
    }
}

TEST(GfxCategoryManager, BuildsTogglesAndRemovesGroups)
{
    CGfxCategoryManager m;
    m.m_pfnFill = FileByParity;
    std::vector<GfxListRow> rows = PlainRows(5);
    m.Build(rows);
    EXPECT_EQ(Describe(rows), "G0 0 2 4 G1 1 3 ");
    EXPECT_EQ(m.FindGroup(rows, 4), 1);
    EXPECT_EQ(m.FindGroup(rows, 1), -1);

    EXPECT_TRUE(m.Toggle(0, rows));
    EXPECT_EQ(Describe(rows), "G0 G1 1 3 ");
    EXPECT_FALSE(m.m_groups[0].expanded);
    EXPECT_FALSE(m.Toggle(2, rows)); // item rows do not toggle
    EXPECT_TRUE(m.Toggle(0, rows));
    EXPECT_EQ(Describe(rows), "G0 0 2 4 G1 1 3 ");

    m.RemoveGroups(rows);
    EXPECT_EQ(Describe(rows), "0 1 2 3 4 "); // the collected items in their order
    EXPECT_TRUE(m.m_groups[0].items.empty());
}

TEST(GfxCategoryManager, InsertItemShowsItUnderItsGroup)
{
    CGfxCategoryManager m;
    m.m_pfnFill = [](CGfxCategoryManager& mm, std::intptr_t& data) {
        if (data < 10)
            FileByParity(mm, data);
        else {
            mm.m_groups.push_back(GfxCategoryGroup{"big", {data}, true});
        }
    };
    std::vector<GfxListRow> rows = PlainRows(2);
    m.Build(rows);
    EXPECT_EQ(m.InsertItem(rows, 6), 1);
    EXPECT_EQ(Describe(rows), "G0 6 0 G1 1 ");
    EXPECT_EQ(m.InsertItem(rows, 12), -1); // a new group gets its caption row at the end
    EXPECT_EQ(Describe(rows), "G0 6 0 G1 1 G2 ");
    m.m_groups[1].expanded = false;
    EXPECT_EQ(m.InsertItem(rows, 3), -1);
    EXPECT_EQ(m.m_groups[1].items.size(), 2u);
}

} // namespace
