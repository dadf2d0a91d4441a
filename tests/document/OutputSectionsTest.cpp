#include "platform/J.h"
#include "platform/Numbers.h"
#include "tests/document/DocFixture.h"
#include "tests/support/FakeDocumentHost.h"

namespace {

class OutputSectionsTest : public DocFixture
{
protected:
    void SetUp() override
    {
        DocFixture::SetUp();
        InstallMaster();
    }
    // The master's sections, with `label` replaced by `body`, as the board's file.
    void WriteBoardSection(const std::string& label, const std::string& body)
    {
        std::filesystem::copy_file(Master(), Board(), std::filesystem::copy_options::overwrite_existing);
        CBoardSettingFile file;
        file.SetPath(Board());
        file.SetLabel(label);
        ASSERT_TRUE(file.WriteSection(body));
    }
};

TEST_F(OutputSectionsTest, DrillLinesAndRoundTrip)
{
    WriteBoardSection("CAM_OUT_DRIL",
                      "B: EBC : CRLF : AUTO : 3 ;\r\nC: i : inc : 1 : 2 : 3 : 4 : 5 : 270 ;\r\n"
                      "L: yes : \"..x..\" : no : \"y\" ;\r\nS: 5 : YES : NO ;\r\n"
                      "0 : layer : file.drl : 5,200,0,12 ;\r\n");
    CBoardSettingFile file;
    file.SetPath(Board());
    file.SetLabel("CAM_REPORT");
    ASSERT_TRUE(file.WriteSection(" REP ;\r\n"));
    tagCAMOUT cam;
    doc->ReadCamOut(cam);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(cam.GetCamReport(), "REP");
    EXPECT_EQ(cam.drill.tapeCode, 1);
    EXPECT_EQ(cam.drill.endOfBlock, 2);
    EXPECT_EQ(cam.drill.number, 3);
    EXPECT_TRUE(cam.drill.inch);
    EXPECT_TRUE(cam.drill.incremental);
    EXPECT_EQ(cam.drill.rotation, 3);
    EXPECT_EQ(cam.drillText1, "x");
    EXPECT_TRUE(cam.drillYes1);
    EXPECT_EQ(cam.drillNumber, 4);
    EXPECT_EQ(cam.drill.outputs, std::vector<std::string>{"0:layer         : file.drl     :  5, 12"});

    cam.drillOption = 2;
    cam.drillOptionOn = true;
    EXPECT_TRUE(doc->WriteCamOut(1, cam));
    tagCAMOUT again;
    doc->ReadCamOut(again);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(again.drill.tapeCode, 1);
    EXPECT_EQ(again.drill.endOfBlock, 2);
    EXPECT_EQ(again.drill.number, 3);
    EXPECT_EQ(again.drill.values, cam.drill.values);
    EXPECT_EQ(again.drill.ints, cam.drill.ints);
    EXPECT_EQ(again.drill.rotation, 3);
    EXPECT_EQ(again.drill.outputs, cam.drill.outputs);
    EXPECT_EQ(again.drillText1, "x");
    EXPECT_EQ(again.drillNumber, 4);
    EXPECT_EQ(again.drillOption, 2);
    EXPECT_TRUE(again.drillOptionOn);
}

TEST_F(OutputSectionsTest, PhotoRoundTrip)
{
    std::filesystem::copy_file(Master(), Board());
    tagCAMOUT cam;
    doc->ReadCamOut(cam);
    cam.photo.folder = "out";
    cam.photo.tapeCode = 3;
    cam.photo.rotation = 1;
    cam.photoMode = 4;
    cam.photoFile = "f : g";
    cam.photoCodes[6] = "Z";
    cam.photoFlag = true;
    cam.photo.outputs.push_back("1:" + _J("部品面") + "        : a.gbr        :  1,  2");
    EXPECT_TRUE(doc->WriteCamOut(0, cam));
    tagCAMOUT again;
    doc->ReadCamOut(again);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(again.photo.folder, "out");
    EXPECT_EQ(again.photo.tapeCode, 3);
    EXPECT_EQ(again.photo.rotation, 1);
    EXPECT_EQ(again.photoMode, 4);
    EXPECT_EQ(again.photoFile, "f : g");
    EXPECT_EQ(again.photoCodes, cam.photoCodes);
    EXPECT_TRUE(again.photoFlag);
    EXPECT_EQ(again.photo.outputs, cam.photo.outputs);
}

struct CamRow
{
    const char* label;
    std::string line;
    int error; // 1-based line reported, 0 none
};

TEST_F(OutputSectionsTest, BadCamLines)
{
    const CamRow rows[] = {
        {"CAM_OUT_DRIL", "C: m : abs : 0 : 0 : 0 : 1 : 1 : 45 ;", 1},
        {"CAM_OUT_DRIL", "X: 7 ;", 1},
        {"CAM_OUT_DRIL", "X: -1 ;", 1},
        {"CAM_OUT_DRIL", "D: 1 ;", 1},
        {"CAM_OUT_DRIL", "B: XYZ : LF : AUTO : 1 ;", 1},
        {"CAM_OUT_DRIL", "B: ASC : LF : AUTO : 9 ;", 1},
        {"CAM_OUT_DRIL", "A: \"a\" ;\r\nA: x : y ;", 2},
        {"CAM_OUT_PHOT", "A: C : \\out ;", 0},
        {"CAM_OUT_PHOT", "D: 5 ;", 1},
        {"CAM_OUT_PHOT", "H: 1 : 2 ;", 1},
        {"CAM_OUT_PHOT", "Q: 1 ;", 1},
        {"CAM_OUT_PHOT", "A ;", 1},
    };
    for (const CamRow& row : rows) {
        SCOPED_TRACE(row.line);
        WriteFile(Board(), Section(row.label, row.line + "\r\n"));
        messages.Clear();
        tagCAMOUT cam;
        doc->ReadCamOut(cam);
        const bool drill = std::string(row.label) == "CAM_OUT_DRIL";
        std::vector<std::string> expected{_J("基板設定ファイルにラベル[CAM_REPORT]が見つかりません")};
        if (drill)
            expected.push_back(_J("基板設定ファイルにラベル[CAM_OUT_PHOT]が見つかりません"));
        if (row.error)
            expected.push_back(platform::Format("BPF [%s] Format Error %d", row.label, row.error));
        if (!drill)
            expected.push_back(_J("基板設定ファイルにラベル[CAM_OUT_DRIL]が見つかりません"));
        EXPECT_EQ(messages.Texts(), expected);
        if (row.line == "X: 7 ;") {
            EXPECT_EQ(cam.drillOption, 3);
        }
        if (row.line == "A: C : \\out ;") {
            EXPECT_EQ(cam.photo.folder, "C:\\out");
        }
        if (row.line == "B: ASC : LF : AUTO : 9 ;") {
            EXPECT_EQ(cam.drill.number, 4);
        }
    }
}

TEST_F(OutputSectionsTest, HoleData)
{
    WriteFile(Board(),
              Section("HOLE_DATA", "input : 3,5 ;\r\nTD2 : 1.2x2.0 : nth : \"slot\" ;\r\n"
                                   "TD3 : 1x2(0.3) : TH : \"r\" ;\r\nTD101 : 1.0 : TH : \"x\" ;\r\n"));
    tagHOLEDATA data;
    doc->ReadHoleData(data);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"BPF [HOLE_DATA] Format Error 4"});
    EXPECT_EQ(data.input[2], 1);
    EXPECT_EQ(data.input[4], 1);
    const tagHOLEENTRY& slot = data.holes[1];
    EXPECT_EQ(slot.size, 1.2);
    EXPECT_EQ(slot.width, 2.0);
    EXPECT_EQ(slot.third, 0.6);
    EXPECT_EQ(slot.kind, 0x10);
    EXPECT_EQ(data.holes[2].kind, 0x21);
    EXPECT_EQ(data.holes[2].third, 0.3);
    EXPECT_EQ(data.holeCount, 3);

    messages.Clear();
    data.holes[0] = tagHOLEENTRY{3.0, 0.0, 0.0, 1, "big"};
    data.holes[4] = tagHOLEENTRY{1e-12, 0.0, 0.0, 0, "tiny"};
    data.error = true;
    data.errorText = "e";
    data.codeLayer = 9;
    EXPECT_TRUE(doc->WriteHoleData(data));
    const std::string text = ReadFile(Board());
    EXPECT_NE(text.find("TD1 : 3.0 : TH : \"big\" ;\r\n"), std::string::npos);
    EXPECT_NE(text.find("TD2 : 1.2x2.0 : NTH : \"slot\" ;\r\n"), std::string::npos);
    EXPECT_NE(text.find("TD3 : 1.0x2.0(0.3) : TH : \"r\" ;\r\n"), std::string::npos);
    EXPECT_NE(text.find("TD5 : 0.0 : NTH : \"tiny\" ;\r\n"), std::string::npos);
    EXPECT_NE(text.find("INPUT :   3,  5 ;\r\nCODE  :  10 : "), std::string::npos);
    EXPECT_NE(text.find("ERROR : ON  : e : 0.000 ;"), std::string::npos);

    // "No table" is kept as layer 0 and comes back as no table, without a format error.
    data.tableLayer = -1;
    EXPECT_TRUE(doc->WriteHoleData(data));
    EXPECT_NE(ReadFile(Board()).find("TABLE :   0 : "), std::string::npos);
    tagHOLEDATA back;
    doc->ReadHoleData(back);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(back.tableLayer, -1);
    EXPECT_EQ(back.codeLayer, 9);
}

TEST_F(OutputSectionsTest, DrcCheck)
{
    WriteFile(Board(), Section("DRC_CHECK", "MODE : 5 : x ;\r\nSIZE : -1 ;\r\nOUTPUT : 0 : 200 : 1 ;\r\n"
                                            "arc : 0.5 : off : ON : 122 ;\r\n"));
    tagDRCSET drc;
    doc->ReadDrcCheck(drc);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(drc.mode, 1);
    EXPECT_EQ(drc.size, 0.25);
    EXPECT_FALSE(drc.output);
    EXPECT_EQ(drc.outputLayer, 114);
    EXPECT_EQ(drc.outputAperture, 10);
    EXPECT_EQ(drc.arc, 0.5);
    EXPECT_FALSE(drc.arcFlag1);
    EXPECT_EQ(drc.arcAperture, 15);

    drc.mode = 2;
    drc.modeText = "t";
    drc.nega = 0;
    drc.pinCount = false;
    std::filesystem::copy_file(Master(), Board(), std::filesystem::copy_options::overwrite_existing);
    EXPECT_TRUE(doc->WriteDrcCheck(drc));
    tagDRCSET again;
    doc->ReadDrcCheck(again);
    EXPECT_EQ(again.mode, 2);
    EXPECT_EQ(again.modeText, "t");
    EXPECT_EQ(again.nega, 0);
    EXPECT_FALSE(again.pinCount);
    EXPECT_FALSE(again.output);
    EXPECT_EQ(again.arc, 0.5);

    WriteFile(Board(), Section("DRC_CHECK", "SIZE : 1 ;\r\nNEGA ;\r\nPINCOUNT : OFF ;\r\n"));
    doc->ReadDrcCheck(again);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"BPF [DRC_CHECK] Format Error 2"});
    EXPECT_TRUE(again.pinCount);
}

TEST_F(OutputSectionsTest, PartList)
{
    WriteFile(Board(), Section("PART_LIST", "ORG_S : 1 : 2 : OFF ;\r\nOUTPUT : \\dir\\ ;\r\n"
                                            "OUTPART : ON : OFF ;\r\n"));
    tagPARTLISTSET list;
    doc->ReadPartList(list);
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_TRUE(list.xFlag);
    EXPECT_FALSE(list.yFlag);
    EXPECT_EQ(list.sheetOriginY, 2.0);
    EXPECT_EQ(list.folder, "dir");
    EXPECT_TRUE(list.outPart1);
    EXPECT_FALSE(list.outPart2);

    list.place = true;
    list.xFlag = false;
    list.yFlag = true;
    list.outPart2 = true;
    std::filesystem::copy_file(Master(), Board(), std::filesystem::copy_options::overwrite_existing);
    EXPECT_TRUE(doc->WritePartList(list));
    EXPECT_NE(
        ReadFile(Board()).find("ORG_S : 1.000 : 2.000 : Y ;\r\nOUTPUT : \"dir\" ;\r\nOUTPART : ON: ON ;\r\n"),
        std::string::npos);
    tagPARTLISTSET again;
    doc->ReadPartList(again);
    EXPECT_TRUE(again.place);
    EXPECT_TRUE(again.xFlag); // the reader only sets the flags; X is on by default
    EXPECT_TRUE(again.yFlag);
    EXPECT_TRUE(again.outPart2);
}

TEST_F(OutputSectionsTest, PrintSettingsAndThePrinterPage)
{
    WriteFile(Board(), Section("PRINT", "A: 3 : 4 ;\r\nB: 2 : 0 : 0 : 1 : 0;\r\nD: Letter : L ;\r\n"
                                        "1 : top : p1 : 1,2 ;\r\n") +
                           Section("SHEET_SIZE", "200 : 20 ;\r\n"));
    FakeDocumentHost host;
    doc->SetHost(&host);
    doc->LoadPrintSettings();
    EXPECT_EQ(messages.Count(), 0u);
    EXPECT_EQ(doc->GetPrintValues().a, (std::array<int, 2>{3, 4}));
    EXPECT_EQ(doc->GetPrintValues().scale, 2.0);
    EXPECT_EQ(doc->GetPrintValues().b[2], 1);
    EXPECT_EQ(doc->GetPrintValues().c, (std::array<int, 2>{0, 128}));
    EXPECT_EQ(doc->GetBoardSize().cx, 200.0);
    // No printer: no page; the unknown paper is left, the orientation taken.
    ASSERT_EQ(host.printerRequests.size(), 1u);
    EXPECT_FALSE(host.printerRequests[0].portrait);
    EXPECT_EQ(host.printerRequests[0].paperCode, 0);
    EXPECT_EQ(doc->GetPageRect().left, 0.0);
    EXPECT_EQ(doc->GetPageRect().right, 0.0);
    ASSERT_EQ(host.repaints.size(), 1u);
    EXPECT_EQ(host.repaints[0].hint, 3);

    // A printer of 100 pixels per inch: 2540 x 2540 pixels of page, the printable area 100 pixels in.
    host.printer = PrinterPage{2540, 2540, 100, 100, 2340, 2340, 100, 100};
    WriteFile(Board(), Section("PRINT", "A: 0 : 0 ;\r\nB: 1 : 0 : 0 : 0 : 0;\r\nD: a3 : P ;\r\n") +
                           Section("SHEET_SIZE", "300 : 0 ;\r\n"));
    doc->LoadPrintSettings();
    EXPECT_EQ(host.printerRequests.back().paperCode, 8);
    EXPECT_TRUE(host.printerRequests.back().portrait);
    const CDRect printable = doc->GetPrintableRect();
    EXPECT_NEAR(printable.left, 0.0, 1e-9);
    EXPECT_NEAR(printable.right, 594.36, 1e-9);
    const CDRect page = doc->GetPageRect();
    EXPECT_NEAR(page.left, -25.4, 1e-9);
    EXPECT_NEAR(page.right, 619.76, 1e-9);
    EXPECT_NEAR(page.bottom - page.top, 645.16, 1e-9);
}

TEST_F(OutputSectionsTest, PaperNamesAndCodes)
{
    EXPECT_EQ(GetPaperName(8), _J("既定値"));
    EXPECT_EQ(GetPaperCode(5), 88);
    EXPECT_EQ(GetPaperCode(8), 0);
    EXPECT_EQ(GetPaperName(9), "");
}

} // namespace
