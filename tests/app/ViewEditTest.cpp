// The board view's edit commands driven through the view: cut, copy and paste through the
// clipboard, delete, flip and rotate, and the numeric move, checked on the document afterwards.

#include "tests/app/ViewEditFixture.h"

#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "platform/Archive.h"
#include "platform/qt/ItemClipboard.h"
#include "platform/qt/QtText.h"
#include "tests/support/FakeItemDialogs.h"

#include <QMimeData>
#include <QTest>

#include <cmath>
#include <string>

namespace {

constexpr double kTolerance = 1e-6;

bool Near(const CDPoint& a, const CDPoint& b)
{
    return std::abs(a.x - b.x) < kTolerance && std::abs(a.y - b.y) < kTolerance;
}

struct ViewEditTest : ViewEditFixture
{
    // The clipboard's item text after a copy of everything on the board.
    std::string CopyAll()
    {
        SelectAll();
        view->OnViewCommand(CVELTAView::ID_EDIT_COPY);
        const std::optional<std::string> text = platform::ReadItemClipboard();
        EXPECT_TRUE(text.has_value());
        return text.value_or(std::string());
    }
};

// --- Copy, cut and paste -----------------------------------------------------------------------------

TEST_F(ViewEditTest, CopyThenPasteFloatsOnTheOwnLayersCentredOnTheSnappedCursor)
{
    AddLine(top, CDPoint(10, 20), CDPoint(50, 20));
    AddLine(bottom, CDPoint(20.3, 31), CDPoint(30.3, 31));
    CopyAll();
    // The copy gives the selection back to the board.
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(doc->GetBoardSheet(top)->GetCount(BoardInput::kLine), 1);
    EXPECT_EQ(In().m_nCommand, In().m_nInputCommand);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(platform::kItemMimeType));
    EXPECT_TRUE(data->text().startsWith(QStringLiteral("Layer ")));

    doc->SelectLayer(bottom);
    bool enabled = false;
    bool checked = false;
    ASSERT_TRUE(view->OnUpdateViewCommand(CVELTAView::ID_EDIT_PASTE, enabled, checked));
    EXPECT_TRUE(enabled);
    const std::size_t before = UndoWords();
    view->OnEditPaste(false, false);
    EXPECT_EQ(In().m_nCommand, BoardInput::kPaste);
    EXPECT_TRUE(In().m_bInputBusy);
    EXPECT_EQ(doc->GetSelectionSheet(top)->GetCount(BoardInput::kLine), 1);
    EXPECT_EQ(doc->GetSelectionSheet(bottom)->GetCount(BoardInput::kLine), 1);
    const CDPoint centre = doc->GetItemsRect(2).CenterPoint();
    EXPECT_TRUE(Near(In().m_ptCentre, doc->SnapToGrid(centre, false)));
    EXPECT_TRUE(Near(In().m_ptCentre, CDPoint(std::round(centre.x), std::round(centre.y))));
    EXPECT_EQ(UndoWords(), before); // the paste itself records nothing

    // The items follow the mouse; a click drops them as one added step.
    const CDPoint at(In().m_ptCentre.x + 5, In().m_ptCentre.y);
    Move(at.x, at.y);
    Click(at.x, at.y);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_FALSE(In().m_bInputBusy);
    const std::vector<CDPoint> starts = LineStarts(*doc->GetBoardSheet(top));
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_TRUE(Near(starts[0], CDPoint(10, 20)));
    EXPECT_TRUE(Near(starts[1], CDPoint(15, 20)));
    EXPECT_GT(UndoWords(), before);
    EXPECT_EQ(doc->GetUndoHistory().back(), 1u);
}

TEST_F(ViewEditTest, PasteKeysDecideTheTargetLayer)
{
    struct Row
    {
        bool shift;
        bool shiftInsert;
        bool keepsLayers;
    };
    for (const Row& row : {Row{false, false, true}, Row{true, true, true}, Row{true, false, false}}) {
        SCOPED_TRACE(testing::Message() << row.shift << row.shiftInsert);
        EXPECT_EQ(CVELTAView::PasteKeepsLayers(row.shift, row.shiftInsert), row.keepsLayers);
        view->OnViewCommand(BoardInput::kCancel);
        doc->ClearSheets(0, true);
        doc->ClearSheets(5, true);
        doc->SelectLayer(top);
        AddLine(top, CDPoint(10, 20), CDPoint(50, 20));
        CopyAll();
        doc->SelectLayer(bottom);
        view->OnEditPaste(row.shift, row.shiftInsert);
        EXPECT_EQ(doc->GetSelectionSheet(top)->GetCount(BoardInput::kLine), row.keepsLayers ? 1 : 0);
        EXPECT_EQ(doc->GetSelectionSheet(bottom)->GetCount(BoardInput::kLine), row.keepsLayers ? 0 : 1);
    }
}

TEST_F(ViewEditTest, ShiftInsertShortcutKeepsTheLayers)
{
    AddLine(top, CDPoint(10, 20), CDPoint(50, 20));
    CopyAll();
    doc->SelectLayer(bottom);
    view->show();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    view->setFocus();
    QTest::keyClick(view.get(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(In().m_nCommand, BoardInput::kPaste);
    EXPECT_EQ(doc->GetSelectionSheet(top)->GetCount(BoardInput::kLine), 1);
}

TEST_F(ViewEditTest, PastingItemsOfAHiddenLayerShowsItAndDropsThemThere)
{
    AddLine(top, CDPoint(10, 20), CDPoint(50, 20));
    CopyAll();
    doc->ClearSheets(0, true);
    for (CSheet* sheet : {doc->GetBoardSheet(top), doc->GetSelectionSheet(top), doc->GetReplacedSheet(top)}) {
        tagLAYER record = sheet->GetLayer();
        record.display = 0;
        record.enable = 0;
        sheet->SetLayer(record);
    }
    doc->BuildLayerLists();
    ASSERT_FALSE(doc->IsDisplayedLayer(top));
    view->OnEditPaste(false, false);
    EXPECT_TRUE(doc->IsDisplayedLayer(top));
    EXPECT_EQ(doc->GetSelectionSheet(top)->GetCount(BoardInput::kLine), 1);
    // The layer is shown, not enabled: the drop still puts the line onto it.
    Click(In().m_ptCentre.x, In().m_ptCentre.y);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(doc->GetBoardSheet(top)->GetCount(BoardInput::kLine), 1);
}

TEST_F(ViewEditTest, JapaneseTextReturnsByteForByte)
{
    const std::string name = "\x93\xfa\x96\x7b\x8c\xea\x83\x65\x83\x4c\x83\x58\x83\x67"; // 日本語テキスト
    doc->GetBoardSheet(top)->StoreCopy(CText(name.c_str(), CDPoint(20, 20), 0));
    const std::string text = CopyAll();
    EXPECT_NE(text.find(name), std::string::npos);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->text(), platform::Cp932ToQString(text));
    doc->ClearSheets(0, true);
    view->OnEditPaste(false, false);
    CText* pasted = doc->GetSelectionSheet(top)->GetHeadText();
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->GetName(), name);
}

TEST_F(ViewEditTest, BadClipboardTextPastesNothingAndGivesTheSelectionBack)
{
    AddLine(top, CDPoint(10, 20), CDPoint(50, 20));
    const std::string good = CopyAll();
    const std::string cut = good.substr(0, good.find("LayerEnd"));
    const std::string binary("\x01\xff\x80Layer \x00\x02", 10);
    for (const std::string& bad : {std::string("hello, world\n"), cut, binary}) {
        SCOPED_TRACE(bad);
        platform::WriteItemClipboard(bad);
        SelectAll();
        const int selected = doc->CountItems(2, 0);
        const std::size_t words = UndoWords();
        const std::size_t messages0 = messages.Count();
        view->OnViewCommand(CVELTAView::ID_EDIT_PASTE);
        EXPECT_EQ(doc->CountItems(2, 0), selected);
        EXPECT_EQ(doc->CountItems(0, 0), 0); // the selection left the board and came back floating
        EXPECT_EQ(In().m_nCommand, BoardInput::kMoveBase);
        EXPECT_FALSE(In().m_bInputBusy);
        EXPECT_EQ(UndoWords(), words);
        EXPECT_EQ(messages.Count(), messages0 + 1);
        view->OnViewCommand(BoardInput::kCancel);
        EXPECT_EQ(doc->GetBoardSheet(top)->GetCount(BoardInput::kLine), 1);
    }
}

TEST_F(ViewEditTest, TextCp932CannotHoldIsRefused)
{
    auto* data = new QMimeData;
    data->setText(QString::fromUtf8("Layer 1 3 \xF0\x9F\x98\x80"));
    QGuiApplication::clipboard()->setMimeData(data);
    view->OnViewCommand(CVELTAView::ID_EDIT_PASTE);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(messages.Count(), 1u);
}

TEST_F(ViewEditTest, PartsCopiedFromTheLibraryBrowserPasteIntoTheBoard)
{
    // The browser's copy: a scratch via and part sheet of the board holding the package, its text
    // on the shared clipboard writer.
    CPart part(CDPoint(30, 30), CDRect(29, 29, 31, 31), 1, 0, 0.0, 0);
    part.SetPartName("DIP8");
    part.SetRefName("U1");
    part.NewTer(CDPoint(30, 30), CText("1", CDPoint(30, 30), 0))->SetLayerNo(top);
    CSheet scratch(0, 0, LAYER_MAX, doc.get());
    scratch.NewPart(part);
    CArchive ar(CArchive::store);
    scratch.SerializeText(ar);
    platform::WriteItemClipboard(std::string(ar.Data().begin(), ar.Data().end()));

    view->OnEditPaste(false, false);
    ASSERT_EQ(doc->GetSelectionSheet(LAYER_MAX)->GetCount(BoardInput::kPart), 1);
    Click(In().m_ptCentre.x, In().m_ptCentre.y);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    ASSERT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetCount(BoardInput::kPart), 1);
    EXPECT_EQ(doc->GetBoardSheet(LAYER_MAX)->GetHeadPart()->GetRefName(), "U1");
}

TEST_F(ViewEditTest, CutDeletesAsOneStepAndPastesBack)
{
    AddLine(top, CDPoint(10, 20), CDPoint(50, 20));
    SelectAll();
    bool enabled = false;
    bool checked = false;
    view->OnUpdateViewCommand(CVELTAView::ID_EDIT_CUT, enabled, checked);
    EXPECT_TRUE(enabled);
    const std::size_t words = UndoWords();
    view->OnViewCommand(CVELTAView::ID_EDIT_CUT);
    EXPECT_EQ(doc->CountItems(0, 0), 0);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(doc->GetUndoHistory().back(), 2u);
    EXPECT_GT(UndoWords(), words);
    view->OnEditPaste(false, false);
    Click(In().m_ptCentre.x, In().m_ptCentre.y);
    EXPECT_EQ(doc->GetBoardSheet(top)->GetCount(BoardInput::kLine), 1);
}

// --- Delete, flip and rotate ---------------------------------------------------------------------------

TEST_F(ViewEditTest, DeleteOnlyInTheMoveStatesWithASelection)
{
    AddLine(top, CDPoint(10, 20), CDPoint(50, 20));
    bool enabled = true;
    bool checked = false;
    view->OnUpdateViewCommand(CVELTAView::ID_EDIT_DELETE, enabled, checked);
    EXPECT_FALSE(enabled);
    view->OnViewCommand(CVELTAView::ID_EDIT_DELETE);
    EXPECT_EQ(doc->CountItems(0, 0), 1);
    SelectAll();
    view->OnUpdateViewCommand(CVELTAView::ID_EDIT_DELETE, enabled, checked);
    EXPECT_TRUE(enabled);
    view->OnViewCommand(CVELTAView::ID_EDIT_DELETE);
    EXPECT_EQ(doc->CountItems(0, 0), 0);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_EQ(doc->GetUndoHistory().back(), 2u);
    doc->OnEditUndo();
    EXPECT_EQ(doc->CountItems(0, 0), 1);
}

TEST_F(ViewEditTest, SecondTurnKeepsTheFirstTurnsCentre)
{
    AddLine(top, CDPoint(10, 20), CDPoint(50, 20));
    AddLine(top, CDPoint(10, 30), CDPoint(12, 30));
    SelectAll();
    view->OnFlipRotate(CVELTAView::ID_ROTATE, false);
    // Back by -30 degrees about the same centre: everything where it was.
    view->OnFlipRotate(CVELTAView::ID_ROTATE, true);
    const std::vector<CDPoint> starts = LineStarts(*doc->GetSelectionSheet(top));
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_NEAR(starts[0].x, 10, 1e-6);
    EXPECT_NEAR(starts[1].x, 10, 1e-6);
    EXPECT_NEAR(std::min(starts[0].y, starts[1].y), 20, 1e-6);
    // Flip about the centre's x: the long line's ends change places.
    view->OnFlipRotate(CVELTAView::ID_FLIP_X, false);
    EXPECT_NE(LineStarts(*doc->GetSelectionSheet(top)).back().x, 10);
}

// --- Numeric move -------------------------------------------------------------------------------------

struct NumericCopyRow
{
    bool relative;
    int repeat;
    CDPoint point;
    std::vector<double> xs; // start x of every line on the board afterwards
    bool runEnds;
};

TEST_F(ViewEditTest, NumericCopyRuns)
{
    const NumericCopyRow rows[] = {
        {true, 3, CDPoint(10, 0), {10, 20, 30, 40}, true},
        {true, 0, CDPoint(10, 0), {10, 20}, false},
        // Absolute in user coordinates (origin at 10, 10): one copy at x 40 and the run ends.
        {false, 5, CDPoint(30, 10), {10, 40}, true},
    };
    FakeItemDialogs dialogs;
    for (const NumericCopyRow& row : rows) {
        SCOPED_TRACE(testing::Message() << row.relative << " " << row.repeat);
        view->OnViewCommand(BoardInput::kCancel);
        doc->ClearSheets(0, true);
        doc->ClearSheets(5, true);
        AddLine(top, CDPoint(10, 20), CDPoint(15, 20));
        SelectAll();
        view->OnViewCommand(BoardInput::kEditCopy);
        Click(10, 20); // the base point: the copy floats, not yet moved
        ASSERT_EQ(In().m_nCommand, BoardInput::kCopying);
        dialogs.onPointIn = [&](PointInDialogData& data) {
            EXPECT_TRUE(data.copy);
            data.x = row.point.x;
            data.y = row.point.y;
            data.moveAction = row.relative;
            data.repeat = row.repeat;
        };
        const std::size_t words = UndoWords();
        view->OnViewCommand(CVELTAView::ID_NUMERIC_MOVE);
        std::vector<double> xs;
        for (const CDPoint& p : LineStarts(*doc->GetBoardSheet(top)))
            xs.push_back(std::round(p.x * 1e6) / 1e6);
        EXPECT_EQ(xs, row.xs);
        EXPECT_EQ(UndoWords(), words + 12); // one step of one layer
        EXPECT_EQ(doc->GetUndoHistory().back(), 1u);
        EXPECT_EQ(In().m_nCommand == BoardInput::kCopying, !row.runEnds);
        EXPECT_EQ(doc->IsSelectionEmpty(), row.runEnds);
    }
}

TEST_F(ViewEditTest, CancelledNumericMoveChangesNothing)
{
    FakeItemDialogs dialogs;
    dialogs.answer = false;
    AddLine(top, CDPoint(10, 20), CDPoint(15, 20));
    SelectAll();
    Click(10, 20);
    ASSERT_EQ(In().m_nCommand, BoardInput::kMoving);
    view->OnViewCommand(CVELTAView::ID_NUMERIC_MOVE);
    EXPECT_EQ(In().m_nCommand, BoardInput::kMoving);
    EXPECT_TRUE(Near(LineStarts(*doc->GetSelectionSheet(top)).front(), CDPoint(10, 20)));
    EXPECT_TRUE(doc->GetUndoHistory().empty());
}

TEST_F(ViewEditTest, NumericMoveWhileMovingEndsTheMove)
{
    FakeItemDialogs dialogs;
    dialogs.onPointIn = [](PointInDialogData& data) {
        data.x = 5;
        data.y = 5;
        data.moveAction = true;
    };
    AddLine(top, CDPoint(10, 20), CDPoint(15, 20));
    SelectAll();
    Click(10, 20);
    view->OnViewCommand(CVELTAView::ID_NUMERIC_MOVE);
    EXPECT_TRUE(doc->IsSelectionEmpty());
    EXPECT_TRUE(Near(LineStarts(*doc->GetBoardSheet(top)).front(), CDPoint(15, 25)));
    EXPECT_EQ(doc->GetUndoHistory().back(), 5u);
    doc->OnEditUndo();
    EXPECT_TRUE(Near(LineStarts(*doc->GetBoardSheet(top)).front(), CDPoint(10, 20)));
}

} // namespace
