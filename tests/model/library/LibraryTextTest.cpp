// Text library export and import, and the name tables of old ".LIB" libraries.

#include "model/library/Library.h"

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/Clock.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "tests/support/LibraryParts.h"
#include "tests/support/PartBoard.h"
#include "tests/support/RecordBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using testing_support::Bytes;
using testing_support::MakePart;
using testing_support::PartBoard;
using testing_support::ReadBytes;
namespace fs = std::filesystem;

std::string ReadText(const fs::path& p)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(p);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const fs::path& p, const std::string& text)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

// Every line feed as CR LF, as the text library is written.
std::string Crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

const char* const kHeader = "# VELTA Text Library File Ver 1.00\n"
                            "%s\n"
                            "%s\n"
                            "#\n"
                            "# File created by VELTA\n"
                            "# Date : 03/05/24 06:07:08\n"
                            "#\n"
                            "\n";

class LibraryTextTest : public testing_support::LibraryFixture
{
protected:
    void SetUp() override
    {
        LibraryFixture::SetUp();
        platform::SetClock(&clock);
    }
    void TearDown() override
    {
        platform::SetClock(nullptr);
        LibraryFixture::TearDown();
    }

    // Package "A" of one part, then package "B" of two.
    std::string WriteLibrary(const std::string& file)
    {
        CLibrary lib;
        lib.SetLibraryName(PathOf(file));
        EXPECT_TRUE(lib.WritePart(SheetOf({&a1}).get(), 1));
        lib.SetPackageName("B");
        EXPECT_TRUE(lib.WritePart(SheetOf({&b1, &b2}).get(), 0));
        return PathOf(file);
    }

    // The part written and read back with the record versions given.
    CPart ReadBack(CPart part, int writeVersion = 1, int readVersion = 3)
    {
        CArchive out(CArchive::store);
        out.SetDocument(&board.doc);
        part.Serialize(out, writeVersion);
        CArchive in(CArchive::load, out.Data());
        in.SetDocument(&board.doc);
        CPart read;
        read.Serialize(in, readVersion);
        return read;
    }
    CPart Normalized(CPart part) { return ReadBack(part); }

    // The part as a library read gives it back, in its text form.
    std::string TextOf(CPart& part) { return ReadBack(part).GetTextLines(&board.doc); }

    std::string Header() const
    {
        return platform::Format(kHeader, _J("# 上の行を削除してはいけません。").c_str(),
                                _J("# 行の先頭が '#' で始まる行はコメントになります。").c_str());
    }

    std::string FormatError(int line) const
    {
        return platform::Format(_J("フォーマットが不正です。%d行目").c_str(), line);
    }

    platform::FixedClock clock{1709586428}; // 2024-03-05 06:07:08 in Japan
    // The parts as a library read gives them back (terminal ids numbered), so that a library written
    // from them is what an import of its export writes again.
    CPart a1 = Normalized(MakePart("A", "R1", 1));
    CPart b1 = Normalized(MakePart("B", "U1", 10));
    CPart b2 = Normalized(MakePart("B-2", "", 20));
};

TEST_F(LibraryTextTest, ExportWritesEveryPackageInTheTextForm)
{
    CLibrary lib;
    lib.SetLibraryName(WriteLibrary("parts.vlb"));
    ASSERT_EQ(lib.ReadFile(), 1);
    const std::string txt = PathOf("parts.txt");
    ASSERT_EQ(lib.WriteAsciiFile(txt, &board.doc), 1);

    std::string expected = Header();
    expected +=
        "Package Name \"A\"\nPackage Total 1\n#\nPackage [1]\n" + TextOf(a1) + "Package End\n#\n#\n#\n";
    expected += "Package Name \"B\"\nPackage Total 2\n#\nPackage [1]\n" + TextOf(b1) + "#\nPackage [2]\n" +
                TextOf(b2) + "Package End\n#\n#\n#\n";
    EXPECT_EQ(ReadText(txt), Crlf(expected));
    EXPECT_NE(TextOf(b1).find("Land "), std::string::npos); // the parts keep their items
    EXPECT_TRUE(messages.Entries().empty());

    // Without a document of its own the export works with the frame's current board.
    ASSERT_EQ(lib.WriteAsciiFile(PathOf("current.txt")), 1);
    EXPECT_EQ(ReadText(PathOf("current.txt")), Crlf(expected));

    // An empty library gives the header alone; a file that cannot be made is reported.
    CLibrary none;
    ASSERT_EQ(none.WriteAsciiFile(PathOf("none.txt"), &board.doc), 1);
    EXPECT_EQ(ReadText(PathOf("none.txt")), Crlf(Header()));
    const std::string bad = PathOf("missing-folder/x.txt");
    EXPECT_EQ(lib.WriteAsciiFile(bad, &board.doc), 0);
    EXPECT_EQ(messages.Last().text,
              platform::Format(_J("ファイル %s を作成できません").c_str(), bad.c_str()));
}

TEST_F(LibraryTextTest, ExportReadsNewerFormPackagesWithTheirVersion)
{
    CPart part = MakePart("N", "Q1", 3);
    part.SetID(9);
    CArchive v6(CArchive::store);
    v6.SetDocument(&board.doc);
    part.Serialize(v6, 6);
    const std::vector<std::uint8_t> record = v6.Data();
    const std::string path = PathOf("new.vlb");
    const std::vector<std::uint8_t> file = Bytes()
                                               .I32(202)
                                               .Str("N")
                                               .I32(static_cast<std::int32_t>(4 + record.size()))
                                               .I32(1)
                                               .Raw(record)
                                               .I32(0)
                                               .v;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    CLibrary lib;
    lib.SetLibraryName(path);
    ASSERT_EQ(lib.ReadFile(), 1);
    ASSERT_EQ(lib.WriteAsciiFile(PathOf("new.txt"), &board.doc), 1);
    EXPECT_EQ(ReadText(PathOf("new.txt")),
              Crlf(Header() + "Package Name \"N\"\nPackage Total 1\n#\nPackage [1]\n" +
                   ReadBack(part, 6, 6).GetTextLines(&board.doc) + "Package End\n#\n#\n#\n"));
}

TEST_F(LibraryTextTest, ImportOfAnExportRebuildsTheSameLibrary)
{
    const std::string original = WriteLibrary("parts.vlb");
    CLibrary lib;
    lib.SetLibraryName(original);
    ASSERT_EQ(lib.ReadFile(), 1);
    const std::string txt = PathOf("parts.txt");
    ASSERT_EQ(lib.WriteAsciiFile(txt, &board.doc), 1);

    CLibrary rebuilt;
    rebuilt.SetLibraryName(PathOf("copy.vlb"));
    rebuilt.SetPackageName("left over");
    ASSERT_EQ(rebuilt.ReadAsciiFile(txt, &board.doc), 1);
    EXPECT_EQ(ReadBytes(PathOf("copy.vlb")), ReadBytes(original));
    EXPECT_EQ(rebuilt.GetBuffer(), ReadBytes(original));
    EXPECT_EQ(rebuilt.GetPackageName(), "");
    EXPECT_TRUE(messages.Entries().empty());

    // With a library in memory the packages are added after its own.
    CLibrary added;
    added.SetLibraryName(original);
    ASSERT_EQ(added.ReadFile(), 1);
    ASSERT_EQ(added.ReadAsciiFile(txt, &board.doc), 1);
    const std::vector<std::uint8_t> once = ReadBytes(PathOf("copy.vlb"));
    std::vector<std::uint8_t> expected(once.begin(), once.end() - 4);
    expected.insert(expected.end(), once.begin(), once.end());
    EXPECT_EQ(ReadBytes(original), expected);
    EXPECT_EQ(ReadBytes(PathOf("parts.lbk")), once);
}

TEST_F(LibraryTextTest, ImportReadsPackagesAndIgnoresWhatIsNotOne)
{
    // Blanks inside the quotes stay; a "Part" line with no package open is passed over; comment and
    // blank lines inside a package are left out; "Package End" in any case ends it.
    const std::string txt = PathOf("in.txt");
    WriteText(txt, "# VELTA Text Library File Ver 1.00\r\n"
                   "  Package Name \"DIP 8 wide\"\r\n"
                   "Package Total 1\r\n"
                   "Package [1]\r\n" +
                       Crlf(TextOf(a1)) +
                       "#\r\n\r\n"
                       "  package end  \r\n" +
                       Crlf(TextOf(b1)) + "Package End\r\n");
    CLibrary lib;
    lib.SetLibraryName(PathOf("in.vlb"));
    ASSERT_EQ(lib.ReadAsciiFile(txt, &board.doc), 1);
    EXPECT_TRUE(messages.Entries().empty());
    lib.SetPackageName("dip 8 WIDE");
    auto sheet = SheetOf({});
    EXPECT_EQ(lib.ReadPart(sheet.get()), 1);
    ASSERT_EQ(sheet->GetCount(32913), 1);
    EXPECT_TRUE(sheet->GetHeadPart()->Compare(a1));
    auto all = SheetOf({});
    lib.SetPackageName("");
    lib.ReadPart(all.get());
    EXPECT_EQ(all->GetCount(32913), 1);

    // Comments alone make an empty library file.
    WriteText(txt, "xx # VELTA Text Library File\n# nothing\n\n   # more\n");
    CLibrary empty;
    empty.SetLibraryName(PathOf("empty.vlb"));
    ASSERT_EQ(empty.ReadAsciiFile(txt, &board.doc), 1);
    EXPECT_TRUE(fs::exists(PathOf("empty.vlb")));
    EXPECT_EQ(fs::file_size(PathOf("empty.vlb")), 0u);
}

TEST_F(LibraryTextTest, ImportErrorsLeaveTheLibraryAsItWas)
{
    const std::string library = WriteLibrary("parts.vlb");
    const std::vector<std::uint8_t> before = ReadBytes(library);
    const std::string good = "Package Name \"OK\"\n" + TextOf(a1) + "Package End\n";
    // Line numbers count from the line after the title: the good package takes lines 1 to n.
    const int n = static_cast<int>(std::count(good.begin(), good.end(), '\n'));
    const std::string title = "# VELTA Text Library File\n";
    const struct
    {
        std::string text;
        std::string message;
    } cases[] = {
        {"", _J("テキスト部品ファイルではありません。")},
        {"# VELTA Library File\n" + good, _J("テキスト部品ファイルではありません。")},
        {title + good + "Package Name \"X\n", FormatError(n + 1)},
        {title + good + "#\nPackage Name \"\"\n", FormatError(n + 2)},
        {title + good + "Package [2\n", FormatError(n + 1)},
        // A body that the file ends before "Package End": the number of its "Part" line.
        {title + good + "Package Name \"Y\"\n#\n" + TextOf(b1), FormatError(n + 3)},
    };
    for (const auto& c : cases) {
        const std::string txt = PathOf("bad.txt");
        WriteText(txt, c.text);
        messages.Clear();
        CLibrary lib;
        lib.SetLibraryName(library);
        ASSERT_EQ(lib.ReadFile(), 1);
        EXPECT_EQ(lib.ReadAsciiFile(txt, &board.doc), 0) << c.text;
        ASSERT_EQ(messages.Count(), 1u) << c.text;
        EXPECT_EQ(messages.Last().text, c.message) << c.text;
        EXPECT_EQ(ReadBytes(library), before) << c.text;
        EXPECT_EQ(lib.GetBuffer(), before) << c.text;
    }

    messages.Clear();
    CLibrary lib;
    lib.SetLibraryName(library);
    EXPECT_EQ(lib.ReadAsciiFile(PathOf("no-such.txt"), &board.doc), 0);
    EXPECT_EQ(messages.Last().text, _J("ファイルが開けません"));
    EXPECT_EQ(ReadBytes(library), before);
}

TEST_F(LibraryTextTest, OldLibraryNameTables)
{
    CPart stored = MakePart("ABC123", "U1", 2);
    const std::string old = PathOf("OLD.LIB");
    {
        CLibrary lib;
        lib.SetLibraryName(old);
        ASSERT_TRUE(lib.WritePart(SheetOf({&stored}).get(), 1));
    }
    // The table's name differs in case from the library's, as a table copied from a system that
    // ignores case may.
    WriteText(PathOf("old.tbl"), "#ZZZ,OLDNAME\r\n"
                                 ",OLDNAME\r\n"
                                 "XYZ,OLDNAMEX\r\n"
                                 "ABC123 ,OLDNAME \r\n");

    CLibrary lib;
    lib.SetLibraryName(old);
    ASSERT_EQ(lib.ReadFile(), 1);
    lib.SetPackageName("oldname");
    auto sheet = SheetOf({});
    EXPECT_EQ(lib.ReadPart(sheet.get()), 1);
    EXPECT_EQ(lib.GetPackageName(), "ABC123");
    ASSERT_EQ(sheet->GetCount(32913), 1);
    EXPECT_EQ(sheet->GetHeadPart()->GetPartName(), "OLDNAME");

    // Only the whole asked name matches: "OLDNAM" is not in the table, so it is looked up as itself;
    // "OLDNAMEX" maps to a package the library does not hold.
    const struct
    {
        const char* asked;
        int found;
        const char* packageAfter;
    } cases[] = {{"OLDNAM", 0, "OLDNAM"}, {"oldnamex", 0, "XYZ"}, {"abc123", 1, "abc123"}};
    for (const auto& c : cases) {
        lib.SetPackageName(c.asked);
        auto s = SheetOf({});
        EXPECT_EQ(lib.ReadPart(s.get()), c.found) << c.asked;
        EXPECT_EQ(lib.GetPackageName(), c.packageAfter) << c.asked;
        if (c.found) {
            EXPECT_EQ(s->GetHeadPart()->GetPartName(), "ABC123");
        }
    }

    // The registered old libraries' tables give the line of the asked name.
    profile.SetString("Library File List", "File1", PathOf("new.vlb"));
    profile.SetString("Library File List", "File2", old);
    std::string line;
    lib.SetPackageName("OldName");
    EXPECT_EQ(lib.SetPartNameList(line), 1);
    EXPECT_EQ(line, "ABC123 ,OLDNAME ");
    line.clear();
    lib.SetPackageName("OLDNAM");
    EXPECT_EQ(lib.SetPartNameList(line), 0);
    lib.SetPackageName("");
    EXPECT_EQ(lib.SetPartNameList(line), 0);
    EXPECT_EQ(line, "");

    // A library not named ".LIB" has no table.
    const std::string plain = PathOf("plain.vlb");
    {
        CLibrary writer;
        writer.SetLibraryName(plain);
        ASSERT_TRUE(writer.WritePart(SheetOf({&stored}).get(), 1));
    }
    WriteText(PathOf("plain.tbl"), "ABC123,OLDNAME\n");
    CLibrary other;
    other.SetLibraryName(plain);
    ASSERT_EQ(other.ReadFile(), 1);
    other.SetPackageName("OLDNAME");
    auto none = SheetOf({});
    EXPECT_EQ(other.ReadPart(none.get()), 0);
    EXPECT_EQ(other.GetPackageName(), "OLDNAME");
    EXPECT_TRUE(messages.Entries().empty());
}

} // namespace
