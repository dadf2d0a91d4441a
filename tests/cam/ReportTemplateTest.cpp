// Report templates: splitting a template into frame and section, the extension and English
// markers, key replacement, the written report and the refusals.

#include "cam/ReportTemplate.h"
#include "document/ProgramFolder.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const char* const kTemplate = "$COMMON$\r\n"
                              "<html><title>$TITLE$</title>\r\n"
                              "$BLOCKIN$\r\n"
                              "</html>$TITLE$\r\n"
                              "$COMMON$\r\n"
                              "$PHOT$\n"
                              "  $ENGLISH$ $FILEEXT& .htm $<table>$COUNT$\n"
                              "$BLOCKFOR$<tr>$D$ $D$ $SIZE$</tr>\n"
                              "$BLOCKNEXT$</table>$COUNT$\n"
                              "$PHOT$\n"
                              "$DRILL$\n"
                              "<p>$BLOCKFOR$[$T$]$BLOCKNEXT$</p>\n"
                              "$DRILL$\n"
                              "$ONCE$\n";

class ReportTemplateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("velta-report-" + std::to_string(::getpid()));
        fs::create_directories(root / "program");
        fs::create_directories(root / "user");
        SetProgramFolders(root / "program", root / "user");
        platform::SetMessageService(&messages);
    }
    void TearDown() override
    {
        platform::SetMessageService(nullptr);
        SetProgramFolders({}, {});
        fs::remove_all(root);
    }
    static void WriteFile(const fs::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path root;
    platform::RecordingMessages messages;
};

TEST_F(ReportTemplateTest, SectionsSplitAndFill)
{
    CReportTemplate report;
    ASSERT_TRUE(report.Parse(kTemplate, "$PHOT$"));
    EXPECT_EQ(report.GetExtension(), "htm");
    EXPECT_TRUE(report.IsEnglish());
    report.ReplaceCommon({"$TITLE$"}, {"B1"});
    report.AddValues({"$COUNT$"}, {"2"}, false);
    report.AddValues({"$D$", "$SIZE$"}, {"D10", "0.2"}, true);
    report.AddValues({"$D$", "$SIZE$"}, {"D11", "$D$"}, true); // a value is not searched again
    EXPECT_EQ(report.Text(), "<html><title>B1</title>\n"
                             "<table>2\n"
                             "<tr>D10 D10 0.2</tr>\n"
                             "<tr>D11 D11 $D$</tr>\n"
                             "</table>2\n"
                             "</html>B1\n");

    // No records: head and tail meet; no extension marker gives "html"; no English marker.
    ASSERT_TRUE(report.Parse(kTemplate, "$DRILL$"));
    EXPECT_EQ(report.GetExtension(), "html");
    EXPECT_FALSE(report.IsEnglish());
    EXPECT_EQ(report.Text(), "<html><title>$TITLE$</title>\n<p></p>\n</html>$TITLE$\n");

    // A tag found once, or not at all: the frame alone, with no extension.
    for (const char* tag : {"$ONCE$", "$NONE$"}) {
        ASSERT_TRUE(report.Parse(kTemplate, tag)) << tag;
        EXPECT_EQ(report.GetExtension(), "") << tag;
        EXPECT_EQ(report.Text(), "<html><title>$TITLE$</title>\n</html>$TITLE$\n") << tag;
    }
}

TEST_F(ReportTemplateTest, TemplatesThatCannotBeSplitAreRefused)
{
    const char* const broken[] = {
        "no markers at all",
        "$COMMON$\nhead\n$COMMON$\n",        // no $BLOCKIN$
        "$COMMON$\nhead\n$BLOCKIN$\ntail\n", // no second $COMMON$
        "$COMMON$\nh\n$BLOCKIN$\nt\n$COMMON$\n$PHOT$ no block $PHOT$",
        "$COMMON$\nh\n$BLOCKIN$\nt\n$COMMON$\n$PHOT$ $BLOCKFOR$ only $PHOT$",
    };
    for (const char* text : broken) {
        CReportTemplate report;
        EXPECT_FALSE(report.Parse(text, "$PHOT$")) << text;
    }
}

TEST_F(ReportTemplateTest, LoadPrefersTheUsersCopyAndWritesWithTheExtension)
{
    WriteFile(root / "program" / "VTHTML.dat", kTemplate);
    CReportTemplate report;
    ASSERT_TRUE(report.Load("VTHTML", "$PHOT$"));
    EXPECT_EQ(report.GetExtension(), "htm");
    WriteFile(root / "user" / "VTHTML.dat",
              "$COMMON$\nmine\n$BLOCKIN$\n$COMMON$\n$PHOT$$BLOCKFOR$$BLOCKNEXT$$PHOT$");
    ASSERT_TRUE(report.Load("VTHTML", "$PHOT$"));
    EXPECT_EQ(report.Text(), "mine\n");
    ASSERT_TRUE(report.Write(root / "board"));
    EXPECT_EQ(platform::ReadFileBytes(root / "board.html"), std::optional<std::string>("mine\r\n"));
    EXPECT_EQ(messages.Count(), 0u);

    // Missing template, unsplittable template, report that cannot be made: each said, with its path.
    struct Row
    {
        const char* name;
        const char* message;
    };
    WriteFile(root / "program" / "BAD.dat", "$COMMON$ only");
    const Row rows[] = {
        {"NONE", "%s が開けません"},
        {"BAD", "%s はレポートテンプレートの形式ではありません"},
    };
    for (const Row& row : rows) {
        messages.Clear();
        EXPECT_FALSE(report.Load(row.name, "$PHOT$")) << row.name;
        ASSERT_EQ(messages.Count(), 1u) << row.name;
        const std::string path = (root / "program" / (std::string(row.name) + ".dat")).string();
        EXPECT_EQ(messages.Last().text,
                  platform::Format(platform::JLiteral(row.message).c_str(), path.c_str()))
            << row.name;
    }
    messages.Clear();
    ASSERT_TRUE(report.Load("VTHTML", "$PHOT$"));
    EXPECT_FALSE(report.Write(root / "missing" / "board"));
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, platform::Format(_J("%s が作成できません").c_str(),
                                                     (root / "missing" / "board.html").string().c_str()));
}

} // namespace
