// The clean-up command: the layers each target cleans, the undo step it makes, the log of the
// resist and metal-mask checks, and the enable rule of the board-wide Tools commands.

#include "document/VELTADoc.h"
#include "platform/J.h"
#include "tests/document/ToolCommandHost.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

class CleanUpTest : public EditFixture
{
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        doc->SetHost(&cleanHost);
        folder = Board().parent_path();
        doc->SetPathName((folder / "Test.VBD").string());
    }
    // Two equal lines on the layer: the clean-up leaves one.
    void AddDuplicate(int layer)
    {
        AddLine(layer, CDPoint(1, 1), CDPoint(5, 1));
        AddLine(layer, CDPoint(1, 1), CDPoint(5, 1));
    }
    void Run(int target, bool resist = false, bool metal = false)
    {
        cleanHost.cleanUp = [=](CleanUpChoice& c) {
            c.target = target;
            c.resist = resist ? 1 : 0;
            c.metal = metal ? 1 : 0;
        };
        doc->OnCleanUp();
    }
    std::string Log() const
    {
        std::ifstream in(folder / "Test.clean.log", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    ToolCommandHost cleanHost;
    fs::path folder;
};

TEST_F(CleanUpTest, BothChecksOffStillWriteTheTwoHeadingsBesideTheBoard)
{
    Run(0);
    EXPECT_EQ(Log(),
              _J("レジストエラー部品\t      0") + "\r\n" + _J("メタルマスクエラー部品\t      0") + "\r\n");
    EXPECT_EQ(cleanHost.saves, 1);
    EXPECT_FALSE(fs::exists(folder / "Test.log"));
}

TEST_F(CleanUpTest, TheWriteLayerTargetCleansTheCurrentLayerAndTheViaAndPartSheetOnly)
{
    for (int layer = 0; layer < 3; ++layer)
        AddDuplicate(layer);
    AddVia(CDPoint(3, 3));
    AddVia(CDPoint(3, 3));
    doc->SetCurrentLayer(1);
    Run(3);
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_EQ(OnBoard(1), 1);
    EXPECT_EQ(OnBoard(2), 2);
    EXPECT_EQ(OnBoard(LAYER_MAX), 1);
}

TEST_F(CleanUpTest, TargetsChooseTheirLayers)
{
    doc->GetBoardSheet(3)->GetLayerPoint()->display = 0;
    doc->BuildLayerLists();
    struct Case
    {
        int target;
        std::vector<int> left; // items left on layers 0, 1, 3, 7
    } cases[] = {{0, {1, 1, 1, 1}}, {1, {1, 1, 2, 2}}, {2, {1, 1, 2, 2}}, {9, {2, 2, 2, 2}}};
    for (const Case& c : cases) {
        for (int layer : {0, 1, 3, 7}) {
            doc->GetBoardSheet(layer)->DeleteContents();
            AddDuplicate(layer);
        }
        Run(c.target);
        EXPECT_EQ((std::vector<int>{OnBoard(0), OnBoard(1), OnBoard(3), OnBoard(7)}), c.left) << c.target;
    }
}

TEST_F(CleanUpTest, OneUndoRestoresTheCleanUpAndTheBoardIsModified)
{
    AddDuplicate(0);
    AddDuplicate(1);
    doc->SetModifiedFlag(false);
    Run(0);
    EXPECT_EQ(OnBoard(0) + OnBoard(1), 2);
    EXPECT_TRUE(doc->IsModified());
    doc->OnEditUndo();
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_EQ(OnBoard(1), 2);
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(CleanUpTest, NothingToCleanRecordsNothing)
{
    AddLine(0, CDPoint(1, 1), CDPoint(5, 1));
    doc->SetModifiedFlag(false);
    Run(0);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(CleanUpTest, APartFailingBothChecksIsListedInBothResistFirst)
{
    // A surface-mount part with a terminal and no resist opening fails both checks.
    CPart part;
    part.GetRefNameText()->SetName("U1");
    part.GetPartNameText()->SetName("SOP8");
    CLand land(CDPoint(12.5, 7.25), 1);
    land.SetLayerNo(0);
    part.NewLand(land);
    part.NewTer(CDPoint(12.5, 7.25), CText("1", CDPoint(12.5, 7.25), 0));
    part.SetOrg(CDPoint(12.5, 7.25));
    part.SetType(PART_PLACED | PART_SMD);
    doc->GetBoardSheet(LAYER_MAX)->NewPart(part);
    doc->SetUserOrigin(CDPoint(2.0, 2.0));
    Run(3, true, true);
    const std::string line = "U1\tSOP8\tX:12.500 Y:7.250\r\n";
    const std::string resist = _J("レジストエラー部品\t      1") + "\r\n" + line;
    const std::string metal = _J("メタルマスクエラー部品\t      1") + "\r\n" + line;
    EXPECT_EQ(Log(), resist + metal);
}

TEST_F(CleanUpTest, CancelChangesNothingAndTheViewOptionOpensTheLog)
{
    AddDuplicate(0);
    doc->OnCleanUp();
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_FALSE(fs::exists(folder / "Test.clean.log"));
    cleanHost.cleanUp = [](CleanUpChoice& c) { c.view = 1; };
    doc->OnCleanUp();
    EXPECT_EQ(cleanHost.opened, std::vector<std::string>{(folder / "Test.clean.log").string()});
}

TEST_F(CleanUpTest, ToolCommandsAreEnabledOnlyWhileNothingIsSelected)
{
    CLine* line = AddLine(0, CDPoint(1, 1), CDPoint(5, 1));
    EXPECT_TRUE(doc->OnUpdateToolCommand());
    doc->SelectItem(line, 0);
    EXPECT_FALSE(doc->OnUpdateToolCommand());
}

} // namespace
