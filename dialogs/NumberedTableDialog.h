#pragma once
// What the turret and via table dialogs share: a resizable dialog around a grid of numbered rows
// (row i carries the data word i), whose owner answers the cell texts and edits, and one row marked
// as the current one, drawn in red, chosen by a right click or a double click with Shift.

#include "dialogs/TableDialog.h"

#include <cstdint>
#include <string>
#include <vector>

class CGfxListCtrl;
class LXHDREX;

class CNumberedTableDialog : public CTableDialog
{
    Q_OBJECT
public:
    CNumberedTableDialog(int templateId, const QString& caption, int listId, QWidget* parent);
    ~CNumberedTableDialog() override;

    // The current row (number - 1), -1 when none.
    int m_nCurrent = -1;

protected:
    struct Column
    {
        int id;
        const char* caption; // UTF-8
        int format;
        int width;
        std::uint32_t flags;
    };
    // Places the grid under the controls added so far, spanning the dialog's columns.
    void AddGrid(int row, int columnSpan);
    // Columns (in the given display order), style, rows and the cells whose look is asked for.
    void SetupGrid(const std::vector<Column>& columns, const std::vector<int>& order, int rows,
                   std::uint32_t formatColumns);
    virtual void CellText(int id, int row, std::string& out) = 0;
    // The cell requests other than the current row's colour; the request's answer.
    virtual int CellRequest(LXHDREX* request) = 0;

private:
    void OnRightClick(int item);
    void OnDoubleClick(int item, int column);
    void MakeCurrent(int item);
};
