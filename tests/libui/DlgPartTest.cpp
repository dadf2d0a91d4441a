// Part edit dialog, run by the part's edit operation with the Qt dialogs installed.

#include "libui/DlgPart.h"
#include "libui/DlgText.h"
#include "model/items/Land.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/services/StringTable.h"
#include "tests/support/ItemDialogFixture.h"
#include "tests/support/PartBoard.h"

#include <QComboBox>
#include <QTimer>

namespace {

using testing_support::PartBoard;

class DlgPartTest : public ItemDialogFixture
{
protected:
    CPart Part(const char* ref = "R1", const char* value = "10k")
    {
        CPart part(CDPoint(10, 10), CDRect(9, 9, 13, 11), 0, 0, 0.0, 0);
        part.SetPartName("RES");
        part.GetPartNameText()->SetLayerNo(PartBoard::kSilkTextA);
        part.SetRefName(ref);
        part.GetRefNameText()->SetLayerNo(PartBoard::kSilkTextA);
        if (*value) {
            part.SetValue(value);
            part.GetValNameText()->SetLayerNo(PartBoard::kSilkTextA);
        }
        part.NewLand(CDPoint(10, 10), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
        part.NewLand(CDPoint(12, 10), PartBoard::kPad)->SetLayerNo(PartBoard::kTop);
        part.NewTer(CDPoint(10, 10), CText("1", CDPoint(10, 10), 0))->SetLayerNo(PartBoard::kTermA);
        part.NewTer(CDPoint(12, 10), CText("2", CDPoint(12, 10), 0))->SetLayerNo(PartBoard::kTermA);
        part.ReCalcTerID(&board.doc);
        return part;
    }
    static QComboBox* Combo(QWidget* d, int id) { return FindControl<QComboBox>(d, id); }

    PartBoard board;
};

TEST_F(DlgPartTest, PlacedPartNeedsANumberedReference)
{
    CPart part = Part("R?");
    part.ModifyType(PART_PLACED, PART_PLACED);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(State(d, CDlgPart::IdPlaced), Qt::Checked);
        Ok(d);
    });
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, LoadQuarnString(IDS_REFERENCE_MISSING));
    EXPECT_TRUE(part.IsPlaced());

    OnDialog([](QDialog* d) {
        Click(d, CDlgPart::IdPlaced);
        Ok(d);
    });
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 1);
    EXPECT_FALSE(stayedOpen);
    EXPECT_FALSE(part.IsPlaced());

    // An emptied reference is refused as well.
    OnDialog([](QDialog* d) {
        Type(d, CDlgPart::IdRef, "");
        Ok(d);
    });
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(part.GetRefName(), "R?");
}

TEST_F(DlgPartTest, EnablingFollowsTextsAndLocks)
{
    CPart part = Part("R1", "");
    part.GetPartNameText()->Disp(0);
    OnDialog([](QDialog* d) {
        // The part name is hidden and the reference shown: the reference has the focus.
        EXPECT_EQ(d->focusWidget(), FindControl(d, CDlgPart::IdRef));
        EXPECT_FALSE(Enabled(d, CDlgPart::IdValue));
        EXPECT_FALSE(Enabled(d, CDlgPart::IdValueDisp));
        EXPECT_FALSE(Enabled(d, CDlgPart::IdValueFont));
        EXPECT_TRUE(Enabled(d, CDlgPart::IdRef));
        EXPECT_TRUE(Enabled(d, CDlgPart::IdRefFont));
        // Not scalable: the scale shows 1 and cannot be typed.
        EXPECT_EQ(Text(d, CDlgPart::IdScale), "1");
        EXPECT_TRUE(Edit(d, CDlgPart::IdScale)->isReadOnly());
        EXPECT_FALSE(Enabled(d, CDlgPart::IdScaleLock));
        EXPECT_TRUE(Enabled(d, CDlgPart::IdX));
        Click(d, CDlgPart::IdPositionLock);
        EXPECT_FALSE(Enabled(d, CDlgPart::IdX));
        EXPECT_FALSE(Enabled(d, CDlgPart::IdY));
        Click(d, CDlgPart::IdAngleLock);
        EXPECT_FALSE(Enabled(d, CDlgPart::IdAngle));
        Click(d, CDlgPart::IdSideLock);
        EXPECT_FALSE(Enabled(d, CDlgPart::IdSolderSide));
        Click(d, CDlgPart::IdSideLock);
        EXPECT_TRUE(Enabled(d, CDlgPart::IdSolderSide));
        Ok(d);
    });
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 1);
    EXPECT_EQ(part.GetType() & 0xE0, PART_MOVE_LOCK | PART_ROTATE_LOCK);
    EXPECT_TRUE(part.GetValName().empty());
}

TEST_F(DlgPartTest, MovingAndScaling)
{
    board.doc.userOriginX = 4; // the dialog shows user coordinates
    CPart part = Part();
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgPart::IdX), "6");
        Type(d, CDlgPart::IdX, "6+10");
        Type(d, CDlgPart::IdAngle, "450");
        Shot(d, "part-edit-single");
        Ok(d);
    });
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 2);
    EXPECT_NEAR(part.GetOrg().x, 20.0, 1e-9);
    EXPECT_NEAR(part.GetAngle(), std::numbers::pi / 2, 1e-9);

    // A bad formula keeps the dialog open and the part as it was.
    OnDialog([](QDialog* d) {
        Type(d, CDlgPart::IdY, "abc");
        Ok(d);
    });
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_NEAR(part.GetOrg().y, 10.0, 1e-9);

    part.ModifyType(PART_SCALABLE, PART_SCALABLE);
    OnDialog([](QDialog* d) {
        EXPECT_FALSE(Edit(d, CDlgPart::IdScale)->isReadOnly());
        EXPECT_EQ(State(d, CDlgPart::IdScaleLock), Qt::Unchecked);
        Type(d, CDlgPart::IdScale, "1.235");
        Ok(d);
    });
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 1);
    EXPECT_EQ(part.GetScale(), 124u);
    EXPECT_TRUE(part.IsScaled());
    EXPECT_TRUE(part.IsScale());
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgPart::IdScale), "1.24");
        Click(d, CDlgPart::IdScaleLock);
        EXPECT_FALSE(Enabled(d, CDlgPart::IdScale));
        Ok(d);
    });
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 1);
    EXPECT_FALSE(part.IsScale());
    EXPECT_EQ(part.GetScale(), 124u);
}

TEST_F(DlgPartTest, MultipleModeLeavesUntouchedStatesUnchanged)
{
    CPart blank = Part();
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgPart::IdRef), "***");
        EXPECT_EQ(Text(d, CDlgPart::IdX), "***");
        EXPECT_FALSE(Enabled(d, CDlgPart::IdX));
        EXPECT_FALSE(Enabled(d, CDlgPart::IdAngle));
        EXPECT_FALSE(Enabled(d, CDlgPart::IdTerminals));
        EXPECT_FALSE(Enabled(d, CDlgPart::IdPartName));
        EXPECT_EQ(State(d, CDlgPart::IdSideLock), Qt::PartiallyChecked);
        Shot(d, "part-edit-multiple");
        Ok(d);
    });
    EXPECT_EQ(blank.EditPart(&board.doc, true, false), 1);
    EXPECT_EQ(blank.GetPartNameText()->GetPoint().x, 0x2AAAA);
    for (const CText* text : {blank.GetPartNameText(), blank.GetRefNameText(), blank.GetValNameText()})
        EXPECT_EQ(text->GetPoint().y, CDlgPart::kUnchangedY);
    EXPECT_EQ(blank.GetRefName(), "***");

    // Locks cycle clear, set, indeterminate; the packed word carries what was chosen.
    CPart second = Part();
    OnDialog([](QDialog* d) {
        EXPECT_TRUE(Enabled(d, CDlgPart::IdPartName));
        Click(d, CDlgPart::IdSideLock);
        EXPECT_EQ(State(d, CDlgPart::IdSideLock), Qt::Unchecked);
        Click(d, CDlgPart::IdSideLock);
        EXPECT_EQ(State(d, CDlgPart::IdSideLock), Qt::Checked);
        Click(d, CDlgPart::IdPlaced);
        Ok(d);
    });
    EXPECT_EQ(second.EditPart(&board.doc, true, true), 1);
    EXPECT_EQ(second.GetPartNameText()->GetPoint().x, 0x26A2A);
}

TEST_F(DlgPartTest, FontButtonEditsTheReferenceInTheTextDialog)
{
    CPart part = Part();
    bool textDialog = false;
    OnDialog([&textDialog](QDialog* d) {
        Type(d, CDlgPart::IdRef, "R5");
        QTimer::singleShot(0, [d, &textDialog] {
            auto* text = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!text || text == d)
                return;
            textDialog = true;
            EXPECT_EQ(Text(text, CDlgText::IdText), "R5");
            Type(text, CDlgText::IdText, "R7");
            Ok(text);
        });
        Click(d, CDlgPart::IdRefFont);
        EXPECT_EQ(Text(d, CDlgPart::IdRef), "R7");
        Ok(d);
    });
    EXPECT_EQ(part.EditPart(&board.doc, false, false), 1);
    EXPECT_TRUE(textDialog);
    EXPECT_EQ(part.GetRefName(), "R7");
}

} // namespace
