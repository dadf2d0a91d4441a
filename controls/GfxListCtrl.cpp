#include "controls/GfxListCtrl.h"

#include "controls/GfxComboEdit.h"
#include "controls/GfxHeaderCtrl.h"
#include "controls/GfxInPlaceCombo.h"
#include "controls/GfxInPlaceEdit.h"
#include "controls/GfxItemDelegate.h"
#include "controls/GfxListModel.h"
#include "controls/GfxListSorter.h"
#include "controls/GfxMenuStyle.h"
#include "controls/GfxToolTip.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

CGfxListCtrl::CGfxListCtrl(QWidget* parent, GfxFlavour flavour) : QTableView(parent), m_flavour(flavour)
{
    const QPalette& pal = palette();
    m_crSelection = pal.color(QPalette::Highlight);
    m_crRowBack = pal.color(QPalette::Base);
    m_crGroup = pal.color(QPalette::Button);
    m_fontNormal = font();
    m_fontUnderline = m_fontNormal;
    m_fontUnderline.setUnderline(true);
    m_fontBold = m_fontNormal;
    m_fontBold.setWeight(QFont::Bold);
    m_fontItalic = m_fontNormal;
    m_fontItalic.setItalic(true);

    m_pModel = new CGfxListModel(this);
    m_pHeader = new CGfxHeaderCtrl(this);
    setHorizontalHeader(m_pHeader);
    setModel(m_pModel);
    m_pDelegate = new CGfxItemDelegate(this);
    setItemDelegate(m_pDelegate);
    m_pTip = new CGfxToolTip(this);

    setShowGrid(false);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setMouseTracking(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    UpdateRowHeights();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_pHeader->SetDropCallback([this](int* from, int* to) { MoveColumn(from, to); });
    connect(m_pHeader, &QHeaderView::sectionResized, this, &CGfxListCtrl::OnSectionResized);
    connect(m_pHeader, &QHeaderView::sectionClicked, this, [this](int section) {
        if (!OnColumnClick(section) && m_flavour == GfxFlavour::Program)
            emit columnClicked(section);
    });
}

CGfxListCtrl::~CGfxListCtrl()
{
    // An edit still open when the grid goes away is dropped: its owner may be going away too.
    EndEditor(false);
}

void CGfxListCtrl::EndEditor(bool commit)
{
    QWidget* editor = m_pEditor;
    m_pEditor = nullptr;
    if (auto* edit = qobject_cast<CGfxInPlaceEdit*>(editor))
        edit->EndEdit(commit);
    else if (auto* combo = qobject_cast<CGfxInPlaceCombo*>(editor))
        combo->EndEdit(commit);
}

// ---- Columns ----

CGfxColumnManager* CGfxListCtrl::CreateColumnManager()
{
    m_pColumnManager = std::make_unique<CGfxColumnManager>();
    return m_pColumnManager.get();
}

bool CGfxListCtrl::SetupColumns()
{
    return m_pColumnManager && m_pColumnManager->InsertColumns(this);
}

void CGfxListCtrl::SetColumnLayout(const GfxColumnLayout& layout)
{
    m_bLayoutGuard = true;
    const GfxColumnMasks headerMasks{
        0, 0, 0, 0, 0, 0, layout.masks.sortState, layout.masks.noMark, layout.masks.fixedWidth};
    m_masks = layout.masks;
    m_masks.sortState = m_masks.noMark = m_masks.fixedWidth = 0;
    m_pModel->SetColumns(layout.columns);
    for (std::size_t i = 0; i < layout.columns.size(); ++i)
        m_pHeader->resizeSection(static_cast<int>(i), layout.columns[i].width);
    m_pHeader->m_dwSortState |= headerMasks.sortState;
    m_pHeader->m_dwNoMark |= headerMasks.noMark;
    m_pHeader->m_dwFixed |= headerMasks.fixedWidth;
    m_pHeader->ApplyFixedWidths();
    m_bLayoutGuard = false;
    viewport()->update();
}

int CGfxListCtrl::GetColumnCount() const
{
    return m_pModel->columnCount();
}

int CGfxListCtrl::GetColumnSubItem(int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return -1;
    return m_pModel->Columns()[static_cast<std::size_t>(column)].id;
}

int CGfxListCtrl::GetColumnWidth(int column) const
{
    return column >= 0 && column < GetColumnCount() ? m_pHeader->sectionSize(column) : 0;
}

void CGfxListCtrl::SetColumnWidth(int column, int width)
{
    if (column >= 0 && column < GetColumnCount())
        m_pHeader->resizeSection(column, width);
}

void CGfxListCtrl::OnSectionResized(int section, int oldSize, int newSize)
{
    if (m_bLayoutGuard)
        return;
    // Columns narrower than 16 pixels are refused, but for the first (the hidden column).
    if (section != 0 && newSize <= 15) {
        m_bLayoutGuard = true;
        m_pHeader->resizeSection(section, oldSize);
        m_bLayoutGuard = false;
        return;
    }
    if (section >= 0 && section < GetColumnCount())
        m_pModel->Columns()[static_cast<std::size_t>(section)].width = newSize;
}

void CGfxListCtrl::MoveColumn(int* from, int* to)
{
    setFocus();
    if (!from || !to || *from == 0)
        return;
    if (*to == 0)
        *to = 1;
    if (*from == *to || *from < 0 || *from >= GetColumnCount() || *to > GetColumnCount())
        return;
    CloseEditor();
    std::vector<int> widths;
    for (int c = 0; c < GetColumnCount(); ++c)
        widths.push_back(GetColumnWidth(c));
    const int id = GetColumnSubItem(*from);
    m_pModel->MoveColumn(*from, *to);
    const int moved = *to > *from ? *to - 1 : *to;
    const int width = widths[static_cast<std::size_t>(*from)];
    widths.erase(widths.begin() + *from);
    widths.insert(widths.begin() + moved, width);
    m_bLayoutGuard = true;
    for (std::size_t c = 0; c < widths.size(); ++c)
        m_pHeader->resizeSection(static_cast<int>(c), widths[c]);
    m_bLayoutGuard = false;
    m_pHeader->ApplyFixedWidths();
    // The moved column shows the owner's texts again.
    for (GfxListRow& row : m_pModel->Rows())
        std::erase_if(row.texts, [id](const auto& t) { return t.first == id; });
    viewport()->update();
}

// ---- Style and look ----

void CGfxListCtrl::ModifyGfxStyle(std::uint32_t remove, std::uint32_t add)
{
    m_dwGfxStyle = (m_dwGfxStyle & ~remove) | add;
    const Qt::ScrollBarPolicy bars =
        (m_dwGfxStyle & GFXLS_BARS) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    setVerticalScrollBarPolicy(bars);
    setHorizontalScrollBarPolicy(bars);
    viewport()->update();
}

void CGfxListCtrl::SetRowHeight(int height, bool categoryRows)
{
    (categoryRows ? m_nCategoryRowHeight : m_nRowHeight) = std::max(height, 1);
    UpdateRowHeights();
}

void CGfxListCtrl::UpdateRowHeights()
{
    const int h = m_pCategoryManager ? m_nCategoryRowHeight : m_nRowHeight + m_nFooterHeight;
    verticalHeader()->setDefaultSectionSize(h);
    viewport()->update();
}

void CGfxListCtrl::SetHeaderImageList(const std::vector<QPixmap>* images)
{
    m_pHeader->SetImageList(images);
    m_pHeader->viewport()->update();
}

void CGfxListCtrl::SetSingleSelection(bool single)
{
    setSelectionMode(single ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
}

// ---- Rows ----

int CGfxListCtrl::RowsCount() const
{
    return static_cast<int>(m_pModel->Rows().size());
}
int CGfxListCtrl::GetItemCount() const
{
    return RowsCount();
}

int CGfxListCtrl::InsertItemData(int item, std::intptr_t data)
{
    if (m_pCategoryManager) {
        m_pModel->BeginReset();
        const int row = m_pCategoryManager->InsertItem(m_pModel->Rows(), data);
        m_pModel->EndReset();
        return row;
    }
    item = std::clamp(item, 0, RowsCount());
    m_pModel->InsertRow(item, GfxListRow{data, -1, {}});
    return item;
}

void CGfxListCtrl::DeleteItemData(int item, std::intptr_t data)
{
    CloseEditor(); // its row may go
    if (!m_pCategoryManager) {
        m_pModel->RemoveRow(item);
        return;
    }
    for (int r = RowsCount() - 1; r >= 0; --r) {
        const GfxListRow& row = m_pModel->Rows()[static_cast<std::size_t>(r)];
        if (row.group < 0 && row.data == data)
            m_pModel->RemoveRow(r);
    }
}

void CGfxListCtrl::DeleteAllItems()
{
    CloseEditor();
    m_pModel->BeginReset();
    m_pModel->Rows().clear();
    m_pModel->EndReset();
}

std::intptr_t CGfxListCtrl::GetItemData(int item) const
{
    return item >= 0 && item < RowsCount() ? m_pModel->Rows()[static_cast<std::size_t>(item)].data : 0;
}

bool CGfxListCtrl::IsGroupRow(int item) const
{
    return m_pCategoryManager && item >= 0 && item < RowsCount() &&
           m_pModel->Rows()[static_cast<std::size_t>(item)].group >= 0;
}

int CGfxListCtrl::GetFocusedRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void CGfxListCtrl::SetFocusedRow(int item, bool select)
{
    if (item < 0 || item >= RowsCount() || GetColumnCount() == 0)
        return;
    const QModelIndex index = m_pModel->index(item, std::max(m_nFocusColumn, 0));
    selectionModel()->setCurrentIndex(index, select ? QItemSelectionModel::Select | QItemSelectionModel::Rows
                                                    : QItemSelectionModel::NoUpdate);
    viewport()->update();
}

std::vector<int> CGfxListCtrl::GetSelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CGfxListCtrl::SetFocusedColumn(int column)
{
    if (column >= -1 && column < GetColumnCount()) {
        m_nFocusColumn = column;
        viewport()->update();
    }
}

// ---- Cells ----

void CGfxListCtrl::GetCellText(int item, int column, std::string& out) const
{
    out.clear();
    if (item < 0 || item >= RowsCount() || column < 0 || column >= GetColumnCount())
        return;
    const GfxListRow& row = m_pModel->Rows()[static_cast<std::size_t>(item)];
    if (row.group >= 0) {
        if (m_pCategoryManager && row.group < static_cast<int>(m_pCategoryManager->m_groups.size()) &&
            column == 0)
            out = CGfxCategoryManager::Caption(
                m_pCategoryManager->m_groups[static_cast<std::size_t>(row.group)]);
        return;
    }
    const int id = GetColumnSubItem(column);
    for (const auto& [textId, text] : row.texts)
        if (textId == id) {
            out = text;
            return;
        }
    if (m_pfnCellText)
        m_pfnCellText(item, column, row.data, out);
    else
        emit const_cast<CGfxListCtrl*>(this)->cellTextRequested(item, column, row.data, &out);
}

bool CGfxListCtrl::GetCellRect(int item, int column, QRect* rect) const
{
    if (!rect || item < 0 || item >= RowsCount() || column < 0 || column >= GetColumnCount() ||
        GetColumnWidth(column) <= 4)
        return false;
    QRect r = visualRect(m_pModel->index(item, column));
    r.setBottom(r.bottom() - m_nFooterHeight - 1);
    *rect = r;
    return true;
}

bool CGfxListCtrl::HitTestCell(const QPoint& pos, int* item, int* column) const
{
    const int r = rowAt(pos.y()), c = columnAt(pos.x());
    if (r < 0 || c < 0)
        return false;
    if (item)
        *item = r;
    if (column)
        *column = c;
    return true;
}

void CGfxListCtrl::ForEachRowOf(int item, std::intptr_t data, const std::function<void(GfxListRow&)>& fn)
{
    // With groups an item may stand in several rows; each shows the same texts.
    for (int r = 0; r < RowsCount(); ++r) {
        GfxListRow& row = m_pModel->Rows()[static_cast<std::size_t>(r)];
        if (m_pCategoryManager ? (row.group < 0 && row.data == data) : r == item) {
            fn(row);
            m_pModel->RowChanged(r);
        }
    }
}

void CGfxListCtrl::StoreCellText(int item, int column, std::intptr_t data, const std::string& text)
{
    const int id = GetColumnSubItem(column);
    if (id < 0)
        return;
    ForEachRowOf(item, data, [&](GfxListRow& row) {
        std::erase_if(row.texts, [id](const auto& t) { return t.first == id; });
        row.texts.emplace_back(id, text);
    });
}

void CGfxListCtrl::ResetCellText(int item, int column, std::intptr_t data)
{
    const int id = GetColumnSubItem(column);
    ForEachRowOf(item, data, [id](GfxListRow& row) {
        std::erase_if(row.texts, [id](const auto& t) { return t.first == id; });
    });
}

int CGfxListCtrl::RequestCell(LXHDREX* request) const
{
    if (!request)
        return 0;
    request->nCtrlId = m_nCtrlId != -1 ? m_nCtrlId : objectName().toInt();
    if (m_pfnCellRequest)
        return m_pfnCellRequest(parentWidget(), request);
    int result = 0;
    emit const_cast<CGfxListCtrl*>(this)->cellRequest(request, &result);
    return result;
}

bool CGfxListCtrl::FormatCell(int item, int column, LXHDREX& out) const
{
    if (!(m_dwGfxStyle & GFXLS_FORMAT) || IsGroupRow(item))
        return false;
    if (m_dwGfxStyle & GFXLS_ROWFORMAT) {
        // One request per row, for its first column; the answer holds for the whole row.
        if (m_nRowFormatRow != item) {
            m_nRowFormatRow = item;
            m_rowFormat = MakeRequest(GFXREQ_FORMAT, item, 0);
            m_bRowFormatValid = RequestCell(&m_rowFormat) != 0;
        }
        out = m_rowFormat;
        return m_bRowFormatValid;
    }
    const int id = GetColumnSubItem(column);
    if (m_dwFormatColumns != 0 && !(m_dwFormatColumns & GfxColumnBit(id)))
        return false;
    out = MakeRequest(GFXREQ_FORMAT, item, column);
    return RequestCell(&out) != 0;
}

void CGfxListCtrl::ApplyFormatFont(const LXHDREX& format, QFont& font) const
{
    if ((format.cFormat & GFXFMT_FONT) && format.font)
        font = *format.font;
    else if (format.cFormat & GFXFMT_BOLD)
        font = m_fontBold;
    else if (format.cFormat & GFXFMT_ITALIC)
        font = m_fontItalic;
    else if (format.cFormat & GFXFMT_UNDERLINE)
        font = m_fontUnderline;
    else
        font = m_fontNormal;
}

// ---- Categories ----

void CGfxListCtrl::EnableCategories(bool on)
{
    setFocus();
    CloseEditor();
    if (on) {
        if (!m_pCategoryManager)
            m_pCategoryManager = std::make_unique<CGfxCategoryManager>();
        m_pCategoryManager->m_pfnFill = m_pfnCategoryFill;
        m_pCategoryManager->m_pfnFillRecordset = m_pfnCategoryFill ? nullptr : m_pfnCategoryFillRecordset;
        if (GetColumnCount() > 0 && GetColumnWidth(0) == 0 && GetColumnSubItem(0) == 0) {
            m_bLayoutGuard = true;
            m_pHeader->resizeSection(0, 18); // the gutter
            m_bLayoutGuard = false;
        }
        m_pModel->BeginReset();
        m_pCategoryManager->Build(m_pModel->Rows());
        m_pModel->EndReset();
    } else if (m_pCategoryManager) {
        if (GetColumnCount() > 0 && GetColumnSubItem(0) == 0 && GetColumnWidth(0) == 18) {
            m_bLayoutGuard = true;
            m_pHeader->resizeSection(0, 0);
            m_bLayoutGuard = false;
        }
        m_pModel->BeginReset();
        m_pCategoryManager->RemoveGroups(m_pModel->Rows());
        m_pModel->EndReset();
        m_pCategoryManager.reset();
    }
    UpdateRowHeights();
    setFocus();
}

void CGfxListCtrl::ToggleGroup(int item)
{
    if (!m_pCategoryManager || !IsGroupRow(item))
        return;
    m_pModel->BeginReset();
    m_pCategoryManager->Toggle(item, m_pModel->Rows());
    m_pModel->EndReset();
    SetFocusedRow(item);
}

// ---- Sorting ----

bool CGfxListCtrl::OnColumnClick(int column)
{
    if (!(m_dwGfxStyle & GFXLS_SORT) || column < 0 || column >= GetColumnCount())
        return false;
    const int id = GetColumnSubItem(column);
    if (m_pColumnManager) {
        const int def = m_pColumnManager->FindColumn(id);
        if (def >= 0 &&
            !(m_pColumnManager->GetColumns()[static_cast<std::size_t>(def)].flags & GFXCOL_SORTABLE))
            return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CloseEditor();
    if (m_pCategoryManager) {
        m_pModel->BeginReset();
        m_pCategoryManager->RemoveGroups(m_pModel->Rows());
        m_pModel->EndReset();
    }
    const bool ascending = !m_pHeader->IsSortAscending(column);
    m_pHeader->SetSortColumn(column, ascending);
    {
        CGfxListSorter sorter(
            RowsCount(),
            [&](int row) {
                std::string text;
                GetCellText(row, column, text);
                return text;
            },
            (m_masks.intSort & GfxColumnBit(id)) != 0, (m_masks.realSort & GfxColumnBit(id)) != 0);
        m_pModel->Reorder(sorter.Sort(ascending));
    }
    if (m_pCategoryManager) {
        m_pModel->BeginReset();
        m_pCategoryManager->Build(m_pModel->Rows());
        m_pModel->EndReset();
    } else {
        const std::vector<int> selected = GetSelectedRows();
        if (!selected.empty())
            scrollTo(m_pModel->index(selected.front(), std::max(m_nFocusColumn, 0)));
    }
    viewport()->update();
    QApplication::restoreOverrideCursor();
    return true;
}

// ---- Editing ----

std::uint32_t CGfxListCtrl::EditorKind(int column) const
{
    const int id = GetColumnSubItem(column);
    if (id < 0)
        return 0;
    const std::uint32_t bit = GfxColumnBit(id);
    if (m_masks.textEdit & bit)
        return GFXCOL_TEXTEDIT;
    if (m_masks.dropList & bit)
        return GFXCOL_DROPLIST;
    if (m_masks.dropEdit & bit)
        return GFXCOL_DROPEDIT;
    return 0;
}

bool CGfxListCtrl::EnsureColumnVisible(int column)
{
    if (column < 0 || column >= GetColumnCount())
        return false;
    const int left = columnViewportPosition(column);
    const int right = left + GetColumnWidth(column);
    QScrollBar* bar = horizontalScrollBar();
    if (left < 0)
        bar->setValue(bar->value() + left);
    else if (right > viewport()->width())
        bar->setValue(bar->value() + std::min(right - viewport()->width(), left));
    return GetColumnWidth(column) > 4;
}

bool CGfxListCtrl::EditCell(int item, int column, bool clickThrough, QPoint clickPos)
{
    switch (EditorKind(column)) {
    case GFXCOL_TEXTEDIT:
        return EditCellText(item, column, clickThrough, clickPos) != nullptr;
    case GFXCOL_DROPLIST:
        return EditCellCombo(item, column, false, clickThrough, clickPos) != nullptr;
    case GFXCOL_DROPEDIT:
        return EditCellCombo(item, column, true, clickThrough, clickPos) != nullptr;
    default:
        return false;
    }
}

void CGfxListCtrl::CloseEditor()
{
    EndEditor(true);
}

void CGfxListCtrl::OpenEditorWidget(QWidget* editor, const QRect& rect)
{
    CloseEditor();
    m_pTip->Hide();
    editor->setGeometry(rect);
    editor->show();
    editor->raise();
    editor->setFocus();
    m_pEditor = editor;
}

LXHDREX CGfxListCtrl::MakeRequest(int code, int item, int column) const
{
    LXHDREX request;
    request.nCode = code;
    request.nItem = item;
    request.nSubItem = GetColumnSubItem(column);
    request.lParam = GetItemData(item);
    return request;
}

bool CGfxListCtrl::EditorRect(int item, int column, bool toCellEdge, QRect* rect)
{
    if (item < 0 || item >= RowsCount() || column < 0 || column >= GetColumnCount())
        return false;
    scrollTo(m_pModel->index(item, column));
    if (!EnsureColumnVisible(column))
        return false;
    const QRect cell = visualRect(m_pModel->index(item, column));
    const int left = cell.left() + 6;
    const int right = std::min(toCellEdge ? cell.right() + 1 : left + cell.width() - 12, viewport()->width());
    *rect = QRect(left, cell.top() + 1, std::max(right - left, 1),
                  std::max(rowHeight(item) - m_nFooterHeight - 3, 1));
    return true;
}

std::optional<QColor> CGfxListCtrl::EditorFormat(int item, int column, QFont& font) const
{
    font = m_fontNormal;
    if (!(m_dwGfxStyle & GFXLS_FORMAT))
        return std::nullopt;
    LXHDREX answer = MakeRequest(GFXREQ_FORMAT, item, column);
    if (!RequestCell(&answer))
        return std::nullopt;
    ApplyFormatFont(answer, font);
    if (answer.cFormat & GFXFMT_TEXTCOLOR)
        return ToQColor(answer.crText);
    return std::nullopt;
}

namespace {

// The click that opened an editor goes on into it: the caret lands where the user clicked.
void PlaceCaret(QLineEdit* edit, QPoint local)
{
    edit->deselect();
    edit->setCursorPosition(edit->cursorPositionAt(local));
}

} // namespace

CGfxInPlaceEdit* CGfxListCtrl::EditCellText(int item, int column, bool clickThrough, QPoint clickPos)
{
    QRect rect;
    if (!EditorRect(item, column, false, &rect))
        return nullptr;
    std::string text;
    GetCellText(item, column, text);
    auto* edit = new CGfxInPlaceEdit(this, item, column, platform::Cp932ToQString(text));
    const int format = m_pModel->Columns()[static_cast<std::size_t>(column)].format;
    edit->setAlignment(format == LVCFMT_RIGHT    ? Qt::AlignRight
                       : format == LVCFMT_CENTER ? Qt::AlignHCenter
                                                 : Qt::AlignLeft);
    QFont font;
    if (const auto colour = EditorFormat(item, column, font)) {
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Text, *colour);
        edit->setPalette(pal);
    }
    edit->setFont(font);
    OpenEditorWidget(edit, rect);
    edit->selectAll();
    if (clickThrough)
        PlaceCaret(edit, clickPos - rect.topLeft());
    return edit;
}

CGfxInPlaceCombo* CGfxListCtrl::EditCellCombo(int item, int column, bool editable, bool clickThrough,
                                              QPoint clickPos)
{
    QRect rect;
    if (!EditorRect(item, column, true, &rect))
        return nullptr;
    std::vector<std::string> choices;
    LXHDREX request = MakeRequest(GFXREQ_CHOICES, item, column);
    request.nWord = 128;
    request.pChoices = &choices;
    if (RequestCell(&request) == 0)
        return nullptr;
    QStringList list;
    for (const std::string& c : choices)
        list.append(platform::Cp932ToQString(c));

    std::string text;
    GetCellText(item, column, text);
    auto* combo = new CGfxInPlaceCombo(this, item, column, platform::Cp932ToQString(text), list, editable,
                                       !m_pCategoryManager);
    QFont font;
    if (const auto colour = EditorFormat(item, column, font))
        combo->SetTextColor(*colour);
    combo->setFont(font);
    OpenEditorWidget(combo, rect);
    if (clickThrough) {
        // Onto the button the click drops the list down; into typed text it places the caret.
        const QPoint local = clickPos - rect.topLeft();
        if (combo->ButtonRect().contains(local))
            combo->DropDown();
        else if (QLineEdit* edit = combo->EditPart())
            PlaceCaret(edit, local);
    }
    return combo;
}

void CGfxListCtrl::OnEditNavigate(int code, int item, int column)
{
    const int rows = RowsCount(), columns = GetColumnCount();
    if (columns == 0 || rows == 0)
        return;
    if (code == GFXNAV_NEXT || code == GFXNAV_PREV) {
        const int step = code == GFXNAV_NEXT ? 1 : -1;
        int r = item, c = column;
        for (;;) {
            c += step;
            if (c >= columns) {
                c = 0;
                ++r;
            } else if (c < 0) {
                c = columns - 1;
                --r;
            }
            if (r < 0 || r >= rows)
                return; // past the last editable cell: the editing ends
            if (EditorKind(c))
                break;
        }
        m_nFocusColumn = c;
        const std::vector<int> selected = GetSelectedRows();
        if (selected.size() == 1 && selected.front() != r)
            selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(m_pModel->index(r, c),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        viewport()->update();
        if (!IsGroupRow(r))
            EditCell(r, c, false);
        return;
    }
    const int focused = GetFocusedRow();
    switch (code) {
    case GFXNAV_LEFT:
        if (m_nFocusColumn > 0)
            --m_nFocusColumn;
        break;
    case GFXNAV_RIGHT:
        if (m_nFocusColumn < columns - 1)
            ++m_nFocusColumn;
        break;
    case GFXNAV_UP:
    case GFXNAV_DOWN: {
        const int target = focused + (code == GFXNAV_UP ? -1 : 1);
        if (focused < 0 || target < 0 || target >= rows)
            break;
        const bool single = GetSelectedRows().size() == 1;
        const QModelIndex index = m_pModel->index(target, std::max(m_nFocusColumn, 0));
        selectionModel()->setCurrentIndex(
            index, single ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                          : QItemSelectionModel::Select | QItemSelectionModel::Rows);
        scrollTo(index);
        break;
    }
    default:
        return;
    }
    EnsureColumnVisible(m_nFocusColumn);
    viewport()->update();
}

void CGfxListCtrl::OnEndLabelEdit(int item, int column, const std::string* text)
{
    if (!text)
        return;
    std::vector<int> rows = {item};
    if (m_dwGfxStyle & GFXLS_MULTIEDIT) {
        const std::vector<int> selected = GetSelectedRows();
        if (selected.size() > 1)
            rows = selected;
    }
    for (int r : rows) {
        LXHDREX request = MakeRequest(GFXREQ_ENDEDIT, r, column);
        request.strText = *text;
        if (RequestCell(&request))
            StoreCellText(r, column, request.lParam, request.strText);
        else
            ResetCellText(r, column, request.lParam);
    }
    setFocus();
}

void CGfxListCtrl::EditorDoubleClicked()
{
    emit cellDoubleClicked(GetFocusedRow(), m_nFocusColumn);
}

void CGfxListCtrl::Activate()
{
    emit cellActivated(m_nFocusColumn);
}

// ---- Events ----

void CGfxListCtrl::mousePressEvent(QMouseEvent* event)
{
    m_pTip->Hide();
    setFocus();
    const QPoint pos = event->position().toPoint();
    int item = -1, column = -1;
    const bool hit = HitTestCell(pos, &item, &column);
    if (event->button() == Qt::RightButton) {
        QTableView::mousePressEvent(event);
        emit cellRightClicked(hit ? item : -1, hit ? column : -1);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QTableView::mousePressEvent(event);
        return;
    }
    if (!hit) {
        QTableView::mousePressEvent(event);
        emit cellClicked(-1, -1);
        return;
    }
    if (IsGroupRow(item) && column == 0) {
        ToggleGroup(item);
        return;
    }
    const int focused = GetFocusedRow();
    if (column != m_nFocusColumn) {
        m_nFocusColumn = column;
        viewport()->update();
    }
    if (item == focused && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) &&
        !IsGroupRow(item) && EditCell(item, column, true, pos))
        return; // a second click on the focused row edits the cell
    QTableView::mousePressEvent(event);
    emit cellClicked(item, column);
}

void CGfxListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    setFocus();
    int item = -1, column = -1;
    const bool hit = HitTestCell(event->position().toPoint(), &item, &column);
    if (hit && IsGroupRow(item) && column != 0) {
        ToggleGroup(item);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit cellDoubleClicked(hit ? item : -1, hit ? column : -1);
}

void CGfxListCtrl::UpdateTip(const QPoint& pos)
{
    int item = -1, column = -1;
    if (!HitTestCell(pos, &item, &column) || IsGroupRow(item) || (m_pCategoryManager && column == 0) ||
        ((m_dwGfxStyle & GFXLS_IMAGES) && (m_masks.image & GfxColumnBit(GetColumnSubItem(column))))) {
        m_pTip->Hide();
        m_nTipRow = m_nTipColumn = -1;
        return;
    }
    if (item == m_nTipRow && column == m_nTipColumn && m_pTip->isVisible())
        return;
    m_pTip->Hide();
    m_nTipRow = item;
    m_nTipColumn = column;
    QRect cell = visualRect(m_pModel->index(item, column));
    cell.setHeight(cell.height() - m_nFooterHeight);
    cell.setRight(std::min(cell.right(), viewport()->width() - 1));
    cell.setTop(cell.top() - 1);
    std::string text;
    GetCellText(item, column, text);
    const QRect global(viewport()->mapToGlobal(cell.topLeft()), cell.size());
    m_pTip->Show(global, platform::Cp932ToQString(text), column > 0 ? 5 : 2);
}

void CGfxListCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if ((m_dwGfxStyle & GFXLS_TIPS) && event->buttons() == Qt::NoButton &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) && hasFocus())
        UpdateTip(event->position().toPoint());
    QTableView::mouseMoveEvent(event);
}

bool CGfxListCtrl::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Leave:
    case QEvent::Wheel:
        m_pTip->Hide();
        m_nTipRow = m_nTipColumn = -1;
        break;
    default:
        break;
    }
    return QTableView::viewportEvent(event);
}

void CGfxListCtrl::focusOutEvent(QFocusEvent* event)
{
    m_pTip->Hide();
    QTableView::focusOutEvent(event);
}

void CGfxListCtrl::scrollContentsBy(int dx, int dy)
{
    m_pTip->Hide();
    QTableView::scrollContentsBy(dx, dy);
}

void CGfxListCtrl::keyPressEvent(QKeyEvent* event)
{
    m_pTip->Hide();
    const int key = event->key();
    const std::vector<int> selected = GetSelectedRows();
    const int row = selected.empty() ? -1 : selected.front();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (m_dwGfxStyle & (GFXLS_ACTIVATE | GFXLS_ENTEREDIT))) {
        if (IsGroupRow(row)) {
            ToggleGroup(row);
            return;
        }
        if (row >= 0 && m_nFocusColumn >= 0 && (m_dwGfxStyle & GFXLS_ENTEREDIT) &&
            EditorKind(m_nFocusColumn)) {
            EditCell(row, m_nFocusColumn, false);
            return;
        }
        if (m_dwGfxStyle & GFXLS_ACTIVATE) {
            Activate();
            return;
        }
    }
    if (key == Qt::Key_Space && (m_dwGfxStyle & GFXLS_ACTIVATE)) {
        if (m_flavour == GfxFlavour::Library ||
            (row >= 0 && m_nFocusColumn >= 0 && !EditorKind(m_nFocusColumn))) {
            Activate();
            return;
        }
    }
    if ((key == Qt::Key_Left || key == Qt::Key_Right) && GetFocusedRow() >= 0) {
        const int column = m_nFocusColumn + (key == Qt::Key_Left ? -1 : 1);
        if (column >= 0 && column < GetColumnCount() && (key == Qt::Key_Right || m_nFocusColumn > 0)) {
            m_nFocusColumn = column;
            EnsureColumnVisible(column);
            viewport()->update();
        }
        return;
    }
    QTableView::keyPressEvent(event);
}

// ---- Painting ----

void CGfxListCtrl::paintEvent(QPaintEvent* event)
{
    m_nRowFormatRow = -1;
    QTableView::paintEvent(event);
    QPainter painter(viewport());
    const int rows = RowsCount();
    if (rows == 0 || GetColumnCount() == 0)
        return;
    const int first = std::max(rowAt(event->rect().top()), 0);
    int last = rowAt(event->rect().bottom());
    if (last < 0)
        last = rows - 1;
    const int width = m_pHeader->length() - horizontalOffset();
    for (int r = first; r <= last; ++r) {
        const int top = rowViewportPosition(r);
        const QRect rowRect(-horizontalOffset(), top, std::max(width + horizontalOffset(), 0),
                            rowHeight(r) - m_nFooterHeight);
        if (IsGroupRow(r))
            DrawGroupRow(painter, r, rowRect);
        else
            DrawRowExtras(painter, r, rowRect);
    }
}

void CGfxListCtrl::DrawRowExtras(QPainter& p, int item, const QRect& rowRect) const
{
    const bool selected = selectionModel()->isSelected(m_pModel->index(item, 0));
    QRect row = rowRect;
    // Rows reach the client's right edge.
    if ((m_dwGfxStyle & GFXLS_FULLROW) && row.right() < viewport()->width() - 1) {
        const QRect strip(row.right() + 1, row.top(), viewport()->width() - row.right() - 1, row.height());
        p.fillRect(strip, selected ? m_crSelection : m_crRowBack);
        row.setRight(viewport()->width() - 1);
    }
    const QColor grey(128, 128, 128);
    if (m_nFooterHeight > 0) {
        CGfxCellDrawRequest request;
        request.nCode = GFXREQ_FOOTER;
        request.nItem = item;
        request.lParam = GetItemData(item);
        request.rect = QRect(row.left(), row.bottom() + 1, row.width(), m_nFooterHeight);
        request.pDC = &p;
        p.fillRect(request.rect, m_crRowBack);
        p.save();
        p.setFont(m_fontNormal);
        RequestCell(&request);
        p.restore();
        p.setPen(grey);
        p.drawLine(request.rect.bottomLeft(), request.rect.bottomRight());
    }
    bool handled = false;
    if (m_dwGfxStyle & GFXLS_ROWDRAW) {
        CGfxCellDrawRequest request;
        request.nCode = GFXREQ_DRAWROW;
        request.nItem = item;
        request.lParam = GetItemData(item);
        request.rect = row;
        request.pDC = &p;
        p.save();
        handled = RequestCell(&request) != 0;
        p.restore();
    }
    if (!handled && (m_dwGfxStyle & GFXLS_HGRID)) {
        const int left = m_pCategoryManager ? row.left() + GetColumnWidth(0) : row.left();
        p.setPen(grey);
        p.drawLine(left, row.bottom(), row.right(), row.bottom());
    }
    if (item == GetFocusedRow() && hasFocus()) {
        QRect frame = row.adjusted(0, 0, -1, -1);
        if (m_pCategoryManager)
            frame.setLeft(row.left() + GetColumnWidth(0));
        QPen pen(Qt::black, 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(frame);
    }
}

void CGfxListCtrl::DrawGroupRow(QPainter& p, int item, const QRect& rowRect) const
{
    const bool selected = selectionModel()->isSelected(m_pModel->index(item, 0));
    QRect row = rowRect;
    row.setRight(std::max(row.right(), viewport()->width() - 1));
    p.fillRect(row, selected ? m_crSelection : m_crGroup);
    const int g = m_pModel->Rows()[static_cast<std::size_t>(item)].group;
    const GfxCategoryGroup& group = m_pCategoryManager->m_groups[static_cast<std::size_t>(g)];
    // A 12 by 12 box with a plus (collapsed) or minus (expanded).
    const QRect box(row.left() + 3, row.top() + (row.height() - 12) / 2, 12, 12);
    p.fillRect(box, QColor(192, 192, 192));
    p.setPen(Qt::white);
    p.drawLine(box.topLeft(), box.topRight());
    p.drawLine(box.topLeft(), box.bottomLeft());
    p.setPen(Qt::black);
    p.drawLine(box.bottomLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomRight());
    p.drawLine(box.left() + 2, box.top() + 5, box.left() + 9, box.top() + 5);
    if (!group.expanded)
        p.drawLine(box.left() + 5, box.top() + 2, box.left() + 5, box.top() + 9);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(row.left() + (group.expanded ? 16 : 0), row.bottom(), row.right(), row.bottom());
    p.setPen(selected ? palette().color(QPalette::HighlightedText) : palette().color(QPalette::ButtonText));
    p.setFont(m_fontNormal);
    p.drawText(row.adjusted(20, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               platform::Cp932ToQString(CGfxCategoryManager::Caption(group)));
}
