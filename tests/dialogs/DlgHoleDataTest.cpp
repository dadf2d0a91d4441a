// The hole-diameter data dialog: hole kinds from the tool table of the chosen layers, symbols
// carried over from the saved rows, the error-code row, and the refusals of OK.

#include "dialogs/DlgHoleData.h"
#include "libui/CheckListBox.h"
#include "libui/DlgLayerSel.h"
#include "platform/J.h"
#include "platform/RangeText.h"
#include "tests/dialogs/TableDialogFixture.h"
#include "tests/support/FakeDocument.h"
#include "tests/support/FakeFrameServices.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

tagTCODE Tool(int type, double d, double w, double r, int hits)
{
    tagTCODE code;
    code.holeType = type;
    code.diameter = d;
    code.width = w;
    code.radius = r;
    code.hitCount = hits;
    return code;
}

class DlgHoleDataTest : public TableDialogFixture
{
protected:
    void SetUp() override
    {
        TableDialogFixture::SetUp();
        kinds = {Tool(1, 0.8, 0, 0, 12), Tool(0x10, 1.0, 2.0, 0.5, 3), Tool(0x21, 1.5, 2.5, 0.25, 1)};
        dialog.m_pDoc = doc.get();
        dialog.m_layers[4] = 1;
        dialog.m_layers[6] = 1;
        dialog.m_holeKinds = [this](const std::array<int, 128>& flags, int mask) {
            calls.emplace_back(flags, mask);
            return kinds;
        };
    }
    CGfxListCtrl* List() { return dialog.List(); }
    void TypeNumber(int id, const QString& text) { FindControl<QLineEdit>(&dialog, id)->setText(text); }
    QString LastText()
    {
        return messages.Count() ? platform::Cp932ToQString(messages.Last().text) : QString();
    }

    std::vector<tagTCODE> kinds;
    std::vector<std::pair<std::array<int, 128>, int>> calls;
    CDlgHoleData dialog;
};

TEST_F(DlgHoleDataTest, TheRowsShowTheKindsOfTheTargetLayersWithTheirCounts)
{
    Show(dialog);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].second, 240);
    EXPECT_EQ(calls[0].first[4], 1);
    EXPECT_EQ(calls[0].first[5], 0);
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CDlgHoleData::IdLayers)->text(), " 5, 7");
    ASSERT_EQ(List()->GetItemCount(), 3);
    const char* sizes[] = {"0.8", "φ1.0x2.0", "1.5x2.5(0.25)"};
    const char* plating[] = {"TH", "NTH", "TH"};
    const char* counts[] = {" 12", "  3", "  1"};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(Cell(List(), r, CDlgHoleData::ColSize), QString::fromUtf8(sizes[r]));
        EXPECT_EQ(Cell(List(), r, CDlgHoleData::ColPlating), plating[r]);
        EXPECT_EQ(Cell(List(), r, CDlgHoleData::ColCount), counts[r]);
    }
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CDlgHoleData::IdTotal)->text(), "16");
    // The table list offers "no table" first and selects it for a negative layer.
    auto* table = FindControl<QComboBox>(&dialog, CDlgHoleData::IdTableLayer);
    EXPECT_EQ(table->itemText(0), QString::fromUtf8("--- 表出力なし"));
    EXPECT_EQ(table->currentIndex(), 0);
    EXPECT_EQ(table->count(), FindControl<QComboBox>(&dialog, CDlgHoleData::IdSymbolLayer)->count() + 1);

    // A symbol typed in place is trimmed.
    EditCell(List(), 1, CDlgHoleData::ColSymbol, "  A ");
    EXPECT_EQ(dialog.m_rows[1].symbol, "A");
    EXPECT_EQ(Cell(List(), 1, CDlgHoleData::ColSymbol), "A");
    Shot(&dialog, "DlgHoleData");
}

TEST_F(DlgHoleDataTest, ASavedSymbolReturnsOnlyForEqualFlagsAndSizes)
{
    dialog.m_saved[0] = {1, 0.8 + 5e-7, 0, 0, 0, "a"};         // within 1e-6
    dialog.m_saved[1] = {0x11, 1.0, 2.0, 0.5, 0, "b"};         // other flags
    dialog.m_saved[2] = {0x21, 1.5, 2.5 + 2e-6, 0.25, 0, "c"}; // one size off
    dialog.m_saved[3] = {0x21, 1.5, 2.5, 0.25, 0, "d"};        // beyond the count of kinds
    Show(dialog);
    EXPECT_EQ(dialog.m_rows[0].symbol, "a");
    EXPECT_EQ(dialog.m_rows[1].symbol, "");
    EXPECT_EQ(dialog.m_rows[2].symbol, "");
}

TEST_F(DlgHoleDataTest, TheErrorRowGoesAndComesBackWithItsCode)
{
    dialog.m_bErrorCheck = 1;
    dialog.m_strErrorCode = "E";
    Show(dialog);
    ASSERT_EQ(List()->GetItemCount(), 4);
    EXPECT_EQ(Cell(List(), 3, CDlgHoleData::ColSize), QString::fromUtf8("エラーコード"));
    EXPECT_EQ(Cell(List(), 3, CDlgHoleData::ColPlating), "---");
    EXPECT_EQ(Cell(List(), 3, CDlgHoleData::ColSymbol), "E");
    EXPECT_TRUE(Enabled(&dialog, CDlgHoleData::IdDistance));
    EditCell(List(), 3, CDlgHoleData::ColSymbol, "X9");
    EXPECT_EQ(dialog.m_strErrorCode, "X9");
    Click(&dialog, CDlgHoleData::IdErrorCheck);
    EXPECT_EQ(List()->GetItemCount(), 3);
    EXPECT_FALSE(Enabled(&dialog, CDlgHoleData::IdDistance));
    Click(&dialog, CDlgHoleData::IdErrorCheck);
    ASSERT_EQ(List()->GetItemCount(), 4);
    EXPECT_EQ(Cell(List(), 3, CDlgHoleData::ColSymbol), "X9");
}

TEST_F(DlgHoleDataTest, OkRefusesWithoutHolesWithoutACodeOrWithoutSymbols)
{
    struct Case
    {
        bool holes;
        int check;
        const char* code;
        const char* symbol;
        const char* message; // null: accepted
    };
    const Case cases[] = {
        {false, 1, "E", "", "ホールがありません"},
        {true, 1, "  ", "", "エラーコードが設定されていません"},
        {true, 0, "", "", "記号が１つも設定されていません"},
        {true, 1, "E", "", nullptr},
        {true, 0, "", "A", nullptr},
    };
    for (const Case& c : cases) {
        messages.Clear();
        if (!c.holes)
            kinds.clear();
        CDlgHoleData d;
        d.m_holeKinds = dialog.m_holeKinds;
        d.m_bErrorCheck = c.check;
        d.m_strErrorCode = c.code;
        d.m_saved[0] = {1, 0.8, 0, 0, 0, c.symbol};
        Show(d);
        Ok(&d);
        EXPECT_EQ(LastText(), c.message ? QString::fromUtf8(c.message) : QString()) << c.code << c.symbol;
        EXPECT_EQ(d.result() == QDialog::Accepted, c.message == nullptr);
        kinds = {Tool(1, 0.8, 0, 0, 12)};
    }
}

TEST_F(DlgHoleDataTest, TheAngleComesBackWithinAFullTurnAndValuesOutsideAreRefused)
{
    dialog.m_saved[0] = {1, 0.8, 0, 0, 0, "A"};
    struct Case
    {
        int id;
        const char* text;
        double angle;        // the angle handed back
        const char* message; // the range message, or null
    };
    const std::string heights = platform::NumberRangeText(0.6, 30.0);
    const std::string places = platform::NumberRangeText(-200.0, 400.0);
    const std::string angles = platform::NumberRangeText(-180.0, 360.0);
    const Case cases[] = {
        {CDlgHoleData::IdSymbolAngle, "-90", 270.0, nullptr},
        {CDlgHoleData::IdSymbolAngle, "360", 0.0, nullptr},
        {CDlgHoleData::IdSymbolAngle, "-180", 180.0, nullptr},
        {CDlgHoleData::IdSymbolAngle, "-181", 0.0, angles.c_str()},
        {CDlgHoleData::IdSymbolHeight, "0", 0.0, nullptr},
        {CDlgHoleData::IdSymbolHeight, "0.5", 0.0, heights.c_str()},
        {CDlgHoleData::IdTableHeight, "31", 0.0, heights.c_str()},
        {CDlgHoleData::IdTableY, "401", 0.0, places.c_str()},
        {CDlgHoleData::IdSymbolX, "-200", 0.0, nullptr},
    };
    for (const Case& c : cases) {
        messages.Clear();
        CDlgHoleData d;
        d.m_holeKinds = dialog.m_holeKinds;
        d.m_saved = dialog.m_saved;
        Show(d);
        FindControl<QLineEdit>(&d, c.id)->setText(c.text);
        Ok(&d);
        if (c.message) {
            EXPECT_EQ(d.result(), QDialog::Rejected) << c.text;
            ASSERT_EQ(messages.Count(), 1u) << c.text;
            EXPECT_EQ(messages.Last().text, c.message);
            continue;
        }
        EXPECT_EQ(d.result(), QDialog::Accepted) << c.text;
        EXPECT_DOUBLE_EQ(d.m_dSymbolAngle, c.angle) << c.text;
    }
    // Values handed in outside their ranges are refused at OK, not replaced silently.
    messages.Clear();
    CDlgHoleData d;
    d.m_holeKinds = dialog.m_holeKinds;
    d.m_saved = dialog.m_saved;
    d.m_dTableX = -500.0;
    Show(d);
    Ok(&d);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().text, places);
}

TEST_F(DlgHoleDataTest, TheLayerSelectionAsksForTheKindsAgain)
{
    FakeDocument fakeDoc;
    FakeFrameServices frame{&fakeDoc};
    Show(dialog);
    OnDialog([](QDialog* sel) {
        ASSERT_NE(qobject_cast<CDlgLayerSel*>(sel), nullptr);
        auto* list = FindControl<CCheckListBox>(sel, CDlgLayerSel::IdList);
        for (int row = 0; row < list->count(); ++row)
            if (list->GetRowData(row) == 9)
                list->CycleRow(row);
        Ok(sel);
    });
    kinds = {Tool(0, 3.0, 0, 0, 2)};
    Click(&dialog, CDlgHoleData::IdLayerButton);
    EXPECT_FALSE(stayedOpen);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].first[9], 1);
    EXPECT_EQ(calls[1].second, 240);
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CDlgHoleData::IdLayers)->text(), " 5, 7, 10");
    ASSERT_EQ(List()->GetItemCount(), 1);
    EXPECT_EQ(Cell(List(), 0, CDlgHoleData::ColSize), "3.0");
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CDlgHoleData::IdTotal)->text(), "2");
}

} // namespace
