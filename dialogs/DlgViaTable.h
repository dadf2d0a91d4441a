#pragma once
// Via table dialog ("ビアテーブル"): drill diameter and the turrets of the lands, resist openings,
// thermals and clearances of the vias 1 to 64, the via number of new vias and of vias the program
// makes itself, and the current via.

#include "dialogs/NumberedTableDialog.h"
#include "model/services/Records.h"

#include <array>

class CSpinButton;
class QLineEdit;

class CDlgViaTable : public CNumberedTableDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 146,
        IdGrid = 1004,
        IdDefault = 1117,
        IdAuto = 1118,
        IdDefaultSpin = 1120,
        IdAutoSpin = 1121
    };
    static constexpr int kRows = VIA_MAX;

    explicit CDlgViaTable(QWidget* parent = nullptr);

    std::array<tagVIA, VIA_MAX + 1> m_vias{};
    int m_nDefaultVia = 1;
    int m_nAutoVia = 1;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    void CellText(int id, int row, std::string& out) override;
    int CellRequest(LXHDREX* request) override;

private:
    QLineEdit* m_default;
    QLineEdit* m_auto;
    CSpinButton* m_defaultSpin = nullptr;
    CSpinButton* m_autoSpin = nullptr;
};
