#include "dialogs/DlgNetManager.h"

#include "controls/GfxListCtrl.h"
#include "dialogs/CustomColors.h"
#include "document/VELTADoc.h"
#include "libui/Gripper.h"
#include "model/net/Net.h"
#include "platform/J.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

#include <QGridLayout>
#include <QPushButton>
#include <cstring>

CDlgNetManager::CDlgNetManager(CVELTADoc* doc, QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("ネット管理"), parent), m_pDoc(doc)
{
    CDialogBuilder& b = Builder();
    m_list = b.Add(IdList, new CGfxListCtrl(this), 0, 0, 5, 1);
    m_list->m_nCtrlId = IdList;
    m_list->setMinimumSize(420, 240);
    b.OkCancel(0, 1);
    // The Part's two list filters have no behaviour: shown, but not to be pressed.
    b.Button(IdAll, QString::fromUtf8("全て(&A)"), 2, 1)->setEnabled(false);
    b.Button(IdIncomplete, QString::fromUtf8("未完全(&I)"), 3, 1)->setEnabled(false);
    // Resizable: the grid keeps its distance to the four edges.
    Grid()->setSizeConstraint(QLayout::SetDefaultConstraint);
    Grid()->setRowStretch(4, 1);
    Grid()->setColumnStretch(0, 1);
    m_gripper = new CGripper(this);
    connect(m_list, &CGfxListCtrl::cellClicked, this, &CDlgNetManager::OnCellClicked);
}

CDlgNetManager::~CDlgNetManager() = default;

void CDlgNetManager::OnInitDialog()
{
    CGfxColumnManager* columns = m_list->CreateColumnManager();
    columns->AddColumn(0, "", "", LVCFMT_LEFT, 0, 0x180);
    columns->AddColumn(ColumnName, _J("信号名"), "", LVCFMT_LEFT, 80, 0xA0);
    columns->AddColumn(ColumnKind, _J("種類"), "", LVCFMT_LEFT, 40, 0xA0);
    columns->AddColumn(ColumnLayer, _J("層"), "", LVCFMT_LEFT, 30, 0xB1);
    columns->AddColumn(ColumnColor, _J("色"), "", LVCFMT_CENTER, 30, 0x80);
    columns->AddColumn(ColumnNodes, _J("参照番号(端子番号)"), "", LVCFMT_LEFT, 230, 0x4);
    const int order[] = {0, ColumnName, ColumnKind, ColumnLayer, ColumnColor, ColumnNodes};
    columns->SetColumnOrder(static_cast<int>(std::size(order)), order);
    m_list->ModifyGfxStyle(0, 0x000F);
    m_list->SetupColumns();

    m_colors.clear();
    const int count = m_pDoc ? static_cast<int>(m_pDoc->GetNets().size()) : 0;
    for (int i = 0; i < count; ++i) {
        const CNet* net = m_pDoc->GetNetAt(i);
        m_colors.push_back(net ? net->GetColor() : 0xFFFFFF);
        m_list->InsertItemData(i, i);
    }
    m_list->SetRowHeight(17, false);
    for (const int id : order)
        m_list->m_dwFormatColumns |= GfxColumnBit(id);
    m_list->m_pfnCellText = [this](int, int column, std::intptr_t data, std::string& out) {
        out = CellText(m_list->GetColumnSubItem(column), static_cast<int>(data));
    };
    m_list->m_pfnCellRequest = [this](QWidget*, LXHDREX* request) { return CellRequest(request); };
    m_list->setFocus();
}

std::string CDlgNetManager::CellText(int column, int index) const
{
    const CNet* net = m_pDoc ? m_pDoc->GetNetAt(index) : nullptr;
    if (!net)
        return {};
    switch (column) {
    case ColumnName:
        return net->GetNetName();
    case ColumnColor:
        return index < static_cast<int>(m_colors.size())
                   ? platform::Format("%06X",
                                      static_cast<unsigned>(m_colors[static_cast<std::size_t>(index)]))
                   : std::string();
    case ColumnNodes: {
        std::string text;
        for (int i = 0; i < net->GetNodeCount(); ++i) {
            std::string ref;
            std::string pin;
            net->GetNetNode(i, ref, pin);
            text += platform::Format("%s(%s), ", ref.c_str(), pin.c_str());
        }
        if (text.size() >= 2)
            text.resize(text.size() - 2);
        return text;
    }
    default:
        return {};
    }
}

int CDlgNetManager::CellRequest(LXHDREX* request) const
{
    if (request->nCode != GFXREQ_FORMAT && request->nCode != GFXREQ_ENDEDIT)
        return 0;
    if (request->nSubItem == ColumnColor) {
        const auto index = static_cast<std::size_t>(request->lParam);
        if (index >= m_colors.size())
            return 0;
        request->cFormat = GFXFMT_BKCOLOR;
        request->crBack = m_colors[index];
        return 1;
    }
    // Edits elsewhere are taken and kept nowhere.
    return request->nCode == GFXREQ_ENDEDIT ? 1 : 0;
}

void CDlgNetManager::OnCellClicked(int item, int column)
{
    if (m_list->GetColumnSubItem(column) == ColumnColor)
        ChooseColor(item);
}

void CDlgNetManager::ChooseColor(int row)
{
    if (row < 0 || row >= m_list->GetItemCount())
        return;
    const auto index = static_cast<std::size_t>(m_list->GetItemData(row));
    if (index >= m_colors.size())
        return;
    const std::optional<COLORREF> chosen = ChooseSolidColour(this, m_colors[index]);
    if (!chosen)
        return;
    m_colors[index] = *chosen;
    m_list->viewport()->update();
}

void CDlgNetManager::showEvent(QShowEvent* event)
{
    CItemDialog::showEvent(event);
    if (!m_sized) {
        // The size it opens with is the smallest it can be made.
        adjustSize();
        setMinimumSize(size());
        m_gripper->Create(this);
        m_sized = true;
    }
}

void CDlgNetManager::resizeEvent(QResizeEvent* event)
{
    CItemDialog::resizeEvent(event);
    m_gripper->CalcParentSize();
}

bool CDlgNetManager::Run(CVELTADoc* doc, std::vector<COLORREF>& colours, QWidget* parent)
{
    CDlgNetManager dialog(doc, parent);
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    colours = dialog.m_colors;
    return true;
}
