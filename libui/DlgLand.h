#pragma once
// Land dialog ("ランド編集"): the turret of one land (1..120) or of several (0 leaves each
// land's turret as it is).

#include "libui/ItemDialog.h"
#include "model/services/ItemDialogs.h"

class CSpinButton;
class QLineEdit;

class CDlgLand : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 317,
        IdTurret = 1618,
        IdTurretSpin = 1619
    };

    explicit CDlgLand(QWidget* parent = nullptr);

    int m_multiple = 0;
    int m_turret = 0;

    void accept() override;

    static bool Run(LandDialogData& data, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    QLineEdit* m_turretEdit;
    CSpinButton* m_spin;
};
