#include "document/VELTADoc.h"
#include "document/NumberText.h"
#include "platform/Numbers.h"
#include "model/items/Hole.h"
#include "model/items/Part.h"
#include "model/net/Net.h"
#include "model/net/NetLine.h"
#include "platform/J.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

TEST(VELTADocTest, ConstructionValues)
{
    auto doc = std::make_unique<CVELTADoc>();
    EXPECT_EQ(doc->GetBoardSize().cx, 327.0);
    EXPECT_EQ(doc->GetBoardSize().cy, 327.0);
    EXPECT_EQ(doc->GetUserOrigin().x, 25.4);
    EXPECT_EQ(doc->GetUserOrigin().y, 25.4);
    EXPECT_EQ(doc->GetViewRect().right, 327.0);
    EXPECT_EQ(doc->GetViewRect().bottom, 327.0);
    EXPECT_EQ(doc->GetCoordScale(), 100);
    EXPECT_EQ(CDPoint::GetScale(), 100);
    EXPECT_EQ(doc->GetCurrentLayer(), 0);
    EXPECT_EQ(doc->GetHitTolerance(), -1.0);
    EXPECT_EQ(doc->GetCurrentBoardSheet(), doc->GetBoardSheet(0));
    EXPECT_EQ(doc->GetCurrentSelectionSheet(), doc->GetSelectionSheet(0));
    EXPECT_EQ(doc->GetCurrentReplacedSheet(), doc->GetReplacedSheet(0));
    EXPECT_FALSE(doc->IsModified());

    for (int i = 0; i < LAYER_MAX; ++i) {
        const std::pair<CSheet*, int> sets[] = {{doc->GetBoardSheet(i), SHEET_BOARD},
                                                {doc->GetSelectionSheet(i), SHEET_SELECTION},
                                                {doc->GetReplacedSheet(i), SHEET_REPLACED}};
        for (auto [sheet, type] : sets) {
            ASSERT_EQ(sheet->GetLayerNo(), i);
            ASSERT_EQ(sheet->GetCrossLayerNo(), i);
            ASSERT_EQ(sheet->GetSheetType(), type);
            ASSERT_EQ(sheet->GetDocument(), doc.get());
        }
    }
    const std::tuple<CSheet*, int, int> viaParts[] = {
        {doc->GetBoardSheet(LAYER_MAX), SHEET_BOARD_VIAPART, 1},
        {doc->GetSelectionSheet(LAYER_MAX), SHEET_SELECT_VIAPART, 1},
        {doc->GetReplacedSheet(LAYER_MAX), SHEET_REPLACED_VIAPART, 0}};
    for (auto [sheet, type, shown] : viaParts) {
        EXPECT_EQ(sheet->GetLayerNo(), LAYER_MAX);
        EXPECT_EQ(sheet->GetSheetType(), type);
        EXPECT_EQ(sheet->GetLayer().name, _J("部品"));
        EXPECT_EQ(sheet->GetLayer().display, shown);
        EXPECT_EQ(sheet->GetLayer().enable, shown);
        EXPECT_EQ(sheet->GetLayer().order, 0);
    }
    EXPECT_EQ(doc->GetUndoSheet()->GetSheetType(), SHEET_UNDO);
    EXPECT_EQ(doc->GetRedoSheet()->GetSheetType(), SHEET_REDO);
    EXPECT_EQ(doc->GetPartInputSheet()->GetSheetType(), SHEET_WORK);
    EXPECT_EQ(doc->GetPartInputSheet()->GetDocument(), doc.get());
}

TEST(VELTADocTest, CurrentLayerAndWiringPositions)
{
    CVELTADoc doc;
    EXPECT_EQ(doc.SetCurrentLayer(5), 0);
    EXPECT_EQ(doc.GetCurrentBoardSheet(), doc.GetBoardSheet(5));
    EXPECT_EQ(doc.SetCurrentLayer(128), 5);
    EXPECT_EQ(doc.GetCurrentLayer(), 5);
    EXPECT_EQ(doc.GetCurrentBoardSheet(), doc.GetBoardSheet(128));
    EXPECT_EQ(doc.GetCurrentReplacedSheet(), doc.GetReplacedSheet(128));
    doc.GetLayerStack().wireLayers = {7, 3};
    EXPECT_EQ(doc.GetWireLayer(1), 7);
    EXPECT_EQ(doc.GetWireLayer(2), 3);
}

// Every item and net is freed once: a double free or a leak fails under the sanitizers.
TEST(VELTADocTest, DestroysAFullBoard)
{
    auto doc = std::make_unique<CVELTADoc>();
    doc->GetLayerStack().wireLayers = {0, 1};
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        for (CSheet* sheet :
             {doc->GetBoardSheet(layer), doc->GetSelectionSheet(layer), doc->GetReplacedSheet(layer)})
            sheet->NewLine(CDPoint(layer, 0), CDPoint(layer, 10), 1, 0);
        doc->GetBoardSheet(layer)->NewHole(CDPoint(layer, 5), 0.8, true, 0.0, 0.0, 0.0);
    }
    doc->GetBoardSheet(LAYER_MAX)->NewVia(CDPoint(1, 1), 1, 0);
    doc->GetSelectionSheet(LAYER_MAX)->NewVia(CDPoint(2, 2), 1, 0);
    doc->GetUndoSheet()->NewLine(CDPoint(0, 0), CDPoint(1, 1), 1, 0);
    for (int n = 0; n < 10; ++n)
        doc->AddNet(std::make_unique<CNet>("N" + std::to_string(n)));
    EXPECT_EQ(doc->GetBoardSheet(0)->GetItemCount(), 2);
    doc.reset();
}

TEST(VELTADocTest, NumberTexts)
{
    const std::pair<double, const char*> numbers[] = {{2.5, "2.5"},   {3, "3.0"},
                                                      {1e-12, "0.0"}, {123456789, "123456789.0"},
                                                      {-0.5, "-0.5"}, {1e20, "100000000000000000000.0"}};
    for (auto [value, text] : numbers) {
        EXPECT_EQ(FormatNumber(value), text) << value;
        char buffer[64];
        FormatNumberToBuffer(buffer, value);
        EXPECT_STREQ(buffer, text);
    }
    char point[64];
    FormatPointText(point, 1, -2.25);
    EXPECT_STREQ(point, "1.0, -2.25");
    const std::pair<const char*, const char*> trims[] = {
        {"-0.000", "0"}, {"12.500", "12.5"}, {"100", "100"}, {".0", "0"}};
    for (auto [in, out] : trims)
        EXPECT_EQ(platform::TrimNumberText(in), out) << in;
}

class DocServicesTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        doc = std::make_unique<CVELTADoc>();
        stack().wireLayers = {0, 1, 2};
        stack().wireCount = 3;
        SetPair(PL_HOLE, 10, 10);
        SetPair(PL_RESIST, 11, 12);
        SetPair(PL_TERM, 16, 17);
        const double sizes[] = {0, 1.0, 0.8, 1.2, 1.6, 1.4, 2.0};
        for (int n = 1; n <= 6; ++n)
            doc->Turret(n).size1 = sizes[n];
        tagVIA& via = doc->Via(1);
        via.drill = 0.4;
        const std::uint8_t lands[15] = {1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 6, 2, 3, 4, 5};
        std::copy(std::begin(lands), std::end(lands), via.lands.begin());
    }
    LayerStack& stack() { return doc->GetLayerStack(); }
    void SetPair(int index, int a, int b)
    {
        stack().partLayers[static_cast<std::size_t>(index)].layerA = static_cast<std::uint8_t>(a);
        stack().partLayers[static_cast<std::size_t>(index)].layerB = static_cast<std::uint8_t>(b);
    }
    tagLAYER* Record(int layer) { return doc->GetBoardSheet(layer)->GetLayerPoint(); }

    std::unique_ptr<CVELTADoc> doc;
};

struct ViaRow
{
    const char* name;
    std::function<void(DocServicesTest&)> setup;
    int mask;
    double land, display, outer;
};

// Hand-worked: drill 0.4; top group lands 1.0 / 0.8, resist 1.2, thermal 1.6, clearance 1.4; the
// bottom group's connected land 2.0 (so the outer size is 2.0 in every row).
TEST_F(DocServicesTest, CalcViaSize)
{
    auto enableWiring = [](DocServicesTest& t) {
        for (int l : {0, 1, 2})
            t.Record(l)->enable = 1;
    };
    const ViaRow rows[] = {
        {"nothing shown", [](DocServicesTest&) {}, 0x7, 0.0, 0.0, 1.0},
        {"wiring enabled, connected", enableWiring, 0x7, 1.0, 1.0, 1.0},
        {"wiring enabled, unconnected", enableWiring, 0x0, 0.4, 0.4, 1.0},
        {"hole layer enabled", [](DocServicesTest& t) { t.Record(10)->enable = 1; }, 0x0, 0.2, 0.2, 1.0},
        {"hole layer shown", [](DocServicesTest& t) { t.Record(10)->display = 1; }, 0x0, 0.0, 0.2, 1.0},
        {"top resist shown", [](DocServicesTest& t) { t.Record(11)->display = 1; }, 0x0, 0.0, 0.6, 1.0},
        {"top resist enabled", [](DocServicesTest& t) { t.Record(11)->enable = 1; }, 0x0, 0.6, 0.6, 1.0},
        {"negative first layer shown, unconnected",
         [](DocServicesTest& t) {
             t.doc->GetBoardSheet(0)->ModifyType(0x8, 0);
             t.Record(0)->display = 1;
         },
         0x0, 0.7, 0.0, 1.0},
        {"negative first layer enabled, connected",
         [](DocServicesTest& t) {
             t.doc->GetBoardSheet(0)->ModifyType(0x8, 0);
             t.Record(0)->enable = 1;
         },
         0x1, 0.8, 0.8, 1.0},
        {"inner layer shown through the display list",
         [](DocServicesTest& t) {
             // Rebuilding the lists enables the current layer: one without vias here.
             t.doc->SetCurrentLayer(50);
             t.Record(1)->display = 1;
             t.doc->BuildLayerLists();
             t.Record(1)->display = 0;
         },
         0x2, 0.0, 0.5, 1.0},
    };
    for (const ViaRow& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        row.setup(*this);
        double display = -1.0, outer = -1.0;
        EXPECT_DOUBLE_EQ(doc->CalcViaSize(1, row.mask, &display, &outer), row.land);
        EXPECT_DOUBLE_EQ(display, row.display);
        EXPECT_DOUBLE_EQ(outer, row.outer);
    }
    EXPECT_EQ(doc->CalcViaSize(99, 0, nullptr, nullptr), 0.0);
}

TEST_F(DocServicesTest, PartLayerCodes)
{
    const int layer = doc->PartLayerToLayer(0x800000, true, false);
    EXPECT_EQ(layer, 16);
    EXPECT_EQ(doc->LayerToPartLayer(layer, true), 0x800000u);
    EXPECT_EQ(doc->LayerToPartLayer(layer, false), 0x800000u | 0x10000000u);
    EXPECT_EQ(doc->PartLayerToLayer(0x800000 | 0x10000000, true, false), 17);
    EXPECT_EQ(doc->PartLayerToLayer(0, true, false), -1);
    EXPECT_EQ(doc->PartLayerToLayer(0xFFFFFFFFu, true, false), -1);

    stack().wireLayers = {0, 1, 2, 3};
    stack().wireCount = 4;
    EXPECT_EQ(doc->PartLayerToLayer(1, false, true), 3);
    EXPECT_EQ(doc->PartLayerToLayer(4, false, true), 0);
    EXPECT_EQ(doc->PartLayerToLayer(2, false, true), 1);
    EXPECT_EQ(doc->PartLayerToLayer(7, true, false), 3);
    EXPECT_EQ(doc->LayerToPartLayer(2, true), 3u);
    EXPECT_EQ(doc->LayerToPartLayer(200, true), 200u);
}

TEST_F(DocServicesTest, WiringPositionsAndLayerQueries)
{
    doc->GetBoardSheet(2)->ModifyType(0x8, 0);
    EXPECT_EQ(doc->GetWireLayerPos(2, false), -3);
    EXPECT_EQ(doc->GetWireLayerPos(1, false), 2);
    EXPECT_EQ(doc->GetWireLayerPos(16, false), 0);
    EXPECT_EQ(doc->GetWireLayerPos(16, true), 1);
    EXPECT_EQ(doc->GetWireLayerPos(17, true), 3);
    EXPECT_TRUE(doc->IsComponentSideLayer(0));
    EXPECT_FALSE(doc->IsComponentSideLayer(2));
    EXPECT_TRUE(doc->IsComponentSideLayer(11));
    EXPECT_FALSE(doc->IsComponentSideLayer(12));
    doc->GetBoardSheet(12)->ModifyType(0x100000, 0);
    EXPECT_TRUE(doc->IsWiringOrPartLayer(12));
    EXPECT_FALSE(doc->IsWiringOrPartLayer(13));
    EXPECT_EQ(doc->GetPartLayer(PL_TERM).layerB, 17);
    EXPECT_EQ(doc->GetPartLayer(14).code, -1);
}

TEST_F(DocServicesTest, HoleSheetsAndCollectHoles)
{
    SetPair(PL_HOLE, 4, 6);
    doc->SetCurrentLayer(4);
    EXPECT_EQ(doc->GetHoleSheet(0), doc->GetBoardSheet(4));
    EXPECT_EQ(doc->GetHoleSheet(1), doc->GetBoardSheet(6));
    EXPECT_EQ(doc->GetHoleSheet(2), nullptr);
    EXPECT_EQ(doc->GetHoleSheet(3), nullptr);
    doc->GetBoardSheet(4)->NewHole(CDPoint(1, 1), 0.8, true, 0, 0, 0);
    doc->GetBoardSheet(6)->NewHole(CDPoint(2, 2), 0.8, true, 0, 0, 0);
    doc->GetBoardSheet(5)->NewHole(CDPoint(3, 3), 0.8, true, 0, 0, 0);
    std::vector<CHole*> holes{nullptr};
    EXPECT_EQ(doc->CollectHoles(holes, true), 3); // the list is not cleared first
    EXPECT_EQ(std::count(holes.begin(), holes.end(), nullptr), 1);

    doc->SetCurrentLayer(0);
    EXPECT_EQ(doc->GetHoleSheet(1), doc->GetBoardSheet(4));
    EXPECT_EQ(doc->GetHoleSheet(2), doc->GetBoardSheet(6));
    SetPair(PL_HOLE, 255, 255);
    EXPECT_EQ(doc->GetHoleSheet(1), nullptr);
}

TEST_F(DocServicesTest, NetsOriginsAndTimes)
{
    CNet* net = doc->AddNet(std::make_unique<CNet>("A"));
    net->SetID(0x101);
    net->SetColor(0x00FF00);
    EXPECT_EQ(doc->GetNetColor(0x101), 0xFFFFFFu); // colouring off
    doc->SetNetColoring(true);
    EXPECT_EQ(doc->GetNetColor(0x101), 0x00FF00u);
    EXPECT_EQ(doc->GetNetColor(0x201), 0xFFFFFFu);
    EXPECT_EQ(doc->FindNetLine(0x100), nullptr);
    EXPECT_EQ(doc->FindNetLine(0x104), nullptr);
    EXPECT_EQ(doc->FindNetLine(0x101), nullptr);
    // Position 2 is layer 1: its copper groups are searched for the whole id.
    CNetLine other(0x202, 2, 0), wanted(0x302, 2, 0);
    doc->GetBoardSheet(1)->NewNetLine(other);
    CNetLine* stored = doc->GetBoardSheet(1)->NewNetLine(wanted);
    EXPECT_EQ(doc->FindNetLine(0x302), stored);
    EXPECT_EQ(doc->FindNetLine(0x402), nullptr);

    CDPoint p(30.0, 20.0);
    doc->ToUserOrigin(p, 0);
    EXPECT_NEAR(p.x, 4.6, 1e-12);
    doc->FromUserOrigin(p, 0);
    EXPECT_NEAR(p.x, 30.0, 1e-12);

    doc->SetFileTime(0, 100);
    doc->SetFileTime(2, 300);
    std::time_t t = 7;
    doc->GetFileTime(0, &t);
    EXPECT_EQ(t, 100);
    doc->GetFileTime(2, &t);
    EXPECT_EQ(t, 300);
    doc->GetFileTime(3, &t);
    EXPECT_EQ(t, 300);

    Record(5)->display = 1;
    Record(5)->order = 1;
    Record(3)->display = 1;
    Record(3)->order = 2;
    doc->BuildLayerLists();
    std::vector<std::uint8_t> shown{9};
    EXPECT_EQ(doc->GetDispLayers(shown), 2);
    EXPECT_EQ(shown, (std::vector<std::uint8_t>{9, 5, 3}));
    EXPECT_TRUE(doc->IsDisplayedLayer(3));
    EXPECT_FALSE(doc->IsDisplayedLayer(4));
    EXPECT_EQ(doc->FindTurretByDCode(10), -1);
    EXPECT_EQ(doc->GetTCodeSize(1), 0.0);
}

} // namespace
