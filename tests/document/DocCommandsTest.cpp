// Document commands: splitting at a point, copy increments, item tips, the part commands, the
// recent-part list, the cutter edits and the remaining board commands.

#include "model/items/Hole.h"
#include "model/items/Sur.h"
#include "model/items/Ter.h"
#include "model/library/Library.h"
#include "model/net/Net.h"
#include "platform/J.h"
#include "tests/document/EditFixture.h"
#include "tests/support/FakeItemDialogs.h"

#include <cmath>
#include <optional>

namespace {

// The edit host with the program dialogs the commands run, answering as a test sets.
class CommandHost : public EditHost
{
public:
    bool RunWorkAreaDialog(CDSize& size, CDPoint& origin) override
    {
        if (!workArea)
            return false;
        size = workArea->first;
        origin = workArea->second;
        return true;
    }
    bool RunPartManagerDialog(CSheet& parts) override
    {
        ++partManagerRuns;
        if (partManagerEdit)
            partManagerEdit(parts);
        return partManagerAnswer;
    }
    bool RunMakePartDialog(MakePartChoice& choice) override
    {
        ++makePartRuns;
        makePartIn = choice;
        choice.name = "LM358";
        if (choice.reference)
            choice.reference = "U?";
        choice.blockNumber = 7;
        choice.typeWord = PART_SMD;
        return makePartAnswer;
    }
    bool RunRegisterPartDialog(std::string& package, std::string& library, bool several) override
    {
        registerPackage = package;
        registerSeveral = several;
        library = registerLibrary;
        return !registerLibrary.empty();
    }
    bool RunNetManagerDialog(std::vector<COLORREF>& colours) override
    {
        for (COLORREF& c : colours)
            c = RGB(1, 2, 3);
        return true;
    }
    void ShowFoundPoint(const CDPoint& point) override { found.push_back(point); }
    bool IsShiftDown() override { return shift; }
    void EndCommand() override { ++endCommands; }
    void SetActiveTool(int t) override { tool = t; }

    std::optional<std::pair<CDSize, CDPoint>> workArea;
    bool partManagerAnswer = true;
    std::function<void(CSheet&)> partManagerEdit;
    int partManagerRuns = 0;
    bool shift = false;
    int endCommands = 0;
    int makePartRuns = 0;
    MakePartChoice makePartIn;
    bool makePartAnswer = true;
    std::string registerLibrary;
    std::string registerPackage;
    bool registerSeveral = false;
    std::vector<CDPoint> found;
};

class DocCommandsTest : public EditFixture
{
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        doc->SetHost(&commandHost);
    }

    CPart* AddPart(const std::string& ref, double x)
    {
        CPart part(CDPoint(x, 10), CDRect(x - 1, 9, x + 1, 11), 1, 0, 0.0, 0);
        part.SetRefName(ref.c_str());
        part.SetPartName("DIP8");
        part.NewTer(CDPoint(x, 10), CText("1", CDPoint(x, 10), 0))->SetLayerNo(1);
        part.GetPartNameText()->SetLayerNo(2);
        part.GetRefNameText()->SetLayerNo(2);
        return doc->GetBoardSheet(LAYER_MAX)->NewPart(part);
    }
    std::size_t UndoSteps() const { return doc->GetUndoHistory().size() / 12; }

    // A library file beside the board holding one package "DIP8": a land and a terminal on
    // layer 0 and the part name; it is the one registered library.
    std::string WriteLibrary()
    {
        const std::string path = (Board().parent_path() / "parts.vlb").string();
        CPart part(CDPoint(0, 0), CDRect(-1, -1, 1, 1), 1, 0, 0.0, 0);
        part.SetPartName("DIP8");
        part.NewLand(CDPoint(0, 0), 1)->SetLayerNo(0);
        part.NewTer(CDPoint(0, 0), CText("1", CDPoint(0, 0), 0))->SetLayerNo(0);
        CSheet sheet;
        sheet.SetDocument(doc.get());
        sheet.NewPart(part);
        CLibrary library;
        library.SetLibraryName(path);
        library.SetPackageName("DIP8");
        EXPECT_TRUE(library.WritePart(&sheet, 0));
        profile.SetString("Library File List", "File1", path);
        return path;
    }

    CommandHost commandHost;
};

// ---------------------------------------------------------------------------------------------
// Splitting

TEST_F(DocCommandsTest, ALineSplitInsideGivesTwoSelectedPiecesSharingThePoint)
{
    CLine* line = AddLine(0, CDPoint(10, 10), CDPoint(20, 10));
    ASSERT_TRUE(doc->SplitItemAtPoint(line, CDPoint(14, 10), 0));
    EXPECT_EQ(OnBoard(0), 0);
    ASSERT_EQ(Selected(0), 2);
    CSheet* sel = doc->GetSelectionSheet(0);
    POSITION pos = sel->GetFirstLinePos();
    CLine* first = sel->GetNextLine(pos);
    CLine* second = sel->GetNextLine(pos);
    EXPECT_NEAR(first->GetLength(), 4.0, 1e-9);
    EXPECT_NEAR(second->GetLength(), 6.0, 1e-9);
    EXPECT_TRUE(first->GetEndPoint() == CDPoint(14, 10));
    EXPECT_TRUE(second->GetStartPoint() == CDPoint(14, 10));
    EXPECT_TRUE(first->CheckEndEdge() && !first->CheckStartEdge());
    EXPECT_TRUE(second->CheckStartEdge() && !second->CheckEndEdge());
    // The line as it was waits in the replaced items for the undo step.
    EXPECT_EQ(doc->GetReplacedSheet(0)->GetKindCount(KIND_LINE), 1);
}

TEST_F(DocCommandsTest, AClickOnALineEndMarksItWithoutCutting)
{
    CLine* line = AddLine(0, CDPoint(10, 10), CDPoint(20, 10));
    ASSERT_TRUE(doc->SplitItemAtPoint(line, CDPoint(20, 10), 0));
    ASSERT_EQ(Selected(0), 1);
    CLine* whole = doc->GetSelectionSheet(0)->GetHeadLine();
    EXPECT_NEAR(whole->GetLength(), 10.0, 1e-9);
    EXPECT_TRUE(whole->CheckEndEdge());
    EXPECT_FALSE(whole->CheckStartEdge());
}

TEST_F(DocCommandsTest, APointBesideTheLineChangesNothing)
{
    CLine* line = AddLine(0, CDPoint(10, 10), CDPoint(20, 10));
    EXPECT_FALSE(doc->SplitItemAtPoint(line, CDPoint(15, 12), 0));
    EXPECT_EQ(OnBoard(0), 1);
    EXPECT_EQ(Selected(0), 0);
}

TEST_F(DocCommandsTest, ADimensionLineSplitShowsTwoDimensions)
{
    CLine* line = AddLine(0, CDPoint(0, 0), CDPoint(10, 0));
    line->SetName(std::string("10"), 100, true);
    line->ModifyType(LINE_NAMED | LINE_AUTO_SIZE, 0);
    ASSERT_TRUE(doc->SplitItemAtPoint(line, CDPoint(4, 0), 0));
    CSheet* sel = doc->GetSelectionSheet(0);
    ASSERT_EQ(sel->GetKindCount(KIND_LINE), 2);
    for (POSITION pos = sel->GetFirstLinePos(); pos;) {
        CLine* piece = sel->GetNextLine(pos);
        EXPECT_TRUE(piece->IsAutoSize());
        EXPECT_NEAR(std::atof(piece->GetName().c_str()), piece->GetLength(), 1e-6) << piece->GetName();
    }
}

TEST_F(DocCommandsTest, AnArcSplitsAtTheAngleOfThePoint)
{
    CArc* arc = doc->GetBoardSheet(0)->NewArc(CDPoint(0, 0), 10.0, 0.0, M_PI, 0, 2);
    ASSERT_TRUE(doc->SplitItemAtPoint(arc, CDPoint(0, 10), 0));
    CSheet* sel = doc->GetSelectionSheet(0);
    ASSERT_EQ(sel->GetKindCount(KIND_ARC), 2);
    POSITION pos = sel->GetFirstArcPos();
    CArc* first = sel->GetNextArc(pos);
    CArc* second = sel->GetNextArc(pos);
    EXPECT_NEAR(first->GetEndAngle(), M_PI / 2, 1e-9);
    EXPECT_NEAR(second->GetStartAngle(), M_PI / 2, 1e-9);
    EXPECT_TRUE(first->CheckEndEdge());
    EXPECT_TRUE(second->CheckStartEdge());
}

// ---------------------------------------------------------------------------------------------
// Copy increment

TEST_F(DocCommandsTest, ASingleCopiedPartEndingInNineGetsTen)
{
    doc->SelectItem(AddPart("R9", 10), LAYER_MAX);
    doc->IncrementCopyNames(0);
    EXPECT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetHeadPart()->GetRefName(), "R10");
}

TEST_F(DocCommandsTest, TextsFollowTheTextSettings)
{
    CText* text = doc->GetSelectionSheet(0)->NewText(CText("T1", CDPoint(5, 5), 0));
    doc->IncrementCopyNames(0);
    EXPECT_EQ(text->GetName(), "T1"); // TextEnable 0
    profile.SetInt("CopyIncrement", "TextEnable", 1);
    doc->IncrementCopyNames(0);
    EXPECT_EQ(text->GetName(), "T2");
    // Two texts: nothing is incremented by the settings.
    CText* other = doc->GetSelectionSheet(1)->NewText(CText("U1", CDPoint(5, 5), 0));
    doc->IncrementCopyNames(0);
    EXPECT_EQ(text->GetName(), "T2");
    EXPECT_EQ(other->GetName(), "U1");
    doc->IncrementCopyNames(3);
    EXPECT_EQ(text->GetName(), "T5");
    EXPECT_EQ(other->GetName(), "U4");
}

TEST_F(DocCommandsTest, ATerminalNumberNeverStepsToZero)
{
    CTer* ter = doc->GetSelectionSheet(0)->NewTer(CDPoint(1, 1), CText("1", CDPoint(1, 1), 0), 0);
    doc->IncrementCopyNames(-1);
    EXPECT_EQ(ter->GetNo(), "1");
    doc->IncrementCopyNames(0);
    EXPECT_EQ(ter->GetNo(), "2");
}

// ---------------------------------------------------------------------------------------------
// Item tips

TEST_F(DocCommandsTest, TipsDescribeTheFirstItemInTheSearchOrder)
{
    // User origin (25.4, 25.4): the via sits at user (10, 5), above a land.
    AddLand(0, CDPoint(35.4, 30.4));
    doc->Via(3) = doc->Via(1);
    CVia* via = AddVia(CDPoint(35.4, 30.4));
    via->SetViaNo(3);
    std::string tip;
    ASSERT_TRUE(doc->GetItemTipText(CDPoint(35.4, 30.4), tip));
    EXPECT_EQ(tip, "<Via> 3\n(10.0, 5.0)");

    ASSERT_TRUE(doc->GetItemTipText(CDPoint(60, 60), tip) == false);
    doc->GetBoardSheet(1)->NewArc(CDPoint(60, 60), 5.0, 0.0, M_PI / 2, 0x100, 2);
    ASSERT_TRUE(doc->GetItemTipText(CDPoint(65, 60), tip));
    EXPECT_EQ(tip.rfind("<Layer>   2  <Turret>   2\n", 0), 0u) << tip;
    EXPECT_EQ(tip.substr(tip.size() - 3), "\nCW") << tip;
}

TEST_F(DocCommandsTest, HoleTipsEndWithTheirPlating)
{
    doc->GetBoardSheet(2)->NewHole(CDPoint(80, 80), 1.0, true, 0.0, 0.0, 0.0);
    std::string tip;
    ASSERT_TRUE(doc->GetItemTipText(CDPoint(80, 80), tip));
    EXPECT_EQ(tip, "<Layer>   3  <D> 1.0\n(54.6, 54.6)\nNTH");
    CHole* slot = doc->GetBoardSheet(2)->NewHole(CDPoint(90, 90), 1.0, false, 3.0, 0.0, 0.0);
    ASSERT_GT(slot->GetType() & 0xFF, 15);
    ASSERT_TRUE(doc->GetItemTipText(CDPoint(90, 90), tip));
    EXPECT_EQ(tip.substr(tip.size() - 4), "LNTH") << tip;
}

// ---------------------------------------------------------------------------------------------
// Part commands

TEST_F(DocCommandsTest, ResetPartNumbersDropsTheNumber)
{
    CPart* r12 = AddPart("R12", 10);
    CPart* c3a = AddPart("C3A", 20);
    CPart* open = AddPart("Q?", 30);
    doc->SelectItem(r12, LAYER_MAX);
    doc->SelectItem(c3a, LAYER_MAX);
    doc->SelectItem(open, LAYER_MAX);
    ASSERT_TRUE(doc->CanResetPartNumbers());
    messages.QueueAnswer(IDOK);
    doc->OnResetPartNumbers();
    EXPECT_EQ(messages.Last().text, _J("選択した部品の参照番号をリセットしますか？"));
    EXPECT_EQ(messages.Last().type, MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
    std::vector<std::string> refs;
    CSheet* board = doc->GetBoardSheet(LAYER_MAX);
    for (POSITION pos = board->GetFirstPartPos(); pos;)
        refs.push_back(board->GetNextPart(pos)->GetRefName());
    std::sort(refs.begin(), refs.end());
    EXPECT_EQ(refs, (std::vector<std::string>{"C?A", "Q?", "R?"}));
    EXPECT_EQ(UndoSteps(), 2u);
}

TEST_F(DocCommandsTest, ExplodingTwoPartsUndoesInOneStep)
{
    doc->SelectItem(AddPart("R1", 10), LAYER_MAX);
    doc->SelectItem(AddPart("R2", 20), LAYER_MAX);
    commandHost.tool = 22;
    ASSERT_TRUE(doc->CanExplodePart());
    messages.QueueAnswer(IDYES);
    doc->OnExplodePart();
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_PART), 0);
    EXPECT_EQ(doc->GetBoardSheet(1)->GetKindCount(KIND_TER), 2);
    // The part-name texts read NAME; the references REF.
    int names = 0, refs = 0;
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        CSheet* sheet = doc->GetBoardSheet(layer);
        for (POSITION pos = sheet->GetFirstTextPos(); pos;) {
            const std::string& s = sheet->GetNextText(pos)->GetName();
            names += s == "NAME";
            refs += s == "REF";
        }
    }
    EXPECT_EQ(names, 2);
    EXPECT_EQ(refs, 2);
    doc->OnEditUndo();
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_PART), 2);
    EXPECT_EQ(doc->GetBoardSheet(1)->GetKindCount(KIND_TER), 0);
    EXPECT_EQ(doc->GetBoardSheet(2)->GetKindCount(KIND_TEXT), 0);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

TEST_F(DocCommandsTest, MakePartWantsExactlyOneNameText)
{
    tagPARTLAYER& silk = doc->GetLayerStack().partLayers[PL_SILKTEXT];
    silk.layerA = 2;
    silk.layerB = 3;
    commandHost.tool = 22;
    doc->GetSelectionSheet(2)->NewText(CText("name", CDPoint(1, 1), 0));
    doc->GetSelectionSheet(0)->NewLine(CLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0));
    EXPECT_TRUE(doc->CanMakePart());
    doc->GetSelectionSheet(3)->NewText(CText("NAME", CDPoint(1, 1), 0));
    EXPECT_FALSE(doc->CanMakePart());
}

TEST_F(DocCommandsTest, MakePartAsksAboutDuplicateTerminalNumbers)
{
    tagPARTLAYER& silk = doc->GetLayerStack().partLayers[PL_SILKTEXT];
    silk.layerA = 2;
    silk.layerB = 3;
    doc->GetSelectionSheet(2)->NewText(CText("Name", CDPoint(1, 1), 0));
    doc->GetSelectionSheet(0)->NewTer(CDPoint(1, 1), CText("1", CDPoint(1, 1), 0), 0);
    doc->GetSelectionSheet(0)->NewTer(CDPoint(3, 1), CText("1", CDPoint(3, 1), 0), 0);
    messages.QueueAnswer(IDNO);
    doc->OnMakePart();
    EXPECT_EQ(messages.Last().text, _J("端子番号が重複しています\n続行しますか？"));
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_PART), 0);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

// ---------------------------------------------------------------------------------------------
// Recent parts and part input

TEST_F(DocCommandsTest, TheRecentListKeepsSixteenNewestFirst)
{
    for (int i = 0; i < 17; ++i)
        doc->AddRecentPart("P" + std::to_string(i));
    std::vector<std::string> names = CVELTADoc::ReadRecentParts();
    ASSERT_EQ(names.size(), 16u);
    EXPECT_EQ(profile.GetString("Recent Part List", "Part0"), "P16");
    EXPECT_EQ(names.back(), "P1");
    EXPECT_FALSE(profile.HasKey("Recent Part List", "Part16"));

    doc->AddRecentPart("p14"); // the third entry in another case
    names = CVELTADoc::ReadRecentParts();
    EXPECT_EQ(names.size(), 16u);
    EXPECT_EQ(names[0], "p14");
    EXPECT_EQ(names[1], "P16");
    EXPECT_EQ(names[2], "P15");

    doc->RemoveRecentPart("absent");
    EXPECT_EQ(CVELTADoc::ReadRecentParts(), names);
    doc->RemoveRecentPart("P15");
    EXPECT_EQ(CVELTADoc::ReadRecentParts().size(), 15u);
}

TEST_F(DocCommandsTest, TheRecentListEndsAtAGap)
{
    profile.SetString("Recent Part List", "Part0", "A");
    profile.SetString("Recent Part List", "Part2", "C");
    EXPECT_EQ(CVELTADoc::ReadRecentParts(), (std::vector<std::string>{"A"}));
    doc->AddRecentPart("B");
    EXPECT_EQ(CVELTADoc::ReadRecentParts(), (std::vector<std::string>{"B", "A"}));
    EXPECT_FALSE(profile.HasKey("Recent Part List", "Part2"));
}

TEST_F(DocCommandsTest, PartInputRefusesWhileViasAreSelected)
{
    FakeItemDialogs dialogs;
    doc->SelectItem(AddVia(CDPoint(5, 5)), LAYER_MAX);
    EXPECT_EQ(doc->InputPart(CDPoint(1, 1), "", ""), 0);
    EXPECT_EQ(dialogs.calls, 0);
    EXPECT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetKindCount(KIND_VIA), 1);
}

TEST_F(DocCommandsTest, APartMissingFromEveryLibraryLeavesTheRecentList)
{
    FakeItemDialogs dialogs;
    dialogs.onPartIn = [](PartInDialogData& data) { data.partName = "NOPE"; };
    doc->AddRecentPart("NOPE");
    EXPECT_EQ(doc->InputPart(CDPoint(1, 1), "", ""), -1);
    EXPECT_EQ(messages.Last().text, "NOPE" + _J("が見つかりません"));
    EXPECT_TRUE(CVELTADoc::ReadRecentParts().empty());
}

// ---------------------------------------------------------------------------------------------
// Cutter and convert to line

TEST_F(DocCommandsTest, AChamferCrossingOneLineRemovesOnlyThePath)
{
    AddLine(0, CDPoint(0, 0), CDPoint(10, 0));
    doc->GetBoardSheet(LAYER_MAX)->NewLine(CDPoint(5, -5), CDPoint(5, 5), 0, 0);
    commandHost.tool = ID_INPUT_CUTTER;
    ASSERT_TRUE(doc->CanCutterEdit());
    doc->OnCutterEdit(32966);
    EXPECT_EQ(OnBoard(0), 1);
    EXPECT_EQ(Selected(0), 0);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_LINE), 0);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
    EXPECT_EQ(commandHost.endCommands, 1);
}

TEST_F(DocCommandsTest, ATrimThatChangesNothingRecordsNoStep)
{
    AddLine(0, CDPoint(0, 0), CDPoint(10, 0));
    AddLine(0, CDPoint(0, 2), CDPoint(10, 2));
    doc->GetBoardSheet(LAYER_MAX)->NewLine(CDPoint(5, -5), CDPoint(5, 5), 0, 0);
    doc->OnCutterEdit(32968);
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_EQ(Selected(0), 0);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

TEST_F(DocCommandsTest, ACancelledNumberLeavesTheBoard)
{
    FakeItemDialogs dialogs;
    dialogs.answer = false;
    AddLine(0, CDPoint(0, 0), CDPoint(10, 0));
    AddLine(0, CDPoint(10, 0), CDPoint(10, 10));
    doc->GetBoardSheet(LAYER_MAX)->NewLine(CDPoint(5, -1), CDPoint(11, 5), 0, 0);
    doc->OnCutterEdit(32967);
    EXPECT_EQ(OnBoard(0), 2);
    EXPECT_EQ(Selected(0), 0);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_LINE), 0);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

TEST_F(DocCommandsTest, AChamferOfTwoLinesIsOneUndoStep)
{
    FakeItemDialogs dialogs;
    dialogs.onNumberIn = [](NumberInDialogData& data) {
        data.first = 2.0;
        data.second = 0.0;
    };
    AddLine(0, CDPoint(0, 0), CDPoint(10, 0));
    AddLine(0, CDPoint(10, 0), CDPoint(10, 10));
    doc->GetBoardSheet(LAYER_MAX)->NewLine(CDPoint(5, -1), CDPoint(11, 5), 0, 0);
    doc->OnCutterEdit(32966);
    EXPECT_EQ(OnBoard(0), 3); // two shortened lines and the chamfer, no stale copies
    EXPECT_EQ(Selected(0), 0);
    EXPECT_EQ(UndoSteps(), 2u);
    doc->OnEditUndo();
    EXPECT_EQ(OnBoard(0), 2);
}

TEST_F(DocCommandsTest, TheSelectionLengthCountsAFullCircle)
{
    doc->GetSelectionSheet(0)->NewArc(CDPoint(0, 0), 1.0, 0.0, 0.0, 0, 2);
    doc->GetSelectionSheet(1)->NewLine(CLine(CDPoint(0, 0), CDPoint(3, 4), 2, 0));
    EXPECT_DOUBLE_EQ(doc->GetSelectionLength(), 6.283185307179586 + 5.0);
}

TEST_F(DocCommandsTest, ConvertingLinesOnlyRecordsNothing)
{
    doc->SelectItem(AddLine(0, CDPoint(0, 0), CDPoint(10, 0)), 0);
    ASSERT_TRUE(doc->CanConvertToLine());
    doc->OnConvertToLine();
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

TEST_F(DocCommandsTest, ConvertingAnArcRemovesTheArc)
{
    doc->SelectItem(doc->GetBoardSheet(0)->NewArc(CDPoint(0, 0), 5.0, 0.0, M_PI, 0, 2), 0);
    doc->OnConvertToLine();
    EXPECT_EQ(doc->GetBoardSheet(0)->GetKindCount(KIND_ARC), 0);
    EXPECT_GT(doc->GetBoardSheet(0)->GetKindCount(KIND_LINE), 1);
    EXPECT_EQ(UndoSteps(), 2u);
    doc->OnEditUndo();
    EXPECT_EQ(doc->GetBoardSheet(0)->GetKindCount(KIND_ARC), 1);
    EXPECT_EQ(doc->GetBoardSheet(0)->GetKindCount(KIND_LINE), 0);
}

// ---------------------------------------------------------------------------------------------
// Other commands

TEST_F(DocCommandsTest, TheWorkAreaSetsTheScale)
{
    commandHost.workArea = std::make_pair(CDSize(200, 150), CDPoint(10, 10));
    doc->OnWorkArea();
    EXPECT_EQ(doc->GetCoordScale(), 163);
    EXPECT_TRUE(doc->GetBoardSize() == CDSize(200, 150));
    EXPECT_NE(ReadFile(Board()).find("[SHEET_SIZE]"), std::string::npos);
    commandHost.workArea = std::make_pair(CDSize(327, 327), CDPoint(25.4, 25.4));
    doc->OnWorkArea();
    EXPECT_EQ(doc->GetCoordScale(), 100);
    EXPECT_TRUE(doc->GetBoardSize() == CDSize(327, 327));
    ASSERT_FALSE(commandHost.repaints.empty());
    EXPECT_EQ(commandHost.repaints.back().hint, 2);
    CDPoint::SetScale(100);
}

TEST_F(DocCommandsTest, F10TwiceRestoresTheLayers)
{
    doc->SelectLayer(1);
    doc->GetSetSheet(0, 3)->GetLayerPoint()->enable = 0;
    doc->BuildLayerLists();
    doc->OnLayerSaveRestore();
    EXPECT_TRUE(doc->IsLayerStateSaved());
    EXPECT_TRUE(doc->IsDisplayedLayer(0));
    EXPECT_TRUE(doc->IsDisplayedLayer(1));
    EXPECT_FALSE(doc->IsDisplayedLayer(2));
    EXPECT_FALSE(doc->IsDisplayedLayer(3));
    doc->OnLayerSaveRestore();
    EXPECT_FALSE(doc->IsLayerStateSaved());
    for (int layer = 0; layer < 4; ++layer) {
        EXPECT_TRUE(doc->GetBoardSheet(layer)->IsDisp()) << layer;
        EXPECT_EQ(doc->GetBoardSheet(layer)->IsEnable(), layer != 3) << layer;
    }
}

TEST_F(DocCommandsTest, APartManagerRunWithoutChangesRecordsNothing)
{
    AddPart("R1", 10);
    doc->OnPartManager();
    EXPECT_EQ(commandHost.partManagerRuns, 1);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
    commandHost.partManagerEdit = [](CSheet& parts) { parts.GetHeadPart()->SetRefName("R7"); };
    doc->OnPartManager();
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetHeadPart()->GetRefName(), "R7");
    EXPECT_EQ(UndoSteps(), 2u);
}

TEST_F(DocCommandsTest, SwappingLayers)
{
    AddLine(0, CDPoint(0, 0), CDPoint(1, 0));
    int zero = 0, two = 2;
    doc->SwapLayers(&zero, &zero, 1);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
    EXPECT_EQ(OnBoard(0), 1);
    doc->SwapLayers(&zero, &two, 1);
    EXPECT_EQ(OnBoard(0), 0);
    ASSERT_EQ(OnBoard(2), 1);
    EXPECT_EQ(doc->GetBoardSheet(2)->GetHeadLine()->GetLayerNo(), 2);
    doc->OnEditUndo();
    EXPECT_EQ(OnBoard(0), 1);
    EXPECT_EQ(OnBoard(2), 0);
}

TEST_F(DocCommandsTest, CanPlaceViaKeepsOffViasAndTheSecondList)
{
    AddVia(CDPoint(5, 5));
    EXPECT_FALSE(doc->CanPlaceVia(CDPoint(5, 5), false));
    EXPECT_TRUE(doc->CanPlaceVia(CDPoint(20, 20), false));
    EXPECT_FALSE(doc->CanPlaceVia(CDPoint(20, 20), true));
    AddLine(0, CDPoint(15, 20), CDPoint(25, 20));
    EXPECT_TRUE(doc->CanPlaceVia(CDPoint(20, 20), true));
}

TEST_F(DocCommandsTest, APartIsReadFromTheLibraryAndPlacedAtTypedCoordinates)
{
    WriteLibrary();
    FakeItemDialogs dialogs;
    dialogs.onPartIn = [](PartInDialogData& data) {
        data.partName = "dip8";
        data.reference = "U3";
        data.position = CDPoint(10, 99);
        data.xGiven = true;
    };
    EXPECT_EQ(doc->InputPart(CDPoint(50, 60), "U1", "74HC00"), 2);
    EXPECT_EQ(dialogs.lastPartIn.value, "74HC00");
    CSheet* sel = doc->GetSelectionSheet(LAYER_MAX);
    ASSERT_EQ(sel->GetKindCount(KIND_PART), 1);
    CPart* part = sel->GetHeadPart();
    // A typed x and the clicked y.
    EXPECT_TRUE(part->GetOrg() == CDPoint(35.4, 60)) << part->GetOrg().x << "," << part->GetOrg().y;
    EXPECT_EQ(part->GetRefName(), "U3");
    EXPECT_EQ(CVELTADoc::ReadRecentParts(), (std::vector<std::string>{"dip8"}));
    EXPECT_TRUE(doc->GetPartInputSheet()->IsEmpty());
}

TEST_F(DocCommandsTest, APartOnHiddenLayersIsRefusedButRemembered)
{
    WriteLibrary();
    FakeItemDialogs dialogs;
    dialogs.onPartIn = [](PartInDialogData& data) { data.partName = "DIP8"; };
    for (int set : {0, 2, 5})
        doc->GetSetSheet(set, 0)->GetLayerPoint()->display = 0;
    doc->GetSetSheet(0, 0)->GetLayerPoint()->enable = 0;
    doc->BuildLayerLists();
    EXPECT_EQ(doc->InputPart(CDPoint(50, 60), "", ""), -1);
    EXPECT_EQ(messages.Last().text.rfind(_J("部品を表示できません。"), 0), 0u);
    EXPECT_TRUE(doc->GetSelectionSheet(LAYER_MAX)->IsEmpty());
    EXPECT_EQ(CVELTADoc::ReadRecentParts(), (std::vector<std::string>{"DIP8"}));
}

TEST_F(DocCommandsTest, RegisteringAPartStoresItUnnumbered)
{
    const std::string path = (Board().parent_path() / "mine.vlb").string();
    profile.SetString("Library File List", "File1", path);
    CPart* part = AddPart("R5", 10);
    part->ModifyType(PART_PLACED, 0);
    doc->SelectItem(part, LAYER_MAX);
    commandHost.tool = 22;
    ASSERT_TRUE(doc->CanRegisterPart());
    commandHost.registerLibrary = path;
    messages.SetDefaultAnswer(IDYES);
    doc->OnRegisterPart();
    EXPECT_EQ(commandHost.registerPackage, "DIP8");
    EXPECT_FALSE(commandHost.registerSeveral);
    ASSERT_TRUE(doc->ReadLibraryPart("DIP8", path));
    CPart* stored = doc->GetPartInputSheet()->GetHeadPart();
    EXPECT_EQ(stored->GetRefName(), "R?");
    EXPECT_EQ(stored->GetType() & PART_PLACED, 0);
}

TEST_F(DocCommandsTest, MakePartTurnsTheSelectionIntoOnePart)
{
    tagPARTLAYER& silk = doc->GetLayerStack().partLayers[PL_SILKTEXT];
    silk.layerA = 2;
    silk.layerB = 3;
    doc->GetSelectionSheet(2)->NewText(CText("Name", CDPoint(1, 1), 0));
    doc->GetSelectionSheet(2)->NewText(CText("Ref", CDPoint(1, 3), 0));
    doc->GetSelectionSheet(0)->NewTer(CDPoint(5, 1), CText("2", CDPoint(5, 1), 0), 0);
    doc->GetSelectionSheet(0)->NewTer(CDPoint(3, 1), CText("1", CDPoint(3, 1), 0), 0);
    doc->GetSelectionSheet(0)->NewLand(CDPoint(3, 1), 1);
    doc->OnMakePart();
    EXPECT_EQ(commandHost.makePartRuns, 1);
    CSheet* board = doc->GetBoardSheet(LAYER_MAX);
    ASSERT_EQ(board->GetKindCount(KIND_PART), 1);
    CPart* part = board->GetHeadPart();
    // The dialog saw the selection's texts and terminals; the part carries its answers.
    EXPECT_EQ(commandHost.makePartIn.name, "Name");
    EXPECT_EQ(commandHost.makePartIn.reference, std::optional<std::string>("Ref"));
    EXPECT_FALSE(commandHost.makePartIn.value);
    EXPECT_EQ(commandHost.makePartIn.terminals, 2);
    EXPECT_EQ(part->GetPartName(), "LM358");
    EXPECT_EQ(part->GetRefName(), "U?");
    EXPECT_EQ(part->GetPackage(), 7u);
    EXPECT_EQ(part->GetType() & 0xFF, PART_SMD & 0xFF);
    EXPECT_EQ(part->GetTerCount(), 2);
    // No origin land: the first terminal by number gives the origin.
    EXPECT_TRUE(part->GetOrg() == CDPoint(3, 1));
    EXPECT_EQ(part->GetType() & 0x1010, 0);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(OnBoard(0), 0);
    EXPECT_EQ(commandHost.endCommands, 1);
    doc->OnEditUndo();
    EXPECT_EQ(board->GetKindCount(KIND_PART), 0);
    EXPECT_EQ(OnBoard(0), 3);
    EXPECT_EQ(OnBoard(2), 2);
}

TEST_F(DocCommandsTest, MakePartOnTheSolderSideMarksThePart)
{
    tagPARTLAYER& silk = doc->GetLayerStack().partLayers[PL_SILKTEXT];
    silk.layerA = 2;
    silk.layerB = 3;
    doc->GetSelectionSheet(3)->NewText(CText("NAME", CDPoint(1, 1), 0));
    doc->GetSelectionSheet(1)->NewTer(CDPoint(3, 1), CText("1", CDPoint(3, 1), 0), 0);
    doc->OnMakePart();
    CPart* part = doc->GetBoardSheet(LAYER_MAX)->GetHeadPart();
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->GetType() & 0x1010, 0x1010);
}

TEST_F(DocCommandsTest, MakePartWithoutAnOriginAsksFirst)
{
    tagPARTLAYER& silk = doc->GetLayerStack().partLayers[PL_SILKTEXT];
    silk.layerA = 2;
    silk.layerB = 3;
    doc->GetSelectionSheet(2)->NewText(CText("Name", CDPoint(1, 1), 0));
    doc->GetSelectionSheet(2)->NewLine(CLine(CDPoint(0, 0), CDPoint(1, 0), 2, 0));
    messages.QueueAnswer(IDNO);
    doc->OnMakePart();
    EXPECT_EQ(messages.Last().text, _J("実装原点データが認識できません。\n続行しますか？"));
    EXPECT_EQ(commandHost.makePartRuns, 0);
    EXPECT_EQ(Selected(2), 2);
}

TEST_F(DocCommandsTest, MergeAndSplitMoveItemsBetweenPartAndLayer)
{
    CPart* part = AddPart("R1", 10);
    part->NewLine(CDPoint(9, 9), CDPoint(11, 9), 2, 0)->SetLayerNo(0);
    doc->SelectItem(part, LAYER_MAX);
    commandHost.tool = 22;
    ASSERT_TRUE(doc->CanMergeSplitPart());
    doc->OnMergeSplitPart();
    EXPECT_EQ(OnBoard(0), 1); // the part's line on the current layer left it
    CPart* split = doc->GetBoardSheet(LAYER_MAX)->GetHeadPart();
    EXPECT_EQ(split->GetKindCount(KIND_LINE), 0);

    doc->SelectItem(split, LAYER_MAX);
    doc->SelectItem(doc->GetBoardSheet(0)->GetHeadLine(), 0);
    ASSERT_TRUE(doc->CanMergeSplitPart());
    doc->OnMergeSplitPart();
    EXPECT_EQ(OnBoard(0), 0);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetHeadPart()->GetKindCount(KIND_LINE), 1);
    doc->OnEditUndo();
    EXPECT_EQ(OnBoard(0), 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetHeadPart()->GetKindCount(KIND_LINE), 0);
}

TEST_F(DocCommandsTest, FindingTextStepsThroughTheHits)
{
    doc->GetBoardSheet(0)->NewText(CText("abc", CDPoint(1, 1), 0));
    doc->GetBoardSheet(0)->NewText(CText(_J("部品ABC"), CDPoint(2, 2), 0));
    doc->GetBoardSheet(1)->NewText(CText("ABC", CDPoint(3, 3), 0));
    profile.SetString("Find", "Find1", "abc");
    profile.SetInt("Find", "LayMode", 1);
    EXPECT_TRUE(doc->FindString(false));
    EXPECT_TRUE(doc->FindString(true));
    EXPECT_TRUE(doc->FindString(true));
    EXPECT_FALSE(doc->FindString(true));
    ASSERT_EQ(commandHost.found.size(), 3u);
    EXPECT_TRUE(commandHost.found[1] == CDPoint(2, 2));
    EXPECT_TRUE(commandHost.found[2] == CDPoint(3, 3));

    profile.SetInt("Find", "SelectItem", 1);
    profile.SetInt("Find", "MatchCase", 1);
    EXPECT_TRUE(doc->FindString(false));
    EXPECT_EQ(Selected(0), 1); // only the current layer, and only "abc" in its case
    EXPECT_EQ(commandHost.tool, 22);
}

TEST_F(DocCommandsTest, LayerListsAsText)
{
    WriteFile(Board(), Section("WIRE_VIA_LAYER", "1:1::3,4:2,3,5:5;\r\n2:2::4:5:6,7;\r\n"));
    doc->ReadWireViaLayer();
    EXPECT_EQ(doc->GetLayerListText(1, 32), "  3,  4");
    EXPECT_EQ(doc->GetLayerListText(2, 32), "  4");
    EXPECT_EQ(doc->GetLayerListText(0, 64), "  2,  3,  5");
    EXPECT_EQ(doc->GetLayerListText(1, 128), "  5");
    EXPECT_EQ(doc->GetLayerListText(2, 128), "  6,  7");
    // The second list keeps vias off its layers.
    doc->GetBoardSheet(2)->NewLine(CDPoint(0, 5), CDPoint(10, 5), 2, 0);
    EXPECT_FALSE(doc->CanPlaceVia(CDPoint(5, 5), false));
}

TEST_F(DocCommandsTest, F10WithShiftHidesTheViasAndParts)
{
    commandHost.shift = true;
    doc->OnLayerSaveRestore();
    EXPECT_FALSE(doc->GetBoardSheet(LAYER_MAX)->IsDisp());
    commandHost.shift = false;
    doc->OnLayerSaveRestore();
    EXPECT_TRUE(doc->GetBoardSheet(LAYER_MAX)->IsDisp());
    EXPECT_TRUE(doc->GetBoardSheet(LAYER_MAX)->IsEnable());
}

TEST_F(DocCommandsTest, TheNetManagerColoursTheNets)
{
    doc->AddNet(std::make_unique<CNet>());
    doc->AddNet(std::make_unique<CNet>());
    doc->OnNetManager();
    for (const auto& net : doc->GetNets())
        EXPECT_EQ(net->GetColor(), RGB(1, 2, 3));
}

TEST_F(DocCommandsTest, AnUnreadableLibraryIsSkipped)
{
    const std::string good = WriteLibrary();
    profile.SetString("Library File List", "File1", (Board().parent_path() / "missing.vlb").string());
    profile.SetString("Library File List", "File2", good);
    FakeItemDialogs dialogs;
    dialogs.onPartIn = [](PartInDialogData& data) { data.partName = "DIP8"; };
    EXPECT_EQ(doc->InputPart(CDPoint(50, 60), "", ""), 1);
    EXPECT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetKindCount(KIND_PART), 1);
    // Declining to create the missing library leaves no file behind.
    EXPECT_FALSE(std::filesystem::exists(Board().parent_path() / "missing.vlb"));
}

// Every cutter command that asks a number, with answers of 0 and below: the board keeps one copy
// of each item, the path goes and nothing is left selected.
class CutterNumbersTest : public DocCommandsTest,
                          public ::testing::WithParamInterface<std::tuple<int, double>>
{
};

TEST_P(CutterNumbersTest, ZeroOrNegativeNumbersAreHarmless)
{
    const auto [command, number] = GetParam();
    FakeItemDialogs dialogs;
    dialogs.onNumberIn = [number = number](NumberInDialogData& data) {
        data.first = number;
        data.second = number;
    };
    AddLine(0, CDPoint(0, 0), CDPoint(10, 0));
    AddLine(0, CDPoint(10, 0), CDPoint(10, 10));
    doc->GetBoardSheet(0)->NewArc(CDPoint(20, 20), 5.0, 0.0, M_PI, 0, 2);
    doc->GetBoardSheet(LAYER_MAX)->NewLine(CDPoint(5, -1), CDPoint(11, 5), 0, 0);
    doc->GetBoardSheet(LAYER_MAX)->NewLine(CDPoint(15, 20), CDPoint(25, 26), 0, 0);
    doc->OnCutterEdit(command);
    EXPECT_EQ(Selected(0), 0);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetKindCount(KIND_LINE), 0);
    EXPECT_GE(OnBoard(0), 3);
    if (!doc->GetUndoHistory().empty()) {
        doc->OnEditUndo();
        EXPECT_EQ(OnBoard(0), 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, CutterNumbersTest,
                         ::testing::Combine(::testing::Values(32964, 32965, 32966, 32967),
                                            ::testing::Values(0.0, -1.0, -2.5)));

} // namespace
