// The design rule check as the frame runs it: the command shows its dialog, OK runs the check
// on the board and says what it found; Cancel runs nothing.

#include "dialogs/DlgDrc.h"
#include "libui/DialogBuilder.h"
#include "model/items/Line.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QTest>

#include <cstdlib>

namespace {

using namespace apptest;

class DrcCommandTest : public AppCommandFixture
{
protected:
    CVELTADoc* OpenBoard() { return OpenBoardFile("check.vbd"); }
};

TEST_F(DrcCommandTest, TheCommandRunsTheDialogAndTheCheck)
{
    profile.SetInt("Tool", "DRCView", 0);
    Start();
    frame->show();
    CVELTADoc* doc = OpenBoard();
    ASSERT_NE(doc, nullptr);
    // Two tracks too close on the first wiring layer.
    const int first = doc->GetWireLayer(1);
    doc->GetBoardSheet(first)->NewLine(CDPoint(10, 70), CDPoint(60, 70), 2, 0);
    doc->GetBoardSheet(first)->NewLine(CDPoint(10, 70.3), CDPoint(60, 70.3), 2, 0);
    EXPECT_TRUE(Enabled(32940));

    bool shown = false;
    OnDialog([&shown](QDialog* d) {
        shown = qobject_cast<CDlgDrc*>(d) != nullptr;
        if (const char* shots = std::getenv("VELTA_SCREENSHOTS"))
            d->grab().save(QString::fromLocal8Bit(shots) + "/drc-dialog.png");
        Click(d, CDialogBuilder::IdOk);
    });
    frame->OnCommand(32940);
    EXPECT_TRUE(shown);
    ASSERT_GE(messages.Count(), 1u);
    EXPECT_NE(messages.Last().text.find(_J("エラー個所")), std::string::npos) << messages.Last().text;
    EXPECT_EQ(messages.Last().type & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_TRUE(fs::exists(root / "boards" / "check.log"));
    EXPECT_TRUE(doc->CanUndo());
    EXPECT_FALSE(doc->IsBusy());
    if (const char* shots = std::getenv("VELTA_SCREENSHOTS")) {
        // The markers as the user sees them once the output layer is shown.
        for (int set : {0, 2, 5})
            doc->GetSetSheet(set, 114)->GetLayerPoint()->display = 1;
        doc->BuildLayerLists();
        frame->resize(900, 700);
        frame->repaint();
        QApplication::processEvents();
        frame->grab().save(QString::fromLocal8Bit(shots) + "/drc-board.png");
    }

    // Cancel: no check, no message.
    messages.Clear();
    OnDialog([](QDialog* d) { Click(d, CDialogBuilder::IdCancel); });
    frame->OnCommand(32940);
    EXPECT_TRUE(opened);
    EXPECT_EQ(messages.Count(), 0u);
}

} // namespace
