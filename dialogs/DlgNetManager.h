#pragma once
// Net management dialog ("ネット管理"): the nets of the board with their names, colours and nodes.
// A click in the colour column picks a net's drawing colour; the caller gives the colours to the
// nets on OK. The dialog changes no net itself.

#include "libui/ItemDialog.h"
#include "platform/Types.h"

#include <cstdint>
#include <string>
#include <vector>

class CGfxListCtrl;
class CGripper;
class CVELTADoc;
class LXHDREX;

class CDlgNetManager : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 186,
        IdList = 1358,
        IdAll = 1359,
        IdIncomplete = 1360
    };
    // Column ids.
    enum
    {
        ColumnName = 1,
        ColumnKind = 2,
        ColumnLayer = 3,
        ColumnColor = 4,
        ColumnNodes = 7
    };

    explicit CDlgNetManager(CVELTADoc* doc, QWidget* parent = nullptr);
    ~CDlgNetManager() override;

    // One colour per net of the document's list, in list order; read by the caller after OK.
    std::vector<COLORREF> m_colors;

    CGfxListCtrl* List() const { return m_list; }
    // The text of a cell: column id and net position.
    std::string CellText(int column, int index) const;
    // The colour dialog for the net of a row, as a click in the colour column opens it.
    void ChooseColor(int row);

    // Runs the dialog on the document's nets; true on OK with one colour per net.
    static bool Run(CVELTADoc* doc, std::vector<COLORREF>& colours, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool) override { return true; }
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int CellRequest(LXHDREX* request) const;
    void OnCellClicked(int item, int column);

    CVELTADoc* m_pDoc; // not owned
    CGfxListCtrl* m_list;
    CGripper* m_gripper;
    bool m_sized = false;
};
