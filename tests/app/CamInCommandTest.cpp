// CAM data input as the frame runs it: the menu command opens the dialog on the frame's layer
// combo, OK reads the chosen file into the chosen layer. A picture of the board with a corpus
// file read in is written when VELTA_SCREENSHOT_DIR names a folder.

#include "dialogs/DlgCamIn.h"
#include "libui/DialogBuilder.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QTest>

namespace {

using namespace apptest;

class CamInCommandTest : public AppCommandFixture
{
};

TEST_F(CamInCommandTest, MenuCommandReadsTheChosenFileIntoTheChosenLayer)
{
    // Last time's settings: the pcb-rnd top copper, five times its size, 20 mm in from the corner.
    const std::string data = std::string(VELTA_SOURCE_DIR) + "/tests/data/cam/pcbrnd-top.gbr";
    profile.SetString("CAMIn\\Phot", "Data1", data);
    profile.SetString("CAMIn\\Phot", "Scale", "5.0");
    profile.SetString("CAMIn\\Phot", "XOff", "20.0");
    profile.SetString("CAMIn\\Phot", "YOff", "20.0");
    Start();
    frame->show();
    const fs::path board = MakeBoard(root / "boards", "camin.vbd");
    ASSERT_TRUE(app->OpenDocumentFile(Cp(board)));
    QApplication::processEvents();
    CVELTADoc* doc = frame->ActiveDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(Enabled(32832));

    int layer = -1;
    int offered = 0;
    OnDialog([&](QDialog* d) {
        auto* combo = FindControl<QComboBox>(d, CDlgCamIn::IdLayer);
        offered = combo->count();
        // The last layer offered, chosen with the keyboard.
        combo->setFocus();
        while (combo->currentIndex() < combo->count() - 1)
            QTest::keyClick(combo, Qt::Key_Down);
        layer = combo->currentData().toInt();
        auto* ok = FindControl<QAbstractButton>(d, CDialogBuilder::IdOk);
        QTest::mouseClick(ok, Qt::LeftButton, Qt::NoModifier, QPoint(8, ok->height() / 2));
    });
    messages.SetDefaultAnswer(IDYES);
    frame->OnCommand(32832);
    ASSERT_TRUE(opened);
    EXPECT_EQ(offered, frame->LayerCombo()->count());
    ASSERT_GE(layer, 0);
    CSheet* sheet = doc->GetBoardSheet(layer);
    // Two tracks, one arc, two via lands and the square region.
    EXPECT_EQ(sheet->GetKindCount(KIND_LINE), 2);
    EXPECT_EQ(sheet->GetKindCount(KIND_ARC), 1);
    EXPECT_EQ(sheet->GetKindCount(KIND_LAND), 2);
    EXPECT_EQ(sheet->GetKindCount(KIND_SUR), 1);
    const CDRect box = sheet->GetBoundingRect();
    EXPECT_NEAR(box.left, 20.0 + 5 * 0.2, 0.2); // the region's left edge at 0.2 mm, five times
    EXPECT_TRUE(doc->CanUndo());
    EXPECT_EQ(profile.GetInt("CAMIn\\Phot", "Layer", -1), layer);

    QApplication::processEvents();
    const QString folder = qEnvironmentVariable("VELTA_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        frame->grab().save(folder + "/CamInLayer.png");
}

} // namespace
