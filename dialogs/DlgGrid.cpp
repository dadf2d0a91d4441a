#include "dialogs/DlgGrid.h"

#include "controls/GfxListCtrl.h"
#include "dialogs/TableImages.h"
#include "document/NumberText.h"
#include "libui/SpinButton.h"
#include "platform/J.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <algorithm>

namespace {

const std::string& TypeName(int kind)
{
    static const std::string names[2] = {_J("格子"), _J("放射")};
    static const std::string none;
    return kind == 0 || kind == 1 ? names[kind] : none;
}

bool AttrMoveTested()
{
    return platform::GetProfile().GetInt("Sheet", "AttrMove", 0) == 1;
}

} // namespace

CDlgGrid::CDlgGrid(QWidget* parent)
    : CTableDialog(IDD, QString::fromUtf8("グリッド設定"), IdList, 189, true, parent),
      m_typeFont(ProportionalGothic())
{
    CDialogBuilder& b = Builder();
    b.Add(IdList, m_list, 0, 0, 8, 1);
    m_list->setMinimumSize(440, 300);
    b.OkCancel(0, 1);
    b.Label(QString::fromUtf8("基本グリッド(&B)"), 2, 1);
    m_base = AddIntField(Grid(), IdBase, IdBaseSpin, m_baseSpin, 3, 1);
    b.Label(QString::fromUtf8("属性移動(&A)"), 4, 1);
    m_attr = AddIntField(Grid(), IdAttr, IdAttrSpin, m_attrSpin, 5, 1);
    m_hide = b.Check(IdHide, QString::fromUtf8("非表示(&D)"), 6, 1);
    Grid()->setRowStretch(7, 1);

    connect(m_list, &CGfxListCtrl::cellClicked, this, &CDlgGrid::OnClick);
    connect(m_list, &CGfxListCtrl::cellRightClicked, this, &CDlgGrid::OnRightClick);
    connect(m_list, &CGfxListCtrl::cellDoubleClicked, this, &CDlgGrid::OnDoubleClick);
    connect(m_list, &CGfxListCtrl::columnClicked, this, &CDlgGrid::OnHeaderClick);
}

void CDlgGrid::OnInitDialog()
{
    CGfxColumnManager* columns = m_list->CreateColumnManager();
    columns->AddColumn(0, "", "", LVCFMT_LEFT, 0, 0x180);
    columns->AddColumn(ColNo, "No", "", LVCFMT_RIGHT, 30, 0xA8);
    columns->AddColumn(ColShow, "", "", LVCFMT_CENTER, 16, 0x350, 1, "Image 1");
    columns->AddColumn(ColName, _J("名称"), "", LVCFMT_LEFT, 60, 0x4);
    columns->AddColumn(ColType, _J("タイプ"), "", LVCFMT_LEFT, 60, 0x1);
    columns->AddColumn(ColX, "X", "", LVCFMT_LEFT, 50, 0x4);
    columns->AddColumn(ColY, "Y", "", LVCFMT_LEFT, 50, 0x4);
    columns->AddColumn(ColOX, "OX", "", LVCFMT_LEFT, 50, 0x4);
    columns->AddColumn(ColOY, "OY", "", LVCFMT_LEFT, 50, 0x4);
    const int order[] = {0, ColNo, ColShow, ColName, ColType, ColX, ColY, ColOX, ColOY};
    columns->SetColumnOrder(9, order);
    UseTableImages();
    m_list->ModifyGfxStyle(0, 0x0F);
    m_list->SetupColumns();
    for (int i = 0; i < kGrids; ++i)
        m_list->InsertItemData(i, i);
    m_list->SetRowHeight(17, false);
    m_list->m_pfnCellText = [this](int, int column, std::intptr_t data, std::string& out) {
        CellText(m_list->GetColumnSubItem(column), static_cast<int>(data), out);
    };
    m_list->m_pfnCellRequest = [this](QWidget*, LXHDREX* request) { return OnCellRequest(request); };

    FitColumns(true);
    m_baseSpin->SetRange(1, kGrids);
    m_attrSpin->SetRange(1, kGrids);
    m_attr->setEnabled(AttrMoveTested());
    m_nCurrent = std::clamp(m_nCurrent, 0, kGrids - 1);
    UpdateData(false);
    m_list->setFocus();
}

bool CDlgGrid::DoDataExchange(bool save)
{
    if (!save) {
        m_base->setText(QString::number(m_nBaseGrid));
        m_attr->setText(QString::number(m_nAttrGrid));
        m_hide->setChecked(m_bHide != 0);
        return true;
    }
    int base = 0;
    if (!CheckIntRange(m_base, 1, kGrids, base))
        return false;
    int attr = m_nAttrGrid;
    if (AttrMoveTested() && !CheckIntRange(m_attr, 1, kGrids, attr))
        return false;
    m_nBaseGrid = base;
    m_nAttrGrid = attr;
    m_bHide = m_hide->isChecked() ? 1 : 0;
    return true;
}

void CDlgGrid::accept()
{
    if (UpdateData(true))
        CTableDialog::accept();
}

bool CDlgGrid::ValidRow(int item) const
{
    return item >= 0 && item < m_list->GetItemCount();
}

void CDlgGrid::CellText(int column, int index, std::string& out) const
{
    out.clear();
    if (index < 0 || index >= kGrids)
        return;
    const tagGRID& grid = m_grids[static_cast<std::size_t>(index)];
    char buffer[64];
    switch (column) {
    case ColNo:
        out = platform::Format("%3d", index + 1);
        return;
    case ColShow:
        out = std::to_string(index == m_nCurrent ? TABLEIMG_CURRENT : grid.marked ? 1 : 0);
        return;
    case ColName:
        out = grid.name;
        return;
    case ColType:
        out = TypeName(grid.kind);
        return;
    case ColX:
    case ColY:
    case ColOX:
    case ColOY: {
        const double values[4] = {grid.xPitch, grid.yPitch, grid.xOffset, grid.yOffset};
        FormatNumberToBuffer(buffer, values[column - ColX]);
        out = buffer;
        return;
    }
    default:
        return;
    }
}

int CDlgGrid::OnCellRequest(LXHDREX* request)
{
    switch (request->nCode) {
    case GFXREQ_FORMAT:
        if (request->nSubItem != ColType)
            return 0;
        request->font = m_typeFont;
        request->cFormat = GFXFMT_FONT;
        return 1;
    case GFXREQ_CHOICES:
        if (request->pChoices) {
            request->pChoices->push_back(TypeName(0));
            request->pChoices->push_back(TypeName(1));
        }
        return 1;
    case GFXREQ_ENDEDIT: {
        const int index = static_cast<int>(request->lParam);
        if (index < 0 || index >= kGrids)
            return 1;
        tagGRID& grid = m_grids[static_cast<std::size_t>(index)];
        const std::string& text = request->strText;
        switch (request->nSubItem) {
        case ColType:
            for (std::uint8_t kind = 0; kind < 2; ++kind)
                if (text == TypeName(kind))
                    grid.kind = kind;
            break;
        case ColName:
            grid.name = text;
            break;
        case ColX:
        case ColY:
        case ColOX:
        case ColOY: {
            double* values[4] = {&grid.xPitch, &grid.yPitch, &grid.xOffset, &grid.yOffset};
            *values[request->nSubItem - ColX] = platform::Atof(text);
            // The cell shows the value stored, not the letters typed.
            CellText(request->nSubItem, index, request->strText);
            break;
        }
        default:
            break;
        }
        return 1;
    }
    default:
        return 0;
    }
}

void CDlgGrid::ToggleShown(int index)
{
    if (index < 0 || index >= kGrids || index == m_nCurrent)
        return;
    tagGRID& grid = m_grids[static_cast<std::size_t>(index)];
    grid.marked = grid.marked ? 0 : 1;
    m_list->viewport()->update();
}

void CDlgGrid::MakeCurrent(int index)
{
    if (index < 0 || index >= kGrids)
        return;
    m_nCurrent = index;
    m_grids[static_cast<std::size_t>(index)].marked = 1;
    m_list->viewport()->update();
}

void CDlgGrid::OnClick(int item, int column)
{
    if (ValidRow(item) && m_list->GetColumnSubItem(column) == ColShow)
        ToggleShown(static_cast<int>(m_list->GetItemData(item)));
}

void CDlgGrid::OnRightClick(int item, int column)
{
    if (ValidRow(item) && m_list->GetColumnSubItem(column) == ColShow)
        MakeCurrent(static_cast<int>(m_list->GetItemData(item)));
}

void CDlgGrid::OnDoubleClick(int, int column)
{
    if (m_list->GetColumnSubItem(column) != ColShow)
        return;
    const std::vector<int> rows = m_list->GetSelectedRows();
    if (rows.empty())
        return;
    const int index = static_cast<int>(m_list->GetItemData(rows.front()));
    if (QApplication::keyboardModifiers() & Qt::ShiftModifier)
        MakeCurrent(index);
    else
        ToggleShown(index);
}

void CDlgGrid::OnHeaderClick(int column)
{
    if (m_list->GetColumnSubItem(column) != ColShow)
        return;
    bool anyShown = false;
    for (int i = 0; i < kGrids; ++i)
        anyShown = anyShown || (i != m_nCurrent && m_grids[static_cast<std::size_t>(i)].marked);
    for (int i = 0; i < kGrids; ++i)
        if (i != m_nCurrent)
            m_grids[static_cast<std::size_t>(i)].marked = anyShown ? 0 : 1;
    m_list->viewport()->update();
}
