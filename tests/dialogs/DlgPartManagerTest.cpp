// The part management dialog: counters, placing by cell and header clicks (a part whose reference
// has no number is never placed), marked cells and the cell texts of type, kind and scale.

#include "dialogs/DlgPartManager.h"
#include "model/items/Part.h"
#include "model/items/Ter.h"
#include "model/items/Text.h"
#include "platform/J.h"
#include "tests/dialogs/TableDialogFixture.h"

#include <QPushButton>

namespace {

class DlgPartManagerTest : public TableDialogFixture
{
protected:
    CPart* AddPart(CSheet& sheet, const char* ref, int type, int terminals)
    {
        const double x = 10.0 * (sheet.GetCount(32913) + 1);
        CPart part(CDPoint(x, 20.5), CDRect(x - 1, 19, x + 1, 21), 1, 0, 0.0, 0);
        part.SetRefName(ref);
        part.SetPartName("DIP8");
        part.SetValue("10k");
        for (int i = 0; i < terminals; ++i)
            part.NewTer(CDPoint(x, 20), CText(std::to_string(i + 1), CDPoint(x, 20), 0))->SetLayerNo(1);
        part.SetType(type);
        return sheet.NewPart(part);
    }
    QString Counter(int id) { return FindControl<QLineEdit>(&dialog, id)->text(); }
    QStringList Counters()
    {
        QStringList out;
        for (int id :
             {CDlgPartManager::IdTotal, CDlgPartManager::IdComponentSide, CDlgPartManager::IdSolderSide,
              CDlgPartManager::IdUnplaced, CDlgPartManager::IdTerminals})
            out << Counter(id);
        return out;
    }

    CDlgPartManager dialog;
};

TEST_F(DlgPartManagerTest, CountersFollowTheClicksAndAnUnnumberedPartStaysUnplaced)
{
    AddPart(dialog.m_sheet, "R1", PART_PLACED, 2);
    AddPart(dialog.m_sheet, "R2", PART_PLACED | PART_OTHER_SIDE, 3);
    AddPart(dialog.m_sheet, "U?", 0, 8);
    Show(dialog);
    CGfxListCtrl* list = dialog.List();
    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(Counters(), (QStringList{"3", "1", "1", "1", "13"}));

    // The unnumbered part refuses the placed flag.
    ClickCell(list, 2, CDlgPartManager::ColPlaced);
    EXPECT_EQ(Cell(list, 2, CDlgPartManager::ColPlaced), "0");
    EXPECT_EQ(Counters()[3], "1");
    ClickCell(list, 0, CDlgPartManager::ColPlaced);
    EXPECT_EQ(Cell(list, 0, CDlgPartManager::ColPlaced), "0");
    EXPECT_EQ(Counters(), (QStringList{"3", "0", "1", "2", "13"}));

    // The header places every part when none is placed, and none otherwise.
    ClickHeader(list, CDlgPartManager::ColPlaced);
    EXPECT_EQ(Counters(), (QStringList{"3", "0", "0", "3", "13"}));
    ClickHeader(list, CDlgPartManager::ColPlaced);
    EXPECT_EQ(Counters(), (QStringList{"3", "1", "1", "1", "13"}));
    EXPECT_FALSE(dialog.m_sheet.GetPart(2)->IsPlaced());
    ClickHeader(list, CDlgPartManager::ColPlaced);
    EXPECT_EQ(Counters(), (QStringList{"3", "0", "0", "3", "13"}));

    // "修正" and a double click pick the selected row's part.
    ClickCell(list, 1, CDlgPartManager::ColName);
    Click(&dialog, CDlgPartManager::IdModify);
    EXPECT_EQ(dialog.m_nChosen, 1);
    DoubleClickCell(list, 0, CDlgPartManager::ColPlaced);
    EXPECT_EQ(dialog.m_nChosen, 0);
}

TEST_F(DlgPartManagerTest, CellTextsAndMarkedCells)
{
    CPart* plain = AddPart(dialog.m_sheet, "R1", PART_SMD | 0x4, 2);
    plain->SetAngle(3.14159265358979323846 / 2);
    CPart* scaled = AddPart(dialog.m_sheet, "J1", PART_NOT_CIRCUIT | 0xC | PART_SCALABLE | 0x200 | 0x80, 1);
    scaled->SetScale(150);
    CPart* other = AddPart(dialog.m_sheet, "C1", PART_OTHER_SIDE | 0x8 | PART_SCALED | 0x40 | 0x20, 1);
    other->SetScale(100);
    Show(dialog);
    CGfxListCtrl* list = dialog.List();
    struct Row
    {
        const char* ref;
        const char* side;
        const char* angle;
        const char* scale;
        const char* type;
        const char* kind;
    };
    const Row rows[] = {{"R1", "部品面", "90.0", "", "SMD", "モジュール"},
                        {"J1", "部品面", "0.0", "1.5", "非回路", "コネクタ"},
                        {"C1", "半田面", "0.0", "1.0", "DIP", "ディスク"}};
    for (int r = 0; r < 3; ++r) {
        const Row& row = rows[r];
        EXPECT_EQ(Cell(list, r, CDlgPartManager::ColRef), row.ref);
        EXPECT_EQ(Cell(list, r, CDlgPartManager::ColSide), QString::fromUtf8(row.side)) << r;
        EXPECT_EQ(Cell(list, r, CDlgPartManager::ColAngle), row.angle) << r;
        EXPECT_EQ(Cell(list, r, CDlgPartManager::ColScale), row.scale) << r;
        EXPECT_EQ(Cell(list, r, CDlgPartManager::ColType), QString::fromUtf8(row.type)) << r;
        EXPECT_EQ(Cell(list, r, CDlgPartManager::ColKind), QString::fromUtf8(row.kind)) << r;
    }
    EXPECT_EQ(Cell(list, 0, CDlgPartManager::ColX), "10.0");
    EXPECT_EQ(Cell(list, 0, CDlgPartManager::ColY), "20.5");
    EXPECT_EQ(Cell(list, 0, CDlgPartManager::ColTerminals), "2");

    // Mark bits colour their cells orange: reference 0x200, position 0x80, angle 0x40, side 0x20.
    const auto marked = [list](int row, int id) {
        LXHDREX format;
        format.nCode = GFXREQ_FORMAT;
        format.nSubItem = id;
        format.lParam = list->GetItemData(row);
        const int answer = list->RequestCell(&format);
        return answer && format.cFormat == GFXFMT_BKCOLOR && format.crBack == 0x00C0FF;
    };
    const int ids[] = {CDlgPartManager::ColRef,   CDlgPartManager::ColX,    CDlgPartManager::ColY,
                       CDlgPartManager::ColAngle, CDlgPartManager::ColSide, CDlgPartManager::ColName};
    const bool expected[3][6] = {{false, false, false, false, false, false},
                                 {true, true, true, false, false, false},
                                 {false, false, false, true, true, false}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(marked(r, ids[c]), expected[r][c]) << r << " " << ids[c];
    Shot(&dialog, "DlgPartManager");
}

} // namespace
