// Surface and via dialogs, run by the items' edit operations with the Qt dialogs installed.

#include "libui/CheckListBox.h"
#include "libui/DlgSur.h"
#include "libui/DlgVia.h"
#include "model/items/Sur.h"
#include "model/items/Via.h"
#include "model/sheet/Sheet.h"
#include "platform/J.h"
#include "platform/RangeText.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"
#include "tests/support/ItemDialogFixture.h"

#include <memory>
#include <vector>

namespace {

class DlgSurTest : public ItemDialogFixture
{
};

TEST_F(DlgSurTest, CocValuesAreCheckedOnlyWhileTheAttributeIsOn)
{
    CSur sur(3);
    OnDialog([](QDialog* d) {
        EXPECT_FALSE(Enabled(d, CDlgSur::IdTop));
        Click(d, CDlgSur::IdCoc);
        EXPECT_TRUE(Enabled(d, CDlgSur::IdTop));
        EXPECT_TRUE(Enabled(d, CDlgSur::IdBottomSpin));
        Type(d, CDlgSur::IdTop, "1.0");
        Type(d, CDlgSur::IdBottom, "1.0");
        Shot(d, "sur-single");
        Ok(d);
    });
    EXPECT_FALSE(sur.EditSur(false));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(LastMessage(), QString::fromUtf8("ＣＯＣ設定エラー 上 > 下"));

    OnDialog([](QDialog* d) {
        Click(d, CDlgSur::IdCoc);
        Type(d, CDlgSur::IdTop, "2.5");
        Type(d, CDlgSur::IdBottom, "1");
        Click(d, CDlgSur::IdNoFill);
        Ok(d);
    });
    EXPECT_TRUE(sur.EditSur(false));
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(sur.GetProperty("COC"), "2.5 1.0");
    EXPECT_TRUE(sur.IsNoCont());

    // The attribute switched off passes whatever the values are.
    OnDialog([](QDialog* d) {
        EXPECT_EQ(State(d, CDlgSur::IdCoc), Qt::Checked);
        EXPECT_EQ(Text(d, CDlgSur::IdTop), "2.5");
        Click(d, CDlgSur::IdCoc);
        EXPECT_FALSE(Enabled(d, CDlgSur::IdTop));
        Ok(d);
    });
    EXPECT_TRUE(sur.EditSur(false));
    EXPECT_EQ(sur.GetProperty("COC"), "");
}

TEST_F(DlgSurTest, TurretOutOfRangeIsRefused)
{
    CSur sur(3);
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgSur::IdTurret), "3");
        Type(d, CDlgSur::IdTurret, "500");
        Ok(d);
    });
    EXPECT_FALSE(sur.EditSur(false));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, platform::IntRangeText(0, 120));
    EXPECT_EQ(sur.GetTurretNo(), 3);

    OnDialog([](QDialog* d) {
        Type(d, CDlgSur::IdTurret, "12");
        Ok(d);
    });
    EXPECT_TRUE(sur.EditSur(false));
    EXPECT_EQ(sur.GetTurretNo(), 12);
}

TEST_F(DlgSurTest, SeveralSurfacesLeftUntouchedStayUnchanged)
{
    CSur blank;
    OnDialog([](QDialog* d) {
        EXPECT_EQ(Text(d, CDlgSur::IdTurret), "***");
        EXPECT_EQ(Text(d, CDlgSur::IdTop), "***");
        EXPECT_EQ(Text(d, CDlgSur::IdBottom), "***");
        EXPECT_EQ(State(d, CDlgSur::IdCoc), Qt::PartiallyChecked);
        EXPECT_EQ(State(d, CDlgSur::IdNoFill), Qt::PartiallyChecked);
        Shot(d, "sur-multiple");
        Ok(d);
    });
    EXPECT_TRUE(blank.EditSur(true));
    EXPECT_EQ(blank.GetTurretNo(), -1);
    EXPECT_EQ(blank.GetLayerNo(), 2 * 4 + 2); // both switches 2

    // Clicks cycle clear -> set -> indeterminate; a typed turret is taken.
    OnDialog([](QDialog* d) {
        Click(d, CDlgSur::IdNoFill);
        EXPECT_EQ(State(d, CDlgSur::IdNoFill), Qt::Unchecked);
        Click(d, CDlgSur::IdNoFill);
        EXPECT_EQ(State(d, CDlgSur::IdNoFill), Qt::Checked);
        Type(d, CDlgSur::IdTurret, "7");
        Ok(d);
    });
    EXPECT_TRUE(blank.EditSur(true));
    EXPECT_EQ(blank.GetTurretNo(), 7);
    EXPECT_EQ(blank.GetLayerNo(), 2 * 4 + 1);
}

class DlgViaTest : public ItemDialogFixture
{
protected:
    // Wiring positions 1..4 on layers 0..3 with the given type words.
    void Board(const std::vector<int>& types)
    {
        sheets.clear();
        doc.boardSheets.fill(nullptr);
        for (int i = 0; i < static_cast<int>(types.size()); ++i) {
            sheets.push_back(std::make_unique<CSheet>(i + 1, types[static_cast<std::size_t>(i)], i, &doc));
            doc.boardSheets[static_cast<std::size_t>(i)] = sheets.back().get();
        }
        doc.SetWireLayers({0, 1, 2, 3});
    }
    static CCheckListBox* List(QWidget* d) { return FindControl<CCheckListBox>(d, CDlgVia::IdThermal); }
    // Ticks a row with the keyboard, as Space on a check list does.
    static void Tick(QWidget* d, int row)
    {
        CCheckListBox* list = List(d);
        list->setFocus();
        list->setCurrentRow(row);
        QTest::keyClick(list->viewport(), Qt::Key_Space);
    }

    FakeDocument doc;
    FakeFrameServices frame{&doc};
    std::vector<std::unique_ptr<CSheet>> sheets;
};

TEST_F(DlgViaTest, SeveralViasLeftUntouchedKeepEveryListedLayer)
{
    Board({0x1 | 0x8, 0x1, 0x1 | 0x8, 0x1});
    CVia blank;
    blank.ResetAllWire();
    blank.SetViaNo(0);
    OnDialog([](QDialog* d) {
        CCheckListBox* list = List(d);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->text(), QString::fromUtf8(" 1層 (LAYER=  1)"));
        EXPECT_EQ(list->item(1)->text(), QString::fromUtf8(" 3層 (LAYER=  3)"));
        EXPECT_EQ(list->GetCheck(0), 2);
        EXPECT_EQ(Text(d, CDlgVia::IdViaNo), "0");
        EXPECT_EQ(State(d, CDlgVia::IdDummy), Qt::PartiallyChecked);
        Shot(d, "via-multiple");
        Ok(d);
    });
    int keep = 0;
    EXPECT_TRUE(blank.EditVia(true, &keep));
    EXPECT_EQ(blank.GetViaNo(), 0);
    EXPECT_EQ(blank.GetType() & 0xF, 10); // both marks unchanged: 2 + 4 * 2
    EXPECT_EQ(keep & 0b101, 0b101);

    // A row set or cleared leaves the keep mask; rows cycle clear -> set -> indeterminate.
    OnDialog([](QDialog* d) {
        Tick(d, 0); // indeterminate -> clear
        Tick(d, 1);
        Tick(d, 1); // -> set
        EXPECT_EQ(List(d)->GetCheck(0), 0);
        EXPECT_EQ(List(d)->GetCheck(1), 1);
        Ok(d);
    });
    EXPECT_TRUE(blank.EditVia(true, &keep));
    EXPECT_EQ(keep & 0b101, 0);
    EXPECT_EQ(blank.GetWireLay(), 0b100);
}

TEST_F(DlgViaTest, BoardWithoutNegativeLayersKeepsTheViasBits)
{
    Board({0x1, 0x1, 0x1, 0x1});
    CVia via(CDPoint(0, 0), 3, &doc, 0b0101);
    via.SetType(0x2);
    OnDialog([](QDialog* d) {
        CCheckListBox* list = List(d);
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text(), QString::fromUtf8("ネガ層がありません"));
        EXPECT_FALSE(list->isEnabled());
        EXPECT_EQ(State(d, CDlgVia::IdCoupon), Qt::Checked);
        // The marks exclude each other.
        Click(d, CDlgVia::IdDummy);
        EXPECT_EQ(State(d, CDlgVia::IdCoupon), Qt::Unchecked);
        Type(d, CDlgVia::IdViaNo, "5");
        Shot(d, "via-no-negative");
        Ok(d);
    });
    EXPECT_TRUE(via.EditVia(false, nullptr));
    EXPECT_EQ(via.GetWireLay(), 0b0101);
    EXPECT_EQ(via.GetViaNo(), 5);
    EXPECT_EQ(via.GetType() & 0x6, 0x4);
}

TEST_F(DlgViaTest, TwoThermalLayersAskFirst)
{
    Board({0x1 | 0x8, 0x1, 0x1 | 0x8, 0x1});
    CVia via(CDPoint(0, 0), 3, &doc, 0b0010);
    const auto tickBoth = [](QDialog* d) {
        EXPECT_EQ(List(d)->GetCheck(0), 0);
        Tick(d, 0);
        Tick(d, 1);
        Shot(d, "via-single");
        Ok(d);
    };
    messages.QueueAnswer(IDNO);
    OnDialog(tickBoth);
    EXPECT_FALSE(via.EditVia(false, nullptr));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, _J("内層サーマルランドが複数有ります。よろしくですか？"));
    EXPECT_EQ(via.GetWireLay(), 0b0010);

    messages.QueueAnswer(IDYES);
    OnDialog(tickBoth);
    EXPECT_TRUE(via.EditVia(false, nullptr));
    EXPECT_EQ(via.GetWireLay(), 0b0111); // position 2 is no negative layer: its bit stays
}

TEST_F(DlgViaTest, ViaNumberOutOfRangeIsRefused)
{
    Board({0x1, 0x1});
    CVia via(CDPoint(0, 0), 3, &doc, 0);
    OnDialog([](QDialog* d) {
        Type(d, CDlgVia::IdViaNo, "0");
        Ok(d);
    });
    EXPECT_FALSE(via.EditVia(false, nullptr));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.Last().text, platform::IntRangeText(1, 64));
}

TEST_F(DlgViaTest, OversizedRecordOpensWithoutHarm)
{
    ViaDialogData data;
    data.wireCount = 40;
    data.layers.assign(3, -1);
    data.layerTypes.assign(3, 0x8);
    data.viaNo = 2;
    OnDialog([](QDialog* d) {
        EXPECT_EQ(List(d)->count(), 3);
        EXPECT_EQ(List(d)->item(0)->text(), QString::fromUtf8(" 1層 (LAYER=  0)"));
        Ok(d);
    });
    EXPECT_TRUE(dialogs.RunViaDialog(data));
    EXPECT_EQ(data.viaNo, 2);
}

} // namespace
