#pragma once
// Grid settings ("グリッド設定"): the board's 16 grids in a table (name, type, pitches, offsets,
// shown or not, which one is current), with the numbers of the basic grid and of the grid used
// when attributes are moved, and whether the grid is hidden.

#include "dialogs/TableDialog.h"
#include "model/services/Records.h"

#include <array>
#include <string>

class CSpinButton;
class LXHDREX;
class QCheckBox;
class QLineEdit;

class CDlgGrid : public CTableDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 148,
        IdList = 1035,
        IdBase = 1109,
        IdAttr = 1111,
        IdBaseSpin = 1113,
        IdAttrSpin = 1114,
        IdHide = 32827
    };
    // Column ids.
    enum
    {
        ColNo = 1,
        ColType = 2,
        ColShow = 3,
        ColName = 4,
        ColX = 5,
        ColY = 6,
        ColOX = 7,
        ColOY = 8
    };
    static constexpr int kGrids = 16;

    explicit CDlgGrid(QWidget* parent = nullptr);

    std::array<tagGRID, kGrids> m_grids{};
    int m_nCurrent = 0;  // 0..15
    int m_nBaseGrid = 1; // 1..16
    int m_nAttrGrid = 1; // 1..16
    int m_bHide = 0;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void CellText(int column, int index, std::string& out) const;
    int OnCellRequest(LXHDREX* request);
    bool ValidRow(int item) const;
    void ToggleShown(int index);
    void MakeCurrent(int index);
    void OnClick(int item, int column);
    void OnRightClick(int item, int column);
    void OnDoubleClick(int item, int column);
    void OnHeaderClick(int column);

    QLineEdit* m_base;
    QLineEdit* m_attr;
    CSpinButton* m_baseSpin = nullptr;
    CSpinButton* m_attrSpin = nullptr;
    QCheckBox* m_hide;
    QFont m_typeFont;
};
