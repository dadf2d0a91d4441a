#include "platform/J.h"
#include "platform/Numbers.h"
#include "tests/document/DocFixture.h"

#include <cmath>
#include <functional>
#include <map>

namespace {

class TableSectionsTest : public DocFixture
{
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        InstallMaster();
    }
    // A board file holding the given sections (label, body lines).
    void WriteBoard(const std::vector<std::pair<std::string, std::string>>& sections)
    {
        std::string text;
        for (const auto& [label, body] : sections)
            text += Section(label, body);
        WriteFile(Board(), text);
    }
};

TEST_F(TableSectionsTest, TurretTable)
{
    WriteBoard({{"TURRET_TABLE", "5:D:1.0;\r\n7:X:0.5;\r\n9:C:1;\r\n"}});
    doc->ReadTurretTable();
    EXPECT_EQ(doc->Turret(5).shape, TURRET_DONUT);
    EXPECT_EQ(doc->Turret(5).size1, 1.0);
    EXPECT_EQ(doc->Turret(5).size2, 0.5);
    EXPECT_EQ(doc->Turret(7).size1, 0.5); // stored before the letter is reported
    EXPECT_EQ(doc->Turret(9).size1, 0.0); // reading stopped
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"BPF [TURRET_TABLE] Format Error 2"});

    messages.Clear();
    WriteBoard({{"TURRET_TABLE", "4:T:2.0;\r\n5:D:1.0:1.2;\r\n"}});
    doc->ReadTurretTable();
    EXPECT_EQ(doc->Turret(4).size2, 1.0);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"BPF [TURRET_TABLE] Format Error 2"});
}

TEST_F(TableSectionsTest, ViaTable)
{
    WriteBoard({{"VIA_TABLE", "1:0.4:1,2,3,4;\r\n2:0.5:1,2,3,4,5:6,7,8,9,10:11,12,13,14,15;\r\n"
                              "3:0.6:1,2,3,4,5:1,2,3,4:1,2,3,4,5;\r\n"}});
    doc->ReadViaTable();
    EXPECT_EQ(doc->Via(1).drill, 0.0); // four fields: passed over silently
    EXPECT_EQ(doc->Via(2).drill, 0.5);
    EXPECT_EQ(doc->Via(2).lands[14], 15);
    EXPECT_EQ(doc->Via(3).lands[4], 5); // the good group before the bad one is kept
    EXPECT_EQ(doc->Via(3).lands[5], 0);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"BPF [VIA_TABLE] Format Error 3"});
}

TEST_F(TableSectionsTest, SheetSizeIsClampedAndScaledFromTheClampedSize)
{
    WriteBoard({{"SHEET_SIZE", "50:10,300;\r\n"}});
    doc->ReadSheetSize();
    EXPECT_EQ(doc->GetBoardSize().cx, 100.0);
    EXPECT_EQ(doc->GetBoardSize().cy, 100.0);
    EXPECT_EQ(doc->GetCoordScale(), 327); // 32767 / 100
    EXPECT_EQ(doc->GetUserOrigin().x, 10.0);
    EXPECT_EQ(doc->GetUserOrigin().y, 100.0); // 300 halved is still outside: held at the edge
    EXPECT_EQ(CDPoint::GetScale(), 327);
    EXPECT_EQ(messages.Count(), 0u);
}

TEST_F(TableSectionsTest, AnglesAreFolded)
{
    const std::pair<int, int> dims[] = {{725, 5}, {-10, 350}, {360, 360}, {361, 1}};
    for (auto [in, out] : dims) {
        WriteBoard({{"DIM", platform::Format("2:%d:0:1:2.5;\r\n", in)}});
        doc->ReadDim();
        EXPECT_NEAR(doc->GetDims().arrowAngle, out * M_PI / 180.0, 1e-12) << in;
    }
    const std::pair<int, int> surfs[] = {{270, 90}, {-200, -20}, {179, 179}, {-179, -179}};
    for (auto [in, out] : surfs) {
        WriteBoard({{"DEF_SURF", platform::Format("3:3:POSI:%d;\r\n", in)}});
        doc->ReadDefItems();
        EXPECT_EQ(doc->GetSurHatchAngle(), out) << in;
    }
}

TEST_F(TableSectionsTest, ViaMaskFollowsTheWiringCount)
{
    WriteBoard({{"WIRE_VIA_LAYER", "1:1:::: ;\r\n2:2:N:::;\r\n3:3::::;\r\n4:4::::;\r\n"},
                {"WIRE_LAY_COUNT", "4;\r\n"},
                {"DEF_VIA", "2:3;\r\n"}});
    doc->ReadWireViaLayer();
    doc->ReadWireLayCount();
    doc->ReadDefItems();
    EXPECT_EQ(doc->GetViaLayerMask(), 0x9u);
    EXPECT_EQ(doc->GetDefaultVia(), 2);
    EXPECT_EQ(doc->GetCurrentVia(), 2);
    EXPECT_EQ(doc->GetWireLayerList(), (std::vector<std::uint8_t>{0, 1, 2, 3}));
    EXPECT_EQ(doc->GetBoardSheet(0)->GetType() & 0xF, 0x3);
    EXPECT_EQ(doc->GetBoardSheet(1)->GetType() & 0xF, 0x9);
    EXPECT_EQ(doc->GetBoardSheet(3)->GetType() & 0xF, 0x5);
    EXPECT_EQ(doc->GetBoardSheet(3)->GetWLayer(), 4);
    EXPECT_EQ(doc->GetWireLayerPos(1, false), -2);
}

TEST_F(TableSectionsTest, WireViaListsAreReadOnceAfterARewrite)
{
    WriteBoard({{"WIRE_VIA_LAYER", "1:1::10:12:8;\r\n"}});
    doc->ReadWireViaLayer();
    EXPECT_TRUE(doc->WriteWireViaLayer({"1 : 2 :  : 11 : : ;"}));
    EXPECT_EQ(doc->GetWireLayerList(), std::vector<std::uint8_t>{1});
    EXPECT_EQ(doc->GetViaList1(), (std::vector<std::uint8_t>{1, 10}));
    EXPECT_EQ(doc->GetBoardSheet(9)->GetType() & 0x20, 0); // the old list member lost its bit
    EXPECT_EQ(doc->GetBoardSheet(0)->GetType() & 0x1, 0);
    EXPECT_EQ(doc->GetBoardSheet(10)->GetType() & 0x20, 0x20);
}

TEST_F(TableSectionsTest, PartLayerKeywordsAndTheMaster)
{
    WriteBoard({{"PART_LAYER", "SylkLine:3:4:\"silk\";\r\nREGISTER:9:200:\"r\";\r\nBOGUS:1:2:\"x\";\r\n"}});
    doc->ReadPartLayer();
    const tagPARTLAYER silk = doc->GetPartLayer(PL_SILKLINE);
    EXPECT_EQ(silk.code, 0x20000);
    EXPECT_EQ(silk.layerA, 2);
    EXPECT_EQ(silk.layerB, 3);
    EXPECT_EQ(silk.name, "silk");
    EXPECT_EQ(doc->GetBoardSheet(2)->GetType(), 0x20000 | 0x2);
    EXPECT_EQ(doc->GetBoardSheet(3)->GetType(), 0x20000 | 0x4);
    EXPECT_EQ(doc->GetPartLayer(PL_RESIST).layerA, 8);
    EXPECT_EQ(doc->GetPartLayer(PL_RESIST).layerB, 255);
    // From the master's table, without bits on this board's layers.
    const tagPARTLAYER term = doc->GetPartLayer(PL_TERM);
    EXPECT_EQ(term.code, 0x800000);
    EXPECT_EQ(term.layerA, 15);
    EXPECT_EQ(doc->GetBoardSheet(15)->GetType(), 0);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"BPF [PART_LAYER] Format Error 3"});
}

TEST_F(TableSectionsTest, PartLayerRecordsTheMasterLacksAreReported)
{
    WriteFile(Master(), Section("PART_LAYER", "HOLE:3:3:\"h\";\r\n"));
    WriteBoard({{"PART_LAYER", "NOVIA:1:2:\"n\";\r\n"}});
    doc->ReadPartLayer();
    EXPECT_EQ(doc->GetPartLayer(PL_HOLE).layerA, 2);
    EXPECT_EQ(doc->GetPartLayer(PL_NOVIA).code, 0x40000000);
    std::vector<std::string> expected;
    for (int record = 2; record <= 13; ++record)
        expected.push_back(platform::Format("BPF [PART_LAYER] Format Error %d", record));
    EXPECT_EQ(messages.Texts(), expected);
}

TEST_F(TableSectionsTest, LayerPatternAndCrossLayer)
{
    WriteBoard({{"LAYER_PATTERN", "1:3:1,-2,3:1:\"p\";\r\n"},
                {"CROSS_LAYER", "1:2:\"pair\";\r\n3:3:\"self\";\r\n4:5:\"late\";\r\n"}});
    doc->ReadLayerPattern();
    const tagLAYERPATTERN p = doc->GetLayerPattern(0);
    EXPECT_EQ(p.layer, 2);
    EXPECT_EQ(p.layers, (std::vector<std::uint8_t>{0, 1}));
    EXPECT_EQ(p.enables, (std::vector<std::uint8_t>{1, 0}));
    EXPECT_EQ(p.option, 1);
    doc->ReadCrossLayer();
    ASSERT_EQ(doc->GetCrossLayers().size(), 1u);
    EXPECT_EQ(doc->GetBoardSheet(0)->GetCrossLayerNo(), 1);
    EXPECT_EQ(doc->GetSelectionSheet(1)->GetCrossLayerNo(), 0);
    EXPECT_EQ(doc->GetBoardSheet(1)->GetCrossLayerName(), "pair");
    EXPECT_EQ(doc->GetBoardSheet(3)->GetCrossLayerNo(), 3);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"BPF [CROSS_LAYER] Format Error 2"});
}

TEST_F(TableSectionsTest, LayerTableGoesIntoAllThreeSets)
{
    WriteBoard({{"LAYER_TABLE",
                 "3:2:7:0x123456:2:1:\"name\";\r\n129:2:7:0x0:2:1:\"x\";\r\n4:5:1:0x0:1:0:\"y\";\r\n"}});
    doc->ReadLayerTable();
    for (CSheet* sheet : {doc->GetBoardSheet(2), doc->GetSelectionSheet(2), doc->GetReplacedSheet(2)}) {
        const tagLAYER rec = sheet->GetLayer();
        EXPECT_EQ(rec.order, 7);
        EXPECT_EQ(rec.color, 0x123456u);
        EXPECT_EQ(rec.drawClass, 4);
        EXPECT_EQ(rec.mirror, 1);
        EXPECT_EQ(rec.name, "name");
        EXPECT_EQ(rec.display, 1);
        EXPECT_EQ(rec.enable, 1);
    }
    EXPECT_EQ(doc->GetLayer(3).name, "y"); // applied, then reported
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"BPF [LAYER_TABLE] Format Error 3"});
}

TEST_F(TableSectionsTest, GridAndComment)
{
    WriteBoard({{"GRID", "2:1:1.27:1.27:0.5:0:0x2:\"a\";\r\n3:0:1:1:0:0:50:\"b\";\r\n4:0:1:1:0:0:2;\r\n"},
                {"COMMENT", "\"line one\";\r\n\"two\":\"x\";\r\n\" line # two \";\r\n"}});
    doc->ReadGrid();
    EXPECT_EQ(doc->GetGrid(1).xPitch, 1.27);
    EXPECT_EQ(doc->GetCurrentGrid(), 2); // "0x2" reads as 0: only grid 3's flags 50 make it current
    EXPECT_EQ(doc->GetMarkedGrids(), (std::pair<int, int>{2, 2}));
    EXPECT_EQ(doc->GetGrid(2).marked, 1);
    EXPECT_EQ(doc->ReadComment(), "line one\n line # two ");
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_TRUE(doc->WriteComment("  first\nsecond  "));
    EXPECT_EQ(doc->ReadComment(), "first\nsecond");
}

// What the table writers write reads back as the same tables.
TEST_F(TableSectionsTest, WritersReadBack)
{
    std::filesystem::copy_file(Master(), Board());
    ReadTables();
    doc->Turret(50) = tagTURRET{TURRET_THERMAL, 2.5, 1.25};
    doc->Turret(51) = tagTURRET{TURRET_SQUARE, 0.1234, 0.0};
    doc->Via(7).drill = 0.35;
    doc->Via(7).lands[14] = 120;
    tagLAYER rec = doc->GetLayer(40);
    rec.name = _J("内層") + " 1";
    rec.display = 1;
    rec.enable = 0;
    rec.drawClass = 8;
    rec.color = 0xABCDEF;
    doc->GetBoardSheet(40)->SetLayer(rec);
    const tagGRID grid{1, 0.2, 0.3, 0.01, 0.02, 1, "g"};
    doc->SetGrid(9, grid);
    doc->SetCurrentGrid(9);
    doc->SetMarkedGrids(3, 5);
    tagLAYERPATTERN pattern;
    pattern.layer = 7;
    pattern.layers = {1, 2, 127};
    pattern.enables = {0, 1, 1};
    pattern.option = 1;
    pattern.name = "pat";
    doc->SetLayerPattern(15, pattern);
    doc->SetBoardSize(CDSize(250.5, 120.25));
    doc->SetUserOrigin(CDPoint(10.5, 5.25));

    EXPECT_TRUE(doc->WriteTurretTable());
    EXPECT_TRUE(doc->WriteViaTable());
    EXPECT_TRUE(doc->WriteLayerTable());
    EXPECT_TRUE(doc->WriteGrid());
    EXPECT_TRUE(doc->WriteLayerPattern());
    EXPECT_TRUE(doc->WriteSheetSize());
    EXPECT_TRUE(doc->WriteContourLayer(40, 41));
    EXPECT_TRUE(doc->WriteCrossLayer({tagCROSSLAYER{40, 41, "inner"}}));

    auto fresh = std::make_unique<CVELTADoc>();
    fresh->GetSettingFile().SetPath(Board());
    std::swap(doc, fresh);
    ReadTables();
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(doc->Turret(50).shape, TURRET_THERMAL);
    EXPECT_EQ(doc->Turret(50).size2, 1.25);
    EXPECT_EQ(doc->Turret(51).size1, 0.1234);
    EXPECT_EQ(doc->Via(7).drill, 0.35);
    EXPECT_EQ(doc->Via(7).lands[14], 120);
    const tagLAYER back = doc->GetLayer(40);
    EXPECT_EQ(back.name, rec.name);
    EXPECT_EQ(back.display, 1);
    EXPECT_EQ(back.enable, 0);
    EXPECT_EQ(back.drawClass, 8);
    EXPECT_EQ(back.color, 0xABCDEFu);
    EXPECT_EQ(doc->GetCurrentGrid(), 9);
    EXPECT_EQ(doc->GetMarkedGrids(), (std::pair<int, int>{3, 5}));
    EXPECT_EQ(doc->GetGrid(9).yPitch, 0.3);
    EXPECT_EQ(doc->GetGrid(9).xOffset, 0.01);
    EXPECT_EQ(doc->GetGrid(9).kind, 1);
    const tagLAYERPATTERN p = doc->GetLayerPattern(15);
    EXPECT_EQ(p.layer, 7);
    EXPECT_EQ(p.layers, pattern.layers);
    EXPECT_EQ(p.enables, pattern.enables);
    EXPECT_EQ(p.option, 1);
    EXPECT_EQ(doc->GetBoardSize().cx, 250.5);
    EXPECT_EQ(doc->GetUserOrigin().y, 5.25);
    EXPECT_EQ(doc->GetContourLayers(), (std::pair<int, int>{40, 41}));
    EXPECT_EQ(doc->GetBoardSheet(41)->GetType() & 0x10, 0x10);
    EXPECT_EQ(doc->GetBoardSheet(29)->GetType() & 0x10, 0);
    ASSERT_EQ(doc->GetCrossLayers().size(), 1u);
    EXPECT_EQ(doc->GetBoardSheet(41)->GetCrossLayerNo(), 40);
    EXPECT_EQ(doc->GetBoardSheet(0)->GetCrossLayerNo(), 0);
}

// Bad entries: the section's message and what was read before it; never a crash.
struct BadRow
{
    const char* label;
    std::string body;
    std::vector<std::string> messages;
};

TEST_F(TableSectionsTest, BadInput)
{
    const std::map<std::string, std::function<void(CVELTADoc&)>> readers = {
        {"TURRET_TABLE", [](CVELTADoc& d) { d.ReadTurretTable(); }},
        {"VIA_TABLE", [](CVELTADoc& d) { d.ReadViaTable(); }},
        {"LAYER_TABLE", [](CVELTADoc& d) { d.ReadLayerTable(); }},
        {"DISP_LAYER", [](CVELTADoc& d) { d.ReadDispLayer(); }},
        {"CROSS_LAYER", [](CVELTADoc& d) { d.ReadCrossLayer(); }},
        {"WIRE_VIA_LAYER", [](CVELTADoc& d) { d.ReadWireViaLayer(); }},
        {"WIRE_LAY_COUNT", [](CVELTADoc& d) { d.ReadWireLayCount(); }},
        {"CONTOUR_LAYER", [](CVELTADoc& d) { d.ReadContourLayer(); }},
        {"GRID", [](CVELTADoc& d) { d.ReadGrid(); }},
        {"LAYER_PATTERN", [](CVELTADoc& d) { d.ReadLayerPattern(); }},
        {"SHEET_SIZE", [](CVELTADoc& d) { d.ReadSheetSize(); }},
        {"PART_LAYER", [](CVELTADoc& d) { d.ReadPartLayer(); }},
        {"DIM", [](CVELTADoc& d) { d.ReadDim(); }},
        {"TEXT_TABLE", [](CVELTADoc& d) { d.ReadTextTable(); }},
    };
    auto err = [](const char* label, int n) {
        return platform::Format("BPF [%s] Format Error %d", label, n);
    };
    std::string manyCross;
    for (int i = 0; i < 33; ++i)
        manyCross += platform::Format("%d:%d:\"c\";\r\n", i + 1, i + 60);
    const BadRow rows[] = {
        {"TURRET_TABLE", "1:C;\r\n", {err("TURRET_TABLE", 1)}},
        {"TURRET_TABLE", "1:C:1;\r\ninf:C:1;\r\n", {err("TURRET_TABLE", 2)}},
        {"TURRET_TABLE", "0x10:C:1;\r\n", {err("TURRET_TABLE", 1)}},
        {"TURRET_TABLE", "1:C:nan;\r\n2:s:inf;\r\n", {}},
        {"TURRET_TABLE", "121:C:1;\r\n", {err("TURRET_TABLE", 1)}},
        {"VIA_TABLE", "65:0.4:1,1,1,1,1:1,1,1,1,1:1,1,1,1,1;\r\n", {err("VIA_TABLE", 1)}},
        {"VIA_TABLE",
         "1:0.4:1,1,1,1,999:1,1,1,1,1:1,1,1,1,1;\r\n2:0.4:1,1,1,1,1:1,1,1,1,1:1,1,1,1,1;\r\n",
         {err("VIA_TABLE", 1)}},
        {"LAYER_TABLE", "1:2:1:0xff:1:0;\r\n", {err("LAYER_TABLE", 1)}},
        {"LAYER_TABLE", "1:2:1:0xff:7:0:\"x\";\r\n", {err("LAYER_TABLE", 1)}},
        {"DISP_LAYER", "1:0:0:0;\r\n", {err("DISP_LAYER", 1)}},
        {"DISP_LAYER", "1:129:0;\r\n", {err("DISP_LAYER", 1)}},
        {"CROSS_LAYER", "1:129:\"x\";\r\n", {err("CROSS_LAYER", 1)}},
        {"CROSS_LAYER", manyCross, {err("CROSS_LAYER", 33)}},
        {"WIRE_VIA_LAYER", "1:1::200::;\r\n", {err("WIRE_VIA_LAYER", 1)}},
        {"WIRE_VIA_LAYER", "40:1::::;\r\n1:2::::;\r\n", {err("WIRE_VIA_LAYER", 1)}},
        {"WIRE_VIA_LAYER", "1:0::::;\r\n", {err("WIRE_VIA_LAYER", 1)}},
        {"WIRE_LAY_COUNT", "33;\r\n", {err("WIRE_LAY_COUNT", 1)}},
        {"WIRE_LAY_COUNT", "5;\r\n", {err("WIRE_LAY_COUNT", 1)}}, // beyond the wiring list
        {"CONTOUR_LAYER", "0:5;\r\n", {err("CONTOUR_LAYER", 1)}},
        {"GRID", "17:0:1:1:0:0:0:\"g\";\r\n", {err("GRID", 1)}},
        {"GRID", "1:0:1:1:0:0:0;\r\n", {}},
        {"LAYER_PATTERN", "1:0:1,2:0:\"p\";\r\n", {err("LAYER_PATTERN", 1)}},
        {"LAYER_PATTERN", "1:1:2:0:\"\";\r\n", {err("LAYER_PATTERN", 1)}},
        {"LAYER_PATTERN", "17:1:2:0:\"p\";\r\n1:1:2;\r\n", {err("LAYER_PATTERN", 2)}},
        {"SHEET_SIZE", "inf:nan;\r\n1e9:0x10;\r\n", {}},
        {"DIM", "0:15:0:1:2.5;\r\n", {err("DIM", 1)}},
        {"DIM", "2:15:-1:1:2.5;\r\n", {err("DIM", 1)}},
        {"TEXT_TABLE", "17:2:1:1:0.2;\r\n", {err("TEXT_TABLE", 1)}},
        {"TEXT_TABLE", "1:2:0:1:0.2;\r\n", {err("TEXT_TABLE", 1)}},
        {"TEXT_TABLE", "1:2:1:1;\r\n", {err("TEXT_TABLE", 1)}},
    };
    for (const BadRow& row : rows) {
        SCOPED_TRACE(std::string(row.label) + " " + row.body);
        WriteBoard({{row.label, row.body}, {"WIRE_VIA_LAYER", "1:1::::;\r\n2:2::::;\r\n"}});
        if (std::string(row.label) == "WIRE_LAY_COUNT")
            doc->ReadWireViaLayer();
        messages.Clear();
        readers.at(row.label)(*doc);
        EXPECT_EQ(messages.Texts(), row.messages);
    }
}

TEST_F(TableSectionsTest, DefaultItems)
{
    WriteBoard({{"DEF_HOLE", "1:1.2:0:0:0;\r\n"},
                {"DEF_LAND", "14;\r\n"},
                {"DEF_SURF", "3:3:POSI;\r\n"},
                {"DEF_LINE", "1:2;\r\n121;\r\n"},
                {"DEF_VIA", "65:1;\r\n"}});
    doc->ReadDefItems();
    EXPECT_EQ(doc->GetDefaultHoleDiameter(), 1.2);
    EXPECT_EQ(doc->GetDefaultLandTurret(), 14);
    EXPECT_EQ(doc->GetDefaultLineTurret(), 0);
    EXPECT_EQ(doc->GetDefaultVia(), 1);
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"BPF [DEF_SURF] Format Error 1", "BPF [DEF_LINE] Format Error 2",
                                        "BPF [DEF_VIA] Format Error 1"}));
}

} // namespace
