#pragma once
// Part terminal dialog ("部品端子編集"): a grid of one part's terminals where the user renames
// terminals, changes the via number of a terminal's via and switches a through-hole via's
// connection on each inner wiring layer. It edits its own copy of the part.

#include "libui/ItemDialog.h"
#include "model/items/Part.h"

#include <QFont>
#include <QPixmap>
#include <vector>

class CGfxListCtrl;
class DocumentServices;
class LXHDREX;

class CDlgPartTer : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 321,
        IdList = 1628,
        ColumnNet = 36
    };

    explicit CDlgPartTer(QWidget* parent = nullptr);
    ~CDlgPartTer() override;

    CPart m_part;
    DocumentServices* m_pDoc = nullptr;

    CGfxListCtrl* List() const { return m_list; }
    // The terminal ids of the rows, in row order.
    const std::vector<int>& RowIds() const { return m_rowIds; }

    // Runs the dialog on a copy of the part; on OK the part takes the copy.
    static bool Run(CPart& part, DocumentServices* doc, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool) override { return true; }

private:
    int GetExInfoCallback(LXHDREX* request);
    void CellText(int column, int terId, std::string& out);
    void OnCellClicked(int item, int column);
    // Wiring layers of the board (the frame's answer, else the document's).
    int WireLayerCount() const;

    std::vector<QPixmap> m_cellImages;   // 16 px: 0 not wired, 1 wired
    std::vector<QPixmap> m_headerImages; // 11 px: one per inner layer
    QFont m_font;
    CGfxListCtrl* m_list;
    int m_nColumns = 0;
    int m_nRows = 0;
    int m_nLayerColumns = 0;
    std::vector<int> m_rowIds;
};
