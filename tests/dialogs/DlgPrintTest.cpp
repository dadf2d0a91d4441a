// Print dialog: the modes and their enabling, the fill options and the profile, the page count
// and each page's layers, the offset range, the paper table and the pattern button.

#include "dialogs/DlgPrint.h"
#include "dialogs/DlgLayerPattern.h"
#include "libui/CheckListBox.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"

#include <QListWidget>
#include <QPushButton>
#include <QSlider>

namespace {

class DlgPrintTest : public DialogFixture
{
protected:
    static CCheckListBox* List(QWidget* d) { return FindControl<CCheckListBox>(d, CDlgPrint::IdList); }
    // Ticks or unticks a row as a click on its box does.
    static void Tick(QWidget* d, int row) { List(d)->CycleRow(row); }
    static const std::vector<std::string>& ThreeEntries()
    {
        static const std::vector<std::string> entries = {
            "0:top           : PRINTER      :1,2,10", "1 : mid : PRINTER :3", "0 : bottom : PRINTER :4,5;"};
        return entries;
    }
};

TEST_F(DlgPrintTest, AnEmptyListPrintsTheImage)
{
    CDlgPrint dialog;
    dialog.m_nMode = 1;
    dialog.show();
    EXPECT_EQ(State(&dialog, CDlgPrint::IdImageMode), Qt::Checked);
    EXPECT_FALSE(Enabled(&dialog, CDlgPrint::IdListMode));
    EXPECT_FALSE(Enabled(&dialog, CDlgPrint::IdList));
    EXPECT_FALSE(Enabled(&dialog, CDlgPrint::IdReverse));
    EXPECT_TRUE(Enabled(&dialog, CDialogBuilder::IdOk));
    EXPECT_EQ(FindControl<QPushButton>(&dialog, CDialogBuilder::IdOk)->text(), QString::fromUtf8("印刷(&P)"));
    Ok(&dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetPageCount(), 1);
    EXPECT_EQ(dialog.m_nPaperCode, 9); // A4, the default paper
}

TEST_F(DlgPrintTest, ListModeNeedsATickedEntry)
{
    CDlgPrint dialog;
    dialog.m_bPreview = 1;
    dialog.m_printList = {"0 : a : PRINTER :1", "0 : b : PRINTER :2"};
    dialog.show();
    EXPECT_EQ(FindControl<QPushButton>(&dialog, CDialogBuilder::IdOk)->text(),
              QString::fromUtf8("プレビュー(&P)"));
    EXPECT_FALSE(Enabled(&dialog, CDlgPrint::IdList));
    Click(&dialog, CDlgPrint::IdListMode);
    EXPECT_TRUE(Enabled(&dialog, CDlgPrint::IdList));
    EXPECT_TRUE(Enabled(&dialog, CDlgPrint::IdReverse));
    EXPECT_FALSE(Enabled(&dialog, CDialogBuilder::IdOk));
    Tick(&dialog, 1);
    EXPECT_TRUE(Enabled(&dialog, CDialogBuilder::IdOk));
    Shot(&dialog, "DlgPrintList");
    EXPECT_EQ(dialog.m_printList[1], "1 : b : PRINTER :2");
    EXPECT_EQ(List(&dialog)->item(0)->text(), "a : PRINTER :1");
    Ok(&dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetPageCount(), 1);
}

TEST_F(DlgPrintTest, FillAllExcludesFillWideAndIsStored)
{
    profile.SetInt("Printer", "Paint", 1);
    CDlgPrint dialog;
    dialog.show();
    EXPECT_EQ(State(&dialog, CDlgPrint::IdFillWide), Qt::Checked);
    EXPECT_FALSE(Enabled(&dialog, CDlgPrint::IdFillAll));
    Click(&dialog, CDlgPrint::IdFillWide);
    EXPECT_TRUE(Enabled(&dialog, CDlgPrint::IdFillAll));
    Click(&dialog, CDlgPrint::IdFillAll);
    EXPECT_FALSE(Enabled(&dialog, CDlgPrint::IdFillWide));
    Shot(&dialog, "DlgPrint");
    Ok(&dialog);
    EXPECT_EQ(profile.GetInt("Printer", "Paint", -1), 2);
    EXPECT_EQ(profile.GetInt("Printer", "Reverse", -1), 0);
}

TEST_F(DlgPrintTest, PagesAndTheirLayers)
{
    CDlgPrint dialog;
    dialog.m_nMode = 1;
    dialog.m_printList = ThreeEntries();
    dialog.m_printList[0][0] = '1';
    dialog.m_printList[2][0] = '1';
    EXPECT_EQ(dialog.GetPageCount(), 3);
    std::vector<int> layers;
    dialog.GetPageLayers(1, layers);
    EXPECT_EQ(layers, (std::vector<int>{0, 1, 9, -1}));
    dialog.GetPageLayers(3, layers);
    EXPECT_EQ(layers, (std::vector<int>{3, 4, -1}));
    // No such page: the array stays.
    dialog.GetPageLayers(4, layers);
    EXPECT_EQ(layers, (std::vector<int>{3, 4, -1}));
    // Reverse order: page 1 is the last ticked entry.
    profile.SetInt("Printer", "Reverse", 1);
    dialog.GetPageLayers(1, layers);
    EXPECT_EQ(layers, (std::vector<int>{3, 4, -1}));
    dialog.GetPageLayers(3, layers);
    EXPECT_EQ(layers, (std::vector<int>{0, 1, 9, -1}));
    dialog.m_nMode = 0;
    EXPECT_EQ(dialog.GetPageCount(), 1);
}

TEST_F(DlgPrintTest, OffsetsOutOfRangeKeepTheDialogOpen)
{
    const struct
    {
        int id;
        const char* text;
        bool accepted;
    } rows[] = {{CDlgPrint::IdVertical, "1001", false},
                {CDlgPrint::IdHorizontal, "-1001", false},
                {CDlgPrint::IdVertical, "x", false},
                {CDlgPrint::IdVertical, "-1000", true},
                {CDlgPrint::IdHorizontal, "1000", true}};
    for (const auto& row : rows) {
        messages.Clear();
        CDlgPrint dialog;
        dialog.show();
        Type(&dialog, row.id, row.text);
        Ok(&dialog);
        EXPECT_EQ(dialog.isVisible(), !row.accepted) << row.text;
        if (!row.accepted) {
            ASSERT_EQ(messages.Count(), 1u) << row.text;
            EXPECT_EQ(LastMessage(), QString::fromUtf8("-1000 から 1000 までの整数を入力してください。"));
        } else {
            EXPECT_EQ(row.id == CDlgPrint::IdVertical ? dialog.m_nVertical : dialog.m_nHorizontal,
                      std::atoi(row.text));
        }
    }
}

TEST_F(DlgPrintTest, PaperSliderAndScale)
{
    for (int i = 0; i < 9; ++i)
        EXPECT_FALSE(CDlgPrint::GetPaperName(i).empty());
    EXPECT_EQ(CDlgPrint::GetPaperName(8), _J("既定値"));
    EXPECT_EQ(CDlgPrint::GetPaperCode(5), 88);
    EXPECT_EQ(CDlgPrint::GetPaperCode(8), 0);
    CDlgPrint dialog;
    dialog.m_bColor = 1;
    dialog.m_dScale = 0.1;
    dialog.show();
    QComboBox* paper = Combo(&dialog, CDlgPrint::IdPaper);
    ASSERT_EQ(paper->count(), 8);
    EXPECT_EQ(paper->currentText(), "A4");
    QSlider* slider = FindControl<QSlider>(&dialog, CDlgPrint::IdGreySlider);
    EXPECT_EQ(slider->maximum(), 255);
    EXPECT_EQ(slider->tickInterval(), 32);
    EXPECT_EQ(slider->pageStep(), 32);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp);
    EXPECT_EQ(Text(&dialog, CDlgPrint::IdGrey), "160");
    EXPECT_EQ(Text(&dialog, CDlgPrint::IdScale), "0.1"); // the lower bound can be shown and typed
    ChooseEntry(&dialog, CDlgPrint::IdPaper, 7);
    Click(&dialog, CDlgPrint::IdLandscape);
    Ok(&dialog);
    EXPECT_EQ(dialog.m_nGrey, 160);
    EXPECT_EQ(dialog.m_nPaper, 7);
    EXPECT_EQ(dialog.m_nPaperCode, 12);
    EXPECT_EQ(dialog.m_nOrientation, 0);
    EXPECT_DOUBLE_EQ(dialog.m_dScale, 0.1);
}

TEST_F(DlgPrintTest, PatternButtonReplacesTheListUnticked)
{
    CDlgPrint dialog;
    dialog.m_printList = {"1 : a : PRINTER :1"};
    dialog.show();
    std::vector<std::string> handed;
    OnDialog([&](QDialog* d) {
        auto* pattern = qobject_cast<CDlgLayerPattern*>(d);
        ASSERT_NE(pattern, nullptr);
        EXPECT_TRUE(pattern->m_bPrinter);
        handed = pattern->m_entries;
        pattern->m_entries = {CDlgLayerPattern::FormatEntry("x", "PRINTER", "1,2"),
                              CDlgLayerPattern::FormatEntry("y", "PRINTER", "3")};
        d->QDialog::accept();
    });
    Click(&dialog, CDlgPrint::IdPattern);
    EXPECT_EQ(handed, std::vector<std::string>{"a : PRINTER :1"});
    ASSERT_EQ(dialog.m_printList.size(), 2u);
    EXPECT_EQ(dialog.m_printList[0].substr(0, 4), "0 : ");
    EXPECT_EQ(List(&dialog)->count(), 2);
    EXPECT_EQ(List(&dialog)->GetCheck(0), 0);
}

} // namespace
