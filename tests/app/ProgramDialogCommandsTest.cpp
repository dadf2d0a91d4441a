// The program dialogs run by their commands: work area (32944), layer exchange (32973) and project
// (32843) from the frame, and the board view's print dialog printing a page list to PDF.

#include "app/ChildFrame.h"
#include "app/CommandTable.h"
#include "app/PrintDialogAdapter.h"
#include "app/VELTAView.h"
#include "dialogs/DlgLayerSwap.h"
#include "dialogs/DlgPrint.h"
#include "dialogs/DlgProject.h"
#include "dialogs/DlgWorkArea.h"
#include "libui/CheckListBox.h"
#include "libui/DialogBuilder.h"
#include "platform/Messages.h"
#include "tests/app/AppFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using namespace apptest;

class ProgramDialogCommandsTest : public AppCommandFixture
{
protected:
    void SetUp() override
    {
        AppCommandFixture::SetUp();
        Start();
        frame->resize(900, 700);
        frame->show();
        QApplication::processEvents();
    }
    CVELTADoc* OpenBoard(const std::string& name)
    {
        CVELTADoc* doc = app->OpenDocumentFile(Cp(MakeBoard(root / "boards", name)));
        QApplication::processEvents();
        return doc;
    }
    static void Type(QWidget* d, int id, const QString& text)
    {
        auto* edit = FindControl<QLineEdit>(d, id);
        edit->setFocus();
        edit->selectAll(); // typing replaces the selection
        QTest::keyClicks(edit, text);
    }
    static void Click(QWidget* d, int id)
    {
        QTest::mouseClick(FindControl<QAbstractButton>(d, id), Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    }
    static void Choose(QWidget* d, int id, int index)
    {
        auto* combo = FindControl<QComboBox>(d, id);
        combo->setFocus();
        while (combo->currentIndex() < index)
            QTest::keyClick(combo, Qt::Key_Down);
    }
};

TEST_F(ProgramDialogCommandsTest, WorkAreaCommand)
{
    CVELTADoc* doc = OpenBoard("area.vbd");
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(frame->UpdateCommand(ID_WORK_AREA, frame->Action(ID_WORK_AREA)));
    OnDialog([](QDialog* d) {
        EXPECT_EQ(FindControl<QLineEdit>(d, CDlgWorkArea::IdWidth)->text(), "100");
        Type(d, CDlgWorkArea::IdWidth, "300");
        Type(d, CDlgWorkArea::IdHeight, "200");
        Type(d, CDlgWorkArea::IdOriginX, "150");
        Type(d, CDlgWorkArea::IdOriginY, "10");
        Click(d, CDialogBuilder::IdOk);
    });
    frame->OnCommand(ID_WORK_AREA);
    ASSERT_TRUE(opened);
    EXPECT_EQ(doc->GetBoardSize().cx, 300.0);
    EXPECT_EQ(doc->GetBoardSize().cy, 200.0);
    EXPECT_EQ(doc->GetUserOrigin().x, 150.0);
    // A refused origin keeps the dialog open and the board as it is.
    OnDialog([](QDialog* d) {
        Type(d, CDlgWorkArea::IdOriginX, "150.1");
        Click(d, CDialogBuilder::IdOk);
    });
    frame->OnCommand(ID_WORK_AREA);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(doc->GetUserOrigin().x, 150.0);
}

TEST_F(ProgramDialogCommandsTest, LayerExchangeCommand)
{
    CVELTADoc* doc = OpenBoard("swap.vbd");
    ASSERT_NE(doc, nullptr);
    ASSERT_NE(doc->GetBoardSheet(0)->GetFirstLinePos(), nullptr);
    EXPECT_TRUE(frame->UpdateCommand(ID_LAYER_SWAP, frame->Action(ID_LAYER_SWAP)));
    OnDialog([](QDialog* d) {
        Choose(d, CDlgLayerSwap::IdLayerB, 2);
        Click(d, CDialogBuilder::IdOk);
    });
    frame->OnCommand(ID_LAYER_SWAP);
    ASSERT_TRUE(opened);
    EXPECT_EQ(doc->GetBoardSheet(0)->GetFirstLinePos(), nullptr);
    EXPECT_NE(doc->GetBoardSheet(2)->GetFirstLinePos(), nullptr);
}

TEST_F(ProgramDialogCommandsTest, ProjectCommandWritesTheProjectAndOpensIt)
{
    MakeBoard(root / "boards", "one.vbd");
    MakeBoard(root / "boards", "two.vbd");
    const fs::path project = root / "boards" / "job.vpj";
    ProjectWorks works{};
    works[0].boardFile = "one.vbd";
    works[1].boardFile = "two.vbd";
    ASSERT_TRUE(WriteProjectFile(project, works, 2));
    profile.SetString("Project File List", "File1", Cp(project));
    EXPECT_TRUE(frame->UpdateCommand(ID_PROJECT, frame->Action(ID_PROJECT)));

    // OK: the project file names the folder's settings file and the project becomes current.
    OnDialog([&](QDialog* d) {
        EXPECT_EQ(FindControl<QComboBox>(d, CDlgProject::IdSettings)->currentText(), "velta.bpf");
        Click(d, CDialogBuilder::IdOk);
    });
    frame->OnCommand(ID_PROJECT);
    ASSERT_TRUE(opened);
    EXPECT_EQ(app->GetProjectPath(), Cp(project));
    EXPECT_EQ(profile.GetString("Project File List", "File1"), Cp(project));
    ProjectWorks read{};
    ASSERT_EQ(ReadProjectFile(project, read), 2);
    EXPECT_EQ(read[1].settingsFile, "velta.bpf");
    EXPECT_EQ(BoardCount(), 0);

    // Open all: the open boards close and the project's boards open.
    ASSERT_NE(app->OpenDocumentFile(Cp(root / "boards" / "one.vbd")), nullptr);
    app->SetProjectPath("");
    OnDialog([&](QDialog* d) { Click(d, CDlgProject::IdOpenAll); });
    frame->OnCommand(ID_PROJECT);
    ASSERT_TRUE(opened);
    EXPECT_EQ(BoardCount(), 2);
    EXPECT_EQ(app->GetProjectPath(), Cp(project));

    // Cancel changes nothing.
    OnDialog([&](QDialog* d) { d->reject(); });
    frame->OnCommand(ID_PROJECT);
    EXPECT_EQ(BoardCount(), 2);
}

TEST_F(ProgramDialogCommandsTest, PrintDialogChoosesATwoPageListThatPrintsToPdf)
{
    CVELTADoc* doc = OpenBoard("print.vbd");
    ASSERT_NE(doc, nullptr);
    tagPRINTSET settings;
    doc->ReadPrintSettings(settings);
    settings.layers = {"0:front         : PRINTER      :1", "0:back          : PRINTER      :2",
                       "0:both          : PRINTER      :1,2"};
    ViewPrintChoice choice;
    CPrintDialogAdapter adapter(frame);
    OnDialog([](QDialog* d) {
        auto* list = FindControl<CCheckListBox>(d, CDlgPrint::IdList);
        Click(d, CDlgPrint::IdListMode);
        list->CycleRow(0);
        list->CycleRow(2);
        Click(d, CDialogBuilder::IdOk);
    });
    ASSERT_TRUE(adapter.Run(settings, false, choice));
    EXPECT_EQ(choice.pageCount, 2);
    EXPECT_EQ(choice.pageLayers, (std::vector<std::vector<int>>{{0}, {0, 1}}));
    EXPECT_EQ(settings.b[0], 1);
    EXPECT_EQ(settings.layers[0].substr(0, 4), "1 : ");
    // The settings go back to the board's settings file and read back the same.
    ASSERT_TRUE(doc->WritePrintSettings(settings));
    tagPRINTSET again;
    doc->ReadPrintSettings(again);
    EXPECT_EQ(again.b[0], 1);
    ASSERT_EQ(again.layers.size(), 3u);
    EXPECT_EQ(again.layers[2][0], '1');

    CVELTAView* view = frame->ActiveChild()->GetView();
    view->SetPrintChoice(choice);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("list.pdf"));
    ASSERT_TRUE(view->PrintTo(printer));
    QFile pdf(dir.filePath("list.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2)
        << bytes.left(200).toStdString();
}

} // namespace
