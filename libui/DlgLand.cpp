#include "libui/DlgLand.h"

#include "libui/SpinButton.h"

#include <QLineEdit>

CDlgLand::CDlgLand(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("ランド編集"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("タレット(&T)"), 0, 0);
    m_turretEdit = AddIntField(Grid(), IdTurret, IdTurretSpin, m_spin, 0, 1);
    b.OkCancel(0, 2);
    Grid()->setRowStretch(2, 1);
}

void CDlgLand::OnInitDialog()
{
    if (m_multiple) {
        m_spin->SetRange(0, 120);
        SetDigitsOnly(m_turretEdit, false);
    } else {
        m_spin->SetRange(1, 120);
        SetDigitsOnly(m_turretEdit, true);
    }
    m_spin->SetPosition(m_turret);
    UpdateData(false);
}

bool CDlgLand::DoDataExchange(bool save)
{
    if (!save) {
        m_turretEdit->setText(QString::number(m_turret));
        return true;
    }
    return CheckIntRange(m_turretEdit, m_multiple ? 0 : 1, 120, m_turret);
}

void CDlgLand::accept()
{
    if (UpdateData(true))
        QDialog::accept();
}

bool CDlgLand::Run(LandDialogData& data, QWidget* parent)
{
    CDlgLand dialog(parent);
    dialog.m_multiple = data.multiple ? 1 : 0;
    dialog.m_turret = data.turret;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    data.turret = dialog.m_turret;
    return true;
}
