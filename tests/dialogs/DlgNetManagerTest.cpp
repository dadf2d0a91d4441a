// The net management dialog on the real widgets: the grid's texts and colours, the colour dialog
// with its custom colours kept in the profile, OK and Cancel, and the menu command that runs it.

#include "controls/GfxListCtrl.h"
#include "dialogs/DlgNetManager.h"
#include "model/items/Land.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/net/Net.h"
#include "app/ChildFrame.h"
#include "app/VELTAView.h"
#include "tests/app/AppFixture.h"
#include "tests/dialogs/DialogFixture.h"

#include <QColorDialog>
#include <QTimer>

namespace {

class DlgNetManagerTest : public DialogFixture
{
protected:
    void AddNet(const std::string& text, COLORREF colour)
    {
        auto net = std::make_unique<CNet>();
        ASSERT_TRUE(net->MakeNet(0, text));
        net->SetID(static_cast<std::uint32_t>(doc->GetNets().size() + 1));
        net->SetColor(colour);
        doc->AddNet(std::move(net));
    }
    static std::string Cell(CGfxListCtrl* list, int row, int columnId)
    {
        for (int column = 0; column < list->GetColumnCount(); ++column) {
            if (list->GetColumnSubItem(column) != columnId)
                continue;
            std::string text;
            list->GetCellText(row, column, text);
            return text;
        }
        return "<no column>";
    }
    // Clicks the colour cell of a row; the colour dialog that opens takes the colour and OK
    // (or Cancel without a colour).
    void PickColour(CDlgNetManager* dialog, int row, std::optional<QColor> colour)
    {
        QTimer::singleShot(0, [colour] {
            auto* picker = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(picker, nullptr);
            if (colour) {
                picker->setCurrentColor(*colour);
                picker->accept();
            } else {
                picker->reject();
            }
        });
        CGfxListCtrl* list = dialog->List();
        int colourColumn = 0;
        for (int column = 0; column < list->GetColumnCount(); ++column)
            if (list->GetColumnSubItem(column) == CDlgNetManager::ColumnColor)
                colourColumn = column;
        QRect cell;
        ASSERT_TRUE(list->GetCellRect(row, colourColumn, &cell));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }
    static std::vector<std::uint8_t> Blob(const std::vector<COLORREF>& colours)
    {
        std::vector<std::uint8_t> bytes;
        for (COLORREF c : colours)
            for (int b = 0; b < 4; ++b)
                bytes.push_back(static_cast<std::uint8_t>(c >> (8 * b)));
        return bytes;
    }
};

TEST_F(DlgNetManagerTest, TheGridListsNamesColoursAndNodes)
{
    AddNet("GND:U1(3),R2(1)", 0x0000FF);
    AddNet("VCC:U1(14)", 0xFFFFFF);
    CDlgNetManager dialog(doc.get());
    OnDialog([&](QDialog* d) {
        auto* self = static_cast<CDlgNetManager*>(d);
        CGfxListCtrl* list = self->List();
        ASSERT_EQ(list->GetItemCount(), 2);
        EXPECT_EQ(Cell(list, 0, CDlgNetManager::ColumnName), "GND");
        EXPECT_EQ(Cell(list, 0, CDlgNetManager::ColumnNodes), "U1(3), R2(1)");
        EXPECT_EQ(Cell(list, 0, CDlgNetManager::ColumnColor), "0000FF");
        EXPECT_EQ(Cell(list, 1, CDlgNetManager::ColumnNodes), "U1(14)");
        EXPECT_EQ(Cell(list, 1, CDlgNetManager::ColumnKind), "");
        EXPECT_EQ(list->GetColumnWidth(0), 0);
        EXPECT_FALSE(Enabled(d, CDlgNetManager::IdAll));
        EXPECT_FALSE(Enabled(d, CDlgNetManager::IdIncomplete));
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("ネット管理"));
        // The colour cell is filled with the net's colour.
        QRect cell;
        int colourColumn = 0;
        for (int column = 0; column < list->GetColumnCount(); ++column)
            if (list->GetColumnSubItem(column) == CDlgNetManager::ColumnColor)
                colourColumn = column;
        ASSERT_TRUE(list->GetCellRect(0, colourColumn, &cell));
        const QImage image = list->viewport()->grab().toImage();
        int red = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                red += image.pixelColor(x, y) == QColor(255, 0, 0);
        EXPECT_GT(red, cell.width() * cell.height() / 3);
        // The opening size is the smallest; the grid grows with the dialog.
        const QSize initial = d->size();
        EXPECT_EQ(d->minimumSize(), initial);
        const int gridWidth = list->width();
        d->resize(initial + QSize(120, 80));
        QApplication::processEvents();
        EXPECT_EQ(list->width(), gridWidth + 120);
        Shot(d, "DlgNetManager");
    });
    EXPECT_NE(dialog.DoModal(), QDialog::Accepted);
    EXPECT_TRUE(opened);
}

TEST_F(DlgNetManagerTest, OkHandsBackTheChosenColourAndCancelNone)
{
    AddNet("GND:U1(3),R2(1)", 0x0000FF);
    AddNet("VCC:U1(14)", 0xFFFFFF);
    std::vector<COLORREF> colours;
    OnDialog([&](QDialog* d) {
        PickColour(static_cast<CDlgNetManager*>(d), 1, QColor(0x12, 0x34, 0x56));
        Ok(d);
    });
    ASSERT_TRUE(CDlgNetManager::Run(doc.get(), colours));
    EXPECT_EQ(colours, (std::vector<COLORREF>{0x0000FF, 0x563412}));

    OnDialog([&](QDialog* d) {
        PickColour(static_cast<CDlgNetManager*>(d), 0, QColor(0, 255, 0));
        d->reject();
    });
    std::vector<COLORREF> untouched{1, 2};
    EXPECT_FALSE(CDlgNetManager::Run(doc.get(), untouched));
    EXPECT_EQ(untouched, (std::vector<COLORREF>{1, 2}));
    EXPECT_EQ(doc->GetNetAt(0)->GetColor(), 0x0000FFu);
}

TEST_F(DlgNetManagerTest, ABoardWithoutNetsShowsAnEmptyGrid)
{
    std::vector<COLORREF> colours{7};
    OnDialog([&](QDialog* d) {
        EXPECT_EQ(static_cast<CDlgNetManager*>(d)->List()->GetItemCount(), 0);
        Ok(d);
    });
    ASSERT_TRUE(CDlgNetManager::Run(doc.get(), colours));
    EXPECT_TRUE(colours.empty());
}

TEST_F(DlgNetManagerTest, CustomColoursRoundTripThroughTheProfileAndOtherLengthsAreIgnored)
{
    AddNet("GND:U1(3)", 0x0000FF);
    std::vector<COLORREF> stored;
    for (int i = 0; i < 16; ++i)
        stored.push_back(static_cast<COLORREF>(0x010203 * (i + 1)));
    profile.SetBinary("Color", "Custom", Blob(stored));
    std::vector<COLORREF> colours;
    OnDialog([&](QDialog* d) {
        PickColour(static_cast<CDlgNetManager*>(d), 0, QColor(Qt::white));
        Ok(d);
    });
    ASSERT_TRUE(CDlgNetManager::Run(doc.get(), colours));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(QColorDialog::customColor(i), QColor(3 * (i + 1), 2 * (i + 1), i + 1)) << i;
    std::vector<std::uint8_t> written;
    ASSERT_TRUE(profile.GetBinary("Color", "Custom", written));
    EXPECT_EQ(written, Blob(stored));

    // Ten bytes are no set of colours: the dialog keeps its own and writes 64 bytes.
    QColorDialog::setCustomColor(0, QColor(9, 8, 7));
    profile.SetBinary("Color", "Custom", std::vector<std::uint8_t>(10, 0xFF));
    OnDialog([&](QDialog* d) {
        PickColour(static_cast<CDlgNetManager*>(d), 0, QColor(Qt::white));
        Ok(d);
    });
    ASSERT_TRUE(CDlgNetManager::Run(doc.get(), colours));
    EXPECT_EQ(QColorDialog::customColor(0), QColor(9, 8, 7));
    ASSERT_TRUE(profile.GetBinary("Color", "Custom", written));
    ASSERT_EQ(written.size(), 64u);
    EXPECT_EQ(written[0], 9);
    EXPECT_EQ(written[2], 7);
}

// --- The menu command of the main frame ---

class NetManagerCommandTest : public apptest::AppCommandFixture
{
protected:
};

TEST_F(NetManagerCommandTest, TheCommandRunsTheDialogAndOkColoursTheNets)
{
    Start();
    frame->resize(900, 700);
    frame->show();
    const apptest::fs::path board = apptest::MakeBoard(root / "boards", "nets.vbd");
    ASSERT_TRUE(app->OpenDocumentFile(apptest::Cp(board)));
    QApplication::processEvents();
    CVELTADoc* doc = frame->ActiveDocument();
    ASSERT_NE(doc, nullptr);
    auto net = std::make_unique<CNet>();
    ASSERT_TRUE(net->MakeNet(0, "GND:U1(3),R2(1)"));
    net->SetID(1);
    doc->AddNet(std::move(net));

    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CDlgNetManager*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = true;
        QTimer::singleShot(0, [] {
            auto* picker = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(picker, nullptr);
            picker->setCurrentColor(QColor(0, 0, 255));
            picker->accept();
        });
        dialog->ChooseColor(0);
        dialog->accept();
    });
    frame->OnCommand(32960);
    EXPECT_TRUE(shown);
    EXPECT_EQ(doc->GetNetAt(0)->GetColor(), 0xFF0000u);
}

// A board of a project whose work names a PADS net list: opening the project reads the nets, the
// view draws their rubber lines and the command lists them.
TEST_F(NetManagerCommandTest, AProjectsNetListIsReadOnOpenDrawnAndListed)
{
    Start();
    frame->resize(900, 700);
    frame->show();
    const apptest::fs::path folder = root / "p";
    const apptest::fs::path board = apptest::MakeBoard(folder, "b.vbd");
    {
        // Two placed parts with pads, apart on the component side.
        apptest::NewBoardHost host;
        CVELTADoc doc;
        doc.SetHost(&host);
        ASSERT_TRUE(doc.OnOpenDocument(apptest::Cp(board)));
        for (const auto& [ref, x] : {std::pair<std::string, double>{"U1", 20}, {"U2", 70}}) {
            CPart part(CDPoint(x, 60), CDRect(x - 2, 58, x + 12, 62), 1, 0, 0.0, 0);
            part.SetRefName(ref.c_str());
            for (int pin = 1; pin <= 2; ++pin) {
                const CDPoint at(x + 10 * (pin - 1), 60);
                part.NewLand(at, 6)->SetLayerNo(0);
                part.NewTer(at, CText(std::to_string(pin).c_str(), at, 0))->SetLayerNo(0);
            }
            doc.GetBoardSheet(LAYER_MAX)->NewPart(part)->ModifyType(PART_PLACED, PART_PLACED);
        }
        ASSERT_TRUE(doc.OnSaveDocument(apptest::Cp(board)));
        doc.SetHost(nullptr);
    }
    apptest::WriteText(folder / "b.net", "*PADS-PCB\n*Net\n*Sig GND U1.1 U2.1\n*Sig CLK U1.2 U2.2\n*End\n");
    apptest::WriteText(folder / "one.vpj", "Project File Ver 0.01\n[Work  0]\n{\n[1] b.vbd\n[2] 1 9 0 0 0\n"
                                           "[3] velta.bpf\n[4] b.net\n}\nEndProjectList\n");
    app->OpenChosenFiles({QString::fromStdString((folder / "one.vpj").string())});
    QApplication::processEvents();
    CVELTADoc* doc = frame->ActiveDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(messages.Count(), 0u);
    ASSERT_EQ(doc->GetNets().size(), 2u);
    EXPECT_TRUE(doc->IsNetsOn());
    EXPECT_FALSE(doc->GetNetAt(0)->GetRubberLines().empty());
    if (CVELTAView* view = frame->ActiveChild()->GetView()) {
        view->viewport()->update();
        QApplication::processEvents();
        if (const char* shots = std::getenv("VELTA_DIALOG_SHOTS"); shots && *shots)
            view->viewport()->grab().save(QString::fromLocal8Bit(shots) + "/RubberLines.png");
    }

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CDlgNetManager*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->CellText(CDlgNetManager::ColumnNodes, 1), "U1(2), U2(2)");
        dialog->reject();
    });
    frame->OnCommand(32960);
}

} // namespace
