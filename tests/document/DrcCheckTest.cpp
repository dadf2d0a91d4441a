// The design rule check command: the message and its icon, part clearance pairs and outline
// marks, copper clearance on listed positions, output layers and the question before marking,
// undo, the dialog's Cancel, and the connectivity nets the terminals end up on.

#include "platform/J.h"
#include "tests/document/DrcTestHost.h"

#include <random>
#include <string>

namespace {

class DrcCheckTest : public DrcFixture
{
protected:
    // Two tracks 0.3 apart on the layer: 0.1 of copper between them, below the 0.25 default.
    void CloseTracks(int layer, double y = 0.0)
    {
        AddLine(layer, CDPoint(0, y), CDPoint(10, y));
        AddLine(layer, CDPoint(0, y + 0.3), CDPoint(10, y + 0.3));
    }
    const platform::RecordingMessages::Entry& Summary() const { return messages.Last(); }
};

TEST_F(DrcCheckTest, NoViolationWithTheDefaultsGivesTheInformationIcon)
{
    AddPart("R1", CDPoint(10, 10), 1.0);
    AddPart("R2", CDPoint(30, 10), 1.0);
    AddLine(0, CDPoint(0, 0), CDPoint(10, 0));
    Run();
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(Summary().text, _J("箔間距離(0.25mm) チェックＯＫ\n部品間距離(1mm) チェックＯＫ"));
    EXPECT_EQ(Summary().type & MB_ICONMASK, MB_ICONINFORMATION);
    EXPECT_TRUE(doc->GetBoardSheet(kOutput)->IsEmpty());
    // The settings were offered from the defaults and stored after OK.
    EXPECT_EQ(drcHost.offered.copperMode, 1);
    EXPECT_EQ(drcHost.offered.errorLayer, kOutput);
    EXPECT_EQ(drcHost.saves, 1);
    EXPECT_NE(Read("board.bpf").find("DRC_CHECK"), std::string::npos);
    EXPECT_FALSE(doc->IsBusy());
}

TEST_F(DrcCheckTest, ThreePartsWithinReachAreThreePairsWithOutlineMarks)
{
    AddPart("U1", CDPoint(10, 10), 1.0);
    AddPart("U2", CDPoint(10.5, 10), 1.0);
    AddPart("U3", CDPoint(11, 10), 1.0);
    Run([](DrcChoice& c) { c.copperMode = 0; });
    EXPECT_EQ(Summary().text, _J("部品間距離(1mm) エラー個所 3"));
    EXPECT_EQ(Summary().type & MB_ICONMASK, MB_ICONEXCLAMATION);
    // Pairs U1-U2, U1-U3, U2-U3: a land at each Q and at the first pair's P; outlines cross in
    // every pair.
    EXPECT_EQ(Lands(kOutput, kMarkTurret), 5);
    EXPECT_EQ(Lands(kOutput, kOutlineTurret), 5);
    EXPECT_TRUE(doc->GetLayer(kOutput).display);
    EXPECT_TRUE(doc->IsDisplayedLayer(kOutput));
    // One undo step puts the layer back.
    doc->OnEditUndo();
    EXPECT_TRUE(doc->GetBoardSheet(kOutput)->IsEmpty());
}

TEST_F(DrcCheckTest, RectanglesThatMeetWhileOutlinesStayApartGiveOneErrorWithoutOutlineMark)
{
    // P: an L of two long sides; Q: a small square inside P's rectangle, 3 mm from both sides.
    CPart* p = AddPart("P1", CDPoint(0, 0), 0.0);
    p->NewLine(CDPoint(0, 0), CDPoint(10, 0), 2, 0)->SetLayerNo(kOutline);
    p->NewLine(CDPoint(10, 0), CDPoint(10, 10), 2, 0)->SetLayerNo(kOutline);
    AddPart("Q1", CDPoint(6, 6), 1.0);
    Run([](DrcChoice& c) { c.copperMode = 0; });
    EXPECT_EQ(Summary().text, _J("部品間距離(1mm) エラー個所 1"));
    EXPECT_EQ(Lands(kOutput, kMarkTurret), 2);
    EXPECT_EQ(Lands(kOutput, kOutlineTurret), 0);
}

TEST_F(DrcCheckTest, ListedPositionsOneAndThreeMarkTheFirstTwoOutputLayers)
{
    CloseTracks(0);
    CloseTracks(1);
    CloseTracks(2);
    Run([](DrcChoice& c) {
        c.copperMode = 2;
        c.layers.fill(0);
        c.layers[0] = c.layers[2] = 1;
        c.componentSide = c.solderSide = 0;
        c.errorLayer = 50;
    });
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(Summary().text.rfind(_J("箔間距離(0.25mm) エラー個所 "), 0), 0u) << Summary().text;
    EXPECT_GT(Lands(50, kMarkTurret), 0);
    EXPECT_EQ(Lands(50, kMarkTurret), Lands(51, kMarkTurret));
    EXPECT_TRUE(doc->GetBoardSheet(52)->IsEmpty());
}

TEST_F(DrcCheckTest, CancelAtTheQuestionOnlyCounts)
{
    CloseTracks(0);
    AddPart("U1", CDPoint(10, 10), 1.0);
    AddPart("U2", CDPoint(10.5, 10), 1.0);
    AddLand(kOutput, CDPoint(50, 50));
    const std::size_t steps = doc->GetUndoHistory().size();
    messages.QueueAnswer(IDCANCEL);
    Run();
    ASSERT_EQ(messages.Count(), 2u);
    EXPECT_EQ(messages.Entries()[0].text, _J("出力先のレイヤにはデータがあります。先に削除しますか？"));
    EXPECT_EQ(messages.Entries()[0].type & (MB_TYPEMASK | MB_DEFMASK), MB_YESNOCANCEL | MB_DEFBUTTON2);
    EXPECT_NE(Summary().text.find(_J("部品間距離(1mm) エラー個所 1")), std::string::npos);
    for (int layer = kOutput; layer < kOutput + 5; ++layer)
        EXPECT_EQ(doc->GetBoardSheet(layer)->GetItemCount(), layer == kOutput ? 1 : 0);
    EXPECT_EQ(doc->GetUndoHistory().size(), steps);
}

TEST_F(DrcCheckTest, YesWithoutPerLayerOutputEmptiesTheOneLayerOnce)
{
    CloseTracks(0);
    CloseTracks(2);
    AddPart("U1", CDPoint(10, 10), 1.0);
    AddPart("U2", CDPoint(10.5, 10), 1.0);
    AddLand(kOutput, CDPoint(50, 50));
    messages.QueueAnswer(IDYES);
    Run([](DrcChoice& c) { c.perLayer = 0; });
    CSheet* out = doc->GetBoardSheet(kOutput);
    // The old land went; the copper marks of both layers and the part marks of both sides stayed.
    EXPECT_EQ(Lands(kOutput, 1), 0);
    EXPECT_GT(Lands(kOutput, kMarkTurret), 2);
    EXPECT_EQ(out->GetItemCount(), Lands(kOutput, kMarkTurret) + Lands(kOutput, kOutlineTurret));
    EXPECT_TRUE(doc->GetBoardSheet(kOutput + 1)->IsEmpty());
}

TEST_F(DrcCheckTest, NoCheckChosenAsksNothingAndSaysNothing)
{
    CloseTracks(0);
    AddLand(kOutput, CDPoint(50, 50));
    Run([](DrcChoice& c) {
        c.copperMode = 0;
        c.componentSide = c.solderSide = 0;
        c.pinCount = 0;
    });
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(doc->GetBoardSheet(kOutput)->GetItemCount(), 1);
}

TEST_F(DrcCheckTest, CancelledDialogTestsAndWritesNothing)
{
    CloseTracks(0);
    doc->OnDesignRuleCheck();
    EXPECT_EQ(drcHost.dialogs, 1);
    EXPECT_EQ(messages.Count(), 0u) << ::testing::PrintToString(messages.Texts());
    EXPECT_EQ(drcHost.saves, 0);
    EXPECT_FALSE(Exists("board.log"));
    EXPECT_FALSE(doc->IsBusy());
}

TEST_F(DrcCheckTest, TerminalsOnOneTrackShareANetAndAFreeTerminalStaysOff)
{
    // R1 pin 1 and R2 pin 1 on one track; R1 pin 2 alone on a stub; R2 pin 2 on none.
    CPart* r1 = AddPart("R1", CDPoint(0, 20), 0.0, {CDPoint(0, 0), CDPoint(0, 5)});
    CPart* r2 = AddPart("R2", CDPoint(10, 20), 0.0, {CDPoint(0, 0), CDPoint(0, 5)});
    AddLine(0, CDPoint(0, 20), CDPoint(10, 20));
    AddLine(0, CDPoint(0, 25), CDPoint(-2, 25));
    for (POSITION pos = r2->GetFirstLandPos(); pos;) {
        CLand* land = r2->GetNextLand(pos);
        if (land->GetPoint().y > 22)
            land->SetLayerNo(60); // no copper under R2's second pin
    }
    Run([](DrcChoice& c) {
        c.reverseIndex = 1;
        c.pinCount = 0;
        c.copperMode = 0;
        c.componentSide = c.solderSide = 0;
    });
    POSITION pos = r1->GetFirstTerPos();
    const CTer* r1p1 = r1->GetNextTer(pos);
    const CTer* r1p2 = r1->GetNextTer(pos);
    pos = r2->GetFirstTerPos();
    const CTer* r2p1 = r2->GetNextTer(pos);
    const CTer* r2p2 = r2->GetNextTer(pos);
    EXPECT_NE(r1p1->GetDisNetID(), 0u);
    EXPECT_EQ(r1p1->GetDisNetID(), r2p1->GetDisNetID());
    EXPECT_NE(r1p2->GetDisNetID(), r1p1->GetDisNetID());
    EXPECT_EQ(r2p2->GetDisNetID(), 0u);
    EXPECT_TRUE(r1p1->IsNetOn());
    EXPECT_FALSE(r2p2->IsNetOn());
    const std::string nix = Read("board.nix");
    EXPECT_NE(nix.find("    R1 :   1(NET000001),   2(  OPENNET);"), std::string::npos) << nix;
    EXPECT_NE(nix.find("    R2 :   1(NET000001),   2(     OPEN);"), std::string::npos) << nix;
}

// What a run on a fixed random board leaves: the lands of the output layers and of the undo store
// in order, the undo records, the reports and the message. A faster check must leave the same.
TEST_F(DrcCheckTest, AFixedRandomBoardLeavesThePinnedMarksUndoRecordsAndReports)
{
    std::mt19937 random(20261211u);
    auto at = [&](double side) { return static_cast<double>(random() % 10000u) * side / 10000.0; };
    for (int i = 0; i < 160; ++i) {
        const int layer = i % 2 == 0 ? 0 : 2;
        const CDPoint a(at(30.0), at(30.0));
        AddLine(layer, a, CDPoint(a.x + at(4.0) - 2.0, a.y + at(4.0) - 2.0));
        if (i % 4 == 0)
            AddLand(layer, CDPoint(at(30.0), at(30.0)));
    }
    for (int i = 0; i < 8; ++i)
        AddPart("U" + std::to_string(i + 1), CDPoint(at(30.0), at(30.0)), 0.5 + at(1.0),
                {CDPoint(-0.6, 0), CDPoint(0.6, 0), CDPoint(0, 0.8)});
    Run([](DrcChoice& c) { c.reverseNet = c.reverseIndex = c.pinCount = 1; });

    std::uint32_t h = 2166136261u;
    auto add = [&h](const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i)
            h = (h ^ bytes[i]) * 16777619u;
    };
    int marks = 0;
    auto addLands = [&](CSheet& sheet) {
        for (POSITION pos = sheet.GetFirstLandPos(); pos;) {
            const CLand* land = sheet.GetNextLand(pos);
            const double xy[2] = {land->GetPoint().x, land->GetPoint().y};
            const int words[4] = {static_cast<int>(land->GetID()), land->GetTurretNo(), land->GetLayerNo(),
                                  land->GetType()};
            add(xy, sizeof xy);
            add(words, sizeof words);
            ++marks;
        }
    };
    for (int layer = kOutput; layer < kOutput + 6; ++layer)
        addLands(*doc->GetBoardSheet(layer));
    addLands(*doc->GetUndoSheet());
    add(doc->GetUndoHistory().data(), doc->GetUndoHistory().size() * sizeof(unsigned));
    for (const char* name : {"board.drn", "board.crp", "board.log", "board.nix"}) {
        std::string bytes = Exists(name) ? Read(name) : std::string();
        // The reports name the board's folder, which differs from run to run.
        const std::string where = folder.string();
        for (std::size_t at = bytes.find(where); at != std::string::npos; at = bytes.find(where, at))
            bytes.replace(at, where.size(), "folder");
        add(bytes.data(), bytes.size());
    }
    add(Summary().text.data(), Summary().text.size());
    EXPECT_GT(marks, 100);
    EXPECT_EQ(h, 1095088248u) << Summary().text;
}

} // namespace
