#include "dialogs/NumberedTableDialog.h"

#include "controls/GfxListCtrl.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QFontMetrics>

#include <algorithm>

CNumberedTableDialog::CNumberedTableDialog(int templateId, const QString& caption, int listId,
                                           QWidget* parent)
    : CTableDialog(templateId, caption, listId, 0, false, parent)
{
    // The grid keeps its distance to the dialog's edges as the dialog is resized.
    setSizeGripEnabled(true);
}

CNumberedTableDialog::~CNumberedTableDialog() = default;

void CNumberedTableDialog::AddGrid(int row, int columnSpan)
{
    Builder().Add(m_list->m_nCtrlId, m_list, row, 0, 1, columnSpan);
    Grid()->setRowStretch(row, 1);
    connect(m_list, &CGfxListCtrl::cellRightClicked, this, [this](int item, int) { OnRightClick(item); });
    connect(m_list, &CGfxListCtrl::cellDoubleClicked, this, &CNumberedTableDialog::OnDoubleClick);
}

void CNumberedTableDialog::SetupGrid(const std::vector<Column>& columns, const std::vector<int>& order,
                                     int rows, std::uint32_t formatColumns)
{
    CGfxColumnManager* manager = m_list->CreateColumnManager();
    // A visible column is at least as wide as its caption and a three-digit number in the grid's
    // font, whose Japanese glyphs are wider than the widths were laid out for.
    const QFontMetrics metrics(m_list->font());
    const int least = metrics.horizontalAdvance(QStringLiteral("000")) + 12;
    int total = 0;
    for (const Column& c : columns) {
        const QString caption = QString::fromUtf8(c.caption);
        const int width =
            c.width > 0 ? std::max({c.width, least, metrics.horizontalAdvance(caption) + 16}) : c.width;
        total += width;
        manager->AddColumn(c.id, platform::QStringToCp932(caption).value_or(""), "", c.format, width,
                           c.flags);
    }
    manager->SetColumnOrder(static_cast<int>(order.size()), order.data());
    m_list->ModifyGfxStyle(0, 0x0F);
    m_list->SetupColumns();
    for (int row = 0; row < rows; ++row)
        m_list->InsertItemData(row, row);
    m_list->SetRowHeight(17, false);
    m_list->m_dwFormatColumns = formatColumns;
    m_list->m_pfnCellText = [this](int, int column, std::intptr_t data, std::string& out) {
        out.clear();
        CellText(m_list->GetColumnSubItem(column), static_cast<int>(data), out);
    };
    m_list->m_pfnCellRequest = [this](QWidget*, LXHDREX* request) {
        if (request->nCode == GFXREQ_FORMAT) {
            int handled = CellRequest(request);
            if (static_cast<int>(request->lParam) == m_nCurrent) {
                request->cFormat |= GFXFMT_TEXTCOLOR;
                request->crText = RGB(255, 0, 0);
                handled = 1;
            }
            return handled;
        }
        return CellRequest(request);
    };
    m_list->setMinimumSize(total + 2 * m_list->frameWidth() + 24, 300);
}

void CNumberedTableDialog::MakeCurrent(int item)
{
    if (item < 0 || item >= m_list->GetItemCount())
        return;
    m_nCurrent = static_cast<int>(m_list->GetItemData(item));
    m_list->viewport()->update();
}

void CNumberedTableDialog::OnRightClick(int item)
{
    MakeCurrent(item);
}

void CNumberedTableDialog::OnDoubleClick(int item, int /*column*/)
{
    if (!(QApplication::keyboardModifiers() & Qt::ShiftModifier))
        return;
    if (item >= 0)
        MakeCurrent(m_list->GetFocusedRow());
}
