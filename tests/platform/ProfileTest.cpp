#include "platform/Profile.h"
#include "platform/J.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace platform;

TEST(MemoryProfile, AbsentKeysGiveDefaults)
{
    MemoryProfile p;
    EXPECT_EQ(p.GetInt("FileSave", "UndoCount", 100), 100);
    EXPECT_EQ(p.GetString("Default", "FontE", "Arial"), "Arial");
    EXPECT_EQ(p.GetString("Default", "FontE"), "");
    std::vector<std::uint8_t> bytes{1, 2};
    EXPECT_FALSE(p.GetBinary("Settings", "Window", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(p.HasKey("FileSave", "UndoCount"));
}

TEST(MemoryProfile, ValuesRoundTrip)
{
    MemoryProfile p;
    const std::string japanese = _J("ＭＳ ゴシック");
    const std::vector<std::uint8_t> bytes{0, 0xFF, 0x5C, 0x80};
    p.SetInt("FileSave", "UndoCount", -5);
    p.SetString("Default", "FontJ", japanese);
    p.SetBinary("Settings", "Window", bytes);

    EXPECT_EQ(p.GetInt("FileSave", "UndoCount", 100), -5);
    EXPECT_EQ(p.GetString("Default", "FontJ"), japanese);
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(p.GetBinary("Settings", "Window", out));
    EXPECT_EQ(out, bytes);
    p.SetBinary("Settings", "Empty", {});
    EXPECT_TRUE(p.GetBinary("Settings", "Empty", out));
    EXPECT_TRUE(out.empty());
}

TEST(MemoryProfile, ReadingAsAnotherType)
{
    MemoryProfile p;
    p.SetInt("S", "int", 42);
    p.SetString("S", "number", " -7 ");
    p.SetString("S", "plus", "+12");
    p.SetString("S", "text", "12abc");
    p.SetBinary("S", "bytes", {'1'});

    EXPECT_EQ(p.GetString("S", "int", "d"), "42");
    EXPECT_EQ(p.GetInt("S", "number", 1), -7);
    EXPECT_EQ(p.GetInt("S", "plus", 1), 12);
    EXPECT_EQ(p.GetInt("S", "text", 1), 1);
    EXPECT_EQ(p.GetInt("S", "bytes", 1), 1);
    EXPECT_EQ(p.GetString("S", "bytes", "d"), "d");
    std::vector<std::uint8_t> out;
    EXPECT_FALSE(p.GetBinary("S", "int", out));
    EXPECT_FALSE(p.GetBinary("S", "number", out));
}

TEST(MemoryProfile, ParseProfileIntTable)
{
    struct Case
    {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"  15\t", true, 15},
        {"+3", true, 3},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483647", true, 2147483647},
        {"2147483648", false, 0},
        {"", false, 0},
        {"  ", false, 0},
        {"1 2", false, 0},
        {"0x10", false, 0},
        {"+-1", false, 0},
    };
    for (const Case& c : cases) {
        int v = -99;
        EXPECT_EQ(ParseProfileInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(MemoryProfile, NestedSectionsAndDeletion)
{
    MemoryProfile p;
    p.SetInt("Recent", "Count", 2);
    p.SetString("Recent\\Files", "File1", "a.vbd");
    p.SetString("Recent\\Files\\Old", "File1", "b.vbd");
    p.SetInt("RecentX", "Keep", 1);

    // The same section however its separators are written.
    EXPECT_EQ(p.GetString("Recent\\Files\\", "File1"), "a.vbd");
    EXPECT_EQ(p.GetString("\\Recent\\\\Files", "File1"), "a.vbd");

    // The keys of a section are its own, not those of nested sections.
    p.SetInt("Recent", "Alpha", 0);
    EXPECT_EQ(p.GetKeys("Recent"), (std::vector<std::string>{"Alpha", "Count"}));
    EXPECT_TRUE(p.GetKeys("Nothing").empty());

    p.DeleteKey("Recent", "Alpha");
    p.DeleteKey("Recent", "Absent");
    EXPECT_FALSE(p.HasKey("Recent", "Alpha"));
    EXPECT_TRUE(p.HasKey("Recent", "Count"));

    // Deleting a section takes what is nested in it, and only that.
    p.DeleteSection("Recent");
    EXPECT_FALSE(p.HasKey("Recent", "Count"));
    EXPECT_FALSE(p.HasKey("Recent\\Files", "File1"));
    EXPECT_FALSE(p.HasKey("Recent\\Files\\Old", "File1"));
    EXPECT_TRUE(p.HasKey("RecentX", "Keep"));
    p.DeleteSection("");
    EXPECT_TRUE(p.HasKey("RecentX", "Keep"));
}

TEST(MemoryProfile, SectionSplitKeepsDoubleByteCharacters)
{
    // "ソ" ends in the byte 0x5C, which must not split the section.
    const std::string so = _J("ソ");
    ASSERT_EQ(so.size(), 2u);
    ASSERT_EQ(so[1], '\\');
    EXPECT_EQ(SplitSection(so + "\\B"), (std::vector<std::string>{so, "B"}));
    EXPECT_EQ(SplitSection("A\\\\B\\"), (std::vector<std::string>{"A", "B"}));

    MemoryProfile p;
    p.SetInt(so, "k", 1);
    EXPECT_EQ(p.GetInt(so, "k", 0), 1);
    EXPECT_EQ(p.GetKeys(so), std::vector<std::string>{"k"});
}

TEST(ProfileAccessor, DefaultIsInMemoryAndInstalledOneWins)
{
    Profile& fallback = GetProfile();
    fallback.SetInt("ProfileAccessorTest", "k", 1);

    MemoryProfile mine;
    SetProfile(&mine);
    EXPECT_EQ(&GetProfile(), &mine);
    EXPECT_EQ(GetProfile().GetInt("ProfileAccessorTest", "k", 0), 0);

    SetProfile(nullptr);
    EXPECT_EQ(&GetProfile(), &fallback);
    EXPECT_EQ(GetProfile().GetInt("ProfileAccessorTest", "k", 0), 1);
    fallback.DeleteSection("ProfileAccessorTest");
}
