#include "model/input/HistoryList.h"

#include "platform/Profile.h"

#include <gtest/gtest.h>

namespace {

class HistoryListTest : public ::testing::Test
{
protected:
    void SetUp() override { platform::SetProfile(&profile); }
    void TearDown() override { platform::SetProfile(nullptr); }
    std::string Get(const std::string& key) const { return profile.GetString("Hist", key); }

    platform::MemoryProfile profile;
};

TEST_F(HistoryListTest, AddingMovesAnEqualEntryUpWithoutCase)
{
    CHistoryList list;
    list.Load("Hist", "P");
    list.Add("ABC");
    list.Add("def");
    EXPECT_EQ(list.Add("  abc "), 0);
    EXPECT_EQ(list.items, (std::vector<std::string>{"abc", "def"}));
    EXPECT_EQ(list.current, 0);
    EXPECT_EQ(list.text, "abc");
    // Double-byte characters compare whole: a trail byte is never folded.
    list.Add("\x83\x41");
    list.Add("\x83\x61");
    EXPECT_EQ(list.items.size(), 4u);

    for (int i = 0; i < 17; ++i)
        list.Add("item" + std::to_string(i));
    ASSERT_EQ(list.items.size(), 16u);
    EXPECT_EQ(list.items.front(), "item16");
    EXPECT_EQ(list.items.back(), "item1");
    list.SetMaxItems(3);
    EXPECT_EQ(list.items, (std::vector<std::string>{"item16", "item15", "item14"}));
}

TEST_F(HistoryListTest, SaveWritesNumberedKeysAndDeletesUpToTheFirstGap)
{
    for (int i = 0; i < 6; ++i)
        profile.SetString("Hist", "P" + std::to_string(i), "old" + std::to_string(i));
    profile.SetString("Hist", "P7", "beyond the gap");
    CHistoryList list;
    EXPECT_EQ(list.Load("Hist", "P", true, "Now"), "");
    EXPECT_EQ(list.items.size(), 6u);
    list.SetMaxItems(2);
    list.text = "new";
    list.Save(true);
    EXPECT_EQ(Get("P0"), "new");
    EXPECT_EQ(Get("P1"), "old0");
    for (const char* gone : {"P2", "P3", "P4", "P5"})
        EXPECT_FALSE(profile.HasKey("Hist", gone)) << gone;
    EXPECT_EQ(Get("P7"), "beyond the gap");
    EXPECT_EQ(Get("Now"), "new");

    list.Clear(true);
    EXPECT_TRUE(list.items.empty());
    EXPECT_FALSE(profile.HasKey("Hist", "P0"));
    EXPECT_FALSE(profile.HasKey("Hist", "Now"));
    EXPECT_EQ(Get("P7"), "beyond the gap");
}

TEST_F(HistoryListTest, RememberedTextAndItsKey)
{
    struct Row
    {
        const char* prefix;
        const char* lastKey;
        const char* key;
    };
    const Row rows[] = {{"P", "Now", "Now"}, {"P", nullptr, "P"}, {"P", "", "P"}, {"", nullptr, "Last"}};
    for (const Row& row : rows) {
        CHistoryList list;
        list.Load("Hist", row.prefix, true, row.lastKey);
        EXPECT_EQ(list.RememberedKey(), row.key);
    }

    // An empty prefix keeps the items under "0", "1", ... and the text under "Last".
    CHistoryList plain;
    plain.Load("Hist", "");
    plain.Add("a");
    plain.Add("b");
    plain.text = "b";
    plain.Save(false);
    EXPECT_EQ(Get("0"), "a");
    EXPECT_EQ(Get("1"), "b");
    EXPECT_EQ(Get("Last"), "b");

    profile.SetString("Hist", "P0", "Alpha");
    profile.SetString("Hist", "P", "ALPHA");
    CHistoryList found;
    EXPECT_EQ(found.Load("Hist", "P"), "ALPHA");
    EXPECT_EQ(found.current, 0);
    EXPECT_EQ(found.text, "Alpha");

    profile.SetString("Hist", "P", "gone");
    CHistoryList shown;
    shown.Load("Hist", "P");
    EXPECT_EQ(shown.current, -1);
    EXPECT_EQ(shown.text, "gone");
    CHistoryList listOnly;
    listOnly.editable = false;
    listOnly.Load("Hist", "P");
    EXPECT_EQ(listOnly.text, "");

    CHistoryList noLast;
    EXPECT_EQ(noLast.Load("Hist", "P", false), "Alpha");
    EXPECT_EQ(noLast.text, "");
}

TEST_F(HistoryListTest, JunkAndMissingArgumentsAreHarmless)
{
    CHistoryList none;
    EXPECT_EQ(none.Load(nullptr, "P"), "");
    EXPECT_EQ(none.Load("Hist", nullptr), "");
    EXPECT_EQ(none.Load("", "P"), "");
    none.text = "x";
    none.Save(true); // no section: nothing written
    EXPECT_TRUE(profile.GetKeys("Hist").empty());
    EXPECT_EQ(none.Add("b"), 0);
    EXPECT_EQ(none.Add("a"), 1); // appended, not moved up

    for (int i = 0; i < 1200; ++i)
        profile.SetString("Hist", "P" + std::to_string(i), "v");
    profile.SetInt("Hist", "P3", 42);
    CHistoryList many;
    many.Load("Hist", "P");
    EXPECT_EQ(many.items.size(), 16u);
    EXPECT_EQ(many.items[3], "42");
    many.Clear(true);
    EXPECT_FALSE(profile.HasKey("Hist", "P999"));
    EXPECT_TRUE(profile.HasKey("Hist", "P1000"));

    CHistoryList sorted(true);
    sorted.Load(nullptr, true);
    const std::vector<std::string> recent{"b", "", "A"};
    EXPECT_EQ(sorted.Load(&recent, true), "");
    EXPECT_EQ(sorted.items, (std::vector<std::string>{"", "A", "b"}));
    CHistoryList inOrder;
    EXPECT_EQ(inOrder.Load(&recent, true), "b");
    EXPECT_EQ(inOrder.items, recent);

    CHistoryList store;
    store.Load("Other", "K");
    store.StoreValue(true);
    EXPECT_TRUE(store.items.empty());
    store.StoreValue(false);
    EXPECT_EQ(store.items.size(), 1u);
}

} // namespace
