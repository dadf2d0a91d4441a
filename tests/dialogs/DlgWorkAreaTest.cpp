// Work area and layer exchange dialogs: the work area's limits and the two layer choices.

#include "dialogs/DlgWorkArea.h"
#include "dialogs/DlgLayerSwap.h"
#include "platform/J.h"
#include "tests/dialogs/DialogFixture.h"

#include <QPushButton>

namespace {

using DlgWorkAreaTest = DialogFixture;

TEST_F(DlgWorkAreaTest, WorkAreaAndOriginLimits)
{
    struct Row
    {
        const char* width;
        const char* height;
        const char* x;
        const char* y;
        const char* message; // null: accepted
    };
    const Row rows[] = {
        {"500", "100", "0", "0", nullptr},
        {"99.9", "300", "0", "0", "作業領域は１００～５００ｍｍです"},
        {"500.1", "300", "0", "0", "作業領域は１００～５００ｍｍです"},
        {"300", "200", "150", "100", nullptr},
        {"300", "200", "150.1", "0", "原点は０～作業領域の半分です"},
        {"300", "200", "0", "100.1", "原点は０～作業領域の半分です"},
    };
    for (const Row& row : rows) {
        messages.Clear();
        CDlgWorkArea dialog;
        dialog.m_dWidth = 200;
        dialog.m_dHeight = 200;
        dialog.show();
        const std::pair<int, const char*> fields[] = {{CDlgWorkArea::IdWidth, row.width},
                                                      {CDlgWorkArea::IdHeight, row.height},
                                                      {CDlgWorkArea::IdOriginX, row.x},
                                                      {CDlgWorkArea::IdOriginY, row.y}};
        for (auto [id, text] : fields) {
            Type(&dialog, id, text);
            // The field refuses a value above its range as it is typed; pasted in by hand.
            if (Text(&dialog, id) != text)
                Edit(&dialog, id)->setText(text);
        }
        if (!row.message && row.x[0] == '1')
            Shot(&dialog, "DlgWorkArea");
        Ok(&dialog);
        const std::string context = std::string(row.width) + " " + row.height + " " + row.x + " " + row.y;
        if (row.message) {
            EXPECT_TRUE(dialog.isVisible()) << context;
            ASSERT_EQ(messages.Count(), 1u) << context;
            EXPECT_EQ(messages.Last().text, platform::JLiteral(row.message)) << context;
        } else {
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << context;
            EXPECT_EQ(dialog.m_dWidth, std::atof(row.width));
            EXPECT_EQ(dialog.m_dOriginX, std::atof(row.x));
        }
    }
}

TEST_F(DlgWorkAreaTest, LayerExchangeNeedsTwoDifferentLayers)
{
    CDlgLayerSwap dialog;
    dialog.m_layers.resize(128);
    dialog.m_layers[0].name = _J("部品面");
    dialog.m_layers[127].name = "last";
    dialog.show();
    QComboBox* a = Combo(&dialog, CDlgLayerSwap::IdLayerA);
    ASSERT_EQ(a->count(), 128);
    EXPECT_EQ(a->itemText(0), QString::fromUtf8("  1 : 部品面"));
    EXPECT_EQ(a->itemText(127), "128 : last");
    EXPECT_EQ(FindControl<QPushButton>(&dialog, CDialogBuilder::IdOk)->text(), QString::fromUtf8("交換(&S)"));
    EXPECT_FALSE(Enabled(&dialog, CDialogBuilder::IdOk));
    ChooseEntry(&dialog, CDlgLayerSwap::IdLayerB, 2);
    EXPECT_TRUE(Enabled(&dialog, CDialogBuilder::IdOk));
    ChooseEntry(&dialog, CDlgLayerSwap::IdLayerA, 2);
    EXPECT_FALSE(Enabled(&dialog, CDialogBuilder::IdOk));
    ChooseEntry(&dialog, CDlgLayerSwap::IdLayerA, 127);
    Shot(&dialog, "DlgLayerSwap");
    Ok(&dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_nLayerA, 127);
    EXPECT_EQ(dialog.m_nLayerB, 2);
}

} // namespace
