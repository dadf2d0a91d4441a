// Layer pattern dialogs: the padded entries, add-or-replace by key, moving and deleting entries,
// printer mode, and the registration of a pattern under a number and a name.

#include "dialogs/DlgLayerPattern.h"
#include "dialogs/DlgPatternRegist.h"
#include "libui/CheckListBox.h"
#include "libui/DlgLayerSel.h"
#include "platform/J.h"
#include "platform/RangeText.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <QListWidget>

namespace {

class DlgLayerPatternTest : public DialogFixture
{
protected:
    static QListWidget* List(QWidget* d) { return FindControl<QListWidget>(d, CDlgLayerPattern::IdList); }
    static void Select(QWidget* d, int row)
    {
        QListWidget* list = List(d);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(row)).center());
    }
    // Ticks layers in the layer selection dialog that the layer button opens.
    void PickLayers(QWidget* d, std::vector<int> layers)
    {
        OnDialog([layers](QDialog* sel) {
            auto* list = FindControl<CCheckListBox>(sel, CDlgLayerSel::IdList);
            for (int layer : layers)
                list->CycleRow(layer - 1);
            Ok(sel);
        });
        Click(d, CDlgLayerPattern::IdLayerButton);
    }

    FakeDocument fakeDoc;
    FakeFrameServices frame{&fakeDoc};
};

TEST_F(DlgLayerPatternTest, EntriesArePaddedByBytesAndParsedBack)
{
    EXPECT_EQ(CDlgLayerPattern::FormatEntry("TOP", "top.gbr", "  1,  2"),
              "TOP           : top.gbr      :  1,  2");
    const std::string kanji = _J("部品面");
    EXPECT_EQ(CDlgLayerPattern::FormatEntry(kanji, "a", "  3"), kanji + "        : a            :  3");
    std::string name, file, layers;
    CDlgLayerPattern::ParseEntry("TOP           : top.gbr      :  1,  2", name, file, layers);
    EXPECT_EQ(name, "TOP");
    EXPECT_EQ(file, "top.gbr");
    EXPECT_EQ(layers, "  1,  2");
}

TEST_F(DlgLayerPatternTest, AddingAFileNameEqualButForCaseReplacesInPlace)
{
    CDlgLayerPattern dialog;
    dialog.m_entries = {CDlgLayerPattern::FormatEntry("TOP", "top.gbr", "  1"),
                        CDlgLayerPattern::FormatEntry("BOTTOM", "bot.gbr", "  2"),
                        "SILK          : silk.gbr     :  5,200,  3"};
    dialog.show();
    EXPECT_FALSE(Enabled(&dialog, CDlgLayerPattern::IdAdd));
    EXPECT_FALSE(Enabled(&dialog, CDlgLayerPattern::IdDelete));

    // A hand-edited layer list loses the numbers that are no layer.
    Select(&dialog, 2);
    EXPECT_EQ(Text(&dialog, CDlgLayerPattern::IdName), "SILK");
    EXPECT_EQ(Text(&dialog, CDlgLayerPattern::IdLayers), "  5,  3");
    EXPECT_EQ(dialog.m_order[4], 1);
    EXPECT_EQ(dialog.m_order[2], 2);

    Select(&dialog, 0);
    Type(&dialog, CDlgLayerPattern::IdName, "Solder");
    Type(&dialog, CDlgLayerPattern::IdFile, "BOT.GBR");
    // The selected entry's layer 1 is ticked already: untick it.
    PickLayers(&dialog, {1, 4, 7});
    EXPECT_EQ(Text(&dialog, CDlgLayerPattern::IdLayers), "  4,  7");
    ASSERT_TRUE(Enabled(&dialog, CDlgLayerPattern::IdAdd));
    Click(&dialog, CDlgLayerPattern::IdAdd);
    ASSERT_EQ(List(&dialog)->count(), 3);
    EXPECT_EQ(List(&dialog)->item(1)->text(), "Solder        : BOT.GBR      :  4,  7");
    EXPECT_EQ(List(&dialog)->currentRow(), 1);

    Type(&dialog, CDlgLayerPattern::IdFile, "new.gbr");
    Click(&dialog, CDlgLayerPattern::IdAdd);
    ASSERT_EQ(List(&dialog)->count(), 4);
    EXPECT_EQ(List(&dialog)->item(3)->text(), "Solder        : new.gbr      :  4,  7");
    Shot(&dialog, "layerpattern");

    Ok(&dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(dialog.m_entries.size(), 4u);
    EXPECT_EQ(dialog.m_entries[1], "Solder        : BOT.GBR      :  4,  7");
}

TEST_F(DlgLayerPatternTest, UpAndDownStopAtTheEndsAndDeleteSelectsTheNext)
{
    CDlgLayerPattern dialog;
    dialog.m_entries = {"A             : a            :  1", "B             : b            :  2",
                        "C             : c            :  3"};
    dialog.show();
    struct Row
    {
        int row;
        bool up;
        bool down;
    };
    for (const Row& r : {Row{0, false, true}, Row{1, true, true}, Row{2, true, false}}) {
        Select(&dialog, r.row);
        EXPECT_EQ(Enabled(&dialog, CDlgLayerPattern::IdUp), r.up) << r.row;
        EXPECT_EQ(Enabled(&dialog, CDlgLayerPattern::IdDown), r.down) << r.row;
    }
    Select(&dialog, 0);
    Click(&dialog, CDlgLayerPattern::IdDown);
    EXPECT_EQ(List(&dialog)->item(1)->text().left(1), "A");
    EXPECT_EQ(List(&dialog)->currentRow(), 1);
    Click(&dialog, CDlgLayerPattern::IdDown);
    EXPECT_EQ(List(&dialog)->item(2)->text().left(1), "A");
    EXPECT_FALSE(Enabled(&dialog, CDlgLayerPattern::IdDown));
    Click(&dialog, CDlgLayerPattern::IdUp);
    EXPECT_EQ(List(&dialog)->item(1)->text().left(1), "A");

    // Deleting the last entry selects the one before it; the fields show it.
    Select(&dialog, 2);
    Click(&dialog, CDlgLayerPattern::IdDelete);
    EXPECT_EQ(List(&dialog)->count(), 2);
    EXPECT_EQ(List(&dialog)->currentRow(), 1);
    EXPECT_EQ(Text(&dialog, CDlgLayerPattern::IdName), "A");
    Click(&dialog, CDlgLayerPattern::IdDelete);
    Click(&dialog, CDlgLayerPattern::IdDelete);
    EXPECT_EQ(List(&dialog)->count(), 0);
    EXPECT_EQ(Text(&dialog, CDlgLayerPattern::IdName), "");
    EXPECT_EQ(Text(&dialog, CDlgLayerPattern::IdFile), "");
    EXPECT_FALSE(Enabled(&dialog, CDlgLayerPattern::IdAdd));
    EXPECT_FALSE(Enabled(&dialog, CDlgLayerPattern::IdDelete));
}

TEST_F(DlgLayerPatternTest, BadFileNamesAreRefused)
{
    CDlgLayerPattern dialog;
    dialog.m_entries = {"A             : a            :  1"};
    dialog.show();
    Select(&dialog, 0);
    Type(&dialog, CDlgLayerPattern::IdFile, "c:x");
    Click(&dialog, CDlgLayerPattern::IdAdd);
    EXPECT_EQ(messages.Last().text, _J("ファイル名が不正です"));
    EXPECT_EQ(List(&dialog)->count(), 1);
    Type(&dialog, CDlgLayerPattern::IdFile, "a\\b");
    Ok(&dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.Count(), 2u);
}

TEST_F(DlgLayerPatternTest, PrinterModeKeysEntriesByName)
{
    CDlgLayerPattern dialog;
    dialog.m_bPrinter = true;
    dialog.m_entries = {CDlgLayerPattern::FormatEntry("TOP", "PRINTER", "  1")};
    dialog.show();
    EXPECT_EQ(Text(&dialog, CDlgLayerPattern::IdFile), "PRINTER");
    EXPECT_TRUE(Edit(&dialog, CDlgLayerPattern::IdFile)->isReadOnly());
    Type(&dialog, CDlgLayerPattern::IdName, "BOTTOM");
    // Printer entries keep the order in which the layers were ticked.
    PickLayers(&dialog, {9, 2});
    EXPECT_EQ(Text(&dialog, CDlgLayerPattern::IdLayers), "  9,  2");
    Click(&dialog, CDlgLayerPattern::IdAdd);
    ASSERT_EQ(List(&dialog)->count(), 2);
    Type(&dialog, CDlgLayerPattern::IdName, "top");
    Click(&dialog, CDlgLayerPattern::IdAdd);
    ASSERT_EQ(List(&dialog)->count(), 2);
    EXPECT_EQ(List(&dialog)->item(0)->text(), "top           : PRINTER      :  9,  2");
    Shot(&dialog, "layerpattern-printer");
}

TEST_F(DlgLayerPatternTest, RegistrationChecksNumberAndName)
{
    struct Row
    {
        const char* number;
        QString name;
        std::string message; // empty: accepted
    };
    const Row rows[] = {
        {"16", QString::fromUtf8("表示パターン"), ""},
        {"3", "", _J("パターン名は省略できません")},
        {"3", "a.b", _J("パターン名に使用できない文字があります")},
        {"3", "{x}", _J("パターン名に使用できない文字があります")},
        // The trail byte of 図 is 0x7D, '}' as a single byte: the name is fine.
        {"3", QString::fromUtf8("配線図"), ""},
        {"17", "x", platform::IntRangeText(1, 16)},
    };
    for (const Row& row : rows) {
        messages.Clear();
        CDlgPatternRegist dialog;
        dialog.m_names[2] = "THREE";
        dialog.m_menu[2] = 1;
        dialog.show();
        EXPECT_EQ(Text(&dialog, CDlgPatternRegist::IdNumber), "1");
        Type(&dialog, CDlgPatternRegist::IdNumber, "3");
        EXPECT_EQ(Text(&dialog, CDlgPatternRegist::IdName), "THREE");
        EXPECT_EQ(State(&dialog, CDlgPatternRegist::IdMenu), Qt::Checked);
        Type(&dialog, CDlgPatternRegist::IdName, row.name);
        Edit(&dialog, CDlgPatternRegist::IdNumber)->setText(row.number);
        Type(&dialog, CDlgPatternRegist::IdName, row.name);
        messages.Clear();
        Ok(&dialog);
        if (row.message.empty()) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << row.name.toStdString();
            EXPECT_EQ(dialog.m_nNumber, atoi(row.number));
            EXPECT_EQ(dialog.m_strName, platform::QStringToCp932(row.name).value());
        } else {
            EXPECT_TRUE(dialog.isVisible()) << row.name.toStdString();
            ASSERT_GE(messages.Count(), 1u);
            EXPECT_EQ(messages.Last().text, row.message) << row.name.toStdString();
        }
        if (row.number == std::string("16"))
            Shot(&dialog, "patternregist");
    }
}

} // namespace
