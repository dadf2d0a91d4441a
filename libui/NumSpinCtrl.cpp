#include "libui/NumSpinCtrl.h"

#include "libui/NumEdit.h"

CNumSpinCtrl::CNumSpinCtrl(QWidget* parent) : CSpinButton(parent)
{
    SetShowInBuddy(false);
    CSpinButton::SetRange(0, 1000);
    SetPosition(500);
}

CNumEdit* CNumSpinCtrl::Edit() const
{
    return qobject_cast<CNumEdit*>(GetBuddyWidget());
}

void CNumSpinCtrl::SetStep(double step)
{
    if (CNumEdit* edit = Edit())
        edit->SetStep(step);
}

double CNumSpinCtrl::GetStep() const
{
    const CNumEdit* edit = Edit();
    return edit ? edit->GetStep() : 0.0;
}

void CNumSpinCtrl::SetBuddy(QWidget* buddy)
{
    SetBuddyWidget(buddy);
    if (CNumEdit* edit = Edit())
        edit->SetValue(0.0);
}

void CNumSpinCtrl::GetRange(double& minimum, double& maximum) const
{
    minimum = maximum = 0.0;
    if (const CNumEdit* edit = Edit())
        edit->GetRange(minimum, maximum);
}

void CNumSpinCtrl::SetRange(double minimum, double maximum)
{
    CSpinButton::SetRange(0, 1000);
    if (CNumEdit* edit = Edit())
        edit->SetRange(minimum, maximum);
}

double CNumSpinCtrl::GetPos() const
{
    const CNumEdit* edit = Edit();
    return edit ? edit->GetValue() : 0.0;
}

void CNumSpinCtrl::SetPos(double value)
{
    SetPosition(500);
    if (CNumEdit* edit = Edit())
        edit->SetValue(value);
}

bool CNumSpinCtrl::OnDeltapos(int& position, int delta)
{
    if (!(position > delta && position < 1000 - delta))
        position = 500;
    if (CNumEdit* edit = Edit()) {
        if (!edit->IsChanged())
            edit->SetValue(edit->GetUnchangedValue());
        else
            edit->Step(delta, IsWrap());
    }
    return false;
}
