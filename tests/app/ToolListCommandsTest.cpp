// The part list and clean-up commands as the frame runs them: enabled only while nothing is
// selected, their dialogs shown, the files written beside the board.

#include "app/ChildFrame.h"
#include "dialogs/DlgClean.h"
#include "dialogs/DlgHoleData.h"
#include "dialogs/DlgPartList.h"
#include "libui/DialogBuilder.h"
#include "model/items/Hole.h"
#include "model/items/Line.h"
#include "model/items/Text.h"
#include "platform/Messages.h"
#include "platform/qt/QPainterDrawContext.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using namespace apptest;

class ToolListCommandsTest : public AppCommandFixture
{
protected:
    CVELTADoc* OpenBoard() { return OpenBoardFile("list.vbd"); }
};

TEST_F(ToolListCommandsTest, CleanUpRunsItsDialogAndTidiesTheBoard)
{
    profile.SetInt("CleanSection", "View", 0);
    Start();
    frame->show();
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    CSheet* sheet = doc->GetBoardSheet(0);
    sheet->NewLine(CDPoint(10, 10), CDPoint(60, 10), 2, 0); // a copy of the board's first track
    const int before = sheet->GetItemCount();
    EXPECT_TRUE(Enabled(32956));
    bool shown = false;
    OnDialog([&shown](QDialog* d) {
        shown = qobject_cast<CDlgClean*>(d) != nullptr;
        Click(d, CDialogBuilder::IdOk);
    });
    frame->OnCommand(32956);
    EXPECT_TRUE(shown);
    EXPECT_EQ(sheet->GetItemCount(), before - 1);
    EXPECT_TRUE(fs::exists(root / "boards" / "list.clean.log"));
    EXPECT_TRUE(doc->CanUndo());

    // With something selected the command is not offered.
    doc->SelectItem(sheet->GetHeadLine(), 0);
    EXPECT_FALSE(Enabled(32956));
    EXPECT_FALSE(Enabled(32955));
}

TEST_F(ToolListCommandsTest, PartListRunsItsDialogAndWritesTheChosenFiles)
{
    profile.SetInt("Tool", "PListView", 0);
    Start();
    frame->show();
    ASSERT_NE(OpenBoard(), nullptr);
    EXPECT_TRUE(Enabled(32955));
    OnDialog([](QDialog* d) {
        Click(d, CDlgPartList::IdPlace);
        Click(d, CDlgPartList::IdBom);
        Click(d, CDialogBuilder::IdOk);
    });
    frame->OnCommand(32955);
    EXPECT_TRUE(fs::exists(root / "boards" / "list.loc"));
    EXPECT_TRUE(fs::exists(root / "boards" / "list.loc.csv"));
    EXPECT_TRUE(fs::exists(root / "boards" / "list.csv"));
    EXPECT_FALSE(fs::exists(root / "boards" / "list.plt"));
}

TEST_F(ToolListCommandsTest, HoleDataRunsItsDialogAndMarksTheHoles)
{
    Start();
    frame->show();
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    for (double x : {10.0, 20.0})
        doc->GetBoardSheet(2)->NewHole(CHole(CDPoint(x, 10), 0.8, true, 0.0, 0.0, 0.0));
    // Last time's settings: layer 3 gathered, symbol "A" for the 0.8 holes, no table.
    std::array<int, LAYER_MAX> flags{};
    flags[2] = 1;
    ASSERT_EQ(doc->MakeTCodeTable(flags.data(), 240), 1);
    const tagTCODE tool = doc->GetTCodeTable()[0];
    tagHOLEDATA data;
    data.input[2] = 1;
    data.holeCount = 1;
    data.holes[0] = tagHOLEENTRY{tool.diameter, tool.width, tool.radius, tool.holeType, "A"};
    data.codeLayer = 99; // a layer the symbol list offers: neither wiring nor part layer
    data.code = {1.5, 1.0, 1.0, 0.0};
    data.tableLayer = -1;
    doc->WriteHoleData(data);

    EXPECT_TRUE(Enabled(32846));
    QString total;
    OnDialog([&total](QDialog* d) {
        total = FindControl<QLineEdit>(d, CDlgHoleData::IdTotal)->text();
        Click(d, CDialogBuilder::IdOk);
    });
    frame->OnCommand(32846);
    EXPECT_EQ(total, "2");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{});
    CSheet* symbols = doc->GetBoardSheet(99);
    ASSERT_EQ(symbols->GetKindCount(KIND_TEXT), 2);
    EXPECT_EQ(symbols->GetHeadText()->GetName(), "A");
    EXPECT_EQ(messages.Count(), 0u);
    // One undo takes the symbols away again.
    doc->OnEditUndo();
    EXPECT_EQ(symbols->GetKindCount(KIND_TEXT), 0);
}

// The chart and its symbols drawn as the board shows them, for a person to look at: written when
// VELTA_SCREENSHOT_DIR names a folder.
TEST(HoleChartPicture, TheChartIsDrawnWithItsRowsAndSymbols)
{
    platform::RecordingMessages messages;
    platform::SetMessageService(&messages);
    CVELTADoc doc;
    doc.SetUserOrigin(CDPoint(0.0, 0.0));
    CSheet* holeLayer = doc.GetBoardSheet(2);
    const struct
    {
        double x, y, size;
        int shape;
    } holes[] = {{10, 10, 0.8, 0},
                 {20, 10, 0.8, 0},
                 {30, 10, 1.2, 0},
                 {40, 10, 1.0, HOLE_LONG},
                 {50, 10, 1.5, HOLE_RECT}};
    for (const auto& h : holes) {
        CHole hole(CDPoint(h.x, h.y), h.size, h.shape == 0, h.shape ? h.size * 2 : 0.0,
                   h.shape == HOLE_LONG ? h.size * 0.5 : 0.2, 0.0);
        hole.ModifyType(h.shape, HOLE_SHAPE_MASK);
        holeLayer->NewHole(hole);
    }
    std::array<int, LAYER_MAX> flags{};
    flags[2] = 1;
    tagHOLEDATA data;
    data.holeCount = doc.MakeTCodeTable(flags.data(), 240);
    const char* symbols[] = {"A", "B", "C", "D"};
    for (int i = 0; i < data.holeCount; ++i) {
        const tagTCODE& tool = doc.GetTCodeTable()[static_cast<std::size_t>(i)];
        tagHOLEENTRY& row = data.holes[static_cast<std::size_t>(i)];
        row = tagHOLEENTRY{tool.diameter, tool.width, tool.radius, tool.holeType & 0x31, symbols[i % 4]};
    }
    data.codeLayer = 5;
    data.code = {1.5, 1.0, 1.0, 0.0};
    data.tableLayer = 5;
    data.table = {2.0, 10.0, 20.0};
    CSheet gathered(SHEET_WORK);
    doc.MakeHoleList(flags.data(), &gathered, 240);
    doc.RunHoleChart(data, gathered);
    platform::SetMessageService(nullptr);

    const int previousScale = CDPoint::GetScale();
    CDPoint::SetScale(100);
    QImage image(640, 360, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    {
        platform::QPainterDrawContext dc(&painter);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(CSize(100, 100));
        dc.SetViewportExt(CSize(10, -10));
        dc.SetWindowOrg(CDPoint(5.0, 5.0).IntPoint());
        dc.SetViewportOrg(CPoint(0, image.height()));
        const COLORREF colour = RGB(20, 60, 160);
        dc.SelectPen(platform::Pen(PS_SOLID, 0, colour));
        dc.SelectBrush(platform::Brush::Solid(colour));
        dc.SetTextColor(colour);
        CSheet* chart = doc.GetBoardSheet(5);
        for (POSITION pos = chart->GetFirstLinePos(); pos;)
            chart->GetNextLine(pos)->DrawLine(&dc, 4);
        for (POSITION pos = chart->GetFirstTextPos(); pos;)
            chart->GetNextText(pos)->DrawTextA(&dc, 4);
        dc.SelectStockBrush(BLACK_BRUSH);
        for (POSITION pos = holeLayer->GetFirstHolePos(); pos;)
            holeLayer->GetNextHole(pos)->DrawHole(&dc, 4);
    }
    painter.end();
    CDPoint::SetScale(previousScale);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += image.pixel(x, y) != 0xFFFFFFFF;
    EXPECT_GT(ink, 2000);
    const QString folder = qEnvironmentVariable("VELTA_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        image.save(folder + "/HoleChart.png");
}

} // namespace
