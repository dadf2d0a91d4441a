// Find dialog: the profile section "Find" with its defaults and junk, the history of 16 texts, the
// enabling rules and the layers searched.

#include "dialogs/DlgFind.h"
#include "libui/CheckListBox.h"
#include "libui/DlgLayerSel.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

namespace {

class DlgFindTest : public DialogFixture
{
protected:
    static QLineEdit* TextEdit(QWidget* d) { return Combo(d, CDlgFind::IdText)->lineEdit(); }
    std::vector<std::string> History() const
    {
        std::vector<std::string> out;
        for (int i = 1; i <= 16; ++i)
            out.push_back(profile.GetString("Find", "Find" + std::to_string(i), "<none>"));
        return out;
    }

    FakeDocument fakeDoc;
    FakeFrameServices frame{&fakeDoc};
};

TEST_F(DlgFindTest, DefaultsAndAStoredLayerListWithJunk)
{
    profile.SetString("Find", "Layer", "  5, 3,200, x,7, 5");
    profile.SetString("Find", "Target", "junk");
    profile.SetString("Find", "LayMode", "9");
    CDlgFind dialog;
    dialog.show();
    Shot(&dialog, "find");
    // Target 514: references and texts.
    EXPECT_EQ(dialog.m_nTarget, 514);
    EXPECT_EQ(State(&dialog, CDlgFind::IdReferences), Qt::Checked);
    EXPECT_EQ(State(&dialog, CDlgFind::IdTexts), Qt::Checked);
    EXPECT_EQ(State(&dialog, CDlgFind::IdPartNames), Qt::Unchecked);
    EXPECT_EQ(State(&dialog, CDlgFind::IdAllSheet), Qt::Checked);
    EXPECT_EQ(State(&dialog, CDlgFind::IdWriteLayer), Qt::Checked);
    EXPECT_EQ(Text(&dialog, CDlgFind::IdLayerList), "5, 3,200, x,7, 5");
    EXPECT_EQ(dialog.m_order[4], 1);
    EXPECT_EQ(dialog.m_order[2], 2);
    EXPECT_EQ(dialog.m_order[6], 3);
    EXPECT_EQ(std::count_if(dialog.m_order.begin(), dialog.m_order.end(), [](int s) { return s != 0; }), 3);

    int layers[128];
    Click(&dialog, CDlgFind::IdListed);
    dialog.GetSearchLayers(layers);
    EXPECT_EQ(layers[4], 1);
    EXPECT_EQ(layers[6], 3);
    EXPECT_EQ(layers[199 % 128], 0);
    Click(&dialog, CDlgFind::IdAllLayers);
    dialog.GetSearchLayers(layers);
    EXPECT_TRUE(std::all_of(std::begin(layers), std::end(layers), [](int v) { return v == 1; }));
    Click(&dialog, CDlgFind::IdDisplayed);
    dialog.GetSearchLayers(layers);
    EXPECT_TRUE(std::all_of(std::begin(layers), std::end(layers), [](int v) { return v == 0; }));
}

TEST_F(DlgFindTest, SearchingMovesATextToTheTopAndTheSeventeenthDropsTheOldest)
{
    for (int i = 1; i <= 16; ++i)
        profile.SetString("Find", "Find" + std::to_string(i), "t" + std::to_string(i));
    {
        CDlgFind dialog;
        dialog.show();
        EXPECT_EQ(TextEdit(&dialog)->text(), "t1");
        EXPECT_EQ(Combo(&dialog, CDlgFind::IdText)->count(), 16);
        TypeInto(TextEdit(&dialog), "t3");
        Ok(&dialog);
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
    }
    std::vector<std::string> expected = {"t3", "t1", "t2"};
    for (int i = 4; i <= 16; ++i)
        expected.push_back("t" + std::to_string(i));
    EXPECT_EQ(History(), expected);
    {
        CDlgFind dialog;
        dialog.show();
        TypeInto(TextEdit(&dialog), "new  ");
        Ok(&dialog);
        EXPECT_EQ(dialog.m_strText, "new");
    }
    expected.insert(expected.begin(), "new");
    expected.pop_back();
    EXPECT_EQ(History(), expected);
}

TEST_F(DlgFindTest, AShortHistoryFillsTheRestWithEmptyEntries)
{
    profile.SetString("Find", "Find1", "R1");
    profile.SetString("Find", "Find2", "  ");
    profile.SetString("Find", "Find3", "after a gap");
    CDlgFind dialog;
    dialog.show();
    // The list stops at the first empty entry.
    EXPECT_EQ(Combo(&dialog, CDlgFind::IdText)->count(), 1);
    TypeInto(TextEdit(&dialog), QString::fromUtf8("抵抗"));
    Ok(&dialog);
    std::vector<std::string> expected(16, "");
    expected[0] = _J("抵抗");
    expected[1] = "R1";
    EXPECT_EQ(History(), expected);
}

TEST_F(DlgFindTest, EmptyAndUnwritableTextsAreRefused)
{
    const struct
    {
        QString text;
        std::string message;
    } rows[] = {{"   ", _J("検索文字列を入力して下さい。")},
                {QString::fromUtf8("R\u00e9"), _J("この文字列には使用できない文字が含まれています。")}};
    for (const auto& row : rows) {
        messages.Clear();
        CDlgFind dialog;
        dialog.show();
        TypeInto(TextEdit(&dialog), row.text);
        Ok(&dialog);
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(messages.Count(), 1u);
        EXPECT_EQ(messages.Last().text, row.message);
        EXPECT_FALSE(profile.HasKey("Find", "Find1"));
    }
}

TEST_F(DlgFindTest, SelectingFoundItemsOnlyOnTheWriteLayer)
{
    CDlgFind dialog;
    dialog.show();
    TypeInto(TextEdit(&dialog), "U1");
    ASSERT_TRUE(Enabled(&dialog, CDlgFind::IdSelectItem));
    Click(&dialog, CDlgFind::IdSelectItem);
    // With the found items selected, only the current drawing is searched.
    EXPECT_FALSE(Enabled(&dialog, CDlgFind::IdAllSheet));
    Click(&dialog, CDlgFind::IdAllLayers);
    EXPECT_FALSE(Enabled(&dialog, CDlgFind::IdSelectItem));
    EXPECT_EQ(State(&dialog, CDlgFind::IdSelectItem), Qt::Checked);
    Click(&dialog, CDlgFind::IdPartNames);
    Click(&dialog, CDlgFind::IdTexts);
    Ok(&dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(profile.GetInt("Find", "SelectItem", -1), 0);
    EXPECT_EQ(profile.GetInt("Find", "LayMode", -1), CDlgFind::ModeAll);
    EXPECT_EQ(profile.GetInt("Find", "Target", -1), 0x001 | 0x002);
    EXPECT_EQ(profile.GetInt("Find", "AllSheet", -1), 1);
}

TEST_F(DlgFindTest, TheLayerButtonPicksLayersInLayerOrder)
{
    profile.SetString("Find", "Layer", "9");
    CDlgFind dialog;
    dialog.show();
    OnDialog([](QDialog* d) {
        auto* list = FindControl<CCheckListBox>(d, CDlgLayerSel::IdList);
        list->CycleRow(4);
        list->CycleRow(1);
        Ok(d);
    });
    Click(&dialog, CDlgFind::IdLayerButton);
    EXPECT_TRUE(opened);
    EXPECT_EQ(Text(&dialog, CDlgFind::IdLayerList), "  2,  5,  9");
    EXPECT_EQ(dialog.m_order[1], 1);
    EXPECT_EQ(dialog.m_order[8], 3);
    Click(&dialog, CDlgFind::IdListed);
    TypeInto(TextEdit(&dialog), "x");
    Ok(&dialog);
    EXPECT_EQ(profile.GetString("Find", "Layer"), "  2,  5,  9");
}

} // namespace
