// Editing the selected items of a sheet through their dialogs, and the numbering of names.

#include "model/items/Arc.h"
#include "model/items/Hole.h"
#include "model/items/Land.h"
#include "model/items/Line.h"
#include "model/items/Part.h"
#include "model/items/Sur.h"
#include "model/items/Text.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "tests/support/FakeItemDialogs.h"
#include "tests/support/PartBoard.h"
#include "tests/support/SheetItems.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing_support::Items;
using testing_support::PartBoard;

struct SuffixCase
{
    std::string in;
    std::string base;
    int step;
};

TEST(SheetNumbering, ParseIncrementSuffix)
{
    const SuffixCase cases[] = {
        {"A++", "A", 1},
        {"A--", "A", -1},
        {"A +=3", "A", 3},
        {"A+=x", "A", 0},
        {"B-=2", "B", -2},
        {"R1", "R1", 0},
        {"+", "+", 0},
        {"C+=999999999999", "C", 2147483647},
        {"C-=999999999999", "C", -2147483647},
        {"", "", 0},
    };
    for (const SuffixCase& c : cases) {
        std::string name = c.in;
        EXPECT_EQ(CSheet::ParseIncrementSuffix(name), c.step) << c.in;
        EXPECT_EQ(name, c.base) << c.in;
    }
}

TEST(SheetNumbering, GetTrailingDigits)
{
    const SuffixCase cases[] = {
        {"U12 ", "U12", 2},
        {"U", "U", 0},
        {"", "", 0},
        {"123", "123", 3},
        {_J("R１２"), _J("R１２"), 4},
        {_J("R１2"), _J("R１2"), 1},
        {_J("ア"), _J("ア"), 0},
        {"\t \r\n", "", 0},
    };
    for (const SuffixCase& c : cases) {
        std::string name = c.in;
        EXPECT_EQ(CSheet::GetTrailingDigits(name), c.step) << c.in;
        EXPECT_EQ(name, c.base) << c.in;
    }
}

class SheetEditTest : public ::testing::Test
{
protected:
    SheetEditTest() { platform::SetMessageService(&messages); }
    ~SheetEditTest() override { platform::SetMessageService(nullptr); }

    std::vector<std::string> TextStrings()
    {
        std::vector<std::string> out;
        for (CText* text : Items<CText>(selection, KIND_TEXT))
            out.push_back(text->GetName());
        return out;
    }

    // The text dialog in multiple mode with every attribute left unchanged and the given string.
    void TextAnswer(const std::string& s)
    {
        dialogs.onText = [s](TextDialogData& data) {
            data.text = s;
            data.hAlign = 3;
            data.vAlign = 3;
            data.angleChoice = 7;
            data.printableChoice = 2;
            data.mirrorChoice = 2;
            data.frame = 2;
            data.fontKind = 3;
        };
    }

    PartBoard board;
    FakeItemDialogs dialogs;
    platform::RecordingMessages messages;
    CSheet selection{0, 0x1, PartBoard::kTop, &board.doc};
    CSheet viaParts{0, 0, LAYER_MAX, &board.doc};
};

TEST_F(SheetEditTest, EmptySelectionRunsNoDialog)
{
    EXPECT_EQ(selection.EditItem(), 0);
    EXPECT_EQ(dialogs.calls, 0);
}

struct TextCase
{
    std::vector<std::string> texts;
    std::string answer;
    std::vector<std::string> result;
};

TEST_F(SheetEditTest, TextNumbering)
{
    const TextCase cases[] = {
        {{"C", "A", "B"}, "R1++", {"R1", "R2", "R3"}},
        {{"C", "A", "B"}, "R1", {"R1", "R1", "R1"}},
        {{"C5", "C7"}, "R+=10", {"R15", "R17"}},
        {{"C5", "C7"}, "R", {"R", "R"}},
        {{"C5", "X"}, "***", {"C5", "X"}},
        {{"C5", "C7"}, "++", {"C6", "C8"}},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.answer);
        selection.DeleteContents();
        for (std::size_t i = 0; i < c.texts.size(); ++i)
            selection.NewText(CText(c.texts[i], CDPoint(static_cast<double>(i), 0), 0));
        TextAnswer(c.answer);
        EXPECT_EQ(selection.EditItem(), c.texts != c.result ? 1 : 0);
        std::vector<std::string> got = TextStrings();
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, c.result);
    }
    // Sorted order: the texts are numbered as the sheet sorts them.
    selection.DeleteContents();
    selection.NewText(CText("B", CDPoint(0, 0), 0));
    selection.NewText(CText("A", CDPoint(1, 0), 0));
    TextAnswer("R1++");
    selection.EditItem();
    selection.SortText();
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"R1", "R2"}));
}

TEST_F(SheetEditTest, TextAttributesApplyWithKeptStrings)
{
    selection.NewText(CText("A", CDPoint(0, 0), 0));
    selection.NewText(CText("B", CDPoint(1, 0), 0));
    dialogs.onText = [](TextDialogData& data) {
        data.text = "***";
        data.hAlign = 1; // centre
        data.vAlign = 3;
        data.angleChoice = 7;
        data.printableChoice = 0;
        data.mirrorChoice = 1;
        data.frame = 2;
        data.fontKind = 3;
    };
    EXPECT_EQ(selection.EditItem(), 1);
    EXPECT_TRUE(dialogs.lastText.multiEdit);
    for (CText* text : Items<CText>(selection, KIND_TEXT)) {
        EXPECT_EQ(text->GetType() & 0x6, 6);
        EXPECT_EQ(text->GetType() & 0x18, 8) << "vertical part kept";
        EXPECT_FALSE(text->IsPrint());
        EXPECT_TRUE(text->GetType() & TEXT_MIRROR);
    }
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(SheetEditTest, FontKindOfSeveralTexts)
{
    CText stroke("S", CDPoint(0, 0), 0);
    stroke.ModifyType(TEXT_STROKE, TEXT_STROKE);
    LOGFONTA record;
    record.lfHeight = 250;
    stroke.SetFontRecord(record);
    selection.NewText(stroke);
    CText trueType("T", CDPoint(1, 0), 0);
    trueType.SetSize(180);
    selection.NewText(trueType);
    // TrueType without a size, own font left as it is.
    dialogs.onText = [](TextDialogData& data) {
        data.text = "***";
        data.hAlign = data.vAlign = 3;
        data.angleChoice = 7;
        data.printableChoice = data.mirrorChoice = data.frame = 2;
        data.fontKind = 0;
        data.ttSize = 0.0;
        data.ownFont = 2;
    };
    EXPECT_EQ(selection.EditItem(), 1);
    for (CText* text : Items<CText>(selection, KIND_TEXT)) {
        EXPECT_FALSE(text->IsStroke());
        EXPECT_EQ(text->GetSize(), text->GetName() == "S" ? 250 : 180) << text->GetName();
    }
}

TEST_F(SheetEditTest, CancelChangesNothing)
{
    selection.NewText(CText("A", CDPoint(0, 0), 0));
    selection.NewText(CText("B", CDPoint(1, 0), 0));
    TextAnswer("R1++");
    dialogs.answer = false;
    EXPECT_EQ(selection.EditItem(), 0);
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"A", "B"}));
}

struct ViaCase
{
    const char* name;
    int number, nibble, keep;
    int result;
    int viaNo;
    int type; // bits 0x6 afterwards
};

TEST_F(SheetEditTest, SeveralVias)
{
    board.doc.viaTable[2] = board.doc.viaTable[1];
    const ViaCase cases[] = {
        {"all unchanged", 0, 15, -1, 0, 1, 0},
        {"number", 2, 15, -1, 1, 2, 0},
        {"both fields set", 0, 1 | 4, -1, 1, 1, 0x2},
        {"check only", 0, 1 | 8, -1, 1, 1, 0x4},
        {"wiring", 0, 15, 0, 1, 1, 0},
    };
    viaParts.SetSheetType(SHEET_SELECT_VIAPART);
    for (const ViaCase& c : cases) {
        SCOPED_TRACE(c.name);
        viaParts.DeleteContents();
        viaParts.NewVia(CVia(CDPoint(0, 0), 1, &board.doc, 0x3));
        viaParts.NewVia(CVia(CDPoint(5, 0), 1, &board.doc, 0x3));
        dialogs.onVia = [&c](ViaDialogData& data) {
            data.viaNo = c.number;
            data.holeKind = c.nibble;
            data.extra = c.keep;
            data.wiringMask = 0x1;
        };
        EXPECT_EQ(viaParts.EditItem(), c.result);
        for (CVia* via : Items<CVia>(viaParts, KIND_VIA)) {
            EXPECT_EQ(via->GetViaNo(), c.viaNo);
            EXPECT_EQ(via->GetType() & 0x6, c.type);
            EXPECT_EQ(via->GetWireLay(), c.keep == 0 ? 0x1 : 0x3);
        }
    }
}

TEST_F(SheetEditTest, HolesOfDifferentShapesShowTheMessage)
{
    selection.NewHole(CHole(CDPoint(0, 0), 1.0, true, 0, 0, 0));
    selection.NewHole(CHole(CDPoint(2, 0), 1.0, true, 0, 0, 0));
    selection.NewHole(CHole(CDPoint(4, 0), 1.0, false, 3.0, 0.5, 0));
    EXPECT_EQ(selection.EditItem(), 0);
    EXPECT_EQ(dialogs.calls, 0);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, _J("同じ種類のホールを選択してください"));
}

TEST_F(SheetEditTest, SeveralHoles)
{
    selection.NewHole(CHole(CDPoint(0, 0), 1.0, false, 3.0, 0.5, 0.25));
    selection.NewHole(CHole(CDPoint(4, 0), 1.2, false, 3.0, 0.6, 0.5));
    // Same shape: a width given replaces, an angle of -1 keeps each hole's own.
    dialogs.onHole = [](HoleDialogData& data) {
        data.shape = 1;
        data.diameter = 0.0;
        data.width = 4.0;
        data.radius = 0.0;
        data.angleDeg = -1.0;
    };
    EXPECT_EQ(selection.EditItem(), 1);
    std::vector<CHole*> holes = Items<CHole>(selection, KIND_HOLE);
    EXPECT_DOUBLE_EQ(holes[0]->GetHoleWidth(), 4.0);
    EXPECT_DOUBLE_EQ(holes[0]->GetHoleDia(), 1.0);
    EXPECT_DOUBLE_EQ(holes[1]->GetHoleDia(), 1.2);
    EXPECT_NEAR(holes[1]->GetAngle(), 0.5, 1e-9);

    // A new rectangular shape with only the width given: the other sizes stay each hole's own.
    dialogs.onHole = [](HoleDialogData& data) {
        data.shape = 2;
        data.diameter = 0.0;
        data.width = 5.0;
        data.radius = 0.0;
        data.angleDeg = -1.0;
    };
    EXPECT_EQ(selection.EditItem(), 1);
    holes = Items<CHole>(selection, KIND_HOLE);
    EXPECT_TRUE(holes[0]->IsHoleRect());
    EXPECT_DOUBLE_EQ(holes[0]->GetHoleDia(), 1.0);
    EXPECT_DOUBLE_EQ(holes[1]->GetHoleDia(), 1.2);
    EXPECT_DOUBLE_EQ(holes[1]->GetHoleWidth(), 5.0);
    EXPECT_NEAR(holes[1]->GetAngle(), 0.5, 1e-9);

    // A new round shape with a diameter; the kind fields set 0x4.
    dialogs.onHole = [](HoleDialogData& data) {
        data.shape = 0;
        data.diameter = 0.9;
        data.kind = 1 | 8;
    };
    EXPECT_EQ(selection.EditItem(), 1);
    for (CHole* hole : Items<CHole>(selection, KIND_HOLE)) {
        EXPECT_TRUE(hole->IsHole());
        EXPECT_DOUBLE_EQ(hole->GetHoleDia(), 0.9);
        EXPECT_EQ(hole->GetType() & 0x6, 0x4);
    }
}

TEST_F(SheetEditTest, LandsAndSurfaces)
{
    selection.NewLand(CDPoint(0, 0), PartBoard::kPad);
    selection.NewLand(CDPoint(3, 0), PartBoard::kBigPad);
    dialogs.onLand = [](LandDialogData& data) { data.turret = 0; };
    EXPECT_EQ(selection.EditItem(), 0) << "turret 0 leaves lands alone";
    dialogs.onLand = [](LandDialogData& data) { data.turret = PartBoard::kPad; };
    EXPECT_EQ(selection.EditItem(), 1);
    for (CLand* land : Items<CLand>(selection, KIND_LAND))
        EXPECT_EQ(land->GetTurretNo(), PartBoard::kPad);

    CSheet surs(0, 0x1, PartBoard::kTop, &board.doc);
    surs.NewSur(testing_support::TriangleSur());
    CSur second = testing_support::TriangleSur();
    second.SetProperty("COC", "1.0 2.0");
    surs.NewSur(second);
    dialogs.onSur = [](SurDialogData& data) {
        data.turret = 0;
        data.noFill = 1;
        data.coc = 0;
    };
    EXPECT_EQ(surs.EditItem(), 1);
    for (CSur* sur : Items<CSur>(surs, KIND_SUR)) {
        EXPECT_EQ(sur->GetTurretNo(), 0);
        EXPECT_TRUE(sur->IsNoCont());
        EXPECT_EQ(sur->GetProperty("COC"), "");
    }
}

TEST_F(SheetEditTest, SeveralLinesAndArcs)
{
    selection.NewLine(CDPoint(0, 0), CDPoint(10, 0), PartBoard::kTrack, 0);
    selection.NewLine(CDPoint(0, 5), CDPoint(10, 5), PartBoard::kTrack, 0x400);
    selection.NewArc(CArc(CDPoint(20, 0), 2.0, 0.0, 1.0, 0, PartBoard::kTrack));
    // Name unchanged, turret 1, solid, start arrow on, display unchanged.
    dialogs.onLine = [](LineDialogData& data) {
        auto* blank = static_cast<CLine*>(data.item);
        blank->SetTurretNo(PartBoard::kPad, false);
        blank->ModifyType(0, 0xE00);
        blank->SetArrow(100, 0);
        blank->SetStartPoint(CDPoint(1 | 2 << 2 | 2 << 4 | 2 << 6 | 2 << 8, 0));
    };
    EXPECT_EQ(selection.EditItem(), 1);
    EXPECT_TRUE(dialogs.lastLine.multiple);
    for (CLine* line : Items<CLine>(selection, KIND_LINE)) {
        EXPECT_EQ(line->GetTurretNo(), PartBoard::kPad);
        EXPECT_EQ(line->GetType() & 0xE00, 0);
        EXPECT_EQ(line->GetStartArrow(), 100);
        EXPECT_TRUE(line->IsNameEmpty());
    }
    EXPECT_EQ(selection.GetHeadArc()->GetStartArrow(), 100);

    // A name left unchanged keeps every line's own name.
    selection.GetHeadLine()->SetName("KEEP", 100, true);
    EXPECT_EQ(selection.EditItem(), 0);
    EXPECT_EQ(selection.GetHeadLine()->GetName(), "KEEP");

    // Names numbered along the sorted lines, then the arc.
    dialogs.onLine = [](LineDialogData& data) {
        auto* blank = static_cast<CLine*>(data.item);
        blank->GetNameText()->SetName(std::string("L1++"));
        blank->ModifyType(0x1000, 0x7000);
        blank->SetTurretNo(-1, false);
        blank->ModifyType(0xE00, 0xE00);
        blank->SetStartPoint(CDPoint(0x2AA, 0));
    };
    EXPECT_EQ(selection.EditItem(), 1);
    std::vector<std::string> names;
    for (CLine* line : Items<CLine>(selection, KIND_LINE))
        names.push_back(line->GetNameText()->GetName());
    names.push_back(selection.GetHeadArc()->GetNameText()->GetName());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"L1", "L2", "L3"}));
    EXPECT_FALSE(selection.GetHeadLine()->IsNameEmpty());
    EXPECT_EQ(selection.GetHeadLine()->GetTurretNo(), PartBoard::kPad);
}

TEST_F(SheetEditTest, OneItemRunsItsOwnDialog)
{
    selection.NewLine(CDPoint(0, 0), CDPoint(10, 0), PartBoard::kTrack, 0);
    dialogs.onLine = [](LineDialogData& data) {
        static_cast<CLine*>(data.item)->SetTurretNo(PartBoard::kPad);
    };
    EXPECT_EQ(selection.EditItem(), 1);
    EXPECT_FALSE(dialogs.lastLine.multiple);
    EXPECT_EQ(selection.GetHeadLine()->GetTurretNo(), PartBoard::kPad);
}

struct RefCase
{
    std::string answer;
    std::vector<std::string> refs;
};

TEST_F(SheetEditTest, SeveralParts)
{
    viaParts.SetSheetType(SHEET_SELECT_VIAPART);
    const RefCase cases[] = {
        {"U", {"U?", "U?"}},
        {"U+=0", {"U3", "U7"}},
        {"U1++", {"U1", "U2"}},
        {"***", {"R3", "R7"}},
    };
    for (const RefCase& c : cases) {
        SCOPED_TRACE(c.answer);
        viaParts.DeleteContents();
        for (const char* ref : {"R3", "R7"}) {
            CPart part;
            part.SetPartName(ref[1] == '3' ? "PKG_A" : "PKG_B");
            part.SetRefName(ref);
            viaParts.NewPart(part);
        }
        dialogs.onPart = [&c](PartDialogData& data) {
            data.part->GetRefNameText()->SetName(c.answer);
            data.part->GetPartNameText()->SetName(std::string("OTHER"));
            data.part->GetPartNameText()->SetPoint(CDPoint(0x2AAAA, 128383.0));
        };
        viaParts.EditItem();
        EXPECT_TRUE(dialogs.lastPart.multiple);
        EXPECT_FALSE(dialogs.lastPart.partNameAllowed);
        std::vector<std::string> refs, names;
        for (CPart* part : Items<CPart>(viaParts, KIND_PART)) {
            refs.push_back(part->GetRefName());
            names.push_back(part->GetPartName());
        }
        EXPECT_EQ(refs, c.refs);
        EXPECT_EQ(names, (std::vector<std::string>{"PKG_A", "PKG_B"})) << "different names are kept";
    }
}

TEST_F(SheetEditTest, ChangeTextOrg)
{
    selection.NewText(CText("A", CDPoint(0, 0), 0));
    CPart part;
    part.SetRefName("R1");
    part.SetPartName("P");
    CPart* stored = selection.NewPart(part);
    stored->GetRefNameText()->ModifyType(TEXT_SELECTED, TEXT_SELECTED);
    selection.ChangeTextOrg(TEXT_ORG_CENTER, 0);
    EXPECT_EQ(selection.GetHeadText()->GetType() & 0x7F, TEXT_ORG_CENTER);
    EXPECT_NE(stored->GetRefNameText()->GetType() & 0x7F, TEXT_ORG_CENTER);
    selection.ChangeTextOrg(TEXT_ORG_CENTER, 1);
    EXPECT_EQ(stored->GetRefNameText()->GetType() & 0x7F, TEXT_ORG_CENTER);
    EXPECT_NE(stored->GetPartNameText()->GetType() & 0x7F, TEXT_ORG_CENTER);
}

} // namespace
