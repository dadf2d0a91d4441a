// The environment settings sheet as the user opens it: command 101 of the main frame, driven while
// its modal loop runs, with the in-memory profile.

#include "app/EnvironmentSheet.h"
#include "dialogs/OptFileSave.h"
#include "dialogs/OptLayer.h"
#include "dialogs/OptSheet.h"
#include "dialogs/OptTool.h"
#include "libui/DialogBuilder.h"
#include "platform/Messages.h"
#include "platform/RangeText.h"
#include "platform/qt/QtText.h"
#include "tests/app/AppFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

using namespace apptest;

class EnvironmentSheetTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        platform::SetMessageService(&messages);
    }
    void TearDown() override
    {
        platform::SetMessageService(nullptr);
        AppFixture::TearDown();
    }
    // Runs command 101 with the steps applied to the open sheet; a sheet they leave open is
    // cancelled. True when the sheet closed by itself (OK).
    bool RunSheet(const std::function<void(CEnvironmentSheet*)>& steps)
    {
        bool closedByOk = false;
        QTimer::singleShot(0, [&] {
            auto* sheet = qobject_cast<CEnvironmentSheet*>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            steps(sheet);
            closedByOk = !sheet->isVisible();
            if (sheet->isVisible())
                sheet->reject();
        });
        frame->OnCommand(101);
        return closedByOk;
    }
    static void Choose(CEnvironmentSheet* sheet, int pageId)
    {
        for (int i = 0; i < sheet->Tabs()->count(); ++i)
            if (sheet->Page(i) && sheet->Page(i)->TemplateId() == pageId)
                QTest::mouseClick(sheet->Tabs()->tabBar(), Qt::LeftButton, Qt::NoModifier,
                                  sheet->Tabs()->tabBar()->tabRect(i).center());
    }
    static void Type(QWidget* page, int id, const QString& text)
    {
        auto* edit = FindControl<QLineEdit>(page, id);
        ASSERT_NE(edit, nullptr) << id;
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    static void Ok(CEnvironmentSheet* sheet)
    {
        QTest::mouseClick(FindControl<QPushButton>(sheet, CDialogBuilder::IdOk), Qt::LeftButton);
    }
    QString LastMessage() const
    {
        return messages.Count() ? platform::Cp932ToQString(messages.Last().text) : QString();
    }

    platform::RecordingMessages messages;
};

TEST_F(EnvironmentSheetTest, RangeErrorsKeepTheGeneralPageAndOkKeepsForeignKeys)
{
    Start();
    profile.SetInt("Sheet", "AutoPan", 1); // kept there by the frame
    profile.SetInt("Settings", "EnvPage", 154);
    const bool ok = RunSheet([&](CEnvironmentSheet* sheet) {
        EXPECT_EQ(sheet->CurrentPageId(), 154);
        QWidget* general = sheet->Page(0);
        Type(general, COptSheet::IdZoomEdit, "61");
        Choose(sheet, 178);
        EXPECT_EQ(sheet->CurrentPageId(), 154);
        EXPECT_EQ(LastMessage(), platform::Cp932ToQString(platform::IntRangeText(20, 60)));
        Type(general, COptSheet::IdZoomEdit, "40");
        Type(general, COptSheet::IdTrap, "0");
        Ok(sheet);
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_EQ(LastMessage(), platform::Cp932ToQString(platform::IntRangeText(1, 99)));
        EXPECT_NE(profile.GetInt("Sheet", "ZoomAspect", 20), 40);
        Type(general, COptSheet::IdTrap, "12");
        Choose(sheet, 178);
        EXPECT_EQ(sheet->CurrentPageId(), 178);
        EXPECT_EQ(profile.GetInt("Settings", "EnvPage", 0), 178);
        QWidget* tool = sheet->Page(sheet->Tabs()->currentIndex());
        Type(tool, COptTool::IdEditor, "editor %f");
        Ok(sheet);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(profile.GetInt("Sheet", "ZoomAspect", 0), 40);
    EXPECT_EQ(profile.GetInt("Sheet", "Trap", 0), 12);
    EXPECT_EQ(profile.GetInt("Sheet", "AutoPan", 0), 1);
    EXPECT_EQ(profile.GetString("Tool", "Editor"), "editor \"%f\"");
    EXPECT_EQ(profile.GetInt("Settings", "EnvPage", 0), 178);
    // Pages never shown store nothing.
    EXPECT_FALSE(profile.HasKey("FileSave", "BackUp"));
}

TEST_F(EnvironmentSheetTest, AnEditorStartingWithThePlaceholderIsStoredAsTyped)
{
    Start();
    profile.SetInt("Settings", "EnvPage", 178);
    EXPECT_TRUE(RunSheet([&](CEnvironmentSheet* sheet) {
        Type(sheet->Page(sheet->Tabs()->currentIndex()), COptTool::IdEditor, "%f editor");
        Ok(sheet);
    }));
    EXPECT_EQ(profile.GetString("Tool", "Editor"), "%f editor");
}

TEST_F(EnvironmentSheetTest, ARelativeSaveFolderKeepsTheSheetOpenAndWritesNothing)
{
    Start();
    profile.SetInt("Settings", "EnvPage", 153);
    profile.SetInt("FileSave", "AutoSave", 1);
    profile.SetInt("FileSave", "FileUpdate", 1);
    profile.SetString("FileSave", "SaveFolder", "/old");
    EXPECT_FALSE(RunSheet([&](CEnvironmentSheet* sheet) {
        QWidget* page = sheet->Page(sheet->Tabs()->currentIndex());
        Type(page, COptFileSave::IdSaveFolder, "saves");
        Choose(sheet, 154);
        Type(sheet->Page(0), COptSheet::IdZoomEdit, "33");
        Ok(sheet);
        EXPECT_EQ(sheet->CurrentPageId(), 153);
    }));
    EXPECT_EQ(LastMessage(), QString::fromUtf8("フォルダを絶対パスで指定して下さい。"));
    EXPECT_EQ(profile.GetString("FileSave", "SaveFolder"), "/old");
    EXPECT_NE(profile.GetInt("Sheet", "ZoomAspect", 20), 33);
}

TEST_F(EnvironmentSheetTest, TheLayerPageIsAppliedToTheBoardAfterOk)
{
    Start();
    MakeBoard(root / "b", "a.vbd");
    ASSERT_TRUE(app->OpenDocumentFile(Cp(root / "b" / "a.vbd")));
    CVELTADoc* doc = frame->ActiveDocument();
    ASSERT_NE(doc, nullptr);
    profile.SetInt("Settings", "EnvPage", 156);
    EXPECT_TRUE(RunSheet([&](CEnvironmentSheet* sheet) {
        ASSERT_EQ(sheet->CurrentPageId(), 156);
        QWidget* page = sheet->LayerPage();
        Type(page, COptLayer::IdHole, "40");
        Type(page, COptLayer::IdWireCount, "3");
        Ok(sheet);
        // The new inner position has no layer yet.
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_EQ(qobject_cast<QComboBox*>(FindControl(page, COptLayer::IdPosition))->currentIndex(), 2);
        Type(page, COptLayer::IdPositionLayer, "20");
        Ok(sheet);
    }));
    EXPECT_EQ(doc->GetWireLayerCount(), 3);
    EXPECT_EQ(doc->GetWireLayerList(), (std::vector<std::uint8_t>{0, 1, 19}));
    EXPECT_EQ(doc->GetContourLayers().second, 39);
    const std::string settings = [&] {
        std::ifstream in(root / "b" / "velta.bpf", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    EXPECT_NE(settings.find("3: 20 : P :"), std::string::npos);
    EXPECT_NE(settings.find("[WIRE_LAY_COUNT]\r\n{\r\n3 ;"), std::string::npos);
}

} // namespace
