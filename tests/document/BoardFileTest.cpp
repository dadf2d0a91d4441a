// The board file: its exact envelope, what reading takes from it and what it repairs.

#include "model/items/Hole.h"
#include "platform/Archive.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/RecordingDrawContext.h"
#include "tests/document/BoardFileFixture.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

namespace fs = std::filesystem;

class BoardFileTest : public BoardFileFixture
{
protected:
    std::vector<std::uint8_t> Written(CVELTADoc& d)
    {
        CArchive ar(CArchive::store);
        ar.SetDocument(&d);
        d.WriteBoardFile(ar);
        return ar.Data();
    }
    // The file of a board saved into the board folder.
    fs::path Save(CVELTADoc& d, const std::string& name = "X.vbd")
    {
        const fs::path file = BoardFolder() / name;
        EXPECT_TRUE(d.OnSaveDocument(Cp(file)));
        return file;
    }
    std::unique_ptr<CVELTADoc> Open(const fs::path& file)
    {
        auto d = NewDoc();
        if (!d->OnOpenDocument(Cp(file)))
            return nullptr;
        return d;
    }
    static void WriteBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes)
    {
        WriteFile(file, std::string(bytes.begin(), bytes.end()));
    }
    static std::vector<std::uint8_t> Bytes(const fs::path& file)
    {
        const std::string s = ReadFile(file);
        return std::vector<std::uint8_t>(s.begin(), s.end());
    }
    static void ExpectSameSheets(CVELTADoc& a, CVELTADoc& b)
    {
        for (int layer = 0; layer <= LAYER_MAX; ++layer)
            EXPECT_TRUE(*a.GetBoardSheet(layer) == *b.GetBoardSheet(layer)) << "layer " << layer;
    }
};

// The envelope of an empty board at the construction values, field by field.
std::vector<std::uint8_t> Envelope(int version)
{
    CArchive ar(CArchive::store);
    ar.WriteString(version == 6 ? "VELTA DATA FILE Ver 006\n" : "VELTA DATA FILE Ver 005\n");
    ar << std::uint32_t{900} << std::uint32_t{0};
    ar << std::uint32_t{3} << 25.4 << 25.4;
    ar << std::uint32_t{1} << 327.0 << 327.0;
    ar << std::uint32_t{2} << 0.0 << 0.0 << 327.0 << 327.0;
    for (int layer = 0; layer < LAYER_MAX; ++layer)
        ar << std::int32_t{SHEET_BOARD} << std::int32_t{layer} << std::int32_t{0};
    ar << std::int32_t{SHEET_BOARD_VIAPART} << std::int32_t{LAYER_MAX} << std::int32_t{0};
    ar << std::uint32_t{0};
    return ar.Data();
}

TEST_F(BoardFileTest, NewBoardWritesTheEnvelopeAndReadsBackEqual)
{
    for (int oldSave : {0, 1}) {
        SCOPED_TRACE(oldSave);
        profile.SetInt("FileSave", "OldSave", oldSave);
        auto board = NewBoard();
        const std::vector<std::uint8_t> bytes = Written(*board);
        EXPECT_EQ(bytes, Envelope(oldSave ? 5 : 6));

        const fs::path file = Save(*board);
        EXPECT_EQ(Bytes(file), bytes);
        auto back = Open(file);
        ASSERT_TRUE(back);
        ExpectSameSheets(*board, *back);
        EXPECT_TRUE(back->GetTextProperties().empty());
        EXPECT_FALSE(back->IsModified());
        EXPECT_EQ(back->GetEditCount(), 0u);
        EXPECT_EQ(back->GetFolder(), Cp(BoardFolder()));
        EXPECT_EQ(back->GetDocPathName(), Cp(file));
        EXPECT_EQ(back->GetDocTitle(), Cp(file)); // the full path, as Sheet/FullPath defaults to
    }
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(BoardFileTest, ItemsComeBackAndWriteTheSameBytes)
{
    auto board = NewBoard();
    AddItems(*board);
    const fs::path file = Save(*board);
    auto back = Open(file);
    ASSERT_TRUE(back);
    ExpectSameSheets(*board, *back);
    // Every terminal of the placed parts carries flag 0x2 after reading.
    CPart* part = back->GetBoardSheet(LAYER_MAX)->GetHeadPart();
    ASSERT_TRUE(part);
    POSITION pos = part->GetFirstTerPos();
    ASSERT_TRUE(pos);
    EXPECT_EQ(part->GetNextTer(pos)->GetType() & 0x2, 0x2);

    const fs::path again = Save(*back, "Y.vbd");
    auto third = Open(again);
    ASSERT_TRUE(third);
    EXPECT_EQ(Bytes(Save(*third, "Z.vbd")), Bytes(again));
}

TEST_F(BoardFileTest, TheFirstViewGivesTheViewRectangle)
{
    auto board = NewBoard();
    host.visibleRect = CDRect(10, 20, 110, 120);
    Written(*board);
    EXPECT_EQ(board->GetViewRect(), CDRect(10, 20, 110, 120));
    // A minimised view leaves the stored rectangle.
    host.visibleRect.reset();
    board->SetViewRect(CDRect(1, 2, 3, 4));
    Written(*board);
    EXPECT_EQ(board->GetViewRect(), CDRect(1, 2, 3, 4));

    auto back = Open(Save(*board));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetViewRect(), CDRect(1, 2, 3, 4));
}

TEST_F(BoardFileTest, SizeAndOriginComeFromTheSettingsFile)
{
    auto board = NewBoard();
    board->SetBoardSize(CDSize(100.0, 80.0));
    board->SetUserOrigin(CDPoint(1.0, 2.0));
    auto back = Open(Save(*board));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetBoardSize().cx, 327.0);
    EXPECT_EQ(back->GetBoardSize().cy, 327.0);
    EXPECT_EQ(back->GetUserOrigin().x, 25.4);
    EXPECT_EQ(back->GetUserOrigin().y, 25.4);
}

TEST_F(BoardFileTest, AViewRectangleOffTheBoardBecomesTheWholeBoard)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CDRect cases[] = {CDRect(0, 0, 400, 100), CDRect(0, 0, 100, 328), CDRect(330, 0, 340, 10),
                            CDRect(nan, 0, 10, 10), CDRect(0, 0, std::numeric_limits<double>::infinity(), 1)};
    for (const CDRect& rect : cases) {
        auto board = NewBoard();
        board->SetViewRect(rect);
        auto back = Open(Save(*board));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->GetViewRect(), CDRect(0, 0, 327, 327));
    }
}

TEST_F(BoardFileTest, TwoIdenticalViasComeBackAsOne)
{
    auto board = NewBoard();
    board->GetBoardSheet(LAYER_MAX)->NewVia(CDPoint(5, 5), 1, 0);
    board->GetBoardSheet(LAYER_MAX)->NewVia(CDPoint(5, 5), 1, 0);
    ASSERT_EQ(board->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_VIA), 2);
    auto back = Open(Save(*board));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_VIA), 1);
}

TEST_F(BoardFileTest, AWrongWorkLayerRenumbersViaAndHoleIds)
{
    for (bool wrong : {false, true}) {
        SCOPED_TRACE(wrong);
        auto board = NewBoard();
        // Position 1 is layer 0: its ids must carry work layer 1.
        CLine* line = board->GetBoardSheet(0)->NewLine(CDPoint(1, 1), CDPoint(5, 1), 2, 0);
        line->SetID(wrong ? 0x102u : 0x101u);
        CVia* via = board->GetBoardSheet(LAYER_MAX)->NewVia(CDPoint(5, 1), 1, 0);
        via->SetID(0x301);
        // Hole sheet 0 is the current layer's board sheet.
        CHole* hole = board->GetBoardSheet(0)->NewHole(CDPoint(9, 9), 0.8, true, 0.0, 0.0, 0.0);
        hole->SetID(0x501);
        auto back = Open(Save(*board));
        ASSERT_TRUE(back);
        CVia* read = back->GetBoardSheet(LAYER_MAX)->GetHeadVia();
        ASSERT_TRUE(read);
        EXPECT_EQ(read->GetID(), wrong ? 0u : 0x301u);
        ASSERT_TRUE(back->GetBoardSheet(0)->GetHeadHole());
        EXPECT_EQ(back->GetBoardSheet(0)->GetHeadHole()->GetID(), wrong ? 0u : 0x501u);
    }
}

TEST_F(BoardFileTest, OldVersionsDropTheIds)
{
    auto board = NewBoard();
    CLine* line = board->GetBoardSheet(0)->NewLine(CDPoint(1, 1), CDPoint(5, 1), 2, 0);
    line->SetID(0x101);
    std::vector<std::uint8_t> bytes = Bytes(Save(*board));
    for (const char* version : {"005", "004"}) {
        std::memcpy(bytes.data() + 20, version, 3);
        const fs::path file = BoardFolder() / "old.vbd";
        WriteBytes(file, bytes);
        auto back = Open(file);
        ASSERT_TRUE(back) << version;
        EXPECT_EQ(back->GetBoardSheet(0)->GetHeadLine()->GetID(), 0u) << version;
    }
    auto current = Open(BoardFolder() / "X.vbd");
    ASSERT_TRUE(current);
    EXPECT_EQ(current->GetBoardSheet(0)->GetHeadLine()->GetID(), 0x101u);
}

TEST_F(BoardFileTest, ANewerVersionIsRefused)
{
    std::vector<std::uint8_t> bytes = Bytes(Save(*NewBoard()));
    std::memcpy(bytes.data() + 20, "007", 3);
    const fs::path file = BoardFolder() / "new.vbd";
    WriteBytes(file, bytes);
    messages.Clear();
    EXPECT_FALSE(Open(file));
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(
        messages.Last().text,
        _J("サポートしていないバージョンのデータファイルです。\nＶＥＬＴＡをバージョンアップしてください。"));
}

TEST_F(BoardFileTest, PropertyNamesAreReadAndDropped)
{
    auto board = NewBoard();
    std::vector<std::uint8_t> bytes = Written(*board);
    // Two names after the count.
    CArchive names(CArchive::store);
    names << std::string("&BPF&c:\\old\\a.bpf") << std::string(300, 'x');
    bytes[28] = 2;
    bytes.insert(bytes.begin() + 32, names.Data().begin(), names.Data().end());
    const fs::path file = BoardFolder() / "names.vbd";
    WriteBytes(file, bytes);
    auto back = Open(file);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->GetTextProperties().empty());
}

TEST_F(BoardFileTest, AMisplacedRecordIsReadIntoItsPlaceAndReportedOnce)
{
    auto board = NewBoard();
    board->GetBoardSheet(0)->NewLine(CDPoint(1, 1), CDPoint(5, 1), 2, 0);
    std::vector<std::uint8_t> bytes = Written(*board);
    // The records of layers 3 and 4 name layer 9.
    const std::size_t header = 24 + 8 + 20 + 20 + 36;
    std::size_t firstEmpty = bytes.size() - 4 - 12 * (LAYER_MAX + 1 - 1);
    ASSERT_GT(firstEmpty, header);
    for (int layer : {3, 4})
        bytes[firstEmpty + 12 * static_cast<std::size_t>(layer - 1) + 4] = 9;
    const fs::path file = BoardFolder() / "misplaced.vbd";
    WriteBytes(file, bytes);
    messages.Clear();
    auto back = Open(file);
    ASSERT_TRUE(back);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text,
              platform::Format(_J("基板ファイル %s のレイヤ情報が不正です (レイヤ %d)").c_str(),
                               Cp(file).c_str(), 3));
    EXPECT_EQ(back->GetBoardSheet(0)->GetKindCount(KIND_LINE), 1);
}

TEST_F(BoardFileTest, AMissingSettingsFileNamesTheMaster)
{
    auto board = NewBoard();
    std::vector<std::uint8_t> bytes = Written(*board);
    auto reader = NewDoc();
    reader->GetSettingFile().SetPath(BoardFolder() / "gone.bpf");
    CArchive ar(CArchive::load, bytes);
    ar.SetDocument(reader.get());
    EXPECT_FALSE(reader->ReadBoardFile(ar));
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("基板設計ファイルが見つかりません。"));
    EXPECT_EQ(reader->GetSettingFile().GetPath(), GetProgramFolder() / "velta.bpf");
}

TEST_F(BoardFileTest, AReopenedBoardDrawsAsBefore)
{
    auto board = NewBoard();
    AddItems(*board);
    std::mt19937 rng(5);
    const auto at = [&] { return std::uniform_real_distribution<double>(1.0, 300.0)(rng); };
    for (int i = 0; i < 300; ++i) {
        const CDPoint p(at(), at());
        board->GetBoardSheet(i % 2)->NewLine(p, CDPoint(p.x + 3, p.y + (i % 5)), 2 + i % 3, 0);
        if (i % 3 == 0)
            board->GetBoardSheet(i % 2)->NewLand(CDPoint(at(), at()), 6);
        if (i % 10 == 0)
            board->GetBoardSheet(LAYER_MAX)->NewVia(CDPoint(at(), at()), 1, 0);
        if (i % 30 == 0)
            board->GetBoardSheet(20)->NewText(CText("T" + std::to_string(i), CDPoint(at(), at()), 0));
    }
    auto back = Open(Save(*board));
    ASSERT_TRUE(back);
    for (int layer = 0; layer <= LAYER_MAX; ++layer) {
        if (board->GetBoardSheet(layer)->IsEmpty())
            continue;
        platform::RecordingDrawContext before, after;
        board->GetBoardSheet(layer)->DrawSheet(&before);
        back->GetBoardSheet(layer)->DrawSheet(&after);
        EXPECT_FALSE(before.Calls().empty());
        EXPECT_TRUE(before.Calls() == after.Calls()) << "layer " << layer;
    }
}

} // namespace
