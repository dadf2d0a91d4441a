#pragma once
// Surface dialog ("面編集"): turret, no-fill switch and the height attribute (COC) with its top
// and bottom values, for one surface or several (then every field starts "unchanged").

#include "libui/ItemDialog.h"
#include "model/services/ItemDialogs.h"

class CNumEdit;
class CNumSpinCtrl;
class CSpinButton;
class CTriStateCheck;
class QLineEdit;

class CDlgSur : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 304,
        IdTurret = 1618,
        IdTurretSpin = 1619,
        IdNoFill = 1543,
        IdCoc = 1548,
        IdTopLabel = 1559,
        IdTop = 1544,
        IdTopSpin = 1546,
        IdBottomLabel = 1560,
        IdBottom = 1545,
        IdBottomSpin = 1547
    };

    explicit CDlgSur(QWidget* parent = nullptr);

    void SetMulti() { m_multiple = 1; }

    int m_multiple = 0;
    int m_turret = 0;   // 0..120; -1 unchanged
    int m_coc = 0;      // 0 off, 1 on, 2 unchanged
    int m_noFill = 0;   // 0 off, 1 on, 2 unchanged
    double m_top = 0.0; // millimetres
    double m_bottom = 0.0;

    void accept() override;

    static bool Run(SurDialogData& data, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    bool ReadValue(CNumEdit* edit, double& value);

    QLineEdit* m_turretEdit;
    CSpinButton* m_turretSpin;
    CTriStateCheck* m_noFillCheck;
    CTriStateCheck* m_cocCheck;
    CNumEdit* m_topEdit;
    CNumSpinCtrl* m_topSpin;
    CNumEdit* m_bottomEdit;
    CNumSpinCtrl* m_bottomSpin;
    bool m_loading = false;
};
