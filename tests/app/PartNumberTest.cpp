// Part-number clicks through real mouse events: Ctrl+click takes the reference, plain clicks give
// the next numbers, elements of one package share one, other prefixes and numbered parts stay.

#include "tests/app/ViewEditFixture.h"

#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"

#include <string>

namespace {

struct PartNumberTest : ViewEditFixture
{
    void SetUp() override
    {
        ViewEditFixture::SetUp();
        view->SetCommand(BoardInput::kPartNumberClick);
    }

    // A part at (x, 20) with a reference, value and name; element `unit` of `units`.
    CPart* AddPart(const std::string& ref, double x, unsigned units = 1, unsigned unit = 0,
                   const std::string& value = "10k", const std::string& name = "R1608")
    {
        CPart part(CDPoint(x, 20), CDRect(x - 1, 19, x + 1, 21), units, unit, 0.0, 0);
        part.SetRefName(ref.c_str());
        part.SetValue(value.c_str());
        part.SetPartName(name.c_str());
        part.NewTer(CDPoint(x, 20), CText("1", CDPoint(x, 20), 0))->SetLayerNo(top);
        return doc->GetBoardSheet(LAYER_MAX)->NewPart(part);
    }
    void CtrlClick(double x) { Click(x, 20, Qt::ControlModifier); }
    void PlainClick(double x) { Click(x, 20); }
};

TEST_F(PartNumberTest, CtrlClickTakesTheReferenceAndClicksNumberOnward)
{
    CPart* r5 = AddPart("R5", 10);
    CPart* r1 = AddPart("R1", 20);
    CPart* r2 = AddPart("R2", 30);
    CtrlClick(10);
    EXPECT_EQ(In().m_ref.prefix, "R");
    EXPECT_EQ(In().m_ref.number, 5);
    EXPECT_TRUE(status.panes.value(1).contains(QStringLiteral("基準部品 R5")));
    const std::size_t words = UndoWords();
    PlainClick(20);
    EXPECT_EQ(r1->GetRefName(), "R6");
    PlainClick(30);
    EXPECT_EQ(r2->GetRefName(), "R7");
    EXPECT_EQ(r5->GetRefName(), "R5");
    EXPECT_EQ(In().m_ref.number, 7);
    // Each renumbering is a before and after pair.
    EXPECT_EQ(doc->GetUndoHistory().back(), 5u);
    EXPECT_GT(UndoWords(), words);
    doc->OnEditUndo();
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetCount(BoardInput::kPart), 3);
}

TEST_F(PartNumberTest, AnotherPrefixIsLeftAloneWithOrderRefOff)
{
    AddPart("R5", 10);
    CPart* c1 = AddPart("C1", 20);
    CtrlClick(10);
    PlainClick(20);
    EXPECT_EQ(c1->GetRefName(), "C1");
    EXPECT_EQ(In().m_ref.prefix, "R");
    EXPECT_EQ(In().m_ref.number, 5);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
    // With OrderRef set any prefix takes the next number.
    profile.SetInt("CopyIncrement", "OrderRef", 1);
    PlainClick(20);
    EXPECT_EQ(c1->GetRefName(), "C6");
}

TEST_F(PartNumberTest, ElementsOfOnePackageShareOneNumber)
{
    AddPart("U3", 10, 2, 1, "7400", "DIP14");
    CPart* second = AddPart("U9", 20, 2, 2, "7400", "DIP14");
    CPart* other = AddPart("U9", 30, 2, 1, "7400", "DIP14");
    CtrlClick(10);
    PlainClick(20);
    EXPECT_EQ(second->GetRefName(), "U3");
    // A first element again opens the next package.
    PlainClick(30);
    EXPECT_EQ(other->GetRefName(), "U4");
}

TEST_F(PartNumberTest, NumberedPartStaysAndBecomesTheReference)
{
    AddPart("R5", 10);
    CPart* r6 = AddPart("R6", 20);
    CPart* r1 = AddPart("R1", 30);
    CtrlClick(10);
    PlainClick(20);
    EXPECT_EQ(r6->GetRefName(), "R6");
    EXPECT_TRUE(doc->GetUndoHistory().empty());
    EXPECT_EQ(In().m_ref.number, 6);
    PlainClick(30);
    EXPECT_EQ(r1->GetRefName(), "R7");
}

TEST_F(PartNumberTest, EmptyBoardOrOtherItemsChangeNothing)
{
    CPart* r1 = AddPart("R1", 10);
    AddLine(top, CDPoint(40, 10), CDPoint(40, 30));
    CtrlClick(10);
    PlainClick(40);
    PlainClick(60);
    EXPECT_EQ(r1->GetRefName(), "R1");
    EXPECT_EQ(In().m_ref.number, 1);
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

} // namespace
