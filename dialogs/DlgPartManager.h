#pragma once
// Part management ("部品管理"): the board's parts in a table (name, reference, value, terminals,
// side, position, angle, scale, type and kind) with their counts; the user marks parts as placed
// or not placed. The dialog works on its own sheet of copies of the parts.

#include "dialogs/TableDialog.h"
#include "model/sheet/Sheet.h"

#include <string>

class CPart;
class CVELTADoc;
class LXHDREX;
class QLineEdit;

class CDlgPartManager : public CTableDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 185,
        IdTotal = 1340,
        IdComponentSide = 1341,
        IdSolderSide = 1342,
        IdUnplaced = 1343,
        IdTerminals = 1344,
        IdList = 1356,
        IdModify = 1357
    };
    // Column ids.
    enum
    {
        ColPlaced = 1,
        ColName = 2,
        ColRef = 3,
        ColValue = 4,
        ColX = 5,
        ColY = 6,
        ColAngle = 7,
        ColScale = 8,
        ColSide = 9,
        ColType = 10,
        ColKind = 11,
        ColTerminals = 12
    };
    static constexpr COLORREF kMarkColour = 0x00C0FF;

    explicit CDlgPartManager(QWidget* parent = nullptr);
    ~CDlgPartManager() override;

    CVELTADoc* m_pDoc = nullptr; // observed
    CSheet m_sheet;              // the parts shown, row i = part i; emptied with the dialog
    int m_nTotal = 0;
    int m_nComponentSide = 0;
    int m_nSolderSide = 0;
    int m_nUnplaced = 0;
    int m_nTerminals = 0;
    int m_nChosen = -1; // the part picked by "修正" or a double click

    // The text of a cell (column id) of a part, as the table shows it.
    static std::string CellText(int column, CPart& part);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    CPart* RowPart(int item);
    int OnCellRequest(LXHDREX* request);
    void TogglePlaced(int item);
    void OnClick(int item, int column);
    void OnDoubleClick(int item, int column);
    void OnActivated(int column);
    void OnHeaderClick(int column);
    void OnModify();

    QLineEdit* m_counters[5];
};
