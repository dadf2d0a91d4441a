// CAM option dialog: which fields may be left empty, the range checks, the slot method and its
// separate-file option, and that only OK hands the records back.

#include "dialogs/DlgCamOption.h"
#include "libui/SpinButton.h"
#include "platform/J.h"
#include "platform/RangeText.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

using D = CDlgCamOption;

tagGERBAR StandardPhoto()
{
    tagGERBAR g;
    g.drawCode = "D01";
    g.moveCode = "D02";
    g.flashCode = "D03";
    g.linearCode = "G01";
    g.cwCode = "G02";
    g.ccwCode = "G03";
    g.headerText = "G04 board*";
    g.endCode = "M00";
    g.apertureCode = "D";
    g.photo = 1;
    return g;
}

tagGERBAR StandardDrill()
{
    tagGERBAR g;
    g.longHoleMode = 2;
    g.rectAsLong = 1;
    g.holeSplit = 1;
    g.toolDigits = 2;
    g.drillLife = 3000;
    g.testCoupon = 100;
    g.testCouponEvery = 5;
    g.hitType = 3;
    return g;
}

class DlgCamOptionTest : public DialogFixture
{
protected:
    void Open(D& dialog)
    {
        dialog.m_photo = StandardPhoto();
        dialog.m_drill = StandardDrill();
        dialog.show();
    }
};

TEST_F(DlgCamOptionTest, ShowsBothRecordsAndStoresTrimmedCodesAtOk)
{
    D dialog;
    Open(dialog);
    Shot(&dialog, "cam-option");
    EXPECT_EQ(Text(&dialog, D::IdShutterOpen), "D01");
    EXPECT_EQ(Text(&dialog, D::IdShutterClose), "D02");
    EXPECT_EQ(Text(&dialog, D::IdHeader), "G04 board*");
    EXPECT_EQ(Text(&dialog, D::IdProgramStop), "M00");
    EXPECT_EQ(Text(&dialog, D::IdDCodePrefix), "D");
    EXPECT_EQ(State(&dialog, D::IdSlotRound + 2), Qt::Checked);
    EXPECT_EQ(State(&dialog, D::IdRectAsLong), Qt::Checked);
    EXPECT_EQ(State(&dialog, D::IdSeparateSlots), Qt::Checked);
    EXPECT_TRUE(Enabled(&dialog, D::IdSeparateSlots));
    EXPECT_EQ(Text(&dialog, D::IdToolDigits), "2");
    EXPECT_EQ(Text(&dialog, D::IdDrillLife), "3000");
    EXPECT_EQ(Text(&dialog, D::IdCoupon), "100");
    EXPECT_EQ(Text(&dialog, D::IdCouponEvery), "5");

    Type(&dialog, D::IdShutterOpen, "  D11 ");
    // A tab cannot be typed into a field; a pasted one is trimmed like a blank.
    Edit(&dialog, D::IdLinear)->setText("\tG01 ");
    Type(&dialog, D::IdHeader, QString::fromUtf8("G04 基板*  "));
    Click(&dialog, D::IdSlotRound + 4);
    Click(&dialog, D::IdRectAsLong);
    Type(&dialog, D::IdToolDigits, "3");
    Type(&dialog, D::IdDrillLife, "50000");
    Type(&dialog, D::IdCoupon, "0");
    Type(&dialog, D::IdCouponEvery, "20");
    Ok(&dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(dialog.m_photo.drawCode, "D11");
    EXPECT_EQ(dialog.m_photo.linearCode, "G01");
    EXPECT_EQ(dialog.m_photo.headerText, _J("G04 基板*"));
    EXPECT_EQ(dialog.m_photo.flashCode, "D03");
    EXPECT_EQ(dialog.m_drill.longHoleMode, 4);
    EXPECT_EQ(dialog.m_drill.rectAsLong, 0);
    EXPECT_EQ(dialog.m_drill.holeSplit, 1);
    EXPECT_EQ(dialog.m_drill.toolDigits, 3);
    EXPECT_EQ(dialog.m_drill.drillLife, 50000);
    EXPECT_EQ(dialog.m_drill.testCoupon, 0);
    EXPECT_EQ(dialog.m_drill.testCouponEvery, 20);
    // Fields the dialog does not show come back as they went in.
    EXPECT_EQ(dialog.m_photo.photo, 1);
    EXPECT_EQ(dialog.m_drill.hitType, 3);
}

TEST_F(DlgCamOptionTest, EmptyCodesAndOutOfRangeNumbersAtOk)
{
    const std::string blank = _J("無効な空白があります。");
    const struct
    {
        int id;
        const char* typed;
        std::string message; // empty: accepted
    } rows[] = {
        {D::IdHeader, "", ""},
        {D::IdProgramStop, "", ""},
        {D::IdClockwise, "", ""},
        {D::IdCounterClockwise, " ", ""},
        {D::IdFlash, "", blank},
        {D::IdFlash, "   ", blank},
        {D::IdShutterOpen, "", blank},
        {D::IdShutterClose, "", blank},
        {D::IdLinear, "", blank},
        {D::IdDCodePrefix, " ", blank},
        {D::IdToolDigits, "4", platform::IntRangeText(1, 3)},
        {D::IdToolDigits, "0", platform::IntRangeText(1, 3)},
        {D::IdToolDigits, "1", ""},
        {D::IdDrillLife, "50001", platform::IntRangeText(0, 50000)},
        {D::IdDrillLife, "", platform::IntRangeText(0, 50000)},
        {D::IdCoupon, "50001", platform::IntRangeText(0, 50000)},
        {D::IdCouponEvery, "21", platform::IntRangeText(0, 20)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.id) + " '" + row.typed + "'");
        messages.Clear();
        D dialog;
        Open(dialog);
        Type(&dialog, row.id, row.typed);
        Ok(&dialog);
        if (row.message.empty()) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(messages.Count(), 0u);
            continue;
        }
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(messages.Count(), 1u);
        EXPECT_EQ(messages.Last().text, row.message);
        // The field to mend has the focus.
        EXPECT_EQ(dialog.focusWidget(), FindControl(&dialog, row.id));
    }
}

TEST_F(DlgCamOptionTest, RoundSubstituteDisablesAndClearsTheSeparateSlotFile)
{
    D dialog;
    Open(dialog);
    ASSERT_EQ(State(&dialog, D::IdSeparateSlots), Qt::Checked);
    Click(&dialog, D::IdSlotRound);
    EXPECT_FALSE(Enabled(&dialog, D::IdSeparateSlots));
    Click(&dialog, D::IdSlotRound + 1);
    EXPECT_TRUE(Enabled(&dialog, D::IdSeparateSlots));
    Click(&dialog, D::IdSlotRound);
    Ok(&dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_drill.longHoleMode, 0);
    EXPECT_EQ(dialog.m_drill.holeSplit, 0);

    // A record that already holds the round substitute shows the option disabled.
    D again;
    again.m_drill.holeSplit = 1;
    again.show();
    EXPECT_EQ(State(&again, D::IdSlotRound), Qt::Checked);
    EXPECT_FALSE(Enabled(&again, D::IdSeparateSlots));
}

TEST_F(DlgCamOptionTest, TheDigitCountKeepsToOneToThree)
{
    // A default record has no digit count: the field shows the lowest, and OK stores it.
    D fresh;
    fresh.m_photo = StandardPhoto();
    fresh.show();
    EXPECT_EQ(Text(&fresh, D::IdToolDigits), "1");
    Ok(&fresh);
    ASSERT_EQ(fresh.result(), QDialog::Accepted);
    EXPECT_EQ(fresh.m_drill.toolDigits, 1);

    D dialog;
    Open(dialog);
    auto* spin = FindControl<CSpinButton>(&dialog, D::IdToolDigitsSpin);
    ASSERT_NE(spin, nullptr);
    spin->Click(+1);
    spin->Click(+1);
    EXPECT_EQ(Text(&dialog, D::IdToolDigits), "3");
    for (int i = 0; i < 4; ++i)
        spin->Click(-1);
    EXPECT_EQ(Text(&dialog, D::IdToolDigits), "1");
}

TEST_F(DlgCamOptionTest, OnlyOkHandsTheRecordsBack)
{
    const tagGERBAR photo = StandardPhoto();
    const tagGERBAR drill = StandardDrill();
    tagGERBAR callerPhoto = photo;
    tagGERBAR callerDrill = drill;
    auto same = [](const tagGERBAR& a, const tagGERBAR& b) {
        return a.drawCode == b.drawCode && a.flashCode == b.flashCode && a.headerText == b.headerText &&
               a.endCode == b.endCode && a.longHoleMode == b.longHoleMode && a.holeSplit == b.holeSplit &&
               a.toolDigits == b.toolDigits && a.drillLife == b.drillLife;
    };

    // Cancel after edits and after a refused OK that had already read some fields.
    OnDialog([](QDialog* d) {
        Type(d, D::IdHeader, "");
        Type(d, D::IdFlash, "");
        Click(d, D::IdSlotRound);
        Type(d, D::IdDrillLife, "7");
        Ok(d);
        ASSERT_TRUE(d->isVisible());
        Click(d, CDialogBuilder::IdCancel);
    });
    EXPECT_FALSE(D::Edit(callerPhoto, callerDrill));
    EXPECT_TRUE(opened);
    EXPECT_FALSE(stayedOpen);
    EXPECT_TRUE(same(callerPhoto, photo));
    EXPECT_TRUE(same(callerDrill, drill));

    OnDialog([](QDialog* d) {
        Type(d, D::IdProgramStop, "M02");
        Ok(d);
    });
    EXPECT_TRUE(D::Edit(callerPhoto, callerDrill));
    EXPECT_EQ(callerPhoto.endCode, "M02");
    EXPECT_EQ(callerDrill.toolDigits, 2);
}

} // namespace
