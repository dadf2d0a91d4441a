#pragma once
// The table control of the program's and the library's dialogs. It holds no table data: every row
// carries one data word of the owner, every cell text is asked of the owner when it is painted,
// and formats, drop-down choices and edited values pass through one request record (LXHDREX)
// that the owner answers. Rows sort on keys built once per header click; cells are edited in
// place by editors the grid opens and places itself.

#include "controls/GfxCategoryManager.h"
#include "controls/GfxColumnManager.h"
#include "controls/LXHDREX.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QTableView>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CGfxHeaderCtrl;
class CGfxListModel;
class CGfxItemDelegate;
class CGfxToolTip;
class CGfxInPlaceEdit;
class CGfxInPlaceCombo;

// Style bits of m_dwGfxStyle.
enum GfxListStyle : std::uint32_t
{
    GFXLS_FULLROW = 0x0001,
    GFXLS_VGRID = 0x0002,
    GFXLS_HGRID = 0x0004,
    GFXLS_SORT = 0x0008,
    GFXLS_FORMAT = 0x0010,
    GFXLS_IMAGES = 0x0020,
    GFXLS_MULTIEDIT = 0x0040,
    GFXLS_ROWDRAW = 0x0080,
    GFXLS_TIPS = 0x0100,
    GFXLS_ROWFORMAT = 0x0200,
    GFXLS_ACTIVATE = 0x0800,
    GFXLS_ENTEREDIT = 0x1000,
    GFXLS_BARS = 0x2000,
    GFXLS_CURSOR = 0x4000
};

// The program's build and the library's build differ in a few behaviours.
enum class GfxFlavour
{
    Program,
    Library
};

// Editor navigation codes.
enum GfxNavigate
{
    GFXNAV_NEXT = 0,
    GFXNAV_PREV = 1,
    GFXNAV_LEFT = 2,
    GFXNAV_RIGHT = 3,
    GFXNAV_UP = 4,
    GFXNAV_DOWN = 5
};

class CGfxListCtrl : public QTableView
{
    Q_OBJECT

public:
    using CellRequestFn = std::function<int(QWidget* parent, LXHDREX* request)>;
    // (item, display column, data word, out CP932 text)
    using CellTextFn = std::function<void(int item, int column, std::intptr_t data, std::string& out)>;

    explicit CGfxListCtrl(QWidget* parent = nullptr, GfxFlavour flavour = GfxFlavour::Program);
    ~CGfxListCtrl() override;

    GfxFlavour GetFlavour() const { return m_flavour; }

    // Columns.
    CGfxColumnManager* CreateColumnManager();
    CGfxColumnManager* GetColumnManager() const { return m_pColumnManager.get(); }
    bool SetupColumns();
    void SetColumnLayout(const GfxColumnLayout& layout);
    CGfxHeaderCtrl* GetHeaderCtrl() const { return m_pHeader; }
    int GetColumnCount() const;
    int GetColumnSubItem(int column) const;
    int GetColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // The column at from moves before the column at to; the first column stays where it is.
    void MoveColumn(int* from, int* to);

    // Style and look.
    void ModifyGfxStyle(std::uint32_t remove, std::uint32_t add);
    void SetRowHeight(int height, bool categoryRows);
    int GetRowHeight() const { return m_nRowHeight; }
    void SetHeaderImageList(const std::vector<QPixmap>* images);
    void SetSingleSelection(bool single);

    // Rows.
    int InsertItemData(int item, std::intptr_t data);
    void DeleteItemData(int item, std::intptr_t data);
    void DeleteAllItems();
    int GetItemCount() const;
    std::intptr_t GetItemData(int item) const;
    bool IsGroupRow(int item) const;
    int GetFocusedRow() const;
    void SetFocusedRow(int item, bool select = true);
    std::vector<int> GetSelectedRows() const;
    int GetFocusedColumn() const { return m_nFocusColumn; }
    void SetFocusedColumn(int column);

    // Cells.
    void GetCellText(int item, int column, std::string& out) const;
    bool GetCellRect(int item, int column, QRect* rect) const;
    // Row and display column under a point of the viewport; false when none.
    bool HitTestCell(const QPoint& pos, int* item, int* column) const;
    void StoreCellText(int item, int column, std::intptr_t data, const std::string& text);
    void ResetCellText(int item, int column, std::intptr_t data);
    int RequestCell(LXHDREX* request) const;

    // Categories.
    void EnableCategories(bool on);
    CGfxCategoryManager* GetCategoryManager() const { return m_pCategoryManager.get(); }
    void ToggleGroup(int item);

    // Sorting by a header click: true when the rows were sorted.
    bool OnColumnClick(int column);

    // Editing.
    CGfxInPlaceEdit* EditCellText(int item, int column, bool clickThrough, QPoint clickPos = QPoint());
    CGfxInPlaceCombo* EditCellCombo(int item, int column, bool editable, bool clickThrough,
                                    QPoint clickPos = QPoint());
    // Opens the editor of a cell by its kind; false when the cell has none.
    bool EditCell(int item, int column, bool clickThrough, QPoint clickPos = QPoint());
    void OnEditNavigate(int code, int item, int column);
    void OnEndLabelEdit(int item, int column, const std::string* text);
    QWidget* GetEditor() const { return m_pEditor; }
    // The kind of a cell's editor: 0 none, GFXCOL_TEXTEDIT, GFXCOL_DROPLIST or GFXCOL_DROPEDIT.
    std::uint32_t EditorKind(int column) const;
    bool EnsureColumnVisible(int column);
    CGfxToolTip* GetToolTip() const { return m_pTip; }
    void EditorDoubleClicked();

    // Owner interface.
    int m_nCtrlId = -1;
    std::uint32_t m_dwGfxStyle = 0x593F;
    std::uint32_t m_dwFormatColumns = 0;
    int m_nFooterHeight = 0;
    const std::vector<QPixmap>* m_pCellImages = nullptr;
    CellRequestFn m_pfnCellRequest;
    CellTextFn m_pfnCellText;
    CGfxCategoryManager::FillFn m_pfnCategoryFill;
    CGfxCategoryManager::FillAllFn m_pfnCategoryFillRecordset;
    GfxColumnMasks m_masks;

    // Colours.
    QColor m_crSelection;
    QColor m_crRowBack;
    QColor m_crGroup;
    QFont m_fontNormal, m_fontUnderline, m_fontBold, m_fontItalic;

signals:
    // What the list tells its owner.
    void cellClicked(int item, int column);
    void cellRightClicked(int item, int column);
    void cellDoubleClicked(int item, int column);
    void cellActivated(int column); // Enter or Space on a cell without an editor
    void columnClicked(int column); // a header click that did not sort
    // A request when m_pfnCellRequest is not set: the owner sets *result.
    void cellRequest(LXHDREX* request, int* result);
    // A cell text when m_pfnCellText is not set.
    void cellTextRequested(int item, int column, std::intptr_t data, std::string* out);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class CGfxItemDelegate;
    friend class CGfxInPlaceCombo;
    // The owner's format answer for a cell; false when none applies.
    bool FormatCell(int item, int column, LXHDREX& out) const;
    void ApplyFormatFont(const LXHDREX& format, QFont& font) const;
    LXHDREX MakeRequest(int code, int item, int column) const;
    // Scrolls the cell into view and gives the rectangle of its editor; false when it cannot show.
    bool EditorRect(int item, int column, bool toCellEdge, QRect* rect);
    // The editor's font from the owner's format answer, and the text colour when one was given.
    std::optional<QColor> EditorFormat(int item, int column, QFont& font) const;
    void ForEachRowOf(int item, std::intptr_t data, const std::function<void(GfxListRow&)>& fn);
    void DrawRowExtras(QPainter& painter, int item, const QRect& rowRect) const;
    void DrawGroupRow(QPainter& painter, int item, const QRect& rowRect) const;
    void Activate();
    void CloseEditor();
    void EndEditor(bool commit);
    void OpenEditorWidget(QWidget* editor, const QRect& rect);
    void UpdateRowHeights();
    void OnSectionResized(int section, int oldSize, int newSize);
    void UpdateTip(const QPoint& pos);
    int RowsCount() const;

    GfxFlavour m_flavour;
    CGfxHeaderCtrl* m_pHeader;
    CGfxListModel* m_pModel;
    CGfxItemDelegate* m_pDelegate;
    CGfxToolTip* m_pTip;
    std::unique_ptr<CGfxColumnManager> m_pColumnManager;
    std::unique_ptr<CGfxCategoryManager> m_pCategoryManager;
    QPointer<QWidget> m_pEditor;
    int m_nFocusColumn = -1;
    int m_nRowHeight = 17;
    int m_nCategoryRowHeight = 16;
    bool m_bLayoutGuard = false;
    int m_nTipRow = -1, m_nTipColumn = -1;
    // Answer of the row-wide format request of the row being painted.
    mutable int m_nRowFormatRow = -1;
    mutable bool m_bRowFormatValid = false;
    mutable LXHDREX m_rowFormat;
};
