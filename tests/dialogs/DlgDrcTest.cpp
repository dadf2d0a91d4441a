// Design rule check dialog: the copper mode switches, the listed layers, the error-layer and
// clearance checks at OK, the enabling rules and the profile keys written even by a refused OK.

#include "dialogs/DlgDrc.h"
#include "tests/dialogs/DialogFixture.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

class DlgDrcTest : public DialogFixture
{
protected:
    std::unique_ptr<CDlgDrc> Make()
    {
        auto dialog = std::make_unique<CDlgDrc>(doc.get());
        dialog->m_dCopperClearance = 0.2;
        dialog->m_dPartClearance = 0.5;
        return dialog;
    }
    static std::vector<int> Flagged(const CDlgDrc& dialog)
    {
        std::vector<int> layers;
        for (int i = 0; i < CDlgDrc::kCheckLayers; ++i)
            if (dialog.m_layers[static_cast<std::size_t>(i)])
                layers.push_back(i + 1);
        return layers;
    }
};

TEST_F(DlgDrcTest, ListedLayersAreParsedAndTheModeSwitchesToggle)
{
    struct Row
    {
        const char* typed;
        std::vector<int> layers;
        const char* stored;
    };
    const Row rows[] = {
        {"1 2\t,,3", {1, 2, 3}, "1,2,3"},
        {" ,33, ", {}, "33"},
        {"5,x,0,32", {5, 32}, "5,x,0,32"},
    };
    for (const Row& row : rows) {
        auto dialog = Make();
        dialog->m_layers.fill(1);
        dialog->show();
        EXPECT_FALSE(Enabled(dialog.get(), CDlgDrc::IdLayerList));
        Click(dialog.get(), CDlgDrc::IdListedLayers);
        EXPECT_EQ(dialog->m_nCopperMode, CDlgDrc::CopperListed);
        ASSERT_TRUE(Enabled(dialog.get(), CDlgDrc::IdLayerList));
        Type(dialog.get(), CDlgDrc::IdLayerList, row.typed);
        Ok(dialog.get());
        EXPECT_EQ(dialog->result(), QDialog::Accepted) << row.typed;
        EXPECT_EQ(Flagged(*dialog), row.layers) << row.typed;
        EXPECT_EQ(dialog->m_strLayers, row.stored) << row.typed;
    }

    // Twice on "all layers": back to off, the list disabled; "all" then ticks every layer.
    auto dialog = Make();
    dialog->m_nCopperMode = CDlgDrc::CopperListed;
    dialog->show();
    Click(dialog.get(), CDlgDrc::IdAllLayers);
    EXPECT_EQ(dialog->m_nCopperMode, CDlgDrc::CopperAll);
    EXPECT_EQ(State(dialog.get(), CDlgDrc::IdListedLayers), Qt::Unchecked);
    Click(dialog.get(), CDlgDrc::IdAllLayers);
    EXPECT_EQ(dialog->m_nCopperMode, CDlgDrc::CopperOff);
    EXPECT_EQ(State(dialog.get(), CDlgDrc::IdAllLayers), Qt::Unchecked);
    EXPECT_FALSE(Enabled(dialog.get(), CDlgDrc::IdLayerList));
    EXPECT_FALSE(Enabled(dialog.get(), CDlgDrc::IdErrorLayer));
    Click(dialog.get(), CDlgDrc::IdAllLayers);
    Ok(dialog.get());
    EXPECT_EQ(Flagged(*dialog).size(), 32u);
}

TEST_F(DlgDrcTest, RefusalsKeepTheDialogOpenAndTheProfileKeysAreWrittenFirst)
{
    struct Row
    {
        int mode;
        bool component;
        const char* layers;
        int errorLayer;
        int count;
        const char* copper;
        const char* part;
        const char* message; // null: accepted
    };
    const Row rows[] = {
        // Nothing checked: neither clearance is looked at.
        {CDlgDrc::CopperOff, false, "", 0, 0, "", "", nullptr},
        {CDlgDrc::CopperListed, false, "  ", 0, 0, "0.2", "0.5",
         "チェックする層をカンマ区切りで指定してください"},
        {CDlgDrc::CopperAll, false, "", 120, 9, "0.2", "0.5", "出力先頭レイヤ設定エラー"},
        {CDlgDrc::CopperAll, false, "", 120, 8, "0.2", "0.5", nullptr},
        {CDlgDrc::CopperAll, false, "", 0, 0, "", "0.5", "箔間距離設定エラー(0.01 - 5.0)"},
        {CDlgDrc::CopperAll, false, "", 0, 0, "0.009", "0.5", "箔間距離設定エラー(0.01 - 5.0)"},
        {CDlgDrc::CopperAll, false, "", 0, 0, "5", "", nullptr},
        {CDlgDrc::CopperOff, true, "", 0, 0, "", "0.09", "部品間距離設定エラー(0.1 - 5.0)"},
        {CDlgDrc::CopperOff, true, "", 0, 0, "", "0.1", nullptr},
    };
    // Layers 121 onwards hold no wiring or part layer on a new board: index 120 is offered.
    for (const Row& row : rows) {
        messages.Clear();
        profile.SetInt("Tool", "DRCView", 1);
        auto dialog = Make();
        dialog->m_nCopperMode = row.mode;
        dialog->m_bComponentSide = row.component;
        dialog->m_bPerLayer = 1;
        dialog->m_strLayers = row.layers;
        dialog->m_nErrorLayer = row.errorLayer;
        dialog->m_nErrorLayerCount = row.count;
        dialog->m_nNetFormat = 9;
        dialog->show();
        Edit(dialog.get(), CDlgDrc::IdCopperClearance)->setText(row.copper);
        Edit(dialog.get(), CDlgDrc::IdPartClearance)->setText(row.part);
        Click(dialog.get(), CDlgDrc::IdViewFiles); // off
        Ok(dialog.get());
        const std::string context =
            std::string(row.copper) + "/" + row.part + "/" + std::to_string(row.count);
        EXPECT_EQ(profile.GetInt("Tool", "DRCView", -1), 0) << context;
        EXPECT_EQ(profile.GetInt("Tool", "NetType", -1), 9) << context;
        if (row.message) {
            EXPECT_TRUE(dialog->isVisible()) << context;
            EXPECT_EQ(LastMessage(), QString::fromUtf8(row.message)) << context;
        } else {
            EXPECT_EQ(dialog->result(), QDialog::Accepted) << context;
            EXPECT_EQ(messages.Count(), 0u) << context;
        }
    }
}

TEST_F(DlgDrcTest, EnablingFollowsTheChecksAndTheErrorLayerListSkipsWiringLayers)
{
    auto dialog = Make();
    dialog->m_nErrorLayer = 125;
    dialog->show();
    QComboBox* layers = FindControl<QComboBox>(dialog.get(), CDlgDrc::IdErrorLayer);
    for (int i = 0; i < layers->count(); ++i)
        EXPECT_FALSE(doc->IsWiringOrPartLayer(layers->itemData(i).toInt()));
    EXPECT_EQ(layers->currentData().toInt(), 125);
    EXPECT_EQ(layers->currentText().left(3), "126");
    QComboBox* formats = FindControl<QComboBox>(dialog.get(), CDlgDrc::IdNetFormat);
    EXPECT_EQ(formats->count(), 18);
    EXPECT_EQ(formats->itemText(17), "PCAD");
    // Without a net list the compare is off; the format only with the reverse net.
    EXPECT_FALSE(Enabled(dialog.get(), CDlgDrc::IdNetCompare));
    EXPECT_FALSE(Enabled(dialog.get(), CDlgDrc::IdNetFormat));
    Click(dialog.get(), CDlgDrc::IdReverseNet);
    EXPECT_TRUE(Enabled(dialog.get(), CDlgDrc::IdNetFormat));
    EXPECT_FALSE(Enabled(dialog.get(), CDlgDrc::IdPerLayer));
    Click(dialog.get(), CDlgDrc::IdSolderSide);
    EXPECT_TRUE(Enabled(dialog.get(), CDlgDrc::IdPerLayer));
    EXPECT_TRUE(Enabled(dialog.get(), CDlgDrc::IdErrorLayer));
    layers->setCurrentIndex(0);
    Ok(dialog.get());
    EXPECT_EQ(dialog->m_nErrorLayer, layers->itemData(0).toInt());
    EXPECT_EQ(dialog->m_bSolderSide, 1);
    EXPECT_EQ(dialog->m_bReverseNet, 1);
    EXPECT_DOUBLE_EQ(dialog->m_dPartClearance, 0.5);
    Shot(dialog.get(), "drc");
}

} // namespace
