#include "document/BoardSettingFile.h"
#include "platform/J.h"
#include "tests/document/SettingsFixture.h"

#include <sys/stat.h>

namespace {

class BoardSettingFileTest : public SettingsFixture
{
protected:
    // Reads `label` from a board file holding `text`; the entries, or none when the read failed.
    std::vector<std::string> Read(const std::string& text, const std::string& label = "SEC")
    {
        WriteFile(Board(), text);
        file.SetPath(Board());
        file.SetLabel(label);
        std::vector<std::string> entries;
        if (!file.ReadSection())
            return {"<false>"};
        for (int i = 0; i < file.GetEntryCount(); ++i)
            entries.push_back(file.GetEntry(i));
        return entries;
    }

    CBoardSettingFile file;
};

struct LexCase
{
    const char* name;
    std::string text;
    std::vector<std::string> entries;
};

TEST_F(BoardSettingFileTest, LexerRules)
{
    const std::string sj = "\x83\x5C";    // a double-byte character whose trail byte is '\\'
    const std::string brace = "\x83\x7D"; // one whose trail byte is '}'
    const LexCase cases[] = {
        {"plain", "[SEC]\r\n{\r\n1:C:0.2;\r\n}\r\n", {"1:C:0.2"}},
        {"blanks dropped", "[SEC]\n{\n 1 : C :\t0.2 ;\n}\n", {"1:C:0.2"}},
        {"quoted blanks kept", "[SEC]\n{\n1 : \" a b \" ;\n}\n", {"1:\" a b \""}},
        {"entry over two lines", "[SEC]\n{\n1:C:\n0.2;\n}\n", {"1:C:0.2"}},
        {"comment hides ;", "[SEC]\n{\n1:C:0.2 # note;\n3;\n}\n", {"1:C:0.23"}},
        {"quoted # kept", "[SEC]\n{\n\"a#b\";\n}\n", {"\"a#b\""}},
        {"two entries on a line read as one", "[SEC]\n{\na;b;\n}\n", {"a;b"}},
        {"trailing ;s cut", "[SEC]\n{\na;;;\n}\n", {"a"}},
        {"text before } counts", "[SEC]\n{\na;\nb;}\n", {"a", "b"}},
        {"unfinished entry at } dropped", "[SEC]\n{\na;\nb}\n", {"a"}},
        {"lower-case label", "[sec]\n{\na;\n}\n", {"a"}},
        {"label with blanks", "  [ SEC ]  \n{ ignored\na;\n}\n", {"a"}},
        {"first of two copies", "[SEC]\n{\na;\n}\n[SEC]\n{\nb;\n}\n", {"a"}},
        {"CR only", "[SEC]\r{\ra;\r}\r", {"a"}},
        {"backslash-quote does not open", "[SEC]\n{\nx\\\" y # c;\nz;\n}\n", {"x\\\"yz"}},
        {"trail byte 0x5C before quote", "[SEC]\n{\n\"" + sj + "\" a ;\n}\n", {"\"" + sj + "\"a"}},
        {"trail byte 0x7D does not end",
         "[SEC]\n{\n" + brace + ";\n" + brace + "\nb;\n}\n",
         {brace, brace + "b"}},
    };
    for (const LexCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.text), c.entries);
        EXPECT_EQ(messages.Count(), 0u);
        messages.Clear();
    }
}

struct SplitCase
{
    std::string entry;
    std::vector<std::string> fields;
};

TEST_F(BoardSettingFileTest, SplitEntry)
{
    const SplitCase cases[] = {
        {"A:\"x:y\":", {"A", "x:y", ""}},
        {"A::B", {"A", "", "B"}},
        {"A:", {"A", ""}},
        {"A", {"A"}},
        {"\"a b\"", {"a b"}},
        {":", {"", ""}},
        {"\"#\":\":\"", {"#", ":"}},
        {"1:\"open", {"1", "open"}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.entry);
        std::vector<std::string> fields{"stale"};
        EXPECT_EQ(CBoardSettingFile::SplitText(c.entry, fields), static_cast<int>(c.fields.size()));
        EXPECT_EQ(fields, c.fields);
    }
}

TEST_F(BoardSettingFileTest, NormalizeLayerList)
{
    const std::pair<std::string, std::string> cases[] = {
        {"5,200,0,12", "  5, 12"}, {"", ""}, {"x,-1,129", ""}, {"1,128", "  1,128"}, {"7", "  7"}};
    for (auto [in, out] : cases) {
        std::string list = in;
        CBoardSettingFile::NormalizeLayerList(list);
        EXPECT_EQ(list, out) << in;
    }
}

struct BadBlockCase
{
    const char* name;
    std::string text;
    std::vector<std::string> messages;
};

TEST_F(BoardSettingFileTest, MalformedBlocksFallBackToTheMaster)
{
    WriteFile(Master(), Section("SEC", "m;\r\n"));
    const std::string missing = _J("基板設定ファイルにラベル[SEC]が見つかりません");
    const BadBlockCase cases[] = {
        {"missing", "[OTHER]\n{\na;\n}\n", {missing}},
        {"empty", "[SEC]\n{\n}\n", {missing}},
        {"no brace", "[SEC]\na;\n}\n", {_J("基板設定ファイル[SEC]が異常です"), missing}},
        {"end of file in block", "[SEC]\n{\na;\n", {_J("SEC 基板設定ファイルが異常です"), missing}},
        {"label at the end", "[SEC]", {_J("基板設定ファイル[SEC]が異常です"), missing}},
    };
    for (const BadBlockCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.text), std::vector<std::string>{"m"});
        EXPECT_EQ(messages.Texts(), c.messages);
        EXPECT_EQ(file.GetPath(), Board());
        messages.Clear();
    }
}

TEST_F(BoardSettingFileTest, MasterWithoutTheSectionIsReportedBroken)
{
    WriteFile(Master(), Section("OTHER", "m;\r\n"));
    EXPECT_EQ(Read("[X]\n"), std::vector<std::string>{"<false>"});
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{_J("基板設定ファイルにラベル[SEC]が見つかりません"),
                                        _J("基板設定ファイルにラベル[SEC]が見つかりません"),
                                        _J("マスターの基板設定ファイルが壊れているか古いです")}));
    EXPECT_EQ(file.GetPath(), Board());
}

TEST_F(BoardSettingFileTest, UnreadableFilesAreReported)
{
    file.SetPath(Board()); // not written
    file.SetLabel("SEC");
    EXPECT_FALSE(file.ReadSection());
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text.rfind(_J("ファイルが開けません "), 0), 0u);

    messages.Clear();
    WriteFile(Board(), "[SEC]\n{\na;\n}\n"); // the master is missing
    file.SetLabel("OTHER");
    EXPECT_FALSE(file.ReadSection());
    EXPECT_EQ(messages.Count(), 2u);
    EXPECT_EQ(messages.Last().text.rfind(_J("ファイルが開けません "), 0), 0u);
}

TEST_F(BoardSettingFileTest, ReportFormatError)
{
    file.SetLabel("GRID");
    file.ReportFormatError(2);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"BPF [GRID] Format Error 3"});
}

TEST_F(BoardSettingFileTest, RewriteKeepsEveryOtherByte)
{
    const std::string before = "# head\r\n[A]\r\n{\r\n1;\r\n}\r\n";
    const std::string after = "\r\n[C] # tail\n{\r\n3;\r\n}\r\nend";
    WriteFile(Board(), before + "[b] # lower\r\n{ keep\r\nold;\r\n more;} # x\r\n" + after);
    file.SetPath(Board());
    file.SetLabel("B");
    EXPECT_TRUE(file.WriteSection("new ;\r\n"));
    EXPECT_EQ(ReadFile(Board()), before + "[b] # lower\r\n{ keep\r\nnew ;\r\n} # x\r\n" + after);
    EXPECT_EQ(messages.Count(), 0u);
    file.SetLabel("B");
    ASSERT_TRUE(file.ReadSection());
    EXPECT_EQ(file.GetEntry(0), "new");
}

TEST_F(BoardSettingFileTest, SectionOnTheFirstLineIsRewritten)
{
    WriteFile(Board(), "[A]\n{\nx;\n}\n");
    file.SetPath(Board());
    file.SetLabel("A");
    EXPECT_TRUE(file.WriteSection("y ;\r\n"));
    EXPECT_EQ(ReadFile(Board()), "[A]\n{\ny ;\r\n}\n");
}

TEST_F(BoardSettingFileTest, MissingSectionIsAppended)
{
    WriteFile(Board(), "[A]\r\n{\r\nx;\r\n}\r\n");
    file.SetPath(Board());
    file.SetLabel("NEW");
    EXPECT_FALSE(file.WriteSection("y ;\r\n"));
    EXPECT_EQ(ReadFile(Board()), "[A]\r\n{\r\nx;\r\n}\r\n\r\n[NEW]\r\n{\r\ny ;\r\n}\r\n");
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{_J("基板設定ファイルにラベル \r\n[NEW] が見つかりません\n")});
}

TEST_F(BoardSettingFileTest, UnclosedSectionIsNotWritten)
{
    const std::string text = "[A]\r\n{\r\nx;\r\n[B]\r\n{\r\n";
    WriteFile(Board(), text);
    file.SetPath(Board());
    file.SetLabel("A");
    EXPECT_FALSE(file.WriteSection("y ;\r\n"));
    EXPECT_EQ(ReadFile(Board()), text);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"BPF Format Error \r\n[A]"});
}

TEST_F(BoardSettingFileTest, UnreadableFileIsNotWritten)
{
    file.SetPath(Board());
    file.SetLabel("A");
    EXPECT_FALSE(file.WriteSection("y ;\r\n"));
    EXPECT_FALSE(std::filesystem::exists(Board()));
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text.rfind(_J("ファイルが開けません "), 0), 0u);
}

TEST_F(BoardSettingFileTest, InstalledMasterIsNeverWritten)
{
    const std::string master = Section("A", "x;\r\n");
    WriteFile(Master(), master);
    ::chmod(Master().c_str(), 0444);
    file.SetPath(Master());
    file.SetLabel("A");
    EXPECT_TRUE(file.WriteSection("y ;\r\n"));
    EXPECT_EQ(ReadFile(Master()), master);
    EXPECT_EQ(ReadFile(UserMaster()), Section("A", "y ;\r\n"));
    // The master is read from the user's copy from now on, also by boards that fall back to it.
    WriteFile(Board(), "[Z]\n{\nz;\n}\n");
    file.SetPath(Board());
    ASSERT_TRUE(file.ReadSection());
    EXPECT_EQ(file.GetEntry(0), "y");
    EXPECT_EQ(file.GetPath(), Board());
}

} // namespace
