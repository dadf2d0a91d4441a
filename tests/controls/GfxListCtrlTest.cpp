#include "controls/GfxListCtrl.h"
#include "controls/GfxComboEdit.h"
#include "controls/GfxHeaderCtrl.h"
#include "controls/GfxInPlaceCombo.h"
#include "controls/GfxInPlaceEdit.h"
#include "controls/GfxPopupMenu.h"
#include "controls/GfxToolTip.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

namespace {

// An owner of a grid: a table of texts, the requests it received and its answers.
class GridOwner
{
public:
    GridOwner(int rows, GfxFlavour flavour = GfxFlavour::Program) : grid(nullptr, flavour)
    {
        CGfxColumnManager* m = grid.CreateColumnManager();
        m->AddColumn(0, "", "", LVCFMT_LEFT, 0, 0x180);
        m->AddColumn(1, "Ref", "", LVCFMT_LEFT, 60, 0x0A0 | GFXCOL_TEXTEDIT);
        m->AddColumn(2, "Value", "", LVCFMT_RIGHT, 60, 0x0B0);
        m->AddColumn(3, "Kind", "", LVCFMT_LEFT, 70, GFXCOL_DROPLIST);
        m->AddColumn(4, "Note", "", LVCFMT_LEFT, 80, GFXCOL_DROPEDIT);
        m->AddColumn(5, "Fixed", "", LVCFMT_LEFT, 50, 0x100);
        const int order[] = {0, 1, 2, 3, 4, 5};
        m->SetColumnOrder(6, order);
        grid.SetupColumns();
        grid.ModifyGfxStyle(0, 0x000F);
        grid.m_pfnCellText = [this](int item, int column, std::intptr_t data, std::string& out) {
            ++textCalls;
            const int id = grid.GetColumnSubItem(column);
            out = cells[static_cast<std::size_t>(data)][static_cast<std::size_t>(id)];
            (void)item;
        };
        grid.m_pfnCellRequest = [this](QWidget*, LXHDREX* r) {
            requests.push_back(*r);
            if (r->nCode == GFXREQ_CHOICES) {
                *r->pChoices = choices;
                return answerChoices;
            }
            if (r->nCode == GFXREQ_ENDEDIT) {
                if (!accept)
                    return 0;
                cells[static_cast<std::size_t>(r->lParam)][static_cast<std::size_t>(r->nSubItem)] =
                    r->strText;
                return 1;
            }
            if (r->nCode == GFXREQ_FORMAT)
                return formatAnswer;
            return 0;
        };
        for (int i = 0; i < rows; ++i) {
            cells.push_back(
                {"", "R" + std::to_string(i + 1), std::to_string(i % 7) + ".5", "Kind", "n", "f"});
            grid.InsertItemData(i, i);
        }
        grid.resize(400, 300);
    }

    void Show()
    {
        grid.show();
        QApplication::setActiveWindow(&grid);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
    }

    std::string Text(int row, int column)
    {
        std::string out;
        grid.GetCellText(row, column, out);
        return out;
    }
    QPoint CellCentre(int row, int column)
    {
        return grid.visualRect(grid.model()->index(row, column)).center();
    }
    void Click(int row, int column)
    {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(row, column));
        QApplication::processEvents();
    }
    int Count(int code) const
    {
        int n = 0;
        for (const LXHDREX& r : requests)
            n += r.nCode == code;
        return n;
    }
    QWidget* Editor() { return grid.viewport()->findChild<QWidget*>(QStringLiteral("103")); }
    void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(w, key, mods);
        QApplication::processEvents();
    }
    void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CGfxListCtrl grid;
    std::vector<std::vector<std::string>> cells;
    std::vector<LXHDREX> requests;
    std::vector<std::string> choices = {"Apple", "Banana", "Avocado", "Cherry"};
    int answerChoices = 1;
    int formatAnswer = 0;
    bool accept = true;
    int textCalls = 0;
};

TEST(GfxListCtrl, ColumnsRowsAndCellRects)
{
    GridOwner o(3);
    EXPECT_EQ(o.grid.GetColumnCount(), 6);
    EXPECT_EQ(o.grid.GetColumnSubItem(2), 2);
    EXPECT_EQ(o.Text(1, 1), "R2");
    QRect r(1, 2, 3, 4);
    EXPECT_FALSE(o.grid.GetCellRect(0, 0, &r)); // zero-width column
    EXPECT_EQ(r, QRect(1, 2, 3, 4));
    ASSERT_TRUE(o.grid.GetCellRect(0, 2, &r));
    EXPECT_EQ(r.left(), 60);
    EXPECT_EQ(r.width(), 60);
    EXPECT_EQ(r.height(), 16); // row height 17, bottom less 1
    EXPECT_EQ(o.grid.InsertItemData(99, 0), 3);
    o.grid.DeleteItemData(3, 0);
    EXPECT_EQ(o.grid.GetItemCount(), 3);
}

TEST(GfxListCtrl, NarrowWidthsAreRefusedButForTheFirstColumn)
{
    GridOwner o(1);
    o.grid.SetColumnWidth(2, 15);
    EXPECT_EQ(o.grid.GetColumnWidth(2), 60);
    o.grid.SetColumnWidth(2, 16);
    EXPECT_EQ(o.grid.GetColumnWidth(2), 16);
    o.grid.SetColumnWidth(0, 3);
    EXPECT_EQ(o.grid.GetColumnWidth(0), 3);
    CGfxHeaderCtrl* h = o.grid.GetHeaderCtrl();
    EXPECT_EQ(h->sectionResizeMode(5), QHeaderView::Fixed);
    EXPECT_EQ(h->sectionResizeMode(1), QHeaderView::Interactive);
}

TEST(GfxListCtrl, MoveColumnKeepsTheFirstColumn)
{
    GridOwner o(1);
    int from = 0, to = 3;
    o.grid.MoveColumn(&from, &to);
    EXPECT_EQ(o.grid.GetColumnSubItem(0), 0);
    from = 3;
    to = 0; // becomes 1
    o.grid.MoveColumn(&from, &to);
    EXPECT_EQ(to, 1);
    std::vector<int> ids;
    for (int c = 0; c < o.grid.GetColumnCount(); ++c)
        ids.push_back(o.grid.GetColumnSubItem(c));
    EXPECT_EQ(ids, (std::vector<int>{0, 3, 1, 2, 4, 5}));
    EXPECT_EQ(o.grid.GetColumnWidth(1), 70);
    EXPECT_EQ(o.Text(0, 1), "Kind");
}

TEST(GfxListCtrl, HeaderDragMovesColumnsWhenEnabled)
{
    GridOwner o(2);
    o.Show();
    CGfxHeaderCtrl* h = o.grid.GetHeaderCtrl();
    QWidget* vp = h->viewport();
    auto centre = [&](int s) {
        return QPoint(h->sectionViewportPosition(s) + h->sectionSize(s) / 2, h->height() / 2);
    };
    auto drag = [&](int from, int to) {
        QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, centre(from));
        QMouseEvent move(QEvent::MouseMove, QPointF(centre(to) - QPoint(h->sectionSize(to) / 2 - 2, 0)),
                         vp->mapToGlobal(QPointF(centre(to))), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &move);
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, centre(to));
    };
    auto ids = [&] {
        std::vector<int> out;
        for (int c = 0; c < o.grid.GetColumnCount(); ++c)
            out.push_back(o.grid.GetColumnSubItem(c));
        return out;
    };
    drag(3, 1); // dragging is off: nothing moves
    EXPECT_EQ(ids(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    h->m_bDragColumns = true;
    h->SetSortColumn(1, true);
    drag(3, 1);
    EXPECT_EQ(ids(), (std::vector<int>{0, 3, 1, 2, 4, 5}));
    EXPECT_EQ(h->GetSortColumn(), 2); // the mark stays on its column
    drag(2, 2);                       // onto itself
    EXPECT_EQ(ids(), (std::vector<int>{0, 3, 1, 2, 4, 5}));
}

bool HasColour(const QImage& image, const QRect& area, QColor colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

TEST(GfxHeaderCtrl, PaintsImagesThatFitAndMarksOnlyWhereWanted)
{
    CGfxListCtrl grid;
    CGfxColumnManager* m = grid.CreateColumnManager();
    m->AddColumn(0, "", "", LVCFMT_LEFT, 40, 0x200 | 0x020, 0);
    m->AddColumn(1, "A", "", LVCFMT_LEFT, 60, 0x020);
    m->AddColumn(2, "B", "", LVCFMT_LEFT, 60, 0x0A0);
    const int order[] = {0, 1, 2};
    m->SetColumnOrder(3, order);
    grid.SetupColumns();
    QPixmap red(30, 10);
    red.fill(Qt::red);
    const std::vector<QPixmap> images = {red};
    grid.SetHeaderImageList(&images);
    grid.resize(300, 100);
    CGfxHeaderCtrl* h = grid.GetHeaderCtrl();
    h->resize(300, h->sizeHint().height());
    const QRect first(0, 0, 40, h->height());
    EXPECT_TRUE(HasColour(h->grab().toImage(), first, Qt::red));
    grid.SetColumnWidth(0, 20); // narrower than its image
    EXPECT_FALSE(HasColour(h->grab().toImage(), QRect(0, 0, 20, h->height()), Qt::red));

    // A sort mark changes the sort column's section, never a no-mark column's.
    const QImage plain = h->grab().toImage();
    h->SetSortColumn(2, true);
    EXPECT_EQ(h->grab().toImage(), plain);
    h->SetSortColumn(1, true);
    EXPECT_NE(h->grab().toImage(), plain);
}

std::vector<std::string> Column(GridOwner& o, int column)
{
    std::vector<std::string> out;
    for (int r = 0; r < o.grid.GetItemCount(); ++r)
        out.push_back(o.Text(r, column));
    return out;
}

void ClickHeader(GridOwner& o, int section)
{
    CGfxHeaderCtrl* h = o.grid.GetHeaderCtrl();
    const QPoint p(h->sectionViewportPosition(section) + h->sectionSize(section) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier, p);
}

TEST(GfxListCtrl, HeaderClickSortsDescendingFirstThenReverses)
{
    GridOwner o(0);
    const char* refs[] = {"A10", "a2", "A9", "B1"};
    const char* values[] = {"10", "1.5", "-2", "3"};
    for (int i = 0; i < 4; ++i) {
        o.cells.push_back({"", refs[i], values[i], "", "", ""});
        o.grid.InsertItemData(i, i);
    }
    o.Show();
    QSignalSpy clicks(&o.grid, &CGfxListCtrl::columnClicked);
    ClickHeader(o, 1); // flag 0x020: descending first
    EXPECT_EQ(Column(o, 1), (std::vector<std::string>{"B1", "A10", "A9", "a2"}));
    EXPECT_FALSE(o.grid.GetHeaderCtrl()->IsSortAscending(1));
    EXPECT_EQ(o.grid.GetHeaderCtrl()->GetSortColumn(), 1);
    ClickHeader(o, 1);
    EXPECT_EQ(Column(o, 1), (std::vector<std::string>{"a2", "A9", "A10", "B1"}));
    ClickHeader(o, 2); // real keys
    ClickHeader(o, 2);
    EXPECT_EQ(Column(o, 2), (std::vector<std::string>{"-2", "1.5", "3", "10"}));
    EXPECT_EQ(clicks.count(), 0);
    ClickHeader(o, 3); // not sortable: the owner hears of it
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 3);
    o.grid.ModifyGfxStyle(GFXLS_SORT, 0);
    ClickHeader(o, 1);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(GfxListCtrl, LibraryFlavourNeverPassesHeaderClicks)
{
    GridOwner o(3, GfxFlavour::Library);
    o.Show();
    QSignalSpy clicks(&o.grid, &CGfxListCtrl::columnClicked);
    ClickHeader(o, 3);
    ClickHeader(o, 1);
    EXPECT_EQ(clicks.count(), 0);
}

TEST(GfxListCtrl, SortKeepsTheSelectedRowsData)
{
    GridOwner o(20);
    o.Show();
    o.Click(4, 2);
    ASSERT_EQ(o.grid.GetItemData(o.grid.GetFocusedRow()), 4);
    ClickHeader(o, 1);
    EXPECT_EQ(o.grid.GetItemData(o.grid.GetFocusedRow()), 4);
    const std::vector<int> selected = o.grid.GetSelectedRows();
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(o.grid.GetItemData(selected[0]), 4);
}

struct FormatCase
{
    const char* name;
    std::uint32_t style;
    std::uint32_t mask;
    std::vector<int> askedIds; // of row 0, in the order asked
};

TEST(GfxListCtrl, FormatRequestsFollowMaskAndRowStyle)
{
    const std::vector<FormatCase> cases = {
        {"every column", 0, 0, {0, 1, 2, 3, 4, 5}},
        {"masked", 0, (1u << 2) | (1u << 4), {2, 4}},
        {"once per row", GFXLS_ROWFORMAT, 0, {0}},
    };
    for (const FormatCase& c : cases) {
        GridOwner o(1);
        o.grid.SetColumnWidth(0, 20); // a hidden column is not painted
        o.grid.ModifyGfxStyle(0, GFXLS_FORMAT | c.style);
        o.grid.m_dwFormatColumns = c.mask;
        o.formatAnswer = 1;
        o.requests.clear();
        (void)o.grid.grab();
        std::vector<int> ids;
        for (const LXHDREX& r : o.requests)
            if (r.nCode == GFXREQ_FORMAT && r.nItem == 0)
                ids.push_back(r.nSubItem);
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(ids, c.askedIds) << c.name;
    }
}

TEST(GfxListCtrl, OwnerIsAskedOnlyForPaintedRows)
{
    GridOwner o(1000);
    o.grid.resize(400, 300);
    o.textCalls = 0;
    (void)o.grid.grab();
    const int visibleRows = o.grid.viewport()->height() / o.grid.GetRowHeight() + 1;
    EXPECT_GT(o.textCalls, 0);
    EXPECT_LE(o.textCalls, visibleRows * o.grid.GetColumnCount());
}

TEST(GfxListCtrl, FirstClickSelectsSecondClickEdits)
{
    GridOwner o(5);
    o.Show();
    QSignalSpy clicks(&o.grid, &CGfxListCtrl::cellClicked);
    o.Click(2, 1);
    EXPECT_EQ(o.grid.GetFocusedRow(), 2);
    EXPECT_EQ(o.grid.GetFocusedColumn(), 1);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(o.Editor(), nullptr);
    o.Click(2, 1);
    auto* edit = qobject_cast<CGfxInPlaceEdit*>(o.Editor());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(clicks.count(), 1); // the editing click is the grid's own
    EXPECT_EQ(edit->text(), QStringLiteral("R3"));
    // A cell without an editor in the focused row reaches the owner.
    o.Click(2, 5);
    o.Settle();
    EXPECT_EQ(o.Editor(), nullptr);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(GfxListCtrl, TextEditCommitsOnceAndOnlyWhenChanged)
{
    GridOwner o(3);
    o.Show();
    o.Click(0, 1);
    o.grid.EditCellText(0, 1, false);
    o.Key(o.Editor(), Qt::Key_Return); // unchanged: no request
    o.Settle();
    EXPECT_EQ(o.Count(GFXREQ_ENDEDIT), 0);

    auto* edit = o.grid.EditCellText(0, 1, false);
    QTest::keyClicks(edit, "%'&(");
    o.Key(edit, Qt::Key_Return);
    o.Settle();
    EXPECT_EQ(o.Count(GFXREQ_ENDEDIT), 1);
    EXPECT_EQ(o.cells[0][1], "%'&(");
    EXPECT_EQ(o.Text(0, 1), "%'&(");
    EXPECT_EQ(o.Editor(), nullptr);

    edit = o.grid.EditCellText(0, 1, false);
    QTest::keyClicks(edit, "zz");
    o.Key(edit, Qt::Key_Escape);
    o.Settle();
    EXPECT_EQ(o.Count(GFXREQ_ENDEDIT), 1);
    EXPECT_EQ(o.cells[0][1], "%'&(");

    // A refused value leaves the owner's text.
    o.accept = false;
    edit = o.grid.EditCellText(0, 1, false);
    QTest::keyClicks(edit, "bad");
    o.Key(edit, Qt::Key_Return);
    o.Settle();
    EXPECT_EQ(o.Count(GFXREQ_ENDEDIT), 2);
    EXPECT_EQ(o.Text(0, 1), "%'&(");
}

TEST(GfxListCtrl, TextEditorWidensForItsText)
{
    GridOwner o(2);
    o.Show();
    auto* edit = o.grid.EditCellText(0, 1, false);
    const int start = edit->width();
    EXPECT_EQ(start, 60 - 12);
    QTest::keyClicks(edit, "a text far wider than its narrow column");
    EXPECT_GT(edit->width(), start);
    EXPECT_GE(edit->x() + edit->width(),
              std::min(o.grid.viewport()->width(),
                       edit->x() + edit->fontMetrics().horizontalAdvance(edit->text()) + 5));
    o.Key(edit, Qt::Key_Escape);
    o.Settle();
}

TEST(GfxListCtrl, FocusLossCommits)
{
    GridOwner o(3);
    o.Show();
    auto* edit = o.grid.EditCellText(1, 1, false);
    QTest::keyClicks(edit, "X");
    o.grid.setFocus();
    o.Settle();
    EXPECT_EQ(o.Count(GFXREQ_ENDEDIT), 1);
    EXPECT_EQ(o.cells[1][1], "X");
}

TEST(GfxListCtrl, OpenEditsEndBeforeRowsGoAndAreDroppedWithTheGrid)
{
    GridOwner o(3);
    o.Show();
    auto* edit = o.grid.EditCellText(2, 1, false);
    QTest::keyClicks(edit, "N");
    o.grid.DeleteItemData(0, 0);
    EXPECT_EQ(o.cells[2][1], "N"); // reported for its own row before the rows moved
    o.Settle();
    EXPECT_EQ(o.Editor(), nullptr);

    auto owner = std::make_unique<GridOwner>(2);
    owner->Show();
    edit = owner->grid.EditCellText(0, 1, false);
    QTest::keyClicks(edit, "lost");
    bool asked = false;
    owner->grid.m_pfnCellRequest = [&asked](QWidget*, LXHDREX*) {
        asked = true;
        return 1;
    };
    owner.reset();
    EXPECT_FALSE(asked);
}

TEST(GfxListCtrl, SilentOwnersAndHugeTextsLeaveDefaults)
{
    // No callbacks and nobody listening: empty texts, refused requests, no editors.
    CGfxListCtrl grid;
    CGfxColumnManager* m = grid.CreateColumnManager();
    m->AddColumn(0, "", "", LVCFMT_LEFT, 40, GFXCOL_DROPLIST);
    m->AddColumn(1, "", "", LVCFMT_LEFT, 60, GFXCOL_TEXTEDIT);
    const int order[] = {0, 1};
    m->SetColumnOrder(2, order);
    grid.SetupColumns();
    grid.ModifyGfxStyle(0, GFXLS_FORMAT | GFXLS_ROWDRAW);
    grid.InsertItemData(0, 7);
    std::string text = "x";
    grid.GetCellText(0, 1, text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(grid.EditCellCombo(0, 0, false, false), nullptr);
    (void)grid.grab();
    const std::string endText = "v";
    grid.OnEndLabelEdit(0, 1, &endText); // refused: the owner's (empty) text stays
    grid.GetCellText(0, 1, text);
    EXPECT_EQ(text, "");
    grid.OnEndLabelEdit(0, 1, nullptr);
    grid.GetCellText(5, 9, text);
    EXPECT_EQ(text, "");

    // The signal route answers like the callbacks.
    QObject::connect(&grid, &CGfxListCtrl::cellTextRequested,
                     [](int, int, std::intptr_t data, std::string* out) {
                         *out = std::string(1 << 20, 'W') + std::to_string(data);
                     });
    grid.GetCellText(0, 1, text);
    EXPECT_EQ(text.size(), (1u << 20) + 1);
    grid.resize(200, 100);
    (void)grid.grab();
    int result = -1;
    QObject::connect(&grid, &CGfxListCtrl::cellRequest, [&result](LXHDREX* r, int* answer) {
        result = r->nCode;
        *answer = 0;
    });
    EXPECT_EQ(grid.EditCellCombo(0, 0, false, false), nullptr);
    EXPECT_EQ(result, GFXREQ_CHOICES);
}

// Column and row of the open editor.
std::pair<int, int> EditorCell(GridOwner& o)
{
    QWidget* e = o.Editor();
    if (auto* edit = qobject_cast<CGfxInPlaceEdit*>(e))
        return {edit->GetItem(), edit->GetColumn()};
    if (auto* combo = qobject_cast<CGfxInPlaceCombo*>(e))
        return {combo->GetItem(), combo->GetColumn()};
    return {-1, -1};
}

QWidget* FocusTarget(QWidget* editor)
{
    if (auto* combo = qobject_cast<CGfxInPlaceCombo*>(editor))
        if (combo->EditPart())
            return combo->EditPart();
    return editor;
}

TEST(GfxListCtrl, TabAndShiftTabWalkTheEditableCells)
{
    GridOwner o(2);
    o.Show();
    o.grid.EditCellText(0, 1, false);
    const std::vector<std::pair<int, int>> forward = {{0, 3}, {0, 4}, {1, 1}, {1, 3}, {1, 4}};
    for (const auto& cell : forward) {
        o.Key(FocusTarget(o.Editor()), Qt::Key_Tab);
        o.Settle();
        EXPECT_EQ(EditorCell(o), cell);
        EXPECT_EQ(o.grid.GetFocusedRow(), cell.first);
    }
    // From the last editable cell Tab ends the editing.
    o.Key(FocusTarget(o.Editor()), Qt::Key_Tab);
    o.Settle();
    EXPECT_EQ(o.Editor(), nullptr);

    o.grid.EditCellText(1, 1, false);
    o.Key(o.Editor(), Qt::Key_Tab, Qt::ShiftModifier);
    o.Settle();
    EXPECT_EQ(EditorCell(o), (std::pair<int, int>{0, 4}));
    o.Key(FocusTarget(o.Editor()), Qt::Key_Backtab, Qt::ShiftModifier);
    o.Settle();
    EXPECT_EQ(EditorCell(o), (std::pair<int, int>{0, 3}));
    EXPECT_EQ(o.grid.GetSelectedRows(), std::vector<int>{0});
}

TEST(GfxListCtrl, ArrowKeysLeaveTheTextEditorAtItsEnds)
{
    GridOwner o(3);
    o.Show();
    o.Click(1, 1);
    auto* edit = o.grid.EditCellText(1, 1, false);
    edit->setCursorPosition(1);
    o.Key(edit, Qt::Key_Left); // caret moves inside
    EXPECT_EQ(o.Editor(), edit);
    o.Key(edit, Qt::Key_Left);
    o.Settle();
    EXPECT_EQ(o.Editor(), nullptr);
    EXPECT_EQ(o.grid.GetFocusedColumn(), 0);

    o.grid.SetFocusedColumn(1);
    edit = o.grid.EditCellText(1, 1, false);
    edit->end(false);
    o.Key(edit, Qt::Key_Right);
    o.Settle();
    EXPECT_EQ(o.grid.GetFocusedColumn(), 2);
    // Down reaches the last row.
    edit = o.grid.EditCellText(1, 1, false);
    o.Key(edit, Qt::Key_Down);
    o.Settle();
    EXPECT_EQ(o.grid.GetFocusedRow(), 2);
    edit = o.grid.EditCellText(2, 1, false);
    o.Key(edit, Qt::Key_Down);
    o.Settle();
    EXPECT_EQ(o.grid.GetFocusedRow(), 2);
}

TEST(GfxListCtrl, EnterEditsAndActivates)
{
    GridOwner o(3);
    o.Show();
    QSignalSpy activated(&o.grid, &CGfxListCtrl::cellActivated);
    o.Click(1, 1);
    o.Key(&o.grid, Qt::Key_Return);
    EXPECT_NE(qobject_cast<CGfxInPlaceEdit*>(o.Editor()), nullptr);
    o.Key(o.Editor(), Qt::Key_Escape);
    o.Settle();
    o.Key(&o.grid, Qt::Key_Space); // a cell with an editor: nothing
    EXPECT_EQ(activated.count(), 0);
    o.Click(1, 2);
    o.Key(&o.grid, Qt::Key_Return);
    o.Key(&o.grid, Qt::Key_Space);
    ASSERT_EQ(activated.count(), 2);
    EXPECT_EQ(activated.at(0).at(0).toInt(), 2);
    o.Key(&o.grid, Qt::Key_Left);
    EXPECT_EQ(o.grid.GetFocusedColumn(), 1);
}

TEST(GfxListCtrl, SpaceActivationFollowsFlavour)
{
    const struct
    {
        GfxFlavour flavour;
        int activations;
    } cases[] = {{GfxFlavour::Program, 0}, {GfxFlavour::Library, 1}};
    for (const auto& c : cases) {
        GridOwner o(2, c.flavour);
        o.Show();
        QSignalSpy activated(&o.grid, &CGfxListCtrl::cellActivated);
        o.Click(0, 1); // a cell with an editor
        o.Key(&o.grid, Qt::Key_Space);
        EXPECT_EQ(activated.count(), c.activations);
    }
}

TEST(GfxListCtrl, ChoicesAnswerZeroOpensNothing)
{
    GridOwner o(2);
    o.Show();
    o.answerChoices = 0;
    EXPECT_EQ(o.grid.EditCellCombo(0, 3, false, false), nullptr);
    EXPECT_EQ(o.Editor(), nullptr);
    o.answerChoices = 1;
    o.choices.clear();
    auto* combo = o.grid.EditCellCombo(0, 3, false, false);
    ASSERT_NE(combo, nullptr);
    combo->DropDown(); // no choices: no list
    EXPECT_EQ(combo->DropList(), nullptr);
}

TEST(GfxListCtrl, ListComboFindsChoicesByInitialWrapping)
{
    GridOwner o(2);
    o.Show();
    o.cells[0][3] = "Banana";
    auto* combo = o.grid.EditCellCombo(0, 3, false, false);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCurrentChoice(), 1);
    // Letters typed as characters; "v" and "^" stand for Down and Up.
    const std::vector<std::pair<char, const char*>> keys = {
        {'A', "Avocado"}, {'A', "Avocado"}, {'B', "Banana"}, {'A', "Avocado"},
        {'C', "Cherry"},  {'A', "Apple"},   {'a', "Apple"},  {'Z', "Apple"},
        {'v', "Banana"},  {'^', "Apple"},   {'^', "Apple"},
    };
    for (const auto& [key, text] : keys) {
        if (key == 'v' || key == '^')
            o.Key(combo, key == 'v' ? Qt::Key_Down : Qt::Key_Up);
        else
            QTest::keyClicks(combo, QString(QLatin1Char(key)));
        EXPECT_EQ(combo->Text(), QString::fromLatin1(text)) << key;
    }
    o.Key(combo, Qt::Key_Return);
    o.Settle();
    EXPECT_EQ(o.cells[0][3], "Apple");
    EXPECT_EQ(o.Count(GFXREQ_ENDEDIT), 1);
}

TEST(GfxListCtrl, EditableComboCompletesExceptAfterBackspace)
{
    GridOwner o(2);
    o.Show();
    o.cells[0][4] = "";
    auto* combo = o.grid.EditCellCombo(0, 4, true, false);
    ASSERT_NE(combo, nullptr);
    CGfxComboEdit* edit = combo->EditPart();
    QTest::keyClicks(edit, "Av");
    EXPECT_EQ(edit->text(), QStringLiteral("Avocado"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("ocado"));
    o.Key(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("Av"));
    QTest::keyClicks(edit, "%'&(");
    EXPECT_EQ(edit->text(), QStringLiteral("Av%'&("));
    o.Key(edit, Qt::Key_Tab);
    o.Settle();
    EXPECT_EQ(o.cells[0][4], "Av%'&(");
    EXPECT_EQ(EditorCell(o), (std::pair<int, int>{1, 1}));
}

TEST(GfxListCtrl, DropListOpensBelowOrAboveInsideTheGrid)
{
    GridOwner o(40);
    o.Show();
    auto* combo = o.grid.EditCellCombo(0, 3, false, false);
    ASSERT_NE(combo, nullptr);
    QTest::mouseClick(combo, Qt::LeftButton, Qt::NoModifier, combo->ButtonRect().center());
    ASSERT_NE(combo->DropList(), nullptr);
    EXPECT_GE(combo->DropList()->y(), combo->geometry().bottom());
    // Picking an entry shows it.
    combo->DropList()->setCurrentRow(3);
    o.Key(combo->DropList(), Qt::Key_Return);
    EXPECT_EQ(combo->DropList(), nullptr);
    EXPECT_EQ(combo->Text(), QStringLiteral("Cherry"));
    o.Key(combo, Qt::Key_Escape);
    o.Settle();
    EXPECT_EQ(o.Count(GFXREQ_ENDEDIT), 0);

    const int last = o.grid.rowAt(o.grid.viewport()->height() - 2);
    combo = o.grid.EditCellCombo(last, 3, false, false);
    ASSERT_NE(combo, nullptr);
    combo->DropDown();
    ASSERT_NE(combo->DropList(), nullptr);
    EXPECT_LT(combo->DropList()->y(), combo->y());
    EXPECT_LE(combo->DropList()->geometry().bottom(), o.grid.viewport()->height());
}

TEST(GfxListCtrl, MultiRowEditAsksForEveryRow)
{
    GridOwner o(4);
    o.grid.ModifyGfxStyle(0, GFXLS_MULTIEDIT);
    o.Show();
    o.grid.selectAll();
    o.grid.SetFocusedRow(1);
    o.grid.m_pfnCellRequest = [&o](QWidget*, LXHDREX* r) {
        if (r->nCode != GFXREQ_ENDEDIT)
            return 0;
        o.requests.push_back(*r);
        if (r->lParam == 2)
            return 0;
        o.cells[static_cast<std::size_t>(r->lParam)][1] = r->strText;
        return 1;
    };
    const std::string text = "V";
    o.grid.OnEndLabelEdit(1, 1, &text);
    EXPECT_EQ(o.Count(GFXREQ_ENDEDIT), 4);
    EXPECT_EQ(Column(o, 1), (std::vector<std::string>{"V", "V", "R3", "V"}));
}

TEST(GfxListCtrl, EditorContextMenuFollowsFlavour)
{
    for (GfxFlavour flavour : {GfxFlavour::Program, GfxFlavour::Library}) {
        GridOwner o(1, flavour);
        o.Show();
        auto* edit = o.grid.EditCellText(0, 1, false);
        edit->selectAll();
        std::unique_ptr<QMenu> menu(edit->CreateContextMenu());
        QStringList texts;
        QList<bool> enabled;
        for (QAction* a : menu->actions()) {
            texts << a->text();
            enabled << a->isEnabled();
        }
        const QString copy =
            flavour == GfxFlavour::Library ? QStringLiteral("ｺﾋﾟｰ(&C)") : QStringLiteral("コピー(&C)");
        EXPECT_EQ(texts, (QStringList{QStringLiteral("元に戻す(&U)"), QString(),
                                      QStringLiteral("切り取り(&T)"), copy, QStringLiteral("貼り付け(&P)")}));
        EXPECT_FALSE(enabled[0]); // nothing to undo
        EXPECT_TRUE(enabled[2]);
        EXPECT_TRUE(enabled[3]);
        EXPECT_FALSE(menu->actions()[3]->icon().isNull());
        edit->deselect();
        menu.reset(edit->CreateContextMenu());
        EXPECT_FALSE(menu->actions()[2]->isEnabled());
    }
}

TEST(GfxListCtrl, TipShowsOverClippedCellsAndHidesOnKeys)
{
    GridOwner o(3);
    o.cells[0][2] = "a value much too long for its cell";
    o.Show();
    o.Click(1, 1);
    CGfxToolTip* tip = o.grid.GetToolTip();
    QTest::mouseMove(o.grid.viewport(), o.CellCentre(1, 2));
    EXPECT_FALSE(tip->isVisible()); // fits
    QTest::mouseMove(o.grid.viewport(), o.CellCentre(0, 2));
    ASSERT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->Text(), QStringLiteral("a value much too long for its cell"));
    EXPECT_TRUE(tip->testAttribute(Qt::WA_TransparentForMouseEvents));
    QTest::mouseMove(o.grid.viewport(), o.CellCentre(1, 1));
    EXPECT_FALSE(tip->isVisible());
    QTest::mouseMove(o.grid.viewport(), o.CellCentre(0, 2));
    ASSERT_TRUE(tip->isVisible());
    o.Key(&o.grid, Qt::Key_Down);
    EXPECT_FALSE(tip->isVisible());
}

TEST(GfxListCtrl, CategoriesGroupRowsAndToggle)
{
    GridOwner o(4);
    o.grid.m_pfnCategoryFill = [](CGfxCategoryManager& m, std::intptr_t& data) {
        if (m.m_groups.empty())
            m.m_groups.push_back(GfxCategoryGroup{"even", {}, true});
        if (m.m_groups.size() < 2)
            m.m_groups.push_back(GfxCategoryGroup{"odd", {}, true});
        m.m_groups[static_cast<std::size_t>(data % 2)].items.push_back(data);
    };
    o.Show();
    o.grid.EnableCategories(true);
    EXPECT_EQ(o.grid.GetColumnWidth(0), 18);
    EXPECT_EQ(o.grid.GetItemCount(), 6);
    EXPECT_EQ(o.grid.GetRowHeight(), 17);
    EXPECT_EQ(o.grid.rowHeight(0), 16);
    EXPECT_EQ(o.Text(0, 0), "Categoria: even (2 elementi)");
    o.Click(0, 0);
    EXPECT_EQ(o.grid.GetItemCount(), 4);
    o.Click(0, 0);
    EXPECT_EQ(o.grid.GetItemCount(), 6);
    // Enter on a selected group row toggles it too.
    o.grid.clearSelection();
    o.grid.SetFocusedRow(3);
    o.Key(&o.grid, Qt::Key_Return);
    EXPECT_EQ(o.grid.GetItemCount(), 4);
    o.Key(&o.grid, Qt::Key_Return);
    EXPECT_EQ(o.grid.GetItemCount(), 6);
    // An accepted edit is shown in every row of the item.
    o.grid.StoreCellText(1, 1, 0, "Z");
    EXPECT_EQ(o.Text(1, 1), "Z");
    o.grid.EnableCategories(false);
    EXPECT_EQ(o.grid.GetColumnWidth(0), 0);
    EXPECT_EQ(o.grid.GetItemCount(), 4);
    EXPECT_EQ(o.grid.rowHeight(0), 17);
}

} // namespace
