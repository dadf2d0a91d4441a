// Via table dialog: the column order, the drill and turret cells with their ranges, the columns
// that set several groups, the via numbers' range and the current via.

#include "dialogs/DlgViaTable.h"
#include "platform/J.h"
#include "tests/dialogs/NumberedTableFixture.h"

namespace {

class DlgViaTableTest : public NumberedTableFixture
{
protected:
    void Fill(CDlgViaTable& d)
    {
        tagVIA& via = d.m_vias[1];
        via.drill = 0.8;
        for (int i = 0; i < 15; ++i)
            via.lands[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i + 1);
        d.m_nDefaultVia = 2;
        d.m_nAutoVia = 64;
    }
};

TEST_F(DlgViaTableTest, ColumnsInTheirDisplayOrderAndCells)
{
    CDlgViaTable d;
    Fill(d);
    d.show();
    EXPECT_EQ(Captions(&d),
              (std::vector<std::string>{"", "No", _J("穴径"), _J("部品"), _J("部Ｒ"), _J("内層"), _J("内Ｔ"),
                                        _J("内Ｃ"), _J("半田"), _J("半Ｒ")}));
    EXPECT_EQ(d.List()->GetItemCount(), 64);
    EXPECT_EQ(Cell(&d, 0, 1), "  1");
    EXPECT_EQ(Cell(&d, 0, 2), "0.80");
    EXPECT_EQ(Cell(&d, 0, 3), "  1"); // component land
    EXPECT_EQ(Cell(&d, 0, 6), "  3"); // component resist
    EXPECT_EQ(Cell(&d, 0, 4), "  6"); // inner land
    EXPECT_EQ(Cell(&d, 0, 7), "  9"); // thermal from the inner group
    EXPECT_EQ(Cell(&d, 0, 9), " 10"); // clearance from the inner group
    EXPECT_EQ(Cell(&d, 0, 5), " 11"); // solder land
    EXPECT_EQ(Cell(&d, 0, 8), " 13"); // solder resist
    EXPECT_EQ(Cell(&d, 63, 1), " 64");
    EXPECT_EQ(Text(&d, CDlgViaTable::IdDefault), "2");
    EXPECT_EQ(Text(&d, CDlgViaTable::IdAuto), "64");
    Shot(&d, "DlgViaTable");
}

TEST_F(DlgViaTableTest, DrillAndTurretCellsTakeOnlyTheirRange)
{
    CDlgViaTable d;
    Fill(d);
    d.show();
    EditCell(&d, 0, 2, "300");
    EXPECT_EQ(d.m_vias[1].drill, 300.0);
    for (const char* text : {"300.01", "-0.5", "abc"}) {
        EditCell(&d, 0, 2, text);
        EXPECT_EQ(d.m_vias[1].drill, 300.0) << text;
        EXPECT_EQ(Cell(&d, 0, 2), "300.00") << text;
    }
    for (const char* text : {"abc", "121", "-1", "00", " 0"}) {
        EditCell(&d, 0, 3, text);
        EXPECT_EQ(d.m_vias[1].lands[0], 1) << text;
        EXPECT_EQ(Cell(&d, 0, 3), "  1") << text;
    }
    EditCell(&d, 0, 3, "0");
    EXPECT_EQ(d.m_vias[1].lands[0], 0);
    EXPECT_EQ(d.m_vias[1].lands[1], 0); // the second land position goes with it
    EditCell(&d, 0, 4, "120");
    EXPECT_EQ(d.m_vias[1].lands[5], 120);
    EXPECT_EQ(d.m_vias[1].lands[6], 120);
    // Thermal and clearance set all three groups; the inner resist cannot be edited.
    EditCell(&d, 0, 7, "44");
    EditCell(&d, 0, 9, "55");
    for (int group = 0; group < 3; ++group) {
        EXPECT_EQ(d.m_vias[1].lands[static_cast<std::size_t>(group * 5 + 3)], 44);
        EXPECT_EQ(d.m_vias[1].lands[static_cast<std::size_t>(group * 5 + 4)], 55);
    }
    EditCell(&d, 0, 6, "7");
    EditCell(&d, 0, 8, "8");
    EXPECT_EQ(d.m_vias[1].lands[2], 7);
    EXPECT_EQ(d.m_vias[1].lands[12], 8);
    EXPECT_EQ(d.m_vias[1].lands[7], 8); // inner resist as it was
    Ok(&d);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.m_vias[1].lands[0], 0); // no normalisation
}

TEST_F(DlgViaTableTest, ViaNumbersOutsideTheirRangeKeepTheDialogOpen)
{
    for (const char* text : {"0", "65"}) {
        messages.Clear();
        CDlgViaTable d;
        d.show();
        Type(&d, CDlgViaTable::IdAuto, text);
        Ok(&d);
        EXPECT_TRUE(d.isVisible()) << text;
        EXPECT_EQ(LastMessage(), QString::fromUtf8("1 から 64 までの整数を入力してください。")) << text;
    }
}

TEST_F(DlgViaTableTest, RightClickMakesTheCurrentVia)
{
    CDlgViaTable d;
    Fill(d);
    d.show();
    EXPECT_FALSE(TextColour(&d, 3).has_value());
    RightClick(&d, 3);
    EXPECT_EQ(d.m_nCurrent, 3);
    EXPECT_EQ(TextColour(&d, 3), RGB(255, 0, 0));
}

} // namespace
