#include "dialogs/DlgPartManager.h"

#include "controls/GfxListCtrl.h"
#include "document/NumberText.h"
#include "model/items/Part.h"
#include "platform/J.h"
#include "platform/Numbers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>
#include <numbers>

namespace {

constexpr int kScaleBits = PART_SCALABLE | PART_SCALED;

// The mark bit that highlights a column, 0 for a column without one.
int MarkBit(int column)
{
    switch (column) {
    case CDlgPartManager::ColRef:
        return 0x200;
    case CDlgPartManager::ColX:
    case CDlgPartManager::ColY:
        return 0x80;
    case CDlgPartManager::ColAngle:
        return 0x40;
    case CDlgPartManager::ColSide:
        return 0x20;
    default:
        return 0;
    }
}

} // namespace

CDlgPartManager::CDlgPartManager(QWidget* parent)
    : CTableDialog(IDD, QString::fromUtf8("部品管理"), IdList, 192, true, parent)
{
    CDialogBuilder& b = Builder();
    b.Add(IdList, m_list, 0, 0, 13, 1);
    m_list->setMinimumSize(640, 320);
    b.OkCancel(0, 1, Qt::Vertical);
    b.Button(IdModify, QString::fromUtf8("修正"), 2, 1);
    const char* captions[5] = {"総数", "部品面", "半田面", "未配置", "端子数"};
    const int ids[5] = {IdTotal, IdComponentSide, IdSolderSide, IdUnplaced, IdTerminals};
    for (int i = 0; i < 5; ++i) {
        b.Label(QString::fromUtf8(captions[i]), 3 + 2 * i, 1);
        m_counters[i] = b.Add(ids[i], new QLineEdit(this), 4 + 2 * i, 1);
        m_counters[i]->setReadOnly(true);
        m_counters[i]->setAlignment(Qt::AlignRight);
        m_counters[i]->setFixedWidth(70);
        m_counters[i]->setFocusPolicy(Qt::NoFocus);
    }
    Grid()->setRowStretch(12, 1);

    connect(m_list, &CGfxListCtrl::cellClicked, this, &CDlgPartManager::OnClick);
    connect(m_list, &CGfxListCtrl::cellDoubleClicked, this, &CDlgPartManager::OnDoubleClick);
    connect(m_list, &CGfxListCtrl::cellActivated, this, &CDlgPartManager::OnActivated);
    connect(m_list, &CGfxListCtrl::columnClicked, this, &CDlgPartManager::OnHeaderClick);
    connect(FindControl<QPushButton>(this, IdModify), &QPushButton::clicked, this,
            &CDlgPartManager::OnModify);
}

CDlgPartManager::~CDlgPartManager()
{
    m_sheet.DeleteContents();
}

void CDlgPartManager::OnInitDialog()
{
    CGfxColumnManager* columns = m_list->CreateColumnManager();
    columns->AddColumn(0, "", "", LVCFMT_LEFT, 0, 0x180);
    columns->AddColumn(ColPlaced, "", "", LVCFMT_CENTER, 16, 0x350, 1, "Image 1");
    columns->AddColumn(ColName, _J("名称"), "", LVCFMT_LEFT, 80, 0xA0);
    columns->AddColumn(ColRef, _J("参照番号"), "", LVCFMT_LEFT, 50, 0xA0);
    columns->AddColumn(ColValue, _J("値"), "", LVCFMT_LEFT, 30, 0xA0);
    columns->AddColumn(ColTerminals, _J("端子"), "", LVCFMT_RIGHT, 40, 0xB0);
    columns->AddColumn(ColSide, _J("配置面"), "", LVCFMT_CENTER, 50, 0xA0);
    columns->AddColumn(ColX, "X", "", LVCFMT_RIGHT, 50, 0xB0);
    columns->AddColumn(ColY, "Y", "", LVCFMT_RIGHT, 50, 0xB0);
    columns->AddColumn(ColAngle, _J("角度"), "", LVCFMT_RIGHT, 45, 0xB0);
    columns->AddColumn(ColScale, _J("倍率"), "", LVCFMT_RIGHT, 20, 0xB0);
    columns->AddColumn(ColType, _J("タイプ"), "", LVCFMT_LEFT, 40, 0xA0);
    columns->AddColumn(ColKind, _J("種類"), "", LVCFMT_LEFT, 40, 0xA0);
    const int order[] = {0,    ColPlaced, ColName,  ColRef,   ColValue, ColTerminals, ColSide,
                         ColX, ColY,      ColAngle, ColScale, ColType,  ColKind};
    columns->SetColumnOrder(13, order);
    UseTableImages();
    m_list->ModifyGfxStyle(0, 0x0F);
    m_list->SetupColumns();
    // One row per part of the sheet the caller filled (in the board's part order).
    const int parts = m_sheet.GetCount(32913);
    for (int i = 0; i < parts; ++i)
        m_list->InsertItemData(i, i);
    m_list->SetRowHeight(17, false);
    m_list->m_pfnCellText = [this](int, int column, std::intptr_t data, std::string& out) {
        out.clear();
        if (CPart* part = m_sheet.GetPart(static_cast<int>(data)))
            out = CellText(m_list->GetColumnSubItem(column), *part);
    };
    m_list->m_pfnCellRequest = [this](QWidget*, LXHDREX* request) { return OnCellRequest(request); };
    FitColumns(true);
    UpdateData(false);
    m_list->setFocus();
}

bool CDlgPartManager::DoDataExchange(bool)
{
    m_nTotal = m_nComponentSide = m_nSolderSide = m_nTerminals = 0;
    for (POSITION pos = m_sheet.GetFirstPartPos(); pos;) {
        const CPart* part = m_sheet.GetNextPart(pos);
        ++m_nTotal;
        if (part->IsPlaced())
            ++(part->IsPartSide() ? m_nComponentSide : m_nSolderSide);
        m_nTerminals += part->GetTerCount();
    }
    m_nUnplaced = m_nTotal - m_nComponentSide - m_nSolderSide;
    const int values[5] = {m_nTotal, m_nComponentSide, m_nSolderSide, m_nUnplaced, m_nTerminals};
    for (int i = 0; i < 5; ++i)
        m_counters[i]->setText(QString::number(values[i]));
    return true;
}

std::string CDlgPartManager::CellText(int column, CPart& part)
{
    const int type = part.GetType();
    switch (column) {
    case ColPlaced:
        return part.IsPlaced() ? "1" : "0";
    case ColName:
        return part.GetPartName();
    case ColRef:
        return part.GetRefName();
    case ColValue:
        return part.GetValName();
    case ColTerminals:
        return platform::Format("%d", part.GetTerCount());
    case ColSide:
        return part.IsPartSide() ? _J("部品面") : _J("半田面");
    case ColX:
        return FormatNumber(part.GetOrg().x);
    case ColY:
        return FormatNumber(part.GetOrg().y);
    case ColAngle:
        return FormatNumber(part.GetAngle() * 180.0 / std::numbers::pi);
    case ColScale:
        return (type & kScaleBits) ? FormatNumber(part.GetScale() * 0.01) : std::string();
    case ColType: {
        static const std::string names[4] = {"DIP", "SMD", _J("エッジ"), _J("非回路")};
        return names[type & PART_MOUNT_MASK];
    }
    case ColKind: {
        static const std::string names[4] = {_J("未定義"), _J("モジュール"), _J("ディスク"), _J("コネクタ")};
        return names[(type & 0xC) >> 2];
    }
    default:
        return std::string();
    }
}

CPart* CDlgPartManager::RowPart(int item)
{
    if (item < 0 || item >= m_list->GetItemCount())
        return nullptr;
    return m_sheet.GetPart(static_cast<int>(m_list->GetItemData(item)));
}

int CDlgPartManager::OnCellRequest(LXHDREX* request)
{
    CPart* part = m_sheet.GetPart(static_cast<int>(request->lParam));
    if (!part)
        return 0;
    if (request->nCode == GFXREQ_ENDEDIT)
        return 1;
    if (request->nCode != GFXREQ_FORMAT)
        return 0;
    const int bit = MarkBit(request->nSubItem);
    if (!bit || !(part->GetType() & bit))
        return 0;
    request->cFormat = GFXFMT_BKCOLOR;
    request->crBack = kMarkColour;
    return 1;
}

void CDlgPartManager::TogglePlaced(int item)
{
    CPart* part = RowPart(item);
    if (!part)
        return;
    part->SetPlaced(part->IsPlaced() ? 0 : 1);
    m_list->viewport()->update();
    UpdateData(false);
}

void CDlgPartManager::OnClick(int item, int column)
{
    if (m_list->GetColumnSubItem(column) == ColPlaced)
        TogglePlaced(item);
}

void CDlgPartManager::OnDoubleClick(int, int column)
{
    if (m_list->GetColumnSubItem(column) != ColPlaced)
        return;
    const std::vector<int> rows = m_list->GetSelectedRows();
    if (rows.empty())
        return;
    TogglePlaced(rows.front());
    m_nChosen = static_cast<int>(m_list->GetItemData(rows.front()));
}

void CDlgPartManager::OnActivated(int column)
{
    OnDoubleClick(-1, column);
}

void CDlgPartManager::OnHeaderClick(int column)
{
    if (m_list->GetColumnSubItem(column) != ColPlaced)
        return;
    UpdateData(false);
    const int placed = m_nComponentSide == 0 && m_nSolderSide == 0 ? 1 : 0;
    for (POSITION pos = m_sheet.GetFirstPartPos(); pos;)
        m_sheet.GetNextPart(pos)->SetPlaced(placed);
    m_list->viewport()->update();
    UpdateData(false);
}

void CDlgPartManager::OnModify()
{
    if (m_list->GetItemCount() == 0)
        return;
    const std::vector<int> rows = m_list->GetSelectedRows();
    if (!rows.empty())
        m_nChosen = static_cast<int>(m_list->GetItemData(rows.front()));
}
