// The turret table, via table and layer settings on the document with a host that answers the
// dialogs: usage counts handed in, only changed entries reaching the items, the defaults, the
// current numbers and the sections written; Cancel changes and writes nothing.

#include "document/TableChoices.h"
#include "tests/document/EditFixture.h"

#include <algorithm>
#include <functional>

namespace {

class TableHost : public EditHost
{
public:
    bool RunTurretTableDialog(TurretTableChoice& choice) override
    {
        seenTurrets = choice;
        return turretAnswer ? (turretAnswer(choice), true) : false;
    }
    bool RunViaTableDialog(ViaTableChoice& choice) override
    {
        return viaAnswer ? (viaAnswer(choice), true) : false;
    }
    bool RunLayerTableDialog(LayerTableChoice& choice) override
    {
        seenLayers = choice;
        return layerAnswer ? (layerAnswer(choice), true) : false;
    }

    std::function<void(TurretTableChoice&)> turretAnswer;
    std::function<void(ViaTableChoice&)> viaAnswer;
    std::function<void(LayerTableChoice&)> layerAnswer;
    TurretTableChoice seenTurrets;
    LayerTableChoice seenLayers;
};

class TurretTableTest : public EditFixture
{
protected:
    void SetUp() override
    {
        EditFixture::SetUp();
        doc->SetHost(&tables);
    }
    void TearDown() override
    {
        doc->SetHost(nullptr);
        EditFixture::TearDown();
    }
    std::string SettingsText() { return ReadFile(Board()); }

    TableHost tables;
};

TEST_F(TurretTableTest, DialogGetsTheUsageOfBoardAndSelection)
{
    AddLine(0, CDPoint(0, 0), CDPoint(5, 0));
    AddLine(1, CDPoint(0, 1), CDPoint(5, 1));
    doc->GetSelectionSheet(2)->NewLine(CDPoint(0, 2), CDPoint(5, 2), 2, 0);
    AddLand(0, CDPoint(3, 3));
    doc->GetBoardSheet(1)->NewArc(CDPoint(0, 0), 2.0, 0.0, 90.0, 0, 3);
    doc->SetCurrentTurret(3);
    EXPECT_FALSE(doc->OnTurretTable());
    const auto& usage = tables.seenTurrets.usage;
    EXPECT_EQ(usage[2][0], 3); // lines
    EXPECT_EQ(usage[1][3], 1); // lands
    EXPECT_EQ(usage[3][1], 1); // arcs
    EXPECT_EQ(usage[0][0], 0);
    EXPECT_EQ(tables.seenTurrets.current, 2);
    EXPECT_DOUBLE_EQ(tables.seenTurrets.turrets[3].size1, 1.6);
}

TEST_F(TurretTableTest, OnlyChangedEntriesReachTheItems)
{
    CLine* line = AddLine(0, CDPoint(0, 0), CDPoint(5, 0));
    CLand* land = AddLand(0, CDPoint(3, 3));
    // The land keeps the entry it was made with while the table's entry 1 is left as it is.
    doc->Turret(1).size1 = 1.2;
    const std::string before = SettingsText();
    tables.turretAnswer = [](TurretTableChoice& c) {
        c.turrets[2].size1 = 0.5;
        c.landTurret = 7;
        c.lineTurret = 9;
        c.current = 4;
    };
    ASSERT_TRUE(doc->OnTurretTable());
    EXPECT_DOUBLE_EQ(line->GetTurret().size1, 0.5);
    EXPECT_DOUBLE_EQ(land->GetTurret().size1, 1.0);
    EXPECT_DOUBLE_EQ(doc->Turret(2).size1, 0.5);
    EXPECT_EQ(doc->GetCurrentTurret(), 5);
    EXPECT_EQ(doc->GetDefaultLandTurret(), 7);
    EXPECT_EQ(doc->GetDefaultLineTurret(), 9);
    EXPECT_TRUE(doc->IsTurretMode());
    const std::string after = SettingsText();
    EXPECT_NE(after, before);
    EXPECT_NE(after.find("[TURRET_TABLE]"), std::string::npos);
    EXPECT_NE(after.find("[DEF_LAND]"), std::string::npos);
}

TEST_F(TurretTableTest, AShapeChangeAloneReachesTheItems)
{
    CLand* land = AddLand(0, CDPoint(3, 3));
    tables.turretAnswer = [](TurretTableChoice& c) { c.turrets[1].shape = TURRET_SQUARE; };
    ASSERT_TRUE(doc->OnTurretTable());
    EXPECT_EQ(land->GetTurret().shape, TURRET_SQUARE);
}

TEST_F(TurretTableTest, SelectionTakesTheCurrentTurretAndIsRepainted)
{
    CLine* selected = doc->GetSelectionSheet(0)->NewLine(CDPoint(0, 0), CDPoint(5, 0), 2, 0);
    tables.turretAnswer = [](TurretTableChoice& c) { c.current = 2; };
    ASSERT_TRUE(doc->OnTurretTable());
    EXPECT_EQ(selected->GetTurretNo(), 3);
    ASSERT_FALSE(tables.repaints.empty());
    EXPECT_TRUE(std::any_of(tables.repaints.begin(), tables.repaints.end(),
                            [](const FakeDocumentHost::Repaint& r) { return r.hint == 1 && r.withArea; }));
}

TEST_F(TurretTableTest, CancelChangesAndWritesNothing)
{
    AddLine(0, CDPoint(0, 0), CDPoint(5, 0));
    const std::string before = SettingsText();
    doc->SetCurrentTurret(2);
    EXPECT_FALSE(doc->OnTurretTable());
    EXPECT_FALSE(doc->OnViaTable());
    EXPECT_FALSE(doc->OnLayerTable());
    EXPECT_EQ(SettingsText(), before);
    EXPECT_EQ(doc->GetCurrentTurret(), 2);
    EXPECT_TRUE(tables.repaints.empty());
}

TEST_F(TurretTableTest, ViaTableTakesEntriesNumbersAndTheSelection)
{
    CVia* selected = doc->GetSelectionSheet(LAYER_MAX)->NewVia(CDPoint(1, 1), 1, 0);
    tables.viaAnswer = [](ViaTableChoice& c) {
        c.vias[5].drill = 0.9;
        c.current = 4;
        c.defaultVia = 3;
        c.autoVia = 6;
    };
    ASSERT_TRUE(doc->OnViaTable());
    EXPECT_DOUBLE_EQ(doc->Via(5).drill, 0.9);
    EXPECT_EQ(doc->GetCurrentVia(), 5);
    EXPECT_EQ(doc->GetDefaultVia(), 3);
    EXPECT_EQ(doc->GetDefaultVia2(), 6);
    EXPECT_EQ(selected->GetViaNo(), 5);
    EXPECT_NE(SettingsText().find("[VIA_TABLE]"), std::string::npos);
}

TEST_F(TurretTableTest, LayerSettingsApplyToAllSetsAndKeepViasAndPartsShown)
{
    AddLine(2, CDPoint(0, 0), CDPoint(5, 0));
    for (int set : {0, 2, 5}) {
        doc->GetSetSheet(set, LAYER_MAX)->GetLayerPoint()->display = 0;
        doc->GetSetSheet(set, LAYER_MAX)->GetLayerPoint()->enable = 0;
    }
    tables.layerAnswer = [](LayerTableChoice& c) {
        c.layers[3].name = "TOP";
        c.layers[1].display = 0;
        c.layers[1].enable = 0;
        c.current = 3;
        c.reverse = 1;
        c.patterns[0].name = "P1";
    };
    ASSERT_TRUE(doc->OnLayerTable());
    EXPECT_EQ(tables.seenLayers.counts[2], 1);
    EXPECT_EQ(tables.seenLayers.current, 0);
    for (int set : {0, 2, 5}) {
        EXPECT_EQ(doc->GetSetSheet(set, 3)->GetLayer().name, "TOP");
        EXPECT_EQ(doc->GetSetSheet(set, 1)->GetLayer().display, 0);
        EXPECT_EQ(doc->GetSetSheet(set, LAYER_MAX)->GetLayer().display, 1);
        EXPECT_EQ(doc->GetSetSheet(set, LAYER_MAX)->GetLayer().enable, 1);
    }
    EXPECT_EQ(doc->GetCurrentLayer(), 3);
    EXPECT_TRUE(doc->IsReverseOrder());
    EXPECT_EQ(doc->GetLayerPattern(0).name, "P1");
    EXPECT_FALSE(doc->IsDisplayedLayer(1));
    EXPECT_EQ(tables.repaints.back().hint, 3);
}

} // namespace
