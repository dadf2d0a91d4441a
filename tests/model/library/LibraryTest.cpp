// Part library document: the library file's records byte for byte, the index, reading packages
// back, removing and replacing packages, the backup, refusal of damaged and backup files, and
// rewrites that fail without touching the library.

#include "model/library/Library.h"

#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "model/sheet/Sheet.h"
#include "platform/Archive.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "tests/support/LibraryParts.h"
#include "tests/support/PartBoard.h"
#include "tests/support/RecordBytes.h"

#include <gtest/gtest.h>

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

void WriteBytes(const fs::path& p, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string CannotCreate(const std::string& path)
{
    return platform::Format(_J("ファイル %s を作成できません").c_str(), path.c_str());
}

class LibraryTest : public testing_support::LibraryFixture
{
protected:
    // The part's library record, written as the library writes it (version 1, the board's codes).
    std::vector<std::uint8_t> PartRecord(CPart& part)
    {
        CArchive ar(CArchive::store);
        ar.SetDocument(&board.doc);
        part.Serialize(ar, 1);
        return ar.Data();
    }

    // A work sheet of the board without parts.
    std::unique_ptr<CSheet> EmptySheet() { return SheetOf({}); }

    // A library of package "A" (one part) and package "B" (three parts), written through WritePart.
    std::string WriteTwoPackages(const std::string& file)
    {
        CLibrary lib;
        lib.SetLibraryName(PathOf(file));
        EXPECT_TRUE(lib.WritePart(SheetOf({&a1}).get(), 1));
        lib.SetPackageName("B");
        EXPECT_TRUE(lib.WritePart(SheetOf({&b1, &b2, &b3}).get(), 0));
        return PathOf(file);
    }

    CPart a1 = MakePart("A", "R1", 1);
    CPart b1 = MakePart("B", "U1", 10, PART_SMD);
    CPart b2 = MakePart("B-2", "", 20);
    CPart b3 = MakePart("B", "", 30);
};

TEST_F(LibraryTest, NamesOfLibraryAndIndex)
{
    const struct
    {
        std::string path, library, index;
    } cases[] = {
        {"/x/parts.vlb. ", "/x/parts.vlb", "/x/parts.vix"},
        {"/x/PARTS.VLB", "/x/PARTS.VLB", "/x/PARTS.vix"},
        {"/x/parts", "/x/parts", "/x/parts.vix"},
        {"/x/parts.lib..", "/x/parts.lib", "/x/parts.lib.vix"},
    };
    for (const auto& c : cases) {
        CLibrary lib;
        lib.SetLibraryName(c.path);
        EXPECT_EQ(lib.GetLibraryName(), c.library) << c.path;
        EXPECT_EQ(lib.GetIndexName(), c.index) << c.path;
    }
}

TEST_F(LibraryTest, LibraryListLivesInTheProfile)
{
    profile.SetString("Library File List", "File1", "/a.vlb");
    profile.SetString("Library File List", "File2", "/b.vlb");
    profile.SetString("Library File List", "File4", "/after-a-gap.vlb");
    CLibrary lib;
    EXPECT_EQ(lib.OnNewDocument(), 1);
    EXPECT_EQ(lib.GetLibraryList(), (std::vector<std::string>{"/a.vlb", "/b.vlb"}));

    lib.SetLibraryList({"/c.vlb"});
    lib.WriteLibraryList();
    EXPECT_EQ(profile.GetKeys("Library File List"), (std::vector<std::string>{"File1"}));
    EXPECT_EQ(CLibrary().ReadLibraryList(), (std::vector<std::string>{"/c.vlb"}));
}

TEST_F(LibraryTest, AppendedRecordsAreByteExactAndReadBackEqual)
{
    const std::string path = PathOf("parts.vlb");
    CLibrary lib;
    lib.SetLibraryName(path);
    ASSERT_TRUE(lib.WritePart(SheetOf({&a1}).get(), 1));

    const std::vector<std::uint8_t> recA = PartRecord(a1);
    Bytes first;
    first.I32(200).Str("A").I32(static_cast<std::int32_t>(4 + recA.size())).I32(1).Raw(recA);
    EXPECT_EQ(ReadBytes(path), Bytes(first).I32(0).v);

    // A second part overwrites the end marker and ends the file anew; one record per part, named
    // after the part.
    CPart other = MakePart("SOP8", "U9", 5);
    ASSERT_TRUE(lib.WritePart(SheetOf({&other}).get(), 1));
    const std::vector<std::uint8_t> recS = PartRecord(other);
    Bytes both = first;
    both.I32(200).Str("SOP8").I32(static_cast<std::int32_t>(4 + recS.size())).I32(1).Raw(recS).I32(0);
    EXPECT_EQ(ReadBytes(path), both.v);

    // Mode 0: one record of every part under the package name.
    lib.SetPackageName("B");
    ASSERT_TRUE(lib.WritePart(SheetOf({&b1, &b2}).get(), 0));
    const std::vector<std::uint8_t> rec1 = PartRecord(b1), rec2 = PartRecord(b2);
    Bytes three = both;
    three.v.erase(three.v.end() - 4, three.v.end());
    three.I32(200)
        .Str("B")
        .I32(static_cast<std::int32_t>(4 + rec1.size() + rec2.size()))
        .I32(2)
        .Raw(rec1)
        .Raw(rec2);
    EXPECT_EQ(ReadBytes(path), three.I32(0).v);
    EXPECT_TRUE(messages.Entries().empty());

    // Read back: names compare without regard to case; the parts keep their items.
    CLibrary reader;
    reader.SetLibraryName(path);
    ASSERT_EQ(reader.ReadFile(), 1);
    reader.SetPackageName("sop8");
    auto sheet = EmptySheet();
    EXPECT_EQ(reader.ReadPart(sheet.get()), 1);
    ASSERT_EQ(sheet->GetCount(32913), 1);
    EXPECT_TRUE(sheet->GetHeadPart()->Compare(other));
    EXPECT_EQ(sheet->GetHeadPart()->GetKindCount(KIND_LAND), 1);
    POSITION pos = sheet->GetHeadPart()->GetFirstLandPos();
    EXPECT_EQ(sheet->GetHeadPart()->GetNextLand(pos)->GetLayerNo(), PartBoard::kTop);

    reader.SetPackageName("b");
    auto bs = EmptySheet();
    EXPECT_EQ(reader.ReadPart(bs.get()), 1);
    ASSERT_EQ(bs->GetCount(32913), 2);
    EXPECT_TRUE(bs->GetPart(0)->Compare(b1));
    EXPECT_TRUE(bs->GetPart(1)->Compare(b2));
}

TEST_F(LibraryTest, ReadPartAndGetPart)
{
    const std::string path = WriteTwoPackages("parts.vlb");
    // A second record named "A" after the others: a named read stops at the first.
    {
        CLibrary lib;
        lib.SetLibraryName(path);
        CPart late = MakePart("A", "R77", 50);
        lib.SetPackageName("A");
        ASSERT_TRUE(lib.WritePart(SheetOf({&late}).get(), 0));
    }
    CLibrary lib;
    lib.SetLibraryName(path);
    ASSERT_EQ(lib.ReadFile(), 1);

    auto all = EmptySheet();
    EXPECT_EQ(lib.ReadPart(all.get()), 0);
    EXPECT_EQ(all->GetCount(32913), 5);

    lib.SetPackageName("a");
    auto one = EmptySheet();
    EXPECT_EQ(lib.ReadPart(one.get()), 1);
    ASSERT_EQ(one->GetCount(32913), 1);
    EXPECT_EQ(one->GetHeadPart()->GetRefName(), "R1");

    // GetPart: the element by number, the first part when the package is shorter.
    for (const auto& [index, ref] :
         std::vector<std::pair<int, std::string>>{{1, "U1"}, {2, ""}, {3, ""}, {4, "U1"}}) {
        auto work = EmptySheet();
        CLibrary getter;
        std::unique_ptr<CPart> part = getter.GetPart(path, "B", index, work.get());
        ASSERT_TRUE(part) << index;
        EXPECT_EQ(part->GetRefName(), ref) << index;
        EXPECT_EQ(work->GetCount(32913), 3);
    }
    {
        auto work = EmptySheet();
        CLibrary getter;
        std::unique_ptr<CPart> part = getter.GetPart(path, "B", 3, work.get());
        EXPECT_EQ(part->GetOrg(), b3.GetOrg());
    }
    // An empty package name reads every part and gives the first.
    {
        auto work = EmptySheet();
        CLibrary getter;
        std::unique_ptr<CPart> part = getter.GetPart(path, "", 2, work.get());
        ASSERT_TRUE(part);
        EXPECT_EQ(part->GetRefName(), "R1");
        EXPECT_EQ(work->GetCount(32913), 5);
    }
    EXPECT_TRUE(messages.Entries().empty());

    // A missing package gives nothing and says so.
    auto work = EmptySheet();
    CLibrary getter;
    EXPECT_FALSE(getter.GetPart(path, "NOPE", 1, work.get()));
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, "NOPE" + _J("が見つかりません"));
}

TEST_F(LibraryTest, IndexIsByteExactAndListsEveryPart)
{
    const std::string path = WriteTwoPackages("parts.vlb");
    CLibrary lib;
    lib.SetLibraryName(path);
    ASSERT_EQ(lib.ReadFile(), 1);
    auto outline = std::make_unique<CSheet>(); // the browser's sheet: no board
    EXPECT_EQ(lib.ReadPartOutline(outline.get()), 0);
    ASSERT_EQ(outline->GetCount(32913), 4);
    ASSERT_TRUE(lib.MakeIndex(*outline));

    // Only the three parts of the second package carry a reference and a type word or a text; the
    // element named apart from its package carries its own name as its first text.
    Bytes expected;
    expected.Str("VELTA LIBRARY INDEX Ver 0.001\n").I32(4);
    expected.Str("A").I32(1);
    expected.Str("B").I32(3).Str("U1").I32(PART_SMD);
    expected.Str("B").I32(3).Str("").Str("B-2");
    expected.Str("B").I32(3).Str("").Str("B");
    const fs::path index = dir / "parts.vix";
    EXPECT_EQ(lib.GetIndexName(), index.string());
    EXPECT_EQ(ReadBytes(index), expected.v);

    CArchive ar(CArchive::load, ReadBytes(index));
    std::string version;
    ar >> version;
    EXPECT_TRUE(CLibrary::CheckIndexVer(version));
    EXPECT_FALSE(CLibrary::CheckIndexVer("VELTA LIBRARY INDEX Ver 0.001"));

    // Any rewrite of the library drops the index so that the browser builds it again.
    lib.SetPackageName("A");
    EXPECT_TRUE(lib.DelPart(false, true));
    EXPECT_FALSE(fs::exists(index));
}

TEST_F(LibraryTest, DelPartRemovesExactlyTheMatchingRecord)
{
    const std::string path = WriteTwoPackages("parts.vlb");
    const std::vector<std::uint8_t> file = ReadBytes(path);
    CLibrary lib;
    lib.SetLibraryName(path);
    ASSERT_EQ(lib.ReadFile(), 1);
    const std::size_t recordA = 4 + 2 + 4 + 4 + PartRecord(a1).size();

    // Declined: nothing changes.
    lib.SetPackageName("a");
    messages.QueueAnswer(IDNO);
    EXPECT_FALSE(lib.DelPart(true, false));
    EXPECT_EQ(lib.GetBuffer(), file);
    EXPECT_EQ(messages.Last().text, _J("同名の部品が存在します。\n上書きしますか？"));
    EXPECT_EQ(messages.Last().type, MB_YESNO | MB_ICONQUESTION);

    messages.QueueAnswer(IDYES);
    EXPECT_TRUE(lib.DelPart(true, false));
    EXPECT_EQ(lib.GetBuffer(),
              std::vector<std::uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(recordA), file.end()));
    EXPECT_EQ(ReadBytes(path), file); // memory only

    // No match, and no library: true, nothing asked.
    const std::size_t asked = messages.Count();
    lib.SetPackageName("A");
    EXPECT_TRUE(lib.DelPart(true, true));
    EXPECT_TRUE(CLibrary().DelPart(true, true));
    EXPECT_EQ(messages.Count(), asked);

    // Written: the file now holds package B alone, the old one is the backup.
    EXPECT_TRUE(lib.WriteFile());
    EXPECT_EQ(ReadBytes(path), lib.GetBuffer());
    EXPECT_EQ(ReadBytes(dir / "parts.lbk"), file);
}

TEST_F(LibraryTest, WritePartReplacesPackagesAfterAskingOnce)
{
    const std::string path = WriteTwoPackages("parts.vlb");
    const std::vector<std::uint8_t> file = ReadBytes(path);
    CPart newA = MakePart("A", "R5", 7);
    CPart newB = MakePart("b", "U5", 8);

    // Declined at the first part: nothing is written.
    {
        CLibrary lib;
        lib.SetLibraryName(path);
        ASSERT_EQ(lib.ReadFile(), 1);
        messages.QueueAnswer(IDNO);
        EXPECT_FALSE(lib.WritePart(SheetOf({&newA, &newB}).get(), 1));
        EXPECT_EQ(ReadBytes(path), file);
        EXPECT_EQ(lib.GetBuffer(), file);
    }
    messages.Clear();
    CLibrary lib;
    lib.SetLibraryName(path);
    ASSERT_EQ(lib.ReadFile(), 1);
    messages.QueueAnswer(IDYES);
    EXPECT_TRUE(lib.WritePart(SheetOf({&newA, &newB}).get(), 1));
    EXPECT_EQ(messages.Count(), 1u);

    // Both old packages went (the second without a question), the two new ones follow.
    Bytes expected;
    const std::vector<std::uint8_t> ra = PartRecord(newA), rb = PartRecord(newB);
    expected.I32(200).Str("A").I32(static_cast<std::int32_t>(4 + ra.size())).I32(1).Raw(ra);
    expected.I32(200).Str("b").I32(static_cast<std::int32_t>(4 + rb.size())).I32(1).Raw(rb).I32(0);
    EXPECT_EQ(ReadBytes(path), expected.v);
    EXPECT_EQ(ReadBytes(dir / "parts.lbk"), file);
}

TEST_F(LibraryTest, BackupFollowsTheProfileAndBackupsAreNotOpened)
{
    const std::string path = WriteTwoPackages("parts.vlb");
    profile.SetInt("FileSave", "LibraryBackUp", 0);
    CLibrary lib;
    lib.SetLibraryName(path);
    ASSERT_EQ(lib.ReadFile(), 1);
    EXPECT_TRUE(lib.WriteFile());
    EXPECT_FALSE(fs::exists(dir / "parts.lbk"));

    profile.SetInt("FileSave", "LibraryBackUp", 1);
    EXPECT_TRUE(lib.WriteFile());
    ASSERT_TRUE(fs::exists(dir / "parts.lbk"));

    for (const char* name : {"parts.lbk", "old.VBK", "x.Lbk"}) {
        messages.Clear();
        CLibrary backup;
        backup.SetLibraryName(PathOf(name));
        EXPECT_EQ(backup.ReadFile(), 0) << name;
        ASSERT_EQ(messages.Count(), 1u);
        EXPECT_EQ(messages.Last().text, _J("バックアップファイルです。"));
    }
}

TEST_F(LibraryTest, MissingLibraryIsCreatedOnlyWhenTheUserAgrees)
{
    const std::string path = PathOf("new.vlb");
    CLibrary lib;
    lib.SetLibraryName(path);
    EXPECT_EQ(lib.ReadFile(), 0); // the default answer is No
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, path + "\n" + _J("部品ファイルが見つかりません\n新規作成しますか？"));
    EXPECT_EQ(messages.Last().type, MB_YESNO | MB_DEFBUTTON2);
    EXPECT_FALSE(fs::exists(path));

    messages.QueueAnswer(IDYES);
    EXPECT_EQ(lib.ReadFile(), 1);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(lib.GetLength(), 0);

    // A folder of that name cannot be created over.
    messages.Clear();
    fs::create_directory(dir / "folder.vlb");
    CLibrary folder;
    folder.SetLibraryName(PathOf("folder.vlb"));
    messages.QueueAnswer(IDYES);
    EXPECT_EQ(folder.ReadFile(), 0);
    EXPECT_EQ(messages.Last().text, CannotCreate(PathOf("folder.vlb")));
}

TEST_F(LibraryTest, EveryTruncationIsRefusedWithAMessage)
{
    const std::string path = WriteTwoPackages("parts.vlb");
    const std::vector<std::uint8_t> file = ReadBytes(path);
    const std::string cut = PathOf("cut.vlb");
    const std::string damaged = platform::Format(_J("部品ファイル %s が壊れています").c_str(), cut.c_str());

    // The empty file is an empty library; every other prefix is refused, when read and when
    // appended to, and the file stays as it was.
    for (std::size_t n = 1; n < file.size(); ++n) {
        const std::vector<std::uint8_t> prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
        WriteBytes(cut, prefix);
        messages.Clear();
        CLibrary lib;
        lib.SetLibraryName(cut);
        EXPECT_EQ(lib.ReadFile(), 0) << n;
        EXPECT_EQ(lib.GetLength(), 0) << n;
        ASSERT_EQ(messages.Count(), 1u) << n;
        EXPECT_EQ(messages.Last().text, damaged) << n;

        messages.Clear();
        EXPECT_FALSE(lib.WritePart(SheetOf({&a1}).get(), 1)) << n;
        ASSERT_EQ(messages.Count(), 1u) << n;
        EXPECT_EQ(messages.Last().text, damaged) << n;
        EXPECT_EQ(ReadBytes(cut), prefix) << n;
    }
    WriteBytes(cut, {});
    CLibrary empty;
    empty.SetLibraryName(cut);
    EXPECT_EQ(empty.ReadFile(), 1);
}

TEST_F(LibraryTest, DamagedRecordsAreRefused)
{
    const std::vector<std::uint8_t> recA = PartRecord(a1);
    const struct
    {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } files[] = {
        {"length past the end", Bytes().I32(200).Str("A").I32(1000).I32(1).Raw(recA).I32(0).v},
        {"negative length", Bytes().I32(200).Str("A").I32(-8).I32(0).v},
        {"package without its count", Bytes().I32(200).Str("A").I32(0).I32(0).v},
        {"name past the end", Bytes().I32(200).U8(40).Raw({'A', 'B'}).v},
        {"no end marker", Bytes().I32(200).Str("A").I32(4).I32(0).v},
        {"bytes after the end marker", Bytes().I32(0).I32(200).v},
    };
    for (const auto& f : files) {
        const std::string path = PathOf("bad.vlb");
        WriteBytes(path, f.bytes);
        messages.Clear();
        CLibrary lib;
        lib.SetLibraryName(path);
        const bool readable = std::string(f.what) == "bytes after the end marker";
        EXPECT_EQ(lib.ReadFile(), readable ? 1 : 0) << f.what;
        // Appending needs the end marker as the last four bytes.
        messages.Clear();
        EXPECT_FALSE(lib.WritePart(SheetOf({&a1}).get(), 1)) << f.what;
        EXPECT_EQ(messages.Count(), 1u) << f.what;
        EXPECT_EQ(ReadBytes(path), f.bytes) << f.what;
    }

    // A record whose length fits but whose parts do not: reading it says so and adds nothing.
    const std::vector<std::uint8_t> shortParts =
        Bytes().I32(200).Str("A").I32(static_cast<std::int32_t>(4 + recA.size())).I32(3).Raw(recA).I32(0).v;
    const std::string path = PathOf("short.vlb");
    WriteBytes(path, shortParts);
    messages.Clear();
    auto work = EmptySheet();
    CLibrary lib;
    EXPECT_FALSE(lib.GetPart(path, "A", 1, work.get()));
    EXPECT_EQ(work->GetCount(32913), 0);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text,
              platform::Format(_J("部品ファイル %s が壊れています").c_str(), path.c_str()));
    auto outline = EmptySheet();
    EXPECT_EQ(lib.ReadPartOutline(outline.get()), 0);
    EXPECT_EQ(outline->GetCount(32913), 0);
}

TEST_F(LibraryTest, FailedRewriteLeavesTheOldLibrary)
{
    // A read-only library is not written over.
    const std::string path = WriteTwoPackages("parts.vlb");
    const std::vector<std::uint8_t> file = ReadBytes(path);
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    {
        CLibrary lib;
        lib.SetLibraryName(path);
        ASSERT_EQ(lib.ReadFile(), 1);
        lib.SetPackageName("A");
        messages.Clear();
        EXPECT_TRUE(lib.DelPart(false, true));
        EXPECT_FALSE(lib.WriteFile());
        EXPECT_EQ(messages.Last().text, CannotCreate(path));
        EXPECT_FALSE(lib.WritePart(SheetOf({&a1}).get(), 1));
        EXPECT_EQ(ReadBytes(path), file);
        EXPECT_FALSE(fs::exists(dir / "parts.lbk"));
    }

    // A library whose new copy cannot be created beside it (its temporary name would be too long
    // for the file system) keeps its old contents.
    const std::string longName = std::string(245, 'p') + ".vlb";
    const std::string longPath = PathOf(longName);
    WriteBytes(longPath, file);
    CLibrary lib;
    lib.SetLibraryName(longPath);
    ASSERT_EQ(lib.ReadFile(), 1);
    lib.SetPackageName("B");
    messages.Clear();
    EXPECT_TRUE(lib.DelPart(false, false));
    EXPECT_FALSE(lib.WriteFile());
    EXPECT_EQ(messages.Last().text, CannotCreate(longPath));
    EXPECT_EQ(ReadBytes(longPath), file);

    EXPECT_FALSE(lib.WritePart(SheetOf({&b1}).get(), 1));
    EXPECT_EQ(ReadBytes(longPath), file);
    // The memory copy is what it was before the failed call.
    std::vector<std::uint8_t> withoutB = lib.GetBuffer();
    EXPECT_NE(withoutB, file);
}

} // namespace
