// The grid settings dialog driven through its table: shown and current grids, in-place edits of
// names, types and pitches, the grid numbers' range checks and the re-layout.

#include "dialogs/DlgGrid.h"
#include "dialogs/TableImages.h"
#include "platform/J.h"
#include "platform/RangeText.h"
#include "tests/dialogs/TableDialogFixture.h"

#include <QCheckBox>

namespace {

class DlgGridTest : public TableDialogFixture
{
protected:
    void SetUp() override
    {
        TableDialogFixture::SetUp();
        for (int i = 0; i < CDlgGrid::kGrids; ++i) {
            tagGRID& g = dialog.m_grids[static_cast<std::size_t>(i)];
            g.xPitch = g.yPitch = 0.5 * (i + 1);
            g.marked = i < 4 ? 1 : 0;
            g.name = "G" + std::to_string(i + 1);
        }
        dialog.m_nCurrent = 2;
        dialog.m_nBaseGrid = 3;
        dialog.m_nAttrGrid = 4;
    }
    CGfxListCtrl* List() { return dialog.List(); }
    QString Image(int row) { return Cell(List(), row, CDlgGrid::ColShow); }

    CDlgGrid dialog;
};

TEST_F(DlgGridTest, TheTableShowsEveryGridAndTheCurrentOneKeepsImageFive)
{
    Show(dialog);
    ASSERT_EQ(List()->GetItemCount(), 16);
    EXPECT_EQ(Cell(List(), 0, CDlgGrid::ColNo), "  1");
    EXPECT_EQ(Cell(List(), 1, CDlgGrid::ColName), "G2");
    EXPECT_EQ(Cell(List(), 1, CDlgGrid::ColType), QString::fromUtf8("格子"));
    EXPECT_EQ(Cell(List(), 1, CDlgGrid::ColX), "1.0");
    EXPECT_EQ(Image(0), "1");
    EXPECT_EQ(Image(2), "5");
    EXPECT_EQ(Image(6), "0");
    // The display order of the columns.
    std::vector<int> ids;
    for (int c = 0; c < List()->GetColumnCount(); ++c)
        ids.push_back(List()->GetColumnSubItem(c));
    EXPECT_EQ(ids, (std::vector<int>{0, 1, 3, 4, 2, 5, 6, 7, 8}));
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, CDlgGrid::IdBase)->text(), "3");

    // A click on the current row changes nothing; on another row it toggles the display byte.
    ClickCell(List(), 2, CDlgGrid::ColShow);
    EXPECT_EQ(Image(2), "5");
    EXPECT_EQ(dialog.m_grids[2].marked, 1);
    ClickCell(List(), 6, CDlgGrid::ColShow);
    EXPECT_EQ(Image(6), "1");
    ClickCell(List(), 0, CDlgGrid::ColShow);
    EXPECT_EQ(Image(0), "0");

    // A right click makes the row current and shown; the old current row shows its byte again.
    ClickCell(List(), 9, CDlgGrid::ColShow, Qt::RightButton);
    EXPECT_EQ(dialog.m_nCurrent, 9);
    EXPECT_EQ(Image(9), "5");
    EXPECT_EQ(dialog.m_grids[9].marked, 1);
    EXPECT_EQ(Image(2), "1");
    // Shift with a double click makes the first selected row current too.
    ClickCell(List(), 11, CDlgGrid::ColName);
    DoubleClickCell(List(), 11, CDlgGrid::ColShow, Qt::ShiftModifier);
    EXPECT_EQ(dialog.m_nCurrent, 11);
}

TEST_F(DlgGridTest, TheHeaderShowsAllThenHidesAllButNeverTheCurrentGrid)
{
    for (tagGRID& g : dialog.m_grids)
        g.marked = 0;
    dialog.m_grids[2].marked = 1;
    Show(dialog);
    ClickHeader(List(), CDlgGrid::ColShow);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(dialog.m_grids[static_cast<std::size_t>(i)].marked, 1) << i;
    ClickHeader(List(), CDlgGrid::ColShow);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(dialog.m_grids[static_cast<std::size_t>(i)].marked, i == 2 ? 1 : 0) << i;
    EXPECT_EQ(Image(2), "5");
}

TEST_F(DlgGridTest, CellsAreEditedInPlaceAndLettersInANumberStoreZero)
{
    Show(dialog);
    EditCell(List(), 4, CDlgGrid::ColName, QString::fromUtf8("細かい"));
    EXPECT_EQ(dialog.m_grids[4].name, _J("細かい"));
    EditCell(List(), 4, CDlgGrid::ColX, "abc");
    EXPECT_EQ(dialog.m_grids[4].xPitch, 0.0);
    EXPECT_EQ(Cell(List(), 4, CDlgGrid::ColX), "0.0");
    EditCell(List(), 4, CDlgGrid::ColOY, "1.27");
    EXPECT_DOUBLE_EQ(dialog.m_grids[4].yOffset, 1.27);
    ChooseInCell(List(), 4, CDlgGrid::ColType, QString::fromUtf8("放射"));
    EXPECT_EQ(dialog.m_grids[4].kind, 1);
    EXPECT_EQ(Cell(List(), 4, CDlgGrid::ColType), QString::fromUtf8("放射"));
    // The type column is drawn in the proportional Gothic face.
    LXHDREX format;
    format.nCode = GFXREQ_FORMAT;
    format.nSubItem = CDlgGrid::ColType;
    ASSERT_EQ(List()->RequestCell(&format), 1);
    EXPECT_EQ(format.cFormat, GFXFMT_FONT);
    EXPECT_EQ(format.font->family(), "IPAPGothic");
    Shot(&dialog, "DlgGrid");
}

TEST_F(DlgGridTest, TheBasicGridMustLieInOneToSixteen)
{
    struct Case
    {
        const char* base;
        const char* attr;
        int attrMove;
        bool accepted;
    };
    const Case cases[] = {
        {"0", "4", 0, false},
        {"17", "4", 0, false},
        {"16", "4", 0, true},
        // The attribute-move number is tested only while "AttrMove" is 1.
        {"5", "0", 0, true},
        {"5", "17", 1, false},
        {"5", "16", 1, true},
    };
    for (const Case& c : cases) {
        profile.SetInt("Sheet", "AttrMove", c.attrMove);
        messages.Clear();
        CDlgGrid d;
        d.m_nAttrGrid = 7;
        Show(d);
        EXPECT_EQ(FindControl(&d, CDlgGrid::IdAttr)->isEnabled(), c.attrMove == 1);
        FindControl<QLineEdit>(&d, CDlgGrid::IdBase)->setText(c.base);
        FindControl<QLineEdit>(&d, CDlgGrid::IdAttr)->setText(c.attr);
        FindControl<QCheckBox>(&d, CDlgGrid::IdHide)->setChecked(true);
        Ok(&d);
        EXPECT_EQ(d.result() == QDialog::Accepted, c.accepted) << c.base << " " << c.attr;
        if (!c.accepted) {
            ASSERT_EQ(messages.Count(), 1u);
            EXPECT_EQ(messages.Last().text, platform::IntRangeText(1, 16));
            continue;
        }
        EXPECT_EQ(d.m_nBaseGrid, std::atoi(c.base));
        EXPECT_EQ(d.m_nAttrGrid, c.attrMove ? std::atoi(c.attr) : 7);
        EXPECT_EQ(d.m_bHide, 1);
    }
}

TEST_F(DlgGridTest, TheGridFollowsTheEdgesAndTheDialogKeepsItsInitialSize)
{
    Show(dialog);
    const QSize initial = dialog.size();
    EXPECT_EQ(dialog.InitialSize(), initial);
    const QRect grid = List()->geometry();
    QWidget* ok = FindControl(&dialog, CDialogBuilder::IdOk);
    const QRect okRect = ok->geometry();
    dialog.resize(initial + QSize(120, 80));
    QApplication::processEvents();
    EXPECT_EQ(List()->geometry(), grid.adjusted(0, 0, 120, 80));
    // Other controls keep their distance to the top right corner.
    EXPECT_EQ(ok->geometry(), okRect.translated(120, 0));
    dialog.resize(initial - QSize(100, 100));
    QApplication::processEvents();
    EXPECT_EQ(dialog.size(), initial);
    EXPECT_EQ(List()->geometry(), grid);
    // Minimising gives the initial size back instead.
    dialog.resize(initial + QSize(50, 50));
    dialog.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    EXPECT_FALSE(dialog.isMinimized());
    EXPECT_EQ(dialog.size(), initial);
    // The small icon and the grip are there.
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_NE(dialog.findChild<CGripper*>(), nullptr);
}

} // namespace
